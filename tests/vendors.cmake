# Tests of the vendors subsystem.
add_executable(vendors_tests
  unit/VendorLookupTest.cpp
  unit/VendorTableFileTest.cpp
)
target_link_libraries(vendors_tests PRIVATE
  vantrel_test_support vantrel_vendors SQLite::SQLite3 ZLIB::ZLIB GTest::gtest_main)
target_compile_definitions(vendors_tests PRIVATE
  VANTREL_VENDOR_RESOURCE="${PROJECT_SOURCE_DIR}/resources/vendors/Mac-Vendors-Compressed_dat")
gtest_discover_tests(vendors_tests PROPERTIES LABELS unit DISCOVERY_TIMEOUT 30)

# Start-up and lookup figures; a program that prints them, not a test
# (tools/bench-vendors builds and runs it).
add_executable(bench_vendors bench/VendorsBench.cpp)
target_link_libraries(bench_vendors PRIVATE vantrel_vendors SQLite::SQLite3)
target_compile_definitions(bench_vendors PRIVATE
  VANTREL_BUILD_TYPE="$<IF:$<CONFIG:>,unspecified,$<CONFIG>>")
