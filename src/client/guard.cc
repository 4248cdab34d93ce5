/* The property guard's object handlers. */
#include "client/guard.h"
#include "runtime/kelvo.h"

uint8_t kelvoPropertiesLocked = 1;

namespace {

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
