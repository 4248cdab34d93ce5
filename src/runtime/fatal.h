/*
 * Fatal reporters for broken internal invariants. Each writes one line to
 * standard error, the backtrace to the log (when one is open) and ends the
 * process with a segmentation fault, so the crash handler writes its report.
 * They take no lock: they may run while shared locks are held.
 *
 * Owns the backtrace writer that the crash report (log.h) shares, so the
 * reporters sit below the logger: they read only the log descriptor of
 * kelvoCfgVals. Engine-free.
 *
 * kelvoAssert is always in force; kelvoDebugAssert, for preconditions checked
 * on every call of a hot path (the lock a caller must hold), only in debug
 * builds (NDEBUG not defined). The condition text is what gets printed.
 */
#ifndef KELVO_FATAL_H
#define KELVO_FATAL_H

[[noreturn]] void kelvoAssertionFailedImpl(const char *condition, const char *file, int line, const char *function);
[[noreturn]] void kelvoUnreachableImpl(const char *file, int line, const char *function);
[[noreturn]] void kelvoUnimplementedImpl(const char *file, int line, const char *function);
[[noreturn]] void kelvoPanicImpl(const char *file, int line, const char *function, const char *format, ...)
    __attribute__((format(printf, 4, 5)));
/* Stores to address -1 until the (one-shot) SIGSEGV handler has run and the default action ends us. */
[[noreturn]] void kelvoSegfault(void);

/* Writes the current backtrace to the log descriptor; nothing without a log. Signal-safe. */
void kelvoLogBacktrace(void);

/* The base name of a source path, for the "%s:%d " that starts most messages. */
constexpr const char *kelvoFileBaseName(const char *path)
{
    const char *base = path;
    for (const char *p = path; *p; ++p)
        if (*p == '/')
            base = p + 1;
    return base;
}

#define kelvoAssert(condition)                                                  \
    do {                                                                        \
        if (__builtin_expect(!(condition), 0))                                  \
            kelvoAssertionFailedImpl(#condition, __FILE__, __LINE__, __func__); \
    } while (0)

/* Under NDEBUG the condition is still compiled, never evaluated. */
#ifdef NDEBUG
#define kelvoDebugAssert(condition) static_cast<void>(sizeof(!(condition)))
#else
#define kelvoDebugAssert(condition) kelvoAssert(condition)
#endif

#define kelvoUnreachable()   kelvoUnreachableImpl(__FILE__, __LINE__, __func__)
#define kelvoUnimplemented() kelvoUnimplementedImpl(__FILE__, __LINE__, __func__)
#define kelvoPanic(...)      kelvoPanicImpl(__FILE__, __LINE__, __func__, __VA_ARGS__)

#endif
