/*
 * The variadic key and value builders: lists of keys (separate arguments or one array), lists
 * of values or fields after one key, and key arrays with their count in front; the pops they
 * build, with the formatters of their replies.
 */
#include "commands/cmdroles.h"
#include "commands/builder.h"
#include "commands/commands.h"
#include "commands/formatter.h"
#include "commands/multi.h"
#include "runtime/exception.h"

using namespace kelvoFormat;

namespace {

/*
 * DEL, UNLINK, TOUCH, WATCH, the set stores and the blocking pops: one array of keys, or the keys
 * as separate arguments, and for the pops a timeout last. The timeout is read before any key is
 * converted, so a refused one leaves no other report behind.
 */
int varkeys(zend_execute_data *execute_data, rrc *req, robj *obj, bool withTimeout)
{
    if (req->cmd == REDIS_CMD_WATCH && (obj->mode & kelvoModeMulti)) {
        kelvoThrowException(KELVO_ERR_REDIS, "WATCH inside MULTI is not allowed");
        /* A pipeline's queue holds the caller's other commands: none of them is dropped for this. */
        if (!(obj->mode & kelvoModePipeline))
            kelvoDiscard(obj);
        return -1;
    }
    const uint32_t least = withTimeout ? 2 : 1;
    zval *args;
    uint32_t argc;
    ZEND_PARSE_PARAMETERS_START(least, -1)
    Z_PARAM_VARIADIC('+', args, argc)
    ZEND_PARSE_PARAMETERS_END_EX(return -1);
    double timeout = 0;
    if (withTimeout && kelvoReadTimeout(&args[argc - 1], &timeout) != 0)
        return -1;
    zval *first = &args[0];
    ZVAL_DEREF(first);
    if (argc == least && Z_TYPE_P(first) == IS_ARRAY) {
        if (!kelvoCatKeyHt(req, obj, Z_ARRVAL_P(first)))
            return -1;
    } else {
        const uint32_t keys = withTimeout ? argc - 1 : argc;
        kelvoReserveArgs(req, keys + 1);
        for (uint32_t i = 0; i < keys; i++)
            if (!kelvoCatKeyZVal(req, obj, &args[i]))
                return -1;
    }
    if (withTimeout)
        kelvoRespCmdCatDouble(req, timeout);
    return 0;
}

/* Field and section names: string parameters, so an array is a type error rather than "Array". */
bool catStringParams(rrc *req, zval *args, uint32_t count, uint32_t firstNumber)
{
    for (uint32_t i = 0; i < count; i++) {
        zend_string *text;
        if (!zend_parse_arg_str(&args[i], &text, false, firstNumber + i)) {
            zend_wrong_parameter_type_error(firstNumber + i, Z_EXPECTED_STRING, &args[i]);
            return false;
        }
        kelvoRespCmdCatZStr(req, text);
    }
    return true;
}

bool isBlockingMpop(int32_t cmd) { return cmd == REDIS_CMD_BLMPOP || cmd == REDIS_CMD_BZMPOP; }

bool isListMpop(int32_t cmd) { return cmd == REDIS_CMD_LMPOP || cmd == REDIS_CMD_BLMPOP; }

} // namespace

int kelvoVarkeyRCmd(zend_execute_data *execute_data, zval *, rrc *req, robj *obj)
{
    return varkeys(execute_data, req, obj, false);
}

int kelvoBlockingPopRCmd(zend_execute_data *execute_data, zval *, rrc *req, robj *obj)
{
    return varkeys(execute_data, req, obj, true);
}

