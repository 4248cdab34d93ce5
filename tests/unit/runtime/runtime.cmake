kelvo_unit_test(settings_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/settings_test.cc PARTS runtime_free)
kelvo_unit_test(errclass_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/errclass_test.cc PARTS runtime_free)
kelvo_unit_test(fatal_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/fatal_test.cc PARTS runtime_free)
kelvo_unit_test(log_test
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/log_test.cc ${CMAKE_CURRENT_LIST_DIR}/log_crash_test.cc PARTS runtime_free)

# The whole module, started by the embed SAPI as if php.ini had loaded it:
# start-up and shutdown hooks, the exception class and its message form.
kelvo_engine_test(module_engine_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/module_engine_test.cc)
