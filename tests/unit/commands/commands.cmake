# Reply conversion and the formatters inside an engine that started the module: replies come
# from the RESP3 reader, reports reach PHP as the module makes them.
kelvo_engine_test(commands_reply_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/commands_reply_test.cc)

# The dispatcher against the harness's server: request counters and reconnects while a WATCH holds.
# Alone: its counters expect cache hits, which another test's flush of the shared server would
# turn into misses through the flush pushes every tracking link now applies.
kelvo_engine_test(commands_dispatch_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/commands_dispatch_test.cc SERIAL)

# Pipelines and transactions with the cache's answers and the invalidation delivery stood in for.
kelvo_engine_test(multi_engine_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/multi_engine_test.cc SERIAL)

# Each request builder by itself: exact requests under every packing option, refusals, and the
# harness's server parsing each request as one command.
kelvo_engine_test(builders_engine_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/builders_engine_test.cc)

# Random values in every parameter of those builders, for a bounded time.
kelvo_engine_test(builders_fuzz_engine_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/builders_fuzz_engine_test.cc TIMEOUT 120)

# Every write the harness's server lists finds and drops its keys.
kelvo_engine_test(invalidate_engine_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/invalidate_engine_test.cc)

# The JSON document and search commands: exact requests of their builders, and their formatters on
# the replies of current and older module versions.
kelvo_engine_test(modules_builders_engine_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/modules_builders_engine_test.cc)
kelvo_engine_test(modules_reply_engine_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/modules_reply_engine_test.cc)

# Random RESP3 through their formatters, and random option arrays whose clause counts must read.
kelvo_engine_test(modules_reply_fuzz_engine_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/modules_reply_fuzz_engine_test.cc TIMEOUT 120)
kelvo_engine_test(modules_options_fuzz_engine_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/modules_options_fuzz_engine_test.cc TIMEOUT 120)
