// The shared table's storage in one process (and a forked lock holder): value records and their
// accounting, replacing and kept expiries, removal, emptying a namespace and the whole table in
// one walk, a heap too small to grow a set, writes that drain the retired backlog, namespace
// lookups across changes of the namespace set, the expiry sweep's claim, budget and skips, and a
// dead lock holder.
#include "table_fixture.h"
#include "support/shm_check.h"
#include "support/shm_fork.h"

#include <algorithm>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

struct Table : TableArena {
    void TearDown() override
    {
        if (!kelvoSharedStateBroken()) {
            kelvoTableClearAll();
            drainRetired();
            checkHeap();
        }
        TableArena::TearDown();
    }
};

/* --- value records and accounting ------------------------------------------------------ */

struct SizeCase {
    const char *name;
    kelvoValueSource value;
    const kelvoValue *shared; // the static record it must use, or null for a record of its own
    uint64_t size;            // accounted under the key "k"
};

kelvoValueSource make(uint32_t type, int64_t l = 0, double d = 0, const char *bytes = nullptr)
{
    kelvoValueSource v{};
    v.type = type;
    v.b = l != 0;
    v.l = l;
    v.d = d;
    v.bytes = bytes;
    v.length = bytes ? strlen(bytes) : 0;
    return v;
}

class AccountedSize : public Table, public ::testing::WithParamInterface<SizeCase> {};

TEST_P(AccountedSize, IsTheKeyPlusTheValueRecordAndNullBooleansAndSmallNumbersShareStaticRecords)
{
    const SizeCase &c = GetParam();
    ASSERT_EQ(put("ns", "k", c.value), KELVO_TABLE_OK);
    kelvoGlobalEpochBegin();
    kelvoTableItem *item = kelvoTableHTFind(kelvoTableFind("ns", 2), "k", 1);
    ASSERT_NE(item, nullptr);
    if (c.shared) {
        EXPECT_EQ(item->value, c.shared);
    } else {
        EXPECT_EQ(item->value->flags & KELVO_VALUE_STATIC, 0u);
    }
    EXPECT_EQ(kelvoTableItemSize(item), c.size);
    if (c.value.type == KELVO_VALUE_DOUBLE) {
        EXPECT_EQ(item->value->u.d, c.value.d);
    }
    kelvoGlobalEpochEnd();
    EXPECT_EQ(memoryOf("ns"), int64_t(c.size));
    EXPECT_EQ(totalMemory(), int64_t(c.size));
    EXPECT_EQ(totalKeys(), 1);
}

INSTANTIATE_TEST_SUITE_P(
    Values, AccountedSize,
    ::testing::Values(SizeCase{"Null", make(KELVO_VALUE_NULL), &kelvoValueNull, 50},
                      SizeCase{"False", make(KELVO_VALUE_BOOL, 0), &kelvoValueFalse, 50},
                      SizeCase{"True", make(KELVO_VALUE_BOOL, 1), &kelvoValueTrue, 50},
                      SizeCase{"Zero", make(KELVO_VALUE_LONG, 0), &kelvoValueSmallNumbers[0], 50},
                      SizeCase{"Sixteen", make(KELVO_VALUE_LONG, 16), &kelvoValueSmallNumbers[16], 50},
                      SizeCase{"Seventeen", make(KELVO_VALUE_LONG, 17), nullptr, 74},
                      SizeCase{"MinusOne", make(KELVO_VALUE_LONG, -1), nullptr, 74},
                      SizeCase{"Double", make(KELVO_VALUE_DOUBLE, 0, 2.5), nullptr, 74},
                      SizeCase{"ThreeBytes", make(KELVO_VALUE_STRING, 0, 0, "abc"), nullptr, 78},
                      SizeCase{"Empty", make(KELVO_VALUE_STRING, 0, 0, ""), nullptr, 75},
                      SizeCase{"Serialized", make(KELVO_VALUE_SERIALIZED, 0, 0, "a:0:{}"), nullptr, 81}),
    [](const auto &info) { return std::string(info.param.name); });

