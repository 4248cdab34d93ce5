/*
 * The PHP face of the single-server client: the class Kelvo\Kelvo (its constants, its typed
 * property, its method table and the marker attributes on its methods), the event classes
 * Kelvo\Event, Kelvo\Event\Invalidated and Kelvo\Event\Flushed, and the guard that keeps PHP
 * code from changing the properties the module manages.
 *
 * The declarations come from stubs/client.stub.php, generated with the method handlers
 * (client_methods.cc) from tools/client_methods.tsv by tools/gen-client-stub.php.
 * Engine side; registration runs in MINIT, the rest in the request of one process. No locks,
 * nothing in the arena.
 */
#ifndef KELVO_CLIENT_H
#define KELVO_CLIENT_H

#include "php_kelvo.h"

#include <cstddef>
#include <cstdint>

extern zend_class_entry *kelvo_ce;

/* Registers Kelvo\Kelvo and attaches the attributes of its methods. MINIT. */
void kelvoRegisterClientClasses();

/* Registers Kelvo\Event, then its subclasses, which inherit its create-object hook. MINIT. */
void kelvoRegisterEventClasses();

/*
 * The central dispatcher of the command methods: readies the link, parses the method's
 * arguments from the call frame through the command's row, sends or answers from the cache
 * and formats the reply into `return_value`.
 */
void kelvoCommand(INTERNAL_FUNCTION_PARAMETERS, int cmd);

/* The dispatcher of the subscribe family: subscribes and runs the subscription loop, or leaves it. */
void kelvoSubscribeCommand(INTERNAL_FUNCTION_PARAMETERS, int cmd);

/* Handler of a method whose behaviour is not built yet. */
void kelvoMethodPending(INTERNAL_FUNCTION_PARAMETERS);

/* Marker attributes of a method, added in this order (Kelvo\Attributes\<name>). */
enum kelvoMethodAttribute : uint8_t {
    kelvoAttrServer = 1 << 0,
    kelvoAttrRedisCommand = 1 << 1,
    kelvoAttrValkeyCommand = 1 << 2,
    kelvoAttrCached = 1 << 3,
    kelvoAttrDeprecated = 1 << 4,
    kelvoAttrLocal = 1 << 5,
};

/* One attributed method: its lower-case name, its attributes and the 1-based position of a
 * parameter that carries SensitiveParameter (0: none). */
struct kelvoMethodAttributes {
    const char *lcname;
    uint8_t attributes;
    uint8_t sensitiveParameter;
};

/* Generated with the handlers (client_methods.cc). */
extern const kelvoMethodAttributes kelvoClientMethodAttributes[];
extern const size_t kelvoClientMethodAttributeCount;

/*
 * Adds the attributes of `rows` to the methods of `ce`, each without arguments. A row naming
 * a method the class does not have is a broken invariant. MINIT, after the class is registered.
 */
void kelvoAddMethodAttributes(zend_class_entry *ce, const kelvoMethodAttributes *rows, size_t count);

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
