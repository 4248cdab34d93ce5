/*
 * The "lz4" compressor, in the module's own form: byte 0 the CRC-8 of bytes
 * 1 to 4, bytes 1 to 4 the uncompressed length (unsigned 32-bit
 * little-endian), then one raw LZ4 block. liblz4 is looked up at run time.
 */
#include "pack/pack.h"
#include "pack/pack_libs.h"

kelvoLZ4FnTable kelvoLZ4Fns;

constexpr size_t kelvoLZ4HeaderSize = 5;
constexpr size_t kelvoLZ4MaxInput = 0x7FFFFFFF;
/* No LZ4 sequence writes more than 255 bytes per byte it takes. */
constexpr size_t kelvoLZ4MaxRatio = 255;

/* CRC-8: polynomial 0x31, initial value 0xFF, most significant bit first, no reflection, no final XOR. */
uint8_t kelvoCrc8(const uint8_t *bytes, size_t len)
{
    uint8_t crc = 0xFF;
    for (size_t i = 0; i < len; i++) {
        crc ^= bytes[i];
        for (int bit = 0; bit < 8; bit++)
            crc = static_cast<uint8_t>(crc & 0x80 ? (crc << 1) ^ 0x31 : crc << 1);
    }
    return crc;
}

static void kelvoLZ4WriteHeader(uint8_t *frame, uint32_t length)
{
    for (int i = 0; i < 4; i++)
        frame[1 + i] = static_cast<uint8_t>(length >> (8 * i));
    frame[0] = kelvoCrc8(frame + 1, 4);
}

static zend_string *kelvoLZ4Compress(zend_string *src, int32_t level)
{
    const kelvoLZ4FnTable &lz4 = kelvoLZ4Fns;
    size_t len = ZSTR_LEN(src);
    if (!lz4.versionNumber || len == 0)
        return nullptr;
    if (len > kelvoLZ4MaxInput) {
        php_error_docref(nullptr, E_WARNING, "LZ4: compressing > %d bytes not supported",
                         static_cast<int>(kelvoLZ4MaxInput));
        return nullptr;
    }
    int room = lz4.compressBound(static_cast<int>(len));
    if (room <= 0)
        return nullptr;
    zend_string *out = kelvoPackAlloc(kelvoLZ4HeaderSize + room);
    uint8_t *frame = reinterpret_cast<uint8_t *>(ZSTR_VAL(out));
    kelvoLZ4WriteHeader(frame, static_cast<uint32_t>(len));
    char *block = ZSTR_VAL(out) + kelvoLZ4HeaderSize;
    int written = level >= 1 && level <= 12 ? lz4.compressHC(ZSTR_VAL(src), block, static_cast<int>(len), room, level)
                                            : lz4.compressDefault(ZSTR_VAL(src), block, static_cast<int>(len), room);
    if (written <= 0) {
        zend_string_efree(out);
        return nullptr;
    }
    return kelvoPackFinish(out, kelvoLZ4HeaderSize + written, true);
}

/*
 * The stored length of a frame when the frame is well-formed and the length
 * is one its block can expand to and we can afford; -1 otherwise, before
 * anything is allocated.
 */
static int64_t kelvoLZ4StoredLength(const uint8_t *frame, size_t len)
{
    if (len < kelvoLZ4HeaderSize || len - kelvoLZ4HeaderSize > kelvoLZ4MaxInput)
        return -1;
    uint32_t stored = 0;
    for (int i = 0; i < 4; i++)
        stored |= static_cast<uint32_t>(frame[1 + i]) << (8 * i);
    if (static_cast<int32_t>(stored) < 0 || kelvoCrc8(frame + 1, 4) != frame[0])
        return -1;
    if (stored > (len - kelvoLZ4HeaderSize) * kelvoLZ4MaxRatio || stored > kelvoUnpackBudget())
        return -1;
    return stored;
}

static zend_string *kelvoLZ4Uncompress(const char *buf, size_t len)
{
    const kelvoLZ4FnTable &lz4 = kelvoLZ4Fns;
    if (!lz4.versionNumber)
        return nullptr;
    int64_t stored = kelvoLZ4StoredLength(reinterpret_cast<const uint8_t *>(buf), len);
    if (stored < 0)
        return nullptr;
    zend_string *out = kelvoPackAlloc(stored);
    int written = lz4.decompressSafe(buf + kelvoLZ4HeaderSize, ZSTR_VAL(out),
                                     static_cast<int>(len - kelvoLZ4HeaderSize), static_cast<int>(stored));
    if (written != stored) {
        zend_string_efree(out);
        return nullptr;
    }
    return kelvoPackFinish(out, written, false);
}

const kelvoCmpInfo kelvoLZ4CmpInfo = {KELVO_COMPRESSION_LZ4, "LZ4", kelvoLZ4Compress, kelvoLZ4Uncompress};
