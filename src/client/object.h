/*
 * The client record `robj` that sits in front of every Kelvo\Kelvo engine object, its option
 * block `kelvoOptions`, the object handlers (create, clone, destructor, free) and the option
 * methods and local methods that only read or change the record.
 *
 * Owns: the record's link (through link.h), its connection information, its option strings
 * and pattern sets, the listener and subscription tables, the last error, the queued
 * pipeline entries and held-back pushes. Everything lives in request memory except a link
 * that the persistent pool keeps. The same record without an engine object is the state of
 * a cluster node or a session shard (kelvoInitRObj / kelvoReleaseRObj).
 *
 * One process, one request thread: no locks; nothing here is kept in the arena.
 */
#ifndef KELVO_OBJECT_H
#define KELVO_OBJECT_H

#include "php_kelvo.h"
#include "link/backoff.h"
#include "runtime/errclass.h"
#include "runtime/optflags.h"
#include "link/link.h"
#include "pack/pack.h"

#include <cstddef>
#include <cstdint>

struct kelvoMultiEntry;
struct kelvoReply;

/* Values of OPT_SCAN (the SCAN_* class constants): each switches one bit of kelvoOptions::scan. */
enum kelvoScanSetting : int32_t {
    KELVO_SCAN_NORETRY = 0,
    KELVO_SCAN_RETRY = 1,
    KELVO_SCAN_PREFIX = 2,
    KELVO_SCAN_NOPREFIX = 3,
};

/* Bits of kelvoOptions::scan. */
constexpr uint32_t kelvoScanRetry = 0x1;
constexpr uint32_t kelvoScanPrefix = 0x2;

/* Bits of robj::mode (the class constants of the same names; ATOMIC is none of them). */
constexpr uint64_t kelvoModeAtomic = 0;
constexpr uint64_t kelvoModeMulti = 1;
constexpr uint64_t kelvoModePipeline = 2;
constexpr uint64_t kelvoModeSubscribed = 4;

/* Bits of robj::connState: server-side state of the link that a new connection would silently drop. */
constexpr uint32_t kelvoConnStateWatch = 0x1;

constexpr uint8_t kelvoBackoffAlgorithmMax = BACKOFF_ALGORITHM_CONSTANT; /* the last BACKOFF_ALGORITHM_* */

struct kelvoBackoffOptions {
    uint8_t algorithm; /* BACKOFF_ALGORITHM_* */
    uint64_t base;     /* microseconds */
    uint64_t cap;      /* microseconds */
};

struct kelvoRetryOptions {
    int32_t maxRetries;
    kelvoBackoffOptions backoff;
};

struct kelvoAdaptiveCacheOptions {
    uint8_t enabled;
    uint32_t width;
    uint32_t depth;
    int32_t minEvents;
    double minRatio;
    uint32_t formula; /* 0 pure, 1 scaled */
};

struct kelvoOptions {
    zend_string *prefix; /* null or non-empty */
    const kelvoSerInfo *serializer;
    const kelvoCmpInfo *compression;
    zval allowPatterns; /* undefined, null, or an array whose string keys are the patterns */
    zval ignorePatterns;
    int32_t compressionLevel;
    uint32_t scan;         /* kelvoScan* */
    kelvoOptionWord flags; /* kelvoOpt* (runtime/optflags.h) */
    uint8_t clientInvalidations;
    kelvoRetryOptions retry;
    kelvoAdaptiveCacheOptions adaptiveCache;
    zend_string *availabilityZone;
};

/* Queued pipeline and MULTI entries. */
struct kelvoMultiQueue {
    kelvoMultiEntry *entries;
    size_t count;
    size_t capacity;
};

struct kelvoFcallContext;
struct kelvoSubscribeWait;

/* Push replies held back while a subscribe callback runs. */
struct kelvoPushNode {
    kelvoReply *reply;
    kelvoFcallContext *context; /* a subscribe confirmation's callable, stored when the push is handled */
    kelvoPushNode *next;
};

struct robj {
    kelvoLink link;
    redisInfo info;
    kelvoOptions opts;
    HashTable callbacks;     /* event listeners, by listener key */
    HashTable channels;      /* SUBSCRIBE callbacks, by channel */
    HashTable patterns;      /* PSUBSCRIBE callbacks */
    HashTable shardChannels; /* SSUBSCRIBE callbacks */
    zend_string *lastError;
    uint64_t mode;      /* kelvoMode* */
    uint32_t connState; /* kelvoConnState*; cleared whenever the link is given up */
    zval *it;           /* the caller's SCAN iterator during a scan call */
    kelvoMultiQueue pipe;
    zval ownEvents;                /* own-write events of a batch, held until its replies are read */
    zend_string *listenerEndpoint; /* the server identity the object is registered under for its listeners */
    kelvoPushNode *pushqHead;
    kelvoPushNode *pushqTail;
    kelvoSubscribeWait *waitHead; /* subscribe-family requests sent and not yet answered, oldest first */
    kelvoSubscribeWait *waitTail;
    uint64_t bytesSent;
    uint64_t bytesRecv;
    uint64_t syncTime; /* wall-clock microseconds at the start of the last sync; 0 after a failed one */
    /* The sketch lookups and admissions count in instead of the endpoint's (a cluster's nodes share
     * one per seed list); null: the endpoint's. */
    struct kelvoCms *sketch;
    zend_object std; /* last: the engine object and its declared properties follow */
};

