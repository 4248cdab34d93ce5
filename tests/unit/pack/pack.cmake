# Value packing runs inside the engine: the tests start the embed SAPI (with igbinary and
# msgpack loaded) and drive the serializers and compressors directly. LZ4 and Zstandard are
# not linked: the tests find them the way the module does. What the engine itself keeps of
# registered functions at shutdown is not ours to find.
if(KELVO_SANITIZE)
  set(KELVO_PACK_TEST_ENV "LSAN_OPTIONS=suppressions=${CMAKE_CURRENT_LIST_DIR}/pack.lsan")
else()
  set(KELVO_PACK_TEST_ENV "USE_ZEND_ALLOC=1")
endif()
kelvo_engine_test(pack_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/pack_test.cc
  ENV ${KELVO_PACK_TEST_ENV})
