/* The "kelvo" session save handler: shards, data, compression and the session lock. */
#include "session/session.h"

#include "client/client.h"
#include "client/connection.h"
#include "client/object.h"
#include "commands/commands.h"
#include "pack/pack.h"
#include "runtime/cfgvals.h"
#include "runtime/errors.h"
#include "runtime/exception.h"

extern "C" {
#include "SAPI.h"
#include "ext/session/php_session.h"
#include "ext/standard/php_versioning.h"
#include "ext/standard/url.h"
#include "php_variables.h"
#include "zend_exceptions.h"
}

#include <strings.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cinttypes>
#include <cstring>
#include <ctime>

#include <unistd.h>

zend_string *sessionKeywords[KELVO_SKW_COUNT];

namespace {

constexpr const char *sessionKeywordNames[KELVO_SKW_COUNT] = {
    "DEL", "DELEX", "DELIFEQ", "EVAL", "EVALSHA", "EXISTS", "EXPIRE", "GET", "SET",
};

/* Compare-and-delete for servers without a native conditional delete, and its SHA1. */
constexpr char lockReleaseScript[] =
    "if redis.call(\"get\",KEYS[1]) == ARGV[1] then return redis.call(\"del\",KEYS[1]) else return 0 end";
constexpr char lockReleaseDigest[] = "b70c2384248f88e6b75b9f89241a180f856ad852";
static_assert(sizeof lockReleaseScript - 1 == 95, "the script the digest was taken of");

/* Longest expiry sent: SET EX and EXPIRE take seconds the server turns into milliseconds. */
constexpr zend_long maxExpirySeconds = INT_MAX;
constexpr zend_long defaultLifetime = 1440;
constexpr zend_long defaultLockRetries = 100;
constexpr zend_long defaultLockWaitMicros = 20000;
/* A server that keeps answering "exists" to fresh ids must not hold the request forever. */
constexpr int maxCreateAttempts = 100;

struct kelvoSessionShard {
    zend_long weight;
    zval client;
};

struct kelvoSession {
    int64_t lockStart;    /* real-time microseconds when the lock was requested; 0: none */
    zend_string *lockKey; /* set while this request holds the lock */
    kelvoSessionShard **shards;
    uint64_t count;
    uint64_t totalWeight;
    bool locking; /* decided when the session is read */
};

robj *shardClient(kelvoSessionShard *shard) { return kelvoGetObjectZVal(&shard->client); }

/* Reported to PHP code as an exception; at request end, with no PHP code to catch it, as a warning. */
bool userCodeRunning()
{
    for (zend_execute_data *ex = EG(current_execute_data); ex; ex = ex->prev_execute_data) {
        if (ex->func && ZEND_USER_CODE(ex->func->type))
            return true;
    }
    return false;
}

void raiseSessionError(const char *message)
{
    if (userCodeRunning())
        kelvoThrowException(KELVO_ERR_OTHER, message);
    else
        php_error_docref(nullptr, E_WARNING, "%s", message);
}

/*
 * Keeps an exception the handler raised earlier in the same session call (a failed write before
 * close) out of the way of the commands that follow, which clear or test what is pending, and
 * puts it back afterwards, under any exception raised meanwhile. Only inside an internal call.
 */
class PendingException {
  public:
    PendingException() : held(EG(exception)) { EG(exception) = nullptr; }
    ~PendingException()
    {
        if (!held)
            return;
        if (EG(exception))
            zend_exception_set_previous(EG(exception), held);
        else
            EG(exception) = held;
    }
    PendingException(const PendingException &) = delete;
    PendingException &operator=(const PendingException &) = delete;

