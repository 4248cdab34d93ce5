/*
 * Local invalidation after writes: the keys roles that read the written keys back out of a built
 * request, and the delete roles that drop their local copies. A drop marks the key's entries stale
 * in every logical database of every cached database set of the endpoint, whoever stored them and
 * under whatever patterns, and moves the key's write ticket so that a reply fetched before the
 * write is never stored after it. A queued write (no reply yet) only drops; its reply decides
 * whether the client's own listeners hear of it.
 */
#include "client/adaptive.h"
#include "cache/cache.h"
#include "commands/cmdroles.h"
#include "client/connection.h"
#include "client/listeners.h"
#include "commands/multi.h"
#include "commands/reads.h"
#include "runtime/cfgvals.h"
#include "shm/epoch.h"
#include "shm/shared.h"

#include <initializer_list>
#include <strings.h>

bool kelvoHoldOwnEvents = false;

namespace {

/* Argument i of the request as a key, when the request has it. */
void argKey(kelvoQuerySet *rqs, const rrc *req, uint64_t i)
{
    if (i < req->pos)
        kelvoQuerySetAddKeyRaw(rqs, kelvoRespCmdArg(req, i), req->args[i].len);
}

bool argIs(const rrc *req, uint64_t i, const char *word)
{
    size_t len = strlen(word);
    return i < req->pos && req->args[i].len == len && strncasecmp(kelvoRespCmdArg(req, i), word, len) == 0;
}

/* Argument i read as a count of keys; 0 when it is not one. */
uint64_t argCount(const rrc *req, uint64_t i)
{
    if (i >= req->pos)
        return 0;
    const char *text = kelvoRespCmdArg(req, i);
    uint64_t n = 0;
    for (size_t k = 0; k < req->args[i].len; k++) {
        if (text[k] < '0' || text[k] > '9' || n > req->pos)
            return 0;
        n = n * 10 + static_cast<uint64_t>(text[k] - '0');
    }
    return n;
}

/* `count` keys from argument `first` on, as far as the request goes. */
void argKeys(kelvoQuerySet *rqs, const rrc *req, uint64_t first, uint64_t count)
{
    for (uint64_t i = first; i < first + count && i < req->pos; i++)
        argKey(rqs, req, i);
}

bool isInteger(const kelvoReply *r, bool (*test)(long long))
{
    return r && r->type == KELVO_REPLY_INTEGER && test(r->v.integer);
}

void dropKey(kelvoQuerySet *rqs, robj *ro, uint32_t i, bool fire)
{
    if (i < rqs->nkeys)
        kelvoCacheDelAndFire(ro, ZSTR_VAL(rqs->keys[i]), ZSTR_LEN(rqs->keys[i]), fire ? 1 : 0);
}

void dropAll(kelvoQuerySet *rqs, robj *ro, bool fire)
{
    for (uint32_t i = 0; i < rqs->nkeys; i++)
        dropKey(rqs, ro, i, fire);
}

/* A conditional write: dropped while queued (its reply unknown), heard of only when the reply says it wrote. */
void dropAllIf(kelvoQuerySet *rqs, robj *ro, const kelvoReply *reply, bool wrote)
{
    if (!reply)
        dropAll(rqs, ro, false);
    else if (wrote)
        dropAll(rqs, ro, true);
}

bool ownListeners(const robj *ro) { return ro->opts.clientInvalidations && zend_hash_num_elements(&ro->callbacks) > 0; }

/* One own-write event: held with the batch being read, else delivered. Null key: a flush. */
void fireOwn(robj *ro, const char *key, size_t length)
{
    if (!ownListeners(ro))
        return;
    if (!kelvoHoldOwnEvents)
        return kelvoInvalidationCb(ro, key, length);
    kelvoListenersHoldOwn(ro, key, length);
}

/* Every write ticket of the endpoint moves: a flush outdates every reply in flight. */
void raiseAllTickets(kelvoEndpoint *ep)
{
    for (uint64_t i = 0; i < KELVO_ENDPOINT_TICKETS; i++)
        kelvoEndpointTicketRaise(ep, i);
}

kelvoEndpoint *endpointOf(robj *ro)
{
    if (!kelvoCacheUsable() || !ro->link.ctx)
        return nullptr;
    return kelvoLinkEndpoint(&ro->link);
}

uint32_t cachedDatabases() { return kelvoSharedData ? kelvoSharedData->cache.databases : 0; }

} // namespace

