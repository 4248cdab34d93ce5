/* The shared table's namespaces, items, walks, writes and expiry sweep. */
#include "table/table.h"
#include "cache/rhs_map.h"
#include "runtime/cfgvals.h"
#include "runtime/fatal.h"
#include "shm/epoch.h"
#include "shm/shared.h"
#include "shm/shmalloc.h"

#include <xxhash.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <pthread.h>

static_assert(offsetof(kelvoTableItem, epoch) == 0 && offsetof(kelvoTableHT, epoch) == 0,
              "a retired record is freed from the epoch entry at its start");
static_assert(sizeof(kelvoTableItem) % alignof(kelvoValue) == 0, "a value record follows its item aligned");

const kelvoValue kelvoValueNull = {KELVO_VALUE_NULL, KELVO_VALUE_STATIC, {0}, 0};
const kelvoValue kelvoValueFalse = {KELVO_VALUE_BOOL, KELVO_VALUE_STATIC, {0}, 0};
const kelvoValue kelvoValueTrue = {KELVO_VALUE_BOOL, KELVO_VALUE_STATIC, {1}, 0};

#define SMALL(n)                                     \
    {                                                \
        KELVO_VALUE_LONG, KELVO_VALUE_STATIC, {n}, 0 \
    }
const kelvoValue kelvoValueSmallNumbers[KELVO_VALUE_SMALL_NUMBERS] = {
    SMALL(0), SMALL(1),  SMALL(2),  SMALL(3),  SMALL(4),  SMALL(5),  SMALL(6),  SMALL(7),  SMALL(8),
    SMALL(9), SMALL(10), SMALL(11), SMALL(12), SMALL(13), SMALL(14), SMALL(15), SMALL(16),
};
#undef SMALL

