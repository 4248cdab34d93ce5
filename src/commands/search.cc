/*
 * The search index commands: creating and changing indexes with their schema, aliases,
 * dictionaries, synonym groups, tag values, query explanations and the module's configuration,
 * with the reply conversion every search command shares.
 */
#include "commands/search.h"

#include "commands/cmdroles.h"
#include "commands/formatter.h"
#include "pack/pack.h"

using namespace kelvoFormat;

bool kelvoFtCatText(rrc *req, zval *value)
{
    if (Z_TYPE_P(kelvoDeref(value)) == IS_DOUBLE) {
        kelvoRespCmdCatDouble(req, Z_DVAL_P(kelvoDeref(value)));
        return true;
    }
    kelvoRespCmdCatZValZStr(req, value);
    return !EG(exception);
}

bool kelvoFtCatCounted(rrc *req, const char *word, size_t wordLen, HashTable *values)
{
    kelvoReserveArgs(req, zend_hash_num_elements(values) + 2);
    kelvoFtCatWordLong(req, word, wordLen, zend_hash_num_elements(values));
    zval *value;
    ZEND_HASH_FOREACH_VAL(values, value)
    {
        if (!kelvoFtCatText(req, value))
            return false;
    }
    ZEND_HASH_FOREACH_END();
    return true;
}

void kelvoFtCatWordLong(rrc *req, const char *word, size_t wordLen, zend_long n)
{
    kelvoRespCmdCatLen(req, word, wordLen);
    kelvoRespCmdCatZendLong(req, n);
}

void kelvoFtCatWordString(rrc *req, const char *word, size_t wordLen, const zend_string *value)
{
    if (!value)
        return;
    kelvoRespCmdCatLen(req, word, wordLen);
    kelvoRespCmdCatZStr(req, value);
}

