/*
 * The request under construction (`rrc`): every request the module sends is
 * built here, already in RESP wire form, one bulk string per argument, with an
 * index of where each argument's bytes lie so later roles (keys, slot routing)
 * read arguments back without parsing.
 *
 * Owns: the argument index, the wire buffer and the optional user data of each
 * request, all in the engine's request memory. Takes no lock, touches nothing
 * shared. Memory exhaustion ends the request inside the engine's allocator, so
 * no operation here reports an error; misuse is a fatal assertion.
 *
 * Buffer layout: bytes 0..12 are a reserve (11 filler bytes, CR LF) that
 * receives the array header, right-aligned, when the request is finished; the
 * request to send is buffer[head .. len). Argument 0 is the command word.
 */
#ifndef KELVO_COMMAND_H
#define KELVO_COMMAND_H

#include <cstddef>
#include <cstdint>
#include <cstring>

extern "C" {
#include "php.h"
#include "zend_smart_string.h"
}

struct kelvoPackOptions; /* value packing (pack.h) */

/* Request flags (`rrc.flags`, copied into the query set). */
enum : uint8_t {
    KELVO_INITIALIZED = 0x01, /* the record owns its index, buffer and user data */
    KELVO_REQ_RAW = 0x02,     /* no key prefix, no value packing, no reply formatter */
    KELVO_REQ_SINGLE = 0x04,  /* a nil reply is one missing value */
    KELVO_REQ_CLUSTER = 0x08, /* 0x10 and 0x20 are the cluster routing bits */
    KELVO_REQ_META = 0x40,    /* GET or HGET with cache metadata */
};

/* Size of the header reserve at the front of every request buffer. */
constexpr uint8_t KELVO_RESP_RESERVE = 13;

/* What `rrc.userdata` holds. Only a record is ever freed by a release; a
 * number parked by a builder is never mistaken for a pointer. */
enum kelvoReqDataKind : uint8_t {
    KELVO_REQ_DATA_NONE = 0,
    KELVO_REQ_DATA_RECORD = 1, /* emalloc'd; an 8-byte word, then a zval (zend_fcall_info has this shape) */
    KELVO_REQ_DATA_NUMBER = 2, /* a plain count, such as the key count of MSETEX */
};

/* One entry of the argument index: where the argument's data starts (after its
 * bulk header) and how long it is. */
struct rrcArg {
    uint64_t offset;
    uint64_t len;
};

union rrcUserdata {
    void *record;
    uint64_t number;
};

struct rrc {
    rrcArg *args;
    smart_string buffer;
    rrcUserdata userdata;
    uint64_t pos;  /* arguments appended, the command word included */
    uint64_t size; /* capacity of `args` */
    int32_t cmd;   /* command id, -1 when started from a name */
    uint8_t flags;
    uint8_t context; /* set by builders for the later roles of the same command */
    uint8_t head;    /* first byte to send: 13 while building */
    kelvoReqDataKind udkind;
};

/* A ready RESP header: its text, zero-padded to 8 bytes so it can be copied as one word, and
 * its length. */
struct kelvoRespLookupEntry {
    char str[8];
    size_t len;
};

/* "$0\r\n" .. "$36\r\n" and "*0\r\n" .. "*36\r\n". */
extern const kelvoRespLookupEntry kelvoRespBulkLookup[37];
extern const kelvoRespLookupEntry kelvoRespMbulkLookup[37];

/* Writes the decimal digits of `value` (no sign, no terminator) at `buf` and
 * returns their count, 1 to 20. */
size_t kelvoUnsignedToString(char *buf, uint64_t value);

/* Starts a request for command id `cmd` (0 to 306): its ready bulk name is
 * argument 0; `flags` gets KELVO_INITIALIZED added, `context` is 0. Reads the
 * command catalogue (command_word.cc). */
void kelvoRespCmdInitCmd(rrc *req, uint8_t flags, int32_t cmd);

/* Starts a request for a command given by its wire name (copied unchanged as
 * argument 0); `cmd` becomes -1, `flags` the given flags plus KELVO_INITIALIZED. */
void kelvoRespCmdInitLen(rrc *req, uint8_t flags, const char *name, size_t len);