namespace {

constexpr unsigned long SET_CAPACITY = 8;
constexpr unsigned ITEM_SET_MODE = KELVO_CK_RHS_OBJECT | KELVO_CK_RHS_READ_MOSTLY;
/* Passes a walk tries without a lock before it copies the set under the lock. */
constexpr int OPTIMISTIC_PASSES = 3;
constexpr uint64_t UPKEEP_INTERVAL_USEC = 50000;
constexpr int64_t CLOCK_STEP_USEC = 60 * 1000000;
/* Items and namespaces one sweep run examines at most. */
constexpr uint32_t SWEEP_BUDGET = 4096;
/* Retired blocks (a few hundred kilobytes of items) worth a poll before the interval. */
constexpr unsigned RETIRED_BACKLOG = 2048;

/*
 * The namespace this process found last, with the namespace set's change
 * counter then: while the counter has not moved, the namespace is still in
 * the set and needs no lookup. A namespace is retired only inside a change
 * of the set, and a section that begins after a retirement sees that change
 * (the epoch's fences order them), so a namespace taken from here is never
 * one that could be freed under the section.
 */
struct {
    uint64_t changes;
    kelvoTableHT *ht;
} lastFound;

/* This process's copies of the shared claim times: most calls decide without touching the arena. */
uint64_t localSweepTime;
uint64_t localPollTime;
/* The retired backlog this process saw after its last poll. */
unsigned localPendingSeen;

kelvoSharedTables *tables(void)
{
    kelvoAssert(kelvoSharedData != NULL);
    return &kelvoSharedData->tables;
}

kelvoTableKey probeKey(const char *bytes, size_t length) { return {bytes, uint32_t(length)}; }

/* --- change counters: odd while a writer changes a set ---------------------------------- */

void beginChange(uint64_t *changes)
{
    __atomic_store_n(changes, *changes + 1, __ATOMIC_RELAXED);
    __atomic_thread_fence(__ATOMIC_RELEASE);
}

void endChange(uint64_t *changes) { __atomic_store_n(changes, *changes + 1, __ATOMIC_RELEASE); }

/* Items of the set may have changed slots: a walk spread over several sections starts over. */
void moved(kelvoTableHT *ht)
{
    kelvoAssertLockHeld(&ht->lock);
    __atomic_store_n(&ht->layout, ht->layout + 1, __ATOMIC_RELEASE);
}

/* --- accounting -------------------------------------------------------------------------- */

/* Moves the namespace's memory and the totals together; the namespace lock is held. */
void account(kelvoTableHT *ht, int64_t bytes, int64_t items, int64_t expiring)
{
    kelvoAssertLockHeld(&ht->lock);
    __atomic_store_n(&ht->memory, ht->memory + bytes, __ATOMIC_RELAXED);
    __atomic_store_n(&ht->expiring, ht->expiring + uint64_t(expiring), __ATOMIC_RELAXED);
    /* A replacement of the same size moves nothing: no locked addition on lines every writer shares. */
    kelvoSharedTables *t = tables();
    if (bytes)
        __atomic_fetch_add(&t->bytes, uint64_t(bytes), __ATOMIC_RELAXED);
    if (items)
        __atomic_fetch_add(&t->items, uint64_t(items), __ATOMIC_RELAXED);
}

/* --- retirement ---------------------------------------------------------------------------- */

void itemDestroy(kelvoEpochEntry *entry)
{
    kelvoShLog(KELVO_LL_DEBUG, "EPOCH[destroy]: %lx", reinterpret_cast<unsigned long>(entry));
    kelvoShFree(entry);
}

void lockDestroy(kelvoLock *lock)
{
    if (lock->type != KELVO_LOCK_SPIN)
        pthread_mutex_destroy(&lock->mutex);
}

/* A namespace no one can reach any more: its (empty or abandoned) item set, its lock, its block. */
void htDestroy(kelvoEpochEntry *entry)
{
    auto *ht = reinterpret_cast<kelvoTableHT *>(entry);
    kelvoShLog(KELVO_LL_DEBUG, "EPOCH[destroy]: %lx", reinterpret_cast<unsigned long>(entry));
    kelvoCkRhsDestroy(&ht->items);
    lockDestroy(&ht->lock);
    kelvoShFree(ht);
}

/* Only once the item is unreachable: a reader that begins later must not find it. */
void retireItem(kelvoTableItem *item) { kelvoGlobalEpochRetire(&item->epoch, itemDestroy); }

/* --- namespaces --------------------------------------------------------------------------- */

kelvoTableHT *htCreate(const char *name, size_t length)
{
    if (length > UINT32_MAX)
        return nullptr;
    auto *ht = static_cast<kelvoTableHT *>(kelvoShCalloc(1, sizeof(kelvoTableHT) + length + 1));
    if (!ht)
        return nullptr;
    char *bytes = reinterpret_cast<char *>(ht + 1);
    memcpy(bytes, name, length);
    bytes[length] = '\0';
    ht->name = {bytes, uint32_t(length)};
    if (kelvoLockInit(&ht->lock, kelvoCfgVals.cache_lock) != 0) {
        kelvoShFree(ht);
        return nullptr;
    }
    if (!kelvoCkRhsInit(&ht->items, ITEM_SET_MODE, kelvoTableRhsHash, kelvoTableRhsCmp, &kelvoCacheAllocators,
                        SET_CAPACITY, kelvoSharedData->cache.seed)) {
        lockDestroy(&ht->lock);
        kelvoShFree(ht);
        return nullptr;
    }
    return ht;
}

/* A namespace that was never published. */
void htDispose(kelvoTableHT *ht)
{
    kelvoCkRhsDestroy(&ht->items);
    lockDestroy(&ht->lock);
    kelvoShFree(ht);
}

/* Inside a section: the namespace, published on first use (a loser of a race takes the winner's). */
kelvoTableHT *htFindOrCreate(const char *name, size_t length, kelvoTableStatus *status)
{
    if (kelvoTableHT *ht = kelvoTableFind(name, length))
        return ht;
    *status = KELVO_TABLE_NO_MEMORY;
    kelvoTableHT *ht = htCreate(name, length);
    if (!ht)
        return nullptr;
    kelvoSharedTables *t = tables();
    kelvoLock *root = &kelvoSharedData->cache.lock;
    if (kelvoLockLock(root) != 0) {
        htDispose(ht);
        *status = KELVO_TABLE_BROKEN;
        return nullptr;
    }
    beginChange(&t->namespace_changes);
    bool published = kelvoRhsPutGrown(&t->namespaces, kelvoTableHash(name, length), &ht->name);
    endChange(&t->namespace_changes);
    kelvoLockUnlock(root);
    if (published)
        return ht;
    htDispose(ht);
    return kelvoTableFind(name, length);
}

/* --- whole-set walks ------------------------------------------------------------------------ */

/* Objects copied out of a set under its lock (process memory). */
struct ObjectList {
    const void **objects = nullptr;
    size_t count = 0;
    size_t capacity = 0;
    ~ObjectList() { free(objects); }
    bool add(const void *object)
    {
        if (count == capacity) {
            size_t grown = capacity ? capacity * 2 : 64;
            auto *bigger = static_cast<const void **>(realloc(objects, grown * sizeof *objects));
            if (!bigger)
                return false;
            objects = bigger;
            capacity = grown;
        }
        objects[count++] = object;
        return true;
    }
};

bool collect(kelvoCkRhs *set, ObjectList *list)
{
    kelvoCkRhsIterator it;
    kelvoCkRhsIteratorInit(&it);
    void *object;
    while (kelvoCkRhsNext(set, &it, &object))
        if (!list->add(object))
            return false;
    return true;
}

/* One pass without the lock: true when no writer changed the set meanwhile. */
/* What a walker visits: the record a set object belongs to. */
const void *recordOf(const void *object, size_t keyOffset) { return static_cast<const char *>(object) - keyOffset; }

bool optimisticPass(kelvoCkRhs *set, const uint64_t *changes, size_t keyOffset, const kelvoTableWalker *walker)
{
    uint64_t before = __atomic_load_n(changes, __ATOMIC_ACQUIRE);
    if (before & 1)
        return false;
    walker->reset(walker->arg);
    kelvoCkRhsIterator it;
    kelvoCkRhsIteratorInit(&it);
    void *object;
    while (kelvoCkRhsNext(set, &it, &object))
        walker->visit(walker->arg, recordOf(object, keyOffset));
    __atomic_thread_fence(__ATOMIC_ACQUIRE);
    return __atomic_load_n(changes, __ATOMIC_RELAXED) == before;
}

int walkSet(kelvoCkRhs *set, const uint64_t *changes, kelvoLock *lock, size_t keyOffset, const kelvoTableWalker *walker)
{
    kelvoAssert(kelvoReader.active);
    for (int pass = 0; pass < OPTIMISTIC_PASSES; pass++)
        if (optimisticPass(set, changes, keyOffset, walker))
            return 0;
    ObjectList list;
    if (kelvoLockLock(lock) != 0)
        return -1;
    bool complete = collect(set, &list);
    kelvoLockUnlock(lock);
    if (!complete)
        return -1;
    walker->reset(walker->arg);
    for (size_t i = 0; i < list.count; i++)
        walker->visit(walker->arg, recordOf(list.objects[i], keyOffset));
    return 0;
}

/* --- emptying ------------------------------------------------------------------------------- */

struct Removed {
    int64_t bytes = 0;
    int64_t items = 0;
};

/* Retires every item of a set no reader can reach any more (a replaced map or a retired namespace). */
Removed retireAll(kelvoCkRhs *set)
{
    Removed removed;
    kelvoCkRhsIterator it;
    kelvoCkRhsIteratorInit(&it);
    void *object;
    while (kelvoCkRhsNext(set, &it, &object)) {
        kelvoTableItem *item = kelvoTableItemOf(object);
        removed.bytes += int64_t(kelvoTableItemSize(item));
        removed.items++;
        retireItem(item);
    }
    return removed;
}

/* Without memory for a fresh map: the items come out one by one, then are retired. */
Removed removeEach(kelvoCkRhs *set)
{
    Removed removed;
    ObjectList list;
    while (kelvoCkRhsCount(set) > 0) {
        list.count = 0;
        bool complete = collect(set, &list);
        for (size_t i = 0; i < list.count; i++) {
            kelvoTableItem *item = kelvoTableItemOf(list.objects[i]);
            if (!kelvoCkRhsRemove(set, kelvoTableHash(item->key.bytes, item->key.length), &item->key))
                continue;
            removed.bytes += int64_t(kelvoTableItemSize(item));
            removed.items++;
            retireItem(item);
        }
        if (!complete && list.count == 0)
            kelvoPanic("Cannot empty a table namespace: no memory for its item list");
    }
    return removed;
}

/*
 * Empties a namespace whose lock is held, in one walk: a fresh map goes in and
 * the old one, no longer reachable, is walked to retire its items.
 */
void emptyLocked(kelvoTableHT *ht)
{
    kelvoAssertLockHeld(&ht->lock);
    if (kelvoCkRhsCount(&ht->items) == 0)
        return;
    beginChange(&ht->changes);
    Removed removed;
    {
        kelvoRhsHoldReplacedMaps hold;
        kelvoCkRhs old;
        kelvoCkRhsMove(&old, &ht->items);
        if (kelvoCkRhsResetSize(&ht->items, SET_CAPACITY)) {
            moved(ht);
            removed = retireAll(&old);
        } else {
            removed = removeEach(&ht->items);
            moved(ht);
        }
    }
    endChange(&ht->changes);
    account(ht, -removed.bytes, -removed.items, -int64_t(ht->expiring));
}

/* A namespace taken out of the namespace set: marked, its items retired, itself retired. */
int64_t retireNamespace(kelvoTableHT *ht)
{
    if (kelvoLockLock(&ht->lock) != 0)
        return 0; // the shared state is broken: nothing will read it again
    __atomic_store_n(&ht->retired, 1, __ATOMIC_RELEASE);
    beginChange(&ht->changes);
    Removed removed = retireAll(&ht->items);
    endChange(&ht->changes);
    account(ht, -removed.bytes, -removed.items, -int64_t(ht->expiring));
    kelvoLockUnlock(&ht->lock);
    kelvoGlobalEpochRetire(&ht->epoch, htDestroy);
    return removed.items;
}

/* --- the sweep ------------------------------------------------------------------------------ */

/*
 * Whether the interval has passed since `then`. Clocks of different coarseness
 * meet here, so a `then` slightly ahead of `now` is not due; one far ahead (the
 * wall clock was set back) is.
 */
bool due(uint64_t now, uint64_t then)
{
    int64_t elapsed = int64_t(now - then);
    return elapsed >= int64_t(UPKEEP_INTERVAL_USEC) || elapsed < -CLOCK_STEP_USEC;
}

/* Claims a periodic task for this process: its interval has passed and the swap on the shared time won. */
bool claim(uint64_t *shared, uint64_t *local, uint64_t now)
{
    if (!due(now, *local))
        return false;
    uint64_t seen = __atomic_load_n(shared, __ATOMIC_ACQUIRE);
    *local = seen;
    if (!due(now, seen))
        return false;
    if (!__atomic_compare_exchange_n(shared, &seen, now, false, __ATOMIC_ACQ_REL, __ATOMIC_ACQUIRE))
        return false;
    *local = now;
    return true;
}

/*
 * Removes expired items of one namespace from `*offset` on while the budget
 * lasts: true when it reached the end of the namespace.
 */
bool sweepNamespace(kelvoTableHT *ht, uint64_t *offset, uint32_t *budget)
{
    if (kelvoLockLock(&ht->lock) != 0) {
        *budget = 0;
        return false;
    }
    bool finished = true;
    if (!ht->retired) {
        int64_t now = kelvoTableNowMs();
        kelvoCkRhsIterator it = {nullptr, *offset};
        bool changing = false;
        void *object;
        while (true) {
            if (*budget == 0) {
                finished = false;
                break;
            }
            if (!kelvoCkRhsNext(&ht->items, &it, &object))
                break;
            (*budget)--;
            kelvoTableItem *item = kelvoTableItemOf(object);
            if (kelvoTableLiveAt(item->expiry, now))
                continue;
            if (!changing) {
                beginChange(&ht->changes);
                changing = true;
            }
            kelvoCkRhsRemove(&ht->items, kelvoTableHash(item->key.bytes, item->key.length), &item->key);
            moved(ht);
            account(ht, -int64_t(kelvoTableItemSize(item)), -1, -1);
            retireItem(item);
            it.offset--; // the removal may have shifted a later item into the slot
        }
        if (changing)
            endChange(&ht->changes);
        *offset = it.offset;
    }
    kelvoLockUnlock(&ht->lock);
    return finished;
}

void sweep(void)
{
    kelvoSharedTables *t = tables();
    uint32_t budget = SWEEP_BUDGET;
    kelvoCkRhsIterator position = {nullptr, __atomic_load_n(&t->sweep_namespace, __ATOMIC_RELAXED)};
    uint64_t resumeSlot = position.offset;
    uint64_t itemOffset = __atomic_load_n(&t->sweep_item, __ATOMIC_RELAXED);
    void *object;
    while (budget > 0) {
        if (!kelvoCkRhsNext(&t->namespaces, &position, &object)) {
            position.offset = 0; // a whole round done: the next run starts over
            itemOffset = 0;
            break;
        }
        uint64_t slot = position.offset - 1;
        if (slot != resumeSlot)
            itemOffset = 0;
        budget--;
        kelvoTableHT *ht = kelvoTableHTOf(object);
        if (__atomic_load_n(&ht->expiring, __ATOMIC_RELAXED) == 0 || __atomic_load_n(&ht->retired, __ATOMIC_ACQUIRE))
            continue;
        if (!sweepNamespace(ht, &itemOffset, &budget)) {
            position.offset = slot; // resume inside this namespace
            break;
        }
        itemOffset = 0;
        resumeSlot = position.offset;
    }
    __atomic_store_n(&t->sweep_namespace, position.offset, __ATOMIC_RELAXED);
    __atomic_store_n(&t->sweep_item, itemOffset, __ATOMIC_RELAXED);
}

} // namespace

