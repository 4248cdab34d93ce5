/*
 * The fixed-shape builders: commands whose arguments have one form, a key, a value, a number or
 * two, appended in the order given.
 */
#include "commands/cmdroles.h"
#include "commands/builder.h"

namespace {

/* Replies that are returned as the server sent them: names, hashes, counts, a dump. */
void markRaw(rrc *req)
{
    switch (req->cmd) {
    case REDIS_CMD_KEYS:
    case REDIS_CMD_ECHO:
    case REDIS_CMD_GEOHASH:
    case REDIS_CMD_CMS_QUERY:
        req->flags |= KELVO_REQ_RAW;
        break;
    case REDIS_CMD_DUMP:
    case REDIS_CMD_RANDOMKEY:
        req->flags |= KELVO_REQ_RAW | KELVO_REQ_SINGLE;
        break;
    default:
        break;
    }
}

} // namespace

int kelvoEmptyRCmd(zend_execute_data *execute_data, zval *, rrc *req, robj *)
{
    if (ZEND_NUM_ARGS() != 0) {
        zend_wrong_parameters_none_error();
        return -1;
    }
    markRaw(req);
    return 0;
}

int kelvoKeyRCmd(zend_execute_data *execute_data, zval *, rrc *req, robj *obj)
{
    zend_string *key;
    ZEND_PARSE_PARAMETERS_START(1, 1)
    Z_PARAM_STR(key)
    ZEND_PARSE_PARAMETERS_END_EX(return -1);
    kelvoCatKey(req, obj, key);
    markRaw(req);
    return 0;
}

int kelvoStrRCmd(zend_execute_data *execute_data, zval *, rrc *req, robj *)
{
    zend_string *text;
    ZEND_PARSE_PARAMETERS_START(1, 1)
    Z_PARAM_STR(text)
    ZEND_PARSE_PARAMETERS_END_EX(return -1);
    kelvoRespCmdCatZStr(req, text);
    markRaw(req);
    return 0;
}

int kelvoKeyValRCmd(zend_execute_data *execute_data, zval *, rrc *req, robj *obj)
{
    zend_string *key;
    zval *value;
    ZEND_PARSE_PARAMETERS_START(2, 2)
    Z_PARAM_STR(key)
    Z_PARAM_ZVAL(value)
    ZEND_PARSE_PARAMETERS_END_EX(return -1);
    kelvoCatKey(req, obj, key);
    return kelvoCatValue(req, obj, value) ? 0 : -1;
}

int kelvoKeyKeyRCmd(zend_execute_data *execute_data, zval *, rrc *req, robj *obj)
{
    zend_string *source, *destination;
    ZEND_PARSE_PARAMETERS_START(2, 2)
    Z_PARAM_STR(source)
    Z_PARAM_STR(destination)
    ZEND_PARSE_PARAMETERS_END_EX(return -1);
    kelvoCatKey(req, obj, source);
    kelvoCatKey(req, obj, destination);
    return 0;
}

/* OBJECT: the subcommand goes out as the caller wrote it; the server judges it. */
int kelvoStrKeyRCmd(zend_execute_data *execute_data, zval *, rrc *req, robj *obj)
{
    zend_string *subcommand, *key;
    ZEND_PARSE_PARAMETERS_START(2, 2)
    Z_PARAM_STR(subcommand)
    Z_PARAM_STR(key)
    ZEND_PARSE_PARAMETERS_END_EX(return -1);
    kelvoRespCmdCatZStr(req, subcommand);
    kelvoCatKey(req, obj, key);
    return 0;
}

/* PUBLISH, SPUBLISH: channels live in the key space, so they carry the key prefix. */
int kelvoKeyStrRCmd(zend_execute_data *execute_data, zval *, rrc *req, robj *obj)
{
    zend_string *channel, *message;
    ZEND_PARSE_PARAMETERS_START(2, 2)
    Z_PARAM_STR(channel)
    Z_PARAM_STR(message)
    ZEND_PARSE_PARAMETERS_END_EX(return -1);
    kelvoCatKey(req, obj, channel);
    kelvoRespCmdCatZStr(req, message);
    return 0;
}

/* ZCOUNT, ZREMRANGEBYSCORE: bounds as numbers or as the server's own texts ("(5", "-inf"). */
int kelvoKeyMemMemRCmd(zend_execute_data *execute_data, zval *, rrc *req, robj *obj)
{
    zend_string *key;
    zval *min, *max;
    ZEND_PARSE_PARAMETERS_START(3, 3)
    Z_PARAM_STR(key)
    Z_PARAM_ZVAL(min)
    Z_PARAM_ZVAL(max)
    ZEND_PARSE_PARAMETERS_END_EX(return -1);
    kelvoCatKey(req, obj, key);
    kelvoCatNumber(req, min);
    kelvoCatNumber(req, max);
    return 0;
}

/* GEOHASH, CMS.QUERY: members and items are packed as they were when stored, or they would not
 * be found under a serializer or compressor. */
