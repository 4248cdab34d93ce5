// The JSON document and search builders, each run by itself inside an engine that started the
// module: the exact bytes of the request under a key prefix and a client serializer and
// compressor that must not touch document values, or the refusal (one warning, nothing built).
#include "commands/cmdroles.h"
#include "runtime/kelvo.h"
#include "support/command_engine.h"
#include "builder_test_util.h"

#include <string>
#include <vector>

namespace {

using kelvo_test::Built;
using kelvo_test::Diagnostics;

/* Clients that never connect: $plain, and $packed with a key prefix, the php serializer and LZ4. */
void makeClients()
{
    static bool made = false;
    if (made)
        return;
    ASSERT_TRUE(kelvo_test::moduleLoaded);
    PG(during_request_startup) = 0;
    ASSERT_EQ(runPhp(R"(
        $plain = new Kelvo\Kelvo('127.0.0.1', 1);
        $packed = new Kelvo\Kelvo('127.0.0.1', 1);
        $packed->setOption(Kelvo\Kelvo::OPT_PREFIX, 'p:');
        $packed->setOption(Kelvo\Kelvo::OPT_SERIALIZER, Kelvo\Kelvo::SERIALIZER_PHP);
        $packed->setOption(Kelvo\Kelvo::OPT_COMPRESSION, Kelvo\Kelvo::COMPRESSION_LZ4);
        $out = 'ready';)",
                     "modules builders"),
              "ready");
    made = true;
}

/* A RESP request from its words. */
std::string request(const std::vector<std::string> &words)
{
    std::string out = "*" + std::to_string(words.size()) + "\r\n";
    for (const std::string &w : words)
        out += "$" + std::to_string(w.size()) + "\r\n" + w + "\r\n";
    return out;
}

struct Row {
    const char *name;
    const char *cmd;
    const char *method;
    const char *client;
    std::string args;               /* PHP list of the arguments */
    std::vector<std::string> words; /* the request's words; empty: refused */
    const char *warning = "";       /* the refusal's warning */
};

void PrintTo(const Row &row, std::ostream *os) { *os << row.name; }

const std::string big(1024, 'x');

