# Request-buffer and reply-node tests run inside the engine (request memory, strings,
# arrays); reply nodes are built by the RESP3 reader.
kelvo_engine_test(command_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/command_test.cc)
kelvo_engine_test(reply_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/reply_test.cc)
