/*
 * The run-time function tables of value packing: the igbinary and msgpack
 * extensions (found by name among the loaded modules) and the LZ4 and
 * Zstandard libraries (looked up at run time, never linked: their headers
 * give the types only). Filled once at module start-up by kelvoPackStartup,
 * emptied at shutdown; a table whose first member is null is unavailable.
 *
 * Below pack.h: the serializers and compressors (pack_*.cc) include both.
 */
#ifndef KELVO_PACK_LIBS_H
#define KELVO_PACK_LIBS_H

#include <cstddef>
#include <cstdint>

#include <lz4.h>
#include <lz4hc.h>
#include <zstd.h>

extern "C" {
#include "php.h"
#include "zend_smart_str.h"
}

struct kelvoPackOptions;

struct kelvoIgbinaryFnTable {
    int (*serialize)(uint8_t **ret, size_t *retLen, zval *z);
    int (*unserialize)(const uint8_t *buf, size_t bufLen, zval *z);
};

struct kelvoMsgpackFnTable {
    void (*serialize)(smart_str *buf, zval *val);
    int (*unserialize)(zval *out, char *str, size_t len);
};

struct kelvoLZ4FnTable {
    decltype(&LZ4_versionNumber) versionNumber;
    decltype(&LZ4_compressBound) compressBound;
    decltype(&LZ4_compress_default) compressDefault;
    decltype(&LZ4_compress_HC) compressHC;
    decltype(&LZ4_decompress_safe) decompressSafe;
    void *handle; /* null when resolved from the running process */
};

struct kelvoZSTDFnTable {
    decltype(&ZSTD_versionNumber) versionNumber;
    decltype(&ZSTD_createCCtx) createCCtx;
    decltype(&ZSTD_createDCtx) createDCtx;
    decltype(&ZSTD_freeCCtx) freeCCtx;
    decltype(&ZSTD_freeDCtx) freeDCtx;
    decltype(&ZSTD_maxCLevel) maxCLevel;
    decltype(&ZSTD_compressBound) compressBound;
    decltype(&ZSTD_compressCCtx) compressCCtx;
    decltype(&ZSTD_compress) compress;
    decltype(&ZSTD_isError) isError;
    decltype(&ZSTD_getFrameContentSize) getFrameContentSize;
    decltype(&ZSTD_decompressDCtx) decompressDCtx;
    decltype(&ZSTD_decompress) decompress;
    void *handle;
};

extern kelvoIgbinaryFnTable kelvoIgbinaryFns;
extern kelvoMsgpackFnTable kelvoMsgpackFns;
extern kelvoLZ4FnTable kelvoLZ4Fns;
extern kelvoZSTDFnTable kelvoZSTDFns;

/* The "none" serializer: a string with a reference added, "Array", "Object", or the value's string conversion. */
zend_string *kelvoNoneSerialize(zval *zsrc, const kelvoPackOptions *opts);

/* The length of the one msgpack value at the start of `buf`, or 0 when it holds no whole value. */
size_t kelvoMsgpackLength(const uint8_t *buf, size_t len);

/* Whether the engine's module registry holds a module of that name. */
inline bool kelvoModuleLoaded(const char *name) { return zend_hash_str_exists(&module_registry, name, strlen(name)); }

/* CRC-8 of the lz4 form's length bytes: polynomial 0x31, initial value 0xFF, no reflection, no final XOR. */
uint8_t kelvoCrc8(const uint8_t *bytes, size_t len);

/* Frees the process's Zstandard contexts (module shutdown). */
void kelvoZSTDFreeContexts(void);

/*
 * The most bytes an uncompressor may allocate for one value: what is left
 * under the engine's memory_limit or, without a limit, a hard cap, so that a
 * value claiming a huge size comes back as its bytes instead of ending the
 * request.
 */
size_t kelvoUnpackBudget(void);
constexpr size_t kelvoUnpackHardCap = size_t{1} << 30;

/* A new request-memory string of `room` bytes (plus terminator), for a compressor's output. */
inline zend_string *kelvoPackAlloc(size_t room) { return zend_string_alloc(room, 0); }

/* Ends a compressor's output at `len` bytes; shrinks the allocation when asked. */
inline zend_string *kelvoPackFinish(zend_string *out, size_t len, bool shrink)
{
    if (shrink)
        out = zend_string_truncate(out, len, 0);
    ZSTR_LEN(out) = len;
    ZSTR_VAL(out)[len] = '\0';
    return out;
}

#endif
