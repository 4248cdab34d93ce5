// Links against the harness's redis-servers: each transport, the ACL and TLS
// cases, database selection, reconnects, and the byte counters.
#include "link/link_test_util.h"
#include "client/object.h"

#include <sys/socket.h>
#include <netinet/in.h>

using namespace linktest;

namespace {

::testing::Environment *const engine = ::testing::AddGlobalTestEnvironment(new EngineEnvironment);

std::string ownClientName(const char *user = "default")
{
    return std::string("kelvo@") + user + ":" + std::to_string(getpid());
}

/* Connects and runs the handshake; failures are test failures. */
void open(Link &link, Info &info, uint32_t flags = 0)
{
    ASSERT_EQ(kelvoLinkConnect(link, info, getpid()), 0) << link->errstr << " / sslErr " << link->sslErr;
    HelloErrors errors;
    ASSERT_EQ(hello(link, info, errors, flags), 0) << errors.text;
}

enum class Transport { Tcp, Unix, Tls };

struct TransportCase {
    const char *name;
    Transport transport;
};

class LinkTransport : public ::testing::TestWithParam<TransportCase> {
  protected:
    void configure(Info &info)
    {
        switch (GetParam().transport) {
        case Transport::Tcp:
            info.tcp("127.0.0.1", envPort("KELVO_TEST_PORT"));
            break;
        case Transport::Unix:
            info.unixSocket(env("KELVO_TEST_UNIX"));
            break;
        case Transport::Tls:
            info.tcp("127.0.0.1", envPort("KELVO_TEST_TLS_PORT")).tls(env("KELVO_TEST_TLS_CA"));
            break;
        }
    }
};

TEST_P(LinkTransport, ConnectsAndHandsShakeAsKelvoOverResp3)
{
    Info info;
    configure(info);
    Link link;
    open(link, info);
    EXPECT_EQ(link->state, KELVO_LINK_CONNECTED);
    EXPECT_EQ(link->pid, getpid());
    EXPECT_EQ(link->hello, 1);
    EXPECT_STREQ(link->server, "redis");
    EXPECT_NE(link->version[0], '\0');
    EXPECT_EQ(link->tracking, 0);
    EXPECT_EQ(GetParam().transport == Transport::Tls, link->sslCtx != nullptr);

    EXPECT_EQ(clientField(link, "name"), ownClientName());
    EXPECT_EQ(clientField(link, "user"), "default");
    EXPECT_EQ(clientField(link, "resp"), "3");
    EXPECT_EQ(clientField(link, "flags").find('t'), std::string::npos);

    char key[kelvoIdentityMax];
    redisInfoGetUri(info, key, sizeof key);
    EXPECT_EQ(std::string(ZSTR_VAL(link->key)), key);
    EXPECT_EQ(link->id, kelvoLinkIdentityHash(key, strlen(key), kelvoSharedData ? kelvoSharedData->cache.seed : 0));
}

TEST_P(LinkTransport, TrackingIsSwitchedOnOnlyForALinkWithACachedDatabase)
{
    Info info;
    configure(info);
    Link plain;
    open(plain, info, kelvoOptClientTracking);
    EXPECT_EQ(plain->tracking, 0);
    EXPECT_EQ(clientField(plain, "flags").find('t'), std::string::npos);

    Link caching;
    ASSERT_EQ(kelvoLinkConnect(caching, info, getpid()), 0) << caching->errstr;
    caching->rdb = fakeCachedDatabase();
    HelloErrors errors;
    ASSERT_EQ(hello(caching, info, errors, kelvoOptClientTracking), 0) << errors.text;
    EXPECT_EQ(caching->tracking, 1);
    EXPECT_NE(clientField(caching, "flags").find('t'), std::string::npos);
}

TEST_P(LinkTransport, ReconnectsInPlaceAfterClientKillOnDatabaseZero)
{
    Info info;
    configure(info);
    Link link, killer;
    open(link, info);
    open(killer, info);
    zend_string *lastError = nullptr;
    ASSERT_EQ(kelvoSelectDB(link, info, 4, &lastError, 0), 0);
    zend_string *key = zend_string_copy(link->key);
    uint64_t id = link->id;
    Reply own = command(link, "CLIENT ID");
    ASSERT_EQ(own.type(), KELVO_REPLY_INTEGER);
    std::string ownId = std::to_string(own.r->v.integer);
    ASSERT_EQ(command(killer, "CLIENT KILL ID %s", ownId.c_str()).type(), KELVO_REPLY_INTEGER);

    EXPECT_FALSE(command(link, "PING"));
    EXPECT_NE(link->ctx->err, 0);
    ASSERT_EQ(kelvoLinkReconnect(link, info), 0) << link->ctx->errstr;
    EXPECT_EQ(link->db, 0u);
    EXPECT_EQ(link->state, KELVO_LINK_CONNECTED);
    EXPECT_EQ(link->key, key);
    EXPECT_EQ(link->id, id);
    EXPECT_EQ(GetParam().transport == Transport::Tls, link->ctx->privctx != nullptr);
    HelloErrors errors;
    ASSERT_EQ(hello(link, info, errors), 0) << errors.text;
    EXPECT_EQ(clientField(link, "db"), "0");
    EXPECT_EQ(clientField(link, "name"), ownClientName());
    zend_string_release(key);
}

INSTANTIATE_TEST_SUITE_P(Transports, LinkTransport,
                         ::testing::Values(TransportCase{"tcp", Transport::Tcp}, TransportCase{"unix", Transport::Unix},
                                           TransportCase{"tls", Transport::Tls}),
                         [](const auto &info) { return std::string(info.param.name); });

struct AclCase {
    const char *name;
    const char *user;
    const char *pass;
    uint32_t flags;
    int code; /* 0: the handshake succeeds */
};

class LinkAcl : public ::testing::TestWithParam<AclCase> {};

TEST_P(LinkAcl, HandshakeOutcome)
{
    const AclCase &c = GetParam();
    Info info;
    info.tcp("127.0.0.1", envPort("KELVO_TEST_ACL_PORT")).auth(c.user, c.pass);
    Link link;
    ASSERT_EQ(kelvoLinkConnect(link, info, getpid()), 0) << link->errstr;
    link->rdb = fakeCachedDatabase();
    HelloErrors errors;
    int rc = hello(link, info, errors, c.flags);
    if (c.code == 0) {
        ASSERT_EQ(rc, 0) << errors.text;
        EXPECT_EQ(errors.calls, 0);
        EXPECT_EQ(clientField(link, "user"), c.user ? c.user : "default");
        return;
    }
    EXPECT_EQ(rc, -1);
    ASSERT_EQ(errors.calls, 1);
    EXPECT_EQ(errors.type, KELVO_REPLY_ERROR) << errors.text;
    EXPECT_EQ(errors.code(), c.code) << errors.text;
    EXPECT_EQ(link->tracking, 0);
    // Every reply of the pipeline was read: the next reply answers the next command.
    std::string ping = command(link, "PING").str();
    EXPECT_EQ(ping.rfind(c.code == KELVO_ERR_REDIS ? "PONG" : "NOAUTH", 0), 0u) << ping;
}

INSTANTIATE_TEST_SUITE_P(
    Users, LinkAcl,
    ::testing::Values(AclCase{"DefaultUserWithPassword", nullptr, "defaultpass", 0, 0},
                      AclCase{"NamedUser", "kelvo", "secret", 0, 0},
                      AclCase{"NamedUserWithTracking", "kelvo", "secret", kelvoOptClientTracking, 0},
                      AclCase{"WrongPassword", "kelvo", "wrong", 0, KELVO_ERR_WRONGPASS},
                      AclCase{"NoPassword", nullptr, nullptr, 0, KELVO_ERR_WRONGPASS},
                      AclCase{"DisabledUser", "disabled", "secret", 0, KELVO_ERR_WRONGPASS},
                      AclCase{"TrackingNotPermitted", "notrack", "secret", kelvoOptClientTracking, KELVO_ERR_REDIS},
                      AclCase{"TrackingNotAskedFor", "notrack", "secret", 0, 0}),
    [](const auto &info) { return std::string(info.param.name); });

TEST(LinkAclNames, AUserNameOutsideAsciiConnectsUnderAnEscapedClientName)
{
    std::string user = env("KELVO_TEST_ACL_UTF8_USER");
    ASSERT_EQ(user, "\xc3\xbcser");
    Info info;
    info.tcp("127.0.0.1", envPort("KELVO_TEST_ACL_PORT")).auth(user.c_str(), "secret");
    Link link;
    open(link, info);
    EXPECT_EQ(clientField(link, "name"), ownClientName("%C3%BCser"));
    EXPECT_EQ(clientField(link, "user"), user);
}

TEST(LinkConnect, AMissingUnixSocketNamesItsPath)
{
    Info info;
    info.unixSocket("/nonexistent/kelvo/redis.sock");
    Link link;
    EXPECT_EQ(kelvoLinkConnect(link, info, getpid()), -1);
    EXPECT_EQ(link->ctx, nullptr);
    EXPECT_EQ(link->state, KELVO_LINK_NONE);
    EXPECT_EQ(link->err, uint32_t(REDIS_ERR_IO));
    EXPECT_STREQ(link->errstr, "No such file or directory '/nonexistent/kelvo/redis.sock'");
}

TEST(LinkConnect, GoesToTheResolvedAddressTheIdentityNames)
{
    Info info;
    // The host name cannot resolve: only the recorded address can be what was reached.
    int port = envPort("KELVO_TEST_PORT");
    info.tcp("kelvo-unresolvable.invalid", port, "127.0.0.1");
    Link link;
    open(link, info);
    std::string expected = "tcp://default@127.0.0.1:" + std::to_string(port) + "?cache=0&tracking=0";
    EXPECT_EQ(std::string(ZSTR_VAL(link->key)), expected);
    EXPECT_EQ(command(link, "PING").str(), "PONG");
}

TEST(LinkConnect, ARefusedConnectionIsAnIoError)
{
    // A port nobody listens on: bind one, then let it go.
    int fd = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in sa{};
    sa.sin_family = AF_INET;
    sa.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t len = sizeof sa;
    ASSERT_EQ(bind(fd, reinterpret_cast<sockaddr *>(&sa), sizeof sa), 0);
    getsockname(fd, reinterpret_cast<sockaddr *>(&sa), &len);
    close(fd);
    Info info;
    info.tcp("127.0.0.1", ntohs(sa.sin_port));
    Link link;
    EXPECT_EQ(kelvoLinkConnect(link, info, getpid()), -1);
    EXPECT_EQ(link->err, uint32_t(REDIS_ERR_IO));
    EXPECT_STREQ(link->errstr, "Connection refused");
    EXPECT_EQ(link->key, nullptr);
}

/* Outcome of a TLS case. */
enum class TlsOutcome { Ready, ContextFails, ConnectFails, HandshakeFails };

struct TlsCase {
    const char *name;
    const char *portVar;
    bool ca;            /* the harness's CA file */
    const char *cafile; /* another CA file instead */
    uint8_t verify;
    const char *peerName;
    bool clientCert;
    TlsOutcome outcome;
    uint32_t sslErr;    /* ContextFails */
    const char *errstr; /* ConnectFails: text the error begins with */
};

constexpr uint8_t verifyBoth = KELVO_TLS_VERIFY_PEER | KELVO_TLS_VERIFY_PEER_NAME;

class LinkTls : public ::testing::TestWithParam<TlsCase> {};

TEST_P(LinkTls, Outcome)
{
    const TlsCase &c = GetParam();
    Info info;
    info.tcp("127.0.0.1", envPort(c.portVar))
        .tls(c.ca ? env("KELVO_TEST_TLS_CA") : std::string(c.cafile ? c.cafile : ""));
    info->tls.verify = c.verify;
    if (c.peerName)
        Info::set(info->tls.peerName, c.peerName);
    if (c.clientCert)
        info.clientCert(env("KELVO_TEST_TLS_CERT"), env("KELVO_TEST_TLS_KEY"));
    Link link;
    int rc = kelvoLinkConnect(link, info, getpid());
    switch (c.outcome) {
    case TlsOutcome::ContextFails:
        EXPECT_EQ(rc, -1);
        EXPECT_EQ(link->sslErr, c.sslErr);
        EXPECT_EQ(link->err, 0u);
        EXPECT_EQ(link->ctx, nullptr);
        return;
    case TlsOutcome::ConnectFails:
        EXPECT_EQ(rc, -1);
        EXPECT_EQ(link->ctx, nullptr);
        EXPECT_EQ(std::string(link->errstr).rfind(c.errstr, 0), 0u) << link->errstr;
        return;
    case TlsOutcome::HandshakeFails: {
        // A server that refuses the client only says so after the client's side of TLS 1.3 is done.
        ASSERT_EQ(rc, 0) << link->errstr;
        HelloErrors errors;
        EXPECT_EQ(hello(link, info, errors), -1);
        EXPECT_TRUE(errors.nullReply);
        return;
    }
    case TlsOutcome::Ready: {
        ASSERT_EQ(rc, 0) << link->errstr;
        HelloErrors errors;
        ASSERT_EQ(hello(link, info, errors), 0) << errors.text;
        EXPECT_EQ(command(link, "PING").str(), "PONG");
        return;
    }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, LinkTls,
    ::testing::Values(
        TlsCase{"CaFile", "KELVO_TEST_TLS_PORT", true, nullptr, verifyBoth, nullptr, false, TlsOutcome::Ready, 0, ""},
        TlsCase{"MissingCaFile", "KELVO_TEST_TLS_PORT", false, "/nonexistent/ca.crt", verifyBoth, nullptr, false,
                TlsOutcome::ContextFails, REDIS_SSL_CTX_CA_CERT_LOAD_FAILED, ""},
        TlsCase{"SystemCasDoNotKnowTheTestCa", "KELVO_TEST_TLS_PORT", false, nullptr, verifyBoth, nullptr, false,
                TlsOutcome::ConnectFails, 0, "SSL_connect failed"},
        TlsCase{"VerificationOff", "KELVO_TEST_TLS_PORT", false, nullptr, 0, nullptr, false, TlsOutcome::Ready, 0, ""},
        TlsCase{"PeerNameMatches", "KELVO_TEST_TLS_PORT", true, nullptr, verifyBoth, "localhost", false,
                TlsOutcome::Ready, 0, ""},
        TlsCase{"PeerNameDiffers", "KELVO_TEST_TLS_PORT", true, nullptr, verifyBoth, "elsewhere.invalid", false,
                TlsOutcome::ConnectFails, 0, "Peer certificate does not match 'elsewhere.invalid'"},
        TlsCase{"CertificateForAnotherHost", "KELVO_TEST_TLS_OTHER_PORT", true, nullptr, verifyBoth, nullptr, false,
                TlsOutcome::ConnectFails, 0, "Peer certificate does not match '127.0.0.1'"},
        TlsCase{"CertificateForAnotherHostWithoutChainCheck", "KELVO_TEST_TLS_OTHER_PORT", false, nullptr,
                KELVO_TLS_VERIFY_PEER_NAME, nullptr, false, TlsOutcome::ConnectFails, 0,
                "Peer certificate does not match '127.0.0.1'"},
        TlsCase{"CertificateForAnotherHostNameCheckOff", "KELVO_TEST_TLS_OTHER_PORT", true, nullptr,
                KELVO_TLS_VERIFY_PEER, nullptr, false, TlsOutcome::Ready, 0, ""},
        TlsCase{"CertificateForTheNameAskedFor", "KELVO_TEST_TLS_OTHER_PORT", true, nullptr, verifyBoth,
                "elsewhere.invalid", false, TlsOutcome::Ready, 0, ""},
        TlsCase{"ClientCertificateRequiredAndGiven", "KELVO_TEST_TLS_AUTH_PORT", true, nullptr, verifyBoth, nullptr,
                true, TlsOutcome::Ready, 0, ""},
        TlsCase{"ClientCertificateRequiredNotGiven", "KELVO_TEST_TLS_AUTH_PORT", true, nullptr, verifyBoth, nullptr,
                false, TlsOutcome::HandshakeFails, 0, ""}),
    [](const auto &info) { return std::string(info.param.name); });

TEST(LinkTlsFiles, ClientCertificateAndKeyMustLoadAndMatch)
{
    struct {
        std::string cert, key;
        uint32_t sslErr;
    } cases[] = {
        {"/nonexistent/client.crt", env("KELVO_TEST_TLS_KEY"), REDIS_SSL_CTX_CLIENT_CERT_LOAD_FAILED},
        {env("KELVO_TEST_TLS_CERT"), "/nonexistent/client.key", REDIS_SSL_CTX_PRIVATE_KEY_LOAD_FAILED},
        {env("KELVO_TEST_TLS_CERT"), env("KELVO_TEST_TLS_OTHER_KEY"), REDIS_SSL_CTX_PRIVATE_KEY_LOAD_FAILED},
    };
    for (auto &c : cases) {
        Info info;
        info.tcp("127.0.0.1", envPort("KELVO_TEST_TLS_AUTH_PORT"))
            .tls(env("KELVO_TEST_TLS_CA"))
            .clientCert(c.cert, c.key);
        Link link;
        EXPECT_EQ(kelvoLinkConnect(link, info, getpid()), -1) << c.cert << " " << c.key;
        EXPECT_EQ(link->sslErr, c.sslErr) << c.cert << " " << c.key;
        EXPECT_STREQ(redisSSLContextGetError(int(link->sslErr)), c.sslErr == REDIS_SSL_CTX_CLIENT_CERT_LOAD_FAILED
                                                                     ? "Failed to load client certificate"
                                                                     : "Failed to load private key");
    }
}

struct SelectCase {
    const char *name;
    const char *user; /* on the ACL server; null: the plain server */
    uint32_t db;
    uint32_t flags;
    int result;
    const char *thrown;   /* message the exception begins with; null: nothing thrown */
    const char *recorded; /* last error; null: none */
};

class LinkSelect : public ::testing::TestWithParam<SelectCase> {};

TEST_P(LinkSelect, Outcome)
{
    const SelectCase &c = GetParam();
    Info info;
    if (c.user)
        info.tcp("127.0.0.1", envPort("KELVO_TEST_ACL_PORT")).auth(c.user, "secret");
    else
        info.tcp("127.0.0.1", envPort("KELVO_TEST_PORT"));
    info->db = c.db;
    Link link;
    open(link, info);
    FakeFrame frame;
    zend_string *lastError = nullptr;
    EXPECT_EQ(kelvoSelectDB(link, info, c.db, &lastError, c.flags), c.result);
    zend_long code = 0;
    std::string thrown = takeException(&code);
    if (c.thrown) {
        EXPECT_EQ(thrown.rfind(c.thrown, 0), 0u) << thrown;
        EXPECT_EQ(code, KELVO_ERR_REDIS);
    } else {
        EXPECT_EQ(thrown, "");
    }
    EXPECT_EQ(lastError ? std::string(ZSTR_VAL(lastError)) : "", c.recorded ? c.recorded : "");
    if (lastError)
        zend_string_release(lastError);
    // Selected, or left where it was and the wanted database set back to it.
    uint32_t now = c.result == 0 ? c.db : 0;
    EXPECT_EQ(link->db, now);
    EXPECT_EQ(info->db, now);
    EXPECT_EQ(command(link, "PING").str(), "PONG");
}

INSTANTIATE_TEST_SUITE_P(Cases, LinkSelect,
                         ::testing::Values(SelectCase{"ExistingDatabase", nullptr, 3, 0, 0, nullptr, nullptr},
                                           SelectCase{"OutOfRangeIsThrown", nullptr, 99, kelvoOptThrowOnError, 1,
                                                      "ERR DB index is out of range", nullptr},
                                           SelectCase{"OutOfRangeIsRecordedInRecordMode", nullptr, 99,
                                                      kelvoOptPhpredisCompat, 1, nullptr,
                                                      "ERR DB index is out of range"},
                                           SelectCase{"NoPermissionIsThrownEvenInRecordMode", "noselect", 2,
                                                      kelvoOptPhpredisCompat, 1, "NOPERM", nullptr}),
                         [](const auto &info) { return std::string(info.param.name); });

/* A private redis-server on a fixed port, for a restart. */
struct PrivateServer {
    TempDir dir;
    Child child;
    int port;
    explicit PrivateServer(int port) : port(port) {}
    bool start()
    {
        child.stop();
        return child.start({"redis-server", "--port", std::to_string(port), "--bind", "127.0.0.1", "--save", "",
                            "--appendonly", "no", "--dir", dir.path, "--logfile", dir.file("log")});
    }
};

int freePort()
{
    int fd = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in sa{};
    sa.sin_family = AF_INET;
    sa.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t len = sizeof sa;
    bind(fd, reinterpret_cast<sockaddr *>(&sa), sizeof sa);
    getsockname(fd, reinterpret_cast<sockaddr *>(&sa), &len);
    close(fd);
    return ntohs(sa.sin_port);
}

/* Connects until the server answers (it is starting up). */
bool connectWhenUp(Link &link, Info &info)
{
    for (int i = 0; i < 200; ++i) {
        if (kelvoLinkConnect(link, info, getpid()) == 0)
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(25));
    }
    return false;
}

TEST(LinkReconnect, AfterAServerRestart)
{
    PrivateServer server(freePort());
    ASSERT_TRUE(server.start());
    Info info;
    info.tcp("127.0.0.1", server.port);
    Link link;
    ASSERT_TRUE(connectWhenUp(link, info)) << link->errstr;
    HelloErrors errors;
    ASSERT_EQ(hello(link, info, errors), 0);

    server.child.stop();
    EXPECT_FALSE(command(link, "PING"));
    EXPECT_EQ(kelvoLinkReconnect(link, info), -1);
    EXPECT_EQ(link->ctx->err, REDIS_ERR_IO);

    ASSERT_TRUE(server.start());
    int rc = -1;
    for (int i = 0; i < 200 && rc != 0; ++i) {
        rc = kelvoLinkReconnect(link, info);
        if (rc != 0)
            std::this_thread::sleep_for(std::chrono::milliseconds(25));
    }
    ASSERT_EQ(rc, 0) << link->ctx->errstr;
    errors = HelloErrors();
    ASSERT_EQ(hello(link, info, errors), 0) << errors.text;
    EXPECT_EQ(command(link, "PING").str(), "PONG");
}

/* True while something accepts connections on the loopback port. */
bool answers(int port)
{
    int fd = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in sa{};
    sa.sin_family = AF_INET;
    sa.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    sa.sin_port = htons(uint16_t(port));
    bool up = connect(fd, reinterpret_cast<sockaddr *>(&sa), sizeof sa) == 0;
    close(fd);
    return up;
}

TEST(LinkPrivateServer, EndsWithTheTestProcessThatStartedItWhenThatIsKilled)
{
    int port = freePort();
    int ready[2];
    ASSERT_EQ(pipe(ready), 0);
    pid_t test = fork();
    if (test == 0) {
        close(ready[0]);
        PrivateServer server(port);
        bool up = server.start();
        for (int i = 0; up && i < 3000 && !answers(port); i++)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        std::string dir = answers(port) ? server.dir.path : "";
        if (write(ready[1], dir.c_str(), dir.size() + 1) < 0)
            _exit(1);
        pause(); // killed here, without running a destructor
        _exit(0);
    }
    close(ready[1]);
    char dir[256] = {0};
    ASSERT_GT(read(ready[0], dir, sizeof dir - 1), 0);
    close(ready[0]);
    EXPECT_NE(dir[0], '\0') << "the server did not start";
    kill(test, SIGKILL);
    EXPECT_EQ(waitpid(test, nullptr, 0), test);
    bool up = true;
    for (int i = 0; i < 3000 && (up = answers(port)); i++)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    EXPECT_FALSE(up) << "the server outlived the test process";
    if (dir[0])
        std::system(("rm -rf '" + std::string(dir) + "'").c_str());
}

TEST(LinkBytes, PlainLinksCountWhatMovesForTheirOwner)
{
    Info info;
    info.tcp("127.0.0.1", envPort("KELVO_TEST_PORT"));
    Link link;
    open(link, info);
    uint64_t received = KELVO_G(stats)[6], sent = KELVO_G(stats)[7];
    EXPECT_EQ(command(link, "PING").str(), "PONG");
    // A context without an owner counts nothing.
    EXPECT_EQ(KELVO_G(stats)[6], received);
    EXPECT_EQ(KELVO_G(stats)[7], sent);

    static robj owner;
    link->ctx->privdata = &owner;
    EXPECT_EQ(command(link, "PING").str(), "PONG");
    link->ctx->privdata = nullptr;
    EXPECT_EQ(KELVO_G(stats)[7] - sent, strlen("*1\r\n$4\r\nPING\r\n"));
    EXPECT_EQ(KELVO_G(stats)[6] - received, strlen("+PONG\r\n"));
    // The owning client object counts the same bytes.
    EXPECT_EQ(owner.bytesSent, strlen("*1\r\n$4\r\nPING\r\n"));
    EXPECT_EQ(owner.bytesRecv, strlen("+PONG\r\n"));
}

} // namespace