/* A key and then values (packed), HDEL's field names, or INFO's section names alone. */
int kelvoVarvalRCmd(zend_execute_data *execute_data, zval *, rrc *req, robj *obj)
{
    zval *args;
    uint32_t argc;
    if (req->cmd == REDIS_CMD_INFO) {
        ZEND_PARSE_PARAMETERS_START(0, -1)
        Z_PARAM_VARIADIC('*', args, argc)
        ZEND_PARSE_PARAMETERS_END_EX(return -1);
        return catStringParams(req, args, argc, 1) ? 0 : -1;
    }
    zend_string *key;
    if (kelvoParseKeyArgs(execute_data, 2, &key, &args, &argc) != 0)
        return -1;
    kelvoCatKey(req, obj, key);
    kelvoReserveArgs(req, argc);
    if (req->cmd == REDIS_CMD_HDEL)
        return catStringParams(req, args, argc, 2) ? 0 : -1;
    for (uint32_t i = 0; i < argc; i++)
        if (!kelvoCatValue(req, obj, &args[i]))
            return -1;
    return 0;
}

/* BITOP: the operation as the caller wrote it (the server judges it), then destination and sources. */
int kelvoBitopRCmd(zend_execute_data *execute_data, zval *, rrc *req, robj *obj)
{
    zval *args;
    uint32_t argc;
    ZEND_PARSE_PARAMETERS_START(3, -1)
    Z_PARAM_VARIADIC('+', args, argc)
    ZEND_PARSE_PARAMETERS_END_EX(return -1);
    kelvoCatPlain(req, &args[0]);
    for (uint32_t i = 1; i < argc; i++)
        if (!kelvoCatKeyZVal(req, obj, &args[i]))
            return -1;
    return 0;
}

int kelvoPopPushRCmd(zend_execute_data *execute_data, zval *, rrc *req, robj *obj)
{
    const bool blocking = req->cmd == REDIS_CMD_BRPOPLPUSH;
    const uint32_t count = blocking ? 3 : 2;
    zend_string *source, *destination;
    double timeout = 0;
    ZEND_PARSE_PARAMETERS_START(count, count)
    Z_PARAM_STR(source)
    Z_PARAM_STR(destination)
    if (blocking) {
        Z_PARAM_DOUBLE(timeout)
    }
    ZEND_PARSE_PARAMETERS_END_EX(return -1);
    if (timeout < 0)
        return kelvoRefuse("Timeout cannot be < 0");
    kelvoCatKey(req, obj, source);
    kelvoCatKey(req, obj, destination);
    if (blocking)
        kelvoRespCmdCatDouble(req, timeout);
    return 0;
}

/* LMPOP, ZMPOP and their blocking forms, which take the timeout first. */
int kelvoMpopRCmd(zend_execute_data *execute_data, zval *, rrc *req, robj *obj)
{
    const bool blocking = isBlockingMpop(req->cmd);
    double timeout = 0;
    HashTable *keys;
    zend_string *from;
    zend_long count = 1;
    ZEND_PARSE_PARAMETERS_START(blocking ? 3 : 2, blocking ? 4 : 3)
    if (blocking) {
        Z_PARAM_DOUBLE(timeout)
    }
    Z_PARAM_ARRAY_HT(keys)
    Z_PARAM_STR(from)
    Z_PARAM_OPTIONAL
    Z_PARAM_LONG(count)
    ZEND_PARSE_PARAMETERS_END_EX(return -1);
    if (zend_hash_num_elements(keys) == 0)
        return kelvoRefuse("Must pass at least one key");
    if (count < 1)
        return kelvoRefuse("Count must be >\xC2\xA0"
                           "0");
    if (isListMpop(req->cmd) ? !kelvoIsWord(from, "LEFT") && !kelvoIsWord(from, "RIGHT")
                             : !kelvoIsWord(from, "MIN") && !kelvoIsWord(from, "MAX"))
        return kelvoRefuse(isListMpop(req->cmd) ? "from must either be 'LEFT' or 'RIGHT'"
                                                : "from must either be 'MIN' or 'MAX'");
    if (blocking)
        kelvoRespCmdCatDouble(req, timeout);
    kelvoRespCmdCatZendULong(req, zend_hash_num_elements(keys));
    if (!kelvoCatKeyHt(req, obj, keys))
        return -1;
    kelvoRespCmdCatZStr(req, from);
    if (count != 1) {
        kelvoCatWord(req, "COUNT");
        kelvoRespCmdCatZendLong(req, count);
    }
    return 0;
}

