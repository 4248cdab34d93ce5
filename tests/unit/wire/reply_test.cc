// Reply nodes built by the RESP3 reader through the installed object
// functions: every type, the shared nodes, freeing, and the reader lifetime.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "support/command_engine.h"
#include "wire/reply.h"

namespace {

using Bytes = std::string;
using namespace std::string_literals;

// A context with just a reader, as the link code hands it over.
struct Link {
    redisContext ctx{};
    Link()
    {
        ctx.reader = redisReaderCreate();
        kelvoRedisContextUseKelvoReply(&ctx);
    }
    ~Link() { redisReaderFree(ctx.reader); }
    void feed(const Bytes &bytes) { ASSERT_EQ(redisReaderFeed(ctx.reader, bytes.data(), bytes.size()), REDIS_OK); }
    // The next reply, or null when none is complete.
    kelvoReply *next()
    {
        void *reply = nullptr;
        EXPECT_EQ(redisReaderGetReply(ctx.reader, &reply), REDIS_OK) << ctx.reader->errstr;
        return static_cast<kelvoReply *>(reply);
    }
};

struct Tree {
    kelvoReply *root;
    explicit Tree(kelvoReply *r) : root(r) {}
    ~Tree() { kelvoReplyFree(root); }
};

bool isShared(const kelvoReply *r) { return r->flags & KELVO_REPLY_INTERNED; }

// A compact rendering of a tree; "!" marks a shared node.
Bytes render(const kelvoReply *r)
{
    if (r == nullptr)
        return "(null)";
    Bytes out;
    auto str = [](const kelvoReply *n) { return "\"" + Bytes(ZSTR_VAL(n->v.str), ZSTR_LEN(n->v.str)) + "\""; };
    switch (r->type) {
    case KELVO_REPLY_STRING:
        out = "string" + str(r);
        break;
    case KELVO_REPLY_STATUS:
        out = "status" + str(r);
        break;
    case KELVO_REPLY_ERROR:
        out = "error" + str(r);
        break;
    case KELVO_REPLY_BIGNUM:
        out = "bignum" + str(r);
        break;
    case KELVO_REPLY_VERB:
        out = "verb:" + Bytes(r->vtype, 3) + str(r);
        break;
    case KELVO_REPLY_INTEGER:
        out = "int " + std::to_string(kelvoReplyInteger(r));
        break;
    case KELVO_REPLY_BOOL:
        out = kelvoReplyInteger(r) ? "true" : "false";
        break;
    case KELVO_REPLY_NIL:
        out = "nil";
        break;
    case KELVO_REPLY_DOUBLE: {
        std::ostringstream value;
        value << r->dval;
        out = "double " + value.str() + str(r);
        break;
    }
    default: {
        static const char *const names[] = {"", "", "array", "", "", "", "", "", "", "map", "set", "attr", "push"};
        out = Bytes(names[r->type]) + "[";
        for (uint64_t i = 0; i < r->elements; i++)
            out += (i ? ", " : "") + render(r->v.element[i]);
        out += "]";
    }
    }
    return out + (isShared(r) ? "!" : "");
}

struct DecodeCase {
    const char *name;
    Bytes wire;
    Bytes tree;
};

void PrintTo(const DecodeCase &c, std::ostream *os) { *os << c.name; }

const DecodeCase decodeCases[] = {
    {"SharedOkStatus", "+OK\r\n", "status\"OK\"!"},
    {"Status", "+QUEUED\r\n", "status\"QUEUED\""},
    {"StatusThatStartsLikeOk", "+OKAY\r\n", "status\"OKAY\""},
    {"OkAsBulkIsNotShared", "$2\r\nOK\r\n", "string\"OK\""},
    {"SharedOkInsideAnArray", "*2\r\n+OK\r\n+OK\r\n", "array[status\"OK\"!, status\"OK\"!]"},
    {"Error", "-ERR wrong\r\n", "error\"ERR wrong\""},
    {"BulkString", "$5\r\nhel\0o\r\n"s, "string\"hel\0o\""s},
    {"EmptyBulk", "$0\r\n\r\n", "string\"\""},
    {"OneByteBulk", "$1\r\nx\r\n", "string\"x\""},
    {"NilBulk", "$-1\r\n", "nil!"},
    {"Null", "_\r\n", "nil!"},
    {"SharedIntegers", "*6\r\n:0\r\n:1\r\n:2\r\n:3\r\n:4\r\n:5\r\n",
     "array[int 0!, int 1!, int 2!, int 3!, int 4!, int 5!]"},
    {"AllocatedIntegers", "*3\r\n:6\r\n:-1\r\n:-9223372036854775808\r\n",
     "array[int 6, int -1, int -9223372036854775808]"},
    {"Double", ",3.14\r\n", "double 3.14\"3.14\""},
    {"DoubleKeepsItsText", ",1.50e2\r\n", "double 150\"1.50e2\""},
    {"DoubleInfinity", ",inf\r\n", "double inf\"inf\""},
    {"True", "#t\r\n", "true!"},
    {"False", "#f\r\n", "false!"},
    {"Bignum", "(3492890328409238509324850943850943825024385\r\n",
     "bignum\"3492890328409238509324850943850943825024385\""},
    {"Verbatim", "=9\r\ntxt:hello\r\n", "verb:txt\"hello\""},
    {"VerbatimEmptyPayload", "=4\r\nmkd:\r\n", "verb:mkd\"\""},
    {"EmptyArray", "*0\r\n", "array[]!"},
    {"EmptyMap", "%0\r\n", "map[]!"},
    {"EmptySet", "~0\r\n", "set[]"},
    {"EmptyPush", ">0\r\n", "push[]"},
    {"NilArray", "*-1\r\n", "nil!"},
    {"Array", "*3\r\n$1\r\na\r\n:7\r\n_\r\n", "array[string\"a\", int 7, nil!]"},
    {"MapAlternatesKeysAndValues", "%2\r\n+k1\r\n:1\r\n+k2\r\n$2\r\nv2\r\n",
     "map[status\"k1\", int 1!, status\"k2\", string\"v2\"]"},
    {"Set", "~2\r\n#t\r\n,0.5\r\n", "set[true!, double 0.5\"0.5\"]"},
    {"Push", ">2\r\n$10\r\ninvalidate\r\n*1\r\n$3\r\nkey\r\n", "push[string\"invalidate\", array[string\"key\"]]"},
    {"Nested", "*3\r\n*0\r\n%1\r\n+a\r\n*1\r\n%0\r\n~1\r\n:99\r\n",
     "array[array[]!, map[status\"a\", array[map[]!]], set[int 99]]"},
    {"AttributeDoesNotReplaceTheReply", "|1\r\n+ttl\r\n:3\r\n:42\r\n", "int 42"},
};

class DecodeTest : public ::testing::TestWithParam<DecodeCase> {};

TEST_P(DecodeTest, BuildsTheTree)
{
    Link link;
    link.feed(GetParam().wire);
    Tree tree(link.next());
    EXPECT_EQ(render(tree.root), GetParam().tree);
    EXPECT_EQ(link.next(), nullptr);
}

INSTANTIATE_TEST_SUITE_P(Reply, DecodeTest, ::testing::ValuesIn(decodeCases),
                         [](const auto &info) { return std::string(info.param.name); });

TEST(Reply, NodesAreThirtyTwoBytesWithChildrenInTheSameAllocation)
{
    EXPECT_EQ(sizeof(kelvoReply), 32u);
    Link link;
    link.feed("*2\r\n$2\r\nab\r\n~1\r\n:10\r\n");
    Tree tree(link.next());
    ASSERT_EQ(tree.root->elements, 2u);
    EXPECT_EQ(tree.root->v.element, reinterpret_cast<kelvoReply **>(tree.root + 1));
    const kelvoReply *set = tree.root->v.element[1];
    EXPECT_EQ(set->v.element, reinterpret_cast<kelvoReply *const *>(set + 1));

    link.feed("~0\r\n");
    Tree empty(link.next());
    EXPECT_EQ(empty.root->v.element, nullptr);
    EXPECT_FALSE(isShared(empty.root));
}

TEST(Reply, ShortPayloadsAreTheEngineInternedStrings)
{
    Link link;
    link.feed("*3\r\n$0\r\n\r\n$1\r\nx\r\n+y\r\n");
    Tree tree(link.next());
    EXPECT_EQ(kelvoReplyZStr(tree.root->v.element[0]), ZSTR_EMPTY_ALLOC());
    EXPECT_EQ(kelvoReplyZStr(tree.root->v.element[1]), ZSTR_CHAR('x'));
    EXPECT_EQ(kelvoReplyZStr(tree.root->v.element[2]), ZSTR_CHAR('y'));

    link.feed(",1\r\n$2\r\nab\r\n");
    Tree dbl(link.next());
    Tree two(link.next());
    // a double's text is always its own string
    EXPECT_FALSE(ZSTR_IS_INTERNED(kelvoReplyZStr(dbl.root)));
    EXPECT_FALSE(ZSTR_IS_INTERNED(kelvoReplyZStr(two.root)));
    EXPECT_EQ(GC_REFCOUNT(kelvoReplyZStr(two.root)), 1u);
}

TEST(Reply, SharedNodesSurviveFreeingAndAreRightlyMarked)
{
    const kelvoReply *sharedNodes[] = {&kelvoNilReply,
                                       &kelvoTrueReply,
                                       &kelvoFalseReply,
                                       &kelvoEmptyArrayReply,
                                       &kelvoEmptyMapReply,
                                       &kelvoSmallIntegerReply[0],
                                       &kelvoSmallIntegerReply[5]};
    for (const kelvoReply *node : sharedNodes) {
        EXPECT_TRUE(isShared(node));
        kelvoReplyFree(const_cast<kelvoReply *>(node)); // ignored
    }
    for (int64_t i = 0; i < 6; i++)
        EXPECT_EQ(kelvoReplyInteger(&kelvoSmallIntegerReply[i]), i);
    EXPECT_EQ(kelvoReplyInteger(&kelvoTrueReply), 1);
    EXPECT_EQ(kelvoReplyInteger(&kelvoFalseReply), 0);
    EXPECT_EQ(kelvoEmptyArrayReply.v.element, nullptr);
    EXPECT_EQ(kelvoEmptyMapReply.elements, 0u);

    Link link;
    link.feed("*4\r\n:5\r\n_\r\n*0\r\n:5\r\n");
    {
        Tree tree(link.next());
        EXPECT_EQ(tree.root->v.element[0], &kelvoSmallIntegerReply[5]);
        EXPECT_EQ(tree.root->v.element[3], &kelvoSmallIntegerReply[5]);
        EXPECT_EQ(tree.root->v.element[1], &kelvoNilReply);
        EXPECT_EQ(tree.root->v.element[2], &kelvoEmptyArrayReply);
    }
    EXPECT_EQ(render(&kelvoSmallIntegerReply[5]), "int 5!");
    kelvoReplyFree(nullptr);
}

TEST(Reply, ConsumerReferenceKeepsAPayloadAfterTheTreeIsFreed)
{
    Link link;
    link.feed("*1\r\n$5\r\nvalue\r\n");
    zend_string *kept;
    {
        Tree tree(link.next());
        kept = zend_string_copy(kelvoReplyZStr(tree.root->v.element[0]));
    }
    EXPECT_EQ(Bytes(ZSTR_VAL(kept), ZSTR_LEN(kept)), "value");
    EXPECT_EQ(GC_REFCOUNT(kept), 1u);
    zend_string_release(kept);
}

TEST(Reply, InstallingRaisesTheIdleBufferThreshold)
{
    Link link;
    EXPECT_EQ(link.ctx.reader->fn, &kelvoReplyObjectFunctions);
    EXPECT_EQ(link.ctx.reader->maxbuf, 131072u);
}

// Counts the object functions the reader calls, forwarding to the real ones.
int objectCalls = 0;
template <auto Fn, typename... Args>
void *counted(Args... args)
{
    objectCalls++;
    return Fn(args...);
}
const redisReplyObjectFunctions countingFunctions = {
    counted<kelvoReplyCreateString, const redisReadTask *, const char *, size_t>,
    counted<kelvoReplyCreateArray, const redisReadTask *, size_t>,
    counted<kelvoReplyCreateInteger, const redisReadTask *, long long>,
    counted<kelvoReplyCreateDouble, const redisReadTask *, double, const char *, size_t>,
    counted<kelvoReplyCreateNil, const redisReadTask *>,
    counted<kelvoReplyCreateBool, const redisReadTask *, int>,
    kelvoReplyFree,
};

TEST(ReplyLifetime, NoNodeLivesInAReaderAcrossRequests)
{
    Link link;
    link.ctx.reader->fn = &countingFunctions;
    objectCalls = 0;

    // A partial reply is only bytes: nothing is built before it is whole.
    link.feed("*2\r\n$3\r\nfoo\r\n");
    EXPECT_EQ(link.next(), nullptr);
    EXPECT_EQ(objectCalls, 0);
    EngineEnvironment::nextRequest();

    // A second whole reply buffered behind the first is not built with it.
    link.feed("$3\r\nbar\r\n:-7\r\n");
    {
        Tree tree(link.next());
        EXPECT_EQ(render(tree.root), "array[string\"foo\", string\"bar\"]");
        EXPECT_EQ(objectCalls, 3);
    }
    EngineEnvironment::nextRequest();
    Tree last(link.next());
    EXPECT_EQ(render(last.root), "int -7");
    EXPECT_EQ(objectCalls, 4);
}

TEST(ReplyLifetime, AShortVerbatimIsAProtocolErrorNotAnAbort)
{
    for (const Bytes wire : {"=3\r\ntxt\r\n", "=5\r\ntxt-x\r\n"}) {
        Link link;
        link.feed(wire);
        void *reply = nullptr;
        EXPECT_EQ(redisReaderGetReply(link.ctx.reader, &reply), REDIS_ERR);
        EXPECT_EQ(link.ctx.reader->err, REDIS_ERR_PROTOCOL);
        EXPECT_EQ(reply, nullptr);
    }
}

class ReplyDeathTest : public ::testing::Test {
  protected:
    void SetUp() override { GTEST_FLAG_SET(death_test_style, "threadsafe"); }
};

TEST_F(ReplyDeathTest, InstallingOnAMissingOrDirtyReaderIsFatal)
{
    EXPECT_EXIT(kelvoRedisContextUseKelvoReply(nullptr), testing::KilledBySignal(SIGSEGV),
                "FATAL: reply.cc:[0-9]+:kelvoRedisContextUseKelvoReply\\(\\): Cannot install kelvo reply reader on "
                "NULL context/reader");
    redisContext noReader{};
    EXPECT_EXIT(kelvoRedisContextUseKelvoReply(&noReader), testing::KilledBySignal(SIGSEGV), "NULL context/reader");
    for (const Bytes buffered : {"+OK\r\n", "*2\r\n:1\r\n"}) {
        redisContext ctx{};
        ctx.reader = redisReaderCreate();
        redisReaderFeed(ctx.reader, buffered.data(), buffered.size());
        EXPECT_EXIT(kelvoRedisContextUseKelvoReply(&ctx), testing::KilledBySignal(SIGSEGV),
                    "Cannot install kelvo reply reader on dirty reader state");
        redisReaderFree(ctx.reader);
    }
}

TEST_F(ReplyDeathTest, ContractViolationsAreFatal)
{
    redisReadTask verb{KELVO_REPLY_VERB, 0, -1, nullptr, nullptr, nullptr};
    EXPECT_EXIT(kelvoReplyCreateString(&verb, "txt", 3), testing::KilledBySignal(SIGSEGV),
                "Assertion 'len >= 4' failed");
    redisReadTask integer{KELVO_REPLY_INTEGER, 0, -1, nullptr, nullptr, nullptr};
    EXPECT_EXIT(kelvoReplyCreateString(&integer, "x", 1), testing::KilledBySignal(SIGSEGV), "Assertion");
    EXPECT_EXIT(kelvoReplyCreateArray(&integer, 2), testing::KilledBySignal(SIGSEGV),
                "Assertion 'task != NULL && kelvoReplyTypeIsAggregate\\(task->type\\)' failed");

    // A child whose index lies outside its parent.
    redisReadTask array{KELVO_REPLY_ARRAY, 1, -1, nullptr, nullptr, nullptr};
    array.obj = kelvoReplyCreateArray(&array, 1);
    redisReadTask child{KELVO_REPLY_INTEGER, 0, 1, nullptr, &array, nullptr};
    EXPECT_EXIT(kelvoReplyCreateInteger(&child, 9), testing::KilledBySignal(SIGSEGV),
                "Assertion 'parent != NULL && kelvoReplyTypeIsAggregate\\(parent->type\\)");
    kelvoReplyFree(array.obj);

    EXPECT_EXIT(kelvoReplyZStr(&kelvoNilReply), testing::KilledBySignal(SIGSEGV),
                "Assertion 'kelvoReplyTypeIsString\\(r->type\\) \\|\\| r->type == KELVO_REPLY_DOUBLE' failed");
    EXPECT_EXIT(kelvoReplyInteger(&kelvoEmptyArrayReply), testing::KilledBySignal(SIGSEGV),
                "Assertion 'r->type == KELVO_REPLY_INTEGER \\|\\| r->type == KELVO_REPLY_BOOL' failed");
}

} // namespace
