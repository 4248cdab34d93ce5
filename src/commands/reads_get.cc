/*
 * Cache roles of the reads whose replies this client stores: whole values, strings, lengths,
 * types, existence, hash fields, set members and list prefixes. Each answers only what the cached
 * value determines completely, in the form the server's reply would take through the row's
 * formatter (or the generic conversion for rawCommand); anything else is a miss.
 */
#include "cache/cache.h"
#include "cache/keys.h"
#include "commands/cmdroles.h"
#include "commands/reads.h"
#include "shm/epoch.h"

#include <vector>

namespace {

using ReadSection = kelvoReadSection;

bool isRaw(const kelvoQuerySet *rqs) { return (rqs->flags & KELVO_REQ_RAW) != 0; }

kelvoPackOptions packOf(const robj *ro) { return kelvoPackOptionsOf(ro->opts); }

/* What a nil reply converts to for this query: the server path's answer for a missing value. */
void nilAnswer(zval *out, const kelvoQuerySet *rqs, const robj *ro)
{
    kelvoPackOptions opts = packOf(ro);
    kelvoReplyToZVal(out, &kelvoNilReply, &opts, rqs->flags);
}

/* Stored bytes as the reply's string would convert: unpacked unless raw. */
void bytesAnswer(zval *out, const kelvoQuerySet *rqs, const robj *ro, const char *bytes, size_t length)
{
    if (isRaw(rqs)) {
        ZVAL_STRINGL(out, bytes, length);
        return;
    }
    kelvoPackOptions opts = packOf(ro);
    zend_string *s = zend_string_init(bytes, length, 0);
    kelvoUnpackEx(&opts, out, ZSTR_VAL(s), ZSTR_LEN(s), s);
    zend_string_release(s);
}

/* A count or a truth: booleans through the row's formatter, integers for rawCommand. */
void truthAnswer(zval *out, const kelvoQuerySet *rqs, bool truth)
{
    if (isRaw(rqs))
        ZVAL_LONG(out, truth ? 1 : 0);
    else
        ZVAL_BOOL(out, truth);
}

void withMeta(zval *out, zval *value, zend_long length)
{
    zval meta;
    array_init_size(&meta, 2);
    add_assoc_bool(&meta, "cached", true);
    add_assoc_long(&meta, "length", length);
    array_init_size(out, 2);
    add_next_index_zval(out, value);
    add_next_index_zval(out, &meta);
}

/* A string read's value: bytes, or the decimal text of an integer. */
bool stringAnswer(zval *out, const kelvoQuerySet *rqs, const robj *ro, const rk *v, zend_long *length)
{
    if (v->type == KELVO_NIL || v == kelvoEmptyArrayKey) {
        nilAnswer(out, rqs, ro);
        *length = -1;
        return true;
    }
    if (v->type == KELVO_INTEGER) {
        zend_string *s = zend_long_to_str(v->v.integer);
        *length = static_cast<zend_long>(ZSTR_LEN(s));
        ZVAL_STR(out, s);
        return true;
    }
    if (v->type != KELVO_STRING)
        return false;
    uint32_t n;
    const char *bytes = kelvoKeyStringConst(v, &n);
    bytesAnswer(out, rqs, ro, bytes, n);
    *length = n;
    return true;
}

/*
 * A whole hash or set as rawCommand's reply: the collection the server would have sent, made a
 * PHP value by the same generic conversion, whose forms follow the client's options (a map is a
 * flat list under phpredis compatibility). Null when a hash field's value is not kept.
 */
kelvoReply *collectionReply(const rk *v, int cmd)
{
    std::vector<kelvoMapMember> members;
    const kelvoMap *map = kelvoKeyMapConst(v);
    if (map) {
        const kelvoMapSlot *slots = kelvoMapSlots(map);
        for (uint32_t i : kelvoMapSlotsInArenaOrder(map)) {
            uint32_t flags = kelvoMapSlotFlags(&slots[i]);
            if (flags & KELVO_MAP_SLOT_ABSENT)
                continue;
            kelvoMapMember m =
                kelvoMapReadEntry(kelvoMapPublicEntry(v->type, kelvoMapEntryAtConst(map, &slots[i]), flags));
            if (v->type == KELVO_HASH && cmd != REDIS_CMD_HKEYS && !m.hasValue)
                return nullptr;
            members.push_back(m);
        }
    }
    bool pairs = cmd == REDIS_CMD_HGETALL;
    uint32_t type = pairs ? KELVO_REPLY_MAP : cmd == REDIS_CMD_SMEMBERS ? KELVO_REPLY_SET : KELVO_REPLY_ARRAY;
    kelvoReply *reply = kelvoLocalAggregateReply(type, members.size() * (pairs ? 2 : 1));
    size_t at = 0;
    for (const kelvoMapMember &m : members) {
        if (cmd != REDIS_CMD_HVALS)
            reply->v.element[at++] = kelvoLocalStringReply(m.name, m.nameLen);
        if (pairs || cmd == REDIS_CMD_HVALS)
            reply->v.element[at++] = kelvoLocalStringReply(m.value, m.valueLen);
    }
    return reply;
}

} // namespace

