// Endpoints, cached database sets, entries, lookups and flushes over a plain shared mapping,
// with forked processes and no engine.
#include "cache_fixture.h"
#include "cache/cms.h"
#include "support/shm_check.h"
#include "support/shm_fork.h"

#include <sys/mman.h>

#include <algorithm>
#include <csignal>
#include <string>
#include <vector>

namespace {

const std::string uri = "tcp://default@127.0.0.1:6379?cache=1&tracking=1";

struct Cache : CacheArena {
    kelvoEndpoint *ep = nullptr;
    void SetUp() override
    {
        CacheArena::SetUp();
        ep = kelvoEndpointGetOrCreate(uri.data(), uri.size());
        ASSERT_NE(ep, nullptr);
    }
    static uint32_t writers(rdb *set) { return __atomic_load_n(&set->writers, __ATOMIC_ACQUIRE); }
};

TEST_F(Cache, SixteenProcessesCreatingOneEndpointShareOne)
{
    const std::string other = "tcp://default@10.0.0.1:6379?cache=1&tracking=1";
    auto *seen = static_cast<kelvoEndpoint **>(kelvoShCalloc(16, sizeof(kelvoEndpoint *)));
    auto *go = static_cast<uint32_t *>(kelvoShCalloc(1, sizeof(uint32_t)));
    std::vector<pid_t> children;
    for (int i = 0; i < 16; i++) {
        children.push_back(forkChild([&, i] {
            while (!__atomic_load_n(go, __ATOMIC_ACQUIRE))
                __builtin_ia32_pause();
            seen[i] = kelvoEndpointGetOrCreate(other.data(), other.size());
            return seen[i] != nullptr;
        }));
    }
    __atomic_store_n(go, 1, __ATOMIC_RELEASE);
    for (pid_t child : children)
        EXPECT_EQ(waitChild(child), 0);
    kelvoEndpoint *found = kelvoEndpointGetEx(other.data(), other.size());
    ASSERT_NE(found, nullptr);
    for (int i = 0; i < 16; i++)
        EXPECT_EQ(seen[i], found) << "process " << i;
    EXPECT_EQ(kelvoCache()->endpoint_count, 2u);
    EXPECT_EQ(kelvoEndpointGetOrCreate(uri.data(), uri.size()), ep);
}

struct WriterLimitCase {
    uint32_t endpointDbs;
    kelvoAttachResult fifth;
    uint32_t sets;
};

class WriterLimit : public Cache, public ::testing::WithParamInterface<WriterLimitCase> {
  public:
    WriterLimit() { settings.endpointDbs = GetParam().endpointDbs; }
};

TEST_P(WriterLimit, FourWritersShareASetThenTheFifthNeedsRoomForAnother)
{
    uint16_t leases[5];
    rdb *first = attach(ep, &leases[0]);
    for (int i = 1; i < 4; i++)
        EXPECT_EQ(attach(ep, &leases[i]), first);
    EXPECT_EQ(writers(first), 4u);
    EXPECT_EQ(kelvoCacheMayAttach(ep), GetParam().fifth == KELVO_ATTACH_DONE);
    uint16_t freeBefore = kelvoLeases()->free_slots;
    rdb *fifth = nullptr;
    EXPECT_EQ(kelvoCacheAttach(ep, &leases[4], &fifth), GetParam().fifth);
    EXPECT_EQ(ep->rdb_count, GetParam().sets);
    if (GetParam().fifth == KELVO_ATTACH_NO_SET) {
        EXPECT_EQ(leases[4], KELVO_LEASE_FAILED);
        EXPECT_EQ(fifth, nullptr);
        EXPECT_EQ(kelvoLeases()->free_slots, freeBefore) << "the lease taken is given back";
    } else {
        EXPECT_NE(fifth, first);
        EXPECT_EQ(ep->rdbs, fifth) << "the newest set is first";
        EXPECT_EQ(writers(fifth), 1u);
    }
}

INSTANTIATE_TEST_SUITE_P(EndpointDbs, WriterLimit,
                         ::testing::Values(WriterLimitCase{1, KELVO_ATTACH_NO_SET, 1},
                                           WriterLimitCase{2, KELVO_ATTACH_DONE, 2}),
                         [](const auto &info) { return "max" + std::to_string(info.param.endpointDbs); });

TEST_F(Cache, AFullLeaseTableAttachesNothing)
{
    std::vector<uint16_t> held;
    while (uint16_t handle = kelvoLeaseAcquire(nullptr))
        held.push_back(handle);
    EXPECT_FALSE(kelvoCacheMayAttach(ep));
    uint16_t lease = 1;
    rdb *set = reinterpret_cast<rdb *>(1);
    EXPECT_EQ(kelvoCacheAttach(ep, &lease, &set), KELVO_ATTACH_NO_LEASE);
    EXPECT_EQ(lease, KELVO_LEASE_NONE);
    EXPECT_EQ(set, nullptr);
}

TEST_F(Cache, TheLastWriterToLeaveEmptiesTheSetAndAStaleDetachOnlyWarns)
{
    uint16_t a, b;
    rdb *set = attach(ep, &a);
    ASSERT_EQ(attach(ep, &b), set);
    ASSERT_TRUE(store(set, 0, "k", "k", a));
    kelvoCacheDetach(ep, set, a, true);
    EXPECT_EQ(kelvoCacheCount(set, 0), 1u) << "another writer is still attached";
    kelvoCacheDetach(ep, set, b, true);
    EXPECT_EQ(kelvoCacheCount(set, 0), 0u);
    EXPECT_EQ(writers(set), 0u);
    kelvoCacheDetach(ep, set, KELVO_LEASE_NONE, true);
    EXPECT_EQ(writers(set), 0u);
    EXPECT_EQ(attach(ep, &a), set) << "an empty set is joined again";
}

struct LookupCase {
    const char *name;
    void (*spoil)(kelvoEndpoint *ep, rdb *set, uint16_t lease);
    uint32_t db;
    bool served;
};

const LookupCase lookupCases[] = {
    {"Stored", [](kelvoEndpoint *, rdb *, uint16_t) {}, 0, true},
    {"MarkedStale", [](kelvoEndpoint *, rdb *set, uint16_t) { kelvoCacheMarkStale(set, 0, "k", 1); }, 0, false},
    {"MarkedStaleWithoutTheLock",
     [](kelvoEndpoint *, rdb *set, uint16_t) {
         kelvoGlobalEpochBegin();
         EXPECT_EQ(kelvoCacheMarkStaleShared(set, 0, "k", 1, kelvoCacheHash("k", 1)), 1);
         EXPECT_EQ(kelvoCacheMarkStaleShared(set, 0, "other", 5, kelvoCacheHash("other", 5)), 0);
         kelvoGlobalEpochEnd();
     },
     0, false},
    {"LeaseRaised", [](kelvoEndpoint *, rdb *, uint16_t lease) { kelvoLeaseInvalidate(lease); }, 0, false},
    {"Removed", [](kelvoEndpoint *, rdb *set, uint16_t) { kelvoCacheRemove(set, 0, "k", 1); }, 0, false},
    {"EndpointFlushed", [](kelvoEndpoint *ep, rdb *, uint16_t) { kelvoEndpointFlushEx(ep, 0); }, 0, false},
    {"OtherDatabaseFlushed", [](kelvoEndpoint *ep, rdb *, uint16_t) { kelvoEndpointFlushEx(ep, 1); }, 0, true},
    {"DatabaseOutOfRange", [](kelvoEndpoint *, rdb *, uint16_t) {}, 4, false},
};

class Lookup : public Cache, public ::testing::WithParamInterface<LookupCase> {};

TEST_P(Lookup, ServesOnlyAFreshEntryUnderItsCurrentLease)
{
    uint16_t lease;
    rdb *set = attach(ep, &lease);
    ASSERT_TRUE(store(set, 0, "k", "value", lease));
    GetParam().spoil(ep, set, lease);
    EXPECT_EQ(lookup(ep, GetParam().db, "k"), GetParam().served ? "value" : "(none)");
}

INSTANTIATE_TEST_SUITE_P(Cases, Lookup, ::testing::ValuesIn(lookupCases),
                         [](const auto &info) { return std::string(info.param.name); });

TEST_F(Cache, AnEntryWithoutAValueIsNotServed)
{
    uint16_t lease;
    rdb *set = attach(ep, &lease);
    kelvoCacheEntry *e = kelvoCacheEntryCreate("k", 1, nullptr, lease, kelvoLeaseToken(lease));
    ASSERT_EQ(kelvoCacheEntryStore(set, 0, e), 0);
    EXPECT_EQ(lookup(ep, 0, "k"), "(none)");
}

TEST_F(Cache, TheNewestSetAnswersFirst)
{
    kelvoCache()->max_endpoint_dbs = 2;
    uint16_t leases[5];
    rdb *older = attach(ep, &leases[0]);
    for (int i = 1; i < 4; i++)
        attach(ep, &leases[i]);
    rdb *newer = attach(ep, &leases[4]);
    ASSERT_NE(newer, older);
    ASSERT_TRUE(store(older, 0, "k", "old", leases[0]));
    EXPECT_EQ(lookup(ep, 0, "k"), "old");
    ASSERT_TRUE(store(newer, 0, "k", "new", leases[4]));
    EXPECT_EQ(lookup(ep, 0, "k"), "new");
    kelvoLeaseInvalidate(leases[4]);
    EXPECT_EQ(lookup(ep, 0, "k"), "old") << "an unservable entry lets the older set answer";
}

TEST_F(Cache, AReplyWhoseLeaseWasRaisedWhileItWasOutIsNeverServed)
{
    uint16_t lease;
    rdb *set = attach(ep, &lease);
    uint64_t sent = kelvoLeaseToken(lease);
    kelvoLeaseInvalidate(lease); // e.g. the link reconnected before the reply came
    rk *value = rkStringKeyAlloc("v", 1, KELVO_KEY_FULL);
    ASSERT_EQ(kelvoCacheEntryStore(set, 0, kelvoCacheEntryCreate("k", 1, value, lease, sent)), 0);
    EXPECT_EQ(lookup(ep, 0, "k"), "(none)");
    ASSERT_TRUE(store(set, 0, "k", "v", lease));
    EXPECT_EQ(lookup(ep, 0, "k"), "v") << "a request sent after the raise is served";
}

TEST_F(Cache, AKeysWriteTicketMovesWithEveryRaiseAndOnlyKeysSharingItsSlotMoveWithIt)
{
    uint64_t hash = kelvoCacheHash("k", 1);
    uint32_t before = kelvoEndpointTicket(ep, hash);
    uint32_t neighbour = kelvoEndpointTicket(ep, hash + 1);
    kelvoEndpointTicketRaise(ep, hash);
    EXPECT_EQ(kelvoEndpointTicket(ep, hash), before + 1);
    EXPECT_EQ(kelvoEndpointTicket(ep, hash + KELVO_ENDPOINT_TICKETS), before + 1);
    EXPECT_EQ(kelvoEndpointTicket(ep, hash + 1), neighbour);
}

TEST_F(Cache, AValueLargerThanAnEighthOfTheArenaIsNeverStored)
{
    uint16_t lease;
    rdb *set = attach(ep, &lease);
    std::string big(kelvoShSize() / 8 + 1, 'x');
    EXPECT_FALSE(store(set, 0, "big", big, lease));
    big.resize(kelvoShSize() / 8 - 4096);
    EXPECT_TRUE(store(set, 0, "big", big, lease));
    EXPECT_EQ(lookup(ep, 0, "big").size(), big.size());
}

TEST_F(Cache, StoreReplacesAndAddKeepsWhatIsThere)
{
    uint16_t lease;
    rdb *set = attach(ep, &lease);
    ASSERT_TRUE(store(set, 0, "k", "one", lease));
    unsigned pending = kelvoGlobalEpochPending();
    ASSERT_TRUE(store(set, 0, "k", "two", lease));
    EXPECT_EQ(kelvoGlobalEpochPending(), pending + 1) << "the replaced entry is retired";
    kelvoCacheEntry *e = entry("k", "three", lease);
    EXPECT_EQ(kelvoCacheEntryAdd(set, 0, e), 1);
    kelvoCacheEntryFree(e);
    EXPECT_EQ(lookup(ep, 0, "k"), "two");
    e = entry("j", "three", lease);
    EXPECT_EQ(kelvoCacheEntryAdd(set, 0, e), 0);
    EXPECT_EQ(lookup(ep, 0, "j"), "three");
}

/* A child looks a key up with the entry's page read-only: a write to it ends the child with SIGSEGV. */
int lookupOnReadOnlyEntry(kelvoEndpoint *ep, kelvoCacheEntry *e, uint32_t atime)
{
    return waitChild(forkChild([&] {
        e->atime = atime;
        long page = sysconf(_SC_PAGESIZE);
        auto start = reinterpret_cast<uintptr_t>(e) & ~uintptr_t(page - 1);
        auto end = reinterpret_cast<uintptr_t>(e + 1);
        if (mprotect(reinterpret_cast<void *>(start), end - start, PROT_READ) != 0)
            return false;
        if (kelvoGlobalEpochInit() != 0)
            return false;
        kelvoGlobalEpochBegin();
        bool hit = kelvoCacheGetLen(ep, 0, "k", 1) != nullptr;
        kelvoGlobalEpochEnd();
        return hit;
    }));
}

TEST_F(Cache, AHitWritesNoSharedLineUnlessTheSecondChanged)
{
    uint16_t lease;
    rdb *set = attach(ep, &lease);
    kelvoCacheEntry *e = entry("k", "v", lease);
    ASSERT_EQ(kelvoCacheEntryStore(set, 0, e), 0);
    int status = -1;
    for (int attempt = 0; attempt < 3 && status != 0; attempt++) // a second may tick between set and lookup
        status = lookupOnReadOnlyEntry(ep, e, uint32_t(time(nullptr)));
    EXPECT_EQ(status, 0) << "a hit within the same second wrote to the entry";
    EXPECT_EQ(lookupOnReadOnlyEntry(ep, e, uint32_t(time(nullptr)) - 10), 128 + SIGSEGV)
        << "a hit in a later second stores its access time";
}

/* A key of the sketch whose cells all lie in whole pages of its cell block, and those pages. */
struct SketchPages {
    std::string key;
    uintptr_t start = 0, end = 0;
};

SketchPages pagesOfAKey(const kelvoCms *cms)
{
    auto page = uintptr_t(sysconf(_SC_PAGESIZE));
    auto first = reinterpret_cast<uintptr_t>(cms->rows[0]);
    SketchPages out{{}, (first + page - 1) & ~(page - 1), (first + cms->cells * sizeof(kelvoCmsCell)) & ~(page - 1)};
    for (int i = 0; i < 1000; i++) {
        std::string key = "hot" + std::to_string(i);
        kelvoCmsIndex idx;
        kelvoCmsDeriveHash(cms, &idx, kelvoCacheHash(key.data(), key.size()));
        bool inside = true;
        for (uint32_t row = 0; row < cms->depth; row++) {
            auto cell = reinterpret_cast<uintptr_t>(&cms->rows[row][idx.at[row]]);
            inside = inside && cell >= out.start && cell + sizeof(kelvoCmsCell) <= out.end;
        }
        if (inside) {
            out.key = key;
            return out;
        }
    }
    return out;
}

/* A child makes `times` lookups of a cached key with the entry's page and the sketch's cells
 * read-only: its exit status, or 128 + SIGSEGV when a lookup wrote to them. */
int lookupsOnReadOnlySketch(kelvoEndpoint *ep, kelvoCacheEntry *e, const SketchPages &cells, uint32_t times)
{
    return waitChild(forkChild([&] {
        e->atime = uint32_t(time(nullptr)); /* the access second is written only when it changes */
        if (kelvoGlobalEpochInit() != 0)
            return false;
        auto page = uintptr_t(sysconf(_SC_PAGESIZE));
        auto entryStart = reinterpret_cast<uintptr_t>(e) & ~(page - 1);
        auto entryEnd = reinterpret_cast<uintptr_t>(e + 1);
        if (mprotect(reinterpret_cast<void *>(entryStart), entryEnd - entryStart, PROT_READ) != 0 ||
            mprotect(reinterpret_cast<void *>(cells.start), cells.end - cells.start, PROT_READ) != 0)
            return false;
        bool hits = true;
        for (uint32_t i = 0; i < times; i++) {
            kelvoGlobalEpochBegin();
            hits = hits && kelvoCacheGetLen(ep, 0, cells.key.data(), cells.key.size()) != nullptr;
            kelvoGlobalEpochEnd();
        }
        return hits;
    }));
}

TEST_F(Cache, HitsWithTheAdaptiveSketchWriteNoSharedLineShortOfABatch)
{
    kelvoCmsGlobalInit();
    kelvoCms *cms = kelvoCmsCreate(4, 1024);
    ASSERT_NE(cms, nullptr);
    ep->cms = cms;
    SketchPages cells = pagesOfAKey(cms);
    ASSERT_FALSE(cells.key.empty());
    uint16_t lease;
    rdb *set = attach(ep, &lease);
    kelvoCacheEntry *e = entry(cells.key, "v", lease);
    ASSERT_EQ(kelvoCacheEntryStore(set, 0, e), 0);
    int status = -1;
    for (int attempt = 0; attempt < 3 && status != 0; attempt++) // a second may tick during the lookups
        status = lookupsOnReadOnlySketch(ep, e, cells, KELVO_CMS_READ_BATCH - 1);
    EXPECT_EQ(status, 0) << "a hit wrote the entry or the sketch before a batch of reads gathered";
    EXPECT_EQ(lookupsOnReadOnlySketch(ep, e, cells, KELVO_CMS_READ_BATCH), 128 + SIGSEGV)
        << "a full batch of reads is added to the sketch";
    ep->cms = nullptr;
    kelvoCmsFree(cms);
}

TEST_F(Cache, AFlushEmptiesAtOnceAndThePollFreesEverything)
{
    uint16_t lease;
    rdb *set = attach(ep, &lease);
    uint64_t base = liveBlocks();
    for (int i = 0; i < 1000; i++)
        ASSERT_TRUE(store(set, 0, "k" + std::to_string(i), "k" + std::to_string(i), lease));
    ASSERT_TRUE(store(set, 1, "other", "other", lease));
    ASSERT_EQ(kelvoDBFlush(set, 0), 0);
    EXPECT_EQ(kelvoCacheCount(set, 0), 0u);
    EXPECT_EQ(lookup(ep, 0, "k7"), "(none)");
    EXPECT_EQ(lookup(ep, 1, "other"), "other");
    ASSERT_EQ(kelvoEndpointFlushEx(ep, -1), 0);
    EXPECT_EQ(set->flushes, 1u);
    EXPECT_EQ(lookup(ep, 1, "other"), "(none)");
    drainRetired();
    EXPECT_EQ(kelvoGlobalEpochPending(), 0u);
    EXPECT_EQ(liveBlocks(), base) << "the heap does not balance";
    checkHeap();
}

TEST_F(Cache, AnEndpointFlushSkipsASetWithoutWriters)
{
    uint16_t a, b;
    rdb *set = attach(ep, &a);
    attach(ep, &b);
    kelvoCacheDetach(ep, set, a, false);
    kelvoCacheDetach(ep, set, b, false);
    ASSERT_EQ(kelvoEndpointFlushEx(ep, -1), 0);
    EXPECT_EQ(set->flushes, 0u);
}

struct FullHeap : Cache {
    FullHeap() { settings.reserveMaps = 1; }
    std::vector<void *> filler;
    void fillHeap()
    {
        drainRetired();
        for (size_t size : {size_t(1) << 20, size_t(4096), size_t(64), size_t(16)}) {
            while (void *block = kelvoShMalloc(size))
                filler.push_back(block);
        }
    }
    void TearDown() override
    {
        for (void *block : filler)
            kelvoShFree(block);
        drainRetired();
        checkHeap();
        Cache::TearDown();
    }
};

TEST_F(FullHeap, AFlushWithoutMemoryTakesAReserveMapThenEmptiesInPlace)
{
    uint16_t lease;
    rdb *set = attach(ep, &lease);
    for (uint32_t db : {0u, 1u})
        for (int i = 0; i < 100; i++)
            ASSERT_TRUE(store(set, db, "k" + std::to_string(i), "v", lease));
    fillHeap();
    ASSERT_EQ(kelvoReserveMaps()->count, 1u);
    ASSERT_EQ(kelvoDBFlush(set, 0), 0);
    EXPECT_EQ(kelvoReserveMaps()->count, 0u);
    EXPECT_EQ(kelvoCacheCount(set, 0), 0u);
    ASSERT_EQ(kelvoDBFlush(set, 1), 0);
    EXPECT_EQ(kelvoCacheCount(set, 1), 0u) << "emptied in place without any map";
    EXPECT_EQ(lookup(ep, 1, "k3"), "(none)");
    kelvoShFree(filler.front()); // a block of a megabyte
    filler.erase(filler.begin());
    ASSERT_TRUE(store(set, 1, "again", "v", lease)) << "the set still takes entries";
}

struct DeadLockHolder : Cache, ::testing::WithParamInterface<uint32_t> {
    DeadLockHolder() { settings.lockKind = GetParam(); }
};

TEST_P(DeadLockHolder, TheLockIsTakenOverAndItsDatabaseStartsEmptyWithTheLeasesRaised)
{
    uint16_t lease;
    rdb *set = attach(ep, &lease);
    ASSERT_TRUE(store(set, 0, "k0", "v0", lease));
    ASSERT_TRUE(store(set, 1, "k1", "v1", lease));
    ASSERT_EQ(waitChild(forkChild([&] { return kelvoLockLockRecoverable(&set->locks[0]) == 0; })), 0);

    EXPECT_EQ(lookup(ep, 0, "k0"), "v0") << "readers take no lock";
    ASSERT_TRUE(store(set, 0, "k2", "v2", lease)) << "the next writer takes the lock over";
    EXPECT_FALSE(kelvoSharedStateBroken());
    EXPECT_EQ(lookup(ep, 0, "k0"), "(none)");
    EXPECT_EQ(lookup(ep, 1, "k1"), "(none)") << "what the set's writers stored is withdrawn";
    EXPECT_EQ(lookup(ep, 0, "k2"), "(none)") << "stored under the generation before the raise";
    EXPECT_EQ(kelvoCacheCount(set, 0), 1u);
    ASSERT_TRUE(store(set, 0, "k3", "v3", lease));
    EXPECT_EQ(lookup(ep, 0, "k3"), "v3");
    ASSERT_EQ(kelvoEndpointFlushEx(ep, -1), 0);
    drainRetired();
    checkHeap();
}

INSTANTIATE_TEST_SUITE_P(LockKinds, DeadLockHolder,
                         ::testing::Values(KELVO_LOCK_SPIN, KELVO_LOCK_MUTEX, KELVO_LOCK_ADAPTIVE_MUTEX),
                         [](const auto &info) {
                             return std::string(info.param == KELVO_LOCK_SPIN    ? "Spin"
                                                : info.param == KELVO_LOCK_MUTEX ? "Mutex"
                                                                                 : "AdaptiveMutex");
                         });

uint64_t nowMicros()
{
    struct timespec ts;
    clock_gettime(CLOCK_REALTIME, &ts);
    return uint64_t(ts.tv_sec) * 1000000 + uint64_t(ts.tv_nsec) / 1000;
}

TEST_F(Cache, AWriterThatDiedIsNoLongerServedAndItsPlaceComesBack)
{
    uint16_t mine;
    rdb *set = attach(ep, &mine);
    ASSERT_TRUE(store(set, 0, "mine", "mine", mine));
    int status = waitChild(forkChild([&] {
        uint16_t lease;
        rdb *joined = attach(ep, &lease);
        return joined == set && store(set, 0, "k", "v", lease);
    }));
    ASSERT_EQ(status, 0);
    EXPECT_EQ(writers(set), 2u);
    EXPECT_EQ(lookup(ep, 0, "k"), "v") << "not found dead yet";
    uint64_t now = nowMicros();
    EXPECT_EQ(kelvoCacheReapDeadWriters(now), 1u);
    EXPECT_EQ(lookup(ep, 0, "k"), "(none)");
    EXPECT_EQ(lookup(ep, 0, "mine"), "mine");
    EXPECT_EQ(writers(set), 1u);
    EXPECT_EQ(kelvoLeases()->free_slots, kelvoLeases()->slots - 1);
    EXPECT_EQ(kelvoCacheReapDeadWriters(now + 999999), 0u) << "at most once a second";
}

TEST_F(Cache, AttachingToAFullTableFreesTheLeasesOfEndedProcesses)
{
    ASSERT_EQ(waitChild(forkChild([&] {
                  while (kelvoLeaseAcquire(nullptr)) {
                  }
                  return true;
              })),
              0);
    uint16_t lease;
    EXPECT_NE(attach(ep, &lease), nullptr) << "caching does not stop after a crash";
}

} // namespace
