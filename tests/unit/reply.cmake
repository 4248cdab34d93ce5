# Reply nodes built by the RESP3 reader; runs inside the engine like the
# request-buffer tests (kelvo_command_engine_test comes from command.cmake).
file(GLOB KELVO_REPLY_READER_SOURCES ${KELVO_SRC}/resp3_*.cc)
kelvo_command_engine_test(reply_test ${CMAKE_CURRENT_LIST_DIR}/reply_test.cc ${KELVO_SRC}/reply.cc
  ${KELVO_REPLY_READER_SOURCES})
target_link_libraries(reply_test PRIVATE ssl crypto)
