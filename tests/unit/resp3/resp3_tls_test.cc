// TLS hand-over of contexts against the harness's TLS server
// (KELVO_TEST_TLS_PORT, KELVO_TEST_TLS_CA; KELVO_TEST_PORT for a plain one).
#include <gtest/gtest.h>

#include <cstdarg>
#include <cstdlib>
#include <memory>
#include <openssl/ssl.h>
#include <string>
#include <unistd.h>

#include "resp3/resp3.h"
#include "resp3/resp3_test_util.h"

namespace {

int envPort(const char *name)
{
    const char *v = getenv(name);
    return v ? atoi(v) : 0;
}

Context plainConnect(int port, const timeval *commandTimeout = nullptr)
{
    redisOptions o{};
    o.command_timeout = commandTimeout;
    o.type = REDIS_CONN_TCP;
    o.endpoint.tcp.ip = "127.0.0.1";
    o.endpoint.tcp.port = port;
    return Context(redisConnectWithOptions(&o));
}

class Resp3Tls : public ::testing::Test {
  protected:
    SSL_CTX *tls = nullptr;
    int tlsPort = envPort("KELVO_TEST_TLS_PORT");

    void SetUp() override
    {
        ASSERT_GT(tlsPort, 0) << "KELVO_TEST_TLS_PORT not set (tests/harness/servers)";
        tls = SSL_CTX_new(TLS_client_method());
        ASSERT_TRUE(tls);
        SSL_CTX_set_verify(tls, SSL_VERIFY_PEER, nullptr);
        ASSERT_EQ(SSL_CTX_load_verify_locations(tls, getenv("KELVO_TEST_TLS_CA"), nullptr), 1);
    }
    void TearDown() override { SSL_CTX_free(tls); }

    Context tlsConnect()
    {
        Context c = plainConnect(tlsPort);
        EXPECT_EQ(c->err, 0) << c->errstr;
        SSL *ssl = SSL_new(tls);
        if (redisInitiateSSL(c.get(), ssl) != REDIS_OK) {
            ADD_FAILURE() << c->errstr;
            SSL_free(ssl);
        }
        return c;
    }

    void killClient(redisContext *c)
    {
        void *id = redisCommand(c, "CLIENT ID");
        ASSERT_TRUE(id);
        long long n = static_cast<redisReply *>(id)->integer;
        freeReplyObject(id);
        Context other = tlsConnect();
        EXPECT_EQ(text(other.get(), command(other.get(), "CLIENT KILL ID %s", std::to_string(n).c_str())), "int:1");
    }
};

TEST_F(Resp3Tls, HandOverSwitchesTheContextToTls)
{
    Context c = plainConnect(tlsPort);
    SSL *ssl = SSL_new(tls);
    ASSERT_EQ(redisInitiateSSL(c.get(), ssl), REDIS_OK) << c->errstr;
    EXPECT_EQ(c->privctx, ssl);
    EXPECT_EQ(c->funcs, &redisContextSSLFuncs);
    EXPECT_EQ(text(c.get(), command(c.get(), "HELLO 3")).substr(0, 1), "{");
    EXPECT_EQ(text(c.get(), command(c.get(), "PING")), "status:PONG");

    SSL *second = SSL_new(tls);
    EXPECT_EQ(redisInitiateSSL(c.get(), second), REDIS_ERR);
    EXPECT_EQ(c->err, REDIS_ERR_OTHER);
    EXPECT_STREQ(c->errstr, "redisContext was already associated");
    SSL_free(second);
}

TEST_F(Resp3Tls, AFailedHandshakeLeavesTheSslObjectToTheCaller)
{
    int plainPort = envPort("KELVO_TEST_PORT");
    ASSERT_GT(plainPort, 0);
    // A plain server waits for a line that never comes: the timeout ends the handshake.
    timeval timeout{0, 300000};
    Context c = plainConnect(plainPort, &timeout);
    SSL *ssl = SSL_new(tls);
    EXPECT_EQ(redisInitiateSSL(c.get(), ssl), REDIS_ERR);
    EXPECT_EQ(c->err, REDIS_ERR_IO);
    EXPECT_EQ(std::string(c->errstr).rfind("SSL_connect failed: ", 0), 0u) << c->errstr;
    EXPECT_EQ(c->privctx, nullptr);
    EXPECT_EQ(c->funcs, &redisContextDefaultFuncs);
    SSL_free(ssl); // still ours: a double free would show under ASan
}

TEST_F(Resp3Tls, ForkedChildFreeingItsCopyLeavesTheParentsSession)
{
    Context c = tlsConnect();
    ASSERT_EQ(text(c.get(), command(c.get(), "PING")), "status:PONG");
    expectForkedFreeKeepsSession(c);
}

TEST_F(Resp3Tls, ServerCloseIsEndOfFileAndWritesRaiseNoSigpipe)
{
    Context c = tlsConnect();
    killClient(c.get());
    EXPECT_EQ(redisGetReply(c.get(), nullptr), REDIS_ERR);
    EXPECT_EQ(c->err, REDIS_ERR_EOF);
    EXPECT_STREQ(c->errstr, "Server closed the connection");

    Context w = tlsConnect();
    killClient(w.get());
    writeUntilFailure(w.get());
}

TEST_F(Resp3Tls, ReconnectDropsTheSslObjectAndGoesBackToPlainSockets)
{
    Context c = tlsConnect();
    ASSERT_NE(c->privctx, nullptr);
    ASSERT_EQ(redisReconnect(c.get()), REDIS_OK) << c->errstr;
    EXPECT_EQ(c->privctx, nullptr);
    EXPECT_EQ(c->funcs, &redisContextDefaultFuncs);
    SSL *ssl = SSL_new(tls);
    ASSERT_EQ(redisInitiateSSL(c.get(), ssl), REDIS_OK) << c->errstr;
    EXPECT_EQ(text(c.get(), command(c.get(), "PING")), "status:PONG");
}

} // namespace
