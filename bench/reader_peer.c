/* Debian's libhiredis 0.14 reader behind names of its own. Loaded with
 * dlopen by the reader benchmark, whose own reader has the same names. */
#include <hiredis/hiredis.h>

#define PEER_EXPORT __attribute__((visibility("default")))

PEER_EXPORT void *peerReaderCreate(void) { return redisReaderCreate(); }
PEER_EXPORT void peerReaderFree(void *r) { redisReaderFree(r); }
PEER_EXPORT int peerReaderFeed(void *r, const char *buf, size_t len) { return redisReaderFeed(r, buf, len); }
PEER_EXPORT int peerReaderGetReply(void *r, void **reply) { return redisReaderGetReply(r, reply); }
PEER_EXPORT void peerFreeReply(void *reply) { freeReplyObject(reply); }
