/*
 * Cached values (`rk`): what a cache entry points at. One server key's value,
 * or the part of it the module knows, kept in the arena so that every worker
 * reads it without a lock and turns it back into PHP values.
 *
 * Owns: the value records and their storage (string bytes, list element
 * blocks, sorted-set records and member buffers, and `kelvoMap`, the one-block
 * open-addressing map of a cached hash or set), the eight interned constant
 * values, value building from reply nodes, copies, lengths, and the
 * conversion to PHP values.
 *
 * Private and shared. A value is built privately (kelvoKeyFromReply,
 * kelvoHashCreate, kelvoMapKeyCreate, kelvoKeyClone) and becomes shared once a
 * cache entry that points at it is published; from then on it never changes,
 * since readers in other processes hold it without a lock. The API keeps this
 * apart by type: builders return `rk *`, every mutator (kelvoMapPut through
 * kelvoKeyMapPtr, kelvoHashPutString, kelvoKeyFlagExists, kelvoKeySetLen)
 * takes `rk *`, and everything that reads takes `const rk *`, the form in
 * which shared values are handed out. To change a shared value (a new
 * length, a new member fact, completeness), clone it, change the copy and
 * store the copy as a new entry under the database lock.
 *
 * Hashes: members are hashed with XXH3-64 and the process tree's member seed
 * (kelvoMapSetSeed, set at start-up from the shared root before any worker
 * forks). A slot keeps its member's hash, so rebuilds and copies never
 * rehash.
 *
 * Size: no single value takes more than an eighth of the arena
 * (kelvoKeyMaxBytes); a build or growth beyond it fails like an allocation.
 *
 * Locks: none taken here besides the heap's allocator lock inside
 * kelvoShMalloc and its siblings. Building from reply nodes, the conversion to
 * PHP and the random entry are engine-side (keys_reply.cc, keys_zval.cc);
 * the rest is engine-free (keys.cc).
 */
#ifndef KELVO_KEYS_H
#define KELVO_KEYS_H

#include <cstddef>
#include <cstdint>
#include <vector>

#include "catalog/cmdrow.h"

struct kelvoPackOptions;

/* Value types (`rk::type`), one bit each: KELVO_NIL (interned values only), KELVO_STRING,
 * KELVO_INTEGER, KELVO_HASH, KELVO_SET, KELVO_LIST, KELVO_ZSET, named by the command catalogue. */

/* Value flags (`rk::flags`). */
constexpr uint16_t KELVO_INTERNED = 0x1;        /* a static constant: never freed, copied or changed */
constexpr uint16_t KELVO_KEY_FULL = 0x2;        /* the whole server value is cached */
constexpr uint16_t KELVO_KEY_INITIALIZED = 0x4; /* the payload storage exists */
constexpr uint16_t KELVO_KEY_LEN = 0x8;         /* `len` holds the server's length */
constexpr uint16_t KELVO_KEY_EXISTS = 0x80;     /* kelvoExistsKey only: the key exists, its value is unknown */
constexpr uint16_t KELVO_KEY_FILL_REVERSE =
    0x200; /* input to kelvoKeyFromReply only: fill a sorted set last to first */

/* `rk::len` when the server's length is not known. */
constexpr uint32_t KELVO_KEY_LEN_UNKNOWN = 0xFFFFFFFF;
/* A list element that is nil: its index record's offset. */
constexpr uint32_t KELVO_LIST_NIL_OFF = 0xFFFFFFFF;

/* --- the shared map ---------------------------------------------------------------------- */

/*
 * One shared block: this header, `slots` slots, then the entry arena of
 * `entries_cap` bytes. Offsets into the arena are multiples of 8 and at
 * least KELVO_MAP_MIN_OFF, so an offset word of 0 marks an empty slot.
 * Entries: a set member {u32 length; bytes}; a hash field {u32 field
 * length; u32 value length; field bytes; value bytes}, each padded to 8.
 * Replaced entries stay in the arena until the map is rebuilt or copied.
 * After every insertion: live * 100 <= slots * 85 and used <= entries_cap.
 */
