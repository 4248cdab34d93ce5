/* The glob test of key patterns over counted bytes. */
#include "cache/patterns.h"

#include <cctype>
#include <cstring>

namespace {

struct Span {
    const unsigned char *at;
    const unsigned char *end;
};

bool classMatches(const char *name, size_t length, unsigned char c)
{
    struct Class {
        const char *name;
        int (*test)(int);
    };
    static const Class classes[] = {
        {"alnum", isalnum}, {"alpha", isalpha}, {"blank", isblank}, {"cntrl", iscntrl},
        {"digit", isdigit}, {"graph", isgraph}, {"lower", islower}, {"print", isprint},
        {"punct", ispunct}, {"space", isspace}, {"upper", isupper}, {"xdigit", isxdigit},
    };
    for (const Class &cls : classes) {
        if (strlen(cls.name) == length && memcmp(cls.name, name, length) == 0)
            return cls.test(c) != 0;
    }
    return false;
}

enum class Bracket { NoMatch, Match, NotABracket };

/* Tests `c` against the bracket expression after "[" at `p`; `p` moves past its "]". */
Bracket bracket(Span &p, unsigned char c)
{
    const unsigned char *q = p.at;
    bool negate = q < p.end && (*q == '!' || *q == '^');
    if (negate)
        q++;
    bool matched = false, first = true;
    for (;;) {
        if (q >= p.end)
            return Bracket::NotABracket;
        unsigned char lo = *q;
        if (lo == ']' && !first)
            break;
        first = false;
        if (lo == '[' && q + 1 < p.end && q[1] == ':') {
            const unsigned char *close = q + 2;
            while (close + 1 < p.end && !(close[0] == ':' && close[1] == ']'))
                close++;
            if (close + 1 >= p.end)
                return Bracket::NotABracket;
            matched |= classMatches(reinterpret_cast<const char *>(q + 2), size_t(close - (q + 2)), c);
            q = close + 2;
            continue;
        }
        if (lo == '\\' && q + 1 < p.end)
            lo = *++q;
        q++;
        unsigned char hi = lo;
        if (q + 1 < p.end && *q == '-' && q[1] != ']') {
            hi = q[1];
            q += 2;
            if (hi == '\\' && q < p.end)
                hi = *q++;
        }
        if (lo <= c && c <= hi)
            matched = true;
    }
    p.at = q + 1;
    return matched != negate ? Bracket::Match : Bracket::NoMatch;
}

/* One pattern item against one key byte: true when it matches; `p` moves past the item. */
bool single(Span &p, unsigned char c)
{
    unsigned char item = *p.at++;
    if (item == '?')
        return true;
    if (item == '[') {
        Span inner = p;
        switch (bracket(inner, c)) {
        case Bracket::Match:
            p = inner;
            return true;
        case Bracket::NoMatch:
            p = inner;
            return false;
        case Bracket::NotABracket:
            return c == '[';
        }
    }
    if (item == '\\') {
        /* A lone backslash at the end escapes nothing and matches nothing, as in fnmatch. */
        if (p.at == p.end)
            return false;
        item = *p.at++;
    }
    return item == c;
}

} // namespace

int kelvoFnMatch(const char *pattern, size_t patternLength, const char *key, size_t keyLength)
{
    Span p{reinterpret_cast<const unsigned char *>(pattern),
           reinterpret_cast<const unsigned char *>(pattern) + patternLength};
    Span k{reinterpret_cast<const unsigned char *>(key), reinterpret_cast<const unsigned char *>(key) + keyLength};
    /* Where to resume after the last "*": the pattern after it, and the key byte it takes next. */
    const unsigned char *starP = nullptr, *starK = nullptr;
    while (k.at < k.end) {
        if (p.at < p.end && *p.at == '*') {
            while (p.at < p.end && *p.at == '*')
                p.at++;
            starP = p.at;
            starK = k.at;
            continue;
        }
        if (p.at < p.end) {
            Span item = p;
            if (single(item, *k.at)) {
                p = item;
                k.at++;
                continue;
            }
        }
        if (!starP)
            return 1;
        p.at = starP;
        k.at = ++starK;
    }
    while (p.at < p.end && *p.at == '*')
        p.at++;
    return p.at == p.end ? 0 : 1;
}
