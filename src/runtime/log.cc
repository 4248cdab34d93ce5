/* Logging and crash reports. */
#include "runtime/log.h"
#include "runtime/fatal.h"
#include "runtime/version.h"

#include <array>
#include <cerrno>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <execinfo.h>
#include <openssl/opensslv.h>
#include <strings.h>
#include <ucontext.h>
#include <unistd.h>

#ifndef KELVO_GIT_REVISION
#define KELVO_GIT_REVISION "0000000000000000000000000000000000000000"
#endif

kelvoLogHooks kelvoLogHook = {nullptr, nullptr};

namespace {

struct LevelName {
    const char *keyword; /* what kelvo.loglevel begins with */
    const char *tag;
};
constexpr LevelName levelNames[] = {
    {"debug", "DBG"},
    {"notice", "NOT"},
    {"warning", "WRN"},
    {"error", "ERR"},
};
static_assert(sizeof(levelNames) / sizeof(*levelNames) == KELVO_LL_NONE);

constexpr size_t messageSize = 4095; /* 4094 characters and the terminator */
constexpr size_t lineSize = 4561;    /* 4560 characters and the terminator */
constexpr size_t signalLineSize = 1024;

/* Facts of the build, for the crash report. */
constexpr const char *allocatorName = "kelvo";
#if defined(__linux__)
constexpr const char *buildOs = "Linux";
#else
constexpr const char *buildOs = "unknown";
#endif
#if defined(__x86_64__)
constexpr const char *architecture = "x86_64";
#elif defined(__aarch64__)
constexpr const char *architecture = "aarch64";
#else
constexpr const char *architecture = "unknown";
#endif

uint32_t parseLevel(const char *text)
{
    if (!text)
        return KELVO_LL_NONE;
    for (uint32_t level = 0; level < KELVO_LL_NONE; level++) {
        const char *keyword = levelNames[level].keyword;
        if (strncasecmp(text, keyword, strlen(keyword)) == 0)
            return level;
    }
    return KELVO_LL_NONE;
}

FILE *openLog(const char *file)
{
    if (strncasecmp(file, "stdout", 6) == 0)
        return stdout;
    if (strncasecmp(file, "stderr", 6) == 0)
        return stderr;
    return fopen(file, "a");
}

/* ---- the signal-safe formatter ------------------------------------------------ */

constexpr std::array<char, 200> makeDigitPairs()
{
    std::array<char, 200> pairs{};
    for (int i = 0; i < 100; i++) {
        pairs[2 * i] = static_cast<char>('0' + i / 10);
        pairs[2 * i + 1] = static_cast<char>('0' + i % 10);
    }
    return pairs;
}
constexpr std::array<char, 200> digitPairs = makeDigitPairs();

/* Decimal digits of value, two at a time; no sign, no terminator. Returns their count. */
size_t unsignedToString(char *buffer, uint64_t value)
{
    size_t length = 1;
    for (uint64_t rest = value; rest >= 10; rest /= 10)
        length++;
    char *p = buffer + length;
    while (value >= 100) {
        const char *pair = &digitPairs[2 * (value % 100)];
        value /= 100;
        *--p = pair[1];
        *--p = pair[0];
    }
    if (value >= 10) {
        *--p = digitPairs[2 * value + 1];
        *--p = digitPairs[2 * value];
    } else {
        *--p = static_cast<char>('0' + value);
    }
    return length;
}

/* Output that stops at the end of the destination; one byte is kept for the terminator. */
struct SafeOut {
    char *dst;
    size_t room; /* characters that still fit */
    size_t len;

