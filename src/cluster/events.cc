/*
 * Kelvo\Cluster's event methods (listen, onFlushed, onInvalidated, dispatchEvents): the
 * listeners live on the nodes, registered under the cluster object that owns them, and hear
 * the invalidations and flushes of the server each node's link talks to.
 */
#include "cluster/cluster.h"
#include "client/connection.h"
#include "client/listeners.h"
#include "runtime/exception.h"
#include "shm/shared.h"

#include <vector>

namespace {

bool requireSharedCache()
{
    if (kelvoCacheUsable())
        return true;
    php_error_docref(nullptr, E_WARNING, "Method requires Kelvo's in-memory cache be enabled");
    return false;
}

bool isPrimary(const kelvoClusterNode *node) { return (node->flags & KELVO_NODE_PRIMARY) != 0; }

/*
 * Readies every node's link: the nodes that will hear events. A replica that cannot be reached
 * is left out quietly (its primary still hears its keys); a primary that cannot be reached
 * throws `message` on top of the link's error. False then, and nothing was changed.
 */
bool readyNodes(kelvoClusterObject *cobj, std::vector<kelvoClusterNode *> &ready, const char *message)
{
    for (uint64_t i = 0; i < cobj->nodes; i++) {
        kelvoClusterNode *node = cobj->node[i];
        bool primary = isPrimary(node);
        if (kelvoSyncObject(&node->ro, KELVO_LINK_READY, !primary) == 0) {
            ready.push_back(node);
            continue;
        }
        if (primary) {
            kelvoThrowException(KELVO_ERR_OTHER, message);
            return false;
        }
    }
    return true;
}

void updateListeners(INTERNAL_FUNCTION_PARAMETERS, uint32_t mask, zend_string *pattern, zend_fcall_info *fci,
                     zend_fcall_info_cache *fcc)
{
    kelvoClusterObject *cobj = kelvoClusterGetObjectZVal(ZEND_THIS);
    std::vector<kelvoClusterNode *> nodes;
    if (!readyNodes(cobj, nodes, "Must be connected to listen for invalidations"))
        RETURN_THROWS();
    zend_object *owner = &cobj->tmpl.std;
    size_t done = 0;
    for (; done < nodes.size(); done++)
        if (kelvoListenerUpdateOwned(&nodes[done]->ro, owner, mask, pattern, fci, fcc) != 0)
            break;
    if (done == nodes.size())
        RETURN_TRUE;
    /* All nodes or none: the ones that took the listener give it up again. */
    if (ZEND_FCI_INITIALIZED(*fci)) {
        zend_fcall_info none = empty_fcall_info;
        zend_fcall_info_cache noCache = empty_fcall_info_cache;
        for (size_t i = 0; i < done; i++)
            kelvoListenerUpdateOwned(&nodes[i]->ro, owner, mask, pattern, &none, &noCache);
    }
    RETURN_FALSE;
}

} // namespace

extern "C" {

ZEND_METHOD(Kelvo_Cluster, listen)
{
    if (!requireSharedCache())
        RETURN_FALSE;
    zend_fcall_info fci = empty_fcall_info;
    zend_fcall_info_cache fcc = empty_fcall_info_cache;
    ZEND_PARSE_PARAMETERS_START(1, 1)
    Z_PARAM_FUNC_OR_NULL(fci, fcc)
    ZEND_PARSE_PARAMETERS_END();
    updateListeners(INTERNAL_FUNCTION_PARAM_PASSTHRU, kelvoListenInvalidated | kelvoListenFlushed, nullptr, &fci, &fcc);
}

ZEND_METHOD(Kelvo_Cluster, onFlushed)
{
    zend_fcall_info fci = empty_fcall_info;
    zend_fcall_info_cache fcc = empty_fcall_info_cache;
    ZEND_PARSE_PARAMETERS_START(1, 1)
    Z_PARAM_FUNC_OR_NULL(fci, fcc)
    ZEND_PARSE_PARAMETERS_END();
    if (!requireSharedCache())
        RETURN_FALSE;
    updateListeners(INTERNAL_FUNCTION_PARAM_PASSTHRU, kelvoListenFlushed, nullptr, &fci, &fcc);
}

ZEND_METHOD(Kelvo_Cluster, onInvalidated)
{
    zend_fcall_info fci = empty_fcall_info;
    zend_fcall_info_cache fcc = empty_fcall_info_cache;
    zend_string *pattern = nullptr;
    ZEND_PARSE_PARAMETERS_START(1, 2)
    Z_PARAM_FUNC_OR_NULL(fci, fcc)
    Z_PARAM_OPTIONAL
    Z_PARAM_STR_OR_NULL(pattern)
    ZEND_PARSE_PARAMETERS_END();
    if (pattern && ZSTR_LEN(pattern) == 0) {
        php_error_docref(nullptr, E_WARNING, "Invalid argument supplied for pattern ({KELVO_ERR_CONFIG})");
        RETURN_FALSE;
    }
    updateListeners(INTERNAL_FUNCTION_PARAM_PASSTHRU, kelvoListenInvalidated, pattern, &fci, &fcc);
}

ZEND_METHOD(Kelvo_Cluster, dispatchEvents)
{
    ZEND_PARSE_PARAMETERS_NONE();
    if (!requireSharedCache())
        RETURN_FALSE;
    kelvoClusterObject *cobj = kelvoClusterGetObjectZVal(ZEND_THIS);
    /* Readying a link drains what its server pushed into this process's queue. */
    std::vector<kelvoClusterNode *> nodes;
    if (!readyNodes(cobj, nodes, "Must be connected to dispatch invalidation callbacks"))
        RETURN_THROWS();
    int count = kelvoInvalidationsDispatch();
    if (count < 0) {
        kelvoThrowException(KELVO_ERR_OTHER, "Error invoking invalidation callback(s)");
        RETURN_THROWS();
    }
    RETURN_LONG(count);
}

} // extern "C"
