/* Kelvo\Sentinel: command table and builders, object handlers, constructor, dispatcher, options. */
#include "sentinel/sentinel.h"

#include "client/client.h"
#include "client/connection.h"
#include "commands/commands.h"
#include "runtime/exception.h"
#include "runtime/fatal.h"
#include "runtime/log.h"
#include "runtime/optflags.h"
#include "wire/command.h"
#include "wire/reply.h"

#include <unistd.h>

#include <cstring>
#include <ctime>
#include <initializer_list>
#include <iterator>

extern "C" {
#include "Zend/zend_exceptions.h"
#include "stubs/sentinel_arginfo.h"
}

namespace {

/* -- command table ------------------------------------------------------------------------------- */

constexpr uint32_t kelvoSentinelNeverResend = 0x1; /* steers the sentinel: sent at most once */
constexpr uint32_t kelvoSentinelOwnCommand = 0x2;  /* the name is the command, not a SENTINEL subcommand */
constexpr uint32_t kelvoSentinelQuery = 0x4;       /* only reads: may go out behind the link's handshake */

/* Appends the method's arguments to the request; -1 after the engine's parameter error. */
using kelvoSentinelBuilder = int (*)(zend_execute_data *execute_data, rrc *req);

struct kelvoSentinelCommandEntry {
    kelvoSentinelBuilder builder;
    const char *name;
    size_t len;
    uint32_t id;
    uint32_t flags;
    uint32_t replyTypes; /* bit (1 << KELVO_REPLY_*) of each reply type the command answers with */
};

int kelvoSentinelStrCmd(zend_execute_data *execute_data, rrc *req)
{
    zend_string *argument;
    ZEND_PARSE_PARAMETERS_START(1, 1)
    Z_PARAM_STR(argument)
    ZEND_PARSE_PARAMETERS_END_EX(return -1);
    kelvoRespCmdCatZStr(req, argument);
    return 0;
}

int kelvoSentinelEmptyCmd(zend_execute_data *execute_data, rrc *)
{
    return zend_parse_parameters_none() == SUCCESS ? 0 : -1;
}

/* A null message is no message: PING alone. */
int kelvoSentinelPingCmd(zend_execute_data *execute_data, rrc *req)
{
    zend_string *message = nullptr;
    ZEND_PARSE_PARAMETERS_START(0, 1)
    Z_PARAM_OPTIONAL
    Z_PARAM_STR_OR_NULL(message)
    ZEND_PARSE_PARAMETERS_END_EX(return -1);
    if (message) {
        kelvoRespCmdCatZStr(req, message);
    }
    return 0;
}

constexpr uint32_t replyBit(uint32_t type) { return 1u << type; }
constexpr uint32_t kMap = replyBit(KELVO_REPLY_MAP);
constexpr uint32_t kArray = replyBit(KELVO_REPLY_ARRAY);
constexpr uint32_t kStatus = replyBit(KELVO_REPLY_STATUS);
constexpr uint32_t kString = replyBit(KELVO_REPLY_STRING);
constexpr uint32_t kInteger = replyBit(KELVO_REPLY_INTEGER);
constexpr uint32_t kNil = replyBit(KELVO_REPLY_NIL);

template <size_t N>
constexpr kelvoSentinelCommandEntry row(kelvoSentinelCmd id, const char (&name)[N], kelvoSentinelBuilder builder,
                                        uint32_t replyTypes, uint32_t flags = 0)
{
    return {builder, name, N - 1, id, flags, replyTypes};
}

/* PRIMARY, PRIMARIES and GET-PRIMARY-ADDR-BY-NAME have no method: servers before Valkey lack them. */
constexpr kelvoSentinelCommandEntry kelvoSentinelCommandTable[] = {
    row(KELVO_SENTINEL_PRIMARY, "PRIMARY", kelvoSentinelStrCmd, kMap, kelvoSentinelQuery),
    row(KELVO_SENTINEL_PRIMARIES, "PRIMARIES", kelvoSentinelEmptyCmd, kArray, kelvoSentinelQuery),
    row(KELVO_SENTINEL_CKQUORUM, "CKQUORUM", kelvoSentinelStrCmd, kStatus, kelvoSentinelQuery),
    row(KELVO_SENTINEL_FAILOVER, "FAILOVER", kelvoSentinelStrCmd, kStatus, kelvoSentinelNeverResend),
    row(KELVO_SENTINEL_FLUSHCONFIG, "FLUSHCONFIG", kelvoSentinelEmptyCmd, kStatus),
    row(KELVO_SENTINEL_GET_MASTER_ADDR_BY_NAME, "GET-MASTER-ADDR-BY-NAME", kelvoSentinelStrCmd, kArray | kNil,
        kelvoSentinelQuery),
    row(KELVO_SENTINEL_GET_PRIMARY_ADDR_BY_NAME, "GET-PRIMARY-ADDR-BY-NAME", kelvoSentinelStrCmd, kArray | kNil,
        kelvoSentinelQuery),
    row(KELVO_SENTINEL_MASTER, "MASTER", kelvoSentinelStrCmd, kMap, kelvoSentinelQuery),
    row(KELVO_SENTINEL_MASTERS, "MASTERS", kelvoSentinelEmptyCmd, kArray, kelvoSentinelQuery),
    row(KELVO_SENTINEL_MYID, "MYID", kelvoSentinelEmptyCmd, kString, kelvoSentinelQuery),
    row(KELVO_SENTINEL_PING, "PING", kelvoSentinelPingCmd, kString | kStatus,
        kelvoSentinelOwnCommand | kelvoSentinelQuery),
    row(KELVO_SENTINEL_RESET, "RESET", kelvoSentinelStrCmd, kInteger, kelvoSentinelNeverResend),
    row(KELVO_SENTINEL_SENTINELS, "SENTINELS", kelvoSentinelStrCmd, kArray, kelvoSentinelQuery),
    row(KELVO_SENTINEL_SLAVES, "SLAVES", kelvoSentinelStrCmd, kArray, kelvoSentinelQuery),
};

constexpr bool rowsAreIndexedById()
{
    for (uint32_t i = 0; i < KELVO_SENTINEL_CMD_COUNT; i++) {
        if (kelvoSentinelCommandTable[i].id != i || !kelvoSentinelCommandTable[i].builder) {
            return false;
        }
    }
    return true;
}
static_assert(sizeof kelvoSentinelCommandTable / sizeof kelvoSentinelCommandTable[0] == KELVO_SENTINEL_CMD_COUNT);
static_assert(rowsAreIndexedById());

/* -- request-local resources --------------------------------------------------------------------- */

/* "SENTINEL <name>", or the row's own command word. */
struct SentinelRequest {
    rrc req{};
    explicit SentinelRequest(const kelvoSentinelCommandEntry &row)
    {
        if (row.flags & kelvoSentinelOwnCommand) {
            kelvoRespCmdInitLen(&req, 0, row.name, row.len);
        } else {
            kelvoRespCmdInitLen(&req, 0, ZEND_STRL("SENTINEL"));
            kelvoRespCmdCatLen(&req, row.name, row.len);
        }
    }
    ~SentinelRequest() { kelvoRespCmdRelease(&req); }
    SentinelRequest(const SentinelRequest &) = delete;
    SentinelRequest &operator=(const SentinelRequest &) = delete;
};

struct ReplyHolder {
    kelvoReply *reply = nullptr;
    ~ReplyHolder() { kelvoReplyFree(reply); }
};

/* -- the link ------------------------------------------------------------------------------------ */

constexpr const char *kelvoSentinelClientName = "sentinel";

uint64_t nowMicros()
{
    struct timespec ts;
    clock_gettime(CLOCK_REALTIME, &ts);
    return uint64_t(ts.tv_sec) * 1000000u + uint64_t(ts.tv_nsec) / 1000u;
}

/* What decides between throwing and recording a server's error reply. */
uint32_t errorFlags(const kelvoSentinelObject *so)
{
    return so->throwOnError ? kelvoOptThrowOnError : kelvoOptPhpredisCompat;
}

/* Handshake failures are always thrown, whatever OPT_THROW_ON_ERR says. */
void kelvoSentinelHelloErrorCb(void *target, kelvoReply *reply)
{
    auto *so = static_cast<kelvoSentinelObject *>(target);
    if (EG(exception)) {
        return;
    }
    if (!kelvoCurryContextError(&so->lastError, &so->link, 0, reply)) {
        kelvoThrowException(KELVO_ERR_PROTOCOL, "Unexpected reply to the connection handshake");
    }
}

/* A handshake that went through: the link is ready from now. */
int readied(kelvoSentinelObject *so)
{
    so->link.state = KELVO_LINK_READY;
    so->link.lastUse = nowMicros();
    return 0;
}

int handshake(kelvoSentinelObject *so)
{
    if (kelvoLinkHello(&so->link, &so->info, 0, kelvoSentinelClientName, so, kelvoSentinelHelloErrorCb) != 0) {
        return -1;
    }
    return readied(so);
}

/* The link's failure is thrown (unless the handshake threw already) and the link closed. */
void failLink(kelvoSentinelObject *so)
{
    kelvoLink &link = so->link;
    if (link.ctx && link.ctx->err && !link.err) {
        kelvoLinkErrorSet(&link, link.ctx);
    }
    if (!EG(exception)) {
        kelvoLinkThrowException(&link);
    }
    kelvoLinkFree(&link);
}

/* Connect and handshake as needed; -1 after throwing. */
/* A connected link, its handshake still to come when it is new; -1 after throwing. */
int connectLink(kelvoSentinelObject *so)
{
    if (so->info.type < 0) {
        kelvoThrowException(KELVO_ERR_IO, "Not connected");
        return -1;
    }
    kelvoLink &link = so->link;
    pid_t pid = getpid();
    /* A link with a context error is no longer connected; one opened before a fork is the parent's. */
    if (link.ctx && (link.ctx->err || link.pid != pid)) {
        kelvoLinkFree(&link);
    }
    if (link.state == KELVO_LINK_NONE && kelvoLinkConnect(&link, &so->info, pid) != 0) {
        failLink(so);
        return -1;
    }
    return 0;
}

int kelvoSentinelGetSyncedObject(kelvoSentinelObject *so)
{
    if (connectLink(so) != 0) {
        return -1;
    }
    if (so->link.state < KELVO_LINK_READY && handshake(so) != 0) {
        failLink(so);
        return -1;
    }
    return 0;
}

/* A new link's handshake and a query in one write and one wait: the query's reply, or -1 after throwing. */
int handshakeWithQuery(kelvoSentinelObject *so, rrc *req, kelvoReply **out)
{
    kelvoRespCmdFinish(req);
    if (kelvoLinkHelloWithRequest(&so->link, &so->info, 0, kelvoSentinelClientName, so, kelvoSentinelHelloErrorCb,
                                  kelvoRespCmdData(req), kelvoRespCmdLen(req), out) != 0) {
        return -1;
    }
    return readied(so);
}

int kelvoSentinelReconnect(void *arg)
{
    auto *so = static_cast<kelvoSentinelObject *>(arg);
    if (kelvoLinkReconnect(&so->link, &so->info) == 0 && handshake(so) == 0) {
        return 0;
    }
    kelvoLogDebug("%s:%d Failed to reconnect to sentinel", KELVO_LOG_SITE);
    return -1;
}

/* Raw strings, maps as associative arrays, nil as null: nothing of a client's packing options applies. */
kelvoPackOptions conversionOptions()
{
    kelvoPackOptions opts = kelvoPackOptionsOf(kelvoDefaultOptions);
    opts.flags = kelvoOptUseCache | kelvoOptClientTracking;
    return opts;
}

/* A reply the command does not answer with: an error reply is thrown or recorded, anything else thrown. */
void reportReply(kelvoSentinelObject *so, const kelvoReply *reply)
{
    if (reply->type == KELVO_REPLY_ERROR) {
        kelvoHandleReplyError(&so->lastError, errorFlags(so), reply);
        return;
    }
    kelvoThrowExceptionFmt(KELVO_ERR_WRONGTYPE, "Unexpected reply-type '%s'", kelvoReplyTypeToString(reply));
}

/* -- the object ---------------------------------------------------------------------------------- */

zend_object_handlers kelvo_sentinel_object_handlers;

zend_object *kelvoSentinelCreateObject(zend_class_entry *ce)
{
    auto *so = static_cast<kelvoSentinelObject *>(zend_object_alloc(sizeof(kelvoSentinelObject), ce));
    memset(so, 0, offsetof(kelvoSentinelObject, std));
    so->info.type = -1;
    zend_object_std_init(&so->std, ce);
    object_properties_init(&so->std, ce);
    so->std.handlers = &kelvo_sentinel_object_handlers;
    return &so->std;
}

/* Gives up the link and forgets the connection information it was opened from. */
void releaseConnection(kelvoSentinelObject *so)
{
    if (so->link.ctx || so->link.key) {
        kelvoLinkRelease(&so->link, 0);
    }
    memset(&so->link, 0, sizeof so->link);
    kelvoRedisInfoRelease(&so->info);
}

void kelvoSentinelFree(zend_object *object)
{
    kelvoSentinelObject *so = kelvoSentinelGetObject(object);
    zend_object_std_dtor(object);
    releaseConnection(so);
    if (so->lastError) {
        zend_string_release(so->lastError);
        so->lastError = nullptr;
    }
}

constexpr uint8_t kRedisValkey = kelvoAttrRedisCommand | kelvoAttrValkeyCommand;
constexpr uint8_t kAuthParameter = 7;

constexpr kelvoMethodAttributes kelvoSentinelMethodAttributes[] = {
    {"__construct", kelvoAttrServer, kAuthParameter},
    {"ckquorum", kRedisValkey, 0},
    {"failover", kRedisValkey, 0},
    {"flushconfig", kRedisValkey, 0},
    {"getmasteraddrbyname", kRedisValkey, 0},
    {"master", kRedisValkey, 0},
    {"masters", kRedisValkey, 0},
    {"myid", kRedisValkey, 0},
    {"ping", kRedisValkey, 0},
    {"reset", kRedisValkey, 0},
    {"sentinels", kRedisValkey, 0},
    {"slaves", kRedisValkey, 0},
    {"getprimaryaddrbyname", kelvoAttrValkeyCommand, 0},
    {"primary", kelvoAttrValkeyCommand, 0},
    {"primaries", kelvoAttrValkeyCommand, 0},
    {"getlasterror", kelvoAttrLocal, 0},
    {"setoption", kelvoAttrLocal, 0},
    {"getoption", kelvoAttrLocal, 0},
};

constexpr zend_long kelvoSentinelDefaultPort = 26379;

/* What the constructor gathers before it connects; owns its strings. */
struct SentinelSettings {
    zend_string *host = nullptr;
    zend_long port = kelvoSentinelDefaultPort;
    double timeout = 0;
    double readTimeout = 0;
    zval *persistent = nullptr;
    zval *auth = nullptr;
    zend_string *user = nullptr;
    zend_string *pass = nullptr;

