/*
 * Key leases: the table `rkl` whose slots writing links hold. Every cache
 * entry carries the generation its writer's slot showed when the request
 * was sent, and is served only while the slot still shows it; so one atomic
 * add withdraws everything a writer stored, whatever its number.
 *
 * Owns the slot array in the arena (made at start-up by
 * kelvoLeaseTableInit) and the rules of a slot's words:
 *   holder      process id | (start time & 0xffffffff) << 32 of the holder,
 *               0 when free; a slot is taken by compare-and-swap from 0 and
 *               written afterwards only by its holder, or by a process that
 *               proved the holder dead (process id and start time), which
 *               parks its own id there with the start half all ones while it
 *               frees the slot.
 *   generation  64 bits, only ever raised: at acquisition, release,
 *               invalidation and when a dead holder's slot is freed.
 *   db          the cached database set the holder writes to.
 *   drained     when the holder last drained its link of invalidations
 *               (kelvoLeaseClockMs), or KELVO_LEASE_ARMED while the link is
 *               armed for the signal reader. What a holder stored is served
 *               only while this is at most KELVO_LEASE_DRAIN_BOUND_MS old: a
 *               holder busy inside a request (or a daemon) reads no pushes,
 *               and must not keep others on an old value without bound.
 * A handle is slot index | 0x8000; 0 means none and 0xFFFF a link whose last
 * attachment failed. The table has at most 16384 slots, so no handle of a
 * slot is ever 0xFFFF.
 *
 * No locks: compare-and-swap and atomic adds only. Engine-free.
 */
#ifndef KELVO_KEYLEASE_H
#define KELVO_KEYLEASE_H

#include <cstdint>
#include <ctime>

#include "runtime/fatal.h"
#include "shm/shared.h"

struct rdb;

constexpr uint16_t KELVO_LEASE_NONE = 0;
constexpr uint16_t KELVO_LEASE_FAILED = 0xFFFF;
constexpr uint16_t KELVO_LEASE_BIT = 0x8000;
constexpr uint32_t KELVO_LEASE_MAX_SLOTS = 16384;
static_assert(((KELVO_LEASE_MAX_SLOTS - 1) | KELVO_LEASE_BIT) < KELVO_LEASE_FAILED,
              "a slot's handle is never the failed one");

struct kelvoLeaseSlot {
    uint64_t holder;
    uint64_t generation;
    rdb *db;
    uint64_t drained;
};

constexpr uint64_t KELVO_LEASE_ARMED = UINT64_MAX;
constexpr uint64_t KELVO_LEASE_DRAIN_BOUND_MS = 100;

/* Slots for a requested count: 16 up to 16, else the next power of two, at most KELVO_LEASE_MAX_SLOTS. */
uint16_t kelvoLeaseSlotCount(uint32_t requested);

/* Allocates the zeroed slot array (every slot free at generation 0): 0, or -1 when out of memory. */
int kelvoLeaseTableInit(kelvoLeaseTable *rkl, uint32_t requested);

/* What gives back a freed dead holder's writer place in its cached database set. */
typedef void kelvoLeaseReleasedFn(rdb *db);

/* Takes the first free slot for this process, writing to `db`: its handle, or 0 when every slot is held. */
uint16_t kelvoLeaseAcquire(rdb *db);

/* Records the cached database set a held slot writes to. */
void kelvoLeaseAttachDB(uint16_t handle, rdb *db);

/*
 * Gives a slot back when this process holds it (its generation raised, its
 * database cleared); a slot held by another process is left alone. Handle 0
 * and 0xFFFF do nothing.
 */
void kelvoLeaseRelease(kelvoLeaseTable *rkl, uint16_t handle);

/* Raises the slot's generation: what was stored under it is no longer served. Handle 0 does nothing. */
void kelvoLeaseInvalidate(uint16_t handle);

/* Raises every slot that writes to `db`. */
void kelvoLeaseInvalidateDB(const rdb *db);

/*
 * Frees the slots of holders that ended without giving them back (killed,
 * crashed), each with its generation raised and its database given to
 * `released`. Returns how many were freed.
 */
unsigned kelvoLeaseReapDead(kelvoLeaseReleasedFn *released);

/* True when this process holds the slot of `handle`. */
bool kelvoLeaseHeldByMe(uint16_t handle);

