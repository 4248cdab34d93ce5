# The client surface inside a running engine with the module started: events made by the
# module and the property guard as PHP code meets it; the client record against the
# harness's servers.
kelvo_engine_test(client_engine_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/client_engine_test.cc)
kelvo_engine_test(object_engine_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/object_engine_test.cc)
# Event listeners with a scripted shared queue and the cached reads' own-write firing stood in for.
kelvo_engine_test(listeners_engine_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/listeners_engine_test.cc SERIAL)
# Admission and eviction inside the engine: patterns, the filter with forked workers, fills.
kelvo_engine_test(adaptive_engine_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/adaptive_engine_test.cc SERIAL)
