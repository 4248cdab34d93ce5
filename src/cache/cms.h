/*
 * The count-min sketch of an endpoint: per key, how often it was read from
 * the cache and how often it was written, and the admission rule that
 * compares the two before a reply is stored.
 *
 * Owns, in the arena: the sketch header with its row pointers and its table
 * of recently counted writes (one block), and the 64-byte aligned block of
 * cells. An endpoint's sketch is published once and never freed.
 *
 * Locks: none. Counters change by locked 64-bit adds from any process (also
 * from the SIGIO handler: nothing here allocates or blocks), reads in
 * batches a process gathers first; a lazy flush
 * hands out chunks of cells by fetch-and-add on the clear cursor; the
 * write table changes one 64-bit slot by compare-and-swap. Counts read while
 * others add may or may not see those adds. Engine-free.
 *
 * Kernels: the counts and the non-zero scan exist in plain, SSE4.2 and
 * AVX-512F forms, chosen once per process tree by kelvoCmsGlobalInit; all
 * give the same results.
 */
#ifndef KELVO_CMS_H
#define KELVO_CMS_H

#include <cstddef>
#include <cstdint>

constexpr uint32_t KELVO_CMS_MAX_DEPTH = 8;
constexpr uint32_t KELVO_CMS_MIN_WIDTH = 512;
/* Cells a flush step claims with one fetch-and-add, and what each increment clears of a pending flush. */
constexpr uint32_t KELVO_CMS_FLUSH_CHUNK = 1024;
/* Slots of the table that makes each write count once. */
constexpr uint32_t KELVO_CMS_WRITE_SLOTS = 1024;

struct alignas(16) kelvoCmsCell {
    uint64_t reads;
    uint64_t writes;
};
static_assert(sizeof(kelvoCmsCell) == 16, "a kernel loads one cell as one 128-bit value");

enum kelvoCmsCounter : uint32_t {
    KELVO_CMS_READS = 0,
    KELVO_CMS_WRITES = 1,
};

struct kelvoCms {
    kelvoCmsCell **rows;  // row i starts at cell i x width of one block
    uint64_t seed;        // from the kernel's random source; mixed into every key's row indexes
    uint32_t depth;       // 1 .. KELVO_CMS_MAX_DEPTH
    uint32_t width;       // a power of two, at least KELVO_CMS_MIN_WIDTH
    uint32_t mask;        // width - 1
    uint64_t last_flush;  // wall-clock microseconds of the last flush; 0 never
    int64_t clear_cursor; // next cell of a pending lazy flush; -1 idle (compared unsigned)
    uint64_t cells;       // depth x width
    uint64_t *recent;     // KELVO_CMS_WRITE_SLOTS slots of writes counted lately
};

/* Row indexes of one key, one per row. */
struct kelvoCmsIndex {
    uint32_t at[KELVO_CMS_MAX_DEPTH];
};

/* Chooses the kernels for this processor; before the first kelvoCmsCreate (module start-up). */
void kelvoCmsGlobalInit(void);

enum kelvoCmsKernelTier : int {
    KELVO_CMS_TIER_PLAIN = 0,
    KELVO_CMS_TIER_SSE = 1,
    KELVO_CMS_TIER_AVX512 = 2,
};
/* Tests: forces one tier of kernels; false (nothing changed) when the processor lacks it. */
bool kelvoCmsForceTier(kelvoCmsKernelTier tier);

/*
 * A new sketch: depth 0 gives one row, above KELVO_CMS_MAX_DEPTH is fatal;
 * the width is rounded up to a power of two of at least 512 (2^31 at most).
 * Null when the arena is short. Fatal before kelvoCmsGlobalInit.
 */
kelvoCms *kelvoCmsCreate(uint32_t depth, uint32_t width);
/* Frees a sketch that was never published. */
void kelvoCmsFree(kelvoCms *cms);

