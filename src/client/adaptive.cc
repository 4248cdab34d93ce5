/* Kelvo\AdaptiveCache, admission, stats() and the module information table. */
#include "client/adaptive.h"
#include "cache/cache.h"
#include "cache/cms.h"
#include "cache/evict.h"
#include "cache/hll.h"
#include "cache/patterns.h"
#include "client/client.h"
#include "client/object.h"
#include "pack/pack_libs.h"
#include "runtime/cfgvals.h"
#include "runtime/fatal.h"
#include "runtime/kelvo.h"
#include "runtime/log.h"
#include "runtime/settings.h"
#include "shm/epoch.h"
#include "shm/lock.h"
#include "shm/shared.h"
#include "shm/shmalloc.h"

extern "C" {
#include "ext/standard/info.h"
#include "zend_signal.h"
}

#include <openssl/opensslv.h>

#include <sys/utsname.h>
#include <unistd.h>

#include <climits>
#include <cmath>
#include <cstdarg>
#include <cstring>
#include <ctime>

extern "C" {
#include "stubs/adaptive_arginfo.h"
}

zend_class_entry *kelvo_adaptivecache_ce;

namespace {

zend_object_handlers adaptiveHandlers;

struct AdaptiveCache {
    kelvoCms *cms;
    kelvoAdaptiveCacheOptions opts;
    zend_object std;
};

AdaptiveCache *recordOf(zend_object *object)
{
    kelvoAssert(object != NULL);
    return reinterpret_cast<AdaptiveCache *>(reinterpret_cast<char *>(object) - offsetof(AdaptiveCache, std));
}

AdaptiveCache *recordOf(zval *value)
{
    kelvoAssert(value != NULL);
    return recordOf(Z_OBJ_P(value));
}

zend_object *createObject(zend_class_entry *ce)
{
    auto *ac = static_cast<AdaptiveCache *>(zend_object_alloc(sizeof(AdaptiveCache), ce));
    memset(ac, 0, offsetof(AdaptiveCache, std));
    zend_object_std_init(&ac->std, ce);
    object_properties_init(&ac->std, ce);
    ac->std.handlers = &adaptiveHandlers;
    return &ac->std;
}

void freeObject(zend_object *object)
{
    kelvoAssert(object != NULL);
    zend_object_std_dtor(object);
}

void destroyObject(zend_object *) {}

uint64_t nowMicros(void)
{
    struct timespec ts;
    clock_gettime(CLOCK_REALTIME, &ts);
    return uint64_t(ts.tv_sec) * 1000000 + uint64_t(ts.tv_nsec) / 1000;
}

void setProperty(AdaptiveCache *ac, const char *name, zval *value)
{
    zend_update_property(kelvo_adaptivecache_ce, &ac->std, name, strlen(name), value);
}

void updateProperties(AdaptiveCache *ac)
{
    zval v;
    ZVAL_BOOL(&v, ac->opts.enabled);
    setProperty(ac, "enabled", &v);
    ZVAL_LONG(&v, ac->opts.width);
    setProperty(ac, "width", &v);
    ZVAL_LONG(&v, ac->opts.depth);
    setProperty(ac, "depth", &v);
    ZVAL_LONG(&v, ac->opts.minEvents);
    setProperty(ac, "minEvents", &v);
    ZVAL_DOUBLE(&v, ac->opts.minRatio);
    setProperty(ac, "minRatio", &v);
    zend_update_property_string(kelvo_adaptivecache_ce, &ac->std, ZEND_STRL("formula"),
                                ac->opts.formula == 1 ? "scaled" : "pure");
}

void setStatus(AdaptiveCache *ac, kelvoCms *cms)
{
    ac->cms = cms;
    zend_update_property_string(kelvo_adaptivecache_ce, &ac->std, ZEND_STRL("status"), cms ? "active" : "inactive");
}

/* The AdaptiveCache object a client holds, or null (a subclass may have unset or replaced it). */
AdaptiveCache *objectOf(robj *ro)
{
    /* Records without an engine object (cluster nodes, session shards) have no property. */
    if (!ro->std.handlers || !kelvo_adaptivecache_ce)
        return nullptr;
    zend_string *name = zend_string_init("adaptiveCache", sizeof("adaptiveCache") - 1, 0);
    zend_property_info *prop = zend_get_property_info(ro->std.ce, name, 1);
    zend_string_release(name);
    if (!prop || prop == ZEND_WRONG_PROPERTY_INFO || (prop->flags & ZEND_ACC_STATIC))
        return nullptr;
    zval *slot = OBJ_PROP(&ro->std, prop->offset);
    ZVAL_DEREF(slot);
    if (Z_TYPE_P(slot) != IS_OBJECT || !instanceof_function(Z_OBJCE_P(slot), kelvo_adaptivecache_ce))
        return nullptr;
    return recordOf(slot);
}

AdaptiveCache *thisObject(zend_execute_data *execute_data) { return recordOf(ZEND_THIS); }

/* --- periodic hooks ------------------------------------------------------------------------------- */

void foldStatsHook(void) { kelvoIncrSharedStats(nullptr); }

void logSignalsHook(void)
{
    int queued = 0;
    for (zend_signal_queue_t *q = SIGG(phead); q && queued < 64; q = q->next)
        queued++;
    kelvoShLog(KELVO_LL_NOTICE,
               "CRON STATS - SIGNALS zend[active: %d, depth: %d, blocked: %d, running: %d, queue: %zu/%d] "
               "kelvo[depth: %d, deferrals: %d, in_handler: %d, request_active: %d]",
               SIGG(active), SIGG(depth), SIGG(blocked), SIGG(running), size_t(queued), 64, int(kelvoSignalDepth),
               int(kelvoSigioDeferrals), int(kelvoInSigioHandler), int(PG(during_request_startup) == 0));
}

/* --- statistics ------------------------------------------------------------------------------------ */

constexpr int foldedStats[] = {0, 1, 2, 4, 5, 6, 7, 8, 10, 11};

void addNamed(zval *array, const char *name, uint64_t value) { add_assoc_long(array, name, zend_long(value)); }

void usageArray(zval *out)
{
    array_init(out);
    kelvoRequestCounters requests = {};
    uint64_t freeReaders = 0, freeLeases = 0;
    if (kelvoSharedData) {
        requests.total = __atomic_load_n(&kelvoSharedData->requests.total, __ATOMIC_RELAXED);
        requests.active = __atomic_load_n(&kelvoSharedData->requests.active, __ATOMIC_RELAXED);
        requests.peak = __atomic_load_n(&kelvoSharedData->requests.peak, __ATOMIC_RELAXED);
    }
    if (kelvoCacheUsable()) {
        freeReaders = kelvoGlobalEpochFreeReaders();
        freeLeases = __atomic_load_n(&kelvoLeases()->free_slots, __ATOMIC_RELAXED);
    }
    addNamed(out, "total_requests", requests.total);
    addNamed(out, "active_requests", requests.active);
    addNamed(out, "max_active_requests", requests.peak);
    addNamed(out, "free_epoch_records", freeReaders);
    addNamed(out, "free_leases", freeLeases);
}

void statsArray(zval *out, const uint64_t (&s)[KELVO_SHARED_STATS])
{
    array_init(out);
    addNamed(out, "requests", s[0]);
    addNamed(out, "misses", s[2]);
    addNamed(out, "hits", s[1]);
    addNamed(out, "errors", s[5]);
    addNamed(out, "oom", s[4]);
    addNamed(out, "filtered", s[3]);
    addNamed(out, "ops_per_sec", kelvoRequestRate());
    addNamed(out, "bytes_sent", s[7]);
    addNamed(out, "bytes_received", s[6]);
    addNamed(out, "command_usec", s[8]);
    addNamed(out, "rinit_usec", s[10]);
    addNamed(out, "rshutdown_usec", s[11]);
    addNamed(out, "sigio_usec", s[9]);
}

void memoryArray(zval *out)
{
    array_init(out);
    bool on = kelvoCacheUsable() && kelvoShArenaActive();
    addNamed(out, "total", on ? kelvoShSize() : 0);
    addNamed(out, "limit", on ? kelvoShCappedSize() : 0);
    addNamed(out, "active", on ? kelvoShActive() : 0);
    addNamed(out, "used", on ? kelvoShUsed() : 0);
}

void connectionArray(zval *out, rdb *set)
{
    array_init(out);
    addNamed(out, "writers", __atomic_load_n(&set->writers, __ATOMIC_RELAXED));
    zval keys;
    array_init(&keys);
    for (uint32_t db = 0; db < kelvoCache()->databases; db++) {
        if (unsigned long count = kelvoCacheCount(set, db))
            add_index_long(&keys, db, zend_long(count));
    }
    add_assoc_zval(out, "keys", &keys);
    addNamed(out, "flushes", __atomic_load_n(&set->flushes, __ATOMIC_RELAXED));
    addNamed(out, "last_flush", __atomic_load_n(&set->last_flush, __ATOMIC_RELAXED));
}

void redisArray(zval *out, const kelvoEndpoint *ep)
{
    array_init(out);
    add_assoc_stringl(out, "redis_version", ep->redis_version, strnlen(ep->redis_version, sizeof ep->redis_version));
    add_assoc_long(out, "used_memory", ep->used_memory);
    add_assoc_long(out, "used_memory_peak", ep->used_memory_peak);
    add_assoc_long(out, "total_system_memory", ep->total_system_memory);
    add_assoc_long(out, "tracking_total_keys", ep->tracking_total_keys);
    add_assoc_long(out, "maxmemory", ep->maxmemory);
    add_assoc_stringl(out, "maxmemory_policy", ep->maxmemory_policy,
                      strnlen(ep->maxmemory_policy, sizeof ep->maxmemory_policy));
    addNamed(out, "updated", ep->updated);
}

void sketchArray(zval *out, const kelvoCms *cms)
{
    kelvoCmsFoldReads();
    array_init(out);
    addNamed(out, "width", cms ? cms->width : 0);
    addNamed(out, "depth", cms ? cms->depth : 0);
    addNamed(out, "last_flush", cms ? __atomic_load_n(&cms->last_flush, __ATOMIC_RELAXED) : 0);
    add_assoc_double(out, "load_factor", cms ? double(kelvoCmsLoadFactor(cms, 1)) / double(cms->width) : 0.0);
}

void endpointEntry(kelvoEndpoint *ep, void *arg)
{
    zval entry, connections, part;
    array_init(&entry);
    array_init(&connections);
    for (rdb *set = __atomic_load_n(&ep->rdbs, __ATOMIC_ACQUIRE); set; set = set->next) {
        connectionArray(&part, set);
        add_next_index_zval(&connections, &part);
    }
    add_assoc_zval(&entry, "connections", &connections);
    redisArray(&part, ep);
    add_assoc_zval(&entry, "redis", &part);
    sketchArray(&part, __atomic_load_n(&ep->cms, __ATOMIC_ACQUIRE));
    add_assoc_zval(&entry, "adaptive_cache", &part);
    add_assoc_zval_ex(static_cast<zval *>(arg), ep->uri.bytes, ep->uri.length, &entry);
}

void endpointsArray(zval *out)
{
    array_init(out);
    if (!kelvoCacheUsable())
        return;
    if (kelvoGlobalEpochInit() != 0) {
        kelvoShLog(KELVO_LL_WARNING, "Failed to retrieve epoch reader to dump keys");
        return;
    }
    kelvoGlobalEpochBegin();
    kelvoEndpointForEach(endpointEntry, out);
    kelvoGlobalEpochEnd();
}

/* --- the information table -------------------------------------------------------------------------- */

void infoRow(const char *label, const char *format, ...) __attribute__((format(printf, 2, 3)));
void infoRow(const char *label, const char *format, ...)
{
    char value[255];
    va_list args;
    va_start(args, format);
    vsnprintf(value, sizeof value, format, args);
    va_end(args);
    php_info_print_table_row(2, label, value);
}

struct Appended {
    char text[64];
    size_t length;
};

void appendCompressor(Appended *state, const char *name)
{
    if (state->length > 63)
        return;
    int n = snprintf(state->text + state->length, sizeof state->text - state->length, "%s%s", state->length ? ", " : "",
                     name);
    if (n <= 0)
        return;
    state->length = size_t(n) < sizeof state->text - state->length ? state->length + size_t(n) : 63;
}

zend_long iniLong(const char *name) { return zend_ini_long(const_cast<char *>(name), strlen(name), 0); }
const char *iniText(const char *name)
{
    const char *text = zend_ini_string(const_cast<char *>(name), strlen(name), 0);
    return text ? text : "";
}

/* What new clients take as their minimum ratio: the directive, 5 when negative or not a number. */
double iniMinRatio(void)
{
    double ratio = zend_ini_double(ZEND_STRL("kelvo.adaptive_cache.min_ratio"), 0);
    return ratio >= 0 ? ratio : 5.0;
}

int64_t iniMinEvents(void)
{
    zend_long events = iniLong("kelvo.adaptive_cache.min_events");
    return events > INT32_MAX ? INT32_MAX : events < -INT32_MAX ? -INT32_MAX : events;
}

} // namespace

