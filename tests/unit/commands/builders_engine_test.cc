// The request builders (fixed shapes, variadic keys and values, string writes, administration
// subcommands, server and key-space commands, scripting and sorting, optional counts, list moves,
// migration and scans, hash fields, sorted sets, bit fields and sketches, geo, stream entries and
// consumer groups, vector sets), each run by itself inside an engine that started the module: the
// exact words of the request under a key prefix, a serializer, compression and ignore-numbers, or
// the refusal (its warning or exception, false from the method, nothing sent). Every request is
// also framed as its header says and parsed by the harness's server as one command (inside MULTI
// ... DISCARD, so nothing runs or blocks), the PING after it answering for itself.
#include "commands/admin.h"
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
 * serializer, php with LZ4, php with ignore-numbers, json, a key prefix that scans match with. `precision` is low, so a float that
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
        $spre = $mk([Kelvo\Kelvo::OPT_PREFIX => 'p:', Kelvo\Kelvo::OPT_SCAN => Kelvo\Kelvo::SCAN_PREFIX]);
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
    const char *client; /* plain, pre, php, lz4, num, json, spre */
    const char *args;   /* PHP list of the arguments */
    /* the request's words ({expr} on $c for bytes such as packed values); "!text" a refusal with
     * that warning ("!" alone: without any); "#Class: message" a refusal by exception */
    const char *expect;
    uint8_t flags = 0;        /* KELVO_REQ_RAW, KELVO_REQ_SINGLE expected */
    const char *warning = ""; /* a warning the request goes on after */
    int context = -1;         /* the context byte expected; -1: not looked at */
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
    if (row.context >= 0)
        EXPECT_EQ(built.context, row.context);
    serverParsesOneCommand(c, built.request);
}

std::string rowName(const testing::TestParamInfo<Row> &info)
{
    std::string name;
    for (const char *p = info.param.name; *p; p++)
        name += isalnum(static_cast<unsigned char>(*p)) ? *p : '_';
    return name;
}

INSTANTIATE_TEST_SUITE_P(Table, Builders, testing::ValuesIn(rows), rowName);

/* Administration subcommands, server and key-space commands, scripting and sorting, optional
 * counts and flags, list moves, migration and scans. */