    void put(char c)
    {
        if (room == 0)
            return;
        dst[len++] = c;
        room--;
    }
    void put(const char *text, size_t n)
    {
        size_t take = n < room ? n : room;
        memcpy(dst + len, text, take);
        len += take;
        room -= take;
    }
    void put(const char *text) { put(text, strlen(text)); }
    void decimal(uint64_t value)
    {
        char digits[20];
        put(digits, unsignedToString(digits, value));
    }
    void signedDecimal(int64_t value)
    {
        if (value < 0)
            put('-');
        /* negate in unsigned arithmetic: the smallest value has no positive twin */
        decimal(value < 0 ? 0 - static_cast<uint64_t>(value) : static_cast<uint64_t>(value));
    }
    void hex(uint64_t value)
    {
        char digits[16];
        size_t n = 0;
        do {
            digits[15 - n++] = "0123456789abcdef"[value & 0xf];
            value >>= 4;
        } while (value);
        put(digits + 16 - n, n);
    }
    void fixed(double value);
};

constexpr int fractionDigits = 8;
constexpr double fractionScale = 1e8;

void SafeOut::fixed(double value)
{
    if (std::isnan(value)) {
        put("nan");
        return;
    }
    if (std::signbit(value)) {
        put('-');
        value = -value;
    }
    if (std::isinf(value)) {
        put("inf");
        return;
    }
    /* Beyond 64 bits the integer part is printed as its leading digits and zeros. */
    int zeros = 0;
    while (value >= 1e19) {
        value /= 10;
        zeros++;
    }
    uint64_t whole = static_cast<uint64_t>(value);
    uint64_t fraction = static_cast<uint64_t>(std::llround((value - static_cast<double>(whole)) * fractionScale));
    if (fraction >= static_cast<uint64_t>(fractionScale)) {
        whole++;
        fraction = 0;
    }
    decimal(whole);
    for (; zeros > 0; zeros--)
        put('0');
    put('.');
    char digits[fractionDigits];
    int n = fractionDigits;
    for (int i = fractionDigits - 1; i >= 0; i--, fraction /= 10)
        digits[i] = static_cast<char>('0' + fraction % 10);
    while (n > 1 && digits[n - 1] == '0')
        n--;
    put(digits, static_cast<size_t>(n));
}

/* The parts of one conversion: %[flags width precision][length]conversion. */
struct Conversion {
    const char *start; /* the percent sign */
    const char *end;   /* one past the conversion character (or the format's end) */
    bool plain;        /* no flags, width or precision */
    int stars;         /* '*' widths and precisions, each an int argument */
    char length[3];    /* length modifier, at most two characters */
    char conversion;   /* 0 at the end of the format */
};

bool isFlagOrWidth(char c) { return strchr("-+ #0'123456789.*", c) != nullptr && c != '\0'; }

Conversion parseConversion(const char *percent)
{
    Conversion conv{percent, nullptr, true, 0, {0, 0, 0}, 0};
    const char *p = percent + 1;
    for (; isFlagOrWidth(*p); p++) {
        conv.plain = false;
        conv.stars += *p == '*';
    }
    for (size_t n = 0; n < 2 && *p && strchr("hlLqjzt", *p); n++)
        conv.length[n] = *p++;
    conv.conversion = *p;
    conv.end = *p ? p + 1 : p;
    return conv;
}

/* Skips the argument of a conversion this formatter does not print, so later ones stay in step. */
void skipArgument(const Conversion &conv, va_list &args)
{
    for (int i = 0; i < conv.stars; i++)
        (void)va_arg(args, int);
    const bool longLong = (conv.length[0] == 'l' && conv.length[1] == 'l') || conv.length[0] == 'q';
    const bool wide = conv.length[0] == 'l' || conv.length[0] == 'z' || conv.length[0] == 'j' || conv.length[0] == 't';
    switch (conv.conversion) {
    case 'd':
    case 'i':
    case 'o':
    case 'u':
    case 'x':
    case 'X':
    case 'c':
    case 'C':
        if (longLong)
            (void)va_arg(args, long long);
        else if (wide)
            (void)va_arg(args, long);
        else
            (void)va_arg(args, int);
        return;
    case 'e':
    case 'E':
    case 'f':
    case 'F':
    case 'g':
    case 'G':
    case 'a':
    case 'A':
        if (conv.length[0] == 'L')
            (void)va_arg(args, long double);
        else
            (void)va_arg(args, double);
        return;
    case 's':
    case 'S':
    case 'p':
    case 'n':
        (void)va_arg(args, void *);
        return;
    default: /* "%%", "%m" or no conversion at all: no argument */
        return;
    }
}

/* Prints a conversion this formatter knows; false for any other. */
bool printKnown(SafeOut &out, const Conversion &conv, va_list &args)
{
    if (!conv.plain)
        return false;
    const char l = conv.length[0];
    if (conv.length[1] != 0)
        return false;
    switch (conv.conversion) {
    case '%':
        if (l)
            return false;
        out.put('%');
        return true;
    case 'c':
        if (l)
            return false;
        out.put(static_cast<char>(va_arg(args, int)));
        return true;
    case 'd':
        if (l == 0)
            out.signedDecimal(va_arg(args, int));
        else if (l == 'l' || l == 'z')
            out.signedDecimal(va_arg(args, long));
        else
            return false;
        return true;
    case 'u':
        if (l == 0)
            out.decimal(va_arg(args, unsigned int));
        else if (l == 'l' || l == 'z')
            out.decimal(va_arg(args, unsigned long));
        else
            return false;
        return true;
    case 'x':
        if (l == 0) /* sign-extended: a negative int prints as 64-bit two's complement */
            out.hex(static_cast<uint64_t>(static_cast<int64_t>(va_arg(args, int))));
        else if (l == 'l')
            out.hex(va_arg(args, unsigned long));
        else
            return false;
        return true;
    case 'p':
        if (l)
            return false;
        out.put("0x", 2);
        out.hex(reinterpret_cast<uintptr_t>(va_arg(args, void *)));
        return true;
    case 's': {
        if (l)
            return false;
        const char *text = va_arg(args, const char *);
        out.put(text ? text : "(null)");
        return true;
    }
    case 'f':
        if (l)
            return false;
        out.fixed(va_arg(args, double));
        return true;
    default:
        return false;
    }
}

/* ---- the crash report --------------------------------------------------------- */

int processId(void) { return kelvoLogHook.pid ? kelvoLogHook.pid() : static_cast<int>(getpid()); }

/* One write of a whole buffer; false when it could not all be written. */
bool writeOnce(const char *data, size_t length)
{
    ssize_t written = write(kelvoCfgVals.log_fd, data, length);
    return written >= 0 && static_cast<size_t>(written) == length;
}

void logRuntimeStats(void)
{
    if (kelvoCfgVals.log_fd < 0)
        return;
    kelvoRuntimeStats stats{};
    if (kelvoLogHook.runtimeStats)
        kelvoLogHook.runtimeStats(&stats);
    char buffer[2048];
    size_t n =
        kelvoSafe_snprintf(buffer, sizeof buffer - 1,
                           "### Runtime stats\n"
                           "{\"kelvo\": {\"version\": \"%s\",\"kelvo_git_revision\": \"%s\",\"allocator\": \"%s\","
                           "\"build os\": \"%s\",\"architecture\": \"%s\",\"openssl version\": \"%s\"},"
                           "\"php\": {\"uptime\": %ld,\"requests\": %ld,\"active requests\": %ld,\"max requests\": %ld,"
                           "\"free readers\": %ld},"
                           "\"cache\": {\"requests\": %lu,\"misses\": %lu,\"hits\": %lu,\"errors\": %lu,\"oom\": %lu},"
                           "\"memory\": {\"total\": %lu,\"limit\": %lu,\"active\": %lu,\"used\": %lu}}",
                           KELVO_VERSION, KELVO_GIT_REVISION, allocatorName, buildOs, architecture,
                           OPENSSL_VERSION_TEXT, static_cast<long>(stats.uptime), static_cast<long>(stats.requests),
                           static_cast<long>(stats.activeRequests), static_cast<long>(stats.maxRequests),
                           static_cast<long>(stats.freeReaders), static_cast<unsigned long>(stats.cacheRequests),
                           static_cast<unsigned long>(stats.cacheMisses), static_cast<unsigned long>(stats.cacheHits),
                           static_cast<unsigned long>(stats.cacheErrors), static_cast<unsigned long>(stats.cacheOom),
                           static_cast<unsigned long>(stats.memTotal), static_cast<unsigned long>(stats.memLimit),
                           static_cast<unsigned long>(stats.memActive), static_cast<unsigned long>(stats.memUsed));
    buffer[n++] = '\n';
    writeOnce(buffer, n);
}

constexpr int crashSignals[] = {SIGSEGV, SIGBUS, SIGFPE, SIGILL};
constexpr size_t crashSignalCount = sizeof(crashSignals) / sizeof(*crashSignals);
struct sigaction replacedActions[crashSignalCount];
bool installed[crashSignalCount];

/* A signal sent with kill(), tgkill() or sigqueue(), not raised by a fault. */
bool wasSent(const siginfo_t *info) { return info != nullptr && info->si_code <= 0; }

/* Ends the process by the signal's default action. */
void raiseWithDefaultAction(int signal)
{
    struct sigaction dfl {};
    dfl.sa_handler = SIG_DFL;
    sigemptyset(&dfl.sa_mask);
    sigaction(signal, &dfl, nullptr);
    sigset_t mask;
    sigemptyset(&mask);
    sigaddset(&mask, signal);
    sigprocmask(SIG_UNBLOCK, &mask, nullptr);
    raise(signal);
}

void crashHandler(int signal, siginfo_t *info, void *context)
{
    int savedErrno = errno;
    kelvoSignalLog(KELVO_LL_ERROR, "--- KELVO BEGIN CRASH REPORT ---");
    kelvoLogRegisters(context);
    kelvoLogBacktrace();
    logRuntimeStats();
    kelvoSignalLog(KELVO_LL_ERROR, "--- KELVO END CRASH REPORT ---");
    /* A fault repeats on return and meets the default action (SA_RESETHAND); a sent signal would not. */
    if (wasSent(info))
        raiseWithDefaultAction(signal);
    errno = savedErrno;
}

} // namespace

