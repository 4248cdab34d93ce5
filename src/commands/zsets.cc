/*
 * The sorted-set commands with options or variable arguments: ZINTER, ZUNION and their STORE
 * forms, ZADD, ZDIFF, ZDIFFSTORE, ZRANGESTORE, the lex ranges and counts, ZRANDMEMBER. Scores and
 * weights go out as the numbers the caller gave, members packed, keys prefixed. The builders of
 * the commands that can answer with scores leave 1 in the context byte when they asked for them,
 * so the reply is turned into member => score pairs.
 */
#include "commands/cmdroles.h"
#include "commands/builder.h"
#include "commands/numeric.h"
#include "commands/reads.h"

namespace {

bool isStore(int32_t cmd)
{
    return cmd == REDIS_CMD_ZINTERSTORE || cmd == REDIS_CMD_ZUNIONSTORE || cmd == REDIS_CMD_ZDIFFSTORE;
}

/* numkeys key ...: the count, then every element of the array as a key. */
bool catKeyList(rrc *req, const robj *obj, HashTable *keys)
{
    kelvoRespCmdCatZendULong(req, zend_hash_num_elements(keys));
    return kelvoCatKeyHt(req, obj, keys);
}

/* A score or weight: a number (a numeric string as the number it spells), or one of the
 * infinities the server reads, as written. False when it is neither. */
bool catScore(rrc *req, zval *score, bool bareInf)
{
    if (kelvoCatNumeric(req, score))
        return true;
    score = kelvoDeref(score);
    if (Z_TYPE_P(score) != IS_STRING)
        return false;
    const zend_string *text = Z_STR_P(score);
    if (kelvoIsWord(text, "-INF") || kelvoIsWord(text, "+INF") || (bareInf && kelvoIsWord(text, "INF"))) {
        kelvoRespCmdCatZStr(req, text);
        return true;
    }
    return false;
}

const char *aggregateWord(const zend_string *word)
{
    if (kelvoIsWord(word, "SUM"))
        return "SUM";
    if (kelvoIsWord(word, "MIN"))
        return "MIN";
    if (kelvoIsWord(word, "MAX"))
        return "MAX";
    return nullptr;
}

struct SetOpOptions {
    const char *aggregate = nullptr;
    bool withScores = false;
};

/* The options of ZINTER and its kin: a word (WITHSCORES, SUM, MIN or MAX), or an array of
 * AGGREGATE => word, WITHSCORES => truth and the bare word WITHSCORES. The STORE forms never ask
 * for scores. */
SetOpOptions readSetOpOptions(zval *options, bool store)
{
    SetOpOptions out;
    if (!options)
        return out;
    options = kelvoDeref(options);
    if (Z_TYPE_P(options) == IS_STRING) {
        if (!store && kelvoIsWord(Z_STR_P(options), "WITHSCORES"))
            out.withScores = true;
        else
            out.aggregate = aggregateWord(Z_STR_P(options));
        return out;
    }
    if (Z_TYPE_P(options) != IS_ARRAY)
        return out;
    zend_string *name;
    zval *value;
    ZEND_HASH_FOREACH_STR_KEY_VAL(Z_ARRVAL_P(options), name, value)
    {
        value = kelvoDeref(value);
        if (!name) {
            if (!store && Z_TYPE_P(value) == IS_STRING && kelvoIsWord(Z_STR_P(value), "WITHSCORES"))
                out.withScores = true;
        } else if (kelvoIsWord(name, "AGGREGATE")) {
            if (Z_TYPE_P(value) == IS_STRING)
                out.aggregate = aggregateWord(Z_STR_P(value));
        } else if (kelvoIsWord(name, "WITHSCORES")) {
            out.withScores = !store && zend_is_true(value);
        }
    }
    ZEND_HASH_FOREACH_END();
    return out;
}

/* WITHSCORES as ZDIFF and ZRANDMEMBER read it from an options array: the truth of its value
 * under the key, or the bare word. Null: not asked. */
bool readWithScores(HashTable *options)
{
    bool withScores = false;
    if (!options)
        return false;
    zend_string *name;
    zval *value;
    ZEND_HASH_FOREACH_STR_KEY_VAL(options, name, value)
    {
        value = kelvoDeref(value);
        if (name ? kelvoIsWord(name, "WITHSCORES")
                 : Z_TYPE_P(value) == IS_STRING && kelvoIsWord(Z_STR_P(value), "WITHSCORES"))
            withScores = name ? zend_is_true(value) : true;
    }
    ZEND_HASH_FOREACH_END();
    return withScores;
}

/* A lex bound: "-" or "+", or a bound that starts with "[" or "(" (an empty one passes). */
bool isLexBound(const zend_string *bound)
{
    const size_t len = ZSTR_LEN(bound);
    const char first = len ? ZSTR_VAL(bound)[0] : '\0';
    if (len == 1)
        return first == '-' || first == '+';
    return len == 0 || first == '[' || first == '(';
}

} // namespace

