# 32-bit x86 Windows with mingw-w64; tests under Wine's 32-bit loader.
set(CMAKE_SYSTEM_PROCESSOR x86)
set(ZARN_MINGW_TRIPLET i686-w64-mingw32)
set(ZARN_WINE_ARCH i386)
include(${CMAKE_CURRENT_LIST_DIR}/mingw.cmake)
