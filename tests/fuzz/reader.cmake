# libFuzzer target for the RESP3 reader (clang only).
add_executable(fuzz_reader ${CMAKE_CURRENT_LIST_DIR}/reader_fuzz.cc ${KELVO_SRC}/resp3_read.cc
               ${KELVO_SRC}/resp3_reply.cc)
target_compile_options(fuzz_reader PRIVATE -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=all)
target_link_options(fuzz_reader PRIVATE -fsanitize=fuzzer,address,undefined)
