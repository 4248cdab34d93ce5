/*
 * One row of the command catalogue: the row records (kelvoCommandInfo, kelvoCommandString), the
 * role slots' calling contract, the least each slot may do, and the table of wire names that
 * tools/gencmdinfo.py writes into cmdtable.cc. The lowest layer of the catalogue: the generated
 * tables build on it, and cmdinfo.h adds the functions over them. The rows themselves, which
 * name the role functions, are generated above the components that own those functions
 * (commands/cmdrows.cc, declared in commands/cmdroles.h). Constant data, no lock, nothing in the arena. Engine-free.
 *
 * The role slots take types owned by other components. They are only named here, as
 * `struct <name>`; their owners define them under exactly these names.
 */
#ifndef KELVO_CMDROW_H
#define KELVO_CMDROW_H

#include <cstddef>
#include <cstdint>

#include "catalog/cmdids.h"
#include "resp3/resp3.h" /* REDIS_REPLY_* */

typedef struct _zend_execute_data zend_execute_data;
typedef struct _zval_struct zval;

struct rrc;           /* request under construction (request buffer) */
struct robj;          /* client object */
struct kelvoQuerySet; /* request query set of a command (cached reads) */
struct kelvoReply;    /* reply node */

/* Cached-value types: what kelvoCmdToKeyType answers. The cache uses these numbers for its
 * values; it takes the names from here rather than defining them again. */
constexpr int KELVO_NIL = 1;
constexpr int KELVO_STRING = 2;
constexpr int KELVO_INTEGER = 4;
constexpr int KELVO_HASH = 8;
constexpr int KELVO_SET = 16;
constexpr int KELVO_LIST = 32;
constexpr int KELVO_ZSET = 64;

/* Results of a cache role (getFn). */
constexpr int KELVO_RES_MISS = 0;      /* not answerable here: send the command */
constexpr int KELVO_RES_WRONGTYPE = 1; /* the cached key holds another type */
constexpr int KELVO_RES_SUCCESS = 2;   /* the answer is in the out value */

enum kelvoCommandType : uint32_t {
    KELVO_CMDTYPE_STANDARD = 0,
    KELVO_CMDTYPE_CACHED = 1,
};

/* Bits of kelvoCommandInfo::flags: the traits column of tools/commands.tsv. */
enum kelvoCommandFlag : uint32_t {
    KELVO_CMD_RESEND = 1u << 0, /* changes nothing on the server: may be sent again after a failure */
    KELVO_CMD_NO_RAW = 1u << 1, /* rawCommand refuses it */
};

/* Role slots; the dispatcher's calling contract. */
typedef int (*kelvoRespFn)(zend_execute_data *execute_data, zval *return_value, rrc *req, robj *obj);
typedef void (*kelvoKeysFn)(kelvoQuerySet *rqs, rrc *req);
typedef void (*kelvoDelFn)(kelvoQuerySet *rqs, robj *obj, kelvoReply *reply);
typedef int (*kelvoRawQueryFn)(kelvoQuerySet *rqs, robj *obj, int argc, zval *argv);
typedef int (*kelvoQueryFn)(zend_execute_data *execute_data, zval *return_value, kelvoQuerySet *rqs, robj *obj);
typedef void (*kelvoCnvFn)(rrc *req, kelvoQuerySet *rqs);
typedef int (*kelvoGetFn)(zval *out, kelvoQuerySet *rqs, robj *obj);
typedef void (*kelvoPutFn)(kelvoQuerySet *rqs, robj *obj, kelvoReply *reply);
typedef int (*kelvoChkFn)(kelvoQuerySet *rqs, robj *obj, kelvoReply *reply);
typedef void (*kelvoReplyFn)(zval *return_value, kelvoQuerySet *rqs, robj *obj, kelvoReply *reply);

struct kelvoStdSlots {
    kelvoRespFn respFn; /* always present */
    kelvoKeysFn keysFn;
    kelvoDelFn delFn;
};

struct kelvoCachedSlots {
    kelvoRawQueryFn rawQueryFn; /* rawQueryFn, queryFn, cnvFn and getFn always present */
    kelvoQueryFn queryFn;
    kelvoCnvFn cnvFn;
    kelvoGetFn getFn;
    kelvoPutFn putFn;
    kelvoChkFn chkFn;
};

/* Bit t of kelvoCommandInfo::replyTypes: reply type t is an acceptable answer. */
constexpr uint32_t KELVO_REPLY_BIT(int type) { return 1u << type; }
/* Every type but ERROR: the commands whose answer has no fixed shape. */
constexpr uint32_t KELVO_REPLIES_ANY = 0x7FFEu & ~KELVO_REPLY_BIT(REDIS_REPLY_ERROR);

