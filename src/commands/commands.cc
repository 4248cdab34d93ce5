/* The central dispatcher, sending with retries and reconnects, REDIRECT following, rawCommand and the scans. */
#include "commands/admin.h"
#include "link/backoff.h"
#include "client/client.h"
#include "commands/cmdroles.h"
#include "commands/commands.h"
#include "client/connection.h"
#include "cache/attach.h"
#include "cache/keylease.h"
#include "client/listeners.h"
#include "client/pubsub.h"
#include "commands/multi.h"
#include "commands/reads.h"
#include "runtime/cfgvals.h"
#include "runtime/exception.h"
#include "runtime/fatal.h"
#include "runtime/log.h"
#include "shm/epoch.h"
#include "client/object.h"

extern "C" {
#include "ext/standard/php_mt_rand.h"
#include "zend_exceptions.h"
}

#include <poll.h>

#include <initializer_list>
#include <strings.h>

#include <algorithm>
#include <cstring>
#include <ctime>
#include <iterator>

kelvoReplyEnv kelvoReplyEnvOf(robj *obj)
{
    return kelvoReplyEnv{kelvoPackOptionsOf(obj->opts), &obj->opts.flags, obj->it};
}

namespace {

/* Back-off draws from the engine's Mersenne Twister inside the module. */
uint64_t engineRand(uint64_t lo, uint64_t hi)
{
    constexpr uint64_t top = static_cast<uint64_t>(ZEND_LONG_MAX);
    if (hi <= lo)
        return lo;
    return static_cast<uint64_t>(
        php_mt_rand_range(static_cast<zend_long>(std::min(lo, top)), static_cast<zend_long>(std::min(hi, top))));
}
const bool engineRandInstalled = (kelvoBackoffRand = engineRand, true);

/* A link idle this long is polled for a close by the server before a request goes out on it. */
constexpr uint64_t kelvoIdlePollMicros = 1000000;

/* Commands whose effect a reconnect silently undoes, and those that end it (EXEC and RESET only
 * reach here as raw commands). */
bool isWatchStart(const rrc *req) { return req->cmd == REDIS_CMD_WATCH; }
bool isWatchEnd(const rrc *req)
{
    if (req->cmd >= 0)
        return req->cmd == REDIS_CMD_UNWATCH || req->cmd == REDIS_CMD_DISCARD;
    const size_t len = req->args[0].len;
    const char *name = kelvoRespCmdArg(req, 0);
    return (len == 4 && strncasecmp(name, "EXEC", 4) == 0) || (len == 5 && strncasecmp(name, "RESET", 5) == 0);
}

/* True when the server closed an idle link: a zero-timeout poll sees its end of the stream. */
bool closedByPeer(const kelvoLink *link)
{
    const redisContext *c = link->ctx;
    if (!c || c->fd < 0 || redisReaderDirty(c->reader))
        return false;
    pollfd p{c->fd, static_cast<short>(POLLIN | POLLRDHUP), 0};
    if (poll(&p, 1, 0) <= 0)
        return false;
    return (p.revents & (POLLRDHUP | POLLHUP | POLLERR)) != 0;
}

int reconnectClient(void *arg) { return kelvoReconnect(static_cast<robj *>(arg)); }

} // namespace

int kelvoPollIdleLink(robj *ro)
{
    kelvoLink &link = ro->link;
    uint64_t now = ro->syncTime ? ro->syncTime : kelvoNowMicros();
    if (link.lastUse + kelvoIdlePollMicros >= now || !closedByPeer(&link))
        return 0;
    /* Reconnect before sending rather than resend after: the request never left. A batch
     * cannot move to a new connection. */
    redisSetError(link.ctx, REDIS_ERR_EOF, "Server closed the connection");
    if (kelvoInBatch(ro) || kelvoReconnect(ro) != 0) {
        kelvoThrowLinkFailure(ro);
        return -1;
    }
    return 0;
}

bool kelvoCmdMayResend(int32_t cmd)
{
    return cmd >= 0 && cmd < REDIS_CMD_MAX && (kelvoCommandTable[cmd].flags & KELVO_CMD_RESEND);
}

