// The command catalogue: name lookup, the ready strings, the table's make-up, reply types,
// key types, the placeholder roles and the fatal paths.
#include <gtest/gtest.h>

#include <clocale>
#include <csignal>
#include <cstring>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "catalog/cmdinfo.h"
#include "commands/cmdroles.h"

namespace {

constexpr int untouched = 12345;

// Looks a name up from a heap buffer of exactly its size, so reading past it trips ASan.
int lookup(const std::string &name)
{
    std::unique_ptr<char[]> bytes(new char[name.size() ? name.size() : 1]);
    memcpy(bytes.get(), name.data(), name.size());
    int cmd = untouched;
    int rc = kelvoStringToRedisCmd(&cmd, bytes.get(), name.size());
    if (rc != 0) {
        EXPECT_EQ(rc, -1) << name;
        EXPECT_EQ(cmd, untouched) << "output changed for " << name;
        return -1;
    }
    EXPECT_GE(cmd, 0);
    EXPECT_LT(cmd, REDIS_CMD_MAX);
    return cmd;
}

std::string wireName(int cmd) { return kelvoCommandStrings[cmd].name; }

// The obvious implementation, to check the hashed one against.
int referenceLookup(const std::string &name)
{
    for (int cmd = 0; cmd < REDIS_CMD_MAX; cmd++) {
        std::string wire = wireName(cmd);
        if (wire.size() == name.size() && kelvoCmdStringIsEqualCI(wire.data(), name.data(), name.size()))
            return cmd;
    }
    return -1;
}

std::string lower(std::string s)
{
    for (char &c : s)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c + 32);
    return s;
}

std::string alternating(std::string s, int first)
{
    for (size_t i = 0; i < s.size(); i++)
        if ((i + first) % 2 && s[i] >= 'A' && s[i] <= 'Z')
            s[i] = static_cast<char>(s[i] + 32);
    return s;
}

const kelvoCommandInfo &row(int cmd) { return kelvoCommandTable[cmd]; }
bool isCached(int cmd) { return row(cmd).type == KELVO_CMDTYPE_CACHED; }

} // namespace

// --- name lookup ------------------------------------------------------------------------

TEST(CmdLookup, EveryNameInEveryCase)
{
    for (int cmd = 0; cmd < REDIS_CMD_MAX; cmd++) {
        std::string name = wireName(cmd);
        EXPECT_EQ(lookup(name), cmd) << name;
        EXPECT_EQ(lookup(lower(name)), cmd) << name;
        EXPECT_EQ(lookup(alternating(name, 0)), cmd) << name;
        EXPECT_EQ(lookup(alternating(name, 1)), cmd) << name;
    }
}

struct NamedCase {
    std::string name;
    int cmd;
};

class CmdLookupCases : public ::testing::TestWithParam<NamedCase> {};

TEST_P(CmdLookupCases, Resolves) { EXPECT_EQ(lookup(GetParam().name), GetParam().cmd) << GetParam().name; }

