/*
 * The module's version, the one place it is written. Engine-free: the crash
 * report (log.cc) prints it as well as the engine side (PHP_KELVO_VERSION).
 */
#ifndef KELVO_VERSION_H
#define KELVO_VERSION_H

inline constexpr char KELVO_VERSION[] = "0.40.0";

#endif
