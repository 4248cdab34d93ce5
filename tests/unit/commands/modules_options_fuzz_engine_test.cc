// Random option arrays (and schemas) for the search builders and JSON.GET: a builder answers 0
// with a request that a reader of the module's clause grammar takes word by word to its end,
// every counted clause carrying the number of words that follow it, or -1 with exactly one
// warning. Values come from words that are no clause keyword, so a wrong count always shows.
// Bounded in time: KELVO_MODULES_FUZZ_SECONDS (5 by default); KELVO_MODULES_FUZZ_SEED repeats a run.
#include "commands/cmdroles.h"
#include "runtime/kelvo.h"
#include "support/command_engine.h"
#include "builder_test_util.h"

#include <chrono>
#include <cstdlib>
#include <functional>
#include <map>
#include <random>
#include <string>
#include <vector>

namespace {

using kelvo_test::Built;

/* -- the module's grammar, as the server reads a request ------------------------------------------ */

class Words {
  public:
    explicit Words(const std::vector<std::string> &w, size_t from) : w_(w), at_(from) {}
    bool done() const { return at_ >= w_.size(); }
    const std::string &peek() const { return w_[at_]; }
    bool is(const char *word) const { return !done() && strcasecmp(peek().c_str(), word) == 0; }
    bool take(const char *word)
    {
        if (!is(word))
            return false;
        at_++;
        return true;
    }
    /* n more words; false when fewer are left. */
    bool skip(uint64_t n)
    {
        if (w_.size() - at_ < n)
            return false;
        at_ += n;
        return true;
    }
    /* A count word followed by that many words (times `per`). */
    bool counted(uint64_t per = 1)
    {
        uint64_t n;
        return number(&n) && skip(n * per);
    }
    bool number(uint64_t *n)
    {
        if (done())
            return false;
        const std::string &s = w_[at_];
        if (s.empty() || s.find_first_not_of("0123456789") != std::string::npos)
            return false;
        *n = std::stoull(s);
        at_++;
        return true;
    }
    size_t at() const { return at_; }

