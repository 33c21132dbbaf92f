# korvex_add_test(NAME src... LIBS lib...): one GoogleTest executable, registered with CTest.
function(korvex_add_test name)
  cmake_parse_arguments(ARG "" "" "LIBS" ${ARGN})
  add_executable(${name} ${ARG_UNPARSED_ARGUMENTS})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gtest GTest::gtest_main GTest::gmock)
  gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60 PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen")
endfunction()

# korvex_add_info_tests(PROGRAM [VERSION v] [TRANSLATIONS]): the program answers --version with
# its version line and --help with a usage, its options and an example, without a display (so also
# on a PC where only a terminal is open). TRANSLATIONS: --version also names the folder on disk
# the program reads its string tables from.
function(korvex_add_info_tests target)
  cmake_parse_arguments(ARG "TRANSLATIONS" "VERSION" "" ${ARGN})
  if(NOT ARG_VERSION)
    set(ARG_VERSION ${PROJECT_VERSION})
  endif()
  string(REPLACE "." "\\." version_pattern "${ARG_VERSION}")
  add_test(NAME ${target}.version COMMAND ${target} --version)
  add_test(NAME ${target}.help COMMAND ${target} --help)
  set(version_regex "^${target} ${version_pattern}( \\(git [^)]+\\))?\n")
  if(ARG_TRANSLATIONS)
    string(APPEND version_regex ".*translations: /[^\n]*/translations\n")
  endif()
  set_tests_properties(${target}.version PROPERTIES PASS_REGULAR_EXPRESSION "${version_regex}")
  set_tests_properties(${target}.help PROPERTIES PASS_REGULAR_EXPRESSION "[Uu]sage:.*--version.*[Ee]xample:")
  set_tests_properties(${target}.version ${target}.help PROPERTIES
    ENVIRONMENT_MODIFICATION "QT_QPA_PLATFORM=unset:;DISPLAY=unset:;WAYLAND_DISPLAY=unset:")
endfunction()
