/* The key-lease table: acquisition, release, generations and dead holders. */
#include "cache/keylease.h"
#include "shm/lock.h"
#include "shm/shmalloc.h"

#include <cstring>

namespace {

constexpr uint64_t START_MASK = 0xffffffffULL;
/* The start half of a slot whose dead holder is being cleared by the process named in the id half. */
constexpr uint64_t REAPING = START_MASK;

uint64_t holderWord(uint32_t pid, uint64_t start) { return uint64_t(pid) | (start & START_MASK) << 32; }
uint32_t holderPid(uint64_t word) { return uint32_t(word); }
uint64_t holderStart(uint64_t word) { return word >> 32; }

void raise(kelvoLeaseSlot *slot) { __atomic_fetch_add(&slot->generation, 1, __ATOMIC_ACQ_REL); }

kelvoLeaseTable *table(void) { return kelvoLeases(); }

/* Frees a slot whose holder word is `word` and whose holder is gone; false when another process got there first. */
bool reapSlot(kelvoLeaseSlot *slot, uint64_t word, kelvoLeaseReleasedFn *released)
{
    uint64_t parked = holderWord(kelvoLockPid(), REAPING);
    if (!__atomic_compare_exchange_n(&slot->holder, &word, parked, false, __ATOMIC_ACQ_REL, __ATOMIC_RELAXED))
        return false;
    raise(slot);
    /* Taken out first: should this process die here, no writer place is given back twice. */
    rdb *db = __atomic_exchange_n(&slot->db, nullptr, __ATOMIC_ACQ_REL);
    if (db && released)
        released(db);
    __atomic_store_n(&slot->holder, 0, __ATOMIC_RELEASE);
    __atomic_fetch_add(&table()->free_slots, 1, __ATOMIC_RELAXED);
    return true;
}

uint16_t takeFreeSlot(kelvoLeaseTable *rkl, rdb *db)
{
    uint64_t me = kelvoHolderWordMine();
    for (uint32_t i = 0; i < rkl->slots; i++) {
        kelvoLeaseSlot *slot = &rkl->slot[i];
        uint64_t expected = 0;
        if (__atomic_load_n(&slot->holder, __ATOMIC_RELAXED) != 0 ||
            !__atomic_compare_exchange_n(&slot->holder, &expected, me, false, __ATOMIC_ACQ_REL, __ATOMIC_RELAXED))
            continue;
        raise(slot);
        __atomic_store_n(&slot->drained, kelvoLeaseClockMs(), __ATOMIC_RELEASE);
        __atomic_store_n(&slot->db, db, __ATOMIC_RELEASE);
        __atomic_fetch_sub(&rkl->free_slots, 1, __ATOMIC_RELAXED);
        return uint16_t(i | KELVO_LEASE_BIT);
    }
    return KELVO_LEASE_NONE;
}

} // namespace

uint64_t kelvoHolderWordMine(void)
{
    static uint32_t pid;
    static uint64_t word;
    uint32_t now = kelvoLockPid();
    if (pid != now) {
        uint64_t start = 0;
        kelvoProcessStartTime(now, &start);
        word = holderWord(now, start);
        pid = now;
    }
    return word;
}

bool kelvoHolderWordGone(uint64_t word)
{
    uint32_t pid = holderPid(word);
    uint64_t recorded = holderStart(word), start = 0;
    bool running = kelvoProcessStartTime(pid, &start);
    /* A holder that could not read its own start time is judged by its id alone. */
    if (recorded == 0)
        return !running && !kelvoProcessAlive(pid);
    if (!running)
        return true;
    return recorded != REAPING && recorded != (start & START_MASK);
}

uint16_t kelvoLeaseSlotCount(uint32_t requested)
{
    uint32_t slots = 16;
    while (slots < requested && slots < KELVO_LEASE_MAX_SLOTS)
        slots <<= 1;
    return uint16_t(slots);
}

int kelvoLeaseTableInit(kelvoLeaseTable *rkl, uint32_t requested)
{
    uint16_t slots = kelvoLeaseSlotCount(requested);
    auto *array = static_cast<kelvoLeaseSlot *>(kelvoShCalloc(slots, sizeof(kelvoLeaseSlot)));
    if (!array)
        return -1;
    rkl->slot = array;
    rkl->slots = slots;
    rkl->free_slots = slots;
    rkl->reap_time = 0;
    return 0;
}

