/*
 * Plain C wrappers over Concurrency Kit, whose headers do not compile as
 * C++. The C++ side sees its types as opaque storage of the right size and
 * alignment (checked in ck_shim.c): the epoch with its records, and the
 * Robin Hood hash sets (ck_rhs) the shared cache and table are built from.
 *
 * Owns the record's owner word: every record registered in the global epoch
 * carries the id of the process that holds it, in the tail padding of the
 * library's record, which the library never writes (0: nobody, or a record that no
 * process owns, like the deferred-free record), so records of dead processes
 * can be found and given back.
 *
 * ck 0.7.1: records are registered and recycled without a per-record
 * argument; retirement always uses the multi-writer ck_epoch_call_strict.
 */
#ifndef KELVO_CK_SHIM_H
#define KELVO_CK_SHIM_H

#include <assert.h> /* static_assert in C */
#include <stdbool.h>
#include <stddef.h>
#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

#define KELVO_CK_EPOCH_SIZE  24
#define KELVO_CK_RECORD_SIZE 192
#define KELVO_CK_RHS_SIZE    48

typedef struct kelvoCkEpoch {
    unsigned char opaque[KELVO_CK_EPOCH_SIZE];
} __attribute__((aligned(8))) kelvoCkEpoch;

typedef struct kelvoCkRhs {
    unsigned char opaque[KELVO_CK_RHS_SIZE];
} __attribute__((aligned(8))) kelvoCkRhs;

typedef struct kelvoCkSection {
    unsigned int bucket;
} kelvoCkSection;

/* An epoch record; the id of the process that holds it rides in the record's tail padding. */
typedef struct kelvoEpochRecord {
    unsigned char record[KELVO_CK_RECORD_SIZE];
} __attribute__((aligned(64))) kelvoEpochRecord;
static_assert(__alignof__(kelvoEpochRecord) == 64 && sizeof(kelvoEpochRecord) % 64 == 0,
              "records of the reader pool never share a cache line");

/* The 16 bytes in front of a retired object: its free callback and the pending-list link. */
typedef struct kelvoEpochEntry kelvoEpochEntry;
typedef void kelvoEpochCallback(kelvoEpochEntry *entry);
struct kelvoEpochEntry {
    kelvoEpochCallback *function;
    void *next;
};
static_assert(sizeof(kelvoEpochEntry) == 16, "a retired object has exactly 16 bytes in front of it");

void kelvoCkEpochInit(kelvoCkEpoch *epoch);
/* Adds a new record to the epoch, held by `owner`. */
void kelvoCkEpochRegister(kelvoCkEpoch *epoch, kelvoEpochRecord *record, uint32_t owner);
/* Takes a free record for `owner`, or null when none is free. */
kelvoEpochRecord *kelvoCkEpochRecycle(kelvoCkEpoch *epoch, uint32_t owner);
/* Gives a record back (it waits for kelvoCkEpochRecycle). */
void kelvoCkEpochUnregister(kelvoEpochRecord *record);
/* Gives back every held record whose owner `alive` says is gone; returns how many. */
unsigned kelvoCkEpochReleaseDead(kelvoCkEpoch *epoch, bool (*alive)(uint32_t owner));
/* The process holding the record; 0 when free or owned by no process. */
uint32_t kelvoCkEpochOwner(const kelvoEpochRecord *record);
/* Free records waiting for reuse. */
unsigned kelvoCkEpochFreeRecords(const kelvoCkEpoch *epoch);

void kelvoCkEpochBegin(kelvoEpochRecord *record, kelvoCkSection *section);
void kelvoCkEpochEnd(kelvoEpochRecord *record, kelvoCkSection *section);
/* True while the record is inside a read section. */
bool kelvoCkEpochActive(const kelvoEpochRecord *record);

/* Pushes `entry` onto the record's pending list of the current epoch; any number of processes at once. */
void kelvoCkEpochRetire(kelvoEpochRecord *record, kelvoEpochEntry *entry, kelvoEpochCallback *function);
/* Runs the callbacks whose grace period has passed; one poller at a time. True when it made progress. */
bool kelvoCkEpochPoll(kelvoEpochRecord *record);
/* Retired entries not yet freed. */
unsigned kelvoCkEpochPending(const kelvoEpochRecord *record);

/* --- hash sets ------------------------------------------------------------- */

/* ck_rhs modes: objects are pointers; read-mostly trades put and delete speed for get. */
#define KELVO_CK_RHS_OBJECT      8
#define KELVO_CK_RHS_READ_MOSTLY 16

/* A set's allocator (the library's struct ck_malloc): `defer` asks to keep a map readable until readers are done. */
typedef struct kelvoCkAllocator {
    void *(*malloc)(size_t size);
    void *(*realloc)(void *pointer, size_t oldSize, size_t newSize, bool defer);
    void (*free)(void *pointer, size_t size, bool defer);
} kelvoCkAllocator;

typedef unsigned long kelvoCkRhsHash(const void *object, unsigned long seed);
/* True when both objects name the same key. */
typedef bool kelvoCkRhsCompare(const void *a, const void *b);

typedef struct kelvoCkRhsIterator {
    void **cursor;
    unsigned long offset;
} kelvoCkRhsIterator;

/*
 * A set of `capacity` (rounded up to a power of two, at least 8) whose maps
 * come from `allocator`; the set keeps pointers to the callbacks and the
 * allocator, so they must be at one address in every process that uses it.
 */
bool kelvoCkRhsInit(kelvoCkRhs *set, unsigned mode, kelvoCkRhsHash *hash, kelvoCkRhsCompare *compare,
                    kelvoCkAllocator *allocator, unsigned long capacity, unsigned long seed);
void kelvoCkRhsDestroy(kelvoCkRhs *set);
void *kelvoCkRhsGet(kelvoCkRhs *set, unsigned long hash, const void *key);
/* Inserts when the key is absent; false when present or when the set could not make room. */
bool kelvoCkRhsPut(kelvoCkRhs *set, unsigned long hash, const void *object);
/* Inserts or replaces; `*previous` is the replaced object or null. */
bool kelvoCkRhsSet(kelvoCkRhs *set, unsigned long hash, const void *object, void **previous);
void *kelvoCkRhsRemove(kelvoCkRhs *set, unsigned long hash, const void *key);
/* A map of at least `capacity` slots: true when rebuilt; false when the map is already larger, or no map could be had. */
bool kelvoCkRhsGrow(kelvoCkRhs *set, unsigned long capacity);
unsigned long kelvoCkRhsCount(kelvoCkRhs *set);
/* An empty map of `capacity`; the old one goes to the allocator's free with defer. */
bool kelvoCkRhsResetSize(kelvoCkRhs *set, unsigned long capacity);
/* Makes `to` refer to `from`'s map, with `from`'s callbacks and allocator; `from` is unchanged. */
bool kelvoCkRhsMove(kelvoCkRhs *to, kelvoCkRhs *from);
void kelvoCkRhsIteratorInit(kelvoCkRhsIterator *iterator);
bool kelvoCkRhsNext(kelvoCkRhs *set, kelvoCkRhsIterator *iterator, void **object);
unsigned kelvoCkRhsMode(const kelvoCkRhs *set);
/* Percent of the capacity the set fills before it grows. */
unsigned kelvoCkRhsLoadFactor(const kelvoCkRhs *set);
/* The set's current map: a change tells that the set was grown or reset. */
const void *kelvoCkRhsMapOf(const kelvoCkRhs *set);

#ifdef __cplusplus
}
#endif

#endif
