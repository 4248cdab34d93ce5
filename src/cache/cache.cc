/* Endpoints, cached database sets, entries, lookups and flushes in the arena. */
#include "cache/cache.h"
#include "cache/cms.h"
#include "cache/delivery.h"
#include "cache/keylease.h"
#include "cache/keys.h"
#include "cache/rhs_map.h"
#include "runtime/cfgvals.h"
#include "runtime/fatal.h"
#include "runtime/log.h"
#include "shm/epoch.h"
#include "shm/shared.h"
#include "shm/shmalloc.h"

#include <xxhash.h>

#include <cstdlib>
#include <cstring>
#include <ctime>
#include <strings.h>

namespace {

constexpr unsigned long SET_CAPACITY = 8;
constexpr unsigned long ENDPOINT_SET_CAPACITY = 64;
constexpr size_t UNWIND_BATCH = 1024;
constexpr uint64_t REAP_INTERVAL = 1000000;

const kelvoKeyPair *pairOf(const void *object) { return static_cast<const kelvoKeyPair *>(object); }

unsigned long cacheRhsHash(const void *object, unsigned long seed)
{
    const kelvoKeyPair *pair = pairOf(object);
    return XXH3_64bits_withSeed(pair->bytes, pair->length, seed);
}

template <typename Word>
Word loadWord(const char *p)
{
    Word w;
    memcpy(&w, p, sizeof w);
    return w;
}

/* Keys are mostly short: two overlapping word loads beat a call to memcmp on every probe. */
bool sameBytes(const char *a, const char *b, size_t n)
{
    if (n >= 8 && n <= 16)
        return loadWord<uint64_t>(a) == loadWord<uint64_t>(b) &&
               loadWord<uint64_t>(a + n - 8) == loadWord<uint64_t>(b + n - 8);
    if (n >= 4 && n < 8)
        return loadWord<uint32_t>(a) == loadWord<uint32_t>(b) &&
               loadWord<uint32_t>(a + n - 4) == loadWord<uint32_t>(b + n - 4);
    return memcmp(a, b, n) == 0;
}

bool cacheRhsCmp(const void *a, const void *b)
{
    const kelvoKeyPair *x = pairOf(a), *y = pairOf(b);
    return x->length == y->length && sameBytes(x->bytes, y->bytes, x->length);
}

kelvoKeyPair keyPair(const char *key, size_t length) { return {key, uint32_t(length), 0}; }

bool makeSet(kelvoCkRhs *set, unsigned long capacity)
{
    return kelvoCkRhsInit(set, KELVO_CK_RHS_OBJECT, cacheRhsHash, cacheRhsCmp, &kelvoCacheAllocators, capacity,
                          kelvoCache()->seed);
}

kelvoCacheEntry *entryOf(void *object)
{
    return reinterpret_cast<kelvoCacheEntry *>(static_cast<char *>(object) - offsetof(kelvoCacheEntry, pair));
}

kelvoCacheEntry *entryOf(kelvoEpochEntry *epoch) { return reinterpret_cast<kelvoCacheEntry *>(epoch); }

uint32_t databases(void) { return kelvoCache()->databases; }

void retireEntry(kelvoCacheEntry *entry) { kelvoGlobalEpochRetire(&entry->epoch, kelvoCacheEntryDestroy); }

void assertLocked(rdb *set, uint32_t db) { kelvoAssertLockHeld(&set->locks[db]); }

/* --- reserve maps ----------------------------------------------------------------------- */

struct ReserveNode {
    ReserveNode *next;
    void *map;
};

/* Taken by a compare-and-swap to the holder's process id, so that a holder that died can be told. */
bool reserveTryTake(kelvoReserveMapList *list)
{
    uint32_t holder = 0, me = kelvoLockPid();
    if (__atomic_compare_exchange_n(&list->busy, &holder, me, false, __ATOMIC_ACQUIRE, __ATOMIC_RELAXED))
        return true;
    return holder != me && !kelvoProcessAlive(holder) &&
           __atomic_compare_exchange_n(&list->busy, &holder, me, false, __ATOMIC_ACQUIRE, __ATOMIC_RELAXED);
}

void reserveTake(kelvoReserveMapList *list)
{
    for (uint32_t spins = 0;; spins++) {
        uint32_t holder = 0;
        if (__atomic_compare_exchange_n(&list->busy, &holder, kelvoLockPid(), false, __ATOMIC_ACQUIRE,
                                        __ATOMIC_RELAXED))
            return;
        if ((spins & 1023) == 1023 && reserveTryTake(list))
            return;
        __builtin_ia32_pause();
    }
}

void reserveGive(kelvoReserveMapList *list) { __atomic_store_n(&list->busy, 0, __ATOMIC_RELEASE); }

/* Makes up to `count` reserve maps; how many were made. */
uint32_t reserveFill(kelvoReserveMapList *list, uint32_t count)
{
    uint32_t made = 0;
    for (; made < count; made++) {
        auto *node = static_cast<ReserveNode *>(kelvoShMalloc(sizeof(ReserveNode)));
        void *map = node ? kelvoRhsMapAlloc(list->map_bytes) : nullptr;
        if (!map) {
            kelvoShFree(node);
            break;
        }
        node->map = map;
        reserveTake(list);
        node->next = static_cast<ReserveNode *>(list->head);
        list->head = node;
        list->count++;
        list->target++;
        reserveGive(list);
    }
    return made;
}

void *reservePop(void)
{
    kelvoReserveMapList *list = kelvoReserveMaps();
    reserveTake(list);
    auto *node = static_cast<ReserveNode *>(list->head);
    if (node) {
        list->head = node->next;
        list->count--;
    }
    reserveGive(list);
    if (!node)
        return nullptr;
    void *map = node->map;
    kelvoShFree(node);
    return map;
}

/* One more map on the list; false without memory. */
bool reservePush(kelvoReserveMapList *list)
{
    auto *node = static_cast<ReserveNode *>(kelvoShMalloc(sizeof(ReserveNode)));
    void *map = node ? kelvoRhsMapAlloc(list->map_bytes) : nullptr;
    if (!map) {
        kelvoShFree(node);
        return false;
    }
    node->map = map;
    node->next = static_cast<ReserveNode *>(list->head);
    list->head = node;
    list->count++;
    return true;
}

int initReserveMaps(uint32_t wanted, uint32_t *made)
{
    kelvoReserveMapList *list = kelvoReserveMaps();
    *made = 0;
    if (wanted == 0)
        return 0;
    kelvoCkRhs probe;
    if (!makeSet(&probe, SET_CAPACITY))
        return 0;
    list->map_bytes = ck_rhs_map_size(&probe, SET_CAPACITY);
    list->map_entries = SET_CAPACITY;
    kelvoCkRhsDestroy(&probe);
    *made = reserveFill(list, wanted);
    return 0;
}

/* --- entries in one database --------------------------------------------------------------- */

/* Collects every distinct entry a map may hold twice (a holder died shifting it); false without memory. */
bool collectEntries(kelvoCkRhs *set, kelvoCacheEntry ***out, size_t *count)
{
    size_t used = 0, room = 0;
    kelvoCacheEntry **found = nullptr;
    kelvoCkRhsIterator it;
    kelvoCkRhsIteratorInit(&it);
    void *object;
    while (kelvoCkRhsNext(set, &it, &object)) {
        if (used == room) {
            room = room ? room * 2 : 64;
            auto *grown = static_cast<kelvoCacheEntry **>(realloc(found, room * sizeof *found));
            if (!grown) {
                free(found);
                return false;
            }
            found = grown;
        }
        found[used++] = entryOf(object);
    }
    qsort(found, used, sizeof *found, [](const void *a, const void *b) {
        auto x = *static_cast<kelvoCacheEntry *const *>(a), y = *static_cast<kelvoCacheEntry *const *>(b);
        return x < y ? -1 : x > y;
    });
    size_t distinct = 0;
    for (size_t i = 0; i < used; i++) {
        if (distinct == 0 || found[distinct - 1] != found[i])
            found[distinct++] = found[i];
    }
    *out = found;
    *count = distinct;
    return true;
}

/* Retires every entry of a map no reader can newly reach; the map itself stays. */
void retireAllOf(kelvoCkRhs *old)
{
    kelvoCkRhsIterator it;
    kelvoCkRhsIteratorInit(&it);
    void *object;
    while (kelvoCkRhsNext(old, &it, &object))
        retireEntry(entryOf(object));
}

/* Removes and retires the entries of a live set in batches: 0, or -1 when the set gives back a stranger. */
int cacheRhsUnwind(kelvoCkRhs *set)
{
    void *batch[UNWIND_BATCH];
    while (kelvoCkRhsCount(set) != 0) {
        size_t taken = 0;
        kelvoCkRhsIterator it;
        kelvoCkRhsIteratorInit(&it);
        void *object;
        while (taken < UNWIND_BATCH && kelvoCkRhsNext(set, &it, &object))
            batch[taken++] = object;
        if (taken == 0)
            return -1;
        for (size_t i = 0; i < taken; i++) {
            const kelvoKeyPair *pair = pairOf(batch[i]);
            void *removed = kelvoCkRhsRemove(set, kelvoCacheHash(pair->bytes, pair->length), pair);
            if (removed != batch[i]) {
                kelvoShLog(KELVO_LL_ERROR, "Invalid HT '%.*s'@%p != %p", int(pair->length), pair->bytes, batch[i],
                           removed);
                return -1;
            }
            retireEntry(entryOf(removed));
        }
    }
    return 0;
}

/* Swaps an empty map into the live set (a reserve one when the heap has none); false when neither exists. */
bool swapInFreshMap(kelvoCkRhs *live)
{
    if (kelvoCkRhsResetSize(live, SET_CAPACITY))
        return true;
    void *map = reservePop();
    if (!map)
        return false;
    ck_rhs_reset_preallocated(live, SET_CAPACITY, map);
    return true;
}

int flushLocked(rdb *set, uint32_t db)
{
    assertLocked(set, db);
    kelvoCkRhs *live = &set->sets[db];
    if (kelvoCkRhsCount(live) == 0)
        return 0;
    kelvoRhsHoldReplacedMaps hold;
    kelvoCkRhs old;
    if (!kelvoCkRhsMove(&old, live))
        kelvoPanic("Failed to move rdb@%p db %u", static_cast<void *>(set), db);
    if (!swapInFreshMap(live))
        return cacheRhsUnwind(live);
    retireAllOf(&old);
    return 0;
}

/*
 * A dead holder of a database lock may have left its set half-changed: the
 * database starts empty, and what the set's writers stored is withdrawn.
 */
int rebuildDB(rdb *set, uint32_t db)
{
    assertLocked(set, db);
    kelvoShLog(KELVO_LL_ERROR, "RDB - rebuilding rdb@%p db %u after its lock holder died", static_cast<void *>(set),
               db);
    kelvoLeaseInvalidateDB(set);
    kelvoCkRhs *live = &set->sets[db];
    kelvoRhsHoldReplacedMaps hold;
    kelvoCkRhs old;
    if (!kelvoCkRhsMove(&old, live) || !swapInFreshMap(live))
        return -1;
    kelvoCacheEntry **entries;
    size_t count;
    if (collectEntries(&old, &entries, &count)) {
        for (size_t i = 0; i < count; i++)
            retireEntry(entries[i]);
        free(entries);
    }
    return 0;
}

/* Takes a database's lock, rebuilding the database when its last holder died: 0, or -1. */
int lockDB(rdb *set, uint32_t db)
{
    kelvoAssert(db < databases());
    kelvoLock *lock = &set->locks[db];
    int taken = kelvoLockLockRecoverable(lock);
    if (taken == KELVO_LOCK_INHERITED && rebuildDB(set, db) != 0) {
        kelvoSharedStateSetBroken();
        kelvoLockUnlock(lock);
        return -1;
    }
    return taken < 0 ? -1 : 0;
}

void unlockDB(rdb *set, uint32_t db) { kelvoLockUnlock(&set->locks[db]); }

kelvoCacheEntry *findLocked(rdb *set, uint32_t db, uint64_t hash, const kelvoKeyPair *pair)
{
    assertLocked(set, db);
    void *object = kelvoCkRhsGet(&set->sets[db], hash, pair);
    return object ? entryOf(object) : nullptr;
}

/* --- cached database sets ----------------------------------------------------------------- */

/* The set's records and arrays in one block: the record, entry sets, locks, visited marks. */
size_t rdbBytes(uint32_t count) { return sizeof(rdb) + count * (sizeof(kelvoCkRhs) + sizeof(kelvoLock)) + count; }

void destroySets(rdb *set, uint32_t made)
{
    for (uint32_t i = 0; i < made; i++) {
        cacheRhsUnwind(&set->sets[i]);
        kelvoCkRhsDestroy(&set->sets[i]);
        if (set->locks[i].type != KELVO_LOCK_SPIN)
            pthread_mutex_destroy(&set->locks[i].mutex);
    }
}

/* A private set (not on any list): destroyed at once when it cannot be published. */
void rdbDestroy(rdb *set)
{
    destroySets(set, databases());
    kelvoShFree(set);
}

rdb *rdbCreate(kelvoEndpoint *ep)
{
    uint32_t count = databases();
    auto *block = static_cast<char *>(kelvoShCalloc(1, rdbBytes(count)));
    if (!block)
        return nullptr;
    auto *set = reinterpret_cast<rdb *>(block);
    set->ep = ep;
    set->sets = reinterpret_cast<kelvoCkRhs *>(block + sizeof(rdb));
    set->locks = reinterpret_cast<kelvoLock *>(block + sizeof(rdb) + count * sizeof(kelvoCkRhs));
    set->visited = reinterpret_cast<uint8_t *>(set->locks + count);
    for (uint32_t i = 0; i < count; i++) {
        if (kelvoLockInit(&set->locks[i], kelvoCfgVals.cache_lock) != 0 || !makeSet(&set->sets[i], SET_CAPACITY)) {
            if (set->locks[i].type != KELVO_LOCK_SPIN)
                pthread_mutex_destroy(&set->locks[i].mutex);
            destroySets(set, i);
            kelvoShFree(block);
            return nullptr;
        }
    }
    return set;
}

/* Joins an existing set of the endpoint that has room for one more writer. */
rdb *joinExisting(kelvoEndpoint *ep)
{
    uint32_t limit = kelvoCfgVals.max_db_writers;
    for (rdb *set = __atomic_load_n(&ep->rdbs, __ATOMIC_ACQUIRE); set; set = set->next) {
        uint32_t writers = __atomic_load_n(&set->writers, __ATOMIC_RELAXED);
        while (writers < limit) {
            if (__atomic_compare_exchange_n(&set->writers, &writers, writers + 1, false, __ATOMIC_ACQ_REL,
                                            __ATOMIC_RELAXED)) {
                kelvoShLog(KELVO_LL_DEBUG, "RDB - Reusing %lx(%u writers)", reinterpret_cast<unsigned long>(set),
                           writers + 1);
                return set;
            }
        }
    }
    return nullptr;
}

/* Publishes a new set when the endpoint is below its cap; two racing for the last place both build one. */
rdb *addNew(kelvoEndpoint *ep)
{
    /* A link refused for want of room retries at every sync: it must not build a set each time. */
    if (__atomic_load_n(&ep->rdb_count, __ATOMIC_RELAXED) >= kelvoCache()->max_endpoint_dbs)
        return nullptr;
    rdb *set = rdbCreate(ep);
    if (!set)
        return nullptr;
    uint32_t count = __atomic_load_n(&ep->rdb_count, __ATOMIC_RELAXED);
    do {
        if (count >= kelvoCache()->max_endpoint_dbs) {
            rdbDestroy(set);
            return nullptr;
        }
    } while (
        !__atomic_compare_exchange_n(&ep->rdb_count, &count, count + 1, false, __ATOMIC_ACQ_REL, __ATOMIC_RELAXED));
    kelvoShLog(KELVO_LL_DEBUG, "RDB - Adding new db %lx", reinterpret_cast<unsigned long>(set));
    set->writers = 1;
    rdb *head = __atomic_load_n(&ep->rdbs, __ATOMIC_RELAXED);
    do {
        set->next = head;
    } while (!__atomic_compare_exchange_n(&ep->rdbs, &head, set, false, __ATOMIC_RELEASE, __ATOMIC_RELAXED));
    return set;
}

void flushAll(rdb *set)
{
    for (uint32_t db = 0; db < databases(); db++)
        kelvoDBFlush(set, db);
}

/* Gives one writer place back; the last writer to leave empties the set when asked. */
void leaveSet(kelvoEndpoint *ep, rdb *set, bool emptyWhenLast)
{
    uint32_t writers = __atomic_load_n(&set->writers, __ATOMIC_RELAXED);
    do {
        if (writers == 0) {
            kelvoShLog(KELVO_LL_WARNING, "ENDPOINT - RELEASEDB ignored stale rdb (ep: %lx, rdb: %lx, writers: 0)",
                       reinterpret_cast<unsigned long>(ep), reinterpret_cast<unsigned long>(set));
            return;
        }
    } while (
        !__atomic_compare_exchange_n(&set->writers, &writers, writers - 1, false, __ATOMIC_ACQ_REL, __ATOMIC_RELAXED));
    kelvoShLog(KELVO_LL_DEBUG, "ENDPOINT - RELEASEDB (ep: %lx, rdb: %lx, writers: %u)",
               reinterpret_cast<unsigned long>(ep), reinterpret_cast<unsigned long>(set), writers);
    if (writers == 1 && emptyWhenLast)
        flushAll(set);
}

void releasedByDeadWriter(rdb *set) { leaveSet(set->ep, set, true); }

uint64_t nowMicros(void)
{
    struct timespec ts;
    clock_gettime(CLOCK_REALTIME, &ts);
    return uint64_t(ts.tv_sec) * 1000000 + uint64_t(ts.tv_nsec) / 1000;
}

/* --- endpoints ------------------------------------------------------------------------------- */

kelvoEndpoint *endpointCreate(const char *uri, size_t length)
{
    uint32_t count = databases();
    kelvoAssert(uri != NULL && count > 0);
    size_t bytes = sizeof(kelvoEndpoint) + count * sizeof(uint64_t) + length + 1;
    auto *block = static_cast<char *>(kelvoShCalloc(1, bytes));
    if (!block)
        return nullptr;
    auto *ep = reinterpret_cast<kelvoEndpoint *>(block);
    ep->db_last_flush = reinterpret_cast<uint64_t *>(block + sizeof(kelvoEndpoint));
    char *copy = block + sizeof(kelvoEndpoint) + count * sizeof(uint64_t);
    memcpy(copy, uri, length);
    ep->uri = keyPair(copy, length);
    ep->used_memory = ep->used_memory_peak = ep->total_system_memory = ep->tracking_total_keys = ep->maxmemory = -1;
    return ep;
}

kelvoEndpoint *endpointFind(uint64_t hash, const kelvoKeyPair *pair)
{
    if (__atomic_load_n(&kelvoCache()->endpoint_count, __ATOMIC_ACQUIRE) == 0)
        return nullptr;
    void *object = kelvoCkRhsGet(&kelvoCache()->endpoints, hash, pair);
    return object ? reinterpret_cast<kelvoEndpoint *>(static_cast<char *>(object) - offsetof(kelvoEndpoint, uri))
                  : nullptr;
}

kelvoEndpoint *endpointLookup(uint64_t hash, const kelvoKeyPair *pair)
{
    if (kelvoGlobalEpochInit() != 0)
        return nullptr;
    kelvoGlobalEpochBegin();
    kelvoEndpoint *ep = endpointFind(hash, pair);
    kelvoGlobalEpochEnd();
    return ep;
}

bool endpointPublish(kelvoEndpoint *ep, uint64_t hash)
{
    kelvoSharedCache *cache = kelvoCache();
    kelvoLockGuard guard(&cache->lock);
    if (!guard || !kelvoRhsPutGrown(&cache->endpoints, hash, &ep->uri))
        return false;
    __atomic_fetch_add(&cache->endpoint_count, 1, __ATOMIC_RELEASE);
    return true;
}

uint32_t nowSeconds(void) { return uint32_t(time(nullptr)); }

} // namespace

