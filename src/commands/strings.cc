/*
 * The string writes: SET and its options, GETEX, the MSET family, DELEX, the counters and
 * INCREX, with the formatter of the float counters.
 */
#include "commands/strings.h"

#include "commands/cmdroles.h"
#include "commands/builder.h"
#include "commands/commands.h"
#include "commands/formatter.h"

#include <cfloat>
#include <cinttypes>
#include <limits>
#include <type_traits>

using namespace kelvoFormat;

const kelvoWord expiryTypeNames[6] = {
    {"", 0}, {"EX", 2}, {"PX", 2}, {"EXAT", 4}, {"PXAT", 4}, {"PERSIST", 7},
};

namespace {

constexpr const char *kExpireRefused = "Expire must be a long, double, or a numeric string";

/* 2^63 as a double: seconds beyond it have no 64-bit count. */
constexpr double kTwoPow63 = 9223372036854775808.0;

/* The expiry type a word names, or KELVO_EXPIRY_NONE. */
uint32_t expiryTypeOf(const zend_string *word)
{
    for (uint32_t type = KELVO_EXPIRY_EX; type <= KELVO_EXPIRY_PERSIST; type++) {
        const kelvoWord &name = expiryTypeNames[type];
        if (ZSTR_LEN(word) == name.len && strncasecmp(ZSTR_VAL(word), name.name, name.len) == 0)
            return type;
    }
    return KELVO_EXPIRY_NONE;
}

/* An expiry word under a string key: its ttl is the value's integer conversion. */
bool takeExpiry(kelvoSetOptions *options, const zend_string *word, zval *value)
{
    const uint32_t type = expiryTypeOf(word);
    if (type == KELVO_EXPIRY_NONE)
        return false;
    options->expiry = type;
    options->ttl = type == KELVO_EXPIRY_PERSIST ? 0 : zval_get_long(value);
    return true;
}

/* A flag word given as a value under an integer key. */
void takeFlag(kelvoSetOptions *options, int cmd, zend_string *word)
{
    const bool hashFields = cmd == REDIS_CMD_HSETEX;
    if (kelvoIsWord(word, "KEEPTTL")) {
        options->keepTtl = true;
    } else if (hashFields ? kelvoIsWord(word, "FNX") || kelvoIsWord(word, "FXX")
                          : kelvoIsWord(word, "NX") || kelvoIsWord(word, "XX")) {
        options->mode = word;
    } else if (kelvoIsWord(word, "GET")) {
        options->get = true;
    } else if (kelvoIsWord(word, "PERSIST")) {
        options->expiry = KELVO_EXPIRY_PERSIST;
        options->ttl = 0;
    }
}

/* A number of whole seconds for SET and MSETEX: a float from 1 s up to 2^63 s, or an integer
 * (also as a numeric string) of at least 1. A float below one second would lose its expiry. */
bool readSeconds(zval *value, int64_t *seconds)
{
    if (Z_TYPE_P(value) == IS_DOUBLE) {
        const double d = Z_DVAL_P(value);
        if (!(d >= 1.0 && d < kTwoPow63))
            return false;
        *seconds = static_cast<int64_t>(d);
        return true;
    }
    zend_long whole;
    if (kelvoTryGetLong(&whole, value, 1) != 0)
        return false;
    *seconds = whole;
    return true;
}

/* The checks SET and MSETEX share. */
int checkExpiry(const kelvoSetOptions &options)
{
    if (options.expiry != KELVO_EXPIRY_NONE && options.keepTtl)
        return kelvoRefuse("Cannot specify both an expiry and KEEPTTL");
    return 0;
}

int refusePersist(const kelvoSetOptions &options)
{
    if (options.expiry == KELVO_EXPIRY_PERSIST)
        return kelvoRefuse("PERSIST is not a valid expiry type for command");
    return 0;
}

} // namespace

bool stringToIfType(uint32_t *type, const zend_string *word)
{
    static constexpr struct {
        const char *name;
        size_t len;
        uint32_t type;
    } conditions[] = {
        {"IFEQ", 4, KELVO_IF_EQ}, {"IFNE", 4, KELVO_IF_NE}, {"IFDEQ", 5, KELVO_IF_DEQ}, {"IFDNE", 5, KELVO_IF_DNE}};
    for (const auto &c : conditions) {
        if (ZSTR_LEN(word) == c.len && strncasecmp(ZSTR_VAL(word), c.name, c.len) == 0) {
            *type = c.type;
            return true;
        }
    }
    return false;
}

