add_executable(cache_bench ${CMAKE_CURRENT_LIST_DIR}/cache_bench.cc)
target_link_libraries(cache_bench PRIVATE benchmark::benchmark benchmark::benchmark_main kelvo_cache_free kelvo_shm_free
  kelvo_runtime_free)
