/*
 * Kelvo\Table: fourteen static methods over the shared table's storage
 * (table/table.h), and Kelvo\Table\FullscanGenerator, the final Generator
 * subclass its full scans return.
 *
 * PHP values are converted and packed before any epoch section is entered,
 * and what a read returns is copied out inside the section and unpacked after
 * it: no PHP code (__sleep, __wakeup, autoloaders, error handlers) ever runs
 * inside a section or under a lock, so such code may use the table itself.
 * A bailout inside a section (memory limit) closes the section first.
 *
 * The generator keeps its cursor in request memory: a snapshot of the
 * namespace names, the position in the current namespace, and the keys of
 * that namespace it has given, so a step that finds the namespace's set
 * grown or reset starts it over without listing a key twice.
 */
#ifndef KELVO_TABLE_PHP_H
#define KELVO_TABLE_PHP_H

#include "php_kelvo.h"

/* Registers Kelvo\Table and Kelvo\Table\FullscanGenerator with their handlers. MINIT. */
void kelvoRegisterTableClasses(void);

#endif
