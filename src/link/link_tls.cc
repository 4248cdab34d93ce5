/*
 * TLS of links: the module's OpenSSL client context and the hand-over of a
 * connected socket to TLS, with the certificate's name checked against the
 * host the caller asked for.
 */
#include "link/link.h"

#include "runtime/fatal.h"
#include "runtime/log.h"

#include <arpa/inet.h>
#include <openssl/ssl.h>
#include <openssl/x509v3.h>

#include <cstdio>
#include <cstring>

namespace {

/* Own TLS failures carry this context error code. */
constexpr uint32_t tlsOwnError = REDIS_ERR_OTHER;

void linkTlsError(kelvoLink *link, const char *format, const char *name = "")
{
    link->err = tlsOwnError;
    snprintf(link->errstr, sizeof link->errstr, format, name);
}

const char *orNull(const zend_string *s) { return s ? ZSTR_VAL(s) : nullptr; }

/* CA certificates: the directory and/or file given, else the system's. 0 or a REDIS_SSL_CTX_* code. */
uint32_t loadCaCertificates(SSL_CTX *ctx, const redisInfoTls &tls)
{
    if (tls.capath || tls.cafile)
        return SSL_CTX_load_verify_locations(ctx, orNull(tls.cafile), orNull(tls.capath)) == 1
                   ? 0
                   : REDIS_SSL_CTX_CA_CERT_LOAD_FAILED;
    return SSL_CTX_set_default_verify_paths(ctx) == 1 ? 0 : REDIS_SSL_CTX_OS_CERT_ADD_FAILED;
}

uint32_t loadClientCertificate(SSL_CTX *ctx, const redisInfoTls &tls)
{
    if (!tls.localCert)
        return 0;
    if (SSL_CTX_use_certificate_chain_file(ctx, ZSTR_VAL(tls.localCert)) != 1)
        return REDIS_SSL_CTX_CLIENT_CERT_LOAD_FAILED;
    if (!tls.localPk || SSL_CTX_use_PrivateKey_file(ctx, ZSTR_VAL(tls.localPk), SSL_FILETYPE_PEM) != 1)
        return REDIS_SSL_CTX_PRIVATE_KEY_LOAD_FAILED;
    return 0;
}

/* The name the certificate must carry: peerName, else the host of a TCP link; null: nothing to check. */
const char *expectedPeerName(const redisInfo *info)
{
    if (!(info->tls.verify & KELVO_TLS_VERIFY_PEER_NAME))
        return nullptr;
    if (info->tls.peerName && ZSTR_LEN(info->tls.peerName))
        return ZSTR_VAL(info->tls.peerName);
    /* A socket path is no host name; only a configured name can be checked there. */
    if (info->type != REDIS_CONN_TCP || !info->host)
        return nullptr;
    return ZSTR_VAL(info->host);
}

bool isAddressLiteral(const char *name)
{
    unsigned char buf[sizeof(struct in6_addr)];
    return inet_pton(AF_INET, name, buf) == 1 || inet_pton(AF_INET6, name, buf) == 1;
}

/* True when the peer's certificate is for `name` (a DNS name or an address literal). */
bool certificateNames(SSL *ssl, const char *name)
{
    X509 *peer = SSL_get0_peer_certificate(ssl);
    if (!peer)
        return false;
    if (isAddressLiteral(name))
        return X509_check_ip_asc(peer, name, 0) == 1;
    return X509_check_host(peer, name, strlen(name), X509_CHECK_FLAG_NO_PARTIAL_WILDCARDS, nullptr) == 1;
}

} // namespace

ssl_ctx_st *kelvoTlsContextNew(const redisInfo *info, uint32_t *sslErr)
{
    SSL_CTX *ctx = SSL_CTX_new(TLS_client_method());
    if (!ctx) {
        *sslErr = REDIS_SSL_CTX_CREATE_FAILED;
        return nullptr;
    }
    SSL_CTX_set_options(ctx, SSL_OP_NO_SSLv3);
    SSL_CTX_set_verify(ctx, (info->tls.verify & KELVO_TLS_VERIFY_PEER) ? SSL_VERIFY_PEER : SSL_VERIFY_NONE, nullptr);
    uint32_t code = loadCaCertificates(ctx, info->tls);
    if (!code)
        code = loadClientCertificate(ctx, info->tls);
    if (code) {
        SSL_CTX_free(ctx);
        *sslErr = code;
        return nullptr;
    }
    return ctx;
}

int kelvoNegotiateTLS(const redisInfo *info, ssl_ctx_st *sslCtx, redisContext *c, kelvoLink *link)
{
    kelvoAssert(sslCtx != NULL && c != NULL && link != NULL);
    SSL *ssl = SSL_new(sslCtx);
    if (!ssl) {
        kelvoLogWarning("%s:%d Failed to create new SSL instance", KELVO_LOG_SITE);
        linkTlsError(link, "Couldn't create SSL instance");
        return -1;
    }
    const zend_string *sni = info->tls.peerName;
    if (sni && !SSL_set_tlsext_host_name(ssl, ZSTR_VAL(sni))) {
        kelvoLogWarning("%s:%d Failed to set peer_name to '%s'", KELVO_LOG_SITE, ZSTR_VAL(sni));
        linkTlsError(link, "Failed to set peer_name/SNI");
        SSL_free(ssl);
        return -1;
    }
    if (redisInitiateSSL(c, ssl) != REDIS_OK) {
        kelvoLogWarning("%s:%d Failure in redisInitiateSSL", KELVO_LOG_SITE);
        kelvoLinkErrorSet(link, c);
        SSL_free(ssl);
        return -1;
    }
    /* The context owns the SSL object from here; its caller frees both on failure. */
    const char *name = expectedPeerName(info);
    if (name && !certificateNames(ssl, name)) {
        linkTlsError(link, "Peer certificate does not match '%.80s'", name);
        return -1;
    }
    return 0;
}
