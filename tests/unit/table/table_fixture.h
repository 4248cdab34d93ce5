// An arena with the root's cache and table parts built, as module start-up leaves it, and
// small helpers that store, read and list through the storage's own calls.
#ifndef KELVO_TEST_TABLE_FIXTURE_H
#define KELVO_TEST_TABLE_FIXTURE_H

#include "cache/cache_fixture.h"
#include "table/table.h"

#include <algorithm>
#include <string>
#include <vector>

struct TableArena : CacheArena {
    TableArena() { settings.reserveMaps = 0; }
    void SetUp() override
    {
        CacheArena::SetUp();
        ASSERT_EQ(kelvoTableInitRoot(), 0);
    }

    static kelvoValueSource text(const std::string &bytes)
    {
        kelvoValueSource v{};
        v.type = KELVO_VALUE_STRING;
        v.bytes = bytes.data();
        v.length = bytes.size();
        return v;
    }
    static kelvoValueSource number(int64_t n)
    {
        kelvoValueSource v{};
        v.type = KELVO_VALUE_LONG;
        v.l = n;
        return v;
    }

    /* Stores a value; the item is freed again when the store is refused. */
    static kelvoTableStatus put(const std::string &ns, const std::string &key, const kelvoValueSource &value,
                                int64_t expiry = 0, bool keepExpiry = false)
    {
        kelvoTableItem *item = kelvoTableItemCreate(key.data(), key.size(), &value, expiry);
        if (!item)
            return KELVO_TABLE_NO_MEMORY;
        kelvoTableStatus status = kelvoTableStore(ns.data(), ns.size(), item, keepExpiry);
        if (status != KELVO_TABLE_OK)
            kelvoTableItemFree(item);
        return status;
    }
    static kelvoTableStatus putText(const std::string &ns, const std::string &key, const std::string &value,
                                    int64_t expiry = 0)
    {
        return put(ns, key, text(value), expiry);
    }

    /* The live string value of a key, or "(none)". */
    static std::string get(const std::string &ns, const std::string &key)
    {
        std::string out = "(none)";
        kelvoGlobalEpochBegin();
        if (kelvoTableHT *ht = kelvoTableFind(ns.data(), ns.size())) {
            kelvoTableItem *item = kelvoTableHTFind(ht, key.data(), key.size());
            if (item && kelvoTableItemLive(item)) {
                const kelvoValue *v = item->value;
                if (v->type == KELVO_VALUE_STRING || v->type == KELVO_VALUE_SERIALIZED)
                    out.assign(v->u.str, v->length);
                else if (v->type == KELVO_VALUE_LONG)
                    out = "#" + std::to_string(v->u.l);
                else
                    out = "type " + std::to_string(v->type);
            }
        }
        kelvoGlobalEpochEnd();
        return out;
    }

    /* The expiry of a key's item (live or not), or -1 without one. */
    static int64_t expiryOf(const std::string &ns, const std::string &key)
    {
        int64_t expiry = -1;
        kelvoGlobalEpochBegin();
        if (kelvoTableHT *ht = kelvoTableFind(ns.data(), ns.size()))
            if (kelvoTableItem *item = kelvoTableHTFind(ht, key.data(), key.size()))
                expiry = item->expiry;
        kelvoGlobalEpochEnd();
        return expiry;
    }

    /* Every key of a namespace by one walk, in walk order; {"(no namespace)"} when there is none. */
    static std::vector<std::string> keys(const std::string &ns)
    {
        std::vector<std::string> out;
        kelvoTableWalker walker = {[](void *arg) { static_cast<std::vector<std::string> *>(arg)->clear(); },
                                   [](void *arg, const void *object) {
                                       auto *item = static_cast<const kelvoTableItem *>(object);
                                       static_cast<std::vector<std::string> *>(arg)->emplace_back(item->key.bytes,
                                                                                                  item->key.length);
                                   },
                                   &out};
        kelvoGlobalEpochBegin();
        kelvoTableHT *ht = kelvoTableFind(ns.data(), ns.size());
        if (!ht)
            out = {"(no namespace)"};
        else
            EXPECT_EQ(kelvoTableHTForEach(ht, &walker), 0);
        kelvoGlobalEpochEnd();
        return out;
    }

    static std::vector<std::string> sorted(std::vector<std::string> v)
    {
        std::sort(v.begin(), v.end());
        return v;
    }

    /* Namespace names by one walk, sorted. */
    static std::vector<std::string> namespaces()
    {
        std::vector<std::string> out;
        kelvoTableWalker walker = {[](void *arg) { static_cast<std::vector<std::string> *>(arg)->clear(); },
                                   [](void *arg, const void *object) {
                                       auto *ht = static_cast<const kelvoTableHT *>(object);
                                       static_cast<std::vector<std::string> *>(arg)->emplace_back(ht->name.bytes,
                                                                                                  ht->name.length);
                                   },
                                   &out};
        kelvoGlobalEpochBegin();
        EXPECT_EQ(kelvoTableForEachNamespace(&walker), 0);
        kelvoGlobalEpochEnd();
        return sorted(out);
    }

    static int64_t memoryOf(const std::string &ns)
    {
        kelvoGlobalEpochBegin();
        kelvoTableHT *ht = kelvoTableFind(ns.data(), ns.size());
        int64_t memory = ht ? kelvoTableHTMemory(ht) : -1;
        kelvoGlobalEpochEnd();
        return memory;
    }

    /*
     * A sweep time later than every one used before in this process (whose copy of the last
     * claim outlives each test's arena): a second ahead of the last.
     */
    static uint64_t sweepTime()
    {
        static uint64_t last;
        last = std::max(last, kelvoTableNowUsec()) + 1000000;
        return last;
    }

    static int64_t totalKeys() { return int64_t(kelvoSharedData->tables.items); }
    static int64_t totalMemory() { return int64_t(kelvoSharedData->tables.bytes); }
};

#endif