/* ---- the normal logger ---------------------------------------------------------- */

const char *kelvoLogLevelTag(uint32_t level) { return level < KELVO_LL_NONE ? levelNames[level].tag : ""; }

bool kelvoLogConfigure(const char *level, const char *file)
{
    kelvoLogTeardown();
    uint32_t parsed = parseLevel(level);
    if (parsed == KELVO_LL_NONE || file == nullptr)
        return true;
    FILE *fp = openLog(file);
    if (!fp)
        return false;
    kelvoCfgVals.log_fp = fp;
    kelvoCfgVals.log_fd = fileno(fp);
    kelvoCfgVals.log_level = parsed;
    return true;
}

void kelvoLogTeardown(void)
{
    FILE *fp = kelvoCfgVals.log_fp;
    /* Off first, so nothing (a signal handler, an exit handler) writes to a closed descriptor. */
    kelvoCfgVals.log_level = KELVO_LL_NONE;
    kelvoCfgVals.log_fp = nullptr;
    kelvoCfgVals.log_fd = -1;
    if (!fp)
        return;
    if (fp == stdout || fp == stderr)
        fflush(fp);
    else
        fclose(fp);
}

void kelvoLogExV(uint32_t level, const char *format, va_list args)
{
    kelvoAssert(level < KELVO_LL_NONE && kelvoCfgVals.log_fp != NULL);
    struct timespec now;
    clock_gettime(CLOCK_REALTIME, &now);
    char message[messageSize];
    vsnprintf(message, sizeof message, format, args);
    char line[lineSize + 1]; /* room for the newline after a full line */
    int n =
        snprintf(line, lineSize, "[%ld.%06ld %s %ld] %s", static_cast<long>(now.tv_sec),
                 static_cast<long>(now.tv_nsec / 1000), kelvoLogLevelTag(level), static_cast<long>(getpid()), message);
    if (n < 0)
        return;
    size_t length = static_cast<size_t>(n) < lineSize - 1 ? static_cast<size_t>(n) : lineSize - 1;
    line[length++] = '\n';
    fwrite(line, 1, length, kelvoCfgVals.log_fp);
    fflush(kelvoCfgVals.log_fp);
}