  private:
    zend_object *held;
};

/* ---- settings ------------------------------------------------------------------------------- */

zend_long iniLong(const char *name) { return zend_ini_long(const_cast<char *>(name), strlen(name), 0); }

/* A lifetime the server accepts and that never deletes the key: 0 or less is the default. */
zend_long sessionLifetime(zend_long seconds)
{
    if (seconds <= 0) {
        php_error_docref(nullptr, E_NOTICE, "session.gc_maxlifetime is " ZEND_LONG_FMT ", using %d seconds", seconds,
                         int(defaultLifetime));
        return defaultLifetime;
    }
    if (seconds > maxExpirySeconds) {
        php_error_docref(nullptr, E_NOTICE, "session.gc_maxlifetime is " ZEND_LONG_FMT ", using %d seconds", seconds,
                         int(maxExpirySeconds));
        return maxExpirySeconds;
    }
    return seconds;
}

const kelvoCmpInfo *sessionCompressionInfo()
{
    const char *name = zend_ini_string_ex(const_cast<char *>("kelvo.session.compression"),
                                          sizeof "kelvo.session.compression" - 1, 0, nullptr);
    if (!name || !*name || strcasecmp(name, "none") == 0)
        return nullptr;
    if (strcasecmp(name, "lzf") == 0)
        return &kelvoLZFCmpInfo;
    const kelvoCmpInfo *cmp = strcasecmp(name, "lz4") == 0    ? &kelvoLZ4CmpInfo
                              : strcasecmp(name, "zstd") == 0 ? &kelvoZSTDCmpInfo
                                                              : nullptr;
    if (!cmp) {
        php_error_docref(nullptr, E_WARNING, "Unknown session compression type '%s', using 'none'", name);
        return nullptr;
    }
    if (!kelvoCompressorAvailable(cmp)) {
        php_error_docref(nullptr, E_WARNING, "Session compression type '%d' is unavailable, using 'none'",
                         int(cmp->id));
        return nullptr;
    }
    return cmp;
}

/* ---- commands ------------------------------------------------------------------------------- */

/*
 * One session command through the raw command path. Its errors are recorded as the shard's last
 * error, never thrown, whatever the save path asked for: the handler reports its own failure.
 */
int sessionCommand(zval *rv, robj *ro, kelvoSessionKeyword kw, zval *args, int argc)
{
    ZVAL_UNDEF(rv);
    PendingException pending;
    int rc = kelvoRawCommand(rv, ro, sessionKeywords[kw], args, argc);
    if (EG(exception)) {
        zval tmp;
        zend_string *message = zval_get_string(
            zend_read_property_ex(zend_ce_exception, EG(exception), ZSTR_KNOWN(ZEND_STR_MESSAGE), 1, &tmp));
        kelvoSetLastError(&ro->lastError, ZSTR_VAL(message), ZSTR_LEN(message));
        zend_string_release(message);
        zend_clear_exception();
        zval_ptr_dtor(rv);
        ZVAL_FALSE(rv);
        rc = -1;
    }
    return rc;
}

/* A command whose reply is read once: its arguments released, its value left in `rv`. */
template <size_t N>
int sessionCommandArgs(zval *rv, robj *ro, kelvoSessionKeyword kw, zval (&args)[N])
{
    int rc = sessionCommand(rv, ro, kw, args, int(N));
    for (zval &arg : args)
        zval_ptr_dtor(&arg);
    return rc;
}

/* Warns with the shard's last error when a command failed on it. */
void shardCommandFailure(const char *what, robj *ro)
{
    if (ro->lastError)
        php_error_docref(nullptr, E_WARNING, "Session %s failed: %s", what, ZSTR_VAL(ro->lastError));
}

/* ---- shards --------------------------------------------------------------------------------- */

void shardFailureDocref(size_t index, robj *ro)
{
    char uri[256];
    redisInfoGetUri(&ro->info, uri, sizeof uri);
    php_error_docref(nullptr, E_WARNING, "Failed to attach - shard: %zu, uri: '%s'", index, uri);
}

/* The ready client of the key's shard, or null (after a warning when the shard cannot be reached). */
robj *kelvoSessionShardRObj(kelvoSession *session, const char *key, size_t len)
{
    if (!session || session->totalWeight == 0)
        return nullptr;
    unsigned char head[4] = {0, 0, 0, 0};
    memcpy(head, key, std::min(len, sizeof head));
    uint64_t point = (uint64_t(head[0]) | uint64_t(head[1]) << 8 | uint64_t(head[2]) << 16 | uint64_t(head[3]) << 24) %
                     session->totalWeight;
    uint64_t sum = 0;
    for (uint64_t i = 0; i < session->count; i++) {
        kelvoSessionShard *shard = session->shards[i];
        if (point < sum + uint64_t(shard->weight)) {
            robj *ro = shardClient(shard);
            int rc;
            {
                PendingException pending; /* a quiet sync clears whatever is pending */
                rc = kelvoSyncObject(ro, KELVO_LINK_READY, true);
            }
            if (rc != 0) {
                shardFailureDocref(i, ro);
                return nullptr;
            }
            return ro;
        }
        sum += uint64_t(shard->weight);
    }
    return nullptr;
}

robj *shardOf(kelvoSession *session, zend_string *id)
{
    return kelvoSessionShardRObj(session, ZSTR_VAL(id), ZSTR_LEN(id));
}

void kelvoSessionDtor(kelvoSession *session)
{
    if (session->lockKey)
        zend_string_release(session->lockKey);
    session->lockKey = nullptr;
    session->lockStart = 0;
    for (uint64_t i = 0; i < session->count; i++) {
        zval_ptr_dtor(&session->shards[i]->client);
        efree(session->shards[i]);
    }
    if (session->shards)
        efree(session->shards);
    efree(session);
}

void throwSavePathError(const char *item)
{
    char message[256];
    snprintf(message, sizeof message, "Failed to parse save_path '%s'", item);
    kelvoThrowException(KELVO_ERR_CONFIG, message);
}

bool keyIs(zend_string *key, const char *name)
{
    return ZSTR_LEN(key) == strlen(name) && strncasecmp(ZSTR_VAL(key), name, ZSTR_LEN(key)) == 0;
}

/* A numeric query value as the number it spells; any other value as it is. */
void numericValue(zval *dst, zval *value)
{
    zend_long l;
    double d;
    if (Z_TYPE_P(value) == IS_STRING) {
        switch (is_numeric_string(Z_STRVAL_P(value), Z_STRLEN_P(value), &l, &d, false)) {
        case IS_LONG:
            ZVAL_LONG(dst, l);
            return;
        case IS_DOUBLE:
            ZVAL_DOUBLE(dst, d);
            return;
        default:
            break;
        }
    }
    ZVAL_COPY(dst, value);
}

/*
 * The query's connection keys in the connect-option parser's spelling, their numeric texts as
 * numbers (a query carries only strings); the other keys are left to the context options.
 */
void connectionKeys(HashTable *dst, HashTable *query)
{
    static const struct {
        const char *from;
        const char *to;
    } renames[] = {
        {"weight", "weight"},
        {"port", "port"},
        {"timeout", "connectTimeout"},
        {"connect_timeout", "connectTimeout"},
        {"connectTimeout", "connectTimeout"},
        {"read_timeout", "readTimeout"},
        {"readTimeout", "readTimeout"},
        {"retry_interval", "retryInterval"},
        {"retryInterval", "retryInterval"},
        {"auth", "auth"},
    };
    zend_string *key;
    zval *value;
    ZEND_HASH_FOREACH_STR_KEY_VAL(query, key, value)
    {
        if (!key)
            continue;
        for (const auto &r : renames) {
            if (keyIs(key, r.from)) {
                zval copy;
                if (strcmp(r.to, "auth") == 0)
                    ZVAL_COPY(&copy, value);
                else
                    numericValue(&copy, value);
                zend_hash_str_update(dst, r.to, strlen(r.to), &copy);
                break;
            }
        }
    }
    ZEND_HASH_FOREACH_END();
}

/* The query's database: 0 when absent; -1 with a ValueError for anything but a number in range. */
int queryDatabase(HashTable *query, uint32_t *db)
{
    zend_string *key;
    zval *value;
    ZEND_HASH_FOREACH_STR_KEY_VAL(query, key, value)
    {
        if (!key || !keyIs(key, "database"))
            continue;
        zval number;
        numericValue(&number, value);
        bool ok = Z_TYPE(number) == IS_LONG && Z_LVAL(number) >= 0 && Z_LVAL(number) <= kelvoMaxDatabase;
        if (!ok) {
            zval_ptr_dtor(&number);
            zend_value_error("Database must be between 0 and " ZEND_LONG_FMT, kelvoMaxDatabase);
            return -1;
        }
        *db = uint32_t(Z_LVAL(number));
    }
    ZEND_HASH_FOREACH_END();
    return 0;
}

/* Builds one shard from a save-path item; -1 with an exception pending. */
int addShardFromUrl(kelvoSession *session, const char *item, php_url *url, HashTable *query)
{
    kelvoConnectOptions opts = {};
    opts.weight = 1;
    HashTable *conn = zend_new_array(4);
    if (query)
        connectionKeys(conn, query);
    int rc = kelvoConnectOptionsFromHT(&opts, conn);
    uint32_t db = 0;
    if (rc == 0 && query)
        rc = queryDatabase(query, &db);
    zend_long weight = opts.weight;
    if (rc == 0 && session->totalWeight + uint64_t(weight) > uint64_t(ZEND_LONG_MAX)) {
        zend_value_error("Weight must be numeric and >= 1");
        rc = -1;
    }
    if (rc != 0) {
        kelvoConnectOptionsRelease(&opts);
        zend_array_destroy(conn);
        return -1;
    }

    /* The server: a host (scheme, host and port), else a socket path, else a bare host name. */
    zend_string *server;
    zend_long port = -1;
    if (url->host) {
        const char *scheme = url->scheme ? ZSTR_VAL(url->scheme) : "tcp";
        server = zend_strpprintf(0, "%s://%s", scheme, ZSTR_VAL(url->host));
        if (url->port)
            port = url->port;
    } else if (url->path && ZSTR_VAL(url->path)[0] == '/') {
        server = zend_string_copy(url->path);
        port = 0;
    } else if (url->path && ZSTR_LEN(url->path) > 0) {
        /* "127.0.0.1" or "localhost" alone is a host, never a socket path. */
        server = zend_strpprintf(0, "tcp://%s", ZSTR_VAL(url->path));
    } else {
        kelvoConnectOptionsRelease(&opts);
        zend_array_destroy(conn);
        throwSavePathError(item);
        return -1;
    }

    auto *shard = static_cast<kelvoSessionShard *>(ecalloc(1, sizeof(kelvoSessionShard)));
    shard->weight = weight;
    object_init_ex(&shard->client, kelvo_ce);
    robj *ro = shardClient(shard);
    ro->opts.flags |= kelvoOptNullMultibulkAsNull;
    if (query && kelvoSetContextOptions(ro, query) != 0 && EG(exception))
        rc = -1;
    /* Session data, locks and ids are read from the server every time: no cache, no tracking.
     * Errors are recorded on the shard, never thrown at the session module. */
    ro->opts.flags = kelvoOptionWord((ro->opts.flags | kelvoOptPhpredisCompat) &
                                     ~(kelvoOptUseCache | kelvoOptClientTracking | kelvoOptThrowOnError));
    if (rc == 0) {
        php_url *parsed = nullptr;
        const char *error = nullptr;
        kelvoRedisInfoRelease(&ro->info);
        if (kelvoInitRedisInfo(&ro->info, kelvoCfgVals.default_pconnect != 0, ro->opts.flags, server, port, &parsed,
                               query, &error) != 0) {
            kelvoRedisInfoRelease(&ro->info);
            kelvoThrowException(KELVO_ERR_CONFIG, error ? error : "Failed to build connection information");
            rc = -1;
        }
        if (parsed)
            php_url_free(parsed);
    }
    if (rc == 0) {
        zend_string *user = nullptr, *pass = nullptr;
        if (opts.auth && kelvoGetAuthInfoZVal(&user, &pass, opts.auth) == 0)
            kelvoSetRedisAuthInfo(&ro->info, user, pass);
        if (user)
            zend_string_release(user);
        if (pass)
            zend_string_release(pass);
        ro->info.db = db;
        if (opts.connectTimeout > 0)
            ro->info.connectTimeout = kelvoDoubleToTimeval(opts.connectTimeout);
        if (opts.readTimeout > 0)
            ro->info.readTimeout = kelvoDoubleToTimeval(opts.readTimeout);
    }
    zend_string_release(server);
    kelvoConnectOptionsRelease(&opts);
    zend_array_destroy(conn);
    if (rc != 0) {
        zval_ptr_dtor(&shard->client);
        efree(shard);
        return -1;
    }
    session->shards = static_cast<kelvoSessionShard **>(
        erealloc(session->shards, sizeof(kelvoSessionShard *) * size_t(session->count + 1)));
    session->shards[session->count++] = shard;
    session->totalWeight += uint64_t(weight);
    return 0;
}

int kelvoSessionAddShard(kelvoSession *session, const char *item, size_t len)
{
    /* The URL parser takes "scheme:///path" only for file: a unix:// path is read as one. */
    zend_string *text = len > 7 && strncasecmp(item, "unix://", 7) == 0
                            ? zend_string_concat2("file://", 7, item + 7, len - 7)
                            : zend_string_init(item, len, 0);
    php_url *url = php_url_parse_ex(ZSTR_VAL(text), ZSTR_LEN(text));
    zend_string_release(text);
    if (!url) {
        throwSavePathError(item);
        return -1;
    }
    zval query;
    ZVAL_UNDEF(&query);
    if (url->query) {
        array_init(&query);
        zend_string *text = url->fragment ? zend_strpprintf(0, "%s#%s", ZSTR_VAL(url->query), ZSTR_VAL(url->fragment))
                                          : zend_string_copy(url->query);
        /* The SAPI's parser takes (and frees) a copy of its own. */
        sapi_module.treat_data(PARSE_STRING, estrndup(ZSTR_VAL(text), ZSTR_LEN(text)), &query);
        zend_string_release(text);
    }
    int rc = addShardFromUrl(session, item, url, Z_TYPE(query) == IS_ARRAY ? Z_ARRVAL(query) : nullptr);
    zval_ptr_dtor(&query);
    php_url_free(url);
    return rc;
}

/* ---- the lock ------------------------------------------------------------------------------- */

int64_t realtimeMicros()
{
    struct timespec ts;
    clock_gettime(CLOCK_REALTIME, &ts);
    return (int64_t(ts.tv_sec) * 1000000000 + ts.tv_nsec) / 1000;
}

/* Sleeps the whole wait, whatever signals interrupt it. */
void sleepMicros(zend_long micros)
{
    struct timespec left = {time_t(micros / 1000000), long(micros % 1000000) * 1000};
    while (nanosleep(&left, &left) != 0 && errno == EINTR) {
    }
}

zend_string *kelvoSessionLockValue(const kelvoSession *session)
{
    return zend_strpprintf(0, "%ld%" PRId64, long(getpid()), session->lockStart);
}

/* The lock's time to live in seconds, or 0 when none can be had (a process without a time limit
 * and no kelvo.session.lock_expire). */
zend_long lockTtl()
{
    zend_long expire = iniLong("kelvo.session.lock_expire");
    if (expire > 0)
        return std::min(expire, maxExpirySeconds);
    zend_long limit = iniLong("max_execution_time");
    if (limit > 0)
        return std::min(limit, maxExpirySeconds - 1) + 1;
    return 0;
}

void dropLock(kelvoSession *session)
{
    if (session->lockKey)
        zend_string_release(session->lockKey);
    session->lockKey = nullptr;
    session->lockStart = 0;
}

int acquireLock(kelvoSession *session, zend_string *id)
{
    zend_long ttl = lockTtl();
    if (ttl == 0) {
        raiseSessionError("Failed to acquire lock");
        return -1;
    }
    zend_long retries = iniLong("kelvo.session.lock_retries");
    zend_long wait = iniLong("kelvo.session.lock_wait_time");
    if (retries <= 0)
        retries = defaultLockRetries;
    if (wait <= 0)
        wait = defaultLockWaitMicros;
    /* Waiting past the lock's own lifetime gains nothing: the holder's lock has expired by then. */
    zend_long ttlMicros = ttl > ZEND_LONG_MAX / 1000000 ? ZEND_LONG_MAX : ttl * 1000000;
    wait = std::min(wait, ttlMicros);
    retries = std::min(retries, std::max<zend_long>(1, ttlMicros / wait));

    dropLock(session);
    session->lockKey = zend_string_concat2(ZSTR_VAL(id), ZSTR_LEN(id), "_LOCK", 5);
    session->lockStart = realtimeMicros();
    robj *ro = shardOf(session, session->lockKey);
    if (!ro) {
        dropLock(session);
        raiseSessionError("Failed to acquire lock");
        return -1;
    }
    for (zend_long attempt = 0; attempt <= retries; attempt++) {
        zval args[5], rv;
        ZVAL_STR_COPY(&args[0], session->lockKey);
        ZVAL_STR(&args[1], kelvoSessionLockValue(session));
        ZVAL_STRINGL(&args[2], "NX", 2);
        ZVAL_STRINGL(&args[3], "EX", 2);
        ZVAL_LONG(&args[4], ttl);
        int rc = sessionCommandArgs(&rv, ro, KELVO_SKW_SET, args);
        bool held = rc == 0 && Z_TYPE(rv) == IS_TRUE;
        bool taken = rc == 0 && Z_TYPE(rv) == IS_NULL;
        zval_ptr_dtor(&rv);
        if (held)
            return 0;
        /* Only a lock held by another request is worth waiting for; an error ends it now. */
        if (!taken) {
            shardCommandFailure("lock", ro);
            break;
        }
        if (attempt < retries)
            sleepMicros(wait);
    }
    dropLock(session);
    raiseSessionError("Failed to acquire lock");
    return -1;
}

/* 0 when locking is off or the lock is still this request's; -1 otherwise. */
int kelvoSessionEnsureLock(kelvoSession *session)
{
    if (!session->locking)
        return 0;
    if (!session->lockKey)
        return -1;
    robj *ro = shardOf(session, session->lockKey);
    if (!ro)
        return -1;
    zval args[1], rv;
    ZVAL_STR_COPY(&args[0], session->lockKey);
    int rc = sessionCommandArgs(&rv, ro, KELVO_SKW_GET, args);
    zend_string *value = kelvoSessionLockValue(session);
    bool ours = rc == 0 && Z_TYPE(rv) == IS_STRING && zend_string_equals(Z_STR(rv), value);
    zend_string_release(value);
    zval_ptr_dtor(&rv);
    /* Expired or taken over: the lock is no longer this request's to give back. */
    if (rc == 0 && !ours)
        dropLock(session);
    if (rc != 0)
        shardCommandFailure("lock check", ro);
    return ours ? 0 : -1;
}

/* Before the data is written or destroyed: a lock this request no longer holds raises the
 * session error, so nothing is changed under another request's lock. */
bool lockIntact(kelvoSession *session)
{
    if (kelvoSessionEnsureLock(session) == 0)
        return true;
    raiseSessionError("Lock is corrupted");
    return false;
}

/* 0 released, -1 not (an error reply or a refusal of the command: the caller falls back). */
int conditionalDelete(robj *ro, kelvoSessionKeyword kw, kelvoSession *session, bool *refused)
{
    zval args[3], rv;
    int argc = 0;
    ZVAL_STR_COPY(&args[argc++], session->lockKey);
    if (kw == KELVO_SKW_DELEX)
        ZVAL_STRINGL(&args[argc++], "IFEQ", 4);
    ZVAL_STR(&args[argc++], kelvoSessionLockValue(session));
    int rc = sessionCommand(&rv, ro, kw, args, argc);
    for (int i = 0; i < argc; i++)
        zval_ptr_dtor(&args[i]);
    *refused = rc != 0;
    bool released = rc == 0 && Z_TYPE(rv) == IS_LONG && Z_LVAL(rv) == 1;
    zval_ptr_dtor(&rv);
    return released ? 0 : -1;
}

int lockReleaseDelEx(robj *ro, kelvoSession *session, bool *refused)
{
    return conditionalDelete(ro, KELVO_SKW_DELEX, session, refused);
}

/* 0 failure, 1 the server's NOSCRIPT, 2 an integer other than 1, 3 the integer 1. */
int sendEvalCmd(robj *ro, kelvoSession *session, kelvoSessionKeyword kw, const char *text, size_t len)
{
    zval args[4], rv;
    ZVAL_STRINGL(&args[0], text, len);
    ZVAL_LONG(&args[1], 1);
    ZVAL_STR_COPY(&args[2], session->lockKey);
    ZVAL_STR(&args[3], kelvoSessionLockValue(session));
    sessionCommandArgs(&rv, ro, kw, args);
    int result = 0;
    if (Z_TYPE(rv) == IS_LONG) {
        result = Z_LVAL(rv) == 1 ? 3 : 2;
    } else if (Z_TYPE(rv) == IS_FALSE && ro->lastError && ZSTR_LEN(ro->lastError) >= 8 &&
               memcmp(ZSTR_VAL(ro->lastError), "NOSCRIPT", 8) == 0) {
        result = 1;
    }
    zval_ptr_dtor(&rv);
    return result;
}

bool serverIs(const kelvoLink &link, const char *name, const char *atLeast)
{
    size_t n = strlen(name);
    return strncasecmp(link.server, name, n) == 0 && link.version[0] && php_version_compare(link.version, atLeast) >= 0;
}

int releaseLock(kelvoSession *session)
{
    if (!session->lockKey)
        return -1;
    robj *ro = shardOf(session, session->lockKey);
    if (!ro)
        return -1;
    bool refused = true;
    if (serverIs(ro->link, "valkey", "9.0.0")) {
        if (conditionalDelete(ro, KELVO_SKW_DELIFEQ, session, &refused) == 0)
            return 0;
    } else if (serverIs(ro->link, "redis", "8.4.0")) {
        if (lockReleaseDelEx(ro, session, &refused) == 0)
            return 0;
    }
    /* A 0 from the native form is final (expired or taken over); a refusal of it (an older proxy,
     * an ACL) falls back to the script. */
    if (!refused)
        return -1;
    kelvoSetLastError(&ro->lastError, nullptr, 0);
    int result = sendEvalCmd(ro, session, KELVO_SKW_EVALSHA, lockReleaseDigest, sizeof lockReleaseDigest - 1);
    if (result == 1)
        result = sendEvalCmd(ro, session, KELVO_SKW_EVAL, lockReleaseScript, sizeof lockReleaseScript - 1);
    return result == 3 ? 0 : -1;
}

/* ---- data ----------------------------------------------------------------------------------- */

kelvoSession *sessionOf(void **mod_data) { return static_cast<kelvoSession *>(PS_GET_MOD_DATA()); }

zend_result writeData(kelvoSession *session, zend_string *id, zend_string *data, zend_long maxlifetime)
{
    if (!lockIntact(session))
        return FAILURE;
    robj *ro = shardOf(session, id);
    if (!ro)
        return FAILURE;
    zend_long lifetime = sessionLifetime(maxlifetime);
    zend_string *stored = nullptr;
    if (const kelvoCmpInfo *cmp = sessionCompressionInfo())
        stored = cmp->compressFn(data, int32_t(iniLong("kelvo.session.compression_level")));
    zval args[4], rv;
    ZVAL_STR(&args[0], kelvoPrefixKeyZStr(id, ro->opts.prefix));
    if (stored)
        ZVAL_STR(&args[1], stored);
    else
        ZVAL_STR_COPY(&args[1], data);
    ZVAL_STRINGL(&args[2], "EX", 2);
    ZVAL_LONG(&args[3], lifetime);
    int rc = sessionCommandArgs(&rv, ro, KELVO_SKW_SET, args);
    bool ok = rc == 0 && Z_TYPE(rv) == IS_TRUE;
    zval_ptr_dtor(&rv);
    if (!ok)
        shardCommandFailure("write", ro);
    return ok ? SUCCESS : FAILURE;
}

} // namespace

