kelvo_unit_test(resp3_test
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/resp3_read_test.cc ${CMAKE_CURRENT_LIST_DIR}/resp3_net_test.cc
          ${CMAKE_CURRENT_LIST_DIR}/resp3_tls_test.cc
  PARTS resp3_free)
