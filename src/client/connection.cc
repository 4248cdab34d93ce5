/*
 * Connection settings, constructors, connect/pconnect/auth/close, the link's readying and the
 * connection getters.
 */
#include "client/connection.h"
#include "client/adaptive.h"

#include "cache/attach.h"
#include "cache/cache.h"
#include "cache/cms.h"
#include "cache/invalidation.h"
#include "cache/keylease.h"
#include "cache/keys.h"
#include "client/listeners.h"
#include "client/pubsub.h"
#include "link/backoff.h"
#include "shm/epoch.h"
#include "runtime/exception.h"
#include "shm/shared.h"
#include "runtime/fatal.h"
#include "runtime/kelvo.h"
#include "runtime/log.h"
#include "wire/reply.h"

#include <arpa/inet.h>
#include <netdb.h>
#include <netinet/in.h>
#include <pthread.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cmath>
#include <cstring>
#include <ctime>
#include <initializer_list>

extern "C" {
#include "Zend/zend_exceptions.h"
#include "Zend/zend_smart_str.h"
}

namespace {

uint64_t nowMicros()
{
    struct timespec ts;
    clock_gettime(CLOCK_REALTIME, &ts);
    return uint64_t(ts.tv_sec) * 1000000u + uint64_t(ts.tv_nsec) / 1000u;
}

/* The links of a forked child must not be those of its parent. The id is asked of the kernel
 * once per process (a system call on every command costs a pipeline most of its time); a
 * child learns its own at the fork. */
pid_t cachedPid;
void forgetPid() { cachedPid = 0; }
[[maybe_unused]] const int pidForgottenAtFork = pthread_atfork(nullptr, nullptr, forgetPid);

pid_t currentPid()
{
    if (cachedPid == 0)
        cachedPid = getpid();
    return cachedPid;
}

bool startsWithCi(const char *text, size_t length, const char *prefix)
{
    size_t n = strlen(prefix);
    return length >= n && strncasecmp(text, prefix, n) == 0;
}

bool schemeIs(const php_url *url, const char *scheme)
{
    return url->scheme && strcasecmp(ZSTR_VAL(url->scheme), scheme) == 0;
}

/* An element of a context array by name, or by the integer of its OPT_* constant. */
zval *contextFind(HashTable *context, const char *name, zend_long id = -1)
{
    zval *value = zend_hash_str_find(context, name, strlen(name));
    if (!value && id >= 0) {
        value = zend_hash_index_find(context, zend_ulong(id));
    }
    if (!value) {
        return nullptr;
    }
    ZVAL_DEREF(value);
    return value;
}

zend_string *assignString(zend_string **slot, zval *value)
{
    if (*slot) {
        zend_string_release(*slot);
    }
    *slot = value ? zval_get_string(value) : nullptr;
    return *slot;
}

/* TLS on, with the keys of the context's "stream" array (or of the context itself). */
int initTls(redisInfo *info, HashTable *context, const char **error)
{
    info->tls.enabled = 1;
    info->tls.verify = KELVO_TLS_VERIFY_PEER | KELVO_TLS_VERIFY_PEER_NAME;
    if (!context) {
        return 0;
    }
    HashTable *keys = context;
    if (zval *stream = contextFind(context, "stream")) {
        if (Z_TYPE_P(stream) != IS_ARRAY) {
            php_error_docref(nullptr, E_WARNING, "stream options must be an array");
            return 0;
        }
        keys = Z_ARRVAL_P(stream);
    }
    zval *verifyPeer = contextFind(keys, "verify_peer");
    if (verifyPeer && !zend_is_true(verifyPeer)) {
        info->tls.verify &= uint8_t(~KELVO_TLS_VERIFY_PEER);
    }
    zval *verifyPeerName = contextFind(keys, "verify_peer_name");
    if (verifyPeerName && !zend_is_true(verifyPeerName)) {
        info->tls.verify &= uint8_t(~KELVO_TLS_VERIFY_PEER_NAME);
    }
    zval *cert = contextFind(keys, "local_cert");
    zval *pk = contextFind(keys, "local_pk");
    if (cert || pk) {
        bool usable = cert && pk && Z_TYPE_P(cert) != IS_ARRAY && Z_TYPE_P(pk) != IS_ARRAY;
        if (usable) {
            usable = ZSTR_LEN(assignString(&info->tls.localCert, cert)) > 0 &&
                     ZSTR_LEN(assignString(&info->tls.localPk, pk)) > 0;
        }
        if (!usable) {
            php_error_docref(nullptr, E_WARNING, "Must pass local_cert and local_pk together");
            *error = "Failed to initialize TLS";
            return -1;
        }
    }
    if (zval *cafile = contextFind(keys, "cafile")) {
        assignString(&info->tls.cafile, cafile);
    }
    if (zval *peerName = contextFind(keys, "peer_name")) {
        assignString(&info->tls.peerName, peerName);
    }
    return 0;
}

/* Resolves `name` to the first IPv4 or IPv6 address it has; false when there is none. */
bool resolveHost(redisInfo *info, const char *name)
{
    struct addrinfo hints = {};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    struct addrinfo *addresses = nullptr;
    int rc = getaddrinfo(name, nullptr, &hints, &addresses);
    if (rc != 0 || !addresses) {
        kelvoLogNotice("%s:%d Can't resolve host '%s' (%s)", KELVO_LOG_SITE, name, "none");
        return false;
    }
    bool found = false;
    for (struct addrinfo *a = addresses; a && !found; a = a->ai_next) {
        const void *raw = nullptr;
        if (a->ai_family == AF_INET) {
            raw = &reinterpret_cast<struct sockaddr_in *>(a->ai_addr)->sin_addr;
        } else if (a->ai_family == AF_INET6) {
            raw = &reinterpret_cast<struct sockaddr_in6 *>(a->ai_addr)->sin6_addr;
        } else {
            kelvoLogNotice("%s:%d Unknown sa_family %d", KELVO_LOG_SITE, a->ai_family);
            continue;
        }
        found = inet_ntop(a->ai_family, raw, info->addr, sizeof info->addr) != nullptr;
    }
    freeaddrinfo(addresses);
    if (!found) {
        info->addr[0] = '\0';
    }
    return found;
}

/* "[::1]" or "[::1]:6380" from a host text, without the brackets. */
zend_string *unbracket(zend_string *host)
{
    if (ZSTR_LEN(host) >= 2 && ZSTR_VAL(host)[0] == '[' && ZSTR_VAL(host)[ZSTR_LEN(host) - 1] == ']') {
        return zend_string_init(ZSTR_VAL(host) + 1, ZSTR_LEN(host) - 2, 0);
    }
    return zend_string_copy(host);
}

/* The text the URL parser sees: unix: paths become file: URLs, a bracketed IPv6 address a tcp:// URL. */
zend_string *urlText(zend_string *host)
{
    const char *text = ZSTR_VAL(host);
    size_t length = ZSTR_LEN(host);
    if (startsWithCi(text, length, "unix:")) {
        return zend_string_concat2("file:", 5, text + 5, length - 5);
    }
    if (length > 0 && text[0] == '[') {
        return zend_string_concat2("tcp://", 6, text, length);
    }
    return zend_string_copy(host);
}

void setTimeouts(redisInfo *info, double connectTimeout, double readTimeout, struct timeval keptReadTimeout)
{
    info->connectTimeout = kelvoDoubleToTimeval(connectTimeout);
    info->readTimeout = kelvoDoubleToTimeval(readTimeout);
    /* A read timeout set as an option before connecting stays unless this call names one. */
    if (!timerisset(&info->readTimeout)) {
        info->readTimeout = keptReadTimeout;
    }
}

/* Releases the information but hands back the read timeout an option may have set. */
struct timeval releaseInfoKeepTimeout(redisInfo *info)
{
    struct timeval kept = info->readTimeout;
    kelvoRedisInfoRelease(info);
    return kept;
}

/* Closes whatever link the object still holds (a pooled link goes back, any other is closed). */
void dropLink(robj *ro, int closing)
{
    if (ro->link.state != KELVO_LINK_NONE || ro->link.ctx) {
        kelvoLinkReleaseRObj(ro, closing);
    }
    memset(&ro->link, 0, sizeof ro->link);
}

} // namespace

