#include "support/LabWidgetsTest.h"

#include <unistd.h>

#include <cstdlib>

std::unique_ptr<QApplication> LabWidgetsTest::app_;

void LabWidgetsTest::SetUpTestSuite() {
  LabTest::SetUpTestSuite();
  if (!lab_) return;
  // Under a virtual display (ctest runs some suites in xvfb-run) the windows
  // are real X11 windows; without one, Qt's offscreen platform stands in.
  if (!std::getenv("DISPLAY")) ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
  // The web engine, where a suite shows a page: no GPU in the lab, and as root
  // it refuses to start with its sandbox.
  ::setenv("QTWEBENGINE_CHROMIUM_FLAGS", "--disable-gpu", 0);
  if (::geteuid() == 0) ::setenv("QTWEBENGINE_DISABLE_SANDBOX", "1", 1);
  static int argc = 1;
  static char name[] = "vantrel_lab_widgets_test";
  static char* argv[] = {name, nullptr};
  app_ = std::make_unique<QApplication>(argc, argv);
}

void LabWidgetsTest::TearDownTestSuite() {
  app_.reset();
  LabTest::TearDownTestSuite();
}
