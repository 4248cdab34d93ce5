// Start-up clamps, the text forms of the settings and the usable-processor count.
#include <gtest/gtest.h>

#include "runtime/settings.h"

#include <unistd.h>

#include <cctype>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

namespace {

kelvoRawSettings defaults() { return {16777216, 16, 95, "noeviction", 128, 128, 5, "1", "off", 1, 1, 4, 8, 32}; }

int64_t cpus = 8;
int64_t cpuCount(void) { return cpus; }

kelvoCfgValsRecord clamp(const kelvoRawSettings &raw, uint32_t *notes = nullptr)
{
    kelvoCfgValsRecord cfg{};
    uint32_t n = kelvoClampSettings(raw, cpuCount, &cfg);
    if (notes)
        *notes = n;
    return cfg;
}

} // namespace

TEST(Settings, DefaultsPassThrough)
{
    cpus = 8;
    uint32_t notes = 1;
    kelvoCfgValsRecord cfg = clamp(defaults(), &notes);
    EXPECT_EQ(notes, 0u);
    EXPECT_EQ(cfg.enabled, 1u);
    EXPECT_EQ(cfg.maxmemory, 16777216u);
    EXPECT_EQ(cfg.databases, 16u);
    EXPECT_EQ(cfg.maxmemory_pct, 95u);
    EXPECT_EQ(cfg.eviction_policy, KELVO_EVICTION_NONE);
    EXPECT_EQ(cfg.eviction_sample_keys, 128u);
    EXPECT_EQ(cfg.initial_readers, 128u);
    EXPECT_EQ(cfg.invalidation_poll_freq, 5u);
    EXPECT_EQ(cfg.default_pconnect, 1u);
    EXPECT_EQ(cfg.prefault, KELVO_PREFAULT_OFF);
    EXPECT_EQ(cfg.max_endpoint_dbs, 1u);
    EXPECT_EQ(cfg.max_db_writers, 4u);
    EXPECT_EQ(cfg.reserve_maps, 8u);
    EXPECT_EQ(cfg.key_leases, 32u);
    EXPECT_EQ(cfg.initialized, 1u);
}

struct NumericClamp {
    const char *name;
    int64_t kelvoRawSettings::*field;
    int64_t raw;
    uint64_t expected;
    uint64_t (*read)(const kelvoCfgValsRecord &);
};

#define CFG(f) [](const kelvoCfgValsRecord &c) -> uint64_t { return c.f; }

class NumericClamps : public testing::TestWithParam<NumericClamp> {};

TEST_P(NumericClamps, ClampsIntoRange)
{
    cpus = 8;
    const NumericClamp &c = GetParam();
    kelvoRawSettings raw = defaults();
    raw.*c.field = c.raw;
    EXPECT_EQ(c.read(clamp(raw)), c.expected) << c.name << " = " << c.raw;
}