namespace {

/* -- schema fields ------------------------------------------------------------------------------ */

enum FieldType : uint32_t { FIELD_NONE, FIELD_TEXT, FIELD_TAG, FIELD_NUMERIC, FIELD_GEO, FIELD_VECTOR };

struct Word {
    const char *name;
    size_t len;
};

const Word fieldTypeNames[] = {{"", 0}, {"TEXT", 4}, {"TAG", 3}, {"NUMERIC", 7}, {"GEO", 3}, {"VECTOR", 6}};

/* The options of one schema field; references into the caller's array. */
struct FieldOptions {
    uint32_t type = FIELD_NONE;
    zend_string *alias = nullptr;
    bool sortable = false, unf = false, nostem = false, noindex = false;
    zend_string *phonetic = nullptr;
    zend_long weight = 0;
    zend_string *separator = nullptr;
    bool casesensitive = false, withsuffixtrie = false, indexempty = false, indexmissing = false;
};

uint32_t fieldTypeOf(const zend_string *word)
{
    for (uint32_t t = FIELD_TEXT; t <= FIELD_VECTOR; t++)
        if (ZSTR_LEN(word) == fieldTypeNames[t].len &&
            strncasecmp(ZSTR_VAL(word), fieldTypeNames[t].name, ZSTR_LEN(word)) == 0)
            return t;
    return FIELD_NONE;
}

int fieldOption(FieldOptions *f, zend_string *name, zval *value)
{
    const bool on = zend_is_true(value);
    if (kelvoIsWord(name, "AS")) {
        if (!kelvoFtIsString(value))
            return kelvoRefuse("AS value must be string");
        f->alias = Z_STR_P(value);
    } else if (kelvoIsWord(name, "TYPE")) {
        if (!kelvoFtIsString(value))
            return kelvoRefuse("TYPE value must be string");
        f->type = fieldTypeOf(Z_STR_P(value));
        if (f->type == FIELD_NONE)
            return kelvoRefuse("Unknown field type '%s'", Z_STRVAL_P(value));
    } else if (kelvoIsWord(name, "SORTABLE")) {
        f->sortable = on;
    } else if (kelvoIsWord(name, "UNF")) {
        f->unf = on;
    } else if (kelvoIsWord(name, "NOSTEM")) {
        f->nostem = on;
    } else if (kelvoIsWord(name, "NOINDEX")) {
        f->noindex = on;
    } else if (kelvoIsWord(name, "PHONETIC")) {
        if (!kelvoFtIsString(value))
            return kelvoRefuse("PHONETIC value must be string");
        f->phonetic = Z_STR_P(value);
    } else if (kelvoIsWord(name, "WEIGHT")) {
        if (!kelvoFtIsLong(value) || Z_LVAL_P(value) < 0)
            return kelvoRefuse("WEIGHT value must be non-negative int");
        f->weight = Z_LVAL_P(value);
    } else if (kelvoIsWord(name, "SEPARATOR")) {
        if (!kelvoFtIsString(value) || Z_STRLEN_P(value) != 1)
            return kelvoRefuse("SEPARATOR value must be a single character");
        f->separator = Z_STR_P(value);
    } else if (kelvoIsWord(name, "CASESENSITIVE")) {
        f->casesensitive = on;
    } else if (kelvoIsWord(name, "WITHSUFFIXTRIE")) {
        f->withsuffixtrie = on;
    } else if (kelvoIsWord(name, "INDEXEMPTY")) {
        f->indexempty = on;
    } else if (kelvoIsWord(name, "INDEXMISSING")) {
        f->indexmissing = on;
    }
    return 0;
}

int readField(FieldOptions *f, zend_string *name, zval *options)
{
    *f = FieldOptions{};
    if (!name)
        return kelvoRefuse("Field name is not specified");
    ZVAL_DEREF(options);
    if (Z_TYPE_P(options) != IS_ARRAY)
        return kelvoRefuse("Field options must be array");
    if (kelvoFtEachOption(Z_ARRVAL_P(options), [f](zend_string *n, zval *v) { return fieldOption(f, n, v); }) != 0)
        return -1;
    if (f->type == FIELD_NONE)
        return kelvoRefuse("Field type must be specified");
    return 0;
}

/* Every field of a schema, each refused as a whole before anything is appended. */
int checkSchema(HashTable *schema)
{
    zend_string *name;
    zval *options;
    ZEND_HASH_FOREACH_STR_KEY_VAL(schema, name, options)
    {
        FieldOptions f;
        if (readField(&f, name, options) != 0)
            return -1;
    }
    ZEND_HASH_FOREACH_END();
    return 0;
}

/*
 * One field in the order the server parses it: the name and alias, the type word, the type's
 * own options, then SORTABLE [UNF] and NOINDEX, which the server reads only after them.
 */
void catField(rrc *req, zend_string *name, const FieldOptions &f)
{
    kelvoRespCmdCatZStr(req, name);
    if (f.alias) {
        kelvoCatWord(req, "AS");
        kelvoRespCmdCatZStr(req, f.alias);
    }
    kelvoRespCmdCatLen(req, fieldTypeNames[f.type].name, fieldTypeNames[f.type].len);
    if (f.nostem)
        kelvoCatWord(req, "NOSTEM");
    if (f.phonetic) {
        kelvoCatWord(req, "PHONETIC");
        kelvoRespCmdCatZStr(req, f.phonetic);
    }
    if (f.weight > 0)
        kelvoFtCatWordLong(req, ZEND_STRL("WEIGHT"), f.weight);
    if (f.separator) {
        kelvoCatWord(req, "SEPARATOR");
        kelvoRespCmdCatZStr(req, f.separator);
    }
    if (f.casesensitive)
        kelvoCatWord(req, "CASESENSITIVE");
    if (f.withsuffixtrie)
        kelvoCatWord(req, "WITHSUFFIXTRIE");
    if (f.indexempty)
        kelvoCatWord(req, "INDEXEMPTY");
    if (f.indexmissing)
        kelvoCatWord(req, "INDEXMISSING");
    if (f.sortable) {
        kelvoCatWord(req, "SORTABLE");
        if (f.unf)
            kelvoCatWord(req, "UNF");
    }
    if (f.noindex)
        kelvoCatWord(req, "NOINDEX");
}

/* The fields of a schema already checked. */
void catSchema(rrc *req, HashTable *schema)
{
    zend_string *name;
    zval *options;
    ZEND_HASH_FOREACH_STR_KEY_VAL(schema, name, options)
    {
        FieldOptions f;
        readField(&f, name, options);
        catField(req, name, f);
    }
    ZEND_HASH_FOREACH_END();
}

/* -- index options of FT.CREATE ----------------------------------------------------------------- */

struct IndexOptions {
    const char *on = nullptr;
    HashTable *prefix = nullptr;
    zend_string *filter = nullptr, *language = nullptr, *languageField = nullptr, *payloadField = nullptr;
    zval *score = nullptr, *scoreField = nullptr;
    zend_long temporary = 0;
    bool maxtextfields = false, nooffsets = false, nohl = false, nofields = false, nofreqs = false;
    bool skipinitialscan = false;
    HashTable *stopwords = nullptr;
};

int stringOption(zend_string **slot, zval *value, const char *refusal)
{
    if (!kelvoFtIsString(value))
        return kelvoRefuse("%s", refusal);
    *slot = Z_STR_P(value);
    return 0;
}

int numberOption(zval **slot, zval *value, const char *refusal)
{
    if (Z_TYPE_P(value) != IS_LONG && Z_TYPE_P(value) != IS_DOUBLE)
        return kelvoRefuse("%s", refusal);
    *slot = value;
    return 0;
}

int indexOption(IndexOptions *o, zend_string *name, zval *value)
{
    const bool on = zend_is_true(value);
    if (kelvoIsWord(name, "ON")) {
        if (!kelvoFtIsString(value))
            return kelvoRefuse("ON value must be string");
        if (kelvoIsWord(Z_STR_P(value), "HASH"))
            o->on = "HASH";
        else if (kelvoIsWord(Z_STR_P(value), "JSON"))
            o->on = "JSON";
        else
            return kelvoRefuse("Invalid ON value");
    } else if (kelvoIsWord(name, "PREFIX")) {
        if (Z_TYPE_P(value) != IS_ARRAY)
            return kelvoRefuse("PREFIX value must be array");
        o->prefix = Z_ARRVAL_P(value);
    } else if (kelvoIsWord(name, "FILTER")) {
        return stringOption(&o->filter, value, "FILTER value must be string");
    } else if (kelvoIsWord(name, "LANGUAGE")) {
        return stringOption(&o->language, value, "LANGUAGE value must be string");
    } else if (kelvoIsWord(name, "LANGUAGE_FIELD")) {
        return stringOption(&o->languageField, value, "LANGUAGE_FIELD value must be string");
    } else if (kelvoIsWord(name, "SCORE")) {
        return numberOption(&o->score, value, "SCORE value must be float");
    } else if (kelvoIsWord(name, "SCORE_FIELD")) {
        return numberOption(&o->scoreField, value, "SCORE_FIELD value must be float");
    } else if (kelvoIsWord(name, "PAYLOAD_FIELD")) {
        return stringOption(&o->payloadField, value, "PAYLOAD_FIELD value must be string");
    } else if (kelvoIsWord(name, "MAXTEXTFIELDS")) {
        o->maxtextfields = on;
    } else if (kelvoIsWord(name, "NOOFFSETS")) {
        o->nooffsets = on;
    } else if (kelvoIsWord(name, "TEMPORARY")) {
        if (!kelvoFtIsLong(value) || Z_LVAL_P(value) < 0)
            return kelvoRefuse("TEMPORARY value must be non-negative integer");
        o->temporary = Z_LVAL_P(value);
    } else if (kelvoIsWord(name, "NOHL")) {
        o->nohl = on;
    } else if (kelvoIsWord(name, "NOFIELDS")) {
        o->nofields = on;
    } else if (kelvoIsWord(name, "NOFREQS")) {
        o->nofreqs = on;
    } else if (kelvoIsWord(name, "STOPWORDS")) {
        if (Z_TYPE_P(value) != IS_ARRAY)
            return kelvoRefuse("STOPWORDS value must be array");
        o->stopwords = Z_ARRVAL_P(value);
    } else if (kelvoIsWord(name, "SKIPINITIALSCAN")) {
        o->skipinitialscan = on;
    }
    return 0;
}

void catWordNumber(rrc *req, const char *word, size_t len, zval *value)
{
    if (!value)
        return;
    kelvoRespCmdCatLen(req, word, len);
    kelvoCatNumber(req, value);
}

/* PREFIX values are key prefixes: they match the keys this client writes, its prefix in front. */
bool catIndexOptions(rrc *req, const robj *obj, const IndexOptions &o)
{
    if (o.on) {
        kelvoCatWord(req, "ON");
        kelvoRespCmdCatLen(req, o.on, 4);
    }
    if (o.prefix && zend_hash_num_elements(o.prefix) > 0) {
        kelvoFtCatWordLong(req, ZEND_STRL("PREFIX"), zend_hash_num_elements(o.prefix));
        if (!kelvoCatKeyHt(req, obj, o.prefix))
            return false;
    }
    kelvoFtCatWordString(req, ZEND_STRL("FILTER"), o.filter);
    kelvoFtCatWordString(req, ZEND_STRL("LANGUAGE"), o.language);
    kelvoFtCatWordString(req, ZEND_STRL("LANGUAGE_FIELD"), o.languageField);
    catWordNumber(req, ZEND_STRL("SCORE"), o.score);
    catWordNumber(req, ZEND_STRL("SCORE_FIELD"), o.scoreField);
    kelvoFtCatWordString(req, ZEND_STRL("PAYLOAD_FIELD"), o.payloadField);
    if (o.maxtextfields)
        kelvoCatWord(req, "MAXTEXTFIELDS");
    if (o.nooffsets)
        kelvoCatWord(req, "NOOFFSETS");
    if (o.temporary > 0)
        kelvoFtCatWordLong(req, ZEND_STRL("TEMPORARY"), o.temporary);
    if (o.nohl)
        kelvoCatWord(req, "NOHL");
    if (o.nofields)
        kelvoCatWord(req, "NOFIELDS");
    if (o.nofreqs)
        kelvoCatWord(req, "NOFREQS");
    /* An empty list is the server's "no stop words at all", not the default list. */
    if (o.stopwords && !kelvoFtCatCounted(req, ZEND_STRL("STOPWORDS"), o.stopwords))
        return false;
    if (o.skipinitialscan)
        kelvoCatWord(req, "SKIPINITIALSCAN");
    return true;
}

} // namespace

