# Tests of the main window and its toolkit widgets.

add_executable(mainwindow_tests
  gui/main/main.cpp
  gui/main/WindowHarness.cpp
  gui/main/ControlsTest.cpp
  gui/main/RangeTest.cpp
  gui/main/DeviceListTest.cpp
  gui/main/CarouselTest.cpp
  gui/main/LayoutTest.cpp
  gui/main/PopupMenuTest.cpp
)
target_link_libraries(mainwindow_tests PRIVATE vantrel_test_support vantrel_shell Qt6::Test GTest::gtest)
gtest_discover_tests(mainwindow_tests PROPERTIES LABELS gui ENVIRONMENT QT_QPA_PLATFORM=offscreen
  DISCOVERY_TIMEOUT 60)

# The whole program on the installer's computer of a lab of its own: a sweep,
# the list, a device's page in the pane, a screenshot. Root only; skips otherwise.
add_executable(mainwindow_lab_test gui/main/MainWindowLabTest.cpp gui/main/LabComputer.cpp)
target_link_libraries(mainwindow_lab_test PRIVATE vantrel_test_support vantrel_shell Qt6::Test GTest::gtest)
target_compile_definitions(mainwindow_lab_test PRIVATE
  VANTREL_SCREENSHOT="${CMAKE_CURRENT_BINARY_DIR}/main-window.png")
find_program(XVFB_RUN xvfb-run)
if(XVFB_RUN)
  add_test(NAME lab.mainwindow COMMAND ${XVFB_RUN} -a -s "-screen 0 1920x1080x24 -nolisten tcp"
    $<TARGET_FILE:mainwindow_lab_test>)
else()
  add_test(NAME lab.mainwindow COMMAND mainwindow_lab_test)
endif()
set_tests_properties(lab.mainwindow PROPERTIES LABELS lab-widgets SKIP_RETURN_CODE 77 TIMEOUT 300)

# Start-up time, memory and the resize pass, printed (tools/bench-window runs it in a lab).
add_executable(mainwindow_bench gui/main/MainWindowBench.cpp gui/main/LabComputer.cpp)
target_link_libraries(mainwindow_bench PRIVATE vantrel_test_support vantrel_shell Qt6::Test)
if(VANTREL_SANITIZE STREQUAL "asan")
  # The web engine's own Chromium code (Debian's library, not built here) frees
  # one of its objects with a sized delete of another size; the sanitizer would
  # stop the test there, and its process-wide caches are never freed. These two
  # checks are off only for the test that loads the engine.
  set_tests_properties(lab.mainwindow PROPERTIES ENVIRONMENT
    "ASAN_OPTIONS=detect_leaks=0:abort_on_error=1:new_delete_type_mismatch=0")
endif()
