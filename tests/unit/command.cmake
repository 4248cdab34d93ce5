# Request-buffer tests run inside the engine (request memory, strings, arrays).
# Under the sanitizers the engine's own allocator is switched off so every
# request allocation is visible to ASan, leaks included.
set(KELVO_ENGINE_TEST_ENV "")
if(KELVO_SANITIZE)
  set(KELVO_ENGINE_TEST_ENV USE_ZEND_ALLOC=0)
endif()

function(kelvo_command_engine_test name)
  add_executable(${name} ${ARGN} ${KELVO_SRC}/fatal.cc ${KELVO_SRC}/log.cc ${KELVO_SRC}/cfgvals.cc)
  target_link_libraries(${name} PRIVATE GTest::gtest GTest::gtest_main Threads::Threads xxhash lzf dl kelvo_php_embed)
  gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60 PROPERTIES TIMEOUT 300 ENVIRONMENT "${KELVO_ENGINE_TEST_ENV}")
endfunction()

file(GLOB KELVO_COMMAND_PACK_SOURCES ${KELVO_SRC}/pack*.cc)
kelvo_command_engine_test(command_test ${CMAKE_CURRENT_LIST_DIR}/command_test.cc ${KELVO_SRC}/command.cc
  ${KELVO_SRC}/command_word.cc ${KELVO_SRC}/command_fmt.cc ${KELVO_COMMAND_PACK_SOURCES}
  ${KELVO_SRC}/cmdinfo.cc ${KELVO_SRC}/cmdtable.cc ${KELVO_SRC}/cmdroles.cc)