TEST_F(Table, ReplacingKeepsTheKeyCountAndMovesMemoryByTheDifference)
{
    ASSERT_EQ(putText("", "a", "12345"), KELVO_TABLE_OK);
    ASSERT_EQ(putText("", "b", "x"), KELVO_TABLE_OK);
    EXPECT_EQ(totalKeys(), 2);
    EXPECT_EQ(memoryOf(""), (1 + 5 + 74) + (1 + 1 + 74));
    ASSERT_EQ(put("", "a", number(3)), KELVO_TABLE_OK);
    EXPECT_EQ(get("", "a"), "#3");
    EXPECT_EQ(totalKeys(), 2);
    EXPECT_EQ(memoryOf(""), (1 + 49) + (1 + 1 + 74));
    EXPECT_EQ(totalMemory(), memoryOf(""));
    EXPECT_EQ(namespaces(), std::vector<std::string>{""});
}

TEST_F(Table, AKeptExpiryIsTheReplacedItemsWhileThatWasLive)
{
    int64_t later = kelvoTableNowMs() + 60000;
    ASSERT_EQ(putText("ns", "k", "v1", later), KELVO_TABLE_OK);
    ASSERT_EQ(put("ns", "k", text("v2"), 0, true), KELVO_TABLE_OK);
    EXPECT_EQ(expiryOf("ns", "k"), later);
    EXPECT_EQ(get("ns", "k"), "v2");
    ASSERT_EQ(put("ns", "k", text("v3"), 0, false), KELVO_TABLE_OK);
    EXPECT_EQ(expiryOf("ns", "k"), 0) << "an expiry of 0 or less takes the expiry off";

    ASSERT_EQ(putText("ns", "gone", "old", kelvoTableNowMs() - 1), KELVO_TABLE_OK);
    EXPECT_EQ(get("ns", "gone"), "(none)");
    ASSERT_EQ(put("ns", "gone", text("new"), 0, true), KELVO_TABLE_OK);
    EXPECT_EQ(expiryOf("ns", "gone"), 0) << "an expired item is absent: nothing to keep";
    EXPECT_EQ(get("ns", "gone"), "new");
}

TEST_F(Table, ExpiryArithmeticSaturates)
{
    EXPECT_EQ(kelvoTableExpiryIn(INT64_MAX), INT64_MAX);
    EXPECT_EQ(kelvoTableExpiryIn(INT64_MAX / 1000 - 1), INT64_MAX);
    int64_t now = kelvoTableNowMs();
    int64_t tenSeconds = kelvoTableExpiryIn(10);
    EXPECT_GE(tenSeconds, now + 10000);
    EXPECT_LE(tenSeconds, kelvoTableNowMs() + 10000);
    ASSERT_EQ(putText("", "far", "v", kelvoTableExpiryIn(INT64_MAX)), KELVO_TABLE_OK);
    EXPECT_EQ(get("", "far"), "v");
}

/* --- removal --------------------------------------------------------------------------- */

TEST_F(Table, DeleteReportsOnlyALiveItemButRemovesAnExpiredOneToo)
{
    ASSERT_EQ(putText("ns", "live", "v"), KELVO_TABLE_OK);
    ASSERT_EQ(putText("ns", "expired", "v", kelvoTableNowMs()), KELVO_TABLE_OK);
    EXPECT_EQ(kelvoTableDelete("none", 4, "live", 4), KELVO_TABLE_MISSING);
    EXPECT_EQ(kelvoTableDelete("ns", 2, "other", 5), KELVO_TABLE_MISSING);
    EXPECT_EQ(kelvoTableDelete("ns", 2, "expired", 7), KELVO_TABLE_MISSING);
    EXPECT_EQ(totalKeys(), 1) << "the expired item is gone all the same";
    EXPECT_EQ(kelvoTableDelete("ns", 2, "live", 4), KELVO_TABLE_OK);
    EXPECT_EQ(kelvoTableDelete("ns", 2, "live", 4), KELVO_TABLE_MISSING);
    EXPECT_EQ(totalKeys(), 0);
    EXPECT_EQ(totalMemory(), 0);
    EXPECT_EQ(memoryOf("ns"), 0);
}

