/* Best-fit heap inside the shared arena. */
#include "shm/shmalloc.h"
#include "runtime/cfgvals.h"
#include "runtime/fatal.h"
#include "runtime/log.h"

#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <sys/mman.h>
#include <unistd.h>

kelvoShArena *kelvoShArenaPtr = nullptr;

#define arena kelvoShArenaPtr

/* --- panics and small helpers ------------------------------------------------ */

[[noreturn]] __attribute__((format(printf, 4, 5))) static void heapPanic(const char *file, int line,
                                                                         const char *function, const char *format, ...)
{
    char message[512];
    va_list args;
    va_start(args, format);
    vsnprintf(message, sizeof message, format, args);
    va_end(args);
    fprintf(stderr, "%s:%d::%s() kelvo_heap_panic: %s\n", file, line, function, message);
    if (kelvoCfgVals.log_fp && kelvoLogLevelEnabled(KELVO_LL_ERROR))
        kelvoLogEx(KELVO_LL_ERROR, "%s:%d kelvo_heap_panic: %s", kelvoFileBaseName(file), line, message);
    fflush(stderr);
    kelvoLogBacktrace();
    kelvoSegfault();
}
#define kelvoHeapPanic(function, ...) heapPanic(__FILE__, __LINE__, function, __VA_ARGS__)

static char *bytes(kelvoTreeNode *node) { return reinterpret_cast<char *>(node); }
static kelvoTreeNode *nodeAt(char *at) { return reinterpret_cast<kelvoTreeNode *>(at); }
static kelvoTreeNode *nextOf(kelvoTreeNode *h) { return nodeAt(bytes(h) + KELVO_SH_HEADER + kelvoTreeSize(h)); }
static kelvoTreeNode *prevOf(kelvoTreeNode *h) { return nodeAt(bytes(h) - kelvoTreePrevSize(h) - KELVO_SH_HEADER); }
static char *dataOf(kelvoTreeNode *h) { return bytes(h) + KELVO_SH_HEADER; }

static uint64_t roundUp16(uint64_t n) { return (n + KELVO_SH_GRANULE - 1) & ~(KELVO_SH_GRANULE - 1); }

/* In-use headers carry this in `parent` (free ones have tree links there), so a
 * stale or interior pointer is told apart from a live block in O(1). */
static kelvoTreeNode *liveTag(kelvoTreeNode *h)
{
    return reinterpret_cast<kelvoTreeNode *>(reinterpret_cast<uintptr_t>(h) ^ 0x6b656c766f6c6976ull);
}

/* The top and the free byte count are also read without the allocator lock (accounting, range
 * checks): stored with release under the lock, loaded with acquire. */
template <typename T>
static T loadAcquire(const T *at)
{
    return __atomic_load_n(at, __ATOMIC_ACQUIRE);
}
template <typename T>
static void storeRelease(T *at, T value)
{
    __atomic_store_n(at, value, __ATOMIC_RELEASE);
}

static void setCurr(char *top) { storeRelease(&arena->curr, top); }
static void addFree(int64_t delta) { storeRelease(&arena->free_bytes, arena->free_bytes + delta); }

static void writeHeader(kelvoTreeNode *h, uint32_t prevsize, uint32_t size, bool isFree)
{
    kelvoAssert(size < INT32_MAX && prevsize < INT32_MAX && h != NULL);
    h->prevsize = prevsize | KELVO_TREE_HIGH_BIT;
    h->size = size | (isFree ? KELVO_TREE_HIGH_BIT : 0);
    h->left = h->right = &kelvoTreeNil;
    h->parent = isFree ? &kelvoTreeNil : liveTag(h);
}

static void takeFromTree(kelvoTreeNode *h)
{
    kelvoTreeDelete(&arena->tree, h);
    addFree(-static_cast<int64_t>(kelvoTreeSize(h)));
}

static void putInTree(kelvoTreeNode *h)
{
    h->size |= KELVO_TREE_HIGH_BIT;
    kelvoTreeInsert(&arena->tree, h);
    addFree(kelvoTreeSize(h));
}

static void markInUse(kelvoTreeNode *h)
{
    h->size &= KELVO_TREE_SIZE_MASK;
    h->left = h->right = &kelvoTreeNil;
    h->parent = liveTag(h);
}

/* --- arena set-up ----------------------------------------------------------------- */

