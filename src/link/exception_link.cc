/* Errors carried by replies and links, raised as exceptions or last errors. */
#include "runtime/exception.h"
#include "runtime/fatal.h"
#include "link/link.h"
#include "wire/reply.h"

void kelvoHandleReplyErrorEx(zend_string **errstr, uint32_t optionFlags, const kelvoReply *reply, const char *file,
                             int line)
{
    kelvoAssert(errstr != NULL && reply != NULL && reply->type == REDIS_REPLY_ERROR);
    const zend_string *text = kelvoReplyZStr(reply);
    kelvoHandleErrorTextEx(errstr, optionFlags, ZSTR_VAL(text), ZSTR_LEN(text), file, line);
}

void kelvoCreateMultiException(zval *out, const kelvoReply *reply)
{
    if (!reply || reply->type != KELVO_REPLY_ERROR) {
        kelvoCreateException(out, KELVO_ERR_REDIS, ZEND_STRL("Unknown"));
        return;
    }
    const zend_string *text = kelvoReplyZStr(reply);
    kelvoCreateException(out, KELVO_ERR_REDIS, ZSTR_VAL(text), ZSTR_LEN(text));
}

int kelvoCurryContextError(zend_string **slot, const kelvoLink *link, uint32_t optionFlags, const kelvoReply *reply)
{
    kelvoAssert(link != NULL && link->ctx != NULL);
    if (link->ctx->err) {
        kelvoThrowException(link->ctx->err, link->ctx->errstr);
        return 1;
    }
    if (!reply) {
        kelvoThrowException(KELVO_ERR_OTHER, "Unknown error");
        return 1;
    }
    if (reply->type != KELVO_REPLY_ERROR)
        return 0;
    kelvoHandleReplyError(slot, optionFlags, reply);
    return 1;
}
