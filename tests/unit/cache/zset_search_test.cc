// Searches in stored sorted-set ranges without the engine: the score searches at, between, below
// and above entries and over runs of equal scores, against the covered bounds of a part; the lex
// searches with members that begin one another; the rank mapping read from either end; and what
// whole queries get from a stored range, LIMIT included.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "cache/zset_search.h"
#include "runtime/cfgvals.h"
#include "shm/shmalloc.h"
#include "support/shm_check.h"

namespace {

constexpr uint64_t MiB = 1 << 20;

struct Node {
    kelvoNodeShape shape = KELVO_NODE_NIL;
    std::string text;
    double dval = 0;
    std::vector<Node> children;
};

kelvoNode shapeOf(const void *p)
{
    auto *n = static_cast<const Node *>(p);
    return {n->shape, n->text.data(), n->text.size(), 0, n->dval, n->children.size()};
}
const void *childOf(const void *p, uint64_t i) { return &static_cast<const Node *>(p)->children[i]; }
const kelvoNodeReader treeReader = {shapeOf, childOf};

using Entries = std::vector<std::pair<std::string, double>>;

constexpr kelvoZSetBound incl(double v) { return {v, 0}; }
constexpr kelvoZSetBound excl(double v) { return {v, 1}; }

/* A stored range of `entries` (ascending), whole or covering [start, end]. */
rk *stored(const Entries &entries, bool whole, int by = 1, bool withscores = true,
           kelvoZSetBound start = incl(-HUGE_VAL), kelvoZSetBound end = incl(HUGE_VAL))
{
    Node reply{KELVO_NODE_AGGREGATE, "", 0, {}};
    for (const auto &[member, score] : entries)
        reply.children.push_back(
            {KELVO_NODE_AGGREGATE, "", 0, {{KELVO_NODE_STRING, member, 0, {}}, {KELVO_NODE_DOUBLE, "", score, {}}}});
    rk *key = kelvoKeyFromNodes(KELVO_ZSET, whole ? KELVO_KEY_FULL : 0, &treeReader, &reply);
    EXPECT_NE(key, nullptr);
    rkZSet *z = kelvoKeyZSet(key);
    z->by = static_cast<uint8_t>(by);
    z->withscores = withscores;
    z->start = start;
    z->end = end;
    return key;
}

struct ZSetSearch : ::testing::Test {
    uint64_t startUsed = 0;
    void SetUp() override
    {
        ASSERT_EQ(kelvoShInitEx(4 * MiB, KELVO_PREFAULT_OFF, KELVO_LOCK_ADAPTIVE_MUTEX), 0);
        startUsed = inUseBytes();
    }
    void TearDown() override
    {
        EXPECT_EQ(inUseBytes(), startUsed) << "the heap does not balance";
        checkHeap();
        kelvoShDestroy();
    }
};

/* --- scores --- */

const Entries kScored = {{"a", 1}, {"b", 2}, {"c", 2}, {"d", 2}, {"e", 3}, {"f", 5}};

struct ScoreCase {
    const char *name;
    kelvoZSetBound bound;
    int64_t start, end;
};

TEST_F(ZSetSearch, ScoreBoundsInAWholeSet)
{
    const ScoreCase cases[] = {
        {"below every score", incl(0), 0, -1},
        {"at the first", incl(1), 0, 0},
        {"past the first, exclusive", excl(1), 1, -1},
        {"at a run of equal scores", incl(2), 1, 3},
        {"over a run, exclusive", excl(2), 4, 0},
        {"between entries", incl(2.5), 4, 3},
        {"at the last", incl(5), 5, 5},
        {"past the last, exclusive", excl(5), 6, 4},
        {"above every score", incl(7), 6, 5},
        {"-inf", incl(-HUGE_VAL), 0, -1},
        {"+inf", incl(HUGE_VAL), 6, 5},
    };
    rk *key = stored(kScored, true);
    for (const ScoreCase &c : cases) {
        EXPECT_EQ(kelvoZSetFindStartIndexByScore(key, c.bound), c.start) << c.name;
        EXPECT_EQ(kelvoZSetFindEndIndexByScore(key, c.bound), c.end) << c.name;
    }
    kelvoKeyFree(key);
}

/* A part covering (1, 5]: the members of 2, 2, 2 and 3 are all the set holds there. */
TEST_F(ZSetSearch, ScoreBoundsAgainstTheCoveredBoundsOfAPart)
{
    const ScoreCase cases[] = {
        {"below the covered start", incl(0.5), -1, -1},
        {"at an exclusive covered start, inclusive", incl(1), -1, -1},
        {"at an exclusive covered start, exclusive", excl(1), 0, -1},
        {"inside, at a run", incl(2), 0, 2},
        {"inside, over a run", excl(2), 3, -1},
        {"at an inclusive covered end", incl(5), 4, 3},
        {"at an inclusive covered end, exclusive", excl(5), 4, 3},
        {"above the covered end", incl(5.5), 4, -1},
    };
    rk *key = stored({{"b", 2}, {"c", 2}, {"d", 2}, {"e", 3}}, false, 1, true, excl(1), incl(5));
    for (const ScoreCase &c : cases) {
        EXPECT_EQ(kelvoZSetFindStartIndexByScore(key, c.bound), c.start) << c.name;
        EXPECT_EQ(kelvoZSetFindEndIndexByScore(key, c.bound), c.end) << c.name;
    }
    kelvoKeyFree(key);

    /* An exclusive covered end refuses an inclusive bound at it, not an exclusive one. */
    key = stored({{"b", 2}}, false, 1, true, incl(1), excl(5));
    EXPECT_EQ(kelvoZSetFindEndIndexByScore(key, incl(5)), -1);
    EXPECT_EQ(kelvoZSetFindEndIndexByScore(key, excl(5)), 0);
    EXPECT_EQ(kelvoZSetFindStartIndexByScore(key, incl(1)), 0);
    kelvoKeyFree(key);
}

/* --- members --- */

struct LexCase {
    const char *bound;
    int64_t start, end;
};

TEST_F(ZSetSearch, LexBoundsWithMembersThatBeginOneAnother)
{
    const LexCase cases[] = {
        {"-", 0, -1}, {"+", 5, 4},  {"[a", 0, 0}, {"(a", 1, -1}, {"[aa", 1, 0}, {"[ab", 1, 1}, {"(ab", 2, 0},
        {"[b", 2, 2}, {"(b", 3, 1}, {"[c", 4, 4}, {"(c", 5, 3},  {"[d", 5, 4},  {"[", 0, -1},  {"(", 0, -1},
    };
    rk *key = stored({{"a", 0}, {"ab", 0}, {"b", 0}, {"bc", 0}, {"c", 0}}, true, 2, false);
    ASSERT_TRUE(kelvoZSetMembersAscend(kelvoKeyZSetConst(key)));
    for (const LexCase &c : cases) {
        kelvoZSetLexBound b;
        ASSERT_TRUE(kelvoZSetParseLex(c.bound, strlen(c.bound), &b)) << c.bound;
        EXPECT_EQ(kelvoZSetFindStartIndexByLex(key, b), c.start) << c.bound;
        EXPECT_EQ(kelvoZSetFindEndIndexByLex(key, b), c.end) << c.bound;
    }
    kelvoKeyFree(key);
}

TEST_F(ZSetSearch, LexNeedsBracketsAWholeSetAndAscendingMembers)
{
    kelvoZSetLexBound b;
    for (const char *refused : {"b", "", "-a", "+b"})
        EXPECT_FALSE(kelvoZSetParseLex(refused, strlen(refused), &b)) << refused;
    ASSERT_TRUE(kelvoZSetParseLex("[b", 2, &b));
    rk *part = stored({{"a", 0}, {"b", 0}}, false, 2, false);
    EXPECT_EQ(kelvoZSetFindStartIndexByLex(part, b), -1);
    EXPECT_EQ(kelvoZSetFindEndIndexByLex(part, b), -1);
    kelvoKeyFree(part);
    /* Scores order b before a: the server's walk would not be a member order. */
    rk *mixed = stored({{"b", 1}, {"a", 2}}, true, 2, false);
    EXPECT_FALSE(kelvoZSetMembersAscend(kelvoKeyZSetConst(mixed)));
    kelvoKeyFree(mixed);
}

/* --- ranks --- */

TEST_F(ZSetSearch, RanksCountFromEitherEndOfAWholeSet)
{
    struct {
        int64_t rank;
        bool rev;
        int64_t index;
    } cases[] = {
        {0, false, 0},   {3, false, 3}, {-1, false, 3}, {-4, false, 0}, {4, false, -1},
        {-5, false, -1}, {0, true, 3},  {-1, true, 0},  {1, true, 2},   {4, true, -1},
    };
    rk *key = stored({{"a", 1}, {"b", 2}, {"c", 3}, {"d", 4}}, true, 0);
    for (const auto &c : cases)
        EXPECT_EQ(kelvoZSetFindIndexByRank(key, c.rank, c.rev), c.index) << c.rank << (c.rev ? " rev" : "");
    kelvoKeyFree(key);
    rk *part = stored({{"a", 1}}, false, 0);
    EXPECT_EQ(kelvoZSetFindIndexByRank(part, 0, false), -1);
    kelvoKeyFree(part);
}

/* --- whole queries --- */

kelvoZSetQuery byRank(int64_t start, int64_t end, bool rev = false)
{
    kelvoZSetQuery q{};
    q.by = 0;
    q.start = start;
    q.end = end;
    q.rev = rev;
    return q;
}

kelvoZSetQuery byScore(kelvoZSetBound low, kelvoZSetBound high, bool rev = false)
{
    kelvoZSetQuery q{};
    q.by = 1;
    q.low = low;
    q.high = high;
    q.rev = rev;
    return q;
}

kelvoZSetQuery limit(kelvoZSetQuery q, int64_t offset, int64_t count)
{
    q.has_limit = true;
    q.offset = offset;
    q.count = count;
    return q;
}

kelvoZSetQuery withScores(kelvoZSetQuery q)
{
    q.withscores = true;
    return q;
}

struct RangeCase {
    const char *name;
    kelvoZSetQuery query;
    kelvoZSetAnswer answer;
    int64_t first, last;
};

void expectRanges(const rk *key, const std::vector<RangeCase> &cases)
{
    for (const RangeCase &c : cases) {
        int64_t first = -7, last = -7;
        kelvoZSetAnswer a = kelvoZSetFindRange(key, c.query, &first, &last);
        EXPECT_EQ(static_cast<int>(a), static_cast<int>(c.answer)) << c.name;
        if (a == kelvoZSetAnswer::Span && c.answer == kelvoZSetAnswer::Span) {
            EXPECT_EQ(first, c.first) << c.name;
            EXPECT_EQ(last, c.last) << c.name;
        }
    }
}

TEST_F(ZSetSearch, QueriesOnAWholeSetStoredByRank)
{
    using A = kelvoZSetAnswer;
    rk *key = stored({{"a", 1}, {"b", 2}, {"c", 3}}, true, 0);
    expectRanges(key, {
                          {"1 2", byRank(1, 2), A::Span, 1, 2},
                          {"rev 0 0", byRank(0, 0, true), A::Span, 2, 2},
                          {"rev 0 1", byRank(0, 1, true), A::Span, 1, 2},
                          {"-2 -1", byRank(-2, -1), A::Span, 1, 2},
                          {"-100 100", byRank(-100, 100), A::Span, 0, 2},
                          {"5 10 past the end", byRank(5, 10), A::Empty, 0, 0},
                          {"2 1 crossed", byRank(2, 1), A::Empty, 0, 0},
                          {"with scores", withScores(byRank(0, -1)), A::Span, 0, 2},
                          {"by score from a rank store", byScore(incl(1), incl(2)), A::Miss, 0, 0},
                      });
    kelvoKeyFree(key);
    rk *bare = stored({{"a", 1}}, true, 0, false);
    expectRanges(bare, {{"scores not stored", withScores(byRank(0, -1)), A::Miss, 0, 0}});
    kelvoKeyFree(bare);
}

TEST_F(ZSetSearch, ScoreQueriesWithLimitOnAWholeSet)
{
    using A = kelvoZSetAnswer;
    const kelvoZSetQuery all = byScore(incl(-HUGE_VAL), incl(HUGE_VAL));
    const kelvoZSetQuery down = byScore(incl(-HUGE_VAL), incl(HUGE_VAL), true);
    rk *key = stored({{"a", 1}, {"b", 2}, {"c", 3}, {"d", 4}}, true);
    expectRanges(key, {
                          {"LIMIT 1 2", limit(all, 1, 2), A::Span, 1, 2},
                          {"LIMIT -1 2", limit(all, -1, 2), A::Empty, 0, 0},
                          {"LIMIT 1 -1", limit(all, 1, -1), A::Span, 1, 3},
                          {"LIMIT 0 0", limit(all, 0, 0), A::Empty, 0, 0},
                          {"LIMIT 9 1", limit(all, 9, 1), A::Empty, 0, 0},
                          {"rev LIMIT 1 2", limit(down, 1, 2), A::Span, 1, 2},
                          {"rev LIMIT 3 5", limit(down, 3, 5), A::Span, 0, 0},
                          {"(1 3", byScore(excl(1), incl(3)), A::Span, 1, 2},
                          {"crossed", byScore(incl(3), incl(1)), A::Empty, 0, 0},
                      });
    kelvoKeyFree(key);
}

/* A part covering [0, 100] answers what lies inside its bounds and nothing reaching past them. */
TEST_F(ZSetSearch, ScoreQueriesOnAPart)
{
    using A = kelvoZSetAnswer;
    rk *key = stored({{"a", 10}, {"b", 20}, {"c", 50}, {"d", 100}}, false, 1, true, incl(0), incl(100));
    expectRanges(key, {
                          {"10 (50", byScore(incl(10), excl(50)), A::Span, 0, 1},
                          {"10 (50 with scores", withScores(byScore(incl(10), excl(50))), A::Span, 0, 1},
                          {"0 100", byScore(incl(0), incl(100)), A::Span, 0, 3},
                          {"0 5, below every entry", byScore(incl(0), incl(5)), A::Empty, 0, 0},
                          {"(100 100", byScore(excl(100), incl(100)), A::Empty, 0, 0},
                          {"10 200", byScore(incl(10), incl(200)), A::Miss, 0, 0},
                          {"-1 50", byScore(incl(-1), incl(50)), A::Miss, 0, 0},
                          {"-inf +inf", byScore(incl(-HUGE_VAL), incl(HUGE_VAL)), A::Miss, 0, 0},
                          {"rev LIMIT 0 2", limit(byScore(incl(0), incl(100), true), 0, 2), A::Span, 2, 3},
                          {"by rank", byRank(0, -1), A::Miss, 0, 0},
                      });
    kelvoKeyFree(key);
    rk *bare = stored({{"a", 10}}, false, 1, false, incl(0), incl(100));
    expectRanges(bare, {{"stored without scores", byScore(incl(0), incl(100)), A::Miss, 0, 0}});
    kelvoKeyFree(bare);
}

} // namespace
