/* Kelvo\Exception, last errors and the error-reply verdicts acted on. */
#include "runtime/exception.h"
#include "runtime/log.h"

extern "C" {
#include "zend_exceptions.h"
}

#include <algorithm>
#include <climits>
#include <cstdarg>
#include <cstring>

zend_class_entry *kelvo_exception_ce;

void kelvoThrowExceptionEx(int code, const char *message, const char *file, int line)
{
    const char *name = kelvoErrorCodeToString(code);
    zend_throw_exception_ex(kelvo_exception_ce, code, "%s (%s; %s:%d)", message, name, kelvoFileBaseName(file), line);
}

void kelvoThrowExceptionFmtEx(int code, const char *file, int line, const char *format, ...)
{
    va_list args;
    va_start(args, format);
    zend_string *message = zend_vstrpprintf(0, format, args);
    va_end(args);
    kelvoThrowExceptionEx(code, ZSTR_VAL(message), file, line);
    zend_string_release(message);
}

void kelvoSetLastError(zend_string **slot, const char *text, size_t length)
{
    if (*slot)
        zend_string_release(*slot);
    *slot = zend_string_init(text, length, 0);
}

void kelvoCreateException(zval *out, int code, const char *text, size_t length)
{
    object_init_ex(out, kelvo_exception_ce);
    zend_object *object = Z_OBJ_P(out);
    if (length > 0)
        zend_update_property_stringl(zend_ce_exception, object, ZEND_STRL("message"), text, length);
    zend_update_property_long(zend_ce_exception, object, ZEND_STRL("code"), code);
}

void kelvoHandleErrorTextEx(zend_string **slot, uint32_t optionFlags, const char *text, size_t length, const char *file,
                            int line)
{
    kelvoErrorVerdict verdict = kelvoClassifyErrorReply(text, length, optionFlags);
    if (verdict.record) {
        kelvoSetLastError(slot, text, length);
        return;
    }
    if (verdict.message) {
        kelvoThrowExceptionEx(verdict.code, verdict.message, file, line);
        return;
    }
    /* The reply's bytes are not terminated. */
    zend_string *message = zend_string_init(text, length, 0);
    kelvoThrowExceptionEx(verdict.code, ZSTR_VAL(message), file, line);
    zend_string_release(message);
}

void kelvoReportWrongType(zend_string **slot, uint32_t optionFlags, const char *replyType, const char *command,
                          size_t commandLength)
{
    char message[254];
    int length = snprintf(message, sizeof message, "Got reply-type '%s' to '%.*s' command", replyType,
                          static_cast<int>(std::min<size_t>(commandLength, INT_MAX)), command);
    length = std::clamp(length, 0, static_cast<int>(sizeof message) - 1);
    if (optionFlags & kelvoOptThrowOnError)
        kelvoThrowException(KELVO_ERR_WRONGTYPE, message);
    else
        kelvoSetLastError(slot, message, length);
}

static void malformedReply(uint32_t optionFlags, const char *file, int line, const char *format, va_list args)
{
    static constexpr char lead[] = "Malformed RESP reply: ";
    char message[sizeof lead - 1 + 489];
    memcpy(message, lead, sizeof lead - 1);
    vsnprintf(message + sizeof lead - 1, 489, format, args);
    if (kelvoRecordMode(optionFlags))
        php_error_docref(nullptr, E_WARNING, "%s", message);
    else
        kelvoThrowExceptionEx(KELVO_ERR_PROTOCOL, message, file, line);
}

void kelvoMalformedReplyEx(uint32_t optionFlags, const char *file, int line, const char *format, ...)
{
    va_list args;
    va_start(args, format);
    malformedReply(optionFlags, file, line, format, args);
    va_end(args);
}

void kelvoMalformedReplyWrongTypeEx(uint32_t optionFlags, const char *file, int line, const char *expected,
                                    const char *replyType)
{
    kelvoMalformedReplyEx(optionFlags, file, line, "expected %s, got %s", expected, replyType);
}