int kelvoShInitEx(uint64_t size, uint32_t prefault, uint32_t lockKind)
{
    if (kelvoShArenaActive())
        return -1;
    long page = sysconf(_SC_PAGESIZE);
    if (page == -1)
        return -1;
    if (page <= 0 || (page & (page - 1)) != 0)
        kelvoHeapPanic(__func__, "System page size is not a power of 2: %ld", page);
    uint64_t pageSize = static_cast<uint64_t>(page);
    if (size > UINT64_MAX - pageSize)
        size = UINT64_MAX & ~(pageSize - 1);
    size = (size + pageSize - 1) & ~(pageSize - 1);
    if (size < 2 * pageSize)
        return -1;

    int flags = MAP_SHARED | MAP_ANONYMOUS | (prefault == KELVO_PREFAULT_POPULATE ? MAP_POPULATE : 0);
    void *map = mmap(nullptr, size, PROT_READ | PROT_WRITE, flags, -1, 0);
    if (map == MAP_FAILED) {
        kelvoShLog(KELVO_LL_ERROR, "mmap arena of size %zu failed: %s", static_cast<size_t>(size), strerror(errno));
        return -1;
    }
    char *base = static_cast<char *>(map);
    if (prefault == KELVO_PREFAULT_TOUCH) {
        for (uint64_t at = 0; at < size; at += pageSize)
            *reinterpret_cast<volatile char *>(base + at) = 0;
    }

    auto *header = reinterpret_cast<kelvoShArena *>(base);
    if (kelvoLockInit(&header->lock, lockKind) != 0) {
        munmap(map, size);
        return -1;
    }
    header->page_size = pageSize;
    header->end = base + size;
    kelvoTreeInit(&header->tree);
    header->free_bytes = 0;
    header->broken = 0;
    auto *top = nodeAt(base + roundUp16(pageSize));
    kelvoAssert(top != NULL && bytes(top) + KELVO_SH_HEADER <= header->end);
    top->prevsize = KELVO_TREE_HIGH_BIT;
    top->size = KELVO_TREE_HIGH_BIT;
    header->first = header->last = top;
    header->curr = dataOf(top);
    kelvoTreeInsert(&header->tree, top);
    header->base = base;
    arena = header;
    kelvoLockSetBrokenFlag(&header->broken);
    kelvoShLog(KELVO_LL_DEBUG, "Allocated %zu byte pool (head: %lx, curr: %lx, alignment: %zu)",
               static_cast<size_t>(size), reinterpret_cast<unsigned long>(base),
               reinterpret_cast<unsigned long>(header->curr), static_cast<size_t>(KELVO_SH_GRANULE));
    return 0;
}

int kelvoShInit(void)
{
    uint64_t size = kelvoCfgVals.enabled ? kelvoCfgVals.maxmemory : 0;
    if (size == 0) {
        long page = sysconf(_SC_PAGESIZE);
        size = page > 0 ? 2 * static_cast<uint64_t>(page) : 0;
    }
    return kelvoShInitEx(size, kelvoCfgVals.prefault, kelvoCfgVals.allocator_lock);
}

void kelvoShDestroy(void)
{
    if (!arena)
        return;
    char *base = arena->base, *end = arena->end;
    arena = nullptr;
    kelvoLockSetBrokenFlag(nullptr);
    if (base)
        munmap(base, end - base);
}

/* --- the core ----------------------------------------------------------------------- */

/*
 * The fast paths below change a free block's size where the tree's order
 * lets its place stay (kelvoTreeKeepsPlace): no delete, insert or rebalance.
 * A write that carves blocks off one free region, and frees that come back
 * to it one at a time, mostly take them.
 */

/* Hands out the front of free block `fit` and leaves the rest free in its place; false when that cannot be done so. */
static bool splitInPlace(kelvoTreeNode *fit, uint32_t n)
{
    uint32_t size = kelvoTreeSize(fit);
    if (size - n < KELVO_SPLIT_MIN)
        return false;
    uint32_t rest = size - n - KELVO_SH_HEADER;
    kelvoTreeNode *next = nextOf(fit);
    bool top = bytes(next) >= arena->curr;
    if ((!top && kelvoTreeIsFree(next)) || !kelvoTreeKeepsPlace(fit, rest))
        return false;
    kelvoTreeNode *remainder = nodeAt(bytes(fit) + KELVO_SH_HEADER + n);
    writeHeader(remainder, n, rest, true);
    kelvoTreeMove(&arena->tree, fit, remainder);
    kelvoTreeNodeUpdate(fit, -1, n, false);
    markInUse(fit);
    if (top)
        arena->last = remainder;
    else
        kelvoTreeNodeUpdate(next, rest, -1, true);
    addFree(-static_cast<int64_t>(n + KELVO_SH_HEADER));
    return true;
}

