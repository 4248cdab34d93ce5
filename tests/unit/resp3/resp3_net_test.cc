// Contexts against a real redis-server that the suite starts on a free
// loopback port (plus a Unix socket): RESP3 replies, pushes, error codes of
// closed links and timeouts, reconnect, fork safety, SIGPIPE, the formatter.
#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <chrono>
#include <cstdarg>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <functional>
#include <memory>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <string>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

#include "resp3/resp3.h"
#include "resp3/resp3_test_util.h"

namespace {

// A loopback port nobody listens on (for the moment).
int freePort()
{
    int fd = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in sa{};
    sa.sin_family = AF_INET;
    sa.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    bind(fd, reinterpret_cast<sockaddr *>(&sa), sizeof sa);
    socklen_t len = sizeof sa;
    getsockname(fd, reinterpret_cast<sockaddr *>(&sa), &len);
    close(fd);
    return ntohs(sa.sin_port);
}

Context connectTcp(int port, const timeval *commandTimeout = nullptr, const timeval *connectTimeout = nullptr)
{
    redisOptions o{};
    o.type = REDIS_CONN_TCP;
    o.endpoint.tcp.ip = "127.0.0.1";
    o.endpoint.tcp.port = port;
    o.command_timeout = commandTimeout;
    o.connect_timeout = connectTimeout;
    return Context(redisConnectWithOptions(&o));
}

Context connectUnix(const std::string &path)
{
    redisOptions o{};
    o.type = REDIS_CONN_UNIX;
    o.endpoint.unix_socket = path.c_str();
    return Context(redisConnectWithOptions(&o));
}

std::string text(const Reply &r) { return r ? dump(r.get()) : "NULL"; }

class Resp3Server : public ::testing::Test {
  protected:
    static inline pid_t pid = -1;
    static inline int port = 0;
    static inline std::string dir, sock;

    static void SetUpTestSuite()
    {
        char tmpl[] = "/tmp/kelvo-resp3-XXXXXX";
        dir = mkdtemp(tmpl);
        sock = dir + "/redis.sock";
        // Another process may take the free port first: then try another.
        for (int attempt = 0; attempt < 3; attempt++) {
            if (startServer())
                return;
        }
        pid = -1;
    }

    static bool startServer()
    {
        port = freePort();
        std::string portText = std::to_string(port), log = dir + "/redis.log";
        pid_t parent = getpid();
        pid = fork();
        if (pid == 0) {
            /* A suite killed by its timeout takes its server with it. */
            if (prctl(PR_SET_PDEATHSIG, SIGTERM) != 0 || getppid() != parent)
                _exit(127);
            execlp("redis-server", "redis-server", "--port", portText.c_str(), "--bind", "127.0.0.1", "--unixsocket",
                   sock.c_str(), "--save", "", "--appendonly", "no", "--enable-debug-command", "yes", "--dir",
                   dir.c_str(), "--logfile", log.c_str(), (char *)nullptr);
            _exit(127);
        }
        for (int i = 0; i < 200; i++) {
            Context c = connectTcp(port);
            if (c && !c->err && text(command(c.get(), "PING")) == "status:PONG")
                return true;
            if (waitpid(pid, nullptr, WNOHANG) == pid)
                return false;
            std::this_thread::sleep_for(std::chrono::milliseconds(25));
        }
        kill(pid, SIGTERM);
        waitpid(pid, nullptr, 0);
        return false;
    }

    static void TearDownTestSuite()
    {
        if (pid > 0) {
            kill(pid, SIGTERM);
            waitpid(pid, nullptr, 0);
        }
        std::string cmd = "rm -rf '" + dir + "'";
        if (system(cmd.c_str()) != 0)
            perror("rm");
    }

    void SetUp() override { ASSERT_GT(pid, 0) << "redis-server did not start"; }

    // A RESP3 context on the test server.
    Context resp3()
    {
        Context c = connectTcp(port);
        EXPECT_TRUE(c && !c->err) << (c ? c->errstr : "NULL");
        EXPECT_EQ(command(c.get(), "HELLO 3")->type, REDIS_REPLY_MAP);
        return c;
    }

