// Shared locks across forked processes: mutual exclusion, recovery from a
// dead holder, and the signal deferral around them.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

#include "runtime/cfgvals.h"
#include "shm/lock.h"
#include "runtime/log.h"
#include "support/shm_fork.h"
#include "shm/shmalloc.h"

namespace {

struct Shared {
    kelvoLock lock;
    uint64_t counter;
    uint32_t inside;
    uint32_t overlaps;
};

struct LockKind : ::testing::TestWithParam<uint32_t> {
    Shared *shared = nullptr;
    void SetUp() override
    {
        ASSERT_EQ(kelvoShInitEx(4 << 20, KELVO_PREFAULT_OFF, KELVO_LOCK_MUTEX), 0);
        shared = static_cast<Shared *>(kelvoShCalloc(1, sizeof(Shared)));
        ASSERT_EQ(kelvoLockInit(&shared->lock, GetParam()), 0);
    }
    void TearDown() override { kelvoShDestroy(); }
};

std::string kindName(const ::testing::TestParamInfo<uint32_t> &info)
{
    std::string name = kelvoLockTypeToString(info.param);
    for (char &c : name)
        if (c == '-')
            c = '_';
    return name;
}

TEST_P(LockKind, ExcludesOtherProcesses)
{
    constexpr int rounds = 20000;
    auto results = runChildren(4, [&](int) {
        for (int i = 0; i < rounds; i++) {
            if (kelvoLockLock(&shared->lock) != 0)
                return false;
            if (__atomic_fetch_add(&shared->inside, 1, __ATOMIC_RELAXED) != 0)
                shared->overlaps++;
            uint64_t seen = shared->counter; // a torn update shows as a lost increment
            __builtin_ia32_pause();
            shared->counter = seen + 1;
            __atomic_fetch_sub(&shared->inside, 1, __ATOMIC_RELAXED);
            kelvoLockUnlock(&shared->lock);
        }
        return kelvoSignalDepth == 0 && kelvoLocksHeld() == 0;
    });
    for (int rc : results)
        EXPECT_EQ(rc, 0);
    EXPECT_EQ(shared->counter, 4u * rounds);
    EXPECT_EQ(shared->overlaps, 0u);
    EXPECT_EQ(shared->lock.owner, 0u);
}

TEST_P(LockKind, DeadHolderTurnsTheSharedStateOffWithoutACrash)
{
    char path[] = "/tmp/kelvo-lock-log-XXXXXX";
    int fd = mkstemp(path);
    ASSERT_GE(fd, 0);
    close(fd);
    ASSERT_TRUE(kelvoLogConfigure("error", path));
    for (bool killed : {false, true}) {
        shared->lock.owner = 0;
        pid_t holder = forkChild([&] {
            if (kelvoLockLock(&shared->lock) != 0)
                return false;
            if (killed)
                raise(SIGKILL);
            return true; // exits holding the lock
        });
        EXPECT_EQ(waitChild(holder), killed ? 128 + SIGKILL : 0);
        EXPECT_EQ(kelvoLockLock(&shared->lock), -1);
        EXPECT_EQ(kelvoSignalDepth, 0);
        EXPECT_TRUE(kelvoSharedStateBroken());
        EXPECT_EQ(kelvoShMalloc(16), nullptr);
        // Every other process of the tree is refused too, and nobody is left waiting.
        pid_t other = forkChild([&] { return kelvoLockLock(&shared->lock) == -1 && kelvoSharedStateBroken(); });
        EXPECT_EQ(waitChild(other), 0);
        kelvoShArenaPtr->broken = 0;
        ASSERT_EQ(kelvoLockLock(&shared->lock), 0) << "the lock itself is usable again";
        kelvoLockUnlock(&shared->lock);
    }
    kelvoLogTeardown();
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    unlink(path);
    EXPECT_NE(text.str().find("detected dead owner of " + std::string(kelvoLockTypeToString(GetParam()))),
              std::string::npos)
        << text.str();
}

INSTANTIATE_TEST_SUITE_P(Locks, LockKind,
                         ::testing::Values(KELVO_LOCK_SPIN, KELVO_LOCK_MUTEX, KELVO_LOCK_ADAPTIVE_MUTEX), kindName);

TEST(Lock, ZeroFilledLockIsASpinLockAndNamesItsHolder)
{
    kelvoLock lock{};
    ASSERT_EQ(kelvoLockLock(&lock), 0);
    EXPECT_TRUE(kelvoLockHeldByMe(&lock));
    EXPECT_EQ(lock.owner & 0xffffffff, static_cast<uint64_t>(getpid()));
    EXPECT_EQ(kelvoLocksHeld(), 1);
    kelvoLockUnlock(&lock);
    EXPECT_FALSE(kelvoLockHeldByMe(&lock));
    EXPECT_EQ(kelvoLocksHeld(), 0);
}

TEST(Lock, GuardHoldsForItsScope)
{
    kelvoLock lock{};
    {
        kelvoLockGuard guard(&lock);
        EXPECT_TRUE(guard);
        EXPECT_TRUE(kelvoLockHeldByMe(&lock));
    }
    EXPECT_EQ(kelvoLocksHeld(), 0);
    EXPECT_EQ(kelvoSignalDepth, 0);
}

// What a bailout leaves held is released at request end, and the state behind it is not trusted.
TEST(Lock, LeftoverLocksAreReleasedAndTheSharedStateMarkedBroken)
{
    ASSERT_EQ(kelvoShInitEx(1 << 20, KELVO_PREFAULT_OFF, KELVO_LOCK_MUTEX), 0);
    kelvoLock *inner = &kelvoShArenaPtr->lock;
    kelvoLock outer{};
    ASSERT_EQ(kelvoLockLock(&outer), 0);
    ASSERT_EQ(kelvoLockLock(inner), 0);
    EXPECT_EQ(kelvoLocksReleaseAll(), 2);
    EXPECT_EQ(kelvoLocksHeld(), 0);
    EXPECT_EQ(kelvoSignalDepth, 0);
    EXPECT_TRUE(kelvoSharedStateBroken());
    EXPECT_EQ(outer.owner, 0u);
    EXPECT_EQ(kelvoLocksReleaseAll(), 0);
    kelvoShDestroy();
    EXPECT_FALSE(kelvoSharedStateBroken());
}

TEST(Lock, KindsFromSettingText)
{
    struct {
        const char *text;
        uint32_t kind;
    } cases[] = {{"spinlock", 0},       {"SPINLOCK", 0},        {"mutex", 1}, {"Mutex-foo", 1}, {"adaptive", 1},
                 {"adaptive-mutex", 2}, {"ADAPTIVE-MUTEX!", 2}, {"", 1},      {nullptr, 1}};
    for (const auto &c : cases)
        EXPECT_EQ(kelvoLockTypeFromText(c.text), c.kind) << (c.text ? c.text : "(null)");
    EXPECT_STREQ(kelvoLockTypeToString(2), "adaptive-mutex");
}

TEST(LockDeathTest, UnknownKindNameAndUndeferWithoutDeferralAreFatal)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(kelvoLockTypeToString(3), testing::KilledBySignal(SIGSEGV), "unreachable");
    EXPECT_EXIT(kelvoUndeferSignals(), testing::KilledBySignal(SIGSEGV), "kelvoSignalDepth > 0");
    EXPECT_EQ(kelvoLockInit(nullptr, 7), -1);
}

