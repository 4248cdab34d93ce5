/* The shared root: layout accessors and its construction at start-up. */
#include "shm/shared.h"
#include "runtime/cfgvals.h"
#include "runtime/fatal.h"
#include "shm/shmalloc.h"

#include <cerrno>
#include <cstring>
#include <sys/random.h>

kelvoSharedRoot *kelvoSharedData = nullptr;

static kelvoSharedRoot *root(void)
{
    kelvoAssert(kelvoSharedData != NULL);
    return kelvoSharedData;
}

kelvoSharedInvalidations *kelvoInvalidations(void) { return &root()->invalidations; }
kelvoSharedCache *kelvoCache(void) { return &root()->cache; }
kelvoLeaseTable *kelvoLeases(void) { return &root()->leases; }
uint64_t *kelvoSharedStatPtr(void) { return root()->stats; }
kelvoReserveMapList *kelvoReserveMaps(void) { return &root()->reserve; }

/* The global epoch, its deferred-free record, and a pool of free reader records. */
static int initEpoch(kelvoSharedCache *cache)
{
    kelvoCkEpochInit(&cache->epoch);
    kelvoCkEpochRegister(&cache->epoch, &cache->deferred, 0);
    uint64_t count = kelvoCfgVals.initial_readers;
    if (count > KELVO_SH_MAX_BLOCK / sizeof(kelvoEpochRecord))
        return -1;
    auto *pool = static_cast<kelvoEpochRecord *>(kelvoShMallocAligned64(count * sizeof(kelvoEpochRecord)));
    if (!pool)
        return -1;
    memset(static_cast<void *>(pool), 0, count * sizeof(kelvoEpochRecord));
    for (uint64_t i = 0; i < count; i++) {
        kelvoCkEpochRegister(&cache->epoch, &pool[i], 0);
        kelvoCkEpochUnregister(&pool[i]);
    }
    cache->readers = pool;
    return 0;
}

int kelvoKernelRandom(void *out, size_t length)
{
    auto *at = static_cast<unsigned char *>(out);
    while (length > 0) {
        ssize_t got = getrandom(at, length, 0);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            return -1;
        at += got;
        length -= size_t(got);
    }
    return 0;
}

int kelvoInitSharedCache(void)
{
    kelvoAssert(kelvoCfgVals.initialized);
    auto *root = static_cast<kelvoSharedRoot *>(kelvoShMallocAligned64(sizeof(kelvoSharedRoot)));
    if (!root) {
        kelvoShLog(KELVO_LL_ERROR, "Cannot allocate initial memory segment (%zu bytes)", sizeof(kelvoSharedRoot));
        return -1;
    }
    memset(static_cast<void *>(root), 0, sizeof *root);
    if (!kelvoCfgVals.enabled) {
        kelvoSharedData = root;
        return 0;
    }
    kelvoSharedCache *cache = &root->cache;
    if (kelvoKernelRandom(&cache->seed, sizeof cache->seed) != 0) {
        kelvoShLog(KELVO_LL_ERROR, "Cannot draw the hash seed: %s", strerror(errno));
        kelvoShFreeAligned64(root);
        return -1;
    }
    if (initEpoch(cache) != 0) {
        kelvoShLog(KELVO_LL_ERROR, "Cannot allocate %zu epoch records",
                   static_cast<size_t>(kelvoCfgVals.initial_readers));
        kelvoShFreeAligned64(root);
        return -1;
    }
    cache->databases = kelvoCfgVals.databases;
    cache->max_endpoint_dbs = kelvoCfgVals.max_endpoint_dbs;
    kelvoSharedData = root;
    return 0;
}

void kelvoFreeSharedCache(void)
{
    if (!kelvoSharedData)
        return;
    kelvoShFreeAligned64(kelvoSharedData->cache.readers);
    kelvoShFreeAligned64(kelvoSharedData);
    kelvoSharedData = nullptr;
}
