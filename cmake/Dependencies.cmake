# Third-party code, built for the target from the sources that scripts/bootstrap unpacked from
# Debian's source packages. zlib too is built here rather than taken prebuilt: built for size
# with the rest of the product code, its deflate and inflate take 40 KB of setup.exe instead of
# the 69 KB of the mingw-w64 package's library.

# One dependency folder serves every build folder: scripts/bootstrap unpacks into <source>/deps
# unless SETUP_DEPS_DIR says otherwise, for the script and for CMake alike.
if(DEFINED ENV{SETUP_DEPS_DIR})
  set(_deps_default "$ENV{SETUP_DEPS_DIR}")
else()
  set(_deps_default "${CMAKE_SOURCE_DIR}/deps")
endif()
set(SETUP_DEPS_DIR "${_deps_default}" CACHE PATH "Where scripts/bootstrap unpacked zlib, minizip and TinyXML")
foreach(dep zlib minizip tinyxml)
  if(NOT EXISTS "${SETUP_DEPS_DIR}/${dep}/.ready")
    if(SETUP_DEPS_DIR STREQUAL "${CMAKE_SOURCE_DIR}/deps")
      set(_bootstrap "${CMAKE_SOURCE_DIR}/scripts/bootstrap")
    else()
      set(_bootstrap "SETUP_DEPS_DIR='${SETUP_DEPS_DIR}' ${CMAKE_SOURCE_DIR}/scripts/bootstrap")
    endif()
    message(FATAL_ERROR "The ${dep} sources are missing in ${SETUP_DEPS_DIR}. Run:\n  ${_bootstrap}\nthen configure again.")
  endif()
endforeach()

# The dependency folder's path stays out of the objects, wherever it lies (see
# cmake/ReproducibleBuild.cmake).
add_compile_options("-ffile-prefix-map=${SETUP_DEPS_DIR}=deps")

set(_zlib "${SETUP_DEPS_DIR}/zlib")
add_library(zlib STATIC
  "${_zlib}/adler32.c" "${_zlib}/crc32.c" "${_zlib}/deflate.c" "${_zlib}/inflate.c" "${_zlib}/inftrees.c"
  "${_zlib}/inffast.c" "${_zlib}/trees.c" "${_zlib}/uncompr.c" "${_zlib}/zutil.c")
target_include_directories(zlib SYSTEM PUBLIC "${_zlib}")
target_compile_options(zlib PRIVATE -w)

set(_minizip "${SETUP_DEPS_DIR}/minizip")
add_library(minizip STATIC "${_minizip}/unzip.c" "${_minizip}/zip.c" "${_minizip}/ioapi.c")
target_include_directories(minizip SYSTEM PUBLIC "${_minizip}")
target_compile_definitions(minizip PUBLIC NOCRYPT NOUNCRYPT)
target_compile_options(minizip PRIVATE -w)
target_link_libraries(minizip PUBLIC zlib)

set(_tinyxml "${SETUP_DEPS_DIR}/tinyxml")
add_library(tinyxml STATIC
  "${_tinyxml}/tinyxml.cpp" "${_tinyxml}/tinystr.cpp"
  "${_tinyxml}/tinyxmlerror.cpp" "${_tinyxml}/tinyxmlparser.cpp")
target_include_directories(tinyxml SYSTEM PUBLIC "${_tinyxml}")
target_compile_options(tinyxml PRIVATE -w)

if(SETUP_BUILD_TESTS)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
  add_subdirectory(/usr/src/googletest "${CMAKE_BINARY_DIR}/googletest" EXCLUDE_FROM_ALL)
endif()
