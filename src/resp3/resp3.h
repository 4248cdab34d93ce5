/*
 * The RESP3 client layer: synchronous connection contexts over TCP and Unix
 * sockets (and TLS once an SSL object is handed over), their output buffer,
 * and the RESP3 reply reader. It keeps the names and numbers of the hiredis
 * 1.x API, which the rest of the module is written against.
 *
 * Owns: each context owns its socket, its output buffer, its reader and, after
 * redisInitiateSSL, the SSL object. Each reader owns its input buffer. All of
 * it is malloc'd, because contexts and readers outlive requests. No reply
 * object ever lives inside a reader between calls: the reader frames replies
 * first and calls the object functions only once a whole top-level reply is
 * buffered, then hands the finished tree to the caller, who owns it.
 *
 * No locks, no shared memory, no threads; a context belongs to one process.
 * Engine-free: usable from unit tests and fuzz targets.
 */
#ifndef KELVO_RESP3_H
#define KELVO_RESP3_H

#include <stdarg.h>
#include <stddef.h>
#include <stdint.h>
#include <sys/time.h>
#include <sys/types.h>

/* Results of the calls below that return an int status. */
constexpr int REDIS_OK = 0;
constexpr int REDIS_ERR = -1;

/* Context and reader error codes (`err`); they reach PHP unchanged as exception codes. */
constexpr int REDIS_ERR_IO = 1;       /* errno-based failure; errstr holds its text */
constexpr int REDIS_ERR_OTHER = 2;    /* anything else, e.g. resolving a host */
constexpr int REDIS_ERR_EOF = 3;      /* the server closed the connection */
constexpr int REDIS_ERR_PROTOCOL = 4; /* malformed reply */
constexpr int REDIS_ERR_OOM = 5;      /* out of memory, or an object function returned NULL */
constexpr int REDIS_ERR_TIMEOUT = 6;

/* Reply types, as the object functions see them in redisReadTask::type. */
constexpr int REDIS_REPLY_STRING = 1;
constexpr int REDIS_REPLY_ARRAY = 2;
constexpr int REDIS_REPLY_INTEGER = 3;
constexpr int REDIS_REPLY_NIL = 4;
constexpr int REDIS_REPLY_STATUS = 5;
constexpr int REDIS_REPLY_ERROR = 6;
constexpr int REDIS_REPLY_DOUBLE = 7;
constexpr int REDIS_REPLY_BOOL = 8;
constexpr int REDIS_REPLY_MAP = 9;
constexpr int REDIS_REPLY_SET = 10;
constexpr int REDIS_REPLY_ATTR = 11;
constexpr int REDIS_REPLY_PUSH = 12;
constexpr int REDIS_REPLY_BIGNUM = 13;
constexpr int REDIS_REPLY_VERB = 14;

/* Connection types (redisOptions::type, redisContext::connection_type). */
constexpr int REDIS_CONN_TCP = 0;
constexpr int REDIS_CONN_UNIX = 1;

/* Context flag: the socket is blocking, so EAGAIN on it means a timeout expired. */
constexpr int REDIS_BLOCK = 0x1;

/* Error codes of building a TLS client context; texts through redisSSLContextGetError. */
constexpr int REDIS_SSL_CTX_NONE = 0;
constexpr int REDIS_SSL_CTX_CREATE_FAILED = 1;
constexpr int REDIS_SSL_CTX_CA_CERT_LOAD_FAILED = 3;
constexpr int REDIS_SSL_CTX_CLIENT_CERT_LOAD_FAILED = 4;
constexpr int REDIS_SSL_CTX_PRIVATE_KEY_LOAD_FAILED = 6;
constexpr int REDIS_SSL_CTX_OS_CERT_ADD_FAILED = 8;

/* Reader limits. A reply nested deeper, or one top-level reply (with its
 * attributes) larger than the frame cap, is a protocol error; a bulk length
 * or element count that cannot fit under the cap is refused from its header
 * alone. */
constexpr int REDIS_READER_MAX_DEPTH = 512;
constexpr size_t REDIS_READER_MAX_FRAME = size_t(1) << 30;
/* Idle-buffer threshold and element cap a new reader starts with. */
constexpr size_t REDIS_READER_MAX_BUF = 16 * 1024;
constexpr long long REDIS_READER_MAX_ARRAY_ELEMENTS = 4294967295LL;
/* redisBufferRead reads at most this much per call. */
constexpr size_t REDIS_READ_CHUNK = 16 * 1024;