/* FT.CREATE index [options] SCHEMA field... */
int kelvoFtCreateRCmd(zend_execute_data *execute_data, zval *, rrc *req, robj *obj)
{
    zend_string *index;
    HashTable *schema, *options = nullptr;
    ZEND_PARSE_PARAMETERS_START(2, 3)
    Z_PARAM_STR(index)
    Z_PARAM_ARRAY_HT(schema)
    Z_PARAM_OPTIONAL
    Z_PARAM_ARRAY_HT_OR_NULL(options)
    ZEND_PARSE_PARAMETERS_END_EX(return -1);
    if (zend_hash_num_elements(schema) == 0)
        return kelvoRefuse("Schema must contains at least one field");
    if (checkSchema(schema) != 0)
        return -1;
    IndexOptions o;
    if (options && kelvoFtEachOption(options, [&o](zend_string *n, zval *v) { return indexOption(&o, n, v); }) != 0)
        return -1;
    kelvoCatKey(req, obj, index);
    if (!catIndexOptions(req, obj, o))
        return -1;
    kelvoCatWord(req, "SCHEMA");
    catSchema(req, schema);
    return 0;
}

/* FT.ALTER index [SKIPINITIALSCAN] SCHEMA ADD field. */
int kelvoFtAlterRCmd(zend_execute_data *execute_data, zval *, rrc *req, robj *obj)
{
    zend_string *index;
    HashTable *schema;
    bool skip = false;
    ZEND_PARSE_PARAMETERS_START(2, 3)
    Z_PARAM_STR(index)
    Z_PARAM_ARRAY_HT(schema)
    Z_PARAM_OPTIONAL
    Z_PARAM_BOOL(skip)
    ZEND_PARSE_PARAMETERS_END_EX(return -1);
    if (zend_hash_num_elements(schema) != 1)
        return kelvoRefuse("Schema must contains exactly one field");
    if (checkSchema(schema) != 0)
        return -1;
    kelvoCatKey(req, obj, index);
    if (skip)
        kelvoCatWord(req, "SKIPINITIALSCAN");
    kelvoCatWord(req, "SCHEMA");
    kelvoCatWord(req, "ADD");
    catSchema(req, schema);
    return 0;
}

