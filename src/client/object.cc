/*
 * The client record: object handlers, release, and the options.
 */
#include "client/object.h"

#include "client/client.h"
#include "client/adaptive.h"
#include "cache/cache.h"
#include "client/guard.h"
#include "client/listeners.h"
#include "client/pubsub.h"
#include "runtime/exception.h"
#include "runtime/fatal.h"
#include "runtime/kelvo.h"
#include "wire/reply.h"
#include "shm/epoch.h"
#include "shm/shared.h"
#include "shm/shmalloc.h"

#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <ctime>
#include <cstring>
#include <initializer_list>
#include <limits>

extern "C" {
#include "ext/standard/info.h"
}

zend_object_handlers kelvo_object_handlers;

const kelvoOptions kelvoDefaultOptions = {
    nullptr,           /* prefix */
    &kelvoNoneSerInfo, /* serializer */
    &kelvoNoneCmpInfo, /* compression */
    {},                /* allowPatterns: undefined */
    {},                /* ignorePatterns */
    0,                 /* compressionLevel */
    0,                 /* scan */
    kelvoDefaultOptionFlags,
    1,               /* clientInvalidations */
    {10, {0, 0, 0}}, /* retry: 10 retries, default back-off without waits */
    {0, 0, 0, 0, 0.0, 0},
    nullptr, /* availabilityZone */
};