/* --- registration ---------------------------------------------------------------------------------------- */

void kelvoAdaptiveCacheRegister(void)
{
    kelvo_adaptivecache_ce = register_class_Kelvo_AdaptiveCache();
    kelvo_adaptivecache_ce->create_object = createObject;
    memcpy(&adaptiveHandlers, &std_object_handlers, sizeof adaptiveHandlers);
    adaptiveHandlers.offset = offsetof(AdaptiveCache, std);
    adaptiveHandlers.free_obj = freeObject;
    adaptiveHandlers.dtor_obj = destroyObject;
    adaptiveHandlers.clone_obj = nullptr;
    static const kelvoMethodAttributes attributes[] = {
        {"loadfactor", kelvoAttrLocal, 0}, {"flush", kelvoAttrLocal, 0},     {"stats", kelvoAttrLocal, 0},
        {"incrby", kelvoAttrLocal, 0},     {"lastflush", kelvoAttrLocal, 0},
    };
    kelvoAddMethodAttributes(kelvo_adaptivecache_ce, attributes, sizeof attributes / sizeof attributes[0]);
    kelvoPeriodic.foldStats = foldStatsHook;
    kelvoPeriodic.logSignals = logSignalsHook;
}

void kelvoAdaptiveKernelsInit(void)
{
    kelvoCmsGlobalInit();
    kelvoHllGlobalInit();
}

