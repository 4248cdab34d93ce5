/*
 * Error codes. They are the codes of Kelvo\Exception and are named in its
 * messages; 1 to 6 are the client library's context error codes, thrown
 * unchanged. Engine-free: usable from every component.
 */
#ifndef KELVO_ERRORS_H
#define KELVO_ERRORS_H

enum kelvoErrorCode : int {
    KELVO_ERR_NONE = 0,
    KELVO_ERR_IO = 1,
    KELVO_ERR_OTHER = 2,
    KELVO_ERR_EOF = 3,
    KELVO_ERR_PROTOCOL = 4,
    KELVO_ERR_OOM = 5,
    KELVO_ERR_TIMEOUT = 6,
    KELVO_ERR_NOAUTH = 7,
    KELVO_ERR_WRONGPASS = 8,
    KELVO_ERR_COMPAT = 9,
    KELVO_ERR_COMPAT_CLUSTER = 10,
    KELVO_ERR_CONFIG = 11,
    KELVO_ERR_CRITICAL = 12,
    KELVO_ERR_RESOURCES = 13,
    KELVO_ERR_REDIS = 14,
    KELVO_ERR_TLS = 15,
    KELVO_ERR_WRONGTYPE = 16,
};

constexpr int KELVO_ERR_MAX = KELVO_ERR_WRONGTYPE;

/* The code's name ("KELVO_ERR_NONE" ...); a code outside the table is fatal. */
const char *kelvoErrorCodeToString(int code);

#endif
