/*
 * TLS for contexts: the hand-over of an OpenSSL connection object, the TLS
 * socket functions and the texts of the TLS context error codes. The SSL
 * object writes through a socket BIO that sends with MSG_NOSIGNAL, so a
 * peer that went away never raises SIGPIPE.
 */
#include "resp3/resp3.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>
#include <openssl/err.h>
#include <openssl/ssl.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

int sendNoSignal(BIO *bio, const char *data, int len)
{
    int n = int(send(int(BIO_get_fd(bio, nullptr)), data, size_t(len), MSG_NOSIGNAL));
    BIO_clear_retry_flags(bio);
    if (n <= 0 && BIO_sock_should_retry(n))
        BIO_set_retry_write(bio);
    return n;
}

/* The socket BIO with its write replaced; made once per process. */
const BIO_METHOD *noSignalSocketMethod()
{
    static BIO_METHOD *method = [] {
        const BIO_METHOD *sock = BIO_s_socket();
        BIO_METHOD *m = BIO_meth_new(BIO_get_new_index() | BIO_TYPE_SOURCE_SINK | BIO_TYPE_DESCRIPTOR, "kelvo socket");
        if (!m)
            return m;
        BIO_meth_set_write(m, sendNoSignal);
        BIO_meth_set_read(m, BIO_meth_get_read(sock));
        BIO_meth_set_puts(m, BIO_meth_get_puts(sock));
        BIO_meth_set_ctrl(m, BIO_meth_get_ctrl(sock));
        BIO_meth_set_create(m, BIO_meth_get_create(sock));
        BIO_meth_set_destroy(m, BIO_meth_get_destroy(sock));
        return m;
    }();
    return method;
}

/* The text of the last TLS failure: the system's for a failed call, else OpenSSL's. */
const char *tlsFailureText(redisContext *c, int sslError, int sysErrno, char *buf, size_t size)
{
    unsigned long e = ERR_peek_last_error();
    if (e) {
        ERR_error_string_n(e, buf, size);
        return buf;
    }
    if (sslError == SSL_ERROR_SYSCALL && sysErrno) {
        c->saved_errno = sysErrno;
        return strerror_r(sysErrno, buf, size);
    }
    return "unknown error";
}

/* Shared tail of TLS read and write after a result <= 0 (0 handled by callers). */
ssize_t tlsFailure(redisContext *c, SSL *ssl, int n)
{
    int sysErrno = errno;
    int e = SSL_get_error(ssl, n);
    bool want = e == SSL_ERROR_WANT_READ || e == SSL_ERROR_WANT_WRITE;
    if (!(c->flags & REDIS_BLOCK)) {
        if (want)
            return 0;
    } else if (want || e == SSL_ERROR_SYSCALL) {
        if (sysErrno == EINTR)
            return 0;
        if (sysErrno == EAGAIN || sysErrno == EWOULDBLOCK) {
            c->saved_errno = sysErrno;
            redisSetError(c, REDIS_ERR_IO, "Resource temporarily unavailable");
            return -1;
        }
    }
    char buf[128];
    redisSetError(c, REDIS_ERR_IO, tlsFailureText(c, e, sysErrno, buf, sizeof buf));
    return -1;
}

ssize_t tlsRead(redisContext *c, char *buf, size_t cap)
{
    SSL *ssl = static_cast<SSL *>(c->privctx);
    ERR_clear_error();
    errno = 0;
    int n = SSL_read(ssl, buf, cap > INT_MAX ? INT_MAX : int(cap));
    if (n > 0)
        return n;
    if (n == 0) {
        redisSetError(c, REDIS_ERR_EOF, "Server closed the connection");
        return -1;
    }
    return tlsFailure(c, ssl, n);
}

ssize_t tlsWrite(redisContext *c)
{
    SSL *ssl = static_cast<SSL *>(c->privctx);
    size_t len = c->obuf.len - c->obuf.pos;
    ERR_clear_error();
    errno = 0;
    int n = SSL_write(ssl, c->obuf.data + c->obuf.pos, len > INT_MAX ? INT_MAX : int(len));
    if (n > 0)
        return n;
    return tlsFailure(c, ssl, n);
}

void tlsClose(redisContext *c)
{
    /* Never SSL_shutdown: a forked child must not end its parent's session. */
    if (c->fd >= 0)
        close(c->fd);
    c->fd = -1;
}

void tlsFree(void *privctx) { SSL_free(static_cast<SSL *>(privctx)); }

} // namespace

redisContextFuncs redisContextSSLFuncs = {tlsClose, tlsFree, tlsRead, tlsWrite};

bool redisInputPending(redisContext *c)
{
    if (c->privctx && SSL_pending(static_cast<SSL *>(c->privctx)) > 0)
        return true;
    char byte;
    ssize_t n = recv(c->fd, &byte, 1, MSG_PEEK | MSG_DONTWAIT);
    return !(n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK));
}

int redisInitiateSSL(redisContext *c, struct ssl_st *ssl)
{
    if (c->privctx) {
        redisSetError(c, REDIS_ERR_OTHER, "redisContext was already associated");
        return REDIS_ERR;
    }
    const BIO_METHOD *method = noSignalSocketMethod();
    BIO *bio = method ? BIO_new(method) : nullptr;
    if (!bio) {
        redisSetError(c, REDIS_ERR_OOM, "Out of memory");
        return REDIS_ERR;
    }
    BIO_set_fd(bio, c->fd, BIO_NOCLOSE);
    SSL_set_bio(ssl, bio, bio); /* the SSL object owns the BIO from here */
    SSL_set_mode(ssl, SSL_MODE_ENABLE_PARTIAL_WRITE | SSL_MODE_ACCEPT_MOVING_WRITE_BUFFER);
    ERR_clear_error();
    errno = 0;
    int rc = SSL_connect(ssl);
    if (rc == 1) {
        c->privctx = ssl;
        c->funcs = &redisContextSSLFuncs;
        return REDIS_OK;
    }
    int sysErrno = errno;
    char text[128], msg[160];
    snprintf(msg, sizeof msg, "SSL_connect failed: %s",
             tlsFailureText(c, SSL_get_error(ssl, rc), sysErrno, text, sizeof text));
    redisSetError(c, REDIS_ERR_IO, msg);
    return REDIS_ERR;
}

const char *redisSSLContextGetError(int code)
{
    switch (code) {
    case REDIS_SSL_CTX_NONE:
        return "No Error";
    case REDIS_SSL_CTX_CREATE_FAILED:
        return "Failed to create OpenSSL SSL_CTX";
    case REDIS_SSL_CTX_CA_CERT_LOAD_FAILED:
        return "Failed to load CA Certificate or CA Path";
    case REDIS_SSL_CTX_CLIENT_CERT_LOAD_FAILED:
        return "Failed to load client certificate";
    case REDIS_SSL_CTX_PRIVATE_KEY_LOAD_FAILED:
        return "Failed to load private key";
    case REDIS_SSL_CTX_OS_CERT_ADD_FAILED:
        return "Failed to add CA certificates obtained from system to the SSL context";
    default:
        return "Unknown error code";
    }
}
