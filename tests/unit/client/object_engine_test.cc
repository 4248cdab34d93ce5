// The client record inside an engine that started the module: objects created, cloned and
// released in every mode (the sanitizers watch their memory), and the release of an object
// that is still subscribed, as the server sees it.
#include "client/connection.h"
#include "client/object.h"
#include "wire/reply.h"
#include "support/command_engine.h"

extern "C" {
#include "php_main.h"
}

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

namespace {

int startupWithKelvo(sapi_module_struct *sapi) { return php_module_startup(sapi, &kelvo_module_entry); }

const bool moduleLoaded = (php_embed_module.startup = startupWithKelvo, true);

std::string run(const std::string &code) { return runPhp(code, "object test"); }

/* A plain socket to the test server in MONITOR mode: every command the server runs is reported. */
class Monitor {
  public:
    explicit Monitor(int port)
    {
        fd_ = socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in sa = {};
        sa.sin_family = AF_INET;
        sa.sin_port = htons(uint16_t(port));
        sa.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        connected_ = connect(fd_, reinterpret_cast<sockaddr *>(&sa), sizeof sa) == 0 &&
                     write(fd_, "MONITOR\r\n", 9) == 9 && readUntil("+OK\r\n");
    }
    ~Monitor() { close(fd_); }
    bool connected() const { return connected_; }

    /* Waits up to two seconds for `text` in the monitor's output. */
    bool readUntil(const std::string &text)
    {
        for (int i = 0; i < 20 && seen_.find(text) == std::string::npos; i++) {
            pollfd p = {fd_, POLLIN, 0};
            if (poll(&p, 1, 100) == 1) {
                char buf[4096];
                ssize_t n = read(fd_, buf, sizeof buf);
                if (n <= 0) {
                    break;
                }
                seen_.append(buf, size_t(n));
            }
        }
        return seen_.find(text) != std::string::npos;
    }

  private:
    int fd_ = -1;
    bool connected_ = false;
    std::string seen_;
};

} // namespace

TEST(ObjectRelease, SubscribedObjectLeavesItsChannelsBeforeTheTablesGo)
{
    ASSERT_TRUE(moduleLoaded);
    std::string port = harnessEnv("KELVO_TEST_PORT");
    ASSERT_FALSE(port.empty()) << "KELVO_TEST_PORT is not set: run the tests through scripts/test";
    ASSERT_EQ(run("$o = new Kelvo\\Kelvo('127.0.0.1', " + port +
                  ", 0.0, 0.0, ['use-cache' => false, 'persistent' => false]); $out = $o->serverName();"),
              "redis");
    zval *object = zend_hash_str_find_deref(&EG(symbol_table), ZEND_STRL("o"));
    ASSERT_NE(object, nullptr);
    robj *ro = kelvoGetObjectZVal(object);
    ASSERT_EQ(ro->link.state, uint32_t(KELVO_LINK_READY));

    /* Subscribed the way the subscribe commands leave an object (their replies are pushes). */
    redisPushFn *callback = redisSetPushCallback(ro->link.ctx, nullptr);
    void *reply = redisCommand(ro->link.ctx, "PSUBSCRIBE kelvo-release-*");
    redisSetPushCallback(ro->link.ctx, callback);
    ASSERT_NE(reply, nullptr);
    EXPECT_EQ(static_cast<kelvoReply *>(reply)->type, uint32_t(KELVO_REPLY_PUSH));
    kelvoReplyFree(reply);
    zend_hash_str_add_empty_element(&ro->patterns, ZEND_STRL("kelvo-release-*"));
    ro->mode |= kelvoModeSubscribed;

    Monitor monitor(std::stoi(port));
    ASSERT_TRUE(monitor.connected());
    zend_hash_str_del(&EG(symbol_table), ZEND_STRL("o"));
    /* Pattern subscriptions are left with PUNSUBSCRIBE, before the link goes. */
    EXPECT_TRUE(monitor.readUntil("\"PUNSUBSCRIBE\""));
}

