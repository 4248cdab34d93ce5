set(KELVO_SHM_SOURCES ${KELVO_SRC}/shmalloc.cc ${KELVO_SRC}/rbtree.cc ${KELVO_SRC}/lock.cc
    ${KELVO_SRC}/fatal.cc ${KELVO_SRC}/log.cc ${KELVO_SRC}/cfgvals.cc)
kelvo_unit_test(shmalloc_test
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/shmalloc_test.cc ${KELVO_SHM_SOURCES})