const Row serverRows[] = {
    /* CONFIG */
    {"config get array", "CONFIG", "config", "plain", "'GET', ['maxmemory', 'timeout']",
     "CONFIG GET maxmemory timeout"},
    {"config get several", "CONFIG", "config", "plain", "'get', 'maxmemory', 'timeout'",
     "CONFIG get maxmemory timeout"},
    {"config get trailing null", "CONFIG", "config", "plain", "'GET', 'maxmemory', null", "CONFIG GET maxmemory"},
    {"config get alone", "CONFIG", "config", "plain", "'GET'", "!Must get at least one setting"},
    {"config get only null", "CONFIG", "config", "plain", "'GET', null", "!Must get at least one setting"},
    {"config set pair", "CONFIG", "config", "plain", "'SET', 'timeout', 0", "CONFIG SET timeout 0"},
    {"config set array", "CONFIG", "config", "pre", "'set', ['timeout' => 0, 'maxmemory-policy' => 'noeviction']",
     "CONFIG set timeout 0 maxmemory-policy noeviction"},
    {"config set array trailing null", "CONFIG", "config", "plain", "'SET', ['timeout' => 0], null",
     "CONFIG SET timeout 0"},
    {"config set integer key", "CONFIG", "config", "plain", "'SET', ['timeout' => 0, 5 => 'x']",
     "!Settings array must have all string keys"},
    {"config set one name", "CONFIG", "config", "plain", "'SET', 'timeout'",
     "!Must pass either a setting and value, or an array of settings and values"},
    {"config set empty array", "CONFIG", "config", "plain", "'SET', []",
     "!Must pass either a setting and value, or an array of settings and values"},
    {"config other with nulls", "CONFIG", "config", "plain", "'RESETSTAT', null, null", "CONFIG RESETSTAT"},
    {"config without operation", "CONFIG", "config", "plain", "",
     "#ArgumentCountError: Kelvo\\Kelvo::config() expects at least 1 argument, 0 given"},
    /* CLIENT */
    {"client tracking", "CLIENT", "client", "plain", "'Tracking', 'on'",
     "!Manual CLIENT TRACKING is disabled for Kelvo"},
    {"client reply off", "CLIENT", "client", "plain", "'reply', 'off'",
     "!CLIENT REPLY OFF and SKIP are disabled for Kelvo"},
    {"client reply skip", "CLIENT", "client", "plain", "'REPLY', 'Skip'",
     "!CLIENT REPLY OFF and SKIP are disabled for Kelvo"},
    {"client reply on", "CLIENT", "client", "plain", "'REPLY', 'ON'", "CLIENT REPLY ON", 0, "", 0},
    {"client capa alone", "CLIENT", "client", "plain", "'capa'", "!CLIENT CAPA requests at least one argument"},
    {"client capa redirect", "CLIENT", "client", "plain", "'capa', 'Redirect'", "CLIENT capa Redirect", 0, "", 10},
    {"client capa other", "CLIENT", "client", "plain", "'CAPA', 'other'", "CLIENT CAPA other", 0, "", 2},
    {"client list", "CLIENT", "client", "plain", "'list'", "CLIENT list", 0, "", 1},
    {"client info", "CLIENT", "client", "plain", "'INFO'", "CLIENT INFO", 0, "", 4},
    {"client kill", "CLIENT", "client", "pre", "'KILL', 'ID', 5", "CLIENT KILL ID 5", 0, "", 0},
    /* COMMAND */
    {"command alone", "COMMAND", "command", "plain", "", "COMMAND", 0, "", 0},
    {"command count", "COMMAND", "command", "plain", "'count'", "COMMAND count", 0, "", 1},
    {"command count with argument", "COMMAND", "command", "plain", "'COUNT', 1",
     "!'COUNT' subcommand doesn't accept arguments"},
    {"command docs", "COMMAND", "command", "plain", "'DOCS', 'get'", "COMMAND DOCS get", 0, "", 2},
    {"command getkeys", "COMMAND", "command", "plain", "'getkeys', 'get', 'k'", "COMMAND getkeys get k", 0, "", 3},
    {"command getkeys alone", "COMMAND", "command", "plain", "'getkeys'",
     "!'getkeys' subcommand requires command argument"},
    {"command info", "COMMAND", "command", "plain", "'INFO', 'get', 'set'", "COMMAND INFO get set", 0, "", 5},
    {"command list filter", "COMMAND", "command", "plain", "'list', 'filterby', 'pattern', 'get*'",
     "COMMAND list filterby pattern get*", 0, "", 6},
    {"command list short", "COMMAND", "command", "plain", "'LIST', 'FILTERBY'",
     "!'LIST' subcommand requires 3 arguments"},
    {"command list bad filter", "COMMAND", "command", "plain", "'LIST', 'FILTERBY', 'name', 'x'",
     "!Invalid argument specified for 'LIST' subcommand"},
    {"command unknown", "COMMAND", "command", "plain", "'nope'", "!Unexpected subcommand 'nope'"},
    {"command subcommand as integer", "COMMAND", "command", "plain", "5", "!Unexpected subcommand '5'"},
    /* SCRIPT */
    {"script flush async", "SCRIPT", "script", "plain", "'flush', 'async'", "SCRIPT flush async", 0, "", 3},
    {"script flush bad mode", "SCRIPT", "script", "plain", "'FLUSH', 'now'", "!Invalid argument specified for 'FLUSH'"},
    {"script load two", "SCRIPT", "script", "plain", "'load', 'a', 'b'", "!'load' requires exactly one argument"},
    {"script debug yes", "SCRIPT", "script", "plain", "'debug', 'yes'",
     "!SCRIPT DEBUG YES and SYNC are disabled for Kelvo"},
    {"script debug sync", "SCRIPT", "script", "plain", "'DEBUG', 'SYNC'",
     "!SCRIPT DEBUG YES and SYNC are disabled for Kelvo"},
    {"script debug no", "SCRIPT", "script", "plain", "'DEBUG', 'no'", "SCRIPT DEBUG no", 0, "", 1},
    {"script debug integer", "SCRIPT", "script", "plain", "'DEBUG', 1", "!Invalid argument specified for 'DEBUG'"},
    {"script debug two", "SCRIPT", "script", "plain", "'DEBUG', 'no', 'no'",
     "!'DEBUG' doesn't accept more than one argument"},
    {"script exists", "SCRIPT", "script", "plain", "'exists', 'abc', 'def'", "SCRIPT exists abc def", 0, "", 2},
    {"script exists alone", "SCRIPT", "script", "plain", "'exists'", "!'exists' requires minimum one argument"},
    {"script kill argument", "SCRIPT", "script", "plain", "'kill', 1", "!'kill' doesn't accept arguments"},
    {"script show", "SCRIPT", "script", "plain", "'SHOW', 'abc'", "SCRIPT SHOW abc", 0, "", 6},
    {"script unknown", "SCRIPT", "script", "plain", "'HELP'", "!Unknown subcommand 'HELP'"},
    /* SLOWLOG, ACL */
    {"slowlog get count", "SLOWLOG", "slowlog", "plain", "'get', 10", "SLOWLOG get 10"},
    {"slowlog get text", "SLOWLOG", "slowlog", "plain", "'get', '10'",
     "!Invalid argument specified for 'get' subcommand"},
    {"slowlog get two", "SLOWLOG", "slowlog", "plain", "'GET', 1, 2",
     "!'GET' subcommand doesn't accept more than one argument"},
    {"slowlog len argument", "SLOWLOG", "slowlog", "plain", "'len', 1", "!'len' subcommand doesn't accept arguments"},
    {"slowlog reset", "SLOWLOG", "slowlog", "plain", "'RESET'", "SLOWLOG RESET"},
    {"slowlog unknown", "SLOWLOG", "slowlog", "plain", "'nope'", "!Unknown subcommand 'nope'"},
    {"acl dryrun short", "ACL", "acl", "plain", "'DRYRUN', 'u'", "!ACL 'DRYRUN' requires at least 2 arguments"},
    {"acl setuser alone", "ACL", "acl", "plain", "'setuser'", "!ACL 'setuser' requires at least 1 arguments"},
    {"acl list", "ACL", "acl", "plain", "'LIST'", "ACL LIST"},
    {"acl anything", "ACL", "acl", "plain", "'cat', 'read'", "ACL cat read"},
    /* PUBSUB, COMMANDLOG, FUNCTION */
    {"pubsub numpat", "PUBSUB", "pubsub", "pre", "'numpat'", "PUBSUB numpat", 0, "", 1},
    {"pubsub numpat argument", "PUBSUB", "pubsub", "plain", "'NUMPAT', 'x'",
     "!'NUMPAT' subcommand doesn't accept arguments"},
    {"pubsub numsub prefixed", "PUBSUB", "pubsub", "pre", "'NUMSUB', ['a', 'b']", "PUBSUB NUMSUB p:a p:b", 0, "", 3},
    {"pubsub shardnumsub empty", "PUBSUB", "pubsub", "pre", "'shardnumsub', []", "PUBSUB shardnumsub", 0, "", 3},
    {"pubsub numsub not array", "PUBSUB", "pubsub", "plain", "'numsub', 'a'",
     "!'numsub' subcommand requires array argument"},
    {"pubsub channels pattern prefixed", "PUBSUB", "pubsub", "pre", "'CHANNELS', 'news.*'", "PUBSUB CHANNELS p:news.*",
     0, "", 2},
    {"pubsub channels all", "PUBSUB", "pubsub", "pre", "'SHARDCHANNELS'", "PUBSUB SHARDCHANNELS", 0, "", 2},
    {"pubsub channels two", "PUBSUB", "pubsub", "plain", "'CHANNELS', 'a', 'b'",
     "!'CHANNELS' subcommand doesn't accept more than one argument"},
    {"pubsub unknown", "PUBSUB", "pubsub", "plain", "'nope'", "!Unexpected subcommand 'nope'"},
    {"commandlog", "COMMANDLOG", "commandlog", "plain", "'get', 10, 'slow'", "COMMANDLOG get 10 slow"},
    {"function load", "FUNCTION", "function", "pre", "'load', 'code'", "FUNCTION load code"},
    {"function array", "FUNCTION", "function", "plain", "'delete', ['x']", "FUNCTION delete Array", 0,
     "Array to string conversion"},
    {"function throwing toString", "FUNCTION", "function", "plain", "'delete', new Boom", "#RuntimeException: boom"},

    /* SELECT, SWAPDB */
    {"select", "SELECT", "select", "plain", "15", "SELECT 15"},
    {"select uncached", "SELECT", "select", "plain", "16", "SELECT 16", 0,
     "Kelvo is only configured for 16 in-memory databases"},
    {"select highest", "SELECT", "select", "plain", "2147483647", "SELECT 2147483647", 0,
     "Kelvo is only configured for 16 in-memory databases"},
    {"select negative", "SELECT", "select", "plain", "-1", "!Database number must be between 0 and 2147483647"},
    {"select too high", "SELECT", "select", "plain", "2147483648", "!Database number must be between 0 and 2147483647"},
    {"swapdb", "SWAPDB", "swapdb", "plain", "3, 20", "SWAPDB 3 20", 0,
     "Kelvo is only configured for 16 in-memory databases"},
    {"swapdb cached", "SWAPDB", "swapdb", "plain", "1, 0", "SWAPDB 1 0"},
    {"swapdb negative", "SWAPDB", "swapdb", "plain", "1, -1", "!Database number must be between 0 and 2147483647"},
    /* HOTKEYS */
    {"hotkeys net count", "HOTKEYS", "hotkeys", "plain", "'START', ['METRICS' => 'net', 'COUNT' => 10]",
     "HOTKEYS START METRICS 1 NET COUNT 10"},
    {"hotkeys everything", "HOTKEYS", "hotkeys", "plain",
     "'start', ['metrics' => ['NET', 'cpu', 'x'], 'count' => '10', 'Sample' => 3, 'SLOTS' => [1, '2'], 'duration' => 5]",
     "HOTKEYS START METRICS 2 CPU NET DURATION 5 SAMPLE 3 SLOTS 2 1 2"},
    {"hotkeys no metric", "HOTKEYS", "hotkeys", "plain", "'START', ['COUNT' => 10]",
     "!At least one metric (CPU or NET) must be specified"},
    {"hotkeys start alone", "HOTKEYS", "hotkeys", "plain", "'START'",
     "!At least one metric (CPU or NET) must be specified"},
    {"hotkeys stop", "HOTKEYS", "hotkeys", "plain", "'stop', ['METRICS' => 'CPU']", "HOTKEYS stop"},
    {"hotkeys null options", "HOTKEYS", "hotkeys", "plain", "'GET', null",
     "#TypeError: Kelvo\\Kelvo::hotkeys(): Argument #2 ($options) must be of type array, null given"},
    /* COPY, EXPIRE, MIGRATE */
    {"copy db replace", "COPY", "copy", "pre", "'a', 'b', ['db' => 0, 'REPLACE' => true]", "COPY p:a p:b DB 0 REPLACE"},
    {"copy no db", "COPY", "copy", "plain", "'a', 'b', ['DB' => -1, 'replace' => false]", "COPY a b"},
    {"copy null db", "COPY", "copy", "plain", "'a', 'b', ['db' => null]", "COPY a b"},
    {"copy db text", "COPY", "copy", "plain", "'a', 'b', ['db' => '3', 5 => 'REPLACE']", "COPY a b DB 3"},
    {"copy null options", "COPY", "copy", "plain", "'a', 'b', null", "COPY a b"},
    {"expire mode", "EXPIRE", "expire", "pre", "'k', 10, 'gt'", "EXPIRE p:k 10 gt"},
    {"expire bad mode", "EXPIRE", "expire", "plain", "'k', 10, 'ZZ'", "!Unknown expiration mode 'ZZ'"},
    {"pexpireat mode", "PEXPIREAT", "pexpireat", "plain", "'k', 5, 'NX'", "PEXPIREAT k 5 NX"},
    {"expireat null mode", "EXPIREAT", "expireat", "plain", "'k', 5, null", "EXPIREAT k 5"},
    {"migrate keys auth2", "MIGRATE", "migrate", "pre", "'h', 6379, ['a', 'b'], 0, 5000, true, true, ['user', 'pw']",
     "MIGRATE h 6379 {''} 0 5000 COPY REPLACE AUTH2 user pw KEYS p:a p:b"},
    {"migrate password", "MIGRATE", "migrate", "pre", "'h', 6379, 'k', 2, 100, false, false, 'pw'",
     "MIGRATE h 6379 p:k 2 100 AUTH pw"},
    {"migrate pass entry", "MIGRATE", "migrate", "plain", "'h', 6379, 'k', 0, 100, false, true, ['pass' => 'pw']",
     "MIGRATE h 6379 k 0 100 REPLACE AUTH pw"},
    {"migrate user without password", "MIGRATE", "migrate", "plain",
     "'h', 6379, 'k', 0, 100, false, false, ['user' => 'u', 'x' => 1]", "!"},
    {"migrate three credentials", "MIGRATE", "migrate", "plain",
     "'h', 6379, 'k', 0, 100, false, false, ['a', 'b', 'c']", "!An auth array must have one or two elements"},
    {"migrate no keys", "MIGRATE", "migrate", "plain", "'h', 6379, [], 0, 100", "!Must pass at least one key"},
    {"migrate null credentials", "MIGRATE", "migrate", "plain", "'h', 1, 5, 0, 100, false, false, null",
     "MIGRATE h 1 5 0 100"},
    /* BGSAVE, REPLICAOF, FLUSHDB, FLUSHALL, PING */
    {"bgsave", "BGSAVE", "bgsave", "plain", "", "BGSAVE"},
    {"bgsave null", "BGSAVE", "bgsave", "plain", "null", "BGSAVE"},
    {"bgsave schedule", "BGSAVE", "bgsave", "plain", "'schedule'", "BGSAVE schedule"},
    {"bgsave unknown", "BGSAVE", "bgsave", "plain", "'now'", "!Unknown argument 'now'"},
    {"replicaof no one", "REPLICAOF", "replicaof", "plain", "", "REPLICAOF NO ONE"},
    {"replicaof null host", "REPLICAOF", "replicaof", "plain", "null, 6380", "REPLICAOF NO ONE"},
    {"replicaof host port", "REPLICAOF", "replicaof", "plain", "'127.0.0.1', 6380", "REPLICAOF 127.0.0.1 6380"},
    {"replicaof host alone", "REPLICAOF", "replicaof", "plain", "'127.0.0.1'", "REPLICAOF 127.0.0.1 6379"},
    {"replicaof port zero", "REPLICAOF", "replicaof", "plain", "'127.0.0.1', 0", "!Invalid port"},
    {"replicaof port high", "REPLICAOF", "replicaof", "plain", "'127.0.0.1', 65536", "!Invalid port"},
    {"replicaof port negative", "REPLICAOF", "replicaof", "plain", "'127.0.0.1', -1", "!Invalid port"},
    {"replicaof empty host", "REPLICAOF", "replicaof", "plain", "'', 6380", "!Host cannot be empty"},
    {"flushdb sync", "FLUSHDB", "flushdb", "plain", "true", "FLUSHDB SYNC"},
    {"flushdb async", "FLUSHDB", "flushdb", "plain", "false", "FLUSHDB ASYNC"},
    {"flushdb default", "FLUSHDB", "flushdb", "plain", "null", "FLUSHDB"},
    {"flushall default", "FLUSHALL", "flushall", "plain", "", "FLUSHALL"},
    {"ping", "PING", "ping", "pre", "", "PING", RAW},
    {"ping message", "PING", "ping", "php", "'hi'", "PING hi", RAW},
    {"ping null", "PING", "ping", "plain", "null", "PING", RAW},

    /* EVAL, FCALL */
    {"eval keys and args", "EVAL", "eval", "pre", "'return 1', ['a', 'b', 'c'], 2", "EVAL {'return 1'} 2 p:a p:b c"},
    {"eval more keys than args", "EVALSHA", "evalsha", "pre", "'abc', ['a', 'b'], 5", "EVALSHA abc 5 p:a p:b"},
    {"eval negative count", "EVAL_RO", "eval_ro", "pre", "'s', ['a'], -1", "EVAL_RO s -1 a"},
    {"eval script alone", "EVALSHA_RO", "evalsha_ro", "plain", "'s'", "EVALSHA_RO s 0"},
    {"eval null args", "EVAL", "eval", "plain", "'s', null, 0", "EVAL s 0"},
    {"eval args as text", "EVAL", "eval", "php", "'s', [1, 2.5, true], 1", "EVAL s 1 1 2.5 1"},
    {"eval args not array", "EVAL", "eval", "plain", "'s', 'x'",
     "#TypeError: Kelvo\\Kelvo::eval(): Argument #2 ($args) must be of type ?array, string given"},
    {"eval throwing toString", "EVAL", "eval", "plain", "'s', ['a', new Boom], 1", "#RuntimeException: boom"},
    {"fcall", "FCALL", "fcall", "pre", "'f', ['a', 'b'], ['x']", "FCALL f 2 p:a p:b x"},
    {"fcall handler", "FCALL_RO", "fcall_ro", "pre", "'f', null, ['x', 'y'], 'strtoupper'", "FCALL_RO f 0 x y"},
    {"fcall bad handler", "FCALL", "fcall", "plain", "'f', [], [], 'no_such_function'",
     "#TypeError: Kelvo\\Kelvo::fcall(): Argument #4 ($handler) must be a valid callback or null, function "
     "\"no_such_function\" not found or invalid function name"},
    /* SORT, RESTORE */
    {"sort options in order", "SORT", "sort", "pre", "'l', ['LIMIT' => [0, 10], 'ALPHA' => true, 'SORT' => 'desc']",
     "SORT p:l LIMIT 0 10 ALPHA desc"},
    {"sort alpha false", "SORT", "sort", "plain", "'l', ['alpha' => false]", "SORT l"},
    {"sort by store unprefixed", "SORT", "sort", "pre", "'l', ['by' => 'weight_*', 'STORE' => 'dst']",
     "SORT p:l by weight_* STORE dst"},
    {"sort get list", "SORT_RO", "sort_ro", "plain", "'l', ['GET' => ['#', 'data_*']]", "SORT_RO l GET # GET data_*"},
    {"sort get twice", "SORT", "sort", "plain", "'l', ['get' => 'a', 'GET' => 'b', 5 => 'x', 'LIMIT' => [1]]",
     "SORT l GET a GET b"},
    {"sort limit texts", "SORT", "sort", "plain", "'l', ['limit' => ['2', 3.9]]", "SORT l LIMIT 2 3"},
    {"restore flags", "RESTORE", "restore", "pre", "'k', 0, 'payload', ['REPLACE', 'absttl']",
     "RESTORE p:k 0 payload REPLACE ABSTTL"},
    {"restore fixed order", "RESTORE", "restore", "plain",
     "'k', 5, 'p', ['frequency' => 5, 'IDLETIME' => 0, 'replace' => true, 'absttl' => 0]",
     "RESTORE k 5 p REPLACE FREQUENCY 5"},
    {"restore idletime", "RESTORE", "restore", "php", "'k', 5, 'p', ['idletime' => '7']", "RESTORE k 5 p IDLETIME 7"},

    /* pops with counts, MOVE, VRANDMEMBER, ZRANK, BITPOS, GCRA */
    {"lpop one", "LPOP", "lpop", "pre", "'l', 1", "LPOP p:l"},
    {"lpop two", "LPOP", "lpop", "plain", "'l', 2", "LPOP l 2"},
    {"lpop zero", "LPOP", "lpop", "plain", "'l', 0", "!Count cannot be < 1"},
    {"rpop", "RPOP", "rpop", "plain", "'l'", "RPOP l"},
    {"spop one", "SPOP", "spop", "plain", "'s', 1", "SPOP s 1"},
    {"spop", "SPOP", "spop", "plain", "'s'", "SPOP s"},
    {"zpopmin negative", "ZPOPMIN", "zpopmin", "plain", "'z', -1", "ZPOPMIN z -1"},
    {"move", "MOVE", "move", "pre", "'k', 3", "MOVE p:k 3"},
    {"move without db", "MOVE", "move", "plain", "'k'",
     "#ArgumentCountError: Kelvo\\Kelvo::move() expects exactly 2 arguments, 1 given"},
    {"vrandmember zero", "VRANDMEMBER", "vrandmember", "plain", "'v', 0", "VRANDMEMBER v"},
    {"vrandmember negative", "VRANDMEMBER", "vrandmember", "plain", "'v', -3", "VRANDMEMBER v -3"},
    {"zrank withscore packed", "ZRANK", "zrank", "php", "'z', [1], true", "ZRANK z {$c->_pack([1])} WITHSCORE"},
    {"zrevrank", "ZREVRANK", "zrevrank", "pre", "'z', 'm', false", "ZREVRANK p:z m"},
    {"bitpos bit two", "BITPOS", "bitpos", "plain", "'b', 2", "!"},
    {"bitpos bit negative", "BITPOS", "bitpos", "plain", "'b', -1", "!"},
    {"bitpos bybit", "BITPOS", "bitpos", "plain", "'b', 1, 0, -1, true", "BITPOS b 1 0 -1 BIT"},
    {"bitpos byte range", "BITPOS", "bitpos", "plain", "'b', 1, 0, -1, false", "BITPOS b 1 0 -1"},
    {"bitpos start", "BITPOS", "bitpos", "pre", "'b', 0, 5", "BITPOS p:b 0 5"},
    {"gcra", "GCRA", "gcra", "plain", "'g', 10, 5, 60", "GCRA g 10 5 60"},
    {"gcra negative tokens", "GCRA", "gcra", "plain", "'g', 10, 5, 60, -2", "GCRA g 10 5 60"},
    {"gcra tokens", "GCRA", "gcra", "pre", "'g', 10, 5, 60, 5", "GCRA p:g 10 5 60 TOKENS 5"},

    /* list moves, LINSERT, SETEX */
    {"lmove", "LMOVE", "lmove", "pre", "'a', 'b', 'left', 'Right'", "LMOVE p:a p:b left Right"},
    {"lmove bad from", "LMOVE", "lmove", "plain", "'a', 'b', 'UP', 'down'",
     "!Wherefrom argument must be either 'LEFT' or 'RIGHT'"},
    {"lmove bad to", "LMOVE", "lmove", "plain", "'a', 'b', 'LEFT', 'down'",
     "!Whereto argument must be either 'LEFT' or 'RIGHT'"},
    {"blmove zero", "BLMOVE", "blmove", "plain", "'a', 'b', 'LEFT', 'LEFT', 0", "BLMOVE a b LEFT LEFT 0"},
    {"blmove fraction", "BLMOVE", "blmove", "plain", "'a', 'b', 'LEFT', 'LEFT', 0.1",
     "BLMOVE a b LEFT LEFT 0.10000000000000001"},
    {"blmove negative", "BLMOVE", "blmove", "plain", "'a', 'b', 'LEFT', 'LEFT', -0.5", "!Timeout cannot be negative"},
    {"lmovem count", "LMOVEM", "lmovem", "pre", "'a', 'b', 'LEFT', 'RIGHT', ['count' => [3, 'obo']]",
     "LMOVEM p:a p:b LEFT RIGHT COUNT 3 OBO"},
    {"lmovem exactly", "LMOVEM", "lmovem", "plain", "'a', 'b', 'left', 'right', ['EXACTLY' => [2, 'bulk']]",
     "LMOVEM a b left right EXACTLY 2 BULK"},
    {"lmovem none", "LMOVEM", "lmovem", "plain", "'a', 'b', 'LEFT', 'RIGHT', []", "LMOVEM a b LEFT RIGHT"},
    {"lmovem both", "LMOVEM", "lmovem", "plain",
     "'a', 'b', 'LEFT', 'RIGHT', ['COUNT' => [3, 'OBO'], 'EXACTLY' => [1, 'BULK']]",
     "!Only one of COUNT or EXACTLY may be specified"},
    {"lmovem list", "LMOVEM", "lmovem", "plain", "'a', 'b', 'LEFT', 'RIGHT', [[3, 'OBO']]",
     "!LMOVEM options must use COUNT or EXACTLY as a key"},
    {"lmovem unknown", "LMOVEM", "lmovem", "plain", "'a', 'b', 'LEFT', 'RIGHT', ['Amount' => [3, 'OBO']]",
     "!Unknown LMOVEM option 'Amount'"},
    {"lmovem not pair", "LMOVEM", "lmovem", "plain", "'a', 'b', 'LEFT', 'RIGHT', ['count' => 3]",
     "!count must be an array containing a count and OBO or BULK"},
    {"lmovem not list", "LMOVEM", "lmovem", "plain", "'a', 'b', 'LEFT', 'RIGHT', ['COUNT' => ['a' => 3, 'b' => 'OBO']]",
     "!COUNT must be a list containing a count and OBO or BULK"},
    {"lmovem zero count", "LMOVEM", "lmovem", "plain", "'a', 'b', 'LEFT', 'RIGHT', ['COUNT' => [0, 'OBO']]",
     "!COUNT count must be a positive integer"},
    {"lmovem bad mode", "LMOVEM", "lmovem", "plain", "'a', 'b', 'LEFT', 'RIGHT', ['COUNT' => [1, 'ALL']]",
     "!COUNT mode must be OBO or BULK"},
    {"lmovem bad from", "LMOVEM", "lmovem", "plain", "'a', 'b', 'UP', 'RIGHT'",
     "!from argument must be either 'LEFT' or 'RIGHT'"},
    {"blmovem", "BLMOVEM", "blmovem", "plain", "'a', 'b', 'LEFT', 'LEFT', 1.5", "BLMOVEM a b LEFT LEFT 1.5"},
    {"blmovem negative", "BLMOVEM", "blmovem", "plain", "'a', 'b', 'LEFT', 'LEFT', -1", "!Timeout cannot be negative"},
    {"linsert", "LINSERT", "linsert", "php", "'k', 'BEFORE', 'p', [1]",
     "LINSERT k BEFORE {$c->_pack('p')} {$c->_pack([1])}"},
    {"linsert bad position", "LINSERT", "linsert", "plain", "'k', 'between', 'p', 'e'",
     "!LINSERT operation can only be 'before' or 'after'"},
    {"setex", "SETEX", "setex", "pre", "'k', -1, 'v'", "SETEX p:k -1 v"},
    {"psetex packed", "PSETEX", "psetex", "php", "'k', 100, [1]", "PSETEX k 100 {$c->_pack([1])}"},

    /* scans */
    {"scan new", "SCAN", "scan", "plain", "null", "SCAN 0"},
    {"scan every option", "SCAN", "scan", "pre", "17, 'user:*', 5, 'hash'", "SCAN 17 MATCH user:* COUNT 5 TYPE hash"},
    {"scan match prefixed", "SCAN", "scan", "spre", "17, 'user:*'", "SCAN 17 MATCH p:user:*"},
    {"scan negative count", "SCAN", "scan", "plain", "'x', null, -3", "SCAN 0 COUNT -3"},
    {"scan high cursor", "SCAN", "scan", "plain", "-5", "SCAN 18446744073709551611"},
    {"hscan", "HSCAN", "hscan", "spre", "'h', 3, 'f*', 0", "HSCAN p:h 3 MATCH p:f*"},
    {"zscan lowest count", "ZSCAN", "zscan", "plain", "'z', 1, null, PHP_INT_MIN",
     "ZSCAN z 1 COUNT -9223372036854775808"},
};