    ~SentinelSettings()
    {
        for (zend_string *s : {host, user, pass}) {
            if (s) {
                zend_string_release(s);
            }
        }
    }
};

/* A connection array as the only argument. -1 with a ValueError pending. */
int readConnectionArray(SentinelSettings &s, HashTable *array)
{
    kelvoConnectOptions opts = {};
    opts.port = kelvoSentinelDefaultPort;
    int rc = kelvoConnectOptionsFromHT(&opts, array);
    if (rc == 0) {
        s.host = opts.host ? zend_string_copy(opts.host) : nullptr;
        s.port = opts.port;
        s.timeout = opts.connectTimeout;
        s.readTimeout = opts.readTimeout;
        s.persistent = opts.persistent;
        s.auth = opts.auth;
    }
    kelvoConnectOptionsRelease(&opts);
    return rc;
}

zval *contextValue(HashTable *context, const char *name)
{
    zval *value = context ? zend_hash_str_find(context, name, strlen(name)) : nullptr;
    if (value) {
        ZVAL_DEREF(value);
    }
    return value;
}

bool given(const zval *value) { return value && Z_TYPE_P(value) != IS_NULL; }

} // namespace

kelvoSentinelObject *kelvoSentinelGetObject(zend_object *object)
{
    kelvoAssert(object != nullptr);
    return reinterpret_cast<kelvoSentinelObject *>(reinterpret_cast<char *>(object) -
                                                   offsetof(kelvoSentinelObject, std));
}

