# Shared part of the Windows toolchains: Debian's mingw-w64 cross compilers,
# posix thread model (std::thread), tests run under Wine.
# Set ZARN_MINGW_TRIPLET (x86_64-w64-mingw32 or i686-w64-mingw32) first.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_C_COMPILER ${ZARN_MINGW_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${ZARN_MINGW_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER ${ZARN_MINGW_TRIPLET}-windres)
set(CMAKE_AR ${ZARN_MINGW_TRIPLET}-ar CACHE FILEPATH "")
set(CMAKE_RANLIB ${ZARN_MINGW_TRIPLET}-ranlib CACHE FILEPATH "")
set(CMAKE_NM ${ZARN_MINGW_TRIPLET}-nm CACHE FILEPATH "")
set(CMAKE_OBJDUMP ${ZARN_MINGW_TRIPLET}-objdump CACHE FILEPATH "")

set(CMAKE_FIND_ROOT_PATH /usr/${ZARN_MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Every program and module carries the compiler's runtime inside it, so the
# tests need nothing from the cross compiler's folders at run time.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
set(CMAKE_MODULE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

# One Wine process per test program, in a Wine prefix of this build's own.
set(CMAKE_CROSSCOMPILING_EMULATOR
  ${CMAKE_CURRENT_LIST_DIR}/run-wine.sh ${ZARN_WINE_ARCH} ${CMAKE_BINARY_DIR}/wine)
