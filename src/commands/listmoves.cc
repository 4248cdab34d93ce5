/*
 * The list moves LMOVE, BLMOVE, LMOVEM and BLMOVEM, and LINSERT: direction and position words
 * matched in any letter case and sent as the caller wrote them, LMOVEM's one COUNT or EXACTLY
 * option sent in upper case.
 */
#include "commands/cmdroles.h"
#include "commands/builder.h"
#include "runtime/fatal.h"

namespace {

bool isDirection(const zend_string *word) { return kelvoIsWord(word, "LEFT") || kelvoIsWord(word, "RIGHT"); }

/* Both directions, then the timeout, checked in this order; the messages name the directions as
 * each command's method does. 0, or -1 after the warning. */
int checkMove(const zend_string *from, const zend_string *to, double timeout, const char *badFrom, const char *badTo)
{
    if (!isDirection(from))
        return kelvoRefuse("%s", badFrom);
    if (!isDirection(to))
        return kelvoRefuse("%s", badTo);
    if (timeout < 0)
        return kelvoRefuse("Timeout cannot be negative");
    return 0;
}

/* The source and destination keys, both directions and a blocking command's timeout. */
void catMove(rrc *req, robj *obj, zend_string *source, zend_string *destination, zend_string *from, zend_string *to,
             bool blocking, double timeout)
{
    kelvoReserveArgs(req, 8);
    kelvoCatKey(req, obj, source);
    kelvoCatKey(req, obj, destination);
    kelvoRespCmdCatZStr(req, from);
    kelvoRespCmdCatZStr(req, to);
    if (blocking)
        kelvoRespCmdCatDouble(req, timeout);
}

/* LMOVEM's option: COUNT or EXACTLY with a count of at least 1 and OBO or BULK. */
struct MoveAmount {
    const char *kind = nullptr; /* "COUNT" or "EXACTLY"; null: none given */
    zend_long count = 0;
    const char *mode = nullptr; /* "OBO" or "BULK" */
};

/* Reads the options array (null or empty: none): 0, or -1 after the warning. */
int readMoveAmount(MoveAmount *out, HashTable *options)
{
    if (!options)
        return 0;
    zend_string *name;
    zval *value;
    ZEND_HASH_FOREACH_STR_KEY_VAL(options, name, value)
    {
        if (!name)
            return kelvoRefuse("LMOVEM options must use COUNT or EXACTLY as a key");
        if (out->kind)
            return kelvoRefuse("Only one of COUNT or EXACTLY may be specified");
        if (!kelvoIsWord(name, "COUNT") && !kelvoIsWord(name, "EXACTLY"))
            return kelvoRefuse("Unknown LMOVEM option '%s'", ZSTR_VAL(name));
        ZVAL_DEREF(value);
        if (Z_TYPE_P(value) != IS_ARRAY || zend_hash_num_elements(Z_ARRVAL_P(value)) != 2)
            return kelvoRefuse("%s must be an array containing a count and OBO or BULK", ZSTR_VAL(name));
        zval *count = zend_hash_index_find_deref(Z_ARRVAL_P(value), 0);
        zval *mode = zend_hash_index_find_deref(Z_ARRVAL_P(value), 1);
        if (!count || !mode)
            return kelvoRefuse("%s must be a list containing a count and OBO or BULK", ZSTR_VAL(name));
        if (Z_TYPE_P(count) != IS_LONG || Z_LVAL_P(count) < 1)
            return kelvoRefuse("%s count must be a positive integer", ZSTR_VAL(name));
        if (Z_TYPE_P(mode) != IS_STRING || (!kelvoIsWord(Z_STR_P(mode), "OBO") && !kelvoIsWord(Z_STR_P(mode), "BULK")))
            return kelvoRefuse("%s mode must be OBO or BULK", ZSTR_VAL(name));
        out->kind = kelvoIsWord(name, "COUNT") ? "COUNT" : "EXACTLY";
        out->count = Z_LVAL_P(count);
        out->mode = kelvoIsWord(Z_STR_P(mode), "OBO") ? "OBO" : "BULK";
    }
    ZEND_HASH_FOREACH_END();
    return 0;
}

} // namespace

