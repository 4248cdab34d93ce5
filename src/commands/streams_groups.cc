/*
 * The stream consumer-group builders: XGROUP, XINFO, XREADGROUP, XACK, XNACK, XACKDEL, XPENDING,
 * XCLAIM and XAUTOCLAIM. Group and consumer names, ids, bounds and subcommand words go out as the
 * caller wrote them; only stream keys carry the key prefix. XCLAIM and XAUTOCLAIM leave their
 * JUSTID flag in the context byte, for their formatters (after the builders, with XINFO's) to
 * tell ids from entries.
 */
#include "commands/streams.h"

#include "commands/cmdroles.h"
#include "commands/builder.h"
#include "commands/formatter.h"

using namespace kelvoFormat;

namespace {

struct XGroupOperation {
    const char *name;
    size_t len;
    uint32_t required; /* arguments after the operation word */
    bool mkstream;
    bool entriesRead;
};

constexpr XGroupOperation xgroupOperations[] = {
    {"HELP", 4, 0, false, false},         {"CREATE", 6, 3, true, true},
    {"SETID", 5, 3, false, true},         {"CREATECONSUMER", 14, 3, false, false},
    {"DELCONSUMER", 11, 3, false, false}, {"DESTROY", 7, 2, false, false},
};

const XGroupOperation *xgroupOperation(const zend_string *word)
{
    for (const XGroupOperation &op : xgroupOperations)
        if (ZSTR_LEN(word) == op.len && strncasecmp(ZSTR_VAL(word), op.name, op.len) == 0)
            return &op;
    return nullptr;
}

/* XCLAIM's options: the time word as the caller spelled it, a retry count, FORCE and JUSTID. */
struct XClaimOptions {
    zend_string *timeWord = nullptr;
    zend_long time = -1;
    bool retrySet = false;
    zend_long retryCount = 0;
    bool force = false;
    bool justid = false;
};

XClaimOptions readXClaimOptions(HashTable *options)
{
    XClaimOptions out;
    if (!options)
        return out;
    zend_string *name;
    zval *value;
    ZEND_HASH_FOREACH_STR_KEY_VAL(options, name, value)
    {
        value = kelvoDeref(value);
        if (name) {
            if (kelvoIsWord(name, "TIME") || kelvoIsWord(name, "IDLE")) {
                out.timeWord = name;
                out.time = zval_get_long(value);
            } else if (kelvoIsWord(name, "RETRYCOUNT")) {
                out.retrySet = true;
                out.retryCount = zval_get_long(value);
            }
        } else if (Z_TYPE_P(value) == IS_STRING) {
            if (kelvoIsWord(Z_STR_P(value), "FORCE"))
                out.force = true;
            else if (kelvoIsWord(Z_STR_P(value), "JUSTID"))
                out.justid = true;
        }
    }
    ZEND_HASH_FOREACH_END();
    return out;
}

} // namespace

int kelvoXGroupRCmd(zend_execute_data *execute_data, zval *, rrc *req, robj *obj)
{
    zend_string *operation, *key = nullptr, *group = nullptr, *idOrConsumer = nullptr;
    bool mkstream = false;
    zend_long entriesRead = -2;
    ZEND_PARSE_PARAMETERS_START(1, 6)
    Z_PARAM_STR(operation)
    Z_PARAM_OPTIONAL
    Z_PARAM_STR_OR_NULL(key)
    Z_PARAM_STR_OR_NULL(group)
    Z_PARAM_STR_OR_NULL(idOrConsumer)
    Z_PARAM_BOOL(mkstream)
    Z_PARAM_LONG(entriesRead)
    ZEND_PARSE_PARAMETERS_END_EX(return -1);
    const XGroupOperation *op = xgroupOperation(operation);
    if (!op)
        return kelvoRefuse("Unknown XGROUP operation '%s'", ZSTR_VAL(operation));
    const uint32_t given = !key ? 0 : !group ? 1 : !idOrConsumer ? 2 : 3;
    if (given < op->required)
        return kelvoRefuse("'%s' operation requires '%u' args", ZSTR_VAL(operation), op->required);
    kelvoRespCmdCatZStr(req, operation);
    if (op->required >= 2) {
        kelvoCatKey(req, obj, key);
        kelvoRespCmdCatZStr(req, group);
    }
    if (op->required == 3)
        kelvoRespCmdCatZStr(req, idOrConsumer);
    if (op->mkstream && mkstream)
        kelvoCatWord(req, "MKSTREAM");
    if (op->entriesRead && entriesRead != -2) {
        kelvoCatWord(req, "ENTRIESREAD");
        kelvoRespCmdCatZendLong(req, entriesRead);
    }
    return 0;
}

