// The module inside a running engine (embed SAPI, the module started with the
// engine): what start-up installs, what shutdown gives back, and the forms of
// the exceptions and last errors every component raises.
#include <gtest/gtest.h>

#include "runtime/cfgvals.h"
#include "client/connection.h"
#include "support/engine_exception.h"
#include "runtime/exception.h"
#include "runtime/kelvo.h"
#include "link/link.h"
#include "wire/reply.h"

extern "C" {
#include "php_embed.h"
#include "php_main.h"
#include "zend_exceptions.h"
}

#include <signal.h>

#include <cstdlib>
#include <cstring>
#include <string>

namespace {

int startupWithKelvo(sapi_module_struct *sapi) { return php_module_startup(sapi, &kelvo_module_entry); }

/* "name=value" lines given to the next engine run, as if read from php.ini. */
std::string iniLines;
void (*embedIniDefaults)(HashTable *);

void iniDefaults(HashTable *configuration)
{
    if (embedIniDefaults)
        embedIniDefaults(configuration);
    size_t at = 0;
    while (at < iniLines.size()) {
        size_t eq = iniLines.find('=', at), nl = iniLines.find('\n', at);
        zval value;
        ZVAL_NEW_STR(&value, zend_string_init(iniLines.data() + eq + 1, nl - eq - 1, 1));
        zend_hash_str_update(configuration, iniLines.data() + at, eq - at, &value);
        at = nl + 1;
    }
}

/* One engine run (module start-up, one request) for the life of the object. */
struct Engine {
    explicit Engine(const char *ini = "")
    {
        static char name[] = "kelvo_module_test";
        static char *argv[] = {name, nullptr};
        php_embed_module.php_ini_ignore = 1;
        iniLines = ini;
        if (php_embed_module.ini_defaults != iniDefaults) {
            embedIniDefaults = php_embed_module.ini_defaults;
            php_embed_module.ini_defaults = iniDefaults;
        }
        php_embed_module.startup = startupWithKelvo;
        started = php_embed_init(1, argv) == SUCCESS;
    }
    ~Engine()
    {
        if (started)
            php_embed_shutdown();
    }
    bool started;
};

void (*handlerOf(int sig))(int)
{
    struct sigaction action;
    sigaction(sig, nullptr, &action);
    return action.sa_handler;
}

} // namespace

TEST(ModuleLifecycle, ShutdownGivesBackTheHooksItReplaced)
{
    auto segvBefore = handlerOf(SIGSEGV);
    void (*replaced)(zend_execute_data *);
    {
        Engine engine;
        ASSERT_TRUE(engine.started);
        EXPECT_EQ(zend_interrupt_function, kelvoInterruptFunction);
        replaced = orig_interrupt_function;
        EXPECT_NE(replaced, kelvoInterruptFunction);
        EXPECT_NE(handlerOf(SIGSEGV), segvBefore);
    }
    // The module's code may be unloaded now: nothing may still point into it.
    EXPECT_EQ(zend_interrupt_function, replaced);
    EXPECT_EQ(orig_interrupt_function, nullptr);
    EXPECT_EQ(handlerOf(SIGSEGV), segvBefore);
}

TEST(ModuleLifecycle, SecondStartupRegistersAgainWithoutChainingToItself)
{
    {
        Engine engine("kelvo.databases=7\n");
        ASSERT_TRUE(engine.started);
    }
    pid_t owner = kelvoStartupPID;
    EXPECT_EQ(owner, getpid());
    Engine engine("kelvo.databases=9\n");
    ASSERT_TRUE(engine.started);
    EXPECT_EQ(kelvoStartupPID, owner);
    EXPECT_NE(orig_interrupt_function, kelvoInterruptFunction);
    EXPECT_NE(zend_hash_str_find_ptr(CG(class_table), ZEND_STRL("kelvo\\exception")), nullptr);
    // Settings are fixed by the first start-up of the process image.
    EXPECT_EQ(kelvoCfgVals.databases, 7u);
    EXPECT_STREQ(INI_STR("kelvo.databases"), "7");
}

/* A running engine with the module and one open request, around each test. */
class ModuleEngine : public testing::Test {
  protected:
    void SetUp() override { ASSERT_TRUE(engine.started); }
    Engine engine;
};

TEST_F(ModuleEngine, ExceptionMessageNamesCodeFileAndLine)
{
    FakeFrame frame;
    zend_long code = 0;
    int line = __LINE__ + 1;
    kelvoThrowException(KELVO_ERR_NOAUTH, "Authentication required");
    EXPECT_EQ(takeException(&code),
              "Authentication required (KELVO_ERR_NOAUTH; module_engine_test.cc:" + std::to_string(line) + ")");
    EXPECT_EQ(code, KELVO_ERR_NOAUTH);

    line = __LINE__ + 1;
    kelvoThrowExceptionFmt(KELVO_ERR_CONFIG, "Bad %s %d", "value", 42);
    EXPECT_EQ(takeException(&code),
              "Bad value 42 (KELVO_ERR_CONFIG; module_engine_test.cc:" + std::to_string(line) + ")");
    EXPECT_EQ(code, KELVO_ERR_CONFIG);
}

