# The sentinel client inside an engine that started the module, against the harness's sentinels:
# objects released in every state (the sanitizers watch their memory), a link whose context
# failed, the identity a pooled link is keyed by, a forked child.
kelvo_engine_test(sentinel_engine_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/sentinel_engine_test.cc TIMEOUT 120)
