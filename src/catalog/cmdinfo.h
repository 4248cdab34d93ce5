/*
 * The command catalogue: what the module knows statically about the 307 server commands it
 * speaks. It owns the row record (kelvoCommandInfo), kelvoCommandStrings (wire name, its ready
 * bulk string and its case-folded lookup key), the accepted reply types and key types per id,
 * kelvoUnknownCmd, and four pure functions over them. Everything is constant data: no lock,
 * nothing in the arena, no allocation. Engine-free.
 *
 * One place says what a command is: tools/commands.tsv. tools/gencmdinfo.py writes cmdids.h and
 * cmdtable.cc here from it, and the rows with their role functions (kelvoCommandTable) above the
 * role owners, in commands/cmdrows.cc and commands/cmdroles.{h,cc}.
 *
 * The row record, its role slots and the wire names live in cmdrow.h, below the generated
 * tables; this header adds the functions over them.
 */
#ifndef KELVO_CMDINFO_H
#define KELVO_CMDINFO_H

#include <cstddef>
#include <cstdint>

#include "catalog/cmdids.h"
#include "catalog/cmdrow.h"

/* The row of a command name without an id: cmd -1, name "", arity -1, standard, no slots, any reply but ERROR. */
extern const kelvoCommandInfo kelvoUnknownCmd;

/*
 * Stores the id of the wire name `name` (exactly `len` bytes, NUL not needed) in *cmd and
 * returns 0; returns -1 and leaves *cmd alone when no wire name matches. Only the 26 ASCII
 * letters fold; every other byte must match exactly. Locale-free, allocation-free.
 */
int kelvoStringToRedisCmd(int *cmd, const char *name, size_t len);

/* 1 when the two byte strings of `len` bytes are equal with a-z folded to A-Z in both, else 0. */
int kelvoCmdStringIsEqualCI(const char *candidate, const char *data, size_t len);

/*
 * Whether reply type `type` may answer command `cmd` (-1 for a name without an id); type 0
 * stands for no reply and is never acceptable, nor is ERROR. An id outside -1..306 is fatal.
 */
bool kelvoCmdAcceptsReplyType(int cmd, int type);

/* The same check on a reply node (null: no reply); needs the node's definition at the call site. */
template <typename Reply>
inline bool kelvoValidateReplyType(int cmd, const Reply *reply)
{
    return kelvoCmdAcceptsReplyType(cmd, reply ? static_cast<int>(reply->type) : 0);
}
inline bool kelvoValidateReplyType(int cmd, std::nullptr_t) { return kelvoCmdAcceptsReplyType(cmd, 0); }

/*
 * The cached-value type (KELVO_NIL ... KELVO_ZSET) a cached read is answered from; also
 * HGETDEL's. Any other id is fatal ("Unknown command type").
 */
int kelvoCmdToKeyType(int cmd);

#endif