struct kelvoMap {
    uint32_t live;        /* slots in use */
    uint32_t slots;       /* a power of two, at least 2 */
    uint32_t used;        /* arena bytes used, from KELVO_MAP_MIN_OFF */
    uint32_t entries_cap; /* arena bytes */
};

struct kelvoMapSlot {
    uint64_t hash; /* the member's hash */
    uint32_t off;  /* arena offset | slot flags; 0 = empty */
    uint32_t len;  /* member length */
};
static_assert(sizeof(kelvoMap) == 16 && sizeof(kelvoMapSlot) == 16, "slots and arena stay 8-aligned");

constexpr uint32_t KELVO_MAP_MIN_OFF = 8;
constexpr uint32_t KELVO_MAP_OFF_FLAGS = 7;
/* Slot flags. A hash slot with none of them holds a field the server answered nil for. */
constexpr uint32_t KELVO_MAP_SLOT_EXISTS = 1; /* the member exists; nothing more is kept */
constexpr uint32_t KELVO_MAP_SLOT_ABSENT = 2; /* the member is known to be absent */
constexpr uint32_t KELVO_MAP_SLOT_VALUE = 4;  /* the hash entry carries its value */

/* Public entry pointers (lookups, iteration): the 8-aligned entry address with a tag. */
constexpr uintptr_t KELVO_MAP_PUBLIC_FLAGS = 7;
constexpr uintptr_t KELVO_MAP_TAG_MEMBER = 1; /* a set member */
constexpr uintptr_t KELVO_MAP_TAG_VALUE = 4;  /* a hash field with its value (0: a hash field without one) */

/* kelvoMapGetSlot results. */
constexpr int KELVO_LOOKUP_FOUND = 0;
constexpr int KELVO_LOOKUP_EMPTY = 1;

/* Member states of kelvoMapGetEx. */
constexpr int KELVO_MEMBER_EXISTS = 0;
constexpr int KELVO_MEMBER_ABSENT = 1;
constexpr int KELVO_MEMBER_UNKNOWN = 2;

/* What kelvoMapPut stores with a member. */
constexpr int KELVO_MAP_NO_VALUE = 0;   /* a set member, or a hash field without its value */
constexpr int KELVO_MAP_WITH_VALUE = 1; /* hash only */
constexpr int KELVO_MAP_NIL_VALUE = 2;  /* hash only: the server answered nil for the field */

/* --- lists and sorted sets --------------------------------------------------------------- */

/* List element block: `count` of these, then the value area (each element's bytes and a NUL). */
struct kelvoListIndex {
    uint32_t off; /* into the value area; KELVO_LIST_NIL_OFF for a nil element */
    uint32_t len;
};

/* A shared byte buffer of NUL-terminated members. */
struct kelvoMemberBuffer {
    char *data;
    uint32_t used;
    uint32_t cap;
};

struct kelvoZSetBound {
    double value;
    uint8_t exclusive;
};

/* One sorted-set element, in stored (ascending) order. */
struct kelvoZSetRecord {
    const char *member; /* inside the member buffer; null for a nil member */
    uint32_t len;
    uint32_t zero;
    double score; /* 0 when the reply carried no scores */
};

/* --- values ------------------------------------------------------------------------------ */

struct rkString {
    const char *data; /* the bytes follow the header in the same block, then a NUL */
    uint32_t len;
    uint32_t zero;
};

struct rkList {
    kelvoListIndex *block;
    uint32_t count;
    uint32_t bytes; /* of the value area */
};

/* The stored range of a sorted set; `by`, `withscores` and the bounds are the caller's. */
struct rkZSet {
    uint8_t by;
    uint8_t withscores;
    kelvoZSetBound start;
    kelvoZSetBound end;
    kelvoZSetRecord *records;
    uint32_t count;
    kelvoMemberBuffer members;
};

struct rk {
    uint32_t type;  /* KELVO_NIL ... KELVO_ZSET */
    uint16_t flags; /* KELVO_INTERNED ... */
    uint32_t len;   /* the server's length, meaningful with KELVO_KEY_LEN */
    union {
        rkString str;
        int64_t integer;
        kelvoMap *map; /* hash and set; null until initialised */
        rkList list;
        rkZSet zset;
    } v;
};

