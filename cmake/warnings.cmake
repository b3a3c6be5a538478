# Warnings that every target of ours compiles clean with.
add_library(zarn_warnings INTERFACE)
target_compile_options(zarn_warnings INTERFACE -Wall -Wextra -Werror=return-type)
if(ZARN_WARNINGS_AS_ERRORS)
  target_compile_options(zarn_warnings INTERFACE -Werror)
endif()
