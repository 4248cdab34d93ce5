/* The conventions every request builder shares: refusals, argument readers and appenders. */
#include "commands/builder.h"

#include "pack/pack.h"

extern "C" {
#include "zend_exceptions.h"
}

#include <cstdarg>

namespace {

void warnV(const char *format, va_list ap)
{
    char message[512];
    vsnprintf(message, sizeof message, format, ap);
    php_error_docref(nullptr, E_WARNING, "%s", message);
}

} // namespace

int kelvoRefuse(const char *format, ...)
{
    va_list ap;
    va_start(ap, format);
    warnV(format, ap);
    va_end(ap);
    return -1;
}

void kelvoWarn(const char *format, ...)
{
    va_list ap;
    va_start(ap, format);
    warnV(format, ap);
    va_end(ap);
}

int kelvoReadTimeout(zval *value, double *seconds)
{
    ZVAL_DEREF(value);
    switch (Z_TYPE_P(value)) {
    case IS_DOUBLE:
        *seconds = Z_DVAL_P(value);
        return 0;
    case IS_LONG:
        *seconds = static_cast<double>(Z_LVAL_P(value));
        return 0;
    case IS_NULL:
    case IS_FALSE:
    case IS_TRUE:
        *seconds = zval_get_double(value);
        return 0;
    case IS_STRING: {
        zend_long lval;
        double dval;
        switch (is_numeric_string(Z_STRVAL_P(value), Z_STRLEN_P(value), &lval, &dval, false)) {
        case IS_LONG:
            *seconds = static_cast<double>(lval);
            return 0;
        case IS_DOUBLE:
            *seconds = dval;
            return 0;
        default:
            break;
        }
        break;
    }
    default:
        break;
    }
    return kelvoRefuse("Timeout must be numeric");
}

bool kelvoCatKeyZVal(rrc *req, const robj *obj, zval *key)
{
    /* A string key runs no conversion, so nothing can warn or throw. */
    if (EXPECTED(Z_TYPE_P(key) == IS_STRING)) {
        kelvoCatKey(req, obj, Z_STR_P(key));
        return true;
    }
    zend_string *tmp;
    zend_string *str = zval_try_get_tmp_string(key, &tmp);
    if (!str)
        return false;
    kelvoCatKey(req, obj, str);
    zend_tmp_string_release(tmp);
    return !EG(exception);
}

bool kelvoCatKeyHt(rrc *req, const robj *obj, HashTable *keys)
{
    kelvoReserveArgs(req, zend_hash_num_elements(keys));
    zval *key;
    ZEND_HASH_FOREACH_VAL(keys, key)
    {
        if (!kelvoCatKeyZVal(req, obj, key))
            return false;
    }
    ZEND_HASH_FOREACH_END();
    return true;
}

bool kelvoCatValue(rrc *req, const robj *obj, zval *value)
{
    /* The common case goes straight in: a string is its own bytes without a serializer or compressor. */
    if (Z_TYPE_P(value) == IS_STRING && obj->opts.serializer->id == KELVO_SERIALIZER_NONE &&
        obj->opts.compression->id == KELVO_COMPRESSION_NONE) {
        kelvoRespCmdCatZStr(req, Z_STR_P(value));
        return true;
    }
    const kelvoPackOptions pack = kelvoPackOptionsOf(obj->opts);
    if (kelvoRespCmdCatZVal(req, &pack, value))
        return true;
    if (EG(exception))
        return false;
    const char *why = pack.serializer->id == KELVO_SERIALIZER_JSON ? kelvoJsonFailureText() : nullptr;
    kelvoWarn("Failed to serialize the value with the %s serializer%s%s", pack.serializer->name, why ? ": " : "",
              why ? why : "");
    return false;
}

void kelvoCatNumber(rrc *req, zval *value)
{
    ZVAL_DEREF(value);
    switch (Z_TYPE_P(value)) {
    case IS_DOUBLE:
        return kelvoRespCmdCatDouble(req, Z_DVAL_P(value));
    case IS_LONG:
        return kelvoRespCmdCatZendLong(req, Z_LVAL_P(value));
    default:
        return kelvoCatPlain(req, value);
    }
}
