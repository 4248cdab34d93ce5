/* The periodic tasks and eviction. */
#include "cache/evict.h"
#include "cache/keylease.h"
#include "runtime/fatal.h"
#include "runtime/log.h"
#include "shm/epoch.h"
#include "shm/lock.h"
#include "shm/shared.h"
#include "shm/shmalloc.h"

#include <climits>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <vector>

kelvoPeriodicHooks kelvoPeriodic;

namespace {

constexpr uint64_t RATE_INTERVAL = 1000000;
constexpr uint64_t STRIDE_CAP = 128;
/* A run ends after this many passes even while the arena stays full: the next run goes on. */
constexpr size_t MAX_PASSES = 4096;
/* An eviction flag older than this is a holder that hangs; its process is alive, but its pass is over. */
constexpr uint64_t FLAG_STALE_USEC = 10 * 1000000;

/* This process's view of the tasks. */
struct ProcessTasks {
    uint64_t lastRun;
    uint64_t lastFold;
    uint64_t lastEvictCheck;
    uint64_t tableSeen;
    uint64_t pollSeen;
    uint64_t refillSeen;
    uint64_t rateSeen;
    uint64_t lastLog;
    uint32_t cursor = UINT32_MAX; // the random policy's database cursor, drawn on first use
    uint64_t rng;
    uint32_t rngPid;
};
ProcessTasks tasks;

uint32_t pid(void) { return kelvoLockPid(); }

/* xorshift64*, seeded per process from the kernel: forked workers never share a sequence. */
uint64_t randomNext(void)
{
    if (tasks.rngPid != pid() || tasks.rng == 0) {
        uint64_t seed = 0;
        if (kelvoKernelRandom(&seed, sizeof seed) != 0)
            seed = uint64_t(time(nullptr)) * 0x9E3779B97F4A7C15ull;
        tasks.rng = (seed ^ pid()) | 1;
        tasks.rngPid = pid();
    }
    tasks.rng ^= tasks.rng >> 12;
    tasks.rng ^= tasks.rng << 25;
    tasks.rng ^= tasks.rng >> 27;
    return tasks.rng * 0x2545F4914F6CDD1Dull;
}

/* Uniform in [low, high]. */
uint64_t randomRange(uint64_t low, uint64_t high) { return low + randomNext() % (high - low + 1); }

/* A timestamp ahead of now (the wall clock was set back) counts as long past: no task waits for the clock. */
bool elapsed(uint64_t now, uint64_t since, uint64_t interval) { return now < since || now - since >= interval; }

/* Wins the task whose shared timestamp is `shared` when its interval has passed. */
bool claim(uint64_t *shared, uint64_t &seen, uint64_t now, uint64_t interval = KELVO_TASK_INTERVAL)
{
    if (!elapsed(now, seen, interval))
        return false;
    uint64_t last = __atomic_load_n(shared, __ATOMIC_ACQUIRE);
    seen = last;
    if (!elapsed(now, last, interval))
        return false;
    if (!__atomic_compare_exchange_n(shared, &last, now, false, __ATOMIC_ACQ_REL, __ATOMIC_RELAXED))
        return false;
    seen = now;
    return true;
}

kelvoPeriodicState *periodic(void) { return &kelvoSharedData->periodic; }

/* --- sampling ---------------------------------------------------------------------------- */

kelvoEvictionCandidate candidateOf(rdb *set, uint32_t db, kelvoCacheEntry *entry)
{
    return {set, entry, db, __atomic_load_n(&entry->atime, __ATOMIC_RELAXED), !kelvoCacheEntryServable(entry)};
}

/*
 * Walks slots [from, to) of a set, handing `take` an entry and then jumping
 * `stride` slots: a sample touches a few slots, not every entry it skips.
 * False when `take` wanted no more.
 */
template <typename Take>
bool walkFrom(kelvoCkRhs *set, unsigned long from, unsigned long to, uint64_t stride, Take take)
{
    kelvoCkRhsIterator it = {nullptr, from};
    void *object;
    while (it.offset < to && kelvoCkRhsNext(set, &it, &object)) {
        if (it.offset > to)
            break;
        if (!take(object))
            return false;
        it.offset += stride;
    }
    return true;
}

uint64_t pow2AtLeast(uint64_t n)
{
    uint64_t p = 1;
    while (p < n)
        p <<= 1;
    return p;
}

/* --- the pool --------------------------------------------------------------------------- */

struct Pool {
    kelvoEvictionCandidate slot[KELVO_EVICTION_POOL];
    size_t used = 0;
    uint32_t now;

