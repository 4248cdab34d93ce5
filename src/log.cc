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