/* ZINTER, ZUNION: numkeys key ... [WEIGHTS w ...] [AGGREGATE SUM|MIN|MAX] [WITHSCORES]; their
 * STORE forms put the destination in front and never ask for scores. */
int kelvoZInterRCmd(zend_execute_data *execute_data, zval *, rrc *req, robj *obj)
{
    const bool store = isStore(req->cmd);
    zend_string *destination = nullptr;
    HashTable *keys, *weights = nullptr;
    zval *options = nullptr;
    ZEND_PARSE_PARAMETERS_START(store ? 2 : 1, store ? 4 : 3)
    if (store) {
        Z_PARAM_STR(destination)
    }
    Z_PARAM_ARRAY_HT(keys)
    Z_PARAM_OPTIONAL
    Z_PARAM_ARRAY_HT_OR_NULL(weights)
    Z_PARAM_ZVAL(options)
    ZEND_PARSE_PARAMETERS_END_EX(return -1);
    const uint32_t count = zend_hash_num_elements(keys);
    /* No keys is a plain false, as callers of the peer extension have always seen it. */
    if (count == 0)
        return -1;
    if (weights && zend_hash_num_elements(weights) != count)
        return kelvoRefuse("WEIGHTS and keys array must be the same size");
    const SetOpOptions chosen = readSetOpOptions(options, store);

    kelvoReserveArgs(req, 2 * count + 6);
    if (destination)
        kelvoCatKey(req, obj, destination);
    if (!catKeyList(req, obj, keys))
        return -1;
    if (weights) {
        kelvoCatWord(req, "WEIGHTS");
        zval *weight;
        ZEND_HASH_FOREACH_VAL(weights, weight)
        {
            if (!catScore(req, weight, true))
                return kelvoRefuse("Weights must be numeric or '-inf', 'inf', '+inf'");
        }
        ZEND_HASH_FOREACH_END();
    }
    if (chosen.aggregate) {
        kelvoCatWord(req, "AGGREGATE");
        kelvoRespCmdCatLen(req, chosen.aggregate, 3);
    }
    if (chosen.withScores)
        kelvoCatWord(req, "WITHSCORES");
    req->context = chosen.withScores ? 1 : 0;
    return 0;
}

/* ZADD key [options] score member ...: the options array comes second when the argument count
 * is even; each word of it is sent once, in the server's order. */
