# The artwork (bitmaps, icons, cursor) is drawn at build time by resources/art/make_art.py: the
# bitmaps at 100 % one file each, those of the larger display scales one pack a scale. It reads
# the bitmaps' ids from resources/resource.h.
set(SETUP_ART_DIR "${CMAKE_BINARY_DIR}/art")
file(GLOB _art_sources CONFIGURE_DEPENDS "${CMAKE_SOURCE_DIR}/resources/art/*.py")
set(SETUP_ART_STAMP "${SETUP_ART_DIR}/.stamp")
add_custom_command(
  OUTPUT "${SETUP_ART_STAMP}" "${SETUP_ART_DIR}/tool.ico"
  COMMAND ${Python3_EXECUTABLE} "${CMAKE_SOURCE_DIR}/resources/art/make_art.py" "${SETUP_ART_DIR}"
  COMMAND ${CMAKE_COMMAND} -E touch "${SETUP_ART_STAMP}"
  DEPENDS ${_art_sources} "${CMAKE_SOURCE_DIR}/resources/resource.h"
  COMMENT "Drawing the artwork"
  VERBATIM)
add_custom_target(setup_artwork DEPENDS "${SETUP_ART_STAMP}")
