kelvo_unit_test(cluster_slots_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/slots_test.cc PARTS cluster_free)
# The routing table against the commands the cluster client offers, reads and splits.
kelvo_engine_test(cluster_routing_table_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/routing_table_test.cc)
