/*
 * The persistent link pool: links that outlive the objects that used them,
 * per process, keyed by the server identity plus a hash of the credentials
 * and TLS settings (a link authenticated with one password, certificate or
 * verification level never serves another) and the database the link waits
 * on (a session kept in a database of its own sends no SELECT per request),
 * and the process's table of
 * persistent contexts (`plinks`) that the signal reader walks.
 *
 * One record (`kelvoPLink`) per persistent context, made when the link is
 * first stashed and freed when it is closed; the pool lists and `plinks`
 * point at that one record, so what the signal reader sees is always the
 * link's current endpoint, set and lease. A record taken by an object is
 * marked in use and never armed. A stashed link is on the database of its
 * pool key: its last user selected it again before handing the link back.
 *
 * One process, no locks; `plinks` changes only while no link is armed or
 * with signals deferred. Engine side.
 */
#ifndef KELVO_POOL_H
#define KELVO_POOL_H

#include "link/ireader.h"
#include "link/link.h"

struct kelvoEndpoint;
struct rdb;

struct kelvoPLink {
    redisContext *ctx;
    ssl_ctx_st *sslCtx;
    char server[16];
    char version[16];
    char az[32];
    uint8_t hello;
    kelvoEndpoint *ep;
    ::rdb *rdb;
    uint16_t lease;
    pid_t pid; /* process that opened the link */
    uint32_t state;
    uint32_t db; /* database the connection is on */
    uint8_t tracking;
    uint8_t inUse; /* taken by an object */
    uint8_t armed; /* signal-driven reading on */
    kelvoIReader ireader;
    char poolKey[kelvoIdentityMax];
};

/*
 * What the shared cache does for links, plugged in at module start-up by its
 * invalidation delivery (kelvoInvalidationStartup). A link whose `rdb` is set
 * was attached by the cache, so `releaseAttachment` is there whenever it is needed.
 */
struct kelvoLinkCacheHooks {
    /* Gives back a closed link's attachment to its cached database set. */
    void (*releaseAttachment)(kelvoEndpoint *ep, ::rdb *db, uint16_t lease);
    /* Drains and applies what a stashed link has pending before it is reused: 0, or -1 with the context's error. */
    int (*drainStashed)(redisContext *c, kelvoEndpoint *ep, ::rdb *db, uint16_t lease);
    /* Arms a link stashed outside a request for the signal reader. */
    void (*armStashed)(kelvoPLink *plink);
};
extern kelvoLinkCacheHooks kelvoLinkCache;

/* The resource type of the pools ("Kelvo persistent connections"); module start-up registers it. */
void kelvoPoolStartup(int moduleNumber);

/* The record of a persistent context, or null. */
kelvoPLink *kelvoPLinkOf(const redisContext *ctx);

/* Closes a record: out of its pool and `plinks`, socket closed, its attachment given back when it is this process's. */
void kelvoPLinkClose(kelvoPLink *plink);

/*
 * The reuse step of kelvoLinkConnect: a stashed link of this process for
 * the information's identity and secrets, checked alive (drained, no
 * error) before it is handed out. 0 when `link` was filled, -1 when none.
 */
int kelvoPLinkGet(kelvoLink *link, redisInfo *info, pid_t pid);

/* Forgets the record of a context being closed by its link (kelvoLinkFree). */
void kelvoPLinkForget(redisContext *ctx);

/* The push callback of stashed links: releases the push. */
void kelvoPushAutoFree(void *privdata, void *reply);

/* Records of this process, for the delivery's walks. */
HashTable *kelvoPLinks(void);

#endif