const kelvoCommandInfo *kelvoGetCommandRCmd(int cmd)
{
    kelvoAssert(cmd >= 0 && cmd < REDIS_CMD_MAX);
    const kelvoCommandInfo *row = &kelvoCommandTable[cmd];
    kelvoAssert(row->cmd == static_cast<uint32_t>(cmd));
    if (row->type == KELVO_CMDTYPE_STANDARD)
        kelvoAssert(row->std.respFn != NULL);
    else
        kelvoAssert(row->cached.rawQueryFn && row->cached.queryFn && row->cached.getFn && row->cached.cnvFn);
    return row;
}

int kelvoReconnect(robj *ro)
{
    kelvoLink &link = ro->link;
    if (ro->connState || (ro->mode & kelvoModeSubscribed)) {
        /* A new connection would silently drop the WATCH or the subscriptions. */
        kelvoLogDebug("%s:%d RECONNECT - refused while connection state would be lost", KELVO_LOG_SITE);
        return -1;
    }
    if (kelvoLinkReconnect(&link, &ro->info) == 0 && (kelvoAttachLink(ro), true) &&
        kelvoLinkHello(&link, &ro->info, ro->opts.flags, kelvoLibName, ro, kelvoHelloErrorCb) == 0) {
        link.state = KELVO_LINK_READY;
        if (ro->info.db == link.db ||
            kelvoSelectDB(&link, &ro->info, ro->info.db, &ro->lastError, ro->opts.flags) != 2) {
            link.lastUse = kelvoNowMicros();
            return 0;
        }
    }
    if (kelvoLogLevelEnabled(KELVO_LL_DEBUG)) {
        char key[256];
        redisInfoGetUri(&ro->info, key, sizeof key);
        kelvoLogDebug("%s:%d RECONNECT - ERROR '%s' (rdb: %lx)", KELVO_LOG_SITE, key,
                      reinterpret_cast<unsigned long>(link.rdb));
    }
    if (link.rdb) {
        kelvoReleaseAndForgetDB(link.ep, link.rdb, link.lease);
        link.rdb = nullptr;
        link.lease = 0;
    }
    return -1;
}

int kelvoRespCmdSend(kelvoReply **out, kelvoLink *link, redisInfo *info, const kelvoRetryOptions *retry, rrc *req,
                     int noRetry, int (*reconnect)(void *), void *arg)
{
    kelvoAssert(req != NULL && link != NULL && link->state == KELVO_LINK_READY);
    *out = nullptr;
    kelvoRespCmdFinish(req);
    kelvoAssert(req->buffer.c != NULL);
    bool resendable = kelvoCmdMayResend(req->cmd);
    int32_t maxRetries = std::max(retry->maxRetries, 0);
    uint64_t previous = 0;
    for (uint32_t attempt = 0;; attempt++) {
        redisContext *c = link->ctx;
        if (redisAppendFormattedCommand(c, kelvoRespCmdData(req), kelvoRespCmdLen(req)) != REDIS_OK) {
            kelvoLogDebug("%s:%d Failed to append command on db %p, %d!", KELVO_LOG_SITE,
                          static_cast<void *>(link->rdb), int(link->db));
            return -1;
        }
        size_t unsent = c->obuf.len - c->obuf.pos;
        bool left = true;
        void *reply = nullptr;
        uint64_t sentMs = kelvoLeaseClockMs();
        if (redisBufferWriteAll(c) != REDIS_OK) {
            left = c->obuf.len - c->obuf.pos < unsent;
        } else if (redisGetReply(c, &reply) == REDIS_OK) {
            kelvoAssert(c->err == 0);
            /* Only a client's own link applies the pushes it meets; other readers drop them. */
            if (link->rdb && c->push_cb == kelvoPushCb)
                kelvoLeaseMarkDrainedSince(link->lease, sentMs);
            link->err = 0;
            link->errstr[0] = '\0';
            *out = static_cast<kelvoReply *>(reply);
            return 0;
        }
        kelvoLinkErrorSet(link, c);
        if (link->rdb) {
            /* What this link stored may have missed invalidations while the reply was lost. */
            if (kelvoLogLevelEnabled(KELVO_LL_DEBUG)) {
                char key[256];
                redisInfoGetUri(info, key, sizeof key);
                kelvoLogDebug("%s:%d RECONNECT - '%s' Invalidating DB (rdb: %lx, lease: %u)", KELVO_LOG_SITE, key,
                              reinterpret_cast<unsigned long>(link->rdb), unsigned(link->lease));
            }
            kelvoLeaseInvalidate(link->lease);
        }
        if (noRetry || (left && !resendable))
            return -1;
        previous = kelvoBackoff(&retry->backoff, previous, attempt);
        kelvoBackoffWait(previous);
        if (!reconnect || reconnect(arg) != 0)
            return -1;
        if (static_cast<int64_t>(attempt) >= maxRetries)
            return -1;
    }
}

