/*
 * The shared table's storage: named namespaces of items in the arena, each
 * item a key, a value record and an optional expiry (milliseconds of the
 * monotonic clock), for Kelvo\Table (table/table_php.cc).
 *
 * Owns, in the arena: the namespace set of the root's table part (built by
 * kelvoTableInitRoot), every namespace record (retired only when the whole
 * table is emptied), every item with its value record in one block (freed
 * only through the epoch's deferred-free lists), and the table totals.
 *
 * Locks: readers take none and stay inside an epoch section from the lookup
 * until what they return is copied out. Every change of a namespace's items
 * holds that namespace's lock (kind of kelvo.locks.cache); inserting a
 * namespace and emptying the table hold the root lock, taken before any
 * namespace lock. Locks are held only around changes of sets and counters:
 * nothing here calls back into its caller while it holds one. Sets grow before
 * an insert that would pass their load factor, and the insert is refused when
 * they cannot (the library grows after inserting and ignores a failure).
 *
 * Walks: a namespace and the namespace set each carry a change counter that
 * is odd while a writer changes them. A walk that saw it move starts again,
 * and after a few tries copies the set's objects under the lock instead, so
 * no walk lists an object twice or misses one that stayed. A namespace also
 * counts the changes that move items to other slots (a new map, a removal,
 * which shifts later items back), for walks spread over several sections.
 *
 * One liveness rule: an item is live while its expiry is 0 or later than now.
 * Engine-free.
 */
#ifndef KELVO_TABLE_H
#define KELVO_TABLE_H

#include <cstddef>
#include <cstdint>

#include "shm/ck_shim.h"
#include "shm/lock.h"

enum kelvoValueType : uint32_t {
    KELVO_VALUE_NULL = 0,
    KELVO_VALUE_BOOL = 1,
    KELVO_VALUE_LONG = 2,
    KELVO_VALUE_DOUBLE = 3,
    KELVO_VALUE_STRING = 4,
    KELVO_VALUE_SERIALIZED = 5,
};

/* A record of static storage, shared by every process and never freed. */
constexpr uint32_t KELVO_VALUE_STATIC = 0x1;

struct kelvoValue {
    uint32_t type;
    uint32_t flags;
    union {
        int64_t l; // LONG; BOOL 0 or 1
        double d;
        const char *str; // STRING, SERIALIZED: the bytes, NUL-terminated
    } u;
    uint32_t length; // STRING, SERIALIZED
};

extern const kelvoValue kelvoValueNull;
extern const kelvoValue kelvoValueFalse;
extern const kelvoValue kelvoValueTrue;
constexpr int KELVO_VALUE_SMALL_NUMBERS = 17;
extern const kelvoValue kelvoValueSmallNumbers[KELVO_VALUE_SMALL_NUMBERS];

/* What a set's objects point at: the first two fields of a namespace's name and an item's key. */
struct kelvoTableKey {
    const char *bytes;
    uint32_t length;
};

/* One item; its value record (unless static), key bytes and value bytes follow in the same block. */
struct kelvoTableItem {
    kelvoEpochEntry epoch; // filled when retired
    kelvoTableKey key;     // what the item set stores
    const kelvoValue *value;
    int64_t expiry; // milliseconds of CLOCK_MONOTONIC; 0 none; fixed before publication
};

/* One namespace; its name bytes follow the record. */
struct kelvoTableHT {
    kelvoEpochEntry epoch; // filled when retired
    kelvoTableKey name;    // what the namespace set stores
    int64_t memory;        // accounted bytes of its items
    uint64_t changes;      // odd while a writer changes the item set
    uint64_t layout;       // changes that move items to other slots: a new map, a removal
    uint64_t expiring;     // items with an expiry: the sweep passes over a namespace without
    kelvoLock lock;
    kelvoCkRhs items;
    uint8_t retired; // set under the lock once taken out of the namespace set
};

/* The namespace of a set object and the item of one. */
inline kelvoTableHT *kelvoTableHTOf(const void *object)
{
    return reinterpret_cast<kelvoTableHT *>(static_cast<char *>(const_cast<void *>(object)) -
                                            offsetof(kelvoTableHT, name));
}
inline kelvoTableItem *kelvoTableItemOf(const void *object)
{
    return reinterpret_cast<kelvoTableItem *>(static_cast<char *>(const_cast<void *>(object)) -
                                              offsetof(kelvoTableItem, key));
}

/* What a stored value is made from (the engine side converts PHP values into it). */
struct kelvoValueSource {
    uint32_t type;
    bool b;
    int64_t l;
    double d;
    const char *bytes; // STRING, SERIALIZED
    size_t length;
};

enum kelvoTableStatus : int {
    KELVO_TABLE_OK = 0,
    KELVO_TABLE_MISSING,   // no such namespace or live key
    KELVO_TABLE_NO_MEMORY, // the heap had no room (for the item or for growing a set)
    KELVO_TABLE_RETIRED,   // the namespace was taken out by an emptying of the table
    KELVO_TABLE_BROKEN,    // a lock holder died: the shared state is disabled
};

/* --- the root's table part ------------------------------------------------------- */

