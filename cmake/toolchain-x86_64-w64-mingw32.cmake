# 64-bit Windows with MinGW-w64. This build proves the same sources where no 32-bit
# program can run (a kernel without 32-bit support has no 32-bit Wine); what players get
# is the 32-bit build.
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(TOVREN_MINGW_TRIPLET x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-toolchain.cmake)
