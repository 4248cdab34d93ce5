# The orders in which reads try a shard's nodes: shuffle, zone preference, failover candidates.
kelvo_unit_test(candidates_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/candidates_test.cc PARTS cluster_free runtime_free)
# Replica readiness, health, distribution and failover inside the engine, on a hand-built shard
# of scripted fake servers.
kelvo_engine_test(replicas_engine_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/replicas_engine_test.cc TIMEOUT 120)
