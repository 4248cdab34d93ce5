// Local invalidation after writes, checked against the harness's server: every command its COMMAND
// reply flags as a write finds its keys and drops them (keys and delete roles in the catalogue),
// unless it stands on the short list below with its reason.
#include "catalog/cmdinfo.h"
#include "commands/cmdroles.h"
#include "runtime/kelvo.h"
#include "support/command_engine.h"

extern "C" {
#include "php_main.h"
}

#include <cctype>
#include <cstdlib>
#include <map>
#include <sstream>
#include <string>

namespace {

int startupWithKelvo(sapi_module_struct *sapi) { return php_module_startup(sapi, &kelvo_module_entry); }

const bool moduleLoaded = (php_embed_module.startup = startupWithKelvo, true);

std::string port()
{
    const char *value = getenv("KELVO_TEST_PORT");
    return value ? value : "";
}

/* Writes that need no roles of their own, and why. */
const std::map<std::string, std::string> kWithoutRoles = {
    {"PERSIST", "changes only the key's expiry, which nothing cached holds"},
    {"GETEX", "changes only the key's expiry; its keys role only marks its reply as one value"},
    {"XSETID", "outside the catalogue; changes only a stream's last id, never its existence or type"},
    {"FUNCTION", "changes the server's function libraries, no key"},
    {"XREADGROUP", "changes only a consumer group's state, never a key's value, type or existence"},
    {"PFDEBUG", "a debugging command outside the catalogue; rawCommand sends it unparsed"},
    {"RESTORE-ASKING", "sent by cluster nodes to one another during a migration, outside the catalogue"},
    {"FLUSHDB", "drops every key: its delete role flushes, it has no keys to find"},
    {"FLUSHALL", "drops every key: its delete role flushes, it has no keys to find"},
    {"SWAPDB", "its keys role reads database numbers, its delete role flushes both databases"},
};

/* The write commands the server lists, containers for write subcommands ("XGROUP" for "xgroup|create"). */
std::string writeCommands()
{
    return runPhp("$c = new Kelvo\\Kelvo('127.0.0.1', " + port() +
                      ");"
                      "$c->setOption(Kelvo\\Kelvo::OPT_REPLY_LITERAL, true);"
                      "$names = []; $entries = $c->rawCommand('COMMAND');"
                      "while ($entries) {"
                      "  $entry = array_pop($entries);"
                      "  if (in_array('write', (array) $entry[2], true)) {"
                      "    $names[] = strtoupper(explode('|', $entry[0])[0]);"
                      "  }"
                      "  array_push($entries, ...(array) ($entry[9] ?? []));"
                      "}"
                      "$out = implode(' ', array_unique($names));",
                  "write commands");
}

TEST(WriteCommands, EveryWriteTheServerListsDropsTheKeysItWrites)
{
    ASSERT_TRUE(moduleLoaded);
    ASSERT_FALSE(port().empty()) << "KELVO_TEST_PORT is not set: run the tests through scripts/test";
    std::istringstream names(writeCommands());
    std::string name;
    int checked = 0;
    while (names >> name) {
        SCOPED_TRACE(name);
        checked++;
        int cmd = REDIS_CMD_UNKNOWN;
        bool known = kelvoStringToRedisCmd(&cmd, name.data(), name.size()) == 0;
        if (kWithoutRoles.count(name)) {
            if (known && name.rfind("FLUSH", 0) != 0 && name != "SWAPDB")
                EXPECT_EQ(kelvoCommandTable[cmd].std.delFn, nullptr) << "on the short list but drops keys";
            continue;
        }
        ASSERT_TRUE(known) << "a write the catalogue does not know";
        const kelvoCommandInfo &row = kelvoCommandTable[cmd];
        ASSERT_EQ(row.type, KELVO_CMDTYPE_STANDARD);
        EXPECT_NE(row.std.keysFn, nullptr) << "no keys role";
        EXPECT_NE(row.std.delFn, nullptr) << "no delete role";
    }
    EXPECT_GT(checked, 80);
}

} // namespace
