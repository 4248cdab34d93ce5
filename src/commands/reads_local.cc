/*
 * Cache roles that compute an answer from cached values: string ranges and bits, list indexes
 * and positions, set membership, set algebra, HyperLogLog counts and random members. Each builds
 * the reply the server would have sent and hands it to the same formatter or generic
 * conversion as a server reply, so that a cached answer is the server's answer under every
 * client option. Anything the cached values do not determine completely is a miss.
 */
#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "cache/cache.h"
#include "cache/keys.h"
#include "commands/cmdroles.h"
#include "cache/hll.h"
#include "commands/reads.h"

extern "C" {
#include "ext/random/php_random.h"
}

namespace {

/* -- replies built locally ------------------------------------------------------------------------ */

redisReadTask rootTask(int type) { return redisReadTask{type, 0, -1, nullptr, nullptr, nullptr}; }

kelvoReply *stringNode(const char *bytes, size_t length)
{
    redisReadTask task = rootTask(KELVO_REPLY_STRING);
    return static_cast<kelvoReply *>(kelvoReplyCreateString(&task, bytes, length));
}

kelvoReply *integerNode(int64_t value)
{
    redisReadTask task = rootTask(KELVO_REPLY_INTEGER);
    return static_cast<kelvoReply *>(kelvoReplyCreateInteger(&task, value));
}

kelvoReply *nilNode()
{
    redisReadTask task = rootTask(KELVO_REPLY_NIL);
    return static_cast<kelvoReply *>(kelvoReplyCreateNil(&task));
}

/* An aggregate of `type` whose children the caller sets with setChild. */
kelvoReply *aggregateNode(uint32_t type, size_t elements)
{
    redisReadTask task = rootTask(static_cast<int>(type));
    return static_cast<kelvoReply *>(kelvoReplyCreateArray(&task, elements));
}

void setChild(kelvoReply *aggregate, size_t i, kelvoReply *child)
{
    kelvoAssert(i < aggregate->elements);
    aggregate->v.element[i] = child;
}

kelvoReply *listNode(uint32_t type, const std::vector<kelvoReply *> &children)
{
    kelvoReply *node = aggregateNode(type, children.size());
    for (size_t i = 0; i < children.size(); i++)
        setChild(node, i, children[i]);
    return node;
}

/* The reply through the row's formatter or the generic conversion, as a server reply would go. */
int answer(zval *out, kelvoQuerySet *rqs, robj *ro, kelvoReply *reply)
{
    kelvoFormatReply(kelvoGetCommandRCmd(rqs->cmd), rqs, ro, reply, out);
    kelvoReplyFree(reply);
    return KELVO_RES_SUCCESS;
}

/* -- lookups -------------------------------------------------------------------------------------- */

} // namespace

kelvoReply *kelvoLocalStringReply(const char *bytes, size_t length) { return stringNode(bytes, length); }

kelvoReply *kelvoLocalAggregateReply(uint32_t type, size_t elements) { return aggregateNode(type, elements); }

int kelvoAnswerLocal(zval *out, kelvoQuerySet *rqs, robj *ro, kelvoReply *reply) { return answer(out, rqs, ro, reply); }

int kelvoReadLookup(zval *out, kelvoQuerySet *rqs, robj *ro, uint32_t i, uint16_t required, const rk **v)
{
    int rc = kelvoQuerySetGetKey(rqs, ro, i, required, v);
    if (rc == KELVO_RES_WRONGTYPE)
        ZVAL_FALSE(out);
    return rc;
}

