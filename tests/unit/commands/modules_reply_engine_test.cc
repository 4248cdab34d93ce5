// The formatters of the JSON document and search commands on reply trees read from the bytes the
// modules send (RESP3 maps of current versions, arrays of older ones), inside an engine that
// started the module: what each becomes, what is reported as malformed, and that the client's
// serializer and option word are left out of it.
#include "commands/cmdroles.h"
#include "commands/commands.h"
#include "support/command_engine.h"
#include "commands/commands_test_util.h"

#include <string>

using namespace kelvo_test;

namespace {

constexpr kelvoOptionWord PHP = kelvoOptPhpredisCompat, LIT = kelvoOptReplyLiteral;

struct ModuleCase {
    const char *name;
    kelvoReplyFn fn;
    int cmd;
    uint8_t context;
    kelvoOptionWord options;
    const char *resp; /* '|' stands for CR LF */
    const char *expected;
    const char *error; /* text after "Malformed RESP reply: ", or "" */
};

const ModuleCase cases[] = {
    /* JSON.GET, JSON.MGET: decoded, nil null whatever the client's options */
    {"GetDecodes", kelvoJsonReplyFmt, REDIS_CMD_JSON_GET, 0, PHP, "$13|{\"a\":[1,2.5]}|", "[\"a\":[0:1,1:2.5d]]", ""},
    {"GetMissingKeyIsNull", kelvoJsonReplyFmt, REDIS_CMD_JSON_GET, 0, PHP, "_|", "null", ""},
    {"GetUndecodableStaysText", kelvoJsonReplyFmt, REDIS_CMD_JSON_GET, 0, 0, "$3|{x:|", "\"{x:\"", ""},
    {"MgetNilElementIsNull", kelvoJsonReplyFmt, REDIS_CMD_JSON_MGET, 0, PHP, "*2|$3|[1]|$-1|", "[0:[0:1],1:null]", ""},
    /* the other JSON rows: any reply, text never unpacked */
    {"PlainLegacyScalar", kelvoJsonPlainFmt, REDIS_CMD_JSON_ARRAPPEND, 0, PHP, ":5|", "5", ""},
    {"PlainNilFollowsTheOptions", kelvoJsonPlainFmt, REDIS_CMD_JSON_SET, 0, PHP, "_|", "false", ""},
    {"PlainNilOutsidePhpredis", kelvoJsonPlainFmt, REDIS_CMD_JSON_SET, 0, 0, "_|", "null", ""},
    {"PlainStatusIsTrue", kelvoJsonPlainFmt, REDIS_CMD_JSON_SET, 0, PHP, "+OK|", "true", ""},
    {"PlainArray", kelvoJsonPlainFmt, REDIS_CMD_JSON_ARRPOP, 0, 0, "*2|$3|\"a\"|_|", "[0:\"\"a\"\",1:null]", ""},
    {"TypeLegacyName", kelvoJsonTypeFmt, REDIS_CMD_JSON_TYPE, 0, PHP, "+object|", "\"object\"", ""},
    {"TypeNested", kelvoJsonTypeFmt, REDIS_CMD_JSON_TYPE, 0, PHP, "*1|*1|$7|integer|", "[0:[0:\"integer\"]]", ""},
    /* JSON.RESP */
    {"RespRESP3Document", kelvoJsonRespReply, REDIS_CMD_JSON_RESP, 0, PHP, "*5|+{|$1|a|*5|+[|:1|#t|_|,2.5|$1|b|$1|x|",
     "[0:\"{\",1:\"a\",2:[0:\"[\",1:1,2:true,3:null,4:2.5d],3:\"b\",4:\"x\"]", ""},
    {"RespRESP2Document", kelvoJsonRespReply, REDIS_CMD_JSON_RESP, 0, PHP, "*4|+[|+true|$3|1.5|$-1|",
     "[0:\"[\",1:\"true\",2:\"1.5\",3:null]", ""},
    {"RespMapAndSet", kelvoJsonRespReply, REDIS_CMD_JSON_RESP, 0, PHP, "%2|$1|a|~1|:1|:7|=7|txt:abc|",
     "[\"a\":[0:1],7:\"abc\"]", ""},
    {"RespScalars", kelvoJsonRespReply, REDIS_CMD_JSON_RESP, 0, PHP, "+false|", "\"false\"", ""},
    {"RespBigNumber", kelvoJsonRespReply, REDIS_CMD_JSON_RESP, 0, PHP, "(123456789012345678901|",
     "\"123456789012345678901\"", ""},
    {"RespNil", kelvoJsonRespReply, REDIS_CMD_JSON_RESP, 0, PHP, "_|", "null", ""},
    {"RespErrorMemberFailsItsArray", kelvoJsonRespReply, REDIS_CMD_JSON_RESP, 0, 0, "*3|+[|*2|:1|-ERR x|:2|",
     "[0:\"[\",1:false,2:2]", "unexpected JSON.RESP member type error"},
    {"RespPushMember", kelvoJsonRespReply, REDIS_CMD_JSON_RESP, 0, 0, "*1|>1|:1|", "false",
     "unexpected JSON.RESP member type push"},
    {"RespBadMapKey", kelvoJsonRespReply, REDIS_CMD_JSON_RESP, 0, 0, "*2|:1|%1|,1.5|:2|", "[0:1,1:false]",
     "unexpected JSON.RESP member type double"},
    /* search replies: never unserialized, statuses as text where the row wants them */
    {"SearchMap", kelvoFtPlainFmt, REDIS_CMD_FT_SEARCH, 0, PHP,
     "%2|$13|total_results|:1|$7|results|*1|%1|$2|id|$4|i:5;|",
     "[\"total_results\":1,\"results\":[0:[\"id\":\"i:5;\"]]]", ""},
    {"SearchArray", kelvoFtPlainFmt, REDIS_CMD_FT_SEARCH, 0, PHP, "*3|:1|$1|d|*2|$1|t|$4|i:5;|",
     "[0:1,1:\"d\",2:[0:\"t\",1:\"i:5;\"]]", ""},
    {"InfoStatusAsText", kelvoFtReplyFmt, REDIS_CMD_FT_INFO, 0, PHP, "%1|$5|state|+ready|", "[\"state\":\"ready\"]",
     ""},
    {"ProfileArray", kelvoFtReplyFmt, REDIS_CMD_FT_PROFILE, 0, PHP, "*2|*1|:0|*1|+OK|", "[0:[0:0],1:[0:\"OK\"]]", ""},
    /* FT.CONFIG */
    {"ConfigGetMap", kelvoFtConfigFmt, REDIS_CMD_FT_CONFIG, 1, PHP,
     "%5|+A|$3|500|+B|$4|true|+C|$5|false|$2|10|_|+D|$3|1.5|", "[\"A\":500,\"B\":true,\"C\":false,10:null,\"D\":1.5d]",
     ""},
    {"ConfigGetPairs", kelvoFtConfigFmt, REDIS_CMD_FT_CONFIG, 1, PHP, "*2|*2|$1|A|$6|return|*2|$1|B|$-1|",
     "[\"A\":\"return\",\"B\":null]", ""},
    {"ConfigGetTextNotNumber", kelvoFtConfigFmt, REDIS_CMD_FT_CONFIG, 1, PHP, "%1|+A|$4|1abc|", "[\"A\":\"1abc\"]", ""},
    {"ConfigGetEmpty", kelvoFtConfigFmt, REDIS_CMD_FT_CONFIG, 1, PHP, "*0|", "[]", ""},
    {"ConfigGetIntegerValue", kelvoFtConfigFmt, REDIS_CMD_FT_CONFIG, 1, 0, "%1|+A|:5|", "false",
     "expected FT.CONFIG status/string pair"},
    {"ConfigGetStatus", kelvoFtConfigFmt, REDIS_CMD_FT_CONFIG, 1, 0, "+OK|", "false", "expected FT.CONFIG map reply"},
    {"ConfigGetShortPair", kelvoFtConfigFmt, REDIS_CMD_FT_CONFIG, 1, 0, "*1|*1|$1|A|", "false",
     "expected FT.CONFIG status/string pair"},
    {"ConfigSetOk", kelvoFtConfigFmt, REDIS_CMD_FT_CONFIG, 0, PHP, "+OK|", "true", ""},
};

void PrintTo(const ModuleCase &c, std::ostream *os) { *os << c.name; }

class ModuleReply : public ::testing::TestWithParam<ModuleCase> {};

/* With the php serializer chosen: nothing of a module's reply may go through it. */
TEST_P(ModuleReply, ConvertsWithoutTheClientsPacking)
{
    const ModuleCase &c = GetParam();
    Reply reply(resp(c.resp));
    TestClient client(c.options);
    client.ro.opts.serializer = &kelvoPhpSerInfo;
    QuerySet rqs(c.cmd, c.context, 0, "");
    zval out;
    c.fn(&out, rqs.get(), client.obj(), reply.get());
    EXPECT_EQ(dump(&out), c.expected);
    EXPECT_EQ(takeMalformed(), c.error);
    EXPECT_EQ(client.flags(), c.options) << "the client's option word changed";
    EXPECT_EQ(client.ro.opts.serializer, &kelvoPhpSerInfo);
    zval_ptr_dtor(&out);
}

INSTANTIATE_TEST_SUITE_P(Modules, ModuleReply, ::testing::ValuesIn(cases), caseName<ModuleCase>);

/* A refused FT.CONFIG SET is no success: false, with the server's text as the last error. */
TEST(ModuleReplies, ConfigSetRefusalIsTheLastError)
{
    Reply reply(resp("+Invalid value|"));
    TestClient client(PHP | LIT);
    QuerySet rqs(REDIS_CMD_FT_CONFIG, 0, 0, "");
    zval out;
    kelvoFtConfigFmt(&out, rqs.get(), client.obj(), reply.get());
    EXPECT_EQ(dump(&out), "false");
    ASSERT_NE(client.ro.lastError, nullptr);
    EXPECT_EQ(std::string(ZSTR_VAL(client.ro.lastError)), "Invalid value");
}

} // namespace
