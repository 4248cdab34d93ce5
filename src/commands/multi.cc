/* Pipelines and transactions: queueing, EXEC and its folding, DISCARD, and their methods. */
#include "commands/multi.h"
#include "commands/reads.h"

#include "commands/cmdroles.h"
#include "client/client.h"
#include "client/connection.h"
#include "client/listeners.h"
#include "runtime/exception.h"
#include "runtime/fatal.h"

#include <cstring>

namespace {

constexpr char kMultiRequest[] = "*1\r\n$5\r\nMULTI\r\n";
constexpr char kExecRequest[] = "*1\r\n$4\r\nEXEC\r\n";
/* The server's own words for a read of a key of another type. */
constexpr char kWrongType[] = "WRONGTYPE Operation against a key holding the wrong kind of value";

bool throwOnError(const robj *ro) { return (ro->opts.flags & kelvoOptThrowOnError) != 0; }

bool isStatus(const kelvoReply *r, const char *text, size_t length)
{
    return r && r->type == KELVO_REPLY_STATUS && ZSTR_LEN(r->v.str) == length &&
           memcmp(ZSTR_VAL(r->v.str), text, length) == 0;
}

/* The list a new entry joins: the open transaction block while MULTI is set, else the queue. */
kelvoMultiQueue *openList(robj *ro)
{
    if (!(ro->mode & kelvoModeMulti))
        return &ro->pipe;
    kelvoAssert(ro->pipe.count > 0 && ro->pipe.entries[ro->pipe.count - 1].type == KELVO_MULTI_MULTI);
    return &ro->pipe.entries[ro->pipe.count - 1].block;
}

void freeEntries(kelvoMultiQueue *list)
{
    for (size_t i = 0; i < list->count; i++)
        kelvoMultiEntryFree(&list->entries[i]);
    list->count = 0;
}

void freeList(kelvoMultiQueue *list)
{
    freeEntries(list);
    if (list->entries)
        efree(list->entries);
    *list = kelvoMultiQueue{};
}

/* A client that batches once tends to batch again at the same size: a queue of moderate size is
 * kept for the next batch instead of growing from nothing again. */
constexpr size_t kKeptQueueCapacity = 4096;

bool isSelect(const kelvoMultiEntry &e) { return e.type == KELVO_MULTI_QUERY && e.rqs.cmd == REDIS_CMD_SELECT; }

/* The database the link had before the first SELECT queued in `list` (-1: none queued).
 * SELECT's delete role kept it in the query set's range end when the command was queued. */
int64_t databaseBefore(const kelvoMultiQueue *list)
{
    for (size_t i = 0; i < list->count; i++) {
        const kelvoMultiEntry &e = list->entries[i];
        if (isSelect(e) && e.rqs.rng.end >= 0)
            return e.rqs.rng.end;
        if (e.type == KELVO_MULTI_MULTI) {
            int64_t db = databaseBefore(&e.block);
            if (db >= 0)
                return db;
        }
    }
    return -1;
}

/* Client and link follow the database the server is on (nothing to do for -1). */
void settleDatabase(robj *ro, int64_t db)
{
    if (db < 0)
        return;
    ro->link.db = static_cast<uint32_t>(db);
    ro->info.db = static_cast<uint32_t>(db);
}

/* Queue, own-write events held back and both mode bits go; the queued SELECTs did not happen. */
void abandonBatch(robj *ro, bool restoreDatabase)
{
    if (restoreDatabase)
        settleDatabase(ro, databaseBefore(&ro->pipe));
    if (ro->pipe.capacity <= kKeptQueueCapacity)
        freeEntries(&ro->pipe);
    else
        freeList(&ro->pipe);
    zval_ptr_dtor(&ro->ownEvents);
    ZVAL_UNDEF(&ro->ownEvents);
    ro->mode &= ~kelvoModeBatch;
}

/* A server error to one queued command: an exception object in its slot, or false and the last error. */
void commandError(zval *dst, robj *ro, const kelvoReply *reply)
{
    if (throwOnError(ro)) {
        kelvoCreateMultiException(dst, reply);
        return;
    }
    const zend_string *text = kelvoReplyZStr(reply);
    kelvoSetLastError(&ro->lastError, ZSTR_VAL(text), ZSTR_LEN(text));
    ZVAL_FALSE(dst);
}

/* A cached WRONGTYPE is the server's error reply, reported as that would be: in queue order, so
 * the last error after EXEC is the one of the last failed slot. */
void cachedWrongType(zval *dst, robj *ro)
{
    zend_string *text = zend_string_init(ZEND_STRL(kWrongType), 0);
    kelvoReply reply{KELVO_REPLY_ERROR, 0, {0, 0, 0}, 0, 0.0, {0}};
    reply.v.str = text;
    commandError(dst, ro, &reply);
    zend_string_release(text);
}

void genericConversion(zval *dst, robj *ro, const kelvoQuerySet *rqs, const kelvoReply *reply)
{
    kelvoPackOptions opts = kelvoPackOptionsOf(ro->opts);
    kelvoReplyToZVal(dst, reply, &opts, rqs->flags);
}

/* State on the server that outlives the batch, learnt from a command's accepted reply: EXEC
 * starts from the database before the batch and follows each SELECT that the server took. */
void noteConnectionState(robj *ro, const kelvoQuerySet *rqs)
{
    switch (rqs->cmd) {
    case REDIS_CMD_SELECT:
        settleDatabase(ro, rqs->rng.start);
        break;
    case REDIS_CMD_WATCH:
        ro->connState |= kelvoConnStateWatch;
        break;
    case REDIS_CMD_UNWATCH:
    case REDIS_CMD_DISCARD:
        ro->connState &= ~kelvoConnStateWatch;
        break;
    default:
        break;
    }
}

/* The events of a write whose reply arrived: kept with the client until every reply is read. */
void keepOwnEvents(robj *ro, kelvoMultiEntry *entry)
{
    if (Z_TYPE(entry->ownEvents) != IS_ARRAY)
        return;
    if (Z_TYPE(ro->ownEvents) != IS_ARRAY)
        array_init(&ro->ownEvents);
    zval *event;
    ZEND_HASH_FOREACH_VAL(Z_ARRVAL(entry->ownEvents), event)
    {
        Z_TRY_ADDREF_P(event);
        add_next_index_zval(&ro->ownEvents, event);
    }
    ZEND_HASH_FOREACH_END();
}

/* MULTI sent on a plain link: its status read. 0, or -1 with the failure reported. */
int sendMulti(robj *ro)
{
    if (kelvoPollIdleLink(ro) != 0)
        return -1;
    redisContext *c = ro->link.ctx;
    if (redisAppendFormattedCommand(c, kMultiRequest, sizeof kMultiRequest - 1) != REDIS_OK) {
        kelvoThrowLinkFailure(ro);
        return -1;
    }
    kelvoReply *reply = nullptr;
    int rc = kelvoGetReply(ro, KELVO_REPLY_STATUS, 0, &reply);
    kelvoReplyFree(reply);
    if (rc != 0 && c->err)
        kelvoThrowLinkFailure(ro);
    return rc;
}

/* One command of a plain transaction: sent at once, never resent, and it must be "QUEUED". */
int sendQueued(robj *ro, rrc *req)
{
    kelvoReply *reply = nullptr;
    if (kelvoRespCmdSend(&reply, &ro->link, &ro->info, &ro->opts.retry, req, 1, nullptr, nullptr) != 0) {
        kelvoReplyFree(reply);
        kelvoThrowLinkFailure(ro);
        return -1;
    }
    ro->link.lastUse = kelvoNowMicros();
    if (isStatus(reply, "QUEUED", 6)) {
        kelvoReplyFree(reply);
        return 0;
    }
    if (reply->type == KELVO_REPLY_ERROR)
        kelvoThrowException(KELVO_ERR_REDIS, ZSTR_VAL(reply->v.str));
    else
        kelvoLinkThrowException(&ro->link);
    kelvoReplyFree(reply);
    kelvoDiscard(ro);
    return -1;
}

/* A failure while reading a batch: thrown, and the link closed with every reply still unread. */
void batchLinkFailure(robj *ro)
{
    redisContext *c = ro->link.ctx;
    if (!(c && c->err) && !EG(exception))
        kelvoThrowException(KELVO_ERR_REDIS, "Error executing transaction.");
    kelvoThrowLinkFailure(ro);
}

enum class BlockOutcome { Folded, Failed, LinkFailed };

/* Reads the replies of one transaction block and folds them into `dst` (a new array when nested). */
BlockOutcome readBlock(zval *result, robj *ro, kelvoMultiQueue *block, bool pipelined)
{
    size_t n = block->count;
    kelvoReply *reply = nullptr;
    bool broken = false;
    if (pipelined) {
        int rc = kelvoGetReply(ro, KELVO_REPLY_STATUS, 0, &reply);
        kelvoReplyFree(reply);
        if (rc != 0)
            return BlockOutcome::LinkFailed;
        for (size_t i = 0; i < n; i++) {
            kelvoGetReply(ro, KELVO_REPLY_STATUS, 0, &reply);
            if (!reply)
                return BlockOutcome::LinkFailed;
            broken |= !isStatus(reply, "QUEUED", 6);
            kelvoReplyFree(reply);
        }
    }
    int rc = kelvoGetReply(ro, -1, 0, &reply);
    /* EXEC ends every WATCH, whatever it answers. */
    ro->connState &= ~kelvoConnStateWatch;
    if (rc != 0) {
        kelvoReplyFree(reply);
        return BlockOutcome::Failed;
    }
    if (reply->type != KELVO_REPLY_ARRAY) {
        if (throwOnError(ro))
            kelvoThrowException(KELVO_ERR_REDIS, "Transaction failed");
        else
            kelvoSetLastError(&ro->lastError, ZEND_STRL("Transaction failed"));
        kelvoReplyFree(reply);
        return BlockOutcome::Failed;
    }
    if (broken || reply->elements != n) {
        if (!broken)
            kelvoMalformedReply(ro->opts.flags, "expected EXEC array with %zu elements", n);
        kelvoReplyFree(reply);
        return BlockOutcome::Failed;
    }
    if (pipelined) {
        zval nested;
        array_init_size(&nested, static_cast<uint32_t>(n));
        kelvoFoldMultiReplies(&nested, ro, block, reply);
        add_next_index_zval(result, &nested);
    } else {
        kelvoFoldMultiReplies(result, ro, block, reply);
    }
    kelvoReplyFree(reply);
    return BlockOutcome::Folded;
}

} // namespace