/* FT.ALIASADD, FT.ALIASUPDATE alias index: both names in the key space, so an alias made here is
 * the one ftAliasDel and ftSearch name. */
int kelvoFtIndexAliasRCmd(zend_execute_data *execute_data, zval *, rrc *req, robj *obj)
{
    zend_string *index, *alias;
    ZEND_PARSE_PARAMETERS_START(2, 2)
    Z_PARAM_STR(index)
    Z_PARAM_STR(alias)
    ZEND_PARSE_PARAMETERS_END_EX(return -1);
    kelvoCatKey(req, obj, alias);
    kelvoCatKey(req, obj, index);
    return 0;
}

/* FT.DICTADD, FT.DICTDEL dict term...: terms as plain text. */
int kelvoFtDictModRCmd(zend_execute_data *execute_data, zval *, rrc *req, robj *obj)
{
    zend_string *dict, *term;
    zval *others;
    uint32_t count;
    ZEND_PARSE_PARAMETERS_START(2, -1)
    Z_PARAM_STR(dict)
    Z_PARAM_STR(term)
    Z_PARAM_VARIADIC('*', others, count)
    ZEND_PARSE_PARAMETERS_END_EX(return -1);
    kelvoCatKey(req, obj, dict);
    kelvoRespCmdCatZStr(req, term);
    kelvoReserveArgs(req, count);
    for (uint32_t i = 0; i < count; i++)
        kelvoCatPlain(req, &others[i]);
    return 0;
}

