/* Topology replies, their application to a cluster object, the slot cache and the shared sketches. */
#include "cluster/topology.h"
#include "cluster/slots.h"
#include "client/adaptive.h"
#include "cache/cache.h"
#include "cache/cms.h"
#include "client/connection.h"
#include "commands/commands.h"
#include "runtime/cfgvals.h"
#include "runtime/exception.h"
#include "runtime/fatal.h"
#include "runtime/kelvo.h"
#include "shm/epoch.h"
#include "shm/shared.h"
#include "shm/shmalloc.h"
#include "wire/reply.h"

extern "C" {
#include "ext/standard/php_versioning.h"
#include "ext/standard/url.h"
#include "ext/random/php_random.h"
#include "main/php_variables.h"
#include "zend_exceptions.h"
}

#include <algorithm>
#include <cstring>
#include <strings.h>
#include <ctime>
#include <unistd.h>
#include <string>
#include <unordered_map>
#include <vector>

int le_slots_cache = -1;

/* -- reading replies --------------------------------------------------------------------------- */

namespace {

bool isString(const kelvoReply *r)
{
    return r && (r->type == KELVO_REPLY_STRING || r->type == KELVO_REPLY_STATUS || r->type == KELVO_REPLY_VERB);
}

bool textIs(const kelvoReply *r, const char *text)
{
    return isString(r) && zend_string_equals_cstr(r->v.str, text, strlen(text));
}

/* The value of `name` in a map (or a flat key, value array), or null. */
const kelvoReply *mapFind(const kelvoReply *map, const char *name)
{
    if (!map || (map->type != KELVO_REPLY_MAP && map->type != KELVO_REPLY_ARRAY) || map->elements % 2)
        return nullptr;
    for (uint64_t i = 0; i + 1 < map->elements; i += 2)
        if (textIs(map->v.element[i], name))
            return map->v.element[i + 1];
    return nullptr;
}

bool isAggregate(const kelvoReply *r) { return r && (r->type == KELVO_REPLY_ARRAY || r->type == KELVO_REPLY_SET); }

/* A usable host text: not empty and not "?" (an endpoint the server does not know). */
zend_string *hostOf(const kelvoReply *r)
{
    if (!isString(r) || ZSTR_LEN(r->v.str) == 0 || zend_string_equals_literal(r->v.str, "?"))
        return nullptr;
    return r->v.str;
}

/* The node of `id`, added on first sight; its index. */
int64_t addNode(kelvoTopology *topo, HashTable *ids, zend_string *id, const kelvoTopoNode &node)
{
    if (zval *known = zend_hash_find(ids, id))
        return Z_LVAL_P(known);
    if (topo->count == topo->capacity) {
        topo->capacity = topo->capacity ? topo->capacity * 2 : 8;
        topo->nodes =
            static_cast<kelvoTopoNode *>(safe_erealloc(topo->nodes, topo->capacity, sizeof(kelvoTopoNode), 0));
    }
    kelvoTopoNode &slot = topo->nodes[topo->count];
    slot = node;
    slot.host = zend_string_copy(node.host);
    slot.ip = node.ip ? zend_string_copy(node.ip) : nullptr;
    slot.hostname = node.hostname ? zend_string_copy(node.hostname) : nullptr;
    zval index;
    ZVAL_LONG(&index, topo->count);
    zend_hash_add_new(ids, id, &index);
    return topo->count++;
}

bool setRange(kelvoTopology *topo, const kelvoReply *start, const kelvoReply *end, int64_t owner)
{
    if (!start || !end || start->type != KELVO_REPLY_INTEGER || end->type != KELVO_REPLY_INTEGER)
        return false;
    int64_t from = start->v.integer, to = end->v.integer;
    if (from < 0 || to < from || to >= int64_t(kelvoClusterSlotCount))
        return false;
    for (int64_t s = from; s <= to; s++)
        topo->slots[s] = int32_t(owner);
    return true;
}

/* One node map of a CLUSTER SHARDS entry; false when a needed field is missing or of another type. */
bool shardNode(const kelvoReply *map, zend_string *askedHost, bool tls, kelvoTopoNode *out, zend_string **id,
               bool *master)
{
    const kelvoReply *idR = mapFind(map, "id"), *roleR = mapFind(map, "role"), *healthR = mapFind(map, "health");
    const kelvoReply *portR = mapFind(map, "port"), *tlsPortR = mapFind(map, "tls-port");
    if (!isString(idR) || !isString(roleR) || !isString(healthR))
        return false;
    zend_long port = 0;
    if (tls && tlsPortR && tlsPortR->type == KELVO_REPLY_INTEGER && tlsPortR->v.integer > 0)
        port = tlsPortR->v.integer;
    else if (portR && portR->type == KELVO_REPLY_INTEGER)
        port = portR->v.integer;
    if (port <= 0 || port > 65535)
        return false;
    zend_string *endpoint = hostOf(mapFind(map, "endpoint"));
    zend_string *ip = hostOf(mapFind(map, "ip"));
    out->host = endpoint ? endpoint : (ip ? ip : askedHost);
    out->ip = ip;
    out->hostname = hostOf(mapFind(map, "hostname"));
    out->port = port;
    out->primary = -1;
    *master = textIs(roleR, "master");
    bool online = textIs(healthR, "online");
    out->flags = uint8_t((*master ? KELVO_NODE_PRIMARY : 0) | (online ? 0 : KELVO_NODE_UNHEALTHY));
    *id = idR->v.str;
    return true;
}

/* One node description of a CLUSTER SLOTS range: host, port, id and optional metadata. */
bool slotsNode(const kelvoReply *desc, zend_string *askedHost, kelvoTopoNode *out, zend_string **id)
{
    if (!isAggregate(desc) || desc->elements < 3)
        return false;
    const kelvoReply *hostR = desc->v.element[0], *portR = desc->v.element[1], *idR = desc->v.element[2];
    if (!isString(hostR) || !portR || portR->type != KELVO_REPLY_INTEGER || !isString(idR))
        return false;
    if (portR->v.integer <= 0 || portR->v.integer > 65535)
        return false;
    const kelvoReply *meta = desc->elements > 3 ? desc->v.element[3] : nullptr;
    zend_string *host = hostOf(hostR);
    out->host = host ? host : askedHost;
    out->ip = hostOf(mapFind(meta, "ip"));
    out->hostname = hostOf(mapFind(meta, "hostname"));
    out->port = portR->v.integer;
    out->primary = -1;
    out->flags = 0;
    *id = idR->v.str;
    return true;
}

/* Parses with an id table that lives for the parse; -1 empties the topology. */
template <typename Parse>
int parseWithIds(kelvoTopology *topo, Parse parse)
{
    HashTable ids;
    zend_hash_init(&ids, 8, nullptr, nullptr, 0);
    int rc = parse(&ids) ? 0 : -1;
    zend_hash_destroy(&ids);
    if (rc != 0) {
        kelvoTopologyRelease(topo);
        kelvoTopologyInit(topo);
    }
    return rc;
}

} // namespace

