/*
 * Choosing a serializer or compressor from an option value: what this
 * process cannot use is a configuration error. Kept apart from the packing
 * code, which never throws.
 */
#include "runtime/exception.h"
#include "pack/pack.h"
#include "pack/pack_libs.h"

#include <cstdio>

const kelvoSerInfo *kelvoSelectSerializer(zend_long id)
{
    const kelvoSerInfo *ser = kelvoSerInfoById(id);
    if (!ser || kelvoSerializerAvailable(ser))
        return ser;
    const char *why = kelvoModuleLoaded(ser->name) ? "is incompatible (missing symbols or too old)" : "is not loaded";
    char message[256];
    snprintf(message, sizeof(message), "The %s serializer is unavailable because the %s extension %s", ser->name,
             ser->name, why);
    kelvoThrowException(KELVO_ERR_CONFIG, message);
    return nullptr;
}

const kelvoCmpInfo *kelvoSelectCompressor(zend_long id)
{
    const kelvoCmpInfo *cmp = kelvoCmpInfoById(id);
    if (!cmp || kelvoCompressorAvailable(cmp))
        return cmp;
    kelvoThrowException(KELVO_ERR_CONFIG, cmp->id == KELVO_COMPRESSION_ZSTD
                                              ? "The zstd compressor is unavailable because libzstd is not loaded, "
                                                "is too old, or is missing required symbols"
                                              : "The lz4 compressor is unavailable because liblz4 is not loaded, "
                                                "is too old, or is missing required symbols");
    return nullptr;
}
