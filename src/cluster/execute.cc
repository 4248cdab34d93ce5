/* One cluster command from its method to its return value: routing, cache, sending, redirections, splits. */
#include "cluster/execute.h"
#include "cluster/replicas.h"
#include "cluster/slots.h"
#include "cluster/topology.h"
#include "cluster/transaction.h"
#include "commands/cmdroles.h"
#include "client/connection.h"
#include "commands/multi.h"
#include "commands/reads.h"
#include "runtime/exception.h"
#include "runtime/fatal.h"
#include "runtime/log.h"
#include "shm/epoch.h"

extern "C" {
#include "zend_exceptions.h"
}

#include <cstring>
#include <vector>

bool kelvoClusterSplitAddress(const char *addr, size_t len, size_t *hostLen, zend_long *port)
{
    const char *colon = static_cast<const char *>(memrchr(addr, ':', len));
    if (!colon || colon == addr + len - 1)
        return false;
    zend_long value = 0;
    for (const char *p = colon + 1; p < addr + len; p++) {
        if (*p < '0' || *p > '9' || value > 65535)
            return false;
        value = value * 10 + (*p - '0');
    }
    if (value < 1 || value > 65535)
        return false;
    *hostLen = static_cast<size_t>(colon - addr);
    *port = value;
    return true;
}

int kelvoClusterHandleRedirectionError(const kelvoReply *err, uint32_t *slot, zend_long *target, bool *ask,
                                       const redisInfo *replied, kelvoClusterObject *cobj)
{
    kelvoAssert(err != NULL && err->type == KELVO_REPLY_ERROR);
    const char *s = ZSTR_VAL(err->v.str);
    size_t len = ZSTR_LEN(err->v.str), at;
    if (len > 6 && memcmp(s, "MOVED ", 6) == 0) {
        *ask = false;
        at = 6;
    } else if (len > 4 && memcmp(s, "ASK ", 4) == 0) {
        *ask = true;
        at = 4;
    } else {
        return -1;
    }
    uint32_t number = 0;
    size_t digits = 0;
    for (; at < len && s[at] >= '0' && s[at] <= '9' && digits < 6; at++, digits++)
        number = number * 10 + uint32_t(s[at] - '0');
    if (!digits || number >= kelvoClusterSlotCount || at >= len || s[at] != ' ')
        return -1;
    const char *addr = s + at + 1;
    size_t addrLen = len - at - 1;
    zend_string *full;
    /* ":port" has an empty host (the node that replied); "::1:port" is an IPv6 address. */
    if (addrLen && addr[0] == ':' && !memchr(addr + 1, ':', addrLen - 1))
        full = zend_string_concat2(ZSTR_VAL(replied->host), ZSTR_LEN(replied->host), addr, addrLen);
    else
        full = zend_string_init(addr, addrLen, 0);
    zend_long idx = kelvoClusterFindEndpoint(cobj, ZSTR_VAL(full), ZSTR_LEN(full));
    if (idx < 0) {
        size_t hostLen;
        zend_long port;
        if (!kelvoClusterSplitAddress(ZSTR_VAL(full), ZSTR_LEN(full), &hostLen, &port) || hostLen == 0) {
            zend_string_release(full);
            return -1;
        }
        zend_string *host = zend_string_init(ZSTR_VAL(full), hostLen, 0);
        kelvoClusterNode *node = kelvoClusterCreateNode(host, port, nullptr, KELVO_NODE_PRIMARY, cobj);
        zend_string_release(host);
        if (!node) {
            zend_string_release(full);
            return -1;
        }
        idx = kelvoClusterAppendNode(cobj, node);
        zval value;
        ZVAL_LONG(&value, idx);
        zend_hash_update(&cobj->endpoints, full, &value);
    }
    zend_string_release(full);
    /* ASK moves one command, never the slot. */
    if (!*ask && cobj->slots[number] != idx) {
        if (cobj->slots[number] >= 0)
            kelvoClusterSlotOwnerChanged(cobj, number, cobj->slots[number]);
        cobj->slots[number] = idx;
        kelvoClusterClearSlotCache(cobj);
    }
    *slot = number;
    *target = idx;
    return 0;
}

