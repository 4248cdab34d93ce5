/*
 * Kelvo\Cluster\FullscanGenerator: a foreach over every key of the cluster, one SCAN page per
 * step, primary after primary. The generator keeps the cluster's layout as it found it (each
 * primary's own view of its slots) and compares it at every change of node and at the end: a
 * slot that moved or a migration under way may have carried keys behind the scan, so the scan
 * throws rather than end short. A node whose connection changed between two pages is scanned
 * again from its start (keys may come twice, never not at all).
 *
 * Owns: per generator, the current page, its text cursor "node.cursor", a reference to the
 * cluster object, the options array and the layout it started with; request memory.
 */
#ifndef KELVO_CLUSTER_FULLSCAN_H
#define KELVO_CLUSTER_FULLSCAN_H

#include "cluster/cluster.h"

#include <cstdint>

/* What a full scan remembers beside its cursor. */
struct kelvoFullscanWatch {
    zend_long *primaries; /* the nodes to visit, in node order, as the scan began */
    uint32_t count;
    zend_string *layout; /* the primaries' own views of their slots as the scan began */
    uint64_t serial;     /* the connection the current node's cursor came from */
};

void kelvoFullscanWatchRelease(kelvoFullscanWatch *watch);

/*
 * One step: the next page of keys in `batch`, `cursor` moved on (the empty string starts the
 * scan, null after the last page). 0, or -1 after an exception was thrown.
 */
int kelvoClusterFullScan(zval *batch, zval *cursor, zval *options, kelvoClusterObject *cobj, kelvoFullscanWatch *watch);

/* A new generator over `cluster` with the options "match", "count" and "type" in `options`. */
void kelvoClusterNewFullscanGenerator(zval *return_value, zend_object *cluster, zval *options);

/* The generator's handlers (MINIT, after the class is registered). */
void kelvoClusterRegisterFullscanGenerator(zend_class_entry *ce);

#endif