int kelvoInitRedisInfo(redisInfo *info, bool persistent, kelvoOptionWord flags, zend_string *host, zend_long port,
                       php_url **url, HashTable *context, const char **error)
{
    *url = nullptr;
    if (port == -1 && ZSTR_LEN(host) > 0) {
        port = ZSTR_VAL(host)[0] == '/' ? -1 : 6379;
    }
    zend_string *text = urlText(host);
    php_url *parsed = php_url_parse_ex(ZSTR_VAL(text), ZSTR_LEN(text));
    zend_string_release(text);
    if (!parsed) {
        /* Not a URL: the text is a host the link resolves itself. */
        info->host = zend_string_copy(host);
        info->addr[0] = '\0';
        info->port = int32_t(port);
        info->type = REDIS_CONN_TCP;
        info->persistent = persistent;
        info->flags = flags;
        return 0;
    }
    bool network = schemeIs(parsed, "tcp") || schemeIs(parsed, "tls");
    if (!network && parsed->path && (strchr(ZSTR_VAL(parsed->path), '/') || schemeIs(parsed, "file"))) {
        info->host = zend_string_copy(parsed->path);
        info->port = 0;
        info->type = REDIS_CONN_UNIX;
    } else {
        /* tcp:// and tls:// name a host; any path on them is ignored, never taken as a socket. */
        zend_string *name = parsed->host ? parsed->host : (network ? nullptr : parsed->path);
        if (!name) {
            php_url_free(parsed);
            *error = "Failed to resolve host address";
            return -1;
        }
        zend_string *bare = unbracket(name);
        if (!resolveHost(info, ZSTR_VAL(bare))) {
            zend_string_release(bare);
            php_url_free(parsed);
            *error = "Failed to resolve host address";
            return -1;
        }
        info->host = bare;
        info->type = REDIS_CONN_TCP;
        info->port = int32_t(parsed->port ? zend_long(parsed->port) : port);
    }
    if (schemeIs(parsed, "tls") && initTls(info, context, error) != 0) {
        php_url_free(parsed);
        return -1;
    }
    info->persistent = persistent;
    info->flags = flags;
    *url = parsed;
    return 0;
}

void kelvoSetRedisAuthInfo(redisInfo *info, zend_string *user, zend_string *pass)
{
    if (info->user) {
        zend_string_release(info->user);
    }
    if (info->pass) {
        zend_string_release(info->pass);
    }
    info->user = user ? zend_string_copy(user) : nullptr;
    info->pass = pass ? zend_string_copy(pass) : nullptr;
}

int kelvoGetAuthInfoZVal(zend_string **user, zend_string **pass, zval *value)
{
    *user = *pass = nullptr;
    if (!value) {
        return -1;
    }
    ZVAL_DEREF(value);
    if (Z_TYPE_P(value) != IS_ARRAY) {
        *pass = zval_get_string(value);
        return 0;
    }
    HashTable *ht = Z_ARRVAL_P(value);
    auto element = [ht](const char *name, zend_ulong index) -> zval * {
        zval *v = zend_hash_str_find(ht, name, strlen(name));
        if (!v) {
            v = zend_hash_index_find(ht, index);
        }
        if (v) {
            ZVAL_DEREF(v);
        }
        return v && Z_TYPE_P(v) != IS_NULL && Z_TYPE_P(v) != IS_FALSE ? v : nullptr;
    };
    zval *userValue = nullptr, *passValue = nullptr;
    switch (zend_hash_num_elements(ht)) {
    case 1:
        passValue = element("pass", 0);
        break;
    case 2:
        userValue = element("user", 0);
        passValue = element("pass", 1);
        break;
    default:
        php_error_docref(nullptr, E_WARNING, "An auth array must have one or two elements");
        return -1;
    }
    if (!passValue) {
        return -1;
    }
    *user = userValue ? zval_get_string(userValue) : nullptr;
    *pass = zval_get_string(passValue);
    return 0;
}

int kelvoConnectOptionsFromHT(kelvoConnectOptions *dst, HashTable *src)
{
    kelvoAssert(dst != nullptr && src != nullptr);
    zend_string *key;
    zval *value;
    ZEND_HASH_FOREACH_STR_KEY_VAL(src, key, value)
    {
        if (!key) {
            continue;
        }
        ZVAL_DEREF(value);
        auto is = [key](const char *name) {
            return ZSTR_LEN(key) == strlen(name) && strcasecmp(ZSTR_VAL(key), name) == 0;
        };
        bool number = Z_TYPE_P(value) == IS_LONG || Z_TYPE_P(value) == IS_DOUBLE;
        if (is("host")) {
            if (Z_TYPE_P(value) != IS_STRING) {
                zend_value_error("Invalid host");
                return -1;
            }
            if (dst->host) {
                zend_string_release(dst->host);
            }
            dst->host = zend_string_copy(Z_STR_P(value));
        } else if (is("port")) {
            if (Z_TYPE_P(value) != IS_LONG || Z_LVAL_P(value) < 0 || Z_LVAL_P(value) > 65535) {
                zend_value_error("Port must be an integer between 0 - 65536");
                return -1;
            }
            dst->port = Z_LVAL_P(value);
        } else if (is("connectTimeout") || is("readTimeout")) {
            bool connect = is("connectTimeout");
            if (!number || !(zval_get_double(value) >= 0.0)) {
                zend_value_error(connect ? "Connection timeout must be a number >= 0.0"
                                         : "Read timeout must be a number >= 0.0");
                return -1;
            }
            (connect ? dst->connectTimeout : dst->readTimeout) = zval_get_double(value);
        } else if (is("retryInterval")) {
            if (!number || !(zval_get_double(value) >= 0.0) || !(zval_get_double(value) < 9.2e18)) {
                zend_value_error("Retry interval must be numeric and >= 0");
                return -1;
            }
            dst->retryInterval = Z_TYPE_P(value) == IS_LONG ? Z_LVAL_P(value) : zend_long(Z_DVAL_P(value));
        } else if (is("persistent")) {
            dst->persistent = value;
        } else if (is("auth")) {
            dst->auth = value;
        } else if (is("weight")) {
            if (Z_TYPE_P(value) != IS_LONG || Z_LVAL_P(value) < 1) {
                zend_value_error("Weight must be numeric and >= 1");
                return -1;
            }
            dst->weight = Z_LVAL_P(value);
        }
    }
    ZEND_HASH_FOREACH_END();
    return 0;
}

void kelvoConnectOptionsRelease(kelvoConnectOptions *opts)
{
    for (zend_string **s : {&opts->host, &opts->user, &opts->pass}) {
        if (*s) {
            zend_string_release(*s);
            *s = nullptr;
        }
    }
}

