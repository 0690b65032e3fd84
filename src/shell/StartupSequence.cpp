#include "shell/StartupSequence.h"

#include "shell/BrowserEmulation.h"
#include "toolkit/ProcessFlags.h"
#include "toolkit/kwTools.h"

StartupSequence::StartupSequence(std::string commandLine, std::string programPath, const BrowserEmulation& emulation,
                                 Hooks hooks)
    : commandLine_(std::move(commandLine)),
      programPath_(std::move(programPath)),
      emulation_(emulation),
      hooks_(std::move(hooks)) {}

bool StartupSequence::Run() {
  const kwTools tools;
  if (!tools.CheckWindowsVersion(true)) return false;
  if (hooks_.setApplicationIcon) hooks_.setApplicationIcon();

  // Exact case on purpose: only our own restart writes this switch.
  if (commandLine_.find(kSetEmulationSwitch) != std::string::npos) emulation_.SetEmulation();
  BYBROWSEREMULATION = emulation_.GetEmulation() == BrowserEmulation::kUsable ? 1 : 0;
  // An instance elevated for a user runs as root, where the web engine runs only
  // without its sandbox; device pages are untrusted, so the pane stays off there
  // and pages go to that user's own browser instead.
  if (kwTools::ElevatedForUser() > 0) BYBROWSEREMULATION = 0;

  if (hooks_.runMainWindow) hooks_.runMainWindow();

  if (BYRESTARTASADMIN) {
    // The old instance does not wait: once the system has asked for consent it is gone.
    tools.RunAsAdmin(programPath_, SRESTARTSWITCH, {}, false);
  }
  return true;
}
