/*
 * The key-to-slot rule of the cluster: CRC-16/XMODEM of the key, or of its hash tag (the bytes
 * between the first "{" and the first "}" after it, when that tag is not empty), modulo 16384.
 * Engine-free.
 */
#ifndef KELVO_SLOTS_H
#define KELVO_SLOTS_H

#include <cstddef>
#include <cstdint>

/* CRC-16/XMODEM (polynomial 0x1021, initial 0, no reflection, no final XOR). */
uint16_t kelvoCrc16(const char *bytes, size_t length);
/* The slot of a key, 0 to 16383; an empty key is slot 0. */
uint16_t kelvoClusterHashKey(const char *key, size_t length);

#endif