INSTANTIATE_TEST_SUITE_P(
    Names, CmdLookupCases,
    ::testing::Values(NamedCase{"get", REDIS_CMD_GET}, NamedCase{"GET", REDIS_CMD_GET}, NamedCase{"gEt", REDIS_CMD_GET},
                      NamedCase{"json.set", REDIS_CMD_JSON_SET}, NamedCase{"Json.Set", REDIS_CMD_JSON_SET},
                      NamedCase{"JSON_SET", -1}, NamedCase{"json_set", -1}, NamedCase{"GE", -1}, NamedCase{"G", -1},
                      NamedCase{"", -1}, NamedCase{std::string(21, 'A'), -1}, NamedCase{"GEORADIUSBYMEMBER_ROX", -1},
                      NamedCase{std::string("GET\0", 4), -1}, NamedCase{std::string("G\0T", 3), -1},
                      NamedCase{"ZREMRANGEBYLEX", REDIS_CMD_ZREMRANGEBYLEX},
                      NamedCase{"ZREMRANGEBYRANK", REDIS_CMD_ZREMRANGEBYRANK},
                      NamedCase{"ZREMRANGEBYSCORE", REDIS_CMD_ZREMRANGEBYSCORE}, NamedCase{"zremrangebyscorf", -1},
                      NamedCase{"GEORADIUS_RO", REDIS_CMD_GEORADIUS_RO},
                      NamedCase{"georadiusbymember_ro", REDIS_CMD_GEORADIUSBYMEMBER_RO},
                      NamedCase{"GEORADIUSBYMEMBER_RP", -1},
                      NamedCase{"GEORADIUSBYMEMBEr_RO", REDIS_CMD_GEORADIUSBYMEMBER_RO},
                      NamedCase{"EVALSHA_RO", REDIS_CMD_EVALSHA_RO}, NamedCase{"EVALSHA.RO", -1},
                      NamedCase{"cms.info", REDIS_CMD_CMS_INFO}, NamedCase{"CMS_INFO", -1},
                      // '@' and '`', '[' and '{' differ by 0x20 but are not letters.
                      NamedCase{"G`T", -1}, NamedCase{"SE@", -1}, NamedCase{"ZUNION{TORE", -1},
                      // Latin-1 letters and letters with the high bit set never fold onto ASCII.
                      NamedCase{"G\xC5T", -1}, NamedCase{"G\xE5T", -1}, NamedCase{"PING\xA0", -1},
                      NamedCase{"\xC7\xC5\xD4", -1}, NamedCase{"P\xC9NG", -1}, NamedCase{"p\xFDng", -1}));

// Every proper prefix, every name with one byte more (NUL, a letter, a non-ASCII byte),
// and every name with each byte changed: the hashed lookup agrees with the plain search.
TEST(CmdLookup, NearMissesAgreeWithPlainSearch)
{
    const char extras[] = {'\0', 'X', 'x', '_', '.', '1', '\x80', '\xC5', '\xE5', '\xFF'};
    auto check = [](const std::string &candidate) {
        EXPECT_EQ(lookup(candidate), referenceLookup(candidate)) << candidate;
    };
    for (int cmd = 0; cmd < REDIS_CMD_MAX; cmd++) {
        std::string name = wireName(cmd);
        for (size_t n = 0; n < name.size(); n++)
            check(name.substr(0, n));
        for (char extra : extras) {
            check(name + extra);
            check(extra + name);
        }
        for (size_t i = 0; i < name.size(); i++) {
            for (char replacement : {'\0', 'A', 'Z', '_', '.', '@', '`', '\xC1', '\xE1'}) {
                std::string changed = name;
                changed[i] = replacement;
                check(changed);
            }
            std::string flipped = name;
            flipped[i] = static_cast<char>(flipped[i] | 0x80); // a letter with the high bit set
            EXPECT_EQ(lookup(flipped), -1) << flipped;
        }
    }
}

// Folding is ASCII-only whatever the process locale: in a Turkish locale toupper('i') is not 'I',
// and in Latin-1 locales the accented letters fold onto each other, never onto ASCII.
class CmdLookupLocale : public ::testing::TestWithParam<const char *> {
  protected:
    void SetUp() override { saved = setlocale(LC_ALL, nullptr); }
    void TearDown() override { setlocale(LC_ALL, saved.c_str()); }
    std::string saved;
};

TEST_P(CmdLookupLocale, FoldsOnlyAscii)
{
    ASSERT_NE(setlocale(LC_ALL, GetParam()), nullptr) << GetParam() << " is missing (scripts/deps generates it)";
    for (int cmd = 0; cmd < REDIS_CMD_MAX; cmd++) {
        std::string name = wireName(cmd);
        EXPECT_EQ(lookup(lower(name)), cmd) << name;
        EXPECT_EQ(lookup(alternating(name, 1)), cmd) << name;
    }
    EXPECT_EQ(lookup("p\xFDng"), -1);      // dotless i (ISO-8859-9)
    EXPECT_EQ(lookup("P\xDDNG"), -1);      // dotted capital I (ISO-8859-9)
    EXPECT_EQ(lookup("g\xE9t"), -1);       // e acute
    EXPECT_EQ(lookup("\xE7\xE5\xF4"), -1); // high-bit copies of "get"
    EXPECT_EQ(kelvoCmdStringIsEqualCI("\xC9", "\xE9", 1), 0);
}

