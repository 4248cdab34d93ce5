/*
 * Connection contexts over TCP and Unix sockets: connect with one deadline,
 * timeouts, keep-alive, reconnect in place, the output buffer, the request
 * formatter and the blocking reply loop with push dispatch.
 */
#include "resp3/resp3.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

void netClose(redisContext *c)
{
    if (c->fd >= 0)
        close(c->fd);
    c->fd = -1;
}

} // namespace

redisContextFuncs redisContextDefaultFuncs = {netClose, nullptr, redisNetRead, redisNetWrite};

void redisSetError(redisContext *c, int type, const char *text)
{
    char buf[128];
    if (!text) {
        /* GNU strerror_r: returns the text, not necessarily in buf. */
        text = strerror_r(c->saved_errno, buf, sizeof buf);
    }
    c->err = type;
    snprintf(c->errstr, sizeof c->errstr, "%s", text);
}

namespace {

/* Records errno of a failed call and sets REDIS_ERR_IO with its text. */
void ioError(redisContext *c, int error)
{
    c->saved_errno = error;
    redisSetError(c, REDIS_ERR_IO, nullptr);
}

void copyReaderError(redisContext *c) { redisSetError(c, c->reader->err, c->reader->errstr); }

bool isZero(const timeval *tv) { return !tv || (tv->tv_sec == 0 && tv->tv_usec == 0); }

/* Replaces a stored timeout by a copy of `tv` (none when NULL or {0, 0}). */
bool storeTimeout(timeval **slot, const timeval *tv)
{
    if (isZero(tv)) {
        free(*slot);
        *slot = nullptr;
        return true;
    }
    if (!*slot) {
        *slot = static_cast<timeval *>(malloc(sizeof(timeval)));
        if (!*slot)
            return false;
    }
    **slot = *tv;
    return true;
}

int64_t monotonicMs()
{
    timespec ts;
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return int64_t(ts.tv_sec) * 1000 + ts.tv_nsec / 1000000;
}

/* -1 for "no deadline". */
int64_t deadlineOf(const timeval *timeout)
{
    if (isZero(timeout))
        return -1;
    int64_t ms = int64_t(timeout->tv_sec) * 1000 + (timeout->tv_usec + 999) / 1000;
    return monotonicMs() + ms;
}

/* Waits until a non-blocking connect finished, then reports its outcome.
 * 0: connected. -1: error set; *stop tells that no other address should be
 * tried (the deadline passed or a signal interrupted the wait). */
int waitConnected(redisContext *c, int fd, int64_t deadline, bool *stop)
{
    pollfd p{fd, POLLOUT, 0};
    int wait = -1;
    if (deadline >= 0) {
        int64_t left = deadline - monotonicMs();
        wait = left <= 0 ? 0 : left > INT_MAX ? INT_MAX : int(left);
    }
    int rc = poll(&p, 1, wait);
    if (rc == 0) {
        *stop = true;
        c->saved_errno = ETIMEDOUT;
        redisSetError(c, REDIS_ERR_IO, "Connection timed out");
        return -1;
    }
    if (rc < 0) {
        *stop = true;
        c->saved_errno = errno;
        redisSetError(c, REDIS_ERR_IO, errno == EINTR ? "poll(2): Interrupted system call" : nullptr);
        return -1;
    }
    int soerr = 0;
    socklen_t len = sizeof soerr;
    if (getsockopt(fd, SOL_SOCKET, SO_ERROR, &soerr, &len) < 0)
        soerr = errno;
    if (soerr) {
        ioError(c, soerr);
        return -1;
    }
    return 0;
}

/* One connect attempt on a fresh non-blocking socket; the socket stays
 * non-blocking on success. */
int connectOne(redisContext *c, int family, int protocol, const sockaddr *addr, socklen_t addrlen, int64_t deadline,
               bool *stop)
{
    int fd = socket(family, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, protocol);
    if (fd < 0) {
        ioError(c, errno);
        return -1;
    }
    /* Only EINPROGRESS means "under way": a Unix socket's EAGAIN (full
     * backlog) started nothing, so it fails here. */
    if (connect(fd, addr, addrlen) == 0 || (errno == EINPROGRESS && waitConnected(c, fd, deadline, stop) == 0)) {
        c->fd = fd;
        return 0;
    }
    if (!c->err)
        ioError(c, errno);
    int saved = c->saved_errno;
    close(fd);
    c->saved_errno = saved;
    return -1;
}

int connectTcp(redisContext *c, int64_t deadline)
{
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    char port[16];
    snprintf(port, sizeof port, "%d", c->tcp.port);
    addrinfo *list = nullptr;
    int rc = getaddrinfo(c->tcp.host, port, &hints, &list);
    if (rc != 0) {
        if (rc == EAI_SYSTEM) {
            ioError(c, errno);
        } else {
            redisSetError(c, REDIS_ERR_OTHER, gai_strerror(rc));
        }
        return -1;
    }
    bool stop = false;
    int result = -1;
    for (addrinfo *ai = list; ai && !stop; ai = ai->ai_next) {
        c->err = 0;
        if (connectOne(c, ai->ai_family, ai->ai_protocol, ai->ai_addr, ai->ai_addrlen, deadline, &stop) == 0) {
            result = 0;
            break;
        }
    }
    freeaddrinfo(list);
    if (result < 0 && !c->err)
        redisSetError(c, REDIS_ERR_OTHER, "Can't create socket: no address to connect to");
    return result;
}

int connectUnix(redisContext *c, int64_t deadline)
{
    sockaddr_un sa{};
    size_t len = strlen(c->unix_sock.path);
    if (len >= sizeof sa.sun_path) {
        redisSetError(c, REDIS_ERR_OTHER, "Unix socket path too long");
        return -1;
    }
    sa.sun_family = AF_UNIX;
    memcpy(sa.sun_path, c->unix_sock.path, len + 1);
    bool stop = false;
    return connectOne(c, AF_UNIX, 0, reinterpret_cast<sockaddr *>(&sa), sizeof sa, deadline, &stop);
}

int setBlocking(redisContext *c)
{
    int fl = fcntl(c->fd, F_GETFL);
    if (fl < 0 || fcntl(c->fd, F_SETFL, fl & ~O_NONBLOCK) < 0) {
        ioError(c, errno);
        return -1;
    }
    return 0;
}

int applyTimeout(redisContext *c, const timeval *tv)
{
    timeval t = tv ? *tv : timeval{0, 0};
    if (setsockopt(c->fd, SOL_SOCKET, SO_RCVTIMEO, &t, sizeof t) < 0 ||
        setsockopt(c->fd, SOL_SOCKET, SO_SNDTIMEO, &t, sizeof t) < 0) {
        ioError(c, errno);
        return -1;
    }
    return 0;
}

/* Connects the context to its stored address and readies the socket. */
int connectStored(redisContext *c)
{
    int64_t deadline = deadlineOf(c->connect_timeout);
    int rc = c->connection_type == REDIS_CONN_UNIX ? connectUnix(c, deadline) : connectTcp(c, deadline);
    if (rc == 0)
        rc = setBlocking(c);
    if (rc == 0 && c->connection_type == REDIS_CONN_TCP) {
        int one = 1;
        if (setsockopt(c->fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one) < 0) {
            ioError(c, errno);
            rc = -1;
        }
    }
    if (rc == 0 && c->command_timeout)
        rc = applyTimeout(c, c->command_timeout);
    if (rc < 0) {
        netClose(c);
        errno = c->saved_errno;
        return REDIS_ERR;
    }
    c->flags |= REDIS_BLOCK;
    return REDIS_OK;
}

char *dupText(const char *text) { return text ? strdup(text) : strdup(""); }

} // namespace

