// Invalidation delivery in the arena, without the engine: the signal reader over a real socket
// (split at every byte, across runs, malformed input), removals and stale marks across sets and
// databases, the drain bound of what a lease holder stored, the shared queues with forked
// producers, overflow and dead holders, and the process's ring.
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "cache/delivery.h"
#include "support/shm_fork.h"
#include "cache_fixture.h"

namespace {

struct Keys {
    std::vector<std::string> seen; // "(flush)" for a flush
};

void collect(void *arg, const char *key, size_t length)
{
    static_cast<Keys *>(arg)->seen.push_back(key ? std::string(key, length) : "(flush)");
}

std::string push(const std::vector<std::string> &keys)
{
    std::string out = ">2\r\n$10\r\ninvalidate\r\n*" + std::to_string(keys.size()) + "\r\n";
    for (const std::string &k : keys)
        out += "$" + std::to_string(k.size()) + "\r\n" + k + "\r\n";
    return out;
}

const std::string flushPush = ">2\r\n$10\r\ninvalidate\r\n_\r\n";

struct Reader {
    std::vector<char> buf = std::vector<char>(KELVO_IREADER_SIZE);
    kelvoIReader r{};
    int fds[2];
    Reader()
    {
        r.buf = buf.data();
        EXPECT_EQ(socketpair(AF_UNIX, SOCK_STREAM, 0, fds), 0);
    }
    ~Reader()
    {
        close(fds[0]);
        if (fds[1] >= 0)
            close(fds[1]);
    }
    void send(const std::string &bytes) { ASSERT_EQ(write(fds[1], bytes.data(), bytes.size()), ssize_t(bytes.size())); }
    int run(Keys *keys) { return kelvoIReaderRun(&r, fds[0], collect, keys); }
};

} // namespace

TEST(SignalReader, APushSplitAtEveryByteAcrossRunsIsAppliedOnceWhole)
{
    std::string stream = push({"a", "key:2", ""}) + flushPush + push({std::string(300, 'x')});
    Reader reader;
    Keys keys;
    for (char byte : stream) {
        reader.send(std::string(1, byte));
        ASSERT_EQ(reader.run(&keys), 0) << reader.r.errstr;
    }
    EXPECT_EQ(keys.seen, (std::vector<std::string>{"a", "key:2", "", "(flush)", std::string(300, 'x')}));
    EXPECT_EQ(reader.r.rpos, 0u);
    EXPECT_EQ(reader.r.wpos, 0u);
}

TEST(SignalReader, ManyPushesInOneReadAndAPartialTailKeptForTheNextRun)
{
    Reader reader;
    Keys keys;
    std::string whole;
    for (int i = 0; i < 2000; i++)
        whole += push({"k" + std::to_string(i)});
    std::string tail = push({"last"});
    reader.send(whole + tail.substr(0, 7));
    ASSERT_EQ(reader.run(&keys), 0);
    EXPECT_EQ(keys.seen.size(), 2000u);
    reader.send(tail.substr(7));
    ASSERT_EQ(reader.run(&keys), 0);
    ASSERT_EQ(keys.seen.size(), 2001u);
    EXPECT_EQ(keys.seen.back(), "last");
}

