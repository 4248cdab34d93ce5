// The shared heap: best fit, splitting, coalescing, growth from the top,
// resizing, refusal of bad frees, and the whole-heap invariants.
#include <gtest/gtest.h>

#include <functional>
#include <iterator>
#include <map>
#include <random>
#include <sys/mman.h>
#include <unistd.h>
#include <vector>

#include "runtime/cfgvals.h"
#include "support/shm_check.h"
#include "shm/shmalloc.h"

namespace {

constexpr uint64_t MiB = 1 << 20;

struct Arena : ::testing::Test {
    uint64_t arenaSize = 8 * MiB;
    void SetUp() override { ASSERT_EQ(kelvoShInitEx(arenaSize, KELVO_PREFAULT_OFF, KELVO_LOCK_ADAPTIVE_MUTEX), 0); }
    void TearDown() override { kelvoShDestroy(); }

    static uint32_t blockSize(void *p) { return kelvoTreeSize(kelvoShHeader(p)); }
    static bool blockFree(void *p) { return kelvoTreeIsFree(kelvoShHeader(p)); }
    // A block with an in-use guard above it, so that freeing it merges with nothing.
    static void *isolated(size_t size, std::vector<void *> &guards)
    {
        void *p = kelvoShMalloc(size);
        guards.push_back(kelvoShMalloc(16));
        return p;
    }
};

TEST_F(Arena, StartsWithOneEmptyFreeBlockAPageAboveTheBase)
{
    const kelvoShArena *a = kelvoShArenaPtr;
    EXPECT_EQ(reinterpret_cast<char *>(a->first), a->base + a->page_size);
    EXPECT_EQ(a->tree.count, 1u);
    EXPECT_EQ(kelvoShSize(), arenaSize);
    EXPECT_EQ(kelvoShCappedSize(), arenaSize);
    EXPECT_EQ(kelvoShActive(), a->page_size + KELVO_SH_HEADER);
    checkHeap();
}

TEST_F(Arena, OneByteTakesOneGranuleAndAHeader)
{
    uint64_t before = kelvoShActive();
    void *p = kelvoShMalloc(1);
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(reinterpret_cast<uintptr_t>(p) % 16, 0u);
    EXPECT_EQ(blockSize(p), 16u);
    EXPECT_EQ(kelvoShActive(), before + 16); // the empty first block grew in place
    void *q = kelvoShMalloc(1);
    EXPECT_EQ(kelvoShActive(), before + 16 + 32 + 16);
    EXPECT_EQ(kelvoShUsed(), kelvoShActive());
    kelvoShFree(q);
    kelvoShFree(p);
    checkHeap();
}

TEST_F(Arena, ZeroBytesGiveAUniqueGranule)
{
    void *p = kelvoShMalloc(0), *q = kelvoShMalloc(0);
    ASSERT_NE(p, nullptr);
    ASSERT_NE(q, nullptr);
    EXPECT_NE(p, q);
    EXPECT_EQ(blockSize(p), 16u);
    kelvoShFree(p);
    kelvoShFree(q);
    checkHeap();
}

// A free block of `freeSize` serves a request; it is split only when 64 bytes or more would be left.
struct SplitCase {
    uint32_t freeSize, request, handedOut, remainder; // remainder 0: no split
};

struct Split : Arena, ::testing::WithParamInterface<SplitCase> {};

TEST_P(Split, BestFitBlockIsSplitOnlyWhenWorthIt)
{
    const SplitCase &c = GetParam();
    std::vector<void *> guards;
    void *block = isolated(c.freeSize, guards);
    kelvoShFree(block);
    void *p = kelvoShMalloc(c.request);
    EXPECT_EQ(p, block);
    EXPECT_EQ(blockSize(p), c.handedOut);
    void *next = static_cast<char *>(p) + c.handedOut + KELVO_SH_HEADER;
    if (c.remainder) {
        EXPECT_TRUE(blockFree(next));
        EXPECT_EQ(blockSize(next), c.remainder);
        EXPECT_EQ(kelvoShFreeBytes(), c.remainder);
    } else {
        EXPECT_EQ(next, guards[0]);
        EXPECT_EQ(kelvoShFreeBytes(), 0u);
    }
    checkHeap();
}

INSTANTIATE_TEST_SUITE_P(Heap, Split,
                         ::testing::Values(SplitCase{112, 64, 112, 0}, // 48 left: no split
                                           SplitCase{112, 48, 48, 32}, // 64 left: split
                                           SplitCase{112, 1, 16, 64}, SplitCase{112, 112, 112, 0},
                                           SplitCase{96, 33, 96, 0}, // 33 -> 48, 48 left
                                           SplitCase{4096, 100, 112, 4096 - 112 - 32}));

TEST_F(Arena, BestFitTakesTheSmallestBlockAndTheEarliestOfEqualOnes)
{
    std::vector<void *> guards;
    void *big = isolated(512, guards), *firstMid = isolated(128, guards), *small = isolated(64, guards);
    void *secondMid = isolated(128, guards);
    for (void *p : {big, firstMid, small, secondMid})
        kelvoShFree(p);
    EXPECT_EQ(kelvoShMalloc(100), firstMid);
    EXPECT_EQ(kelvoShMalloc(100), secondMid);
    EXPECT_EQ(kelvoShMalloc(50), small);
    EXPECT_EQ(kelvoShMalloc(200), big);
    checkHeap();
}

// Blocks of one size wait in a ring behind one tree node and are handed out oldest first,
// also after the tree node itself left through a merge.
TEST_F(Arena, EqualSizesAreHandedOutInTheOrderTheyWereFreed)
{
    std::vector<void *> guards;
    void *blocks[5];
    for (void *&p : blocks)
        p = isolated(64, guards);
    for (int i : {1, 0, 3, 4, 2})
        kelvoShFree(blocks[i]);
    EXPECT_EQ(kelvoShArenaPtr->tree.count, 5u);
    checkHeap();
    kelvoShFree(guards[1]); // blocks[1], the ring's tree node, merges with its guard and blocks[2]
    checkHeap();
    for (int i : {0, 3, 4})
        EXPECT_EQ(kelvoShMalloc(64), blocks[i]);
    checkHeap();
}

// Freeing merges with the free block below, the one above, or both.
struct MergeCase {
    const char *name;
    std::vector<int> freeOrder; // indexes of the three middle blocks
};

struct Merge : Arena, ::testing::WithParamInterface<MergeCase> {};

TEST_P(Merge, AdjacentFreeBlocksBecomeOne)
{
    void *below = kelvoShMalloc(16);
    void *blocks[3] = {kelvoShMalloc(64), kelvoShMalloc(128), kelvoShMalloc(256)};
    void *above = kelvoShMalloc(16);
    for (int i : GetParam().freeOrder)
        kelvoShFree(blocks[i]);
    EXPECT_TRUE(blockFree(blocks[0]));
    EXPECT_EQ(blockSize(blocks[0]), 64u + 128 + 256 + 2 * 32);
    EXPECT_EQ(kelvoShFreeBytes(), 64u + 128 + 256 + 2 * 32);
    EXPECT_EQ(kelvoShArenaPtr->tree.count, 1u);
    checkHeap();
    kelvoShFree(below);
    kelvoShFree(above);
    checkHeap();
}

INSTANTIATE_TEST_SUITE_P(Heap, Merge,
                         ::testing::Values(MergeCase{"upward", {0, 1, 2}}, MergeCase{"downward", {2, 1, 0}},
                                           MergeCase{"both_sides", {0, 2, 1}}),
                         [](const auto &info) { return std::string(info.param.name); });

// Blocks carved off the front of one free region, then freed back into it in reverse: the region
// keeps its place in the tree while its size stays between its neighbours' (48 and 3000 bytes) and
// moves when it passes one (its last split leaves 32 bytes); either way every step leaves the heap
// whole.
TEST_F(Arena, ARegionCarvedAndRefilledStaysWholeWhetherItKeepsItsPlaceOrMoves)
{
    std::vector<void *> guards;
    void *smaller = isolated(48, guards);
    void *larger = isolated(3000, guards);
    void *region = isolated(1952, guards);
    kelvoShFree(smaller);
    kelvoShFree(larger);
    kelvoShFree(region);
    uint64_t freeBefore = kelvoShFreeBytes();
    std::vector<void *> carved;
    for (int i = 0; i < 20; i++) {
        void *p = kelvoShMalloc(64);
        ASSERT_EQ(p, static_cast<char *>(region) + i * 96) << "carved from the region's front";
        carved.push_back(p);
        checkHeap();
    }
    EXPECT_TRUE(blockFree(static_cast<char *>(region) + 20 * 96)) << "the last split left 32 bytes, below 48";
    EXPECT_EQ(blockSize(static_cast<char *>(region) + 20 * 96), 32u);
    for (size_t i = carved.size(); i-- > 0;) {
        kelvoShFree(carved[i]);
        checkHeap();
    }
    EXPECT_EQ(blockSize(region), 1952u);
    EXPECT_TRUE(blockFree(region));
    EXPECT_TRUE(blockFree(smaller));
    EXPECT_TRUE(blockFree(larger));
    EXPECT_EQ(kelvoShFreeBytes(), freeBefore);
    for (void *p : guards)
        kelvoShFree(p);
    checkHeap();
}

TEST_F(Arena, FreedTopBlockGrowsInPlaceForALargerRequest)
{
    kelvoShMalloc(16);
    void *top = kelvoShMalloc(256);
    kelvoShFree(top);
    EXPECT_EQ(kelvoShHeader(top), kelvoShArenaPtr->last);
    EXPECT_TRUE(blockFree(top));
    uint64_t active = kelvoShActive();
    void *bigger = kelvoShMalloc(1024);
    EXPECT_EQ(bigger, top);
    EXPECT_EQ(kelvoShActive(), active + 1024 - 256);
    checkHeap();
}

TEST_F(Arena, FreeingEverythingLeavesOneFreeBlockAndRunningOutGivesNull)
{
    std::vector<void *> blocks;
    while (void *p = kelvoShMalloc(4000))
        blocks.push_back(p);
    EXPECT_GT(blocks.size(), 1000u);
    EXPECT_EQ(kelvoShMalloc(4000), nullptr);
    // Every other block freed: plenty of free bytes, none of them together.
    for (size_t i = 0; i < blocks.size(); i += 2)
        kelvoShFree(blocks[i]);
    EXPECT_GT(kelvoShFreeBytes(), arenaSize / 3);
    EXPECT_EQ(kelvoShMalloc(8192), nullptr);
    EXPECT_NE(kelvoShMalloc(4000), nullptr);
    checkHeap();
    for (size_t i = 1; i < blocks.size(); i += 2)
        kelvoShFree(blocks[i]);
    kelvoShFree(blocks[0]);
    checkHeap();
    EXPECT_EQ(kelvoShArenaPtr->tree.count, 1u);
    EXPECT_NE(kelvoShMalloc(arenaSize / 2), nullptr);
}

TEST_F(Arena, ABatchFreesWhatItCollectedOnlyWhenItFillsOrItsOutermostScopeEnds)
{
    std::vector<void *> blocks, guards;
    for (int i = 0; i < 200; i++)
        blocks.push_back(isolated(64, guards));
    uint64_t freeBefore = kelvoShFreeBytes();
    {
        kelvoShFreeBatch outer;
        {
            kelvoShFreeBatch inner;
            for (int i = 0; i < 10; i++)
                kelvoShFree(blocks[i]);
        }
        EXPECT_FALSE(blockFree(blocks[0])) << "an inner batch's end frees nothing";
        EXPECT_EQ(kelvoShFreeBytes(), freeBefore);
        for (int i = 10; i < 200; i++)
            kelvoShFree(blocks[i]);
        EXPECT_TRUE(blockFree(blocks[0])) << "a full batch is freed at once";
        EXPECT_FALSE(blockFree(blocks[199]));
    }
    for (void *p : blocks)
        EXPECT_TRUE(blockFree(p));
    EXPECT_EQ(kelvoShFreeBytes(), freeBefore + 200 * 64);
    checkHeap();
    kelvoShFree(blocks[0]); // freed twice: refused, as outside a batch
    checkHeap();
    for (void *p : guards)
        kelvoShFree(p);
    checkHeap();
}

TEST_F(Arena, OversizedAndOverflowingRequestsGiveNull)
{
    uint64_t active = kelvoShActive();
    EXPECT_EQ(kelvoShMalloc(KELVO_SH_MAX_BLOCK + 1), nullptr);
    EXPECT_EQ(kelvoShMalloc(arenaSize), nullptr);
    EXPECT_EQ(kelvoShCalloc(SIZE_MAX / 2, 3), nullptr);
    EXPECT_EQ(kelvoShActive(), active);
    auto *zeroed = static_cast<unsigned char *>(kelvoShCalloc(10, 10));
    ASSERT_NE(zeroed, nullptr);
    for (int i = 0; i < 100; i++)
        EXPECT_EQ(zeroed[i], 0);
}

// Resizing: in place when it can, otherwise a move that keeps the bytes; failure keeps the block.
struct ReallocCase {
    const char *name;
    size_t from, to;
    bool inPlace;
};

struct Realloc : Arena, ::testing::WithParamInterface<ReallocCase> {};

TEST_P(Realloc, KeepsTheBytes)
{
    const ReallocCase &c = GetParam();
    auto *p = static_cast<unsigned char *>(kelvoShMalloc(c.from));
    kelvoShMalloc(16); // something above, so a grow cannot stay in place by accident
    for (size_t i = 0; i < c.from; i++)
        p[i] = static_cast<unsigned char>(i * 7);
    auto *q = static_cast<unsigned char *>(kelvoShRealloc(p, c.to));
    ASSERT_NE(q, nullptr);
    EXPECT_EQ(q == p, c.inPlace);
    EXPECT_GE(blockSize(q), c.to);
    for (size_t i = 0; i < std::min(c.from, c.to); i++)
        ASSERT_EQ(q[i], static_cast<unsigned char>(i * 7)) << "byte " << i;
    checkHeap();
}

INSTANTIATE_TEST_SUITE_P(Heap, Realloc,
                         ::testing::Values(ReallocCase{"same_granule", 100, 110, true},
                                           ReallocCase{"shrink_far", 1000, 100, true},
                                           ReallocCase{"shrink_little", 160, 120, false},
                                           ReallocCase{"grow", 100, 5000, false}),
                         [](const auto &info) { return std::string(info.param.name); });

TEST_F(Arena, ReallocEdges)
{
    void *p = kelvoShRealloc(nullptr, 40);
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(blockSize(p), 48u);
    memset(p, 0x5a, 40);
    EXPECT_EQ(kelvoShRealloc(p, KELVO_SH_MAX_BLOCK + 1), nullptr);
    EXPECT_EQ(kelvoShRealloc(p, arenaSize), nullptr); // no room: the old block stays
    EXPECT_FALSE(blockFree(p));
    EXPECT_EQ(static_cast<unsigned char *>(p)[39], 0x5a);
    EXPECT_EQ(kelvoShRealloc(p, 0), nullptr);
    EXPECT_TRUE(blockFree(p));
    checkHeap();
}

// Frees that must change nothing: a second free, also after the block merged
// into a neighbour, and pointers into the middle of a block.
TEST_F(Arena, BadFreesAreRefusedWithoutHarm)
{
    void *guard = kelvoShMalloc(16);
    void *a = kelvoShMalloc(64), *b = kelvoShMalloc(64), *c = kelvoShMalloc(64);
    kelvoShMalloc(16);
    kelvoShFree(b);
    uint64_t freeBytes = kelvoShFreeBytes();
    kelvoShFree(b);
    EXPECT_EQ(kelvoShFreeBytes(), freeBytes);
    kelvoShFree(a); // b is now inside a's free block
    freeBytes = kelvoShFreeBytes();
    kelvoShFree(b);
    kelvoShFree(a);
    EXPECT_EQ(kelvoShFreeBytes(), freeBytes);
    kelvoShFree(static_cast<char *>(c) + 16);
    kelvoShFree(static_cast<char *>(guard) + 32); // lands on a's header
    EXPECT_EQ(kelvoShFreeBytes(), freeBytes);
    EXPECT_FALSE(blockFree(c));
    // The merged region is re-carved; the stale pointer must not free the new block.
    void *d = kelvoShMalloc(16);
    EXPECT_EQ(d, a);
    kelvoShFree(b);
    EXPECT_EQ(kelvoShRealloc(b, 100), nullptr);
    EXPECT_FALSE(blockFree(d));
    checkHeap();
}

using ArenaDeathTest = Arena;

TEST_F(ArenaDeathTest, PointersOutsideTheHeapPanic)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    char *base = kelvoShArenaPtr->base;
    EXPECT_EXIT(kelvoShFree(base - 4096), testing::KilledBySignal(SIGSEGV),
                "kelvoShFree\\(\\) kelvo_heap_panic: Invalid pointer 0x[0-9a-f]+ \\(4096 bytes before our shared heap");
    EXPECT_EXIT(kelvoShRealloc(kelvoShArenaPtr->end - 16, 8), testing::KilledBySignal(SIGSEGV),
                "kelvoShRealloc\\(\\) kelvo_heap_panic: Invalid pointer .* bytes after our shared heap");
}