redisContext *redisConnectWithOptions(const redisOptions *options)
{
    redisContext *c = static_cast<redisContext *>(calloc(1, sizeof(redisContext)));
    if (!c)
        return nullptr;
    c->fd = -1;
    c->funcs = &redisContextDefaultFuncs;
    c->connection_type = options->type;
    c->reader = redisReaderCreate();
    bool ok = c->reader && storeTimeout(&c->connect_timeout, options->connect_timeout) &&
              storeTimeout(&c->command_timeout, options->command_timeout);
    if (options->type == REDIS_CONN_UNIX) {
        ok = ok && (c->unix_sock.path = dupText(options->endpoint.unix_socket)) != nullptr;
    } else {
        c->tcp.port = options->endpoint.tcp.port;
        ok = ok && (c->tcp.host = dupText(options->endpoint.tcp.ip)) != nullptr;
    }
    if (!ok) {
        redisFree(c);
        return nullptr;
    }
    if (options->type != REDIS_CONN_TCP && options->type != REDIS_CONN_UNIX) {
        redisSetError(c, REDIS_ERR_OTHER, "Invalid connection type");
        return c;
    }
    connectStored(c);
    return c;
}

int redisReconnect(redisContext *c)
{
    c->err = 0;
    c->errstr[0] = '\0';
    c->funcs->close(c);
    if (c->privctx) {
        c->funcs->free_privctx(c->privctx);
        c->privctx = nullptr;
    }
    c->funcs = &redisContextDefaultFuncs;
    c->obuf.pos = c->obuf.len = 0;
    redisReaderFree(c->reader);
    c->reader = redisReaderCreate();
    if (!c->reader) {
        redisSetError(c, REDIS_ERR_OOM, "Out of memory");
        return REDIS_ERR;
    }
    c->flags &= ~REDIS_BLOCK;
    return connectStored(c);
}