void kelvoFillSetOptionsHt(kelvoSetOptions *options, int cmd, HashTable *ht)
{
    *options = kelvoSetOptions{};
    if (!ht)
        return;
    zend_string *name;
    zval *value;
    ZEND_HASH_FOREACH_STR_KEY_VAL(ht, name, value)
    {
        ZVAL_DEREF(value);
        if (name) {
            if (!takeExpiry(options, name, value) && stringToIfType(&options->ifType, name))
                options->ifValue = value;
        } else if (Z_TYPE_P(value) == IS_STRING) {
            takeFlag(options, cmd, Z_STR_P(value));
        }
    }
    ZEND_HASH_FOREACH_END();
}

int kelvoFillSetExpiryOptions(kelvoSetOptions *options, int cmd, zval *value)
{
    *options = kelvoSetOptions{};
    if (!value)
        return 0;
    ZVAL_DEREF(value);
    switch (Z_TYPE_P(value)) {
    case IS_NULL:
        return 0;
    case IS_ARRAY:
        kelvoFillSetOptionsHt(options, cmd, Z_ARRVAL_P(value));
        return 0;
    case IS_DOUBLE: {
        /* 2^63 / 1000 as a double: the most seconds whose milliseconds still count in 64 bits. */
        const double seconds = Z_DVAL_P(value);
        if (seconds >= 0 && seconds < 9223372036854776.0) {
            options->expiry = KELVO_EXPIRY_PX;
            options->ttl = static_cast<int64_t>(seconds * 1000);
            return 0;
        }
        break;
    }
    case IS_STRING: {
        if (kelvoIsWord(Z_STR_P(value), "PERSIST")) {
            options->expiry = KELVO_EXPIRY_PERSIST;
            return 0;
        }
        /* "3600" is the number it spells, as SET reads it. */
        zend_long seconds;
        if (kelvoTryGetLong(&seconds, value, 0) == 0) {
            options->expiry = KELVO_EXPIRY_EX;
            options->ttl = seconds;
            return 0;
        }
        break;
    }
    case IS_LONG:
        if (Z_LVAL_P(value) >= 0) {
            options->expiry = KELVO_EXPIRY_EX;
            options->ttl = Z_LVAL_P(value);
            return 0;
        }
        break;
    default:
        break;
    }
    return kelvoRefuse("Timeout must be >= 0 and <= %" PRId64, std::numeric_limits<int64_t>::max());
}

bool kelvoRespCmdCatIfType(rrc *req, const robj *obj, uint32_t type, zval *value)
{
    kelvoAssert(type != KELVO_IF_NONE);
    static constexpr kelvoWord words[] = {{"", 0}, {"IFEQ", 4}, {"IFNE", 4}, {"IFDEQ", 5}, {"IFDNE", 5}};
    kelvoRespCmdCatLen(req, words[type].name, words[type].len);
    if (type == KELVO_IF_EQ || type == KELVO_IF_NE)
        return kelvoCatValue(req, obj, value);
    kelvoCatPlain(req, value);
    return true;
}

void kelvoRespCmdCatExpiryOptions(rrc *rrc, const kelvoSetOptions *info)
{
    kelvoAssert(rrc != NULL && info != NULL);
    if (info->expiry == KELVO_EXPIRY_NONE)
        return;
    kelvoRespCmdCatLen(rrc, expiryTypeNames[info->expiry].name, expiryTypeNames[info->expiry].len);
    if (info->expiry != KELVO_EXPIRY_PERSIST)
        kelvoRespCmdCatZendLong(rrc, info->ttl);
}

bool kelvoRespCmdCatMSetKeyVals(rrc *req, const robj *obj, HashTable *pairs)
{
    kelvoReserveArgs(req, 2 * zend_hash_num_elements(pairs));
    zend_ulong index;
    zend_string *key;
    zval *value;
    ZEND_HASH_FOREACH_KEY_VAL(pairs, index, key, value)
    {
        if (key)
            kelvoCatKey(req, obj, key);
        else
            kelvoRespCmdCatKeyLong(req, obj->opts.prefix, static_cast<zend_long>(index));
        if (!kelvoCatValue(req, obj, value))
            return false;
    }
    ZEND_HASH_FOREACH_END();
    return true;
}

