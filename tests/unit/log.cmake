kelvo_unit_test(log_test
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/log_test.cc ${CMAKE_CURRENT_LIST_DIR}/log_crash_test.cc
          ${KELVO_SRC}/log.cc ${KELVO_SRC}/fatal.cc ${KELVO_SRC}/cfgvals.cc)
