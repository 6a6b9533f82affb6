# Cross-compiling for 32-bit Windows, the target setup.exe ships for, with Debian's mingw-w64.
# Tests run under Wine through tests/harness/wine-run.
set(CMAKE_SYSTEM_PROCESSOR i686)
set(SETUP_MINGW_TRIPLE i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
