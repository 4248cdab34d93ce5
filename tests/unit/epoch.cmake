kelvo_unit_test(epoch_test
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/epoch_test.cc ${KELVO_SRC}/epoch.cc ${KELVO_SRC}/shared.cc ${KELVO_SRC}/ck_shim.c
          ${KELVO_SRC}/shmalloc.cc ${KELVO_SRC}/rbtree.cc ${KELVO_SRC}/lock.cc
          ${KELVO_SRC}/fatal.cc ${KELVO_SRC}/log.cc ${KELVO_SRC}/cfgvals.cc
  LIBS ck)
