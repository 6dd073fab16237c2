# Installs a build tree into a scratch prefix, component by component, and
# checks that each component brings exactly its files.
# Usage: cmake -DBUILD=dir -DPREFIX=dir -P install_test.cmake
file(REMOVE_RECURSE ${PREFIX})
foreach(component tool sim)
  execute_process(COMMAND ${CMAKE_COMMAND} --install ${BUILD}
      --prefix ${PREFIX}/${component} --component ${component}
    RESULT_VARIABLE status)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "installing ${component} failed")
  endif()
endforeach()
file(GLOB_RECURSE tool RELATIVE ${PREFIX}/tool ${PREFIX}/tool/*)
file(GLOB_RECURSE sim RELATIVE ${PREFIX}/sim ${PREFIX}/sim/*)
list(SORT tool)
list(SORT sim)
if(NOT tool STREQUAL "bin/blindscan;share/man/man1/blindscan.1")
  message(FATAL_ERROR "tool component installed: ${tool}")
endif()
if(NOT sim STREQUAL "bin/blindscan-sim;share/man/man1/blindscan-sim.1")
  message(FATAL_ERROR "sim component installed: ${sim}")
endif()
file(REMOVE_RECURSE ${PREFIX})