    uint32_t idle(const kelvoEvictionCandidate &c) const
    {
        uint32_t atime = c.invalid ? 0 : c.atime;
        return now > atime ? now - atime : 0;
    }

    /* Kept least idle first; a tie goes on the less idle side of its equals. */
    void merge(const kelvoEvictionCandidate &c)
    {
        uint32_t mine = idle(c);
        size_t k = 0;
        while (k < used && idle(slot[k]) < mine)
            k++;
        bool full = used == KELVO_EVICTION_POOL;
        if (k == 0 && full)
            return;
        if (!full) {
            memmove(&slot[k + 1], &slot[k], (used - k) * sizeof slot[0]);
            slot[k] = c;
            used++;
            return;
        }
        memmove(&slot[0], &slot[1], (k - 1) * sizeof slot[0]);
        slot[k - 1] = c;
    }

    void append(const kelvoEvictionCandidate &c)
    {
        if (used < KELVO_EVICTION_POOL)
            slot[used++] = c;
    }
};

void sampleLru(Pool &pool, kelvoEndpoint **eps, size_t count, uint64_t nkeys, bool invalidOnly)
{
    std::vector<kelvoEvictionCandidate> buffer(nkeys);
    uint32_t databases = kelvoCache()->databases;
    for (size_t e = 0; e < count; e++) {
        for (uint32_t db = 0; db < databases; db++) {
            for (rdb *set = __atomic_load_n(&eps[e]->rdbs, __ATOMIC_ACQUIRE); set; set = set->next) {
                size_t got = kelvoDBSampleKeys(buffer.data(), set, db, nkeys);
                for (size_t i = 0; i < got; i++) {
                    if (!invalidOnly || buffer[i].invalid)
                        pool.merge(buffer[i]);
                }
            }
        }
    }
}

void sampleRandom(Pool &pool, kelvoEndpoint **eps, size_t count, uint64_t nkeys)
{
    size_t target = nkeys < KELVO_EVICTION_POOL ? nkeys : KELVO_EVICTION_POOL;
    uint32_t databases = kelvoCache()->databases;
    if (tasks.cursor == UINT32_MAX)
        tasks.cursor = uint32_t(randomRange(0, databases - 1));
    size_t pairs = 0;
    for (size_t e = 0; e < count; e++) {
        for (rdb *set = __atomic_load_n(&eps[e]->rdbs, __ATOMIC_ACQUIRE); set; set = set->next) {
            memset(set->visited, 0, databases);
            pairs += databases;
        }
    }
    kelvoEvictionCandidate buffer[KELVO_EVICTION_POOL];
    size_t visits = 0;
    while (pool.used < target && visits < pairs) {
        size_t before = visits;
        for (size_t e = 0; e < count && pool.used < target; e++) {
            for (rdb *set = __atomic_load_n(&eps[e]->rdbs, __ATOMIC_ACQUIRE); set && pool.used < target;
                 set = set->next) {
                uint32_t db = UINT32_MAX;
                for (uint32_t look = 0; look < databases; look++) {
                    uint32_t at = tasks.cursor++ % databases;
                    if (!set->visited[at]) {
                        db = at;
                        break;
                    }
                }
                if (db == UINT32_MAX)
                    continue;
                set->visited[db] = 1;
                visits++;
                size_t got = kelvoDBSampleKeys(buffer, set, db, target - pool.used);
                for (size_t i = 0; i < got; i++)
                    pool.append(buffer[i]);
            }
        }
        if (visits == before)
            break;
    }
}

size_t evictPool(const Pool &pool)
{
    size_t evicted = 0;
    for (size_t i = 0; i < pool.used; i++) {
        const kelvoEvictionCandidate &c = pool.slot[i];
        const kelvoKeyPair &key = c.entry->pair;
        kelvoShLog(KELVO_LL_DEBUG, "EVICTION[%zu]:  %.*s, rdb: %lx, db: %u, lru: %u", i, int(key.length), key.bytes,
                   reinterpret_cast<unsigned long>(c.set), c.db, pool.idle(c));
        if (kelvoCacheRemove(c.set, c.db, key.bytes, key.length) == 1)
            evicted++;
    }
    return evicted;
}

/* Frees what was retired when no reader still sees it: true when nothing retired before the call is left. */
bool pollRetired(unsigned pendingBefore)
{
    if (!kelvoOwnerTake(&periodic()->poller))
        return false;
    for (int i = 0; i < 3 && kelvoGlobalEpochPending() > pendingBefore; i++) {
        if (kelvoGlobalEpochPoll())
            __atomic_fetch_add(&kelvoSharedData->tasks.productive_polls, 1, __ATOMIC_RELAXED);
    }
    bool freed = kelvoGlobalEpochPending() <= pendingBefore;
    kelvoOwnerGive(&periodic()->poller);
    return freed;
}

/* --- the tasks ---------------------------------------------------------------------------------- */

void sweepTables(uint64_t now)
{
    if (!claim(&kelvoSharedData->tables.sweep_time, tasks.tableSeen, now))
        return;
    if (!kelvoCacheUsable())
        return;
    if (kelvoGlobalEpochInit() != 0) {
        kelvoShLog(KELVO_LL_WARNING, "Failed to retrieve read record (possible OOM)");
        return;
    }
    if (!kelvoPeriodic.tableGC)
        return;
    kelvoGlobalEpochBegin();
    kelvoPeriodic.tableGC(now);
    kelvoGlobalEpochEnd();
}

void foldStats(uint64_t now)
{
    if (!elapsed(now, tasks.lastFold, KELVO_TASK_INTERVAL))
        return;
    tasks.lastFold = now;
    if (kelvoPeriodic.foldStats)
        kelvoPeriodic.foldStats();
}

void sampleRate(uint64_t now)
{
    kelvoPeriodicState *state = periodic();
    uint64_t last = __atomic_load_n(&state->rate_time, __ATOMIC_ACQUIRE);
    if (!claim(&state->rate_time, tasks.rateSeen, now, RATE_INTERVAL))
        return;
    uint64_t requests = __atomic_load_n(&kelvoSharedData->stats[0], __ATOMIC_RELAXED);
    uint64_t before = __atomic_exchange_n(&state->rate_requests, requests, __ATOMIC_RELAXED);
    /* The first claim only sets the baseline. */
    if (last == 0 || now <= last)
        return;
    uint64_t sample = requests > before ? (requests - before) * 1000000 / (now - last) : 0;
    uint32_t slot = __atomic_fetch_add(&state->rate_next, 1, __ATOMIC_RELAXED) % 16;
    __atomic_store_n(&state->rate[slot], sample, __ATOMIC_RELAXED);
}

void collectMessages(uint64_t now)
{
    if (!kelvoPeriodic.invalidationsGC)
        return;
    if (uint64_t freed = kelvoPeriodic.invalidationsGC(now))
        __atomic_fetch_add(&kelvoSharedData->tasks.messages_freed, freed, __ATOMIC_RELAXED);
}

void checkEviction(uint64_t now)
{
    uint32_t policy = kelvoEvictionPolicyToInt(kelvoEvictionPolicyFromInt(kelvoCfgVals.eviction_policy));
    if (!kelvoCacheUsable() || !elapsed(now, tasks.lastEvictCheck, KELVO_TASK_INTERVAL))
        return;
    tasks.lastEvictCheck = now;
    uint64_t seen = 0;
    if (!claim(&kelvoCache()->evict_time, seen, now))
        return;
    uint64_t threshold = kelvoEvictionThreshold();
    if (kelvoShUsed() < threshold || !kelvoEvictionFlagTake(now))
        return;
    size_t evicted = kelvoEvictToThreshold(threshold, kelvoCfgVals.eviction_sample_keys, policy);
    kelvoEvictionFlagGive();
    if (evicted)
        __atomic_fetch_add(&kelvoSharedData->tasks.evicted, evicted, __ATOMIC_RELAXED);
}

void pollEpoch(uint64_t now)
{
    if (!kelvoCacheUsable() || !claim(&kelvoCache()->epoch_poll_time, tasks.pollSeen, now))
        return;
    if (!kelvoOwnerTake(&periodic()->poller))
        return;
    if (kelvoGlobalEpochPoll())
        __atomic_fetch_add(&kelvoSharedData->tasks.productive_polls, 1, __ATOMIC_RELAXED);
    kelvoOwnerGive(&periodic()->poller);
}

void refillReserve(uint64_t now)
{
    if (!kelvoCacheUsable() || !claim(&kelvoReserveMaps()->refill_time, tasks.refillSeen, now))
        return;
    kelvoReserveMapsRefill();
}

void logLines(uint64_t now)
{
    if (!kelvoCfgVals.log_fp || kelvoCfgVals.log_level >= KELVO_LL_NONE)
        return;
    uint64_t interval = 1000000 + (pid() & 1023);
    if (!claim(&kelvoSharedData->tables.log_time, tasks.lastLog, now, interval))
        return;
    if (!kelvoLogLevelEnabled(KELVO_LL_NOTICE))
        return;
    kelvoTaskCounters *c = &kelvoSharedData->tasks;
    uint64_t polls = __atomic_exchange_n(&c->productive_polls, 0, __ATOMIC_RELAXED);
    uint64_t messages = __atomic_exchange_n(&c->messages_freed, 0, __ATOMIC_RELAXED);
    uint64_t evicted = __atomic_exchange_n(&c->evicted, 0, __ATOMIC_RELAXED);
    kelvoShLog(KELVO_LL_NOTICE, "CRON TASKS - GC(keys): %lu; GC(msg): %lu, EVICTED: %lu keys",
               static_cast<unsigned long>(polls), static_cast<unsigned long>(messages),
               static_cast<unsigned long>(evicted));
    const uint64_t *stats = kelvoSharedData->stats;
    uint64_t hits = stats[1], misses = stats[2];
    kelvoShLog(KELVO_LL_NOTICE, "CRON  PROC - hits/miss: %lu/%lu (%02.2f%%), oom: %lu, errors: %lu",
               static_cast<unsigned long>(hits), static_cast<unsigned long>(misses),
               hits + misses ? double(hits) * 100 / double(hits + misses) : 0.0, static_cast<unsigned long>(stats[4]),
               static_cast<unsigned long>(stats[5]));
    uint64_t used = kelvoShUsed(), size = kelvoShSize();
    kelvoShLog(KELVO_LL_NOTICE, "CRON STATS - %s %zu/%zu bytes (%02.02f%%)", "Memory", size_t(used), size_t(size),
               size ? double(used) * 100 / double(size) : 0.0);
    if (kelvoPeriodic.logSignals)
        kelvoPeriodic.logSignals();
}

} // namespace

