add_executable(shm_bench ${CMAKE_CURRENT_LIST_DIR}/shm_bench.cc)
target_link_libraries(shm_bench PRIVATE benchmark::benchmark benchmark::benchmark_main kelvo_shm_free kelvo_runtime_free)
