/* KEYS, SELECT and the subscribe family of Kelvo\Cluster. */
#include "cluster/nodewide.h"
#include "cluster/execute.h"
#include "cluster/replicas.h"
#include "cluster/slots.h"
#include "cluster/transaction.h"
#include "catalog/cmdinfo.h"
#include "client/client.h"
#include "client/connection.h"
#include "commands/commands.h"
#include "commands/multi.h"
#include "runtime/exception.h"
#include "runtime/fatal.h"
#include "runtime/kelvo.h"
#include "link/link.h"
#include "wire/reply.h"

#include "zend_exceptions.h"

#include <vector>

namespace {

int reconnectNode(void *arg) { return kelvoReconnect(static_cast<robj *>(arg)); }

/* The nodes node-wide work goes to: primaries that own slots now, in node order. */
std::vector<zend_long> livePrimaries(const kelvoClusterObject *cobj)
{
    std::vector<zend_long> nodes;
    for (uint64_t i = 0; i < cobj->nodes; i++)
        if (kelvoClusterNodeIsLivePrimary(cobj, static_cast<zend_long>(i)))
            nodes.push_back(static_cast<zend_long>(i));
    return nodes;
}

std::vector<zend_long> allNodes(const kelvoClusterObject *cobj)
{
    std::vector<zend_long> nodes;
    for (uint64_t i = 0; i < cobj->nodes; i++)
        nodes.push_back(static_cast<zend_long>(i));
    return nodes;
}

/*
 * Sends the request on a node outside a transaction, with the node's reconnects and resends:
 * 0 with the reply (an error reply is reported on the template and gives -1).
 */
int sendOnNode(kelvoClusterObject *cobj, zend_long idx, rrc *req, kelvoReply **reply)
{
    robj *tmpl = &cobj->tmpl;
    robj *ro = &cobj->node[idx]->ro;
    *reply = nullptr;
    if (kelvoSyncObject(ro, KELVO_LINK_READY, false) != 0 || kelvoPollIdleLink(ro) != 0)
        return -1;
    if (kelvoRespCmdSend(reply, &ro->link, &ro->info, &ro->opts.retry, req, 0, reconnectNode, ro) != 0) {
        kelvoReplyFree(*reply);
        *reply = nullptr;
        kelvoThrowLinkFailure(ro);
        kelvoClusterDiscardFailedNodeLink(cobj->node[idx]);
        return -1;
    }
    tmpl->link.lastUse = ro->link.lastUse = kelvoNowMicros();
    if ((*reply)->type == KELVO_REPLY_ERROR) {
        kelvoHandleErrorText(&tmpl->lastError, tmpl->opts.flags, ZSTR_VAL((*reply)->v.str), ZSTR_LEN((*reply)->v.str));
        kelvoReplyFree(*reply);
        *reply = nullptr;
        return -1;
    }
    return 0;
}

/*
 * Queues the request on a node inside the cluster's transaction (the node joins it first): a
 * QUERY entry on the node with the row's keys and delete roles run as at queue time. 0, or -1
 * after the transaction was discarded.
 */
int queueOnNode(kelvoClusterObject *cobj, zend_long idx, const kelvoCommandInfo *row, rrc *req)
{
    robj *ro = &cobj->node[idx]->ro;
    if (kelvoSyncObject(ro, KELVO_LINK_READY, false) != 0) {
        kelvoClusterAbortTransaction(cobj);
        return -1;
    }
    if (kelvoClusterJoinTransaction(cobj, idx) != 0)
        return -1;
    if (kelvoClusterSendQueued(cobj, idx, req) != 0)
        return -1;
    kelvoMultiEntry *entry = kelvoMultiEntryAppend(ro, KELVO_MULTI_QUERY);
    kelvoQuerySetClear(&entry->rqs);
    kelvoQuerySetFromRrc(&entry->rqs, req);
    if (row->std.keysFn)
        row->std.keysFn(&entry->rqs, req);
    if (row->std.delFn)
        row->std.delFn(&entry->rqs, ro, nullptr);
    kelvoClusterQueueNode(cobj, idx);
    return 0;
}

/* Builds a standard row's request on the template: false after the builder refused. */
bool buildOnTemplate(zend_execute_data *execute_data, zval *return_value, int cmd, rrc *req,
                     const kelvoCommandInfo **row)
{
    *row = kelvoGetCommandRCmd(cmd);
    kelvoAssert((*row)->type == KELVO_CMDTYPE_STANDARD);
    kelvoRespCmdInitCmd(req, KELVO_INITIALIZED | KELVO_CLUSTER_ROUTABLE, cmd);
    return (*row)->std.respFn(execute_data, return_value, req, &kelvoClusterGetObjectZVal(ZEND_THIS)->tmpl) == 0 &&
           !EG(exception);
}

/* The call queued on every node of `nodes`; EXEC folds their results into one, as the call does outside. */
bool queueEverywhere(kelvoClusterObject *cobj, const kelvoCommandInfo *row, rrc *req,
                     const std::vector<zend_long> &nodes)
{
    size_t from = cobj->tmpl.pipe.count;
    for (zend_long idx : nodes)
        if (queueOnNode(cobj, idx, row, req) != 0)
            return false;
    kelvoClusterQueueGroup(cobj, from, req->cmd, nullptr);
    return true;
}

/* KEYS's reply of one node (sent again on its own when the first try failed): its keys appended to `keys`. */
bool keysOfNode(kelvoClusterObject *cobj, zend_long idx, const kelvoCommandInfo *row, rrc *req, kelvoReply *reply,
                zval *keys)
{
    if (!reply && sendOnNode(cobj, idx, req, &reply) != 0)
        return false;
    robj *tmpl = &cobj->tmpl;
    if (reply->type == KELVO_REPLY_ERROR) {
        kelvoHandleErrorText(&tmpl->lastError, tmpl->opts.flags, ZSTR_VAL(reply->v.str), ZSTR_LEN(reply->v.str));
        kelvoReplyFree(reply);
        return false;
    }
    robj *ro = &cobj->node[idx]->ro;
    if (!kelvoValidateReplyType(req->cmd, reply)) {
        kelvoReportWrongType(&cobj->tmpl.lastError, cobj->tmpl.opts.flags, kelvoReplyTypeToString(reply), "KEYS", 4);
        kelvoReplyFree(reply);
        return false;
    }
    kelvoQuerySet rqs{};
    kelvoQuerySetClear(&rqs);
    kelvoQuerySetFromRrc(&rqs, req);
    zval page;
    ZVAL_UNDEF(&page);
    kelvoReturnReply(row, &rqs, ro, reply, &page);
    kelvoReplyFree(reply);
    kelvoQuerySetRelease(&rqs, KELVO_RQS_OUTCOME_MISS);
    bool ok = Z_TYPE(page) == IS_ARRAY;
    if (ok && zend_hash_num_elements(Z_ARRVAL_P(keys)) == 0) {
        zval_ptr_dtor(keys);
        ZVAL_COPY_VALUE(keys, &page);
        return true;
    }
    if (ok) {
        zval *key;
        ZEND_HASH_FOREACH_VAL(Z_ARRVAL(page), key)
        {
            Z_TRY_ADDREF_P(key);
            add_next_index_zval(keys, key);
        }
        ZEND_HASH_FOREACH_END();
    }
    zval_ptr_dtor(&page);
    return ok;
}

/* After a SELECT that did not go through everywhere: every node back in the cluster's database. */
void restoreDatabase(kelvoClusterObject *cobj)
{
    robj *tmpl = &cobj->tmpl;
    tmpl->info.db = tmpl->link.db;
    for (uint64_t i = 0; i < cobj->nodes; i++) {
        robj *ro = &cobj->node[i]->ro;
        if (ro->link.db != tmpl->link.db || ro->info.db != tmpl->link.db) {
            if (ro->link.ctx)
                kelvoLinkReleaseRObj(ro, 1);
            ro->link.db = tmpl->link.db;
            ro->info.db = tmpl->link.db;
        }
    }
}

/* SELECT on one node outside a transaction; the node follows it once the server agreed. */
bool selectOnNode(kelvoClusterObject *cobj, zend_long idx, const kelvoCommandInfo *row, rrc *req)
{
    kelvoReply *reply;
    if (sendOnNode(cobj, idx, req, &reply) != 0)
        return false;
    robj *ro = &cobj->node[idx]->ro;
    if (!kelvoValidateReplyType(req->cmd, reply)) {
        kelvoReportWrongType(&cobj->tmpl.lastError, cobj->tmpl.opts.flags, kelvoReplyTypeToString(reply), "SELECT", 6);
        kelvoReplyFree(reply);
        return false;
    }
    kelvoQuerySet rqs{};
    kelvoQuerySetClear(&rqs);
    kelvoQuerySetFromRrc(&rqs, req);
    row->std.keysFn(&rqs, req);
    zval done;
    ZVAL_UNDEF(&done);
    kelvoReturnReply(row, &rqs, ro, reply, &done);
    kelvoReplyFree(reply);
    kelvoQuerySetRelease(&rqs, KELVO_RQS_OUTCOME_MISS);
    bool ok = Z_TYPE(done) == IS_TRUE;
    zval_ptr_dtor(&done);
    return ok;
}

/* The first channel's text with the key prefix, as the subscribe request will carry it. */
bool channelSlots(zend_execute_data *execute_data, const robj *tmpl, bool sameSlot, uint32_t *slot)
{
    if (ZEND_NUM_ARGS() < 1 || Z_TYPE_P(ZEND_CALL_ARG(execute_data, 1)) != IS_ARRAY)
        return true; /* the builder reports it */
    HashTable *channels = Z_ARRVAL_P(ZEND_CALL_ARG(execute_data, 1));
    bool first = true, one = true;
    zval *channel;
    ZEND_HASH_FOREACH_VAL(channels, channel)
    {
        zend_string *text = zval_get_string(channel);
        zend_string *full = kelvoPrefixKeyZStr(text, tmpl->opts.prefix);
        uint32_t s = kelvoClusterHashKey(ZSTR_VAL(full), ZSTR_LEN(full));
        zend_string_release(full);
        zend_string_release(text);
        if (first)
            *slot = s;
        else if (s != *slot)
            one = false;
        first = false;
        if (!sameSlot)
            break;
    }
    ZEND_HASH_FOREACH_END();
    if (!one) {
        php_error_docref(nullptr, E_WARNING, "Shard channels must all map to one slot");
        return false;
    }
    return true;
}

} // namespace

