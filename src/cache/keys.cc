/*
 * Cached values and shared maps, engine-free: allocation, building from a
 * walked reply tree, maps, copies, lengths and accessors.
 */
#include "cache/keys.h"
#include "runtime/fatal.h"
#include "runtime/log.h"
#include "shm/lock.h"
#include "shm/shmalloc.h"

#include <xxhash.h>

#include <cstddef>
#include <algorithm>
#include <cstring>

namespace {

constexpr uint64_t kMax32 = 0xFFFFFFFF;
constexpr uint64_t kMaxSlots = uint64_t{1} << 31;
constexpr uint64_t kGuessEntryBytes = 96;
constexpr uint64_t kGuessMinArena = 256;
/* Up to this many members a length equal to the local count can prove a map complete. */
constexpr uint64_t kSmallMapMembers = 256;
constexpr size_t kHeader = offsetof(rk, v);

uint64_t memberSeed;

inline uint32_t load32(const char *p)
{
    uint32_t v;
    memcpy(&v, p, sizeof v);
    return v;
}

inline void store32(char *p, uint32_t v) { memcpy(p, &v, sizeof v); }

inline bool isMapType(uint32_t type) { return type == KELVO_HASH || type == KELVO_SET; }

/* Every block of a value comes through here: one value never takes more than its share of the arena. */
void *valueAlloc(size_t size)
{
    if (size > kelvoKeyMaxBytes())
        return nullptr;
    return kelvoShMalloc(size);
}

uint64_t mapBlockSize(uint64_t slots, uint64_t cap) { return sizeof(kelvoMap) + slots * sizeof(kelvoMapSlot) + cap; }

char *arenaOf(kelvoMap *map) { return reinterpret_cast<char *>(kelvoMapSlots(map) + map->slots); }
const char *arenaOf(const kelvoMap *map) { return reinterpret_cast<const char *>(kelvoMapSlots(map) + map->slots); }

/* The member bytes of an entry: after the length of a set entry, after both lengths of a hash entry. */
const char *memberOf(uint32_t type, const char *entry) { return entry + (type == KELVO_SET ? 4 : 8); }

kelvoMap *mapAlloc(uint32_t type, uint64_t slots, uint64_t cap)
{
    kelvoAssert(type == KELVO_HASH || type == KELVO_SET);
    auto *map = static_cast<kelvoMap *>(valueAlloc(mapBlockSize(slots, cap)));
    if (!map)
        return nullptr;
    map->live = 0;
    map->slots = static_cast<uint32_t>(slots);
    map->used = KELVO_MAP_MIN_OFF;
    map->entries_cap = static_cast<uint32_t>(cap);
    memset(static_cast<void *>(kelvoMapSlots(map)), 0, slots * sizeof(kelvoMapSlot));
    return map;
}

/* The slot count for `members` at the load limit, or 0 when there is none. */
uint64_t slotsFor(uint64_t members)
{
    if (members == 0 || members > kMax32 - 1)
        return 0;
    uint64_t need = (members * 100 + 84) / 85;
    uint64_t slots = 2;
    while (slots < need)
        slots <<= 1;
    return slots <= kMaxSlots ? slots : 0;
}

/* The first empty slot on the probe path of `hash`, or slots when there is none. */
uint32_t emptySlotFor(const kelvoMap *map, uint64_t hash)
{
    const kelvoMapSlot *slots = kelvoMapSlots(map);
    uint32_t mask = map->slots - 1;
    uint32_t i = static_cast<uint32_t>(hash) & mask;
    for (uint32_t probe = 0; probe < map->slots; probe++, i = (i + 1) & mask) {
        if (kelvoMapSlotIsEmpty(&slots[i]))
            return i;
    }
    return map->slots;
}

/*
 * A compact copy into a new block of `slots` slots and `cap` arena bytes:
 * only the entries slots point at, placed by their stored hashes. Null when
 * they do not fit or memory is short.
 */
kelvoMap *mapCopy(uint32_t type, const kelvoMap *src, uint64_t slots, uint64_t cap)
{
    kelvoMap *dst = mapAlloc(type, slots, cap < KELVO_MAP_MIN_OFF ? KELVO_MAP_MIN_OFF : cap);
    if (!dst)
        return nullptr;
    const kelvoMapSlot *from = kelvoMapSlots(src);
    kelvoMapSlot *to = kelvoMapSlots(dst);
    char *arena = arenaOf(dst);
    /* Entries keep their arena order, which is the order the server listed them in. */
    for (uint32_t i : kelvoMapSlotsInArenaOrder(src)) {
        uint32_t flags = kelvoMapSlotFlags(&from[i]);
        const char *entry = kelvoMapEntryAtConst(src, &from[i]);
        uint32_t size = kelvoMapEntryLiveSize(type, entry, flags);
        uint32_t at = emptySlotFor(dst, from[i].hash);
        if (uint64_t{dst->used} + size > dst->entries_cap || at == dst->slots) {
            kelvoShFree(dst);
            return nullptr;
        }
        memcpy(arena + dst->used, entry, size);
        if (type == KELVO_HASH && !(flags & KELVO_MAP_SLOT_VALUE))
            store32(arena + dst->used + 4, 0);
        to[at] = {from[i].hash, kelvoMapSlotEncodeOff(dst->used, flags), from[i].len};
        dst->used += size;
        dst->live++;
    }
    return dst;
}

/* Arena bytes of the entries a map's slots point at, with the reserved head. */
uint64_t liveArenaBytes(uint32_t type, const kelvoMap *map)
{
    uint64_t total = KELVO_MAP_MIN_OFF;
    const kelvoMapSlot *slots = kelvoMapSlots(map);
    for (uint32_t i = 0; i < map->slots; i++) {
        if (!kelvoMapSlotIsEmpty(&slots[i]))
            total += kelvoMapEntryLiveSize(type, kelvoMapEntryAtConst(map, &slots[i]), kelvoMapSlotFlags(&slots[i]));
    }
    if (total > kMax32)
        kelvoPanic("entry arena exceeds 32-bit offsets\n");
    return total;
}

void writeEntry(uint32_t type, char *at, uint64_t size, const char *member, uint32_t length, const char *value,
                uint32_t valueLength)
{
    memset(at, 0, size);
    store32(at, length);
    if (type == KELVO_HASH)
        store32(at + 4, valueLength);
    char *bytes = const_cast<char *>(memberOf(type, at));
    if (length)
        memcpy(bytes, member, length);
    if (valueLength)
        memcpy(bytes + length, value, valueLength);
}

/* --- building from a walked tree --- */

constexpr uint16_t kBuildFlagsDropped =
    KELVO_INTERNED | KELVO_KEY_INITIALIZED | KELVO_KEY_LEN | KELVO_KEY_EXISTS | KELVO_KEY_FILL_REVERSE;

/* A string member of a map, or false for any other shape or a length past 32 bits. */
bool stringMember(const kelvoNodeReader *reader, const void *node, kelvoNode *out)
{
    *out = reader->shape(node);
    return out->shape == KELVO_NODE_STRING && out->len <= kMax32;
}

rk *mapFromNodes(uint32_t type, uint16_t flags, const kelvoNodeReader *reader, const void *root, uint64_t n)
{
    if (type == KELVO_HASH && n % 2)
        return nullptr;
    uint64_t step = type == KELVO_HASH ? 2 : 1;
    uint64_t arena = KELVO_MAP_MIN_OFF;
    kelvoNode member, value{};
    for (uint64_t i = 0; i < n; i += step) {
        if (!stringMember(reader, reader->child(root, i), &member))
            return nullptr;
        if (step == 2 && !stringMember(reader, reader->child(root, i + 1), &value))
            return nullptr;
        arena += kelvoMapEntrySize(type, member.len, value.len, step == 2 ? KELVO_MAP_WITH_VALUE : KELVO_MAP_NO_VALUE);
        if (arena > kMax32)
            return nullptr;
    }
    rk *key = kelvoMapKeyCreate(type, n / step, arena);
    if (!key)
        return nullptr;
    for (uint64_t i = 0; i < n; i += step) {
        member = reader->shape(reader->child(root, i));
        int rc;
        if (step == 2) {
            value = reader->shape(reader->child(root, i + 1));
            rc = kelvoMapPut(type, &key->v.map, member.data, member.len, KELVO_MAP_WITH_VALUE, 0, value.data, value.len,
                             1);
        } else {
            rc = kelvoMapPut(type, &key->v.map, member.data, member.len, KELVO_MAP_NO_VALUE, 0, nullptr, 0, 0);
        }
        if (rc != 0) {
            kelvoKeyFree(key);
            return nullptr;
        }
    }
    key->flags |= flags;
    return key;
}

void markComplete(rk *key, uint16_t flags, uint32_t count)
{
    key->flags |= flags | KELVO_KEY_INITIALIZED;
    if (flags & KELVO_KEY_FULL) {
        key->flags |= KELVO_KEY_LEN;
        key->len = count;
    }
}

rk *listFromNodes(uint16_t flags, const kelvoNodeReader *reader, const void *root, uint64_t n)
{
    if (n > kMax32)
        return nullptr;
    uint64_t area = 0;
    for (uint64_t i = 0; i < n; i++) {
        kelvoNode e = reader->shape(reader->child(root, i));
        if (e.shape == KELVO_NODE_STRING)
            area += e.len + 1;
        else if (e.shape != KELVO_NODE_NIL)
            return nullptr;
        if (area > kMax32)
            return nullptr;
    }
    uint64_t blockBytes = n * sizeof(kelvoListIndex) + area;
    rk *key = rkKeyAlloc(KELVO_LIST);
    auto *block = key ? static_cast<kelvoListIndex *>(valueAlloc(blockBytes)) : nullptr;
    if (!block) {
        kelvoKeyFree(key);
        return nullptr;
    }
    char *values = reinterpret_cast<char *>(block + n);
    uint32_t used = 0;
    for (uint64_t i = 0; i < n; i++) {
        kelvoNode e = reader->shape(reader->child(root, i));
        if (e.shape == KELVO_NODE_NIL) {
            block[i] = {KELVO_LIST_NIL_OFF, 0};
            continue;
        }
        block[i] = {used, static_cast<uint32_t>(e.len)};
        memcpy(values + used, e.data, e.len);
        values[used + e.len] = '\0';
        used += static_cast<uint32_t>(e.len + 1);
    }
    kelvoAssert(used == area);
    key->v.list = {block, static_cast<uint32_t>(n), used};
    markComplete(key, flags, static_cast<uint32_t>(n));
    return key;
}

/* A sorted-set element: a member (string or nil) with, for a [member, score] pair, its score. */
bool zsetElement(const kelvoNodeReader *reader, const void *node, kelvoNode *member, double *score)
{
    *score = 0;
    *member = reader->shape(node);
    if (member->shape == KELVO_NODE_AGGREGATE) {
        if (member->elements != 2)
            return false;
        kelvoNode s = reader->shape(reader->child(node, 1));
        if (s.shape != KELVO_NODE_DOUBLE)
            return false;
        *score = s.dval;
        *member = reader->shape(reader->child(node, 0));
    }
    return member->shape == KELVO_NODE_NIL || (member->shape == KELVO_NODE_STRING && member->len <= kMax32);
}

rk *zsetFromNodes(uint16_t flags, const kelvoNodeReader *reader, const void *root, uint64_t n)
{
    if (n > kMax32)
        return nullptr;
    kelvoNode member;
    double score;
    uint64_t bytes = 0;
    for (uint64_t i = 0; i < n; i++) {
        if (!zsetElement(reader, reader->child(root, i), &member, &score))
            return nullptr;
        if (member.shape == KELVO_NODE_STRING)
            bytes += member.len + 1;
        if (bytes > kMax32)
            return nullptr;
    }
    if (n * sizeof(kelvoZSetRecord) + bytes > kelvoKeyMaxBytes())
        return nullptr;
    rk *key = rkKeyAlloc(KELVO_ZSET);
    if (!key)
        return nullptr;
    /* Freed as a whole from here on, whatever was reached. */
    key->flags |= KELVO_KEY_INITIALIZED;
    rkZSet *z = &key->v.zset;
    z->records = static_cast<kelvoZSetRecord *>(valueAlloc(n * sizeof(kelvoZSetRecord)));
    z->members.data = bytes ? static_cast<char *>(valueAlloc(bytes)) : nullptr;
    if (!z->records || (bytes && !z->members.data)) {
        kelvoKeyFree(key);
        return nullptr;
    }
    z->members.cap = static_cast<uint32_t>(bytes);
    z->count = static_cast<uint32_t>(n);
    bool reverse = flags & KELVO_KEY_FILL_REVERSE;
    for (uint64_t i = 0; i < n; i++) {
        zsetElement(reader, reader->child(root, i), &member, &score);
        kelvoZSetRecord *r = &z->records[reverse ? n - 1 - i : i];
        *r = {nullptr, 0, 0, score};
        if (member.shape == KELVO_NODE_STRING) {
            r->member = z->members.data + z->members.used;
            r->len = static_cast<uint32_t>(member.len);
            kelvoAssert(kelvoBufferCat(&z->members, member.data, member.len) == 0);
        }
    }
    markComplete(key, flags & ~KELVO_KEY_FILL_REVERSE, static_cast<uint32_t>(n));
    return key;
}

rk *integerKey(int64_t value, uint16_t flags)
{
    if (value == 0)
        return kelvoZeroKey;
    rk *key = rkKeyAlloc(KELVO_INTEGER);
    if (!key)
        return nullptr;
    key->flags = flags | KELVO_KEY_FULL;
    key->v.integer = value;
    return key;
}

/* The copy of a value without storage: its type and recorded length. */
rk *lengthOnlyCopy(const rk *key)
{
    if (!(key->flags & KELVO_KEY_LEN))
        return nullptr;
    rk *copy = rkKeyAlloc(key->type);
    if (!copy)
        return nullptr;
    copy->flags = KELVO_KEY_LEN;
    copy->len = key->len;
    return copy;
}

rk *listCopy(const rk *key)
{
    rk *copy = rkKeyAlloc(KELVO_LIST);
    if (!copy)
        return nullptr;
    copy->flags = KELVO_KEY_INITIALIZED;
    const rkList &src = key->v.list;
    if (src.count == 0)
        return copy;
    size_t bytes = size_t{src.count} * sizeof(kelvoListIndex) + src.bytes;
    auto *block = static_cast<kelvoListIndex *>(valueAlloc(bytes));
    if (!block) {
        kelvoKeyFree(copy);
        return nullptr;
    }
    memcpy(static_cast<void *>(block), src.block, bytes);
    copy->v.list = {block, src.count, src.bytes};
    return copy;
}

/* An initialised hash or set around a map, or null (the map freed) when memory is short. */
rk *mapKey(uint32_t type, kelvoMap *map)
{
    if (!map)
        return nullptr;
    rk *key = rkKeyAlloc(type);
    if (!key) {
        kelvoMapFree(map);
        return nullptr;
    }
    key->flags = KELVO_KEY_INITIALIZED;
    key->v.map = map;
    return key;
}

rk *mapKeyCopy(const rk *key)
{
    const kelvoMap *map = key->v.map;
    return mapKey(key->type, mapCopy(key->type, map, map->slots, liveArenaBytes(key->type, map)));
}

/* Whether every member of a map is known well enough for the map to be the whole value. */
bool mapMembersComplete(uint32_t type, const kelvoMap *map)
{
    const kelvoMapSlot *slots = kelvoMapSlots(map);
    for (uint32_t i = 0; i < map->slots; i++) {
        if (kelvoMapSlotIsEmpty(&slots[i]))
            continue;
        uint32_t flags = kelvoMapSlotFlags(&slots[i]);
        if (type == KELVO_HASH ? !(flags & KELVO_MAP_SLOT_VALUE) : (flags & KELVO_MAP_SLOT_ABSENT) != 0)
            return false;
    }
    return true;
}

} // namespace