/* STREAM key [FULL [COUNT n]], GROUPS key, CONSUMERS key group: one shape, arguments in order. */
int kelvoXInfoRCmd(zend_execute_data *execute_data, zval *, rrc *req, robj *obj)
{
    zend_string *operation, *arg1 = nullptr, *arg2 = nullptr;
    zend_long count = -1;
    ZEND_PARSE_PARAMETERS_START(1, 4)
    Z_PARAM_STR(operation)
    Z_PARAM_OPTIONAL
    Z_PARAM_STR_OR_NULL(arg1)
    Z_PARAM_STR_OR_NULL(arg2)
    Z_PARAM_LONG(count)
    ZEND_PARSE_PARAMETERS_END_EX(return -1);
    if ((!arg2 && count != -1) || (arg2 && !arg1))
        return kelvoRefuse("Cannot pass a non-null argument after a NULL one");
    kelvoRespCmdCatZStr(req, operation);
    if (arg1)
        kelvoCatKey(req, obj, arg1);
    if (arg2) {
        kelvoRespCmdCatZStr(req, arg2);
        if (count >= 0) {
            kelvoCatWord(req, "COUNT");
            kelvoRespCmdCatZendLong(req, count);
        }
    }
    return 0;
}

int kelvoXReadgroupRCmd(zend_execute_data *execute_data, zval *, rrc *req, robj *obj)
{
    zend_string *group, *consumer;
    HashTable *streams;
    zend_long count = 0, block = 0;
    bool countNull = true, blockNull = true;
    ZEND_PARSE_PARAMETERS_START(3, 5)
    Z_PARAM_STR(group)
    Z_PARAM_STR(consumer)
    Z_PARAM_ARRAY_HT(streams)
    Z_PARAM_OPTIONAL
    Z_PARAM_LONG_OR_NULL(count, countNull)
    Z_PARAM_LONG_OR_NULL(block, blockNull)
    ZEND_PARSE_PARAMETERS_END_EX(return -1);
    if ((!countNull && count < 0) || (!blockNull && block < 0))
        return kelvoRefuse("COUNT and BLOCK must be >= 0");
    if (zend_hash_num_elements(streams) == 0)
        return kelvoRefuse("One or more Stream and ID required");
    kelvoCatWord(req, "GROUP");
    kelvoRespCmdCatZStr(req, group);
    kelvoRespCmdCatZStr(req, consumer);
    if (!countNull) {
        kelvoCatWord(req, "COUNT");
        kelvoRespCmdCatZendLong(req, count);
    }
    if (!blockNull) {
        kelvoCatWord(req, "BLOCK");
        kelvoRespCmdCatZendLong(req, block);
    }
    return kelvoCatStreamsClause(req, obj, streams);
}

/* No ids is the server's error to give. */
int kelvoXAckRCmd(zend_execute_data *execute_data, zval *, rrc *req, robj *obj)
{
    zend_string *key, *group;
    HashTable *ids;
    ZEND_PARSE_PARAMETERS_START(3, 3)
    Z_PARAM_STR(key)
    Z_PARAM_STR(group)
    Z_PARAM_ARRAY_HT(ids)
    ZEND_PARSE_PARAMETERS_END_EX(return -1);
    kelvoCatKey(req, obj, key);
    kelvoRespCmdCatZStr(req, group);
    return kelvoCatStreamIds(req, ids);
}

int kelvoXNAckRCmd(zend_execute_data *execute_data, zval *, rrc *req, robj *obj)
{
    zend_string *key, *group, *mode;
    HashTable *ids, *options = nullptr;
    ZEND_PARSE_PARAMETERS_START(4, 5)
    Z_PARAM_STR(key)
    Z_PARAM_STR(group)
    Z_PARAM_STR(mode)
    Z_PARAM_ARRAY_HT(ids)
    Z_PARAM_OPTIONAL
    Z_PARAM_ARRAY_HT_OR_NULL(options)
    ZEND_PARSE_PARAMETERS_END_EX(return -1);
    if (zend_hash_num_elements(ids) == 0)
        return kelvoRefuse("Must pass at least one ID");
    kelvoCatKey(req, obj, key);
    kelvoRespCmdCatZStr(req, group);
    kelvoRespCmdCatZStr(req, mode);
    if (kelvoCatCountedStreamIds(req, ids) != 0)
        return -1;
    zend_long retryCount = -1;
    bool force = false;
    if (options) {
        zend_string *name;
        zval *value;
        ZEND_HASH_FOREACH_STR_KEY_VAL(options, name, value)
        {
            value = kelvoDeref(value);
            if (name && kelvoIsWord(name, "RETRYCOUNT")) {
                if (Z_TYPE_P(value) == IS_LONG && Z_LVAL_P(value) >= 0)
                    retryCount = Z_LVAL_P(value);
                else
                    kelvoWarn("RETRYCOUNT must be a non-negative integer");
            } else if (!name && Z_TYPE_P(value) == IS_STRING && kelvoIsWord(Z_STR_P(value), "FORCE")) {
                force = true;
            }
        }
        ZEND_HASH_FOREACH_END();
    }
    if (retryCount >= 0) {
        kelvoCatWord(req, "RETRYCOUNT");
        kelvoRespCmdCatZendLong(req, retryCount);
    }
    if (force)
        kelvoCatWord(req, "FORCE");
    return 0;
}