int kelvoGetKey(zval *out, kelvoQuerySet *rqs, robj *ro)
{
    kelvoAssert(rqs->nkeys == 1);
    ReadSection section;
    const rk *v;
    int rc = kelvoReadLookup(out, rqs, ro, 0, KELVO_KEY_FULL, &v);
    if (rc != KELVO_RES_SUCCESS)
        return rc;
    if (rqs->keytype == KELVO_STRING) {
        zval value;
        zend_long length;
        if (!stringAnswer(&value, rqs, ro, v, &length))
            return KELVO_RES_MISS;
        if (rqs->flags & KELVO_REQ_META)
            withMeta(out, &value, length);
        else
            ZVAL_COPY_VALUE(out, &value);
        return KELVO_RES_SUCCESS;
    }
    if (v->type == KELVO_NIL || (v->flags & KELVO_INTERNED)) {
        array_init(out);
        return KELVO_RES_SUCCESS;
    }
    if (isRaw(rqs)) {
        kelvoReply *reply = collectionReply(v, rqs->cmd);
        return reply ? kelvoAnswerLocal(out, rqs, ro, reply) : KELVO_RES_MISS;
    }
    kelvoPackOptions opts = packOf(ro);
    if (rqs->cmd == REDIS_CMD_HKEYS || rqs->cmd == REDIS_CMD_HVALS)
        kelvoHashPartsToZVal(&opts, isRaw(rqs), out, v, rqs->cmd == REDIS_CMD_HKEYS);
    else
        kelvoKeyToZVal(&opts, isRaw(rqs), out, v);
    return KELVO_RES_SUCCESS;
}

int kelvoGetLen(zval *out, kelvoQuerySet *rqs, robj *ro)
{
    ReadSection section;
    const rk *v;
    int rc = kelvoReadLookup(out, rqs, ro, 0, 0, &v);
    if (rc != KELVO_RES_SUCCESS)
        return rc;
    if (v == kelvoExistsKey || v->type == KELVO_INTEGER)
        return KELVO_RES_MISS;
    int64_t length = kelvoKeyRealLen(v);
    if (length < 0)
        return KELVO_RES_MISS;
    ZVAL_LONG(out, length);
    return KELVO_RES_SUCCESS;
}

int kelvoGetType(zval *out, kelvoQuerySet *rqs, robj *ro)
{
    ReadSection section;
    const rk *v;
    if (kelvoQuerySetGetKey(rqs, ro, 0, 0, &v) != KELVO_RES_SUCCESS || v == kelvoExistsKey)
        return KELVO_RES_MISS;
    /* Any typed value proves its type; an empty collection of no type is a key that does not exist. */
    struct Word {
        const char *text;
        zend_long code;
    } word = {"none", KELVO_KEYTYPE_NOT_FOUND};
    if (v == kelvoEmptyArrayKey || v->type == KELVO_NIL)
        word = {"none", KELVO_KEYTYPE_NOT_FOUND};
    else if (v->type == KELVO_STRING || v->type == KELVO_INTEGER)
        word = {"string", KELVO_KEYTYPE_STRING};
    else if (v->type == KELVO_HASH)
        word = {"hash", KELVO_KEYTYPE_HASH};
    else if (v->type == KELVO_SET)
        word = {"set", KELVO_KEYTYPE_SET};
    else if (v->type == KELVO_LIST)
        word = {"list", KELVO_KEYTYPE_LIST};
    else if (v->type == KELVO_ZSET)
        word = {"zset", KELVO_KEYTYPE_ZSET};
    else
        return KELVO_RES_MISS;
    if (!isRaw(rqs) && (ro->opts.flags & kelvoOptPhpredisCompat))
        ZVAL_LONG(out, word.code);
    else if (isRaw(rqs) && (ro->opts.flags & kelvoOptReplyLiteral) == 0)
        ZVAL_TRUE(out); /* a status reply's generic conversion */
    else
        ZVAL_STRING(out, word.text);
    return KELVO_RES_SUCCESS;
}

