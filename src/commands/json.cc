/*
 * The JSON document commands. Every value that stands for a piece of a document goes out as
 * JSON text and JSON.GET and JSON.MGET replies are decoded from it, whatever serializer and
 * compressor the client uses for its other commands. Paths and option words are plain text.
 *
 * Paths are optional in the middle of some commands: a path left out (or null) before an
 * argument that follows it is sent as the root "$", so no later argument is read by the server
 * as the path.
 */
#include "commands/cmdroles.h"
#include "commands/builder.h"
#include "commands/formatter.h"
#include "pack/pack.h"

using namespace kelvoFormat;

namespace {

/* The one packing of document values: JSON, no compression, no option bit (numbers are encoded
 * too). Nothing of the client's options reaches it. */
const kelvoPackOptions kJsonContext = {&kelvoJsonSerInfo, &kelvoNoneCmpInfo, 0, 0};

/* json(value) as one argument. A value the encoder cannot write exactly (NAN, INF, bad UTF-8,
 * too deep) fails the call: the document must never get a stand-in such as 0. */
bool catJson(rrc *req, zval *value)
{
    if (kelvoRespCmdCatZVal(req, &kJsonContext, value))
        return true;
    if (!EG(exception)) {
        const char *why = kelvoJsonFailureText();
        kelvoWarn("Cannot encode the value as JSON: %s", why ? why : "Encoding error");
    }
    return false;
}

/* The path when given, "$" when it is left out but something follows it. */
void catPathBefore(rrc *req, const zend_string *path)
{
    if (path)
        kelvoRespCmdCatZStr(req, path);
    else
        kelvoCatWord(req, "$");
}

/* The engine's string conversion; false when it threw. */
bool catText(rrc *req, zval *value)
{
    kelvoRespCmdCatZValZStr(req, value);
    return !EG(exception);
}

} // namespace

/*
 * JSON.ARRAPPEND key path value... A list gives one value per element; any other value,
 * an associative array among them, is one value (an array with string keys is a JSON object).
 */
int kelvoJsonArrAppendRCmd(zend_execute_data *execute_data, zval *, rrc *req, robj *obj)
{
    zend_string *key, *path = nullptr;
    zval *value;
    ZEND_PARSE_PARAMETERS_START(2, 3)
    Z_PARAM_STR(key)
    Z_PARAM_ZVAL(value)
    Z_PARAM_OPTIONAL
    Z_PARAM_STR_OR_NULL(path)
    ZEND_PARSE_PARAMETERS_END_EX(return -1);
    ZVAL_DEREF(value);
    const bool list = Z_TYPE_P(value) == IS_ARRAY && zend_array_is_list(Z_ARRVAL_P(value));
    if (list && zend_hash_num_elements(Z_ARRVAL_P(value)) == 0)
        return kelvoRefuse("At least one value must be specified");
    kelvoCatKey(req, obj, key);
    catPathBefore(req, path);
    if (!list)
        return catJson(req, value) ? 0 : -1;
    kelvoReserveArgs(req, zend_hash_num_elements(Z_ARRVAL_P(value)));
    zval *element;
    ZEND_HASH_FOREACH_VAL(Z_ARRVAL_P(value), element)
    {
        if (!catJson(req, kelvoDeref(element)))
            return -1;
    }
    ZEND_HASH_FOREACH_END();
    return 0;
}

/* JSON.ARRINDEX key path value [start [stop]]: a stop alone goes with start 0, the start the
 * server assumes, so it is never read as the start. */
int kelvoJsonArrIndexRCmd(zend_execute_data *execute_data, zval *, rrc *req, robj *obj)
{
    zend_string *key, *path;
    zval *value;
    zend_long start = 0, stop = -1;
    bool startNull = true, stopNull = true;
    ZEND_PARSE_PARAMETERS_START(3, 5)
    Z_PARAM_STR(key)
    Z_PARAM_STR(path)
    Z_PARAM_ZVAL(value)
    Z_PARAM_OPTIONAL
    Z_PARAM_LONG_OR_NULL(start, startNull)
    Z_PARAM_LONG_OR_NULL(stop, stopNull)
    ZEND_PARSE_PARAMETERS_END_EX(return -1);
    kelvoCatKey(req, obj, key);
    kelvoRespCmdCatZStr(req, path);
    if (!catJson(req, value))
        return -1;
    if (!startNull || !stopNull)
        kelvoRespCmdCatZendLong(req, startNull ? 0 : start);
    if (!stopNull)
        kelvoRespCmdCatZendLong(req, stop);
    return 0;
}