int kelvoSetContextOptions(robj *ro, HashTable *context)
{
    using Setter = int (*)(robj *, zval *);
    struct Key {
        const char *name;
        zend_long id;
        Setter set;
    };
    static const Key keys[] = {
        {"serializer", KELVO_OPT_SERIALIZER, kelvoSetSerializer},
        {"compression", KELVO_OPT_COMPRESSION, kelvoSetCompression},
        {"compression-level", KELVO_OPT_COMPRESSION_LEVEL, kelvoSetCompressionLevel},
        {"prefix", KELVO_OPT_PREFIX, kelvoSetPrefix},
        {"availability-zone", KELVO_OPT_AVAILABILITY_ZONE, kelvoSetAvailabilityZone},
        {"max-retries", KELVO_OPT_MAX_RETRIES, [](robj *r, zval *v) { return kelvoSetMaxRetries(r, v, true); }},
        {"client-invalidations", KELVO_OPT_CLIENT_INVALIDATIONS, kelvoSetClientInvalidations},
        {"adaptive-cache", KELVO_OPT_ADAPTIVE_CACHE, kelvoSetAdaptiveCacheOptions},
    };
    struct FlagKey {
        const char *name;
        zend_long id;
    };
    static const FlagKey flagKeys[] = {
        {"reply-literal", KELVO_OPT_REPLY_LITERAL},
        {"null-mbulk-as-null", KELVO_OPT_NULL_MULTIBULK_AS_NULL},
        /* Only its own bit here: throw-on-error is a key of its own. */
        {"phpredis-compatibility", KELVO_OPT_PHPREDIS_COMPATIBILITY},
        {"throw-on-error", KELVO_OPT_THROW_ON_ERROR},
    };
    int rc = 0;
    for (const Key &key : keys) {
        if (zval *value = contextFind(context, key.name, key.id)) {
            rc |= key.set(ro, value);
            if (EG(exception)) {
                return -1;
            }
        }
    }
    for (const FlagKey &key : flagKeys) {
        if (zval *value = contextFind(context, key.name, key.id)) {
            kelvoOptionWord bit = kelvoOptionBitOf(key.id);
            ro->opts.flags =
                zend_is_true(value) ? kelvoOptionWord(ro->opts.flags | bit) : kelvoOptionWord(ro->opts.flags & ~bit);
        }
    }
    return rc;
}

void kelvoLinkThrowExceptionEx(const kelvoLink *link, const char *file, int line)
{
    kelvoAssert(link != NULL);
    if (link->err) {
        int code = link->err <= KELVO_ERR_WRONGTYPE ? int(link->err) : KELVO_ERR_OTHER;
        kelvoThrowExceptionEx(code, link->errstr[0] ? link->errstr : "Unknown error", file, line);
    } else if (link->sslErr) {
        kelvoThrowExceptionEx(KELVO_ERR_TLS, redisSSLContextGetError(int(link->sslErr)), file, line);
    } else if (!link->ctx) {
        kelvoThrowExceptionEx(KELVO_ERR_IO, "Not connected", file, line);
    } else if (link->ctx->err) {
        kelvoThrowExceptionEx(KELVO_ERR_REDIS, link->ctx->errstr, file, line);
    } else {
        kelvoThrowExceptionEx(KELVO_ERR_OTHER, "Unknown error", file, line);
    }
}

void kelvoHelloErrorCb(void *target, kelvoReply *reply)
{
    robj *ro = static_cast<robj *>(target);
    if (EG(exception)) {
        return;
    }
    if (!reply) {
        kelvoLink copy = {};
        if (ro->link.ctx && ro->link.ctx->err) {
            kelvoLinkErrorSet(&copy, ro->link.ctx);
        }
        kelvoLinkThrowException(&copy);
        return;
    }
    if (reply->type != KELVO_REPLY_ERROR) {
        kelvoThrowException(KELVO_ERR_PROTOCOL, "Unexpected reply to the connection handshake");
        return;
    }
    /* A refused handshake is always an exception, whatever the error-reporting options say. */
    const zend_string *text = kelvoReplyZStr(reply);
    kelvoErrorVerdict verdict = kelvoClassifyErrorReply(ZSTR_VAL(text), ZSTR_LEN(text), ro->opts.flags);
    kelvoThrowException(verdict.record ? KELVO_ERR_REDIS : verdict.code,
                        verdict.message ? verdict.message : ZSTR_VAL(text));
}

namespace {

/* Failure: the error is thrown (unless quiet or already thrown), the link closed, its error kept. */
int syncFail(robj *ro, bool quiet)
{
    kelvoLink &link = ro->link;
    if (link.ctx && link.ctx->err) {
        kelvoLinkErrorSet(&link, link.ctx);
    }
    if (quiet) {
        zend_clear_exception();
    } else if (!EG(exception)) {
        kelvoLinkThrowException(&link);
    }
    uint32_t err = link.err, sslErr = link.sslErr;
    char errstr[sizeof link.errstr];
    memcpy(errstr, link.errstr, sizeof errstr);
    ro->syncTime = 0;
    kelvoListenersDrop(ro);
    kelvoLinkFree(&link);
    ro->connState = 0;
    link.err = err;
    link.sslErr = sslErr;
    memcpy(link.errstr, errstr, sizeof errstr);
    return -1;
}

/* Once a minute across processes at most: the warning that no epoch record could be had. */
constexpr uint64_t kelvoReadTokenWarningMicros = 600000000;
/* An endpoint's server facts are refreshed when they are older than this. */
constexpr uint64_t kelvoInfoRefreshMicros = 59999999;

void warnNoReadToken(uint64_t now)
{
    uint64_t *last = &kelvoSharedData->tables.read_token_warning_time;
    uint64_t seen = __atomic_load_n(last, __ATOMIC_RELAXED);
    if (seen < now && now - seen > kelvoReadTokenWarningMicros &&
        __atomic_compare_exchange_n(last, &seen, now, false, __ATOMIC_RELAXED, __ATOMIC_RELAXED)) {
        kelvoLogWarning("%s:%d OOM - %s", KELVO_LOG_SITE,
                        "Failed to allocate read-token, skipping in-memory cache lookup for command");
    }
}

} // namespace

void kelvoAttachLink(robj *ro)
{
    if (ro->link.rdb) {
        return;
    }
    kelvoLink &link = ro->link;
    if (kelvoAttachEndpoint(ro) == 0 && link.ep && (ro->opts.flags & kelvoOptClientTracking)) {
        kelvoAttachEndpointAndDB(link.ep, &link.rdb, &link.lease);
    }
}