int kelvoHandleRedirectionError(kelvoReply *err, robj *ro, rrc *req, kelvoReply **out)
{
    zend_string *text = err->v.str;
    const char *s = ZSTR_VAL(text);
    size_t len = ZSTR_LEN(text);
    if (len < 8 || memcmp(s, "REDIRECT", 8) != 0 || !(ro->opts.flags & kelvoOptCapaRedirect))
        return -1;
    /* The last colon, so that an IPv6 address keeps its own. */
    const char *colon = static_cast<const char *>(memrchr(s, ':', len));
    if (!colon || colon < s + 10 || colon == s + len - 1)
        return -1;
    zend_long port = 0;
    for (const char *p = colon + 1; p < s + len; p++) {
        if (*p < '0' || *p > '9' || port > 65535)
            return -1;
        port = port * 10 + (*p - '0');
    }
    if (port < 1 || port > 65534)
        return -1;

    robj tmp;
    memset(&tmp, 0, sizeof tmp);
    kelvoInitRObj(&tmp);
    zend_string *host = zend_string_init(s + 9, static_cast<size_t>(colon - (s + 9)), 0);
    php_url *url = nullptr;
    const char *error = nullptr;
    kelvoOptionWord flags = static_cast<kelvoOptionWord>(ro->opts.flags & ~kelvoOptCapaRedirect);
    int rc = kelvoInitRedisInfo(&tmp.info, ro->info.persistent, flags, host, port, &url, nullptr, &error);
    zend_string_release(host);
    if (url)
        php_url_free(url);
    if (rc == 0) {
        /* The target is reached as the first server was: same credentials, TLS and timeouts. */
        kelvoSetRedisAuthInfo(&tmp.info, ro->info.user, ro->info.pass);
        const redisInfoTls &tls = ro->info.tls;
        tmp.info.tls.enabled = tls.enabled;
        tmp.info.tls.verify = tls.verify;
        auto copy = [](zend_string *s) { return s ? zend_string_copy(s) : nullptr; };
        tmp.info.tls.localCert = copy(tls.localCert);
        tmp.info.tls.localPk = copy(tls.localPk);
        tmp.info.tls.cafile = copy(tls.cafile);
        tmp.info.tls.capath = copy(tls.capath);
        tmp.info.connectTimeout = ro->info.connectTimeout;
        tmp.info.readTimeout = ro->info.readTimeout;
        tmp.info.db = ro->info.db;
        tmp.opts.flags = flags;
        kelvoUpdateLinkKey(&tmp);
        rc = kelvoSyncObject(&tmp, KELVO_LINK_READY, true);
        if (rc == 0) {
            rc = kelvoSendCommand(&tmp, req, out);
            zend_clear_exception();
        }
    }
    kelvoReleaseRObj(&tmp);
    return rc;
}

