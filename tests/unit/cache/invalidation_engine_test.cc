// Invalidation delivery across real worker processes inside the engine, against the harness's
// server: workers cache keys through their links and go idle between requests (their pooled
// links armed for the signal reader), an outside client writes, and no process serves the old
// value any more; a burst of deletes; a storing worker busy inside its request; a worker killed
// while idle; termination by SIGTERM with each disposition; the pool keeping one connection.
#include <algorithm>
#include <array>
#include <csignal>
#include <cstdlib>
#include <ctime>
#include <random>
#include <string>
#include <vector>

#include "cache/attach.h"
#include "cache/cache.h"
#include "cache/keylease.h"
#include "cache/keys.h"
#include "client/object.h"
#include "runtime/kelvo.h"
#include "runtime/lifecycle.h"
#include "shm/epoch.h"
#include "shm/shared.h"
#include "shm/shmalloc.h"
#include "support/module_engine.h"
#include "support/shm_fork.h"

namespace {

std::string port() { return harnessSetting("KELVO_TEST_PORT"); }

std::string run(const std::string &code) { return runPhp(code, "invalidation engine test"); }

robj *client(const char *name)
{
    return kelvoGetObjectZVal(zend_hash_str_find_deref(&EG(symbol_table), name, strlen(name)));
}

/* A new client in $name on the harness's server, ready (its CLIENT ID in $out). */
std::string connect(const char *name)
{
    return run(std::string("$") + name + " = new Kelvo\\Kelvo('127.0.0.1', " + port() + "); $out = $" + name +
               "->rawCommand('CLIENT', 'ID');");
}

/* Reads `key` through the client (so the server tracks it for that link) and caches the reply. */
bool cacheThrough(const char *name, uint32_t db, const std::string &key)
{
    std::string value = run(std::string("$") + name + "->select(" + std::to_string(db) + "); $out = $" + name +
                            "->get('" + key + "');");
    robj *ro = client(name);
    if (!ro->link.rdb || value == "(none)")
        return false;
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

/* The servable value of a key as any process would see it, or "(none)". */
std::string lookup(kelvoEndpoint *ep, uint32_t db, const std::string &key)
{
    if (kelvoGlobalEpochInit() != 0)
        return "(no epoch)";
    kelvoGlobalEpochBegin();
    const rk *v = kelvoCacheGetLen(ep, db, key.data(), key.size());
    std::string text = "(none)";
    if (v) {
        uint32_t length = 0;
        const char *bytes = kelvoKeyStringConst(v, &length);
        text.assign(bytes, length);
    }
    kelvoGlobalEpochEnd();
    return text;
}

uint64_t nowMs()
{
    struct timespec ts;
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return uint64_t(ts.tv_sec) * 1000 + uint64_t(ts.tv_nsec) / 1000000;
}

/* The clock a sync's periodic work reads. */
uint64_t wallMicros()
{
    struct timespec ts;
    clock_gettime(CLOCK_REALTIME, &ts);
    return uint64_t(ts.tv_sec) * 1000000 + uint64_t(ts.tv_nsec) / 1000;
}

/* Far beyond any delivery: only a lost invalidation reaches it, however busy the machine. */
constexpr long GONE_LIMIT_MS = 30000;

/* Waits (up to `limitMs`) until `key` is served by no one: the milliseconds it took, or -1. */
long untilGone(kelvoEndpoint *ep, uint32_t db, const std::string &key, long limitMs = GONE_LIMIT_MS)
{
    uint64_t start = nowMs();
    while (lookup(ep, db, key) != "(none)") {
        if (long(nowMs() - start) > limitMs)
            return -1;
        usleep(200);
    }
    return long(nowMs() - start);
}

/* A worker between requests, as a web server's idle worker: no request runs until the next start. */
void endRequest() { php_request_shutdown(nullptr); }
bool startRequest() { return php_request_startup() == SUCCESS; }

/*
 * Pipes workers report through and wait on. Each worker waits on a pipe of its own: on a shared
 * one a worker quick to finish its round could take a slower one's release and run a round ahead.
 */
struct Channel {
    int up[2];
    std::vector<std::array<int, 2>> down;
    explicit Channel(int workers = 1) : down(size_t(workers))
    {
        EXPECT_EQ(pipe(up), 0);
        for (auto &pair : down)
            EXPECT_EQ(pipe(pair.data()), 0);
    }
    ~Channel()
    {
        for (int fd : up)
            close(fd);
        for (auto &pair : down)
            for (int fd : pair)
                close(fd);
    }
    void report(long value) { EXPECT_EQ(write(up[1], &value, sizeof value), ssize_t(sizeof value)); }
    long receive()
    {
        long value = 0;
        EXPECT_EQ(read(up[0], &value, sizeof value), ssize_t(sizeof value));
        return value;
    }
    /* Every worker may start its next round. */
    void release()
    {
        for (auto &pair : down)
            EXPECT_EQ(write(pair[1], "x", 1), 1);
    }
    /* Blocks like an idle worker between requests; SIGIO interrupts and restarts the read. */
    bool awaitRelease(int worker = 0)
    {
        char c;
        return read(down[size_t(worker)][0], &c, 1) == 1;
    }
};

/*
 * A forked worker: a failure is reported (0) so the parent never waits on it for ever, and a
 * worker gives back what it attached before it ends (it ends without the engine's shutdown).
 */
template <typename F>
pid_t forkWorker(Channel &channel, F body)
{
    return forkChild([&channel, body] {
        // Only the parent writes down and reads up: a parent that gives up leaves no worker waiting.
        for (auto &pair : channel.down)
            close(pair[1]);
        close(channel.up[0]);
        bool ok = body();
        if (!ok)
            channel.report(0);
        kelvoReleaseProcessAttachments();
        return ok;
    });
}

struct Delivery : ::testing::Test {
    void SetUp() override
    {
        ASSERT_TRUE(kelvoModuleLoaded);
        ASSERT_FALSE(port().empty()) << "KELVO_TEST_PORT is not set: run the tests through scripts/test";
        ASSERT_TRUE(kelvoCacheUsable());
        ASSERT_NE(connect("outside"), "(none)");
    }
    void TearDown() override
    {
        EngineEnvironment::nextRequest();
        for (int i = 0; i < 16 && kelvoGlobalEpochPending() > 0; i++)
            kelvoGlobalEpochPoll();
    }
    kelvoEndpoint *endpoint() { return client("outside")->link.ep; }
};

} // namespace

TEST_F(Delivery, IdleWorkersStopServingAKeyAnOutsideClientWrote)
{
    constexpr int workers = 3, rounds = 6;
    Channel channel(workers);
    std::mt19937 random(uint32_t(time(nullptr)));
    std::vector<std::string> keys;
    for (int r = 0; r < rounds; r++)
        for (int w = 0; w < workers; w++)
            keys.push_back("idle:" + std::to_string(random()) + ":" + std::to_string(w));
    auto dbOf = [](int round) { return uint32_t(round % 2 ? 3 : 0); };
    for (int r = 0; r < rounds; r++)
        for (int w = 0; w < workers; w++)
            run("$outside->select(" + std::to_string(dbOf(r)) + "); $outside->set('" + keys[r * workers + w] +
                "', 'old');");

    std::vector<pid_t> pids;
    for (int w = 0; w < workers; w++) {
        pids.push_back(forkWorker(channel, [&, w] {
            std::string id;
            endRequest();
            for (int r = 0; r < rounds; r++) {
                if (!startRequest()) // the link of the last round comes back from the pool
                    return false;
                std::string now = connect("c");
                if (r > 0 && now != id)
                    return false;
                id = now;
                if (!cacheThrough("c", dbOf(r), keys[r * workers + w]))
                    return false;
                endRequest(); // the link goes idle, armed for the signal reader
                channel.report(1);
                if (!channel.awaitRelease(w))
                    return false;
            }
            return true;
        }));
    }
    for (int r = 0; r < rounds; r++) {
        for (int w = 0; w < workers; w++)
            ASSERT_EQ(channel.receive(), 1) << "round " << r;
        for (int w = 0; w < workers; w++) {
            const std::string &key = keys[r * workers + w];
            ASSERT_EQ(lookup(endpoint(), dbOf(r), key), "old") << key;
            run("$outside->select(" + std::to_string(dbOf(r)) + "); $outside->set('" + key + "', 'new');");
            EXPECT_GE(untilGone(endpoint(), dbOf(r), key), 0) << "round " << r << ", key " << key;
        }
        channel.release();
    }
    for (pid_t pid : pids)
        EXPECT_EQ(waitChild(pid), 0);
}

TEST_F(Delivery, FlushesReachIdleWorkers)
{
    for (const char *flush : {"flushdb", "flushall"}) {
        // Written before the worker reads it: a write of our own racing its read could drop its entry.
        run("$outside->select(0); $outside->set('flushed:k', 'v');");
        Channel channel;
        pid_t worker = forkWorker(channel, [&] {
            endRequest();
            startRequest();
            connect("c");
            if (!cacheThrough("c", 0, "flushed:k"))
                return false;
            endRequest();
            channel.report(1);
            return channel.awaitRelease();
        });
        ASSERT_EQ(channel.receive(), 1) << flush;
        ASSERT_EQ(lookup(endpoint(), 0, "flushed:k"), "v");
        run(std::string("$outside->") + flush + "();");
        EXPECT_GE(untilGone(endpoint(), 0, "flushed:k"), 0) << flush;
        channel.release();
        EXPECT_EQ(waitChild(worker), 0);
    }
}

TEST_F(Delivery, ABurstOfDeletesWhileAWorkerIdles)
{
    constexpr int total = 50000, cached = 2000, chunk = 1000;
    for (int i = 0; i < total; i += chunk)
        run("$a = []; for ($i = " + std::to_string(i) + "; $i < " + std::to_string(i + chunk) +
            "; $i++) $a['burst:' . $i] = $i; $outside->select(0); $outside->mset($a);");
    Channel channel;
    pid_t worker = forkWorker(channel, [&] {
        endRequest();
        startRequest();
        std::string id = connect("c");
        for (int i = 0; i < total; i += chunk)
            run("$k = []; for ($i = " + std::to_string(i) + "; $i < " + std::to_string(i + chunk) +
                "; $i++) $k[] = 'burst:' . $i; $c->mget($k);");
        for (int i = 0; i < cached; i++)
            if (!cacheThrough("c", 0, "burst:" + std::to_string(i * (total / cached))))
                return false;
        endRequest();
        channel.report(1);
        if (!channel.awaitRelease() || !startRequest()) // the ring is replayed; the link comes back healthy
            return false;
        return connect("c") == id && run("$out = $c->ping();") == "1";
    });
    ASSERT_EQ(channel.receive(), 1);
    for (int i = 0; i < total; i += chunk)
        run("$k = []; for ($i = " + std::to_string(i) + "; $i < " + std::to_string(i + chunk) +
            "; $i++) $k[] = 'burst:' . $i; $outside->del($k);");
    int left = 0;
    uint64_t deadline = nowMs() + GONE_LIMIT_MS;
    for (int i = 0; i < cached; i++)
        left += untilGone(endpoint(), 0, "burst:" + std::to_string(i * (total / cached)),
                          long(deadline - std::min(deadline, nowMs()))) < 0;
    EXPECT_EQ(left, 0);
    channel.release();
    EXPECT_EQ(waitChild(worker), 0);
}

TEST_F(Delivery, AStoringWorkerBusyInItsRequestIsNotServedBeyondTheBound)
{
    /* Written before the worker reads it, so that it caches this value. */
    run("$outside->select(0); $outside->set('busy:k', 'old');");
    Channel channel;
    pid_t worker = forkWorker(channel, [&] {
        connect("c");
        if (!cacheThrough("c", 0, "busy:k"))
            return false;
        channel.report(client("c")->link.lease);
        return channel.awaitRelease(); // inside its request: it reads no pushes
    });
    uint16_t lease = uint16_t(channel.receive());
    ASSERT_TRUE(kelvoLeaseIsSlot(lease));
    uint64_t drained = __atomic_load_n(&kelvoLeaseSlotOf(lease)->drained, __ATOMIC_ACQUIRE);
    ASSERT_NE(drained, KELVO_LEASE_ARMED);
    run("$outside->set('busy:k', 'new');");
    /* Judged against the worker's last drain, not against how soon this process looks: a lookup
     * that served the old value began within the bound of it. */
    std::string seen = "old";
    for (uint64_t deadline = nowMs() + GONE_LIMIT_MS; seen != "(none)" && nowMs() < deadline;) {
        uint64_t began = kelvoLeaseClockMs();
        seen = lookup(endpoint(), 0, "busy:k");
        if (seen != "(none)")
            ASSERT_LE(began - std::min(began, drained), KELVO_LEASE_DRAIN_BOUND_MS) << "served past the bound";
        usleep(200);
    }
    EXPECT_EQ(seen, "(none)");
    EXPECT_EQ(__atomic_load_n(&kelvoLeaseSlotOf(lease)->drained, __ATOMIC_ACQUIRE), drained)
        << "the busy worker drained meanwhile";
    channel.release();
    EXPECT_EQ(waitChild(worker), 0);
}

TEST_F(Delivery, AWorkerKilledWhileIdleIsNotServedBeyondTheBound)
{
    /* Written before the worker reads it: a write after would reach the worker's link and end its wait. */
    run("$outside->select(0); $outside->set('killed:idle', 'v');");
    Channel channel;
    pid_t worker = forkWorker(channel, [&] {
        endRequest();
        startRequest();
        connect("c");
        if (!cacheThrough("c", 0, "killed:idle"))
            return false;
        endRequest();
        channel.report(1);
        for (;;)
            pause(); // a signal read of its link returns here: it waits to be killed
        return true;
    });
    ASSERT_EQ(channel.receive(), 1);
    usleep(200000); // armed: served past the bound while it lives
    EXPECT_EQ(lookup(endpoint(), 0, "killed:idle"), "v");
    kill(worker, SIGKILL);
    EXPECT_EQ(waitChild(worker), 128 + SIGKILL);
    /* A sync runs the liveness check once its interval (50 ms, with a margin here) has passed
     * since the last one, which was before the worker ended: the first sync that begins past it
     * must withdraw the entry, however late that is on a busy machine. */
    uint64_t reaped = wallMicros();
    std::string seen = "v";
    for (bool pastInterval = false; seen == "v" && !pastInterval;) {
        pastInterval = wallMicros() - reaped > 60000;
        run("$outside->ping();");
        seen = lookup(endpoint(), 0, "killed:idle");
    }
    EXPECT_EQ(seen, "(none)") << "a sync past the liveness interval left a dead holder's entry served";
}

TEST_F(Delivery, AClientsOwnSwapdbDropsBothDatabasesEntries)
{
    run("foreach ([1, 2, 4] as $db) { $outside->select($db); $outside->set('swapped:k', 'in ' . $db); }");
    connect("c");
    for (uint32_t db : {1u, 2u, 4u})
        ASSERT_TRUE(cacheThrough("c", db, "swapped:k")) << db;
    EXPECT_EQ(run("$out = json_encode($c->swapdb(1, 2));"), "true");
    EXPECT_EQ(lookup(endpoint(), 1, "swapped:k"), "(none)");
    EXPECT_EQ(lookup(endpoint(), 2, "swapped:k"), "(none)");
    EXPECT_EQ(lookup(endpoint(), 4, "swapped:k"), "in 4") << "other databases keep theirs";
    run("$c->swapdb(1, 2);");
}

namespace {

volatile sig_atomic_t chainedRan;
void chained(int) { chainedRan = 1; }

/*
 * Registered before the engine starts, so it runs after the module's exit handler: a child that
 * ends with exit() (for that handler) ends there, before the leak check sees the engine it never
 * shut down.
 */
volatile sig_atomic_t quietExit;
void exitQuietly()
{
    if (quietExit)
        _exit(0);
}
[[maybe_unused]] const int quietExitRegistered = atexit(exitQuietly);

struct Termination {
    const char *name;
    void (*disposition)(int);
    int exitStatus;   // what waitChild reports
    bool releasedNow; // leases given back by the time the signal was handled
};

} // namespace

TEST_F(Delivery, TerminationBySigtermGivesBackWhatTheProcessHolds)
{
    const Termination table[] = {
        {"default action", SIG_DFL, 128 + SIGTERM, true},
        {"earlier handler", chained, 0, false},
        {"ignored", SIG_IGN, 0, false},
    };
    kelvoLeaseTable *leases = kelvoLeases();
    for (const Termination &row : table) {
        EngineEnvironment::nextRequest();
        uint16_t freeBefore = __atomic_load_n(&leases->free_slots, __ATOMIC_ACQUIRE);
        uint32_t activeBefore = __atomic_load_n(&kelvoSharedData->requests.active, __ATOMIC_ACQUIRE);
        Channel channel;
        pid_t worker = fork();
        if (worker == 0) {
            signal(SIGTERM, row.disposition);
            EngineEnvironment::nextRequest(); // request start saves the disposition
            connect("c");
            channel.report(kelvoLeaseIsSlot(client("c")->link.lease));
            channel.awaitRelease();
            channel.report(chainedRan);
            quietExit = 1;
            exit(0); // the exit handler releases after a chained handler
        }
        ASSERT_EQ(channel.receive(), 1) << row.name;
        EXPECT_EQ(__atomic_load_n(&leases->free_slots, __ATOMIC_ACQUIRE), freeBefore - 1) << row.name;
        kill(worker, SIGTERM);
        if (row.exitStatus == 0) {
            channel.release();
            EXPECT_EQ(channel.receive(), row.disposition == chained) << row.name;
        }
        EXPECT_EQ(waitChild(worker), row.exitStatus) << row.name;
        bool given = __atomic_load_n(&leases->free_slots, __ATOMIC_ACQUIRE) == freeBefore &&
                     __atomic_load_n(&kelvoSharedData->requests.active, __ATOMIC_ACQUIRE) == activeBefore;
        EXPECT_TRUE(given || !row.releasedNow) << row.name;
    }
}

TEST_F(Delivery, ThePoolKeepsOneConnectionPerIdentityAndSecrets)
{
    run("$outside->close();");
    std::string first = connect("a");
    EngineEnvironment::nextRequest();
    EXPECT_EQ(connect("b"), first) << "a released link is taken again";
    const std::string make = "new Kelvo\\Kelvo('127.0.0.1', " + port() + ", 0.0, 0.0, ['auth' => 'another'])";
    EXPECT_NE(run("unset($b); $o = " + make +
                  "; try { $out = $o->rawCommand('CLIENT', 'ID'); } "
                  "catch (Kelvo\\Exception $e) { $out = 'refused'; }"),
              first)
        << "other credentials never reuse a link logged in with these";
    EXPECT_EQ(connect("d"), first);
    EXPECT_EQ(run("$d->rawCommand('CLIENT', 'SETNAME', 'changed'); unset($d); $e = new Kelvo\\Kelvo('127.0.0.1', " +
                  port() + "); $out = $e->rawCommand('CLIENT', 'ID') == " + first + " ? 'same' : 'new';"),
              "new")
        << "a link whose name a raw command changed is closed, not pooled";
}
