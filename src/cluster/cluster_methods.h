/*
 * The method table of Kelvo\Cluster as tools/gen-client-stub.php writes it from
 * tools/cluster_methods.tsv: the attributes that module start-up adds to its methods.
 */
#ifndef KELVO_CLUSTER_METHODS_H
#define KELVO_CLUSTER_METHODS_H

#include "client/client.h"

extern const kelvoMethodAttributes kelvoClusterMethodAttributes[];
extern const size_t kelvoClusterMethodAttributeCount;

#endif
