/* Arguments that go through value packing, and the format-driven appender. */
#include "wire/command.h"

#include <cstdarg>

#include "runtime/fatal.h"
#include "pack/pack.h"

bool kelvoRespCmdCatZVal(rrc *req, const kelvoPackOptions *opts, zval *value)
{
    kelvoPackResult packed;
    const bool packs = kelvoPackTmp(&packed, opts, value);
    if (packs)
        kelvoRespCmdCatZStr(req, packed.str);
    kelvoPackRelease(&packed);
    return packs;
}

bool kelvoRespCmdFmt(rrc *req, const zend_string *prefix, const kelvoPackOptions *pack, const char *format, ...)
{
    va_list ap;
    va_start(ap, format);
    bool packs = true;
    for (const char *letter = format; *letter && packs; letter++) {
        switch (*letter) {
        case 'K':
            kelvoRespCmdCatKeyZStr(req, prefix, va_arg(ap, zend_string *));
            break;
        case 'k': {
            const char *key = va_arg(ap, const char *);
            kelvoRespCmdCatKeyLen(req, prefix, key, va_arg(ap, size_t));
            break;
        }
        case 'L':
            kelvoRespCmdCatKeyLong(req, prefix, va_arg(ap, zend_long));
            break;
        case 'S':
            kelvoRespCmdCatZStr(req, va_arg(ap, zend_string *));
            break;
        case 's': {
            const char *bytes = va_arg(ap, const char *);
            kelvoRespCmdCatLen(req, bytes, va_arg(ap, size_t));
            break;
        }
        case 'l':
            kelvoRespCmdCatZendLong(req, va_arg(ap, zend_long));
            break;
        case 'd':
            kelvoRespCmdCatDouble(req, va_arg(ap, double));
            break;
        case 'Z':
            packs = kelvoRespCmdCatZVal(req, pack, va_arg(ap, zval *));
            break;
        case 'z':
            packs = kelvoRespCmdCatZVal(req, NULL, va_arg(ap, zval *));
            break;
        default:
            php_printf("Unknown specifier '%c'", *letter);
            kelvoUnimplemented();
        }
    }
    va_end(ap);
    return packs;
}