namespace {

/* A full string's bytes as the server holds them: an integer by its decimal text, nil as no bytes. */
struct StringBytes {
    std::string text;
    const char *data = "";
    size_t length = 0;
};

bool stringBytes(const rk *v, StringBytes *b)
{
    if (v->type == KELVO_NIL || v == kelvoEmptyArrayKey)
        return true;
    if (v->type == KELVO_INTEGER) {
        b->text = std::to_string(v->v.integer);
        b->data = b->text.data();
        b->length = b->text.size();
        return true;
    }
    if (v->type != KELVO_STRING)
        return false;
    uint32_t n;
    b->data = kelvoKeyStringConst(v, &n);
    b->length = n;
    return true;
}

/* Looks the query's key up as a full string (inside the caller's read section). */
int lookupStringBytes(zval *out, kelvoQuerySet *rqs, robj *ro, StringBytes *b)
{
    const rk *v;
    int rc = kelvoReadLookup(out, rqs, ro, 0, KELVO_KEY_FULL, &v);
    if (rc != KELVO_RES_SUCCESS)
        return rc;
    return stringBytes(v, b) ? KELVO_RES_SUCCESS : KELVO_RES_MISS;
}

/* The server's rule for a range over n units: negative ends count from the end, then both are
 * clamped into the value; false when nothing is left. */
bool clampRange(int64_t *start, int64_t *end, int64_t n)
{
    int64_t s = *start, e = *end;
    if (s < 0 && e < 0 && s > e)
        return false;
    if (s < 0)
        s += n;
    if (e < 0)
        e += n;
    if (s < 0)
        s = 0;
    if (e < 0)
        e = 0;
    if (e >= n)
        e = n - 1;
    *start = s;
    *end = e;
    return n > 0 && s <= e;
}

uint64_t popCount(const uint8_t *bytes, size_t n)
{
    uint64_t count = 0;
    size_t i = 0;
    for (; i + 8 <= n; i += 8) {
        uint64_t word;
        memcpy(&word, bytes + i, 8);
        count += static_cast<uint64_t>(__builtin_popcountll(word));
    }
    for (; i < n; i++)
        count += static_cast<uint64_t>(__builtin_popcount(bytes[i]));
    return count;
}

/* Lists marked beyond the value flags are being rebuilt: never read. */
bool listUsable(const rk *v)
{
    return v != kelvoExistsKey && !(v->type == KELVO_LIST && !(v->flags & KELVO_INTERNED) && (v->flags & ~0x7Fu));
}

bool isNilOrEmpty(const rk *v) { return v->type == KELVO_NIL || (v->flags & KELVO_INTERNED); }

kelvoReply *listElementNode(const rk *list, uint32_t index)
{
    uint32_t length = 0;
    const char *bytes = kelvoListElement(list, index, &length);
    return bytes ? stringNode(bytes, length) : nilNode();
}

/* The members of a full set or hash (field names) in the server's order. */
struct Members {
    const rk *key;
    std::vector<kelvoMapMember> list;
};

Members membersOf(const rk *v)
{
    Members m{v, {}};
    if (isNilOrEmpty(v) || !(v->flags & KELVO_KEY_INITIALIZED))
        return m;
    const kelvoMap *map = kelvoKeyMapConst(v);
    if (!map)
        return m;
    const kelvoMapSlot *slots = kelvoMapSlots(map);
    for (uint32_t i : kelvoMapSlotsInArenaOrder(map)) {
        uint32_t flags = kelvoMapSlotFlags(&slots[i]);
        if (flags & KELVO_MAP_SLOT_ABSENT)
            continue;
        m.list.push_back(kelvoMapReadEntry(kelvoMapPublicEntry(v->type, kelvoMapEntryAtConst(map, &slots[i]), flags)));
    }
    return m;
}

bool contains(const rk *set, const kelvoMapMember &m)
{
    int state;
    kelvoMapGetEx(set, &state, m.name, m.nameLen);
    return state == KELVO_MEMBER_EXISTS;
}

/*
 * The sets of every key, each full (nil and the empty collections as empty sets): MISS at the
 * first key that is not cached whole, WRONGTYPE at the first of another type.
 */
int fullSets(zval *out, kelvoQuerySet *rqs, robj *ro, std::vector<Members> *sets)
{
    for (uint32_t i = 0; i < rqs->nkeys; i++) {
        const rk *v;
        int rc = kelvoReadLookup(out, rqs, ro, i, KELVO_KEY_FULL, &v);
        if (rc != KELVO_RES_SUCCESS)
            return rc;
        sets->push_back(membersOf(v));
    }
    return KELVO_RES_SUCCESS;
}

kelvoReply *memberNode(const kelvoMapMember &m) { return stringNode(m.name, m.nameLen); }

/* A limit above 0 stops a count there. */
bool reached(int64_t count, int64_t limit) { return limit > 0 && count >= limit; }

/* SDIFFCARD and SUNIONCARD are younger than the commands the servers in use know. */
bool serverKnowsCardCommands(const robj *ro)
{
    const kelvoLink &link = ro->link;
    return link.hello && strcmp(link.server, "valkey") == 0 && atoi(link.version) >= 9;
}

uint32_t drawIndex(size_t n) { return static_cast<uint32_t>(php_mt_rand_range(0, static_cast<zend_long>(n - 1))); }

} // namespace

