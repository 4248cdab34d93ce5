/* kelvo: the module entry the engine loads. */
#ifndef PHP_KELVO_H
#define PHP_KELVO_H

extern "C" {
#include "php.h"
}

#include "runtime/version.h"

#define PHP_KELVO_VERSION KELVO_VERSION

extern zend_module_entry kelvo_module_entry;
#define phpext_kelvo_ptr &kelvo_module_entry

#endif
