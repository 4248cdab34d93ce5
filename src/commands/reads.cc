/*
 * Cached reads: the parsers of their method and rawCommand arguments into a query set, and the
 * convert roles that write the request back from it on a miss. Keys are prefixed unless the set
 * is raw; members stay as given; values are packed as for the wire.
 */
#include "commands/cmdroles.h"
#include "commands/builder.h"
#include "commands/reads.h"
#include "runtime/exception.h"

#include <cstring>

namespace {

/* Keys as method arguments give them: one or more keys, or a single array of keys. An array
 * element that is not a string goes in by its string conversion. */
int addVariadicKeys(kelvoQuerySet *rqs, const robj *ro, zval *args, uint32_t argc)
{
    if (argc == 1 && Z_TYPE_P(kelvoDeref(&args[0])) == IS_ARRAY) {
        zval *key;
        ZEND_HASH_FOREACH_VAL(Z_ARRVAL_P(kelvoDeref(&args[0])), key) { kelvoQuerySetAddKeyZVal(rqs, ro, key); }
        ZEND_HASH_FOREACH_END();
    } else {
        for (uint32_t i = 0; i < argc; i++)
            kelvoQuerySetAddKeyZVal(rqs, ro, &args[i]);
    }
    if (EG(exception))
        return -1;
    return rqs->nkeys ? 0 : -1;
}

void addKeyArray(kelvoQuerySet *rqs, const robj *ro, HashTable *keys)
{
    zval *key;
    ZEND_HASH_FOREACH_VAL(keys, key) { kelvoQuerySetAddKeyZVal(rqs, ro, key); }
    ZEND_HASH_FOREACH_END();
}

void setRange(kelvoQuerySet *rqs, int64_t start, int64_t end)
{
    rqs->kind = KELVO_RQS_RANGE;
    rqs->rng.start = start;
    rqs->rng.end = end;
}

/* LPOS keeps its options beside its value: count and maxlen in the range, rank in the user data word. */
void setLpos(kelvoQuerySet *rqs, const kelvoLposOptions &o)
{
    rqs->rng.start = o.count;
    rqs->rng.end = o.maxlen;
    rqs->userdata.number = static_cast<uint64_t>(o.rank);
}

/* One LPOS option; -1 refuses the command. */
int lposOption(kelvoLposOptions *o, const zend_string *name, zend_long value)
{
    if (kelvoIsWord(name, "COUNT")) {
        if (value < 0)
            kelvoWarn("COUNT can't be negative");
        else
            o->count = value;
    } else if (kelvoIsWord(name, "MAXLEN")) {
        if (value < 0)
            kelvoWarn("MAXLEN can't be negative");
        else
            o->maxlen = value ? value : -1;
    } else if (kelvoIsWord(name, "RANK")) {
        if (value == 0)
            return kelvoRefuse("RANK must be negative or positive");
        o->rank = value;
    } else {
        return kelvoRefuse("Unknown LPOS argument '%s'", ZSTR_VAL(name));
    }
    return 0;
}

/* SUNIONCARD's and SDIFFCARD's option array into the limit and the approximation flag. */
int fillUnionCardOptions(HashTable *options, zend_long *limit, bool *approx)
{
    *limit = 0;
    *approx = false;
    if (!options)
        return 0;
    zend_string *name;
    zval *value;
    ZEND_HASH_FOREACH_STR_KEY_VAL(options, name, value)
    {
        ZVAL_DEREF(value);
        if (!name) {
            if (Z_TYPE_P(value) != IS_STRING || !kelvoIsWord(Z_STR_P(value), "APPROX"))
                return kelvoRefuse("Invalid SUNIONCARD option");
            *approx = true;
        } else if (kelvoIsWord(name, "LIMIT")) {
            if (kelvoTryGetLong(limit, value, 0) != 0)
                return kelvoRefuse("LIMIT must be a non-negative integer");
        } else if (kelvoIsWord(name, "APPROX")) {
            *approx = zend_is_true(value);
        } else {
            return kelvoRefuse("Unknown option '%s'", ZSTR_VAL(name));
        }
    }
    ZEND_HASH_FOREACH_END();
    return 0;
}

int unionCardCmd(zend_execute_data *execute_data, kelvoQuerySet *rqs, robj *ro, bool useApprox)
{
    HashTable *keys;
    HashTable *options = nullptr;
    ZEND_PARSE_PARAMETERS_START(1, 2)
    Z_PARAM_ARRAY_HT(keys)
    Z_PARAM_OPTIONAL
    Z_PARAM_ARRAY_HT_OR_NULL(options)
    ZEND_PARSE_PARAMETERS_END_EX(return -1);
    if (zend_hash_num_elements(keys) == 0)
        return kelvoRefuse("Must pass at least one input key");
    zend_long limit;
    bool approx;
    if (fillUnionCardOptions(options, &limit, &approx) != 0)
        return -1;
    addKeyArray(rqs, ro, keys);
    rqs->rng.end = limit;
    if (approx && useApprox)
        rqs->context |= kelvoApprox;
    return EG(exception) ? -1 : 0;
}

/* A raw argument as a string (a new reference). */
zend_string *rawString(zval *value) { return zval_get_string(value); }

void rawKey(kelvoQuerySet *rqs, const robj *ro, zval *value) { kelvoQuerySetAddKeyZVal(rqs, ro, value); }

void rawMember(kelvoQuerySet *rqs, zval *value)
{
    zend_string *s = rawString(value);
    kelvoQuerySetAddMemZStr(rqs, s);
    zend_string_release(s);
}

/* A raw integer argument; one the server would refuse, or read otherwise, keeps the read off the cache. */
zend_long rawLong(kelvoQuerySet *rqs, zval *value)
{
    if (Z_TYPE_P(value) == IS_LONG)
        return Z_LVAL_P(value);
    zend_string *s = zval_get_string(value);
    int64_t n = 0;
    if (!kelvoIsServerInteger(ZSTR_VAL(s), ZSTR_LEN(s), &n))
        rqs->serverOnly = 1;
    zend_string_release(s);
    return n;
}

bool isWordValue(zval *value, const char *word)
{
    return Z_TYPE_P(value) == IS_STRING && strcasecmp(Z_STRVAL_P(value), word) == 0 &&
           Z_STRLEN_P(value) == strlen(word);
}

} // namespace

