// Reply conversion and the per-command formatters, on reply trees the RESP3 reader builds from
// real reply bytes, inside an engine that started the module.
#include "commands/cmdroles.h"
#include "commands/commands.h"
#include "support/command_engine.h"
#include "commands/commands_test_util.h"

#include <string>
#include <vector>

using namespace kelvo_test;

namespace {

struct GenericCase {
    const char *name;
    const char *resp; /* '|' stands for CR LF */
    kelvoOptionWord options;
    uint8_t reqFlags;
    const char *expected;
    const char *error; /* text after "Malformed RESP reply: ", or "" */
};

constexpr kelvoOptionWord THROW = kelvoOptThrowOnError, LIT = kelvoOptReplyLiteral, NMB = kelvoOptNullMultibulkAsNull,
                          PHP = kelvoOptPhpredisCompat;
constexpr uint8_t RAW = KELVO_REQ_RAW, SINGLE = KELVO_REQ_SINGLE;

const GenericCase genericCases[] = {
    {"String", "$3|abc|", 0, 0, "\"abc\"", ""},
    {"StringRaw", "$3|abc|", PHP, RAW, "\"abc\"", ""},
    {"Verbatim", "=7|txt:abc|", 0, 0, "\"abc\"", ""},
    {"Array", "*2|:1|$1|a|", 0, 0, "[0:1,1:\"a\"]", ""},
    {"Set", "~2|$1|a|$1|b|", 0, 0, "[0:\"a\",1:\"b\"]", ""},
    {"Integer", ":-42|", 0, 0, "-42", ""},
    {"Double", ",1.5|", 0, 0, "1.5d", ""},
    {"BoolTrue", "#t|", 0, 0, "true", ""},
    {"BoolFalse", "#f|", 0, 0, "false", ""},
    {"Error", "-ERR x|", 0, 0, "false", ""},
    {"Push", ">2|$7|message|$1|x|", 0, 0, "false", ""},
    {"StatusTrue", "+OK|", 0, 0, "true", ""},
    {"StatusLiteral", "+OK|", LIT, 0, "\"OK\"", ""},
    {"BigNumberKeepsItsDigits", "(3492890328409238509324850943850943825024385|", 0, 0,
     "\"3492890328409238509324850943850943825024385\"", ""},
    {"BigNumberLiteral", "(-12345678901234567890|", LIT, 0, "\"-12345678901234567890\"", ""},
    {"NilIsNull", "_|", 0, 0, "null", ""},
    {"NilIsFalseInPhpredisMode", "_|", PHP, 0, "false", ""},
    {"NilIsNullWithNullMultibulk", "_|", PHP | NMB, 0, "null", ""},
    {"NilRawPhpredisIsEmptyArray", "_|", PHP, RAW, "[]", ""},
    {"NilRawPhpredisNullMultibulk", "_|", PHP | NMB, RAW, "null", ""},
    {"NilRawSingleIsOneMissingValue", "_|", PHP, RAW | SINGLE, "false", ""},
    {"NilRawOutsidePhpredis", "_|", 0, RAW, "null", ""},
    {"NilBulk", "$-1|", PHP, 0, "false", ""},
    {"MapKeysByTheArrayKeyRule", "%4|$1|1|$1|a|$2|01|$1|b|$2|-5|$1|c|$1|x|$1|d|", 0, 0,
     "[1:\"a\",\"01\":\"b\",-5:\"c\",\"x\":\"d\"]", ""},
    {"MapIntegerAndStatusKeys", "%2|:7|$1|a|+s|#t|", 0, 0, "[7:\"a\",\"s\":true]", ""},
    {"MapLaterKeyReplaces", "%2|$1|k|:1|$1|k|:2|", 0, 0, "[\"k\":2]", ""},
    {"MapRawPhpredisIsFlat", "%4|$1|1|$1|a|$2|01|$1|b|$2|-5|$1|c|$1|x|$1|d|", PHP, RAW,
     "[0:\"1\",1:\"a\",2:\"01\",3:\"b\",4:\"-5\",5:\"c\",6:\"x\",7:\"d\"]", ""},
    {"MapBadKey", "%1|*0|$1|a|", 0, 0, "false", "expected string, status, or integer map key"},
    {"NestedMapBadKeyFailsOnlyItsElement", "*2|:1|%1|,1.5|$1|a|", 0, 0, "[0:1,1:false]",
     "expected string, status, or integer map key"},
    {"NestedNilsFollowTheOptions", "*2|_|*1|_|", PHP, 0, "[0:false,1:[0:false]]", ""},
};

void PrintTo(const GenericCase &c, std::ostream *os) { *os << c.name; }

class Generic : public ::testing::TestWithParam<GenericCase> {};

TEST_P(Generic, ConvertsUnderTheOptions)
{
    const GenericCase &c = GetParam();
    Reply reply(resp(c.resp));
    kelvoPackOptions opts{nullptr, nullptr, 0, c.options};
    zval out;
    kelvoReplyToZVal(&out, reply.get(), &opts, c.reqFlags);
    EXPECT_EQ(dump(&out), c.expected);
    EXPECT_EQ(takeMalformed(), c.error);
    zval_ptr_dtor(&out);
}

INSTANTIATE_TEST_SUITE_P(Reply, Generic, ::testing::ValuesIn(genericCases), caseName<GenericCase>);

TEST(GenericConversion, WithoutOptionsStringsStayAndAMalformedMapIsThrown)
{
    Reply map(resp("%1|*0|$1|a|"));
    zval out;
    kelvoReplyToZVal(&out, map.get(), nullptr, 0);
    EXPECT_EQ(dump(&out), "false");
    EXPECT_EQ(takeMalformed(), "expected string, status, or integer map key");
    Reply status(resp("+OK|"));
    kelvoReplyToZVal(&out, status.get(), nullptr, 0);
    EXPECT_EQ(dump(&out), "true");
}

TEST(GenericConversion, MalformedInRecordModeWarnsWithoutThrowing)
{
    Reply map(resp("%1|*0|$1|a|"));
    kelvoPackOptions opts{nullptr, nullptr, 0, PHP};
    zval out;
    kelvoReplyToZVal(&out, map.get(), &opts, 0);
    EXPECT_EQ(dump(&out), "false");
    EXPECT_EQ(EG(exception), nullptr);
}

TEST(GenericConversion, ResultsShareTheReplyStrings)
{
    Reply reply(resp("$40|0123456789012345678901234567890123456789|"));
    zval out;
    kelvoReplyToZVal(&out, reply.get(), nullptr, 0);
    ASSERT_EQ(Z_TYPE(out), IS_STRING);
    EXPECT_EQ(Z_STR(out), reply.get()->v.str);
    zval_ptr_dtor(&out);
}

TEST(ReplyTypeNames, NameEveryTypeAndTheOddOnes)
{
    const char *names[] = {"unknown", "string", "array", "integer", "nil",  "status", "error", "double",
                           "bool",    "map",    "set",   "attr",    "push", "bignum", "verb",  "unknown"};
    for (uint32_t t = 0; t < 16; t++)
        EXPECT_STREQ(kelvoReplyTypeName(t), names[t]) << t;
    EXPECT_STREQ(kelvoReplyTypeToString(nullptr), "NULL");
}

// -- formatters ---------------------------------------------------------------------------------

struct FmtCase {
    const char *name;
    kelvoReplyFn fn;
    int cmd;
    uint8_t context;
    uint8_t reqFlags;
    kelvoOptionWord options;
    std::string resp; /* '|' stands for CR LF, except inside verb() */
    const char *expected;
    const char *error;
    const char *names = ""; /* comma-separated field names (HMGET values, HGETEX keys) */
};

std::string infoText = "# Server|redis_version:7.2.4|uptime_in_seconds:12|mem_fragmentation_ratio:1.05||"
                       "module:name=search,ver=2|last";

const FmtCase fmtCases[] = {
    {"LongToBoolTrue", kelvoLongToBool, REDIS_CMD_EXPIRE, 0, 0, 0, ":1|", "true", ""},
    {"LongToBoolFalse", kelvoLongToBool, REDIS_CMD_EXPIRE, 0, 0, 0, ":0|", "false", ""},
    {"LongToBoolWrongType", kelvoLongToBool, REDIS_CMD_EXPIRE, 0, 0, 0, "+OK|", "false",
     "expected integer, got status"},
    {"BoolToLong", kelvoBoolToLong, REDIS_CMD_VADD, 0, 0, 0, "#t|", "1", ""},
    {"BoolToLongWrongType", kelvoBoolToLong, REDIS_CMD_VADD, 0, 0, 0, ":1|", "false", "expected bool, got integer"},
    {"StringToFloat", kelvoStringToFloat, REDIS_CMD_INCRBYFLOAT, 0, 0, 0, "$3|1.5|", "1.5d", ""},
    {"StringToFloatInteger", kelvoStringToFloat, REDIS_CMD_INCRBYFLOAT, 0, 0, 0, "$1|7|", "7d", ""},
    {"StringToFloatNotNumeric", kelvoStringToFloat, REDIS_CMD_INCRBYFLOAT, 0, 0, 0, "$3|abc|", "\"abc\"", ""},
    {"StringToFloatWrongType", kelvoStringToFloat, REDIS_CMD_INCRBYFLOAT, 0, 0, 0, ":1|", "false",
     "expected string, got integer"},
    {"GeodistNil", kelvoGeodistReply, REDIS_CMD_GEODIST, 0, 0, 0, "_|", "null", ""},
    {"GeodistNilPhpredis", kelvoGeodistReply, REDIS_CMD_GEODIST, 0, 0, PHP, "_|", "false", ""},
    {"Geodist", kelvoGeodistReply, REDIS_CMD_GEODIST, 0, 0, 0, "$4|2.25|", "2.25d", ""},
    {"GeodistWrongType", kelvoGeodistReply, REDIS_CMD_GEODIST, 0, 0, 0, "+x|", "false",
     "expected string or nil, got status"},
    {"TypeName", kelvoStringToKeyType, REDIS_CMD_TYPE, 0, 0, 0, "+zset|", "\"zset\"", ""},
    {"TypeCodeZset", kelvoStringToKeyType, REDIS_CMD_TYPE, 0, 0, PHP, "+zset|", "4", ""},
    {"TypeCodeVectorset", kelvoStringToKeyType, REDIS_CMD_TYPE, 0, 0, PHP, "+vectorset|", "7", ""},
    {"TypeCodeNone", kelvoStringToKeyType, REDIS_CMD_TYPE, 0, 0, PHP, "+none|", "0", ""},
    {"TypeCodeCaseMatters", kelvoStringToKeyType, REDIS_CMD_TYPE, 0, 0, PHP, "+ZSET|", "0", ""},
    {"TypeWrongType", kelvoStringToKeyType, REDIS_CMD_TYPE, 0, 0, 0, "$4|zset|", "false",
     "expected status, got string"},
    {"GetPlain", kelvoKeyWithMetaFmt, REDIS_CMD_GET, 0, 0, 0, "$3|abc|", "\"abc\"", ""},
    {"GetWithMeta", kelvoKeyWithMetaFmt, REDIS_CMD_GET, 0, KELVO_REQ_META, 0, "$3|abc|",
     "[0:\"abc\",1:[\"cached\":false,\"length\":3]]", ""},
    {"GetWithMetaMissing", kelvoKeyWithMetaFmt, REDIS_CMD_GET, 0, KELVO_REQ_META, 0, "_|",
     "[0:null,1:[\"cached\":false,\"length\":-1]]", ""},
    {"HkeysAsReceived", kelvoHkeysFmt, REDIS_CMD_HKEYS, 0, 0, 0, "*2|$1|a|$2|10|", "[0:\"a\",1:\"10\"]", ""},
    {"HkeysWrongMember", kelvoHkeysFmt, REDIS_CMD_HKEYS, 0, 0, 0, "*1|:1|", "false",
     "expected string array member, got integer"},
    {"HrandfieldOne", kelvoHRandFieldFmt, REDIS_CMD_HRANDFIELD, 1, 0, 0, "$1|f|", "\"f\"", ""},
    {"HrandfieldOneNil", kelvoHRandFieldFmt, REDIS_CMD_HRANDFIELD, 1, 0, PHP, "_|", "false", ""},
    {"HrandfieldCount", kelvoHRandFieldFmt, REDIS_CMD_HRANDFIELD, 0, 0, 0, "*1|$1|f|", "[0:\"f\"]", ""},
    {"HrandfieldWithValues", kelvoHRandFieldFmt, REDIS_CMD_HRANDFIELD, 2, 0, 0, "*2|*2|$1|a|$1|1|*2|$1|b|$1|2|",
     "[\"a\":\"1\",\"b\":\"2\"]", ""},
    {"HrandfieldWithValuesFlat", kelvoHRandFieldFmt, REDIS_CMD_HRANDFIELD, 2, 0, 0, "*4|$1|a|$1|1|$1|b|$1|2|",
     "[\"a\":\"1\",\"b\":\"2\"]", ""},
    {"HrandfieldBadPair", kelvoHRandFieldFmt, REDIS_CMD_HRANDFIELD, 2, 0, 0, "*1|:1|", "false",
     "expected HRANDFIELD string key/value pair"},
    {"HrandfieldBadRow", kelvoHRandFieldFmt, REDIS_CMD_HRANDFIELD, 2, 0, 0, "*1|*1|$1|a|", "false",
     "expected HRANDFIELD key/value array"},
    {"HmgetZips", kelvoZipKeysAndVals, REDIS_CMD_HMGET, 0, 0, 0, "*2|$1|x|_|", "[10:\"x\",\"a\":null]", "", "10,a"},
    {"HmgetCountMismatch", kelvoZipKeysAndVals, REDIS_CMD_HMGET, 0, 0, 0, "*2|$1|x|$1|y|", "false",
     "expected 3 array values, got array with 2 elements", "a,b,c"},
    {"HmgetWrongValue", kelvoZipKeysAndVals, REDIS_CMD_HMGET, 0, 0, 0, "*2|$1|x|:1|", "false",
     "expected string or nil value, got integer", "a,b"},
    {"HgetexList", kelvoHGetKeysAssocFmt, REDIS_CMD_HGETEX, 0, 0, 0, "*2|$1|x|_|", "[0:\"x\",1:null]", "", "f,g"},
    {"HgetexPhpredisAssoc", kelvoHGetKeysAssocFmt, REDIS_CMD_HGETEX, 0, 0, PHP, "*2|$1|x|_|",
     "[\"f\":\"x\",\"g\":false]", "", "f,g"},
    {"HgetexPhpredisCount", kelvoHGetKeysAssocFmt, REDIS_CMD_HGETEX, 0, 0, PHP | THROW, "*2|$1|x|_|", "false",
     "expected 1 hash values, got 2", "f"},
    {"ZrangeMembers", kelvoZipZsetVals, REDIS_CMD_ZRANGE, 0, 0, 0, "*2|$1|a|$1|b|", "[0:\"a\",1:\"b\"]", ""},
    {"ZrangeScoresNested", kelvoZipZsetVals, REDIS_CMD_ZRANGE, 1, 0, 0, "*2|*2|$2|m1|,1|*2|$2|m2|,2|",
     "[\"m1\":1d,\"m2\":2d]", ""},
    {"ZrangeScoresFlat", kelvoZipZsetVals, REDIS_CMD_ZRANGE, 1, 0, 0, "*4|$2|m1|,1|$2|m2|,2|", "[\"m1\":1d,\"m2\":2d]",
     ""},
    {"ZrangeScoresEmpty", kelvoZipZsetVals, REDIS_CMD_ZRANGE, 1, 0, 0, "*0|", "[]", ""},
    {"ZrangeBadScore", kelvoZipZsetVals, REDIS_CMD_ZRANGE, 1, 0, 0, "*2|*2|$2|m1|_|*2|$2|m2|,2|", "false",
     "expected zset member/score array"},
    {"ZrangeBadMember", kelvoZipZsetVals, REDIS_CMD_ZRANGE, 0, 0, 0, "*1|:1|", "false",
     "expected zset string member, got integer"},
    {"ZpopNested", kelvoZipZpopVals, REDIS_CMD_ZPOPMIN, 0, 0, 0, "*2|*2|$1|a|,1.5|*2|$1|b|,2|", "[\"a\":1.5d,\"b\":2d]",
     ""},
    {"ZpopFlat", kelvoZipZpopVals, REDIS_CMD_ZPOPMIN, 0, 0, 0, "*2|$1|a|,1.5|", "[\"a\":1.5d]", ""},
    {"ZpopOddFlat", kelvoZipZpopVals, REDIS_CMD_ZPOPMIN, 0, 0, 0, "*3|$1|a|,1|$1|b|", "false",
     "expected zpop member/score pairs"},
    {"ZpopBadFirst", kelvoZipZpopVals, REDIS_CMD_ZPOPMIN, 0, 0, 0, "*1|:1|", "false",
     "expected array or string zpop entry, got integer"},
    {"ZpopBadScore", kelvoZipZpopVals, REDIS_CMD_ZPOPMIN, 0, 0, 0, "*2|$1|a|:1|", "false",
     "expected zpop string member and score"},
    {"ZrandmemberOne", kelvoZRandMemberVals, REDIS_CMD_ZRANDMEMBER, 0, 0, 0, "$1|a|", "\"a\"", ""},
    {"ZrandmemberScores", kelvoZRandMemberVals, REDIS_CMD_ZRANDMEMBER, 1, 0, 0, "*1|*2|$1|a|,1|", "[\"a\":1d]", ""},
    {"ZrandmemberWrongType", kelvoZRandMemberVals, REDIS_CMD_ZRANDMEMBER, 0, 0, 0, "+x|", "false",
     "expected string, array, or nil, got status"},
    {"Zmpop", kelvoZMPopReply, REDIS_CMD_ZMPOP, 0, 0, 0, "*2|$1|k|*1|*2|$1|a|,1|", "[0:\"k\",1:[\"a\":1d]]", ""},
    {"ZmpopNil", kelvoZMPopReply, REDIS_CMD_ZMPOP, 0, 0, 0, "_|", "null", ""},
    {"ZmpopMalformed", kelvoZMPopReply, REDIS_CMD_BZMPOP, 0, 0, 0, "*1|$1|k|", "false",
     "expected ZMPOP key/member-score array"},
    {"ZmpopBadEntry", kelvoZMPopReply, REDIS_CMD_ZMPOP, 0, 0, 0, "*2|$1|k|*1|$1|a|", "false",
     "expected ZMPOP member/score array"},
    {"Bzpopmin", kelvoBlockingPopReply, REDIS_CMD_BZPOPMIN, 0, 0, 0, "*3|$1|k|$1|m|,1.5|", "[0:\"k\",1:\"m\",2:1.5d]",
     ""},
    {"BzpopminPhpredisScoreText", kelvoBlockingPopReply, REDIS_CMD_BZPOPMIN, 0, 0, PHP, "*3|$1|k|$1|m|,1.5|",
     "[0:\"k\",1:\"m\",2:\"1.5\"]", ""},
    {"Blpop", kelvoBlockingPopReply, REDIS_CMD_BLPOP, 0, 0, 0, "*2|$1|k|$1|v|", "[0:\"k\",1:\"v\"]", ""},
    {"BlpopTimeout", kelvoBlockingPopReply, REDIS_CMD_BLPOP, 0, 0, PHP, "_|", "[]", ""},
    {"BlpopTimeoutNullMultibulk", kelvoBlockingPopReply, REDIS_CMD_BLPOP, 0, 0, NMB, "_|", "null", ""},
    {"BlpopThreeElements", kelvoBlockingPopReply, REDIS_CMD_BLPOP, 0, 0, 0, "*3|$1|k|$1|v|$1|x|", "false",
     "expected blocking pop key/member[/score] array"},
    {"BlpopWrongType", kelvoBlockingPopReply, REDIS_CMD_BRPOP, 0, 0, 0, ":1|", "false",
     "expected array or nil, got integer"},
    {"InfoParsed", kelvoInfoToZVal, REDIS_CMD_INFO, 0, 0, 0, verb(infoText),
     "[\"redis_version\":\"7.2.4\",\"uptime_in_seconds\":12,\"mem_fragmentation_ratio\":1.05d,"
     "\"module:name=search\":\"ver=2\"]",
     ""},
    {"InfoEmpty", kelvoInfoToZVal, REDIS_CMD_INFO, 0, 0, 0, verb(""), "[]", ""},
    {"InfoLineWithoutColon", kelvoInfoToZVal, REDIS_CMD_INFO, 0, 0, 0, verb("a:1|abc|"), "false",
     "expected INFO verbatim string with CR-delimited lines"},
    {"InfoNotVerbatim", kelvoInfoToZVal, REDIS_CMD_INFO, 0, 0, 0, "$5|a:1||", "false",
     "expected INFO verbatim string with CR-delimited lines"},
    {"InfoNoLineEnd", kelvoInfoToZVal, REDIS_CMD_INFO, 0, 0, 0, verb("a:1"), "false",
     "expected INFO verbatim string with CR-delimited lines"},
    {"ClientList", kelvoClientReply, REDIS_CMD_CLIENT, 1, 0, 0,
     verb("id=3 addr=127.0.0.1:50 name= junk age=7\nid=4 age=x\n"),
     "[0:[\"id\":3,\"addr\":\"127.0.0.1:50\",\"name\":\"\"],1:[\"id\":4,\"age\":\"x\"]]", ""},
    {"ClientListOddText", kelvoClientReply, REDIS_CMD_CLIENT, 1, 0, 0, verb("= =x  a==b\r\n\r\n"),
     "[0:[\"\":\"x\",\"a\":\"=b\"]]", ""},
    {"ClientInfo", kelvoClientReply, REDIS_CMD_CLIENT, 4, 0, 0, verb("id=9 db=0"), "[\"id\":9,\"db\":0]", ""},
    {"ClientOtherIsRaw", kelvoClientReply, REDIS_CMD_CLIENT, 0, 0, 0, "$3|abc|", "\"abc\"", ""},
    {"ClusterInfo", kelvoClusterReply, REDIS_CMD_CLUSTER, 1, 0, 0, verb("cluster_enabled:0|"),
     "[\"cluster_enabled\":0]", ""},
    {"ClusterOther", kelvoClusterReply, REDIS_CMD_CLUSTER, 0, 0, 0, "+OK|", "true", ""},
    {"CommandCount", kelvoCommandReply, REDIS_CMD_COMMAND, 1, 0, 0, ":5|", "5", ""},
    {"CommandCountWrongType", kelvoCommandReply, REDIS_CMD_COMMAND, 1, 0, 0, "+x|", "false",
     "expected COMMAND integer reply, got status"},
    {"CommandDocsFlat", kelvoCommandReply, REDIS_CMD_COMMAND, 2, 0, PHP, "%1|$3|get|%1|$7|summary|$1|x|",
     "[0:\"get\",1:[\"summary\":\"x\"]]", ""},
    {"CommandDocsBadPair", kelvoCommandReply, REDIS_CMD_COMMAND, 2, 0, PHP | THROW, "%1|$3|get|$1|x|", "false",
     "expected COMMAND DOCS string/map pair"},
    {"CommandGetKeysAndFlagsLiteral", kelvoCommandReply, REDIS_CMD_COMMAND, 4, 0, 0, "*1|*2|$1|k|~1|+RW|",
     "[0:[0:\"k\",1:[0:\"RW\"]]]", ""},
    {"CommandWrongType", kelvoCommandReply, REDIS_CMD_COMMAND, 0, 0, 0, "+x|", "false",
     "expected COMMAND array/map reply, got status"},
    {"ConfigMap", kelvoConfigReply, REDIS_CMD_CONFIG, 0, 0, 0, "%1|$1|a|$1|b|", "[\"a\":\"b\"]", ""},
    {"ConfigFlatForCluster", kelvoConfigReply, REDIS_CMD_CONFIG, 0, KELVO_REQ_CLUSTER, PHP, "%1|$1|a|$1|b|",
     "[0:\"a\",1:\"b\"]", ""},
    {"ConfigBadPair", kelvoConfigReply, REDIS_CMD_CONFIG, 0, KELVO_REQ_CLUSTER, PHP | THROW, "%1|$1|a|:1|", "false",
     "expected CONFIG string/string pair"},
    {"PubsubNumpat", kelvoPubSubReply, REDIS_CMD_PUBSUB, 1, 0, 0, ":3|", "3", ""},
    {"PubsubNumpatWrongType", kelvoPubSubReply, REDIS_CMD_PUBSUB, 1, 0, 0, "*0|", "false",
     "expected integer, got array"},
    {"PubsubChannels", kelvoPubSubReply, REDIS_CMD_PUBSUB, 2, 0, 0, "*1|$2|ch|", "[0:\"ch\"]", ""},
    {"PubsubNumsub", kelvoPubSubReply, REDIS_CMD_PUBSUB, 3, 0, 0, "*4|$2|ch|:2|$1|5|:0|", "[\"ch\":2,5:0]", ""},
    {"PubsubNumsubFlatForCluster", kelvoPubSubReply, REDIS_CMD_PUBSUB, 3, KELVO_REQ_CLUSTER, PHP, "*2|$2|ch|:2|",
     "[0:\"ch\",1:2]", ""},
    {"PubsubNumsubBadPair", kelvoPubSubReply, REDIS_CMD_PUBSUB, 3, 0, 0, "*2|$2|ch|$1|2|", "false",
     "expected string/integer pubsub pair"},
    {"EvalNilPhpredis", kelvoEvalReply, REDIS_CMD_EVAL, 0, 0, PHP, "_|", "false", ""},
    {"EvalNilThroughTheClusterClient", kelvoEvalReply, REDIS_CMD_EVAL, 0, KELVO_REQ_CLUSTER, PHP, "*2|_|$1|a|",
     "[0:null,1:\"a\"]", ""},
    {"EvalClusterOutsidePhpredis", kelvoEvalReply, REDIS_CMD_EVAL, 0, KELVO_REQ_CLUSTER, 0, "_|", "null", ""},
    {"EvalValues", kelvoEvalReply, REDIS_CMD_EVAL, 0, 0, 0, "*3|:1|$1|a|%1|$1|k|#t|", "[0:1,1:\"a\",2:[\"k\":true]]",
     ""},
    {"FcallWithoutHandler", kelvoFcallFmt, REDIS_CMD_FCALL, 0, 0, PHP, "*2|_|:3|", "[0:false,1:3]", ""},
    {"LcsMapFlattened", kelvoLcsToZVal, REDIS_CMD_LCS, 0, 0, 0, "%2|$7|matches|*0|$3|len|:0|",
     "[0:\"matches\",1:[],2:\"len\",3:0]", ""},
    {"LcsString", kelvoLcsToZVal, REDIS_CMD_LCS, 0, 0, 0, "$2|ab|", "\"ab\"", ""},
    {"GeosearchExtras", kelvoGeosearchFmt, REDIS_CMD_GEOSEARCH, 1, 0, 0, "*1|*4|$1|m|$6|0.1234|:42|*2|,13.5|,38.25|",
     "[\"m\":[0:0.1234d,1:42,2:[0:13.5d,1:38.25d]]]", ""},
    {"GeosearchPlain", kelvoGeosearchFmt, REDIS_CMD_GEOSEARCH, 0, 0, 0, "*1|$1|m|", "[0:\"m\"]", ""},
    {"GeosearchBadPair", kelvoGeosearchFmt, REDIS_CMD_GEOSEARCH, 1, 0, 0, "*1|*2|$1|m|*1|,1|", "false",
     "expected GEOSEARCH coordinate pair"},
    {"GeosearchBadAux", kelvoGeosearchFmt, REDIS_CMD_GEOSEARCH, 1, 0, 0, "*1|*2|$1|m|_|", "false",
     "expected GEOSEARCH string or integer aux value"},
    {"GeosearchBadRow", kelvoGeosearchFmt, REDIS_CMD_GEOSEARCH, 1, 0, 0, "*1|$1|m|", "false",
     "expected GEOSEARCH result array"},
    {"VembLiteral", kelvoVEmbFmt, REDIS_CMD_VEMB, 0, 0, 0, "*2|+0.5|,1|", "[0:\"0.5\",1:1d]", ""},
    {"VgetattrJson", kelvoVGetAttrFmt, REDIS_CMD_VGETATTR, 0, 0, 0, "$13|{\"a\":[1,2.5]}|", "[\"a\":[0:1,1:2.5d]]", ""},
    {"VgetattrRaw", kelvoVGetAttrFmt, REDIS_CMD_VGETATTR, 1, 0, 0, "$7|{\"a\":1}|", "\"{\"a\":1}\"", ""},
    {"XinfoNullInsideMaps", kelvoXInfoFmt, REDIS_CMD_XINFO, 0, 0, PHP, "%1|$1|a|_|", "[\"a\":null]", ""},
    {"XinfoOtherUnchanged", kelvoXInfoFmt, REDIS_CMD_XINFO, 0, 0, PHP, "_|", "false", ""},
    {"Xrange", kelvoXRangeFmt, REDIS_CMD_XRANGE, 0, 0, 0, "*1|*2|$3|1-1|*2|$1|f|$1|v|", "[\"1-1\":[\"f\":\"v\"]]", ""},
    {"XrangeNoFields", kelvoXRangeFmt, REDIS_CMD_XRANGE, 0, 0, 0, "*1|*2|$3|1-1|*0|", "false",
     "expected stream ID and field/value array"},
    {"XrangeBadEntry", kelvoXRangeFmt, REDIS_CMD_XRANGE, 0, 0, 0, "*1|$1|x|", "false",
     "expected stream ID/message array"},
    {"XrangeBadField", kelvoXRangeFmt, REDIS_CMD_XREVRANGE, 0, 0, 0, "*1|*2|$3|1-1|*2|$1|f|:1|", "false",
     "expected stream field/value strings"},
    {"XreadMap", kelvoXReadFmt, REDIS_CMD_XREAD, 0, 0, 0, "%1|$1|s|*1|*2|$3|1-1|*2|$1|f|$1|v|",
     "[\"s\":[\"1-1\":[\"f\":\"v\"]]]", ""},
    {"XreadRows", kelvoXReadFmt, REDIS_CMD_XREAD, 0, 0, 0, "*1|*2|$1|s|*0|", "[\"s\":[]]", ""},
    {"XreadTimeout", kelvoXReadFmt, REDIS_CMD_XREAD, 0, 0, PHP, "_|", "[]", ""},
    {"XreadTimeoutNullMultibulk", kelvoXReadFmt, REDIS_CMD_XREAD, 0, 0, NMB, "_|", "null", ""},
    {"XreadBadEntry", kelvoXReadFmt, REDIS_CMD_XREADGROUP, 0, 0, 0, "%1|$1|s|*1|$1|x|", "false",
     "expected XREAD ID/message array"},
    {"XreadWrongType", kelvoXReadFmt, REDIS_CMD_XREAD, 0, 0, 0, ":1|", "false",
     "expected XREAD array or map, got integer"},
    {"XclaimJustId", kelvoXClaimFmt, REDIS_CMD_XCLAIM, 1, 0, 0, "*1|$3|1-1|", "[0:\"1-1\"]", ""},
    {"Xclaim", kelvoXClaimFmt, REDIS_CMD_XCLAIM, 0, 0, 0, "*1|*2|$3|1-1|*2|$1|f|$1|v|", "[\"1-1\":[\"f\":\"v\"]]", ""},
    {"XclaimBadEntry", kelvoXClaimFmt, REDIS_CMD_XCLAIM, 0, 0, 0, "*1|$3|1-1|", "false",
     "expected stream ID/message array"},
    {"Xautoclaim", kelvoXAutoClaimFmt, REDIS_CMD_XAUTOCLAIM, 0, 0, 0, "*3|$3|0-0|*1|*2|$3|1-1|*2|$1|f|$1|v|*1|$3|2-2|",
     "[0:\"0-0\",1:[\"1-1\":[\"f\":\"v\"]],2:[0:\"2-2\"]]", ""},
    {"XautoclaimOlderServer", kelvoXAutoClaimFmt, REDIS_CMD_XAUTOCLAIM, 1, 0, 0, "*2|$3|0-0|*1|$3|1-1|",
     "[0:\"0-0\",1:[0:\"1-1\"]]", ""},
    {"XautoclaimBadDeleted", kelvoXAutoClaimFmt, REDIS_CMD_XAUTOCLAIM, 0, 0, 0, "*3|$3|0-0|*0|*1|:1|", "false",
     "expected XAUTOCLAIM deleted ID string"},
    {"XautoclaimBadShape", kelvoXAutoClaimFmt, REDIS_CMD_XAUTOCLAIM, 0, 0, 0, "*1|$3|0-0|", "false",
     "expected XAUTOCLAIM cursor/messages/deleted-ids array"},
};

void PrintTo(const FmtCase &c, std::ostream *os) { *os << c.name; }

class Formatter : public ::testing::TestWithParam<FmtCase> {};

TEST_P(Formatter, FormatsOrReportsMalformed)
{
    const FmtCase &c = GetParam();
    Reply reply(resp(c.resp));
    TestClient client(c.options);
    QuerySet rqs(c.cmd, c.context, c.reqFlags, c.names);
    zval out;
    c.fn(&out, rqs.get(), client.obj(), reply.get());
    EXPECT_EQ(dump(&out), c.expected);
    EXPECT_EQ(takeMalformed(), c.error);
    zval_ptr_dtor(&out);
}

INSTANTIATE_TEST_SUITE_P(Reply, Formatter, ::testing::ValuesIn(fmtCases), caseName<FmtCase>);

struct ScanCase {
    const char *name;
    int cmd;
    std::string resp;
    const char *expected;
    const char *error;
    zend_long iterator;
};

const ScanCase scanCases[] = {
    {"Keys", REDIS_CMD_SCAN, "*2|$2|17|*2|$1|a|$2|10|", "[0:\"a\",1:\"10\"]", "", 17},
    {"BadMemberKeepsTheCursor", REDIS_CMD_SCAN, "*2|$2|17|*2|$1|a|:5|", "false",
     "expected string scan member, got integer", 17},
    {"CursorKeepsAllSixtyFourBits", REDIS_CMD_SCAN, "*2|$20|18446744073709551615|*0|", "[]", "", -1},
    {"HighCursor", REDIS_CMD_SSCAN, "*2|$19|9223372036854775808|*1|$1|m|", "[0:\"m\"]", "",
     static_cast<zend_long>(9223372036854775808ull)},
    {"NoPayload", REDIS_CMD_SCAN, "*1|$1|5|", "false", "expected scan cursor and array payload", 0},
    {"Hash", REDIS_CMD_HSCAN, "*2|$1|0|*4|$1|f|$1|v|$2|10|$1|w|", "[\"f\":\"v\",10:\"w\"]", "", 0},
    {"HashOdd", REDIS_CMD_HSCAN, "*2|$1|3|*1|$1|f|", "false", "expected scan key/value pairs", 3},
    {"HashNotStrings", REDIS_CMD_HSCAN, "*2|$1|3|*2|$1|f|:1|", "false", "expected string scan key/value pair", 3},
    {"Zset", REDIS_CMD_ZSCAN, "*2|$1|0|*2|$1|m|$3|1.5|", "[\"m\":1.5d]", "", 0},
};

void PrintTo(const ScanCase &c, std::ostream *os) { *os << c.name; }

class Scan : public ::testing::TestWithParam<ScanCase> {};

TEST_P(Scan, WritesTheCursorAndFormatsThePage)
{
    const ScanCase &c = GetParam();
    Reply reply(resp(c.resp));
    TestClient client(0);
    ZVAL_LONG(&client.it, 0);
    client.useIterator();
    QuerySet rqs(c.cmd, 0, 0, "");
    zval out;
    kelvoScanReply(&out, rqs.get(), client.obj(), reply.get());
    EXPECT_EQ(dump(&out), c.expected);
    EXPECT_EQ(takeMalformed(), c.error);
    ASSERT_EQ(Z_TYPE(client.it), IS_LONG);
    EXPECT_EQ(Z_LVAL(client.it), c.iterator);
    zval_ptr_dtor(&out);
}

INSTANTIATE_TEST_SUITE_P(Reply, Scan, ::testing::ValuesIn(scanCases), caseName<ScanCase>);

TEST(Formatters, ClientCapaRedirectSetsTheOptionOnlyWhenNamed)
{
    for (uint8_t context : {uint8_t(2), uint8_t(2 | 8)}) {
        Reply reply(resp("+OK|"));
        TestClient client(0);
        QuerySet rqs(REDIS_CMD_CLIENT, context, 0, "");
        zval out;
        kelvoClientReply(&out, rqs.get(), client.obj(), reply.get());
        EXPECT_EQ(dump(&out), "true");
        EXPECT_EQ(client.flags() & kelvoOptCapaRedirect, context & 8 ? kelvoOptCapaRedirect : 0);
    }
}

/* Nil is null for EVAL through the cluster client only for the one conversion. */
TEST(Formatters, EvalLeavesTheClientOptionsAsTheyWere)
{
    Reply reply(resp("_|"));
    TestClient client(PHP | kelvoOptCapaRedirect);
    QuerySet rqs(REDIS_CMD_EVAL, 0, KELVO_REQ_CLUSTER, "");
    zval out;
    kelvoEvalReply(&out, rqs.get(), client.obj(), reply.get());
    EXPECT_EQ(dump(&out), "null");
    EXPECT_EQ(client.flags(), PHP | kelvoOptCapaRedirect);
}

TEST(Formatters, ClusterScanStoresTheCursorString)
{
    Reply reply(resp("*2|$5|0-abc|*1|$1|k|"));
    TestClient client(0);
    ZVAL_STRING(&client.it, "0");
    client.useIterator();
    QuerySet rqs(REDIS_CMD_CLUSTERSCAN, 0, 0, "");
    zval out;
    kelvoScanReply(&out, rqs.get(), client.obj(), reply.get());
    EXPECT_EQ(dump(&out), "[0:\"k\"]");
    EXPECT_EQ(dump(&client.it), "\"0-abc\"");
    zval_ptr_dtor(&out);
    zval_ptr_dtor(&client.it);
}

TEST(Formatters, LeastReplyIsTheGenericConversion)
{
    Reply reply(resp("%1|$1|a|_|"));
    TestClient client(PHP);
    QuerySet rqs(REDIS_CMD_FT_INFO, 0, 0, "");
    zval out;
    kelvoLeastReply(&out, rqs.get(), client.obj(), reply.get());
    EXPECT_EQ(dump(&out), "[\"a\":false]");
    zval_ptr_dtor(&out);
}

} // namespace

