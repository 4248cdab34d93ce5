# Links inside a running engine (the whole module started by the embed SAPI),
# against the harness's servers and the scripted fake server. Under the
# sanitizers the engine's allocator is off so ASan sees every request block.
file(GLOB KELVO_LINK_MODULE_SOURCES ${KELVO_SRC}/*.cc ${KELVO_SRC}/*.c)
add_library(kelvo_link_module OBJECT ${KELVO_LINK_MODULE_SOURCES})
target_link_libraries(kelvo_link_module PUBLIC kelvo_php_embed)
set(KELVO_LINK_TEST_ENV "")
if(KELVO_SANITIZE)
  set(KELVO_LINK_TEST_ENV USE_ZEND_ALLOC=0)
endif()
foreach(name link_test link_fake_test)
  add_executable(${name} ${CMAKE_CURRENT_LIST_DIR}/${name}.cc $<TARGET_OBJECTS:kelvo_link_module>)
  target_compile_definitions(${name} PRIVATE KELVO_SOURCE_DIR="${CMAKE_SOURCE_DIR}")
  target_link_libraries(${name} PRIVATE GTest::gtest GTest::gtest_main Threads::Threads kelvo_php_embed
    ck xxhash lzf ssl crypto dl)
  gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60 PROPERTIES TIMEOUT 120 ENVIRONMENT "${KELVO_LINK_TEST_ENV}")
endforeach()
