/*
 * The client's option word (kelvoOptions::flags, copied into redisInfo::flags and
 * kelvoPackOptions::flags). Error classification, packing, the link's handshake, the reply
 * conversion and the client all test these bits, so they are named here once, below all of
 * them; beside them the option ids of the classes' OPT_* constants, which the stubs take from
 * here. Engine-free.
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

/* Option ids (the OPT_* class constants). 5, 16 and 17 belong to the cluster client. */
enum kelvoOptionId : int32_t {
    KELVO_OPT_SERIALIZER = 1,
    KELVO_OPT_PREFIX = 2,
    KELVO_OPT_READ_TIMEOUT = 3,
    KELVO_OPT_SCAN = 4,
    KELVO_OPT_TCP_KEEPALIVE = 6,
    KELVO_OPT_COMPRESSION = 7,
    KELVO_OPT_REPLY_LITERAL = 8,
    KELVO_OPT_COMPRESSION_LEVEL = 9,
    KELVO_OPT_NULL_MULTIBULK_AS_NULL = 10,
    KELVO_OPT_MAX_RETRIES = 11,
    KELVO_OPT_BACKOFF_ALGORITHM = 12,
    KELVO_OPT_BACKOFF_BASE = 13,
    KELVO_OPT_BACKOFF_CAP = 14,
    KELVO_OPT_PACK_IGNORE_NUMBERS = 15,
    KELVO_OPT_PHPREDIS_COMPATIBILITY = 100,
    KELVO_OPT_CLIENT_INVALIDATIONS = 101,
    KELVO_OPT_ALLOW_PATTERNS = 102,
    KELVO_OPT_IGNORE_PATTERNS = 103,
    KELVO_OPT_USE_CACHE = 104,
    KELVO_OPT_CLIENT_TRACKING = 105,
    KELVO_OPT_THROW_ON_ERROR = 106,
    KELVO_OPT_CAPA_REDIRECT = 107,
    KELVO_OPT_RESTORE_PUBSUB = 108,
    KELVO_OPT_ADAPTIVE_CACHE = 109,
    KELVO_OPT_AVAILABILITY_ZONE = 110,
};

/* Option ids of Kelvo\Sentinel (its OPT_* class constants): a numbering of its own. */
enum kelvoSentinelOptionId : int32_t {
    KELVO_SENTINEL_OPT_THROW_ON_ERR = 1,
    KELVO_SENTINEL_OPT_AUTO_DISCOVER = 2, /* accepted as a constant, refused by setOption */
};

#endif
