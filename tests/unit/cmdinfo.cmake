kelvo_unit_test(cmdinfo_test
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/cmdinfo_test.cc ${KELVO_SRC}/cmdinfo.cc ${KELVO_SRC}/cmdtable.cc
          ${KELVO_SRC}/cmdroles.cc ${KELVO_SRC}/fatal.cc ${KELVO_SRC}/log.cc ${KELVO_SRC}/cfgvals.cc)

# The generated tables must be what tools/commands.tsv says.
find_package(Python3 REQUIRED COMPONENTS Interpreter)
add_test(NAME cmdinfo_generated_tables_current
  COMMAND ${Python3_EXECUTABLE} ${CMAKE_CURRENT_LIST_DIR}/../../tools/gencmdinfo.py --check)

# The least builder needs the engine and the request buffer. Under the sanitizers the
# engine's allocator is off so ASan sees every request allocation.
add_executable(cmdinfo_engine_test ${CMAKE_CURRENT_LIST_DIR}/cmdinfo_engine_test.cc ${KELVO_SRC}/cmdleast.cc
               ${KELVO_SRC}/command.cc ${KELVO_SRC}/fatal.cc ${KELVO_SRC}/log.cc ${KELVO_SRC}/cfgvals.cc)
target_link_libraries(cmdinfo_engine_test PRIVATE GTest::gtest GTest::gtest_main Threads::Threads kelvo_php_embed)
gtest_discover_tests(cmdinfo_engine_test DISCOVERY_TIMEOUT 60 PROPERTIES TIMEOUT 300
  ENVIRONMENT "$<$<BOOL:${KELVO_SANITIZE}>:USE_ZEND_ALLOC=0>")
