/* HyperLogLog values counted and merged locally, as the server counts them. */
#include "cache/hll.h"

#include <immintrin.h>

#include <cmath>
#include <cstring>

namespace {

constexpr int HLL_P = 14;
constexpr int HLL_Q = 64 - HLL_P;
constexpr double HLL_ALPHA_MM = 0.721347520444481703680 * double(KELVO_HLL_REGISTERS) * double(KELVO_HLL_REGISTERS);

using MergeDenseFn = void (*)(uint8_t *raw, const uint8_t *dense);
MergeDenseFn hllMergeDenseFn;

inline uint8_t denseRegister(const uint8_t *dense, size_t i)
{
    size_t bit = i * 6, byte = bit / 8;
    unsigned shift = bit & 7;
    unsigned low = dense[byte] >> shift;
    unsigned high = byte + 1 < KELVO_HLL_DENSE_BYTES ? unsigned(dense[byte + 1]) << (8 - shift) : 0;
    return uint8_t((low | high) & 63);
}

void hllMergeDenseStd(uint8_t *raw, const uint8_t *dense)
{
    for (size_t i = 0; i < KELVO_HLL_REGISTERS; i++) {
        uint8_t value = denseRegister(dense, i);
        if (value > raw[i])
            raw[i] = value;
    }
}

/* 32 registers (24 bytes) per step: each 3-byte group is spread into a dword, then its 6-bit fields into bytes. */
__attribute__((target("avx2"))) void hllMergeDenseAvx2(uint8_t *raw, const uint8_t *dense)
{
    const __m256i spread = _mm256_setr_epi8(0, 1, 2, -1, 3, 4, 5, -1, 6, 7, 8, -1, 9, 10, 11, -1, 0, 1, 2, -1, 3, 4, 5,
                                            -1, 6, 7, 8, -1, 9, 10, 11, -1);
    const __m256i m0 = _mm256_set1_epi32(0x3F), m1 = _mm256_set1_epi32(0x3F00), m2 = _mm256_set1_epi32(0x3F0000),
                  m3 = _mm256_set1_epi32(0x3F000000);
    constexpr size_t steps = KELVO_HLL_REGISTERS / 32;
    /* The second half of a step reads 16 bytes from byte 12: the last step would read past the end. */
    for (size_t s = 0; s + 1 < steps; s++) {
        const uint8_t *at = dense + s * 24;
        __m256i bytes = _mm256_set_m128i(_mm_loadu_si128(reinterpret_cast<const __m128i *>(at + 12)),
                                         _mm_loadu_si128(reinterpret_cast<const __m128i *>(at)));
        __m256i v = _mm256_shuffle_epi8(bytes, spread);
        __m256i regs =
            _mm256_or_si256(_mm256_or_si256(_mm256_and_si256(v, m0), _mm256_and_si256(_mm256_slli_epi32(v, 2), m1)),
                            _mm256_or_si256(_mm256_and_si256(_mm256_slli_epi32(v, 4), m2),
                                            _mm256_and_si256(_mm256_slli_epi32(v, 6), m3)));
        auto *out = reinterpret_cast<__m256i *>(raw + s * 32);
        _mm256_storeu_si256(out, _mm256_max_epu8(_mm256_loadu_si256(out), regs));
    }
    for (size_t i = (steps - 1) * 32; i < KELVO_HLL_REGISTERS; i++) {
        uint8_t value = denseRegister(dense, i);
        if (value > raw[i])
            raw[i] = value;
    }
}

double tau(double x)
{
    if (x == 0.0 || x == 1.0)
        return 0.0;
    double y = 1.0, z = 1.0 - x, previous;
    do {
        x = sqrt(x);
        previous = z;
        y *= 0.5;
        z -= pow(1.0 - x, 2) * y;
    } while (previous != z);
    return z / 3;
}

double sigma(double x)
{
    if (x == 1.0)
        return INFINITY;
    double y = 1.0, z = x, previous;
    do {
        x *= x;
        previous = z;
        z += x * y;
        y += y;
    } while (previous != z);
    return z;
}

/* Walks sparse opcodes: `run`(value, start, count) for every run; false when the runs do not cover exactly 16384. */
template <typename Run>
bool walkSparse(const uint8_t *p, size_t length, Run run)
{
    const uint8_t *end = p + length;
    size_t at = 0;
    while (p < end) {
        size_t count;
        unsigned value = 0;
        if ((*p & 0xC0) == 0) {
            count = (*p & 0x3F) + 1;
            p++;
        } else if ((*p & 0xC0) == 0x40) {
            if (p + 1 >= end)
                return false;
            count = (size_t(*p & 0x3F) << 8 | p[1]) + 1;
            p += 2;
        } else {
            value = ((*p >> 2) & 0x1F) + 1;
            count = (*p & 3) + 1;
            p++;
        }
        if (count > KELVO_HLL_REGISTERS - at)
            return false;
        run(value, at, count);
        at += count;
    }
    return at == KELVO_HLL_REGISTERS;
}

uint64_t estimate(const uint32_t (&histogram)[64])
{
    double m = double(KELVO_HLL_REGISTERS);
    double z = m * tau((m - histogram[HLL_Q + 1]) / m);
    for (int j = HLL_Q; j >= 1; j--) {
        z += histogram[j];
        z *= 0.5;
    }
    z += m * sigma(histogram[0] / m);
    return uint64_t(llround(HLL_ALPHA_MM / z));
}

void setDenseRegister(uint8_t *dense, size_t i, unsigned value)
{
    size_t bit = i * 6, byte = bit / 8;
    unsigned shift = bit & 7;
    dense[byte] = uint8_t((dense[byte] & ~(63u << shift)) | (value << shift));
    if (shift > 2) {
        unsigned spill = 8 - shift;
        dense[byte + 1] = uint8_t((dense[byte + 1] & ~(63u >> spill)) | (value >> spill));
    }
}

bool validHeader(const char *bytes, size_t length)
{
    return bytes && length >= KELVO_HLL_HEADER && memcmp(bytes, "HYLL", 4) == 0 &&
           uint8_t(bytes[4]) <= KELVO_HLL_SPARSE;
}

} // namespace