/* --- the root's cache part ----------------------------------------------------------------- */

uint64_t kelvoCacheHash(const char *key, size_t length)
{
    return XXH3_64bits_withSeed(key, length, kelvoSharedData->cache.seed);
}

int kelvoCacheInitRoot(uint32_t *reserveMade)
{
    kelvoSharedCache *cache = kelvoCache();
    *reserveMade = 0;
    if (!kelvoCkRhsInit(&cache->endpoints, KELVO_CK_RHS_OBJECT, cacheRhsHash, cacheRhsCmp, &kelvoCacheAllocators,
                        ENDPOINT_SET_CAPACITY, cache->seed)) {
        kelvoShLog(KELVO_LL_ERROR, "Cannot allocate the endpoint set");
        return -1;
    }
    initReserveMaps(kelvoCfgVals.reserve_maps, reserveMade);
    if (kelvoLeaseTableInit(kelvoLeases(), kelvoCfgVals.key_leases) != 0) {
        kelvoShLog(KELVO_LL_ERROR, "Cannot initialize key leases (count: %u)", kelvoCfgVals.key_leases);
        return -1;
    }
    return kelvoInvalidationQueuesInit();
}

/* --- endpoints --------------------------------------------------------------------------------- */

uint32_t kelvoReserveMapsRefill(void)
{
    kelvoReserveMapList *list = kelvoReserveMaps();
    if (!reserveTryTake(list))
        return 0;
    uint32_t made = 0;
    if (list->map_bytes != 0) {
        while (list->count < list->target && reservePush(list))
            made++;
    }
    reserveGive(list);
    return made;
}

