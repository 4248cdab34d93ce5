/* kelvo: the module entry the engine loads. */
#ifndef PHP_KELVO_H
#define PHP_KELVO_H

extern "C" {
#include "php.h"
}

#define PHP_KELVO_VERSION "0.40.0"

extern zend_module_entry kelvo_module_entry;
#define phpext_kelvo_ptr &kelvo_module_entry

#endif