namespace {

int hello(robj *ro)
{
    kelvoAttachLink(ro);
    if (kelvoLinkHello(&ro->link, &ro->info, ro->opts.flags, kelvoLibName, ro, kelvoHelloErrorCb) != 0) {
        return -1;
    }
    ro->link.state = KELVO_LINK_READY;
    ro->link.lastUse = nowMicros();
    return 0;
}

int claimContext(robj *ro)
{
    redisContext *c = ro->link.ctx;
    kelvoAssert(c != nullptr && (c->privdata == nullptr || c->privdata == ro));
    c->privdata = ro;
    redisSetPushCallback(c, kelvoPushCb);
    return 0;
}

/* Connect and handshake from a closed link; an I/O or EOF failure of the handshake gets one new connect. */
int connectAndHello(robj *ro, uint32_t wanted, pid_t pid, bool *thrown)
{
    if (ro->link.state == KELVO_LINK_NONE) {
        if (kelvoLinkConnect(&ro->link, &ro->info, pid) != 0) {
            return -1;
        }
    }
    kelvoAssert(ro->link.ctx != nullptr && ro->link.ctx->err == 0);
    claimContext(ro);
    if (wanted <= ro->link.state) {
        return 0;
    }
    kelvoAssert(ro->link.state == KELVO_LINK_CONNECTED);
    if (hello(ro) == 0) {
        return 0;
    }
    int err = ro->link.ctx ? ro->link.ctx->err : 0;
    if (err == REDIS_ERR_IO || err == REDIS_ERR_EOF) {
        kelvoLinkFree(&ro->link);
        zend_clear_exception();
        if (kelvoLinkConnect(&ro->link, &ro->info, pid) == 0) {
            claimContext(ro);
            if (hello(ro) == 0) {
                return 0;
            }
        }
    }
    *thrown = EG(exception) != nullptr;
    return -1;
}

/*
 * A tracking link whose attachment failed (no lease, no room) tries again at every sync, and
 * turns tracking on once it has a cached database. 0, or -1 for a link failure.
 */
int retryAttachment(robj *ro)
{
    kelvoLink &link = ro->link;
    if (link.rdb || !(ro->opts.flags & kelvoOptClientTracking) || !kelvoCacheUsable() ||
        (link.ep && !kelvoCacheMayAttach(link.ep))) {
        return 0;
    }
    kelvoAttachLink(ro);
    if (!link.rdb || link.tracking) {
        return 0;
    }
    auto *reply = static_cast<kelvoReply *>(redisCommand(link.ctx, "CLIENT TRACKING ON"));
    if (!reply) {
        kelvoLinkErrorSet(&link, link.ctx);
        return -1;
    }
    if (reply->type == KELVO_REPLY_STATUS) {
        link.tracking = 1;
    } else {
        /* Without tracking nothing stored could ever be invalidated: give the set back. */
        kelvoReleaseAndForgetDB(link.ep, link.rdb, link.lease);
        link.rdb = nullptr;
        link.lease = 0;
    }
    kelvoReplyFree(reply);
    return 0;
}

/*
 * The endpoint's server facts, refreshed by the one process that claims the minute. 0, or -1
 * for a link failure; a refused INFO only leaves the facts as they were.
 */
int refreshServerFacts(robj *ro, uint64_t now)
{
    kelvoEndpoint *ep = ro->link.ep;
    if (!ep) {
        return 0;
    }
    uint64_t updated = __atomic_load_n(&ep->updated, __ATOMIC_RELAXED);
    /* A claim stamped after this sync began (another process got there first) is fresh too. */
    if (updated >= now || now - updated <= kelvoInfoRefreshMicros ||
        !__atomic_compare_exchange_n(&ep->updated, &updated, now, false, __ATOMIC_ACQ_REL, __ATOMIC_RELAXED)) {
        return 0;
    }
    kelvoAssert(ro->link.state == KELVO_LINK_READY);
    auto *reply = static_cast<kelvoReply *>(redisCommand(ro->link.ctx, "INFO"));
    if (!reply || reply->type != KELVO_REPLY_VERB) {
        kelvoLogWarning("%s:%d Failed to send INFO command to endpoint '%s'", KELVO_LOG_SITE, ep->uri.bytes);
        if (!reply) {
            kelvoLinkErrorSet(&ro->link, ro->link.ctx);
            return -1;
        }
        kelvoReplyFree(reply);
        return 0;
    }
    const zend_string *text = kelvoReplyZStr(reply);
    kelvoEndpointSetInfo(ep, ZSTR_VAL(text), ZSTR_LEN(text));
    __atomic_store_n(&ep->updated, now, __ATOMIC_RELEASE);
    kelvoReplyFree(reply);
    return 0;
}

/*
 * Drains what reached the link since its last poll (per link: another process's poll says
 * nothing of this socket). A link without tracking is checked too, at the same pace: a
 * connection the server closed meanwhile is reconnected before a write rather than failing
 * after it, and a worker beyond a set's writers, whose links never track, reads its hits
 * without a system call each. 0, or -1.
 */
int pollLink(robj *ro, uint64_t now)
{
    kelvoLink &link = ro->link;
    if (now >= link.lastPoll && now - link.lastPoll < kelvoCfgVals.invalidation_poll_freq) {
        return 0;
    }
    if (kelvoContextPoll(link.ctx, link.ep, link.rdb, link.lease) != 0) {
        kelvoLinkErrorSet(&link, link.ctx);
        /* The connection the listeners were registered with is gone, as when a command loses it. */
        kelvoListenersDrop(ro);
        return -1;
    }
    link.lastPoll = now;
    return 0;
}

/* The cache's share of a ready link's upkeep: 0, or -1 for a link failure. */
int cacheUpkeep(robj *ro, uint64_t now)
{
    /* Nothing is asked of a link whose replies still belong to a batch or to the subscriptions. */
    if (ro->mode & (kelvoModeMulti | kelvoModePipeline | kelvoModeSubscribed)) {
        return 0;
    }
    if (retryAttachment(ro) != 0) {
        return -1;
    }
    if (pollLink(ro, now) != 0) {
        return -1;
    }
    return refreshServerFacts(ro, now);
}

/* Periodic work of the shared cache, each task claimed across processes. No task is due more
 * often than every 50 ms, so their shared stamps are looked at no more than once a millisecond. */
void cachePeriodic(uint64_t now)
{
    static uint64_t lastLook;
    if (now >= lastLook && now - lastLook < 1000) {
        return;
    }
    lastLook = now;
    if (kelvoCacheUsable()) {
        kelvoCmsFoldReads();
        kelvoCacheReapDeadWriters(now);
        kelvoLeaseCheckArmedHolders(now);
    }
    kelvoPeriodicTick(now);
}

/* Database selection on a ready link: 0 done, 1 refused by the server (reported), 2 link failure. */
int selectWanted(robj *ro)
{
    if (ro->info.db == ro->link.db) {
        return 0;
    }
    return kelvoSelectDB(&ro->link, &ro->info, ro->info.db, &ro->lastError, ro->opts.flags);
}

} // namespace

