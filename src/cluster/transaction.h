/*
 * Transactions of Kelvo\Cluster: one MULTI block per node that a command of the transaction
 * reaches, and on the template a flat queue with one entry per call that says where its
 * result comes from. EXEC runs the nodes that hold a watch first, so that a watch broken on
 * any node aborts the whole transaction, and puts every node's results back into call order.
 *
 * Template queue entries are all KELVO_MULTI_VALUE: an integer names the one node a command
 * was queued on; an array [command id, [node, ...], [part data, ...] or null] is one call
 * spread over several nodes (a command split per slot, KEYS or SELECT on every node), folded
 * at EXEC as the same call is outside a transaction. Every entry reads only from the nodes it
 * names.
 *
 * Owns nothing past a call: the per-node state lives in the node's mode word and flags.
 */
#ifndef KELVO_CLUSTER_TRANSACTION_H
#define KELVO_CLUSTER_TRANSACTION_H

#include "cluster/cluster.h"

#include <cstddef>

/*
 * The node joins the open transaction: MULTI on its first command. A node that joined and
 * is no longer in MULTI lost its link meanwhile: the whole transaction is aborted. 0, or -1
 * with the failure thrown and the transaction aborted.
 */
int kelvoClusterJoinTransaction(kelvoClusterObject *cobj, zend_long idx);

/* One command queued on node `idx`: its entry on the template. */
void kelvoClusterQueueNode(kelvoClusterObject *cobj, zend_long idx);

/*
 * The node entries queued since `from` (the template queue's count before the call) become
 * one entry folded as command `cmd` folds outside a transaction: DEL and UNLINK sum, MSET is
 * true when every part is, MSETNX maps each part's keys to its result, MGET puts each part's
 * values at their positions, KEYS joins the lists; any other id reads as one result for the
 * whole call (the first failure, else the first part's result). `parts` (taken over; may be
 * undefined) holds per part the MGET positions or the MSETNX keys.
 */
void kelvoClusterQueueGroup(kelvoClusterObject *cobj, size_t from, int32_t cmd, zval *parts);

/* Whether `idx` is in the open transaction (a node-wide command's MULTI queueing reads it). */
bool kelvoClusterNodeJoined(const kelvoClusterObject *cobj, zend_long idx);

#endif
