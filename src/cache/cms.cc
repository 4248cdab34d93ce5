/* The count-min sketch, its kernels, and the admission rule. */
#include "cache/cms.h"
#include "cache/cache.h"
#include "runtime/fatal.h"
#include "shm/lock.h"
#include "shm/shared.h"
#include "shm/shmalloc.h"

#include <immintrin.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <ctime>

namespace {

using CountsFn = void (*)(const kelvoCms *cms, const kelvoCmsIndex *idx, uint64_t *reads, uint64_t *writes);
using NonZerosFn = uint64_t (*)(const kelvoCms *cms, uint32_t rows);

CountsFn cmsCountsFn;
NonZerosFn cmsNonZerosFn;

/* --- kernels ----------------------------------------------------------------------- */

void cmsCountsStd(const kelvoCms *cms, const kelvoCmsIndex *idx, uint64_t *reads, uint64_t *writes)
{
    uint64_t r = UINT64_MAX, w = UINT64_MAX;
    for (uint32_t i = 0; i < cms->depth; i++) {
        const kelvoCmsCell &cell = cms->rows[i][idx->at[i]];
        uint64_t cr = __atomic_load_n(&cell.reads, __ATOMIC_RELAXED);
        uint64_t cw = __atomic_load_n(&cell.writes, __ATOMIC_RELAXED);
        r = cr < r ? cr : r;
        w = cw < w ? cw : w;
    }
    *reads = r;
    *writes = w;
}

/* Both minimums in one register; signed compares equal the unsigned ones below 2^63. */
__attribute__((target("sse4.2"))) void cmsCountsSse(const kelvoCms *cms, const kelvoCmsIndex *idx, uint64_t *reads,
                                                    uint64_t *writes)
{
    __m128i low = _mm_set1_epi64x(INT64_MAX);
    for (uint32_t i = 0; i < cms->depth; i++) {
        __m128i cell = _mm_load_si128(reinterpret_cast<const __m128i *>(&cms->rows[i][idx->at[i]]));
        __m128i greater = _mm_cmpgt_epi64(low, cell);
        low = _mm_blendv_epi8(low, cell, greater);
    }
    alignas(16) uint64_t out[2];
    _mm_store_si128(reinterpret_cast<__m128i *>(out), low);
    *reads = out[0];
    *writes = out[1];
}

uint64_t cmsNonZerosStd(const kelvoCms *cms, uint32_t rows)
{
    const kelvoCmsCell *cell = cms->rows[0];
    uint64_t total = uint64_t(rows) * cms->width, count = 0;
    for (uint64_t i = 0; i < total; i++)
        count += (cell[i].reads | cell[i].writes) != 0;
    return count;
}

__attribute__((target("sse4.2"))) uint64_t cmsNonZerosSse(const kelvoCms *cms, uint32_t rows)
{
    const auto *cell = reinterpret_cast<const __m128i *>(cms->rows[0]);
    uint64_t total = uint64_t(rows) * cms->width, count = 0;
    for (uint64_t i = 0; i < total; i++) {
        __m128i v = _mm_load_si128(cell + i);
        count += !_mm_testz_si128(v, v);
    }
    return count;
}

/* Four cells per load: a cell counts when either of its two lanes is not zero. */
__attribute__((target("avx512f"))) uint64_t cmsNonZerosAvx512(const kelvoCms *cms, uint32_t rows)
{
    kelvoAssert((cms->width & 3) == 0);
    const auto *cell = reinterpret_cast<const __m512i *>(cms->rows[0]);
    uint64_t loads = uint64_t(rows) * cms->width / 4, count = 0;
    for (uint64_t i = 0; i < loads; i++) {
        __m512i v = _mm512_load_si512(cell + i);
        unsigned lanes = _mm512_test_epi64_mask(v, v);
        unsigned cells = (lanes | (lanes >> 1)) & 0x55;
        count += __builtin_popcount(cells);
    }
    return count;
}

bool haveTier(kelvoCmsKernelTier tier)
{
    __builtin_cpu_init();
    switch (tier) {
    case KELVO_CMS_TIER_PLAIN:
        return true;
    case KELVO_CMS_TIER_SSE:
        return __builtin_cpu_supports("sse4.2");
    case KELVO_CMS_TIER_AVX512:
        return __builtin_cpu_supports("avx512f");
    }
    return false;
}

void useTier(kelvoCmsKernelTier tier)
{
    cmsCountsFn = tier == KELVO_CMS_TIER_PLAIN ? cmsCountsStd : cmsCountsSse;
    cmsNonZerosFn = tier == KELVO_CMS_TIER_AVX512 ? cmsNonZerosAvx512
                    : tier == KELVO_CMS_TIER_SSE  ? cmsNonZerosSse
                                                  : cmsNonZerosStd;
}

/* --- cells ------------------------------------------------------------------------- */

kelvoCmsCell *firstCell(const kelvoCms *cms) { return cms->rows[0]; }

uint64_t flushStep(kelvoCms *cms, uint64_t most)
{
    uint64_t cleared = 0;
    while (cleared < most) {
        if (uint64_t(__atomic_load_n(&cms->clear_cursor, __ATOMIC_RELAXED)) >= cms->cells)
            break;
        uint64_t want = most - cleared < KELVO_CMS_FLUSH_CHUNK ? most - cleared : KELVO_CMS_FLUSH_CHUNK;
        uint64_t start = uint64_t(__atomic_fetch_add(&cms->clear_cursor, int64_t(want), __ATOMIC_RELAXED));
        if (start >= cms->cells)
            break;
        uint64_t end = start + want < cms->cells ? start + want : cms->cells;
        /* Plain stores: an add racing with the clear of its cell may be lost, and that is fine. */
        memset(static_cast<void *>(firstCell(cms) + start), 0, (end - start) * sizeof(kelvoCmsCell));
        cleared += end - start;
    }
    return cleared;
}

void addToRows(kelvoCms *cms, const kelvoCmsIndex *idx, kelvoCmsCounter counter, uint64_t count)
{
    kelvoAssert(cms != NULL && cms->depth <= KELVO_CMS_MAX_DEPTH);
    flushStep(cms, KELVO_CMS_FLUSH_CHUNK);
    for (uint32_t i = 0; i < cms->depth; i++) {
        kelvoCmsCell &cell = cms->rows[i][idx->at[i]];
        __atomic_fetch_add(counter == KELVO_CMS_WRITES ? &cell.writes : &cell.reads, count, __ATOMIC_RELAXED);
    }
}

uint32_t roundWidth(uint32_t width)
{
    if (width & 0x80000000u)
        return 0x80000000u;
    if (width < KELVO_CMS_MIN_WIDTH)
        width = KELVO_CMS_MIN_WIDTH;
    return uint32_t(1) << (32 - __builtin_clz(width - 1));
}

uint64_t sketchSeed(void)
{
    uint64_t seed = 0;
    if (kelvoKernelRandom(&seed, sizeof seed) == 0)
        return seed;
    /* Still unknown outside the process tree: the shared seed came from the kernel. */
    return kelvoSharedData ? kelvoCache()->seed * 0x9E3779B97F4A7C15ull : 0;
}

/* --- the write table --------------------------------------------------------------- */

/*
 * A slot: key tag (24 bits) | milliseconds (16 bits) | processes that reported it (24 bits).
 * The window spans how late a busy worker may read an invalidation that reached the others.
 */
constexpr uint64_t WRITE_WINDOW_MSEC = 250;

uint64_t slotTag(uint64_t slot) { return slot >> 40; }
uint64_t slotTime(uint64_t slot) { return (slot >> 24) & 0xFFFF; }
uint64_t slotSeen(uint64_t slot) { return slot & 0xFFFFFF; }
uint64_t makeSlot(uint64_t tag, uint64_t msec, uint64_t seen)
{
    return (tag & 0xFFFFFF) << 40 | (msec & 0xFFFF) << 24 | (seen & 0xFFFFFF);
}

/* True when this report is a new write; the slot then records it. */
bool claimWrite(uint64_t *slot, uint64_t hash, uint32_t reporter, uint64_t nowMsec)
{
    uint64_t tag = (hash >> 40) & 0xFFFFFF, bit = uint64_t(1) << (reporter % KELVO_CMS_REPORTERS);
    uint64_t old = __atomic_load_n(slot, __ATOMIC_RELAXED);
    for (;;) {
        bool recent = old != 0 && slotTag(old) == tag && ((nowMsec - slotTime(old)) & 0xFFFF) < WRITE_WINDOW_MSEC;
        /* A process reports each write once per link: a second report of its own is a new write. */
        bool echo = recent && !(slotSeen(old) & bit);
        uint64_t next = echo ? old | bit : makeSlot(tag, nowMsec, bit);
        if (__atomic_compare_exchange_n(slot, &old, next, false, __ATOMIC_RELAXED, __ATOMIC_RELAXED))
            return !echo;
    }
}

} // namespace