/* --- interned values --- */

const kelvoInternedKeySet kelvoInternedKeys = {
    {KELVO_NIL, KELVO_INTERNED | KELVO_KEY_FULL, 0, {}},
    {KELVO_NIL, KELVO_INTERNED | KELVO_KEY_EXISTS, 0, {}},
    {KELVO_INTEGER, KELVO_INTERNED | KELVO_KEY_FULL, 0, {}},
    {KELVO_STRING, KELVO_INTERNED | KELVO_KEY_FULL, 0, {{"", 0, 0}}},
    {KELVO_LIST, KELVO_INTERNED | KELVO_KEY_FULL, 0, {}},
    {KELVO_HASH, KELVO_INTERNED | KELVO_KEY_FULL, 0, {}},
    {KELVO_SET, KELVO_INTERNED | KELVO_KEY_FULL, 0, {}},
    {KELVO_ZSET, KELVO_INTERNED | KELVO_KEY_FULL, 0, {}},
};

/* --- seed and limits --- */

void kelvoMapSetSeed(uint64_t seed) { memberSeed = seed; }

uint64_t kelvoMapMemberHash(const char *member, size_t length)
{
    return XXH3_64bits_withSeed(member, length, memberSeed);
}

size_t kelvoKeyMaxBytes(void) { return kelvoShArenaActive() ? kelvoShSize() / 8 : 0; }

