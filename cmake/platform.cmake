# How the deliverable is linked on each platform.
if(WIN32)
  # The compiler's runtime goes inside the DLL, so nothing but the system's
  # own DLLs is needed beside it.
  target_link_options(zarn_tarvo_settings PRIVATE -static -static-libgcc -static-libstdc++)
elseif(NOT ZARN_SANITIZER AND NOT ZARN_FUZZ)
  # Nothing may stay undefined: no renderer function is ever linked.  (A
  # sanitizer's runtime comes with the program that loads the library.)
  target_link_options(zarn_tarvo_settings PRIVATE -Wl,--no-undefined)
endif()
