// Links against the scripted fake server, for bytes a real server cannot be
// made to send, and the connect deadline against a listener that never answers.
#include "link/link_test_util.h"

#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/time.h>

#include <cerrno>
#include <initializer_list>
#include <utility>

using namespace linktest;

namespace {

::testing::Environment *const engine = ::testing::AddGlobalTestEnvironment(new EngineEnvironment);

/* The request bytes a client sends for these arguments. */
std::string request(std::initializer_list<std::string> args)
{
    std::string out = "*" + std::to_string(args.size()) + "\r\n";
    for (const std::string &a : args)
        out += "$" + std::to_string(a.size()) + "\r\n" + a + "\r\n";
    return out;
}

std::string bulk(const std::string &s) { return "$" + std::to_string(s.size()) + "\r\n" + s + "\r\n"; }

/* A HELLO reply: a map of string pairs. */
std::string helloMap(std::initializer_list<std::pair<std::string, std::string>> pairs)
{
    std::string out = "%" + std::to_string(pairs.size()) + "\r\n";
    for (const auto &p : pairs)
        out += bulk(p.first) + bulk(p.second);
    return out;
}

const std::string redisHello = helloMap({{"server", "redis"}, {"version", "7.0.15"}, {"proto", "3"}});
const std::string unknownSetinfo = "-ERR unknown subcommand 'SETINFO'. Try CLIENT HELP.\r\n";

/* A script line that sends (or expects) these bytes. */
std::string step(const char *word, const std::string &bytes)
{
    std::string out = std::string(word) + " ";
    for (unsigned char c : bytes) {
        if (c == '\r')
            out += "\\r";
        else if (c == '\n')
            out += "\\n";
        else if (c == '\\')
            out += "\\\\";
        else
            out += char(c);
    }
    return out + "\n";
}
std::string reply(const std::string &bytes) { return step("reply", bytes); }

/* The fake server of one test, with what it received. */
struct FakeServer {
    TempDir dir;
    Child child;
    int port = 0;

