# arvenzo_add_test(NAME SOURCES src... LIBRARIES lib... [ENVIRONMENT var=value...])
# Builds one test program and registers it with CTest. Widget tests run on the
# offscreen platform so that no display is needed.
function(arvenzo_add_test name)
  cmake_parse_arguments(T "" "" "SOURCES;LIBRARIES;ENVIRONMENT" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
  target_link_libraries(${name} PRIVATE ${T_LIBRARIES})
  # Shared test headers are named from the tests' root, as in net/http/LoopbackServer.h.
  target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR}/tests)
  add_test(NAME ${name} COMMAND ${name})
  set_tests_properties(${name} PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen;${T_ENVIRONMENT}")
endfunction()
