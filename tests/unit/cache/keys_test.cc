// Cached values and shared maps without the engine: map sizing and growth, a
// property test against a standard map, member facts, completeness, copies,
// building from a walked tree with its limits, and values shared across forks.
// Every test ends with the heap back at its starting use.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <map>
#include <optional>
#include <random>
#include <string>
#include <type_traits>
#include <vector>

#include <xxhash.h>

#include "cache/keys.h"
#include "runtime/cfgvals.h"
#include "shm/shmalloc.h"
#include "support/shm_check.h"
#include "support/shm_fork.h"

namespace {

constexpr uint64_t MiB = 1 << 20;

struct Keys : ::testing::Test {
    uint64_t startUsed = 0;
    void SetUp() override
    {
        ASSERT_EQ(kelvoShInitEx(16 * MiB, KELVO_PREFAULT_OFF, KELVO_LOCK_ADAPTIVE_MUTEX), 0);
        kelvoMapSetSeed(0x9e3779b97f4a7c15ULL);
        startUsed = inUseBytes();
    }
    void TearDown() override
    {
        EXPECT_EQ(inUseBytes(), startUsed) << "the heap does not balance";
        checkHeap();
        kelvoShDestroy();
    }
};

std::string bytesOf(const char *p, uint32_t n) { return std::string(p, n); }

/* --- a small reply tree for building, walked through kelvoNodeReader --- */

struct Node {
    kelvoNodeShape shape = KELVO_NODE_NIL;
    std::string text;
    int64_t integer = 0;
    double dval = 0;
    std::vector<Node> children;
};

Node str(const std::string &s) { return {KELVO_NODE_STRING, s, 0, 0, {}}; }
Node nil() { return {}; }
Node num(int64_t v) { return {KELVO_NODE_INTEGER, "", v, 0, {}}; }
Node dbl(double v) { return {KELVO_NODE_DOUBLE, "", 0, v, {}}; }
Node agg(std::vector<Node> children) { return {KELVO_NODE_AGGREGATE, "", 0, 0, std::move(children)}; }

kelvoNode shapeOf(const void *p)
{
    auto *n = static_cast<const Node *>(p);
    return {n->shape, n->text.data(), n->text.size(), n->integer, n->dval, n->children.size()};
}
const void *childOf(const void *p, uint64_t i) { return &static_cast<const Node *>(p)->children[i]; }
const kelvoNodeReader treeReader = {shapeOf, childOf};

rk *build(uint32_t type, uint16_t flags, const Node &root)
{
    return kelvoKeyFromNodes(type, flags, &treeReader, &root);
}

/* --- map sizing --- */

struct SizeCase {
    uint64_t members;
    uint32_t slots; /* 0: refused */
    uint32_t arena;
};

struct MapSizing : Keys, ::testing::WithParamInterface<SizeCase> {};

TEST_P(MapSizing, SlotsAndArenaFollowTheMemberCount)
{
    const SizeCase &c = GetParam();
    kelvoMap *map = kelvoMapCreate(KELVO_SET, c.members);
    if (c.slots == 0) {
        EXPECT_EQ(map, nullptr);
        return;
    }
    ASSERT_NE(map, nullptr);
    EXPECT_EQ(map->slots, c.slots);
    EXPECT_EQ(map->entries_cap, c.arena);
    EXPECT_EQ(map->live, 0u);
    EXPECT_EQ(map->used, KELVO_MAP_MIN_OFF);
    kelvoMapFree(map);
}

INSTANTIATE_TEST_SUITE_P(Keys, MapSizing,
                         ::testing::Values(SizeCase{0, 0, 0}, SizeCase{1, 2, 256}, SizeCase{2, 4, 256},
                                           SizeCase{3, 4, 296}, SizeCase{85, 128, 8168}, SizeCase{100, 128, 9608},
                                           SizeCase{109, 256, 10472}, SizeCase{uint64_t{1} << 33, 0, 0}));

/* Growth: a map made for `made` members, filled one by one, has doubled its slots exactly where the load limit passes. */
struct GrowthCase {
    uint64_t made;
    uint32_t inserted;
    uint32_t slots;
};

struct MapGrowth : Keys, ::testing::WithParamInterface<GrowthCase> {};

TEST_P(MapGrowth, SlotsDoubleWhenLoadPassesEightyFivePercent)
{
    const GrowthCase &c = GetParam();
    kelvoMap *map = kelvoMapCreate(KELVO_SET, c.made);
    ASSERT_NE(map, nullptr);
    for (uint32_t i = 0; i < c.inserted; i++) {
        std::string m = "member:" + std::to_string(i);
        ASSERT_EQ(kelvoMapPut(KELVO_SET, &map, m.data(), m.size(), KELVO_MAP_NO_VALUE, 0, nullptr, 0, 0), 0);
    }
    EXPECT_EQ(map->live, c.inserted);
    EXPECT_EQ(map->slots, c.slots);
    kelvoMapFree(map);
}

INSTANTIATE_TEST_SUITE_P(Keys, MapGrowth,
                         ::testing::Values(GrowthCase{1, 1, 2}, GrowthCase{1, 2, 4}, GrowthCase{1, 3, 4},
                                           GrowthCase{1, 4, 8}, GrowthCase{100, 108, 128}, GrowthCase{100, 109, 256}));

TEST_F(Keys, ReplacingAFieldAppendsAnEntryUntilACopyCompactsIt)
{
    rk *h = kelvoHashCreate(4);
    ASSERT_NE(h, nullptr);
    ASSERT_EQ(kelvoHashPutString(h, "f", 1, "one", 3), 0);
    uint32_t used = h->v.map->used;
    ASSERT_EQ(kelvoHashPutString(h, "f", 1, "two", 3), 0);
    EXPECT_EQ(h->v.map->live, 1u);
    EXPECT_EQ(h->v.map->used, used + 16);
    rk *copy = kelvoKeyClone(h);
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(copy->v.map->used, used);
    EXPECT_EQ(copy->v.map->entries_cap, used);
    kelvoMapMember m = kelvoMapReadEntry(kelvoMapGet(copy, "f", 1));
    EXPECT_EQ(bytesOf(m.value, m.valueLen), "two");
    kelvoKeyFree(copy);
    kelvoKeyFree(h);
}

/* --- listing order --- */

struct OrderCase {
    const char *name;
    int fields;
    size_t valueBytes; /* large values leave the arena sparse beside its live entries */
    int replaceEvery;  /* every n-th field is written again at the end (0: none) */
};

struct ArenaOrder : Keys, ::testing::WithParamInterface<OrderCase> {};

TEST_P(ArenaOrder, SlotsAreListedInTheOrderTheirEntriesEnteredTheArena)
{
    const OrderCase &c = GetParam();
    rk *h = kelvoHashCreate(uint64_t(c.fields));
    ASSERT_NE(h, nullptr);
    std::vector<std::string> expected;
    auto put = [&](const std::string &field) {
        std::string value(c.valueBytes, 'v');
        ASSERT_EQ(kelvoHashPutString(h, field.data(), field.size(), value.data(), value.size()), 0);
        expected.erase(std::remove(expected.begin(), expected.end(), field), expected.end());
        expected.push_back(field);
    };
    for (int i = 0; i < c.fields; i++)
        put("field" + std::to_string(i));
    for (int i = 0; c.replaceEvery && i < c.fields; i += c.replaceEvery)
        put("field" + std::to_string(i));

    std::vector<std::string> listed;
    const kelvoMapSlot *slots = kelvoMapSlots(h->v.map);
    for (uint32_t i : kelvoMapSlotsInArenaOrder(h->v.map)) {
        kelvoMapMember m = kelvoMapReadEntry(
            kelvoMapPublicEntry(KELVO_HASH, kelvoMapEntryAtConst(h->v.map, &slots[i]), kelvoMapSlotFlags(&slots[i])));
        listed.push_back(bytesOf(m.name, m.nameLen));
    }
    EXPECT_EQ(listed, expected);
    kelvoKeyFree(h);
}

INSTANTIATE_TEST_SUITE_P(Keys, ArenaOrder,
                         ::testing::Values(OrderCase{"one_field", 1, 3, 0}, OrderCase{"small_values", 100, 3, 0},
                                           OrderCase{"large_values", 50, 2000, 0},
                                           OrderCase{"replaced_fields", 100, 3, 3},
                                           OrderCase{"mostly_replaced", 20, 3, 1},
                                           OrderCase{"large_replaced", 30, 500, 2}),
                         [](const auto &info) { return std::string(info.param.name); });

TEST_F(Keys, SlotsKeepTheSeededHashAndGrowthNeverRehashes)
{
    kelvoMapSetSeed(12345);
    rk *s = kelvoMapKeyCreate(KELVO_SET, 1, 0);
    ASSERT_NE(s, nullptr);
    for (int i = 0; i < 40; i++) {
        std::string m = "m" + std::to_string(i);
        ASSERT_EQ(kelvoMapPut(KELVO_SET, kelvoKeyMapPtr(s), m.data(), m.size(), 0, 0, nullptr, 0, 0), 0);
    }
    const kelvoMap *map = s->v.map;
    int checked = 0;
    for (uint32_t i = 0; i < map->slots; i++) {
        const kelvoMapSlot *slot = &kelvoMapSlots(map)[i];
        if (kelvoMapSlotIsEmpty(slot))
            continue;
        kelvoMapMember m = kelvoMapReadEntry(kelvoMapPublicEntry(KELVO_SET, kelvoMapEntryAtConst(map, slot), 0));
        EXPECT_EQ(slot->hash, XXH3_64bits_withSeed(m.name, m.nameLen, 12345));
        EXPECT_NE(slot->hash, XXH3_64bits_withSeed(m.name, m.nameLen, 0));
        checked++;
    }
    EXPECT_EQ(checked, 40);
    kelvoKeyFree(s);
}

/* --- property test against a standard map --- */

/* What the model knows of a member: a kept value, a field without value, or a bare fact. */
struct Known {
    enum Kind { Value, NoValue, Exists, Absent } kind;
    std::string value;
};

struct Model {
    uint32_t type;
    bool full = false;
    std::map<std::string, Known> members;
};

/* Every slot in bounds, counts agreeing, and each member answering as the model says. */
void expectMatches(const rk *key, const Model &model)
{
    const kelvoMap *map = key->v.map;
    ASSERT_NE(map, nullptr);
    EXPECT_LE(uint64_t{map->live} * 100, uint64_t{map->slots} * 85);
    EXPECT_LE(map->used, map->entries_cap);
    EXPECT_EQ(map->slots & (map->slots - 1), 0u);
    uint32_t nonEmpty = 0;
    for (uint32_t i = 0; i < map->slots; i++) {
        const kelvoMapSlot *slot = &kelvoMapSlots(map)[i];
        if (kelvoMapSlotIsEmpty(slot))
            continue;
        nonEmpty++;
        uint32_t off = kelvoMapSlotRealOff(slot);
        EXPECT_EQ(off % 8, 0u);
        EXPECT_GE(off, KELVO_MAP_MIN_OFF);
        EXPECT_LE(off + kelvoMapEntryLiveSize(model.type, kelvoMapEntryAtConst(map, slot), kelvoMapSlotFlags(slot)),
                  map->used);
    }
    EXPECT_EQ(nonEmpty, map->live);
    EXPECT_EQ(map->live, model.members.size());
    for (const auto &[name, known] : model.members) {
        int state = -1;
        const void *entry = kelvoMapGetEx(key, &state, name.data(), name.size());
        switch (known.kind) {
        case Known::Absent:
            EXPECT_EQ(state, KELVO_MEMBER_ABSENT) << name;
            EXPECT_EQ(entry, nullptr);
            break;
        case Known::Exists:
            EXPECT_EQ(state, KELVO_MEMBER_EXISTS) << name;
            if (model.type == KELVO_HASH) {
                EXPECT_EQ(entry, nullptr);
            }
            break;
        case Known::NoValue:
        case Known::Value: {
            EXPECT_EQ(state, KELVO_MEMBER_EXISTS) << name;
            ASSERT_NE(entry, nullptr) << name;
            kelvoMapMember m = kelvoMapReadEntry(entry);
            EXPECT_EQ(bytesOf(m.name, m.nameLen), name);
            EXPECT_EQ(m.hasValue, known.kind == Known::Value);
            if (m.hasValue) {
                EXPECT_EQ(bytesOf(m.value, m.valueLen), known.value) << name;
            }
            break;
        }
        }
    }
}

/* The same answers for every member, and only the live entries in a copy's arena. */
void expectSameMembers(const rk *a, const rk *b, const Model &model)
{
    EXPECT_EQ(a->v.map->live, b->v.map->live);
    EXPECT_EQ(b->v.map->used, b->v.map->entries_cap);
    for (const auto &[name, known] : model.members) {
        int sa = -1, sb = -2;
        const void *ea = kelvoMapGetEx(a, &sa, name.data(), name.size());
        const void *eb = kelvoMapGetEx(b, &sb, name.data(), name.size());
        EXPECT_EQ(sa, sb) << name;
        ASSERT_EQ(ea == nullptr, eb == nullptr) << name;
        if (!ea)
            continue;
        kelvoMapMember ma = kelvoMapReadEntry(ea), mb = kelvoMapReadEntry(eb);
        EXPECT_EQ(bytesOf(ma.name, ma.nameLen), bytesOf(mb.name, mb.nameLen));
        EXPECT_EQ(ma.hasValue, mb.hasValue);
        EXPECT_EQ(bytesOf(ma.value, ma.valueLen), bytesOf(mb.value, mb.valueLen));
    }
}

struct MapProperty : Keys, ::testing::WithParamInterface<uint32_t> {};

TEST_P(MapProperty, RandomPutsReplacesAndFactsAgreeWithAStandardMap)
{
    const uint32_t type = GetParam();
    std::mt19937_64 rng(type * 7919 + 1);
    Model model{type, false, {}};
    rk *key = kelvoMapKeyCreate(type, 1, 0);
    ASSERT_NE(key, nullptr);
    auto pick = [&] {
        /* Few names, so replaces and facts meet existing members; some empty, some long. */
        uint64_t n = rng() % 300;
        if (n == 0)
            return std::string();
        return std::string(n % 7 == 0 ? 200 : 1, static_cast<char>('a' + n % 26)) + std::to_string(n);
    };
    for (int step = 0; step < 3000; step++) {
        std::string name = pick();
        bool replace = rng() % 2;
        auto it = model.members.find(name);
        switch (rng() % 4) {
        case 0:
        case 1: {
            bool withValue = type == KELVO_HASH && rng() % 4 != 0;
            std::string value = withValue ? std::string(rng() % 40, 'v') + std::to_string(step) : "";
            ASSERT_EQ(kelvoMapPut(type, kelvoKeyMapPtr(key), name.data(), name.size(),
                                  withValue ? KELVO_MAP_WITH_VALUE : KELVO_MAP_NO_VALUE, 0, value.data(), value.size(),
                                  replace),
                      0);
            if (it == model.members.end() || replace)
                model.members[name] = {withValue ? Known::Value : Known::NoValue, value};
            break;
        }
        case 2:
            ASSERT_EQ(kelvoKeyFlagExists(key, name.data(), name.size(), 1), 0);
            if (it == model.members.end() || it->second.kind == Known::Absent || type == KELVO_SET)
                model.members[name] = {it != model.members.end() && it->second.kind == Known::Value ? Known::Value
                                                                                                    : Known::Exists,
                                       it != model.members.end() ? it->second.value : ""};
            else if (it->second.kind == Known::NoValue)
                it->second.kind = Known::Exists;
            break;
        case 3:
            ASSERT_EQ(kelvoKeyFlagExists(key, name.data(), name.size(), 0), 0);
            model.members[name] = {Known::Absent, ""};
            break;
        }
        expectMatches(key, model);
        if (step % 500 == 499) {
            rk *copy = kelvoKeyClone(key);
            ASSERT_NE(copy, nullptr);
            EXPECT_EQ(copy->flags, KELVO_KEY_INITIALIZED);
            expectSameMembers(key, copy, model);
            expectMatches(copy, model);
            kelvoKeyFree(copy);
        }
    }
    kelvoKeyFree(key);
}

INSTANTIATE_TEST_SUITE_P(Keys, MapProperty, ::testing::Values(KELVO_HASH, KELVO_SET),
                         [](const ::testing::TestParamInfo<uint32_t> &info) {
                             return std::string(info.param == KELVO_HASH ? "Hash" : "Set");
                         });

TEST_F(Keys, BadPutArgumentsLeaveTheMapAsItWas)
{
    rk *s = kelvoMapKeyCreate(KELVO_SET, 2, 0);
    rk *h = kelvoHashCreate(2);
    ASSERT_NE(s, nullptr);
    ASSERT_NE(h, nullptr);
    EXPECT_EQ(kelvoMapPut(KELVO_SET, kelvoKeyMapPtr(s), "a", 1, KELVO_MAP_WITH_VALUE, 0, "v", 1, 0), -1);
    EXPECT_EQ(kelvoMapPut(KELVO_SET, kelvoKeyMapPtr(s), "a", 1, KELVO_MAP_NIL_VALUE, 0, nullptr, 0, 0), -1);
    EXPECT_EQ(kelvoMapPut(KELVO_HASH, kelvoKeyMapPtr(h), "a", 1, KELVO_MAP_WITH_VALUE, 0, nullptr, 3, 0), -1);
    EXPECT_EQ(kelvoMapPut(KELVO_HASH, kelvoKeyMapPtr(h), "a", 1, KELVO_MAP_NO_VALUE, 8, nullptr, 0, 0), -1);
    EXPECT_EQ(kelvoMapPut(KELVO_HASH, kelvoKeyMapPtr(h), "a", uint64_t{1} << 32, KELVO_MAP_NO_VALUE, 0, nullptr, 0, 0),
              -1);
    EXPECT_EQ(s->v.map->live + h->v.map->live, 0u);
    EXPECT_EQ(kelvoMapPut(KELVO_HASH, kelvoKeyMapPtr(h), "a", 1, KELVO_MAP_NIL_VALUE, 0, nullptr, 0, 0), 0);
    int state = -1;
    const void *e = kelvoMapGetEx(h, &state, "a", 1);
    EXPECT_EQ(state, KELVO_MEMBER_EXISTS);
    ASSERT_NE(e, nullptr);
    EXPECT_FALSE(kelvoMapReadEntry(e).hasValue);
    kelvoKeyFree(s);
    kelvoKeyFree(h);
}

/* --- private and shared values --- */

/* Shared values are handed out as `const rk *`: nothing that changes a value accepts one. */
static_assert(!std::is_invocable_v<decltype(&kelvoKeySetLen), const rk *, uint64_t>);
static_assert(!std::is_invocable_v<decltype(&kelvoKeyFlagExists), const rk *, const char *, size_t, int>);
static_assert(
    !std::is_invocable_v<decltype(&kelvoHashPutString), const rk *, const char *, size_t, const char *, size_t>);
static_assert(!std::is_invocable_v<decltype(&kelvoKeyMapPtr), const rk *>);
static_assert(!std::is_invocable_v<decltype(&kelvoKeyZSet), const rk *>);
static_assert(std::is_invocable_r_v<rk *, decltype(&kelvoKeyClone), const rk *>);

TEST_F(Keys, AChangeOfASharedValueGoesThroughACopy)
{
    const rk *shared = build(KELVO_LIST, 0, agg({str("a"), str("b")}));
    ASSERT_NE(shared, nullptr);
    rk *copy = kelvoKeyClone(shared);
    ASSERT_NE(copy, nullptr);
    ASSERT_EQ(kelvoKeySetLen(copy, 2), 0);
    EXPECT_TRUE(kelvoKeyIs(copy, KELVO_KEY_FULL));
    EXPECT_FALSE(kelvoKeyIs(shared, KELVO_KEY_FULL));
    EXPECT_EQ(kelvoKeyRealLen(shared), -1);
    /* The interned values are shared by every process: every change is refused. */
    for (rk *interned : {kelvoNilKey, kelvoExistsKey, kelvoEmptyHashKey, kelvoEmptySetKey, kelvoZeroKey}) {
        EXPECT_EQ(kelvoKeySetLen(interned, 1), -1);
        EXPECT_EQ(kelvoKeyFlagExists(interned, "m", 1, 1), -1);
    }
    kelvoKeyFree(copy);
    kelvoKeyFree(shared);
}

/* --- member facts and lookups --- */

TEST_F(Keys, LookupStatesFollowWhatIsKnown)
{
    rk *partial = kelvoHashCreate(4);
    ASSERT_EQ(kelvoHashPutString(partial, "f", 1, "v", 1), 0);
    ASSERT_EQ(kelvoKeyFlagExists(partial, "gone", 4, 0), 0);
    ASSERT_EQ(kelvoKeyFlagExists(partial, "there", 5, 1), 0);
    rk *full = kelvoKeyClone(partial);
    ASSERT_EQ(kelvoMapPut(KELVO_HASH, kelvoKeyMapPtr(full), "there", 5, KELVO_MAP_WITH_VALUE, 0, "t", 1, 1), 0);
    ASSERT_EQ(kelvoMapPut(KELVO_HASH, kelvoKeyMapPtr(full), "gone", 4, KELVO_MAP_WITH_VALUE, 0, "g", 1, 1), 0);
    ASSERT_EQ(kelvoKeySetLen(full, 3), 0);
    ASSERT_TRUE(kelvoKeyIs(full, KELVO_KEY_FULL));
    struct Case {
        const rk *key;
        const char *member;
        int state;
        bool entry;
    } cases[] = {
        {partial, "unknown", KELVO_MEMBER_UNKNOWN, false},
        {full, "unknown", KELVO_MEMBER_ABSENT, false},
        {partial, "gone", KELVO_MEMBER_ABSENT, false},
        {partial, "there", KELVO_MEMBER_EXISTS, false},
        {partial, "f", KELVO_MEMBER_EXISTS, true},
        {kelvoNilKey, "f", KELVO_MEMBER_ABSENT, false},
        {kelvoEmptyHashKey, "f", KELVO_MEMBER_ABSENT, false},
        {kelvoEmptyArrayKey, "f", KELVO_MEMBER_ABSENT, false},
        {kelvoExistsKey, "f", KELVO_MEMBER_UNKNOWN, false},
    };
    for (const Case &c : cases) {
        int state = -1;
        const void *e = kelvoMapGetEx(c.key, &state, c.member, strlen(c.member));
        EXPECT_EQ(state, c.state) << c.member;
        EXPECT_EQ(e != nullptr, c.entry) << c.member;
    }
    kelvoKeyFree(full);
    kelvoKeyFree(partial);
}

TEST_F(Keys, FactsAreRefusedOnFullUninitialisedAndOtherTypes)
{
    rk *full = build(KELVO_SET, KELVO_KEY_FULL, agg({str("a")}));
    rk *list = build(KELVO_LIST, 0, agg({str("a")}));
    rk *lengthOnly = rkKeyAlloc(KELVO_HASH);
    ASSERT_TRUE(full && list && lengthOnly);
    EXPECT_EQ(kelvoKeyFlagExists(full, "b", 1, 1), -1);
    EXPECT_EQ(kelvoKeyFlagExists(list, "b", 1, 1), -1);
    EXPECT_EQ(kelvoKeyFlagExists(lengthOnly, "b", 1, 1), -1);
    kelvoKeyFree(full);
    kelvoKeyFree(list);
    kelvoKeyFree(lengthOnly);
}

TEST_F(Keys, AnAbsentFactDropsAKeptValueSoTheHashCannotBecomeComplete)
{
    rk *h = kelvoHashCreate(2);
    ASSERT_EQ(kelvoHashPutString(h, "f", 1, "v", 1), 0);
    ASSERT_EQ(kelvoKeyFlagExists(h, "f", 1, 0), 0);
    int state = -1;
    EXPECT_EQ(kelvoMapGetEx(h, &state, "f", 1), nullptr);
    EXPECT_EQ(state, KELVO_MEMBER_ABSENT);
    ASSERT_EQ(kelvoKeySetLen(h, 1), 0);
    EXPECT_FALSE(kelvoKeyIs(h, KELVO_KEY_FULL));
    EXPECT_TRUE(kelvoKeyIs(h, KELVO_KEY_LEN));
    kelvoKeyFree(h);
}

/* --- completeness --- */

struct LenCase {
    const char *name;
    uint32_t type;
    uint32_t members; /* built with values (hash) or as members (set, list) */
    const char *fact; /* "", "exists" or "absent": one more member with a bare fact */
    uint64_t length;
    int rc;
    bool full;
    bool lenFlag;
    int64_t realLen;
};

const LenCase lenCases[] = {
    {"ListOfItsLocalCountIsWhole", KELVO_LIST, 3, "", 3, 0, true, false, 3},
    {"ListOfAnotherCountKeepsTheLength", KELVO_LIST, 3, "", 10, 0, false, true, 10},
    {"HashWithEveryValueIsWhole", KELVO_HASH, 3, "", 3, 0, true, false, 3},
    {"HashWithAFieldOnlyKnownToExist", KELVO_HASH, 3, "exists", 4, 0, false, true, 4},
    {"HashOfThreeHundredStaysPartial", KELVO_HASH, 300, "", 300, 0, false, true, 300},
    {"SetOfItsCountIsWhole", KELVO_SET, 5, "", 5, 0, true, false, 5},
    {"SetWithAnExistsFactIsWhole", KELVO_SET, 2, "exists", 3, 0, true, false, 3},
    {"SetWithAnAbsentMember", KELVO_SET, 2, "absent", 3, 0, false, true, 3},
    {"ZeroIsKeptAsALength", KELVO_SET, 2, "", 0, 0, false, true, 0},
    {"PastThirtyTwoBitsChangesNothing", KELVO_LIST, 3, "", uint64_t{1} << 32, -1, false, false, -1},
};

void PrintTo(const LenCase &c, std::ostream *os) { *os << c.name; }

struct Completeness : Keys, ::testing::WithParamInterface<LenCase> {};

TEST_P(Completeness, SetLenMakesWholeOrRecords)
{
    const LenCase &c = GetParam();
    std::vector<Node> items;
    for (uint32_t i = 0; i < c.members; i++) {
        items.push_back(str("m" + std::to_string(i)));
        if (c.type == KELVO_HASH)
            items.push_back(str("v"));
    }
    rk *key = build(c.type, 0, agg(items));
    ASSERT_NE(key, nullptr);
    if (*c.fact) {
        ASSERT_EQ(kelvoKeyFlagExists(key, "extra", 5, std::string(c.fact) == "exists"), 0);
    }
    EXPECT_EQ(kelvoKeyRealLen(key), -1);
    EXPECT_EQ(kelvoKeySetLen(key, c.length), c.rc);
    EXPECT_EQ(kelvoKeyIs(key, KELVO_KEY_FULL), c.full);
    EXPECT_EQ(kelvoKeyIs(key, KELVO_KEY_LEN), c.lenFlag);
    EXPECT_EQ(kelvoKeyRealLen(key), c.realLen);
    kelvoKeyFree(key);
}

INSTANTIATE_TEST_SUITE_P(Keys, Completeness, ::testing::ValuesIn(lenCases),
                         [](const ::testing::TestParamInfo<LenCase> &info) { return std::string(info.param.name); });

TEST_F(Keys, LengthsOfInternedFullPartialAndLengthOnlyValues)
{
    rk *full = build(KELVO_LIST, KELVO_KEY_FULL, agg({str("a"), nil(), str("bc")}));
    rk *prefix = build(KELVO_LIST, 0, agg({str("a"), str("b")}));
    rk *lengthOnly = rkKeyAlloc(KELVO_LIST);
    ASSERT_TRUE(full && prefix && lengthOnly);
    ASSERT_EQ(kelvoKeySetLen(lengthOnly, 7), 0);
    struct Case {
        const rk *key;
        uint32_t local;
        int64_t total;
    } cases[] = {{kelvoEmptyArrayKey, 0, 0}, {full, 3, 3}, {prefix, 2, -1}, {lengthOnly, 0, 7}};
    for (const Case &c : cases) {
        uint32_t local = 99;
        int64_t total = 99;
        kelvoListLen(c.key, &local, &total);
        EXPECT_EQ(local, c.local);
        EXPECT_EQ(total, c.total);
        EXPECT_EQ(kelvoKeyRealLen(c.key), c.total);
    }
    EXPECT_EQ(kelvoKeyRealLen(kelvoExistsKey), 0);
    EXPECT_EQ(kelvoKeyLocalLen(kelvoEmptyStringKey), 0u);
    kelvoKeyFree(full);
    kelvoKeyFree(prefix);
    kelvoKeyFree(lengthOnly);
}

/* --- copies --- */

TEST_F(Keys, CopiesKeepTheDataAndDropCompleteness)
{
    rk *integer = build(KELVO_INTEGER, 0, num(-42));
    rk *string = build(KELVO_STRING, KELVO_KEY_FULL, str("hello"));
    rk *list = build(KELVO_LIST, KELVO_KEY_FULL, agg({str("x"), nil()}));
    rk *hash = build(KELVO_HASH, KELVO_KEY_FULL, agg({str("f"), str("v"), str("g"), str("w")}));
    rk *lengthOnly = rkKeyAlloc(KELVO_SET);
    ASSERT_TRUE(integer && string && list && hash && lengthOnly);
    kelvoKeySetLen(lengthOnly, 12);

    rk *c = kelvoKeyClone(integer);
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(c->v.integer, -42);
    EXPECT_TRUE(kelvoKeyIs(c, KELVO_KEY_FULL));
    kelvoKeyFree(c);

    c = kelvoKeyClone(string);
    ASSERT_NE(c, nullptr);
    uint32_t n;
    const char *s = kelvoKeyStringConst(c, &n);
    EXPECT_EQ(bytesOf(s, n), "hello");
    EXPECT_EQ(s[n], '\0');
    EXPECT_EQ(c->flags, KELVO_KEY_INITIALIZED);
    kelvoKeyFree(c);

    c = kelvoKeyClone(list);
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(kelvoKeyLocalLen(c), 2u);
    const char *first = kelvoListElement(c, 0, &n);
    EXPECT_EQ(bytesOf(first, n), "x");
    EXPECT_EQ(kelvoListElement(c, 1, &n), nullptr);
    EXPECT_EQ(kelvoKeyRealLen(c), -1);
    kelvoKeyFree(c);

    c = kelvoKeyClone(hash);
    ASSERT_NE(c, nullptr);
    EXPECT_FALSE(kelvoKeyIs(c, KELVO_KEY_FULL));
    EXPECT_EQ(kelvoKeyLocalLen(c), 2u);
    kelvoMapMember m = kelvoMapReadEntry(kelvoMapGet(c, "g", 1));
    EXPECT_EQ(bytesOf(m.value, m.valueLen), "w");
    kelvoKeyFree(c);

    c = kelvoKeyClone(lengthOnly);
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(c->type, KELVO_SET);
    EXPECT_EQ(kelvoKeyRealLen(c), 12);
    EXPECT_FALSE(kelvoKeyIs(c, KELVO_KEY_INITIALIZED));
    kelvoKeyFree(c);

    EXPECT_EQ(kelvoKeyClone(kelvoEmptySetKey), kelvoEmptySetKey);
    for (rk *k : {integer, string, list, hash, lengthOnly})
        kelvoKeyFree(k);
}

TEST_F(Keys, SortedSetsAndUnknownTypesAreNotCopied)
{
    rk *zset = build(KELVO_ZSET, 0, agg({str("a")}));
    ASSERT_NE(zset, nullptr);
    EXPECT_EQ(kelvoKeyClone(zset), nullptr);
    kelvoKeyFree(zset);
    /* What another process may have stored under a type this one does not know. */
    rk stranger{};
    stranger.type = 128;
    stranger.flags = KELVO_KEY_INITIALIZED;
    EXPECT_EQ(kelvoKeyClone(&stranger), nullptr);
    rk nothing{};
    nothing.type = KELVO_HASH;
    EXPECT_EQ(kelvoKeyClone(&nothing), nullptr);
}

/* --- building from a walked tree --- */

TEST_F(Keys, MapArenaIsSizedFromTheReply)
{
    std::vector<Node> fields;
    for (int i = 0; i < 50; i++) {
        fields.push_back(str("field" + std::to_string(i)));
        fields.push_back(str(std::string(i, 'x')));
    }
    rk *h = build(KELVO_HASH, KELVO_KEY_FULL, agg(fields));
    ASSERT_NE(h, nullptr);
    uint64_t expected = KELVO_MAP_MIN_OFF;
    for (int i = 0; i < 50; i++)
        expected += kelvoMapEntrySize(KELVO_HASH, 5 + std::to_string(i).size(), i, KELVO_MAP_WITH_VALUE);
    EXPECT_EQ(h->v.map->entries_cap, expected);
    EXPECT_EQ(h->v.map->used, expected);
    EXPECT_EQ(h->v.map->slots, 64u);
    kelvoKeyFree(h);
}

TEST_F(Keys, NoValueTakesMoreThanAnEighthOfTheArena)
{
    size_t limit = kelvoKeyMaxBytes();
    EXPECT_EQ(limit, 2 * MiB);
    std::string big(limit, 'x');
    EXPECT_EQ(build(KELVO_STRING, KELVO_KEY_FULL, str(big)), nullptr);
    EXPECT_EQ(build(KELVO_LIST, KELVO_KEY_FULL, agg({str(big)})), nullptr);
    EXPECT_EQ(build(KELVO_SET, KELVO_KEY_FULL, agg({str(big.substr(0, limit / 2)), str(big.substr(0, limit / 2 + 1))})),
              nullptr);
    EXPECT_EQ(build(KELVO_ZSET, KELVO_KEY_FULL, agg({str(big.substr(0, limit - 8))})), nullptr);
    rk *fits = build(KELVO_STRING, KELVO_KEY_FULL, str(big.substr(0, limit - 4096)));
    EXPECT_NE(fits, nullptr);
    kelvoKeyFree(fits);
    /* A copy that grows past the limit fails and leaves the map as it was. */
    rk *h = kelvoHashCreate(1);
    ASSERT_EQ(kelvoHashPutString(h, "a", 1, big.data(), limit / 4), 0);
    kelvoMap *before = h->v.map;
    EXPECT_EQ(kelvoHashPutString(h, "b", 1, big.data(), limit / 4), -1);
    EXPECT_EQ(h->v.map, before);
    EXPECT_EQ(h->v.map->live, 1u);
    kelvoKeyFree(h);
}

TEST(KeysWithoutArena, NothingIsBuilt)
{
    ASSERT_FALSE(kelvoShArenaActive());
    EXPECT_EQ(kelvoKeyMaxBytes(), 0u);
    EXPECT_EQ(build(KELVO_STRING, KELVO_KEY_FULL, str("a")), nullptr);
    EXPECT_EQ(build(KELVO_STRING, KELVO_KEY_FULL, nil()), kelvoNilKey);
}

TEST_F(Keys, SortedSetsFillInOrderOrReversedWithTheirScores)
{
    Node reply = agg({agg({str("a"), dbl(1)}), agg({nil(), dbl(2)}), agg({str("ccc"), dbl(3.5)})});
    rk *up = build(KELVO_ZSET, KELVO_KEY_FULL, reply);
    rk *down = build(KELVO_ZSET, KELVO_KEY_FILL_REVERSE, reply);
    ASSERT_TRUE(up && down);
    EXPECT_EQ(up->flags, KELVO_KEY_FULL | KELVO_KEY_INITIALIZED | KELVO_KEY_LEN);
    EXPECT_EQ(up->len, 3u);
    EXPECT_EQ(down->flags, KELVO_KEY_INITIALIZED);
    EXPECT_EQ(down->len, KELVO_KEY_LEN_UNKNOWN);
    const rkZSet *u = kelvoKeyZSetConst(up), *d = kelvoKeyZSetConst(down);
    ASSERT_EQ(u->count, 3u);
    EXPECT_EQ(u->members.used, u->members.cap);
    EXPECT_EQ(u->members.cap, 6u);
    EXPECT_EQ(bytesOf(u->records[0].member, u->records[0].len), "a");
    EXPECT_EQ(u->records[1].member, nullptr);
    EXPECT_EQ(u->records[2].score, 3.5);
    EXPECT_EQ(bytesOf(d->records[0].member, d->records[0].len), "ccc");
    EXPECT_EQ(d->records[0].score, 3.5);
    EXPECT_EQ(d->records[2].score, 1);
    kelvoKeyFree(up);
    kelvoKeyFree(down);
}

/* --- iteration and random entries --- */

TEST_F(Keys, IteratorWalksLiveSlotsInOrderAndNilCollectionsAsEmpty)
{
    rk *s = build(KELVO_SET, KELVO_KEY_FULL, agg({str("a"), str("b"), str("c"), str("a")}));
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(kelvoKeyLocalLen(s), 3u);
    kelvoMapIterator it;
    kelvoMapIteratorInit(&it, s);
    std::vector<std::string> seen;
    int64_t last = -1;
    while (kelvoMapIteratorNext(&it)) {
        EXPECT_GT(it.index, last);
        last = it.index;
        kelvoMapMember m = kelvoMapReadEntry(it.entry);
        seen.emplace_back(m.name, m.nameLen);
    }
    EXPECT_EQ(it.entry, nullptr);
    std::sort(seen.begin(), seen.end());
    EXPECT_EQ(seen, (std::vector<std::string>{"a", "b", "c"}));
    for (const rk *empty : {kelvoNilKey, kelvoEmptySetKey, kelvoEmptyArrayKey}) {
        kelvoMapIteratorInit(&it, empty);
        EXPECT_FALSE(kelvoMapIteratorNext(&it));
    }
    kelvoKeyFree(s);
}

TEST_F(Keys, RandomEntriesComeOnlyFromLiveSlotsAndCoverThemAll)
{
    rk *s = build(KELVO_SET, KELVO_KEY_FULL, agg({str("a"), str("b"), str("c")}));
    ASSERT_NE(s, nullptr);
    std::mt19937 rng(7);
    auto draw = [](uint32_t upper, void *ctx) {
        return std::uniform_int_distribution<uint32_t>(0, upper)(*static_cast<std::mt19937 *>(ctx));
    };
    std::map<std::string, int> counts;
    for (int i = 0; i < 3000; i++) {
        kelvoMapMember m = kelvoMapReadEntry(kelvoMapGetRandEntryWith(s, draw, &rng));
        counts[std::string(m.name, m.nameLen)]++;
    }
    ASSERT_EQ(counts.size(), 3u);
    for (const auto &[name, n] : counts) {
        EXPECT_GT(n, 800) << name;
    }
    EXPECT_EQ(kelvoMapGetRandEntryWith(kelvoEmptySetKey, draw, &rng), nullptr);
    kelvoKeyFree(s);
}

/* --- across processes --- */

TEST_F(Keys, ValuesBuiltInOneProcessAreReadInOthers)
{
    struct Box {
        rk *value;
    };
    auto *box = static_cast<Box *>(kelvoShCalloc(1, sizeof(Box)));
    ASSERT_NE(box, nullptr);
    std::vector<Node> fields;
    for (int i = 0; i < 200; i++) {
        fields.push_back(str("f" + std::to_string(i)));
        fields.push_back(str("v" + std::to_string(i)));
    }
    Node reply = agg(fields);
    /* A child builds the value in the shared heap; others look every field up. */
    ASSERT_EQ(waitChild(forkChild([&] {
                  box->value = build(KELVO_HASH, KELVO_KEY_FULL, reply);
                  return box->value != nullptr;
              })),
              0);
    auto results = runChildren(4, [&](int) {
        for (int i = 0; i < 200; i++) {
            std::string f = "f" + std::to_string(i);
            const void *e = kelvoMapGet(box->value, f.data(), f.size());
            if (!e)
                return false;
            kelvoMapMember m = kelvoMapReadEntry(e);
            if (std::string(m.value, m.valueLen) != "v" + std::to_string(i))
                return false;
        }
        int state = -1;
        return kelvoMapGetEx(box->value, &state, "nope", 4) == nullptr && state == KELVO_MEMBER_ABSENT;
    });
    for (int rc : results)
        EXPECT_EQ(rc, 0);
    kelvoKeyFree(box->value);
    kelvoShFree(box);
}

} // namespace