#ifndef NDEBUG
// The heap's cores run under the allocator lock; debug builds end a caller that does not hold it.
TEST_F(ArenaDeathTest, CoresWithoutTheAllocatorLockAreFatal)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    void *block = kelvoShMalloc(64);
    kelvoTreeNode *header = kelvoShHeader(block);
    const std::function<void()> cores[] = {
        [] { kelvoShMallocImpl(16); },
        [block] { kelvoShFreeImpl(block); },
        [header] { kelvoShFreeBlock(header); },
        [header] { kelvoShTrimBlock(header, 64, 0); },
    };
    for (size_t i = 0; i < std::size(cores); i++)
        EXPECT_EXIT(cores[i](), testing::KilledBySignal(SIGSEGV), "Assertion 'kelvoLockHeldByMe\\(") << "core " << i;
}
#endif

// A long random run against a model of the live blocks and their contents.
TEST_F(Arena, RandomRunKeepsEveryInvariant)
{
    std::mt19937_64 rng(20261210);
    struct Live {
        size_t size;
        unsigned char fill;
    };
    std::map<unsigned char *, Live> live;
    auto fill = [](unsigned char *p, const Live &l) { memset(p, l.fill, l.size); };
    auto verify = [](unsigned char *p, const Live &l) {
        for (size_t i = 0; i < l.size; i++)
            if (p[i] != l.fill)
                return false;
        return true;
    };
    uint64_t liveBytes = 0;
    for (int step = 0; step < 30000; step++) {
        unsigned op = rng() % 10;
        size_t size = rng() % 4 == 0 ? rng() % 65536 : rng() % 512;
        if (op < 5 || live.empty()) {
            auto *p = static_cast<unsigned char *>(kelvoShMalloc(size));
            if (!p)
                continue;
            ASSERT_EQ(live.count(p), 0u);
            Live l{size, static_cast<unsigned char>(rng())};
            fill(p, l);
            live[p] = l;
            liveBytes += size;
        } else {
            auto it = live.begin();
            std::advance(it, rng() % live.size());
            ASSERT_TRUE(verify(it->first, it->second)) << "block overwritten at step " << step;
            liveBytes -= it->second.size;
            if (op < 8) {
                kelvoShFree(it->first);
                live.erase(it);
            } else {
                auto *q = static_cast<unsigned char *>(kelvoShRealloc(it->first, size));
                Live l = it->second;
                if (!q && size) { // failed: old block intact
                    liveBytes += l.size;
                    continue;
                }
                live.erase(it);
                if (!size)
                    continue;
                l.size = std::min(l.size, size);
                ASSERT_TRUE(verify(q, l));
                l.size = size;
                fill(q, l);
                live[q] = l;
                liveBytes += size;
            }
        }
        if (step % 1000 == 0) {
            checkHeap();
            ASSERT_GE(kelvoShUsed(), liveBytes);
        }
    }
    for (auto &[p, l] : live) {
        ASSERT_TRUE(verify(p, l));
        kelvoShFree(p);
    }
    checkHeap();
    EXPECT_EQ(kelvoShArenaPtr->tree.count, 1u);
}