bool kelvoIsServerInteger(const char *s, size_t length, int64_t *out)
{
    if (length == 0 || length > 20)
        return false;
    if (length == 1 && s[0] == '0') {
        *out = 0;
        return true;
    }
    size_t i = 0;
    bool negative = s[0] == '-';
    i += negative;
    if (i == length || s[i] < '1' || s[i] > '9')
        return false;
    uint64_t v = 0;
    for (; i < length; i++) {
        if (s[i] < '0' || s[i] > '9')
            return false;
        uint64_t digit = static_cast<uint64_t>(s[i] - '0');
        if (v > (UINT64_MAX - digit) / 10)
            return false;
        v = v * 10 + digit;
    }
    if (negative ? v > uint64_t{1} << 63 : v > static_cast<uint64_t>(INT64_MAX))
        return false;
    *out = negative ? static_cast<int64_t>(0 - v) : static_cast<int64_t>(v);
    return true;
}

kelvoLposOptions kelvoLposOptionsOf(const kelvoQuerySet *rqs)
{
    return {rqs->rng.start, rqs->rng.end, static_cast<int64_t>(rqs->userdata.number)};
}

/* -- method arguments ------------------------------------------------------------------------------ */

int kelvoKeyCmd(zend_execute_data *execute_data, zval *, kelvoQuerySet *rqs, robj *ro)
{
    zend_string *key;
    ZEND_PARSE_PARAMETERS_START(1, 1)
    Z_PARAM_STR(key)
    ZEND_PARSE_PARAMETERS_END_EX(return -1);
    kelvoQuerySetAddKeyZStr(rqs, ro, key);
    return 0;
}