/* The eight interned values, in read-only data. */
struct kelvoInternedKeySet {
    rk nil;         /* the key does not exist */
    rk exists;      /* the key exists, nothing else is known (not full) */
    rk zero;        /* the integer 0 */
    rk emptyString; /* a string known to be empty */
    rk emptyArray;  /* an empty collection of no particular type (type list) */
    rk emptyHash;
    rk emptySet;
    rk emptyZSet;
};
extern const kelvoInternedKeySet kelvoInternedKeys;

/* Interned values are handed out as plain `rk *`; every mutator refuses them. */
inline rk *const kelvoNilKey = const_cast<rk *>(&kelvoInternedKeys.nil);
inline rk *const kelvoExistsKey = const_cast<rk *>(&kelvoInternedKeys.exists);
inline rk *const kelvoZeroKey = const_cast<rk *>(&kelvoInternedKeys.zero);
inline rk *const kelvoEmptyStringKey = const_cast<rk *>(&kelvoInternedKeys.emptyString);
inline rk *const kelvoEmptyArrayKey = const_cast<rk *>(&kelvoInternedKeys.emptyArray);
inline rk *const kelvoEmptyHashKey = const_cast<rk *>(&kelvoInternedKeys.emptyHash);
inline rk *const kelvoEmptySetKey = const_cast<rk *>(&kelvoInternedKeys.emptySet);
inline rk *const kelvoEmptyZSetKey = const_cast<rk *>(&kelvoInternedKeys.emptyZSet);

inline bool kelvoKeyIs(const rk *key, uint16_t flag) { return (key->flags & flag) != 0; }

/* --- seed and limits --------------------------------------------------------------------- */

/* Module start-up, before any worker forks: the member seed of every map of the process tree. */
void kelvoMapSetSeed(uint64_t seed);
/* XXH3-64 of a member with the member seed. */
uint64_t kelvoMapMemberHash(const char *member, size_t length);
/* The largest value a build or growth may reach: an eighth of the arena. */
size_t kelvoKeyMaxBytes(void);

/* --- building and freeing ---------------------------------------------------------------- */

/*
 * A value of `type` from a reply node (engine side): the reply's whole
 * value, a prefix, or a set of members, with the caller's `flags`
 * (KELVO_KEY_FULL when it is complete; KELVO_KEY_FILL_REVERSE for a sorted
 * set given in descending order). Short cuts to interned values:
 *   nil reply                              -> kelvoNilKey
 *   empty string, string request, full     -> kelvoEmptyStringKey
 *   empty aggregate, collection request    -> full: kelvoNilKey; else kelvoEmptyArrayKey
 *   integer 0, integer request             -> kelvoZeroKey
 * Null when out of shared memory, past kelvoKeyMaxBytes or 32-bit lengths,
 * or when the reply does not have the shape the type needs (an empty string
 * whose completeness is unknown, a non-string member, an odd hash count, a
 * sorted-set pair without a double score, a reply of another type): such a
 * reply is simply not cached. A value that is not interned is private.
 */
rk *kelvoKeyFromReply(uint32_t type, uint16_t flags, const kelvoReply *reply);

/*
 * What value building reads of a reply tree, so that the building itself
 * stays engine-free: the shape of a node and the child `i` of an aggregate.
 */
enum kelvoNodeShape : uint32_t {
    KELVO_NODE_OTHER,
    KELVO_NODE_STRING,  /* bytes: data, len */
    KELVO_NODE_INTEGER, /* integer */
    KELVO_NODE_DOUBLE,  /* dval */
    KELVO_NODE_NIL,
    KELVO_NODE_AGGREGATE, /* elements (array, map or set) */
};
struct kelvoNode {
    kelvoNodeShape shape;
    const char *data;
    size_t len;
    int64_t integer;
    double dval;
    uint64_t elements;
};
struct kelvoNodeReader {
    kelvoNode (*shape)(const void *node);
    const void *(*child)(const void *node, uint64_t index);
};
/* kelvoKeyFromReply over any tree the reader can walk. */
rk *kelvoKeyFromNodes(uint32_t type, uint16_t flags, const kelvoNodeReader *reader, const void *root);

