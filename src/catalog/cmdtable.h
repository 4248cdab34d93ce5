/*
 * Generated data behind the catalogue's functions (cmdtable.cc); only cmdinfo.cc reads it.
 *
 * Name lookup: one perfect hash per name length. For a name of length n, the slot is
 *   kelvoCmdLookupSlots[base + ((kelvoCmdHashInput(name) * mul) >> shift)]
 * with {mul, shift, base} = kelvoCmdLookupBuckets[n]; it holds the only id that can match
 * (-1: none), which the caller confirms byte by byte.
 */
#ifndef KELVO_CMDTABLE_H
#define KELVO_CMDTABLE_H

#include <cstdint>

#include "catalog/cmdids.h"

constexpr unsigned KELVO_CMD_NAME_MIN = 3;  /* shortest wire name */
constexpr unsigned KELVO_CMD_NAME_MAX = 20; /* longest wire name (GEORADIUSBYMEMBER_RO) */

struct kelvoCmdLookupBucket {
    uint64_t mul;
    uint32_t shift;
    uint32_t base;
};

extern const kelvoCmdLookupBucket kelvoCmdLookupBuckets[KELVO_CMD_NAME_MAX + 1];
extern const int16_t kelvoCmdLookupSlots[];
/* kelvoCmdToKeyType's answer per id; 0 for commands that are not answered from the cache. */
extern const uint8_t kelvoCommandKeyTypes[REDIS_CMD_MAX];
/* KELVO_REPLY_BIT of each reply type a command accepts, per id: its row's replyTypes. */
extern const uint32_t kelvoCommandReplyTypes[REDIS_CMD_MAX];

#endif
