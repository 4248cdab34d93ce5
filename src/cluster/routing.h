/*
 * The routing callbacks of Kelvo\Cluster: the commands that do not go to the node of their
 * first argument's slot parse their method's arguments themselves, append the request's
 * arguments after the command name and name the node: server-wide commands directed at one
 * node by a key or an address, the scans whose cursor lives in the caller's variable, and
 * COMMAND and OBJECT. The catalogue's cluster column names the callback of each row
 * (routing_callbacks.h holds their prototypes).
 *
 * A callback answers 0, or -1 after the engine's parameter error or one E_WARNING (or, for an
 * address that names no node and for a scan that has ended, silently): then nothing is sent
 * and the method returns false. Engine side, one request, no lock; nothing is owned past the
 * call but what the request holds.
 */
#ifndef KELVO_CLUSTER_ROUTING_H
#define KELVO_CLUSTER_ROUTING_H

#include "cluster/cluster.h"
#include "cluster/routing_callbacks.h"

/*
 * The node `target` names:
 *   a string (any other scalar as its text): a key, with the client's key prefix, and the node
 *     serving its slot (-1 for an uncovered slot, which execution reports);
 *   an array: the host in "host" (else element 0), the port in "port" (else element 1), and the
 *     node known by "host:port".
 * 0 and `*node`; -1 silently for a host and port of no known node; -1 after the E_WARNING
 * "Node must contain host and port" for anything else.
 */
int kelvoClusterDirectedCmdSlot(zval *target, kelvoClusterObject *cobj, zend_long *node);

#endif
