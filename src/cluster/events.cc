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
    if (!kelvoRequireSharedCache())
        RETURN_FALSE;
    kelvoListenerArgs args;
    if (kelvoListenerReadArgs(execute_data, false, &args) < 0)
        RETURN_THROWS();
    updateListeners(INTERNAL_FUNCTION_PARAM_PASSTHRU, kelvoListenInvalidated | kelvoListenFlushed, nullptr, &args.fci,
                    &args.fcc);
}

ZEND_METHOD(Kelvo_Cluster, onFlushed)
{
    kelvoListenerArgs args;
    if (kelvoListenerReadArgs(execute_data, false, &args) < 0)
        RETURN_THROWS();
    if (!kelvoRequireSharedCache())
        RETURN_FALSE;
    updateListeners(INTERNAL_FUNCTION_PARAM_PASSTHRU, kelvoListenFlushed, nullptr, &args.fci, &args.fcc);
}

ZEND_METHOD(Kelvo_Cluster, onInvalidated)
{
    kelvoListenerArgs args;
    if (int read = kelvoListenerReadArgs(execute_data, true, &args); read <= 0) {
        if (read < 0)
            RETURN_THROWS();
        RETURN_FALSE;
    }
    updateListeners(INTERNAL_FUNCTION_PARAM_PASSTHRU, kelvoListenInvalidated, args.pattern, &args.fci, &args.fcc);
}

ZEND_METHOD(Kelvo_Cluster, dispatchEvents)
{
    ZEND_PARSE_PARAMETERS_NONE();
    if (!kelvoRequireSharedCache())
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