namespace {

robj *recordOf(zend_object *object)
{
    return reinterpret_cast<robj *>(reinterpret_cast<char *>(object) - offsetof(robj, std));
}

void warn(const char *format, ...) __attribute__((format(printf, 1, 2)));
void warn(const char *format, ...)
{
    va_list args;
    va_start(args, format);
    php_verror(nullptr, "", E_WARNING, format, args);
    va_end(args);
}

void releaseString(zend_string **slot)
{
    if (*slot) {
        zend_string_release(*slot);
        *slot = nullptr;
    }
}

void setFlag(kelvoOptionWord *flags, kelvoOptionWord bit, bool on)
{
    *flags = on ? kelvoOptionWord(*flags | bit) : kelvoOptionWord(*flags & ~bit);
}

/* An integer value within [lo, hi]; false for anything else (no conversion of non-numbers). */
bool longInRange(zval *value, zend_long lo, zend_long hi, zend_long *out)
{
    zend_long v = zval_get_long(value);
    if (v < lo || v > hi) {
        return false;
    }
    *out = v;
    return true;
}

/* The cache bits live twice: in the options and in the connection information's identity copy. */
void setCacheFlag(robj *ro, kelvoOptionWord bit, bool on)
{
    setFlag(&ro->opts.flags, bit, on);
    setFlag(&ro->info.flags, bit, on);
}

/* Adds every element of `values` (taken as a string) as a key of the set in `set`; returns how many were new. */
zend_long addPatterns(zval *set, zval *values, uint32_t count)
{
    if (Z_TYPE_P(set) != IS_ARRAY) {
        zval_ptr_dtor(set);
        array_init(set);
    }
    SEPARATE_ARRAY(set);
    zend_long added = 0;
    for (uint32_t i = 0; i < count; i++) {
        zend_string *pattern = zval_get_string(&values[i]);
        if (ZSTR_LEN(pattern) == 0) {
            zend_string_release(pattern);
            continue;
        }
        zval yes;
        ZVAL_TRUE(&yes);
        /* Always a string key, also for patterns that look like integers. */
        if (zend_hash_add(Z_ARRVAL_P(set), pattern, &yes)) {
            added++;
        }
        zend_string_release(pattern);
    }
    return added;
}

/* `which` names the set in the warning: "Allowed" or "Ignored". */
int setPatterns(zval *set, zval *value, const char *which)
{
    if (Z_TYPE_P(value) != IS_ARRAY && Z_TYPE_P(value) != IS_NULL) {
        warn("%s patterns must be either an array or NULL", which);
        return -1;
    }
    if (Z_TYPE_P(value) == IS_NULL || zend_hash_num_elements(Z_ARRVAL_P(value)) == 0) {
        zval_ptr_dtor(set);
        ZVAL_NULL(set);
        return 0;
    }
    zval *element;
    ZEND_HASH_FOREACH_VAL(Z_ARRVAL_P(value), element) { addPatterns(set, element, 1); }
    ZEND_HASH_FOREACH_END();
    return 0;
}

void getPatterns(const zval *set, zval *out)
{
    array_init(out);
    if (Z_TYPE_P(set) != IS_ARRAY) {
        return;
    }
    zend_string *key;
    zend_ulong index;
    ZEND_HASH_FOREACH_KEY(Z_ARRVAL_P(set), index, key)
    {
        if (key) {
            add_next_index_str(out, zend_string_copy(key));
        } else {
            add_next_index_str(out, zend_long_to_str(zend_long(index)));
        }
    }
    ZEND_HASH_FOREACH_END();
}

/* Shared by OPT_PREFIX and option 110: a non-empty string, or none. */
void setOptionalString(zend_string **slot, zval *value)
{
    releaseString(slot);
    if (Z_TYPE_P(value) == IS_NULL) {
        return;
    }
    zend_string *s = zval_get_string(value);
    if (ZSTR_LEN(s) == 0) {
        zend_string_release(s);
        return;
    }
    *slot = s;
}

void getOptionalString(const zend_string *s, zval *out)
{
    if (s) {
        ZVAL_STR_COPY(out, const_cast<zend_string *>(s));
    } else {
        ZVAL_NULL(out);
    }
}

/* Socket of a connected TCP link with a healthy context, after the option's checks. */
int keepAliveSocket(const robj *ro, const char *notConnected)
{
    if (ro->link.state == KELVO_LINK_NONE) {
        warn("%s", notConnected);
        return -1;
    }
    if (ro->info.type != REDIS_CONN_TCP) {
        warn("TCP_KEEPALIVE is not valid on unix sockets");
        return -1;
    }
    if (!ro->link.ctx || ro->link.ctx->err) {
        return -1;
    }
    return ro->link.ctx->fd;
}

int setKeepAlive(robj *ro, zval *value)
{
    int fd = keepAliveSocket(ro, "Must be connected to set OPT_TCP_KEEPALIVE setting");
    if (fd < 0) {
        return -1;
    }
    int on = zend_is_true(value) ? 1 : 0;
    if (setsockopt(fd, SOL_SOCKET, SO_KEEPALIVE, &on, sizeof on) != 0) {
        return -1;
    }
    if (!on) {
        return 0;
    }
    const int idle = 1, interval = 5, count = 3;
    if (setsockopt(fd, IPPROTO_TCP, TCP_KEEPIDLE, &idle, sizeof idle) != 0 ||
        setsockopt(fd, IPPROTO_TCP, TCP_KEEPINTVL, &interval, sizeof interval) != 0 ||
        setsockopt(fd, IPPROTO_TCP, TCP_KEEPCNT, &count, sizeof count) != 0) {
        return -1;
    }
    return 0;
}

int getKeepAlive(const robj *ro, zval *out)
{
    int fd = keepAliveSocket(ro, "Must be connected to read OPT_TCP_KEEPALIVE setting");
    if (fd < 0) {
        return -1;
    }
    int on = 0;
    socklen_t length = sizeof on;
    if (getsockopt(fd, SOL_SOCKET, SO_KEEPALIVE, &on, &length) != 0) {
        on = 0;
    }
    ZVAL_LONG(out, on ? 1 : 0);
    return 0;
}

int setReadTimeout(robj *ro, zval *value)
{
    double seconds = zval_get_double(value);
    if (!std::isfinite(seconds) || seconds < 0) {
        return -1;
    }
    ro->info.readTimeout = kelvoDoubleToTimeval(seconds);
    if (ro->link.state != KELVO_LINK_NONE && ro->link.ctx) {
        redisSetTimeout(ro->link.ctx, ro->info.readTimeout);
    }
    return 0;
}

int setScan(robj *ro, zval *value)
{
    switch (zval_get_long(value)) {
    case KELVO_SCAN_NORETRY:
        ro->opts.scan &= ~kelvoScanRetry;
        return 0;
    case KELVO_SCAN_RETRY:
        ro->opts.scan |= kelvoScanRetry;
        return 0;
    case KELVO_SCAN_PREFIX:
        ro->opts.scan |= kelvoScanPrefix;
        return 0;
    case KELVO_SCAN_NOPREFIX:
        ro->opts.scan &= ~kelvoScanPrefix;
        return 0;
    default:
        return -1;
    }
}

int setBackoffAlgorithm(robj *ro, zval *value)
{
    zend_long algorithm;
    if (!longInRange(value, 0, kelvoBackoffAlgorithmMax, &algorithm)) {
        warn("Unsupported exponential backoff algorithm");
        return -1;
    }
    ro->opts.retry.backoff.algorithm = uint8_t(algorithm);
    return 0;
}

/* Milliseconds in, microseconds kept: a value whose product would not fit is refused. */
int setBackoffTime(uint64_t *slot, zval *value)
{
    zend_long ms = zval_get_long(value);
    if (ms < 0) {
        warn("Backoff base/cap cannot be negative");
        return -1;
    }
    if (uint64_t(ms) > std::numeric_limits<uint64_t>::max() / 1000) {
        warn("Backoff base/cap is too large");
        return -1;
    }
    *slot = uint64_t(ms) * 1000;
    return 0;
}

int setPhpredisCompatibility(robj *ro, zval *value)
{
    bool on = zend_is_true(value);
    setFlag(&ro->opts.flags, kelvoOptPhpredisCompat, on);
    setFlag(&ro->opts.flags, kelvoOptThrowOnError, !on);
    return 0;
}

int setUseCache(robj *ro, zval *value)
{
    if (zend_is_true(value)) {
        setCacheFlag(ro, kelvoOptUseCache, true);
    } else {
        setCacheFlag(ro, kelvoOptUseCache | kelvoOptClientTracking, false);
    }
    kelvoUpdateLinkKey(ro);
    return 0;
}

int setClientTracking(robj *ro, zval *value)
{
    bool on = zend_is_true(value);
    if (on && !(ro->opts.flags & kelvoOptUseCache)) {
        warn("Must enable OPT_USE_CACHE to enable client tracking");
        return -1;
    }
    setCacheFlag(ro, kelvoOptClientTracking, on);
    kelvoUpdateLinkKey(ro);
    return 0;
}

int setCapaRedirect(robj *ro, zval *value)
{
    bool on = zend_is_true(value);
    if (on && ro->link.state != KELVO_LINK_NONE) {
        warn("Failed to enable redirect capability. Use CLIENT CAPA command instead");
        return -1;
    }
    setFlag(&ro->opts.flags, kelvoOptCapaRedirect, on);
    return 0;
}

/* Options that only switch one flag bit. */
struct FlagOption {
    int32_t id;
    kelvoOptionWord bit;
};

constexpr FlagOption flagOptions[] = {
    {KELVO_OPT_REPLY_LITERAL, kelvoOptReplyLiteral},
    {KELVO_OPT_NULL_MULTIBULK_AS_NULL, kelvoOptNullMultibulkAsNull},
    {KELVO_OPT_PACK_IGNORE_NUMBERS, kelvoOptPackIgnoreNumbers},
    {KELVO_OPT_PHPREDIS_COMPATIBILITY, kelvoOptPhpredisCompat},
    {KELVO_OPT_THROW_ON_ERROR, kelvoOptThrowOnError},
    {KELVO_OPT_CAPA_REDIRECT, kelvoOptCapaRedirect},
    {KELVO_OPT_RESTORE_PUBSUB, kelvoOptRestorePubsub},
};

bool isClusterOption(zend_long id) { return id == 5 || id == 16 || id == 17; }

bool isOptionId(zend_long id) { return (id >= 1 && id <= 17) || (id >= 100 && id <= 110); }

/* The adaptive-cache settings as an array (getOption has no other way to show them). */
void getAdaptiveCache(const kelvoAdaptiveCacheOptions &ac, zval *out)
{
    array_init(out);
    add_assoc_bool(out, "enabled", ac.enabled);
    add_assoc_long(out, "width", ac.width);
    add_assoc_long(out, "depth", ac.depth);
    add_assoc_long(out, "minEvents", ac.minEvents);
    add_assoc_double(out, "minRatio", ac.minRatio);
    add_assoc_string(out, "formula", ac.formula ? "scaled" : "pure");
}

int32_t clampToInt32(zend_long v)
{
    if (v < std::numeric_limits<int32_t>::min()) {
        return std::numeric_limits<int32_t>::min();
    }
    if (v > std::numeric_limits<int32_t>::max()) {
        return std::numeric_limits<int32_t>::max();
    }
    return int32_t(v);
}

/* Ends an open transaction or pipeline; false when the link must be closed instead. */
bool endTransaction(robj *ro)
{
    redisContext *c = ro->link.ctx;
    if (ro->mode & kelvoModePipeline) {
        c->obuf.len = c->obuf.pos;
        ro->mode &= ~(kelvoModeMulti | kelvoModePipeline);
    } else if (ro->mode & kelvoModeMulti) {
        auto *reply = static_cast<kelvoReply *>(redisCommand(c, "DISCARD"));
        if (reply && reply->type == KELVO_REPLY_STATUS) {
            ro->mode &= ~kelvoModeMulti;
            ro->connState &= ~kelvoConnStateWatch; /* DISCARD unwatches too */
        }
        kelvoReplyFree(reply);
    }
    return !(ro->mode & (kelvoModeMulti | kelvoModePipeline));
}

/* Keys left watched would fail the transaction of the link's next user; false when the link must be closed instead. */
bool endWatch(robj *ro)
{
    if (!(ro->connState & kelvoConnStateWatch)) {
        return true;
    }
    auto *reply = static_cast<kelvoReply *>(redisCommand(ro->link.ctx, "UNWATCH"));
    bool unwatched = reply && reply->type == KELVO_REPLY_STATUS;
    kelvoReplyFree(reply);
    if (unwatched) {
        ro->connState &= ~kelvoConnStateWatch;
    }
    return unwatched;
}

/* Process counters of what plain links move (indexes of kelvo_globals.stats). */
constexpr int statBytesReceived = 6;
constexpr int statBytesSent = 7;

/* A plain link's bytes, for the client record that owns its context and for the process. */
void countReceived(void *owner, uint64_t bytes)
{
    static_cast<robj *>(owner)->bytesRecv += bytes;
    KELVO_G(stats)[statBytesReceived] += bytes;
}

void countSent(void *owner, uint64_t bytes)
{
    static_cast<robj *>(owner)->bytesSent += bytes;
    KELVO_G(stats)[statBytesSent] += bytes;
}

} // namespace

