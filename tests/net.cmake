# Tests of the net subsystem.

add_executable(net_tests
  unit/net/AdapterSelectionTest.cpp
  unit/net/DnsAnswerTest.cpp
  unit/net/IcmpEchoTest.cpp
  unit/net/Ipv4TextTest.cpp
  unit/net/NetObjectsTest.cpp
  unit/net/RtnlMessagesTest.cpp
)
target_link_libraries(net_tests PRIVATE vantrel_test_support vantrel_net GTest::gtest_main)
gtest_discover_tests(net_tests PROPERTIES LABELS unit DISCOVERY_TIMEOUT 30)

# Real sockets inside a lab of each test's own; they skip unless run as root.
add_executable(net_lab_tests
  labnet/NetLab.cpp
  labnet/AdaptersLabTest.cpp
  labnet/ProbesLabTest.cpp
  labnet/AddressesLabTest.cpp
  labnet/DnsLabTest.cpp
)
target_link_libraries(net_lab_tests PRIVATE vantrel_test_support vantrel_net GTest::gtest_main)
gtest_discover_tests(net_lab_tests PROPERTIES LABELS lab DISCOVERY_TIMEOUT 30)

# Probe figures in the lab; a program that prints them, not a test
# (tools/bench-probes runs it inside a lab of its own).
add_executable(bench_probes bench/ProbesBench.cpp)
target_link_libraries(bench_probes PRIVATE vantrel_net)
