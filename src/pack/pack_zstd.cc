/*
 * The "zstd" compressor: a standard Zstandard frame, through libzstd looked
 * up at run time, with one compression and one decompression context per
 * process.
 */
#include "pack/pack.h"
#include "pack/pack_libs.h"
#include "runtime/fatal.h"

kelvoZSTDFnTable kelvoZSTDFns;

/* The process's contexts; made together on first use, null ones mean the one-shot functions. */
static struct {
    bool initialized;
    ZSTD_CCtx *cctx;
    ZSTD_DCtx *dctx;
} kelvoZSTDContexts;

static void kelvoZSTDContextsReady(void)
{
    if (kelvoZSTDContexts.initialized)
        return;
    if (kelvoZSTDContexts.cctx != nullptr || kelvoZSTDContexts.dctx != nullptr)
        kelvoAssertionFailedImpl("KELVO_G(zstd).cctx == NULL && KELVO_G(zstd).dctx == NULL", __FILE__, __LINE__,
                                 __func__);
    kelvoZSTDContexts.cctx = kelvoZSTDFns.createCCtx();
    kelvoZSTDContexts.dctx = kelvoZSTDFns.createDCtx();
    kelvoZSTDContexts.initialized = true;
}

void kelvoZSTDFreeContexts(void)
{
    if (kelvoZSTDContexts.cctx)
        kelvoZSTDFns.freeCCtx(kelvoZSTDContexts.cctx);
    if (kelvoZSTDContexts.dctx)
        kelvoZSTDFns.freeDCtx(kelvoZSTDContexts.dctx);
    kelvoZSTDContexts = {};
}

static zend_string *kelvoZSTDCompress(zend_string *src, int32_t level)
{
    const kelvoZSTDFnTable &zstd = kelvoZSTDFns;
    if (!zstd.versionNumber)
        return nullptr;
    if (level == 0)
        level = 3;
    else if (level > zstd.maxCLevel())
        level = zstd.maxCLevel();
    kelvoZSTDContextsReady();
    size_t room = zstd.compressBound(ZSTR_LEN(src));
    zend_string *out = kelvoPackAlloc(room);
    size_t written = kelvoZSTDContexts.cctx ? zstd.compressCCtx(kelvoZSTDContexts.cctx, ZSTR_VAL(out), room,
                                                                ZSTR_VAL(src), ZSTR_LEN(src), level)
                                            : zstd.compress(ZSTR_VAL(out), room, ZSTR_VAL(src), ZSTR_LEN(src), level);
    if (zstd.isError(written)) {
        zend_string_efree(out);
        return nullptr;
    }
    return kelvoPackFinish(out, written, true);
}

/*
 * A Zstandard block yields at most 128 KiB and takes at least 4 bytes (an RLE
 * block), so a frame cannot honestly declare more than 32768 bytes per byte.
 */
constexpr unsigned long long kelvoZSTDMaxRatio = 32768;

/* Whether a frame's declared content size is one we decode: known, honest and affordable. */
static bool kelvoZSTDSizeAcceptable(unsigned long long size, size_t len)
{
    if (size == ZSTD_CONTENTSIZE_UNKNOWN || size == ZSTD_CONTENTSIZE_ERROR)
        return false;
    return size / kelvoZSTDMaxRatio <= len && size <= kelvoUnpackBudget();
}

static zend_string *kelvoZSTDUncompress(const char *buf, size_t len)
{
    const kelvoZSTDFnTable &zstd = kelvoZSTDFns;
    if (!zstd.versionNumber || len == 0)
        return nullptr;
    unsigned long long size = zstd.getFrameContentSize(buf, len);
    if (!kelvoZSTDSizeAcceptable(size, len))
        return nullptr;
    kelvoZSTDContextsReady();
    zend_string *out = kelvoPackAlloc(size);
    size_t written = kelvoZSTDContexts.dctx ? zstd.decompressDCtx(kelvoZSTDContexts.dctx, ZSTR_VAL(out), size, buf, len)
                                            : zstd.decompress(ZSTR_VAL(out), size, buf, len);
    if (zstd.isError(written) || written != size) {
        zend_string_efree(out);
        return nullptr;
    }
    return kelvoPackFinish(out, written, false);
}

const kelvoCmpInfo kelvoZSTDCmpInfo = {KELVO_COMPRESSION_ZSTD, "ZSTD", kelvoZSTDCompress, kelvoZSTDUncompress};