    explicit FakeServer(const std::string &script)
    {
        writeFile(dir.file("script"), script);
        if (child.start({"python3", KELVO_SOURCE_DIR "/tests/harness/fakeserver", "--record", dir.file("record"),
                         dir.file("script")}))
            port = atoi(child.readLine().c_str());
    }
    std::string received() const { return readFile(dir.file("record")); }
};

/* Connects a link to the fake server; failures are test failures. */
void connectTo(Link &link, Info &info, const FakeServer &server)
{
    ASSERT_NE(server.port, 0) << "the fake server did not start";
    info.tcp("127.0.0.1", server.port);
    ASSERT_EQ(kelvoLinkConnect(link, info, getpid()), 0) << link->errstr;
}

struct BytesCase {
    const char *name;
    const char *user;
    const char *pass;
    uint32_t flags;
    bool caching;
};

class LinkHandshakeBytes : public ::testing::TestWithParam<BytesCase> {};

TEST_P(LinkHandshakeBytes, OnePipelineInThisOrder)
{
    const BytesCase &c = GetParam();
    std::string script = reply(redisHello) + reply(unknownSetinfo) + reply(unknownSetinfo);
    if (c.caching && (c.flags & kelvoOptClientTracking))
        script += reply("+OK\r\n");
    if (c.flags & kelvoOptCapaRedirect)
        script += reply(unknownSetinfo);
    FakeServer server(script);
    Info info;
    info.auth(c.user, c.pass);
    Link link;
    connectTo(link, info, server);
    if (c.caching)
        link->rdb = fakeCachedDatabase();
    HelloErrors errors;
    ASSERT_EQ(hello(link, info, errors, c.flags), 0) << errors.text;

    std::string user = c.user && *c.user ? c.user : "default";
    std::string expected = request({"HELLO", "3", "AUTH", user, c.pass ? c.pass : "", "SETNAME",
                                    "kelvo@" + user + ":" + std::to_string(getpid())}) +
                           request({"CLIENT", "SETINFO", "LIB-NAME", "kelvo"}) +
                           request({"CLIENT", "SETINFO", "LIB-VER", "0.40.0"});
    if (c.caching && (c.flags & kelvoOptClientTracking))
        expected += request({"CLIENT", "TRACKING", "ON"});
    if (c.flags & kelvoOptCapaRedirect)
        expected += request({"CLIENT", "CAPA", "redirect"});
    EXPECT_EQ(server.received(), expected);
    EXPECT_EQ(link->tracking, c.caching && (c.flags & kelvoOptClientTracking) ? 1 : 0);
    EXPECT_STREQ(link->server, "redis");
    EXPECT_STREQ(link->version, "7.0.15");
}

INSTANTIATE_TEST_SUITE_P(Cases, LinkHandshakeBytes,
                         ::testing::Values(BytesCase{"NoUserNoPassword", nullptr, nullptr, 0, false},
                                           BytesCase{"EmptyUserIsDefault", "", "pw", 0, false},
                                           BytesCase{"UserTrackingAndRedirect", "app", "pw",
                                                     kelvoOptClientTracking | kelvoOptCapaRedirect, true},
                                           BytesCase{"TrackingWithoutCachedDatabase", "app", "pw",
                                                     kelvoOptClientTracking, false}),
                         [](const auto &info) { return std::string(info.param.name); });

TEST(LinkHandshake, AServerWithoutHelloFailsItWithTheCompatibilityCode)
{
    const std::string unknownCommand = "-ERR unknown command 'HELLO', with args beginning with: '3' \r\n";
    FakeServer server(reply(unknownCommand) + reply("-ERR unknown command 'CLIENT'\r\n") +
                      reply("-ERR unknown command 'CLIENT'\r\n") + reply("+PONG\r\n"));
    Info info;
    Link link;
    connectTo(link, info, server);
    HelloErrors errors;
    EXPECT_EQ(hello(link, info, errors), -1);
    EXPECT_EQ(errors.calls, 1);
    EXPECT_EQ(errors.code(), KELVO_ERR_COMPAT);
    EXPECT_EQ(link->hello, 0);
    EXPECT_EQ(command(link, "PING").str(), "PONG");
}

TEST(LinkHandshake, ARefusedTrackingFailsItAfterEveryReplyWasRead)
{
    FakeServer server(reply(redisHello) + reply("+OK\r\n") + reply("+OK\r\n") +
                      reply("-ERR CLIENT TRACKING refused\r\n") + reply("+PONG\r\n"));
    Info info;
    Link link;
    connectTo(link, info, server);
    link->rdb = fakeCachedDatabase();
    HelloErrors errors;
    EXPECT_EQ(hello(link, info, errors, kelvoOptClientTracking), -1);
    EXPECT_EQ(errors.calls, 1);
    EXPECT_EQ(errors.text, "ERR CLIENT TRACKING refused");
    EXPECT_EQ(link->tracking, 0);
    EXPECT_EQ(link->hello, 1);
    EXPECT_EQ(command(link, "PING").str(), "PONG");
}

TEST(LinkHandshake, AConnectionLostMidwayReportsANullReply)
{
    FakeServer server(reply(redisHello) + "close\n");
    Info info;
    Link link;
    connectTo(link, info, server);
    HelloErrors errors;
    EXPECT_EQ(hello(link, info, errors), -1);
    EXPECT_EQ(errors.calls, 1);
    EXPECT_TRUE(errors.nullReply);
    EXPECT_EQ(link->ctx->err, REDIS_ERR_EOF);
}

TEST(LinkPushes, APushIsNeverTakenForTheReplyItPrecedes)
{
    const std::string invalidate = ">2\r\n" + bulk("invalidate") + "*1\r\n" + bulk("key");
    FakeServer server(reply(redisHello) + reply("+OK\r\n") + reply("+OK\r\n") + step("push", invalidate) +
                      reply("+PONG\r\n"));
    Info info;
    Link link;
    connectTo(link, info, server);
    HelloErrors errors;
    ASSERT_EQ(hello(link, info, errors), 0) << errors.text;
    Reply pong = command(link, "PING");
    EXPECT_EQ(pong.type(), KELVO_REPLY_STATUS);
    EXPECT_EQ(pong.str(), "PONG");
}

TEST(LinkState, ConnectIfNeededOpensOnlyALinkWithoutConnection)
{
    FakeServer server("");
    Info info;
    info->connectTimeout = {3, 250000};
    Link link;
    connectTo(link, info, server);
    redisContext *first = link->ctx;
    // What a reconnect will wait: the whole timeout, not what was left of it.
    ASSERT_NE(first->connect_timeout, nullptr);
    EXPECT_EQ(first->connect_timeout->tv_sec, 3);
    EXPECT_EQ(first->connect_timeout->tv_usec, 250000);
    EXPECT_EQ(kelvoLinkConnectIfNeeded(link, info, getpid()), 0);
    EXPECT_EQ(link->ctx, first);
    kelvoLinkFree(link);
    EXPECT_EQ(link->state, KELVO_LINK_NONE);
    EXPECT_EQ(link->key, nullptr);
    EXPECT_EQ(kelvoLinkConnectIfNeeded(link, info, getpid()), 0) << link->errstr;
    EXPECT_EQ(link->state, KELVO_LINK_CONNECTED);
    EXPECT_NE(link->ctx, nullptr);

    errno = ECONNRESET;
    kelvoSetRedisErrorFromErrno(link->ctx);
    EXPECT_EQ(link->ctx->err, REDIS_ERR_IO);
    EXPECT_STREQ(link->ctx->errstr, "Connection reset by peer");
    kelvoLinkErrorSet(link, link->ctx);
    EXPECT_EQ(link->err, uint32_t(REDIS_ERR_IO));
    EXPECT_STREQ(link->errstr, "Connection reset by peer");
}

struct HelloFieldsCase {
    const char *name;
    std::string map;
    const char *server, *version, *az;
};

class LinkHelloFields : public ::testing::TestWithParam<HelloFieldsCase> {};

TEST_P(LinkHelloFields, KeptFromTheMap)
{
    const HelloFieldsCase &c = GetParam();
    FakeServer server(reply(c.map) + reply("+OK\r\n") + reply("+OK\r\n"));
    Info info;
    Link link;
    connectTo(link, info, server);
    HelloErrors errors;
    ASSERT_EQ(hello(link, info, errors), 0) << errors.text;
    EXPECT_EQ(link->hello, 1);
    EXPECT_STREQ(link->server, c.server);
    EXPECT_STREQ(link->version, c.version);
    EXPECT_STREQ(link->az, c.az);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, LinkHelloFields,
    ::testing::Values(
        HelloFieldsCase{"AvailabilityZone",
                        helloMap({{"server", "valkey"}, {"version", "8.1.0"}, {"availability_zone", "use1-az4"}}),
                        "valkey", "8.1.0", "use1-az4"},
        HelloFieldsCase{"Dragonfly",
                        helloMap({{"server", "redis"}, {"version", "7.4.0"}, {"dragonfly_version", "df-v1.25.1"}}),
                        "dragonfly", "7.4.0", ""},
        HelloFieldsCase{"LongValuesAreCut",
                        helloMap({{"server", "a-server-name-of-30-characters"},
                                  {"version", "7.4.0-rc2-build-1234"},
                                  {"availability_zone", "a-zone-name-that-is-longer-than-31-characters"}}),
                        "a-server-name-o", "7.4.0-rc2-build", "a-zone-name-that-is-longer-than"},
        HelloFieldsCase{"OnlyStringPairsCount",
                        "%3\r\n" + bulk("server") + ":7\r\n" + bulk("version") + bulk("7.0.0") + ":1\r\n" +
                            bulk("server"),
                        "", "7.0.0", ""}),
    [](const auto &info) { return std::string(info.param.name); });

TEST(LinkSelectFake, AnInvalidDbReplyIsALinkFailure)
{
    for (const std::string &answer : {std::string("-ERR invalid DB index\r\n"), std::string(":1\r\n")}) {
        FakeServer server(reply(answer));
        Info info;
        Link link;
        connectTo(link, info, server);
        info->db = 7;
        FakeFrame frame;
        zend_string *lastError = nullptr;
        EXPECT_EQ(kelvoSelectDB(link, info, 7, &lastError, kelvoOptPhpredisCompat), 2) << answer;
        EXPECT_EQ(takeException(), "");
        EXPECT_EQ(lastError, nullptr);
        EXPECT_EQ(link->db, 0u);
        EXPECT_EQ(info->db, 7u);
        EXPECT_EQ(server.received(), request({"SELECT", "7"}));
    }
}

/* A loopback listener whose accept queue is full: further connects wait for ever. */
struct StuckListener {
    int fd = -1;
    int fillers[2] = {-1, -1};
    int port = 0;
    StuckListener()
    {
        fd = socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in sa{};
        sa.sin_family = AF_INET;
        sa.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t len = sizeof sa;
        bind(fd, reinterpret_cast<sockaddr *>(&sa), sizeof sa);
        listen(fd, 0);
        getsockname(fd, reinterpret_cast<sockaddr *>(&sa), &len);
        port = ntohs(sa.sin_port);
        pollfd waits[2];
        for (int i = 0; i < 2; i++) {
            fillers[i] = socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK, 0);
            connect(fillers[i], reinterpret_cast<sockaddr *>(&sa), sizeof sa);
            waits[i] = {fillers[i], POLLOUT, 0};
        }
        /* Full once a filler's handshake completed into the queue, however slowly the machine runs. */
        EXPECT_GT(poll(waits, 2, 30000), 0);
    }
    ~StuckListener()
    {
        for (int f : fillers)
            close(f);
        close(fd);
    }
};

