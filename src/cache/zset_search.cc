/*
 * Searches in a stored sorted-set range; see zset_search.h.
 */
#include "cache/zset_search.h"

#include <algorithm>
#include <cstring>

namespace {

bool whole(const rk *key) { return (key->flags & KELVO_KEY_FULL) != 0; }

/* The first index in [0, n) whose record fails `below`; n when every record passes. */
template <typename Below>
int64_t firstNotBelow(const rkZSet *z, Below below)
{
    const kelvoZSetRecord *begin = z->records;
    return std::partition_point(begin, begin + z->count, below) - begin;
}

/* A record under the score bound as a start: it lies before every entry the bound admits. */
bool beforeScoreStart(const kelvoZSetRecord &r, kelvoZSetBound b)
{
    return b.exclusive ? r.score <= b.value : r.score < b.value;
}

/* A record the score bound as an end admits. */
bool withinScoreEnd(const kelvoZSetRecord &r, kelvoZSetBound b)
{
    return b.exclusive ? r.score < b.value : r.score <= b.value;
}

bool beforeLexStart(const kelvoZSetRecord &r, const kelvoZSetLexBound &b)
{
    int c = kelvoZSetCompareMember(r, b.bytes, b.length);
    return b.exclusive ? c <= 0 : c < 0;
}

bool withinLexEnd(const kelvoZSetRecord &r, const kelvoZSetLexBound &b)
{
    int c = kelvoZSetCompareMember(r, b.bytes, b.length);
    return b.exclusive ? c < 0 : c <= 0;
}

/* The span after LIMIT: the offset counts from the end the query reads from. */
kelvoZSetAnswer limited(const kelvoZSetQuery &q, int64_t *first, int64_t *last)
{
    if (q.has_limit) {
        if (q.offset < 0)
            return kelvoZSetAnswer::Empty;
        if (!q.rev) {
            *first += q.offset;
            if (q.count >= 0)
                *last = std::min(*last, *first + q.count - 1);
        } else {
            *last -= q.offset;
            if (q.count >= 0)
                *first = std::max(*first, *last - q.count + 1);
        }
    }
    return *last < *first ? kelvoZSetAnswer::Empty : kelvoZSetAnswer::Span;
}

kelvoZSetAnswer byRank(const rk *key, const kelvoZSetQuery &q, int64_t *first, int64_t *last)
{
    /* The server's normalisation: negative ranks from the end, the start clamped up, the end down. */
    int64_t n = key->v.zset.count, s = q.start, e = q.end;
    if (s < 0)
        s += n;
    if (e < 0)
        e += n;
    if (s < 0)
        s = 0;
    if (s > e || s >= n)
        return kelvoZSetAnswer::Empty;
    if (e >= n)
        e = n - 1;
    int64_t a = kelvoZSetFindIndexByRank(key, s, q.rev), b = kelvoZSetFindIndexByRank(key, e, q.rev);
    if (a < 0 || b < 0)
        return kelvoZSetAnswer::Miss;
    *first = std::min(a, b);
    *last = std::max(a, b);
    return limited(q, first, last);
}

} // namespace

bool kelvoZSetParseLex(const char *s, size_t n, kelvoZSetLexBound *b)
{
    *b = kelvoZSetLexBound{0, false, nullptr, 0};
    if (n == 1 && (s[0] == '-' || s[0] == '+')) {
        b->infinite = s[0] == '-' ? -1 : 1;
        return true;
    }
    if (n == 0 || (s[0] != '[' && s[0] != '('))
        return false;
    b->exclusive = s[0] == '(';
    b->bytes = s + 1;
    b->length = n - 1;
    return true;
}

int kelvoZSetCompareMember(const kelvoZSetRecord &r, const char *bytes, size_t length)
{
    size_t common = std::min<size_t>(r.len, length);
    int c = common ? memcmp(r.member, bytes, common) : 0;
    if (c != 0)
        return c;
    return r.len < length ? -1 : r.len > length ? 1 : 0;
}

