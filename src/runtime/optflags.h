/*
 * The client's option word (kelvoOptions::flags, copied into redisInfo::flags and
 * kelvoPackOptions::flags). Error classification, packing, the link's handshake, the reply
 * conversion and the client all test these bits, so they are named here once, below all of
 * them. Engine-free.
 */
#ifndef KELVO_OPTFLAGS_H
#define KELVO_OPTFLAGS_H

#include <cstdint>

/* Bit positions: each bit is named once and takes the next position, so no two can meet. */
enum class kelvoOptBit : unsigned {
    ThrowOnError,        /* server errors are thrown, never recorded */
    ReplyLiteral,        /* status replies keep their text instead of true */
    NullMultibulkAsNull, /* phpredis compatibility gives null, not false or [], for nil */
    PhpredisCompat,      /* phpredis reply shapes; errors recorded unless ThrowOnError */
    UseCache,            /* the link reads through the shared cache */
    ClientTracking,      /* the handshake switches on client tracking */
    InSubscribeCallback, /* never set by an option */
    PackIgnoreNumbers,   /* integers and floats are sent and read as their plain text */
    WithMeta,            /* never set by an option: the current call returns its metadata */
    CapaRedirect,        /* the handshake announces CLIENT CAPA redirect */
    RestorePubsub,       /* OPT_RESTORE_PUBSUB */
    KeyedBySecrets,      /* never set by an option: the link's identity carries a hash of its password
                            and TLS settings, so a pooled link serves only the same secrets (sentinel) */
    Count
};

using kelvoOptionWord = uint16_t;

static_assert(static_cast<unsigned>(kelvoOptBit::Count) <= 8 * sizeof(kelvoOptionWord),
              "every option bit must fit kelvoOptions::flags");

constexpr kelvoOptionWord kelvoOptFlag(kelvoOptBit bit)
{
    return static_cast<kelvoOptionWord>(1u << static_cast<unsigned>(bit));
}

/* The masks callers test and set. */
constexpr kelvoOptionWord kelvoOptThrowOnError = kelvoOptFlag(kelvoOptBit::ThrowOnError);
constexpr kelvoOptionWord kelvoOptReplyLiteral = kelvoOptFlag(kelvoOptBit::ReplyLiteral);
constexpr kelvoOptionWord kelvoOptNullMultibulkAsNull = kelvoOptFlag(kelvoOptBit::NullMultibulkAsNull);
constexpr kelvoOptionWord kelvoOptPhpredisCompat = kelvoOptFlag(kelvoOptBit::PhpredisCompat);
constexpr kelvoOptionWord kelvoOptUseCache = kelvoOptFlag(kelvoOptBit::UseCache);
constexpr kelvoOptionWord kelvoOptClientTracking = kelvoOptFlag(kelvoOptBit::ClientTracking);
constexpr kelvoOptionWord kelvoOptInSubscribeCallback = kelvoOptFlag(kelvoOptBit::InSubscribeCallback);
constexpr kelvoOptionWord kelvoOptPackIgnoreNumbers = kelvoOptFlag(kelvoOptBit::PackIgnoreNumbers);
constexpr kelvoOptionWord kelvoOptWithMeta = kelvoOptFlag(kelvoOptBit::WithMeta);
constexpr kelvoOptionWord kelvoOptCapaRedirect = kelvoOptFlag(kelvoOptBit::CapaRedirect);
constexpr kelvoOptionWord kelvoOptRestorePubsub = kelvoOptFlag(kelvoOptBit::RestorePubsub);
constexpr kelvoOptionWord kelvoOptKeyedBySecrets = kelvoOptFlag(kelvoOptBit::KeyedBySecrets);

constexpr kelvoOptionWord kelvoDefaultOptionFlags = kelvoOptPhpredisCompat | kelvoOptUseCache | kelvoOptClientTracking;

#endif
