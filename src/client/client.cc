/*
 * The marker attributes on the methods of the module's classes.
 */
#include "client/client.h"
#include "runtime/fatal.h"

#include <cstring>

extern "C" {
#include "Zend/zend_attributes.h"
}

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
