/*
 * Request start and end with the duties of every layer, the request counters and statistics,
 * a forked child's request, exit and termination.
 */
#include "module/request.h"

#include "cache/attach.h"
#include "cache/cms.h"
#include "cache/delivery.h"
#include "cache/evict.h"
#include "cache/invalidation.h"
#include "cache/keylease.h"
#include "client/listeners.h"
#include "runtime/kelvo.h"
#include "runtime/lifecycle.h"
#include "runtime/log.h"
#include "shm/epoch.h"
#include "shm/lock.h"
#include "shm/shared.h"

extern "C" {
#include "zend_signal.h"
}

#include <pthread.h>
#include <unistd.h>

#include <ctime>

namespace {

volatile sig_atomic_t terminated;
volatile sig_atomic_t terminationCleaned;
uint64_t lastPeriodic;

/* The process that counted the current request; a forked child counts its own copy. */
pid_t requestPid;

uint64_t nowMicros(void)
{
    struct timespec ts;
    clock_gettime(CLOCK_REALTIME, &ts);
    return uint64_t(ts.tv_sec) * 1000000u + uint64_t(ts.tv_nsec) / 1000u;
}

kelvoRequestCounters *counters(void) { return kelvoSharedData ? &kelvoSharedData->requests : nullptr; }

void raisePeak(kelvoRequestCounters *c, uint32_t active)
{
    uint32_t peak = __atomic_load_n(&c->peak, __ATOMIC_RELAXED);
    while (peak < active &&
           !__atomic_compare_exchange_n(&c->peak, &peak, active, false, __ATOMIC_ACQ_REL, __ATOMIC_RELAXED)) {
    }
}

void countRequestStart(void)
{
    if (kelvoRequestCounters *c = counters()) {
        __atomic_add_fetch(&c->total, 1, __ATOMIC_RELAXED);
        raisePeak(c, __atomic_add_fetch(&c->active, 1, __ATOMIC_ACQ_REL));
    }
}

void countRequestEnd(void)
{
    if (kelvoRequestCounters *c = counters()) {
        uint32_t active = __atomic_load_n(&c->active, __ATOMIC_RELAXED);
        while (active > 0 && !__atomic_compare_exchange_n(&c->active, &active, active - 1, false, __ATOMIC_ACQ_REL,
                                                          __ATOMIC_RELAXED)) {
        }
    }
}

/* A child forked during a request carries on a copy of it: one more active request. */
void forkChild(void)
{
    if (kelvoRequestActive) {
        countRequestStart();
        requestPid = getpid();
    }
}

void atexitHandler(void)
{
    if (terminated && !kelvoGlobalsShutdown)
        kelvoReleaseTerminatedResources();
}

struct sigaction *savedAction(int sig) { return sig == SIGTERM ? &KELVO_G(sigterm_action) : &KELVO_G(sigquit_action); }

bool ignores(const struct sigaction *action)
{
    return !(action->sa_flags & SA_SIGINFO) && action->sa_handler == SIG_IGN;
}

bool isDefault(const struct sigaction *action)
{
    return !(action->sa_flags & SA_SIGINFO) && action->sa_handler == SIG_DFL;
}

void sigtermHandler(int sig, siginfo_t *info, void *context)
{
    struct sigaction *saved = savedAction(sig);
    if (ignores(saved))
        return;
    terminated = 1;
    if (!isDefault(saved)) {
        if (saved->sa_flags & SA_SIGINFO)
            saved->sa_sigaction(sig, info, context);
        else
            saved->sa_handler(sig);
        return;
    }
    if (!kelvoGlobalsShutdown)
        kelvoReleaseTerminatedResources();
    /* Installed with SA_RESETHAND: the default action ends the process now. */
    kill(getpid(), sig);
}

void installTermHandler(int sig)
{
    struct sigaction *saved = savedAction(sig);
    zend_sigaction(sig, nullptr, saved);
    if (ignores(saved))
        return;
    struct sigaction action {};
    action.sa_sigaction = sigtermHandler;
    action.sa_flags = SA_SIGINFO | SA_RESETHAND;
    sigemptyset(&action.sa_mask);
    sigaddset(&action.sa_mask, SIGIO);
    sigaddset(&action.sa_mask, SIGTERM);
    sigaddset(&action.sa_mask, SIGQUIT);
    zend_sigaction(sig, &action, nullptr);
}

void foldStats(void)
{
    if (!kelvoSharedData)
        return;
    static constexpr int folded[] = {0, 1, 2, 4, 5, 6, 7, 8, 10, 11};
    for (int i : folded) {
        if (KELVO_G(stats)[i]) {
            __atomic_add_fetch(&kelvoSharedData->stats[i], KELVO_G(stats)[i], __ATOMIC_RELAXED);
            KELVO_G(stats)[i] = 0;
        }
    }
}

void setActive(bool active)
{
    sigset_t old;
    bool blocked = kelvoBlockTermSignals(&old) == 0;
    if (active && !kelvoRequestActive) {
        kelvoRequestActive = 1;
        requestPid = kelvoGetPid();
        countRequestStart();
    } else if (!active && kelvoRequestActive) {
        countRequestEnd();
        kelvoRequestActive = 0;
    }
    if (blocked)
        kelvoRestoreTermSignals(&old);
}

} // namespace

