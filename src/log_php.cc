/* The engine's side of logging: the start-up warning when the log cannot be opened. */
#include "php_kelvo.h"
#include "log.h"

void kelvoLogSetup(const char *level, const char *file)
{
    if (!kelvoLogConfigure(level, file))
        php_error_docref(nullptr, E_WARNING, "Can't open log file '%s'", file ? file : "");
}