void kelvoTopologyInit(kelvoTopology *topo)
{
    topo->nodes = nullptr;
    topo->count = topo->capacity = 0;
    std::fill(std::begin(topo->slots), std::end(topo->slots), -1);
}

void kelvoTopologyRelease(kelvoTopology *topo)
{
    for (uint32_t i = 0; i < topo->count; i++) {
        zend_string_release(topo->nodes[i].host);
        if (topo->nodes[i].ip)
            zend_string_release(topo->nodes[i].ip);
        if (topo->nodes[i].hostname)
            zend_string_release(topo->nodes[i].hostname);
    }
    if (topo->nodes)
        efree(topo->nodes);
    topo->nodes = nullptr;
    topo->count = topo->capacity = 0;
}

bool kelvoTopologyCovered(const kelvoTopology *topo)
{
    return std::none_of(std::begin(topo->slots), std::end(topo->slots), [](int32_t owner) { return owner < 0; });
}

int kelvoTopologyFromShards(kelvoTopology *topo, const kelvoReply *reply, zend_string *askedHost, bool tls)
{
    if (!isAggregate(reply))
        return -1;
    return parseWithIds(topo, [&](HashTable *ids) {
        for (uint64_t i = 0; i < reply->elements; i++) {
            const kelvoReply *shard = reply->v.element[i];
            const kelvoReply *slots = mapFind(shard, "slots"), *nodes = mapFind(shard, "nodes");
            if (!isAggregate(slots) || slots->elements % 2 || !isAggregate(nodes))
                return false;
            /* The shard's primary first: the first node whose role is master. */
            int64_t primary = -1;
            for (uint64_t n = 0; n < nodes->elements && primary < 0; n++) {
                kelvoTopoNode node;
                zend_string *id;
                bool master;
                if (!shardNode(nodes->v.element[n], askedHost, tls, &node, &id, &master))
                    return false;
                if (master)
                    primary = addNode(topo, ids, id, node);
            }
            if (primary < 0) {
                /* Without a primary nothing of the shard can be served: its slots stay uncovered. */
                if (slots->elements)
                    return false;
                continue;
            }
            for (uint64_t s = 0; s < slots->elements; s += 2)
                if (!setRange(topo, slots->v.element[s], slots->v.element[s + 1], primary))
                    return false;
            for (uint64_t n = 0; n < nodes->elements; n++) {
                kelvoTopoNode node;
                zend_string *id;
                bool master;
                if (!shardNode(nodes->v.element[n], askedHost, tls, &node, &id, &master))
                    return false;
                if (master)
                    continue;
                node.primary = primary;
                addNode(topo, ids, id, node);
            }
        }
        return true;
    });
}

int kelvoTopologyFromSlots(kelvoTopology *topo, const kelvoReply *reply, zend_string *askedHost)
{
    if (!isAggregate(reply))
        return -1;
    return parseWithIds(topo, [&](HashTable *ids) {
        for (uint64_t i = 0; i < reply->elements; i++) {
            const kelvoReply *range = reply->v.element[i];
            if (!isAggregate(range) || range->elements < 3)
                return false;
            kelvoTopoNode node;
            zend_string *id;
            if (!slotsNode(range->v.element[2], askedHost, &node, &id))
                return false;
            node.flags = KELVO_NODE_PRIMARY;
            bool known = zend_hash_exists(ids, id);
            int64_t primary = addNode(topo, ids, id, node);
            if (!(topo->nodes[primary].flags & KELVO_NODE_PRIMARY))
                return false;
            if (!setRange(topo, range->v.element[0], range->v.element[1], primary))
                return false;
            for (uint64_t r = 3; r < range->elements; r++) {
                if (!slotsNode(range->v.element[r], askedHost, &node, &id))
                    return false;
                if (known)
                    continue;
                node.primary = primary;
                int64_t replica = addNode(topo, ids, id, node);
                if (topo->nodes[replica].primary != primary)
                    return false;
            }
        }
        return true;
    });
}

/* -- the shared generation and sketches ------------------------------------------------------ */

