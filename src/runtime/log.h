/*
 * Logging: the normal logger and the async-signal-safe writer, both appending
 * to the file named by kelvo.loglevel/kelvo.logfile (configured once at
 * module start-up, off by default), and the crash report.
 *
 * Owns the log fields of kelvoCfgVals (log_level, log_fp, log_fd), the saved
 * crash-signal dispositions and the hook record below. Takes no lock: the
 * signal-safe writers use no heap, no stdio and no lock, so the SIGIO and
 * crash handlers may call them at any moment. Each normal line is one
 * formatted write and a flush; each signal-safe line one write(2) of at most
 * 1024 bytes, so processes appending to one file do not interleave lines.
 *
 * Engine-free except log_php.cc: kelvoLogSetup (kelvoLogConfigure plus the
 * engine warning) and the engine's hooks below.
 */
#ifndef KELVO_LOG_H
#define KELVO_LOG_H

#include "runtime/cfgvals.h"
#include "runtime/fatal.h" /* kelvoFileBaseName, kelvoLogBacktrace */

#include <cstdarg>
#include <cstddef>
#include <cstdint>

/* Figures of the crash report's statistics line. */
struct kelvoRuntimeStats {
    int64_t uptime;   /* seconds since this process's globals were made */
    int64_t requests; /* shared request counters */
    int64_t activeRequests;
    int64_t maxRequests;
    int64_t freeReaders;    /* free records of the global epoch */
    uint64_t cacheRequests; /* shared statistics */
    uint64_t cacheMisses;
    uint64_t cacheHits;
    uint64_t cacheErrors;
    uint64_t cacheOom;
    uint64_t memTotal;  /* arena size */
    uint64_t memLimit;  /* capped arena size */
    uint64_t memActive; /* carved part of the arena */
    uint64_t memUsed;   /* bytes in use */
};

/*
 * What the logger needs from the rest of the module; kelvoLogSetup fills it
 * with the engine's versions. Both run inside signal handlers, so they must
 * be async-signal-safe and take no lock. A null slot means getpid(), and
 * zero figures.
 */
struct kelvoLogHooks {
    int (*pid)(void);                             /* the cached process id */
    void (*runtimeStats)(kelvoRuntimeStats *out); /* fold this process's counters, read the totals */
};
extern kelvoLogHooks kelvoLogHook;

/* The tag of a level ("DBG", "NOT", "WRN", "ERR"); "" for KELVO_LL_NONE and beyond. */
const char *kelvoLogLevelTag(uint32_t level);

/*
 * Sets the log fields of kelvoCfgVals from the two start-up settings: a level
 * beginning (any case) with "debug", "notice", "warning" or "error", else off;
 * a file "stdout"/"stderr" (first six characters, any case) or a path opened
 * for appending. Returns false when the path could not be opened (logging is
 * then off); the caller reports "Can't open log file '%s'".
 */
bool kelvoLogConfigure(const char *level, const char *file);
/* kelvoLogConfigure plus the engine warning; module start-up calls it once per process tree. */
void kelvoLogSetup(const char *level, const char *file);
/* Closes the log at module shutdown (flushes, never closes standard output or error) and turns logging off. */
void kelvoLogTeardown(void);

/* True when a line of this level is written; call sites test it before formatting anything. */
inline bool kelvoLogLevelEnabled(uint32_t level) { return kelvoCfgVals.log_level <= level; }

/*
 * The normal logger: "[%ld.%06ld %s %ld] %s" (seconds, microseconds, tag,
 * process id, message) and a newline, flushed at once. The message is cut
 * after 4094 characters, the line after 4560. Needs an open log (fatal
 * otherwise): go through the macros below, which test the level.
 */
void kelvoLogEx(uint32_t level, const char *format, ...) __attribute__((format(printf, 2, 3)));
void kelvoLogExV(uint32_t level, const char *format, va_list args) __attribute__((format(printf, 2, 0)));
void kelvoLogDebugEx(const char *format, ...) __attribute__((format(printf, 1, 2)));
void kelvoLogNoticeEx(const char *format, ...) __attribute__((format(printf, 1, 2)));

/* Arguments for a format beginning "%s:%d " (kelvoFileBaseName is in fatal.h). */
#define KELVO_LOG_SITE kelvoFileBaseName(__FILE__), __LINE__

#define kelvoLog(level, ...)                  \
    do {                                      \
        if (kelvoLogLevelEnabled(level))      \
            kelvoLogEx((level), __VA_ARGS__); \
    } while (0)
#define kelvoLogDebug(...)                        \
    do {                                          \
        if (kelvoLogLevelEnabled(KELVO_LL_DEBUG)) \
            kelvoLogDebugEx(__VA_ARGS__);         \
    } while (0)
#define kelvoLogNotice(...)                        \
    do {                                           \
        if (kelvoLogLevelEnabled(KELVO_LL_NOTICE)) \
            kelvoLogNoticeEx(__VA_ARGS__);         \
    } while (0)
#define kelvoLogWarning(...) kelvoLog(KELVO_LL_WARNING, __VA_ARGS__)
#define kelvoLogError(...)   kelvoLog(KELVO_LL_ERROR, __VA_ARGS__)

/*
 * The async-signal-safe formatter. Knows %% %c %d %u %x %ld %zd %lu %zu %lx
 * %p %s %f without flags, width or precision; any other conversion is copied
 * as written and its argument skipped. A null %s prints "(null)". Writes at
 * most dstlen - 1 characters and a terminating zero; returns the characters
 * written.
 */
size_t kelvoSafe_vsnprintf(char *dst, size_t dstlen, const char *fmt, va_list args)
    __attribute__((format(printf, 3, 0)));
size_t kelvoSafe_snprintf(char *dst, size_t dstlen, const char *format, ...) __attribute__((format(printf, 3, 4)));

/*
 * Signal-safe line: "[%lu:%lu %s %d] %s:%d " (seconds, microseconds, tag,
 * process id, file base name, line), the message and a newline in one write
 * of at most 1024 bytes. False (nothing written) without a log; true when the
 * whole line was written.
 */
bool kelvoSignalLogEx(uint32_t level, const char *file, int line, const char *format, ...)
    __attribute__((format(printf, 4, 5)));
/* Signal-safe message and newline without prefix, one write of at most 1024 bytes; nothing without a log. */
void kelvoSignalLogRaw(const char *format, ...) __attribute__((format(printf, 1, 2)));

#define kelvoSignalLog(level, ...)                                      \
    do {                                                                \
        if (kelvoLogLevelEnabled(level))                                \
            kelvoSignalLogEx((level), __FILE__, __LINE__, __VA_ARGS__); \
    } while (0)

/* Writes the general registers of a signal context (a ucontext_t) to the log. Signal-safe. */
void kelvoLogRegisters(const void *context);

/*
 * Installs the crash report (registers, kelvoLogBacktrace, statistics) on
 * SIGSEGV, SIGBUS, SIGFPE and SIGILL (SA_SIGINFO, SA_NODEFER, SA_RESETHAND),
 * keeping the handlers it replaces. After the report a real fault repeats and
 * ends the process by the default action; a signal sent by kill() is raised
 * again with the default action.
 */
void kelvoCrashHandlersInstall(void);
/* Puts back the handlers kelvoCrashHandlersInstall replaced, where ours is still installed. */
void kelvoCrashHandlersRestore(void);

#endif
