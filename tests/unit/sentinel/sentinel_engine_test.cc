// Kelvo\Sentinel inside an engine that started the module: objects released in every state,
// over and over (the sanitizers watch their memory and the descriptor count shows sockets), a
// link whose context carries an error, the identity a pooled link is keyed by, and a fork.
#include "client/object.h"
#include "sentinel/sentinel.h"
#include "support/command_engine.h"

extern "C" {
#include "php_main.h"
}

#include <dirent.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>

namespace {

int startupWithKelvo(sapi_module_struct *sapi) { return php_module_startup(sapi, &kelvo_module_entry); }

const bool moduleLoaded = (php_embed_module.startup = startupWithKelvo, true);

std::string run(const std::string &code) { return runPhp(withHarnessEnv(code), "sentinel test"); }

kelvoSentinelObject *sentinelNamed(const char *name)
{
    zval *value = zend_hash_str_find_deref(&EG(symbol_table), name, strlen(name));
    EXPECT_NE(value, nullptr) << name;
    return value ? kelvoSentinelGetObjectZVal(value) : nullptr;
}

std::string keyOf(const kelvoSentinelObject *so) { return so->link.key ? ZSTR_VAL(so->link.key) : "(none)"; }

int openDescriptors()
{
    int count = 0;
    if (DIR *d = opendir("/proc/self/fd")) {
        while (readdir(d)) {
            count++;
        }
        closedir(d);
    }
    return count;
}

const char *const tlsSentinel =
    "new Kelvo\\Sentinel('tls://127.0.0.1', (int) ENV(KELVO_TEST_SENTINEL_TLS_PORT), 2, %s, 0, 2, %s, "
    "['stream' => %s])";

std::string tlsSentinelWith(const std::string &persistent, const std::string &auth, const std::string &stream)
{
    char code[512];
    snprintf(code, sizeof code, tlsSentinel, persistent.c_str(), auth.c_str(), stream.c_str());
    return code;
}

struct ReleaseCase {
    const char *name;
    const char *code; /* PHP statements that leave the object in $s */
};

class SentinelRelease : public ::testing::TestWithParam<ReleaseCase> {};

TEST_P(SentinelRelease, InALoopLeavesNeitherMemoryNorSockets)
{
    ASSERT_TRUE(moduleLoaded);
    const ReleaseCase &c = GetParam();
    ASSERT_EQ(run("if (!class_exists('Unconfigured')) { eval('class Unconfigured extends Kelvo\\Sentinel {"
                  " public function __construct() {} }'); } $out = 'ok';"),
              "ok");
    std::string body = std::string(c.code) + " unset($s);";
    // Once first: a persistent link then waits in the pool, and the loop takes it again and again.
    EXPECT_EQ(run(body + " $out = 'warm';"), "warm") << c.name;
    int before = openDescriptors();
    EXPECT_EQ(run("for ($i = 0; $i < 25; $i++) { " + body + " } $out = 'released';"), "released") << c.name;
    EXPECT_EQ(openDescriptors(), before) << c.name;
    EngineEnvironment::nextRequest();
}

const std::string tlsReady =
    "$s = " + tlsSentinelWith("true", "ENV(KELVO_TEST_SENTINEL_TLS_PASS)", "['cafile' => ENV(KELVO_TEST_TLS_CA)]") +
    "; $s->ping();";

const ReleaseCase releaseCases[] = {
    {"never_configured", "$s = new Unconfigured(); $s->setOption(1, true);"},
    {"connected", "$s = new Kelvo\\Sentinel('127.0.0.1', (int) ENV(KELVO_TEST_SENTINEL_PORT));"},
    {"ready", "$s = new Kelvo\\Sentinel(ENV(KELVO_TEST_SENTINEL_UNIX)); $s->masters();"},
    {"with_last_error", "$s = new Kelvo\\Sentinel('127.0.0.1', (int) ENV(KELVO_TEST_SENTINEL_PORT));"
                        " $s->master('no-such-group'); $s->getLastError();"},
    {"tls_persistent_credentials", tlsReady.c_str()},
    {"refused_handshake",
     "$s = new Kelvo\\Sentinel('tls://127.0.0.1', (int) ENV(KELVO_TEST_SENTINEL_TLS_PORT), 2, null,"
     " 0, 2, 'wrong', ['stream' => ['cafile' => ENV(KELVO_TEST_TLS_CA)]]);"
     " try { $s->ping(); } catch (Kelvo\\Exception $e) {}"},
    {"constructed_twice", "$s = new Kelvo\\Sentinel('127.0.0.1', (int) ENV(KELVO_TEST_SENTINEL_PORT)); $s->myid();"
                          " $s->__construct(ENV(KELVO_TEST_SENTINEL_UNIX)); $s->ping();"},
    {"failed_constructor", "try { $s = new Kelvo\\Sentinel('127.0.0.1', 1); } catch (Kelvo\\Exception $e) {}"
                           " try { $s = @new Kelvo\\Sentinel('127.0.0.1', 1, 0, null, 0, 0, [1, 2, 3]); }"
                           " catch (ValueError $e) {} $s = null;"},
};

INSTANTIATE_TEST_SUITE_P(States, SentinelRelease, ::testing::ValuesIn(releaseCases),
                         [](const ::testing::TestParamInfo<ReleaseCase> &info) {
                             return std::string(info.param.name);
                         });

TEST(SentinelLink, AContextErrorMeansNotConnected)
{
    ASSERT_TRUE(moduleLoaded);
    ASSERT_EQ(
        run("$c = new Kelvo\\Sentinel('127.0.0.1', (int) ENV(KELVO_TEST_SENTINEL_PORT)); $out = strlen($c->myid());"),
        "40");
    kelvoSentinelObject *so = sentinelNamed("c");
    ASSERT_NE(so->link.ctx, nullptr);
    so->link.ctx->err = REDIS_ERR_EOF;
    /* The failed context is dropped and a new link made, where an assertion used to end the process. */
    EXPECT_EQ(run("$out = strlen($c->myid());"), "40");
    EXPECT_EQ(so->link.state, uint32_t(KELVO_LINK_READY));
    EXPECT_EQ(so->link.ctx->err, 0);
    zend_hash_str_del(&EG(symbol_table), ZEND_STRL("c"));
}

TEST(SentinelLink, PooledIdentityTellsPasswordsAndTlsSettingsApart)
{
    ASSERT_TRUE(moduleLoaded);
    const std::string pass = "ENV(KELVO_TEST_SENTINEL_TLS_PASS)";
    const std::string ca = "['cafile' => ENV(KELVO_TEST_TLS_CA)]";
    /* The constructor connects without a handshake, so even a wrong password leaves a keyed link. */
    ASSERT_EQ(run("$a = " + tlsSentinelWith("true", pass, ca) + "; $b = " + tlsSentinelWith("true", pass, ca) +
                  "; $c = " + tlsSentinelWith("true", "'another'", ca) + "; $d = " +
                  tlsSentinelWith("true", pass, "['cafile' => ENV(KELVO_TEST_TLS_CA), 'verify_peer' => false]") +
                  "; $e = " + tlsSentinelWith("true", "['default', " + pass + "]", ca) + "; $out = 'made';"),
              "made");
    std::string a = keyOf(sentinelNamed("a")), b = keyOf(sentinelNamed("b")), c = keyOf(sentinelNamed("c")),
                d = keyOf(sentinelNamed("d")), e = keyOf(sentinelNamed("e"));
    size_t secret = a.find("&secret=");
    ASSERT_NE(secret, std::string::npos) << a;
    EXPECT_EQ(a.size(), secret + 8 + 16) << a;
    EXPECT_EQ(a, b);
    EXPECT_NE(a, c);
    EXPECT_NE(a, d);
    EXPECT_EQ(a.substr(0, secret), c.substr(0, secret));
    EXPECT_EQ(a.substr(0, secret), d.substr(0, secret));
    /* A named user is part of the identity as ever. */
    EXPECT_EQ(e.rfind("tls://default@", 0), 0u) << e;
    EXPECT_EQ(a.find(harnessEnv("KELVO_TEST_SENTINEL_TLS_PASS")), std::string::npos);

    /* The single-server client's identity is what it was. */
    ASSERT_EQ(run("$k = new Kelvo\\Kelvo('127.0.0.1', (int) ENV(KELVO_TEST_PORT), 0.0, 0.0, ['persistent' => false]);"
                  " $out = $k->endpointId();")
                  .find("&secret="),
              std::string::npos);
    for (const char *name : {"a", "b", "c", "d", "e", "k"}) {
        zend_hash_str_del(&EG(symbol_table), name, strlen(name));
    }
}

TEST(SentinelLink, ForkedChildOpensItsOwnLink)
{
    ASSERT_TRUE(moduleLoaded);
    ASSERT_EQ(run("$f = new Kelvo\\Sentinel('127.0.0.1', (int) ENV(KELVO_TEST_SENTINEL_PORT)); $out = $f->ping();"),
              "1");
    kelvoSentinelObject *so = sentinelNamed("f");
    pid_t parent = getpid();
    int parentSocket = so->link.ctx->fd;
    pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        bool ok = run("$out = strlen($f->myid());") == "40" && so->link.pid == getpid();
        _exit(ok ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    EXPECT_EQ(run("$out = strlen($f->myid());"), "40");
    EXPECT_EQ(so->link.pid, parent);
    EXPECT_EQ(so->link.ctx->fd, parentSocket);
    zend_hash_str_del(&EG(symbol_table), ZEND_STRL("f"));
}

TEST(SentinelObject, SubclassDestructorRuns)
{
    ASSERT_TRUE(moduleLoaded);
    EXPECT_EQ(
        run("$gone = 0; $o = new class('127.0.0.1', (int) ENV(KELVO_TEST_SENTINEL_PORT)) extends Kelvo\\Sentinel {"
            " public function __destruct() { $GLOBALS['gone']++; } }; $o->ping(); unset($o); $out = $gone;"),
        "1");
}

} // namespace