int kelvoSendCommand(robj *ro, rrc *req, kelvoReply **out)
{
    kelvoLink &link = ro->link;
    bool multi = (ro->mode & kelvoModeBatch) == kelvoModeMulti;
    *out = nullptr;
    if (kelvoPollIdleLink(ro) != 0)
        return -1;
    kelvoReply *reply = nullptr;
    if (kelvoRespCmdSend(&reply, &link, &ro->info, &ro->opts.retry, req, multi, reconnectClient, ro) != 0) {
        kelvoReplyFree(reply);
        kelvoThrowLinkFailure(ro);
        return -1;
    }
    link.lastUse = kelvoNowMicros();
    if (kelvoValidateReplyType(req->cmd, reply)) {
        *out = reply;
        return 0;
    }
    if (reply && reply->type == KELVO_REPLY_ERROR) {
        if (kelvoHandleRedirectionError(reply, ro, req, out) == 0) {
            kelvoReplyFree(reply);
            return 0;
        }
        zend_string *text = reply->v.str;
        kelvoHandleErrorText(&ro->lastError, ro->opts.flags, ZSTR_VAL(text), ZSTR_LEN(text));
        kelvoReplyFree(reply);
        return -1;
    }
    const char *name = req->cmd >= 0 ? kelvoCommandStrings[req->cmd].name : kelvoRespCmdArg(req, 0);
    size_t nameLen = req->cmd >= 0 ? kelvoCommandStrings[req->cmd].len : req->args[0].len;
    kelvoReportWrongType(&ro->lastError, ro->opts.flags, kelvoReplyTypeToString(reply), name, nameLen);
    kelvoReplyFree(reply);
    return -1;
}

void kelvoFormatReply(const kelvoCommandInfo *row, kelvoQuerySet *rqs, robj *ro, kelvoReply *reply, zval *return_value)
{
    kelvoAssert(row && rqs && return_value);
    ZVAL_UNDEF(return_value);
    if (row->replyFn && !(rqs->flags & KELVO_REQ_RAW)) {
        row->replyFn(return_value, rqs, ro, reply);
    } else {
        kelvoPackOptions opts = kelvoPackOptionsOf(ro->opts);
        kelvoReplyToZVal(return_value, reply, &opts, rqs->flags);
    }
}

void kelvoReturnReply(const kelvoCommandInfo *row, kelvoQuerySet *rqs, robj *ro, kelvoReply *reply, zval *return_value)
{
    kelvoFormatReply(row, rqs, ro, reply, return_value);
    if (row->type == KELVO_CMDTYPE_STANDARD && row->std.delFn)
        row->std.delFn(rqs, ro, reply);
}

void kelvoCacheReply(kelvoQuerySet *rqs, robj *ro, kelvoChkFn chk, kelvoPutFn put, kelvoReply *reply)
{
    kelvoAssert(rqs != NULL);
    kelvoLink &link = ro->link;
    if (link.db >= kelvoCfgVals.databases || !link.rdb)
        return;
    /* The key lease comes with the cached database, at connect or at a later sync's attach. */
    if (!link.lease || !put || (chk && !chk(rqs, ro, reply)))
        return;
    put(rqs, ro, reply);
}

int kelvoProcessResponse(zval *return_value, robj *ro, const kelvoCommandInfo *row, kelvoQuerySet *rqs, rrc *req)
{
    if (kelvoInBatch(ro))
        return kelvoQueueCommand(return_value, ro, row, rqs, req);
    kelvoReply *reply = nullptr;
    if (kelvoSendCommand(ro, req, &reply) != 0)
        return -1;
    if (isWatchStart(req))
        ro->connState |= kelvoConnStateWatch;
    else if (isWatchEnd(req))
        ro->connState &= ~kelvoConnStateWatch;
    if (row->type == KELVO_CMDTYPE_STANDARD) {
        kelvoQuerySetFromRrc(rqs, req);
        if (row->std.keysFn)
            row->std.keysFn(rqs, req);
    } else {
        kelvoCacheReply(rqs, ro, row->cached.chkFn, row->cached.putFn, reply);
    }
    kelvoReturnReply(row, rqs, ro, reply, return_value);
    kelvoReplyFree(reply);
    return 0;
}

