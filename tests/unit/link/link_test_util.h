// Links under test: the module started inside the embed SAPI with one open
// request, connection information and links that clean up after themselves,
// commands with their replies, the harness's servers and child processes
// (fake servers, private redis-servers) that the tests start and stop.
#ifndef KELVO_TEST_LINK_UTIL_H
#define KELVO_TEST_LINK_UTIL_H

#include <gtest/gtest.h>

#include "runtime/errclass.h"
#include "runtime/exception.h"
#include "runtime/kelvo.h"
#include "link/link.h"
#include "wire/reply.h"
#include "shm/shared.h"

extern "C" {
#include "php_embed.h"
#include "php_main.h"
#include "zend_exceptions.h"
}

#include "support/engine_exception.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdarg>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

extern char **environ;

namespace linktest {

inline int startupWithKelvo(sapi_module_struct *sapi) { return php_module_startup(sapi, &kelvo_module_entry); }

/* The module inside the engine for the whole test program; one request stays open. */
class EngineEnvironment : public ::testing::Environment {
  public:
    void SetUp() override
    {
        static char name[] = "kelvo_link_test";
        static char *argv[] = {name, nullptr};
        php_embed_module.php_ini_ignore = 1;
        php_embed_module.startup = startupWithKelvo;
        ASSERT_EQ(php_embed_init(1, argv), SUCCESS);
    }
    void TearDown() override { php_embed_shutdown(); }
};

/* A harness variable; a missing one fails the test (the servers must be there). */
inline std::string env(const char *name)
{
    const char *value = getenv(name);
    if (!value || !*value) {
        ADD_FAILURE() << name << " is not set: run the tests through scripts/test";
        return "";
    }
    return value;
}
inline int envPort(const char *name) { return atoi(env(name).c_str()); }

inline zend_string *zstr(const std::string &s) { return zend_string_init(s.data(), s.size(), 0); }

/* Connection information that releases its strings. */
struct Info {
    redisInfo info{};
    Info() { info.type = -1; }
    ~Info() { kelvoRedisInfoRelease(&info); }
    Info(const Info &) = delete;

    Info &tcp(const std::string &host, int port, const char *addr = "")
    {
        info.type = REDIS_CONN_TCP;
        set(info.host, host);
        snprintf(info.addr, sizeof info.addr, "%s", addr);
        info.port = port;
        return *this;
    }
    Info &unixSocket(const std::string &path)
    {
        info.type = REDIS_CONN_UNIX;
        set(info.host, path);
        return *this;
    }
    Info &auth(const char *user, const char *pass)
    {
        if (user)
            set(info.user, user);
        if (pass)
            set(info.pass, pass);
        return *this;
    }
    /* TLS on with both verify bits, as switching it on does. */
    Info &tls(const std::string &cafile = "")
    {
        info.tls.enabled = 1;
        info.tls.verify = KELVO_TLS_VERIFY_PEER | KELVO_TLS_VERIFY_PEER_NAME;
        if (!cafile.empty())
            set(info.tls.cafile, cafile);
        return *this;
    }
    Info &clientCert(const std::string &cert, const std::string &key)
    {
        set(info.tls.localCert, cert);
        set(info.tls.localPk, key);
        return *this;
    }
    static void set(zend_string *&slot, const std::string &value)
    {
        if (slot)
            zend_string_release(slot);
        slot = zstr(value);
    }
    redisInfo *operator->() { return &info; }
    operator redisInfo *() { return &info; }
};

/* A link that is closed when the test ends. */
struct Link {
    kelvoLink link{};
    ~Link()
    {
        link.rdb = nullptr;
        kelvoLinkFree(&link);
    }
    kelvoLink *operator->() { return &link; }
    operator kelvoLink *() { return &link; }
};

/* A reply tree that is freed when it goes. */
struct Reply {
    kelvoReply *r = nullptr;
    Reply() = default;
    explicit Reply(kelvoReply *reply) : r(reply) {}
    Reply(Reply &&o) noexcept : r(o.r) { o.r = nullptr; }
    ~Reply() { kelvoReplyFree(r); }
    explicit operator bool() const { return r != nullptr; }
    uint32_t type() const { return r ? r->type : 0; }
    std::string str() const
    {
        if (!r || !kelvoReplyTypeIsString(r->type))
            return "";
        return std::string(ZSTR_VAL(r->v.str), ZSTR_LEN(r->v.str));
    }
};

/* One command and its reply; no reply when the link failed. */
inline Reply command(kelvoLink *link, const char *format, ...) __attribute__((format(printf, 2, 3)));
inline Reply command(kelvoLink *link, const char *format, ...)
{
    va_list ap;
    va_start(ap, format);
    int rc = redisvAppendCommand(link->ctx, format, ap);
    va_end(ap);
    void *reply = nullptr;
    if (rc != REDIS_OK || redisGetReply(link->ctx, &reply) != REDIS_OK)
        return Reply();
    return Reply(static_cast<kelvoReply *>(reply));
}

/* What the handshake's error callback saw. */
struct HelloErrors {
    int calls = 0;
    bool nullReply = false;
    uint32_t type = 0;
    std::string text;