    // Makes the server drop `c`'s connection.
    void killClient(redisContext *c)
    {
        Reply id = command(c, "CLIENT ID");
        ASSERT_TRUE(id);
        Context other = connectTcp(port);
        EXPECT_EQ(text(command(other.get(), "CLIENT KILL ID %s", std::to_string(id->integer).c_str())), "int:1");
    }
};

TEST_F(Resp3Server, HelloThreeIsAMap)
{
    Context c = connectTcp(port);
    Reply hello = command(c.get(), "HELLO %d", 3);
    ASSERT_TRUE(hello);
    ASSERT_EQ(hello->type, REDIS_REPLY_MAP);
    ASSERT_EQ(hello->elements % 2, 0u);
    std::string server, proto;
    for (size_t i = 0; i < hello->elements; i += 2) {
        std::string key(hello->element[i]->str, hello->element[i]->len);
        if (key == "server")
            server = dump(hello->element[i + 1]);
        if (key == "proto")
            proto = dump(hello->element[i + 1]);
    }
    EXPECT_EQ(server, "str:redis");
    EXPECT_EQ(proto, "int:3");
}

// Every RESP3 type the server can be asked for, as it arrives over the socket.
TEST_F(Resp3Server, DebugProtocolTypes)
{
    Context c = resp3();
    const std::pair<const char *, const char *> cases[] = {
        {"string", "str:Hello World"},
        {"integer", "int:12345"},
        {"double", "dbl:3.141/3.141"},
        {"bignum", "big:1234567999999999999999999999999999999"},
        {"null", "nil"},
        {"array", "[int:0,int:1,int:2]"},
        {"set", "~(int:0,int:1,int:2)"},
        {"map", "{int:0,false,int:1,true,int:2,false}"},
        {"attrib", "str:Some real reply following the attribute"},
        {"verbatim", "verb:txt:This is a verbatim\nstring"},
        {"true", "true"},
        {"false", "false"},
    };
    for (const auto &[type, tree] : cases) {
        Reply r = command(c.get(), "DEBUG PROTOCOL %s", type);
        EXPECT_EQ(text(r), tree) << type;
    }
    Reply dbl = command(c.get(), "DEBUG PROTOCOL double");
    ASSERT_EQ(dbl->type, REDIS_REPLY_DOUBLE);
    EXPECT_EQ(dbl->dval, 3.141);
    EXPECT_STREQ(dbl->str, "3.141");
}

TEST_F(Resp3Server, InfoIsVerbatimText)
{
    Context c = resp3();
    Reply info = command(c.get(), "INFO server");
    ASSERT_TRUE(info);
    ASSERT_EQ(info->type, REDIS_REPLY_VERB);
    EXPECT_STREQ(info->vtype, "txt");
    EXPECT_EQ(std::string(info->str, 8), "# Server");
}

struct Events {
    std::vector<std::string> seen;
    static void onPush(void *privdata, void *reply)
    {
        auto *self = static_cast<Events *>(privdata);
        self->seen.push_back("push " + dump(static_cast<redisReply *>(reply)));
        freeReplyObject(reply);
    }
};

TEST_F(Resp3Server, InvalidationPushReachesTheCallbackBeforeTheReplyItPreceded)
{
    Context a = resp3();
    Events events;
    a->privdata = &events;
    EXPECT_EQ(redisSetPushCallback(a.get(), Events::onPush), nullptr);
    EXPECT_EQ(text(command(a.get(), "CLIENT TRACKING ON")), "status:OK");
    command(a.get(), "GET tracked");
    Context b = connectTcp(port);
    EXPECT_EQ(text(command(b.get(), "SET tracked v")), "status:OK");
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    events.seen.push_back("reply " + text(command(a.get(), "PING")));
    EXPECT_EQ(events.seen, (std::vector<std::string>{"push >(str:invalidate,[str:tracked])", "reply status:PONG"}));
    EXPECT_EQ(redisSetPushCallback(a.get(), nullptr), Events::onPush);
}

TEST_F(Resp3Server, PushesWithoutCallbackAreReturnedAsReplies)
{
    Context c = resp3();
    EXPECT_EQ(text(command(c.get(), "DEBUG PROTOCOL push")), ">(str:server-cpu-usage,int:42)");
    void *next = nullptr;
    ASSERT_EQ(redisGetReply(c.get(), &next), REDIS_OK);
    EXPECT_EQ(text(Reply(static_cast<redisReply *>(next))), "str:Some real reply following the push reply");

    Events events;
    c->privdata = &events;
    redisSetPushCallback(c.get(), Events::onPush);
    EXPECT_EQ(text(command(c.get(), "DEBUG PROTOCOL push")), "str:Some real reply following the push reply");
    EXPECT_EQ(events.seen, std::vector<std::string>{"push >(str:server-cpu-usage,int:42)"});
}

TEST_F(Resp3Server, PipelinedRepliesComeBackInOrder)
{
    Context c = resp3();
    void *r = nullptr;
    redisAppendCommand(c.get(), "SET pipelined %d", 1);
    redisAppendCommand(c.get(), "INCR %s", "pipelined");
    redisAppendCommand(c.get(), "GET pipelined");
    std::vector<std::string> got;
    for (int i = 0; i < 3; i++) {
        ASSERT_EQ(redisGetReply(c.get(), &r), REDIS_OK);
        got.push_back(text(Reply(static_cast<redisReply *>(r))));
    }
    EXPECT_EQ(got, (std::vector<std::string>{"status:OK", "int:2", "str:2"}));
}

TEST_F(Resp3Server, ServerCloseIsEndOfFile)
{
    Context c = resp3();
    killClient(c.get());
    void *r = nullptr;
    EXPECT_EQ(redisGetReply(c.get(), &r), REDIS_ERR);
    EXPECT_EQ(r, nullptr);
    EXPECT_EQ(c->err, REDIS_ERR_EOF);
    EXPECT_STREQ(c->errstr, "Server closed the connection");
    // Sticky until reconnect.
    EXPECT_EQ(redisBufferRead(c.get()), REDIS_ERR);
}

TEST_F(Resp3Server, ReadTimeoutIsAnIoError)
{
    timeval timeout{0, 100000};
    Context c = connectTcp(port, &timeout);
    ASSERT_FALSE(c->err);
    auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(command(c.get(), "DEBUG SLEEP 1"));
    auto waited = std::chrono::steady_clock::now() - start;
    EXPECT_EQ(c->err, REDIS_ERR_IO);
    EXPECT_STREQ(c->errstr, "Resource temporarily unavailable");
    // The error shows the reply was not waited for; the wait lasted the timeout at least.
    EXPECT_GE(waited, std::chrono::milliseconds(90));
}

TEST_F(Resp3Server, SetTimeoutAppliesAndIsKept)
{
    Context c = connectTcp(port);
    EXPECT_EQ(c->command_timeout, nullptr);
    ASSERT_EQ(redisSetTimeout(c.get(), timeval{2, 0}), REDIS_OK);
    timeval got{};
    socklen_t len = sizeof got;
    getsockopt(c->fd, SOL_SOCKET, SO_RCVTIMEO, &got, &len);
    EXPECT_EQ(got.tv_sec, 2);
    ASSERT_NE(c->command_timeout, nullptr);
    EXPECT_EQ(c->command_timeout->tv_sec, 2);
    // A reconnect applies the kept timeout to the new socket.
    ASSERT_EQ(redisReconnect(c.get()), REDIS_OK);
    getsockopt(c->fd, SOL_SOCKET, SO_SNDTIMEO, &got, &len);
    EXPECT_EQ(got.tv_sec, 2);
    ASSERT_EQ(redisSetTimeout(c.get(), timeval{0, 0}), REDIS_OK);
    EXPECT_EQ(c->command_timeout, nullptr);
}

TEST_F(Resp3Server, RefusedConnectIsAnIoError)
{
    Context c = connectTcp(freePort());
    ASSERT_TRUE(c);
    EXPECT_EQ(c->err, REDIS_ERR_IO);
    EXPECT_STREQ(c->errstr, "Connection refused");
    EXPECT_EQ(c->saved_errno, ECONNREFUSED);
    EXPECT_EQ(c->fd, -1);
}

TEST_F(Resp3Server, UnresolvableHostIsOther)
{
    redisOptions o{};
    o.type = REDIS_CONN_TCP;
    o.endpoint.tcp.ip = "no-such-host.invalid";
    o.endpoint.tcp.port = port;
    Context c(redisConnectWithOptions(&o));
    EXPECT_EQ(c->err, REDIS_ERR_OTHER);
    EXPECT_NE(c->errstr[0], '\0');
}

TEST_F(Resp3Server, ConnectTimeoutOnAFullBacklog)
{
    // A listener that never accepts: once its queue is full, SYNs are dropped.
    int lfd = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in sa{};
    sa.sin_family = AF_INET;
    sa.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ASSERT_EQ(bind(lfd, reinterpret_cast<sockaddr *>(&sa), sizeof sa), 0);
    ASSERT_EQ(listen(lfd, 0), 0);
    socklen_t len = sizeof sa;
    getsockname(lfd, reinterpret_cast<sockaddr *>(&sa), &len);
    std::vector<int> fillers;
    std::vector<pollfd> waits;
    for (int i = 0; i < 4; i++) {
        int fd = socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK, 0);
        connect(fd, reinterpret_cast<sockaddr *>(&sa), sizeof sa);
        fillers.push_back(fd);
        waits.push_back({fd, POLLOUT, 0});
    }
    // Full once a filler's handshake completed into the queue, however slowly the machine runs.
    EXPECT_GT(poll(waits.data(), waits.size(), 30000), 0);
    timeval timeout{0, 200000};
    auto start = std::chrono::steady_clock::now();
    Context c = connectTcp(ntohs(sa.sin_port), nullptr, &timeout);
    auto waited = std::chrono::steady_clock::now() - start;
    EXPECT_EQ(c->err, REDIS_ERR_IO);
    EXPECT_STREQ(c->errstr, "Connection timed out");
    EXPECT_GE(waited, std::chrono::milliseconds(190));
    // Without the timeout the kernel retries the SYN for minutes: a bound far past it shows the timeout held.
    EXPECT_LT(waited, std::chrono::seconds(10));
    for (int fd : fillers)
        close(fd);
    close(lfd);
}

