/*
 * What every request builder shares. A builder (the catalogue's respFn role) turns the PHP
 * arguments of one command method into the arguments of one request, appended after the
 * command word the dispatcher already wrote. It answers 0 when the request is to be sent,
 * or -1 when it must not be: then exactly one warning or one exception is pending, and the
 * dispatcher releases the request unsent, so the link, its pipeline and its transaction are
 * untouched.
 *
 * The encodings of one argument, each exactly one bulk string:
 *   key      the client's key prefix glued in front (kelvoCatKey*); a key given as any value
 *            goes through the engine's string conversion, which may warn or throw
 *   value    packed with the client's serializer and compressor (kelvoCatValue)
 *   plain    a string as it is, other scalars as text, any array "Array" and any object
 *            "Object", without a warning (kelvoCatPlain)
 *   number   a float with 17 significant digits whatever `precision` says, an integer in
 *            decimal, anything else as plain text (kelvoCatNumber)
 *
 * Builders own nothing but the request they fill; they take no lock and touch nothing
 * shared. Engine side.
 */
#ifndef KELVO_BUILDER_H
#define KELVO_BUILDER_H

#include "client/object.h"
#include "wire/command.h"

#include <cstddef>
#include <strings.h>

/* -- refusals ------------------------------------------------------------------------------------ */

/* One E_WARNING with the builder's message; returns -1, the refusal of a builder. */
int kelvoRefuse(const char *format, ...) __attribute__((format(printf, 1, 2)));

/* One E_WARNING for a check that lets the request go on. */
void kelvoWarn(const char *format, ...) __attribute__((format(printf, 1, 2)));

/* -- arguments ----------------------------------------------------------------------------------- */

/* 1 when `s` is `word` (upper case) in any letter case. */
template <size_t N>
inline bool kelvoIsWord(const zend_string *s, const char (&word)[N])
{
    return ZSTR_LEN(s) == N - 1 && strncasecmp(ZSTR_VAL(s), word, N - 1) == 0;
}

/* key [options]: the key and an optional options array (null when absent or null); 0, or -1
 * after the engine's argument error. */
inline int kelvoParseKeyOptions(zend_execute_data *execute_data, zend_string **key, HashTable **options)
{
    *options = nullptr;
    ZEND_PARSE_PARAMETERS_START(1, 2)
    Z_PARAM_STR(*key)
    Z_PARAM_OPTIONAL
    Z_PARAM_ARRAY_HT_OR_NULL(*options)
    ZEND_PARSE_PARAMETERS_END_EX(return -1);
    return 0;
}

/* key arg ...: the key and the arguments after it, `least` arguments at least, the key counted;
 * 0, or -1 after the engine's argument error. */
inline int kelvoParseKeyArgs(zend_execute_data *execute_data, uint32_t least, zend_string **key, zval **args,
                             uint32_t *argc)
{
    ZEND_PARSE_PARAMETERS_START(least, -1)
    Z_PARAM_STR(*key)
    Z_PARAM_VARIADIC('*', *args, *argc)
    ZEND_PARSE_PARAMETERS_END_EX(return -1);
    return 0;
}

/* The value itself, through a reference. */
inline zval *kelvoDeref(zval *value)
{
    ZVAL_DEREF(value);
    return value;
}

/* f(name, value) for every entry of an option array whose key is a string, in the array's order,
 * the value through a reference. */
template <typename F>
void kelvoForEachOption(HashTable *options, F &&f)
{
    zend_string *name;
    zval *value;
    ZEND_HASH_FOREACH_STR_KEY_VAL(options, name, value)
    {
        if (name)
            f(name, kelvoDeref(value));
    }
    ZEND_HASH_FOREACH_END();
}

/* A blocking command's timeout in seconds: a number, a numeric string, null or a boolean. A
 * string that spells no number (it would block for ever as 0) is refused with "Timeout must be
 * numeric", and so is an array or an object: -1. */
int kelvoReadTimeout(zval *value, double *seconds);

/* -- appenders ----------------------------------------------------------------------------------- */

inline void kelvoCatKey(rrc *req, const robj *obj, const zend_string *key)
{
    kelvoRespCmdCatKeyZStr(req, obj->opts.prefix, key);
}

/* Index room for `count` more arguments at once; the bytes grow as they come, the first 255
 * of them without a copy. */
inline void kelvoReserveArgs(rrc *req, uint32_t count) { kelvoRespCmdReserve(req, count, 0); }

/* A key given as any value, through its string conversion; false when the conversion threw. */
bool kelvoCatKeyZVal(rrc *req, const robj *obj, zval *key);

/* Every element of a key array in its order, as kelvoCatKeyZVal; false when one threw. */
bool kelvoCatKeyHt(rrc *req, const robj *obj, HashTable *keys);

/* A value the server stores, packed with the client's options. False after the refusal was
 * reported (a warning naming the serializer, or the exception its PHP code threw): nothing of
 * it is appended, and the request must not be sent. */
bool kelvoCatValue(rrc *req, const robj *obj, zval *value);

inline void kelvoCatPlain(rrc *req, zval *value) { kelvoRespCmdCatZVal(req, nullptr, value); }

/* A bound, score or increment: floats with 17 digits, integers and strings ("(5", "-inf") as
 * they are, other values as plain text. */
void kelvoCatNumber(rrc *req, zval *value);

/* An upper-case word of the builder's own. */
template <size_t N>
inline void kelvoCatWord(rrc *req, const char (&word)[N])
{
    kelvoRespCmdCatLen(req, word, N - 1);
}

#endif
