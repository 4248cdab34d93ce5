// Cached values inside an engine that started the module: values built from reply trees the
// RESP3 reader makes of real reply bytes (malformed shapes give no value), and values turned
// into PHP values under the client's option flags. The heap balances after every test.
#include "cache/keys.h"
#include "pack/pack.h"
#include "shm/shared.h"
#include "shm/shmalloc.h"
#include "support/command_engine.h"
#include "support/shm_check.h"
#include "commands/commands_test_util.h"

#include <xxhash.h>

#include <algorithm>
#include <string>
#include <vector>

using namespace kelvo_test;

namespace {

struct HeapBalance {
    uint64_t before = inUseBytes();
    ~HeapBalance() { EXPECT_EQ(inUseBytes(), before) << "the heap does not balance"; }
};

std::string flagText(const rk *k)
{
    std::string s;
    if (kelvoKeyIs(k, KELVO_KEY_FULL))
        s += " full";
    if (kelvoKeyIs(k, KELVO_KEY_LEN))
        s += " len=" + std::to_string(k->len);
    return s;
}

/* A value as text; maps sorted by member, since slot order follows the secret seed. */
std::string describe(const rk *k)
{
    if (!k)
        return "none";
    struct Named {
        const rk *key;
        const char *name;
    } interned[] = {{kelvoNilKey, "NilKey"},
                    {kelvoExistsKey, "ExistsKey"},
                    {kelvoZeroKey, "ZeroKey"},
                    {kelvoEmptyStringKey, "EmptyStringKey"},
                    {kelvoEmptyArrayKey, "EmptyArrayKey"}};
    for (const Named &n : interned) {
        if (k == n.key)
            return n.name;
    }
    std::vector<std::string> parts;
    std::string head;
    switch (k->type) {
    case KELVO_STRING: {
        uint32_t n;
        const char *s = kelvoKeyStringConst(k, &n);
        return "string" + flagText(k) + ":" + std::string(s, n);
    }
    case KELVO_INTEGER:
        return "int" + flagText(k) + ":" + std::to_string(k->v.integer);
    case KELVO_LIST:
        for (uint32_t i = 0; i < kelvoKeyLocalLen(k); i++) {
            uint32_t n;
            const char *e = kelvoListElement(k, i, &n);
            parts.push_back(e ? std::string(e, n) : "nil");
        }
        head = "list";
        break;
    case KELVO_ZSET: {
        const rkZSet *z = kelvoKeyZSetConst(k);
        for (uint32_t i = 0; i < z->count; i++) {
            const kelvoZSetRecord &r = z->records[i];
            char score[32];
            snprintf(score, sizeof score, "%g", r.score);
            parts.push_back((r.member ? std::string(r.member, r.len) : "nil") + ":" + score);
        }
        head = "zset";
        break;
    }
    case KELVO_HASH:
    case KELVO_SET: {
        kelvoMapIterator it;
        kelvoMapIteratorInit(&it, k);
        while (kelvoMapIteratorNext(&it)) {
            kelvoMapMember m = kelvoMapReadEntry(it.entry);
            std::string p(m.name, m.nameLen);
            if (m.hasValue)
                p += "=" + std::string(m.value, m.valueLen);
            parts.push_back(p);
        }
        std::sort(parts.begin(), parts.end());
        head = k->type == KELVO_HASH ? "hash" : "set";
        break;
    }
    default:
        return "type " + std::to_string(k->type);
    }
    std::string out = head + flagText(k) + "[";
    for (size_t i = 0; i < parts.size(); i++)
        out += (i ? "," : "") + parts[i];
    return out + "]";
}

struct BuildCase {
    const char *name;
    uint32_t type;
    uint16_t flags;
    const char *resp; /* '|' stands for CR LF */
    const char *expected;
};

constexpr uint16_t FULL = KELVO_KEY_FULL, REV = KELVO_KEY_FILL_REVERSE;

const BuildCase buildCases[] = {
    {"GetString", KELVO_STRING, FULL, "$3|abc|", "string full:abc"},
    {"GetEmptyStringKnownWhole", KELVO_STRING, FULL, "$0||", "EmptyStringKey"},
    {"EmptyStringOfUnknownCompletenessIsNotKept", KELVO_STRING, 0, "$0||", "none"},
    {"NilIsTheNilKey", KELVO_STRING, FULL, "_|", "NilKey"},
    {"NilBulkIsTheNilKey", KELVO_STRING, FULL, "$-1|", "NilKey"},
    {"GetIntegerReplyIsNotKept", KELVO_STRING, FULL, ":5|", "none"},
    {"GetStatusReplyIsNotKept", KELVO_STRING, FULL, "+OK|", "none"},
    {"GetVerbatimReplyIsNotKept", KELVO_STRING, FULL, "=7|txt:abc|", "none"},
    {"GetErrorReplyIsNotKept", KELVO_STRING, FULL, "-ERR x|", "none"},
    {"HgetallMap", KELVO_HASH, FULL, "%2|$1|f|$1|v|$1|g|$1|w|", "hash full[f=v,g=w]"},
    {"HgetallLaterFieldWins", KELVO_HASH, FULL, "%2|$1|f|$1|1|$1|f|$1|2|", "hash full[f=2]"},
    {"HgetallFlatArray", KELVO_HASH, FULL, "*4|$1|f|$0||$0||$1|w|", "hash full[=w,f=]"},
    {"HgetallOddCount", KELVO_HASH, FULL, "*3|$1|f|$1|v|$1|g|", "none"},
    {"HgetallIntegerValue", KELVO_HASH, FULL, "%1|$1|f|:1|", "none"},
    {"HgetallNilField", KELVO_HASH, FULL, "%1|_|$1|v|", "none"},
    {"HgetallNestedValue", KELVO_HASH, FULL, "%1|$1|f|*1|$1|v|", "none"},
    {"HgetallEmptyWholeIsTheNilKey", KELVO_HASH, FULL, "%0|", "NilKey"},
    {"HgetallEmptyPartIsTheEmptyArray", KELVO_HASH, 0, "%0|", "EmptyArrayKey"},
    {"HgetallIntegerZeroIsNotKept", KELVO_HASH, FULL, ":0|", "none"},
    {"HgetallString", KELVO_HASH, FULL, "$1|a|", "none"},
    {"SmembersKeepsARepeatedMemberOnce", KELVO_SET, FULL, "~3|$1|a|$1|b|$1|a|", "set full[a,b]"},
    {"SmembersNilMember", KELVO_SET, FULL, "~2|$1|a|_|", "none"},
    {"SmembersDoubleMember", KELVO_SET, FULL, "~1|,1.5|", "none"},
    {"SmembersPush", KELVO_SET, FULL, ">1|$1|a|", "none"},
    {"LrangeWhole", KELVO_LIST, FULL, "*3|$1|a|_|$2|bc|", "list full len=3[a,nil,bc]"},
    {"LrangePrefix", KELVO_LIST, 0, "*2|$1|a|$1|b|", "list[a,b]"},
    {"LrangeEmptyPrefix", KELVO_LIST, 0, "*0|", "EmptyArrayKey"},
    {"LrangeIntegerElement", KELVO_LIST, FULL, "*2|$1|a|:1|", "none"},
    {"LrangeNotAnArray", KELVO_LIST, FULL, "$1|a|", "none"},
    {"ZrangePairs", KELVO_ZSET, FULL, "*2|*2|$1|a|,1.5|*2|$1|b|,2|", "zset full len=2[a:1.5,b:2]"},
    {"ZrangePairsFilledInReverse", KELVO_ZSET, REV, "*2|*2|$1|b|,2|*2|$1|a|,1.5|", "zset[a:1.5,b:2]"},
    {"ZrangeFlat", KELVO_ZSET, 0, "*2|$1|a|$1|b|", "zset[a:0,b:0]"},
    {"ZrangeScoreAsString", KELVO_ZSET, FULL, "*1|*2|$1|a|$3|1.5|", "none"},
    {"ZrangeTripleElement", KELVO_ZSET, FULL, "*1|*3|$1|a|,1|,2|", "none"},
    {"ZrangeIntegerMember", KELVO_ZSET, FULL, "*1|:1|", "none"},
    {"Integer", KELVO_INTEGER, 0, ":7|", "int full:7"},
    {"IntegerZero", KELVO_INTEGER, 0, ":0|", "ZeroKey"},
    {"IntegerFromString", KELVO_INTEGER, 0, "$1|7|", "none"},
};

void PrintTo(const BuildCase &c, std::ostream *os) { *os << c.name; }

class Build : public ::testing::TestWithParam<BuildCase> {};

TEST_P(Build, ValueFromReplyBytes)
{
    ASSERT_TRUE(kelvoShArenaActive());
    const BuildCase &c = GetParam();
    HeapBalance balance;
    Reply reply(resp(c.resp));
    rk *value = kelvoKeyFromReply(c.type, c.flags, reply.get());
    EXPECT_EQ(describe(value), c.expected);
    if (value) {
        EXPECT_FALSE(kelvoKeyIs(value, KELVO_KEY_FILL_REVERSE));
    }
    kelvoKeyFree(value);
}

INSTANTIATE_TEST_SUITE_P(Keys, Build, ::testing::ValuesIn(buildCases), caseName<BuildCase>);

TEST(Keys, ReplyStringsAppendToAMemberBuffer)
{
    HeapBalance balance;
    kelvoMemberBuffer buffer{};
    Reply a(resp("$2|ab|")), other(resp(":1|"));
    EXPECT_EQ(kelvoBufferCatReplyString(&buffer, a.get()), 0);
    EXPECT_EQ(kelvoBufferCatReplyString(&buffer, other.get()), -1);
    EXPECT_EQ(kelvoBufferCatReplyString(&buffer, a.get()), 0);
    ASSERT_EQ(buffer.used, 6u);
    EXPECT_EQ(std::string(buffer.data, buffer.used), std::string("ab\0ab\0", 6));
    kelvoShFree(buffer.data);
}

TEST(Keys, MembersAreHashedWithTheSecretSeedOfTheSharedRoot)
{
    ASSERT_NE(kelvoSharedData, nullptr);
    uint64_t seed = kelvoSharedData->cache.seed;
    EXPECT_NE(seed, 0u);
    EXPECT_EQ(kelvoMapMemberHash("member", 6), XXH3_64bits_withSeed("member", 6, seed));
}

/* --- to PHP --- */

/* A dump whose arrays list their entries sorted, as slot order follows the secret seed. */
std::string sortedDump(zval *v)
{
    if (Z_TYPE_P(v) != IS_ARRAY)
        return dump(v);
    bool list = zend_array_is_list(Z_ARRVAL_P(v));
    std::vector<std::string> parts;
    zend_ulong idx;
    zend_string *key;
    zval *item;
    ZEND_HASH_FOREACH_KEY_VAL(Z_ARRVAL_P(v), idx, key, item)
    {
        std::string k = key ? "\"" + std::string(ZSTR_VAL(key), ZSTR_LEN(key)) + "\"" : std::to_string(idx);
        parts.push_back(list ? dump(item) : k + ":" + dump(item));
    }
    ZEND_HASH_FOREACH_END();
    std::sort(parts.begin(), parts.end());
    std::string out = list ? "list[" : "[";
    for (size_t i = 0; i < parts.size(); i++)
        out += (i ? "," : "") + parts[i];
    return out + "]";
}

constexpr uint16_t PHP = kelvoOptPhpredisCompat, NMB = kelvoOptNullMultibulkAsNull;

struct ZvalCase {
    const char *name;
    const rk *interned; /* or built from: */
    uint32_t type;
    const char *resp;
    uint16_t options;
    bool serializePhp;
    bool raw;
    const char *expected;
};

const ZvalCase zvalCases[] = {
    {"NilIsNull", kelvoNilKey, 0, "", 0, false, false, "null"},
    {"NilIsFalseInPhpredisMode", kelvoNilKey, 0, "", PHP, false, false, "false"},
    {"NilIsNullWithNullMultibulk", kelvoNilKey, 0, "", PHP | NMB, false, false, "null"},
    {"ExistsMarkerIsNil", kelvoExistsKey, 0, "", PHP, false, true, "false"},
    {"InternedHashIsEmptyArray", kelvoEmptyHashKey, 0, "", PHP, false, false, "list[]"},
    {"InternedArrayIsEmptyArray", kelvoEmptyArrayKey, 0, "", 0, false, false, "list[]"},
    {"EmptyString", kelvoEmptyStringKey, 0, "", PHP, true, false, "\"\""},
    {"Zero", kelvoZeroKey, 0, "", 0, false, false, "0"},
    {"String", nullptr, KELVO_STRING, "$3|abc|", 0, false, false, "\"abc\""},
    {"StringUnserialized", nullptr, KELVO_STRING, "$10|s:3:\"abc\";|", 0, true, false, "\"abc\""},
    {"StringRawStaysPacked", nullptr, KELVO_STRING, "$10|s:3:\"abc\";|", 0, true, true, "\"s:3:\"abc\";\""},
    {"Integer", nullptr, KELVO_INTEGER, ":-7|", 0, false, false, "-7"},
    {"SetMembersUnserialized", nullptr, KELVO_SET, "~2|$4|i:1;|$4|i:2;|", 0, true, false, "list[1,2]"},
    {"HashNumericFieldsBecomeIntegerKeys", nullptr, KELVO_HASH, "%2|$1|1|$1|a|$2|01|$1|b|", 0, false, false,
     "[\"01\":\"b\",1:\"a\"]"},
    {"HashValuesUnserialized", nullptr, KELVO_HASH, "%1|$1|f|$4|i:5;|", 0, true, false, "[\"f\":5]"},
    {"HashValuesRaw", nullptr, KELVO_HASH, "%1|$1|f|$4|i:5;|", 0, true, true, "[\"f\":\"i:5;\"]"},
};

void PrintTo(const ZvalCase &c, std::ostream *os) { *os << c.name; }

class ToZVal : public ::testing::TestWithParam<ZvalCase> {};

TEST_P(ToZVal, ConvertsUnderTheOptions)
{
    const ZvalCase &c = GetParam();
    HeapBalance balance;
    rk *built = nullptr;
    if (!c.interned) {
        Reply reply(resp(c.resp));
        built = kelvoKeyFromReply(c.type, KELVO_KEY_FULL, reply.get());
        ASSERT_NE(built, nullptr);
    }
    kelvoPackOptions opts{c.serializePhp ? &kelvoPhpSerInfo : &kelvoNoneSerInfo, &kelvoNoneCmpInfo, 0, c.options};
    zval out;
    kelvoKeyToZVal(&opts, c.raw, &out, c.interned ? c.interned : built);
    EXPECT_EQ(sortedDump(&out), c.expected);
    zval_ptr_dtor(&out);
    kelvoKeyFree(built);
}

INSTANTIATE_TEST_SUITE_P(Keys, ToZVal, ::testing::ValuesIn(zvalCases), caseName<ZvalCase>);

/* A partial hash holding every kind of fact: a value, a field only known to exist, an absent one, a nil-answered one. */
struct FactHash {
    rk *hash = kelvoHashCreate(4);
    FactHash()
    {
        EXPECT_EQ(kelvoHashPutString(hash, "f", 1, "i:9;", 4), 0);
        EXPECT_EQ(kelvoKeyFlagExists(hash, "known", 5, 1), 0);
        EXPECT_EQ(kelvoKeyFlagExists(hash, "gone", 4, 0), 0);
        EXPECT_EQ(kelvoMapPut(KELVO_HASH, kelvoKeyMapPtr(hash), "nil", 3, KELVO_MAP_NIL_VALUE, 0, nullptr, 0, 1), 0);
    }
    ~FactHash() { kelvoKeyFree(hash); }
};

TEST(Keys, HashFactsConvertToValuesTrueAndNull)
{
    HeapBalance balance;
    FactHash h;
    kelvoPackOptions opts{&kelvoPhpSerInfo, &kelvoNoneCmpInfo, 0, 0};
    zval out;
    kelvoKeyToZVal(&opts, false, &out, h.hash);
    EXPECT_EQ(sortedDump(&out), "[\"f\":9,\"gone\":null,\"known\":true,\"nil\":null]");
    zval_ptr_dtor(&out);
}

TEST(Keys, HashPartsLeaveAbsentFieldsOut)
{
    HeapBalance balance;
    FactHash h;
    kelvoPackOptions opts{&kelvoPhpSerInfo, &kelvoNoneCmpInfo, 0, 0};
    struct Case {
        bool raw, names;
        const char *expected;
    } cases[] = {
        {false, true, "list[\"f\",\"known\",\"nil\"]"},
        {false, false, "list[9,null,null]"},
        {true, false, "list[\"i:9;\",null,null]"},
    };
    for (const Case &c : cases) {
        zval out;
        kelvoHashPartsToZVal(&opts, c.raw, &out, h.hash, c.names);
        EXPECT_EQ(sortedDump(&out), c.expected);
        zval_ptr_dtor(&out);
    }
    zval out;
    kelvoHashPartsToZVal(&opts, false, &out, kelvoNilKey, true);
    EXPECT_EQ(sortedDump(&out), "list[]");
    zval_ptr_dtor(&out);
}

TEST(Keys, RandomEntriesOfAFullSetComeFromItsMembers)
{
    HeapBalance balance;
    Reply reply(resp("~3|$1|a|$1|b|$1|c|"));
    rk *set = kelvoKeyFromReply(KELVO_SET, KELVO_KEY_FULL, reply.get());
    ASSERT_NE(set, nullptr);
    std::vector<std::string> seen;
    for (int i = 0; i < 200; i++) {
        kelvoMapMember m = kelvoMapReadEntry(kelvoMapGetRandEntry(set));
        seen.emplace_back(m.name, m.nameLen);
    }
    std::sort(seen.begin(), seen.end());
    seen.erase(std::unique(seen.begin(), seen.end()), seen.end());
    EXPECT_EQ(seen, (std::vector<std::string>{"a", "b", "c"}));
    kelvoKeyFree(set);
}

} // namespace
