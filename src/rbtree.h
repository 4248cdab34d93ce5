/*
 * The red-black tree of free heap blocks, keyed by block size.
 *
 * Owns: kelvoTreeNode (which is also the heap's block header), the tree
 * record and the sentinel kelvoTreeNil. Nodes live in the arena; the sentinel
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
    uint64_t count;
};

extern kelvoTreeNode kelvoTreeNil;

inline uint32_t kelvoTreeSize(const kelvoTreeNode *node) { return node->size & KELVO_TREE_SIZE_MASK; }
inline uint32_t kelvoTreePrevSize(const kelvoTreeNode *node) { return node->prevsize & KELVO_TREE_SIZE_MASK; }
inline bool kelvoTreeIsRed(const kelvoTreeNode *node) { return node->prevsize & KELVO_TREE_HIGH_BIT; }
inline bool kelvoTreeIsFree(const kelvoTreeNode *node) { return node->size & KELVO_TREE_HIGH_BIT; }

/* An empty tree. */
void kelvoTreeInit(kelvoTree *tree);
/* Links a node whose sizes are set; equal sizes go right. */
void kelvoTreeInsert(kelvoTree *tree, kelvoTreeNode *node);
/* Unlinks a node that is in the tree. */
void kelvoTreeDelete(kelvoTree *tree, kelvoTreeNode *node);
/* The first node (in tree order) of at least `size` bytes, or null. */
kelvoTreeNode *kelvoTreeBestFit(const kelvoTree *tree, uint32_t size);

/*
 * Rewrites a header's sizes keeping its colour: a negative value keeps that
 * size; the free bit is kept when `keepFree`, else cleared.
 */
void kelvoTreeNodeUpdate(kelvoTreeNode *node, int64_t prevsize, int64_t size, bool keepFree);

#endif
