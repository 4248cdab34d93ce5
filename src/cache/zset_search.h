/*
 * Searches in a stored sorted-set range (`rkZSet`): which of its entries a rank, score or lex query
 * selects, by bisection over the ascending entries, and whether the stored range can tell at all.
 *
 * A stored range holds every member of the sorted set between its covered bounds (all of them when
 * the value is whole, KELVO_KEY_FULL). Rank and lex queries need the whole set; a score query is
 * answered from a part whose covered bounds enclose its own bounds. Lex ranges are stored only
 * when their members ascend bytewise, so the server's walk of its own order and a bisection by
 * member agree.
 *
 * Engine-free, no locks and no allocation: the value is read as it is, shared and immutable, so
 * callers search inside their read section.
 */
#ifndef KELVO_ZSET_SEARCH_H
#define KELVO_ZSET_SEARCH_H

#include <cstddef>
#include <cstdint>

#include "cache/keys.h"

/* A lex bound as the server reads one: "-" and "+" stand below and above every member; "[" includes
 * and "(" excludes the bytes that follow it. */
struct kelvoZSetLexBound {
    int8_t infinite; /* -1 "-", 1 "+", 0 the bytes */
    bool exclusive;
    const char *bytes;
    size_t length;
};

/* Reads `text` as a lex bound; false for a text the server refuses (no bracket, empty). */
bool kelvoZSetParseLex(const char *text, size_t length, kelvoZSetLexBound *bound);

/* The server's member order: bytes compared, the shorter first when one begins the other. */
int kelvoZSetCompareMember(const kelvoZSetRecord &record, const char *bytes, size_t length);

/* Whether the entries' members ascend bytewise (what lets a stored lex range answer). */
bool kelvoZSetMembersAscend(const rkZSet *z);

/*
 * Each search returns an entry index or -1 when the stored range cannot place the bound. The
 * stored range has at least one entry.
 *
 * Rank `rank` (negative: counted from the end) read from the top with `rev`: its entry, or -1
 * outside the set or when the value does not hold the whole set's length (KELVO_KEY_LEN).
 */
int64_t kelvoZSetFindIndexByRank(const rk *key, int64_t rank, bool rev);
/* The first entry at or above (above, exclusive) the bound; the entry count past every score.
 * -1 when the bound lies below the covered start of a partial range. */
int64_t kelvoZSetFindStartIndexByScore(const rk *key, kelvoZSetBound bound);
/* The last entry at or below (below, exclusive) the bound; -1 below every score, or when the
 * bound lies above the covered end of a partial range. */
int64_t kelvoZSetFindEndIndexByScore(const rk *key, kelvoZSetBound bound);
/* The same by member for a whole lex range (-1 otherwise): start past every member gives the
 * entry count, end below every member -1. */
int64_t kelvoZSetFindStartIndexByLex(const rk *key, const kelvoZSetLexBound &bound);
int64_t kelvoZSetFindEndIndexByLex(const rk *key, const kelvoZSetLexBound &bound);

/* Whether a partial range's covered bounds reach the score bound from below (`low`) or above. */
bool kelvoZSetCoversLow(const rk *key, kelvoZSetBound bound);
bool kelvoZSetCoversHigh(const rk *key, kelvoZSetBound bound);

/* A range query, its bounds already read as the server reads them. */
struct kelvoZSetQuery {
    int by; /* 0 rank, 1 score, 2 lex */
    bool withscores;
    bool rev;
    bool has_limit;
    int64_t offset, count;             /* LIMIT */
    int64_t start, end;                /* by rank, as given */
    kelvoZSetBound low, high;          /* by score, ascending */
    kelvoZSetLexBound lowLex, highLex; /* by lex, ascending */
};

/* What a stored range says of a query. */
enum class kelvoZSetAnswer {
    Miss,  /* the stored range cannot tell */
    Empty, /* no member */
    Span,  /* the entries first..last, ascending (emitted from last down with rev) */
};

/*
 * The entries `query` answers from the stored range `key` (a range value with entries, not an
 * interned one): the stored range must be whole for rank and lex queries, stored by the same
 * order, and carry scores when the query is by score or wants them.
 */
kelvoZSetAnswer kelvoZSetFindRange(const rk *key, const kelvoZSetQuery &query, int64_t *first, int64_t *last);

#endif