bool kelvoZSetMembersAscend(const rkZSet *z)
{
    for (uint32_t i = 1; i < z->count; i++)
        if (kelvoZSetCompareMember(z->records[i - 1], z->records[i].member, z->records[i].len) >= 0)
            return false;
    return true;
}

bool kelvoZSetCoversLow(const rk *key, kelvoZSetBound b)
{
    const kelvoZSetBound &c = key->v.zset.start;
    return whole(key) || b.value > c.value || (b.value == c.value && (b.exclusive || !c.exclusive));
}

bool kelvoZSetCoversHigh(const rk *key, kelvoZSetBound b)
{
    const kelvoZSetBound &c = key->v.zset.end;
    return whole(key) || b.value < c.value || (b.value == c.value && (b.exclusive || !c.exclusive));
}

int64_t kelvoZSetFindIndexByRank(const rk *key, int64_t rank, bool rev)
{
    if (!(key->flags & KELVO_KEY_LEN))
        return -1;
    int64_t n = key->v.zset.count;
    if (rank < 0)
        rank += n;
    if (rank < 0 || rank >= n)
        return -1;
    return rev ? n - 1 - rank : rank;
}

int64_t kelvoZSetFindStartIndexByScore(const rk *key, kelvoZSetBound bound)
{
    if (!kelvoZSetCoversLow(key, bound))
        return -1;
    return firstNotBelow(&key->v.zset, [&](const kelvoZSetRecord &r) { return beforeScoreStart(r, bound); });
}

int64_t kelvoZSetFindEndIndexByScore(const rk *key, kelvoZSetBound bound)
{
    if (!kelvoZSetCoversHigh(key, bound))
        return -1;
    return firstNotBelow(&key->v.zset, [&](const kelvoZSetRecord &r) { return withinScoreEnd(r, bound); }) - 1;
}

int64_t kelvoZSetFindStartIndexByLex(const rk *key, const kelvoZSetLexBound &bound)
{
    if (!(key->flags & KELVO_KEY_LEN))
        return -1;
    if (bound.infinite)
        return bound.infinite < 0 ? 0 : key->v.zset.count;
    return firstNotBelow(&key->v.zset, [&](const kelvoZSetRecord &r) { return beforeLexStart(r, bound); });
}

int64_t kelvoZSetFindEndIndexByLex(const rk *key, const kelvoZSetLexBound &bound)
{
    if (!(key->flags & KELVO_KEY_LEN))
        return -1;
    if (bound.infinite)
        return bound.infinite < 0 ? -1 : int64_t{key->v.zset.count} - 1;
    return firstNotBelow(&key->v.zset, [&](const kelvoZSetRecord &r) { return withinLexEnd(r, bound); }) - 1;
}

kelvoZSetAnswer kelvoZSetFindRange(const rk *key, const kelvoZSetQuery &q, int64_t *first, int64_t *last)
{
    const rkZSet *z = &key->v.zset;
    if (z->count == 0 || z->by != q.by || ((q.withscores || q.by == 1) && !z->withscores))
        return kelvoZSetAnswer::Miss;
    if (q.by != 1 && !whole(key))
        return kelvoZSetAnswer::Miss;
    if (q.by == 0)
        return byRank(key, q, first, last);
    if (q.by == 1) {
        /* Both bounds inside what the range covers: an end search's -1 is then "below every entry". */
        if (!kelvoZSetCoversLow(key, q.low) || !kelvoZSetCoversHigh(key, q.high))
            return kelvoZSetAnswer::Miss;
        *first = kelvoZSetFindStartIndexByScore(key, q.low);
        *last = kelvoZSetFindEndIndexByScore(key, q.high);
    } else {
        *first = kelvoZSetFindStartIndexByLex(key, q.lowLex);
        *last = kelvoZSetFindEndIndexByLex(key, q.highLex);
        if (*first < 0)
            return kelvoZSetAnswer::Miss;
    }
    return limited(q, first, last);
}
