/*
 * Byte 0 picks the compressor (bits 0-1), the number short-cut (bit 2) and
 * the compression level (bits 3-7); the rest is a value as read from a
 * server. Unpacking must never fault, packing the same bytes must unpack
 * to them again, and the msgpack walker must stay within the bytes.
 */
#include "pack/pack.h"
#include "pack/pack_libs.h"

#include <cstdint>
#include <cstdlib>

extern "C" {
#include "sapi/embed/php_embed.h"
}

/* What the engine keeps of its own functions' argument tables is not ours to find. */
extern "C" const char *__lsan_default_suppressions(void) { return "leak:zend_register_functions\n"; }

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    setenv("USE_ZEND_ALLOC", "0", 1);
    setenv("PHPRC", "/nonexistent", 1);
    setenv("PHP_INI_SCAN_DIR", "", 1);
    if (php_embed_init(0, nullptr) != SUCCESS)
        abort();
    kelvoPackStartup();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 1)
        return 0;
    const kelvoCmpInfo *cmp = kelvoCmpInfoById(data[0] & 3);
    uint16_t flags = data[0] & 4 ? kelvoOptPackIgnoreNumbers : 0;
    kelvoPackOptions opts = {&kelvoNoneSerInfo, cmp, data[0] >> 3, flags};
    if (kelvoMsgpackLength(data + 1, size - 1) > size - 1)
        abort();
    zend_string *bytes = zend_string_init(reinterpret_cast<const char *>(data) + 1, size - 1, 0);

    zval out;
    kelvoUnpackEx(&opts, &out, ZSTR_VAL(bytes), ZSTR_LEN(bytes), bytes);
    zval_ptr_dtor(&out);

    zval value;
    ZVAL_STR(&value, bytes);
    opts.flags = 0;
    kelvoPackResult packed;
    kelvoPackTmp(&packed, &opts, &value);
    kelvoUnpackEx(&opts, &out, ZSTR_VAL(packed.str), ZSTR_LEN(packed.str), packed.str);
    if (Z_TYPE(out) != IS_STRING || !zend_string_equals(Z_STR(out), bytes))
        abort();
    zval_ptr_dtor(&out);
    kelvoPackRelease(&packed);
    zend_string_release(bytes);
    return 0;
}