INSTANTIATE_TEST_SUITE_P(Locales, CmdLookupLocale, ::testing::Values("de_DE.ISO-8859-1", "tr_TR.ISO-8859-9"));

struct CompareCase {
    std::string candidate, data;
    int equal;
};

class CmdCompare : public ::testing::TestWithParam<CompareCase> {};

TEST_P(CmdCompare, FoldsLettersOnly)
{
    const CompareCase &c = GetParam();
    ASSERT_EQ(c.candidate.size(), c.data.size());
    EXPECT_EQ(kelvoCmdStringIsEqualCI(c.candidate.data(), c.data.data(), c.data.size()), c.equal);
    EXPECT_EQ(kelvoCmdStringIsEqualCI(c.data.data(), c.candidate.data(), c.data.size()), c.equal);
}

INSTANTIATE_TEST_SUITE_P(Pairs, CmdCompare,
                         ::testing::Values(CompareCase{"", "", 1}, CompareCase{"GET", "get", 1},
                                           CompareCase{"json.set", "JSON.SET", 1},
                                           CompareCase{"abcdefghijklmnopqrstuvwxyz", "ABCDEFGHIJKLMNOPQRSTUVWXYZ", 1},
                                           CompareCase{"A.B", "A_B", 0}, CompareCase{"@", "`", 0},
                                           CompareCase{"[", "{", 0}, CompareCase{"^", "~", 0}, CompareCase{"1", "Q", 0},
                                           CompareCase{"GET", "GE\xD4", 0},
                                           CompareCase{std::string("A\0", 2), std::string("a\0", 2), 1},
                                           CompareCase{std::string("A\0", 2), "a ", 0}));

// --- the strings table ------------------------------------------------------------------

TEST(CmdStrings, EveryRowHasItsBulkFormAndKey)
{
    for (int cmd = 0; cmd < REDIS_CMD_MAX; cmd++) {
        const kelvoCommandString &s = kelvoCommandStrings[cmd];
        std::string name = s.name;
        EXPECT_EQ(s.cmd, static_cast<uint64_t>(cmd));
        EXPECT_EQ(s.len, name.size());
        std::string bulk = "$" + std::to_string(name.size()) + "\r\n" + name + "\r\n";
        EXPECT_EQ(std::string(s.bulk, s.bulkLen), bulk);
        EXPECT_EQ(strlen(s.bulk), s.bulkLen);

        // Wire names hold no lower-case letter, so their key is their first eight bytes.
        EXPECT_EQ(name.find_first_of("abcdefghijklmnopqrstuvwxyz"), std::string::npos) << name;
        uint64_t key = 0;
        for (size_t i = 0; i < name.size() && i < 8; i++)
            key |= static_cast<uint64_t>(static_cast<unsigned char>(name[i])) << (8 * i);
        EXPECT_EQ(s.key, key) << name;

        // The table's name is the enum-style one.
        std::string enumName = name;
        for (char &c : enumName)
            c = c == '.' ? '_' : c;
        EXPECT_STREQ(row(cmd).name, enumName.c_str());
        EXPECT_EQ(row(cmd).len, enumName.size());
        EXPECT_EQ(row(cmd).cmd, static_cast<uint32_t>(cmd));
    }
    EXPECT_STREQ(kelvoCommandStrings[REDIS_CMD_CMS_INFO].bulk, "$8\r\nCMS.INFO\r\n");
    EXPECT_STREQ(row(REDIS_CMD_JSON_SET).name, "JSON_SET");
    EXPECT_EQ(REDIS_CMD_MAX, 307);
    EXPECT_EQ(REDIS_CMD_UNKNOWN, -1);
}