TEST_F(Table, ClearEmptiesANamespaceInOneWalkAndKeepsIt)
{
    ASSERT_EQ(putText("big", "first", "v"), KELVO_TABLE_OK);
    ASSERT_EQ(putText("other", "k", "v"), KELVO_TABLE_OK);
    ASSERT_EQ(kelvoTableDelete("big", 3, "first", 5), KELVO_TABLE_OK);
    drainRetired();
    uint64_t before = liveBlocks();
    for (int i = 0; i < 100000; i++)
        ASSERT_EQ(putText("big", "key:" + std::to_string(i), "value"), KELVO_TABLE_OK);
    EXPECT_EQ(totalKeys(), 100001);
    EXPECT_EQ(kelvoTableClear("big", 3), KELVO_TABLE_OK);
    EXPECT_EQ(keys("big"), std::vector<std::string>{});
    EXPECT_EQ(memoryOf("big"), 0);
    EXPECT_EQ(totalKeys(), 1);
    EXPECT_EQ(totalMemory(), memoryOf("other"));
    EXPECT_EQ(namespaces(), (std::vector<std::string>{"big", "other"}));
    EXPECT_EQ(kelvoTableClear("missing", 7), KELVO_TABLE_OK);
    drainRetired();
    EXPECT_EQ(liveBlocks(), before) << "every item and the grown map were freed";
    ASSERT_EQ(putText("big", "again", "v"), KELVO_TABLE_OK);
    EXPECT_EQ(get("big", "again"), "v");
}

TEST_F(Table, ClearAllCountsEveryItemExpiredOnesTooAndLeavesNoNamespace)
{
    drainRetired();
    uint64_t before = liveBlocks();
    EXPECT_EQ(kelvoTableClearAll(), 0);
    for (int ns = 0; ns < 20; ns++)
        for (int i = 0; i < 50; i++)
            ASSERT_EQ(putText("ns" + std::to_string(ns), std::to_string(i), "v", i == 0 ? kelvoTableNowMs() - 1 : 0),
                      KELVO_TABLE_OK);
    EXPECT_EQ(kelvoTableClearAll(), 1000);
    EXPECT_EQ(namespaces(), std::vector<std::string>{});
    EXPECT_EQ(totalKeys(), 0);
    EXPECT_EQ(totalMemory(), 0);
    EXPECT_EQ(get("ns3", "7"), "(none)");
    drainRetired();
    EXPECT_GE(before + 1, liveBlocks()) << "namespaces, items and maps freed (the set may keep a grown map)";
    ASSERT_EQ(putText("ns3", "7", "back"), KELVO_TABLE_OK);
    EXPECT_EQ(get("ns3", "7"), "back");
}

/* --- a heap too small to grow a set ------------------------------------------------------ */

struct SmallHeap : Table {
    SmallHeap() { settings.arena = 1 << 20; }
};

TEST_F(SmallHeap, AnInsertThatCannotGrowTheSetIsRefusedAndEveryEarlierKeyStaysFindable)
{
    std::vector<std::string> stored;
    int refused = 0;
    for (int i = 0; i < 200000 && refused < 50; i++) {
        std::string key = "key:" + std::to_string(i);
        kelvoValueSource value = text("value of " + key);
        std::string bytes = "value of " + key;
        value.bytes = bytes.data();
        kelvoTableItem *item = kelvoTableItemCreate(key.data(), key.size(), &value, 0);
        if (!item)
            break;
        kelvoTableStatus status = kelvoTableStore("ns", 2, item, false);
        if (status == KELVO_TABLE_OK) {
            stored.push_back(key);
            continue;
        }
        ASSERT_EQ(status, KELVO_TABLE_NO_MEMORY);
        kelvoTableItemFree(item);
        refused++;
        for (const std::string &k : stored)
            ASSERT_EQ(get("ns", k), "value of " + k) << "after refused insert " << refused;
    }
    ASSERT_GT(refused, 0) << "the set's growth was refused before the items filled the heap";
    ASSERT_GT(stored.size(), 1000u);
    EXPECT_EQ(totalKeys(), int64_t(stored.size()));
    EXPECT_EQ(sorted(keys("ns")), sorted(stored));
    ASSERT_EQ(put("ns", stored.front(), number(5)), KELVO_TABLE_OK) << "replacing needs no room";
    EXPECT_EQ(get("ns", stored.front()), "#5");
}

