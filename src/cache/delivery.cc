/* Invalidation delivery in the arena: removals, stale marks, the shared queues, the signal reader and the ring. */
#include "cache/delivery.h"

#include "cache/cache.h"
#include "cache/keylease.h"
#include "runtime/log.h"
#include "shm/lock.h"
#include "shm/shared.h"
#include "shm/shmalloc.h"

#include <sys/socket.h>

#include <cerrno>
#include <cstring>

namespace {

uint32_t databases(void) { return kelvoCache()->databases; }

template <typename Fn>
void forEachWrittenDB(kelvoEndpoint *ep, Fn fn)
{
    for (rdb *set = __atomic_load_n(&ep->rdbs, __ATOMIC_ACQUIRE); set; set = set->next) {
        if (__atomic_load_n(&set->writers, __ATOMIC_ACQUIRE) == 0)
            continue;
        for (uint32_t db = 0; db < databases(); db++)
            fn(set, db);
    }
}

} // namespace

unsigned kelvoEndpointRemoveKey(kelvoEndpoint *ep, const char *key, size_t length)
{
    unsigned removed = 0;
    forEachWrittenDB(ep, [&](rdb *set, uint32_t db) { removed += kelvoCacheRemove(set, db, key, length) > 0; });
    return removed;
}

unsigned kelvoEndpointMarkKeyStale(kelvoEndpoint *ep, const char *key, size_t length)
{
    unsigned marked = 0;
    forEachWrittenDB(ep, [&](rdb *set, uint32_t db) { marked += kelvoCacheMarkStale(set, db, key, length) > 0; });
    return marked;
}

void kelvoEndpointInvalidateLeases(kelvoEndpoint *ep)
{
    for (rdb *set = __atomic_load_n(&ep->rdbs, __ATOMIC_ACQUIRE); set; set = set->next)
        kelvoLeaseInvalidateDB(set);
}

/* --- shared queues ------------------------------------------------------------------------------ */

