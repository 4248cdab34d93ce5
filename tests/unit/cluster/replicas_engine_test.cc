// Replica reads inside the engine, on a hand-built shard whose replicas are scripted fake
// servers: the ROLE and READONLY steps before a replica's first read, the health question an
// unhealthy replica gets once its wait is over, distribution with same-zone replicas first, and
// failover through the candidates of a mode.
#include "link/link_test_util.h"

#include "cache/cache.h"
#include "client/connection.h"
#include "client/object.h"
#include "cluster/candidates.h"
#include "cluster/replicas.h"

#include <ctime>
#include <memory>
#include <set>
#include <string>
#include <vector>

using namespace linktest;

namespace {

::testing::Environment *const engine = ::testing::AddGlobalTestEnvironment(new EngineEnvironment);

std::string bulk(const std::string &s) { return "$" + std::to_string(s.size()) + "\r\n" + s + "\r\n"; }

std::string array(const std::vector<std::string> &items)
{
    std::string out = "*" + std::to_string(items.size()) + "\r\n";
    for (const std::string &item : items)
        out += item;
    return out;
}

/* A map of already encoded keys and values, in pairs. */
std::string map(const std::vector<std::string> &pairs)
{
    std::string out = "%" + std::to_string(pairs.size() / 2) + "\r\n";
    for (const std::string &item : pairs)
        out += item;
    return out;
}

std::string hello(const std::string &zone = "")
{
    std::vector<std::string> pairs{bulk("server"), bulk("redis"), bulk("version"), bulk("7.2.0")};
    if (!zone.empty()) {
        pairs.push_back(bulk("availability_zone"));
        pairs.push_back(bulk(zone));
    }
    return map(pairs);
}

std::string role(const std::string &kind, const std::string &state)
{
    return array({bulk(kind), bulk("127.0.0.1"), ":6379\r\n", bulk(state), ":100\r\n"});
}
const std::string connectedRole = role("slave", "connected");
const std::string ok = "+OK\r\n";

/* A node's description in CLUSTER SHARDS; `port` is encoded as given ("{port}": the server's own). */
std::string shardNode(const std::string &port, const std::string &health, const std::string &endpoint = "127.0.0.1",
                      const std::string &role = "replica")
{
    /* the id is fixed-length text: "{port}" changes length when the server fills it in */
    std::string id = port == "{port}" ? "self" : "n-" + port;
    return map({bulk("id"), bulk(id), bulk("port"), ":" + port + "\r\n", bulk("ip"), bulk("127.0.0.1"),
                bulk("endpoint"), bulk(endpoint), bulk("role"), bulk(role), bulk("health"), bulk(health)});
}
/* One shard: a primary on port 1, then the given replicas. */
std::string shards(const std::vector<std::string> &replicas)
{
    std::vector<std::string> nodes{shardNode("1", "online", "127.0.0.1", "master")};
    nodes.insert(nodes.end(), replicas.begin(), replicas.end());
    return array({map({bulk("slots"), array({":0\r\n", ":16383\r\n"}), bulk("nodes"), array(nodes)})});
}

/* The server facts a link with the shared cache asks a new endpoint for. */
const std::string info = "=7\r\ntxt:# S\r\n";

/*
 * One fake server: the handshake (HELLO with an optional zone, and INFO for the new endpoint when
 * the cache is on), then `replies` in order ("close": hang up).
 */
struct Fake {
    TempDir dir;
    Child child;
    int port = 0;

