# Checks the built plug-in with the toolchain's binary tools: its machine
# type, exactly the five exports (the two version names at one address),
# no renderer function among its imports and, on Windows, no DLL but the
# system's own and a load entry point that turns thread notifications off.
#   cmake -DLIBRARY=... -DNM=... -DOBJDUMP=... -DWINDOWS=... -DPOINTER_SIZE=... -P check_exports.cmake
set(expected miSetModuleHandle zarn_TraceContinue zarn_TraceContinue_version
  zarn_tarvo_settings zarn_tarvo_settings_version)

# The file format objdump names for this build's machine.
if(WINDOWS AND POINTER_SIZE EQUAL 8)
  set(format pei-x86-64)
elseif(WINDOWS AND POINTER_SIZE EQUAL 4)
  set(format pei-i386)
elseif(POINTER_SIZE EQUAL 8)
  set(format elf64-x86-64)
elseif(POINTER_SIZE EQUAL 4)
  set(format elf32-i386)
else()
  message(FATAL_ERROR "no machine known for a pointer size of '${POINTER_SIZE}'")
endif()

execute_process(COMMAND ${OBJDUMP} -p ${LIBRARY} OUTPUT_VARIABLE table RESULT_VARIABLE failed)
if(failed)
  message(FATAL_ERROR "cannot read ${LIBRARY}")
endif()
string(REGEX MATCH "file format [^\n]+" found_format "${table}")
if(NOT found_format STREQUAL "file format ${format}")
  message(FATAL_ERROR "${found_format}, expected ${format}")
endif()

set(exported)   # export names
set(addresses)  # one address per export name, in the same order
set(imported)   # imported renderer functions, if any
set(imported_dlls)
if(WINDOWS)
  # The optional header must agree with the machine: PE32+ for 64 bits.
  if(POINTER_SIZE EQUAL 8)
    set(magic 020b)
  else()
    set(magic 010b)
  endif()
  if(NOT table MATCHES "\nMagic\t+${magic}\t")
    message(FATAL_ERROR "the optional header's magic is not ${magic}")
  endif()

  # Export address rows, "\t[   2] +base[   3] 8830 Export RVA", by ordinal
  # index; name rows, "\t[   2] zarn_TraceContinue_version", give the index
  # of the address that each name is exported at.
  string(REGEX MATCHALL "\n\t\\[ *[0-9]+\\] \\+base\\[ *[0-9]+\\] [0-9a-f]+ [A-Za-z]+ RVA"
    address_rows "${table}")
  foreach(row IN LISTS address_rows)
    string(REGEX REPLACE "^\n\t\\[ *([0-9]+)\\] \\+base\\[ *[0-9]+\\] ([0-9a-f]+) ([A-Za-z]+) RVA$"
      "\\1;\\2;\\3" fields "${row}")
    list(GET fields 0 index)
    list(GET fields 1 rva)
    list(GET fields 2 kind)
    if(NOT kind STREQUAL "Export")
      message(FATAL_ERROR "export ${index} is a ${kind}: nothing is forwarded elsewhere")
    endif()
    set(address_${index} ${rva})
  endforeach()
  string(FIND "${table}" "[Ordinal/Name Pointer] Table\n" names_at)
  if(names_at LESS 0)
    message(FATAL_ERROR "no export name table in ${LIBRARY}")
  endif()
  string(SUBSTRING "${table}" ${names_at} -1 names)
  string(REGEX MATCH "^[^\n]*\n(\t\\[ *[0-9]+\\] [^\n]+\n)*" names "${names}")
  string(REGEX MATCHALL "\t\\[ *[0-9]+\\] [^\n]+" name_rows "${names}")
  foreach(row IN LISTS name_rows)
    string(REGEX REPLACE "^\t\\[ *([0-9]+)\\] (.+)$" "\\1;\\2" fields "${row}")
    list(GET fields 0 index)
    list(GET fields 1 name)
    if(NOT DEFINED address_${index})
      message(FATAL_ERROR "export ${name} names no address")
    endif()
    list(APPEND exported ${name})
    list(APPEND addresses ${address_${index}})
  endforeach()

  # Import rows, "\t1c2d0\t  630  GetLastError", under each "DLL Name: ...".
  string(REGEX MATCHALL "\n\tDLL Name: [^\n]+" dll_rows "${table}")
  foreach(row IN LISTS dll_rows)
    string(REGEX REPLACE "^\n\tDLL Name: " "" dll "${row}")
    list(APPEND imported_dlls ${dll})
  endforeach()
  string(REGEX MATCHALL "\n\t[0-9a-f]+\t +[0-9]+ +mi_[A-Za-z0-9_]+" imported "${table}")
  if(NOT imported_dlls)
    message(FATAL_ERROR "no import table read from ${LIBRARY}")
  endif()
  # The load entry point turns thread notifications off, as the platform's
  # default one does.
  if(NOT table MATCHES "\n\t[0-9a-f]+\t +[0-9]+ +DisableThreadLibraryCalls\n")
    message(FATAL_ERROR "DisableThreadLibraryCalls is not imported: "
      "the load entry point leaves thread notifications on")
  endif()
else()
  execute_process(COMMAND ${NM} -D --defined-only --format=posix ${LIBRARY}
    OUTPUT_VARIABLE defined RESULT_VARIABLE failed)
  if(failed)
    message(FATAL_ERROR "cannot read ${LIBRARY}")
  endif()
  string(REGEX MATCHALL "(^|\n)[A-Za-z_][A-Za-z0-9_]* [TtWwiI] [0-9a-f]+" rows "${defined}")
  foreach(row IN LISTS rows)
    string(REGEX REPLACE "^\n?([A-Za-z0-9_]+) . ([0-9a-f]+)$" "\\1;\\2" fields "${row}")
    list(GET fields 0 name)
    list(GET fields 1 address)
    list(APPEND exported ${name})
    list(APPEND addresses ${address})
  endforeach()
  execute_process(COMMAND ${NM} -D --undefined-only ${LIBRARY} OUTPUT_VARIABLE undefined)
  string(REGEX MATCHALL "mi_[A-Za-z0-9_]+" imported "${undefined}")
endif()

set(sorted ${exported})
list(SORT sorted)
if(NOT sorted STREQUAL expected)
  message(FATAL_ERROR "exports are [${sorted}], expected [${expected}]")
endif()
list(FIND exported zarn_tarvo_settings_version settings_at)
list(FIND exported zarn_TraceContinue_version trace_at)
list(GET addresses ${settings_at} settings_version)
list(GET addresses ${trace_at} trace_version)
if(NOT settings_version STREQUAL trace_version)
  message(FATAL_ERROR "the version exports lie at ${settings_version} and ${trace_version}: "
    "they must be one function")
endif()
if(imported)
  string(REGEX REPLACE "[\n\t ]+[0-9a-f]+\t +[0-9]+ +" "" imported "${imported}")
  message(FATAL_ERROR "renderer functions imported: ${imported}")
endif()
# The compiler's runtime is linked in: what is left is the system's own.
foreach(dll IN LISTS imported_dlls)
  string(TOLOWER "${dll}" lower)
  if(NOT lower MATCHES "^(kernel32|msvcrt|ntdll|ucrtbase|api-ms-win-[a-z0-9-]+)\\.dll$")
    message(FATAL_ERROR "imports ${dll}, which is not a system DLL")
  endif()
endforeach()
message(STATUS "${found_format}; exports: ${sorted}")
if(imported_dlls)
  message(STATUS "imports from: ${imported_dlls}")
endif()
