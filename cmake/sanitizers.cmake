# ZARN_SANITIZER=address builds everything with AddressSanitizer and
# UndefinedBehaviorSanitizer, stopping at the first report; =thread with
# ThreadSanitizer.  ZARN_FUZZ adds the libFuzzer targets (clang only).
set(ZARN_SANITIZER "" CACHE STRING "address, thread, or empty")
option(ZARN_FUZZ "build the fuzz targets (clang)" OFF)

if(ZARN_SANITIZER STREQUAL "address")
  set(zarn_sanitize -fsanitize=address,undefined -fno-sanitize-recover=all)
  set(ZARN_SANITIZER_ENVIRONMENT
    "ASAN_OPTIONS=halt_on_error=1:abort_on_error=1:detect_leaks=1"
    "UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1")
elseif(ZARN_SANITIZER STREQUAL "thread")
  set(zarn_sanitize -fsanitize=thread)
  set(ZARN_SANITIZER_ENVIRONMENT "TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1")
elseif(NOT ZARN_SANITIZER STREQUAL "")
  message(FATAL_ERROR "ZARN_SANITIZER must be address, thread or empty")
endif()

if(zarn_sanitize)
  add_compile_options(${zarn_sanitize} -fno-omit-frame-pointer)
  if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
    # gcc's flow analysis sees the sanitizers' checks as paths on which the
    # standard library's objects are unset (std::function inside std::regex):
    # a known false alarm of instrumented builds only.
    add_compile_options(-Wno-maybe-uninitialized)
  endif()
  add_link_options(${zarn_sanitize})
endif()
if(ZARN_FUZZ)
  if(NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
    message(FATAL_ERROR "the fuzz targets need clang's libFuzzer")
  endif()
  add_compile_options(-fsanitize=fuzzer-no-link)
endif()
