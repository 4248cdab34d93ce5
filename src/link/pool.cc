/* The persistent link pool: stash on release, reuse on connect, the table of persistent contexts. */
#include "link/pool.h"

#include "runtime/fatal.h"
#include "runtime/kelvo.h"
#include "runtime/lifecycle.h"
#include "runtime/log.h"
#include "shm/lock.h"
#include "shm/shared.h"
#include "wire/reply.h"

#include <fcntl.h>
#include <openssl/ssl.h>

#include <cinttypes>
#include <cstdio>
#include <cstring>

kelvoLinkCacheHooks kelvoLinkCache;

namespace {

int le_kelvo_pconnect = -1;

struct kelvoConnectionPool {
    zend_string *uri;
    zend_llist links; /* kelvoPLink pointers; the newest first */
};

int ctxKey(const redisContext *ctx, char (&buf)[48]) { return snprintf(buf, sizeof buf, "%lx", (unsigned long)ctx); }

/* The identity with the hash of the secrets, whatever the object's flags, and the database the
 * link waits on: a session kept in a database of its own takes a link already there. */
int poolKey(const zend_string *identity, uint64_t secrets, uint32_t db, char *buf, size_t size)
{
    char secret[32] = "", database[24] = "";
    if (!strstr(ZSTR_VAL(identity), "&secret="))
        snprintf(secret, sizeof secret, "&secret=%016" PRIx64, secrets);
    if (db)
        snprintf(database, sizeof database, "&db=%u", db);
    return snprintf(buf, size, "%s%s%s", ZSTR_VAL(identity), secret, database);
}

void poolDtor(zend_resource *res);

kelvoConnectionPool *poolFind(const char *key, size_t length, bool create)
{
    zend_resource *le = static_cast<zend_resource *>(zend_hash_str_find_ptr(&EG(persistent_list), key, length));
    if (le && le->type == le_kelvo_pconnect && le->ptr)
        return static_cast<kelvoConnectionPool *>(le->ptr);
    if (!create || le)
        return nullptr; /* a foreign resource under the same name is left alone */
    auto *pool = static_cast<kelvoConnectionPool *>(pemalloc(sizeof(kelvoConnectionPool), 1));
    pool->uri = zend_string_init(key, length, 1);
    zend_llist_init(&pool->links, sizeof(kelvoPLink *), nullptr, 1);
    zend_register_persistent_resource(key, length, pool, le_kelvo_pconnect);
    return pool;
}

void poolRemove(kelvoPLink *plink)
{
    kelvoConnectionPool *pool = poolFind(plink->poolKey, strlen(plink->poolKey), false);
    if (!pool)
        return;
    for (zend_llist_element *e = pool->links.head; e; e = e->next) {
        if (*reinterpret_cast<kelvoPLink **>(e->data) == plink) {
            zend_llist_del_element(&pool->links, e->data, [](void *a, void *b) { return int(a == b); });
            return;
        }
    }
}

/* Takes the oldest record of the pool off its list, or null. */
kelvoPLink *poolTakeOldest(kelvoConnectionPool *pool)
{
    if (!pool->links.tail)
        return nullptr;
    kelvoPLink *plink = *reinterpret_cast<kelvoPLink **>(pool->links.tail->data);
    zend_llist_remove_tail(&pool->links);
    return plink;
}

void closeRecord(kelvoPLink *plink, bool inPool)
{
    if (inPool)
        poolRemove(plink);
    redisContext *ctx = plink->ctx;
    char key[48];
    int n = ctxKey(ctx, key);
    /* A link inherited from the parent: its socket is closed here, its attachment stays the parent's. */
    if (plink->rdb && plink->pid == kelvoGetPid()) {
        kelvoAssert(plink->ep != NULL);
        kelvoLinkCache.releaseAttachment(plink->ep, plink->rdb, plink->lease);
    }
    redisFree(ctx);
    SSL_CTX_free(plink->sslCtx);
    free(plink->ireader.buf);
    /* Signals deferred: the SIGIO handler walks this table. */
    kelvoDeferSignals();
    zend_hash_str_del(kelvoPLinks(), key, size_t(n)); /* frees the record */
    kelvoUndeferSignals();
}

void poolDtor(zend_resource *res)
{
    auto *pool = static_cast<kelvoConnectionPool *>(res->ptr);
    if (!pool)
        return;
    kelvoShutdown = 1;
    while (kelvoPLink *plink = poolTakeOldest(pool))
        closeRecord(plink, false);
    zend_llist_destroy(&pool->links);
    zend_string_release(pool->uri);
    pefree(pool, 1);
    res->ptr = nullptr;
    /* Records in use by objects at shutdown: their objects are gone. */
    void *plinkPtr;
    ZEND_HASH_FOREACH_PTR(kelvoPLinks(), plinkPtr)
    {
        auto *plink = static_cast<kelvoPLink *>(plinkPtr);
        if (plink->pid == kelvoGetPid() && plink->rdb && plink->ep)
            kelvoLinkCache.releaseAttachment(plink->ep, plink->rdb, plink->lease);
        free(plink->ireader.buf);
        plink->ireader.buf = nullptr;
    }
    ZEND_HASH_FOREACH_END();
}

bool clearAsync(int fd)
{
    int flags = fcntl(fd, F_GETFL);
    if (flags < 0)
        return false;
    int wanted = flags & ~(O_ASYNC | O_NONBLOCK);
    return wanted == flags || fcntl(fd, F_SETFL, wanted) == 0;
}

void describe(const char *what, const kelvoPLink *p)
{
    kelvoLogDebug("%s:%d PLINK - %s (ctx: %lx, fd: %d, ep: %lx, rdb: %lx)", KELVO_LOG_SITE, what,
                  reinterpret_cast<unsigned long>(p->ctx), p->ctx->fd, reinterpret_cast<unsigned long>(p->ep),
                  reinterpret_cast<unsigned long>(p->rdb));
}

} // namespace