kelvoMultiEntry *kelvoMultiEntryAppend(robj *ro, uint32_t type)
{
    kelvoMultiQueue *list = openList(ro);
    if (list->count == list->capacity) {
        list->capacity = list->capacity ? list->capacity * 2 : 8;
        list->entries =
            static_cast<kelvoMultiEntry *>(erealloc(list->entries, list->capacity * sizeof(kelvoMultiEntry)));
    }
    kelvoMultiEntry *entry = &list->entries[list->count++];
    /* The caller fills the union; what it leaves reads as an empty block or an undefined value. */
    entry->type = type;
    entry->block = kelvoMultiQueue{};
    ZVAL_UNDEF(&entry->ownEvents);
    return entry;
}

void kelvoMultiEntryFree(kelvoMultiEntry *entry)
{
    if (!entry)
        return;
    switch (entry->type) {
    case KELVO_MULTI_VALUE:
    case KELVO_MULTI_NODE:
        zval_ptr_dtor(&entry->value);
        ZVAL_UNDEF(&entry->value);
        break;
    case KELVO_MULTI_MULTI:
        freeList(&entry->block);
        break;
    case KELVO_MULTI_QUERY:
        kelvoQuerySetRelease(&entry->rqs, 0);
        break;
    case KELVO_MULTI_WRONGTYPE:
        break;
    default:
        kelvoAssert(!"entry type");
    }
    zval_ptr_dtor(&entry->ownEvents);
    ZVAL_UNDEF(&entry->ownEvents);
}

