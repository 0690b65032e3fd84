#pragma once

#include "toolkit/ShellRequest.h"

class ShellLauncher;

// The one seam through which the program starts other programs and opens web
// addresses. The real launcher starts processes; tests install a recorder so
// that nothing real (pkexec, a browser) is ever started by a test.
class ShellService {
 public:
  static bool Launch(const ShellRequest& request);
  // Installs launcher (nullptr: back to the real one) and returns the previous one.
  static ShellLauncher* Install(ShellLauncher* launcher);
};
