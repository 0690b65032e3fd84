#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <memory>
#include <string>

#include "support/LabSession.h"

// Base of the test suites that open windows on the installer's computer of a
// lab of their own: one lab per suite (and so one per test, as CTest runs
// them), entered before the application exists, because entering needs a
// process without threads and Qt starts some. Such suites link the bare test
// main, which makes no application. Skips when not root.
class LabWidgetsTest : public ::testing::Test {
 public:
  static void SetUpTestSuite();
  static void TearDownTestSuite();

 protected:
  // A fixture that adds its own steps calls this first and stops when it
  // skipped or failed (IsSkipped(), HasFatalFailure()).
  void SetUp() override;

  static std::unique_ptr<LabSession> lab_;
  static std::unique_ptr<QApplication> app_;
  static std::string failure_;
};