namespace {

kelvoInvalidationMessage *messageNew(kelvoEndpoint *ep, rdb *db, const char *key, size_t length)
{
    size_t bytes = sizeof(kelvoInvalidationMessage) + (key ? length + 1 : 0);
    auto *m = static_cast<kelvoInvalidationMessage *>(kelvoShMalloc(bytes));
    if (!m)
        return nullptr;
    memset(m, 0, sizeof *m);
    m->ep = ep;
    m->db = db;
    if (key) {
        m->key = reinterpret_cast<char *>(m + 1);
        memcpy(m->key, key, length);
        m->key[length] = '\0';
        m->length = uint32_t(length);
    }
    return m;
}

/* 1 appended, 0 the ring was full (overflow raised). */
int queuePush(kelvoInvalidationQueue *q, kelvoInvalidationMessage *m)
{
    kelvoQueueSlot *slots = __atomic_load_n(&q->slots, __ATOMIC_ACQUIRE);
    uint64_t pos = __atomic_load_n(&q->tail, __ATOMIC_RELAXED);
    for (;;) {
        kelvoQueueSlot *slot = &slots[pos % KELVO_QUEUE_CAPACITY];
        uint64_t sequence = __atomic_load_n(&slot->sequence, __ATOMIC_ACQUIRE);
        int64_t lag = int64_t(sequence - pos);
        if (lag == 0) {
            if (__atomic_compare_exchange_n(&q->tail, &pos, pos + 1, false, __ATOMIC_ACQ_REL, __ATOMIC_RELAXED)) {
                slot->message = m;
                __atomic_store_n(&slot->sequence, pos + 1, __ATOMIC_RELEASE);
                return 1;
            }
        } else if (lag < 0) {
            kelvoEndpoint *none = nullptr;
            __atomic_compare_exchange_n(&q->overflow, &none, m->ep, false, __ATOMIC_ACQ_REL, __ATOMIC_RELAXED);
            __atomic_store_n(&q->overflowed, 1, __ATOMIC_RELEASE);
            return 0;
        } else {
            pos = __atomic_load_n(&q->tail, __ATOMIC_RELAXED);
        }
    }
}

void oom(kelvoEndpoint *ep, rdb *db, const char *key)
{
    kelvoShLog(KELVO_LL_WARNING, "Invalidation failure (rdb: %lx, key: '%s')", reinterpret_cast<unsigned long>(db),
               key ? key : "(nil)");
    __atomic_fetch_add(&kelvoSharedStatPtr()[4], 1, __ATOMIC_RELAXED);
}

kelvoInvalidationQueue *held;
uint32_t heldBy;

/* Frees every message still in `q` (its holder is this process, or gone). */
void queueDrain(kelvoInvalidationQueue *q)
{
    if (q->taken) {
        kelvoShFree(q->taken);
        q->taken = nullptr;
    }
    kelvoQueueSlot *slots = q->slots;
    for (;;) {
        kelvoQueueSlot *slot = &slots[q->head % KELVO_QUEUE_CAPACITY];
        if (__atomic_load_n(&slot->sequence, __ATOMIC_ACQUIRE) != q->head + 1)
            break;
        kelvoShFree(slot->message);
        __atomic_store_n(&slot->sequence, q->head + KELVO_QUEUE_CAPACITY, __ATOMIC_RELEASE);
        q->head++;
    }
    __atomic_store_n(&q->overflowed, 0, __ATOMIC_RELEASE);
    __atomic_store_n(&q->overflow, nullptr, __ATOMIC_RELEASE);
}

bool queueMakeSlots(kelvoInvalidationQueue *q)
{
    if (q->slots)
        return true;
    auto *slots = static_cast<kelvoQueueSlot *>(kelvoShCalloc(KELVO_QUEUE_CAPACITY, sizeof(kelvoQueueSlot)));
    if (!slots)
        return false;
    for (uint32_t i = 0; i < KELVO_QUEUE_CAPACITY; i++)
        slots[i].sequence = i;
    q->head = q->tail = 0;
    __atomic_store_n(&q->slots, slots, __ATOMIC_RELEASE);
    return true;
}

/* Claims `q` when it is free, or held by a process that ended. */
bool queueClaim(kelvoInvalidationQueue *q)
{
    uint64_t holder = __atomic_load_n(&q->holder, __ATOMIC_ACQUIRE);
    if (holder != 0 && !kelvoHolderWordGone(holder))
        return false;
    return __atomic_compare_exchange_n(&q->holder, &holder, kelvoHolderWordMine(), false, __ATOMIC_ACQ_REL,
                                       __ATOMIC_RELAXED);
}

} // namespace

int kelvoInvalidationQueuesInit(void)
{
    kelvoSharedInvalidations *inv = kelvoInvalidations();
    size_t bytes = KELVO_INVALIDATION_QUEUES * sizeof(kelvoInvalidationQueue);
    auto *block = static_cast<kelvoInvalidationQueue *>(kelvoShMallocAligned64(bytes));
    if (!block) {
        kelvoShLog(KELVO_LL_ERROR, "Cannot allocate invalidation queues (size: %d)", int(KELVO_INVALIDATION_QUEUES));
        return -1;
    }
    memset(static_cast<void *>(block), 0, bytes);
    inv->queues = block;
    inv->queue_count = KELVO_INVALIDATION_QUEUES;
    return 0;
}

int kelvoInvalidationBroadcast(kelvoEndpoint *ep, rdb *db, const char *key, size_t length)
{
    kelvoSharedInvalidations *inv = kelvoInvalidations();
    if (!inv->queues)
        return 0;
    int reached = 0;
    for (uint64_t i = 0; i < inv->queue_count; i++) {
        kelvoInvalidationQueue *q = &inv->queues[i];
        if (__atomic_load_n(&q->users, __ATOMIC_ACQUIRE) == 0 || !__atomic_load_n(&q->slots, __ATOMIC_ACQUIRE))
            continue;
        kelvoInvalidationMessage *m = messageNew(ep, db, key, length);
        if (!m) {
            oom(ep, db, key);
            return -1;
        }
        if (!queuePush(q, m))
            kelvoShFree(m);
        reached++;
    }
    return reached;
}

kelvoInvalidationQueue *kelvoQueueHeld(void) { return heldBy == kelvoLockPid() ? held : nullptr; }