/* --- the object ---------------------------------------------------------------------------------------------- */

void kelvoAdaptiveCacheAttachObject(robj *ro)
{
    /* Records without an engine object (cluster nodes, session shards) have no property. */
    if (!kelvo_adaptivecache_ce || !ro->std.handlers)
        return;
    zend_string *name = zend_string_init("adaptiveCache", sizeof("adaptiveCache") - 1, 0);
    zend_property_info *prop = zend_get_property_info(ro->std.ce, name, 1);
    zend_string_release(name);
    if (!prop || prop == ZEND_WRONG_PROPERTY_INFO || (prop->flags & ZEND_ACC_STATIC))
        return;
    zval object;
    object_init_ex(&object, kelvo_adaptivecache_ce);
    zval *slot = OBJ_PROP(&ro->std, prop->offset);
    zval old;
    ZVAL_COPY_VALUE(&old, slot);
    ZVAL_COPY_VALUE(slot, &object);
    zval_ptr_dtor(&old);
    /* The properties keep their declared defaults until the settings are first set. */
    recordOf(&object)->opts = ro->opts.adaptiveCache;
}

void kelvoAdaptiveCacheUpdate(robj *ro)
{
    AdaptiveCache *ac = objectOf(ro);
    if (!ac)
        return;
    ac->opts = ro->opts.adaptiveCache;
    updateProperties(ac);
}

