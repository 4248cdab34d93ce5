/*
 * The methods of Kelvo\Cluster that work on the object itself: the admission patterns, the
 * mode, database number and idle time of the template, the byte counters of the nodes, the
 * endpoints and primaries, the shared cache's keys of the primaries, closing the nodes' links
 * and dropping the slot cache. The value packing methods and the last error run the
 * Kelvo\Kelvo methods on the template, whose record they share the layout of.
 *
 * Node-wide answers (_masters, _getKeys, the primaries of endpointId) count only the primaries
 * that serve slots in the current table and are not marked failed: a primary replaced by its
 * replica stays in the node array, but it is no longer one of the cluster's primaries.
 *
 * Owns nothing past a call; one process, one request thread.
 */
#include "cluster/cluster.h"
#include "cluster/topology.h"
#include "cache/cache.h"
#include "client/connection.h"
#include "commands/commands.h"
#include "runtime/cfgvals.h"
#include "shm/epoch.h"
#include "shm/shared.h"

/* The Kelvo\Kelvo methods that fill the template's own lists (they parse and check the arguments). */
extern "C" {
ZEND_METHOD(Kelvo_Kelvo, addAllowPatterns);
ZEND_METHOD(Kelvo_Kelvo, addIgnorePatterns);
}

namespace {

kelvoClusterObject *thisCluster(zend_execute_data *execute_data) { return kelvoClusterGetObjectZVal(ZEND_THIS); }

/* Every node admits what the template admits: the nodes share the template's list until one changes it. */
void copyPatternsToNodes(kelvoClusterObject *cobj, zval kelvoOptions::*list)
{
    for (uint64_t i = 0; i < cobj->nodes; i++) {
        zval *to = &(cobj->node[i]->ro.opts.*list);
        zval_ptr_dtor(to);
        ZVAL_COPY(to, &(cobj->tmpl.opts.*list));
    }
}

void addPatterns(INTERNAL_FUNCTION_PARAMETERS, zif_handler onTemplate, zval kelvoOptions::*list)
{
    onTemplate(INTERNAL_FUNCTION_PARAM_PASSTHRU);
    if (EG(exception))
        return;
    copyPatternsToNodes(thisCluster(execute_data), list);
}

/* The identity a node's link has, or would have once connected. */
zend_string *nodeIdentity(const robj *ro)
{
    return ro->link.key ? zend_string_copy(ro->link.key) : redisInfoGetUriZStr(&ro->info);
}

/* The node's endpoint in the shared cache: the one its link holds, else the one its identity names. */
kelvoEndpoint *nodeEndpoint(const robj *ro, const zend_string *identity)
{
    if (ro->link.ep)
        return ro->link.ep;
    return kelvoEndpointGetEx(ZSTR_VAL(identity), ZSTR_LEN(identity));
}

} // namespace

