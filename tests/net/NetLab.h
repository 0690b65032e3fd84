#pragma once

#include <chrono>
#include <map>
#include <set>
#include <string>

#include "support/LabTest.h"

// Base of the net lab tests: a lab of the suite's own, and what the tests
// measure on its computer.
class NetLab : public LabTest {
 protected:
  // Packets sent by the computer so far, over all its interfaces.
  static unsigned long long SentPackets();
  // The computer's IPv4 addresses as "address/prefix", per interface name.
  static std::map<std::string, std::set<std::string>> Addresses();
  static double MillisecondsSince(std::chrono::steady_clock::time_point start);
};
