/*
 * The request lifecycle and process events: request start and end, the
 * request counters and statistics, the cached process id with its fork
 * handler, termination by SIGTERM or SIGQUIT and the exit handler that
 * then gives back what the process holds in the arena.
 *
 * Request-end duties that need links (arming them for the signal reader,
 * the periodic tasks, counters) run in the engine's post-deactivate hook,
 * after every module's RSHUTDOWN: a session save handler writing through a
 * kelvo client at request end still has its link. Engine side.
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

int kelvoRequestStartup(void);
int kelvoRequestShutdown(void);
int kelvoRequestPostDeactivate(void);

/* Module start-up: the exit handler and the fork handler. */
void kelvoLifecycleStartup(void);

/* Gives back this process's shared resources (request count, epoch record, queue, leases, writer places): once. */
void kelvoReleaseTerminatedResources(void);

#endif