/* --- policies -------------------------------------------------------------------------------------- */

uint32_t kelvoEvictionPolicyToInt(kelvoEvictionPolicy policy) { return kelvoEvictionPolicyFromInt(policy); }

kelvoEvictionPolicy kelvoEvictionPolicyFromInt(uint32_t value)
{
    if (value > KELVO_EVICTION_RANDOM)
        kelvoPanic("Invalid eviction policy value %d", int(value));
    return kelvoEvictionPolicy(value);
}

/* --- eviction ---------------------------------------------------------------------------------------- */

uint64_t kelvoEvictionThreshold(void)
{
    return uint64_t(double(kelvoCfgVals.maxmemory_pct) * double(kelvoShSize()) / 100.0);
}

bool kelvoEvictionFlagTake(uint64_t nowUsec)
{
    uint32_t *flag = &kelvoCache()->evicting;
    if (!kelvoOwnerTake(flag)) {
        uint64_t started = __atomic_load_n(&periodic()->evict_started, __ATOMIC_RELAXED);
        uint32_t holder = __atomic_load_n(flag, __ATOMIC_RELAXED);
        /* A live process whose id was reused cannot hold it for ever either. */
        if (holder == 0 || !elapsed(nowUsec, started, FLAG_STALE_USEC) ||
            !__atomic_compare_exchange_n(flag, &holder, pid(), false, __ATOMIC_ACQUIRE, __ATOMIC_RELAXED))
            return false;
    }
    __atomic_store_n(&periodic()->evict_started, nowUsec, __ATOMIC_RELAXED);
    return true;
}

