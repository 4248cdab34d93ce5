/* Cluster transactions: multi, exec, discard, watch and unwatch over the nodes a transaction reaches. */
#include "cluster/transaction.h"
#include "cluster/execute.h"
#include "cluster/replicas.h"
#include "cluster/slots.h"
#include "client/connection.h"
#include "commands/multi.h"
#include "runtime/exception.h"
#include "runtime/fatal.h"

extern "C" {
#include "zend_exceptions.h"
}

#include <poll.h>
#include <sys/socket.h>

#include <vector>

namespace {

constexpr char kTransactionFailed[] = "Transaction failed";
constexpr char kLinkLost[] = "Connection lost in the middle of the transaction";
/* The server's own words: a node runs a transaction only when all its keys share one slot. */
constexpr char kCrossSlot[] = "CROSSSLOT Keys in request don't hash to the same slot";

/* The first exception raised while the nodes are worked through, thrown again once all are done. */
class HeldException {
  public:
    HeldException() = default;
    HeldException(const HeldException &) = delete;
    HeldException &operator=(const HeldException &) = delete;
    ~HeldException()
    {
        if (first_)
            OBJ_RELEASE(first_);
    }
    /* Takes what is pending (a later one is dropped: the first says what went wrong). */
    void take()
    {
        if (!EG(exception))
            return;
        if (!first_) {
            first_ = EG(exception);
            GC_ADDREF(first_);
        }
        zend_clear_exception();
    }
    bool held() const { return first_ != nullptr; }
    void rethrow()
    {
        if (!first_)
            return;
        zval ex;
        ZVAL_OBJ(&ex, first_);
        first_ = nullptr;
        zend_throw_exception_object(&ex);
    }

  private:
    zend_object *first_ = nullptr;
};

bool linkUsable(const robj *ro) { return ro->link.ctx && !ro->link.ctx->err && ro->link.state == KELVO_LINK_READY; }

/* True when the server closed the link (a pending push keeps it alive; TLS bytes too). */
bool closedByPeer(const robj *ro)
{
    int fd = ro->link.ctx->fd;
    struct pollfd p = {fd, POLLIN, 0};
    if (poll(&p, 1, 0) <= 0)
        return false;
    if (p.revents & (POLLERR | POLLHUP | POLLNVAL))
        return true;
    char byte;
    return recv(fd, &byte, 1, MSG_PEEK | MSG_DONTWAIT) == 0;
}

/* A node is left without a transaction or a watch: no later command may run inside a block it does not know of. */
void freeNodeLink(kelvoClusterNode *node)
{
    kelvoClusterDiscardFailedNodeLink(node);
    kelvoFreeCallbacks(&node->ro);
}

bool sendUnwatch(kelvoClusterNode *node)
{
    robj *ro = &node->ro;
    if (!linkUsable(ro)) {
        freeNodeLink(node);
        return false;
    }
    rrc req{};
    kelvoRespCmdInitCmd(&req, KELVO_INITIALIZED, REDIS_CMD_UNWATCH);
    kelvoReply *reply = nullptr;
    int rc = kelvoRespCmdSend(&reply, &ro->link, &ro->info, &ro->opts.retry, &req, 1, nullptr, nullptr);
    kelvoRespCmdRelease(&req);
    bool ok = rc == 0 && reply && reply->type == KELVO_REPLY_STATUS;
    kelvoReplyFree(reply);
    if (!ok) {
        freeNodeLink(node);
        return false;
    }
    ro->connState &= ~kelvoConnStateWatch;
    return true;
}

/* DISCARD on a node in the transaction, UNWATCH on one that only watches; a node that cannot take it loses its link. */
bool endOnNode(kelvoClusterNode *node)
{
    robj *ro = &node->ro;
    bool ok = true;
    if (ro->mode & kelvoModeMulti) {
        if (!linkUsable(ro) || kelvoDiscard(ro) != 0) {
            freeNodeLink(node);
            ok = false;
        }
    } else if (node->flags & KELVO_NODE_JOINED) {
        ok = false; /* its MULTI went with its link */
    } else if (ro->connState & kelvoConnStateWatch) {
        ok = sendUnwatch(node);
    }
    node->flags &= uint8_t(~(KELVO_NODE_JOINED | KELVO_NODE_WATCHING));
    return ok;
}

/* Every node leaves the transaction and its watches. What the cleanup raises is dropped; what
 * was pending before it stays pending. */
bool endOnNodes(kelvoClusterObject *cobj)
{
    zend_object *pending = EG(exception);
    EG(exception) = nullptr;
    bool ok = true;
    for (uint64_t i = 0; i < cobj->nodes; i++) {
        ok = endOnNode(cobj->node[i]) && ok;
        zend_clear_exception();
    }
    EG(exception) = pending;
    return ok;
}

void closeTemplate(kelvoClusterObject *cobj)
{
    kelvoFreeCallbacks(&cobj->tmpl);
    cobj->multiFailed = 0;
}

/* -- exec ------------------------------------------------------------------------------------------- */

/* Each node's EXEC array, and how far the queued calls have read it. */
struct NodeResults {
    std::vector<zval> arrays; /* undefined: no EXEC ran on the node; false: it failed */
    std::vector<uint32_t> read;

