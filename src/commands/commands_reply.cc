/* Reply nodes into PHP values: the generic conversion and the per-command formatters. */
#include "commands/cmdroles.h"
#include "commands/commands.h"
#include "commands/formatter.h"
#include "runtime/exception.h"
#include "runtime/fatal.h"
#include "runtime/optflags.h"

extern "C" {
#include "zend_operators.h"
#include "zend_strtod.h"
}

#include <cstring>

using namespace kelvoFormat;

namespace {

/* The score rule: a DOUBLE's value, a string-like reply's text read by zend_strtod. */
double scoreOf(const kelvoReply *r)
{
    if (is(r, KELVO_REPLY_DOUBLE))
        return r->dval;
    return zend_strtod(ZSTR_VAL(r->v.str), nullptr);
}

} // namespace

void kelvoFormat::infoToZVal(zval *rv, kelvoQuerySet *, kelvoReplyEnv *env, const kelvoReply *reply)
{
    if (kelvoInfoReplyToZval(rv, reply) < 0) {
        MALFORMED(env, "expected INFO verbatim string with CR-delimited lines");
        kelvoReplyFailure(rv);
    }
}

void kelvoFormat::flatStrings(zval *rv, const kelvoReply *reply)
{
    array_init_size(rv, static_cast<uint32_t>(reply->elements));
    for (uint64_t i = 0; i < reply->elements; i++)
        add_next_index_str(rv, zend_string_copy(at(reply, i)->v.str));
}

bool kelvoFormat::allOfType(const kelvoReply *r, uint32_t type)
{
    for (uint64_t i = 0; i < r->elements; i++)
        if (!is(at(r, i), type))
            return false;
    return true;
}

bool kelvoFormat::requireStrings(const kelvoReplyEnv *env, const kelvoReply *r, const char *expected)
{
    for (uint64_t i = 0; i < r->elements; i++) {
        if (!is(at(r, i), KELVO_REPLY_STRING)) {
            WRONG_TYPE(env, expected, at(r, i));
            return false;
        }
    }
    return true;
}

void kelvoFormat::numericOrString(zval *dst, const char *s, size_t len)
{
    if (len > 0 && static_cast<unsigned char>(s[0]) <= '9') {
        zend_long l;
        double d;
        switch (is_numeric_string(s, len, &l, &d, false)) {
        case IS_LONG:
            ZVAL_LONG(dst, l);
            return;
        case IS_DOUBLE:
            ZVAL_DOUBLE(dst, d);
            return;
        default:
            break;
        }
    }
    ZVAL_STRINGL_FAST(dst, s, len);
}

void kelvoFormat::addByReplyKey(zval *arr, const kelvoReply *key, zval *value)
{
    if (is(key, KELVO_REPLY_INTEGER))
        zend_hash_index_update(Z_ARRVAL_P(arr), key->v.integer, value);
    else
        zend_symtable_update(Z_ARRVAL_P(arr), key->v.str, value);
}