    explicit Fake(const std::vector<std::string> &replies, const std::string &zone = "")
    {
        std::string script;
        std::vector<std::string> all{hello(zone), ok, ok};
        if (kelvoCacheUsable())
            all.push_back(info);
        all.insert(all.end(), replies.begin(), replies.end());
        for (const std::string &r : all) {
            if (r == "close") {
                script += "close\n";
                continue;
            }
            script += "reply ";
            for (unsigned char c : r)
                script += c == '\r' ? std::string("\\r") : c == '\n' ? std::string("\\n") : std::string(1, char(c));
            script += "\n";
        }
        writeFile(dir.file("script"), script);
        if (child.start({"python3", KELVO_SOURCE_DIR "/tests/harness/fakeserver", "--record", dir.file("record"),
                         dir.file("script")}))
            port = atoi(child.readLine().c_str());
        EXPECT_NE(port, 0) << "the fake server did not start";
    }
    std::string received() const { return readFile(dir.file("record")); }
    bool got(const char *word) const { return received().find(word) != std::string::npos; }
};

void setIni(const char *name, const char *value)
{
    zend_string *key = zend_string_init(name, strlen(name), 0);
    zend_alter_ini_entry_chars(key, value, strlen(value), PHP_INI_USER, PHP_INI_STAGE_RUNTIME);
    zend_string_release(key);
}

int64_t now() { return static_cast<int64_t>(time(nullptr)); }

constexpr kelvoClusterCommandEntry readRow{nullptr, 0, KELVO_CLUSTER_ROUTABLE | KELVO_CLUSTER_READONLY};
constexpr kelvoClusterCommandEntry writeRow{nullptr, 0, KELVO_CLUSTER_ROUTABLE};

/* One shard by hand: node 0 is the primary (never contacted), the others its replicas. */
class Shard : public ::testing::Test {
  protected:
    FakeFrame frame; /* where the links' failures are thrown */
    kelvoClusterObject *cobj = nullptr;
    std::vector<std::unique_ptr<Fake>> fakes;

    void SetUp() override
    {
        setIni("kelvo.cluster.shard_health_wait_time", "3600");
        cobj = static_cast<kelvoClusterObject *>(ecalloc(1, sizeof *cobj));
        kelvoInitRObj(&cobj->tmpl);
        cobj->node = static_cast<kelvoClusterNode **>(ecalloc(16, sizeof(kelvoClusterNode *)));
        addNode(1, KELVO_NODE_PRIMARY);
    }
    void TearDown() override
    {
        for (uint64_t i = 0; i < cobj->nodes; i++) {
            kelvoClusterNode *node = cobj->node[i];
            if (node->replicaIdx)
                efree(node->replicaIdx);
            kelvoReleaseRObj(&node->ro);
            efree(node);
        }
        efree(cobj->node);
        kelvoReleaseRObj(&cobj->tmpl);
        efree(cobj);
        if (EG(exception))
            zend_clear_exception();
        setIni("kelvo.cluster.shard_health_wait_time", "0");
    }

    zend_long addNode(int port, uint8_t flags)
    {
        auto *node = static_cast<kelvoClusterNode *>(ecalloc(1, sizeof(kelvoClusterNode)));
        kelvoInitRObj(&node->ro);
        node->ro.opts.flags = kelvoOptPhpredisCompat; /* no cache: the handshake is three requests */
        zend_string *host = zend_string_init("127.0.0.1", 9, 0);
        php_url *url = nullptr;
        const char *error = nullptr;
        EXPECT_EQ(kelvoInitRedisInfo(&node->ro.info, false, node->ro.opts.flags, host, port, &url, nullptr, &error), 0);
        zend_string_release(host);
        if (url)
            php_url_free(url);
        node->flags = flags;
        zend_long idx = static_cast<zend_long>(cobj->nodes);
        cobj->node[cobj->nodes++] = node;
        return idx;
    }

    /* A replica of the primary on a fake server with these replies after the handshake. */
    zend_long addReplica(const std::vector<std::string> &replies, const std::string &zone = "", uint8_t flags = 0)
    {
        fakes.push_back(std::make_unique<Fake>(replies, zone));
        zend_long idx = addNode(fakes.back()->port, flags);
        kelvoClusterNode *primary = cobj->node[0];
        primary->replicaIdx =
            static_cast<zend_long *>(erealloc(primary->replicaIdx, (primary->replicas + 1) * sizeof(zend_long)));
        primary->replicaIdx[primary->replicas++] = idx;
        return idx;
    }
    /* A replica skipped until its wait (an hour here) is over. */
    zend_long addWaitingReplica(const std::vector<std::string> &replies, const std::string &zone = "")
    {
        zend_long idx = addReplica(replies, zone, KELVO_NODE_UNHEALTHY);
        node(idx)->lastHealthCheck = now();
        return idx;
    }

