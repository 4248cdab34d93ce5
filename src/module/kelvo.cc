/*
 * The module's entry into the engine: the module entry, MINIT (registration
 * half on every call, set-up half once per process image), MSHUTDOWN, the
 * kelvo.* directives and their clamped copy in kelvoCfgVals, the globals'
 * constructor and destructor, and the interrupt hook. The globals themselves
 * are the runtime's (runtime/kelvo.cc).
 */
#include "runtime/kelvo.h"
#include "module/arena.h"
#include "module/request.h"
#include "runtime/cfgvals.h"
#include "client/adaptive.h"
#include "client/client.h"
#include "client/listeners.h"
#include "client/object.h"
#include "commands/commands.h" /* key types: the cases of Kelvo\KeyType */
#include "runtime/exception.h"
#include "link/pool.h"
#include "runtime/fatal.h"
#include "runtime/log.h"
#include "pack/pack.h"
#include "session/session.h"
#include "runtime/settings.h"
#include "sentinel/sentinel.h"
#include "shm/epoch.h"
#include "shm/shared.h"
#include "table/table_php.h"

extern "C" {
#include "SAPI.h"
#include "ext/standard/info.h"
#include "zend_enum.h"
#include "zend_exceptions.h"
}

#include <sys/time.h>
#include <unistd.h>

#include <cinttypes>
#include <cstdio>
#include <cstdlib>

#include "cluster/cluster.h"
#include "cluster/cluster_methods.h"
#include "cluster/fullscan.h"
#include "cluster/topology.h"
#include "stubs/kelvo_arginfo.h"

extern "C" {
#include "stubs/cluster_arginfo.h"
}

/* --- directives --------------------------------------------------------- */

static ZEND_INI_MH(OnUpdateEvictionPolicy)
{
    int policy = kelvoEvictionPolicyFromText(ZSTR_VAL(new_value));
    if (policy < 0)
        return FAILURE;
    kelvoCfgVals.eviction_policy = policy;
    return SUCCESS;
}

static ZEND_INI_MH(OnUpdatePollUsec)
{
    /* Before the set-up half the start-up clamp reads the directive itself. */
    if (!kelvoCfgVals.initialized)
        return SUCCESS;
    zend_long usec = ZEND_STRTOL(ZSTR_VAL(new_value), nullptr, 10);
    if (usec < 0)
        return FAILURE;
    kelvoCfgVals.invalidation_poll_freq = usec;
    return SUCCESS;
}

/*
 * Directives read only at start-up are PHP_INI_SYSTEM (three of them can
 * never change at all): changing them later would have no effect, so
 * ini_set() must not pretend it had.
 */
