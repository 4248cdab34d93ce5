/*
 * The RESP3 reader. Two passes per top-level reply: a resumable scan that
 * validates the bytes and finds where the reply ends (keeping only offsets
 * and a stack of remaining counts, so any byte split is accepted and a size
 * header allocates nothing), then a build pass over the complete, validated
 * bytes that calls the object functions. Attributes are validated and
 * skipped: they never take the place of the reply they precede.
 */
#include "resp3/resp3.h"

#include <charconv>
#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <strings.h>

namespace {

constexpr size_t kMaxDoubleText = 325;

enum class Scan { Frame, More, Error };

void readerError(redisReader *r, int code, const char *format, ...) __attribute__((format(printf, 3, 4)));

void readerError(redisReader *r, int code, const char *format, ...)
{
    va_list ap;
    va_start(ap, format);
    vsnprintf(r->errstr, sizeof r->errstr, format, ap);
    va_end(ap);
    r->err = code;
}

void protocolError(redisReader *r, const char *text) { readerError(r, REDIS_ERR_PROTOCOL, "%s", text); }

void frameReset(redisReader *r, size_t at)
{
    r->frame.spos = at;
    r->frame.lscan = at;
    r->frame.depth = 0;
}

/* Signed 64-bit decimal: optional '-', no '+', no leading zeros, no empty text. */
bool parseInteger(const char *p, size_t n, long long *out)
{
    bool neg = n > 0 && p[0] == '-';
    const char *d = p + neg;
    size_t digits = n - neg;
    if (digits == 0 || (d[0] == '0' && digits > 1))
        return false;
    unsigned long long v = 0;
    const unsigned long long limit = neg ? 9223372036854775808ULL : 9223372036854775807ULL;
    for (size_t i = 0; i < digits; i++) {
        unsigned c = (unsigned char)d[i] - '0';
        if (c > 9 || v > (limit - c) / 10)
            return false;
        v = v * 10 + c;
    }
    *out = neg ? (long long)(0 - v) : (long long)v;
    return true;
}

bool parseBignum(const char *p, size_t n)
{
    size_t i = n > 0 && p[0] == '-';
    if (i == n)
        return false;
    for (; i < n; i++)
        if ((unsigned char)p[i] - '0' > 9)
            return false;
    return true;
}

bool equalsNoCase(const char *p, size_t n, const char *word)
{
    return strlen(word) == n && strncasecmp(p, word, n) == 0;
}

/* A RESP3 double, independent of the process locale: from_chars never looks at it. */
bool parseDouble(const char *p, size_t n, double *out)
{
    if (n == 0 || n > kMaxDoubleText)
        return false;
    if (equalsNoCase(p, n, "inf") || equalsNoCase(p, n, "-inf")) {
        *out = p[0] == '-' ? -HUGE_VAL : HUGE_VAL;
        return true;
    }
    if (equalsNoCase(p, n, "nan") || equalsNoCase(p, n, "-nan")) {
        *out = p[0] == '-' ? -NAN : NAN;
        return true;
    }
    const char *s = p, *e = p + n;
    if (*s == '-')
        s++;
    /* from_chars also takes "infinity" and "nan(...)": insist on a number here. */
    if (s == e || ((unsigned char)*s - '0' > 9 && *s != '.'))
        return false;
    double v = 0;
    auto [end, ec] = std::from_chars(p, e, v, std::chars_format::general);
    if (end != e)
        return false;
    if (ec == std::errc::result_out_of_range) {
        const char *exp = static_cast<const char *>(memchr(p, 'e', n));
        if (!exp)
            exp = static_cast<const char *>(memchr(p, 'E', n));
        bool tiny = exp && exp + 1 < e && exp[1] == '-';
        v = tiny ? 0.0 : HUGE_VAL;
        if (p[0] == '-')
            v = -v;
    } else if (ec != std::errc()) {
        return false;
    }
    *out = v;
    return true;
}

/* The common case of a number line: plain digits (at most 18, so no
 * overflow) and CRLF, all buffered. Anything else returns false and takes
 * the general path, which also reports the errors. */
bool quickNumber(const char *buf, size_t off, size_t len, long long *value, size_t *next)
{
    size_t i = off + 1;
    bool neg = i < len && buf[i] == '-';
    i += neg;
    size_t start = i;
    unsigned long long v = 0;
    for (unsigned d; i < len && i - start < 18 && (d = (unsigned char)buf[i] - '0') <= 9; i++)
        v = v * 10 + d;
    if (i == start || i + 1 >= len || buf[i] != '\r' || buf[i + 1] != '\n' || (buf[start] == '0' && i - start > 1))
        return false;
    *value = neg ? -(long long)v : (long long)v;
    *next = i + 2;
    return true;
}

bool numberByte(char t)
{
    return t == '$' || t == '=' || t == ':' || t == '*' || t == '%' || t == '~' || t == '>' || t == '|';
}

/* Finds the CRLF ending the line of the item at `off` (after its type byte).
 * 1: found, [*line, *line + *n) is the content and *next follows the CRLF;
 * 0: more bytes needed; -1: protocol error set (a bare CR or LF). */
int scanLine(redisReader *r, size_t off, const char **line, size_t *n, size_t *next)
{
    const char *buf = r->buf;
    size_t from = r->frame.lscan > off + 1 ? r->frame.lscan : off + 1;
    const char *cr = from < r->len ? static_cast<const char *>(memchr(buf + from, '\r', r->len - from)) : nullptr;
    size_t stop = cr ? size_t(cr - buf) : r->len;
    if (stop > from && memchr(buf + from, '\n', stop - from)) {
        protocolError(r, "Protocol error, bare LF in a line");
        return -1;
    }
    if (!cr || stop + 1 == r->len) {
        r->frame.lscan = stop;
        return 0;
    }
    if (buf[stop + 1] != '\n') {
        protocolError(r, "Protocol error, bare CR in a line");
        return -1;
    }
    *line = buf + off + 1;
    *n = stop - off - 1;
    *next = stop + 2;
    return 1;
}

bool isAggregateByte(char t) { return t == '*' || t == '%' || t == '~' || t == '>' || t == '|'; }
bool pairsByte(char t) { return t == '%' || t == '|'; }

/* Validates one simple item's line content. */
bool simpleValid(redisReader *r, char t, const char *line, size_t n)
{
    double d;
    switch (t) {
    case '+':
    case '-':
        return true;
    case '(':
        if (parseBignum(line, n))
            return true;
        protocolError(r, "Bad bignum value");
        return false;
    case ',':
        if (parseDouble(line, n, &d))
            return true;
        protocolError(r, "Bad double value");
        return false;
    case '_':
        if (n == 0)
            return true;
        protocolError(r, "Bad nil value");
        return false;
    case '#':
        if (n == 1 && (line[0] == 't' || line[0] == 'f'))
            return true;
        protocolError(r, "Bad bool value");
        return false;
    }
    readerError(r, REDIS_ERR_PROTOCOL, "Protocol error, got \"%c\" as reply type byte", t);
    return false;
}

/* Marks one value complete at the current level and closes the levels it
 * completes. True when the top-level reply is complete. An attribute is no
 * value: closing one leaves its parent's count alone. */
bool completeValue(redisReaderFrame *f, bool attribute)
{
    while (!attribute) {
        if (f->depth == 0)
            return true;
        if (--f->remaining[f->depth - 1] > 0)
            return false;
        f->depth--;
        attribute = f->attr[f->depth];
    }
    return false;
}

Scan tooLarge(redisReader *r)
{
    protocolError(r, "Protocol error, reply too large");
    return Scan::Error;
}

/* A bulk or verbatim string whose header line ends at `next`: Frame stands
 * for "item complete", with *end just after its payload's CRLF. */
Scan scanBulk(redisReader *r, char t, bool valid, long long len, size_t next, size_t *end)
{
    if (!valid || len < -1 || (len == -1 && t == '=')) {
        protocolError(r, "Bad bulk string length");
        return Scan::Error;
    }
    if (len == -1)
        return Scan::Frame;
    if ((unsigned long long)len > r->maxframe || next + size_t(len) + 2 - r->pos > r->maxframe)
        return tooLarge(r);
    *end = next + size_t(len) + 2;
    if (*end > r->len)
        return Scan::More;
    if (r->buf[*end - 2] != '\r' || r->buf[*end - 1] != '\n') {
        protocolError(r, "Protocol error, bulk string not ended by CRLF");
        return Scan::Error;
    }
    if (t == '=' && (len < 4 || r->buf[next + 3] != ':')) {
        protocolError(r, "Bad verbatim string value");
        return Scan::Error;
    }
    return Scan::Frame;
}

/* An aggregate header: opens a level when it has children (*opened). */
bool scanAggregate(redisReader *r, char t, bool valid, long long count, bool *opened)
{
    if (!valid || count < -1 || (count == -1 && t == '|') || count > r->maxelements) {
        protocolError(r, "Bad multi-bulk length");
        return false;
    }
    if (count <= 0)
        return true;
    /* Each value takes at least three bytes. */
    if ((unsigned long long)count > r->maxframe / (pairsByte(t) ? 6 : 3)) {
        tooLarge(r);
        return false;
    }
    redisReaderFrame *f = &r->frame;
    if (f->depth == REDIS_READER_MAX_DEPTH) {
        protocolError(r, "Protocol error, reply nested too deeply");
        return false;
    }
    f->remaining[f->depth] = pairsByte(t) ? count * 2 : count;
    f->attr[f->depth] = t == '|';
    f->depth++;
    *opened = true;
    return true;
}

/* Scans on from where the last call stopped until the top-level reply is
 * complete (Frame), the buffer runs out (More) or the input is bad. */
Scan scanMore(redisReader *r)
{
    redisReaderFrame *f = &r->frame;
    for (;;) {
        size_t off = f->spos;
        if (off >= r->len)
            return Scan::More;
        char t = r->buf[off];
        long long number = 0;
        bool valid = true;
        size_t next;
        if (!numberByte(t) || !quickNumber(r->buf, off, r->len, &number, &next)) {
            const char *line;
            size_t n;
            int found = scanLine(r, off, &line, &n, &next);
            if (found < 0)
                return Scan::Error;
            if (found == 0)
                return r->len - r->pos <= r->maxframe ? Scan::More : tooLarge(r);
            valid = numberByte(t) ? parseInteger(line, n, &number) : simpleValid(r, t, line, n);
            if (!valid && !numberByte(t))
                return Scan::Error;
        }
        size_t end = next;
        bool opened = false;
        if (t == '$' || t == '=') {
            Scan s = scanBulk(r, t, valid, number, next, &end);
            if (s != Scan::Frame)
                return s;
        } else if (t == ':') {
            if (!valid) {
                protocolError(r, "Bad integer value");
                return Scan::Error;
            }
        } else if (isAggregateByte(t) && !scanAggregate(r, t, valid, number, &opened)) {
            return Scan::Error;
        }
        f->spos = end; /* lscan may stay behind: scanLine never looks before an item's start */
        if (end - r->pos > r->maxframe)
            return tooLarge(r);
        if (!opened && completeValue(f, t == '|'))
            return Scan::Frame;
    }
}

/* The build pass walks bytes the scan already validated. */
struct Cursor {
    const char *p;
    const char *end;
    char type;
    const char *line;
    size_t n;
    long long value; /* of a number line */

