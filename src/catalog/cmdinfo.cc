/* The catalogue's functions: name lookup, reply-type check, key types, least roles. */
#include "catalog/cmdinfo.h"
#include "catalog/cmdtable.h"
#include "runtime/fatal.h"

#include <cstring>

constexpr kelvoCommandInfo kelvoUnknownCmd{
    static_cast<uint32_t>(REDIS_CMD_UNKNOWN), "",     0, KELVO_REPLIES_ANY, -1, 0,
    kelvoStdSlots{nullptr, nullptr, nullptr}, nullptr};

namespace {

constexpr uint64_t ones = 0x0101010101010101ULL;
constexpr uint64_t highBits = 0x8080808080808080ULL;

/* a-z to A-Z in each byte of a word; bytes with the high bit set are never letters. */
inline uint64_t foldAsciiUpper(uint64_t word)
{
    uint64_t low7 = word & ~highBits;
    uint64_t atLeastA = low7 + (0x80 - 'a') * ones;
    uint64_t aboveZ = low7 + (0x80 - 'z' - 1) * ones;
    uint64_t lower = atLeastA & ~aboveZ & ~word & highBits;
    return word - (lower >> 2);
}

inline uint64_t load8(const char *p)
{
    uint64_t word;
    memcpy(&word, p, sizeof word);
    return word;
}

/* Up to 8 bytes, little-endian, zero-filled; never reads past len. */
inline uint64_t loadShort(const char *p, size_t len)
{
    if (len >= 8)
        return load8(p);
    uint64_t word = 0;
    for (size_t i = 0; i < len; i++)
        word |= static_cast<uint64_t>(static_cast<unsigned char>(p[i])) << (8 * i);
    return word;
}

inline unsigned char foldByte(unsigned char c) { return c >= 'a' && c <= 'z' ? c - ('a' - 'A') : c; }

} // namespace

static_assert(__BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__, "name keys are packed little-endian");

int kelvoCmdStringIsEqualCI(const char *candidate, const char *data, size_t len)
{
    for (size_t i = 0; i < len; i++) {
        if (foldByte(static_cast<unsigned char>(candidate[i])) != foldByte(static_cast<unsigned char>(data[i])))
            return 0;
    }
    return 1;
}

int kelvoStringToRedisCmd(int *cmd, const char *name, size_t len)
{
    if (len < KELVO_CMD_NAME_MIN || len > KELVO_CMD_NAME_MAX)
        return -1;

    /* Same hash input as tools/gencmdinfo.py's hash_input(). */
    uint64_t key = foldAsciiUpper(loadShort(name, len));
    uint64_t tail = len > 8 ? foldAsciiUpper(load8(name + len - 8)) : 0;
    uint64_t input = key ^ (tail << 29 | tail >> 35);

    const kelvoCmdLookupBucket &bucket = kelvoCmdLookupBuckets[len];
    int id = kelvoCmdLookupSlots[bucket.base + ((input * bucket.mul) >> bucket.shift)];
    if (id < 0)
        return -1;

    /* Wire names are upper case already: fold the input only. Bytes 8 on in 8-byte steps,
     * the last step overlapping the one before it. */
    const kelvoCommandString &candidate = kelvoCommandStrings[id];
    if (candidate.key != key)
        return -1;
    for (size_t at = 8; at < len; at += 8) {
        size_t from = at + 8 <= len ? at : len - 8;
        if (foldAsciiUpper(load8(name + from)) != load8(candidate.name + from))
            return -1;
    }
    *cmd = id;
    return 0;
}

bool kelvoCmdAcceptsReplyType(int cmd, int type)
{
    if (cmd < REDIS_CMD_UNKNOWN || cmd >= REDIS_CMD_MAX)
        kelvoUnreachable();
    if (type <= 0 || type > REDIS_REPLY_VERB)
        return false;
    uint32_t accepted = cmd == REDIS_CMD_UNKNOWN ? kelvoUnknownCmd.replyTypes : kelvoCommandReplyTypes[cmd];
    return (accepted & KELVO_REPLY_BIT(type)) != 0;
}

int kelvoCmdToKeyType(int cmd)
{
    if (cmd >= 0 && cmd < REDIS_CMD_MAX && kelvoCommandKeyTypes[cmd] != 0)
        return kelvoCommandKeyTypes[cmd];
    kelvoPanic("Unknown command type: '%d'\n", cmd);
}
