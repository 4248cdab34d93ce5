kelvo_unit_test(cluster_harness_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/cluster_harness_test.cc)
