# Installs the build into a fresh folder, checks the layout file by file,
# runs the installed tool as a user would, then makes the package and checks
# its name and contents.
string(REPLACE "^^" ";" emulator "${EMULATOR}")
set(prefix ${BUILD_DIR}/install-check)
file(REMOVE_RECURSE ${prefix})

execute_process(COMMAND ${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${prefix}
  RESULT_VARIABLE status OUTPUT_VARIABLE log ERROR_VARIABLE log)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "cmake --install failed (${status}):\n${log}")
endif()

set(expected
  bin/${PROGRAM}
  bin/${STAND_IN}
  include/zarn_tarvo_settings.mi
  lib/${LIBRARY}
  share/doc/zarn_tarvo_settings/README.md
  share/doc/zarn_tarvo_settings/architecture.md)
list(SORT expected)
file(GLOB_RECURSE installed RELATIVE ${prefix} ${prefix}/*)
list(SORT installed)
if(NOT installed STREQUAL expected)
  message(FATAL_ERROR "installed files:\n  ${installed}\nexpected:\n  ${expected}")
endif()

# The installed tool finds the library in ../lib and the declarations in
# ../include by itself.
execute_process(COMMAND ${emulator} ${prefix}/bin/${PROGRAM}
  RESULT_VARIABLE status OUTPUT_VARIABLE output ERROR_VARIABLE errors)
string(REPLACE "\r\n" "\n" output "${output}")
if(NOT status EQUAL 0 OR NOT output MATCHES "install-check.lib.${LIBRARY}"
   OR NOT output MATCHES "\nfinagather reflection prerejection +set_integer +0\n")
  message(FATAL_ERROR "installed ${PROGRAM}: exit status ${status}\n${output}${errors}")
endif()

file(REMOVE ${PACKAGE})
execute_process(COMMAND ${CPACK} --config ${BUILD_DIR}/CPackConfig.cmake
  RESULT_VARIABLE status OUTPUT_VARIABLE log ERROR_VARIABLE log)
if(NOT status EQUAL 0 OR NOT EXISTS ${PACKAGE})
  message(FATAL_ERROR "cpack made no ${PACKAGE} (${status}):\n${log}")
endif()
execute_process(COMMAND ${CMAKE_COMMAND} -E tar tf ${PACKAGE}
  RESULT_VARIABLE status OUTPUT_VARIABLE listing)
string(REGEX REPLACE "\\.zip$" "" top "${PACKAGE}")
get_filename_component(top ${top} NAME)
string(REPLACE "\n" ";" listing "${listing}")
set(packaged)
foreach(entry IN LISTS listing)
  if(entry MATCHES "/$" OR entry STREQUAL "")
    continue()
  endif()
  string(REGEX REPLACE "^${top}/" "" relative "${entry}")
  if(relative STREQUAL entry)
    message(FATAL_ERROR "${entry} lies outside the package's folder ${top}/")
  endif()
  list(APPEND packaged ${relative})
endforeach()
list(SORT packaged)
if(NOT packaged STREQUAL expected)
  message(FATAL_ERROR "packaged files:\n  ${packaged}\nexpected:\n  ${expected}")
endif()
