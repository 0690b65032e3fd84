#include "toolkit/ShellService.h"

#include <atomic>

#include "toolkit/ProcessShellLauncher.h"

namespace {
ProcessShellLauncher gProcessLauncher;
std::atomic<ShellLauncher*> gLauncher{nullptr};
}  // namespace

bool ShellService::Launch(const ShellRequest& request) {
  ShellLauncher* launcher = gLauncher.load();
  return launcher ? launcher->Launch(request) : gProcessLauncher.Launch(request);
}

ShellLauncher* ShellService::Install(ShellLauncher* launcher) { return gLauncher.exchange(launcher); }