void kelvoAdaptiveCacheUnbind(robj *ro)
{
    if (AdaptiveCache *ac = objectOf(ro))
        setStatus(ac, nullptr);
}

void kelvoAdaptiveCacheSetCms(zval *value, kelvoCms *cms)
{
    ZVAL_DEREF(value);
    if (Z_TYPE_P(value) != IS_OBJECT || !instanceof_function(Z_OBJCE_P(value), kelvo_adaptivecache_ce))
        return;
    AdaptiveCache *ac = recordOf(value);
    if (!cms) {
        setStatus(ac, nullptr);
        return;
    }
    if (ac->opts.width && ac->opts.depth && (ac->opts.width != cms->width || ac->opts.depth != cms->depth)) {
        php_error_docref(nullptr, E_WARNING,
                         "Unable to change existing adaptive  cache from {.width=%u, .depth=%u} to {.width=%u, "
                         ".depth=%u} until the PHP process is restarted",
                         cms->width, cms->depth, ac->opts.width, ac->opts.depth);
        ac->opts.width = cms->width;
        ac->opts.depth = cms->depth;
        updateProperties(ac);
    }
    setStatus(ac, cms);
}

void kelvoEndpointBindSketch(robj *ro, kelvoEndpoint *ep)
{
    kelvoAssert(ep != NULL);
    kelvoCms *cms = __atomic_load_n(&ep->cms, __ATOMIC_ACQUIRE);
    const kelvoAdaptiveCacheOptions &wanted = ro->opts.adaptiveCache;
    if (!cms && wanted.enabled && wanted.width && wanted.depth) {
        if (kelvoCms *mine = kelvoCmsCreate(wanted.depth, wanted.width)) {
            kelvoCms *none = nullptr;
            if (__atomic_compare_exchange_n(&ep->cms, &none, mine, false, __ATOMIC_ACQ_REL, __ATOMIC_ACQUIRE)) {
                cms = mine;
            } else {
                kelvoCmsFree(mine);
                cms = none;
            }
        }
    }
    AdaptiveCache *ac = objectOf(ro);
    if (!ac)
        return;
    zval value;
    ZVAL_OBJ(&value, &ac->std);
    kelvoAdaptiveCacheSetCms(&value, cms);
}