/* A value header for `type` with flags 0 and an unknown length, or null. KELVO_NIL is fatal. */
rk *rkKeyAlloc(uint32_t type);
/* The header bytes of a type (a string's bytes come on top). */
size_t rkValueSize(uint32_t type);
/* A string value of the bytes, flags = `flags` | KELVO_KEY_INITIALIZED; null past 32 bits or memory. */
rk *rkStringKeyAlloc(const char *bytes, size_t length, uint16_t flags);
/*
 * An initialised hash or set with a map for `members` members and an arena
 * of `arenaBytes` (0: the guess kelvoMapCreate makes), flags
 * KELVO_KEY_INITIALIZED; null for no members, other types or no memory.
 */
rk *kelvoMapKeyCreate(uint32_t type, uint64_t members, uint64_t arenaBytes);
/* kelvoMapKeyCreate(KELVO_HASH, fields, 0): an empty partial hash. */
rk *kelvoHashCreate(uint64_t fields);

/*
 * A private copy, or null (out of memory, or a value that cannot be copied:
 * a sorted set, an unknown type, or nothing to copy). An interned value is
 * returned itself. Integers keep flags and length; a string, list, hash or
 * set copy carries only KELVO_KEY_INITIALIZED (the caller re-applies
 * completeness and length with kelvoKeySetLen), and a map copy keeps its slot
 * count and only the entries its slots point at. A length-only value (no
 * storage) copies as length-only.
 */
rk *kelvoKeyClone(const rk *key);
/* Frees a value and its storage; interned values and null are ignored. */
void kelvoKeyFree(const rk *key);

/* --- maps -------------------------------------------------------------------------------- */

/*
 * An empty map for `members` members: slots = the smallest power of two
 * >= max(2, ceil(members * 100 / 85)), arena = members * 96 + 8 but at least
 * 256 bytes. Null for 0 members, sizes past 32 bits, or no memory. Fatal
 * unless the type is hash or set.
 */
kelvoMap *kelvoMapCreate(uint32_t type, uint64_t members);
/* The same with an arena of exactly `arenaBytes` (at least KELVO_MAP_MIN_OFF). */
kelvoMap *kelvoMapCreateSized(uint32_t type, uint64_t members, uint64_t arenaBytes);
void kelvoMapFree(kelvoMap *map);

inline kelvoMapSlot *kelvoMapSlots(kelvoMap *map) { return reinterpret_cast<kelvoMapSlot *>(map + 1); }
inline const kelvoMapSlot *kelvoMapSlots(const kelvoMap *map)
{
    return reinterpret_cast<const kelvoMapSlot *>(map + 1);
}
inline bool kelvoMapSlotIsEmpty(const kelvoMapSlot *slot) { return slot->off == 0; }
inline uint32_t kelvoMapSlotFlags(const kelvoMapSlot *slot) { return slot->off & KELVO_MAP_OFF_FLAGS; }
/* The arena offset of a non-empty slot. */
uint32_t kelvoMapSlotRealOff(const kelvoMapSlot *slot);
/* A slot's offset word. */
uint32_t kelvoMapSlotEncodeOff(uint32_t realOff, uint32_t flags);
/* The entry at an arena offset (writable: only while the map is private). */
char *kelvoMapEntryAt(kelvoMap *map, uint32_t off);
/* The entry of a non-empty slot. */
const char *kelvoMapEntryAtConst(const kelvoMap *map, const kelvoMapSlot *slot);

/* Arena bytes of a new entry; UINT64_MAX past 32 bits. A hash value counts only with KELVO_MAP_WITH_VALUE. */
uint64_t kelvoMapEntrySize(uint32_t type, uint64_t memberLen, uint64_t valueLen, int withValue);
/* Arena bytes of a stored entry under its slot flags; a length past 32 bits is fatal. */
uint32_t kelvoMapEntryLiveSize(uint32_t type, const char *entry, uint32_t slotFlags);

