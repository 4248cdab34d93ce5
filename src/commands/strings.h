/*
 * The string writes and their options: SET with its expiry, condition and set-mode options,
 * GETEX, MSET, MSETNX, MSETEX, DELEX, the counters and INCREX (builders in strings.cc). The
 * option record and its readers and emitters below are shared with the builders of other
 * families that take SET-style expiries (HSETEX, HGETEX).
 *
 * Nothing here owns anything: an option record refers to values inside the caller's
 * arguments. Engine side; one request, no lock.
 */
#ifndef KELVO_STRINGS_H
#define KELVO_STRINGS_H

#include "client/object.h"
#include "wire/command.h"

#include <cstddef>
#include <cstdint>

/* Expiry types: the row of the expiry word in expiryTypeNames. */
enum kelvoExpiryType : uint32_t {
    KELVO_EXPIRY_NONE = 0,
    KELVO_EXPIRY_EX = 1,
    KELVO_EXPIRY_PX = 2,
    KELVO_EXPIRY_EXAT = 3,
    KELVO_EXPIRY_PXAT = 4,
    KELVO_EXPIRY_PERSIST = 5,
};

/* Conditions on the stored value (IFEQ, IFNE) or on its digest (IFDEQ, IFDNE). */
enum kelvoIfType : uint32_t {
    KELVO_IF_NONE = 0,
    KELVO_IF_EQ = 1,
    KELVO_IF_NE = 2,
    KELVO_IF_DEQ = 3,
    KELVO_IF_DNE = 4,
};

struct kelvoWord {
    const char *name;
    size_t len;
};

/* "", "EX", "PX", "EXAT", "PXAT", "PERSIST", by expiry type. */
extern const kelvoWord expiryTypeNames[6];

/* The options of one SET-family request; all zero is none. */
struct kelvoSetOptions {
    uint32_t expiry;   /* kelvoExpiryType */
    int64_t ttl;       /* after the expiry word; not sent for PERSIST */
    zend_string *mode; /* NX or XX (FNX or FXX for HSETEX) in the caller's letter case */
    uint32_t ifType;   /* kelvoIfType */
    zval *ifValue;     /* the value compared */
    bool keepTtl;
    bool get;
};

/* True, with *type set, for "IFEQ", "IFNE", "IFDEQ" or "IFDNE" in any letter case; otherwise
 * false and *type untouched. */
bool stringToIfType(uint32_t *type, const zend_string *word);

/*
 * Fills `options` (zeroed first) from an options array (null: none), in the array's order, the
 * last expiry, set-mode word and condition winning: string keys EX, PX, EXAT, PXAT (ttl by
 * integer conversion), PERSIST and the conditions; values KEEPTTL, NX or XX (FNX or FXX for
 * HSETEX), GET and PERSIST under integer keys. Anything else is ignored.
 */
void kelvoFillSetOptionsHt(kelvoSetOptions *options, int cmd, HashTable *ht);

/*
 * Fills `options` (zeroed first) from one expiry argument (null: none): an options array, a
 * float of seconds (PX in whole milliseconds), "PERSIST", or an integer of seconds, also as a
 * string that spells one (EX). Any
 * other value is refused with "Timeout must be >= 0 and <= 9223372036854775807": -1, and the
 * caller must not send a request that would silently lose its expiry.
 */
int kelvoFillSetExpiryOptions(kelvoSetOptions *options, int cmd, zval *value);

/* The condition word and its value: packed for IFEQ and IFNE, so that it compares with what SET
 * stored, as plain text for the digest conditions. False after the value was refused (reported). */
bool kelvoRespCmdCatIfType(rrc *req, const robj *obj, uint32_t type, zval *value);

/* The expiry word and, but for PERSIST, its ttl; nothing without an expiry. */
void kelvoRespCmdCatExpiryOptions(rrc *rrc, const kelvoSetOptions *info);

/* key, packed value for every element of `pairs` (integer keys as decimal text, prefixed as
 * every key). False after a value was refused (reported). */
bool kelvoRespCmdCatMSetKeyVals(rrc *req, const robj *obj, HashTable *pairs);

#endif
