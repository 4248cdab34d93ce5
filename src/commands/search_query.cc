/*
 * The search query commands: FT.SEARCH and FT.AGGREGATE turn one options array into the
 * module's clauses, FT.CURSOR reads or drops an aggregation cursor, FT.PROFILE runs a query
 * with its profile, FT.SPELLCHECK suggests terms. Counted clauses carry the number of words
 * that follow them, as the server counts them.
 */
#include "commands/cmdroles.h"
#include "commands/search.h"

namespace {

/* -- shared clauses --------------------------------------------------------------------------- */

/* LIMIT offset count: exactly two integers of at least 0. */
int readLimit(HashTable **slot, zval *value)
{
    if (Z_TYPE_P(value) != IS_ARRAY)
        return kelvoRefuse("LIMIT must be array");
    if (zend_hash_num_elements(Z_ARRVAL_P(value)) != 2)
        return kelvoRefuse("Limit 'first' and 'num' values must be specified");
    zval *bound;
    ZEND_HASH_FOREACH_VAL(Z_ARRVAL_P(value), bound)
    {
        bound = kelvoDeref(bound);
        if (!kelvoFtIsLong(bound) || Z_LVAL_P(bound) < 0)
            return kelvoRefuse("Limit value must be non-negative int");
    }
    ZEND_HASH_FOREACH_END();
    *slot = Z_ARRVAL_P(value);
    return 0;
}

void catLimit(rrc *req, HashTable *limit)
{
    if (!limit)
        return;
    kelvoCatWord(req, "LIMIT");
    zval *bound;
    ZEND_HASH_FOREACH_VAL(limit, bound) { kelvoRespCmdCatZendLong(req, Z_LVAL_P(kelvoDeref(bound))); }
    ZEND_HASH_FOREACH_END();
}

/* An integer of at least 0 (DIALECT, SLOP, DISTANCE, TIMEOUT of a search). */
int readCount(zend_long *slot, zval *value, const char *refusal)
{
    if (!kelvoFtIsLong(value) || Z_LVAL_P(value) < 0)
        return kelvoRefuse("%s", refusal);
    *slot = Z_LVAL_P(value);
    return 0;
}

int readString(zend_string **slot, zval *value, const char *refusal)
{
    if (!kelvoFtIsString(value))
        return kelvoRefuse("%s", refusal);
    *slot = Z_STR_P(value);
    return 0;
}

int readArray(HashTable **slot, zval *value, const char *refusal)
{
    if (Z_TYPE_P(value) != IS_ARRAY)
        return kelvoRefuse("%s", refusal);
    *slot = Z_ARRVAL_P(value);
    return 0;
}

/* A counted list, when it has elements. */
bool catCountedIfAny(rrc *req, const char *word, size_t len, HashTable *values)
{
    return !values || zend_hash_num_elements(values) == 0 || kelvoFtCatCounted(req, word, len, values);
}

/* Every element of a list of whole groups of `group` values, `word` before each group. */
bool catGroups(rrc *req, const char *word, size_t len, HashTable *values, uint32_t group)
{
    if (!values)
        return true;
    uint32_t i = 0;
    zval *value;
    ZEND_HASH_FOREACH_VAL(values, value)
    {
        if (i++ % group == 0)
            kelvoRespCmdCatLen(req, word, len);
        if (!kelvoFtCatText(req, value))
            return false;
    }
    ZEND_HASH_FOREACH_END();
    return true;
}

/* -- FT.SEARCH -------------------------------------------------------------------------------- */

struct Summarize {
    bool on = false;
    HashTable *fields = nullptr;
    zend_long frags = 0, len = 0;
    zend_string *separator = nullptr;
};

struct Highlight {
    bool on = false;
    HashTable *fields = nullptr, *tags = nullptr;
};

struct SortBy {
    zend_string *attribute = nullptr, *order = nullptr;
    bool withcount = false;
};

struct SearchOptions {
    bool nocontent = false, verbatim = false, nostopwords = false, withscores = false, withpayloads = false;
    bool withsortkeys = false, inorder = false, explainscore = false;
    HashTable *filter = nullptr, *geofilter = nullptr, *inkeys = nullptr, *infields = nullptr, *ret = nullptr;
    HashTable *limit = nullptr, *params = nullptr;
    Summarize summarize;
    Highlight highlight;
    SortBy sortby;
    bool slopGiven = false, timeoutGiven = false;
    zend_long slop = 0, timeout = 0, dialect = 0;
    zend_string *language = nullptr, *expander = nullptr, *scorer = nullptr, *payload = nullptr;
};

int readGroups(HashTable **slot, zval *value, uint32_t group, const char *notArray, const char *notGroups)
{
    if (Z_TYPE_P(value) != IS_ARRAY)
        return kelvoRefuse("%s", notArray);
    if (zend_hash_num_elements(Z_ARRVAL_P(value)) % group)
        return kelvoRefuse("%s", notGroups);
    *slot = Z_ARRVAL_P(value);
    return 0;
}

int readSummarize(Summarize *s, zval *value)
{
    s->on = Z_TYPE_P(value) == IS_ARRAY || zend_is_true(value);
    if (Z_TYPE_P(value) != IS_ARRAY)
        return 0;
    return kelvoFtEachOption(Z_ARRVAL_P(value), [s](zend_string *name, zval *v) {
        if (kelvoIsWord(name, "FIELDS"))
            return readArray(&s->fields, v, "FIELDS must be array");
        if (kelvoIsWord(name, "FRAGS")) {
            if (!kelvoFtIsLong(v))
                return kelvoRefuse("FRAGS must be integer");
            s->frags = Z_LVAL_P(v);
        } else if (kelvoIsWord(name, "LEN")) {
            if (!kelvoFtIsLong(v))
                return kelvoRefuse("LEN must be integer");
            s->len = Z_LVAL_P(v);
        } else if (kelvoIsWord(name, "SEPARATOR")) {
            return readString(&s->separator, v, "SEPARATOR must be string");
        }
        return 0;
    });
}

int readHighlight(Highlight *h, zval *value)
{
    h->on = Z_TYPE_P(value) == IS_ARRAY || zend_is_true(value);
    if (Z_TYPE_P(value) != IS_ARRAY)
        return 0;
    return kelvoFtEachOption(Z_ARRVAL_P(value), [h](zend_string *name, zval *v) {
        if (kelvoIsWord(name, "FIELDS"))
            return readArray(&h->fields, v, "FIELDS must be array");
        if (kelvoIsWord(name, "TAGS"))
            return readArray(&h->tags, v, "TAGS must be array");
        return 0;
    });
}

/* [attribute, [ASC|DESC,] [WITHCOUNT]]: the element after the attribute and the order decides
 * WITHCOUNT, and reading stops there. */
int readSortBy(SortBy *s, zval *value)
{
    if (Z_TYPE_P(value) != IS_ARRAY)
        return kelvoRefuse("SORTBY must be array");
    if (zend_hash_num_elements(Z_ARRVAL_P(value)) == 0)
        return kelvoRefuse("Sort attribute is not specified");
    *s = SortBy{};
    uint32_t i = 0;
    zval *element;
    ZEND_HASH_FOREACH_VAL(Z_ARRVAL_P(value), element)
    {
        element = kelvoDeref(element);
        if (!kelvoFtIsString(element))
            return kelvoRefuse("SORTBY option value must be string");
        zend_string *word = Z_STR_P(element);
        if (i == 0) {
            s->attribute = word;
        } else if (i == 1 && (kelvoIsWord(word, "ASC") || kelvoIsWord(word, "DESC"))) {
            s->order = word;
        } else {
            s->withcount = kelvoIsWord(word, "WITHCOUNT");
            break;
        }
        i++;
    }
    ZEND_HASH_FOREACH_END();
    return 0;
}

/* name => value pairs. */
int readParamPairs(HashTable **slot, zval *value)
{
    if (Z_TYPE_P(value) != IS_ARRAY)
        return kelvoRefuse("PARAMS must be array");
    zend_string *name;
    ZEND_HASH_FOREACH_STR_KEY(Z_ARRVAL_P(value), name)
    {
        if (!name)
            return kelvoRefuse("PARAMS must contains 'name' 'value' pairs");
    }
    ZEND_HASH_FOREACH_END();
    *slot = Z_ARRVAL_P(value);
    return 0;
}

int readSearchFlag(SearchOptions *o, zend_string *name, bool on, bool *known)
{
    struct Flag {
        const char *word;
        size_t len;
        bool SearchOptions::*slot;
    };
    static const Flag flags[] = {
        {"NOCONTENT", 9, &SearchOptions::nocontent},
        {"VERBATIM", 8, &SearchOptions::verbatim},
        {"NOSTOPWORDS", 11, &SearchOptions::nostopwords},
        {"WITHSCORES", 10, &SearchOptions::withscores},
        {"WITHPAYLOADS", 12, &SearchOptions::withpayloads},
        {"WITHSORTKEYS", 12, &SearchOptions::withsortkeys},
        {"INORDER", 7, &SearchOptions::inorder},
        {"EXPLAINSCORE", 12, &SearchOptions::explainscore},
    };
    for (const Flag &f : flags) {
        if (ZSTR_LEN(name) == f.len && strncasecmp(ZSTR_VAL(name), f.word, f.len) == 0) {
            o->*f.slot = on;
            *known = true;
            return 0;
        }
    }
    *known = false;
    return 0;
}

int readSearchOption(SearchOptions *o, zend_string *name, zval *value)
{
    bool known;
    readSearchFlag(o, name, zend_is_true(value), &known);
    if (known)
        return 0;
    if (kelvoIsWord(name, "FILTER"))
        return readGroups(&o->filter, value, 3, "FILTER must be array",
                          "FILTER must contains 'field', 'min', 'max' triples");
    if (kelvoIsWord(name, "GEOFILTER"))
        return readGroups(&o->geofilter, value, 5, "GEOFILTER must be array",
                          "GEOFILTER must contains 'field', 'lon', 'lat', 'radius', 'unit' fives");
    if (kelvoIsWord(name, "INKEYS"))
        return readArray(&o->inkeys, value, "INKEYS must be array");
    if (kelvoIsWord(name, "INFIELDS"))
        return readArray(&o->infields, value, "INFIELDS must be array");
    if (kelvoIsWord(name, "RETURN"))
        return readArray(&o->ret, value, "RETURN must be array");
    if (kelvoIsWord(name, "SUMMARIZE"))
        return readSummarize(&o->summarize, value);
    if (kelvoIsWord(name, "HIGHLIGHT"))
        return readHighlight(&o->highlight, value);
    if (kelvoIsWord(name, "SLOP")) {
        if (!kelvoFtIsLong(value))
            return kelvoRefuse("SLOP must be integer");
        o->slopGiven = true;
        return readCount(&o->slop, value, "SLOP must be non-negative integer");
    }
    if (kelvoIsWord(name, "TIMEOUT")) {
        o->timeoutGiven = true;
        return readCount(&o->timeout, value, "TIMEOUT must be non-negative integer");
    }
    if (kelvoIsWord(name, "LANGUAGE"))
        return readString(&o->language, value, "LANGUAGE must be string");
    if (kelvoIsWord(name, "EXPANDER"))
        return readString(&o->expander, value, "EXPANDER must be string");
    if (kelvoIsWord(name, "SCORER"))
        return readString(&o->scorer, value, "SCORER must be string");
    if (kelvoIsWord(name, "PAYLOAD"))
        return readString(&o->payload, value, "PAYLOAD must be string");
    if (kelvoIsWord(name, "SORTBY"))
        return readSortBy(&o->sortby, value);
    if (kelvoIsWord(name, "LIMIT"))
        return readLimit(&o->limit, value);
    if (kelvoIsWord(name, "PARAMS"))
        return readParamPairs(&o->params, value);
    if (kelvoIsWord(name, "DIALECT"))
        return readCount(&o->dialect, value, "DIALECT must be non-negative integer");
    return 0;
}

/* RETURN n field [AS name] ...: n counts every word after it, the AS pairs included. */
bool catReturn(rrc *req, HashTable *fields)
{
    if (!fields || zend_hash_num_elements(fields) == 0)
        return true;
    zend_long words = 0;
    zend_string *name;
    zval *field;
    ZEND_HASH_FOREACH_STR_KEY(fields, name) { words += name ? 3 : 1; }
    ZEND_HASH_FOREACH_END();
    kelvoFtCatWordLong(req, ZEND_STRL("RETURN"), words);
    ZEND_HASH_FOREACH_STR_KEY_VAL(fields, name, field)
    {
        if (!kelvoFtCatText(req, field))
            return false;
        if (name) {
            kelvoCatWord(req, "AS");
            kelvoRespCmdCatZStr(req, name);
        }
    }
    ZEND_HASH_FOREACH_END();
    return true;
}

bool catSummarize(rrc *req, const Summarize &s)
{
    if (!s.on)
        return true;
    kelvoCatWord(req, "SUMMARIZE");
    if (!catCountedIfAny(req, ZEND_STRL("FIELDS"), s.fields))
        return false;
    if (s.frags > 0)
        kelvoFtCatWordLong(req, ZEND_STRL("FRAGS"), s.frags);
    if (s.len > 0)
        kelvoFtCatWordLong(req, ZEND_STRL("LEN"), s.len);
    kelvoFtCatWordString(req, ZEND_STRL("SEPARATOR"), s.separator);
    return true;
}

bool catHighlight(rrc *req, const Highlight &h)
{
    if (!h.on)
        return true;
    kelvoCatWord(req, "HIGHLIGHT");
    if (!catCountedIfAny(req, ZEND_STRL("FIELDS"), h.fields))
        return false;
    if (!h.tags || zend_hash_num_elements(h.tags) < 2)
        return true;
    kelvoCatWord(req, "TAGS");
    uint32_t i = 0;
    zval *tag;
    ZEND_HASH_FOREACH_VAL(h.tags, tag)
    {
        if (i++ == 2)
            break;
        if (!kelvoFtCatText(req, tag))
            return false;
    }
    ZEND_HASH_FOREACH_END();
    return true;
}

void catSortBy(rrc *req, const SortBy &s)
{
    if (!s.attribute)
        return;
    kelvoCatWord(req, "SORTBY");
    kelvoRespCmdCatZStr(req, s.attribute);
    if (s.order)
        kelvoRespCmdCatZStr(req, s.order);
    if (s.withcount)
        kelvoCatWord(req, "WITHCOUNT");
}

/* PARAMS 2n name value ... */
bool catParamPairs(rrc *req, HashTable *params)
{
    if (!params || zend_hash_num_elements(params) == 0)
        return true;
    kelvoFtCatWordLong(req, ZEND_STRL("PARAMS"), 2 * static_cast<zend_long>(zend_hash_num_elements(params)));
    zend_string *name;
    zval *value;
    ZEND_HASH_FOREACH_STR_KEY_VAL(params, name, value)
    {
        kelvoRespCmdCatZStr(req, name);
        if (!kelvoFtCatText(req, value))
            return false;
    }
    ZEND_HASH_FOREACH_END();
    return true;
}

void catFlag(rrc *req, bool on, const char *word, size_t len)
{
    if (on)
        kelvoRespCmdCatLen(req, word, len);
}

bool catSearchOptions(rrc *req, const robj *obj, const SearchOptions &o)
{
    catFlag(req, o.nocontent, ZEND_STRL("NOCONTENT"));
    catFlag(req, o.verbatim, ZEND_STRL("VERBATIM"));
    catFlag(req, o.nostopwords, ZEND_STRL("NOSTOPWORDS"));
    catFlag(req, o.withscores, ZEND_STRL("WITHSCORES"));
    catFlag(req, o.withpayloads, ZEND_STRL("WITHPAYLOADS"));
    catFlag(req, o.withsortkeys, ZEND_STRL("WITHSORTKEYS"));
    if (!catGroups(req, ZEND_STRL("FILTER"), o.filter, 3) || !catGroups(req, ZEND_STRL("GEOFILTER"), o.geofilter, 5))
        return false;
    /* INKEYS names keys: they carry the prefix like the keys the documents were written under. */
    if (o.inkeys && zend_hash_num_elements(o.inkeys) > 0) {
        kelvoFtCatWordLong(req, ZEND_STRL("INKEYS"), zend_hash_num_elements(o.inkeys));
        if (!kelvoCatKeyHt(req, obj, o.inkeys))
            return false;
    }
    if (!catCountedIfAny(req, ZEND_STRL("INFIELDS"), o.infields) || !catReturn(req, o.ret) ||
        !catSummarize(req, o.summarize) || !catHighlight(req, o.highlight))
        return false;
    if (o.slopGiven)
        kelvoFtCatWordLong(req, ZEND_STRL("SLOP"), o.slop);
    if (o.timeoutGiven)
        kelvoFtCatWordLong(req, ZEND_STRL("TIMEOUT"), o.timeout);
    catFlag(req, o.inorder, ZEND_STRL("INORDER"));
    kelvoFtCatWordString(req, ZEND_STRL("LANGUAGE"), o.language);
    kelvoFtCatWordString(req, ZEND_STRL("EXPANDER"), o.expander);
    kelvoFtCatWordString(req, ZEND_STRL("SCORER"), o.scorer);
    catFlag(req, o.explainscore, ZEND_STRL("EXPLAINSCORE"));
    kelvoFtCatWordString(req, ZEND_STRL("PAYLOAD"), o.payload);
    catSortBy(req, o.sortby);
    catLimit(req, o.limit);
    if (!catParamPairs(req, o.params))
        return false;
    if (o.dialect > 0)
        kelvoFtCatWordLong(req, ZEND_STRL("DIALECT"), o.dialect);
    return true;
}

/* -- FT.AGGREGATE ----------------------------------------------------------------------------- */

struct GroupBy {
    HashTable *properties = nullptr, *reduce = nullptr;
};

struct AggregateSortBy {
    HashTable *properties = nullptr;
    zend_long max = 0;
    bool withcount = false;
};

struct Cursor {
    bool on = false;
    zend_long count = 0, maxidle = 0;
};

struct AggregateOptions {
    bool verbatim = false;
    HashTable *load = nullptr, *apply = nullptr, *limit = nullptr, *params = nullptr;
    zend_long timeout = 0, dialect = 0;
    GroupBy groupby;
    AggregateSortBy sortby;
    zend_string *filter = nullptr;
    Cursor cursor;
};

/* REDUCE name => [function, arg...]: the function alone is a whole reducer (COUNT). */
int readReducers(HashTable **slot, zval *value)
{
    if (Z_TYPE_P(value) != IS_ARRAY)
        return kelvoRefuse("REDUCE value must be array");
    zval *reducer;
    ZEND_HASH_FOREACH_VAL(Z_ARRVAL_P(value), reducer)
    {
        reducer = kelvoDeref(reducer);
        if (Z_TYPE_P(reducer) != IS_ARRAY || zend_hash_num_elements(Z_ARRVAL_P(reducer)) == 0)
            return kelvoRefuse("At least REDUCE function must be specified");
    }
    ZEND_HASH_FOREACH_END();
    *slot = Z_ARRVAL_P(value);
    return 0;
}

int readGroupBy(GroupBy *g, zval *value)
{
    if (Z_TYPE_P(value) != IS_ARRAY)
        return kelvoRefuse("GROUPBY value must be array");
    *g = GroupBy{};
    return kelvoFtEachOption(Z_ARRVAL_P(value), [g](zend_string *name, zval *v) {
        if (kelvoIsWord(name, "PROPERTIES"))
            return readArray(&g->properties, v, "PROPERTIES value must be array");
        if (kelvoIsWord(name, "REDUCE"))
            return readReducers(&g->reduce, v);
        return 0;
    });
}

int readSortProperties(HashTable **slot, zval *value)
{
    if (Z_TYPE_P(value) != IS_ARRAY)
        return kelvoRefuse("PROPERTIES value must be array");
    zend_string *name;
    zval *direction;
    ZEND_HASH_FOREACH_STR_KEY_VAL(Z_ARRVAL_P(value), name, direction)
    {
        if (!name)
            return kelvoRefuse("Property name is not specified");
        direction = kelvoDeref(direction);
        if (!kelvoFtIsString(direction) ||
            !(kelvoIsWord(Z_STR_P(direction), "ASC") || kelvoIsWord(Z_STR_P(direction), "DESC")))
            return kelvoRefuse("Property value must be 'ASC' or 'DESC'");
    }
    ZEND_HASH_FOREACH_END();
    *slot = Z_ARRVAL_P(value);
    return 0;
}

int readAggregateSortBy(AggregateSortBy *s, zval *value)
{
    if (Z_TYPE_P(value) != IS_ARRAY)
        return kelvoRefuse("SORTBY value must be array");
    *s = AggregateSortBy{};
    return kelvoFtEachOption(Z_ARRVAL_P(value), [s](zend_string *name, zval *v) {
        if (kelvoIsWord(name, "PROPERTIES"))
            return readSortProperties(&s->properties, v);
        if (kelvoIsWord(name, "MAX")) {
            if (!kelvoFtIsLong(v))
                return kelvoRefuse("MAX value must be int");
            s->max = Z_LVAL_P(v);
        } else if (kelvoIsWord(name, "WITHCOUNT")) {
            s->withcount = zend_is_true(v);
        }
        return 0;
    });
}

int readApply(HashTable **slot, zval *value)
{
    if (Z_TYPE_P(value) != IS_ARRAY)
        return kelvoRefuse("APPLY value must be array");
    zend_string *alias;
    zval *expression;
    ZEND_HASH_FOREACH_STR_KEY_VAL(Z_ARRVAL_P(value), alias, expression)
    {
        if (!alias || Z_TYPE_P(expression) != IS_STRING)
            return kelvoRefuse("APPLY 'key' and 'value' must be strings");
    }
    ZEND_HASH_FOREACH_END();
    *slot = Z_ARRVAL_P(value);
    return 0;
}

int readCursor(Cursor *c, zval *value)
{
    *c = Cursor{};
    c->on = Z_TYPE_P(value) == IS_ARRAY || zend_is_true(value);
    if (Z_TYPE_P(value) != IS_ARRAY)
        return 0;
    zend_string *name;
    zval *v;
    ZEND_HASH_FOREACH_STR_KEY_VAL(Z_ARRVAL_P(value), name, v)
    {
        if (!name)
            return kelvoRefuse("WITHCURSOR option name is not specified");
        v = kelvoDeref(v);
        if (!kelvoFtIsLong(v))
            return kelvoRefuse("WITHCURSOR option value must be int");
        if (kelvoIsWord(name, "COUNT"))
            c->count = Z_LVAL_P(v);
        else if (kelvoIsWord(name, "MAXIDLE"))
            c->maxidle = Z_LVAL_P(v);
    }
    ZEND_HASH_FOREACH_END();
    return 0;
}

int readAggregateOption(AggregateOptions *o, zend_string *name, zval *value)
{
    if (kelvoIsWord(name, "VERBATIM")) {
        o->verbatim = zend_is_true(value);
    } else if (kelvoIsWord(name, "LOAD")) {
        return readArray(&o->load, value, "LOAD value must be array");
    } else if (kelvoIsWord(name, "TIMEOUT")) {
        if (!kelvoFtIsLong(value))
            return kelvoRefuse("TIMEOUT value must be int");
        o->timeout = Z_LVAL_P(value);
    } else if (kelvoIsWord(name, "GROUPBY")) {
        return readGroupBy(&o->groupby, value);
    } else if (kelvoIsWord(name, "SORTBY")) {
        return readAggregateSortBy(&o->sortby, value);
    } else if (kelvoIsWord(name, "APPLY")) {
        return readApply(&o->apply, value);
    } else if (kelvoIsWord(name, "LIMIT")) {
        return readLimit(&o->limit, value);
    } else if (kelvoIsWord(name, "FILTER")) {
        return readString(&o->filter, value, "FILTER value must be string");
    } else if (kelvoIsWord(name, "WITHCURSOR")) {
        return readCursor(&o->cursor, value);
    } else if (kelvoIsWord(name, "PARAMS")) {
        return readArray(&o->params, value, "PARAMS must be array");
    } else if (kelvoIsWord(name, "DIALECT")) {
        return readCount(&o->dialect, value, "DIALECT must be non-negative integer");
    }
    return 0;
}

/* GROUPBY n property... REDUCE function nargs arg... [AS name]: nargs counts the arguments after
 * the function, so a reducer without any (COUNT) sends 0. */
bool catGroupBy(rrc *req, const GroupBy &g)
{
    if (!g.properties || zend_hash_num_elements(g.properties) == 0)
        return true;
    if (!kelvoFtCatCounted(req, ZEND_STRL("GROUPBY"), g.properties))
        return false;
    if (!g.reduce)
        return true;
    zend_string *alias;
    zval *reducer;
    ZEND_HASH_FOREACH_STR_KEY_VAL(g.reduce, alias, reducer)
    {
        HashTable *words = Z_ARRVAL_P(kelvoDeref(reducer));
        kelvoCatWord(req, "REDUCE");
        uint32_t i = 0;
        zval *word;
        ZEND_HASH_FOREACH_VAL(words, word)
        {
            if (!kelvoFtCatText(req, word))
                return false;
            if (i++ == 0)
                kelvoRespCmdCatZendLong(req, static_cast<zend_long>(zend_hash_num_elements(words)) - 1);
        }
        ZEND_HASH_FOREACH_END();
        if (alias) {
            kelvoCatWord(req, "AS");
            kelvoRespCmdCatZStr(req, alias);
        }
    }
    ZEND_HASH_FOREACH_END();
    return true;
}

void catAggregateSortBy(rrc *req, const AggregateSortBy &s)
{
    if (!s.properties || zend_hash_num_elements(s.properties) == 0)
        return;
    kelvoFtCatWordLong(req, ZEND_STRL("SORTBY"), 2 * static_cast<zend_long>(zend_hash_num_elements(s.properties)));
    zend_string *name;
    zval *direction;
    ZEND_HASH_FOREACH_STR_KEY_VAL(s.properties, name, direction)
    {
        kelvoRespCmdCatZStr(req, name);
        kelvoRespCmdCatZStr(req, Z_STR_P(kelvoDeref(direction)));
    }
    ZEND_HASH_FOREACH_END();
    if (s.max > 0)
        kelvoFtCatWordLong(req, ZEND_STRL("MAX"), s.max);
    if (s.withcount)
        kelvoCatWord(req, "WITHCOUNT");
}

void catApply(rrc *req, HashTable *apply)
{
    if (!apply)
        return;
    zend_string *alias;
    zval *expression;
    ZEND_HASH_FOREACH_STR_KEY_VAL(apply, alias, expression)
    {
        kelvoCatWord(req, "APPLY");
        kelvoRespCmdCatZStr(req, Z_STR_P(expression));
        kelvoCatWord(req, "AS");
        kelvoRespCmdCatZStr(req, alias);
    }
    ZEND_HASH_FOREACH_END();
}

void catCursor(rrc *req, const Cursor &c)
{
    if (!c.on)
        return;
    kelvoCatWord(req, "WITHCURSOR");
    if (c.count > 0)
        kelvoFtCatWordLong(req, ZEND_STRL("COUNT"), c.count);
    if (c.maxidle > 0)
        kelvoFtCatWordLong(req, ZEND_STRL("MAXIDLE"), c.maxidle);
}

/* PARAMS of an aggregation: a flat list [name, value, ...] goes as it is; name => value pairs, as
 * ftSearch takes them, go as their names and values, so the count is never odd for them. */
bool catAggregateParams(rrc *req, HashTable *params)
{
    if (!params || zend_hash_num_elements(params) == 0)
        return true;
    bool pairs = true;
    zend_string *name;
    ZEND_HASH_FOREACH_STR_KEY(params, name) { pairs = pairs && name; }
    ZEND_HASH_FOREACH_END();
    if (pairs)
        return catParamPairs(req, params);
    return kelvoFtCatCounted(req, ZEND_STRL("PARAMS"), params);
}

bool catAggregateOptions(rrc *req, const AggregateOptions &o)
{
    catFlag(req, o.verbatim, ZEND_STRL("VERBATIM"));
    if (!catCountedIfAny(req, ZEND_STRL("LOAD"), o.load))
        return false;
    if (o.timeout > 0)
        kelvoFtCatWordLong(req, ZEND_STRL("TIMEOUT"), o.timeout);
    if (!catGroupBy(req, o.groupby))
        return false;
    catAggregateSortBy(req, o.sortby);
    catApply(req, o.apply);
    catLimit(req, o.limit);
    kelvoFtCatWordString(req, ZEND_STRL("FILTER"), o.filter);
    catCursor(req, o.cursor);
    if (!catAggregateParams(req, o.params))
        return false;
    if (o.dialect > 0)
        kelvoFtCatWordLong(req, ZEND_STRL("DIALECT"), o.dialect);
    return true;
}

/* -- FT.SPELLCHECK ---------------------------------------------------------------------------- */

struct SpellOptions {
    zend_long distance = 0, dialect = 0;
    HashTable *include = nullptr, *exclude = nullptr;
};

/* dictionary => [term, ...]. */
int readDictionaries(HashTable **slot, zval *value, const char *refusal)
{
    if (Z_TYPE_P(value) != IS_ARRAY)
        return kelvoRefuse("%s", refusal);
    zend_string *name;
    zval *terms;
    ZEND_HASH_FOREACH_STR_KEY_VAL(Z_ARRVAL_P(value), name, terms)
    {
        if (!name)
            return kelvoRefuse("Dictionary name is not specified");
        if (Z_TYPE_P(kelvoDeref(terms)) != IS_ARRAY)
            return kelvoRefuse("Dictionary terms must be array");
    }
    ZEND_HASH_FOREACH_END();
    *slot = Z_ARRVAL_P(value);
    return 0;
}

int readSpellOption(SpellOptions *o, zend_string *name, zval *value)
{
    if (kelvoIsWord(name, "DISTANCE"))
        return readCount(&o->distance, value, "DISTANCE must be non-negative integer");
    if (kelvoIsWord(name, "DIALECT"))
        return readCount(&o->dialect, value, "DIALECT must be non-negative integer");
    if (!kelvoIsWord(name, "TERMS"))
        return 0;
    if (Z_TYPE_P(value) != IS_ARRAY)
        return kelvoRefuse("Terms must be array");
    return kelvoFtEachOption(Z_ARRVAL_P(value), [o](zend_string *which, zval *v) {
        if (kelvoIsWord(which, "INCLUDE"))
            return readDictionaries(&o->include, v, "TERMS INCLUDE must be array");
        if (kelvoIsWord(which, "EXCLUDE"))
            return readDictionaries(&o->exclude, v, "TERMS EXCLUDE must be array");
        return 0;
    });
}

/* index query [options]: every option read and checked by `read` before anything goes out, then
 * the index (in the key space), the query and the clauses `cat` appends (false: refused). */
template <typename Options, typename Read, typename Cat>
int indexQueryBuilder(zend_execute_data *execute_data, rrc *req, robj *obj, Read read, Cat cat)
{
    zend_string *index, *query;
    HashTable *options = nullptr;
    ZEND_PARSE_PARAMETERS_START(2, 3)
    Z_PARAM_STR(index)
    Z_PARAM_STR(query)
    Z_PARAM_OPTIONAL
    Z_PARAM_ARRAY_HT_OR_NULL(options)
    ZEND_PARSE_PARAMETERS_END_EX(return -1);
    Options o;
    if (options && kelvoFtEachOption(options, [&o, read](zend_string *n, zval *v) { return read(&o, n, v); }))
        return -1;
    kelvoCatKey(req, obj, index);
    kelvoRespCmdCatZStr(req, query);
    return cat(o) ? 0 : -1;
}

} // namespace

