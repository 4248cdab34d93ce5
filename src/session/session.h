/*
 * The PHP session save handler "kelvo": sessions kept on weighted shards listed in
 * session.save_path, each served by its own Kelvo\Kelvo client, with optional compression of
 * the data and an optional lock per session between requests.
 *
 * Owns: the session record of the request (request memory, handed to every slot by the session
 * module) with its shard clients and lock key; the interned command names (persistent, made at
 * every module start-up).
 *
 * Runs in the request of one process. The lock is between requests of any process or host that
 * share the servers: taken by SET NX, released by a compare-and-delete the server performs
 * atomically. Shard links run without the shared cache and without client tracking: session data,
 * locks and ids are always read from the server.
 */
#ifndef KELVO_SESSION_H
#define KELVO_SESSION_H

#include "php_kelvo.h"

enum kelvoSessionKeyword {
    KELVO_SKW_DEL,
    KELVO_SKW_DELEX,
    KELVO_SKW_DELIFEQ,
    KELVO_SKW_EVAL,
    KELVO_SKW_EVALSHA,
    KELVO_SKW_EXISTS,
    KELVO_SKW_EXPIRE,
    KELVO_SKW_GET,
    KELVO_SKW_SET,
    KELVO_SKW_COUNT,
};

/* Interned (persistent) command names, indexed by kelvoSessionKeyword. */
extern zend_string *sessionKeywords[KELVO_SKW_COUNT];

/* Interns sessionKeywords and registers the save handler; MINIT, every call. */
zend_result kelvoSessionRegister(void);

/* Writes the open session at request end, before the module's own request-end duties, so that a
 * handler on a kelvo client still has its link. RSHUTDOWN. */
void kelvoSessionFlushAtRequestEnd(void);

#endif
