/* Routing callbacks: not built yet; each refuses, so the method returns false. */
#include "cluster/routing_callbacks.h"

int kelvoClusterAclCmd(zend_execute_data *, zval *, rrc *, zend_long *, kelvoClusterObject *) { return -1; }
int kelvoClusterBgSaveCmd(zend_execute_data *, zval *, rrc *, zend_long *, kelvoClusterObject *) { return -1; }
int kelvoClusterClientCmd(zend_execute_data *, zval *, rrc *, zend_long *, kelvoClusterObject *) { return -1; }
int kelvoClusterClusterCmd(zend_execute_data *, zval *, rrc *, zend_long *, kelvoClusterObject *) { return -1; }
int kelvoClusterClusterscanCmd(zend_execute_data *, zval *, rrc *, zend_long *, kelvoClusterObject *) { return -1; }
int kelvoClusterCommandCmd(zend_execute_data *, zval *, rrc *, zend_long *, kelvoClusterObject *) { return -1; }
int kelvoClusterConfigCmd(zend_execute_data *, zval *, rrc *, zend_long *, kelvoClusterObject *) { return -1; }
int kelvoClusterDirectedCmd(zend_execute_data *, zval *, rrc *, zend_long *, kelvoClusterObject *) { return -1; }
int kelvoClusterDirectedVarvalCmd(zend_execute_data *, zval *, rrc *, zend_long *, kelvoClusterObject *) { return -1; }
int kelvoClusterEchoCmd(zend_execute_data *, zval *, rrc *, zend_long *, kelvoClusterObject *) { return -1; }
int kelvoClusterFlushCmd(zend_execute_data *, zval *, rrc *, zend_long *, kelvoClusterObject *) { return -1; }
int kelvoClusterKeyScanCmd(zend_execute_data *, zval *, rrc *, zend_long *, kelvoClusterObject *) { return -1; }
int kelvoClusterObjectCmd(zend_execute_data *, zval *, rrc *, zend_long *, kelvoClusterObject *) { return -1; }
int kelvoClusterPingCmd(zend_execute_data *, zval *, rrc *, zend_long *, kelvoClusterObject *) { return -1; }
int kelvoClusterPubSubCmd(zend_execute_data *, zval *, rrc *, zend_long *, kelvoClusterObject *) { return -1; }
int kelvoClusterScanCmd(zend_execute_data *, zval *, rrc *, zend_long *, kelvoClusterObject *) { return -1; }
int kelvoClusterScriptCmd(zend_execute_data *, zval *, rrc *, zend_long *, kelvoClusterObject *) { return -1; }
int kelvoClusterSlowLogCmd(zend_execute_data *, zval *, rrc *, zend_long *, kelvoClusterObject *) { return -1; }
int kelvoClusterWaitAOFCmd(zend_execute_data *, zval *, rrc *, zend_long *, kelvoClusterObject *) { return -1; }
int kelvoClusterWaitCmd(zend_execute_data *, zval *, rrc *, zend_long *, kelvoClusterObject *) { return -1; }
