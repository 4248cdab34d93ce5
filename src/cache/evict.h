/*
 * The periodic tasks and eviction. No timer runs: whichever worker is
 * active runs the tasks at request end and while readying a link, at most
 * once per 50 ms plus a per-process offset; each task is claimed between
 * processes by compare-and-swap on its own shared timestamp, so each runs
 * about once per 50 ms across the process tree.
 *
 * Tasks in order: the shared table's expiry sweep, folding this process's
 * counters, the request-rate sample, collection of consumed invalidation
 * messages, eviction, the epoch poll, the reserve-map refill, and the
 * "CRON" log lines.
 *
 * Eviction keeps the arena below kelvo.maxmemory_pct: a run evicts pass
 * after pass (at most 32 entries each) while the arena stays above the
 * threshold and what the last pass retired was actually freed, so a fast
 * fill is met and retired memory still seen by readers is not evicted
 * twice over; a pass that finds nothing to evict ends the run. Entries that
 * can never be served again (stale, or their lease raised) go first, and
 * are reclaimed under "noeviction" too.
 *
 * Shared words: the eviction flag and the epoch poller hold the process id
 * of their holder; a holder that died is taken over. Sampling reads sets
 * without their locks inside this process's read section; each removal
 * takes one database lock. Engine-free.
 */
#ifndef KELVO_EVICT_H
#define KELVO_EVICT_H

#include <cstddef>
#include <cstdint>

#include "cache/cache.h"
#include "runtime/cfgvals.h"

constexpr uint64_t KELVO_MAX_SAMPLE_KEYS = 256;
constexpr size_t KELVO_EVICTION_POOL = 32;
/* Microseconds between two runs of a task across the process tree (the claim needs more than this less one). */
constexpr uint64_t KELVO_TASK_INTERVAL = 50000;

/* One sampled entry. */
struct kelvoEvictionCandidate {
    rdb *set;
    kelvoCacheEntry *entry;
    uint32_t db;
    uint32_t atime;
    bool invalid; // stale, or its lease no longer shows its token
};

/* What the layers above plug in at start-up (null: skipped). */
struct kelvoPeriodicHooks {
    void (*foldStats)(void);                       // this process's counters into the shared ones
    uint64_t (*invalidationsGC)(uint64_t nowUsec); // consumed messages freed
    void (*logSignals)(void);                      // the "CRON STATS - SIGNALS" line
    void (*tableGC)(uint64_t nowUsec);             // the shared table's expiry sweep
};
extern kelvoPeriodicHooks kelvoPeriodic;

/*
 * Runs the tasks that are due (`nowUsec`, wall-clock microseconds, never
 * 0). The caller is outside any read section. Needs the shared root.
 */
void kelvoRunPeriodicTasks(uint64_t nowUsec);
/* True when this process's own interval since its last run has passed. */
bool kelvoPeriodicTasksDue(uint64_t nowUsec);

/*
 * One eviction pass: up to KELVO_EVICTION_POOL entries chosen by `policy`
 * among `nkeys` (1 .. KELVO_MAX_SAMPLE_KEYS) samples per database. Under
 * KELVO_EVICTION_NONE only entries that can never be served again are
 * taken. How many entries were removed.
 */
size_t kelvoEvictKeys(uint64_t nkeys, uint32_t policy);

/*
 * Evicts while the arena is at or above `threshold` bytes in use, as
 * described above; how many entries were removed. The caller holds the
 * eviction flag and is outside any read section.
 */
size_t kelvoEvictToThreshold(uint64_t threshold, uint64_t nkeys, uint32_t policy);

/* The arena bytes at which eviction starts: kelvo.maxmemory_pct of the arena. */
uint64_t kelvoEvictionThreshold(void);

/* The endpoints in random order (malloc'ed; the caller frees it), and their number. */
kelvoEndpoint **kelvoGetShuffledEndpoints(size_t *count);

/*
 * Up to `n` candidates of database `db` of `set`, from a random place of its
 * set, jumping a random number of slots after each; every entry when it
 * holds no more than `n`. The caller is inside a read section.
 */
size_t kelvoDBSampleKeys(kelvoEvictionCandidate *dst, rdb *set, uint32_t db, size_t n);

/* Checked conversions of a stored policy number (above 2 is fatal). */
uint32_t kelvoEvictionPolicyToInt(kelvoEvictionPolicy policy);
kelvoEvictionPolicy kelvoEvictionPolicyFromInt(uint32_t value);

/* Mean requests per second over the last 16 samples. */
uint64_t kelvoRequestRate(void);

/* Takes the eviction flag for this process (a dead holder's is taken over); false when another holds it. */
bool kelvoEvictionFlagTake(uint64_t nowUsec);
void kelvoEvictionFlagGive(void);

#endif
