#pragma once

#include <vector>

#include "toolkit/ShellLauncher.h"

// Records what would have been started and starts nothing. Installs itself for
// its lifetime, so no test ever runs pkexec or opens a browser.
class RecordingShellLauncher : public ShellLauncher {
 public:
  RecordingShellLauncher();
  ~RecordingShellLauncher() override;

  bool Launch(const ShellRequest& request) override;

  std::vector<ShellRequest> launched;
  bool result = true;

 private:
  ShellLauncher* previous_;
};