/* --- the root's table part ------------------------------------------------------------------ */

int kelvoTableInitRoot(void)
{
    kelvoSharedTables *t = tables();
    lastFound = {};
    if (!kelvoCkRhsInit(&t->namespaces, KELVO_CK_RHS_OBJECT, kelvoTableRhsHash, kelvoTableRhsCmp, &kelvoCacheAllocators,
                        SET_CAPACITY, kelvoSharedData->cache.seed)) {
        kelvoShLog(KELVO_LL_ERROR, "Cannot allocate the table namespace set");
        return -1;
    }
    return 0;
}

uint64_t kelvoTableHash(const char *bytes, size_t length)
{
    return XXH3_64bits_withSeed(bytes, length, kelvoSharedData->cache.seed);
}

unsigned long kelvoTableRhsHash(const void *object, unsigned long seed)
{
    auto *key = static_cast<const kelvoTableKey *>(object);
    return XXH3_64bits_withSeed(key->bytes, key->length, seed);
}

bool kelvoTableRhsCmp(const void *a, const void *b)
{
    auto *x = static_cast<const kelvoTableKey *>(a), *y = static_cast<const kelvoTableKey *>(b);
    return x->length == y->length && memcmp(x->bytes, y->bytes, x->length) == 0;
}

int64_t kelvoTableNowMs(void)
{
    struct timespec ts;
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return (int64_t(ts.tv_sec) * 1000000000 + ts.tv_nsec) / 1000000;
}

