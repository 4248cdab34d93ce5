/*
 * Cached values to PHP values, and the random member drawn with the engine's
 * Mersenne Twister: the engine's side of cached values.
 */
#include "cache/keys.h"
#include "pack/pack.h"
#include "runtime/fatal.h"
#include "runtime/optflags.h"

extern "C" {
#include "ext/random/php_random.h"
}

namespace {

bool nilAsFalse(uint16_t flags)
{
    return (flags & (kelvoOptPhpredisCompat | kelvoOptNullMultibulkAsNull)) == kelvoOptPhpredisCompat;
}

/* Map entries carry no terminating NUL, which the unserializers need: unpack from a string of them. */
void unpackEntryBytes(const kelvoPackOptions *options, zval *dst, const char *bytes, uint32_t length)
{
    zend_string *s = zend_string_init(bytes, length, 0);
    kelvoUnpackEx(options, dst, ZSTR_VAL(s), length, s);
    zend_string_release(s);
}

/* What PHP sees of one hash field: its value, true when it is only known to exist, else null. */
void hashFieldValue(const kelvoPackOptions *options, zval *dst, const kelvoMapSlot *slot, const kelvoMapMember &m)
{
    uint32_t flags = kelvoMapSlotFlags(slot);
    if (flags & KELVO_MAP_SLOT_ABSENT)
        ZVAL_NULL(dst);
    else if (m.hasValue)
        unpackEntryBytes(options, dst, m.value, m.valueLen);
    else if (flags & KELVO_MAP_SLOT_EXISTS)
        ZVAL_TRUE(dst);
    else
        ZVAL_NULL(dst);
}

template <typename Visit>
void forEachSlot(uint32_t type, const kelvoMap *map, Visit visit)
{
    if (!map)
        return;
    /* The server's order, not the slots': a cached answer lists what the reply listed, as it listed it. */
    const kelvoMapSlot *slots = kelvoMapSlots(map);
    for (uint32_t i : kelvoMapSlotsInArenaOrder(map)) {
        const char *entry = kelvoMapEntryAtConst(map, &slots[i]);
        visit(&slots[i], kelvoMapReadEntry(kelvoMapPublicEntry(type, entry, kelvoMapSlotFlags(&slots[i]))));
    }
}

void hashToZVal(const kelvoPackOptions *options, zval *zdst, const kelvoMap *map)
{
    array_init_size(zdst, map ? map->live : 0);
    forEachSlot(KELVO_HASH, map, [&](const kelvoMapSlot *slot, const kelvoMapMember &m) {
        zval v;
        hashFieldValue(options, &v, slot, m);
        zend_symtable_str_update(Z_ARRVAL_P(zdst), m.name, m.nameLen, &v);
    });
}

/* The members of a set are what was stored, so they are unpacked like values. */
void setToZVal(const kelvoPackOptions *options, zval *zdst, const kelvoMap *map)
{
    array_init_size(zdst, map ? map->live : 0);
    forEachSlot(KELVO_SET, map, [&](const kelvoMapSlot *slot, const kelvoMapMember &m) {
        if (kelvoMapSlotFlags(slot) & KELVO_MAP_SLOT_ABSENT)
            return;
        zval v;
        unpackEntryBytes(options, &v, m.name, m.nameLen);
        zend_hash_next_index_insert(Z_ARRVAL_P(zdst), &v);
    });
}

uint32_t mtDraw(uint32_t upper, void *) { return static_cast<uint32_t>(php_mt_rand_range(0, upper)); }

} // namespace

void kelvoMapPartsToZVal(const kelvoPackOptions *options, zval *zdst, uint32_t type, const kelvoMap *map, bool names)
{
    forEachSlot(type, map, [&](const kelvoMapSlot *slot, const kelvoMapMember &m) {
        if (kelvoMapSlotFlags(slot) & KELVO_MAP_SLOT_ABSENT)
            return;
        zval v;
        if (names)
            ZVAL_STRINGL_FAST(&v, m.name, m.nameLen);
        else if (m.hasValue)
            unpackEntryBytes(options, &v, m.value, m.valueLen);
        else
            ZVAL_NULL(&v);
        zend_hash_next_index_insert(Z_ARRVAL_P(zdst), &v);
    });
}

void kelvoKeyToZVal(const kelvoPackOptions *options, bool raw, zval *zdst, const rk *key)
{
    kelvoAssert(key != NULL && options != NULL);
    const kelvoPackOptions *unpackWith = raw ? nullptr : options;
    bool collection = key->type & (KELVO_HASH | KELVO_SET | KELVO_LIST | KELVO_ZSET);
    if (collection && kelvoKeyIs(key, KELVO_INTERNED)) {
        ZVAL_EMPTY_ARRAY(zdst);
        return;
    }
    switch (key->type) {
    case KELVO_NIL:
        if (nilAsFalse(options->flags))
            ZVAL_FALSE(zdst);
        else
            ZVAL_NULL(zdst);
        return;
    case KELVO_STRING: {
        uint32_t length;
        const char *bytes = kelvoKeyStringConst(key, &length);
        kelvoUnpackEx(unpackWith, zdst, bytes, length, nullptr);
        return;
    }
    case KELVO_INTEGER:
        ZVAL_LONG(zdst, key->v.integer);
        return;
    case KELVO_SET:
        setToZVal(unpackWith, zdst, kelvoKeyMapConst(key));
        return;
    case KELVO_HASH:
        hashToZVal(unpackWith, zdst, kelvoKeyMapConst(key));
        return;
    case KELVO_LIST:
    case KELVO_ZSET:
        kelvoUnimplemented();
    default:
        kelvoPanic("Unhandled key -> zval type %d\n", static_cast<int>(key->type));
    }
}

void kelvoHashPartsToZVal(const kelvoPackOptions *options, bool raw, zval *zdst, const rk *key, bool names)
{
    if (kelvoKeyIs(key, KELVO_INTERNED)) {
        ZVAL_EMPTY_ARRAY(zdst);
        return;
    }
    kelvoAssert(key->type == KELVO_HASH);
    array_init_size(zdst, kelvoKeyLocalLen(key));
    kelvoMapPartsToZVal(raw ? nullptr : options, zdst, KELVO_HASH, kelvoKeyMapConst(key), names);
}

const void *kelvoMapGetRandEntry(const rk *key) { return kelvoMapGetRandEntryWith(key, mtDraw, nullptr); }
