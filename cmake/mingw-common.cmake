# The part of the mingw-w64 toolchain files that does not depend on the target: Debian's
# compilers for the triple in SETUP_MINGW_TRIPLE, posix thread model (which GoogleTest needs for
# std::thread and std::mutex), looking for libraries and headers only in the target's root.
set(CMAKE_SYSTEM_NAME Windows)

set(CMAKE_C_COMPILER ${SETUP_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${SETUP_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${SETUP_MINGW_TRIPLE}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${SETUP_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
