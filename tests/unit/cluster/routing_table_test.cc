// The cluster routing table: which commands the cluster client offers, which may be read from
// replicas, which are split per slot and which parse their own arguments, row by row and in
// the counts the table is known by.
#include <gtest/gtest.h>

#include <csignal>
#include <map>
#include <set>
#include <string>

#include "catalog/cmdinfo.h"
#include "cluster/cluster.h"
#include "cluster/routing_callbacks.h"

namespace {

using Names = std::set<std::string>;

const Names notOffered = {
    "BITFIELD",       "COMMANDLOG",     "CMS.INFO",       "CMS.INCRBY",   "CMS.INITBYDIM",  "CMS.INITBYPROB",
    "CMS.MERGE",      "CMS.QUERY",      "DISCARD",        "FCALL",        "FCALL_RO",       "FT.AGGREGATE",
    "FT.ALIASADD",    "FT.ALIASDEL",    "FT.ALIASUPDATE", "FT.ALTER",     "FT.CONFIG",      "FT.CREATE",
    "FT.CURSOR",      "FT.DICTADD",     "FT.DICTDEL",     "FT.DICTDUMP",  "FT.DROPINDEX",   "FT.EXPLAIN",
    "FT.EXPLAINCLI",  "FT.INFO",        "FT.PROFILE",     "FT.SEARCH",    "FT.SPELLCHECK",  "FT.SYNDUMP",
    "FT.SYNUPDATE",   "FT.TAGVALS",     "FUNCTION",       "HOTKEYS",      "JSON.ARRAPPEND", "JSON.ARRINDEX",
    "JSON.ARRINSERT", "JSON.ARRLEN",    "JSON.ARRPOP",    "JSON.ARRTRIM", "JSON.CLEAR",     "JSON.DEBUG",
    "JSON.DEL",       "JSON.FORGET",    "JSON.GET",       "JSON.MERGE",   "JSON.MGET",      "JSON.MSET",
    "JSON.NUMINCRBY", "JSON.NUMMULTBY", "JSON.OBJKEYS",   "JSON.OBJLEN",  "JSON.RESP",      "JSON.SET",
    "JSON.STRAPPEND", "JSON.STRLEN",    "JSON.TOGGLE",    "JSON.TYPE",    "MIGRATE",        "MONITOR",
    "MSETEX",         "PSUBSCRIBE",     "PUNSUBSCRIBE",   "REPLICAOF",    "SELECT",         "SPUBLISH",
    "SSUBSCRIBE",     "SUBSCRIBE",      "SUNSUBSCRIBE",   "SWAPDB",       "UNSUBSCRIBE",    "UNWATCH",
};

const Names readOnly = {
    "BITCOUNT",
    "BITPOS",
    "DBSIZE",
    "DIGEST",
    "DUMP",
    "ECHO",
    "EVALSHA_RO",
    "EVAL_RO",
    "EXISTS",
    "GEODIST",
    "GEOHASH",
    "GEOPOS",
    "GEORADIUSBYMEMBER_RO",
    "GEORADIUS_RO",
    "GEOSEARCH",
    "GET",
    "GETBIT",
    "GETRANGE",
    "HEXISTS",
    "HEXPIRETIME",
    "HGET",
    "HGETALL",
    "HKEYS",
    "HLEN",
    "HMGET",
    "HPEXPIRETIME",
    "HPTTL",
    "HRANDFIELD",
    "HSCAN",
    "HSTRLEN",
    "HTTL",
    "HVALS",
    "INFO",
    "KEYS",
    "LASTSAVE",
    "LCS",
    "LINDEX",
    "LLEN",
    "LPOS",
    "LRANGE",
    "MGET",
    "OBJECT",
    "PFCOUNT",
    "PING",
    "PTTL",
    "PUBSUB",
    "RANDOMKEY",
    "ROLE",
    "SCAN",
    "SCARD",
    "SDIFF",
    "SDIFFCARD",
    "SINTER",
    "SINTERCARD",
    "SISMEMBER",
    "SMEMBERS",
    "SMISMEMBER",
    "SORT_RO",
    "SRANDMEMBER",
    "SSCAN",
    "STRLEN",
    "SUNION",
    "SUNIONCARD",
    "TIME",
    "TTL",
    "TYPE",
    "VCARD",
    "VDIM",
    "VEMB",
    "VGETATTR",
    "VINFO",
    "VISMEMBER",
    "VLINKS",
    "VRANDMEMBER",
    "VRANGE",
    "VSIM",
    "ZCARD",
    "ZCOUNT",
    "ZDIFF",
    "ZINTER",
    "ZINTERCARD",
    "ZLEXCOUNT",
    "ZMSCORE",
    "ZRANDMEMBER",
    "ZRANGE",
    "ZRANGEBYLEX",
    "ZRANGEBYSCORE",
    "ZRANK",
    "ZREVRANGE",
    "ZREVRANGEBYLEX",
    "ZREVRANGEBYSCORE",
    "ZREVRANK",
    "ZSCAN",
    "ZSCORE",
    "ZUNION",
};

const Names split = {"DEL", "MGET", "MSET", "MSETNX", "UNLINK"};

const std::map<std::string, kelvoClusterCallback> callbacks = {
    {"ACL", kelvoClusterAclCmd},
    {"BGREWRITEAOF", kelvoClusterDirectedCmd},
    {"BGSAVE", kelvoClusterBgSaveCmd},
    {"CLIENT", kelvoClusterClientCmd},
    {"CLUSTER", kelvoClusterClusterCmd},
    {"CLUSTERSCAN", kelvoClusterClusterscanCmd},
    {"COMMAND", kelvoClusterCommandCmd},
    {"CONFIG", kelvoClusterConfigCmd},
    {"DBSIZE", kelvoClusterDirectedCmd},
    {"ECHO", kelvoClusterEchoCmd},
    {"FLUSHALL", kelvoClusterFlushCmd},
    {"FLUSHDB", kelvoClusterFlushCmd},
    {"HSCAN", kelvoClusterKeyScanCmd},
    {"INFO", kelvoClusterDirectedVarvalCmd},
    {"LASTSAVE", kelvoClusterDirectedCmd},
    {"OBJECT", kelvoClusterObjectCmd},
    {"PING", kelvoClusterPingCmd},
    {"PUBSUB", kelvoClusterPubSubCmd},
    {"RANDOMKEY", kelvoClusterDirectedCmd},
    {"ROLE", kelvoClusterDirectedCmd},
    {"SAVE", kelvoClusterDirectedCmd},
    {"SCAN", kelvoClusterScanCmd},
    {"SCRIPT", kelvoClusterScriptCmd},
    {"SLOWLOG", kelvoClusterSlowLogCmd},
    {"SSCAN", kelvoClusterKeyScanCmd},
    {"TIME", kelvoClusterDirectedCmd},
    {"WAIT", kelvoClusterWaitCmd},
    {"WAITAOF", kelvoClusterWaitAOFCmd},
    {"ZSCAN", kelvoClusterKeyScanCmd},
};

std::string nameOf(int cmd) { return kelvoCommandStrings[cmd].name; }

uint32_t expectedFlags(const std::string &name)
{
    if (notOffered.count(name))
        return 0;
    uint32_t flags = KELVO_CLUSTER_ROUTABLE;
    if (split.count(name))
        flags |= KELVO_CLUSTER_SPLIT;
    if (readOnly.count(name))
        flags |= KELVO_CLUSTER_READONLY;
    return flags;
}

} // namespace

