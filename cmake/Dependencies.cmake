# Third-party code, built for the target from the sources that scripts/bootstrap unpacked from
# Debian's source packages (zlib itself comes prebuilt from libz-mingw-w64-dev).

# One dependency folder serves every build folder: scripts/bootstrap unpacks into <source>/deps
# unless SETUP_DEPS_DIR says otherwise, for the script and for CMake alike.
if(DEFINED ENV{SETUP_DEPS_DIR})
  set(_deps_default "$ENV{SETUP_DEPS_DIR}")
else()
  set(_deps_default "${CMAKE_SOURCE_DIR}/deps")
endif()
set(SETUP_DEPS_DIR "${_deps_default}" CACHE PATH "Where scripts/bootstrap unpacked minizip and TinyXML")
foreach(dep minizip tinyxml)
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

set(ZLIB_USE_STATIC_LIBS ON)
find_package(ZLIB REQUIRED)

set(_minizip "${SETUP_DEPS_DIR}/minizip")
add_library(minizip STATIC "${_minizip}/unzip.c" "${_minizip}/zip.c" "${_minizip}/ioapi.c")
target_include_directories(minizip SYSTEM PUBLIC "${_minizip}")
target_compile_definitions(minizip PUBLIC NOCRYPT NOUNCRYPT)
target_compile_options(minizip PRIVATE -w)
target_link_libraries(minizip PUBLIC ZLIB::ZLIB)

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
