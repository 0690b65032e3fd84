# Tests of the secondary windows.

# Widgets under the offscreen platform; nothing touches the network.
add_executable(windows_tests
  gui/windows/GuiTestMain.cpp
  gui/windows/AdvancedSettingsWindowTest.cpp
  gui/windows/NewDevicesWindowTest.cpp
  gui/windows/AboutHelpWindowTest.cpp
)
target_link_libraries(windows_tests PRIVATE vantrel_test_support vantrel_windows GTest::gtest)
gtest_discover_tests(windows_tests PROPERTIES LABELS gui ENVIRONMENT QT_QPA_PLATFORM=offscreen DISCOVERY_TIMEOUT 30)

# Pictures of each window for the documentation:
#   build/tests/windows_screenshots docs/screenshots
add_executable(windows_screenshots gui/windows/WindowScreenshots.cpp)
target_link_libraries(windows_screenshots PRIVATE vantrel_windows)

# The elevated restart and what a root instance refuses: stand-ins for pkexec
# and xdg-open record what they were given; nothing real is elevated or opened.
add_executable(elevation_tests
  gui/windows/GuiTestMain.cpp
  gui/windows/ElevationTest.cpp
)
target_link_libraries(elevation_tests PRIVATE vantrel_test_support vantrel_shell vantrel_windows GTest::gtest)
gtest_discover_tests(elevation_tests PROPERTIES LABELS gui ENVIRONMENT QT_QPA_PLATFORM=offscreen DISCOVERY_TIMEOUT 30)

# The administrator functions on the installer's computer of a lab of their own
# (addresses on its adapter, a rule in its ruleset); they skip unless run as root.
add_executable(windows_lab_tests gui/windows/WindowsLabTest.cpp)
target_link_libraries(windows_lab_tests PRIVATE vantrel_test_support vantrel_windows GTest::gtest)
gtest_discover_tests(windows_lab_tests PROPERTIES LABELS lab-widgets ENVIRONMENT QT_QPA_PLATFORM=offscreen DISCOVERY_TIMEOUT 30)

# The new instance that pkexec would start: root, /Advanced, the display kept;
# on a virtual display, inside a lab of its own.
add_test(NAME windows.elevated_instance
  COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/gui/windows/elevated_instance_lab_test.sh $<TARGET_FILE:vantrel>)
set_tests_properties(windows.elevated_instance PROPERTIES LABELS lab-widgets SKIP_RETURN_CODE 77 TIMEOUT 120)