/* This process's holder word, as a slot's holder records it (other shared records that name
 * their holding process use it too); a forked child computes its own. */
uint64_t kelvoHolderWordMine(void);

/* True when the process a holder word names has ended: its id is gone or now names a process
 * started at another time. */
bool kelvoHolderWordGone(uint64_t word);

/* Slot index of a handle that names one. */
inline uint32_t kelvoLeaseIndex(uint16_t handle) { return handle & (KELVO_LEASE_BIT - 1); }

/* True for handles of a slot (not 0, not the failed mark). */
inline bool kelvoLeaseIsSlot(uint16_t handle) { return (handle & KELVO_LEASE_BIT) && handle != KELVO_LEASE_FAILED; }

inline kelvoLeaseSlot *kelvoLeaseSlotOf(uint16_t handle)
{
    kelvoLeaseTable *rkl = &kelvoSharedData->leases;
    uint32_t index = kelvoLeaseIndex(handle);
    kelvoAssert(rkl->slot != NULL && index < rkl->slots);
    return &rkl->slot[index];
}

/*
 * The generation a new entry is stored under: read before its request is
 * sent, so that anything raising the slot meanwhile (a reconnect, a failed
 * poll) keeps the reply from being served.
 */
inline uint64_t kelvoLeaseToken(uint16_t handle)
{
    return __atomic_load_n(&kelvoLeaseSlotOf(handle)->generation, __ATOMIC_ACQUIRE);
}

/* The clock drain times are kept in: milliseconds, the same in every process, no system call. */
inline uint64_t kelvoLeaseClockMs(void)
{
    struct timespec ts;
    clock_gettime(CLOCK_MONOTONIC_COARSE, &ts);
    return uint64_t(ts.tv_sec) * 1000u + uint64_t(ts.tv_nsec) / 1000000u;
}

/* The holder drained its link now; the shared line is written only when the millisecond changed. */
inline void kelvoLeaseMarkDrained(uint16_t handle)
{
    if (!kelvoLeaseIsSlot(handle))
        return;
    uint64_t *drained = &kelvoLeaseSlotOf(handle)->drained;
    uint64_t now = kelvoLeaseClockMs();
    if (__atomic_load_n(drained, __ATOMIC_RELAXED) != now)
        __atomic_store_n(drained, now, __ATOMIC_RELEASE);
}

/*
 * A reply read on the holder's link: every push the server sent before it ran the command was
 * applied on the way, so the link counts as drained as of `sentMs`, when the command went out.
 */
inline void kelvoLeaseMarkDrainedSince(uint16_t handle, uint64_t sentMs)
{
    if (!kelvoLeaseIsSlot(handle))
        return;
    uint64_t *drained = &kelvoLeaseSlotOf(handle)->drained;
    uint64_t seen = __atomic_load_n(drained, __ATOMIC_RELAXED);
    if (seen != KELVO_LEASE_ARMED && seen < sentMs)
        __atomic_store_n(drained, sentMs, __ATOMIC_RELEASE);
}

/* The holder's link is armed for the signal reader: drained all the time, while the holder lives. */
inline void kelvoLeaseMarkArmed(uint16_t handle)
{
    if (kelvoLeaseIsSlot(handle))
        __atomic_store_n(&kelvoLeaseSlotOf(handle)->drained, KELVO_LEASE_ARMED, __ATOMIC_RELEASE);
}

/* True while what the holder stored may be served: armed, or drained within the bound. */
inline bool kelvoLeaseFresh(uint16_t handle)
{
    uint64_t drained = __atomic_load_n(&kelvoLeaseSlotOf(handle)->drained, __ATOMIC_ACQUIRE);
    if (drained == KELVO_LEASE_ARMED)
        return true;
    uint64_t now = kelvoLeaseClockMs();
    return now <= drained || now - drained <= KELVO_LEASE_DRAIN_BOUND_MS;
}

/*
 * Armed holders that ended (process id and start time) stop counting as
 * drained: their entries age out within the bound. At most once per
 * 50 milliseconds across processes (`nowUs`, wall-clock microseconds);
 * returns how many were found.
 */
unsigned kelvoLeaseCheckArmedHolders(uint64_t nowUs);

/* True while the slot still shows the generation an entry was stored under. */
inline bool kelvoLeaseCurrent(uint16_t handle, uint64_t token) { return kelvoLeaseToken(handle) == token; }

#endif