/* --- reclaiming between intervals ------------------------------------------------------ */

/* Replaces one key `times` times, with the upkeep of every write but its interval never due; the largest backlog seen. */
unsigned replaceWithUpkeep(int times, uint64_t now)
{
    unsigned largest = 0;
    for (int i = 0; i < times; i++) {
        kelvoTableUpkeep(now);
        EXPECT_EQ(TableArena::putText("ns", "k", "value " + std::to_string(i % 10)), KELVO_TABLE_OK);
        largest = std::max(largest, kelvoGlobalEpochPending());
    }
    return largest;
}

TEST_F(Table, WritesDrainTheirRetiredBacklogBeforeTheIntervalOnePollerAtATime)
{
    uint64_t now = kelvoTableNowUsec();
    kelvoTableUpkeep(now); // the interval's own poll, now not due again
    EXPECT_LT(replaceWithUpkeep(30000, now), 10000u) << "freed in step with the writes";
    EXPECT_EQ(get("ns", "k"), "value 9");

    uint32_t *poller = &kelvoSharedData->periodic.poller;
    *poller = uint32_t(getppid()); // a live process polls
    unsigned before = kelvoGlobalEpochPending();
    replaceWithUpkeep(10000, now);
    EXPECT_GE(kelvoGlobalEpochPending(), before + 10000) << "nothing polled beside that process";
    *poller = 0;
    EXPECT_LT(replaceWithUpkeep(30000, now), before + 10000 + 5000) << "the backlog drains again";
    drainRetired();
    checkHeap();
}

TEST_F(Table, ALookupAfterTheNamespacesChangedNeverUsesTheNamespaceFoundBefore)
{
    ASSERT_EQ(putText("", "k", "first"), KELVO_TABLE_OK);
    EXPECT_EQ(get("", "k"), "first");
    EXPECT_EQ(kelvoTableClearAll(), 1);
    EXPECT_EQ(get("", "k"), "(none)");
    drainRetired(); // the old namespace's block may now hold anything
    ASSERT_EQ(putText("other", "k", "other"), KELVO_TABLE_OK);
    ASSERT_EQ(putText("", "k", "second"), KELVO_TABLE_OK);
    EXPECT_EQ(get("", "k"), "second");
    EXPECT_EQ(get("other", "k"), "other");
    EXPECT_EQ(get("", "k"), "second");
}

/* --- the expiry sweep ------------------------------------------------------------------------- */

TEST_F(Table, TheSweepRunsOncePerFiftyMillisecondsAcrossTheProcessTree)
{
    uint64_t t0 = sweepTime();
    ASSERT_EQ(putText("ns", "a", "v", kelvoTableNowMs() - 1), KELVO_TABLE_OK);
    kelvoTableCacheGC(t0);
    EXPECT_EQ(totalKeys(), 0);
    ASSERT_EQ(putText("ns", "b", "v", kelvoTableNowMs() - 1), KELVO_TABLE_OK);
    kelvoTableCacheGC(t0 + 49999);
    EXPECT_EQ(totalKeys(), 1) << "too soon";
    ASSERT_EQ(waitChild(forkChild([&] {
                  kelvoTableCacheGC(t0 + 50000);
                  return totalKeys() == 0;
              })),
              0)
        << "another process claims the next run";
    ASSERT_EQ(putText("ns", "c", "v", kelvoTableNowMs() - 1), KELVO_TABLE_OK);
    kelvoTableCacheGC(t0 + 60000);
    EXPECT_EQ(totalKeys(), 1) << "this process sees the child's claim";
    kelvoTableCacheGC(t0 + 100000);
    EXPECT_EQ(totalKeys(), 0);
}

