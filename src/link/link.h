/*
 * Server links: one connection of this process to one server (TCP, TLS or a
 * Unix socket) and what the module knows about it, plus the connection
 * information a link is opened from (`redisInfo`).
 *
 * Owns: a link owns its client context (`ctx`, with the socket, buffers and
 * reader), its OpenSSL client context (`sslCtx`) and its identity string
 * (`key`, request memory). `ep`, `rdb` and `lease` are references into the
 * shared arena that the cache attaches and releases; this component only
 * carries them. A `redisInfo` owns counted references to its strings.
 *
 * A link belongs to the process that opened it (`pid`) and is used by it
 * alone; no locks. A link is opened blocking; its byte-counting socket
 * functions (kelvoNetRead/kelvoNetWrite) sit in the client layer's shared
 * table of plain sockets, so they count every plain link of the process,
 * through the hooks the client layer sets (kelvoLinkBytes): links know
 * nothing of client records or module globals. Engine side: identity strings
 * and reply nodes live in request memory.
 */
#ifndef KELVO_LINK_H
#define KELVO_LINK_H

#include "php_kelvo.h"
#include "resp3/resp3.h"
#include "runtime/optflags.h"

#include <sys/time.h>
#include <sys/types.h>

#include <cstddef>
#include <cstdint>

struct kelvoEndpoint;
struct kelvoReply;
struct rdb;
struct ssl_ctx_st;

/* Link states. Callers compare them numerically (at least CONNECTED, at least READY). */
enum kelvoLinkState : uint32_t {
    KELVO_LINK_NONE = 0,      /* no connection; the record is all zero */
    KELVO_LINK_CONNECTED = 1, /* socket (and TLS) up, no handshake yet */
    KELVO_LINK_READY = 3,     /* handshake done; commands may be sent */
};

/* TLS verification bits of redisInfo::tls.verify; both are set when TLS is switched on. */
constexpr uint8_t KELVO_TLS_VERIFY_PEER = 0x02;      /* the certificate chain must verify */
constexpr uint8_t KELVO_TLS_VERIFY_PEER_NAME = 0x04; /* the certificate must name the host (or peerName) */

/* Name and version the handshake announces with CLIENT SETINFO. */
constexpr const char *kelvoLibName = "kelvo";
constexpr const char *kelvoLibVersion = PHP_KELVO_VERSION;

/* Identity strings are formatted through buffers of this size; a longer one cannot be connected. */
constexpr size_t kelvoIdentityMax = 512;

struct redisInfoTls {
    uint8_t enabled;        /* 1: TLS */
    uint8_t verify;         /* KELVO_TLS_VERIFY_* */
    zend_string *localCert; /* client certificate chain (PEM); comes with localPk */
    zend_string *localPk;   /* its private key (PEM) */
    zend_string *cafile;    /* CA certificates; neither this nor capath: the system's */
    zend_string *capath;
    zend_string *peerName; /* SNI name, and the name checked in place of the host */
};

/* Connection information of a client object (also cluster nodes, sentinel, session shards). */
struct redisInfo {
    zend_string *host; /* host text (TCP) or socket path (Unix) */
    char addr[46];     /* numeric address the host resolved to; empty when not resolved */
    int32_t port;      /* 0 for Unix sockets */
    redisInfoTls tls;
    struct timeval connectTimeout; /* {0, 0}: none */
    struct timeval readTimeout;    /* socket send and receive timeout; {0, 0}: none */
    zend_string *user;             /* null: "default" */
    zend_string *pass;
    int32_t type;          /* REDIS_CONN_TCP, REDIS_CONN_UNIX; -1: no information */
    uint32_t db;           /* the database the object wants */
    kelvoOptionWord flags; /* the object's option flags when this was built; kelvoOptKeyedBySecrets */
    uint8_t persistent;    /* 1: the link goes to the persistent pool on release */
};