/* One value being built. For an aggregate, `obj` is its object once created,
 * so that children can attach to it through `parent`. `idx` is the value's
 * index in its parent (-1 at the top). `elements` is the child count of an
 * aggregate (twice the pair count for a map). */
struct redisReadTask {
    int type;
    long long elements;
    int idx;
    void *obj;
    struct redisReadTask *parent;
    void *privdata;
};

/* The reply-object functions, in this order. Each builds one value and
 * attaches it to task->parent->obj when there is a parent. Returning NULL
 * fails the reader with REDIS_ERR_OOM; the partly built tree is then released
 * through freeObject on its root. createString is called for STRING, STATUS,
 * ERROR, BIGNUM and VERB (a VERB's payload is whole: "txt:..." with at least
 * four bytes and ':' at byte 3); createDouble gets the value and the text as
 * sent; createNil serves nil bulks and nil aggregates alike. */
struct redisReplyObjectFunctions {
    void *(*createString)(const redisReadTask *task, const char *str, size_t len);
    void *(*createArray)(const redisReadTask *task, size_t elements);
    void *(*createInteger)(const redisReadTask *task, long long value);
    void *(*createDouble)(const redisReadTask *task, double value, const char *str, size_t len);
    void *(*createNil)(const redisReadTask *task);
    void *(*createBool)(const redisReadTask *task, int value);
    void (*freeObject)(void *obj);
};

/* Framing state of the top-level reply being scanned; see resp3_read.cc. */
struct redisReaderFrame {
    size_t spos;                                 /* buffer offset of the next item to scan */
    size_t lscan;                                /* how far that item's line is known to hold no CR or LF */
    int depth;                                   /* open aggregate levels */
    long long remaining[REDIS_READER_MAX_DEPTH]; /* values still expected per level */
    uint8_t attr[REDIS_READER_MAX_DEPTH];        /* level is an attribute (its end is no value) */
};

/* A RESP3 reader. Errors are sticky: once `err` is set, every call fails
 * until the reader is freed. `buf` holds bytes from `pos` to `len` not yet
 * taken as replies. */
struct redisReader {
    int err;
    char errstr[128];
    char *buf;
    size_t pos;
    size_t len;
    size_t cap;
    size_t maxbuf;         /* an emptied buffer larger than this is released; 0 never */
    long long maxelements; /* element cap per aggregate (pairs for a map) */
    size_t maxframe;       /* size cap of one top-level reply, REDIS_READER_MAX_FRAME */
    int replyType;         /* type of the last reply handed out (attributes skipped) */
    redisReaderFrame frame;
    const redisReplyObjectFunctions *fn;
    void *privdata; /* passed to the object functions in every task */
};

/* A reader with the default reply objects (redisReply). NULL when out of memory. */
redisReader *redisReaderCreate(void);
/* A reader using `fn` (NULL: the default functions). NULL when out of memory. */
redisReader *redisReaderCreateWithFunctions(const redisReplyObjectFunctions *fn);
/* Frees the reader and its buffer; NULL is ignored. */
void redisReaderFree(redisReader *r);
/* Appends bytes. -1 after a reader error or when out of memory (which sets
 * one). When no unread byte remains and the buffer is over `maxbuf`, it is
 * released first. */
int redisReaderFeed(redisReader *r, const char *buf, size_t len);
/* Takes the next complete reply: REDIS_OK with *reply set, or NULL when none
 * is complete yet; REDIS_ERR with `err` set on malformed input or failed
 * object functions. `reply` may be NULL to drop the reply. */
int redisReaderGetReply(redisReader *r, void **reply);

/* True when the reader holds no partly scanned reply: whatever it buffers
 * starts at a reply boundary. */
inline bool redisReaderBetweenReplies(const redisReader *r) { return r->frame.spos == r->pos && r->frame.depth == 0; }
/* True when the reader holds any buffered byte (a reply or part of one). */
inline bool redisReaderDirty(const redisReader *r) { return r->len > r->pos || !redisReaderBetweenReplies(r); }

/* The default reply object, built by the default object functions. Its text
 * or element pointers live in the same allocation, right behind it. */
