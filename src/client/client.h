/*
 * The PHP face of the single-server client: the class Kelvo\Kelvo (its constants, its typed
 * property, its method table and the marker attributes on its methods) and the registration
 * of the event classes Kelvo\Event, Kelvo\Event\Invalidated and Kelvo\Event\Flushed. The
 * guard that keeps PHP code from changing the properties the module manages is guard.h
 * (included).
 *
 * The declarations come from stubs/client.stub.php, generated with the method handlers
 * (commands/client_methods.cc) from tools/client_methods.tsv by tools/gen-client-stub.php.
 * Engine side; registration runs in MINIT, the rest in the request of one process. No locks,
 * nothing in the arena.
 */
#ifndef KELVO_CLIENT_H
#define KELVO_CLIENT_H

#include "php_kelvo.h"
#include "client/guard.h"
#include "runtime/kelvo.h" /* kelvo_ce */

#include <cstddef>
#include <cstdint>

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
struct robj;
/* The same on a ready record `ro` that is not in a batch; callbacks get `client` (null: the record's own object). */
void kelvoSubscribeOn(INTERNAL_FUNCTION_PARAMETERS, robj *ro, int cmd, zend_object *client);

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

#endif
