/*
 * kelvoCfgVals: the per-process copy of the clamped start-up settings. Module
 * start-up fills it once; forked workers inherit the copy of the process that
 * did. Engine-free, so every component (and its unit tests) can read it.
 */
#ifndef KELVO_CFGVALS_H
#define KELVO_CFGVALS_H

#include <cstdint>
#include <cstdio>

enum kelvoLogLevel : uint32_t {
    KELVO_LL_DEBUG = 0,
    KELVO_LL_NOTICE = 1,
    KELVO_LL_WARNING = 2,
    KELVO_LL_ERROR = 3,
    KELVO_LL_NONE = 4,
};

enum kelvoEvictionPolicy : uint32_t {
    KELVO_EVICTION_NONE = 0,
    KELVO_EVICTION_LRU = 1,
    KELVO_EVICTION_RANDOM = 2,
};

enum kelvoPrefaultMode : uint32_t {
    KELVO_PREFAULT_OFF = 0,
    KELVO_PREFAULT_POPULATE = 1,
    KELVO_PREFAULT_TOUCH = 2,
};

struct kelvoCfgValsRecord {
    uint32_t enabled;                /* 1 when the shared cache is on */
    uint64_t initial_readers;        /* epoch reader records made at start-up */
    uint64_t maxmemory;              /* arena bytes; 0 when the cache is off */
    uint32_t databases;              /* logical databases cached per cached database set */
    uint32_t maxmemory_pct;          /* eviction threshold, percent of the arena */
    uint32_t eviction_policy;        /* kelvoEvictionPolicy */
    uint64_t eviction_sample_keys;   /* keys sampled per eviction pass */
    uint32_t log_level;              /* kelvoLogLevel */
    FILE *log_fp;                    /* open log stream, or null */
    int32_t log_fd;                  /* descriptor of log_fp; -1 without a log */
    uint64_t invalidation_poll_freq; /* microseconds between invalidation polls of a link */
    uint32_t default_pconnect;       /* 1 when clients use persistent links by default */
    uint32_t prefault;               /* kelvoPrefaultMode */
    uint32_t max_endpoint_dbs;       /* most cached database sets per endpoint */
    uint32_t max_db_writers;         /* most processes writing one cached database set */
    uint32_t reserve_maps;           /* maps preallocated for the reserve list */
    uint32_t key_leases;             /* requested key-lease slots */
    uint32_t allocator_lock;         /* kelvoLockType of the arena's allocator lock */
    uint32_t cache_lock;             /* kelvoLockType of per-database and table namespace locks */
    uint32_t initialized;            /* 1 once module start-up has filled the record */
};

extern kelvoCfgValsRecord kelvoCfgVals;

#endif
