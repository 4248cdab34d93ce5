// Fixtures of the command-layer tests: reply trees from RESP bytes, a compact dump of PHP
// values, the malformed-reply report taken off the engine, a stand-in client object and a
// query set.
#ifndef KELVO_TEST_COMMANDS_UTIL_H
#define KELVO_TEST_COMMANDS_UTIL_H

#include "commands/commands.h"
#include "runtime/kelvo.h"
#include "client/object.h"

extern "C" {
#include "php_main.h"
#include "zend_exceptions.h"
}

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

namespace kelvo_test {

inline int startupWithKelvo(sapi_module_struct *sapi) { return php_module_startup(sapi, &kelvo_module_entry); }
/* The engine environment starts the embed SAPI; have it start the module too. */
inline const bool moduleLoaded = (php_embed_module.startup = startupWithKelvo, true);

/* An internal function's frame around every test, so reports can throw as inside a method call. */
class FrameEnvironment : public ::testing::Environment {
  public:
    void SetUp() override
    {
        fn_.type = ZEND_INTERNAL_FUNCTION;
        fn_.function_name = zend_string_init_interned("test", 4, 1);
        frame_.func = reinterpret_cast<zend_function *>(&fn_);
        EG(current_execute_data) = &frame_;
    }
    void TearDown() override { EG(current_execute_data) = nullptr; }

  private:
    zend_internal_function fn_{};
    zend_execute_data frame_{};
};
inline ::testing::Environment *const frameEnvironment = ::testing::AddGlobalTestEnvironment(new FrameEnvironment);

/* '|' stands for CR LF. */
inline std::string resp(const std::string &text)
{
    std::string out;
    for (char c : text) {
        if (c == '|')
            out += "\r\n";
        else
            out += c;
    }
    return out;
}

/* A verbatim-string reply of `text` ('|' stands for CR LF), already in wire form. */
inline std::string verb(const std::string &text)
{
    std::string payload = "txt:" + resp(text);
    std::string wire = "=" + std::to_string(payload.size()) + "\r\n" + payload + "\r\n";
    for (char &c : wire)
        if (c == '|')
            c = '!';
    return wire;
}

/* One reply tree read from bytes by the reader with the module's reply nodes. */
class Reply {
  public:
    explicit Reply(const std::string &bytes)
    {
        redisReader *r = redisReaderCreateWithFunctions(&kelvoReplyObjectFunctions);
        EXPECT_EQ(redisReaderFeed(r, bytes.data(), bytes.size()), REDIS_OK);
        void *reply = nullptr;
        EXPECT_EQ(redisReaderGetReply(r, &reply), REDIS_OK) << r->errstr;
        EXPECT_NE(reply, nullptr) << "incomplete reply bytes";
        root_ = static_cast<kelvoReply *>(reply);
        redisReaderFree(r);
    }
    ~Reply() { kelvoReplyFree(root_); }
    Reply(const Reply &) = delete;
    Reply &operator=(const Reply &) = delete;
    kelvoReply *get() const { return root_; }

  private:
    kelvoReply *root_ = nullptr;
};

inline std::string dump(const zval *v)
{
    switch (Z_TYPE_P(v)) {
    case IS_UNDEF:
        return "undef";
    case IS_NULL:
        return "null";
    case IS_FALSE:
        return "false";
    case IS_TRUE:
        return "true";
    case IS_LONG:
        return std::to_string(Z_LVAL_P(v));
    case IS_DOUBLE: {
        char buf[64];
        snprintf(buf, sizeof(buf), "%.17gd", Z_DVAL_P(v));
        return buf;
    }
    case IS_STRING:
        return "\"" + std::string(Z_STRVAL_P(v), Z_STRLEN_P(v)) + "\"";
    case IS_ARRAY: {
        std::string out = "[";
        zend_ulong idx;
        zend_string *key;
        zval *item;
        bool first = true;
        ZEND_HASH_FOREACH_KEY_VAL(Z_ARRVAL_P(v), idx, key, item)
        {
            if (!first)
                out += ",";
            first = false;
            out += key ? "\"" + std::string(ZSTR_VAL(key), ZSTR_LEN(key)) + "\""
                       : std::to_string(static_cast<zend_long>(idx));
            out += ":" + dump(item);
        }
        ZEND_HASH_FOREACH_END();
        return out + "]";
    }
    default:
        return "type " + std::to_string(Z_TYPE_P(v));
    }
}

/* The text of a pending malformed-reply exception (prefix and source suffix cut), cleared; "" when none. */
inline std::string takeMalformed()
{
    if (!EG(exception))
        return "";
    zval rv;
    zval *message = zend_read_property(zend_ce_exception, EG(exception), ZEND_STRL("message"), 1, &rv);
    std::string text(Z_STRVAL_P(message), Z_STRLEN_P(message));
    zend_clear_exception();
    const std::string prefix = "Malformed RESP reply: ";
    if (text.compare(0, prefix.size(), prefix) == 0)
        text.erase(0, prefix.size());
    size_t suffix = text.rfind(" (KELVO_ERR_PROTOCOL; ");
    if (suffix != std::string::npos)
        text.erase(suffix);
    return text;
}

template <typename Case>
std::string caseName(const ::testing::TestParamInfo<Case> &info)
{
    return info.param.name;
}

/* A client record without an engine object, as cluster nodes have. */
struct TestClient {
    explicit TestClient(kelvoOptionWord options)
    {
        memset(&ro, 0, sizeof ro);
        kelvoInitRObj(&ro);
        ro.opts.flags = options;
        ZVAL_UNDEF(&it);
    }
    ~TestClient() { kelvoReleaseRObj(&ro); }
    TestClient(const TestClient &) = delete;
    TestClient &operator=(const TestClient &) = delete;
    robj *obj() { return &ro; }
    kelvoOptionWord flags() const { return ro.opts.flags; }
    /* The scan builders' iterator. */
    void useIterator() { ro.it = &it; }
    zval it;
    robj ro;
};

/* A query set for one formatter call; `names` (comma-separated) become its keys and values. */
class QuerySet {
  public:
    QuerySet(int cmd, uint8_t context, uint8_t reqFlags, const std::string &names)
    {
        rqs_.flags = static_cast<uint8_t>(KELVO_INITIALIZED | reqFlags);
        rqs_.context = context;
        rqs_.cmd = cmd;
        rqs_.kind = KELVO_RQS_MEM;
        size_t start = 0;
        while (!names.empty() && start <= names.size()) {
            size_t comma = names.find(',', start);
            if (comma == std::string::npos)
                comma = names.size();
            zend_string *s = zend_string_init(names.data() + start, comma - start, 0);
            kelvoQuerySetAddKey(&rqs_, s);
            kelvoQuerySetAddVal(&rqs_, s);
            zend_string_release(s);
            start = comma + 1;
        }
    }
    ~QuerySet() { kelvoQuerySetRelease(&rqs_, 0); }
    kelvoQuerySet *get() { return &rqs_; }

  private:
    kelvoQuerySet rqs_{};
};

} // namespace kelvo_test

#endif
