// Command-name lookup: every wire name in three letter cases, and names that miss.
// Target: under 20 ns per lookup.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "catalog/cmdinfo.h"

namespace {

std::vector<std::string> names(bool hits)
{
    std::vector<std::string> out;
    for (int cmd = 0; cmd < REDIS_CMD_MAX; cmd++) {
        std::string upper = kelvoCommandStrings[cmd].name, lower = upper, mixed = upper;
        for (size_t i = 0; i < upper.size(); i++) {
            if (upper[i] >= 'A' && upper[i] <= 'Z') {
                lower[i] = static_cast<char>(upper[i] + 32);
                mixed[i] = i % 2 ? lower[i] : upper[i];
            }
        }
        if (hits) {
            out.insert(out.end(), {upper, lower, mixed});
        } else {
            out.push_back(upper + "X");                       // no such name
            out.push_back(upper.substr(0, upper.size() - 1)); // a prefix (sometimes a name)
            out.push_back("\xC7" + lower.substr(1));          // a non-ASCII first byte
        }
    }
    return out;
}

void lookups(benchmark::State &state, bool hits)
{
    std::vector<std::string> input = names(hits);
    size_t i = 0;
    for (auto _ : state) {
        const std::string &name = input[i];
        int cmd = -1;
        benchmark::DoNotOptimize(kelvoStringToRedisCmd(&cmd, name.data(), name.size()));
        benchmark::DoNotOptimize(cmd);
        if (++i == input.size())
            i = 0;
    }
    state.SetItemsProcessed(state.iterations());
}

void BM_LookupKnownNames(benchmark::State &state) { lookups(state, true); }
void BM_LookupNearMisses(benchmark::State &state) { lookups(state, false); }

void BM_ValidateReplyType(benchmark::State &state)
{
    int cmd = 0, type = 1;
    for (auto _ : state) {
        benchmark::DoNotOptimize(kelvoCmdAcceptsReplyType(cmd, type));
        if (++cmd == REDIS_CMD_MAX)
            cmd = 0;
        type = type % REDIS_REPLY_VERB + 1;
    }
}

} // namespace

BENCHMARK(BM_LookupKnownNames);
BENCHMARK(BM_LookupNearMisses);
BENCHMARK(BM_ValidateReplyType);
