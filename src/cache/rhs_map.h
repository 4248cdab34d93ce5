/*
 * Hash sets in the arena: the allocator every shared ck_rhs set uses, the
 * two map operations the library lacks, and insertion that makes room first.
 *
 * Owns kelvoCacheAllocators: maps come from the shared heap with a 16-byte
 * epoch entry in front, so a map the set replaces while readers may still
 * walk it is retired to the epoch's deferred-free lists. Behind that
 * allocator sit two process-local hooks: a pending block that the next map
 * allocation returns (how a block the caller made becomes a map), and a hold
 * that keeps replaced maps back from retirement while their writer still
 * walks them.
 *
 * The library keeps its map layout private; both added operations reach it
 * only through the allocator it calls, so their sizes are the library's own.
 *
 * Locks: map allocation takes the allocator lock; every change of a set
 * happens under the lock that guards that set. Engine-free.
 */
#ifndef KELVO_RHS_MAP_H
#define KELVO_RHS_MAP_H

#include <cstddef>

#include "shm/ck_shim.h"

/* The allocator of shared sets (malloc, no realloc, free with defer). */
extern kelvoCkAllocator kelvoCacheAllocators;

/* Bytes the set's map creation asks for at `capacity` (rounded up to a power of two, at least 8). */
size_t ck_rhs_map_size(const kelvoCkRhs *set, unsigned long capacity);

/*
 * Installs `map`, a block of at least ck_rhs_map_size(set, capacity) bytes
 * from kelvoRhsMapAlloc, as the set's empty map of `capacity`; the previous
 * map goes to the set's free with defer. Cannot fail.
 */
void ck_rhs_reset_preallocated(kelvoCkRhs *set, unsigned long capacity, void *map);

/* A block shaped as the allocator makes maps (epoch entry in front), or null. */
void *kelvoRhsMapAlloc(size_t bytes);
/* Frees such a block at once (it was never reachable). */
void kelvoRhsMapFree(void *map);

/*
 * Grows the set so that `extra` more objects stay within its load factor:
 * the library grows only after an insert and ignores a failed growth, after
 * which later inserts can hide older keys. False when growth failed; the
 * caller must then not insert.
 */
bool kelvoRhsMakeRoom(kelvoCkRhs *set, unsigned long extra);
/* Inserts an absent key after making room; false when present or refused. */
bool kelvoRhsPutGrown(kelvoCkRhs *set, unsigned long hash, const void *object);
/* Inserts or replaces (`*previous` the replaced object or null); only an insert needs room. False when refused. */
bool kelvoRhsSetGrown(kelvoCkRhs *set, unsigned long hash, const void *object, void **previous);

/*
 * While one is alive, maps that sets of this process replace are held back
 * instead of retired; they are retired when it ends. A flush swaps a fresh
 * map in, walks the old one, and only then lets it go.
 */
class kelvoRhsHoldReplacedMaps {
  public:
    kelvoRhsHoldReplacedMaps();
    ~kelvoRhsHoldReplacedMaps();
    kelvoRhsHoldReplacedMaps(const kelvoRhsHoldReplacedMaps &) = delete;
    kelvoRhsHoldReplacedMaps &operator=(const kelvoRhsHoldReplacedMaps &) = delete;
};

#endif