TEST_F(Resp3Server, UnixSockets)
{
    Context c = connectUnix(sock);
    ASSERT_FALSE(c->err) << c->errstr;
    EXPECT_EQ(c->connection_type, REDIS_CONN_UNIX);
    EXPECT_EQ(text(command(c.get(), "PING")), "status:PONG");
    ASSERT_EQ(redisReconnect(c.get()), REDIS_OK);
    EXPECT_EQ(text(command(c.get(), "PING")), "status:PONG");

    Context missing = connectUnix(dir + "/missing.sock");
    EXPECT_EQ(missing->err, REDIS_ERR_IO);
    EXPECT_STREQ(missing->errstr, "No such file or directory");
    EXPECT_EQ(missing->saved_errno, ENOENT);
    EXPECT_EQ(errno, ENOENT);

    Context tooLong = connectUnix("/tmp/" + std::string(103, 'x'));
    EXPECT_EQ(tooLong->err, REDIS_ERR_OTHER);
    Context longest = connectUnix("/tmp/" + std::string(102, 'x'));
    EXPECT_EQ(longest->err, REDIS_ERR_IO);
}

TEST_F(Resp3Server, AUnixListenerWithAFullBacklogIsAnErrorNotAConnection)
{
    std::string path = dir + "/full.sock";
    int lfd = socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un sa{};
    sa.sun_family = AF_UNIX;
    snprintf(sa.sun_path, sizeof sa.sun_path, "%s", path.c_str());
    ASSERT_EQ(bind(lfd, reinterpret_cast<sockaddr *>(&sa), sizeof sa), 0);
    ASSERT_EQ(listen(lfd, 0), 0);
    std::vector<int> fillers;
    for (int i = 0; i < 4; i++) {
        int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK, 0);
        connect(fd, reinterpret_cast<sockaddr *>(&sa), sizeof sa);
        fillers.push_back(fd);
    }
    Context c = connectUnix(path);
    EXPECT_EQ(c->err, REDIS_ERR_IO);
    EXPECT_STREQ(c->errstr, "Resource temporarily unavailable");
    EXPECT_EQ(c->fd, -1);
    for (int fd : fillers)
        close(fd);
    close(lfd);
}

