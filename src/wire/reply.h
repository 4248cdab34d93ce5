/*
 * Reply nodes (`kelvoReply`): the tree the RESP3 reader builds through the
 * module's reply-object functions, installed on the reader of every link.
 *
 * Owns: nodes and their payload strings, in the engine's request memory. A
 * tree belongs to whoever takes its root from the reader and is freed with
 * kelvoReplyFree; a consumer that keeps a payload adds its own reference to
 * the engine string first. The most frequent small replies (nil, true, false,
 * the integers 0 to 5, the empty array and map) are shared read-only nodes
 * marked KELVO_REPLY_INTERNED that cost no allocation and are never freed.
 *
 * Readers outlive requests, nodes do not: the reader calls the object
 * functions only once a whole top-level reply is buffered and hands the tree
 * straight out, so no node is ever left inside a reader between requests.
 * No locks, nothing shared between processes.
 */
#ifndef KELVO_REPLY_H
#define KELVO_REPLY_H

#include <cstddef>
#include <cstdint>

extern "C" {
#include "php.h"
}

#include "runtime/fatal.h"
#include "resp3/resp3.h"

/* Reply types: the reader's numbers. */
enum : uint32_t {
    KELVO_REPLY_STRING = REDIS_REPLY_STRING,
    KELVO_REPLY_ARRAY = REDIS_REPLY_ARRAY,
    KELVO_REPLY_INTEGER = REDIS_REPLY_INTEGER,
    KELVO_REPLY_NIL = REDIS_REPLY_NIL,
    KELVO_REPLY_STATUS = REDIS_REPLY_STATUS,
    KELVO_REPLY_ERROR = REDIS_REPLY_ERROR,
    KELVO_REPLY_DOUBLE = REDIS_REPLY_DOUBLE,
    KELVO_REPLY_BOOL = REDIS_REPLY_BOOL,
    KELVO_REPLY_MAP = REDIS_REPLY_MAP,
    KELVO_REPLY_SET = REDIS_REPLY_SET,
    KELVO_REPLY_ATTR = REDIS_REPLY_ATTR,
    KELVO_REPLY_PUSH = REDIS_REPLY_PUSH,
    KELVO_REPLY_BIGNUM = REDIS_REPLY_BIGNUM,
    KELVO_REPLY_VERB = REDIS_REPLY_VERB,
};
static_assert(KELVO_REPLY_STRING == 1 && KELVO_REPLY_VERB == 14);

/* `flags`: a shared constant node, never freed. */
constexpr uint8_t KELVO_REPLY_INTERNED = 0x01;

struct kelvoReply {
    uint32_t type;
    uint8_t flags;
    char vtype[3];     /* a VERB's format ("txt", "mkd"), not NUL-terminated */
    uint64_t elements; /* children of an aggregate; a MAP or ATTR alternates key, value */
    double dval;       /* DOUBLE */
    union {
        int64_t integer;      /* INTEGER; 1 or 0 for BOOL */
        zend_string *str;     /* string-like types; a DOUBLE's text as sent */
        kelvoReply **element; /* aggregates: right after the node, same allocation; null when empty */
    } v;
};
static_assert(sizeof(kelvoReply) == 32, "reply nodes are 32 bytes");

extern const kelvoReply kelvoNilReply;
extern const kelvoReply kelvoTrueReply;
extern const kelvoReply kelvoFalseReply;
extern const kelvoReply kelvoSmallIntegerReply[6]; /* node i holds i */
extern const kelvoReply kelvoEmptyArrayReply;
extern const kelvoReply kelvoEmptyMapReply;
extern const kelvoReply kelvoOkStatusReply; /* +OK */

/* The reader's object-function table: every reply arrives as kelvoReply nodes. */
extern const redisReplyObjectFunctions kelvoReplyObjectFunctions;

namespace kelvo_reply_detail {
constexpr bool isString[16] = {false, true,  false, false, false, true, true, false,
                               false, false, false, false, false, true, true, false};
constexpr bool isAggregate[16] = {false, false, true, false, false, false, false, false,
                                  false, true,  true, true,  true,  false, false, false};
} // namespace kelvo_reply_detail

/* STRING, STATUS, ERROR, BIGNUM, VERB. */
static inline bool kelvoReplyTypeIsString(uint32_t type) { return type < 16 && kelvo_reply_detail::isString[type]; }

/* ARRAY, MAP, SET, ATTR, PUSH. */
static inline bool kelvoReplyTypeIsAggregate(uint32_t type)
{
    return type < 16 && kelvo_reply_detail::isAggregate[type];
}

/* The payload of a string-like node, or a DOUBLE's text. */
static inline zend_string *kelvoReplyZStr(const kelvoReply *r)
{
    kelvoAssert(kelvoReplyTypeIsString(r->type) || r->type == KELVO_REPLY_DOUBLE);
    return r->v.str;
}

/* The value of an INTEGER node, or 1/0 for a BOOL. */
static inline int64_t kelvoReplyInteger(const kelvoReply *r)
{
    kelvoAssert(r->type == KELVO_REPLY_INTEGER || r->type == KELVO_REPLY_BOOL);
    return r->v.integer;
}

/* The object functions (the reader calls them; exported for tests and the
 * few callers that build nodes by hand). Each attaches its node to the
 * task's parent when there is one and never returns null. */
void *kelvoReplyCreateString(const redisReadTask *task, const char *str, size_t len);
void *kelvoReplyCreateArray(const redisReadTask *task, size_t elements);
void *kelvoReplyCreateInteger(const redisReadTask *task, long long value);
void *kelvoReplyCreateDouble(const redisReadTask *task, double value, const char *str, size_t len);
void *kelvoReplyCreateNil(const redisReadTask *task);
void *kelvoReplyCreateBool(const redisReadTask *task, int value);

/* Frees a tree: children, payload strings (interned strings are left alone)
 * and nodes. Null and shared nodes are ignored. */
void kelvoReplyFree(void *reply);

/* Installs kelvoReplyObjectFunctions on the context's reader (and raises its
 * idle-buffer threshold to 128 KiB). Must run on every new or reconnected
 * context before any byte is read: a missing or dirty reader is fatal. */
void kelvoRedisContextUseKelvoReply(redisContext *c);

/* "string" ... "verb" by type number; "NULL" for no reply, "unknown" outside 1..14. */
const char *kelvoReplyTypeToString(const kelvoReply *reply);
const char *kelvoReplyTypeName(uint32_t type);

#endif
