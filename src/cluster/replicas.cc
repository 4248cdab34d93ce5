#include "cluster/replicas.h"

#include "catalog/cmdids.h"
#include "client/connection.h"
#include "cluster/candidates.h"
#include "cluster/topology.h"
#include "commands/commands.h"
#include "runtime/fatal.h"
#include "wire/reply.h"

#include <algorithm>
#include <cstring>
#include <ctime>

extern "C" {
#include "Zend/zend_exceptions.h"
#include "ext/random/php_random.h"
}

namespace {

constexpr char kRoleRequest[] = "*1\r\n$4\r\nROLE\r\n";
constexpr char kReadonlyRequest[] = "*1\r\n$8\r\nREADONLY\r\n";
/* Up to this many replicas are shuffled on the stack. */
constexpr uint64_t kStackReplicas = 64;

uint32_t mtDraw(void *) { return php_mt_rand(); }

int64_t nowSeconds() { return static_cast<int64_t>(time(nullptr)); }

kelvoClusterNode *nodeAt(const kelvoClusterObject *cobj, zend_long idx)
{
    kelvoAssert(idx >= 0 && static_cast<uint64_t>(idx) < cobj->nodes);
    return cobj->node[idx];
}

/* Seconds between health questions to an unhealthy replica; without a setting, a new draw each time. */
int64_t healthWaitSeconds()
{
    zend_long wait = zend_ini_long(const_cast<char *>("kelvo.cluster.shard_health_wait_time"),
                                   sizeof "kelvo.cluster.shard_health_wait_time" - 1, 0);
    return wait < 1 ? php_mt_rand_range(0, 60) : wait;
}

void markUnhealthy(kelvoClusterNode *node)
{
    node->flags = static_cast<uint8_t>((node->flags & ~KELVO_NODE_READY) | KELVO_NODE_UNHEALTHY);
    node->lastHealthCheck = nowSeconds();
}

/* Whether a replica may take a read now: healthy (or found healthy again), ROLE checked, READONLY sent. */
bool replicaUsable(kelvoClusterNode *node)
{
    if (node->flags & KELVO_NODE_UNHEALTHY) {
        int64_t now = nowSeconds();
        if (now < node->lastHealthCheck + healthWaitSeconds())
            return false;
        node->lastHealthCheck = now;
        if (kelvoClusterNodeCheckHealth(node) != 0 || (node->flags & KELVO_NODE_UNHEALTHY))
            return false;
    }
    /* A broken link is replaced at the next sync, and READONLY does not carry over to the new one. */
    const kelvoLink &link = node->ro.link;
    if (link.state != KELVO_LINK_READY || !link.ctx || link.ctx->err)
        node->flags &= ~KELVO_NODE_READY;
    else if (node->flags & KELVO_NODE_READY)
        return true;
    return kelvoClusterEnsureReplicaReady(node) == 0;
}

/* Clears an exception that candidates raised, leaving one the caller came with. */
void clearCandidateException(const zend_object *before)
{
    if (EG(exception) && EG(exception) != before)
        zend_clear_exception();
}

bool stringReplyIs(const kelvoReply *r, const char *text, size_t len)
{
    return (r->type == KELVO_REPLY_STRING || r->type == KELVO_REPLY_STATUS) && ZSTR_LEN(r->v.str) == len &&
           memcmp(ZSTR_VAL(r->v.str), text, len) == 0;
}

/* A replica that follows its primary: "slave" or "replica" first, "connected" fourth. */
bool roleAcceptable(const kelvoReply *r)
{
    return r && r->type == KELVO_REPLY_ARRAY && r->elements > 3 &&
           (stringReplyIs(r->v.element[0], "slave", 5) || stringReplyIs(r->v.element[0], "replica", 7)) &&
           stringReplyIs(r->v.element[3], "connected", 9);
}

/* Appends a ready request on the node's link; on failure the link's error is thrown. */
int appendRaw(kelvoClusterNode *node, const char *request, size_t len)
{
    kelvoLink *link = &node->ro.link;
    if (redisAppendFormattedCommand(link->ctx, request, len) == REDIS_OK)
        return 0;
    kelvoLinkErrorSet(link, link->ctx);
    kelvoLinkThrowException(link);
    return -1;
}

bool sameHost(const zend_string *a, const zend_string *b) { return a && b && zend_string_equals(a, b); }

/* The node's own entry in a topology: its port, and its host or another name of it. */
const kelvoTopoNode *findSelf(const kelvoTopology *topo, const zend_string *host, zend_long port)
{
    for (uint32_t i = 0; i < topo->count; i++) {
        const kelvoTopoNode &n = topo->nodes[i];
        if (n.port == port && (sameHost(n.host, host) || sameHost(n.ip, host) || sameHost(n.hostname, host)))
            return &n;
    }
    return nullptr;
}

/* The primary of a node's shard (itself for a primary); -1 when no primary lists it any more. */
zend_long shardPrimaryOf(const kelvoClusterObject *cobj, zend_long idx)
{
    if (nodeAt(cobj, idx)->flags & KELVO_NODE_PRIMARY)
        return idx;
    for (uint64_t p = 0; p < cobj->nodes; p++) {
        const kelvoClusterNode *primary = cobj->node[p];
        if (!(primary->flags & KELVO_NODE_PRIMARY) || !primary->replicaIdx)
            continue;
        const zend_long *begin = primary->replicaIdx, *end = begin + primary->replicas;
        if (std::find(begin, end, idx) != end)
            return static_cast<zend_long>(p);
    }
    /* A topology read since may have dropped it from its shard: nothing to fail over to. */
    return -1;
}

struct ZoneMatch {
    const kelvoClusterObject *cobj;
    const zend_string *zone;
};

bool inClientZone(int64_t idx, void *arg)
{
    const ZoneMatch *m = static_cast<const ZoneMatch *>(arg);
    const kelvoLink &link = nodeAt(m->cobj, idx)->ro.link;
    return kelvoZoneMatches(ZSTR_VAL(m->zone), ZSTR_LEN(m->zone), link.az, strnlen(link.az, sizeof link.az),
                            link.hello != 0);
}

} // namespace