int kelvoXAckDelRCmd(zend_execute_data *execute_data, zval *, rrc *req, robj *obj)
{
    zend_string *key, *group, *mode = nullptr;
    HashTable *ids;
    ZEND_PARSE_PARAMETERS_START(3, 4)
    Z_PARAM_STR(key)
    Z_PARAM_STR(group)
    Z_PARAM_ARRAY_HT(ids)
    Z_PARAM_OPTIONAL
    Z_PARAM_STR_OR_NULL(mode)
    ZEND_PARSE_PARAMETERS_END_EX(return -1);
    if (zend_hash_num_elements(ids) == 0)
        return kelvoRefuse("Must pass at least one ID to acknowledge and delete");
    kelvoCatKey(req, obj, key);
    kelvoRespCmdCatZStr(req, group);
    if (kelvoRespCmdCatDelExMode(req, mode) != 0)
        return -1;
    return kelvoCatCountedStreamIds(req, ids);
}

/* The summary form (key and group) or the extended one, which needs start, end and a count. */
int kelvoXPendingRCmd(zend_execute_data *execute_data, zval *, rrc *req, robj *obj)
{
    zend_string *key, *group, *start = nullptr, *end = nullptr, *consumer = nullptr;
    zend_long count = -1, idle = 0;
    ZEND_PARSE_PARAMETERS_START(2, 7)
    Z_PARAM_STR(key)
    Z_PARAM_STR(group)
    Z_PARAM_OPTIONAL
    Z_PARAM_STR_OR_NULL(start)
    Z_PARAM_STR_OR_NULL(end)
    Z_PARAM_LONG(count)
    Z_PARAM_STR_OR_NULL(consumer)
    Z_PARAM_LONG(idle)
    ZEND_PARSE_PARAMETERS_END_EX(return -1);
    if (start && (!end || count < 0))
        return kelvoRefuse("'$start' must be accompanied by '$end' and '$count' arguments");
    kelvoCatKey(req, obj, key);
    kelvoRespCmdCatZStr(req, group);
    if (!start)
        return 0;
    if (idle != 0) {
        kelvoCatWord(req, "IDLE");
        kelvoRespCmdCatZendLong(req, idle);
    }
    kelvoRespCmdCatZStr(req, start);
    kelvoRespCmdCatZStr(req, end);
    kelvoRespCmdCatZendLong(req, count);
    if (consumer)
        kelvoRespCmdCatZStr(req, consumer);
    return 0;
}

int kelvoXClaimRCmd(zend_execute_data *execute_data, zval *, rrc *req, robj *obj)
{
    zend_string *key, *group, *consumer;
    zend_long minIdle;
    HashTable *ids, *options = nullptr;
    ZEND_PARSE_PARAMETERS_START(5, 6)
    Z_PARAM_STR(key)
    Z_PARAM_STR(group)
    Z_PARAM_STR(consumer)
    Z_PARAM_LONG(minIdle)
    Z_PARAM_ARRAY_HT(ids)
    Z_PARAM_OPTIONAL
    Z_PARAM_ARRAY_HT_OR_NULL(options)
    ZEND_PARSE_PARAMETERS_END_EX(return -1);
    kelvoCatKey(req, obj, key);
    kelvoRespCmdCatZStr(req, group);
    kelvoRespCmdCatZStr(req, consumer);
    kelvoRespCmdCatZendLong(req, minIdle);
    if (kelvoCatStreamIds(req, ids) != 0)
        return -1;
    const XClaimOptions opts = readXClaimOptions(options);
    if (EG(exception))
        return -1;
    if (opts.timeWord && opts.time >= 0) {
        kelvoRespCmdCatZStr(req, opts.timeWord);
        kelvoRespCmdCatZendLong(req, opts.time);
    }
    if (opts.retrySet && opts.retryCount >= 0) {
        kelvoCatWord(req, "RETRYCOUNT");
        kelvoRespCmdCatZendLong(req, opts.retryCount);
    }
    if (opts.force)
        kelvoCatWord(req, "FORCE");
    if (opts.justid)
        kelvoCatWord(req, "JUSTID");
    req->context = opts.justid ? 1 : 0;
    return 0;
}