TEST(SignalReader, MalformedInputIsAnErrorWithItsText)
{
    struct Case {
        std::string input;
        int code;
        const char *text;
    } cases[] = {
        {">3\r\n$7\r\nmessage\r\n", 4, "Bad INVALIDATION header"},
        {"+OK\r\n", 4, "Bad INVALIDATION header"},
        {">2\r\n$10\r\ninvalidate\r\n*0\r\n", 4, "Invalid multi-bulk length"},
        {">2\r\n$10\r\ninvalidate\r\n*\r\n", 4, "Invalid multi-bulk length"},
        {">2\r\n$10\r\ninvalidate\r\n*-1\r\n", 4, "Invalid negative-length line item"},
        {">2\r\n$10\r\ninvalidate\r\n*1\r\n+OK\r\n", 4, "Malformed invalidation message"},
        {">2\r\n$10\r\ninvalidate\r\n*1\r\n$-1\r\n", 4, "Invalid negative-length line item"},
        {">2\r\n$10\r\ninvalidate\r\n*1\r\n$3\r\nabcXY", 4, "Invalid bulk string"},
        {">2\r\n$10\r\ninvalidate\r\n:5\r\n", 4, "Malformed invalidation message"},
        {">2\r\n$10\r\ninvalidate\r\n*1\r\n$" + std::string(40, '9'), 4, "Malformed invalidation message"},
        {">2\r\n$10\r\ninvalidate\r\n*1\r\n$70000\r\n", 4, "Invalidation message exceeds reader buffer"},
    };
    for (const Case &c : cases) {
        Reader reader;
        Keys keys;
        reader.send(c.input);
        EXPECT_EQ(reader.run(&keys), -1) << c.input;
        EXPECT_EQ(reader.r.err, c.code) << c.input;
        EXPECT_STREQ(reader.r.errstr, c.text) << c.input;
        EXPECT_TRUE(keys.seen.empty());
    }
}

TEST(SignalReader, APushLargerThanTheBufferAndTheServerClosingAreErrors)
{
    Reader reader;
    Keys keys;
    std::string big = push({std::string(KELVO_IREADER_SIZE - 10, 'b')});
    size_t sent = 0;
    int result = 0;
    while (sent < big.size() && result == 0) {
        ssize_t n = ::send(reader.fds[1], big.data() + sent, big.size() - sent, MSG_DONTWAIT);
        if (n > 0)
            sent += size_t(n);
        result = reader.run(&keys);
    }
    EXPECT_EQ(result, -1);
    EXPECT_STREQ(reader.r.errstr, "Invalidation message exceeds reader buffer");

    Reader closing;
    closing.send(push({"a"}));
    close(closing.fds[1]);
    closing.fds[1] = -1;
    Keys applied;
    EXPECT_EQ(closing.run(&applied), -1);
    EXPECT_EQ(closing.r.err, 3);
    EXPECT_EQ(applied.seen, std::vector<std::string>{"a"});
}

namespace {

struct Delivery : CacheArena {
    const std::string uri = "tcp://default@127.0.0.1:6379?cache=1&tracking=1";
    kelvoEndpoint *ep = nullptr;
    void SetUp() override
    {
        CacheArena::SetUp();
        ep = kelvoEndpointGetOrCreate(uri.data(), uri.size());
        ASSERT_NE(ep, nullptr);
    }
    void TearDown() override
    {
        while (kelvoQueueHeld())
            kelvoQueueDetach();
        CacheArena::TearDown();
    }
};

/* Everything the held queue gives now: keys, "(flush)" for flushes. */
std::vector<std::string> takeAll()
{
    std::vector<std::string> out;
    kelvoQueueItem item;
    while (kelvoQueueTake(&item))
        out.push_back(item.key ? std::string(item.key, item.length) : "(flush)");
    return out;
}

} // namespace

TEST_F(Delivery, AKeyIsRemovedFromEveryDatabaseOfEverySetWithWriters)
{
    uint16_t l1 = 0;
    rdb *s1 = attach(ep, &l1);
    ASSERT_TRUE(store(s1, 0, "k", "v0", l1) && store(s1, 3, "k", "v3", l1) && store(s1, 1, "other", "o", l1));
    EXPECT_EQ(kelvoEndpointRemoveKey(ep, "k", 1), 2u);
    EXPECT_EQ(lookup(ep, 0, "k"), "(none)");
    EXPECT_EQ(lookup(ep, 3, "k"), "(none)");
    EXPECT_EQ(lookup(ep, 1, "other"), "o");
    EXPECT_EQ(kelvoEndpointRemoveKey(ep, "k", 1), 0u);
}

