/*
 * The index of the shared cache: endpoints (one per server identity), their
 * cached database sets (`rdb`, one entry set and one lock per logical
 * database), cache entries, lookups, stores, removals and flushes.
 *
 * Owns, in the arena: the endpoint set of the root's cache part (built with
 * the key-lease table and the reserve maps by kelvoCacheInitRoot), every
 * endpoint and `rdb` (published once, never freed while the arena lives),
 * every entry (freed only through the epoch's deferred-free lists, with its
 * value), and the reserve maps a flush falls back on when the heap is full.
 *
 * Set conventions: every set is a ck_rhs set in object mode whose objects
 * point at a kelvoKeyPair; callers hash keys with the root's seed (XXH3-64)
 * and pass hash and a key pair built on the stack.
 *
 * Locks: readers (lookups, walks) take none and stay inside an epoch
 * section. Every change of one logical database of an `rdb` (store,
 * removal, stale mark, flush) holds that database's lock; a lock whose
 * holder died is taken over and its database rebuilt empty with every lease
 * writing to the `rdb` raised. The root lock (a spin lock) guards insertion
 * into the endpoint set. Writer counts, `rdb` counts and list pushes are
 * compare-and-swap. Attaching and detaching change a lease, a writer count
 * and the caller's record of it together: callers block termination
 * signals around them. Engine-free.
 */
#ifndef KELVO_CACHE_H
#define KELVO_CACHE_H

#include <cstddef>
#include <cstdint>

#include "shm/ck_shim.h"
#include "shm/lock.h"

struct rk;
struct kelvoCms;

/* What a set's objects point at: the bytes of a key, its length, and flags (always 0). */
struct kelvoKeyPair {
    const char *bytes;
    uint32_t length;
    uint32_t flags;
};

struct rdb;

/* Write tickets per endpoint; a power of two (keys share a ticket by their hash's low bits). */
constexpr uint32_t KELVO_ENDPOINT_TICKETS = 1024;

struct kelvoEndpoint {
    rdb *rdbs; // newest cached database set; pushed at the head, never shrinks
    /* Server facts, refreshed from INFO at most once a minute by one process. */
    char redis_version[24];
    int64_t used_memory;
    int64_t used_memory_peak;
    int64_t total_system_memory;
    int64_t tracking_total_keys;
    int64_t maxmemory;
    char maxmemory_policy[24];
    uint64_t updated;        // last INFO claim, wall-clock microseconds
    kelvoKeyPair uri;        // what the endpoint set stores; bytes NUL-terminated
    kelvoCms *cms;           // count-min sketch, or null
    uint64_t last_flush;     // last whole-endpoint flushMemory, microseconds; 0 never
    uint64_t *db_last_flush; // the same per logical database
    uint32_t rdb_count;      // sets on the list, at most max_endpoint_dbs
    /* Write tickets by key hash: raised by every local drop and applied invalidation. */
    uint32_t tickets[KELVO_ENDPOINT_TICKETS];
};

struct rdb {
    kelvoEndpoint *ep;
    kelvoLock *locks;    // one per logical database
    uint64_t last_poll;  // last invalidation poll of its writer links, microseconds
    rdb *next;           // next older set of the endpoint
    kelvoCkRhs *sets;    // one entry set per logical database
    uint8_t *visited;    // eviction's scratch marks
    uint32_t flushes;    // endpoint flushes that reached it
    uint32_t last_flush; // seconds of the last of them
    uint32_t writers;    // attached writer links, at most max_db_writers
};

/* The byte a freed entry is filled with. */
constexpr unsigned char KELVO_ENTRY_POISON = 0xDB;

/* Bit 31 of an entry's state: marked stale, never served. */
constexpr int32_t KELVO_ENTRY_STALE = INT32_MIN;

/* One cached key of one logical database; its key bytes and a NUL follow the record. */
struct kelvoCacheEntry {
    kelvoEpochEntry epoch; // filled when the entry is retired
    kelvoKeyPair pair;     // what the database's set stores
    const rk *value;       // shared from publication on: never changed
    uint64_t token;        // lease generation the entry was stored under
    int32_t state;         // 1 at creation; KELVO_ENTRY_STALE set when marked
    uint32_t atime;        // seconds of the last hit
    uint16_t lease;        // the writer's lease handle
};