    void next()
    {
        type = *p;
        line = p + 1;
        if (numberByte(type)) {
            const char *d = line + (*line == '-');
            unsigned long long v = 0;
            for (; *d != '\r'; d++)
                v = v * 10 + unsigned((unsigned char)*d - '0');
            value = *line == '-' ? (long long)(0 - v) : (long long)v;
            n = size_t(d - line);
            p = d + 2;
            return;
        }
        const char *cr = static_cast<const char *>(memchr(line, '\r', size_t(end - line)));
        n = size_t(cr - line);
        p = cr + 2;
    }
};

/* Skips `values` complete values (attributes inside counting as none). */
void skipValues(Cursor *c, long long values)
{
    while (values > 0) {
        c->next();
        values--;
        char t = c->type;
        if (t == '$' || t == '=') {
            long long len = c->value;
            if (len > 0)
                c->p += len;
            if (len >= 0)
                c->p += 2;
        } else if (isAggregateByte(t)) {
            long long count = c->value;
            if (count > 0)
                values += pairsByte(t) ? count * 2 : count;
            if (t == '|')
                values++;
        }
    }
}

int aggregateType(char t)
{
    switch (t) {
    case '*':
        return REDIS_REPLY_ARRAY;
    case '%':
        return REDIS_REPLY_MAP;
    case '~':
        return REDIS_REPLY_SET;
    default:
        return REDIS_REPLY_PUSH;
    }
}

int simpleType(char t)
{
    switch (t) {
    case '+':
        return REDIS_REPLY_STATUS;
    case '-':
        return REDIS_REPLY_ERROR;
    case '(':
        return REDIS_REPLY_BIGNUM;
    case ':':
        return REDIS_REPLY_INTEGER;
    case ',':
        return REDIS_REPLY_DOUBLE;
    case '#':
        return REDIS_REPLY_BOOL;
    default:
        return REDIS_REPLY_NIL;
    }
}

/* Creates the object of the item under the cursor. *open is set for an
 * aggregate with children, whose children follow. */
void *createItem(redisReader *r, Cursor *c, redisReadTask *task, bool *open)
{
    const redisReplyObjectFunctions *fn = r->fn;
    char t = c->type;
    *open = false;
    if (t == '$' || t == '=') {
        long long len = c->value;
        if (len < 0) {
            task->type = REDIS_REPLY_NIL;
            return fn->createNil(task);
        }
        task->type = t == '$' ? REDIS_REPLY_STRING : REDIS_REPLY_VERB;
        const char *payload = c->p;
        c->p += len + 2;
        return fn->createString(task, payload, size_t(len));
    }
    if (isAggregateByte(t)) {
        long long count = c->value;
        if (count < 0) {
            task->type = REDIS_REPLY_NIL;
            return fn->createNil(task);
        }
        task->type = aggregateType(t);
        task->elements = t == '%' ? count * 2 : count;
        *open = count > 0;
        return fn->createArray(task, size_t(task->elements));
    }
    task->type = simpleType(t);
    switch (t) {
    case ':':
        return fn->createInteger(task, c->value);
    case ',': {
        double d = 0;
        parseDouble(c->line, c->n, &d);
        return fn->createDouble(task, d, c->line, c->n);
    }
    case '#':
        return fn->createBool(task, c->line[0] == 't');
    case '_':
        return fn->createNil(task);
    default:
        return fn->createString(task, c->line, c->n);
    }
}

/* Builds the complete reply in [r->pos, end). */
int buildReply(redisReader *r, size_t end, void **reply)
{
    redisReadTask tasks[REDIS_READER_MAX_DEPTH + 1];
    long long next[REDIS_READER_MAX_DEPTH + 1];
    Cursor c{r->buf + r->pos, r->buf + end, 0, nullptr, 0, 0};
    int depth = -1; /* innermost open aggregate */
    for (;;) {
        c.next();
        if (c.type == '|') {
            skipValues(&c, c.value * 2);
            continue;
        }
        int level = depth + 1;
        redisReadTask *task = &tasks[level];
        task->elements = 0;
        task->idx = depth < 0 ? -1 : int(next[depth]);
        task->obj = nullptr;
        task->parent = depth < 0 ? nullptr : &tasks[depth];
        task->privdata = r->privdata;
        bool open;
        void *obj = createItem(r, &c, task, &open);
        if (!obj) {
            if (depth >= 0)
                r->fn->freeObject(tasks[0].obj);
            readerError(r, REDIS_ERR_OOM, "Out of memory");
            return REDIS_ERR;
        }
        if (level == 0)
            r->replyType = task->type;
        if (open) {
            task->obj = obj;
            next[level] = 0;
            depth = level;
            continue;
        }
        if (level == 0) {
            *reply = obj;
            return REDIS_OK;
        }
        while (++next[depth] == tasks[depth].elements) {
            if (depth == 0) {
                *reply = tasks[0].obj;
                return REDIS_OK;
            }
            depth--;
        }
    }
}

} // namespace

