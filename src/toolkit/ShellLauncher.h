#pragma once

#include "toolkit/ShellRequest.h"

// Starts what a ShellRequest describes. Called on the thread of the window that
// asks; with wait it blocks that thread until the process ends. Returns true when
// a process was started (and, with wait, ended with exit code 0).
class ShellLauncher {
 public:
  virtual ~ShellLauncher() = default;
  virtual bool Launch(const ShellRequest& request) = 0;
};