namespace {

TEST(Formatters, HmgetWithoutFieldNamesIsTheGenericConversion)
{
    Reply reply(resp("*2|$1|x|_|"));
    TestClient client(0);
    QuerySet rqs(REDIS_CMD_HMGET, 0, 0, "");
    rqs.get()->kind = KELVO_RQS_NONE;
    zval out;
    kelvoZipKeysAndVals(&out, rqs.get(), client.obj(), reply.get());
    EXPECT_EQ(dump(&out), "[0:\"x\",1:null]");
    zval_ptr_dtor(&out);
}

} // namespace

namespace {

struct LongCase {
    const char *name;
    void (*make)(zval *);
    zend_long min;
    int result;
    zend_long value;
};

const LongCase longCases[] = {
    {"Integer", [](zval *v) { ZVAL_LONG(v, 5); }, 0, 0, 5},
    {"BelowMinimum", [](zval *v) { ZVAL_LONG(v, -1); }, 0, -1, 0},
    {"NumericString", [](zval *v) { ZVAL_STRING(v, "42"); }, 0, 0, 42},
    {"PaddedNumericString", [](zval *v) { ZVAL_STRING(v, " 42 "); }, 0, 0, 42},
    {"FloatString", [](zval *v) { ZVAL_STRING(v, "4.2"); }, 0, -1, 0},
    {"LetterFirst", [](zval *v) { ZVAL_STRING(v, "x1"); }, 0, -1, 0},
    {"Float", [](zval *v) { ZVAL_DOUBLE(v, 4.0); }, 0, -1, 0},
    {"Null", [](zval *v) { ZVAL_NULL(v); }, 0, -1, 0},
};

void PrintTo(const LongCase &c, std::ostream *os) { *os << c.name; }

class TryGetLong : public ::testing::TestWithParam<LongCase> {};

TEST_P(TryGetLong, AcceptsIntegersAndIntegerStrings)
{
    const LongCase &c = GetParam();
    zval value;
    c.make(&value);
    zend_long out = 0;
    EXPECT_EQ(kelvoTryGetLong(&out, &value, c.min), c.result);
    EXPECT_EQ(out, c.value);
    zval_ptr_dtor(&value);
}

INSTANTIATE_TEST_SUITE_P(Commands, TryGetLong, ::testing::ValuesIn(longCases), caseName<LongCase>);

TEST(Commands, TokenSetIgnoresCaseAndNeedsTheWholeToken)
{
    zend_string *s = zend_string_init("WithScores", 10, 0);
    EXPECT_EQ(kelvoZStrInTokenSetCi(s, "LIMIT", 5, "WITHSCORES", 10), 1);
    EXPECT_EQ(kelvoZStrInTokenSetCi(s, "WITHSCORE", 9, "LIMIT", 5), 0);
    zend_string_release(s);
}

} // namespace