/* --- admission ------------------------------------------------------------------------------------------- */

int kelvoEndpointFilter(kelvoEndpoint *ep, kelvoCms *sketch, const kelvoAdaptiveCacheOptions *opts, const char *key,
                        size_t len, uint64_t hash)
{
    kelvoAssert(ep != NULL && opts != NULL);
    kelvoCms *cms = sketch ? sketch : __atomic_load_n(&ep->cms, __ATOMIC_ACQUIRE);
    if (!cms)
        return 0;
    /* Settings checked when they were set; a magnitude that does not fit, or NaN, never reaches the rule. */
    kelvoAdmissionRule rule{opts->enabled != 0, opts->minEvents == INT32_MIN ? -INT32_MAX : opts->minEvents,
                            std::isnan(opts->minRatio) ? 5.0 : opts->minRatio, opts->formula == 0 ? 0u : 1u};
    return kelvoCmsAdmit(cms, &rule, key, len, hash);
}

bool kelvoPatternsAllowKey(const kelvoOptions *opts, const char *key, size_t len)
{
    auto anyMatch = [&](const zval *set, bool *some) {
        *some = false;
        if (Z_TYPE_P(set) != IS_ARRAY)
            return false;
        zend_string *pattern;
        zend_ulong index;
        ZEND_HASH_FOREACH_KEY(Z_ARRVAL_P(set), index, pattern)
        {
            *some = true;
            char digits[MAX_LENGTH_OF_LONG + 1];
            const char *text;
            size_t length;
            if (pattern) {
                text = ZSTR_VAL(pattern);
                length = ZSTR_LEN(pattern);
            } else {
                /* A pattern that reads as an integer became an integer key. */
                length = size_t(snprintf(digits, sizeof digits, ZEND_LONG_FMT, zend_long(index)));
                text = digits;
            }
            if (kelvoFnMatch(text, length, key, len) == 0)
                return true;
        }
        ZEND_HASH_FOREACH_END();
        return false;
    };
    bool some;
    if (!anyMatch(&opts->allowPatterns, &some) && some)
        return false;
    return !anyMatch(&opts->ignorePatterns, &some);
}

