/*
 * The red-black tree of free heap blocks, keyed by block size.
 *
 * Owns: kelvoTreeNode (which is also the heap's block header), the tree
 * record, the sentinel kelvoTreeNil, and the rings of equal-size blocks
 * behind tree nodes. Nodes live in the arena; the sentinel
 * is a process static whose address every process of the tree shares because
 * they are all forks of the one that mapped the arena. Callers hold the
 * allocator lock.
 */
#ifndef KELVO_RBTREE_H
#define KELVO_RBTREE_H

#include <cstdint>

constexpr uint32_t KELVO_TREE_HIGH_BIT = 0x80000000u;
constexpr uint32_t KELVO_TREE_SIZE_MASK = 0x7fffffffu;

/*
 * Block header and tree node. `prevsize`: bits 0-30 the data size of the
 * block below, bit 31 the colour (1 red). `size`: bits 0-30 this block's data
 * size, bit 31 set while the block is free (in the tree).
 */
struct kelvoTreeNode {
    uint32_t prevsize;
    uint32_t size;
    kelvoTreeNode *left;
    kelvoTreeNode *right;
    kelvoTreeNode *parent;
};
static_assert(sizeof(kelvoTreeNode) == 32, "block arithmetic relies on a 32-byte header");

struct kelvoTree {
    kelvoTreeNode *root;
    uint64_t count; // free blocks, ring members included
};

extern kelvoTreeNode kelvoTreeNil;

inline uint32_t kelvoTreeSize(const kelvoTreeNode *node) { return node->size & KELVO_TREE_SIZE_MASK; }
inline uint32_t kelvoTreePrevSize(const kelvoTreeNode *node) { return node->prevsize & KELVO_TREE_SIZE_MASK; }
inline bool kelvoTreeIsRed(const kelvoTreeNode *node) { return node->prevsize & KELVO_TREE_HIGH_BIT; }
inline bool kelvoTreeIsFree(const kelvoTreeNode *node) { return node->size & KELVO_TREE_HIGH_BIT; }

/* An empty tree. */
void kelvoTreeInit(kelvoTree *tree);
/*
 * Adds a free block whose sizes are set. A size already in the tree does not
 * get a second node: the block joins the ring behind that node (linked
 * through the first 16 bytes of its data; a null parent marks it).
 */
void kelvoTreeInsert(kelvoTree *tree, kelvoTreeNode *node);
/* Removes a free block; a ring member takes the place of a tree node that leaves. */
void kelvoTreeDelete(kelvoTree *tree, kelvoTreeNode *node);
/*
 * Whether `node`, a tree node with no ring behind it, could hold `size`
 * (not 0) and keep its place: `size` lies strictly between the sizes of its
 * neighbours in the tree's order, so no other node has it.
 */
bool kelvoTreeKeepsPlace(const kelvoTreeNode *node, uint32_t size);
/*
 * `to`, a free block whose sizes are set and which is not in the tree, takes
 * the place of `from` (kelvoTreeKeepsPlace for `to`'s size), which leaves the
 * tree: a resize in O(1), with no rebalancing.
 */
void kelvoTreeMove(kelvoTree *tree, kelvoTreeNode *from, kelvoTreeNode *to);
/* A free block of the smallest size of at least `size` bytes, the earliest added of that size; or null. */
kelvoTreeNode *kelvoTreeBestFit(const kelvoTree *tree, uint32_t size);

/*
 * Rewrites a header's sizes keeping its colour: a negative value keeps that
 * size; the free bit is kept when `keepFree`, else cleared.
 */
void kelvoTreeNodeUpdate(kelvoTreeNode *node, int64_t prevsize, int64_t size, bool keepFree);

#endif
