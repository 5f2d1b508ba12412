# quorlin_add_test(<name> SOURCES <files...> LIBRARIES <targets...>)
#
# One Qt Test executable, run by ctest offscreen. Each test isolates its own
# runtime and data directories (see tests/support/test_environment.h).
function(quorlin_add_test name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBRARIES" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE Qt6::Test quorlin_test_support ${ARG_LIBRARIES})
  quorlin_set_warnings(${name})
  add_test(NAME ${name} COMMAND ${name})
  set_tests_properties(${name} PROPERTIES
    ENVIRONMENT "QT_QPA_PLATFORM=offscreen;QT_LOGGING_TO_CONSOLE=1"
    TIMEOUT 180)
endfunction()