PS_OPEN_FUNC(kelvo)
{
    auto *session = static_cast<kelvoSession *>(ecalloc(1, sizeof(kelvoSession)));
    /* Items are separated by commas or spaces; empty ones are skipped. */
    const char *p = save_path ? save_path : "";
    while (*p) {
        while (*p == ',' || *p == ' ')
            p++;
        const char *end = p;
        while (*end && *end != ',' && *end != ' ')
            end++;
        if (end == p)
            break;
        char *item = estrndup(p, size_t(end - p));
        int rc = kelvoSessionAddShard(session, item, size_t(end - p));
        efree(item);
        if (rc != 0) {
            kelvoSessionDtor(session);
            PS_SET_MOD_DATA(nullptr);
            return FAILURE;
        }
        p = end;
    }
    PS_SET_MOD_DATA(session);
    return SUCCESS;
}

PS_CLOSE_FUNC(kelvo)
{
    kelvoSession *session = sessionOf(mod_data);
    if (!session)
        return SUCCESS;
    zend_result rc = SUCCESS;
    /* Only a lock this request holds is given back. */
    if (session->locking && session->lockKey && releaseLock(session) != 0) {
        raiseSessionError("Failed to release lock");
        rc = FAILURE;
    }
    kelvoSessionDtor(session);
    PS_SET_MOD_DATA(nullptr);
    return rc;
}

