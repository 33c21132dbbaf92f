# The version every program, the About boxes and the package show, from the one place the top
# CMakeLists.txt holds it (project VERSION, and KORVEX_EDITOR_VERSION for the editor's own
# number), plus the Git revision when the source is a Git checkout.
#
# Included from the top CMakeLists.txt it defines the interface library korvex_version, whose
# header <korvex_version.h> is written at build time, so a new commit reaches --version without
# a new configure; the header is only rewritten when its text changes.
# Run with cmake -P it writes that header (the build does this).

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

set(KORVEX_VERSION_HEADER "${PROJECT_BINARY_DIR}/generated/korvex_version.h")
add_custom_target(korvex_version_header
  COMMAND "${CMAKE_COMMAND}"
    -DSOURCE_DIR=${PROJECT_SOURCE_DIR}
    -DTEMPLATE=${PROJECT_SOURCE_DIR}/cmake/korvex_version.h.in
    -DOUTPUT=${KORVEX_VERSION_HEADER}
    -DKORVEX_VERSION=${PROJECT_VERSION}
    -DKORVEX_SHORT_VERSION=${PROJECT_VERSION_MAJOR}.${PROJECT_VERSION_MINOR}
    -DKORVEX_EDITOR_VERSION=${KORVEX_EDITOR_VERSION}
    -P ${CMAKE_CURRENT_LIST_FILE}
  BYPRODUCTS "${KORVEX_VERSION_HEADER}"
  COMMENT "Version header"
  VERBATIM)
add_library(korvex_version INTERFACE)
target_include_directories(korvex_version INTERFACE "${PROJECT_BINARY_DIR}/generated")
add_dependencies(korvex_version korvex_version_header)
