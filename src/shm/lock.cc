/* Shared locks, dead-holder recovery and signal deferral. */
#include "shm/lock.h"
#include "runtime/cfgvals.h"
#include "runtime/fatal.h"
#include "runtime/log.h"

#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <initializer_list>
#include <strings.h>
#include <sys/syscall.h>
#include <unistd.h>

/* --- process identity ------------------------------------------------------------ */

static uint32_t mutexOwnerPid;
static uint32_t mutexOwnerTid;

static void forgetOwnerIds(void) { mutexOwnerPid = 0; }

/* The cache is dropped in every forked child, so a lock never names the parent. */
[[maybe_unused]] static const int atforkRegistered = pthread_atfork(nullptr, nullptr, forgetOwnerIds);

uint32_t kelvoLockPid(void)
{
    if (__builtin_expect(mutexOwnerPid == 0, 0)) {
        mutexOwnerPid = static_cast<uint32_t>(getpid());
        mutexOwnerTid = static_cast<uint32_t>(syscall(SYS_gettid));
    }
    return mutexOwnerPid;
}

static uint64_t ownerWord(void)
{
    uint32_t pid = kelvoLockPid();
    return (static_cast<uint64_t>(mutexOwnerTid) << 32) | pid;
}

bool kelvoProcessAlive(uint32_t pid) { return kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM; }