// Regions larger than one block are cut into blocks that keep 16-byte headers.
struct HugeCase {
    uint32_t lower, upper;
};

struct HugeArena : ::testing::TestWithParam<HugeCase> {
    void SetUp() override
    {
        ASSERT_EQ(kelvoShInitEx(4 * 1024 * MiB + 64 * MiB, KELVO_PREFAULT_OFF, KELVO_LOCK_SPIN), 0);
    }
    void TearDown() override { kelvoShDestroy(); }
};

TEST_P(HugeArena, SplitsOverTwoGiBStayAligned)
{
    void *lower = kelvoShMalloc(GetParam().lower), *upper = kelvoShMalloc(GetParam().upper);
    ASSERT_NE(lower, nullptr);
    ASSERT_NE(upper, nullptr);
    void *guard = kelvoShMalloc(16);
    kelvoShFree(lower);
    kelvoShFree(upper);
    EXPECT_EQ(kelvoShArenaPtr->tree.count, 2u);
    checkHeap();
    void *again = kelvoShMalloc(GetParam().lower);
    EXPECT_EQ(again, lower);
    kelvoShFree(again);
    kelvoShFree(guard);
    checkHeap();
}

INSTANTIATE_TEST_SUITE_P(Heap, HugeArena,
                         ::testing::Values(HugeCase{KELVO_SH_MAX_BLOCK, 16},      // tail long enough
                                           HugeCase{KELVO_SH_MAX_BLOCK - 16, 16}, // tail too short: piece shortened
                                           HugeCase{KELVO_SH_MAX_BLOCK, KELVO_SH_MAX_BLOCK}));