PHP_INI_BEGIN()
PHP_INI_ENTRY("kelvo.maxmemory", "16777216", 0, nullptr)
PHP_INI_ENTRY("kelvo.databases", "16", PHP_INI_SYSTEM, nullptr)
PHP_INI_ENTRY("kelvo.max_endpoint_dbs", "1", PHP_INI_SYSTEM, nullptr)
PHP_INI_ENTRY("kelvo.max_db_writers", "4", PHP_INI_SYSTEM, nullptr)
PHP_INI_ENTRY("kelvo.key_leases", "32", PHP_INI_SYSTEM, nullptr)
PHP_INI_ENTRY("kelvo.adaptive_cache.min_ratio", "5", PHP_INI_ALL, nullptr)
PHP_INI_ENTRY("kelvo.adaptive_cache.min_events", "10", PHP_INI_ALL, nullptr)
PHP_INI_ENTRY("kelvo.cap_endpoint_dbs", "1", PHP_INI_SYSTEM, nullptr)
PHP_INI_ENTRY("kelvo.maxmemory_pct", "95", PHP_INI_SYSTEM, nullptr)
PHP_INI_ENTRY("kelvo.eviction_policy", "noeviction", PHP_INI_ALL, OnUpdateEvictionPolicy)
PHP_INI_ENTRY("kelvo.eviction_sample_keys", "128", PHP_INI_SYSTEM, nullptr)
PHP_INI_ENTRY("kelvo.invalidation_poll_freq", "5", PHP_INI_ALL, OnUpdatePollUsec)
PHP_INI_ENTRY("kelvo.initial_readers", "128", PHP_INI_SYSTEM, nullptr)
PHP_INI_ENTRY("kelvo.prefault", "off", PHP_INI_SYSTEM, nullptr)
PHP_INI_ENTRY("kelvo.reserve_maps", "8", PHP_INI_SYSTEM, nullptr)
PHP_INI_ENTRY("kelvo.default_pconnect", "1", PHP_INI_SYSTEM, nullptr)
PHP_INI_ENTRY("kelvo.locks.allocator", "adaptive-mutex", PHP_INI_SYSTEM, nullptr)
PHP_INI_ENTRY("kelvo.locks.cache", "adaptive-mutex", PHP_INI_SYSTEM, nullptr)
PHP_INI_ENTRY("kelvo.loglevel", "none", 0, nullptr)
PHP_INI_ENTRY("kelvo.logfile", "", 0, nullptr)
PHP_INI_ENTRY("kelvo.cluster.seeds", "", PHP_INI_ALL, nullptr)
PHP_INI_ENTRY("kelvo.cluster.auth", "", PHP_INI_ALL, nullptr)
PHP_INI_ENTRY("kelvo.cluster.timeout", "", PHP_INI_ALL, nullptr)
PHP_INI_ENTRY("kelvo.cluster.read_timeout", "", PHP_INI_ALL, nullptr)
PHP_INI_ENTRY("kelvo.cluster.slot_cache_expiry", "", PHP_INI_ALL, nullptr)
PHP_INI_ENTRY("kelvo.cluster.shard_health_wait_time", "0", PHP_INI_ALL, nullptr)
PHP_INI_ENTRY("kelvo.session.compression", "none", PHP_INI_ALL, nullptr)
PHP_INI_ENTRY("kelvo.session.compression_level", "0", PHP_INI_ALL, nullptr)
PHP_INI_ENTRY("kelvo.session.locking_enabled", "0", PHP_INI_ALL, nullptr)
PHP_INI_ENTRY("kelvo.session.lock_expire", "0", PHP_INI_ALL, nullptr)
PHP_INI_ENTRY("kelvo.session.lock_retries", "0", PHP_INI_ALL, nullptr)
PHP_INI_ENTRY("kelvo.session.lock_wait_time", "0", PHP_INI_ALL, nullptr)
PHP_INI_END()

static zend_ini_entry *iniEntry(const char *name)
{
    return static_cast<zend_ini_entry *>(zend_hash_str_find_ptr(EG(ini_directives), name, strlen(name)));
}

static int64_t iniLong(const char *name) { return zend_ini_long(name, strlen(name), 0); }

static const char *iniText(const char *name) { return zend_ini_string(name, strlen(name), 0); }

/* kelvo.maxmemory as an engine quantity (k, m, g); the engine warns about malformed text. */
static int64_t iniMaxmemory(void)
{
    zend_ini_entry *entry = iniEntry("kelvo.maxmemory");
    if (!entry || !entry->value)
        return 0;
    return static_cast<int64_t>(zend_ini_parse_uquantity_warn(entry->value, entry->name));
}

struct NumericDirective {
    const char *name;
    int64_t kelvoRawSettings::*field;
};

static constexpr NumericDirective numericDirectives[] = {
    {"kelvo.databases", &kelvoRawSettings::databases},
    {"kelvo.maxmemory_pct", &kelvoRawSettings::maxmemory_pct},
    {"kelvo.eviction_sample_keys", &kelvoRawSettings::eviction_sample_keys},
    {"kelvo.initial_readers", &kelvoRawSettings::initial_readers},
    {"kelvo.invalidation_poll_freq", &kelvoRawSettings::invalidation_poll_freq},
    {"kelvo.cap_endpoint_dbs", &kelvoRawSettings::cap_endpoint_dbs},
    {"kelvo.max_endpoint_dbs", &kelvoRawSettings::max_endpoint_dbs},
    {"kelvo.max_db_writers", &kelvoRawSettings::max_db_writers},
    {"kelvo.reserve_maps", &kelvoRawSettings::reserve_maps},
    {"kelvo.key_leases", &kelvoRawSettings::key_leases},
};