TEST_F(Delivery, TheSignalPathMarksStaleAndAFlushRaisesTheLeases)
{
    uint16_t lease = 0;
    rdb *set = attach(ep, &lease);
    ASSERT_TRUE(store(set, 0, "a", "1", lease) && store(set, 2, "a", "2", lease) && store(set, 0, "b", "3", lease));
    EXPECT_EQ(kelvoEndpointMarkKeyStale(ep, "a", 1), 2u);
    EXPECT_EQ(lookup(ep, 0, "a"), "(none)");
    EXPECT_EQ(lookup(ep, 0, "b"), "3");
    EXPECT_EQ(kelvoCacheCount(set, 0), 2u); // marked, not removed
    kelvoEndpointInvalidateLeases(ep);
    EXPECT_EQ(lookup(ep, 0, "b"), "(none)");
}

TEST_F(Delivery, WhatAHolderStoredIsServedOnlyWhileItDrainsOrIsArmedAndAlive)
{
    uint16_t lease = 0;
    rdb *set = attach(ep, &lease);
    ASSERT_TRUE(store(set, 0, "k", "v", lease));
    kelvoLeaseSlot *slot = kelvoLeaseSlotOf(lease);
    EXPECT_EQ(lookup(ep, 0, "k"), "v");
    slot->drained = kelvoLeaseClockMs() - KELVO_LEASE_DRAIN_BOUND_MS - 20; // busy for longer than the bound
    EXPECT_EQ(lookup(ep, 0, "k"), "(none)");
    /* A lookup right after a drain is within the bound unless the machine stalled us past it in
     * between: that cannot happen every time. */
    std::string afterDrain = "(none)";
    for (int i = 0; i < 20 && afterDrain != "v"; i++) {
        kelvoLeaseMarkDrained(lease);
        afterDrain = lookup(ep, 0, "k");
    }
    EXPECT_EQ(afterDrain, "v");
    kelvoLeaseMarkArmed(lease);
    EXPECT_EQ(lookup(ep, 0, "k"), "v");
    EXPECT_EQ(kelvoLeaseCheckArmedHolders(uint64_t(time(nullptr)) * 1000000), 0u); // its holder lives

    // A holder that armed its link and was then killed: its entries stop being served.
    auto *armed = static_cast<uint32_t *>(kelvoShCalloc(1, sizeof(uint32_t)));
    uint16_t childLease = 0;
    rdb *childSet = nullptr;
    pid_t child = fork();
    if (child == 0) {
        kelvoReader = {};
        bool ok = kelvoGlobalEpochInit() == 0 && kelvoCacheAttach(ep, &childLease, &childSet) == KELVO_ATTACH_DONE &&
                  store(childSet, 1, "c", "child", childLease);
        kelvoLeaseMarkArmed(childLease);
        kelvoGlobalEpochRelease();
        if (!ok)
            _exit(1);
        __atomic_store_n(armed, 1, __ATOMIC_RELEASE);
        pause();
        _exit(0);
    }
    bool ended = false;
    while (!__atomic_load_n(armed, __ATOMIC_ACQUIRE) && !(ended = waitpid(child, nullptr, WNOHANG) == child))
        usleep(1000);
    ASSERT_FALSE(ended) << "the child could not store";
    EXPECT_EQ(lookup(ep, 1, "c"), "child");
    kill(child, SIGKILL);
    EXPECT_EQ(waitChild(child), 128 + SIGKILL);
    EXPECT_EQ(kelvoLeaseCheckArmedHolders(uint64_t(time(nullptr)) * 1000000 + 60000000), 1u);
    EXPECT_EQ(lookup(ep, 1, "c"), "(none)");
    kelvoShFree(armed);
}