/* Builds the namespace set (the cache is on, the root made): 0, or -1 after an error log. */
int kelvoTableInitRoot(void);

/* XXH3-64 of bytes with the root's seed. */
uint64_t kelvoTableHash(const char *bytes, size_t length);
unsigned long kelvoTableRhsHash(const void *object, unsigned long seed);
bool kelvoTableRhsCmp(const void *a, const void *b);

/* Now in milliseconds of CLOCK_MONOTONIC. */
int64_t kelvoTableNowMs(void);
/* Whether an item is live; the clock is read only for an item with an expiry. */
bool kelvoTableItemLive(const kelvoTableItem *item);
inline bool kelvoTableLiveAt(int64_t expiry, int64_t nowMs) { return expiry == 0 || expiry > nowMs; }
/*
 * The expiry of an item stored now for `seconds` (at least 1): saturates, so
 * no expiry is so large that it wraps into the past.
 */
int64_t kelvoTableExpiryIn(int64_t seconds);

/* Accounted bytes of an item: key + 49 (static value), + 73 (number), + value length + 74 (bytes). */
uint64_t kelvoTableItemSize(const kelvoTableItem *item);

/* --- items before publication ---------------------------------------------------- */

/*
 * A new item in one block (static value records are shared, not copied), or
 * null when the heap has no room or a length does not fit 32 bits.
 */
kelvoTableItem *kelvoTableItemCreate(const char *key, size_t keyLength, const kelvoValueSource *value, int64_t expiry);
/* Frees an item that was never published. */
void kelvoTableItemFree(kelvoTableItem *item);

/* --- reads: inside the caller's epoch section -------------------------------------- */

/* The namespace of that name, or null (also when it was retired). */
kelvoTableHT *kelvoTableFind(const char *name, size_t length);
/* The item of that key, live or not, or null. */
kelvoTableItem *kelvoTableHTFind(kelvoTableHT *ht, const char *key, size_t length);
/* Items of the namespace, expired ones not yet swept included. */
uint64_t kelvoTableHTCount(kelvoTableHT *ht);
int64_t kelvoTableHTMemory(const kelvoTableHT *ht);

/*
 * A walk over a set that starts again when the set changed under it: `reset`
 * runs before every pass (drop what the last pass collected), `visit` once per
 * object of the pass that counts. Neither runs under a lock.
 */
struct kelvoTableWalker {
    void (*reset)(void *arg);
    void (*visit)(void *arg, const void *object);
    void *arg;
};

/* Every item of a namespace once (visit gets a kelvoTableItem): 0, or -1 with the shared state broken. */
int kelvoTableHTForEach(kelvoTableHT *ht, const kelvoTableWalker *walker);
/* Every namespace once (visit gets a kelvoTableHT): 0, or -1 with the shared state broken. */
int kelvoTableForEachNamespace(const kelvoTableWalker *walker);

/*
 * The next item after `*position` of a walk that spans several sections;
 * false at the end. The caller restarts from an initialised position (and
 * skips what it already saw) when kelvoTableHTLayout moved since its last step.
 */
bool kelvoTableHTNext(kelvoTableHT *ht, kelvoCkRhsIterator *position, const kelvoTableItem **item);
uint64_t kelvoTableHTLayout(const kelvoTableHT *ht);

/* --- writes: the process has an epoch record and is not inside a section --------------- */

/*
 * Publishes `item` under its key in namespace `name` (made on first use),
 * replacing an item of the same key. With `keepExpiry` the item takes the
 * expiry of the replaced item when that was live. OK: the item is owned by
 * the table; otherwise it is still the caller's.
 */
kelvoTableStatus kelvoTableStore(const char *name, size_t nameLength, kelvoTableItem *item, bool keepExpiry);
/* Removes a key: OK when a live item was removed; MISSING otherwise (an expired one is removed too). */
kelvoTableStatus kelvoTableDelete(const char *name, size_t nameLength, const char *key, size_t keyLength);
/* Empties a namespace, which stays: OK (also when there is none), or BROKEN. */
kelvoTableStatus kelvoTableClear(const char *name, size_t nameLength);
/* Removes every namespace: the number of items they held (expired ones included), or -1 when broken. */
int64_t kelvoTableClearAll(void);

/* --- upkeep ------------------------------------------------------------------------ */

/*
 * The expiry sweep (`nowUsec`: wall-clock microseconds, not 0): at most once
 * per 50 ms in the whole process tree, claimed by compare-and-swap; reads the
 * clock once per namespace, passes over namespaces without expiring items,
 * and examines a bounded number of items per run, going on where the last run
 * stopped. Outside any section and lock.
 */
void kelvoTableCacheGC(uint64_t nowUsec);
/*
 * What a table write runs first, so that table-only code reclaims memory:
 * the sweep and the epoch poll, each when its interval has passed.
 */
void kelvoTableUpkeep(uint64_t nowUsec);
/* After a refused allocation: one epoch poll, whatever the interval. */
void kelvoTableReclaim(void);

/* Wall-clock microseconds, coarse (a few milliseconds): cheap enough to ask at every write. */
uint64_t kelvoTableNowUsec(void);

#endif