void redisFree(redisContext *c)
{
    if (!c)
        return;
    c->funcs->close(c);
    if (c->privctx)
        c->funcs->free_privctx(c->privctx);
    redisReaderFree(c->reader);
    free(c->obuf.data);
    free(c->tcp.host);
    free(c->unix_sock.path);
    free(c->connect_timeout);
    free(c->command_timeout);
    free(c);
}

int redisSetTimeout(redisContext *c, struct timeval tv)
{
    if (applyTimeout(c, &tv) < 0)
        return REDIS_ERR;
    if (!storeTimeout(&c->command_timeout, &tv)) {
        redisSetError(c, REDIS_ERR_OOM, "Out of memory");
        return REDIS_ERR;
    }
    return REDIS_OK;
}

int redisEnableKeepAlive(redisContext *c)
{
    constexpr int kOptions[][3] = {
        {SOL_SOCKET, SO_KEEPALIVE, 1},
        {IPPROTO_TCP, TCP_KEEPIDLE, 15},
        {IPPROTO_TCP, TCP_KEEPINTVL, 5},
        {IPPROTO_TCP, TCP_KEEPCNT, 3},
    };
    for (const auto &o : kOptions) {
        int value = o[2];
        if (setsockopt(c->fd, o[0], o[1], &value, sizeof value) < 0) {
            c->saved_errno = errno;
            return REDIS_ERR;
        }
    }
    return REDIS_OK;
}

redisPushFn *redisSetPushCallback(redisContext *c, redisPushFn *fn)
{
    redisPushFn *old = c->push_cb;
    c->push_cb = fn;
    return old;
}

/* --- socket functions ---------------------------------------------------- */

ssize_t redisNetRead(redisContext *c, char *buf, size_t cap)
{
    ssize_t n = recv(c->fd, buf, cap, 0);
    if (n > 0)
        return n;
    if (n == 0) {
        redisSetError(c, REDIS_ERR_EOF, "Server closed the connection");
        return -1;
    }
    int e = errno;
    if (e == EINTR || ((e == EAGAIN || e == EWOULDBLOCK) && !(c->flags & REDIS_BLOCK)))
        return 0;
    c->saved_errno = e;
    redisSetError(c, REDIS_ERR_IO, e == EAGAIN || e == EWOULDBLOCK ? "Resource temporarily unavailable" : nullptr);
    return -1;
}

ssize_t redisNetWrite(redisContext *c)
{
    ssize_t n = send(c->fd, c->obuf.data + c->obuf.pos, c->obuf.len - c->obuf.pos, MSG_NOSIGNAL);
    if (n >= 0)
        return n;
    int e = errno;
    if (e == EINTR || ((e == EAGAIN || e == EWOULDBLOCK) && !(c->flags & REDIS_BLOCK)))
        return 0;
    ioError(c, e);
    return -1;
}

