/* Reply nodes: the reader's object functions, the shared nodes, freeing. */
#include "wire/reply.h"

#include <cstring>

static constexpr kelvoReply sharedNode(uint32_t type, int64_t integer = 0)
{
    return kelvoReply{type, KELVO_REPLY_INTERNED, {0, 0, 0}, 0, 0.0, {integer}};
}

const kelvoReply kelvoNilReply = sharedNode(KELVO_REPLY_NIL);
const kelvoReply kelvoTrueReply = sharedNode(KELVO_REPLY_BOOL, 1);
const kelvoReply kelvoFalseReply = sharedNode(KELVO_REPLY_BOOL, 0);
const kelvoReply kelvoSmallIntegerReply[6] = {
    sharedNode(KELVO_REPLY_INTEGER, 0), sharedNode(KELVO_REPLY_INTEGER, 1), sharedNode(KELVO_REPLY_INTEGER, 2),
    sharedNode(KELVO_REPLY_INTEGER, 3), sharedNode(KELVO_REPLY_INTEGER, 4), sharedNode(KELVO_REPLY_INTEGER, 5),
};
const kelvoReply kelvoEmptyArrayReply = sharedNode(KELVO_REPLY_ARRAY);
const kelvoReply kelvoEmptyMapReply = sharedNode(KELVO_REPLY_MAP);

/* "OK", the status most writes answer: one permanent string, so that such a reply allocates nothing. */
alignas(zend_string) static unsigned char okBytes[_ZSTR_STRUCT_SIZE(2)];

static kelvoReply okStatusNode()
{
    auto *text = reinterpret_cast<zend_string *>(okBytes);
    GC_SET_REFCOUNT(text, 1);
    GC_TYPE_INFO(text) = GC_STRING | ((IS_STR_INTERNED | IS_STR_PERSISTENT | IS_STR_PERMANENT) << GC_FLAGS_SHIFT);
    ZSTR_H(text) = 0;
    ZSTR_LEN(text) = 2;
    memcpy(ZSTR_VAL(text), "OK", 3);
    kelvoReply node = sharedNode(KELVO_REPLY_STATUS);
    node.v.str = text;
    return node;
}

const kelvoReply kelvoOkStatusReply = okStatusNode();

const redisReplyObjectFunctions kelvoReplyObjectFunctions = {
    kelvoReplyCreateString, kelvoReplyCreateArray, kelvoReplyCreateInteger, kelvoReplyCreateDouble,
    kelvoReplyCreateNil,    kelvoReplyCreateBool,  kelvoReplyFree,
};

/* Shared nodes are read-only; the reader's interface only knows plain pointers. */
static kelvoReply *shared(const kelvoReply &node) { return const_cast<kelvoReply *>(&node); }

static kelvoReply *attach(const redisReadTask *task, kelvoReply *node)
{
    const redisReadTask *ptask = task->parent;
    if (ptask == NULL)
        return node;
    const kelvoReply *parent = static_cast<const kelvoReply *>(ptask->obj);
    kelvoAssert(parent != NULL && kelvoReplyTypeIsAggregate(parent->type) && task->idx >= 0 &&
                (size_t)task->idx < parent->elements);
    parent->v.element[task->idx] = node;
    return node;
}

static kelvoReply *newNode(uint32_t type)
{
    kelvoReply *node = static_cast<kelvoReply *>(emalloc(sizeof(kelvoReply)));
    *node = kelvoReply{type, 0, {0, 0, 0}, 0, 0.0, {0}};
    return node;
}

static zend_string *payload(const char *str, size_t len)
{
    if (len == 0)
        return ZSTR_EMPTY_ALLOC();
    if (len == 1)
        return ZSTR_CHAR(static_cast<unsigned char>(*str));
    return zend_string_init(str, len, 0);
}

void *kelvoReplyCreateString(const redisReadTask *task, const char *str, size_t len)
{
    kelvoAssert(task != NULL && str != NULL && kelvoReplyTypeIsString(task->type));
    if (task->type == KELVO_REPLY_STATUS && len == 2 && str[0] == 'O' && str[1] == 'K')
        return attach(task, shared(kelvoOkStatusReply));
    kelvoReply *node = newNode(task->type);
    if (task->type == KELVO_REPLY_VERB) {
        /* "txt:payload": the reader has checked the separator */
        kelvoAssert(len >= 4);
        memcpy(node->vtype, str, sizeof(node->vtype));
        str += 4;
        len -= 4;
    }
    node->v.str = payload(str, len);
    return attach(task, node);
}

