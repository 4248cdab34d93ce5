// The RESP3 reader on arbitrary bytes. Input: one byte seeding the chunk
// sizes, one byte naming an object-function call that fails (0: none), one
// byte of limit switches, then the stream. The stream is read whole and in
// chunks; both must give the same replies and the same error code. Leaks,
// overflows and undefined behaviour are caught by the sanitizers.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "resp3/resp3.h"

namespace {

int callsLeft; // object-function calls until the failing one; < 0: none fails

bool failNow() { return callsLeft >= 0 && callsLeft-- == 0; }

void *createString(const redisReadTask *t, const char *s, size_t n)
{
    return failNow() ? nullptr : redisReplyDefaultFunctions.createString(t, s, n);
}
void *createArray(const redisReadTask *t, size_t n)
{
    return failNow() ? nullptr : redisReplyDefaultFunctions.createArray(t, n);
}
void *createInteger(const redisReadTask *t, long long v)
{
    return failNow() ? nullptr : redisReplyDefaultFunctions.createInteger(t, v);
}
void *createDouble(const redisReadTask *t, double v, const char *s, size_t n)
{
    return failNow() ? nullptr : redisReplyDefaultFunctions.createDouble(t, v, s, n);
}
void *createNil(const redisReadTask *t) { return failNow() ? nullptr : redisReplyDefaultFunctions.createNil(t); }
void *createBool(const redisReadTask *t, int v)
{
    return failNow() ? nullptr : redisReplyDefaultFunctions.createBool(t, v);
}

const redisReplyObjectFunctions kFailing = {createString, createArray, createInteger,  createDouble,
                                            createNil,    createBool,  freeReplyObject};

void describe(const redisReply *r, std::string *out)
{
    char buf[64];
    snprintf(buf, sizeof buf, "(%d %lld %zu %zu ", r->type, r->integer, r->len, r->elements);
    *out += buf;
    if (r->str)
        out->append(r->str, r->len);
    if (r->type == REDIS_REPLY_DOUBLE && r->dval == r->dval) {
        snprintf(buf, sizeof buf, " %a", r->dval);
        *out += buf;
    }
    for (size_t i = 0; i < r->elements; i++)
        describe(r->element[i], out);
    *out += ")";
}

struct Outcome {
    std::string replies;
    int err = 0;
};

void drain(redisReader *r, Outcome *o)
{
    for (;;) {
        void *reply = nullptr;
        if (redisReaderGetReply(r, &reply) != REDIS_OK) {
            o->err = r->err;
            return;
        }
        if (!reply)
            return;
        describe(static_cast<redisReply *>(reply), &o->replies);
        freeReplyObject(reply);
    }
}

Outcome run(const uint8_t *data, size_t size, uint8_t seed, uint8_t failAt, uint8_t limits, bool chunked)
{
    callsLeft = failAt ? failAt - 1 : -1;
    redisReader *r = redisReaderCreateWithFunctions(&kFailing);
    if (limits & 1)
        r->maxframe = 256;
    if (limits & 2)
        r->maxelements = 3;
    if (limits & 4)
        r->maxbuf = 0;
    Outcome o;
    uint32_t state = seed * 2654435761u + 1;
    size_t at = 0;
    while (at < size && !o.err) {
        size_t n = size - at;
        if (chunked) {
            state = state * 1103515245u + 12345u;
            n = std::min(n, size_t(1 + (state >> 16) % 17));
        }
        if (redisReaderFeed(r, reinterpret_cast<const char *>(data + at), n) != REDIS_OK) {
            o.err = r->err;
            break;
        }
        at += n;
        drain(r, &o);
    }
    redisReaderFree(r);
    return o;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 3)
        return 0;
    Outcome whole = run(data + 3, size - 3, data[0], data[1], data[2], false);
    Outcome split = run(data + 3, size - 3, data[0], data[1], data[2], true);
    // A failing object function counts calls, which differ with the split
    // only when the failure lands; compare when no call fails.
    if (data[1] == 0 && (whole.replies != split.replies || whole.err != split.err)) {
        fprintf(stderr, "whole and split reading differ: err %d vs %d\n", whole.err, split.err);
        abort();
    }
    return 0;
}