int kelvoKeyMemCmd(zend_execute_data *execute_data, zval *, kelvoQuerySet *rqs, robj *ro)
{
    zend_string *key;
    zval *member;
    ZEND_PARSE_PARAMETERS_START(2, 2)
    Z_PARAM_STR(key)
    Z_PARAM_ZVAL(member)
    ZEND_PARSE_PARAMETERS_END_EX(return -1);
    kelvoQuerySetAddKeyZStr(rqs, ro, key);
    rawMember(rqs, member);
    return EG(exception) ? -1 : 0;
}

int kelvoKeyValCmd(zend_execute_data *execute_data, zval *, kelvoQuerySet *rqs, robj *ro)
{
    zend_string *key;
    zval *value;
    ZEND_PARSE_PARAMETERS_START(2, 2)
    Z_PARAM_STR(key)
    Z_PARAM_ZVAL(value)
    ZEND_PARSE_PARAMETERS_END_EX(return -1);
    kelvoQuerySetAddKeyZStr(rqs, ro, key);
    kelvoQuerySetAddVal(rqs, ro, value);
    return EG(exception) ? -1 : 0;
}

int kelvoVarvalCmd(zend_execute_data *execute_data, zval *, kelvoQuerySet *rqs, robj *ro)
{
    zend_string *key;
    zval *values;
    uint32_t count;
    ZEND_PARSE_PARAMETERS_START(2, -1)
    Z_PARAM_STR(key)
    Z_PARAM_VARIADIC('+', values, count)
    ZEND_PARSE_PARAMETERS_END_EX(return -1);
    kelvoQuerySetAddKeyZStr(rqs, ro, key);
    for (uint32_t i = 0; i < count; i++)
        kelvoQuerySetAddVal(rqs, ro, &values[i]);
    return EG(exception) ? -1 : 0;
}

int kelvoGetBitCmd(zend_execute_data *execute_data, zval *, kelvoQuerySet *rqs, robj *ro)
{
    zend_string *key;
    zend_long offset;
    ZEND_PARSE_PARAMETERS_START(2, 2)
    Z_PARAM_STR(key)
    Z_PARAM_LONG(offset)
    ZEND_PARSE_PARAMETERS_END_EX(return -1);
    if (offset < 0 || static_cast<zend_ulong>(offset) > UINT32_MAX)
        return -1;
    kelvoQuerySetAddKeyZStr(rqs, ro, key);
    setRange(rqs, offset, 0);
    return 0;
}

int kelvoKeyLongCmd(zend_execute_data *execute_data, zval *, kelvoQuerySet *rqs, robj *ro)
{
    zend_string *key;
    zend_long index;
    ZEND_PARSE_PARAMETERS_START(2, 2)
    Z_PARAM_STR(key)
    Z_PARAM_LONG(index)
    ZEND_PARSE_PARAMETERS_END_EX(return -1);
    kelvoQuerySetAddKeyZStr(rqs, ro, key);
    setRange(rqs, index, index);
    return 0;
}

int kelvoKeyOptLongCmd(zend_execute_data *execute_data, zval *, kelvoQuerySet *rqs, robj *ro)
{
    zend_string *key;
    zend_long count = 1;
    ZEND_PARSE_PARAMETERS_START(1, 2)
    Z_PARAM_STR(key)
    Z_PARAM_OPTIONAL
    Z_PARAM_LONG(count)
    ZEND_PARSE_PARAMETERS_END_EX(return -1);
    kelvoQuerySetAddKeyZStr(rqs, ro, key);
    if (ZEND_NUM_ARGS() == 2)
        setRange(rqs, count, -1);
    else
        rqs->context |= kelvoRandSingle;
    rqs->serverOnly = count == ZEND_LONG_MIN;
    return 0;
}

int kelvoGetrangeCmd(zend_execute_data *execute_data, zval *, kelvoQuerySet *rqs, robj *ro)
{
    zend_string *key;
    zend_long start, end;
    ZEND_PARSE_PARAMETERS_START(3, 3)
    Z_PARAM_STR(key)
    Z_PARAM_LONG(start)
    Z_PARAM_LONG(end)
    ZEND_PARSE_PARAMETERS_END_EX(return -1);
    kelvoQuerySetAddKeyZStr(rqs, ro, key);
    setRange(rqs, start, end);
    return 0;
}