/* --- the root's cache part ------------------------------------------------- */

/*
 * Builds the endpoint set, the key-lease table and the reserve maps in the
 * root (kelvoInitSharedCache made it with the cache on): 0, or -1 after an
 * error log (no endpoint set, or "Cannot initialize key leases (count: %u)").
 * Fewer reserve maps than asked is no failure: `*reserveMade` says how many
 * were made.
 */
int kelvoCacheInitRoot(uint32_t *reserveMade);

/* XXH3-64 of key bytes with the root's seed. */
uint64_t kelvoCacheHash(const char *key, size_t length);

/* --- endpoints ---------------------------------------------------------------- */

/*
 * The endpoint of an identity URI, created and published on first use: at
 * most one per URI is ever published; a loser of a creation race frees its
 * copy and takes the winner's. Null when out of memory (or the shared state
 * is broken). The process needs an epoch record; the caller is not inside a
 * read section.
 */
kelvoEndpoint *kelvoEndpointGetOrCreate(const char *uri, size_t length);
/* Lookup only, inside its own read section: the endpoint, or null. */
kelvoEndpoint *kelvoEndpointGetEx(const char *uri, size_t length);
kelvoEndpoint *kelvoEndpointGetZStr(const char *uri);
/* Calls `visit` for every published endpoint; the caller is inside a read section. */
void kelvoEndpointForEach(void (*visit)(kelvoEndpoint *ep, void *arg), void *arg);

/*
 * The value of `name` (with its colon) in an INFO text: searched without
 * regard to case, first occurrence; the value runs from after the name to
 * the first CR LF. 0 with `*value`/`*length` set, or -1 when absent (also
 * when no CR LF ends it, or it would start at the text's last byte).
 */
int kelvoGetInfoField(const char **value, size_t *length, const char *text, size_t textLength, const char *name,
                      size_t nameLength);
/* Fills an endpoint's server facts from an INFO text (absent numbers -1, absent or long texts their fallback). */
void kelvoEndpointSetInfo(kelvoEndpoint *ep, const char *text, size_t length);

/* --- attachment ------------------------------------------------------------------ */

enum kelvoAttachResult : int {
    KELVO_ATTACH_DONE = 0,     // lease held, writer of *out
    KELVO_ATTACH_NO_LEASE = 1, // every lease held: handle 0, nothing attached
    KELVO_ATTACH_NO_SET = 2,   // no set had room and none could be made: handle 0xFFFF, lease given back
};

/*
 * Takes a lease and joins a cached database set of `ep` as a writer (an
 * existing one with room, else a new one while the endpoint has fewer than
 * max_endpoint_dbs). With every lease held, or no set with room, the leases
 * and writer places of ended processes are freed first (at most once a
 * second). `*lease` and `*out` are set as the result says. Termination
 * signals are blocked by the caller.
 */
kelvoAttachResult kelvoCacheAttach(kelvoEndpoint *ep, uint16_t *lease, rdb **out);

/*
 * Whether an attachment to `ep` could succeed now: a free lease, and a set
 * with room or room for a set. Shared reads only, for callers that retry
 * often (ended processes' places come back through the periodic search).
 */
bool kelvoCacheMayAttach(const kelvoEndpoint *ep);

/*
 * Gives an attachment back: the lease, and the writer place; with
 * `emptyWhenLast` the last writer to leave empties every database of the
 * set (which stays on its endpoint to be joined again). A set already at 0
 * writers only warns. Termination signals are blocked by the caller.
 */
void kelvoCacheDetach(kelvoEndpoint *ep, rdb *set, uint16_t lease, bool emptyWhenLast);

/*
 * Frees the leases of processes that ended without giving them back, with
 * their writer places; at most once a second across processes (`now`,
 * wall-clock microseconds). Returns how many were freed.
 */
unsigned kelvoCacheReapDeadWriters(uint64_t now);

