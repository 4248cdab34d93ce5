/*
 * The methods of Kelvo\Cluster that reach more than one node or pin one node for a while: KEYS
 * over every primary that owns slots, SELECT on every node, and the subscribe family on the node
 * that holds the subscriptions.
 *
 * Inside a transaction KEYS and SELECT are queued on each node they reach, and the template's
 * queue gets one group entry for the call (transaction.h): EXEC joins KEYS's lists in node
 * order and gives SELECT one result, as outside a transaction.
 *
 * Engine side, one request, no lock; nothing is owned past the call.
 */
#ifndef KELVO_CLUSTER_NODEWIDE_H
#define KELVO_CLUSTER_NODEWIDE_H

#include "cluster/cluster.h"

#include <cstddef>

struct kelvoReply;

/*
 * The request written to every node of `nodes` before any reply is read, so the servers work at
 * once; then one reply read from each into `replies` (null where that node failed: its link is
 * discarded, its error kept). Nodes are readied quietly; no request is sent twice. The number
 * of nodes that failed.
 */
size_t kelvoClusterSendToNodes(kelvoClusterObject *cobj, const zend_long *nodes, size_t count, rrc *req,
                               kelvoReply **replies);

/* keys(pattern): the keys of every primary, the first primary's first. */
void kelvoClusterKeysCommand(zend_execute_data *execute_data, zval *return_value);
/* select(db) on every node; a refusal by one gives every node back the previous database. */
void kelvoClusterSelectCommand(zend_execute_data *execute_data, zval *return_value);
/* subscribe, psubscribe, ssubscribe and their unsubscribe counterparts. */
void kelvoClusterSubscribeCommand(zend_execute_data *execute_data, zval *return_value, int cmd);

#endif