TEST_F(Delivery, ABroadcastReachesEveryHeldQueueAndNoneWithoutHolders)
{
    EXPECT_EQ(kelvoInvalidationBroadcast(ep, nullptr, "k", 1), 0);
    ASSERT_EQ(kelvoQueueAttach(), 0);
    EXPECT_EQ(kelvoInvalidationBroadcast(ep, nullptr, "k1", 2), 1);
    EXPECT_EQ(kelvoInvalidationBroadcast(ep, nullptr, nullptr, 0), 1);
    EXPECT_EQ(kelvoInvalidationBroadcast(ep, nullptr, "k2", 2), 1);
    kelvoQueueItem item;
    ASSERT_TRUE(kelvoQueueTake(&item));
    EXPECT_EQ(item.ep, ep);
    EXPECT_EQ(std::string(item.key, item.length), "k1");
    EXPECT_EQ(takeAll(), (std::vector<std::string>{"(flush)", "k2"}));
    kelvoQueueDetach();
    EXPECT_EQ(kelvoInvalidationBroadcast(ep, nullptr, "k", 1), 0);
}

TEST_F(Delivery, AFullQueueStopsGrowingAndItsHolderGetsOneFlush)
{
    ASSERT_EQ(kelvoQueueAttach(), 0);
    uint64_t before = liveBlocks();
    for (uint32_t i = 0; i < KELVO_QUEUE_CAPACITY + 500; i++)
        ASSERT_EQ(kelvoInvalidationBroadcast(ep, nullptr, "key", 3), 1);
    EXPECT_EQ(liveBlocks() - before, KELVO_QUEUE_CAPACITY);
    std::vector<std::string> got = takeAll();
    ASSERT_EQ(got.size(), KELVO_QUEUE_CAPACITY + 1u);
    EXPECT_EQ(got.back(), "(flush)");
    EXPECT_TRUE(takeAll().empty());
    kelvoQueueDetach();
    EXPECT_EQ(liveBlocks(), before);
}

TEST_F(Delivery, ANewHolderNeverSeesTheMessagesOfTheLastOne)
{
    ASSERT_EQ(kelvoQueueAttach(), 0);
    kelvoInvalidationQueue *first = kelvoQueueHeld();
    kelvoInvalidationBroadcast(ep, nullptr, "old", 3);
    kelvoQueueDetach();
    ASSERT_EQ(kelvoQueueAttach(), 0);
    EXPECT_EQ(kelvoQueueHeld(), first);
    EXPECT_TRUE(takeAll().empty());
}

TEST_F(Delivery, QueuesOfEndedHoldersAreTakenAgainAndAForkedChildNeverGivesBackItsParents)
{
    auto *attached = static_cast<uint32_t *>(kelvoShCalloc(1, sizeof(uint32_t)));
    std::vector<int> results = runChildren(int(KELVO_INVALIDATION_QUEUES), [attached](int) {
        kelvoReader = {};
        bool ok = kelvoQueueAttach() == 0;
        __atomic_add_fetch(attached, 1, __ATOMIC_ACQ_REL);
        while (__atomic_load_n(attached, __ATOMIC_ACQUIRE) < KELVO_INVALIDATION_QUEUES)
            usleep(1000);
        return ok; // ended without giving it back
    });
    for (int r : results)
        ASSERT_EQ(r, 0);
    ASSERT_EQ(kelvoQueueAttach(), 0); // one of the dead holders' queues
    kelvoInvalidationQueue *mine = kelvoQueueHeld();
    int child = waitChild(forkChild([mine] {
        kelvoQueueDetach(); // the parent's: left alone
        return kelvoQueueHeld() == nullptr && __atomic_load_n(&mine->users, __ATOMIC_ACQUIRE) == 1;
    }));
    EXPECT_EQ(child, 0);
    EXPECT_EQ(kelvoInvalidationBroadcast(ep, nullptr, "k", 1), int(KELVO_INVALIDATION_QUEUES));
    EXPECT_EQ(kelvoQueueReapDead(), KELVO_INVALIDATION_QUEUES - 1);
    EXPECT_EQ(kelvoInvalidationBroadcast(ep, nullptr, "k", 1), 1);
    EXPECT_EQ(takeAll(), (std::vector<std::string>{"k", "k"}));
    EXPECT_EQ(kelvoInvalidationBroadcast(ep, nullptr, "k", 1), 1);
    EXPECT_EQ(takeAll(), std::vector<std::string>{"k"});
}

