kelvo_unit_test(lock_test
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/lock_test.cc ${KELVO_SRC}/shmalloc.cc ${KELVO_SRC}/rbtree.cc ${KELVO_SRC}/lock.cc
          ${KELVO_SRC}/fatal.cc ${KELVO_SRC}/log.cc ${KELVO_SRC}/cfgvals.cc)