TEST_F(ModuleEngine, ErrorRepliesAreThrownOrRecorded)
{
    FakeFrame frame;
    zend_string *last = nullptr;
    zend_long code = 0;

    // Not terminated: only `length` bytes count.
    const char reply[] = "ERR wrong number of arguments for 'get' commandXXXX";
    kelvoHandleErrorText(&last, kelvoOptPhpredisCompat, reply, sizeof reply - 5);
    EXPECT_EQ(EG(exception), nullptr);
    ASSERT_NE(last, nullptr);
    EXPECT_STREQ(ZSTR_VAL(last), "ERR wrong number of arguments for 'get' command");

    kelvoHandleErrorText(&last, kelvoOptPhpredisCompat, reply, sizeof reply - 5);
    EXPECT_STREQ(ZSTR_VAL(last), "ERR wrong number of arguments for 'get' command");
    kelvoHandleErrorText(&last, kelvoOptPhpredisCompat | kelvoOptThrowOnError, reply, sizeof reply - 5);
    EXPECT_EQ(takeException(&code).rfind("ERR wrong number of arguments for 'get' command (KELVO_ERR_REDIS; ", 0), 0u);
    EXPECT_EQ(code, KELVO_ERR_REDIS);

    const char noauth[] = "NOAUTH Authentication required.";
    kelvoHandleErrorText(&last, kelvoOptPhpredisCompat, noauth, sizeof noauth - 1);
    EXPECT_EQ(takeException(&code).rfind("Authentication required (KELVO_ERR_NOAUTH; module_engine_test.cc:", 0), 0u);
    EXPECT_EQ(code, KELVO_ERR_NOAUTH);
    // A thrown error leaves the last error alone.
    EXPECT_STREQ(ZSTR_VAL(last), "ERR wrong number of arguments for 'get' command");
    zend_string_release(last);
}

