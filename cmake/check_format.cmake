# Run as a test: cmake -DSOURCE_DIR=... -DCLANG_FORMAT=... -P check_format.cmake
# Fails when a source file differs from what clang-format makes of it (.clang-format at the
# top), naming the file and the line. Without clang-format the test is skipped.
cmake_minimum_required(VERSION 3.25)
if(NOT CLANG_FORMAT)
  # The test's SKIP_REGULAR_EXPRESSION looks for these words.
  message("format_check skipped: clang-format is not installed (scripts/install-deps.sh installs it)")
  return()
endif()
file(GLOB_RECURSE files
  ${SOURCE_DIR}/src/*.h ${SOURCE_DIR}/src/*.cpp ${SOURCE_DIR}/tests/*.h ${SOURCE_DIR}/tests/*.cpp
  ${SOURCE_DIR}/bench/*.h ${SOURCE_DIR}/bench/*.cpp ${SOURCE_DIR}/fuzz/*.h ${SOURCE_DIR}/fuzz/*.cpp
  ${SOURCE_DIR}/generators/*.h ${SOURCE_DIR}/generators/*.cpp)
# Written by generators/gen_char_names.py, which decides its layout.
list(FILTER files EXCLUDE REGEX "/src/tools/char_names\\.cpp$")
execute_process(COMMAND ${CLANG_FORMAT} --dry-run --Werror --style=file ${files}
  WORKING_DIRECTORY ${SOURCE_DIR} RESULT_VARIABLE result ERROR_VARIABLE problems)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "Format check failed; run clang-format -i on these files:\n${problems}")
endif()
list(LENGTH files count)
message(STATUS "Format check passed: ${count} files")
