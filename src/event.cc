/*
 * Event objects: creation, the guarded object handlers, and the initialiser listeners use.
 */
#include "event.h"
#include "client.h"
#include "fatal.h"

zend_class_entry *kelvo_event_ce;
zend_class_entry *kelvo_event_invalidated_ce;
zend_class_entry *kelvo_event_flushed_ce;

namespace {

zend_object_handlers eventHandlers;

void eventFreeObject(zend_object *object)
{
    kelvoAssert(object != nullptr);
    zend_object_std_dtor(object);
}

zval *eventWriteProperty(zend_object *object, zend_string *name, zval *value, void **cacheSlot)
{
    return kelvoSafeWriteProperty(object, name, value, cacheSlot);
}

} // namespace

void kelvoEventInitHandlers()
{
    memcpy(&eventHandlers, zend_get_std_object_handlers(), sizeof(eventHandlers));
    eventHandlers.offset = 0;
    eventHandlers.free_obj = eventFreeObject;
    eventHandlers.read_property = kelvoSafeReadProperty;
    eventHandlers.write_property = eventWriteProperty;
    eventHandlers.get_property_ptr_ptr = kelvoSafeGetPropertyPtrPtr;
}

zend_object *kelvoEventCreateObject(zend_class_entry *ce)
{
    zend_object *object = static_cast<zend_object *>(zend_object_alloc(sizeof(zend_object), ce));
    zend_object_std_init(object, ce);
    object_properties_init(object, ce);
    object->handlers = &eventHandlers;
    return object;
}

void kelvoEventInit(zval *out, int type, const char *key, size_t length, bool client)
{
    zend_class_entry *ce = type == kelvoEventFlushed ? kelvo_event_flushed_ce : kelvo_event_invalidated_ce;
    object_init_ex(out, ce);
    zend_object *object = Z_OBJ_P(out);
    KelvoPropertiesUnlocked unlocked;
    if (key != nullptr) {
        zend_update_property_stringl(ce, object, ZEND_STRL("key"), key, length);
    } else {
        zend_update_property_null(ce, object, ZEND_STRL("key"));
    }
    zend_update_property_bool(ce, object, ZEND_STRL("client"), client);
}
