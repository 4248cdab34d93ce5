// Random PHP values in every parameter of the request builders (fixed shapes, variadic keys and
// values, string writes, administration subcommands, server and key-space commands, scripting and
// sorting, optional counts, list moves, migration and scans, hash fields, sorted sets, bit fields
// and sketches, geo, streams, vector sets), under every packing option. A builder answers 0 with
// one well-formed request, or -1 with exactly one report of its own: a warning or an exception (the
// engine's own conversion warnings aside; a few refusals say nothing by contract). Any assertion,
// leak or sanitizer report ends the run. Bounded in time:
// KELVO_BUILDER_FUZZ_SECONDS (10 by default); KELVO_BUILDER_FUZZ_SEED repeats a run.
#include "commands/cmdroles.h"
#include "runtime/kelvo.h"
#include "support/command_engine.h"
#include "builder_test_util.h"

extern "C" {
#include "ext/standard/php_var.h"
#include "zend_smart_str.h"
}

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <map>
#include <random>
#include <set>
#include <sstream>
#include <string>

namespace {

using kelvo_test::Built;
using kelvo_test::Diagnostics;

using kelvo_test::moduleLoaded;

const std::set<kelvoRespFn> fuzzed = {
    kelvoEmptyRCmd,       kelvoKeyRCmd,
    kelvoStrRCmd,         kelvoKeyValRCmd,
    kelvoKeyKeyRCmd,      kelvoStrKeyRCmd,
    kelvoKeyStrRCmd,      kelvoKeyMemMemRCmd,
    kelvoKeyNMemsRCmd,    kelvoKeyLongLongRCmd,
    kelvoKeyLongBoolRCmd, kelvoKeyLongMemRCmd,
    kelvoKeyDblDblRCmd,   kelvoZincrbyRCmd,
    kelvoLongLongRCmd,    kelvoLongLongLongRCmd,
    kelvoVarkeyRCmd,      kelvoBlockingPopRCmd,
    kelvoVarvalRCmd,      kelvoBitopRCmd,
    kelvoPopPushRCmd,     kelvoMpopRCmd,
    kelvoIntercardRCmd,   kelvoSetRCmd,
    kelvoGetExRCmd,       kelvoMsetRCmd,
    kelvoMSetExRCmd,      kelvoDelExRCmd,
    kelvoIncrDecrRCmd,    kelvoIncrExRCmd,
    kelvoConfigRCmd,      kelvoClientRCmd,
    kelvoCommandRCmd,     kelvoScriptRCmd,
    kelvoSlowLogRCmd,     kelvoAclRCmd,
    kelvoPubSubRCmd,      kelvoCommandLogRCmd,
    kelvoFunctionRCmd,    kelvoSelectRCmd,
    kelvoSwapDbRCmd,      kelvoHotkeysRCmd,
    kelvoCopyRCmd,        kelvoExpireRCmd,
    kelvoMigrateRCmd,     kelvoBGSaveRCmd,
    kelvoReplicaofRCmd,   kelvoFlushdbRCmd,
    kelvoPingRCmd,        kelvoEvalRCmd,
    kelvoFcallRCmd,       kelvoSortRCmd,
    kelvoRestoreRCmd,     kelvoListPopRCmd,
    kelvoKeyLongRCmd,     kelvoKeyOptLongRCmd,
    kelvoZRankRCmd,       kelvoBitPosRCmd,
    kelvoGcraRCmd,        kelvoLmoveRCmd,
    kelvoLmovemRCmd,      kelvoLinsertRCmd,
    kelvoSetExRCmd,       kelvoScanRCmd,
    kelvoHSetRCmd,        kelvoHSetNxRCmd,
    kelvoHMSetRCmd,       kelvoHSetExRCmd,
    kelvoHGetExRCmd,      kelvoHGetDelRCmd,
    kelvoHttlRCmd,        kelvoHExpireRCmd,
    kelvoZInterRCmd,      kelvoZaddRCmd,
    kelvoZDiffRCmd,       kelvoZrangeStoreRCmd,
    kelvoZrangeByLexRCmd, kelvoKeyLexLexRCmd,
    kelvoZRandMemberRCmd, kelvoBitfieldRCmd,
    kelvoCmsIncrbyRCmd,   kelvoCmsMergeRCmd,
    kelvoKeyNKeysRCmd,    kelvoLcsRCmd,
    kelvoKeyKeyMemRCmd,   kelvoLremRCmd,
    kelvoGeoaddRCmd,      kelvoGeodistRCmd,
    kelvoGeoradiusRCmd,   kelvoGeoradiusbymemberRCmd,
    kelvoGeosearchRCmd,   kelvoGeosearchstoreRCmd,
    kelvoXAddRCmd,        kelvoXRangeRCmd,
    kelvoXTrimRCmd,       kelvoKeyArrayRCmd,
    kelvoXDelExRCmd,      kelvoXReadRCmd,
    kelvoXGroupRCmd,      kelvoXInfoRCmd,
    kelvoXReadgroupRCmd,  kelvoXAckRCmd,
    kelvoXNAckRCmd,       kelvoXAckDelRCmd,
    kelvoXPendingRCmd,    kelvoXClaimRCmd,
    kelvoXAutoClaimRCmd,  kelvoVAddRCmd,
    kelvoVSimRCmd,        kelvoVSetAttrRCmd,
    kelvoVGetAttrRCmd,    kelvoVEmbRCmd,
    kelvoVLinksRCmd,
};

struct Target {
    int cmd;
    std::string method;
};

/* Every command method whose row has one of the fuzzed builders, from the method table. */
std::vector<Target> targets()
{
    std::map<std::string, std::string> methodOf;
    std::ifstream table(KELVO_SOURCE_DIR "/tools/client_methods.tsv");
    std::string line;
    while (std::getline(table, line)) {
        std::istringstream fields(line);
        std::string name, handler;
        std::getline(fields, name, '\t');
        std::getline(fields, handler, '\t');
        if (handler.rfind("command:", 0) == 0 && !methodOf.count(handler.substr(8)))
            methodOf[handler.substr(8)] = name;
    }
    /* The scans have methods of their own around the dispatcher. */
    for (const char *scan : {"scan", "hscan", "sscan", "zscan"}) {
        std::string name = scan;
        for (char &ch : name)
            ch = static_cast<char>(toupper(static_cast<unsigned char>(ch)));
        methodOf[name] = scan;
    }
    std::vector<Target> out;
    for (int cmd = 0; cmd < REDIS_CMD_MAX; cmd++) {
        const kelvoCommandInfo &row = kelvoCommandTable[cmd];
        auto method = methodOf.find(kelvoCommandStrings[cmd].name);
        if (row.type == KELVO_CMDTYPE_STANDARD && fuzzed.count(row.std.respFn) && method != methodOf.end())
            out.push_back({cmd, method->second});
    }
    return out;
}

/* The random PHP values: scalars at their edges, option words, arrays of them (nested, with
 * references), objects with and without a string form, one whose string form throws. */
class Values {
  public:
    explicit Values(uint32_t seed) : rng_(seed)
    {
        EXPECT_EQ(runPhp(R"(
            class FuzzTxt { function __toString(): string { return 'txt'; } }
            class FuzzBoom { function __toString(): string { throw new RuntimeException('boom'); } }
            $fuzzObjects = [new FuzzTxt, new FuzzBoom, new stdClass, function () {}];
            $out = 'ok';)"),
                  "ok");
        objects_ = zend_hash_str_find_deref(&EG(symbol_table), ZEND_STRL("fuzzObjects"));
    }

