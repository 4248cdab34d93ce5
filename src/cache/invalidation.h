/*
 * Invalidation delivery, the engine's side: the in-request executor of
 * "invalidate" pushes, the drain of a link (kelvoContextPoll), the SIGIO
 * handler that reads idle persistent links between requests, their arming
 * at request end and disarming at request start, and the shared queue as
 * the event listeners see it.
 *
 * Idle links are armed only when plain (a TLS link read under a signal
 * would lose its session): set owner and signal, then O_ASYNC|O_NONBLOCK,
 * then read what already arrived. The SIGIO handler marks entries stale,
 * raises leases for a flush and records what it did in the process's ring;
 * the next request start replays the ring into removals and broadcasts.
 * Engine side.
 */
#ifndef KELVO_INVALIDATION_H
#define KELVO_INVALIDATION_H

#include "resp3/resp3.h"

#include <sys/types.h>

#include <cstddef>
#include <cstdint>

struct kelvoEndpoint;
struct rdb;
struct kelvoReply;

/*
 * Drains what the link has pending without blocking and applies it: 0, or
 * -1 with the context's error set, after the lease was raised (nothing
 * stored through the link is served again). On success the lease's holder
 * counts as having drained now.
 */
int kelvoContextPoll(redisContext *c, kelvoEndpoint *ep, rdb *db, uint16_t lease);

/* One non-blocking read fed to the context's reader: bytes, 0 nothing there, -1 with the context's error. */
ssize_t kelvoBufferRead(redisContext *c);

/* Request start: every idle link of this process back to plain reading and drained; the ring replayed. */
void kelvoLinksDisarm(void);
/* Request end: every idle plain link of this process armed for the SIGIO handler. */
void kelvoLinksArm(void);
/* Arms one record now (a link stashed outside a request). */
struct kelvoPLink;
void kelvoPLinkArm(kelvoPLink *plink);

/* Start-up: the replay of a deferred SIGIO, and the pool's cache duties. */
void kelvoInvalidationStartup(void);

/* True for an "invalidate" push: at least two elements, "invalidate" first, then an array or nil. */
bool kelvoIsInvalidationPush(const kelvoReply *reply);

/* -- this process's shared invalidation queue, as the event listeners take from it ----------------- */

/* One queued message: the identity of the endpoint whose link received it (as link identities
 * are written) and the key, or none for a flush. The bytes stay valid until the next take or
 * the detach. */
struct kelvoQueuedInvalidation {
    const char *endpoint;
    size_t endpointLength;
    const char *key; /* null: a flush */
    size_t keyLength;
};

/* Takes a free queue for this process: 0, or -1 when every queue is held. */
int kelvoInvalidationQueueAttach(void);
/* Gives the queue back; what it still holds is dropped. */
void kelvoInvalidationQueueDetach(void);
/* The oldest message not yet taken (the one taken before is consumed): true, or false when empty. */
bool kelvoInvalidationQueueTake(kelvoQueuedInvalidation *out);

#endif