namespace {

/* One entry of the shared sketch stack: objects built from the same seeds count in one sketch. */
struct SketchEntry {
    SketchEntry *next;
    kelvoCms *cms; /* stored after the push; null until then */
    uint64_t keyLength;
    char key[1];
};

SketchEntry *findSketch(const zend_string *key)
{
    auto *head = static_cast<SketchEntry *>(__atomic_load_n(&kelvoSharedData->cluster_sketches.head, __ATOMIC_ACQUIRE));
    for (SketchEntry *e = head; e; e = e->next)
        if (e->keyLength == ZSTR_LEN(key) && memcmp(e->key, ZSTR_VAL(key), ZSTR_LEN(key)) == 0)
            return e;
    return nullptr;
}

/* The sketch of a seed list, made and pushed on first use; null when none can be had now. */
kelvoCms *sharedSketch(const zend_string *key, const kelvoAdaptiveCacheOptions &opts)
{
    if (!kelvoCacheUsable())
        return nullptr;
    if (SketchEntry *found = findSketch(key))
        return __atomic_load_n(&found->cms, __ATOMIC_ACQUIRE);
    void *head = __atomic_load_n(&kelvoSharedData->cluster_sketches.head, __ATOMIC_ACQUIRE);
    auto *entry = static_cast<SketchEntry *>(kelvoShMalloc(offsetof(SketchEntry, key) + ZSTR_LEN(key) + 1));
    if (!entry)
        return nullptr;
    entry->next = static_cast<SketchEntry *>(head);
    entry->cms = nullptr;
    entry->keyLength = ZSTR_LEN(key);
    memcpy(entry->key, ZSTR_VAL(key), ZSTR_LEN(key) + 1);
    if (!__atomic_compare_exchange_n(&kelvoSharedData->cluster_sketches.head, &head, entry, false, __ATOMIC_ACQ_REL,
                                     __ATOMIC_ACQUIRE)) {
        /* Another process pushed meanwhile (perhaps the same key): this object goes without one. */
        kelvoShFree(entry);
        return nullptr;
    }
    __atomic_add_fetch(&kelvoSharedData->cluster_sketches.count, 1, __ATOMIC_RELAXED);
    kelvoCms *cms = kelvoCmsCreate(opts.depth, opts.width);
    __atomic_store_n(&entry->cms, cms, __ATOMIC_RELEASE);
    return cms;
}

int64_t monotonicSeconds()
{
    struct timespec ts;
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return ts.tv_sec;
}

uint64_t monotonicMicros()
{
    struct timespec ts;
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return uint64_t(ts.tv_sec) * 1000000u + uint64_t(ts.tv_nsec) / 1000u;
}

void raiseGeneration()
{
    kelvoAssert(kelvoSharedData != NULL);
    __atomic_add_fetch(&kelvoSharedData->tables.slot_cache_generation, 1, __ATOMIC_RELAXED);
}

} // namespace

uint64_t kelvoGetClusterCacheGeneration()
{
    kelvoAssert(kelvoSharedData != NULL);
    return __atomic_load_n(&kelvoSharedData->tables.slot_cache_generation, __ATOMIC_RELAXED);
}

/* -- the slot cache ------------------------------------------------------------------------------ */

