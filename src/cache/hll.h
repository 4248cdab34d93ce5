/*
 * Counting values in the server's HyperLogLog format locally: a cached
 * PFCOUNT-style string gives the same number the server would, and several
 * cached values merge into one register set before counting.
 *
 * Formats: a 16-byte header ("HYLL", encoding byte 0 dense or 1 sparse,
 * three reserved bytes, the cached cardinality little-endian with bit 63
 * marking it invalid), then 16384 six-bit registers: dense packed least
 * significant bit first (12288 bytes), sparse as ZERO, XZERO and VAL
 * opcodes. A raw register set is 16384 bytes, one register each.
 *
 * Works on private buffers only: no lock, nothing in the arena. The dense
 * merge has a plain and an AVX2 kernel, chosen by kelvoHllGlobalInit; both
 * give the same result. Engine-free.
 */
#ifndef KELVO_HLL_H
#define KELVO_HLL_H

#include <cstddef>
#include <cstdint>

constexpr size_t KELVO_HLL_REGISTERS = 16384;
constexpr size_t KELVO_HLL_HEADER = 16;
constexpr size_t KELVO_HLL_DENSE_BYTES = KELVO_HLL_REGISTERS * 6 / 8;
constexpr size_t KELVO_HLL_DENSE_SIZE = KELVO_HLL_HEADER + KELVO_HLL_DENSE_BYTES;

enum kelvoHllEncoding : int {
    KELVO_HLL_DENSE = 0,
    KELVO_HLL_SPARSE = 1,
    KELVO_HLL_RAW = 2,
};

/* Chooses the dense merge kernel for this processor (module start-up). */
void kelvoHllGlobalInit(void);
/* Tests: the plain kernel (false), or the AVX2 one when the processor has it (true); false when refused. */
bool kelvoHllForceAvx2(bool avx2);

/*
 * The cardinality of a value: 0 with `*out`, or -1 when the bytes are not a
 * HyperLogLog the server could have written (the caller asks the server).
 * A dense value with a valid cached cardinality answers from its header.
 */
int kelvoHllCount(const char *bytes, size_t length, uint64_t *out);

/*
 * The server's estimate over registers of `encoding` (sparse opcodes after
 * the header, dense bytes, or a raw set of KELVO_HLL_REGISTERS bytes).
 * A malformed sparse value sets `*invalid` and gives 0.
 */
uint64_t kelvoHllCountRegisters(int encoding, const uint8_t *registers, size_t length, bool *invalid);

/* Raises each raw register to the dense register's value where that is larger. */
void kelvoHllMergeDense(uint8_t *raw, const uint8_t *dense);

/* Merges a whole value (header included) into a raw set: 0, or -1 when it is not a valid HyperLogLog. */
int kelvoHllMerge(uint8_t *raw, const char *bytes, size_t length);

/* The server hashes members with MurmurHash64A under this seed, so a local sketch fills its registers alike. */
constexpr uint64_t KELVO_HLL_SEED = 0xadc83b19ULL;
uint64_t kelvoMurmurHash64A(const void *bytes, size_t length, uint64_t seed);

/* The register a member falls in (`*index`) and the value it offers there: 1 to 51. */
unsigned kelvoHllPattern(const char *member, size_t length, size_t *index);

/* An empty dense value of KELVO_HLL_DENSE_SIZE bytes: all registers 0, a valid cardinality of 0. */
void kelvoHllDenseInit(uint8_t *value);

/* Adds a member to a dense value: true when a register rose, which marks the cached cardinality invalid. */
bool kelvoHllDenseAdd(uint8_t *value, const char *member, size_t length);

#endif