/* --- building and freeing --- */

size_t rkValueSize(uint32_t type)
{
    switch (type) {
    case KELVO_STRING:
        return kHeader + sizeof(rkString);
    case KELVO_INTEGER:
        return kHeader + sizeof(int64_t);
    case KELVO_HASH:
    case KELVO_SET:
        return kHeader + sizeof(kelvoMap *);
    case KELVO_LIST:
        return kHeader + sizeof(rkList);
    case KELVO_ZSET:
        return kHeader + sizeof(rkZSet);
    case KELVO_NIL:
        kelvoPanic("NIL keys should never be allocated\n");
    default:
        kelvoUnreachable();
    }
}

rk *rkKeyAlloc(uint32_t type)
{
    size_t size = rkValueSize(type);
    auto *key = static_cast<rk *>(valueAlloc(size));
    if (!key)
        return nullptr;
    memset(static_cast<void *>(key), 0, size);
    key->type = type;
    key->len = KELVO_KEY_LEN_UNKNOWN;
    return key;
}

rk *rkStringKeyAlloc(const char *bytes, size_t length, uint16_t flags)
{
    if (length > kMax32)
        return nullptr;
    size_t header = rkValueSize(KELVO_STRING);
    auto *key = static_cast<rk *>(valueAlloc(header + length + 1));
    if (!key)
        return nullptr;
    memset(static_cast<void *>(key), 0, header);
    char *data = reinterpret_cast<char *>(key) + header;
    if (length)
        memcpy(data, bytes, length);
    data[length] = '\0';
    key->type = KELVO_STRING;
    key->flags = flags | KELVO_KEY_INITIALIZED;
    key->len = KELVO_KEY_LEN_UNKNOWN;
    key->v.str = {data, static_cast<uint32_t>(length), 0};
    return key;
}