namespace {

void listOf(zval *dst, const kelvoReply *src, const kelvoPackOptions *opts, uint32_t reqFlags)
{
    array_init_size(dst, static_cast<uint32_t>(src->elements));
    HashTable *ht = Z_ARRVAL_P(dst);
    zend_hash_real_init_packed(ht);
    for (uint64_t i = 0; i < src->elements; i++) {
        zval v;
        kelvoReplyToZVal(&v, at(src, i), opts, reqFlags);
        if (Z_ISUNDEF(v))
            ZVAL_NULL(&v);
        zend_hash_next_index_insert_new(ht, &v);
    }
}

void mapOf(zval *dst, const kelvoReply *src, const kelvoPackOptions *opts, uint32_t reqFlags)
{
    uint32_t flags = opts ? opts->flags : 0;
    if (src->elements % 2) {
        kelvoMalformedReplyEx(flags, __FILE__, __LINE__, "expected map key/value pairs");
        ZVAL_FALSE(dst);
        return;
    }
    if (phpredisMode(flags) && (reqFlags & KELVO_REQ_RAW)) {
        listOf(dst, src, opts, reqFlags);
        return;
    }
    array_init_size(dst, static_cast<uint32_t>(src->elements / 2));
    for (uint64_t i = 0; i < src->elements; i += 2) {
        const kelvoReply *key = at(src, i);
        if (!is(key, KELVO_REPLY_STRING) && !is(key, KELVO_REPLY_INTEGER) && !is(key, KELVO_REPLY_STATUS)) {
            kelvoMalformedReplyEx(flags, __FILE__, __LINE__, "expected string, status, or integer map key");
            kelvoReplyFailure(dst);
            return;
        }
        zval v;
        kelvoReplyToZVal(&v, at(src, i + 1), opts, reqFlags);
        if (Z_ISUNDEF(v))
            ZVAL_NULL(&v);
        addByReplyKey(dst, key, &v);
    }
}

/* -- formatter bodies, on the client's reply environment ------------------------------------------ */

void longToBool(zval *rv, kelvoQuerySet *, kelvoReplyEnv *env, const kelvoReply *reply)
{
    if (!is(reply, KELVO_REPLY_INTEGER)) {
        WRONG_TYPE(env, "integer", reply);
        return kelvoReplyFailure(rv);
    }
    ZVAL_BOOL(rv, reply->v.integer != 0);
}

void boolToLong(zval *rv, kelvoQuerySet *, kelvoReplyEnv *env, const kelvoReply *reply)
{
    if (!is(reply, KELVO_REPLY_BOOL)) {
        WRONG_TYPE(env, "bool", reply);
        return kelvoReplyFailure(rv);
    }
    ZVAL_LONG(rv, reply->v.integer ? 1 : 0);
}

} // namespace

void kelvoFormat::stringAsFloat(zval *rv, const kelvoReply *reply)
{
    zend_string *s = reply->v.str;
    numericOrString(rv, ZSTR_VAL(s), ZSTR_LEN(s));
    if (Z_TYPE_P(rv) == IS_LONG)
        ZVAL_DOUBLE(rv, static_cast<double>(Z_LVAL_P(rv)));
}