  private:
    const std::vector<std::string> &w_;
    size_t at_;
};

using Clause = std::function<bool(Words &)>;

/* Reads clauses until the end: every clause starts with one of the table's words. */
bool readClauses(Words &w, const std::map<std::string, Clause> &clauses, std::string *why)
{
    while (!w.done()) {
        std::string word = w.peek();
        for (char &c : word)
            c = static_cast<char>(toupper(static_cast<unsigned char>(c)));
        auto clause = clauses.find(word);
        if (clause == clauses.end()) {
            *why = "word " + std::to_string(w.at()) + " '" + w.peek() + "' starts no clause";
            return false;
        }
        w.skip(1);
        if (!clause->second(w)) {
            *why = "clause " + word + " does not read";
            return false;
        }
    }
    return true;
}

Clause words(uint64_t n)
{
    return [n](Words &w) { return w.skip(n); };
}
Clause counted(uint64_t per = 1)
{
    return [per](Words &w) { return w.counted(per); };
}

const std::map<std::string, Clause> searchClauses = {
    {"NOCONTENT", words(0)},
    {"VERBATIM", words(0)},
    {"NOSTOPWORDS", words(0)},
    {"WITHSCORES", words(0)},
    {"WITHPAYLOADS", words(0)},
    {"WITHSORTKEYS", words(0)},
    {"INORDER", words(0)},
    {"EXPLAINSCORE", words(0)},
    {"FILTER", words(3)},
    {"GEOFILTER", words(5)},
    {"INKEYS", counted()},
    {"INFIELDS", counted()},
    {"RETURN", counted()},
    {"SLOP", words(1)},
    {"TIMEOUT", words(1)},
    {"LANGUAGE", words(1)},
    {"EXPANDER", words(1)},
    {"SCORER", words(1)},
    {"PAYLOAD", words(1)},
    {"LIMIT", words(2)},
    {"PARAMS",
     [](Words &w) {
         uint64_t n;
         return w.number(&n) && n % 2 == 0 && w.skip(n);
     }},
    {"DIALECT", words(1)},
    {"SUMMARIZE",
     [](Words &w) {
         if (w.take("FIELDS") && !w.counted())
             return false;
         for (const char *one : {"FRAGS", "LEN", "SEPARATOR"})
             if (w.take(one) && !w.skip(1))
                 return false;
         return true;
     }},
    {"HIGHLIGHT",
     [](Words &w) {
         if (w.take("FIELDS") && !w.counted())
             return false;
         return !w.take("TAGS") || w.skip(2);
     }},
    {"SORTBY",
     [](Words &w) {
         if (!w.skip(1))
             return false;
         if (!w.take("ASC"))
             w.take("DESC");
         w.take("WITHCOUNT");
         return true;
     }},
};

const std::map<std::string, Clause> aggregateClauses = {
    {"VERBATIM", words(0)},
    {"LOAD", counted()},
    {"TIMEOUT", words(1)},
    {"LIMIT", words(2)},
    {"FILTER", words(1)},
    {"DIALECT", words(1)},
    {"PARAMS", counted()},
    {"GROUPBY",
     [](Words &w) {
         if (!w.counted())
             return false;
         while (w.take("REDUCE")) {
             if (!w.skip(1) || !w.counted())
                 return false;
             if (w.take("AS") && !w.skip(1))
                 return false;
         }
         return true;
     }},
    {"SORTBY",
     [](Words &w) {
         uint64_t n;
         if (!w.number(&n) || n % 2 || !w.skip(n))
             return false;
         if (w.take("MAX") && !w.skip(1))
             return false;
         w.take("WITHCOUNT");
         return true;
     }},
    {"APPLY", [](Words &w) { return w.skip(1) && w.take("AS") && w.skip(1); }},
    {"WITHCURSOR",
     [](Words &w) {
         for (const char *one : {"COUNT", "MAXIDLE"})
             if (w.take(one) && !w.skip(1))
                 return false;
         return true;
     }},
};

const std::map<std::string, Clause> createClauses = {
    {"ON", words(1)},
    {"PREFIX", counted()},
    {"FILTER", words(1)},
    {"LANGUAGE", words(1)},
    {"LANGUAGE_FIELD", words(1)},
    {"SCORE", words(1)},
    {"SCORE_FIELD", words(1)},
    {"PAYLOAD_FIELD", words(1)},
    {"MAXTEXTFIELDS", words(0)},
    {"NOOFFSETS", words(0)},
    {"TEMPORARY", words(1)},
    {"NOHL", words(0)},
    {"NOFIELDS", words(0)},
    {"NOFREQS", words(0)},
    {"STOPWORDS", counted()},
    {"SKIPINITIALSCAN", words(0)},
};

/* One field: name [AS alias] type, the type's options, then SORTABLE [UNF], then NOINDEX. */
bool readField(Words &w)
{
    if (!w.skip(1))
        return false;
    if (w.take("AS") && !w.skip(1))
        return false;
    bool typed = false;
    for (const char *type : {"TEXT", "TAG", "NUMERIC", "GEO", "VECTOR"})
        typed = typed || w.take(type);
    if (!typed)
        return false;
    for (bool more = true; more;) {
        more = false;
        for (const char *flag : {"NOSTEM", "CASESENSITIVE", "WITHSUFFIXTRIE", "INDEXEMPTY", "INDEXMISSING"})
            more = more || w.take(flag);
        for (const char *one : {"PHONETIC", "WEIGHT", "SEPARATOR"})
            if (w.take(one)) {
                if (!w.skip(1))
                    return false;
                more = true;
            }
    }
    if (w.take("SORTABLE"))
        w.take("UNF");
    w.take("NOINDEX");
    return true;
}

bool readCreate(Words &w, uint32_t fields, std::string *why)
{
    std::map<std::string, Clause> clauses = createClauses;
    bool schema = false;
    clauses["SCHEMA"] = [&](Words &in) {
        schema = true;
        for (uint32_t i = 0; i < fields; i++)
            if (!readField(in))
                return false;
        return in.done();
    };
    if (!readClauses(w, clauses, why))
        return false;
    if (!schema)
        *why = "no SCHEMA";
    return schema;
}

const std::map<std::string, Clause> spellClauses = {
    {"DISTANCE", words(1)},
    {"DIALECT", words(1)},
    {"TERMS",
     [](Words &w) {
         if (!w.take("INCLUDE") && !w.take("EXCLUDE"))
             return false;
         if (!w.skip(1))
             return false;
         while (!w.done() && !w.is("TERMS") && !w.is("DIALECT"))
             w.skip(1);
         return true;
     }},
};

const std::map<std::string, Clause> jsonGetClauses = {
    {"INDENT", words(1)},
    {"NEWLINE", words(1)},
    {"SPACE", words(1)},
};

/* -- random option arrays ------------------------------------------------------------------------ */

class Options {
  public:
    explicit Options(uint32_t seed) : rng_(seed) {}

