/*
 * Packing and unpacking of values, the value digest, descriptor look-up and
 * the start-up binding of the optional serializers and compression libraries.
 */
#include "pack/pack.h"
#include "pack/pack_libs.h"
#include "runtime/fatal.h"

#include <cinttypes>
#include <cstdio>
#include <dlfcn.h>
#include <initializer_list>
#include <xxhash.h>

extern "C" {
#include "zend_smart_str.h"
}

/* -- packing -------------------------------------------------------------- */

static bool kelvoPackAsNumber(const zval *value)
{
    /* INF and NAN have no numeric text; they go through the serializer like any value. */
    return Z_TYPE_P(value) == IS_LONG || (Z_TYPE_P(value) == IS_DOUBLE && zend_finite(Z_DVAL_P(value)));
}

/*
 * The text of a number that reads back as the same number: a float keeps
 * every digit it needs (0.1 + 0.2 is not 0.3) and a fraction or exponent,
 * so that it does not come back as an integer.
 */
static zend_string *kelvoNumberText(const zval *value)
{
    if (Z_TYPE_P(value) == IS_LONG)
        return zend_long_to_str(Z_LVAL_P(value));
    smart_str buf = {};
    smart_str_append_double(&buf, Z_DVAL_P(value), -1, true);
    smart_str_0(&buf);
    return buf.s;
}

/* Serializer none without compression: strings are lent, not copied. */
static void kelvoPackPlain(kelvoPackResult *res, zval *value)
{
    if (Z_TYPE_P(value) == IS_STRING) {
        res->str = Z_STR_P(value);
        return;
    }
    res->str = res->tmp = kelvoNoneSerialize(value, nullptr);
}

bool kelvoPackTmp(kelvoPackResult *res, const kelvoPackOptions *ropt, zval *value)
{
    *res = {};
    ZVAL_DEREF(value);
    if (!ropt) {
        kelvoPackPlain(res, value);
        return true;
    }
    if ((ropt->flags & kelvoOptPackIgnoreNumbers) && kelvoPackAsNumber(value)) {
        res->str = res->tmp = kelvoNumberText(value);
        return true;
    }
    kelvoAssert(ropt->compression != NULL && ropt->serializer != NULL && ropt->serializer->serializeFn != NULL);

    if (ropt->serializer->id == KELVO_SERIALIZER_NONE) {
        kelvoPackPlain(res, value);
    } else {
        zend_string *serialized = ropt->serializer->serializeFn(value, ropt);
        if (!serialized) {
            res->str = ZSTR_EMPTY_ALLOC();
            return false;
        }
        res->str = res->tmp = serialized;
    }

    if (!ropt->compression->compressFn)
        return true;
    zend_string *compressed = ropt->compression->compressFn(res->str, ropt->compressionLevel);
    if (!compressed)
        return true;
    if (res->tmp)
        zend_string_release(res->tmp);
    res->str = res->tmp = compressed;
    return true;
}

/* -- unpacking ------------------------------------------------------------ */

static bool kelvoUnpackUsesOptions(const kelvoPackOptions *opts)
{
    return opts && ((opts->serializer && opts->serializer->id != KELVO_SERIALIZER_NONE) ||
                    (opts->compression && opts->compression->id != KELVO_COMPRESSION_NONE));
}

/* The numeric short-cut of kelvoOptPackIgnoreNumbers: whole numeric strings of up to 511 bytes. */
static bool kelvoUnpackNumber(const kelvoPackOptions *opts, zval *out, const char *src, size_t srclen)
{
    if (!(opts->flags & kelvoOptPackIgnoreNumbers) || srclen < 1 || srclen > 511 ||
        static_cast<unsigned char>(src[0]) > '9')
        return false;
    zend_long lval;
    double dval;
    switch (is_numeric_string_ex(src, srclen, &lval, &dval, false, nullptr, nullptr)) {
    case IS_LONG:
        ZVAL_LONG(out, lval);
        return true;
    case IS_DOUBLE:
        ZVAL_DOUBLE(out, dval);
        return true;
    default:
        return false;
    }
}

static bool kelvoUnserializeInto(const kelvoSerInfo *ser, zval *out, const char *src, size_t srclen)
{
    return ser && ser->unserializeFn && ser->unserializeFn(out, src, srclen);
}

/* Decompression, then unserialization of what it gave or, when it gave nothing, of the bytes themselves. */
static bool kelvoUnpackDecoded(const kelvoPackOptions *opts, zval *out, const char *src, size_t srclen)
{
    const kelvoCmpInfo *cmp = opts->compression;
    if (srclen > 0 && cmp && cmp->uncompressFn) {
        zend_string *plain = cmp->uncompressFn(src, srclen);
        if (plain) {
            if (kelvoUnserializeInto(opts->serializer, out, ZSTR_VAL(plain), ZSTR_LEN(plain)))
                zend_string_release(plain);
            else
                ZVAL_STR(out, plain);
            return true;
        }
    }
    return kelvoUnserializeInto(opts->serializer, out, src, srclen);
}