void kelvoLifecycleStartup(void)
{
    static bool installed;
    if (!installed)
        installed = atexit(atexitHandler) == 0;
    kelvoForkChildHook = forkChild;
    kelvoGetPid();
    kelvoInvalidationStartup();
}

void kelvoReleaseTerminatedResources(void)
{
    if (terminationCleaned)
        return;
    terminationCleaned = 1;
    if (kelvoRequestActive && requestPid == kelvoGetPid()) {
        countRequestEnd();
        kelvoRequestActive = 0;
    }
    if (!kelvoSharedData)
        return;
    if (kelvoReader.rec && kelvoReader.pid == uint32_t(kelvoGetPid())) {
        if (kelvoReader.active)
            kelvoGlobalEpochEnd();
        kelvoGlobalEpochRelease();
    }
    kelvoQueueDetach();
    kelvoReleaseProcessAttachments();
}

int kelvoRequestStartup(void)
{
    uint64_t start = nowMicros();
    installTermHandler(SIGTERM);
    installTermHandler(SIGQUIT);
    setActive(true);
    if (kelvoSharedData) {
        kelvoLogDebug("%s:%d RINIT - Requests (%d total, %d active, %d max)", KELVO_LOG_SITE,
                      int(kelvoSharedData->requests.total), int(kelvoSharedData->requests.active),
                      int(kelvoSharedData->requests.peak));
    }
    memset(KELVO_G(stats), 0, sizeof KELVO_G(stats));
    kelvoLinksDisarm();
    KELVO_G(stats)[10] += nowMicros() - start;
    return SUCCESS;
}

int kelvoRequestShutdown(void)
{
    kelvoListenersRequestEnd();
    kelvoSharedRequestEnd();
    return SUCCESS;
}

int kelvoRequestPostDeactivate(void)
{
    uint64_t start = nowMicros();
    if (kelvoSharedData && kelvoQueueHeld())
        kelvoQueueDetach();
    if (kelvoCacheUsable()) {
        kelvoCmsFoldReads();
        uint64_t interval = 50000 + uint64_t(kelvoGetPid() % 1024);
        if (start - lastPeriodic >= interval) {
            lastPeriodic = start;
            kelvoRunPeriodicTasks(start);
            kelvoLeaseCheckArmedHolders(start);
            kelvoQueueReapDeadEvery(start);
        }
    }
    setActive(false);
    kelvoLinksArm();
    KELVO_G(stats)[11] += nowMicros() - start;
    foldStats();
    return SUCCESS;
}
