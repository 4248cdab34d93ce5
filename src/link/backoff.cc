/* Back-off algorithms. */
#include "link/backoff.h"
#include "runtime/fatal.h"

#include <algorithm>
#include <cstdlib>
#include <ctime>

namespace {

uint64_t libcRand(uint64_t lo, uint64_t hi)
{
    if (hi <= lo)
        return lo;
    uint64_t span = hi - lo;
    uint64_t r = (static_cast<uint64_t>(rand()) << 31) ^ static_cast<uint64_t>(rand());
    return span == UINT64_MAX ? r : lo + r % (span + 1);
}

/* base x 2^exp with the power kept in 32 bits, saturating instead of wrapping. */
uint64_t scaled(uint64_t base, uint32_t exp)
{
    uint32_t power = uint32_t{1} << exp;
    return base > UINT64_MAX / power ? UINT64_MAX : base * power;
}

} // namespace

kelvoBackoffRandFn kelvoBackoffRand = libcRand;

uint64_t kelvoBackoffDelay(uint32_t algorithm, uint64_t base, uint64_t cap, uint64_t previous, uint32_t attempt)
{
    switch (algorithm) {
    case BACKOFF_ALGORITHM_DEFAULT:
        return attempt == 0 ? std::min(cap, kelvoBackoffRand(0, base)) : std::min(base, cap);
    case BACKOFF_ALGORITHM_DECORRELATED_JITTER: {
        uint64_t tripled = previous > UINT64_MAX / 3 ? UINT64_MAX : previous * 3;
        return std::min(cap, kelvoBackoffRand(std::min(base, tripled), std::max(base, tripled)));
    }
    case BACKOFF_ALGORITHM_FULL_JITTER:
        return kelvoBackoffRand(0, std::min(cap, scaled(base, attempt % 10)));
    case BACKOFF_ALGORITHM_EQUAL_JITTER: {
        uint64_t v = std::min(cap, scaled(base, std::min(attempt, 10u)));
        return v / 2 + kelvoBackoffRand(0, v) / 2;
    }
    case BACKOFF_ALGORITHM_EXPONENTIAL:
        return std::min(cap, scaled(base, std::min(attempt, 10u)));
    case BACKOFF_ALGORITHM_UNIFORM:
        return std::min(cap, kelvoBackoffRand(0, base));
    case BACKOFF_ALGORITHM_CONSTANT:
        return std::min(base, cap);
    default:
        kelvoPanic("Unknown backoff algorithm %d detected", static_cast<int>(algorithm));
    }
}

void kelvoBackoffWait(uint64_t delay)
{
    if (delay == 0)
        return;
    struct timespec ts;
    ts.tv_sec = static_cast<time_t>(delay / 1000000);
    ts.tv_nsec = static_cast<long>((delay * 1000) % 1000000000);
    nanosleep(&ts, nullptr);
}