kelvoSentinelObject *kelvoSentinelGetObjectZVal(zval *value)
{
    kelvoAssert(value != nullptr && Z_TYPE_P(value) == IS_OBJECT);
    return kelvoSentinelGetObject(Z_OBJ_P(value));
}

zend_class_entry *kelvoRegisterSentinelClass()
{
    zend_class_entry *ce = register_class_Kelvo_Sentinel();
    ce->create_object = kelvoSentinelCreateObject;
    memcpy(&kelvo_sentinel_object_handlers, &std_object_handlers, sizeof kelvo_sentinel_object_handlers);
    kelvo_sentinel_object_handlers.offset = offsetof(kelvoSentinelObject, std);
    kelvo_sentinel_object_handlers.free_obj = kelvoSentinelFree;
    /* A copy made by the engine's clone would lack the record in front of it. */
    kelvo_sentinel_object_handlers.clone_obj = nullptr;
    kelvoAddMethodAttributes(ce, kelvoSentinelMethodAttributes, std::size(kelvoSentinelMethodAttributes));
    return ce;
}

void kelvoSentinelCommand(INTERNAL_FUNCTION_PARAMETERS, kelvoSentinelCmd id)
{
    kelvoSentinelObject *so = kelvoSentinelGetObjectZVal(ZEND_THIS);
    const kelvoSentinelCommandEntry &row = kelvoSentinelCommandTable[id];
    RETVAL_FALSE;
    SentinelRequest request(row);
    if (row.builder(execute_data, &request.req) != 0 || connectLink(so) != 0) {
        return;
    }
    ReplyHolder held;
    if (so->link.state < KELVO_LINK_READY && (row.flags & kelvoSentinelQuery)) {
        if (handshakeWithQuery(so, &request.req, &held.reply) != 0) {
            failLink(so);
            return;
        }
    } else {
        if (so->link.state < KELVO_LINK_READY && handshake(so) != 0) {
            failLink(so);
            return;
        }
        int noRetry = (row.flags & kelvoSentinelNeverResend) ? 1 : 0;
        if (kelvoRespCmdSend(&held.reply, &so->link, &so->info, &so->retry, &request.req, noRetry,
                             kelvoSentinelReconnect, so) != 0) {
            failLink(so);
            return;
        }
    }
    if (!(row.replyTypes & replyBit(held.reply->type))) {
        reportReply(so, held.reply);
        return;
    }
    kelvoPackOptions opts = conversionOptions();
    kelvoReplyToZVal(return_value, held.reply, &opts, KELVO_REQ_RAW);
}

