/*
 * Kelvo\Cluster's rawCommand, and the reads that ask for the value's metadata (getWithMeta,
 * hgetWithMeta): commands that bend the normal road of a cluster command.
 */
#include "cluster/execute.h"
#include "cluster/routing.h"
#include "catalog/cmdinfo.h"
#include "commands/admin.h"
#include "commands/multi.h"
#include "commands/reads.h"
#include "runtime/exception.h"
#include "runtime/kelvo.h"

extern "C" {
#include "zend_exceptions.h"
}

#include <strings.h>

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace {

/*
 * Names whose replies or connection state the cluster's nodes could not keep track of: the
 * subscribe family and MONITOR would leave a node's link answering something else, the
 * transaction commands would bypass the cluster's own transaction, and the rest change what
 * a node's link is (database, identity, protocol, read mode, a half-made redirection).
 */
constexpr const char *kRefused[] = {
    "MONITOR", "SUBSCRIBE", "PSUBSCRIBE", "SSUBSCRIBE", "UNSUBSCRIBE", "PUNSUBSCRIBE", "SUNSUBSCRIBE",
    "MULTI",   "EXEC",      "DISCARD",    "WATCH",      "UNWATCH",     "SELECT",       "RESET",
    "QUIT",    "HELLO",     "AUTH",       "READONLY",   "READWRITE",   "ASKING",
};

bool refused(const zend_string *name)
{
    for (const char *word : kRefused)
        if (ZSTR_LEN(name) == strlen(word) && strncasecmp(ZSTR_VAL(name), word, ZSTR_LEN(name)) == 0)
            return true;
    return false;
}

bool arityMatches(int32_t arity, int argc) { return arity >= 0 ? argc == arity - 1 : argc >= -arity - 1; }

void catPlain(rrc *req, zval *args, int argc)
{
    for (int i = 0; i < argc; i++)
        kelvoRespCmdCatZValZStr(req, &args[i]);
}

/* The routing row of a known command; commands the cluster does not offer have none of their own. */
const kelvoClusterCommandEntry *routeOf(int cmd)
{
    const kelvoClusterCommandEntry *route = &kelvoClusterCommandTable[cmd];
    return route->cmd == cmd && route->flags ? route : &kelvoClusterUnknownCmd;
}

void reportArity(robj *tmpl, const zend_string *name, int argc, int32_t arity)
{
    char message[256];
    int n = snprintf(message, sizeof message, "Wrong number of arguments for '%s' command (argc: %d, arity: %d)",
                     ZSTR_VAL(name), argc, arity);
    size_t length = std::min(static_cast<size_t>(std::max(n, 0)), sizeof message - 1);
    if (tmpl->opts.flags & kelvoOptThrowOnError)
        kelvoThrowException(KELVO_ERR_OTHER, message);
    else
        kelvoSetLastError(&tmpl->lastError, message, length);
}

int rawCommand(zval *return_value, kelvoClusterObject *cobj, zval *target, zend_string *name, zval *args, int argc)
{
    zend_long node = -1;
    if (kelvoClusterDirectedCmdSlot(target, cobj, &node) != 0)
        return -1;
    if (refused(name)) {
        zend_throw_exception_ex(kelvo_exception_ce, KELVO_ERR_OTHER, "'%s' command is unsupported via rawCommand().",
                                ZSTR_VAL(name));
        return -1;
    }
    robj *tmpl = &cobj->tmpl;
    rrc req{};
    kelvoQuerySet rqs;
    kelvoQuerySetClear(&rqs);
    int cmd = REDIS_CMD_UNKNOWN;
    const kelvoCommandInfo *row = &kelvoUnknownCmd;
    const kelvoClusterCommandEntry *route = &kelvoClusterUnknownCmd;
    if (kelvoStringToRedisCmd(&cmd, ZSTR_VAL(name), ZSTR_LEN(name)) != 0) {
        /* Sent as the caller wrote it: the server judges the name. */
        kelvoRespCmdInitLen(&req, uint8_t(KELVO_REQ_RAW | route->flags), ZSTR_VAL(name), ZSTR_LEN(name));
        catPlain(&req, args, argc);
    } else {
        row = kelvoGetCommandRCmd(cmd);
        route = routeOf(cmd);
        if (row->flags & KELVO_CMD_NO_RAW) {
            zend_throw_exception_ex(kelvo_exception_ce, KELVO_ERR_OTHER,
                                    "'%s' command is unsupported via rawCommand().", ZSTR_VAL(name));
            return -1;
        }
        if (!arityMatches(row->arity, argc)) {
            reportArity(tmpl, name, argc, row->arity);
            return -1;
        }
        uint8_t flags = uint8_t(KELVO_REQ_RAW | route->flags);
        if (row->type == KELVO_CMDTYPE_CACHED) {
            rqs.flags = uint8_t(KELVO_INITIALIZED | flags);
            rqs.cmd = cmd;
            rqs.keytype = static_cast<uint32_t>(kelvoCmdToKeyType(cmd));
            if (row->cached.rawQueryFn(&rqs, tmpl, argc, args) == 0) {
                kelvoQuerySetRelease(&rqs, KELVO_RQS_OUTCOME_ERROR);
                return -1;
            }
            /* A miss sends the caller's own words: the parse serves the cache and the slot. */
            kelvoRespCmdInitCmd(&req, flags, cmd);
            catPlain(&req, args, argc);
        } else {
            if (!kelvoRawCommandKeepsLink(cmd, static_cast<uint32_t>(argc), args))
                return -1;
            kelvoRespCmdInitCmd(&req, flags, cmd);
            catPlain(&req, args, argc);
        }
    }
    int rc = -1;
    if (!EG(exception))
        rc = kelvoClusterProcessCommand(return_value, &rqs, &req, row, route, node, cobj);
    kelvoQuerySetRelease(&rqs, rc == 0 ? KELVO_RQS_OUTCOME_MISS : KELVO_RQS_OUTCOME_ERROR);
    kelvoRespCmdRelease(&req);
    return rc;
}

void withMeta(INTERNAL_FUNCTION_PARAMETERS, int cmd)
{
    robj *tmpl = &kelvoClusterGetObjectZVal(ZEND_THIS)->tmpl;
    tmpl->opts.flags |= kelvoOptWithMeta;
    kelvoClusterCommand(INTERNAL_FUNCTION_PARAM_PASSTHRU, cmd);
    tmpl->opts.flags &= static_cast<kelvoOptionWord>(~kelvoOptWithMeta);
}

} // namespace

extern "C" {

ZEND_METHOD(Kelvo_Cluster, rawCommand)
{
    zval *target;
    zend_string *name;
    zval *args = nullptr;
    int argc = 0;
    ZEND_PARSE_PARAMETERS_START(2, -1)
    Z_PARAM_ZVAL(target)
    Z_PARAM_STR(name)
    Z_PARAM_VARIADIC('*', args, argc)
    ZEND_PARSE_PARAMETERS_END();
    kelvoClusterObject *cobj = kelvoClusterGetObjectZVal(ZEND_THIS);
    if (rawCommand(return_value, cobj, target, name, args, argc) != 0) {
        zval_ptr_dtor(return_value);
        RETURN_FALSE;
    }
}

ZEND_METHOD(Kelvo_Cluster, getWithMeta) { withMeta(INTERNAL_FUNCTION_PARAM_PASSTHRU, REDIS_CMD_GET); }
ZEND_METHOD(Kelvo_Cluster, hgetWithMeta) { withMeta(INTERNAL_FUNCTION_PARAM_PASSTHRU, REDIS_CMD_HGET); }

} // extern "C"