/* One row of kelvoCommandTable. The slot set's type decides the row's kind. */
struct kelvoCommandInfo {
    uint32_t cmd;        /* the command id, equal to the row's index (-1 in kelvoUnknownCmd) */
    uint32_t flags;      /* kelvoCommandFlag bits */
    const char *name;    /* enum-style name: the wire name with "." as "_" */
    uint32_t len;        /* strlen(name) */
    uint32_t replyTypes; /* KELVO_REPLY_BIT of each acceptable reply type */
    int32_t arity;       /* words of a request, the name included; -n: at least n */
    uint32_t type;       /* kelvoCommandType */
    union {
        kelvoStdSlots std;       /* type KELVO_CMDTYPE_STANDARD; the cached-only places stay empty */
        kelvoCachedSlots cached; /* type KELVO_CMDTYPE_CACHED */
    };
    kelvoReplyFn replyFn; /* formatter, or empty for the generic conversion */

    constexpr kelvoCommandInfo(uint32_t cmd_, const char *name_, uint32_t len_, uint32_t replyTypes_, int32_t arity_,
                               uint32_t flags_, kelvoStdSlots slots, kelvoReplyFn replyFn_)
        : cmd(cmd_), flags(flags_), name(name_), len(len_), replyTypes(replyTypes_), arity(arity_),
          type(KELVO_CMDTYPE_STANDARD), std(slots), replyFn(replyFn_)
    {}
    constexpr kelvoCommandInfo(uint32_t cmd_, const char *name_, uint32_t len_, uint32_t replyTypes_, int32_t arity_,
                               uint32_t flags_, kelvoCachedSlots slots, kelvoReplyFn replyFn_)
        : cmd(cmd_), flags(flags_), name(name_), len(len_), replyTypes(replyTypes_), arity(arity_),
          type(KELVO_CMDTYPE_CACHED), cached(slots), replyFn(replyFn_)
    {}
};
/* The flags word fills the gap after `cmd`: the row is no larger than it was without it. */
static_assert(sizeof(void *) != 8 || sizeof(kelvoCommandInfo) == 88, "kelvoCommandInfo grew");

/* One row of kelvoCommandStrings. */
struct kelvoCommandString {
    uint64_t cmd;
    const char *name; /* wire name, NUL-terminated ("CMS.INFO") */
    uint64_t len;
    uint64_t key;     /* first 8 bytes of the name, a-z folded to A-Z, little-endian, zero-filled */
    const char *bulk; /* "$8\r\nCMS.INFO\r\n": argument 0 of a request, ready to copy */
    uint64_t bulkLen;
};

/* Indexed by command id (cmdtable.cc). */
extern const kelvoCommandString kelvoCommandStrings[REDIS_CMD_MAX];

/*
 * The least each slot may do, used by the placeholders of commands/cmdroles.cc until a role's owner
 * defines it. Those marked weak need another component's types: the component that owns
 * them (request buffer, query set, reply conversion) replaces them by defining them.
 *   kelvoLeastResp      each argument as given, by string conversion (wire/command_least.cc); weak
 *                       engine-free fallback: -1, nothing sent
 *   kelvoLeastKeys      collects no key
 *   kelvoLeastDel       drops no local copy
 *   kelvoLeastRawQuery  weak: 0, rejected (owner: keep the arguments as given)
 *   kelvoLeastQuery     weak: -1, nothing sent (owner: keep the arguments as given)
 *   kelvoLeastCnv       weak: appends nothing (owner: append the arguments kept)
 *   kelvoLeastGet       KELVO_RES_MISS: always asks the server
 *   kelvoLeastPut       stores nothing
 *   kelvoLeastChk       0: nothing may be stored
 *   kelvoLeastReply     weak: leaves the return value alone (owner: the generic conversion)
 */
int kelvoLeastResp(zend_execute_data *execute_data, zval *return_value, rrc *req, robj *obj);
void kelvoLeastKeys(kelvoQuerySet *rqs, rrc *req);
void kelvoLeastDel(kelvoQuerySet *rqs, robj *obj, kelvoReply *reply);
int kelvoLeastRawQuery(kelvoQuerySet *rqs, robj *obj, int argc, zval *argv);
int kelvoLeastQuery(zend_execute_data *execute_data, zval *return_value, kelvoQuerySet *rqs, robj *obj);
void kelvoLeastCnv(rrc *req, kelvoQuerySet *rqs);
int kelvoLeastGet(zval *out, kelvoQuerySet *rqs, robj *obj);
void kelvoLeastPut(kelvoQuerySet *rqs, robj *obj, kelvoReply *reply);
int kelvoLeastChk(kelvoQuerySet *rqs, robj *obj, kelvoReply *reply);
void kelvoLeastReply(zval *return_value, kelvoQuerySet *rqs, robj *obj, kelvoReply *reply);

#endif
