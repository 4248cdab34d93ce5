/*
 * Links: connect and reconnect, the server identity, the handshake pipeline,
 * database selection and the byte-counting socket functions.
 */
#include "link/link.h"
#include "link/pool.h"

#include "runtime/exception.h"
#include "runtime/fatal.h"
#include "runtime/log.h"
#include "wire/reply.h"
#include "shm/shared.h"

#include <openssl/ssl.h>
#include <xxhash.h>

extern "C" {
#include "ext/random/php_random.h"
}

#include <cerrno>
#include <cinttypes>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <initializer_list>
#include <string>
#include <strings.h>
#include <unistd.h>

namespace {

constexpr char interruptedConnect[] = "poll(2): Interrupted system call";

void linkSetError(kelvoLink *link, uint32_t code, const char *text)
{
    link->err = code;
    size_t n = strnlen(text, sizeof link->errstr - 1);
    memcpy(link->errstr, text, n);
    link->errstr[n] = '\0';
}

/* The shared hash seed; 0 while there is no shared root (the cache is off). */
uint64_t identitySeed() { return kelvoSharedData ? kelvoSharedData->cache.seed : 0; }

const char *userOrDefault(const zend_string *user, bool emptyIsDefault)
{
    if (!user || (emptyIsDefault && !ZSTR_LEN(user)))
        return "default";
    return ZSTR_VAL(user);
}

/* Interrupted connects are retried; none of them may stretch the caller's timeout. */
struct ConnectDeadline {
    explicit ConnectDeadline(const timeval &timeout) : bounded(timerisset(&timeout))
    {
        clock_gettime(CLOCK_MONOTONIC, &at);
        at.tv_sec += timeout.tv_sec;
        at.tv_nsec += timeout.tv_usec * 1000L;
        if (at.tv_nsec >= 1000000000L) {
            at.tv_sec += 1;
            at.tv_nsec -= 1000000000L;
        }
    }
    /* Time left, or false when the deadline has passed. */
    bool left(timeval *out) const
    {
        timespec now;
        clock_gettime(CLOCK_MONOTONIC, &now);
        int64_t us = (int64_t(at.tv_sec) - now.tv_sec) * 1000000 + (at.tv_nsec - now.tv_nsec) / 1000;
        if (us <= 0)
            return false;
        out->tv_sec = us / 1000000;
        out->tv_usec = us % 1000000;
        return true;
    }
    bool bounded;
    timespec at;
};

/* One context from `info`, retried while a signal interrupts the wait. Null with link->err set, or on OOM. */
redisContext *linkOpen(kelvoLink *link, const redisInfo *info)
{
    ConnectDeadline deadline(info->connectTimeout);
    const bool unixSocket = info->type == REDIS_CONN_UNIX;
    for (;;) {
        redisOptions options{};
        timeval connectLeft;
        options.type = info->type;
        if (deadline.bounded) {
            if (!deadline.left(&connectLeft)) {
                linkSetError(link, REDIS_ERR_IO, "Connection timed out");
                return nullptr;
            }
            options.connect_timeout = &connectLeft;
        }
        if (timerisset(&info->readTimeout))
            options.command_timeout = &info->readTimeout;
        if (unixSocket) {
            options.endpoint.unix_socket = ZSTR_VAL(info->host);
        } else {
            /* The resolved address is what the identity names. */
            options.endpoint.tcp.ip = info->addr[0] ? info->addr : ZSTR_VAL(info->host);
            options.endpoint.tcp.port = info->port;
        }
        link->err = 0;
        link->errstr[0] = '\0';
        redisContext *c = redisConnectWithOptions(&options);
        if (c && !c->err && c->connect_timeout)
            *c->connect_timeout = info->connectTimeout; /* reconnects get the whole timeout again */
        if (!c || !c->err)
            return c;
        kelvoLinkErrorSet(link, c);
        if (unixSocket && c->saved_errno == ENOENT) {
            char text[256];
            snprintf(text, sizeof text, "No such file or directory '%s'", ZSTR_VAL(info->host));
            linkSetError(link, c->err, text);
        }
        bool interrupted = strncasecmp(c->errstr, interruptedConnect, sizeof interruptedConnect - 1) == 0;
        redisFree(c);
        if (!interrupted)
            return nullptr;
    }
}

/* Until invalidation delivery takes pushes, they are dropped rather than read as replies. */
void linkDropPush(void *privdata, void *reply) { kelvoReplyFree(reply); }

/* Copies a reply string into a fixed field, cut to fit. */
template <size_t N>
void copyField(char (&field)[N], const kelvoReply *value)
{
    const zend_string *s = kelvoReplyZStr(value);
    size_t n = ZSTR_LEN(s) < N - 1 ? ZSTR_LEN(s) : N - 1;
    memcpy(field, ZSTR_VAL(s), n);
    field[n] = '\0';
}

bool isStringNode(const kelvoReply *r) { return r->type == KELVO_REPLY_STRING || r->type == KELVO_REPLY_STATUS; }

bool keyIs(const kelvoReply *key, const char *name)
{
    return zend_string_equals_cstr(kelvoReplyZStr(key), name, strlen(name));
}

/* Drawn once per process image; a forked child keeps it, as it keeps the pools it keys. */
uint64_t secretsSeed()
{
    static uint64_t seed;
    static bool drawn;
    if (!drawn) {
        drawn = php_random_bytes_silent(&seed, sizeof seed) == SUCCESS;
    }
    return seed;
}

/*
 * The password and every TLS setting, each length-prefixed so that no two settings run into one
 * another, hashed with a seed drawn at start-up: the identity tells them apart without naming them.
 */
uint64_t secretsHash(const redisInfo *info)
{
    std::string bytes;
    auto add = [&bytes](const zend_string *s) {
        uint64_t length = s ? ZSTR_LEN(s) + 1 : 0;
        bytes.append(reinterpret_cast<const char *>(&length), sizeof length);
        if (s)
            bytes.append(ZSTR_VAL(s), ZSTR_LEN(s));
    };
    add(info->pass);
    bytes += char(info->tls.enabled);
    bytes += char(info->tls.verify);
    for (const zend_string *s :
         {info->tls.localCert, info->tls.localPk, info->tls.cafile, info->tls.capath, info->tls.peerName})
        add(s);
    return XXH3_64bits_withSeed(bytes.data(), bytes.size(), secretsSeed());
}

/* What the module keeps of the HELLO map. */
void linkHelloReply(kelvoLink *link, const kelvoReply *map)
{
    if (map->elements % 2)
        return;
    link->server[0] = link->version[0] = link->az[0] = '\0';
    link->hello = 0;
    for (uint64_t i = 0; i < map->elements; i += 2) {
        const kelvoReply *key = map->v.element[i], *value = map->v.element[i + 1];
        if (!isStringNode(key) || !isStringNode(value))
            continue;
        if (keyIs(key, "server"))
            copyField(link->server, value);
        else if (keyIs(key, "version"))
            copyField(link->version, value);
        else if (keyIs(key, "availability_zone"))
            copyField(link->az, value);
        else if (keyIs(key, "dragonfly_version"))
            snprintf(link->server, sizeof link->server, "%s", "dragonfly");
    }
    link->hello = 1;
}

/*
 * "<name>@<user>:<pid>" with every byte a server refuses in a client name
 * (anything outside '!' to '~') written as %XX, so any ACL user can connect.
 */
std::string clientName(const char *name, const char *user, pid_t pid)
{
    std::string out = name;
    out += '@';
    for (const unsigned char *p = reinterpret_cast<const unsigned char *>(user); *p; ++p) {
        if (*p >= '!' && *p <= '~') {
            out += char(*p);
            continue;
        }
        char hex[4];
        snprintf(hex, sizeof hex, "%%%02X", *p);
        out += hex;
    }
    out += ':';
    out += std::to_string(pid);
    return out;
}

/* The handshake's commands and the reply type each must have (0: not checked). */
struct HelloStep {
    uint32_t expected;
    bool isHello;
};

} // namespace