/* The row indexes of a key from its kelvoCacheHash. */
void kelvoCmsDeriveHash(const kelvoCms *cms, kelvoCmsIndex *idx, uint64_t hash);
/* Adds 1 to one counter of the key in every row, after one step of a pending flush. */
void kelvoCmsIncr(kelvoCms *cms, const kelvoCmsIndex *idx, kelvoCmsCounter counter);
/* Adds `count` at once (nothing when it is 0). */
void kelvoCmsIncrBy(kelvoCms *cms, const kelvoCmsIndex *idx, kelvoCmsCounter counter, uint64_t count);
/* The key's counts: the minimum over the rows of each counter. */
void kelvoCmsCounts(const kelvoCms *cms, const kelvoCmsIndex *idx, uint64_t *reads, uint64_t *writes);
/* Counts of key bytes (hashed here); both 0 without a sketch. */
void kelvoCmsKeyStats(const kelvoCms *cms, uint64_t *reads, uint64_t *writes, const char *key, size_t length);
/* Cells of the first `rows` rows (1 .. depth) whose reads or writes are not 0. */
uint64_t kelvoCmsLoadFactor(const kelvoCms *cms, uint32_t rows);

/* Starts a flush: the cells are cleared lazily by later increments, or at once by kelvoCmsFlushStep. */
void kelvoCmsFlush(kelvoCms *cms, uint64_t nowUsec);
/* Clears up to `most` cells of a pending flush; how many it cleared. */
uint64_t kelvoCmsFlushStep(kelvoCms *cms, uint64_t most);

/*
 * Counts one write of a key, once whatever the number of processes whose
 * links received the invalidation of it: a key's second report within a
 * short window from a process that has not reported it yet in that window
 * is the same write arriving on another link. Signal-safe. `nowMsec` is any
 * millisecond clock shared by the processes; `reporter` the reporting
 * process's number (kelvoCmsReporter): up to KELVO_CMS_REPORTERS processes
 * reporting together are told apart exactly.
 */
void kelvoCmsCountWrite(kelvoCms *cms, uint64_t hash, uint32_t reporter, uint64_t nowMsec);
constexpr uint32_t KELVO_CMS_REPORTERS = 24;
/* This process's reporter number, drawn from the root on its first write report (signal-safe). */
uint32_t kelvoCmsReporter(void);
/* Every key of every applied invalidation push, on the endpoint's sketch if it has one: the
 * write counts once whatever the links it came on. Signal-safe. */
struct kelvoEndpoint;
void kelvoEndpointCountWrite(kelvoEndpoint *ep, uint64_t keyHash);
/*
 * Counts one read of a key (every lookup, hit or miss). The count is this
 * process's until KELVO_CMS_READ_BATCH reads of the key gather, another key
 * takes its place in the process's table, or kelvoCmsFoldReads runs (the
 * cache's periodic tasks, at most a millisecond apart, and request end):
 * a hot key read by many processes then writes the shared cells once a
 * batch instead of on every read. This process's own reads of a key are
 * added before its counts are read here (kelvoCmsKeyStats, kelvoCmsAdmit).
 * Not signal-safe: reads are counted in the request only.
 */
void kelvoCmsCountRead(kelvoCms *cms, uint64_t hash);
constexpr uint32_t KELVO_CMS_READ_BATCH = 16;
/* Adds every read this process holds to the shared cells; a forked child drops its parent's. */
void kelvoCmsFoldReads(void);

/* The admission settings of a client. */
struct kelvoAdmissionRule {
    bool enabled;
    int32_t minEvents; // never INT32_MIN: its magnitude must fit
    double minRatio;   // never NaN
    uint32_t formula;  // 0 pure, 1 scaled
};

/*
 * Whether a reply of the key may be stored: 0 store, 1 do not store. No
 * sketch, or a rule that is off, stores. Below |minEvents| events the sign
 * of minEvents decides; after that the read/write ratio (writes of 0 taken
 * as 1; scaled: raised to 1 + 0.01 ln(reads + writes + 1)) must exceed
 * minRatio. Debug lines name the key.
 */
int kelvoCmsAdmit(const kelvoCms *cms, const kelvoAdmissionRule *rule, const char *key, size_t length, uint64_t hash);
/* The ratio the rule compares with minRatio, for reads R and writes W. */
double kelvoCmsRatio(uint64_t reads, uint64_t writes, uint32_t formula);

#endif