void kelvoMultiAbandon(robj *ro)
{
    kelvoAssert(ro != NULL);
    abandonBatch(ro, true);
}

void kelvoMultiQueueFree(robj *ro)
{
    kelvoAssert(!kelvoInBatch(ro));
    freeList(&ro->pipe);
}

int kelvoMulti(robj *ro, zend_long mode)
{
    kelvoAssert(ro != NULL);
    if (mode != kelvoModeMulti && mode != kelvoModePipeline) {
        php_error_docref(nullptr, E_WARNING, "Unknown multi mode '%d'", static_cast<int>(mode));
        return -1;
    }
    if (mode == kelvoModePipeline) {
        if (ro->mode & kelvoModeMulti) {
            zend_error(E_ERROR, "Can't activate pipeline in MULTI mode");
            return -1;
        }
        if (!(ro->mode & kelvoModePipeline)) {
            kelvoFreeCallbacks(ro);
            ro->mode |= kelvoModePipeline;
        }
        return 0;
    }
    if (ro->mode & kelvoModeMulti)
        return 0;
    if (ro->mode & kelvoModePipeline) {
        /* Read back by EXEC with the rest of the pipeline. */
        if (redisAppendFormattedCommand(ro->link.ctx, kMultiRequest, sizeof kMultiRequest - 1) != REDIS_OK) {
            kelvoThrowLinkFailure(ro);
            return -1;
        }
    } else if (sendMulti(ro) != 0) {
        return -1;
    }
    kelvoMultiEntryAppend(ro, KELVO_MULTI_MULTI);
    ro->mode |= kelvoModeMulti;
    return 0;
}

