/* The cluster object's life: its engine handlers, its nodes and the names that lead to them. */
#include "cluster/cluster.h"
#include "cluster/topology.h"
#include "client/adaptive.h"
#include "client/connection.h"
#include "client/guard.h"
#include "runtime/cfgvals.h"
#include "runtime/fatal.h"
#include "runtime/kelvo.h"

#include <cmath>
#include <cstring>

namespace {

zend_object_handlers clusterHandlers;

void releaseString(zend_string **slot)
{
    if (*slot) {
        zend_string_release(*slot);
        *slot = nullptr;
    }
}

/* A node starts with the template's options as they are now; strings and arrays are shared by reference. */
void copyOptions(kelvoOptions *to, const kelvoOptions *from)
{
    *to = *from;
    if (to->prefix)
        zend_string_addref(to->prefix);
    if (to->availabilityZone)
        zend_string_addref(to->availabilityZone);
    ZVAL_COPY(&to->allowPatterns, &from->allowPatterns);
    ZVAL_COPY(&to->ignorePatterns, &from->ignorePatterns);
}

/* "tcp://host", with an IPv6 address in brackets. */
zend_string *nodeUrl(const char *scheme, const zend_string *host)
{
    bool v6 = memchr(ZSTR_VAL(host), ':', ZSTR_LEN(host)) != nullptr && ZSTR_VAL(host)[0] != '[';
    return zend_strpprintf(0, v6 ? "%s://[%s]" : "%s://%s", scheme, ZSTR_VAL(host));
}

void freeNodeRecord(kelvoClusterNode *node)
{
    if (node->replicaIdx)
        efree(node->replicaIdx);
    kelvoReleaseRObj(&node->ro);
    efree(node);
}

} // namespace

kelvoClusterObject *kelvoClusterGetObjectZObj(zend_object *object)
{
    kelvoAssert(object != NULL);
    return reinterpret_cast<kelvoClusterObject *>(reinterpret_cast<char *>(object) -
                                                  (offsetof(kelvoClusterObject, tmpl) + offsetof(robj, std)));
}

kelvoClusterObject *kelvoClusterGetObjectZVal(zval *value)
{
    kelvoAssert(value != NULL);
    return kelvoClusterGetObjectZObj(Z_OBJ_P(value));
}

zend_string *kelvoClusterEndpointStr(const char *host, size_t hostLen, zend_long port)
{
    if (port <= 0)
        return zend_string_init(host, hostLen, 0);
    return zend_strpprintf(0, "%.*s:" ZEND_LONG_FMT, static_cast<int>(hostLen), host, port);
}

zend_long kelvoClusterFindEndpoint(const kelvoClusterObject *cobj, const char *addr, size_t len)
{
    zval *idx = zend_hash_str_find(&cobj->endpoints, addr, len);
    return idx ? Z_LVAL_P(idx) : -1;
}

void kelvoClusterAddEndpoint(kelvoClusterObject *cobj, const char *host, size_t hostLen, zend_long port, zend_long idx)
{
    if (hostLen == 0)
        return;
    zend_string *name = kelvoClusterEndpointStr(host, hostLen, port);
    zval value;
    ZVAL_LONG(&value, idx);
    zend_hash_add(&cobj->endpoints, name, &value);
    zend_string_release(name);
}

zend_string *redisInfoEndpointParts(const redisInfo *info, zend_long *port)
{
    if (info->type == REDIS_CONN_TCP) {
        *port = info->port;
    } else if (info->type == REDIS_CONN_UNIX) {
        *port = -1;
    } else {
        kelvoPanic("Invalid cluster endpoint type (%d)", info->type);
    }
    return zend_string_copy(info->host);
}

bool kelvoClusterNodeIsLivePrimary(const kelvoClusterObject *cobj, zend_long idx)
{
    if (idx < 0 || static_cast<uint64_t>(idx) >= cobj->nodes)
        return false;
    const kelvoClusterNode *node = cobj->node[idx];
    if (!(node->flags & KELVO_NODE_PRIMARY) || (node->flags & KELVO_NODE_UNHEALTHY))
        return false;
    for (zend_long owner : cobj->slots)
        if (owner == idx)
            return true;
    return false;
}

