# libFuzzer target for the RESP3 reader (clang only).
add_executable(fuzz_reader ${CMAKE_CURRENT_LIST_DIR}/reader_fuzz.cc)
target_link_options(fuzz_reader PRIVATE -fsanitize=fuzzer,address,undefined)
target_link_libraries(fuzz_reader PRIVATE kelvo_resp3_free)