void kelvoHllGlobalInit(void)
{
    __builtin_cpu_init();
    hllMergeDenseFn = __builtin_cpu_supports("avx2") ? hllMergeDenseAvx2 : hllMergeDenseStd;
}

bool kelvoHllForceAvx2(bool avx2)
{
    __builtin_cpu_init();
    if (avx2 && !__builtin_cpu_supports("avx2"))
        return false;
    hllMergeDenseFn = avx2 ? hllMergeDenseAvx2 : hllMergeDenseStd;
    return true;
}

uint64_t kelvoHllCountRegisters(int encoding, const uint8_t *registers, size_t length, bool *invalid)
{
    uint32_t histogram[64] = {};
    *invalid = false;
    if (encoding == KELVO_HLL_DENSE) {
        if (length < KELVO_HLL_DENSE_BYTES) {
            *invalid = true;
            return 0;
        }
        for (size_t i = 0; i < KELVO_HLL_REGISTERS; i++)
            histogram[denseRegister(registers, i)]++;
    } else if (encoding == KELVO_HLL_SPARSE) {
        if (!walkSparse(registers, length, [&](unsigned value, size_t, size_t count) { histogram[value] += count; })) {
            *invalid = true;
            return 0;
        }
    } else {
        if (length < KELVO_HLL_REGISTERS) {
            *invalid = true;
            return 0;
        }
        for (size_t i = 0; i < KELVO_HLL_REGISTERS; i += 8) {
            uint64_t word;
            memcpy(&word, registers + i, 8);
            if (word == 0) {
                histogram[0] += 8;
                continue;
            }
            for (size_t j = 0; j < 8; j++)
                histogram[registers[i + j] & 63]++;
        }
    }
    return estimate(histogram);
}

