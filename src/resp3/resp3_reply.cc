/*
 * The default reply objects: plain malloc'd redisReply trees, for readers
 * that were given no object functions of their own.
 */
#include "resp3/resp3.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace {

bool isAggregate(int type)
{
    return type == REDIS_REPLY_ARRAY || type == REDIS_REPLY_MAP || type == REDIS_REPLY_SET ||
           type == REDIS_REPLY_ATTR || type == REDIS_REPLY_PUSH;
}

/* A new reply of the task's type with `extra` bytes right behind it (its
 * text or its element pointers), attached to the parent's object when there
 * is one. One allocation per reply keeps the default objects cheap. */
redisReply *newReply(const redisReadTask *task, size_t extra)
{
    if (extra > SIZE_MAX - sizeof(redisReply))
        return nullptr;
    redisReply *r = static_cast<redisReply *>(malloc(sizeof(redisReply) + extra));
    if (!r)
        return nullptr;
    *r = redisReply{};
    r->type = task->type;
    if (task->parent) {
        redisReply *parent = static_cast<redisReply *>(task->parent->obj);
        parent->element[task->idx] = r;
    }
    return r;
}

/* A reply holding a NUL-terminated copy of the text. */
redisReply *newTextReply(const redisReadTask *task, const char *str, size_t len)
{
    redisReply *r = len < SIZE_MAX ? newReply(task, len + 1) : nullptr;
    if (!r)
        return nullptr;
    r->str = reinterpret_cast<char *>(r + 1);
    memcpy(r->str, str, len);
    r->str[len] = '\0';
    r->len = len;
    return r;
}

void *createString(const redisReadTask *task, const char *str, size_t len)
{
    if (task->type != REDIS_REPLY_VERB)
        return newTextReply(task, str, len);
    /* The reader guarantees "xxx:" in front. */
    redisReply *r = newTextReply(task, str + 4, len - 4);
    if (r)
        memcpy(r->vtype, str, 3);
    return r;
}

void *createArray(const redisReadTask *task, size_t elements)
{
    if (elements > (SIZE_MAX - sizeof(redisReply)) / sizeof(redisReply *))
        return nullptr;
    redisReply *r = newReply(task, elements * sizeof(redisReply *));
    if (!r)
        return nullptr;
    r->elements = elements;
    if (elements > 0) {
        r->element = reinterpret_cast<redisReply **>(r + 1);
        memset(r->element, 0, elements * sizeof(redisReply *));
    }
    return r;
}

void *createInteger(const redisReadTask *task, long long value)
{
    redisReply *r = newReply(task, 0);
    if (r)
        r->integer = value;
    return r;
}

void *createDouble(const redisReadTask *task, double value, const char *str, size_t len)
{
    redisReply *r = newTextReply(task, str, len);
    if (r)
        r->dval = value;
    return r;
}

void *createNil(const redisReadTask *task) { return newReply(task, 0); }

void *createBool(const redisReadTask *task, int value)
{
    redisReply *r = newReply(task, 0);
    if (r)
        r->integer = value != 0;
    return r;
}

} // namespace

const redisReplyObjectFunctions redisReplyDefaultFunctions = {
    createString, createArray, createInteger, createDouble, createNil, createBool, freeReplyObject,
};

void freeReplyObject(void *reply)
{
    redisReply *r = static_cast<redisReply *>(reply);
    if (!r)
        return;
    if (isAggregate(r->type)) {
        for (size_t i = 0; i < r->elements; i++)
            freeReplyObject(r->element[i]);
    }
    free(r);
}