int kelvoClusterTryDistribute(zend_long *out, zend_long nodeIdx, kelvoClusterObject *cobj)
{
    int32_t mode = cobj->distribute;
    if (mode == KELVO_DISTRIBUTE_NONE || nodeIdx < 0 || static_cast<uint64_t>(nodeIdx) >= cobj->nodes)
        return -1;
    const kelvoClusterNode *primary = cobj->node[nodeIdx];
    uint64_t n = primary->replicas;
    if (!(primary->flags & KELVO_NODE_PRIMARY) || n == 0 || !primary->replicaIdx)
        return -1;
    uint64_t tries;
    switch (mode) {
    case KELVO_DISTRIBUTE_RANDOM:
        if (php_mt_rand() % (n + 1) == n)
            return -1;
        tries = 1;
        break;
    case KELVO_DISTRIBUTE_ALL:
        if (php_mt_rand() % (n + 1) == n)
            return -1;
        tries = n;
        break;
    case KELVO_DISTRIBUTE_RANDOM_REPLICA:
        tries = 1;
        break;
    case KELVO_DISTRIBUTE_REPLICAS:
        tries = n;
        break;
    default:
        kelvoUnreachable();
    }

    int64_t stack[kStackReplicas];
    int64_t *order = n <= kStackReplicas ? stack : static_cast<int64_t *>(safe_emalloc(n, sizeof *order, 0));
    std::copy(primary->replicaIdx, primary->replicaIdx + n, order);
    kelvoShuffleNodes(order, n, mtDraw, nullptr);
    const zend_string *zone = cobj->tmpl.opts.availabilityZone;
    if (zone && n >= 2) {
        ZoneMatch match{cobj, zone};
        kelvoMoveMatchesFirst(order, n, inClientZone, &match);
    }

    const zend_object *before = EG(exception);
    int rc = -1;
    for (uint64_t i = 0; i < tries; i++) {
        if (replicaUsable(nodeAt(cobj, order[i]))) {
            *out = order[i];
            rc = 0;
            break;
        }
    }
    clearCandidateException(before);
    if (order != stack)
        efree(order);
    return rc;
}

kelvoClusterFailoverStrategy *kelvoClusterGetFailoverStrategy(const kelvoClusterCommandEntry *row, zend_long failedIdx,
                                                              kelvoClusterObject *cobj)
{
    if (cobj->failover == KELVO_FAILOVER_NONE || !row || !(row->flags & KELVO_CLUSTER_READONLY))
        return nullptr;
    zend_long primaryIdx = shardPrimaryOf(cobj, failedIdx);
    if (primaryIdx < 0)
        return nullptr;
    const kelvoClusterNode *primary = cobj->node[primaryIdx];
    uint64_t n = primary->replicaIdx ? primary->replicas : 0;
    zend_long *candidates = static_cast<zend_long *>(safe_emalloc(n + 1, sizeof(zend_long), 0));
    uint64_t count = kelvoFailoverCandidates(cobj->failover, primaryIdx, primary->replicaIdx, n, failedIdx, mtDraw,
                                             nullptr, candidates);
    if (count == 0) {
        efree(candidates);
        return nullptr;
    }
    auto *strategy = static_cast<kelvoClusterFailoverStrategy *>(emalloc(sizeof(kelvoClusterFailoverStrategy)));
    strategy->candidates = candidates;
    strategy->count = count;
    strategy->cursor = 0;
    return strategy;
}

