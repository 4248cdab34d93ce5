// The admission sketch, the HyperLogLog count and an eviction pass against their targets:
// a sketch increment at depth 4 at most 25 ns alone and 300 ns with eight processes on one
// key; the count of a cached dense HyperLogLog at most 100 ns; an eviction pass over a million
// entries at most 1 ms.
//   BM_SketchIncr                 one process, one key, depth 4
//   BM_SketchIncrProcesses/N      N processes incrementing one key: ns per increment, averaged
//   BM_HllCountCachedDense        a dense value whose header holds a valid cardinality
//   BM_HllCountDenseRegisters     the same value with its cached cardinality marked invalid
//   BM_EvictionPass/N             one lru pass (128 samples per database) over N entries
#include <benchmark/benchmark.h>

#include <ctime>
#include <cstdlib>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

#include "cache/cache.h"
#include "cache/cms.h"
#include "cache/evict.h"
#include "cache/hll.h"
#include "cache/keylease.h"
#include "cache/keys.h"
#include "runtime/cfgvals.h"
#include "shm/epoch.h"
#include "shm/shared.h"
#include "shm/shmalloc.h"

namespace {

struct Arena {
    kelvoEndpoint *ep = nullptr;
    rdb *set = nullptr;
    uint16_t lease = 0;

    explicit Arena(uint64_t bytes)
    {
        kelvoCfgVals.enabled = 1;
        kelvoCfgVals.initialized = 1;
        kelvoCfgVals.initial_readers = 64;
        kelvoCfgVals.databases = 16;
        kelvoCfgVals.max_db_writers = 4;
        kelvoCfgVals.max_endpoint_dbs = 1;
        kelvoCfgVals.key_leases = 32;
        kelvoCfgVals.cache_lock = KELVO_LOCK_ADAPTIVE_MUTEX;
        kelvoCfgVals.maxmemory_pct = 95;
        uint32_t reserve;
        if (kelvoShInitEx(bytes, KELVO_PREFAULT_OFF, KELVO_LOCK_ADAPTIVE_MUTEX) != 0 || kelvoInitSharedCache() != 0 ||
            kelvoCacheInitRoot(&reserve) != 0 || kelvoGlobalEpochInit() != 0)
            abort();
        kelvoMapSetSeed(kelvoCache()->seed);
        kelvoCmsGlobalInit();
        kelvoHllGlobalInit();
        std::string uri = "tcp://default@127.0.0.1:6379?cache=1&tracking=1";
        ep = kelvoEndpointGetOrCreate(uri.data(), uri.size());
        if (!ep || kelvoCacheAttach(ep, &lease, &set) != KELVO_ATTACH_DONE)
            abort();
    }
    ~Arena()
    {
        kelvoGlobalEpochRelease();
        kelvoSharedData = nullptr;
        kelvoShDestroy();
    }
};

uint64_t cpuNanos(void)
{
    struct timespec ts;
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return uint64_t(ts.tv_sec) * 1000000000 + uint64_t(ts.tv_nsec);
}

void BM_SketchIncr(benchmark::State &state)
{
    Arena arena(64 << 20);
    kelvoCms *cms = kelvoCmsCreate(4, 65536);
    kelvoCmsIndex idx;
    kelvoCmsDeriveHash(cms, &idx, kelvoCacheHash("hot", 3));
    for (auto _ : state)
        kelvoCmsIncr(cms, &idx, KELVO_CMS_READS);
}
BENCHMARK(BM_SketchIncr);

/* Each process times its own increments of one key in processor time; the counter is their average. */
void BM_SketchIncrProcesses(benchmark::State &state)
{
    const int procs = int(state.range(0));
    constexpr int increments = 5000000;
    Arena arena(64 << 20);
    kelvoCms *cms = kelvoCmsCreate(4, 65536);
    auto *ns = static_cast<double *>(kelvoShCalloc(size_t(procs), sizeof(double)));
    double average = 0;
    for (auto _ : state) {
        std::vector<pid_t> pids;
        for (int p = 0; p < procs; p++) {
            pid_t pid = fork();
            if (pid == 0) {
                kelvoCmsIndex idx;
                kelvoCmsDeriveHash(cms, &idx, kelvoCacheHash("hot", 3));
                uint64_t start = cpuNanos();
                for (int i = 0; i < increments; i++)
                    kelvoCmsIncr(cms, &idx, KELVO_CMS_READS);
                ns[p] = double(cpuNanos() - start) / increments;
                _exit(0);
            }
            pids.push_back(pid);
        }
        for (pid_t pid : pids)
            waitpid(pid, nullptr, 0);
        average = 0;
        for (int p = 0; p < procs; p++)
            average += ns[p] / procs;
    }
    state.counters["ns_per_increment"] = average;
}
BENCHMARK(BM_SketchIncrProcesses)->Arg(1)->Arg(8)->Iterations(3)->Unit(benchmark::kMillisecond);

std::string denseValue(bool cacheValid)
{
    std::string v = "HYLL";
    v += std::string(12, '\0');
    v[8] = char(0x39);
    v[9] = char(0x30);
    if (!cacheValid)
        v[15] = char(0x80);
    std::string registers(KELVO_HLL_DENSE_BYTES, '\0');
    for (size_t i = 0; i < registers.size(); i++)
        registers[i] = char((i * 2654435761u) >> 24);
    return v + registers;
}

void BM_HllCountCachedDense(benchmark::State &state)
{
    std::string v = denseValue(true);
    uint64_t n;
    for (auto _ : state) {
        benchmark::DoNotOptimize(kelvoHllCount(v.data(), v.size(), &n));
        benchmark::DoNotOptimize(n);
    }
}
BENCHMARK(BM_HllCountCachedDense);

void BM_HllCountDenseRegisters(benchmark::State &state)
{
    std::string v = denseValue(false);
    uint64_t n;
    for (auto _ : state) {
        benchmark::DoNotOptimize(kelvoHllCount(v.data(), v.size(), &n));
        benchmark::DoNotOptimize(n);
    }
}
BENCHMARK(BM_HllCountDenseRegisters)->Unit(benchmark::kMicrosecond);

/* Passes over a filled database set; every pass's victims are put back so the set stays full. */
void BM_EvictionPass(benchmark::State &state)
{
    const size_t entries = size_t(state.range(0));
    Arena arena(1ull << 30);
    uint32_t now = uint32_t(time(nullptr));
    for (size_t i = 0; i < entries; i++) {
        std::string key = "key:" + std::to_string(i);
        rk *v = rkStringKeyAlloc("v", 1, KELVO_KEY_FULL);
        kelvoCacheEntry *e =
            kelvoCacheEntryCreate(key.data(), key.size(), v, arena.lease, kelvoLeaseToken(arena.lease));
        if (!e || kelvoCacheEntryStore(arena.set, uint32_t(i % 16), e) != 0)
            abort();
        e->atime = now - uint32_t(i % 3600);
    }
    for (auto _ : state) {
        benchmark::DoNotOptimize(kelvoEvictKeys(128, KELVO_EVICTION_LRU));
        state.PauseTiming();
        for (int i = 0; i < 4 && kelvoGlobalEpochPending() > 0; i++)
            kelvoGlobalEpochPoll();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_EvictionPass)->Arg(1000000)->Unit(benchmark::kMicrosecond);

} // namespace
