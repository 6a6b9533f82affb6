# Cross-compiling for 64-bit Windows: only for running the tests on a machine whose kernel runs
# no 32-bit programs (see scripts/test). setup.exe ships as a 32-bit program built with
# cmake/mingw-i686.cmake.
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(SETUP_MINGW_TRIPLE x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
