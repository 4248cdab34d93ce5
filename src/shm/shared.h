/*
 * The shared root kelvoSharedData: the first allocation in the arena,
 * 64-byte aligned and zero-filled, reached by every process through one
 * inherited pointer.
 *
 * Owns the root's layout and its construction at start-up
 * (kelvoInitSharedCache): the hash seed, the global epoch with its
 * deferred-free record and the pool of reader records. The other parts
 * (invalidation queues, endpoint set, key leases, table namespaces, reserve
 * maps, statistics) are laid out here and filled by their own components
 * (the cache's by kelvoCacheInitRoot); until then they stay zero.
 *
 * Locks: the root lock in the cache part is always a spin lock (the zero fill
 * makes it one); nothing here takes it. Engine-free.
 */
#ifndef KELVO_SHARED_H
#define KELVO_SHARED_H

#include <cstddef>
#include <cstdint>

#include "shm/ck_shim.h"
#include "shm/lock.h"

/* A list head swapped as one 16-byte pair with a double-width compare-and-swap. */
struct alignas(16) kelvoCasList {
    void *head;
    uint64_t changes;
};
static_assert(sizeof(kelvoCasList) == 16 && alignof(kelvoCasList) == 16,
              "a list head is one operand of a double-width compare-and-swap");

struct kelvoInvalidationQueue;

struct kelvoSharedInvalidations {
    kelvoCasList free_queues;       // queues no process has attached
    kelvoCasList consumed;          // consumed message nodes
    kelvoInvalidationQueue *queues; // the block of queues
    uint64_t gc_time;               // last message collection, microseconds
    uint64_t queue_count;
};

struct kelvoSharedCache {
    kelvoCkEpoch epoch;        // the global epoch
    kelvoEpochRecord deferred; // pending lists of retired objects, all processes
    kelvoEpochRecord *readers; // pool of initial_readers records
    kelvoCkRhs endpoints;      // endpoint set
    uint32_t endpoint_count;
    kelvoLock lock; // the root lock (spin: zero-filled)
    uint32_t databases;
    uint64_t evict_time; // periodic-task claims, microseconds
    uint64_t epoch_poll_time;
    uint32_t evicting; // process running an eviction pass, 0 none
    uint32_t max_endpoint_dbs;
    uint64_t seed; // seed of every keyed XXH3 hash
};

struct kelvoSharedTables {
    uint64_t items; // shared-table items, expired ones not yet swept included
    uint64_t bytes; // their accounted bytes
    kelvoCkRhs namespaces;
    uint64_t namespace_changes; // odd while the namespace set changes
    uint64_t sweep_namespace;   // where the expiry sweep goes on: namespace-set offset
    uint64_t sweep_item;        // and item offset in that namespace
    uint64_t sweep_time;
    uint64_t log_time;
    uint64_t read_token_warning_time;
    uint64_t memory_flush_time;
    uint64_t slot_cache_generation;
};

struct kelvoLeaseSlot;

/* The key-lease table (cache/keylease.h). */
struct kelvoLeaseTable {
    kelvoLeaseSlot *slot;
    uint16_t slots;
    uint16_t free_slots;
    uint64_t reap_time;     // last search for dead holders, microseconds
    uint64_t liveness_time; // last check of armed holders, microseconds
};

struct kelvoTaskCounters {
    uint64_t evicted;
    uint64_t messages_freed;
    uint64_t productive_polls;
};

constexpr int KELVO_SHARED_STATS = 31;

struct kelvoRequestCounters {
    uint32_t total;
    uint32_t active;
    uint32_t peak;
};

struct kelvoReserveMapList {
    void *head;
    uint32_t busy; // process holding the list, 0 none
    uint64_t map_bytes;
    uint64_t map_entries;
    uint64_t count;
    uint64_t target;
    uint64_t refill_time;
};

/* What the periodic tasks keep between runs (cache/evict.h). */
struct kelvoPeriodicState {
    uint64_t rate[16];      // requests per second, one sample a second
    uint64_t rate_time;     // time of the last sample, microseconds
    uint64_t rate_requests; // requests counted at the last sample
    uint32_t rate_next;     // slot of the next sample
    uint32_t poller;        // process polling the epoch, 0 none
    uint64_t evict_started; // when `evicting` was taken, microseconds
    uint32_t reporters;     // write reporters numbered so far (cache/cms.h)
};

/* The cluster client's sketches, one per seed list (cluster/topology.cc): pushed by compare-and-swap, never popped. */
struct kelvoClusterSketchStack {
    void *head;
    uint64_t count;
};

struct alignas(64) kelvoSharedRoot {
    kelvoSharedInvalidations invalidations;
    kelvoSharedCache cache;
    kelvoSharedTables tables;
    kelvoLeaseTable leases;
    kelvoTaskCounters tasks;
    uint64_t stats[KELVO_SHARED_STATS];
    kelvoRequestCounters requests;
    kelvoReserveMapList reserve;
    kelvoPeriodicState periodic;
    kelvoClusterSketchStack cluster_sketches;
};
static_assert(alignof(kelvoSharedRoot) == 64, "the root is a 64-byte aligned block (kelvoShMallocAligned64)");
static_assert(offsetof(kelvoSharedRoot, cache) % 64 == 0 && offsetof(kelvoSharedCache, deferred) % 64 == 0,
              "the global epoch's deferred-free record starts its own cache line");

/* The root of this process tree, or null before start-up (and when it failed). */
extern kelvoSharedRoot *kelvoSharedData;

/*
 * Builds the root in the active arena from kelvoCfgVals (fatal unless it is
 * initialized): always the zeroed root; with the cache on also the hash
 * seed, drawn from the kernel's random source so that no one can aim keys at
 * one probe chain, the epoch and the reader pool. 0, or -1 after an error
 * log; on -1 nothing of the root is left and the caller removes the arena.
 */
int kelvoInitSharedCache(void);
/* Fills `out` from the kernel's random source (getrandom): 0, or -1 with errno set. */
int kelvoKernelRandom(void *out, size_t length);
/* Frees the root and what it owns back into the heap (the arena stays). */
void kelvoFreeSharedCache(void);

/* The arena's start-up and shutdown in the engine, and the lock kinds of kelvo.locks.*: arena.h. */

/* Parts of the root; a missing root is fatal. */
kelvoSharedInvalidations *kelvoInvalidations(void);
kelvoSharedCache *kelvoCache(void);
kelvoLeaseTable *kelvoLeases(void);
uint64_t *kelvoSharedStatPtr(void);
kelvoReserveMapList *kelvoReserveMaps(void);

/* True when this process may use the shared cache: it is on, the root exists, and no lock holder died. */
inline bool kelvoCacheUsable(void) { return kelvoCfgVals.enabled && kelvoSharedData && !kelvoSharedStateBroken(); }

#endif