int kelvoBitCountCmd(zend_execute_data *execute_data, zval *, kelvoQuerySet *rqs, robj *ro)
{
    zend_string *key;
    zend_long start = 0, end = -1;
    bool byBit = false;
    ZEND_PARSE_PARAMETERS_START(1, 4)
    Z_PARAM_STR(key)
    Z_PARAM_OPTIONAL
    Z_PARAM_LONG(start)
    Z_PARAM_LONG(end)
    Z_PARAM_BOOL(byBit)
    ZEND_PARSE_PARAMETERS_END_EX(return -1);
    kelvoQuerySetAddKeyZStr(rqs, ro, key);
    setRange(rqs, start, end);
    if (byBit)
        rqs->context |= kelvoBitUnits;
    return 0;
}

int kelvoHRandFieldCmd(zend_execute_data *execute_data, zval *, kelvoQuerySet *rqs, robj *ro)
{
    zend_string *key;
    HashTable *options = nullptr;
    ZEND_PARSE_PARAMETERS_START(1, 2)
    Z_PARAM_STR(key)
    Z_PARAM_OPTIONAL
    Z_PARAM_ARRAY_HT_OR_NULL(options)
    ZEND_PARSE_PARAMETERS_END_EX(return -1);
    kelvoAssert(rqs->context == 0);
    kelvoQuerySetAddKeyZStr(rqs, ro, key);
    setRange(rqs, 0, 0);
    if (options) {
        kelvoForEachOption(options, [rqs](zend_string *name, zval *value) {
            if (kelvoIsWord(name, "COUNT"))
                rqs->rng.start = zval_get_long(value);
            else if (kelvoIsWord(name, "WITHVALUES") && zend_is_true(value))
                rqs->context |= kelvoRandWithValues;
        });
    }
    rqs->serverOnly = rqs->rng.start == ZEND_LONG_MIN;
    if (rqs->rng.start != 0)
        return 0;
    if (rqs->context & kelvoRandWithValues)
        rqs->rng.start = 1;
    rqs->context |= kelvoRandSingle;
    return 0;
}

int kelvoPFCountCmd(zend_execute_data *execute_data, zval *, kelvoQuerySet *rqs, robj *ro)
{
    zval *keys;
    ZEND_PARSE_PARAMETERS_START(1, 1)
    Z_PARAM_ZVAL(keys)
    ZEND_PARSE_PARAMETERS_END_EX(return -1);
    if (Z_TYPE_P(keys) != IS_ARRAY) {
        kelvoQuerySetAddKeyZVal(rqs, ro, keys);
        return EG(exception) ? -1 : 0;
    }
    if (zend_hash_num_elements(Z_ARRVAL_P(keys)) == 0)
        return kelvoRefuse("Must pass at least one key");
    addKeyArray(rqs, ro, Z_ARRVAL_P(keys));
    return EG(exception) ? -1 : 0;
}

int kelvoLposCmd(zend_execute_data *execute_data, zval *, kelvoQuerySet *rqs, robj *ro)
{
    zend_string *key;
    zval *element;
    HashTable *options = nullptr;
    ZEND_PARSE_PARAMETERS_START(2, 3)
    Z_PARAM_STR(key)
    Z_PARAM_ZVAL(element)
    Z_PARAM_OPTIONAL
    Z_PARAM_ARRAY_HT(options)
    ZEND_PARSE_PARAMETERS_END_EX(return -1);
    kelvoQuerySetAddKeyZStr(rqs, ro, key);
    kelvoQuerySetAddVal(rqs, ro, element);
    kelvoLposOptions o{-1, -1, 1};
    if (options) {
        zend_string *name;
        zval *value;
        ZEND_HASH_FOREACH_STR_KEY_VAL(options, name, value)
        {
            ZVAL_DEREF(value);
            if (!name || Z_TYPE_P(value) != IS_LONG)
                continue;
            if (lposOption(&o, name, Z_LVAL_P(value)) != 0)
                return -1;
        }
        ZEND_HASH_FOREACH_END();
    }
    setLpos(rqs, o);
    rqs->serverOnly |= o.rank == ZEND_LONG_MIN;
    return EG(exception) ? -1 : 0;
}

