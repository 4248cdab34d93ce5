// Forked writers, readers and an epoch poller on one namespace: writers insert (growing the set
// many times over), replace and remove keys; readers walk the namespace whole and in steps spread
// over many sections, and look keys up. No walk lists a key twice, none misses a key that stayed,
// and at the end the counts and the accounted memory agree with what the writers left.
#include "table_fixture.h"
#include "support/shm_check.h"
#include "support/shm_fork.h"

#include <set>
#include <string>
#include <unordered_set>

namespace {

constexpr int WRITERS = 3;
constexpr int READERS = 3;
constexpr int KEYS = 6000;  // per writer
constexpr int STABLE = 500; // stored before the workers start, replaced but never removed
const std::string NS = "shared";

/* What the processes share, in the arena. */
struct Board {
    uint32_t writersDone;
    uint32_t failures;
    uint64_t walks;
    uint64_t steppedWalks;
    char failure[256];
};

Board *board;

void fail(const std::string &what)
{
    if (__atomic_fetch_add(&board->failures, 1, __ATOMIC_RELAXED) == 0)
        snprintf(board->failure, sizeof board->failure, "%s", what.c_str());
}

bool writing() { return __atomic_load_n(&board->writersDone, __ATOMIC_ACQUIRE) < WRITERS; }

std::string stableKey(int i) { return "s:" + std::to_string(i); }
std::string writerKey(int w, int i) { return "w" + std::to_string(w) + ":" + std::to_string(i); }
bool removedByWriter(int i) { return i % 7 == 3; }

struct Stress : TableArena {
    Stress() { settings.arena = 64 << 20; }
};

bool writer(int w)
{
    if (kelvoGlobalEpochInit() != 0)
        return false;
    for (int i = 0; i < KEYS; i++) {
        std::string key = writerKey(w, i);
        if (TableArena::putText(NS, key, key) != KELVO_TABLE_OK)
            return fail("store " + key), false;
        if (removedByWriter(i) && kelvoTableDelete(NS.data(), NS.size(), key.data(), key.size()) != KELVO_TABLE_OK)
            return fail("delete " + key), false;
        if (i % 5 == 0) {
            std::string stable = stableKey((i + w) % STABLE);
            if (TableArena::putText(NS, stable, stable + "#" + std::to_string(i)) != KELVO_TABLE_OK)
                return fail("replace " + stable), false;
        }
    }
    __atomic_add_fetch(&board->writersDone, 1, __ATOMIC_RELEASE);
    return true;
}

/* One whole walk: no key twice, every stable key there. */
void wholeWalk()
{
    std::vector<std::string> keys = TableArena::keys(NS);
    std::unordered_set<std::string> distinct(keys.begin(), keys.end());
    if (distinct.size() != keys.size())
        return fail("a whole walk listed " + std::to_string(keys.size() - distinct.size()) + " keys twice");
    for (int i = 0; i < STABLE; i++)
        if (!distinct.count(stableKey(i)))
            return fail("a whole walk missed " + stableKey(i));
    __atomic_add_fetch(&board->walks, 1, __ATOMIC_RELAXED);
}

/*
 * A walk in steps of a few items, one section each, as the full scan makes it: it starts over
 * (skipping what it already gave) when the set's map was replaced since its last step.
 */
void steppedWalk()
{
    std::set<std::string> given;
    kelvoCkRhsIterator position;
    kelvoCkRhsIteratorInit(&position);
    uint64_t layout = 0;
    bool started = false;
    bool ended = false;
    while (!ended) {
        kelvoGlobalEpochBegin();
        kelvoTableHT *ht = kelvoTableFind(NS.data(), NS.size());
        if (!ht) {
            kelvoGlobalEpochEnd();
            return fail("namespace gone");
        }
        for (int step = 0; step < 16; step++) {
            if (!started || kelvoTableHTLayout(ht) != layout) {
                kelvoCkRhsIteratorInit(&position);
                layout = kelvoTableHTLayout(ht);
                started = true;
            }
            const kelvoTableItem *item;
            if (!kelvoTableHTNext(ht, &position, &item)) {
                if (kelvoTableHTLayout(ht) != layout)
                    continue;
                ended = true;
                break;
            }
            given.emplace(item->key.bytes, item->key.length);
        }
        kelvoGlobalEpochEnd();
    }
    for (int i = 0; i < STABLE; i++)
        if (!given.count(stableKey(i)))
            return fail("a stepped walk missed " + stableKey(i));
    __atomic_add_fetch(&board->steppedWalks, 1, __ATOMIC_RELAXED);
}

bool reader(int r)
{
    if (kelvoGlobalEpochInit() != 0)
        return false;
    int round = 0;
    while (writing() && board->failures == 0) {
        if (r % 2 == 0)
            wholeWalk();
        else
            steppedWalk();
        std::string stable = stableKey(round++ % STABLE);
        if (TableArena::get(NS, stable).compare(0, stable.size(), stable) != 0)
            fail("lookup of " + stable + " found " + TableArena::get(NS, stable));
    }
    return board->failures == 0;
}

bool poller()
{
    if (kelvoGlobalEpochInit() != 0)
        return false;
    while (writing())
        kelvoGlobalEpochPoll();
    return true;
}

TEST_F(Stress, NoKeyIsLostOrListedTwiceAndTheCountsAgree)
{
    board = static_cast<Board *>(kelvoShCalloc(1, sizeof(Board)));
    ASSERT_NE(board, nullptr);
    for (int i = 0; i < STABLE; i++)
        ASSERT_EQ(putText(NS, stableKey(i), stableKey(i)), KELVO_TABLE_OK);

    std::vector<pid_t> pids;
    for (int w = 0; w < WRITERS; w++)
        pids.push_back(forkChild([w] { return writer(w); }));
    for (int r = 0; r < READERS; r++)
        pids.push_back(forkChild([r] { return reader(r); }));
    pids.push_back(forkChild(poller));
    for (pid_t pid : pids)
        EXPECT_EQ(waitChild(pid), 0);
    EXPECT_EQ(board->failures, 0u) << board->failure;
    EXPECT_GT(board->walks, 0u);
    EXPECT_GT(board->steppedWalks, 0u);

    std::vector<std::string> expected;
    int64_t memory = 0;
    for (int i = 0; i < STABLE; i++)
        expected.push_back(stableKey(i));
    for (int w = 0; w < WRITERS; w++)
        for (int i = 0; i < KEYS; i++)
            if (!removedByWriter(i)) {
                expected.push_back(writerKey(w, i));
                memory += int64_t(2 * writerKey(w, i).size()) + 74;
            }
    for (int i = 0; i < STABLE; i++)
        memory += int64_t(stableKey(i).size() + get(NS, stableKey(i)).size()) + 74;
    EXPECT_EQ(sorted(keys(NS)), sorted(expected));
    EXPECT_EQ(totalKeys(), int64_t(expected.size()));
    EXPECT_EQ(memoryOf(NS), memory);
    EXPECT_EQ(totalMemory(), memory);

    kelvoShFree(board);
    EXPECT_EQ(kelvoTableClearAll(), int64_t(expected.size()));
    drainRetired();
    checkHeap();
}

} // namespace
