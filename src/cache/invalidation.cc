/* Invalidation delivery in the process: the executor, the drain, the SIGIO handler, arming and the queue seam. */
#include "cache/invalidation.h"

#include "cache/attach.h"
#include "cache/cache.h"
#include "cache/cms.h"
#include "cache/delivery.h"
#include "cache/keylease.h"
#include "link/pool.h"
#include "runtime/kelvo.h"
#include "runtime/lifecycle.h"
#include "runtime/log.h"
#include "shm/lock.h"
#include "shm/shared.h"
#include "wire/reply.h"

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <ctime>
#include <vector>

namespace {

bool interned(const kelvoReply *reply) { return reply->flags & KELVO_REPLY_INTERNED; }

void release(kelvoReply *reply)
{
    if (reply && !KELVO_G(folding_replies) && !interned(reply))
        kelvoReplyFree(reply);
}

void raiseInterrupt(void) { zend_atomic_bool_store_ex(&EG(vm_interrupt), true); }

/* The real work for one key: counted, marked for stores in flight, removed everywhere, broadcast. */
int applyKey(kelvoEndpoint *ep, rdb *db, const char *key, size_t length)
{
    uint64_t hash = kelvoCacheHash(key, length);
    kelvoEndpointCountWrite(ep, hash);
    kelvoEndpointTicketRaise(ep, hash);
    kelvoEndpointRemoveKey(ep, key, length);
    return kelvoInvalidationBroadcast(ep, db, key, length);
}

void applyFlush(kelvoEndpoint *ep, rdb *db)
{
    kelvoInvalidationBroadcast(ep, db, nullptr, 0);
    kelvoEndpointFlushEx(ep, -1);
}

bool isString(const kelvoReply *r) { return r->type == KELVO_REPLY_STRING || r->type == KELVO_REPLY_STATUS; }

} // namespace

bool kelvoIsInvalidationPush(const kelvoReply *reply)
{
    if (!reply || reply->type != KELVO_REPLY_PUSH || reply->elements < 2)
        return false;
    const kelvoReply *kind = reply->v.element[0];
    const kelvoReply *keys = reply->v.element[1];
    return kind && isString(kind) && ZSTR_LEN(kind->v.str) == 10 &&
           memcmp(ZSTR_VAL(kind->v.str), "invalidate", 10) == 0 &&
           (keys->type == KELVO_REPLY_ARRAY || keys->type == KELVO_REPLY_NIL);
}

/* Weak, as are the queue seam's functions below: engine tests of other components script their own. */
#define KELVO_SCRIPTABLE __attribute__((weak))

KELVO_SCRIPTABLE void kelvoExecuteInvalidation(kelvoEndpoint *ep, rdb *db, kelvoReply *reply)
{
    if (!ep || !kelvoCacheUsable()) {
        release(reply);
        return;
    }
    if (!reply || !kelvoIsInvalidationPush(reply)) {
        kelvoLogNotice("%s:%d INVALIDATION - Non invalidation PUSH message (%s)", KELVO_LOG_SITE, ep->uri.bytes);
        release(reply);
        return;
    }
    const kelvoReply *keys = reply->v.element[1];
    if (keys->type == KELVO_REPLY_NIL) {
        kelvoLogDebug("%s:%d INVALIDATION - FLUSHDB (%s)", KELVO_LOG_SITE, ep->uri.bytes);
        applyFlush(ep, db);
        raiseInterrupt();
        release(reply);
        return;
    }
    int reached = 0;
    for (uint64_t i = 0; i < keys->elements; i++) {
        const kelvoReply *key = keys->v.element[i];
        if (!isString(key)) {
            /* The server never sends one; a key that cannot be named is a flush of what it might be. */
            kelvoLogNotice("%s:%d INVALIDATION - key of type %u (%s)", KELVO_LOG_SITE, key->type, ep->uri.bytes);
            applyFlush(ep, db);
            reached = 1;
            continue;
        }
        kelvoLogDebug("%s:%d INVALIDATION - %s", KELVO_LOG_SITE, ZSTR_VAL(key->v.str));
        int n = applyKey(ep, db, ZSTR_VAL(key->v.str), ZSTR_LEN(key->v.str));
        reached += n > 0 ? n : 0;
    }
    if (reached)
        raiseInterrupt();
    release(reply);
}

/* --- the drain ------------------------------------------------------------------------------------ */