int kelvoSyncObject(robj *ro, uint32_t wanted, bool quiet)
{
    if (ro->info.type < 0) {
        if (!quiet) {
            kelvoThrowException(KELVO_ERR_IO, "Not connected");
        }
        return -1;
    }
    ro->it = nullptr;
    pid_t pid = currentPid();

    kelvoLink &link = ro->link;
    /* A batch lives on its connection: when that goes, the batch fails with it. */
    bool batch = (ro->mode & (kelvoModeMulti | kelvoModePipeline)) != 0;
    if (link.ctx && link.ctx->err) {
        kelvoLinkErrorSet(&link, link.ctx);
        uint32_t err = link.err;
        char errstr[sizeof link.errstr];
        memcpy(errstr, link.errstr, sizeof errstr);
        kelvoListenersDrop(ro);
        kelvoLinkFree(&link);
        kelvoFreeCallbacks(ro);
        ro->connState = 0;
        link.err = err;
        memcpy(link.errstr, errstr, sizeof errstr);
        if (batch) {
            return syncFail(ro, quiet);
        }
    } else if (link.ctx && link.pid != pid) {
        kelvoLogDebug("%s:%d PID:  New kelvoLink PID (%ld -> %ld)", KELVO_LOG_SITE, long(link.pid), long(pid));
        /* The cached database belongs to the parent: forgotten, not released. */
        link.rdb = nullptr;
        link.lease = 0;
        kelvoLinkFree(&link);
        kelvoFreeCallbacks(ro);
        ro->connState = 0;
        if (batch) {
            link.err = REDIS_ERR_OTHER;
            snprintf(link.errstr, sizeof link.errstr, "The batch belongs to the parent process's connection");
            return syncFail(ro, quiet);
        }
    }

    /* Queueing into a batch asks nothing of the link, nor of the clock: upkeep waits for the batch's end. */
    if (batch && link.ctx && wanted <= link.state && link.state == KELVO_LINK_READY && ro->info.db == link.db) {
        return 0;
    }
    uint64_t now = ro->syncTime = nowMicros();
    if (wanted > link.state) {
        bool thrown = false;
        if (connectAndHello(ro, wanted, pid, &thrown) != 0) {
            return syncFail(ro, quiet);
        }
        if (ro->listenerEndpoint && !(link.key && zend_string_equals(link.key, ro->listenerEndpoint))) {
            /* Listeners hear the server they were registered for, not another one. */
            kelvoListenersDrop(ro);
        }
        if (link.state < KELVO_LINK_READY) {
            cachePeriodic(now);
            return 0;
        }
    } else if (link.state < KELVO_LINK_READY) {
        cachePeriodic(now);
        return 0;
    }

    uint64_t previousDelay = 0;
    for (int attempt = 0;; attempt++) {
        int selected = selectWanted(ro);
        if (selected == 1) {
            return quiet ? (zend_clear_exception(), -1) : -1;
        }
        if (selected == 0 && cacheUpkeep(ro, now) == 0) {
            cachePeriodic(now);
            return 0;
        }
        if (ro->connState || (ro->mode & (kelvoModeMulti | kelvoModePipeline))) {
            /* A new connection would drop the WATCH or the batch unseen: the caller learns it was lost. */
            kelvoFreeCallbacks(ro);
            return syncFail(ro, quiet);
        }
        if (attempt > 0) {
            /* The first reconnect goes at once; later ones wait the client's back-off. */
            previousDelay = kelvoBackoff(&ro->opts.retry.backoff, previousDelay, uint32_t(attempt));
            kelvoBackoffWait(previousDelay);
        }
        if (link.ctx && link.ctx->err) {
            kelvoLinkErrorSet(&link, link.ctx);
        }
        if (kelvoLinkReconnect(&link, &ro->info) != 0 || hello(ro) != 0) {
            return syncFail(ro, quiet);
        }
        if (ro->opts.retry.maxRetries >= 0 && attempt >= ro->opts.retry.maxRetries) {
            return syncFail(ro, quiet);
        }
    }
}

bool kelvoTimeoutArgumentValid(double seconds) { return !std::isnan(seconds) && seconds <= 2147483647.0; }

/* Builds information and link in one step; -1 with an exception pending and `info` released. */
int kelvoConnect(redisInfo *outInfo, kelvoLink *outLink, bool persistent, kelvoOptionWord flags, zend_string *host,
                 zend_long port, double connectTimeout, double readTimeout, uint32_t db, zend_string *user,
                 zend_string *pass, HashTable *context, void *owner, struct timeval keptReadTimeout)
{
    redisInfo info = {};
    kelvoLink link = {};
    php_url *url = nullptr;
    const char *error = nullptr;
    if (kelvoInitRedisInfo(&info, persistent, flags, host, port, &url, context, &error) != 0) {
        kelvoRedisInfoRelease(&info);
        kelvoThrowException(KELVO_ERR_CONFIG, error);
        return -1;
    }
    if (url) {
        php_url_free(url);
    }
    kelvoSetRedisAuthInfo(&info, user, pass);
    info.db = db;
    setTimeouts(&info, connectTimeout, readTimeout, keptReadTimeout);
    if (kelvoLinkConnect(&link, &info, currentPid()) != 0) {
        kelvoLinkThrowException(&link);
        kelvoRedisInfoRelease(&info);
        return -1;
    }
    link.ctx->privdata = owner;
    *outInfo = info;
    *outLink = link;
    return 0;
}

namespace {

robj *thisRecord(zend_execute_data *execute_data) { return kelvoGetObjectZVal(ZEND_THIS); }

/* Connection settings the constructor and connect gather before they build the information. */
struct Settings {
    zend_string *host = nullptr;
    zend_long port = -1;
    double connectTimeout = 0;
    double readTimeout = 0;
    HashTable *context = nullptr;
    zend_long db = 0;
    bool persistent = false;
    zend_string *user = nullptr;
    zend_string *pass = nullptr;

