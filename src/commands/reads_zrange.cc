/*
 * The sorted-set range reads (ZRANGE, ZRANGEBYSCORE, ZREVRANGE, ZREVRANGEBYSCORE): their options
 * and bounds parsed from method and rawCommand arguments (the options also for ZRANGESTORE's
 * builder), the request on a miss, the range a reply proves, and the answer from a stored range.
 * Bounds are read exactly as the server reads them; any text the cache cannot read that way keeps
 * the query off the cache, so the server answers (or refuses) it.
 */
#include <cmath>
#include <cstring>
#include <string>

#include "cache/cache.h"
#include "cache/keys.h"
#include "cache/zset_search.h"
#include "commands/cmdroles.h"
#include "commands/builder.h"
#include "commands/reads.h"

namespace {

constexpr uint64_t kWithScores = 0x4;
constexpr uint64_t kRev = 0x8;
constexpr uint64_t kHasLimit = 0x10;

/* What each command accepts and implies. */
struct ZrangeForm {
    bool withscores, bylex, byscore, rev, limit;
    int impliedBy;
    bool impliedRev;
    bool integerBounds;
};

ZrangeForm formOf(int cmd)
{
    switch (cmd) {
    case REDIS_CMD_ZRANGE:
        return {true, true, true, true, true, 0, false, false};
    case REDIS_CMD_ZRANGEBYSCORE:
        return {true, false, false, false, true, 1, false, false};
    case REDIS_CMD_ZREVRANGEBYSCORE:
        return {true, false, false, false, true, 1, true, false};
    case REDIS_CMD_ZREVRANGE:
        return {true, false, false, false, false, 0, true, true};
    case REDIS_CMD_ZRANGESTORE:
        return {false, true, true, true, true, 0, false, false};
    default:
        kelvoPanic("not a sorted-set range read: %d", cmd);
    }
}

void storeOptions(kelvoQuerySet *rqs, const kelvoZrangeOptions &o)
{
    rqs->userdata.number = static_cast<uint64_t>(o.by) | (o.withscores ? kWithScores : 0) | (o.rev ? kRev : 0) |
                           (o.has_limit ? kHasLimit : 0);
    rqs->udkind = KELVO_REQ_DATA_NUMBER;
    rqs->rng.start = o.offset;
    rqs->rng.end = o.count;
    rqs->context = o.withscores ? 1 : 0;
}

void impliedOptions(kelvoZrangeOptions *o, int cmd)
{
    ZrangeForm f = formOf(cmd);
    *o = kelvoZrangeOptions{};
    o->by = f.impliedBy;
    o->rev = f.impliedRev;
}

/* A bound as the caller gave it, as text: integers by their decimal form. */
void addBound(kelvoQuerySet *rqs, zval *bound)
{
    zend_string *text = zval_get_string(bound);
    kelvoQuerySetAddMemZStr(rqs, text);
    zend_string_release(text);
}

/* Combinations the server refuses, or reads in ways the cache does not: the server's to answer. */
void checkServerOnly(kelvoQuerySet *rqs, const kelvoZrangeOptions &o)
{
    constexpr int64_t kFar = int64_t{1} << 62;
    if ((o.has_limit && o.by == 0) || (o.withscores && o.by == 2) || o.offset >= kFar || o.offset <= -kFar ||
        o.count >= kFar || o.count <= -kFar)
        rqs->serverOnly = 1;
}

} // namespace

kelvoZrangeOptions kelvoZrangeOptionsOf(const kelvoQuerySet *rqs)
{
    uint64_t bits = rqs->userdata.number;
    kelvoZrangeOptions o{};
    o.by = static_cast<int32_t>(bits & 0x3);
    o.withscores = (bits & kWithScores) != 0;
    o.rev = (bits & kRev) != 0;
    o.has_limit = (bits & kHasLimit) != 0;
    o.offset = rqs->rng.start;
    o.count = rqs->rng.end;
    return o;
}

