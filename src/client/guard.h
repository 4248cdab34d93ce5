/*
 * The guard that keeps PHP code from changing the properties the module manages: object
 * handlers that client and event objects install. It knows the guarded classes by their class
 * entries (runtime/kelvo.h), which keeps it below both. Engine side; a process-local flag, no
 * locks, nothing in the arena.
 */
#ifndef KELVO_GUARD_H
#define KELVO_GUARD_H

#include "php_kelvo.h"

#include <cstdint>

/*
 * The property guard. While kelvoPropertiesLocked is non-zero, PHP code cannot change
 * `adaptiveCache` of an object whose class is exactly Kelvo\Kelvo (or the cluster class), nor
 * `type` and `key` of an event: writes, fetches for writing (references, compound assignment,
 * increments) and, through the unset handler, unsets throw Error "%s->%s is not modifiable".
 * The module lifts the lock around its own writes (KelvoPropertiesUnlocked).
 */
extern uint8_t kelvoPropertiesLocked;

struct KelvoPropertiesUnlocked {
    KelvoPropertiesUnlocked() { kelvoPropertiesLocked = 0; }
    ~KelvoPropertiesUnlocked() { kelvoPropertiesLocked = 1; }
    KelvoPropertiesUnlocked(const KelvoPropertiesUnlocked &) = delete;
    KelvoPropertiesUnlocked &operator=(const KelvoPropertiesUnlocked &) = delete;
};

/* True when the lock is set and `name` is a guarded property of `object`. */
bool kelvoPropertyGuarded(const zend_object *object, const zend_string *name);

zval *kelvoSafeReadProperty(zend_object *object, zend_string *name, int type, void **cacheSlot, zval *rv);
zval *kelvoSafeWriteProperty(zend_object *object, zend_string *name, zval *value, void **cacheSlot);
void kelvoSafeUnsetProperty(zend_object *object, zend_string *name, void **cacheSlot);
/* Hands out no direct pointer to a guarded property, so the engine falls back to the
 * read and write handlers above for compound assignments, increments and references. */
zval *kelvoSafeGetPropertyPtrPtr(zend_object *object, zend_string *name, int type, void **cacheSlot);

#endif
