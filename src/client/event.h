/*
 * The event objects handed to listener callbacks: Kelvo\Event (abstract) and its final
 * subclasses Kelvo\Event\Invalidated and Kelvo\Event\Flushed. An event is a plain engine
 * object (no native record in front of it) whose `type` and `key` the property guard of
 * guard.h keeps from PHP code; `client` stays writable and unset is not refused.
 * Engine side; request memory only, no locks.
 */
#ifndef KELVO_EVENT_H
#define KELVO_EVENT_H

#include "php_kelvo.h"
#include "runtime/kelvo.h" /* kelvo_event_ce, kelvo_event_invalidated_ce, kelvo_event_flushed_ce */

#include <cstddef>

/* Event type numbers, the values of Kelvo\Event::INVALIDATED and ::FLUSHED. */
enum kelvoEventType : int {
    kelvoEventInvalidated = 1,
    kelvoEventFlushed = 2,
};

/* Handlers of every event object: the standard ones with the property guard of guard.h
 * (reads, writes, direct property pointers) and kelvoEventFreeObject. */
extern zend_object_handlers kelvo_event_object_handlers;
void kelvoEventFreeObject(zend_object *object);
zval *kelvoEventWriteProperty(zend_object *object, zend_string *name, zval *value, void **cacheSlot);

/* Create-object hook of Kelvo\Event, inherited by both subclasses. */
zend_object *kelvoEventCreateObject(zend_class_entry *ce);

/* Iterator of Kelvo\Event, inherited by both subclasses: foreach by value walks a copy of the
 * properties; foreach by reference is refused. */
zend_object_iterator *kelvoEventGetIterator(zend_class_entry *ce, zval *object, int byRef);

/* Fills the event object handlers from the engine's standard ones. MINIT, once the classes exist. */
void kelvoEventInitHandlers();

/*
 * Makes an event in `out`: Kelvo\Event\Flushed for kelvoEventFlushed, else
 * Kelvo\Event\Invalidated, with `key` set to the `length` bytes at `key` (null when `key` is
 * null) and `client` to `client`; `type` keeps its class default.
 */
void kelvoEventInit(zval *out, int type, const char *key, size_t length, bool client);

#endif