namespace {

struct SlotsCacheNode {
    zend_string *host; /* persistent */
    zend_string *az;   /* persistent, or null */
    zend_long *replicaIdx;
    uint64_t replicas;
    int64_t lastHealthCheck;
    int32_t port;
    uint8_t flags;
};

/* One process's topology of a seed list ("Kelvo cluster slots cache"), persistent memory. */
struct SlotsCache {
    zend_string **names; /* every "host:port" name of a node ... */
    zend_long *nameNode; /* ... and its node index */
    uint64_t nameCount;
    SlotsCacheNode *nodes;
    uint64_t nodeCount;
    int64_t expiry; /* monotonic seconds; 0 never */
    uint64_t generation;
    uint8_t tls;
    zend_long slots[kelvoClusterSlotCount];
};

void slotsCacheFree(SlotsCache *cache)
{
    for (uint64_t i = 0; i < cache->nameCount; i++)
        zend_string_release(cache->names[i]);
    for (uint64_t i = 0; i < cache->nodeCount; i++) {
        SlotsCacheNode &n = cache->nodes[i];
        zend_string_release(n.host);
        if (n.az)
            zend_string_release(n.az);
        if (n.replicaIdx)
            pefree(n.replicaIdx, 1);
    }
    if (cache->names)
        pefree(cache->names, 1);
    if (cache->nameNode)
        pefree(cache->nameNode, 1);
    if (cache->nodes)
        pefree(cache->nodes, 1);
    pefree(cache, 1);
}

void slotsCacheDtor(zend_resource *res)
{
    if (res->ptr)
        slotsCacheFree(static_cast<SlotsCache *>(res->ptr));
    res->ptr = nullptr;
}

SlotsCache *findRecord(zend_string *key)
{
    auto *le = static_cast<zend_resource *>(zend_hash_find_ptr(&EG(persistent_list), key));
    return le && le->type == le_slots_cache ? static_cast<SlotsCache *>(le->ptr) : nullptr;
}

void deleteRecord(zend_string *key) { zend_hash_del(&EG(persistent_list), key); }

/* A finite default: a record never outlives a minute unless the setting says otherwise. */
constexpr int64_t kelvoSlotCacheDefaultExpiry = 60;

int64_t expirySetting()
{
    const char *text = INI_STR(const_cast<char *>("kelvo.cluster.slot_cache_expiry"));
    if (!text || !*text)
        return kelvoSlotCacheDefaultExpiry;
    return ZEND_STRTOL(text, nullptr, 10);
}

void storeRecord(kelvoClusterObject *cobj, zend_string *key)
{
    auto *cache = static_cast<SlotsCache *>(pecalloc(1, sizeof(SlotsCache), 1));
    cache->nodeCount = cobj->nodes;
    cache->nodes =
        static_cast<SlotsCacheNode *>(pecalloc(std::max<uint64_t>(cobj->nodes, 1), sizeof(SlotsCacheNode), 1));
    for (uint64_t i = 0; i < cobj->nodes; i++) {
        const kelvoClusterNode *node = cobj->node[i];
        SlotsCacheNode &n = cache->nodes[i];
        zend_long port;
        zend_string *host = redisInfoEndpointParts(&node->ro.info, &port);
        n.host = zend_string_init(ZSTR_VAL(host), ZSTR_LEN(host), 1);
        zend_string_release(host);
        n.port = int32_t(port);
        n.flags = node->flags & uint8_t(KELVO_NODE_PRIMARY | KELVO_NODE_UNHEALTHY);
        n.lastHealthCheck = node->lastHealthCheck;
        n.replicas = node->replicas;
        if (node->replicas) {
            n.replicaIdx = static_cast<zend_long *>(pemalloc(node->replicas * sizeof(zend_long), 1));
            memcpy(n.replicaIdx, node->replicaIdx, node->replicas * sizeof(zend_long));
        }
    }
    uint32_t names = zend_hash_num_elements(&cobj->endpoints);
    cache->names = static_cast<zend_string **>(pecalloc(std::max<uint32_t>(names, 1), sizeof(zend_string *), 1));
    cache->nameNode = static_cast<zend_long *>(pecalloc(std::max<uint32_t>(names, 1), sizeof(zend_long), 1));
    zend_string *name;
    zval *idx;
    ZEND_HASH_FOREACH_STR_KEY_VAL(&cobj->endpoints, name, idx)
    {
        if (!name)
            continue;
        cache->names[cache->nameCount] = zend_string_init(ZSTR_VAL(name), ZSTR_LEN(name), 1);
        cache->nameNode[cache->nameCount++] = Z_LVAL_P(idx);
    }
    ZEND_HASH_FOREACH_END();
    memcpy(cache->slots, cobj->slots, sizeof cache->slots);
    int64_t expiry = expirySetting();
    cache->expiry = expiry > 0 ? monotonicSeconds() + expiry : 0;
    cache->generation = kelvoGetClusterCacheGeneration();
    cache->tls = cobj->tls;
    deleteRecord(key);
    zend_register_persistent_resource(ZSTR_VAL(key), ZSTR_LEN(key), cache, le_slots_cache);
    if (cobj->slotCacheKey != key) {
        if (cobj->slotCacheKey)
            zend_string_release(cobj->slotCacheKey);
        cobj->slotCacheKey = zend_string_copy(key);
    }
}

/* The object rebuilt from a live record: 0, or -1 (stale records are deleted, the object stays empty). */
int rebuildFromRecord(kelvoClusterObject *cobj, zend_string *key)
{
    SlotsCache *cache = findRecord(key);
    if (!cache)
        return -1;
    if ((cache->expiry && cache->expiry < monotonicSeconds()) ||
        cache->generation != kelvoGetClusterCacheGeneration()) {
        deleteRecord(key);
        return -1;
    }
    cobj->tls = cache->tls;
    for (uint64_t i = 0; i < cache->nodeCount; i++) {
        const SlotsCacheNode &n = cache->nodes[i];
        zend_string *host = zend_string_init(ZSTR_VAL(n.host), ZSTR_LEN(n.host), 0);
        kelvoClusterNode *node = kelvoClusterCreateNode(host, n.port, nullptr, n.flags, cobj);
        zend_string_release(host);
        if (!node) {
            kelvoClusterCleanObject(cobj);
            return -1;
        }
        if (n.replicas) {
            node->replicaIdx = static_cast<zend_long *>(safe_emalloc(n.replicas, sizeof(zend_long), 0));
            memcpy(node->replicaIdx, n.replicaIdx, n.replicas * sizeof(zend_long));
            node->replicas = n.replicas;
        }
        node->lastHealthCheck = n.lastHealthCheck;
        if (n.az)
            strlcpy(node->ro.link.az, ZSTR_VAL(n.az), sizeof node->ro.link.az);
        kelvoClusterAppendNode(cobj, node);
    }
    for (uint64_t i = 0; i < cache->nameCount; i++) {
        zval idx;
        ZVAL_LONG(&idx, cache->nameNode[i]);
        zend_hash_str_add(&cobj->endpoints, ZSTR_VAL(cache->names[i]), ZSTR_LEN(cache->names[i]), &idx);
    }
    memcpy(cobj->slots, cache->slots, sizeof cobj->slots);
    cobj->slotCacheKey = zend_string_copy(key);
    return 0;
}

/* Deletes every record of this process that names one of the object's nodes. */
void dropClusterRecords(kelvoClusterObject *cobj)
{
    std::vector<zend_string *> doomed;
    zend_string *key;
    void *ptr;
    ZEND_HASH_FOREACH_STR_KEY_PTR(&EG(persistent_list), key, ptr)
    {
        auto *le = static_cast<zend_resource *>(ptr);
        if (!key || !le || le->type != le_slots_cache || !le->ptr)
            continue;
        auto *cache = static_cast<SlotsCache *>(le->ptr);
        for (uint64_t i = 0; i < cache->nameCount; i++) {
            if (zend_hash_exists(&cobj->endpoints, cache->names[i])) {
                doomed.push_back(zend_string_copy(key));
                break;
            }
        }
    }
    ZEND_HASH_FOREACH_END();
    for (zend_string *name : doomed) {
        deleteRecord(name);
        zend_string_release(name);
    }
    if (cobj->slotCacheKey) {
        zend_string_release(cobj->slotCacheKey);
        cobj->slotCacheKey = nullptr;
    }
}

} // namespace

void kelvoClusterRegisterSlotCache(int moduleNumber)
{
    le_slots_cache =
        zend_register_list_destructors_ex(nullptr, slotsCacheDtor, "Kelvo cluster slots cache", moduleNumber);
}

bool kelvoClusterClearSlotCache(kelvoClusterObject *cobj)
{
    if (!cobj->slotCacheKey)
        return false;
    bool deleted = findRecord(cobj->slotCacheKey) != nullptr;
    deleteRecord(cobj->slotCacheKey);
    zend_string_release(cobj->slotCacheKey);
    cobj->slotCacheKey = nullptr;
    return deleted;
}

