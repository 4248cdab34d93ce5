// Topology replies read into a plain topology: CLUSTER SHARDS and CLUSTER SLOTS in the shapes
// servers give (TLS ports, unknown endpoints, failed and slot-less primaries, primaries over
// several ranges), and replies of other shapes refused. Whatever is accepted keeps every node
// index below the node count.
#include "cluster/execute.h"
#include "cluster/topology.h"
#include "support/command_engine.h"
#include "commands/commands_test_util.h"

#include <string>
#include <vector>

using namespace kelvo_test;

namespace {

std::string bulk(const std::string &s) { return "$" + std::to_string(s.size()) + "\r\n" + s + "\r\n"; }
std::string num(long long v) { return ":" + std::to_string(v) + "\r\n"; }
std::string arr(const std::vector<std::string> &items)
{
    std::string out = "*" + std::to_string(items.size()) + "\r\n";
    for (const std::string &i : items)
        out += i;
    return out;
}
std::string map(const std::vector<std::pair<std::string, std::string>> &pairs)
{
    std::string out = "%" + std::to_string(pairs.size()) + "\r\n";
    for (const auto &p : pairs)
        out += bulk(p.first) + p.second;
    return out;
}

struct NodeSpec {
    std::string id, endpoint, ip;
    long long port, tlsPort;
    std::string role, health;
};

std::string shardNode(const NodeSpec &n)
{
    std::vector<std::pair<std::string, std::string>> pairs = {{"id", bulk(n.id)}, {"port", num(n.port)}};
    if (n.tlsPort)
        pairs.push_back({"tls-port", num(n.tlsPort)});
    pairs.push_back({"ip", bulk(n.ip)});
    pairs.push_back({"endpoint", bulk(n.endpoint)});
    pairs.push_back({"role", bulk(n.role)});
    pairs.push_back({"replication-offset", num(0)});
    pairs.push_back({"health", bulk(n.health)});
    return map(pairs);
}

std::string shard(const std::vector<long long> &ranges, const std::vector<NodeSpec> &nodes)
{
    std::vector<std::string> slots, list;
    for (long long r : ranges)
        slots.push_back(num(r));
    for (const NodeSpec &n : nodes)
        list.push_back(shardNode(n));
    return map({{"slots", arr(slots)}, {"nodes", arr(list)}});
}

NodeSpec primary(const std::string &id, long long port)
{
    return {id, "127.0.0.1", "127.0.0.1", port, 0, "master", "online"};
}
NodeSpec replica(const std::string &id, long long port, const std::string &health = "online")
{
    return {id, "127.0.0.1", "127.0.0.1", port, 0, "replica", health};
}

/* Every index the topology holds names one of its nodes. */
void expectIndexesInRange(const kelvoTopology &t)
{
    for (int32_t owner : t.slots)
        ASSERT_LT(owner, int32_t(t.count));
    for (uint32_t i = 0; i < t.count; i++)
        ASSERT_LT(t.nodes[i].primary, int64_t(t.count));
}

/* "host:port flags primary" per node, and the owner of a few slots. */
std::string describe(const kelvoTopology &t)
{
    std::string out;
    for (uint32_t i = 0; i < t.count; i++) {
        const kelvoTopoNode &n = t.nodes[i];
        out += std::string(ZSTR_VAL(n.host)) + ":" + std::to_string(n.port) + " f" + std::to_string(n.flags) + " p" +
               std::to_string(n.primary) + "; ";
    }
    for (uint32_t s : {0u, 5460u, 5461u, 16383u})
        out += "s" + std::to_string(s) + "=" + std::to_string(t.slots[s]) + " ";
    return out;
}

struct Case {
    const char *name;
    std::string reply;
    bool shards;
    bool tls;
    int rc;
    bool covered;
    std::string expected; /* describe() when accepted */
};

class TopologyReply : public ::testing::TestWithParam<Case> {};

TEST_P(TopologyReply, ReadsWhatTheServerSaid)
{
    const Case &c = GetParam();
    Reply reply(c.reply);
    zend_string *asked = zend_string_init("10.0.0.9", 8, 0);
    kelvoTopology *topo = static_cast<kelvoTopology *>(emalloc(sizeof(kelvoTopology)));
    kelvoTopologyInit(topo);
    int rc = c.shards ? kelvoTopologyFromShards(topo, reply.get(), asked, c.tls)
                      : kelvoTopologyFromSlots(topo, reply.get(), asked);
    EXPECT_EQ(rc, c.rc);
    expectIndexesInRange(*topo);
    if (rc == 0) {
        EXPECT_EQ(kelvoTopologyCovered(topo), c.covered);
        EXPECT_EQ(describe(*topo), c.expected);
    } else {
        EXPECT_EQ(topo->count, 0u);
    }
    kelvoTopologyRelease(topo);
    efree(topo);
    zend_string_release(asked);
}

const std::string threeShards = arr({shard({0, 5460}, {primary("a", 7000), replica("d", 7003)}),
                                     shard({5461, 10922}, {replica("e", 7004, "loading"), primary("b", 7001)}),
                                     shard({10923, 16383}, {primary("c", 7002), replica("f", 7005)})});

INSTANTIATE_TEST_SUITE_P(
    Cases, TopologyReply,
    ::testing::Values(
        Case{"shards", threeShards, true, false, 0, true,
             "127.0.0.1:7000 f1 p-1; 127.0.0.1:7003 f0 p0; 127.0.0.1:7001 f1 p-1; 127.0.0.1:7004 f4 p2; "
             "127.0.0.1:7002 f1 p-1; 127.0.0.1:7005 f0 p4; s0=0 s5460=0 s5461=2 s16383=4 "},
        Case{"tls ports, falling back to the port",
             arr({shard({0, 16383}, {{"a", "127.0.0.1", "127.0.0.1", 7000, 8000, "master", "online"},
                                     {"b", "127.0.0.1", "127.0.0.1", 7001, 0, "replica", "online"}})}),
             true, true, 0, true, "127.0.0.1:8000 f1 p-1; 127.0.0.1:7001 f0 p0; s0=0 s5460=0 s5461=0 s16383=0 "},
        Case{"an unknown endpoint is the ip, no ip the node asked",
             arr({shard({0, 16383}, {{"a", "?", "127.0.0.2", 7000, 0, "master", "online"},
                                     {"b", "", "", 7001, 0, "replica", "online"}})}),
             true, false, 0, true, "127.0.0.2:7000 f1 p-1; 10.0.0.9:7001 f0 p0; s0=0 s5460=0 s5461=0 s16383=0 "},
        Case{"a failed primary without slots owns nothing and is no live primary",
             arr({shard({0, 16383}, {primary("a", 7000)}),
                  shard({}, {{"z", "127.0.0.1", "127.0.0.1", 7009, 0, "master", "failed"}})}),
             true, false, 0, true, "127.0.0.1:7000 f1 p-1; 127.0.0.1:7009 f5 p-1; s0=0 s5460=0 s5461=0 s16383=0 "},
        Case{"a node that joined nothing covers nothing", arr({shard({}, {primary("a", 7000)})}), true, false, 0, false,
             "127.0.0.1:7000 f1 p-1; s0=-1 s5460=-1 s5461=-1 s16383=-1 "},
        Case{"slots of a shard without a primary", arr({shard({0, 100}, {replica("d", 7003)})}), true, false, -1, false,
             ""},
        Case{"an odd slot list", arr({shard({0}, {primary("a", 7000)})}), true, false, -1, false, ""},
        Case{"a slot past the last", arr({shard({0, 16384}, {primary("a", 7000)})}), true, false, -1, false, ""},
        Case{"a range ending before it starts", arr({shard({9, 3}, {primary("a", 7000)})}), true, false, -1, false, ""},
        Case{"a node without a port", arr({shard({0, 16383}, {primary("a", 0)})}), true, false, -1, false, ""},
        Case{"a node without an id",
             arr({map({{"slots", arr({num(0), num(16383)})},
                       {"nodes",
                        arr({map({{"port", num(7000)}, {"role", bulk("master")}, {"health", bulk("online")}})})}})}),
             true, false, -1, false, ""},
        Case{"not an array", bulk("no"), true, false, -1, false, ""},
        Case{"slots: a primary over two ranges is one node",
             arr({arr({num(0), num(99), arr({bulk("127.0.0.1"), num(7000), bulk("a")}),
                       arr({bulk("127.0.0.1"), num(7003), bulk("d")})}),
                  arr({num(100), num(16383),
                       arr({bulk(""), num(7000), bulk("a"),
                            map({{"hostname", bulk("node-a")}, {"ip", bulk("127.0.0.1")}})}),
                       arr({bulk("127.0.0.1"), num(7003), bulk("d")})})}),
             false, false, 0, true, "127.0.0.1:7000 f1 p-1; 127.0.0.1:7003 f0 p0; s0=0 s5460=0 s5461=0 s16383=0 "},
        Case{"slots: an empty host is the node asked",
             arr({arr({num(0), num(16383), arr({bulk(""), num(7000), bulk("a")})})}), false, false, 0, true,
             "10.0.0.9:7000 f1 p-1; s0=0 s5460=0 s5461=0 s16383=0 "},
        Case{"slots: a gap leaves slots uncovered",
             arr({arr({num(0), num(100), arr({bulk("h"), num(7000), bulk("a")})})}), false, false, 0, false,
             "h:7000 f1 p-1; s0=0 s5460=-1 s5461=-1 s16383=-1 "},
        Case{
            "slots: a replica listed as a primary elsewhere",
            arr({arr({num(0), num(10), arr({bulk("h"), num(7000), bulk("a")}), arr({bulk("h"), num(7001), bulk("b")})}),
                 arr({num(11), num(20), arr({bulk("h"), num(7001), bulk("b")})})}),
            false, false, -1, false, ""},
        Case{"slots: a description too short", arr({arr({num(0), num(16383), arr({bulk("h"), num(7000)})})}), false,
             false, -1, false, ""}),
    [](const ::testing::TestParamInfo<Case> &info) {
        std::string name;
        for (const char *p = info.param.name; *p; p++)
            name += isalnum(static_cast<unsigned char>(*p)) ? *p : '_';
        return name;
    });

} // namespace