/* --- set-up ---------------------------------------------------------------------------- */

void kelvoCmsGlobalInit(void)
{
    useTier(haveTier(KELVO_CMS_TIER_AVX512) ? KELVO_CMS_TIER_AVX512
            : haveTier(KELVO_CMS_TIER_SSE)  ? KELVO_CMS_TIER_SSE
                                            : KELVO_CMS_TIER_PLAIN);
}

bool kelvoCmsForceTier(kelvoCmsKernelTier tier)
{
    if (!haveTier(tier))
        return false;
    useTier(tier);
    return true;
}

kelvoCms *kelvoCmsCreate(uint32_t depth, uint32_t width)
{
    if (depth > KELVO_CMS_MAX_DEPTH)
        kelvoPanic("CMS depth of %u is > the max depth of %u", depth, KELVO_CMS_MAX_DEPTH);
    if (!cmsCountsFn)
        kelvoPanic("kelvoCmsGlobalInit() was not called");
    uint32_t rows = depth ? depth : 1;
    width = roundWidth(width);
    uint64_t cells = uint64_t(rows) * width;
    size_t head = sizeof(kelvoCms) + KELVO_CMS_MAX_DEPTH * sizeof(kelvoCmsCell *);
    auto *block = static_cast<char *>(kelvoShCalloc(1, head + KELVO_CMS_WRITE_SLOTS * sizeof(uint64_t)));
    if (!block)
        return nullptr;
    if (cells > SIZE_MAX / sizeof(kelvoCmsCell)) {
        kelvoShFree(block);
        return nullptr;
    }
    auto *cell = static_cast<kelvoCmsCell *>(kelvoShMallocAligned64(cells * sizeof(kelvoCmsCell)));
    if (!cell) {
        kelvoShFree(block);
        return nullptr;
    }
    memset(static_cast<void *>(cell), 0, cells * sizeof(kelvoCmsCell));
    auto *cms = reinterpret_cast<kelvoCms *>(block);
    cms->rows = reinterpret_cast<kelvoCmsCell **>(block + sizeof(kelvoCms));
    for (uint32_t i = 0; i < rows; i++)
        cms->rows[i] = cell + uint64_t(i) * width;
    cms->recent = reinterpret_cast<uint64_t *>(block + head);
    cms->seed = sketchSeed();
    cms->depth = rows;
    cms->width = width;
    cms->mask = width - 1;
    cms->clear_cursor = -1;
    cms->cells = cells;
    return cms;
}