void kelvoClusterSaveZones(kelvoClusterObject *cobj)
{
    if (!cobj->slotCacheKey)
        return;
    SlotsCache *cache = findRecord(cobj->slotCacheKey);
    if (!cache || cache->nodeCount != cobj->nodes)
        return;
    for (uint64_t i = 0; i < cobj->nodes; i++) {
        const kelvoLink &link = cobj->node[i]->ro.link;
        if (!link.hello)
            continue;
        SlotsCacheNode &n = cache->nodes[i];
        size_t len = strnlen(link.az, sizeof link.az);
        if (n.az && zend_string_equals_cstr(n.az, link.az, len))
            continue;
        if (n.az)
            zend_string_release(n.az);
        n.az = zend_string_init(link.az, len, 1);
    }
}

/* -- applying a topology ------------------------------------------------------------------------- */

namespace {

/* Marks every cached entry of `slot` stale in one endpoint (each step in its own read section). */
void dropSlotEntries(kelvoEndpoint *ep, uint32_t slot)
{
    for (rdb *set = __atomic_load_n(&ep->rdbs, __ATOMIC_ACQUIRE); set; set = set->next) {
        for (uint32_t db = 0; db < kelvoCfgVals.databases; db++) {
            kelvoCkRhsIterator it;
            kelvoCkRhsIteratorInit(&it);
            for (bool more = true; more;) {
                kelvoGlobalEpochBegin();
                kelvoCacheEntry *entry;
                more = kelvoCacheNextEntry(set, db, &it, &entry);
                if (more && kelvoClusterHashKey(entry->pair.bytes, entry->pair.length) == slot) {
                    uint64_t hash = kelvoCacheHash(entry->pair.bytes, entry->pair.length);
                    kelvoEndpointTicketRaise(ep, hash);
                    kelvoCacheMarkStaleShared(set, db, entry->pair.bytes, entry->pair.length, hash);
                }
                kelvoGlobalEpochEnd();
            }
        }
    }
}

} // namespace

void kelvoClusterSlotOwnerChanged(kelvoClusterObject *cobj, uint32_t slot, zend_long oldOwner)
{
    raiseGeneration();
    if (oldOwner < 0 || static_cast<uint64_t>(oldOwner) >= cobj->nodes || !kelvoCacheUsable() ||
        kelvoGlobalEpochInit() != 0)
        return;
    kelvoEndpoint *ep = kelvoLinkEndpoint(&cobj->node[oldOwner]->ro.link);
    if (ep)
        dropSlotEntries(ep, slot);
}

int kelvoClusterApplyTopology(kelvoClusterObject *cobj, const kelvoTopology *topo)
{
    std::vector<zend_long> map(topo->count, -1);
    for (uint32_t i = 0; i < topo->count; i++) {
        const kelvoTopoNode &n = topo->nodes[i];
        zend_long idx = -1;
        for (zend_string *name : {n.host, n.ip, n.hostname}) {
            if (!name || idx >= 0)
                continue;
            zend_string *addr = kelvoClusterEndpointStr(ZSTR_VAL(name), ZSTR_LEN(name), n.port);
            idx = kelvoClusterFindEndpoint(cobj, ZSTR_VAL(addr), ZSTR_LEN(addr));
            zend_string_release(addr);
        }
        if (idx < 0) {
            kelvoClusterNode *node = kelvoClusterCreateNode(n.host, n.port, nullptr, n.flags, cobj);
            if (!node)
                return -1;
            node->lastHealthCheck = time(nullptr);
            idx = kelvoClusterAppendNode(cobj, node);
        } else {
            kelvoClusterNode *node = cobj->node[idx];
            node->flags =
                uint8_t((node->flags & (KELVO_NODE_READY | KELVO_NODE_JOINED | KELVO_NODE_WATCHING)) | n.flags);
        }
        for (zend_string *name : {n.host, n.ip, n.hostname})
            if (name)
                kelvoClusterAddEndpoint(cobj, ZSTR_VAL(name), ZSTR_LEN(name), n.port, idx);
        map[i] = idx;
    }
    for (uint64_t i = 0; i < cobj->nodes; i++) {
        kelvoClusterNode *node = cobj->node[i];
        if (node->replicaIdx)
            efree(node->replicaIdx);
        node->replicaIdx = nullptr;
        node->replicas = 0;
    }
    for (uint32_t i = 0; i < topo->count; i++) {
        if (topo->nodes[i].primary < 0)
            continue;
        kelvoClusterNode *primary = cobj->node[map[topo->nodes[i].primary]];
        primary->replicaIdx = static_cast<zend_long *>(
            safe_erealloc(primary->replicaIdx, static_cast<size_t>(primary->replicas + 1), sizeof(zend_long), 0));
        primary->replicaIdx[primary->replicas++] = map[i];
    }
    for (uint32_t s = 0; s < kelvoClusterSlotCount; s++) {
        zend_long owner = topo->slots[s] >= 0 ? map[topo->slots[s]] : -1;
        if (cobj->slots[s] == owner)
            continue;
        if (cobj->slots[s] >= 0)
            kelvoClusterSlotOwnerChanged(cobj, s, cobj->slots[s]);
        cobj->slots[s] = owner;
    }
    return 0;
}

int kelvoClusterReadTopology(kelvoClusterObject *cobj, kelvoClusterNode *node, kelvoTopology *topo)
{
    robj *ro = &node->ro;
    if (kelvoSyncObject(ro, KELVO_LINK_READY, true) != 0)
        return -1;
    bool shards = !ro->link.version[0] || php_version_compare(ro->link.version, "7.0.0") >= 0;
    rrc req{};
    kelvoRespCmdInitCmd(&req, 0, REDIS_CMD_CLUSTER);
    if (shards)
        kelvoRespCmdCatLen(&req, "SHARDS", 6);
    else
        kelvoRespCmdCatLen(&req, "SLOTS", 5);
    kelvoReply *reply = nullptr;
    int rc = kelvoRespCmdSend(&reply, &ro->link, &ro->info, &ro->opts.retry, &req, 1, nullptr, nullptr);
    kelvoRespCmdRelease(&req);
    if (rc == 0) {
        zend_long port;
        zend_string *host = redisInfoEndpointParts(&ro->info, &port);
        rc = shards ? kelvoTopologyFromShards(topo, reply, host, cobj->tls) : kelvoTopologyFromSlots(topo, reply, host);
        zend_string_release(host);
    } else if (ro->link.ctx && ro->link.ctx->err) {
        kelvoLinkFree(&ro->link);
    }
    kelvoReplyFree(reply);
    if (rc == 0 && !kelvoTopologyCovered(topo))
        rc = -1;
    return rc;
}