/* -- SET, GETEX ---------------------------------------------------------------------------------- */

int kelvoSetRCmd(zend_execute_data *execute_data, zval *, rrc *req, robj *obj)
{
    zend_string *key;
    zval *value, *expiry = nullptr;
    ZEND_PARSE_PARAMETERS_START(2, 3)
    Z_PARAM_STR(key)
    Z_PARAM_ZVAL(value)
    Z_PARAM_OPTIONAL
    Z_PARAM_ZVAL(expiry)
    ZEND_PARSE_PARAMETERS_END_EX(return -1);
    kelvoSetOptions options{};
    if (expiry) {
        ZVAL_DEREF(expiry);
        if (Z_TYPE_P(expiry) == IS_ARRAY)
            kelvoFillSetOptionsHt(&options, REDIS_CMD_SET, Z_ARRVAL_P(expiry));
        else if (Z_TYPE_P(expiry) != IS_NULL && !readSeconds(expiry, &options.ttl))
            return kelvoRefuse("%s", kExpireRefused);
    }
    if (checkExpiry(options) != 0)
        return -1;
    if (options.ifType != KELVO_IF_NONE && options.mode)
        return kelvoRefuse("Value/Digest comparison can't be combined with NX or XX option");
    if (refusePersist(options) != 0)
        return -1;

    if (options.expiry == KELVO_EXPIRY_NONE && options.ttl > 0 && !options.mode && !options.keepTtl) {
        kelvoRespCmdUpdateCmd(req, REDIS_CMD_SETEX);
        kelvoCatKey(req, obj, key);
        kelvoRespCmdCatZendLong(req, options.ttl);
        return kelvoCatValue(req, obj, value) ? 0 : -1;
    }
    kelvoCatKey(req, obj, key);
    if (!kelvoCatValue(req, obj, value))
        return -1;
    if (options.ifType != KELVO_IF_NONE) {
        if (!kelvoRespCmdCatIfType(req, obj, options.ifType, options.ifValue))
            return -1;
    } else if (options.mode) {
        kelvoRespCmdCatZStr(req, options.mode);
    }
    if (options.get)
        kelvoCatWord(req, "GET");
    if (options.keepTtl)
        kelvoCatWord(req, "KEEPTTL");
    else
        kelvoRespCmdCatExpiryOptions(req, &options);
    return 0;
}

int kelvoGetExRCmd(zend_execute_data *execute_data, zval *, rrc *req, robj *obj)
{
    zend_string *key;
    HashTable *ht;
    if (kelvoParseKeyOptions(execute_data, &key, &ht) != 0)
        return -1;
    kelvoSetOptions options;
    kelvoFillSetOptionsHt(&options, REDIS_CMD_GETEX, ht);
    kelvoCatKey(req, obj, key);
    kelvoRespCmdCatExpiryOptions(req, &options);
    return 0;
}

/* -- MSET, MSETNX, MSETEX ---------------------------------------------------------------------------- */

int kelvoMsetRCmd(zend_execute_data *execute_data, zval *, rrc *req, robj *obj)
{
    HashTable *pairs;
    ZEND_PARSE_PARAMETERS_START(1, 1)
    Z_PARAM_ARRAY_HT(pairs)
    ZEND_PARSE_PARAMETERS_END_EX(return -1);
    /* Nothing to write is a plain false, as callers of the peer extension have always seen it. */
    if (zend_hash_num_elements(pairs) == 0)
        return -1;
    return kelvoRespCmdCatMSetKeyVals(req, obj, pairs) ? 0 : -1;
}