PS_READ_FUNC(kelvo)
{
    kelvoSession *session = sessionOf(mod_data);
    if (!session)
        return FAILURE;
    session->locking = iniLong("kelvo.session.locking_enabled") != 0;
    if (session->locking && acquireLock(session, key) != 0)
        return FAILURE;
    robj *ro = shardOf(session, key);
    if (!ro)
        return FAILURE;
    zval args[1], rv;
    ZVAL_STR(&args[0], kelvoPrefixKeyZStr(key, ro->opts.prefix));
    int rc = sessionCommandArgs(&rv, ro, KELVO_SKW_GET, args);
    if (rc == 0 && Z_TYPE(rv) == IS_NULL) {
        *val = ZSTR_EMPTY_ALLOC();
        return SUCCESS;
    }
    if (rc != 0 || Z_TYPE(rv) != IS_STRING) {
        zval_ptr_dtor(&rv);
        shardCommandFailure("read", ro);
        return FAILURE;
    }
    zend_string *plain = nullptr;
    if (const kelvoCmpInfo *cmp = sessionCompressionInfo())
        plain = cmp->uncompressFn(Z_STRVAL(rv), Z_STRLEN(rv));
    *val = plain ? plain : zend_string_copy(Z_STR(rv));
    zval_ptr_dtor(&rv);
    return SUCCESS;
}

