// The hash-set operations added on top of ck_rhs, against what the library itself allocates:
// the map size of a capacity, a reset into a block the caller made, and inserts that grow the
// set first and are refused when it cannot grow.
#include "cache_fixture.h"
#include "cache/rhs_map.h"
#include "support/shm_check.h"

#include <xxhash.h>

#include <string>
#include <vector>

namespace {

/* Keys live in process memory: the set only keeps pointers to their pairs. */
struct Keys {
    std::vector<std::string> names;
    std::vector<kelvoKeyPair> pairs;
    explicit Keys(size_t count)
    {
        names.reserve(count);
        pairs.reserve(count);
        for (size_t i = 0; i < count; i++) {
            names.push_back("key:" + std::to_string(i));
            pairs.push_back({names.back().data(), uint32_t(names.back().size()), 0});
        }
    }
    unsigned long hash(size_t i) const { return XXH3_64bits_withSeed(names[i].data(), names[i].size(), 7); }
};

unsigned long pairHash(const void *object, unsigned long seed)
{
    auto *pair = static_cast<const kelvoKeyPair *>(object);
    return XXH3_64bits_withSeed(pair->bytes, pair->length, seed);
}

bool pairCompare(const void *a, const void *b)
{
    auto *x = static_cast<const kelvoKeyPair *>(a), *y = static_cast<const kelvoKeyPair *>(b);
    return x->length == y->length && memcmp(x->bytes, y->bytes, x->length) == 0;
}

/* What the library asks of the set's allocator: every map size it requests, in order. */
std::vector<size_t> requested;

void *recordingMalloc(size_t size)
{
    requested.push_back(size);
    return kelvoCacheAllocators.malloc(size);
}

void recordingFree(void *map, size_t size, bool defer) { kelvoCacheAllocators.free(map, size, defer); }

kelvoCkAllocator recordingAllocator = {recordingMalloc, nullptr, recordingFree};

struct RhsMap : CacheArena {
    RhsMap() { settings.reserveMaps = 0; }
    kelvoCkRhs set;
    bool made = false;
    void make(unsigned mode, kelvoCkAllocator *allocator = &kelvoCacheAllocators, unsigned long capacity = 8)
    {
        made = kelvoCkRhsInit(&set, mode, pairHash, pairCompare, allocator, capacity, 7);
        ASSERT_TRUE(made);
    }
    void TearDown() override
    {
        if (made)
            kelvoCkRhsDestroy(&set);
        drainRetired();
        checkHeap();
        CacheArena::TearDown();
    }
};

class MapSize : public RhsMap, public ::testing::WithParamInterface<unsigned> {};

TEST_P(MapSize, IsWhatTheLibraryAsksForAtEveryCapacityItGrowsTo)
{
    requested.clear();
    make(GetParam(), &recordingAllocator);
    Keys keys(3000);
    for (size_t i = 0; i < keys.pairs.size(); i++)
        ASSERT_TRUE(kelvoRhsPutGrown(&set, keys.hash(i), &keys.pairs[i]));
    // 8, then every doubling up to the capacity 3000 keys need at half load.
    ASSERT_EQ(requested.size(), 11u);
    unsigned long capacity = 8;
    for (size_t size : requested) {
        EXPECT_EQ(ck_rhs_map_size(&set, capacity), size) << "capacity " << capacity;
        unsigned long perSlot = 16, fixed = (GetParam() & KELVO_CK_RHS_READ_MOSTLY) ? 4327 : 4263;
        EXPECT_EQ(size, capacity * perSlot + fixed);
        capacity <<= 1;
    }
    EXPECT_EQ(ck_rhs_map_size(&set, 5), ck_rhs_map_size(&set, 8)) << "rounded up to at least 8";
    EXPECT_EQ(ck_rhs_map_size(&set, 9), ck_rhs_map_size(&set, 16)) << "rounded up to a power of two";
}

INSTANTIATE_TEST_SUITE_P(Modes, MapSize,
                         ::testing::Values(KELVO_CK_RHS_OBJECT, KELVO_CK_RHS_OBJECT | KELVO_CK_RHS_READ_MOSTLY),
                         [](const auto &info) {
                             return info.param == KELVO_CK_RHS_OBJECT ? "Object" : "ObjectReadMostly";
                         });

TEST_F(RhsMap, ResetPreallocatedInstallsTheCallersBlockAndRetiresTheOldMap)
{
    make(KELVO_CK_RHS_OBJECT);
    Keys keys(100);
    for (size_t i = 0; i < keys.pairs.size(); i++)
        ASSERT_TRUE(kelvoRhsPutGrown(&set, keys.hash(i), &keys.pairs[i]));
    void *block = kelvoRhsMapAlloc(ck_rhs_map_size(&set, 8));
    ASSERT_NE(block, nullptr);
    uint64_t used = kelvoShUsed();
    unsigned pending = kelvoGlobalEpochPending();

    ck_rhs_reset_preallocated(&set, 8, block);
    EXPECT_EQ(kelvoShUsed(), used) << "the reset allocates nothing";
    EXPECT_EQ(kelvoGlobalEpochPending(), pending + 1) << "the old map is retired, not freed";
    EXPECT_EQ(kelvoCkRhsCount(&set), 0u);
    EXPECT_EQ(kelvoCkRhsGet(&set, keys.hash(0), &keys.pairs[0]), nullptr);
    for (size_t i = 0; i < 4; i++)
        ASSERT_TRUE(kelvoRhsPutGrown(&set, keys.hash(i), &keys.pairs[i]));
    for (size_t i = 0; i < 4; i++)
        EXPECT_EQ(kelvoCkRhsGet(&set, keys.hash(i), &keys.pairs[i]), &keys.pairs[i]);
    drainRetired();
    EXPECT_LT(kelvoShUsed(), used) << "the old map was freed by the poll";
}

TEST_F(RhsMap, InsertsThatCannotGrowTheSetAreRefusedAndHideNothing)
{
    make(KELVO_CK_RHS_OBJECT);
    // Leave room for a few doublings of the map, not for the 4000 keys.
    size_t room = ck_rhs_map_size(&set, 2048) + ck_rhs_map_size(&set, 1024) + 4096;
    void *filler = kelvoShMalloc(kelvoShSize() - kelvoShActive() - room);
    ASSERT_NE(filler, nullptr);
    Keys keys(4000);
    size_t accepted = 0;
    while (accepted < keys.pairs.size() && kelvoRhsPutGrown(&set, keys.hash(accepted), &keys.pairs[accepted])) {
        accepted++;
        drainRetired();
    }
    EXPECT_LT(accepted, keys.pairs.size());
    EXPECT_GE(accepted, 512u);
    EXPECT_EQ(accepted & (accepted - 1), 0u) << accepted << ": refused exactly where the map is half full";
    EXPECT_EQ(kelvoCkRhsCount(&set), accepted);
    for (size_t i = 0; i < accepted; i++)
        ASSERT_EQ(kelvoCkRhsGet(&set, keys.hash(i), &keys.pairs[i]), &keys.pairs[i]) << keys.names[i];
    // A replacement needs no room and is still accepted.
    kelvoKeyPair again = keys.pairs[3];
    void *previous = nullptr;
    EXPECT_TRUE(kelvoRhsSetGrown(&set, keys.hash(3), &again, &previous));
    EXPECT_EQ(previous, &keys.pairs[3]);
    kelvoShFree(filler);
}

TEST_F(RhsMap, AHeldReplacedMapIsRetiredOnlyWhenTheHoldEnds)
{
    make(KELVO_CK_RHS_OBJECT);
    Keys keys(64);
    unsigned pending = kelvoGlobalEpochPending();
    {
        kelvoRhsHoldReplacedMaps hold;
        for (size_t i = 0; i < 5; i++)
            ASSERT_TRUE(kelvoRhsPutGrown(&set, keys.hash(i), &keys.pairs[i]));
        EXPECT_EQ(kelvoGlobalEpochPending(), pending) << "the grown-out map is held";
    }
    EXPECT_EQ(kelvoGlobalEpochPending(), pending + 1);
}

} // namespace