namespace {

enum class Outcome { Hit, Sent, Failed };

int reconnectNode(void *arg) { return kelvoReconnect(static_cast<robj *>(arg)); }

bool startsWith(const kelvoReply *reply, const char *prefix)
{
    size_t n = strlen(prefix);
    return ZSTR_LEN(reply->v.str) >= n && memcmp(ZSTR_VAL(reply->v.str), prefix, n) == 0;
}

uint32_t slotOf(const kelvoCommandInfo *row, const kelvoQuerySet *rqs, const rrc *req)
{
    if (row->type == KELVO_CMDTYPE_CACHED && !(req->flags & KELVO_INITIALIZED))
        return rqs->nkeys ? kelvoClusterHashKey(ZSTR_VAL(rqs->keys[0]), ZSTR_LEN(rqs->keys[0])) : 0;
    return req->pos > 1 ? kelvoClusterHashKey(kelvoRespCmdArg(req, 1), req->args[1].len) : 0;
}

/* A cached read's request, made from its query set when it first has to go out. */
void ensureBuilt(const kelvoCommandInfo *row, kelvoQuerySet *rqs, rrc *req)
{
    if (req->flags & KELVO_INITIALIZED)
        return;
    kelvoRespCmdInitCmd(req, rqs->flags, rqs->cmd);
    row->cached.cnvFn(req, rqs);
}

/* ASKING and the command in one write, then both replies: the command's in *out. */
int sendAsking(robj *ro, rrc *req, kelvoReply **out)
{
    static const char asking[] = "*1\r\n$6\r\nASKING\r\n";
    redisContext *c = ro->link.ctx;
    *out = nullptr;
    kelvoRespCmdFinish(req);
    if (redisAppendFormattedCommand(c, asking, sizeof asking - 1) != REDIS_OK ||
        redisAppendFormattedCommand(c, kelvoRespCmdData(req), kelvoRespCmdLen(req)) != REDIS_OK)
        return -1;
    void *first = nullptr, *second = nullptr;
    if (redisGetReply(c, &first) != REDIS_OK || redisGetReply(c, &second) != REDIS_OK) {
        kelvoReplyFree(static_cast<kelvoReply *>(first));
        kelvoLinkErrorSet(&ro->link, c);
        return -1;
    }
    kelvoReplyFree(static_cast<kelvoReply *>(first));
    *out = static_cast<kelvoReply *>(second);
    return 0;
}

/* The one command of one call on the cluster: what it routes, sends and follows. */
struct Road {
    kelvoClusterObject *cobj;
    const kelvoCommandInfo *row;
    const kelvoClusterCommandEntry *route;
    uint64_t deadline; /* wall-clock microseconds; 0 none */
};

/* The cache's answer on a node (never inside MULTI): Hit with the value (or a reported WRONGTYPE). */
bool answerFromCache(const Road &road, robj *ro, kelvoQuerySet *rqs, zval *out, bool *failed)
{
    if (rqs->serverOnly || !ro->link.ep || !kelvoIsCacheEnabled(ro) || kelvoGlobalEpochInit() != 0)
        return false;
    zval cached;
    ZVAL_UNDEF(&cached);
    int result = road.row->cached.getFn(&cached, rqs, ro);
    if (result == KELVO_RES_MISS) {
        zval_ptr_dtor(&cached);
        return false;
    }
    /* Reported as the single-server client does, on the template's settings. */
    kelvoReturnValue(&road.cobj->tmpl, result, out, &cached);
    *failed = result != KELVO_RES_SUCCESS;
    return true;
}

/* Queues the command on its node inside the cluster's transaction; redirections are not followed. */
Outcome queueOnNode(const Road &road, zend_long idx, kelvoQuerySet *rqs, rrc *req, zval *out)
{
    kelvoClusterObject *cobj = road.cobj;
    robj *tmpl = &cobj->tmpl;
    robj *ro = &cobj->node[idx]->ro;
    if (kelvoClusterJoinTransaction(cobj, idx) != 0)
        return Outcome::Failed;
    if (road.row->type == KELVO_CMDTYPE_CACHED)
        ensureBuilt(road.row, rqs, req);
    if (kelvoClusterSendQueued(cobj, idx, req) != 0)
        return Outcome::Failed;
    if (road.row->type == KELVO_CMDTYPE_STANDARD) {
        kelvoQuerySetFromRrc(rqs, req);
        if (road.row->std.keysFn)
            road.row->std.keysFn(rqs, req);
        if (road.row->std.delFn)
            road.row->std.delFn(rqs, ro, nullptr);
    }
    kelvoMultiEntry *entry = kelvoMultiEntryAppend(ro, KELVO_MULTI_QUERY);
    entry->rqs = *rqs;
    rqs->flags &= static_cast<uint8_t>(~KELVO_INITIALIZED);
    ZVAL_COPY_VALUE(&entry->ownEvents, &ro->ownEvents);
    ZVAL_UNDEF(&ro->ownEvents);
    kelvoClusterQueueNode(cobj, idx);
    zval_ptr_dtor(out);
    ZVAL_OBJ_COPY(out, &tmpl->std);
    return Outcome::Sent;
}

/* A reply the command admits, turned into its value with the node's settings. */
void finishReply(const Road &road, robj *ro, kelvoQuerySet *rqs, rrc *req, kelvoReply *reply, zval *out)
{
    if (req->cmd == REDIS_CMD_WATCH)
        ro->connState |= kelvoConnStateWatch;
    else if (req->cmd == REDIS_CMD_UNWATCH)
        ro->connState &= ~kelvoConnStateWatch;
    const kelvoCommandInfo *row = road.row;
    if (row->type == KELVO_CMDTYPE_STANDARD) {
        kelvoQuerySetFromRrc(rqs, req);
        if (row->std.keysFn)
            row->std.keysFn(rqs, req);
    } else {
        kelvoCacheReply(rqs, ro, row->cached.chkFn, row->cached.putFn, reply);
    }
    zval_ptr_dtor(out);
    kelvoReturnReply(row, rqs, ro, reply, out);
    kelvoReplyFree(reply);
    if (Z_ISREF_P(out)) {
        zval value;
        ZVAL_COPY(&value, Z_REFVAL_P(out));
        zval_ptr_dtor(out);
        ZVAL_COPY_VALUE(out, &value);
    }
}

void throwPlain(int code, const char *message) { kelvoThrowException(code, message); }

/*
 * Routes, sends and follows one command (or sub-command) from node `idx`. `slot` is the slot it
 * was routed by (meaningless for rows with a callback, which name their node).
 */
Outcome runOne(const Road &road, kelvoQuerySet *rqs, rrc *req, zend_long idx, uint32_t slot, zval *out)
{
    kelvoClusterObject *cobj = road.cobj;
    robj *tmpl = &cobj->tmpl;
    const bool directed = road.route->callback != nullptr;
    const bool readonly = (road.route->flags & KELVO_CLUSTER_READONLY) != 0 && !directed;
    kelvoClusterFailoverStrategy *strategy = nullptr;
    int hops = 0;
    bool asking = false;
    Outcome outcome = Outcome::Failed;

    /* After a node could not be reached: another candidate, or the owner a fresh topology names. */
    auto moveOn = [&](bool afterSend) -> bool {
        robj *ro = &cobj->node[idx]->ro;
        int32_t cmd = (req->flags & KELVO_INITIALIZED) ? req->cmd : rqs->cmd;
        bool mayResend = !afterSend || road.row->type == KELVO_CMDTYPE_CACHED || kelvoCmdMayResend(cmd);
        if (mayResend && readonly && cobj->failover) {
            if (!strategy)
                strategy = kelvoClusterGetFailoverStrategy(road.route, idx, cobj);
            zend_long next;
            if (kelvoClusterTryFailover(&next, strategy, cobj) == 0) {
                kelvoClusterDiscardFailedNodeLink(cobj->node[idx]);
                idx = next;
                return true;
            }
        }
        if (!directed && !(tmpl->mode & kelvoModeMulti)) {
            /* Even a write that is not resent leaves the map right for the next command. */
            int refreshed = kelvoClusterRefreshTopology(cobj, idx, mayResend);
            ro = &cobj->node[idx]->ro;
            zend_long owner = cobj->slots[slot];
            if (mayResend && refreshed == 0 && owner >= 0 && owner != idx && ++hops <= kelvoClusterMaxRedirections) {
                kelvoThrowLinkFailure(ro);
                zend_clear_exception();
                idx = owner;
                return true;
            }
        }
        kelvoThrowLinkFailure(ro);
        return false;
    };

    for (;;) {
        if (road.deadline && kelvoNowMicros() >= road.deadline) {
            throwPlain(KELVO_ERR_IO, "Timed out attempting to find data in the correct node");
            break;
        }
        if (idx < 0 && !directed) {
            /* An uncovered slot: the map is stale; read it again (rate-limited). */
            kelvoClusterClearSlotCache(cobj);
            kelvoClusterRefreshTopology(cobj, -1, true);
            idx = cobj->slots[slot];
        }
        if (idx < 0) {
            throwPlain(KELVO_ERR_REDIS, "Slot is not covered by any node");
            break;
        }
        robj *ro = &cobj->node[idx]->ro;
        if (kelvoSyncObject(ro, KELVO_LINK_READY, true) != 0) {
            if (tmpl->mode & kelvoModeMulti) {
                kelvoLinkThrowException(&ro->link);
                kelvoClusterAbortTransaction(cobj);
                break;
            }
            if (moveOn(false))
                continue;
            break;
        }
        ro->it = tmpl->it;
        if (tmpl->mode & kelvoModeMulti) {
            outcome = queueOnNode(road, idx, rqs, req, out);
            break;
        }
        if (!asking && !strategy && readonly && cobj->distribute) {
            zend_long other;
            if (kelvoClusterTryDistribute(&other, idx, cobj) == 0) {
                idx = other;
                ro = &cobj->node[idx]->ro;
            }
        }
        if (!asking && road.row->type == KELVO_CMDTYPE_CACHED) {
            bool failed = false;
            if (answerFromCache(road, ro, rqs, out, &failed)) {
                outcome = failed ? Outcome::Failed : Outcome::Hit;
                break;
            }
        }
        if (road.row->type == KELVO_CMDTYPE_CACHED) {
            ensureBuilt(road.row, rqs, req);
            if (road.row->cached.putFn)
                kelvoQuerySetSampleTickets(rqs, ro);
        }
        kelvoReply *reply = nullptr;
        int sent;
        if (asking) {
            sent = sendAsking(ro, req, &reply);
            asking = false;
        } else if (kelvoPollIdleLink(ro) != 0) {
            zend_clear_exception();
            if (moveOn(false))
                continue;
            break;
        } else {
            sent = kelvoRespCmdSend(&reply, &ro->link, &ro->info, &ro->opts.retry, req, 0, reconnectNode, ro);
        }
        if (sent != 0) {
            kelvoReplyFree(reply);
            if (moveOn(true))
                continue;
            break;
        }
        tmpl->link.lastUse = ro->link.lastUse = kelvoNowMicros();
        if (reply->type == KELVO_REPLY_ERROR) {
            uint32_t movedSlot;
            zend_long target;
            bool ask;
            if (kelvoClusterHandleRedirectionError(reply, &movedSlot, &target, &ask, &ro->info, cobj) == 0) {
                kelvoReplyFree(reply);
                if (strategy)
                    kelvoClusterFreeFailoverStrategy(strategy);
                strategy = nullptr;
                if (++hops > kelvoClusterMaxRedirections) {
                    throwPlain(KELVO_ERR_REDIS, "Too many cluster redirections");
                    break;
                }
                idx = target;
                asking = ask;
                continue;
            }
            bool down = startsWith(reply, "CLUSTERDOWN");
            if (down)
                kelvoClusterClearSlotCache(cobj);
            if ((down || startsWith(reply, "MASTERDOWN")) && readonly && cobj->failover &&
                !(cobj->node[idx]->flags & KELVO_NODE_PRIMARY)) {
                if (!strategy)
                    strategy = kelvoClusterGetFailoverStrategy(road.route, idx, cobj);
                zend_long next;
                if (kelvoClusterTryFailover(&next, strategy, cobj) == 0) {
                    kelvoClusterDiscardFailedNodeLink(cobj->node[idx]);
                    kelvoReplyFree(reply);
                    idx = next;
                    continue;
                }
            }
            kelvoHandleErrorText(&tmpl->lastError, tmpl->opts.flags, ZSTR_VAL(reply->v.str), ZSTR_LEN(reply->v.str));
            kelvoReplyFree(reply);
            break;
        }
        if (!kelvoValidateReplyType(req->cmd, reply)) {
            const char *name = req->cmd >= 0 ? kelvoCommandStrings[req->cmd].name : kelvoRespCmdArg(req, 0);
            size_t nameLen = req->cmd >= 0 ? kelvoCommandStrings[req->cmd].len : req->args[0].len;
            kelvoReportWrongType(&tmpl->lastError, tmpl->opts.flags, kelvoReplyTypeToString(reply), name, nameLen);
            kelvoReplyFree(reply);
            break;
        }
        finishReply(road, ro, rqs, req, reply, out);
        outcome = Outcome::Sent;
        break;
    }
    if (strategy)
        kelvoClusterFreeFailoverStrategy(strategy);
    return outcome;
}

/* -- splits ------------------------------------------------------------------------------------------ */

struct SubCommand {
    uint32_t slot;
    rrc req;
    kelvoQuerySet rqs;
    std::vector<uint32_t> positions; /* MGET: where each key's value goes */
};

bool isPairCommand(int32_t cmd) { return cmd == REDIS_CMD_MSET || cmd == REDIS_CMD_MSETNX; }

/* Groups the keys by slot, in the order slots first appear. */
void splitBySlot(const kelvoCommandInfo *row, const kelvoQuerySet *rqs, const rrc *req, std::vector<SubCommand> &subs)
{
    HashTable bySlot;
    zend_hash_init(&bySlot, 8, nullptr, nullptr, 0);
    auto subFor = [&](uint32_t slot) -> SubCommand & {
        if (zval *known = zend_hash_index_find(&bySlot, slot))
            return subs[size_t(Z_LVAL_P(known))];
        zval index;
        ZVAL_LONG(&index, zend_long(subs.size()));
        zend_hash_index_add_new(&bySlot, slot, &index);
        subs.emplace_back();
        SubCommand &sub = subs.back();
        sub.slot = slot;
        sub.req = rrc{};
        kelvoQuerySetClear(&sub.rqs);
        if (row->type == KELVO_CMDTYPE_CACHED) {
            sub.rqs.flags = rqs->flags | KELVO_INITIALIZED;
            sub.rqs.cmd = rqs->cmd;
            sub.rqs.keytype = rqs->keytype;
        } else {
            kelvoRespCmdInitCmd(&sub.req, req->flags, req->cmd);
        }
        return sub;
    };
    if (row->type == KELVO_CMDTYPE_CACHED) {
        for (uint32_t i = 0; i < rqs->nkeys; i++) {
            zend_string *key = rqs->keys[i];
            SubCommand &sub = subFor(kelvoClusterHashKey(ZSTR_VAL(key), ZSTR_LEN(key)));
            kelvoQuerySetAddKey(&sub.rqs, key);
            sub.positions.push_back(i);
        }
    } else {
        uint64_t step = isPairCommand(req->cmd) ? 2 : 1;
        for (uint64_t i = 1; i + step - 1 < req->pos; i += step) {
            SubCommand &sub = subFor(kelvoClusterHashKey(kelvoRespCmdArg(req, i), req->args[i].len));
            for (uint64_t j = i; j < i + step; j++)
                kelvoRespCmdCatLen(&sub.req, kelvoRespCmdArg(req, j), req->args[j].len);
        }
    }
    zend_hash_destroy(&bySlot);
}

void releaseSubs(std::vector<SubCommand> &subs, int outcome)
{
    for (SubCommand &sub : subs) {
        kelvoQuerySetRelease(&sub.rqs, outcome);
        kelvoRespCmdRelease(&sub.req);
    }
}

void startAccumulator(int32_t cmd, zval *acc)
{
    switch (cmd) {
    case REDIS_CMD_DEL:
    case REDIS_CMD_UNLINK:
        ZVAL_LONG(acc, 0);
        break;
    case REDIS_CMD_MSET:
        ZVAL_TRUE(acc);
        break;
    case REDIS_CMD_MGET:
    case REDIS_CMD_MSETNX:
        array_init(acc);
        break;
    default:
        kelvoUnreachable();
    }
}

/* The bytes of the key prefix in front of argument `i` (0 when it has none). */
size_t prefixLength(const rrc *req, uint64_t i, const zend_string *prefix)
{
    size_t skip = prefix ? ZSTR_LEN(prefix) : 0;
    size_t len = req->args[i].len;
    return skip && len >= skip && memcmp(kelvoRespCmdArg(req, i), ZSTR_VAL(prefix), skip) == 0 ? skip : 0;
}

/* Inside a transaction: what EXEC needs to fold this part as `fold` does (MGET's positions, MSETNX's keys). */
void notePart(int32_t cmd, const SubCommand &sub, const zend_string *prefix, zval *parts)
{
    zval data;
    array_init(&data);
    if (cmd == REDIS_CMD_MGET) {
        for (uint32_t position : sub.positions)
            add_next_index_long(&data, position);
    } else if (cmd == REDIS_CMD_MSETNX) {
        for (uint64_t i = 1; i < sub.req.pos; i += 2) {
            size_t cut = prefixLength(&sub.req, i, prefix);
            add_next_index_stringl(&data, kelvoRespCmdArg(&sub.req, i) + cut, sub.req.args[i].len - cut);
        }
    }
    add_next_index_zval(parts, &data);
}

/* Folds one sub-command's result; false when it cannot be folded (the command fails). */
bool fold(int32_t cmd, zval *acc, const SubCommand &sub, zval *result, const zend_string *prefix)
{
    switch (cmd) {
    case REDIS_CMD_DEL:
    case REDIS_CMD_UNLINK:
        ZVAL_LONG(acc, Z_LVAL_P(acc) + zval_get_long(result));
        return true;
    case REDIS_CMD_MSET:
        if (!zend_is_true(result))
            ZVAL_FALSE(acc);
        return true;
    case REDIS_CMD_MSETNX: {
        for (uint64_t i = 1; i < sub.req.pos; i += 2) {
            size_t cut = prefixLength(&sub.req, i, prefix);
            zval value;
            ZVAL_COPY(&value, result);
            zend_symtable_str_update(Z_ARRVAL_P(acc), kelvoRespCmdArg(&sub.req, i) + cut, sub.req.args[i].len - cut,
                                     &value);
        }
        return true;
    }
    case REDIS_CMD_MGET: {
        if (Z_TYPE_P(result) != IS_ARRAY || zend_hash_num_elements(Z_ARRVAL_P(result)) != sub.positions.size())
            return false;
        size_t j = 0;
        zval *value;
        ZEND_HASH_FOREACH_VAL(Z_ARRVAL_P(result), value)
        {
            Z_TRY_ADDREF_P(value);
            zend_hash_index_update(Z_ARRVAL_P(acc), sub.positions[j++], value);
        }
        ZEND_HASH_FOREACH_END();
        return true;
    }
    default:
        kelvoUnreachable();
    }
}

/* Values in key order, whatever order the sub-commands filled them in. */
void orderList(zval *acc)
{
    uint32_t count = zend_hash_num_elements(Z_ARRVAL_P(acc));
    zval list;
    array_init_size(&list, count);
    for (uint32_t i = 0; i < count; i++) {
        zval *value = zend_hash_index_find(Z_ARRVAL_P(acc), i);
        kelvoAssert(value != NULL);
        Z_TRY_ADDREF_P(value);
        add_next_index_zval(&list, value);
    }
    zval_ptr_dtor(acc);
    ZVAL_COPY_VALUE(acc, &list);
}

Outcome runSplit(const Road &road, kelvoQuerySet *rqs, rrc *req, std::vector<SubCommand> &subs, zval *out)
{
    kelvoClusterObject *cobj = road.cobj;
    int32_t cmd = road.row->type == KELVO_CMDTYPE_CACHED ? rqs->cmd : req->cmd;
    bool multi = (cobj->tmpl.mode & kelvoModeMulti) != 0;
    zval acc;
    startAccumulator(cmd, &acc);
    Outcome outcome = Outcome::Sent;
    bool allHits = true;
    /* Inside a transaction the parts are queued, and EXEC folds them back into one result of the call. */
    size_t queuedFrom = cobj->tmpl.pipe.count;
    zval parts;
    ZVAL_UNDEF(&parts);
    if (multi)
        array_init_size(&parts, uint32_t(subs.size()));
    for (SubCommand &sub : subs) {
        zval result;
        ZVAL_NULL(&result);
        Outcome one = runOne(road, &sub.rqs, &sub.req, cobj->slots[sub.slot], sub.slot, &result);
        allHits = allHits && one == Outcome::Hit;
        if (one == Outcome::Failed || (!multi && !fold(cmd, &acc, sub, &result, cobj->tmpl.opts.prefix))) {
            zval_ptr_dtor(&result);
            outcome = Outcome::Failed;
            break;
        }
        zval_ptr_dtor(&result);
        if (multi)
            notePart(cmd, sub, cobj->tmpl.opts.prefix, &parts);
        kelvoQuerySetRelease(&sub.rqs, one == Outcome::Hit ? KELVO_RQS_OUTCOME_HIT : KELVO_RQS_OUTCOME_MISS);
        kelvoRespCmdRelease(&sub.req);
    }
    releaseSubs(subs, KELVO_RQS_OUTCOME_ERROR);
    zval_ptr_dtor(out);
    if (outcome == Outcome::Failed) {
        zval_ptr_dtor(&acc);
        zval_ptr_dtor(&parts);
        ZVAL_FALSE(out);
        return outcome;
    }
    if (multi) {
        zval_ptr_dtor(&acc);
        kelvoClusterQueueGroup(cobj, queuedFrom, cmd, &parts);
        ZVAL_OBJ_COPY(out, &cobj->tmpl.std);
        return outcome;
    }
    if (cmd == REDIS_CMD_MGET)
        orderList(&acc);
    ZVAL_COPY_VALUE(out, &acc);
    return allHits ? Outcome::Hit : Outcome::Sent;
}

Outcome process(zval *return_value, kelvoQuerySet *rqs, rrc *req, const kelvoCommandInfo *row,
                const kelvoClusterCommandEntry *route, zend_long node, kelvoClusterObject *cobj)
{
    robj *tmpl = &cobj->tmpl;
    Road road{cobj, row, route, 0};
    struct timeval tv = tmpl->info.readTimeout;
    if (timerisset(&tv))
        road.deadline = kelvoNowMicros() + uint64_t(tv.tv_sec) * 1000000u + uint64_t(tv.tv_usec);
    if ((tmpl->mode & kelvoModeMulti) && cobj->multiFailed) {
        /* Sending it would open a new block on its node and commit what the failure discarded. */
        static const char discarded[] = "Transaction discarded after an earlier error";
        kelvoHandleErrorText(&tmpl->lastError, tmpl->opts.flags, discarded, sizeof discarded - 1);
        return Outcome::Failed;
    }
    if (route->flags & KELVO_CLUSTER_SPLIT) {
        std::vector<SubCommand> subs;
        splitBySlot(row, rqs, req, subs);
        if (subs.size() >= 2)
            return runSplit(road, rqs, req, subs, return_value);
        releaseSubs(subs, 0);
    }
    uint32_t slot = route->callback ? 0 : slotOf(row, rqs, req);
    return runOne(road, rqs, req, node, slot, return_value);
}

} // namespace