// Prefault modes make every page resident at start-up.
struct Prefault : ::testing::TestWithParam<uint32_t> {};

TEST_P(Prefault, ModesDecideResidency)
{
    ASSERT_EQ(kelvoShInitEx(16 * MiB, GetParam(), KELVO_LOCK_MUTEX), 0);
    size_t pages = kelvoShSize() / kelvoShArenaPtr->page_size;
    std::vector<unsigned char> vec(pages);
    ASSERT_EQ(mincore(kelvoShArenaPtr->base, kelvoShSize(), vec.data()), 0);
    size_t resident = 0;
    for (unsigned char v : vec)
        resident += v & 1;
    if (GetParam() == KELVO_PREFAULT_OFF)
        EXPECT_LT(resident, pages / 2);
    else
        EXPECT_EQ(resident, pages);
    kelvoShDestroy();
}

INSTANTIATE_TEST_SUITE_P(Heap, Prefault,
                         ::testing::Values(KELVO_PREFAULT_OFF, KELVO_PREFAULT_POPULATE, KELVO_PREFAULT_TOUCH));

TEST(ArenaSetUp, SizesArePagesAndTooSmallOrImpossibleFails)
{
    long page = sysconf(_SC_PAGESIZE);
    EXPECT_EQ(kelvoShInitEx(page, KELVO_PREFAULT_OFF, KELVO_LOCK_SPIN), -1);
    EXPECT_EQ(kelvoShInitEx(UINT64_MAX / 2, KELVO_PREFAULT_OFF, KELVO_LOCK_SPIN), -1);
    EXPECT_EQ(kelvoShArenaPtr, nullptr);
    ASSERT_EQ(kelvoShInitEx(16 * MiB + 1, KELVO_PREFAULT_OFF, KELVO_LOCK_SPIN), 0);
    EXPECT_EQ(kelvoShSize(), 16 * MiB + page);
    EXPECT_EQ(kelvoShInitEx(16 * MiB, KELVO_PREFAULT_OFF, KELVO_LOCK_SPIN), -1); // one arena at a time
    kelvoShDestroy();
    kelvoCfgVals.enabled = 0;
    kelvoCfgVals.maxmemory = 0;
    ASSERT_EQ(kelvoShInit(), 0);
    EXPECT_EQ(kelvoShSize(), 2u * page);
    EXPECT_NE(kelvoShMalloc(100), nullptr);
    kelvoShDestroy();
}

} // namespace
