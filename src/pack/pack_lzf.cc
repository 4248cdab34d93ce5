/*
 * The "lzf" compressor: raw LZF data (Debian's liblzf), no header of our own.
 */
#include "pack/pack.h"
#include "pack/pack_libs.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <lzf.h>

static zend_string *kelvoLZFCompress(zend_string *src, int32_t level)
{
    size_t len = ZSTR_LEN(src);
    if (len == 0 || len > UINT_MAX)
        return nullptr;
    size_t room = std::min<size_t>(len < 3200 ? len + 128 : len + len / 25, UINT_MAX);
    zend_string *out = kelvoPackAlloc(room);
    unsigned int written = lzf_compress(ZSTR_VAL(src), len, ZSTR_VAL(out), room);
    if (written == 0) {
        zend_string_efree(out);
        return nullptr;
    }
    return kelvoPackFinish(out, written, false);
}

/*
 * An LZF back-reference writes at most 264 bytes from 3 input bytes, so no
 * valid input expands 128-fold: past that factor the input is corrupt.
 */
constexpr size_t kelvoLZFMaxFactor = 128;

static zend_string *kelvoLZFUncompress(const char *buf, size_t len)
{
    if (len == 0 || len > UINT_MAX)
        return nullptr;
    size_t budget = std::min<size_t>(kelvoUnpackBudget(), UINT_MAX);
    for (size_t factor = 2; factor <= kelvoLZFMaxFactor && len <= budget / factor; factor *= 2) {
        size_t room = len * factor;
        zend_string *out = kelvoPackAlloc(room);
        errno = 0;
        unsigned int written = lzf_decompress(buf, len, ZSTR_VAL(out), room);
        if (written > 0)
            return kelvoPackFinish(out, written, true);
        zend_string_efree(out);
        if (errno != E2BIG)
            return nullptr;
    }
    return nullptr;
}

const kelvoCmpInfo kelvoLZFCmpInfo = {KELVO_COMPRESSION_LZF, "lzf", kelvoLZFCompress, kelvoLZFUncompress};
const kelvoCmpInfo kelvoNoneCmpInfo = {KELVO_COMPRESSION_NONE, "none", nullptr, nullptr};
