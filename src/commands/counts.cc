/*
 * Builders of commands with an optional trailing count, flag or range: the pops with counts,
 * MOVE, VRANDMEMBER, ZRANK and ZREVRANK, BITPOS and GCRA. When an optional part goes out
 * decides the reply's shape (a pop without a count answers one element, with a count a list),
 * so each row has its own rule.
 */
#include "commands/cmdroles.h"
#include "commands/builder.h"

/* LPOP, RPOP: the count only when given and not 1, so a count of 1 still answers one element. */
int kelvoListPopRCmd(zend_execute_data *execute_data, zval *, rrc *req, robj *obj)
{
    zend_string *key;
    zend_long count = 1;
    ZEND_PARSE_PARAMETERS_START(1, 2)
    Z_PARAM_STR(key)
    Z_PARAM_OPTIONAL
    Z_PARAM_LONG(count)
    ZEND_PARSE_PARAMETERS_END_EX(return -1);
    if (ZEND_NUM_ARGS() > 1 && count < 1)
        return kelvoRefuse("Count cannot be < 1");
    kelvoCatKey(req, obj, key);
    if (count != 1)
        kelvoRespCmdCatZendLong(req, count);
    return 0;
}

/* SPOP, ZPOPMIN, ZPOPMAX: the count whenever given; MOVE: the database, always. */
int kelvoKeyLongRCmd(zend_execute_data *execute_data, zval *, rrc *req, robj *obj)
{
    const bool move = req->cmd == REDIS_CMD_MOVE;
    zend_string *key;
    zend_long number = 0;
    ZEND_PARSE_PARAMETERS_START(move ? 2 : 1, 2)
    Z_PARAM_STR(key)
    if (!move) {
        Z_PARAM_OPTIONAL
    }
    Z_PARAM_LONG(number)
    ZEND_PARSE_PARAMETERS_END_EX(return -1);
    kelvoCatKey(req, obj, key);
    if (ZEND_NUM_ARGS() > 1)
        kelvoRespCmdCatZendLong(req, number);
    return 0;
}

/* VRANDMEMBER: the count when not 0; a negative one asks for repeats. */
int kelvoKeyOptLongRCmd(zend_execute_data *execute_data, zval *, rrc *req, robj *obj)
{
    zend_string *key;
    zend_long count = 0;
    ZEND_PARSE_PARAMETERS_START(1, 2)
    Z_PARAM_STR(key)
    Z_PARAM_OPTIONAL
    Z_PARAM_LONG(count)
    ZEND_PARSE_PARAMETERS_END_EX(return -1);
    kelvoCatKey(req, obj, key);
    if (count != 0)
        kelvoRespCmdCatZendLong(req, count);
    return 0;
}

/* ZRANK, ZREVRANK: the member packed as it was stored. */
int kelvoZRankRCmd(zend_execute_data *execute_data, zval *, rrc *req, robj *obj)
{
    zend_string *key;
    zval *member;
    bool withScore = false;
    ZEND_PARSE_PARAMETERS_START(2, 3)
    Z_PARAM_STR(key)
    Z_PARAM_ZVAL(member)
    Z_PARAM_OPTIONAL
    Z_PARAM_BOOL(withScore)
    ZEND_PARSE_PARAMETERS_END_EX(return -1);
    kelvoCatKey(req, obj, key);
    if (!kelvoCatValue(req, obj, member))
        return -1;
    if (withScore)
        kelvoCatWord(req, "WITHSCORE");
    return 0;
}

/* BITPOS: start, end and BIT only as far as the caller gave them. A bit other than 0 or 1 is
 * refused without a message. */
int kelvoBitPosRCmd(zend_execute_data *execute_data, zval *, rrc *req, robj *obj)
{
    zend_string *key;
    zend_long bit, start = 0, end = -1;
    bool byBit = false;
    ZEND_PARSE_PARAMETERS_START(2, 5)
    Z_PARAM_STR(key)
    Z_PARAM_LONG(bit)
    Z_PARAM_OPTIONAL
    Z_PARAM_LONG(start)
    Z_PARAM_LONG(end)
    Z_PARAM_BOOL(byBit)
    ZEND_PARSE_PARAMETERS_END_EX(return -1);
    if (bit != 0 && bit != 1)
        return -1;
    const uint32_t argc = ZEND_NUM_ARGS();
    kelvoCatKey(req, obj, key);
    kelvoRespCmdCatZendLong(req, bit);
    if (argc >= 3)
        kelvoRespCmdCatZendLong(req, start);
    if (argc >= 4)
        kelvoRespCmdCatZendLong(req, end);
    if (argc >= 5 && byBit)
        kelvoCatWord(req, "BIT");
    return 0;
}

/* GCRA: TOKENS only for a positive count of tokens. */
int kelvoGcraRCmd(zend_execute_data *execute_data, zval *, rrc *req, robj *obj)
{
    zend_string *key;
    zend_long maxBurst, perPeriod, period, tokens = 0;
    ZEND_PARSE_PARAMETERS_START(4, 5)
    Z_PARAM_STR(key)
    Z_PARAM_LONG(maxBurst)
    Z_PARAM_LONG(perPeriod)
    Z_PARAM_LONG(period)
    Z_PARAM_OPTIONAL
    Z_PARAM_LONG(tokens)
    ZEND_PARSE_PARAMETERS_END_EX(return -1);
    kelvoCatKey(req, obj, key);
    kelvoRespCmdCatZendLong(req, maxBurst);
    kelvoRespCmdCatZendLong(req, perPeriod);
    kelvoRespCmdCatZendLong(req, period);
    if (tokens > 0) {
        kelvoCatWord(req, "TOKENS");
        kelvoRespCmdCatZendLong(req, tokens);
    }
    return 0;
}
