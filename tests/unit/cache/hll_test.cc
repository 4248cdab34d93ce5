// HyperLogLog values counted and merged locally: malformed values, the cached cardinality,
// both merge kernels, and equality with the harness server's own PFCOUNT over random sets in
// both encodings and over merges of several keys. Sketches built locally from members: the
// registers the server chose for a few members (noted once from PFADD into an empty key), and
// the whole register set and count of the harness server's own PFADD of the same members.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "cache/hll.h"
#include "resp3/resp3.h"

namespace {

std::string header(int encoding, uint64_t cached, bool cacheValid)
{
    std::string h = "HYLL";
    h += char(encoding);
    h += std::string(3, '\0');
    for (int i = 0; i < 8; i++)
        h += char((cached >> (8 * i)) & 0xFF);
    if (!cacheValid)
        h[15] = char(uint8_t(h[15]) | 0x80);
    return h;
}

/* Dense registers from raw ones. */
std::string packDense(const std::vector<uint8_t> &raw)
{
    std::string dense(KELVO_HLL_DENSE_BYTES, '\0');
    for (size_t i = 0; i < KELVO_HLL_REGISTERS; i++) {
        size_t bit = i * 6, byte = bit / 8;
        unsigned shift = bit & 7;
        unsigned v = raw[i] & 63;
        dense[byte] = char(uint8_t(dense[byte]) | uint8_t(v << shift));
        if (shift > 2)
            dense[byte + 1] = char(uint8_t(dense[byte + 1]) | uint8_t(v >> (8 - shift)));
    }
    return dense;
}

/* Sparse opcodes from raw registers (values 1 .. 32 only). */
std::string packSparse(const std::vector<uint8_t> &raw)
{
    std::string out;
    for (size_t i = 0; i < raw.size();) {
        size_t run = 1;
        while (i + run < raw.size() && raw[i + run] == raw[i])
            run++;
        if (raw[i] == 0) {
            for (size_t left = run; left > 0;) {
                size_t n = left > 16384 ? 16384 : left;
                if (n <= 64) {
                    out += char(n - 1);
                } else {
                    out += char(0x40 | ((n - 1) >> 8));
                    out += char((n - 1) & 0xFF);
                }
                left -= n;
            }
        } else {
            for (size_t left = run; left > 0;) {
                size_t n = left > 4 ? 4 : left;
                out += char(0x80 | ((raw[i] - 1) << 2) | (n - 1));
                left -= n;
            }
        }
        i += run;
    }
    return out;
}

std::vector<uint8_t> randomRegisters(std::mt19937_64 &rng, int maxValue, double density)
{
    std::vector<uint8_t> raw(KELVO_HLL_REGISTERS, 0);
    std::uniform_real_distribution<double> coin(0, 1);
    for (auto &r : raw)
        if (coin(rng) < density)
            r = uint8_t(1 + rng() % maxValue);
    return raw;
}

uint64_t countRaw(const std::vector<uint8_t> &raw)
{
    bool invalid = true;
    uint64_t n = kelvoHllCountRegisters(KELVO_HLL_RAW, raw.data(), raw.size(), &invalid);
    EXPECT_FALSE(invalid);
    return n;
}

int count(const std::string &value, uint64_t *out) { return kelvoHllCount(value.data(), value.size(), out); }

TEST(Hll, AllZeroRegistersCountZero)
{
    std::vector<uint8_t> raw(KELVO_HLL_REGISTERS, 0);
    EXPECT_EQ(countRaw(raw), 0u);
    uint64_t n = 99;
    EXPECT_EQ(count(header(1, 0, false) + packSparse(raw), &n), 0);
    EXPECT_EQ(n, 0u);
}

TEST(Hll, AValidCachedCardinalityIsTrusted)
{
    std::vector<uint8_t> raw(KELVO_HLL_REGISTERS, 0);
    uint64_t n = 0;
    EXPECT_EQ(count(header(0, 0x0102030405ull, true) + packDense(raw), &n), 0);
    EXPECT_EQ(n, 0x0102030405ull);
    EXPECT_EQ(count(header(0, 0x0102030405ull, false) + packDense(raw), &n), 0);
    EXPECT_EQ(n, 0u);
}

TEST(Hll, MalformedValuesAreRefused)
{
    std::vector<uint8_t> raw(KELVO_HLL_REGISTERS, 0);
    std::string dense = packDense(raw);
    std::string runs16383 = std::string(1, char(0x40 | 0x3F)) + char(0xFE); // 16383 zeros
    std::string runs16385 = std::string(1, char(0x40 | 0x3F)) + char(0xFF) + char(0);
    struct Case {
        const char *name;
        std::string value;
    } cases[] = {
        {"empty", ""},
        {"short", "HYLL"},
        {"not HYLL", "HYLX" + header(0, 0, true).substr(4) + dense},
        {"encoding 2", header(2, 0, false) + dense},
        {"dense one byte short", header(0, 0, false) + dense.substr(1)},
        {"dense one byte long", header(0, 0, false) + dense + "x"},
        {"sparse 16383 registers", header(1, 0, false) + runs16383},
        {"sparse 16385 registers", header(1, 0, false) + runs16385},
        {"sparse cut XZERO", header(1, 0, false) + runs16383 + char(0x40)},
        {"sparse no opcodes", header(1, 0, false)},
    };
    for (const Case &c : cases) {
        uint64_t n = 0;
        EXPECT_EQ(count(c.value, &n), -1) << c.name;
        std::vector<uint8_t> into(KELVO_HLL_REGISTERS, 7);
        if (!c.value.empty()) {
            EXPECT_EQ(kelvoHllMerge(into.data(), c.value.data(), c.value.size()), -1) << c.name;
        }
        EXPECT_EQ(into, std::vector<uint8_t>(KELVO_HLL_REGISTERS, 7)) << c.name;
    }
}

TEST(Hll, EncodingsOfOneRegisterSetCountAlike)
{
    std::mt19937_64 rng(7);
    for (double density : {0.001, 0.05, 0.5, 1.0}) {
        std::vector<uint8_t> raw = randomRegisters(rng, 20, density);
        uint64_t fromRaw = countRaw(raw), fromDense = 1, fromSparse = 2;
        ASSERT_EQ(count(header(0, 0, false) + packDense(raw), &fromDense), 0);
        ASSERT_EQ(count(header(1, 0, false) + packSparse(raw), &fromSparse), 0);
        EXPECT_EQ(fromDense, fromRaw) << density;
        EXPECT_EQ(fromSparse, fromRaw) << density;
    }
}

TEST(Hll, BothMergeKernelsGiveOneResult)
{
    std::mt19937_64 rng(11);
    for (int round = 0; round < 20; round++) {
        std::vector<uint8_t> start = randomRegisters(rng, 40, 0.5), other = randomRegisters(rng, 63, 0.7);
        std::string dense = packDense(other);
        std::vector<uint8_t> plain = start, wide = start;
        ASSERT_TRUE(kelvoHllForceAvx2(false));
        kelvoHllMergeDense(plain.data(), reinterpret_cast<const uint8_t *>(dense.data()));
        ASSERT_TRUE(kelvoHllForceAvx2(true)) << "this processor lacks AVX2";
        kelvoHllMergeDense(wide.data(), reinterpret_cast<const uint8_t *>(dense.data()));
        EXPECT_EQ(plain, wide);
        for (size_t i = 0; i < KELVO_HLL_REGISTERS; i++)
            ASSERT_EQ(plain[i], std::max(start[i], uint8_t(other[i] & 63))) << i;
    }
    kelvoHllGlobalInit();
}

/* The registers of a value, decoded. */
std::vector<uint8_t> registersOf(const uint8_t *value, size_t length)
{
    std::vector<uint8_t> raw(KELVO_HLL_REGISTERS, 0);
    EXPECT_EQ(kelvoHllMerge(raw.data(), reinterpret_cast<const char *>(value), length), 0);
    return raw;
}

TEST(HllBuild, MembersFallWhereTheServerPutThem)
{
    /* Member lengths 0 to 9 and 24 walk every tail length of the hash and more than one block. */
    struct Case {
        std::string member;
        size_t index;
        unsigned count;
    } cases[] = {
        {"", 5938, 2},
        {"a", 12711, 2},
        {"ab", 719, 1},
        {"abc", 9474, 1},
        {"abcd", 11070, 8},
        {"abcde", 3726, 4},
        {"abcdef", 13647, 2},
        {"abcdefg", 5634, 2},
        {"abcdefgh", 1383, 1},
        {"abcdefghi", 6903, 1},
        {"kelvo", 10150, 3},
        {std::string("\0\xff\x80", 3), 16255, 2},
        {"member:12345678901234567", 12585, 2},
    };
    for (const Case &c : cases) {
        size_t index = 0;
        EXPECT_EQ(kelvoHllPattern(c.member.data(), c.member.size(), &index), c.count) << c.member;
        EXPECT_EQ(index, c.index) << c.member;
    }
}

TEST(HllBuild, AddingMarksTheCachedCardinalityOnlyWhenARegisterRises)
{
    std::vector<uint8_t> value(KELVO_HLL_DENSE_SIZE);
    kelvoHllDenseInit(value.data());
    uint64_t n = 99;
    ASSERT_EQ(kelvoHllCount(reinterpret_cast<const char *>(value.data()), value.size(), &n), 0);
    EXPECT_EQ(n, 0u);
    EXPECT_TRUE(kelvoHllDenseAdd(value.data(), "abcd", 4));
    EXPECT_TRUE(value[15] & 0x80);
    value[15] &= 0x7F;
    /* "abcd" offers 8 at its register: again, or a smaller offer there, changes nothing. */
    EXPECT_FALSE(kelvoHllDenseAdd(value.data(), "abcd", 4));
    EXPECT_FALSE(value[15] & 0x80);
    std::vector<uint8_t> raw = registersOf(value.data(), value.size());
    EXPECT_EQ(raw[11070], 8);
    EXPECT_EQ(std::count(raw.begin(), raw.end(), 0), ptrdiff_t(KELVO_HLL_REGISTERS - 1));
}

/* --- against the server --------------------------------------------------------------------- */

struct Server : ::testing::Test {
    redisContext *c = nullptr;
    void SetUp() override
    {
        const char *host = getenv("KELVO_TEST_HOST"), *port = getenv("KELVO_TEST_PORT");
        ASSERT_TRUE(host && port) << "the harness's servers are not running (tests/harness/servers)";
        redisOptions o{};
        o.type = REDIS_CONN_TCP;
        o.endpoint.tcp.ip = host;
        o.endpoint.tcp.port = atoi(port);
        c = redisConnectWithOptions(&o);
        ASSERT_TRUE(c && !c->err);
        command({"SELECT", "9"});
    }
    void TearDown() override
    {
        if (c)
            redisFree(c);
    }
    redisReply *command(const std::vector<std::string> &args)
    {
        std::string wire = "*" + std::to_string(args.size()) + "\r\n";
        for (const std::string &a : args)
            wire += "$" + std::to_string(a.size()) + "\r\n" + a + "\r\n";
        EXPECT_EQ(redisAppendFormattedCommand(c, wire.data(), wire.size()), REDIS_OK);
        void *reply = nullptr;
        EXPECT_EQ(redisGetReply(c, &reply), REDIS_OK);
        replies.push_back(static_cast<redisReply *>(reply));
        return static_cast<redisReply *>(reply);
    }
    std::vector<redisReply *> replies;
    ~Server() override
    {
        for (redisReply *r : replies)
            freeReplyObject(r);
    }
    void fill(const std::string &key, size_t members, std::mt19937_64 &rng)
    {
        command({"DEL", key});
        for (size_t done = 0; done < members;) {
            std::vector<std::string> args = {"PFADD", key};
            for (size_t i = 0; i < 500 && done < members; i++, done++)
                args.push_back(std::to_string(rng()));
            command(args);
        }
    }
    std::string value(const std::string &key)
    {
        redisReply *r = command({"GET", key});
        return std::string(r->str, r->len);
    }
    uint64_t pfcount(const std::vector<std::string> &keys)
    {
        std::vector<std::string> args = {"PFCOUNT"};
        args.insert(args.end(), keys.begin(), keys.end());
        return uint64_t(command(args)->integer);
    }
};

TEST_F(Server, CountsEqualPfcountInBothEncodings)
{
    std::mt19937_64 rng(2024);
    for (size_t members : {1, 10, 100, 1000, 5000, 20000, 200000}) {
        fill("kelvo:hll", members, rng);
        std::string before = value("kelvo:hll");
        uint64_t local = 0;
        ASSERT_EQ(kelvoHllCount(before.data(), before.size(), &local), 0) << members;
        EXPECT_EQ(local, pfcount({"kelvo:hll"})) << members << " members, encoding " << int(before[4]);
        std::string after = value("kelvo:hll");
        ASSERT_EQ(kelvoHllCount(after.data(), after.size(), &local), 0);
        EXPECT_EQ(local, pfcount({"kelvo:hll"})) << "cached cardinality, " << members;
    }
}

TEST_F(Server, MergesOfSeveralKeysEqualPfcount)
{
    std::mt19937_64 rng(99);
    std::vector<std::string> keys = {"kelvo:hll:a", "kelvo:hll:b", "kelvo:hll:c", "kelvo:hll:d"};
    size_t sizes[] = {50, 3000, 40000, 7};
    for (size_t i = 0; i < keys.size(); i++)
        fill(keys[i], sizes[i], rng);
    for (size_t n = 2; n <= keys.size(); n++) {
        std::vector<std::string> some(keys.begin(), keys.begin() + n);
        std::vector<uint8_t> raw(KELVO_HLL_REGISTERS, 0);
        for (const std::string &k : some) {
            std::string v = value(k);
            ASSERT_EQ(kelvoHllMerge(raw.data(), v.data(), v.size()), 0) << k;
        }
        EXPECT_EQ(countRaw(raw), pfcount(some)) << n << " keys";
    }
}

TEST_F(Server, SketchesBuiltFromMembersEqualTheServersPfadd)
{
    std::mt19937_64 rng(5);
    for (size_t members : {3, 2000, 60000}) {
        command({"DEL", "kelvo:hll:members"});
        std::vector<uint8_t> local(KELVO_HLL_DENSE_SIZE);
        kelvoHllDenseInit(local.data());
        for (size_t done = 0; done < members;) {
            std::vector<std::string> args = {"PFADD", "kelvo:hll:members"};
            for (size_t i = 0; i < 500 && done < members; i++, done++) {
                /* Varied lengths and bytes, so every tail of the hash is met. */
                std::string m(rng() % 20, '\0');
                for (char &ch : m)
                    ch = char(rng());
                args.push_back(m);
                kelvoHllDenseAdd(local.data(), m.data(), m.size());
            }
            command(args);
        }
        std::string server = value("kelvo:hll:members");
        std::vector<uint8_t> expected(KELVO_HLL_REGISTERS, 0);
        ASSERT_EQ(kelvoHllMerge(expected.data(), server.data(), server.size()), 0);
        EXPECT_EQ(registersOf(local.data(), local.size()), expected) << members << " members";
        uint64_t n = 0;
        ASSERT_EQ(kelvoHllCount(reinterpret_cast<const char *>(local.data()), local.size(), &n), 0);
        EXPECT_EQ(n, pfcount({"kelvo:hll:members"})) << members << " members";
    }
}

} // namespace