// Debug builds stop at the owner check; others when the lock is not among those held.
TEST(LockDeathTest, ReleasingALockThisProcessDoesNotHoldIsFatal)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    kelvoLock notHeld{};
    EXPECT_EXIT(kelvoLockUnlock(&notHeld), testing::KilledBySignal(SIGSEGV), "kelvoLockHeldByMe\\(lock\\)|unreachable");
}

// The engine's depth and the deferred SIGIO handler, through the hooks.
struct Deferral : ::testing::Test {
    static inline int engineDepth, sigioRuns, depthSeenBySigio;
    static inline bool consume;
    kelvoSignalHooks saved = kelvoSignals;
    void SetUp() override
    {
        engineDepth = sigioRuns = 0;
        depthSeenBySigio = -1;
        consume = true;
        kelvoSignals = {[] { engineDepth++; }, [] { engineDepth--; },
                        [] {
                            sigioRuns++;
                            depthSeenBySigio = kelvoSignalDepth;
                            if (consume)
                                kelvoSigioDeferrals--;
                        }};
    }
    void TearDown() override
    {
        kelvoSignals = saved;
        kelvoSigioDeferrals = 0;
    }
};

TEST_F(Deferral, SigioArrivingUnderALockRunsAfterTheLastUnlock)
{
    kelvoLock outer{}, inner{};
    ASSERT_EQ(kelvoLockLock(&outer), 0);
    ASSERT_EQ(kelvoLockLock(&inner), 0);
    EXPECT_EQ(engineDepth, 2);
    EXPECT_EQ(kelvoSignalDepth, 2);
    kelvoSigioDeferrals = 2; // as the SIGIO handler counts them
    kelvoLockUnlock(&inner);
    EXPECT_EQ(sigioRuns, 0);
    kelvoLockUnlock(&outer);
    EXPECT_EQ(sigioRuns, 2);
    EXPECT_EQ(depthSeenBySigio, 0);
    EXPECT_EQ(engineDepth, 0);
    EXPECT_EQ(kelvoInSigioHandler, 0u);
}

TEST_F(Deferral, ReplayStopsWhenTheHandlerMakesNoProgress)
{
    consume = false; // as during a request: the handler declines
    kelvoSigioDeferrals = 3;
    kelvoDeferSignals();
    kelvoUndeferSignals();
    EXPECT_EQ(sigioRuns, 1);
    EXPECT_EQ(kelvoSigioDeferrals, 3u);
}

TEST_F(Deferral, TermSignalsAreBlockedAndRestored)
{
    sigset_t old, now;
    ASSERT_EQ(kelvoBlockTermSignals(&old), 0);
    EXPECT_EQ(kelvoSignalDepth, 1);
    EXPECT_EQ(engineDepth, 1);
    pthread_sigmask(SIG_SETMASK, nullptr, &now);
    EXPECT_TRUE(sigismember(&now, SIGTERM));
    EXPECT_TRUE(sigismember(&now, SIGQUIT));
    kelvoRestoreTermSignals(&old);
    pthread_sigmask(SIG_SETMASK, nullptr, &now);
    EXPECT_FALSE(sigismember(&now, SIGTERM));
    EXPECT_EQ(kelvoSignalDepth, 0);
    EXPECT_EQ(engineDepth, 0);
}

TEST(Lock, ForkedChildNamesItselfAsOwner)
{
    kelvoLock lock{};
    kelvoLockPid();
    pid_t child = forkChild([&] {
        if (kelvoLockLock(&lock) != 0)
            return false;
        bool ok = (lock.owner & 0xffffffff) == static_cast<uint64_t>(getpid()) &&
                  (lock.owner >> 32) == static_cast<uint64_t>(gettid());
        kelvoLockUnlock(&lock);
        return ok;
    });
    EXPECT_EQ(waitChild(child), 0);
}

} // namespace