int kelvoQueueCommand(zval *return_value, robj *ro, const kelvoCommandInfo *row, kelvoQuerySet *rqs, rrc *req)
{
    kelvoReply *reply = nullptr;
    if (ro->mode & kelvoModePipeline) {
        if (kelvoAppendCommand(ro, req) != 0) {
            kelvoThrowLinkFailure(ro);
            return -1;
        }
    } else if (req->cmd == REDIS_CMD_DISCARD) {
        if (kelvoSendCommand(ro, req, &reply) != 0)
            return -1;
        ro->connState &= ~kelvoConnStateWatch;
    } else if (sendQueued(ro, req) != 0) {
        return -1;
    }
    if (row->type == KELVO_CMDTYPE_STANDARD) {
        kelvoQuerySetFromRrc(rqs, req);
        if (row->std.keysFn)
            row->std.keysFn(rqs, req);
        /* Local copies go now, before any reply: a read queued after the write must not be
         * answered from them. The events wait for the reply (kelvoFoldReply). */
        if (row->std.delFn)
            row->std.delFn(rqs, ro, nullptr);
    }
    if (!kelvoInBatch(ro)) {
        /* DISCARD's delete role ended the transaction: its reply is the call's answer. */
        kelvoReturnReply(row, rqs, ro, reply, return_value);
        kelvoReplyFree(reply);
        return 0;
    }
    kelvoReplyFree(reply);
    kelvoMultiEntry *entry = kelvoMultiEntryAppend(ro, KELVO_MULTI_QUERY);
    entry->rqs = *rqs;
    rqs->flags &= static_cast<uint8_t>(~KELVO_INITIALIZED);
    ZVAL_COPY_VALUE(&entry->ownEvents, &ro->ownEvents);
    ZVAL_UNDEF(&ro->ownEvents);
    kelvoAssert(return_value != NULL);
    ZVAL_OBJ_COPY(return_value, &ro->std);
    return 0;
}

void kelvoReturnValue(robj *ro, int result, zval *return_value, zval *cached)
{
    kelvoAssert(return_value != NULL && !(ro->mode & kelvoModeMulti) &&
                (result == KELVO_RES_SUCCESS || result == KELVO_RES_WRONGTYPE));
    if (ro->mode & kelvoModePipeline) {
        if (result == KELVO_RES_SUCCESS)
            ZVAL_COPY_VALUE(&kelvoMultiEntryAppend(ro, KELVO_MULTI_VALUE)->value, cached);
        else
            kelvoMultiEntryAppend(ro, KELVO_MULTI_WRONGTYPE);
        ZVAL_OBJ_COPY(return_value, &ro->std);
        return;
    }
    if (result == KELVO_RES_SUCCESS) {
        ZVAL_COPY_DEREF(return_value, cached);
        zval_ptr_dtor(cached);
        return;
    }
    ZVAL_FALSE(return_value);
    kelvoHandleErrorText(&ro->lastError, ro->opts.flags, kWrongType, sizeof kWrongType - 1);
}

