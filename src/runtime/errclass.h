/*
 * Classification of server error replies: which are thrown, with which code
 * and message, and which become the client object's last error. Engine-free;
 * the engine side (exception.h) acts on the verdict.
 */
#ifndef KELVO_ERRCLASS_H
#define KELVO_ERRCLASS_H

#include "runtime/errors.h"
#include "runtime/optflags.h"

#include <cstddef>
#include <cstdint>

/* Record mode: phpredis compatibility on and throw-on-error off. */
constexpr bool kelvoRecordMode(uint32_t optionFlags)
{
    return (optionFlags & (kelvoOptThrowOnError | kelvoOptPhpredisCompat)) == kelvoOptPhpredisCompat;
}

struct kelvoErrorVerdict {
    bool record;         /* true: store the reply text as the last error, throw nothing */
    int code;            /* exception code when thrown */
    const char *message; /* exception message; null: the reply text itself */
};

/*
 * The verdict on one error reply text (bytes, `length` of them, not
 * necessarily terminated). Handshake, authentication, protocol, permission and
 * persistence errors are always thrown; other errors are recorded in record
 * mode and thrown with KELVO_ERR_REDIS otherwise.
 */
kelvoErrorVerdict kelvoClassifyErrorReply(const char *text, size_t length, uint32_t optionFlags);

#endif