kelvoEndpoint *kelvoEndpointGetOrCreate(const char *uri, size_t length)
{
    kelvoAssert(uri != NULL && length > 0);
    kelvoKeyPair pair = keyPair(uri, length);
    uint64_t hash = kelvoCacheHash(uri, length);
    if (kelvoEndpoint *ep = endpointLookup(hash, &pair))
        return ep;
    if (kelvoEndpoint *ep = endpointCreate(uri, length)) {
        if (endpointPublish(ep, hash))
            return ep;
        kelvoShFree(ep);
    }
    /* Another process may have published the same identity first. */
    return endpointLookup(hash, &pair);
}

kelvoEndpoint *kelvoEndpointGetEx(const char *uri, size_t length)
{
    kelvoKeyPair pair = keyPair(uri, length);
    return endpointLookup(kelvoCacheHash(uri, length), &pair);
}

kelvoEndpoint *kelvoEndpointGetZStr(const char *uri) { return kelvoEndpointGetEx(uri, strlen(uri)); }

void kelvoEndpointForEach(void (*visit)(kelvoEndpoint *ep, void *arg), void *arg)
{
    kelvoCkRhsIterator it;
    kelvoCkRhsIteratorInit(&it);
    void *object;
    while (kelvoCkRhsNext(&kelvoCache()->endpoints, &it, &object))
        visit(reinterpret_cast<kelvoEndpoint *>(static_cast<char *>(object) - offsetof(kelvoEndpoint, uri)), arg);
}

