/* Concurrency Kit behind plain C calls (its headers are C only). */
#include "shm/ck_shim.h"

#include <ck_epoch.h>
#include <ck_pr.h>
#include <ck_rhs.h>
#include <stddef.h>
#include <string.h>

_Static_assert(sizeof(ck_epoch_t) == KELVO_CK_EPOCH_SIZE && _Alignof(ck_epoch_t) <= 8, "ck_epoch_t storage");
_Static_assert(sizeof(ck_rhs_t) == KELVO_CK_RHS_SIZE && _Alignof(ck_rhs_t) <= 8, "ck_rhs_t storage");
_Static_assert(sizeof(ck_epoch_record_t) == KELVO_CK_RECORD_SIZE && _Alignof(ck_epoch_record_t) <= 64,
               "ck_epoch_record_t storage");
/* The owner word sits after the last field of the library's record, in its padding up to the cache line. */
#define OWNER_OFFSET (offsetof(ck_epoch_record_t, pending) + sizeof(((ck_epoch_record_t *)0)->pending))
_Static_assert(OWNER_OFFSET % 4 == 0 && OWNER_OFFSET + sizeof(uint32_t) <= sizeof(ck_epoch_record_t),
               "room for the owner word");
_Static_assert(sizeof(kelvoEpochRecord) == sizeof(ck_epoch_record_t), "records are the library's size");
_Static_assert(sizeof(ck_epoch_entry_t) == sizeof(kelvoEpochEntry) &&
                   offsetof(ck_epoch_entry_t, function) == offsetof(kelvoEpochEntry, function) &&
                   offsetof(ck_epoch_entry_t, stack_entry) == offsetof(kelvoEpochEntry, next),
               "epoch entry layout");
_Static_assert(sizeof(ck_epoch_section_t) == sizeof(kelvoCkSection), "section layout");
_Static_assert(sizeof(struct ck_malloc) == sizeof(kelvoCkAllocator) &&
                   offsetof(struct ck_malloc, malloc) == offsetof(kelvoCkAllocator, malloc) &&
                   offsetof(struct ck_malloc, realloc) == offsetof(kelvoCkAllocator, realloc) &&
                   offsetof(struct ck_malloc, free) == offsetof(kelvoCkAllocator, free),
               "allocator layout");
_Static_assert(sizeof(ck_rhs_iterator_t) == sizeof(kelvoCkRhsIterator), "iterator layout");
_Static_assert(KELVO_CK_RHS_OBJECT == CK_RHS_MODE_OBJECT && KELVO_CK_RHS_READ_MOSTLY == CK_RHS_MODE_READ_MOSTLY,
               "set modes");

/* Record states of ck_epoch.c (not in its header): a held record is 0, a free one 1. */
enum { RECORD_USED = 0 };

static ck_epoch_t *E(kelvoCkEpoch *epoch) { return (ck_epoch_t *)epoch; }
static ck_epoch_record_t *R(kelvoEpochRecord *record) { return (ck_epoch_record_t *)record->record; }
static kelvoEpochRecord *W(ck_epoch_record_t *record) { return (kelvoEpochRecord *)record; }
static uint32_t *ownerOf(kelvoEpochRecord *record) { return (uint32_t *)(record->record + OWNER_OFFSET); }

uint32_t kelvoCkEpochOwner(const kelvoEpochRecord *record)
{
    return ck_pr_load_32((const uint32_t *)(record->record + OWNER_OFFSET));
}

void kelvoCkEpochInit(kelvoCkEpoch *epoch) { ck_epoch_init(E(epoch)); }

void kelvoCkEpochRegister(kelvoCkEpoch *epoch, kelvoEpochRecord *record, uint32_t owner)
{
    ck_pr_store_32(ownerOf(record), owner);
    ck_epoch_register(E(epoch), R(record), NULL);
}

kelvoEpochRecord *kelvoCkEpochRecycle(kelvoCkEpoch *epoch, uint32_t owner)
{
    ck_epoch_record_t *record = ck_epoch_recycle(E(epoch), NULL);
    if (record == NULL)
        return NULL;
    ck_pr_store_32(ownerOf(W(record)), owner);
    return W(record);
}

void kelvoCkEpochUnregister(kelvoEpochRecord *record)
{
    /* Owner first: a record being given back is never taken for a dead one's. */
    ck_pr_store_32(ownerOf(record), 0);
    ck_pr_fence_store();
    ck_epoch_unregister(R(record));
}

unsigned kelvoCkEpochReleaseDead(kelvoCkEpoch *epoch, bool (*alive)(uint32_t owner))
{
    unsigned released = 0;
    ck_stack_entry_t *cursor;
    CK_STACK_FOREACH(&E(epoch)->records, cursor) {
        kelvoEpochRecord *record = W((ck_epoch_record_t *)((char *)cursor - offsetof(ck_epoch_record_t, record_next)));
        uint32_t owner = ck_pr_load_32(ownerOf(record));
        if (owner == 0 || ck_pr_load_uint(&R(record)->state) != RECORD_USED || alive(owner))
            continue;
        /* Several pollers may find the same corpse; the exchange elects one. */
        if (!ck_pr_cas_32(ownerOf(record), owner, 0))
            continue;
        ck_epoch_unregister(R(record));
        released++;
    }
    return released;
}

