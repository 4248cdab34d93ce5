/* Logging and crash reports. */
#include "log.h"
#include "cfgvals.h"

#include <execinfo.h>

void kelvoLogBacktrace(void)
{
    if (kelvoCfgVals.log_fd < 0)
        return;
    void *frames[64];
    int count = backtrace(frames, 64);
    backtrace_symbols_fd(frames, count, kelvoCfgVals.log_fd);
}

void kelvoLogSetup(const char *, const char *) {}
void kelvoLogTeardown(void) {}
void kelvoCrashHandlersInstall(void) {}
void kelvoCrashHandlersRestore(void) {}