void kelvoLogEx(uint32_t level, const char *format, ...)
{
    va_list args;
    va_start(args, format);
    kelvoLogExV(level, format, args);
    va_end(args);
}

void kelvoLogDebugEx(const char *format, ...)
{
    va_list args;
    va_start(args, format);
    kelvoLogExV(KELVO_LL_DEBUG, format, args);
    va_end(args);
}

void kelvoLogNoticeEx(const char *format, ...)
{
    va_list args;
    va_start(args, format);
    kelvoLogExV(KELVO_LL_NOTICE, format, args);
    va_end(args);
}

/* ---- the signal-safe writers ------------------------------------------------------ */

size_t kelvoSafe_vsnprintf(char *dst, size_t dstlen, const char *fmt, va_list args)
{
    kelvoAssert(dst != NULL && dstlen > 0 && fmt != NULL);
    SafeOut out{dst, dstlen - 1, 0};
    va_list rest;
    va_copy(rest, args);
    for (const char *p = fmt; *p && out.room > 0;) {
        if (*p != '%') {
            out.put(*p++);
            continue;
        }
        Conversion conv = parseConversion(p);
        if (!printKnown(out, conv, rest)) {
            out.put(conv.start, static_cast<size_t>(conv.end - conv.start));
            skipArgument(conv, rest);
        }
        p = conv.end;
    }
    va_end(rest);
    dst[out.len] = '\0';
    return out.len;
}