int kelvoXAutoClaimRCmd(zend_execute_data *execute_data, zval *, rrc *req, robj *obj)
{
    zend_string *key, *group, *consumer, *start;
    zend_long minIdle, count = -1;
    bool justid = false;
    ZEND_PARSE_PARAMETERS_START(5, 7)
    Z_PARAM_STR(key)
    Z_PARAM_STR(group)
    Z_PARAM_STR(consumer)
    Z_PARAM_LONG(minIdle)
    Z_PARAM_STR(start)
    Z_PARAM_OPTIONAL
    Z_PARAM_LONG(count)
    Z_PARAM_BOOL(justid)
    ZEND_PARSE_PARAMETERS_END_EX(return -1);
    kelvoCatKey(req, obj, key);
    kelvoRespCmdCatZStr(req, group);
    kelvoRespCmdCatZStr(req, consumer);
    kelvoRespCmdCatZendLong(req, minIdle);
    kelvoRespCmdCatZStr(req, start);
    if (count > 0) {
        kelvoCatWord(req, "COUNT");
        kelvoRespCmdCatZendLong(req, count);
    }
    if (justid)
        kelvoCatWord(req, "JUSTID");
    req->context = justid ? 1 : 0;
    return 0;
}

/* -- replies ------------------------------------------------------------------------------------ */

namespace {

void xinfo(zval *rv, kelvoQuerySet *rqs, kelvoReplyEnv *env, const kelvoReply *reply)
{
    convertWith(rv, reply, env, is(reply, KELVO_REPLY_MAP) ? kelvoOptNullMultibulkAsNull : 0, rqs->flags);
}

void xclaim(zval *rv, kelvoQuerySet *rqs, kelvoReplyEnv *env, const kelvoReply *reply)
{
    if (!is(reply, KELVO_REPLY_ARRAY)) {
        WRONG_TYPE(env, "array", reply);
        return kelvoReplyFailure(rv);
    }
    if (rqs->context != 0) {
        if (!requireStrings(env, reply, "stream ID string"))
            return kelvoReplyFailure(rv);
        return flatStrings(rv, reply);
    }
    for (uint64_t i = 0; i < reply->elements; i++) {
        if (!kelvoIsStreamEntry(at(reply, i))) {
            MALFORMED(env, "expected stream ID/message array");
            return kelvoReplyFailure(rv);
        }
    }
    array_init_size(rv, static_cast<uint32_t>(reply->elements));
    if (!kelvoAddStreamEntries(rv, env, reply))
        kelvoReplyFailure(rv);
}

void xautoclaim(zval *rv, kelvoQuerySet *rqs, kelvoReplyEnv *env, const kelvoReply *reply)
{
    bool shaped = is(reply, KELVO_REPLY_ARRAY) && (reply->elements == 2 || reply->elements == 3) &&
                  is(at(reply, 0), KELVO_REPLY_STRING) && is(at(reply, 1), KELVO_REPLY_ARRAY) &&
                  (reply->elements == 2 || is(at(reply, 2), KELVO_REPLY_ARRAY));
    if (!shaped) {
        MALFORMED(env, "expected XAUTOCLAIM cursor/messages/deleted-ids array");
        return kelvoReplyFailure(rv);
    }
    zval claimed;
    ZVAL_UNDEF(&claimed);
    xclaim(&claimed, rqs, env, at(reply, 1));
    if (Z_TYPE(claimed) == IS_FALSE || EG(exception)) {
        zval_ptr_dtor(&claimed);
        return kelvoReplyFailure(rv);
    }
    zval deleted;
    ZVAL_UNDEF(&deleted);
    if (reply->elements == 3) {
        const kelvoReply *ids = at(reply, 2);
        if (!allOfType(ids, KELVO_REPLY_STRING)) {
            zval_ptr_dtor(&claimed);
            MALFORMED(env, "expected XAUTOCLAIM deleted ID string");
            return kelvoReplyFailure(rv);
        }
        flatStrings(&deleted, ids);
    }
    array_init_size(rv, static_cast<uint32_t>(reply->elements));
    add_next_index_str(rv, zend_string_copy(at(reply, 0)->v.str));
    add_next_index_zval(rv, &claimed);
    if (!Z_ISUNDEF(deleted))
        add_next_index_zval(rv, &deleted);
}

} // namespace

KELVO_FORMATTER(kelvoXInfoFmt, xinfo)
KELVO_FORMATTER(kelvoXClaimFmt, xclaim)
KELVO_FORMATTER(kelvoXAutoClaimFmt, xautoclaim)
