# 64-bit Windows with mingw-w64; tests under wine64.
set(CMAKE_SYSTEM_PROCESSOR AMD64)
set(ZARN_MINGW_TRIPLET x86_64-w64-mingw32)
set(ZARN_WINE_ARCH x86_64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw.cmake)
