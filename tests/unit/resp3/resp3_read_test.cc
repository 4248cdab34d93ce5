// The RESP3 reader: one decode table for every type, fed whole, byte by byte
// and split at every position; malformed input; limits; locale; failing
// object functions.
#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <string>
#include <vector>

#include "resp3/resp3.h"
#include "resp3/resp3_test_util.h"

namespace {

struct ReaderDeleter {
    void operator()(redisReader *r) const { redisReaderFree(r); }
};
using Reader = std::unique_ptr<redisReader, ReaderDeleter>;

Reader makeReader(const redisReplyObjectFunctions *fn = nullptr) { return Reader(redisReaderCreateWithFunctions(fn)); }

// Takes one reply; "" when none is complete, "ERROR <code>: <text>" on failure.
std::string take(redisReader *r)
{
    void *reply = nullptr;
    if (redisReaderGetReply(r, &reply) != REDIS_OK)
        return "ERROR " + std::to_string(r->err) + ": " + r->errstr;
    if (!reply)
        return "";
    std::string s = dump(static_cast<redisReply *>(reply));
    freeReplyObject(reply);
    return s;
}

struct DecodeCase {
    const char *name;
    std::string wire;
    std::string tree;
};

const std::vector<DecodeCase> &decodeCases()
{
    static const std::vector<DecodeCase> cases = {
        {"Status", "+OK\r\n", "status:OK"},
        {"EmptyStatus", "+\r\n", "status:"},
        {"Error", "-ERR unknown command\r\n", "err:ERR unknown command"},
        {"Integer", ":42\r\n", "int:42"},
        {"IntegerZero", ":0\r\n", "int:0"},
        {"IntegerNegative", ":-17\r\n", "int:-17"},
        {"IntegerMax", ":9223372036854775807\r\n", "int:9223372036854775807"},
        {"IntegerMin", ":-9223372036854775808\r\n", "int:-9223372036854775808"},
        {"Bulk", "$5\r\nhello\r\n", "str:hello"},
        {"BulkEmpty", "$0\r\n\r\n", "str:"},
        {"BulkBinary", std::string("$4\r\n\r\n\0x\r\n", 10), std::string("str:\r\n\0x", 8)},
        {"BulkNil", "$-1\r\n", "nil"},
        {"Null", "_\r\n", "nil"},
        {"Double", ",3.14\r\n", "dbl:3.1400000000000001/3.14"},
        {"DoubleExponent", ",-1.5e-3\r\n", "dbl:-0.0015/-1.5e-3"},
        {"DoubleInteger", ",10\r\n", "dbl:10/10"},
        {"DoubleInf", ",inf\r\n", "dbl:inf/inf"},
        {"DoubleNegInfUpper", ",-INF\r\n", "dbl:-inf/-INF"},
        {"DoubleNan", ",nan\r\n", "dbl:nan/nan"},
        {"DoubleHuge", ",1e400\r\n", "dbl:inf/1e400"},
        {"BoolTrue", "#t\r\n", "true"},
        {"BoolFalse", "#f\r\n", "false"},
        {"Bignum", "(3492890328409238509324850943850943825024385\r\n",
         "big:3492890328409238509324850943850943825024385"},
        {"BignumNegative", "(-12\r\n", "big:-12"},
        {"Verbatim", "=15\r\ntxt:Some string\r\n", "verb:txt:Some string"},
        {"VerbatimEmptyText", "=4\r\nmkd:\r\n", "verb:mkd:"},
        {"Array", "*3\r\n:1\r\n$1\r\na\r\n+b\r\n", "[int:1,str:a,status:b]"},
        {"ArrayEmpty", "*0\r\n", "[]"},
        {"ArrayNil", "*-1\r\n", "nil"},
        {"ArrayNested", "*2\r\n*2\r\n:1\r\n:2\r\n*1\r\n*0\r\n", "[[int:1,int:2],[[]]]"},
        {"Map", "%2\r\n+a\r\n:1\r\n+b\r\n#f\r\n", "{status:a,int:1,status:b,false}"},
        {"MapEmpty", "%0\r\n", "{}"},
        {"MapNil", "%-1\r\n", "nil"},
        {"Set", "~2\r\n$1\r\nx\r\n_\r\n", "~(str:x,nil)"},
        {"SetEmpty", "~0\r\n", "~()"},
        {"Push", ">2\r\n$10\r\ninvalidate\r\n*1\r\n$1\r\nk\r\n", ">(str:invalidate,[str:k])"},
        {"PushNullKeys", ">2\r\n$10\r\ninvalidate\r\n_\r\n", ">(str:invalidate,nil)"},
        {"AttributeBeforeReply", "|1\r\n+ttl\r\n:3\r\n:7\r\n", "int:7"},
        {"AttributeBeforeAggregate", "|1\r\n+a\r\n*1\r\n:1\r\n*2\r\n:5\r\n:6\r\n", "[int:5,int:6]"},
        {"AttributeInsideArray", "*2\r\n|1\r\n+a\r\n+b\r\n:1\r\n:2\r\n", "[int:1,int:2]"},
        {"AttributeEmpty", "|0\r\n#t\r\n", "true"},
        {"AttributeNested", "|1\r\n|1\r\n+x\r\n+y\r\n+k\r\n%1\r\n+a\r\n|0\r\n:1\r\n$2\r\nok\r\n", "str:ok"},
        {"AttributeLastInArray", "*1\r\n:1\r\n", "[int:1]"},
        {"Mixed", "%2\r\n$6\r\nserver\r\n$5\r\nredis\r\n$7\r\nmodules\r\n*1\r\n~1\r\n,1.5\r\n",
         "{str:server,str:redis,str:modules,[~(dbl:1.5/1.5)]}"},
    };
    return cases;
}

class Decode : public ::testing::TestWithParam<DecodeCase> {};

TEST_P(Decode, Whole)
{
    Reader r = makeReader();
    const DecodeCase &c = GetParam();
    ASSERT_EQ(redisReaderFeed(r.get(), c.wire.data(), c.wire.size()), REDIS_OK);
    EXPECT_EQ(take(r.get()), c.tree);
    EXPECT_EQ(take(r.get()), "");
    EXPECT_FALSE(redisReaderDirty(r.get()));
}

TEST_P(Decode, ByteByByte)
{
    Reader r = makeReader();
    const DecodeCase &c = GetParam();
    std::string got;
    for (size_t i = 0; i < c.wire.size(); i++) {
        ASSERT_EQ(got, "") << "complete before byte " << i;
        ASSERT_EQ(redisReaderFeed(r.get(), &c.wire[i], 1), REDIS_OK);
        got = take(r.get());
    }
    EXPECT_EQ(got, c.tree);
}

TEST_P(Decode, SplitAtEveryPosition)
{
    const DecodeCase &c = GetParam();
    for (size_t cut = 1; cut < c.wire.size(); cut++) {
        Reader r = makeReader();
        ASSERT_EQ(redisReaderFeed(r.get(), c.wire.data(), cut), REDIS_OK);
        ASSERT_EQ(take(r.get()), "") << "cut " << cut;
        EXPECT_TRUE(redisReaderDirty(r.get()));
        ASSERT_EQ(redisReaderFeed(r.get(), c.wire.data() + cut, c.wire.size() - cut), REDIS_OK);
        EXPECT_EQ(take(r.get()), c.tree) << "cut " << cut;
    }
}

INSTANTIATE_TEST_SUITE_P(Resp3, Decode, ::testing::ValuesIn(decodeCases()),
                         [](const auto &info) { return std::string(info.param.name); });

TEST(Reader, PipelinedRepliesComeOutInOrder)
{
    Reader r = makeReader();
    std::string all;
    for (const auto &c : decodeCases())
        all += c.wire;
    ASSERT_EQ(redisReaderFeed(r.get(), all.data(), all.size()), REDIS_OK);
    for (const auto &c : decodeCases())
        EXPECT_EQ(take(r.get()), c.tree) << c.name;
    EXPECT_EQ(take(r.get()), "");
}

// Records every object-function call, building default replies underneath.
struct CallLog {
    static inline std::vector<std::string> calls;
    static inline int failAt = -1; // 0-based call that returns NULL

