/*
 * What the reply formatters share, wherever their command family keeps them: tests of reply
 * nodes, the nil and unpacking rules, the malformed-reply reports, and the one shape of a
 * formatter slot. A formatter body makes the return value from a reply on the client's reply
 * environment; on a malformed reply it reports (thrown or warned, as the client's options say)
 * and leaves false.
 *
 * Nothing here owns anything: results share the reply's strings by reference count. Engine
 * side; one request, no lock.
 */
#ifndef KELVO_FORMATTER_H
#define KELVO_FORMATTER_H

#include "commands/commands.h"
#include "runtime/exception.h"
#include "runtime/optflags.h"

namespace kelvoFormat {

inline bool phpredisMode(uint32_t flags) { return flags & kelvoOptPhpredisCompat; }
inline bool nilAsFalse(uint32_t flags)
{
    return (flags & (kelvoOptPhpredisCompat | kelvoOptNullMultibulkAsNull)) == kelvoOptPhpredisCompat;
}

/* A missing value: false in phpredis mode without OPT_NULL_MULTIBULK_AS_NULL, else null. */
inline void setNil(zval *dst, uint32_t flags)
{
    if (nilAsFalse(flags))
        ZVAL_FALSE(dst);
    else
        ZVAL_NULL(dst);
}

inline bool is(const kelvoReply *r, uint32_t type) { return r->type == type; }
inline bool isPair(const kelvoReply *r) { return is(r, KELVO_REPLY_ARRAY) && r->elements == 2; }
inline bool isScore(const kelvoReply *r) { return is(r, KELVO_REPLY_DOUBLE) || is(r, KELVO_REPLY_STRING); }
inline kelvoReply *at(const kelvoReply *r, uint64_t i) { return r->v.element[i]; }

/* A string-like reply's text through the client's packing options. */
inline void unpack(zval *dst, const kelvoPackOptions *opts, const kelvoReply *r)
{
    zend_string *s = r->v.str;
    kelvoUnpackEx(opts, dst, ZSTR_VAL(s), ZSTR_LEN(s), s);
}

/* The generic conversion with the client's options, or with one option bit added for its duration. */
inline void generic(zval *dst, const kelvoReply *reply, const kelvoReplyEnv *env, uint32_t reqFlags)
{
    kelvoReplyToZVal(dst, reply, &env->opts, reqFlags);
}
inline void convertWith(zval *dst, const kelvoReply *reply, const kelvoReplyEnv *env, uint32_t bit, uint32_t reqFlags)
{
    kelvoPackOptions opts = env->opts;
    opts.flags = static_cast<kelvoOptionWord>(opts.flags | bit);
    kelvoReplyToZVal(dst, reply, &opts, reqFlags);
}

/* The client's option bits, with `bit` added, but neither its serializer nor its compressor: for
 * replies that carry no value this client packed (module documents, indexed text). A copy: the
 * client's own options are never written. */
inline kelvoPackOptions withoutPacking(const kelvoReplyEnv *env, uint32_t bit)
{
    kelvoPackOptions opts = env->opts;
    opts.serializer = &kelvoNoneSerInfo;
    opts.compression = &kelvoNoneCmpInfo;
    opts.flags = static_cast<kelvoOptionWord>(opts.flags | bit);
    return opts;
}

/* The generic conversion of a reply that carries no value this client packed: plain, or with status
 * replies as their text (`bit` kelvoOptReplyLiteral). A formatter body of the module families. */
template <uint32_t bit>
void unpackedConversion(zval *rv, kelvoQuerySet *rqs, kelvoReplyEnv *env, const kelvoReply *reply)
{
    const kelvoPackOptions opts = withoutPacking(env, bit);
    kelvoReplyToZVal(rv, reply, &opts, rqs->flags);
}

/* Every element of type `type`. */
bool allOfType(const kelvoReply *r, uint32_t type);
/* Every element a STRING; otherwise the first other one is reported as wrong type `expected`. */
bool requireStrings(const kelvoReplyEnv *env, const kelvoReply *r, const char *expected);
/* The array key rule, for a string-like or integer reply as received. */
void addByReplyKey(zval *arr, const kelvoReply *key, zval *value);
/* key => the value unpacked with the client's options. */
void addUnpackedPair(zval *arr, const kelvoReplyEnv *env, const kelvoReply *key, const kelvoReply *value);
/* [a, b, ...] of the string elements as received, already checked. */
void flatStrings(zval *rv, const kelvoReply *reply);
/* Every element unpacked, as a list. */
void unpackedList(zval *rv, const kelvoReplyEnv *env, const kelvoReply *reply);
/* member => score from a flat [member, score, ...] list; false after a report. */
bool addFlatMemberScores(zval *rv, const kelvoReplyEnv *env, const kelvoReply *flat);
/* An INFO-style verbatim text as name => value; malformed otherwise. */
void infoToZVal(zval *rv, kelvoQuerySet *rqs, kelvoReplyEnv *env, const kelvoReply *reply);

/* The numeric text rule: integer, float, or the text itself. */
void numericOrString(zval *dst, const char *s, size_t len);
/* A string reply's text as a float (an integer text too), or the text itself. */
void stringAsFloat(zval *rv, const kelvoReply *reply);
/* Every element a two-element [STRING member, DOUBLE or STRING score]. */
bool allMemberScore(const kelvoReply *reply);
/* member => score from a list of [member, score] rows already checked; false after a report. */
bool addMemberScoreRows(zval *rv, const kelvoReplyEnv *env, const kelvoReply *rows);

using Body = void (*)(zval *rv, kelvoQuerySet *rqs, kelvoReplyEnv *env, const kelvoReply *reply);

/* A formatter slot of the catalogue around a body. */
template <Body body>
void formatter(zval *rv, kelvoQuerySet *rqs, robj *obj, kelvoReply *reply)
{
    kelvoAssert(rv != NULL && rqs != NULL && obj != NULL && reply != NULL);
    kelvoReplyEnv env = kelvoReplyEnvOf(obj);
    ZVAL_UNDEF(rv);
    body(rv, rqs, &env, reply);
}

} // namespace kelvoFormat

/* Reports at the caller's line. */
#define MALFORMED(env, ...) kelvoMalformedReplyEx((env)->opts.flags, __FILE__, __LINE__, __VA_ARGS__)
#define WRONG_TYPE(env, expected, reply) \
    kelvoMalformedReplyWrongTypeEx((env)->opts.flags, __FILE__, __LINE__, (expected), kelvoReplyTypeToString(reply))

/* Defines the formatter slot `name` of the catalogue around the body `body`. */
#define KELVO_FORMATTER(name, body)                                                 \
    void name(zval *return_value, kelvoQuerySet *rqs, robj *obj, kelvoReply *reply) \
    {                                                                               \
        kelvoFormat::formatter<body>(return_value, rqs, obj, reply);                \
    }

#endif