int kelvoJsonArrInsertRCmd(zend_execute_data *execute_data, zval *, rrc *req, robj *obj)
{
    zend_string *key, *path;
    zend_long index;
    zval *value, *others;
    uint32_t count;
    ZEND_PARSE_PARAMETERS_START(4, -1)
    Z_PARAM_STR(key)
    Z_PARAM_STR(path)
    Z_PARAM_LONG(index)
    Z_PARAM_ZVAL(value)
    Z_PARAM_VARIADIC('*', others, count)
    ZEND_PARSE_PARAMETERS_END_EX(return -1);
    kelvoCatKey(req, obj, key);
    kelvoRespCmdCatZStr(req, path);
    kelvoRespCmdCatZendLong(req, index);
    kelvoReserveArgs(req, count + 1);
    if (!catJson(req, value))
        return -1;
    for (uint32_t i = 0; i < count; i++)
        if (!catJson(req, &others[i]))
            return -1;
    return 0;
}

int kelvoJsonKeyOptPathRCmd(zend_execute_data *execute_data, zval *, rrc *req, robj *obj)
{
    zend_string *key, *path = nullptr;
    ZEND_PARSE_PARAMETERS_START(1, 2)
    Z_PARAM_STR(key)
    Z_PARAM_OPTIONAL
    Z_PARAM_STR_OR_NULL(path)
    ZEND_PARSE_PARAMETERS_END_EX(return -1);
    kelvoCatKey(req, obj, key);
    if (path)
        kelvoRespCmdCatZStr(req, path);
    return 0;
}

int kelvoJsonKeyPathRCmd(zend_execute_data *execute_data, zval *, rrc *req, robj *obj)
{
    zend_string *key, *path;
    ZEND_PARSE_PARAMETERS_START(2, 2)
    Z_PARAM_STR(key)
    Z_PARAM_STR(path)
    ZEND_PARSE_PARAMETERS_END_EX(return -1);
    kelvoCatKey(req, obj, key);
    kelvoRespCmdCatZStr(req, path);
    return 0;
}

/* JSON.ARRPOP key [path [index]]. */
int kelvoJsonArrPopRCmd(zend_execute_data *execute_data, zval *, rrc *req, robj *obj)
{
    zend_string *key, *path = nullptr;
    zend_long index = -1;
    bool indexNull = true;
    ZEND_PARSE_PARAMETERS_START(1, 3)
    Z_PARAM_STR(key)
    Z_PARAM_OPTIONAL
    Z_PARAM_STR_OR_NULL(path)
    Z_PARAM_LONG_OR_NULL(index, indexNull)
    ZEND_PARSE_PARAMETERS_END_EX(return -1);
    kelvoCatKey(req, obj, key);
    if (indexNull) {
        if (path)
            kelvoRespCmdCatZStr(req, path);
        return 0;
    }
    catPathBefore(req, path);
    kelvoRespCmdCatZendLong(req, index);
    return 0;
}

int kelvoJsonArrTrimRCmd(zend_execute_data *execute_data, zval *, rrc *req, robj *obj)
{
    zend_string *key, *path;
    zend_long start, stop;
    ZEND_PARSE_PARAMETERS_START(4, 4)
    Z_PARAM_STR(key)
    Z_PARAM_STR(path)
    Z_PARAM_LONG(start)
    Z_PARAM_LONG(stop)
    ZEND_PARSE_PARAMETERS_END_EX(return -1);
    kelvoCatKey(req, obj, key);
    kelvoRespCmdCatZStr(req, path);
    kelvoRespCmdCatZendLong(req, start);
    kelvoRespCmdCatZendLong(req, stop);
    return 0;
}

