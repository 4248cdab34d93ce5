// Random RESP3 replies, every type at every depth and bytes cut or changed, through the reply
// formatters of the JSON document and search commands under random client options. A formatter
// always leaves a value, reports at most through the client's own reporting, and never changes the
// client's option word or serializer; any assertion, leak or sanitizer report ends the run.
// Bounded in time: KELVO_MODULES_FUZZ_SECONDS (5 by default); KELVO_MODULES_FUZZ_SEED repeats a run.
#include "commands/cmdroles.h"
#include "commands/commands.h"
#include "support/command_engine.h"
#include "commands/commands_test_util.h"

#include <chrono>
#include <cstdlib>
#include <random>
#include <string>

using namespace kelvo_test;

namespace {

class RespMaker {
  public:
    explicit RespMaker(uint32_t seed) : rng_(seed) {}

    std::string make(int depth = 0)
    {
        static const char *const texts[] = {"",   "a",  "{",    "[",         "true", "false",  "1.5",
                                            "-7", "OK", "i:5;", "\xff\x00z", "500",  "return", "1e400"};
        const std::string text = texts[pick(std::size(texts))];
        switch (pick(depth < 4 ? 15 : 9)) {
        case 0:
            return "$" + std::to_string(text.size()) + "\r\n" + text + "\r\n";
        case 1:
            return "+" + (text.find_first_of("\r\n") == std::string::npos ? text : "x") + "\r\n";
        case 2:
            return ":" + std::to_string(static_cast<int64_t>(rng_()) >> pick(64)) + "\r\n";
        case 3:
            return pick(2) ? "_\r\n" : "$-1\r\n";
        case 4:
            return "," + std::string(pick(2) ? "2.5" : pick(2) ? "inf" : "-nan") + "\r\n";
        case 5:
            return pick(2) ? "#t\r\n" : "#f\r\n";
        case 6:
            return "(123456789012345678901234567890\r\n";
        case 7:
            return "-ERR " + std::to_string(pick(9)) + "\r\n";
        case 8:
            return "=7\r\ntxt:" + std::string("abc") + "\r\n";
        default:
            return aggregate(depth);
        }
    }

    uint32_t pick(size_t n) { return static_cast<uint32_t>(rng_() % n); }

    /* Sometimes a byte changed or the tail cut: the reader refuses or reads something else. */
    void damage(std::string *bytes)
    {
        if (bytes->empty() || pick(8) != 0)
            return;
        if (pick(2))
            (*bytes)[pick(bytes->size())] = static_cast<char>(rng_());
        else
            bytes->resize(pick(bytes->size()));
    }

  private:
    std::string aggregate(int depth)
    {
        static const char leads[] = {'*', '*', '%', '~', '>', '|'};
        const char lead = leads[pick(std::size(leads))];
        const uint32_t count = pick(5);
        const uint32_t children = lead == '%' || lead == '|' ? count * 2 : count;
        std::string out = std::string(1, lead) + std::to_string(count) + "\r\n";
        for (uint32_t i = 0; i < children; i++)
            out += make(depth + 1);
        if (lead == '|') /* an attribute goes before the reply it describes */
            out += make(depth + 1);
        return out;
    }

    std::mt19937 rng_;
};

struct Target {
    kelvoReplyFn fn;
    int cmd;
};

const Target targets[] = {
    {kelvoJsonReplyFmt, REDIS_CMD_JSON_GET},    {kelvoJsonReplyFmt, REDIS_CMD_JSON_MGET},
    {kelvoJsonPlainFmt, REDIS_CMD_JSON_ARRPOP}, {kelvoJsonTypeFmt, REDIS_CMD_JSON_TYPE},
    {kelvoJsonRespReply, REDIS_CMD_JSON_RESP},  {kelvoFtPlainFmt, REDIS_CMD_FT_SEARCH},
    {kelvoFtReplyFmt, REDIS_CMD_FT_INFO},       {kelvoFtConfigFmt, REDIS_CMD_FT_CONFIG},
};

const kelvoOptionWord optionBits[] = {kelvoOptPhpredisCompat, kelvoOptThrowOnError, kelvoOptReplyLiteral,
                                      kelvoOptNullMultibulkAsNull};

TEST(ModulesFuzz, ReplyFormattersTakeAnyResp3)
{
    const char *secondsText = getenv("KELVO_MODULES_FUZZ_SECONDS");
    const char *seedText = getenv("KELVO_MODULES_FUZZ_SEED");
    const double seconds = secondsText ? atof(secondsText) : 5.0;
    const uint32_t seed = seedText ? static_cast<uint32_t>(strtoul(seedText, nullptr, 10)) : std::random_device{}();
    SCOPED_TRACE("KELVO_MODULES_FUZZ_SEED=" + std::to_string(seed));
    RespMaker maker(seed);
    /* Reports in phpredis mode are warnings: counted by nobody here, so kept quiet. */
    const int reporting = EG(error_reporting);
    EG(error_reporting) = 0;
    const auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    uint64_t runs = 0, read = 0;
    while (std::chrono::steady_clock::now() < end || runs < 200) {
        runs++;
        std::string bytes = maker.make();
        maker.damage(&bytes);
        redisReader *reader = redisReaderCreateWithFunctions(&kelvoReplyObjectFunctions);
        void *parsed = nullptr;
        const bool ok = redisReaderFeed(reader, bytes.data(), bytes.size()) == REDIS_OK &&
                        redisReaderGetReply(reader, &parsed) == REDIS_OK && parsed;
        redisReaderFree(reader);
        if (!ok)
            continue;
        read++;
        kelvoReply *reply = static_cast<kelvoReply *>(parsed);
        kelvoOptionWord options = 0;
        for (kelvoOptionWord bit : optionBits)
            if (maker.pick(2))
                options = static_cast<kelvoOptionWord>(options | bit);
        const Target &target = targets[maker.pick(std::size(targets))];
        TestClient client(options);
        client.ro.opts.serializer = maker.pick(2) ? &kelvoPhpSerInfo : &kelvoJsonSerInfo;
        const kelvoSerInfo *serializer = client.ro.opts.serializer;
        QuerySet rqs(target.cmd, static_cast<uint8_t>(maker.pick(2)), 0, "");
        zval out;
        target.fn(&out, rqs.get(), client.obj(), reply);
        ASSERT_FALSE(Z_ISUNDEF(out)) << "no value for " << bytes;
        ASSERT_EQ(client.flags(), options) << "option word changed for " << bytes;
        ASSERT_EQ(client.ro.opts.serializer, serializer);
        zval_ptr_dtor(&out);
        takeMalformed();
        kelvoReplyFree(reply);
    }
    EG(error_reporting) = reporting;
    EXPECT_GT(read, runs / 2) << "the maker should mostly make readable replies";
}

} // namespace