INSTANTIATE_TEST_SUITE_P(
    Settings, NumericClamps,
    testing::Values(
        NumericClamp{"maxmemory 1M is raised", &kelvoRawSettings::maxmemory, 1 << 20, 16777216, CFG(maxmemory)},
        NumericClamp{"maxmemory above the floor", &kelvoRawSettings::maxmemory, 16777217, 16777217, CFG(maxmemory)},
        NumericClamp{"maxmemory 0 is off", &kelvoRawSettings::maxmemory, 0, 0, CFG(maxmemory)},
        NumericClamp{"maxmemory negative is off", &kelvoRawSettings::maxmemory, -1, 0, CFG(enabled)},
        NumericClamp{"databases 0", &kelvoRawSettings::databases, 0, 1, CFG(databases)},
        NumericClamp{"databases 2^32 saturates", &kelvoRawSettings::databases, int64_t{1} << 32, UINT32_MAX,
                     CFG(databases)},
        NumericClamp{"databases 2^33", &kelvoRawSettings::databases, int64_t{1} << 33, UINT32_MAX, CFG(databases)},
        NumericClamp{"maxmemory_pct low", &kelvoRawSettings::maxmemory_pct, 10, 50, CFG(maxmemory_pct)},
        NumericClamp{"maxmemory_pct high", &kelvoRawSettings::maxmemory_pct, 150, 100, CFG(maxmemory_pct)},
        NumericClamp{"eviction_sample_keys low", &kelvoRawSettings::eviction_sample_keys, 1, 128,
                     CFG(eviction_sample_keys)},
        NumericClamp{"eviction_sample_keys high", &kelvoRawSettings::eviction_sample_keys, 999, 256,
                     CFG(eviction_sample_keys)},
        NumericClamp{"initial_readers low", &kelvoRawSettings::initial_readers, 0, 32, CFG(initial_readers)},
        NumericClamp{"initial_readers bounded", &kelvoRawSettings::initial_readers, INT64_MAX, kelvoMaxInitialReaders,
                     CFG(initial_readers)},
        NumericClamp{"poll freq negative", &kelvoRawSettings::invalidation_poll_freq, -1, 0,
                     CFG(invalidation_poll_freq)},
        NumericClamp{"max_endpoint_dbs 0", &kelvoRawSettings::max_endpoint_dbs, 0, 1, CFG(max_endpoint_dbs)},
        NumericClamp{"max_endpoint_dbs capped by CPUs", &kelvoRawSettings::max_endpoint_dbs, 64, 8,
                     CFG(max_endpoint_dbs)},
        NumericClamp{"max_db_writers 0", &kelvoRawSettings::max_db_writers, 0, 1, CFG(max_db_writers)},
        NumericClamp{"max_db_writers high", &kelvoRawSettings::max_db_writers, 5000, 1024, CFG(max_db_writers)},
        NumericClamp{"reserve_maps negative", &kelvoRawSettings::reserve_maps, -3, 0, CFG(reserve_maps)},
        NumericClamp{"reserve_maps high", &kelvoRawSettings::reserve_maps, 1000, 128, CFG(reserve_maps)},
        NumericClamp{"key_leases below writers", &kelvoRawSettings::key_leases, 2, 4, CFG(key_leases)},
        NumericClamp{"key_leases high", &kelvoRawSettings::key_leases, 100000, 65535, CFG(key_leases)}),
    [](const testing::TestParamInfo<NumericClamp> &info) {
        std::string name;
        for (const char *p = info.param.name; *p; p++)
            name += isalnum(static_cast<unsigned char>(*p)) ? *p : '_';
        return name;
    });

TEST(Settings, CpuCapAppliesOnlyWhenAsked)
{
    kelvoRawSettings raw = defaults();
    raw.max_endpoint_dbs = 8;
    cpus = 1;
    EXPECT_EQ(clamp(raw).max_endpoint_dbs, 1u);
    raw.cap_endpoint_dbs = 0;
    EXPECT_EQ(clamp(raw).max_endpoint_dbs, 8u);
}

TEST(Settings, UnknownCpuCountWarnsAndCapsAt1024)
{
    kelvoRawSettings raw = defaults();
    raw.max_endpoint_dbs = 5000;
    cpus = -1;
    uint32_t notes = 0;
    EXPECT_EQ(clamp(raw, &notes).max_endpoint_dbs, 1024u);
    EXPECT_EQ(notes, uint32_t{KELVO_NOTE_NO_CPUS});
}