uint64_t kelvoTableNowUsec(void)
{
    /* Every write asks; a few milliseconds of coarseness do not matter to a 50 ms interval. */
    struct timespec ts;
    clock_gettime(CLOCK_REALTIME_COARSE, &ts);
    return uint64_t(ts.tv_sec) * 1000000 + uint64_t(ts.tv_nsec) / 1000;
}

bool kelvoTableItemLive(const kelvoTableItem *item) { return item->expiry == 0 || item->expiry > kelvoTableNowMs(); }

int64_t kelvoTableExpiryIn(int64_t seconds)
{
    kelvoAssert(seconds > 0);
    int64_t now = kelvoTableNowMs();
    int64_t millis;
    int64_t expiry;
    if (__builtin_mul_overflow(seconds, int64_t(1000), &millis) || __builtin_add_overflow(now, millis, &expiry))
        return INT64_MAX;
    return expiry;
}

uint64_t kelvoTableItemSize(const kelvoTableItem *item)
{
    const kelvoValue *value = item->value;
    uint64_t key = item->key.length;
    if (value->flags & KELVO_VALUE_STATIC)
        return key + 49;
    switch (value->type) {
    case KELVO_VALUE_LONG:
    case KELVO_VALUE_DOUBLE:
        return key + 73;
    case KELVO_VALUE_STRING:
    case KELVO_VALUE_SERIALIZED:
        return key + value->length + 74;
    default:
        kelvoPanic("Hit 'unreachable' code: value type %u", value->type);
    }
}

