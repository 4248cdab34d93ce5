/*
 * The engine's side of logging: the start-up warning when the log cannot be
 * opened, and the hooks that give the signal-safe writers this process's
 * cached id and the crash report its figures.
 */
#include "runtime/kelvo.h"
#include "runtime/log.h"

#include <ctime>
#include <unistd.h>

static int cachedPid(void)
{
    pid_t pid = KELVO_G(pid);
    return static_cast<int>(pid ? pid : getpid());
}

/* Signal-safe: reads this process's globals only. The shared counters and arena figures are added by their owners. */
static void engineRuntimeStats(kelvoRuntimeStats *out)
{
    out->uptime = static_cast<int64_t>(time(nullptr) - KELVO_G(start_time));
}

void kelvoLogSetup(const char *level, const char *file)
{
    kelvoLogHook.pid = cachedPid;
    kelvoLogHook.runtimeStats = engineRuntimeStats;
    if (!kelvoLogConfigure(level, file))
        php_error_docref(nullptr, E_WARNING, "Can't open log file '%s'", file ? file : "");
}