int kelvoHllCount(const char *bytes, size_t length, uint64_t *out)
{
    if (!validHeader(bytes, length))
        return -1;
    auto *u = reinterpret_cast<const uint8_t *>(bytes);
    int encoding = u[4];
    if (length == KELVO_HLL_DENSE_SIZE) {
        if (encoding == KELVO_HLL_DENSE && !(u[15] & 0x80)) {
            uint64_t cached = 0;
            for (int i = 7; i >= 0; i--)
                cached = cached << 8 | u[8 + i];
            *out = cached;
            return 0;
        }
    } else if (encoding == KELVO_HLL_DENSE) {
        return -1;
    }
    bool invalid;
    uint64_t count = kelvoHllCountRegisters(encoding, u + KELVO_HLL_HEADER, length - KELVO_HLL_HEADER, &invalid);
    if (invalid)
        return -1;
    *out = count;
    return 0;
}

void kelvoHllMergeDense(uint8_t *raw, const uint8_t *dense)
{
    if (!hllMergeDenseFn)
        kelvoHllGlobalInit();
    hllMergeDenseFn(raw, dense);
}

int kelvoHllMerge(uint8_t *raw, const char *bytes, size_t length)
{
    if (!validHeader(bytes, length))
        return -1;
    auto *u = reinterpret_cast<const uint8_t *>(bytes);
    if (u[4] == KELVO_HLL_DENSE) {
        if (length != KELVO_HLL_DENSE_SIZE)
            return -1;
        kelvoHllMergeDense(raw, u + KELVO_HLL_HEADER);
        return 0;
    }
    /* Checked whole before anything changes: a malformed value leaves the set as it was. */
    if (!walkSparse(u + KELVO_HLL_HEADER, length - KELVO_HLL_HEADER, [](unsigned, size_t, size_t) {}))
        return -1;
    walkSparse(u + KELVO_HLL_HEADER, length - KELVO_HLL_HEADER, [&](unsigned value, size_t at, size_t count) {
        for (size_t i = at; i < at + count; i++)
            if (value > raw[i])
                raw[i] = uint8_t(value);
    });
    return 0;
}

uint64_t kelvoMurmurHash64A(const void *bytes, size_t length, uint64_t seed)
{
    constexpr uint64_t m = 0xc6a4a7935bd1e995ULL;
    constexpr int r = 47;
    auto *p = static_cast<const uint8_t *>(bytes);
    uint64_t h = seed ^ (uint64_t(length) * m);
    for (size_t blocks = length / 8; blocks > 0; blocks--, p += 8) {
        uint64_t k = 0;
        for (int i = 7; i >= 0; i--)
            k = k << 8 | p[i];
        k *= m;
        k ^= k >> r;
        k *= m;
        h ^= k;
        h *= m;
    }
    size_t tail = length & 7;
    if (tail) {
        for (size_t i = tail; i > 0; i--)
            h ^= uint64_t(p[i - 1]) << (8 * (i - 1));
        h *= m;
    }
    h ^= h >> r;
    h *= m;
    h ^= h >> r;
    return h;
}

unsigned kelvoHllPattern(const char *member, size_t length, size_t *index)
{
    uint64_t hash = kelvoMurmurHash64A(member, length, KELVO_HLL_SEED);
    *index = size_t(hash & (KELVO_HLL_REGISTERS - 1));
    /* The forced bit caps the count at 51 when the remaining 50 bits are all zero. */
    uint64_t rest = (hash >> HLL_P) | (uint64_t(1) << HLL_Q);
    return unsigned(__builtin_ctzll(rest)) + 1;
}

void kelvoHllDenseInit(uint8_t *value)
{
    memset(value, 0, KELVO_HLL_DENSE_SIZE);
    memcpy(value, "HYLL", 4);
    value[4] = KELVO_HLL_DENSE;
}

bool kelvoHllDenseAdd(uint8_t *value, const char *member, size_t length)
{
    size_t index;
    unsigned count = kelvoHllPattern(member, length, &index);
    uint8_t *dense = value + KELVO_HLL_HEADER;
    if (count <= denseRegister(dense, index))
        return false;
    setDenseRegister(dense, index, count);
    value[15] |= 0x80;
    return true;
}