struct kelvoLink {
    redisContext *ctx;  /* null: no connection */
    ssl_ctx_st *sslCtx; /* owned TLS client context; null for plain links */
    uint32_t err;       /* context error code of the last failure (2 for own TLS texts); 0 none */
    uint32_t sslErr;    /* REDIS_SSL_CTX_* of a failed TLS context; 0 none */
    char errstr[128];
    char server[16]; /* from the HELLO reply; empty when unknown */
    char version[16];
    char az[32];      /* availability zone */
    uint8_t hello;    /* 1 once a HELLO map filled the three fields above */
    uint64_t lastUse; /* wall-clock microseconds the link was last ready or replied */
    zend_string *key; /* the server identity string; null without a connection */
    uint64_t id;      /* XXH3-64 of key */
    kelvoEndpoint *ep;
    ::rdb *rdb;
    uint16_t lease;     /* key-lease handle held with rdb (slot | 0x8000); 0 none */
    uint32_t state;     /* kelvoLinkState */
    uint32_t db;        /* database selected on the server connection */
    uint32_t homeDb;    /* database the link waits on in the pool: the one its taker wanted */
    pid_t pid;          /* process that opened the link */
    uint8_t tracking;   /* 1: CLIENT TRACKING ON was accepted */
    uint8_t persistent; /* 1: stash in the persistent pool on release */
    uint8_t rawState;   /* 1: a raw command changed the connection's state: never pooled */
    uint64_t secrets;   /* hash of password and TLS settings: part of the pool key */
    uint64_t lastPoll;  /* last invalidation poll, wall-clock microseconds */
    uint64_t serial;    /* this process's number of the connection: a new connection, a new number */
};

/* The hash of an information's password and TLS settings (seeded per process tree). */
uint64_t kelvoLinkSecretsHash(const redisInfo *info);
/* A number no earlier connection of this process had (kelvoLink::serial). */
uint64_t kelvoLinkNextSerial();

/*
 * Formats the server identity into `buf` (snprintf rules) and returns its full
 * length: "tcp|tls://<user>@<addr or host>:<port>?cache=<0|1>&tracking=<0|1>"
 * or "unix://<user>@<path>?cache=<0|1>&tracking=<0|1>". The user is "default"
 * only when none is set (an empty one stays empty). Database and timeouts are
 * not part of it; password and TLS settings only under kelvoOptKeyedBySecrets,
 * as "&secret=<16 hex digits>", a hash with a seed this process draws at random.
 */
int redisInfoGetUri(const redisInfo *info, char *buf, size_t size);
/* The identity as a new request-lifetime string. */
zend_string *redisInfoGetUriZStr(const redisInfo *info);
/* XXH3-64 of an identity with the given seed (the shared hash seed). */
uint64_t kelvoLinkIdentityHash(const char *key, size_t length, uint64_t seed);
/* Releases every string of the information, zeroes it and sets `type` to -1. */
void kelvoRedisInfoRelease(redisInfo *info);

/*
 * Opens `link` from `info` (TCP to `addr` when the host was resolved, else to
 * `host`; or the Unix socket `host`), with the TLS hand-over when TLS is on.
 * `pid` is the calling process's id. 0: the link is CONNECTED. -1: no
 * context; the failure is in err/errstr, or in sslErr when the TLS context
 * could not be built. The connect timeout is one deadline for the whole
 * call, however many times a signal interrupts the wait.
 */
int kelvoLinkConnect(kelvoLink *link, redisInfo *info, pid_t pid);
/* Opens a link in state NONE; a link in a higher state must have a healthy context (fatal otherwise). */
int kelvoLinkConnectIfNeeded(kelvoLink *link, redisInfo *info, pid_t pid);
/*
 * Re-opens the link's context in place (same address, timeouts and TLS
 * context); `db` becomes 0 and the state CONNECTED; key, id, ep, rdb and the
 * HELLO fields stay. -1 leaves the context in its failed state. The caller
 * redoes the handshake and the database selection.
 */
int kelvoLinkReconnect(kelvoLink *link, redisInfo *info);

/*
 * The OpenSSL client context for `info`: peer verification when asked, the CA
 * file or directory or else the system's default paths, the client
 * certificate chain and key. Null with *sslErr set to a REDIS_SSL_CTX_* code.
 */
ssl_ctx_st *kelvoTlsContextNew(const redisInfo *info, uint32_t *sslErr);
/*
 * TLS over the connected context `c`: a new SSL object (SNI from peerName),
 * the handshake, and, while KELVO_TLS_VERIFY_PEER_NAME is set, the check that
 * the certificate names peerName, else the host (for TCP). -1 with the failure
 * in link->err/errstr; the context then owns the SSL object only when the
 * handshake itself succeeded.
 */