int redisInfoGetUri(const redisInfo *info, char *buf, size_t size)
{
    const char *user = userOrDefault(info->user, false);
    int cache = (info->flags & kelvoOptUseCache) ? 1 : 0;
    int tracking = (info->flags & kelvoOptClientTracking) ? 1 : 0;
    const char *host = info->host ? ZSTR_VAL(info->host) : "";
    char secret[32] = "";
    if (info->flags & kelvoOptKeyedBySecrets)
        snprintf(secret, sizeof secret, "&secret=%016" PRIx64, secretsHash(info));
    if (info->type == REDIS_CONN_UNIX)
        return snprintf(buf, size, "unix://%s@%s?cache=%d&tracking=%d%s", user, host, cache, tracking, secret);
    return snprintf(buf, size, "%s://%s@%s:%d?cache=%d&tracking=%d%s", info->tls.enabled ? "tls" : "tcp", user,
                    info->addr[0] ? info->addr : host, info->port, cache, tracking, secret);
}

zend_string *redisInfoGetUriZStr(const redisInfo *info)
{
    char buf[kelvoIdentityMax];
    int n = redisInfoGetUri(info, buf, sizeof buf);
    if (n < int(sizeof buf))
        return zend_string_init(buf, n, 0);
    zend_string *s = zend_string_alloc(n, 0);
    redisInfoGetUri(info, ZSTR_VAL(s), size_t(n) + 1);
    return s;
}