/*
 * TERMS INCLUDE|EXCLUDE dictionary term... for each dictionary of the array. Dictionaries are
 * named like ftDictAdd names them, with the key prefix.
 */
bool kelvoRespCmdCatFtSpellCheckTerms(rrc *req, const robj *obj, HashTable *dictionaries, const char *word)
{
    if (!dictionaries)
        return true;
    zend_string *name;
    zval *terms;
    ZEND_HASH_FOREACH_STR_KEY_VAL(dictionaries, name, terms)
    {
        kelvoCatWord(req, "TERMS");
        kelvoRespCmdCatLen(req, word, strlen(word));
        kelvoCatKey(req, obj, name);
        zval *term;
        ZEND_HASH_FOREACH_VAL(Z_ARRVAL_P(kelvoDeref(terms)), term)
        {
            if (!kelvoFtCatText(req, term))
                return false;
        }
        ZEND_HASH_FOREACH_END();
    }
    ZEND_HASH_FOREACH_END();
    return true;
}

/* FT.SEARCH index query [clauses]. */
int kelvoFtSearchRCmd(zend_execute_data *execute_data, zval *, rrc *req, robj *obj)
{
    return indexQueryBuilder<SearchOptions>(
        execute_data, req, obj, readSearchOption,
        [req, obj](const SearchOptions &o) { return catSearchOptions(req, obj, o); });
}

