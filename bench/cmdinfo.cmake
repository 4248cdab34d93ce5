add_executable(cmdinfo_bench ${CMAKE_CURRENT_LIST_DIR}/cmdinfo_bench.cc)
target_link_libraries(cmdinfo_bench PRIVATE benchmark::benchmark benchmark::benchmark_main
  kelvo_catalog_free kelvo_runtime_free)
