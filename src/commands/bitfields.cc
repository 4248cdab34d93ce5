/*
 * BITFIELD, the count-min sketch writes CMS.INCRBY and CMS.MERGE, and the small multi-key
 * commands PFMERGE, LCS, SMOVE and LREM. BITFIELD checks its whole subcommand list before it
 * appends a word, and leaves 1 in the context byte when the list writes (SET or INCRBY), so a
 * read-only BITFIELD leaves the cached key alone.
 */
#include "commands/cmdroles.h"
#include "commands/builder.h"
#include "commands/numeric.h"

namespace {

/* A BITFIELD offset: a number, or a text such as "#1". */
bool isOffset(const zval *offset) { return Z_TYPE_P(offset) == IS_LONG || Z_TYPE_P(offset) == IS_STRING; }

/* The subcommand list of BITFIELD, argument after argument: 0 with *writes set, or -1 after the
 * warning for the first fault. */
int checkBitfield(zval *args, uint32_t argc, bool *writes)
{
    uint32_t i = 0;
    while (i < argc) {
        const zval *name = kelvoDeref(&args[i]);
        if (Z_TYPE_P(name) != IS_STRING)
            return kelvoRefuse("Subcommand argument must be string");
        const zend_string *word = Z_STR_P(name);
        const uint32_t left = argc - i - 1;
        if (kelvoIsWord(word, "GET")) {
            if (left < 2)
                return kelvoRefuse("GET subcommand requires 2 arguments");
            if (Z_TYPE_P(kelvoDeref(&args[i + 1])) != IS_STRING)
                return kelvoRefuse("Invalid encoding");
            if (!isOffset(kelvoDeref(&args[i + 2])))
                return kelvoRefuse("Invalid offset");
            i += 3;
        } else if (kelvoIsWord(word, "SET") || kelvoIsWord(word, "INCRBY")) {
            if (left < 3)
                return kelvoRefuse("%s subcommand requires 3 arguments", ZSTR_VAL(word));
            if (Z_TYPE_P(kelvoDeref(&args[i + 1])) != IS_STRING)
                return kelvoRefuse("Invalid encoding");
            if (!isOffset(kelvoDeref(&args[i + 2])))
                return kelvoRefuse("Invalid offset");
            if (Z_TYPE_P(kelvoDeref(&args[i + 3])) != IS_LONG)
                return kelvoRefuse("Invalid value");
            *writes = true;
            i += 4;
        } else if (kelvoIsWord(word, "OVERFLOW")) {
            if (left < 1)
                return kelvoRefuse("OVERFLOW subcommand requires 1 argument");
            const zval *mode = kelvoDeref(&args[i + 1]);
            if (Z_TYPE_P(mode) != IS_STRING ||
                !(kelvoIsWord(Z_STR_P(mode), "WRAP") || kelvoIsWord(Z_STR_P(mode), "SAT") ||
                  kelvoIsWord(Z_STR_P(mode), "FAIL")))
                return kelvoRefuse("Invalid value");
            if (left < 2)
                return kelvoRefuse("OVERFLOW subcommand must be used with SET or INCRBY");
            i += 2;
        } else {
            return kelvoRefuse("Unexpected subcommand '%s'", ZSTR_VAL(word));
        }
    }
    return 0;
}

/* An integer as an int parameter takes it in weak mode (an integral float, a numeric string),
 * or the engine's type error for argument `number`. */
bool readInteger(zval *value, zend_long *out, uint32_t number)
{
    bool isNull;
    value = kelvoDeref(value);
    if (zend_parse_arg_long(value, out, &isNull, false, number))
        return true;
    zend_wrong_parameter_type_error(number, Z_EXPECTED_LONG, value);
    return false;
}

} // namespace

/* BITFIELD key subcommand ...: the caller's words as they are; numbers as decimal text. */
int kelvoBitfieldRCmd(zend_execute_data *execute_data, zval *, rrc *req, robj *obj)
{
    zend_string *key;
    zval *args;
    uint32_t argc;
    if (kelvoParseKeyArgs(execute_data, 1, &key, &args, &argc) != 0)
        return -1;
    bool writes = false;
    if (checkBitfield(args, argc, &writes) != 0)
        return -1;
    kelvoReserveArgs(req, argc + 1);
    kelvoCatKey(req, obj, key);
    for (uint32_t i = 0; i < argc; i++)
        kelvoCatPlain(req, kelvoDeref(&args[i]));
    req->context = writes ? 1 : 0;
    return 0;
}

/* CMS.INCRBY key item increment ...: items packed as CMS.QUERY packs them, so the counts are
 * found again; increments are integers, never a text read as 0. */
int kelvoCmsIncrbyRCmd(zend_execute_data *execute_data, zval *, rrc *req, robj *obj)
{
    zend_string *key;
    zval *args;
    uint32_t argc;
    if (kelvoParseKeyArgs(execute_data, 3, &key, &args, &argc) != 0)
        return -1;
    if (argc % 2 != 0)
        return kelvoRefuse("Must pass field/value pairs");
    kelvoReserveArgs(req, argc + 1);
    kelvoCatKey(req, obj, key);
    for (uint32_t i = 0; i < argc; i += 2) {
        zend_long increment;
        if (!kelvoCatValue(req, obj, kelvoDeref(&args[i])) || !readInteger(&args[i + 1], &increment, i + 3))
            return -1;
        kelvoRespCmdCatZendLong(req, increment);
    }
    return 0;
}