    uint32_t pick(size_t n) { return static_cast<uint32_t>(rng_() % n); }

    /* An option array: names of the command's options (and a few others), values of any shape. */
    std::string array(const std::vector<const char *> &names, int depth = 0)
    {
        std::string out = "[";
        for (uint32_t n = pick(5); n > 0; n--) {
            if (pick(12) == 0)
                out += value(depth + 1) + ", ";
            else
                out += name(names) + " => " + value(depth + 1, names) + ", ";
        }
        return out + "]";
    }

    std::string name(const std::vector<const char *> &names)
    {
        std::string n = pick(10) ? names[pick(names.size())] : "other";
        if (pick(3) == 0)
            for (char &c : n)
                c = static_cast<char>(tolower(static_cast<unsigned char>(c)));
        return "'" + n + "'";
    }

    std::string value(int depth, const std::vector<const char *> &names = {})
    {
        static const char *const scalars[] = {
            "0",           "1",      "2",     "-1",        "3",      "0.5",    "true", "false", "null",
            "'1'",         "'v'",    "'w x'", "'@f'",      "'a:'",   "''",     "';'",  "'asc'", "'DESC'",
            "'withcount'", "'text'", "'TAG'", "'numeric'", "'hash'", "'json'", "'é'"};
        switch (pick(depth < 3 ? 4 : 1)) {
        case 0:
            return scalars[pick(std::size(scalars))];
        case 1: {
            std::string out = "[";
            for (uint32_t n = pick(7); n > 0; n--)
                out += value(depth + 1) + ", ";
            return out + "]";
        }
        case 2:
            return array(subNames, depth);
        default: {
            std::string out = "[";
            for (uint32_t n = pick(4); n > 0; n--)
                out += "'k" + std::to_string(pick(3)) + "' => " + value(depth + 1) + ", ";
            return out + "]";
        }
        }
    }

    /* A schema: fields with field options. */
    std::string schema(uint32_t *fields)
    {
        static const std::vector<const char *> fieldNames = {
            "TYPE",           "AS",         "SORTABLE",    "UNF",       "NOSTEM",
            "NOINDEX",        "PHONETIC",   "WEIGHT",      "SEPARATOR", "CASESENSITIVE",
            "WITHSUFFIXTRIE", "INDEXEMPTY", "INDEXMISSING"};
        std::string out = "[";
        *fields = pick(4);
        for (uint32_t i = 0; i < *fields; i++) {
            out += "'f" + std::to_string(i) + "' => [";
            if (pick(6))
                out += "'TYPE' => '" + std::string(types[pick(std::size(types))]) + "', ";
            for (uint32_t n = pick(5); n > 0; n--)
                out += name(fieldNames) + " => " + value(2) + ", ";
            out += "], ";
        }
        return out + "]";
    }