/* FT.AGGREGATE index query [clauses]. */
int kelvoFtAggregateRCmd(zend_execute_data *execute_data, zval *, rrc *req, robj *obj)
{
    return indexQueryBuilder<AggregateOptions>(
        execute_data, req, obj, readAggregateOption,
        [req](const AggregateOptions &o) { return catAggregateOptions(req, o); });
}

/*
 * FT.CURSOR READ|DEL index cursor [COUNT n]: the operation in the caller's letter case; the
 * index is the one the aggregation named, prefix included.
 */
int kelvoFtCursorRCmd(zend_execute_data *execute_data, zval *, rrc *req, robj *obj)
{
    zend_string *operation, *index, *cursor;
    HashTable *options = nullptr;
    ZEND_PARSE_PARAMETERS_START(3, 4)
    Z_PARAM_STR(operation)
    Z_PARAM_STR(index)
    Z_PARAM_STR(cursor)
    Z_PARAM_OPTIONAL
    Z_PARAM_ARRAY_HT_OR_NULL(options)
    ZEND_PARSE_PARAMETERS_END_EX(return -1);
    const bool read = kelvoIsWord(operation, "READ");
    if (!read && !kelvoIsWord(operation, "DEL"))
        return kelvoRefuse("Unknown operation '%s'", ZSTR_VAL(operation));
    zend_long count = 0;
    if (read && options && kelvoFtEachOption(options, [&count](zend_string *name, zval *v) {
            if (kelvoIsWord(name, "COUNT"))
                count = zval_get_long(v);
            return 0;
        }))
        return -1;
    kelvoRespCmdCatZStr(req, operation);
    kelvoCatKey(req, obj, index);
    kelvoRespCmdCatZStr(req, cursor);
    if (count > 0)
        kelvoFtCatWordLong(req, ZEND_STRL("COUNT"), count);
    return 0;
}

