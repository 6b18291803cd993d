# What both MinGW-w64 toolchain files share; each sets TOVREN_MINGW_TRIPLET first. The
# -posix variant: the win32-threads compiler has no std::thread/std::mutex, which
# GoogleTest and the page-load worker need.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_C_COMPILER ${TOVREN_MINGW_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${TOVREN_MINGW_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER ${TOVREN_MINGW_TRIPLET}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${TOVREN_MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
# Test programs run through Wine (loader, prefix, locale and quiet settings in the script).
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../scripts/wine-run)
