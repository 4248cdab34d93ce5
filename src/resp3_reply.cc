/*
 * The default reply objects: plain malloc'd redisReply trees, for readers
 * that were given no object functions of their own.
 */
#include "resp3.h"

#include <cstdlib>
#include <cstring>

namespace {

bool isAggregate(int type) {
    return type == REDIS_REPLY_ARRAY || type == REDIS_REPLY_MAP || type == REDIS_REPLY_SET ||
           type == REDIS_REPLY_ATTR || type == REDIS_REPLY_PUSH;
}

/* A new reply of the task's type, attached to the parent's object when there is one. */
redisReply *newReply(const redisReadTask *task) {
    redisReply *r = static_cast<redisReply *>(calloc(1, sizeof(redisReply)));
    if (!r)
        return nullptr;
    r->type = task->type;
    if (task->parent) {
        redisReply *parent = static_cast<redisReply *>(task->parent->obj);
        parent->element[task->idx] = r;
    }
    return r;
}

char *copyText(const char *str, size_t len) {
    char *copy = static_cast<char *>(malloc(len + 1));
    if (!copy)
        return nullptr;
    memcpy(copy, str, len);
    copy[len] = '\0';
    return copy;
}

/* A reply holding a copy of the text; NULL (and nothing attached) when out of memory. */
redisReply *newTextReply(const redisReadTask *task, const char *str, size_t len) {
    char *copy = copyText(str, len);
    if (!copy)
        return nullptr;
    redisReply *r = newReply(task);
    if (!r) {
        free(copy);
        return nullptr;
    }
    r->str = copy;
    r->len = len;
    return r;
}

void *createString(const redisReadTask *task, const char *str, size_t len) {
    if (task->type != REDIS_REPLY_VERB)
        return newTextReply(task, str, len);
    /* The reader guarantees "xxx:" in front. */
    redisReply *r = newTextReply(task, str + 4, len - 4);
    if (r)
        memcpy(r->vtype, str, 3);
    return r;
}

void *createArray(const redisReadTask *task, size_t elements) {
    redisReply **element = nullptr;
    if (elements > 0) {
        element = static_cast<redisReply **>(calloc(elements, sizeof(redisReply *)));
        if (!element)
            return nullptr;
    }
    redisReply *r = newReply(task);
    if (!r) {
        free(element);
        return nullptr;
    }
    r->elements = elements;
    r->element = element;
    return r;
}

void *createInteger(const redisReadTask *task, long long value) {
    redisReply *r = newReply(task);
    if (r)
        r->integer = value;
    return r;
}

void *createDouble(const redisReadTask *task, double value, const char *str, size_t len) {
    redisReply *r = newTextReply(task, str, len);
    if (r)
        r->dval = value;
    return r;
}

void *createNil(const redisReadTask *task) { return newReply(task); }

void *createBool(const redisReadTask *task, int value) {
    redisReply *r = newReply(task);
    if (r)
        r->integer = value != 0;
    return r;
}

} // namespace

const redisReplyObjectFunctions redisReplyDefaultFunctions = {
    createString, createArray, createInteger, createDouble, createNil, createBool, freeReplyObject,
};

void freeReplyObject(void *reply) {
    redisReply *r = static_cast<redisReply *>(reply);
    if (!r)
        return;
    if (isAggregate(r->type)) {
        for (size_t i = 0; i < r->elements; i++)
            freeReplyObject(r->element[i]);
        free(r->element);
    }
    free(r->str);
    free(r);
}
