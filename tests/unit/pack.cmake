# Value packing runs inside the engine: the tests start the embed SAPI (with
# igbinary and msgpack loaded) and drive the serializers and compressors
# directly. LZ4 and Zstandard are not linked: the tests find them the way
# the module does.
add_executable(pack_test
  ${CMAKE_CURRENT_LIST_DIR}/pack_test.cc
  ${KELVO_SRC}/pack.cc ${KELVO_SRC}/pack_ser.cc ${KELVO_SRC}/pack_lzf.cc
  ${KELVO_SRC}/pack_zstd.cc ${KELVO_SRC}/pack_lz4.cc ${KELVO_SRC}/option_pack.cc
  ${KELVO_SRC}/exception.cc ${KELVO_SRC}/errclass.cc
  ${KELVO_SRC}/fatal.cc ${KELVO_SRC}/log.cc ${KELVO_SRC}/cfgvals.cc)
target_link_libraries(pack_test PRIVATE GTest::gtest GTest::gtest_main Threads::Threads xxhash lzf dl kelvo_php_embed)
# Under the sanitizers the engine's own allocator would hide our overruns from them.
# What the engine itself keeps of registered functions at shutdown is not ours to find.
if(KELVO_SANITIZE)
  set(KELVO_PACK_TEST_ENV "USE_ZEND_ALLOC=0;LSAN_OPTIONS=suppressions=${CMAKE_CURRENT_LIST_DIR}/pack.lsan")
else()
  set(KELVO_PACK_TEST_ENV "USE_ZEND_ALLOC=1")
endif()
gtest_discover_tests(pack_test DISCOVERY_TIMEOUT 60
  PROPERTIES TIMEOUT 300 ENVIRONMENT "${KELVO_PACK_TEST_ENV}")