/* Frees h into the one free neighbour it has, which keeps its place; false when that cannot be done so. */
static bool mergeInPlace(kelvoTreeNode *h)
{
    kelvoTreeNode *prev = bytes(h) > bytes(arena->first) ? prevOf(h) : nullptr;
    kelvoTreeNode *next = nextOf(h);
    bool prevFree = prev && kelvoTreeIsFree(prev);
    bool nextFree = bytes(next) < arena->curr && kelvoTreeIsFree(next);
    if (prevFree == nextFree)
        return false;
    kelvoTreeNode *low = prevFree ? prev : h;
    char *high = bytes(nextOf(prevFree ? h : next));
    uint64_t merged = high - bytes(low) - KELVO_SH_HEADER;
    kelvoTreeNode *neighbour = prevFree ? prev : next;
    if (merged > KELVO_SH_MAX_BLOCK || !kelvoTreeKeepsPlace(neighbour, static_cast<uint32_t>(merged)))
        return false;
    uint32_t freed = kelvoTreeSize(h);
    if (prevFree) {
        kelvoTreeNodeUpdate(prev, -1, merged, true);
    } else {
        writeHeader(h, kelvoTreePrevSize(h), static_cast<uint32_t>(merged), true);
        kelvoTreeMove(&arena->tree, next, h);
    }
    if (high < arena->curr)
        kelvoTreeNodeUpdate(nodeAt(high), merged, -1, true);
    else
        arena->last = low;
    addFree(freed + KELVO_SH_HEADER);
    return true;
}

void *kelvoShMallocImpl(size_t request)
{
    kelvoAssert(kelvoShArenaActive());
    kelvoAssertLockHeld(&arena->lock);
    if (request > KELVO_SH_MAX_BLOCK)
        return nullptr;
    uint32_t n = static_cast<uint32_t>(request ? roundUp16(request) : KELVO_SH_GRANULE);

    if (kelvoTreeNode *fit = kelvoTreeBestFit(&arena->tree, n)) {
        if (splitInPlace(fit, n))
            return dataOf(fit);
        takeFromTree(fit);
        kelvoAssert(arena->free_bytes <= kelvoShActive());
        uint32_t size = kelvoTreeSize(fit);
        markInUse(fit);
        if (size - n >= KELVO_SPLIT_MIN)
            kelvoShTrimBlock(fit, size, n);
        return dataOf(fit);
    }

    kelvoTreeNode *last = arena->last;
    char *top = reinterpret_cast<char *>(roundUp16(reinterpret_cast<uintptr_t>(arena->curr)));
    kelvoAssert(last != NULL && top != NULL);
    if (kelvoTreeIsFree(last)) {
        uint64_t grow = n - kelvoTreeSize(last);
        if (grow > static_cast<uint64_t>(arena->end - top))
            return nullptr;
        takeFromTree(last);
        writeHeader(last, kelvoTreePrevSize(last), n, false);
        setCurr(top + grow);
        return dataOf(last);
    }
    if (KELVO_SH_HEADER + n > static_cast<uint64_t>(arena->end - top))
        return nullptr;
    kelvoTreeNode *block = nodeAt(top);
    writeHeader(block, kelvoTreeSize(last), n, false);
    arena->last = block;
    setCurr(top + KELVO_SH_HEADER + n);
    return dataOf(block);
}

void kelvoShTrimBlock(kelvoTreeNode *h, uint32_t size, uint32_t newSize)
{
    kelvoAssertLockHeld(&arena->lock);
    kelvoAssert(size >= newSize + KELVO_SPLIT_MIN);
    kelvoTreeNodeUpdate(h, -1, newSize, false);
    uint32_t rest = size - newSize - KELVO_SH_HEADER;
    kelvoTreeNode *remainder = nextOf(h);
    writeHeader(remainder, newSize, rest, false);
    kelvoTreeNode *next = nextOf(remainder);
    if (bytes(next) >= arena->curr)
        arena->last = remainder;
    else
        kelvoTreeNodeUpdate(next, rest, -1, true);
    kelvoShFreeBlock(remainder);
}

/* Smallest free block worth keeping after a full-size piece: a header and one granule. */
constexpr uint64_t MIN_TAIL_PIECE = KELVO_SH_HEADER + KELVO_SH_GRANULE;

