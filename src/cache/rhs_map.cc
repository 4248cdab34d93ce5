/* Shared ck_rhs sets: their arena allocator, map size and preallocated reset, room before inserts. */
#include "cache/rhs_map.h"
#include "runtime/fatal.h"
#include "shm/epoch.h"
#include "shm/lock.h"
#include "shm/shmalloc.h"

#include <cstdlib>

namespace {

constexpr size_t ENTRY = sizeof(kelvoEpochEntry);
static_assert(ENTRY == 16, "a map's epoch entry is the 16 bytes in front of it");

/* A block the next map allocation returns instead of taking one from the heap. */
void *pendingMap;
size_t pendingBytes;

/* Set by a map allocation the heap refused: how a failed growth is told from one not needed. */
bool mapAllocFailed;

/* Replaced maps held back from retirement; a flush holds one. */
constexpr int MAX_HELD = 4;
void *heldMaps[MAX_HELD];
int heldCount;
int holders;

kelvoEpochEntry *entryOf(void *map) { return reinterpret_cast<kelvoEpochEntry *>(static_cast<char *>(map) - ENTRY); }

void destroyMap(kelvoEpochEntry *entry)
{
    kelvoShLog(KELVO_LL_DEBUG, "EPOCH[destroy]: %lx", reinterpret_cast<unsigned long>(entry));
    kelvoShFree(entry);
}

void retireMap(void *map) { kelvoGlobalEpochRetire(entryOf(map), destroyMap); }

void *cacheRhsMalloc(size_t size)
{
    if (pendingMap) {
        kelvoAssert(size <= pendingBytes);
        void *map = pendingMap;
        pendingMap = nullptr;
        return map;
    }
    void *map = kelvoRhsMapAlloc(size);
    mapAllocFailed = mapAllocFailed || map == nullptr;
    return map;
}

void cacheRhsFree(void *map, size_t size, bool defer)
{
    if (!map)
        return;
    if (!defer) {
        kelvoRhsMapFree(map);
    } else if (holders > 0) {
        kelvoAssert(heldCount < MAX_HELD);
        heldMaps[heldCount++] = map;
    } else {
        retireMap(map);
    }
}

/* The map size measured on a throw-away set whose allocator only records what it is asked for. */
size_t measured;

void *recordingMalloc(size_t size)
{
    measured = size;
    return malloc(size);
}

void recordingFree(void *pointer, size_t, bool) { free(pointer); }

kelvoCkAllocator recordingAllocator = {recordingMalloc, nullptr, recordingFree};

unsigned long noHash(const void *, unsigned long seed) { return seed; }
bool noCompare(const void *a, const void *b) { return a == b; }

} // namespace

kelvoCkAllocator kelvoCacheAllocators = {cacheRhsMalloc, nullptr, cacheRhsFree};

void *kelvoRhsMapAlloc(size_t bytes)
{
    auto *block = static_cast<char *>(kelvoShMalloc(bytes + ENTRY));
    if (!block)
        return nullptr;
    kelvoShLog(KELVO_LL_DEBUG, "EPOCH[malloc]: %lx (%zu bytes)", reinterpret_cast<unsigned long>(block), bytes + ENTRY);
    return block + ENTRY;
}

void kelvoRhsMapFree(void *map)
{
    if (map)
        kelvoShFree(entryOf(map));
}

size_t ck_rhs_map_size(const kelvoCkRhs *set, unsigned long capacity)
{
    kelvoCkRhs probe;
    measured = 0;
    if (!kelvoCkRhsInit(&probe, kelvoCkRhsMode(set), noHash, noCompare, &recordingAllocator, capacity, 0))
        return 0;
    kelvoCkRhsDestroy(&probe);
    return measured;
}

void ck_rhs_reset_preallocated(kelvoCkRhs *set, unsigned long capacity, void *map)
{
    kelvoAssert(map != NULL && pendingMap == NULL);
    pendingMap = map;
    pendingBytes = ck_rhs_map_size(set, capacity);
    bool reset = kelvoCkRhsResetSize(set, capacity);
    kelvoAssert(reset && pendingMap == NULL);
}

bool kelvoRhsMakeRoom(kelvoCkRhs *set, unsigned long extra)
{
    unsigned long wanted = kelvoCkRhsCount(set) + extra;
    unsigned long loadFactor = kelvoCkRhsLoadFactor(set);
    unsigned long capacity = 8;
    while (capacity * loadFactor / 100 < wanted) {
        if (capacity > (~0UL >> 8))
            return false;
        capacity <<= 1;
    }
    /*
     * The library rebuilds the map unless it is already larger than what it is asked for, and
     * then says false: only a refused allocation makes that false a failure.
     */
    mapAllocFailed = false;
    return kelvoCkRhsGrow(set, capacity - 1) || !mapAllocFailed;
}

bool kelvoRhsPutGrown(kelvoCkRhs *set, unsigned long hash, const void *object)
{
    return kelvoRhsMakeRoom(set, 1) && kelvoCkRhsPut(set, hash, object);
}

bool kelvoRhsSetGrown(kelvoCkRhs *set, unsigned long hash, const void *object, void **previous)
{
    *previous = nullptr;
    if (!kelvoCkRhsGet(set, hash, object) && !kelvoRhsMakeRoom(set, 1))
        return false;
    return kelvoCkRhsSet(set, hash, object, previous);
}

kelvoRhsHoldReplacedMaps::kelvoRhsHoldReplacedMaps() { holders++; }

kelvoRhsHoldReplacedMaps::~kelvoRhsHoldReplacedMaps()
{
    if (--holders > 0)
        return;
    while (heldCount > 0)
        retireMap(heldMaps[--heldCount]);
}