ssize_t kelvoBufferRead(redisContext *c)
{
    /* Most polls find nothing: one peek then, instead of switching the socket's mode twice. */
    if (!redisInputPending(c))
        return 0;
    int flags = fcntl(c->fd, F_GETFL);
    if (flags < 0) {
        kelvoSetRedisErrorFromErrno(c);
        return -1;
    }
    if (!(flags & O_NONBLOCK) && fcntl(c->fd, F_SETFL, flags | O_NONBLOCK) < 0) {
        kelvoSetRedisErrorFromErrno(c);
        return -1;
    }
    int blocking = c->flags & REDIS_BLOCK;
    c->flags &= ~REDIS_BLOCK;
    char buf[REDIS_READ_CHUNK];
    ssize_t n = c->funcs->read(c, buf, sizeof buf);
    c->flags |= blocking;
    if (!(flags & O_NONBLOCK) && fcntl(c->fd, F_SETFL, flags) < 0 && n >= 0) {
        kelvoSetRedisErrorFromErrno(c);
        return -1;
    }
    if (n > 0 && redisReaderFeed(c->reader, buf, size_t(n)) != REDIS_OK) {
        c->err = c->reader->err;
        memcpy(c->errstr, c->reader->errstr, sizeof c->errstr);
        return -1;
    }
    return n;
}

int kelvoContextPoll(redisContext *c, kelvoEndpoint *ep, rdb *db, uint16_t lease)
{
    kelvoAssert(c != NULL);
    if (c->err)
        return -1;
    for (;;) {
        void *reply = nullptr;
        if (redisGetReplyFromReader(c, &reply) != REDIS_OK) {
            kelvoLogNotice("%s:%d POLL - FAIL (redisGetReplyFromReader fd: %d)", KELVO_LOG_SITE, c->fd);
            break;
        }
        if (reply)
            kelvoExecuteInvalidation(ep, db, static_cast<kelvoReply *>(reply));
        ssize_t n = kelvoBufferRead(c);
        if (n < 0) {
            kelvoLogNotice("%s:%d POLL - FAIL (kelvoBufferRead, fd: %d)", KELVO_LOG_SITE, c->fd);
            break;
        }
        if (!reply && n == 0) {
            kelvoLeaseMarkDrained(lease);
            return 0;
        }
    }
    if (db) {
        kelvoLogNotice("%s:%d POLL - ERROR (invalidating leases for rdb %lx)", KELVO_LOG_SITE,
                       reinterpret_cast<unsigned long>(db));
        kelvoLeaseInvalidate(lease);
    }
    return -1;
}

/* --- the SIGIO handler ------------------------------------------------------------------------------- */