TEST_F(Delivery, ManyProducersAppendWithoutLosingOrReordering)
{
    constexpr int producers = 6, each = 3000;
    ASSERT_EQ(kelvoQueueAttach(), 0);
    ASSERT_EQ(kelvoQueueHeld(), &kelvoInvalidations()->queues[0]);
    std::vector<pid_t> pids;
    for (int p = 0; p < producers; p++)
        pids.push_back(forkChild([this, p] {
            kelvoReader = {};
            kelvoInvalidationQueue *q = &kelvoInvalidations()->queues[0];
            for (int i = 0; i < each; i++) {
                std::string key = std::to_string(p) + ":" + std::to_string(i);
                // The consumer keeps up: a full queue would turn the rest into one flush.
                while (__atomic_load_n(&q->tail, __ATOMIC_ACQUIRE) - __atomic_load_n(&q->head, __ATOMIC_ACQUIRE) >
                       KELVO_QUEUE_CAPACITY / 2)
                    usleep(50);
                if (kelvoInvalidationBroadcast(ep, nullptr, key.data(), key.size()) != 1)
                    return false;
            }
            return true;
        }));
    std::vector<int> next(producers, 0);
    std::vector<bool> exited(producers, false);
    auto allExited = [&] {
        bool all = true;
        for (int p = 0; p < producers; p++) {
            if (!exited[p] && waitpid(pids[p], nullptr, WNOHANG) == pids[p])
                exited[p] = true;
            all &= exited[p];
        }
        return all;
    };
    int flushes = 0, total = 0;
    bool ordered = true;
    for (bool done = false; !done;) {
        bool ended = allExited(); // before the take: all they sent is in the queue then
        kelvoQueueItem item;
        if (!kelvoQueueTake(&item)) {
            done = ended;
            usleep(50);
            continue;
        }
        if (!item.key) {
            flushes++;
            continue;
        }
        std::string key(item.key, item.length);
        int p = std::stoi(key.substr(0, key.find(':')));
        int i = std::stoi(key.substr(key.find(':') + 1));
        ordered &= i == next[p];
        next[p] = i + 1;
        total++;
    }
    EXPECT_EQ(flushes, 0);
    EXPECT_TRUE(ordered);
    EXPECT_EQ(total, producers * each);
}

TEST_F(Delivery, TheRingReplaysInOrderAndAnOverflowBecomesAFlushOfTheEndpoint)
{
    struct Seen {
        std::vector<std::string> items;
    } seen;
    auto replay = [](void *arg, kelvoEndpoint *, rdb *, const char *key, size_t length) {
        static_cast<Seen *>(arg)->items.push_back(key ? std::string(key, length) : "(flush)");
    };
    EXPECT_FALSE(kelvoRingPending());
    kelvoRingRecord(ep, nullptr, "a", 1);
    kelvoRingRecord(ep, nullptr, nullptr, 0);
    kelvoRingRecord(ep, nullptr, "bb", 2);
    EXPECT_TRUE(kelvoRingPending());
    kelvoRingReplay(replay, &seen);
    EXPECT_EQ(seen.items, (std::vector<std::string>{"a", "(flush)", "bb"}));
    EXPECT_FALSE(kelvoRingPending());

    seen.items.clear();
    std::string key(1000, 'k');
    int recorded = 0;
    for (; recorded < 2000; recorded++)
        kelvoRingRecord(ep, nullptr, key.data(), key.size());
    kelvoRingReplay(replay, &seen);
    ASSERT_GT(seen.items.size(), 1u);
    EXPECT_LT(seen.items.size(), 2000u);
    EXPECT_EQ(seen.items.back(), "(flush)");
    EXPECT_FALSE(kelvoRingPending());
}
