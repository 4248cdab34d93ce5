/*
 * Registration of Kelvo\Kelvo and the event classes, and the method attributes.
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

namespace {

struct AttributeName {
    kelvoMethodAttribute bit;
    const char *name;
    size_t length;
};

#define KELVO_ATTRIBUTE(bit, name)  \
    {                               \
        bit, name, sizeof(name) - 1 \
    }
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

} // namespace

void kelvoAddMethodAttributes(zend_class_entry *ce, const kelvoMethodAttributes *rows, size_t count)
{
    for (size_t i = 0; i < count; i++) {
        const kelvoMethodAttributes &row = rows[i];
        auto *fn =
            static_cast<zend_function *>(zend_hash_str_find_ptr(&ce->function_table, row.lcname, strlen(row.lcname)));
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
