# Unpacking bytes from the wire with every compressor: crafted lengths and
# frames must come back as their bytes, and what we pack must come back as
# it was. Runs the engine (embed SAPI) with its allocator off, so the
# sanitizers see every request allocation.
add_executable(fuzz_pack ${CMAKE_CURRENT_LIST_DIR}/pack_fuzz.cc)
target_link_options(fuzz_pack PRIVATE -fsanitize=fuzzer,address,undefined)
target_link_libraries(fuzz_pack PRIVATE kelvo_pack kelvo_runtime_free kelvo_php_embed)