INSTANTIATE_TEST_SUITE_P(Server, Builders, testing::ValuesIn(serverRows), rowName);

/* Hash fields, sorted sets, bit fields and sketches, small multi-key commands, geo. */
const Row familyRows[] = {
    /* hash fields */
    {"hset array", "HSET", "hset", "pre", "'h', ['f' => 'v', 5 => 'w']", "HSET p:h f v 5 w"},
    {"hset pairs packed", "HSET", "hset", "php", "'h', 'f', 'v', 7, [1]",
     "HSET h f {$c->_pack('v')} 7 {$c->_pack([1])}"},
    {"hset odd pairs", "HSET", "hset", "plain", "'h', 'f', 'v', 'g'", "!Must have an even number of fields and values"},
    {"hset field alone", "HSET", "hset", "plain", "'h', 'f'", "!Must pass array with at least one key and value"},
    {"hset empty array", "HSET", "hset", "plain", "'h', []", "!Must pass array with at least one key and value"},
    {"hset array field", "HSET", "hset", "plain", "'h', ['f'], 'v'", "!Field names must be strings or numbers"},
    {"hset object field", "HSET", "hset", "plain", "'h', new stdClass, 'v'",
     "#Error: Object of class stdClass could not be converted to string"},
    {"hset object field text", "HSET", "hset", "plain", "'h', new Txt, 'v'", "HSET h txt v"},
    {"hset value refused", "HSET", "hset", "json", "'h', ['f' => NAN]",
     "!Failed to serialize the value with the json serializer: Inf and NaN cannot be JSON encoded"},
    {"hsetnx", "HSETNX", "hsetnx", "php", "'h', 'f', [1]", "HSETNX h f {$c->_pack([1])}"},
    {"hsetnx field array", "HSETNX", "hsetnx", "plain", "'h', ['f'], 'v'",
     "#TypeError: Kelvo\\Kelvo::hsetnx(): Argument #2 ($field) must be of type string, array given"},
    {"hmset list", "HMSET", "hmset", "num", "'h', ['x', 2]", "HMSET h 0 {$c->_pack('x')} 1 2"},
    {"hmset empty", "HMSET", "hmset", "pre", "'h', []", "HMSET p:h"},
    {"hsetex seconds", "HSETEX", "hsetex", "pre", "'h', ['a' => 1], 10", "HSETEX p:h EX 10 FIELDS 1 a 1"},
    {"hsetex float", "HSETEX", "hsetex", "plain", "'h', ['a' => 1], 1.5", "HSETEX h PX 1500 FIELDS 1 a 1"},
    {"hsetex numeric text", "HSETEX", "hsetex", "plain", "'h', ['a' => 1], '3600'", "HSETEX h EX 3600 FIELDS 1 a 1"},
    {"hsetex none", "HSETEX", "hsetex", "plain", "'h', ['x', 'y'], null", "HSETEX h FIELDS 2 0 x 1 y"},
    {"hsetex packed", "HSETEX", "hsetex", "php", "'h', [-1 => [1]], ['FXX', 'KEEPTTL']",
     "HSETEX h FXX KEEPTTL FIELDS 1 -1 {$c->_pack([1])}"},
    {"hsetex nx ignored", "HSETEX", "hsetex", "plain", "'h', ['a' => 1], ['NX', 'EX' => 5]",
     "HSETEX h EX 5 FIELDS 1 a 1"},
    {"hsetex persist", "HSETEX", "hsetex", "plain", "'h', ['a' => 1], 'persist'",
     "!PERSIST is not valid for this command."},
    {"hsetex keepttl and expiry", "HSETEX", "hsetex", "plain", "'h', ['a' => 1], ['KEEPTTL', 'EX' => 5]",
     "!Cannot specify both expiry and KEEPTTL"},
    {"hsetex negative", "HSETEX", "hsetex", "plain", "'h', ['a' => 1], -1",
     "!Timeout must be >= 0 and <= 9223372036854775807"},
    {"hsetex word", "HSETEX", "hsetex", "plain", "'h', ['a' => 1], 'soon'",
     "!Timeout must be >= 0 and <= 9223372036854775807"},
    {"hsetex no fields", "HSETEX", "hsetex", "plain", "'h', []", "!Must pass at least one field and value"},
    {"hgetex persist", "HGETEX", "hgetex", "plain", "'h', ['f1', 'f2'], 'PERSIST'", "HGETEX h PERSIST FIELDS 2 f1 f2"},
    {"hgetex options", "HGETEX", "hgetex", "pre", "'h', [10 => 'f1'], ['EX' => 5, 'GET']",
     "HGETEX p:h EX 5 FIELDS 1 f1"},
    {"hgetex bad expiry", "HGETEX", "hgetex", "plain", "'h', ['f'], -1",
     "!Timeout must be >= 0 and <= 9223372036854775807"},
    {"hgetex no fields", "HGETEX", "hgetex", "plain", "'h', []", "!Must pass at least one field"},
    {"hgetex array field", "HGETEX", "hgetex", "plain", "'h', [['f']]", "!Field names must be strings or numbers"},
    {"hgetdel", "HGETDEL", "hgetdel", "php", "'h', [10 => 'a', 5, 1.5]", "HGETDEL h FIELDS 3 a 5 1.5"},
    {"hgetdel no fields", "HGETDEL", "hgetdel", "plain", "'h', []", "!Must pass at least one field"},
    {"httl", "HTTL", "httl", "pre", "'h', ['f']", "HTTL p:h FIELDS 1 f"},
    {"hpersist no fields", "HPERSIST", "hpersist", "plain", "'h', []", "!Must pass at least one field"},
    {"hexpire mode", "HEXPIRE", "hexpire", "pre", "'h', 60, ['f'], 'NX'", "HEXPIRE p:h 60 NX FIELDS 1 f"},
    {"hexpire null mode", "HEXPIRE", "hexpire", "plain", "'h', 60, ['f'], null", "HEXPIRE h 60 FIELDS 1 f"},
    {"hpexpireat", "HPEXPIREAT", "hpexpireat", "plain", "'h', 1700000000000, ['f', 'g']",
     "HPEXPIREAT h 1700000000000 FIELDS 2 f g"},
    {"hexpire no fields", "HEXPIRE", "hexpire", "plain", "'h', 60, []", "!Must pass at least one field"},
    {"hexpire ttl text", "HEXPIRE", "hexpire", "plain", "'h', 'soon', ['f']",
     "#TypeError: Kelvo\\Kelvo::hexpire(): Argument #2 ($ttl) must be of type int, string given"},

    /* sorted sets */
    {"zinter", "ZINTER", "zinter", "pre", "['a', 'b']", "ZINTER 2 p:a p:b", 0, "", 0},
    {"zinter withscores word", "ZINTER", "zinter", "plain", "['a', 'b'], null, 'withscores'", "ZINTER 2 a b WITHSCORES",
     0, "", 1},
    {"zinter options", "ZINTER", "zinter", "plain",
     "['a', 'b'], [1, 2.5], ['aggregate' => 'max', 'withscores' => true]",
     "ZINTER 2 a b WEIGHTS 1 2.5 AGGREGATE MAX WITHSCORES", 0, "", 1},
    {"zinter withscores false", "ZINTER", "zinter", "plain", "['a'], null, ['withscores' => false]", "ZINTER 1 a", 0,
     "", 0},
    {"zinter weights parsed", "ZINTER", "zinter", "plain", "['a', 'b', 'c', 'd'], [' 3', '1.5', 'inf', 0.1]",
     "ZINTER 4 a b c d WEIGHTS 3 1.5 inf 0.10000000000000001"},
    {"zinter weight text", "ZINTER", "zinter", "plain", "['a'], ['x']",
     "!Weights must be numeric or '-inf', 'inf', '+inf'"},
    {"zinter weight null", "ZINTER", "zinter", "plain", "['a'], [null]",
     "!Weights must be numeric or '-inf', 'inf', '+inf'"},
    {"zinter weights short", "ZINTER", "zinter", "plain", "['a', 'b'], [1]",
     "!WEIGHTS and keys array must be the same size"},
    {"zinter weights empty", "ZINTER", "zinter", "plain", "['a'], []", "!WEIGHTS and keys array must be the same size"},
    {"zinter bogus aggregate", "ZINTER", "zinter", "plain",
     "['a'], null, ['aggregate' => 'sum', 'AGGREGATE' => 'bogus']", "ZINTER 1 a"},
    {"zinter no keys", "ZINTER", "zinter", "plain", "[]", "!"},
    {"zunionstore", "ZUNIONSTORE", "zunionstore", "pre", "'dst', ['a'], ['-INF'], 'min'",
     "ZUNIONSTORE p:dst 1 p:a WEIGHTS -INF AGGREGATE MIN", 0, "", 0},
    {"zunionstore no scores", "ZUNIONSTORE", "zunionstore", "plain",
     "'dst', ['a'], null, ['withscores' => true, 'WITHSCORES']", "ZUNIONSTORE dst 1 a", 0, "", 0},
    {"zadd", "ZADD", "zadd", "php", "'k', 1, 'a', '2.5', 'b'", "ZADD k 1 {$c->_pack('a')} 2.5 {$c->_pack('b')}"},
    {"zadd options ordered", "ZADD", "zadd", "pre", "'k', ['gt', 'ch', 'nx'], 1, 'a'", "ZADD p:k NX GT CH 1 a"},
    {"zadd options by reference", "ZADD", "zadd", "plain",
     "'k', (function () { $o = ['xx', 'incr']; foreach ($o as &$v) {} return $o; })(), 1, 'a'", "ZADD k XX INCR 1 a"},
    {"zadd scores parsed", "ZADD", "zadd", "plain", "'k', ' 5', 'a', '-INF', 'b', 0.1, 'c', '1e3', 'd'",
     "ZADD k 5 a -INF b 0.10000000000000001 c 1000 d"},
    {"zadd score text", "ZADD", "zadd", "plain", "'k', 'abc', 'a'", "!Scores must be numeric, '-inf', or '+inf'"},
    {"zadd score null", "ZADD", "zadd", "plain", "'k', 1, 'a', null, 'b'",
     "!Scores must be numeric, '-inf', or '+inf'"},
    {"zadd options not array", "ZADD", "zadd", "plain", "'k', 1, 'a', 2", "!"},
    {"zdiff withscores false", "ZDIFF", "zdiff", "plain", "['a', 'b'], ['withscores' => false]", "ZDIFF 2 a b", 0, "",
     0},
    {"zdiff bare withscores", "ZDIFF", "zdiff", "pre", "['a', 'b'], ['withscores']", "ZDIFF 2 p:a p:b WITHSCORES", 0,
     "", 1},
    {"zdiff keys unpacked", "ZDIFF", "zdiff", "php", "['a', 5]", "ZDIFF 2 a 5", 0, "", 0},
    {"zdiff no keys", "ZDIFF", "zdiff", "plain", "[]", "!"},
    {"zdiffstore", "ZDIFFSTORE", "zdiffstore", "pre", "'d', ['a']", "ZDIFFSTORE p:d 1 p:a", 0, "", 0},
    {"zrangestore", "ZRANGESTORE", "zrangestore", "pre", "'dst', 'src', '0', '10', null",
     "ZRANGESTORE p:dst p:src 0 10"},
    {"zrangestore options", "ZRANGESTORE", "zrangestore", "pre",
     "'dst', 'src', '0', '10', ['BYSCORE', 'REV', 'LIMIT' => [0, 5]]",
     "ZRANGESTORE p:dst p:src 0 10 BYSCORE REV LIMIT 0 5"},
    {"zrangestore lex, scores passed over", "ZRANGESTORE", "zrangestore", "plain",
     "'dst', 'src', '[a', '+', ['withscores', 'WITHSCORES' => true, 'bylex', 'limit' => ['1', 2.9]]",
     "ZRANGESTORE dst src [a + BYLEX LIMIT 1 2"},
    {"zrangestore options not an array", "ZRANGESTORE", "zrangestore", "plain", "'dst', 'src', '0', '-1', 'BYSCORE'",
     "ZRANGESTORE dst src 0 -1"},
    {"zrangestore malformed LIMIT", "ZRANGESTORE", "zrangestore", "plain",
     "'dst', 'src', '0', '10', ['LIMIT' => [1], 'BYSCORE']", "ZRANGESTORE dst src 0 10 BYSCORE", 0,
     "LIMIT array must be an array with two elements"},
    {"zrangebylex four", "ZRANGEBYLEX", "zrangebylex", "plain", "'k', '-', '+', 0",
     "!Must pass either 3 or 5 arguments"},
    {"zrangebylex limit", "ZRANGEBYLEX", "zrangebylex", "pre", "'k', '-', '+', 0, 10",
     "ZRANGEBYLEX p:k - + LIMIT 0 10"},
    {"zrangebylex default offset", "ZRANGEBYLEX", "zrangebylex", "plain", "'k', '-', '+', -1, 5",
     "ZRANGEBYLEX k - + LIMIT 0 5"},
    {"zrevrangebylex", "ZREVRANGEBYLEX", "zrevrangebylex", "plain", "'k', '+', '[a'", "ZREVRANGEBYLEX k + [a"},
    {"zlexcount", "ZLEXCOUNT", "zlexcount", "pre", "'k', '[a', '(z'", "ZLEXCOUNT p:k [a (z"},
    {"zlexcount bad bound", "ZLEXCOUNT", "zlexcount", "plain", "'k', 'a', '+'",
     "!Min/Max args can be '-' or '+', or start with '[' or '('"},
    {"zremrangebylex empty bound", "ZREMRANGEBYLEX", "zremrangebylex", "plain", "'k', '', '-'",
     "ZREMRANGEBYLEX k {''} -"},
    {"zrandmember scores", "ZRANDMEMBER", "zrandmember", "plain", "'k', ['withscores' => true]",
     "ZRANDMEMBER k 1 WITHSCORES", 0, "", 1},
    {"zrandmember count", "ZRANDMEMBER", "zrandmember", "pre", "'k', ['COUNT' => -3]", "ZRANDMEMBER p:k -3", 0, "", 0},
    {"zrandmember zero", "ZRANDMEMBER", "zrandmember", "plain", "'k', ['count' => 0]", "ZRANDMEMBER k", 0, "", 0},

    /* bit fields, sketches, small multi-key commands */
    {"bitfield get", "BITFIELD", "bitfield", "pre", "'k', 'get', 'u16', 0", "BITFIELD p:k get u16 0", 0, "", 0},
    {"bitfield set", "BITFIELD", "bitfield", "php", "'k', 'SET', 'i8', '#1', 5", "BITFIELD k SET i8 #1 5", 0, "", 1},
    {"bitfield overflow", "BITFIELD", "bitfield", "plain", "'k', 'OVERFLOW', 'sat', 'INCRBY', 'u2', 102, 1",
     "BITFIELD k OVERFLOW sat INCRBY u2 102 1", 0, "", 1},
    {"bitfield key alone", "BITFIELD", "bitfield", "plain", "'k'", "BITFIELD k", 0, "", 0},
    {"bitfield value text", "BITFIELD", "bitfield", "plain", "'k', 'SET', 'i8', 0, '5'", "!Invalid value"},
    {"bitfield incrby short", "BITFIELD", "bitfield", "plain", "'k', 'incrby', 'u4', 0",
     "!incrby subcommand requires 3 arguments"},
    {"bitfield get short", "BITFIELD", "bitfield", "plain", "'k', 'GET', 'u8'", "!GET subcommand requires 2 arguments"},
    {"bitfield encoding", "BITFIELD", "bitfield", "plain", "'k', 'GET', 8, 0", "!Invalid encoding"},
    {"bitfield offset", "BITFIELD", "bitfield", "plain", "'k', 'GET', 'u8', 1.5", "!Invalid offset"},
    {"bitfield overflow alone", "BITFIELD", "bitfield", "plain", "'k', 'OVERFLOW', 'SAT'",
     "!OVERFLOW subcommand must be used with SET or INCRBY"},
    {"bitfield overflow short", "BITFIELD", "bitfield", "plain", "'k', 'OVERFLOW'",
     "!OVERFLOW subcommand requires 1 argument"},
    {"bitfield overflow mode", "BITFIELD", "bitfield", "plain", "'k', 'OVERFLOW', 'up', 'GET', 'u8', 0",
     "!Invalid value"},
    {"bitfield unknown", "BITFIELD", "bitfield", "plain", "'k', 'FOO'", "!Unexpected subcommand 'FOO'"},
    {"bitfield not string", "BITFIELD", "bitfield", "plain", "'k', 1", "!Subcommand argument must be string"},
    {"cmsincrby", "CMS.INCRBY", "cmsIncrBy", "lz4", "'k', 'a', 1, 'b', '2'",
     "CMS.INCRBY k {$c->_pack('a')} 1 {$c->_pack('b')} 2"},
    {"cmsincrby odd", "CMS.INCRBY", "cmsIncrBy", "plain", "'k', 'a', 1, 'b'", "!Must pass field/value pairs"},
    {"cmsincrby increment text", "CMS.INCRBY", "cmsIncrBy", "plain", "'k', 'a', 1, 'b', 'x'",
     "#TypeError: Kelvo\\Kelvo::cmsIncrBy(): Argument #5 must be of type int, string given"},
    {"cmsmerge", "CMS.MERGE", "cmsMerge", "pre", "'dst', ['a', 'b'], [1, '2.5']",
     "CMS.MERGE p:dst 2 p:a p:b WEIGHTS 1 2.5"},
    {"cmsmerge weights short", "CMS.MERGE", "cmsMerge", "plain", "'dst', ['a', 'b'], [1]",
     "!Must be the same number of keys and weights"},
    {"cmsmerge no keys", "CMS.MERGE", "cmsMerge", "plain", "'dst', []", "!Must pass at least one key"},
    {"cmsmerge weight text", "CMS.MERGE", "cmsMerge", "plain", "'dst', ['a'], ['x']", "!Weights must be numeric"},
    {"pfmerge", "PFMERGE", "pfmerge", "pre", "'d', ['a', 'b']", "PFMERGE p:d p:a p:b"},
    {"pfmerge none", "PFMERGE", "pfmerge", "plain", "'d', []", "PFMERGE d"},
    {"lcs later wins", "LCS", "lcs", "pre", "'a', 'b', ['idx' => true, 'len' => true]", "LCS p:a p:b LEN"},
    {"lcs words", "LCS", "lcs", "plain", "'a', 'b', ['LEN', 'IDX', 'minmatchlen' => 4, 'withmatchlen' => 1]",
     "LCS a b IDX MINMATCHLEN 4 WITHMATCHLEN"},
    {"lcs no minimum", "LCS", "lcs", "plain", "'a', 'b', ['minmatchlen' => 0]", "LCS a b"},
    {"lcs unknown", "LCS", "lcs", "plain", "'a', 'b', ['foo' => 1]", "!Unknown LCS option 'foo'"},
    {"smove", "SMOVE", "smove", "php", "'s', 'd', [1]", "SMOVE s d {$c->_pack([1])}"},
    {"lrem", "LREM", "lrem", "php", "'k', 'v'", "LREM k 0 {$c->_pack('v')}"},
    {"lrem count", "LREM", "lrem", "pre", "'k', 'v', -2", "LREM p:k -2 v"},

    /* geo */
    {"geoadd digits", "GEOADD", "geoadd", "plain", "'k', 13.361389, 38.115556, 'p'",
     "GEOADD k 13.361389000000001 38.115555999999998 p"},
    {"geoadd packed", "GEOADD", "geoadd", "php", "'k', 1, 2, 'a', '13.5', ' 4', 'b'",
     "GEOADD k 1 2 {$c->_pack('a')} 13.5 4 {$c->_pack('b')}"},
    {"geoadd options", "GEOADD", "geoadd", "pre", "'k', 1, 2, 'p', ['xx', 'ch']", "GEOADD p:k xx CH 1 2 p"},
    {"geoadd last condition", "GEOADD", "geoadd", "plain", "'k', 1, 2, 'p', ['NX', 'XX']", "GEOADD k XX 1 2 p"},
    {"geoadd count", "GEOADD", "geoadd", "plain", "'k', 1, 2, 'p', 3, 4",
     "#ArgumentCountError: Wrong parameter count for Kelvo\\Kelvo::geoadd()"},
    {"geoadd trailing text", "GEOADD", "geoadd", "plain", "'k', 1, 2, 'p', 'x'",
     "#TypeError: Kelvo\\Kelvo::geoadd(): Argument #5 must be of type array, string given"},
    {"geoadd coordinate text", "GEOADD", "geoadd", "plain", "'k', 'east', 2, 'p'",
     "#TypeError: Kelvo\\Kelvo::geoadd(): Argument #2 ($lng) must be of type float, string given"},
    {"geodist packed", "GEODIST", "geodist", "php", "'k', 'a', 'b', null",
     "GEODIST k {$c->_pack('a')} {$c->_pack('b')}"},
    {"geodist unit", "GEODIST", "geodist", "pre", "'k', 'a', 'b', 'km'", "GEODIST p:k a b km"},
    {"georadius options", "GEORADIUS", "georadius", "plain",
     "'k', 15, 37, 200, 'km', ['WITHDIST', 'COUNT' => [3, true], 'desc']",
     "GEORADIUS k 15 37 200 km WITHDIST desc COUNT 3 ANY"},
    {"georadius digits", "GEORADIUS_RO", "georadius_ro", "plain", "'k', 0.1, 37, 1.5, 'km'",
     "GEORADIUS_RO k 0.10000000000000001 37 1.5 km"},
    {"georadius count short", "GEORADIUS", "georadius", "plain", "'k', 15, 37, 200, 'km', ['COUNT' => [3]]",
     "!Invalid COUNT value"},
    {"georadius count zero", "GEORADIUS", "georadius", "plain", "'k', 15, 37, 200, 'km', ['COUNT' => 0]",
     "!Invalid COUNT value"},
    {"georadius store", "GEORADIUS", "georadius", "pre", "'k', 15, 37, 200, 'km', ['store' => 'dst']",
     "GEORADIUS p:k 15 37 200 km store p:dst"},
    {"georadius store with details", "GEORADIUS", "georadius", "plain",
     "'k', 15, 37, 200, 'km', ['STORE' => 'dst', 'WITHCOORD']",
     "!STORE[DIST] is not compatible with WITHCCOORD, WITHDIST, or WITHHASH"},
    {"georadius store array", "GEORADIUS", "georadius", "plain", "'k', 15, 37, 200, 'km', ['storedist' => ['x']]",
     "!The storedist key must be a string"},
    {"georadiusbymember", "GEORADIUSBYMEMBER", "georadiusbymember", "php",
     "'k', 'm', 200, 'km', ['STORE' => 'dst', 'WITHCOORD']",
     "GEORADIUSBYMEMBER k {$c->_pack('m')} 200 km WITHCOORD STORE dst"},
    {"geosearch member", "GEOSEARCH", "geosearch", "php", "'k', 'm', 100, 'km'",
     "GEOSEARCH k FROMMEMBER {$c->_pack('m')} BYRADIUS 100 km", 0, "", 0},
    {"geosearch box", "GEOSEARCH", "geosearch", "pre", "'k', [15, 37], [400, 400], 'km', ['WITHHASH', 'store' => 'x']",
     "GEOSEARCH p:k FROMLONLAT 15 37 BYBOX 400 400 km WITHHASH", 0, "", 1},
    {"geosearch polygon", "GEOSEARCH", "geosearch", "plain", "'k', 'm', [1, 2, 3, 4, 5, 6, 7, 8.5], 'km'",
     "GEOSEARCH k BYPOLYGON 4 1 2 3 4 5 6 7 8.5"},
    {"geosearch polygon odd", "GEOSEARCH", "geosearch", "plain", "'k', 'm', [1, 2, 3, 4, 5, 6, 7], 'km'",
     "!shape array must contain either 2 elements (for BYBOX) or at least 6 elements (for BYPOLYGON)"},
    {"geosearch polygon short", "GEOSEARCH", "geosearch", "plain", "'k', 'm', [1, 2, 3, 4], 'km'",
     "!shape array must contain either 2 elements (for BYBOX) or at least 6 elements (for BYPOLYGON)"},
    {"geosearch position short", "GEOSEARCH", "geosearch", "plain", "'k', [15], 100, 'km'",
     "!position array must contain two elements"},
    {"geosearch position words", "GEOSEARCH", "geosearch", "plain", "'k', ['a', 'b'], 100, 'km'",
     "!position array must contain numbers"},
    {"geosearch box words", "GEOSEARCH", "geosearch", "plain", "'k', 'm', ['x', 1], 'km'",
     "!shape array must contain numbers"},
    {"geosearch numeric texts", "GEOSEARCH", "geosearch", "plain", "'k', 100, '100', 'km'",
     "GEOSEARCH k FROMMEMBER 100 BYRADIUS 100 km"},
    {"geosearch null position", "GEOSEARCH", "geosearch", "plain", "'k', null, 5, 'km'",
     "GEOSEARCH k FROMMEMBER {''} BYRADIUS 5 km", 0,
     "Passing null to parameter #2 ($position) of type array|string is deprecated"},
    {"geosearch null shape", "GEOSEARCH", "geosearch", "plain", "'k', 'm', null, 'km'",
     "#TypeError: Kelvo\\Kelvo::geosearch(): Argument #3 ($shape) must be of type array|int|float, null given"},
    {"geosearch object shape", "GEOSEARCH", "geosearch", "plain", "'k', 'm', new stdClass, 'km'",
     "#TypeError: Kelvo\\Kelvo::geosearch(): Argument #3 ($shape) must be of type array|int|float, stdClass given"},
    {"geosearchstore", "GEOSEARCHSTORE", "geosearchstore", "plain",
     "'d', 's', [15, 37], 300, 'km', ['COUNT' => [5, true], 'STOREDIST', 'WITHDIST']",
     "GEOSEARCHSTORE d s FROMLONLAT 15 37 BYRADIUS 300 km COUNT 5 STOREDIST"},
    {"geosearchstore position unchecked", "GEOSEARCHSTORE", "geosearchstore", "pre", "'d', 's', [15], 100, 'km'",
     "GEOSEARCHSTORE p:d p:s FROMLONLAT 15 BYRADIUS 100 km"},
    {"geosearchstore polygon", "GEOSEARCHSTORE", "geosearchstore", "plain",
     "'d', 's', 'm', [1, 2, 3, 4, 5, 6], 'km', ['ASC']", "GEOSEARCHSTORE d s BYPOLYGON 3 1 2 3 4 5 6 ASC"},
};

