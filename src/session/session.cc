/* The "kelvo" session save handler (not built yet: every operation fails). */
#include "session/session.h"

extern "C" {
#include "ext/session/php_session.h"
}

zend_string *sessionKeywords[KELVO_SKW_COUNT];

static constexpr const char *sessionKeywordNames[KELVO_SKW_COUNT] = {
    "DEL", "DELEX", "DELIFEQ", "EVAL", "EVALSHA", "EXISTS", "EXPIRE", "GET", "SET",
};

PS_OPEN_FUNC(kelvo) { return FAILURE; }

PS_CLOSE_FUNC(kelvo) { return FAILURE; }

PS_READ_FUNC(kelvo) { return FAILURE; }

PS_WRITE_FUNC(kelvo) { return FAILURE; }

PS_DESTROY_FUNC(kelvo) { return FAILURE; }

PS_GC_FUNC(kelvo) { return -1; }

PS_CREATE_SID_FUNC(kelvo) { return php_session_create_id(mod_data); }

PS_VALIDATE_SID_FUNC(kelvo) { return FAILURE; }

PS_UPDATE_TIMESTAMP_FUNC(kelvo) { return FAILURE; }

static const ps_module ps_mod_kelvo = {PS_MOD_UPDATE_TIMESTAMP(kelvo)};

zend_result kelvoSessionRegister(void)
{
    for (int i = 0; i < KELVO_SKW_COUNT; i++)
        sessionKeywords[i] = zend_string_init_interned(sessionKeywordNames[i], strlen(sessionKeywordNames[i]), 1);
    return php_session_register_module(&ps_mod_kelvo);
}