void *kelvoReplyCreateArray(const redisReadTask *task, size_t elements)
{
    kelvoAssert(task != NULL && kelvoReplyTypeIsAggregate(task->type));
    if (elements == 0) {
        if (task->type == KELVO_REPLY_ARRAY)
            return attach(task, shared(kelvoEmptyArrayReply));
        if (task->type == KELVO_REPLY_MAP)
            return attach(task, shared(kelvoEmptyMapReply));
        return attach(task, newNode(task->type));
    }
    auto *node = static_cast<kelvoReply *>(safe_emalloc(elements, sizeof(kelvoReply *), sizeof(kelvoReply)));
    *node = kelvoReply{static_cast<uint32_t>(task->type), 0, {0, 0, 0}, elements, 0.0, {0}};
    node->v.element = reinterpret_cast<kelvoReply **>(node + 1);
    memset(node->v.element, 0, elements * sizeof(kelvoReply *));
    return attach(task, node);
}

void *kelvoReplyCreateInteger(const redisReadTask *task, long long value)
{
    kelvoAssert(task != NULL);
    if (value >= 0 && value <= 5) {
        const kelvoReply &node = kelvoSmallIntegerReply[value];
        kelvoAssert(node.flags & KELVO_REPLY_INTERNED);
        return attach(task, shared(node));
    }
    kelvoReply *node = newNode(KELVO_REPLY_INTEGER);
    node->v.integer = value;
    return attach(task, node);
}

void *kelvoReplyCreateDouble(const redisReadTask *task, double value, const char *str, size_t len)
{
    kelvoAssert(task != NULL && str != NULL);
    kelvoReply *node = newNode(KELVO_REPLY_DOUBLE);
    node->dval = value;
    node->v.str = zend_string_init(str, len, 0);
    return attach(task, node);
}

void *kelvoReplyCreateNil(const redisReadTask *task)
{
    kelvoAssert(task != NULL);
    return attach(task, shared(kelvoNilReply));
}

void *kelvoReplyCreateBool(const redisReadTask *task, int value)
{
    kelvoAssert(task != NULL);
    return attach(task, shared(value ? kelvoTrueReply : kelvoFalseReply));
}

void kelvoReplyFree(void *reply)
{
    kelvoReply *node = static_cast<kelvoReply *>(reply);
    if (node == NULL || (node->flags & KELVO_REPLY_INTERNED))
        return;
    if (kelvoReplyTypeIsAggregate(node->type)) {
        /* depth is bounded by the reader's nesting cap */
        for (uint64_t i = 0; i < node->elements; i++)
            kelvoReplyFree(node->v.element[i]);
    } else if (kelvoReplyTypeIsString(node->type) || node->type == KELVO_REPLY_DOUBLE) {
        zend_string_release(node->v.str);
    }
    efree(node);
}

void kelvoRedisContextUseKelvoReply(redisContext *c)
{
    if (c == NULL || c->reader == NULL)
        kelvoPanic("Cannot install kelvo reply reader on NULL context/reader");
    if (redisReaderDirty(c->reader))
        kelvoPanic("Cannot install kelvo reply reader on dirty reader state");
    c->reader->maxbuf = 131072;
    c->reader->fn = &kelvoReplyObjectFunctions;
}

namespace {

constexpr const char *kTypeNames[] = {"unknown", "string", "array", "integer", "nil",  "status", "error", "double",
                                      "bool",    "map",    "set",   "attr",    "push", "bignum", "verb"};

} // namespace

const char *kelvoReplyTypeName(uint32_t type)
{
    return type < sizeof(kTypeNames) / sizeof(kTypeNames[0]) ? kTypeNames[type] : "unknown";
}

const char *kelvoReplyTypeToString(const kelvoReply *reply) { return reply ? kelvoReplyTypeName(reply->type) : "NULL"; }
