kelvo_unit_test(cmdinfo_test
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/cmdinfo_test.cc ${KELVO_SRC}/cmdinfo.cc ${KELVO_SRC}/cmdtable.cc
          ${KELVO_SRC}/cmdroles.cc ${KELVO_SRC}/fatal.cc ${KELVO_SRC}/log.cc ${KELVO_SRC}/cfgvals.cc)

# The generated tables must be what tools/commands.tsv says.
find_package(Python3 REQUIRED COMPONENTS Interpreter)
add_test(NAME cmdinfo_generated_tables_current
  COMMAND ${Python3_EXECUTABLE} ${CMAKE_CURRENT_LIST_DIR}/../../tools/gencmdinfo.py --check)
