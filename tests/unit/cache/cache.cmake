# The shared cache's index over a plain shared mapping, with forked processes and no engine:
# key leases, the two added hash-set operations, endpoints, cached database sets, entries,
# flushes, dead lock holders, and a fork stress of writers, readers and a poller.
kelvo_unit_test(keylease_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/keylease_test.cc PARTS cache_free shm_free runtime_free)
kelvo_unit_test(rhs_map_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/rhs_map_test.cc PARTS cache_free shm_free runtime_free)
kelvo_unit_test(cache_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/cache_test.cc PARTS cache_free shm_free runtime_free)
kelvo_unit_test(cache_stress_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/cache_stress_test.cc PARTS cache_free shm_free runtime_free)

# The cache as client links meet it: the whole module in the embed SAPI against the harness's server.
kelvo_engine_test(cache_engine_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/cache_engine_test.cc SERIAL)

# The count-min sketch and admission rule, and the HyperLogLog kernels (also against the
# harness's server's own PFCOUNT).
kelvo_unit_test(cms_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/cms_test.cc PARTS cache_free shm_free runtime_free)
kelvo_unit_test(hll_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/hll_test.cc PARTS cache_free shm_free runtime_free resp3_free)
kelvo_unit_test(patterns_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/patterns_test.cc PARTS cache_free shm_free runtime_free)
kelvo_unit_test(evict_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/evict_test.cc PARTS cache_free shm_free runtime_free)
# Invalidation delivery in the arena: the signal reader over a socket pair, removals and stale
# marks, the drain bound of a lease holder's entries, the shared queues with forked producers.
kelvo_unit_test(delivery_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/delivery_test.cc PARTS cache_free shm_free runtime_free)

# Delivery across forked workers of the engine: idle workers reached through the signal reader,
# flushes, a burst of deletes, a busy or killed storing worker, termination, the link pool.
kelvo_engine_test(invalidation_engine_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/invalidation_engine_test.cc TIMEOUT 120 SERIAL)
