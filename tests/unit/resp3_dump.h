// A compact text form of default reply trees, so that test cases read as one line.
#ifndef KELVO_TEST_RESP3_DUMP_H
#define KELVO_TEST_RESP3_DUMP_H

#include <cstdio>
#include <string>

#include "resp3.h"

inline std::string dump(const redisReply *r);

inline std::string dumpChildren(const redisReply *r, const char *open, const char *close) {
    std::string s = open;
    for (size_t i = 0; i < r->elements; i++)
        s += (i ? "," : "") + dump(r->element[i]);
    return s + close;
}

inline std::string dump(const redisReply *r) {
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

#endif