TEST(Settings, TextSettings)
{
    struct Case {
        const char *pconnect;
        uint32_t expected;
    };
    // The engine's ini parser turns off/no/false into "" and on/yes/true into "1".
    for (Case c : {Case{"1", 1}, Case{"", 0}, Case{"0", 0}, Case{"off", 0}, Case{"no", 0}, Case{"false", 0},
                   Case{"On", 1}, Case{"yes", 1}, Case{"TRUE", 1}, Case{"2", 1}, Case{nullptr, 0}}) {
        kelvoRawSettings raw = defaults();
        raw.default_pconnect = c.pconnect;
        EXPECT_EQ(clamp(raw).default_pconnect, c.expected) << (c.pconnect ? c.pconnect : "(null)");
    }

    kelvoRawSettings raw = defaults();
    raw.eviction_policy = "LRU";
    EXPECT_EQ(clamp(raw).eviction_policy, KELVO_EVICTION_LRU);
    raw.eviction_policy = "random";
    EXPECT_EQ(clamp(raw).eviction_policy, KELVO_EVICTION_RANDOM);

    uint32_t notes = 0;
    raw.prefault = "Populate";
    EXPECT_EQ(clamp(raw, &notes).prefault, KELVO_PREFAULT_POPULATE);
    raw.prefault = "touch";
    EXPECT_EQ(clamp(raw, &notes).prefault, KELVO_PREFAULT_TOUCH);
    raw.prefault = "";
    EXPECT_EQ(clamp(raw, &notes).prefault, KELVO_PREFAULT_OFF);
    EXPECT_EQ(notes, 0u);
    raw.prefault = "touchy";
    EXPECT_EQ(clamp(raw, &notes).prefault, KELVO_PREFAULT_OFF);
    EXPECT_EQ(notes, uint32_t{KELVO_NOTE_BAD_PREFAULT});
}

TEST(Settings, TextForms)
{
    EXPECT_STREQ(kelvoEvictionPolicyToText(KELVO_EVICTION_RANDOM), "random");
    EXPECT_EQ(kelvoEvictionPolicyToText(3), nullptr);
    EXPECT_EQ(kelvoEvictionPolicyFromText("lruish"), -1);
    EXPECT_STREQ(kelvoPrefaultToText(KELVO_PREFAULT_POPULATE), "populate");
    EXPECT_STREQ(kelvoLogLevelToText(KELVO_LL_NONE), "none");
}

class CpuCount : public testing::Test {
  protected:
    std::filesystem::path root;

    void SetUp() override
    {
        char tmpl[] = "/tmp/kelvo-cgroup-XXXXXX";
        root = mkdtemp(tmpl);
    }
    void TearDown() override { std::filesystem::remove_all(root); }

    void write(const std::string &name, const std::string &text)
    {
        std::filesystem::create_directories((root / name).parent_path());
        std::ofstream(root / name) << text;
    }
    int64_t count() { return kelvoGetCpuCountAt(root.c_str()); }
    static int64_t affinity() { return kelvoGetCpuCountAt("/nonexistent"); }
};

TEST_F(CpuCount, CgroupV2Quota)
{
    write("cgroup.controllers", "cpu io\n");
    write("cpu.max", "150000 100000\n");
    EXPECT_EQ(count(), 1);
    write("cpu.max", "400000 100000\n");
    EXPECT_EQ(count(), 4);
    write("cpu.max", "50000 100000\n");
    EXPECT_EQ(count(), 1);
}

TEST_F(CpuCount, CgroupV2WithoutQuotaFallsBackToAffinity)
{
    write("cgroup.controllers", "cpu\n");
    write("cpu.max", "max 100000\n");
    EXPECT_EQ(count(), affinity());
    write("cpu.max", "garbage\n");
    EXPECT_EQ(count(), affinity());
}

TEST_F(CpuCount, CgroupV1Quota)
{
    write("cpu/cpu.cfs_quota_us", "300000\n");
    write("cpu/cpu.cfs_period_us", "100000\n");
    EXPECT_EQ(count(), 3);
    write("cpu/cpu.cfs_quota_us", "-1\n");
    EXPECT_EQ(count(), affinity());
}

TEST_F(CpuCount, AffinityCountsUsableProcessors)
{
    EXPECT_GE(affinity(), 1);
    EXPECT_LE(affinity(), sysconf(_SC_NPROCESSORS_CONF));
}
