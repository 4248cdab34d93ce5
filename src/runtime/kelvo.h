/*
 * The module runtime's shared declarations: the module globals
 * (kelvo_globals, KELVO_G), the class entries registered at start-up, the
 * process statics of start-up, and the random bytes every component draws
 * from. Engine side; the per-process settings are in cfgvals.h (engine-free).
 *
 * MINIT has two halves: registration (every call) and set-up (once per
 * process image, in the process that then owns the shared arena, recorded in
 * kelvoStartupPID). Forked workers inherit the set-up half's results.
 */
#ifndef KELVO_H
#define KELVO_H

#include "php_kelvo.h"

#include <csignal>
#include <cstddef>
#include <cstdint>

struct kelvoInvalidationQueue;

constexpr int kelvoStatCount = 31;

/* Indexes into `stats` of the request outcomes the dispatcher counts (the shared statistics keep the same order). */
enum kelvoStatIndex : int {
    kelvoStatRequests = 0,
    kelvoStatHits = 1,
    kelvoStatMisses = 2,
    kelvoStatErrors = 5,
};

struct kelvoZstdContexts {
    uint32_t made;
    void *cctx;
    void *dctx;
};

/*
 * One process's globals (non-thread-safe build: one instance). The epoch
 * reader (`reader`) and the global invalidation reader (`ireader`) join this
 * record with the components that own their types.
 */
ZEND_BEGIN_MODULE_GLOBALS(kelvo)
kelvoInvalidationQueue *queue;  /* shared invalidation queue this process attached */
uint64_t stats[kelvoStatCount]; /* per-request counters, folded into the shared ones */
unsigned char instance_id[16];  /* this server's instance id (UUIDv7 layout) */
unsigned char socket_salt[16];
struct sigaction sigio_action;   /* SIGIO disposition saved when links are armed */
struct sigaction sigterm_action; /* dispositions saved at request start */
struct sigaction sigquit_action;
time_t start_time;                 /* wall-clock seconds when the globals were made */
HashTable *listeners;              /* request hash of event listeners */
HashTable plinks;                  /* persistent links of this process */
HashTable endpoint_dbs;            /* cached database sets this process attached */
pid_t pid;                         /* cached process id; 0 when not cached */
uint32_t folding_replies;          /* 1 while EXEC replies are folded */
uint32_t in_invalidation_callback; /* 1 while invalidation callbacks run */
kelvoZstdContexts zstd;
ZEND_END_MODULE_GLOBALS(kelvo)

ZEND_EXTERN_MODULE_GLOBALS(kelvo)
#define KELVO_G(v) ZEND_MODULE_GLOBALS_ACCESSOR(kelvo, v)

/* Set by the globals destructor; termination clean-up stops once it is. */
extern volatile sig_atomic_t kelvoGlobalsShutdown;

/* Process id of the process that ran the set-up half of MINIT; 0 before. */
extern pid_t kelvoStartupPID;

/* The engine's interrupt hook that kelvoInterruptFunction chains to. */
extern void (*orig_interrupt_function)(zend_execute_data *execute_data);

extern zend_class_entry *kelvo_ce;       /* commands/client_class.cc */
extern zend_class_entry *kelvo_event_ce; /* client/event.cc */
extern zend_class_entry *kelvo_event_invalidated_ce;
extern zend_class_entry *kelvo_event_flushed_ce;
extern zend_class_entry *kelvo_sentinel_ce;
extern zend_class_entry *kelvo_table_ce;
extern zend_class_entry *kelvo_table_fullscan_generator_ce;
extern zend_class_entry *kelvo_cluster_ce;
extern zend_class_entry *kelvo_cluster_fullscan_generator_ce;
extern zend_class_entry *kelvo_keytype_ce;

/*
 * `length` bytes from the engine's CSPRNG; should that fail, from rand()
 * (one byte per call). Never throws. Per-process seeds and salts come from
 * here, never from a clock-seeded generator alone; the shared hash seed
 * comes from the kernel (kelvoKernelRandom).
 */
void kelvoRandomBytes(void *out, size_t length);
uint64_t kelvoRandomSeed(void);

/* Writes the 36-character text form of 16 bytes into `out` (no terminator). */
void kelvoFmtUuid(char *out, const unsigned char *in);

/* Registers an internal subclass of the final Generator (its final flag lifted for the call). MINIT. */
zend_class_entry *kelvoRegisterGeneratorSubclass(zend_class_entry *(*registerClass)(zend_class_entry *));

/* Element destructor of the persistent hashes of the globals: frees an IS_PTR value with free(). */
void pefreeZValPtr(zval *zv);

/* The engine interrupt hook: dispatches pending invalidation events, then chains. */
void kelvoInterruptFunction(zend_execute_data *execute_data);

/* Wall-clock microseconds. */
uint64_t kelvoNowMicros();

#endif
