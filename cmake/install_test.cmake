# Installs a build tree into a scratch prefix, component by component, and
# checks that each component brings exactly its files.
# Usage: cmake -DBUILD=dir -DPREFIX=dir [-DCOMPONENTS=tool;sim] -P install_test.cmake
if(NOT COMPONENTS)
  set(COMPONENTS tool sim)
endif()
set(expected_tool "bin/blindscan;share/man/man1/blindscan.1")
set(expected_sim "bin/blindscan-sim;share/man/man1/blindscan-sim.1")
file(REMOVE_RECURSE ${PREFIX})
foreach(component ${COMPONENTS})
  execute_process(COMMAND ${CMAKE_COMMAND} --install ${BUILD}
      --prefix ${PREFIX}/${component} --component ${component}
    RESULT_VARIABLE status)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "installing ${component} from ${BUILD} failed")
  endif()
  file(GLOB_RECURSE installed RELATIVE ${PREFIX}/${component} ${PREFIX}/${component}/*)
  list(SORT installed)
  if(NOT installed STREQUAL expected_${component})
    message(FATAL_ERROR "${component} installed: ${installed}")
  endif()
endforeach()
file(REMOVE_RECURSE ${PREFIX})