robj *kelvoGetObjectZObj(zend_object *object)
{
    kelvoAssert(object != nullptr);
    return recordOf(object);
}

bool kelvoRequireSharedCache(void)
{
    if (kelvoCacheUsable())
        return true;
    php_error_docref(nullptr, E_WARNING, "Method requires Kelvo's in-memory cache be enabled");
    return false;
}

robj *kelvoGetObjectZVal(zval *value)
{
    kelvoAssert(value != nullptr);
    return recordOf(Z_OBJ_P(value));
}

struct timeval kelvoDoubleToTimeval(double seconds)
{
    struct timeval tv = {0, 0};
    if (std::isnan(seconds) || seconds <= 0) {
        return tv;
    }
    if (seconds > 4294967295.0) {
        tv.tv_sec = 4294967295;
        return tv;
    }
    tv.tv_sec = time_t(seconds);
    tv.tv_usec = suseconds_t((seconds - double(tv.tv_sec)) * 1000000.0 + 0.5);
    if (tv.tv_usec >= 1000000) {
        tv.tv_sec += 1;
        tv.tv_usec -= 1000000;
    }
    return tv;
}

double kelvoTimevalToDouble(struct timeval tv) { return double(tv.tv_sec) + double(tv.tv_usec) / 1000000.0; }

void kelvoInitRObj(robj *ro)
{
    memset(ro, 0, offsetof(robj, std));
    ro->info.type = -1;
    ro->opts = kelvoDefaultOptions;
    zend_hash_init(&ro->callbacks, 0, nullptr, kelvoListenerCbDtor, 0);
    zend_hash_init(&ro->channels, 0, nullptr, kelvoFcallContextDtor, 0);
    zend_hash_init(&ro->patterns, 0, nullptr, kelvoFcallContextDtor, 0);
    zend_hash_init(&ro->shardChannels, 0, nullptr, kelvoFcallContextDtor, 0);
}

void kelvoLinkReleaseRObj(robj *ro, int closing)
{
    /* A forked child never writes on the connection it inherited: its parent still talks on it. */
    bool forceClose = closing || ro->link.state < KELVO_LINK_READY || !ro->link.ctx || ro->link.pid != getpid();
    if (!forceClose) {
        forceClose = !endTransaction(ro) || !endWatch(ro) || !kelvoEndSubscriptions(ro);
        /* A link is handed on only with nothing left unread on it. */
        forceClose = forceClose || redisReaderDirty(ro->link.ctx->reader);
    }
    ro->mode &= ~(kelvoModeMulti | kelvoModePipeline | kelvoModeSubscribed);
    /* The SELECTs of a batch that never ran moved the link's database alone: settled first, so that
     * the link goes back on the database its pool keeps it on, where its next user expects it. */
    kelvoFreeCallbacks(ro);
    if (!forceClose && ro->link.db != ro->link.homeDb) {
        forceClose = kelvoSelectDB(&ro->link, &ro->info, ro->link.homeDb, &ro->lastError, ro->opts.flags) != 0;
    }
    kelvoListenersDrop(ro);
    kelvoAdaptiveCacheUnbind(ro);
    if (ro->link.state != KELVO_LINK_NONE || ro->link.key) {
        kelvoLinkRelease(&ro->link, forceClose);
    }
    memset(&ro->link, 0, sizeof ro->link);
    ro->connState = 0;
}

void kelvoReleaseRObj(robj *ro)
{
    kelvoLinkReleaseRObj(ro, 0);
    memset(&ro->link, 0xFE, sizeof ro->link);
    releaseString(&ro->lastError);
    releaseString(&ro->opts.prefix);
    releaseString(&ro->opts.availabilityZone);
    zval_ptr_dtor(&ro->opts.allowPatterns);
    ZVAL_UNDEF(&ro->opts.allowPatterns);
    zval_ptr_dtor(&ro->opts.ignorePatterns);
    ZVAL_UNDEF(&ro->opts.ignorePatterns);
    kelvoRedisInfoRelease(&ro->info);
    kelvoFreeCallbacks(ro);
    kelvoMultiQueueRelease(ro);
    zval_ptr_dtor(&ro->ownEvents);
    ZVAL_UNDEF(&ro->ownEvents);
    kelvoDropHeldPushes(ro);
    zend_hash_destroy(&ro->channels);
    zend_hash_destroy(&ro->patterns);
    zend_hash_destroy(&ro->shardChannels);
    zend_hash_destroy(&ro->callbacks);
}

zend_object *kelvoObjectCtor(zend_class_entry *ce)
{
    auto *ro = static_cast<robj *>(zend_object_alloc(sizeof(robj), ce));
    kelvoInitRObj(ro);
    zend_object_std_init(&ro->std, ce);
    object_properties_init(&ro->std, ce);
    ro->std.handlers = &kelvo_object_handlers;
    kelvoAdaptiveCacheAttachObject(ro);
    return &ro->std;
}

