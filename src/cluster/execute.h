/*
 * The road of one Kelvo\Cluster command: the request is built on the template with the
 * single-server builders and cached-read roles, routed by the slot of its first argument (or
 * by its routing callback), answered from the shared cache where it may be, sent through the
 * single-server send loop of its node, and followed through MOVED and ASK redirections, node
 * failures (failover or a topology refresh) and per-slot splits; inside a transaction each
 * command is queued on its node instead and nothing is followed.
 *
 * Owns nothing past a call: sub-commands, query sets and failover strategies live in request
 * memory for the call. The shared cache is read through the node's roles inside their own read
 * sections; the key-lease generation is the only shared word written here.
 */
#ifndef KELVO_CLUSTER_EXECUTE_H
#define KELVO_CLUSTER_EXECUTE_H

#include "cluster/cluster.h"
#include "catalog/cmdinfo.h"
#include "commands/commands.h"

/* Redirections and topology re-routes one command follows before it gives up. */
constexpr int kelvoClusterMaxRedirections = 16;

/*
 * The back half of a command: sends `req` (or answers `rqs` from the cache) on node `node`,
 * follows what the cluster answers, splits a split row's keys per slot, and makes the return
 * value. 0, or -1 with false in `return_value` after the failure was thrown or recorded on the
 * template.
 */
int kelvoClusterProcessCommand(zval *return_value, kelvoQuerySet *rqs, rrc *req, const kelvoCommandInfo *row,
                               const kelvoClusterCommandEntry *route, zend_long node, kelvoClusterObject *cobj);

/*
 * Applies a MOVED or ASK error: the target node (created when unknown), `*slot` the slot it
 * names, `*ask` whether it was ASK (the slot map is then left as it is). 0 when it was one,
 * -1 when the reply is no redirection or its target is unusable.
 */
int kelvoClusterHandleRedirectionError(const kelvoReply *err, uint32_t *slot, zend_long *target, bool *ask,
                                       const redisInfo *replied, kelvoClusterObject *cobj);

/*
 * "host:port" of a redirection split at its last colon (an IPv6 address keeps its own): the
 * host's length and the port, or false for a port that is not 1 to 65535 or text after it.
 */
bool kelvoClusterSplitAddress(const char *addr, size_t len, size_t *hostLen, zend_long *port);

/*
 * Sends a request queued inside the cluster's transaction on node `idx` and reads its "QUEUED":
 * 0, or -1 after the failure was reported on the template and the transaction discarded.
 */
int kelvoClusterSendQueued(kelvoClusterObject *cobj, zend_long idx, rrc *req);

/* Inside a transaction that failed: DISCARD on every node that joined it; exec() then answers false. */
void kelvoClusterAbortTransaction(kelvoClusterObject *cobj);

#endif
