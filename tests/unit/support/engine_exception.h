/*
 * Engine-side test helpers for code that throws: a calling frame for the exception to be raised in,
 * and a reader that takes the pending Kelvo\Exception apart.
 */
#ifndef KELVO_TEST_ENGINE_EXCEPTION_H
#define KELVO_TEST_ENGINE_EXCEPTION_H

#include <gtest/gtest.h>

#include "runtime/exception.h"

extern "C" {
#include "zend_exceptions.h"
}

#include <string>

/* Exceptions need a calling frame: this stands for an internal function PHP code called. */
struct FakeFrame {
    explicit FakeFrame(const char *name = "kelvoTest")
    {
        function.type = ZEND_INTERNAL_FUNCTION;
        function.function_name = zend_string_init_interned(name, strlen(name), 1);
        frame.func = reinterpret_cast<zend_function *>(&function);
        saved = EG(current_execute_data);
        EG(current_execute_data) = &frame;
    }
    ~FakeFrame() { EG(current_execute_data) = saved; }
    zend_internal_function function{};
    zend_execute_data frame{};
    zend_execute_data *saved;
};

/* The pending Kelvo\Exception's message (and code); clears it. Empty when none is pending. */
inline std::string takeException(zend_long *code = nullptr)
{
    if (!EG(exception))
        return "";
    zend_object *ex = EG(exception);
    zval rv;
    zend_string *text = zval_get_string(zend_read_property(zend_ce_exception, ex, ZEND_STRL("message"), 1, &rv));
    std::string message(ZSTR_VAL(text), ZSTR_LEN(text));
    zend_string_release(text);
    if (code)
        *code = zval_get_long(zend_read_property(zend_ce_exception, ex, ZEND_STRL("code"), 1, &rv));
    EXPECT_TRUE(instanceof_function(ex->ce, kelvo_exception_ce));
    zend_clear_exception();
    return message;
}

#endif