uint64_t kelvoLinkSecretsHash(const redisInfo *info) { return secretsHash(info); }

uint64_t kelvoLinkIdentityHash(const char *key, size_t length, uint64_t seed)
{
    return XXH3_64bits_withSeed(key, length, seed);
}

void kelvoRedisInfoRelease(redisInfo *info)
{
    if (info->host && (info->type == REDIS_CONN_TCP || info->type == REDIS_CONN_UNIX))
        zend_string_release(info->host);
    zend_string **strings[] = {&info->user,       &info->pass,       &info->tls.localCert, &info->tls.localPk,
                               &info->tls.cafile, &info->tls.capath, &info->tls.peerName};
    for (zend_string **s : strings)
        if (*s)
            zend_string_release(*s);
    memset(info, 0, sizeof *info);
    info->type = -1;
}

void kelvoLinkErrorSet(kelvoLink *link, const redisContext *source)
{
    linkSetError(link, uint32_t(source->err), source->errstr);
}

void kelvoSetRedisErrorFromErrno(redisContext *c)
{
    c->saved_errno = errno;
    redisSetError(c, REDIS_ERR_IO, nullptr);
}

void kelvoEnableKeepAlive(const redisInfo *info, redisContext *c)
{
    if (info->type != REDIS_CONN_TCP)
        return;
    if (redisEnableKeepAlive(c) != REDIS_OK)
        kelvoLogNotice("%s:%d Failed to enable TCP_KEEPALIVE for '%s:%d'", KELVO_LOG_SITE, ZSTR_VAL(info->host),
                       info->port);
}

int kelvoLinkConnect(kelvoLink *link, redisInfo *info, pid_t pid)
{
    kelvoAssert(link != NULL && info != NULL && (info->type == REDIS_CONN_TCP || info->type == REDIS_CONN_UNIX));
    if (link->key)
        zend_string_release(link->key);
    memset(link, 0, sizeof *link);

    if (info->persistent && kelvoPLinkGet(link, info, pid) == 0)
        return 0;
    char key[kelvoIdentityMax];
    int keyLength = redisInfoGetUri(info, key, sizeof key);
    if (keyLength < 0 || keyLength >= int(sizeof key)) {
        linkSetError(link, REDIS_ERR_OTHER, "Server identity is too long");
        return -1;
    }
    SSL_CTX *sslCtx = nullptr;
    if (info->tls.enabled && !(sslCtx = kelvoTlsContextNew(info, &link->sslErr)))
        return -1;

    redisContext *c = linkOpen(link, info);
    if (!c) {
        SSL_CTX_free(sslCtx);
        return -1;
    }
    kelvoRedisContextUseKelvoReply(c);
    c->funcs->read = kelvoNetRead;
    c->funcs->write = kelvoNetWrite;
    redisSetPushCallback(c, linkDropPush);
    kelvoEnableKeepAlive(info, c);
    if (sslCtx && kelvoNegotiateTLS(info, sslCtx, c, link) != 0) {
        redisFree(c);
        SSL_CTX_free(sslCtx);
        return -1;
    }
    link->key = zend_string_init(key, size_t(keyLength), 0);
    link->id = kelvoLinkIdentityHash(key, size_t(keyLength), identitySeed());
    link->ctx = c;
    link->serial = kelvoLinkNextSerial();
    link->sslCtx = sslCtx;
    link->state = KELVO_LINK_CONNECTED;
    link->persistent = info->persistent;
    link->secrets = secretsHash(info);
    link->homeDb = info->db;
    link->pid = pid;
    return 0;
}

