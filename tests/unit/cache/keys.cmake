# Cached values and shared maps over a plain shared mapping, with forked readers; no engine.
kelvo_unit_test(keys_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/keys_test.cc PARTS cache_free shm_free runtime_free)

# Values from reply trees the RESP3 reader builds, and their PHP values, inside the engine.
kelvo_engine_test(keys_engine_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/keys_engine_test.cc)

# Searches in stored sorted-set ranges: score, lex and rank bounds, covered bounds of a part, LIMIT.
kelvo_unit_test(zset_search_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/zset_search_test.cc PARTS cache_free shm_free runtime_free)
