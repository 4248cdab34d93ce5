/*
 * The methods of Kelvo\Cluster that reach more than one node or pin one node for a while: KEYS
 * over every primary that owns slots, SELECT on every node, and the subscribe family on the node
 * that holds the subscriptions.
 *
 * Inside a transaction KEYS and SELECT are queued on each node they reach, and the template's
 * queue gets one entry for the call whose value is the list of those node indexes, in order:
 *   KELVO_MULTI_VALUE with a list (KEYS): one element of each listed node's EXEC reply, their
 *     keys joined in list order into one list;
 *   KELVO_MULTI_NODE with a list (SELECT): one element of each listed node's reply, the first
 *     node's standing for all.
 *
 * Engine side, one request, no lock; nothing is owned past the call.
 */
#ifndef KELVO_CLUSTER_NODEWIDE_H
#define KELVO_CLUSTER_NODEWIDE_H

#include "cluster/cluster.h"

/* keys(pattern): the keys of every primary, the first primary's first. */
void kelvoClusterKeysCommand(zend_execute_data *execute_data, zval *return_value);
/* select(db) on every node; a refusal by one gives every node back the previous database. */
void kelvoClusterSelectCommand(zend_execute_data *execute_data, zval *return_value);
/* subscribe, psubscribe, ssubscribe and their unsubscribe counterparts. */
void kelvoClusterSubscribeCommand(zend_execute_data *execute_data, zval *return_value, int cmd);

#endif