PS_WRITE_FUNC(kelvo)
{
    kelvoSession *session = sessionOf(mod_data);
    if (!session)
        return FAILURE;
    return writeData(session, key, val, maxlifetime);
}

PS_DESTROY_FUNC(kelvo)
{
    kelvoSession *session = sessionOf(mod_data);
    if (!session)
        return FAILURE;
    if (!lockIntact(session))
        return FAILURE;
    robj *ro = shardOf(session, key);
    if (!ro)
        return FAILURE;
    zval args[1], rv;
    ZVAL_STR(&args[0], kelvoPrefixKeyZStr(key, ro->opts.prefix));
    int rc = sessionCommandArgs(&rv, ro, KELVO_SKW_DEL, args);
    bool ok = rc == 0 && Z_TYPE(rv) == IS_LONG;
    zval_ptr_dtor(&rv);
    if (!ok)
        shardCommandFailure("destroy", ro);
    return ok ? SUCCESS : FAILURE;
}

/* Session keys expire on the server. */
PS_GC_FUNC(kelvo)
{
    *nrdels = 0;
    return 0;
}

PS_CREATE_SID_FUNC(kelvo)
{
    kelvoSession *session = sessionOf(mod_data);
    if (!session)
        return nullptr;
    zend_long lifetime = sessionLifetime(PS(gc_maxlifetime));
    for (int attempt = 0; attempt < maxCreateAttempts; attempt++) {
        zend_string *id = php_session_create_id(mod_data);
        if (!id)
            return nullptr;
        robj *ro = shardOf(session, id);
        if (!ro) {
            zend_string_release(id);
            return nullptr;
        }
        zval args[5], rv;
        ZVAL_STR(&args[0], kelvoPrefixKeyZStr(id, ro->opts.prefix));
        ZVAL_EMPTY_STRING(&args[1]);
        ZVAL_STRINGL(&args[2], "NX", 2);
        ZVAL_STRINGL(&args[3], "EX", 2);
        ZVAL_LONG(&args[4], lifetime);
        int rc = sessionCommandArgs(&rv, ro, KELVO_SKW_SET, args);
        int type = rc == 0 ? Z_TYPE(rv) : IS_FALSE;
        zval_ptr_dtor(&rv);
        if (type == IS_TRUE)
            return id;
        zend_string_release(id);
        if (type != IS_NULL) {
            shardCommandFailure("id creation", ro);
            return nullptr;
        }
    }
    return nullptr;
}