TEST_F(Resp3Server, ForkedChildFreeingItsCopyLeavesTheParentsSession)
{
    Context c = resp3();
    expectForkedFreeKeepsSession(c);
}

TEST_F(Resp3Server, WritingToAClosedLinkNeverRaisesSigpipe)
{
    Context c = resp3();
    killClient(c.get());
    writeUntilFailure(c.get());
    EXPECT_TRUE(c->saved_errno == EPIPE || c->saved_errno == ECONNRESET) << c->errstr;
}

TEST_F(Resp3Server, ReconnectKeepsPrivdataAndPushCallback)
{
    Context c = resp3();
    Events events;
    c->privdata = &events;
    redisSetPushCallback(c.get(), Events::onPush);
    killClient(c.get());
    EXPECT_EQ(redisGetReply(c.get(), nullptr), REDIS_ERR);
    redisAppendCommand(c.get(), "PING");
    ASSERT_EQ(redisReconnect(c.get()), REDIS_OK) << c->errstr;
    EXPECT_EQ(c->err, 0);
    EXPECT_EQ(c->errstr[0], '\0');
    EXPECT_EQ(c->obuf.len, 0u);
    EXPECT_NE(c->reader, nullptr);
    EXPECT_FALSE(redisReaderDirty(c->reader));
    EXPECT_EQ(c->privdata, &events);
    EXPECT_EQ(c->push_cb, Events::onPush);
    EXPECT_EQ(c->funcs, &redisContextDefaultFuncs);
    EXPECT_TRUE(c->flags & REDIS_BLOCK);
    EXPECT_EQ(text(command(c.get(), "HELLO 3")).substr(0, 1), "{");
    EXPECT_EQ(text(command(c.get(), "DEBUG PROTOCOL push")), "str:Some real reply following the push reply");
    EXPECT_EQ(events.seen.size(), 1u);
}

