// Running one request builder by itself inside the engine: a call frame of the method with the
// given arguments, the request it builds, the warnings and the exception it leaves, and an
// independent check of the request's framing.
#ifndef KELVO_TEST_BUILDER_UTIL_H
#define KELVO_TEST_BUILDER_UTIL_H

#include "catalog/cmdinfo.h"
#include "client/object.h"
#include "commands/commands.h"
#include "runtime/kelvo.h"
#include "wire/command.h"

extern "C" {
#include "php_main.h"
#include "sapi/embed/php_embed.h"
#include "zend_exceptions.h"
#include "zend_execute.h"
}

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace kelvo_test {

inline int startupWithKelvo(sapi_module_struct *sapi) { return php_module_startup(sapi, &kelvo_module_entry); }
/* The engine environment starts the embed SAPI; have it start the module too. */
inline const bool moduleLoaded = (php_embed_module.startup = startupWithKelvo, true);

/* Every diagnostic the engine reports while it lives, instead of printing it. */
class Diagnostics {
  public:
    struct Entry {
        int type;
        std::string text; /* without the "Class::method(): " lead */
    };
    Diagnostics() : saved_(zend_error_cb)
    {
        current_ = this;
        zend_error_cb = record;
    }
    ~Diagnostics()
    {
        zend_error_cb = saved_;
        current_ = nullptr;
    }
    Diagnostics(const Diagnostics &) = delete;
    Diagnostics &operator=(const Diagnostics &) = delete;
    std::vector<Entry> entries;

  private:
    static void record(int type, zend_string *, const uint32_t, zend_string *message)
    {
        std::string text(ZSTR_VAL(message), ZSTR_LEN(message));
        size_t lead = text.find("(): ");
        if (lead != std::string::npos)
            text.erase(0, lead + 4);
        current_->entries.push_back({type & E_ALL, text});
    }
    static inline Diagnostics *current_ = nullptr;
    void (*saved_)(int, zend_string *, const uint32_t, zend_string *);
};

/* What one builder call left behind. */
struct Built {
    int rc = 0;
    std::string request;            /* the finished request, when rc is 0 */
    std::vector<std::string> words; /* its arguments, when well formed */
    std::vector<Diagnostics::Entry> diagnostics;
    std::string exception; /* "Class: message", or empty */
    uint8_t flags = 0;
    uint8_t context = 0;
    int32_t cmd = -1;
    kelvoReqDataKind udkind = KELVO_REQ_DATA_NONE;
    uint64_t udnumber = 0;
};

/* The arguments of a RESP array request, or why the bytes are not exactly one. */
inline bool parseRequest(const std::string &bytes, std::vector<std::string> *words, std::string *why)
{
    size_t pos = 0;
    auto number = [&](char lead, uint64_t *n) {
        if (pos >= bytes.size() || bytes[pos] != lead)
            return false;
        size_t end = bytes.find("\r\n", pos);
        if (end == std::string::npos || end == pos + 1)
            return false;
        *n = 0;
        for (size_t i = pos + 1; i < end; i++) {
            if (bytes[i] < '0' || bytes[i] > '9')
                return false;
            *n = *n * 10 + static_cast<uint64_t>(bytes[i] - '0');
        }
        pos = end + 2;
        return true;
    };
    uint64_t count;
    if (!number('*', &count)) {
        *why = "no array header";
        return false;
    }
    words->clear();
    for (uint64_t i = 0; i < count; i++) {
        uint64_t len;
        if (!number('$', &len) || bytes.size() - pos < len + 2 || bytes.compare(pos + len, 2, "\r\n") != 0) {
            *why = "header counts " + std::to_string(count) + " arguments, bulk " + std::to_string(i) + " is broken";
            return false;
        }
        words->push_back(bytes.substr(pos, len));
        pos += len + 2;
    }
    if (pos != bytes.size()) {
        *why = "bytes after the last of " + std::to_string(count) + " arguments";
        return false;
    }
    return true;
}

/* The row's builder of command `cmd`, called as method `method` of `client` with the elements of
 * `args` (a packed array). */
inline Built callBuilder(zval *client, const char *method, int cmd, zval *args)
{
    Built out;
    zend_object *object = Z_OBJ_P(client);
    zend_function *fn =
        static_cast<zend_function *>(zend_hash_str_find_ptr_lc(&object->ce->function_table, method, strlen(method)));
    EXPECT_NE(fn, nullptr) << method;
    if (!fn)
        return out;
    const uint32_t argc = zend_hash_num_elements(Z_ARRVAL_P(args));
    zend_execute_data *call =
        zend_vm_stack_push_call_frame(ZEND_CALL_TOP_FUNCTION | ZEND_CALL_HAS_THIS, fn, argc, object);
    uint32_t i = 0;
    zval *arg;
    ZEND_HASH_FOREACH_VAL(Z_ARRVAL_P(args), arg) { ZVAL_COPY(ZEND_CALL_ARG(call, ++i), arg); }
    ZEND_HASH_FOREACH_END();

    robj *ro = kelvoGetObjectZObj(object);
    rrc req{};
    kelvoRespCmdInitCmd(&req, 0, cmd);
    zval rv;
    ZVAL_UNDEF(&rv);
    {
        Diagnostics seen;
        call->prev_execute_data = EG(current_execute_data);
        EG(current_execute_data) = call;
        out.rc = kelvoGetCommandRCmd(cmd)->std.respFn(call, &rv, &req, ro);
        EG(current_execute_data) = call->prev_execute_data;
        out.diagnostics = seen.entries;
    }
    zend_vm_stack_free_args(call);
    zend_vm_stack_free_call_frame(call);
    zval_ptr_dtor(&rv);

    if (EG(exception)) {
        zval tmp;
        zend_object *ex = EG(exception);
        zend_string *message =
            zval_get_string(zend_read_property_ex(ex->ce, ex, ZSTR_KNOWN(ZEND_STR_MESSAGE), 1, &tmp));
        out.exception = std::string(ZSTR_VAL(ex->ce->name)) + ": " + std::string(ZSTR_VAL(message));
        zend_string_release(message);
        zend_clear_exception();
    }
    out.flags = req.flags;
    out.context = req.context;
    out.cmd = req.cmd;
    out.udkind = req.udkind;
    out.udnumber = req.udkind == KELVO_REQ_DATA_NUMBER ? req.userdata.number : 0;
    if (out.rc == 0) {
        kelvoRespCmdFinish(&req);
        out.request.assign(kelvoRespCmdData(&req), kelvoRespCmdLen(&req));
        std::string why;
        EXPECT_TRUE(parseRequest(out.request, &out.words, &why)) << method << ": " << why;
    }
    kelvoRespCmdRelease(&req);
    return out;
}

} // namespace kelvo_test

#endif