void kelvoFillZrangeOptions(kelvoZrangeOptions *o, int cmd, zval *value)
{
    ZrangeForm f = formOf(cmd);
    impliedOptions(o, cmd);
    if (!value)
        return;
    ZVAL_DEREF(value);
    if (Z_TYPE_P(value) != IS_ARRAY) {
        o->withscores = f.withscores && zend_is_true(value);
        return;
    }
    zend_string *name;
    zval *entry;
    ZEND_HASH_FOREACH_STR_KEY_VAL(Z_ARRVAL_P(value), name, entry)
    {
        ZVAL_DEREF(entry);
        if (name) {
            if (f.withscores && kelvoIsWord(name, "WITHSCORES")) {
                o->withscores = zend_is_true(entry);
            } else if (f.limit && kelvoIsWord(name, "LIMIT")) {
                zval *offset, *count;
                if (Z_TYPE_P(entry) != IS_ARRAY || zend_hash_num_elements(Z_ARRVAL_P(entry)) != 2 ||
                    !(offset = zend_hash_index_find_deref(Z_ARRVAL_P(entry), 0)) ||
                    !(count = zend_hash_index_find_deref(Z_ARRVAL_P(entry), 1))) {
                    kelvoWarn("LIMIT array must be an array with two elements");
                    continue;
                }
                o->has_limit = 1;
                o->offset = zval_get_long(offset);
                o->count = zval_get_long(count);
            }
            continue;
        }
        if (Z_TYPE_P(entry) != IS_STRING)
            continue;
        const zend_string *word = Z_STR_P(entry);
        if (f.byscore && kelvoIsWord(word, "BYSCORE"))
            o->by = 1;
        else if (f.bylex && kelvoIsWord(word, "BYLEX"))
            o->by = 2;
        else if (f.rev && kelvoIsWord(word, "REV"))
            o->rev = 1;
        else if (f.withscores && kelvoIsWord(word, "WITHSCORES"))
            o->withscores = 1;
    }
    ZEND_HASH_FOREACH_END();
}

int kelvoZrangeCmd(zend_execute_data *execute_data, zval *, kelvoQuerySet *rqs, robj *ro)
{
    zend_string *key;
    zval *start, *end, *options = nullptr;
    zval ranks[2];
    if (formOf(rqs->cmd).integerBounds) {
        zend_long s, e;
        ZEND_PARSE_PARAMETERS_START(3, 4)
        Z_PARAM_STR(key)
        Z_PARAM_LONG(s)
        Z_PARAM_LONG(e)
        Z_PARAM_OPTIONAL
        Z_PARAM_ZVAL_OR_NULL(options)
        ZEND_PARSE_PARAMETERS_END_EX(return -1);
        ZVAL_LONG(&ranks[0], s);
        ZVAL_LONG(&ranks[1], e);
        start = &ranks[0];
        end = &ranks[1];
    } else {
        ZEND_PARSE_PARAMETERS_START(3, 4)
        Z_PARAM_STR(key)
        Z_PARAM_ZVAL(start)
        Z_PARAM_ZVAL(end)
        Z_PARAM_OPTIONAL
        Z_PARAM_ZVAL_OR_NULL(options)
        ZEND_PARSE_PARAMETERS_END_EX(return -1);
    }
    kelvoQuerySetAddKeyZStr(rqs, ro, key);
    rqs->kind = KELVO_RQS_MEM;
    addBound(rqs, start);
    addBound(rqs, end);
    kelvoZrangeOptions o;
    kelvoFillZrangeOptions(&o, rqs->cmd, options);
    storeOptions(rqs, o);
    checkServerOnly(rqs, o);
    return EG(exception) ? -1 : 0;
}