int kelvoClusterTryFailover(zend_long *out, kelvoClusterFailoverStrategy *strategy, kelvoClusterObject *cobj)
{
    if (!strategy)
        return -1;
    while (strategy->cursor < strategy->count) {
        zend_long idx = strategy->candidates[strategy->cursor++];
        kelvoClusterNode *node = nodeAt(cobj, idx);
        if ((node->flags & KELVO_NODE_PRIMARY) || replicaUsable(node)) {
            /* The candidates skipped on the way and the failed node are not this command's failure. */
            if (EG(exception))
                zend_clear_exception();
            *out = idx;
            return 0;
        }
    }
    return -1;
}

void kelvoClusterFreeFailoverStrategy(kelvoClusterFailoverStrategy *strategy)
{
    if (!strategy)
        return;
    efree(strategy->candidates);
    efree(strategy);
}

int kelvoClusterEnsureReplicaReady(kelvoClusterNode *node)
{
    kelvoAssert(node != NULL);
    if (kelvoSyncObject(&node->ro, KELVO_LINK_READY, true) != 0) {
        node->flags &= ~KELVO_NODE_READY;
        return -1;
    }
    kelvoReply *reply = nullptr;
    bool accepted = appendRaw(node, kRoleRequest, sizeof kRoleRequest - 1) == 0 &&
                    kelvoGetReply(&node->ro, KELVO_REPLY_ARRAY, 1, &reply) == 0 && roleAcceptable(reply);
    kelvoReplyFree(reply);
    if (!accepted) {
        markUnhealthy(node);
        return -1;
    }
    reply = nullptr;
    accepted = appendRaw(node, kReadonlyRequest, sizeof kReadonlyRequest - 1) == 0 &&
               kelvoGetReply(&node->ro, KELVO_REPLY_STATUS, 1, &reply) == 0;
    kelvoReplyFree(reply);
    if (!accepted) {
        kelvoClusterDiscardFailedNodeLink(node);
        return -1;
    }
    node->flags |= KELVO_NODE_READY;
    return 0;
}

int kelvoClusterNodeCheckHealth(kelvoClusterNode *node)
{
    kelvoAssert(node != NULL);
    robj *ro = &node->ro;
    if (kelvoSyncObject(ro, KELVO_LINK_READY, true) != 0)
        return -1;
    rrc req;
    kelvoRespCmdInitCmd(&req, KELVO_INITIALIZED, REDIS_CMD_CLUSTER);
    kelvoRespCmdCatLen(&req, "SHARDS", 6);
    kelvoReply *reply = nullptr;
    int rc = kelvoRespCmdSend(&reply, &ro->link, &ro->info, &ro->opts.retry, &req, 0, nullptr, nullptr);
    kelvoRespCmdRelease(&req);
    if (rc != 0) {
        kelvoReplyFree(reply);
        node->flags |= KELVO_NODE_UNHEALTHY;
        kelvoClusterDiscardFailedNodeLink(node);
        return -1;
    }
    if (reply->type != KELVO_REPLY_ARRAY) {
        kelvoReplyFree(reply);
        return -1;
    }
    zend_long port;
    zend_string *host = redisInfoEndpointParts(&ro->info, &port);
    kelvoTopology topo;
    kelvoTopologyInit(&topo);
    rc = kelvoTopologyFromShards(&topo, reply, host, ro->info.tls.enabled != 0);
    if (const kelvoTopoNode *self = rc == 0 ? findSelf(&topo, host, port) : nullptr) {
        /* A replica of the topology carries its health; a primary answered as one that serves. */
        if (self->flags & KELVO_NODE_UNHEALTHY)
            node->flags |= KELVO_NODE_UNHEALTHY;
        else
            node->flags &= ~KELVO_NODE_UNHEALTHY;
    }
    kelvoTopologyRelease(&topo);
    zend_string_release(host);
    kelvoReplyFree(reply);
    return rc == 0 ? 0 : -1;
}

void kelvoClusterDiscardFailedNodeLink(kelvoClusterNode *node)
{
    kelvoAssert(node != NULL);
    kelvoLink *link = &node->ro.link;
    if (link->ctx && link->ctx->err)
        kelvoLinkErrorSet(link, link->ctx);
    uint32_t err = link->err, sslErr = link->sslErr;
    char errstr[sizeof link->errstr];
    memcpy(errstr, link->errstr, sizeof errstr);
    kelvoLinkFree(link);
    link->err = err;
    link->sslErr = sslErr;
    memcpy(link->errstr, errstr, sizeof errstr);
    node->ro.connState = 0;
    node->flags &= ~KELVO_NODE_READY;
}