uint64_t kelvoLinkNextSerial()
{
    static uint64_t last = 0;
    return ++last;
}

int kelvoLinkConnectIfNeeded(kelvoLink *link, redisInfo *info, pid_t pid)
{
    if (link->state == KELVO_LINK_NONE)
        return kelvoLinkConnect(link, info, pid);
    kelvoAssert(link->ctx != NULL && link->ctx->err == 0);
    return 0;
}

int kelvoLinkReconnect(kelvoLink *link, redisInfo *info)
{
    kelvoAssert(link->ctx != NULL);
    redisContext *c = link->ctx;
    if (redisReconnect(c) != REDIS_OK) {
        kelvoLogNotice("%s:%d Reconnect: FAILED(CONN) on db %d", KELVO_LOG_SITE, int(link->db));
        return -1;
    }
    kelvoRedisContextUseKelvoReply(c);
    kelvoEnableKeepAlive(info, c);
    if (link->sslCtx && kelvoNegotiateTLS(info, link->sslCtx, c, link) != 0) {
        kelvoLogNotice("%s:%d Reconnect: FAILED(TLS) on db %d", KELVO_LOG_SITE, int(link->db));
        return -1;
    }
    if (kelvoLogLevelEnabled(KELVO_LL_DEBUG)) {
        char key[256];
        redisInfoGetUri(info, key, sizeof key);
        kelvoLogDebug("%s:%d RECONNECT -  SUCCESS '%s' db: %d", KELVO_LOG_SITE, key, int(info->db));
    }
    link->db = 0;
    link->state = KELVO_LINK_CONNECTED;
    link->serial = kelvoLinkNextSerial();
    return 0;
}

namespace {

/* The handshake's steps, appended to the link's output; false when appending failed. */
bool appendHello(kelvoLink *link, const redisInfo *info, uint32_t optionFlags, const char *name, HelloStep *steps,
                 int *count, bool *tracking)
{
    redisContext *c = link->ctx;
    const char *user = userOrDefault(info->user, true);
    const char *pass = info->pass ? ZSTR_VAL(info->pass) : "";
    *tracking = (optionFlags & kelvoOptClientTracking) && link->rdb;
    std::string setname = clientName(name, user, link->pid);
    *count = 0;
    bool appended = redisAppendCommand(c, "HELLO %d AUTH %s %s SETNAME %s", 3, user, pass, setname.c_str()) == REDIS_OK;
    steps[(*count)++] = {KELVO_REPLY_MAP, true};
    appended = appended && redisAppendCommand(c, "CLIENT SETINFO LIB-NAME %s", kelvoLibName) == REDIS_OK;
    steps[(*count)++] = {0, false};
    appended = appended && redisAppendCommand(c, "CLIENT SETINFO LIB-VER %s", kelvoLibVersion) == REDIS_OK;
    steps[(*count)++] = {0, false};
    if (appended && *tracking) {
        appended = redisAppendCommand(c, "CLIENT TRACKING ON") == REDIS_OK;
        steps[(*count)++] = {KELVO_REPLY_STATUS, false};
    }
    if (appended && (optionFlags & kelvoOptCapaRedirect)) {
        appended = redisAppendCommand(c, "CLIENT CAPA %s", "redirect") == REDIS_OK;
        steps[(*count)++] = {0, false};
    }
    return appended;
}

/* Reads the handshake's replies (writing what is queued first): 0, or -1 after `onError`. */
int readHello(kelvoLink *link, const HelloStep *steps, int count, bool tracking, void *target,
              kelvoHelloErrorFn onError)
{
    bool failed = false;
    for (int i = 0; i < count; ++i) {
        void *raw = nullptr;
        if (redisGetReply(link->ctx, &raw) != REDIS_OK) {
            onError(target, nullptr);
            return -1;
        }
        kelvoReply *reply = static_cast<kelvoReply *>(raw);
        if (!failed && steps[i].expected && reply->type != steps[i].expected) {
            onError(target, reply);
            failed = true;
        } else if (!failed && steps[i].isHello) {
            linkHelloReply(link, reply);
        }
        kelvoReplyFree(reply);
    }
    link->tracking = !failed && tracking;
    return failed ? -1 : 0;
}

} // namespace