int kelvoRawZrangeCmd(kelvoQuerySet *rqs, robj *ro, int argc, zval *argv)
{
    ZrangeForm f = formOf(rqs->cmd);
    kelvoZrangeOptions o;
    impliedOptions(&o, rqs->cmd);
    kelvoQuerySetAddKeyZVal(rqs, ro, &argv[0]);
    rqs->kind = KELVO_RQS_MEM;
    addBound(rqs, &argv[1]);
    addBound(rqs, &argv[2]);
    for (int i = 3; i < argc; i++) {
        zend_string *word = zval_get_string(&argv[i]);
        bool ok = true;
        if (f.byscore && kelvoIsWord(word, "BYSCORE")) {
            o.by = 1;
        } else if (f.bylex && kelvoIsWord(word, "BYLEX")) {
            o.by = 2;
        } else if (f.rev && kelvoIsWord(word, "REV")) {
            o.rev = 1;
        } else if (f.limit && kelvoIsWord(word, "LIMIT")) {
            ok = o.by != 0 && i + 2 < argc;
            if (ok) {
                o.has_limit = 1;
                o.offset = zval_get_long(&argv[i + 1]);
                o.count = zval_get_long(&argv[i + 2]);
                int64_t n;
                for (int j = i + 1; j <= i + 2; j++) {
                    zend_string *t = zval_get_string(&argv[j]);
                    if (!kelvoIsServerInteger(ZSTR_VAL(t), ZSTR_LEN(t), &n))
                        rqs->serverOnly = 1;
                    zend_string_release(t);
                }
                i += 2;
            }
        } else if (f.withscores && kelvoIsWord(word, "WITHSCORES")) {
            ok = o.by != 2;
            o.withscores = 1;
        } else {
            /* A word the server knows and the cache does not read: the server's to answer. */
            rqs->serverOnly = 1;
        }
        zend_string_release(word);
        if (!ok)
            return 0;
    }
    storeOptions(rqs, o);
    checkServerOnly(rqs, o);
    return EG(exception) ? 0 : 1;
}

void kelvoZrangeCnv(rrc *req, kelvoQuerySet *rqs)
{
    kelvoZrangeOptions o = kelvoZrangeOptionsOf(rqs);
    kelvoRespCmdCatZStr(req, rqs->keys[0]);
    kelvoRespCmdCatZStr(req, kelvoQuerySetGetMem(rqs, 0));
    kelvoRespCmdCatZStr(req, kelvoQuerySetGetMem(rqs, 1));
    bool isZrange = rqs->cmd == REDIS_CMD_ZRANGE;
    if (isZrange && o.by == 1)
        kelvoCatWord(req, "BYSCORE");
    if (isZrange && o.by == 2)
        kelvoCatWord(req, "BYLEX");
    if (isZrange && o.rev)
        kelvoCatWord(req, "REV");
    if (!isZrange && rqs->cmd != REDIS_CMD_ZREVRANGE && o.withscores)
        kelvoCatWord(req, "WITHSCORES");
    if (o.has_limit) {
        kelvoCatWord(req, "LIMIT");
        kelvoRespCmdCatZendLong(req, o.offset);
        kelvoRespCmdCatZendLong(req, o.count);
    }
    if ((isZrange || rqs->cmd == REDIS_CMD_ZREVRANGE) && o.withscores)
        kelvoCatWord(req, "WITHSCORES");
    req->context = o.withscores ? 1 : 0;
}

/* -- bounds --------------------------------------------------------------------------------------- */