    void make(zval *out, int depth = 0)
    {
        switch (pick(depth < 2 ? 7 : 5)) {
        case 0:
            ZVAL_LONG(out, longs[pick(std::size(longs))]);
            break;
        case 1:
            ZVAL_DOUBLE(out, doubles[pick(std::size(doubles))]);
            break;
        case 2:
        case 3: {
            const std::string &w = words[pick(std::size(words))];
            ZVAL_STRINGL(out, w.data(), w.size());
            break;
        }
        case 4:
            makeOther(out);
            break;
        default:
            makeArray(out, depth);
        }
    }

    uint32_t pick(size_t n) { return static_cast<uint32_t>(rng_() % n); }

  private:
    void makeOther(zval *out)
    {
        const uint32_t which = pick(7);
        if (which == 0)
            ZVAL_NULL(out);
        else if (which == 1)
            ZVAL_TRUE(out);
        else if (which == 2)
            ZVAL_FALSE(out);
        else
            ZVAL_COPY(out, zend_hash_index_find(Z_ARRVAL_P(objects_), which - 3));
    }

    void makeArray(zval *out, int depth)
    {
        array_init(out);
        const uint32_t n = pick(5);
        for (uint32_t i = 0; i < n; i++) {
            zval v;
            make(&v, depth + 1);
            if (pick(8) == 0)
                ZVAL_NEW_REF(&v, &v);
            switch (pick(3)) {
            case 0:
                /* After the largest index there is no next one, and the value is not taken. */
                if (add_next_index_zval(out, &v) != SUCCESS)
                    zval_ptr_dtor(&v);
                break;
            case 1: {
                const std::string &w = words[pick(std::size(words))];
                add_assoc_zval_ex(out, w.data(), w.size(), &v);
                break;
            }
            default:
                add_index_zval(out, static_cast<zend_ulong>(longs[pick(std::size(longs))]), &v);
            }
        }
    }

