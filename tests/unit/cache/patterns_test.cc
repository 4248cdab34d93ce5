// The glob test of key patterns: a table of cases, keys holding NUL bytes, and agreement with
// fnmatch(3) without flags on random patterns and keys.
#include <gtest/gtest.h>

#include <fnmatch.h>

#include <random>
#include <string>

#include "cache/patterns.h"

namespace {

int match(const std::string &pattern, const std::string &key)
{
    return kelvoFnMatch(pattern.data(), pattern.size(), key.data(), key.size());
}

struct Case {
    const char *pattern, *key;
    int expected;
};

class Patterns : public ::testing::TestWithParam<Case> {};

TEST_P(Patterns, MatchAsFnmatchWithoutFlags)
{
    const Case &c = GetParam();
    EXPECT_EQ(match(c.pattern, c.key), c.expected) << c.pattern << " ~ " << c.key;
    EXPECT_EQ(fnmatch(c.pattern, c.key, 0) == 0 ? 0 : 1, c.expected) << "fnmatch disagrees on " << c.pattern;
}

INSTANTIATE_TEST_SUITE_P(
    Glob, Patterns,
    ::testing::Values(Case{"*", "", 0}, Case{"*", "anything/at:all", 0}, Case{"user:*", "user:1", 0},
                      Case{"user:*", "users:1", 1}, Case{"user:tmp*", "user:tmp1", 0}, Case{"123", "123", 0},
                      Case{"123", "1234", 1}, Case{"a?c", "abc", 0}, Case{"a?c", "ac", 1}, Case{"a*/c", "a/b/c", 0},
                      Case{"*.x", ".x", 0}, Case{"[abc]z", "bz", 0}, Case{"[!abc]z", "bz", 1}, Case{"[^abc]z", "dz", 0},
                      Case{"[a-c]", "b", 0}, Case{"[a-c]", "d", 1}, Case{"[]a]", "]", 0}, Case{"[[:digit:]]x", "7x", 0},
                      Case{"[[:digit:]]x", "ax", 1}, Case{"\\*", "*", 0}, Case{"\\*", "a", 1}, Case{"[ab", "[ab", 0},
                      Case{"a[", "a[", 0}, Case{"*a*b*", "xxaxxbxx", 0}, Case{"*a*b", "xxbxxa", 1}, Case{"", "", 0},
                      Case{"", "a", 1}, Case{"**", "", 0}));

TEST(PatternsWholeKey, ANulByteCannotEndTheKeyEarly)
{
    std::string key("user:1\0secret", 13);
    EXPECT_EQ(match("user:1", key), 1);
    EXPECT_EQ(match("*secret", key), 0);
    EXPECT_EQ(match("user:?", key), 1);
    EXPECT_EQ(match(std::string("user:1\0*", 8), key), 0);
    EXPECT_EQ(match("user:1?secret", key), 0);
}

TEST(PatternsWholeKey, AgreeWithFnmatchOnRandomInput)
{
    std::mt19937 rng(5);
    const std::string alphabet = "ab*?[]!-^\\:c/.";
    const std::string keyAlphabet = "abc[]!-^\\:/.*?";
    for (int i = 0; i < 200000; i++) {
        std::string pattern, key;
        for (size_t n = rng() % 7; n > 0; n--)
            pattern += alphabet[rng() % alphabet.size()];
        for (size_t n = rng() % 7; n > 0; n--)
            key += keyAlphabet[rng() % keyAlphabet.size()];
        int expected = fnmatch(pattern.c_str(), key.c_str(), 0) == 0 ? 0 : 1;
        ASSERT_EQ(match(pattern, key), expected) << "pattern '" << pattern << "' key '" << key << "'";
    }
}

} // namespace