/* --- reads, counted per process and added in batches ------------------------------------------ */

namespace {

/* Reads of one key this process counted and has not yet added to the shared rows. */
struct PendingReads {
    kelvoCms *cms;
    uint64_t hash;
    uint32_t count;
};
constexpr uint32_t kPendingSlots = 256;
PendingReads pendingReads[kPendingSlots];
/* Where the table's counts were made: a forked child's copy is its parent's, and the sketches of
 * another arena (a test's earlier one) are gone. */
uint32_t pendingPid;
uint64_t pendingArena;
bool pendingAny; /* a slot may hold reads: without the adaptive cache the periodic fold costs a test */

PendingReads &pendingSlot(const kelvoCms *cms, uint64_t hash)
{
    auto mix = hash ^ (reinterpret_cast<uintptr_t>(cms) >> 6);
    return pendingReads[mix & (kPendingSlots - 1)];
}

bool pendingOwned(void)
{
    uint32_t pid = kelvoLockPid();
    uint64_t arena = kelvoSharedData ? kelvoCache()->seed : 0;
    if (pendingPid == pid && pendingArena == arena && arena != 0)
        return true;
    memset(pendingReads, 0, sizeof pendingReads);
    pendingPid = pid;
    pendingArena = arena;
    pendingAny = false;
    return false;
}

void foldSlot(PendingReads &p)
{
    if (p.count == 0)
        return;
    kelvoCmsIndex idx;
    kelvoCmsDeriveHash(p.cms, &idx, p.hash);
    kelvoCmsIncrBy(p.cms, &idx, KELVO_CMS_READS, p.count);
    p.count = 0;
}

/* Adds what this process holds of one key before its counts are read here. */
void foldKey(const kelvoCms *cms, uint64_t hash)
{
    PendingReads &p = pendingSlot(cms, hash);
    if (p.cms == cms && p.hash == hash && pendingOwned())
        foldSlot(p);
}

} // namespace