struct redisReply {
    int type;          /* REDIS_REPLY_* */
    long long integer; /* INTEGER; 1 or 0 for BOOL */
    double dval;       /* DOUBLE */
    size_t len;        /* length of str */
    char *str;         /* string-like payload (a VERB's without "xxx:"); DOUBLE text; NUL-terminated */
    char vtype[4];     /* a VERB's format, NUL-terminated */
    size_t elements;   /* aggregates */
    struct redisReply **element;
};
extern const redisReplyObjectFunctions redisReplyDefaultFunctions;
/* Frees a default reply tree; NULL is ignored. */
void freeReplyObject(void *reply);

struct redisContext;
struct ssl_st;

/* Socket functions of a context. `read` returns bytes read, 0 when nothing
 * was read but the link is fine, -1 with the context error set. `write`
 * sends from the unsent part of `obuf` and returns bytes sent, 0, or -1
 * likewise; the caller drops what was sent. */
struct redisContextFuncs {
    void (*close)(redisContext *c);
    void (*free_privctx)(void *privctx);
    ssize_t (*read)(redisContext *c, char *buf, size_t cap);
    ssize_t (*write)(redisContext *c);
};
/* Plain sockets: one shared, writable table (the module swaps its read and
 * write slots for byte-counting wrappers of redisNetRead/redisNetWrite). */
extern redisContextFuncs redisContextDefaultFuncs;
/* TLS: the table a context switches to in redisInitiateSSL. */
extern redisContextFuncs redisContextSSLFuncs;

typedef void(redisPushFn)(void *privdata, void *reply);

/* Bytes appended but not yet written: data[pos, len). */
struct redisOutputBuffer {
    char *data;
    size_t pos;
    size_t len;
    size_t cap;
};

struct redisContext {
    redisContextFuncs *funcs;
    int err; /* REDIS_ERR_* or 0 */
    char errstr[128];
    int saved_errno; /* errno of the last failed system call; texts never use the global one */
    int fd;
    int flags; /* REDIS_BLOCK */
    redisOutputBuffer obuf;
    redisReader *reader;
    int connection_type;             /* REDIS_CONN_TCP or REDIS_CONN_UNIX */
    struct timeval *connect_timeout; /* NULL: wait as long as it takes */
    struct timeval *command_timeout; /* NULL: none */
    struct {
        char *host;
        int port;
    } tcp;
    struct {
        char *path;
    } unix_sock;
    void *privdata; /* the caller's; passed to push_cb */
    void *privctx;  /* the SSL object after redisInitiateSSL */
    redisPushFn *push_cb;
};

/* Connect options. Timeouts are copied; NULL (or a caller's {0, 0}) means none. */
struct redisOptions {
    int type; /* REDIS_CONN_TCP or REDIS_CONN_UNIX */
    const struct timeval *connect_timeout;
    const struct timeval *command_timeout;
    union {
        struct {
            const char *ip; /* host name or address text, resolved here */
            int port;
        } tcp;
        const char *unix_socket;
    } endpoint;
};

/* Opens a blocking context. NULL only when out of memory; every other
 * failure comes back as a context with `err` and `errstr` set. TCP tries
 * each resolved address until one connects; one deadline covers the whole
 * connect. A timeout is REDIS_ERR_IO "Connection timed out"; a wait cut by a
 * signal is REDIS_ERR_IO "poll(2): Interrupted system call" (callers retry on
 * that text); a Unix path of 108 bytes or more is REDIS_ERR_OTHER. */
redisContext *redisConnectWithOptions(const redisOptions *options);
/* Closes and re-opens the context in place to its stored address with its
 * stored timeouts: error cleared, SSL object freed (no TLS shutdown), output
 * dropped, a fresh default reader (the caller reinstalls its object
 * functions), the plain socket functions; `privdata` and `push_cb` stay.
 * REDIS_OK or REDIS_ERR with `err` set. */
int redisReconnect(redisContext *c);
/* Closes the socket with close(2) only -- never shutdown(2) nor a TLS
 * shutdown, so a forked child dropping an inherited link leaves the
 * parent's session intact -- and frees the SSL object, reader, buffers and
 * the context. NULL is ignored. */
void redisFree(redisContext *c);
/* Sets the socket's receive and send timeouts ({0, 0} clears them) and keeps
 * them for reconnect. Failure: REDIS_ERR_IO. */
