/*
 * The PHP session save handler "kelvo": its module table, registered with the
 * engine's session extension at every module start-up, and the interned
 * names of the commands it sends. Until the handler is built, opening a
 * session with it fails, which the session extension reports as a failed
 * start of its storage module.
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

#endif
