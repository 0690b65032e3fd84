#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <map>
#include <memory>
#include <set>
#include <string>

#include "support/LabSession.h"

// Base of the net lab tests: one lab per test suite (and so one per test when
// CTest runs them one by one), entered by the main thread before anything
// else touches the network. Skips when not root.
class NetLab : public ::testing::Test {
 protected:
  static void SetUpTestSuite();
  static void TearDownTestSuite();
  void SetUp() override;

  static LabSession& Lab() { return *lab_; }

  // Packets sent by the computer so far, over all its interfaces.
  static unsigned long long SentPackets();
  // The computer's IPv4 addresses as "address/prefix", per interface name.
  static std::map<std::string, std::set<std::string>> Addresses();
  static double MillisecondsSince(std::chrono::steady_clock::time_point start);

 private:
  static std::unique_ptr<LabSession> lab_;
  static std::string failure_;
};