int kelvoIntercardRCmd(zend_execute_data *execute_data, zval *, rrc *req, robj *obj)
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
    kelvoRespCmdCatZendULong(req, zend_hash_num_elements(keys));
    if (!kelvoCatKeyHt(req, obj, keys))
        return -1;
    if (limit > 0) {
        kelvoCatWord(req, "LIMIT");
        kelvoRespCmdCatZendLong(req, limit);
    }
    return 0;
}

/* -- replies of the pops ------------------------------------------------------------------------ */

namespace {

bool isBlockingPopCmd(int32_t cmd)
{
    return cmd == REDIS_CMD_BLPOP || cmd == REDIS_CMD_BRPOP || cmd == REDIS_CMD_BZPOPMAX || cmd == REDIS_CMD_BZPOPMIN;
}

void blockingPop(zval *rv, kelvoQuerySet *rqs, kelvoReplyEnv *env, const kelvoReply *reply)
{
    kelvoAssert(rqs != NULL && isBlockingPopCmd(rqs->cmd) && reply != NULL);
    uint32_t flags = env->opts.flags;
    if (is(reply, KELVO_REPLY_NIL)) {
        if (flags & kelvoOptNullMultibulkAsNull)
            ZVAL_NULL(rv);
        else
            array_init(rv);
        return;
    }
    if (!is(reply, KELVO_REPLY_ARRAY)) {
        WRONG_TYPE(env, "array or nil", reply);
        return kelvoReplyFailure(rv);
    }
    bool scored = rqs->cmd == REDIS_CMD_BZPOPMAX || rqs->cmd == REDIS_CMD_BZPOPMIN;
    bool ok = reply->elements == (scored ? 3u : 2u) && is(at(reply, 0), KELVO_REPLY_STRING) &&
              is(at(reply, 1), KELVO_REPLY_STRING) && (!scored || is(at(reply, 2), KELVO_REPLY_DOUBLE));
    if (!ok) {
        MALFORMED(env, "expected blocking pop key/member[/score] array");
        return kelvoReplyFailure(rv);
    }
    zval value;
    unpack(&value, &env->opts, at(reply, 1));
    array_init_size(rv, scored ? 3 : 2);
    add_next_index_str(rv, zend_string_copy(at(reply, 0)->v.str));
    add_next_index_zval(rv, &value);
    if (!scored)
        return;
    const kelvoReply *score = at(reply, 2);
    if (phpredisMode(flags))
        add_next_index_str(rv, zend_string_copy(score->v.str));
    else
        add_next_index_double(rv, score->dval);
}

void zmpop(zval *rv, kelvoQuerySet *rqs, kelvoReplyEnv *env, const kelvoReply *reply)
{
    kelvoAssert(rqs != NULL && (rqs->cmd == REDIS_CMD_ZMPOP || rqs->cmd == REDIS_CMD_BZMPOP) && reply != NULL);
    if (is(reply, KELVO_REPLY_NIL))
        return setNil(rv, env->opts.flags);
    if (!isPair(reply) || !is(at(reply, 0), KELVO_REPLY_STRING) || !is(at(reply, 1), KELVO_REPLY_ARRAY)) {
        MALFORMED(env, "expected ZMPOP key/member-score array");
        return kelvoReplyFailure(rv);
    }
    const kelvoReply *entries = at(reply, 1);
    if (!allMemberScore(entries)) {
        MALFORMED(env, "expected ZMPOP member/score array");
        return kelvoReplyFailure(rv);
    }
    zval pairs;
    array_init_size(&pairs, static_cast<uint32_t>(entries->elements));
    if (!addMemberScoreRows(&pairs, env, entries)) {
        zval_ptr_dtor(&pairs);
        return kelvoReplyFailure(rv);
    }
    array_init_size(rv, 2);
    add_next_index_str(rv, zend_string_copy(at(reply, 0)->v.str));
    add_next_index_zval(rv, &pairs);
}

} // namespace

KELVO_FORMATTER(kelvoBlockingPopReply, blockingPop)
KELVO_FORMATTER(kelvoZMPopReply, zmpop)