kelvoClusterNode *kelvoClusterCreateNode(zend_string *host, zend_long port, const char *scheme, uint8_t flags,
                                         kelvoClusterObject *cobj)
{
    auto *node = static_cast<kelvoClusterNode *>(ecalloc(1, sizeof(kelvoClusterNode)));
    robj *ro = &node->ro;
    kelvoInitRObj(ro);
    const robj *tmpl = &cobj->tmpl;
    zval_ptr_dtor(&ro->opts.allowPatterns);
    zval_ptr_dtor(&ro->opts.ignorePatterns);
    copyOptions(&ro->opts, &tmpl->opts);
    ro->sketch = tmpl->sketch;

    zend_string *url = nodeUrl(scheme ? scheme : (cobj->tls ? "tls" : "tcp"), host);
    php_url *parsed = nullptr;
    const char *error = nullptr;
    HashTable *context = Z_TYPE(cobj->context) == IS_ARRAY ? Z_ARRVAL(cobj->context) : nullptr;
    int rc = kelvoInitRedisInfo(&ro->info, tmpl->info.persistent, ro->opts.flags, url, port, &parsed, context, &error);
    zend_string_release(url);
    if (parsed)
        php_url_free(parsed);
    if (rc != 0 || ro->info.type != REDIS_CONN_TCP) {
        freeNodeRecord(node);
        return nullptr;
    }
    kelvoSetRedisAuthInfo(&ro->info, tmpl->info.user, tmpl->info.pass);
    ro->info.connectTimeout = tmpl->info.connectTimeout;
    ro->info.readTimeout = tmpl->info.readTimeout;
    /* A node that joins later works in the database the cluster has selected. */
    ro->info.db = tmpl->link.db;
    kelvoUpdateLinkKey(ro);
    node->flags |= flags;
    return node;
}

zend_long kelvoClusterAppendNode(kelvoClusterObject *cobj, kelvoClusterNode *node)
{
    cobj->node = static_cast<kelvoClusterNode **>(
        safe_erealloc(cobj->node, static_cast<size_t>(cobj->nodes + 1), sizeof(kelvoClusterNode *), 0));
    cobj->node[cobj->nodes] = node;
    return static_cast<zend_long>(cobj->nodes++);
}

void kelvoClusterFreeNode(kelvoClusterNode *node)
{
    if (node)
        freeNodeRecord(node);
}

void kelvoClusterCleanObject(kelvoClusterObject *cobj)
{
    for (zend_long &owner : cobj->slots)
        owner = -1;
    zend_hash_clean(&cobj->endpoints);
    for (uint64_t i = 0; i < cobj->nodes; i++)
        freeNodeRecord(cobj->node[i]);
    if (cobj->node)
        efree(cobj->node);
    cobj->node = nullptr;
    cobj->nodes = 0;
    releaseString(&cobj->slotCacheKey);
}

namespace {

void freeObject(zend_object *object)
{
    kelvoClusterObject *cobj = kelvoClusterGetObjectZObj(object);
    kelvoClusterCleanObject(cobj);
    zend_hash_destroy(&cobj->endpoints);
    zval_ptr_dtor(&cobj->context);
    ZVAL_UNDEF(&cobj->context);
    releaseString(&cobj->seedKey);
    if (cobj->scanCursors) {
        zend_hash_destroy(cobj->scanCursors);
        FREE_HASHTABLE(cobj->scanCursors);
    }
    /* The template reads its properties while it is released: before the engine drops them. */
    kelvoReleaseRObj(&cobj->tmpl);
    zend_object_std_dtor(object);
}

void dtorObject(zend_object *object)
{
    kelvoClusterSaveZones(kelvoClusterGetObjectZObj(object));
    zend_objects_destroy_object(object);
}

} // namespace

zend_object *kelvoClusterCreateObject(zend_class_entry *ce)
{
    auto *cobj = static_cast<kelvoClusterObject *>(zend_object_alloc(sizeof(kelvoClusterObject), ce));
    memset(cobj, 0, offsetof(kelvoClusterObject, tmpl));
    ZVAL_UNDEF(&cobj->context);
    zend_hash_init(&cobj->endpoints, 8, nullptr, nullptr, 0);
    for (zend_long &owner : cobj->slots)
        owner = -1;
    kelvoInitRObj(&cobj->tmpl);
    zend_object_std_init(&cobj->tmpl.std, ce);
    object_properties_init(&cobj->tmpl.std, ce);
    cobj->tmpl.std.handlers = &clusterHandlers;
    {
        KelvoPropertiesUnlocked unlocked;
        kelvoAdaptiveCacheAttachObject(&cobj->tmpl);
    }
    return &cobj->tmpl.std;
}

void kelvoClusterRegisterObjectHandlers()
{
    memcpy(&clusterHandlers, zend_get_std_object_handlers(), sizeof clusterHandlers);
    clusterHandlers.offset = static_cast<int>(offsetof(kelvoClusterObject, tmpl) + offsetof(robj, std));
    clusterHandlers.free_obj = freeObject;
    clusterHandlers.dtor_obj = dtorObject;
    /* Nodes and links cannot be shared by two objects. */
    clusterHandlers.clone_obj = nullptr;
    clusterHandlers.read_property = kelvoSafeReadProperty;
    clusterHandlers.write_property = kelvoSafeWriteProperty;
    clusterHandlers.unset_property = kelvoSafeUnsetProperty;
    clusterHandlers.get_property_ptr_ptr = kelvoSafeGetPropertyPtrPtr;
    kelvo_cluster_ce->create_object = kelvoClusterCreateObject;
}
