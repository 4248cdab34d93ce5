kelvo_unit_test(cluster_slots_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/slots_test.cc PARTS cluster_free)
