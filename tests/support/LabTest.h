#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "support/LabSession.h"

// Base of the lab test suites: one lab per suite (and so one per test, as
// CTest runs them one by one), entered by the main thread before anything else
// touches the network. Skips when not root.
class LabTest : public ::testing::Test {
 public:
  static void SetUpTestSuite();
  static void TearDownTestSuite();

 protected:
  // A fixture that adds its own steps calls this first and stops when it
  // skipped or failed (IsSkipped(), HasFatalFailure()).
  void SetUp() override;

  static LabSession& Lab() { return *lab_; }

  static std::unique_ptr<LabSession> lab_;
  static std::string failure_;
};