bool kelvoProcessStartTime(uint32_t pid, uint64_t *start)
{
    char path[32], text[1024];
    snprintf(path, sizeof path, "/proc/%u/stat", pid);
    int fd = open(path, O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    ssize_t got = read(fd, text, sizeof text - 1);
    close(fd);
    if (got <= 0)
        return false;
    text[got] = '\0';
    /* The command name may hold blanks and parentheses: fields are counted from its last ')'. */
    const char *at = strrchr(text, ')');
    if (!at || at[1] != ' ')
        return false;
    at += 2;
    if (*at == 'Z' || *at == 'X')
        return false;
    for (int field = 3; field < 22; field++) {
        at = strchr(at, ' ');
        if (!at)
            return false;
        at++;
    }
    char *end;
    *start = strtoull(at, &end, 10);
    return end != at;
}

bool kelvoOwnerTake(uint32_t *word)
{
    uint32_t holder = 0, me = kelvoLockPid();
    if (__atomic_compare_exchange_n(word, &holder, me, false, __ATOMIC_ACQUIRE, __ATOMIC_RELAXED))
        return true;
    if (holder == me || kelvoProcessAlive(holder))
        return false;
    kelvoShLog(KELVO_LL_WARNING, "CRON - process %u died holding a task; taken over", holder);
    return __atomic_compare_exchange_n(word, &holder, me, false, __ATOMIC_ACQUIRE, __ATOMIC_RELAXED);
}

void kelvoOwnerGive(uint32_t *word)
{
    uint32_t me = kelvoLockPid();
    __atomic_compare_exchange_n(word, &me, 0, false, __ATOMIC_RELEASE, __ATOMIC_RELAXED);
}

/* --- broken flag --------------------------------------------------------------------- */

static uint32_t localBroken;
static uint32_t *brokenFlag = &localBroken;

void kelvoLockSetBrokenFlag(uint32_t *flag) { brokenFlag = flag ? flag : &localBroken; }
bool kelvoSharedStateBroken(void) { return __atomic_load_n(brokenFlag, __ATOMIC_ACQUIRE) != 0; }
void kelvoSharedStateSetBroken(void) { __atomic_store_n(brokenFlag, 1, __ATOMIC_RELEASE); }

/* --- signal deferral ------------------------------------------------------------------- */

static void noHook(void) {}

kelvoSignalHooks kelvoSignals = {noHook, noHook, nullptr};
int32_t kelvoSignalDepth;
uint32_t kelvoSigioDeferrals;
uint32_t kelvoInSigioHandler;

void kelvoUndeferSignals(void)
{
    kelvoAssert(kelvoSignalDepth > 0);
    __atomic_signal_fence(__ATOMIC_SEQ_CST);
    __atomic_store_n(&kelvoSignalDepth, kelvoSignalDepth - 1, __ATOMIC_RELAXED);
    kelvoSignals.leave();
    if (kelvoInSigioHandler || !kelvoSignals.sigio)
        return;
    /* A replay that consumes no deferral (the handler declined to run) ends it. */
    while (kelvoSignalDepth == 0) {
        uint32_t pending = __atomic_load_n(&kelvoSigioDeferrals, __ATOMIC_ACQUIRE);
        if (pending == 0)
            break;
        kelvoInSigioHandler = 1;
        kelvoSignals.sigio();
        kelvoInSigioHandler = 0;
        if (__atomic_load_n(&kelvoSigioDeferrals, __ATOMIC_ACQUIRE) >= pending)
            break;
    }
}

int kelvoBlockTermSignals(sigset_t *old)
{
    kelvoDeferSignals();
    sigset_t block;
    sigemptyset(&block);
    sigaddset(&block, SIGTERM);
    sigaddset(&block, SIGQUIT);
    int rc = pthread_sigmask(SIG_BLOCK, &block, old);
    if (rc == 0)
        return 0;
    kelvoUndeferSignals();
    kelvoShLog(KELVO_LL_WARNING, "Failed to block termination signals: %s", strerror(rc));
    return -1;
}

void kelvoRestoreTermSignals(const sigset_t *old)
{
    int rc = pthread_sigmask(SIG_SETMASK, old, nullptr);
    if (rc != 0)
        kelvoShLog(KELVO_LL_WARNING, "Failed to restore signal mask: %s", strerror(rc));
    kelvoUndeferSignals();
}

/* --- locks -------------------------------------------------------------------------------- */

/* The shared locks this process holds, innermost last (request end releases leftovers). */
constexpr int MAX_HELD_LOCKS = 8;
static kelvoLock *heldLocks[MAX_HELD_LOCKS];
static int locksHeld;

int kelvoLocksHeld(void) { return locksHeld; }

static void noteHeld(kelvoLock *lock)
{
    kelvoAssert(locksHeld < MAX_HELD_LOCKS);
    heldLocks[locksHeld++] = lock;
}

static void noteReleased(kelvoLock *lock)
{
    for (int i = locksHeld - 1; i >= 0; i--) {
        if (heldLocks[i] != lock)
            continue;
        for (int j = i; j < locksHeld - 1; j++)
            heldLocks[j] = heldLocks[j + 1];
        locksHeld--;
        return;
    }
    kelvoUnreachable();
}

int kelvoLocksReleaseAll(void)
{
    int count = locksHeld;
    if (count == 0)
        return 0;
    kelvoSharedStateSetBroken();
    while (locksHeld > 0)
        kelvoLockUnlock(heldLocks[locksHeld - 1]);
    return count;
}

static uint32_t *spinWord(kelvoLock *lock) { return reinterpret_cast<uint32_t *>(&lock->mutex); }

static int initMutex(kelvoLock *lock, uint32_t kind)
{
    pthread_mutexattr_t attr;
    const char *call = "pthread_mutexattr_init";
    int rc = pthread_mutexattr_init(&attr);
    if (rc != 0)
        goto failed;
    if (kind == KELVO_LOCK_ADAPTIVE_MUTEX && (rc = pthread_mutexattr_settype(&attr, PTHREAD_MUTEX_ADAPTIVE_NP))) {
        call = "pthread_mutexattr_settype";
    } else if ((rc = pthread_mutexattr_setpshared(&attr, PTHREAD_PROCESS_SHARED))) {
        call = "pthread_mutexattr_setpshared";
    } else if ((rc = pthread_mutexattr_setrobust(&attr, PTHREAD_MUTEX_ROBUST))) {
        call = "pthread_mutexattr_setrobust";
    } else if ((rc = pthread_mutex_init(&lock->mutex, &attr))) {
        call = "pthread_mutex_init";
    }
    pthread_mutexattr_destroy(&attr);
    if (rc == 0) {
        lock->owner = 0;
        lock->type = kind;
        return 0;
    }
failed:
    kelvoShLog(KELVO_LL_ERROR, "LOCK - '%s' error (%s:%d)", call, strerror(rc), rc);
    return -1;
}

int kelvoLockInit(kelvoLock *lock, uint32_t kind)
{
    switch (kind) {
    case KELVO_LOCK_SPIN:
        memset(lock, 0, sizeof *lock);
        return 0;
    case KELVO_LOCK_MUTEX:
    case KELVO_LOCK_ADAPTIVE_MUTEX:
        return initMutex(lock, kind);
    default:
        kelvoShLog(KELVO_LL_ERROR, "LOCK - unknown lock kind %u", kind);
        return -1;
    }
}

[[noreturn]] static void mutexLockPanic(pthread_mutex_t *mutex, const char *call, int rc)
{
    kelvoPanic("%s failed for mutex %p (%s:%d)", call, static_cast<void *>(mutex), strerror(rc), rc);
}

/* Gives up a lock that was taken only to be refused: the state behind it is broken. */
static int refuse(kelvoLock *lock)
{
    lock->owner = 0;
    if (lock->type == KELVO_LOCK_SPIN)
        __atomic_store_n(spinWord(lock), 0, __ATOMIC_RELEASE);
    else
        pthread_mutex_unlock(&lock->mutex);
    kelvoUndeferSignals();
    return -1;
}

static void reportDeadOwner(const char *call, kelvoLock *lock, uint64_t owner, bool recoverable)
{
    if (!recoverable)
        kelvoSharedStateSetBroken();
    kelvoShLog(KELVO_LL_ERROR,
               "%s detected dead owner of %s %p (owner pid=%ld, tid=%ld; observer pid=%ld, tid=%ld); %s", call,
               kelvoLockTypeToString(lock->type), static_cast<void *>(lock), static_cast<long>(owner & 0xffffffff),
               static_cast<long>(owner >> 32), static_cast<long>(kelvoLockPid()), static_cast<long>(mutexOwnerTid),
               recoverable ? "taken over, its guarded state is rebuilt"
                           : "protected shared state may be inconsistent, shared cache disabled");
}

constexpr unsigned SPINS_BETWEEN_OWNER_CHECKS = 1u << 14;
constexpr unsigned MAX_BACKOFF = 64;

/* 0 when taken, else the process id of the dead holder it was taken over from. */
static uint32_t spinLock(kelvoLock *lock)
{
    uint32_t *word = spinWord(lock), me = kelvoLockPid();
    uint32_t expected = 0;
    if (__atomic_compare_exchange_n(word, &expected, me, false, __ATOMIC_ACQUIRE, __ATOMIC_RELAXED))
        return 0;
    /* Waiters back off exponentially so a crowd does not starve the holder of the line. */
    unsigned backoff = 1;
    for (unsigned spins = 1;; spins++) {
        uint32_t holder = __atomic_load_n(word, __ATOMIC_RELAXED);
        if (holder == 0) {
            expected = 0;
            if (__atomic_compare_exchange_n(word, &expected, me, false, __ATOMIC_ACQUIRE, __ATOMIC_RELAXED))
                return 0;
            for (unsigned i = 0; i < backoff; i++)
                __builtin_ia32_pause();
            backoff = backoff < MAX_BACKOFF ? backoff * 2 : MAX_BACKOFF;
            continue;
        }
        if (spins % SPINS_BETWEEN_OWNER_CHECKS == 0 && holder != me && !kelvoProcessAlive(holder)) {
            /* Several waiters may see the corpse; the exchange elects one heir. */
            expected = holder;
            if (__atomic_compare_exchange_n(word, &expected, me, false, __ATOMIC_ACQUIRE, __ATOMIC_RELAXED))
                return holder;
        }
        __builtin_ia32_pause();
    }
}

/* Takes the lock: 0, KELVO_LOCK_INHERITED (a dead holder's, when recoverable), or -1. */
static int lockImpl(kelvoLock *lock, bool recoverable)
{
    kelvoDeferSignals();
    int taken = 0;
    if (lock->type == KELVO_LOCK_SPIN) {
        if (uint32_t deadPid = spinLock(lock)) {
            uint64_t dead = (lock->owner & 0xffffffff) == deadPid ? lock->owner : deadPid;
            lock->owner = ownerWord();
            reportDeadOwner("spinlock", lock, dead, recoverable);
            if (!recoverable)
                return refuse(lock);
            taken = KELVO_LOCK_INHERITED;
        }
    } else {
        int rc = pthread_mutex_lock(&lock->mutex);
        if (rc == EOWNERDEAD) {
            uint64_t dead = lock->owner;
            pthread_mutex_consistent(&lock->mutex);
            lock->owner = ownerWord();
            reportDeadOwner("pthread_mutex_lock", lock, dead, recoverable);
            if (!recoverable)
                return refuse(lock);
            taken = KELVO_LOCK_INHERITED;
        } else if (rc == ENOTRECOVERABLE) {
            kelvoSharedStateSetBroken();
            kelvoShLog(KELVO_LL_ERROR, "pthread_mutex_lock found robust mutex %p in an unrecoverable state",
                       static_cast<void *>(&lock->mutex));
            kelvoUndeferSignals();
            return -1;
        } else if (rc != 0) {
            mutexLockPanic(&lock->mutex, "pthread_mutex_lock", rc);
        }
    }
    lock->owner = ownerWord();
    if (__builtin_expect(kelvoSharedStateBroken(), 0))
        return refuse(lock);
    noteHeld(lock);
    return taken;
}

int kelvoLockLock(kelvoLock *lock) { return lockImpl(lock, false); }

int kelvoLockLockRecoverable(kelvoLock *lock) { return lockImpl(lock, true); }

void kelvoLockUnlock(kelvoLock *lock)
{
    kelvoAssert(lock != NULL);
    kelvoAssertLockHeld(lock);
    lock->owner = 0;
    if (lock->type == KELVO_LOCK_SPIN) {
        __atomic_store_n(spinWord(lock), 0, __ATOMIC_RELEASE);
    } else if (int rc = pthread_mutex_unlock(&lock->mutex)) {
        mutexLockPanic(&lock->mutex, "pthread_mutex_unlock", rc);
    }
    noteReleased(lock);
    kelvoUndeferSignals();
}

bool kelvoLockHeldByMe(const kelvoLock *lock)
{
    return (__atomic_load_n(&lock->owner, __ATOMIC_RELAXED) & 0xffffffff) == kelvoLockPid();
}

static constexpr const char *lockTypeNames[] = {"spinlock", "mutex", "adaptive-mutex"};

const char *kelvoLockTypeToString(uint32_t kind)
{
    if (kind >= sizeof lockTypeNames / sizeof *lockTypeNames)
        kelvoUnreachable();
    return lockTypeNames[kind];
}

uint32_t kelvoLockTypeFromText(const char *text)
{
    if (!text)
        return KELVO_LOCK_MUTEX;
    for (uint32_t kind : {KELVO_LOCK_SPIN, KELVO_LOCK_MUTEX, KELVO_LOCK_ADAPTIVE_MUTEX}) {
        const char *name = lockTypeNames[kind];
        if (strncasecmp(text, name, strlen(name)) == 0)
            return kind;
    }
    return KELVO_LOCK_MUTEX;
}
