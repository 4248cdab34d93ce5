/*
 * Connection settings of a client object: turning what PHP code passes to the constructor,
 * connect, pconnect and auth into the object's `redisInfo` (host forms, TLS keys, timeouts,
 * credentials, the context array), opening the first link, the readying of the link before
 * each call (kelvoSyncObject: connect, handshake, database selection, reconnect, fork
 * detection) and the getters that report on the connection.
 *
 * Owns nothing beyond the strings it stores into the object's connection information (counted
 * references, request memory). One process, one request thread: no locks of its own. The
 * cache's steps of the upkeep live here too: endpoint and cached-database attachment before
 * each handshake (retried at every sync while a tracking link has none), the endpoint's server
 * facts from INFO at most once a minute across processes, and the freeing of leases of ended
 * processes; the invalidation poll is marked where it joins.
 */
#ifndef KELVO_CONNECTION_H
#define KELVO_CONNECTION_H

#include "client/object.h"
#include "wire/command.h"

#include <cstdint>

extern "C" {
#include "ext/standard/url.h"
}

/* Largest database number a client accepts (SELECT takes a signed 32-bit index). */
constexpr zend_long kelvoMaxDatabase = 2147483647;

/* A timeout a constructor accepts: at most 2147483647 seconds, and a number (NaN is refused). */
bool kelvoTimeoutArgumentValid(double seconds);

/* A connection option array (the constructor's single array argument, the session and sentinel hosts). */
struct kelvoConnectOptions {
    zend_string *host;
    zval *persistent; /* the array's element, not copied */
    zval *auth;       /* the array's element, not copied */
    zend_string *user;
    zend_string *pass;
    double connectTimeout;
    double readTimeout;
    zend_long port;
    zend_long retryInterval;
    zend_long weight;
};

/*
 * Parses a host text into `info`: host names and IPv4 or IPv6 addresses (bare or in
 * brackets) resolved to `addr`, `unix:` and `file:` paths and absolute paths as Unix
 * sockets, tcp:// and tls:// URLs (a path on them is ignored; they never name a socket),
 * TLS switched on for tls:// with the TLS keys of `context`. `port` -1: not given. 0, or -1
 * with `*error` set. `*url` is the parsed URL for the caller to free (php_url_free), or null.
 */
int kelvoInitRedisInfo(redisInfo *info, bool persistent, kelvoOptionWord flags, zend_string *host, zend_long port,
                       php_url **url, HashTable *context, const char **error);
/* Replaces the stored user and password with counted references to the given ones. */
void kelvoSetRedisAuthInfo(redisInfo *info, zend_string *user, zend_string *pass);
/*
 * Credentials from a value: a string is the password; an array of one element the password
 * ("pass" or element 0), of two the user ("user" or 0) and password ("pass" or 1). 0 with a
 * password (and maybe a user) in new strings the caller releases; -1 with both null.
 */
int kelvoGetAuthInfoZVal(zend_string **user, zend_string **pass, zval *value);

/* Reads a connection option array; -1 with a ValueError pending. */
int kelvoConnectOptionsFromHT(kelvoConnectOptions *dst, HashTable *src);
void kelvoConnectOptionsRelease(kelvoConnectOptions *opts);

/*
 * Applies the context array's option keys to the object; -1 when a setter refused (a
 * warning or an exception was raised) or "database" is out of range (ValueError pending).
 */
int kelvoSetContextOptions(robj *ro, HashTable *context);

/*
 * Builds connection information and opens its link into `outInfo`/`outLink`, the context's
 * private data set to `owner`. A zero `readTimeout` takes `keptReadTimeout`. -1 with a
 * Kelvo\Exception pending (KELVO_ERR_CONFIG for bad settings, else the link's failure).
 */
int kelvoConnect(redisInfo *outInfo, kelvoLink *outLink, bool persistent, kelvoOptionWord flags, zend_string *host,
                 zend_long port, double connectTimeout, double readTimeout, uint32_t db, zend_string *user,
                 zend_string *pass, HashTable *context, void *owner, struct timeval keptReadTimeout);

/*
 * Readies the object's link: at least `wanted` (KELVO_LINK_CONNECTED or KELVO_LINK_READY).
 * 0, or -1 after throwing (unless `quiet`, which clears any pending exception).
 */
int kelvoSyncObject(robj *ro, uint32_t wanted, bool quiet);

/*
 * Gives the link its shared endpoint (found or created by its identity string) when the cache
 * is on and it has none: 0, also with the cache off; -1 when no epoch record or endpoint could
 * be had (a warning log, rate-limited for the record). No effect on a link that has one.
 */
int kelvoAttachEndpoint(robj *ro);
/* Before a handshake: the endpoint and, for a tracking client, a cached database (a lease and a writer place). */
void kelvoAttachLink(robj *ro);
/* The link's endpoint, else the endpoint its identity names (inside its own read section), or null. */
kelvoEndpoint *kelvoLinkEndpoint(const kelvoLink *link);

/*
 * The cached keys of a logical database of an endpoint, for _getKeys: an array keyed by key name
 * whose lists describe each entry (type, local and remote length, payload bytes, lease), walked
 * over every cached database set that has writers, one read section per step.
 */
void kelvoEndpointGetKeys(zval *out, kelvoEndpoint *ep, uint32_t db);

/* The handshake's error callback for a client object: throws what the handshake met. */
void kelvoHelloErrorCb(void *target, kelvoReply *reply);
/* Throws the link's last failure (its own code and text, or the TLS context's). */
void kelvoLinkThrowExceptionEx(const kelvoLink *link, const char *file, int line);
#define kelvoLinkThrowException(link) kelvoLinkThrowExceptionEx((link), __FILE__, __LINE__)

/* Appends the finished request to the link's output buffer, unsent. 0, or -1 when the buffer refuses it. */
int kelvoAppendCommand(robj *ro, rrc *req);

/*
 * A failed link: its error thrown (unless an exception is pending), the link closed with its
 * error kept for the next report, and what went with it dropped: queued entries, listeners,
 * the WATCH and subscription state. The next call reconnects.
 */
void kelvoThrowLinkFailure(robj *ro);

#endif