PS_VALIDATE_SID_FUNC(kelvo)
{
    kelvoSession *session = sessionOf(mod_data);
    robj *ro = session ? shardOf(session, key) : nullptr;
    if (!ro)
        return FAILURE;
    zval args[1], rv;
    ZVAL_STR(&args[0], kelvoPrefixKeyZStr(key, ro->opts.prefix));
    int rc = sessionCommandArgs(&rv, ro, KELVO_SKW_EXISTS, args);
    bool exists = rc == 0 && Z_TYPE(rv) == IS_LONG && Z_LVAL(rv) != 0;
    zval_ptr_dtor(&rv);
    if (rc != 0)
        shardCommandFailure("id check", ro);
    return exists ? SUCCESS : FAILURE;
}

PS_UPDATE_TIMESTAMP_FUNC(kelvo)
{
    kelvoSession *session = sessionOf(mod_data);
    robj *ro = session ? shardOf(session, key) : nullptr;
    if (!ro)
        return FAILURE;
    zval args[2], rv;
    ZVAL_STR(&args[0], kelvoPrefixKeyZStr(key, ro->opts.prefix));
    ZVAL_LONG(&args[1], sessionLifetime(maxlifetime));
    int rc = sessionCommandArgs(&rv, ro, KELVO_SKW_EXPIRE, args);
    int type = rc == 0 ? Z_TYPE(rv) : IS_FALSE;
    zend_long n = type == IS_LONG ? Z_LVAL(rv) : 0;
    zval_ptr_dtor(&rv);
    if (type != IS_LONG) {
        shardCommandFailure("timestamp update", ro);
        return FAILURE;
    }
    /* The key is gone (expired meanwhile): the data is written again. */
    return n != 0 ? SUCCESS : writeData(session, key, val, maxlifetime);
}

