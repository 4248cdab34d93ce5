// Events as the module makes them, and the property guard as PHP code meets it, inside an
// engine that started the module (embed SAPI).
#include "client/client.h"
#include "client/event.h"
#include "client/guard.h"
#include "support/command_engine.h"

extern "C" {
#include "php_main.h"
}

#include <string>

namespace {

int startupWithKelvo(sapi_module_struct *sapi) { return php_module_startup(sapi, &kelvo_module_entry); }

/* The engine environment starts the embed SAPI; have it start the module too. */
const bool moduleLoaded = (php_embed_module.startup = startupWithKelvo, true);

/* Runs `code` with `$o` bound to `object`; returns what the code leaves in `$out`. */
std::string run(zval *object, const char *code)
{
    zend_hash_str_update(&EG(symbol_table), ZEND_STRL("o"), object);
    Z_TRY_ADDREF_P(object);
    std::string wrapped = std::string("try { ") + code + " } catch (Error $x) { $out = $x->getMessage(); }";
    EXPECT_EQ(zend_eval_string(wrapped.c_str(), nullptr, "client test"), SUCCESS);
    std::string text = takePhpOut();
    zend_hash_str_del(&EG(symbol_table), ZEND_STRL("o"));
    return text;
}

} // namespace

struct EventCase {
    int type;
    const char *key;
    bool client;
    const char *expected; // var_export of [class, type, key, client]
};

class EventInit : public ::testing::TestWithParam<EventCase> {};

TEST_P(EventInit, MakesTheEventAndKeepsItsPropertiesGuarded)
{
    ASSERT_TRUE(moduleLoaded);
    const EventCase &c = GetParam();
    zval event;
    kelvoEventInit(&event, c.type, c.key, c.key ? strlen(c.key) : 0, c.client);
    EXPECT_EQ(kelvoPropertiesLocked, 1);
    EXPECT_EQ(run(&event, "$out = json_encode([get_class($o), $o->type, $o->key, $o->client]);"), c.expected);
    EXPECT_EQ(run(&event, "$o->key = 'other';"),
              "Kelvo\\Event\\" + std::string(c.type == kelvoEventFlushed ? "Flushed" : "Invalidated") +
                  "->key is not modifiable");
    EXPECT_EQ(run(&event, "$o->client = !$o->client; $out = json_encode($o->client);"), c.client ? "false" : "true");
    EXPECT_EQ(run(&event, "foreach ($o as $name => &$value) {}"),
              "An iterator cannot be used with foreach by reference");
    EXPECT_EQ(run(&event, "$out = ''; foreach ($o as $name => $value) { $out .= $name . ' '; }"), "type key client ");
    zval_ptr_dtor(&event);
}

INSTANTIATE_TEST_SUITE_P(
    Events, EventInit,
    ::testing::Values(EventCase{kelvoEventInvalidated, "user:1", false,
                                R"(["Kelvo\\Event\\Invalidated",1,"user:1",false])"},
                      EventCase{kelvoEventInvalidated, "", true, R"(["Kelvo\\Event\\Invalidated",1,"",true])"},
                      EventCase{kelvoEventFlushed, nullptr, true, R"(["Kelvo\\Event\\Flushed",2,null,true])"}));

TEST(PropertyGuard, AdaptiveCacheOfTheClientClassOnly)
{
    ASSERT_TRUE(moduleLoaded);
    zend_object_handlers guarded = *zend_get_std_object_handlers();
    guarded.read_property = kelvoSafeReadProperty;
    guarded.write_property = kelvoSafeWriteProperty;
    guarded.unset_property = kelvoSafeUnsetProperty;
    guarded.get_property_ptr_ptr = kelvoSafeGetPropertyPtrPtr;

    ASSERT_EQ(zend_eval_string("class MyKelvo extends Kelvo\\Kelvo {}", nullptr, "client test"), SUCCESS);
    struct {
        const char *className;
        const char *code;
        const char *expected;
    } cases[] = {
        {"Kelvo\\Kelvo", "$o->adaptiveCache = null;", "Kelvo\\Kelvo->adaptiveCache is not modifiable"},
        {"Kelvo\\Kelvo", "unset($o->adaptiveCache);", "Kelvo\\Kelvo->adaptiveCache is not modifiable"},
        {"Kelvo\\Kelvo", "$r = &$o->adaptiveCache;", "Kelvo\\Kelvo->adaptiveCache is not modifiable"},
        {"Kelvo\\Kelvo", "$o->ADAPTIVECACHE = 1;", "Kelvo\\Kelvo->ADAPTIVECACHE is not modifiable"},
        {"Kelvo\\Kelvo", "$out = isset($o->adaptiveCache) ? 'set' : 'unset';", "set"},
        {"MyKelvo", "unset($o->adaptiveCache); $out = 'unset';", "unset"},
    };
    for (const auto &c : cases) {
        zend_string *name = zend_string_init(c.className, strlen(c.className), 0);
        zend_class_entry *ce = zend_lookup_class(name);
        zend_string_release(name);
        ASSERT_NE(ce, nullptr) << c.className;
        zval object;
        object_init_ex(&object, ce);
        /* Objects that carry the client record bring their own guarded handlers. */
        if (Z_OBJ(object)->handlers == zend_get_std_object_handlers()) {
            Z_OBJ(object)->handlers = &guarded;
        }
        EXPECT_EQ(run(&object, c.code), c.expected) << c.className << ": " << c.code;
        zval_ptr_dtor(&object);
    }
}