/* --- statistics ---------------------------------------------------------------------------------------------- */

void kelvoIncrSharedStats(uint64_t *out)
{
    kelvoAssert(kelvoSharedData != NULL);
    for (int index : foldedStats) {
        uint64_t &mine = KELVO_G(stats)[index];
        if (mine) {
            __atomic_fetch_add(&kelvoSharedData->stats[index], mine, __ATOMIC_RELAXED);
            mine = 0;
        }
    }
    if (out) {
        for (int i = 0; i < KELVO_SHARED_STATS; i++)
            out[i] = __atomic_load_n(&kelvoSharedData->stats[i], __ATOMIC_RELAXED);
    }
}

void kelvoStatsMethod(zval *return_value)
{
    uint64_t stats[KELVO_SHARED_STATS] = {};
    if (kelvoSharedData)
        kelvoIncrSharedStats(stats);
    zval usage, counters, memory, endpoints, hashes;
    usageArray(&usage);
    statsArray(&counters, stats);
    memoryArray(&memory);
    endpointsArray(&endpoints);
    array_init(&hashes);
    add_assoc_long(&hashes, "pid", zend_long(getpid()));
    char runid[36];
    kelvoFmtUuid(runid, KELVO_G(instance_id));
    add_assoc_stringl(&hashes, "runid", runid, sizeof runid);
    array_init(return_value);
    add_assoc_zval(return_value, "usage", &usage);
    add_assoc_zval(return_value, "stats", &counters);
    add_assoc_zval(return_value, "memory", &memory);
    add_assoc_zval(return_value, "endpoints", &endpoints);
    add_assoc_zval(return_value, "hashes", &hashes);
}

void kelvoPeriodicTick(uint64_t nowUsec)
{
    if (kelvoSharedData && nowUsec != 0 && !kelvoReader.active && kelvoPeriodicTasksDue(nowUsec))
        kelvoRunPeriodicTasks(nowUsec);
}

/* --- phpinfo ----------------------------------------------------------------------------------------------- */