TEST_F(Table, TheSweepBoundsItsWorkResumesAndPassesOverNamespacesWithoutExpiringItems)
{
    for (int i = 0; i < 6000; i++)
        ASSERT_EQ(putText("lasting", std::to_string(i), "v"), KELVO_TABLE_OK);
    ASSERT_EQ(putText("short", "one", "v", kelvoTableNowMs() - 1), KELVO_TABLE_OK);
    uint64_t now = sweepTime();
    kelvoTableCacheGC(now);
    EXPECT_EQ(totalKeys(), 6000) << "the 6000 lasting items cost the budget nothing";

    int64_t past = kelvoTableNowMs() - 1;
    for (int i = 0; i < 10000; i++)
        ASSERT_EQ(putText("short", std::to_string(i), "v", i % 10 ? past : kelvoTableNowMs() + 600000), KELVO_TABLE_OK);
    now += 50000;
    kelvoTableCacheGC(now);
    int64_t afterOne = totalKeys();
    EXPECT_LT(afterOne, 16000);
    EXPECT_GT(afterOne, 6000 + 1000 + 5000) << "one run examines a bounded number of items";
    for (int run = 0; run < 10; run++) {
        now += 50000;
        kelvoTableCacheGC(now);
    }
    EXPECT_EQ(totalKeys(), 7000);
    EXPECT_EQ(keys("short").size(), 1000u);
    int64_t sum = 0;
    for (const std::string &k : keys("short"))
        sum += int64_t(k.size()) + 1 + 74;
    EXPECT_EQ(memoryOf("short"), sum);
    EXPECT_EQ(totalMemory(), sum + memoryOf("lasting"));
}

/* --- a dead lock holder -------------------------------------------------------------------------- */

class DeadHolder : public Table, public ::testing::WithParamInterface<uint32_t> {
  public:
    DeadHolder() { settings.lockKind = GetParam(); }
};

TEST_P(DeadHolder, DisablesTheSharedStateAndNoCallHangs)
{
    ASSERT_EQ(putText("ns", "k", "v"), KELVO_TABLE_OK);
    ASSERT_EQ(waitChild(forkChild([&] {
                  if (kelvoGlobalEpochInit() != 0)
                      return false;
                  kelvoGlobalEpochBegin();
                  kelvoTableHT *ht = kelvoTableFind("ns", 2);
                  kelvoGlobalEpochEnd();
                  return ht && kelvoLockLock(&ht->lock) == 0; // and ends holding it
              })),
              0);
    EXPECT_EQ(get("ns", "k"), "v") << "readers take no lock";
    EXPECT_EQ(putText("ns", "k2", "v"), KELVO_TABLE_BROKEN);
    EXPECT_TRUE(kelvoSharedStateBroken());
    EXPECT_EQ(kelvoTableDelete("ns", 2, "k", 1), KELVO_TABLE_BROKEN);
    EXPECT_EQ(kelvoTableClear("ns", 2), KELVO_TABLE_BROKEN);
    EXPECT_EQ(kelvoTableClearAll(), -1);
    kelvoTableUpkeep(kelvoTableNowUsec());
}

INSTANTIATE_TEST_SUITE_P(LockKinds, DeadHolder,
                         ::testing::Values(KELVO_LOCK_SPIN, KELVO_LOCK_MUTEX, KELVO_LOCK_ADAPTIVE_MUTEX),
                         [](const auto &info) {
                             return std::string(info.param == KELVO_LOCK_SPIN    ? "Spin"
                                                : info.param == KELVO_LOCK_MUTEX ? "Mutex"
                                                                                 : "AdaptiveMutex");
                         });

} // namespace