namespace {

/* Whether node `idx` of the object owns a slot in `topo` (found by its host and port). */
bool ownsSlots(const kelvoClusterObject *cobj, const kelvoTopology *topo, zend_long idx)
{
    if (idx < 0 || uint64_t(idx) >= cobj->nodes)
        return false;
    zend_long port;
    zend_string *host = redisInfoEndpointParts(&cobj->node[idx]->ro.info, &port);
    int64_t mine = -1;
    for (uint32_t i = 0; i < topo->count && mine < 0; i++) {
        const kelvoTopoNode &n = topo->nodes[i];
        if (n.port == port && (zend_string_equals(n.host, host) || (n.ip && zend_string_equals(n.ip, host))))
            mine = i;
    }
    zend_string_release(host);
    return mine >= 0 &&
           std::find(std::begin(topo->slots), std::end(topo->slots), int32_t(mine)) != std::end(topo->slots);
}

} // namespace

/* One refresh every 250 ms at most, so a dead node costs one topology read per period. */
constexpr uint64_t kelvoRefreshIntervalMicros = 250000;

namespace {

/* The last refresh of each seed list in this process: every object of a cluster shares the pace. */
std::unordered_map<std::string, uint64_t> refreshTimes;

/* Whether a refresh may run now; with `wait`, after sleeping out the rest of the period. */
bool refreshDue(const zend_string *seedKey, bool wait)
{
    if (!seedKey)
        return true;
    uint64_t now = monotonicMicros();
    uint64_t &last = refreshTimes[std::string(ZSTR_VAL(seedKey), ZSTR_LEN(seedKey))];
    if (last && now - last < kelvoRefreshIntervalMicros) {
        if (!wait)
            return false;
        usleep(useconds_t(kelvoRefreshIntervalMicros - (now - last)));
        now = monotonicMicros();
    }
    last = now;
    return true;
}

} // namespace

int kelvoClusterRefreshTopology(kelvoClusterObject *cobj, zend_long failedIdx, bool wait)
{
    if (!refreshDue(cobj->seedKey, wait))
        return -1;
    zend_string *key = cobj->seedKey ? zend_string_copy(cobj->seedKey) : nullptr;
    dropClusterRecords(cobj);
    int rc = -1;
    /* Nodes learn a failover one after the other: a view that still gives slots to the node that
     * failed is only taken when no other node has a newer one. Primaries first, then the rest. */
    auto *fallback = static_cast<kelvoTopology *>(emalloc(sizeof(kelvoTopology)));
    kelvoTopologyInit(fallback);
    bool haveFallback = false;
    for (int pass = 0; pass < 2 && rc != 0; pass++) {
        for (uint64_t i = 0; i < cobj->nodes && rc != 0; i++) {
            kelvoClusterNode *node = cobj->node[i];
            if (zend_long(i) == failedIdx || bool(node->flags & KELVO_NODE_PRIMARY) != (pass == 0))
                continue;
            auto *topo = static_cast<kelvoTopology *>(emalloc(sizeof(kelvoTopology)));
            kelvoTopologyInit(topo);
            if (kelvoClusterReadTopology(cobj, node, topo) == 0) {
                if (!ownsSlots(cobj, topo, failedIdx))
                    rc = kelvoClusterApplyTopology(cobj, topo);
                else if (!haveFallback)
                    std::swap(*fallback, *topo), haveFallback = true;
            }
            kelvoTopologyRelease(topo);
            efree(topo);
        }
    }
    if (rc != 0 && haveFallback)
        rc = kelvoClusterApplyTopology(cobj, fallback);
    kelvoTopologyRelease(fallback);
    efree(fallback);
    zend_clear_exception();
    if (rc == 0 && key)
        storeRecord(cobj, key);
    if (key)
        zend_string_release(key);
    return rc;
}

/* -- the constructor ----------------------------------------------------------------------------- */

