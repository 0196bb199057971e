# The check build: 64-bit Windows, for machines whose kernel runs no 32-bit programs.
set(YAR_MINGW_ARCH x86_64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw.cmake)
