/*
 * The global epoch: lock-free read sections over shared structures, and the
 * deferred freeing of what writers unlink.
 *
 * Owns this process's reader (one epoch record per process, never shared
 * with another process), the read section around every read of shared data,
 * the retirement of unlinked objects onto the root's deferred-free record,
 * and the poll that frees them once no reader can still see them. The poll
 * also gives back the records of processes that died, so a process killed
 * inside a section never stops reclamation.
 *
 * There is no section record shared between processes: every read section,
 * the periodic tasks' included, runs on the process's own record.
 *
 * Sections do not nest and defer signals while open. No lock is taken here
 * except the allocator lock, when a new record has to be allocated; request
 * end releases the shared locks a bailout left held. The epoch lives in the
 * cache part of kelvoSharedData, whose layout (shared.h) sits below this
 * component. Engine-free.
 */
#ifndef KELVO_EPOCH_H
#define KELVO_EPOCH_H

#include <cstdint>

#include "shm/ck_shim.h"

/* This process's epoch reader. */
struct kelvoEpochReader {
    kelvoEpochRecord *rec;  // the record, or null
    kelvoCkSection section; // the open section
    uint32_t active;        // 1 inside a read section
    uint32_t pid;           // the process the record was taken for
};
extern kelvoEpochReader kelvoReader;

/*
 * Makes sure this process holds a record: 0, or -1 when the cache is not
 * usable or no record can be had (a warning log then; callers skip the cache).
 * A forked child takes its own record rather than use its parent's.
 */
int kelvoGlobalEpochInit(void);
/* Opens this process's read section; fatal when one is open or the process holds no record. */
void kelvoGlobalEpochBegin(void);
/* Closes it; fatal when none is open. */
void kelvoGlobalEpochEnd(void);
/* Gives this process's record back to the pool (request end, termination). */
void kelvoGlobalEpochRelease(void);

/*
 * Retires an object that is no longer reachable: `entry` is the 16 bytes in
 * front of it, `free` runs once no section that could have seen it is open.
 * Any number of processes may retire at once.
 */
void kelvoGlobalEpochRetire(kelvoEpochEntry *entry, kelvoEpochCallback *free);

/*
 * Gives back the records of dead processes, then frees what no reader can
 * still see: what was retired at least two epochs ago (each poll may
 * advance the epoch by one). One poller at a time (the periodic tasks claim
 * it); it needs a record of its own and must not be inside a section of
 * another kind. True when it made progress; the caller counts such polls.
 */
bool kelvoGlobalEpochPoll(void);

/* Retired objects not yet freed, and free reader records (for statistics). */
unsigned kelvoGlobalEpochPending(void);
unsigned kelvoGlobalEpochFreeReaders(void);

/*
 * Request end: gives back what a bailout left behind, a read section still
 * open or shared locks still held (those mark the shared state broken, as
 * their data may be half-changed), and reports it with an error log. Returns
 * how many were left.
 */
int kelvoSharedRequestEnd(void);

#endif