  private:
    static inline const char *const types[] = {"text", "TAG", "Numeric", "GEO", "VECTOR", "geoshape"};
    static inline const std::vector<const char *> subNames = {"FIELDS",     "FRAGS",   "LEN",    "SEPARATOR", "TAGS",
                                                              "PROPERTIES", "REDUCE",  "MAX",    "WITHCOUNT", "COUNT",
                                                              "MAXIDLE",    "INCLUDE", "EXCLUDE"};
    std::mt19937 rng_;
};

const std::vector<const char *> searchNames = {"NOCONTENT",    "VERBATIM",  "NOSTOPWORDS", "WITHSCORES", "WITHPAYLOADS",
                                               "WITHSORTKEYS", "FILTER",    "GEOFILTER",   "INKEYS",     "INFIELDS",
                                               "RETURN",       "SUMMARIZE", "HIGHLIGHT",   "SLOP",       "TIMEOUT",
                                               "INORDER",      "LANGUAGE",  "EXPANDER",    "SCORER",     "EXPLAINSCORE",
                                               "PAYLOAD",      "SORTBY",    "LIMIT",       "PARAMS",     "DIALECT"};
const std::vector<const char *> aggregateNames = {"VERBATIM", "LOAD",   "TIMEOUT",    "GROUPBY", "SORTBY", "APPLY",
                                                  "LIMIT",    "FILTER", "WITHCURSOR", "PARAMS",  "DIALECT"};
const std::vector<const char *> createNames = {
    "ON",          "PREFIX",        "FILTER",        "LANGUAGE",       "LANGUAGE_FIELD", "SCORE",
    "SCORE_FIELD", "PAYLOAD_FIELD", "MAXTEXTFIELDS", "NOOFFSETS",      "TEMPORARY",      "NOHL",
    "NOFIELDS",    "NOFREQS",       "STOPWORDS",     "SKIPINITIALSCAN"};
const std::vector<const char *> spellNames = {"DISTANCE", "TERMS", "DIALECT"};
const std::vector<const char *> jsonGetNames = {"INDENT", "NEWLINE", "SPACE"};

struct Call {
    const char *cmd;
    const char *method;
    std::string args;
    size_t firstClause; /* words before the clauses: the command word, names, the query */
    const std::map<std::string, Clause> *clauses;
    uint32_t fields = 0; /* FT.CREATE */
};

Call makeCall(Options &o)
{
    switch (o.pick(5)) {
    case 0:
        return {"FT.SEARCH", "ftSearch", "'i', 'q', " + o.array(searchNames), 3, &searchClauses};
    case 1:
        return {"FT.AGGREGATE", "ftAggregate", "'i', 'q', " + o.array(aggregateNames), 3, &aggregateClauses};
    case 2: {
        Call c{"FT.CREATE", "ftCreate", "", 2, nullptr};
        const std::string schema = o.schema(&c.fields);
        c.args = "'i', " + schema + ", " + o.array(createNames);
        return c;
    }
    case 3:
        return {"FT.SPELLCHECK", "ftSpellCheck", "'i', 'q', " + o.array(spellNames), 3, &spellClauses};
    default:
        return {"JSON.GET", "jsonGet", "'k', " + o.array(jsonGetNames), 2, &jsonGetClauses};
    }
}

TEST(ModulesFuzz, OptionArraysWriteTheCountsTheyCarry)
{
    ASSERT_TRUE(kelvo_test::moduleLoaded);
    PG(during_request_startup) = 0;
    ASSERT_EQ(runPhp("$fuzzClient = new Kelvo\\Kelvo('127.0.0.1', 1); $fuzzClient->setOption(Kelvo\\Kelvo::OPT_PREFIX, "
                     "'p:'); $out = 'ok';"),
              "ok");
    zval *client = zend_hash_str_find_deref(&EG(symbol_table), ZEND_STRL("fuzzClient"));
    ASSERT_NE(client, nullptr);
    const char *secondsText = getenv("KELVO_MODULES_FUZZ_SECONDS");
    const char *seedText = getenv("KELVO_MODULES_FUZZ_SEED");
    const double seconds = secondsText ? atof(secondsText) : 5.0;
    const uint32_t seed = seedText ? static_cast<uint32_t>(strtoul(seedText, nullptr, 10)) : std::random_device{}();
    SCOPED_TRACE("KELVO_MODULES_FUZZ_SEED=" + std::to_string(seed));
    Options options(seed);
    const auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    std::map<std::string, uint64_t> built;
    uint64_t runs = 0;
    while (std::chrono::steady_clock::now() < end || runs < 200) {
        runs++;
        const Call call = makeCall(options);
        int cmd = -1;
        ASSERT_EQ(kelvoStringToRedisCmd(&cmd, call.cmd, strlen(call.cmd)), 0);
        zval args;
        const std::string code = "[" + call.args + "]";
        ASSERT_EQ(zend_eval_stringl(code.data(), code.size(), &args, "modules options fuzz"), SUCCESS) << code;
        Built b = kelvo_test::callBuilder(client, call.method, cmd, &args);
        zval_ptr_dtor(&args);
        size_t warnings = 0;
        for (const auto &d : b.diagnostics)
            warnings += d.type == E_WARNING && d.text != "Array to string conversion";
        if (b.rc != 0) {
            ASSERT_EQ(b.exception, "") << code;
            ASSERT_EQ(warnings, 1u) << call.method << "(" << call.args << ") refused without one warning";
            continue;
        }
        ASSERT_EQ(b.exception, "") << code;
        Words w(b.words, call.firstClause);
        std::string why;
        const bool read = call.clauses ? readClauses(w, *call.clauses, &why) : readCreate(w, call.fields, &why);
        ASSERT_TRUE(read) << call.method << "(" << call.args << ") sent " << ::testing::PrintToString(b.words) << ": "
                          << why;
        built[call.method]++;
    }
    for (const char *method : {"ftSearch", "ftAggregate", "ftCreate", "ftSpellCheck", "jsonGet"})
        EXPECT_GT(built[method], 0u) << method << " never built a request";
}

} // namespace
