// Crash reports in forked children: real faults and sent signals, the report's sections,
// and that the child still dies by the signal. Also the saving and restoring of handlers.
#include "runtime/log_test_util.h"
#include "runtime/fatal.h"

#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <openssl/opensslv.h>
#include <regex>
#include <sys/mman.h>

namespace {

void fakeStats(kelvoRuntimeStats *out)
{
    *out = kelvoRuntimeStats{12, 34, 2, 5, 126, 1001, 1002, 1003, 1004, 1005, 16777216, 16777200, 65536, 4096};
}
int fakePid() { return 31337; }

void segfault() { kelvoSegfault(); }

void busError()
{
    FILE *empty = tmpfile();
    void *map = mmap(nullptr, 4096, PROT_READ, MAP_SHARED, fileno(empty), 0);
    (void)*static_cast<volatile char *>(map); /* past the end of an empty file */
}

void divideByZero()
{
    /* In assembly, so the sanitizer's own check does not get there first. */
    __asm__ volatile("xorl %%ecx, %%ecx\n\tmovl $1, %%eax\n\tcltd\n\tidivl %%ecx" ::: "eax", "ecx", "edx");
}

void illegalInstruction() { __asm__ volatile("ud2"); }

template <int Signal>
void sent()
{
    kill(getpid(), Signal);
}

struct CrashCase {
    const char *name;
    int signal;
    void (*trigger)();
};

const CrashCase crashCases[] = {
    {"Segv", SIGSEGV, segfault},          {"Bus", SIGBUS, busError},
    {"Fpe", SIGFPE, divideByZero},        {"Ill", SIGILL, illegalInstruction},
    {"SentSegv", SIGSEGV, sent<SIGSEGV>}, {"SentBus", SIGBUS, sent<SIGBUS>},
};

class CrashReport : public LogFileTest, public ::testing::WithParamInterface<CrashCase> {
  protected:
    int crashChild(const char *level, void (*trigger)())
    {
        std::string file = path;
        return runInChild([&] {
            kelvoLogConfigure(level, file.c_str());
            kelvoLogHook = {fakePid, fakeStats};
            kelvoCrashHandlersInstall();
            trigger();
        });
    }
};

/* Index of the first line at or after from that matches, or lines.size(). */
size_t findLine(const std::vector<std::string> &lines, size_t from, const std::string &pattern)
{
    std::regex re(pattern);
    for (size_t i = from; i < lines.size(); i++)
        if (std::regex_search(lines[i], re))
            return i;
    return lines.size();
}

std::string expectedStats()
{
    return std::string("{\"kelvo\": {\"version\": \"0.40.0\",\"kelvo_git_revision\": \"REV\",\"allocator\": \"kelvo\","
                       "\"build os\": \"Linux\",\"architecture\": \"x86_64\",\"openssl version\": \"") +
           OPENSSL_VERSION_TEXT +
           "\"},\"php\": {\"uptime\": 12,\"requests\": 34,\"active requests\": 2,\"max requests\": 5,"
           "\"free readers\": 126},\"cache\": {\"requests\": 1001,\"misses\": 1002,\"hits\": 1003,\"errors\": 1004,"
           "\"oom\": 1005},\"memory\": {\"total\": 16777216,\"limit\": 16777200,\"active\": 65536,\"used\": 4096}}";
}

TEST_P(CrashReport, WritesSectionsAndDiesBySignal)
{
    const CrashCase &c = GetParam();
    int status = crashChild("error", c.trigger);
    ASSERT_TRUE(WIFSIGNALED(status)) << "child exited with " << WEXITSTATUS(status);
    EXPECT_EQ(WTERMSIG(status), c.signal);

    std::vector<std::string> got = lines();
    size_t begin = findLine(got, 0, R"(^\[\d+:\d+ ERR 31337\] log\.cc:\d+ --- KELVO BEGIN CRASH REPORT ---$)");
    ASSERT_LT(begin, got.size()) << contents();
    size_t regs = findLine(got, begin, "^>>> KELVO BEGIN REGISTER DUMP$");
    ASSERT_EQ(regs, begin + 1);
    const char *const names[] = {"RAX", "RBX", "RCX", "RDX", "RSI", "RDI", "RBP", "RSP", " R8",
                                 " R9", "R10", "R11", "R12", "R13", "R14", "R15", "RIP"};
    for (size_t i = 0; i < 17; i++)
        EXPECT_TRUE(std::regex_match(got[regs + 1 + i], std::regex(std::string("^") + names[i] + ": 0x[0-9a-f]+$")))
            << got[regs + 1 + i];
    EXPECT_EQ(got[regs + 18], "<<< KELVO END REGISTER DUMP");
    size_t trace = findLine(got, regs, "^>>> KELVO BEGIN BACKTRACE$");
    size_t traceEnd = findLine(got, trace, "^<<< KELVO END BACKTRACE$");
    EXPECT_EQ(trace, regs + 20) << "a blank line opens the backtrace";
    EXPECT_GT(traceEnd, trace + 1) << "frames between the markers";
    ASSERT_LT(traceEnd + 3, got.size());
    EXPECT_EQ(got[traceEnd + 1], "### Runtime stats");
    std::string stats = std::regex_replace(got[traceEnd + 2], std::regex("\"kelvo_git_revision\": \"[0-9a-f]{40}\""),
                                           "\"kelvo_git_revision\": \"REV\"");
    EXPECT_EQ(stats, expectedStats());
    EXPECT_TRUE(std::regex_match(got[traceEnd + 3],
                                 std::regex(R"(^\[\d+:\d+ ERR 31337\] log\.cc:\d+ --- KELVO END CRASH REPORT ---$)")))
        << got[traceEnd + 3];
    EXPECT_EQ(got.size(), traceEnd + 4);
}

INSTANTIATE_TEST_SUITE_P(Signals, CrashReport, ::testing::ValuesIn(crashCases),
                         [](const ::testing::TestParamInfo<CrashCase> &info) { return std::string(info.param.name); });

TEST_F(CrashReport, NoLogNoReportStillDies)
{
    int status = crashChild("none", sent<SIGSEGV>);
    ASSERT_TRUE(WIFSIGNALED(status));
    EXPECT_EQ(WTERMSIG(status), SIGSEGV);
    EXPECT_EQ(access(path.c_str(), F_OK), -1);
}

TEST_F(CrashReport, FatalReportComesFirst)
{
    std::string errPath = path + ".stderr";
    std::string file = path;
    int status = runInChild([&] {
        int err = open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        dup2(err, STDERR_FILENO);
        kelvoLogConfigure("error", file.c_str());
        kelvoCrashHandlersInstall();
        kelvoPanic("broken %s", "invariant");
    });
    ASSERT_TRUE(WIFSIGNALED(status));
    EXPECT_EQ(WTERMSIG(status), SIGSEGV);

    std::ifstream err(errPath);
    std::string errLine;
    std::getline(err, errLine);
    unlink(errPath.c_str());
    EXPECT_TRUE(
        std::regex_match(errLine, std::regex(R"(FATAL: log_crash_test\.cc:\d+:operator\(\)\(\): broken invariant)")))
        << errLine;

    std::vector<std::string> got = lines();
    size_t reporterTrace = findLine(got, 0, "^>>> KELVO BEGIN BACKTRACE$");
    size_t begin = findLine(got, 0, "--- KELVO BEGIN CRASH REPORT ---$");
    EXPECT_LT(reporterTrace, begin);
    EXPECT_LT(begin, got.size());
    EXPECT_LT(findLine(got, begin, "--- KELVO END CRASH REPORT ---$"), got.size());
}

// ---- saving and restoring the handlers they replace ------------------------------------

void earlierHandler(int) {}
void laterHandler(int) {}

void setHandler(int signal, void (*handler)(int))
{
    struct sigaction action {};
    action.sa_handler = handler;
    sigemptyset(&action.sa_mask);
    sigaction(signal, &action, nullptr);
}

struct sigaction current(int signal)
{
    struct sigaction action {};
    sigaction(signal, nullptr, &action);
    return action;
}

TEST(CrashHandlers, RestorePutsBackWhatTheyReplaced)
{
    const int signals[] = {SIGSEGV, SIGBUS, SIGFPE, SIGILL};
    for (int signal : signals)
        setHandler(signal, earlierHandler);

    kelvoCrashHandlersInstall();
    kelvoCrashHandlersInstall(); /* a second call must not save our own handler as the earlier one */
    for (int signal : signals) {
        struct sigaction ours = current(signal);
        EXPECT_EQ(ours.sa_flags & (SA_SIGINFO | SA_NODEFER | SA_RESETHAND), SA_SIGINFO | SA_NODEFER | SA_RESETHAND);
        EXPECT_NE(ours.sa_handler, earlierHandler);
    }
    setHandler(SIGFPE, laterHandler); /* someone replaced ours after us: theirs stays */

    kelvoCrashHandlersRestore();
    EXPECT_EQ(current(SIGSEGV).sa_handler, earlierHandler);
    EXPECT_EQ(current(SIGBUS).sa_handler, earlierHandler);
    EXPECT_EQ(current(SIGILL).sa_handler, earlierHandler);
    EXPECT_EQ(current(SIGFPE).sa_handler, laterHandler);

    for (int signal : signals)
        setHandler(signal, SIG_DFL);
}

} // namespace