int kelvoNegotiateTLS(const redisInfo *info, ssl_ctx_st *sslCtx, redisContext *c, kelvoLink *link);

/*
 * Called by kelvoLinkHello with `target` and the first reply of an unexpected
 * type, or with null when appending or reading failed. The reply is freed
 * after the call returns.
 */
typedef void (*kelvoHelloErrorFn)(void *target, kelvoReply *reply);

/*
 * The handshake as one pipeline: "HELLO 3 AUTH <user> <pass> SETNAME
 * <name>@<user>:<pid>", "CLIENT SETINFO LIB-NAME kelvo", "CLIENT SETINFO
 * LIB-VER <version>", then "CLIENT TRACKING ON" when `optionFlags` has client
 * tracking and the link has a cached database, and "CLIENT CAPA redirect"
 * when asked. Only the HELLO reply (a map) and the TRACKING reply (a status)
 * are checked. Bytes of the client name the server refuses (outside '!' to
 * '~') are sent as %XX. Fills server, version, az and hello; sets tracking.
 * 0, or -1 after `onError` was called.
 */
int kelvoLinkHello(kelvoLink *link, const redisInfo *info, uint32_t optionFlags, const char *name, void *target,
                   kelvoHelloErrorFn onError);

/*
 * The handshake with one ready request (RESP bytes) sent behind it in the same write, which saves
 * the round trip of a handshake on its own. Only for a request that may run whatever the handshake
 * answers: when the handshake fails the request has still reached the server. 0 with *out the
 * request's reply; -1 after `onError` (the request's reply is left unread: the caller frees the
 * link); -2 when the handshake succeeded but the request's reply could not be read (link->err set).
 */
int kelvoLinkHelloWithRequest(kelvoLink *link, const redisInfo *info, uint32_t optionFlags, const char *name,
                              void *target, kelvoHelloErrorFn onError, const char *request, size_t length,
                              kelvoReply **out);

/*
 * "SELECT <db>". 0: selected, link->db = db. 1: the server refused it with an
 * error reply (a database it does not have, NOPERM...): the reply was thrown
 * or recorded in `lastError` as `optionFlags` decide (NOPERM is always
 * thrown), info->db is set back to the link's database, and the caller fails
 * the current call. 2: link failure (no reply, "ERR invalid DB...", or a reply
 * of another type).
 */
int kelvoSelectDB(kelvoLink *link, redisInfo *info, uint32_t db, zend_string **lastError, uint32_t optionFlags);

/*
 * Ends an object's use of its link: a persistent one with nothing pending,
 * no error and its state untouched by raw commands goes to the pool
 * (link/pool.h); any other, and every one with `closing` (close()), is
 * closed.
 */
void kelvoLinkRelease(kelvoLink *link, int closing);
/* Closes the link (socket, TLS context, identity) and zeroes the record. */
void kelvoLinkFree(kelvoLink *link);

/* Copies a context's error code and text (cut to 127 characters) into the link. */
void kelvoLinkErrorSet(kelvoLink *link, const redisContext *source);
/* Sets a context's error to REDIS_ERR_IO with the text of the current errno. */
void kelvoSetRedisErrorFromErrno(redisContext *c);
/* TCP keep-alive for a TCP link; a failure is only logged. */
void kelvoEnableKeepAlive(const redisInfo *info, redisContext *c);

/*
 * Where plain links report the bytes they move: `owner` is the context's
 * private data, and a context without one reports nothing. The client layer,
 * which owns the counters (its records' and the process's), fills it at module
 * start-up; an empty slot counts nothing.
 */
struct kelvoLinkByteHooks {
    void (*received)(void *owner, uint64_t bytes);
    void (*sent)(void *owner, uint64_t bytes);
};
extern kelvoLinkByteHooks kelvoLinkBytes;

/*
 * The socket functions of plain contexts: redisNetRead/redisNetWrite that,
 * for a context whose private data names its owner, report what moved
 * through kelvoLinkBytes.
 */
ssize_t kelvoNetRead(redisContext *c, char *buf, size_t cap);
ssize_t kelvoNetWrite(redisContext *c);

#endif
