# The same sources and payload give the same setup.exe, byte for byte, whatever the folders, the
# clock or the machine (of the kind scripts/bootstrap prepares). What would differ otherwise:
#   - the PE time stamps, which the linker takes from SOURCE_DATE_EPOCH when it is set;
#   - the product archive's entry times and attributes (cmake/reproducible_zip.py);
#   - the source, build and dependency folders' paths, which __FILE__ and debug data carry.
# The time is SOURCE_DATE_EPOCH when the environment sets it, else the last commit's time.

function(setup_read_source_date out_epoch out_origin)
  if(DEFINED ENV{SOURCE_DATE_EPOCH})
    if(NOT "$ENV{SOURCE_DATE_EPOCH}" MATCHES "^[0-9]+$")
      message(FATAL_ERROR "SOURCE_DATE_EPOCH must be seconds since 1970, not \"$ENV{SOURCE_DATE_EPOCH}\"")
    endif()
    set(${out_epoch} "$ENV{SOURCE_DATE_EPOCH}" PARENT_SCOPE)
    set(${out_origin} "SOURCE_DATE_EPOCH" PARENT_SCOPE)
    return()
  endif()
  find_package(Git QUIET)
  if(Git_FOUND)
    execute_process(COMMAND "${GIT_EXECUTABLE}" log -1 --format=%ct
      WORKING_DIRECTORY "${CMAKE_SOURCE_DIR}" OUTPUT_VARIABLE _commit_time
      OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET RESULT_VARIABLE _git_result)
    if(_git_result EQUAL 0 AND _commit_time MATCHES "^[0-9]+$")
      set(${out_epoch} "${_commit_time}" PARENT_SCOPE)
      set(${out_origin} "the last commit" PARENT_SCOPE)
      # A new commit or checkout changes the time: CMake runs again on the next build, so that an
      # existing build folder gives what a fresh one would.
      execute_process(COMMAND "${GIT_EXECUTABLE}" rev-parse --git-path logs/HEAD --git-path HEAD
        WORKING_DIRECTORY "${CMAKE_SOURCE_DIR}" OUTPUT_VARIABLE _git_files
        OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
      string(REPLACE "\n" ";" _git_files "${_git_files}")
      foreach(_file IN LISTS _git_files)
        get_filename_component(_file "${_file}" ABSOLUTE BASE_DIR "${CMAKE_SOURCE_DIR}")
        if(EXISTS "${_file}")
          set_property(DIRECTORY "${CMAKE_SOURCE_DIR}" APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS "${_file}")
        endif()
      endforeach()
      return()
    endif()
  endif()
  set(${out_epoch} 0 PARENT_SCOPE)
  set(${out_origin} "neither SOURCE_DATE_EPOCH nor a git history" PARENT_SCOPE)
endfunction()

setup_read_source_date(SETUP_SOURCE_DATE_EPOCH _origin)
message(STATUS "Time stamps of the build: ${SETUP_SOURCE_DATE_EPOCH} (${_origin})")

# Paths as the sources name them, not as this machine lays them out (cmake/Dependencies.cmake
# adds the dependency folder's, after these, so that it wins when it lies inside the sources).
add_compile_options("-ffile-prefix-map=${CMAKE_SOURCE_DIR}=." "-ffile-prefix-map=${CMAKE_BINARY_DIR}=build")

# Every program that ships, setup.exe and the programs in its payload, is linked with the time
# of the sources, which the linker writes into the file header and the export directory.
function(setup_reproducible_link target)
  set(_launcher "${CMAKE_COMMAND}" -E env "SOURCE_DATE_EPOCH=${SETUP_SOURCE_DATE_EPOCH}")
  set_target_properties(${target} PROPERTIES C_LINKER_LAUNCHER "${_launcher}" CXX_LINKER_LAUNCHER "${_launcher}")
endfunction()
