/*
 * The test engine with the module started in it (the embed SAPI's start-up loads it), and the
 * harness's settings for tests that talk to its servers.
 */
#ifndef KELVO_TEST_MODULE_ENGINE_H
#define KELVO_TEST_MODULE_ENGINE_H

#include "php_kelvo.h"
#include "support/command_engine.h"

extern "C" {
#include "php_main.h"
}

#include <cstdlib>
#include <string>

inline int startupWithKelvo(sapi_module_struct *sapi) { return php_module_startup(sapi, &kelvo_module_entry); }

/* Set before the engine environment starts the engine. */
inline const bool kelvoModuleLoaded = (php_embed_module.startup = startupWithKelvo, true);

/* A KELVO_TEST_* setting of the harness; empty outside scripts/test. */
inline std::string harnessSetting(const char *name)
{
    const char *value = getenv(name);
    return value ? value : "";
}

#endif