int kelvoKeyNMemsRCmd(zend_execute_data *execute_data, zval *, rrc *req, robj *obj)
{
    zend_string *key;
    zval *members;
    uint32_t count;
    ZEND_PARSE_PARAMETERS_START(2, -1)
    Z_PARAM_STR(key)
    Z_PARAM_VARIADIC('+', members, count)
    ZEND_PARSE_PARAMETERS_END_EX(return -1);
    kelvoCatKey(req, obj, key);
    for (uint32_t i = 0; i < count; i++)
        if (!kelvoCatValue(req, obj, &members[i]))
            return -1;
    markRaw(req);
    return 0;
}

int kelvoKeyLongLongRCmd(zend_execute_data *execute_data, zval *, rrc *req, robj *obj)
{
    zend_string *key;
    zend_long first, second;
    ZEND_PARSE_PARAMETERS_START(3, 3)
    Z_PARAM_STR(key)
    Z_PARAM_LONG(first)
    Z_PARAM_LONG(second)
    ZEND_PARSE_PARAMETERS_END_EX(return -1);
    kelvoCatKey(req, obj, key);
    kelvoRespCmdCatZendLong(req, first);
    kelvoRespCmdCatZendLong(req, second);
    return 0;
}

int kelvoKeyLongBoolRCmd(zend_execute_data *execute_data, zval *, rrc *req, robj *obj)
{
    zend_string *key;
    zend_long offset;
    bool bit;
    ZEND_PARSE_PARAMETERS_START(3, 3)
    Z_PARAM_STR(key)
    Z_PARAM_LONG(offset)
    Z_PARAM_BOOL(bit)
    ZEND_PARSE_PARAMETERS_END_EX(return -1);
    kelvoCatKey(req, obj, key);
    kelvoRespCmdCatZendLong(req, offset);
    kelvoRespCmdCatZendLong(req, bit ? 1 : 0);
    return 0;
}

/*
 * LSET (and SETEX, PSETEX) store a value, packed. SETRANGE writes bytes into a string: its value
 * is a string parameter, so an array is a type error and an object gives its own text, never
 * "Array" or "Object".
 */
int kelvoKeyLongMemRCmd(zend_execute_data *execute_data, zval *, rrc *req, robj *obj)
{
    zend_string *key;
    zend_long index;
    zval *value = nullptr;
    zend_string *bytes = nullptr;
    const bool packed = req->cmd != REDIS_CMD_SETRANGE;
    ZEND_PARSE_PARAMETERS_START(3, 3)
    Z_PARAM_STR(key)
    Z_PARAM_LONG(index)
    if (packed) {
        Z_PARAM_ZVAL(value)
    } else {
        Z_PARAM_STR(bytes)
    }
    ZEND_PARSE_PARAMETERS_END_EX(return -1);
    kelvoCatKey(req, obj, key);
    kelvoRespCmdCatZendLong(req, index);
    if (!packed) {
        kelvoRespCmdCatZStr(req, bytes);
        return 0;
    }
    return kelvoCatValue(req, obj, value) ? 0 : -1;
}

int kelvoKeyDblDblRCmd(zend_execute_data *execute_data, zval *, rrc *req, robj *obj)
{
    zend_string *key;
    double first, second;
    ZEND_PARSE_PARAMETERS_START(3, 3)
    Z_PARAM_STR(key)
    Z_PARAM_DOUBLE(first)
    Z_PARAM_DOUBLE(second)
    ZEND_PARSE_PARAMETERS_END_EX(return -1);
    kelvoCatKey(req, obj, key);
    kelvoRespCmdCatDouble(req, first);
    kelvoRespCmdCatDouble(req, second);
    return 0;
}

int kelvoZincrbyRCmd(zend_execute_data *execute_data, zval *, rrc *req, robj *obj)
{
    zend_string *key;
    double increment;
    zval *member;
    ZEND_PARSE_PARAMETERS_START(3, 3)
    Z_PARAM_STR(key)
    Z_PARAM_DOUBLE(increment)
    Z_PARAM_ZVAL(member)
    ZEND_PARSE_PARAMETERS_END_EX(return -1);
    kelvoCatKey(req, obj, key);
    kelvoRespCmdCatDouble(req, increment);
    return kelvoCatValue(req, obj, member) ? 0 : -1;
}

int kelvoLongLongRCmd(zend_execute_data *execute_data, zval *, rrc *req, robj *)
{
    zend_long first, second;
    ZEND_PARSE_PARAMETERS_START(2, 2)
    Z_PARAM_LONG(first)
    Z_PARAM_LONG(second)
    ZEND_PARSE_PARAMETERS_END_EX(return -1);
    kelvoRespCmdCatZendLong(req, first);
    kelvoRespCmdCatZendLong(req, second);
    return 0;
}

int kelvoLongLongLongRCmd(zend_execute_data *execute_data, zval *, rrc *req, robj *)
{
    zend_long first, second, third;
    ZEND_PARSE_PARAMETERS_START(3, 3)
    Z_PARAM_LONG(first)
    Z_PARAM_LONG(second)
    Z_PARAM_LONG(third)
    ZEND_PARSE_PARAMETERS_END_EX(return -1);
    kelvoRespCmdCatZendLong(req, first);
    kelvoRespCmdCatZendLong(req, second);
    kelvoRespCmdCatZendLong(req, third);
    return 0;
}