int alarms = 0;
void countAlarm(int) { ++alarms; }

TEST(LinkConnectDeadline, InterruptedWaitsDoNotStretchTheConnectTimeout)
{
    StuckListener listener;
    struct sigaction action {
    }, saved{};
    action.sa_handler = countAlarm; // no SA_RESTART: every tick interrupts the wait
    sigaction(SIGALRM, &action, &saved);
    itimerval tick{{0, 40000}, {0, 40000}}, off{};
    setitimer(ITIMER_REAL, &tick, nullptr);

    Info info;
    info.tcp("127.0.0.1", listener.port);
    info->connectTimeout = {0, 400000};
    Link link;
    auto start = std::chrono::steady_clock::now();
    int rc = kelvoLinkConnect(link, info, getpid());
    auto took = std::chrono::steady_clock::now() - start;

    setitimer(ITIMER_REAL, &off, nullptr);
    sigaction(SIGALRM, &saved, nullptr);
    EXPECT_EQ(rc, -1);
    EXPECT_GT(alarms, 2);
    EXPECT_EQ(link->err, uint32_t(REDIS_ERR_IO));
    EXPECT_STREQ(link->errstr, "Connection timed out");
    EXPECT_GE(took, std::chrono::milliseconds(390));
    /* A wait restarted at each interruption would never end while the ticks go on: any bound far
     * past the timeout shows it was kept, without asking the machine to be quick. */
    EXPECT_LT(took, std::chrono::seconds(10));
}

