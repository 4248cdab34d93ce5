// Forked writers, readers and an epoch poller on one endpoint for a bounded time (3 s, or
// KELVO_STRESS_SECONDS): writers store, replace and remove their own keys, raise their leases,
// and one of them flushes; readers check that every value read belongs to the key looked up,
// holds no poisoned byte, and was not removed (or withdrawn, or flushed) before the read began.
// At the end the heap balances.
#include "cache_fixture.h"
#include "support/shm_check.h"
#include "support/shm_fork.h"

#include <cstdlib>
#include <random>
#include <string>

namespace {

constexpr int WRITERS = 3;
constexpr int READERS = 4;
constexpr int KEYS = 200;      // per writer, in database 0
constexpr int FLUSH_KEYS = 50; // the flushing writer's, in database 1
constexpr uint32_t KEY_DB = 0, FLUSH_DB = 1;

/* What the processes share, in the arena. */
struct Board {
    uint64_t seq;                    // global order of stores, removals, raises, flushes
    uint64_t removed[WRITERS][KEYS]; // seq right after each key's last removal
    uint64_t raised[WRITERS + 1];    // seq right after each writer's last lease raise
    uint64_t flushed;                // seq right after the last flush of FLUSH_DB
    uint32_t stop;
    uint64_t reads, hits;
    uint32_t failures;
    char failure[256];
};

Board *board;

uint64_t next() { return __atomic_add_fetch(&board->seq, 1, __ATOMIC_SEQ_CST); }
uint64_t seen(const uint64_t *at) { return __atomic_load_n(at, __ATOMIC_SEQ_CST); }

void fail(const std::string &what)
{
    if (__atomic_fetch_add(&board->failures, 1, __ATOMIC_RELAXED) == 0)
        snprintf(board->failure, sizeof board->failure, "%s", what.c_str());
}

std::string keyOf(int writer, int i) { return "w" + std::to_string(writer) + ":k" + std::to_string(i); }

bool running() { return !__atomic_load_n(&board->stop, __ATOMIC_ACQUIRE); }

struct Stress : CacheArena {
    Stress()
    {
        settings.arena = 64 << 20;
        settings.databases = 2;
        settings.writers = WRITERS + 2;
    }
    kelvoEndpoint *ep = nullptr;
    rdb *set = nullptr;
    uint16_t lease = 0;
};

bool storeValue(rdb *set, uint32_t db, const std::string &key, uint16_t lease)
{
    std::string value = key + "#" + std::to_string(next());
    return CacheArena::store(set, db, key, value, lease);
}

/* A writing process: its lease, its cached database set, its own random sequence. */
struct Writer {
    uint16_t lease = 0;
    rdb *set;
    std::mt19937 random{uint32_t(getpid())};
    explicit Writer(kelvoEndpoint *ep) : set(CacheArena::attach(ep, &lease)) {}
};

bool writer(kelvoEndpoint *ep, int w)
{
    Writer me(ep);
    auto &[lease, set, random] = me;
    if (!set)
        return false;
    while (running()) {
        int i = int(random() % KEYS), op = int(random() % 100);
        std::string key = keyOf(w, i);
        if (op < 70) {
            storeValue(set, KEY_DB, key, lease);
        } else if (op < 97) {
            if (kelvoCacheRemove(set, KEY_DB, key.data(), key.size()) < 0)
                return false;
            __atomic_store_n(&board->removed[w][i], next(), __ATOMIC_SEQ_CST);
        } else {
            kelvoLeaseInvalidate(lease);
            __atomic_store_n(&board->raised[w], next(), __ATOMIC_SEQ_CST);
        }
    }
    return true;
}

bool flusher(kelvoEndpoint *ep)
{
    Writer me(ep);
    auto &[lease, set, random] = me;
    if (!set)
        return false;
    while (running()) {
        if (random() % 200 == 0) {
            if (kelvoDBFlush(set, FLUSH_DB) != 0 || kelvoDBFlush(set, KEY_DB) != 0)
                return false;
            __atomic_store_n(&board->flushed, next(), __ATOMIC_SEQ_CST);
        } else {
            storeValue(set, FLUSH_DB, "f:k" + std::to_string(random() % FLUSH_KEYS), lease);
        }
    }
    return true;
}

/* Checks one read: the value names the key and came after what withdrew older ones. */
void check(const std::string &key, const std::string &value, uint64_t before)
{
    size_t hash = value.rfind('#');
    if (hash == std::string::npos || value.compare(0, hash, key) != 0) {
        fail("read '" + value + "' for key '" + key + "'");
        return;
    }
    if (value.find(char(KELVO_ENTRY_POISON)) != std::string::npos)
        fail("poisoned byte in the value of '" + key + "'");
    uint64_t stored = strtoull(value.c_str() + hash + 1, nullptr, 10);
    if (stored <= before)
        fail("'" + value + "' seen after its removal at " + std::to_string(before));
}

bool reader(kelvoEndpoint *ep)
{
    if (kelvoGlobalEpochInit() != 0)
        return false;
    std::mt19937 random{uint32_t(getpid())};
    while (running()) {
        std::string key;
        uint32_t db;
        uint64_t before;
        if (random() % 8 == 0) {
            key = "f:k" + std::to_string(random() % FLUSH_KEYS);
            db = FLUSH_DB;
            before = std::max(seen(&board->flushed), seen(&board->raised[WRITERS]));
        } else {
            int w = int(random() % WRITERS), i = int(random() % KEYS);
            key = keyOf(w, i);
            db = KEY_DB;
            before = std::max(seen(&board->removed[w][i]), seen(&board->raised[w]));
        }
        kelvoGlobalEpochBegin();
        const rk *v = kelvoCacheGetLen(ep, db, key.data(), key.size());
        std::string value;
        if (v) {
            uint32_t length = 0;
            const char *bytes = kelvoKeyStringConst(v, &length);
            value.assign(bytes, length);
        }
        kelvoGlobalEpochEnd();
        __atomic_add_fetch(&board->reads, 1, __ATOMIC_RELAXED);
        if (v) {
            __atomic_add_fetch(&board->hits, 1, __ATOMIC_RELAXED);
            check(key, value, before);
        }
    }
    return true;
}

bool poller()
{
    while (running()) {
        kelvoGlobalEpochPoll();
        usleep(200);
    }
    return true;
}

TEST_F(Stress, WritersReadersAndAPollerNeverServeAWrongOrRemovedValue)
{
    const char *env = getenv("KELVO_STRESS_SECONDS");
    unsigned seconds = env ? unsigned(atoi(env)) : 3;
    const std::string uri = "tcp://default@127.0.0.1:6379?cache=1&tracking=1";
    ep = kelvoEndpointGetOrCreate(uri.data(), uri.size());
    ASSERT_NE(ep, nullptr);
    set = attach(ep, &lease); // the set exists before the base is taken
    board = static_cast<Board *>(kelvoShCalloc(1, sizeof(Board)));
    ASSERT_NE(board, nullptr);
    uint64_t base = liveBlocks();

    std::vector<pid_t> children;
    for (int w = 0; w < WRITERS; w++)
        children.push_back(forkChild([&, w] { return writer(ep, w); }));
    children.push_back(forkChild([&] { return flusher(ep); }));
    for (int r = 0; r < READERS; r++)
        children.push_back(forkChild([&] { return reader(ep); }));
    children.push_back(forkChild(poller));
    sleep(seconds);
    __atomic_store_n(&board->stop, 1, __ATOMIC_RELEASE);
    for (size_t i = 0; i < children.size(); i++) // writers, the flusher, readers, the poller
        EXPECT_EQ(waitChild(children[i]), 0) << "process " << i;

    EXPECT_EQ(board->failures, 0u) << board->failure;
    EXPECT_GT(board->hits, 0u);
    EXPECT_GT(board->reads, board->hits);
    RecordProperty("reads", std::to_string(board->reads));
    RecordProperty("hits", std::to_string(board->hits));

    // The writers ended without giving anything back: their leases and places are freed as
    // those of dead processes, then the parent leaves last and the set is emptied.
    EXPECT_EQ(kelvoLeaseReapDead([](rdb *s) { kelvoCacheDetach(s->ep, s, KELVO_LEASE_NONE, true); }),
              unsigned(WRITERS + 1));
    kelvoCacheDetach(ep, set, lease, true);
    EXPECT_EQ(kelvoCacheCount(set, KEY_DB) + kelvoCacheCount(set, FLUSH_DB), 0u);
    drainRetired();
    EXPECT_EQ(kelvoGlobalEpochPending(), 0u);
    // A flush that found the heap full took reserve maps (a list node and a map each); nothing refills them here.
    kelvoReserveMapList *reserve = kelvoReserveMaps();
    RecordProperty("reserve_maps_taken", std::to_string(reserve->target - reserve->count));
    EXPECT_EQ(liveBlocks() + 2 * (reserve->target - reserve->count), base) << "the heap does not balance";
    checkHeap();
    kelvoShFree(board);
}

} // namespace