/* JSON.NUMINCRBY, JSON.NUMMULTBY: an integer in decimal, a float with 17 digits. */
int kelvoJsonKeyPathLongRCmd(zend_execute_data *execute_data, zval *, rrc *req, robj *obj)
{
    zend_string *key, *path;
    zval *number;
    ZEND_PARSE_PARAMETERS_START(3, 3)
    Z_PARAM_STR(key)
    Z_PARAM_STR(path)
    Z_PARAM_NUMBER(number)
    ZEND_PARSE_PARAMETERS_END_EX(return -1);
    kelvoCatKey(req, obj, key);
    kelvoRespCmdCatZStr(req, path);
    kelvoCatNumber(req, number);
    return 0;
}

/* JSON.DEBUG MEMORY key [path]: the subcommand first, in the caller's letter case. */
int kelvoJsonDebugRCmd(zend_execute_data *execute_data, zval *, rrc *req, robj *obj)
{
    zend_string *subcommand, *key, *path = nullptr;
    ZEND_PARSE_PARAMETERS_START(2, 3)
    Z_PARAM_STR(subcommand)
    Z_PARAM_STR(key)
    Z_PARAM_OPTIONAL
    Z_PARAM_STR_OR_NULL(path)
    ZEND_PARSE_PARAMETERS_END_EX(return -1);
    if (!kelvoIsWord(subcommand, "MEMORY"))
        return kelvoRefuse("Unexpected subcommand '%s'", ZSTR_VAL(subcommand));
    kelvoRespCmdCatZStr(req, subcommand);
    kelvoCatKey(req, obj, key);
    if (path)
        kelvoRespCmdCatZStr(req, path);
    return 0;
}

/* JSON.GET key [INDENT s] [NEWLINE s] [SPACE s] [path ...]: the options in that order whatever
 * the array's, each given at most once (the array's last word wins). */
int kelvoJsonGetRCmd(zend_execute_data *execute_data, zval *, rrc *req, robj *obj)
{
    zend_string *key;
    HashTable *options = nullptr;
    zval *paths = nullptr;
    uint32_t count = 0;
    ZEND_PARSE_PARAMETERS_START(1, -1)
    Z_PARAM_STR(key)
    Z_PARAM_OPTIONAL
    Z_PARAM_ARRAY_HT(options)
    Z_PARAM_VARIADIC('*', paths, count)
    ZEND_PARSE_PARAMETERS_END_EX(return -1);
    zend_string *indent = nullptr, *newline = nullptr, *space = nullptr;
    if (options) {
        zend_string *name;
        zval *value;
        ZEND_HASH_FOREACH_STR_KEY_VAL(options, name, value)
        {
            if (!name)
                return kelvoRefuse("Options array must have all string keys");
            ZVAL_DEREF(value);
            if (Z_TYPE_P(value) != IS_STRING)
                return kelvoRefuse("Option value must be a string");
            if (kelvoIsWord(name, "INDENT"))
                indent = Z_STR_P(value);
            else if (kelvoIsWord(name, "NEWLINE"))
                newline = Z_STR_P(value);
            else if (kelvoIsWord(name, "SPACE"))
                space = Z_STR_P(value);
        }
        ZEND_HASH_FOREACH_END();
    }
    kelvoCatKey(req, obj, key);
    if (indent) {
        kelvoCatWord(req, "INDENT");
        kelvoRespCmdCatZStr(req, indent);
    }
    if (newline) {
        kelvoCatWord(req, "NEWLINE");
        kelvoRespCmdCatZStr(req, newline);
    }
    if (space) {
        kelvoCatWord(req, "SPACE");
        kelvoRespCmdCatZStr(req, space);
    }
    kelvoReserveArgs(req, count);
    for (uint32_t i = 0; i < count; i++)
        kelvoCatPlain(req, &paths[i]);
    return 0;
}

int kelvoJsonMergeRCmd(zend_execute_data *execute_data, zval *, rrc *req, robj *obj)
{
    zend_string *key, *path;
    zval *value;
    ZEND_PARSE_PARAMETERS_START(3, 3)
    Z_PARAM_STR(key)
    Z_PARAM_STR(path)
    Z_PARAM_ZVAL(value)
    ZEND_PARSE_PARAMETERS_END_EX(return -1);
    kelvoCatKey(req, obj, key);
    kelvoRespCmdCatZStr(req, path);
    return catJson(req, value) ? 0 : -1;
}