int kelvoClusterSendQueued(kelvoClusterObject *cobj, zend_long idx, rrc *req)
{
    robj *tmpl = &cobj->tmpl;
    robj *ro = &cobj->node[idx]->ro;
    kelvoReply *reply = nullptr;
    if (kelvoRespCmdSend(&reply, &ro->link, &ro->info, &ro->opts.retry, req, 1, nullptr, nullptr) != 0) {
        kelvoReplyFree(reply);
        kelvoThrowLinkFailure(ro);
        kelvoClusterAbortTransaction(cobj);
        return -1;
    }
    tmpl->link.lastUse = ro->link.lastUse = kelvoNowMicros();
    bool queued = reply->type == KELVO_REPLY_STATUS && zend_string_equals_literal(reply->v.str, "QUEUED");
    if (!queued) {
        if (reply->type == KELVO_REPLY_ERROR)
            kelvoHandleErrorText(&tmpl->lastError, tmpl->opts.flags, ZSTR_VAL(reply->v.str), ZSTR_LEN(reply->v.str));
        else
            kelvoReportWrongType(&tmpl->lastError, tmpl->opts.flags, kelvoReplyTypeToString(reply), "MULTI", 5);
    }
    kelvoReplyFree(reply);
    if (!queued)
        kelvoClusterAbortTransaction(cobj);
    return queued ? 0 : -1;
}