void kelvoObjectDtor(zend_object *object)
{
    /* A user subclass's __destruct runs first, while the object is still whole. */
    zend_objects_destroy_object(object);
    robj *ro = recordOf(object);
    /* The subscriptions are left on the link before their tables go: releasing reads them. */
    if (ro->mode & kelvoModeSubscribed) {
        kelvoLinkReleaseRObj(ro, 0);
    }
    kelvoListenersDrop(ro);
    zend_hash_clean(&ro->channels);
    zend_hash_clean(&ro->patterns);
    zend_hash_clean(&ro->shardChannels);
}

void kelvoObjectFree(zend_object *object)
{
    kelvoReleaseRObj(recordOf(object));
    zend_object_std_dtor(object);
}

zend_object *kelvoObjectClone(zend_object *object)
{
    robj *src = recordOf(object);
    zend_object *copy = kelvoObjectCtor(object->ce);
    if (src->mode & (kelvoModeMulti | kelvoModePipeline)) {
        kelvoThrowException(KELVO_ERR_OTHER, "Cannot clone kelvo object in a pipeline/multi");
        return copy;
    }
    robj *dst = recordOf(copy);
    kelvoOptions &to = dst->opts;
    const kelvoOptions &from = src->opts;
    to.prefix = from.prefix ? zend_string_copy(from.prefix) : nullptr;
    to.serializer = from.serializer;
    to.compression = from.compression;
    ZVAL_COPY(&to.allowPatterns, &from.allowPatterns);
    ZVAL_COPY(&to.ignorePatterns, &from.ignorePatterns);
    to.compressionLevel = from.compressionLevel;
    to.flags = from.flags;
    to.clientInvalidations = from.clientInvalidations;
    to.retry = from.retry;

    dst->info = src->info;
    redisInfo &info = dst->info;
    if (info.type == REDIS_CONN_TCP || info.type == REDIS_CONN_UNIX) {
        zend_string_addref(info.host);
    }
    for (zend_string *s : {info.user, info.pass, info.tls.localCert, info.tls.localPk, info.tls.cafile, info.tls.capath,
                           info.tls.peerName}) {
        if (s) {
            zend_string_addref(s);
        }
    }
    /* User subclasses keep their own properties; __clone runs here too. */
    zend_objects_clone_members(copy, object);
    /* The copy's settings are its own: so is the object that mirrors them. */
    kelvoAdaptiveCacheAttachObject(dst);
    return copy;
}

void kelvoRegisterObjectHandlers(void)
{
    memcpy(&kelvo_object_handlers, &std_object_handlers, sizeof kelvo_object_handlers);
    kelvo_object_handlers.offset = offsetof(robj, std);
    kelvo_object_handlers.free_obj = kelvoObjectFree;
    kelvo_object_handlers.dtor_obj = kelvoObjectDtor;
    kelvo_object_handlers.clone_obj = kelvoObjectClone;
    kelvo_object_handlers.read_property = kelvoSafeReadProperty;
    kelvo_object_handlers.write_property = kelvoSafeWriteProperty;
    kelvo_object_handlers.unset_property = kelvoSafeUnsetProperty;
    kelvo_object_handlers.get_property_ptr_ptr = kelvoSafeGetPropertyPtrPtr;
    kelvo_ce->create_object = kelvoObjectCtor;
    kelvoLinkBytes = {countReceived, countSent};
}

int kelvoSetSerializer(robj *ro, zval *value)
{
    const kelvoSerInfo *ser = kelvoSelectSerializer(zval_get_long(value));
    if (!ser) {
        return -1;
    }
    ro->opts.serializer = ser;
    return 0;
}

int kelvoSetCompression(robj *ro, zval *value)
{
    const kelvoCmpInfo *cmp = kelvoSelectCompressor(zval_get_long(value));
    if (!cmp) {
        return -1;
    }
    ro->opts.compression = cmp;
    return 0;
}

int kelvoSetCompressionLevel(robj *ro, zval *value)
{
    zend_long level;
    if (!longInRange(value, std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max(), &level)) {
        return -1;
    }
    ro->opts.compressionLevel = int32_t(level);
    return 0;
}

int kelvoSetPrefix(robj *ro, zval *value)
{
    setOptionalString(&ro->opts.prefix, value);
    return 0;
}

int kelvoSetAvailabilityZone(robj *ro, zval *value)
{
    setOptionalString(&ro->opts.availabilityZone, value);
    return 0;
}

int kelvoSetMaxRetries(robj *ro, zval *value, bool context)
{
    zend_long retries;
    if (!longInRange(value, 0, std::numeric_limits<int32_t>::max(), &retries)) {
        return context ? 0 : -1;
    }
    ro->opts.retry.maxRetries = int32_t(retries);
    return 0;
}

int kelvoSetClientInvalidations(robj *ro, zval *value)
{
    ro->opts.clientInvalidations = zend_is_true(value) ? 1 : 0;
    return 0;
}

