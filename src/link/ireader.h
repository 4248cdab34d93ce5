/*
 * The reader record a persistent link carries for the invalidation delivery's
 * signal reader (cache/delivery.h reads into it; the pool frees its buffer).
 * Engine-free.
 */
#ifndef KELVO_IREADER_H
#define KELVO_IREADER_H

#include <cstddef>

/*
 * One idle link's reader: bytes received from its socket and not yet part
 * of a whole message stay here across signals, so a push split over reads
 * is parsed once it is whole. Memory from the process (made outside any
 * signal handler).
 */
struct kelvoIReader {
    char *buf;
    size_t rpos, wpos;
    int err; /* 1 I/O, 3 end of stream, 4 protocol */
    char errstr[128];
};

#endif