TEST_F(Resp3Server, KeepAliveSettings)
{
    Context c = connectTcp(port);
    ASSERT_EQ(redisEnableKeepAlive(c.get()), REDIS_OK);
    const struct {
        int level, option, value;
    } expect[] = {
        {SOL_SOCKET, SO_KEEPALIVE, 1},
        {IPPROTO_TCP, TCP_KEEPIDLE, 15},
        {IPPROTO_TCP, TCP_KEEPINTVL, 5},
        {IPPROTO_TCP, TCP_KEEPCNT, 3},
    };
    for (const auto &e : expect) {
        int value = 0;
        socklen_t len = sizeof value;
        getsockopt(c->fd, e.level, e.option, &value, &len);
        EXPECT_EQ(value, e.value) << e.option;
    }
    // A Unix socket has no TCP options: failure, but no context error.
    Context u = connectUnix(sock);
    EXPECT_EQ(redisEnableKeepAlive(u.get()), REDIS_ERR);
    EXPECT_EQ(u->err, 0);
}

TEST_F(Resp3Server, NonBlockingReadsReturnNothingInsteadOfAnError)
{
    Context c = resp3();
    c->flags &= ~REDIS_BLOCK;
    fcntl(c->fd, F_SETFL, fcntl(c->fd, F_GETFL) | O_NONBLOCK);
    char buf[16];
    EXPECT_EQ(redisNetRead(c.get(), buf, sizeof buf), 0);
    EXPECT_EQ(redisBufferRead(c.get()), REDIS_OK);
    void *r = reinterpret_cast<void *>(1);
    EXPECT_EQ(redisGetReply(c.get(), &r), REDIS_OK);
    EXPECT_EQ(r, nullptr);
    EXPECT_EQ(c->err, 0);
}

TEST_F(Resp3Server, GetReplyFromReaderDoesNoIoAndNoPushDispatch)
{
    Context c = resp3();
    Events events;
    c->privdata = &events;
    redisSetPushCallback(c.get(), Events::onPush);
    void *r = reinterpret_cast<void *>(1);
    ASSERT_EQ(redisGetReplyFromReader(c.get(), &r), REDIS_OK);
    EXPECT_EQ(r, nullptr);
    const char push[] = ">1\r\n+p\r\n";
    ASSERT_EQ(redisReaderFeed(c->reader, push, sizeof push - 1), REDIS_OK);
    ASSERT_EQ(redisGetReplyFromReader(c.get(), &r), REDIS_OK);
    EXPECT_EQ(text(Reply(static_cast<redisReply *>(r))), ">(status:p)");
    EXPECT_TRUE(events.seen.empty());
    // A reader error becomes the context's.
    ASSERT_EQ(redisReaderFeed(c->reader, "?\r\n", 3), REDIS_OK);
    EXPECT_EQ(redisGetReplyFromReader(c.get(), &r), REDIS_ERR);
    EXPECT_EQ(c->err, REDIS_ERR_PROTOCOL);
    EXPECT_STREQ(c->errstr, "Protocol error, got \"?\" as reply type byte");
}

// --- request formatting, no server needed ---------------------------------

struct Unconnected {
    Context c;
    Unconnected() : c(static_cast<redisContext *>(calloc(1, sizeof(redisContext))))
    {
        c->fd = -1;
        c->funcs = &redisContextDefaultFuncs;
        c->reader = redisReaderCreate();
    }
    std::string output() const { return std::string(c->obuf.data + c->obuf.pos, c->obuf.len - c->obuf.pos); }
};

struct FormatCase {
    const char *name;
    std::function<int(redisContext *)> append;
    std::string bytes;
};

class Format : public ::testing::TestWithParam<FormatCase> {};