int kelvoSetAdaptiveCacheOptions(robj *ro, zval *value)
{
    kelvoAdaptiveCacheOptions ac = {};
    /* The magnitude of minEvents is taken: INT32_MIN has none that fits. */
    ac.minEvents = std::max(clampToInt32(zend_ini_long(ZEND_STRL("kelvo.adaptive_cache.min_events"), 0)),
                            -std::numeric_limits<int32_t>::max());
    ac.minRatio = zend_ini_double(ZEND_STRL("kelvo.adaptive_cache.min_ratio"), 0);
    if (!(ac.minRatio >= 0)) {
        ac.minRatio = 5.0;
    }
    ac.formula = 1;
    if (Z_TYPE_P(value) != IS_ARRAY) {
        warn("Must pass an array");
        return -1;
    }
    HashTable *ht = Z_ARRVAL_P(value);
    zval *depth = zend_hash_str_find(ht, ZEND_STRL("depth"));
    zval *width = zend_hash_str_find(ht, ZEND_STRL("width"));
    if (depth && width) {
        if (Z_TYPE_P(depth) != IS_LONG || Z_TYPE_P(width) != IS_LONG) {
            warn("'width' and 'depth' must be integers");
            return -1;
        }
        if (Z_LVAL_P(depth) < 1 || Z_LVAL_P(depth) > 8) {
            warn("Depth must be between 1 and %u", 8u);
            return -1;
        }
        if (Z_LVAL_P(width) < 512 || Z_LVAL_P(width) > std::numeric_limits<int32_t>::max()) {
            warn("Width must be between %u and %d", 512u, std::numeric_limits<int32_t>::max());
            return -1;
        }
        ac.depth = uint32_t(Z_LVAL_P(depth));
        ac.width = uint32_t(zend_ulong(1) << (64 - __builtin_clzll(zend_ulong(Z_LVAL_P(width)) - 1)));
        ac.enabled = 1;
    }
    if (zval *minEvents = zend_hash_str_find(ht, ZEND_STRL("minEvents"))) {
        if (Z_TYPE_P(minEvents) != IS_LONG) {
            warn("minEvents must be an integer");
            return -1;
        }
        if (Z_LVAL_P(minEvents) < -std::numeric_limits<int32_t>::max() ||
            Z_LVAL_P(minEvents) > std::numeric_limits<int32_t>::max()) {
            warn("minEvents must be between %d and %d", -std::numeric_limits<int32_t>::max(),
                 std::numeric_limits<int32_t>::max());
            return -1;
        }
        ac.minEvents = int32_t(Z_LVAL_P(minEvents));
    }
    if (zval *formula = zend_hash_str_find(ht, ZEND_STRL("formula"))) {
        bool pure = Z_TYPE_P(formula) == IS_STRING && zend_string_equals_literal_ci(Z_STR_P(formula), "pure");
        bool scaled = Z_TYPE_P(formula) == IS_STRING && zend_string_equals_literal_ci(Z_STR_P(formula), "scaled");
        if (!pure && !scaled) {
            warn("Formula must be 'pure' or 'scaled'");
            return -1;
        }
        ac.formula = scaled ? 1 : 0;
    }
    if (zval *minRatio = zend_hash_str_find(ht, ZEND_STRL("minRatio"))) {
        if (Z_TYPE_P(minRatio) != IS_DOUBLE || !(Z_DVAL_P(minRatio) >= 0.0)) {
            warn("minRatio must be a float and >= 0.0");
            return -1;
        }
        ac.minRatio = Z_DVAL_P(minRatio);
    }
    if (zval *enabled = zend_hash_str_find(ht, ZEND_STRL("enabled"))) {
        ac.enabled = zend_is_true(enabled) ? 1 : 0;
    }
    ro->opts.adaptiveCache = ac;
    kelvoAdaptiveCacheUpdate(ro);
    return 0;
}

kelvoOptionWord kelvoOptionBitOf(zend_long option)
{
    for (const FlagOption &flag : flagOptions) {
        if (flag.id == option) {
            return flag.bit;
        }
    }
    return 0;
}

int kelvoSetOption(robj *ro, zend_long option, zval *value)
{
    if (isClusterOption(option)) {
        warn("Cluster option with constant '" ZEND_LONG_FMT "' is only valid on Kelvo\\Cluster", option);
        return -1;
    }
    if (option == KELVO_OPT_PHPREDIS_COMPATIBILITY) {
        return setPhpredisCompatibility(ro, value);
    }
    if (option == KELVO_OPT_CAPA_REDIRECT) {
        return setCapaRedirect(ro, value);
    }
    if (kelvoOptionWord bit = kelvoOptionBitOf(option)) {
        setFlag(&ro->opts.flags, bit, zend_is_true(value));
        return 0;
    }
    switch (option) {
    case KELVO_OPT_SERIALIZER:
        return kelvoSetSerializer(ro, value);
    case KELVO_OPT_PREFIX:
        return kelvoSetPrefix(ro, value);
    case KELVO_OPT_READ_TIMEOUT:
        return setReadTimeout(ro, value);
    case KELVO_OPT_SCAN:
        return setScan(ro, value);
    case KELVO_OPT_TCP_KEEPALIVE:
        return setKeepAlive(ro, value);
    case KELVO_OPT_COMPRESSION:
        return kelvoSetCompression(ro, value);
    case KELVO_OPT_COMPRESSION_LEVEL:
        return kelvoSetCompressionLevel(ro, value);
    case KELVO_OPT_MAX_RETRIES:
        return kelvoSetMaxRetries(ro, value, false);
    case KELVO_OPT_BACKOFF_ALGORITHM:
        return setBackoffAlgorithm(ro, value);
    case KELVO_OPT_BACKOFF_BASE:
        return setBackoffTime(&ro->opts.retry.backoff.base, value);
    case KELVO_OPT_BACKOFF_CAP:
        return setBackoffTime(&ro->opts.retry.backoff.cap, value);
    case KELVO_OPT_CLIENT_INVALIDATIONS:
        return kelvoSetClientInvalidations(ro, value);
    case KELVO_OPT_ALLOW_PATTERNS:
        return setPatterns(&ro->opts.allowPatterns, value, "Allowed");
    case KELVO_OPT_IGNORE_PATTERNS:
        return setPatterns(&ro->opts.ignorePatterns, value, "Ignored");
    case KELVO_OPT_USE_CACHE:
        return setUseCache(ro, value);
    case KELVO_OPT_CLIENT_TRACKING:
        return setClientTracking(ro, value);
    case KELVO_OPT_ADAPTIVE_CACHE:
        return kelvoSetAdaptiveCacheOptions(ro, value);
    case KELVO_OPT_AVAILABILITY_ZONE:
        return kelvoSetAvailabilityZone(ro, value);
    default:
        return -1;
    }
}