TEST(CmdStrings, WireNames)
{
    std::map<size_t, int> byLength;
    for (int cmd = 0; cmd < REDIS_CMD_MAX; cmd++) {
        std::string name = wireName(cmd);
        byLength[name.size()]++;
        bool moduleFamily = (cmd >= REDIS_CMD_CMS_INFO && cmd <= REDIS_CMD_CMS_QUERY) ||
                            (cmd >= REDIS_CMD_FT_AGGREGATE && cmd <= REDIS_CMD_FT_TAGVALS) ||
                            (cmd >= REDIS_CMD_JSON_ARRAPPEND && cmd <= REDIS_CMD_JSON_TYPE);
        EXPECT_EQ(name.find('.') != std::string::npos, moduleFamily) << name;
        if (cmd > 0) {
            EXPECT_NE(wireName(cmd - 1), name);
        }
    }
    std::map<size_t, int> expected{{3, 6},   {4, 46},  {5, 37}, {6, 53},  {7, 36}, {8, 25}, {9, 24}, {10, 26},
                                   {11, 23}, {12, 11}, {13, 5}, {14, 10}, {15, 1}, {16, 2}, {17, 1}, {20, 1}};
    EXPECT_EQ(byLength, expected);
}

// --- the table's make-up ----------------------------------------------------------------

TEST(CmdTable, UnknownRow)
{
    const kelvoCommandInfo &u = kelvoUnknownCmd;
    EXPECT_EQ(static_cast<int32_t>(u.cmd), REDIS_CMD_UNKNOWN);
    EXPECT_STREQ(u.name, "");
    EXPECT_EQ(u.len, 0u);
    EXPECT_EQ(u.arity, -1);
    EXPECT_EQ(u.type, KELVO_CMDTYPE_STANDARD);
    EXPECT_EQ(u.std.respFn, nullptr);
    EXPECT_EQ(u.std.keysFn, nullptr);
    EXPECT_EQ(u.std.delFn, nullptr);
    EXPECT_EQ(u.replyFn, nullptr);
    EXPECT_EQ(u.flags, 0u);
}

// The counts the command set is known by, recomputed from the compiled rows.
TEST(CmdTable, Counts)
{
    int cached = 0, keys = 0, dels = 0, puts = 0, chks = 0, chksWithoutPut = 0, stdFmts = 0, cachedFmts = 0;
    std::map<int, int> arities;
    std::set<const void *> builders, formatters;
    for (int cmd = 0; cmd < REDIS_CMD_MAX; cmd++) {
        const kelvoCommandInfo &r = row(cmd);
        arities[r.arity]++;
        if (r.replyFn)
            formatters.insert(reinterpret_cast<const void *>(r.replyFn));
        if (isCached(cmd)) {
            cached++;
            ASSERT_TRUE(r.cached.rawQueryFn && r.cached.queryFn && r.cached.cnvFn && r.cached.getFn) << r.name;
            puts += r.cached.putFn != nullptr;
            chks += r.cached.chkFn != nullptr;
            chksWithoutPut += r.cached.chkFn && !r.cached.putFn;
            cachedFmts += r.replyFn != nullptr;
        } else {
            ASSERT_EQ(r.type, KELVO_CMDTYPE_STANDARD);
            ASSERT_NE(r.std.respFn, nullptr) << r.name;
            builders.insert(reinterpret_cast<const void *>(r.std.respFn));
            keys += r.std.keysFn != nullptr;
            dels += r.std.delFn != nullptr;
            stdFmts += r.replyFn != nullptr;
            // The places only cached rows use stay empty.
            const char *places = reinterpret_cast<const char *>(&r.std) + sizeof(kelvoStdSlots);
            EXPECT_EQ(std::string(places, sizeof(kelvoCachedSlots) - sizeof(kelvoStdSlots)),
                      std::string(sizeof(kelvoCachedSlots) - sizeof(kelvoStdSlots), '\0'));
        }
    }
    EXPECT_EQ(cached, 38);
    EXPECT_EQ(REDIS_CMD_MAX - cached, 269);
    EXPECT_EQ(keys, 110);
    EXPECT_EQ(dels, 112);
    EXPECT_EQ(puts, 20);
    EXPECT_EQ(chks, 14);
    EXPECT_EQ(chksWithoutPut, 0);
    EXPECT_EQ(stdFmts, 97);
    EXPECT_EQ(cachedFmts, 12);
    EXPECT_EQ(formatters.size(), 41u);
    EXPECT_EQ(builders.size(), 145u);
    std::map<int, int> expectedArities{{-2, 67}, {-3, 65}, {-4, 33}, {2, 29}, {3, 27}, {4, 26}, {-5, 20},
                                       {-6, 13}, {1, 10},  {-1, 9},  {-7, 3}, {5, 3},  {6, 1},  {-8, 1}};
    EXPECT_EQ(arities, expectedArities);
}