/* --- output ----------------------------------------------------------------- */

namespace {

/* A growable malloc'd byte buffer; false when out of memory. */
struct Bytes {
    char *data = nullptr;
    size_t len = 0;
    size_t cap = 0;

    bool reserve(size_t more)
    {
        if (cap - len >= more)
            return true;
        size_t want = len + more;
        if (want < len)
            return false;
        size_t next = cap ? cap : 64;
        while (next < want)
            next = next * 2 > next ? next * 2 : want;
        char *p = static_cast<char *>(realloc(data, next));
        if (!p)
            return false;
        data = p;
        cap = next;
        return true;
    }
    bool append(const void *p, size_t n)
    {
        if (!reserve(n))
            return false;
        if (n)
            memcpy(data + len, p, n);
        len += n;
        return true;
    }
    bool appendf(const char *format, unsigned long long v, bool neg)
    {
        char tmp[32];
        int n = snprintf(tmp, sizeof tmp, format, neg ? "-" : "", v);
        return append(tmp, size_t(n));
    }
};

bool outputReserve(redisOutputBuffer *o, size_t more)
{
    if (o->pos == o->len)
        o->pos = o->len = 0;
    if (o->cap - o->len >= more)
        return true;
    if (o->pos > 0) {
        memmove(o->data, o->data + o->pos, o->len - o->pos);
        o->len -= o->pos;
        o->pos = 0;
    }
    Bytes b{o->data, o->len, o->cap};
    if (!b.reserve(more))
        return false;
    o->data = b.data;
    o->cap = b.cap;
    return true;
}

int outOfMemory(redisContext *c)
{
    redisSetError(c, REDIS_ERR_OOM, "Out of memory");
    return REDIS_ERR;
}

/* The words of a command format, expanded; lengths kept beside the bytes. */
struct Words {
    Bytes bytes;
    Bytes lengths; /* size_t per word */
    size_t count = 0;

    bool end(size_t start)
    {
        size_t n = bytes.len - start;
        count++;
        return lengths.append(&n, sizeof n);
    }
    ~Words()
    {
        free(bytes.data);
        free(lengths.data);
    }
};

/* -1: invalid format, -2: out of memory. */
int expandFormat(Words *w, const char *f, va_list ap)
{
    size_t start = 0;
    bool open = false;
    for (; *f; f++) {
        if (*f == ' ') {
            if (open && !w->end(start))
                return -2;
            open = false;
            start = w->bytes.len;
            continue;
        }
        open = true;
        if (*f != '%') {
            if (!w->bytes.append(f, 1))
                return -2;
            continue;
        }
        bool ok;
        switch (*++f) {
        case 's': {
            const char *s = va_arg(ap, const char *);
            ok = w->bytes.append(s ? s : "", s ? strlen(s) : 0);
            break;
        }
        case 'd': {
            int v = va_arg(ap, int);
            ok = w->bytes.appendf("%s%llu", v < 0 ? 0ULL - (unsigned long long)(long long)v : (unsigned long long)v,
                                  v < 0);
            break;
        }
        case 'u':
            ok = w->bytes.appendf("%s%llu", va_arg(ap, unsigned), false);
            break;
        case '%':
            ok = w->bytes.append("%", 1);
            break;
        default:
            return -1;
        }
        if (!ok)
            return -2;
    }
    if (open && !w->end(start))
        return -2;
    return w->count ? 0 : -1;
}

} // namespace

int redisAppendFormattedCommand(redisContext *c, const char *cmd, size_t len)
{
    if (!outputReserve(&c->obuf, len))
        return outOfMemory(c);
    memcpy(c->obuf.data + c->obuf.len, cmd, len);
    c->obuf.len += len;
    return REDIS_OK;
}