/* --- items before publication -------------------------------------------------------------- */

static const kelvoValue *staticValue(const kelvoValueSource *value)
{
    switch (value->type) {
    case KELVO_VALUE_NULL:
        return &kelvoValueNull;
    case KELVO_VALUE_BOOL:
        return value->b ? &kelvoValueTrue : &kelvoValueFalse;
    case KELVO_VALUE_LONG:
        return uint64_t(value->l) < KELVO_VALUE_SMALL_NUMBERS ? &kelvoValueSmallNumbers[value->l] : nullptr;
    default:
        return nullptr;
    }
}

kelvoTableItem *kelvoTableItemCreate(const char *key, size_t keyLength, const kelvoValueSource *value, int64_t expiry)
{
    const kelvoValue *shared = staticValue(value);
    bool bytes = value->type == KELVO_VALUE_STRING || value->type == KELVO_VALUE_SERIALIZED;
    kelvoAssert(shared || bytes || value->type == KELVO_VALUE_LONG || value->type == KELVO_VALUE_DOUBLE);
    size_t valueLength = bytes ? value->length : 0;
    if (keyLength > UINT32_MAX || valueLength > UINT32_MAX)
        return nullptr;
    size_t recordSize = shared ? 0 : sizeof(kelvoValue);
    size_t total = sizeof(kelvoTableItem) + recordSize + keyLength + 1 + (bytes ? valueLength + 1 : 0);
    if (total > KELVO_SH_MAX_BLOCK)
        return nullptr;
    auto *item = static_cast<kelvoTableItem *>(kelvoShMalloc(total));
    if (!item)
        return nullptr;
    char *at = reinterpret_cast<char *>(item + 1) + recordSize;
    memcpy(at, key, keyLength);
    at[keyLength] = '\0';
    item->epoch = {};
    item->key = {at, uint32_t(keyLength)};
    item->expiry = expiry;
    at += keyLength + 1;
    if (shared) {
        item->value = shared;
        return item;
    }
    auto *record = reinterpret_cast<kelvoValue *>(item + 1);
    record->type = value->type;
    record->flags = 0;
    record->length = uint32_t(valueLength);
    if (bytes) {
        memcpy(at, value->bytes, valueLength);
        at[valueLength] = '\0';
        record->u.str = at;
    } else if (value->type == KELVO_VALUE_LONG) {
        record->u.l = value->l;
    } else {
        record->u.d = value->d;
    }
    item->value = record;
    return item;
}