namespace {

void geodist(zval *rv, kelvoQuerySet *, kelvoReplyEnv *env, const kelvoReply *reply)
{
    if (is(reply, KELVO_REPLY_STRING))
        return stringAsFloat(rv, reply);
    if (is(reply, KELVO_REPLY_NIL))
        return setNil(rv, env->opts.flags);
    WRONG_TYPE(env, "string or nil", reply);
    kelvoReplyFailure(rv);
}

struct KeyTypeName {
    const char *name;
    size_t len;
    zend_long code;
};
constexpr KeyTypeName kKeyTypes[] = {{"string", 6, KELVO_KEYTYPE_STRING},      {"set", 3, KELVO_KEYTYPE_SET},
                                     {"list", 4, KELVO_KEYTYPE_LIST},          {"zset", 4, KELVO_KEYTYPE_ZSET},
                                     {"hash", 4, KELVO_KEYTYPE_HASH},          {"stream", 6, KELVO_KEYTYPE_STREAM},
                                     {"vectorset", 9, KELVO_KEYTYPE_VECTORSET}};

void keyType(zval *rv, kelvoQuerySet *, kelvoReplyEnv *env, const kelvoReply *reply)
{
    if (!is(reply, KELVO_REPLY_STATUS)) {
        WRONG_TYPE(env, "status", reply);
        return kelvoReplyFailure(rv);
    }
    zend_string *s = reply->v.str;
    if (!phpredisMode(env->opts.flags)) {
        ZVAL_STR_COPY(rv, s);
        return;
    }
    ZVAL_LONG(rv, KELVO_KEYTYPE_NOT_FOUND);
    for (const KeyTypeName &t : kKeyTypes)
        if (ZSTR_LEN(s) == t.len && memcmp(ZSTR_VAL(s), t.name, t.len) == 0)
            ZVAL_LONG(rv, t.code);
}

void keyWithMeta(zval *rv, kelvoQuerySet *rqs, kelvoReplyEnv *env, const kelvoReply *reply)
{
    if (!(rqs->flags & KELVO_REQ_META))
        return generic(rv, reply, env, rqs->flags);
    zval value, meta;
    generic(&value, reply, env, rqs->flags);
    array_init_size(&meta, 2);
    add_assoc_bool(&meta, "cached", false);
    zend_long length = kelvoReplyTypeIsString(reply->type) ? static_cast<zend_long>(ZSTR_LEN(reply->v.str)) : -1;
    add_assoc_long(&meta, "length", length);
    array_init_size(rv, 2);
    add_next_index_zval(rv, &value);
    add_next_index_zval(rv, &meta);
}

void hkeys(zval *rv, kelvoQuerySet *, kelvoReplyEnv *env, const kelvoReply *reply)
{
    if (!is(reply, KELVO_REPLY_ARRAY)) {
        WRONG_TYPE(env, "array", reply);
        return kelvoReplyFailure(rv);
    }
    if (!requireStrings(env, reply, "string array member"))
        return kelvoReplyFailure(rv);
    array_init_size(rv, static_cast<uint32_t>(reply->elements));
    for (uint64_t i = 0; i < reply->elements; i++)
        add_next_index_str(rv, zend_string_copy(at(reply, i)->v.str));
}

void hrandfield(zval *rv, kelvoQuerySet *rqs, kelvoReplyEnv *env, const kelvoReply *reply)
{
    if (rqs->context & 0x2) {
        if (!is(reply, KELVO_REPLY_ARRAY)) {
            WRONG_TYPE(env, "array", reply);
            return kelvoReplyFailure(rv);
        }
        array_init(rv);
        for (uint64_t i = 0; i < reply->elements; i++) {
            const kelvoReply *e = at(reply, i);
            if (is(e, KELVO_REPLY_ARRAY)) {
                if (!isPair(e) || !is(at(e, 0), KELVO_REPLY_STRING) || !is(at(e, 1), KELVO_REPLY_STRING)) {
                    MALFORMED(env, "expected HRANDFIELD key/value array");
                    return kelvoReplyFailure(rv);
                }
                addUnpackedPair(rv, env, at(e, 0), at(e, 1));
                continue;
            }
            if (!is(e, KELVO_REPLY_STRING) || i + 1 >= reply->elements || !is(at(reply, i + 1), KELVO_REPLY_STRING)) {
                MALFORMED(env, "expected HRANDFIELD string key/value pair");
                return kelvoReplyFailure(rv);
            }
            addUnpackedPair(rv, env, e, at(reply, i + 1));
            i++;
        }
        return;
    }
    if (!(rqs->context & 0x1))
        return hkeys(rv, rqs, env, reply);
    if (is(reply, KELVO_REPLY_STRING)) {
        ZVAL_STR_COPY(rv, reply->v.str);
        return;
    }
    if (is(reply, KELVO_REPLY_NIL))
        return setNil(rv, env->opts.flags);
    WRONG_TYPE(env, "string or nil", reply);
    kelvoReplyFailure(rv);
}

void zipKeysAndVals(zval *rv, kelvoQuerySet *rqs, kelvoReplyEnv *env, const kelvoReply *reply)
{
    /* Without the field names of the query role there is nothing to zip with. */
    if (rqs->kind != KELVO_RQS_MEM)
        return generic(rv, reply, env, rqs->flags);
    uint64_t elements = kelvoReplyTypeIsAggregate(reply->type) ? reply->elements : 0;
    if (!is(reply, KELVO_REPLY_ARRAY) || elements != rqs->nvals) {
        MALFORMED(env, "expected %u array values, got %s with %zu elements", rqs->nvals, kelvoReplyTypeToString(reply),
                  static_cast<size_t>(elements));
        return kelvoReplyFailure(rv);
    }
    array_init_size(rv, rqs->nvals);
    for (uint32_t i = 0; i < rqs->nvals; i++) {
        const kelvoReply *e = at(reply, i);
        zval v;
        if (is(e, KELVO_REPLY_STRING)) {
            unpack(&v, &env->opts, e);
        } else if (is(e, KELVO_REPLY_NIL)) {
            setNil(&v, env->opts.flags);
        } else {
            WRONG_TYPE(env, "string or nil value", e);
            return kelvoReplyFailure(rv);
        }
        zend_symtable_update(Z_ARRVAL_P(rv), rqs->vals[i], &v);
    }
}

/* HGETDEL, HGETEX: the fields their keys role took from the request, each with its value. */
void hgetKeysAssoc(zval *rv, kelvoQuerySet *rqs, kelvoReplyEnv *env, const kelvoReply *reply)
{
    if (!is(reply, KELVO_REPLY_ARRAY)) {
        WRONG_TYPE(env, "array", reply);
        return kelvoReplyFailure(rv);
    }
    if (!phpredisMode(env->opts.flags))
        return generic(rv, reply, env, rqs->flags);
    if (reply->elements != rqs->nvals) {
        MALFORMED(env, "expected %u hash values, got %zu", rqs->nvals, static_cast<size_t>(reply->elements));
        return kelvoReplyFailure(rv);
    }
    array_init_size(rv, rqs->nvals);
    for (uint32_t i = 0; i < rqs->nvals; i++) {
        zval v;
        generic(&v, at(reply, i), env, rqs->flags);
        zend_symtable_update(Z_ARRVAL_P(rv), rqs->vals[i], &v);
    }
}

/* -- sorted sets ------------------------------------------------------------------------------ */

/* A two-element [STRING member, DOUBLE or STRING score]. */
bool isMemberScore(const kelvoReply *e) { return isPair(e) && is(at(e, 0), KELVO_REPLY_STRING) && isScore(at(e, 1)); }

} // namespace