int kelvoGetInfoField(const char **value, size_t *length, const char *text, size_t textLength, const char *name,
                      size_t nameLength)
{
    if (textLength < nameLength)
        return -1;
    for (size_t at = 0; at + nameLength <= textLength; at++) {
        if (strncasecmp(text + at, name, nameLength) != 0)
            continue;
        size_t start = at + nameLength;
        if (start + 1 >= textLength)
            return -1;
        for (size_t end = start; end + 1 < textLength; end++) {
            if (text[end] == '\r' && text[end + 1] == '\n') {
                *value = text + start;
                *length = end - start;
                return 0;
            }
        }
        return -1;
    }
    return -1;
}

namespace {

void infoText(char (&out)[24], const char *text, size_t length, const char *name, const char *fallback)
{
    const char *value;
    size_t len;
    if (kelvoGetInfoField(&value, &len, text, length, name, strlen(name)) == 0 && len < sizeof out) {
        memcpy(out, value, len);
        out[len] = '\0';
    } else {
        strcpy(out, fallback);
    }
}

int64_t infoNumber(const char *text, size_t length, const char *name)
{
    const char *value;
    size_t len;
    if (kelvoGetInfoField(&value, &len, text, length, name, strlen(name)) != 0)
        return -1;
    char digits[24];
    len = len < sizeof digits - 1 ? len : sizeof digits - 1;
    memcpy(digits, value, len);
    digits[len] = '\0';
    return strtoll(digits, nullptr, 10);
}

} // namespace