/* -- strings ------------------------------------------------------------------------------------- */

int kelvoGetrangeGet(zval *out, kelvoQuerySet *rqs, robj *ro)
{
    kelvoReadSection section;
    StringBytes b;
    if (int rc = lookupStringBytes(out, rqs, ro, &b); rc != KELVO_RES_SUCCESS)
        return rc;
    int64_t s = rqs->rng.start, e = rqs->rng.end;
    if (!clampRange(&s, &e, static_cast<int64_t>(b.length)))
        return answer(out, rqs, ro, stringNode("", 0));
    return answer(out, rqs, ro, stringNode(b.data + s, static_cast<size_t>(e - s + 1)));
}

int kelvoGetBitGet(zval *out, kelvoQuerySet *rqs, robj *ro)
{
    kelvoReadSection section;
    StringBytes b;
    if (int rc = lookupStringBytes(out, rqs, ro, &b); rc != KELVO_RES_SUCCESS)
        return rc;
    auto offset = static_cast<uint64_t>(rqs->rng.start);
    uint64_t byte = offset >> 3;
    int bit = 0;
    if (byte < b.length)
        bit = (static_cast<uint8_t>(b.data[byte]) >> (7 - (offset & 7))) & 1;
    return answer(out, rqs, ro, integerNode(bit));
}

int kelvoBitCountGet(zval *out, kelvoQuerySet *rqs, robj *ro)
{
    kelvoReadSection section;
    StringBytes b;
    if (int rc = lookupStringBytes(out, rqs, ro, &b); rc != KELVO_RES_SUCCESS)
        return rc;
    int64_t start = rqs->rng.start, end = rqs->rng.end;
    bool bits = rqs->context & kelvoBitUnits;
    if (!clampRange(&start, &end, static_cast<int64_t>(b.length) * (bits ? 8 : 1)))
        return answer(out, rqs, ro, integerNode(0));
    uint8_t firstMask = 0, lastMask = 0;
    if (bits) {
        firstMask = static_cast<uint8_t>(~((1u << (8 - (start & 7))) - 1) & 0xFF);
        lastMask = static_cast<uint8_t>((1u << (7 - (end & 7))) - 1);
        start >>= 3;
        end >>= 3;
    }
    auto bytes = reinterpret_cast<const uint8_t *>(b.data);
    uint64_t count = popCount(bytes + start, static_cast<size_t>(end - start + 1));
    count -= static_cast<uint64_t>(__builtin_popcount(bytes[start] & firstMask));
    count -= static_cast<uint64_t>(__builtin_popcount(bytes[end] & lastMask));
    return answer(out, rqs, ro, integerNode(static_cast<int64_t>(count)));
}

/* -- lists --------------------------------------------------------------------------------------- */

int kelvoLindexGet(zval *out, kelvoQuerySet *rqs, robj *ro)
{
    kelvoReadSection section;
    const rk *v;
    int rc = kelvoReadLookup(out, rqs, ro, 0, 0, &v);
    if (rc != KELVO_RES_SUCCESS)
        return rc;
    if (!listUsable(v))
        return KELVO_RES_MISS;
    if (isNilOrEmpty(v))
        return answer(out, rqs, ro, nilNode());
    int64_t i = rqs->rng.start;
    uint32_t cached = 0;
    int64_t total = -1;
    kelvoListLen(v, &cached, &total);
    if (total >= 0) {
        if (i < 0)
            i += total;
        if (i < 0 || i >= total)
            return answer(out, rqs, ro, nilNode());
    }
    if (!(v->flags & KELVO_KEY_INITIALIZED))
        return KELVO_RES_MISS;
    bool full = v->flags & KELVO_KEY_FULL;
    if (i < 0) {
        if (!full)
            return KELVO_RES_MISS;
        i += cached;
    }
    if (i < 0 || i >= static_cast<int64_t>(cached))
        return full ? answer(out, rqs, ro, nilNode()) : KELVO_RES_MISS;
    return answer(out, rqs, ro, listElementNode(v, static_cast<uint32_t>(i)));
}

