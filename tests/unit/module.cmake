kelvo_unit_test(settings_test
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/settings_test.cc ${KELVO_SRC}/settings.cc ${KELVO_SRC}/cfgvals.cc)
kelvo_unit_test(errclass_test
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/errclass_test.cc ${KELVO_SRC}/errclass.cc)