bool kelvoFormat::allMemberScore(const kelvoReply *reply)
{
    for (uint64_t i = 0; i < reply->elements; i++)
        if (!isMemberScore(at(reply, i)))
            return false;
    return true;
}

bool kelvoFormat::addMemberScoreRows(zval *rv, const kelvoReplyEnv *env, const kelvoReply *rows)
{
    for (uint64_t i = 0; i < rows->elements; i++) {
        const kelvoReply *e = at(rows, i);
        if (kelvoUnpackZpopEntry(rv, &env->opts, at(e, 0), at(e, 1)) < 0)
            return false;
    }
    return true;
}

bool kelvoFormat::addFlatMemberScores(zval *rv, const kelvoReplyEnv *env, const kelvoReply *flat)
{
    for (uint64_t i = 0; i + 1 < flat->elements; i += 2)
        if (kelvoUnpackZpopEntry(rv, &env->opts, at(flat, i), at(flat, i + 1)) < 0)
            return false;
    return true;
}

void kelvoFormat::unpackedList(zval *rv, const kelvoReplyEnv *env, const kelvoReply *reply)
{
    array_init_size(rv, static_cast<uint32_t>(reply->elements));
    for (uint64_t i = 0; i < reply->elements; i++) {
        zval v;
        unpack(&v, &env->opts, at(reply, i));
        add_next_index_zval(rv, &v);
    }
}

void kelvoFormat::addUnpackedPair(zval *arr, const kelvoReplyEnv *env, const kelvoReply *key, const kelvoReply *value)
{
    zval v;
    unpack(&v, &env->opts, value);
    addByReplyKey(arr, key, &v);
}

