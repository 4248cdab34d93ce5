/* The request query set, and the least query roles that keep a cached read's arguments as given. */
#include "cache/cache.h"
#include "cache/keys.h"
#include "client/object.h"
#include "commands/commands.h"
#include "commands/reads.h"
#include "runtime/fatal.h"
#include "runtime/kelvo.h"

namespace {

void push(zend_string ***slots, uint32_t *count, uint32_t *cap, zend_string *s)
{
    if (*count == *cap) {
        *cap = *cap ? *cap * 2 : 4;
        size_t size = *cap * sizeof(zend_string *);
        *slots = static_cast<zend_string **>(*slots ? erealloc(*slots, size) : emalloc(size));
    }
    (*slots)[(*count)++] = zend_string_copy(s);
}

void dropAll(zend_string **slots, uint32_t count)
{
    for (uint32_t i = 0; i < count; i++)
        zend_string_release(slots[i]);
    if (slots)
        efree(slots);
}

/* The user-data record shape of the request buffer: one 8-byte word, then a zval. */
void dropUserdata(kelvoQuerySet *rqs)
{
    if (rqs->udkind == KELVO_REQ_DATA_RECORD && rqs->userdata.record) {
        zval *value = reinterpret_cast<zval *>(static_cast<char *>(rqs->userdata.record) + 8);
        zval_ptr_dtor(value);
        efree(rqs->userdata.record);
    }
    rqs->userdata.record = nullptr;
    rqs->udkind = KELVO_REQ_DATA_NONE;
}

} // namespace

void kelvoQuerySetAddKey(kelvoQuerySet *rqs, zend_string *s) { push(&rqs->keys, &rqs->nkeys, &rqs->keycap, s); }

void kelvoQuerySetAddVal(kelvoQuerySet *rqs, zend_string *s) { push(&rqs->vals, &rqs->nvals, &rqs->valcap, s); }

void kelvoQuerySetRelease(kelvoQuerySet *rqs, int outcome)
{
    kelvoAssert(rqs != NULL);
    if (!(rqs->flags & KELVO_INITIALIZED))
        return;
    dropAll(rqs->keys, rqs->nkeys);
    dropAll(rqs->vals, rqs->nvals);
    dropUserdata(rqs);
    if (rqs->tickets)
        efree(rqs->tickets);
    rqs->tickets = nullptr;
    rqs->keys = rqs->vals = nullptr;
    rqs->nkeys = rqs->keycap = rqs->nvals = rqs->valcap = 0;
    rqs->flags &= static_cast<uint8_t>(~KELVO_INITIALIZED);
    uint64_t *stats = KELVO_G(stats);
    stats[kelvoStatRequests]++;
    if (outcome & KELVO_RQS_OUTCOME_HIT)
        stats[kelvoStatHits]++;
    else if (outcome & KELVO_RQS_OUTCOME_MISS)
        stats[kelvoStatMisses]++;
    else if (outcome & KELVO_RQS_OUTCOME_ERROR)
        stats[kelvoStatErrors]++;
}

void kelvoQuerySetFromRrc(kelvoQuerySet *rqs, rrc *req)
{
    kelvoAssert(req->flags & KELVO_INITIALIZED);
    kelvoQuerySetClear(rqs);
    rqs->flags = req->flags;
    rqs->context = req->context;
    rqs->cmd = req->cmd;
    rqs->userdata = kelvoRespCmdTakeUserdata(req, &rqs->udkind);
}

void kelvoQuerySetAddKeyZStr(kelvoQuerySet *rqs, const robj *ro, zend_string *key)
{
    zend_string *s = (rqs->flags & KELVO_REQ_RAW) ? zend_string_copy(key) : kelvoPrefixKeyZStr(key, ro->opts.prefix);
    kelvoQuerySetAddKey(rqs, s);
    zend_string_release(s);
}

void kelvoQuerySetAddKeyZVal(kelvoQuerySet *rqs, const robj *ro, zval *key)
{
    zend_string *s = zval_get_string(key);
    kelvoQuerySetAddKeyZStr(rqs, ro, s);
    zend_string_release(s);
}

void kelvoQuerySetAddKeyRaw(kelvoQuerySet *rqs, const char *bytes, size_t length)
{
    zend_string *s = zend_string_init(bytes, length, 0);
    kelvoQuerySetAddKey(rqs, s);
    zend_string_release(s);
}

void kelvoQuerySetAddMemZStr(kelvoQuerySet *rqs, zend_string *member)
{
    kelvoAssert(rqs->kind == KELVO_RQS_NONE || rqs->kind == KELVO_RQS_MEM);
    rqs->kind = KELVO_RQS_MEM;
    kelvoQuerySetAddVal(rqs, member);
}