namespace {

struct sigaction previousSigio;
bool handlerInstalled;

bool armable(const kelvoPLink *p)
{
    return p->ctx && p->ep && p->rdb && !p->inUse && !p->sslCtx && p->pid == kelvoGetPid() && p->ctx->fd > 0;
}

void visitIdle(void *arg, const char *key, size_t length)
{
    auto *p = static_cast<kelvoPLink *>(arg);
    if (key)
        kelvoEndpointMarkKeyStale(p->ep, key, length);
    else
        kelvoEndpointInvalidateLeases(p->ep);
    kelvoRingRecord(p->ep, p->rdb, key, length);
}

/* Reads one armed link; a failure leaves its error in the context and withdraws what it stored. */
void readArmed(kelvoPLink *p)
{
    if (kelvoIReaderRun(&p->ireader, p->ctx->fd, visitIdle, p) == 0)
        return;
    redisContext *c = p->ctx;
    if (!c->err) {
        c->err = p->ireader.err;
        memcpy(c->errstr, p->ireader.errstr, sizeof c->errstr);
    }
    kelvoLeaseInvalidate(p->lease);
}

void readArmedLinks(int readyFd)
{
    void *pPtr;
    ZEND_HASH_FOREACH_PTR(kelvoPLinks(), pPtr)
    {
        auto *p = static_cast<kelvoPLink *>(pPtr);
        if (!p->armed || p->pid != kelvoGetPid() || p->ctx->err)
            continue;
        if (p->ctx->fd != readyFd) {
            pollfd pfd{p->ctx->fd, POLLIN, 0};
            if (poll(&pfd, 1, 0) < 1)
                continue;
        }
        readArmed(p);
    }
    ZEND_HASH_FOREACH_END();
}

uint64_t monotonicMicros(void)
{
    struct timespec ts;
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return uint64_t(ts.tv_sec) * 1000000u + uint64_t(ts.tv_nsec) / 1000u;
}

void chainPrevious(int sig, siginfo_t *info, void *context)
{
    if (previousSigio.sa_flags & SA_SIGINFO) {
        if (previousSigio.sa_sigaction)
            previousSigio.sa_sigaction(sig, info, context);
    } else if (previousSigio.sa_handler != SIG_DFL && previousSigio.sa_handler != SIG_IGN) {
        previousSigio.sa_handler(sig);
    }
}

void sigioHandler(int sig, siginfo_t *info, void *context)
{
    if (info)
        chainPrevious(sig, info, context);
    if (kelvoRequestActive || kelvoShutdown || kelvoGlobalsShutdown)
        return;
    if (kelvoSignalDepth > 0 || (info && kelvoInSigioHandler)) {
        __atomic_add_fetch(&kelvoSigioDeferrals, 1, __ATOMIC_ACQ_REL);
        return;
    }
    int savedErrno = errno;
    uint64_t start = monotonicMicros();
    readArmedLinks(info ? info->si_fd : -1);
    if (kelvoSharedData)
        __atomic_add_fetch(&kelvoSharedData->stats[9], monotonicMicros() - start, __ATOMIC_RELAXED);
    if (__atomic_load_n(&kelvoSigioDeferrals, __ATOMIC_ACQUIRE) > 0)
        __atomic_sub_fetch(&kelvoSigioDeferrals, 1, __ATOMIC_ACQ_REL);
    errno = savedErrno;
}

void replayDeferred(void) { sigioHandler(SIGIO, nullptr, nullptr); }

/*
 * Installed once and kept: the default disposition of SIGIO ends the process, and a signal
 * may still come from a link that was in async mode. The handler does nothing during requests.
 */
bool installHandler(void)
{
    if (handlerInstalled)
        return true;
    struct sigaction action {};
    action.sa_sigaction = sigioHandler;
    action.sa_flags = SA_SIGINFO | SA_RESTART;
    sigemptyset(&action.sa_mask);
    if (sigaction(SIGIO, &action, &previousSigio) != 0) {
        kelvoLogWarning("%s:%d PLINK - Failed to install SIGIO handler", KELVO_LOG_SITE);
        return false;
    }
    handlerInstalled = true;
    return true;
}

bool setFlags(int fd, int set, int clear)
{
    int flags = fcntl(fd, F_GETFL);
    if (flags < 0)
        return false;
    int wanted = (flags | set) & ~clear;
    return wanted == flags || fcntl(fd, F_SETFL, wanted) == 0;
}

void warnFcntl(const char *op, int fd)
{
    int e = errno;
    php_error_docref(nullptr, E_WARNING, "Failure in %s (%s) on fd %d (errno: %d)", "fcntl", op, fd, e);
    kelvoLogNotice("%s:%d Failure in %s (%s) on fd %d (errno: %d, %s)", KELVO_LOG_SITE, "fcntl", op, fd, e,
                   strerror(e));
}

void flagDirty(void)
{
    void *pPtr;
    ZEND_HASH_FOREACH_PTR(kelvoPLinks(), pPtr)
    {
        auto *p = static_cast<kelvoPLink *>(pPtr);
        if (p->pid == kelvoGetPid() && p->ep && p->rdb && !p->inUse)
            kelvoLeaseInvalidate(p->lease);
    }
    ZEND_HASH_FOREACH_END();
}

/* Hands the bytes the signal reader kept to the context's reader, so the normal drain finishes the push. */
void disarmOne(kelvoPLink *p)
{
    p->armed = 0;
    if (!setFlags(p->ctx->fd, 0, O_ASYNC | O_NONBLOCK)) {
        warnFcntl("F_SETFL", p->ctx->fd);
        kelvoSetRedisErrorFromErrno(p->ctx);
    }
    kelvoIReader &r = p->ireader;
    if (r.err && !p->ctx->err) {
        p->ctx->err = r.err;
        memcpy(p->ctx->errstr, r.errstr, sizeof p->ctx->errstr);
    }
    if (!p->ctx->err && r.wpos > r.rpos && redisReaderFeed(p->ctx->reader, r.buf + r.rpos, r.wpos - r.rpos) != 0) {
        p->ctx->err = REDIS_ERR_PROTOCOL;
        snprintf(p->ctx->errstr, sizeof p->ctx->errstr, "%s", p->ctx->reader->errstr);
    }
    r.rpos = r.wpos = 0;
    r.err = 0;
    r.errstr[0] = '\0';
}

void replayOne(void *, kelvoEndpoint *ep, rdb *db, const char *key, size_t length)
{
    if (!kelvoCacheUsable())
        return;
    if (key)
        applyKey(ep, db, key, length);
    else if (db)
        applyFlush(ep, db);
    else
        kelvoInvalidationBroadcast(ep, nullptr, nullptr, 0);
}

} // namespace

void kelvoInvalidationStartup(void)
{
    kelvoSignals.sigio = replayDeferred;
    kelvoLinkCache = {kelvoReleaseAndForgetDB, kelvoContextPoll, kelvoPLinkArm};
}

