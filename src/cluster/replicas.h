/*
 * Reads served by replicas: moving a read-only command from a slot's primary to one of its
 * replicas before it is sent (OPT_DISTRIBUTE), the list of nodes a read may move to when its
 * node fails (OPT_FAILOVER), and the readiness and health of replicas.
 */
#ifndef KELVO_CLUSTER_REPLICAS_H
#define KELVO_CLUSTER_REPLICAS_H

#include "cluster/cluster.h"

/* Candidate nodes of one command after its node failed; request memory. */
struct kelvoClusterFailoverStrategy {
    zend_long *candidates;
    uint64_t count;
    uint64_t cursor; /* next candidate */
};

/* 0 and the node a read moves to; -1 when it stays on `node` (index `nodeIdx`). */
int kelvoClusterTryDistribute(zend_long *out, zend_long nodeIdx, kelvoClusterObject *cobj);
/* A new strategy for a failed node, or null (failover off, a row that may not fail over or that names its node). */
kelvoClusterFailoverStrategy *kelvoClusterGetFailoverStrategy(const kelvoClusterCommandEntry *row, zend_long failedIdx,
                                                              kelvoClusterObject *cobj);
/* 0 and the next usable candidate; -1 when none is left or there is no strategy. */
int kelvoClusterTryFailover(zend_long *out, kelvoClusterFailoverStrategy *strategy, kelvoClusterObject *cobj);
void kelvoClusterFreeFailoverStrategy(kelvoClusterFailoverStrategy *strategy);
/* 0 when the replica can serve reads on its current link (ROLE checked, READONLY sent). */
int kelvoClusterEnsureReplicaReady(kelvoClusterNode *node);
/* Asks the node about its own health: 0 when answered (the result is its UNHEALTHY flag). */
int kelvoClusterNodeCheckHealth(kelvoClusterNode *node);
/* Frees the node's link but keeps its last error, so the next use reconnects. */
void kelvoClusterDiscardFailedNodeLink(kelvoClusterNode *node);

#endif
