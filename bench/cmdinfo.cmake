add_executable(cmdinfo_bench ${CMAKE_CURRENT_LIST_DIR}/cmdinfo_bench.cc ${KELVO_SRC}/cmdinfo.cc ${KELVO_SRC}/cmdtable.cc
               ${KELVO_SRC}/cmdroles.cc ${KELVO_SRC}/fatal.cc ${KELVO_SRC}/log.cc ${KELVO_SRC}/cfgvals.cc)
target_link_libraries(cmdinfo_bench PRIVATE benchmark::benchmark benchmark::benchmark_main)
