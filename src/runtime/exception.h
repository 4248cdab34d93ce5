/*
 * Kelvo\Exception and the ways every component reports a failure to PHP code:
 * throwing with a KELVO_ERR_* code, recording the client object's last error,
 * or an engine warning, as the client's option flags decide (errclass.h).
 * Engine side; runs in the request of one process and takes no lock.
 */
#ifndef KELVO_EXCEPTION_H
#define KELVO_EXCEPTION_H

#include "runtime/errclass.h"
#include "runtime/errors.h"
#include "php_kelvo.h"

#include <cstddef>
#include <cstdint>

struct kelvoLink;
struct kelvoReply;

extern zend_class_entry *kelvo_exception_ce;

/* Registers Kelvo\Exception under RuntimeException (Exception when the engine has none); MINIT. */
zend_class_entry *kelvoRegisterExceptionClass(void);

/*
 * Throws Kelvo\Exception with `code` and the message
 * "<message> (<code name>; <base name of file>:<line>)". A code outside the
 * KELVO_ERR_* table is fatal.
 */
void kelvoThrowExceptionEx(int code, const char *message, const char *file, int line);
#define kelvoThrowException(code, message) kelvoThrowExceptionEx((code), (message), __FILE__, __LINE__)

/* printf-style message, then kelvoThrowExceptionEx. */
void kelvoThrowExceptionFmtEx(int code, const char *file, int line, const char *format, ...)
    __attribute__((format(printf, 4, 5)));
#define kelvoThrowExceptionFmt(code, ...) kelvoThrowExceptionFmtEx((code), __FILE__, __LINE__, __VA_ARGS__)

/* Replaces the string in `slot` (if any) with a request-lifetime copy of `length` bytes of `text`. */
void kelvoSetLastError(zend_string **slot, const char *text, size_t length);

/*
 * Builds, without throwing, a Kelvo\Exception in `out` with `code` and, when
 * `length` is above 0, the message `text` as given (no suffix). Used for the
 * per-command errors of a folded pipeline or transaction result.
 */
void kelvoCreateException(zval *out, int code, const char *text, size_t length);

/*
 * Acts on a server error reply's text as kelvoClassifyErrorReply decides:
 * throws, or records the text in `slot`. `file` and `line` name the caller.
 */
void kelvoHandleErrorTextEx(zend_string **slot, uint32_t optionFlags, const char *text, size_t length, const char *file,
                            int line);
#define kelvoHandleErrorText(slot, flags, text, length) \
    kelvoHandleErrorTextEx((slot), (flags), (text), (length), __FILE__, __LINE__)

/*
 * A reply of a type the command does not allow: "Got reply-type '<type>' to
 * '<command>' command" (cut to 253 characters), thrown with
 * KELVO_ERR_WRONGTYPE under throw-on-error, otherwise recorded in `slot`.
 */
void kelvoReportWrongType(zend_string **slot, uint32_t optionFlags, const char *replyType, const char *command,
                          size_t commandLength);

/*
 * A malformed reply: "Malformed RESP reply: " and the formatted text (cut to
 * 488 characters); an engine warning in record mode, otherwise thrown with
 * KELVO_ERR_PROTOCOL.
 */
void kelvoMalformedReplyEx(uint32_t optionFlags, const char *file, int line, const char *format, ...)
    __attribute__((format(printf, 4, 5)));
#define kelvoMalformedReply(flags, ...) kelvoMalformedReplyEx((flags), __FILE__, __LINE__, __VA_ARGS__)
/* kelvoMalformedReplyEx with "expected <expected>, got <replyType>". */
void kelvoMalformedReplyWrongTypeEx(uint32_t optionFlags, const char *file, int line, const char *expected,
                                    const char *replyType);

/* --- replies and links (exception_link.cc) --------------------------------- */

/*
 * kelvoHandleErrorTextEx on an error reply; `errstr` is the last-error slot.
 * Anything but an error reply is fatal: callers classify only errors.
 */
void kelvoHandleReplyErrorEx(zend_string **errstr, uint32_t optionFlags, const kelvoReply *reply, const char *file,
                             int line);
#define kelvoHandleReplyError(slot, flags, reply) kelvoHandleReplyErrorEx((slot), (flags), (reply), __FILE__, __LINE__)

/* kelvoCreateException with KELVO_ERR_REDIS and the error reply's text ("Unknown" for anything else). */
void kelvoCreateMultiException(zval *out, const kelvoReply *reply);

/*
 * The check after a handshake step on `link` (which must have a context):
 * throws the context's error, "Unknown error" when no reply came, or handles
 * an error reply as kelvoHandleReplyErrorEx does. 1 when it raised an error,
 * else 0.
 */
int kelvoCurryContextError(zend_string **slot, const kelvoLink *link, uint32_t optionFlags, const kelvoReply *reply);

#endif