int kelvoMSetExRCmd(zend_execute_data *execute_data, zval *, rrc *req, robj *obj)
{
    HashTable *pairs;
    zval *expiry = nullptr;
    ZEND_PARSE_PARAMETERS_START(1, 2)
    Z_PARAM_ARRAY_HT(pairs)
    Z_PARAM_OPTIONAL
    Z_PARAM_ZVAL(expiry)
    ZEND_PARSE_PARAMETERS_END_EX(return -1);
    const uint32_t count = zend_hash_num_elements(pairs);
    if (count == 0)
        return kelvoRefuse("No key-value pairs provided");
    kelvoSetOptions options{};
    if (expiry) {
        ZVAL_DEREF(expiry);
        if (Z_TYPE_P(expiry) == IS_ARRAY) {
            kelvoFillSetOptionsHt(&options, REDIS_CMD_MSETEX, Z_ARRVAL_P(expiry));
        } else if (Z_TYPE_P(expiry) == IS_DOUBLE && Z_DVAL_P(expiry) > 0 && Z_DVAL_P(expiry) < kTwoPow63) {
            /* Below one second this is EX 0, which the server refuses: nothing is lost silently. */
            options.expiry = KELVO_EXPIRY_EX;
            options.ttl = static_cast<int64_t>(Z_DVAL_P(expiry));
        } else if (Z_TYPE_P(expiry) != IS_NULL) {
            if (Z_TYPE_P(expiry) == IS_DOUBLE || !readSeconds(expiry, &options.ttl))
                return kelvoRefuse("%s", kExpireRefused);
            options.expiry = KELVO_EXPIRY_EX;
        }
    }
    if (checkExpiry(options) != 0 || refusePersist(options) != 0)
        return -1;
    kelvoRespCmdCatZendULong(req, count);
    if (!kelvoRespCmdCatMSetKeyVals(req, obj, pairs))
        return -1;
    if (options.mode)
        kelvoRespCmdCatZStr(req, options.mode);
    if (options.expiry != KELVO_EXPIRY_NONE)
        kelvoRespCmdCatExpiryOptions(req, &options);
    else if (options.keepTtl)
        kelvoCatWord(req, "KEEPTTL");
    kelvoRespCmdSetNumber(req, count);
    return 0;
}

/* -- DELEX --------------------------------------------------------------------------------------- */

/*
 * DELEX key [condition value]. Every entry of the options must be a condition: an entry that is
 * not one is refused rather than passed over, since without its condition the request would
 * delete unconditionally. The first condition is the one sent.
 */
int kelvoDelExRCmd(zend_execute_data *execute_data, zval *, rrc *req, robj *obj)
{
    zend_string *key;
    HashTable *ht;
    if (kelvoParseKeyOptions(execute_data, &key, &ht) != 0)
        return -1;
    uint32_t ifType = KELVO_IF_NONE;
    zval *ifValue = nullptr;
    if (ht) {
        zend_ulong index;
        zend_string *name;
        zval *value;
        ZEND_HASH_FOREACH_KEY_VAL(ht, index, name, value)
        {
            uint32_t type;
            if (name && stringToIfType(&type, name)) {
                if (ifType == KELVO_IF_NONE) {
                    ifType = type;
                    ifValue = value;
                }
                continue;
            }
            ZVAL_DEREF(value);
            if (name)
                return kelvoRefuse("Unknown option '%s'", ZSTR_VAL(name));
            if (Z_TYPE_P(value) == IS_STRING)
                return kelvoRefuse("Unknown option '%s'", Z_STRVAL_P(value));
            return kelvoRefuse("Unknown option '" ZEND_ULONG_FMT "'", index);
        }
        ZEND_HASH_FOREACH_END();
    }
    kelvoCatKey(req, obj, key);
    if (ifType == KELVO_IF_NONE)
        return 0;
    return kelvoRespCmdCatIfType(req, obj, ifType, ifValue) ? 0 : -1;
}

/* SETEX, PSETEX: key, the time to live as given (the server judges it), packed value: LSET's shape. */
int kelvoSetExRCmd(zend_execute_data *execute_data, zval *return_value, rrc *req, robj *obj)
{
    return kelvoKeyLongMemRCmd(execute_data, return_value, req, obj);
}

/* -- counters ------------------------------------------------------------------------------------ */

/* INCR, DECR, INCRBY, DECRBY, INCRBYFLOAT, HINCRBY, HINCRBYFLOAT. INCR and DECR move to their BY
 * forms for an amount other than 1, and back. */