/*
 * Linear probing from hash & (slots - 1), at most `slots` probes: FOUND with
 * the member's slot index, or EMPTY with the first empty slot met (`index`
 * is then slots when the map has none).
 */
int kelvoMapGetSlot(uint32_t type, const kelvoMap *map, uint64_t hash, const char *member, size_t length,
                    uint32_t *index);

/*
 * Inserts or (with `replace`) updates one member of a private map, which may
 * move to a new block (`*map` is updated; the old block is freed). `withValue`
 * KELVO_MAP_WITH_VALUE stores value = {bytes; length} (hash only); otherwise
 * a hash field goes in without a value and a set accepts only
 * KELVO_MAP_NO_VALUE. `slotFlags` are EXISTS/ABSENT bits (the VALUE bit
 * follows `withValue`). An existing member without `replace` is left as it
 * is. 0, or -1 (bad arguments, sizes past 32 bits or kelvoKeyMaxBytes, no
 * memory: the map is unchanged).
 */
int kelvoMapPut(uint32_t type, kelvoMap **map, const char *member, size_t length, int withValue, uint32_t slotFlags,
                const char *value, size_t valueLength, int replace);
/* A field and its value into an initialised private hash (replacing): 0 or -1. */
int kelvoHashPutString(rk *hash, const char *field, size_t fieldLen, const char *value, size_t valueLen);

/*
 * Records that a member of a private partial hash or set exists or is
 * absent: a new member gets a flag-only slot; a known one gets the flag
 * (absent drops a kept value, exists keeps it). 0, or -1 for a full value, a
 * type other than hash or set, an uninitialised value, a member past 32 bits
 * or no memory.
 */
int kelvoKeyFlagExists(rk *key, const char *member, size_t length, int exists);

/*
 * The public entry of a member, or null; `state` (may be null):
 *   EXISTS  an entry is kept (its tag tells whether it has a value), or the
 *           member only is known to exist (null);
 *   ABSENT  known absent: a full value without it, an absent-flagged slot,
 *           or an interned full value (the nil key, the empty collections);
 *   UNKNOWN a partial value without it, a value without storage, the exists
 *           marker, a type other than hash or set, a member past 32 bits.
 */
const void *kelvoMapGetEx(const rk *key, int *state, const char *member, size_t length);
inline const void *kelvoMapGet(const rk *key, const char *member, size_t length)
{
    return kelvoMapGetEx(key, nullptr, member, length);
}

/*
 * The public entry of a uniformly drawn member of a full hash or set, drawn
 * with the engine's Mersenne Twister (engine side); null when it has no
 * member. A value that is not a full hash or set is fatal.
 */
const void *kelvoMapGetRandEntry(const rk *key);
/* The same with the caller's draw of an integer in [0, upper]. */
const void *kelvoMapGetRandEntryWith(const rk *key, uint32_t (*draw)(uint32_t upper, void *ctx), void *ctx);

/* A public entry, read. */
struct kelvoMapMember {
    const char *name;
    uint32_t nameLen;
    bool hasValue;
    const char *value; /* hash fields with a value */
    uint32_t valueLen;
};
kelvoMapMember kelvoMapReadEntry(const void *publicEntry);
/* The public pointer of an entry of a slot of `type`. */
const void *kelvoMapPublicEntry(uint32_t type, const char *entry, uint32_t slotFlags);

/*
 * The non-empty slot indexes of a map (null: none) in the order their entries entered the arena:
 * for a value built from one reply, the order the server gave.
 */
std::vector<uint32_t> kelvoMapSlotsInArenaOrder(const kelvoMap *map);
/* Walks the non-empty slots of a hash or set in slot order; nil collections walk as empty. */
struct kelvoMapIterator {
    const rk *key;
    uint32_t slotFlags; /* of the current slot */
    uint32_t spare;
    const void *entry; /* the current public entry; null when finished */
    int64_t index;     /* -1 before the first step */
};
/* A list or sorted set other than the interned empties is fatal. */
void kelvoMapIteratorInit(kelvoMapIterator *it, const rk *key);
bool kelvoMapIteratorNext(kelvoMapIterator *it);