rk *kelvoMapKeyCreate(uint32_t type, uint64_t members, uint64_t arenaBytes)
{
    if (!isMapType(type))
        return nullptr;
    return mapKey(type, arenaBytes ? kelvoMapCreateSized(type, members, arenaBytes) : kelvoMapCreate(type, members));
}

rk *kelvoHashCreate(uint64_t fields) { return kelvoMapKeyCreate(KELVO_HASH, fields, 0); }

rk *kelvoKeyFromNodes(uint32_t type, uint16_t flags, const kelvoNodeReader *reader, const void *root)
{
    kelvoNode node = reader->shape(root);
    bool full = flags & KELVO_KEY_FULL;
    uint16_t kept = flags & ~kBuildFlagsDropped;
    if (node.shape == KELVO_NODE_NIL)
        return kelvoNilKey;
    switch (type) {
    case KELVO_STRING:
        if (node.shape != KELVO_NODE_STRING)
            return nullptr;
        /* An empty string is only worth keeping as what it is: an existing, empty value. */
        if (node.len == 0)
            return full ? kelvoEmptyStringKey : nullptr;
        return rkStringKeyAlloc(node.data, node.len, kept);
    case KELVO_INTEGER:
        return node.shape == KELVO_NODE_INTEGER ? integerKey(node.integer, kept) : nullptr;
    case KELVO_HASH:
    case KELVO_SET:
    case KELVO_LIST:
    case KELVO_ZSET:
        break;
    case KELVO_NIL:
        kelvoPanic("NIL keys should never be allocated\n");
    default:
        kelvoUnreachable();
    }
    if (node.shape != KELVO_NODE_AGGREGATE)
        return nullptr;
    if (node.elements == 0)
        return full ? kelvoNilKey : kelvoEmptyArrayKey;
    if (type == KELVO_LIST)
        return listFromNodes(kept, reader, root, node.elements);
    if (type == KELVO_ZSET)
        return zsetFromNodes(kept | (flags & KELVO_KEY_FILL_REVERSE), reader, root, node.elements);
    return mapFromNodes(type, kept, reader, root, node.elements);
}

rk *kelvoKeyClone(const rk *key)
{
    if (!key)
        return nullptr;
    if (key->flags & KELVO_INTERNED)
        return const_cast<rk *>(key);
    switch (key->type) {
    case KELVO_INTEGER: {
        rk *copy = rkKeyAlloc(KELVO_INTEGER);
        if (copy) {
            copy->flags = key->flags;
            copy->len = key->len;
            copy->v.integer = key->v.integer;
        }
        return copy;
    }
    case KELVO_STRING:
        if (!(key->flags & KELVO_KEY_INITIALIZED))
            return lengthOnlyCopy(key);
        return rkStringKeyAlloc(key->v.str.data, key->v.str.len, 0);
    case KELVO_LIST:
        return key->flags & KELVO_KEY_INITIALIZED ? listCopy(key) : lengthOnlyCopy(key);
    case KELVO_HASH:
    case KELVO_SET:
        return key->flags & KELVO_KEY_INITIALIZED && key->v.map ? mapKeyCopy(key) : lengthOnlyCopy(key);
    case KELVO_ZSET:
        return key->flags & KELVO_KEY_INITIALIZED ? nullptr : lengthOnlyCopy(key);
    default:
        /* Another process may have cached the key as something this build does not copy. */
        return nullptr;
    }
}

