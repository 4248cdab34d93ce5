/*
 * Event objects: creation, the guarded object handlers, and the initialiser listeners use.
 */
#include "client/event.h"
#include "client/guard.h"
#include "runtime/fatal.h"

zend_class_entry *kelvo_event_ce;
zend_class_entry *kelvo_event_invalidated_ce;
zend_class_entry *kelvo_event_flushed_ce;

zend_object_handlers kelvo_event_object_handlers;

void kelvoEventFreeObject(zend_object *object)
{
    kelvoAssert(object != nullptr);
    zend_object_std_dtor(object);
}

zval *kelvoEventWriteProperty(zend_object *object, zend_string *name, zval *value, void **cacheSlot)
{
    return kelvoSafeWriteProperty(object, name, value, cacheSlot);
}

namespace {

/*
 * foreach over an event walks a copy of its properties. Plain objects are walked in their
 * property slots, and a by-reference foreach would bind references to `type` and `key`
 * without asking any property handler; an iterator refuses that as for any iterator class.
 */
struct EventIterator {
    zend_object_iterator it;
    zval properties; /* name => value of every initialised property */
    HashPosition pos;
};

EventIterator *eventIterator(zend_object_iterator *it) { return reinterpret_cast<EventIterator *>(it); }

void eventIteratorDtor(zend_object_iterator *it)
{
    zval_ptr_dtor(&eventIterator(it)->properties);
    zval_ptr_dtor(&it->data);
}

int eventIteratorValid(zend_object_iterator *it)
{
    EventIterator *e = eventIterator(it);
    return zend_hash_has_more_elements_ex(Z_ARRVAL(e->properties), &e->pos);
}

zval *eventIteratorCurrent(zend_object_iterator *it)
{
    EventIterator *e = eventIterator(it);
    return zend_hash_get_current_data_ex(Z_ARRVAL(e->properties), &e->pos);
}

void eventIteratorKey(zend_object_iterator *it, zval *key)
{
    EventIterator *e = eventIterator(it);
    zend_hash_get_current_key_zval_ex(Z_ARRVAL(e->properties), key, &e->pos);
}

void eventIteratorForward(zend_object_iterator *it)
{
    EventIterator *e = eventIterator(it);
    zend_hash_move_forward_ex(Z_ARRVAL(e->properties), &e->pos);
}

void eventIteratorRewind(zend_object_iterator *it)
{
    EventIterator *e = eventIterator(it);
    zend_object *object = Z_OBJ(it->data);
    HashTable *properties = object->handlers->get_properties(object);
    zval_ptr_dtor(&e->properties);
    array_init_size(&e->properties, zend_hash_num_elements(properties));
    zend_string *name;
    zend_ulong index;
    zval *value;
    ZEND_HASH_FOREACH_KEY_VAL_IND(properties, index, name, value)
    {
        ZVAL_DEREF(value);
        Z_TRY_ADDREF_P(value);
        if (name) {
            zend_hash_add_new(Z_ARRVAL(e->properties), name, value);
        } else {
            zend_hash_index_add_new(Z_ARRVAL(e->properties), index, value);
        }
    }
    ZEND_HASH_FOREACH_END();
    zend_hash_internal_pointer_reset_ex(Z_ARRVAL(e->properties), &e->pos);
}

HashTable *eventIteratorGc(zend_object_iterator *it, zval **table, int *n)
{
    *table = &it->data;
    *n = 1;
    EventIterator *e = eventIterator(it);
    return Z_TYPE(e->properties) == IS_ARRAY ? Z_ARRVAL(e->properties) : nullptr;
}

const zend_object_iterator_funcs eventIteratorFuncs = {
    eventIteratorDtor, eventIteratorValid,   eventIteratorCurrent,
    eventIteratorKey,  eventIteratorForward, eventIteratorRewind,
    nullptr,           eventIteratorGc,
};

} // namespace

zend_object_iterator *kelvoEventGetIterator(zend_class_entry *ce, zval *object, int byRef)
{
    if (byRef) {
        zend_throw_error(nullptr, "An iterator cannot be used with foreach by reference");
        return nullptr;
    }
    auto *e = static_cast<EventIterator *>(emalloc(sizeof(EventIterator)));
    zend_iterator_init(&e->it);
    ZVAL_OBJ_COPY(&e->it.data, Z_OBJ_P(object));
    e->it.funcs = &eventIteratorFuncs;
    ZVAL_UNDEF(&e->properties);
    eventIteratorRewind(&e->it);
    return &e->it;
}

void kelvoEventInitHandlers()
{
    zend_object_handlers &h = kelvo_event_object_handlers;
    memcpy(&h, zend_get_std_object_handlers(), sizeof(h));
    h.offset = 0;
    h.free_obj = kelvoEventFreeObject;
    h.read_property = kelvoSafeReadProperty;
    h.write_property = kelvoEventWriteProperty;
    h.get_property_ptr_ptr = kelvoSafeGetPropertyPtrPtr;
}

zend_object *kelvoEventCreateObject(zend_class_entry *ce)
{
    auto *object = static_cast<zend_object *>(ecalloc(1, sizeof(zend_object) + zend_object_properties_size(ce)));
    zend_object_std_init(object, ce);
    object_properties_init(object, ce);
    object->handlers = &kelvo_event_object_handlers;
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
