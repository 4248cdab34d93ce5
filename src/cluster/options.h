/*
 * Options of a Kelvo\Cluster: the distribute and failover modes of the object (and the legacy
 * option that sets both), and every client option, which the template and each node share.
 * Owns nothing; one process, one request thread.
 */
#ifndef KELVO_CLUSTER_OPTIONS_H
#define KELVO_CLUSTER_OPTIONS_H

#include "cluster/cluster.h"

/* Cluster-only option ids (the OPT_* class constants of Kelvo\Cluster). */
constexpr zend_long KELVO_OPT_REPLICA_FAILOVER = 5;
constexpr zend_long KELVO_OPT_DISTRIBUTE = 16;
constexpr zend_long KELVO_OPT_FAILOVER = 17;

/* Values of the legacy OPT_REPLICA_FAILOVER, each a (distribute, failover) pair. */
enum kelvoLegacyFailover : int32_t {
    KELVO_LEGACY_FAILOVER_NONE = 0,
    KELVO_LEGACY_FAILOVER_ERROR = 1,
    KELVO_LEGACY_FAILOVER_DISTRIBUTE = 2,
    KELVO_LEGACY_FAILOVER_DISTRIBUTE_REPLICAS = 3,
};

/*
 * One option: 0 applied, -1 refused (with the option's warning, or an exception from a client
 * option's setter). A client option goes to the template and then to every node; a node that
 * refuses it makes the result -1 without undoing the others.
 */
int kelvoClusterSetOption(kelvoClusterObject *cobj, zend_long option, zval *value);
/* Reads one option into `out`: 0, or -1 (the legacy option has no value for the current pair). */
int kelvoClusterGetOption(kelvoClusterObject *cobj, zend_long option, zval *out);

#endif
