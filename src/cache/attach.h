/*
 * A process's attachments to cached database sets: the link-level attach
 * and release that pair a key lease and a writer place in the arena with
 * the process's record of them (`epdb`, in the module globals'
 * `endpoint_dbs`, one record per lease handle), so that every lease a
 * process took is given back, however many of its links share one set.
 *
 * Termination signals are blocked while a lease, a writer count and a
 * record change together. Engine side (the records live in a persistent
 * engine hash); the arena side is cache.h.
 */
#ifndef KELVO_ATTACH_H
#define KELVO_ATTACH_H

#include <cstdint>

struct kelvoEndpoint;
struct rdb;

/* One attachment this process made. */
struct epdb {
    int32_t pid;
    kelvoEndpoint *ep;
    rdb *db;
    uint16_t lease;
};

/*
 * Attaches a link of endpoint `ep` that has no cached database: a lease and
 * a writer place. 0 when attached (`*db`, `*lease` set); -1 otherwise, with
 * `*db` null and `*lease` 0 (every lease held) or 0xFFFF (no set had room).
 */
int kelvoAttachEndpointAndDB(kelvoEndpoint *ep, rdb **db, uint16_t *lease);

/* Gives an attachment back (lease, writer place; the last writer empties the set) and forgets its record. */
void kelvoReleaseAndForgetDB(kelvoEndpoint *ep, rdb *db, uint16_t lease);

/*
 * Termination: gives back every attachment this process still records
 * (leases and writer places, without emptying anything) and forgets them.
 */
void kelvoReleaseProcessAttachments(void);

#endif
