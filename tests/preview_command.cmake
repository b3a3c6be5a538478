# Runs zarn-preview once, as a user would, and checks its exit status and
# that its output (stdout and stderr together) matches a pattern.
#
#   cmake -DPROGRAM=... -DEMULATOR=a^^b -DSTATUS=n -DPATTERN=regex -DARGUMENTS=a^^b
#         -P preview_command.cmake
#
# Lists come joined by ^^; \n in PATTERN stands for a line break.
string(REPLACE "^^" ";" emulator "${EMULATOR}")
string(REPLACE "^^" ";" arguments "${ARGUMENTS}")
string(REPLACE "\\n" "\n" pattern "${PATTERN}")

execute_process(COMMAND ${emulator} ${PROGRAM} ${arguments}
  RESULT_VARIABLE status OUTPUT_VARIABLE output ERROR_VARIABLE errors)
# Wine writes its line breaks as CR LF.
string(REPLACE "\r\n" "\n" output "${output}")
string(REPLACE "\r\n" "\n" errors "${errors}")
set(shown "zarn-preview ${arguments}\n--- exit status ${status}\n--- stdout\n${output}--- stderr\n${errors}")
if(NOT status STREQUAL STATUS)
  message(FATAL_ERROR "expected exit status ${STATUS}\n${shown}")
endif()
if(NOT "${output}${errors}" MATCHES "${pattern}")
  message(FATAL_ERROR "expected output matching\n${pattern}\n${shown}")
endif()
if(NOT STATUS EQUAL 0)
  # A refusal is one line on stderr, with nothing on stdout.
  if(STATUS EQUAL 2 AND (NOT output STREQUAL "" OR NOT errors MATCHES "^zarn-preview: [^\n]+\n$"))
    message(FATAL_ERROR "expected one line on stderr and nothing on stdout\n${shown}")
  endif()
endif()
