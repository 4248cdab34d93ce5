/*
 * The cursor scans SCAN, HSCAN, SSCAN and ZSCAN: their methods (which repeat empty pages under
 * SCAN_RETRY), their builder and their reply formatter. The caller's iterator variable carries
 * the cursor from one call to the next; the builder points the client at it and the formatter
 * writes the next cursor into it.
 *
 * Cursors are unsigned 64-bit on the server. The iterator keeps their bits in a PHP integer,
 * so a cursor at or above 2^63 is a negative integer that goes back out as the same unsigned
 * number: read as "start again", it would restart the scan for ever.
 */
#include "commands/cmdroles.h"
#include "client/client.h"
#include "client/connection.h"
#include "commands/builder.h"
#include "commands/formatter.h"

#include <cerrno>
#include <cstdlib>

using namespace kelvoFormat;

int kelvoScanRCmd(zend_execute_data *execute_data, zval *, rrc *req, robj *ro)
{
    const bool keyed = req->cmd != REDIS_CMD_SCAN;
    zend_string *key = nullptr, *match = nullptr, *type = nullptr;
    zval *iterator;
    zend_long count = 0;
    if (keyed) {
        ZEND_PARSE_PARAMETERS_START(2, 4)
        Z_PARAM_STR(key)
        Z_PARAM_ZVAL(iterator)
        Z_PARAM_OPTIONAL
        Z_PARAM_STR_OR_NULL(match)
        Z_PARAM_LONG(count)
        ZEND_PARSE_PARAMETERS_END_EX(return -1);
    } else {
        ZEND_PARSE_PARAMETERS_START(1, 4)
        Z_PARAM_ZVAL(iterator)
        Z_PARAM_OPTIONAL
        Z_PARAM_STR_OR_NULL(match)
        Z_PARAM_LONG(count)
        Z_PARAM_STR_OR_NULL(type)
        ZEND_PARSE_PARAMETERS_END_EX(return -1);
    }
    if (ro->mode & (kelvoModeMulti | kelvoModePipeline))
        return kelvoRefuse("SCAN cannot be called in pipeline/multi mode");
    ZVAL_DEREF(iterator);
    if (Z_TYPE_P(iterator) == IS_LONG && Z_LVAL_P(iterator) == 0)
        return -1; /* the scan has ended: nothing to send */
    if (Z_TYPE_P(iterator) != IS_LONG) {
        zval_ptr_dtor(iterator);
        ZVAL_LONG(iterator, 0);
    }
    if (keyed)
        kelvoCatKey(req, ro, key);
    kelvoRespCmdCatZendULong(req, static_cast<zend_ulong>(Z_LVAL_P(iterator)));
    if (match) {
        kelvoCatWord(req, "MATCH");
        if (ro->opts.scan & kelvoScanPrefix)
            kelvoCatKey(req, ro, match);
        else
            kelvoRespCmdCatZStr(req, match);
    }
    if (count != 0) {
        kelvoCatWord(req, "COUNT");
        kelvoRespCmdCatZendLong(req, count);
    }
    if (type) {
        kelvoCatWord(req, "TYPE");
        kelvoRespCmdCatZStr(req, type);
    }
    ro->it = iterator;
    return 0;
}

