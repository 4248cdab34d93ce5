/*
 * Storing cached reads' replies: the check roles, the store roles, and the one insert sequence
 * they share. A reply is kept only for what it proves: a type only when it proves the key exists,
 * a length or a member fact on a copy of the cached value (never on the shared one), and never
 * when a write of the key was seen after the request left (the endpoint's write tickets).
 */
#include "client/adaptive.h"
#include "cache/cache.h"
#include "cache/keylease.h"
#include "cache/keys.h"
#include "commands/cmdroles.h"
#include "commands/reads.h"
#include "runtime/log.h"
#include "shm/epoch.h"
#include "shm/shared.h"

extern "C" {
#include "main/php.h"
}

namespace {

constexpr int kStatFiltered = 3;
constexpr int kStatOom = 4;

void countShared(int index) { __atomic_add_fetch(&kelvoSharedStatPtr()[index], 1, __ATOMIC_RELAXED); }

/* The ticket of key `i` moved since the request left (or was never sampled). */
bool ticketMoved(const kelvoQuerySet *rqs, const kelvoEndpoint *ep, uint32_t i, uint64_t hash)
{
    return !rqs->tickets || kelvoEndpointTicket(ep, hash) != rqs->tickets[i];
}

enum class Insert { Replace, IfAbsent };

/* The value of key `i` whose servable entry is in place, inside the caller's read section. */
const rk *cachedValue(const kelvoQuerySet *rqs, const robj *ro, uint32_t i)
{
    const zend_string *key = rqs->keys[i];
    return kelvoReadCachedKey(ro, key);
}

/*
 * Puts `value` under key `i` in the link's cached database; the value is consumed either way.
 * IfAbsent leaves a servable entry of the key in place.
 */
bool insertValue(const kelvoQuerySet *rqs, robj *ro, uint32_t i, rk *value, Insert how)
{
    kelvoLink &link = ro->link;
    kelvoAssert(link.rdb != NULL && link.ep != NULL && i < rqs->nkeys);
    const zend_string *key = rqs->keys[i];
    uint64_t hash = kelvoCacheHash(ZSTR_VAL(key), ZSTR_LEN(key));
    if (ticketMoved(rqs, link.ep, i, hash)) {
        kelvoKeyFree(value);
        return false;
    }
    if (kelvoEndpointFilter(link.ep, ro->sketch, &ro->opts.adaptiveCache, ZSTR_VAL(key), ZSTR_LEN(key), hash) == 1) {
        countShared(kStatFiltered);
        kelvoKeyFree(value);
        return false;
    }
    kelvoCacheEntry *entry = kelvoCacheEntryCreate(ZSTR_VAL(key), ZSTR_LEN(key), value, link.lease, rqs->leaseToken);
    if (!entry) {
        countShared(kStatOom);
        kelvoKeyFree(value);
        return false;
    }
    int rc;
    if (how == Insert::IfAbsent && (rc = kelvoCacheEntryAdd(link.rdb, link.db, entry)) == 1) {
        kelvoGlobalEpochBegin();
        bool servable = cachedValue(rqs, ro, i) != nullptr;
        kelvoGlobalEpochEnd();
        rc = servable ? 1 : kelvoCacheEntryStore(link.rdb, link.db, entry);
    } else if (how == Insert::Replace) {
        rc = kelvoCacheEntryStore(link.rdb, link.db, entry);
    }
    if (rc != 0) {
        if (rc < 0) {
            kelvoLogDebug("%s:%d FREE: '%s' (e: %lx, e->value: %lx)", KELVO_LOG_SITE, ZSTR_VAL(key),
                          reinterpret_cast<unsigned long>(entry), reinterpret_cast<unsigned long>(value));
            countShared(kStatOom);
        }
        kelvoCacheEntryFree(entry);
        return false;
    }
    /* A drop that raised the ticket after the look above finds the entry now; one before it is seen here. */
    __atomic_thread_fence(__ATOMIC_SEQ_CST);
    if (ticketMoved(rqs, link.ep, i, hash)) {
        kelvoGlobalEpochBegin();
        kelvoCacheMarkStaleShared(link.rdb, link.db, ZSTR_VAL(key), ZSTR_LEN(key), hash);
        kelvoGlobalEpochEnd();
        return false;
    }
    return true;
}

bool keyAllowed(const kelvoQuerySet *rqs, const robj *ro, uint32_t i)
{
    return kelvoPatternsAllowKey(&ro->opts, ZSTR_VAL(rqs->keys[i]), ZSTR_LEN(rqs->keys[i]));
}

/* A private copy of a cached value that keeps its recorded length; null when it cannot be had. */
rk *copyKeepingLength(const rk *cur)
{
    rk *copy = kelvoKeyClone(cur);
    if (copy && copy != cur && (cur->flags & KELVO_KEY_LEN))
        kelvoKeySetLen(copy, cur->len);
    return copy == cur ? nullptr : copy;
}

/*
 * The value a member fact goes into: a copy of a cached partial value of the wanted type, or,
 * when the reply proves the key exists, a new partial one with any length known for the key.
 * Null when there is nothing to add to (or no memory: counted).
 */
rk *partialBase(const rk *cur, uint32_t type, bool provesExists, rk *(*create)())
{
    if (cur && (cur->flags & KELVO_KEY_FULL))
        return nullptr; /* complete already: nothing to learn */
    bool typed = cur && cur->type == type && !(cur->flags & KELVO_INTERNED);
    if (typed && (cur->flags & KELVO_KEY_INITIALIZED)) {
        rk *copy = copyKeepingLength(cur);
        if (!copy)
            countShared(kStatOom);
        return copy;
    }
    if (!typed && !provesExists)
        return nullptr;
    if (cur && !typed && cur != kelvoExistsKey && cur->type != KELVO_NIL)
        return nullptr; /* the cache knows the key as another type: leave it to invalidation */
    rk *fresh = create();
    if (!fresh) {
        countShared(kStatOom);
        return nullptr;
    }
    if (typed && (cur->flags & KELVO_KEY_LEN))
        kelvoKeySetLen(fresh, cur->len);
    return fresh;
}

rk *newHash16() { return kelvoHashCreate(16); }
rk *newSet() { return kelvoMapKeyCreate(KELVO_SET, 32, 1544); }

thread_local uint32_t hmgetFields; /* sizes a new HMGET hash */
rk *newHashForFields() { return kelvoHashCreate(hmgetFields ? hmgetFields : 4); }

bool isNil(const kelvoReply *r) { return r->type == KELVO_REPLY_NIL; }
bool isString(const kelvoReply *r) { return r->type == KELVO_REPLY_STRING; }

/* One HGET-style field fact into a private hash: a value, or known absent. */
int mergeField(rk *hash, const zend_string *field, const kelvoReply *r)
{
    if (ZSTR_LEN(field) >= UINT32_MAX)
        return -1;
    if (isString(r))
        return kelvoHashPutString(hash, ZSTR_VAL(field), ZSTR_LEN(field), ZSTR_VAL(r->v.str), ZSTR_LEN(r->v.str));
    if (isNil(r))
        return kelvoKeyFlagExists(hash, ZSTR_VAL(field), ZSTR_LEN(field), 0);
    return -1;
}

} // namespace

