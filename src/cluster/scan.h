/*
 * The cursor scans of Kelvo\Cluster (scan, hscan, sscan, zscan, clusterscan): one page per call
 * from the node their routing callback names, more while pages come back empty under the
 * scan-retry option. Engine side, one request.
 */
#ifndef KELVO_CLUSTER_SCAN_H
#define KELVO_CLUSTER_SCAN_H

#include "cluster/cluster.h"

/* Runs one scan method; false on failure or once the caller's cursor says the scan has ended. */
void kelvoClusterScanCommand(zend_execute_data *execute_data, zval *return_value, int cmd);

#endif