HashTable *kelvoPLinks(void) { return &KELVO_G(plinks); }

void kelvoPoolStartup(int moduleNumber)
{
    le_kelvo_pconnect =
        zend_register_list_destructors_ex(nullptr, poolDtor, "Kelvo persistent connections", moduleNumber);
}

kelvoPLink *kelvoPLinkOf(const redisContext *ctx)
{
    char key[48];
    int n = ctxKey(ctx, key);
    return static_cast<kelvoPLink *>(zend_hash_str_find_ptr(kelvoPLinks(), key, size_t(n)));
}

void kelvoPLinkClose(kelvoPLink *plink) { closeRecord(plink, !plink->inUse); }

void kelvoPushAutoFree(void *, void *raw)
{
    auto *reply = static_cast<kelvoReply *>(raw);
    if (reply && !(reply->flags & KELVO_REPLY_INTERNED) && !KELVO_G(folding_replies))
        kelvoReplyFree(reply);
}

void kelvoLinkRelease(kelvoLink *link, int closing)
{
    redisContext *c = link->ctx;
    bool poolable = !closing && link->persistent && c && !c->err && link->key && !redisReaderDirty(c->reader) &&
                    c->obuf.len == c->obuf.pos && !link->rawState && link->pid == kelvoGetPid() && c->fd > 0 &&
                    link->db == link->homeDb;
    char key[kelvoIdentityMax];
    int n = poolable ? poolKey(link->key, link->secrets, link->homeDb, key, sizeof key) : -1;
    if (n < 0 || n >= int(sizeof key)) {
        kelvoLinkFree(link);
        return;
    }
    kelvoPLink *plink = kelvoPLinkOf(c);
    kelvoLogDebug("%s:%d PLINK - Stashing link '%s' (ctx: %lx, fd: %d, ep: %lx, rdb: %lx)", KELVO_LOG_SITE, key,
                  reinterpret_cast<unsigned long>(c), c->fd, reinterpret_cast<unsigned long>(link->ep),
                  reinterpret_cast<unsigned long>(link->rdb));
    kelvoConnectionPool *pool = poolFind(key, size_t(n), true);
    c->privdata = nullptr;
    redisSetPushCallback(c, kelvoPushAutoFree);
    c->obuf.pos = c->obuf.len = 0;

    bool active = kelvoRequestActive;
    if (!active)
        kelvoDeferSignals();
    if (!plink) {
        plink = static_cast<kelvoPLink *>(calloc(1, sizeof(kelvoPLink)));
        char ck[48];
        int ckn = ctxKey(c, ck);
        zval ptr;
        ZVAL_PTR(&ptr, plink);
        zend_hash_str_update(kelvoPLinks(), ck, size_t(ckn), &ptr);
        kelvoLogDebug("%s:%d PLINK - NEW (fd: %d, ctx: %lx)", KELVO_LOG_SITE, c->fd,
                      reinterpret_cast<unsigned long>(c));
    }
    plink->ctx = c;
    plink->sslCtx = link->sslCtx;
    memcpy(plink->server, link->server, sizeof plink->server);
    memcpy(plink->version, link->version, sizeof plink->version);
    memcpy(plink->az, link->az, sizeof plink->az);
    plink->hello = link->hello;
    plink->ep = link->ep;
    plink->rdb = link->rdb;
    plink->lease = link->lease;
    plink->pid = link->pid;
    plink->state = link->state;
    plink->db = link->db;
    plink->tracking = link->tracking;
    memcpy(plink->poolKey, key, size_t(n) + 1);
    plink->inUse = 0;
    zend_llist_prepend_element(&pool->links, &plink);
    if (!active) {
        if (kelvoLinkCache.armStashed)
            kelvoLinkCache.armStashed(plink);
        kelvoUndeferSignals();
    }
    zend_string_release(link->key);
    memset(link, 0, sizeof *link);
}

