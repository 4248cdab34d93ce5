// Back-off algorithms with an injected random source that records each draw's range and
// answers with a chosen point of it.
#include "link/backoff.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

/* The client's option shape. */
struct Options {
    uint8_t algorithm;
    uint64_t base;
    uint64_t cap;
};

struct Draw {
    uint64_t lo, hi;
};
std::vector<Draw> draws;
const kelvoBackoffRandFn builtInRand = kelvoBackoffRand;
bool drawHigh = true;

uint64_t fakeRand(uint64_t lo, uint64_t hi)
{
    draws.push_back({lo, hi});
    return drawHigh ? hi : lo;
}

struct BackoffCase {
    const char *name;
    uint32_t algorithm;
    uint64_t base, cap, previous;
    uint32_t attempt;
    bool high;
    uint64_t expected;
    std::vector<Draw> expectedDraws;
};

const BackoffCase cases[] = {
    {"DefaultFirstAttemptDrawsUpToBaseCapped",
     BACKOFF_ALGORITHM_DEFAULT,
     100000,
     50000,
     0,
     0,
     true,
     50000,
     {{0, 100000}}},
    {"DefaultFirstAttemptLow", BACKOFF_ALGORITHM_DEFAULT, 100000, 50000, 0, 0, false, 0, {{0, 100000}}},
    {"DefaultLaterAttemptsAreConstant", BACKOFF_ALGORITHM_DEFAULT, 100000, 50000, 0, 3, true, 50000, {}},
    {"DefaultsGiveNoDelay", BACKOFF_ALGORITHM_DEFAULT, 0, 0, 0, 0, true, 0, {{0, 0}}},
    {"DecorrelatedBetweenBaseAndThreeTimesPrevious",
     BACKOFF_ALGORITHM_DECORRELATED_JITTER,
     100,
     10000,
     1000,
     2,
     true,
     3000,
     {{100, 3000}}},
    {"DecorrelatedCapped", BACKOFF_ALGORITHM_DECORRELATED_JITTER, 100, 2000, 1000, 2, true, 2000, {{100, 3000}}},
    {"DecorrelatedPreviousBelowBase", BACKOFF_ALGORITHM_DECORRELATED_JITTER, 100, 2000, 10, 1, false, 30, {{30, 100}}},
    {"FullJitterDoublesPerAttempt", BACKOFF_ALGORITHM_FULL_JITTER, 10, 1000000, 0, 3, true, 80, {{0, 80}}},
    {"FullJitterWrapsAtTen", BACKOFF_ALGORITHM_FULL_JITTER, 10, 1000000, 0, 10, true, 10, {{0, 10}}},
    {"FullJitterCapped", BACKOFF_ALGORITHM_FULL_JITTER, 10, 50, 0, 3, true, 50, {{0, 50}}},
    {"EqualJitterHalfFixedHalfDrawn", BACKOFF_ALGORITHM_EQUAL_JITTER, 10, 1000000, 0, 2, false, 20, {{0, 40}}},
    {"EqualJitterSaturatesAtTen", BACKOFF_ALGORITHM_EQUAL_JITTER, 1, 1000000, 0, 12, true, 1024, {{0, 1024}}},
    {"ExponentialSaturatesAtTen", BACKOFF_ALGORITHM_EXPONENTIAL, 1, 1000000, 0, 12, true, 1024, {}},
    {"ExponentialCapped", BACKOFF_ALGORITHM_EXPONENTIAL, 100, 500, 0, 4, true, 500, {}},
    {"ExponentialHugeBaseDoesNotWrap",
     BACKOFF_ALGORITHM_EXPONENTIAL,
     UINT64_MAX / 2,
     UINT64_MAX,
     0,
     4,
     true,
     UINT64_MAX,
     {}},
    {"UniformCapped", BACKOFF_ALGORITHM_UNIFORM, 1000, 300, 0, 5, true, 300, {{0, 1000}}},
    {"ConstantIsTheSmallerOfBaseAndCap", BACKOFF_ALGORITHM_CONSTANT, 1000, 300, 0, 5, true, 300, {}},
};

class Backoff : public ::testing::TestWithParam<BackoffCase> {};

TEST_P(Backoff, DelayAndDraws)
{
    const BackoffCase &c = GetParam();
    kelvoBackoffRand = fakeRand;
    draws.clear();
    drawHigh = c.high;
    Options opts{static_cast<uint8_t>(c.algorithm), c.base, c.cap};
    EXPECT_EQ(kelvoBackoff(&opts, c.previous, c.attempt), c.expected);
    ASSERT_EQ(draws.size(), c.expectedDraws.size());
    for (size_t i = 0; i < draws.size(); i++) {
        EXPECT_EQ(draws[i].lo, c.expectedDraws[i].lo);
        EXPECT_EQ(draws[i].hi, c.expectedDraws[i].hi);
    }
}

INSTANTIATE_TEST_SUITE_P(Backoff, Backoff, ::testing::ValuesIn(cases),
                         [](const ::testing::TestParamInfo<BackoffCase> &info) { return info.param.name; });

TEST(BackoffDeathTest, UnknownAlgorithmIsFatal)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    Options opts{7, 1, 1};
    EXPECT_EXIT(kelvoBackoff(&opts, 0, 0), testing::KilledBySignal(SIGSEGV), "Unknown backoff algorithm 7 detected");
}

TEST(Backoff, BuiltInSourceStaysInRange)
{
    for (int i = 0; i < 1000; i++) {
        uint64_t v = builtInRand(10, 20);
        EXPECT_GE(v, 10u);
        EXPECT_LE(v, 20u);
    }
    EXPECT_EQ(builtInRand(5, 5), 5u);
}

} // namespace