int kelvoLposGet(zval *out, kelvoQuerySet *rqs, robj *ro)
{
    kelvoReadSection section;
    const rk *v;
    int rc = kelvoReadLookup(out, rqs, ro, 0, KELVO_KEY_FULL, &v);
    if (rc != KELVO_RES_SUCCESS)
        return rc;
    if (!listUsable(v))
        return KELVO_RES_MISS;
    kelvoLposOptions o = kelvoLposOptionsOf(rqs);
    bool withCount = o.count >= 0;
    uint32_t n = isNilOrEmpty(v) ? 0 : kelvoKeyLocalLen(v);
    const zend_string *wanted = kelvoQuerySetGetVal(rqs, 0);
    std::vector<kelvoReply *> found;
    int64_t skip = (o.rank < 0 ? -o.rank : o.rank) - 1;
    uint64_t budget = o.maxlen > 0 ? static_cast<uint64_t>(o.maxlen) : UINT64_MAX;
    for (uint32_t step = 0; step < n && budget > 0; step++, budget--) {
        uint32_t index = o.rank > 0 ? step : n - 1 - step;
        uint32_t length = 0;
        const char *bytes = kelvoListElement(v, index, &length);
        if (!bytes || length != ZSTR_LEN(wanted) || memcmp(bytes, ZSTR_VAL(wanted), length) != 0)
            continue;
        if (skip > 0) {
            skip--;
            continue;
        }
        found.push_back(integerNode(index));
        if (!withCount || (o.count > 0 && static_cast<int64_t>(found.size()) >= o.count))
            break;
    }
    if (withCount)
        return answer(out, rqs, ro, listNode(KELVO_REPLY_ARRAY, found));
    return answer(out, rqs, ro, found.empty() ? nilNode() : found[0]);
}

/* -- set members --------------------------------------------------------------------------------- */

int kelvoSetMIsMemberGet(zval *out, kelvoQuerySet *rqs, robj *ro)
{
    kelvoReadSection section;
    const rk *v;
    int rc = kelvoReadLookup(out, rqs, ro, 0, 0, &v);
    if (rc != KELVO_RES_SUCCESS)
        return rc;
    std::vector<int64_t> truths;
    for (uint32_t i = 0; i < rqs->nvals; i++) {
        const zend_string *member = rqs->vals[i];
        int state;
        kelvoMapGetEx(v, &state, ZSTR_VAL(member), ZSTR_LEN(member));
        if (state == KELVO_MEMBER_UNKNOWN)
            return KELVO_RES_MISS;
        truths.push_back(state == KELVO_MEMBER_EXISTS);
    }
    std::vector<kelvoReply *> children;
    for (int64_t t : truths)
        children.push_back(integerNode(t));
    return answer(out, rqs, ro, listNode(KELVO_REPLY_ARRAY, children));
}

/* -- set algebra --------------------------------------------------------------------------------- */