int kelvoHMGetCmd(zend_execute_data *execute_data, zval *, kelvoQuerySet *rqs, robj *ro)
{
    zend_string *key;
    HashTable *fields;
    ZEND_PARSE_PARAMETERS_START(2, 2)
    Z_PARAM_STR(key)
    Z_PARAM_ARRAY_HT(fields)
    ZEND_PARSE_PARAMETERS_END_EX(return -1);
    kelvoQuerySetAddKeyZStr(rqs, ro, key);
    zval *field;
    ZEND_HASH_FOREACH_VAL(fields, field)
    {
        ZVAL_DEREF(field);
        if (Z_TYPE_P(field) == IS_LONG || (Z_TYPE_P(field) == IS_STRING && Z_STRLEN_P(field) > 0))
            rawMember(rqs, field);
    }
    ZEND_HASH_FOREACH_END();
    return rqs->nvals ? 0 : -1;
}

int kelvoIntercardCmd(zend_execute_data *execute_data, zval *, kelvoQuerySet *rqs, robj *ro)
{
    HashTable *keys;
    zend_long limit = 0;
    ZEND_PARSE_PARAMETERS_START(1, 2)
    Z_PARAM_ARRAY_HT(keys)
    Z_PARAM_OPTIONAL
    Z_PARAM_LONG(limit)
    ZEND_PARSE_PARAMETERS_END_EX(return -1);
    if (zend_hash_num_elements(keys) == 0)
        return kelvoRefuse("Must pass at least one input key");
    if (limit < 0)
        return kelvoRefuse("LIMIT cannot be negative");
    addKeyArray(rqs, ro, keys);
    rqs->rng.end = limit;
    return EG(exception) ? -1 : 0;
}

int kelvoSUnionCardCmd(zend_execute_data *execute_data, zval *, kelvoQuerySet *rqs, robj *ro)
{
    return unionCardCmd(execute_data, rqs, ro, true);
}

int kelvoSDiffCardCmd(zend_execute_data *execute_data, zval *, kelvoQuerySet *rqs, robj *ro)
{
    return unionCardCmd(execute_data, rqs, ro, false);
}

int kelvoVarkeyCmd(zend_execute_data *execute_data, zval *, kelvoQuerySet *rqs, robj *ro)
{
    zval *args;
    uint32_t argc;
    ZEND_PARSE_PARAMETERS_START(0, -1)
    Z_PARAM_VARIADIC('*', args, argc)
    ZEND_PARSE_PARAMETERS_END_EX(return -1);
    return argc ? addVariadicKeys(rqs, ro, args, argc) : -1;
}

int kelvoMkeyCmd(zend_execute_data *execute_data, zval *, kelvoQuerySet *rqs, robj *ro)
{
    HashTable *keys;
    ZEND_PARSE_PARAMETERS_START(1, 1)
    Z_PARAM_ARRAY_HT(keys)
    ZEND_PARSE_PARAMETERS_END_EX(return -1);
    addKeyArray(rqs, ro, keys);
    if (EG(exception))
        return -1;
    return rqs->nkeys ? 0 : -1;
}

int kelvoExistsCmd(zend_execute_data *execute_data, zval *, kelvoQuerySet *rqs, robj *ro)
{
    zval *args;
    uint32_t argc;
    ZEND_PARSE_PARAMETERS_START(0, -1)
    Z_PARAM_VARIADIC('*', args, argc)
    ZEND_PARSE_PARAMETERS_END_EX(return -1);
    return argc ? addVariadicKeys(rqs, ro, args, argc) : -1;
}

/* -- rawCommand arguments -------------------------------------------------------------------------- */

int kelvoRawKeyCmd(kelvoQuerySet *rqs, robj *ro, int, zval *argv)
{
    rawKey(rqs, ro, &argv[0]);
    if (rqs->cmd == REDIS_CMD_GET)
        rqs->flags |= KELVO_REQ_SINGLE;
    return EG(exception) ? 0 : 1;
}

