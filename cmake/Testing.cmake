# GoogleTest: the system's package natively, built from Debian's sources when cross-compiling,
# so that tests of Win32 code run against Wine through CMAKE_CROSSCOMPILING_EMULATOR.
if(CMAKE_CROSSCOMPILING)
  set(gtest_disable_pthreads ON CACHE BOOL "" FORCE)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  # GoogleTest's port hooks, found before its own: a start-up notification for the Windows thread model.
  include_directories(BEFORE ${PROJECT_SOURCE_DIR}/tests/gtest-win32)
  add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)
  set(YAR_GTEST_MAIN GTest::gtest_main)
  if(NOT TARGET GTest::gtest_main)
    add_library(GTest::gtest ALIAS gtest)
    add_library(GTest::gtest_main ALIAS gtest_main)
    add_library(GTest::gmock ALIAS gmock)
  endif()
else()
  find_package(GTest REQUIRED)
endif()
include(GoogleTest)

# yar_add_gtest(name [DISPLAY] SOURCES ... LIBS ...): one test executable, its cases registered with CTest.
# DISPLAY: the cases show windows whose activation and keyboard focus they check; two such processes at
# once would take the active window from each other, so they run one at a time (other tests go on beside).
function(yar_add_gtest name)
  cmake_parse_arguments(ARG "DISPLAY" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  yar_warnings(${name})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gtest_main GTest::gmock)
  if(WIN32)
    target_link_options(${name} PRIVATE -static)
  endif()
  set(properties TIMEOUT 120 LABELS "${name}")
  if(ARG_DISPLAY)
    list(APPEND properties RESOURCE_LOCK display)
  endif()
  gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 120 PROPERTIES ${properties})
endfunction()