size_t kelvoClusterSendToNodes(kelvoClusterObject *cobj, const zend_long *nodes, size_t count, rrc *req,
                               kelvoReply **replies)
{
    robj *tmpl = &cobj->tmpl;
    kelvoRespCmdFinish(req);
    std::vector<bool> written(count, false);
    size_t failed = 0;
    for (size_t i = 0; i < count; i++) {
        replies[i] = nullptr;
        robj *ro = &cobj->node[nodes[i]]->ro;
        if (kelvoSyncObject(ro, KELVO_LINK_READY, true) != 0 || kelvoPollIdleLink(ro) != 0) {
            zend_clear_exception();
            failed++;
            continue;
        }
        redisContext *c = ro->link.ctx;
        written[i] = redisAppendFormattedCommand(c, kelvoRespCmdData(req), kelvoRespCmdLen(req)) == REDIS_OK &&
                     redisBufferWriteAll(c) == REDIS_OK;
        if (!written[i]) {
            kelvoLinkErrorSet(&ro->link, c);
            kelvoClusterDiscardFailedNodeLink(cobj->node[nodes[i]]);
            failed++;
        }
    }
    for (size_t i = 0; i < count; i++) {
        if (!written[i])
            continue;
        robj *ro = &cobj->node[nodes[i]]->ro;
        void *reply = nullptr;
        if (redisGetReply(ro->link.ctx, &reply) != REDIS_OK) {
            kelvoReplyFree(reply);
            kelvoLinkErrorSet(&ro->link, ro->link.ctx);
            kelvoClusterDiscardFailedNodeLink(cobj->node[nodes[i]]);
            failed++;
            continue;
        }
        replies[i] = static_cast<kelvoReply *>(reply);
        tmpl->link.lastUse = ro->link.lastUse = kelvoNowMicros();
    }
    return failed;
}