namespace {

/* The entry of `name` in a query-string map directive, or null (the array is returned in `holder`). */
zval *iniMapEntry(const char *directive, zend_string *name, zval *holder)
{
    ZVAL_UNDEF(holder);
    const char *text = INI_STR(const_cast<char *>(directive));
    if (!text || !*text)
        return nullptr;
    array_init(holder);
    sapi_module.treat_data(PARSE_STRING, estrdup(text), holder);
    return zend_hash_find(Z_ARRVAL_P(holder), name);
}

struct Settings {
    zval seeds; /* an array of seed texts */
    double connectTimeout = 0;
    double readTimeout = 0;
    bool persistent = false;
    zval auth;
};

/* The name's INI settings: -1 with an exception pending. */
int readNamedSettings(zend_string *name, Settings &s)
{
    if (ZSTR_LEN(name) == 0) {
        kelvoThrowException(KELVO_ERR_CONFIG, "Name must be specified when using INI directives");
        return -1;
    }
    zval holder;
    zval *seeds = iniMapEntry("kelvo.cluster.seeds", name, &holder);
    if (!seeds) {
        zval_ptr_dtor(&holder);
        kelvoThrowException(KELVO_ERR_CONFIG,
                            "Failed to load cluster configuration from 'kelvo.cluster.*' INI directives");
        return -1;
    }
    if (Z_TYPE_P(seeds) == IS_ARRAY) {
        ZVAL_COPY(&s.seeds, seeds);
    } else {
        /* name=host:port names one seed. */
        array_init(&s.seeds);
        Z_TRY_ADDREF_P(seeds);
        add_next_index_zval(&s.seeds, seeds);
    }
    zval_ptr_dtor(&holder);
    zval_ptr_dtor(&s.auth);
    ZVAL_UNDEF(&s.auth);
    if (zval *auth = iniMapEntry("kelvo.cluster.auth", name, &holder))
        ZVAL_COPY(&s.auth, auth);
    zval_ptr_dtor(&holder);
    if (zval *timeout = iniMapEntry("kelvo.cluster.timeout", name, &holder))
        s.connectTimeout = zval_get_double(timeout);
    zval_ptr_dtor(&holder);
    if (zval *timeout = iniMapEntry("kelvo.cluster.read_timeout", name, &holder))
        s.readTimeout = zval_get_double(timeout);
    zval_ptr_dtor(&holder);
    return 0;
}

zval *contextEntry(HashTable *context, const char *name)
{
    zval *v = context ? zend_hash_str_find(context, name, strlen(name)) : nullptr;
    if (v)
        ZVAL_DEREF(v);
    return v;
}

/* Context array, credentials, timeouts and the persistent flag onto the template. -1 with an exception. */
int configureTemplate(kelvoClusterObject *cobj, Settings &s, HashTable *context)
{
    robj *tmpl = &cobj->tmpl;
    if (context) {
        if (kelvoSetContextOptions(tmpl, context) != 0 && EG(exception))
            return -1;
        kelvoAdaptiveCacheUpdate(tmpl);
        if (zval *auth = contextEntry(context, "auth")) {
            zval_ptr_dtor(&s.auth);
            ZVAL_COPY(&s.auth, auth);
        }
        if (zval *persistent = contextEntry(context, "persistent"))
            s.persistent = zend_is_true(persistent);
        zval *useCache = contextEntry(context, "use-cache");
        if (useCache && !zend_is_true(useCache))
            tmpl->opts.flags &= kelvoOptionWord(~(kelvoOptUseCache | kelvoOptClientTracking));
        zval *tracking = contextEntry(context, "client-tracking");
        if (tracking && !zend_is_true(tracking))
            tmpl->opts.flags &= kelvoOptionWord(~kelvoOptClientTracking);
        ZVAL_ARR(&cobj->context, zend_array_dup(context));
    }
    if (Z_TYPE(s.auth) != IS_UNDEF && Z_TYPE(s.auth) != IS_NULL) {
        zend_string *user = nullptr, *pass = nullptr;
        if (kelvoGetAuthInfoZVal(&user, &pass, &s.auth) == 0)
            kelvoSetRedisAuthInfo(&tmpl->info, user, pass);
        if (user)
            zend_string_release(user);
        if (pass)
            zend_string_release(pass);
        if (EG(exception))
            return -1;
    }
    tmpl->info.connectTimeout = kelvoDoubleToTimeval(s.connectTimeout);
    tmpl->info.readTimeout = kelvoDoubleToTimeval(s.readTimeout);
    tmpl->info.persistent = s.persistent;
    return 0;
}

struct Seed {
    zend_string *text; /* as the caller wrote it */
    zend_string *host; /* unbracketed */
    zend_long port;
    bool tls;
};

/* A seed text into host, port and scheme; false after the warning. */
bool parseSeed(zend_string *text, Seed *seed)
{
    const char *reason = nullptr;
    const char *sep = strstr(ZSTR_VAL(text), "://");
    size_t schemeLen = sep ? size_t(sep - ZSTR_VAL(text)) : 0;
    bool knownScheme =
        !sep ||
        (schemeLen == 3 && (strncasecmp(ZSTR_VAL(text), "tcp", 3) == 0 || strncasecmp(ZSTR_VAL(text), "tls", 3) == 0));
    zend_string *url = sep ? zend_string_copy(text) : zend_strpprintf(0, "tcp://%s", ZSTR_VAL(text));
    php_url *parsed = knownScheme ? php_url_parse_ex(ZSTR_VAL(url), ZSTR_LEN(url)) : nullptr;
    zend_string_release(url);
    if (!knownScheme) {
        reason = "invalid scheme";
    } else if (!parsed) {
        reason = "malformed seed";
    } else if (!parsed->scheme || (!zend_string_equals_literal_ci(parsed->scheme, "tcp") &&
                                   !zend_string_equals_literal_ci(parsed->scheme, "tls"))) {
        reason = "invalid scheme";
    } else if (!parsed->host || ZSTR_LEN(parsed->host) == 0) {
        reason = "missing host";
    } else if (!parsed->port) {
        reason = "missing port";
    }
    if (reason) {
        php_error_docref(nullptr, E_WARNING, "Malformed seed host '%s' (%s)", ZSTR_VAL(text), reason);
        if (parsed)
            php_url_free(parsed);
        return false;
    }
    const zend_string *host = parsed->host;
    if (ZSTR_LEN(host) >= 2 && ZSTR_VAL(host)[0] == '[' && ZSTR_VAL(host)[ZSTR_LEN(host) - 1] == ']')
        seed->host = zend_string_init(ZSTR_VAL(host) + 1, ZSTR_LEN(host) - 2, 0);
    else
        seed->host = zend_string_copy(parsed->host);
    seed->port = parsed->port;
    seed->tls = zend_string_equals_literal_ci(parsed->scheme, "tls");
    seed->text = zend_string_copy(text);
    php_url_free(parsed);
    return true;
}

/* The name of a seed list's slot cache and sketch: its seeds sorted, one per line. */
zend_string *seedListKey(const std::vector<Seed> &seeds)
{
    std::vector<std::string> texts;
    for (const Seed &seed : seeds)
        texts.emplace_back(ZSTR_VAL(seed.text), ZSTR_LEN(seed.text));
    std::sort(texts.begin(), texts.end());
    std::string key = "kelvo-cluster";
    for (const std::string &t : texts)
        key += "\n" + t;
    return zend_string_init(key.data(), key.size(), 0);
}

/* Discovery through one seed: 0 with the topology applied. */
int discoverFrom(kelvoClusterObject *cobj, const Seed &seed)
{
    cobj->tls = seed.tls;
    kelvoClusterNode *node = kelvoClusterCreateNode(seed.host, seed.port, seed.tls ? "tls" : "tcp", 0, cobj);
    if (!node)
        return -1;
    kelvoTopology topo;
    kelvoTopologyInit(&topo);
    int rc = kelvoClusterReadTopology(cobj, node, &topo);
    kelvoClusterFreeNode(node);
    zend_clear_exception();
    if (rc == 0)
        rc = kelvoClusterApplyTopology(cobj, &topo);
    kelvoTopologyRelease(&topo);
    if (rc != 0)
        kelvoClusterCleanObject(cobj);
    return rc;
}

void bindSketch(kelvoClusterObject *cobj, zend_string *key)
{
    robj *tmpl = &cobj->tmpl;
    if (!tmpl->opts.adaptiveCache.enabled)
        return;
    kelvoCms *cms = sharedSketch(key, tmpl->opts.adaptiveCache);
    tmpl->sketch = cms;
    for (uint64_t i = 0; i < cobj->nodes; i++)
        cobj->node[i]->ro.sketch = cms;
    zval *prop = zend_read_property(kelvo_cluster_ce, &tmpl->std, ZEND_STRL("adaptiveCache"), 1, nullptr);
    if (prop)
        kelvoAdaptiveCacheSetCms(prop, cms);
}

void construct(kelvoClusterObject *cobj, zend_string *name, HashTable *seedArray, Settings &s, HashTable *context)
{
    /* A second __construct starts over. */
    kelvoClusterCleanObject(cobj);
    if (cobj->seedKey) {
        zend_string_release(cobj->seedKey);
        cobj->seedKey = nullptr;
    }
    zval_ptr_dtor(&cobj->context);
    ZVAL_UNDEF(&cobj->context);
    if (name && seedArray)
        php_error_docref(nullptr, E_WARNING, "Both name and seeds provided, will use name");
    if (name) {
        if (readNamedSettings(name, s) != 0)
            return;
    } else if (!seedArray) {
        kelvoThrowException(KELVO_ERR_CONFIG, "Either name or seeds must be specified");
        return;
    } else {
        ZVAL_ARR(&s.seeds, zend_array_dup(seedArray));
    }
    if (configureTemplate(cobj, s, context) != 0)
        return;

    std::vector<Seed> seeds;
    zval *item;
    ZEND_HASH_FOREACH_VAL(Z_ARRVAL(s.seeds), item)
    {
        zend_string *text = zval_get_string(item);
        Seed seed;
        if (parseSeed(text, &seed))
            seeds.push_back(seed);
        zend_string_release(text);
    }
    ZEND_HASH_FOREACH_END();

    int rc = -1;
    if (!seeds.empty()) {
        zend_string *key = seedListKey(seeds);
        rc = rebuildFromRecord(cobj, key);
        if (rc != 0) {
            std::vector<size_t> order(seeds.size());
            for (size_t i = 0; i < order.size(); i++)
                order[i] = i;
            for (size_t i = order.size(); i > 1; i--)
                std::swap(order[i - 1], order[size_t(php_mt_rand_range(0, zend_long(i - 1)))]);
            for (size_t i = 0; i < order.size() && rc != 0; i++)
                rc = discoverFrom(cobj, seeds[order[i]]);
            if (rc == 0)
                storeRecord(cobj, key);
        }
        if (rc == 0)
            bindSketch(cobj, key);
        cobj->seedKey = key;
    }
    for (Seed &seed : seeds) {
        zend_string_release(seed.text);
        zend_string_release(seed.host);
    }
    if (rc != 0 && !EG(exception))
        kelvoThrowException(KELVO_ERR_CONFIG, "Failed to initialize cluster with provided configuration");
}

} // namespace