    kelvoClusterNode *node(zend_long idx) { return cobj->node[idx]; }
    Fake &fake(zend_long idx) { return *fakes[static_cast<size_t>(idx) - 1]; }
};

struct ReadyCase {
    const char *name;
    std::vector<std::string> replies; /* after the handshake: ROLE's, then READONLY's */
    int rc;
    uint8_t flags; /* READY and UNHEALTHY afterwards */
    bool readonlySent;
    uint32_t linkState;
};

class ReplicaReady : public Shard, public ::testing::WithParamInterface<ReadyCase> {};

TEST_P(ReplicaReady, RoleThenReadonly)
{
    const ReadyCase &c = GetParam();
    zend_long r = addReplica(c.replies);
    int64_t before = now();
    EXPECT_EQ(kelvoClusterEnsureReplicaReady(node(r)), c.rc);
    EXPECT_EQ(node(r)->flags & (KELVO_NODE_READY | KELVO_NODE_UNHEALTHY), c.flags);
    EXPECT_TRUE(fake(r).got("ROLE")) << fake(r).received();
    EXPECT_EQ(fake(r).got("READONLY"), c.readonlySent) << fake(r).received();
    EXPECT_EQ(node(r)->ro.link.state, c.linkState);
    if (c.flags & KELVO_NODE_UNHEALTHY) {
        EXPECT_GE(node(r)->lastHealthCheck, before);
    }
    EXPECT_EQ(EG(exception), nullptr);
}

INSTANTIATE_TEST_SUITE_P(
    Role, ReplicaReady,
    ::testing::Values(
        ReadyCase{"Slave", {connectedRole, ok}, 0, KELVO_NODE_READY, true, KELVO_LINK_READY},
        ReadyCase{"Replica", {role("replica", "connected"), ok}, 0, KELVO_NODE_READY, true, KELVO_LINK_READY},
        ReadyCase{"Connecting", {role("slave", "connecting")}, -1, KELVO_NODE_UNHEALTHY, false, KELVO_LINK_READY},
        ReadyCase{"Syncing", {role("slave", "sync")}, -1, KELVO_NODE_UNHEALTHY, false, KELVO_LINK_READY},
        ReadyCase{"Primary",
                  {array({bulk("master"), ":100\r\n", array({})})},
                  -1,
                  KELVO_NODE_UNHEALTHY,
                  false,
                  KELVO_LINK_READY},
        ReadyCase{"Short",
                  {array({bulk("slave"), bulk("127.0.0.1"), ":6379\r\n"})},
                  -1,
                  KELVO_NODE_UNHEALTHY,
                  false,
                  KELVO_LINK_READY},
        ReadyCase{"Error", {"-ERR unknown command 'ROLE'\r\n"}, -1, KELVO_NODE_UNHEALTHY, false, KELVO_LINK_READY},
        ReadyCase{
            "NotAnArray", {map({bulk("role"), bulk("slave")})}, -1, KELVO_NODE_UNHEALTHY, false, KELVO_LINK_READY},
        /* READONLY refused: not unhealthy, but its link is given up so the next use starts over */
        ReadyCase{"ReadonlyRefused",
                  {connectedRole, "-ERR This instance has cluster support disabled\r\n"},
                  -1,
                  0,
                  true,
                  KELVO_LINK_NONE},
        ReadyCase{"ReadonlyClosed", {connectedRole}, -1, 0, true, KELVO_LINK_NONE}),
    [](const ::testing::TestParamInfo<ReadyCase> &info) { return std::string(info.param.name); });

TEST_F(Shard, UnreachableReplicaIsNotReady)
{
    zend_long r = addNode(1, KELVO_NODE_READY);
    EXPECT_EQ(kelvoClusterEnsureReplicaReady(node(r)), -1);
    EXPECT_EQ(node(r)->flags, 0);
    EXPECT_EQ(EG(exception), nullptr);
}

TEST_F(Shard, ReadyReplicaIsAskedOncePerLink)
{
    zend_long r = addReplica({connectedRole, ok, hello(), ok, ok, connectedRole, ok});
    cobj->distribute = KELVO_DISTRIBUTE_REPLICAS;
    zend_long out = -1;
    ASSERT_EQ(kelvoClusterTryDistribute(&out, 0, cobj), 0);
    ASSERT_EQ(kelvoClusterTryDistribute(&out, 0, cobj), 0);
    EXPECT_EQ(out, r);
    size_t roles = 0;
    for (size_t at = 0; (at = fake(r).received().find("ROLE", at)) != std::string::npos; at++)
        roles++;
    EXPECT_EQ(roles, 1u) << "READONLY holds for the link it was sent on";

    /* A new link needs both again (and the endpoint's facts are not asked again). */
    if (kelvoEndpoint *ep = node(r)->ro.link.ep)
        __atomic_store_n(&ep->updated, UINT64_MAX, __ATOMIC_RELAXED);
    kelvoClusterDiscardFailedNodeLink(node(r));
    ASSERT_EQ(kelvoClusterTryDistribute(&out, 0, cobj), 0);
    EXPECT_EQ(out, r);
    roles = 0;
    for (size_t at = 0; (at = fake(r).received().find("ROLE", at)) != std::string::npos; at++)
        roles++;
    EXPECT_EQ(roles, 2u);
}

struct HealthCase {
    const char *name;
    std::string reply; /* to CLUSTER SHARDS */
    uint8_t before, after;
    int rc;
};

class Health : public Shard, public ::testing::WithParamInterface<HealthCase> {};

TEST_P(Health, OwnEntryDecides)
{
    const HealthCase &c = GetParam();
    zend_long r = addReplica({c.reply}, "", c.before);
    EXPECT_EQ(kelvoClusterNodeCheckHealth(node(r)), c.rc) << fake(r).received() << node(r)->ro.link.errstr;
    EXPECT_EQ(node(r)->flags & KELVO_NODE_UNHEALTHY, c.after);
    EXPECT_TRUE(fake(r).got("CLUSTER"));
}

INSTANTIATE_TEST_SUITE_P(
    Shards, Health,
    ::testing::Values(
        HealthCase{"Online", shards({shardNode("2", "fail"), shardNode("{port}", "online")}), KELVO_NODE_UNHEALTHY, 0,
                   0},
        HealthCase{"Loading", shards({shardNode("{port}", "loading")}), KELVO_NODE_UNHEALTHY, KELVO_NODE_UNHEALTHY, 0},
        HealthCase{"Failed", shards({shardNode("{port}", "fail")}), 0, KELVO_NODE_UNHEALTHY, 0},
        /* found by its ip when the endpoint names something else */
        HealthCase{"ByIp", shards({shardNode("{port}", "online", "node-a.example")}), KELVO_NODE_UNHEALTHY, 0, 0},
        /* not listed: nothing is learnt */
        HealthCase{"Absent", shards({shardNode("2", "online")}), KELVO_NODE_UNHEALTHY, KELVO_NODE_UNHEALTHY, 0},
        HealthCase{"AbsentHealthy", shards({shardNode("2", "fail")}), 0, 0, 0},
        /* promoted meanwhile: it serves */
        HealthCase{"NowPrimary",
                   array({map({bulk("slots"), array({":0\r\n", ":16383\r\n"}), bulk("nodes"),
                               array({shardNode("{port}", "online", "127.0.0.1", "master")})})}),
                   KELVO_NODE_UNHEALTHY, 0, 0},
        HealthCase{"BadShard",
                   array({map({bulk("slots"), array({}), bulk("nodes"), array({map({bulk("id"), bulk("x")})})})}),
                   KELVO_NODE_UNHEALTHY, KELVO_NODE_UNHEALTHY, -1},
        HealthCase{"NotAnArray", "-ERR This instance has cluster support disabled\r\n", KELVO_NODE_UNHEALTHY,
                   KELVO_NODE_UNHEALTHY, -1}),
    [](const ::testing::TestParamInfo<HealthCase> &info) { return std::string(info.param.name); });

TEST_F(Shard, HealthOfAnUnreachableNodeIsUnknown)
{
    zend_long r = addNode(1, KELVO_NODE_UNHEALTHY);
    EXPECT_EQ(kelvoClusterNodeCheckHealth(node(r)), -1);
    EXPECT_EQ(node(r)->flags, KELVO_NODE_UNHEALTHY);
}

TEST_F(Shard, WaitingReplicaIsNotContacted)
{
    zend_long r = addWaitingReplica({connectedRole, ok});
    cobj->distribute = KELVO_DISTRIBUTE_RANDOM_REPLICA;
    zend_long out = -1;
    EXPECT_EQ(kelvoClusterTryDistribute(&out, 0, cobj), -1);
    EXPECT_EQ(out, -1);
    EXPECT_EQ(fake(r).received(), "");
}

TEST_F(Shard, ReplicaBackOnlineAfterItsWait)
{
    zend_long r = addWaitingReplica({shards({shardNode("{port}", "online")}), connectedRole, ok});
    node(r)->lastHealthCheck = now() - 3601;
    cobj->distribute = KELVO_DISTRIBUTE_RANDOM_REPLICA;
    zend_long out = -1;
    int64_t before = now();
    EXPECT_EQ(kelvoClusterTryDistribute(&out, 0, cobj), 0);
    EXPECT_EQ(out, r);
    EXPECT_EQ(node(r)->flags, KELVO_NODE_READY);
    EXPECT_GE(node(r)->lastHealthCheck, before);
}

TEST_F(Shard, ReplicaStillDownAfterItsWait)
{
    zend_long r = addWaitingReplica({shards({shardNode("{port}", "loading")})});
    node(r)->lastHealthCheck = now() - 3601;
    cobj->distribute = KELVO_DISTRIBUTE_REPLICAS;
    zend_long out = -1;
    int64_t before = now();
    EXPECT_EQ(kelvoClusterTryDistribute(&out, 0, cobj), -1);
    EXPECT_EQ(node(r)->flags, KELVO_NODE_UNHEALTHY);
    EXPECT_FALSE(fake(r).got("ROLE"));
    /* asked again only after another wait */
    EXPECT_GE(node(r)->lastHealthCheck, before);
    EXPECT_EQ(kelvoClusterTryDistribute(&out, 0, cobj), -1);
}

TEST_F(Shard, NothingMovesWithoutModeOrReplica)
{
    zend_long out = -1;
    EXPECT_EQ(kelvoClusterTryDistribute(&out, 0, cobj), -1) << "mode none";
    cobj->distribute = KELVO_DISTRIBUTE_REPLICAS;
    EXPECT_EQ(kelvoClusterTryDistribute(&out, 0, cobj), -1) << "no replica";
    zend_long r = addReplica({connectedRole, ok});
    EXPECT_EQ(kelvoClusterTryDistribute(&out, r, cobj), -1) << "a replica's read stays";
    EXPECT_EQ(kelvoClusterTryDistribute(&out, 99, cobj), -1) << "no such node";
    EXPECT_EQ(out, -1);
    EXPECT_EQ(fake(r).received(), "");
}

TEST_F(Shard, ReplicasModeTriesEveryReplica)
{
    zend_long down = addWaitingReplica({});
    zend_long bad = addReplica({role("slave", "connecting")});
    zend_long good = addReplica({connectedRole, ok});
    cobj->distribute = KELVO_DISTRIBUTE_REPLICAS;
    zend_long out = -1;
    EXPECT_EQ(kelvoClusterTryDistribute(&out, 0, cobj), 0);
    EXPECT_EQ(out, good);
    EXPECT_EQ(fake(down).received(), "");
    EXPECT_EQ(node(good)->flags, KELVO_NODE_READY);
    /* the refused one was tried only when the shuffle put it before the good one */
    EXPECT_EQ(node(bad)->flags & KELVO_NODE_READY, 0);
}

/* Replicas in two zones, connected so that they have said where they are. */
class Zones : public Shard {
  protected:
    std::vector<zend_long> near, far;

