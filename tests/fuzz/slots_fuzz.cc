// The key-to-slot rule on arbitrary keys, against the CRC computed one bit at a time and the
// hash-tag rule written out plainly.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>

#include "cluster/slots.h"

namespace {

uint16_t bitwiseCrc16(const uint8_t *bytes, size_t length)
{
    uint16_t crc = 0;
    for (size_t i = 0; i < length; i++) {
        crc ^= static_cast<uint16_t>(bytes[i] << 8);
        for (int bit = 0; bit < 8; bit++)
            crc = static_cast<uint16_t>((crc & 0x8000) ? (crc << 1) ^ 0x1021 : crc << 1);
    }
    return crc;
}

uint16_t plainSlot(const uint8_t *key, size_t length)
{
    size_t open = 0;
    while (open < length && key[open] != '{')
        open++;
    size_t close = open + 1;
    while (close < length && key[close] != '}')
        close++;
    bool tagged = open < length && close < length && close > open + 1;
    if (tagged)
        return bitwiseCrc16(key + open + 1, close - open - 1) % 16384;
    return bitwiseCrc16(key, length) % 16384;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    // An exact-size copy, so a read past the key trips ASan.
    std::unique_ptr<char[]> key(new char[size ? size : 1]);
    for (size_t i = 0; i < size; i++)
        key[i] = static_cast<char>(data[i]);
    if (kelvoCrc16(key.get(), size) != bitwiseCrc16(data, size))
        abort();
    if (kelvoClusterHashKey(key.get(), size) != plainSlot(data, size))
        abort();
    return 0;
}
