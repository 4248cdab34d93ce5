// The request builders of the fixed-shape, variadic key and value, and string-write commands,
// each run by itself inside an engine that started the module: the exact words of the request
// under a key prefix, a serializer, compression and ignore-numbers, or the refusal (its warning
// or exception, false from the method, nothing sent). Every request is also framed as its header
// says and parsed by the harness's server as one command (inside MULTI ... DISCARD, so nothing
// runs or blocks), the PING after it answering for itself.
#include "commands/strings.h"
#include "runtime/kelvo.h"
#include "support/command_engine.h"
#include "builder_test_util.h"
#include "support/engine_exception.h"

#include <cstdlib>
#include <string>

namespace {

using kelvo_test::Built;
using kelvo_test::Diagnostics;

using kelvo_test::moduleLoaded;

std::string run(const std::string &code) { return runPhp(code, "builders test"); }

/* The clients of the table, by name, on the harness's server: plain, a key prefix, the php
 * serializer, php with LZ4, php with ignore-numbers, json. `precision` is low, so a float that
 * went through the engine's string conversion would show. */
void makeClients()
{
    static bool made = false;
    if (made)
        return;
    ASSERT_TRUE(moduleLoaded);
    PG(during_request_startup) = 0; /* as once a script runs: reports name the method, not the start-up */
    const char *port = getenv("KELVO_TEST_PORT");
    ASSERT_NE(port, nullptr) << "KELVO_TEST_PORT is not set: run the tests through scripts/test";
    const std::string code = std::string(R"(
        class Txt { function __toString(): string { return 'txt'; } }
        class Boom { function __toString(): string { throw new RuntimeException('boom'); } }
        ini_set('precision', '4');
        $mk = function (array $options) {
            $k = new Kelvo\Kelvo('127.0.0.1', )") +
                             port + R"();
            foreach ($options as $option => $value) $k->setOption($option, $value);
            $k->ping();
            return $k;
        };
        $plain = $mk([]);
        $pre = $mk([Kelvo\Kelvo::OPT_PREFIX => 'p:']);
        $php = $mk([Kelvo\Kelvo::OPT_SERIALIZER => Kelvo\Kelvo::SERIALIZER_PHP]);
        $lz4 = $mk([Kelvo\Kelvo::OPT_SERIALIZER => Kelvo\Kelvo::SERIALIZER_PHP,
                    Kelvo\Kelvo::OPT_COMPRESSION => Kelvo\Kelvo::COMPRESSION_LZ4]);
        $num = $mk([Kelvo\Kelvo::OPT_SERIALIZER => Kelvo\Kelvo::SERIALIZER_PHP,
                    Kelvo\Kelvo::OPT_PACK_IGNORE_NUMBERS => true]);
        $json = $mk([Kelvo\Kelvo::OPT_SERIALIZER => Kelvo\Kelvo::SERIALIZER_JSON]);
        $out = 'ready';)";
    ASSERT_EQ(run(code), "ready");
    made = true;
}

zval *client(const char *name)
{
    zval *c = zend_hash_str_find_deref(&EG(symbol_table), name, strlen(name));
    EXPECT_NE(c, nullptr) << name;
    return c;
}

/* PHP source of a single-quoted string. */
std::string quoted(const std::string &text)
{
    std::string out = "'";
    for (char ch : text) {
        if (ch == '\\' || ch == '\'')
            out += '\\';
        out += ch;
    }
    return out + "'";
}

/* Evaluates `return [<list>];` with $c as the row's client. */
void evalList(const std::string &clientName, const std::string &list, zval *out)
{
    std::string code = "(function ($c) { return [" + list + "]; })($" + clientName + ")";
    ASSERT_EQ(zend_eval_stringl(code.data(), code.size(), out, "builders test"), SUCCESS) << code;
    ASSERT_EQ(Z_TYPE_P(out), IS_ARRAY) << code;
}

/* Words separated by blanks; a word in braces is a PHP expression on $c (packed bytes, say). */
std::vector<std::string> expectedWords(const std::string &clientName, const std::string &spec)
{
    std::string list;
    size_t pos = 0;
    while (pos < spec.size()) {
        if (spec[pos] == ' ') {
            pos++;
            continue;
        }
        size_t end;
        if (spec[pos] == '{') {
            end = spec.find('}', pos);
            list += spec.substr(pos + 1, end - pos - 1) + ",";
            end++;
        } else {
            end = spec.find(' ', pos);
            if (end == std::string::npos)
                end = spec.size();
            list += quoted(spec.substr(pos, end - pos)) + ",";
        }
        pos = end;
    }
    zval words;
    evalList(clientName, list, &words);
    std::vector<std::string> out;
    zval *w;
    ZEND_HASH_FOREACH_VAL(Z_ARRVAL(words), w)
    {
        zend_string *s = zval_get_string(w);
        out.emplace_back(ZSTR_VAL(s), ZSTR_LEN(s));
        zend_string_release(s);
    }
    ZEND_HASH_FOREACH_END();
    zval_ptr_dtor(&words);
    return out;
}

std::string joined(const std::vector<std::string> &words)
{
    std::string out;
    for (const std::string &w : words)
        out += (out.empty() ? "" : " ") + w;
    return out;
}

/* MULTI, the request, DISCARD, PING on the client's own link: four replies, the last PONG. */
void serverParsesOneCommand(zval *c, const std::string &request)
{
    robj *ro = kelvoGetObjectZVal(c);
    redisContext *ctx = ro->link.ctx;
    ASSERT_NE(ctx, nullptr);
    const std::string multi = "*1\r\n$5\r\nMULTI\r\n", discard = "*1\r\n$7\r\nDISCARD\r\n",
                      ping = "*1\r\n$4\r\nPING\r\n";
    for (const std::string *part : {&multi, &request, &discard, &ping})
        ASSERT_EQ(redisAppendFormattedCommand(ctx, part->data(), part->size()), REDIS_OK);
    std::vector<std::string> replies;
    for (int i = 0; i < 4; i++) {
        void *reply = nullptr;
        ASSERT_EQ(redisGetReply(ctx, &reply), REDIS_OK) << ctx->errstr;
        auto *r = static_cast<kelvoReply *>(reply);
        replies.push_back(r->type == KELVO_REPLY_STATUS || r->type == KELVO_REPLY_ERROR
                              ? std::string(ZSTR_VAL(r->v.str), ZSTR_LEN(r->v.str))
                              : "type " + std::to_string(r->type));
        kelvoReplyFree(r);
    }
    EXPECT_EQ(replies[0], "OK");
    EXPECT_TRUE(replies[1] == "QUEUED" || replies[1].rfind("ERR", 0) == 0) << replies[1];
    EXPECT_EQ(replies[2], "OK");
    EXPECT_EQ(replies[3], "PONG");
}

struct Row {
    const char *name;
    const char *cmd;    /* wire name of the row */
    const char *method; /* the Kelvo\Kelvo method */
    const char *client; /* plain, pre, php, lz4, num, json */
    const char *args;   /* PHP list of the arguments */
    /* the request's words ({expr} on $c for bytes such as packed values); "!text" a refusal with
     * that warning ("!" alone: without any); "#Class: message" a refusal by exception */
    const char *expect;
    uint8_t flags = 0;        /* KELVO_REQ_RAW, KELVO_REQ_SINGLE expected */
    const char *warning = ""; /* a warning the request goes on after */
};

void PrintTo(const Row &row, std::ostream *os) { *os << row.name; }

constexpr uint8_t RAW = KELVO_REQ_RAW;
constexpr uint8_t RAW_SINGLE = KELVO_REQ_RAW | KELVO_REQ_SINGLE;

const Row rows[] = {
    /* fixed shapes */
    {"empty", "DBSIZE", "dbsize", "plain", "", "DBSIZE"},
    {"empty given an argument", "DBSIZE", "dbsize", "plain", "1",
     "#ArgumentCountError: Kelvo\\Kelvo::dbsize() expects exactly 0 arguments, 1 given"},
    {"randomkey raw single", "RANDOMKEY", "randomkey", "plain", "", "RANDOMKEY", RAW_SINGLE},
    {"keys pattern prefixed raw", "KEYS", "keys", "pre", "'a*'", "KEYS p:a*", RAW},
    {"dump raw single", "DUMP", "dump", "pre", "'k'", "DUMP p:k", RAW_SINGLE},
    {"key count too many", "TTL", "ttl", "plain", "'a', 'b'",
     "#ArgumentCountError: Kelvo\\Kelvo::ttl() expects exactly 1 argument, 2 given"},
    {"key as array", "TTL", "ttl", "plain", "['a']",
     "#TypeError: Kelvo\\Kelvo::ttl(): Argument #1 ($key) must be of type string, array given"},
    {"integer key", "TTL", "ttl", "pre", "12", "TTL p:12"},
    {"echo raw", "ECHO", "echo", "pre", "'hi'", "ECHO hi", RAW},
    {"echo throwing toString", "ECHO", "echo", "plain", "new Boom", "#RuntimeException: boom"},
    {"value packed", "GETSET", "getset", "php", "'k', [1]", "GETSET k {$c->_pack([1])}"},
    {"value compressed", "SETNX", "setnx", "lz4", "'k', str_repeat('ab', 40)",
     "SETNX k {$c->_pack(str_repeat('ab', 40))}"},
    {"number ignored by serializer", "APPEND", "append", "num", "'k', 5", "APPEND k 5"},
    {"number serialized", "APPEND", "append", "php", "'k', 5", "APPEND k i:5;"},
    {"value json refused", "APPEND", "append", "json", "'k', NAN",
     "!Failed to serialize the value with the json serializer: Inf and NaN cannot be JSON encoded"},
    {"value bad utf-8 refused", "DELIFEQ", "delifeq", "json", "'k', \"\\xff\"",
     "!Failed to serialize the value with the json serializer: Malformed UTF-8 characters, possibly incorrectly "
     "encoded"},
    {"value php closure refused", "APPEND", "append", "php", "'k', function () {}",
     "#Exception: Serialization of 'Closure' is not allowed"},
    {"two keys", "RENAME", "rename", "pre", "'a', 'b'", "RENAME p:a p:b"},
    {"subcommand unchanged", "OBJECT", "object", "pre", "'encoding', 'k'", "OBJECT encoding p:k"},
    {"channel prefixed", "PUBLISH", "publish", "pre", "'ch', 'msg'", "PUBLISH p:ch msg"},
    {"bounds as texts", "ZCOUNT", "zcount", "pre", "'z', '-inf', '(5'", "ZCOUNT p:z -inf (5"},
    {"bounds as numbers", "ZREMRANGEBYSCORE", "zremrangebyscore", "plain", "'z', 0.1, 2",
     "ZREMRANGEBYSCORE z 0.10000000000000001 2"},
    {"members packed", "GEOHASH", "geohash", "php", "'g', 'm1', 5", "GEOHASH g {$c->_pack('m1')} {$c->_pack(5)}", RAW},
    {"items packed", "CMS.QUERY", "cmsQuery", "lz4", "'s', 'item'", "CMS.QUERY s {$c->_pack('item')}", RAW},
    {"members too few", "GEOHASH", "geohash", "plain", "'g'",
     "#ArgumentCountError: Kelvo\\Kelvo::geohash() expects at least 2 arguments, 1 given"},
    {"two integers", "LTRIM", "ltrim", "pre", "'l', 0, -1", "LTRIM p:l 0 -1"},
    {"bit from truthy", "SETBIT", "setbit", "plain", "'b', 7, 5", "SETBIT b 7 1"},
    {"bit from falsy", "SETBIT", "setbit", "plain", "'b', 7, 0", "SETBIT b 7 0"},
    {"list value packed", "LSET", "lset", "php", "'l', 0, [1]", "LSET l 0 {$c->_pack([1])}"},
    {"setrange text", "SETRANGE", "setrange", "php", "'s', 2, 'ab'", "SETRANGE s 2 ab"},
    {"setrange object text", "SETRANGE", "setrange", "php", "'s', 2, new Txt", "SETRANGE s 2 txt"},
    {"setrange array refused", "SETRANGE", "setrange", "php", "'s', 2, [1]",
     "#TypeError: Kelvo\\Kelvo::setrange(): Argument #3 ($value) must be of type string, array given"},
    {"two floats", "CMS.INITBYPROB", "cmsInitByProb", "plain", "'s', 0.01, 0.1",
     "CMS.INITBYPROB s 0.01 0.10000000000000001"},
    {"increment and member", "ZINCRBY", "zincrby", "php", "'z', 0.1, 'm'",
     "ZINCRBY z 0.10000000000000001 {$c->_pack('m')}"},
    {"wait", "WAIT", "wait", "plain", "1, 100", "WAIT 1 100"},
    {"waitaof", "WAITAOF", "waitaof", "plain", "1, 0, 100", "WAITAOF 1 0 100"},

    /* variadic keys and values */
    {"keys as arguments", "DEL", "del", "pre", "'a', 'b', 'c'", "DEL p:a p:b p:c"},
    {"keys as array", "DEL", "del", "pre", "['a', 'b', 'c']", "DEL p:a p:b p:c"},
    {"array among keys", "DEL", "del", "plain", "['a'], 'b'", "DEL Array b", 0, "Array to string conversion"},
    {"empty key array", "UNLINK", "unlink", "plain", "[]", "UNLINK"},
    {"no keys", "DEL", "del", "plain", "",
     "#ArgumentCountError: Kelvo\\Kelvo::del() expects at least 1 argument, 0 given"},
    {"key throwing toString", "TOUCH", "touch", "plain", "'a', new Boom", "#RuntimeException: boom"},
    {"watch", "WATCH", "watch", "pre", "'a', 'b'", "WATCH p:a p:b"},
    {"store keys", "SINTERSTORE", "sinterstore", "pre", "'d', 's1', 's2'", "SINTERSTORE p:d p:s1 p:s2"},
    {"pop key array", "BLPOP", "blpop", "pre", "['a', 'b'], 1.5", "BLPOP p:a p:b 1.5"},
    {"pop keys", "BRPOP", "brpop", "plain", "'a', 'b', 0", "BRPOP a b 0"},
    {"pop numeric string", "BZPOPMIN", "bzpopmin", "plain", "'z', '0.25'", "BZPOPMIN z 0.25"},
    {"pop timeout not numeric", "BLPOP", "blpop", "plain", "'a', 'abc'", "!Timeout must be numeric"},
    {"pop timeout array", "BZPOPMAX", "bzpopmax", "plain", "'a', 'b', []", "!Timeout must be numeric"},
    {"pop without timeout", "BLPOP", "blpop", "plain", "'a'",
     "#ArgumentCountError: Kelvo\\Kelvo::blpop() expects at least 2 arguments, 1 given"},
    {"values packed", "LPUSH", "lpush", "php", "'l', [1], 'x'", "LPUSH l {$c->_pack([1])} {$c->_pack('x')}"},
    {"values prefix", "SADD", "sadd", "pre", "'s', 'a', 2", "SADD p:s a 2"},
    {"value refused after others", "RPUSH", "rpush", "json", "'l', 1, INF",
     "!Failed to serialize the value with the json serializer: Inf and NaN cannot be JSON encoded"},
    {"values key array", "ZREM", "zrem", "plain", "['z'], 'm'",
     "#TypeError: Kelvo\\Kelvo::zrem(): Argument #1 ($key) must be of type string, array given"},
    {"fields unpacked", "HDEL", "hdel", "php", "'h', 'f1', 2", "HDEL h f1 2"},
    {"field as array", "HDEL", "hdel", "php", "'h', 'f1', ['f2']",
     "#TypeError: Kelvo\\Kelvo::hdel(): Argument #3 must be of type string, array given"},
    {"info alone", "INFO", "info", "plain", "", "INFO"},
    {"info sections", "INFO", "info", "plain", "'server', 'clients'", "INFO server clients"},
    {"bitop", "BITOP", "bitop", "pre", "'xor', 'd', 's1', 's2'", "BITOP xor p:d p:s1 p:s2"},
    {"rpoplpush", "RPOPLPUSH", "rpoplpush", "pre", "'a', 'b'", "RPOPLPUSH p:a p:b"},
    {"brpoplpush", "BRPOPLPUSH", "brpoplpush", "pre", "'a', 'b', 1.5", "BRPOPLPUSH p:a p:b 1.5"},
    {"brpoplpush negative", "BRPOPLPUSH", "brpoplpush", "plain", "'a', 'b', -1", "!Timeout cannot be < 0"},
    {"brpoplpush text timeout", "BRPOPLPUSH", "brpoplpush", "plain", "'a', 'b', 'x'",
     "#TypeError: Kelvo\\Kelvo::brpoplpush(): Argument #3 ($timeout) must be of type float, string given"},
    {"lmpop", "LMPOP", "lmpop", "pre", "['a', 'b'], 'left'", "LMPOP 2 p:a p:b left"},
    {"lmpop count", "LMPOP", "lmpop", "plain", "['a'], 'RIGHT', 3", "LMPOP 1 a RIGHT COUNT 3"},
    {"lmpop no keys", "LMPOP", "lmpop", "plain", "[], 'left'", "!Must pass at least one key"},
    {"lmpop count zero", "LMPOP", "lmpop", "plain", "['a'], 'left', 0",
     "!Count must be >\xC2\xA0"
     "0"},
    {"lmpop bad from", "LMPOP", "lmpop", "plain", "['a'], 'min'", "!from must either be 'LEFT' or 'RIGHT'"},
    {"zmpop", "ZMPOP", "zmpop", "plain", "['z'], 'max'", "ZMPOP 1 z max"},
    {"zmpop bad from", "ZMPOP", "zmpop", "plain", "['z'], 'left'", "!from must either be 'MIN' or 'MAX'"},
    {"blmpop", "BLMPOP", "blmpop", "pre", "0.5, ['a'], 'LEFT', 2", "BLMPOP 0.5 1 p:a LEFT COUNT 2"},
    {"bzmpop keys not array", "BZMPOP", "bzmpop", "plain", "1, 'z', 'MIN'",
     "#TypeError: Kelvo\\Kelvo::bzmpop(): Argument #2 ($keys) must be of type array, string given"},
    {"zintercard", "ZINTERCARD", "zintercard", "pre", "['a', 'b']", "ZINTERCARD 2 p:a p:b"},
    {"zintercard limit", "ZINTERCARD", "zintercard", "plain", "['a'], 5", "ZINTERCARD 1 a LIMIT 5"},
    {"zintercard limit zero", "ZINTERCARD", "zintercard", "plain", "['a'], 0", "ZINTERCARD 1 a"},
    {"zintercard negative", "ZINTERCARD", "zintercard", "plain", "['a'], -1", "!LIMIT cannot be negative"},
    {"zintercard empty first", "ZINTERCARD", "zintercard", "plain", "[], -1", "!Must pass at least one input key"},

    /* string writes */
    {"set", "SET", "set", "pre", "'k', 'v'", "SET p:k v"},
    {"set null options", "SET", "set", "plain", "'k', 'v', null", "SET k v"},
    {"set seconds", "SET", "set", "pre", "'k', 'v', 10", "SETEX p:k 10 v"},
    {"set seconds text", "SET", "set", "plain", "'k', 'v', '10'", "SETEX k 10 v"},
    {"set float seconds", "SET", "set", "plain", "'k', 'v', 2.9", "SETEX k 2 v"},
    {"set packed setex", "SET", "set", "lz4", "'k', [1, 2], 5", "SETEX k 5 {$c->_pack([1, 2])}"},
    {"set under a second", "SET", "set", "plain", "'k', 'v', 0.5",
     "!Expire must be a long, double, or a numeric string"},
    {"set zero", "SET", "set", "plain", "'k', 'v', 0", "!Expire must be a long, double, or a numeric string"},
    {"set negative", "SET", "set", "plain", "'k', 'v', -5", "!Expire must be a long, double, or a numeric string"},
    {"set word", "SET", "set", "plain", "'k', 'v', 'abc'", "!Expire must be a long, double, or a numeric string"},
    {"set fraction text", "SET", "set", "plain", "'k', 'v', '1.5'",
     "!Expire must be a long, double, or a numeric string"},
    {"set true", "SET", "set", "plain", "'k', 'v', true", "!Expire must be a long, double, or a numeric string"},
    {"set nan", "SET", "set", "plain", "'k', 'v', NAN", "!Expire must be a long, double, or a numeric string"},
    {"set mode and expiry", "SET", "set", "plain", "'k', 'v', ['nx', 'EX' => 10]", "SET k v nx EX 10"},
    {"set condition get", "SET", "set", "php", "'k', 'v', ['IFEQ' => 'x', 'GET']",
     "SET k {$c->_pack('v')} IFEQ {$c->_pack('x')} GET"},
    {"set digest unpacked", "SET", "set", "php", "'k', 'v', ['ifdne' => 'abc']", "SET k {$c->_pack('v')} IFDNE abc"},
    {"set keepttl and expiry", "SET", "set", "plain", "'k', 'v', ['KEEPTTL', 'PX' => 5]",
     "!Cannot specify both an expiry and KEEPTTL"},
    {"set condition and mode", "SET", "set", "plain", "'k', 'v', ['IFEQ' => 'x', 'XX']",
     "!Value/Digest comparison can't be combined with NX or XX option"},
    {"set persist", "SET", "set", "plain", "'k', 'v', ['PERSIST']", "!PERSIST is not a valid expiry type for command"},
    {"set last expiry wins", "SET", "set", "plain", "'k', 'v', ['EX' => 10, 'PX' => 20]", "SET k v PX 20"},
    {"set keepttl", "SET", "set", "plain", "'k', 'v', ['KEEPTTL', 'get']", "SET k v GET KEEPTTL"},
    {"set unknown options ignored", "SET", "set", "plain", "'k', 'v', ['foo' => 1, 'bar', 5 => 7]", "SET k v"},
    {"set value refused", "SET", "set", "json", "'k', ['a' => NAN]",
     "!Failed to serialize the value with the json serializer: Inf and NaN cannot be JSON encoded"},
    {"set condition value refused", "SET", "set", "json", "'k', 1, ['IFNE' => \"\\xff\"]",
     "!Failed to serialize the value with the json serializer: Malformed UTF-8 characters, possibly incorrectly "
     "encoded"},
    {"getex", "GETEX", "getex", "pre", "'k'", "GETEX p:k"},
    {"getex persist", "GETEX", "getex", "plain", "'k', ['PERSIST']", "GETEX k PERSIST"},
    {"getex ignores the rest", "GETEX", "getex", "plain", "'k', ['EX' => 5, 'NX', 'GET']", "GETEX k EX 5"},
    {"getex options not array", "GETEX", "getex", "plain", "'k', 5",
     "#TypeError: Kelvo\\Kelvo::getex(): Argument #2 ($options) must be of type ?array, int given"},
    {"mset", "MSET", "mset", "php", "['a' => 1, 'b' => [2]]", "MSET a {$c->_pack(1)} b {$c->_pack([2])}"},
    {"mset integer key", "MSET", "mset", "pre", "[5 => 'a', -3 => 'b']", "MSET p:5 a p:-3 b"},
    {"mset empty", "MSET", "mset", "plain", "[]", "!"},
    {"msetnx value refused", "MSETNX", "msetnx", "json", "['a' => 1, 'b' => NAN]",
     "!Failed to serialize the value with the json serializer: Inf and NaN cannot be JSON encoded"},
    {"msetex", "MSETEX", "msetex", "plain", "['a' => 1]", "MSETEX 1 a 1"},
    {"msetex null", "MSETEX", "msetex", "plain", "['a' => 1], null", "MSETEX 1 a 1"},
    {"msetex under a second", "MSETEX", "msetex", "plain", "['a' => 1], 0.5", "MSETEX 1 a 1 EX 0"},
    {"msetex seconds", "MSETEX", "msetex", "pre", "['a' => 1, 'b' => 2], '10'", "MSETEX 2 p:a 1 p:b 2 EX 10"},
    {"msetex mode keepttl", "MSETEX", "msetex", "plain", "['a' => 1], ['XX', 'KEEPTTL']", "MSETEX 1 a 1 XX KEEPTTL"},
    {"msetex pxat", "MSETEX", "msetex", "plain", "['a' => 1], ['nx', 'PXAT' => 99, 'GET']", "MSETEX 1 a 1 nx PXAT 99"},
    {"msetex empty", "MSETEX", "msetex", "plain", "[]", "!No key-value pairs provided"},
    {"msetex bad expiry", "MSETEX", "msetex", "plain", "['a' => 1], 'abc'",
     "!Expire must be a long, double, or a numeric string"},
    {"msetex keepttl and expiry", "MSETEX", "msetex", "plain", "['a' => 1], ['KEEPTTL', 'EX' => 1]",
     "!Cannot specify both an expiry and KEEPTTL"},
    {"msetex persist", "MSETEX", "msetex", "plain", "['a' => 1], ['PERSIST']",
     "!PERSIST is not a valid expiry type for command"},
    {"delex", "DELEX", "delex", "pre", "'k'", "DELEX p:k"},
    {"delex ifeq packed", "DELEX", "delex", "php", "'k', ['IFEQ' => 'x']", "DELEX k IFEQ {$c->_pack('x')}"},
    {"delex digest", "DELEX", "delex", "php", "'k', ['ifdeq' => 'abc', 'IFNE' => 'y']", "DELEX k IFDEQ abc"},
    {"delex unknown option", "DELEX", "delex", "plain", "'k', ['foo' => 1, 'ifdeq' => 'abc']", "!Unknown option 'foo'"},
    {"delex condition without value", "DELEX", "delex", "plain", "'k', ['IFEQ']", "!Unknown option 'IFEQ'"},
    {"delex positional", "DELEX", "delex", "plain", "'k', [7]", "!Unknown option '0'"},
    {"incr", "INCR", "incr", "pre", "'n'", "INCR p:n"},
    {"incr by", "INCR", "incr", "plain", "'n', 5", "INCRBY n 5"},
    {"incrby one", "INCRBY", "incrby", "plain", "'n', 1", "INCR n"},
    {"decr zero", "DECR", "decr", "plain", "'n', 0", "DECRBY n 0"},
    {"decr negative", "DECR", "decr", "plain", "'n', -1", "DECRBY n -1"},
    {"decrby", "DECRBY", "decrby", "plain", "'n', 3", "DECRBY n 3"},
    {"incrbyfloat", "INCRBYFLOAT", "incrbyfloat", "plain", "'n', 0.1", "INCRBYFLOAT n 0.10000000000000001"},
    {"hincrby", "HINCRBY", "hincrby", "pre", "'h', 'f', 2", "HINCRBY p:h f 2"},
    {"hincrbyfloat", "HINCRBYFLOAT", "hincrbyfloat", "php", "'h', 'f', 1.5", "HINCRBYFLOAT h f 1.5"},
    {"incrby without amount", "INCRBY", "incrby", "plain", "'n'",
     "#ArgumentCountError: Kelvo\\Kelvo::incrby() expects exactly 2 arguments, 1 given"},
    {"increx", "INCREX", "increx", "pre", "'n'", "INCREX p:n"},
    {"increx float bound widened", "INCREX", "increx", "plain", "'n', 1.5, ['LBOUND' => 0]",
     "INCREX n BYFLOAT 1.5 LBOUND 0"},
    {"increx float digits", "INCREX", "increx", "plain", "'n', 0.1, ['UBOUND' => 0.3]",
     "INCREX n BYFLOAT 0.10000000000000001 UBOUND 0.29999999999999999"},
    {"increx numeric text", "INCREX", "increx", "plain", "'n', '2.5'", "INCREX n BYFLOAT 2.5"},
    {"increx overflow expiry enx", "INCREX", "increx", "plain", "'n', 5, ['OVERFLOW' => 'sat', 'EX' => 10, 'ENX']",
     "INCREX n BYINT 5 OVERFLOW SAT EX 10 ENX"},
    {"increx overflow fail", "INCREX", "increx", "plain", "'n', 5, ['OVERFLOW' => 'fail']", "INCREX n BYINT 5"},
    {"increx reject bounds", "INCREX", "increx", "plain",
     "'n', -2, ['UBOUND' => 9, 'LBOUND' => -9, 'overflow' => 'Reject', 'PERSIST' => 1]",
     "INCREX n BYINT -2 LBOUND -9 UBOUND 9 OVERFLOW REJECT PERSIST"},
    {"increx enx without expiry", "INCREX", "increx", "plain", "'n', null, ['ENX']", "INCREX n", 0,
     "ENX option requires a valid expiration option"},
    {"increx bound alone", "INCREX", "increx", "plain", "'n', null, ['UBOUND' => 7]", "INCREX n UBOUND 7"},
    {"increx float bound for integer", "INCREX", "increx", "plain", "'n', 5, ['LBOUND' => 1.5]",
     "!Invalid LBOUND for integer increment"},
    {"increx text bound", "INCREX", "increx", "plain", "'n', 1.5, ['UBOUND' => 'x']",
     "!Invalid UBOUND for float increment"},
    {"increx bad overflow", "INCREX", "increx", "plain", "'n', 1, ['OVERFLOW' => 'sta']", "!Invalid OVERFLOW value"},
    {"increx increment not numeric", "INCREX", "increx", "plain", "'n', 'abc'",
     "#TypeError: Kelvo\\Kelvo::increx(): Argument #2 ($increment) must be of type int|float|null, string given"},
};

class Builders : public testing::TestWithParam<Row> {};

TEST_P(Builders, BuildTheExactRequestOrRefuse)
{
    makeClients();
    const Row &row = GetParam();
    int cmd = -1;
    ASSERT_EQ(kelvoStringToRedisCmd(&cmd, row.cmd, strlen(row.cmd)), 0) << row.cmd;
    zval args;
    evalList(row.client, row.args, &args);
    zval *c = client(row.client);
    Built built = kelvo_test::callBuilder(c, row.method, cmd, &args);
    zval_ptr_dtor(&args);

    std::vector<std::string> warnings;
    for (const Diagnostics::Entry &d : built.diagnostics)
        warnings.push_back(d.text);
    const std::string expect = row.expect;
    if (expect[0] == '!' || expect[0] == '#') {
        EXPECT_EQ(built.rc, -1);
        if (expect[0] == '#') {
            EXPECT_EQ(built.exception, expect.substr(1));
            EXPECT_TRUE(warnings.empty()) << joined(warnings);
        } else {
            EXPECT_EQ(built.exception, "");
            EXPECT_EQ(warnings,
                      expect.size() > 1 ? std::vector<std::string>{expect.substr(1)} : std::vector<std::string>{});
        }
        /* Through the method: false, and not a byte sent. */
        std::string call = "$c = $" + std::string(row.client) + "; $b = $c->getBytes()[0]; $r = @$c->" + row.method +
                           "(" + row.args + "); $out = var_export($r, true) . ' ' . ($c->getBytes()[0] - $b);";
        std::string outcome = run(call);
        if (expect[0] == '!')
            EXPECT_EQ(outcome, "false 0");
        else
            EXPECT_EQ(outcome, expect.substr(1));
        EXPECT_EQ(run("$out = var_export($" + std::string(row.client) + "->ping(), true);"), "true");
        return;
    }
    ASSERT_EQ(built.rc, 0) << built.exception << " " << joined(warnings);
    EXPECT_EQ(built.exception, "");
    EXPECT_EQ(warnings,
              std::string(row.warning).empty() ? std::vector<std::string>{} : std::vector<std::string>{row.warning});
    std::vector<std::string> want = expectedWords(row.client, expect);
    EXPECT_EQ(built.words, want) << "got:  " << joined(built.words) << "\nwant: " << joined(want);
    EXPECT_EQ(built.flags & (KELVO_REQ_RAW | KELVO_REQ_SINGLE), row.flags);
    serverParsesOneCommand(c, built.request);
}

INSTANTIATE_TEST_SUITE_P(Table, Builders, testing::ValuesIn(rows), [](const testing::TestParamInfo<Row> &info) {
    std::string name;
    for (const char *p = info.param.name; *p; p++)
        name += isalnum(static_cast<unsigned char>(*p)) ? *p : '_';
    return name;
});

/* MSETEX leaves its pair count with the request for the keys role; a count, never a record. */
TEST(BuildersUserdata, MsetexParksItsPairCount)
{
    makeClients();
    zval args;
    evalList("plain", "['a' => 1, 'b' => 2, 'c' => 3], 5", &args);
    Built built = kelvo_test::callBuilder(client("plain"), "msetex", REDIS_CMD_MSETEX, &args);
    zval_ptr_dtor(&args);
    EXPECT_EQ(built.rc, 0);
    EXPECT_EQ(built.udkind, KELVO_REQ_DATA_NUMBER);
    EXPECT_EQ(built.udnumber, 3u);
}

/* The word swaps leave the request's command id on the command sent. */
TEST(BuildersUserdata, SwappedWordsCarryTheirIds)
{
    makeClients();
    const struct {
        const char *method;
        int cmd;
        const char *args;
        int sent;
    } swaps[] = {
        {"set", REDIS_CMD_SET, "'k', 'v', 3", REDIS_CMD_SETEX},
        {"incr", REDIS_CMD_INCR, "'k', 2", REDIS_CMD_INCRBY},
        {"decrby", REDIS_CMD_DECRBY, "'k', 1", REDIS_CMD_DECR},
        {"set", REDIS_CMD_SET, "'k', 'v'", REDIS_CMD_SET},
    };
    for (const auto &s : swaps) {
        zval args;
        evalList("plain", s.args, &args);
        Built built = kelvo_test::callBuilder(client("plain"), s.method, s.cmd, &args);
        zval_ptr_dtor(&args);
        EXPECT_EQ(built.cmd, s.sent) << s.method << "(" << s.args << ")";
    }
}

/* The expiry helper of the SET-style hash builders: a bad expiry is a result the caller sees. */
TEST(BuildersExpiry, AnInvalidExpiryIsRefusedNotDropped)
{
    makeClients();
    const struct {
        const char *value;
        int rc;
        uint32_t expiry;
        int64_t ttl;
    } cases[] = {
        {"null", 0, KELVO_EXPIRY_NONE, 0},
        {"10", 0, KELVO_EXPIRY_EX, 10},
        {"0", 0, KELVO_EXPIRY_EX, 0},
        {"1.5", 0, KELVO_EXPIRY_PX, 1500},
        {"'persist'", 0, KELVO_EXPIRY_PERSIST, 0},
        {"['PXAT' => 7, 'FNX']", 0, KELVO_EXPIRY_PXAT, 7},
        {"-1", -1, KELVO_EXPIRY_NONE, 0},
        {"-0.5", -1, KELVO_EXPIRY_NONE, 0},
        {"NAN", -1, KELVO_EXPIRY_NONE, 0},
        {"9223372036854776.0", -1, KELVO_EXPIRY_NONE, 0},
        {"'10'", -1, KELVO_EXPIRY_NONE, 0},
        {"true", -1, KELVO_EXPIRY_NONE, 0},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.value);
        zval list;
        evalList("plain", c.value, &list);
        kelvoSetOptions options;
        Diagnostics seen;
        FakeFrame frame("hsetex");
        int rc = kelvoFillSetExpiryOptions(&options, REDIS_CMD_HSETEX, zend_hash_index_find(Z_ARRVAL(list), 0));
        EXPECT_EQ(rc, c.rc);
        EXPECT_EQ(options.expiry, c.expiry);
        EXPECT_EQ(options.ttl, c.ttl);
        if (c.rc < 0) {
            ASSERT_EQ(seen.entries.size(), 1u);
            EXPECT_EQ(seen.entries[0].text, "Timeout must be >= 0 and <= 9223372036854775807");
        } else {
            EXPECT_TRUE(seen.entries.empty());
        }
        zval_ptr_dtor(&list);
    }
}