/* True when the shared cache is on, else false after the E_WARNING of the methods that need it. */
bool kelvoRequireSharedCache(void);

/* The record of an engine object or of the object a method was called on (fatal on null). */
robj *kelvoGetObjectZObj(zend_object *object);
robj *kelvoGetObjectZVal(zval *value);

extern const kelvoOptions kelvoDefaultOptions;
extern zend_object_handlers kelvo_object_handlers;

/* Sets Kelvo\Kelvo's create-object hook and has plain links count their bytes for the client
 * records that own them (kelvoLinkBytes). MINIT, right after the class is registered. */
void kelvoRegisterObjectHandlers(void);

/* The first steps of every record: no connection information, default options, empty tables. */
void kelvoInitRObj(robj *ro);
/* Releases everything the record owns (the link is given up first). */
void kelvoReleaseRObj(robj *ro);
/*
 * Leaves the server session clean (no transaction, pipeline, subscription, database 0) and
 * gives the link up: back to the persistent pool when it is reusable, closed otherwise or
 * when `closing` is set. Any failed clean-up step closes the link; never fails.
 */
void kelvoLinkReleaseRObj(robj *ro, int closing);

zend_object *kelvoObjectCtor(zend_class_entry *ce);
void kelvoObjectDtor(zend_object *object);
void kelvoObjectFree(zend_object *object);
zend_object *kelvoObjectClone(zend_object *object);

/*
 * What the command layer does for the client object, plugged in when it registers Kelvo\Kelvo
 * (kelvoRegisterClientClasses): the batch queue and the command rows live above the client.
 */
struct kelvoCommandInfo;

struct kelvoClientCommandHooks {
    /* kelvoFreeCallbacks's work (commands/multi.cc). */
    void (*abandonBatch)(robj *ro);
    /* kelvoMultiQueueRelease's work (commands/multi.cc). */
    void (*releaseQueue)(robj *ro);
    /* The row of command `cmd`; fatal on a bad id or an incomplete row (kelvoGetCommandRCmd). */
    const kelvoCommandInfo *(*commandRow)(int cmd);
};
extern kelvoClientCommandHooks kelvoClientCommands;

/* Drops the queued pipeline and MULTI entries and leaves both modes; a database selected by a
 * SELECT that never ran is given back. */
void kelvoFreeCallbacks(robj *ro);
/* Frees the queue's storage, which an ended batch keeps for the next one. */
void kelvoMultiQueueRelease(robj *ro);

/* Mode word bits of an open batch. */
constexpr uint64_t kelvoModeBatch = kelvoModeMulti | kelvoModePipeline;

static inline bool kelvoInBatch(const robj *ro) { return (ro->mode & kelvoModeBatch) != 0; }

/*
 * One option: 0 applied, -1 refused (with an E_WARNING where the option has a message, or a
 * Kelvo\Exception for an unavailable serializer or compressor). A refusal keeps the old value.
 */
int kelvoSetOption(robj *ro, zend_long option, zval *value);
/* Reads one option into `out`: 0, or -1 (with a warning where the option has one). */
int kelvoGetOption(robj *ro, zend_long option, zval *out);
/* The option-word bit that option id `option` reads as a boolean; 0 for any other option. */
kelvoOptionWord kelvoOptionBitOf(zend_long option);

/* Setters shared by setOption and the context array; same contract as kelvoSetOption. */
int kelvoSetSerializer(robj *ro, zval *value);
int kelvoSetCompression(robj *ro, zval *value);
int kelvoSetCompressionLevel(robj *ro, zval *value);
int kelvoSetPrefix(robj *ro, zval *value);
int kelvoSetAvailabilityZone(robj *ro, zval *value);
/* `context`: a negative or oversized count is ignored (0) instead of refused (-1). */
int kelvoSetMaxRetries(robj *ro, zval *value, bool context);
int kelvoSetClientInvalidations(robj *ro, zval *value);
int kelvoSetAdaptiveCacheOptions(robj *ro, zval *value);

/* Recomputes the server identity after a change of use-cache, client tracking or credentials. */
void kelvoUpdateLinkKey(robj *ro);

/* prefix + key when the prefix is non-empty, else the key with one more reference. */
zend_string *kelvoPrefixKeyZStr(zend_string *key, zend_string *prefix);

/* Seconds to a timeval: at most 4294967295 s; NaN and negatives are {0, 0}. */
struct timeval kelvoDoubleToTimeval(double seconds);
double kelvoTimevalToDouble(struct timeval tv);

/* True when the shared cache exists and the connection uses it (the link must be connected). */
bool kelvoIsCacheEnabled(const robj *ro);

#endif