uint16_t kelvoLeaseAcquire(rdb *db)
{
    kelvoLeaseTable *rkl = table();
    kelvoAssert(rkl != NULL && rkl->slot != NULL && rkl->slots > 0);
    return takeFreeSlot(rkl, db);
}

void kelvoLeaseAttachDB(uint16_t handle, rdb *db)
{
    __atomic_store_n(&kelvoLeaseSlotOf(handle)->db, db, __ATOMIC_RELEASE);
}

void kelvoLeaseRelease(kelvoLeaseTable *rkl, uint16_t handle)
{
    if (!kelvoLeaseIsSlot(handle))
        return;
    kelvoAssert(rkl != NULL && kelvoLeaseIndex(handle) < rkl->slots);
    kelvoLeaseSlot *slot = &rkl->slot[kelvoLeaseIndex(handle)];
    if (__atomic_load_n(&slot->holder, __ATOMIC_ACQUIRE) != kelvoHolderWordMine())
        return;
    raise(slot);
    __atomic_store_n(&slot->db, nullptr, __ATOMIC_RELEASE);
    __atomic_store_n(&slot->holder, 0, __ATOMIC_RELEASE);
    __atomic_fetch_add(&rkl->free_slots, 1, __ATOMIC_RELAXED);
}

void kelvoLeaseInvalidate(uint16_t handle)
{
    if (kelvoLeaseIsSlot(handle))
        raise(kelvoLeaseSlotOf(handle));
}

void kelvoLeaseInvalidateDB(const rdb *db)
{
    kelvoLeaseTable *rkl = table();
    for (uint32_t i = 0; i < rkl->slots; i++) {
        if (__atomic_load_n(&rkl->slot[i].db, __ATOMIC_ACQUIRE) == db)
            raise(&rkl->slot[i]);
    }
}

unsigned kelvoLeaseReapDead(kelvoLeaseReleasedFn *released)
{
    kelvoLeaseTable *rkl = table();
    uint64_t me = kelvoHolderWordMine();
    unsigned freed = 0;
    for (uint32_t i = 0; i < rkl->slots; i++) {
        kelvoLeaseSlot *slot = &rkl->slot[i];
        uint64_t word = __atomic_load_n(&slot->holder, __ATOMIC_ACQUIRE);
        if (word == 0 || word == me || holderPid(word) == kelvoLockPid() || !kelvoHolderWordGone(word))
            continue;
        if (reapSlot(slot, word, released)) {
            kelvoShLog(KELVO_LL_WARNING, "LEASE - freed slot %u of ended process %u", i, holderPid(word));
            freed++;
        }
    }
    return freed;
}

bool kelvoLeaseHeldByMe(uint16_t handle)
{
    return kelvoLeaseIsSlot(handle) &&
           __atomic_load_n(&kelvoLeaseSlotOf(handle)->holder, __ATOMIC_ACQUIRE) == kelvoHolderWordMine();
}

unsigned kelvoLeaseCheckArmedHolders(uint64_t nowUs)
{
    kelvoLeaseTable *rkl = table();
    uint64_t last = __atomic_load_n(&rkl->liveness_time, __ATOMIC_RELAXED);
    if ((nowUs > last && nowUs - last < 50000) || (nowUs <= last && last - nowUs < 50000) ||
        !__atomic_compare_exchange_n(&rkl->liveness_time, &last, nowUs, false, __ATOMIC_ACQ_REL, __ATOMIC_RELAXED))
        return 0;
    unsigned found = 0;
    for (uint32_t i = 0; i < rkl->slots; i++) {
        kelvoLeaseSlot *slot = &rkl->slot[i];
        if (__atomic_load_n(&slot->drained, __ATOMIC_ACQUIRE) != KELVO_LEASE_ARMED)
            continue;
        uint64_t word = __atomic_load_n(&slot->holder, __ATOMIC_ACQUIRE);
        if (word != 0 && !kelvoHolderWordGone(word))
            continue;
        uint64_t armed = KELVO_LEASE_ARMED;
        found += __atomic_compare_exchange_n(&slot->drained, &armed, 0, false, __ATOMIC_ACQ_REL, __ATOMIC_RELAXED);
    }
    return found;
}