/* WATCH inside MULTI throws. In a plain transaction that transaction is discarded; in a pipeline
 * that holds a MULTI, what was queued before the WATCH stays queued. */
TEST(BuildersWatch, InsideMultiThrowsAndKeepsAQueuedPipeline)
{
    makeClients();
    zval *c = client("plain");
    robj *ro = kelvoGetObjectZVal(c);
    redisContext *ctx = ro->link.ctx;
    zval args;
    evalList("plain", "'a'", &args);

    ro->mode = kelvoModeMulti;
    ASSERT_EQ(redisAppendFormattedCommand(ctx, "*1\r\n$5\r\nMULTI\r\n", 15), REDIS_OK);
    void *reply = nullptr;
    ASSERT_EQ(redisGetReply(ctx, &reply), REDIS_OK);
    kelvoReplyFree(reply);
    Built built = kelvo_test::callBuilder(c, "watch", REDIS_CMD_WATCH, &args);
    EXPECT_EQ(built.rc, -1);
    EXPECT_EQ(built.exception.rfind("Kelvo\\Exception: WATCH inside MULTI is not allowed (KELVO_ERR_REDIS; ", 0), 0u)
        << built.exception;
    EXPECT_EQ(ro->mode, 0u);
    EXPECT_EQ(run("$out = var_export($plain->rawCommand('EXEC'), true);"), "false") << "no transaction left open";

    ro->mode = kelvoModeMulti | kelvoModePipeline;
    const std::string queued = "*1\r\n$4\r\nPING\r\n";
    ASSERT_EQ(redisAppendFormattedCommand(ctx, queued.data(), queued.size()), REDIS_OK);
    const size_t pending = ctx->obuf.len - ctx->obuf.pos;
    built = kelvo_test::callBuilder(c, "watch", REDIS_CMD_WATCH, &args);
    EXPECT_EQ(built.rc, -1);
    EXPECT_EQ(built.exception.rfind("Kelvo\\Exception: WATCH inside MULTI is not allowed", 0), 0u);
    EXPECT_EQ(ro->mode, kelvoModeMulti | kelvoModePipeline);
    EXPECT_EQ(ctx->obuf.len - ctx->obuf.pos, pending);
    ro->mode = 0;
    ASSERT_EQ(redisGetReply(ctx, &reply), REDIS_OK);
    EXPECT_EQ(std::string(ZSTR_VAL(static_cast<kelvoReply *>(reply)->v.str)), "PONG");
    kelvoReplyFree(reply);

    ro->mode = kelvoModePipeline;
    built = kelvo_test::callBuilder(c, "watch", REDIS_CMD_WATCH, &args);
    EXPECT_EQ(built.rc, 0) << "WATCH in a pipeline without MULTI is a command like any";
    ro->mode = 0;
    zval_ptr_dtor(&args);
}

} // namespace
