#pragma once

#include <functional>
#include <string>

class BrowserEmulation;

// The program's main procedure: version check, the emulation switch, the
// emulation flag, the main window, and the elevated restart a window may have
// asked for. Everything around it (the command line, the window, the icon) is
// handed in, so that it runs the same under a test as in the program.
class StartupSequence {
 public:
  struct Hooks {
    std::function<void()> setApplicationIcon;
    std::function<void()> runMainWindow;  // returns when the main window has closed
  };

  StartupSequence(std::string commandLine, std::string programPath, const BrowserEmulation& emulation, Hooks hooks);

  // False when the system is too old and nothing was opened.
  bool Run();

  static constexpr const char* kSetEmulationSwitch = "/SetEmulation";
  static constexpr const char* kAdvancedSwitch = "/Advanced";

 private:
  std::string commandLine_;
  std::string programPath_;
  const BrowserEmulation& emulation_;
  Hooks hooks_;
};