    ~Settings()
    {
        for (zend_string *s : {host, user, pass}) {
            if (s) {
                zend_string_release(s);
            }
        }
    }
};

void readContextAuth(Settings &s)
{
    if (zval *auth = contextFind(s.context, "auth")) {
        kelvoGetAuthInfoZVal(&s.user, &s.pass, auth);
    }
}

bool databaseInRange(zend_long db) { return db >= 0 && db <= kelvoMaxDatabase; }

/* The lazy form: information only; the first command connects. */
int recordSettings(robj *ro, const Settings &s)
{
    /* A second constructor call names another server: the old link must not serve it. */
    dropLink(ro, 0);
    struct timeval kept = releaseInfoKeepTimeout(&ro->info);
    php_url *url = nullptr;
    const char *error = nullptr;
    if (kelvoInitRedisInfo(&ro->info, s.persistent, ro->opts.flags, s.host, s.port, &url, s.context, &error) != 0) {
        kelvoRedisInfoRelease(&ro->info);
        kelvoThrowException(KELVO_ERR_CONFIG, error);
        return -1;
    }
    if (url) {
        php_url_free(url);
    }
    kelvoSetRedisAuthInfo(&ro->info, s.user, s.pass);
    ro->info.db = uint32_t(s.db);
    setTimeouts(&ro->info, s.connectTimeout, s.readTimeout, kept);
    return 0;
}

int connectNow(robj *ro, const Settings &s)
{
    dropLink(ro, 0);
    struct timeval kept = releaseInfoKeepTimeout(&ro->info);
    return kelvoConnect(&ro->info, &ro->link, s.persistent, ro->opts.flags, s.host, s.port, s.connectTimeout,
                        s.readTimeout, uint32_t(s.db), s.user, s.pass, s.context, ro, kept);
}

/* The constructor's single-array form: host, port and timeouts, and the array as context. */
int readOptionArray(Settings &s, HashTable *options)
{
    kelvoConnectOptions opts = {};
    opts.port = -1;
    int rc = kelvoConnectOptionsFromHT(&opts, options);
    if (rc == 0 && opts.host) {
        s.host = zend_string_copy(opts.host);
        s.port = opts.port;
        s.connectTimeout = opts.connectTimeout;
        s.readTimeout = opts.readTimeout;
    }
    s.context = options;
    kelvoConnectOptionsRelease(&opts);
    return rc;
}

/* What the constructor reads from the context besides the option keys. -1 with a ValueError. */
int constructorContext(robj *ro, Settings &s)
{
    if (kelvoSetContextOptions(ro, s.context) != 0 && EG(exception)) {
        return -1;
    }
    readContextAuth(s);
    if (zval *persistent = contextFind(s.context, "persistent")) {
        s.persistent = zend_is_true(persistent);
    }
    zval *useCache = contextFind(s.context, "use-cache");
    if (useCache && !zend_is_true(useCache)) {
        ro->opts.flags &= kelvoOptionWord(~(kelvoOptUseCache | kelvoOptClientTracking));
    }
    zval *tracking = contextFind(s.context, "client-tracking");
    if (tracking && !zend_is_true(tracking)) {
        ro->opts.flags &= kelvoOptionWord(~kelvoOptClientTracking);
    }
    zval *capa = contextFind(s.context, "capa-redirect");
    if (capa && zend_is_true(capa)) {
        ro->opts.flags |= kelvoOptCapaRedirect;
    }
    if (zval *database = contextFind(s.context, "database")) {
        zend_long db = zval_get_long(database);
        if (!databaseInRange(db)) {
            zend_value_error("Database must be between 0 and " ZEND_LONG_FMT, kelvoMaxDatabase);
            return -1;
        }
        s.db = db;
    }
    return 0;
}

void connectPassThru(INTERNAL_FUNCTION_PARAMETERS, bool persistent)
{
    Settings s;
    zend_string *host;
    zend_string *persistentId = nullptr;
    zend_long retryInterval = 0;
    ZEND_PARSE_PARAMETERS_START(1, 8)
    Z_PARAM_STR(host)
    Z_PARAM_OPTIONAL
    Z_PARAM_LONG(s.port)
    Z_PARAM_DOUBLE(s.connectTimeout)
    Z_PARAM_STR_OR_NULL(persistentId)
    Z_PARAM_LONG(retryInterval)
    Z_PARAM_DOUBLE(s.readTimeout)
    Z_PARAM_ARRAY_HT_OR_NULL(s.context)
    Z_PARAM_LONG(s.db)
    ZEND_PARSE_PARAMETERS_END();
    if (ZEND_NUM_ARGS() < 2) {
        s.port = -1;
    }
    if (!databaseInRange(s.db)) {
        php_error_docref(nullptr, E_WARNING, "Database must be between 0 and " ZEND_LONG_FMT, kelvoMaxDatabase);
        RETURN_FALSE;
    }
    if (std::isnan(s.connectTimeout) || std::isnan(s.readTimeout)) {
        zend_value_error(std::isnan(s.connectTimeout) ? "Invalid connect timeout" : "Invalid read timeout");
        RETURN_THROWS();
    }
    s.host = zend_string_copy(host);
    s.persistent = persistent;
    robj *ro = thisRecord(execute_data);
    if (ro->link.state != KELVO_LINK_NONE && kelvoSyncObject(ro, KELVO_LINK_CONNECTED, true) == 0) {
        kelvoLinkReleaseRObj(ro, 0);
    }
    /* Whatever is left of an old link goes now, so a failed connect leaks neither link nor socket. */
    dropLink(ro, 1);
    if (s.context) {
        if (kelvoSetContextOptions(ro, s.context) != 0 && EG(exception)) {
            RETURN_THROWS();
        }
        readContextAuth(s);
        zval *p = contextFind(s.context, "persistent");
        if (p && zend_is_true(p)) {
            s.persistent = true;
        }
        if (zval *useCache = contextFind(s.context, "use-cache")) {
            if (zend_is_true(useCache)) {
                ro->opts.flags |= kelvoOptUseCache;
            } else {
                ro->opts.flags &= kelvoOptionWord(~(kelvoOptUseCache | kelvoOptClientTracking));
            }
        }
        zval *tracking = contextFind(s.context, "client-tracking");
        if (tracking && zend_is_true(tracking) && (ro->opts.flags & kelvoOptUseCache)) {
            ro->opts.flags |= kelvoOptClientTracking;
        }
    }
    /* The persistent pool keeps links across requests once it exists; until then a persistent link is closed on release. */
    RETURN_BOOL(connectNow(ro, s) == 0);
}

/* Sends AUTH on a ready link. true when the server accepted it. */
bool authenticate(robj *ro, zend_string *user, zend_string *pass)
{
    smart_str request = {};
    auto bulk = [&request](const char *bytes, size_t length) {
        smart_str_appendc(&request, '$');
        smart_str_append_unsigned(&request, length);
        smart_str_appendl(&request, "\r\n", 2);
        smart_str_appendl(&request, bytes, length);
        smart_str_appendl(&request, "\r\n", 2);
    };
    smart_str_appends(&request, user ? "*3\r\n" : "*2\r\n");
    bulk("AUTH", 4);
    if (user) {
        bulk(ZSTR_VAL(user), ZSTR_LEN(user));
    }
    bulk(ZSTR_VAL(pass), ZSTR_LEN(pass));
    smart_str_0(&request);
    redisContext *c = ro->link.ctx;
    void *raw = nullptr;
    bool sent = redisAppendFormattedCommand(c, ZSTR_VAL(request.s), ZSTR_LEN(request.s)) == REDIS_OK &&
                redisGetReply(c, &raw) == REDIS_OK && raw;
    smart_str_free(&request);
    if (!sent) {
        kelvoLinkErrorSet(&ro->link, c);
        kelvoLinkThrowException(&ro->link);
        return false;
    }
    auto *reply = static_cast<kelvoReply *>(raw);
    bool ok = reply->type == KELVO_REPLY_STATUS;
    if (reply->type == KELVO_REPLY_ERROR) {
        const zend_string *text = kelvoReplyZStr(reply);
        kelvoHandleErrorText(&ro->lastError, ro->opts.flags, ZSTR_VAL(text), ZSTR_LEN(text));
    } else if (!ok) {
        kelvoThrowException(KELVO_ERR_PROTOCOL, "Unexpected reply to AUTH");
    }
    kelvoReplyFree(reply);
    return ok;
}

/* Getters: the object readied at `level`; false (with the exception thrown) when that fails. */
robj *readied(zend_execute_data *execute_data, uint32_t level)
{
    robj *ro = thisRecord(execute_data);
    return kelvoSyncObject(ro, level, false) == 0 ? ro : nullptr;
}

} // namespace

namespace {

void timeoutGetter(INTERNAL_FUNCTION_PARAMETERS, struct timeval redisInfo::*field)
{
    ZEND_PARSE_PARAMETERS_NONE();
    robj *ro = readied(execute_data, KELVO_LINK_CONNECTED);
    if (!ro) {
        RETURN_FALSE;
    }
    RETURN_DOUBLE(kelvoTimevalToDouble(ro->info.*field));
}

void serverField(INTERNAL_FUNCTION_PARAMETERS, char (kelvoLink::*field)[16])
{
    robj *ro = thisRecord(execute_data);
    if (kelvoSyncObject(ro, KELVO_LINK_READY, false) != 0) {
        RETURN_NULL();
    }
    RETURN_STRING(ro->link.*field);
}

} // namespace

