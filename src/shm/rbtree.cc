/*
 * Red-black tree with a sentinel; the colour rides in bit 31 of prevsize.
 * Sizes are unique in the tree: further free blocks of a size wait in a ring
 * behind its tree node, so the tree stays as small as the number of distinct
 * sizes and a block of a common size goes in and out in O(1).
 */
#include "shm/rbtree.h"
#include "runtime/fatal.h"

kelvoTreeNode kelvoTreeNil = {0, 0, &kelvoTreeNil, &kelvoTreeNil, &kelvoTreeNil};

static kelvoTreeNode *const nil = &kelvoTreeNil;

static void setRed(kelvoTreeNode *n) { n->prevsize |= KELVO_TREE_HIGH_BIT; }
static void setBlack(kelvoTreeNode *n) { n->prevsize &= KELVO_TREE_SIZE_MASK; }
static void copyColour(kelvoTreeNode *to, const kelvoTreeNode *from)
{
    to->prevsize = (to->prevsize & KELVO_TREE_SIZE_MASK) | (from->prevsize & KELVO_TREE_HIGH_BIT);
}

void kelvoTreeInit(kelvoTree *tree)
{
    tree->root = nil;
    tree->count = 0;
}

static void replaceChild(kelvoTree *tree, kelvoTreeNode *parent, kelvoTreeNode *old, kelvoTreeNode *node)
{
    if (parent == nil)
        tree->root = node;
    else if (parent->left == old)
        parent->left = node;
    else
        parent->right = node;
}

/* Lifts x's `Far` child into x's place; x becomes that child's `Near` child. */
template <kelvoTreeNode *kelvoTreeNode::*Near, kelvoTreeNode *kelvoTreeNode::*Far>
static void rotate(kelvoTree *tree, kelvoTreeNode *x)
{
    kelvoTreeNode *y = x->*Far;
    x->*Far = y->*Near;
    if (y->*Near != nil)
        (y->*Near)->parent = x;
    y->parent = x->parent;
    replaceChild(tree, x->parent, x, y);
    y->*Near = x;
    x->parent = y;
}

static void rotateLeft(kelvoTree *tree, kelvoTreeNode *x)
{
    rotate<&kelvoTreeNode::left, &kelvoTreeNode::right>(tree, x);
}
static void rotateRight(kelvoTree *tree, kelvoTreeNode *x)
{
    rotate<&kelvoTreeNode::right, &kelvoTreeNode::left>(tree, x);
}

static void linkNode(kelvoTree *tree, kelvoTreeNode *node)
{
    uint32_t key = kelvoTreeSize(node);
    kelvoTreeNode *parent = nil;
    for (kelvoTreeNode *at = tree->root; at != nil; at = key < kelvoTreeSize(at) ? at->left : at->right)
        parent = at;
    node->parent = parent;
    node->left = node->right = nil;
    setRed(node);
    if (parent == nil)
        tree->root = node;
    else if (key < kelvoTreeSize(parent))
        parent->left = node;
    else
        parent->right = node;

    kelvoTreeNode *z = node;
    while (kelvoTreeIsRed(z->parent)) {
        kelvoTreeNode *p = z->parent, *g = p->parent;
        bool leftSide = p == g->left;
        kelvoTreeNode *uncle = leftSide ? g->right : g->left;
        if (kelvoTreeIsRed(uncle)) {
            setBlack(p);
            setBlack(uncle);
            setRed(g);
            z = g;
            continue;
        }
        if (z == (leftSide ? p->right : p->left)) {
            z = p;
            leftSide ? rotateLeft(tree, z) : rotateRight(tree, z);
            p = z->parent;
        }
        setBlack(p);
        setRed(g);
        leftSide ? rotateRight(tree, g) : rotateLeft(tree, g);
    }
    setBlack(tree->root);
}

static kelvoTreeNode *minimum(kelvoTreeNode *node)
{
    while (node->left != nil)
        node = node->left;
    return node;
}