/* Starts a request that holds only the header reserve, no argument yet; the
 * command word is appended next (kelvoRespCmdCatKw or kelvoRespCmdCatLen). */
void kelvoRespCmdInitEmpty(rrc *req, uint8_t flags, int32_t cmd);

/* Makes room for `args` more arguments and `bytes` more wire bytes at once, so a builder that
 * knows its size grows the request once instead of step by step. */
void kelvoRespCmdReserve(rrc *req, uint64_t args, size_t bytes);

/* Replaces the command word of a request that holds nothing else. */
void kelvoRespCmdUpdateCmd(rrc *req, int32_t cmd);

/* Writes the array header right-aligned into the reserve and sets `head`.
 * Appending afterwards requires finishing again. */
void kelvoRespCmdFinish(rrc *req);

/* Frees the index, the buffer and an attached user-data record, and clears
 * KELVO_INITIALIZED. Does nothing on a request that is not initialised, so
 * releasing twice is harmless. */
void kelvoRespCmdRelease(rrc *req);

/* The bytes to send, valid once the request is finished. */
static inline const char *kelvoRespCmdData(const rrc *req) { return req->buffer.c + req->head; }
static inline size_t kelvoRespCmdLen(const rrc *req) { return req->buffer.len - req->head; }

/* Argument i's bytes, through the index. */
static inline const char *kelvoRespCmdArg(const rrc *req, uint64_t i) { return req->buffer.c + req->args[i].offset; }

/* User data. A record is an emalloc'd block that begins with one 8-byte word
 * followed by a zval; releasing the request destroys the zval and frees it.
 * A number is never freed. Setting replaces nothing: the slot must be empty. */
void kelvoRespCmdSetRecord(rrc *req, void *record);
void kelvoRespCmdSetNumber(rrc *req, uint64_t number);
/* Moves the user data out (the dispatcher hands it to the query set); the
 * request keeps nothing to release. */
rrcUserdata kelvoRespCmdTakeUserdata(rrc *req, kelvoReqDataKind *kind);

/* Appenders: each adds exactly one argument unless stated. */

/* The ready bulk name of command `cmd`; only as argument 0. */
void kelvoRespCmdCatKw(rrc *req, int32_t cmd);

/* Out of line, for the appenders below: room for one more argument of `total` wire bytes (the
 * index doubled when full, the buffer grown). */
void kelvoRespCmdMakeRoom(rrc *req, size_t total);
/* "$<n>\r\n" into `buf` (24 bytes); its length. */
size_t kelvoRespBulkHeaderText(char *buf, uint64_t len);

/* Copies n bytes. Most arguments (keys, words, numbers) are at most 16 bytes long: those go as
 * two overlapping fixed-size moves, which the compiler inlines, rather than a library call. */
inline void kelvoRespCopy(char *to, const char *from, size_t n)
{
    if (n > 16) {
        memcpy(to, from, n);
    } else if (n >= 8) {
        memcpy(to, from, 8);
        memcpy(to + n - 8, from + n - 8, 8);
    } else if (n >= 4) {
        memcpy(to, from, 4);
        memcpy(to + n - 4, from + n - 4, 4);
    } else if (n > 0) {
        to[0] = from[0];
        to[n / 2] = from[n / 2];
        to[n - 1] = from[n - 1];
    }
}

/* Writes the header, index entry and trailing CR LF of an n-byte argument and
 * returns where the caller writes its n bytes (valid until the next append).
 * Inline, with growth out of line: every argument of every request comes here. */
inline char *kelvoRespCmdCatAlloc(rrc *req, size_t len)
{
    constexpr size_t padded = sizeof(kelvoRespLookupEntry::str);
    char scratch[24];
    const char *header = scratch;
    size_t hlen;
    if (EXPECTED(len < 37)) {
        header = kelvoRespBulkLookup[len].str;
        hlen = kelvoRespBulkLookup[len].len;
    } else {
        hlen = kelvoRespBulkHeaderText(scratch, len);
    }
    /* A ready header is copied as its whole padded entry, so the room kept covers that; the
     * padding is overwritten by the data or lies past the end of the request. */
    const size_t total = hlen + len + 2;
    if (UNEXPECTED(req->pos >= req->size || total + padded > req->buffer.a - req->buffer.len))
        kelvoRespCmdMakeRoom(req, total + padded);
    /* The record is updated before the bytes are written: a byte store may alias it, so the
     * other order would reload every field. */
    const size_t start = req->buffer.len;
    char *at = req->buffer.c + start;
    req->args[req->pos++] = {start + hlen, len};
    req->buffer.len = start + total;
    if (EXPECTED(len < 37))
        memcpy(at, header, padded);
    else
        memcpy(at, header, hlen);
    at[hlen + len] = '\r';
    at[hlen + len + 1] = '\n';
    return at + hlen;
}