int kelvoExistsGet(zval *out, kelvoQuerySet *rqs, robj *ro)
{
    ReadSection section;
    zend_long count = 0;
    for (uint32_t i = 0; i < rqs->nkeys; i++) {
        const rk *v;
        if (kelvoQuerySetGetKey(rqs, ro, i, 0, &v) != KELVO_RES_SUCCESS)
            return KELVO_RES_MISS;
        count += v != kelvoNilKey && v != kelvoEmptyArrayKey;
    }
    ZVAL_LONG(out, count);
    return KELVO_RES_SUCCESS;
}

int kelvoGetStrings(zval *out, kelvoQuerySet *rqs, robj *ro)
{
    ReadSection section;
    zval list;
    array_init_size(&list, rqs->nkeys);
    for (uint32_t i = 0; i < rqs->nkeys; i++) {
        const zend_string *key = rqs->keys[i];
        const rk *v = kelvoReadCachedKey(ro, key);
        if (!v || !(v->flags & KELVO_KEY_FULL)) {
            zval_ptr_dtor(&list);
            return KELVO_RES_MISS;
        }
        zval value;
        zend_long length;
        if (!stringAnswer(&value, rqs, ro, v, &length))
            nilAnswer(&value, rqs, ro); /* another type: MGET's nil */
        add_next_index_zval(&list, &value);
    }
    ZVAL_COPY_VALUE(out, &list);
    return KELVO_RES_SUCCESS;
}

namespace {

/* A hash field's cached state: false when the cache does not know it well enough. */
struct Field {
    int state;
    kelvoMapMember member;
    bool hasEntry;
};

Field fieldOf(const rk *hash, const zend_string *name)
{
    Field f{KELVO_MEMBER_UNKNOWN, {}, false};
    const void *entry = kelvoMapGetEx(hash, &f.state, ZSTR_VAL(name), ZSTR_LEN(name));
    if (entry) {
        f.member = kelvoMapReadEntry(entry);
        f.hasEntry = true;
    }
    return f;
}

/* Known well enough to answer a value: its value is kept, or it is known absent. */
bool valueKnown(const Field &f)
{
    return f.state == KELVO_MEMBER_ABSENT || (f.state == KELVO_MEMBER_EXISTS && f.hasEntry && f.member.hasValue);
}

} // namespace

int kelvoHGetGet(zval *out, kelvoQuerySet *rqs, robj *ro)
{
    kelvoAssert(rqs->nkeys == 1 && rqs->nvals == 1);
    ReadSection section;
    const rk *v;
    int rc = kelvoReadLookup(out, rqs, ro, 0, 0, &v);
    if (rc != KELVO_RES_SUCCESS)
        return rc;
    if (v == kelvoExistsKey)
        return KELVO_RES_MISS;
    Field f = fieldOf(v, rqs->vals[0]);
    if (f.state == KELVO_MEMBER_UNKNOWN)
        return KELVO_RES_MISS;
    if (rqs->cmd == REDIS_CMD_HEXISTS) {
        truthAnswer(out, rqs, f.state == KELVO_MEMBER_EXISTS);
        return KELVO_RES_SUCCESS;
    }
    if (!valueKnown(f))
        return KELVO_RES_MISS;
    bool absent = f.state == KELVO_MEMBER_ABSENT;
    if (rqs->cmd == REDIS_CMD_HSTRLEN) {
        ZVAL_LONG(out, absent ? 0 : f.member.valueLen);
        return KELVO_RES_SUCCESS;
    }
    zval value;
    if (absent)
        nilAnswer(&value, rqs, ro);
    else
        bytesAnswer(&value, rqs, ro, f.member.value, f.member.valueLen);
    if (rqs->flags & KELVO_REQ_META)
        withMeta(out, &value, absent ? -1 : static_cast<zend_long>(f.member.valueLen));
    else
        ZVAL_COPY_VALUE(out, &value);
    return KELVO_RES_SUCCESS;
}