TEST(CmdTable, ReplyTypeGroups)
{
    auto bit = [](int t) { return KELVO_REPLY_BIT(t); };
    constexpr int S = REDIS_REPLY_STRING, A = REDIS_REPLY_ARRAY, I = REDIS_REPLY_INTEGER, N = REDIS_REPLY_NIL,
                  ST = REDIS_REPLY_STATUS, D = REDIS_REPLY_DOUBLE, B = REDIS_REPLY_BOOL, M = REDIS_REPLY_MAP,
                  SE = REDIS_REPLY_SET, V = REDIS_REPLY_VERB;
    std::map<uint32_t, int> groups;
    groups[kelvoUnknownCmd.replyTypes]++;
    for (int cmd = 0; cmd < REDIS_CMD_MAX; cmd++)
        groups[row(cmd).replyTypes]++;
    // ZADD also takes NIL, GEORADIUSBYMEMBER(_RO) also INTEGER, CONFIG also ARRAY, the JSON rows any reply,
    // the search rows arrays and sets beside maps; see tools/commands.tsv.
    std::map<uint32_t, int> expected{
        {bit(I), 89},
        {bit(A), 54},
        {KELVO_REPLIES_ANY, 44},
        {bit(ST), 33},
        {bit(S) | bit(N), 17},
        {bit(A) | bit(N), 14},
        {bit(A) | bit(I), 6},
        {bit(A) | bit(M) | bit(SE), 6},
        {bit(S), 5},
        {bit(S) | bit(A) | bit(N), 4},
        {bit(B), 4},
        {bit(SE), 4},
        {bit(A) | bit(I) | bit(N), 3},
        {bit(N) | bit(M), 3},
        {bit(A) | bit(SE), 3},
        {bit(A) | bit(I) | bit(ST), 2},
        {bit(N) | bit(D), 2},
        {bit(M), 2},
        {bit(S) | bit(A) | bit(N) | bit(SE), 2},
        {bit(S) | bit(ST), 1},
        {bit(A) | bit(ST), 1},
        {bit(S) | bit(N) | bit(ST), 1},
        {bit(I) | bit(N) | bit(D), 1},
        {bit(A) | bit(M), 1},
        {bit(S) | bit(I) | bit(M), 1},
        {bit(A) | bit(ST) | bit(M), 1},
        {bit(S) | bit(A) | bit(ST) | bit(M), 1},
        {bit(S) | bit(N) | bit(SE), 1},
        {bit(A) | bit(ST) | bit(M) | bit(SE), 1},
        {bit(V), 1},
    };
    EXPECT_EQ(groups, expected);
}

// --- reply types ------------------------------------------------------------------------

namespace {
struct FakeReply {
    uint32_t type;
};
} // namespace

struct ReplyCase {
    int cmd;
    int type;
    bool accepted;
};

class CmdReplyType : public ::testing::TestWithParam<ReplyCase> {};

TEST_P(CmdReplyType, Matrix)
{
    const ReplyCase &c = GetParam();
    EXPECT_EQ(kelvoCmdAcceptsReplyType(c.cmd, c.type), c.accepted);
    FakeReply reply{static_cast<uint32_t>(c.type)};
    EXPECT_EQ(kelvoValidateReplyType(c.cmd, &reply), c.accepted);
}