extern "C" {

ZEND_METHOD(Kelvo_Cluster, addAllowPatterns)
{
    addPatterns(INTERNAL_FUNCTION_PARAM_PASSTHRU, ZEND_MN(Kelvo_Kelvo_addAllowPatterns), &kelvoOptions::allowPatterns);
}

ZEND_METHOD(Kelvo_Cluster, addIgnorePatterns)
{
    addPatterns(INTERNAL_FUNCTION_PARAM_PASSTHRU, ZEND_MN(Kelvo_Kelvo_addIgnorePatterns),
                &kelvoOptions::ignorePatterns);
}

ZEND_METHOD(Kelvo_Cluster, getDbNum)
{
    ZEND_PARSE_PARAMETERS_NONE();
    const robj *tmpl = &thisCluster(execute_data)->tmpl;
    /* A SELECT queued in an open transaction is not the cluster's database until EXEC ran it. */
    if (tmpl->link.db != tmpl->info.db)
        RETURN_FALSE;
    RETURN_LONG(tmpl->link.db);
}

ZEND_METHOD(Kelvo_Cluster, getMode)
{
    bool masked = false;
    ZEND_PARSE_PARAMETERS_START(0, 1)
    Z_PARAM_OPTIONAL
    Z_PARAM_BOOL(masked)
    ZEND_PARSE_PARAMETERS_END();
    uint64_t mode = thisCluster(execute_data)->tmpl.mode;
    if (masked)
        RETURN_LONG(static_cast<zend_long>(mode));
    if (mode & kelvoModePipeline)
        RETURN_LONG(kelvoModePipeline);
    RETURN_LONG(static_cast<zend_long>(mode & kelvoModeMulti));
}

ZEND_METHOD(Kelvo_Cluster, idleTime)
{
    ZEND_PARSE_PARAMETERS_NONE();
    uint64_t last = thisCluster(execute_data)->tmpl.link.lastUse;
    if (last == 0)
        RETURN_LONG(0);
    uint64_t now = kelvoNowMicros();
    /* The wall clock may step back. */
    RETURN_LONG(now > last ? static_cast<zend_long>(now - last) : 0);
}

ZEND_METHOD(Kelvo_Cluster, getTransferredBytes)
{
    ZEND_PARSE_PARAMETERS_NONE();
    const kelvoClusterObject *cobj = thisCluster(execute_data);
    /* A node's counters outlive its links: what a closed or failed link moved was still moved. */
    uint64_t sent = 0, received = 0;
    for (uint64_t i = 0; i < cobj->nodes; i++) {
        sent += cobj->node[i]->ro.bytesSent;
        received += cobj->node[i]->ro.bytesRecv;
    }
    array_init_size(return_value, 2);
    add_next_index_long(return_value, static_cast<zend_long>(sent));
    add_next_index_long(return_value, static_cast<zend_long>(received));
}

ZEND_METHOD(Kelvo_Cluster, clearTransferredBytes)
{
    ZEND_PARSE_PARAMETERS_NONE();
    kelvoClusterObject *cobj = thisCluster(execute_data);
    for (uint64_t i = 0; i < cobj->nodes; i++)
        cobj->node[i]->ro.bytesSent = cobj->node[i]->ro.bytesRecv = 0;
    RETURN_TRUE;
}

ZEND_METHOD(Kelvo_Cluster, endpointId)
{
    ZEND_PARSE_PARAMETERS_NONE();
    kelvoClusterObject *cobj = thisCluster(execute_data);
    array_init(return_value);
    for (uint64_t i = 0; i < cobj->nodes; i++) {
        kelvoClusterNode *node = cobj->node[i];
        bool primary = node->flags & KELVO_NODE_PRIMARY;
        if (primary && !kelvoClusterNodeIsLivePrimary(cobj, static_cast<zend_long>(i)))
            continue;
        if (kelvoSyncObject(&node->ro, KELVO_LINK_READY, true) != 0 || !node->ro.link.key) {
            /* Reads move on from a replica that is down; a primary that is down leaves slots unserved. */
            if (primary) {
                zval_ptr_dtor(return_value);
                RETURN_FALSE;
            }
            continue;
        }
        add_next_index_str(return_value, zend_string_copy(node->ro.link.key));
    }
}

ZEND_METHOD(Kelvo_Cluster, _masters)
{
    ZEND_PARSE_PARAMETERS_NONE();
    const kelvoClusterObject *cobj = thisCluster(execute_data);
    array_init(return_value);
    for (uint64_t i = 0; i < cobj->nodes; i++) {
        if (!kelvoClusterNodeIsLivePrimary(cobj, static_cast<zend_long>(i)))
            continue;
        zend_long port;
        zval pair;
        array_init_size(&pair, 2);
        add_next_index_str(&pair, redisInfoEndpointParts(&cobj->node[i]->ro.info, &port));
        add_next_index_long(&pair, port);
        add_next_index_zval(return_value, &pair);
    }
}

ZEND_METHOD(Kelvo_Cluster, _getKeys)
{
    ZEND_PARSE_PARAMETERS_NONE();
    if (!kelvoRequireSharedCache()) {
        RETURN_FALSE;
    }
    if (kelvoGlobalEpochInit() != 0)
        RETURN_FALSE;
    const kelvoClusterObject *cobj = thisCluster(execute_data);
    /* The database the cluster works in (every node has it selected). */
    uint32_t db = cobj->tmpl.link.db;
    if (db >= kelvoCfgVals.databases)
        RETURN_FALSE;
    array_init(return_value);
    for (uint64_t i = 0; i < cobj->nodes; i++) {
        if (!kelvoClusterNodeIsLivePrimary(cobj, static_cast<zend_long>(i)))
            continue;
        const robj *ro = &cobj->node[i]->ro;
        zend_string *identity = nodeIdentity(ro);
        if (kelvoEndpoint *ep = nodeEndpoint(ro, identity)) {
            zval keys;
            kelvoEndpointGetKeys(&keys, ep, db);
            zend_hash_update(Z_ARRVAL_P(return_value), identity, &keys);
        }
        zend_string_release(identity);
    }
}

ZEND_METHOD(Kelvo_Cluster, close)
{
    ZEND_PARSE_PARAMETERS_NONE();
    kelvoClusterObject *cobj = thisCluster(execute_data);
    /* A transaction does not outlive the links it was queued on. */
    kelvoFreeCallbacks(&cobj->tmpl);
    cobj->multiFailed = 0;
    /* Only the links go: each node keeps its connection information and reconnects when next used. */
    for (uint64_t i = 0; i < cobj->nodes; i++) {
        kelvoClusterNode *node = cobj->node[i];
        kelvoLinkReleaseRObj(&node->ro, 1);
        /* Role and health outlive the link; whatever else a flag says was said of that link. */
        node->flags &= KELVO_NODE_PRIMARY | KELVO_NODE_UNHEALTHY;
    }
    RETURN_TRUE;
}

ZEND_METHOD(Kelvo_Cluster, flushSlotCache)
{
    ZEND_PARSE_PARAMETERS_NONE();
    kelvoClusterObject *cobj = thisCluster(execute_data);
    if (!cobj->slotCacheKey)
        RETURN_TRUE;
    RETURN_BOOL(kelvoClusterClearSlotCache(cobj));
}

} // extern "C"
