/* The request flag, the shutdown flag, and the cached process id with its fork handler. */
#include "runtime/lifecycle.h"

#include "runtime/kelvo.h"
#include "runtime/log.h"

#include <pthread.h>
#include <unistd.h>

volatile sig_atomic_t kelvoRequestActive;
volatile sig_atomic_t kelvoShutdown;
void (*kelvoForkChildHook)(void);

namespace {

bool forkHandlerInstalled;

void forkChild(void)
{
    KELVO_G(pid) = 0;
    if (kelvoForkChildHook)
        kelvoForkChildHook();
}

} // namespace

pid_t kelvoGetPid(void)
{
    if (KELVO_G(pid))
        return KELVO_G(pid);
    if (!forkHandlerInstalled) {
        if (pthread_atfork(nullptr, nullptr, forkChild) != 0) {
            kelvoLogWarning("%s:%d PID - Unable to install fork handler", KELVO_LOG_SITE);
            return getpid();
        }
        forkHandlerInstalled = true;
    }
    KELVO_G(pid) = getpid();
    return KELVO_G(pid);
}
