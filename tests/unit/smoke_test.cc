// Checks that the unit-test build itself works: the dependencies link and run.
#include <gtest/gtest.h>
#include <xxhash.h>

TEST(Toolchain, XxhashLinks) { EXPECT_EQ(XXH3_64bits("", 0), XXH3_64bits("", 0)); }
