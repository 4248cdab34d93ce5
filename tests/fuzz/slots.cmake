# libFuzzer target for the key-to-slot rule (clang only).
add_executable(fuzz_slots ${CMAKE_CURRENT_LIST_DIR}/slots_fuzz.cc)
target_link_options(fuzz_slots PRIVATE -fsanitize=fuzzer,address,undefined)
target_link_libraries(fuzz_slots PRIVATE kelvo_cluster_free kelvo_runtime_free)