int kelvoGetOption(robj *ro, zend_long option, zval *out)
{
    if (!isOptionId(option)) {
        return -1;
    }
    if (isClusterOption(option)) {
        warn("Cluster option with constant '" ZEND_LONG_FMT "' is only valid on Kelvo\\Cluster", option);
        return -1;
    }
    if (kelvoOptionWord bit = kelvoOptionBitOf(option)) {
        ZVAL_BOOL(out, ro->opts.flags & bit);
        return 0;
    }
    const kelvoOptions &o = ro->opts;
    switch (option) {
    case KELVO_OPT_SERIALIZER:
        ZVAL_LONG(out, zend_long(o.serializer->id));
        return 0;
    case KELVO_OPT_PREFIX:
        getOptionalString(o.prefix, out);
        return 0;
    case KELVO_OPT_READ_TIMEOUT:
        ZVAL_DOUBLE(out, kelvoTimevalToDouble(ro->info.readTimeout));
        return 0;
    case KELVO_OPT_SCAN:
        ZVAL_LONG(out, o.scan);
        return 0;
    case KELVO_OPT_TCP_KEEPALIVE:
        return getKeepAlive(ro, out);
    case KELVO_OPT_COMPRESSION:
        ZVAL_LONG(out, zend_long(o.compression->id));
        return 0;
    case KELVO_OPT_COMPRESSION_LEVEL:
        ZVAL_LONG(out, o.compressionLevel);
        return 0;
    case KELVO_OPT_MAX_RETRIES:
        ZVAL_LONG(out, o.retry.maxRetries);
        return 0;
    case KELVO_OPT_BACKOFF_ALGORITHM:
        ZVAL_LONG(out, o.retry.backoff.algorithm);
        return 0;
    case KELVO_OPT_BACKOFF_BASE:
        ZVAL_LONG(out, zend_long(o.retry.backoff.base / 1000));
        return 0;
    case KELVO_OPT_BACKOFF_CAP:
        ZVAL_LONG(out, zend_long(o.retry.backoff.cap / 1000));
        return 0;
    case KELVO_OPT_CLIENT_INVALIDATIONS:
        ZVAL_BOOL(out, o.clientInvalidations);
        return 0;
    case KELVO_OPT_ALLOW_PATTERNS:
        getPatterns(&o.allowPatterns, out);
        return 0;
    case KELVO_OPT_IGNORE_PATTERNS:
        getPatterns(&o.ignorePatterns, out);
        return 0;
    case KELVO_OPT_USE_CACHE:
    case KELVO_OPT_CLIENT_TRACKING:
        if (ro->link.state == KELVO_LINK_NONE) {
            warn(option == KELVO_OPT_USE_CACHE ? "Must be connected to read OPT_USE_CACHE setting"
                                               : "Must be connected to read OPT_CLIENT_TRACKING setting");
            return -1;
        }
        ZVAL_BOOL(out, ro->info.flags & (option == KELVO_OPT_USE_CACHE ? kelvoOptUseCache : kelvoOptClientTracking));
        return 0;
    case KELVO_OPT_ADAPTIVE_CACHE:
        getAdaptiveCache(o.adaptiveCache, out);
        return 0;
    case KELVO_OPT_AVAILABILITY_ZONE:
        getOptionalString(o.availabilityZone, out);
        return 0;
    default:
        return -1;
    }
}

void kelvoUpdateLinkKey(robj *ro)
{
    if (!ro->link.key) {
        return;
    }
    zend_string *key = redisInfoGetUriZStr(&ro->info);
    if (zend_string_equals(key, ro->link.key)) {
        zend_string_release(key);
        return;
    }
    if (ro->link.persistent) {
        /* Pooled links are keyed by identity and secrets: one logged in anew would serve the wrong ones. */
        zend_string_release(key);
        kelvoLinkReleaseRObj(ro, 1);
        return;
    }
    /* Listeners hear the endpoint they were registered for, which this link no longer is. */
    kelvoListenersDrop(ro);
    /* Cached database sets are attached by the cache engine; without use-cache the endpoint goes. */
    if (!(ro->info.flags & kelvoOptUseCache)) {
        ro->link.ep = nullptr;
    }
    zend_string_release(ro->link.key);
    ro->link.key = key;
    ro->link.id =
        kelvoLinkIdentityHash(ZSTR_VAL(key), ZSTR_LEN(key), kelvoSharedData ? kelvoSharedData->cache.seed : 0);
}

zend_string *kelvoPrefixKeyZStr(zend_string *key, zend_string *prefix)
{
    if (!prefix || ZSTR_LEN(prefix) == 0) {
        return zend_string_copy(key);
    }
    return zend_string_concat2(ZSTR_VAL(prefix), ZSTR_LEN(prefix), ZSTR_VAL(key), ZSTR_LEN(key));
}

bool kelvoIsCacheEnabled(const robj *ro)
{
    kelvoAssert(ro->link.state >= KELVO_LINK_CONNECTED);
    return kelvoCfgVals.maxmemory > 0 && (ro->info.flags & kelvoOptUseCache);
}

/* ---- Local methods -------------------------------------------------------------------- */

namespace {

robj *thisRecord(zend_execute_data *execute_data) { return kelvoGetObjectZVal(ZEND_THIS); }

/* The methods that need an open link say so the same way. */
bool requireLink(const robj *ro, int code, const char *message)
{
    if (ro->link.state != KELVO_LINK_NONE) {
        return true;
    }
    kelvoThrowException(code, message);
    return false;
}

kelvoPackOptions packOptions(const robj *ro) { return kelvoPackOptionsOf(ro->opts); }

void addPatternsMethod(INTERNAL_FUNCTION_PARAMETERS, bool allow)
{
    zval *args = nullptr;
    uint32_t count = 0;
    ZEND_PARSE_PARAMETERS_START(0, -1)
    Z_PARAM_VARIADIC('*', args, count)
    ZEND_PARSE_PARAMETERS_END();
    for (uint32_t i = 0; i < count; i++) {
        zend_string *unused;
        if (!zend_parse_arg_str(&args[i], &unused, false, i + 1)) {
            zend_argument_type_error(i + 1, "must be of type string, %s given", zend_zval_type_name(&args[i]));
            return;
        }
    }
    robj *ro = thisRecord(execute_data);
    RETURN_LONG(addPatterns(allow ? &ro->opts.allowPatterns : &ro->opts.ignorePatterns, args, count));
}

zend_long sharedArenaSize() { return kelvoCacheUsable() ? zend_long(kelvoShSize()) : 0; }

} // namespace