TEST_F(ModuleEngine, LinkErrorsAreThrownFirstMatchFirst)
{
    FakeFrame frame;
    redisContext broken = {};
    broken.err = REDIS_ERR_EOF;
    strcpy(broken.errstr, "Server closed the connection");
    redisContext healthy = {};

    struct Case {
        const char *name;
        uint32_t err;
        const char *errstr;
        uint32_t sslErr;
        redisContext *ctx;
        zend_long code;
        std::string message;
    };
    const Case cases[] = {
        {"own error first", KELVO_ERR_TIMEOUT, "Connection timed out", 3, &broken, KELVO_ERR_TIMEOUT,
         "Connection timed out"},
        {"then the TLS error", 0, "", 3, &broken, KELVO_ERR_TLS, "Failed to load CA Certificate or CA Path"},
        {"no context", 0, "", 0, nullptr, KELVO_ERR_IO, "Not connected"},
        {"the context's error", 0, "", 0, &broken, KELVO_ERR_REDIS, "Server closed the connection"},
        {"nothing known", 0, "", 0, &healthy, KELVO_ERR_OTHER, "Unknown error"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        kelvoLink link = {};
        link.err = c.err;
        strcpy(link.errstr, c.errstr);
        link.sslErr = c.sslErr;
        link.ctx = c.ctx;
        zend_long code = 0;
        kelvoLinkThrowException(&link);
        std::string thrown = takeException(&code);
        EXPECT_EQ(thrown.substr(0, thrown.find(" (")), c.message);
        EXPECT_EQ(code, c.code);
    }
}

TEST_F(ModuleEngine, WrongTypeAndMalformedReplies)
{
    FakeFrame frame;
    zend_string *last = nullptr;
    zend_long code = 0;

    kelvoReportWrongType(&last, kelvoOptThrowOnError, "integer", "GETRANGE", 8);
    EXPECT_EQ(takeException(&code).rfind(
                  "Got reply-type 'integer' to 'GETRANGE' command (KELVO_ERR_WRONGTYPE; exception.cc:", 0),
              0u);
    EXPECT_EQ(code, KELVO_ERR_WRONGTYPE);

    std::string longName(400, 'X');
    kelvoReportWrongType(&last, 0, "array", longName.data(), longName.size());
    EXPECT_EQ(EG(exception), nullptr);
    ASSERT_NE(last, nullptr);
    EXPECT_EQ(ZSTR_LEN(last), 253u);
    EXPECT_EQ(std::string(ZSTR_VAL(last), 24), "Got reply-type 'array' t");
    zend_string_release(last);

    kelvoMalformedReplyWrongTypeEx(0, "reply.cc", 12, "array", "integer");
    EXPECT_EQ(takeException(&code),
              "Malformed RESP reply: expected array, got integer (KELVO_ERR_PROTOCOL; reply.cc:12)");
    EXPECT_EQ(code, KELVO_ERR_PROTOCOL);
    std::string longText(1000, 'y');
    kelvoMalformedReply(kelvoOptThrowOnError, "%s", longText.c_str());
    std::string message = takeException();
    EXPECT_EQ(message.find(" (KELVO_ERR_PROTOCOL;") - strlen("Malformed RESP reply: "), 488u);
}

TEST_F(ModuleEngine, CreatedExceptionsAreNotThrown)
{
    zval ex, rv;
    kelvoCreateException(&ex, KELVO_ERR_REDIS, "ERR no such key", 15);
    EXPECT_EQ(EG(exception), nullptr);
    ASSERT_EQ(Z_TYPE(ex), IS_OBJECT);
    EXPECT_EQ(Z_OBJCE(ex), kelvo_exception_ce);
    EXPECT_STREQ(Z_STRVAL_P(zend_read_property(zend_ce_exception, Z_OBJ(ex), ZEND_STRL("message"), 1, &rv)),
                 "ERR no such key");
    EXPECT_EQ(Z_LVAL_P(zend_read_property(zend_ce_exception, Z_OBJ(ex), ZEND_STRL("code"), 1, &rv)), KELVO_ERR_REDIS);
    zval_ptr_dtor(&ex);
}

TEST_F(ModuleEngine, SeedsDoNotFollowTheClockSeededGenerator)
{
    srand(1);
    uint64_t a = kelvoRandomSeed();
    srand(1);
    uint64_t b = kelvoRandomSeed();
    EXPECT_NE(a, b);
}

TEST_F(ModuleEngine, InstanceIdIsAVersion7Uuid)
{
    char text[37] = {0};
    kelvoFmtUuid(text, KELVO_G(instance_id));
    EXPECT_EQ(strlen(text), 36u);
    EXPECT_EQ(text[14], '7');
    EXPECT_NE(std::string("89ab").find(text[19]), std::string::npos);
    EXPECT_EQ(text[8], '-');
    EXPECT_EQ(text[23], '-');
}

namespace {

/* An error or status node as the reader makes them (request memory). */
struct ReplyNode {
    explicit ReplyNode(uint32_t type, const char *text)
    {
        node.type = type;
        node.v.str = zend_string_init(text, strlen(text), 0);
    }
    ~ReplyNode() { zend_string_release(node.v.str); }
    kelvoReply node{};
};

} // namespace

TEST_F(ModuleEngine, ErrorRepliesAndHandshakeChecksRaiseTheirErrors)
{
    FakeFrame frame;
    zend_string *last = nullptr;
    zend_long code = 0;

    ReplyNode wrongpass(KELVO_REPLY_ERROR, "WRONGPASS invalid username-password pair");
    kelvoHandleReplyError(&last, kelvoOptPhpredisCompat, &wrongpass.node);
    EXPECT_EQ(
        takeException(&code).rfind("Invalid username-password pair or user is disabled (KELVO_ERR_WRONGPASS; ", 0), 0u);
    EXPECT_EQ(code, KELVO_ERR_WRONGPASS);

    redisContext ctx{};
    kelvoLink link{};
    link.ctx = &ctx;
    ReplyNode ok(KELVO_REPLY_STATUS, "OK");
    EXPECT_EQ(kelvoCurryContextError(&last, &link, 0, &ok.node), 0);
    EXPECT_EQ(EG(exception), nullptr);
    ReplyNode noauth(KELVO_REPLY_ERROR, "NOAUTH HELLO must be called with the client already authenticated");
    EXPECT_EQ(kelvoCurryContextError(&last, &link, kelvoOptPhpredisCompat, &noauth.node), 1);
    EXPECT_EQ(takeException(&code).rfind("Authentication required (KELVO_ERR_NOAUTH; ", 0), 0u);
    EXPECT_EQ(kelvoCurryContextError(&last, &link, 0, nullptr), 1);
    EXPECT_EQ(takeException(&code).rfind("Unknown error (KELVO_ERR_OTHER; ", 0), 0u);
    ctx.err = REDIS_ERR_EOF;
    strcpy(ctx.errstr, "Server closed the connection");
    EXPECT_EQ(kelvoCurryContextError(&last, &link, 0, &ok.node), 1);
    EXPECT_EQ(takeException(&code).rfind("Server closed the connection (KELVO_ERR_EOF; ", 0), 0u);
    EXPECT_EQ(last, nullptr);
}

TEST_F(ModuleEngine, BatchExceptionsCarryTheErrorReply)
{
    zval ex, rv;
    ReplyNode error(KELVO_REPLY_ERROR, "WRONGTYPE Operation against a key holding the wrong kind of value");
    ReplyNode status(KELVO_REPLY_STATUS, "QUEUED");
    for (auto [reply, text] : {std::pair<const kelvoReply *, const char *>{&error.node, ZSTR_VAL(error.node.v.str)},
                               {&status.node, "Unknown"},
                               {nullptr, "Unknown"}}) {
        kelvoCreateMultiException(&ex, reply);
        EXPECT_EQ(EG(exception), nullptr);
        EXPECT_STREQ(Z_STRVAL_P(zend_read_property(zend_ce_exception, Z_OBJ(ex), ZEND_STRL("message"), 1, &rv)), text);
        EXPECT_EQ(Z_LVAL_P(zend_read_property(zend_ce_exception, Z_OBJ(ex), ZEND_STRL("code"), 1, &rv)),
                  KELVO_ERR_REDIS);
        zval_ptr_dtor(&ex);
    }
}
