/*
 * The command layer of the client: the request query set of one call, the generic
 * conversion of reply nodes into PHP values, the per-command reply formatters (the replyFn
 * slots of the catalogue) and the helpers they share.
 *
 * Owns: a query set owns its key and member strings and its user data while it carries
 * KELVO_INITIALIZED. Conversion owns nothing: results share the reply's strings by
 * reference count and the reply tree stays its caller's.
 *
 * Runs in the request of one process; takes no lock and touches nothing shared.
 */
#ifndef KELVO_COMMANDS_H
#define KELVO_COMMANDS_H

#include <cstddef>
#include <cstdint>

#include "catalog/cmdinfo.h"
#include "client/connection.h" /* kelvoThrowLinkFailure */
#include "runtime/kelvo.h"     /* kelvoNowMicros */
#include "wire/command.h"
#include "pack/pack.h"
#include "wire/reply.h"

/* What a query set's values hold. */
enum kelvoQueryKind : uint32_t {
    KELVO_RQS_NONE = 0,
    KELVO_RQS_RANGE = 1, /* rng.start, rng.end */
    KELVO_RQS_MEM = 2,   /* raw member or field names */
    KELVO_RQS_VAL = 3,   /* members packed with the client's serializer */
};

/* What TYPE answers in phpredis compatibility (the REDIS_* class constants, Kelvo\KeyType). */
enum kelvoKeyType : int32_t {
    KELVO_KEYTYPE_NOT_FOUND = 0, /* "none", or a type without a number */
    KELVO_KEYTYPE_STRING = 1,
    KELVO_KEYTYPE_SET = 2,
    KELVO_KEYTYPE_LIST = 3,
    KELVO_KEYTYPE_ZSET = 4,
    KELVO_KEYTYPE_HASH = 5,
    KELVO_KEYTYPE_STREAM = 6,
    KELVO_KEYTYPE_VECTORSET = 7,
};

/* Outcomes counted by kelvoQuerySetRelease. */
constexpr int KELVO_RQS_OUTCOME_HIT = 1;
constexpr int KELVO_RQS_OUTCOME_MISS = 2;
constexpr int KELVO_RQS_OUTCOME_ERROR = 4;

/* The request query set of one call (`rqs`): what the later roles and the formatter learn
 * of the request. Zero-filled is empty. */
struct kelvoQuerySet {
    zend_string **keys;
    uint32_t nkeys;
    uint32_t keycap;
    zend_string **vals; /* KELVO_RQS_MEM, KELVO_RQS_VAL */
    uint32_t nvals;
    uint32_t valcap;
    struct {
        int64_t start;
        int64_t end;
    } rng;
    rrcUserdata userdata;
    kelvoReqDataKind udkind;
    int32_t cmd;
    uint32_t kind;       /* kelvoQueryKind */
    uint32_t keytype;    /* 0: any */
    uint8_t flags;       /* request flags */
    uint8_t context;     /* the builder's note on the form sent */
    uint8_t serverOnly;  /* the arguments are not read exactly as the server reads them: never answered locally */
    uint64_t leaseToken; /* the link's lease generation when the request left; what a stored reply is kept under */
    uint32_t *tickets;   /* per key, the endpoint's write ticket when the request left (cached reads that store) */
};

/*
 * An empty set, field by field: the set lives on the stack of every call, and a whole-record clear
 * is compiled into a string store whose start-up cost is a noticeable share of a cached read.
 */
static inline void kelvoQuerySetClear(kelvoQuerySet *rqs)
{
    static_assert(sizeof(kelvoQuerySet) == 96, "a new field must be cleared here");
    rqs->keys = nullptr;
    rqs->nkeys = rqs->keycap = 0;
    rqs->vals = nullptr;
    rqs->nvals = rqs->valcap = 0;
    rqs->rng.start = rqs->rng.end = 0;
    rqs->userdata.number = 0;
    rqs->udkind = KELVO_REQ_DATA_NONE;
    rqs->cmd = 0;
    rqs->kind = rqs->keytype = 0;
    rqs->flags = rqs->context = rqs->serverOnly = 0;
    rqs->leaseToken = 0;
    rqs->tickets = nullptr;
}

/* An empty set that a command's parser fills: initialised, with the command's id and key type. */
static inline void kelvoQuerySetStart(kelvoQuerySet *rqs, uint8_t flags, int cmd)
{
    kelvoQuerySetClear(rqs);
    rqs->flags = static_cast<uint8_t>(KELVO_INITIALIZED | flags);
    rqs->keytype = static_cast<uint32_t>(kelvoCmdToKeyType(cmd));
    rqs->cmd = cmd;
}

