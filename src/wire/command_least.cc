/*
 * The least request builder with the engine at hand: until a command's own builder exists,
 * its placeholder sends the method's arguments as given, each by its string conversion.
 * Replaces the engine-free fallback of catalog/cmdrow.cc in the module.
 */
extern "C" {
#include "php.h"
}

#include "catalog/cmdinfo.h"
#include "wire/command.h"

int kelvoLeastResp(zend_execute_data *execute_data, zval *, rrc *req, robj *)
{
    uint32_t argc = ZEND_NUM_ARGS();
    for (uint32_t i = 1; i <= argc; i++)
        kelvoRespCmdCatZValZStr(req, ZEND_CALL_ARG(execute_data, i));
    return 0;
}
