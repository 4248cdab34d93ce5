/*
 * The stream entry builders: XADD, XRANGE and XREVRANGE (with VRANGE, of the same shape), XTRIM,
 * XDEL (with PFADD, a key and an array), XDELEX and XREAD. Ids, bounds and thresholds go out as
 * the caller gave them: they are neither prefixed nor packed. The stream entries of replies and
 * the formatters of XRANGE, XREVRANGE, XREAD and XREADGROUP follow the builders.
 */
#include "commands/streams.h"

#include "commands/cmdroles.h"
#include "commands/builder.h"
#include "commands/formatter.h"
#include "runtime/fatal.h"

using namespace kelvoFormat;

int kelvoRespCmdCatDelExMode(rrc *req, const zend_string *mode)
{
    if (mode == nullptr)
        return 0;
    if (kelvoIsWord(mode, "KEEPREF"))
        kelvoCatWord(req, "KEEPREF");
    else if (kelvoIsWord(mode, "DELREF"))
        kelvoCatWord(req, "DELREF");
    else if (kelvoIsWord(mode, "ACKED"))
        kelvoCatWord(req, "ACKED");
    else
        return kelvoRefuse("Invalid mode '%s'", ZSTR_VAL(mode));
    return 0;
}

/* The reply is the new entry's id, or nil when NOMKSTREAM found no stream: raw and single. */
int kelvoXAddRCmd(zend_execute_data *execute_data, zval *, rrc *req, robj *obj)
{
    zend_string *key, *id;
    HashTable *values;
    zend_long maxlen = 0;
    bool approx = false, nomkstream = false;
    ZEND_PARSE_PARAMETERS_START(3, 6)
    Z_PARAM_STR(key)
    Z_PARAM_STR(id)
    Z_PARAM_ARRAY_HT(values)
    Z_PARAM_OPTIONAL
    Z_PARAM_LONG(maxlen)
    Z_PARAM_BOOL(approx)
    Z_PARAM_BOOL(nomkstream)
    ZEND_PARSE_PARAMETERS_END_EX(return -1);
    if (zend_hash_num_elements(values) == 0)
        return kelvoRefuse("Must pass at least one key and value");
    if (maxlen < 0 || (maxlen == 0 && approx))
        return kelvoRefuse("Invalid MAXLEN argument or approximate flag");
    kelvoCatKey(req, obj, key);
    if (nomkstream)
        kelvoCatWord(req, "NOMKSTREAM");
    if (maxlen > 0) {
        kelvoCatWord(req, "MAXLEN");
        if (approx)
            kelvoCatWord(req, "~");
        kelvoRespCmdCatZendLong(req, maxlen);
    }
    kelvoRespCmdCatZStr(req, id);
    kelvoReserveArgs(req, 2 * zend_hash_num_elements(values));
    zend_ulong index;
    zend_string *field;
    zval *value;
    ZEND_HASH_FOREACH_KEY_VAL(values, index, field, value)
    {
        /* An integer field is written as HSET writes one: -1 stays "-1". */
        if (field)
            kelvoRespCmdCatZStr(req, field);
        else
            kelvoRespCmdCatZendLong(req, static_cast<zend_long>(index));
        if (!kelvoCatValue(req, obj, kelvoDeref(value)))
            return -1;
    }
    ZEND_HASH_FOREACH_END();
    req->flags |= KELVO_REQ_RAW | KELVO_REQ_SINGLE;
    return 0;
}

/* XREVRANGE takes its end first, as the server does; VRANGE's count has no COUNT word. */
int kelvoXRangeRCmd(zend_execute_data *execute_data, zval *, rrc *req, robj *obj)
{
    kelvoAssert(req->cmd == REDIS_CMD_VRANGE || req->cmd == REDIS_CMD_XRANGE || req->cmd == REDIS_CMD_XREVRANGE);
    zend_string *key, *start, *end;
    zend_long count = -1;
    ZEND_PARSE_PARAMETERS_START(3, 4)
    Z_PARAM_STR(key)
    Z_PARAM_STR(start)
    Z_PARAM_STR(end)
    Z_PARAM_OPTIONAL
    Z_PARAM_LONG(count)
    ZEND_PARSE_PARAMETERS_END_EX(return -1);
    kelvoCatKey(req, obj, key);
    kelvoRespCmdCatZStr(req, start);
    kelvoRespCmdCatZStr(req, end);
    if (count >= 0) {
        if (req->cmd != REDIS_CMD_VRANGE)
            kelvoCatWord(req, "COUNT");
        kelvoRespCmdCatZendLong(req, count);
    }
    return 0;
}

