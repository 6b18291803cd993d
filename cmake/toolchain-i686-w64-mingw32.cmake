# 32-bit Windows with MinGW-w64: the launcher players get.
set(CMAKE_SYSTEM_PROCESSOR i686)
set(TOVREN_MINGW_TRIPLET i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-toolchain.cmake)