int kelvoQueueAttach(void)
{
    if (kelvoQueueHeld())
        return 0;
    held = nullptr; /* a parent's queue: never given back from here */
    kelvoSharedInvalidations *inv = kelvoInvalidations();
    if (!inv->queues)
        return -1;
    for (uint64_t i = 0; i < inv->queue_count; i++) {
        kelvoInvalidationQueue *q = &inv->queues[i];
        if (!queueClaim(q))
            continue;
        __atomic_store_n(&q->users, 0, __ATOMIC_RELEASE);
        if (!queueMakeSlots(q)) {
            __atomic_store_n(&q->holder, 0, __ATOMIC_RELEASE);
            return -1;
        }
        /* What an earlier holder left is not this process's news. */
        queueDrain(q);
        __atomic_store_n(&q->users, 1, __ATOMIC_RELEASE);
        held = q;
        heldBy = kelvoLockPid();
        return 0;
    }
    return -1;
}

unsigned kelvoQueueReapDead(void)
{
    kelvoSharedInvalidations *inv = kelvoInvalidations();
    unsigned freed = 0;
    for (uint64_t i = 0; inv->queues && i < inv->queue_count; i++) {
        kelvoInvalidationQueue *q = &inv->queues[i];
        uint64_t holder = __atomic_load_n(&q->holder, __ATOMIC_ACQUIRE);
        if (holder == 0 || uint32_t(holder) == kelvoLockPid() || !queueClaim(q))
            continue;
        __atomic_store_n(&q->users, 0, __ATOMIC_RELEASE);
        if (q->slots)
            queueDrain(q);
        __atomic_store_n(&q->holder, 0, __ATOMIC_RELEASE);
        freed++;
    }
    return freed;
}

unsigned kelvoQueueReapDeadEvery(uint64_t nowUs)
{
    uint64_t *last = &kelvoInvalidations()->gc_time;
    uint64_t seen = __atomic_load_n(last, __ATOMIC_RELAXED);
    if ((nowUs >= seen && nowUs - seen < 1000000) ||
        !__atomic_compare_exchange_n(last, &seen, nowUs, false, __ATOMIC_ACQ_REL, __ATOMIC_RELAXED))
        return 0;
    return kelvoQueueReapDead();
}

void kelvoQueueDetach(void)
{
    kelvoInvalidationQueue *q = kelvoQueueHeld();
    held = nullptr;
    if (!q)
        return;
    __atomic_store_n(&q->users, 0, __ATOMIC_RELEASE);
    queueDrain(q);
    __atomic_store_n(&q->holder, 0, __ATOMIC_RELEASE);
}

bool kelvoQueueTake(kelvoQueueItem *out)
{
    kelvoInvalidationQueue *q = kelvoQueueHeld();
    if (!q)
        return false;
    if (q->taken) {
        kelvoShFree(q->taken);
        q->taken = nullptr;
    }
    kelvoQueueSlot *slot = &q->slots[q->head % KELVO_QUEUE_CAPACITY];
    if (__atomic_load_n(&slot->sequence, __ATOMIC_ACQUIRE) == q->head + 1) {
        kelvoInvalidationMessage *m = slot->message;
        __atomic_store_n(&slot->sequence, q->head + KELVO_QUEUE_CAPACITY, __ATOMIC_RELEASE);
        q->head++;
        q->taken = m;
        *out = {m->ep, m->key, m->length};
        return true;
    }
    if (__atomic_exchange_n(&q->overflowed, 0, __ATOMIC_ACQ_REL)) {
        kelvoEndpoint *ep = __atomic_exchange_n(&q->overflow, nullptr, __ATOMIC_ACQ_REL);
        if (ep) {
            *out = {ep, nullptr, 0};
            return true;
        }
    }
    return false;
}

/* --- the signal reader -------------------------------------------------------------------------- */

void kelvoIReaderSetError(kelvoIReader *r, int code, const char *text)
{
    if (r->err)
        return;
    r->err = code;
    size_t n = strnlen(text, sizeof r->errstr - 1);
    memcpy(r->errstr, text, n);
    r->errstr[n] = '\0';
}

namespace {

constexpr char kHeader[] = ">2\r\n$10\r\ninvalidate\r\n";
constexpr size_t kHeaderLength = sizeof kHeader - 1;
/* No count or length of a valid message is longer. */
constexpr size_t kMaxLine = 24;

/* Parsing one message from [p, end). */
struct Cursor {
    const char *p;
    const char *end;
    kelvoIReader *r;