int kelvoSetInterDiff(zval *out, kelvoQuerySet *rqs, robj *ro)
{
    bool diff = rqs->cmd == REDIS_CMD_SDIFF || rqs->cmd == REDIS_CMD_SDIFFCARD;
    bool card = rqs->cmd == REDIS_CMD_SINTERCARD || rqs->cmd == REDIS_CMD_SDIFFCARD;
    if (rqs->cmd == REDIS_CMD_SDIFFCARD && !serverKnowsCardCommands(ro))
        return KELVO_RES_MISS;
    kelvoReadSection section;
    std::vector<Members> sets;
    int rc = fullSets(out, rqs, ro, &sets);
    if (rc != KELVO_RES_SUCCESS)
        return rc;
    int64_t limit = card ? rqs->rng.end : 0;
    std::vector<const kelvoMapMember *> result;
    auto keep = [&](const kelvoMapMember &m) {
        result.push_back(&m);
        return !reached(static_cast<int64_t>(result.size()), limit);
    };
    if (diff) {
        const Members &base = sets[0];
        std::vector<const Members *> others;
        for (size_t i = 1; i < sets.size(); i++)
            others.push_back(&sets[i]);
        /* The largest sets reject the most members: ask them first. */
        std::stable_sort(others.begin(), others.end(),
                         [](const Members *a, const Members *b) { return a->list.size() > b->list.size(); });
        for (const kelvoMapMember &m : base.list) {
            bool excluded = false;
            for (const Members *other : others)
                if (other->key == base.key || contains(other->key, m)) {
                    excluded = true;
                    break;
                }
            if (!excluded && !keep(m))
                break;
        }
    } else {
        std::vector<const Members *> order;
        for (const Members &s : sets)
            order.push_back(&s);
        std::stable_sort(order.begin(), order.end(),
                         [](const Members *a, const Members *b) { return a->list.size() < b->list.size(); });
        const Members &smallest = *order[0];
        for (const kelvoMapMember &m : smallest.list) {
            bool everywhere = true;
            for (size_t i = 1; i < order.size() && everywhere; i++)
                everywhere = order[i]->key == smallest.key || contains(order[i]->key, m);
            if (everywhere && !keep(m))
                break;
        }
    }
    if (card)
        return answer(out, rqs, ro, integerNode(static_cast<int64_t>(result.size())));
    std::vector<kelvoReply *> children;
    for (const kelvoMapMember *m : result)
        children.push_back(memberNode(*m));
    return answer(out, rqs, ro, listNode(KELVO_REPLY_SET, children));
}

namespace {

/* The distinct members of every set, in order of first appearance, stopping at a limit above 0. */
std::vector<const kelvoMapMember *> unionOf(const std::vector<Members> &sets, int64_t limit)
{
    std::vector<const kelvoMapMember *> result;
    HashTable seen;
    zend_hash_init(&seen, 64, nullptr, nullptr, 0);
    for (const Members &s : sets) {
        for (const kelvoMapMember &m : s.list) {
            zval none;
            ZVAL_NULL(&none);
            if (!zend_hash_str_add(&seen, m.name, m.nameLen, &none))
                continue;
            result.push_back(&m);
            if (reached(static_cast<int64_t>(result.size()), limit))
                goto done;
        }
    }
done:
    zend_hash_destroy(&seen);
    return result;
}

} // namespace

int kelvoSetUnion(zval *out, kelvoQuerySet *rqs, robj *ro)
{
    kelvoReadSection section;
    std::vector<Members> sets;
    int rc = fullSets(out, rqs, ro, &sets);
    if (rc != KELVO_RES_SUCCESS)
        return rc;
    std::vector<kelvoReply *> children;
    for (const kelvoMapMember *m : unionOf(sets, 0))
        children.push_back(memberNode(*m));
    return answer(out, rqs, ro, listNode(KELVO_REPLY_SET, children));
}

namespace {

/* The server's estimate: every member into one dense sketch, counted as PFCOUNT would count it. */
bool approxUnionCard(const std::vector<Members> &sets, uint64_t *count)
{
    std::vector<uint8_t> sketch(KELVO_HLL_DENSE_SIZE);
    kelvoHllDenseInit(sketch.data());
    bool any = false;
    for (const Members &s : sets)
        for (const kelvoMapMember &m : s.list) {
            kelvoHllDenseAdd(sketch.data(), m.name, m.nameLen);
            any = true;
        }
    *count = 0;
    return !any || kelvoHllCount(reinterpret_cast<const char *>(sketch.data()), sketch.size(), count) == 0;
}

} // namespace

int kelvoSetUnionCard(zval *out, kelvoQuerySet *rqs, robj *ro)
{
    if (!serverKnowsCardCommands(ro))
        return KELVO_RES_MISS;
    kelvoReadSection section;
    std::vector<Members> sets;
    int rc = fullSets(out, rqs, ro, &sets);
    if (rc != KELVO_RES_SUCCESS)
        return rc;
    int64_t limit = rqs->rng.end;
    uint64_t count;
    if (!(rqs->context & kelvoApprox))
        count = unionOf(sets, limit).size();
    else if (!approxUnionCard(sets, &count))
        return KELVO_RES_MISS;
    if (limit > 0 && static_cast<uint64_t>(limit) < count)
        count = static_cast<uint64_t>(limit);
    return answer(out, rqs, ro, integerNode(static_cast<int64_t>(count)));
}

