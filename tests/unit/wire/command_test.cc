// The request buffer: exact wire bytes of every appender, headers, key
// prefixes, user data and release, and random requests parsed back.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "catalog/cmdinfo.h"
#include "wire/command.h"
#include "pack/pack.h"
#include "support/command_engine.h"

namespace {

using Bytes = std::string;

Bytes bulk(const Bytes &arg) { return "$" + std::to_string(arg.size()) + "\r\n" + arg + "\r\n"; }

// A started request for "CMD", released when the test ends.
struct Request {
    rrc req{};
    Request() { kelvoRespCmdInitLen(&req, 0, "CMD", 3); }
    ~Request() { kelvoRespCmdRelease(&req); }
    // The finished request as sent.
    Bytes wire()
    {
        kelvoRespCmdFinish(&req);
        return Bytes(kelvoRespCmdData(&req), kelvoRespCmdLen(&req));
    }
    // Everything after the command word.
    Bytes tail() const
    {
        const size_t start = KELVO_RESP_RESERVE + bulk("CMD").size();
        return Bytes(req.buffer.c + start, req.buffer.len - start);
    }
    Bytes arg(uint64_t i) const { return Bytes(kelvoRespCmdArg(&req, i), req.args[i].len); }
};

struct zstr {
    zend_string *s;
    explicit zstr(const Bytes &text) : s(zend_string_init(text.data(), text.size(), 0)) {}
    ~zstr() { zend_string_release(s); }
    operator zend_string *() const { return s; }
};

struct AppendCase {
    const char *name;
    std::function<void(rrc *)> append;
    Bytes expected; // the appended argument(s), wire form
};

void PrintTo(const AppendCase &c, std::ostream *os) { *os << c.name; }

const Bytes b36(36, 'a'), b37(37, 'b');
const kelvoPackOptions phpPacking{&kelvoPhpSerInfo, &kelvoNoneCmpInfo, 0, 0};
const kelvoPackOptions phpPackingNoNumbers{&kelvoPhpSerInfo, &kelvoNoneCmpInfo, 0, kelvoOptPackIgnoreNumbers};

const AppendCase appendCases[] = {
    {"EmptyArgument", [](rrc *r) { kelvoRespCmdCatLen(r, "", 0); }, "$0\r\n\r\n"},
    {"BytesWithCrLf", [](rrc *r) { kelvoRespCmdCatLen(r, "a\r\nb", 4); }, "$4\r\na\r\nb\r\n"},
    {"ThirtySixBytes", [](rrc *r) { kelvoRespCmdCatLen(r, b36.data(), 36); }, "$36\r\n" + b36 + "\r\n"},
    {"ThirtySevenBytes", [](rrc *r) { kelvoRespCmdCatLen(r, b37.data(), 37); }, "$37\r\n" + b37 + "\r\n"},
    {"LongZero", [](rrc *r) { kelvoRespCmdCatZendLong(r, 0); }, "$1\r\n0\r\n"},
    {"LongMinusOne", [](rrc *r) { kelvoRespCmdCatZendLong(r, -1); }, "$2\r\n-1\r\n"},
    {"LongMax", [](rrc *r) { kelvoRespCmdCatZendLong(r, ZEND_LONG_MAX); }, "$19\r\n9223372036854775807\r\n"},
    {"LongMin", [](rrc *r) { kelvoRespCmdCatZendLong(r, ZEND_LONG_MIN); }, "$20\r\n-9223372036854775808\r\n"},
    {"ULongMax", [](rrc *r) { kelvoRespCmdCatZendULong(r, ZEND_ULONG_MAX); }, "$20\r\n18446744073709551615\r\n"},
    {"ULongTen", [](rrc *r) { kelvoRespCmdCatZendULong(r, 10); }, "$2\r\n10\r\n"},
    {"DoublePointTwo", [](rrc *r) { kelvoRespCmdCatDouble(r, 0.2); }, "$19\r\n0.20000000000000001\r\n"},
    {"DoubleHundred", [](rrc *r) { kelvoRespCmdCatDouble(r, 100.0); }, "$3\r\n100\r\n"},
    {"DoubleHuge", [](rrc *r) { kelvoRespCmdCatDouble(r, 1e25); }, "$22\r\n1.0000000000000001E+25\r\n"},
    {"DoubleExactPowerOfTen", [](rrc *r) { kelvoRespCmdCatDouble(r, 1e22); }, "$7\r\n1.0E+22\r\n"},
    {"DoubleTiny", [](rrc *r) { kelvoRespCmdCatDouble(r, 1e-5); }, "$21\r\n1.0000000000000001E-5\r\n"},
    {"DoubleNegativeZero", [](rrc *r) { kelvoRespCmdCatDouble(r, -0.0); }, "$2\r\n-0\r\n"},
    {"DoubleInfinity", [](rrc *r) { kelvoRespCmdCatDouble(r, INFINITY); }, "$3\r\nINF\r\n"},
    {"DoubleMinusInfinity", [](rrc *r) { kelvoRespCmdCatDouble(r, -INFINITY); }, "$4\r\n-INF\r\n"},
    {"ZStr", [](rrc *r) { kelvoRespCmdCatZStr(r, zstr("hello")); }, "$5\r\nhello\r\n"},
    {"ZValLong",
     [](rrc *r) {
         zval v;
         ZVAL_LONG(&v, -42);
         kelvoRespCmdCatZValZStr(r, &v);
     },
     "$3\r\n-42\r\n"},
    {"ZValFalse",
     [](rrc *r) {
         zval v;
         ZVAL_FALSE(&v);
         kelvoRespCmdCatZValZStr(r, &v);
     },
     "$0\r\n\r\n"},
    {"ZValDouble",
     [](rrc *r) {
         zval v;
         ZVAL_DOUBLE(&v, 1.5);
         kelvoRespCmdCatZValZStr(r, &v);
     },
     "$3\r\n1.5\r\n"},
    {"ZValPlainString",
     [](rrc *r) {
         zval v;
         ZVAL_STRING(&v, "abc");
         kelvoRespCmdCatZVal(r, nullptr, &v);
         zval_ptr_dtor(&v);
     },
     "$3\r\nabc\r\n"},
    {"ZValPlainArray",
     [](rrc *r) {
         zval v;
         array_init(&v);
         kelvoRespCmdCatZVal(r, nullptr, &v);
         zval_ptr_dtor(&v);
     },
     "$5\r\nArray\r\n"},
    {"ZValPlainNull",
     [](rrc *r) {
         zval v;
         ZVAL_NULL(&v);
         kelvoRespCmdCatZVal(r, nullptr, &v);
     },
     "$0\r\n\r\n"},
    {"ZValSerialized",
     [](rrc *r) {
         zval v;
         ZVAL_LONG(&v, 5);
         kelvoRespCmdCatZVal(r, &phpPacking, &v);
     },
     "$4\r\ni:5;\r\n"},
    {"ZValNumbersIgnored",
     [](rrc *r) {
         zval v;
         ZVAL_LONG(&v, 5);
         kelvoRespCmdCatZVal(r, &phpPackingNoNumbers, &v);
     },
     "$1\r\n5\r\n"},
    {"FmtPackedLetters",
     [](rrc *r) {
         zval v;
         ZVAL_STRING(&v, "v");
         kelvoRespCmdFmt(r, nullptr, &phpPacking, "Zz", &v, &v);
         zval_ptr_dtor(&v);
     },
     "$8\r\ns:1:\"v\";\r\n$1\r\nv\r\n"},
    {"CatAlloc",
     [](rrc *r) {
         char *at = kelvoRespCmdCatAlloc(r, 3);
         memcpy(at, "xyz", 3);
     },
     "$3\r\nxyz\r\n"},
    {"FmtPlainLetters",
     [](rrc *r) {
         kelvoRespCmdFmt(r, nullptr, nullptr, "Ssld", (zend_string *)zstr("S"), "s!", (size_t)1, (zend_long)-7, 2.5);
     },
     "$1\r\nS\r\n$1\r\ns\r\n$2\r\n-7\r\n$3\r\n2.5\r\n"},
};

class AppendTest : public ::testing::TestWithParam<AppendCase> {};

TEST_P(AppendTest, AppendsExactBytes)
{
    Request r;
    GetParam().append(&r.req);
    EXPECT_EQ(r.tail(), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Request, AppendTest, ::testing::ValuesIn(appendCases),
                         [](const auto &info) { return std::string(info.param.name); });

TEST(Request, GetWithOneKeyIsExactWireForm)
{
    rrc req;
    kelvoRespCmdInitLen(&req, KELVO_REQ_RAW, "GET", 3);
    kelvoRespCmdCatLen(&req, "k", 1);
    kelvoRespCmdFinish(&req);
    EXPECT_EQ(req.head, 9);
    EXPECT_EQ(Bytes(kelvoRespCmdData(&req), kelvoRespCmdLen(&req)), "*2\r\n$3\r\nGET\r\n$1\r\nk\r\n");
    EXPECT_EQ(req.cmd, -1);
    EXPECT_EQ(req.flags, KELVO_INITIALIZED | KELVO_REQ_RAW);
    EXPECT_EQ(req.context, 0);
    kelvoRespCmdRelease(&req);
    EXPECT_EQ(req.flags, KELVO_REQ_RAW);
}

TEST(Request, StartedForAnIdCarriesTheReadyCommandWord)
{
    rrc req;
    kelvoRespCmdInitCmd(&req, KELVO_REQ_META, REDIS_CMD_GET);
    kelvoRespCmdCatLen(&req, "k", 1);
    kelvoRespCmdFinish(&req);
    EXPECT_EQ(req.head, 9);
    EXPECT_EQ(Bytes(kelvoRespCmdData(&req), kelvoRespCmdLen(&req)), "*2\r\n$3\r\nGET\r\n$1\r\nk\r\n");
    EXPECT_EQ(req.cmd, REDIS_CMD_GET);
    EXPECT_EQ(req.flags, KELVO_INITIALIZED | KELVO_REQ_META);
    EXPECT_EQ(Bytes(kelvoRespCmdArg(&req, 0), req.args[0].len), "GET");
    EXPECT_EQ(Bytes(kelvoRespCmdArg(&req, 1), req.args[1].len), "k");
    kelvoRespCmdRelease(&req);

    // dotted module names and the longest name go out unchanged
    for (int32_t cmd : {REDIS_CMD_JSON_SET, REDIS_CMD_GEORADIUSBYMEMBER_RO, REDIS_CMD_ACL, REDIS_CMD_ZUNIONSTORE}) {
        kelvoRespCmdInitCmd(&req, 0, cmd);
        kelvoRespCmdFinish(&req);
        const Bytes name = kelvoCommandStrings[cmd].name;
        EXPECT_EQ(Bytes(kelvoRespCmdData(&req), kelvoRespCmdLen(&req)), "*1\r\n" + bulk(name));
        EXPECT_EQ(Bytes(kelvoRespCmdArg(&req, 0), req.args[0].len), name);
        kelvoRespCmdRelease(&req);
    }
}

TEST(Request, UpdateCmdReplacesTheCommandWord)
{
    rrc req;
    kelvoRespCmdInitCmd(&req, 0, REDIS_CMD_ZRANGE);
    kelvoRespCmdUpdateCmd(&req, REDIS_CMD_ZREVRANGEBYSCORE);
    kelvoRespCmdCatLen(&req, "z", 1);
    kelvoRespCmdFinish(&req);
    EXPECT_EQ(req.cmd, REDIS_CMD_ZREVRANGEBYSCORE);
    EXPECT_EQ(Bytes(kelvoRespCmdData(&req), kelvoRespCmdLen(&req)), "*2\r\n" + bulk("ZREVRANGEBYSCORE") + bulk("z"));
    EXPECT_EQ(Bytes(kelvoRespCmdArg(&req, 0), req.args[0].len), "ZREVRANGEBYSCORE");
    EXPECT_EQ(Bytes(kelvoRespCmdArg(&req, 1), req.args[1].len), "z");
    kelvoRespCmdRelease(&req);
}

TEST(Request, ArrayHeaderIsRightAlignedInTheReserve)
{
    const struct {
        uint64_t args;
        uint8_t head;
        Bytes header;
    } cases[] = {{10, 8, "*10\r\n"}, {36, 8, "*36\r\n"}, {37, 8, "*37\r\n"}, {100, 7, "*100\r\n"}};
    for (const auto &c : cases) {
        Request r;
        for (uint64_t i = 1; i < c.args; i++)
            kelvoRespCmdCatZendULong(&r.req, i);
        const Bytes wire = r.wire();
        EXPECT_EQ(r.req.head, c.head) << c.args;
        EXPECT_EQ(wire.substr(0, c.header.size()), c.header) << c.args;
        EXPECT_EQ(r.req.head + c.header.size(), KELVO_RESP_RESERVE) << c.args;
        EXPECT_EQ(r.req.pos, c.args);
    }
}

TEST(Request, IndexGrowthKeepsEarlierOffsets)
{
    Request r;
    for (const char *arg : {"a1", "b22", "c333"})
        kelvoRespCmdCatLen(&r.req, arg, strlen(arg));
    EXPECT_EQ(r.req.size, 4u);
    kelvoRespCmdCatLen(&r.req, "fifth", 5);
    EXPECT_EQ(r.req.size, 8u);
    const char *expected[] = {"CMD", "a1", "b22", "c333", "fifth"};
    for (uint64_t i = 0; i < 5; i++)
        EXPECT_EQ(r.arg(i), expected[i]);
    EXPECT_EQ(r.req.args[1].offset, KELVO_RESP_RESERVE + bulk("CMD").size() + 4);
}

TEST(Request, FinishingAgainAfterMoreArgumentsRewritesTheHeader)
{
    Request r;
    for (int i = 0; i < 9; i++)
        kelvoRespCmdCatLen(&r.req, "x", 1);
    EXPECT_EQ(r.wire().substr(0, 5), "*10\r\n");
    kelvoRespCmdCatLen(&r.req, "y", 1);
    EXPECT_EQ(r.wire().substr(0, 5), "*11\r\n");
}

TEST(Request, UnsignedToStringAtEveryDigitCount)
{
    char buf[20];
    uint64_t value = 1;
    for (size_t digits = 1; digits <= 20; digits++, value *= 10) {
        EXPECT_EQ(Bytes(buf, kelvoUnsignedToString(buf, value)), std::to_string(value));
        EXPECT_EQ(Bytes(buf, kelvoUnsignedToString(buf, value - 1)), std::to_string(value - 1));
        if (digits == 20)
            break;
    }
    EXPECT_EQ(Bytes(buf, kelvoUnsignedToString(buf, UINT64_MAX)), "18446744073709551615");
}

// Key prefixing through every key form.
struct KeyCase {
    const char *name;
    const char *prefix; // nullptr: no prefix
    std::function<void(rrc *, const zend_string *)> append;
    std::vector<Bytes> args;
};

void PrintTo(const KeyCase &c, std::ostream *os) { *os << c.name; }

zend_string *keyK() { return zend_string_init_interned("k", 1, 0); }

const KeyCase keyCases[] = {
    {"FmtKeyPrefixed",
     "p:",
     [](rrc *r, const zend_string *p) { kelvoRespCmdFmt(r, p, nullptr, "K", keyK()); },
     {"p:k"}},
    {"FmtKeyEmptyPrefix", "", [](rrc *r, const zend_string *p) { kelvoRespCmdFmt(r, p, nullptr, "K", keyK()); }, {"k"}},
    {"FmtKeyNoPrefix",
     nullptr,
     [](rrc *r, const zend_string *p) { kelvoRespCmdFmt(r, p, nullptr, "K", keyK()); },
     {"k"}},
    {"FmtKeyBytesAndNumber",
     "p:",
     [](rrc *r, const zend_string *p) { kelvoRespCmdFmt(r, p, nullptr, "kL", "key", (size_t)3, (zend_long)-12); },
     {"p:key", "p:-12"}},
    {"FmtPackedValuesNotPrefixed",
     "p:",
     [](rrc *r, const zend_string *p) {
         zval v;
         ZVAL_LONG(&v, 1);
         kelvoRespCmdFmt(r, p, nullptr, "Zz", &v, &v);
     },
     {"1", "1"}},
    {"FmtPlainLettersNotPrefixed",
     "p:",
     [](rrc *r, const zend_string *p) { kelvoRespCmdFmt(r, p, nullptr, "sl", "v", (size_t)1, (zend_long)5); },
     {"v", "5"}},
    {"KeyZValOfNumber",
     "p:",
     [](rrc *r, const zend_string *p) {
         zval v;
         ZVAL_LONG(&v, 7);
         kelvoRespCmdCatKeyZVal(r, p, &v);
     },
     {"p:7"}},
    {"KeyHtSkipsHoles",
     "p:",
     [](rrc *r, const zend_string *p) {
         HashTable *ht = zend_new_array(4);
         zval v;
         for (const char *k : {"a", "b", "c"}) {
             ZVAL_STRING(&v, k);
             zend_hash_next_index_insert(ht, &v);
         }
         zend_hash_index_del(ht, 1);
         kelvoRespCmdCatKeyHt(r, p, ht);
         zend_array_destroy(ht);
     },
     {"p:a", "p:c"}},
    {"HtIsNeverPrefixed",
     "p:",
     [](rrc *r, const zend_string *) {
         HashTable *ht = zend_new_array(2);
         zval v;
         ZVAL_STRING(&v, "a");
         zend_hash_next_index_insert(ht, &v);
         ZVAL_LONG(&v, 3);
         zend_hash_str_update(ht, "x", 1, &v);
         kelvoRespCmdCatHt(r, ht);
         zend_array_destroy(ht);
     },
     {"a", "3"}},
    {"StreamsKeysThenIds",
     "p:",
     [](rrc *r, const zend_string *p) {
         HashTable *ht = zend_new_array(2);
         zval v;
         ZVAL_STRING(&v, "0");
         zend_hash_str_update(ht, "s1", 2, &v);
         ZVAL_STRING(&v, "$");
         zend_hash_str_update(ht, "s2", 2, &v);
         ZVAL_LONG(&v, 17);
         zend_hash_index_update(ht, -5, &v);
         kelvoRespCmdCatStreams(r, ht, p);
         zend_array_destroy(ht);
     },
     {"STREAMS", "p:s1", "p:s2", "p:-5", "0", "$", "17"}},
    {"StreamsPackedArrayKeysArePositions",
     nullptr,
     [](rrc *r, const zend_string *p) {
         HashTable *ht = zend_new_array(2);
         zval v;
         ZVAL_STRING(&v, ">");
         zend_hash_next_index_insert(ht, &v);
         kelvoRespCmdCatStreams(r, ht, p);
         zend_array_destroy(ht);
     },
     {"STREAMS", "0", ">"}},
};

class KeyTest : public ::testing::TestWithParam<KeyCase> {};

TEST_P(KeyTest, AppendsPrefixedKeysAsOneArgument)
{
    const KeyCase &c = GetParam();
    Request r;
    zend_string *prefix = c.prefix ? zend_string_init(c.prefix, strlen(c.prefix), 0) : nullptr;
    c.append(&r.req, prefix);
    if (prefix)
        zend_string_release(prefix);

    Bytes expected;
    for (const auto &arg : c.args)
        expected += bulk(arg);
    EXPECT_EQ(r.tail(), expected);
    ASSERT_EQ(r.req.pos, c.args.size() + 1);
    for (size_t i = 0; i < c.args.size(); i++)
        EXPECT_EQ(r.arg(i + 1), c.args[i]);
}

INSTANTIATE_TEST_SUITE_P(Request, KeyTest, ::testing::ValuesIn(keyCases),
                         [](const auto &info) { return std::string(info.param.name); });

// User data: what release frees, and what it must never touch.
TEST(RequestUserdata, ReleaseDestroysAnAttachedRecordOnce)
{
    zend_string *callable = zend_string_init("strlen", 6, 0);
    zend_string_addref(callable);
    auto *fci = static_cast<zend_fcall_info *>(ecalloc(1, sizeof(zend_fcall_info)));
    fci->size = sizeof(*fci);
    ZVAL_STR(&fci->function_name, callable);

    rrc req;
    kelvoRespCmdInitLen(&req, 0, "SUBSCRIBE", 9);
    kelvoRespCmdSetRecord(&req, fci);
    kelvoRespCmdRelease(&req);
    EXPECT_EQ(GC_REFCOUNT(callable), 1u);
    kelvoRespCmdRelease(&req); // harmless
    EXPECT_EQ(GC_REFCOUNT(callable), 1u);
    EXPECT_EQ(req.udkind, KELVO_REQ_DATA_NONE);
    zend_string_release(callable);
}

TEST(RequestUserdata, ReleaseOfAParkedNumberFreesNothing)
{
    // Error paths release a request before the dispatcher took its data out.
    for (uint64_t number : {uint64_t{0}, uint64_t{3}, uint64_t{0xdeadbeef}}) {
        rrc req;
        kelvoRespCmdInitLen(&req, 0, "MSETEX", 6);
        kelvoRespCmdSetNumber(&req, number);
        kelvoRespCmdRelease(&req);
        EXPECT_EQ(req.udkind, KELVO_REQ_DATA_NONE);
    }
}

TEST(RequestUserdata, TakenDataIsNotReleasedWithTheRequest)
{
    auto *fci = static_cast<zend_fcall_info *>(ecalloc(1, sizeof(zend_fcall_info)));
    ZVAL_STRING(&fci->function_name, "strlen");

    rrc req;
    kelvoRespCmdInitLen(&req, 0, "SUBSCRIBE", 9);
    kelvoRespCmdSetRecord(&req, fci);
    kelvoReqDataKind kind;
    const rrcUserdata taken = kelvoRespCmdTakeUserdata(&req, &kind);
    kelvoRespCmdRelease(&req);
    EXPECT_EQ(kind, KELVO_REQ_DATA_RECORD);
    ASSERT_EQ(taken.record, fci);
    EXPECT_STREQ(Z_STRVAL(fci->function_name), "strlen"); // still alive
    zval_ptr_dtor(&fci->function_name);
    efree(fci);

    kelvoRespCmdInitLen(&req, 0, "MSETEX", 6);
    kelvoRespCmdSetNumber(&req, 4);
    EXPECT_EQ(kelvoRespCmdTakeUserdata(&req, &kind).number, 4u);
    EXPECT_EQ(kind, KELVO_REQ_DATA_NUMBER);
    kelvoRespCmdRelease(&req);
}

// Random requests parsed back by a separate minimal RESP array parser.
bool parseRequest(const Bytes &wire, std::vector<Bytes> *out)
{
    size_t at = 0;
    auto number = [&](char lead, uint64_t *value) {
        if (at >= wire.size() || wire[at++] != lead)
            return false;
        size_t end = wire.find("\r\n", at);
        if (end == Bytes::npos || end == at)
            return false;
        *value = std::stoull(wire.substr(at, end - at));
        at = end + 2;
        return true;
    };
    uint64_t count;
    if (!number('*', &count))
        return false;
    for (uint64_t i = 0; i < count; i++) {
        uint64_t len;
        if (!number('$', &len) || at + len + 2 > wire.size() || wire.compare(at + len, 2, "\r\n") != 0)
            return false;
        out->push_back(wire.substr(at, len));
        at += len + 2;
    }
    return at == wire.size();
}

TEST(RequestProperty, RandomArgumentVectorsParseBackEqual)
{
    std::mt19937_64 rng(20261210);
    for (int round = 0; round < 300; round++) {
        std::vector<Bytes> args{"CMD"};
        const size_t count = std::uniform_int_distribution<size_t>(0, 120)(rng);
        Request r;
        for (size_t i = 0; i < count; i++) {
            const int kind = std::uniform_int_distribution<int>(0, 3)(rng);
            if (kind == 0) {
                const auto v = static_cast<zend_long>(rng());
                kelvoRespCmdCatZendLong(&r.req, v);
                args.push_back(std::to_string(v));
            } else if (kind == 1) {
                const uint64_t v = rng() >> std::uniform_int_distribution<int>(0, 63)(rng);
                kelvoRespCmdCatZendULong(&r.req, v);
                args.push_back(std::to_string(v));
            } else {
                const size_t len = std::uniform_int_distribution<size_t>(0, kind == 2 ? 40 : 3000)(rng);
                Bytes arg(len, '\0');
                for (char &c : arg)
                    c = static_cast<char>(rng());
                kelvoRespCmdCatLen(&r.req, arg.data(), arg.size());
                args.push_back(arg);
            }
        }
        std::vector<Bytes> parsed;
        ASSERT_TRUE(parseRequest(r.wire(), &parsed)) << "round " << round;
        ASSERT_EQ(parsed, args) << "round " << round;
        for (size_t i = 0; i < args.size(); i++)
            ASSERT_EQ(r.arg(i), args[i]);
    }
}

// Misuse ends the process with the fatal report.
class RequestDeathTest : public ::testing::Test {
  protected:
    void SetUp() override { GTEST_FLAG_SET(death_test_style, "threadsafe"); }
};

TEST_F(RequestDeathTest, MisuseIsFatal)
{
    EXPECT_EXIT(
        {
            Request r;
            kelvoRespCmdCatLen(&r.req, "k", 1);
            kelvoRespCmdUpdateCmd(&r.req, REDIS_CMD_GET);
        },
        testing::KilledBySignal(SIGSEGV), "kelvoRespCmdUpdateCmd\\(\\): Assertion 'rrc->pos == 1' failed");
    EXPECT_EXIT(
        {
            Request r;
            kelvoRespCmdCatKw(&r.req, REDIS_CMD_GET);
        },
        testing::KilledBySignal(SIGSEGV), "Assertion 'rrc != NULL && rrc->pos == 0 && rrc->size > rrc->pos");
    EXPECT_EXIT(
        {
            rrc req;
            kelvoRespCmdInitCmd(&req, 0, REDIS_CMD_MAX);
        },
        testing::KilledBySignal(SIGSEGV), "cmd > REDIS_CMD_UNKNOWN && cmd < REDIS_CMD_MAX");
    EXPECT_EXIT(kelvoRespCmdFinish(nullptr), testing::KilledBySignal(SIGSEGV), "Assertion 'req != NULL' failed");
    EXPECT_EXIT(
        {
            Request r;
            kelvoRespCmdFmt(&r.req, nullptr, nullptr, "x");
        },
        testing::KilledBySignal(SIGSEGV), "kelvoRespCmdFmt\\(\\): Hit 'unimplemented' code");
    EXPECT_EXIT(
        {
            Request r;
            HashTable *empty = zend_new_array(0);
            kelvoRespCmdCatStreams(&r.req, empty, nullptr);
        },
        testing::KilledBySignal(SIGSEGV), "Assertion 'streams != NULL && zend_hash_num_elements\\(streams\\) > 0'");
}

} // namespace

/* The fast float text is zend_gcvt's, digit for digit: edges of each layout, halfway cases, random
 * bit patterns over the whole range and random short decimals such as coordinates. */
TEST(RequestDouble, TextEqualsTheEnginesSeventeenDigits)
{
    auto engine = [](double v) {
        char buf[64];
        zend_gcvt(v, 17, '.', 'E', buf);
        return std::string(buf);
    };
    auto ours = [](double v) {
        char buf[64];
        size_t len = kelvoDoubleText(buf, v);
        EXPECT_EQ(len, strlen(buf));
        return std::string(buf, len);
    };
    std::vector<double> values = {0.0,
                                  -0.0,
                                  1.0,
                                  -1.0,
                                  0.5,
                                  0.1,
                                  1e-3,
                                  1e-4,
                                  1e-5,
                                  9.9e-5,
                                  1e16,
                                  1e17,
                                  1e18,
                                  9.5e16,
                                  1e22,
                                  1e23,
                                  1.5e300,
                                  -2.5e-300,
                                  5e-324,
                                  2.2250738585072014e-308,
                                  std::numeric_limits<double>::max(),
                                  123456789012345678.0,
                                  0.30000000000000004,
                                  13.361389,
                                  38.115556,
                                  100.0,
                                  9007199254740993.0,
                                  0.000123456789,
                                  INFINITY,
                                  -INFINITY,
                                  NAN};
    std::mt19937_64 rng(20261211);
    for (int i = 0; i < 1000000; i++) {
        uint64_t bits = rng();
        double v;
        memcpy(&v, &bits, sizeof v);
        values.push_back(v);
        values.push_back(static_cast<double>(static_cast<int64_t>(rng() % 36000000) - 18000000) / 100000.0);
        values.push_back(static_cast<double>(rng() % 1000) * std::pow(10.0, static_cast<int>(rng() % 40) - 20));
    }
    int mismatches = 0;
    for (double v : values) {
        if (engine(v) != ours(v) && ++mismatches <= 10)
            ADD_FAILURE() << "value bits " << std::hexfloat << v << ": engine " << engine(v) << ", ours " << ours(v);
    }
    EXPECT_EQ(mismatches, 0);
}