/* Puts `node` where `old` was; the sentinel's parent is set too, as the fix-up needs it. */
static void transplant(kelvoTree *tree, kelvoTreeNode *old, kelvoTreeNode *node)
{
    replaceChild(tree, old->parent, old, node);
    node->parent = old->parent;
}

static void deleteFixup(kelvoTree *tree, kelvoTreeNode *x)
{
    while (x != tree->root && !kelvoTreeIsRed(x)) {
        kelvoTreeNode *p = x->parent;
        bool leftSide = x == p->left;
        kelvoTreeNode *w = leftSide ? p->right : p->left;
        if (kelvoTreeIsRed(w)) {
            setBlack(w);
            setRed(p);
            leftSide ? rotateLeft(tree, p) : rotateRight(tree, p);
            w = leftSide ? p->right : p->left;
        }
        kelvoTreeNode *nearNephew = leftSide ? w->left : w->right;
        kelvoTreeNode *farNephew = leftSide ? w->right : w->left;
        if (!kelvoTreeIsRed(nearNephew) && !kelvoTreeIsRed(farNephew)) {
            setRed(w);
            x = p;
            continue;
        }
        if (!kelvoTreeIsRed(farNephew)) {
            setBlack(nearNephew);
            setRed(w);
            leftSide ? rotateRight(tree, w) : rotateLeft(tree, w);
            w = leftSide ? p->right : p->left;
        }
        copyColour(w, p);
        setBlack(p);
        setBlack(leftSide ? w->right : w->left);
        leftSide ? rotateLeft(tree, p) : rotateRight(tree, p);
        x = tree->root;
    }
    setBlack(x);
}

static void unlinkNode(kelvoTree *tree, kelvoTreeNode *z)
{
    kelvoTreeNode *x;
    bool removedBlack = !kelvoTreeIsRed(z);
    if (z->left == nil) {
        x = z->right;
        transplant(tree, z, x);
    } else if (z->right == nil) {
        x = z->left;
        transplant(tree, z, x);
    } else {
        kelvoTreeNode *y = minimum(z->right);
        removedBlack = !kelvoTreeIsRed(y);
        x = y->right;
        if (y->parent == z) {
            x->parent = y;
        } else {
            transplant(tree, y, x);
            y->right = z->right;
            y->right->parent = y;
        }
        transplant(tree, z, y);
        y->left = z->left;
        y->left->parent = y;
        copyColour(y, z);
    }
    if (removedBlack)
        deleteFixup(tree, x);
    nil->parent = nil;
    z->left = z->right = z->parent = nil;
}

/* --- rings of equal sizes ---------------------------------------------------------- */

/* The ring links of a free block live in the first 16 bytes of its data. */
struct RingLink {
    kelvoTreeNode *next;
    kelvoTreeNode *prev;
};
static_assert(sizeof(RingLink) == 16, "ring links fit the smallest block's data");

static RingLink *ring(kelvoTreeNode *node) { return reinterpret_cast<RingLink *>(node + 1); }

/* Ring members are not in the tree; a null parent tells them apart. */
static bool inRing(const kelvoTreeNode *node) { return node->parent == nullptr; }

static kelvoTreeNode *findSize(const kelvoTree *tree, uint32_t size)
{
    kelvoTreeNode *at = tree->root;
    while (at != nil && kelvoTreeSize(at) != size)
        at = size < kelvoTreeSize(at) ? at->left : at->right;
    return at == nil ? nullptr : at;
}

/* Puts `node` into the tree in place of `old` (same size). */
static void replaceNode(kelvoTree *tree, kelvoTreeNode *old, kelvoTreeNode *node)
{
    node->left = old->left;
    node->right = old->right;
    node->parent = old->parent;
    copyColour(node, old);
    replaceChild(tree, old->parent, old, node);
    if (node->left != nil)
        node->left->parent = node;
    if (node->right != nil)
        node->right->parent = node;
}

static void unlinkFromRing(kelvoTreeNode *node)
{
    RingLink *link = ring(node);
    ring(link->prev)->next = link->next;
    ring(link->next)->prev = link->prev;
}