void kelvoQuerySetAddVal(kelvoQuerySet *rqs, const robj *ro, zval *value)
{
    kelvoAssert(rqs->kind == KELVO_RQS_NONE || rqs->kind == KELVO_RQS_VAL);
    rqs->kind = KELVO_RQS_VAL;
    kelvoPackResult packed{};
    if (rqs->flags & KELVO_REQ_RAW) {
        kelvoPackTmp(&packed, nullptr, value);
    } else {
        kelvoPackOptions opts = kelvoPackOptionsOf(ro->opts);
        kelvoPackTmp(&packed, &opts, value);
    }
    kelvoQuerySetAddVal(rqs, packed.str);
    kelvoPackRelease(&packed);
}

zend_string *kelvoQuerySetGetMem(const kelvoQuerySet *rqs, uint32_t i)
{
    kelvoAssert(rqs->kind == KELVO_RQS_MEM && i < rqs->nvals);
    return rqs->vals[i];
}

zend_string *kelvoQuerySetGetVal(const kelvoQuerySet *rqs, uint32_t i)
{
    kelvoAssert(rqs->kind == KELVO_RQS_VAL && i < rqs->nvals);
    return rqs->vals[i];
}

namespace {

/* The interned empty collection of a wanted type; a string read sees a key that does not exist. */
const rk *emptyOfType(uint32_t type)
{
    switch (type) {
    case KELVO_HASH:
        return kelvoEmptyHashKey;
    case KELVO_SET:
        return kelvoEmptySetKey;
    case KELVO_ZSET:
        return kelvoEmptyZSetKey;
    case KELVO_LIST:
        return kelvoEmptyArrayKey;
    default:
        return kelvoNilKey;
    }
}

} // namespace

int kelvoQuerySetGetKey(const kelvoQuerySet *rqs, const robj *ro, uint32_t i, uint16_t required, const rk **out)
{
    kelvoAssert(i < rqs->nkeys && ro->link.ep != NULL);
    const zend_string *key = rqs->keys[i];
    const rk *value = kelvoReadCachedKey(ro, key);
    if (!value)
        return KELVO_RES_MISS;
    /* TYPE and EXISTS (key type NIL) take a value of any type. */
    if (rqs->keytype && rqs->keytype != KELVO_NIL && value->type != KELVO_NIL && value->type != rqs->keytype) {
        /* A cached integer is a string to every string read. */
        bool stringRead = rqs->keytype == KELVO_STRING && value->type == KELVO_INTEGER;
        if (value == kelvoEmptyArrayKey)
            value = emptyOfType(rqs->keytype);
        else if (!stringRead)
            return KELVO_RES_WRONGTYPE;
    }
    if (required && !(value->flags & required))
        return KELVO_RES_MISS;
    *out = value;
    return KELVO_RES_SUCCESS;
}

namespace {

void addStringOf(kelvoQuerySet *rqs, zval *value)
{
    zend_string *s = zval_get_string(value);
    kelvoQuerySetAddKey(rqs, s);
    zend_string_release(s);
}

} // namespace

/* Until the cached reads' own roles exist, a cached command keeps its arguments as given
 * (by string conversion) and sends them back unchanged. */

int kelvoLeastQuery(zend_execute_data *execute_data, zval *, kelvoQuerySet *rqs, robj *)
{
    uint32_t argc = ZEND_NUM_ARGS();
    for (uint32_t i = 1; i <= argc; i++) {
        zval *arg = ZEND_CALL_ARG(execute_data, i);
        ZVAL_DEREF(arg);
        if (Z_TYPE_P(arg) != IS_ARRAY) {
            addStringOf(rqs, arg);
            continue;
        }
        /* An array of keys or members stands for its elements. */
        zval *item;
        ZEND_HASH_FOREACH_VAL(Z_ARRVAL_P(arg), item) { addStringOf(rqs, item); }
        ZEND_HASH_FOREACH_END();
    }
    return EG(exception) ? -1 : 0;
}

int kelvoLeastRawQuery(kelvoQuerySet *rqs, robj *, int argc, zval *argv)
{
    /* A read that cannot answer with a list answers nil for one missing value. */
    if (!kelvoCmdAcceptsReplyType(rqs->cmd, REDIS_REPLY_ARRAY))
        rqs->flags |= KELVO_REQ_SINGLE;
    for (int i = 0; i < argc; i++)
        addStringOf(rqs, &argv[i]);
    return EG(exception) ? 0 : 1;
}

void kelvoLeastCnv(rrc *req, kelvoQuerySet *rqs)
{
    for (uint32_t i = 0; i < rqs->nkeys; i++)
        kelvoRespCmdCatZStr(req, rqs->keys[i]);
}