int kelvoClusterProcessCommand(zval *return_value, kelvoQuerySet *rqs, rrc *req, const kelvoCommandInfo *row,
                               const kelvoClusterCommandEntry *route, zend_long node, kelvoClusterObject *cobj)
{
    Outcome outcome = process(return_value, rqs, req, row, route, node, cobj);
    if (outcome == Outcome::Failed) {
        zval_ptr_dtor(return_value);
        ZVAL_FALSE(return_value);
        return -1;
    }
    if (outcome == Outcome::Hit)
        kelvoQuerySetRelease(rqs, KELVO_RQS_OUTCOME_HIT);
    return 0;
}

void kelvoClusterCommand(zend_execute_data *execute_data, zval *return_value, int cmd)
{
    kelvoClusterObject *cobj = kelvoClusterGetObjectZVal(ZEND_THIS);
    robj *tmpl = &cobj->tmpl;
    const kelvoCommandInfo *row = kelvoGetCommandRCmd(cmd);
    const kelvoClusterCommandEntry *route = kelvoGetClusterCommandRCmd(cmd);
    uint8_t flags = uint8_t(route->flags) | ((tmpl->opts.flags & kelvoOptWithMeta) ? KELVO_REQ_META : 0);
    rrc req{};
    kelvoQuerySet rqs;
    zend_long node = -1;
    bool built;
    if (route->callback) {
        kelvoQuerySetClear(&rqs);
        kelvoRespCmdInitCmd(&req, flags, cmd);
        built = route->callback(execute_data, return_value, &req, &node, cobj) == 0;
    } else if (row->type == KELVO_CMDTYPE_CACHED) {
        kelvoQuerySetStart(&rqs, flags, cmd);
        built = row->cached.queryFn(execute_data, return_value, &rqs, tmpl) == 0;
        if (built)
            node = cobj->slots[slotOf(row, &rqs, &req)];
    } else {
        kelvoQuerySetClear(&rqs);
        kelvoRespCmdInitCmd(&req, flags, cmd);
        built = row->std.respFn(execute_data, return_value, &req, tmpl) == 0;
        if (built)
            node = cobj->slots[slotOf(row, &rqs, &req)];
    }
    int rc = -1;
    if (built && !EG(exception))
        rc = kelvoClusterProcessCommand(return_value, &rqs, &req, row, route, node, cobj);
    kelvoQuerySetRelease(&rqs, rc == 0 ? KELVO_RQS_OUTCOME_MISS : KELVO_RQS_OUTCOME_ERROR);
    kelvoRespCmdRelease(&req);
    if (rc != 0) {
        zval_ptr_dtor(return_value);
        ZVAL_FALSE(return_value);
    }
}