static kelvoRawSettings readRawSettings(void)
{
    kelvoRawSettings raw{};
    raw.maxmemory = iniMaxmemory();
    for (const NumericDirective &directive : numericDirectives)
        raw.*directive.field = iniLong(directive.name);
    raw.eviction_policy = iniText("kelvo.eviction_policy");
    raw.default_pconnect = iniText("kelvo.default_pconnect");
    raw.prefault = iniText("kelvo.prefault");
    return raw;
}

/* Makes the directive show `text`; at start-up only, when nothing has modified it. */
static void showIniValue(const char *name, const char *text)
{
    zend_ini_entry *entry = iniEntry(name);
    if (!entry || entry->modified || (entry->value && zend_string_equals_cstr(entry->value, text, strlen(text))))
        return;
    zend_string *value = zend_string_init_interned(text, strlen(text), 1);
    if (entry->value)
        zend_string_release_ex(entry->value, 1);
    entry->value = value;
}

static void showIniNumber(const char *name, uint64_t number)
{
    char text[24];
    snprintf(text, sizeof text, "%" PRIu64, number);
    showIniValue(name, text);
}

/*
 * ini_get_all() and phpinfo() show the values in effect: the directives the
 * set-up half clamped show their clamped value.
 */
static void showClampedSettings(void)
{
    const kelvoCfgValsRecord &cfg = kelvoCfgVals;
    showIniNumber("kelvo.maxmemory", cfg.maxmemory);
    showIniNumber("kelvo.databases", cfg.databases);
    showIniNumber("kelvo.max_endpoint_dbs", cfg.max_endpoint_dbs);
    showIniNumber("kelvo.max_db_writers", cfg.max_db_writers);
    showIniNumber("kelvo.key_leases", cfg.key_leases);
    showIniNumber("kelvo.maxmemory_pct", cfg.maxmemory_pct);
    showIniValue("kelvo.eviction_policy", kelvoEvictionPolicyToText(cfg.eviction_policy));
    showIniNumber("kelvo.eviction_sample_keys", cfg.eviction_sample_keys);
    showIniNumber("kelvo.invalidation_poll_freq", cfg.invalidation_poll_freq);
    showIniNumber("kelvo.initial_readers", cfg.initial_readers);
    showIniValue("kelvo.prefault", kelvoPrefaultToText(cfg.prefault));
    showIniNumber("kelvo.reserve_maps", cfg.reserve_maps);
    showIniNumber("kelvo.default_pconnect", cfg.default_pconnect);
}

/* --- process helpers ---------------------------------------------------- */

/* Time-ordered: 48 bits of milliseconds, version 7, then random bytes with the variant bits. */
static void makeInstanceId(unsigned char *id, const struct timeval &now)
{
    uint64_t ms = static_cast<uint64_t>(now.tv_sec) * 1000 + now.tv_usec / 1000;
    for (int i = 0; i < 6; i++)
        id[i] = static_cast<unsigned char>(ms >> (40 - 8 * i));
    id[6] = static_cast<unsigned char>(0x70 | ((ms >> 8) & 0x0f));
    id[7] = static_cast<unsigned char>(ms);
    kelvoRandomBytes(id + 8, 8);
    id[8] = static_cast<unsigned char>((id[8] & 0x0f) | 0x80);
}

void kelvoInterruptFunction(zend_execute_data *execute_data)
{
    kelvoListenersInterrupt();
    if (orig_interrupt_function)
        orig_interrupt_function(execute_data);
}