int kelvoLinkHello(kelvoLink *link, const redisInfo *info, uint32_t optionFlags, const char *name, void *target,
                   kelvoHelloErrorFn onError)
{
    kelvoAssert(info != NULL && link != NULL && link->ctx != NULL && link->ctx->err == 0);
    HelloStep steps[5];
    int count;
    bool tracking;
    if (!appendHello(link, info, optionFlags, name, steps, &count, &tracking)) {
        onError(target, nullptr);
        return -1;
    }
    return readHello(link, steps, count, tracking, target, onError);
}

int kelvoLinkHelloWithRequest(kelvoLink *link, const redisInfo *info, uint32_t optionFlags, const char *name,
                              void *target, kelvoHelloErrorFn onError, const char *request, size_t length,
                              kelvoReply **out)
{
    kelvoAssert(info != NULL && link != NULL && link->ctx != NULL && link->ctx->err == 0 && out != NULL);
    *out = nullptr;
    HelloStep steps[5];
    int count;
    bool tracking;
    if (!appendHello(link, info, optionFlags, name, steps, &count, &tracking) ||
        redisAppendFormattedCommand(link->ctx, request, length) != REDIS_OK) {
        onError(target, nullptr);
        return -1;
    }
    if (readHello(link, steps, count, tracking, target, onError) != 0)
        return -1;
    void *raw = nullptr;
    if (redisGetReply(link->ctx, &raw) != REDIS_OK) {
        kelvoLinkErrorSet(link, link->ctx);
        return -2;
    }
    *out = static_cast<kelvoReply *>(raw);
    return 0;
}

int kelvoSelectDB(kelvoLink *link, redisInfo *info, uint32_t db, zend_string **lastError, uint32_t optionFlags)
{
    kelvoAssert(link->ctx != NULL);
    kelvoReply *reply = static_cast<kelvoReply *>(redisCommand(link->ctx, "SELECT %u", db));
    if (!reply) {
        kelvoLinkErrorSet(link, link->ctx);
        return 2;
    }
    int result = 2;
    if (reply->type == KELVO_REPLY_STATUS) {
        link->db = db;
        result = 0;
    } else if (reply->type == KELVO_REPLY_ERROR) {
        const zend_string *text = kelvoReplyZStr(reply);
        static constexpr char invalidDb[] = "ERR invalid DB";
        if (ZSTR_LEN(text) > sizeof invalidDb - 1 && memcmp(ZSTR_VAL(text), invalidDb, sizeof invalidDb - 1) == 0) {
            linkSetError(link, REDIS_ERR_OTHER, ZSTR_VAL(text));
        } else {
            /* The object stays on the database it has, and the caller learns why. */
            info->db = link->db;
            kelvoHandleErrorText(lastError, optionFlags, ZSTR_VAL(text), ZSTR_LEN(text));
            result = 1;
        }
    }
    kelvoReplyFree(reply);
    return result;
}

void kelvoLinkFree(kelvoLink *link)
{
    kelvoAssert(link != NULL);
    /* An attachment inherited across a fork is the parent's to give back. */
    if (link->rdb && link->pid == getpid()) {
        kelvoAssert(link->ep != NULL);
        kelvoLinkCache.releaseAttachment(link->ep, link->rdb, link->lease);
    }
    if (link->ctx)
        kelvoPLinkForget(link->ctx);
    if (link->key)
        zend_string_release(link->key);
    redisFree(link->ctx);
    SSL_CTX_free(link->sslCtx);
    memset(link, 0, sizeof *link);
}

kelvoLinkByteHooks kelvoLinkBytes = {nullptr, nullptr};

ssize_t kelvoNetRead(redisContext *c, char *buf, size_t cap)
{
    ssize_t n = redisNetRead(c, buf, cap);
    if (n > 0 && c->privdata && kelvoLinkBytes.received)
        kelvoLinkBytes.received(c->privdata, uint64_t(n));
    return n;
}

ssize_t kelvoNetWrite(redisContext *c)
{
    ssize_t n = redisNetWrite(c);
    if (n > 0 && c->privdata && kelvoLinkBytes.sent)
        kelvoLinkBytes.sent(c->privdata, uint64_t(n));
    return n;
}
