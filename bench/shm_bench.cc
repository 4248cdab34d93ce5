// The shared heap, locks and epoch against their targets, glibc as the
// reference in the same run:
//   malloc + free of 16 B - 4 KiB with 10,000 / 1,000,000 free blocks in the tree;
//   uncontended lock + unlock (with deferral) per kind; epoch begin + end;
//   heap throughput of one process versus as many processes as cores.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdlib>
#include <random>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

#include "runtime/cfgvals.h"
#include "shm/epoch.h"
#include "shm/shared.h"
#include "shm/shmalloc.h"

namespace {

constexpr uint64_t GiB = 1ull << 30;

std::vector<size_t> requestSizes(size_t count, uint64_t seed)
{
    std::mt19937_64 rng(seed);
    std::vector<size_t> sizes(count);
    for (size_t &s : sizes)
        s = 16 + rng() % (4096 - 16 + 1);
    return sizes;
}

// An arena whose tree holds `freeBlocks` free blocks (16 - 512 bytes), each kept apart by a live guard.
void fragmentedArena(int64_t freeBlocks, uint32_t lockKind = KELVO_LOCK_ADAPTIVE_MUTEX)
{
    kelvoShDestroy();
    if (kelvoShInitEx(2 * GiB, KELVO_PREFAULT_OFF, lockKind) != 0)
        abort();
    std::mt19937_64 rng(7);
    std::vector<void *> holes;
    holes.reserve(freeBlocks);
    for (int64_t i = 0; i < freeBlocks; i++) {
        holes.push_back(kelvoShMalloc(16 + rng() % 497));
        kelvoShMalloc(16);
    }
    for (void *p : holes)
        kelvoShFree(p);
}

// A malloc + free pair per iteration over sizes of 16 B - 4 KiB.
template <void *(*Alloc)(size_t), void (*Free)(void *)>
void mallocFreePairs(benchmark::State &state)
{
    auto sizes = requestSizes(4096, 1);
    size_t i = 0;
    for (auto _ : state) {
        void *p = Alloc(sizes[i++ & 4095]);
        benchmark::DoNotOptimize(p);
        Free(p);
    }
}

void BM_ShMallocFree(benchmark::State &state)
{
    fragmentedArena(state.range(0));
    mallocFreePairs<kelvoShMalloc, kelvoShFree>(state);
    state.counters["tree"] = static_cast<double>(kelvoShArenaPtr->tree.count);
    kelvoShDestroy();
}
BENCHMARK(BM_ShMallocFree)->Arg(10000)->Arg(1000000)->Unit(benchmark::kNanosecond);

// The same with glibc, its free lists holding as many blocks of the same sizes.
void BM_GlibcMallocFree(benchmark::State &state)
{
    std::mt19937_64 rng(7);
    std::vector<void *> holes, guards;
    for (int64_t i = 0; i < state.range(0); i++) {
        holes.push_back(malloc(16 + rng() % 497));
        guards.push_back(malloc(16));
    }
    for (void *p : holes)
        free(p);
    mallocFreePairs<malloc, free>(state);
    for (void *p : guards)
        free(p);
}
BENCHMARK(BM_GlibcMallocFree)->Arg(10000)->Arg(1000000)->Unit(benchmark::kNanosecond);

void BM_LockUnlock(benchmark::State &state)
{
    if (kelvoShInitEx(1 << 20, KELVO_PREFAULT_OFF, KELVO_LOCK_SPIN) != 0)
        abort();
    auto *lock = static_cast<kelvoLock *>(kelvoShCalloc(1, sizeof(kelvoLock)));
    kelvoLockInit(lock, static_cast<uint32_t>(state.range(0)));
    state.SetLabel(kelvoLockTypeToString(static_cast<uint32_t>(state.range(0))));
    for (auto _ : state) {
        if (kelvoLockLock(lock) == 0)
            kelvoLockUnlock(lock);
    }
    kelvoShDestroy();
}
BENCHMARK(BM_LockUnlock)->Arg(KELVO_LOCK_SPIN)->Arg(KELVO_LOCK_MUTEX)->Arg(KELVO_LOCK_ADAPTIVE_MUTEX);

void BM_EpochBeginEnd(benchmark::State &state)
{
    kelvoCfgVals.enabled = 1;
    kelvoCfgVals.initialized = 1;
    kelvoCfgVals.initial_readers = 32;
    if (kelvoShInitEx(16 << 20, KELVO_PREFAULT_OFF, KELVO_LOCK_SPIN) != 0 || kelvoInitSharedCache() != 0 ||
        kelvoGlobalEpochInit() != 0)
        abort();
    for (auto _ : state) {
        kelvoGlobalEpochBegin();
        kelvoGlobalEpochEnd();
    }
    kelvoGlobalEpochRelease();
    kelvoSharedData = nullptr;
    kelvoShDestroy();
}
BENCHMARK(BM_EpochBeginEnd);

// Pairs per second of `procs` processes together, each doing `pairs` malloc + free pairs,
// with the allocator lock of the kind given second.
void BM_HeapProcesses(benchmark::State &state)
{
    const int procs = static_cast<int>(state.range(0));
    constexpr int pairs = 200000;
    fragmentedArena(10000, static_cast<uint32_t>(state.range(1)));
    state.SetLabel(kelvoLockTypeToString(static_cast<uint32_t>(state.range(1))));
    auto sizes = requestSizes(4096, 3);
    double seconds = 0;
    for (auto _ : state) {
        auto start = std::chrono::steady_clock::now();
        std::vector<pid_t> pids;
        for (int p = 0; p < procs; p++) {
            pid_t pid = fork();
            if (pid == 0) {
                for (int i = 0; i < pairs; i++)
                    kelvoShFree(kelvoShMalloc(sizes[(i + p * 977) & 4095]));
                _exit(0);
            }
            pids.push_back(pid);
        }
        for (pid_t pid : pids)
            waitpid(pid, nullptr, 0);
        std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
        seconds += took.count();
        state.SetIterationTime(took.count());
    }
    state.counters["pairs_per_s"] = static_cast<double>(procs) * pairs * state.iterations() / seconds;
    kelvoShDestroy();
}
BENCHMARK(BM_HeapProcesses)
    ->ArgsProduct({{1, 2, 4, static_cast<int64_t>(sysconf(_SC_NPROCESSORS_ONLN))},
                   {KELVO_LOCK_SPIN, KELVO_LOCK_MUTEX, KELVO_LOCK_ADAPTIVE_MUTEX}})
    ->UseManualTime()
    ->Iterations(3)
    ->Unit(benchmark::kMillisecond);

} // namespace
