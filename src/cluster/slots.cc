/*
 * The key-to-slot rule: CRC-16/XMODEM through a 256-entry table built at compile time, over
 * the key's hash tag when it has a non-empty one.
 */
#include "cluster/slots.h"

#include <array>
#include <cstring>

namespace {

constexpr uint16_t crc16Polynomial = 0x1021;
constexpr uint16_t slotMask = 0x3FFF;

constexpr std::array<uint16_t, 256> makeCrc16Table()
{
    std::array<uint16_t, 256> table{};
    for (unsigned byte = 0; byte < 256; byte++) {
        uint16_t crc = static_cast<uint16_t>(byte << 8);
        for (int bit = 0; bit < 8; bit++)
            crc = static_cast<uint16_t>((crc & 0x8000) ? (crc << 1) ^ crc16Polynomial : crc << 1);
        table[byte] = crc;
    }
    return table;
}

constexpr std::array<uint16_t, 256> crc16tab = makeCrc16Table();

static_assert(crc16tab[1] == 0x1021 && crc16tab[255] == 0x1EF0, "CRC-16/XMODEM table");

} // namespace

uint16_t kelvoCrc16(const char *bytes, size_t length)
{
    uint16_t crc = 0;
    for (size_t i = 0; i < length; i++) {
        uint8_t index = static_cast<uint8_t>((crc >> 8) ^ static_cast<uint8_t>(bytes[i]));
        crc = static_cast<uint16_t>((crc << 8) ^ crc16tab[index]);
    }
    return crc;
}

uint16_t kelvoClusterHashKey(const char *key, size_t length)
{
    if (length == 0)
        return 0;
    const char *open = static_cast<const char *>(memchr(key, '{', length));
    if (open) {
        const char *tag = open + 1;
        size_t rest = length - static_cast<size_t>(tag - key);
        const char *close = static_cast<const char *>(memchr(tag, '}', rest));
        /* An empty tag ("{}") or an unclosed one hashes the whole key. */
        if (close && close != tag)
            return kelvoCrc16(tag, static_cast<size_t>(close - tag)) & slotMask;
    }
    return kelvoCrc16(key, length) & slotMask;
}