    static bool fail() { return failAt >= 0 && int(calls.size()) - 1 == failAt; }
    static void note(const char *what, const redisReadTask *t)
    {
        char buf[128];
        snprintf(buf, sizeof buf, "%s type=%d idx=%d elements=%lld parent=%d priv=%s", what, t->type, t->idx,
                 t->elements, t->parent ? t->parent->type : 0,
                 t->privdata ? static_cast<const char *>(t->privdata) : "-");
        calls.push_back(buf);
    }
    static void *str(const redisReadTask *t, const char *s, size_t n)
    {
        note("string", t);
        return fail() ? nullptr : redisReplyDefaultFunctions.createString(t, s, n);
    }
    static void *arr(const redisReadTask *t, size_t n)
    {
        note("array", t);
        return fail() ? nullptr : redisReplyDefaultFunctions.createArray(t, n);
    }
    static void *integer(const redisReadTask *t, long long v)
    {
        note("integer", t);
        return fail() ? nullptr : redisReplyDefaultFunctions.createInteger(t, v);
    }
    static void *dbl(const redisReadTask *t, double v, const char *s, size_t n)
    {
        note("double", t);
        return fail() ? nullptr : redisReplyDefaultFunctions.createDouble(t, v, s, n);
    }
    static void *nil(const redisReadTask *t)
    {
        note("nil", t);
        return fail() ? nullptr : redisReplyDefaultFunctions.createNil(t);
    }
    static void *boolean(const redisReadTask *t, int v)
    {
        note("bool", t);
        return fail() ? nullptr : redisReplyDefaultFunctions.createBool(t, v);
    }
};

const redisReplyObjectFunctions kLogged = {CallLog::str, CallLog::arr,     CallLog::integer, CallLog::dbl,
                                           CallLog::nil, CallLog::boolean, freeReplyObject};

TEST(Reader, TasksCarryTypeIndexParentAndPrivdata)
{
    CallLog::calls.clear();
    CallLog::failAt = -1;
    Reader r = makeReader(&kLogged);
    char priv[] = "P";
    r->privdata = priv;
    std::string wire = "*3\r\n%1\r\n+k\r\n:1\r\n|1\r\n+a\r\n+b\r\n$-1\r\n,2.5\r\n";
    ASSERT_EQ(redisReaderFeed(r.get(), wire.data(), wire.size()), REDIS_OK);
    EXPECT_EQ(take(r.get()), "[{status:k,int:1},nil,dbl:2.5/2.5]");
    EXPECT_EQ(CallLog::calls, (std::vector<std::string>{
                                  "array type=2 idx=-1 elements=3 parent=0 priv=P",
                                  "array type=9 idx=0 elements=2 parent=2 priv=P",
                                  "string type=5 idx=0 elements=0 parent=9 priv=P",
                                  "integer type=3 idx=1 elements=0 parent=9 priv=P",
                                  "nil type=4 idx=1 elements=0 parent=2 priv=P",
                                  "double type=7 idx=2 elements=0 parent=2 priv=P",
                              }));
}

TEST(Reader, ObjectFunctionsRunOnlyOnceTheWholeReplyIsBuffered)
{
    CallLog::calls.clear();
    CallLog::failAt = -1;
    Reader r = makeReader(&kLogged);
    std::string wire = "*2\r\n$3\r\nabc\r\n*1\r\n:1\r\n";
    for (size_t i = 0; i + 1 < wire.size(); i++) {
        ASSERT_EQ(redisReaderFeed(r.get(), &wire[i], 1), REDIS_OK);
        ASSERT_EQ(take(r.get()), "");
        ASSERT_TRUE(CallLog::calls.empty()) << "after byte " << i;
    }
    ASSERT_EQ(redisReaderFeed(r.get(), &wire.back(), 1), REDIS_OK);
    EXPECT_EQ(take(r.get()), "[str:abc,[int:1]]");
    EXPECT_EQ(CallLog::calls.size(), 4u);
}

TEST(Reader, FailingObjectFunctionIsOutOfMemoryAndFreesThePartialTree)
{
    std::string wire = "*3\r\n$3\r\nabc\r\n*2\r\n:10\r\n#t\r\n,1.5\r\n";
    for (int failAt = 0; failAt < 6; failAt++) {
        CallLog::calls.clear();
        CallLog::failAt = failAt;
        Reader r = makeReader(&kLogged);
        ASSERT_EQ(redisReaderFeed(r.get(), wire.data(), wire.size()), REDIS_OK);
        EXPECT_EQ(take(r.get()), "ERROR 5: Out of memory") << failAt;
        // Sticky: nothing more comes out, nothing more goes in.
        EXPECT_EQ(take(r.get()), "ERROR 5: Out of memory");
        EXPECT_EQ(redisReaderFeed(r.get(), "+OK\r\n", 5), REDIS_ERR);
    }
    CallLog::failAt = -1;
}

struct MalformedCase {
    const char *name;
    std::string wire;
    std::string error; // expected errstr
};

class Malformed : public ::testing::TestWithParam<MalformedCase> {};

TEST_P(Malformed, IsAStickyProtocolError)
{
    const MalformedCase &c = GetParam();
    Reader r = makeReader();
    ASSERT_EQ(redisReaderFeed(r.get(), c.wire.data(), c.wire.size()), REDIS_OK);
    EXPECT_EQ(take(r.get()), "ERROR 4: " + c.error);
    EXPECT_EQ(take(r.get()), "ERROR 4: " + c.error);
    EXPECT_EQ(redisReaderFeed(r.get(), "+OK\r\n", 5), REDIS_ERR);
}

TEST_P(Malformed, IsFoundWhateverTheSplit)
{
    const MalformedCase &c = GetParam();
    Reader r = makeReader();
    std::string got;
    for (size_t i = 0; i < c.wire.size() && got.empty(); i++) {
        ASSERT_EQ(redisReaderFeed(r.get(), &c.wire[i], 1), REDIS_OK);
        got = take(r.get());
    }
    EXPECT_EQ(got, "ERROR 4: " + c.error);
}

// `depth` arrays of one element around an integer.
std::string nested(int depth)
{
    std::string s;
    for (int i = 0; i < depth; i++)
        s += "*1\r\n";
    return s + ":1\r\n";
}

const std::string kBadBulk = "Bad bulk string length";
const std::string kBadCount = "Bad multi-bulk length";
const std::string kTooLarge = "Protocol error, reply too large";

INSTANTIATE_TEST_SUITE_P(
    Resp3, Malformed,
    ::testing::Values(
        MalformedCase{"UnknownType", "?x\r\n", "Protocol error, got \"?\" as reply type byte"},
        MalformedCase{"BlobErrorIsNotInTheGrammar", "!3\r\nerr\r\n", "Protocol error, got \"!\" as reply type byte"},
        MalformedCase{"UnknownTypeInsideArray", "*2\r\n:1\r\n@\r\n", "Protocol error, got \"@\" as reply type byte"},
        MalformedCase{"BareLF", "+a\nb\r\n", "Protocol error, bare LF in a line"},
        MalformedCase{"BareCR", "+a\rb\r\n", "Protocol error, bare CR in a line"},
        MalformedCase{"IntegerPlus", ":+1\r\n", "Bad integer value"},
        MalformedCase{"IntegerLeadingZero", ":01\r\n", "Bad integer value"},
        MalformedCase{"IntegerEmpty", ":\r\n", "Bad integer value"},
        MalformedCase{"IntegerMinusOnly", ":-\r\n", "Bad integer value"},
        MalformedCase{"IntegerTrailingJunk", ":12a\r\n", "Bad integer value"},
        MalformedCase{"IntegerOverflow", ":9223372036854775808\r\n", "Bad integer value"},
        MalformedCase{"IntegerUnderflow", ":-9223372036854775809\r\n", "Bad integer value"},
        MalformedCase{"DoubleJunk", ",abc\r\n", "Bad double value"},
        MalformedCase{"DoubleTrailing", ",1.5x\r\n", "Bad double value"},
        MalformedCase{"DoubleInfinityWord", ",infinity\r\n", "Bad double value"},
        MalformedCase{"DoubleEmpty", ",\r\n", "Bad double value"},
        MalformedCase{"DoubleHex", ",0x10\r\n", "Bad double value"},
        MalformedCase{"DoubleTooLong", "," + std::string(326, '1') + "\r\n", "Bad double value"},
        MalformedCase{"NilWithText", "_x\r\n", "Bad nil value"}, MalformedCase{"BoolOther", "#x\r\n", "Bad bool value"},
        MalformedCase{"BoolLong", "#tt\r\n", "Bad bool value"},
        MalformedCase{"BignumLetters", "(12a\r\n", "Bad bignum value"},
        MalformedCase{"BignumMinusOnly", "(-\r\n", "Bad bignum value"},
        MalformedCase{"BulkBelowMinusOne", "$-2\r\n", kBadBulk}, MalformedCase{"BulkLengthJunk", "$abc\r\n", kBadBulk},
        MalformedCase{"BulkAboveCap", "$2000000000\r\n", kTooLarge},
        MalformedCase{"CountAboveCap", "*4294967295\r\n", kTooLarge},
        MalformedCase{"PairsAboveCap", "%200000000\r\n", kTooLarge},
        MalformedCase{"BulkNotEndedByCRLF", "$3\r\nabcXY", "Protocol error, bulk string not ended by CRLF"},
        MalformedCase{"VerbatimShort", "=3\r\ntxt\r\n", "Bad verbatim string value"},
        MalformedCase{"VerbatimEmpty", "=0\r\n\r\n", "Bad verbatim string value"},
        MalformedCase{"VerbatimNoColon", "=5\r\ntxt-x\r\n", "Bad verbatim string value"},
        MalformedCase{"VerbatimNil", "=-1\r\n", kBadBulk}, MalformedCase{"ArrayBelowMinusOne", "*-2\r\n", kBadCount},
        MalformedCase{"MapCountJunk", "%x\r\n", kBadCount},
        MalformedCase{"SetAboveMaxElements", "~4294967296\r\n", kBadCount},
        MalformedCase{"AttributeNil", "|-1\r\n", kBadCount},
        MalformedCase{"TooDeep", nested(REDIS_READER_MAX_DEPTH + 1), "Protocol error, reply nested too deeply"}),
    [](const auto &info) { return std::string(info.param.name); });

TEST(Reader, NestingUpToTheCapIsFine)
{
    Reader r = makeReader();
    std::string s = nested(REDIS_READER_MAX_DEPTH);
    ASSERT_EQ(redisReaderFeed(r.get(), s.data(), s.size()), REDIS_OK);
    EXPECT_EQ(take(r.get()),
              std::string(REDIS_READER_MAX_DEPTH, '[') + "int:1" + std::string(REDIS_READER_MAX_DEPTH, ']'));
}

TEST(Reader, SizeHeadersAloneAllocateNothing)
{
    for (std::string header : {"$1000000000\r\n", "*300000000\r\n", "%150000000\r\n", ">100000000\r\n"}) {
        CallLog::calls.clear();
        CallLog::failAt = -1;
        Reader r = makeReader(&kLogged);
        ASSERT_EQ(redisReaderFeed(r.get(), header.data(), header.size()), REDIS_OK);
        EXPECT_EQ(take(r.get()), "") << header;
        EXPECT_TRUE(CallLog::calls.empty()) << header;
        EXPECT_LE(r->cap, 4096u) << header;
    }
}

TEST(Reader, MaxElementsBoundsEveryAggregate)
{
    Reader r = makeReader();
    r->maxelements = 2;
    std::string ok = "*2\r\n:1\r\n:2\r\n%2\r\n:1\r\n:2\r\n:3\r\n:4\r\n";
    ASSERT_EQ(redisReaderFeed(r.get(), ok.data(), ok.size()), REDIS_OK);
    EXPECT_EQ(take(r.get()), "[int:1,int:2]");
    EXPECT_EQ(take(r.get()), "{int:1,int:2,int:3,int:4}");
    ASSERT_EQ(redisReaderFeed(r.get(), "~3\r\n", 4), REDIS_OK);
    EXPECT_EQ(take(r.get()), "ERROR 4: " + kBadCount);
}

TEST(Reader, RepliesLargerThanTheFrameCapAreRefused)
{
    struct {
        std::string wire;
        std::string result;
    } cases[] = {
        {"+" + std::string(995, 'x') + "\r\n", "status:" + std::string(995, 'x')},
        {"+" + std::string(1000, 'x'), "ERROR 4: " + kTooLarge},
        {"$992\r\n", ""},
        {"$993\r\n", "ERROR 4: " + kTooLarge},
        {"$1001\r\n", "ERROR 4: " + kTooLarge},
        {"*2\r\n$500\r\n" + std::string(500, 'a') + "\r\n$500\r\n", "ERROR 4: " + kTooLarge},
        {"|1\r\n+" + std::string(600, 'a') + "\r\n+" + std::string(400, 'b'), "ERROR 4: " + kTooLarge},
        {"*333\r\n", ""},
        {"*334\r\n", "ERROR 4: " + kTooLarge},
    };
    for (const auto &c : cases) {
        Reader r = makeReader();
        r->maxframe = 1000;
        ASSERT_EQ(redisReaderFeed(r.get(), c.wire.data(), c.wire.size()), REDIS_OK);
        EXPECT_EQ(take(r.get()), c.result) << c.wire.substr(0, 12);
    }
}

TEST(Reader, EmptiedBufferAboveMaxbufIsReleased)
{
    Reader r = makeReader();
    std::string big = "$100000\r\n" + std::string(100000, 'a') + "\r\n";
    ASSERT_EQ(redisReaderFeed(r.get(), big.data(), big.size()), REDIS_OK);
    EXPECT_EQ(take(r.get()).size(), 100004u);
    EXPECT_GT(r->cap, r->maxbuf);
    ASSERT_EQ(redisReaderFeed(r.get(), "+OK\r\n", 5), REDIS_OK);
    EXPECT_LE(r->cap, r->maxbuf);
    EXPECT_EQ(take(r.get()), "status:OK");
}

TEST(Reader, BetweenRepliesAndDirty)
{
    Reader r = makeReader();
    EXPECT_TRUE(redisReaderBetweenReplies(r.get()));
    EXPECT_FALSE(redisReaderDirty(r.get()));
    ASSERT_EQ(redisReaderFeed(r.get(), "*2\r\n:1\r\n", 8), REDIS_OK);
    EXPECT_TRUE(redisReaderDirty(r.get()));
    EXPECT_EQ(take(r.get()), "");
    EXPECT_FALSE(redisReaderBetweenReplies(r.get()));
    ASSERT_EQ(redisReaderFeed(r.get(), ":2\r\n+x", 6), REDIS_OK);
    EXPECT_EQ(take(r.get()), "[int:1,int:2]");
    EXPECT_TRUE(redisReaderBetweenReplies(r.get()));
    EXPECT_TRUE(redisReaderDirty(r.get()));
}

TEST(Reader, PushTypeIsReportedForTheReplyNotItsAttribute)
{
    Reader r = makeReader();
    std::string wire = "|1\r\n+a\r\n+b\r\n>1\r\n+x\r\n:1\r\n";
    ASSERT_EQ(redisReaderFeed(r.get(), wire.data(), wire.size()), REDIS_OK);
    EXPECT_EQ(take(r.get()), ">(status:x)");
    EXPECT_EQ(r->replyType, REDIS_REPLY_PUSH);
    EXPECT_EQ(take(r.get()), "int:1");
    EXPECT_EQ(r->replyType, REDIS_REPLY_INTEGER);
}

double decodeDouble(const std::string &text)
{
    Reader r = makeReader();
    std::string wire = "," + text + "\r\n";
    redisReaderFeed(r.get(), wire.data(), wire.size());
    void *reply = nullptr;
    if (redisReaderGetReply(r.get(), &reply) != REDIS_OK || !reply)
        return -1;
    double d = static_cast<redisReply *>(reply)->dval;
    freeReplyObject(reply);
    return d;
}

TEST(Reader, DoublesDecodeTheSameUnderACommaDecimalLocale)
{
    const std::pair<const char *, double> cases[] = {
        {"3.14", 3.14},       {"-0.5", -0.5},
        {"1.5e300", 1.5e300}, {"2.2250738585072014e-308", 2.2250738585072014e-308},
        {"0.1", 0.1},         {"12345.678901234567", 12345.678901234567},
        {"1E3", 1000.0},
    };
    ASSERT_NE(setlocale(LC_ALL, "de_DE.UTF-8"), nullptr) << "de_DE.UTF-8 missing (scripts/deps generates it)";
    ASSERT_STREQ(localeconv()->decimal_point, ",");
    for (const auto &[text, value] : cases)
        EXPECT_EQ(decodeDouble(text), value) << text;
    // A comma-decimal text is no RESP3 double, whatever the locale.
    EXPECT_EQ(decodeDouble("3,14"), -1);
    setlocale(LC_ALL, "C");
    for (const auto &[text, value] : cases)
        EXPECT_EQ(decodeDouble(text), value) << text;
}

} // namespace
