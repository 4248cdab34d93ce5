# Reply conversion and the formatters inside an engine that started the module: replies come
# from the RESP3 reader, reports reach PHP as the module makes them. Under the sanitizers the
# engine's allocator is off so ASan sees every request allocation.
file(GLOB KELVO_COMMANDS_MODULE_SOURCES ${KELVO_SRC}/*.cc ${KELVO_SRC}/*.c)
add_executable(commands_reply_test ${CMAKE_CURRENT_LIST_DIR}/commands_reply_test.cc ${KELVO_COMMANDS_MODULE_SOURCES})
target_link_libraries(commands_reply_test PRIVATE GTest::gtest GTest::gtest_main Threads::Threads kelvo_php_embed
  ck xxhash lzf ssl crypto dl)
gtest_discover_tests(commands_reply_test DISCOVERY_TIMEOUT 60 PROPERTIES TIMEOUT 300
  ENVIRONMENT "$<$<BOOL:${KELVO_SANITIZE}>:USE_ZEND_ALLOC=0>")

# Back-off needs nothing but itself.
kelvo_unit_test(commands_backoff_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/commands_backoff_test.cc ${KELVO_SRC}/backoff.cc
  ${KELVO_SRC}/fatal.cc ${KELVO_SRC}/log.cc ${KELVO_SRC}/cfgvals.cc)

# The dispatcher against the harness's server: request counters and reconnects while a WATCH holds.
add_executable(commands_dispatch_test ${CMAKE_CURRENT_LIST_DIR}/commands_dispatch_test.cc ${KELVO_COMMANDS_MODULE_SOURCES})
target_link_libraries(commands_dispatch_test PRIVATE GTest::gtest GTest::gtest_main Threads::Threads kelvo_php_embed
  ck xxhash lzf ssl crypto dl)
gtest_discover_tests(commands_dispatch_test DISCOVERY_TIMEOUT 60 PROPERTIES TIMEOUT 300
  ENVIRONMENT "$<$<BOOL:${KELVO_SANITIZE}>:USE_ZEND_ALLOC=0>")