INSTANTIATE_TEST_SUITE_P(
    Points, CmdReplyType,
    ::testing::Values(
        ReplyCase{REDIS_CMD_INFO, REDIS_REPLY_VERB, true}, ReplyCase{REDIS_CMD_INFO, REDIS_REPLY_STATUS, false},
        ReplyCase{REDIS_CMD_INFO, REDIS_REPLY_STRING, false}, ReplyCase{REDIS_CMD_ZADD, REDIS_REPLY_INTEGER, true},
        ReplyCase{REDIS_CMD_ZADD, REDIS_REPLY_DOUBLE, true},
        ReplyCase{REDIS_CMD_ZADD, REDIS_REPLY_NIL, true}, // INCR with a failed NX/XX/GT/LT
        ReplyCase{REDIS_CMD_ZADD, REDIS_REPLY_STRING, false}, ReplyCase{REDIS_CMD_GEORADIUS, REDIS_REPLY_INTEGER, true},
        ReplyCase{REDIS_CMD_GEORADIUSBYMEMBER, REDIS_REPLY_INTEGER, true}, // the STORE form
        ReplyCase{REDIS_CMD_GEORADIUSBYMEMBER_RO, REDIS_REPLY_INTEGER, true},
        ReplyCase{REDIS_CMD_GEORADIUSBYMEMBER, REDIS_REPLY_ARRAY, true},
        ReplyCase{REDIS_CMD_GEORADIUS_RO, REDIS_REPLY_INTEGER, false},
        ReplyCase{REDIS_CMD_GET, REDIS_REPLY_STRING, true}, ReplyCase{REDIS_CMD_GET, REDIS_REPLY_NIL, true},
        ReplyCase{REDIS_CMD_GET, REDIS_REPLY_ARRAY, false}, ReplyCase{REDIS_CMD_SET, REDIS_REPLY_STATUS, true},
        ReplyCase{REDIS_CMD_SET, REDIS_REPLY_INTEGER, false}, ReplyCase{REDIS_CMD_HGETALL, REDIS_REPLY_MAP, true},
        ReplyCase{REDIS_CMD_HGETALL, REDIS_REPLY_ARRAY, false}, ReplyCase{REDIS_CMD_SMEMBERS, REDIS_REPLY_SET, true},
        ReplyCase{REDIS_CMD_ZSCORE, REDIS_REPLY_DOUBLE, true}, ReplyCase{REDIS_CMD_ZSCORE, REDIS_REPLY_STRING, false},
        ReplyCase{REDIS_CMD_VADD, REDIS_REPLY_BOOL, true}, ReplyCase{REDIS_CMD_VADD, REDIS_REPLY_INTEGER, false},
        ReplyCase{REDIS_CMD_EVAL, REDIS_REPLY_BIGNUM, true}, ReplyCase{REDIS_CMD_EVAL, REDIS_REPLY_ERROR, false},
        ReplyCase{REDIS_CMD_UNKNOWN, REDIS_REPLY_ATTR, true}, ReplyCase{REDIS_CMD_UNKNOWN, REDIS_REPLY_PUSH, true},
        ReplyCase{REDIS_CMD_UNKNOWN, REDIS_REPLY_ERROR, false}, ReplyCase{REDIS_CMD_UNKNOWN, 0, false},
        ReplyCase{REDIS_CMD_UNKNOWN, 15, false}, ReplyCase{REDIS_CMD_UNKNOWN, -3, false}));