int kelvoPLinkGet(kelvoLink *link, redisInfo *info, pid_t pid)
{
    char identity[kelvoIdentityMax];
    int idn = redisInfoGetUri(info, identity, sizeof identity);
    if (idn < 0 || idn >= int(sizeof identity))
        return -1;
    zend_string *id = zend_string_init(identity, size_t(idn), 0);
    uint64_t secrets = kelvoLinkSecretsHash(info);
    char key[kelvoIdentityMax];
    int n = poolKey(id, secrets, info->db, key, sizeof key);
    kelvoConnectionPool *pool = n > 0 && n < int(sizeof key) ? poolFind(key, size_t(n), false) : nullptr;
    while (kelvoPLink *plink = pool ? poolTakeOldest(pool) : nullptr) {
        if (plink->pid != pid) {
            closeRecord(plink, false);
            continue;
        }
        if (plink->ctx->err) {
            describe("releasing errored link", plink);
            closeRecord(plink, false);
            continue;
        }
        if (!clearAsync(plink->ctx->fd)) {
            describe("releasing link with invalid IO flags", plink);
            closeRecord(plink, false);
            continue;
        }
        plink->armed = 0;
        /* The server may have closed it since: what fails here is reconnected, not failed after a write. */
        if ((kelvoLinkCache.drainStashed &&
             kelvoLinkCache.drainStashed(plink->ctx, plink->ep, plink->rdb, plink->lease) != 0) ||
            redisReaderDirty(plink->ctx->reader)) {
            describe("releasing link that failed its check", plink);
            closeRecord(plink, false);
            continue;
        }
        describe("Reusing plink", plink);
        memset(link, 0, sizeof *link);
        link->key = id;
        link->id = kelvoLinkIdentityHash(identity, size_t(idn), kelvoSharedData ? kelvoSharedData->cache.seed : 0);
        link->secrets = secrets;
        link->persistent = 1;
        link->ctx = plink->ctx;
        link->serial = kelvoLinkNextSerial();
        link->sslCtx = plink->sslCtx;
        link->state = plink->state;
        link->db = plink->db;
        link->homeDb = info->db;
        link->ep = plink->ep;
        link->rdb = plink->rdb;
        memcpy(link->server, plink->server, sizeof link->server);
        memcpy(link->version, plink->version, sizeof link->version);
        memcpy(link->az, plink->az, sizeof link->az);
        link->hello = plink->hello;
        link->lease = plink->lease;
        link->tracking = plink->tracking;
        link->pid = pid;
        plink->inUse = 1;
        redisSetPushCallback(link->ctx, nullptr);
        redisSetTimeout(link->ctx, info->readTimeout);
        return 0;
    }
    kelvoLogDebug("%s:%d PLINK - No free link to '%s'", KELVO_LOG_SITE, key);
    zend_string_release(id);
    return -1;
}

void kelvoPLinkForget(redisContext *ctx)
{
    kelvoPLink *plink = kelvoPLinkOf(ctx);
    if (!plink)
        return;
    if (!plink->inUse)
        poolRemove(plink);
    free(plink->ireader.buf);
    char key[48];
    int n = ctxKey(ctx, key);
    kelvoDeferSignals();
    zend_hash_str_del(kelvoPLinks(), key, size_t(n));
    kelvoUndeferSignals();
}
