// Admission and eviction as the module meets them, inside an engine that started it, against
// the harness's server: the key-pattern table of a client, the admission filter over reads
// and writes (writes reported by one or by eight forked workers count alike), and eviction
// driven by the periodic tasks under a fast and a paced fill, with noeviction.
#include <sched.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "client/adaptive.h"
#include "cache/cache.h"
#include "cache/cms.h"
#include "cache/evict.h"
#include "cache/keylease.h"
#include "cache/keys.h"
#include "client/object.h"
#include "runtime/kelvo.h"
#include "shm/epoch.h"
#include "shm/shared.h"
#include "shm/shmalloc.h"
#include "support/command_engine.h"
#include "support/shm_fork.h"

extern "C" {
#include "php_main.h"
}

namespace {

int startupWithKelvo(sapi_module_struct *sapi) { return php_module_startup(sapi, &kelvo_module_entry); }

const bool moduleLoaded = (php_embed_module.startup = startupWithKelvo, true);

std::string run(const std::string &code) { return runPhp(withHarnessEnv(code), "adaptive engine test"); }

robj *client(const char *name)
{
    return kelvoGetObjectZVal(zend_hash_str_find_deref(&EG(symbol_table), name, strlen(name)));
}

uint64_t wallMicros(void)
{
    struct timespec ts;
    clock_gettime(CLOCK_REALTIME, &ts);
    return uint64_t(ts.tv_sec) * 1000000 + uint64_t(ts.tv_nsec) / 1000;
}

struct AdaptiveEngine : ::testing::Test {
    void SetUp() override
    {
        ASSERT_TRUE(moduleLoaded);
        ASSERT_TRUE(kelvoCacheUsable());
    }
    void TearDown() override
    {
        EngineEnvironment::nextRequest();
        for (int i = 0; i < 16 && kelvoGlobalEpochPending() > 0; i++)
            kelvoGlobalEpochPoll();
    }
};

/* --- patterns ------------------------------------------------------------------------------ */

struct PatternCase {
    const char *setup; // PHP on $c
    std::string key;
    bool allowed;
};

class Patterns : public AdaptiveEngine, public ::testing::WithParamInterface<PatternCase> {};

TEST_P(Patterns, DecideWhatMayBeStored)
{
    const PatternCase &c = GetParam();
    ASSERT_EQ(run(std::string("$c = new Kelvo\\Kelvo(); ") + c.setup + " $out = 'ok';"), "ok");
    EXPECT_EQ(kelvoPatternsAllowKey(&client("c")->opts, c.key.data(), c.key.size()), c.allowed)
        << c.setup << " key " << c.key;
}

INSTANTIATE_TEST_SUITE_P(
    Adaptive, Patterns,
    ::testing::Values(
        PatternCase{"", "anything", true}, PatternCase{"$c->addAllowPatterns('user:*');", "user:1", true},
        PatternCase{"$c->addAllowPatterns('user:*');", "users:1", false},
        PatternCase{"$c->addAllowPatterns('user:*'); $c->addIgnorePatterns('user:tmp*');", "user:tmp1", false},
        PatternCase{"$c->addAllowPatterns('user:*'); $c->addIgnorePatterns('user:tmp*');", "user:2", true},
        PatternCase{"$c->addAllowPatterns('*');", "", true},
        PatternCase{"$c->setOption(Kelvo\\Kelvo::OPT_ALLOW_PATTERNS, []);", "x", true},
        PatternCase{"$c->addAllowPatterns('123');", "123", true},
        PatternCase{"$c->addAllowPatterns('123');", "1234", false},
        PatternCase{"$c->addIgnorePatterns('*secret');", std::string("a\0secret", 8), false},
        PatternCase{"$c->addAllowPatterns('public:*');", std::string("public:\0x", 9), true},
        PatternCase{"$c->addAllowPatterns('user:1');", std::string("user:1\0x", 8), false}));

/* --- admission -------------------------------------------------------------------------------- */

struct Admission : AdaptiveEngine {
    kelvoEndpoint *ep = nullptr;
    robj *ro = nullptr;
    void SetUp() override
    {
        AdaptiveEngine::SetUp();
        ASSERT_EQ(run("$c = new Kelvo\\Kelvo('127.0.0.1', ENV(KELVO_TEST_PORT)); "
                      "$c->setOption(Kelvo\\Kelvo::OPT_ADAPTIVE_CACHE, "
                      "['width' => 4096, 'depth' => 4, 'minEvents' => 10, 'minRatio' => 5.0]); "
                      "$out = $c->ping() ? $c->adaptiveCache->status : 'no ping';"),
                  "active");
        ro = client("c");
        ep = ro->link.ep;
        ASSERT_NE(ep, nullptr);
        ASSERT_NE(ep->cms, nullptr);
    }
    void read(const std::string &key, int times)
    {
        for (int i = 0; i < times; i++) {
            kelvoGlobalEpochBegin();
            kelvoCacheGetLen(ep, 0, key.data(), key.size());
            kelvoGlobalEpochEnd();
        }
    }
    /* The moment each write is reported at: a second after the last, so that all the reports of one
     * write fall in one window however slowly the workers run, and no two writes share one. */
    uint64_t writeMs = 100000;
    /* `writes` writes of the key, each invalidation received by `workers` long-lived processes. */
    void write(const std::string &key, int writes, int workers)
    {
        uint64_t first = writeMs;
        writeMs += uint64_t(writes) * 1000;
        auto *sync = static_cast<uint32_t *>(kelvoShCalloc(2, sizeof(uint32_t)));
        uint64_t hash = kelvoCacheHash(key.data(), key.size());
        std::vector<pid_t> children;
        for (int w = 0; w < workers; w++) {
            children.push_back(forkChild([&] {
                for (int i = 0; i < writes; i++) {
                    while (__atomic_load_n(&sync[0], __ATOMIC_ACQUIRE) != uint32_t(i))
                        sched_yield();
                    kelvoCmsCountWrite(ep->cms, hash, kelvoCmsReporter(), first + uint64_t(i) * 1000);
                    __atomic_fetch_add(&sync[1], 1, __ATOMIC_ACQ_REL);
                }
                return true;
            }));
        }
        for (int i = 0; i < writes; i++) {
            while (__atomic_load_n(&sync[1], __ATOMIC_ACQUIRE) != uint32_t((i + 1) * workers))
                sched_yield();
            __atomic_store_n(&sync[0], uint32_t(i + 1), __ATOMIC_RELEASE);
        }
        for (pid_t child : children)
            EXPECT_EQ(waitChild(child), 0);
        kelvoShFree(sync);
    }
    int filter(const std::string &key)
    {
        return kelvoEndpointFilter(ep, nullptr, &ro->opts.adaptiveCache, key.data(), key.size(),
                                   kelvoCacheHash(key.data(), key.size()));
    }
    std::pair<uint64_t, uint64_t> counts(const std::string &key)
    {
        uint64_t r, w;
        kelvoCmsKeyStats(ep->cms, &r, &w, key.data(), key.size());
        return {r, w};
    }
};

TEST_F(Admission, AHotKeyIsAdmittedAndAWriteHeavyOneFiltered)
{
    read("hot", 3);
    EXPECT_EQ(filter("hot"), 0) << "fewer than minEvents events store";
    read("hot", 60);
    write("hot", 3, 8);
    EXPECT_EQ(counts("hot"), std::make_pair(uint64_t(63), uint64_t(3)));
    EXPECT_EQ(filter("hot"), 0);

    read("heavy", 20);
    write("heavy", 10, 8);
    EXPECT_EQ(counts("heavy"), std::make_pair(uint64_t(20), uint64_t(10)));
    EXPECT_EQ(filter("heavy"), 1);
}

TEST_F(Admission, TheNumberOfWorkersDoesNotChangeTheCounts)
{
    read("one", 30);
    read("eight", 30);
    write("one", 6, 1);
    write("eight", 6, 8);
    EXPECT_EQ(counts("one"), counts("eight"));
    EXPECT_EQ(filter("one"), filter("eight"));
}

TEST_F(Admission, ADisabledRuleStoresWhateverTheCounts)
{
    read("cold", 1);
    write("cold", 20, 1);
    EXPECT_EQ(filter("cold"), 1);
    ASSERT_EQ(run("$c->setOption(Kelvo\\Kelvo::OPT_ADAPTIVE_CACHE, ['enabled' => false]); $out = 'ok';"), "ok");
    EXPECT_EQ(filter("cold"), 0);
}

/* --- eviction ----------------------------------------------------------------------------------- */

struct Eviction : AdaptiveEngine {
    robj *ro = nullptr;
    uint64_t now = 0;
    void SetUp() override
    {
        AdaptiveEngine::SetUp();
        ASSERT_EQ(run("$e = new Kelvo\\Kelvo('127.0.0.1', ENV(KELVO_TEST_PORT)); $out = $e->ping() ? 'ok' : 'no';"),
                  "ok");
        ro = client("e");
        ASSERT_NE(ro->link.rdb, nullptr);
        /* The link's holder keeps up with its invalidations, as one armed for the signal reader:
         * what the fills store stays servable however long they take (under ASan, on a busy
         * machine), so only the eviction rules decide what goes. */
        kelvoLeaseMarkArmed(ro->link.lease);
        now = wallMicros();
    }
    void TearDown() override
    {
        run("ini_set('kelvo.eviction_policy', 'noeviction');");
        kelvoEndpointFlushEx(ro->link.ep, -1);
        AdaptiveEngine::TearDown();
    }
    bool store(const std::string &key, size_t bytes, uint32_t atime)
    {
        rk *v = rkStringKeyAlloc(std::string(bytes, 'v').data(), bytes, KELVO_KEY_FULL);
        if (!v)
            return false;
        kelvoCacheEntry *e =
            kelvoCacheEntryCreate(key.data(), key.size(), v, ro->link.lease, kelvoLeaseToken(ro->link.lease));
        if (!e) {
            kelvoKeyFree(v);
            return false;
        }
        e->atime = atime;
        if (kelvoCacheEntryStore(ro->link.rdb, ro->link.db, e) == 0)
            return true;
        kelvoCacheEntryFree(e);
        return false;
    }
    bool cached(const std::string &key)
    {
        kelvoGlobalEpochBegin();
        bool hit = kelvoCacheGetLen(ro->link.ep, ro->link.db, key.data(), key.size()) != nullptr;
        kelvoGlobalEpochEnd();
        return hit;
    }
    /* The next run of the tasks, as request end would make it once the interval has passed. */
    void tick()
    {
        now += 100000;
        kelvoPeriodicTick(now);
    }
    uint64_t evicted() { return __atomic_load_n(&kelvoSharedData->tasks.evicted, __ATOMIC_RELAXED); }
};

TEST_F(Eviction, AFastFillIsBroughtBackBelowTheThresholdAndTheHotSetKeepsItsHits)
{
    ASSERT_EQ(run("ini_set('kelvo.eviction_policy', 'lru'); $out = ini_get('kelvo.eviction_policy');"), "lru");
    uint32_t second = uint32_t(time(nullptr));
    for (int i = 0; i < 100; i++)
        ASSERT_TRUE(store("hot:" + std::to_string(i), 512, second));
    uint64_t threshold = kelvoEvictionThreshold();
    int cold = 0;
    while (kelvoShUsed() < threshold + (kelvoShSize() - threshold) / 2 &&
           store("cold:" + std::to_string(cold), 512, second - 600))
        cold++;
    ASSERT_GE(kelvoShUsed(), threshold);
    tick();
    EXPECT_LT(kelvoShUsed(), threshold);
    EXPECT_LE(kelvoShUsed(), kelvoShSize());
    for (int i = 0; i < 100; i++)
        EXPECT_TRUE(cached("hot:" + std::to_string(i))) << i;
    EXPECT_LT(evicted(), uint64_t(cold));
}

TEST_F(Eviction, APacedFillHoldsTheThreshold)
{
    ASSERT_EQ(run("ini_set('kelvo.eviction_policy', 'random'); $out = 'ok';"), "ok");
    uint64_t threshold = kelvoEvictionThreshold();
    uint32_t second = uint32_t(time(nullptr));
    size_t batch = 0;
    /* Well past the threshold in total, whatever the arena held before. */
    for (int round = 0; round < 160; round++) {
        uint64_t before = kelvoShUsed();
        for (int i = 0; i < 200; i++)
            store("p:" + std::to_string(round) + ":" + std::to_string(i), 1024, second);
        batch = std::max<size_t>(batch, kelvoShUsed() > before ? kelvoShUsed() - before : 0);
        tick();
        ASSERT_LE(kelvoShUsed(), threshold + batch) << "round " << round;
    }
    EXPECT_GT(evicted(), 0u);
}

TEST_F(Eviction, NoevictionFillsWithoutEvictingAndReadsStillWork)
{
    uint64_t before = evicted();
    uint32_t second = uint32_t(time(nullptr));
    int stored = 0;
    while (store("n:" + std::to_string(stored), 2048, second))
        stored++;
    tick();
    EXPECT_EQ(evicted(), before);
    EXPECT_TRUE(cached("n:0"));
    EXPECT_TRUE(cached("n:" + std::to_string(stored - 1)));
    /* Entries that can never be served again are reclaimed all the same. */
    uint64_t full = kelvoShUsed();
    kelvoLeaseInvalidate(ro->link.lease);
    for (int i = 0; i < 20 && kelvoShUsed() >= kelvoEvictionThreshold(); i++)
        tick();
    EXPECT_LT(kelvoShUsed(), full);
    EXPECT_LT(kelvoShUsed(), kelvoEvictionThreshold());
}

} // namespace