/* Installed once per process image: a second MINIT must not save our own hook as the one to chain to. */
static void installInterruptHook(void)
{
    if (zend_interrupt_function == kelvoInterruptFunction)
        return;
    orig_interrupt_function = zend_interrupt_function;
    zend_interrupt_function = kelvoInterruptFunction;
}

/* The module's code may be unloaded after MSHUTDOWN: the engine must not call into it. */
static void restoreInterruptHook(void)
{
    if (zend_interrupt_function == kelvoInterruptFunction)
        zend_interrupt_function = orig_interrupt_function;
    orig_interrupt_function = nullptr;
}

/* --- classes ------------------------------------------------------------ */

static void registerClientClasses(void)
{
    kelvoRegisterClientClasses();
    kelvoRegisterObjectHandlers();
    kelvo_sentinel_ce = kelvoRegisterSentinelClass();
    kelvoRegisterTableClasses();
    kelvo_cluster_ce = register_class_Kelvo_Cluster();
    kelvoAddMethodAttributes(kelvo_cluster_ce, kelvoClusterMethodAttributes, kelvoClusterMethodAttributeCount);
    kelvoClusterRegisterObjectHandlers();
    kelvo_cluster_fullscan_generator_ce =
        kelvoRegisterGeneratorSubclass(register_class_Kelvo_Cluster_FullscanGenerator);
    kelvoClusterRegisterFullscanGenerator(kelvo_cluster_fullscan_generator_ce);
    kelvoAdaptiveCacheRegister();
}

zend_class_entry *kelvoRegisterExceptionClass(void)
{
    auto *parent =
        static_cast<zend_class_entry *>(zend_hash_str_find_ptr(CG(class_table), ZEND_STRL("runtimeexception")));
    kelvo_exception_ce = register_class_Kelvo_Exception(parent ? parent : zend_ce_exception);
    return kelvo_exception_ce;
}

/* --- module hooks ------------------------------------------------------- */

static void warnSettingsNotes(uint32_t notes)
{
    if (notes & KELVO_NOTE_BAD_PREFAULT)
        php_error_docref(nullptr, E_WARNING, "Invalid kelvo.prefault value '%s', using 'off'",
                         iniText("kelvo.prefault"));
    if (notes & KELVO_NOTE_NO_CPUS)
        php_error_docref(nullptr, E_WARNING, "Can't determine CPUs");
}

static zend_result registrationHalf(int type, int module_number)
{
    struct timeval now;
    gettimeofday(&now, nullptr);
    srand(static_cast<uint32_t>(now.tv_sec) * static_cast<uint32_t>(now.tv_usec));
    makeInstanceId(KELVO_G(instance_id), now);
    kelvoRandomBytes(KELVO_G(socket_salt), sizeof KELVO_G(socket_salt));

    registerClientClasses();
    kelvoCrashHandlersInstall();
    kelvoLifecycleStartup();
    kelvoPoolStartup(module_number);
    kelvoClusterRegisterSlotCache(module_number);
    kelvoRegisterEventClasses();
    kelvoRegisterExceptionClass();
    if (kelvoSessionRegister() != SUCCESS)
        php_error_docref(nullptr, E_WARNING, "Can't register the kelvo session save handler");
    kelvo_keytype_ce = register_class_Kelvo_KeyType();

    REGISTER_INI_ENTRIES();
    if (kelvoCfgVals.initialized)
        showClampedSettings();

    kelvoPackStartup();

    installInterruptHook();
    return SUCCESS;
}

static zend_result setupHalf(void)
{
    kelvoLogSetup(iniText("kelvo.loglevel"), iniText("kelvo.logfile"));

    warnSettingsNotes(kelvoClampSettings(readRawSettings(), kelvoGetCpuCount, &kelvoCfgVals));
    kelvoCfgVals.allocator_lock = kelvoCfgLockType("kelvo.locks.allocator");
    kelvoCfgVals.cache_lock = kelvoCfgLockType("kelvo.locks.cache");
    showClampedSettings();

    if (kelvoSharedStartup() != 0)
        return FAILURE;
    /* The global invalidation reader is set up here. */
    kelvoAdaptiveKernelsInit();
    kelvoLogNotice("%s:%d STARTUP - Kelvo has started...", KELVO_LOG_SITE);
    return SUCCESS;
}