int kelvoGetReply(robj *ro, int type, int quiet, kelvoReply **out)
{
    kelvoAssert(ro != NULL && ro->link.ctx != NULL && ro->link.state == KELVO_LINK_READY);
    *out = nullptr;
    void *reply = nullptr;
    if (redisGetReply(ro->link.ctx, &reply) != REDIS_OK) {
        if (ro->link.ctx->err)
            kelvoLinkErrorSet(&ro->link, ro->link.ctx);
        return -1;
    }
    kelvoAssert(ro != NULL && reply != NULL);
    kelvoReply *r = static_cast<kelvoReply *>(reply);
    *out = r;
    ro->link.lastUse = kelvoNowMicros();
    if (r->type == KELVO_REPLY_ERROR) {
        if (!quiet)
            kelvoHandleErrorText(&ro->lastError, ro->opts.flags, ZSTR_VAL(r->v.str), ZSTR_LEN(r->v.str));
        return -1;
    }
    if (type == -1 || static_cast<uint32_t>(type) == r->type)
        return 0;
    if (!quiet)
        kelvoReportWrongType(&ro->lastError, ro->opts.flags, kelvoReplyTypeToString(r), "UNKNOWN", 7);
    return -1;
}

int kelvoTryGetLong(zend_long *out, zval *value, zend_long min)
{
    zend_long v;
    if (Z_TYPE_P(value) == IS_LONG) {
        v = Z_LVAL_P(value);
    } else if (Z_TYPE_P(value) == IS_STRING) {
        const zend_string *s = Z_STR_P(value);
        unsigned char first = ZSTR_LEN(s) ? static_cast<unsigned char>(ZSTR_VAL(s)[0]) : 0;
        if (first >= 0x3A && first <= 0x7F)
            return -1;
        if (is_numeric_string(ZSTR_VAL(s), ZSTR_LEN(s), &v, nullptr, false) != IS_LONG)
            return -1;
    } else {
        return -1;
    }
    if (v < min)
        return -1;
    *out = v;
    return 0;
}

int kelvoZStrInTokenSetCi(const zend_string *s, const char *a, size_t alen, const char *b, size_t blen)
{
    size_t len = ZSTR_LEN(s);
    return (len == alen && strncasecmp(ZSTR_VAL(s), a, alen) == 0) ||
           (len == blen && strncasecmp(ZSTR_VAL(s), b, blen) == 0);
}

namespace {

/* Runs a built request and ends the call: counts, releases, and false on failure (then returns false). */
bool finishCall(zval *return_value, robj *ro, const kelvoCommandInfo *row, kelvoQuerySet *rqs, rrc *req, bool built)
{
    /* Taken before the request leaves: a lease raised, or a write of one of its keys seen, while it
     * is out keeps its reply from being stored. */
    if (row->type == KELVO_CMDTYPE_CACHED && row->cached.putFn)
        kelvoQuerySetSampleTickets(rqs, ro);
    if (built && kelvoProcessResponse(return_value, ro, row, rqs, req) == 0) {
        kelvoQuerySetRelease(rqs, KELVO_RQS_OUTCOME_MISS);
        kelvoRespCmdRelease(req);
        return true;
    }
    kelvoQuerySetRelease(rqs, KELVO_RQS_OUTCOME_ERROR);
    kelvoRespCmdRelease(req);
    zval_ptr_dtor(return_value);
    ZVAL_FALSE(return_value);
    return false;
}

/* The cache role's answer where the shared cache may give one (never inside MULTI): a hit or a
 * cached WRONGTYPE becomes the return value, or a value entry of the pipeline. */
bool answerFromCache(robj *ro, const kelvoCommandInfo *row, kelvoQuerySet *rqs, zval *return_value)
{
    if (rqs->serverOnly || !ro->link.ep || (ro->mode & kelvoModeMulti) || !kelvoIsCacheEnabled(ro) ||
        kelvoGlobalEpochInit() != 0)
        return false;
    /* Inside a subscribe callback, invalidations may wait on the socket behind the message. */
    if (ro->opts.flags & kelvoOptInSubscribeCallback)
        kelvoSubscribeDrainInvalidations(ro);
    zval cached;
    ZVAL_UNDEF(&cached);
    int result = row->cached.getFn(&cached, rqs, ro);
    if (result == KELVO_RES_MISS) {
        zval_ptr_dtor(&cached);
        return false;
    }
    kelvoReturnValue(ro, result, return_value, &cached);
    return true;
}

} // namespace

