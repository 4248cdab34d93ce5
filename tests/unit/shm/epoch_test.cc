// The global epoch across forked processes: one record per process, grace
// periods, exactly-once freeing under concurrent retirers, and records of
// dead processes given back by the poll.
#include <gtest/gtest.h>

#include "runtime/cfgvals.h"
#include "shm/epoch.h"
#include "shm/shared.h"
#include "support/shm_fork.h"
#include "shm/shmalloc.h"

namespace {

// A retired object: its epoch entry in front, then the slot it counts frees in.
struct Retired {
    kelvoEpochEntry entry;
    uint32_t slot;
};

uint32_t *freeCounts; // in the arena: how often each slot's object was freed

void countAndFree(kelvoEpochEntry *entry)
{
    auto *object = reinterpret_cast<Retired *>(entry);
    __atomic_fetch_add(&freeCounts[object->slot], 1, __ATOMIC_RELAXED);
    kelvoShFree(object);
}

// A pipe pair to step a child through its section.
struct Gate {
    int toChild[2], toParent[2];
    Gate() { EXPECT_TRUE(pipe(toChild) == 0 && pipe(toParent) == 0); }
    ~Gate()
    {
        for (int fd : {toChild[0], toChild[1], toParent[0], toParent[1]})
            close(fd);
    }
    static bool send(int fd) { return write(fd, "x", 1) == 1; }
    static bool wait(int fd)
    {
        char c;
        return read(fd, &c, 1) == 1;
    }
};

struct Epoch : ::testing::Test {
    static constexpr uint32_t slots = 4096;
    kelvoCfgValsRecord savedCfg = kelvoCfgVals;
    void SetUp() override
    {
        kelvoCfgVals.enabled = 1;
        kelvoCfgVals.initialized = 1;
        kelvoCfgVals.initial_readers = 32;
        kelvoCfgVals.databases = 16;
        ASSERT_EQ(kelvoShInitEx(16 << 20, KELVO_PREFAULT_OFF, KELVO_LOCK_ADAPTIVE_MUTEX), 0);
        ASSERT_EQ(kelvoInitSharedCache(), 0);
        freeCounts = static_cast<uint32_t *>(kelvoShCalloc(slots, sizeof(uint32_t)));
        kelvoReader = {};
    }
    void TearDown() override
    {
        kelvoGlobalEpochRelease();
        kelvoSharedData = nullptr;
        kelvoShDestroy();
        kelvoCfgVals = savedCfg;
    }
    static bool retire(uint32_t slot)
    {
        auto *object = static_cast<Retired *>(kelvoShMalloc(sizeof(Retired)));
        if (!object)
            return false;
        object->slot = slot;
        kelvoGlobalEpochRetire(&object->entry, countAndFree);
        return true;
    }
    static uint32_t freed(uint32_t from, uint32_t to)
    {
        uint32_t total = 0;
        for (uint32_t i = from; i < to; i++)
            total += __atomic_load_n(&freeCounts[i], __ATOMIC_RELAXED);
        return total;
    }
    static void pollSome()
    {
        for (int i = 0; i < 8; i++)
            kelvoGlobalEpochPoll();
    }
};

TEST_F(Epoch, RootHoldsTheEpochAndAPoolOfFreeRecords)
{
    EXPECT_EQ(reinterpret_cast<uintptr_t>(kelvoSharedData) % 64, 0u);
    EXPECT_NE(kelvoCache()->readers, nullptr);
    EXPECT_EQ(kelvoCache()->databases, 16u);
    EXPECT_EQ(kelvoGlobalEpochFreeReaders(), 32u);
    EXPECT_EQ(kelvoCache()->lock.type, KELVO_LOCK_SPIN);
    ASSERT_EQ(kelvoGlobalEpochInit(), 0);
    EXPECT_EQ(kelvoGlobalEpochFreeReaders(), 31u);
    kelvoEpochRecord *rec = kelvoReader.rec;
    ASSERT_EQ(kelvoGlobalEpochInit(), 0);
    EXPECT_EQ(kelvoReader.rec, rec) << "a process keeps its record";
    EXPECT_EQ(kelvoCkEpochOwner(rec), static_cast<uint32_t>(getpid()));
    kelvoGlobalEpochBegin();
    EXPECT_EQ(kelvoSignalDepth, 1);
    EXPECT_TRUE(kelvoCkEpochActive(rec));
    kelvoGlobalEpochEnd();
    EXPECT_EQ(kelvoSignalDepth, 0);
    kelvoGlobalEpochRelease();
    EXPECT_EQ(kelvoReader.rec, nullptr);
    EXPECT_EQ(kelvoGlobalEpochFreeReaders(), 32u);
}

TEST_F(Epoch, EveryProcessTakesItsOwnRecord)
{
    ASSERT_EQ(kelvoGlobalEpochInit(), 0);
    kelvoEpochRecord *parentRec = kelvoReader.rec;
    auto results = runChildren(3, [&](int) {
        return kelvoGlobalEpochInit() == 0 && kelvoReader.rec != parentRec &&
               kelvoCkEpochOwner(kelvoReader.rec) == static_cast<uint32_t>(getpid());
    });
    for (int rc : results)
        EXPECT_EQ(rc, 0);
    // The children exited holding their records; the poll gives them back.
    EXPECT_EQ(kelvoGlobalEpochFreeReaders(), 28u);
    kelvoGlobalEpochPoll();
    EXPECT_EQ(kelvoGlobalEpochFreeReaders(), 31u);
}

TEST_F(Epoch, NothingIsFreedWhileAnotherProcessIsInsideItsSection)
{
    Gate gate;
    pid_t reader = forkChild([&] {
        if (kelvoGlobalEpochInit() != 0)
            return false;
        kelvoGlobalEpochBegin();
        Gate::send(gate.toParent[1]);
        Gate::wait(gate.toChild[0]);
        kelvoGlobalEpochEnd();
        Gate::send(gate.toParent[1]);
        Gate::wait(gate.toChild[0]);
        return true;
    });
    ASSERT_TRUE(Gate::wait(gate.toParent[0]));
    for (uint32_t i = 0; i < 100; i++)
        ASSERT_TRUE(retire(i));
    pollSome();
    EXPECT_EQ(freed(0, 100), 0u);
    EXPECT_EQ(kelvoGlobalEpochPending(), 100u);
    Gate::send(gate.toChild[1]);
    ASSERT_TRUE(Gate::wait(gate.toParent[0])); // section closed, record still held
    pollSome();
    EXPECT_EQ(freed(0, 100), 100u);
    EXPECT_EQ(kelvoGlobalEpochPending(), 0u);
    Gate::send(gate.toChild[1]);
    EXPECT_EQ(waitChild(reader), 0);
}

TEST_F(Epoch, AProcessThatDiesInsideASectionDoesNotStopReclamation)
{
    ASSERT_EQ(kelvoGlobalEpochInit(), 0); // the poller's own record
    unsigned freeReaders = kelvoGlobalEpochFreeReaders();
    pid_t reader = forkChild([&] {
        if (kelvoGlobalEpochInit() != 0)
            return false;
        kelvoGlobalEpochBegin();
        raise(SIGKILL);
        return true;
    });
    EXPECT_EQ(waitChild(reader), 128 + SIGKILL);
    ASSERT_TRUE(retire(0));
    pollSome();
    EXPECT_EQ(freed(0, 1), 1u);
    EXPECT_EQ(kelvoGlobalEpochFreeReaders(), freeReaders);
}

TEST_F(Epoch, EachRetiredObjectIsFreedExactlyOnceUnderConcurrentRetirers)
{
    constexpr int procs = 4;
    constexpr uint32_t perProc = slots / procs;
    auto *pollLock = static_cast<kelvoLock *>(kelvoShCalloc(1, sizeof(kelvoLock))); // one poller at a time
    auto results = runChildren(procs, [&](int index) {
        if (kelvoGlobalEpochInit() != 0)
            return false;
        for (uint32_t i = 0; i < perProc; i++) {
            kelvoGlobalEpochBegin();
            kelvoGlobalEpochEnd();
            if (!retire(index * perProc + i))
                return false;
            if (i % 64 == 0 && kelvoLockLock(pollLock) == 0) {
                kelvoGlobalEpochPoll();
                kelvoLockUnlock(pollLock);
            }
        }
        kelvoGlobalEpochRelease();
        return true;
    });
    for (int rc : results)
        EXPECT_EQ(rc, 0);
    pollSome();
    EXPECT_EQ(kelvoGlobalEpochPending(), 0u);
    for (uint32_t i = 0; i < slots; i++)
        ASSERT_EQ(freeCounts[i], 1u) << "slot " << i;
}

TEST_F(Epoch, NoRecordWhenThePoolIsEmptyAndTheHeapFull)
{
    std::vector<pid_t> holders;
    for (int i = 0; i < 32; i++) {
        Gate *gate = new Gate;
        holders.push_back(forkChild([&] {
            bool ok = kelvoGlobalEpochInit() == 0;
            Gate::send(gate->toParent[1]);
            Gate::wait(gate->toChild[0]);
            return ok;
        }));
        Gate::wait(gate->toParent[0]);
        Gate::send(gate->toChild[1]);
        delete gate;
    }
    EXPECT_EQ(kelvoGlobalEpochFreeReaders(), 0u);
    std::vector<void *> fill;
    while (void *p = kelvoShMalloc(1024))
        fill.push_back(p);
    while (void *p = kelvoShMalloc(16))
        fill.push_back(p);
    EXPECT_EQ(kelvoGlobalEpochInit(), -1);
    EXPECT_EQ(kelvoReader.rec, nullptr);
    for (pid_t pid : holders)
        waitChild(pid);
}

// The root lock is a zero-filled spin lock; a holder that dies is found through its spin word.
TEST_F(Epoch, ADeadHolderOfTheRootLockTurnsTheCacheOffForTheTree)
{
    pid_t holder = forkChild([] { return kelvoLockLock(&kelvoCache()->lock) == 0; });
    ASSERT_EQ(waitChild(holder), 0);
    EXPECT_TRUE(kelvoCacheUsable());
    EXPECT_EQ(kelvoLockLock(&kelvoCache()->lock), -1);
    EXPECT_FALSE(kelvoCacheUsable());
    EXPECT_EQ(kelvoGlobalEpochInit(), -1);
    pid_t worker = forkChild([] { return !kelvoCacheUsable() && kelvoShMalloc(16) == nullptr; });
    EXPECT_EQ(waitChild(worker), 0);
}

TEST_F(Epoch, RequestEndClosesASectionABailoutLeftOpen)
{
    ASSERT_EQ(kelvoGlobalEpochInit(), 0);
    kelvoGlobalEpochBegin();
    EXPECT_EQ(kelvoSharedRequestEnd(), 1);
    EXPECT_EQ(kelvoReader.active, 0u);
    EXPECT_FALSE(kelvoCkEpochActive(kelvoReader.rec));
    EXPECT_EQ(kelvoSignalDepth, 0);
    EXPECT_FALSE(kelvoSharedStateBroken()) << "an open section changes nothing shared";
    EXPECT_EQ(kelvoSharedRequestEnd(), 0);
}

TEST(SharedRoot, ARootThatDoesNotFitLeavesNothingBehind)
{
    kelvoCfgValsRecord saved = kelvoCfgVals;
    kelvoCfgVals.enabled = 1;
    kelvoCfgVals.initialized = 1;
    kelvoCfgVals.initial_readers = 65536; // 12 MiB of records in a 4 MiB arena
    ASSERT_EQ(kelvoShInitEx(4 << 20, KELVO_PREFAULT_OFF, KELVO_LOCK_SPIN), 0);
    EXPECT_EQ(kelvoInitSharedCache(), -1);
    EXPECT_EQ(kelvoSharedData, nullptr);
    EXPECT_EQ(kelvoShUsed(), kelvoShActive() - kelvoShFreeBytes());
    EXPECT_EQ(kelvoShArenaPtr->tree.count, 1u) << "the root's block went back";
    kelvoCfgVals.initial_readers = 32;
    EXPECT_EQ(kelvoInitSharedCache(), 0);
    kelvoSharedData = nullptr;
    kelvoShDestroy();
    kelvoCfgVals = saved;
}

TEST(EpochOff, TheHashSeedComesFromTheKernelNotFromTheClockSeededGenerator)
{
    kelvoCfgValsRecord saved = kelvoCfgVals;
    kelvoCfgVals.enabled = 1;
    kelvoCfgVals.initialized = 1;
    kelvoCfgVals.initial_readers = 32;
    uint64_t seeds[2];
    for (uint64_t &seed : seeds) {
        srand(1);
        ASSERT_EQ(kelvoShInitEx(1 << 20, KELVO_PREFAULT_OFF, KELVO_LOCK_SPIN), 0);
        ASSERT_EQ(kelvoInitSharedCache(), 0);
        seed = kelvoCache()->seed;
        kelvoSharedData = nullptr;
        kelvoShDestroy();
    }
    EXPECT_NE(seeds[0], seeds[1]);
    EXPECT_NE(seeds[0], 0u);
    kelvoCfgVals = saved;
}

TEST(EpochOff, InitFailsWhenTheCacheIsOff)
{
    kelvoCfgValsRecord saved = kelvoCfgVals;
    kelvoCfgVals.enabled = 0;
    kelvoCfgVals.initialized = 1;
    ASSERT_EQ(kelvoShInitEx(1 << 20, KELVO_PREFAULT_OFF, KELVO_LOCK_SPIN), 0);
    ASSERT_EQ(kelvoInitSharedCache(), 0);
    EXPECT_NE(kelvoSharedData, nullptr);
    EXPECT_EQ(kelvoCache()->readers, nullptr);
    EXPECT_EQ(kelvoGlobalEpochInit(), -1);
    EXPECT_EQ(kelvoReader.rec, nullptr);
    kelvoSharedData = nullptr;
    kelvoShDestroy();
    kelvoCfgVals = saved;
}

using EpochDeathTest = Epoch;

TEST_F(EpochDeathTest, SectionsDoNotNestAndNeedTheProcessesOwnRecord)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    ASSERT_EQ(kelvoGlobalEpochInit(), 0);
    EXPECT_EXIT(
        {
            kelvoGlobalEpochBegin();
            kelvoGlobalEpochBegin();
        },
        testing::KilledBySignal(SIGSEGV), "kelvoReader.rec != NULL");
    EXPECT_EXIT(kelvoGlobalEpochEnd(), testing::KilledBySignal(SIGSEGV), "Assertion");
    pid_t child = forkChild([] {
        // A forked child may not enter a section on its parent's record.
        pid_t grandchild = fork();
        if (grandchild == 0) {
            kelvoGlobalEpochBegin();
            _exit(0);
        }
        int status;
        waitpid(grandchild, &status, 0);
        return WIFSIGNALED(status) && WTERMSIG(status) == SIGSEGV;
    });
    EXPECT_EQ(waitChild(child), 0);
}

} // namespace
