// The count-min sketch over a plain shared mapping: dimensions, row indexes, the admission
// table, every kernel tier, lazy and concurrent flushes, and writes counted once however many
// processes report them.
#include "cache_fixture.h"
#include "cache/cms.h"
#include "support/shm_fork.h"

#include <sys/mman.h>

#include <cmath>
#include <climits>
#include <csignal>
#include <random>
#include <vector>

namespace {

struct Sketch : CacheArena {
    void SetUp() override
    {
        CacheArena::SetUp();
        kelvoCmsGlobalInit();
    }
    void TearDown() override
    {
        kelvoCmsGlobalInit();
        CacheArena::TearDown();
    }
    static void add(kelvoCms *cms, const std::string &key, uint64_t reads, uint64_t writes)
    {
        kelvoCmsIndex idx;
        kelvoCmsDeriveHash(cms, &idx, kelvoCacheHash(key.data(), key.size()));
        kelvoCmsIncrBy(cms, &idx, KELVO_CMS_READS, reads);
        kelvoCmsIncrBy(cms, &idx, KELVO_CMS_WRITES, writes);
    }
    static std::pair<uint64_t, uint64_t> counts(kelvoCms *cms, const std::string &key)
    {
        uint64_t r, w;
        kelvoCmsKeyStats(cms, &r, &w, key.data(), key.size());
        return {r, w};
    }
    static bool allZero(const kelvoCms *cms)
    {
        for (uint64_t i = 0; i < cms->cells; i++)
            if (cms->rows[0][i].reads || cms->rows[0][i].writes)
                return false;
        return true;
    }
};

struct DimensionCase {
    uint32_t depth, width, rows, cells;
};

class Dimensions : public Sketch, public ::testing::WithParamInterface<DimensionCase> {};

TEST_P(Dimensions, AreRoundedUp)
{
    const DimensionCase &c = GetParam();
    kelvoCms *cms = kelvoCmsCreate(c.depth, c.width);
    ASSERT_NE(cms, nullptr);
    EXPECT_EQ(cms->depth, c.rows);
    EXPECT_EQ(cms->width, c.cells);
    EXPECT_EQ(cms->mask, c.cells - 1);
    EXPECT_EQ(cms->cells, uint64_t(c.rows) * c.cells);
    EXPECT_EQ(reinterpret_cast<uintptr_t>(cms->rows[0]) % 64, 0u);
    EXPECT_EQ(cms->clear_cursor, -1);
    EXPECT_TRUE(allZero(cms));
    kelvoCmsFree(cms);
}

INSTANTIATE_TEST_SUITE_P(Cms, Dimensions,
                         ::testing::Values(DimensionCase{4, 100, 4, 512}, DimensionCase{4, 513, 4, 1024},
                                           DimensionCase{0, 512, 1, 512}, DimensionCase{8, 4096, 8, 4096},
                                           DimensionCase{1, 0, 1, 512}));

TEST_F(Sketch, DepthAboveEightIsFatal)
{
    EXPECT_DEATH(kelvoCmsCreate(9, 1024), "CMS depth of 9 is > the max depth of 8");
}

TEST_F(Sketch, SeedsComeFromTheKernelAndDiffer)
{
    kelvoCms *a = kelvoCmsCreate(4, 1024), *b = kelvoCmsCreate(4, 1024);
    EXPECT_NE(a->seed, b->seed);
    EXPECT_NE(a->seed, 0u);
    kelvoCmsFree(a);
    kelvoCmsFree(b);
}

TEST_F(Sketch, RowsNeverFallOnOneCell)
{
    kelvoCms *cms = kelvoCmsCreate(8, 512);
    /* A hash whose high half cancels the seed's: the step between rows would be 0 if it were not odd. */
    for (uint64_t low : {0ull, 7ull, 0xFFFFFFFFull}) {
        uint64_t hash = (cms->seed & 0xFFFFFFFF00000000ull) | low;
        kelvoCmsIndex idx;
        kelvoCmsDeriveHash(cms, &idx, hash);
        std::vector<uint32_t> seen(idx.at, idx.at + 8);
        std::sort(seen.begin(), seen.end());
        EXPECT_EQ(std::unique(seen.begin(), seen.end()), seen.end()) << "low half " << low;
    }
    kelvoCmsFree(cms);
}

TEST_F(Sketch, SharedLowHalvesShareOnlyRowZero)
{
    kelvoCms *cms = kelvoCmsCreate(4, 1024);
    kelvoCmsIndex a, b;
    kelvoCmsDeriveHash(cms, &a, 0x0000000100000042ull);
    kelvoCmsDeriveHash(cms, &b, 0x0000000300000042ull);
    EXPECT_EQ(a.at[0], b.at[0]);
    for (int i = 1; i < 4; i++)
        EXPECT_NE(a.at[i], b.at[i]) << "row " << i;
    kelvoCmsFree(cms);
}

TEST_F(Sketch, HugeIncrementIsAddedAtOnce)
{
    kelvoCms *cms = kelvoCmsCreate(4, 1024);
    add(cms, "k", uint64_t(1) << 40, 0);
    add(cms, "k", 0, 0);
    EXPECT_EQ(counts(cms, "k"), std::make_pair(uint64_t(1) << 40, uint64_t(0)));
    kelvoCmsFree(cms);
}

struct AdmitCase {
    const char *name;
    uint64_t reads, writes;
    bool enabled;
    int32_t minEvents;
    double minRatio;
    uint32_t formula;
    int expected;
};

class Admission : public Sketch, public ::testing::WithParamInterface<AdmitCase> {};

TEST_P(Admission, FollowsTheRule)
{
    const AdmitCase &c = GetParam();
    kelvoCms *cms = kelvoCmsCreate(4, 1024);
    add(cms, "key", c.reads, c.writes);
    kelvoAdmissionRule rule{c.enabled, c.minEvents, c.minRatio, c.formula};
    EXPECT_EQ(kelvoCmsAdmit(cms, &rule, "key", 3, kelvoCacheHash("key", 3)), c.expected);
    kelvoCmsFree(cms);
}

INSTANTIATE_TEST_SUITE_P(Cms, Admission,
                         ::testing::Values(AdmitCase{"FewEventsStore", 3, 0, true, 10, 5.0, 1, 0},
                                           AdmitCase{"FewEventsNegativeRefuse", 3, 0, true, -10, 5.0, 1, 1},
                                           AdmitCase{"PureTenAboveFive", 100, 10, true, 10, 5.0, 0, 0},
                                           AdmitCase{"PureTenEqualIsFiltered", 100, 10, true, 10, 10.0, 0, 1},
                                           AdmitCase{"ScaledAboveEleven", 100, 10, true, 10, 11.0, 1, 0},
                                           AdmitCase{"ScaledBelowElevenTwo", 100, 10, true, 10, 11.2, 1, 1},
                                           AdmitCase{"NoWritesCountAsOne", 50, 0, true, 10, 49.0, 0, 0},
                                           AdmitCase{"NoWritesRatioFifty", 50, 0, true, 10, 50.0, 0, 1},
                                           AdmitCase{"WriteHeavyFiltered", 10, 100, true, 10, 5.0, 1, 1},
                                           AdmitCase{"DisabledStores", 10, 100, false, 10, 5.0, 1, 0},
                                           AdmitCase{"LargestNegativeMinEvents", 1000, 0, true, INT32_MIN + 1, 0.0, 0,
                                                     1},
                                           AdmitCase{"ZeroMinEventsUsesRatio", 0, 1, true, 0, 0.0, 0, 1}),
                         [](const ::testing::TestParamInfo<AdmitCase> &info) { return std::string(info.param.name); });

TEST_F(Sketch, NoSketchStores)
{
    kelvoAdmissionRule rule{true, -10, 5.0, 1};
    EXPECT_EQ(kelvoCmsAdmit(nullptr, &rule, "k", 1, 1), 0);
}

TEST_F(Sketch, ScaledRatioOfHundredAndTen)
{
    EXPECT_NEAR(kelvoCmsRatio(100, 10, 1), pow(10.0, 1 + 0.01 * log(111.0)), 1e-12);
    EXPECT_NEAR(kelvoCmsRatio(100, 10, 1), 11.15, 0.01);
    EXPECT_DOUBLE_EQ(kelvoCmsRatio(100, 10, 0), 10.0);
}

TEST_F(Sketch, EveryKernelTierCountsAlike)
{
    std::mt19937_64 rng(42);
    for (uint32_t depth = 1; depth <= KELVO_CMS_MAX_DEPTH; depth++) {
        kelvoCms *cms = kelvoCmsCreate(depth, 512);
        for (int i = 0; i < 3000; i++) {
            kelvoCmsIndex idx;
            kelvoCmsDeriveHash(cms, &idx, rng());
            kelvoCmsIncrBy(cms, &idx, rng() & 1 ? KELVO_CMS_READS : KELVO_CMS_WRITES, 1 + rng() % 5);
        }
        std::vector<uint64_t> keys;
        for (int i = 0; i < 200; i++)
            keys.push_back(rng());
        std::vector<std::vector<uint64_t>> results;
        for (kelvoCmsKernelTier tier : {KELVO_CMS_TIER_PLAIN, KELVO_CMS_TIER_SSE, KELVO_CMS_TIER_AVX512}) {
            if (!kelvoCmsForceTier(tier)) {
                ADD_FAILURE() << "this processor lacks kernel tier " << tier;
                continue;
            }
            std::vector<uint64_t> out;
            for (uint64_t key : keys) {
                kelvoCmsIndex idx;
                kelvoCmsDeriveHash(cms, &idx, key);
                uint64_t r, w;
                kelvoCmsCounts(cms, &idx, &r, &w);
                out.push_back(r);
                out.push_back(w);
            }
            for (uint32_t rows = 1; rows <= depth; rows++)
                out.push_back(kelvoCmsLoadFactor(cms, rows));
            results.push_back(out);
        }
        for (size_t i = 1; i < results.size(); i++)
            EXPECT_EQ(results[i], results[0]) << "depth " << depth << " tier " << i;
        kelvoCmsFree(cms);
    }
}

TEST_F(Sketch, LoadFactorCountsCellsWithEitherCounter)
{
    kelvoCms *cms = kelvoCmsCreate(2, 512);
    cms->rows[0][3].writes = 1;
    cms->rows[0][9].reads = 5;
    cms->rows[1][0].reads = 1;
    EXPECT_EQ(kelvoCmsLoadFactor(cms, 1), 2u);
    EXPECT_EQ(kelvoCmsLoadFactor(cms, 2), 3u);
    kelvoCmsFree(cms);
}

TEST_F(Sketch, LazyFlushClearsAChunkPerIncrement)
{
    kelvoCms *cms = kelvoCmsCreate(4, 1024);
    for (uint64_t i = 0; i < cms->cells; i++)
        cms->rows[0][i] = {1, 1};
    kelvoCmsFlush(cms, 123);
    EXPECT_EQ(cms->last_flush, 123u);
    add(cms, "k", 1, 0);
    EXPECT_EQ(cms->clear_cursor, int64_t(KELVO_CMS_FLUSH_CHUNK));
    EXPECT_EQ(cms->rows[0][KELVO_CMS_FLUSH_CHUNK - 1].reads, 0u);
    EXPECT_EQ(cms->rows[0][KELVO_CMS_FLUSH_CHUNK].reads, 1u);
    for (int i = 0; i < 3; i++)
        add(cms, "x", 1, 0);
    EXPECT_GE(uint64_t(cms->clear_cursor), cms->cells);
    add(cms, "other", 0, 1);
    EXPECT_EQ(counts(cms, "other"), std::make_pair(uint64_t(0), uint64_t(1)));
    kelvoCmsFree(cms);
}

TEST_F(Sketch, ConcurrentFlushClearsEveryCellOnce)
{
    kelvoCms *cms = kelvoCmsCreate(8, 1 << 16);
    for (uint64_t i = 0; i < cms->cells; i++)
        cms->rows[0][i] = {1, 2};
    auto *cleared = static_cast<uint64_t *>(kelvoShCalloc(1, sizeof(uint64_t)));
    kelvoCmsFlush(cms, 1);
    std::vector<int> results = runChildren(6, [&](int) {
        __atomic_fetch_add(cleared, kelvoCmsFlushStep(cms, UINT64_MAX), __ATOMIC_RELAXED);
        return true;
    });
    for (int rc : results)
        EXPECT_EQ(rc, 0);
    EXPECT_EQ(*cleared, cms->cells);
    EXPECT_TRUE(allZero(cms));
    EXPECT_EQ(kelvoCmsFlushStep(cms, UINT64_MAX), 0u);
    kelvoCmsFree(cms);
}

TEST_F(Sketch, ConcurrentIncrementsAreAllCounted)
{
    kelvoCms *cms = kelvoCmsCreate(4, 1024);
    runChildren(8, [&](int) {
        for (int i = 0; i < 10000; i++)
            add(cms, "hot", 1, 0);
        return true;
    });
    EXPECT_EQ(counts(cms, "hot").first, 80000u);
    kelvoCmsFree(cms);
}

TEST_F(Sketch, AWriteReportedByEveryProcessCountsOnce)
{
    kelvoCms *cms = kelvoCmsCreate(4, 1024);
    uint64_t hash = kelvoCacheHash("w", 1);
    /* One write, its invalidation received by eight processes' links. */
    for (uint32_t reporter = 100; reporter < 108; reporter++)
        kelvoCmsCountWrite(cms, hash, reporter, 5000);
    EXPECT_EQ(counts(cms, "w").second, 1u);
    /* A process reports each write once: a second report of its own is the next write. */
    kelvoCmsCountWrite(cms, hash, 100, 5001);
    EXPECT_EQ(counts(cms, "w").second, 2u);
    for (uint32_t reporter = 101; reporter < 108; reporter++)
        kelvoCmsCountWrite(cms, hash, reporter, 5002);
    EXPECT_EQ(counts(cms, "w").second, 2u);
    /* Past the window a report from anyone is a new write. */
    kelvoCmsCountWrite(cms, hash, 103, 5400);
    EXPECT_EQ(counts(cms, "w").second, 3u);
    kelvoCmsFree(cms);
}

TEST_F(Sketch, WritesCountedByForkedWorkersDoNotDependOnTheirNumber)
{
    kelvoCms *cms = kelvoCmsCreate(4, 1024);
    uint64_t hash = kelvoCacheHash("w", 1);
    auto *go = static_cast<uint32_t *>(kelvoShCalloc(1, sizeof(uint32_t)));
    std::vector<pid_t> children;
    for (int i = 0; i < 8; i++)
        children.push_back(forkChild([&] {
            while (!__atomic_load_n(go, __ATOMIC_ACQUIRE))
                __builtin_ia32_pause();
            kelvoCmsCountWrite(cms, hash, kelvoCmsReporter(), 777);
            return true;
        }));
    __atomic_store_n(go, 1, __ATOMIC_RELEASE);
    for (pid_t child : children)
        EXPECT_EQ(waitChild(child), 0);
    EXPECT_EQ(counts(cms, "w").second, 1u);
    kelvoCmsFree(cms);
}

/* --- reads, gathered per process ------------------------------------------------------------ */

struct ReadBatches : Sketch {
    kelvoCms *cms = nullptr;
    void SetUp() override
    {
        Sketch::SetUp();
        cms = kelvoCmsCreate(4, 1024);
        ASSERT_NE(cms, nullptr);
    }
    void TearDown() override
    {
        kelvoCmsFree(cms);
        Sketch::TearDown();
    }
    static uint64_t hashOf(const std::string &key) { return kelvoCacheHash(key.data(), key.size()); }
    void read(const std::string &key, uint32_t times)
    {
        for (uint32_t i = 0; i < times; i++)
            kelvoCmsCountRead(cms, hashOf(key));
    }
    /* What the shared cells hold, without adding this process's reads first. */
    uint64_t shared(const std::string &key)
    {
        kelvoCmsIndex idx;
        kelvoCmsDeriveHash(cms, &idx, hashOf(key));
        uint64_t r, w;
        kelvoCmsCounts(cms, &idx, &r, &w);
        return r;
    }
    /* Reads of `key` in a child whose view of the cells is read-only: its exit status, or 128 +
     * SIGSEGV when a read wrote them. */
    int readOnReadOnlyCells(const std::string &key, uint32_t times)
    {
        return waitChild(forkChild([&] {
            long page = sysconf(_SC_PAGESIZE);
            auto start = reinterpret_cast<uintptr_t>(cms->rows[0]) & ~uintptr_t(page - 1);
            auto end = reinterpret_cast<uintptr_t>(cms->rows[0] + cms->cells);
            if (mprotect(reinterpret_cast<void *>(start), end - start, PROT_READ) != 0)
                return false;
            read(key, times);
            return true;
        }));
    }
};

TEST_F(ReadBatches, ReadsReachTheSharedCellsABatchAtATime)
{
    read("hot", KELVO_CMS_READ_BATCH - 1);
    EXPECT_EQ(shared("hot"), 0u) << "reads short of a batch stay in the process";
    read("hot", 1);
    EXPECT_EQ(shared("hot"), KELVO_CMS_READ_BATCH);
    read("hot", 2);
    EXPECT_EQ(counts(cms, "hot").first, KELVO_CMS_READ_BATCH + 2) << "the process's own reads count when it asks";
    EXPECT_EQ(shared("hot"), KELVO_CMS_READ_BATCH + 2);

    read("cold", 3);
    kelvoCmsFoldReads();
    EXPECT_EQ(shared("cold"), 3u);
    read("cold", 1);
    /* Fewer than four events refuse; four reads and no write are a ratio of 4, above 3.5. */
    const kelvoAdmissionRule fourEvents{true, -4, 3.5, 0};
    EXPECT_EQ(kelvoCmsAdmit(cms, &fourEvents, "cold", 4, hashOf("cold")), 0)
        << "admission did not see the process's own last read";
    EXPECT_EQ(shared("cold"), 4u);
}

TEST_F(ReadBatches, AHotKeyWritesTheSharedCellsOnlyOnceABatch)
{
    read("warm", 1); /* the table is this process's before the children copy it */
    kelvoCmsFoldReads();
    EXPECT_EQ(readOnReadOnlyCells("hot", KELVO_CMS_READ_BATCH - 1), 0) << "a read short of a batch wrote the cells";
    EXPECT_EQ(readOnReadOnlyCells("hot", KELVO_CMS_READ_BATCH), 128 + SIGSEGV) << "a full batch is added";
}

TEST_F(ReadBatches, AForkedChildLeavesItsParentsReadsToTheParent)
{
    read("parent", 5);
    EXPECT_EQ(waitChild(forkChild([&] {
                  read("child", 1);
                  kelvoCmsFoldReads();
                  return true;
              })),
              0);
    EXPECT_EQ(shared("parent"), 0u) << "the child added its parent's reads";
    EXPECT_EQ(shared("child"), 1u);
    EXPECT_EQ(counts(cms, "parent").first, 5u);
}

TEST_F(ReadBatches, AFreedSketchTakesItsReadsAlong)
{
    read("gone", 3);
    kelvoCmsFree(cms);
    cms = kelvoCmsCreate(4, 1024); /* may well take the same block */
    kelvoCmsFoldReads();
    EXPECT_EQ(shared("gone"), 0u);
}

} // namespace