    explicit NodeResults(uint64_t nodes) : arrays(nodes), read(nodes, 0)
    {
        for (zval &z : arrays)
            ZVAL_UNDEF(&z);
    }
    NodeResults(const NodeResults &) = delete;
    NodeResults &operator=(const NodeResults &) = delete;
    ~NodeResults()
    {
        for (zval &z : arrays)
            zval_ptr_dtor(&z);
    }
    /* The next result of node `n` (a copy), or false. */
    void take(zend_long n, zval *out)
    {
        ZVAL_FALSE(out);
        if (n < 0 || size_t(n) >= arrays.size() || Z_TYPE(arrays[size_t(n)]) != IS_ARRAY)
            return;
        zval *value = zend_hash_index_find(Z_ARRVAL(arrays[size_t(n)]), read[size_t(n)]++);
        if (value)
            ZVAL_COPY(out, value);
    }
};

bool isFailure(const zval *v) { return Z_TYPE_P(v) == IS_FALSE || Z_TYPE_P(v) == IS_OBJECT; }

void foldParts(int32_t cmd, std::vector<zval> &parts, zval *partData, zval *out)
{
    auto firstWhere = [&](auto test) -> zval * {
        for (zval &p : parts)
            if (test(&p))
                return &p;
        return nullptr;
    };
    zval *bad = nullptr;
    switch (cmd) {
    case REDIS_CMD_DEL:
    case REDIS_CMD_UNLINK:
        bad = firstWhere([](zval *p) { return Z_TYPE_P(p) != IS_LONG; });
        if (!bad) {
            zend_long sum = 0;
            for (zval &p : parts)
                sum += Z_LVAL(p);
            ZVAL_LONG(out, sum);
            return;
        }
        break;
    case REDIS_CMD_MSET:
        bad = firstWhere([](zval *p) { return Z_TYPE_P(p) != IS_TRUE; });
        if (!bad) {
            ZVAL_TRUE(out);
            return;
        }
        break;
    case REDIS_CMD_MSETNX:
    case REDIS_CMD_MGET: {
        bool mget = cmd == REDIS_CMD_MGET;
        /* MSETNX's false is an answer (a key existed); only an error object stops the fold. */
        bad = mget ? firstWhere([](zval *p) { return isFailure(p); })
                   : firstWhere([](zval *p) { return Z_TYPE_P(p) == IS_OBJECT; });
        if (bad || Z_TYPE_P(partData) != IS_ARRAY)
            break;
        array_init(out);
        for (size_t i = 0; i < parts.size(); i++) {
            zval *data = zend_hash_index_find(Z_ARRVAL_P(partData), i);
            kelvoAssert(data != NULL && Z_TYPE_P(data) == IS_ARRAY);
            if (mget && (Z_TYPE(parts[i]) != IS_ARRAY ||
                         zend_hash_num_elements(Z_ARRVAL(parts[i])) != zend_hash_num_elements(Z_ARRVAL_P(data)))) {
                zval_ptr_dtor(out);
                ZVAL_FALSE(out);
                return;
            }
            uint32_t j = 0;
            zval *item;
            ZEND_HASH_FOREACH_VAL(Z_ARRVAL_P(data), item)
            {
                zval value;
                if (mget)
                    ZVAL_COPY(&value, zend_hash_index_find(Z_ARRVAL(parts[i]), j++));
                else
                    ZVAL_COPY(&value, &parts[i]);
                if (mget)
                    zend_hash_index_update(Z_ARRVAL_P(out), zend_ulong(Z_LVAL_P(item)), &value);
                else
                    zend_symtable_update(Z_ARRVAL_P(out), Z_STR_P(item), &value);
            }
            ZEND_HASH_FOREACH_END();
        }
        if (mget) {
            /* In key order, whatever order the parts filled it in. */
            zval list;
            uint32_t count = zend_hash_num_elements(Z_ARRVAL_P(out));
            array_init_size(&list, count);
            for (uint32_t k = 0; k < count; k++) {
                zval *v = zend_hash_index_find(Z_ARRVAL_P(out), k);
                kelvoAssert(v != NULL);
                Z_TRY_ADDREF_P(v);
                add_next_index_zval(&list, v);
            }
            zval_ptr_dtor(out);
            ZVAL_COPY_VALUE(out, &list);
        }
        return;
    }
    case REDIS_CMD_KEYS:
        bad = firstWhere([](zval *p) { return Z_TYPE_P(p) != IS_ARRAY; });
        if (!bad) {
            array_init(out);
            for (zval &p : parts) {
                zval *v;
                ZEND_HASH_FOREACH_VAL(Z_ARRVAL(p), v)
                {
                    Z_TRY_ADDREF_P(v);
                    add_next_index_zval(out, v);
                }
                ZEND_HASH_FOREACH_END();
            }
            return;
        }
        break;
    default:
        bad = firstWhere([](zval *p) { return isFailure(p); });
        if (!bad && !parts.empty())
            bad = &parts[0];
        break;
    }
    if (bad)
        ZVAL_COPY(out, bad);
    else
        ZVAL_FALSE(out);
}

/* One result from each listed node, folded as command `cmd`. */
void foldNodes(NodeResults &results, int32_t cmd, zval *nodes, zval *partData, zval *out)
{
    std::vector<zval> parts;
    zval *n;
    ZEND_HASH_FOREACH_VAL(Z_ARRVAL_P(nodes), n)
    {
        parts.emplace_back();
        results.take(Z_LVAL_P(n), &parts.back());
    }
    ZEND_HASH_FOREACH_END();
    foldParts(cmd, parts, partData, out);
    for (zval &p : parts)
        zval_ptr_dtor(&p);
}

void foldEntry(NodeResults &results, kelvoMultiEntry *entry, zval *out)
{
    kelvoAssert(entry->type == KELVO_MULTI_VALUE);
    zval *value = &entry->value;
    if (Z_TYPE_P(value) == IS_LONG) {
        results.take(Z_LVAL_P(value), out);
        return;
    }
    kelvoAssert(Z_TYPE_P(value) == IS_ARRAY);
    zval *cmd = zend_hash_index_find(Z_ARRVAL_P(value), 0);
    zval *nodes = zend_hash_index_find(Z_ARRVAL_P(value), 1);
    zval *partData = zend_hash_index_find(Z_ARRVAL_P(value), 2);
    kelvoAssert(cmd != NULL && nodes != NULL && Z_TYPE_P(nodes) == IS_ARRAY && partData != NULL);
    foldNodes(results, int32_t(Z_LVAL_P(cmd)), nodes, partData, out);
}

enum class NodeExec { Done, Aborted, LinkLost };

NodeExec execNode(kelvoClusterObject *cobj, kelvoClusterNode *node, zval *slot, HeldException &held)
{
    robj *ro = &node->ro;
    if (ro->lastError) {
        zend_string_release(ro->lastError);
        ro->lastError = nullptr;
    }
    int rc = kelvoExec(slot, ro);
    held.take();
    if (ro->lastError)
        kelvoSetLastError(&cobj->tmpl.lastError, ZSTR_VAL(ro->lastError), ZSTR_LEN(ro->lastError));
    if (rc == 0)
        return NodeExec::Done;
    ZVAL_FALSE(slot);
    bool lost = !linkUsable(ro);
    if (kelvoInBatch(ro))
        kelvoFreeCallbacks(ro);
    if (lost && ro->link.ctx)
        freeNodeLink(node);
    return lost ? NodeExec::LinkLost : NodeExec::Aborted;
}

/* Every node of the transaction still on the link it joined on, and every watch still held. */
bool nodesIntact(kelvoClusterObject *cobj)
{
    for (uint64_t i = 0; i < cobj->nodes; i++) {
        kelvoClusterNode *node = cobj->node[i];
        robj *ro = &node->ro;
        if ((node->flags & KELVO_NODE_JOINED) && (!(ro->mode & kelvoModeMulti) || !linkUsable(ro) || closedByPeer(ro)))
            return false;
        if (node->flags & KELVO_NODE_WATCHING) {
            if (!(ro->connState & kelvoConnStateWatch) || !linkUsable(ro) || closedByPeer(ro))
                return false;
        }
    }
    return true;
}

/* Whether the keys of `list` all hash to `*slot` (-1: none seen yet, then the first key's). */
bool keysShareSlot(const kelvoMultiQueue *list, int32_t *slot)
{
    for (size_t i = 0; i < list->count; i++) {
        const kelvoMultiEntry &e = list->entries[i];
        if (e.type == KELVO_MULTI_MULTI && !keysShareSlot(&e.block, slot))
            return false;
        if (e.type != KELVO_MULTI_QUERY)
            continue;
        for (uint32_t k = 0; k < e.rqs.nkeys; k++) {
            int32_t keySlot = kelvoClusterHashKey(ZSTR_VAL(e.rqs.keys[k]), ZSTR_LEN(e.rqs.keys[k]));
            if (*slot >= 0 && keySlot != *slot)
                return false;
            *slot = keySlot;
        }
    }
    return true;
}

/* A node refuses EXEC of a block whose keys span slots, after the other nodes committed:
 * found before any EXEC goes out, the whole transaction is refused instead. */
bool oneSlotPerNode(const kelvoClusterObject *cobj)
{
    for (uint64_t i = 0; i < cobj->nodes; i++) {
        int32_t slot = -1;
        if (!keysShareSlot(&cobj->node[i]->ro.pipe, &slot))
            return false;
    }
    return true;
}

/* The database numbers after a transaction that selected one: every node took it, or none keeps it. */
void reconcileDatabase(kelvoClusterObject *cobj)
{
    robj *tmpl = &cobj->tmpl;
    if (tmpl->info.db == tmpl->link.db)
        return;
    bool allMoved = true;
    for (uint64_t i = 0; i < cobj->nodes; i++)
        allMoved = allMoved && cobj->node[i]->ro.info.db == tmpl->info.db;
    if (allMoved) {
        tmpl->link.db = tmpl->info.db;
        return;
    }
    tmpl->info.db = tmpl->link.db;
    for (uint64_t i = 0; i < cobj->nodes; i++) {
        robj *ro = &cobj->node[i]->ro;
        if (ro->link.db != tmpl->link.db) {
            kelvoLinkFree(&ro->link);
            ro->connState = 0;
        }
        ro->info.db = ro->link.db = tmpl->link.db;
    }
}

void failTransaction(kelvoClusterObject *cobj, HeldException &held, const char *text)
{
    endOnNodes(cobj);
    closeTemplate(cobj);
    if (held.held()) {
        held.rethrow();
        return;
    }
    if (text == kLinkLost) {
        kelvoThrowException(KELVO_ERR_IO, text);
        return;
    }
    robj *tmpl = &cobj->tmpl;
    kelvoHandleErrorText(&tmpl->lastError, tmpl->opts.flags, text, strlen(text));
}

int clusterExec(zval *return_value, kelvoClusterObject *cobj)
{
    robj *tmpl = &cobj->tmpl;
    if (!(tmpl->mode & kelvoModeMulti))
        return -1;
    HeldException held;
    if (cobj->multiFailed) {
        /* Aborted when a command failed: that failure was reported then. */
        endOnNodes(cobj);
        closeTemplate(cobj);
        return -1;
    }
    if (!nodesIntact(cobj)) {
        failTransaction(cobj, held, kLinkLost);
        return -1;
    }
    if (!oneSlotPerNode(cobj)) {
        failTransaction(cobj, held, kCrossSlot);
        return -1;
    }
    /* A watch only counts inside a transaction of its own node: one that has no command gets an empty one. */
    for (uint64_t i = 0; i < cobj->nodes; i++) {
        kelvoClusterNode *node = cobj->node[i];
        if ((node->flags & KELVO_NODE_WATCHING) && !(node->ro.mode & kelvoModeMulti)) {
            if (kelvoMulti(&node->ro, kelvoModeMulti) != 0) {
                held.take();
                failTransaction(cobj, held, kLinkLost);
                return -1;
            }
            node->flags |= KELVO_NODE_JOINED;
        }
    }
    NodeResults results(cobj->nodes);
    /* Watched nodes first: a broken watch anywhere stops every node before any other commits. */
    for (int pass = 0; pass < 2; pass++) {
        for (uint64_t i = 0; i < cobj->nodes; i++) {
            kelvoClusterNode *node = cobj->node[i];
            bool watched = (node->flags & KELVO_NODE_WATCHING) != 0;
            if (!(node->ro.mode & kelvoModeMulti) || watched != (pass == 0))
                continue;
            NodeExec done = execNode(cobj, node, &results.arrays[i], held);
            node->flags &= uint8_t(~(KELVO_NODE_JOINED | KELVO_NODE_WATCHING));
            if (done == NodeExec::LinkLost) {
                failTransaction(cobj, held, kLinkLost);
                return -1;
            }
            if (done == NodeExec::Aborted && watched) {
                failTransaction(cobj, held, kTransactionFailed);
                return -1;
            }
        }
    }
    array_init_size(return_value, uint32_t(tmpl->pipe.count));
    for (size_t i = 0; i < tmpl->pipe.count; i++) {
        zval value;
        foldEntry(results, &tmpl->pipe.entries[i], &value);
        add_next_index_zval(return_value, &value);
    }
    reconcileDatabase(cobj);
    endOnNodes(cobj);
    closeTemplate(cobj);
    held.rethrow();
    return 0;
}

} // namespace