void kelvoClusterKeysCommand(zend_execute_data *execute_data, zval *return_value)
{
    kelvoClusterObject *cobj = kelvoClusterGetObjectZVal(ZEND_THIS);
    robj *tmpl = &cobj->tmpl;
    const kelvoCommandInfo *row;
    rrc req{};
    if (!buildOnTemplate(execute_data, return_value, REDIS_CMD_KEYS, &req, &row)) {
        kelvoRespCmdRelease(&req);
        RETURN_FALSE;
    }
    std::vector<zend_long> nodes = livePrimaries(cobj);
    bool ok;
    if (tmpl->mode & kelvoModeMulti) {
        ok = queueEverywhere(cobj, row, &req, nodes);
        if (ok)
            ZVAL_OBJ_COPY(return_value, &tmpl->std);
    } else {
        array_init(return_value);
        std::vector<kelvoReply *> replies(nodes.size());
        kelvoClusterSendToNodes(cobj, nodes.data(), nodes.size(), &req, replies.data());
        ok = true;
        for (size_t i = 0; i < nodes.size(); i++) {
            kelvoReply *reply = replies[i];
            replies[i] = nullptr;
            if (ok)
                ok = keysOfNode(cobj, nodes[i], row, &req, reply, return_value);
            else
                kelvoReplyFree(reply);
        }
    }
    kelvoRespCmdRelease(&req);
    if (!ok) {
        zval_ptr_dtor(return_value);
        RETURN_FALSE;
    }
}

