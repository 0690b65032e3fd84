# How a test of ours is declared. Every test carries one of these labels:
#   unit         pure code: no network, no display
#   gui          widgets on Qt's offscreen platform, nothing touches the network
#   lab          real sockets inside network namespaces the test builds itself
#   lab-widgets  the same, with windows
#   bench        a program that prints figures (never a timed pass/fail)
# Lab tests skip themselves, with a message, unless they run as root.
include(GoogleTest)

set(VANTREL_TEST_OUTPUT ${PROJECT_BINARY_DIR}/tests)

# vantrel_add_gtest(TARGET LABEL <label> SOURCES ... [LIBS ...] [DEFINITIONS ...]
#                   [ENVIRONMENT ...] [WHOLE NAME] [TIMEOUT seconds] [LAUNCHER command...])
# A GoogleTest program with the shared main. Each of its tests becomes a CTest
# test of its own, run in its own process; WHOLE NAME instead registers the
# program as the one CTest test NAME (LAUNCHER goes in front of it).
function(vantrel_add_gtest target)
  cmake_parse_arguments(PARSE_ARGV 1 T "" "LABEL;WHOLE;TIMEOUT"
    "SOURCES;LIBS;DEFINITIONS;ENVIRONMENT;LAUNCHER")
  if(NOT T_LABEL MATCHES "^(unit|gui|lab|lab-widgets)$")
    message(FATAL_ERROR "vantrel_add_gtest(${target}): LABEL must be unit, gui, lab or lab-widgets")
  endif()
  add_executable(${target} ${T_SOURCES})
  set_target_properties(${target} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${VANTREL_TEST_OUTPUT})
  # The shared main makes the Qt application a suite of this kind needs.
  if(T_LABEL STREQUAL "gui")
    set(_main vantrel_test_main_widgets)
    list(APPEND T_ENVIRONMENT QT_QPA_PLATFORM=offscreen)
  elseif(T_LABEL STREQUAL "lab-widgets")
    set(_main vantrel_test_main_bare)
  else()
    set(_main vantrel_test_main_core)
  endif()
  target_link_libraries(${target} PRIVATE ${_main} vantrel_test_support ${T_LIBS} GTest::gtest)
  if(T_DEFINITIONS)
    target_compile_definitions(${target} PRIVATE ${T_DEFINITIONS})
  endif()
  if(NOT T_TIMEOUT)
    set(T_TIMEOUT 300)
  endif()
  if(T_WHOLE)
    add_test(NAME ${T_WHOLE} COMMAND ${T_LAUNCHER} $<TARGET_FILE:${target}>)
    set_tests_properties(${T_WHOLE} PROPERTIES LABELS ${T_LABEL} TIMEOUT ${T_TIMEOUT}
      SKIP_REGULAR_EXPRESSION "\\[  SKIPPED \\]")
    if(T_ENVIRONMENT)
      set_tests_properties(${T_WHOLE} PROPERTIES ENVIRONMENT "${T_ENVIRONMENT}")
    endif()
  else()
    gtest_discover_tests(${target} DISCOVERY_TIMEOUT 60
      PROPERTIES LABELS ${T_LABEL} TIMEOUT ${T_TIMEOUT} ENVIRONMENT "${T_ENVIRONMENT}")
  endif()
endfunction()

# vantrel_add_script_test(NAME LABEL <label> COMMAND script args... [TIMEOUT seconds])
# A test written as a script; exit code 77 means skipped (not root, a tool missing).
function(vantrel_add_script_test name)
  cmake_parse_arguments(PARSE_ARGV 1 T "" "LABEL;TIMEOUT" "COMMAND")
  if(NOT T_LABEL MATCHES "^(unit|gui|lab|lab-widgets)$")
    message(FATAL_ERROR "vantrel_add_script_test(${name}): LABEL must be unit, gui, lab or lab-widgets")
  endif()
  if(NOT T_TIMEOUT)
    set(T_TIMEOUT 300)
  endif()
  add_test(NAME ${name} COMMAND ${T_COMMAND})
  set_tests_properties(${name} PROPERTIES LABELS ${T_LABEL} SKIP_RETURN_CODE 77 TIMEOUT ${T_TIMEOUT})
endfunction()

# vantrel_add_bench(NAME SCRIPT tools/bench-... [SOURCES ... [LIBS ...] [DEFINITIONS ...]])
# The CTest test bench.NAME (a leading bench_ dropped), which runs the script with the build folder (the
# script builds a lab of its own wherever it probes), and with SOURCES the
# program NAME that prints the figures. ./test.sh leaves the label out;
# `ctest -L bench` runs them.
function(vantrel_add_bench name)
  cmake_parse_arguments(PARSE_ARGV 1 T "" "SCRIPT" "SOURCES;LIBS;DEFINITIONS")
  if(T_SOURCES)
    add_executable(${name} ${T_SOURCES})
    set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${VANTREL_TEST_OUTPUT})
    target_link_libraries(${name} PRIVATE vantrel_config ${T_LIBS})
    if(T_DEFINITIONS)
      target_compile_definitions(${name} PRIVATE ${T_DEFINITIONS})
    endif()
  endif()
  string(REGEX REPLACE "^bench_" "bench." _test ${name})
  if(NOT _test MATCHES "^bench\\.")
    set(_test bench.${name})
  endif()
  add_test(NAME ${_test} COMMAND ${PROJECT_SOURCE_DIR}/${T_SCRIPT} ${PROJECT_BINARY_DIR})
  set_tests_properties(${_test} PROPERTIES LABELS bench SKIP_RETURN_CODE 77 TIMEOUT 1800 RUN_SERIAL TRUE)
endfunction()
