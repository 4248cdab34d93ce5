/*
 * Back-off between retries of a failed send or reconnect: the seven algorithms a client can
 * choose, over a random source the caller may replace (tests inject their own).
 * Pure computation: no state, no lock, engine-free.
 */
#ifndef KELVO_BACKOFF_H
#define KELVO_BACKOFF_H

#include <cstdint>

enum kelvoBackoffAlgorithm : uint32_t {
    BACKOFF_ALGORITHM_DEFAULT = 0,
    BACKOFF_ALGORITHM_DECORRELATED_JITTER = 1,
    BACKOFF_ALGORITHM_FULL_JITTER = 2,
    BACKOFF_ALGORITHM_EQUAL_JITTER = 3,
    BACKOFF_ALGORITHM_EXPONENTIAL = 4,
    BACKOFF_ALGORITHM_UNIFORM = 5,
    BACKOFF_ALGORITHM_CONSTANT = 6,
};

/* A uniform draw from lo..hi inclusive. */
typedef uint64_t (*kelvoBackoffRandFn)(uint64_t lo, uint64_t hi);

/* The random source kelvoBackoff draws from: the engine's Mersenne Twister in the module
 * (set at start-up), the C library's rand() until then. */
extern kelvoBackoffRandFn kelvoBackoffRand;

/*
 * The next delay in microseconds after `previous` for attempt `attempt` (0 after the first
 * failure), with `base` and `cap` in microseconds. Each algorithm draws at most one number.
 * An unknown algorithm is fatal.
 */
uint64_t kelvoBackoffDelay(uint32_t algorithm, uint64_t base, uint64_t cap, uint64_t previous, uint32_t attempt);

/* The same over a client's back-off options (kelvoBackoffOptions: algorithm, base, cap). */
template <typename Options>
inline uint64_t kelvoBackoff(const Options *opts, uint64_t previous, uint32_t attempt)
{
    return kelvoBackoffDelay(opts->algorithm, opts->base, opts->cap, previous, attempt);
}

/* Sleeps `delay` microseconds (nothing for 0). */
void kelvoBackoffWait(uint64_t delay);

#endif