void kelvoCacheDelAndFire(robj *ro, const char *key, size_t length, int fire)
{
    kelvoEndpoint *ep = endpointOf(ro);
    if (ep && kelvoGlobalEpochInit() == 0) {
        uint64_t hash = kelvoCacheHash(key, length);
        /* The ticket first: a store that looks after this finds it moved, one before is marked below. */
        kelvoEndpointTicketRaise(ep, hash);
        if (fire && !(ro->mode & kelvoModePipeline))
            kelvoEndpointCountWrite(ep, hash);
        uint32_t databases = cachedDatabases();
        kelvoGlobalEpochBegin();
        for (rdb *set = __atomic_load_n(&ep->rdbs, __ATOMIC_ACQUIRE); set; set = set->next)
            for (uint32_t db = 0; db < databases; db++)
                kelvoCacheMarkStaleShared(set, db, key, length, hash);
        kelvoGlobalEpochEnd();
    }
    if (fire)
        fireOwn(ro, key, length);
}

/* -- keys roles -------------------------------------------------------------------------------------- */

void kelvoKeyKeys(kelvoQuerySet *rqs, rrc *req) { argKey(rqs, req, 1); }

void kelvoKeysKeys(kelvoQuerySet *rqs, rrc *req) { argKeys(rqs, req, 1, req->pos); }

void kelvoCopyKeys(kelvoQuerySet *rqs, rrc *req) { argKeys(rqs, req, 1, 2); }

/* A subcommand, then the key (XGROUP CREATE key ... MKSTREAM makes the key). */
void kelvoSubKeyKeys(kelvoQuerySet *rqs, rrc *req) { argKey(rqs, req, 2); }

/* MSET's keys sit at the odd places; a raw request with a key and no value still drops it. */
void kelvoMsetKeys(kelvoQuerySet *rqs, rrc *req)
{
    for (uint64_t i = 1; i < req->pos; i += 2)
        argKey(rqs, req, i);
}

void kelvoMsetExKeys(kelvoQuerySet *rqs, rrc *req)
{
    uint64_t n = rqs->udkind == KELVO_REQ_DATA_NUMBER ? rqs->userdata.number : 0;
    for (uint64_t i = 1; i <= n && 2 * i < req->pos; i++)
        argKey(rqs, req, 2 * i);
}

void kelvoGetEx(kelvoQuerySet *rqs, rrc *req)
{
    argKey(rqs, req, 1);
    rqs->flags |= KELVO_REQ_SINGLE;
}

/* BLPOP key [key ...] timeout: every argument but the last. */
void kelvoBlockingKeys(kelvoQuerySet *rqs, rrc *req)
{
    if (req->pos > 2)
        argKeys(rqs, req, 1, req->pos - 2);
}

/* LMPOP and ZMPOP numkeys key ...; the blocking forms have the timeout first. */
void kelvoNumKeysKeys(kelvoQuerySet *rqs, rrc *req) { argKeys(rqs, req, 2, argCount(req, 1)); }

void kelvoBlockingNumKeysKeys(kelvoQuerySet *rqs, rrc *req) { argKeys(rqs, req, 3, argCount(req, 2)); }

/* BITOP operation destkey key ...: the destination. */
void kelvoBitopKeys(kelvoQuerySet *rqs, rrc *req) { argKey(rqs, req, 2); }

/* SORT and GEORADIUS: the key after STORE or STOREDIST, when the request stores. */
void kelvoStoreOptKeys(kelvoQuerySet *rqs, rrc *req)
{
    for (uint64_t i = 2; i + 1 < req->pos; i++) {
        if (argIs(req, i, "STORE") || argIs(req, i, "STOREDIST"))
            argKey(rqs, req, i + 1);
    }
}

/* MIGRATE host port key|"" db timeout [COPY] [REPLACE] [AUTH ...] [KEYS key ...]: whatever may leave. */
void kelvoMigrateKeys(kelvoQuerySet *rqs, rrc *req)
{
    if (req->pos > 3 && req->args[3].len > 0)
        argKey(rqs, req, 3);
    for (uint64_t i = 6; i < req->pos; i++) {
        if (argIs(req, i, "KEYS")) {
            argKeys(rqs, req, i + 1, req->pos);
            return;
        }
    }
}