INSTANTIATE_TEST_SUITE_P(Families, Builders, testing::ValuesIn(familyRows), rowName);

/* The field-list forms tell the later roles where their fields start, past any expiry words. */
TEST(BuildersUserdata, FieldListsRecordWhereTheFieldsStart)
{
    makeClients();
    const struct {
        const char *method;
        int cmd;
        const char *args;
        uint64_t first;
    } cases[] = {
        {"hgetdel", REDIS_CMD_HGETDEL, "'h', ['f', 'g']", 4},
        {"hgetex", REDIS_CMD_HGETEX, "'h', ['f'], 10", 6},
        {"hgetex", REDIS_CMD_HGETEX, "'h', ['f'], 'PERSIST'", 5},
        {"hgetex", REDIS_CMD_HGETEX, "'h', ['f']", 4},
    };
    for (const auto &c : cases) {
        zval args;
        evalList("pre", c.args, &args);
        Built built = kelvo_test::callBuilder(client("pre"), c.method, c.cmd, &args);
        zval_ptr_dtor(&args);
        ASSERT_EQ(built.rc, 0) << c.method << "(" << c.args << ")";
        EXPECT_EQ(built.udkind, KELVO_REQ_DATA_NUMBER);
        EXPECT_EQ(built.udnumber, c.first) << c.method << "(" << c.args << ")";
        EXPECT_EQ(built.words[1], "p:h");
        EXPECT_EQ(built.words[c.first], "f");
    }
}

