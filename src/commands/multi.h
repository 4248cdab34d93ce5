/*
 * Pipelines and transactions: the MULTI and PIPELINE bits of a client's mode word, the queue
 * of entries that remembers what each result slot of the batch will hold, the appending of a
 * request to the link's output buffer, and EXEC: reading the queued replies in order and
 * folding them, through each command's formatter, into one PHP array.
 *
 * Owns: the client's queue (`robj::pipe`) with its entries, their values, query sets and
 * transaction blocks, in request memory. A batch never outlives its link: whatever drops the
 * link drops the queue, and nothing queued is ever sent outside its batch or resent.
 *
 * One process, one request thread: no locks. Folding a cached read stores its reply through
 * the cached read's roles, which take the shared cache's own locks.
 */
#ifndef KELVO_MULTI_H
#define KELVO_MULTI_H

#include "commands/commands.h"
#include "client/object.h"

#include <cstdint>

/* What a result slot holds until EXEC. */
enum kelvoMultiEntryType : uint32_t {
    KELVO_MULTI_VALUE = 0, /* a value known without a reply: a cache answer */
    KELVO_MULTI_NODE = 1,  /* a cluster node index; never queued on a single-server client */
    KELVO_MULTI_MULTI = 2, /* a transaction block: the commands queued between MULTI and EXEC */
    KELVO_MULTI_QUERY = 3, /* one command whose reply is still on the wire */
    /* a WRONGTYPE the cache answered: reported at EXEC in its turn, as the server's error would be */
    KELVO_MULTI_WRONGTYPE = 4,
};

struct kelvoMultiEntry {
    uint32_t type;
    union {
        zval value;            /* VALUE, NODE */
        kelvoMultiQueue block; /* MULTI: only QUERY entries */
        kelvoQuerySet rqs;     /* QUERY: owned while it carries KELVO_INITIALIZED */
    };
    /* QUERY: the client's own-write events its delete role raised at queue time, fired once
     * its reply shows the write happened (an array of keys, null for a flush; undefined: none). */
    zval ownEvents;
};

/*
 * Enters a mode: 1 MULTI (sent at once outside a pipeline, buffered inside one), 2 PIPELINE.
 * 0, or -1 after a warning ("Unknown multi mode '%d'") or a thrown link error. PIPELINE while
 * MULTI is set is the engine's fatal error "Can't activate pipeline in MULTI mode".
 */
int kelvoMulti(robj *ro, zend_long mode);

/*
 * EXEC: in MULTI inside a pipeline, closes the transaction block (return value: the object);
 * otherwise sends what is queued, reads every reply in queue order and folds them into an
 * array in `return_value`. 0, or -1 with the failure thrown or recorded.
 */
int kelvoExec(zval *return_value, robj *ro);

/* DISCARD: a pipeline's buffered requests are dropped unsent; a transaction is discarded on the server. 0 or -1. */
int kelvoDiscard(robj *ro);

/* The work of kelvoFreeCallbacks and kelvoMultiQueueRelease (client/object.h), plugged in at start-up. */
void kelvoMultiAbandon(robj *ro);
void kelvoMultiQueueFree(robj *ro);

/* A new entry of `type` at the end of the queue (or of the open transaction block); the caller fills its payload. */
kelvoMultiEntry *kelvoMultiEntryAppend(robj *ro, uint32_t type);

/* Frees what an entry holds (a query set without outcome: one request counted). Accepts null. */
void kelvoMultiEntryFree(kelvoMultiEntry *entry);

/*
 * Queues a command of a client in a batch (the dispatcher's queueing step): the request is
 * buffered (PIPELINE) or sent and answered "QUEUED" (MULTI); a standard command's keys and
 * delete roles run at once; the query set moves into a QUERY entry and the return value
 * becomes the object. 0, or -1 after the failure was thrown (MULTI: the transaction is
 * discarded). `req` keeps its buffers for the caller to release.
 */
int kelvoQueueCommand(zval *return_value, robj *ro, const kelvoCommandInfo *row, kelvoQuerySet *rqs, rrc *req);

/*
 * A cache answer (KELVO_RES_SUCCESS with `cached`, or KELVO_RES_WRONGTYPE): in a pipeline a
 * VALUE entry and the object as return value, otherwise the return value itself.
 */
void kelvoReturnValue(robj *ro, int result, zval *return_value, zval *cached);

/* The result of one queued command from its reply (a per-command error is an unthrown
 * Kelvo\Exception under throw-on-error, else false with the last error set). */
void kelvoFoldReply(zval *dst, robj *ro, kelvoMultiEntry *entry, kelvoReply *reply);

/* One result per entry of `block` from the EXEC array, appended to the array `dst`. */
void kelvoFoldMultiReplies(zval *dst, robj *ro, kelvoMultiQueue *block, kelvoReply *exec);

#endif