int kelvoIncrDecrRCmd(zend_execute_data *execute_data, zval *, rrc *req, robj *obj)
{
    const int32_t cmd = req->cmd;
    const bool hash = cmd == REDIS_CMD_HINCRBY || cmd == REDIS_CMD_HINCRBYFLOAT;
    const bool floating = cmd == REDIS_CMD_INCRBYFLOAT || cmd == REDIS_CMD_HINCRBYFLOAT;
    const bool optional = cmd == REDIS_CMD_INCR || cmd == REDIS_CMD_DECR;
    kelvoAssert(hash || floating || optional || cmd == REDIS_CMD_INCRBY || cmd == REDIS_CMD_DECRBY);
    zend_string *key, *field = nullptr;
    zend_long by = 1;
    double byFloat = 0;
    const uint32_t least = hash ? 3 : optional ? 1 : 2;
    ZEND_PARSE_PARAMETERS_START(least, hash ? 3 : 2)
    Z_PARAM_STR(key)
    if (hash) {
        Z_PARAM_STR(field)
    }
    /* Only INCR and DECR may leave the amount out (the engine assumes what it is told here). */
    if (optional) {
        Z_PARAM_OPTIONAL
    }
    if (floating) {
        Z_PARAM_DOUBLE(byFloat)
    } else {
        Z_PARAM_LONG(by)
    }
    ZEND_PARSE_PARAMETERS_END_EX(return -1);

    if ((cmd == REDIS_CMD_INCR || cmd == REDIS_CMD_DECR) && by != 1)
        kelvoRespCmdUpdateCmd(req, cmd == REDIS_CMD_INCR ? REDIS_CMD_INCRBY : REDIS_CMD_DECRBY);
    else if ((cmd == REDIS_CMD_INCRBY || cmd == REDIS_CMD_DECRBY) && by == 1)
        kelvoRespCmdUpdateCmd(req, cmd == REDIS_CMD_INCRBY ? REDIS_CMD_INCR : REDIS_CMD_DECR);
    kelvoCatKey(req, obj, key);
    if (field)
        kelvoRespCmdCatZStr(req, field);
    if (floating)
        kelvoRespCmdCatDouble(req, byFloat);
    else if (req->cmd != REDIS_CMD_INCR && req->cmd != REDIS_CMD_DECR)
        kelvoRespCmdCatZendLong(req, by);
    return 0;
}

/* -- INCREX -------------------------------------------------------------------------------------- */