redisReader *redisReaderCreateWithFunctions(const redisReplyObjectFunctions *fn)
{
    redisReader *r = static_cast<redisReader *>(calloc(1, sizeof(redisReader)));
    if (!r)
        return nullptr;
    r->maxbuf = REDIS_READER_MAX_BUF;
    r->maxelements = REDIS_READER_MAX_ARRAY_ELEMENTS;
    r->maxframe = REDIS_READER_MAX_FRAME;
    r->fn = fn ? fn : &redisReplyDefaultFunctions;
    return r;
}

redisReader *redisReaderCreate(void) { return redisReaderCreateWithFunctions(nullptr); }

void redisReaderFree(redisReader *r)
{
    if (!r)
        return;
    free(r->buf);
    free(r);
}

namespace {

/* Moves the unread bytes to the front of the buffer. */
void compact(redisReader *r)
{
    size_t shift = r->pos;
    memmove(r->buf, r->buf + shift, r->len - shift);
    r->len -= shift;
    r->pos = 0;
    r->frame.spos -= shift;
    r->frame.lscan -= shift;
}

bool reserve(redisReader *r, size_t need)
{
    if (r->cap - r->len >= need)
        return true;
    if (r->pos > 0 && r->pos >= r->len - r->pos)
        compact(r);
    if (r->cap - r->len >= need)
        return true;
    size_t want = r->len + need;
    if (want < r->len)
        return false;
    size_t cap = r->cap ? r->cap : 4096;
    while (cap < want)
        cap = cap * 2 > cap ? cap * 2 : want;
    char *buf = static_cast<char *>(realloc(r->buf, cap));
    if (!buf)
        return false;
    r->buf = buf;
    r->cap = cap;
    return true;
}

} // namespace