struct IdentityCase {
    const char *name;
    int type;
    bool tls;
    const char *user;
    const char *host;
    const char *addr;
    int port;
    uint16_t flags;
    const char *expected;
};

class LinkIdentity : public ::testing::TestWithParam<IdentityCase> {};

TEST_P(LinkIdentity, Text)
{
    const IdentityCase &c = GetParam();
    Info info;
    if (c.type == REDIS_CONN_UNIX)
        info.unixSocket(c.host);
    else
        info.tcp(c.host, c.port, c.addr);
    if (c.tls)
        info.tls();
    info.auth(c.user, "not part of it");
    info->db = 5;
    info->flags = c.flags;
    char buf[kelvoIdentityMax];
    EXPECT_EQ(redisInfoGetUri(info, buf, sizeof buf), int(strlen(c.expected)));
    EXPECT_STREQ(buf, c.expected);
    zend_string *z = redisInfoGetUriZStr(info);
    EXPECT_STREQ(ZSTR_VAL(z), c.expected);
    zend_string_release(z);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, LinkIdentity,
    ::testing::Values(IdentityCase{"TlsResolvedWithCacheAndTracking", REDIS_CONN_TCP, true, nullptr, "cache.example",
                                   "127.0.0.1", 6379, kelvoOptUseCache | kelvoOptClientTracking,
                                   "tls://default@127.0.0.1:6379?cache=1&tracking=1"},
                      IdentityCase{"TcpUnresolvedUsesTheHost", REDIS_CONN_TCP, false, "app", "localhost", "", 7000,
                                   kelvoOptUseCache, "tcp://app@localhost:7000?cache=1&tracking=0"},
                      IdentityCase{"EmptyUserStaysEmpty", REDIS_CONN_TCP, false, "", "::1", "::1", 6380, 0,
                                   "tcp://@::1:6380?cache=0&tracking=0"},
                      IdentityCase{"UnixSocket", REDIS_CONN_UNIX, false, "app", "/run/redis.sock", "", 0, 0,
                                   "unix://app@/run/redis.sock?cache=0&tracking=0"}),
    [](const auto &info) { return std::string(info.param.name); });

TEST(LinkIdentityLength, AnIdentityTooLongForItsBufferIsNotConnected)
{
    Info info;
    info.tcp("127.0.0.1", 1).auth(std::string(600, 'u').c_str(), nullptr);
    zend_string *z = redisInfoGetUriZStr(info);
    EXPECT_GT(ZSTR_LEN(z), kelvoIdentityMax);
    EXPECT_EQ(ZSTR_LEN(z), strlen(ZSTR_VAL(z)));
    zend_string_release(z);
    Link link;
    EXPECT_EQ(kelvoLinkConnect(link, info, getpid()), -1);
    EXPECT_STREQ(link->errstr, "Server identity is too long");
    EXPECT_EQ(link->ctx, nullptr);
}

} // namespace