    static constexpr zend_long longs[] = {0, 1, -1, 2, 5, 10, ZEND_LONG_MAX, ZEND_LONG_MIN};
    static constexpr double doubles[] = {0.0, -0.0, 0.1, 0.5, 1.5, 1e300, -2.5, NAN, INFINITY, -INFINITY};
    inline static const std::string words[] = {"",           "k",
                                               "abc",        "10",
                                               "1.5",        "-inf",
                                               "(5",         "EX",
                                               "px",         "EXAT",
                                               "PXAT",       "PERSIST",
                                               "NX",         "xx",
                                               "FNX",        "KEEPTTL",
                                               "GET",        "IFEQ",
                                               "ifne",       "IFDEQ",
                                               "IFDNE",      "LEFT",
                                               "right",      "MIN",
                                               "max",        "ENX",
                                               "LBOUND",     "UBOUND",
                                               "OVERFLOW",   "sat",
                                               "REJECT",     "fail",
                                               "\xff\xfe",   std::string(300, 'x'),
                                               " 7 ",        "GET",
                                               "set",        "capa",
                                               "redirect",   "TRACKING",
                                               "reply",      "OFF",
                                               "debug",      "yes",
                                               "SYNC",       "LIST",
                                               "filterby",   "PATTERN",
                                               "numsub",     "CHANNELS",
                                               "START",      "metrics",
                                               "CPU",        "net",
                                               "COUNT",      "exactly",
                                               "obo",        "BULK",
                                               "before",     "db",
                                               "replace",    "ABSTTL",
                                               "idletime",   "LIMIT",
                                               "alpha",      "BY",
                                               "store",      "SORT",
                                               "user",       "pass",
                                               "schedule",   "strtoupper",
                                               "WITHSCORES", "aggregate",
                                               "sum",        "FXX",
                                               "ch",         "INCR",
                                               "gt",         "[a",
                                               "-",          "+",
                                               "inf",        "+INF",
                                               "u8",         "i16",
                                               "#1",         "incrby",
                                               "WRAP",       "LEN",
                                               "idx",        "minmatchlen",
                                               "withdist",   "WITHCOORD",
                                               "withhash",   "STOREDIST",
                                               "storedist",  "asc",
                                               "DESC",       "any",
                                               "KEEPREF",    "acked",
                                               "MAXLEN",     "RETRYCOUNT",
                                               "idle",       "JUSTID",
                                               "force",      "create",
                                               "DESTROY",    "help",
                                               "STREAM",     "REDUCE",
                                               "VALUES",     "fp32",
                                               "ELE",        "Q8",
                                               "SETATTR",    "epsilon",
                                               "FILTER",     "withattribs"};
    std::mt19937 rng_;
    zval *objects_;
};

/* The arguments as PHP source, for a failure's message. */
std::string describe(zval *args)
{
    smart_str buf = {};
    php_var_export_ex(args, 1, &buf);
    smart_str_0(&buf);
    std::string text = buf.s ? std::string(ZSTR_VAL(buf.s), ZSTR_LEN(buf.s)) : "";
    smart_str_free(&buf);
    return text;
}

/* Refusals that, by their commands' contract, say nothing: a bit other than 0 or 1 for BITPOS, an
 * ended scan, MIGRATE credentials without a password, a sorted-set operation on no keys, ZADD's
 * options where no array is. */
bool silentRefusal(int cmd, zval *args)
{
    const uint32_t argc = zend_hash_num_elements(Z_ARRVAL_P(args));
    auto arg = [args](uint32_t i) { return zend_hash_index_find(Z_ARRVAL_P(args), i); };
    switch (cmd) {
    case REDIS_CMD_BITPOS:
        return argc >= 2 && zval_get_long(arg(1)) != 0 && zval_get_long(arg(1)) != 1;
    case REDIS_CMD_SCAN:
    case REDIS_CMD_HSCAN:
    case REDIS_CMD_SSCAN:
    case REDIS_CMD_ZSCAN: {
        const uint32_t at = cmd == REDIS_CMD_SCAN ? 0 : 1;
        return argc > at && Z_TYPE_P(arg(at)) == IS_LONG && Z_LVAL_P(arg(at)) == 0;
    }
    case REDIS_CMD_MIGRATE:
        return argc == 8 && Z_TYPE_P(arg(7)) == IS_ARRAY;
    case REDIS_CMD_ZINTER:
    case REDIS_CMD_ZUNION:
    case REDIS_CMD_ZDIFF:
    case REDIS_CMD_ZINTERSTORE:
    case REDIS_CMD_ZUNIONSTORE:
    case REDIS_CMD_ZDIFFSTORE: {
        const uint32_t at = cmd == REDIS_CMD_ZINTER || cmd == REDIS_CMD_ZUNION || cmd == REDIS_CMD_ZDIFF ? 0 : 1;
        return argc > at && Z_TYPE_P(arg(at)) == IS_ARRAY && zend_hash_num_elements(Z_ARRVAL_P(arg(at))) == 0;
    }
    case REDIS_CMD_ZADD:
        return argc >= 3 && argc % 2 == 0 && Z_TYPE_P(arg(1)) != IS_ARRAY;
    default:
        return false;
    }
}

/* What the engine says of a value it converts, beside what a builder says of its arguments. */
bool engineConversion(const Diagnostics::Entry &d)
{
    return d.type != E_WARNING || d.text == "Array to string conversion" || d.text.rfind("Object of class ", 0) == 0;
}

TEST(BuilderFuzz, EveryCallBuildsOneRequestOrRefusesOnce)
{
    ASSERT_TRUE(moduleLoaded);
    PG(during_request_startup) = 0;
    const char *secondsText = getenv("KELVO_BUILDER_FUZZ_SECONDS");
    const char *seedText = getenv("KELVO_BUILDER_FUZZ_SEED");
    const double seconds = secondsText ? atof(secondsText) : 10;
    const uint32_t seed = seedText ? static_cast<uint32_t>(strtoul(seedText, nullptr, 10)) : std::random_device{}();
    std::cout << "seed " << seed << " (KELVO_BUILDER_FUZZ_SEED repeats this run)" << std::endl;

    ASSERT_EQ(runPhp(R"(
        $fuzzClients = [new Kelvo\Kelvo(), new Kelvo\Kelvo(), new Kelvo\Kelvo(), new Kelvo\Kelvo(), new Kelvo\Kelvo()];
        $fuzzClients[1]->setOption(Kelvo\Kelvo::OPT_PREFIX, 'p:');
        $fuzzClients[2]->setOption(Kelvo\Kelvo::OPT_SERIALIZER, Kelvo\Kelvo::SERIALIZER_JSON);
        $fuzzClients[3]->setOption(Kelvo\Kelvo::OPT_SERIALIZER, Kelvo\Kelvo::SERIALIZER_PHP);
        $fuzzClients[3]->setOption(Kelvo\Kelvo::OPT_COMPRESSION, Kelvo\Kelvo::COMPRESSION_LZF);
        $fuzzClients[4]->setOption(Kelvo\Kelvo::OPT_SERIALIZER, Kelvo\Kelvo::SERIALIZER_PHP);
        $fuzzClients[4]->setOption(Kelvo\Kelvo::OPT_PACK_IGNORE_NUMBERS, true);
        $out = 'ok';)"),
              "ok");
    zval *clients = zend_hash_str_find_deref(&EG(symbol_table), ZEND_STRL("fuzzClients"));
    const std::vector<Target> all = targets();
    ASSERT_GT(all.size(), 90u);
    Values values(seed);

    const auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    uint64_t calls = 0, built = 0;
    while (std::chrono::steady_clock::now() < deadline) {
        const Target &t = all[values.pick(all.size())];
        zval *c = zend_hash_index_find(Z_ARRVAL_P(clients), values.pick(5));
        zval args;
        const uint32_t argc = values.pick(6);
        array_init_size(&args, argc);
        for (uint32_t i = 0; i < argc; i++) {
            zval v;
            values.make(&v);
            add_next_index_zval(&args, &v);
        }
        Built b = kelvo_test::callBuilder(c, t.method.c_str(), t.cmd, &args);
        int own = 0;
        for (const Diagnostics::Entry &d : b.diagnostics)
            own += !engineConversion(d);
        const bool emptyMset = (t.cmd == REDIS_CMD_MSET || t.cmd == REDIS_CMD_MSETNX) && argc == 1 &&
                               Z_TYPE_P(zend_hash_index_find(Z_ARRVAL(args), 0)) == IS_ARRAY &&
                               zend_hash_num_elements(Z_ARRVAL_P(zend_hash_index_find(Z_ARRVAL(args), 0))) == 0;
        if (b.rc == 0) {
            EXPECT_EQ(b.exception, "") << t.method << describe(&args);
            EXPECT_FALSE(b.words.empty()) << t.method << describe(&args);
            built++;
        } else if (!emptyMset && !(own == 0 && b.exception.empty() && silentRefusal(t.cmd, &args))) {
            EXPECT_EQ(b.rc, -1) << t.method;
            EXPECT_EQ(own + !b.exception.empty(), 1)
                << t.method << describe(&args) << ": " << own << " warnings, exception '" << b.exception << "'";
        }
        zval_ptr_dtor(&args);
        calls++;
        if (HasFailure())
            break;
    }
    std::cout << calls << " calls, " << built << " requests built, over " << all.size() << " commands" << std::endl;
}

} // namespace