void kelvoTableItemFree(kelvoTableItem *item) { kelvoShFree(item); }

/* --- reads ------------------------------------------------------------------------------------ */

kelvoTableHT *kelvoTableFind(const char *name, size_t length)
{
    kelvoDebugAssert(kelvoReader.active);
    kelvoSharedTables *t = tables();
    uint64_t changes = __atomic_load_n(&t->namespace_changes, __ATOMIC_ACQUIRE);
    kelvoTableHT *ht = lastFound.ht;
    if (!ht || lastFound.changes != changes || ht->name.length != length ||
        (length && memcmp(ht->name.bytes, name, length))) {
        kelvoTableKey key = probeKey(name, length);
        void *object = kelvoCkRhsGet(&t->namespaces, kelvoTableHash(name, length), &key);
        if (!object)
            return nullptr;
        ht = kelvoTableHTOf(object);
        if (!(changes & 1))
            lastFound = {changes, ht};
    }
    return __atomic_load_n(&ht->retired, __ATOMIC_ACQUIRE) ? nullptr : ht;
}

kelvoTableItem *kelvoTableHTFind(kelvoTableHT *ht, const char *key, size_t length)
{
    kelvoDebugAssert(kelvoReader.active);
    kelvoTableKey probe = probeKey(key, length);
    void *object = kelvoCkRhsGet(&ht->items, kelvoTableHash(key, length), &probe);
    return object ? kelvoTableItemOf(object) : nullptr;
}

uint64_t kelvoTableHTCount(kelvoTableHT *ht) { return kelvoCkRhsCount(&ht->items); }

int64_t kelvoTableHTMemory(const kelvoTableHT *ht) { return __atomic_load_n(&ht->memory, __ATOMIC_RELAXED); }

int kelvoTableHTForEach(kelvoTableHT *ht, const kelvoTableWalker *walker)
{
    return walkSet(&ht->items, &ht->changes, &ht->lock, offsetof(kelvoTableItem, key), walker);
}

int kelvoTableForEachNamespace(const kelvoTableWalker *walker)
{
    kelvoSharedTables *t = tables();
    return walkSet(&t->namespaces, &t->namespace_changes, &kelvoSharedData->cache.lock, offsetof(kelvoTableHT, name),
                   walker);
}