namespace {

const char *valueTypeName(const rk *value)
{
    switch (value->type) {
    case KELVO_STRING:
        return "string";
    case KELVO_INTEGER:
        return "integer";
    case KELVO_HASH:
        return "hash";
    case KELVO_SET:
        return "set";
    case KELVO_LIST:
        return "list";
    case KELVO_ZSET:
        return "zset";
    default:
        return "nil";
    }
}

/* Payload bytes held: a string's bytes; a hash's names and values; a set's members; a list's elements. */
uint64_t valuePayloadBytes(const rk *value)
{
    if ((value->flags & KELVO_INTERNED) || !(value->flags & KELVO_KEY_INITIALIZED))
        return 0;
    uint64_t bytes = 0;
    switch (value->type) {
    case KELVO_STRING:
        return value->v.str.len;
    case KELVO_HASH:
    case KELVO_SET: {
        kelvoMapIterator it;
        kelvoMapIteratorInit(&it, value);
        while (kelvoMapIteratorNext(&it)) {
            kelvoMapMember member = kelvoMapReadEntry(it.entry);
            bytes += member.nameLen + (member.hasValue ? member.valueLen : 0);
        }
        return bytes;
    }
    case KELVO_LIST:
        for (uint32_t i = 0; i < value->v.list.count; i++) {
            uint32_t length = 0;
            if (kelvoListElement(value, i, &length))
                bytes += length;
        }
        return bytes;
    default:
        return 0;
    }
}

void describeEntry(zval *out, const kelvoCacheEntry *entry)
{
    const rk *value = entry->value;
    zval row, lease;
    array_init(&row);
    add_assoc_string(&row, "type", value ? valueTypeName(value) : "nil");
    add_assoc_long(&row, "local-len", value ? zend_long(kelvoKeyLocalLen(value)) : 0);
    add_assoc_long(&row, "remote-len", value ? zend_long(kelvoKeyRealLen(value)) : -1);
    add_assoc_long(&row, "size", value ? zend_long(valuePayloadBytes(value)) : 0);
    array_init(&lease);
    add_assoc_long(&lease, "id", entry->lease);
    add_assoc_long(&lease, "generation", zend_long(entry->token));
    add_assoc_long(&lease, "global", zend_long(kelvoLeaseToken(entry->lease)));
    add_assoc_zval(&row, "lease", &lease);
    zval *list = zend_hash_str_find(Z_ARRVAL_P(out), entry->pair.bytes, entry->pair.length);
    if (!list) {
        zval fresh;
        array_init(&fresh);
        list = zend_hash_str_update(Z_ARRVAL_P(out), entry->pair.bytes, entry->pair.length, &fresh);
    }
    add_next_index_zval(list, &row);
}

} // namespace

void kelvoEndpointGetKeys(zval *out, kelvoEndpoint *ep, uint32_t db)
{
    kelvoAssert(ep != NULL && db < kelvoCfgVals.databases);
    array_init(out);
    for (rdb *set = __atomic_load_n(&ep->rdbs, __ATOMIC_ACQUIRE); set; set = set->next) {
        if (__atomic_load_n(&set->writers, __ATOMIC_ACQUIRE) == 0) {
            continue;
        }
        kelvoCkRhsIterator it;
        kelvoCkRhsIteratorInit(&it);
        for (bool more = true; more;) {
            /* One step per read section: a long walk never holds back reclamation. */
            kelvoGlobalEpochBegin();
            kelvoCacheEntry *entry;
            more = kelvoCacheNextEntry(set, db, &it, &entry);
            if (more) {
                describeEntry(out, entry);
            }
            kelvoGlobalEpochEnd();
        }
    }
}

int kelvoAttachEndpoint(robj *ro)
{
    kelvoAssert(ro != NULL && ro->link.ctx != NULL && ro->link.state >= KELVO_LINK_CONNECTED);
    kelvoLink &link = ro->link;
    if (link.ep || !kelvoCacheUsable()) {
        return 0;
    }
    if (kelvoGlobalEpochInit() != 0) {
        warnNoReadToken(nowMicros());
        return -1;
    }
    kelvoAssert(link.key != NULL && ZSTR_LEN(link.key) > 0);
    link.ep = kelvoEndpointGetOrCreate(ZSTR_VAL(link.key), ZSTR_LEN(link.key));
    if (!link.ep) {
        kelvoLogWarning("%s:%d Unable to retrieve or create endpoint for '%s'", KELVO_LOG_SITE, ZSTR_VAL(link.key));
        return -1;
    }
    kelvoEndpointBindSketch(ro, link.ep);
    return 0;
}

kelvoEndpoint *kelvoLinkEndpoint(const kelvoLink *link)
{
    if (link->ep) {
        return link->ep;
    }
    return link->key ? kelvoEndpointGetEx(ZSTR_VAL(link->key), ZSTR_LEN(link->key)) : nullptr;
}