static const ps_module ps_mod_kelvo = {PS_MOD_UPDATE_TIMESTAMP(kelvo)};

zend_result kelvoSessionRegister(void)
{
    for (int i = 0; i < KELVO_SKW_COUNT; i++)
        sessionKeywords[i] = zend_string_init_interned(sessionKeywordNames[i], strlen(sessionKeywordNames[i]), 1);
    return php_session_register_module(&ps_mod_kelvo);
}

void kelvoSessionFlushAtRequestEnd(void)
{
    if (PS(session_status) != php_session_active)
        return;
    /* Inside a call frame, so that what the handler's links throw can be caught and reported as a
     * warning: thrown without one, it would end the request with a fatal error. */
    zval function, rv;
    ZVAL_STRINGL(&function, "session_write_close", sizeof "session_write_close" - 1);
    ZVAL_UNDEF(&rv);
    zend_try
    {
        call_user_function(nullptr, nullptr, &function, &rv, 0, nullptr);
        if (EG(exception)) {
            zval tmp;
            zend_string *message = zval_get_string(
                zend_read_property_ex(zend_ce_exception, EG(exception), ZSTR_KNOWN(ZEND_STR_MESSAGE), 1, &tmp));
            zend_clear_exception();
            php_error_docref(nullptr, E_WARNING, "%s", ZSTR_VAL(message));
            zend_string_release(message);
        }
    }
    zend_end_try();
    zval_ptr_dtor(&rv);
    zval_ptr_dtor(&function);
}