/* Stream entries and consumer groups, vector sets. */
const Row streamVectorRows[] = {
    /* XADD, XRANGE, XTRIM, XDEL, XDELEX, XREAD */
    {"xadd", "XADD", "xadd", "php", "'s', '*', ['a' => 1, 5 => 'x']", "XADD s * a {$c->_pack(1)} 5 {$c->_pack('x')}",
     RAW_SINGLE},
    {"xadd list fields", "XADD", "xadd", "pre", "'s', '*', ['x', 'y']", "XADD p:s * 0 x 1 y", RAW_SINGLE},
    {"xadd negative field", "XADD", "xadd", "plain", "'s', '1-1', [-1 => 'x']", "XADD s 1-1 -1 x", RAW_SINGLE},
    {"xadd trimming", "XADD", "xadd", "plain", "'s', '*', ['a' => 'b'], 100, true, true",
     "XADD s NOMKSTREAM MAXLEN ~ 100 * a b", RAW_SINGLE},
    {"xadd exact maxlen", "XADD", "xadd", "plain", "'s', '*', ['a' => 'b'], 5", "XADD s MAXLEN 5 * a b", RAW_SINGLE},
    {"xadd referenced value", "XADD", "xadd", "php", "'s', '*', (function () { $v = 'x'; return ['f' => &$v]; })()",
     "XADD s * f {$c->_pack('x')}", RAW_SINGLE},
    {"xadd approx without maxlen", "XADD", "xadd", "plain", "'s', '*', ['a' => 'b'], 0, true",
     "!Invalid MAXLEN argument or approximate flag"},
    {"xadd negative maxlen", "XADD", "xadd", "plain", "'s', '*', ['a' => 'b'], -1",
     "!Invalid MAXLEN argument or approximate flag"},
    {"xadd empty first", "XADD", "xadd", "plain", "'s', '*', [], -1", "!Must pass at least one key and value"},
    {"xadd value refused", "XADD", "xadd", "json", "'s', '*', ['a' => NAN]",
     "!Failed to serialize the value with the json serializer: Inf and NaN cannot be JSON encoded"},
    {"xadd values not array", "XADD", "xadd", "plain", "'s', '*', 'a'",
     "#TypeError: Kelvo\\Kelvo::xadd(): Argument #3 ($values) must be of type array, string given"},
    {"xrange", "XRANGE", "xrange", "pre", "'s', '-', '+'", "XRANGE p:s - +"},
    {"xrange count zero", "XRANGE", "xrange", "plain", "'s', '-', '+', 0", "XRANGE s - + COUNT 0"},
    {"xrevrange count", "XREVRANGE", "xrevrange", "plain", "'s', '+', '-', 5", "XREVRANGE s + - COUNT 5"},
    {"vrange count alone", "VRANGE", "vrange", "pre", "'v', '[a', '+', 5", "VRANGE p:v [a + 5"},
    {"vrange negative count", "VRANGE", "vrange", "plain", "'v', '-', '+', -1", "VRANGE v - +"},
    {"xtrim", "XTRIM", "xtrim", "pre", "'s', '1000'", "XTRIM p:s MAXLEN = 1000"},
    {"xtrim minid approx limit", "XTRIM", "xtrim", "plain", "'s', '0-1', true, true, 10",
     "XTRIM s MINID ~ 0-1 LIMIT 10"},
    {"xtrim limit without approx", "XTRIM", "xtrim", "plain", "'s', '1000', false, false, 10", "XTRIM s MAXLEN = 1000",
     0, "Cannot use LIMIT without approximate match, ignoring"},
    {"xtrim negative limit", "XTRIM", "xtrim", "plain", "'s', '1000', true, false, -5", "XTRIM s MAXLEN ~ 1000", 0,
     "LIMIT must be >= 0, ignoring"},
    {"xtrim default limit", "XTRIM", "xtrim", "plain", "'s', '1000', true", "XTRIM s MAXLEN ~ 1000"},
    {"xdel ids as text", "XDEL", "xdel", "php", "'s', ['1-1', 2]", "XDEL s 1-1 2"},
    {"xdel empty", "XDEL", "xdel", "plain", "'s', []", "!Must pass at least ID/member"},
    {"xdel throwing id", "XDEL", "xdel", "plain", "'s', ['1-1', new Boom]", "#RuntimeException: boom"},
    {"pfadd packed", "PFADD", "pfadd", "php", "'h', ['a', 1]", "PFADD h {$c->_pack('a')} {$c->_pack(1)}"},
    {"pfadd empty", "PFADD", "pfadd", "plain", "'h', []", "!Must pass at least ID/member"},
    {"xdelex mode", "XDELEX", "xdelex", "pre", "'s', ['1-1'], 'keepref'", "XDELEX p:s KEEPREF IDS 1 1-1"},
    {"xdelex acked", "XDELEX", "xdelex", "plain", "'s', ['1-1', '2-1'], 'Acked'", "XDELEX s ACKED IDS 2 1-1 2-1"},
    {"xdelex no mode", "XDELEX", "xdelex", "plain", "'s', ['1-1'], null", "XDELEX s IDS 1 1-1"},
    {"xdelex unknown mode", "XDELEX", "xdelex", "plain", "'s', ['1-1'], 'keep'", "!Invalid mode 'keep'"},
    {"xdelex longer mode", "XDELEX", "xdelex", "plain", "'s', ['1-1'], 'DELREFS'", "!Invalid mode 'DELREFS'"},
    {"xdelex empty first", "XDELEX", "xdelex", "plain", "'s', [], 'bogus'", "!Must pass at least one ID to delete"},
    {"xread", "XREAD", "xread", "pre", "['a' => '0', 'b' => '$'], 10, 0", "XREAD COUNT 10 BLOCK 0 STREAMS p:a p:b 0 $"},
    {"xread integer key", "XREAD", "xread", "pre", "[5 => 0]", "XREAD STREAMS p:5 0"},
    {"xread empty", "XREAD", "xread", "plain", "[]", "!One or more Stream and ID required"},
    {"xread throwing id", "XREAD", "xread", "plain", "['a' => new Boom]", "#RuntimeException: boom"},

    /* XGROUP, XINFO, XREADGROUP, XACK, XNACK, XACKDEL, XPENDING, XCLAIM, XAUTOCLAIM */
    {"xgroup help", "XGROUP", "xgroup", "plain", "'HELP'", "XGROUP HELP"},
    {"xgroup help ignores the rest", "XGROUP", "xgroup", "plain", "'help', 'k', 'g', '$', true, 5", "XGROUP help"},
    {"xgroup create", "XGROUP", "xgroup", "pre", "'create', 'k', 'g', '$'", "XGROUP create p:k g $"},
    {"xgroup create options", "XGROUP", "xgroup", "plain", "'CREATE', 'k', 'g', '$', true, 5",
     "XGROUP CREATE k g $ MKSTREAM ENTRIESREAD 5"},
    {"xgroup create short", "XGROUP", "xgroup", "plain", "'CREATE', 'k', 'g'", "!'CREATE' operation requires '3' args"},
    {"xgroup destroy short", "XGROUP", "xgroup", "plain", "'DESTROY', 'k'", "!'DESTROY' operation requires '2' args"},
    {"xgroup destroy drops the rest", "XGROUP", "xgroup", "plain", "'DESTROY', 'k', 'g', '0', true, 5",
     "XGROUP DESTROY k g"},
    {"xgroup setid", "XGROUP", "xgroup", "plain", "'SETID', 'k', 'g', '0', true, 3",
     "XGROUP SETID k g 0 ENTRIESREAD 3"},
    {"xgroup createconsumer", "XGROUP", "xgroup", "plain", "'createconsumer', 'k', 'g', 'c', true, 1",
     "XGROUP createconsumer k g c"},
    {"xgroup null key", "XGROUP", "xgroup", "plain", "'DELCONSUMER', null, 'g', 'c'",
     "!'DELCONSUMER' operation requires '3' args"},
    {"xgroup unknown", "XGROUP", "xgroup", "plain", "'REMOVE', 'k'", "!Unknown XGROUP operation 'REMOVE'"},
    {"xinfo stream full", "XINFO", "xinfo", "pre", "'STREAM', 'k', 'FULL', 10", "XINFO STREAM p:k FULL COUNT 10"},
    {"xinfo consumers", "XINFO", "xinfo", "plain", "'CONSUMERS', 'k', 'g'", "XINFO CONSUMERS k g"},
    {"xinfo help", "XINFO", "xinfo", "plain", "'HELP'", "XINFO HELP"},
    {"xinfo count after null", "XINFO", "xinfo", "plain", "'STREAM', 'k', null, 10",
     "!Cannot pass a non-null argument after a NULL one"},
    {"xinfo arg2 after null", "XINFO", "xinfo", "plain", "'STREAM', null, 'FULL'",
     "!Cannot pass a non-null argument after a NULL one"},
    {"xreadgroup", "XREADGROUP", "xreadgroup", "pre", "'g', 'c', ['s' => '>']", "XREADGROUP GROUP g c STREAMS p:s >"},
    {"xreadgroup count zero", "XREADGROUP", "xreadgroup", "plain", "'g', 'c', ['s' => '>'], 0, null",
     "XREADGROUP GROUP g c COUNT 0 STREAMS s >"},
    {"xreadgroup block", "XREADGROUP", "xreadgroup", "plain", "'g', 'c', ['s' => '>', 't' => 0], null, 100",
     "XREADGROUP GROUP g c BLOCK 100 STREAMS s t > 0"},
    {"xreadgroup negative count", "XREADGROUP", "xreadgroup", "plain", "'g', 'c', ['s' => '>'], -1",
     "!COUNT and BLOCK must be >= 0"},
    {"xreadgroup negative block first", "XREADGROUP", "xreadgroup", "plain", "'g', 'c', [], null, -1",
     "!COUNT and BLOCK must be >= 0"},
    {"xreadgroup empty", "XREADGROUP", "xreadgroup", "plain", "'g', 'c', []", "!One or more Stream and ID required"},
    {"xack", "XACK", "xack", "pre", "'k', 'g', ['1-1', 2]", "XACK p:k g 1-1 2"},
    {"xack no ids", "XACK", "xack", "plain", "'k', 'g', []", "XACK k g"},
    {"xnack options", "XNACK", "xnack", "pre", "'k', 'g', 'm', ['1-1'], ['RETRYCOUNT' => 3, 'FORCE']",
     "XNACK p:k g m IDS 1 1-1 RETRYCOUNT 3 FORCE"},
    {"xnack retrycount text", "XNACK", "xnack", "plain", "'k', 'g', 'm', ['1-1'], ['retrycount' => '3']",
     "XNACK k g m IDS 1 1-1", 0, "RETRYCOUNT must be a non-negative integer"},
    {"xnack retrycount through reference", "XNACK", "xnack", "plain",
     "'k', 'g', 'm', ['1-1'], (function () { $n = 2; return ['RETRYCOUNT' => &$n]; })()",
     "XNACK k g m IDS 1 1-1 RETRYCOUNT 2"},
    {"xnack empty", "XNACK", "xnack", "plain", "'k', 'g', 'm', [], ['FORCE']", "!Must pass at least one ID"},
    {"xackdel", "XACKDEL", "xackdel", "pre", "'k', 'g', ['1-1'], 'delref'", "XACKDEL p:k g DELREF IDS 1 1-1"},
    {"xackdel no mode", "XACKDEL", "xackdel", "plain", "'k', 'g', ['1-1', '1-2']", "XACKDEL k g IDS 2 1-1 1-2"},
    {"xackdel unknown mode", "XACKDEL", "xackdel", "plain", "'k', 'g', ['1-1'], 'nope'", "!Invalid mode 'nope'"},
    {"xackdel empty", "XACKDEL", "xackdel", "plain", "'k', 'g', []",
     "!Must pass at least one ID to acknowledge and delete"},
    {"xpending summary", "XPENDING", "xpending", "pre", "'k', 'g'", "XPENDING p:k g"},
    {"xpending extended", "XPENDING", "xpending", "plain", "'k', 'g', '-', '+', 10, 'c', 5000",
     "XPENDING k g IDLE 5000 - + 10 c"},
    {"xpending count zero", "XPENDING", "xpending", "plain", "'k', 'g', '-', '+', 0", "XPENDING k g - + 0"},
    {"xpending without start", "XPENDING", "xpending", "plain", "'k', 'g', null, '+', 10, 'c', 5", "XPENDING k g"},
    {"xpending start alone", "XPENDING", "xpending", "plain", "'k', 'g', '-'",
     "!'$start' must be accompanied by '$end' and '$count' arguments"},
    {"xpending start without count", "XPENDING", "xpending", "plain", "'k', 'g', '-', '+'",
     "!'$start' must be accompanied by '$end' and '$count' arguments"},
    {"xclaim options", "XCLAIM", "xclaim", "pre",
     "'k', 'g', 'c', 10, ['1-1'], ['idle' => 1000, 'RETRYCOUNT' => 2, 'FORCE', 'JUSTID']",
     "XCLAIM p:k g c 10 1-1 idle 1000 RETRYCOUNT 2 FORCE JUSTID", 0, "", 1},
    {"xclaim no options", "XCLAIM", "xclaim", "plain", "'k', 'g', 'c', 10, ['1-1', '1-2']", "XCLAIM k g c 10 1-1 1-2",
     0, "", 0},
    {"xclaim last time word", "XCLAIM", "xclaim", "plain", "'k', 'g', 'c', 0, ['1-1'], ['TIME' => 5, 'idle' => '7']",
     "XCLAIM k g c 0 1-1 idle 7", 0, "", 0},
    {"xclaim negative values", "XCLAIM", "xclaim", "plain",
     "'k', 'g', 'c', 0, ['1-1'], ['IDLE' => -1, 'retrycount' => -1, 5 => 'justid']", "XCLAIM k g c 0 1-1 JUSTID", 0, "",
     1},
    {"xautoclaim", "XAUTOCLAIM", "xautoclaim", "pre", "'k', 'g', 'c', 10, '0-0'", "XAUTOCLAIM p:k g c 10 0-0", 0, "",
     0},
    {"xautoclaim count zero", "XAUTOCLAIM", "xautoclaim", "plain", "'k', 'g', 'c', 10, '0-0', 0",
     "XAUTOCLAIM k g c 10 0-0", 0, "", 0},
    {"xautoclaim justid", "XAUTOCLAIM", "xautoclaim", "plain", "'k', 'g', 'c', 10, '0-0', 25, true",
     "XAUTOCLAIM k g c 10 0-0 COUNT 25 JUSTID", 0, "", 1},

    /* VADD, VSIM, VSETATTR, VGETATTR, VEMB, VLINKS */
    {"vadd fp32", "VADD", "vadd", "php", "'k', [1, 2.5], 'e'", "VADD k FP32 {pack('g2', 1.0, 2.5)} {$c->_pack('e')}"},
    {"vadd every option", "VADD", "vadd", "pre",
     "'k', [1, 2.5], 'e', ['VALUES' => true, 'REDUCE' => 2, 'CAS' => 1, 'Q8', 'EF' => 200, 'SETATTR' => ['a' => '<b>'], "
     "'M' => 16]",
     "VADD p:k REDUCE 2 VALUES 2 1 2.5 e CAS Q8 EF 200 SETATTR {json_encode(['a' => '<b>'], JSON_HEX_TAG)} M 16"},
    {"vadd attribute text", "VADD", "vadd", "plain", "'k', [1], 'e', ['setattr' => json_encode(['x' => 1]), 'bin']",
     "VADD k FP32 {pack('g', 1)} e BIN SETATTR {json_encode(['x' => 1])}"},
    {"vadd cas word is nothing", "VADD", "vadd", "plain", "'k', [1], 'e', ['CAS', 'noquant']",
     "VADD k FP32 {pack('g', 1)} e NOQUANT"},
    {"vadd last word wins", "VADD", "vadd", "plain", "'k', [1], 'e', ['VALUES', 'fp32']",
     "VADD k FP32 {pack('g', 1)} e"},
    {"vadd m as text", "VADD", "vadd", "plain", "'k', [1], 'e', ['M' => '16', 'ef' => 8]",
     "VADD k FP32 {pack('g', 1)} e EF 8", 0, "M must be >= 1"},
    {"vadd components as values", "VADD", "vadd", "plain", "'k', [0.1, '3', true, false], 'e', ['values']",
     "VADD k VALUES 4 0.10000000149011612 3 1 0 e"},
    {"vadd components as fp32", "VADD", "vadd", "plain", "'k', [0.1, '3', true, false], 'e'",
     "VADD k FP32 {pack('g4', 0.1, 3, 1, 0)} e"},
    {"vadd beyond binary32", "VADD", "vadd", "plain", "'k', [1e39, -1e39, INF, -INF, NAN], 'e'",
     "VADD k FP32 {pack('g5', 3.4028234663852886e38, -3.4028234663852886e38, 3.4028234663852886e38, "
     "-3.4028234663852886e38, NAN)} e"},
    {"vadd beyond binary32 as values", "VADD", "vadd", "plain", "'k', [1e39, -1e39], 'e', ['VALUES' => 1]",
     "VADD k VALUES 2 3.4028234663852886E+38 -3.4028234663852886E+38 e"},
    {"vadd component through reference", "VADD", "vadd", "plain",
     "'k', (function () { $x = 1.5; return [&$x]; })(), 'e'", "VADD k FP32 {pack('g', 1.5)} e"},
    {"vadd reduce zero", "VADD", "vadd", "plain", "'k', [1], 'e', ['REDUCE' => 0]", "!REDUCE must be >= 1"},
    {"vadd reduce text", "VADD", "vadd", "plain", "'k', [1], 'e', ['reduce' => '2', 'M' => 0]", "!reduce must be >= 1"},
    {"vadd word component", "VADD", "vadd", "plain", "'k', [1, 'abc'], 'e', ['M' => 0]",
     "!Vector components must be numeric"},
    {"vadd null component", "VADD", "vadd", "plain", "'k', [null], 'e', ['VALUES']",
     "!Vector components must be numeric"},
    {"vadd array component", "VADD", "vadd", "plain", "'k', [[1]], 'e'", "!Vector components must be numeric"},
    {"vadd empty", "VADD", "vadd", "plain", "'k', [], 'e'", "!Must pass at least one value"},
    {"vadd attributes of another type", "VADD", "vadd", "plain", "'k', [1], 'e', ['SETATTR' => 5]",
     "!Attributes must be a string or array"},
    {"vadd attributes bad utf-8", "VADD", "vadd", "plain", "'k', [1], 'e', ['SETATTR' => ['a' => \"\\xff\"]]",
     "!Attributes cannot be encoded as JSON: Malformed UTF-8 characters, possibly incorrectly encoded"},
    {"vadd attributes nan", "VADD", "vadd", "plain", "'k', [1], 'e', ['SETATTR' => ['a' => NAN]]",
     "!Attributes cannot be encoded as JSON: Inf and NaN cannot be JSON encoded"},
    {"vadd attributes too deep", "VADD", "vadd", "plain",
     "'k', [1], 'e', ['SETATTR' => (function () { $a = 1; for ($i = 0; $i < 600; $i++) $a = [$a]; return $a; })()]",
     "!Attributes cannot be encoded as JSON: Maximum stack depth exceeded"},
    {"vadd element refused", "VADD", "vadd", "json", "'k', [1], NAN",
     "!Failed to serialize the value with the json serializer: Inf and NaN cannot be JSON encoded"},
    {"vsim floats", "VSIM", "vsim", "pre", "'k', [0.5, 0.25]", "VSIM p:k FP32 {pack('g2', 0.5, 0.25)}"},
    {"vsim integers are a vector", "VSIM", "vsim", "php", "'k', [1, 2]", "VSIM k FP32 {pack('g2', 1, 2)}"},
    {"vsim references are followed", "VSIM", "vsim", "plain", "'k', (function () { $x = 1; return [&$x, 2.5]; })()",
     "VSIM k FP32 {pack('g2', 1, 2.5)}"},
    {"vsim values word", "VSIM", "vsim", "plain", "'k', [1, 2], ['VALUES']", "VSIM k VALUES 2 1 2"},
    {"vsim element", "VSIM", "vsim", "php", "'k', 'e'", "VSIM k ELE {$c->_pack('e')}"},
    {"vsim array as element", "VSIM", "vsim", "php", "'k', ['a', 'b'], ['ele']", "VSIM k ELE {$c->_pack(['a', 'b'])}"},
    {"vsim mixed array", "VSIM", "vsim", "plain", "'k', [1, 'a']",
     "!A vector must hold only numbers; use ELE to send an array as an element"},
    {"vsim numeric texts", "VSIM", "vsim", "plain", "'k', ['1', '2']",
     "!A vector must hold only numbers; use ELE to send an array as an element"},
    {"vsim numeric texts as fp32", "VSIM", "vsim", "plain", "'k', ['1', '2'], ['FP32']",
     "VSIM k FP32 {pack('g2', 1, 2)}"},
    {"vsim fp32 word component", "VSIM", "vsim", "plain", "'k', ['1', 'x'], ['FP32']",
     "!Vector components must be numeric"},
    {"vsim fp32 of element", "VSIM", "vsim", "plain", "'k', 'e', ['FP32', 'COUNT' => 0, 'EPSILON' => 2.0]",
     "!FP32 or VALUES requires an array of floats"},
    {"vsim values empty", "VSIM", "vsim", "plain", "'k', [], ['VALUES']",
     "!FP32 or VALUES requires at least one float"},
    {"vsim empty array", "VSIM", "vsim", "plain", "'k', []", "!FP32 or VALUES requires at least one float"},
    {"vsim epsilon", "VSIM", "vsim", "plain", "'k', 'e', ['EPSILON' => 0.2]",
     "VSIM k ELE e EPSILON 0.20000000000000001"},
    {"vsim epsilon bounds", "VSIM", "vsim", "plain", "'k', 'e', ['EPSILON' => 1.0]", "VSIM k ELE e EPSILON 1"},
    {"vsim epsilon integer", "VSIM", "vsim", "plain", "'k', 'e', ['EPSILON' => 1]", "VSIM k ELE e", 0,
     "EPSILON must be a double between 0.0 and 1.0"},
    {"vsim epsilon negative", "VSIM", "vsim", "plain", "'k', 'e', ['epsilon' => -0.1]", "VSIM k ELE e", 0,
     "EPSILON must be a double between 0.0 and 1.0"},
    {"vsim option order", "VSIM", "vsim", "plain",
     "'k', 'e', ['FILTER' => '.year > 2000', 'FILTER-EF' => 10, 'COUNT' => 5, 'WITHSCORES', 'NOTHREAD' => true]",
     "VSIM k ELE e WITHSCORES COUNT 5 FILTER {'.year > 2000'} FILTER-EF 10 NOTHREAD"},
    {"vsim flags", "VSIM", "vsim", "plain", "'k', 'e', ['truth', 'withattribs' => 1, 'EF' => 50, 'nothread' => false]",
     "VSIM k ELE e WITHATTRIBS EF 50 TRUTH"},
    {"vsim count zero", "VSIM", "vsim", "plain", "'k', 'e', ['COUNT' => 0]", "VSIM k ELE e", 0, "COUNT must be >= 1"},
    {"vsim throwing filter", "VSIM", "vsim", "plain", "'k', 'e', ['FILTER' => new Boom]", "#RuntimeException: boom"},
    {"vsetattr array", "VSETATTR", "vsetattr", "pre", "'k', 'e', ['a' => '<b>']",
     "VSETATTR p:k e {json_encode(['a' => '<b>'], JSON_HEX_TAG)}"},
    {"vsetattr empty text", "VSETATTR", "vsetattr", "php", "'k', 'e', ''", "VSETATTR k {$c->_pack('e')} {''}"},
    {"vsetattr another type", "VSETATTR", "vsetattr", "plain", "'k', 'e', 5", "!Attributes must be a string or array"},
    {"vsetattr bad utf-8", "VSETATTR", "vsetattr", "plain", "'k', 'e', ['a' => \"\\xff\"]",
     "!Attributes cannot be encoded as JSON: Malformed UTF-8 characters, possibly incorrectly encoded"},
    {"vgetattr raw", "VGETATTR", "vgetattr", "php", "'k', 'e', true", "VGETATTR k {$c->_pack('e')}", 0, "", 1},
    {"vgetattr", "VGETATTR", "vgetattr", "pre", "'k', 'e'", "VGETATTR p:k e", 0, "", 0},
    {"vemb raw", "VEMB", "vemb", "pre", "'k', 'e', true", "VEMB p:k e RAW"},
    {"vemb", "VEMB", "vemb", "lz4", "'k', 'e'", "VEMB k {$c->_pack('e')}"},
    {"vlinks withscores", "VLINKS", "vlinks", "plain", "'k', 'e', true", "VLINKS k e WITHSCORES"},
};