extern "C" {

ZEND_METHOD(Kelvo_Cluster, __construct)
{
    zend_string *name = nullptr;
    HashTable *seeds = nullptr, *context = nullptr;
    double connectTimeout = 0, readTimeout = 0;
    bool persistent = kelvoCfgVals.default_pconnect != 0;
    zval *auth = nullptr;
    ZEND_PARSE_PARAMETERS_START(1, 7)
    Z_PARAM_STR_OR_NULL(name)
    Z_PARAM_OPTIONAL
    Z_PARAM_ARRAY_HT_OR_NULL(seeds)
    Z_PARAM_DOUBLE(connectTimeout)
    Z_PARAM_DOUBLE(readTimeout)
    Z_PARAM_BOOL(persistent)
    Z_PARAM_ZVAL(auth)
    Z_PARAM_ARRAY_HT_OR_NULL(context)
    ZEND_PARSE_PARAMETERS_END();
    if (!kelvoTimeoutArgumentValid(connectTimeout)) {
        zend_value_error("Invalid connect timeout");
        RETURN_THROWS();
    }
    if (!kelvoTimeoutArgumentValid(readTimeout)) {
        zend_value_error("Invalid command timeout");
        RETURN_THROWS();
    }
    kelvoClusterObject *cobj = kelvoClusterGetObjectZVal(ZEND_THIS);
    Settings s;
    ZVAL_UNDEF(&s.seeds);
    ZVAL_UNDEF(&s.auth);
    if (auth)
        ZVAL_COPY(&s.auth, auth);
    s.connectTimeout = connectTimeout;
    s.readTimeout = readTimeout;
    s.persistent = persistent;
    construct(cobj, name, seeds, s, context);
    zval_ptr_dtor(&s.seeds);
    zval_ptr_dtor(&s.auth);
}

ZEND_METHOD(Kelvo_Cluster, invalidateSlotCaches)
{
    ZEND_PARSE_PARAMETERS_NONE();
    raiseGeneration();
    RETURN_TRUE;
}

} // extern "C"