    /* A line's bytes after the type byte: 1 found, 0 incomplete, -1 error. */
    int line(const char **text, size_t *length)
    {
        for (const char *q = p; q + 1 < end; q++) {
            if (q[0] == '\r' && q[1] == '\n') {
                *text = p;
                *length = size_t(q - p);
                p = q + 2;
                return 1;
            }
            if (size_t(q - p) > kMaxLine)
                return fail("Malformed invalidation message");
        }
        return size_t(end - p) > kMaxLine + 2 ? fail("Malformed invalidation message") : 0;
    }
    int fail(const char *text)
    {
        kelvoIReaderSetError(r, 4, text);
        return -1;
    }
    /* A decimal count after the type byte: 1 with *value, -1 error. */
    int number(const char *text, size_t length, int64_t *value, const char *zeroError)
    {
        if (length > 1 && text[1] == '-')
            return fail("Invalid negative-length line item");
        if (length < 2 && zeroError)
            return fail(zeroError);
        int64_t n = 0;
        for (size_t i = 1; i < length; i++) {
            if (text[i] < '0' || text[i] > '9')
                return fail("Malformed invalidation message");
            n = n * 10 + (text[i] - '0');
        }
        if (n == 0 && zeroError)
            return fail(zeroError);
        *value = n;
        return 1;
    }
};

} // namespace

kelvoIReaderScan kelvoIReaderScanMessage(kelvoIReader *r, size_t *end, kelvoIReaderVisit *visit, void *arg)
{
    Cursor c{r->buf + r->rpos, r->buf + r->wpos, r};
    size_t have = size_t(c.end - c.p);
    if (memcmp(c.p, kHeader, have < kHeaderLength ? have : kHeaderLength) != 0)
        return (c.fail("Bad INVALIDATION header"), KELVO_IREADER_ERROR);
    if (have < kHeaderLength)
        return KELVO_IREADER_INCOMPLETE;
    c.p += kHeaderLength;
    const char *text;
    size_t length;
    int found = c.line(&text, &length);
    if (found <= 0)
        return found < 0 ? KELVO_IREADER_ERROR : KELVO_IREADER_INCOMPLETE;
    if (text[0] == '_') {
        if (length != 1)
            return (c.fail("Malformed invalidation message"), KELVO_IREADER_ERROR);
        if (visit)
            visit(arg, nullptr, 0);
        *end = size_t(c.p - r->buf);
        return KELVO_IREADER_MESSAGE;
    }
    int64_t count = 0;
    if (text[0] != '*')
        return (c.fail("Malformed invalidation message"), KELVO_IREADER_ERROR);
    if (c.number(text, length, &count, "Invalid multi-bulk length") < 0)
        return KELVO_IREADER_ERROR;
    for (int64_t i = 0; i < count; i++) {
        found = c.line(&text, &length);
        if (found <= 0)
            return found < 0 ? KELVO_IREADER_ERROR : KELVO_IREADER_INCOMPLETE;
        int64_t bulk = 0;
        if (text[0] != '$')
            return (c.fail("Malformed invalidation message"), KELVO_IREADER_ERROR);
        if (c.number(text, length, &bulk, nullptr) < 0)
            return KELVO_IREADER_ERROR;
        if (bulk > int64_t(KELVO_IREADER_SIZE))
            return (c.fail("Invalidation message exceeds reader buffer"), KELVO_IREADER_ERROR);
        if (c.end - c.p < bulk + 2)
            return KELVO_IREADER_INCOMPLETE;
        if (c.p[bulk] != '\r' || c.p[bulk + 1] != '\n')
            return (c.fail("Invalid bulk string"), KELVO_IREADER_ERROR);
        if (visit)
            visit(arg, c.p, size_t(bulk));
        c.p += bulk + 2;
    }
    *end = size_t(c.p - r->buf);
    return KELVO_IREADER_MESSAGE;
}

