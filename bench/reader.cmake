# The RESP3 reader against Debian's libhiredis 0.14 reader on RESP2 frames.
# Both use the same symbol names, so the peer lives in a module of its own
# that the benchmark loads with RTLD_DEEPBIND, and ours is hidden.
add_library(reader_bench_peer MODULE ${CMAKE_CURRENT_LIST_DIR}/reader_peer.c)
target_link_libraries(reader_bench_peer PRIVATE hiredis)
add_executable(bench_reader ${CMAKE_CURRENT_LIST_DIR}/reader.cc ${KELVO_SRC}/resp3/resp3_read.cc ${KELVO_SRC}/resp3/resp3_reply.cc)
target_compile_options(bench_reader PRIVATE -fvisibility=hidden)
target_compile_definitions(bench_reader PRIVATE KELVO_READER_PEER="$<TARGET_FILE:reader_bench_peer>")
target_link_libraries(bench_reader PRIVATE benchmark::benchmark ${CMAKE_DL_LIBS})
add_dependencies(bench_reader reader_bench_peer)