int kelvoRawKeyLongLongCmd(kelvoQuerySet *rqs, robj *ro, int, zval *argv)
{
    rawKey(rqs, ro, &argv[0]);
    zend_long start = rawLong(rqs, &argv[1]);
    setRange(rqs, start, rawLong(rqs, &argv[2]));
    return EG(exception) ? 0 : 1;
}

int kelvoRawKeyLongCmd(kelvoQuerySet *rqs, robj *ro, int, zval *argv)
{
    rawKey(rqs, ro, &argv[0]);
    setRange(rqs, rawLong(rqs, &argv[1]), -1);
    return EG(exception) ? 0 : 1;
}

int kelvoRawKeyOptLongCmd(kelvoQuerySet *rqs, robj *ro, int argc, zval *argv)
{
    rawKey(rqs, ro, &argv[0]);
    if (argc > 1) {
        setRange(rqs, rawLong(rqs, &argv[1]), -1);
        /* The server refuses a count it cannot negate, and any argument past it. */
        rqs->serverOnly |= rqs->rng.start == ZEND_LONG_MIN || argc > 2;
    } else
        rqs->context |= kelvoRandSingle;
    return EG(exception) ? 0 : 1;
}

int kelvoRawHRandFieldRCmd(kelvoQuerySet *rqs, robj *ro, int argc, zval *argv)
{
    rawKey(rqs, ro, &argv[0]);
    if (argc == 1) {
        rqs->context |= kelvoRandSingle;
        return EG(exception) ? 0 : 1;
    }
    zend_long count = rawLong(rqs, &argv[1]);
    setRange(rqs, count, 0);
    if (argc > 2) {
        if (isWordValue(&argv[2], "WITHVALUES"))
            rqs->context |= kelvoRandWithValues;
        else
            rqs->serverOnly = 1;
    }
    rqs->serverOnly |= count == ZEND_LONG_MIN || argc > 3;
    return EG(exception) ? 0 : 1;
}

int kelvoRawBitCountCmd(kelvoQuerySet *rqs, robj *ro, int argc, zval *argv)
{
    rawKey(rqs, ro, &argv[0]);
    zend_long start = argc > 1 ? rawLong(rqs, &argv[1]) : 0;
    setRange(rqs, start, argc > 2 ? rawLong(rqs, &argv[2]) : -1);
    if (argc > 3 && isWordValue(&argv[3], "BIT"))
        rqs->context |= kelvoBitUnits;
    /* A start without an end, a unit the server does not know, or a word past it: its syntax error. */
    rqs->serverOnly |=
        argc == 2 || argc > 4 || (argc == 4 && !isWordValue(&argv[3], "BIT") && !isWordValue(&argv[3], "BYTE"));
    return EG(exception) ? 0 : 1;
}

int kelvoRawGetBitCmd(kelvoQuerySet *rqs, robj *ro, int, zval *argv)
{
    rawKey(rqs, ro, &argv[0]);
    zend_long offset;
    if (kelvoTryGetLong(&offset, &argv[1], 0) != 0) {
        if (ro->opts.flags & kelvoOptThrowOnError)
            kelvoThrowException(KELVO_ERR_OTHER, "bit offset is not an integer or out of range");
        return 0;
    }
    setRange(rqs, offset, -1);
    /* Past the server's 2^32 bits, or not written as the server writes integers: its error, not ours. */
    if (static_cast<zend_ulong>(offset) > UINT32_MAX)
        rqs->serverOnly = 1;
    rawLong(rqs, &argv[1]);
    return EG(exception) ? 0 : 1;
}

int kelvoRawKeyMemCmd(kelvoQuerySet *rqs, robj *ro, int argc, zval *argv)
{
    rawKey(rqs, ro, &argv[0]);
    for (int i = 1; i < argc; i++)
        rawMember(rqs, &argv[i]);
    return EG(exception) ? 0 : 1;
}

int kelvoRawKeyValCmd(kelvoQuerySet *rqs, robj *ro, int argc, zval *argv)
{
    rawKey(rqs, ro, &argv[0]);
    for (int i = 1; i < argc; i++)
        kelvoQuerySetAddVal(rqs, ro, &argv[i]);
    return EG(exception) ? 0 : 1;
}

