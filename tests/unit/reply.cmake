# Reply nodes built by the RESP3 reader; runs inside the engine like the
# request-buffer tests (kelvo_command_engine_test comes from command.cmake).
kelvo_command_engine_test(reply_test ${CMAKE_CURRENT_LIST_DIR}/reply_test.cc ${KELVO_SRC}/reply.cc
  ${KELVO_SRC}/resp3_read.cc ${KELVO_SRC}/resp3_reply.cc)
