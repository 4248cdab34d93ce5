/*
 * Kelvo\Sentinel: a small synchronous client of one sentinel server. It sends the "SENTINEL"
 * subcommands of its own command table, and "PING", over one link of its own (handshake as
 * client name "sentinel"), through the links, request buffer and send loop the single-server
 * client uses. No cache, pipeline, transaction or event support.
 *
 * Owns: its link (link.h), its connection information with the strings in it, and its last
 * error, all in request memory. A persistent link is closed on release like any other until
 * links are pooled; its identity already carries a hash of the password and TLS settings
 * (kelvoOptKeyedBySecrets), so a pooled one can only serve an object with the same secrets.
 *
 * One process, one request thread: no locks, nothing in the arena. A link inherited across a
 * fork is dropped by the child's first call.
 */
#ifndef KELVO_SENTINEL_H
#define KELVO_SENTINEL_H

#include "php_kelvo.h"
#include "client/object.h"
#include "link/link.h"

#include <cstddef>
#include <cstdint>

/* Sentinel command ids: indexes of kelvoSentinelCommandTable. */
enum kelvoSentinelCmd : uint32_t {
    KELVO_SENTINEL_PRIMARY = 0,
    KELVO_SENTINEL_PRIMARIES,
    KELVO_SENTINEL_CKQUORUM,
    KELVO_SENTINEL_FAILOVER,
    KELVO_SENTINEL_FLUSHCONFIG,
    KELVO_SENTINEL_GET_MASTER_ADDR_BY_NAME,
    KELVO_SENTINEL_GET_PRIMARY_ADDR_BY_NAME,
    KELVO_SENTINEL_MASTER,
    KELVO_SENTINEL_MASTERS,
    KELVO_SENTINEL_MYID,
    KELVO_SENTINEL_PING,
    KELVO_SENTINEL_RESET,
    KELVO_SENTINEL_SENTINELS,
    KELVO_SENTINEL_SLAVES,
    KELVO_SENTINEL_CMD_COUNT,
};

/* The state of a Kelvo\Sentinel object, in front of its engine object. */
struct kelvoSentinelObject {
    kelvoLink link;
    redisInfo info;          /* type -1 until the constructor filled it */
    uint8_t throwOnError;    /* OPT_THROW_ON_ERR */
    kelvoRetryOptions retry; /* never set: a failed request is not sent again */
    zend_string *lastError;
    zend_object std; /* last: the engine object and its properties follow */
};

/* Registers Kelvo\Sentinel with its object handlers and method attributes. MINIT. */
zend_class_entry *kelvoRegisterSentinelClass();

/* The record of an engine object, or of the object a method was called on (fatal on null). */
kelvoSentinelObject *kelvoSentinelGetObject(zend_object *object);
kelvoSentinelObject *kelvoSentinelGetObjectZVal(zval *value);

/*
 * The dispatcher every command method forwards to: builds the request from the method's
 * arguments, readies the link (connect, handshake), sends, checks the reply type and converts
 * the reply. False after a recorded error reply; a link failure, an error that is thrown and a
 * reply of an unexpected type raise Kelvo\Exception.
 */
void kelvoSentinelCommand(INTERNAL_FUNCTION_PARAMETERS, kelvoSentinelCmd id);

#endif