void kelvoCmsFree(kelvoCms *cms)
{
    if (!cms)
        return;
    for (PendingReads &p : pendingReads)
        if (p.cms == cms)
            p = {};
    kelvoShFreeAligned64(cms->rows[0]);
    kelvoShFree(cms);
}

/* --- counting ---------------------------------------------------------------------------- */

void kelvoCmsDeriveHash(const kelvoCms *cms, kelvoCmsIndex *idx, uint64_t hash)
{
    uint32_t lo = uint32_t(hash) ^ uint32_t(cms->seed);
    /* Odd, so that with a power-of-two width the rows never fall on one cell. */
    uint32_t hi = (uint32_t(hash >> 32) ^ uint32_t(cms->seed >> 32)) | 1;
    for (uint32_t i = 0; i < cms->depth; i++)
        idx->at[i] = (lo + i * hi) & cms->mask;
}

void kelvoCmsIncr(kelvoCms *cms, const kelvoCmsIndex *idx, kelvoCmsCounter counter) { addToRows(cms, idx, counter, 1); }

void kelvoCmsIncrBy(kelvoCms *cms, const kelvoCmsIndex *idx, kelvoCmsCounter counter, uint64_t count)
{
    if (count != 0)
        addToRows(cms, idx, counter, count);
}

void kelvoCmsCounts(const kelvoCms *cms, const kelvoCmsIndex *idx, uint64_t *reads, uint64_t *writes)
{
    kelvoAssert(cms != NULL && idx != NULL && reads != NULL && writes != NULL && cmsCountsFn != NULL);
    cmsCountsFn(cms, idx, reads, writes);
}

void kelvoCmsKeyStats(const kelvoCms *cms, uint64_t *reads, uint64_t *writes, const char *key, size_t length)
{
    kelvoAssert(key != NULL && reads != NULL && writes != NULL);
    *reads = *writes = 0;
    if (!cms)
        return;
    uint64_t hash = kelvoCacheHash(key, length);
    foldKey(cms, hash);
    kelvoCmsIndex idx;
    kelvoCmsDeriveHash(cms, &idx, hash);
    kelvoCmsCounts(cms, &idx, reads, writes);
}

uint64_t kelvoCmsLoadFactor(const kelvoCms *cms, uint32_t rows)
{
    kelvoAssert(cms != NULL && rows > 0 && rows <= cms->depth && cmsNonZerosFn != NULL);
    return cmsNonZerosFn(cms, rows);
}

void kelvoCmsFlush(kelvoCms *cms, uint64_t nowUsec)
{
    kelvoAssert(cms != NULL);
    __atomic_store_n(&cms->last_flush, nowUsec, __ATOMIC_RELAXED);
    __atomic_store_n(&cms->clear_cursor, 0, __ATOMIC_RELEASE);
}

uint64_t kelvoCmsFlushStep(kelvoCms *cms, uint64_t most)
{
    kelvoAssert(cms != NULL);
    return flushStep(cms, most);
}

