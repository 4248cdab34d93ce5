// A running engine for unit tests that use request memory: module start-up and
// one open request around the whole test program.
#ifndef KELVO_TEST_COMMAND_ENGINE_H
#define KELVO_TEST_COMMAND_ENGINE_H

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

extern "C" {
#include "php.h"
#include "php_embed.h"
}

class EngineEnvironment : public ::testing::Environment {
  public:
    void SetUp() override
    {
        static char name[] = "kelvo_unit";
        static char *argv[] = {name, nullptr};
        // No php.ini and no extensions of the host: the tests see the bare engine.
        php_embed_module.php_ini_ignore = 1;
        ASSERT_EQ(php_embed_init(1, argv), SUCCESS);
    }
    void TearDown() override { php_embed_shutdown(); }

    /* Ends the open request and starts a new one: everything of the old
     * request's memory is gone afterwards. */
    static void nextRequest()
    {
        php_request_shutdown(nullptr);
        ASSERT_EQ(php_request_startup(), SUCCESS);
    }
};

/* What PHP code left in the global $out, as a string ("(none)" when unset); $out is removed. */
inline std::string takePhpOut()
{
    zval *out = zend_hash_str_find_deref(&EG(symbol_table), ZEND_STRL("out"));
    std::string text = "(none)";
    if (out) {
        zend_string *s = zval_get_string(out);
        text.assign(ZSTR_VAL(s), ZSTR_LEN(s));
        zend_string_release(s);
    }
    zend_hash_str_del(&EG(symbol_table), ZEND_STRL("out"));
    return text;
}

/* Runs PHP code in the global scope; returns what it leaves in $out, or the class and message
 * of an uncaught Throwable. */
inline std::string runPhp(const std::string &code, const char *where = "engine test")
{
    std::string wrapped =
        "try { " + code + " } catch (Throwable $x) { $out = get_class($x) . ': ' . $x->getMessage(); }";
    EXPECT_EQ(zend_eval_string(wrapped.c_str(), nullptr, where), SUCCESS);
    return takePhpOut();
}

/* A variable the harness's servers export ("" when unset). */
inline std::string harnessEnv(const char *name)
{
    const char *value = getenv(name);
    return value ? value : "";
}

/* PHP code with every ENV(NAME) replaced by the quoted value of that harness variable. */
inline std::string withHarnessEnv(std::string code)
{
    for (size_t at; (at = code.find("ENV(")) != std::string::npos;) {
        size_t end = code.find(')', at);
        std::string name = code.substr(at + 4, end - at - 4);
        std::string value = harnessEnv(name.c_str());
        EXPECT_FALSE(value.empty()) << name << " is not set: run the tests through scripts/test";
        code.replace(at, end - at + 1, "'" + value + "'");
    }
    return code;
}

inline ::testing::Environment *const kelvoEngineEnvironment =
    ::testing::AddGlobalTestEnvironment(new EngineEnvironment);

#endif