/* Appends a counted reference of `s` to the keys (values) of the set. */
void kelvoQuerySetAddKey(kelvoQuerySet *rqs, zend_string *s);
void kelvoQuerySetAddVal(kelvoQuerySet *rqs, zend_string *s);
/* A key with the client's prefix in front, unless the set is raw. */
void kelvoQuerySetAddKeyZStr(kelvoQuerySet *rqs, const robj *ro, zend_string *key);
/* The same for any value, by its string conversion. */
void kelvoQuerySetAddKeyZVal(kelvoQuerySet *rqs, const robj *ro, zval *key);
/* A copy of bytes as a key, never prefixed (keys read back out of a built request). */
void kelvoQuerySetAddKeyRaw(kelvoQuerySet *rqs, const char *bytes, size_t length);
/* A member name as given (kind MEM; another kind but NONE is fatal). */
void kelvoQuerySetAddMemZStr(kelvoQuerySet *rqs, zend_string *member);
/* A value packed as for the wire, or its plain text for a raw set (kind VAL; another kind but NONE is fatal). */
void kelvoQuerySetAddVal(kelvoQuerySet *rqs, const robj *ro, zval *value);
/* Member or packed value `i` (fatal for another kind or an index past the end). */
zend_string *kelvoQuerySetGetMem(const kelvoQuerySet *rqs, uint32_t i);
zend_string *kelvoQuerySetGetVal(const kelvoQuerySet *rqs, uint32_t i);
/*
 * The cached value of key `i` in the client's database, inside the caller's read section:
 * KELVO_RES_MISS (nothing servable, or none of `required` flags), KELVO_RES_WRONGTYPE (another
 * type than the set's key type) or KELVO_RES_SUCCESS with *out set. The empty collection of no
 * type stands for the empty one of the wanted type, and for a missing key to a string read.
 */
int kelvoQuerySetGetKey(const kelvoQuerySet *rqs, const robj *ro, uint32_t i, uint16_t required, const struct rk **out);
/* Drops the strings and user data of an initialised set and clears KELVO_INITIALIZED;
 * `outcome` (hit, miss, error or 0) is counted. A set without the flag is left alone. */
void kelvoQuerySetRelease(kelvoQuerySet *rqs, int outcome);
/* A set made from a built request: flags, context and command id copied, the user data moved. */
void kelvoQuerySetFromRrc(kelvoQuerySet *rqs, rrc *req);

/*
 * What reply conversion reads and writes of the client object: the packing view of its
 * options (`opts.flags` is the whole option word), its option word itself for the lasting
 * change CLIENT CAPA makes, and the SCAN iterator a scan builder left. Defined beside the
 * client object.
 */
struct kelvoReplyEnv {
    kelvoPackOptions opts;
    kelvoOptionWord *flags;
    zval *it;
};
kelvoReplyEnv kelvoReplyEnvOf(robj *obj);

/* -- dispatch and sending ---------------------------------------------------------------------- */

struct kelvoLink;
struct redisInfo;
struct kelvoRetryOptions;

/* The row of command `cmd`; fatal on a bad id or an incomplete row. */
const kelvoCommandInfo *kelvoGetCommandRCmd(int cmd);

/* Whether a request of `cmd` may be sent again after it may have reached the server: reads only. */
bool kelvoCmdMayResend(int32_t cmd);

/*
 * Sends the request on a ready link and reads one reply into *out: 0, or -1 with the link's
 * error set. A failed read is followed by a back-off and a reconnect through `reconnect(arg)`,
 * then the request goes out again, at most `maxRetries` times; never with `noRetry`, and never
 * once the request may have reached the server unless the command only reads.
 */
int kelvoRespCmdSend(kelvoReply **out, kelvoLink *link, redisInfo *info, const kelvoRetryOptions *retry, rrc *req,
                     int noRetry, int (*reconnect)(void *), void *arg);

/* Reconnect, handshake and database selection of a client's link: 0 ready, -1 failure. Refused
 * while a WATCH or a subscription is in force, which a new connection would silently drop. */
int kelvoReconnect(robj *ro);

/*
 * An atomic send: 0 with an accepted reply (or a followed REDIRECT's) in *out; -1 after the
 * failure was thrown or recorded (a failed link is closed and queued entries dropped).
 */