    void addZoned(std::vector<zend_long> &group, const std::string &zone, bool waiting = false)
    {
        zend_long r = waiting ? addWaitingReplica({connectedRole, ok}, zone) : addReplica({connectedRole, ok}, zone);
        ASSERT_EQ(kelvoSyncObject(&node(r)->ro, KELVO_LINK_READY, true), 0);
        ASSERT_STREQ(node(r)->ro.link.az, zone.c_str());
        group.push_back(r);
    }
    void setZone(const char *zone)
    {
        zval z;
        ZVAL_STRING(&z, zone);
        ASSERT_EQ(kelvoSetOption(&cobj->tmpl, KELVO_OPT_AVAILABILITY_ZONE, &z), 0);
        zval_ptr_dtor(&z);
    }
};

TEST_F(Zones, SameZoneReplicaWheneverOneIsUsable)
{
    addZoned(far, "zone-b");
    addZoned(near, "zone-a");
    addZoned(far, "zone-b");
    addZoned(near, "zone-a");
    setZone("zone-a");
    cobj->distribute = KELVO_DISTRIBUTE_REPLICAS;
    std::set<zend_long> chosen;
    for (int i = 0; i < 24; i++) {
        zend_long out = -1;
        ASSERT_EQ(kelvoClusterTryDistribute(&out, 0, cobj), 0);
        chosen.insert(out);
    }
    EXPECT_EQ(chosen, std::set<zend_long>(near.begin(), near.end()));
    for (zend_long r : far)
        EXPECT_FALSE(fake(r).got("ROLE")) << "a replica of the other zone was asked";
}

TEST_F(Zones, OtherZoneWhenNoSameZoneReplicaIsUsable)
{
    addZoned(near, "zone-a", true);
    addZoned(far, "zone-b");
    setZone("zone-a");
    cobj->distribute = KELVO_DISTRIBUTE_REPLICAS;
    zend_long out = -1;
    EXPECT_EQ(kelvoClusterTryDistribute(&out, 0, cobj), 0);
    EXPECT_EQ(out, far[0]);
}

TEST_F(Zones, WithoutClientZoneAnyReplica)
{
    addZoned(near, "zone-a");
    addZoned(far, "zone-b");
    cobj->distribute = KELVO_DISTRIBUTE_REPLICAS;
    std::set<zend_long> chosen;
    /* Each draw picks either with one chance in two: the two are met unless the shuffle is fixed. */
    for (int i = 0; i < 64 && chosen.size() < 2; i++) {
        zend_long out = -1;
        ASSERT_EQ(kelvoClusterTryDistribute(&out, 0, cobj), 0);
        chosen.insert(out);
    }
    EXPECT_EQ(chosen.size(), 2u);
}

TEST_F(Shard, NoStrategyForWritesOrWithFailoverOff)
{
    addReplica({});
    EXPECT_EQ(kelvoClusterGetFailoverStrategy(&readRow, 0, cobj), nullptr) << "failover off";
    cobj->failover = KELVO_FAILOVER_ALL;
    EXPECT_EQ(kelvoClusterGetFailoverStrategy(&writeRow, 0, cobj), nullptr) << "a write never fails over";
    cobj->failover = KELVO_FAILOVER_PRIMARY;
    EXPECT_EQ(kelvoClusterGetFailoverStrategy(&readRow, 0, cobj), nullptr) << "the primary failed";
    zend_long out = -1;
    EXPECT_EQ(kelvoClusterTryFailover(&out, nullptr, cobj), -1);
}

TEST_F(Shard, FailoverAllTriesTheOtherReplicasThenThePrimary)
{
    zend_long failed = addReplica({});
    zend_long waiting = addWaitingReplica({});
    zend_long good = addReplica({connectedRole, ok});
    cobj->failover = KELVO_FAILOVER_ALL;
    kelvoClusterFailoverStrategy *s = kelvoClusterGetFailoverStrategy(&readRow, failed, cobj);
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(std::vector<zend_long>(s->candidates, s->candidates + s->count),
              (std::vector<zend_long>{waiting, good, 0}));
    zend_long out = -1;
    EXPECT_EQ(kelvoClusterTryFailover(&out, s, cobj), 0);
    EXPECT_EQ(out, good);
    EXPECT_EQ(kelvoClusterTryFailover(&out, s, cobj), 0);
    EXPECT_EQ(out, 0) << "the primary is taken without a question";
    EXPECT_EQ(kelvoClusterTryFailover(&out, s, cobj), -1);
    EXPECT_EQ(fake(waiting).received(), "");
    EXPECT_EQ(fake(failed).received(), "");
    kelvoClusterFreeFailoverStrategy(s);
}

TEST_F(Shard, FailoverPrimaryAfterAReplica)
{
    zend_long failed = addReplica({});
    cobj->failover = KELVO_FAILOVER_PRIMARY;
    kelvoClusterFailoverStrategy *s = kelvoClusterGetFailoverStrategy(&readRow, failed, cobj);
    ASSERT_NE(s, nullptr);
    zend_long out = -1;
    EXPECT_EQ(kelvoClusterTryFailover(&out, s, cobj), 0);
    EXPECT_EQ(out, 0);
    kelvoClusterFreeFailoverStrategy(s);
}

TEST_F(Shard, RandomReplicaFailoverWithTheOnlyReplicaFailed)
{
    zend_long failed = addReplica({});
    cobj->failover = KELVO_FAILOVER_RANDOM_REPLICA;
    EXPECT_EQ(kelvoClusterGetFailoverStrategy(&readRow, failed, cobj), nullptr);
    /* and a shard without any replica when its primary failed */
    kelvoClusterNode *primary = node(0);
    primary->replicas = 0;
    EXPECT_EQ(kelvoClusterGetFailoverStrategy(&readRow, 0, cobj), nullptr);
    primary->replicas = 1;
}

TEST_F(Shard, NodeLeftOutOfItsShardHasNoCandidates)
{
    /* A topology read since listed it under no primary: nothing to move to, and no crash. */
    zend_long orphan = addNode(1, 0);
    cobj->failover = KELVO_FAILOVER_ALL;
    EXPECT_EQ(kelvoClusterGetFailoverStrategy(&readRow, orphan, cobj), nullptr);
}

TEST_F(Shard, TakenCandidateClearsTheFailuresBeforeIt)
{
    zend_long failed = addReplica({});
    cobj->failover = KELVO_FAILOVER_PRIMARY;
    kelvoClusterFailoverStrategy *s = kelvoClusterGetFailoverStrategy(&readRow, failed, cobj);
    ASSERT_NE(s, nullptr);
    zend_long out = -1;
    kelvoThrowException(KELVO_ERR_IO, "Connection refused");
    EXPECT_EQ(kelvoClusterTryFailover(&out, s, cobj), 0);
    EXPECT_EQ(EG(exception), nullptr);
    /* none left: the failure stays for the caller to report */
    kelvoThrowException(KELVO_ERR_IO, "Connection refused");
    EXPECT_EQ(kelvoClusterTryFailover(&out, s, cobj), -1);
    EXPECT_NE(EG(exception), nullptr);
    zend_clear_exception();
    kelvoClusterFreeFailoverStrategy(s);
}

TEST_F(Shard, DiscardedLinkKeepsItsError)
{
    zend_long r = addReplica({});
    ASSERT_EQ(kelvoSyncObject(&node(r)->ro, KELVO_LINK_READY, true), 0);
    node(r)->flags |= KELVO_NODE_READY;
    kelvoLink &link = node(r)->ro.link;
    redisSetError(link.ctx, REDIS_ERR_EOF, "Server closed the connection");
    kelvoClusterDiscardFailedNodeLink(node(r));
    EXPECT_EQ(link.state, KELVO_LINK_NONE);
    EXPECT_EQ(link.ctx, nullptr);
    EXPECT_EQ(link.err, uint32_t(REDIS_ERR_EOF));
    EXPECT_STREQ(link.errstr, "Server closed the connection");
    EXPECT_EQ(node(r)->flags & KELVO_NODE_READY, 0);
}

} // namespace