extern "C" {

ZEND_METHOD(Kelvo_Kelvo, __construct)
{
    Settings s;
    zval *host = nullptr;
    HashTable *context = nullptr;
    ZEND_PARSE_PARAMETERS_START(0, 6)
    Z_PARAM_OPTIONAL
    Z_PARAM_ZVAL(host)
    Z_PARAM_LONG(s.port)
    Z_PARAM_DOUBLE(s.connectTimeout)
    Z_PARAM_DOUBLE(s.readTimeout)
    Z_PARAM_ARRAY_HT(context)
    Z_PARAM_LONG(s.db)
    ZEND_PARSE_PARAMETERS_END();
    uint32_t argc = ZEND_NUM_ARGS();
    if (argc == 0 || (argc == 1 && Z_TYPE_P(host) == IS_NULL)) {
        return;
    }
    if (argc < 2) {
        s.port = -1;
    } else if (s.port < 0 || s.port > 65535) {
        zend_value_error("Port must be an integer between 0 - 65536");
        RETURN_THROWS();
    }
    if (!kelvoTimeoutArgumentValid(s.connectTimeout)) {
        zend_value_error("Invalid connect timeout");
        RETURN_THROWS();
    }
    if (!kelvoTimeoutArgumentValid(s.readTimeout)) {
        zend_value_error("Invalid command timeout");
        RETURN_THROWS();
    }
    if (!databaseInRange(s.db)) {
        zend_value_error("Database must be between 0 and " ZEND_LONG_FMT, kelvoMaxDatabase);
        RETURN_THROWS();
    }
    s.context = context;
    s.persistent = kelvoCfgVals.default_pconnect != 0;
    if (argc == 1 && Z_TYPE_P(host) == IS_ARRAY) {
        if (readOptionArray(s, Z_ARRVAL_P(host)) != 0) {
            RETURN_THROWS();
        }
    } else if (argc > 1 && Z_TYPE_P(host) != IS_STRING) {
        zend_value_error("When not using an options array, the host argument must be a string");
        RETURN_THROWS();
    } else {
        s.host = zval_get_string(host);
    }
    if (!s.host) {
        return;
    }
    robj *ro = thisRecord(execute_data);
    if (kelvoCacheUsable()) {
        ro->opts.flags |= kelvoOptUseCache | kelvoOptClientTracking;
    }
    if (s.context && constructorContext(ro, s) != 0) {
        RETURN_THROWS();
    }
    if (ro->opts.flags & kelvoOptPhpredisCompat) {
        recordSettings(ro, s);
    } else {
        connectNow(ro, s);
    }
}

ZEND_METHOD(Kelvo_Kelvo, connect)
{
    connectPassThru(INTERNAL_FUNCTION_PARAM_PASSTHRU, kelvoCfgVals.default_pconnect != 0);
}

ZEND_METHOD(Kelvo_Kelvo, pconnect) { connectPassThru(INTERNAL_FUNCTION_PARAM_PASSTHRU, true); }

ZEND_METHOD(Kelvo_Kelvo, auth)
{
    zval *value;
    ZEND_PARSE_PARAMETERS_START(1, 1)
    Z_PARAM_ZVAL(value)
    ZEND_PARSE_PARAMETERS_END();
    robj *ro = thisRecord(execute_data);
    if (kelvoSyncObject(ro, KELVO_LINK_CONNECTED, false) != 0) {
        RETURN_FALSE;
    }
    zend_string *user, *pass;
    if (kelvoGetAuthInfoZVal(&user, &pass, value) != 0) {
        kelvoThrowException(KELVO_ERR_CONFIG, "Can't parse AUTH information");
        RETURN_FALSE;
    }
    /* A handshaken link is logged in already: it must log in anew, or report why it did not. */
    bool ok = ro->link.state < KELVO_LINK_READY || authenticate(ro, user, pass);
    if (ok) {
        kelvoSetRedisAuthInfo(&ro->info, user, pass);
        /* The pool keys this link by the secrets it is now logged in with. */
        ro->link.secrets = kelvoLinkSecretsHash(&ro->info);
        kelvoUpdateLinkKey(ro);
    }
    if (user) {
        zend_string_release(user);
    }
    zend_string_release(pass);
    RETURN_BOOL(ok);
}

ZEND_METHOD(Kelvo_Kelvo, close)
{
    ZEND_PARSE_PARAMETERS_NONE();
    robj *ro = thisRecord(execute_data);
    if (kelvoSyncObject(ro, KELVO_LINK_CONNECTED, false) != 0) {
        RETURN_FALSE;
    }
    dropLink(ro, 1);
    kelvoRedisInfoRelease(&ro->info);
    RETURN_TRUE;
}

ZEND_METHOD(Kelvo_Kelvo, getHost)
{
    ZEND_PARSE_PARAMETERS_NONE();
    robj *ro = readied(execute_data, KELVO_LINK_CONNECTED);
    if (!ro) {
        RETURN_FALSE;
    }
    RETURN_STR_COPY(ro->info.host);
}

ZEND_METHOD(Kelvo_Kelvo, getPort)
{
    ZEND_PARSE_PARAMETERS_NONE();
    robj *ro = readied(execute_data, KELVO_LINK_CONNECTED);
    if (!ro) {
        RETURN_FALSE;
    }
    RETURN_LONG(ro->info.type == REDIS_CONN_TCP ? ro->info.port : 0);
}

ZEND_METHOD(Kelvo_Kelvo, getTimeout) { timeoutGetter(INTERNAL_FUNCTION_PARAM_PASSTHRU, &redisInfo::connectTimeout); }

ZEND_METHOD(Kelvo_Kelvo, getReadTimeout) { timeoutGetter(INTERNAL_FUNCTION_PARAM_PASSTHRU, &redisInfo::readTimeout); }

ZEND_METHOD(Kelvo_Kelvo, getAuth)
{
    ZEND_PARSE_PARAMETERS_NONE();
    robj *ro = readied(execute_data, KELVO_LINK_CONNECTED);
    if (!ro) {
        RETURN_FALSE;
    }
    if (!ro->info.pass) {
        RETURN_NULL();
    }
    if (!ro->info.user) {
        RETURN_STR_COPY(ro->info.pass);
    }
    array_init_size(return_value, 2);
    add_next_index_str(return_value, zend_string_copy(ro->info.user));
    add_next_index_str(return_value, zend_string_copy(ro->info.pass));
}

ZEND_METHOD(Kelvo_Kelvo, endpointId)
{
    ZEND_PARSE_PARAMETERS_NONE();
    robj *ro = readied(execute_data, KELVO_LINK_CONNECTED);
    if (!ro || !ro->link.key) {
        RETURN_FALSE;
    }
    RETURN_STR_COPY(ro->link.key);
}

ZEND_METHOD(Kelvo_Kelvo, socketId)
{
    ZEND_PARSE_PARAMETERS_NONE();
    robj *ro = readied(execute_data, KELVO_LINK_CONNECTED);
    if (!ro || !ro->link.ctx) {
        RETURN_FALSE;
    }
    RETURN_STR(zend_long_to_str(zend_long(ro->link.ctx->fd) + KELVO_G(socket_salt)[0]));
}

ZEND_METHOD(Kelvo_Kelvo, idleTime)
{
    ZEND_PARSE_PARAMETERS_NONE();
    robj *ro = readied(execute_data, KELVO_LINK_READY);
    if (!ro) {
        RETURN_FALSE;
    }
    if (!ro->link.rdb) {
        RETURN_LONG(0);
    }
    RETURN_LONG(zend_long((nowMicros() - ro->link.lastUse) / 1000));
}

ZEND_METHOD(Kelvo_Kelvo, serverName) { serverField(INTERNAL_FUNCTION_PARAM_PASSTHRU, &kelvoLink::server); }

ZEND_METHOD(Kelvo_Kelvo, serverVersion) { serverField(INTERNAL_FUNCTION_PARAM_PASSTHRU, &kelvoLink::version); }

ZEND_METHOD(Kelvo_Kelvo, _getKeys)
{
    if (!kelvoRequireSharedCache()) {
        RETURN_FALSE;
    }
    robj *ro = thisRecord(execute_data);
    if (kelvoSyncObject(ro, KELVO_LINK_READY, false) != 0) {
        RETURN_FALSE;
    }
    ZEND_PARSE_PARAMETERS_NONE();
    if (ro->link.db >= kelvoCfgVals.databases || kelvoGlobalEpochInit() != 0) {
        RETURN_FALSE;
    }
    kelvoEndpoint *ep = kelvoLinkEndpoint(&ro->link);
    if (!ep) {
        RETURN_FALSE;
    }
    kelvoEndpointGetKeys(return_value, ep, ro->link.db);
}

ZEND_METHOD(Kelvo_Kelvo, isTracked)
{
    zend_string *key;
    if (!kelvoRequireSharedCache()) {
        RETURN_FALSE;
    }
    if (kelvoGlobalEpochInit() != 0) {
        php_error_docref(nullptr, E_WARNING, "Failed to retrieve read record (possible OOM)");
        RETURN_FALSE;
    }
    robj *ro = thisRecord(execute_data);
    if (kelvoSyncObject(ro, KELVO_LINK_READY, false) != 0) {
        RETURN_FALSE;
    }
    ZEND_PARSE_PARAMETERS_START(1, 1)
    Z_PARAM_STR(key)
    ZEND_PARSE_PARAMETERS_END();
    kelvoEndpoint *ep = kelvoLinkEndpoint(&ro->link);
    if (!ep) {
        RETURN_FALSE;
    }
    kelvoGlobalEpochBegin();
    bool cached = kelvoCacheGetLen(ep, ro->link.db, ZSTR_VAL(key), ZSTR_LEN(key)) != nullptr;
    kelvoGlobalEpochEnd();
    RETURN_BOOL(cached);
}

} // extern "C"

int kelvoAppendCommand(robj *ro, rrc *req)
{
    kelvoAssert(ro != NULL);
    kelvoAssert(req != NULL && req->buffer.c != NULL);
    kelvoRespCmdFinish(req);
    return redisAppendFormattedCommand(ro->link.ctx, kelvoRespCmdData(req), kelvoRespCmdLen(req)) == REDIS_OK ? 0 : -1;
}

void kelvoThrowLinkFailure(robj *ro)
{
    kelvoLink &link = ro->link;
    if (link.ctx && link.ctx->err)
        kelvoLinkErrorSet(&link, link.ctx);
    if (!EG(exception))
        kelvoLinkThrowException(&link);
    uint32_t err = link.err, sslErr = link.sslErr;
    char errstr[sizeof link.errstr];
    memcpy(errstr, link.errstr, sizeof errstr);
    /* Listeners are registered under the link's server: they go with it. */
    kelvoListenersDrop(ro);
    kelvoLinkFree(&link);
    link.err = err;
    link.sslErr = sslErr;
    memcpy(link.errstr, errstr, sizeof errstr);
    kelvoFreeCallbacks(ro);
    ro->connState = 0;
}
