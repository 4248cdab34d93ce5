/*
 * kelvo module lifecycle: the module entry, start-up and shutdown hooks.
 */
#include "php_kelvo.h"

extern "C" {
#include "ext/standard/info.h"
}

static PHP_MINIT_FUNCTION(kelvo)
{
    return SUCCESS;
}

static PHP_MSHUTDOWN_FUNCTION(kelvo)
{
    return SUCCESS;
}

static PHP_MINFO_FUNCTION(kelvo)
{
    php_info_print_table_start();
    php_info_print_table_row(2, "kelvo support", "enabled");
    php_info_print_table_row(2, "kelvo version", PHP_KELVO_VERSION);
    php_info_print_table_end();
}

zend_module_entry kelvo_module_entry = {
    STANDARD_MODULE_HEADER,
    "kelvo",
    nullptr,
    PHP_MINIT(kelvo),
    PHP_MSHUTDOWN(kelvo),
    nullptr,
    nullptr,
    PHP_MINFO(kelvo),
    PHP_KELVO_VERSION,
    STANDARD_MODULE_PROPERTIES,
};

extern "C" {
ZEND_GET_MODULE(kelvo)
}