/* --- lists and sorted sets --------------------------------------------------------------- */

/* Element `index` of a list: its bytes (NUL-terminated) or null for a nil element. */
const char *kelvoListElement(const rk *list, uint32_t index, uint32_t *length);

/*
 * Appends bytes and a NUL to a shared member buffer, growing it through the
 * heap when its room is not larger than `length`: 0, or -1 (past 32 bits, no
 * memory: nothing appended).
 */
int kelvoBufferCat(kelvoMemberBuffer *buffer, const char *bytes, size_t length);
/* kelvoBufferCat of a string reply's bytes (engine side); -1 for any other reply. */
int kelvoBufferCatReplyString(kelvoMemberBuffer *buffer, const kelvoReply *reply);

/* --- lengths ----------------------------------------------------------------------------- */

/* What is held locally: string bytes, list elements, map live count, sorted-set records; 0 otherwise. */
uint32_t kelvoKeyLocalLen(const rk *key);
/*
 * The server's length as far as known: 0 for interned values (the exists
 * marker too: callers test for it first), the recorded length with
 * KELVO_KEY_LEN, -1 for a partial value, else the local length.
 */
int64_t kelvoKeyRealLen(const rk *key);
/* A list's local element count and total length (-1 unknown); either may be null. */
void kelvoListLen(const rk *list, uint32_t *local, int64_t *total);
/*
 * Records the server's length on a private value. A length equal to the
 * local count makes a list complete, and a hash (every slot with its value)
 * or set (no slot flagged absent) of at most 256 members complete too;
 * otherwise the length is kept with KELVO_KEY_LEN. 0, or -1 for an interned
 * value or a length past 32 bits (nothing changed).
 */
int kelvoKeySetLen(rk *key, uint64_t length);
/* True for KELVO_NIL and the interned empty collections; other types than list, hash, set, nil, sorted set are fatal. */
bool kelvoIsNilCollection(const rk *key);

/* --- accessors (the type is checked with a fatal assertion) ------------------------------ */

char *kelvoKeyString(rk *key, uint32_t *length);
const char *kelvoKeyStringConst(const rk *key, uint32_t *length);
kelvoListIndex *kelvoKeyArray(rk *key);
const kelvoListIndex *kelvoKeyArrayConst(const rk *key);
/* Where a private hash or set keeps its map pointer (for kelvoMapPut). */
kelvoMap **kelvoKeyMapPtr(rk *key);
const kelvoMap *kelvoKeyMapConst(const rk *key);
/* The sorted-set fields of a private value. */
rkZSet *kelvoKeyZSet(rk *key);
const rkZSet *kelvoKeyZSetConst(const rk *key);

/* --- to PHP (engine side) ---------------------------------------------------------------- */

/*
 * The PHP value of a cached value under the client's options (`raw`: no
 * unpacking): nil -> false with the phpredis-compatibility option unless
 * null-multibulk is on, else null; interned collections -> []; string ->
 * unpacked bytes; integer; set -> list of its members (absent ones left
 * out); hash -> field => value, true for a field only known to exist, null
 * for absent ones and fields without a value. A list or sorted set that is
 * not interned is converted by its own commands (fatal here).
 */
void kelvoKeyToZVal(const kelvoPackOptions *options, bool raw, zval *zdst, const rk *key);
/* HKEYS (`names`) or HVALS of a cached hash into a new array; a hash type is asserted. */
void kelvoHashPartsToZVal(const kelvoPackOptions *options, bool raw, zval *zdst, const rk *key, bool names);
/*
 * Appends to the PHP list `zdst` the names, or the values (unpacked with
 * `options`, null: plain), of every non-empty slot not flagged absent in
 * slot order; a member without a value gives null.
 */
void kelvoMapPartsToZVal(const kelvoPackOptions *options, zval *zdst, uint32_t type, const kelvoMap *map, bool names);

#endif