TEST_P(Format, Bytes)
{
    Unconnected u;
    EXPECT_EQ(GetParam().append(u.c.get()), REDIS_OK);
    EXPECT_EQ(u.output(), GetParam().bytes);
    EXPECT_EQ(u.c->err, 0);
}

INSTANTIATE_TEST_SUITE_P(
    Resp3, Format,
    ::testing::Values(
        FormatCase{"Plain", [](redisContext *c) { return redisAppendCommand(c, "PING"); }, "*1\r\n$4\r\nPING\r\n"},
        FormatCase{"ExtraSpaces", [](redisContext *c) { return redisAppendCommand(c, "  GET   k "); },
                   "*2\r\n$3\r\nGET\r\n$1\r\nk\r\n"},
        FormatCase{"ExpansionIsNeverSplit",
                   [](redisContext *c) { return redisAppendCommand(c, "SET %s %s", "a b", "c"); },
                   "*3\r\n$3\r\nSET\r\n$3\r\na b\r\n$1\r\nc\r\n"},
        FormatCase{"EmptyExpansionSurvives",
                   [](redisContext *c) {
                       return redisAppendCommand(c, "HELLO %d AUTH %s %s SETNAME %s@%s:%d", 3, "default", "", "kelvo",
                                                 "default", 1234);
                   },
                   "*7\r\n$5\r\nHELLO\r\n$1\r\n3\r\n$4\r\nAUTH\r\n$7\r\ndefault\r\n$0\r\n\r\n$7\r\nSETNAME\r\n"
                   "$18\r\nkelvo@default:1234\r\n"},
        FormatCase{"Numbers",
                   [](redisContext *c) { return redisAppendCommand(c, "X %d %d %u", -2147483647 - 1, 0, 4294967295u); },
                   "*4\r\n$1\r\nX\r\n$11\r\n-2147483648\r\n$1\r\n0\r\n$10\r\n4294967295\r\n"},
        FormatCase{"PercentAndMixedText",
                   [](redisContext *c) { return redisAppendCommand(c, "A %%x k:%s:%u", "id", 7u); },
                   "*3\r\n$1\r\nA\r\n$2\r\n%x\r\n$6\r\nk:id:7\r\n"},
        FormatCase{"BinarySafeFormatted",
                   [](redisContext *c) { return redisAppendFormattedCommand(c, "*1\r\n$1\r\n\0\r\n", 11); },
                   std::string("*1\r\n$1\r\n\0\r\n", 11)},
        FormatCase{"AppendsAccumulate",
                   [](redisContext *c) { return redisAppendCommand(c, "MULTI") | redisAppendCommand(c, "EXEC"); },
                   "*1\r\n$5\r\nMULTI\r\n*1\r\n$4\r\nEXEC\r\n"}),
    [](const auto &info) { return std::string(info.param.name); });

// Formats that are no literals on purpose, without the compiler's format check.
int appendUnchecked(redisContext *c, const char *format, ...)
{
    va_list ap;
    va_start(ap, format);
    int rc = redisvAppendCommand(c, format, ap);
    va_end(ap);
    return rc;
}

TEST(FormatErrors, InvalidFormatsAreOther)
{
    for (const char *format : {"GET %x", "GET %", "", "   ", "SET %ld"}) {
        Unconnected u;
        EXPECT_EQ(appendUnchecked(u.c.get(), format), REDIS_ERR) << format;
        EXPECT_EQ(u.c->err, REDIS_ERR_OTHER) << format;
        EXPECT_STREQ(u.c->errstr, "Invalid format string");
        EXPECT_EQ(u.output(), "") << format;
    }
}

TEST(TlsTexts, ContextErrorCodes)
{
    const std::pair<int, const char *> cases[] = {
        {0, "No Error"},
        {REDIS_SSL_CTX_CREATE_FAILED, "Failed to create OpenSSL SSL_CTX"},
        {REDIS_SSL_CTX_CA_CERT_LOAD_FAILED, "Failed to load CA Certificate or CA Path"},
        {REDIS_SSL_CTX_CLIENT_CERT_LOAD_FAILED, "Failed to load client certificate"},
        {REDIS_SSL_CTX_PRIVATE_KEY_LOAD_FAILED, "Failed to load private key"},
        {REDIS_SSL_CTX_OS_CERT_ADD_FAILED, "Failed to add CA certificates obtained from system to the SSL context"},
        {2, "Unknown error code"},
        {9, "Unknown error code"},
    };
    for (const auto &[code, textOf] : cases)
        EXPECT_STREQ(redisSSLContextGetError(code), textOf) << code;
}

} // namespace