/* FT.DROPINDEX index [DD]: DD deletes the indexed documents too. */
int kelvoFtDropIndexRCmd(zend_execute_data *execute_data, zval *, rrc *req, robj *obj)
{
    zend_string *index;
    bool dd = false;
    ZEND_PARSE_PARAMETERS_START(1, 2)
    Z_PARAM_STR(index)
    Z_PARAM_OPTIONAL
    Z_PARAM_BOOL(dd)
    ZEND_PARSE_PARAMETERS_END_EX(return -1);
    kelvoCatKey(req, obj, index);
    if (dd)
        kelvoCatWord(req, "DD");
    return 0;
}

/* FT.SYNUPDATE index group [SKIPINITIALSCAN] term...: the server reads the flag before the terms. */
int kelvoFtSynUpdateRCmd(zend_execute_data *execute_data, zval *, rrc *req, robj *obj)
{
    zend_string *index, *group;
    zval *terms;
    bool skip = false;
    ZEND_PARSE_PARAMETERS_START(3, 4)
    Z_PARAM_STR(index)
    Z_PARAM_STR(group)
    Z_PARAM_ZVAL(terms)
    Z_PARAM_OPTIONAL
    Z_PARAM_BOOL(skip)
    ZEND_PARSE_PARAMETERS_END_EX(return -1);
    ZVAL_DEREF(terms);
    const bool list = Z_TYPE_P(terms) == IS_ARRAY;
    if (list && zend_hash_num_elements(Z_ARRVAL_P(terms)) == 0)
        return kelvoRefuse("At least one term must be specified");
    kelvoCatKey(req, obj, index);
    kelvoRespCmdCatZStr(req, group);
    if (skip)
        kelvoCatWord(req, "SKIPINITIALSCAN");
    if (!list)
        return kelvoFtCatText(req, terms) ? 0 : -1;
    zval *term;
    ZEND_HASH_FOREACH_VAL(Z_ARRVAL_P(terms), term)
    {
        if (!kelvoFtCatText(req, term))
            return -1;
    }
    ZEND_HASH_FOREACH_END();
    return 0;
}

int kelvoFtTagValsRCmd(zend_execute_data *execute_data, zval *, rrc *req, robj *obj)
{
    zend_string *index, *field;
    ZEND_PARSE_PARAMETERS_START(2, 2)
    Z_PARAM_STR(index)
    Z_PARAM_STR(field)
    ZEND_PARSE_PARAMETERS_END_EX(return -1);
    kelvoCatKey(req, obj, index);
    kelvoRespCmdCatZStr(req, field);
    return 0;
}

/* FT.EXPLAIN, FT.EXPLAINCLI index query [DIALECT n]. */
int kelvoFtExplainRCmd(zend_execute_data *execute_data, zval *, rrc *req, robj *obj)
{
    zend_string *index, *query;
    zend_long dialect = 0;
    bool dialectNull = true;
    ZEND_PARSE_PARAMETERS_START(2, 3)
    Z_PARAM_STR(index)
    Z_PARAM_STR(query)
    Z_PARAM_OPTIONAL
    Z_PARAM_LONG_OR_NULL(dialect, dialectNull)
    ZEND_PARSE_PARAMETERS_END_EX(return -1);
    if (!dialectNull && dialect < 0)
        return kelvoRefuse("DIALECT must be non-negative integer");
    kelvoCatKey(req, obj, index);
    kelvoRespCmdCatZStr(req, query);
    if (!dialectNull && dialect > 0)
        kelvoFtCatWordLong(req, ZEND_STRL("DIALECT"), dialect);
    return 0;
}

/* FT.CONFIG GET|SET option [value]: the operation in the caller's letter case; GET marks the
 * request for its map reply. */
