// Helpers of the RESP3 layer's tests: a compact text form of default reply
// trees (so that cases read as one line), owned contexts and replies, and the
// checks the plain and TLS suites share.
#ifndef KELVO_TEST_RESP3_TEST_UTIL_H
#define KELVO_TEST_RESP3_TEST_UTIL_H

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstdarg>
#include <cstdio>
#include <memory>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

#include "resp3/resp3.h"

inline std::string dump(const redisReply *r);

inline std::string dumpChildren(const redisReply *r, const char *open, const char *close)
{
    std::string s = open;
    for (size_t i = 0; i < r->elements; i++)
        s += (i ? "," : "") + dump(r->element[i]);
    return s + close;
}

inline std::string dump(const redisReply *r)
{
    switch (r->type) {
    case REDIS_REPLY_STRING:
        return "str:" + std::string(r->str, r->len);
    case REDIS_REPLY_STATUS:
        return "status:" + std::string(r->str, r->len);
    case REDIS_REPLY_ERROR:
        return "err:" + std::string(r->str, r->len);
    case REDIS_REPLY_BIGNUM:
        return "big:" + std::string(r->str, r->len);
    case REDIS_REPLY_VERB:
        return "verb:" + std::string(r->vtype) + ":" + std::string(r->str, r->len);
    case REDIS_REPLY_INTEGER:
        return "int:" + std::to_string(r->integer);
    case REDIS_REPLY_DOUBLE: {
        char buf[64];
        snprintf(buf, sizeof buf, "dbl:%.17g/", r->dval);
        return buf + std::string(r->str, r->len);
    }
    case REDIS_REPLY_NIL:
        return "nil";
    case REDIS_REPLY_BOOL:
        return r->integer ? "true" : "false";
    case REDIS_REPLY_ARRAY:
        return dumpChildren(r, "[", "]");
    case REDIS_REPLY_MAP:
        return dumpChildren(r, "{", "}");
    case REDIS_REPLY_SET:
        return dumpChildren(r, "~(", ")");
    case REDIS_REPLY_PUSH:
        return dumpChildren(r, ">(", ")");
    }
    return "?" + std::to_string(r->type);
}

struct ContextDeleter {
    void operator()(redisContext *c) const { redisFree(c); }
};
using Context = std::unique_ptr<redisContext, ContextDeleter>;

struct ReplyDeleter {
    void operator()(redisReply *r) const { freeReplyObject(r); }
};
using Reply = std::unique_ptr<redisReply, ReplyDeleter>;

inline Reply vcommand(redisContext *c, const char *format, va_list ap)
{
    void *reply = nullptr;
    if (redisvAppendCommand(c, format, ap) != REDIS_OK || redisGetReply(c, &reply) != REDIS_OK)
        return Reply();
    return Reply(static_cast<redisReply *>(reply));
}

/* redisCommand with an owned reply. */
inline Reply command(redisContext *c, const char *format, ...) __attribute__((format(printf, 2, 3)));
inline Reply command(redisContext *c, const char *format, ...)
{
    va_list ap;
    va_start(ap, format);
    Reply r = vcommand(c, format, ap);
    va_end(ap);
    return r;
}

/* A reply's text form, or the context's error. */
inline std::string text(redisContext *c, const Reply &r)
{
    return r ? dump(r.get()) : "ERROR " + std::to_string(c->err) + ": " + c->errstr;
}

/* A forked child that frees its copy of the context must leave the parent's
 * session working (no shutdown of the socket or the TLS session). */
inline void expectForkedFreeKeepsSession(Context &c)
{
    pid_t child = fork();
    if (child == 0) {
        redisFree(c.release());
        _exit(0);
    }
    int status = 0;
    waitpid(child, &status, 0);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(text(c.get(), command(c.get(), "PING")), "status:PONG");
}

/* Writes to a context whose server dropped it until the write fails, with
 * SIGPIPE at its default action: raising it would end the test process. */
inline void writeUntilFailure(redisContext *c)
{
    struct sigaction dfl {
    }, old{};
    dfl.sa_handler = SIG_DFL;
    sigaction(SIGPIPE, &dfl, &old);
    std::string big(64 * 1024, 'x');
    /* The server's reset arrives when it arrives: ten seconds of tries is far more than it needs. */
    for (int i = 0; i < 1000 && !c->err; i++) {
        redisAppendCommand(c, "SET k %s", big.c_str());
        redisBufferWriteAll(c);
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    sigaction(SIGPIPE, &old, nullptr);
    EXPECT_EQ(c->err, REDIS_ERR_IO) << c->errstr;
}

#endif