/* SWAPDB: both database numbers, -1 for one that is not a number. */
void kelvoGetDB2(kelvoQuerySet *rqs, rrc *req)
{
    auto number = [req](uint64_t i) -> int64_t {
        if (i >= req->pos || req->args[i].len == 0 || req->args[i].len > 10)
            return -1;
        int64_t n = 0;
        const char *text = kelvoRespCmdArg(req, i);
        for (size_t k = 0; k < req->args[i].len; k++) {
            if (text[k] < '0' || text[k] > '9')
                return -1;
            n = n * 10 + (text[k] - '0');
        }
        return n <= INT32_MAX ? n : -1;
    };
    rqs->kind = KELVO_RQS_RANGE;
    rqs->rng.start = number(1);
    rqs->rng.end = number(2);
}

/* -- delete roles ------------------------------------------------------------------------------------ */

void kelvoKeyDel(kelvoQuerySet *rqs, robj *ro, kelvoReply *reply) { dropKey(rqs, ro, 0, reply != nullptr); }

void kelvoKeysDel(kelvoQuerySet *rqs, robj *ro, kelvoReply *reply) { dropAll(rqs, ro, reply != nullptr); }

/* A count above 0; the hash-field expiry commands answer one code per field, and any code above 0
 * (a deadline set, a field expired at once) may have changed the hash. */
bool wroteSome(const kelvoReply *reply)
{
    if (reply && reply->type == KELVO_REPLY_ARRAY) {
        for (uint64_t i = 0; i < reply->elements; i++)
            if (isInteger(reply->v.element[i], [](long long n) { return n > 0; }))
                return true;
        return false;
    }
    return isInteger(reply, [](long long n) { return n > 0; });
}

void kelvoMaybeDel(kelvoQuerySet *rqs, robj *ro, kelvoReply *reply) { dropAllIf(rqs, ro, reply, wroteSome(reply)); }

void kelvoCopyDel(kelvoQuerySet *rqs, robj *ro, kelvoReply *reply)
{
    if (!reply)
        dropKey(rqs, ro, 1, false);
    else if (isInteger(reply, [](long long n) { return n != 0; }))
        dropKey(rqs, ro, 1, true);
}

void kelvoRenameDel(kelvoQuerySet *rqs, robj *ro, kelvoReply *reply)
{
    bool wrote = reply && (reply->type == KELVO_REPLY_STATUS || isInteger(reply, [](long long n) { return n == 1; }));
    dropAllIf(rqs, ro, reply, wrote);
}

void kelvoPopPushDel(kelvoQuerySet *rqs, robj *ro, kelvoReply *reply)
{
    dropAllIf(rqs, ro, reply, reply && reply->type == KELVO_REPLY_STRING);
}

/* Pops of one or more keys: a nil reply popped nothing. */
void kelvoPopDel(kelvoQuerySet *rqs, robj *ro, kelvoReply *reply)
{
    dropAllIf(rqs, ro, reply, reply && reply->type != KELVO_REPLY_NIL);
}

void kelvoMsetDel(kelvoQuerySet *rqs, robj *ro, kelvoReply *reply)
{
    dropAllIf(rqs, ro, reply, !isInteger(reply, [](long long n) { return n == 0; }));
}

void kelvoBitfieldDel(kelvoQuerySet *rqs, robj *ro, kelvoReply *reply)
{
    if ((rqs->flags & KELVO_REQ_RAW) || rqs->context != 0)
        dropKey(rqs, ro, 0, reply != nullptr);
}

void kelvoFlushDel(kelvoQuerySet *, robj *ro, kelvoReply *reply)
{
    kelvoEndpoint *ep = endpointOf(ro);
    if (ep && kelvoGlobalEpochInit() == 0) {
        raiseAllTickets(ep);
        kelvoEndpointFlushEx(ep, -1);
    }
    if (reply)
        fireOwn(ro, nullptr, 0);
}

namespace {

struct SwapDatabases {
    int64_t first, second;
};

void flushSwapped(kelvoEndpoint *ep, void *arg)
{
    const auto *swap = static_cast<const SwapDatabases *>(arg);
    raiseAllTickets(ep);
    for (int64_t db : {swap->first, swap->second})
        if (db >= 0 && static_cast<uint64_t>(db) < cachedDatabases())
            kelvoEndpointFlushEx(ep, static_cast<int32_t>(db));
}

} // namespace

/* SWAPDB moves every client's view of both databases: they are flushed in every endpoint. */
void kelvoSwapDB(kelvoQuerySet *rqs, robj *, kelvoReply *)
{
    if (!kelvoCacheUsable() || kelvoGlobalEpochInit() != 0)
        return;
    SwapDatabases swap{rqs->rng.start, rqs->rng.end};
    kelvoGlobalEpochBegin();
    kelvoEndpointForEach(flushSwapped, &swap);
    kelvoGlobalEpochEnd();
}