/* FT.PROFILE index SEARCH|AGGREGATE [LIMITED] QUERY query. */
int kelvoFtProfileRCmd(zend_execute_data *execute_data, zval *, rrc *req, robj *obj)
{
    zend_string *index, *command, *query;
    bool limited = false;
    ZEND_PARSE_PARAMETERS_START(3, 4)
    Z_PARAM_STR(index)
    Z_PARAM_STR(command)
    Z_PARAM_STR(query)
    Z_PARAM_OPTIONAL
    Z_PARAM_BOOL(limited)
    ZEND_PARSE_PARAMETERS_END_EX(return -1);
    if (!kelvoIsWord(command, "SEARCH") && !kelvoIsWord(command, "AGGREGATE"))
        return kelvoRefuse("Invalid command '%s'", ZSTR_VAL(command));
    kelvoCatKey(req, obj, index);
    kelvoRespCmdCatZStr(req, command);
    if (limited)
        kelvoCatWord(req, "LIMITED");
    kelvoCatWord(req, "QUERY");
    kelvoRespCmdCatZStr(req, query);
    return 0;
}

/* FT.SPELLCHECK index query [DISTANCE n] [TERMS ...] [DIALECT n]. */
int kelvoFtSpellCheckRCmd(zend_execute_data *execute_data, zval *, rrc *req, robj *obj)
{
    return indexQueryBuilder<SpellOptions>(execute_data, req, obj, readSpellOption, [req, obj](const SpellOptions &o) {
        if (o.distance > 0)
            kelvoFtCatWordLong(req, ZEND_STRL("DISTANCE"), o.distance);
        if (!kelvoRespCmdCatFtSpellCheckTerms(req, obj, o.include, "INCLUDE") ||
            !kelvoRespCmdCatFtSpellCheckTerms(req, obj, o.exclude, "EXCLUDE"))
            return false;
        if (o.dialect > 0)
            kelvoFtCatWordLong(req, ZEND_STRL("DIALECT"), o.dialect);
        return true;
    });
}