extern "C" {

ZEND_METHOD(Kelvo_Kelvo, setOption)
{
    zend_long option;
    zval *value;
    ZEND_PARSE_PARAMETERS_START(2, 2)
    Z_PARAM_LONG(option)
    Z_PARAM_ZVAL(value)
    ZEND_PARSE_PARAMETERS_END();
    int rc = kelvoSetOption(thisRecord(execute_data), option, value);
    if (EG(exception)) {
        return;
    }
    RETURN_BOOL(rc == 0);
}

ZEND_METHOD(Kelvo_Kelvo, getOption)
{
    zend_long option;
    ZEND_PARSE_PARAMETERS_START(1, 1)
    Z_PARAM_LONG(option)
    ZEND_PARSE_PARAMETERS_END();
    if (kelvoGetOption(thisRecord(execute_data), option, return_value) != 0) {
        RETURN_FALSE;
    }
}

ZEND_METHOD(Kelvo_Kelvo, option)
{
    zend_long option;
    zval *value = nullptr;
    ZEND_PARSE_PARAMETERS_START(1, 2)
    Z_PARAM_LONG(option)
    Z_PARAM_OPTIONAL
    Z_PARAM_ZVAL(value)
    ZEND_PARSE_PARAMETERS_END();
    robj *ro = thisRecord(execute_data);
    if (!value || Z_TYPE_P(value) == IS_NULL) {
        if (kelvoGetOption(ro, option, return_value) != 0) {
            RETURN_FALSE;
        }
        return;
    }
    int rc = kelvoSetOption(ro, option, value);
    if (EG(exception)) {
        return;
    }
    RETURN_BOOL(rc == 0);
}

ZEND_METHOD(Kelvo_Kelvo, getLastError)
{
    ZEND_PARSE_PARAMETERS_NONE();
    robj *ro = thisRecord(execute_data);
    if (!ro->lastError) {
        RETURN_NULL();
    }
    RETURN_STR_COPY(ro->lastError);
}

ZEND_METHOD(Kelvo_Kelvo, clearLastError)
{
    ZEND_PARSE_PARAMETERS_NONE();
    releaseString(&thisRecord(execute_data)->lastError);
    RETURN_TRUE;
}

ZEND_METHOD(Kelvo_Kelvo, isConnected)
{
    ZEND_PARSE_PARAMETERS_NONE();
    RETURN_BOOL(thisRecord(execute_data)->link.state != KELVO_LINK_NONE);
}

ZEND_METHOD(Kelvo_Kelvo, getDbNum)
{
    ZEND_PARSE_PARAMETERS_NONE();
    robj *ro = thisRecord(execute_data);
    if (!requireLink(ro, KELVO_ERR_IO, "Not connected")) {
        return;
    }
    RETURN_LONG(ro->link.db);
}

ZEND_METHOD(Kelvo_Kelvo, getBytes)
{
    ZEND_PARSE_PARAMETERS_NONE();
    robj *ro = thisRecord(execute_data);
    if (!requireLink(ro, KELVO_ERR_IO, "Not connected")) {
        return;
    }
    array_init_size(return_value, 2);
    add_next_index_long(return_value, zend_long(ro->bytesSent));
    add_next_index_long(return_value, zend_long(ro->bytesRecv));
}

ZEND_METHOD(Kelvo_Kelvo, clearBytes)
{
    ZEND_PARSE_PARAMETERS_NONE();
    robj *ro = thisRecord(execute_data);
    if (!requireLink(ro, KELVO_ERR_IO, "Not connected")) {
        return;
    }
    ro->bytesSent = ro->bytesRecv = 0;
}

ZEND_METHOD(Kelvo_Kelvo, getMode)
{
    bool masked = false;
    ZEND_PARSE_PARAMETERS_START(0, 1)
    Z_PARAM_OPTIONAL
    Z_PARAM_BOOL(masked)
    ZEND_PARSE_PARAMETERS_END();
    robj *ro = thisRecord(execute_data);
    if (!requireLink(ro, KELVO_ERR_OTHER, "Must be connected to get mode")) {
        return;
    }
    if (masked) {
        RETURN_LONG(zend_long(ro->mode));
    }
    if (ro->mode & kelvoModePipeline) {
        RETURN_LONG(kelvoModePipeline);
    }
    RETURN_LONG((ro->mode & kelvoModeMulti) ? kelvoModeMulti : kelvoModeAtomic);
}

ZEND_METHOD(Kelvo_Kelvo, _serialize)
{
    zval *value;
    ZEND_PARSE_PARAMETERS_START(1, 1)
    Z_PARAM_ZVAL(value)
    ZEND_PARSE_PARAMETERS_END();
    kelvoPackOptions opts = packOptions(thisRecord(execute_data));
    zend_string *bytes = opts.serializer->serializeFn(value, &opts);
    if (EG(exception)) {
        if (bytes) {
            zend_string_release(bytes);
        }
        return;
    }
    RETURN_STR(bytes ? bytes : ZSTR_EMPTY_ALLOC());
}

ZEND_METHOD(Kelvo_Kelvo, _unserialize)
{
    zval *arg;
    ZEND_PARSE_PARAMETERS_START(1, 1)
    Z_PARAM_ZVAL(arg)
    ZEND_PARSE_PARAMETERS_END();
    zend_string *value = zval_get_string(arg);
    const kelvoSerInfo *ser = thisRecord(execute_data)->opts.serializer;
    if (ser->unserializeFn && ser->unserializeFn(return_value, ZSTR_VAL(value), ZSTR_LEN(value))) {
        zend_string_release(value);
        return;
    }
    zval_ptr_dtor(return_value);
    RETURN_STR(value);
}

ZEND_METHOD(Kelvo_Kelvo, _compress)
{
    zend_string *value;
    ZEND_PARSE_PARAMETERS_START(1, 1)
    Z_PARAM_STR(value)
    ZEND_PARSE_PARAMETERS_END();
    const kelvoOptions &opts = thisRecord(execute_data)->opts;
    if (opts.compression->compressFn) {
        if (zend_string *out = opts.compression->compressFn(value, opts.compressionLevel)) {
            RETURN_STR(out);
        }
    }
    RETURN_STR_COPY(value);
}

ZEND_METHOD(Kelvo_Kelvo, _uncompress)
{
    zend_string *value;
    ZEND_PARSE_PARAMETERS_START(1, 1)
    Z_PARAM_STR(value)
    ZEND_PARSE_PARAMETERS_END();
    const kelvoCmpInfo *cmp = thisRecord(execute_data)->opts.compression;
    if (ZSTR_LEN(value) == 0 || !cmp->uncompressFn) {
        RETURN_STR_COPY(value);
    }
    zend_string *out = cmp->uncompressFn(ZSTR_VAL(value), ZSTR_LEN(value));
    if (!out) {
        kelvoThrowException(KELVO_ERR_OTHER, "Invalid compressed data or uncompression error");
        return;
    }
    RETURN_STR(out);
}

ZEND_METHOD(Kelvo_Kelvo, _pack)
{
    zval *value;
    ZEND_PARSE_PARAMETERS_START(1, 1)
    Z_PARAM_ZVAL(value)
    ZEND_PARSE_PARAMETERS_END();
    kelvoPackOptions opts = packOptions(thisRecord(execute_data));
    kelvoPackResult packed;
    kelvoPackTmp(&packed, &opts, value);
    zend_string *bytes =
        packed.tmp ? zend_string_copy(packed.tmp) : zend_string_init(ZSTR_VAL(packed.str), ZSTR_LEN(packed.str), 0);
    kelvoPackRelease(&packed);
    if (EG(exception)) {
        zend_string_release(bytes);
        return;
    }
    RETURN_STR(bytes);
}

ZEND_METHOD(Kelvo_Kelvo, _unpack)
{
    zval *arg;
    ZEND_PARSE_PARAMETERS_START(1, 1)
    Z_PARAM_ZVAL(arg)
    ZEND_PARSE_PARAMETERS_END();
    zend_string *value = zval_get_string(arg);
    kelvoPackOptions opts = packOptions(thisRecord(execute_data));
    kelvoUnpackEx(&opts, return_value, ZSTR_VAL(value), ZSTR_LEN(value), value);
    zend_string_release(value);
}

ZEND_METHOD(Kelvo_Kelvo, _digest)
{
    zval *value;
    ZEND_PARSE_PARAMETERS_START(1, 1)
    Z_PARAM_ZVAL(value)
    ZEND_PARSE_PARAMETERS_END();
    kelvoPackOptions opts = packOptions(thisRecord(execute_data));
    zend_string *digest = kelvoDigest(&opts, value);
    if (EG(exception)) {
        zend_string_release(digest);
        return;
    }
    RETURN_STR(digest);
}

ZEND_METHOD(Kelvo_Kelvo, _prefix)
{
    zval *arg;
    ZEND_PARSE_PARAMETERS_START(1, 1)
    Z_PARAM_ZVAL(arg)
    ZEND_PARSE_PARAMETERS_END();
    zend_string *value = zval_get_string(arg);
    RETVAL_STR(kelvoPrefixKeyZStr(value, thisRecord(execute_data)->opts.prefix));
    zend_string_release(value);
}

ZEND_METHOD(Kelvo_Kelvo, addAllowPatterns) { addPatternsMethod(INTERNAL_FUNCTION_PARAM_PASSTHRU, true); }

ZEND_METHOD(Kelvo_Kelvo, addIgnorePatterns) { addPatternsMethod(INTERNAL_FUNCTION_PARAM_PASSTHRU, false); }

ZEND_METHOD(Kelvo_Kelvo, maxMemory)
{
    ZEND_PARSE_PARAMETERS_NONE();
    RETURN_LONG(sharedArenaSize());
}

ZEND_METHOD(Kelvo_Kelvo, memory)
{
    ZEND_PARSE_PARAMETERS_NONE();
    RETURN_LONG(sharedArenaSize());
}

namespace {

uint64_t wallMicros()
{
    struct timespec ts;
    clock_gettime(CLOCK_REALTIME, &ts);
    return uint64_t(ts.tv_sec) * 1000000u + uint64_t(ts.tv_nsec) / 1000u;
}

/* The checks flushMemory and lastMemoryFlush share: the cache on, the database in range, an epoch record. */
bool flushArgumentsUsable(zend_long db)
{
    if (db < -1 || db > zend_long(kelvoCfgVals.databases) - 1) {
        warn("Database number " ZEND_LONG_FMT " is invalid (valid: -1 - %u)", db, kelvoCfgVals.databases - 1);
        return false;
    }
    if (kelvoGlobalEpochInit() != 0) {
        warn("Failed to retrieve read record (possible OOM)");
        return false;
    }
    return true;
}

kelvoEndpoint *namedEndpoint(const zend_string *endpointId)
{
    kelvoEndpoint *ep = kelvoEndpointGetEx(ZSTR_VAL(endpointId), ZSTR_LEN(endpointId));
    if (!ep) {
        warn("Unknown endpoint '%s'", ZSTR_VAL(endpointId));
    }
    return ep;
}

void flushWholeEndpoint(kelvoEndpoint *ep, void *) { kelvoEndpointFlushEx(ep, -1); }

/* Flushes one endpoint's database (or all), or every endpoint; stamps the flush time. 0, or -1 after a warning. */
int kelvoFlushMemory(const zend_string *endpointId, zend_long db)
{
    uint64_t now = wallMicros();
    if (endpointId) {
        kelvoEndpoint *ep = namedEndpoint(endpointId);
        if (!ep) {
            return -1;
        }
        kelvoEndpointFlushEx(ep, int32_t(db));
        __atomic_store_n(db < 0 ? &ep->last_flush : &ep->db_last_flush[db], now, __ATOMIC_RELEASE);
        return 0;
    }
    /* Every endpoint in all its databases: the database number is checked, not applied. */
    kelvoGlobalEpochBegin();
    kelvoEndpointForEach(flushWholeEndpoint, nullptr);
    kelvoGlobalEpochEnd();
    __atomic_store_n(&kelvoSharedData->tables.memory_flush_time, now, __ATOMIC_RELEASE);
    return 0;
}

} // namespace

ZEND_METHOD(Kelvo_Kelvo, flushMemory)
{
    if (!kelvoRequireSharedCache()) {
        RETURN_FALSE;
    }
    zend_string *endpointId = nullptr;
    zend_long db = -1;
    bool dbNull = true;
    ZEND_PARSE_PARAMETERS_START(0, 2)
    Z_PARAM_OPTIONAL
    Z_PARAM_STR_OR_NULL(endpointId)
    Z_PARAM_LONG_OR_NULL(db, dbNull)
    ZEND_PARSE_PARAMETERS_END();
    if (dbNull) {
        db = -1;
    }
    if (!flushArgumentsUsable(db)) {
        RETURN_FALSE;
    }
    RETURN_BOOL(kelvoFlushMemory(endpointId, db) == 0);
}

ZEND_METHOD(Kelvo_Kelvo, lastMemoryFlush)
{
    zend_string *endpointId = nullptr;
    zend_long db = -1;
    bool dbNull = true;
    ZEND_PARSE_PARAMETERS_START(0, 2)
    Z_PARAM_OPTIONAL
    Z_PARAM_STR_OR_NULL(endpointId)
    Z_PARAM_LONG_OR_NULL(db, dbNull)
    ZEND_PARSE_PARAMETERS_END();
    if (dbNull) {
        db = -1;
    }
    if (!kelvoRequireSharedCache()) {
        RETURN_FALSE;
    }
    if (!flushArgumentsUsable(db)) {
        RETURN_FALSE;
    }
    uint64_t flushed = 0;
    if (endpointId) {
        kelvoEndpoint *ep = namedEndpoint(endpointId);
        if (!ep) {
            RETURN_FALSE;
        }
        flushed = __atomic_load_n(&ep->last_flush, __ATOMIC_ACQUIRE);
        if (db >= 0) {
            flushed = std::max(flushed, __atomic_load_n(&ep->db_last_flush[db], __ATOMIC_ACQUIRE));
        }
    }
    flushed = std::max(flushed, __atomic_load_n(&kelvoSharedData->tables.memory_flush_time, __ATOMIC_ACQUIRE));
    RETURN_DOUBLE(double(flushed) / 1e6);
}

} // extern "C"

kelvoClientCommandHooks kelvoClientCommands;

void kelvoFreeCallbacks(robj *ro) { kelvoClientCommands.abandonBatch(ro); }

void kelvoMultiQueueRelease(robj *ro) { kelvoClientCommands.releaseQueue(ro); }