namespace {

void zipZsetVals(zval *rv, kelvoQuerySet *rqs, kelvoReplyEnv *env, const kelvoReply *reply)
{
    kelvoAssert(rqs != NULL && (rqs->context == 0 || rqs->context == 1) && reply != NULL);
    if (!is(reply, KELVO_REPLY_ARRAY)) {
        WRONG_TYPE(env, "array", reply);
        return kelvoReplyFailure(rv);
    }
    if (rqs->context == 0) {
        if (!requireStrings(env, reply, "zset string member"))
            return kelvoReplyFailure(rv);
        return unpackedList(rv, env, reply);
    }
    array_init(rv);
    if (reply->elements == 0)
        return;
    bool flat = reply->elements % 2 == 0 && is(at(reply, 0), KELVO_REPLY_STRING);
    if (flat ? !is(at(reply, 1), KELVO_REPLY_DOUBLE) : !allMemberScore(reply)) {
        MALFORMED(env, "expected zset member/score array");
        return kelvoReplyFailure(rv);
    }
    if (!(flat ? addFlatMemberScores(rv, env, reply) : addMemberScoreRows(rv, env, reply)))
        kelvoReplyFailure(rv);
}

void zipZpopVals(zval *rv, kelvoQuerySet *, kelvoReplyEnv *env, const kelvoReply *reply)
{
    if (!is(reply, KELVO_REPLY_ARRAY)) {
        WRONG_TYPE(env, "array", reply);
        return kelvoReplyFailure(rv);
    }
    array_init(rv);
    if (reply->elements == 0)
        return;
    const kelvoReply *first = at(reply, 0);
    if (is(first, KELVO_REPLY_ARRAY)) {
        for (uint64_t i = 0; i < reply->elements; i++) {
            if (!isPair(at(reply, i))) {
                MALFORMED(env, "expected zpop member/score array");
                return kelvoReplyFailure(rv);
            }
        }
        if (!addMemberScoreRows(rv, env, reply))
            kelvoReplyFailure(rv);
        return;
    }
    if (is(first, KELVO_REPLY_STRING)) {
        if (reply->elements % 2) {
            MALFORMED(env, "expected zpop member/score pairs");
            return kelvoReplyFailure(rv);
        }
        if (!addFlatMemberScores(rv, env, reply))
            kelvoReplyFailure(rv);
        return;
    }
    WRONG_TYPE(env, "array or string zpop entry", first);
    kelvoReplyFailure(rv);
}

void zrandmember(zval *rv, kelvoQuerySet *rqs, kelvoReplyEnv *env, const kelvoReply *reply)
{
    if (is(reply, KELVO_REPLY_STRING))
        return unpack(rv, &env->opts, reply);
    if (is(reply, KELVO_REPLY_NIL))
        return setNil(rv, env->opts.flags);
    if (!is(reply, KELVO_REPLY_ARRAY)) {
        WRONG_TYPE(env, "string, array, or nil", reply);
        return kelvoReplyFailure(rv);
    }
    if (rqs->context == 1) {
        if (!allMemberScore(reply)) {
            MALFORMED(env, "expected ZRANDMEMBER member/score array");
            return kelvoReplyFailure(rv);
        }
        array_init(rv);
        if (!addMemberScoreRows(rv, env, reply))
            kelvoReplyFailure(rv);
        return;
    }
    if (!requireStrings(env, reply, "ZRANDMEMBER string member"))
        return kelvoReplyFailure(rv);
    unpackedList(rv, env, reply);
}

void lcs(zval *rv, kelvoQuerySet *, kelvoReplyEnv *env, const kelvoReply *reply)
{
    if (!is(reply, KELVO_REPLY_MAP))
        return generic(rv, reply, env, KELVO_REQ_RAW);
    listOf(rv, reply, &env->opts, KELVO_REQ_RAW);
}

bool isCoordinatePair(const kelvoReply *e)
{
    return isPair(e) && is(at(e, 0), KELVO_REPLY_DOUBLE) && is(at(e, 1), KELVO_REPLY_DOUBLE);
}

void geosearch(zval *rv, kelvoQuerySet *rqs, kelvoReplyEnv *env, const kelvoReply *reply)
{
    if (rqs->context == 0 || (is(reply, KELVO_REPLY_ARRAY) && reply->elements == 0))
        return generic(rv, reply, env, rqs->flags);
    if (!is(reply, KELVO_REPLY_ARRAY)) {
        WRONG_TYPE(env, "array", reply);
        return kelvoReplyFailure(rv);
    }
    array_init_size(rv, static_cast<uint32_t>(reply->elements));
    for (uint64_t i = 0; i < reply->elements; i++) {
        const kelvoReply *row = at(reply, i);
        if (!is(row, KELVO_REPLY_ARRAY) || row->elements < 2 || !is(at(row, 0), KELVO_REPLY_STRING)) {
            MALFORMED(env, "expected GEOSEARCH result array");
            return kelvoReplyFailure(rv);
        }
        for (uint64_t j = 1; j < row->elements; j++) {
            const kelvoReply *e = at(row, j);
            if (is(e, KELVO_REPLY_ARRAY) && !isCoordinatePair(e)) {
                MALFORMED(env, "expected GEOSEARCH coordinate pair");
                return kelvoReplyFailure(rv);
            }
            if (!is(e, KELVO_REPLY_ARRAY) && !is(e, KELVO_REPLY_STRING) && !is(e, KELVO_REPLY_INTEGER)) {
                MALFORMED(env, "expected GEOSEARCH string or integer aux value");
                return kelvoReplyFailure(rv);
            }
        }
        zval extras;
        array_init_size(&extras, static_cast<uint32_t>(row->elements - 1));
        for (uint64_t j = 1; j < row->elements; j++) {
            const kelvoReply *e = at(row, j);
            if (is(e, KELVO_REPLY_INTEGER)) {
                add_next_index_long(&extras, e->v.integer);
            } else if (is(e, KELVO_REPLY_STRING)) {
                add_next_index_double(&extras, scoreOf(e));
            } else {
                zval pair;
                array_init_size(&pair, 2);
                add_next_index_double(&pair, at(e, 0)->dval);
                add_next_index_double(&pair, at(e, 1)->dval);
                add_next_index_zval(&extras, &pair);
            }
        }
        /* Members were packed when GEOADD stored them: the caller's own member names the row. */
        zval member;
        unpack(&member, &env->opts, at(row, 0));
        zend_string *name = zval_get_string(&member);
        zend_symtable_update(Z_ARRVAL_P(rv), name, &extras);
        zend_string_release(name);
        zval_ptr_dtor(&member);
    }
}

} // namespace

