# The client record inside a running engine that started the module, against the harness's
# servers. Under the sanitizers the engine's allocator is off so they see every allocation.
file(GLOB KELVO_OBJECT_MODULE_SOURCES ${KELVO_SRC}/*.cc ${KELVO_SRC}/*.c)
add_executable(object_engine_test ${CMAKE_CURRENT_LIST_DIR}/object_engine_test.cc ${KELVO_OBJECT_MODULE_SOURCES})
target_link_libraries(object_engine_test PRIVATE GTest::gtest GTest::gtest_main Threads::Threads kelvo_php_embed
  ck xxhash lzf ssl crypto dl)
gtest_discover_tests(object_engine_test DISCOVERY_TIMEOUT 60 PROPERTIES TIMEOUT 300
  ENVIRONMENT "$<$<BOOL:${KELVO_SANITIZE}>:USE_ZEND_ALLOC=0>")