int kelvoFtConfigRCmd(zend_execute_data *execute_data, zval *, rrc *req, robj *)
{
    zend_string *operation, *option;
    zval *value = nullptr;
    ZEND_PARSE_PARAMETERS_START(2, 3)
    Z_PARAM_STR(operation)
    Z_PARAM_STR(option)
    Z_PARAM_OPTIONAL
    Z_PARAM_ZVAL(value)
    ZEND_PARSE_PARAMETERS_END_EX(return -1);
    const bool get = kelvoIsWord(operation, "GET");
    if (!get && !kelvoIsWord(operation, "SET"))
        return kelvoRefuse("Unknown operation '%s'", ZSTR_VAL(operation));
    if (!get && (!value || Z_TYPE_P(kelvoDeref(value)) == IS_NULL))
        return kelvoRefuse("Value must be specified for SET operation");
    kelvoRespCmdCatZStr(req, operation);
    kelvoRespCmdCatZStr(req, option);
    if (get) {
        req->context = 1;
        return 0;
    }
    return kelvoFtCatText(req, value) ? 0 : -1;
}

/* -- replies ---------------------------------------------------------------------------------- */

namespace {

/* Search replies carry indexed text, never values this client packed: never unserialized. */
constexpr Body searchPlain = unpackedConversion<0>;

/* Status replies inside (index states, "OK" of a profile) come back as their text. */
constexpr Body searchLiteral = unpackedConversion<kelvoOptReplyLiteral>;

bool isText(const kelvoReply *r) { return is(r, KELVO_REPLY_STRING) || is(r, KELVO_REPLY_STATUS); }

/* A configuration value: null, a boolean for "true" and "false", a number, or the text. */
void addConfigValue(zval *result, const kelvoReply *name, const kelvoReply *value)
{
    zval v;
    if (is(value, KELVO_REPLY_NIL)) {
        ZVAL_NULL(&v);
    } else if (zend_string_equals_literal(value->v.str, "true")) {
        ZVAL_TRUE(&v);
    } else if (zend_string_equals_literal(value->v.str, "false")) {
        ZVAL_FALSE(&v);
    } else {
        numericOrString(&v, ZSTR_VAL(value->v.str), ZSTR_LEN(value->v.str));
    }
    zend_symtable_update(Z_ARRVAL_P(result), name->v.str, &v);
}

bool isConfigPair(const kelvoReply *name, const kelvoReply *value)
{
    return isText(name) && (isText(value) || is(value, KELVO_REPLY_NIL));
}

/*
 * FT.CONFIG GET: a map of name => value (current versions), or a list of [name, value] pairs
 * (older versions and RESP2-compatible servers). FT.CONFIG SET: true for "OK", otherwise
 * false with the server's text as the last error.
 */
void ftConfig(zval *rv, kelvoQuerySet *rqs, robj *obj, kelvoReplyEnv *env, const kelvoReply *reply)
{
    if (rqs->context == 0) {
        if (is(reply, KELVO_REPLY_STATUS) && !zend_string_equals_literal(reply->v.str, "OK")) {
            kelvoSetLastError(&obj->lastError, ZSTR_VAL(reply->v.str), ZSTR_LEN(reply->v.str));
            ZVAL_FALSE(rv);
            return;
        }
        return searchPlain(rv, rqs, env, reply);
    }
    const bool map = is(reply, KELVO_REPLY_MAP);
    if ((!map && !is(reply, KELVO_REPLY_ARRAY)) || (map && reply->elements % 2)) {
        MALFORMED(env, "expected FT.CONFIG map reply");
        return kelvoReplyFailure(rv);
    }
    array_init(rv);
    for (uint64_t i = 0; i < reply->elements; i += map ? 2 : 1) {
        const kelvoReply *pair = map ? nullptr : at(reply, i);
        if (pair && !isPair(pair)) {
            MALFORMED(env, "expected FT.CONFIG status/string pair");
            return kelvoReplyFailure(rv);
        }
        const kelvoReply *name = map ? at(reply, i) : at(pair, 0);
        const kelvoReply *value = map ? at(reply, i + 1) : at(pair, 1);
        if (!isConfigPair(name, value)) {
            MALFORMED(env, "expected FT.CONFIG status/string pair");
            return kelvoReplyFailure(rv);
        }
        addConfigValue(rv, name, value);
    }
}

} // namespace

void kelvoFtConfigFmt(zval *return_value, kelvoQuerySet *rqs, robj *obj, kelvoReply *reply)
{
    kelvoAssert(return_value != NULL && rqs != NULL && obj != NULL && reply != NULL);
    kelvoReplyEnv env = kelvoReplyEnvOf(obj);
    ZVAL_UNDEF(return_value);
    ftConfig(return_value, rqs, obj, &env, reply);
}

KELVO_FORMATTER(kelvoFtPlainFmt, searchPlain)
KELVO_FORMATTER(kelvoFtReplyFmt, searchLiteral)
