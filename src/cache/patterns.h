/*
 * Key patterns: the one glob test of keys, used by a client's allow and
 * ignore patterns (may a key's reply be stored), by event listeners (does a
 * listener hear an invalidated key) and by the shared table's key listing
 * and full scan.
 *
 * The match follows fnmatch(3) without flags ("*" and "?" also match "/",
 * a leading "." is an ordinary byte, backslash escapes, bracket
 * expressions with ranges, negation by "!" or "^" and [:class:] names), but
 * over counted bytes: the whole key is compared, so a key holding a NUL byte
 * cannot match a pattern by its first part alone. Engine-free; no state.
 */
#ifndef KELVO_PATTERNS_H
#define KELVO_PATTERNS_H

#include <cstddef>

/* 0 when the key matches the pattern (as fnmatch returns), else 1. */
int kelvoFnMatch(const char *pattern, size_t patternLength, const char *key, size_t keyLength);

#endif