bool kelvoTableHTNext(kelvoTableHT *ht, kelvoCkRhsIterator *position, const kelvoTableItem **item)
{
    kelvoDebugAssert(kelvoReader.active);
    void *object;
    if (!kelvoCkRhsNext(&ht->items, position, &object))
        return false;
    *item = kelvoTableItemOf(object);
    return true;
}

uint64_t kelvoTableHTLayout(const kelvoTableHT *ht) { return __atomic_load_n(&ht->layout, __ATOMIC_ACQUIRE); }

/* --- writes ------------------------------------------------------------------------------------ */

/* Publishes the item in a namespace whose lock is held; `*replaced` is the item it replaced. */
static kelvoTableStatus storeLocked(kelvoTableHT *ht, kelvoTableItem *item, bool keepExpiry, kelvoTableItem **replaced)
{
    kelvoAssertLockHeld(&ht->lock);
    uint64_t hash = kelvoTableHash(item->key.bytes, item->key.length);
    void *found = kelvoCkRhsGet(&ht->items, hash, &item->key);
    kelvoTableItem *old = found ? kelvoTableItemOf(found) : nullptr;
    /* Copied before publication: no reader may see the new item without the expiry it keeps. */
    if (keepExpiry && old && old->expiry != 0 && kelvoTableItemLive(old))
        item->expiry = old->expiry;
    beginChange(&ht->changes);
    const void *map = kelvoCkRhsMapOf(&ht->items);
    void *previous = nullptr;
    bool stored = (old || kelvoRhsMakeRoom(&ht->items, 1)) && kelvoCkRhsSet(&ht->items, hash, &item->key, &previous);
    if (kelvoCkRhsMapOf(&ht->items) != map)
        moved(ht);
    endChange(&ht->changes);
    if (!stored)
        return KELVO_TABLE_NO_MEMORY;
    kelvoAssert(previous == found);
    int64_t bytes = int64_t(kelvoTableItemSize(item)) - (old ? int64_t(kelvoTableItemSize(old)) : 0);
    int64_t expiring = (item->expiry != 0) - (old && old->expiry != 0);
    account(ht, bytes, old ? 0 : 1, expiring);
    *replaced = old;
    return KELVO_TABLE_OK;
}

kelvoTableStatus kelvoTableStore(const char *name, size_t nameLength, kelvoTableItem *item, bool keepExpiry)
{
    kelvoGlobalEpochBegin();
    kelvoTableStatus status = KELVO_TABLE_OK;
    kelvoTableItem *replaced = nullptr;
    if (kelvoTableHT *ht = htFindOrCreate(name, nameLength, &status)) {
        if (kelvoLockLock(&ht->lock) != 0) {
            status = KELVO_TABLE_BROKEN;
        } else {
            status = ht->retired ? KELVO_TABLE_RETIRED : storeLocked(ht, item, keepExpiry, &replaced);
            kelvoLockUnlock(&ht->lock);
        }
    }
    if (replaced)
        retireItem(replaced);
    kelvoGlobalEpochEnd();
    return status;
}

kelvoTableStatus kelvoTableDelete(const char *name, size_t nameLength, const char *key, size_t keyLength)
{
    kelvoGlobalEpochBegin();
    kelvoTableStatus status = KELVO_TABLE_MISSING;
    kelvoTableItem *removed = nullptr;
    if (kelvoTableHT *ht = kelvoTableFind(name, nameLength)) {
        if (kelvoLockLock(&ht->lock) != 0) {
            status = KELVO_TABLE_BROKEN;
        } else {
            if (!ht->retired) {
                kelvoTableKey probe = probeKey(key, keyLength);
                beginChange(&ht->changes);
                void *object = kelvoCkRhsRemove(&ht->items, kelvoTableHash(key, keyLength), &probe);
                endChange(&ht->changes);
                if (object) {
                    moved(ht);
                    removed = kelvoTableItemOf(object);
                    account(ht, -int64_t(kelvoTableItemSize(removed)), -1, -(removed->expiry != 0));
                }
            }
            kelvoLockUnlock(&ht->lock);
        }
    }
    if (removed) {
        status = kelvoTableItemLive(removed) ? KELVO_TABLE_OK : KELVO_TABLE_MISSING;
        retireItem(removed);
    }
    kelvoGlobalEpochEnd();
    return status;
}