TEST(CmdReplyType, ErrorNeverAndRareTypesOnlyForAnyRows)
{
    for (int cmd = REDIS_CMD_UNKNOWN; cmd < REDIS_CMD_MAX; cmd++) {
        bool any = (cmd < 0 ? kelvoUnknownCmd : row(cmd)).replyTypes == KELVO_REPLIES_ANY;
        EXPECT_FALSE(kelvoCmdAcceptsReplyType(cmd, REDIS_REPLY_ERROR)) << cmd;
        EXPECT_FALSE(kelvoValidateReplyType(cmd, nullptr)) << cmd;
        EXPECT_FALSE(kelvoValidateReplyType(cmd, static_cast<const FakeReply *>(nullptr))) << cmd;
        for (int type : {REDIS_REPLY_ATTR, REDIS_REPLY_PUSH, REDIS_REPLY_BIGNUM})
            EXPECT_EQ(kelvoCmdAcceptsReplyType(cmd, type), any) << cmd << " " << type;
    }
}

// --- key types --------------------------------------------------------------------------

TEST(CmdKeyType, CachedReadsAndHgetdel)
{
    std::map<int, std::set<std::string>> expected{
        {KELVO_NIL, {"EXISTS", "TYPE"}},
        {KELVO_STRING, {"BITCOUNT", "GET", "GETBIT", "GETRANGE", "MGET", "PFCOUNT", "STRLEN"}},
        {KELVO_HASH,
         {"HEXISTS", "HGET", "HGETALL", "HGETDEL", "HKEYS", "HLEN", "HMGET", "HRANDFIELD", "HSTRLEN", "HVALS"}},
        {KELVO_SET,
         {"SCARD", "SDIFF", "SDIFFCARD", "SINTER", "SINTERCARD", "SISMEMBER", "SMEMBERS", "SMISMEMBER", "SRANDMEMBER",
          "SUNION", "SUNIONCARD"}},
        {KELVO_LIST, {"LINDEX", "LLEN", "LPOS", "LRANGE"}},
        {KELVO_ZSET, {"ZCARD", "ZRANGE", "ZRANGEBYSCORE", "ZREVRANGE", "ZREVRANGEBYSCORE"}},
    };
    std::map<int, std::set<std::string>> found;
    for (int cmd = 0; cmd < REDIS_CMD_MAX; cmd++) {
        if (isCached(cmd) || cmd == REDIS_CMD_HGETDEL)
            found[kelvoCmdToKeyType(cmd)].insert(wireName(cmd));
    }
    EXPECT_EQ(found, expected);
    EXPECT_EQ(kelvoCmdToKeyType(REDIS_CMD_HGETDEL), KELVO_HASH);
    EXPECT_FALSE(isCached(REDIS_CMD_HGETDEL));
}

// A keys role takes only keys: DELEX's compared value and BRPOPLPUSH's timeout would otherwise
// be dropped from the cache as if they were keys (and the keys past them missed).
TEST(CmdRoles, KeysRolesOfConditionalAndBlockingWritesTakeOnlyKeys)
{
    EXPECT_EQ(row(REDIS_CMD_DELEX).std.keysFn, &kelvoKeyKeys);
    EXPECT_EQ(row(REDIS_CMD_BRPOPLPUSH).std.keysFn, &kelvoCopyKeys);
    EXPECT_EQ(row(REDIS_CMD_RPOPLPUSH).std.keysFn, &kelvoKeysKeys);
}

// Every cached read may be resent; of the rest, the reads the traits column names. rawCommand
// refuses the commands after which replies no longer come one per request.
TEST(CmdFlags, ResendAndRawRefusals)
{
    int resendStd = 0;
    std::set<std::string> noRaw;
    for (int cmd = 0; cmd < REDIS_CMD_MAX; cmd++) {
        const kelvoCommandInfo &r = row(cmd);
        EXPECT_EQ(r.flags & ~uint32_t(KELVO_CMD_RESEND | KELVO_CMD_NO_RAW), 0u) << r.name;
        if (isCached(cmd))
            EXPECT_TRUE(r.flags & KELVO_CMD_RESEND) << r.name;
        else
            resendStd += (r.flags & KELVO_CMD_RESEND) != 0;
        if (r.flags & KELVO_CMD_NO_RAW) {
            EXPECT_FALSE(r.flags & KELVO_CMD_RESEND) << r.name;
            noRaw.insert(wireName(cmd));
        }
    }
    EXPECT_EQ(resendStd, 79);
    EXPECT_EQ(noRaw, (std::set<std::string>{"MONITOR", "PSUBSCRIBE", "PUNSUBSCRIBE", "SSUBSCRIBE", "SUBSCRIBE",
                                            "SUNSUBSCRIBE", "UNSUBSCRIBE"}));
    for (int cmd : {REDIS_CMD_PING, REDIS_CMD_SCAN, REDIS_CMD_EVAL_RO, REDIS_CMD_FT_SEARCH})
        EXPECT_TRUE(row(cmd).flags & KELVO_CMD_RESEND) << row(cmd).name;
    for (int cmd : {REDIS_CMD_SET, REDIS_CMD_EVAL, REDIS_CMD_INCR, REDIS_CMD_BLPOP, REDIS_CMD_WATCH})
        EXPECT_FALSE(row(cmd).flags & KELVO_CMD_RESEND) << row(cmd).name;
}