/* The operator is always sent, so the server never picks one the caller did not ask for. */
int kelvoXTrimRCmd(zend_execute_data *execute_data, zval *, rrc *req, robj *obj)
{
    zend_string *key, *threshold;
    bool approx = false, minid = false;
    zend_long limit = -1;
    ZEND_PARSE_PARAMETERS_START(2, 5)
    Z_PARAM_STR(key)
    Z_PARAM_STR(threshold)
    Z_PARAM_OPTIONAL
    Z_PARAM_BOOL(approx)
    Z_PARAM_BOOL(minid)
    Z_PARAM_LONG(limit)
    ZEND_PARSE_PARAMETERS_END_EX(return -1);
    if (limit < 0 && ZEND_NUM_ARGS() == 5)
        kelvoWarn("LIMIT must be >= 0, ignoring");
    else if (limit >= 0 && !approx)
        kelvoWarn("Cannot use LIMIT without approximate match, ignoring");
    kelvoCatKey(req, obj, key);
    if (minid)
        kelvoCatWord(req, "MINID");
    else
        kelvoCatWord(req, "MAXLEN");
    if (approx)
        kelvoCatWord(req, "~");
    else
        kelvoCatWord(req, "=");
    kelvoRespCmdCatZStr(req, threshold);
    if (limit >= 0 && approx) {
        kelvoCatWord(req, "LIMIT");
        kelvoRespCmdCatZendLong(req, limit);
    }
    return 0;
}

/* XDEL's ids go out as text; PFADD's elements are packed, as the values they count. */
int kelvoKeyArrayRCmd(zend_execute_data *execute_data, zval *, rrc *req, robj *obj)
{
    kelvoAssert(req != NULL && obj != NULL && (req->cmd == REDIS_CMD_XDEL || req->cmd == REDIS_CMD_PFADD));
    zend_string *key;
    HashTable *items;
    ZEND_PARSE_PARAMETERS_START(2, 2)
    Z_PARAM_STR(key)
    Z_PARAM_ARRAY_HT(items)
    ZEND_PARSE_PARAMETERS_END_EX(return -1);
    if (zend_hash_num_elements(items) == 0)
        return kelvoRefuse("Must pass at least ID/member");
    kelvoCatKey(req, obj, key);
    if (req->cmd == REDIS_CMD_XDEL)
        return kelvoCatStreamIds(req, items);
    kelvoReserveArgs(req, zend_hash_num_elements(items));
    zval *item;
    ZEND_HASH_FOREACH_VAL(items, item)
    {
        if (!kelvoCatValue(req, obj, kelvoDeref(item)))
            return -1;
    }
    ZEND_HASH_FOREACH_END();
    return 0;
}

int kelvoXDelExRCmd(zend_execute_data *execute_data, zval *, rrc *req, robj *obj)
{
    zend_string *key, *mode = nullptr;
    HashTable *ids;
    ZEND_PARSE_PARAMETERS_START(2, 3)
    Z_PARAM_STR(key)
    Z_PARAM_ARRAY_HT(ids)
    Z_PARAM_OPTIONAL
    Z_PARAM_STR_OR_NULL(mode)
    ZEND_PARSE_PARAMETERS_END_EX(return -1);
    if (zend_hash_num_elements(ids) == 0)
        return kelvoRefuse("Must pass at least one ID to delete");
    kelvoCatKey(req, obj, key);
    if (kelvoRespCmdCatDelExMode(req, mode) != 0)
        return -1;
    return kelvoCatCountedStreamIds(req, ids);
}

int kelvoXReadRCmd(zend_execute_data *execute_data, zval *, rrc *req, robj *obj)
{
    HashTable *streams;
    zend_long count = -1, block = -1;
    ZEND_PARSE_PARAMETERS_START(1, 3)
    Z_PARAM_ARRAY_HT(streams)
    Z_PARAM_OPTIONAL
    Z_PARAM_LONG(count)
    Z_PARAM_LONG(block)
    ZEND_PARSE_PARAMETERS_END_EX(return -1);
    if (zend_hash_num_elements(streams) == 0)
        return kelvoRefuse("One or more Stream and ID required");
    if (count >= 0) {
        kelvoCatWord(req, "COUNT");
        kelvoRespCmdCatZendLong(req, count);
    }
    if (block >= 0) {
        kelvoCatWord(req, "BLOCK");
        kelvoRespCmdCatZendLong(req, block);
    }
    return kelvoCatStreamsClause(req, obj, streams);
}

/* -- replies ------------------------------------------------------------------------------------ */

bool kelvoIsStreamEntry(const kelvoReply *e)
{
    return isPair(e) && is(at(e, 0), KELVO_REPLY_STRING) && is(at(e, 1), KELVO_REPLY_ARRAY);
}

bool kelvoAddStreamEntries(zval *rv, const kelvoReplyEnv *env, const kelvoReply *entries)
{
    for (uint64_t i = 0; i < entries->elements; i++) {
        const kelvoReply *e = at(entries, i);
        zval message;
        if (kelvoUnpackStreamMessage(&message, env, at(e, 1)) < 0)
            return false;
        addByReplyKey(rv, at(e, 0), &message);
    }
    return true;
}