/* The bytes as they are. */
inline void kelvoRespCmdCatLen(rrc *req, const char *data, size_t len)
{
    kelvoRespCopy(kelvoRespCmdCatAlloc(req, len), data, len);
}

inline void kelvoRespCmdCatZStr(rrc *req, const zend_string *str)
{
    kelvoRespCmdCatLen(req, ZSTR_VAL(str), ZSTR_LEN(str));
}
void kelvoRespCmdCatZendLong(rrc *req, zend_long value);
void kelvoRespCmdCatZendULong(rrc *req, zend_ulong value);
/* zend_gcvt text, 17 significant digits, "." and "E". */
void kelvoRespCmdCatDouble(rrc *req, double value);
/* That text into `buf` (at least 32 bytes), terminated; its length. */
size_t kelvoDoubleText(char *buf, double value);
/* The value packed with `opts` (null: the plain "none" packing); no key
 * prefix. False, with nothing appended and nothing reported, when the
 * serializer cannot write the value (kelvoPackTmp). Links value packing
 * (command_fmt.cc). */
bool kelvoRespCmdCatZVal(rrc *req, const kelvoPackOptions *opts, zval *value);
/* The engine's string conversion of the value. */
void kelvoRespCmdCatZValZStr(rrc *req, zval *value);
/* Keys: `prefix` (may be null or empty) glued in front of the key, as one argument. */
inline void kelvoRespCmdCatKeyLen(rrc *req, const zend_string *prefix, const char *key, size_t len)
{
    if (prefix == NULL || ZSTR_LEN(prefix) == 0) {
        kelvoRespCmdCatLen(req, key, len);
        return;
    }
    char *at = kelvoRespCmdCatAlloc(req, ZSTR_LEN(prefix) + len);
    kelvoRespCopy(at, ZSTR_VAL(prefix), ZSTR_LEN(prefix));
    kelvoRespCopy(at + ZSTR_LEN(prefix), key, len);
}
/* The key is the decimal text of the number. */
void kelvoRespCmdCatKeyLong(rrc *req, const zend_string *prefix, zend_long key);
inline void kelvoRespCmdCatKeyZStr(rrc *req, const zend_string *prefix, const zend_string *key)
{
    kelvoRespCmdCatKeyLen(req, prefix, ZSTR_VAL(key), ZSTR_LEN(key));
}
void kelvoRespCmdCatKeyZVal(rrc *req, const zend_string *prefix, zval *key);
/* One argument per defined element, in array order. */
void kelvoRespCmdCatKeyHt(rrc *req, const zend_string *prefix, HashTable *keys);
void kelvoRespCmdCatHt(rrc *req, HashTable *values);
/* "STREAMS", every key of `streams` (prefixed; integer keys as decimal text),
 * then every value by string conversion. `streams` must not be empty. */
void kelvoRespCmdCatStreams(rrc *req, HashTable *streams, const zend_string *prefix);

/*
 * Appends one argument per format letter, taking its values from the variable
 * arguments in order:
 *   K zend_string* key   k (const char*, size_t) key   L zend_long key
 *   S zend_string*       s (const char*, size_t)       l zend_long   d double
 *   Z zval* packed with `pack`                         z zval* packed plainly
 * `prefix` and `pack` are the client's key prefix and packing options (either
 * may be null). Keys get the prefix glued in front when it is present and
 * non-empty. Any other letter prints "Unknown specifier '%c'" and ends the
 * process. False as soon as a value cannot be packed (see kelvoRespCmdCatZVal):
 * the request must then not be sent. Links value packing (command_fmt.cc).
 */
bool kelvoRespCmdFmt(rrc *req, const zend_string *prefix, const kelvoPackOptions *pack, const char *format, ...);

#endif