void kelvoEndpointSetInfo(kelvoEndpoint *ep, const char *text, size_t length)
{
    infoText(ep->redis_version, text, length, "redis_version:", "0.0.0");
    ep->used_memory = infoNumber(text, length, "used_memory:");
    ep->used_memory_peak = infoNumber(text, length, "used_memory_peak:");
    ep->total_system_memory = infoNumber(text, length, "total_system_memory:");
    ep->tracking_total_keys = infoNumber(text, length, "tracking_total_keys:");
    ep->maxmemory = infoNumber(text, length, "maxmemory:");
    infoText(ep->maxmemory_policy, text, length, "maxmemory_policy:", "unknown");
}

/* --- attachment ----------------------------------------------------------------------------------- */

kelvoAttachResult kelvoCacheAttach(kelvoEndpoint *ep, uint16_t *lease, rdb **out)
{
    kelvoAssert(ep != NULL);
    *out = nullptr;
    *lease = kelvoLeaseAcquire(nullptr);
    /* A full table is often one of ended processes: caching must not stop after a few crashes. */
    if (*lease == KELVO_LEASE_NONE && kelvoCacheReapDeadWriters(nowMicros()) > 0)
        *lease = kelvoLeaseAcquire(nullptr);
    if (*lease == KELVO_LEASE_NONE)
        return KELVO_ATTACH_NO_LEASE;
    rdb *set = joinExisting(ep);
    if (!set)
        set = addNew(ep);
    /* Writer places of ended processes come back with their leases. */
    if (!set && kelvoCacheReapDeadWriters(nowMicros()) > 0)
        set = joinExisting(ep);
    if (!set) {
        kelvoLeaseRelease(kelvoLeases(), *lease);
        *lease = KELVO_LEASE_FAILED;
        return KELVO_ATTACH_NO_SET;
    }
    kelvoLeaseAttachDB(*lease, set);
    *out = set;
    return KELVO_ATTACH_DONE;
}

