/*
 * Registration of Kelvo\Kelvo and the event classes, the method attributes, and the guard
 * of the properties the module manages.
 */
#include "client/client.h"
#include "client/event.h"
#include "client/object.h"     /* option ids, modes, scan settings, packing and back-off ids: the class constants */
#include "commands/commands.h" /* key types: the REDIS_* class constants */
#include "runtime/fatal.h"
#include "runtime/kelvo.h"

#include <cstring>

extern "C" {
#include "Zend/zend_attributes.h"
#include "stubs/client_arginfo.h"
}

zend_class_entry *kelvo_ce;
uint8_t kelvoPropertiesLocked = 1;

namespace {

struct AttributeName {
    kelvoMethodAttribute bit;
    const char *name;
    size_t length;
};

#define KELVO_ATTRIBUTE(bit, name) {bit, name, sizeof(name) - 1}
constexpr AttributeName attributeNames[] = {
    KELVO_ATTRIBUTE(kelvoAttrServer, "Kelvo\\Attributes\\Server"),
    KELVO_ATTRIBUTE(kelvoAttrRedisCommand, "Kelvo\\Attributes\\RedisCommand"),
    KELVO_ATTRIBUTE(kelvoAttrValkeyCommand, "Kelvo\\Attributes\\ValkeyCommand"),
    KELVO_ATTRIBUTE(kelvoAttrCached, "Kelvo\\Attributes\\Cached"),
    KELVO_ATTRIBUTE(kelvoAttrDeprecated, "Kelvo\\Attributes\\Deprecated"),
    KELVO_ATTRIBUTE(kelvoAttrLocal, "Kelvo\\Attributes\\Local"),
};
#undef KELVO_ATTRIBUTE

void addFunctionAttribute(zend_function *fn, const AttributeName &attribute)
{
    zend_string *name = zend_string_init_interned(attribute.name, attribute.length, 1);
    zend_add_function_attribute(fn, name, 0);
    zend_string_release(name);
}

bool nameIs(const zend_string *name, const char *literal, size_t length)
{
    return ZSTR_LEN(name) == length && zend_binary_strcasecmp(ZSTR_VAL(name), length, literal, length) == 0;
}

#define KELVO_NAME_IS(name, literal) nameIs((name), literal, sizeof(literal) - 1)

void refuse(const zend_object *object, const zend_string *name)
{
    zend_throw_error(nullptr, "%s->%s is not modifiable", ZSTR_VAL(object->ce->name), ZSTR_VAL(name));
}

} // namespace

void kelvoAddMethodAttributes(zend_class_entry *ce, const kelvoMethodAttributes *rows, size_t count)
{
    for (size_t i = 0; i < count; i++) {
        const kelvoMethodAttributes &row = rows[i];
        auto *fn = static_cast<zend_function *>(zend_hash_str_find_ptr(&ce->function_table, row.lcname, strlen(row.lcname)));
        kelvoAssert(fn != nullptr);
        for (const AttributeName &attribute : attributeNames) {
            if (row.attributes & attribute.bit) {
                addFunctionAttribute(fn, attribute);
            }
        }
        if (row.sensitiveParameter != 0) {
            kelvoAssert(row.sensitiveParameter <= fn->common.num_args);
            zend_add_parameter_attribute(fn, row.sensitiveParameter - 1, ZSTR_KNOWN(ZEND_STR_SENSITIVEPARAMETER), 0);
        }
    }
}

void kelvoRegisterClientClasses()
{
    kelvo_ce = register_class_Kelvo_Kelvo();
    kelvoAddMethodAttributes(kelvo_ce, kelvoClientMethodAttributes, kelvoClientMethodAttributeCount);
}

void kelvoRegisterEventClasses()
{
    /* The subclasses inherit the hooks only when the parent has them at their registration. */
    kelvo_event_ce = register_class_Kelvo_Event();
    kelvo_event_ce->create_object = kelvoEventCreateObject;
    kelvo_event_ce->get_iterator = kelvoEventGetIterator;
    kelvo_event_invalidated_ce = register_class_Kelvo_Event_Invalidated(kelvo_event_ce);
    kelvo_event_flushed_ce = register_class_Kelvo_Event_Flushed(kelvo_event_ce);
    kelvoEventInitHandlers();
}

bool kelvoPropertyGuarded(const zend_object *object, const zend_string *name)
{
    if (!kelvoPropertiesLocked) {
        return false;
    }
    const zend_class_entry *ce = object->ce;
    if (kelvo_event_ce != nullptr && instanceof_function(ce, kelvo_event_ce)) {
        return KELVO_NAME_IS(name, "type") || KELVO_NAME_IS(name, "key");
    }
    /* A user subclass may treat the property as its own. */
    return (ce == kelvo_ce || ce == kelvo_cluster_ce) && KELVO_NAME_IS(name, "adaptiveCache");
}

/* Guarded properties never reach the standard handlers with a cache slot: a primed slot would
 * let the engine's inline fast paths write to the property without asking these handlers. */

zval *kelvoSafeReadProperty(zend_object *object, zend_string *name, int type, void **cacheSlot, zval *rv)
{
    if (!kelvoPropertyGuarded(object, name)) {
        return zend_std_read_property(object, name, type, cacheSlot, rv);
    }
    if (type != BP_VAR_R && type != BP_VAR_IS) {
        refuse(object, name);
        return &EG(uninitialized_zval);
    }
    return zend_std_read_property(object, name, type, nullptr, rv);
}

zval *kelvoSafeWriteProperty(zend_object *object, zend_string *name, zval *value, void **cacheSlot)
{
    if (!kelvoPropertyGuarded(object, name)) {
        return zend_std_write_property(object, name, value, cacheSlot);
    }
    refuse(object, name);
    return &EG(error_zval);
}

void kelvoSafeUnsetProperty(zend_object *object, zend_string *name, void **cacheSlot)
{
    if (!kelvoPropertyGuarded(object, name)) {
        zend_std_unset_property(object, name, cacheSlot);
        return;
    }
    refuse(object, name);
}

zval *kelvoSafeGetPropertyPtrPtr(zend_object *object, zend_string *name, int type, void **cacheSlot)
{
    if (kelvoPropertyGuarded(object, name)) {
        return nullptr;
    }
    return zend_std_get_property_ptr_ptr(object, name, type, cacheSlot);
}
