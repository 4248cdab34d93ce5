/*
 * The shared-memory heap: one anonymous MAP_SHARED mapping made at module
 * start-up, inherited by every forked worker, never grown or given back.
 *
 * Owns: the arena header kelvoShArena at the start of the mapping (its first
 * page), the best-fit allocator over the size tree of free blocks (16-byte
 * granules, 32-byte headers that are the tree nodes, immediate coalescing,
 * growth from the top), and the accounting queries.
 *
 * Locks: every operation takes the arena's allocator lock (kind from
 * kelvo.locks.allocator), which defers signals; it is always the innermost
 * lock. Callers that batch allocations take it themselves (kelvoShLock) and
 * call the *Impl core. When the shared state is broken (a lock holder died)
 * every entry point refuses: allocations give null, frees do nothing.
 */
#ifndef KELVO_SHMALLOC_H
#define KELVO_SHMALLOC_H

#include <cstddef>
#include <cstdint>

#include "shm/lock.h"
#include "shm/rbtree.h"

constexpr uint64_t KELVO_SH_GRANULE = 16;
constexpr uint64_t KELVO_SH_HEADER = sizeof(kelvoTreeNode);
constexpr uint64_t KELVO_SH_MAX_BLOCK = 0x7ffffff0; // largest data size of one block
constexpr uint64_t KELVO_SPLIT_MIN = 64;            // smallest leftover worth a split

struct kelvoShArena {
    kelvoLock lock;
    /* Waiters on the lock keep its line busy; the heap's state gets its own line. */
    alignas(64) uint64_t page_size;
    char *base;
    char *curr; // end of the last block's data; only grows
    char *end;
    kelvoTreeNode *first;
    kelvoTreeNode *last;
    kelvoTree tree;
    uint64_t free_bytes; // data bytes of all free blocks
    uint32_t broken;     // raised when a lock holder of the process tree died
};
static_assert(alignof(kelvoShArena) == 64 && offsetof(kelvoShArena, page_size) % 64 == 0 &&
                  offsetof(kelvoShArena, page_size) >= sizeof(kelvoLock),
              "the allocator lock's waiters spin on lines the heap's state does not share");
static_assert(sizeof(kelvoShArena) <= 4096, "the arena header fits the first page, below the first block");

static_assert((KELVO_SH_GRANULE & (KELVO_SH_GRANULE - 1)) == 0, "granule rounding is a mask");
static_assert(KELVO_SH_HEADER % KELVO_SH_GRANULE == 0 && alignof(kelvoTreeNode) <= KELVO_SH_GRANULE,
              "a header on a granule keeps its block's data on one");
static_assert(KELVO_SH_GRANULE >= 2 * sizeof(kelvoTreeNode *), "the smallest free block holds its two ring links");
static_assert(KELVO_SH_MAX_BLOCK % KELVO_SH_GRANULE == 0 && KELVO_SH_MAX_BLOCK <= KELVO_TREE_SIZE_MASK,
              "every block size fits the 31 size bits of a header");
static_assert(KELVO_SPLIT_MIN % KELVO_SH_GRANULE == 0 && KELVO_SPLIT_MIN >= KELVO_SH_HEADER + KELVO_SH_GRANULE,
              "a split leaves a whole block: a header and at least one granule");

/* The process's arena header pointer (inherited by forks). */
extern kelvoShArena *kelvoShArenaPtr;

inline bool kelvoShArenaActive(void) { return kelvoShArenaPtr && kelvoShArenaPtr->base; }

/*
 * Maps an arena of `size` bytes (rounded up to whole pages, at least two),
 * prefaulted per kelvoPrefaultMode, with an allocator lock of `lockKind`, and
 * makes the heap's first block: 0, or -1 after an error log (mapping refused,
 * page size unreadable, too small, lock not made). Replaces no active arena.
 */
int kelvoShInitEx(uint64_t size, uint32_t prefault, uint32_t lockKind);
/* kelvoShInitEx with kelvoCfgVals: maxmemory (two pages when the cache is off), prefault, allocator_lock. */
int kelvoShInit(void);
/* Unmaps the arena and clears the arena pointer. */
void kelvoShDestroy(void);

/* At least `size` bytes, 16-byte aligned, or null. A 0-byte request gets a 16-byte block. */
void *kelvoShMalloc(size_t size);
/* Zero-filled count * size bytes, or null (also when the product overflows). */
void *kelvoShCalloc(size_t count, size_t size);
/*
 * Frees a block; null is ignored. A pointer outside the carved part of the
 * arena is a heap panic; one that is not the start of a live block (freed
 * already, or pointing into a block) is refused with an error log.
 */
void kelvoShFree(void *pointer);
/*
 * Resizes (maybe moves) a block; null pointer is kelvoShMalloc, size 0 frees
 * and gives null. On failure the result is null and the old block is intact.
 */
void *kelvoShRealloc(void *pointer, size_t size);

/*
 * A block whose start is on a 64-byte boundary, with the heap's own pointer
 * kept in the 8 bytes before it; null when out of memory. Freed only by
 * kelvoShFreeAligned64.
 */
void *kelvoShMallocAligned64(size_t size);
void kelvoShFreeAligned64(void *pointer);

/*
 * While one is alive, kelvoShFree collects blocks instead of freeing them
 * one lock at a time; they are freed together, under one lock, when the
 * collection fills or the outermost batch ends. For code that frees many
 * blocks in a row (the epoch poll's callbacks). Process-local: a batch never
 * spans a fork.
 */
class kelvoShFreeBatch {
  public:
    kelvoShFreeBatch();
    ~kelvoShFreeBatch();
    kelvoShFreeBatch(const kelvoShFreeBatch &) = delete;
    kelvoShFreeBatch &operator=(const kelvoShFreeBatch &) = delete;
};

/* Takes the allocator lock for a batch of *Impl calls: 0, or -1 (shared state broken). */
[[nodiscard]] int kelvoShLock(void);
void kelvoShUnlock(void);

/*
 * The cores below run with the allocator lock held by the caller; debug builds
 * assert it (kelvoAssertLockHeld).
 */
/* The allocation core. */
void *kelvoShMallocImpl(size_t size);
/* The free core for a pointer from kelvoShMallocImpl; false when it is not a live block. */
bool kelvoShFreeImpl(void *pointer);
/* Frees an in-use block and merges it with its free neighbours. */
void kelvoShFreeBlock(kelvoTreeNode *header);
/* Cuts an in-use block of `size` to `newSize` (size - newSize >= KELVO_SPLIT_MIN) and frees the rest. */
void kelvoShTrimBlock(kelvoTreeNode *header, uint32_t size, uint32_t newSize);

/* Accounting, read without the lock (advisory figures). */
uint64_t kelvoShSize(void);       // arena bytes
uint64_t kelvoShCappedSize(void); // arena bytes
uint64_t kelvoShActive(void);     // carved so far, header page and block headers included
uint64_t kelvoShUsed(void);       // active less free data bytes
uint64_t kelvoShFreeBytes(void);

/* The header of a block pointer (no checks). */
inline kelvoTreeNode *kelvoShHeader(void *pointer)
{
    return reinterpret_cast<kelvoTreeNode *>(static_cast<char *>(pointer) - KELVO_SH_HEADER);
}

#endif