bool kelvoCacheMayAttach(const kelvoEndpoint *ep)
{
    if (__atomic_load_n(&kelvoLeases()->free_slots, __ATOMIC_RELAXED) == 0)
        return false;
    if (__atomic_load_n(&ep->rdb_count, __ATOMIC_RELAXED) < kelvoCache()->max_endpoint_dbs)
        return true;
    for (rdb *set = __atomic_load_n(&ep->rdbs, __ATOMIC_ACQUIRE); set; set = set->next) {
        if (__atomic_load_n(&set->writers, __ATOMIC_RELAXED) < kelvoCfgVals.max_db_writers)
            return true;
    }
    return false;
}

void kelvoCacheDetach(kelvoEndpoint *ep, rdb *set, uint16_t lease, bool emptyWhenLast)
{
    kelvoAssert(ep != NULL && set != NULL);
    kelvoLeaseRelease(kelvoLeases(), lease);
    leaveSet(ep, set, emptyWhenLast);
}

unsigned kelvoCacheReapDeadWriters(uint64_t now)
{
    kelvoLeaseTable *rkl = kelvoLeases();
    uint64_t last = __atomic_load_n(&rkl->reap_time, __ATOMIC_RELAXED);
    if (last >= now || now - last < REAP_INTERVAL ||
        !__atomic_compare_exchange_n(&rkl->reap_time, &last, now, false, __ATOMIC_ACQ_REL, __ATOMIC_RELAXED))
        return 0;
    return kelvoLeaseReapDead(releasedByDeadWriter);
}