int kelvoSendCommand(robj *ro, rrc *req, kelvoReply **out);

/* Ends the client's transaction or pipeline (multi.cc): 0, or -1 when none is open. */
int kelvoDiscard(robj *ro);

/* Follows "-REDIRECT host:port" when the client asked for it: 0 with the target's reply in *out, else -1. */
int kelvoHandleRedirectionError(kelvoReply *err, robj *ro, rrc *req, kelvoReply **out);

/* The value of a reply: the row's formatter, or the generic conversion for raw requests and rows without one. */
void kelvoFormatReply(const kelvoCommandInfo *row, kelvoQuerySet *rqs, robj *ro, kelvoReply *reply, zval *return_value);
/* kelvoFormatReply, then a standard row's delete role with the reply. */
void kelvoReturnReply(const kelvoCommandInfo *row, kelvoQuerySet *rqs, robj *ro, kelvoReply *reply, zval *return_value);

/*
 * Stores a cached read's reply through its check and store roles, when the link has a cached
 * database below `kelvo.databases` and a key lease; otherwise stores nothing, silently.
 */
void kelvoCacheReply(kelvoQuerySet *rqs, robj *ro, kelvoChkFn chk, kelvoPutFn put, kelvoReply *reply);

/*
 * Before a request goes out on a link idle for over a second: a zero-timeout poll, and a
 * reconnect when the server closed it (never inside a batch, which cannot move). 0, or -1
 * after kelvoThrowLinkFailure.
 */
int kelvoPollIdleLink(robj *ro);

/*
 * Reads one reply of a ready client (pipelines, transactions): 0 with a reply of type
 * `type` (-1: any) in *out; -1 otherwise, after reporting an error reply or another type
 * unless `quiet`. The reply is left in *out for the caller to free in every case.
 */
int kelvoGetReply(robj *ro, int type, int quiet, kelvoReply **out);

/* 0 with *out set when `value` is an integer, or a numeric string of one, of at least `min`; else -1. */
int kelvoTryGetLong(zend_long *out, zval *value, zend_long min);

/* 1 when `s` equals one of the two tokens ignoring ASCII case, else 0. */
int kelvoZStrInTokenSetCi(const zend_string *s, const char *a, size_t alen, const char *b, size_t blen);

/*
 * rawCommand on a ready client: the name looked up in the catalogue (an unknown one is sent as
 * given), MONITOR and the subscribe family refused, the arity checked, a cached read answered
 * from the shared cache where the client uses it, every argument sent by its string form. 0 with
 * the converted reply in `return_value`; -1 with false there, after the failure was thrown or
 * recorded as the client's last error.
 */
int kelvoRawCommand(zval *return_value, robj *ro, zend_string *name, zval *args, int argc);

/* Sends a built request and makes the return value: 0, or -1 after the failure was reported. */
int kelvoProcessResponse(zval *return_value, robj *ro, const kelvoCommandInfo *row, kelvoQuerySet *rqs, rrc *req);

/*
 * The generic conversion of `src` into `dst` under the option block `opts` (null: every
 * bit clear, strings as received) and the request flags. Destination and reply must be
 * present (fatal otherwise). A malformed map is reported and becomes false.
 */
void kelvoReplyToZVal(zval *dst, const kelvoReply *src, const kelvoPackOptions *opts, uint32_t reqFlags);

/* Destroys what `zv` holds and sets it to false: the failure exit of every formatter. */
void kelvoReplyFailure(zval *zv);

/* INFO text into an associative array in `dst`: 0, or -1 when not parseable (dst may hold a partial array). */
int kelvoInfoReplyToZval(zval *dst, const kelvoReply *reply);
/* Adds the key=value tokens of the `len` bytes at `str` to the array `zdst`; a token without "=" ends the text. */
void clientReplyToArray(zval *zdst, const char *str, size_t len);
/* A stream message's field list into `dst`: 0, or -1 after reporting (dst false). */
int kelvoUnpackStreamMessage(zval *dst, const kelvoReplyEnv *env, const kelvoReply *fields);
/* One XREAD stream into `result`: 0, or -1 after reporting (result false). */
int kelvoXReadAddStream(zval *result, const kelvoReplyEnv *env, const kelvoReply *name, const kelvoReply *entries);
/* member => score into `arr`: 0, or -1 after reporting (with `opts`' flags, or thrown without options). */
int kelvoUnpackZpopEntry(zval *arr, const kelvoPackOptions *opts, const kelvoReply *member, const kelvoReply *score);

#endif
