# Authenticode signing of setup.exe with the vendor's code-signing key (README: "Signing").
# Without a key or certificate the build is unsigned. Passwords never reach the cache or a
# command line: only the path of a file that holds one, or the name of an environment variable
# that holds one when the build runs.
set(SETUP_SIGN_PKCS12 "" CACHE FILEPATH "PKCS#12 file with the code-signing key and certificate chain")
set(SETUP_SIGN_CERT "" CACHE FILEPATH "Code-signing certificate chain (PEM, DER or SPC), with SETUP_SIGN_KEY")
set(SETUP_SIGN_KEY "" CACHE FILEPATH "Private key of SETUP_SIGN_CERT (PEM, DER or PVK)")
set(SETUP_SIGN_PASSWORD_FILE "" CACHE FILEPATH "File whose first line is the password of the key")
set(SETUP_SIGN_PASSWORD_ENV "" CACHE STRING "Name of the environment variable that holds the password of the key when the build runs")
set(SETUP_SIGN_TIMESTAMP_URL "" CACHE STRING "RFC 3161 time-stamp server(s), tried in turn (a list)")

if(DEFINED SETUP_SIGN_PASSWORD)
  unset(SETUP_SIGN_PASSWORD CACHE)
  message(FATAL_ERROR "A password on the command line is kept in the CMake cache and shown to every "
    "user of the machine. Use SETUP_SIGN_PASSWORD_FILE or SETUP_SIGN_PASSWORD_ENV instead.")
endif()

function(setup_signing_arguments out)
  set(_args "")
  if(SETUP_SIGN_PKCS12 AND (SETUP_SIGN_CERT OR SETUP_SIGN_KEY))
    message(FATAL_ERROR "Sign with either SETUP_SIGN_PKCS12 or SETUP_SIGN_CERT and SETUP_SIGN_KEY, not both")
  elseif(SETUP_SIGN_PKCS12)
    list(APPEND _args --pkcs12 "${SETUP_SIGN_PKCS12}")
  elseif(SETUP_SIGN_CERT AND SETUP_SIGN_KEY)
    list(APPEND _args --cert "${SETUP_SIGN_CERT}" --key "${SETUP_SIGN_KEY}")
  elseif(SETUP_SIGN_CERT OR SETUP_SIGN_KEY)
    message(FATAL_ERROR "SETUP_SIGN_CERT and SETUP_SIGN_KEY go together")
  else()
    set(${out} "" PARENT_SCOPE)
    return()
  endif()
  foreach(_file SETUP_SIGN_PKCS12 SETUP_SIGN_CERT SETUP_SIGN_KEY SETUP_SIGN_PASSWORD_FILE)
    if(${_file} AND NOT EXISTS "${${_file}}")
      message(FATAL_ERROR "${_file}: no such file: ${${_file}}")
    endif()
  endforeach()
  if(SETUP_SIGN_PASSWORD_FILE AND SETUP_SIGN_PASSWORD_ENV)
    message(FATAL_ERROR "The signing password comes from SETUP_SIGN_PASSWORD_FILE or SETUP_SIGN_PASSWORD_ENV, not both")
  elseif(SETUP_SIGN_PASSWORD_FILE)
    list(APPEND _args --password-file "${SETUP_SIGN_PASSWORD_FILE}")
  elseif(SETUP_SIGN_PASSWORD_ENV)
    if(NOT SETUP_SIGN_PASSWORD_ENV MATCHES "^[A-Za-z_][A-Za-z0-9_]*$")
      message(FATAL_ERROR "SETUP_SIGN_PASSWORD_ENV names the environment variable, not the password")
    endif()
    list(APPEND _args --password-env "${SETUP_SIGN_PASSWORD_ENV}")
  endif()
  foreach(_url IN LISTS SETUP_SIGN_TIMESTAMP_URL)
    list(APPEND _args --timestamp "${_url}")
  endforeach()
  set(${out} "${_args}" PARENT_SCOPE)
endfunction()

# Signs the target's file right after it is linked, as the last step of its build. A failure
# fails the build and deletes the unsigned file (cmake/sign-authenticode.sh).
function(setup_sign_after_link target)
  setup_signing_arguments(_args)
  if(NOT _args)
    message(STATUS "Signing: off (no SETUP_SIGN_PKCS12 or SETUP_SIGN_CERT)")
    return()
  endif()
  find_program(SETUP_OSSLSIGNCODE osslsigncode)
  if(NOT SETUP_OSSLSIGNCODE)
    message(FATAL_ERROR "Signing needs osslsigncode (scripts/bootstrap installs it)")
  endif()
  message(STATUS "Signing: ${target} with Authenticode SHA-256 (${SETUP_OSSLSIGNCODE})")
  add_custom_command(TARGET ${target} POST_BUILD
    COMMAND ${CMAKE_COMMAND} -E env "OSSLSIGNCODE=${SETUP_OSSLSIGNCODE}"
      bash "${CMAKE_SOURCE_DIR}/cmake/sign-authenticode.sh" "$<TARGET_FILE:${target}>" ${_args}
    COMMENT "Signing $<TARGET_FILE_NAME:${target}>"
    VERBATIM)
endfunction()