void kelvoInfoTable(void)
{
    const kelvoCfgValsRecord &cfg = kelvoCfgVals;
    const char *policy = kelvoEvictionPolicyToText(kelvoEvictionPolicyFromInt(cfg.eviction_policy));
    if (cfg.prefault > KELVO_PREFAULT_TOUCH)
        kelvoPanic("Invalid prefault mode value %d", int(cfg.prefault));
    struct utsname names;
    const char *arch = uname(&names) == 0 ? names.machine : nullptr;
    kelvoAssert(arch != NULL);

    php_info_print_table_start();
    php_info_print_table_header(2, "Kelvo Support", "enabled");
    php_info_print_table_row(2, "Kelvo Version", PHP_KELVO_VERSION);
    bool arena = kelvoShArenaActive();
    infoRow("Available cache", "%zu", arena ? size_t(kelvoShSize() - kelvoShUsed()) : size_t(0));
    infoRow("Available serializers", "php%s%s%s", ", json",
            kelvoIgbinaryFns.serialize && kelvoIgbinaryFns.unserialize ? ", igbinary" : "",
            kelvoMsgpackFns.serialize && kelvoMsgpackFns.unserialize ? ", msgpack" : "");
    Appended compressors = {{0}, 0};
    appendCompressor(&compressors, "lzf");
    if (kelvoZSTDFns.versionNumber)
        appendCompressor(&compressors, "zstd");
    if (kelvoLZ4Fns.versionNumber)
        appendCompressor(&compressors, "lz4");
    php_info_print_table_row(2, "Available compression", compressors.text);
    infoRow("Allocator", "%s-%s%s", "kelvo", "mmap", "");
    php_info_print_table_row(2, "Build OS", PHP_OS);
    php_info_print_table_row(2, "Architecture", arch);
    php_info_print_table_row(2, "OpenSSL version", OPENSSL_VERSION_TEXT);
    /* Rows of settings fixed at start-up show what start-up made of them: the values in effect. */
    php_info_print_table_row(2, "kelvo.enabled", cfg.enabled ? "true" : "false");
    infoRow("kelvo.maxmemory", "%ld", long(cfg.enabled ? cfg.maxmemory : 0));
    infoRow("kelvo.maxmemory_pct", "%d", int(cfg.maxmemory_pct));
    php_info_print_table_row(2, "kelvo.eviction_policy", policy);
    infoRow("kelvo.eviction_sample_keys", "%lu", static_cast<unsigned long>(cfg.eviction_sample_keys));
    infoRow("kelvo.key_leases", "%u", cfg.key_leases);
    infoRow("kelvo.initial_readers", "%ld", long(cfg.initial_readers));
    php_info_print_table_row(2, "kelvo.prefault", kelvoPrefaultToText(cfg.prefault));
    infoRow("kelvo.reserve_maps", "%u", cfg.reserve_maps);
    infoRow("kelvo.invalidation_poll_freq", "%ld", long(cfg.invalidation_poll_freq));
    infoRow("kelvo.default_pconnect", "%d", cfg.default_pconnect ? 1 : 0);
    infoRow("kelvo.max_endpoint_dbs", "%d", int(cfg.max_endpoint_dbs));
    infoRow("kelvo.max_db_writers", "%d", int(cfg.max_db_writers));
    php_info_print_table_row(2, "kelvo.cap_endpoint_dbs", iniLong("kelvo.cap_endpoint_dbs") ? "On" : "Off");
    php_info_print_table_row(2, "kelvo.locks.allocator", kelvoLockTypeToString(cfg.allocator_lock));
    php_info_print_table_row(2, "kelvo.locks.cache", kelvoLockTypeToString(cfg.cache_lock));
    infoRow("kelvo.adaptive_cache.min_ratio", "%f", iniMinRatio());
    infoRow("kelvo.adaptive_cache.min_events", "%ld", long(iniMinEvents()));
    php_info_print_table_row(2, "kelvo.loglevel", kelvoLogLevelToText(cfg.log_level));
    php_info_print_table_row(2, "kelvo.logfile", iniText("kelvo.logfile"));
    php_info_print_table_row(2, "kelvo.session.compression", iniText("kelvo.session.compression"));
    infoRow("kelvo.session.compression_level", "%ld", long(iniLong("kelvo.session.compression_level")));
    infoRow("kelvo.session.locking_enabled", "%ld", long(iniLong("kelvo.session.locking_enabled")));
    infoRow("kelvo.session.lock_expire", "%ld", long(iniLong("kelvo.session.lock_expire")));
    infoRow("kelvo.session.lock_wait_time", "%ld", long(iniLong("kelvo.session.lock_wait_time")));
    php_info_print_table_end();
}

