// Eviction and the periodic tasks over a plain shared mapping: sampling, the lru pool, the
// random policy, dead entries under noeviction, fills that outrun one pass, memory that cannot
// be evicted, claims between processes, holders that died, and the request-rate samples.
#include "cache_fixture.h"
#include "cache/evict.h"
#include "support/shm_fork.h"

#include <set>
#include <string>
#include <vector>

/* Stands in for the shared table: counts the sweeps of every process in the arena. */
static uint64_t *sweeps;
static void countSweep(uint64_t)
{
    if (sweeps)
        __atomic_fetch_add(sweeps, 1, __ATOMIC_RELAXED);
}

namespace {

const std::string uri = "tcp://default@127.0.0.1:6379?cache=1&tracking=1";

struct Evict : CacheArena {
    kelvoEndpoint *ep = nullptr;
    rdb *set = nullptr;
    uint16_t lease = 0;
    void SetUp() override
    {
        settings.arena = 8 << 20;
        CacheArena::SetUp();
        kelvoCfgVals.maxmemory_pct = 60;
        kelvoCfgVals.eviction_sample_keys = 128;
        ep = kelvoEndpointGetOrCreate(uri.data(), uri.size());
        ASSERT_NE(ep, nullptr);
        set = attach(ep, &lease);
        ASSERT_NE(set, nullptr);
    }
    /* Stores `count` keys "<prefix><i>" in `db` with access times `atime(i)`. */
    template <typename Atime>
    size_t fill(uint32_t db, const std::string &prefix, size_t count, Atime atime, size_t valueBytes = 32)
    {
        size_t stored = 0;
        for (size_t i = 0; i < count; i++) {
            kelvoCacheEntry *e = entry(prefix + std::to_string(i), std::string(valueBytes, 'v'), lease);
            if (!e)
                break;
            e->atime = atime(i);
            if (kelvoCacheEntryStore(set, db, e) != 0) {
                kelvoCacheEntryFree(e);
                break;
            }
            stored++;
        }
        return stored;
    }
    bool present(uint32_t db, const std::string &key)
    {
        kelvoGlobalEpochBegin();
        kelvoKeyPair pair{key.data(), uint32_t(key.size()), 0};
        bool found = kelvoCkRhsGet(&set->sets[db], kelvoCacheHash(key.data(), key.size()), &pair) != nullptr;
        kelvoGlobalEpochEnd();
        return found;
    }
    static pid_t deadPid()
    {
        pid_t child = forkChild([] { return true; });
        waitChild(child);
        return child;
    }
};

TEST_F(Evict, ASmallDatabaseIsSampledWhole)
{
    uint32_t now = uint32_t(time(nullptr));
    ASSERT_EQ(fill(0, "k", 40, [&](size_t) { return now; }), 40u);
    std::vector<kelvoEvictionCandidate> out(128);
    kelvoGlobalEpochBegin();
    size_t got = kelvoDBSampleKeys(out.data(), set, 0, 128);
    kelvoGlobalEpochEnd();
    EXPECT_EQ(got, 40u);
    std::set<kelvoCacheEntry *> distinct;
    for (size_t i = 0; i < got; i++)
        distinct.insert(out[i].entry);
    EXPECT_EQ(distinct.size(), 40u);
}

TEST_F(Evict, SamplesStartAtRandomPlaces)
{
    uint32_t now = uint32_t(time(nullptr));
    ASSERT_EQ(fill(0, "k", 2000, [&](size_t) { return now; }), 2000u);
    std::set<kelvoCacheEntry *> firsts;
    kelvoEvictionCandidate out[16];
    for (int i = 0; i < 50; i++) {
        kelvoGlobalEpochBegin();
        ASSERT_EQ(kelvoDBSampleKeys(out, set, 0, 16), 16u);
        kelvoGlobalEpochEnd();
        firsts.insert(out[0].entry);
    }
    EXPECT_GT(firsts.size(), 10u);
}

TEST_F(Evict, AnLruPassTakesTheIdlestAndDeadEntriesFirst)
{
    uint32_t now = uint32_t(time(nullptr));
    /* Idle times 0 .. 99 s; a few recently used entries are dead and must go first. */
    ASSERT_EQ(fill(0, "k", 100, [&](size_t i) { return now - uint32_t(i); }), 100u);
    ASSERT_EQ(fill(1, "dead", 3, [&](size_t) { return now; }), 3u);
    kelvoCacheMarkStale(set, 1, "dead0", 5);
    kelvoCacheMarkStale(set, 1, "dead1", 5);
    kelvoCacheMarkStale(set, 1, "dead2", 5);
    EXPECT_EQ(kelvoEvictKeys(128, KELVO_EVICTION_LRU), 32u);
    for (int i = 0; i < 3; i++)
        EXPECT_FALSE(present(1, "dead" + std::to_string(i)));
    for (size_t i = 0; i < 100; i++)
        EXPECT_EQ(present(0, "k" + std::to_string(i)), i < 71) << "idle " << i;
}

TEST_F(Evict, ARandomPassEvictsAtMostThirtyTwo)
{
    uint32_t now = uint32_t(time(nullptr));
    for (uint32_t db = 0; db < 4; db++)
        ASSERT_EQ(fill(db, "k", 500, [&](size_t) { return now; }), 500u);
    EXPECT_EQ(kelvoEvictKeys(256, KELVO_EVICTION_RANDOM), 32u);
    EXPECT_EQ(kelvoEvictKeys(8, KELVO_EVICTION_RANDOM), 8u);
}

TEST_F(Evict, NoevictionReclaimsOnlyEntriesThatCanNeverBeServed)
{
    uint32_t now = uint32_t(time(nullptr));
    ASSERT_EQ(fill(0, "k", 50, [&](size_t i) { return now - 1000 - uint32_t(i); }), 50u);
    EXPECT_EQ(kelvoEvictKeys(128, KELVO_EVICTION_NONE), 0u);
    kelvoLeaseInvalidate(lease);
    EXPECT_EQ(kelvoEvictKeys(128, KELVO_EVICTION_NONE), 32u);
    EXPECT_EQ(kelvoEvictKeys(128, KELVO_EVICTION_NONE), 18u);
    EXPECT_EQ(kelvoCacheCount(set, 0), 0u);
}

struct FillCase {
    const char *name;
    uint32_t policy;
};

class Threshold : public Evict, public ::testing::WithParamInterface<FillCase> {};

TEST_P(Threshold, AFastFillIsBroughtBelowTheThresholdWithoutEmptyingTheCache)
{
    uint32_t now = uint32_t(time(nullptr));
    uint64_t threshold = kelvoEvictionThreshold();
    EXPECT_EQ(threshold, uint64_t(60.0 * double(kelvoShSize()) / 100.0));
    size_t stored = 0;
    for (uint32_t db = 0; kelvoShUsed() < threshold + (kelvoShSize() - threshold) / 2; db = (db + 1) % 4)
        stored += fill(
            db, "f" + std::to_string(stored) + ":", 500, [&](size_t i) { return now - uint32_t(i); }, 200);
    ASSERT_GE(kelvoShUsed(), threshold);
    size_t evicted = kelvoEvictToThreshold(threshold, 128, GetParam().policy);
    drainRetired();
    EXPECT_LT(kelvoShUsed(), threshold);
    EXPECT_GT(evicted, 32u);
    EXPECT_LT(evicted, stored / 2) << "evicted far more than the threshold needs";
    EXPECT_LE(kelvoShUsed(), kelvoShSize());
}

INSTANTIATE_TEST_SUITE_P(Evict, Threshold,
                         ::testing::Values(FillCase{"lru", KELVO_EVICTION_LRU},
                                           FillCase{"random", KELVO_EVICTION_RANDOM}),
                         [](const ::testing::TestParamInfo<FillCase> &info) { return std::string(info.param.name); });

TEST_F(Evict, MemoryThatCannotBeEvictedEndsTheRun)
{
    uint32_t now = uint32_t(time(nullptr));
    ASSERT_EQ(fill(0, "k", 100, [&](size_t) { return now; }), 100u);
    std::vector<void *> blocks;
    while (kelvoShUsed() < kelvoEvictionThreshold() + (1 << 20)) {
        void *b = kelvoShMalloc(64 << 10);
        ASSERT_NE(b, nullptr);
        blocks.push_back(b);
    }
    EXPECT_EQ(kelvoEvictToThreshold(kelvoEvictionThreshold(), 128, KELVO_EVICTION_LRU), 100u);
    EXPECT_EQ(kelvoEvictToThreshold(kelvoEvictionThreshold(), 128, KELVO_EVICTION_LRU), 0u);
    for (void *b : blocks)
        kelvoShFree(b);
}

TEST_F(Evict, RetiredMemoryStillSeenByAReaderIsNotEvictedTwice)
{
    uint32_t now = uint32_t(time(nullptr));
    size_t stored = 0;
    while (kelvoShUsed() < kelvoEvictionThreshold() + (256 << 10))
        stored += fill(
            0, "r" + std::to_string(stored) + ":", 200, [&](size_t) { return now; }, 200);
    /* Another process sits inside a read section: nothing retired from now on can be freed. */
    auto *state = static_cast<uint32_t *>(kelvoShCalloc(2, sizeof(uint32_t)));
    pid_t reader = forkChild([&] {
        kelvoReader = {};
        if (kelvoGlobalEpochInit() != 0)
            return false;
        kelvoGlobalEpochBegin();
        __atomic_store_n(&state[0], 1, __ATOMIC_RELEASE);
        while (!__atomic_load_n(&state[1], __ATOMIC_ACQUIRE))
            usleep(1000);
        kelvoGlobalEpochEnd();
        return true;
    });
    while (!__atomic_load_n(&state[0], __ATOMIC_ACQUIRE))
        usleep(1000);
    EXPECT_EQ(kelvoEvictToThreshold(kelvoEvictionThreshold(), 128, KELVO_EVICTION_LRU), 32u);
    __atomic_store_n(&state[1], 1, __ATOMIC_RELEASE);
    EXPECT_EQ(waitChild(reader), 0);
}

TEST_F(Evict, AFlagHeldByADeadProcessIsTakenOver)
{
    kelvoCache()->evicting = uint32_t(deadPid());
    EXPECT_TRUE(kelvoEvictionFlagTake(1000));
    kelvoEvictionFlagGive();
    EXPECT_EQ(kelvoCache()->evicting, 0u);
    /* A live holder keeps it, until its pass is far too old to be running. */
    kelvoCache()->evicting = uint32_t(getppid());
    kelvoSharedData->periodic.evict_started = 1000;
    EXPECT_FALSE(kelvoEvictionFlagTake(2000));
    EXPECT_TRUE(kelvoEvictionFlagTake(1000 + 11 * 1000000));
}

TEST_F(Evict, AReserveListHeldByADeadProcessIsRefilled)
{
    kelvoReserveMapList *list = kelvoReserveMaps();
    ASSERT_GT(list->target, 0u);
    list->busy = uint32_t(deadPid());
    /* A flush without a fresh map takes one from the reserve: the refill must still work. */
    list->count = 0;
    list->head = nullptr;
    EXPECT_EQ(kelvoReserveMapsRefill(), list->target);
    EXPECT_EQ(list->busy, 0u);
}

TEST_F(Evict, TwoProcessesInOneWindowSweepOnce)
{
    sweeps = static_cast<uint64_t *>(kelvoShCalloc(1, sizeof(uint64_t)));
    kelvoPeriodic.tableGC = countSweep;
    auto *go = static_cast<uint32_t *>(kelvoShCalloc(1, sizeof(uint32_t)));
    uint64_t now = 10'000'000'000ull;
    std::vector<pid_t> children;
    for (int i = 0; i < 4; i++)
        children.push_back(forkChild([&] {
            kelvoReader = {};
            while (!__atomic_load_n(go, __ATOMIC_ACQUIRE))
                __builtin_ia32_pause();
            kelvoRunPeriodicTasks(now);
            return true;
        }));
    __atomic_store_n(go, 1, __ATOMIC_RELEASE);
    for (pid_t child : children)
        EXPECT_EQ(waitChild(child), 0);
    EXPECT_EQ(*sweeps, 1u);
    kelvoRunPeriodicTasks(now + 60000);
    EXPECT_EQ(*sweeps, 2u);
    sweeps = nullptr;
    kelvoPeriodic.tableGC = nullptr;
}

TEST_F(Evict, TheRequestRateIsSampledOnceASecond)
{
    EXPECT_EQ(kelvoRequestRate(), 0u);
    uint64_t t = 20'000'000'000ull;
    kelvoSharedData->stats[0] = 1000;
    kelvoRunPeriodicTasks(t);
    EXPECT_EQ(kelvoRequestRate(), 0u);
    kelvoSharedData->stats[0] = 1000 + 1600;
    kelvoRunPeriodicTasks(t + 1000000);
    EXPECT_EQ(kelvoRequestRate(), 1600u / 16);
    kelvoSharedData->stats[0] = 1000 + 3200;
    kelvoRunPeriodicTasks(t + 1500000);
    EXPECT_EQ(kelvoRequestRate(), 1600u / 16);
}

TEST_F(Evict, APolicyNumberAboveTwoIsFatal)
{
    EXPECT_DEATH(kelvoEvictionPolicyFromInt(3), "Invalid eviction policy value 3");
}

} // namespace
