/*
 * Cached reads: what their query, cache and store roles share. A cached read's row
 * (tools/commands.tsv) names a parser of the method's arguments (`*Cmd`) and one of
 * rawCommand's (`Raw*Cmd`), both filling a request query set; a convert role (`*Cnv`) that
 * writes the request back from the set on a miss; a cache role (`*Get`) that answers from the
 * shared cache; and a check and store role (`*Chk`, `*Put`) that keep what a reply proves.
 * Writes drop their keys' local copies through kelvoCacheDelAndFire (invalidate.cc).
 *
 * Owns nothing beyond the query set it fills. Cache roles read shared values only inside their
 * own read section; stores take the database lock through the cache index (cache.h). Engine side.
 */
#ifndef KELVO_READS_H
#define KELVO_READS_H

#include "client/object.h"
#include "commands/commands.h"
#include "shm/epoch.h"
#include "cache/cache.h"

#include <cstddef>
#include <cstdint>

/* The query set's context byte of the random-member reads. */
constexpr uint8_t kelvoRandSingle = 0x1;
constexpr uint8_t kelvoRandWithValues = 0x2;
/* BITCOUNT counts bits; SUNIONCARD may estimate. */
constexpr uint8_t kelvoBitUnits = 0x1;
constexpr uint8_t kelvoApprox = 0x1;

/* LPOS's options, kept in the set's range beside its one packed value. */
struct kelvoLposOptions {
    int64_t count;  /* -1: absent */
    int64_t maxlen; /* -1: absent */
    int64_t rank;   /* 1 by default */
};
kelvoLposOptions kelvoLposOptionsOf(const kelvoQuerySet *rqs);

/* The value a missing key or field answers: false under phpredis compatibility without null-multibulk, else null. */
void kelvoNotFound(zval *out, const robj *ro);

/*
 * Marks `key` stale in every logical database of every cached database set of the endpoint and
 * moves its write ticket, so a reply fetched before is not stored; then fires the client's own
 * listeners. A key outside the client's patterns was never cached: nothing to do.
 * `fire`: 0 none, 1 the client's listeners (held with a batch being read).
 */
void kelvoCacheDelAndFire(robj *ro, const char *key, size_t length, int fire);

/*
 * Key `i` of a cached read with its first step: a WRONGTYPE answer sets `out` false. Inside a
 * read section.
 */
int kelvoReadLookup(zval *out, kelvoQuerySet *rqs, robj *ro, uint32_t i, uint16_t required, const struct rk **v);

/*
 * Replies a cache role builds as the server would have sent them (request memory). The answer
 * made from one goes through the row's formatter or the generic conversion, as a server reply
 * would; kelvoAnswerLocal frees the reply and returns KELVO_RES_SUCCESS.
 */
kelvoReply *kelvoLocalStringReply(const char *bytes, size_t length);
kelvoReply *kelvoLocalAggregateReply(uint32_t type, size_t elements);
int kelvoAnswerLocal(zval *out, kelvoQuerySet *rqs, robj *ro, kelvoReply *reply);
/* The servable value of a key in the client's database, counted as a read in the client's sketch
 * (its own where it has one, else its endpoint's). Inside a read section. */
static inline const rk *kelvoReadCachedKey(const robj *ro, const zend_string *key)
{
    if (ro->sketch)
        return kelvoCacheGetLenCms(ro->link.ep, ro->sketch, ro->link.db, ZSTR_VAL(key), ZSTR_LEN(key));
    return kelvoCacheGetLen(ro->link.ep, ro->link.db, ZSTR_VAL(key), ZSTR_LEN(key));
}

/* Before a cached read that stores leaves: its keys' tickets and the lease generation. */
void kelvoQuerySetSampleTickets(kelvoQuerySet *rqs, const robj *ro);

/* An HGET or HMGET reply merged into a private hash: 0, or -1 for a reply of another shape. */
int kelvoMergeHashMemsImpl(kelvoQuerySet *rqs, struct rk *hash, kelvoReply *reply);

/* The read section of one cache role: entered on construction, left on every return. */
struct kelvoReadSection {
    kelvoReadSection() { kelvoGlobalEpochBegin(); }
    ~kelvoReadSection() { kelvoGlobalEpochEnd(); }
    kelvoReadSection(const kelvoReadSection &) = delete;
    kelvoReadSection &operator=(const kelvoReadSection &) = delete;
};

/* 1 when `s` is an integer as the server reads one (no sign but "-", no leading zero, no blank, in 64 bits). */
bool kelvoIsServerInteger(const char *s, size_t length, int64_t *out);

/* The options of a sorted-set range read (and of ZRANGESTORE's range): zeroed is none. */
struct kelvoZrangeOptions {
    int32_t by; /* 0 rank, 1 score, 2 lex */
    uint8_t withscores;
    uint8_t rev;
    uint8_t has_limit;
    int64_t offset;
    int64_t count;
};
/* What the command implies, then what an options argument (null: none) asks; warns on a malformed LIMIT. */
void kelvoFillZrangeOptions(kelvoZrangeOptions *o, int cmd, zval *value);
kelvoZrangeOptions kelvoZrangeOptionsOf(const kelvoQuerySet *rqs);
/*
 * The stored range a range query's reply proves, built privately, or null when it proves nothing
 * the cache keeps: the whole set for bounds that take in every member, or for a score query with
 * scores the members between its bounds; a LIMIT reply only when it shows it reached the end.
 */
struct rk *kelvoZrangeValue(const kelvoQuerySet *rqs, const kelvoReply *reply);

/* Whether the batch being read holds the events of its writes back until every reply is in. */
extern bool kelvoHoldOwnEvents;

#endif
