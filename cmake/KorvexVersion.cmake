# The version every program, the About boxes and the package show, from the one place the top
# CMakeLists.txt holds it (project VERSION, and KORVEX_EDITOR_VERSION for the editor's own
# number), plus the Git revision when the source is a Git checkout.
#
# Two headers, so that a commit rebuilds only the programs themselves:
#   <korvex_version.h>   the version numbers, written at configure time (interface library
#                        korvex_version); libraries may include it.
#   <korvex_revision.h>  the Git revision and the --version line, written at build time so that
#                        a new commit reaches --version without a new configure, and rewritten
#                        only when its text changes (interface library korvex_revision). Only the
#                        programs' main files include it.
# Run with cmake -P this file writes korvex_revision.h (the build does this).

if(CMAKE_SCRIPT_MODE_FILE)
  set(KORVEX_GIT_REVISION "")
  find_program(GIT_EXECUTABLE git)
  if(GIT_EXECUTABLE AND EXISTS "${SOURCE_DIR}/.git")
    execute_process(
      COMMAND "${GIT_EXECUTABLE}" -C "${SOURCE_DIR}" describe --always --dirty --abbrev=12 --match "v[0-9]*"
      OUTPUT_VARIABLE KORVEX_GIT_REVISION
      OUTPUT_STRIP_TRAILING_WHITESPACE
      ERROR_QUIET)
  endif()
  configure_file("${TEMPLATE}" "${OUTPUT}" @ONLY)
  return()
endif()

set(KORVEX_GENERATED_DIR "${PROJECT_BINARY_DIR}/generated")
set(KORVEX_VERSION ${PROJECT_VERSION})
set(KORVEX_SHORT_VERSION ${PROJECT_VERSION_MAJOR}.${PROJECT_VERSION_MINOR})
configure_file(${CMAKE_CURRENT_LIST_DIR}/korvex_version.h.in ${KORVEX_GENERATED_DIR}/korvex_version.h @ONLY)
add_library(korvex_version INTERFACE)
target_include_directories(korvex_version INTERFACE "${KORVEX_GENERATED_DIR}")

set(KORVEX_REVISION_HEADER "${KORVEX_GENERATED_DIR}/revision/korvex_revision.h")
add_custom_target(korvex_revision_header
  COMMAND "${CMAKE_COMMAND}"
    -DSOURCE_DIR=${PROJECT_SOURCE_DIR}
    -DTEMPLATE=${CMAKE_CURRENT_LIST_DIR}/korvex_revision.h.in
    -DOUTPUT=${KORVEX_REVISION_HEADER}
    -P ${CMAKE_CURRENT_LIST_FILE}
  BYPRODUCTS "${KORVEX_REVISION_HEADER}"
  COMMENT "Revision header"
  VERBATIM)
add_library(korvex_revision INTERFACE)
target_include_directories(korvex_revision INTERFACE "${KORVEX_GENERATED_DIR}/revision")
target_link_libraries(korvex_revision INTERFACE korvex_version)
add_dependencies(korvex_revision korvex_revision_header)
