/*
 * The cursor scans of Kelvo\Cluster: scan, hscan, sscan, zscan and clusterscan. Their routing
 * callbacks parse the arguments and point the template at the caller's cursor variable; a
 * page comes from one node, and an empty page with a cursor that goes on is followed by the
 * next one in the same call when the scan-retry option asks for it.
 */
#include "cluster/scan.h"
#include "catalog/cmdinfo.h"
#include "client/connection.h"
#include "commands/commands.h"
#include "runtime/exception.h"
#include "runtime/kelvo.h"

#include "cluster/execute.h"

namespace {

/*
 * The pages scan() handed out: a cursor is bound to the node and the connection it came from.
 * Sent to another node, or over a new connection (which may reach a server that reads it
 * otherwise), it would skip keys without a word: such a cursor is refused.
 */
HashTable *bindings(kelvoClusterObject *cobj)
{
    if (!cobj->scanCursors) {
        ALLOC_HASHTABLE(cobj->scanCursors);
        zend_hash_init(cobj->scanCursors, 8, nullptr, ZVAL_PTR_DTOR, 0);
    }
    return cobj->scanCursors;
}

/* False (after an exception) when the cursor came from another node or another connection. */
bool cursorBelongs(kelvoClusterObject *cobj, zend_long cursor, zend_long node, const robj *ro)
{
    if (cursor == 0 || !cobj->scanCursors)
        return true;
    zval *issued = zend_hash_index_find(cobj->scanCursors, static_cast<zend_ulong>(cursor));
    if (!issued)
        return true; /* not one of this object's: nothing to hold it to */
    zval *serial = zend_hash_index_find(Z_ARRVAL_P(issued), static_cast<zend_ulong>(node));
    if (!serial) {
        kelvoThrowException(KELVO_ERR_OTHER, "SCAN iterator belongs to another node");
        return false;
    }
    if (static_cast<uint64_t>(Z_LVAL_P(serial)) != ro->link.serial) {
        kelvoThrowException(KELVO_ERR_OTHER, "SCAN iterator outlived its node's connection");
        return false;
    }
    return true;
}

void forgetCursor(kelvoClusterObject *cobj, zend_long cursor, zend_long node)
{
    if (cursor == 0 || !cobj->scanCursors)
        return;
    zval *issued = zend_hash_index_find(cobj->scanCursors, static_cast<zend_ulong>(cursor));
    if (!issued)
        return;
    zend_hash_index_del(Z_ARRVAL_P(issued), static_cast<zend_ulong>(node));
    if (zend_hash_num_elements(Z_ARRVAL_P(issued)) == 0)
        zend_hash_index_del(cobj->scanCursors, static_cast<zend_ulong>(cursor));
}

void bindCursor(kelvoClusterObject *cobj, zend_long cursor, zend_long node, const robj *ro)
{
    if (cursor == 0)
        return;
    HashTable *all = bindings(cobj);
    zval *issued = zend_hash_index_find(all, static_cast<zend_ulong>(cursor));
    if (!issued) {
        zval fresh;
        array_init(&fresh);
        issued = zend_hash_index_update(all, static_cast<zend_ulong>(cursor), &fresh);
    }
    zval serial;
    ZVAL_LONG(&serial, static_cast<zend_long>(ro->link.serial));
    zend_hash_index_update(Z_ARRVAL_P(issued), static_cast<zend_ulong>(node), &serial);
}

/* SCAN on the node its caller named; a cursor other than 0 goes out once, never again after a reconnect. */
int scanOnNode(zval *return_value, const kelvoCommandInfo *row, kelvoQuerySet *rqs, rrc *req, zend_long node,
               kelvoClusterObject *cobj)
{
    robj *tmpl = &cobj->tmpl;
    robj *ro = &cobj->node[node]->ro;
    if (kelvoSyncObject(ro, KELVO_LINK_READY, false) != 0 || kelvoPollIdleLink(ro) != 0)
        return -1;
    zend_long cursor = Z_LVAL_P(tmpl->it);
    if (!cursorBelongs(cobj, cursor, node, ro))
        return -1;
    int32_t retries = ro->opts.retry.maxRetries;
    if (cursor != 0)
        ro->opts.retry.maxRetries = 0;
    uint64_t serial = ro->link.serial;
    ro->it = tmpl->it;
    int rc = kelvoProcessResponse(return_value, ro, row, rqs, req);
    ro->it = nullptr;
    ro->opts.retry.maxRetries = retries;
    tmpl->link.lastUse = kelvoNowMicros();
    if (rc != 0) {
        if (ro->lastError)
            kelvoSetLastError(&tmpl->lastError, ZSTR_VAL(ro->lastError), ZSTR_LEN(ro->lastError));
        return -1;
    }
    forgetCursor(cobj, cursor, node);
    if (ro->link.serial != serial) {
        /* The page came over a connection made during the call: its cursor would be refused next. */
        kelvoThrowException(KELVO_ERR_OTHER, "SCAN iterator outlived its node's connection");
        return -1;
    }
    if (Z_TYPE_P(tmpl->it) == IS_LONG)
        bindCursor(cobj, Z_LVAL_P(tmpl->it), node, ro);
    return 0;
}

/* One page: 0 with the page (or whatever the reply gave) in `return_value`, -1 with false. */
int onePage(zend_execute_data *execute_data, zval *return_value, int cmd, kelvoClusterObject *cobj)
{
    const kelvoCommandInfo *row = kelvoGetCommandRCmd(cmd);
    const kelvoClusterCommandEntry *route = kelvoGetClusterCommandRCmd(cmd);
    rrc req{};
    kelvoQuerySet rqs{};
    kelvoQuerySetClear(&rqs);
    kelvoRespCmdInitCmd(&req, KELVO_CLUSTER_ROUTABLE, cmd);
    zend_long node = -1;
    int rc = -1;
    if (route->callback(execute_data, return_value, &req, &node, cobj) == 0 && !EG(exception)) {
        if (node < 0)
            kelvoThrowException(KELVO_ERR_REDIS, "Slot is not covered by any node");
        else if (cmd == REDIS_CMD_SCAN)
            rc = scanOnNode(return_value, row, &rqs, &req, node, cobj);
        else
            /* A key's scan and CLUSTERSCAN name a slot: they follow the cluster's redirections. */
            rc = kelvoClusterProcessCommand(return_value, &rqs, &req, row, route, node, cobj);
    }
    kelvoQuerySetRelease(&rqs, rc == 0 ? KELVO_RQS_OUTCOME_MISS : KELVO_RQS_OUTCOME_ERROR);
    kelvoRespCmdRelease(&req);
    if (rc != 0) {
        zval_ptr_dtor(return_value);
        ZVAL_FALSE(return_value);
    }
    return rc;
}

bool scanGoesOn(const zval *page, const zval *cursor, const robj *tmpl)
{
    if (Z_TYPE_P(page) != IS_ARRAY || zend_hash_num_elements(Z_ARRVAL_P(page)) != 0 || !cursor ||
        !(tmpl->opts.scan & kelvoScanRetry))
        return false;
    if (Z_TYPE_P(cursor) == IS_LONG)
        return Z_LVAL_P(cursor) != 0;
    return Z_TYPE_P(cursor) == IS_STRING && !zend_string_equals_literal(Z_STR_P(cursor), "0");
}

} // namespace

void kelvoClusterScanCommand(zend_execute_data *execute_data, zval *return_value, int cmd)
{
    kelvoClusterObject *cobj = kelvoClusterGetObjectZVal(ZEND_THIS);
    robj *tmpl = &cobj->tmpl;
    while (onePage(execute_data, return_value, cmd, cobj) == 0 && scanGoesOn(return_value, tmpl->it, tmpl)) {
        zval_ptr_dtor(return_value);
        ZVAL_UNDEF(return_value);
    }
    tmpl->it = nullptr;
}