static PHP_MINIT_FUNCTION(kelvo)
{
    if (registrationHalf(type, module_number) != SUCCESS)
        return FAILURE;
    if (kelvoStartupPID)
        return SUCCESS;
    kelvoStartupPID = getpid();
    return setupHalf();
}

static bool isCommandLineSapi(void) { return sapi_module.name && strncasecmp(sapi_module.name, "cli", 3) == 0; }

static PHP_MSHUTDOWN_FUNCTION(kelvo)
{
    if (isCommandLineSapi() && getpid() == kelvoStartupPID) {
        kelvoLogNotice("%s:%d MSHUTDOWN - Kelvo is shutting down, bye bye", KELVO_LOG_SITE);
        /*
         * Only this process's mapping is dropped: nothing inside the arena is
         * freed or cleared, because children the script forked may still be
         * running on the root, the table and the heap.
         */
        kelvoSharedShutdown();
        /* This process's state outside the arena: compressor contexts and libraries. */
        kelvoPackShutdown();
    }
    UNREGISTER_INI_ENTRIES();
    restoreInterruptHook();
    kelvoCrashHandlersRestore();
    kelvoLogTeardown();
    return SUCCESS;
}

static PHP_RINIT_FUNCTION(kelvo) { return kelvoRequestStartup() == SUCCESS ? SUCCESS : FAILURE; }

static PHP_RSHUTDOWN_FUNCTION(kelvo)
{
    /* The session module writes the open session after this hook; written here first, it still
     * finds its handler's links before the request-end duties. */
    kelvoSessionFlushAtRequestEnd();
    return kelvoRequestShutdown() == SUCCESS ? SUCCESS : FAILURE;
}

/* After every module's RSHUTDOWN (a session handler may still write through a link) and the objects' release. */
static zend_result kelvoPostDeactivate(void) { return kelvoRequestPostDeactivate() == SUCCESS ? SUCCESS : FAILURE; }

static PHP_MINFO_FUNCTION(kelvo)
{
    kelvoInfoTable();
    DISPLAY_INI_ENTRIES();
}

static PHP_GINIT_FUNCTION(kelvo)
{
    memset(kelvo_globals, 0, sizeof *kelvo_globals);
    kelvo_globals->start_time = time(nullptr);
    zend_hash_init(&kelvo_globals->plinks, 8, nullptr, pefreeZValPtr, 1);
    zend_hash_init(&kelvo_globals->endpoint_dbs, 8, nullptr, pefreeZValPtr, 1);
}

static PHP_GSHUTDOWN_FUNCTION(kelvo)
{
    kelvoGlobalsShutdown = 1;
    zend_hash_destroy(&kelvo_globals->plinks);
    zend_hash_destroy(&kelvo_globals->endpoint_dbs);
}

static const zend_module_dep kelvo_deps[] = {ZEND_MOD_OPTIONAL("igbinary") ZEND_MOD_OPTIONAL("msgpack") ZEND_MOD_END};

zend_module_entry kelvo_module_entry = {
    STANDARD_MODULE_HEADER_EX,
    nullptr,
    kelvo_deps,
    "kelvo",
    nullptr,
    PHP_MINIT(kelvo),
    PHP_MSHUTDOWN(kelvo),
    PHP_RINIT(kelvo),
    PHP_RSHUTDOWN(kelvo),
    PHP_MINFO(kelvo),
    PHP_KELVO_VERSION,
    PHP_MODULE_GLOBALS(kelvo),
    PHP_GINIT(kelvo),
    PHP_GSHUTDOWN(kelvo),
    kelvoPostDeactivate,
    STANDARD_MODULE_PROPERTIES_EX,
};

extern "C" {
ZEND_GET_MODULE(kelvo)
}
