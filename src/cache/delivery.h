/*
 * Invalidation delivery, the arena's side: applying an invalidated key or a
 * flush to every cached database set of an endpoint, the shared queues that
 * carry invalidations to the processes with event listeners, the reader the
 * SIGIO handler parses idle links with, and the per-process ring in which
 * that handler leaves what it marked for the next request start to finish.
 *
 * Owns: the 128 queues of the root (each with a bounded ring of message
 * slots, allocated the first time a process attaches it, never freed), the
 * message blocks from broadcast until their consumer takes the next one,
 * and the process's ring (static memory).
 *
 * Queues: any number of producers (every process applies its own links'
 * pushes), one consumer (the holder). A producer claims a slot by
 * compare-and-swap on the tail and publishes it with the slot's sequence
 * word; a full ring takes nothing more and raises the queue's overflow
 * flag, which its consumer turns into one flush event. A queue is held by
 * one process (pid and start time recorded); a holder that ended without
 * giving it back is found by the next attach.
 *
 * The signal path (kelvoSignalApplyKey/Flush, the reader, the ring) takes
 * only the logical databases' locks and allocates nothing. Engine-free.
 */
#ifndef KELVO_DELIVERY_H
#define KELVO_DELIVERY_H

#include "link/ireader.h"

#include <cstddef>
#include <cstdint>

struct kelvoEndpoint;
struct rdb;

/* --- applying an invalidation to the arena ----------------------------------------------- */

/*
 * Removes the entry of `key` from every logical database of every set of
 * `ep` that has writers (retired through the epoch). Returns the entries
 * removed.
 */
unsigned kelvoEndpointRemoveKey(kelvoEndpoint *ep, const char *key, size_t length);

/* The SIGIO handler's form: marks the entries stale, removing and freeing nothing. */
unsigned kelvoEndpointMarkKeyStale(kelvoEndpoint *ep, const char *key, size_t length);

/* The SIGIO handler's flush: raises every lease writing to a set of `ep`; the entries stay. */
void kelvoEndpointInvalidateLeases(kelvoEndpoint *ep);

/* --- shared queues ----------------------------------------------------------------------------- */

constexpr uint32_t KELVO_INVALIDATION_QUEUES = 128;
/* Messages a queue holds before it overflows. */
constexpr uint32_t KELVO_QUEUE_CAPACITY = 1024;

/* One broadcast message: one shared block, the key bytes and a NUL after the record. */
struct kelvoInvalidationMessage {
    kelvoEndpoint *ep;
    rdb *db;
    char *key; /* null for a flush */
    uint32_t length;
    uint32_t reserved;
    kelvoInvalidationMessage *next;
    uint8_t client;
};

struct kelvoQueueSlot {
    uint64_t sequence;
    kelvoInvalidationMessage *message;
};

struct alignas(64) kelvoInvalidationQueue {
    /* consumer's line */
    uint64_t head;
    kelvoInvalidationMessage *taken; /* freed at the next take */
    /* producers' line */
    alignas(64) uint64_t tail;
    uint32_t users;          /* 1 while held; producers skip a queue at 0 */
    uint32_t overflowed;     /* a producer found the ring full since the last take */
    kelvoEndpoint *overflow; /* the endpoint of the first message that did not fit */
    uint64_t holder;         /* pid | start time << 32 of the holding process */
    kelvoQueueSlot *slots;   /* KELVO_QUEUE_CAPACITY of them; made at first attach */
};

/* Builds the queue block in the root (start-up): 0, or -1 after the error log. */
int kelvoInvalidationQueuesInit(void);

/*
 * Appends a copy of (ep, db, key) -- key null for a flush -- to every held
 * queue. Returns the queues appended to, or -1 when out of shared memory
 * (logged, counted as "oom"; the remaining queues are skipped). A full queue
 * counts as reached: its holder will see a flush.
 */
int kelvoInvalidationBroadcast(kelvoEndpoint *ep, rdb *db, const char *key, size_t length);

/* The queue this process holds, or null. */
kelvoInvalidationQueue *kelvoQueueHeld(void);
/* Takes a free queue (or one whose holder ended): 0, or -1 when all are held or out of memory. */
int kelvoQueueAttach(void);
/* Gives the held queue back; what it holds is freed. A queue held by another process (the parent) is left alone. */
void kelvoQueueDetach(void);

/* Frees the queues of holders that ended without giving them back (killed): how many. */
unsigned kelvoQueueReapDead(void);
/* The same at most once a second across processes (`nowUs`, wall-clock microseconds). */
unsigned kelvoQueueReapDeadEvery(uint64_t nowUs);

/* A taken message; `flush` with a null key. Valid until the next take or the detach. */
struct kelvoQueueItem {
    kelvoEndpoint *ep;
    const char *key;
    size_t length;
};
/* The next message of the held queue; an overflow becomes one flush of the endpoint that overflowed. */
bool kelvoQueueTake(kelvoQueueItem *out);

/* --- the signal reader --------------------------------------------------------------------------- */

constexpr size_t KELVO_IREADER_SIZE = 65536;

/* What the reader found in a buffered message. */
enum kelvoIReaderScan : int {
    KELVO_IREADER_INCOMPLETE = 0, /* wait for more bytes */
    KELVO_IREADER_MESSAGE = 1,
    KELVO_IREADER_ERROR = -1,
};

/* One idle link's reader (kelvoIReader): the pooled link carries it, link/ireader.h. */

/* Called for each key of a whole message (key null for a flush). */
typedef void kelvoIReaderVisit(void *arg, const char *key, size_t length);

/*
 * Scans one message at the reader's position: MESSAGE (with `*end` the
 * offset after it, each key given to `visit` when it is not null),
 * INCOMPLETE, or ERROR with the reader's error set ("Bad INVALIDATION
 * header", "Malformed invalidation message", "Invalid multi-bulk length",
 * "Invalid negative-length line item", "Invalid bulk string").
 */
kelvoIReaderScan kelvoIReaderScanMessage(kelvoIReader *r, size_t *end, kelvoIReaderVisit *visit, void *arg);

/*
 * Reads what `fd` has (non-blocking) and applies every whole message in
 * order; a partial one stays buffered. 0, or -1 with the reader's error set
 * (also "Invalidation message exceeds reader buffer", and end of stream).
 * Async-signal-safe.
 */
int kelvoIReaderRun(kelvoIReader *r, int fd, kelvoIReaderVisit *visit, void *arg);

/* Sets the reader's first error (code, text cut to 127 bytes). */
void kelvoIReaderSetError(kelvoIReader *r, int code, const char *text);

/* --- the process's ring ---------------------------------------------------------------------------- */

/*
 * Records what the SIGIO handler marked (key null: a flush) for the next
 * request start. Async-signal-safe; a full ring keeps the endpoint for a
 * flush event instead.
 */
void kelvoRingRecord(kelvoEndpoint *ep, rdb *db, const char *key, size_t length);

/* Hands every record to `replay` in order and empties the ring; overflowed endpoints come as flushes last. */
void kelvoRingReplay(void (*replay)(void *arg, kelvoEndpoint *ep, rdb *db, const char *key, size_t length), void *arg);

/* True when the ring holds anything. */
bool kelvoRingPending(void);

#endif