/* -- public helpers ------------------------------------------------------------------------------ */

void kelvoReplyFailure(zval *zv)
{
    zval_ptr_dtor(zv);
    ZVAL_FALSE(zv);
}

void kelvoReplyToZVal(zval *zdst, const kelvoReply *src, const kelvoPackOptions *opts, uint32_t reqFlags)
{
    kelvoAssert(zdst != NULL && src != NULL);
    uint32_t flags = opts ? opts->flags : 0;
    ZVAL_UNDEF(zdst);
    switch (src->type) {
    case KELVO_REPLY_STRING:
    case KELVO_REPLY_VERB:
        if (reqFlags & KELVO_REQ_RAW)
            ZVAL_STR_COPY(zdst, src->v.str);
        else
            unpack(zdst, opts, src);
        return;
    case KELVO_REPLY_ARRAY:
    case KELVO_REPLY_SET:
        return listOf(zdst, src, opts, reqFlags);
    case KELVO_REPLY_INTEGER:
        ZVAL_LONG(zdst, src->v.integer);
        return;
    case KELVO_REPLY_NIL:
        if (phpredisMode(flags) && (reqFlags & KELVO_REQ_RAW) && !(reqFlags & KELVO_REQ_SINGLE)) {
            if (flags & kelvoOptNullMultibulkAsNull)
                ZVAL_NULL(zdst);
            else
                array_init(zdst);
            return;
        }
        return setNil(zdst, flags);
    case KELVO_REPLY_STATUS:
        if (flags & kelvoOptReplyLiteral)
            ZVAL_STR_COPY(zdst, src->v.str);
        else
            ZVAL_TRUE(zdst);
        return;
    case KELVO_REPLY_BIGNUM:
        /* A number too big for an integer keeps its digits. */
        ZVAL_STR_COPY(zdst, src->v.str);
        return;
    case KELVO_REPLY_ERROR:
    case KELVO_REPLY_ATTR:
    case KELVO_REPLY_PUSH:
        ZVAL_FALSE(zdst);
        return;
    case KELVO_REPLY_DOUBLE:
        ZVAL_DOUBLE(zdst, src->dval);
        return;
    case KELVO_REPLY_BOOL:
        ZVAL_BOOL(zdst, src->v.integer != 0);
        return;
    case KELVO_REPLY_MAP:
        return mapOf(zdst, src, opts, reqFlags);
    default:
        return;
    }
}

