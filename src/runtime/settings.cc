/* Clamps of the start-up settings and the usable-processor count. */
#include "runtime/settings.h"

#include <sched.h>
#include <strings.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

template <typename T>
static T clampInto(int64_t value, int64_t low, int64_t high)
{
    return static_cast<T>(std::min(std::max(value, low), high));
}

static bool textIs(const char *text, const char *word) { return text && strcasecmp(text, word) == 0; }

bool kelvoParseBool(const char *text)
{
    if (!text)
        return false;
    if (textIs(text, "true") || textIs(text, "yes") || textIs(text, "on"))
        return true;
    return strtoll(text, nullptr, 10) != 0;
}

static constexpr const char *evictionPolicyNames[] = {"noeviction", "lru", "random"};
static constexpr const char *prefaultNames[] = {"off", "populate", "touch"};
static constexpr const char *logLevelNames[] = {"debug", "notice", "warning", "error", "none"};

template <size_t N>
static int indexOfName(const char *const (&names)[N], const char *text)
{
    for (size_t i = 0; i < N; i++)
        if (textIs(text, names[i]))
            return static_cast<int>(i);
    return -1;
}

template <size_t N>
static const char *nameAt(const char *const (&names)[N], uint32_t index)
{
    return index < N ? names[index] : nullptr;
}

int kelvoEvictionPolicyFromText(const char *text) { return indexOfName(evictionPolicyNames, text); }

const char *kelvoEvictionPolicyToText(uint32_t policy) { return nameAt(evictionPolicyNames, policy); }

int kelvoPrefaultFromText(const char *text)
{
    if (!text || !*text)
        return KELVO_PREFAULT_OFF;
    return indexOfName(prefaultNames, text);
}

const char *kelvoPrefaultToText(uint32_t mode) { return nameAt(prefaultNames, mode); }

const char *kelvoLogLevelToText(uint32_t level) { return nameAt(logLevelNames, level); }

uint32_t kelvoClampSettings(const kelvoRawSettings &raw, int64_t (*cpuCount)(void), kelvoCfgValsRecord *out)
{
    uint32_t notes = 0;

    out->enabled = raw.maxmemory > 0;
    out->maxmemory = out->enabled ? std::max<uint64_t>(raw.maxmemory, kelvoMinMaxmemory) : 0;
    /* Held in 32 bits: anything above must saturate, not wrap (2^32 would give 0 databases). */
    out->databases = clampInto<uint32_t>(raw.databases, 1, kelvoMaxDatabases);
    out->maxmemory_pct = clampInto<uint32_t>(raw.maxmemory_pct, 50, 100);
    int policy = kelvoEvictionPolicyFromText(raw.eviction_policy);
    out->eviction_policy = policy < 0 ? uint32_t{KELVO_EVICTION_NONE} : policy;
    out->eviction_sample_keys = clampInto<uint64_t>(raw.eviction_sample_keys, 128, 256);
    out->initial_readers = clampInto<uint64_t>(raw.initial_readers, 32, kelvoMaxInitialReaders);
    out->invalidation_poll_freq = std::max<int64_t>(raw.invalidation_poll_freq, 0);
    out->default_pconnect = kelvoParseBool(raw.default_pconnect);

    int prefault = kelvoPrefaultFromText(raw.prefault);
    if (prefault < 0) {
        notes |= KELVO_NOTE_BAD_PREFAULT;
        prefault = KELVO_PREFAULT_OFF;
    }
    out->prefault = prefault;

    int64_t cpuCap = kelvoDefaultCpuCap;
    if (raw.cap_endpoint_dbs != 0) {
        cpuCap = cpuCount();
        if (cpuCap < 1) {
            notes |= KELVO_NOTE_NO_CPUS;
            cpuCap = kelvoDefaultCpuCap;
        }
    }
    out->max_endpoint_dbs = raw.max_endpoint_dbs < 1 ? 1 : clampInto<uint32_t>(raw.max_endpoint_dbs, 1, cpuCap);
    out->max_db_writers = clampInto<uint32_t>(raw.max_db_writers, 1, 1024);
    out->reserve_maps = clampInto<uint32_t>(raw.reserve_maps, 0, 128);
    out->key_leases = clampInto<uint32_t>(raw.key_leases, out->max_db_writers, kelvoMaxKeyLeases);
    out->initialized = 1;
    return notes;
}

/* First line of a small file, or empty when it cannot be read. */
static std::string readLine(const std::string &path)
{
    FILE *fp = fopen(path.c_str(), "r");
    if (!fp)
        return {};
    char line[128] = {0};
    if (!fgets(line, sizeof line - 1, fp))
        line[0] = '\0';
    fclose(fp);
    return line;
}

static bool readLong(const std::string &path, long *value)
{
    std::string line = readLine(path);
    return !line.empty() && sscanf(line.c_str(), "%ld", value) == 1;
}

static int64_t quotaCpus(long quota, long period) { return std::max<int64_t>(1, quota / period); }

int64_t kelvoGetCpuCountAt(const char *cgroupRoot)
{
    std::string root = cgroupRoot;
    if (access((root + "/cgroup.controllers").c_str(), F_OK) == 0) {
        std::string line = readLine(root + "/cpu.max");
        long quota = 0, period = 0;
        if (line.compare(0, 3, "max") != 0 && sscanf(line.c_str(), "%ld %ld", &quota, &period) == 2 && quota > 0 &&
            period > 0)
            return quotaCpus(quota, period);
    } else {
        long quota = 0, period = 0;
        if (readLong(root + "/cpu/cpu.cfs_quota_us", &quota) && readLong(root + "/cpu/cpu.cfs_period_us", &period) &&
            quota > 0 && period > 0)
            return quotaCpus(quota, period);
    }

    cpu_set_t set;
    CPU_ZERO(&set);
    if (sched_getaffinity(0, sizeof set, &set) != 0)
        return -1;
    return CPU_COUNT(&set);
}

int64_t kelvoGetCpuCount(void) { return kelvoGetCpuCountAt("/sys/fs/cgroup"); }
