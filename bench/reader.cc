// Reader throughput: kelvo's RESP3 reader against the reader of Debian's
// libhiredis 0.14, on the same RESP2 frames, each fed whole and taken as
// one reply tree. Prints the CPU-time ratio (kelvo / hiredis) per frame at the
// end (CPU time: wall time is noisy on a shared machine).
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <dlfcn.h>
#include <map>
#include <string>

#include "resp3/resp3.h"

namespace {

struct Peer {
    void *(*create)();
    void (*destroy)(void *);
    int (*feed)(void *, const char *, size_t);
    int (*getReply)(void *, void **);
    void (*freeReply)(void *);
};

const Peer &peer()
{
    static const Peer p = [] {
        void *h = dlopen(KELVO_READER_PEER, RTLD_NOW | RTLD_LOCAL | RTLD_DEEPBIND);
        if (!h) {
            fprintf(stderr, "cannot load the hiredis peer: %s\n", dlerror());
            exit(1);
        }
        auto sym = [h](const char *name) {
            void *f = dlsym(h, name);
            if (!f) {
                fprintf(stderr, "peer lacks %s\n", name);
                exit(1);
            }
            return f;
        };
        return Peer{reinterpret_cast<void *(*)()>(sym("peerReaderCreate")),
                    reinterpret_cast<void (*)(void *)>(sym("peerReaderFree")),
                    reinterpret_cast<int (*)(void *, const char *, size_t)>(sym("peerReaderFeed")),
                    reinterpret_cast<int (*)(void *, void **)>(sym("peerReaderGetReply")),
                    reinterpret_cast<void (*)(void *)>(sym("peerFreeReply"))};
    }();
    return p;
}

std::string arrayOfStrings()
{
    std::string s = "*1000\r\n";
    for (int i = 0; i < 1000; i++) {
        char item[16];
        snprintf(item, sizeof item, "%010d", i);
        s += "$10\r\n" + std::string(item) + "\r\n";
    }
    return s;
}

std::string bulkMiB() { return "$1048576\r\n" + std::string(1 << 20, 'v') + "\r\n"; }

std::string smallIntegers()
{
    std::string s = "*10000\r\n";
    for (int i = 0; i < 10000; i++)
        s += ":" + std::to_string(i % 1000) + "\r\n";
    return s;
}

const std::string &frame(int which)
{
    static const std::string frames[] = {arrayOfStrings(), bulkMiB(), smallIntegers()};
    return frames[which];
}

void Kelvo(benchmark::State &state)
{
    const std::string &f = frame(int(state.range(0)));
    redisReader *r = redisReaderCreate();
    for (auto _ : state) {
        void *reply = nullptr;
        if (redisReaderFeed(r, f.data(), f.size()) != REDIS_OK || redisReaderGetReply(r, &reply) != REDIS_OK || !reply)
            state.SkipWithError("kelvo reader failed");
        freeReplyObject(reply);
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(f.size()));
    redisReaderFree(r);
}

void Hiredis(benchmark::State &state)
{
    const Peer &p = peer();
    const std::string &f = frame(int(state.range(0)));
    void *r = p.create();
    for (auto _ : state) {
        void *reply = nullptr;
        if (p.feed(r, f.data(), f.size()) != 0 || p.getReply(r, &reply) != 0 || !reply)
            state.SkipWithError("hiredis reader failed");
        p.freeReply(reply);
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(f.size()));
    p.destroy(r);
}

const char *const kFrameNames[] = {"array_1000x10B", "bulk_1MiB", "integers_10000"};

void frameArgs(benchmark::internal::Benchmark *b)
{
    for (int i = 0; i < 3; i++)
        b->Arg(i);
}

BENCHMARK(Kelvo)->Apply(frameArgs);
BENCHMARK(Hiredis)->Apply(frameArgs);

// The console output plus one ratio line per frame.
class RatioReporter : public benchmark::ConsoleReporter {
  public:
    void ReportRuns(const std::vector<Run> &runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        /* One figure per benchmark: the median when repeated, else the run. */
        for (const Run &run : runs) {
            bool median = run.run_type == Run::RT_Aggregate && run.aggregate_name == "median";
            if ((median || run.run_type == Run::RT_Iteration) && run.iterations > 0)
                times_[run.run_name.str()] = run.cpu_accumulated_time / double(run.iterations);
        }
    }
    void Finalize() override
    {
        ConsoleReporter::Finalize();
        for (int i = 0; i < 3; i++) {
            std::string arg = "/" + std::to_string(i);
            double k = times_["Kelvo" + arg], h = times_["Hiredis" + arg];
            if (k > 0 && h > 0)
                printf("ratio %-16s kelvo/hiredis CPU time %.2f (kelvo %.2fx the speed of hiredis)\n", kFrameNames[i],
                       k / h, h / k);
        }
    }

  private:
    std::map<std::string, double> times_;
};

} // namespace

int main(int argc, char **argv)
{
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