extern "C" {

ZEND_METHOD(Kelvo_Sentinel, __construct)
{
    SentinelSettings s;
    zval *host = nullptr, *persistent = nullptr, *auth = nullptr;
    zend_long retryInterval = 0;
    HashTable *context = nullptr;
    ZEND_PARSE_PARAMETERS_START(0, 8)
    Z_PARAM_OPTIONAL
    Z_PARAM_ZVAL(host)
    Z_PARAM_LONG(s.port)
    Z_PARAM_DOUBLE(s.timeout)
    Z_PARAM_ZVAL(persistent)
    Z_PARAM_LONG(retryInterval)
    Z_PARAM_DOUBLE(s.readTimeout)
    Z_PARAM_ZVAL(auth)
    Z_PARAM_ARRAY_HT_OR_NULL(context)
    ZEND_PARSE_PARAMETERS_END();
    if (s.port < 0 || s.port > 65535) {
        zend_value_error("Port must be an integer between 0 - 65536");
        RETURN_THROWS();
    }
    if (!kelvoTimeoutArgumentValid(s.timeout)) {
        zend_value_error("Invalid timeout");
        RETURN_THROWS();
    }
    if (!kelvoTimeoutArgumentValid(s.readTimeout)) {
        zend_value_error("Invalid read timeout");
        RETURN_THROWS();
    }
    s.persistent = persistent;
    s.auth = auth;
    if (ZEND_NUM_ARGS() == 1 && Z_TYPE_P(host) == IS_ARRAY) {
        if (readConnectionArray(s, Z_ARRVAL_P(host)) != 0) {
            RETURN_THROWS();
        }
    } else if (given(host) && Z_TYPE_P(host) != IS_STRING) {
        zend_value_error("When not using a connection array the host argument must be a string");
        RETURN_THROWS();
    } else if (given(host)) {
        s.host = zend_string_copy(Z_STR_P(host));
    }
    if (!s.host) {
        s.host = zend_string_init(ZEND_STRL("127.0.0.1"), 0);
    }
    if (!given(s.auth)) {
        s.auth = contextValue(context, "auth");
    }
    /* Never a connection without the credentials the caller named. */
    if (given(s.auth) && kelvoGetAuthInfoZVal(&s.user, &s.pass, s.auth) != 0) {
        zend_value_error("Can't parse AUTH information");
        RETURN_THROWS();
    }
    if (zval *p = contextValue(context, "persistent")) {
        s.persistent = p;
    }
    kelvoSentinelObject *so = kelvoSentinelGetObjectZVal(ZEND_THIS);
    releaseConnection(so);
    kelvoConnect(&so->info, &so->link, s.persistent && zend_is_true(s.persistent), kelvoOptKeyedBySecrets, s.host,
                 s.port, s.timeout, s.readTimeout, 0, s.user, s.pass, context, nullptr, timeval{0, 0});
}

ZEND_METHOD(Kelvo_Sentinel, ckquorum)
{
    kelvoSentinelCommand(INTERNAL_FUNCTION_PARAM_PASSTHRU, KELVO_SENTINEL_CKQUORUM);
}
ZEND_METHOD(Kelvo_Sentinel, failover)
{
    kelvoSentinelCommand(INTERNAL_FUNCTION_PARAM_PASSTHRU, KELVO_SENTINEL_FAILOVER);
}
ZEND_METHOD(Kelvo_Sentinel, flushconfig)
{
    kelvoSentinelCommand(INTERNAL_FUNCTION_PARAM_PASSTHRU, KELVO_SENTINEL_FLUSHCONFIG);
}
ZEND_METHOD(Kelvo_Sentinel, getMasterAddrByName)
{
    kelvoSentinelCommand(INTERNAL_FUNCTION_PARAM_PASSTHRU, KELVO_SENTINEL_GET_MASTER_ADDR_BY_NAME);
}
ZEND_METHOD(Kelvo_Sentinel, master) { kelvoSentinelCommand(INTERNAL_FUNCTION_PARAM_PASSTHRU, KELVO_SENTINEL_MASTER); }
ZEND_METHOD(Kelvo_Sentinel, masters) { kelvoSentinelCommand(INTERNAL_FUNCTION_PARAM_PASSTHRU, KELVO_SENTINEL_MASTERS); }
ZEND_METHOD(Kelvo_Sentinel, myid) { kelvoSentinelCommand(INTERNAL_FUNCTION_PARAM_PASSTHRU, KELVO_SENTINEL_MYID); }
ZEND_METHOD(Kelvo_Sentinel, ping) { kelvoSentinelCommand(INTERNAL_FUNCTION_PARAM_PASSTHRU, KELVO_SENTINEL_PING); }
ZEND_METHOD(Kelvo_Sentinel, reset) { kelvoSentinelCommand(INTERNAL_FUNCTION_PARAM_PASSTHRU, KELVO_SENTINEL_RESET); }
ZEND_METHOD(Kelvo_Sentinel, sentinels)
{
    kelvoSentinelCommand(INTERNAL_FUNCTION_PARAM_PASSTHRU, KELVO_SENTINEL_SENTINELS);
}
ZEND_METHOD(Kelvo_Sentinel, slaves) { kelvoSentinelCommand(INTERNAL_FUNCTION_PARAM_PASSTHRU, KELVO_SENTINEL_SLAVES); }

ZEND_METHOD(Kelvo_Sentinel, getLastError)
{
    ZEND_PARSE_PARAMETERS_NONE();
    kelvoSentinelObject *so = kelvoSentinelGetObjectZVal(ZEND_THIS);
    if (kelvoSentinelGetSyncedObject(so) != 0) {
        RETURN_THROWS();
    }
    if (!so->lastError) {
        RETURN_NULL();
    }
    RETURN_STR_COPY(so->lastError);
}

ZEND_METHOD(Kelvo_Sentinel, setOption)
{
    zend_long option;
    zval *value;
    ZEND_PARSE_PARAMETERS_START(2, 2)
    Z_PARAM_LONG(option)
    Z_PARAM_ZVAL(value)
    ZEND_PARSE_PARAMETERS_END();
    if (option != KELVO_SENTINEL_OPT_THROW_ON_ERR) {
        RETURN_FALSE;
    }
    kelvoSentinelGetObjectZVal(ZEND_THIS)->throwOnError = zend_is_true(value) ? 1 : 0;
    RETURN_TRUE;
}

ZEND_METHOD(Kelvo_Sentinel, getOption)
{
    zend_long option;
    ZEND_PARSE_PARAMETERS_START(1, 1)
    Z_PARAM_LONG(option)
    ZEND_PARSE_PARAMETERS_END();
    if (option != KELVO_SENTINEL_OPT_THROW_ON_ERR) {
        RETURN_FALSE;
    }
    RETURN_BOOL(kelvoSentinelGetObjectZVal(ZEND_THIS)->throwOnError);
}

} // extern "C"
