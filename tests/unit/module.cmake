kelvo_unit_test(settings_test
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/settings_test.cc ${KELVO_SRC}/settings.cc ${KELVO_SRC}/cfgvals.cc)
kelvo_unit_test(errclass_test
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/errclass_test.cc ${KELVO_SRC}/errclass.cc)

# The whole module, started by the embed SAPI as if php.ini had loaded it:
# start-up and shutdown hooks, the exception class and its message form.
file(GLOB KELVO_MODULE_SOURCES ${KELVO_SRC}/*.cc ${KELVO_SRC}/*.c)
add_executable(module_engine_test ${CMAKE_CURRENT_LIST_DIR}/module_engine_test.cc ${KELVO_MODULE_SOURCES})
target_link_libraries(module_engine_test PRIVATE GTest::gtest GTest::gtest_main Threads::Threads kelvo_php_embed
  ck xxhash lzf ssl crypto dl)
set(KELVO_MODULE_TEST_ENV "")
if(KELVO_SANITIZE)
  set(KELVO_MODULE_TEST_ENV USE_ZEND_ALLOC=0)
endif()
gtest_discover_tests(module_engine_test DISCOVERY_TIMEOUT 60 PROPERTIES TIMEOUT 300
  ENVIRONMENT "${KELVO_MODULE_TEST_ENV}")