void kelvoKeyFree(const rk *key)
{
    if (!key || (key->flags & KELVO_INTERNED))
        return;
    kelvoShLog(KELVO_LL_DEBUG, "RCFRE: %lx (type: %d, f: %d)", reinterpret_cast<unsigned long>(key),
               static_cast<int>(key->type), static_cast<int>(key->flags));
    auto *k = const_cast<rk *>(key);
    if (k->flags & KELVO_KEY_INITIALIZED) {
        switch (k->type) {
        case KELVO_LIST:
            kelvoShFree(k->v.list.block);
            break;
        case KELVO_ZSET:
            kelvoShFree(k->v.zset.records);
            kelvoShFree(k->v.zset.members.data);
            break;
        case KELVO_HASH:
        case KELVO_SET:
            kelvoMapFree(k->v.map);
            k->v.map = nullptr;
            break;
        default:
            break;
        }
    }
    /* Poison the header: a reader that kept it past its epoch sees garbage, not a plausible value. */
    memset(static_cast<void *>(k), 0xFF, 16);
    kelvoShFree(k);
}

/* --- maps --- */

kelvoMap *kelvoMapCreate(uint32_t type, uint64_t members)
{
    kelvoAssert(type == KELVO_HASH || type == KELVO_SET);
    if (members == 0 || members > kMax32)
        return nullptr;
    uint64_t cap = members * kGuessEntryBytes + KELVO_MAP_MIN_OFF;
    return kelvoMapCreateSized(type, members, cap < kGuessMinArena ? kGuessMinArena : cap);
}

kelvoMap *kelvoMapCreateSized(uint32_t type, uint64_t members, uint64_t arenaBytes)
{
    kelvoAssert(type == KELVO_HASH || type == KELVO_SET);
    uint64_t slots = slotsFor(members);
    if (slots == 0 || arenaBytes > kMax32)
        return nullptr;
    return mapAlloc(type, slots, arenaBytes < KELVO_MAP_MIN_OFF ? KELVO_MAP_MIN_OFF : arenaBytes);
}

void kelvoMapFree(kelvoMap *map) { kelvoShFree(map); }

std::vector<uint32_t> kelvoMapSlotsInArenaOrder(const kelvoMap *map)
{
    std::vector<uint32_t> order;
    if (!map)
        return order;
    const kelvoMapSlot *slots = kelvoMapSlots(map);
    order.reserve(map->live);
    /* Entries start at distinct multiples of 8 below `used`: when the arena is not much larger
     * than its live entries, each slot is placed at its entry's cell and the cells read in turn
     * (a hit of a cached hash or set lists its members this way, without a sort). */
    uint64_t cells = map->used / KELVO_MAP_MIN_OFF;
    if (cells <= uint64_t{map->live} * 16 + 64) {
        std::vector<uint32_t> at(cells, 0);
        for (uint32_t i = 0; i < map->slots; i++)
            if (!kelvoMapSlotIsEmpty(&slots[i]))
                at[kelvoMapSlotRealOff(&slots[i]) / KELVO_MAP_MIN_OFF] = i + 1;
        for (uint32_t cell : at)
            if (cell)
                order.push_back(cell - 1);
        return order;
    }
    for (uint32_t i = 0; i < map->slots; i++)
        if (!kelvoMapSlotIsEmpty(&slots[i]))
            order.push_back(i);
    std::sort(order.begin(), order.end(), [slots](uint32_t a, uint32_t b) {
        return kelvoMapSlotRealOff(&slots[a]) < kelvoMapSlotRealOff(&slots[b]);
    });
    return order;
}

uint32_t kelvoMapSlotRealOff(const kelvoMapSlot *slot)
{
    kelvoAssert(!kelvoMapSlotIsEmpty(slot));
    return slot->off & ~KELVO_MAP_OFF_FLAGS;
}

uint32_t kelvoMapSlotEncodeOff(uint32_t realOff, uint32_t flags)
{
    kelvoAssert(realOff >= KELVO_MAP_MIN_OFF);
    kelvoAssert((flags & ~KELVO_MAP_OFF_FLAGS) == 0);
    return realOff | flags;
}

char *kelvoMapEntryAt(kelvoMap *map, uint32_t off)
{
    kelvoAssert(off >= KELVO_MAP_MIN_OFF);
    kelvoAssert((off & KELVO_MAP_OFF_FLAGS) == 0);
    kelvoAssert(off < map->entries_cap);
    return arenaOf(map) + off;
}

const char *kelvoMapEntryAtConst(const kelvoMap *map, const kelvoMapSlot *slot)
{
    uint32_t off = kelvoMapSlotRealOff(slot);
    kelvoAssert(off >= KELVO_MAP_MIN_OFF);
    kelvoAssert(off < map->entries_cap);
    return arenaOf(map) + off;
}

uint64_t kelvoMapEntrySize(uint32_t type, uint64_t memberLen, uint64_t valueLen, int withValue)
{
    kelvoAssert(type == KELVO_HASH || type == KELVO_SET);
    if (memberLen > kMax32 || valueLen > kMax32)
        return UINT64_MAX;
    uint64_t size;
    if (type == KELVO_SET)
        size = (memberLen + 11) & ~uint64_t{7};
    else
        size = (memberLen + (withValue == KELVO_MAP_WITH_VALUE ? valueLen : 0) + 15) & ~uint64_t{7};
    return size > kMax32 ? UINT64_MAX : size;
}