void kelvoShFreeBlock(kelvoTreeNode *h)
{
    kelvoAssertLockHeld(&arena->lock);
    kelvoAssert(!kelvoTreeIsFree(h));
    if (mergeInPlace(h)) {
        kelvoAssert(arena->free_bytes <= kelvoShActive());
        return;
    }
    char *low = bytes(h);
    char *high = bytes(nextOf(h));
    while (low > bytes(arena->first)) {
        kelvoTreeNode *prev = prevOf(nodeAt(low));
        if (!kelvoTreeIsFree(prev))
            break;
        takeFromTree(prev);
        low = bytes(prev);
    }
    while (high < arena->curr) {
        kelvoTreeNode *next = nodeAt(high);
        if (!kelvoTreeIsFree(next))
            break;
        takeFromTree(next);
        high = bytes(nextOf(next));
        kelvoAssert(high <= arena->curr);
    }
    kelvoAssert(high <= arena->curr);

    /* Cut the region into blocks of at most KELVO_SH_MAX_BLOCK bytes, each
     * header on a granule, none left shorter than MIN_TAIL_PIECE. */
    uint32_t prevsize = kelvoTreePrevSize(nodeAt(low));
    char *p = low;
    kelvoTreeNode *piece = nullptr;
    for (;;) {
        uint64_t remaining = high - p;
        uint64_t data = remaining - KELVO_SH_HEADER;
        if (data > KELVO_SH_MAX_BLOCK) {
            data = KELVO_SH_MAX_BLOCK;
            uint64_t tail = remaining - KELVO_SH_HEADER - data;
            if (tail < MIN_TAIL_PIECE)
                data -= MIN_TAIL_PIECE - tail;
        }
        kelvoAssert((uintptr_t)p + KELVO_SH_HEADER + data <= (uintptr_t)high);
        piece = nodeAt(p);
        writeHeader(piece, prevsize, static_cast<uint32_t>(data), true);
        putInTree(piece);
        prevsize = static_cast<uint32_t>(data);
        p += KELVO_SH_HEADER + data;
        if (p == high)
            break;
    }
    kelvoAssert(p == high);
    if (high < arena->curr)
        kelvoTreeNodeUpdate(nodeAt(high), prevsize, -1, true);
    else
        arena->last = piece;
    kelvoAssert(arena->free_bytes <= kelvoShActive());
}

/* True when h is the header of an in-use block: tagged, and its neighbours agree on its size. */
static bool isLiveBlock(kelvoTreeNode *h)
{
    if ((reinterpret_cast<uintptr_t>(h) & (KELVO_SH_GRANULE - 1)) || h < arena->first)
        return false;
    if (kelvoTreeIsFree(h) || h->parent != liveTag(h))
        return false;
    char *next = bytes(nextOf(h));
    if (next > arena->curr)
        return false;
    if (next < arena->curr && kelvoTreePrevSize(nodeAt(next)) != kelvoTreeSize(h))
        return false;
    if (h == arena->first)
        return true;
    kelvoTreeNode *prev = prevOf(h);
    return prev >= arena->first && kelvoTreeSize(prev) == kelvoTreePrevSize(h);
}

bool kelvoShFreeImpl(void *pointer)
{
    kelvoAssertLockHeld(&arena->lock);
    kelvoTreeNode *h = kelvoShHeader(pointer);
    if (!isLiveBlock(h)) {
        kelvoShLog(KELVO_LL_ERROR, "Refusing to free %p: not a live block of the shared heap", pointer);
        return false;
    }
    h->parent = &kelvoTreeNil;
    kelvoShFreeBlock(h);
    return true;
}

/* --- entry points ----------------------------------------------------------------------- */

int kelvoShLock(void)
{
    kelvoAssert(kelvoShArenaActive());
    return kelvoLockLock(&arena->lock);
}

void kelvoShUnlock(void) { kelvoLockUnlock(&arena->lock); }

void *kelvoShMalloc(size_t size)
{
    if (kelvoShLock() != 0)
        return nullptr;
    void *result = kelvoShMallocImpl(size);
    kelvoShUnlock();
    return result;
}

void *kelvoShCalloc(size_t count, size_t size)
{
    size_t total;
    if (__builtin_mul_overflow(count, size, &total))
        return nullptr;
    void *result = kelvoShMalloc(total);
    if (result)
        memset(result, 0, total);
    return result;
}

/* Out-of-range pointers are fatal: they mean a wild pointer, not a stale one. */
static void checkRange(void *pointer, const char *function)
{
    if (!kelvoShArenaActive())
        kelvoPanic("Shared memory segment is not available");
    char *p = static_cast<char *>(pointer);
    char *low = arena->base + KELVO_SH_HEADER, *top = loadAcquire(&arena->curr);
    if (p >= low && p <= top)
        return;
    bool before = p < arena->base;
    kelvoHeapPanic(function, "Invalid pointer %p (%zu bytes %s our shared heap [%p-%p])", pointer,
                   static_cast<size_t>(before ? arena->base - p : p - arena->base), before ? "before" : "after",
                   static_cast<void *>(arena->base), static_cast<void *>(top));
}

