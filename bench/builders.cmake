# Build-only cost of the request builders, inside the embed SAPI with the whole module.
add_executable(builders_bench ${CMAKE_CURRENT_LIST_DIR}/builders.cc)
target_link_libraries(builders_bench PRIVATE benchmark::benchmark ${KELVO_PARTS} kelvo_php_embed ${KELVO_PART_LIBS})