uint32_t kelvoMapEntryLiveSize(uint32_t type, const char *entry, uint32_t slotFlags)
{
    uint64_t valueLen = type == KELVO_HASH && (slotFlags & KELVO_MAP_SLOT_VALUE) ? load32(entry + 4) : 0;
    uint64_t size = kelvoMapEntrySize(type, load32(entry), valueLen, KELVO_MAP_WITH_VALUE);
    if (size > kMax32)
        kelvoPanic("invalid entry size\n");
    return static_cast<uint32_t>(size);
}

int kelvoMapGetSlot(uint32_t type, const kelvoMap *map, uint64_t hash, const char *member, size_t length,
                    uint32_t *index)
{
    const kelvoMapSlot *slots = kelvoMapSlots(map);
    uint32_t mask = map->slots - 1;
    uint32_t i = static_cast<uint32_t>(hash) & mask;
    for (uint32_t probe = 0; probe < map->slots; probe++, i = (i + 1) & mask) {
        const kelvoMapSlot *s = &slots[i];
        if (kelvoMapSlotIsEmpty(s)) {
            *index = i;
            return KELVO_LOOKUP_EMPTY;
        }
        if (s->hash == hash && s->len == length &&
            memcmp(memberOf(type, kelvoMapEntryAtConst(map, s)), member, length) == 0) {
            *index = i;
            return KELVO_LOOKUP_FOUND;
        }
    }
    *index = map->slots;
    return KELVO_LOOKUP_EMPTY;
}

int kelvoMapPut(uint32_t type, kelvoMap **map, const char *member, size_t length, int withValue, uint32_t slotFlags,
                const char *value, size_t valueLength, int replace)
{
    kelvoAssert(type == KELVO_HASH || type == KELVO_SET);
    if (!map || !*map || length > kMax32 || (slotFlags & ~KELVO_MAP_OFF_FLAGS))
        return -1;
    uint32_t flags;
    if (withValue == KELVO_MAP_WITH_VALUE) {
        if (type == KELVO_SET || valueLength > kMax32 || (valueLength && !value))
            return -1;
        flags = slotFlags | KELVO_MAP_SLOT_VALUE;
    } else {
        if (type == KELVO_SET && withValue != KELVO_MAP_NO_VALUE)
            return -1;
        flags = slotFlags & ~KELVO_MAP_SLOT_VALUE;
        valueLength = 0;
    }
    uint64_t size = kelvoMapEntrySize(type, length, valueLength, withValue);
    if (size > kMax32)
        return -1;
    uint64_t hash = kelvoMapMemberHash(member, length);
    kelvoMap *m = *map;
    uint32_t index;
    int lookup = kelvoMapGetSlot(type, m, hash, member, length, &index);
    if (lookup == KELVO_LOOKUP_FOUND && !replace)
        return 0;
    uint64_t added = lookup == KELVO_LOOKUP_FOUND ? 0 : 1;
    uint64_t live = m->live + added;
    uint64_t slots = m->slots;
    while (slots * 85 < live * 100) {
        slots <<= 1;
        if (slots > kMaxSlots)
            return -1;
    }
    uint64_t need = uint64_t{m->used} + size;
    if (need > kMax32)
        return -1;
    uint64_t cap = m->entries_cap;
    while (cap < need) {
        cap <<= 1;
        if (cap > kMax32) {
            cap = need;
            break;
        }
    }
    if (slots != m->slots || cap != m->entries_cap) {
        kelvoMap *grown = mapCopy(type, m, slots, cap);
        if (!grown)
            return -1;
        kelvoShFree(m);
        *map = m = grown;
        lookup = kelvoMapGetSlot(type, m, hash, member, length, &index);
        kelvoAssert(lookup == KELVO_LOOKUP_FOUND || added == 1);
    }
    uint32_t off = m->used;
    writeEntry(type, kelvoMapEntryAt(m, off), size, member, static_cast<uint32_t>(length), value,
               static_cast<uint32_t>(valueLength));
    m->used += static_cast<uint32_t>(size);
    kelvoMapSlots(m)[index] = {hash, kelvoMapSlotEncodeOff(off, flags), static_cast<uint32_t>(length)};
    m->live += static_cast<uint32_t>(added);
    return 0;
}

int kelvoHashPutString(rk *hash, const char *field, size_t fieldLen, const char *value, size_t valueLen)
{
    kelvoAssert(hash != NULL && (hash->flags & KELVO_KEY_INITIALIZED) && hash->type == KELVO_HASH);
    return kelvoMapPut(KELVO_HASH, &hash->v.map, field, fieldLen, KELVO_MAP_WITH_VALUE, 0, value, valueLen, 1);
}

int kelvoKeyFlagExists(rk *key, const char *member, size_t length, int exists)
{
    if (!key || (key->flags & (KELVO_INTERNED | KELVO_KEY_FULL)) || !(key->flags & KELVO_KEY_INITIALIZED) ||
        !isMapType(key->type) || !key->v.map || length > kMax32)
        return -1;
    uint32_t fact = exists ? KELVO_MAP_SLOT_EXISTS : KELVO_MAP_SLOT_ABSENT;
    uint32_t index;
    uint64_t hash = kelvoMapMemberHash(member, length);
    if (kelvoMapGetSlot(key->type, key->v.map, hash, member, length, &index) != KELVO_LOOKUP_FOUND)
        return kelvoMapPut(key->type, &key->v.map, member, length, KELVO_MAP_NO_VALUE, fact, nullptr, 0, 1);
    kelvoMapSlot *slot = &kelvoMapSlots(key->v.map)[index];
    /* An absent member has no value; a kept value stays with a member known to exist. */
    uint32_t flags = exists ? (kelvoMapSlotFlags(slot) & KELVO_MAP_SLOT_VALUE) | fact : fact;
    slot->off = kelvoMapSlotEncodeOff(kelvoMapSlotRealOff(slot), flags);
    return 0;
}