/* -- seams for command execution ------------------------------------------------------------------- */

bool kelvoClusterNodeJoined(const kelvoClusterObject *cobj, zend_long idx)
{
    return (cobj->node[idx]->flags & KELVO_NODE_JOINED) != 0;
}

int kelvoClusterJoinTransaction(kelvoClusterObject *cobj, zend_long idx)
{
    kelvoClusterNode *node = cobj->node[idx];
    robj *ro = &node->ro;
    if (ro->mode & kelvoModeMulti)
        return 0;
    if (node->flags & KELVO_NODE_JOINED) {
        /* Its block went with its link: what it queued would be lost and the results would shift. */
        kelvoThrowException(KELVO_ERR_IO, kLinkLost);
        kelvoClusterAbortTransaction(cobj);
        return -1;
    }
    if (kelvoMulti(ro, kelvoModeMulti) != 0) {
        if (!EG(exception))
            kelvoLinkThrowException(&ro->link);
        kelvoClusterAbortTransaction(cobj);
        return -1;
    }
    node->flags |= KELVO_NODE_JOINED;
    return 0;
}

void kelvoClusterQueueNode(kelvoClusterObject *cobj, zend_long idx)
{
    robj *tmpl = &cobj->tmpl;
    /* The template's queue is flat: no transaction block on it. */
    uint64_t mode = tmpl->mode;
    tmpl->mode &= ~kelvoModeMulti;
    ZVAL_LONG(&kelvoMultiEntryAppend(tmpl, KELVO_MULTI_VALUE)->value, idx);
    tmpl->mode = mode;
}