namespace {

bool isCi(const char *s, size_t n, const char *word) { return n == strlen(word) && strncasecmp(s, word, n) == 0; }

/* A score bound as the server reads it, limited to the forms the cache reads identically. */
bool parseScore(const zend_string *text, kelvoZSetBound *b)
{
    const char *s = ZSTR_VAL(text);
    size_t n = ZSTR_LEN(text);
    b->exclusive = n > 0 && s[0] == '(';
    if (b->exclusive) {
        s++;
        n--;
    }
    size_t i = 0;
    bool negative = false;
    if (i < n && (s[i] == '-' || s[i] == '+'))
        negative = s[i++] == '-';
    if (isCi(s + i, n - i, "inf")) {
        b->value = negative ? -INFINITY : INFINITY;
        return true;
    }
    /* Digits, an optional fraction, an optional exponent: what strtod and zend_strtod read alike. */
    size_t digits = 0, at = i;
    while (i < n && s[i] >= '0' && s[i] <= '9')
        i++, digits++;
    if (i < n && s[i] == '.') {
        i++;
        while (i < n && s[i] >= '0' && s[i] <= '9')
            i++, digits++;
    }
    if (digits == 0)
        return false;
    if (i < n && (s[i] == 'e' || s[i] == 'E')) {
        i++;
        if (i < n && (s[i] == '-' || s[i] == '+'))
            i++;
        size_t e = 0;
        while (i < n && s[i] >= '0' && s[i] <= '9')
            i++, e++;
        if (e == 0)
            return false;
    }
    if (i != n)
        return false;
    std::string copy(s + at, n - at);
    double v = zend_strtod(copy.c_str(), nullptr);
    b->value = negative ? -v : v;
    return true;
}

bool parseLex(const zend_string *text, kelvoZSetLexBound *b)
{
    return kelvoZSetParseLex(ZSTR_VAL(text), ZSTR_LEN(text), b);
}

bool rankOf(const zend_string *text, int64_t *rank)
{
    return kelvoIsServerInteger(ZSTR_VAL(text), ZSTR_LEN(text), rank);
}

/* The query with its bounds read as the server reads them; false when the cache cannot read one. */
bool queryOf(const kelvoQuerySet *rqs, kelvoZSetQuery *q)
{
    kelvoZrangeOptions o = kelvoZrangeOptionsOf(rqs);
    *q = kelvoZSetQuery{};
    q->by = o.by;
    q->withscores = o.withscores;
    q->rev = o.rev;
    q->has_limit = o.has_limit;
    q->offset = o.offset;
    q->count = o.count;
    const zend_string *first = kelvoQuerySetGetMem(rqs, 0), *second = kelvoQuerySetGetMem(rqs, 1);
    /* Reversed score and lex queries name the upper bound first; reversed ranks still count up. */
    const zend_string *low = o.rev ? second : first, *high = o.rev ? first : second;
    switch (o.by) {
    case 0:
        return rankOf(first, &q->start) && rankOf(second, &q->end);
    case 1:
        return parseScore(low, &q->low) && parseScore(high, &q->high);
    default:
        return parseLex(low, &q->lowLex) && parseLex(high, &q->highLex);
    }
}

/* Whether the query's bounds take in the whole sorted set (LIMIT aside). */
bool boundsCoverAll(const kelvoQuerySet *rqs, const kelvoZrangeOptions &o)
{
    const zend_string *s = kelvoQuerySetGetMem(rqs, o.rev && o.by != 0 ? 1 : 0);
    const zend_string *e = kelvoQuerySetGetMem(rqs, o.rev && o.by != 0 ? 0 : 1);
    auto is = [](const zend_string *t, const char *w) { return isCi(ZSTR_VAL(t), ZSTR_LEN(t), w); };
    switch (o.by) {
    case 0:
        return is(s, "0") && is(e, "-1");
    case 1:
        return is(s, "-inf") && (is(e, "+inf") || is(e, "inf"));
    default:
        return is(s, "-") && is(e, "+");
    }
}

/* A reply of `members` proves every member between the bounds unless LIMIT may have cut some off. */
bool holdsEveryMember(const kelvoZrangeOptions &o, uint64_t members)
{
    return !o.has_limit || (o.offset == 0 && (o.count < 0 || members < static_cast<uint64_t>(o.count)));
}

/* Scores asked for come as [member, score] pairs; anything else would be read as members. */
bool pairsWhenScored(const kelvoReply *reply, bool withscores)
{
    if (!withscores)
        return true;
    for (uint64_t i = 0; i < reply->elements; i++)
        if (reply->v.element[i]->type != KELVO_REPLY_ARRAY || reply->v.element[i]->elements != 2)
            return false;
    return true;
}

redisReadTask rootTask(int type) { return redisReadTask{type, 0, -1, nullptr, nullptr, nullptr}; }

kelvoReply *memberReply(const kelvoZSetRecord &r)
{
    redisReadTask t = rootTask(KELVO_REPLY_STRING);
    return static_cast<kelvoReply *>(kelvoReplyCreateString(&t, r.member ? r.member : "", r.len));
}

/* A score as the server writes a RESP3 double. */
kelvoReply *scoreReply(double score)
{
    char text[64];
    int n;
    if (std::isinf(score))
        n = snprintf(text, sizeof text, "%s", score > 0 ? "inf" : "-inf");
    else
        n = snprintf(text, sizeof text, "%.17g", score);
    redisReadTask t = rootTask(KELVO_REPLY_DOUBLE);
    return static_cast<kelvoReply *>(kelvoReplyCreateDouble(&t, score, text, static_cast<size_t>(n)));
}

kelvoReply *rangeReply(const rkZSet *z, int64_t first, int64_t last, bool rev, bool withscores)
{
    size_t n = last >= first ? static_cast<size_t>(last - first + 1) : 0;
    redisReadTask t = rootTask(KELVO_REPLY_ARRAY);
    auto *list = static_cast<kelvoReply *>(kelvoReplyCreateArray(&t, n));
    for (size_t i = 0; i < n; i++) {
        const kelvoZSetRecord &r = z->records[rev ? last - static_cast<int64_t>(i) : first + static_cast<int64_t>(i)];
        if (!withscores) {
            list->v.element[i] = memberReply(r);
            continue;
        }
        redisReadTask pt = rootTask(KELVO_REPLY_ARRAY);
        auto *pair = static_cast<kelvoReply *>(kelvoReplyCreateArray(&pt, 2));
        pair->v.element[0] = memberReply(r);
        pair->v.element[1] = scoreReply(r.score);
        list->v.element[i] = pair;
    }
    return list;
}

int answer(zval *out, kelvoQuerySet *rqs, robj *ro, kelvoReply *reply)
{
    kelvoFormatReply(kelvoGetCommandRCmd(rqs->cmd), rqs, ro, reply, out);
    kelvoReplyFree(reply);
    return KELVO_RES_SUCCESS;
}

int answerEmpty(zval *out, kelvoQuerySet *rqs, robj *ro)
{
    return answer(out, rqs, ro, rangeReply(nullptr, 0, -1, false, false));
}

} // namespace

