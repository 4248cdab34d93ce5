// Whole-heap invariant check shared by the heap tests and benchmarks.
#ifndef KELVO_TEST_SHM_CHECK_H
#define KELVO_TEST_SHM_CHECK_H

#include <gtest/gtest.h>

#include <set>

#include "shmalloc.h"

// Walks the tree: parent links, in-order sizes, no red-red edge, one black height.
// Returns the black height; adds every node to `nodes`.
inline int checkSubtree(const kelvoTreeNode *node, const kelvoTreeNode *parent, uint32_t low, uint32_t high,
                        std::set<const kelvoTreeNode *> &nodes)
{
    if (node == &kelvoTreeNil)
        return 1;
    EXPECT_EQ(node->parent, parent);
    EXPECT_TRUE(kelvoTreeIsFree(node));
    uint32_t size = kelvoTreeSize(node);
    EXPECT_GE(size, low);
    EXPECT_LE(size, high);
    if (kelvoTreeIsRed(node)) {
        EXPECT_FALSE(kelvoTreeIsRed(node->left));
        EXPECT_FALSE(kelvoTreeIsRed(node->right));
    }
    EXPECT_TRUE(nodes.insert(node).second) << "node reached twice";
    int left = checkSubtree(node->left, node, low, size, nodes);
    int right = checkSubtree(node->right, node, size, high, nodes);
    EXPECT_EQ(left, right) << "black heights differ under size " << size;
    return left + (kelvoTreeIsRed(node) ? 0 : 1);
}

// Block walk versus tree: every block in place, free blocks exactly the tree's
// nodes, no two free neighbours, free bytes as counted.
inline void checkHeap()
{
    const kelvoShArena *a = kelvoShArenaPtr;
    ASSERT_TRUE(a && a->base);
    std::set<const kelvoTreeNode *> walked, inTree;
    uint64_t freeBytes = 0;
    uint32_t prevSize = 0;
    bool prevFree = false;
    const kelvoTreeNode *last = nullptr;
    const char *at = reinterpret_cast<const char *>(a->first);
    while (at < a->curr) {
        auto *h = reinterpret_cast<const kelvoTreeNode *>(at);
        ASSERT_EQ(reinterpret_cast<uintptr_t>(h) % 16, 0u);
        ASSERT_EQ(kelvoTreePrevSize(h), prevSize) << "at offset " << at - a->base;
        ASSERT_EQ(kelvoTreeSize(h) % 16, 0u);
        bool isFree = kelvoTreeIsFree(h);
        if (isFree) {
            // Free neighbours are only left apart when together they pass the largest block.
            EXPECT_FALSE(prevFree && prevSize + KELVO_SH_HEADER + kelvoTreeSize(h) <= KELVO_SH_MAX_BLOCK)
                << "free neighbours not merged at " << at - a->base;
            walked.insert(h);
            freeBytes += kelvoTreeSize(h);
        }
        prevFree = isFree;
        prevSize = kelvoTreeSize(h);
        last = h;
        at += KELVO_SH_HEADER + kelvoTreeSize(h);
    }
    ASSERT_EQ(at, a->curr);
    EXPECT_EQ(last, a->last);
    EXPECT_FALSE(kelvoTreeIsRed(a->tree.root));
    if (a->tree.root != &kelvoTreeNil) {
        EXPECT_EQ(a->tree.root->parent, &kelvoTreeNil);
    }
    checkSubtree(a->tree.root, &kelvoTreeNil, 0, KELVO_TREE_SIZE_MASK, inTree);
    EXPECT_EQ(inTree.size(), a->tree.count);
    EXPECT_EQ(walked, inTree);
    EXPECT_EQ(freeBytes, a->free_bytes);
    EXPECT_LE(a->free_bytes, kelvoShActive());
}

#endif
