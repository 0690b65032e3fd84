# Lab tests: real sockets in network namespaces that each test creates and removes.
# They need root; without it they report themselves skipped.
add_test(NAME lab.selftest COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/lab/lab_selftest.sh)
set_tests_properties(lab.selftest PROPERTIES LABELS lab SKIP_RETURN_CODE 77 TIMEOUT 120)

add_test(NAME lab.scan COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/lab/scan_lab_test.py $<TARGET_FILE:vantrel-scan>)
set_tests_properties(lab.scan PROPERTIES LABELS lab SKIP_RETURN_CODE 77 TIMEOUT 300)
