// An arena with the root's cache parts built, as module start-up leaves it, for the
// engine-free cache tests; settings from a table each test can change first.
#ifndef KELVO_TEST_CACHE_FIXTURE_H
#define KELVO_TEST_CACHE_FIXTURE_H

#include <gtest/gtest.h>

#include <ctime>
#include <string>

#include "cache/cache.h"
#include "cache/keylease.h"
#include "cache/keys.h"
#include "runtime/cfgvals.h"
#include "shm/epoch.h"
#include "shm/shared.h"
#include "shm/shmalloc.h"

struct CacheSettings {
    uint64_t arena = 32 << 20;
    uint32_t databases = 4;
    uint32_t writers = 4;
    uint32_t endpointDbs = 1;
    uint32_t leases = 32;
    uint32_t reserveMaps = 8;
    uint32_t readers = 64;
    uint32_t lockKind = KELVO_LOCK_ADAPTIVE_MUTEX;
};

/* Builds the arena and root in SetUp from `settings` (change it in the test's constructor). */
struct CacheArena : ::testing::Test {
    CacheSettings settings;
    kelvoCfgValsRecord savedCfg = kelvoCfgVals;
    uint32_t reserveMade = 0;

    void SetUp() override
    {
        kelvoCfgVals.enabled = 1;
        kelvoCfgVals.initialized = 1;
        kelvoCfgVals.databases = settings.databases;
        kelvoCfgVals.max_db_writers = settings.writers;
        kelvoCfgVals.max_endpoint_dbs = settings.endpointDbs;
        kelvoCfgVals.key_leases = settings.leases;
        kelvoCfgVals.reserve_maps = settings.reserveMaps;
        kelvoCfgVals.initial_readers = settings.readers;
        kelvoCfgVals.cache_lock = settings.lockKind;
        ASSERT_EQ(kelvoShInitEx(settings.arena, KELVO_PREFAULT_OFF, KELVO_LOCK_ADAPTIVE_MUTEX), 0);
        ASSERT_EQ(kelvoInitSharedCache(), 0);
        ASSERT_EQ(kelvoCacheInitRoot(&reserveMade), 0);
        kelvoMapSetSeed(kelvoCache()->seed);
        kelvoReader = {};
        ASSERT_EQ(kelvoGlobalEpochInit(), 0);
    }
    void TearDown() override
    {
        kelvoGlobalEpochRelease();
        kelvoSharedData = nullptr;
        kelvoShDestroy();
        kelvoCfgVals = savedCfg;
    }

    /*
     * Blocks in use: what balances when everything allocated is freed again (byte counts do
     * not, as a block may keep a leftover too small to split off).
     */
    static uint64_t liveBlocks()
    {
        uint64_t live = 0;
        const kelvoShArena *a = kelvoShArenaPtr;
        for (const char *at = reinterpret_cast<const char *>(a->first); at < a->curr;) {
            auto *h = reinterpret_cast<const kelvoTreeNode *>(at);
            live += kelvoTreeIsFree(h) ? 0 : 1;
            at += KELVO_SH_HEADER + kelvoTreeSize(h);
        }
        return live;
    }

    /* Frees what was retired: no reader is inside a section any more. */
    static void drainRetired()
    {
        for (int i = 0; i < 16 && kelvoGlobalEpochPending() > 0; i++)
            kelvoGlobalEpochPoll();
    }

    /*
     * A writer that keeps up with its invalidations, as one whose link is armed for the signal
     * reader: what it stores stays servable however long the test takes on a busy machine. The
     * drain bound itself is tested by setting the slot's drain time by hand.
     */
    static rdb *attach(kelvoEndpoint *ep, uint16_t *lease)
    {
        rdb *set = nullptr;
        EXPECT_EQ(kelvoCacheAttach(ep, lease, &set), KELVO_ATTACH_DONE);
        kelvoLeaseMarkArmed(*lease);
        return set;
    }

    /* An entry of a string value equal to `value`, stored under the lease's current generation. */
    static kelvoCacheEntry *entry(const std::string &key, const std::string &value, uint16_t lease)
    {
        rk *v = rkStringKeyAlloc(value.data(), value.size(), KELVO_KEY_FULL);
        if (!v)
            return nullptr;
        kelvoCacheEntry *e = kelvoCacheEntryCreate(key.data(), key.size(), v, lease, kelvoLeaseToken(lease));
        if (!e)
            kelvoKeyFree(v);
        return e;
    }

    static bool store(rdb *set, uint32_t db, const std::string &key, const std::string &value, uint16_t lease)
    {
        kelvoCacheEntry *e = entry(key, value, lease);
        if (!e)
            return false;
        if (kelvoCacheEntryStore(set, db, e) == 0)
            return true;
        kelvoCacheEntryFree(e);
        return false;
    }

    /* The servable string of a key, or "(none)". */
    static std::string lookup(kelvoEndpoint *ep, uint32_t db, const std::string &key)
    {
        kelvoGlobalEpochBegin();
        const rk *v = kelvoCacheGetLen(ep, db, key.data(), key.size());
        std::string text = "(none)";
        if (v) {
            uint32_t length = 0;
            const char *bytes = kelvoKeyStringConst(v, &length);
            text.assign(bytes, length);
        }
        kelvoGlobalEpochEnd();
        return text;
    }
};

#endif