void kelvoClusterQueueGroup(kelvoClusterObject *cobj, size_t from, int32_t cmd, zval *parts)
{
    robj *tmpl = &cobj->tmpl;
    kelvoAssert(from <= tmpl->pipe.count);
    zval group, nodes;
    array_init_size(&group, 3);
    array_init_size(&nodes, uint32_t(tmpl->pipe.count - from));
    for (size_t i = from; i < tmpl->pipe.count; i++) {
        kelvoMultiEntry *entry = &tmpl->pipe.entries[i];
        kelvoAssert(entry->type == KELVO_MULTI_VALUE && Z_TYPE(entry->value) == IS_LONG);
        add_next_index_long(&nodes, Z_LVAL(entry->value));
        kelvoMultiEntryFree(entry);
    }
    tmpl->pipe.count = from;
    add_next_index_long(&group, cmd);
    add_next_index_zval(&group, &nodes);
    if (parts && Z_TYPE_P(parts) == IS_ARRAY)
        add_next_index_zval(&group, parts);
    else
        add_next_index_null(&group);
    uint64_t mode = tmpl->mode;
    tmpl->mode &= ~kelvoModeMulti;
    ZVAL_COPY_VALUE(&kelvoMultiEntryAppend(tmpl, KELVO_MULTI_VALUE)->value, &group);
    tmpl->mode = mode;
}