void kelvoFoldReply(zval *dst, robj *ro, kelvoMultiEntry *entry, kelvoReply *reply)
{
    kelvoAssert(entry->type == KELVO_MULTI_QUERY && reply != NULL);
    kelvoQuerySet *rqs = &entry->rqs;
    ZVAL_UNDEF(dst);
    if (rqs->cmd < 0) {
        if (reply->type == KELVO_REPLY_ERROR)
            commandError(dst, ro, reply);
        else
            genericConversion(dst, ro, rqs, reply);
        return;
    }
    if (!kelvoValidateReplyType(rqs->cmd, reply)) {
        if (reply->type == KELVO_REPLY_ERROR)
            commandError(dst, ro, reply);
        else
            genericConversion(dst, ro, rqs, reply);
        return;
    }
    const kelvoCommandInfo *row = kelvoGetCommandRCmd(rqs->cmd);
    keepOwnEvents(ro, entry);
    if (row->type == KELVO_CMDTYPE_CACHED) {
        kelvoCacheReply(rqs, ro, row->cached.chkFn, row->cached.putFn, reply);
    } else {
        noteConnectionState(ro, rqs);
        /* Dropped when queued; dropped again now that the write happened (a read of another
         * process may have stored the old value meanwhile), and heard of when it wrote. Its
         * events wait with the batch until every reply is read. */
        if (row->std.delFn) {
            kelvoHoldOwnEvents = true;
            row->std.delFn(rqs, ro, reply);
            kelvoHoldOwnEvents = false;
        }
    }
    kelvoFormatReply(row, rqs, ro, reply, dst);
}

void kelvoFoldMultiReplies(zval *dst, robj *ro, kelvoMultiQueue *block, kelvoReply *exec)
{
    size_t i = 0;
    for (size_t j = 0; j < block->count;) {
        kelvoMultiEntry *entry = &block->entries[j];
        kelvoAssert(entry->type == KELVO_MULTI_QUERY);
        kelvoReply *reply = nullptr;
        bool fromLink = i >= exec->elements;
        if (fromLink) {
            void *raw = nullptr;
            if (redisGetReply(ro->link.ctx, &raw) != REDIS_OK || !raw) {
                add_next_index_bool(dst, false);
                return;
            }
            reply = static_cast<kelvoReply *>(raw);
        } else {
            reply = exec->v.element[i];
        }
        i++;
        if (reply->type == KELVO_REPLY_PUSH) {
            redisContext *c = ro->link.ctx;
            kelvoAssert(c->push_cb != NULL);
            /* The push leaves the array: whoever handles it owns it. */
            if (!fromLink)
                exec->v.element[i - 1] = const_cast<kelvoReply *>(&kelvoNilReply);
            c->push_cb(c->privdata, reply);
            continue;
        }
        zval value;
        kelvoFoldReply(&value, ro, entry, reply);
        add_next_index_zval(dst, &value);
        if (fromLink)
            kelvoReplyFree(reply);
        j++;
    }
}

int kelvoExec(zval *return_value, robj *ro)
{
    kelvoAssert(return_value != NULL && ro != NULL);
    if (!kelvoInBatch(ro)) {
        if (throwOnError(ro))
            kelvoThrowException(KELVO_ERR_REDIS, "EXEC without MULTI or PIPELINE");
        return -1;
    }
    bool pipelined = (ro->mode & kelvoModePipeline) != 0;
    redisContext *c = ro->link.ctx;
    if (ro->mode & kelvoModeMulti) {
        if (redisAppendFormattedCommand(c, kExecRequest, sizeof kExecRequest - 1) != REDIS_OK) {
            batchLinkFailure(ro);
            return -1;
        }
        ro->mode &= ~kelvoModeMulti;
        if (pipelined) {
            ZVAL_OBJ_COPY(return_value, &ro->std);
            return 0;
        }
    } else {
        ro->mode &= ~kelvoModePipeline;
    }

    zval result;
    array_init_size(&result, static_cast<uint32_t>(ro->pipe.count));
    settleDatabase(ro, databaseBefore(&ro->pipe));
    for (size_t i = 0; i < ro->pipe.count; i++) {
        kelvoMultiEntry *entry = &ro->pipe.entries[i];
        if (entry->type == KELVO_MULTI_WRONGTYPE) {
            zval value;
            cachedWrongType(&value, ro);
            add_next_index_zval(&result, &value);
        } else if (entry->type == KELVO_MULTI_VALUE) {
            add_next_index_zval(&result, &entry->value);
            ZVAL_UNDEF(&entry->value);
        } else if (entry->type == KELVO_MULTI_MULTI) {
            BlockOutcome outcome = readBlock(&result, ro, &entry->block, pipelined);
            if (outcome == BlockOutcome::LinkFailed || (outcome == BlockOutcome::Failed && (pipelined || c->err))) {
                zval_ptr_dtor(&result);
                batchLinkFailure(ro);
                return -1;
            }
            if (outcome == BlockOutcome::Failed) {
                /* A plain transaction the server refused or aborted: nothing of it ran. */
                zval_ptr_dtor(&result);
                kelvoFreeCallbacks(ro);
                return -1;
            }
        } else {
            kelvoAssert(entry->type == KELVO_MULTI_QUERY);
            void *raw = nullptr;
            if (redisGetReply(c, &raw) == REDIS_OK && raw) {
                zval value;
                kelvoFoldReply(&value, ro, entry, static_cast<kelvoReply *>(raw));
                add_next_index_zval(&result, &value);
                kelvoReplyFree(raw);
            }
        }
        if (c->err) {
            zval_ptr_dtor(&result);
            batchLinkFailure(ro);
            return -1;
        }
    }
    ro->link.lastUse = kelvoNowMicros();
    ZVAL_COPY_VALUE(return_value, &result);
    zval events;
    ZVAL_COPY_VALUE(&events, &ro->ownEvents);
    ZVAL_UNDEF(&ro->ownEvents);
    abandonBatch(ro, false);
    /* Listeners may use this client: they run once every reply of the batch is read. */
    kelvoListenersFireOwn(ro, &events);
    zval_ptr_dtor(&events);
    return 0;
}

