/*
 * The state behind every Kelvo\Cluster object: the 16384 hash slots, the nodes that serve
 * them, the template client record that requests are built on, and the routing table that
 * says how each command is routed.
 *
 * A node is a complete client record (`robj`) without an engine object: it has its own link,
 * connection information, options and mode word, and it is synchronised, sent on and converted
 * through the same client routines as a Kelvo\Kelvo object.
 *
 * Owns: the nodes, their replica arrays and the endpoint hash, all in request memory; a node's
 * link may go back to the persistent pool. One process, one request thread: no locks here; the
 * slot-cache generation and the shared sketches live in the arena (topology.h).
 */
#ifndef KELVO_CLUSTER_H
#define KELVO_CLUSTER_H

#include "client/object.h"
#include "wire/command.h"

#include <cstddef>
#include <cstdint>

constexpr uint32_t kelvoClusterSlotCount = 16384;

/* Flags of a routing row; they become the low bits of the request's flag byte. */
enum kelvoClusterCommandFlags : uint32_t {
    KELVO_CLUSTER_ROUTABLE = 0x08, /* offered by the cluster client */
    KELVO_CLUSTER_SPLIT = 0x10,    /* split into one sub-command per slot */
    KELVO_CLUSTER_READONLY = 0x20, /* may be served by a replica and may fail over */
};

/* kelvoClusterNode::flags */
constexpr uint8_t KELVO_NODE_PRIMARY = 0x1;
constexpr uint8_t KELVO_NODE_READY = 0x2;     /* replica: ROLE accepted and READONLY sent on its current link */
constexpr uint8_t KELVO_NODE_UNHEALTHY = 0x4; /* replica skipped until its health is asked again */
constexpr uint8_t KELVO_NODE_JOINED = 0x8;    /* entered the open cluster transaction (its MULTI may since be lost) */
constexpr uint8_t KELVO_NODE_WATCHING = 0x10; /* holds keys watched through the cluster (the watch may since be lost) */

struct kelvoClusterNode {
    robj ro;                 /* the node's client state; never a PHP object */
    zend_long *replicaIdx;   /* a primary's replicas, as node indexes; null on a replica */
    uint64_t replicas;       /* entries of replicaIdx */
    uint8_t flags;           /* KELVO_NODE_* */
    int64_t lastHealthCheck; /* seconds since the epoch */
};

struct kelvoClusterObject {
    zval context;                           /* the constructor's context array (copied), or undefined */
    HashTable endpoints;                    /* "host:port" -> node index (several names may lead to one node) */
    int32_t distribute;                     /* OPT_DISTRIBUTE */
    int32_t failover;                       /* OPT_FAILOVER */
    kelvoClusterNode **node;                /* request memory; only appended to while the object lives */
    uint64_t nodes;                         /* entries of node */
    zend_long slots[kelvoClusterSlotCount]; /* node index serving each slot; -1: none */
    zend_string *slotCacheKey;              /* names this process's slot-cache record of the object, or null */
    zend_string *seedKey;   /* the sorted seed list: names the slot cache, the sketch, the refresh pace */
    uint8_t tls;            /* the seeds' scheme: every node is reached over TLS */
    uint8_t multiFailed;    /* a command of the open transaction failed: it was discarded */
    HashTable *scanCursors; /* cursor -> [node index -> link serial]: the pages scan() handed out */
    robj tmpl;              /* never connected: options, credentials, mode, queue, last error */
};

/* The object a method was called on, or behind an engine object (fatal on null). */
kelvoClusterObject *kelvoClusterGetObjectZVal(zval *value);
kelvoClusterObject *kelvoClusterGetObjectZObj(zend_object *object);

/*
 * A routing callback: parses the method's PHP arguments, appends them to `req` after the
 * command name and chooses the node. 0, or -1 after an engine parameter error or an E_WARNING
 * (nothing is sent, the method returns false).
 */
using kelvoClusterCallback = int (*)(zend_execute_data *execute_data, zval *return_value, rrc *req, zend_long *node,
                                     kelvoClusterObject *cobj);

struct kelvoClusterCommandEntry {
    kelvoClusterCallback callback; /* null for commands routed by the slot of their first argument */
    int32_t cmd;                   /* the row's own id; a row in use holds its index */
    uint32_t flags;                /* kelvoClusterCommandFlags; 0: not offered by the cluster client */
};

/* Indexed by command id (generated from the catalogue). */
extern const kelvoClusterCommandEntry kelvoClusterCommandTable[];
/* The row rawCommand uses for a name without an id: no callback, cmd -1, ROUTABLE. */
extern const kelvoClusterCommandEntry kelvoClusterUnknownCmd;
/* The row of an id; fatal when the id is out of range or the row holds another id. */
const kelvoClusterCommandEntry *kelvoGetClusterCommandRCmd(int cmd);

/* "host:port"; a port of 0 or less gives the host alone. */
zend_string *kelvoClusterEndpointStr(const char *host, size_t hostLen, zend_long port);
/* The node a "host:port" text names, or -1. */
zend_long kelvoClusterFindEndpoint(const kelvoClusterObject *cobj, const char *addr, size_t len);
/* Names node `idx` by "host:port" too (a name already taken keeps its node). */
void kelvoClusterAddEndpoint(kelvoClusterObject *cobj, const char *host, size_t hostLen, zend_long port, zend_long idx);
/* The host of a node's connection information (the socket path, port -1, for a Unix socket), with one more reference. */
zend_string *redisInfoEndpointParts(const redisInfo *info, zend_long *port);
/* True for a primary that may take node-wide work: it owns a slot and its link has not failed. */
bool kelvoClusterNodeIsLivePrimary(const kelvoClusterObject *cobj, zend_long idx);

/*
 * A new node for host and port with a copy of the template's current options, credentials,
 * timeouts and database, or null when its connection information cannot be built. `scheme`
 * null means tcp. Not yet part of the object: kelvoClusterAppendNode adds it.
 */
kelvoClusterNode *kelvoClusterCreateNode(zend_string *host, zend_long port, const char *scheme, uint8_t flags,
                                         kelvoClusterObject *cobj);
/* Appends a node; its index. */
zend_long kelvoClusterAppendNode(kelvoClusterObject *cobj, kelvoClusterNode *node);
/* Releases and frees one node that is not (or no longer) part of an object. */
void kelvoClusterFreeNode(kelvoClusterNode *node);
/* Every slot back to -1, every node released, the slot-cache key dropped. */
void kelvoClusterCleanObject(kelvoClusterObject *cobj);

/* The create-object handler of Kelvo\Cluster, and the handlers it installs (MINIT, after the class). */
zend_object *kelvoClusterCreateObject(zend_class_entry *ce);
void kelvoClusterRegisterObjectHandlers();

/* Runs one command method: the method passes only its command id. False on failure. */
void kelvoClusterCommand(zend_execute_data *execute_data, zval *return_value, int cmd);

#endif
