#include "support/RecordingShellLauncher.h"

#include "toolkit/ShellService.h"

RecordingShellLauncher::RecordingShellLauncher() : previous_(ShellService::Install(this)) {}

RecordingShellLauncher::~RecordingShellLauncher() { ShellService::Install(previous_); }

bool RecordingShellLauncher::Launch(const ShellRequest& request) {
  launched.push_back(request);
  return result;
}
