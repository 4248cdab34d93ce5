/*
 * The request lifecycle and process events across the layers: request start
 * and end, the request counters and statistics, a child forked during a
 * request, termination by SIGTERM or SIGQUIT and the exit handler that then
 * gives back what the process holds in the arena.
 *
 * Request-end duties that need links (arming them for the signal reader,
 * the periodic tasks, counters) run in the engine's post-deactivate hook,
 * after every module's RSHUTDOWN: a session save handler writing through a
 * kelvo client at request end still has its link. Engine side.
 */
#ifndef KELVO_REQUEST_H
#define KELVO_REQUEST_H

#include "runtime/lifecycle.h"

int kelvoRequestStartup(void);
int kelvoRequestShutdown(void);
int kelvoRequestPostDeactivate(void);

/* Module start-up: the exit handler, the fork hook and the invalidation delivery's start-up. */
void kelvoLifecycleStartup(void);

/* Gives back this process's shared resources (request count, epoch record, queue, leases, writer places): once. */
void kelvoReleaseTerminatedResources(void);

#endif
