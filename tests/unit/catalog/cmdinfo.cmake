kelvo_unit_test(cmdinfo_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/cmdinfo_test.cc PARTS catalog_free commands_free runtime_free)

# The generated tables must be what tools/commands.tsv says.
find_package(Python3 REQUIRED COMPONENTS Interpreter)
add_test(NAME cmdinfo_generated_tables_current
  COMMAND ${Python3_EXECUTABLE} ${CMAKE_SOURCE_DIR}/tools/gencmdinfo.py --check)

# The least builder needs the engine and the request buffer.
kelvo_engine_test(cmdinfo_engine_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/cmdinfo_engine_test.cc)