void kelvoClusterAbortTransaction(kelvoClusterObject *cobj)
{
    endOnNodes(cobj);
    robj *tmpl = &cobj->tmpl;
    kelvoFreeCallbacks(tmpl);
    /* Still in MULTI: later commands of the block must not run outside it; exec() answers false. */
    tmpl->mode |= kelvoModeMulti;
    cobj->multiFailed = 1;
}

/* -- methods ---------------------------------------------------------------------------------------- */

extern "C" {

ZEND_METHOD(Kelvo_Cluster, multi)
{
    zend_long mode = kelvoModeMulti;
    ZEND_PARSE_PARAMETERS_START(0, 1)
    Z_PARAM_OPTIONAL
    Z_PARAM_LONG(mode)
    ZEND_PARSE_PARAMETERS_END();
    if (mode != zend_long(kelvoModeMulti)) {
        php_error_docref(nullptr, E_WARNING, "Unknown multi mode %ld", long(mode));
        RETURN_FALSE;
    }
    kelvoClusterObject *cobj = kelvoClusterGetObjectZVal(ZEND_THIS);
    if (!(cobj->tmpl.mode & kelvoModeMulti)) {
        kelvoFreeCallbacks(&cobj->tmpl);
        cobj->multiFailed = 0;
        cobj->tmpl.mode |= kelvoModeMulti;
    }
    RETURN_OBJ_COPY(&cobj->tmpl.std);
}

ZEND_METHOD(Kelvo_Cluster, exec)
{
    ZEND_PARSE_PARAMETERS_NONE();
    kelvoClusterObject *cobj = kelvoClusterGetObjectZVal(ZEND_THIS);
    if (clusterExec(return_value, cobj) != 0) {
        zval_ptr_dtor(return_value);
        RETURN_FALSE;
    }
}

ZEND_METHOD(Kelvo_Cluster, discard)
{
    ZEND_PARSE_PARAMETERS_NONE();
    kelvoClusterObject *cobj = kelvoClusterGetObjectZVal(ZEND_THIS);
    if (!(cobj->tmpl.mode & kelvoModeMulti))
        RETURN_FALSE;
    closeTemplate(cobj);
    RETURN_BOOL(endOnNodes(cobj));
}

ZEND_METHOD(Kelvo_Cluster, watch)
{
    kelvoClusterObject *cobj = kelvoClusterGetObjectZVal(ZEND_THIS);
    if (cobj->tmpl.mode & kelvoModeMulti) {
        kelvoThrowException(KELVO_ERR_REDIS, "WATCH inside MULTI is not allowed");
        RETURN_FALSE;
    }
    kelvoClusterCommand(INTERNAL_FUNCTION_PARAM_PASSTHRU, REDIS_CMD_WATCH);
    /* Remembered beside the link's own state: a link that goes takes its watch along, and exec() must know. */
    for (uint64_t i = 0; i < cobj->nodes; i++) {
        kelvoClusterNode *node = cobj->node[i];
        if (node->ro.connState & kelvoConnStateWatch)
            node->flags |= KELVO_NODE_WATCHING;
    }
}

ZEND_METHOD(Kelvo_Cluster, unwatch)
{
    ZEND_PARSE_PARAMETERS_NONE();
    kelvoClusterObject *cobj = kelvoClusterGetObjectZVal(ZEND_THIS);
    /* EXEC ends every watch: inside a transaction there is nothing to send. */
    if (cobj->tmpl.mode & kelvoModeMulti)
        RETURN_OBJ_COPY(&cobj->tmpl.std);
    bool ok = true;
    for (uint64_t i = 0; i < cobj->nodes; i++) {
        kelvoClusterNode *node = cobj->node[i];
        bool watching = (node->flags & KELVO_NODE_WATCHING) || (node->ro.connState & kelvoConnStateWatch);
        node->flags &= uint8_t(~KELVO_NODE_WATCHING);
        if (!watching)
            continue;
        if (!(node->ro.connState & kelvoConnStateWatch)) {
            ok = false; /* the link went, and the watch with it */
            continue;
        }
        ok = sendUnwatch(node) && ok;
    }
    RETURN_BOOL(ok);
}

} // extern "C"
