// The one main of every GoogleTest program of ours. VANTREL_TEST_APPLICATION
// says which Qt application it makes before the tests run:
//   1  QCoreApplication (the core's suites; the sweep needs an event loop)
//   2  QApplication on the offscreen platform (widget suites)
//   0  none: suites that enter a lab make their application once inside,
//      because entering needs a process without threads and Qt starts some.
#include <gtest/gtest.h>
#include <stdlib.h>

#ifndef VANTREL_TEST_APPLICATION
#error "VANTREL_TEST_APPLICATION must be 0, 1 or 2"
#endif
#if VANTREL_TEST_APPLICATION == 2
#include <QApplication>
#elif VANTREL_TEST_APPLICATION == 1
#include <QCoreApplication>
#endif

#include "support/ScratchFolder.h"

int main(int argc, char** argv) {
#if VANTREL_TEST_APPLICATION == 2
  // Widget tests never need a real display (test discovery runs them bare too).
  ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
#endif
  // Each window and each vendor-table user unpacks into the private temporary
  // folder; one of this process's own keeps test programs that run side by
  // side from deleting each other's files.
  const ScratchFolder runtime;
  if (!runtime.Path().empty()) ::setenv("XDG_RUNTIME_DIR", runtime.Path().c_str(), 1);
  int result = 0;
  {
#if VANTREL_TEST_APPLICATION == 2
    QApplication app(argc, argv);
#elif VANTREL_TEST_APPLICATION == 1
    QCoreApplication app(argc, argv);
#endif
    ::testing::InitGoogleTest(&argc, argv);
    result = RUN_ALL_TESTS();
  }
  return result;
}