/* -- HyperLogLog counts -------------------------------------------------------------------------- */

int kelvoPFCountGet(zval *out, kelvoQuerySet *rqs, robj *ro)
{
    kelvoReadSection section;
    std::vector<uint8_t> registers;
    if (rqs->nkeys > 1)
        registers.assign(KELVO_HLL_REGISTERS, 0);
    uint64_t count = 0;
    for (uint32_t i = 0; i < rqs->nkeys; i++) {
        const rk *v;
        /* Another type gets the server's own words for a value that is not a HyperLogLog. */
        if (kelvoQuerySetGetKey(rqs, ro, i, KELVO_KEY_FULL, &v) != KELVO_RES_SUCCESS)
            return KELVO_RES_MISS;
        if (v->type == KELVO_NIL || v == kelvoEmptyArrayKey)
            continue;
        /* Anything but a HyperLogLog string is the server's to refuse. */
        if (v->type != KELVO_STRING)
            return KELVO_RES_MISS;
        uint32_t n;
        const char *bytes = kelvoKeyStringConst(v, &n);
        if (rqs->nkeys == 1 ? kelvoHllCount(bytes, n, &count) != 0 : kelvoHllMerge(registers.data(), bytes, n) != 0)
            return KELVO_RES_MISS;
    }
    if (rqs->nkeys > 1) {
        bool invalid;
        count = kelvoHllCountRegisters(KELVO_HLL_RAW, registers.data(), registers.size(), &invalid);
        if (invalid)
            return KELVO_RES_MISS;
    }
    return answer(out, rqs, ro, integerNode(static_cast<int64_t>(count)));
}

/* -- random members ------------------------------------------------------------------------------ */

int kelvoRandMemGet(zval *out, kelvoQuerySet *rqs, robj *ro)
{
    kelvoReadSection section;
    const rk *v;
    int rc = kelvoReadLookup(out, rqs, ro, 0, KELVO_KEY_FULL, &v);
    if (rc != KELVO_RES_SUCCESS)
        return rc;
    bool single = rqs->context & kelvoRandSingle;
    bool withValues = rqs->context & kelvoRandWithValues;
    Members members = membersOf(v);
    const std::vector<kelvoMapMember> &all = members.list;
    /* A hash field whose value is not kept cannot be answered with it. */
    if (withValues)
        for (const kelvoMapMember &m : all)
            if (!m.hasValue)
                return KELVO_RES_MISS;
    /* HRANDFIELD's one field WITHVALUES is asked as a count of 1. */
    if (single && !withValues) {
        if (all.empty())
            return answer(out, rqs, ro, nilNode());
        return answer(out, rqs, ro, memberNode(all[drawIndex(all.size())]));
    }
    int64_t count = rqs->rng.start;
    std::vector<size_t> picks;
    if (count < 0 && !all.empty()) {
        /* Repeats allowed: |count| independent draws. */
        for (int64_t i = 0; i < -count; i++)
            picks.push_back(drawIndex(all.size()));
    } else if (count > 0) {
        /* Distinct members: the first `count` of a random permutation, or all of them in order. */
        std::vector<size_t> order(all.size());
        for (size_t i = 0; i < order.size(); i++)
            order[i] = i;
        size_t take = std::min(order.size(), static_cast<size_t>(count));
        if (take < order.size())
            for (size_t i = 0; i < take; i++)
                std::swap(order[i], order[i + drawIndex(order.size() - i)]);
        order.resize(take);
        picks = order;
    }
    std::vector<kelvoReply *> children;
    for (size_t p : picks) {
        const kelvoMapMember &m = all[p];
        if (!withValues) {
            children.push_back(memberNode(m));
            continue;
        }
        kelvoReply *pair = aggregateNode(KELVO_REPLY_ARRAY, 2);
        setChild(pair, 0, memberNode(m));
        setChild(pair, 1, stringNode(m.value, m.valueLen));
        children.push_back(pair);
    }
    return answer(out, rqs, ro, listNode(KELVO_REPLY_ARRAY, children));
}
