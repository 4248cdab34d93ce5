/* Fatal reporters, the backtrace writer and the error-code names. */
#include "runtime/fatal.h"
#include "runtime/cfgvals.h"
#include "runtime/errors.h"

#include <cstdarg>
#include <cstdint>
#include <cstdio>
#include <execinfo.h>
#include <unistd.h>

static const char *const errorCodeNames[] = {
    "KELVO_ERR_NONE",      "KELVO_ERR_IO",        "KELVO_ERR_OTHER",          "KELVO_ERR_EOF",
    "KELVO_ERR_PROTOCOL",  "KELVO_ERR_OOM",       "KELVO_ERR_TIMEOUT",        "KELVO_ERR_NOAUTH",
    "KELVO_ERR_WRONGPASS", "KELVO_ERR_COMPAT",    "KELVO_ERR_COMPAT_CLUSTER", "KELVO_ERR_CONFIG",
    "KELVO_ERR_CRITICAL",  "KELVO_ERR_RESOURCES", "KELVO_ERR_REDIS",          "KELVO_ERR_TLS",
    "KELVO_ERR_WRONGTYPE",
};
static_assert(sizeof(errorCodeNames) / sizeof(*errorCodeNames) == KELVO_ERR_MAX + 1);

const char *kelvoErrorCodeToString(int code)
{
    if (code < 0 || code > KELVO_ERR_MAX)
        kelvoUnreachable();
    return errorCodeNames[code];
}

/* One write of a whole buffer to the log; false when it could not all be written. */
static bool writeToLog(const char *data, size_t length)
{
    ssize_t written = write(kelvoCfgVals.log_fd, data, length);
    return written >= 0 && static_cast<size_t>(written) == length;
}

void kelvoLogBacktrace(void)
{
    if (kelvoCfgVals.log_fd < 0)
        return;
    static const char begin[] = "\n>>> KELVO BEGIN BACKTRACE\n";
    static const char end[] = "<<< KELVO END BACKTRACE\n";
    if (!writeToLog(begin, sizeof begin - 1))
        return;
    void *frames[128];
    int count = backtrace(frames, 128);
    backtrace_symbols_fd(frames, count, kelvoCfgVals.log_fd);
    writeToLog(end, sizeof end - 1);
}

[[noreturn]] static void endProcess(void)
{
    fflush(stderr);
    kelvoLogBacktrace();
    kelvoSegfault();
}

void kelvoSegfault(void)
{
    for (;;)
        *reinterpret_cast<volatile char *>(static_cast<uintptr_t>(-1)) = 0;
}

void kelvoAssertionFailedImpl(const char *condition, const char *file, int line, const char *function)
{
    fprintf(stderr, "%s(): Assertion '%s' failed at %s:%d\n", function, condition, file, line);
    endProcess();
}

void kelvoUnreachableImpl(const char *file, int line, const char *function)
{
    fprintf(stderr, "%s(): Hit 'unreachable' code %s:%d\n", function, file, line);
    endProcess();
}

void kelvoUnimplementedImpl(const char *file, int line, const char *function)
{
    fprintf(stderr, "%s(): Hit 'unimplemented' code %s:%d\n", function, file, line);
    endProcess();
}

void kelvoPanicImpl(const char *file, int line, const char *function, const char *format, ...)
{
    fprintf(stderr, "FATAL: %s:%d:%s(): ", kelvoFileBaseName(file), line, function);
    va_list args;
    va_start(args, format);
    vfprintf(stderr, format, args);
    va_end(args);
    fputc('\n', stderr);
    endProcess();
}
