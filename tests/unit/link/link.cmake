# Links inside a running engine (the whole module started by the embed SAPI),
# against the harness's servers and the scripted fake server.
kelvo_engine_test(link_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/link_test.cc TIMEOUT 120)
kelvo_engine_test(link_fake_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/link_fake_test.cc TIMEOUT 120)

# Back-off needs nothing but itself.
kelvo_unit_test(backoff_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/backoff_test.cc PARTS link_free runtime_free)