int kelvoMergeHashMemsImpl(kelvoQuerySet *rqs, rk *hash, kelvoReply *reply)
{
    if (rqs->cmd == REDIS_CMD_HGET)
        return rqs->nvals == 1 ? mergeField(hash, rqs->vals[0], reply) : -1;
    if (reply->type != KELVO_REPLY_ARRAY || reply->elements != rqs->nvals)
        return -1;
    for (uint32_t i = 0; i < rqs->nvals; i++)
        if (mergeField(hash, rqs->vals[i], reply->v.element[i]) != 0)
            return -1;
    return 0;
}

void kelvoQuerySetSampleTickets(kelvoQuerySet *rqs, const robj *ro)
{
    const kelvoLink &link = ro->link;
    if (!link.rdb || !link.ep || rqs->tickets || !rqs->nkeys)
        return;
    rqs->leaseToken = kelvoLeaseIsSlot(link.lease) ? kelvoLeaseToken(link.lease) : 0;
    rqs->tickets = static_cast<uint32_t *>(emalloc(rqs->nkeys * sizeof(uint32_t)));
    for (uint32_t i = 0; i < rqs->nkeys; i++)
        rqs->tickets[i] = kelvoEndpointTicket(link.ep, kelvoCacheHash(ZSTR_VAL(rqs->keys[i]), ZSTR_LEN(rqs->keys[i])));
}