void kelvoEvictionFlagGive(void) { kelvoOwnerGive(&kelvoCache()->evicting); }

kelvoEndpoint **kelvoGetShuffledEndpoints(size_t *count)
{
    *count = 0;
    size_t room = __atomic_load_n(&kelvoCache()->endpoint_count, __ATOMIC_ACQUIRE);
    if (room == 0)
        return nullptr;
    auto *eps = static_cast<kelvoEndpoint **>(malloc(room * sizeof(kelvoEndpoint *)));
    if (!eps)
        return nullptr;
    struct Fill {
        kelvoEndpoint **eps;
        size_t used, room;
    } fill = {eps, 0, room};
    bool opened = !kelvoReader.active;
    if (opened)
        kelvoGlobalEpochBegin();
    kelvoEndpointForEach(
        [](kelvoEndpoint *ep, void *arg) {
            auto *f = static_cast<Fill *>(arg);
            if (f->used < f->room)
                f->eps[f->used++] = ep;
        },
        &fill);
    if (opened)
        kelvoGlobalEpochEnd();
    for (size_t j = fill.used; j > 1; j--) {
        size_t k = randomRange(0, j - 1);
        kelvoEndpoint *swap = eps[j - 1];
        eps[j - 1] = eps[k];
        eps[k] = swap;
    }
    *count = fill.used;
    return eps;
}