const Row rows[] = {
    {"json set ignores serializer and compressor",
     "JSON.SET",
     "jsonSet",
     "packed",
     "'d', '$', ['a' => 1, 's' => '" + big + "']",
     {"JSON.SET", "p:d", "$", "{\"a\":1,\"s\":\"" + big + "\"}"}},
    {"json string quoted, tags escaped",
     "JSON.SET",
     "jsonSet",
     "plain",
     "'d', '$.s', '<b>', 'xx', 'bf16'",
     {"JSON.SET", "d", "$.s", "\"\\u003Cb\\u003E\"", "XX", "FPHA", "BF16"}},
    {"json float exact", "JSON.SET", "jsonSet", "plain", "'d', '$', 0.1", {"JSON.SET", "d", "$", "0.1"}},
    {"json NAN refused",
     "JSON.SET",
     "jsonSet",
     "plain",
     "'d', '$', [NAN]",
     {},
     "Cannot encode the value as JSON: Inf and NaN cannot be JSON encoded"},
    {"json object from an object",
     "JSON.MERGE",
     "jsonMerge",
     "packed",
     "'d', '$', (object) ['a' => [1, 2]]",
     {"JSON.MERGE", "p:d", "$", "{\"a\":[1,2]}"}},
    {"arrappend list is values",
     "JSON.ARRAPPEND",
     "jsonArrAppend",
     "packed",
     "'l', [1, 'a'], '$.x'",
     {"JSON.ARRAPPEND", "p:l", "$.x", "1", "\"a\""}},
    {"arrappend map is one object",
     "JSON.ARRAPPEND",
     "jsonArrAppend",
     "plain",
     "'l', [1 => 'a']",
     {"JSON.ARRAPPEND", "l", "$", "{\"1\":\"a\"}"}},
    {"arrappend empty list refused",
     "JSON.ARRAPPEND",
     "jsonArrAppend",
     "plain",
     "'l', []",
     {},
     "At least one value must be specified"},
    {"arrpop keeps the index in place",
     "JSON.ARRPOP",
     "jsonArrPop",
     "plain",
     "'l', null, 0",
     {"JSON.ARRPOP", "l", "$", "0"}},
    {"arrindex stop keeps its place",
     "JSON.ARRINDEX",
     "jsonArrIndex",
     "plain",
     "'l', '$', 1, null, 5",
     {"JSON.ARRINDEX", "l", "$", "1", "0", "5"}},
    {"arrindex start alone",
     "JSON.ARRINDEX",
     "jsonArrIndex",
     "plain",
     "'l', '$', 1, 2",
     {"JSON.ARRINDEX", "l", "$", "1", "2"}},
    {"numincrby float 17 digits",
     "JSON.NUMINCRBY",
     "jsonNumIncrBy",
     "plain",
     "'d', '$.n', 1/3",
     {"JSON.NUMINCRBY", "d", "$.n", "0.33333333333333331"}},
    {"nummultby integer",
     "JSON.NUMMULTBY",
     "jsonNumMultBy",
     "plain",
     "'d', '$.n', -3",
     {"JSON.NUMMULTBY", "d", "$.n", "-3"}},
    {"mget keys prefixed", "JSON.MGET", "jsonMget", "packed", "['a', 2], '$'", {"JSON.MGET", "p:a", "p:2", "$"}},
    {"forget is its own command", "JSON.FORGET", "jsonForget", "packed", "'d'", {"JSON.FORGET", "p:d"}},
    {"ft create",
     "FT.CREATE",
     "ftCreate",
     "packed",
     "'i', ['t' => ['TYPE' => 'TAG', 'NOINDEX' => 1, 'SORTABLE' => 1, 'SEPARATOR' => ';']], ['PREFIX' => ['a:'], 'STOPWORDS' => []]",
     {"FT.CREATE", "p:i", "PREFIX", "1", "p:a:", "STOPWORDS", "0", "SCHEMA", "t", "TAG", "SEPARATOR", ";", "SORTABLE",
      "NOINDEX"}},
    {"ft alias in the key space", "FT.ALIASADD", "ftAliasAdd", "packed", "'i', 'al'", {"FT.ALIASADD", "p:al", "p:i"}},
    {"ft dropindex dd", "FT.DROPINDEX", "ftDropIndex", "packed", "'i', true", {"FT.DROPINDEX", "p:i", "DD"}},
    {"ft synupdate flag first",
     "FT.SYNUPDATE",
     "ftSynUpdate",
     "plain",
     "'i', 'g', ['a', 'b'], true",
     {"FT.SYNUPDATE", "i", "g", "SKIPINITIALSCAN", "a", "b"}},
    {"ft search counts",
     "FT.SEARCH",
     "ftSearch",
     "packed",
     "'i', '*', ['RETURN' => ['a', 'x' => 'b'], 'INKEYS' => ['k'], 'SLOP' => 0]",
     {"FT.SEARCH", "p:i", "*", "INKEYS", "1", "p:k", "RETURN", "4", "a", "b", "AS", "x", "SLOP", "0"}},
    {"ft aggregate reducers",
     "FT.AGGREGATE",
     "ftAggregate",
     "plain",
     "'i', '*', ['GROUPBY' => ['PROPERTIES' => ['@a'], 'REDUCE' => ['c' => ['COUNT'], ['SUM', '@n']]]]",
     {"FT.AGGREGATE", "i", "*", "GROUPBY", "1", "@a", "REDUCE", "COUNT", "0", "AS", "c", "REDUCE", "SUM", "1", "@n"}},
    {"ft cursor index prefixed",
     "FT.CURSOR",
     "ftCursor",
     "packed",
     "'READ', 'i', '12', ['COUNT' => 2]",
     {"FT.CURSOR", "READ", "p:i", "12", "COUNT", "2"}},
    {"ft spellcheck dictionaries prefixed",
     "FT.SPELLCHECK",
     "ftSpellCheck",
     "packed",
     "'i', 'q', ['TERMS' => ['INCLUDE' => ['d' => [1.5]]]]",
     {"FT.SPELLCHECK", "p:i", "q", "TERMS", "INCLUDE", "p:d", "1.5"}},
    {"ft config get marks its reply",
     "FT.CONFIG",
     "ftConfig",
     "plain",
     "'get', 'TIMEOUT'",
     {"FT.CONFIG", "get", "TIMEOUT"}},
};

class ModuleBuilders : public testing::TestWithParam<Row> {};

TEST_P(ModuleBuilders, BuildTheExactRequestOrRefuse)
{
    makeClients();
    const Row &row = GetParam();
    int cmd = -1;
    ASSERT_EQ(kelvoStringToRedisCmd(&cmd, row.cmd, strlen(row.cmd)), 0) << row.cmd;
    zval args;
    std::string code = "[" + row.args + "]";
    ASSERT_EQ(zend_eval_stringl(code.data(), code.size(), &args, "modules builders"), SUCCESS) << code;
    zval *c = zend_hash_str_find_deref(&EG(symbol_table), row.client, strlen(row.client));
    ASSERT_NE(c, nullptr);
    Built built = kelvo_test::callBuilder(c, row.method, cmd, &args);
    zval_ptr_dtor(&args);
    EXPECT_EQ(built.exception, "");
    std::vector<std::string> warnings;
    for (const Diagnostics::Entry &d : built.diagnostics)
        warnings.push_back(d.text);
    if (row.words.empty()) {
        EXPECT_EQ(built.rc, -1);
        EXPECT_EQ(warnings, std::vector<std::string>{row.warning});
        return;
    }
    ASSERT_EQ(built.rc, 0) << (warnings.empty() ? "" : warnings[0]);
    EXPECT_TRUE(warnings.empty());
    EXPECT_EQ(built.request, request(row.words));
    EXPECT_EQ(built.context, cmd == REDIS_CMD_FT_CONFIG ? 1 : 0);
    EXPECT_EQ(built.flags & (KELVO_REQ_RAW | KELVO_REQ_SINGLE), 0);
}

std::string rowName(const testing::TestParamInfo<Row> &info)
{
    std::string name;
    for (const char *p = info.param.name; *p; p++)
        name += isalnum(static_cast<unsigned char>(*p)) ? *p : '_';
    return name;
}

INSTANTIATE_TEST_SUITE_P(Modules, ModuleBuilders, testing::ValuesIn(rows), rowName);

} // namespace