INSTANTIATE_TEST_SUITE_P(StreamsVectors, Builders, testing::ValuesIn(streamVectorRows), rowName);

/* CLUSTER has no method of Kelvo\Kelvo: the cluster client calls its appender with the arguments after
 * a node. Each subcommand's count and values, checked before anything is appended. */
TEST(BuildersAdmin, ClusterAppenderChecksEachSubcommand)
{
    makeClients();
    const struct {
        const char *args;
        const char *expect; /* words, or "!warning" */
        int context;
    } cases[] = {
        {"'addslotsrange', 1, 2, 3", "!'addslotsrange' subcommand requires start and end slots", 0},
        {"'ADDSLOTSRANGE', 1, 2, 5, 9", "CLUSTER ADDSLOTSRANGE 1 2 5 9", 0},
        {"'addslots'", "!'addslots' subcommand requires at least one argument", 0},
        {"'DELSLOTS', 1, 2, 3", "CLUSTER DELSLOTS 1 2 3", 0},
        {"'FAILOVER', 1", "!Invalid argument specified for 'FAILOVER' subcommand", 0},
        {"'failover', 'takeover'", "CLUSTER failover takeover", 0},
        {"'failover'", "CLUSTER failover", 0},
        {"'FAILOVER', 'force', 'x'", "!'FAILOVER' subcommand requires doesn't accept more than one argument", 0},
        {"'reset', 'Hard'", "CLUSTER reset Hard", 0},
        {"'RESET', 'medium'", "!Invalid argument specified for 'RESET' subcommand", 0},
        {"'nodes', 1", "!'nodes' subcommand doesn't accept arguments", 0},
        {"'keyslot'", "!'keyslot' subcommand requires exactly one argument", 0},
        {"'KEYSLOT', 'k'", "CLUSTER KEYSLOT k", 0},
        {"'GETKEYSINSLOT', 1", "!'GETKEYSINSLOT' subcommand requires exactly two arguments", 0},
        {"'meet', 'h'", "!'meet' subcommand requires at least two arguments", 0},
        {"'MEET', 'h', 1, 2, 3", "!'MEET' subcommand requires doesn't accept more than three arguments", 0},
        {"'setslot'", "!'setslot' subcommand requires at least one argument", 0},
        {"'SETSLOT', 5", "CLUSTER SETSLOT 5", 0},
        {"'SETSLOT', 5, 'importing', 'id'", "CLUSTER SETSLOT 5 importing id", 0},
        {"'SETSLOT', 5, 'bogus'", "!Invalid argument specified for 'SETSLOT' subcommand", 0},
        {"'SETSLOT', 5, 'NODE', 'id', 'x'", "!'SETSLOT' subcommand requires doesn't accept more than three arguments",
         0},
        {"'info'", "CLUSTER info", 1},
        {"'myids'", "!Unexpected subcommand 'myids'", 0},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.args);
        zval list;
        evalList("plain", c.args, &list);
        std::vector<zval> args;
        zval *arg;
        ZEND_HASH_FOREACH_VAL(Z_ARRVAL(list), arg) { args.push_back(*arg); }
        ZEND_HASH_FOREACH_END();
        rrc req{};
        kelvoRespCmdInitCmd(&req, 0, REDIS_CMD_CLUSTER);
        int rc;
        std::vector<Diagnostics::Entry> seen;
        {
            Diagnostics diagnostics;
            FakeFrame frame("cluster");
            rc = kelvoRespClusterCmd(&req, Z_STR(args[0]), static_cast<uint32_t>(args.size() - 1), args.data() + 1);
            seen = diagnostics.entries;
        }
        if (c.expect[0] == '!') {
            EXPECT_EQ(rc, -1);
            ASSERT_EQ(seen.size(), 1u);
            EXPECT_EQ(seen[0].text, c.expect + 1);
        } else {
            EXPECT_EQ(rc, 0);
            EXPECT_TRUE(seen.empty());
            kelvoRespCmdFinish(&req);
            const std::string request(kelvoRespCmdData(&req), kelvoRespCmdLen(&req));
            std::vector<std::string> words;
            std::string why;
            ASSERT_TRUE(kelvo_test::parseRequest(request, &words, &why)) << why;
            EXPECT_EQ(joined(words), c.expect);
            EXPECT_EQ(req.context, c.context);
            serverParsesOneCommand(client("plain"), request);
        }
        kelvoRespCmdRelease(&req);
        zval_ptr_dtor(&list);
    }
}