// --- placeholder roles ------------------------------------------------------------------

// Until their owners define them, the role functions do the least their slot allows, and
// do it without touching their arguments.
TEST(CmdRoles, PlaceholdersDoTheLeast)
{
    for (int cmd = 0; cmd < REDIS_CMD_MAX; cmd++) {
        const kelvoCommandInfo &r = row(cmd);
        if (isCached(cmd)) {
            EXPECT_EQ(r.cached.rawQueryFn(nullptr, nullptr, 0, nullptr), 0) << r.name;
            EXPECT_EQ(r.cached.queryFn(nullptr, nullptr, nullptr, nullptr), -1) << r.name;
            r.cached.cnvFn(nullptr, nullptr);
            EXPECT_EQ(r.cached.getFn(nullptr, nullptr, nullptr), KELVO_RES_MISS) << r.name;
            if (r.cached.chkFn) {
                EXPECT_EQ(r.cached.chkFn(nullptr, nullptr, nullptr), 0) << r.name;
            }
            if (r.cached.putFn)
                r.cached.putFn(nullptr, nullptr, nullptr);
        } else {
            EXPECT_EQ(r.std.respFn(nullptr, nullptr, nullptr, nullptr), -1) << r.name;
            if (r.std.keysFn)
                r.std.keysFn(nullptr, nullptr);
            if (r.std.delFn)
                r.std.delFn(nullptr, nullptr, nullptr);
        }
        if (r.replyFn)
            r.replyFn(nullptr, nullptr, nullptr, nullptr);
    }
}

// --- fatal paths ------------------------------------------------------------------------

using CmdFatalDeathTest = ::testing::Test;

TEST_F(CmdFatalDeathTest, KeyTypeOfAnUncachedCommand)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(kelvoCmdToKeyType(REDIS_CMD_SET), testing::KilledBySignal(SIGSEGV),
                "FATAL: cmdinfo\\.cc:[0-9]+:kelvoCmdToKeyType\\(\\): Unknown command type: '207'\n\n");
    EXPECT_EXIT(kelvoCmdToKeyType(REDIS_CMD_UNKNOWN), testing::KilledBySignal(SIGSEGV), "Unknown command type: '-1'");
    EXPECT_EXIT(kelvoCmdToKeyType(REDIS_CMD_MAX), testing::KilledBySignal(SIGSEGV), "Unknown command type: '307'");
}

TEST_F(CmdFatalDeathTest, ReplyTypeOfAnIdOutOfRange)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(kelvoCmdAcceptsReplyType(REDIS_CMD_MAX, REDIS_REPLY_STRING), testing::KilledBySignal(SIGSEGV),
                "kelvoCmdAcceptsReplyType\\(\\): Hit 'unreachable' code");
    EXPECT_EXIT(kelvoCmdAcceptsReplyType(-2, REDIS_REPLY_STRING), testing::KilledBySignal(SIGSEGV),
                "Hit 'unreachable' code");
    EXPECT_EXIT(kelvoValidateReplyType(400, nullptr), testing::KilledBySignal(SIGSEGV), "Hit 'unreachable' code");
}
