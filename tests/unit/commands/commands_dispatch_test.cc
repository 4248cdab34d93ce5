// The dispatcher inside an engine that started the module, against the harness's server: the
// request counters each call leaves in the process's globals, and the upkeep's reconnect
// refused while a WATCH is in force.
#include "commands/commands.h"
#include "runtime/kelvo.h"
#include "client/object.h"
#include "support/command_engine.h"

extern "C" {
#include "php_main.h"
}

#include <cstdlib>
#include <string>

namespace {

int startupWithKelvo(sapi_module_struct *sapi) { return php_module_startup(sapi, &kelvo_module_entry); }

const bool moduleLoaded = (php_embed_module.startup = startupWithKelvo, true);

/* The harness's server port; empty outside scripts/test. */
std::string port()
{
    const char *value = getenv("KELVO_TEST_PORT");
    return value ? value : "";
}

std::string run(const std::string &code) { return runPhp(code, "dispatch test"); }

/* A client $c and an admin $a on the harness's server. */
void connectClients()
{
    ASSERT_TRUE(moduleLoaded);
    ASSERT_FALSE(port().empty()) << "KELVO_TEST_PORT is not set: run the tests through scripts/test";
    ASSERT_EQ(run("$c = new Kelvo\\Kelvo('127.0.0.1', " + port() + "); $a = new Kelvo\\Kelvo('127.0.0.1', " + port() +
                  "); $a->del('dispatch:s', 'dispatch:h'); $a->hset('dispatch:h', 'f', 'v'); $out = $c->ping();"),
              "1");
}

struct Counts {
    uint64_t requests, hits, misses, errors;
    bool operator==(const Counts &o) const
    {
        return requests == o.requests && hits == o.hits && misses == o.misses && errors == o.errors;
    }
};

Counts counts()
{
    const uint64_t *s = KELVO_G(stats);
    return {s[kelvoStatRequests], s[kelvoStatHits], s[kelvoStatMisses], s[kelvoStatErrors]};
}

std::ostream &operator<<(std::ostream &os, const Counts &c)
{
    return os << "{requests " << c.requests << ", hits " << c.hits << ", misses " << c.misses << ", errors " << c.errors
              << "}";
}

struct CounterCase {
    const char *name;
    const char *code;
    Counts added;
};

/* Misses are commands the server answered, hits cached reads the shared cache answered; errors are
 * failures once a cached read had its query set. */
const CounterCase counterCases[] = {
    {"cached read answered", "$out = var_export($c->get('dispatch:s'), true);", {1, 0, 1, 0}},
    {"write answered", "$out = var_export($c->set('dispatch:s', 'v'), true);", {1, 0, 1, 0}},
    {"three reads", "$c->get('dispatch:s'); $c->strlen('dispatch:s'); $out = $c->exists('dispatch:s');", {3, 2, 1, 0}},
    {"cached read refused by the server", "$out = var_export($c->get('dispatch:h'), true);", {1, 0, 0, 1}},
};

class RequestCounters : public testing::TestWithParam<CounterCase> {};

TEST_P(RequestCounters, EachCallCountsOneRequestAndItsOutcome)
{
    connectClients();
    Counts before = counts();
    run(GetParam().code);
    Counts after = counts();
    Counts added = {after.requests - before.requests, after.hits - before.hits, after.misses - before.misses,
                    after.errors - before.errors};
    EXPECT_EQ(added, GetParam().added);
}

INSTANTIATE_TEST_SUITE_P(Dispatch, RequestCounters, testing::ValuesIn(counterCases),
                         [](const testing::TestParamInfo<CounterCase> &info) {
                             std::string name;
                             for (const char *p = info.param.name; *p; p++)
                                 name += isalnum(static_cast<unsigned char>(*p)) ? *p : '_';
                             return name;
                         });

/* A link that must select its database again after losing its socket: reconnected unless a WATCH holds. */
TEST(DispatchWatch, UpkeepReconnectsOnlyWithoutAWatch)
{
    connectClients();
    robj *ro = kelvoGetObjectZVal(zend_hash_str_find_deref(&EG(symbol_table), ZEND_STRL("c")));
    for (bool watching : {false, true}) {
        SCOPED_TRACE(watching ? "watching" : "not watching");
        run(std::string(watching ? "$c->watch('dispatch:s');" : "") +
            "$a->rawCommand('CLIENT', 'KILL', 'ID', (string) $c->rawCommand('CLIENT', 'ID'));");
        EXPECT_EQ(ro->connState != 0, watching);
        ro->info.db = 1;
        std::string outcome = run("$out = var_export($c->get('dispatch:s'), true);");
        EXPECT_EQ(outcome.rfind(watching ? "Kelvo\\Exception: Server closed the connection" : "false", 0), 0u)
            << outcome;
        EXPECT_EQ(ro->connState, 0u);
        /* A WATCH reported lost holds nothing back: the next call connects and selects. */
        EXPECT_EQ(run("$v = var_export($c->get('dispatch:s'), true); $out = $c->getMode(true) . ' ' . $v;"), "0 false");
        EXPECT_EQ(ro->link.db, 1u);
        ro->info.db = 0;
    }
}

} // namespace