/* --- entries ---------------------------------------------------------------------- */

/*
 * A new entry for `key` holding `value` (no value is ever built larger than
 * an eighth of the arena), stored under `lease` at `token`, the
 * kelvoLeaseToken read before the request was sent. Null when out of
 * memory: the value stays the caller's then. Otherwise the entry owns it.
 */
kelvoCacheEntry *kelvoCacheEntryCreate(const char *key, size_t length, rk *value, uint16_t lease, uint64_t token);
/* Frees an entry no set ever held, with its value. */
void kelvoCacheEntryFree(kelvoCacheEntry *entry);
/* The epoch callback of a retired entry: frees it and its value. */
void kelvoCacheEntryDestroy(kelvoEpochEntry *epoch);

/*
 * Stores `entry` in logical database `db` of `set`, replacing (and retiring)
 * an entry of the same key. 0, or -1 when refused (the set could not grow,
 * or the database could not be locked): the entry stays the caller's.
 */
int kelvoCacheEntryStore(rdb *set, uint32_t db, kelvoCacheEntry *entry);
/* As kelvoCacheEntryStore, but only when the key is absent: 0 stored, 1 present (not stored), -1 refused. */
int kelvoCacheEntryAdd(rdb *set, uint32_t db, kelvoCacheEntry *entry);
/* Removes and retires the entry of a key: 1 removed, 0 absent, -1 the database could not be locked. */
int kelvoCacheRemove(rdb *set, uint32_t db, const char *key, size_t length);
/* Marks the entry of a key stale: 1 marked, 0 absent, -1 not locked. */
int kelvoCacheMarkStale(rdb *set, uint32_t db, const char *key, size_t length);

/*
 * The servable value of a key in logical database `db` of `ep`: the newest
 * set first, an entry that is not stale, whose lease still shows its token
 * and that has a value. Null otherwise (also for db >= databases). Takes no
 * lock and writes nothing shared except the access time when its second
 * changes; the caller is inside a read section and uses the value only
 * until it leaves it.
 */
const rk *kelvoCacheGetLen(kelvoEndpoint *ep, uint32_t db, const char *key, size_t length);

/* True when `entry` may be served now. */
bool kelvoCacheEntryServable(const kelvoCacheEntry *entry);

/* The next entry of a database (inside a read section, one step per section is fine): false at the end. */
bool kelvoCacheNextEntry(rdb *set, uint32_t db, kelvoCkRhsIterator *iterator, kelvoCacheEntry **entry);
/* Entries in a database now. */
unsigned long kelvoCacheCount(rdb *set, uint32_t db);

/*
 * Moves the write ticket of a key (by its kelvoCacheHash): called for every
 * key a local write drops and every key a push invalidates. A cached read
 * samples the ticket before its request leaves and stores its reply only
 * while the ticket has not moved, so a reply that raced a write is never
 * kept. Full barriers on both sides: a drop that raises after a store looked
 * finds the stored entry.
 */
void kelvoEndpointTicketRaise(kelvoEndpoint *ep, uint64_t keyHash);
uint32_t kelvoEndpointTicket(const kelvoEndpoint *ep, uint64_t keyHash);

/*
 * Marks the entry of a key stale without the database lock (compare-and-swap
 * on its state), looking again until the lookup finds none or the same one,
 * so an entry replaced meanwhile is marked too. Inside a read section: 1
 * marked, 0 absent.
 */
int kelvoCacheMarkStaleShared(rdb *set, uint32_t db, const char *key, size_t length, uint64_t hash);

/* --- flush ---------------------------------------------------------------------------- */

/*
 * Empties logical database `db` of `set`: new readers see it empty at once;
 * the old entries are retired while the old map, walked read-only, is
 * retired last. Without memory for a fresh map a reserve map is installed,
 * without one the entries are removed in place. -1 when the database could
 * not be locked.
 */
int kelvoDBFlush(rdb *set, uint32_t db);
/* Flushes database `db` (-1: all) of every set of `ep` that has writers, stamping its flush count and time. */
int kelvoEndpointFlushEx(kelvoEndpoint *ep, int32_t db);

#endif
