# Tests of the scan subsystem.
add_executable(scan_tests
  unit/scan/IPv4Test.cpp
  unit/scan/DeviceListsTest.cpp
  unit/scan/SweepControllerTest.cpp
  unit/scan/ScanCommandTest.cpp
)
target_link_libraries(scan_tests PRIVATE vantrel_test_support vantrel_scan GTest::gtest)
gtest_discover_tests(scan_tests PROPERTIES LABELS unit DISCOVERY_TIMEOUT 30)
