# The shared table's storage over a plain shared mapping, with forked processes and no engine:
# values and their accounting, replacing, expiry, removal, emptying, the expiry sweep, a heap too
# small to grow a set, dead lock holders, and forked writers and readers on one namespace.
kelvo_unit_test(table_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/table_test.cc PARTS table_free cache_free shm_free runtime_free)
kelvo_unit_test(table_stress_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/table_stress_test.cc PARTS table_free cache_free shm_free runtime_free)
