add_executable(admission_bench ${CMAKE_CURRENT_LIST_DIR}/admission_bench.cc)
target_link_libraries(admission_bench PRIVATE benchmark::benchmark benchmark::benchmark_main kelvo_cache_free
  kelvo_shm_free kelvo_runtime_free)
