# Cross-compiles for 32-bit Windows (build/win32); the program also runs on 64-bit Windows.
set(CMAKE_SYSTEM_PROCESSOR i686)
set(MINGW_PREFIX i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64.cmake)