int kelvoDiscard(robj *ro)
{
    kelvoAssert(ro != NULL);
    if (ro->mode & kelvoModePipeline) {
        redisContext *c = ro->link.ctx;
        if (c)
            c->obuf.pos = c->obuf.len = 0;
        kelvoFreeCallbacks(ro);
        return 0;
    }
    if (!(ro->mode & kelvoModeMulti)) {
        if (throwOnError(ro))
            kelvoThrowException(KELVO_ERR_REDIS, "DISCARD without MULTI");
        return -1;
    }
    rrc req{};
    kelvoRespCmdInitLen(&req, KELVO_REQ_RAW, "DISCARD", 7);
    kelvoReply *reply = nullptr;
    int rc = kelvoSendCommand(ro, &req, &reply);
    kelvoReplyFree(reply);
    kelvoRespCmdRelease(&req);
    if (rc != 0)
        return -1;
    ro->connState &= ~kelvoConnStateWatch;
    kelvoFreeCallbacks(ro);
    return 0;
}

/* DISCARD sent by rawCommand in a plain transaction ends it here as well. */
void kelvoDiscardDel(kelvoQuerySet *, robj *ro, kelvoReply *)
{
    if ((ro->mode & kelvoModeBatch) == kelvoModeMulti)
        kelvoFreeCallbacks(ro);
}

/* -- methods ------------------------------------------------------------------------------------- */

namespace {

/* The client of the call, its link readied; null when that failed (reported). */
robj *readyClient(zend_execute_data *execute_data)
{
    robj *ro = kelvoGetObjectZVal(ZEND_THIS);
    return kelvoSyncObject(ro, KELVO_LINK_READY, false) == 0 ? ro : nullptr;
}

void enterMode(INTERNAL_FUNCTION_PARAMETERS, zend_long mode)
{
    robj *ro = readyClient(execute_data);
    if (!ro || kelvoMulti(ro, mode) != 0)
        RETURN_FALSE;
    RETURN_OBJ_COPY(&ro->std);
}

} // namespace

extern "C" {

ZEND_METHOD(Kelvo_Kelvo, multi)
{
    zend_long mode = kelvoModeMulti;
    ZEND_PARSE_PARAMETERS_START(0, 1)
    Z_PARAM_OPTIONAL
    Z_PARAM_LONG(mode)
    ZEND_PARSE_PARAMETERS_END();
    enterMode(INTERNAL_FUNCTION_PARAM_PASSTHRU, mode);
}

ZEND_METHOD(Kelvo_Kelvo, pipeline)
{
    ZEND_PARSE_PARAMETERS_NONE();
    enterMode(INTERNAL_FUNCTION_PARAM_PASSTHRU, kelvoModePipeline);
}

ZEND_METHOD(Kelvo_Kelvo, exec)
{
    ZEND_PARSE_PARAMETERS_NONE();
    robj *ro = readyClient(execute_data);
    if (!ro || kelvoExec(return_value, ro) != 0)
        RETURN_FALSE;
}

ZEND_METHOD(Kelvo_Kelvo, discard)
{
    ZEND_PARSE_PARAMETERS_NONE();
    robj *ro = readyClient(execute_data);
    RETURN_BOOL(ro && kelvoDiscard(ro) == 0);
}

} // extern "C"