void kelvoTreeInsert(kelvoTree *tree, kelvoTreeNode *node)
{
    tree->count++;
    uint32_t size = kelvoTreeSize(node);
    kelvoTreeNode *head = size ? findSize(tree, size) : nullptr;
    if (!head) {
        linkNode(tree, node);
        if (size)
            *ring(node) = {node, node};
        return;
    }
    /* Last in the ring: the head, the earliest, is handed out first. */
    kelvoTreeNode *last = ring(head)->prev;
    *ring(node) = {head, last};
    ring(last)->next = node;
    ring(head)->prev = node;
    node->left = node->right = node->parent = nullptr;
}

void kelvoTreeDelete(kelvoTree *tree, kelvoTreeNode *node)
{
    kelvoAssert(tree->count > 0 && node != nil);
    tree->count--;
    if (inRing(node)) {
        unlinkFromRing(node);
        node->left = node->right = node->parent = nil;
        return;
    }
    if (kelvoTreeSize(node) == 0 || ring(node)->next == node) {
        unlinkNode(tree, node);
        return;
    }
    kelvoTreeNode *heir = ring(node)->next;
    unlinkFromRing(node);
    replaceNode(tree, node, heir);
    node->left = node->right = node->parent = nil;
}

/* The node before (`Near` = left) or after (right) `node` in the tree's order, or the sentinel. */
template <kelvoTreeNode *kelvoTreeNode::*Near, kelvoTreeNode *kelvoTreeNode::*Far>
static const kelvoTreeNode *neighbour(const kelvoTreeNode *node)
{
    if (node->*Near != nil) {
        const kelvoTreeNode *at = node->*Near;
        while (at->*Far != nil)
            at = at->*Far;
        return at;
    }
    const kelvoTreeNode *child = node, *at = node->parent;
    while (at != nil && child == at->*Near) {
        child = at;
        at = at->parent;
    }
    return at;
}

bool kelvoTreeKeepsPlace(const kelvoTreeNode *node, uint32_t size)
{
    if (size == 0 || kelvoTreeSize(node) == 0 || inRing(node) || ring(const_cast<kelvoTreeNode *>(node))->next != node)
        return false;
    const kelvoTreeNode *before = neighbour<&kelvoTreeNode::left, &kelvoTreeNode::right>(node);
    if (before != nil && kelvoTreeSize(before) >= size)
        return false;
    const kelvoTreeNode *after = neighbour<&kelvoTreeNode::right, &kelvoTreeNode::left>(node);
    return after == nil || kelvoTreeSize(after) > size;
}

void kelvoTreeMove(kelvoTree *tree, kelvoTreeNode *from, kelvoTreeNode *to)
{
    kelvoDebugAssert(kelvoTreeKeepsPlace(from, kelvoTreeSize(to)));
    if (from == to)
        return;
    replaceNode(tree, from, to);
    *ring(to) = {to, to};
    from->left = from->right = from->parent = nil;
}

kelvoTreeNode *kelvoTreeBestFit(const kelvoTree *tree, uint32_t size)
{
    kelvoTreeNode *best = nullptr;
    for (kelvoTreeNode *at = tree->root; at != nil;) {
        if (kelvoTreeSize(at) >= size) {
            best = at;
            at = at->left;
        } else {
            at = at->right;
        }
    }
    return best;
}

void kelvoTreeNodeUpdate(kelvoTreeNode *node, int64_t prevsize, int64_t size, bool keepFree)
{
    uint32_t prev = prevsize < 0 ? kelvoTreePrevSize(node) : static_cast<uint32_t>(prevsize);
    uint32_t curr = size < 0 ? kelvoTreeSize(node) : static_cast<uint32_t>(size);
    kelvoAssert(prev < INT32_MAX && curr < INT32_MAX);
    node->prevsize = prev | (node->prevsize & KELVO_TREE_HIGH_BIT);
    node->size = curr | (keepFree ? node->size & KELVO_TREE_HIGH_BIT : 0);
}