void kelvoCommand(INTERNAL_FUNCTION_PARAMETERS, int cmd)
{
    kelvoAssert(Z_TYPE_P(ZEND_THIS) == IS_OBJECT);
    robj *ro = kelvoGetObjectZVal(ZEND_THIS);
    if (kelvoSyncObject(ro, KELVO_LINK_READY, false) != 0)
        RETURN_FALSE;
    uint8_t reqFlags = (ro->opts.flags & kelvoOptWithMeta) ? KELVO_REQ_META : 0;
    const kelvoCommandInfo *row = kelvoGetCommandRCmd(cmd);
    rrc req{};
    kelvoQuerySet rqs;
    bool built;
    if (row->type == KELVO_CMDTYPE_CACHED) {
        kelvoAttachEndpoint(ro);
        kelvoQuerySetStart(&rqs, reqFlags, cmd);
        built = row->cached.queryFn(execute_data, return_value, &rqs, ro) == 0;
        if (built && answerFromCache(ro, row, &rqs, return_value)) {
            kelvoQuerySetRelease(&rqs, KELVO_RQS_OUTCOME_HIT);
            return;
        }
        if (built) {
            kelvoRespCmdInitCmd(&req, reqFlags, rqs.cmd);
            row->cached.cnvFn(&req, &rqs);
        }
    } else {
        kelvoQuerySetClear(&rqs);
        kelvoRespCmdInitCmd(&req, reqFlags, cmd);
        built = row->std.respFn(execute_data, return_value, &req, ro) == 0;
    }
    finishCall(return_value, ro, row, &rqs, &req, built && !EG(exception));
}

/* -- rawCommand ------------------------------------------------------------------------------------ */

namespace {

bool arityMatches(int32_t arity, int argc) { return arity >= 0 ? argc == arity - 1 : argc >= -arity - 1; }

void catPlain(rrc *req, zval *args, int argc)
{
    for (int i = 0; i < argc; i++)
        kelvoRespCmdCatZValZStr(req, &args[i]);
}

/* Raw commands that leave the connection in a state the pool would hand on unseen. */
bool nameIs(const char *text, size_t length, const char *name)
{
    return length == strlen(name) && strncasecmp(text, name, length) == 0;
}

/* Raw commands that leave the connection in a state the pool would hand on unseen (name, reply mode, tracking...). */
bool changesConnectionState(const zend_string *name, zval *args, int argc)
{
    const char *n = ZSTR_VAL(name);
    size_t len = ZSTR_LEN(name);
    for (const char *word : {"HELLO", "RESET", "AUTH", "READONLY", "READWRITE"})
        if (nameIs(n, len, word))
            return true;
    if (!nameIs(n, len, "CLIENT") || argc < 1 || Z_TYPE(args[0]) != IS_STRING)
        return false;
    return kelvoClientSubcommandChangesLink(Z_STR(args[0]));
}

} // namespace

