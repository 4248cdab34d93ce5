/*
 * The engine's side of the shared arena: the engine's signal-deferral depth
 * behind the lock hooks, the lock kinds from kelvo.locks.*, the arena and
 * root at start-up with their warning, and the arena figures of the crash
 * report.
 */
#include "module/arena.h"
#include "cache/keys.h"
#include "runtime/kelvo.h"
#include "cache/cache.h"
#include "shm/epoch.h"
#include "shm/lock.h"
#include "runtime/log.h"
#include "shm/shared.h"
#include "shm/shmalloc.h"
#include "table/table.h"

extern "C" {
#include "zend_signal.h"
}

#include <cstring>

static_assert(kelvoStatCount == KELVO_SHARED_STATS, "per-process counters fold into the shared ones index by index");

static void engineDefer(void) { ZEND_SIGNAL_BLOCK_INTERRUPTIONS(); }

/* Runs the engine's deferred signals once its depth is back at its blocked level. */
static void engineUndefer(void) { ZEND_SIGNAL_UNBLOCK_INTERRUPTIONS(); }

uint32_t kelvoCfgLockType(const char *name)
{
    return kelvoLockTypeFromText(zend_ini_string(const_cast<char *>(name), strlen(name), 0));
}

static void (*engineRuntimeStats)(kelvoRuntimeStats *out);

/* Signal-safe: atomic reads of the arena header and the epoch only. */
static void sharedRuntimeStats(kelvoRuntimeStats *out)
{
    if (engineRuntimeStats)
        engineRuntimeStats(out);
    if (!kelvoShArenaActive())
        return;
    out->memTotal = kelvoShSize();
    out->memLimit = kelvoShCappedSize();
    out->memActive = kelvoShActive();
    out->memUsed = kelvoShUsed();
    if (kelvoSharedData && kelvoCfgVals.enabled)
        out->freeReaders = kelvoGlobalEpochFreeReaders();
}

/* The endpoint set, key leases, reserve maps and table namespaces; a short reserve only warns. */
static int initCacheParts(void)
{
    uint32_t made = 0;
    if (kelvoCacheInitRoot(&made) != 0 || kelvoTableInitRoot() != 0)
        return -1;
    if (made < kelvoCfgVals.reserve_maps)
        php_error_docref(nullptr, E_WARNING, "Failed to allocate reserve maps (allocated %lu/%u)",
                         static_cast<unsigned long>(made), kelvoCfgVals.reserve_maps);
    return 0;
}

int kelvoSharedStartup(void)
{
    kelvoSignals.enter = engineDefer;
    kelvoSignals.leave = engineUndefer;
    if (kelvoShInit() != 0) {
        php_error_docref(nullptr, E_WARNING, "Cannot initialize kelvo shared memory");
        return -1;
    }
    if (kelvoInitSharedCache() != 0 || (kelvoCfgVals.enabled && initCacheParts() != 0)) {
        kelvoSharedData = nullptr;
        kelvoShDestroy();
        return -1;
    }
    /* Before any worker forks: every process of the tree hashes members alike. */
    kelvoMapSetSeed(kelvoSharedData->cache.seed);
    if (kelvoLogHook.runtimeStats != sharedRuntimeStats) {
        engineRuntimeStats = kelvoLogHook.runtimeStats;
        kelvoLogHook.runtimeStats = sharedRuntimeStats;
    }
    return 0;
}

void kelvoSharedShutdown(void)
{
    kelvoReader = {};
    kelvoSharedData = nullptr;
    kelvoShDestroy();
}
