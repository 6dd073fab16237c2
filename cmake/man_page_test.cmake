# Renders a manual page with groff, warnings on; any warning fails.
# Usage: cmake -DPAGE=file.1 -P man_page_test.cmake
find_program(GROFF groff REQUIRED)
execute_process(COMMAND ${GROFF} -man -ww -z ${PAGE}
  RESULT_VARIABLE status ERROR_VARIABLE warnings OUTPUT_QUIET)
if(NOT status EQUAL 0 OR NOT warnings STREQUAL "")
  message(FATAL_ERROR "groff on ${PAGE} (status ${status}):\n${warnings}")
endif()
