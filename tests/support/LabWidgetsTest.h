#pragma once

#include <QApplication>
#include <memory>

#include "support/LabTest.h"

// Base of the lab test suites that open windows: the lab is entered before the
// application exists, because entering needs a process without threads and Qt
// starts some. Such suites link the bare test main, which makes no application.
class LabWidgetsTest : public LabTest {
 public:
  static void SetUpTestSuite();
  static void TearDownTestSuite();

 protected:
  static std::unique_ptr<QApplication> app_;
};