int kelvoUnpackStreamMessage(zval *dst, const kelvoReplyEnv *env, const kelvoReply *fields)
{
    ZVAL_UNDEF(dst);
    if (!is(fields, KELVO_REPLY_ARRAY) || fields->elements % 2) {
        MALFORMED(env, "expected stream field/value array");
        ZVAL_FALSE(dst);
        return -1;
    }
    if (!allOfType(fields, KELVO_REPLY_STRING)) {
        MALFORMED(env, "expected stream field/value strings");
        ZVAL_FALSE(dst);
        return -1;
    }
    array_init_size(dst, static_cast<uint32_t>(fields->elements / 2));
    for (uint64_t i = 0; i < fields->elements; i += 2)
        addUnpackedPair(dst, env, at(fields, i), at(fields, i + 1));
    return 0;
}

int kelvoXReadAddStream(zval *result, const kelvoReplyEnv *env, const kelvoReply *name, const kelvoReply *entries)
{
    if (!is(name, KELVO_REPLY_STRING) || !is(entries, KELVO_REPLY_ARRAY)) {
        MALFORMED(env, "expected XREAD stream string and entries array");
        kelvoReplyFailure(result);
        return -1;
    }
    for (uint64_t i = 0; i < entries->elements; i++) {
        if (!kelvoIsStreamEntry(at(entries, i))) {
            MALFORMED(env, "expected XREAD ID/message array");
            kelvoReplyFailure(result);
            return -1;
        }
    }
    zval messages;
    array_init_size(&messages, static_cast<uint32_t>(entries->elements));
    if (!kelvoAddStreamEntries(&messages, env, entries)) {
        zval_ptr_dtor(&messages);
        kelvoReplyFailure(result);
        return -1;
    }
    addByReplyKey(result, name, &messages);
    return 0;
}

namespace {

void xrange(zval *rv, kelvoQuerySet *, kelvoReplyEnv *env, const kelvoReply *reply)
{
    if (!is(reply, KELVO_REPLY_ARRAY)) {
        WRONG_TYPE(env, "array", reply);
        return kelvoReplyFailure(rv);
    }
    array_init_size(rv, static_cast<uint32_t>(reply->elements));
    for (uint64_t i = 0; i < reply->elements; i++) {
        const kelvoReply *e = at(reply, i);
        if (!isPair(e)) {
            MALFORMED(env, "expected stream ID/message array");
            return kelvoReplyFailure(rv);
        }
        const kelvoReply *fields = at(e, 1);
        if (!kelvoIsStreamEntry(e) || fields->elements == 0 || fields->elements % 2) {
            MALFORMED(env, "expected stream ID and field/value array");
            return kelvoReplyFailure(rv);
        }
    }
    if (!kelvoAddStreamEntries(rv, env, reply))
        kelvoReplyFailure(rv);
}

/* XREAD's stream name / entries pairs from a MAP or a flat ARRAY. */
void xreadPairs(zval *rv, kelvoReplyEnv *env, const kelvoReply *reply)
{
    if (reply->elements % 2) {
        MALFORMED(env, "expected XREAD stream/message pairs");
        return kelvoReplyFailure(rv);
    }
    array_init_size(rv, static_cast<uint32_t>(reply->elements / 2));
    for (uint64_t i = 0; i < reply->elements; i += 2)
        if (kelvoXReadAddStream(rv, env, at(reply, i), at(reply, i + 1)) < 0)
            return;
}

void xread(zval *rv, kelvoQuerySet *, kelvoReplyEnv *env, const kelvoReply *reply)
{
    if (is(reply, KELVO_REPLY_NIL)) {
        if (env->opts.flags & kelvoOptNullMultibulkAsNull)
            ZVAL_NULL(rv);
        else
            array_init(rv);
        return;
    }
    if (is(reply, KELVO_REPLY_MAP))
        return xreadPairs(rv, env, reply);
    if (!is(reply, KELVO_REPLY_ARRAY)) {
        WRONG_TYPE(env, "XREAD array or map", reply);
        return kelvoReplyFailure(rv);
    }
    if (reply->elements == 0) {
        array_init(rv);
        return;
    }
    if (is(at(reply, 0), KELVO_REPLY_STRING))
        return xreadPairs(rv, env, reply);
    array_init_size(rv, static_cast<uint32_t>(reply->elements));
    for (uint64_t i = 0; i < reply->elements; i++) {
        const kelvoReply *row = at(reply, i);
        if (!isPair(row)) {
            MALFORMED(env, "expected XREAD stream/message row");
            return kelvoReplyFailure(rv);
        }
        if (kelvoXReadAddStream(rv, env, at(row, 0), at(row, 1)) < 0)
            return;
    }
}

} // namespace

KELVO_FORMATTER(kelvoXRangeFmt, xrange)
KELVO_FORMATTER(kelvoXReadFmt, xread)