namespace {

enum IncrExOverflow : uint8_t { kOverflowFail, kOverflowSat, kOverflowReject };

/* One bound of INCREX: integers in integer mode, floats (or integers, widened) in float mode. A
 * value of another type is refused: the bound would be lost and the counter run past it. */
template <typename Number>
bool readBound(zval *value, Number *bound)
{
    if (Z_TYPE_P(value) == IS_LONG) {
        *bound = static_cast<Number>(Z_LVAL_P(value));
        return true;
    }
    if (std::is_floating_point_v<Number> && Z_TYPE_P(value) == IS_DOUBLE) {
        *bound = static_cast<Number>(Z_DVAL_P(value));
        return true;
    }
    return false;
}

template <typename Number>
struct IncrExState {
    Number lower = std::numeric_limits<Number>::lowest();
    Number upper = std::numeric_limits<Number>::max();
    uint8_t overflow = kOverflowFail;
    kelvoSetOptions expiry{};
    bool enx = false;
};

void catNumber(rrc *req, zend_long n) { kelvoRespCmdCatZendLong(req, n); }
void catNumber(rrc *req, double n) { kelvoRespCmdCatDouble(req, n); }

template <typename Number>
int readIncrExOptions(IncrExState<Number> *state, HashTable *ht)
{
    constexpr const char *mode = std::is_floating_point_v<Number> ? "float" : "integer";
    zend_string *name;
    zval *value;
    ZEND_HASH_FOREACH_STR_KEY_VAL(ht, name, value)
    {
        ZVAL_DEREF(value);
        if (!name) {
            if (Z_TYPE_P(value) == IS_STRING && kelvoIsWord(Z_STR_P(value), "ENX"))
                state->enx = true;
        } else if (kelvoIsWord(name, "LBOUND") || kelvoIsWord(name, "UBOUND")) {
            const bool lower = kelvoIsWord(name, "LBOUND");
            if (!readBound(value, lower ? &state->lower : &state->upper))
                return kelvoRefuse("Invalid %s for %s increment", lower ? "LBOUND" : "UBOUND", mode);
        } else if (kelvoIsWord(name, "OVERFLOW")) {
            const zend_string *word = Z_TYPE_P(value) == IS_STRING ? Z_STR_P(value) : nullptr;
            if (word && kelvoIsWord(word, "FAIL"))
                state->overflow = kOverflowFail;
            else if (word && kelvoIsWord(word, "SAT"))
                state->overflow = kOverflowSat;
            else if (word && kelvoIsWord(word, "REJECT"))
                state->overflow = kOverflowReject;
            else
                return kelvoRefuse("Invalid OVERFLOW value");
        } else {
            takeExpiry(&state->expiry, name, value);
        }
    }
    ZEND_HASH_FOREACH_END();
    return 0;
}

template <typename Number>
int incrEx(rrc *req, const robj *obj, zend_string *key, const zval *increment, HashTable *ht)
{
    IncrExState<Number> state;
    if (ht && readIncrExOptions(&state, ht) != 0)
        return -1;
    kelvoCatKey(req, obj, key);
    if (increment) {
        if constexpr (std::is_floating_point_v<Number>) {
            kelvoCatWord(req, "BYFLOAT");
            kelvoRespCmdCatDouble(req, Z_DVAL_P(increment));
        } else {
            kelvoCatWord(req, "BYINT");
            kelvoRespCmdCatZendLong(req, Z_LVAL_P(increment));
        }
    }
    if (state.lower != std::numeric_limits<Number>::lowest()) {
        kelvoCatWord(req, "LBOUND");
        catNumber(req, state.lower);
    }
    if (state.upper != std::numeric_limits<Number>::max()) {
        kelvoCatWord(req, "UBOUND");
        catNumber(req, state.upper);
    }
    if (state.overflow != kOverflowFail) {
        kelvoCatWord(req, "OVERFLOW");
        if (state.overflow == kOverflowSat)
            kelvoCatWord(req, "SAT");
        else
            kelvoCatWord(req, "REJECT");
    }
    const uint32_t expiry = state.expiry.expiry;
    kelvoRespCmdCatExpiryOptions(req, &state.expiry);
    if (state.enx) {
        if (expiry == KELVO_EXPIRY_NONE || expiry == KELVO_EXPIRY_PERSIST)
            kelvoWarn("ENX option requires a valid expiration option");
        else
            kelvoCatWord(req, "ENX");
    }
    return 0;
}

} // namespace

/* INCREX key [BYINT n | BYFLOAT f] [LBOUND lo] [UBOUND hi] [OVERFLOW SAT|REJECT] [expiry [ENX]]:
 * a float increment makes every number of the request a float. */
int kelvoIncrExRCmd(zend_execute_data *execute_data, zval *, rrc *req, robj *obj)
{
    zend_string *key;
    zval *increment = nullptr;
    HashTable *ht = nullptr;
    ZEND_PARSE_PARAMETERS_START(1, 3)
    Z_PARAM_STR(key)
    Z_PARAM_OPTIONAL
    Z_PARAM_NUMBER_OR_NULL(increment)
    Z_PARAM_ARRAY_HT_OR_NULL(ht)
    ZEND_PARSE_PARAMETERS_END_EX(return -1);
    if (increment && Z_TYPE_P(increment) == IS_DOUBLE)
        return incrEx<double>(req, obj, key, increment, ht);
    return incrEx<zend_long>(req, obj, key, increment, ht);
}

/* -- replies ------------------------------------------------------------------------------------- */

namespace {

void stringToFloat(zval *rv, kelvoQuerySet *, kelvoReplyEnv *env, const kelvoReply *reply)
{
    if (!is(reply, KELVO_REPLY_STRING)) {
        WRONG_TYPE(env, "string", reply);
        return kelvoReplyFailure(rv);
    }
    stringAsFloat(rv, reply);
}

} // namespace

KELVO_FORMATTER(kelvoStringToFloat, stringToFloat)