/* JSON.MGET key... path: one key or an array of them. */
int kelvoJsonMgetRCmd(zend_execute_data *execute_data, zval *, rrc *req, robj *obj)
{
    zval *keys;
    zend_string *path;
    ZEND_PARSE_PARAMETERS_START(2, 2)
    Z_PARAM_ZVAL(keys)
    Z_PARAM_STR(path)
    ZEND_PARSE_PARAMETERS_END_EX(return -1);
    ZVAL_DEREF(keys);
    const bool ok =
        Z_TYPE_P(keys) == IS_ARRAY ? kelvoCatKeyHt(req, obj, Z_ARRVAL_P(keys)) : kelvoCatKeyZVal(req, obj, keys);
    if (!ok)
        return -1;
    kelvoRespCmdCatZStr(req, path);
    return 0;
}

/* JSON.MSET key path value [key path value ...]: whole triples only. */
int kelvoJsonMsetRCmd(zend_execute_data *execute_data, zval *, rrc *req, robj *obj)
{
    zend_string *key, *path;
    zval *value, *others;
    uint32_t count;
    ZEND_PARSE_PARAMETERS_START(3, -1)
    Z_PARAM_STR(key)
    Z_PARAM_STR(path)
    Z_PARAM_ZVAL(value)
    Z_PARAM_VARIADIC('*', others, count)
    ZEND_PARSE_PARAMETERS_END_EX(return -1);
    if (count % 3)
        return kelvoRefuse("Key, path and value must specified");
    kelvoReserveArgs(req, count + 3);
    kelvoCatKey(req, obj, key);
    kelvoRespCmdCatZStr(req, path);
    if (!catJson(req, value))
        return -1;
    for (uint32_t i = 0; i < count; i += 3) {
        if (!kelvoCatKeyZVal(req, obj, &others[i]) || !catText(req, &others[i + 1]) || !catJson(req, &others[i + 2]))
            return -1;
    }
    return 0;
}

/* JSON.SET key path value [NX|XX] [FPHA format]: the words in upper case. */
int kelvoJsonSetRCmd(zend_execute_data *execute_data, zval *, rrc *req, robj *obj)
{
    zend_string *key, *path, *condition = nullptr, *format = nullptr;
    zval *value;
    ZEND_PARSE_PARAMETERS_START(3, 5)
    Z_PARAM_STR(key)
    Z_PARAM_STR(path)
    Z_PARAM_ZVAL(value)
    Z_PARAM_OPTIONAL
    Z_PARAM_STR_OR_NULL(condition)
    Z_PARAM_STR_OR_NULL(format)
    ZEND_PARSE_PARAMETERS_END_EX(return -1);
    const bool nx = condition && kelvoIsWord(condition, "NX");
    if (condition && !nx && !kelvoIsWord(condition, "XX"))
        return kelvoRefuse("Unknown condition '%s'", ZSTR_VAL(condition));
    static constexpr const char *formats[] = {"BF16", "FP16", "FP32", "FP64"};
    const char *fpha = nullptr;
    if (format) {
        for (const char *f : formats)
            if (ZSTR_LEN(format) == 4 && strncasecmp(ZSTR_VAL(format), f, 4) == 0)
                fpha = f;
        if (!fpha)
            return kelvoRefuse("Unknown FPGA format '%s'", ZSTR_VAL(format));
    }
    kelvoCatKey(req, obj, key);
    kelvoRespCmdCatZStr(req, path);
    if (!catJson(req, value))
        return -1;
    if (condition) {
        if (nx)
            kelvoCatWord(req, "NX");
        else
            kelvoCatWord(req, "XX");
    }
    if (fpha) {
        kelvoCatWord(req, "FPHA");
        kelvoRespCmdCatLen(req, fpha, 4);
    }
    return 0;
}

/* JSON.STRAPPEND key path value: the value is the second parameter but goes last. */
int kelvoJsonStrAppendRCmd(zend_execute_data *execute_data, zval *, rrc *req, robj *obj)
{
    zend_string *key, *path = nullptr;
    zval *value;
    ZEND_PARSE_PARAMETERS_START(2, 3)
    Z_PARAM_STR(key)
    Z_PARAM_ZVAL(value)
    Z_PARAM_OPTIONAL
    Z_PARAM_STR_OR_NULL(path)
    ZEND_PARSE_PARAMETERS_END_EX(return -1);
    kelvoCatKey(req, obj, key);
    catPathBefore(req, path);
    return catJson(req, value) ? 0 : -1;
}