/* --- entries ----------------------------------------------------------------------------------------- */

kelvoCacheEntry *kelvoCacheEntryCreate(const char *key, size_t length, rk *value, uint16_t lease, uint64_t token)
{
    kelvoAssert(key != NULL && kelvoLeaseIsSlot(lease));
    if (length > UINT32_MAX)
        return nullptr;
    auto *entry = static_cast<kelvoCacheEntry *>(kelvoShMalloc(sizeof(kelvoCacheEntry) + length + 1));
    if (!entry)
        return nullptr;
    char *bytes = reinterpret_cast<char *>(entry + 1);
    memcpy(bytes, key, length);
    bytes[length] = '\0';
    entry->epoch = {nullptr, nullptr};
    entry->pair = keyPair(bytes, length);
    entry->value = value;
    entry->token = token;
    entry->state = 1;
    entry->atime = nowSeconds();
    entry->lease = lease;
    return entry;
}

void kelvoCacheEntryFree(kelvoCacheEntry *entry)
{
    if (!entry)
        return;
    kelvoKeyFree(entry->value);
    /* Poisoned, so that a reader still holding it past its section reads nonsense, not a key. */
    memset(static_cast<void *>(entry), KELVO_ENTRY_POISON, sizeof *entry + entry->pair.length + 1);
    kelvoShFree(entry);
}

void kelvoCacheEntryDestroy(kelvoEpochEntry *epoch) { kelvoCacheEntryFree(entryOf(epoch)); }

int kelvoCacheEntryStore(rdb *set, uint32_t db, kelvoCacheEntry *entry)
{
    uint64_t hash = kelvoCacheHash(entry->pair.bytes, entry->pair.length);
    if (lockDB(set, db) != 0)
        return -1;
    void *previous = nullptr;
    bool stored = kelvoRhsSetGrown(&set->sets[db], hash, &entry->pair, &previous);
    unlockDB(set, db);
    if (previous)
        retireEntry(entryOf(previous));
    return stored ? 0 : -1;
}

int kelvoCacheEntryAdd(rdb *set, uint32_t db, kelvoCacheEntry *entry)
{
    uint64_t hash = kelvoCacheHash(entry->pair.bytes, entry->pair.length);
    if (lockDB(set, db) != 0)
        return -1;
    int result = 0;
    if (findLocked(set, db, hash, &entry->pair))
        result = 1;
    else if (!kelvoRhsPutGrown(&set->sets[db], hash, &entry->pair))
        result = -1;
    unlockDB(set, db);
    return result;
}

int kelvoCacheRemove(rdb *set, uint32_t db, const char *key, size_t length)
{
    kelvoKeyPair pair = keyPair(key, length);
    uint64_t hash = kelvoCacheHash(key, length);
    if (lockDB(set, db) != 0)
        return -1;
    void *removed = kelvoCkRhsRemove(&set->sets[db], hash, &pair);
    unlockDB(set, db);
    if (!removed)
        return 0;
    retireEntry(entryOf(removed));
    return 1;
}

int kelvoCacheMarkStale(rdb *set, uint32_t db, const char *key, size_t length)
{
    kelvoKeyPair pair = keyPair(key, length);
    uint64_t hash = kelvoCacheHash(key, length);
    if (lockDB(set, db) != 0)
        return -1;
    kelvoCacheEntry *entry = findLocked(set, db, hash, &pair);
    if (entry)
        __atomic_or_fetch(&entry->state, KELVO_ENTRY_STALE, __ATOMIC_RELEASE);
    unlockDB(set, db);
    return entry ? 1 : 0;
}