void kelvoUnpackEx(const kelvoPackOptions *opts, zval *out, const char *src, size_t srclen, zend_string *source)
{
    kelvoAssert(src != NULL || srclen == 0);
    ZVAL_UNDEF(out);
    if (kelvoUnpackUsesOptions(opts) &&
        (kelvoUnpackNumber(opts, out, src, srclen) || kelvoUnpackDecoded(opts, out, src, srclen)))
        return;
    if (source)
        ZVAL_STR_COPY(out, source);
    else
        ZVAL_STRINGL_FAST(out, src, srclen);
}

/* The engine's heap counts whole pages and may need a fresh 2 MiB chunk for the allocation itself. */
constexpr size_t kelvoHeapSlack = size_t{2} << 20;

size_t kelvoUnpackBudget(void)
{
    zend_long limit = PG(memory_limit);
    if (limit < 0)
        return kelvoUnpackHardCap;
    size_t used = zend_memory_usage(true) + kelvoHeapSlack;
    return static_cast<size_t>(limit) > used ? static_cast<size_t>(limit) - used : 0;
}

/* -- digest --------------------------------------------------------------- */

zend_string *kelvoDigest(const kelvoPackOptions *opts, zval *value)
{
    kelvoPackResult packed;
    kelvoPackTmp(&packed, opts, value);
    XXH64_hash_t hash = XXH3_64bits(ZSTR_VAL(packed.str), ZSTR_LEN(packed.str));
    kelvoPackRelease(&packed);
    char hex[17];
    snprintf(hex, sizeof(hex), "%016" PRIx64, static_cast<uint64_t>(hash));
    return zend_string_init(hex, 16, 0);
}

/* -- descriptors ---------------------------------------------------------- */

static const kelvoSerInfo *const kelvoSerializers[] = {
    &kelvoNoneSerInfo, &kelvoPhpSerInfo, &kelvoIgbinarySerInfo, &kelvoMsgpackSerInfo, &kelvoJsonSerInfo,
};
static const kelvoCmpInfo *const kelvoCompressors[] = {
    &kelvoNoneCmpInfo,
    &kelvoLZFCmpInfo,
    &kelvoZSTDCmpInfo,
    &kelvoLZ4CmpInfo,
};

template <typename T, size_t N>
static T kelvoById(T const (&table)[N], zend_long id)
{
    return id >= 0 && static_cast<zend_ulong>(id) < N ? table[id] : nullptr;
}

const kelvoSerInfo *kelvoSerInfoById(zend_long id) { return kelvoById(kelvoSerializers, id); }

const kelvoCmpInfo *kelvoCmpInfoById(zend_long id) { return kelvoById(kelvoCompressors, id); }

bool kelvoSerializerAvailable(const kelvoSerInfo *ser)
{
    switch (ser->id) {
    case KELVO_SERIALIZER_IGBINARY:
        return kelvoIgbinaryFns.serialize != nullptr;
    case KELVO_SERIALIZER_MSGPACK:
        return kelvoMsgpackFns.serialize != nullptr;
    default:
        return true;
    }
}

bool kelvoCompressorAvailable(const kelvoCmpInfo *cmp)
{
    switch (cmp->id) {
    case KELVO_COMPRESSION_ZSTD:
        return kelvoZSTDFns.versionNumber != nullptr;
    case KELVO_COMPRESSION_LZ4:
        return kelvoLZ4Fns.versionNumber != nullptr;
    default:
        return true;
    }
}

/* -- start-up binding ----------------------------------------------------- */

/* Looks `name` up in `search` (null: the running process) into a typed slot. */
template <typename Fn>
static bool kelvoResolve(void *search, const char *name, Fn *slot)
{
    void *sym = dlsym(search ? search : RTLD_DEFAULT, name);
    *slot = reinterpret_cast<Fn>(sym);
    return sym != nullptr;
}

/* Every library must report a version above this (1.2.99): older ones lack functions we call. */
constexpr unsigned kelvoMinLibVersion = 10299;

