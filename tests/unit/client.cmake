# The client surface inside a running engine with the module started: events made by the
# module and the property guard as PHP code meets it.
file(GLOB KELVO_CLIENT_MODULE_SOURCES ${KELVO_SRC}/*.cc ${KELVO_SRC}/*.c)
add_executable(client_engine_test ${CMAKE_CURRENT_LIST_DIR}/client_engine_test.cc ${KELVO_CLIENT_MODULE_SOURCES})
target_link_libraries(client_engine_test PRIVATE GTest::gtest GTest::gtest_main Threads::Threads kelvo_php_embed
  ck xxhash lzf ssl crypto dl)
set(KELVO_CLIENT_TEST_ENV "")
if(KELVO_SANITIZE)
  set(KELVO_CLIENT_TEST_ENV USE_ZEND_ALLOC=0)
endif()
gtest_discover_tests(client_engine_test DISCOVERY_TIMEOUT 60 PROPERTIES TIMEOUT 300
  ENVIRONMENT "${KELVO_CLIENT_TEST_ENV}")