namespace {

/* A cursor's text as the bits of an unsigned 64-bit number; out of range saturates. */
zend_long cursorOf(const zend_string *s)
{
    errno = 0;
    unsigned long long u = strtoull(ZSTR_VAL(s), nullptr, 10);
    if (errno == ERANGE)
        u = ~0ull;
    return static_cast<zend_long>(u);
}

void scan(zval *rv, kelvoQuerySet *rqs, kelvoReplyEnv *env, const kelvoReply *reply)
{
    zval *it = env->it;
    bool keyScan = rqs->cmd == REDIS_CMD_SCAN || rqs->cmd == REDIS_CMD_HSCAN || rqs->cmd == REDIS_CMD_SSCAN ||
                   rqs->cmd == REDIS_CMD_ZSCAN;
    kelvoAssert(
        reply != NULL && it != NULL &&
        ((Z_TYPE_P(it) == IS_LONG && keyScan) || (Z_TYPE_P(it) == IS_STRING && rqs->cmd == REDIS_CMD_CLUSTERSCAN)));
    if (!isPair(reply) || !is(at(reply, 0), KELVO_REPLY_STRING) || !is(at(reply, 1), KELVO_REPLY_ARRAY)) {
        MALFORMED(env, "expected scan cursor and array payload");
        return kelvoReplyFailure(rv);
    }
    zend_string *cursor = at(reply, 0)->v.str;
    if (rqs->cmd == REDIS_CMD_CLUSTERSCAN) {
        zval_ptr_dtor(it);
        ZVAL_STR_COPY(it, cursor);
    } else {
        ZVAL_LONG(it, cursorOf(cursor));
    }
    const kelvoReply *payload = at(reply, 1);
    if (rqs->cmd == REDIS_CMD_HSCAN || rqs->cmd == REDIS_CMD_ZSCAN) {
        if (payload->elements % 2) {
            MALFORMED(env, "expected scan key/value pairs");
            return kelvoReplyFailure(rv);
        }
        if (!allOfType(payload, KELVO_REPLY_STRING)) {
            MALFORMED(env, "expected string scan key/value pair");
            return kelvoReplyFailure(rv);
        }
        array_init_size(rv, static_cast<uint32_t>(payload->elements / 2));
        if (rqs->cmd == REDIS_CMD_ZSCAN) {
            if (!addFlatMemberScores(rv, env, payload))
                kelvoReplyFailure(rv);
            return;
        }
        for (uint64_t i = 0; i < payload->elements; i += 2)
            addUnpackedPair(rv, env, at(payload, i), at(payload, i + 1));
        return;
    }
    if (!requireStrings(env, payload, "string scan member"))
        return kelvoReplyFailure(rv);
    if (rqs->cmd != REDIS_CMD_SCAN)
        return unpackedList(rv, env, payload);
    array_init_size(rv, static_cast<uint32_t>(payload->elements));
    for (uint64_t i = 0; i < payload->elements; i++)
        add_next_index_str(rv, zend_string_copy(at(payload, i)->v.str));
}

void scanCommand(INTERNAL_FUNCTION_PARAMETERS, int cmd)
{
    robj *ro = kelvoGetObjectZVal(ZEND_THIS);
    if (kelvoSyncObject(ro, KELVO_LINK_READY, false) != 0)
        RETURN_FALSE;
    for (;;) {
        kelvoCommand(INTERNAL_FUNCTION_PARAM_PASSTHRU, cmd);
        zval *it = ro->it;
        bool retry = Z_TYPE_P(return_value) == IS_ARRAY && zend_hash_num_elements(Z_ARRVAL_P(return_value)) == 0 &&
                     it && Z_TYPE_P(it) == IS_LONG && Z_LVAL_P(it) != 0 && (ro->opts.scan & kelvoScanRetry);
        if (!retry)
            return;
        zval_ptr_dtor(return_value);
        ZVAL_UNDEF(return_value);
    }
}

} // namespace

KELVO_FORMATTER(kelvoScanReply, scan)

extern "C" {

ZEND_METHOD(Kelvo_Kelvo, scan) { scanCommand(INTERNAL_FUNCTION_PARAM_PASSTHRU, REDIS_CMD_SCAN); }
ZEND_METHOD(Kelvo_Kelvo, hscan) { scanCommand(INTERNAL_FUNCTION_PARAM_PASSTHRU, REDIS_CMD_HSCAN); }
ZEND_METHOD(Kelvo_Kelvo, sscan) { scanCommand(INTERNAL_FUNCTION_PARAM_PASSTHRU, REDIS_CMD_SSCAN); }
ZEND_METHOD(Kelvo_Kelvo, zscan) { scanCommand(INTERNAL_FUNCTION_PARAM_PASSTHRU, REDIS_CMD_ZSCAN); }

} // extern "C"
