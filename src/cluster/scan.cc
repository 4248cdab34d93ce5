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

#include "cluster/execute.h"

namespace {

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
        if (node < 0) {
            kelvoThrowException(KELVO_ERR_REDIS, "Slot is not covered by any node");
        } else if (cmd == REDIS_CMD_CLUSTERSCAN) {
            /* Its cursor names a slot: it follows the cluster's redirections. */
            rc = kelvoClusterProcessCommand(return_value, &rqs, &req, row, route, node, cobj);
        } else {
            robj *ro = &cobj->node[node]->ro;
            if (kelvoSyncObject(ro, KELVO_LINK_READY, false) == 0) {
                ro->it = cobj->tmpl.it;
                rc = kelvoProcessResponse(return_value, ro, row, &rqs, &req);
                ro->it = nullptr;
            }
        }
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