/* --- methods ---------------------------------------------------------------------------------------------- */

extern "C" {

ZEND_METHOD(Kelvo_AdaptiveCache, __construct) { ZEND_PARSE_PARAMETERS_NONE(); }

ZEND_METHOD(Kelvo_AdaptiveCache, loadFactor)
{
    zend_long depth = 1;
    ZEND_PARSE_PARAMETERS_START(0, 1)
    Z_PARAM_OPTIONAL
    Z_PARAM_LONG(depth)
    ZEND_PARSE_PARAMETERS_END();
    const kelvoCms *cms = thisObject(execute_data)->cms;
    if (!cms)
        RETURN_DOUBLE(0.0);
    kelvoCmsFoldReads();
    uint32_t rows = depth >= 1 && zend_ulong(depth) <= cms->depth ? uint32_t(depth) : cms->depth;
    uint64_t nonZero = kelvoCmsLoadFactor(cms, rows);
    RETURN_DOUBLE(double(nonZero) / (double(rows) * double(cms->width)) * 100.0);
}

ZEND_METHOD(Kelvo_AdaptiveCache, flush)
{
    bool async = true;
    ZEND_PARSE_PARAMETERS_START(0, 1)
    Z_PARAM_OPTIONAL
    Z_PARAM_BOOL(async)
    ZEND_PARSE_PARAMETERS_END();
    kelvoCms *cms = thisObject(execute_data)->cms;
    if (!cms)
        RETURN_FALSE;
    /* This process's reads so far belong to the period the flush ends. */
    kelvoCmsFoldReads();
    kelvoCmsFlush(cms, nowMicros());
    if (!async)
        kelvoCmsFlushStep(cms, UINT64_MAX);
    RETURN_TRUE;
}

ZEND_METHOD(Kelvo_AdaptiveCache, stats)
{
    zend_string *key;
    ZEND_PARSE_PARAMETERS_START(1, 1)
    Z_PARAM_STR(key)
    ZEND_PARSE_PARAMETERS_END();
    const kelvoCms *cms = thisObject(execute_data)->cms;
    if (!cms)
        RETURN_FALSE;
    uint64_t reads, writes;
    kelvoCmsKeyStats(cms, &reads, &writes, ZSTR_VAL(key), ZSTR_LEN(key));
    array_init(return_value);
    add_assoc_long(return_value, "reads", zend_long(reads));
    add_assoc_long(return_value, "writes", zend_long(writes));
}

ZEND_METHOD(Kelvo_AdaptiveCache, incrBy)
{
    zend_string *key;
    bool write;
    zend_long count;
    ZEND_PARSE_PARAMETERS_START(3, 3)
    Z_PARAM_STR(key)
    Z_PARAM_BOOL(write)
    Z_PARAM_LONG(count)
    ZEND_PARSE_PARAMETERS_END();
    kelvoCms *cms = thisObject(execute_data)->cms;
    if (!cms)
        RETURN_FALSE;
    if (count > 0) {
        kelvoCmsIndex idx;
        kelvoCmsDeriveHash(cms, &idx, kelvoCacheHash(ZSTR_VAL(key), ZSTR_LEN(key)));
        kelvoCmsIncrBy(cms, &idx, write ? KELVO_CMS_WRITES : KELVO_CMS_READS, uint64_t(count));
    }
    RETURN_TRUE;
}

ZEND_METHOD(Kelvo_AdaptiveCache, lastFlush)
{
    ZEND_PARSE_PARAMETERS_NONE();
    const kelvoCms *cms = thisObject(execute_data)->cms;
    RETURN_DOUBLE(cms ? double(__atomic_load_n(&cms->last_flush, __ATOMIC_RELAXED)) / 1e6 : 0.0);
}

ZEND_METHOD(Kelvo_Kelvo, stats)
{
    ZEND_PARSE_PARAMETERS_NONE();
    kelvoStatsMethod(return_value);
}

} // extern "C"