kelvoTableStatus kelvoTableClear(const char *name, size_t nameLength)
{
    kelvoGlobalEpochBegin();
    kelvoTableStatus status = KELVO_TABLE_OK;
    if (kelvoTableHT *ht = kelvoTableFind(name, nameLength)) {
        if (kelvoLockLock(&ht->lock) != 0) {
            status = KELVO_TABLE_BROKEN;
        } else {
            if (!ht->retired)
                emptyLocked(ht);
            kelvoLockUnlock(&ht->lock);
        }
    }
    kelvoGlobalEpochEnd();
    return status;
}

int64_t kelvoTableClearAll(void)
{
    kelvoSharedTables *t = tables();
    kelvoLock *root = &kelvoSharedData->cache.lock;
    if (kelvoLockLock(root) != 0)
        return -1;
    int64_t count = 0;
    if (kelvoCkRhsCount(&t->namespaces) > 0) {
        beginChange(&t->namespace_changes);
        {
            kelvoRhsHoldReplacedMaps hold;
            kelvoCkRhs old;
            kelvoCkRhsMove(&old, &t->namespaces);
            if (kelvoCkRhsResetSize(&t->namespaces, SET_CAPACITY)) {
                /* The old map is unreachable now: each namespace on it can be retired. */
                kelvoCkRhsIterator it;
                kelvoCkRhsIteratorInit(&it);
                void *object;
                while (kelvoCkRhsNext(&old, &it, &object))
                    count += retireNamespace(kelvoTableHTOf(object));
            } else {
                ObjectList list;
                if (!collect(&t->namespaces, &list))
                    kelvoPanic("Cannot empty the table: no memory for its namespace list");
                for (size_t i = 0; i < list.count; i++) {
                    kelvoTableHT *ht = kelvoTableHTOf(list.objects[i]);
                    kelvoCkRhsRemove(&t->namespaces, kelvoTableHash(ht->name.bytes, ht->name.length), &ht->name);
                    count += retireNamespace(ht);
                }
            }
        }
        endChange(&t->namespace_changes);
    }
    kelvoLockUnlock(root);
    return kelvoSharedStateBroken() ? -1 : count;
}

/* --- upkeep ------------------------------------------------------------------------------------ */

void kelvoTableCacheGC(uint64_t nowUsec)
{
    kelvoAssert(nowUsec != 0);
    if (!kelvoCacheUsable() || !claim(&tables()->sweep_time, &localSweepTime, nowUsec))
        return;
    if (kelvoGlobalEpochInit() != 0) {
        kelvoShLog(KELVO_LL_WARNING, "Failed to retrieve read record (possible OOM)");
        return;
    }
    if (kelvoReader.active)
        return;
    kelvoGlobalEpochBegin();
    sweep();
    kelvoGlobalEpochEnd();
}

/*
 * Polls when the retired backlog grew by RETIRED_BACKLOG since this process
 * last looked: writes then reuse blocks freed moments ago, still in the CPU's
 * caches, instead of waiting out the interval with megabytes retired. One
 * poller at a time; a backlog that cannot drain (a reader stays inside its
 * section) is polled again only after as many more retirements.
 */
static void pollBacklog(void)
{
    unsigned pending = kelvoGlobalEpochPending();
    if (pending < localPendingSeen + RETIRED_BACKLOG) {
        localPendingSeen = std::min(localPendingSeen, pending);
        return;
    }
    localPendingSeen = pending;
    uint32_t *poller = &kelvoSharedData->periodic.poller;
    if (!kelvoOwnerTake(poller))
        return;
    kelvoGlobalEpochPoll();
    kelvoOwnerGive(poller);
    localPendingSeen = kelvoGlobalEpochPending();
}

void kelvoTableUpkeep(uint64_t nowUsec)
{
    kelvoTableCacheGC(nowUsec);
    if (!kelvoCacheUsable() || kelvoReader.active)
        return;
    if (claim(&kelvoSharedData->cache.epoch_poll_time, &localPollTime, nowUsec))
        kelvoGlobalEpochPoll();
    else
        pollBacklog();
}

void kelvoTableReclaim(void)
{
    if (kelvoCacheUsable() && !kelvoReader.active)
        kelvoGlobalEpochPoll();
}