size_t kelvoSafe_snprintf(char *dst, size_t dstlen, const char *format, ...)
{
    va_list args;
    va_start(args, format);
    size_t n = kelvoSafe_vsnprintf(dst, dstlen, format, args);
    va_end(args);
    return n;
}

bool kelvoSignalLogEx(uint32_t level, const char *file, int line, const char *format, ...)
{
    if (kelvoCfgVals.log_fd < 0)
        return false;
    struct timespec now;
    clock_gettime(CLOCK_REALTIME, &now);
    char buffer[signalLineSize];
    size_t n =
        kelvoSafe_snprintf(buffer, sizeof buffer, "[%lu:%lu %s %d] %s:%d ", static_cast<unsigned long>(now.tv_sec),
                           static_cast<unsigned long>(now.tv_nsec / 1000), kelvoLogLevelTag(level), processId(),
                           kelvoFileBaseName(file), line);
    va_list args;
    va_start(args, format);
    n += kelvoSafe_vsnprintf(buffer + n, sizeof buffer - n, format, args);
    va_end(args);
    buffer[n++] = '\n'; /* takes the terminator's place: at most 1024 bytes */
    return writeOnce(buffer, n);
}

void kelvoSignalLogRaw(const char *format, ...)
{
    if (kelvoCfgVals.log_fd < 0)
        return;
    char buffer[signalLineSize];
    va_list args;
    va_start(args, format);
    size_t n = kelvoSafe_vsnprintf(buffer, sizeof buffer, format, args);
    va_end(args);
    buffer[n++] = '\n';
    writeOnce(buffer, n);
}

void kelvoLogRegisters(const void *context)
{
    if (kelvoCfgVals.log_fd < 0 || context == nullptr)
        return;
    kelvoSignalLogRaw(">>> KELVO BEGIN REGISTER DUMP");
#if defined(__x86_64__)
    struct Register {
        const char *name;
        int index;
    };
    static constexpr Register registers[] = {
        {"RAX", REG_RAX}, {"RBX", REG_RBX}, {"RCX", REG_RCX}, {"RDX", REG_RDX}, {"RSI", REG_RSI}, {"RDI", REG_RDI},
        {"RBP", REG_RBP}, {"RSP", REG_RSP}, {" R8", REG_R8},  {" R9", REG_R9},  {"R10", REG_R10}, {"R11", REG_R11},
        {"R12", REG_R12}, {"R13", REG_R13}, {"R14", REG_R14}, {"R15", REG_R15}, {"RIP", REG_RIP},
    };
    const greg_t *gregs = static_cast<const ucontext_t *>(context)->uc_mcontext.gregs;
    for (const Register &reg : registers)
        kelvoSignalLogRaw("%s: %p", reg.name, reinterpret_cast<void *>(gregs[reg.index]));
#endif
    kelvoSignalLogRaw("<<< KELVO END REGISTER DUMP");
}

void kelvoCrashHandlersInstall(void)
{
    /* The first backtrace() loads the unwinder, which allocates: do it now, not in the handler. */
    void *frame[1];
    backtrace(frame, 1);
    for (size_t i = 0; i < crashSignalCount; i++) {
        if (installed[i])
            continue;
        struct sigaction action {};
        action.sa_sigaction = crashHandler;
        action.sa_flags = SA_SIGINFO | SA_NODEFER | SA_RESETHAND;
        sigemptyset(&action.sa_mask);
        installed[i] = sigaction(crashSignals[i], &action, &replacedActions[i]) == 0;
    }
}

void kelvoCrashHandlersRestore(void)
{
    for (size_t i = 0; i < crashSignalCount; i++) {
        if (!installed[i])
            continue;
        installed[i] = false;
        struct sigaction current {};
        if (sigaction(crashSignals[i], nullptr, &current) != 0)
            continue;
        /* Someone who replaced ours after us keeps their handler. */
        if ((current.sa_flags & SA_SIGINFO) && current.sa_sigaction == crashHandler)
            sigaction(crashSignals[i], &replacedActions[i], nullptr);
    }
}