int kelvoHMGet(zval *out, kelvoQuerySet *rqs, robj *ro)
{
    kelvoAssert(rqs->nkeys == 1);
    ReadSection section;
    const rk *v;
    int rc = kelvoReadLookup(out, rqs, ro, 0, 0, &v);
    if (rc != KELVO_RES_SUCCESS)
        return rc;
    if (v == kelvoExistsKey)
        return KELVO_RES_MISS;
    zval result;
    array_init_size(&result, rqs->nvals);
    for (uint32_t i = 0; i < rqs->nvals; i++) {
        Field f = fieldOf(v, rqs->vals[i]);
        /* rawCommand's nil inside a list is left to the server's conversion. */
        if (!valueKnown(f) || (isRaw(rqs) && f.state == KELVO_MEMBER_ABSENT)) {
            zval_ptr_dtor(&result);
            return KELVO_RES_MISS;
        }
        zval value;
        if (f.state == KELVO_MEMBER_ABSENT)
            kelvoNotFound(&value, ro);
        else
            bytesAnswer(&value, rqs, ro, f.member.value, f.member.valueLen);
        if (isRaw(rqs))
            add_next_index_zval(&result, &value);
        else
            zend_symtable_update(Z_ARRVAL(result), rqs->vals[i], &value);
    }
    ZVAL_COPY_VALUE(out, &result);
    return KELVO_RES_SUCCESS;
}

int kelvoSetIsMemGet(zval *out, kelvoQuerySet *rqs, robj *ro)
{
    kelvoAssert(rqs->nkeys == 1 && rqs->nvals == 1);
    ReadSection section;
    const rk *v;
    int rc = kelvoReadLookup(out, rqs, ro, 0, 0, &v);
    if (rc != KELVO_RES_SUCCESS)
        return rc;
    int state;
    const zend_string *member = rqs->vals[0];
    kelvoMapGetEx(v, &state, ZSTR_VAL(member), ZSTR_LEN(member));
    if (state == KELVO_MEMBER_UNKNOWN)
        return KELVO_RES_MISS;
    truthAnswer(out, rqs, state == KELVO_MEMBER_EXISTS);
    return KELVO_RES_SUCCESS;
}

int kelvoLrangeGet(zval *out, kelvoQuerySet *rqs, robj *ro)
{
    ReadSection section;
    const rk *v;
    int rc = kelvoReadLookup(out, rqs, ro, 0, 0, &v);
    if (rc != KELVO_RES_SUCCESS)
        return rc;
    if (v == kelvoExistsKey || (v->type == KELVO_LIST && (v->flags & ~0x7Fu) != 0 && !(v->flags & KELVO_INTERNED)))
        return KELVO_RES_MISS;
    if (v->type == KELVO_NIL || v->flags & KELVO_INTERNED) {
        array_init(out);
        return KELVO_RES_SUCCESS;
    }
    if (!(v->flags & KELVO_KEY_INITIALIZED))
        return KELVO_RES_MISS;
    uint32_t cached;
    int64_t total;
    kelvoListLen(v, &cached, &total);
    int64_t s = rqs->rng.start, e = rqs->rng.end;
    if (total < 0) {
        if (s < 0 || e < 0)
            return KELVO_RES_MISS;
        if (s > e) {
            array_init(out);
            return KELVO_RES_SUCCESS;
        }
    } else {
        if (s < 0)
            s += total;
        if (e < 0)
            e += total;
        if (s < 0)
            s = 0;
        if (e < s || s >= total) {
            array_init(out);
            return KELVO_RES_SUCCESS;
        }
        if (e >= total)
            e = total - 1;
    }
    if (e >= static_cast<int64_t>(cached))
        return KELVO_RES_MISS;
    array_init_size(out, static_cast<uint32_t>(e - s + 1));
    for (int64_t i = s; i <= e; i++) {
        uint32_t length = 0;
        const char *bytes = kelvoListElement(v, static_cast<uint32_t>(i), &length);
        zval element;
        if (bytes)
            bytesAnswer(&element, rqs, ro, bytes, length);
        else
            ZVAL_NULL(&element);
        add_next_index_zval(out, &element);
    }
    return KELVO_RES_SUCCESS;
}

void kelvoNotFound(zval *out, const robj *ro)
{
    kelvoOptionWord flags = ro->opts.flags;
    if ((flags & kelvoOptPhpredisCompat) && !(flags & kelvoOptNullMultibulkAsNull))
        ZVAL_FALSE(out);
    else
        ZVAL_NULL(out);
}
