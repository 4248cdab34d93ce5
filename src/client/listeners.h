/*
 * Event listeners of client objects (listen, onInvalidated, onFlushed, dispatchEvents): each
 * object's listener table, the process's registry of the objects that have listeners (by the
 * identity of the server their link talks to), the process's list of events waiting for
 * delivery, and the calls into PHP.
 *
 * Events come from two places: the client's own writes (the delete roles call
 * kelvoInvalidationCb) and this process's shared invalidation queue, which the invalidation
 * delivery owns and this component only attaches, detaches and drains through the queue seam
 * at the end of this header.
 *
 * Owns: listener records, the registry (counted object references) and the waiting events, all
 * request memory, emptied at request end. Nothing here lives in the arena.
 *
 * One process, one request thread: no locks. At most one listener callable runs at a time: an
 * event raised while one runs (its own write, a nested dispatchEvents) waits in the process's
 * list and is delivered after it returns. A listener that throws stops the delivery there; the
 * events not yet delivered wait for the next dispatch.
 */
#ifndef KELVO_LISTENERS_H
#define KELVO_LISTENERS_H

#include "cache/invalidation.h" /* this process's shared invalidation queue */
#include "client/object.h"

#include <cstddef>
#include <cstdint>

/* Listener masks: the event types a listener receives. */
constexpr uint32_t kelvoListenInvalidated = 1;
constexpr uint32_t kelvoListenFlushed = 2;

/* One listener (a pointer value of robj::callbacks). */
struct kelvoListenerCb {
    uint32_t mask;
    zend_string *pattern; /* "*" when none was given */
    zend_fcall_info fci;  /* its function name counted */
    zend_fcall_info_cache fcc;
};

/* Destructor of robj::callbacks: releases a listener record. */
void kelvoListenerCbDtor(zval *zv);

/*
 * Adds, replaces (the callable of the same mask and pattern) or, with an uninitialised `fci`,
 * removes a listener; the object joins the registry with its first listener (the process then
 * attaches a shared queue) and leaves it with its last. 0, or -1 after an E_WARNING (the link's
 * endpoint could not be attached, or no free shared queue: "Too many concurrent requests").
 */
int kelvoListenerUpdate(robj *ro, uint32_t mask, zend_string *pattern, zend_fcall_info *fci,
                        zend_fcall_info_cache *fcc);

/* The same for a record that is not a PHP object itself (a cluster's node): `owner` is the
 * object that keeps it alive, held by the registry while the record has listeners. */
int kelvoListenerUpdateOwned(robj *ro, zend_object *owner, uint32_t mask, zend_string *pattern, zend_fcall_info *fci,
                             zend_fcall_info_cache *fcc);

/* The arguments of onInvalidated, onFlushed and listen: a callable or null and, `withPattern`, an
 * optional key pattern, which must not be empty. */
struct kelvoListenerArgs {
    zend_fcall_info fci;
    zend_fcall_info_cache fcc;
    zend_string *pattern;
};
/* 1 read; 0 refused with an E_WARNING (an empty pattern); -1 with an exception pending. */
int kelvoListenerReadArgs(zend_execute_data *execute_data, bool withPattern, kelvoListenerArgs *args);

/* Unregisters the object (its listener table is the caller's); a process whose registry empties detaches its queue. */
void kelvoRemoveListenerRObj(robj *ro);

/* The object's listeners go: table emptied, object unregistered. Whatever drops a link calls it. */
void kelvoListenersDrop(robj *ro);

/*
 * A write of the client itself changed `key` (`length` bytes; null: the database was flushed).
 * Called by the delete roles when client invalidations are on and the object has listeners.
 * Inside a batch the event waits for the write's reply; otherwise its matching listeners run
 * now (or, while a listener runs, right after it).
 */
void kelvoInvalidationCb(robj *ro, const char *key, size_t length);

/* Holds an own-write event (null key: a flush) in the object's `ownEvents` until the replies
 * that decide it are read. */
void kelvoListenersHoldOwn(robj *ro, const char *key, size_t length);

/* Own-write events held with a batch (an array of key strings, null for a flush) whose replies
 * all arrived: delivered to the object's listeners. */
void kelvoListenersFireOwn(robj *ro, zval *events);

/*
 * Takes what this process's shared queue holds and runs the matching listeners of the waiting
 * events: the number of callables run, or -1 when one could not be called (E_WARNING "Failed
 * to invoke invalidation callback"). A listener's exception stays pending for the caller.
 */
int kelvoInvalidationsDispatch(void);

/* The interrupt hook's part: delivers when no listener runs and there is anything to deliver. */
void kelvoListenersInterrupt(void);

/* Request end: waiting events dropped, registry emptied, the shared queue given back. */
void kelvoListenersRequestEnd(void);

#endif
