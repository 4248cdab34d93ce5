// The key-lease table without the engine: slot counts, a full table and a reacquired slot,
// 64-bit generations, and holders that ended without giving their slots back, told by
// process id and start time.
#include "cache_fixture.h"
#include "support/shm_fork.h"

#include <csignal>
#include <vector>

namespace {

struct SlotCountCase {
    uint32_t requested;
    uint16_t slots;
};

const SlotCountCase slotCountCases[] = {
    {0, 16},    {4, 16},      {16, 16},      {17, 32},       {32, 32},
    {100, 128}, {8192, 8192}, {8193, 16384}, {32768, 16384}, {65535, 16384},
};

class SlotCount : public ::testing::TestWithParam<SlotCountCase> {};

TEST_P(SlotCount, PowerOfTwoFromSixteenCappedBelowTheFailedHandle)
{
    uint16_t slots = kelvoLeaseSlotCount(GetParam().requested);
    EXPECT_EQ(slots, GetParam().slots);
    uint16_t highest = uint16_t((slots - 1) | KELVO_LEASE_BIT);
    EXPECT_NE(highest, KELVO_LEASE_FAILED);
    EXPECT_TRUE(kelvoLeaseIsSlot(highest));
}

INSTANTIATE_TEST_SUITE_P(Requested, SlotCount, ::testing::ValuesIn(slotCountCases),
                         [](const auto &info) { return "requested" + std::to_string(info.param.requested); });

struct Leases : CacheArena {
    Leases() { settings.leases = 16; }
    static kelvoLeaseSlot &slot(uint16_t handle) { return *kelvoLeaseSlotOf(handle); }
    static uint16_t freeSlots() { return kelvoLeases()->free_slots; }
};

TEST_F(Leases, FullTableRefusesThenAReleasedSlotComesBackTwoGenerationsOn)
{
    std::vector<uint16_t> handles;
    for (int i = 0; i < 16; i++) {
        handles.push_back(kelvoLeaseAcquire(nullptr));
        EXPECT_EQ(handles.back(), uint16_t(i | KELVO_LEASE_BIT));
    }
    EXPECT_EQ(freeSlots(), 0);
    EXPECT_EQ(kelvoLeaseAcquire(nullptr), KELVO_LEASE_NONE);

    uint16_t fifth = handles[5];
    uint64_t first = kelvoLeaseToken(fifth);
    kelvoLeaseRelease(kelvoLeases(), fifth);
    EXPECT_EQ(freeSlots(), 1);
    EXPECT_EQ(kelvoLeaseAcquire(nullptr), fifth);
    EXPECT_EQ(kelvoLeaseToken(fifth), first + 2);
    EXPECT_EQ(freeSlots(), 0);
}

TEST_F(Leases, GenerationsDoNotWrapAtThirtyTwoBits)
{
    uint16_t handle = kelvoLeaseAcquire(nullptr);
    slot(handle).generation = 0xFFFFFFFFULL;
    uint64_t token = kelvoLeaseToken(handle);
    kelvoLeaseInvalidate(handle);
    EXPECT_EQ(kelvoLeaseToken(handle), 0x100000000ULL);
    EXPECT_FALSE(kelvoLeaseCurrent(handle, token));
    EXPECT_FALSE(kelvoLeaseCurrent(handle, uint32_t(kelvoLeaseToken(handle))));
}

TEST_F(Leases, AnotherProcessCannotReleaseASlotItDoesNotHold)
{
    uint16_t handle = kelvoLeaseAcquire(nullptr);
    uint64_t token = kelvoLeaseToken(handle);
    EXPECT_EQ(waitChild(forkChild([&] {
                  kelvoLeaseRelease(kelvoLeases(), handle);
                  return !kelvoLeaseHeldByMe(handle);
              })),
              0);
    EXPECT_TRUE(kelvoLeaseHeldByMe(handle));
    EXPECT_EQ(kelvoLeaseToken(handle), token);
}

rdb *const someSet = reinterpret_cast<rdb *>(0x1000);
std::vector<rdb *> givenBack;
void recordGivenBack(rdb *db) { givenBack.push_back(db); }

/* How a holder ends without giving its slot back. */
struct EndingCase {
    const char *name;
    bool killed; // SIGKILL while running; else it exits without releasing
    bool reaped; // its parent has waited for it (else it is a zombie)
};

const EndingCase endingCases[] = {
    {"KilledAndWaitedFor", true, true},
    {"KilledLeftAZombie", true, false},
    {"ExitedWithoutRelease", false, true},
};

struct DeadHolders : Leases, ::testing::WithParamInterface<EndingCase> {};

TEST_P(DeadHolders, SlotFreedGenerationRaisedAndWriterPlaceGivenBack)
{
    int ready[2];
    ASSERT_EQ(pipe(ready), 0);
    pid_t child = forkChild([&] {
        uint16_t handle = kelvoLeaseAcquire(someSet);
        if (write(ready[1], &handle, sizeof handle) != sizeof handle)
            return false;
        if (GetParam().killed)
            pause();
        return true;
    });
    uint16_t handle = 0;
    ASSERT_EQ(read(ready[0], &handle, sizeof handle), ssize_t(sizeof handle));
    close(ready[0]);
    close(ready[1]);
    uint64_t token = kelvoLeaseToken(handle);
    if (GetParam().killed) { // it waits to be killed
        EXPECT_EQ(kelvoLeaseReapDead(recordGivenBack), 0u) << "a live holder keeps its slot";
    }

    if (GetParam().killed)
        kill(child, SIGKILL);
    siginfo_t info;
    ASSERT_EQ(waitid(P_PID, child, &info, WEXITED | (GetParam().reaped ? 0 : WNOWAIT)), 0);

    givenBack.clear();
    EXPECT_EQ(kelvoLeaseReapDead(recordGivenBack), 1u);
    EXPECT_FALSE(kelvoLeaseCurrent(handle, token)) << "what it stored is withdrawn";
    EXPECT_EQ(slot(handle).holder, 0u);
    EXPECT_EQ(slot(handle).db, nullptr);
    EXPECT_EQ(givenBack, std::vector<rdb *>{someSet});
    EXPECT_EQ(freeSlots(), 16);
    EXPECT_EQ(kelvoLeaseReapDead(recordGivenBack), 0u) << "freed once";
    if (!GetParam().reaped)
        waitChild(child);
}

INSTANTIATE_TEST_SUITE_P(Ending, DeadHolders, ::testing::ValuesIn(endingCases),
                         [](const auto &info) { return std::string(info.param.name); });

TEST_F(Leases, AReusedProcessIdDoesNotKeepADeadHoldersSlot)
{
    // A live process with the holder's id but another start time is not the holder.
    int gate[2];
    ASSERT_EQ(pipe(gate), 0);
    pid_t child = forkChild([&] {
        char c;
        return read(gate[0], &c, 1) == 1;
    });
    uint64_t start = 0;
    ASSERT_TRUE(kelvoProcessStartTime(uint32_t(child), &start));
    uint16_t handle = kelvoLeaseAcquire(nullptr);
    slot(handle).holder = uint64_t(uint32_t(child)) | ((start + 1) & 0xffffffffULL) << 32;
    EXPECT_EQ(kelvoLeaseReapDead(recordGivenBack), 1u);
    EXPECT_EQ(slot(handle).holder, 0u);

    handle = kelvoLeaseAcquire(nullptr);
    slot(handle).holder = uint64_t(uint32_t(child)) | (start & 0xffffffffULL) << 32;
    EXPECT_EQ(kelvoLeaseReapDead(recordGivenBack), 0u) << "the real holder is alive";
    EXPECT_EQ(write(gate[1], "x", 1), 1);
    EXPECT_EQ(waitChild(child), 0);
    close(gate[0]);
    close(gate[1]);
}

TEST_F(Leases, ADeadHoldersSlotIsFreedOnceAcrossProcesses)
{
    pid_t holder = forkChild([] {
        kelvoLeaseAcquire(someSet);
        return true;
    });
    ASSERT_EQ(waitChild(holder), 0);
    std::vector<int> freed = runChildren(8, [](int) { return kelvoLeaseReapDead(nullptr) == 1; });
    EXPECT_EQ(std::count(freed.begin(), freed.end(), 0), 1) << "exactly one reaper frees it";
    EXPECT_EQ(freeSlots(), 16);
}

} // namespace
