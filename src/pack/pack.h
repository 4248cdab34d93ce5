/*
 * Value packing: a PHP value becomes the bytes stored in the server through
 * the client's serializer and then, optionally, its compressor; bytes that
 * come back where a value is expected go the other way.
 *
 * Owns: the constant serializer and compressor descriptors, the run-time
 * function tables of igbinary, msgpack, LZ4 and Zstandard (filled once at
 * module start-up, emptied at shutdown; see pack_libs.h) and the process's
 * Zstandard contexts. Takes no lock, keeps nothing in the arena.
 *
 * Stored bytes carry no marker of their serializer or compressor; only the
 * lz4 form has a small frame (CRC-8 of the length, 32-bit little-endian
 * uncompressed length, one raw LZ4 block). Reading always applies the
 * client's current settings and falls back to the plain string whenever a
 * step does not succeed: unpacking never reports an error.
 */
#ifndef KELVO_PACK_H
#define KELVO_PACK_H

#include "runtime/optflags.h"

#include <cstddef>
#include <cstdint>

extern "C" {
#include "php.h"
}

struct kelvoPackOptions;

enum kelvoSerializerId : uint64_t {
    KELVO_SERIALIZER_NONE = 0,
    KELVO_SERIALIZER_PHP = 1,
    KELVO_SERIALIZER_IGBINARY = 2,
    KELVO_SERIALIZER_MSGPACK = 3,
    KELVO_SERIALIZER_JSON = 4,
};

enum kelvoCompressionId : uint64_t {
    KELVO_COMPRESSION_NONE = 0,
    KELVO_COMPRESSION_LZF = 1,
    KELVO_COMPRESSION_ZSTD = 2,
    KELVO_COMPRESSION_LZ4 = 3,
};

/*
 * A serializer. `serializeFn` returns null when it cannot write the value;
 * `unserializeFn` is null for "none" and returns non-zero on success.
 */
struct kelvoSerInfo {
    const char *name;
    uint64_t id;
    zend_string *(*serializeFn)(zval *value, const kelvoPackOptions *opts);
    int (*unserializeFn)(zval *out, const char *buf, size_t len);
};

/*
 * A compressor. Both functions return a new request-memory string,
 * terminated after its length, or null: a null compression result means the
 * value is sent uncompressed, a null uncompression result that the bytes are
 * not this compressor's.
 */
struct kelvoCmpInfo {
    uint64_t id;
    const char *name;
    zend_string *(*compressFn)(zend_string *src, int32_t level);
    zend_string *(*uncompressFn)(const char *buf, size_t len);
};

extern const kelvoSerInfo kelvoNoneSerInfo;
extern const kelvoSerInfo kelvoPhpSerInfo;
extern const kelvoSerInfo kelvoIgbinarySerInfo;
extern const kelvoSerInfo kelvoMsgpackSerInfo;
extern const kelvoSerInfo kelvoJsonSerInfo;

extern const kelvoCmpInfo kelvoNoneCmpInfo;
extern const kelvoCmpInfo kelvoLZFCmpInfo;
extern const kelvoCmpInfo kelvoZSTDCmpInfo;
extern const kelvoCmpInfo kelvoLZ4CmpInfo;

/*
 * What packing reads of a client's option block. A block whose only set
 * fields are a serializer and a compressor is a fixed pack context.
 */
struct kelvoPackOptions {
    const kelvoSerInfo *serializer;
    const kelvoCmpInfo *compression;
    int32_t compressionLevel;
    kelvoOptionWord flags;
};

/* The packing view of any option block with these four fields (the client's `kelvoOptions`). */
template <typename Options>
inline kelvoPackOptions kelvoPackOptionsOf(const Options &opts)
{
    return {opts.serializer, opts.compression, opts.compressionLevel, opts.flags};
}

/*
 * A packed value: `str` holds the bytes; `tmp` is `str` when packing made a
 * new string and null when the bytes are borrowed from the value itself.
 * Release with kelvoPackRelease once the bytes are no longer used.
 */
struct kelvoPackResult {
    zend_string *str;
    zend_string *tmp;
};

inline void kelvoPackRelease(kelvoPackResult *res)
{
    if (res->tmp)
        zend_string_release(res->tmp);
    res->str = res->tmp = nullptr;
}

/*
 * Packs one value with the options (null: serializer none, no compressor).
 * Misconfigured options (a missing descriptor or serialize function) are a
 * fatal assertion. A serializer that cannot write the value exactly (JSON and
 * NAN, INF or bad UTF-8; PHP code that throws during serialization) makes the
 * result false, with `res` holding the empty string and any exception still
 * pending: such a value must not be stored. A failing compressor only leaves
 * the value uncompressed. Nothing is reported here.
 */
bool kelvoPackTmp(kelvoPackResult *res, const kelvoPackOptions *opts, zval *value);

/* Why the json serializer refused its last value (the engine's own text), or null. */
const char *kelvoJsonFailureText(void);

/*
 * Turns stored bytes back into a value in `out` with the options (null: the
 * plain string). `source`, when given, is the string the bytes belong to: it
 * is shared instead of copied when the plain string is the result. `src` must
 * be followed by a NUL byte, as every engine string is: the engine's
 * unserializers read up to it.
 */
void kelvoUnpackEx(const kelvoPackOptions *opts, zval *out, const char *src, size_t srclen, zend_string *source);

/* The lowercase hexadecimal XXH3-64 of the packed value, always 16 digits. */
zend_string *kelvoDigest(const kelvoPackOptions *opts, zval *value);

/* The descriptor of a SERIALIZER_* / COMPRESSION_* id, or null when the id is out of range. */
const kelvoSerInfo *kelvoSerInfoById(zend_long id);
const kelvoCmpInfo *kelvoCmpInfoById(zend_long id);

/* Whether a descriptor can be selected in this process (its extension or library was found). */
bool kelvoSerializerAvailable(const kelvoSerInfo *ser);
bool kelvoCompressorAvailable(const kelvoCmpInfo *cmp);

/*
 * The descriptor an option value selects. Null without a message for an id
 * out of range; null with a Kelvo\Exception (KELVO_ERR_CONFIG) thrown for a
 * serializer or compressor this process cannot use. They belong to the client's
 * options (client/option_pack.cc), so packing itself never throws.
 */
const kelvoSerInfo *kelvoSelectSerializer(zend_long id);
const kelvoCmpInfo *kelvoSelectCompressor(zend_long id);

/*
 * Module start-up: finds igbinary and msgpack among the loaded modules and
 * binds LZ4 and Zstandard, first from the running process, then by loading
 * "liblz4.so.1"/"liblz4.so" and "libzstd.so.1"/"libzstd.so". Whatever is
 * missing or too old stays unavailable, silently.
 */
void kelvoPackStartup(void);
/* Module shutdown: frees the Zstandard contexts, closes loaded libraries, empties the tables. */
void kelvoPackShutdown(void);

/*
 * Fills the LZ4 (Zstandard) table from `search` (null: the running process)
 * when every function resolves and the library's version is above 10299,
 * keeping `keep` as the handle to close at shutdown; otherwise false and the
 * table untouched.
 */
bool kelvoLZ4ResolveFrom(void *search, void *keep);
bool kelvoZSTDResolveFrom(void *search, void *keep);

#endif
