#include <gtest/gtest.h>
#include <stdlib.h>

#include <QApplication>
#include <cstdlib>
#include <filesystem>
#include <string>

int main(int argc, char** argv) {
  // Widget tests never need a real display (test discovery runs them bare too).
  ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
  // Each window unpacks the vendor table into the private temporary folder; a
  // folder of this process's own keeps tests that run side by side apart.
  std::string runtime = "/tmp/vantrel-gui-XXXXXX";
  if (::mkdtemp(runtime.data())) ::setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);
  QApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  const int result = RUN_ALL_TESTS();
  std::error_code ignored;
  std::filesystem::remove_all(runtime, ignored);
  return result;
}