void kelvoPLinkArm(kelvoPLink *p)
{
    if (!armable(p) || p->armed)
        return;
    kelvoLogDebug("%s:%d PLINK - INSTALL SIGIO (fd: %d, rdb: %lx)", KELVO_LOG_SITE, p->ctx->fd,
                  reinterpret_cast<unsigned long>(p->rdb));
    if (kelvoContextPoll(p->ctx, p->ep, p->rdb, p->lease) != 0)
        return;
    /* Bytes of a push the drain could not finish would be missed by the signal reader. */
    if (redisReaderDirty(p->ctx->reader))
        return;
    if (!p->ireader.buf && !(p->ireader.buf = static_cast<char *>(malloc(KELVO_IREADER_SIZE))))
        return;
    int fd = p->ctx->fd;
    const char *failed = nullptr;
    if (fcntl(fd, F_SETOWN, kelvoGetPid()) != 0)
        failed = "F_SETOWN";
    else if (fcntl(fd, F_SETSIG, SIGIO) != 0)
        failed = "F_SETSIG";
    else if (!setFlags(fd, O_ASYNC | O_NONBLOCK, 0))
        failed = "F_SETFL";
    if (failed) {
        warnFcntl(failed, fd);
        kelvoLeaseInvalidate(p->lease);
        return;
    }
    p->armed = 1;
    kelvoLeaseMarkArmed(p->lease);
    /* What arrived before the signal was wired would raise none. */
    readArmed(p);
}

void kelvoLinksArm(void)
{
    if (!kelvoCacheUsable() || zend_hash_num_elements(kelvoPLinks()) == 0)
        return;
    sigset_t all, old;
    if (sigfillset(&all) != 0 || sigprocmask(SIG_BLOCK, &all, &old) != 0) {
        php_error_docref(nullptr, E_WARNING, "Failed to block signals");
        kelvoLogWarning("%s:%d PLINK - Failed to block signals", KELVO_LOG_SITE);
        flagDirty();
        return;
    }
    if (!installHandler()) {
        flagDirty();
    } else {
        kelvoLogDebug("%s:%d PLINK - installing handlers for %u links", KELVO_LOG_SITE,
                      zend_hash_num_elements(kelvoPLinks()));
        void *p;
        ZEND_HASH_FOREACH_PTR(kelvoPLinks(), p) { kelvoPLinkArm(static_cast<kelvoPLink *>(p)); }
        ZEND_HASH_FOREACH_END();
    }
    if (sigprocmask(SIG_SETMASK, &old, nullptr) != 0)
        php_error_docref(nullptr, E_WARNING, "Failed to unblock signals");
}

void kelvoLinksDisarm(void)
{
    HashTable *plinks = kelvoPLinks();
    if (zend_hash_num_elements(plinks) > 0) {
        kelvoLogDebug("%s:%d PLINK - Uninstalling handlers for %u links", KELVO_LOG_SITE,
                      zend_hash_num_elements(plinks));
        std::vector<kelvoPLink *> broken;
        void *pPtr;
        ZEND_HASH_FOREACH_PTR(plinks, pPtr)
        {
            auto *p = static_cast<kelvoPLink *>(pPtr);
            if (p->pid != kelvoGetPid() || p->inUse)
                continue;
            if (p->armed)
                disarmOne(p);
            if (p->ctx->err || kelvoContextPoll(p->ctx, p->ep, p->rdb, p->lease) != 0) {
                kelvoLogDebug("%s:%d PLINK - Removing link we couldn't poll (ctx: %lx, fd: %d, ep: %lx, rdb: %lx)",
                              KELVO_LOG_SITE, reinterpret_cast<unsigned long>(p->ctx), p->ctx->fd,
                              reinterpret_cast<unsigned long>(p->ep), reinterpret_cast<unsigned long>(p->rdb));
                broken.push_back(p);
            }
        }
        ZEND_HASH_FOREACH_END();
        for (kelvoPLink *b : broken)
            kelvoPLinkClose(b);
    }
    if (kelvoRingPending())
        kelvoRingReplay(replayOne, nullptr);
}

/* --- the queue seam of the listeners ------------------------------------------------------------------ */

KELVO_SCRIPTABLE int kelvoInvalidationQueueAttach(void)
{
    /* Without the shared cache nothing is ever broadcast: a queue that nothing reaches is as good. */
    if (!kelvoCacheUsable() || !kelvoInvalidations()->queues)
        return 0;
    return kelvoQueueAttach();
}

KELVO_SCRIPTABLE void kelvoInvalidationQueueDetach(void)
{
    if (kelvoSharedData)
        kelvoQueueDetach();
}

KELVO_SCRIPTABLE bool kelvoInvalidationQueueTake(kelvoQueuedInvalidation *out)
{
    kelvoQueueItem item;
    if (!kelvoSharedData || !kelvoQueueTake(&item))
        return false;
    out->endpoint = item.ep->uri.bytes;
    out->endpointLength = item.ep->uri.length;
    out->key = item.key;
    out->keyLength = item.length;
    return true;
}
