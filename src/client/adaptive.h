/*
 * The engine's side of admission: the Kelvo\AdaptiveCache object of every
 * client, the binding of an endpoint's sketch to it, the admission filter
 * and write counting that cached reads and invalidation delivery call,
 * the key-pattern test of the check roles, stats(), the periodic tasks'
 * engine hooks and the module information table.
 *
 * The AdaptiveCache record lives in request memory in front of its engine
 * object; the sketch it points at is the endpoint's, in the arena, shared
 * by every process and never freed. An endpoint gets its sketch from the
 * first client that attaches wanting one (published by compare-and-swap;
 * a process that loses the race frees its own); nothing replaces it after.
 */
#ifndef KELVO_ADAPTIVE_H
#define KELVO_ADAPTIVE_H

#include "php_kelvo.h"
#include "cache/cms.h"

#include <cstddef>
#include <cstdint>

struct kelvoCms;
struct kelvoEndpoint;
struct kelvoAdaptiveCacheOptions;
struct kelvoOptions;
struct robj;

extern zend_class_entry *kelvo_adaptivecache_ce;

/* Registers Kelvo\AdaptiveCache and plugs the periodic tasks' hooks (MINIT, every call). */
void kelvoAdaptiveCacheRegister(void);
/* Chooses the sketch and HyperLogLog kernels (MINIT's set-up half). */
void kelvoAdaptiveKernelsInit(void);

/* Gives a client object a fresh AdaptiveCache object mirroring its settings (construction and clone). */
void kelvoAdaptiveCacheAttachObject(robj *ro);
/* Copies the client's settings into its AdaptiveCache object and refreshes the properties. */
void kelvoAdaptiveCacheUpdate(robj *ro);
/* The client gave its link up: its object is inactive. */
void kelvoAdaptiveCacheUnbind(robj *ro);

/*
 * At attachment to `ep`: creates the endpoint's sketch when it has none and
 * the client wants one, then binds the sketch (or none) to the client's
 * AdaptiveCache object, whatever the client's class.
 */
void kelvoEndpointBindSketch(robj *ro, kelvoEndpoint *ep);

/* Binds (or with null unbinds) a sketch to the object held in `value`; a dimension conflict warns. */
void kelvoAdaptiveCacheSetCms(zval *value, kelvoCms *cms);

/* Before a reply is stored: 1 do not store (counted "filtered" by the caller), 0 may store. The rule
 * reads `sketch`, or the endpoint's when null. */
int kelvoEndpointFilter(kelvoEndpoint *ep, kelvoCms *sketch, const kelvoAdaptiveCacheOptions *opts, const char *key,
                        size_t len, uint64_t hash);
/* Write counting for admission (kelvoEndpointCountWrite) is the sketch's: cache/cms.h. */

/*
 * Whether the client's pattern sets let a key be stored: with allow
 * patterns it must match one; then it must match no ignore pattern. The
 * whole key is compared (prefix included, as the caller passes it).
 */
bool kelvoPatternsAllowKey(const kelvoOptions *opts, const char *key, size_t len);

/* Folds this process's counters into the shared statistics; with `out`, copies all 31 of them. */
void kelvoIncrSharedStats(uint64_t *out);

/* The body of the static stats() of the client classes. */
void kelvoStatsMethod(zval *return_value);

/* The module's phpinfo() section. */
void kelvoInfoTable(void);

/* Request end and link readying: the periodic tasks when this process's interval has passed. */
void kelvoPeriodicTick(uint64_t nowUsec);

#endif