TEST(ClusterRoutingTable, EveryRowAsItsCommandIsRouted)
{
    for (int cmd = 0; cmd < REDIS_CMD_MAX; cmd++) {
        const kelvoClusterCommandEntry &row = kelvoClusterCommandTable[cmd];
        std::string name = nameOf(cmd);
        EXPECT_EQ(row.flags, expectedFlags(name)) << name;
        if (notOffered.count(name)) {
            EXPECT_EQ(row.cmd, 0) << name;
            EXPECT_EQ(row.callback, nullptr) << name;
            continue;
        }
        EXPECT_EQ(row.cmd, cmd) << name;
        auto callback = callbacks.find(name);
        EXPECT_EQ(row.callback, callback == callbacks.end() ? nullptr : callback->second) << name;
        EXPECT_EQ(kelvoGetClusterCommandRCmd(cmd), &row) << name;
    }
}

TEST(ClusterRoutingTable, RowCounts)
{
    std::map<uint32_t, int> byFlags;
    int withCallback = 0;
    for (int cmd = 0; cmd < REDIS_CMD_MAX; cmd++) {
        const kelvoClusterCommandEntry &row = kelvoClusterCommandTable[cmd];
        if (row.flags == 0) {
            EXPECT_TRUE(row.cmd == 0 && row.callback == nullptr) << nameOf(cmd);
            byFlags[0]++;
            continue;
        }
        byFlags[row.flags]++;
        withCallback += row.callback != nullptr;
    }
    const uint32_t route = KELVO_CLUSTER_ROUTABLE, splits = KELVO_CLUSTER_SPLIT, read = KELVO_CLUSTER_READONLY;
    const std::map<uint32_t, int> expected = {
        {0, 72}, {route, 136}, {route | read, 94}, {route | splits, 4}, {route | splits | read, 1}};
    EXPECT_EQ(byFlags, expected);
    EXPECT_EQ(withCallback, 29);
    EXPECT_EQ(REDIS_CMD_MAX, 307);
}

TEST(ClusterRoutingTable, UnknownCommandRow)
{
    EXPECT_EQ(kelvoClusterUnknownCmd.callback, nullptr);
    EXPECT_EQ(kelvoClusterUnknownCmd.cmd, REDIS_CMD_UNKNOWN);
    EXPECT_EQ(kelvoClusterUnknownCmd.flags, KELVO_CLUSTER_ROUTABLE);
}

using ClusterRoutingTableDeathTest = ::testing::Test;

TEST_F(ClusterRoutingTableDeathTest, RowOfAnIdOutOfRangeOrNotOffered)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(kelvoGetClusterCommandRCmd(REDIS_CMD_MAX), testing::KilledBySignal(SIGSEGV),
                "kelvoGetClusterCommandRCmd\\(\\): Assertion 'cmd < countof\\(kelvoClusterCommandTable\\)' failed");
    EXPECT_EXIT(kelvoGetClusterCommandRCmd(REDIS_CMD_UNKNOWN), testing::KilledBySignal(SIGSEGV),
                "Assertion 'rcc != NULL && rcc->cmd == cmd' failed");
    EXPECT_EXIT(kelvoGetClusterCommandRCmd(REDIS_CMD_BITFIELD), testing::KilledBySignal(SIGSEGV),
                "Assertion 'rcc != NULL && rcc->cmd == cmd' failed");
}