/* CMS.MERGE destination numkeys key ... [WEIGHTS weight ...], the weights as floats. */
int kelvoCmsMergeRCmd(zend_execute_data *execute_data, zval *, rrc *req, robj *obj)
{
    zend_string *destination;
    HashTable *keys, *weights = nullptr;
    ZEND_PARSE_PARAMETERS_START(2, 3)
    Z_PARAM_STR(destination)
    Z_PARAM_ARRAY_HT(keys)
    Z_PARAM_OPTIONAL
    Z_PARAM_ARRAY_HT_OR_NULL(weights)
    ZEND_PARSE_PARAMETERS_END_EX(return -1);
    const uint32_t count = zend_hash_num_elements(keys);
    if (count == 0)
        return kelvoRefuse("Must pass at least one key");
    if (weights && zend_hash_num_elements(weights) != count)
        return kelvoRefuse("Must be the same number of keys and weights");
    kelvoCatKey(req, obj, destination);
    kelvoRespCmdCatZendULong(req, count);
    if (!kelvoCatKeyHt(req, obj, keys))
        return -1;
    if (weights) {
        kelvoCatWord(req, "WEIGHTS");
        zval *weight;
        ZEND_HASH_FOREACH_VAL(weights, weight)
        {
            if (!kelvoCatNumericAsDouble(req, weight))
                return kelvoRefuse("Weights must be numeric");
        }
        ZEND_HASH_FOREACH_END();
    }
    return 0;
}

/* PFMERGE destination key ...; no sources merges nothing into the destination. */
int kelvoKeyNKeysRCmd(zend_execute_data *execute_data, zval *, rrc *req, robj *obj)
{
    zend_string *destination;
    HashTable *keys;
    ZEND_PARSE_PARAMETERS_START(2, 2)
    Z_PARAM_STR(destination)
    Z_PARAM_ARRAY_HT(keys)
    ZEND_PARSE_PARAMETERS_END_EX(return -1);
    kelvoCatKey(req, obj, destination);
    return kelvoCatKeyHt(req, obj, keys) ? 0 : -1;
}

/* LCS key key [LEN] [IDX] [MINMATCHLEN n] [WITHMATCHLEN]: LEN and IDX exclude each other, the
 * later one winning. */
int kelvoLcsRCmd(zend_execute_data *execute_data, zval *, rrc *req, robj *obj)
{
    zend_string *first, *second;
    HashTable *options = nullptr;
    ZEND_PARSE_PARAMETERS_START(2, 3)
    Z_PARAM_STR(first)
    Z_PARAM_STR(second)
    Z_PARAM_OPTIONAL
    Z_PARAM_ARRAY_HT_OR_NULL(options)
    ZEND_PARSE_PARAMETERS_END_EX(return -1);
    bool len = false, idx = false, withMatchLen = false;
    zend_long minMatchLen = 0;
    if (options) {
        zend_string *name;
        zval *value;
        ZEND_HASH_FOREACH_STR_KEY_VAL(options, name, value)
        {
            value = kelvoDeref(value);
            const zend_string *word = name ? name : Z_TYPE_P(value) == IS_STRING ? Z_STR_P(value) : nullptr;
            if (!word)
                continue;
            const bool on = name ? zend_is_true(value) : true;
            if (kelvoIsWord(word, "LEN")) {
                len = on;
                idx = false;
            } else if (kelvoIsWord(word, "IDX")) {
                idx = on;
                len = false;
            } else if (kelvoIsWord(word, "WITHMATCHLEN")) {
                withMatchLen = on;
            } else if (name && kelvoIsWord(name, "MINMATCHLEN")) {
                minMatchLen = zval_get_long(value);
            } else if (name) {
                return kelvoRefuse("Unknown LCS option '%s'", ZSTR_VAL(name));
            }
        }
        ZEND_HASH_FOREACH_END();
    }
    kelvoCatKey(req, obj, first);
    kelvoCatKey(req, obj, second);
    if (len)
        kelvoCatWord(req, "LEN");
    if (idx)
        kelvoCatWord(req, "IDX");
    if (minMatchLen > 0) {
        kelvoCatWord(req, "MINMATCHLEN");
        kelvoRespCmdCatZendLong(req, minMatchLen);
    }
    if (withMatchLen)
        kelvoCatWord(req, "WITHMATCHLEN");
    return 0;
}

/* SMOVE source destination member. */
int kelvoKeyKeyMemRCmd(zend_execute_data *execute_data, zval *, rrc *req, robj *obj)
{
    zend_string *source, *destination;
    zval *member;
    ZEND_PARSE_PARAMETERS_START(3, 3)
    Z_PARAM_STR(source)
    Z_PARAM_STR(destination)
    Z_PARAM_ZVAL(member)
    ZEND_PARSE_PARAMETERS_END_EX(return -1);
    kelvoCatKey(req, obj, source);
    kelvoCatKey(req, obj, destination);
    return kelvoCatValue(req, obj, member) ? 0 : -1;
}

/* LREM key count member: the method takes the member first, the server the count. */
int kelvoLremRCmd(zend_execute_data *execute_data, zval *, rrc *req, robj *obj)
{
    zend_string *key;
    zval *member;
    zend_long count = 0;
    ZEND_PARSE_PARAMETERS_START(2, 3)
    Z_PARAM_STR(key)
    Z_PARAM_ZVAL(member)
    Z_PARAM_OPTIONAL
    Z_PARAM_LONG(count)
    ZEND_PARSE_PARAMETERS_END_EX(return -1);
    kelvoCatKey(req, obj, key);
    kelvoRespCmdCatZendLong(req, count);
    return kelvoCatValue(req, obj, member) ? 0 : -1;
}
