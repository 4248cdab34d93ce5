// A running engine for unit tests that use request memory: module start-up and
// one open request around the whole test program.
#ifndef KELVO_TEST_COMMAND_ENGINE_H
#define KELVO_TEST_COMMAND_ENGINE_H

#include <gtest/gtest.h>

extern "C" {
#include "php.h"
#include "php_embed.h"
}

class EngineEnvironment : public ::testing::Environment {
  public:
    void SetUp() override
    {
        static char name[] = "kelvo_unit";
        static char *argv[] = {name, nullptr};
        // No php.ini and no extensions of the host: the tests see the bare engine.
        php_embed_module.php_ini_ignore = 1;
        ASSERT_EQ(php_embed_init(1, argv), SUCCESS);
    }
    void TearDown() override { php_embed_shutdown(); }

    /* Ends the open request and starts a new one: everything of the old
     * request's memory is gone afterwards. */
    static void nextRequest()
    {
        php_request_shutdown(nullptr);
        ASSERT_EQ(php_request_startup(), SUCCESS);
    }
};

inline ::testing::Environment *const kelvoEngineEnvironment =
    ::testing::AddGlobalTestEnvironment(new EngineEnvironment);

#endif
