add_executable(shm_bench ${CMAKE_CURRENT_LIST_DIR}/shm_bench.cc ${KELVO_SRC}/epoch.cc ${KELVO_SRC}/shared.cc
               ${KELVO_SRC}/ck_shim.c ${KELVO_SRC}/shmalloc.cc ${KELVO_SRC}/rbtree.cc ${KELVO_SRC}/lock.cc
               ${KELVO_SRC}/fatal.cc ${KELVO_SRC}/log.cc ${KELVO_SRC}/cfgvals.cc)
target_link_libraries(shm_bench PRIVATE benchmark::benchmark benchmark::benchmark_main ck)