TEST(ObjectFork, ChildOpensItsOwnLinkAndLeavesTheParentsAlone)
{
    ASSERT_TRUE(moduleLoaded);
    std::string port = harnessEnv("KELVO_TEST_PORT");
    ASSERT_FALSE(port.empty()) << "KELVO_TEST_PORT is not set: run the tests through scripts/test";
    ASSERT_EQ(run("$f = new Kelvo\\Kelvo('127.0.0.1', " + port +
                  ", 0.0, 0.0, ['use-cache' => false]); $out = $f->serverName();"),
              "redis");
    robj *ro = kelvoGetObjectZVal(zend_hash_str_find_deref(&EG(symbol_table), ZEND_STRL("f")));
    pid_t parent = getpid();
    int parentSocket = ro->link.ctx->fd;
    ASSERT_EQ(ro->link.pid, parent);

    pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        /* The inherited link is dropped unused; the child's first call opens its own. */
        bool ok = run("$out = $f->serverName();") == "redis" && ro->link.pid == getpid() && ro->link.ctx &&
                  run("$out = $f->get('kelvo:fork') === false ? 'none' : 'value';") == "none";
        _exit(ok ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    /* The parent's link is still its own, on the same socket, and still answers. */
    EXPECT_EQ(run("$out = $f->serverName() . ' ' . var_export($f->get('kelvo:fork'), true);"), "redis false");
    EXPECT_EQ(ro->link.pid, parent);
    EXPECT_EQ(ro->link.ctx->fd, parentSocket);
    zend_hash_str_del(&EG(symbol_table), ZEND_STRL("f"));
}

TEST(ObjectClone, RefusedInsideAPipelineOrTransaction)
{
    ASSERT_TRUE(moduleLoaded);
    for (uint64_t mode : {kelvoModePipeline, kelvoModeMulti}) {
        ASSERT_EQ(run("$c = new Kelvo\\Kelvo(); $out = 'made';"), "made");
        robj *ro = kelvoGetObjectZVal(zend_hash_str_find_deref(&EG(symbol_table), ZEND_STRL("c")));
        ro->mode = mode;
        EXPECT_EQ(run("$d = clone $c; $out = 'cloned';")
                      .rfind("Kelvo\\Exception: Cannot clone kelvo object in a pipeline/multi", 0),
                  0u);
        ro->mode = 0;
        EXPECT_EQ(run("$out = (clone $c)->getOption(Kelvo\\Kelvo::OPT_MAX_RETRIES);"), "10");
        zend_hash_str_del(&EG(symbol_table), ZEND_STRL("c"));
    }
}

struct LifecycleCase {
    const char *name;
    const char *construct; /* PHP expression building the object; ENV(...) names a harness variable */
    bool connects;
};

class ObjectLifecycle : public ::testing::TestWithParam<LifecycleCase> {};

TEST_P(ObjectLifecycle, CreateCloneAndReleaseLeaveNothingBehind)
{
    ASSERT_TRUE(moduleLoaded);
    const LifecycleCase &c = GetParam();
    std::string use = c.connects ? "$a->serverName(); $b->serverName(); $a->getAuth(); " : "";
    std::string code =
        "$a = " + withHarnessEnv(c.construct) +
        "; $a->setOption(Kelvo\\Kelvo::OPT_PREFIX, 'p:');"
        " $a->addAllowPatterns('x*'); $a->setOption(110, 'az');"
        " $b = clone $a; " +
        use + "$out = $b->_prefix('k') . ' ' . count($b->getOption(Kelvo\\Kelvo::OPT_ALLOW_PATTERNS)); unset($a, $b);";
    EXPECT_EQ(run(code), "p:k 1") << c.name;
    EngineEnvironment::nextRequest();
}

INSTANTIATE_TEST_SUITE_P(
    Modes, ObjectLifecycle,
    ::testing::Values(
        LifecycleCase{"unconfigured", "new Kelvo\\Kelvo()", false},
        LifecycleCase{"lazy",
                      "new Kelvo\\Kelvo('127.0.0.1', (int) ENV(KELVO_TEST_PORT), 0.0, 0.0, ['auth' => ['u', 'p']])",
                      false},
        LifecycleCase{"tcp", "new Kelvo\\Kelvo('127.0.0.1', (int) ENV(KELVO_TEST_PORT))", true},
        LifecycleCase{
            "eager",
            "new Kelvo\\Kelvo('127.0.0.1', (int) ENV(KELVO_TEST_PORT), 0.0, 0.0, ['phpredis-compatibility' => false, 'persistent' => false])",
            true},
        LifecycleCase{"unix", "new Kelvo\\Kelvo(ENV(KELVO_TEST_UNIX))", true},
        LifecycleCase{
            "tls",
            "new Kelvo\\Kelvo('tls://127.0.0.1', (int) ENV(KELVO_TEST_TLS_PORT), 0.0, 0.0, ['stream' => ['cafile' => ENV(KELVO_TEST_TLS_CA)]])",
            true},
        LifecycleCase{
            "acl",
            "new Kelvo\\Kelvo('127.0.0.1', (int) ENV(KELVO_TEST_ACL_PORT), 0.0, 0.0, ['auth' => ['kelvo', 'secret']])",
            true},
        LifecycleCase{"failed connect",
                      "new Kelvo\\Kelvo('127.0.0.1', 1, 0.0, 0.0, ['phpredis-compatibility' => true])", false}),
    [](const ::testing::TestParamInfo<LifecycleCase> &info) {
        std::string name = info.param.name;
        for (char &ch : name) {
            if (!isalnum(static_cast<unsigned char>(ch))) {
                ch = '_';
            }
        }
        return name;
    });