/* Blocks an open kelvoShFreeBatch collected; a few dozen keep the lock's hold short. */
constexpr int FREE_BATCH_MAX = 64;
static void *batchedFrees[FREE_BATCH_MAX];
static int batchedCount;
static int batchDepth;

static void flushBatchedFrees(void)
{
    int count = batchedCount;
    batchedCount = 0;
    if (count == 0 || kelvoShLock() != 0)
        return;
    for (int i = 0; i < count; i++)
        kelvoShFreeImpl(batchedFrees[i]);
    kelvoShUnlock();
}

kelvoShFreeBatch::kelvoShFreeBatch() { batchDepth++; }

kelvoShFreeBatch::~kelvoShFreeBatch()
{
    if (--batchDepth == 0)
        flushBatchedFrees();
}

void kelvoShFree(void *pointer)
{
    if (!pointer)
        return;
    checkRange(pointer, "kelvoShFree");
    if (batchDepth > 0) {
        batchedFrees[batchedCount++] = pointer;
        if (batchedCount == FREE_BATCH_MAX)
            flushBatchedFrees();
        return;
    }
    if (kelvoShLock() != 0)
        return;
    kelvoShFreeImpl(pointer);
    kelvoShUnlock();
}

void *kelvoShRealloc(void *pointer, size_t size)
{
    if (!pointer)
        return kelvoShMalloc(size);
    checkRange(pointer, "kelvoShRealloc");
    if (size == 0) {
        kelvoShFree(pointer);
        return nullptr;
    }
    if (size > KELVO_SH_MAX_BLOCK || kelvoShLock() != 0)
        return nullptr;
    kelvoTreeNode *h = kelvoShHeader(pointer);
    void *result = nullptr;
    if (!isLiveBlock(h)) {
        kelvoShLog(KELVO_LL_ERROR, "Refusing to resize %p: not a live block of the shared heap", pointer);
    } else {
        uint32_t want = static_cast<uint32_t>(roundUp16(size)), have = kelvoTreeSize(h);
        if (want == have) {
            result = pointer;
        } else if (want < have && have - want >= KELVO_SPLIT_MIN) {
            kelvoShTrimBlock(h, have, want);
            result = pointer;
        } else if ((result = kelvoShMallocImpl(want))) {
            memcpy(result, pointer, have < size ? have : size);
            h->parent = &kelvoTreeNil;
            kelvoShFreeBlock(h);
        }
    }
    kelvoShUnlock();
    return result;
}

/* 71 = the heap's own pointer (8 bytes) and up to 63 bytes to the next 64-byte boundary. */
static_assert(sizeof(void *) <= 8, "the heap's own pointer fits the 8 bytes before an aligned block");

void *kelvoShMallocAligned64(size_t size)
{
    if (size > KELVO_SH_MAX_BLOCK)
        return nullptr;
    char *raw = static_cast<char *>(kelvoShMalloc(size + 71));
    if (!raw)
        return nullptr;
    char *aligned = reinterpret_cast<char *>((reinterpret_cast<uintptr_t>(raw) + 8 + 63) & ~uintptr_t{63});
    memcpy(aligned - 8, &raw, sizeof raw);
    return aligned;
}

void kelvoShFreeAligned64(void *pointer)
{
    if (!pointer)
        return;
    void *raw;
    memcpy(&raw, static_cast<char *>(pointer) - 8, sizeof raw);
    kelvoShFree(raw);
}

/* --- accounting ------------------------------------------------------------------------- */

uint64_t kelvoShSize(void)
{
    kelvoAssert(kelvoShArenaActive());
    return arena->end - arena->base;
}

uint64_t kelvoShCappedSize(void) { return kelvoShSize(); }

uint64_t kelvoShActive(void)
{
    kelvoAssert(kelvoShArenaActive());
    return loadAcquire(&arena->curr) - arena->base;
}

uint64_t kelvoShFreeBytes(void)
{
    kelvoAssert(kelvoShArenaActive());
    return loadAcquire(&arena->free_bytes);
}

uint64_t kelvoShUsed(void)
{
    /* free_bytes first: the top only grows, so the pair read in this order
     * never shows more free bytes than carved ones; clamp all the same. */
    uint64_t free = kelvoShFreeBytes();
    uint64_t active = kelvoShActive();
    return active > free ? active - free : 0;
}
