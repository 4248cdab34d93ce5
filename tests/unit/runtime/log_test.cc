// The normal logger, its configuration, and the signal-safe formatter and writers.
#include "runtime/log_test_util.h"

#include <cfloat>
#include <cmath>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <ctime>
#include <fcntl.h>
#include <regex>

// Several cases hand the formatter conversions it is meant not to know.
#pragma GCC diagnostic ignored "-Wformat"
#pragma GCC diagnostic ignored "-Wformat-extra-args"
#pragma GCC diagnostic ignored "-Wformat-overflow"

namespace {

// ---- the signal-safe formatter ----------------------------------------------------

struct FormatCase {
    const char *name;
    size_t dstlen;
    const char *expected;
    size_t (*format)(char *dst, size_t dstlen);
};

const FormatCase formatCases[] = {
    {"Percent", 64, "100% sure", [](char *d, size_t n) { return kelvoSafe_snprintf(d, n, "100%% sure"); }},
    {"Char", 64, "<A>", [](char *d, size_t n) { return kelvoSafe_snprintf(d, n, "<%c>", 'A'); }},
    {"IntMin", 64, "-2147483648", [](char *d, size_t n) { return kelvoSafe_snprintf(d, n, "%d", INT_MIN); }},
    {"IntZero", 64, "0", [](char *d, size_t n) { return kelvoSafe_snprintf(d, n, "%d", 0); }},
    {"UnsignedMax", 64, "4294967295", [](char *d, size_t n) { return kelvoSafe_snprintf(d, n, "%u", UINT_MAX); }},
    {"Hex", 64, "ff", [](char *d, size_t n) { return kelvoSafe_snprintf(d, n, "%x", 255); }},
    {"HexZero", 64, "0", [](char *d, size_t n) { return kelvoSafe_snprintf(d, n, "%x", 0); }},
    {"HexNegativeIs64Bit", 64, "ffffffffffffffff",
     [](char *d, size_t n) { return kelvoSafe_snprintf(d, n, "%x", -1); }},
    {"LongMin", 64, "-9223372036854775808",
     [](char *d, size_t n) { return kelvoSafe_snprintf(d, n, "%ld", static_cast<long>(INT64_MIN)); }},
    {"SizeSigned", 64, "-5",
     [](char *d, size_t n) { return kelvoSafe_snprintf(d, n, "%zd", static_cast<ssize_t>(-5)); }},
    {"LongUnsignedZero", 64, "0", [](char *d, size_t n) { return kelvoSafe_snprintf(d, n, "%lu", 0UL); }},
    {"LongUnsignedMax", 64, "18446744073709551615",
     [](char *d, size_t n) { return kelvoSafe_snprintf(d, n, "%lu", static_cast<unsigned long>(UINT64_MAX)); }},
    {"Size", 64, "12345",
     [](char *d, size_t n) { return kelvoSafe_snprintf(d, n, "%zu", static_cast<size_t>(12345)); }},
    {"LongHex", 64, "deadbeefcafe",
     [](char *d, size_t n) { return kelvoSafe_snprintf(d, n, "%lx", 0xdeadbeefcafeUL); }},
    {"PointerNull", 64, "0x0",
     [](char *d, size_t n) { return kelvoSafe_snprintf(d, n, "%p", static_cast<void *>(nullptr)); }},
    {"Pointer", 64, "0x7f12ab",
     [](char *d, size_t n) { return kelvoSafe_snprintf(d, n, "%p", reinterpret_cast<void *>(0x7f12ab)); }},
    {"String", 64, "[abc]", [](char *d, size_t n) { return kelvoSafe_snprintf(d, n, "[%s]", "abc"); }},
    {"StringNull", 64, "[(null)]",
     [](char *d, size_t n) { return kelvoSafe_snprintf(d, n, "[%s]", static_cast<const char *>(nullptr)); }},
    {"Double", 64, "3.25", [](char *d, size_t n) { return kelvoSafe_snprintf(d, n, "%f", 3.25); }},
    {"DoubleNegative", 64, "-0.5", [](char *d, size_t n) { return kelvoSafe_snprintf(d, n, "%f", -0.5); }},
    {"DoubleWhole", 64, "2.0", [](char *d, size_t n) { return kelvoSafe_snprintf(d, n, "%f", 2.0); }},
    {"DoubleEightDigits", 64, "1.12345679",
     [](char *d, size_t n) { return kelvoSafe_snprintf(d, n, "%f", 1.123456789); }},
    {"DoubleRoundsUp", 64, "2.0", [](char *d, size_t n) { return kelvoSafe_snprintf(d, n, "%f", 1.999999999); }},
    {"DoubleHuge", 64, "100000000000000000000.0",
     [](char *d, size_t n) { return kelvoSafe_snprintf(d, n, "%f", 1e20); }},
    {"DoubleInfinity", 64, "-inf", [](char *d, size_t n) { return kelvoSafe_snprintf(d, n, "%f", -HUGE_VAL); }},
    {"UnknownCopied", 64, "a%qb", [](char *d, size_t n) { return kelvoSafe_snprintf(d, n, "a%qb"); }},
    {"TrailingPercent", 64, "100%", [](char *d, size_t n) { return kelvoSafe_snprintf(d, n, "100%"); }},
    // Unknown conversions consume their argument, so the next one prints its own.
    {"WidthSkipsInt", 64, "%5d then x",
     [](char *d, size_t n) { return kelvoSafe_snprintf(d, n, "%5d then %s", 5, "x"); }},
    {"LongLongSkipped", 64, "%llu x",
     [](char *d, size_t n) { return kelvoSafe_snprintf(d, n, "%llu %s", 1ULL << 40, "x"); }},
    {"DoubleSkipped", 64, "%e x 7",
     [](char *d, size_t n) { return kelvoSafe_snprintf(d, n, "%e %s %d", 1.5, "x", 7); }},
    {"StarsSkipped", 64, "%*d x", [](char *d, size_t n) { return kelvoSafe_snprintf(d, n, "%*d %s", 3, 7, "x"); }},
    {"PrecisionSkipped", 64, "%.3s|9",
     [](char *d, size_t n) { return kelvoSafe_snprintf(d, n, "%.3s|%d", "abcdef", 9); }},
    {"ShortSkipped", 64, "%hhd 7", [](char *d, size_t n) { return kelvoSafe_snprintf(d, n, "%hhd %d", 1, 7); }},
    {"LongDoubleSkipped", 64, "%Lf x", [](char *d, size_t n) { return kelvoSafe_snprintf(d, n, "%Lf %s", 1.0L, "x"); }},
    {"HexSizeSkipped", 64, "%zx 3",
     [](char *d, size_t n) { return kelvoSafe_snprintf(d, n, "%zx %d", static_cast<size_t>(9), 3); }},
    {"Prefix", 64, "[12:345 WRN 77] file.cc:9 ",
     [](char *d, size_t n) {
         return kelvoSafe_snprintf(d, n, "[%lu:%lu %s %d] %s:%d ", 12UL, 345UL, "WRN", 77, "file.cc", 9);
     }},
    // Bounds: at most dstlen - 1 characters and always a terminator.
    {"OnlyTerminator", 1, "", [](char *d, size_t n) { return kelvoSafe_snprintf(d, n, "abc"); }},
    {"CutPlain", 4, "abc", [](char *d, size_t n) { return kelvoSafe_snprintf(d, n, "abcdefgh"); }},
    {"CutNumber", 5, "1234", [](char *d, size_t n) { return kelvoSafe_snprintf(d, n, "%d", 123456); }},
    {"CutString", 6, "ab:cd", [](char *d, size_t n) { return kelvoSafe_snprintf(d, n, "ab:%s", "cdefgh"); }},
};

class SafeFormat : public ::testing::TestWithParam<FormatCase> {};

TEST_P(SafeFormat, WritesExpectedText)
{
    const FormatCase &c = GetParam();
    std::string buffer(c.dstlen + 8, '#');
    size_t written = c.format(buffer.data(), c.dstlen);
    EXPECT_STREQ(buffer.c_str(), c.expected);
    EXPECT_EQ(written, strlen(c.expected));
    EXPECT_EQ(buffer[c.dstlen], '#') << "wrote past dstlen";
}

INSTANTIATE_TEST_SUITE_P(Cases, SafeFormat, ::testing::ValuesIn(formatCases),
                         [](const ::testing::TestParamInfo<FormatCase> &info) { return std::string(info.param.name); });

TEST(SafeFormatDecimal, MatchesEveryDigitCount)
{
    const uint64_t values[] = {0,         7, 10, 99, 100, 101, 999, 1000, 12345, 4294967296ULL, 10000000000000000000ULL,
                               UINT64_MAX};
    for (uint64_t value : values) {
        char digits[24];
        size_t n = kelvoSafe_snprintf(digits, sizeof digits, "%lu", static_cast<unsigned long>(value));
        EXPECT_EQ(std::string(digits, n), std::to_string(value));
    }
}

// ---- configuration ------------------------------------------------------------------

struct LevelCase {
    const char *text;
    uint32_t level;
};

TEST_F(LogFileTest, LevelIsAKeywordPrefixInAnyCase)
{
    const LevelCase cases[] = {
        {"debug", KELVO_LL_DEBUG},     {"DEBUGGING", KELVO_LL_DEBUG}, {"Notice", KELVO_LL_NOTICE},
        {"warning", KELVO_LL_WARNING}, {"warn", KELVO_LL_NONE},       {"ERRORS", KELVO_LL_ERROR},
        {"none", KELVO_LL_NONE},       {"", KELVO_LL_NONE},           {nullptr, KELVO_LL_NONE},
    };
    for (const LevelCase &c : cases) {
        EXPECT_TRUE(kelvoLogConfigure(c.text, path.c_str()));
        EXPECT_EQ(kelvoCfgVals.log_level, c.level) << (c.text ? c.text : "(unset)");
        EXPECT_EQ(kelvoCfgVals.log_fp != nullptr, c.level != KELVO_LL_NONE);
        EXPECT_EQ(kelvoCfgVals.log_fd >= 0, c.level != KELVO_LL_NONE);
        kelvoLogTeardown();
    }
}

TEST_F(LogFileTest, StandardStreamsByName)
{
    EXPECT_TRUE(kelvoLogConfigure("error", "StdOut"));
    EXPECT_EQ(kelvoCfgVals.log_fp, stdout);
    EXPECT_EQ(kelvoCfgVals.log_fd, STDOUT_FILENO);
    EXPECT_TRUE(kelvoLogConfigure("error", "stderr.log"));
    EXPECT_EQ(kelvoCfgVals.log_fp, stderr);
    EXPECT_EQ(kelvoCfgVals.log_fd, STDERR_FILENO);
}

TEST_F(LogFileTest, UnopenableFileTurnsLoggingOff)
{
    for (const char *file : {"/nonexistent-dir/kelvo.log", ""}) {
        EXPECT_FALSE(kelvoLogConfigure("debug", file)) << file;
        EXPECT_EQ(kelvoCfgVals.log_level, KELVO_LL_NONE);
        EXPECT_EQ(kelvoCfgVals.log_fp, nullptr);
        EXPECT_EQ(kelvoCfgVals.log_fd, -1);
    }
    EXPECT_TRUE(kelvoLogConfigure("debug", nullptr));
    EXPECT_EQ(kelvoCfgVals.log_level, KELVO_LL_NONE);
}

TEST_F(LogFileTest, TeardownKeepsStandardStreamsOpen)
{
    for (const char *file : {"stdout", "stderr"}) {
        int status = runInChild([file] {
            kelvoLogConfigure("debug", file);
            int fd = kelvoCfgVals.log_fd;
            kelvoLogTeardown();
            bool off =
                kelvoCfgVals.log_fp == nullptr && kelvoCfgVals.log_fd == -1 && kelvoCfgVals.log_level == KELVO_LL_NONE;
            _exit(off && fcntl(fd, F_GETFD) != -1 ? 0 : 1);
        });
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << file;
    }
}

TEST_F(LogFileTest, TeardownClosesAFile)
{
    ASSERT_TRUE(kelvoLogConfigure("debug", path.c_str()));
    int fd = kelvoCfgVals.log_fd;
    kelvoLogTeardown();
    EXPECT_EQ(fcntl(fd, F_GETFD), -1);
    EXPECT_EQ(kelvoCfgVals.log_level, KELVO_LL_NONE);
}

// ---- the normal logger -----------------------------------------------------------------

TEST_F(LogFileTest, LineHasTimeTagAndProcessId)
{
    ASSERT_TRUE(kelvoLogConfigure("warning", path.c_str()));
    struct timespec before, after;
    clock_gettime(CLOCK_REALTIME, &before);
    kelvoLogWarning("%s:%d hello %d", KELVO_LOG_SITE, 5);
    clock_gettime(CLOCK_REALTIME, &after);

    std::vector<std::string> got = lines();
    ASSERT_EQ(got.size(), 1u);
    std::smatch m;
    ASSERT_TRUE(std::regex_match(got[0], m, std::regex(R"(\[(\d+)\.(\d{6}) WRN (\d+)\] log_test\.cc:\d+ hello 5)")))
        << got[0];
    long seconds = std::stol(m[1]);
    EXPECT_GE(seconds, before.tv_sec);
    EXPECT_LE(seconds, after.tv_sec);
    EXPECT_EQ(std::stol(m[3]), static_cast<long>(getpid()));
    EXPECT_EQ(contents().back(), '\n');
}

TEST_F(LogFileTest, LevelsFilterAndSkipFormatting)
{
    const char *const keywords[] = {"debug", "notice", "warning", "error"};
    const char *const tags[] = {"DBG", "NOT", "WRN", "ERR"};
    for (uint32_t configured = KELVO_LL_DEBUG; configured < KELVO_LL_NONE; configured++) {
        ASSERT_TRUE(kelvoLogConfigure(keywords[configured], path.c_str()));
        int evaluated = 0;
        kelvoLogDebug("d %d", ++evaluated);
        kelvoLogNotice("n %d", ++evaluated);
        kelvoLogWarning("w %d", ++evaluated);
        kelvoLogError("e %d", ++evaluated);
        kelvoLogTeardown();

        std::vector<std::string> got = lines();
        ASSERT_EQ(got.size(), KELVO_LL_NONE - configured) << "level " << configured;
        EXPECT_EQ(evaluated, static_cast<int>(KELVO_LL_NONE - configured)) << "disabled lines formatted";
        for (size_t i = 0; i < got.size(); i++)
            EXPECT_NE(got[i].find(std::string(" ") + tags[configured + i] + " "), std::string::npos) << got[i];
        unlink(path.c_str());
    }
}

TEST_F(LogFileTest, LongMessageIsCut)
{
    ASSERT_TRUE(kelvoLogConfigure("debug", path.c_str()));
    std::string message(6000, 'x');
    kelvoLogDebug("%s", message.c_str());
    std::vector<std::string> got = lines();
    ASSERT_EQ(got.size(), 1u);
    EXPECT_EQ(got[0].size() - got[0].find("] ") - 2, 4094u);
}

// ---- the signal-safe writers -------------------------------------------------------------

int fixedPid() { return 4242; }

TEST_F(LogFileTest, SignalLineHasPrefixAndCachedPid)
{
    ASSERT_TRUE(kelvoLogConfigure("debug", path.c_str()));
    kelvoLogHook.pid = fixedPid;
    EXPECT_TRUE(kelvoSignalLogEx(KELVO_LL_NOTICE, "/some/dir/reader.cc", 42, "x=%d %s", 7, "ok"));
    kelvoSignalLogRaw("raw %lu", 3UL);

    std::vector<std::string> got = lines();
    ASSERT_EQ(got.size(), 2u);
    std::smatch m;
    ASSERT_TRUE(std::regex_match(got[0], m, std::regex(R"(\[(\d+):([1-9]\d*|0) NOT 4242\] reader\.cc:42 x=7 ok)")))
        << got[0];
    EXPECT_LT(std::stol(m[2]), 1000000);
    EXPECT_EQ(got[1], "raw 3");
}

TEST_F(LogFileTest, SignalLineIsCutTo1024Bytes)
{
    ASSERT_TRUE(kelvoLogConfigure("debug", path.c_str()));
    std::string message(3000, 'y');
    EXPECT_TRUE(kelvoSignalLogEx(KELVO_LL_ERROR, __FILE__, __LINE__, "%s", message.c_str()));
    kelvoSignalLogRaw("%s", message.c_str());
    std::string text = contents();
    ASSERT_EQ(text.size(), 2048u);
    EXPECT_EQ(text[1023], '\n');
    EXPECT_EQ(text[2047], '\n');
    EXPECT_EQ(text.find('\n'), 1023u);
}

TEST_F(LogFileTest, SignalWritersNeedALog)
{
    EXPECT_FALSE(kelvoSignalLogEx(KELVO_LL_ERROR, __FILE__, __LINE__, "nothing"));
    kelvoSignalLogRaw("nothing");
    kelvoLogBacktrace();
    EXPECT_EQ(access(path.c_str(), F_OK), -1);
}

TEST_F(LogFileTest, BacktraceIsFramed)
{
    ASSERT_TRUE(kelvoLogConfigure("error", path.c_str()));
    kelvoLogBacktrace();
    std::string text = contents();
    EXPECT_EQ(text.rfind("\n>>> KELVO BEGIN BACKTRACE\n", 0), 0u) << text;
    EXPECT_GT(text.size(), 27u + 24u);
    EXPECT_EQ(text.substr(text.size() - 24), "<<< KELVO END BACKTRACE\n");
}

} // namespace