int kelvoRawVarvalCmd(kelvoQuerySet *rqs, robj *ro, int argc, zval *argv)
{
    kelvoAssert(argc >= 2);
    return kelvoRawKeyValCmd(rqs, ro, argc, argv);
}

int kelvoRawMkeyCmd(kelvoQuerySet *rqs, robj *ro, int argc, zval *argv)
{
    for (int i = 0; i < argc; i++)
        rawKey(rqs, ro, &argv[i]);
    return EG(exception) ? 0 : 1;
}

int kelvoRawIntercardCmd(kelvoQuerySet *rqs, robj *ro, int argc, zval *argv)
{
    zend_long numkeys = rawLong(rqs, &argv[0]);
    if (numkeys < 1 || (argc != numkeys + 1 && argc != numkeys + 3))
        return 0;
    for (zend_long i = 1; i <= numkeys; i++)
        rawKey(rqs, ro, &argv[i]);
    if (argc == numkeys + 3) {
        zval *word = &argv[numkeys + 1];
        if (!isWordValue(word, "LIMIT"))
            return 0;
        /* A limit the server reads as an integer, string or not; another is the server's to refuse. */
        rqs->rng.end = rawLong(rqs, &argv[numkeys + 2]);
        if (rqs->rng.end < 0)
            rqs->serverOnly = 1;
    }
    return EG(exception) ? 0 : 1;
}

int kelvoRawSUnionCardCmd(kelvoQuerySet *rqs, robj *ro, int argc, zval *argv)
{
    zend_long numkeys = rawLong(rqs, &argv[0]);
    if (numkeys < 1 || numkeys >= argc)
        return 0;
    for (zend_long i = 1; i <= numkeys; i++)
        rawKey(rqs, ro, &argv[i]);
    for (int i = static_cast<int>(numkeys) + 1; i < argc; i++) {
        zend_long limit;
        if (isWordValue(&argv[i], "LIMIT") && i + 1 < argc && kelvoTryGetLong(&limit, &argv[i + 1], 0) == 0) {
            /* " 3", "+3" or "03" pass here, not at the server: its error, not a local count. */
            rqs->rng.end = rawLong(rqs, &argv[i + 1]);
            i++;
        } else if (isWordValue(&argv[i], "APPROX")) {
            rqs->context |= kelvoApprox;
        } else {
            return 0;
        }
    }
    return EG(exception) ? 0 : 1;
}

int kelvoRawLposCmd(kelvoQuerySet *rqs, robj *ro, int argc, zval *argv)
{
    rawKey(rqs, ro, &argv[0]);
    kelvoQuerySetAddVal(rqs, ro, &argv[1]);
    kelvoLposOptions o{-1, -1, 1};
    if (argc % 2 != 0) {
        kelvoWarn("Malformed raw LPOS command, ignoring remaining arguments");
        rqs->serverOnly = 1;
    } else {
        for (int i = 2; i + 1 < argc; i += 2) {
            if (Z_TYPE(argv[i]) != IS_STRING || Z_TYPE(argv[i + 1]) != IS_LONG) {
                kelvoWarn("Malformed raw LPOS command, ignoring remaining arguments");
                rqs->serverOnly = 1;
                break;
            }
            if (lposOption(&o, Z_STR(argv[i]), Z_LVAL(argv[i + 1])) != 0)
                return 0;
        }
    }
    setLpos(rqs, o);
    rqs->serverOnly |= o.rank == ZEND_LONG_MIN;
    rqs->flags |= KELVO_REQ_SINGLE;
    return EG(exception) ? 0 : 1;
}

/* -- requests on a miss ---------------------------------------------------------------------------- */

namespace {

void catKeys(rrc *req, const kelvoQuerySet *rqs)
{
    for (uint32_t i = 0; i < rqs->nkeys; i++)
        kelvoRespCmdCatZStr(req, rqs->keys[i]);
}

void catVals(rrc *req, const kelvoQuerySet *rqs)
{
    for (uint32_t i = 0; i < rqs->nvals; i++)
        kelvoRespCmdCatZStr(req, rqs->vals[i]);
}

void catNumkeysAndKeys(rrc *req, const kelvoQuerySet *rqs)
{
    kelvoRespCmdCatZendLong(req, rqs->nkeys);
    catKeys(req, rqs);
}

} // namespace

