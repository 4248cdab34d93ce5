/*
 * The process state every layer reads: whether a request is running, whether
 * persistent links are being torn down, and the cached process id with its
 * fork handler. What a request's start and end do across the layers is the
 * module's (request.h), which sets the flag and plugs in the fork hook at
 * start-up. Engine side.
 */
#ifndef KELVO_LIFECYCLE_H
#define KELVO_LIFECYCLE_H

#include <csignal>
#include <sys/types.h>

/* 1 between request start and the end of request-end duties. */
extern volatile sig_atomic_t kelvoRequestActive;
/* Set when persistent links are torn down at process shutdown: the signal reader does nothing then. */
extern volatile sig_atomic_t kelvoShutdown;

/* The cached process id; a forked child learns its own. */
pid_t kelvoGetPid(void);

/* Run in a forked child after its cached process id is dropped (null: nothing more). */
extern void (*kelvoForkChildHook)(void);

#endif
