kelvo_unit_test(smoke_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/smoke_test.cc)
