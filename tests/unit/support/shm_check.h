// Whole-heap invariant check shared by the heap tests and benchmarks.
#ifndef KELVO_TEST_SHM_CHECK_H
#define KELVO_TEST_SHM_CHECK_H

#include <gtest/gtest.h>

#include <set>

#include "shm/shmalloc.h"

// Walks the ring of equal-size blocks behind a tree node: every member free,
// of the node's size, outside the tree, linked both ways.
inline void checkRing(const kelvoTreeNode *node, std::set<const kelvoTreeNode *> &nodes)
{
    if (kelvoTreeSize(node) == 0)
        return;
    struct Link {
        const kelvoTreeNode *next, *prev;
    };
    auto link = [](const kelvoTreeNode *n) { return reinterpret_cast<const Link *>(n + 1); };
    const kelvoTreeNode *at = node;
    do {
        const kelvoTreeNode *next = link(at)->next;
        ASSERT_EQ(link(next)->prev, at);
        if (next == node)
            break;
        EXPECT_EQ(next->parent, nullptr);
        EXPECT_TRUE(kelvoTreeIsFree(next));
        EXPECT_EQ(kelvoTreeSize(next), kelvoTreeSize(node));
        EXPECT_TRUE(nodes.insert(next).second) << "ring member reached twice";
        at = next;
    } while (nodes.size() < (1u << 26));
}

// Walks the tree: parent links, strictly ordered sizes, no red-red edge, one
// black height. Returns the black height; adds every block (rings too) to `nodes`.
inline int checkSubtree(const kelvoTreeNode *node, const kelvoTreeNode *parent, int64_t low, int64_t high,
                        std::set<const kelvoTreeNode *> &nodes)
{
    if (node == &kelvoTreeNil)
        return 1;
    EXPECT_EQ(node->parent, parent);
    EXPECT_TRUE(kelvoTreeIsFree(node));
    int64_t size = kelvoTreeSize(node);
    EXPECT_GT(size, low);
    EXPECT_LT(size, high);
    if (kelvoTreeIsRed(node)) {
        EXPECT_FALSE(kelvoTreeIsRed(node->left));
        EXPECT_FALSE(kelvoTreeIsRed(node->right));
    }
    EXPECT_TRUE(nodes.insert(node).second) << "node reached twice";
    checkRing(node, nodes);
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
    checkSubtree(a->tree.root, &kelvoTreeNil, -1, int64_t{KELVO_TREE_SIZE_MASK} + 1, inTree);
    EXPECT_EQ(inTree.size(), a->tree.count);
    EXPECT_EQ(walked, inTree);
    EXPECT_EQ(freeBytes, a->free_bytes);
    EXPECT_LE(a->free_bytes, kelvoShActive());
}

// Data bytes of the blocks in use: what a balanced test gives back, whatever the free blocks
// were split into or merged with meanwhile.
inline uint64_t inUseBytes()
{
    const kelvoShArena *a = kelvoShArenaPtr;
    uint64_t total = 0;
    for (const char *at = reinterpret_cast<const char *>(a->first); at < a->curr;) {
        auto *h = reinterpret_cast<const kelvoTreeNode *>(at);
        if (!kelvoTreeIsFree(h))
            total += kelvoTreeSize(h);
        at += KELVO_SH_HEADER + kelvoTreeSize(h);
    }
    return total;
}

#endif
