// The key-to-slot rule: the CRC against its check value and a bitwise reference, and the slot
// of keys with and without hash tags.
#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <string>

#include "cluster/slots.h"

namespace {

// CRC-16/XMODEM one bit at a time, the way its definition reads.
uint16_t bitwiseCrc16(const std::string &bytes)
{
    uint16_t crc = 0;
    for (unsigned char byte : bytes) {
        crc ^= static_cast<uint16_t>(byte << 8);
        for (int bit = 0; bit < 8; bit++)
            crc = static_cast<uint16_t>((crc & 0x8000) ? (crc << 1) ^ 0x1021 : crc << 1);
    }
    return crc;
}

uint16_t slotOf(const std::string &key) { return kelvoClusterHashKey(key.data(), key.size()); }

struct SlotCase {
    const char *why;
    std::string key;
    uint16_t slot;
};

// Slots worked out by hand from the rule, and the ones the server documents for plain keys.
const SlotCase slotCases[] = {
    {"empty key", std::string(), 0},
    {"plain key", "foo", 12182},
    {"plain key", "bar", 5061},
    {"plain key", "hello", 866},
    {"CRC check string", "123456789", 0x31C3},
    {"tag alone", "user1000", 3443},
    {"tag at the start", "{user1000}.following", 3443},
    {"tag in the middle", "x{user1000}y", 3443},
    {"only the first tag counts", "{user1000}{other}", 3443},
    {"empty tag hashes the whole key", "foo{}{bar}", 8363},
    {"key of an empty tag alone", "{}", 15257},
    {"nested braces: tag up to the first close", "foo{{bar}}zap", 4015},
    {"  ... equal to that tag", "{bar", 4015},
    {"no close after the open", "foo{bar", 15278},
    {"lone open", "{", 4092},
    {"lone close", "}", 12090},
    {"close before open", "}{x}", 16287},
    {"NUL inside the key", std::string("a\0b", 3), 8383},
    {"NUL inside the tag", std::string("{a\0b}x", 6), 8383},
    {"NUL alone", std::string("\0", 1), 0},
    {"high bytes", "\xff\xfe", 3374},
};

class KeySlot : public ::testing::TestWithParam<SlotCase> {};

} // namespace

TEST(Crc16, CheckValueAndEmpty)
{
    EXPECT_EQ(kelvoCrc16("123456789", 9), 0x31C3);
    EXPECT_EQ(kelvoCrc16("", 0), 0);
}

TEST(Crc16, EqualsTheBitwiseDefinition)
{
    std::string all;
    for (int byte = 0; byte < 256; byte++) {
        std::string one(1, static_cast<char>(byte));
        EXPECT_EQ(kelvoCrc16(one.data(), one.size()), bitwiseCrc16(one)) << byte;
        all += one;
    }
    EXPECT_EQ(kelvoCrc16(all.data(), all.size()), bitwiseCrc16(all));

    std::mt19937 random(7);
    for (int round = 0; round < 200; round++) {
        std::string bytes(random() % 100, '\0');
        for (char &c : bytes)
            c = static_cast<char>(random());
        EXPECT_EQ(kelvoCrc16(bytes.data(), bytes.size()), bitwiseCrc16(bytes));
    }
}

TEST_P(KeySlot, IsTheSlotOfTheKeyOrItsTag)
{
    const SlotCase &c = GetParam();
    EXPECT_EQ(slotOf(c.key), c.slot) << c.why;
}

INSTANTIATE_TEST_SUITE_P(Keys, KeySlot, ::testing::ValuesIn(slotCases));

TEST(KeySlot, KeysSharingATagShareASlot)
{
    const std::string tags[] = {"user1000", "a", "{", std::string("\0x", 2), "long tag with spaces"};
    const std::string befores[] = {"", "x", "}", "abc}"}; // no "{" before the tag
    const std::string afters[] = {"", "x", "{}", "}", "{other}"};
    for (const std::string &tag : tags) {
        uint16_t slot = bitwiseCrc16(tag) & 0x3FFF;
        for (const std::string &before : befores)
            for (const std::string &after : afters)
                EXPECT_EQ(slotOf(before + "{" + tag + "}" + after), slot) << before << "{" << tag << "}" << after;
    }
}