const void *kelvoMapPublicEntry(uint32_t type, const char *entry, uint32_t slotFlags)
{
    kelvoAssert(((uintptr_t)entry & KELVO_MAP_PUBLIC_FLAGS) == 0);
    uintptr_t tag =
        type == KELVO_SET ? KELVO_MAP_TAG_MEMBER : (slotFlags & KELVO_MAP_SLOT_VALUE ? KELVO_MAP_TAG_VALUE : 0);
    return reinterpret_cast<const void *>(reinterpret_cast<uintptr_t>(entry) | tag);
}

kelvoMapMember kelvoMapReadEntry(const void *publicEntry)
{
    auto p = reinterpret_cast<uintptr_t>(publicEntry);
    uintptr_t tag = p & KELVO_MAP_PUBLIC_FLAGS;
    const char *entry = reinterpret_cast<const char *>(p & ~KELVO_MAP_PUBLIC_FLAGS);
    kelvoMapMember m{};
    m.nameLen = load32(entry);
    if (tag == KELVO_MAP_TAG_MEMBER) {
        m.name = entry + 4;
        return m;
    }
    m.name = entry + 8;
    if (tag == KELVO_MAP_TAG_VALUE) {
        m.hasValue = true;
        m.value = m.name + m.nameLen;
        m.valueLen = load32(entry + 4);
    }
    return m;
}

const void *kelvoMapGetEx(const rk *key, int *state, const char *member, size_t length)
{
    int ignored;
    if (!state)
        state = &ignored;
    *state = KELVO_MEMBER_UNKNOWN;
    if (key->flags & KELVO_INTERNED) {
        if (key->flags & KELVO_KEY_FULL)
            *state = KELVO_MEMBER_ABSENT;
        return nullptr;
    }
    if (!isMapType(key->type) || !(key->flags & KELVO_KEY_INITIALIZED) || !key->v.map || length > kMax32)
        return nullptr;
    const kelvoMap *map = key->v.map;
    uint32_t index;
    if (kelvoMapGetSlot(key->type, map, kelvoMapMemberHash(member, length), member, length, &index) !=
        KELVO_LOOKUP_FOUND) {
        if (key->flags & KELVO_KEY_FULL)
            *state = KELVO_MEMBER_ABSENT;
        return nullptr;
    }
    const kelvoMapSlot *slot = &kelvoMapSlots(map)[index];
    uint32_t flags = kelvoMapSlotFlags(slot);
    if (flags & KELVO_MAP_SLOT_ABSENT) {
        *state = KELVO_MEMBER_ABSENT;
        return nullptr;
    }
    *state = KELVO_MEMBER_EXISTS;
    if ((flags & (KELVO_MAP_SLOT_EXISTS | KELVO_MAP_SLOT_VALUE)) == KELVO_MAP_SLOT_EXISTS)
        return nullptr;
    return kelvoMapPublicEntry(key->type, kelvoMapEntryAtConst(map, slot), flags);
}

const void *kelvoMapGetRandEntryWith(const rk *key, uint32_t (*draw)(uint32_t upper, void *ctx), void *ctx)
{
    kelvoAssert(key != NULL && (key->type == KELVO_HASH || key->type == KELVO_SET) && (key->flags & KELVO_KEY_FULL));
    if ((key->flags & KELVO_INTERNED) || !(key->flags & KELVO_KEY_INITIALIZED) || !key->v.map || key->v.map->live == 0)
        return nullptr;
    const kelvoMap *map = key->v.map;
    const kelvoMapSlot *slots = kelvoMapSlots(map);
    for (;;) {
        uint32_t i = draw(map->slots - 1, ctx);
        if (i < map->slots && !kelvoMapSlotIsEmpty(&slots[i]) &&
            !(kelvoMapSlotFlags(&slots[i]) & KELVO_MAP_SLOT_ABSENT))
            return kelvoMapPublicEntry(key->type, kelvoMapEntryAtConst(map, &slots[i]), kelvoMapSlotFlags(&slots[i]));
    }
}

void kelvoMapIteratorInit(kelvoMapIterator *it, const rk *key)
{
    kelvoAssert((key->flags & KELVO_INTERNED) || isMapType(key->type) || key->type == KELVO_NIL);
    *it = {key, 0, 0, nullptr, -1};
}

bool kelvoMapIteratorNext(kelvoMapIterator *it)
{
    const rk *key = it->key;
    it->slotFlags = 0;
    it->spare = 0;
    it->entry = nullptr;
    if ((key->flags & KELVO_INTERNED) || !isMapType(key->type) || !(key->flags & KELVO_KEY_INITIALIZED) || !key->v.map)
        return false;
    const kelvoMap *map = key->v.map;
    const kelvoMapSlot *slots = kelvoMapSlots(map);
    for (int64_t i = it->index + 1; i < map->slots; i++) {
        if (kelvoMapSlotIsEmpty(&slots[i]))
            continue;
        it->index = i;
        it->slotFlags = kelvoMapSlotFlags(&slots[i]);
        it->entry = kelvoMapPublicEntry(key->type, kelvoMapEntryAtConst(map, &slots[i]), it->slotFlags);
        return true;
    }
    it->index = map->slots;
    return false;
}