int kelvoRawCommand(zval *return_value, robj *ro, zend_string *name, zval *args, int argc)
{
    if (changesConnectionState(name, args, argc))
        ro->link.rawState = 1;
    int cmd = REDIS_CMD_UNKNOWN;
    rrc req{};
    kelvoQuerySet rqs{};
    if (kelvoStringToRedisCmd(&cmd, ZSTR_VAL(name), ZSTR_LEN(name)) != 0) {
        kelvoRespCmdInitLen(&req, KELVO_REQ_RAW, ZSTR_VAL(name), ZSTR_LEN(name));
        catPlain(&req, args, argc);
        return finishCall(return_value, ro, &kelvoUnknownCmd, &rqs, &req, !EG(exception)) ? 0 : -1;
    }
    const kelvoCommandInfo *row = kelvoGetCommandRCmd(cmd);
    if (row->flags & KELVO_CMD_NO_RAW) {
        zend_throw_exception_ex(kelvo_exception_ce, KELVO_ERR_OTHER, "'%s' command is unsupported via rawCommand().",
                                ZSTR_VAL(name));
        ZVAL_FALSE(return_value);
        return -1;
    }
    if (!arityMatches(row->arity, argc)) {
        char message[256];
        int n = snprintf(message, sizeof message, "Wrong number of arguments for '%s' command (argc: %d, arity: %d)",
                         ZSTR_VAL(name), argc, row->arity);
        size_t length = std::min(static_cast<size_t>(std::max(n, 0)), sizeof message - 1);
        if (ro->opts.flags & kelvoOptThrowOnError)
            kelvoThrowException(KELVO_ERR_OTHER, message);
        else
            kelvoSetLastError(&ro->lastError, message, length);
        ZVAL_FALSE(return_value);
        return -1;
    }
    if (row->type == KELVO_CMDTYPE_CACHED) {
        kelvoAttachEndpoint(ro);
        kelvoQuerySetStart(&rqs, KELVO_REQ_RAW, cmd);
        if (row->cached.rawQueryFn(&rqs, ro, argc, args) == 0) {
            kelvoQuerySetRelease(&rqs, KELVO_RQS_OUTCOME_ERROR);
            ZVAL_FALSE(return_value);
            return -1;
        }
        if (answerFromCache(ro, row, &rqs, return_value)) {
            kelvoQuerySetRelease(&rqs, KELVO_RQS_OUTCOME_HIT);
            return 0;
        }
        /* A miss sends the caller's own words: the parse only serves the cache. */
        kelvoRespCmdInitCmd(&req, rqs.flags, cmd);
        catPlain(&req, args, argc);
    } else {
        if (!kelvoRawCommandKeepsLink(cmd, static_cast<uint32_t>(argc), args)) {
            ZVAL_FALSE(return_value);
            return -1;
        }
        kelvoRespCmdInitCmd(&req, KELVO_REQ_RAW, cmd);
        catPlain(&req, args, argc);
        if (cmd == REDIS_CMD_MSETEX && argc > 0)
            kelvoRespCmdSetNumber(&req, static_cast<uint64_t>(zval_get_long(&args[0])));
    }
    return finishCall(return_value, ro, row, &rqs, &req, !EG(exception)) ? 0 : -1;
}

extern "C" {

ZEND_METHOD(Kelvo_Kelvo, rawCommand)
{
    zend_string *name;
    zval *args = nullptr;
    int argc = 0;
    ZEND_PARSE_PARAMETERS_START(1, -1)
    Z_PARAM_STR(name)
    Z_PARAM_VARIADIC('*', args, argc)
    ZEND_PARSE_PARAMETERS_END();
    robj *ro = kelvoGetObjectZVal(ZEND_THIS);
    if (kelvoSyncObject(ro, KELVO_LINK_READY, false) != 0)
        RETURN_FALSE;
    kelvoRawCommand(return_value, ro, name, args, argc);
}

} // extern "C"

/* -- commands with metadata ------------------------------------------------------------------- */

namespace {

void withMeta(INTERNAL_FUNCTION_PARAMETERS, int cmd)
{
    robj *ro = kelvoGetObjectZVal(ZEND_THIS);
    ro->opts.flags |= kelvoOptWithMeta;
    kelvoCommand(INTERNAL_FUNCTION_PARAM_PASSTHRU, cmd);
    ro->opts.flags &= static_cast<kelvoOptionWord>(~kelvoOptWithMeta);
}

} // namespace

extern "C" {

ZEND_METHOD(Kelvo_Kelvo, getWithMeta) { withMeta(INTERNAL_FUNCTION_PARAM_PASSTHRU, REDIS_CMD_GET); }
ZEND_METHOD(Kelvo_Kelvo, hgetWithMeta) { withMeta(INTERNAL_FUNCTION_PARAM_PASSTHRU, REDIS_CMD_HGET); }

} // extern "C"
