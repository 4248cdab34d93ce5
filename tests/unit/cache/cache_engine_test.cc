// The cache as client links meet it, inside an engine that started the module, against the
// harness's server, with forked PHP workers: one endpoint and one cached database set for
// workers on one server, the writer limit and the retry of a refused attachment, a killed
// writer's entries withdrawn, flushes under load, the records of a process's attachments,
// _getKeys and the endpoint's server facts.
#include <algorithm>
#include <csignal>
#include <cstdlib>
#include <string>
#include <vector>

#include "cache/attach.h"
#include "cache/cache.h"
#include "cache/keylease.h"
#include "cache/keys.h"
#include "client/object.h"
#include "link/pool.h"
#include "runtime/kelvo.h"
#include "shm/epoch.h"
#include "shm/shared.h"
#include "shm/shmalloc.h"
#include "support/command_engine.h"
#include "support/shm_fork.h"

extern "C" {
#include "php_main.h"
}

namespace {

int startupWithKelvo(sapi_module_struct *sapi) { return php_module_startup(sapi, &kelvo_module_entry); }

const bool moduleLoaded = (php_embed_module.startup = startupWithKelvo, true);

std::string port()
{
    const char *value = getenv("KELVO_TEST_PORT");
    return value ? value : "";
}

std::string run(const std::string &code) { return runPhp(code, "cache engine test"); }

/* Makes a client in the PHP global `name` and readies its link: "1" on success. */
std::string connect(const char *name)
{
    return run(std::string("$") + name + " = new Kelvo\\Kelvo('127.0.0.1', " + port() + "); $out = $" + name +
               "->ping();");
}

robj *client(const char *name)
{
    return kelvoGetObjectZVal(zend_hash_str_find_deref(&EG(symbol_table), name, strlen(name)));
}

/* A pipe a forked worker reports through and waits on. */
struct Channel {
    int up[2], down[2];
    Channel() { EXPECT_TRUE(pipe(up) == 0 && pipe(down) == 0); }
    ~Channel()
    {
        for (int fd : {up[0], up[1], down[0], down[1]})
            close(fd);
    }
    template <typename T>
    bool report(const T &value)
    {
        return write(up[1], &value, sizeof value) == sizeof value;
    }
    template <typename T>
    T receive()
    {
        T value{};
        EXPECT_EQ(read(up[0], &value, sizeof value), ssize_t(sizeof value));
        return value;
    }
    void release(int workers)
    {
        for (int i = 0; i < workers; i++)
            EXPECT_EQ(write(down[1], "x", 1), 1);
    }
    bool awaitRelease()
    {
        char c;
        return read(down[0], &c, 1) == 1;
    }
};

/* What a worker saw of its link. */
struct Attachment {
    kelvoEndpoint *ep;
    rdb *db;
    uint16_t lease;
};

Attachment attachmentOf(robj *ro) { return {ro->link.ep, ro->link.rdb, ro->link.lease}; }

bool storeString(robj *ro, const std::string &key, const std::string &value)
{
    rk *v = rkStringKeyAlloc(value.data(), value.size(), KELVO_KEY_FULL);
    kelvoCacheEntry *e =
        kelvoCacheEntryCreate(key.data(), key.size(), v, ro->link.lease, kelvoLeaseToken(ro->link.lease));
    if (!e) {
        kelvoKeyFree(v);
        return false;
    }
    if (kelvoCacheEntryStore(ro->link.rdb, ro->link.db, e) == 0)
        return true;
    kelvoCacheEntryFree(e);
    return false;
}

/* A worker's life: connect, report its attachment, wait to be released, end its request. */
bool attachedWorker(Channel &channel)
{
    if (connect("c") != "1")
        return false;
    channel.report(attachmentOf(client("c")));
    bool released = channel.awaitRelease();
    run("$c->close(); unset($c);"); // the link gives its attachment back (a pooled one would keep it)
    return released;
}

struct CacheEngine : ::testing::Test {
    void SetUp() override
    {
        ASSERT_TRUE(moduleLoaded);
        ASSERT_FALSE(port().empty()) << "KELVO_TEST_PORT is not set: run the tests through scripts/test";
        ASSERT_TRUE(kelvoCacheUsable());
    }
    void TearDown() override
    {
        EngineEnvironment::nextRequest();
        // Links the request left in the pool would keep their writer places into the next test.
        std::vector<kelvoPLink *> pooled;
        void *record;
        ZEND_HASH_FOREACH_PTR(kelvoPLinks(), record)
        {
            if (!static_cast<kelvoPLink *>(record)->inUse)
                pooled.push_back(static_cast<kelvoPLink *>(record));
        }
        ZEND_HASH_FOREACH_END();
        for (kelvoPLink *p : pooled)
            kelvoPLinkClose(p);
        // Reclaiming retired entries is the periodic tasks' work; here the test does it.
        for (int i = 0; i < 16 && kelvoGlobalEpochPending() > 0; i++)
            kelvoGlobalEpochPoll();
    }
};

TEST_F(CacheEngine, WorkersOnOneServerShareOneEndpointAndOneCachedDatabaseSet)
{
    constexpr int workers = 16;
    Channel channel;
    auto *go = static_cast<uint32_t *>(kelvoShCalloc(1, sizeof(uint32_t)));
    std::vector<pid_t> pids;
    for (int i = 0; i < workers; i++) {
        pids.push_back(forkChild([&] {
            while (!__atomic_load_n(go, __ATOMIC_ACQUIRE))
                __builtin_ia32_pause();
            return attachedWorker(channel);
        }));
    }
    __atomic_store_n(go, 1, __ATOMIC_RELEASE);
    std::vector<Attachment> seen;
    for (int i = 0; i < workers; i++)
        seen.push_back(channel.receive<Attachment>());
    ASSERT_EQ(connect("c"), "1");
    robj *mine = client("c");
    int attached = 0;
    for (const Attachment &a : seen) {
        EXPECT_EQ(a.ep, mine->link.ep) << "one endpoint for one server identity";
        attached += a.db != nullptr;
        if (a.db) {
            EXPECT_EQ(a.db, mine->link.ep->rdbs);
        }
    }
    EXPECT_EQ(attached, int(kelvoCfgVals.max_db_writers)) << "the default writer limit";
    EXPECT_EQ(mine->link.ep->rdb_count, 1u);
    channel.release(workers);
    for (pid_t pid : pids)
        EXPECT_EQ(waitChild(pid), 0);
    kelvoShFree(go);
}

TEST_F(CacheEngine, ALinkRefusedForWantOfRoomAttachesAtItsNextSyncAndTurnsTrackingOn)
{
    int writers = int(kelvoCfgVals.max_db_writers);
    Channel channel;
    std::vector<pid_t> pids;
    for (int i = 0; i < writers; i++) {
        pids.push_back(forkChild([&] { return attachedWorker(channel); }));
    }
    for (int i = 0; i < writers; i++)
        ASSERT_NE(channel.receive<Attachment>().db, nullptr);

    ASSERT_EQ(connect("late"), "1");
    robj *late = client("late");
    EXPECT_EQ(late->link.rdb, nullptr);
    EXPECT_EQ(late->link.lease, KELVO_LEASE_FAILED);
    EXPECT_EQ(run("$out = json_encode($late->rawCommand('CLIENT', 'TRACKINGINFO')[1]);"), "[\"off\"]");

    // One writer leaves; the late link takes its place at its next command.
    channel.release(1);
    pid_t ended = waitpid(-1, nullptr, 0);
    pids.erase(std::find(pids.begin(), pids.end(), ended));
    EXPECT_EQ(run("$out = json_encode($late->rawCommand('CLIENT', 'TRACKINGINFO')[1]);"), "[\"on\"]");
    EXPECT_NE(late->link.rdb, nullptr);
    EXPECT_TRUE(kelvoLeaseIsSlot(late->link.lease));
    channel.release(writers - 1);
    for (pid_t pid : pids)
        waitChild(pid);
}

TEST_F(CacheEngine, AKilledWritersEntriesAreNoLongerServed)
{
    Channel channel;
    pid_t writer = forkChild([&] {
        if (connect("c") != "1" || !storeString(client("c"), "killed:k", "v"))
            return false;
        /* Idle between requests, its pooled link armed for the signal reader: what it stored stays
         * servable while it lives, however long the parent takes to look. */
        php_request_shutdown(nullptr);
        channel.report(1);
        pause();
        return true;
    });
    ASSERT_EQ(channel.receive<int>(), 1);
    ASSERT_EQ(connect("p"), "1");
    EXPECT_EQ(run("$out = var_export($p->isTracked('killed:k'), true);"), "true");
    kill(writer, SIGKILL);
    EXPECT_EQ(waitChild(writer), 128 + SIGKILL);
    // Ended writers are looked for at most once a second, by whichever process syncs first.
    std::string tracked = "true";
    for (int i = 0; i < 300 && tracked == "true"; i++) {
        usleep(100000);
        tracked = run("$p->ping(); $out = var_export($p->isTracked('killed:k'), true);");
    }
    EXPECT_EQ(tracked, "false");
}

TEST_F(CacheEngine, FlushesUnderLoadNeverServeAnotherKeysValue)
{
    constexpr int workers = 3;
    auto *stop = static_cast<uint32_t *>(kelvoShCalloc(1, sizeof(uint32_t)));
    std::vector<pid_t> pids;
    for (int w = 0; w < workers; w++) {
        pids.push_back(forkChild([&, w] {
            if (connect("c") != "1")
                return false;
            robj *ro = client("c");
            for (unsigned n = 0; !__atomic_load_n(stop, __ATOMIC_ACQUIRE); n++) {
                std::string key = "load:" + std::to_string(w) + ":" + std::to_string(n % 300);
                if (ro->link.rdb)
                    storeString(ro, key, key);
                kelvoGlobalEpochBegin();
                const rk *v = kelvoCacheGetLen(ro->link.ep, 0, key.data(), key.size());
                std::string read;
                if (v) {
                    uint32_t length;
                    const char *bytes = kelvoKeyStringConst(v, &length);
                    read.assign(bytes, length);
                }
                kelvoGlobalEpochEnd();
                if (v && read != key)
                    return false;
            }
            run("unset($c);");
            return true;
        }));
    }
    // For a second the parent flushes every endpoint while the workers store and read.
    for (int i = 0; i < 1000; i++) {
        EXPECT_EQ(run("$out = var_export(Kelvo\\Kelvo::flushMemory(), true);"), "true");
        usleep(1000);
    }
    __atomic_store_n(stop, 1, __ATOMIC_RELEASE);
    for (pid_t pid : pids)
        EXPECT_EQ(waitChild(pid), 0);
    kelvoShFree(stop);
}

TEST_F(CacheEngine, EveryLeaseOfAProcessIsRecordedAndGivenBackAtItsEnd)
{
    ASSERT_EQ(waitChild(forkChild([&] {
                  if (connect("a") != "1" || connect("b") != "1")
                      return false;
                  Attachment a = attachmentOf(client("a")), b = attachmentOf(client("b"));
                  if (!a.db || a.db != b.db || a.lease == b.lease)
                      return false;
                  uint32_t writers = a.db->writers;
                  if (zend_hash_num_elements(&KELVO_G(endpoint_dbs)) != 2)
                      return false;
                  kelvoReleaseProcessAttachments();
                  // The links still name what they had; nothing is released twice when they go.
                  client("a")->link.rdb = client("b")->link.rdb = nullptr;
                  run("unset($a, $b);");
                  return a.db->writers == writers - 2 && !kelvoLeaseHeldByMe(a.lease) && !kelvoLeaseHeldByMe(b.lease) &&
                         zend_hash_num_elements(&KELVO_G(endpoint_dbs)) == 0;
              })),
              0);
}

TEST_F(CacheEngine, GetKeysDescribesTheCachedEntriesOfTheLinksDatabase)
{
    ASSERT_EQ(connect("c"), "1");
    robj *ro = client("c");
    ASSERT_NE(ro->link.rdb, nullptr);
    ASSERT_EQ(run("Kelvo\\Kelvo::flushMemory(); $out = json_encode($c->_getKeys());"), "[]");
    ASSERT_TRUE(storeString(ro, "keys:s", "hello"));
    rk *hash = kelvoHashCreate(2);
    ASSERT_EQ(kelvoHashPutString(hash, "f", 1, "vv", 2), 0);
    ASSERT_EQ(kelvoKeySetLen(hash, 3), 0);
    kelvoCacheEntry *e = kelvoCacheEntryCreate("keys:h", 6, hash, ro->link.lease, kelvoLeaseToken(ro->link.lease));
    ASSERT_EQ(kelvoCacheEntryStore(ro->link.rdb, 0, e), 0);
    std::string lease = std::to_string(ro->link.lease), generation = std::to_string(kelvoLeaseToken(ro->link.lease));
    std::string leaseText = "{\"id\":" + lease + ",\"generation\":" + generation + ",\"global\":" + generation + "}";
    std::string keys = run("$k = $c->_getKeys(); ksort($k); $out = json_encode($k);");
    EXPECT_EQ(keys,
              "{\"keys:h\":[{\"type\":\"hash\",\"local-len\":1,\"remote-len\":3,\"size\":3,\"lease\":" + leaseText +
                  "}],\"keys:s\":[{\"type\":\"string\",\"local-len\":5,\"remote-len\":5,\"size\":5,\"lease\":" +
                  leaseText + "}]}");
    EXPECT_EQ(run("$out = var_export([$c->isTracked('keys:s'), $c->isTracked('keys:x')], true);"),
              "array (\n  0 => true,\n  1 => false,\n)");
}

TEST_F(CacheEngine, TheEndpointsServerFactsComeFromOneInfoAMinute)
{
    ASSERT_EQ(connect("c"), "1");
    kelvoEndpoint *ep = client("c")->link.ep;
    ASSERT_NE(ep, nullptr);
    EXPECT_NE(ep->updated, 0u);
    EXPECT_NE(std::string(ep->redis_version), "0.0.0");
    EXPECT_GT(ep->used_memory, 0);
    EXPECT_GE(ep->maxmemory, 0);
    EXPECT_NE(std::string(ep->maxmemory_policy), "unknown");
    // Within the minute nobody asks again; once it has passed, the next command does.
    uint64_t claimed = ep->updated;
    ep->used_memory = -7;
    run("$c->ping();");
    EXPECT_EQ(ep->updated, claimed);
    EXPECT_EQ(ep->used_memory, -7);
    ep->updated = claimed - 60000000;
    run("$c->ping();");
    EXPECT_GT(ep->updated, claimed);
    EXPECT_GT(ep->used_memory, 0);
}

} // namespace