/* A scan whose iterator says it ended sends nothing and says nothing; a scan cannot be queued. */
TEST(BuildersScan, AnEndedScanSendsNothingAndABatchRefuses)
{
    makeClients();
    zval args;
    evalList("plain", "0", &args);
    Built ended = kelvo_test::callBuilder(client("plain"), "scan", REDIS_CMD_SCAN, &args);
    zval_ptr_dtor(&args);
    EXPECT_EQ(ended.rc, -1);
    EXPECT_TRUE(ended.diagnostics.empty());
    EXPECT_EQ(ended.exception, "");
    EXPECT_EQ(run("$it = 0; $b = $plain->getBytes()[0]; $r = $plain->scan($it);"
                  "$out = var_export($r, true) . ' ' . ($plain->getBytes()[0] - $b) . ' ' . var_export($it, true);"),
              "false 0 0");

    robj *ro = kelvoGetObjectZVal(client("plain"));
    for (uint64_t mode : {kelvoModeMulti, kelvoModePipeline}) {
        ro->mode = mode;
        evalList("plain", "'h', null", &args);
        Built queued = kelvo_test::callBuilder(client("plain"), "hscan", REDIS_CMD_HSCAN, &args);
        zval_ptr_dtor(&args);
        ro->mode = 0;
        EXPECT_EQ(queued.rc, -1);
        ASSERT_EQ(queued.diagnostics.size(), 1u);
        EXPECT_EQ(queued.diagnostics[0].text, "SCAN cannot be called in pipeline/multi mode");
    }
}

/* FCALL's handler rides on the request as a record the request's release frees. */
TEST(BuildersUserdata, FcallCarriesItsHandler)
{
    makeClients();
    for (const char *handler : {"null", "'strtoupper'", "function ($v) { return $v; }"}) {
        zval args;
        evalList("plain", std::string("'f', ['k'], [], ") + handler, &args);
        Built built = kelvo_test::callBuilder(client("plain"), "fcall", REDIS_CMD_FCALL, &args);
        zval_ptr_dtor(&args);
        EXPECT_EQ(built.rc, 0) << handler;
        EXPECT_EQ(built.udkind, std::string(handler) == "null" ? KELVO_REQ_DATA_NONE : KELVO_REQ_DATA_RECORD)
            << handler;
    }
}

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
        {"'10'", 0, KELVO_EXPIRY_EX, 10},
        {"'-10'", -1, KELVO_EXPIRY_NONE, 0},
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