int kelvoInfoReplyToZval(zval *dst, const kelvoReply *reply)
{
    if (!reply || !is(reply, KELVO_REPLY_VERB))
        return -1;
    array_init(dst);
    const char *p = ZSTR_VAL(reply->v.str);
    const char *end = p + ZSTR_LEN(reply->v.str);
    if (end - p == 0)
        return 0;
    if (end - p == 1)
        return -1;
    auto nextCrLf = [end](const char *from) -> const char * {
        for (const char *q = from; q + 1 < end; q++)
            if (q[0] == '\r' && q[1] == '\n')
                return q;
        return nullptr;
    };
    const char *cr = nextCrLf(p);
    if (!cr)
        return -1;
    static constexpr char kModule[] = "module:name=";
    for (;;) {
        size_t len = static_cast<size_t>(cr - p);
        if (len > 0 && p[0] != '#') {
            bool module = len >= sizeof(kModule) - 1 && memcmp(p, kModule, sizeof(kModule) - 1) == 0;
            const char *sep = static_cast<const char *>(memchr(p, module ? ',' : ':', len));
            if (!sep)
                return -1;
            zval v;
            numericOrString(&v, sep + 1, static_cast<size_t>(cr - sep - 1));
            zend_symtable_str_update(Z_ARRVAL_P(dst), p, static_cast<size_t>(sep - p), &v);
        }
        p = cr + 2;
        if (end - p < 2)
            return 0;
        cr = nextCrLf(p);
        if (!cr)
            return 0;
    }
}

void clientReplyToArray(zval *zdst, const char *str, size_t len)
{
    kelvoAssert(zdst && Z_TYPE_P(zdst) == IS_ARRAY && str);
    const char *p = str;
    const char *end = str + len;
    while (p < end) {
        while (p < end && *p == ' ')
            p++;
        const char *token = p;
        while (p < end && *p != ' ')
            p++;
        if (p == token)
            return;
        const char *sep = static_cast<const char *>(memchr(token, '=', static_cast<size_t>(p - token)));
        if (!sep)
            return; /* a token without '=' ends the line */
        zval v;
        numericOrString(&v, sep + 1, static_cast<size_t>(p - sep - 1));
        zend_symtable_str_update(Z_ARRVAL_P(zdst), token, static_cast<size_t>(sep - token), &v);
    }
}

int kelvoUnpackZpopEntry(zval *arr, const kelvoPackOptions *opts, const kelvoReply *member, const kelvoReply *score)
{
    if (!is(member, KELVO_REPLY_STRING) || !isScore(score)) {
        kelvoMalformedReplyEx(opts ? opts->flags : 0, __FILE__, __LINE__, "expected zpop string member and score");
        return -1;
    }
    zval m, s;
    unpack(&m, opts, member);
    ZVAL_DOUBLE(&s, scoreOf(score));
    if (Z_TYPE(m) == IS_STRING) {
        zend_symtable_update(Z_ARRVAL_P(arr), Z_STR(m), &s);
    } else {
        zend_string *text = zval_get_string(&m);
        zend_symtable_update(Z_ARRVAL_P(arr), text, &s);
        zend_string_release(text);
    }
    zval_ptr_dtor(&m);
    return 0;
}

/* -- formatter slots of the catalogue ------------------------------------------------------------ */

KELVO_FORMATTER(kelvoLongToBool, longToBool)
KELVO_FORMATTER(kelvoBoolToLong, boolToLong)
KELVO_FORMATTER(kelvoGeodistReply, geodist)
KELVO_FORMATTER(kelvoStringToKeyType, keyType)
KELVO_FORMATTER(kelvoKeyWithMetaFmt, keyWithMeta)
KELVO_FORMATTER(kelvoHkeysFmt, hkeys)
KELVO_FORMATTER(kelvoHRandFieldFmt, hrandfield)
KELVO_FORMATTER(kelvoZipKeysAndVals, zipKeysAndVals)
KELVO_FORMATTER(kelvoHGetKeysAssocFmt, hgetKeysAssoc)
KELVO_FORMATTER(kelvoZipZsetVals, zipZsetVals)
KELVO_FORMATTER(kelvoZipZpopVals, zipZpopVals)
KELVO_FORMATTER(kelvoZRandMemberVals, zrandmember)
KELVO_FORMATTER(kelvoInfoToZVal, infoToZVal)
KELVO_FORMATTER(kelvoLcsToZVal, lcs)
KELVO_FORMATTER(kelvoGeosearchFmt, geosearch)

/* The generic conversion for rows whose own formatter is not built yet. */
void kelvoLeastReply(zval *return_value, kelvoQuerySet *rqs, robj *obj, kelvoReply *reply)
{
    kelvoAssert(return_value != NULL && rqs != NULL && obj != NULL && reply != NULL);
    kelvoReplyEnv env = kelvoReplyEnvOf(obj);
    kelvoReplyToZVal(return_value, reply, &env.opts, rqs->flags);
}