/* -- check roles ----------------------------------------------------------------------------------- */

int kelvoKeyChk(kelvoQuerySet *rqs, robj *ro, kelvoReply *)
{
    kelvoAssert(rqs->nkeys == 1);
    return keyAllowed(rqs, ro, 0);
}

int kelvoLrangeChk(kelvoQuerySet *rqs, robj *ro, kelvoReply *reply)
{
    if (!kelvoKeyChk(rqs, ro, reply))
        return 0;
    return reply->elements > 0 || (rqs->rng.start == 0 && rqs->rng.end == -1);
}

int kelvoExistsChk(kelvoQuerySet *rqs, robj *, kelvoReply *reply)
{
    return reply->type == KELVO_REPLY_INTEGER && (reply->v.integer == 0 || reply->v.integer == rqs->nkeys);
}

/* -- store roles ----------------------------------------------------------------------------------- */

void kelvoPutKey(kelvoQuerySet *rqs, robj *ro, kelvoReply *reply)
{
    kelvoAssert(rqs->nkeys >= 1);
    rk *value = kelvoKeyFromReply(static_cast<uint32_t>(kelvoCmdToKeyType(rqs->cmd)), KELVO_KEY_FULL, reply);
    if (value)
        insertValue(rqs, ro, 0, value, Insert::Replace);
}

void kelvoPutStrings(kelvoQuerySet *rqs, robj *ro, kelvoReply *reply)
{
    if (reply->type != KELVO_REPLY_ARRAY || reply->elements != rqs->nkeys)
        return;
    for (uint32_t i = 0; i < rqs->nkeys; i++) {
        const kelvoReply *e = reply->v.element[i];
        if (!isString(e) || !keyAllowed(rqs, ro, i))
            continue;
        rk *value = kelvoKeyFromReply(KELVO_STRING, KELVO_KEY_FULL, e);
        if (!value)
            return;
        insertValue(rqs, ro, i, value, Insert::Replace);
    }
}

void kelvoLrangePut(kelvoQuerySet *rqs, robj *ro, kelvoReply *reply)
{
    if (rqs->rng.start != 0 || reply->type != KELVO_REPLY_ARRAY)
        return;
    int64_t end = rqs->rng.end;
    bool whole = end == -1 || (end >= 0 && reply->elements < static_cast<uint64_t>(end) + 1);
    rk *value = kelvoKeyFromReply(KELVO_LIST, whole ? KELVO_KEY_FULL : 0, reply);
    if (value)
        insertValue(rqs, ro, 0, value, Insert::Replace);
}

void kelvoExistsPut(kelvoQuerySet *rqs, robj *ro, kelvoReply *reply)
{
    kelvoAssert(reply->type == KELVO_REPLY_INTEGER && (reply->v.integer == 0 || reply->v.integer == rqs->nkeys));
    rk *marker = reply->v.integer == 0 ? kelvoNilKey : kelvoExistsKey;
    for (uint32_t i = 0; i < rqs->nkeys; i++)
        insertValue(rqs, ro, i, marker, Insert::IfAbsent);
}

