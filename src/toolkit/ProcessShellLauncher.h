#pragma once

#include "toolkit/ShellLauncher.h"

// Starts real processes: programs directly with their arguments (no shell, so
// nothing in an argument is ever interpreted), documents and web addresses
// through xdg-open, elevation through pkexec.
class ProcessShellLauncher : public ShellLauncher {
 public:
  bool Launch(const ShellRequest& request) override;
};
