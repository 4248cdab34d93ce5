/*
 * Locks in shared memory and signal deferral.
 *
 * Owns: kelvoLock (spin lock, robust process-shared mutex, adaptive robust
 * mutex), the per-process signal-deferral depth with the replay of deferred
 * SIGIO signals, the blocking of termination signals around changes of shared
 * counters, and the "shared state is broken" flag that a dead lock holder
 * raises for the whole process tree.
 *
 * A process that dies holding a lock is met by the next locker: it recovers
 * the lock, logs an error, raises the broken flag (the flag lives in the
 * arena once there is one) and gets -1 from kelvoLockLock instead of the
 * lock. From then on every kelvoLockLock returns -1, so every user of shared
 * state falls back to the server. Locks whose users can rebuild what they
 * guard are taken with kelvoLockLockRecoverable, which hands the lock over
 * instead.
 *
 * Engine-free: the engine's own deferral depth is reached through
 * kelvoSignalHooks, which module start-up points at the engine.
 */
#ifndef KELVO_LOCK_H
#define KELVO_LOCK_H

#include <csignal>
#include <cstddef>
#include <cstdint>
#include <pthread.h>

#include "runtime/cfgvals.h"
#include "runtime/fatal.h"
#include "runtime/log.h"

enum kelvoLockType : uint32_t {
    KELVO_LOCK_SPIN = 0,
    KELVO_LOCK_MUTEX = 1,
    KELVO_LOCK_ADAPTIVE_MUTEX = 2,
};

/*
 * A zero-filled kelvoLock is a free spin lock. For the spin kind the first
 * 32-bit word of `mutex` is the spin word: 0 when free, else the holder's
 * process id, so a dead holder can be recognised. `owner` is
 * (thread id << 32) | process id of the holder, 0 when free.
 */
struct kelvoLock {
    uint32_t type;
    pthread_mutex_t mutex;
    uint64_t owner;
};
static_assert(KELVO_LOCK_SPIN == 0, "a zero-filled lock is a free spin lock");
static_assert(sizeof(pthread_mutex_t) >= sizeof(uint32_t) && alignof(pthread_mutex_t) >= alignof(uint32_t),
              "the spin word is the first 32-bit word of `mutex`");
static_assert(offsetof(kelvoLock, owner) % alignof(uint64_t) == 0, "the owner word is read atomically");

/* Makes a free lock of the given kind: 0, or -1 after an error log. */
int kelvoLockInit(kelvoLock *lock, uint32_t kind);

/*
 * Defers signals and takes the lock: 0. Returns -1, with the lock not held
 * and signals undeferred, when the shared state is broken (a holder died,
 * now or earlier). Any other mutex error is fatal.
 */
[[nodiscard]] int kelvoLockLock(kelvoLock *lock);

/* What kelvoLockLockRecoverable returns when it took the lock over from a dead holder. */
constexpr int KELVO_LOCK_INHERITED = 1;

/*
 * kelvoLockLock for a lock whose user can rebuild what it guards: a dead
 * holder's lock is taken over (an error log names the holder) and, with the
 * lock held, KELVO_LOCK_INHERITED is returned instead of breaking the shared
 * state; the caller then repairs what the dead holder may have half-changed.
 * 0 and -1 as kelvoLockLock.
 */
[[nodiscard]] int kelvoLockLockRecoverable(kelvoLock *lock);

/* Releases a lock this process took with kelvoLockLock, then kelvoUndeferSignals. */
void kelvoLockUnlock(kelvoLock *lock);

/* True while this process holds the lock (the owner word names it). */
bool kelvoLockHeldByMe(const kelvoLock *lock);

/* What a function that must run under `lock` asserts first (debug builds). */
#define kelvoAssertLockHeld(lock) kelvoDebugAssert(kelvoLockHeldByMe(lock))

/* "spinlock", "mutex" or "adaptive-mutex"; any other kind is fatal. */
const char *kelvoLockTypeToString(uint32_t kind);

/*
 * The kind named by a setting's text: case-insensitive prefix "spinlock" 0,
 * "mutex" 1, "adaptive-mutex" 2; null or anything else 1.
 */
uint32_t kelvoLockTypeFromText(const char *text);

/* Number of shared locks this process holds now (request end checks it is 0). */
int kelvoLocksHeld(void);
/*
 * Releases every lock this process still holds (left behind by a bailout)
 * and, when there was one, marks the shared state broken: what those locks
 * guarded may be half-changed. Returns how many were held.
 */
