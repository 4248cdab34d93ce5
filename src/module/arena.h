/*
 * The shared arena in the engine: mapped at start-up with the roots of the
 * cache and the shared table, the engine's signal-deferral depth behind the
 * lock hooks, and the arena figures of the crash report. Engine side.
 */
#ifndef KELVO_ARENA_H
#define KELVO_ARENA_H

#include <cstdint>

/*
 * Module start-up: points the signal hooks at
 * the engine, maps the arena (engine warning "Cannot initialize kelvo shared
 * memory" when it cannot) and builds the root (the arena removed when that
 * fails): 0 or -1.
 */
int kelvoSharedStartup(void);
/*
 * Drops this process's mapping of the arena and every pointer into it (root,
 * epoch reader); nothing inside the arena is freed, as forked children may
 * still use it.
 */
void kelvoSharedShutdown(void);
/* The lock kind named by a kelvo.locks.* directive's current text. */
uint32_t kelvoCfgLockType(const char *name);

#endif
