# Test helpers shared by every folder:
#   tovren_unit_test(name SOURCES ... LIBS ...)   host GoogleTest program, label "unit"
#   tovren_wine_test(name SOURCES ... LIBS ...)   MinGW GoogleTest program run under Wine, label "wine"
#   tovren_fuzz_target(name SOURCES ... LIBS ... [CORPUS dir] [RUNS n])
#                                                 libFuzzer target (clang only): the committed
#                                                 seeds replayed, then a fixed number of runs
#                                                 with a fixed seed, inside the unit label
#                                                 (scripts/run-fuzz)
include(GoogleTest)

option(TOVREN_SANITIZE "Build the host logic and tests with ASan and UBSan" OFF)
if(TOVREN_SANITIZE AND NOT WIN32)
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  add_link_options(-fsanitize=address,undefined)
endif()

if(WIN32)
  # GoogleTest cross-built from the Debian sources.
  if(NOT TARGET gtest)
    set(gtest_force_shared_crt OFF CACHE BOOL "" FORCE)
    set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
    set(BUILD_GMOCK ON CACHE BOOL "" FORCE)
    add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
  endif()
  set(TOVREN_GTEST_LIBS gtest gmock gtest_main)
else()
  find_package(GTest REQUIRED)
  set(TOVREN_GTEST_LIBS GTest::gtest GTest::gmock GTest::gtest_main)
endif()

function(tovren_unit_test name)
  cmake_parse_arguments(T "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} ${TOVREN_GTEST_LIBS})
  gtest_discover_tests(${name} PROPERTIES LABELS unit TIMEOUT 120 DISCOVERY_TIMEOUT 60)
endfunction()

function(tovren_wine_test name)
  cmake_parse_arguments(T "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} ${TOVREN_GTEST_LIBS})
  # Discovery runs the program under Wine too, so it waits for ctest time.
  gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 120
    PROPERTIES LABELS wine TIMEOUT 180)
endfunction()

function(tovren_fuzz_target name)
  cmake_parse_arguments(T "" "CORPUS;RUNS" "SOURCES;LIBS" ${ARGN})
  if(WIN32 OR NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
    return()
  endif()
  if(NOT T_RUNS)
    set(T_RUNS 20000)
  endif()
  add_executable(${name} ${T_SOURCES})
  target_compile_options(${name} PRIVATE -fsanitize=fuzzer)
  target_link_options(${name} PRIVATE -fsanitize=fuzzer)
  target_link_libraries(${name} PRIVATE ${T_LIBS})
  add_test(NAME ${name}
    COMMAND ${CMAKE_SOURCE_DIR}/scripts/run-fuzz $<TARGET_FILE:${name}> ${T_RUNS}
            ${CMAKE_CURRENT_BINARY_DIR}/${name}-scratch ${T_CORPUS})
  set_tests_properties(${name} PROPERTIES LABELS unit TIMEOUT 300)
endfunction()

# Adds every sub-folder of the calling folder that has a CMakeLists.txt: each area keeps
# its tests in a folder of its own.
function(tovren_add_test_folders)
  file(GLOB dirs LIST_DIRECTORIES true CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*)
  foreach(d ${dirs})
    if(IS_DIRECTORY ${d} AND EXISTS ${d}/CMakeLists.txt)
      add_subdirectory(${d})
    endif()
  endforeach()
endfunction()