int kelvoCacheMarkStaleShared(rdb *set, uint32_t db, const char *key, size_t length, uint64_t hash)
{
    kelvoKeyPair pair = keyPair(key, length);
    kelvoCacheEntry *last = nullptr;
    for (;;) {
        void *object = kelvoCkRhsGet(&set->sets[db], hash, &pair);
        kelvoCacheEntry *entry = object ? entryOf(object) : nullptr;
        if (!entry || entry == last)
            break;
        __atomic_or_fetch(&entry->state, KELVO_ENTRY_STALE, __ATOMIC_SEQ_CST);
        last = entry;
    }
    return last ? 1 : 0;
}

bool kelvoCacheEntryServable(const kelvoCacheEntry *entry)
{
    return __atomic_load_n(&entry->state, __ATOMIC_ACQUIRE) >= 0 && kelvoLeaseCurrent(entry->lease, entry->token) &&
           kelvoLeaseFresh(entry->lease) && entry->value != nullptr;
}

const rk *kelvoCacheGetLen(kelvoEndpoint *ep, uint32_t db, const char *key, size_t length)
{
    kelvoAssert(ep != NULL);
    return kelvoCacheGetLenCms(ep, __atomic_load_n(&ep->cms, __ATOMIC_ACQUIRE), db, key, length);
}

const rk *kelvoCacheGetLenCms(kelvoEndpoint *ep, kelvoCms *cms, uint32_t db, const char *key, size_t length)
{
    kelvoAssert(ep != NULL && key != NULL);
    if (db >= kelvoSharedData->cache.databases)
        return nullptr;
    uint64_t hash = kelvoCacheHash(key, length);
    if (cms)
        kelvoCmsCountRead(cms, hash);
    kelvoKeyPair pair = keyPair(key, length);
    for (rdb *set = __atomic_load_n(&ep->rdbs, __ATOMIC_ACQUIRE); set; set = set->next) {
        void *object = kelvoCkRhsGet(&set->sets[db], hash, &pair);
        if (!object)
            continue;
        kelvoCacheEntry *entry = entryOf(object);
        if (!kelvoCacheEntryServable(entry))
            continue;
        /* A hit writes the shared line only when the second has changed. */
        uint32_t now = nowSeconds();
        if (__atomic_load_n(&entry->atime, __ATOMIC_RELAXED) != now)
            __atomic_store_n(&entry->atime, now, __ATOMIC_RELAXED);
        return entry->value;
    }
    return nullptr;
}

bool kelvoCacheNextEntry(rdb *set, uint32_t db, kelvoCkRhsIterator *iterator, kelvoCacheEntry **entry)
{
    void *object;
    if (!kelvoCkRhsNext(&set->sets[db], iterator, &object))
        return false;
    *entry = entryOf(object);
    return true;
}

unsigned long kelvoCacheCount(rdb *set, uint32_t db) { return kelvoCkRhsCount(&set->sets[db]); }

/* --- flush ----------------------------------------------------------------------------------------------- */

int kelvoDBFlush(rdb *set, uint32_t db)
{
    kelvoAssert(db < databases());
    if (lockDB(set, db) != 0)
        return -1;
    int unwound = flushLocked(set, db);
    unlockDB(set, db);
    if (unwound != 0)
        kelvoPanic("Fatal error trying to flush rdb@%p db %u", static_cast<void *>(set), db);
    return 0;
}

int kelvoEndpointFlushEx(kelvoEndpoint *ep, int32_t db)
{
    kelvoAssert(ep != NULL && (db == -1 || (db >= 0 && uint32_t(db) < databases())));
    int result = 0;
    for (rdb *set = __atomic_load_n(&ep->rdbs, __ATOMIC_ACQUIRE); set; set = set->next) {
        if (__atomic_load_n(&set->writers, __ATOMIC_ACQUIRE) == 0)
            continue;
        __atomic_fetch_add(&set->flushes, 1, __ATOMIC_RELAXED);
        __atomic_store_n(&set->last_flush, nowSeconds(), __ATOMIC_RELAXED);
        if (db >= 0) {
            result |= kelvoDBFlush(set, uint32_t(db));
        } else {
            for (uint32_t i = 0; i < databases(); i++)
                result |= kelvoDBFlush(set, i);
        }
    }
    return result;
}

void kelvoEndpointTicketRaise(kelvoEndpoint *ep, uint64_t keyHash)
{
    __atomic_add_fetch(&ep->tickets[keyHash & (KELVO_ENDPOINT_TICKETS - 1)], 1u, __ATOMIC_SEQ_CST);
}

uint32_t kelvoEndpointTicket(const kelvoEndpoint *ep, uint64_t keyHash)
{
    return __atomic_load_n(&ep->tickets[keyHash & (KELVO_ENDPOINT_TICKETS - 1)], __ATOMIC_SEQ_CST);
}
