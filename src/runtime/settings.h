/*
 * The start-up settings: the clamps that turn the kelvo.* directives read at
 * module start-up into kelvoCfgVals, the text forms of the enumerated
 * settings, and the usable-processor count that caps kelvo.max_endpoint_dbs.
 * Engine-free: module start-up reads the directives and hands the raw values
 * in; nothing here warns, it reports what deserves a warning instead.
 */
#ifndef KELVO_SETTINGS_H
#define KELVO_SETTINGS_H

#include "runtime/cfgvals.h"

#include <cstddef>
#include <cstdint>

/* Raw values of the directives module start-up reads, as the engine parsed them. */
struct kelvoRawSettings {
    int64_t maxmemory; /* kelvo.maxmemory as an engine quantity (k, m, g) */
    int64_t databases;
    int64_t maxmemory_pct;
    const char *eviction_policy;
    int64_t eviction_sample_keys;
    int64_t initial_readers;
    int64_t invalidation_poll_freq;
    const char *default_pconnect;
    const char *prefault;
    int64_t cap_endpoint_dbs;
    int64_t max_endpoint_dbs;
    int64_t max_db_writers;
    int64_t reserve_maps;
    int64_t key_leases;
};

/* Things worth a warning that kelvoClampSettings ran into (bit set). */
enum kelvoSettingsNote : uint32_t {
    KELVO_NOTE_BAD_PREFAULT = 1u << 0, /* "Invalid kelvo.prefault value '%s', using 'off'" */
    KELVO_NOTE_NO_CPUS = 1u << 1,      /* "Can't determine CPUs" */
};

constexpr uint64_t kelvoMinMaxmemory = 16777216;
constexpr uint64_t kelvoMaxDatabases = UINT32_MAX;
/* One epoch record per process inside a read section; more than this many is a typo, not a host. */
constexpr uint64_t kelvoMaxInitialReaders = 65536;
constexpr uint32_t kelvoMaxKeyLeases = 65535;
/* Cap on kelvo.max_endpoint_dbs when the processor count is not used or not known. */
constexpr int64_t kelvoDefaultCpuCap = 1024;

/*
 * Fills every clamped field of `out` from `raw` (log and lock fields are left
 * alone) and sets `initialized`. `cpuCount` is asked only when
 * kelvo.cap_endpoint_dbs is on. Returns the kelvoSettingsNote bits.
 */
uint32_t kelvoClampSettings(const kelvoRawSettings &raw, int64_t (*cpuCount)(void), kelvoCfgValsRecord *out);

/* A boolean directive the way the engine reads one: "on", "yes", "true" (any case) or a non-zero number. */
bool kelvoParseBool(const char *text);

/* "noeviction" 0, "lru" 1, "random" 2 (whole text, any case); -1 for anything else. */
int kelvoEvictionPolicyFromText(const char *text);
const char *kelvoEvictionPolicyToText(uint32_t policy);

/* Empty or "off" 0, "populate" 1, "touch" 2 (whole text, any case); -1 for anything else. */
int kelvoPrefaultFromText(const char *text);
const char *kelvoPrefaultToText(uint32_t mode);

const char *kelvoLogLevelToText(uint32_t level);

/*
 * Usable processors: the cgroup v2 or v1 CPU quota under `cgroupRoot`
 * (normally "/sys/fs/cgroup"), else the process's affinity mask; -1 when
 * neither can be read.
 */
int64_t kelvoGetCpuCountAt(const char *cgroupRoot);
int64_t kelvoGetCpuCount(void);

#endif