int redisSetTimeout(redisContext *c, struct timeval tv);
/* TCP keep-alive with idle 15 s, interval 5 s, 3 probes. REDIS_ERR on
 * failure, leaving `err` untouched (callers only log it). */
int redisEnableKeepAlive(redisContext *c);
/* Returns the previous push callback. */
redisPushFn *redisSetPushCallback(redisContext *c, redisPushFn *fn);

/* Appends ready request bytes to the output buffer. REDIS_ERR only when out
 * of memory (REDIS_ERR_OOM "Out of memory"). */
int redisAppendFormattedCommand(redisContext *c, const char *cmd, size_t len);
/* Appends a request built from a format: words split at spaces, with %s
 * (C string), %d (int), %u (unsigned) and %%. Expanded text is never split;
 * a word that held a specifier is sent even when it expands to nothing.
 * Anything else is REDIS_ERR_OTHER "Invalid format string". */
int redisAppendCommand(redisContext *c, const char *format, ...) __attribute__((format(printf, 2, 3)));
int redisvAppendCommand(redisContext *c, const char *format, va_list ap);
/* Appends, then waits for the reply: the reply, or NULL with `err` set. */
void *redisCommand(redisContext *c, const char *format, ...) __attribute__((format(printf, 2, 3)));

/* One write of the unsent output; *done (may be NULL) tells whether
 * everything is written. REDIS_ERR when `err` is set before or after. */
int redisBufferWrite(redisContext *c, int *done);
/* Writes until the output buffer is empty (for paths that write once and
 * then only read). REDIS_ERR with `err` set on failure. */
int redisBufferWriteAll(redisContext *c);
/* One read of at most REDIS_READ_CHUNK bytes (none is fine), fed to the
 * reader; a reader error is copied into the context. REDIS_ERR when `err`
 * is set before or after. */
int redisBufferRead(redisContext *c);
/* Whether a read could return anything now: bytes on the socket, held by the TLS layer, or an
 * end or error to report. False only when a read would find nothing (one non-blocking peek). */
bool redisInputPending(redisContext *c);
/* The next reply. Pushes met first go to push_cb(privdata, push), which owns
 * them, while a push callback is set; without one they are returned as
 * replies. When no reply is buffered, the whole output buffer is written and
 * the socket read until one is complete (in a blocking context). REDIS_OK
 * with *reply set, REDIS_ERR with `err` set. */
int redisGetReply(redisContext *c, void **reply);
/* The next buffered reply without any I/O or push dispatch; *reply NULL when
 * none is complete. A reader error is copied into the context. */
int redisGetReplyFromReader(redisContext *c, void **reply);

/* Plain socket read: n > 0 bytes; 0 when interrupted (EINTR) or, in a
 * non-blocking context, nothing is there; -1 with REDIS_ERR_EOF "Server
 * closed the connection" at end of stream, REDIS_ERR_IO "Resource temporarily
 * unavailable" when a blocking context's timeout expired, REDIS_ERR_IO and
 * the system's text otherwise. */
ssize_t redisNetRead(redisContext *c, char *buf, size_t cap);
/* Plain socket write of the unsent output (never raises SIGPIPE): bytes
 * sent; 0 when interrupted or, non-blocking, the socket is full; -1 with
 * REDIS_ERR_IO and the system's text otherwise. */
ssize_t redisNetWrite(redisContext *c);

/* Sets the context error: `text` NULL with REDIS_ERR_IO takes the text of
 * `saved_errno`. Longer texts are cut to 127 bytes. */
void redisSetError(redisContext *c, int type, const char *text);

/* Hands an OpenSSL connection object (SSL *, not yet connected) to the context: a
 * blocking TLS handshake on its socket. On success the context owns `ssl`
 * and uses the TLS socket functions; on failure REDIS_ERR with REDIS_ERR_IO
 * "SSL_connect failed: ..." and `ssl` stays the caller's. A context that
 * already holds one: REDIS_ERR_OTHER "redisContext was already associated". */
int redisInitiateSSL(redisContext *c, struct ssl_st *ssl);
/* The text of a REDIS_SSL_CTX_* code ("No Error" for 0, "Unknown error code" for others). */
const char *redisSSLContextGetError(int code);

#endif
