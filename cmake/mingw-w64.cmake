# Shared part of the cross-compiling toolchains: the MinGW-w64 "-posix" compilers (GoogleTest
# needs their std::thread and std::mutex) for the processor set by the file that includes this
# one; every program is linked statically so it needs no DLL beyond Windows' own.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_C_COMPILER ${MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${MINGW_PREFIX}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

# Tests and benchmarks run under Wine: 64-bit programs under Debian's 64-bit loader, which works
# whether or not 32-bit Wine is installed; 32-bit ones under the 32-bit loader itself (Debian's
# "wine" falls back on the 64-bit loader when wine32 is missing, and that one cannot run them).
if(CMAKE_SYSTEM_PROCESSOR STREQUAL "x86_64")
  find_program(NIMBREL_WINE64 NAMES wine64 wine PATHS /usr/lib/wine)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${NIMBREL_WINE64})
else()
  find_program(NIMBREL_WINE32 NAMES wine PATHS /usr/lib/wine NO_DEFAULT_PATH)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${NIMBREL_WINE32})
endif()
if(NOT CMAKE_CROSSCOMPILING_EMULATOR)
  unset(CMAKE_CROSSCOMPILING_EMULATOR)
endif()