namespace {

/* Applies every whole message buffered: 0, or -1 on a malformed one. */
int applyBuffered(kelvoIReader *r, kelvoIReaderVisit *visit, void *arg)
{
    while (r->rpos < r->wpos) {
        size_t end = 0;
        kelvoIReaderScan scan = kelvoIReaderScanMessage(r, &end, nullptr, nullptr);
        if (scan == KELVO_IREADER_ERROR)
            return -1;
        if (scan == KELVO_IREADER_INCOMPLETE)
            break;
        kelvoIReaderScanMessage(r, &end, visit, arg);
        r->rpos = end;
    }
    if (r->rpos == r->wpos)
        r->rpos = r->wpos = 0;
    return 0;
}

void compact(kelvoIReader *r)
{
    if (r->rpos == 0)
        return;
    memmove(r->buf, r->buf + r->rpos, r->wpos - r->rpos);
    r->wpos -= r->rpos;
    r->rpos = 0;
}

} // namespace

int kelvoIReaderRun(kelvoIReader *r, int fd, kelvoIReaderVisit *visit, void *arg)
{
    if (r->err)
        return -1;
    int savedErrno = errno;
    int result = 0;
    for (;;) {
        if (applyBuffered(r, visit, arg) != 0) {
            result = -1;
            break;
        }
        if (r->wpos == KELVO_IREADER_SIZE)
            compact(r);
        if (r->wpos == KELVO_IREADER_SIZE) {
            kelvoIReaderSetError(r, 4, "Invalidation message exceeds reader buffer");
            result = -1;
            break;
        }
        ssize_t n = recv(fd, r->buf + r->wpos, KELVO_IREADER_SIZE - r->wpos, MSG_DONTWAIT);
        if (n > 0) {
            r->wpos += size_t(n);
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK))
            break;
        if (n == 0)
            kelvoIReaderSetError(r, 3, "Server closed the connection");
        else
            kelvoIReaderSetError(r, 1, strerror(errno));
        result = -1;
        break;
    }
    errno = savedErrno;
    return result;
}

/* --- the process's ring --------------------------------------------------------------------------- */

namespace {

struct RingRecord {
    kelvoEndpoint *ep;
    rdb *db;
    uint32_t length; /* UINT32_MAX: a flush */
    uint32_t size;   /* the whole record, 8-byte multiple */
};

constexpr size_t kRingBytes = size_t(1) << 20;
constexpr uint32_t kFlush = UINT32_MAX;
constexpr int kOverflowEndpoints = 8;

alignas(8) char ring[kRingBytes];
size_t ringUsed;
kelvoEndpoint *overflowed[kOverflowEndpoints];
int overflowedCount;

void noteOverflow(kelvoEndpoint *ep)
{
    for (int i = 0; i < overflowedCount; i++)
        if (overflowed[i] == ep)
            return;
    if (overflowedCount < kOverflowEndpoints)
        overflowed[overflowedCount++] = ep;
}

} // namespace

void kelvoRingRecord(kelvoEndpoint *ep, rdb *db, const char *key, size_t length)
{
    size_t size = (sizeof(RingRecord) + (key ? length : 0) + 7) & ~size_t(7);
    if (ringUsed + size > kRingBytes) {
        noteOverflow(ep);
        return;
    }
    auto *record = reinterpret_cast<RingRecord *>(ring + ringUsed);
    record->ep = ep;
    record->db = db;
    record->length = key ? uint32_t(length) : kFlush;
    record->size = uint32_t(size);
    if (key)
        memcpy(record + 1, key, length);
    ringUsed += size;
}

bool kelvoRingPending(void) { return ringUsed > 0 || overflowedCount > 0; }

void kelvoRingReplay(void (*replay)(void *arg, kelvoEndpoint *ep, rdb *db, const char *key, size_t length), void *arg)
{
    for (size_t at = 0; at < ringUsed;) {
        auto *record = reinterpret_cast<RingRecord *>(ring + at);
        if (record->length == kFlush)
            replay(arg, record->ep, record->db, nullptr, 0);
        else
            replay(arg, record->ep, record->db, reinterpret_cast<const char *>(record + 1), record->length);
        at += record->size;
    }
    ringUsed = 0;
    for (int i = 0; i < overflowedCount; i++)
        replay(arg, overflowed[i], nullptr, nullptr, 0);
    overflowedCount = 0;
}