void kelvoMemExistsPut(kelvoQuerySet *rqs, robj *ro, kelvoReply *reply)
{
    kelvoAssert(rqs->nkeys == 1 && rqs->nvals >= 1);
    if (reply->type != KELVO_REPLY_INTEGER && reply->type != KELVO_REPLY_BOOL)
        return;
    bool exists = reply->v.integer != 0;
    uint32_t type = rqs->keytype;
    kelvoGlobalEpochBegin();
    rk *value = partialBase(cachedValue(rqs, ro, 0), type, exists, type == KELVO_HASH ? newHash16 : newSet);
    kelvoGlobalEpochEnd();
    if (!value)
        return;
    const zend_string *member = rqs->vals[0];
    if (kelvoKeyFlagExists(value, ZSTR_VAL(member), ZSTR_LEN(member), exists ? 1 : 0) != 0) {
        kelvoKeyFree(value);
        return;
    }
    insertValue(rqs, ro, 0, value, Insert::Replace);
}

void kelvoHGetPut(kelvoQuerySet *rqs, robj *ro, kelvoReply *reply)
{
    kelvoAssert(rqs->nkeys == 1 && rqs->nvals >= 1);
    /* Only a value proves the key is a hash: nil for every field may mean no key at all. */
    bool provesExists = isString(reply);
    if (reply->type == KELVO_REPLY_ARRAY)
        for (uint64_t i = 0; i < reply->elements; i++)
            provesExists |= isString(reply->v.element[i]);
    hmgetFields = rqs->cmd == REDIS_CMD_HMGET ? rqs->nvals : 4;
    kelvoGlobalEpochBegin();
    rk *value = partialBase(cachedValue(rqs, ro, 0), KELVO_HASH, provesExists, newHashForFields);
    kelvoGlobalEpochEnd();
    if (!value)
        return;
    if (kelvoMergeHashMemsImpl(rqs, value, reply) != 0) {
        kelvoKeyFree(value);
        return;
    }
    insertValue(rqs, ro, 0, value, Insert::Replace);
}

void kelvoPutLen(kelvoQuerySet *rqs, robj *ro, kelvoReply *reply)
{
    kelvoAssert(rqs->nkeys == 1);
    if (reply->type != KELVO_REPLY_INTEGER || reply->v.integer < 0)
        return;
    uint64_t length = static_cast<uint64_t>(reply->v.integer);
    uint32_t type = rqs->keytype;
    kelvoGlobalEpochBegin();
    const rk *cur = cachedValue(rqs, ro, 0);
    rk *value = nullptr;
    bool store = false;
    if (cur && !(cur->flags & KELVO_INTERNED)) {
        /* The length goes on a copy: the shared value never changes. */
        if (cur->type == type && !(cur->flags & KELVO_KEY_FULL) && (value = copyKeepingLength(cur)) != nullptr)
            store = kelvoKeySetLen(value, length) == 0;
    } else if (length == 0) {
        /* A string of no bytes still exists: only the collections' 0 means no key. */
        if (!cur && type != KELVO_STRING) {
            value = kelvoNilKey;
            store = true;
        }
    } else if ((value = rkKeyAlloc(type)) != nullptr) {
        store = kelvoKeySetLen(value, length) == 0;
    } else {
        countShared(kStatOom);
    }
    kelvoGlobalEpochEnd();
    if (store)
        insertValue(rqs, ro, 0, value, Insert::Replace);
    else
        kelvoKeyFree(value);
}

void kelvoZrangePut(kelvoQuerySet *rqs, robj *ro, kelvoReply *reply)
{
    rk *value = kelvoZrangeValue(rqs, reply);
    if (value)
        insertValue(rqs, ro, 0, value, Insert::Replace);
}

void kelvoPFCountPut(kelvoQuerySet *rqs, robj *ro, kelvoReply *)
{
    /* Counting may rewrite the cardinality the server keeps in a sketch's header: a copy held of it is stale. */
    for (uint32_t i = 0; i < rqs->nkeys; i++)
        kelvoCacheDelAndFire(ro, ZSTR_VAL(rqs->keys[i]), ZSTR_LEN(rqs->keys[i]), 0);
}