int kelvoLmoveRCmd(zend_execute_data *execute_data, zval *, rrc *req, robj *obj)
{
    kelvoAssert(req != NULL && obj != NULL && (req->cmd == REDIS_CMD_LMOVE || req->cmd == REDIS_CMD_BLMOVE));
    const bool blocking = req->cmd == REDIS_CMD_BLMOVE;
    zend_string *source, *destination, *from, *to;
    double timeout = 0;
    ZEND_PARSE_PARAMETERS_START(blocking ? 5 : 4, blocking ? 5 : 4)
    Z_PARAM_STR(source)
    Z_PARAM_STR(destination)
    Z_PARAM_STR(from)
    Z_PARAM_STR(to)
    if (blocking) {
        Z_PARAM_DOUBLE(timeout)
    }
    ZEND_PARSE_PARAMETERS_END_EX(return -1);
    if (checkMove(from, to, timeout, "Wherefrom argument must be either 'LEFT' or 'RIGHT'",
                  "Whereto argument must be either 'LEFT' or 'RIGHT'") != 0)
        return -1;
    catMove(req, obj, source, destination, from, to, blocking, timeout);
    return 0;
}

int kelvoLmovemRCmd(zend_execute_data *execute_data, zval *, rrc *req, robj *obj)
{
    kelvoAssert(req != NULL && obj != NULL && (req->cmd == REDIS_CMD_LMOVEM || req->cmd == REDIS_CMD_BLMOVEM));
    const bool blocking = req->cmd == REDIS_CMD_BLMOVEM;
    zend_string *source, *destination, *from, *to;
    double timeout = 0;
    HashTable *options = nullptr;
    ZEND_PARSE_PARAMETERS_START(blocking ? 5 : 4, blocking ? 6 : 5)
    Z_PARAM_STR(source)
    Z_PARAM_STR(destination)
    Z_PARAM_STR(from)
    Z_PARAM_STR(to)
    if (blocking) {
        Z_PARAM_DOUBLE(timeout)
    }
    Z_PARAM_OPTIONAL
    Z_PARAM_ARRAY_HT_OR_NULL(options)
    ZEND_PARSE_PARAMETERS_END_EX(return -1);
    MoveAmount amount;
    if (checkMove(from, to, timeout, "from argument must be either 'LEFT' or 'RIGHT'",
                  "to argument must be either 'LEFT' or 'RIGHT'") != 0 ||
        readMoveAmount(&amount, options) != 0)
        return -1;
    catMove(req, obj, source, destination, from, to, blocking, timeout);
    if (amount.kind) {
        kelvoRespCmdCatLen(req, amount.kind, strlen(amount.kind));
        kelvoRespCmdCatZendLong(req, amount.count);
        kelvoRespCmdCatLen(req, amount.mode, strlen(amount.mode));
    }
    return 0;
}

/* LINSERT: pivot and element are packed, as the list's elements were when pushed. */
int kelvoLinsertRCmd(zend_execute_data *execute_data, zval *, rrc *req, robj *obj)
{
    zend_string *key, *position;
    zval *pivot, *element;
    ZEND_PARSE_PARAMETERS_START(4, 4)
    Z_PARAM_STR(key)
    Z_PARAM_STR(position)
    Z_PARAM_ZVAL(pivot)
    Z_PARAM_ZVAL(element)
    ZEND_PARSE_PARAMETERS_END_EX(return -1);
    if (!kelvoIsWord(position, "BEFORE") && !kelvoIsWord(position, "AFTER"))
        return kelvoRefuse("LINSERT operation can only be 'before' or 'after'");
    kelvoCatKey(req, obj, key);
    kelvoRespCmdCatZStr(req, position);
    return kelvoCatValue(req, obj, pivot) && kelvoCatValue(req, obj, element) ? 0 : -1;
}