int redisvAppendCommand(redisContext *c, const char *format, va_list ap)
{
    Words w;
    va_list copy;
    va_copy(copy, ap);
    int rc = expandFormat(&w, format, copy);
    va_end(copy);
    if (rc == -1) {
        redisSetError(c, REDIS_ERR_OTHER, "Invalid format string");
        return REDIS_ERR;
    }
    if (rc == -2)
        return outOfMemory(c);
    Bytes out;
    bool ok = out.appendf("*%s%llu\r\n", w.count, false);
    const size_t *lengths = reinterpret_cast<const size_t *>(w.lengths.data);
    for (size_t i = 0, at = 0; ok && i < w.count; at += lengths[i++]) {
        ok = out.appendf("$%s%llu\r\n", lengths[i], false) && out.append(w.bytes.data + at, lengths[i]) &&
             out.append("\r\n", 2);
    }
    rc = ok ? redisAppendFormattedCommand(c, out.data, out.len) : outOfMemory(c);
    free(out.data);
    return rc;
}

int redisAppendCommand(redisContext *c, const char *format, ...)
{
    va_list ap;
    va_start(ap, format);
    int rc = redisvAppendCommand(c, format, ap);
    va_end(ap);
    return rc;
}

void *redisCommand(redisContext *c, const char *format, ...)
{
    va_list ap;
    va_start(ap, format);
    int rc = redisvAppendCommand(c, format, ap);
    va_end(ap);
    void *reply = nullptr;
    if (rc != REDIS_OK || redisGetReply(c, &reply) != REDIS_OK)
        return nullptr;
    return reply;
}

int redisBufferWrite(redisContext *c, int *done)
{
    if (c->err)
        return REDIS_ERR;
    redisOutputBuffer *o = &c->obuf;
    if (o->pos < o->len) {
        ssize_t n = c->funcs->write(c);
        if (n < 0)
            return REDIS_ERR;
        o->pos += size_t(n);
        if (o->pos == o->len)
            o->pos = o->len = 0;
    }
    if (done)
        *done = o->pos == o->len;
    return REDIS_OK;
}

int redisBufferWriteAll(redisContext *c)
{
    for (;;) {
        int done = 0;
        if (redisBufferWrite(c, &done) != REDIS_OK)
            return REDIS_ERR;
        if (done)
            return REDIS_OK;
        if (!(c->flags & REDIS_BLOCK)) {
            pollfd p{c->fd, POLLOUT, 0};
            poll(&p, 1, -1);
        }
    }
}

int redisBufferRead(redisContext *c)
{
    if (c->err)
        return REDIS_ERR;
    char buf[REDIS_READ_CHUNK];
    ssize_t n = c->funcs->read(c, buf, sizeof buf);
    if (n < 0)
        return REDIS_ERR;
    if (n > 0 && redisReaderFeed(c->reader, buf, size_t(n)) != REDIS_OK) {
        copyReaderError(c);
        return REDIS_ERR;
    }
    return REDIS_OK;
}

int redisGetReplyFromReader(redisContext *c, void **reply)
{
    if (redisReaderGetReply(c->reader, reply) != REDIS_OK) {
        copyReaderError(c);
        return REDIS_ERR;
    }
    return REDIS_OK;
}

namespace {

/* The next buffered reply that is not a push taken by the push callback. */
int nextReply(redisContext *c, void **reply)
{
    for (;;) {
        if (redisGetReplyFromReader(c, reply) != REDIS_OK)
            return REDIS_ERR;
        if (!*reply || c->reader->replyType != REDIS_REPLY_PUSH || !c->push_cb)
            return REDIS_OK;
        c->push_cb(c->privdata, *reply);
        *reply = nullptr;
    }
}

} // namespace

int redisGetReply(redisContext *c, void **reply)
{
    void *r = nullptr;
    if (nextReply(c, &r) != REDIS_OK)
        return REDIS_ERR;
    if (!r) {
        if (redisBufferWriteAll(c) != REDIS_OK)
            return REDIS_ERR;
        /* Without REDIS_BLOCK: one read, then whatever is complete. */
        bool once = !(c->flags & REDIS_BLOCK);
        do {
            if (redisBufferRead(c) != REDIS_OK || nextReply(c, &r) != REDIS_OK)
                return REDIS_ERR;
        } while (!r && !once);
    }
    if (reply)
        *reply = r;
    else if (r)
        c->reader->fn->freeObject(r);
    return REDIS_OK;
}
