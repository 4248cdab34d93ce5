// The orders a read tries a shard's nodes in: the replica shuffle, same-zone replicas first, the
// zone rule, and the failover candidates of every mode for a failed primary and a failed replica.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "cluster/candidates.h"

namespace {

/* Draws that replay a script; a draw beyond it fails the test. */
struct Draws {
    std::vector<uint32_t> values;
    size_t next = 0;

    static uint32_t draw(void *arg)
    {
        auto *self = static_cast<Draws *>(arg);
        if (self->next >= self->values.size()) {
            ADD_FAILURE() << "an unexpected random draw";
            return 0;
        }
        return self->values[self->next++];
    }
};

std::vector<int64_t> shuffled(std::vector<int64_t> idx, std::vector<uint32_t> draws)
{
    Draws d{std::move(draws)};
    kelvoShuffleNodes(idx.data(), idx.size(), Draws::draw, &d);
    EXPECT_EQ(d.next, d.values.size()) << "one draw for each position from the last down to the second";
    return idx;
}

TEST(Shuffle, EveryDrawSequenceGivesAnotherOrder)
{
    /* Three replicas: a draw modulo 3, then modulo 2; the six sequences are the six orders. */
    std::set<std::vector<int64_t>> orders;
    for (uint32_t first = 0; first < 3; first++)
        for (uint32_t second = 0; second < 2; second++)
            orders.insert(shuffled({7, 8, 9}, {first, second}));
    EXPECT_EQ(orders.size(), 6u);
}

TEST(Shuffle, DrawsAreTakenModuloTheRemainingPositions)
{
    /* 3000000003 is 0 modulo 3 and 3000000001 is 1 modulo 2. */
    EXPECT_EQ(shuffled({7, 8, 9}, {3000000003u, 3000000001u}), shuffled({7, 8, 9}, {0, 1}));
    EXPECT_EQ(shuffled({7, 8, 9}, {0, 1}), (std::vector<int64_t>{9, 8, 7}));
    EXPECT_EQ(shuffled({7, 8, 9}, {2, 1}), (std::vector<int64_t>{7, 8, 9}));
}

TEST(Shuffle, ZeroOrOneReplicaDrawsNothing)
{
    EXPECT_EQ(shuffled({}, {}), std::vector<int64_t>{});
    EXPECT_EQ(shuffled({5}, {}), std::vector<int64_t>{5});
}

bool isEven(int64_t node, void *) { return node % 2 == 0; }

struct FrontCase {
    std::vector<int64_t> in, out;
    uint64_t matched;
};

class MatchesFirst : public ::testing::TestWithParam<FrontCase> {};

TEST_P(MatchesFirst, KeepsTheOrderWithinEachGroup)
{
    FrontCase c = GetParam();
    EXPECT_EQ(kelvoMoveMatchesFirst(c.in.data(), c.in.size(), isEven, nullptr), c.matched);
    EXPECT_EQ(c.in, c.out);
}

INSTANTIATE_TEST_SUITE_P(Zones, MatchesFirst,
                         ::testing::Values(FrontCase{{1, 4, 3, 2, 5, 6}, {4, 2, 6, 1, 3, 5}, 3},
                                           FrontCase{{2, 4}, {2, 4}, 2}, FrontCase{{1, 3}, {1, 3}, 0},
                                           FrontCase{{3, 1, 8}, {8, 3, 1}, 1}, FrontCase{{}, {}, 0}));

struct ZoneCase {
    const char *client, *node;
    bool hello, matches;
};

class ZoneRule : public ::testing::TestWithParam<ZoneCase> {};

TEST_P(ZoneRule, Matches)
{
    const ZoneCase &c = GetParam();
    EXPECT_EQ(kelvoZoneMatches(c.client, strlen(c.client), c.node, strlen(c.node), c.hello), c.matches)
        << "client '" << c.client << "', node '" << c.node << "', hello " << c.hello;
}

INSTANTIATE_TEST_SUITE_P(Zones, ZoneRule,
                         ::testing::Values(ZoneCase{"eu-1a", "eu-1a", true, true},
                                           ZoneCase{"eu-1a", "eu-1b", true, false},
                                           ZoneCase{"eu-1a", "eu-1", true, false},
                                           ZoneCase{"eu-1", "eu-1a", true, false},
                                           /* a node that never answered HELLO may be anywhere */
                                           ZoneCase{"eu-1a", "", false, true},
                                           /* one that answered without a zone is elsewhere */
                                           ZoneCase{"eu-1a", "", true, false},
                                           /* an empty client zone takes nodes that report none */
                                           ZoneCase{"", "", true, true}, ZoneCase{"", "eu-1a", true, false}));

constexpr int64_t kPrimary = 10;

struct FailoverCase {
    const char *name;
    int32_t mode;
    uint64_t replicas;           /* the shard's replicas are 20, 21, ... */
    int64_t failed;              /* kPrimary or a replica */
    std::vector<uint32_t> draws; /* exactly the draws the mode takes */
    std::vector<int64_t> candidates;
};

class Failover : public ::testing::TestWithParam<FailoverCase> {};

TEST_P(Failover, Candidates)
{
    const FailoverCase &c = GetParam();
    std::vector<int64_t> replicas;
    for (uint64_t i = 0; i < c.replicas; i++)
        replicas.push_back(20 + int64_t(i));
    std::vector<int64_t> out(c.replicas + 1, -1);
    Draws d{c.draws};
    uint64_t n = kelvoFailoverCandidates(c.mode, kPrimary, replicas.data(), replicas.size(), c.failed, Draws::draw, &d,
                                         out.data());
    out.resize(n);
    EXPECT_EQ(out, c.candidates);
    EXPECT_EQ(d.next, d.values.size());
}

INSTANTIATE_TEST_SUITE_P(
    Modes, Failover,
    ::testing::Values(FailoverCase{"NonePrimary", KELVO_FAILOVER_NONE, 3, kPrimary, {}, {}},
                      FailoverCase{"NoneReplica", KELVO_FAILOVER_NONE, 3, 21, {}, {}},
                      /* a random replica: the draw is taken modulo the choices */
                      FailoverCase{"RandomReplicaPrimary", KELVO_FAILOVER_RANDOM_REPLICA, 3, kPrimary, {5}, {22}},
                      /* a random other replica: modulo the others, stepping over the failed one's place */
                      FailoverCase{"RandomOtherBelow", KELVO_FAILOVER_RANDOM_REPLICA, 3, 21, {0}, {20}},
                      FailoverCase{"RandomOtherAbove", KELVO_FAILOVER_RANDOM_REPLICA, 3, 21, {1}, {22}},
                      FailoverCase{"RandomOtherFirstFailed", KELVO_FAILOVER_RANDOM_REPLICA, 3, 20, {2}, {21}},
                      /* nothing to choose from: no candidate, and no division by zero */
                      FailoverCase{"RandomNoReplica", KELVO_FAILOVER_RANDOM_REPLICA, 0, kPrimary, {}, {}},
                      FailoverCase{"RandomOnlyReplica", KELVO_FAILOVER_RANDOM_REPLICA, 1, 20, {}, {}},
                      FailoverCase{"PrimaryAfterPrimary", KELVO_FAILOVER_PRIMARY, 3, kPrimary, {}, {}},
                      FailoverCase{"PrimaryAfterReplica", KELVO_FAILOVER_PRIMARY, 3, 22, {}, {kPrimary}},
                      FailoverCase{"ReplicasAfterPrimary", KELVO_FAILOVER_REPLICAS, 3, kPrimary, {}, {20, 21, 22}},
                      FailoverCase{"ReplicasAfterReplica", KELVO_FAILOVER_REPLICAS, 3, 21, {}, {20, 22}},
                      FailoverCase{"ReplicasOnlyReplica", KELVO_FAILOVER_REPLICAS, 1, 20, {}, {}},
                      FailoverCase{"ReplicasNoReplica", KELVO_FAILOVER_REPLICAS, 0, kPrimary, {}, {}},
                      FailoverCase{"AllAfterPrimary", KELVO_FAILOVER_ALL, 3, kPrimary, {}, {20, 21, 22}},
                      FailoverCase{"AllAfterReplica", KELVO_FAILOVER_ALL, 3, 20, {}, {21, 22, kPrimary}},
                      FailoverCase{"AllOnlyReplica", KELVO_FAILOVER_ALL, 1, 20, {}, {kPrimary}}),
    [](const ::testing::TestParamInfo<FailoverCase> &info) { return std::string(info.param.name); });

TEST(Modes, AcceptedValues)
{
    for (int64_t v = -2; v <= 9; v++) {
        EXPECT_EQ(kelvoDistributeModeValid(v), v >= 0 && v <= 4) << v;
        EXPECT_EQ(kelvoFailoverModeValid(v), v == 0 || (v >= 4 && v <= 7)) << v;
    }
}

TEST(FailoverDeath, NodeOutsideTheShard)
{
    int64_t replicas[] = {20, 21};
    int64_t out[3];
    EXPECT_DEATH(kelvoFailoverCandidates(KELVO_FAILOVER_ALL, kPrimary, replicas, 2, 99, Draws::draw, nullptr, out),
                 "pos <= n");
}

} // namespace