void kelvoClusterSelectCommand(zend_execute_data *execute_data, zval *return_value)
{
    kelvoClusterObject *cobj = kelvoClusterGetObjectZVal(ZEND_THIS);
    robj *tmpl = &cobj->tmpl;
    const kelvoCommandInfo *row;
    rrc req{};
    if (!buildOnTemplate(execute_data, return_value, REDIS_CMD_SELECT, &req, &row)) {
        kelvoRespCmdRelease(&req);
        RETURN_FALSE;
    }
    kelvoQuerySet wanted{};
    kelvoQuerySetClear(&wanted);
    row->std.keysFn(&wanted, &req);
    const zend_long db = wanted.rng.start;
    kelvoAssert(db >= 0);
    tmpl->info.db = static_cast<uint32_t>(db);
    const bool multi = (tmpl->mode & kelvoModeMulti) != 0;
    std::vector<zend_long> nodes = allNodes(cobj);
    bool ok = true;
    if (multi) {
        ok = nodes.empty() || queueEverywhere(cobj, row, &req, nodes);
    } else {
        for (zend_long idx : nodes)
            if (!(ok = selectOnNode(cobj, idx, row, &req)))
                break;
    }
    kelvoRespCmdRelease(&req);
    if (!ok) {
        restoreDatabase(cobj);
        RETURN_FALSE;
    }
    if (multi)
        RETURN_OBJ_COPY(&tmpl->std);
    tmpl->link.db = static_cast<uint32_t>(db);
    RETURN_TRUE;
}

void kelvoClusterSubscribeCommand(zend_execute_data *execute_data, zval *return_value, int cmd)
{
    kelvoClusterObject *cobj = kelvoClusterGetObjectZVal(ZEND_THIS);
    robj *tmpl = &cobj->tmpl;
    if (kelvoInBatch(tmpl)) {
        kelvoThrowException(KELVO_ERR_OTHER, "Cannot SUBSCRIBE inside MULTI/PIPELINE");
        RETURN_FALSE;
    }
    zend_long idx = -1;
    for (uint64_t i = 0; i < cobj->nodes && idx < 0; i++)
        if (cobj->node[i]->ro.mode & kelvoModeSubscribed)
            idx = static_cast<zend_long>(i);
    const bool subscribing = cmd == REDIS_CMD_SUBSCRIBE || cmd == REDIS_CMD_PSUBSCRIBE || cmd == REDIS_CMD_SSUBSCRIBE;
    if (idx < 0) {
        if (!subscribing) {
            php_error_docref(nullptr, E_WARNING, "Not subscribed");
            RETURN_FALSE;
        }
        uint32_t slot = 0;
        if (!channelSlots(execute_data, tmpl, cmd == REDIS_CMD_SSUBSCRIBE, &slot))
            RETURN_FALSE;
        idx = cobj->slots[slot];
        if (idx < 0)
            RETURN_FALSE;
    } else if (cmd == REDIS_CMD_SSUBSCRIBE) {
        uint32_t slot = 0;
        if (!channelSlots(execute_data, tmpl, true, &slot))
            RETURN_FALSE;
    }
    robj *ro = &cobj->node[idx]->ro;
    if (!(ro->mode & kelvoModeSubscribed) && kelvoSyncObject(ro, KELVO_LINK_READY, false) != 0)
        RETURN_FALSE;
    kelvoSubscribeOn(INTERNAL_FUNCTION_PARAM_PASSTHRU, ro, cmd, &tmpl->std);
}

extern "C" {

ZEND_METHOD(Kelvo_Cluster, keys) { kelvoClusterKeysCommand(INTERNAL_FUNCTION_PARAM_PASSTHRU); }
ZEND_METHOD(Kelvo_Cluster, select) { kelvoClusterSelectCommand(INTERNAL_FUNCTION_PARAM_PASSTHRU); }
ZEND_METHOD(Kelvo_Cluster, subscribe)
{
    kelvoClusterSubscribeCommand(INTERNAL_FUNCTION_PARAM_PASSTHRU, REDIS_CMD_SUBSCRIBE);
}
ZEND_METHOD(Kelvo_Cluster, psubscribe)
{
    kelvoClusterSubscribeCommand(INTERNAL_FUNCTION_PARAM_PASSTHRU, REDIS_CMD_PSUBSCRIBE);
}
ZEND_METHOD(Kelvo_Cluster, ssubscribe)
{
    kelvoClusterSubscribeCommand(INTERNAL_FUNCTION_PARAM_PASSTHRU, REDIS_CMD_SSUBSCRIBE);
}
ZEND_METHOD(Kelvo_Cluster, unsubscribe)
{
    kelvoClusterSubscribeCommand(INTERNAL_FUNCTION_PARAM_PASSTHRU, REDIS_CMD_UNSUBSCRIBE);
}
ZEND_METHOD(Kelvo_Cluster, punsubscribe)
{
    kelvoClusterSubscribeCommand(INTERNAL_FUNCTION_PARAM_PASSTHRU, REDIS_CMD_PUNSUBSCRIBE);
}
ZEND_METHOD(Kelvo_Cluster, sunsubscribe)
{
    kelvoClusterSubscribeCommand(INTERNAL_FUNCTION_PARAM_PASSTHRU, REDIS_CMD_SUNSUBSCRIBE);
}

} // extern "C"