    static void record(void *target, kelvoReply *reply)
    {
        auto *self = static_cast<HelloErrors *>(target);
        if (self->calls++)
            return;
        self->nullReply = reply == nullptr;
        if (reply) {
            self->type = reply->type;
            if (kelvoReplyTypeIsString(reply->type))
                self->text.assign(ZSTR_VAL(reply->v.str), ZSTR_LEN(reply->v.str));
        }
    }
    /* The exception code the module gives the first error reply. */
    int code() const { return kelvoClassifyErrorReply(text.data(), text.size(), 0).code; }
};

inline int hello(kelvoLink *link, const redisInfo *info, HelloErrors &errors, uint32_t flags = 0)
{
    return kelvoLinkHello(link, info, flags, "kelvo", &errors, HelloErrors::record);
}

/* A field of this connection's CLIENT LIST line ("name", "user", "resp", "flags"). */
inline std::string clientField(kelvoLink *link, const std::string &field)
{
    std::string line = command(link, "CLIENT INFO").str();
    std::istringstream words(line);
    std::string word;
    while (words >> word)
        if (word.compare(0, field.size() + 1, field + "=") == 0)
            return word.substr(field.size() + 1);
    return "(no " + field + ")";
}

/* Stands for the cached database a caching link would hold; never dereferenced. */
inline rdb *fakeCachedDatabase()
{
    static char storage;
    return reinterpret_cast<rdb *>(&storage);
}

/* A child process this test started; stopped (by its own id) when the object goes. */
struct Child {
    pid_t pid = -1;
    int out = -1; /* read end of its standard output */

    bool start(const std::vector<std::string> &argv)
    {
        int pipefd[2];
        if (pipe(pipefd) != 0)
            return false;
        std::vector<char *> args;
        for (const std::string &a : argv)
            args.push_back(const_cast<char *>(a.c_str()));
        args.push_back(nullptr);
        pid_t parent = getpid();
        pid = fork();
        if (pid == 0) {
            /* A suite killed by its timeout takes its servers with it. */
            if (prctl(PR_SET_PDEATHSIG, SIGTERM) != 0 || getppid() != parent)
                _exit(127);
            dup2(pipefd[1], 1);
            close(pipefd[0]);
            close(pipefd[1]);
            execvp(args[0], args.data());
            _exit(127);
        }
        close(pipefd[1]);
        out = pipefd[0];
        return pid > 0;
    }
    /* One line of its output (without the newline). */
    std::string readLine()
    {
        std::string line;
        char c;
        while (read(out, &c, 1) == 1 && c != '\n')
            line += c;
        return line;
    }
    void stop()
    {
        if (pid > 0) {
            kill(pid, SIGTERM);
            waitpid(pid, nullptr, 0);
        }
        pid = -1;
    }
    ~Child()
    {
        stop();
        if (out >= 0)
            close(out);
    }
};

/* A private directory removed at the end. */
struct TempDir {
    std::string path;
    TempDir()
    {
        char pattern[] = "/tmp/kelvo-link-XXXXXX";
        path = mkdtemp(pattern);
    }
    ~TempDir() { std::system(("rm -rf '" + path + "'").c_str()); }
    std::string file(const std::string &name) const { return path + "/" + name; }
};

inline std::string readFile(const std::string &path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream buf;
    buf << in.rdbuf();
    return buf.str();
}

inline void writeFile(const std::string &path, const std::string &text)
{
    std::ofstream(path, std::ios::binary) << text;
}

} // namespace linktest

#endif
