/*
 * Plain C wrappers over Concurrency Kit, whose headers do not compile as
 * C++. The C++ side sees its types as opaque storage of the right size and
 * alignment (checked in ck_shim.c).
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
#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

#define KELVO_CK_EPOCH_SIZE 24
#define KELVO_CK_RECORD_SIZE 192
#define KELVO_CK_RHS_SIZE 48

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

#ifdef __cplusplus
}
#endif

#endif
