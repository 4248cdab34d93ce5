kelvo_unit_test(fatal_test
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/fatal_test.cc ${KELVO_SRC}/fatal.cc ${KELVO_SRC}/log.cc ${KELVO_SRC}/cfgvals.cc)
