/* Per-process epoch records over the root's global epoch. */
#include "shm/epoch.h"
#include "runtime/cfgvals.h"
#include "runtime/fatal.h"
#include "shm/lock.h"
#include "shm/shared.h"
#include "shm/shmalloc.h"

#include <csignal>
#include <cstring>

kelvoEpochReader kelvoReader;

static kelvoEpochRecord *takeRecord(kelvoSharedCache *cache, uint32_t pid)
{
    if (kelvoEpochRecord *rec = kelvoCkEpochRecycle(&cache->epoch, pid))
        return rec;
    auto *rec = static_cast<kelvoEpochRecord *>(kelvoShMallocAligned64(sizeof(kelvoEpochRecord)));
    if (!rec)
        return nullptr;
    memset(static_cast<void *>(rec), 0, sizeof *rec);
    kelvoCkEpochRegister(&cache->epoch, rec, pid);
    return rec;
}

int kelvoGlobalEpochInit(void)
{
    uint32_t pid = kelvoLockPid();
    if (!kelvoCacheUsable())
        return -1;
    if (kelvoReader.rec && kelvoReader.pid == pid)
        return 0;
    sigset_t old;
    bool blocked = kelvoBlockTermSignals(&old) == 0;
    kelvoEpochRecord *rec = takeRecord(kelvoCache(), pid);
    if (rec) {
        kelvoReader = {rec, {0}, 0, pid};
    } else {
        kelvoShLog(KELVO_LL_WARNING, "EPOCH[register]: ERR None available and OOM");
    }
    if (blocked)
        kelvoRestoreTermSignals(&old);
    return rec ? 0 : -1;
}

static void assertReader(uint32_t active)
{
    kelvoAssert(kelvoReader.rec != NULL && kelvoReader.pid == kelvoLockPid() && kelvoReader.active == active);
}

void kelvoGlobalEpochBegin(void)
{
    assertReader(0);
    kelvoDeferSignals();
    kelvoCkEpochBegin(kelvoReader.rec, &kelvoReader.section);
    kelvoReader.active = 1;
}

void kelvoGlobalEpochEnd(void)
{
    assertReader(1);
    kelvoCkEpochEnd(kelvoReader.rec, &kelvoReader.section);
    kelvoReader.active = 0;
    kelvoUndeferSignals();
}

void kelvoGlobalEpochRelease(void)
{
    if (!kelvoReader.rec || kelvoReader.pid != kelvoLockPid()) {
        kelvoReader = {};
        return;
    }
    if (kelvoReader.active)
        kelvoUndeferSignals();
    kelvoCkEpochUnregister(kelvoReader.rec);
    kelvoReader = {};
}

void kelvoGlobalEpochRetire(kelvoEpochEntry *entry, kelvoEpochCallback *free)
{
    kelvoCkEpochRetire(&kelvoCache()->deferred, entry, free);
}

bool kelvoGlobalEpochPoll(void)
{
    kelvoSharedCache *cache = kelvoCache();
    if (unsigned released = kelvoCkEpochReleaseDead(&cache->epoch, kelvoProcessAlive))
        kelvoShLog(KELVO_LL_WARNING, "EPOCH[poll]: released %u records of dead processes", released);
    /*
     * Seeing no reader active, the library frees every pending list at once; but other
     * processes keep retiring into the shared record while it polls, and a reader may begin
     * between its scan and its frees. A section of the poller's own keeps it on the path that
     * frees only what was retired two epochs ago.
     */
    if (kelvoGlobalEpochInit() != 0)
        return false;
    bool opened = !kelvoReader.active;
    if (opened)
        kelvoGlobalEpochBegin();
    bool progress;
    {
        /* The callbacks free block after block: one allocator lock for many of them. */
        kelvoShFreeBatch batch;
        progress = kelvoCkEpochPoll(&cache->deferred);
    }
    if (opened)
        kelvoGlobalEpochEnd();
    return progress;
}

unsigned kelvoGlobalEpochPending(void) { return kelvoCkEpochPending(&kelvoCache()->deferred); }
unsigned kelvoGlobalEpochFreeReaders(void) { return kelvoCkEpochFreeRecords(&kelvoCache()->epoch); }

int kelvoSharedRequestEnd(void)
{
    int left = 0;
    if (kelvoReader.active) {
        kelvoShLog(KELVO_LL_ERROR, "Request ended inside an epoch read section");
        kelvoGlobalEpochEnd();
        left++;
    }
    if (int locks = kelvoLocksReleaseAll()) {
        kelvoShLog(KELVO_LL_ERROR, "Request ended holding %d shared lock(s); shared cache disabled", locks);
        left += locks;
    }
    return left;
}