int kelvoZaddRCmd(zend_execute_data *execute_data, zval *, rrc *req, robj *obj)
{
    zend_string *key;
    zval *args;
    uint32_t argc;
    if (kelvoParseKeyArgs(execute_data, 3, &key, &args, &argc) != 0)
        return -1;
    const char *condition = nullptr, *comparison = nullptr;
    bool changed = false, increment = false;
    uint32_t first = 0;
    if (argc % 2 != 0) {
        zval *options = kelvoDeref(&args[0]);
        /* Not an options array where one must be: a plain false, as the peer extension gives. */
        if (Z_TYPE_P(options) != IS_ARRAY)
            return -1;
        zval *word;
        ZEND_HASH_FOREACH_VAL(Z_ARRVAL_P(options), word)
        {
            word = kelvoDeref(word);
            if (Z_TYPE_P(word) != IS_STRING)
                continue;
            const zend_string *w = Z_STR_P(word);
            if (kelvoIsWord(w, "NX") || kelvoIsWord(w, "XX"))
                condition = kelvoIsWord(w, "NX") ? "NX" : "XX";
            else if (kelvoIsWord(w, "LT") || kelvoIsWord(w, "GT"))
                comparison = kelvoIsWord(w, "LT") ? "LT" : "GT";
            else if (kelvoIsWord(w, "CH"))
                changed = true;
            else if (kelvoIsWord(w, "INCR"))
                increment = true;
        }
        ZEND_HASH_FOREACH_END();
        first = 1;
    }
    kelvoReserveArgs(req, argc + 5);
    kelvoCatKey(req, obj, key);
    if (condition)
        kelvoRespCmdCatLen(req, condition, 2);
    if (comparison)
        kelvoRespCmdCatLen(req, comparison, 2);
    if (changed)
        kelvoCatWord(req, "CH");
    if (increment)
        kelvoCatWord(req, "INCR");
    for (uint32_t i = first; i < argc; i += 2) {
        if (!catScore(req, &args[i], false))
            return kelvoRefuse("Scores must be numeric, '-inf', or '+inf'");
        if (!kelvoCatValue(req, obj, kelvoDeref(&args[i + 1])))
            return -1;
    }
    return 0;
}

/* ZDIFF numkeys key ... [WITHSCORES]; ZDIFFSTORE destination numkeys key ... */
int kelvoZDiffRCmd(zend_execute_data *execute_data, zval *, rrc *req, robj *obj)
{
    const bool store = isStore(req->cmd);
    zend_string *destination = nullptr;
    HashTable *keys, *options = nullptr;
    ZEND_PARSE_PARAMETERS_START(store ? 2 : 1, 2)
    if (store) {
        Z_PARAM_STR(destination)
    }
    Z_PARAM_ARRAY_HT(keys)
    if (!store) {
        Z_PARAM_OPTIONAL
        Z_PARAM_ARRAY_HT_OR_NULL(options)
    }
    ZEND_PARSE_PARAMETERS_END_EX(return -1);
    if (zend_hash_num_elements(keys) == 0)
        return -1;
    const bool withScores = readWithScores(options);
    if (destination)
        kelvoCatKey(req, obj, destination);
    if (!catKeyList(req, obj, keys))
        return -1;
    if (withScores)
        kelvoCatWord(req, "WITHSCORES");
    req->context = withScores ? 1 : 0;
    return 0;
}

/*
 * ZRANGESTORE destination source start end [BYSCORE or BYLEX] [REV] [LIMIT offset count]: the
 * options read as the range reads read theirs; WITHSCORES means nothing here and is passed over.
 */
int kelvoZrangeStoreRCmd(zend_execute_data *execute_data, zval *, rrc *req, robj *obj)
{
    zend_string *destination, *source, *start, *end;
    zval *options = nullptr;
    ZEND_PARSE_PARAMETERS_START(4, 5)
    Z_PARAM_STR(destination)
    Z_PARAM_STR(source)
    Z_PARAM_STR(start)
    Z_PARAM_STR(end)
    Z_PARAM_OPTIONAL
    Z_PARAM_ZVAL(options)
    ZEND_PARSE_PARAMETERS_END_EX(return -1);
    kelvoZrangeOptions o;
    kelvoFillZrangeOptions(&o, REDIS_CMD_ZRANGESTORE, options);
    if (EG(exception))
        return -1;
    kelvoCatKey(req, obj, destination);
    kelvoCatKey(req, obj, source);
    kelvoRespCmdCatZStr(req, start);
    kelvoRespCmdCatZStr(req, end);
    if (o.by == 1)
        kelvoCatWord(req, "BYSCORE");
    else if (o.by == 2)
        kelvoCatWord(req, "BYLEX");
    if (o.rev)
        kelvoCatWord(req, "REV");
    if (o.has_limit) {
        kelvoCatWord(req, "LIMIT");
        kelvoRespCmdCatZendLong(req, o.offset);
        kelvoRespCmdCatZendLong(req, o.count);
    }
    return 0;
}