unsigned kelvoCkEpochFreeRecords(const kelvoCkEpoch *epoch)
{
    return ck_pr_load_uint(&((const ck_epoch_t *)epoch)->n_free);
}

void kelvoCkEpochBegin(kelvoEpochRecord *record, kelvoCkSection *section)
{
    ck_epoch_begin(R(record), (ck_epoch_section_t *)section);
}

void kelvoCkEpochEnd(kelvoEpochRecord *record, kelvoCkSection *section)
{
    ck_epoch_end(R(record), (ck_epoch_section_t *)section);
}

bool kelvoCkEpochActive(const kelvoEpochRecord *record)
{
    return ck_pr_load_uint(&((const ck_epoch_record_t *)record->record)->active) != 0;
}

void kelvoCkEpochRetire(kelvoEpochRecord *record, kelvoEpochEntry *entry, kelvoEpochCallback *function)
{
    /*
     * The store that unlinked the object must be visible before the epoch is read: else a
     * reader that begins in the next epoch can still find the object while it is filed under
     * the older one, and is freed under that reader. The pending count's atomic increment
     * orders them (ck_epoch_call_strict's steps, with the count first), so no full fence
     * of its own is needed where atomics already order stores before loads.
     */
    ck_epoch_record_t *r = R(record);
    ck_pr_fence_store_atomic();
    ck_pr_inc_uint(&r->n_pending);
    ck_pr_fence_atomic_load();
    unsigned int epoch = ck_pr_load_uint(&r->global->epoch);
    ck_epoch_entry_t *e = (ck_epoch_entry_t *)entry;
    e->function = (ck_epoch_cb_t *)function;
    ck_stack_push_upmc(&r->pending[epoch & (CK_EPOCH_LENGTH - 1)], &e->stack_entry);
}

bool kelvoCkEpochPoll(kelvoEpochRecord *record) { return ck_epoch_poll(R(record)); }

unsigned kelvoCkEpochPending(const kelvoEpochRecord *record)
{
    return ck_pr_load_uint(&((const ck_epoch_record_t *)record->record)->n_pending);
}

/* --- hash sets ------------------------------------------------------------------------ */

static ck_rhs_t *S(kelvoCkRhs *set) { return (ck_rhs_t *)set; }

bool kelvoCkRhsInit(kelvoCkRhs *set, unsigned mode, kelvoCkRhsHash *hash, kelvoCkRhsCompare *compare,
                    kelvoCkAllocator *allocator, unsigned long capacity, unsigned long seed)
{
    return ck_rhs_init(S(set), mode, hash, compare, (struct ck_malloc *)allocator, capacity, seed);
}

void kelvoCkRhsDestroy(kelvoCkRhs *set) { ck_rhs_destroy(S(set)); }

void *kelvoCkRhsGet(kelvoCkRhs *set, unsigned long hash, const void *key) { return ck_rhs_get(S(set), hash, key); }

bool kelvoCkRhsPut(kelvoCkRhs *set, unsigned long hash, const void *object)
{
    return ck_rhs_put(S(set), hash, object);
}

bool kelvoCkRhsSet(kelvoCkRhs *set, unsigned long hash, const void *object, void **previous)
{
    return ck_rhs_set(S(set), hash, object, previous);
}

void *kelvoCkRhsRemove(kelvoCkRhs *set, unsigned long hash, const void *key)
{
    return ck_rhs_remove(S(set), hash, key);
}

bool kelvoCkRhsGrow(kelvoCkRhs *set, unsigned long capacity) { return ck_rhs_grow(S(set), capacity); }

unsigned long kelvoCkRhsCount(kelvoCkRhs *set) { return ck_rhs_count(S(set)); }

bool kelvoCkRhsResetSize(kelvoCkRhs *set, unsigned long capacity) { return ck_rhs_reset_size(S(set), capacity); }

bool kelvoCkRhsMove(kelvoCkRhs *to, kelvoCkRhs *from)
{
    return ck_rhs_move(S(to), S(from), S(from)->hf, S(from)->compare, S(from)->m);
}

void kelvoCkRhsIteratorInit(kelvoCkRhsIterator *iterator) { ck_rhs_iterator_init((ck_rhs_iterator_t *)iterator); }

bool kelvoCkRhsNext(kelvoCkRhs *set, kelvoCkRhsIterator *iterator, void **object)
{
    return ck_rhs_next(S(set), (ck_rhs_iterator_t *)iterator, object);
}

unsigned kelvoCkRhsMode(const kelvoCkRhs *set) { return ((const ck_rhs_t *)set)->mode; }

unsigned kelvoCkRhsLoadFactor(const kelvoCkRhs *set) { return ((const ck_rhs_t *)set)->load_factor; }

const void *kelvoCkRhsMapOf(const kelvoCkRhs *set) { return ck_pr_load_ptr(&((const ck_rhs_t *)set)->map); }