/* -- replies ---------------------------------------------------------------------------------- */

namespace {

/* What the module answers is JSON text or a count, never a value this client packed. */
constexpr Body jsonPlain = unpackedConversion<0>;

/* A legacy path's type name comes as a simple string: its text, not true. */
constexpr Body jsonType = unpackedConversion<kelvoOptReplyLiteral>;

/* JSON.GET and JSON.MGET: documents decoded, a missing one null, whatever the client's options. */
void jsonDocuments(zval *rv, kelvoQuerySet *rqs, kelvoReplyEnv *, const kelvoReply *reply)
{
    kelvoReplyToZVal(rv, reply, &kJsonContext, rqs->flags);
}

/*
 * One node of a JSON.RESP reply as the module sends it: strings, simple strings ("true",
 * "false" and numbers of older versions), integers, doubles, booleans and nil as such, arrays
 * and sets as lists, maps by their keys. Error, push and attribute nodes have no place in a
 * document: the aggregate that holds them becomes false after a report.
 */
bool respNode(zval *dst, const kelvoReplyEnv *env, const kelvoReply *node);

bool respAggregate(zval *dst, const kelvoReplyEnv *env, const kelvoReply *node)
{
    const bool map = is(node, KELVO_REPLY_MAP);
    if (map && node->elements % 2) {
        MALFORMED(env, "expected map key/value pairs");
        ZVAL_FALSE(dst);
        return true;
    }
    array_init_size(dst, static_cast<uint32_t>(map ? node->elements / 2 : node->elements));
    for (uint64_t i = 0; i < node->elements; i += map ? 2 : 1) {
        const kelvoReply *key = map ? at(node, i) : nullptr;
        if (key && !is(key, KELVO_REPLY_STRING) && !is(key, KELVO_REPLY_STATUS) && !is(key, KELVO_REPLY_INTEGER)) {
            MALFORMED(env, "unexpected JSON.RESP member type %s", kelvoReplyTypeToString(key));
            kelvoReplyFailure(dst);
            return true;
        }
        const kelvoReply *element = at(node, map ? i + 1 : i);
        zval v;
        if (!respNode(&v, env, element)) {
            MALFORMED(env, "unexpected JSON.RESP member type %s", kelvoReplyTypeToString(element));
            kelvoReplyFailure(dst);
            return true;
        }
        if (key)
            addByReplyKey(dst, key, &v);
        else
            add_next_index_zval(dst, &v);
    }
    return true;
}

bool respNode(zval *dst, const kelvoReplyEnv *env, const kelvoReply *node)
{
    switch (node->type) {
    case KELVO_REPLY_STRING:
    case KELVO_REPLY_STATUS:
    case KELVO_REPLY_VERB:
    case KELVO_REPLY_BIGNUM:
        ZVAL_STR_COPY(dst, node->v.str);
        return true;
    case KELVO_REPLY_INTEGER:
        ZVAL_LONG(dst, node->v.integer);
        return true;
    case KELVO_REPLY_DOUBLE:
        ZVAL_DOUBLE(dst, node->dval);
        return true;
    case KELVO_REPLY_BOOL:
        ZVAL_BOOL(dst, node->v.integer != 0);
        return true;
    case KELVO_REPLY_NIL:
        ZVAL_NULL(dst);
        return true;
    case KELVO_REPLY_ARRAY:
    case KELVO_REPLY_SET:
    case KELVO_REPLY_MAP:
        return respAggregate(dst, env, node);
    default:
        return false;
    }
}

void jsonResp(zval *rv, kelvoQuerySet *, kelvoReplyEnv *env, const kelvoReply *reply)
{
    if (!respNode(rv, env, reply)) {
        MALFORMED(env, "unexpected JSON.RESP member type %s", kelvoReplyTypeToString(reply));
        kelvoReplyFailure(rv);
    }
}

} // namespace

KELVO_FORMATTER(kelvoJsonPlainFmt, jsonPlain)
KELVO_FORMATTER(kelvoJsonTypeFmt, jsonType)
KELVO_FORMATTER(kelvoJsonReplyFmt, jsonDocuments)
KELVO_FORMATTER(kelvoJsonRespReply, jsonResp)