int redisReaderFeed(redisReader *r, const char *buf, size_t len)
{
    if (r->err)
        return REDIS_ERR;
    if (!buf || len == 0)
        return REDIS_OK;
    if (r->pos == r->len) {
        r->pos = r->len = 0;
        frameReset(r, 0);
        if (r->maxbuf && r->cap > r->maxbuf) {
            free(r->buf);
            r->buf = nullptr;
            r->cap = 0;
        }
    }
    if (!reserve(r, len)) {
        readerError(r, REDIS_ERR_OOM, "Out of memory");
        return REDIS_ERR;
    }
    memcpy(r->buf + r->len, buf, len);
    r->len += len;
    return REDIS_OK;
}

int redisReaderGetReply(redisReader *r, void **reply)
{
    if (reply)
        *reply = nullptr;
    if (r->err)
        return REDIS_ERR;
    if (r->pos == r->len)
        return REDIS_OK;
    switch (scanMore(r)) {
    case Scan::More:
        return REDIS_OK;
    case Scan::Error:
        return REDIS_ERR;
    case Scan::Frame:
        break;
    }
    size_t end = r->frame.spos;
    void *obj = nullptr;
    if (buildReply(r, end, &obj) != REDIS_OK)
        return REDIS_ERR;
    r->pos = end;
    if (r->pos == r->len)
        r->pos = r->len = 0;
    frameReset(r, r->pos);
    if (reply)
        *reply = obj;
    else
        r->fn->freeObject(obj);
    return REDIS_OK;
}