bool kelvoLZ4ResolveFrom(void *search, void *keep)
{
    kelvoLZ4FnTable fns = {};
    if (!kelvoResolve(search, "LZ4_versionNumber", &fns.versionNumber) ||
        !kelvoResolve(search, "LZ4_compressBound", &fns.compressBound) ||
        !kelvoResolve(search, "LZ4_compress_default", &fns.compressDefault) ||
        !kelvoResolve(search, "LZ4_compress_HC", &fns.compressHC) ||
        !kelvoResolve(search, "LZ4_decompress_safe", &fns.decompressSafe))
        return false;
    if (static_cast<unsigned>(fns.versionNumber()) <= kelvoMinLibVersion)
        return false;
    fns.handle = keep;
    kelvoLZ4Fns = fns;
    return true;
}

bool kelvoZSTDResolveFrom(void *search, void *keep)
{
    kelvoZSTDFnTable fns = {};
    if (!kelvoResolve(search, "ZSTD_versionNumber", &fns.versionNumber) ||
        !kelvoResolve(search, "ZSTD_createCCtx", &fns.createCCtx) ||
        !kelvoResolve(search, "ZSTD_createDCtx", &fns.createDCtx) ||
        !kelvoResolve(search, "ZSTD_freeCCtx", &fns.freeCCtx) ||
        !kelvoResolve(search, "ZSTD_freeDCtx", &fns.freeDCtx) ||
        !kelvoResolve(search, "ZSTD_maxCLevel", &fns.maxCLevel) ||
        !kelvoResolve(search, "ZSTD_compressBound", &fns.compressBound) ||
        !kelvoResolve(search, "ZSTD_compressCCtx", &fns.compressCCtx) ||
        !kelvoResolve(search, "ZSTD_compress", &fns.compress) || !kelvoResolve(search, "ZSTD_isError", &fns.isError) ||
        !kelvoResolve(search, "ZSTD_getFrameContentSize", &fns.getFrameContentSize) ||
        !kelvoResolve(search, "ZSTD_decompressDCtx", &fns.decompressDCtx) ||
        !kelvoResolve(search, "ZSTD_decompress", &fns.decompress))
        return false;
    if (fns.versionNumber() <= kelvoMinLibVersion)
        return false;
    fns.handle = keep;
    kelvoZSTDFns = fns;
    return true;
}

/* The running process first, then each library name; a library that does not satisfy is closed again. */
static void kelvoBindLibrary(bool (*resolveFrom)(void *, void *), const char *const (&names)[2])
{
    if (resolveFrom(nullptr, nullptr))
        return;
    for (const char *name : names) {
        void *handle = dlopen(name, RTLD_LAZY);
        if (!handle)
            continue;
        if (resolveFrom(handle, handle))
            return;
        dlclose(handle);
    }
}

/* msgpack before 2.0.3 has another unserialize signature. */
static bool kelvoMsgpackUsable(void)
{
    auto *module = static_cast<zend_module_entry *>(zend_hash_str_find_ptr(&module_registry, ZEND_STRL("msgpack")));
    int major = 0, minor = 0, patch = 0;
    if (!module || !module->version || sscanf(module->version, "%d.%d.%d", &major, &minor, &patch) < 1)
        return false;
    return major > 2 || (major == 2 && (minor > 0 || patch > 2));
}

static void kelvoFindSerializers(void)
{
    kelvoIgbinaryFnTable igbinary = {};
    if (kelvoModuleLoaded("igbinary") && kelvoResolve(nullptr, "igbinary_serialize", &igbinary.serialize) &&
        kelvoResolve(nullptr, "igbinary_unserialize", &igbinary.unserialize))
        kelvoIgbinaryFns = igbinary;

    kelvoMsgpackFnTable msgpack = {};
    if (kelvoMsgpackUsable() && kelvoResolve(nullptr, "php_msgpack_serialize", &msgpack.serialize) &&
        kelvoResolve(nullptr, "php_msgpack_unserialize", &msgpack.unserialize))
        kelvoMsgpackFns = msgpack;
}

void kelvoPackStartup(void)
{
    static const char *const lz4Names[2] = {"liblz4.so.1", "liblz4.so"};
    static const char *const zstdNames[2] = {"libzstd.so.1", "libzstd.so"};
    kelvoFindSerializers();
    /* A second start-up in the same process keeps what the first one bound. */
    if (!kelvoLZ4Fns.versionNumber)
        kelvoBindLibrary(kelvoLZ4ResolveFrom, lz4Names);
    if (!kelvoZSTDFns.versionNumber)
        kelvoBindLibrary(kelvoZSTDResolveFrom, zstdNames);
}

void kelvoPackShutdown(void)
{
    kelvoZSTDFreeContexts();
    for (void *handle : {kelvoLZ4Fns.handle, kelvoZSTDFns.handle})
        if (handle)
            dlclose(handle);
    kelvoLZ4Fns = {};
    kelvoZSTDFns = {};
    kelvoIgbinaryFns = {};
    kelvoMsgpackFns = {};
}