/* --- lists and buffers --- */

const char *kelvoListElement(const rk *list, uint32_t index, uint32_t *length)
{
    const kelvoListIndex *block = kelvoKeyArrayConst(list);
    *length = 0;
    if (!block || index >= list->v.list.count || block[index].off == KELVO_LIST_NIL_OFF)
        return nullptr;
    *length = block[index].len;
    return reinterpret_cast<const char *>(block + list->v.list.count) + block[index].off;
}

int kelvoBufferCat(kelvoMemberBuffer *buffer, const char *bytes, size_t length)
{
    if (uint64_t{buffer->used} + length > 0xFFFFFFFE)
        return -1;
    if (buffer->cap - buffer->used <= length) {
        uint64_t grown = uint64_t{buffer->used} + length + 1;
        if (grown > kelvoKeyMaxBytes())
            return -1;
        auto *data = static_cast<char *>(kelvoShRealloc(buffer->data, grown));
        if (!data)
            return -1;
        buffer->data = data;
        buffer->cap = static_cast<uint32_t>(grown);
    }
    if (length)
        memcpy(buffer->data + buffer->used, bytes, length);
    buffer->data[buffer->used + length] = '\0';
    buffer->used += static_cast<uint32_t>(length + 1);
    return 0;
}

/* --- lengths --- */

uint32_t kelvoKeyLocalLen(const rk *key)
{
    if ((key->flags & KELVO_INTERNED) || !(key->flags & KELVO_KEY_INITIALIZED))
        return 0;
    switch (key->type) {
    case KELVO_STRING:
        return key->v.str.len;
    case KELVO_LIST:
        return key->v.list.count;
    case KELVO_HASH:
    case KELVO_SET:
        return key->v.map ? key->v.map->live : 0;
    case KELVO_ZSET:
        return key->v.zset.count;
    default:
        return 0;
    }
}

int64_t kelvoKeyRealLen(const rk *key)
{
    if (key->flags & KELVO_INTERNED)
        return 0;
    if (key->flags & KELVO_KEY_LEN)
        return key->len;
    if (!(key->flags & KELVO_KEY_FULL))
        return -1;
    return kelvoKeyLocalLen(key);
}

void kelvoListLen(const rk *list, uint32_t *local, int64_t *total)
{
    uint32_t count = kelvoKeyLocalLen(list);
    if (local)
        *local = count;
    if (!total)
        return;
    if (list->flags & KELVO_INTERNED)
        *total = 0;
    else if (list->flags & KELVO_KEY_LEN)
        *total = list->len;
    else
        *total = list->flags & KELVO_KEY_FULL ? int64_t{count} : -1;
}

int kelvoKeySetLen(rk *key, uint64_t length)
{
    if ((key->flags & KELVO_INTERNED) || length > kMax32)
        return -1;
    bool matches = length > 0 && length == kelvoKeyLocalLen(key);
    bool complete = matches && (key->type == KELVO_LIST || (isMapType(key->type) && length <= kSmallMapMembers &&
                                                            mapMembersComplete(key->type, key->v.map)));
    if (complete) {
        key->flags = static_cast<uint16_t>((key->flags | KELVO_KEY_FULL) & ~KELVO_KEY_LEN);
        return 0;
    }
    key->len = static_cast<uint32_t>(length);
    key->flags |= KELVO_KEY_LEN;
    return 0;
}

bool kelvoIsNilCollection(const rk *key)
{
    kelvoAssert(key->type == KELVO_LIST || key->type == KELVO_HASH || key->type == KELVO_SET ||
                key->type == KELVO_NIL || key->type == KELVO_ZSET);
    return key->type == KELVO_NIL || (key->flags & KELVO_INTERNED);
}

/* --- accessors --- */

char *kelvoKeyString(rk *key, uint32_t *length) { return const_cast<char *>(kelvoKeyStringConst(key, length)); }

const char *kelvoKeyStringConst(const rk *key, uint32_t *length)
{
    kelvoAssert((key->flags & KELVO_INTERNED) || key->type == KELVO_STRING);
    if (key->type != KELVO_STRING) {
        *length = 0;
        return "";
    }
    *length = key->v.str.len;
    return key->v.str.data;
}

kelvoListIndex *kelvoKeyArray(rk *key) { return const_cast<kelvoListIndex *>(kelvoKeyArrayConst(key)); }

const kelvoListIndex *kelvoKeyArrayConst(const rk *key)
{
    kelvoAssert((key->flags & KELVO_INTERNED) || key->type == KELVO_LIST);
    if ((key->flags & KELVO_INTERNED) || !(key->flags & KELVO_KEY_INITIALIZED))
        return nullptr;
    return key->v.list.block;
}

kelvoMap **kelvoKeyMapPtr(rk *key)
{
    kelvoAssert(!(key->flags & KELVO_INTERNED) && (key->type == KELVO_HASH || key->type == KELVO_SET));
    return &key->v.map;
}

const kelvoMap *kelvoKeyMapConst(const rk *key)
{
    kelvoAssert((key->flags & KELVO_INTERNED) || (key->type == KELVO_HASH || key->type == KELVO_SET));
    return key->flags & KELVO_INTERNED ? nullptr : key->v.map;
}

rkZSet *kelvoKeyZSet(rk *key)
{
    kelvoAssert(!(key->flags & KELVO_INTERNED) && key->type == KELVO_ZSET);
    return &key->v.zset;
}

const rkZSet *kelvoKeyZSetConst(const rk *key)
{
    kelvoAssert((key->flags & KELVO_INTERNED) || key->type == KELVO_ZSET);
    return &key->v.zset;
}