uint32_t kelvoCmsReporter(void)
{
    /* Numbered in turn rather than by process id: workers running together get distinct bits. */
    static uint32_t number, owner;
    uint32_t pid = kelvoLockPid();
    if (owner != pid && kelvoSharedData) {
        number = __atomic_fetch_add(&kelvoSharedData->periodic.reporters, 1, __ATOMIC_RELAXED);
        owner = pid;
    }
    return number;
}

void kelvoEndpointCountWrite(kelvoEndpoint *ep, uint64_t keyHash)
{
    if (!ep)
        return;
    if (kelvoCms *cms = __atomic_load_n(&ep->cms, __ATOMIC_ACQUIRE)) {
        struct timespec ts;
        clock_gettime(CLOCK_MONOTONIC, &ts);
        kelvoCmsCountWrite(cms, keyHash, kelvoCmsReporter(),
                           uint64_t(ts.tv_sec) * 1000 + uint64_t(ts.tv_nsec) / 1000000);
    }
}

void kelvoCmsCountWrite(kelvoCms *cms, uint64_t hash, uint32_t reporter, uint64_t nowMsec)
{
    if (!claimWrite(&cms->recent[hash & (KELVO_CMS_WRITE_SLOTS - 1)], hash, reporter, nowMsec))
        return;
    kelvoCmsIndex idx;
    kelvoCmsDeriveHash(cms, &idx, hash);
    kelvoCmsIncr(cms, &idx, KELVO_CMS_WRITES);
}

void kelvoCmsCountRead(kelvoCms *cms, uint64_t hash)
{
    PendingReads &p = pendingSlot(cms, hash);
    if (p.cms == cms && p.hash == hash && p.count > 0) {
        if (++p.count >= KELVO_CMS_READ_BATCH && pendingOwned())
            foldSlot(p);
        return;
    }
    /* A new key takes the slot: what it held goes to its own sketch, and the table is claimed for
     * this process and arena when it was not yet. */
    if (pendingOwned())
        foldSlot(p);
    p = {cms, hash, 1};
    pendingAny = true;
}

void kelvoCmsFoldReads(void)
{
    if (!pendingAny || !pendingOwned())
        return;
    for (PendingReads &p : pendingReads)
        foldSlot(p);
    pendingAny = false;
}

/* --- admission ------------------------------------------------------------------------------ */

double kelvoCmsRatio(uint64_t reads, uint64_t writes, uint32_t formula)
{
    uint64_t w = writes ? writes : 1;
    double ratio = double(reads) / double(w);
    switch (formula) {
    case 0:
        return ratio;
    case 1:
        return pow(ratio, 1.0 + 0.01 * log(double(reads + w + 1)));
    }
    kelvoUnreachable();
}

int kelvoCmsAdmit(const kelvoCms *cms, const kelvoAdmissionRule *rule, const char *key, size_t length, uint64_t hash)
{
    if (!cms)
        return 0;
    foldKey(cms, hash);
    kelvoCmsIndex idx;
    kelvoCmsDeriveHash(cms, &idx, hash);
    uint64_t reads, writes;
    kelvoCmsCounts(cms, &idx, &reads, &writes);
    if (!rule->enabled)
        return 0;
    uint64_t events = reads + writes;
    uint64_t least = uint64_t(rule->minEvents < 0 ? -int64_t(rule->minEvents) : int64_t(rule->minEvents));
    if (events < least) {
        kelvoShLog(KELVO_LL_DEBUG, "SCACHE - SKIP '%.*s' (enabled: %s , events: %lu)", int(length), key, "true",
                   static_cast<unsigned long>(events));
        return rule->minEvents < 0 ? 1 : 0;
    }
    double ratio = kelvoCmsRatio(reads, writes, rule->formula);
    if (ratio > rule->minRatio) {
        kelvoShLog(KELVO_LL_DEBUG, "SCACHE - STORE '%.*s' (%.4f)", int(length), key, ratio);
        return 0;
    }
    kelvoShLog(KELVO_LL_DEBUG, "SCACHE - FILTER '%.*s' (%.4f)", int(length), key, ratio);
    return 1;
}