void kelvoKeyCnv(rrc *req, kelvoQuerySet *rqs)
{
    kelvoAssert(rqs->nkeys == 1);
    kelvoRespCmdCatZStr(req, rqs->keys[0]);
}

void kelvoKeysCnv(rrc *req, kelvoQuerySet *rqs) { catKeys(req, rqs); }

void kelvoMkeyCnv(rrc *req, kelvoQuerySet *rqs) { catKeys(req, rqs); }

void kelvoKeyValCnv(rrc *req, kelvoQuerySet *rqs)
{
    kelvoAssert(rqs->nkeys == 1 && rqs->kind == KELVO_RQS_VAL && rqs->nvals > 0);
    catKeys(req, rqs);
    catVals(req, rqs);
}

void kelvoKeyMemCnv(rrc *req, kelvoQuerySet *rqs)
{
    kelvoAssert(rqs->nkeys == 1 && rqs->kind == KELVO_RQS_MEM);
    catKeys(req, rqs);
    catVals(req, rqs);
}

void kelvoHMGetCnv(rrc *req, kelvoQuerySet *rqs)
{
    catKeys(req, rqs);
    catVals(req, rqs);
}

void kelvoKeyLongCnv(rrc *req, kelvoQuerySet *rqs)
{
    catKeys(req, rqs);
    kelvoRespCmdCatZendLong(req, rqs->rng.start);
}

void kelvoKeyLongLongCnv(rrc *req, kelvoQuerySet *rqs)
{
    catKeys(req, rqs);
    kelvoRespCmdCatZendLong(req, rqs->rng.start);
    kelvoRespCmdCatZendLong(req, rqs->rng.end);
    if (rqs->cmd == REDIS_CMD_BITCOUNT && (rqs->context & kelvoBitUnits))
        kelvoCatWord(req, "BIT");
}

void kelvoKeyOptLongCnv(rrc *req, kelvoQuerySet *rqs)
{
    catKeys(req, rqs);
    if (rqs->kind == KELVO_RQS_RANGE)
        kelvoRespCmdCatZendLong(req, rqs->rng.start);
}

void kelvoHRandFieldCnv(rrc *req, kelvoQuerySet *rqs)
{
    catKeys(req, rqs);
    if (rqs->rng.start == 0)
        return;
    kelvoRespCmdCatZendLong(req, rqs->rng.start);
    if (rqs->context & kelvoRandWithValues)
        kelvoCatWord(req, "WITHVALUES");
}

void kelvoSUnionCardCnv(rrc *req, kelvoQuerySet *rqs)
{
    catNumkeysAndKeys(req, rqs);
    if (rqs->context & kelvoApprox)
        kelvoCatWord(req, "APPROX");
    if (rqs->rng.end > 0) {
        kelvoCatWord(req, "LIMIT");
        kelvoRespCmdCatZendLong(req, rqs->rng.end);
    }
}

void kelvoIntercardCnv(rrc *req, kelvoQuerySet *rqs)
{
    catNumkeysAndKeys(req, rqs);
    if (rqs->rng.end > 0) {
        kelvoCatWord(req, "LIMIT");
        kelvoRespCmdCatZendLong(req, rqs->rng.end);
    }
}

void kelvoLposCnv(rrc *req, kelvoQuerySet *rqs)
{
    kelvoAssert(rqs->nkeys == 1 && rqs->kind == KELVO_RQS_VAL && rqs->nvals == 1);
    kelvoLposOptions o = kelvoLposOptionsOf(rqs);
    catKeys(req, rqs);
    catVals(req, rqs);
    if (o.count >= 0) {
        kelvoCatWord(req, "COUNT");
        kelvoRespCmdCatZendLong(req, o.count);
    }
    if (o.maxlen > 0) {
        kelvoCatWord(req, "MAXLEN");
        kelvoRespCmdCatZendLong(req, o.maxlen);
    }
    if (o.rank != 1) {
        kelvoCatWord(req, "RANK");
        kelvoRespCmdCatZendLong(req, o.rank);
    }
}