int kelvoLocksReleaseAll(void);

/* Holds a lock for a scope; false when it could not be taken (shared state broken). */
class kelvoLockGuard {
  public:
    explicit kelvoLockGuard(kelvoLock *lock) : lock_(kelvoLockLock(lock) == 0 ? lock : nullptr) {}
    ~kelvoLockGuard()
    {
        if (lock_)
            kelvoLockUnlock(lock_);
    }
    kelvoLockGuard(const kelvoLockGuard &) = delete;
    kelvoLockGuard &operator=(const kelvoLockGuard &) = delete;
    explicit operator bool() const { return lock_ != nullptr; }

  private:
    kelvoLock *lock_;
};

/*
 * A shared word naming the one process that runs a task (0: none): taken
 * when free or when its holder died (a warning log names it), false when a
 * live process holds it. Given back only by its holder.
 */
bool kelvoOwnerTake(uint32_t *word);
void kelvoOwnerGive(uint32_t *word);

/* --- the broken flag ------------------------------------------------------ */

/* Points the flag at shared memory (the arena header); null goes back to a process-local flag. */
void kelvoLockSetBrokenFlag(uint32_t *flag);
/* True once a lock holder of this process tree died: shared state must not be used. */
bool kelvoSharedStateBroken(void);
/* Raises the flag; every later kelvoLockLock returns -1. */
void kelvoSharedStateSetBroken(void);

/* --- signal deferral ----------------------------------------------------- */

/*
 * The engine's side of deferral. `enter` raises the engine's deferral depth;
 * `leave` lowers it and runs the engine's deferred signals when it comes back
 * to the engine's blocked level. `sigio` runs the deferred SIGIO handler once
 * (null until invalidation delivery installs one). The defaults do nothing,
 * which is what engine-free callers need.
 */
struct kelvoSignalHooks {
    void (*enter)(void);
    void (*leave)(void);
    void (*sigio)(void);
};
extern kelvoSignalHooks kelvoSignals;

/* The module's own deferral depth; 0 outside every lock, section and block. */
extern int32_t kelvoSignalDepth;
/* SIGIO signals that arrived while deferral was in force (the SIGIO handler counts them). */
extern uint32_t kelvoSigioDeferrals;
/* 1 while the deferred SIGIO handler is being replayed. */
extern uint32_t kelvoInSigioHandler;

/* Enters one level of deferral, engine and module. */
inline void kelvoDeferSignals(void)
{
    kelvoSignals.enter();
    __atomic_store_n(&kelvoSignalDepth, kelvoSignalDepth + 1, __ATOMIC_RELAXED);
    __atomic_signal_fence(__ATOMIC_SEQ_CST);
}

/*
 * Leaves one level of deferral (fatal when there is none); at depth 0 replays
 * the SIGIO signals deferred meanwhile, stopping when a replay consumes none.
 */
void kelvoUndeferSignals(void);

/*
 * Enters deferral and blocks SIGTERM and SIGQUIT: 0 with the old mask in
 * `old`; -1 after a warning log, with nothing blocked or deferred. After 0 the
 * caller calls kelvoRestoreTermSignals(old).
 */
int kelvoBlockTermSignals(sigset_t *old);
/* Restores the mask saved by kelvoBlockTermSignals and leaves its deferral. */
void kelvoRestoreTermSignals(const sigset_t *old);

/*
 * Error and warning lines of the heap, locks and epoch, "file:line " first.
 * Quiet until module start-up has opened a log (engine-free callers never do).
 */
#define kelvoShLog(level, format, ...)                                           \
    do {                                                                         \
        if (kelvoCfgVals.log_fp && kelvoLogLevelEnabled(level))                  \
            kelvoLogEx((level), "%s:%d " format, KELVO_LOG_SITE, ##__VA_ARGS__); \
    } while (0)

/* The cached process id of this process; refreshed in a forked child. */
uint32_t kelvoLockPid(void);
/* True while a process of that id exists (a zombie still counts). */
bool kelvoProcessAlive(uint32_t pid);
/*
 * The start time of a running process (clock ticks since boot, field 22 of
 * /proc/<pid>/stat): with a process id it tells a process from a later one
 * that reuses the id. False when no such process runs (a zombie has ended).
 */
bool kelvoProcessStartTime(uint32_t pid, uint64_t *start);

#endif