/*
 * ZRANGEBYLEX, ZREVRANGEBYLEX: key bound bound [LIMIT offset count], the bounds in the order
 * given. The method's declared defaults stand for "not given": a count passed by name alone
 * arrives with the offset -1, which is read as the start (0), not sent as LIMIT -1 n.
 */
int kelvoZrangeByLexRCmd(zend_execute_data *execute_data, zval *, rrc *req, robj *obj)
{
    const uint32_t argc = ZEND_NUM_ARGS();
    if (argc != 3 && argc != 5)
        return kelvoRefuse("Must pass either 3 or 5 arguments");
    zend_string *key, *first, *second;
    zend_long offset = -1, count = -1;
    ZEND_PARSE_PARAMETERS_START(3, 5)
    Z_PARAM_STR(key)
    Z_PARAM_STR(first)
    Z_PARAM_STR(second)
    Z_PARAM_OPTIONAL
    Z_PARAM_LONG(offset)
    Z_PARAM_LONG(count)
    ZEND_PARSE_PARAMETERS_END_EX(return -1);
    kelvoCatKey(req, obj, key);
    kelvoRespCmdCatZStr(req, first);
    kelvoRespCmdCatZStr(req, second);
    if (argc == 5 && (offset != -1 || count != -1)) {
        kelvoCatWord(req, "LIMIT");
        kelvoRespCmdCatZendLong(req, offset == -1 ? 0 : offset);
        kelvoRespCmdCatZendLong(req, count);
    }
    return 0;
}

/* ZLEXCOUNT, ZREMRANGEBYLEX: key min max, both bounds checked as lex bounds. */
int kelvoKeyLexLexRCmd(zend_execute_data *execute_data, zval *, rrc *req, robj *obj)
{
    zend_string *key, *min, *max;
    ZEND_PARSE_PARAMETERS_START(3, 3)
    Z_PARAM_STR(key)
    Z_PARAM_STR(min)
    Z_PARAM_STR(max)
    ZEND_PARSE_PARAMETERS_END_EX(return -1);
    if (!isLexBound(min) || !isLexBound(max))
        return kelvoRefuse("Min/Max args can be '-' or '+', or start with '[' or '('");
    kelvoCatKey(req, obj, key);
    kelvoRespCmdCatZStr(req, min);
    kelvoRespCmdCatZStr(req, max);
    return 0;
}

/* ZRANDMEMBER key [count [WITHSCORES]]: scores alone ask for one member with its score. */
int kelvoZRandMemberRCmd(zend_execute_data *execute_data, zval *, rrc *req, robj *obj)
{
    zend_string *key;
    HashTable *options;
    if (kelvoParseKeyOptions(execute_data, &key, &options) != 0)
        return -1;
    zend_long count = 0;
    bool withScores = false;
    if (options) {
        kelvoForEachOption(options, [&](zend_string *name, zval *value) {
            if (kelvoIsWord(name, "COUNT"))
                count = zval_get_long(value);
            else if (kelvoIsWord(name, "WITHSCORES"))
                withScores = zend_is_true(value);
        });
    }
    kelvoCatKey(req, obj, key);
    if (count != 0 || withScores) {
        kelvoRespCmdCatZendLong(req, count != 0 ? count : 1);
        if (withScores)
            kelvoCatWord(req, "WITHSCORES");
    }
    req->context = withScores ? 1 : 0;
    return 0;
}
