kelvo_unit_test(cluster_slots_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/slots_test.cc PARTS cluster_free runtime_free)
# The routing table against the commands the cluster client offers, reads and splits.
kelvo_engine_test(cluster_routing_table_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/routing_table_test.cc)
# Topology replies into plain topologies: the shapes servers give and the ones refused.
kelvo_engine_test(cluster_topology_engine_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/topology_engine_test.cc)
# The full scan's cursor refusals inside the engine.
kelvo_engine_test(cluster_fullscan_engine_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/fullscan_engine_test.cc)
