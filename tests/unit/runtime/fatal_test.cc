// Fatal reporters: the exact standard-error line, and the process ends by SIGSEGV.
#include <gtest/gtest.h>

#include "runtime/errors.h"
#include "runtime/fatal.h"

TEST(ErrorCodes, NamesMatchCodes)
{
    EXPECT_STREQ(kelvoErrorCodeToString(KELVO_ERR_NONE), "KELVO_ERR_NONE");
    EXPECT_STREQ(kelvoErrorCodeToString(KELVO_ERR_COMPAT_CLUSTER), "KELVO_ERR_COMPAT_CLUSTER");
    EXPECT_STREQ(kelvoErrorCodeToString(KELVO_ERR_WRONGTYPE), "KELVO_ERR_WRONGTYPE");
}

using FatalDeathTest = ::testing::Test;

static void assertFails(int x) { kelvoAssert(x == 2); }

TEST_F(FatalDeathTest, ReportersPrintTheirLineAndSegfault)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(assertFails(1), testing::KilledBySignal(SIGSEGV),
                "assertFails\\(\\): Assertion 'x == 2' failed at .*fatal_test.cc:[0-9]+");
    EXPECT_EXIT(kelvoUnreachable(), testing::KilledBySignal(SIGSEGV), "Hit 'unreachable' code .*fatal_test.cc:[0-9]+");
    EXPECT_EXIT(kelvoUnimplemented(), testing::KilledBySignal(SIGSEGV),
                "Hit 'unimplemented' code .*fatal_test.cc:[0-9]+");
    EXPECT_EXIT(kelvoPanic("bad %s %d", "thing", 7), testing::KilledBySignal(SIGSEGV),
                "FATAL: fatal_test.cc:[0-9]+:TestBody\\(\\): bad thing 7");
    EXPECT_EXIT(kelvoErrorCodeToString(17), testing::KilledBySignal(SIGSEGV), "Hit 'unreachable' code");
}