namespace {

struct AddressCase {
    const char *text;
    bool ok;
    size_t hostLen;
    zend_long port;
};

class RedirectionAddress : public ::testing::TestWithParam<AddressCase> {};

TEST_P(RedirectionAddress, SplitsAtTheLastColon)
{
    const AddressCase &c = GetParam();
    size_t hostLen = 0;
    zend_long port = 0;
    ASSERT_EQ(kelvoClusterSplitAddress(c.text, strlen(c.text), &hostLen, &port), c.ok) << c.text;
    if (c.ok) {
        EXPECT_EQ(hostLen, c.hostLen) << c.text;
        EXPECT_EQ(port, c.port) << c.text;
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, RedirectionAddress,
                         ::testing::Values(AddressCase{"127.0.0.1:7000", true, 9, 7000},
                                           AddressCase{"::1:7000", true, 3, 7000},
                                           AddressCase{"fe80::1:2:65535", true, 9, 65535},
                                           AddressCase{"node-a:1", true, 6, 1}, AddressCase{"h:", false, 0, 0},
                                           AddressCase{"h:0", false, 0, 0}, AddressCase{"h:65536", false, 0, 0},
                                           AddressCase{"h:99999999999999999999", false, 0, 0},
                                           AddressCase{"h:70x", false, 0, 0}, AddressCase{"nocolon", false, 0, 0}));

} // namespace
