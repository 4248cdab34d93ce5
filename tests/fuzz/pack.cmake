# Unpacking bytes from the wire with every compressor: crafted lengths and
# frames must come back as their bytes, and what we pack must come back as
# it was. Runs the engine (embed SAPI) with its allocator off, so the
# sanitizers see every request allocation.
add_executable(fuzz_pack ${CMAKE_CURRENT_LIST_DIR}/pack_fuzz.cc
  ${KELVO_SRC}/pack.cc ${KELVO_SRC}/pack_ser.cc ${KELVO_SRC}/pack_lzf.cc
  ${KELVO_SRC}/pack_zstd.cc ${KELVO_SRC}/pack_lz4.cc
  ${KELVO_SRC}/fatal.cc ${KELVO_SRC}/log.cc ${KELVO_SRC}/cfgvals.cc)
target_compile_options(fuzz_pack PRIVATE -fsanitize=fuzzer,address,undefined)
target_link_options(fuzz_pack PRIVATE -fsanitize=fuzzer,address,undefined)
target_link_libraries(fuzz_pack PRIVATE xxhash lzf dl kelvo_php_embed)
