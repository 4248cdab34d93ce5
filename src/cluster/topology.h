/*
 * The cluster's topology: reading CLUSTER SHARDS and CLUSTER SLOTS replies into a plain
 * topology record, applying one to a cluster object (nodes are only appended, so indexes stay
 * valid), the per-process slot cache that lets a later object of the same seeds start without
 * discovery, the shared generation that makes every process's slot caches stale at once, and
 * the shared stack of the sketches that objects built from the same seeds count in.
 *
 * Owns: a parsed topology owns its strings (request memory) until released; a slot-cache record
 * lives in persistent memory under the resource type "Kelvo cluster slots cache"; sketch-stack
 * entries live in the arena for its whole life. The generation and the stack head are the only
 * shared words: the generation is raised with an atomic add and read plainly, the stack is
 * pushed by compare-and-swap and never popped.
 */
#ifndef KELVO_CLUSTER_TOPOLOGY_H
#define KELVO_CLUSTER_TOPOLOGY_H

#include "cluster/cluster.h"

#include <cstdint>

struct kelvoReply;
struct kelvoCms;

/* One node of a topology reply. */
struct kelvoTopoNode {
    zend_string *host;     /* where to connect: the endpoint, else the host of the node asked */
    zend_string *ip;       /* another name of the same node, or null */
    zend_string *hostname; /* another name of the same node, or null */
    zend_long port;
    int64_t primary; /* index of its primary in the topology; -1 for a primary */
    uint8_t flags;   /* KELVO_NODE_PRIMARY, or KELVO_NODE_UNHEALTHY for a replica not "online" */
};

/* A whole topology: every slot's owner is an index below `count`, or -1. */
struct kelvoTopology {
    kelvoTopoNode *nodes;
    uint32_t count;
    uint32_t capacity;
    int32_t slots[kelvoClusterSlotCount];
};

void kelvoTopologyInit(kelvoTopology *topo);
void kelvoTopologyRelease(kelvoTopology *topo);
/* True when every slot has an owner. */
bool kelvoTopologyCovered(const kelvoTopology *topo);

/*
 * A CLUSTER SHARDS reply into `topo` (initialised, empty). `askedHost` stands in for an empty
 * endpoint; `tls` reads a node's "tls-port" (falling back to "port"). 0, or -1 for a reply of
 * another shape (topo left empty for the caller to release).
 */
int kelvoTopologyFromShards(kelvoTopology *topo, const kelvoReply *reply, zend_string *askedHost, bool tls);
/* The same for a CLUSTER SLOTS reply. */
int kelvoTopologyFromSlots(kelvoTopology *topo, const kelvoReply *reply, zend_string *askedHost);

/*
 * Applies a covering topology to the object: nodes it does not know are created (scheme of the
 * cluster) and appended, known ones get the flags the topology gives them, every primary's
 * replicas and every slot's owner are set. An owner that changes drops the old owner's cached
 * entries and raises the shared generation. 0, or -1 when a node could not be created (the
 * object keeps what was applied before).
 */
int kelvoClusterApplyTopology(kelvoClusterObject *cobj, const kelvoTopology *topo);

/*
 * Reads the topology from the node at `idx` (synchronised quietly) with CLUSTER SHARDS, or
 * CLUSTER SLOTS before 7.0.0, into `topo`. 0 with a covering topology, -1 otherwise.
 */
int kelvoClusterReadTopology(kelvoClusterObject *cobj, kelvoClusterNode *node, kelvoTopology *topo);

/*
 * After a node could not be reached or a slot has no owner: drops every slot-cache record of the
 * cluster and reads the topology again from another known node (one whose view no longer gives
 * slots to the failed node, when there is one), at most once per 250 ms for all objects of the
 * seed list in this process. Within that period: -1, or with `wait` after sleeping out the rest
 * of it (nodes learn a failover one after the other: a command that must go on asks again rather
 * than fail on a view taken a moment too early). 0 when a topology was applied.
 */
int kelvoClusterRefreshTopology(kelvoClusterObject *cobj, zend_long failedIdx, bool wait);

/* Drops this process's slot-cache record of the object; whether one was deleted. */
bool kelvoClusterClearSlotCache(kelvoClusterObject *cobj);
/* Copies the zones the nodes' servers reported into the object's slot-cache record. */
void kelvoClusterSaveZones(kelvoClusterObject *cobj);
/* Drops the cached entries an old owner holds of a slot and raises the shared generation. */
void kelvoClusterSlotOwnerChanged(kelvoClusterObject *cobj, uint32_t slot, zend_long oldOwner);

/* The shared slot-cache generation. */
uint64_t kelvoGetClusterCacheGeneration();

/* Registers the resource type of slot caches (MINIT). */
void kelvoClusterRegisterSlotCache(int moduleNumber);
extern int le_slots_cache;

#endif
