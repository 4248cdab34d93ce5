# The orders in which reads try a shard's nodes: shuffle, zone preference, failover candidates.
kelvo_unit_test(candidates_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/candidates_test.cc PARTS cluster_free runtime_free)