size_t kelvoDBSampleKeys(kelvoEvictionCandidate *dst, rdb *set, uint32_t db, size_t n)
{
    kelvoAssert(dst != NULL && set != NULL && db < kelvoCache()->databases);
    kelvoCkRhs *entries = &set->sets[db];
    uint64_t size = kelvoCkRhsCount(entries);
    if (n == 0 || size == 0)
        return 0;
    size_t taken = 0;
    auto take = [&](void *object) {
        kelvoCacheEntry *entry =
            reinterpret_cast<kelvoCacheEntry *>(static_cast<char *>(object) - offsetof(kelvoCacheEntry, pair));
        dst[taken++] = candidateOf(set, db, entry);
        return taken < n;
    };
    if (n >= size) {
        walkFrom(entries, 0, ULONG_MAX, 0, take);
        return taken;
    }
    uint64_t most = size / n < STRIDE_CAP ? size / n : STRIDE_CAP;
    uint64_t stride = randomRange(0, most);
    /* From a random place of the table, round to where it started. */
    unsigned long start = static_cast<unsigned long>(randomRange(0, pow2AtLeast(size) - 1));
    if (walkFrom(entries, start, ULONG_MAX, stride, take))
        walkFrom(entries, 0, start, stride, take);
    return taken;
}

size_t kelvoEvictKeys(uint64_t nkeys, uint32_t policy)
{
    kelvoAssert(nkeys > 0 && nkeys <= KELVO_MAX_SAMPLE_KEYS);
    size_t count = 0;
    kelvoEndpoint **eps = kelvoGetShuffledEndpoints(&count);
    if (!eps)
        return 0;
    Pool pool;
    pool.now = uint32_t(time(nullptr));
    kelvoGlobalEpochBegin();
    switch (kelvoEvictionPolicyFromInt(policy)) {
    case KELVO_EVICTION_NONE:
        sampleLru(pool, eps, count, nkeys, true);
        break;
    case KELVO_EVICTION_LRU:
        sampleLru(pool, eps, count, nkeys, false);
        break;
    case KELVO_EVICTION_RANDOM:
        sampleRandom(pool, eps, count, nkeys);
        break;
    }
    size_t evicted = evictPool(pool);
    kelvoGlobalEpochEnd();
    free(eps);
    return evicted;
}

size_t kelvoEvictToThreshold(uint64_t threshold, uint64_t nkeys, uint32_t policy)
{
    if (kelvoGlobalEpochInit() != 0)
        return 0;
    size_t total = 0;
    for (size_t pass = 0; pass < MAX_PASSES && kelvoShUsed() >= threshold; pass++) {
        unsigned pendingBefore = kelvoGlobalEpochPending();
        size_t evicted = kelvoEvictKeys(nkeys, policy);
        total += evicted;
        /* Nothing evictable (table values, queued messages), or readers still see what was retired. */
        if (evicted == 0 || !pollRetired(pendingBefore))
            break;
    }
    return total;
}

uint64_t kelvoRequestRate(void)
{
    if (!kelvoSharedData)
        return 0;
    uint64_t sum = 0;
    for (uint64_t &sample : periodic()->rate)
        sum += __atomic_load_n(&sample, __ATOMIC_RELAXED);
    return sum >> 4;
}

bool kelvoPeriodicTasksDue(uint64_t nowUsec)
{
    return elapsed(nowUsec, tasks.lastRun, KELVO_TASK_INTERVAL + (pid() & 1023));
}

void kelvoRunPeriodicTasks(uint64_t nowUsec)
{
    kelvoAssert(nowUsec != 0);
    kelvoAssert(kelvoSharedData != NULL);
    tasks.lastRun = nowUsec;
    sweepTables(nowUsec);
    foldStats(nowUsec);
    sampleRate(nowUsec);
    collectMessages(nowUsec);
    checkEviction(nowUsec);
    pollEpoch(nowUsec);
    refillReserve(nowUsec);
    logLines(nowUsec);
}