rk *kelvoZrangeValue(const kelvoQuerySet *rqs, const kelvoReply *reply)
{
    kelvoZrangeOptions o = kelvoZrangeOptionsOf(rqs);
    kelvoZSetQuery q;
    if (rqs->serverOnly || reply->type != KELVO_REPLY_ARRAY || reply->elements == 0 || !queryOf(rqs, &q))
        return nullptr;
    /* A score range answers score queries only through its scores. */
    if ((o.by == 1 && !o.withscores) || !pairsWhenScored(reply, o.withscores))
        return nullptr;
    /* Each element is one member: a LIMIT that may have cut some off leaves the reply unproven. */
    if (!holdsEveryMember(o, reply->elements))
        return nullptr;
    bool whole = boundsCoverAll(rqs, o);
    if (!whole && o.by != 1)
        return nullptr; /* only score queries read a part of a set */
    uint16_t flags = (whole ? KELVO_KEY_FULL : 0) | (o.rev ? KELVO_KEY_FILL_REVERSE : 0);
    rk *value = kelvoKeyFromReply(KELVO_ZSET, flags, reply);
    if (!value || (value->flags & KELVO_INTERNED))
        return nullptr;
    rkZSet *z = kelvoKeyZSet(value);
    /* Lex ranges are searched by member: the server's order must be the members' own. */
    if (o.by == 2 && !kelvoZSetMembersAscend(z)) {
        kelvoKeyFree(value);
        return nullptr;
    }
    z->by = static_cast<uint8_t>(o.by);
    z->withscores = o.withscores;
    z->start = whole ? kelvoZSetBound{-HUGE_VAL, 0} : q.low;
    z->end = whole ? kelvoZSetBound{HUGE_VAL, 0} : q.high;
    return value;
}

int kelvoZrangeGet(zval *out, kelvoQuerySet *rqs, robj *ro)
{
    kelvoZSetQuery q;
    /* The server reads the bounds before it looks at the key: an unreadable bound is its error, whatever the key holds. */
    if (!queryOf(rqs, &q))
        return KELVO_RES_MISS;
    kelvoReadSection section;
    const rk *v;
    int rc = kelvoReadLookup(out, rqs, ro, 0, 0, &v);
    if (rc != KELVO_RES_SUCCESS)
        return rc;
    if (v->flags & KELVO_INTERNED)
        return v == kelvoExistsKey ? KELVO_RES_MISS : answerEmpty(out, rqs, ro);
    if (v->type != KELVO_ZSET || !(v->flags & KELVO_KEY_INITIALIZED))
        return KELVO_RES_MISS; /* a length alone */
    int64_t first = 0, last = -1;
    switch (kelvoZSetFindRange(v, q, &first, &last)) {
    case kelvoZSetAnswer::Miss:
        return KELVO_RES_MISS;
    case kelvoZSetAnswer::Empty:
        return answerEmpty(out, rqs, ro);
    case kelvoZSetAnswer::Span:
        break;
    }
    return answer(out, rqs, ro, rangeReply(kelvoKeyZSetConst(v), first, last, q.rev, q.withscores));
}
