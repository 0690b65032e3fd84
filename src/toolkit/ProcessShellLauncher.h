#pragma once

#include <string>

#include "toolkit/ShellLauncher.h"

// Starts real processes: programs directly with their arguments (no shell, so
// nothing in an argument is ever interpreted), documents and web addresses
// through xdg-open, elevation through pkexec.
//
// Two rules keep a root process from handling what it should not:
// - a root process elevates nothing further: it starts the program itself;
// - a root process never opens a document or web address as root (a browser
//   would run untrusted pages with every right): it opens it as the user the
//   request names (ShellRequest::userId), dropping to that user with setpriv,
//   or refuses when no user is named.
class ProcessShellLauncher : public ShellLauncher {
 public:
  struct Settings {
    // Where polkit reads its actions; our action's file is kPolicyFile there.
    std::string policyFolder = "/usr/share/polkit-1/actions";
    bool runningAsRoot = false;
  };
  static constexpr const char* kPolicyFile = "org.vantrel.policy";

  ProcessShellLauncher();  // the system's settings
  explicit ProcessShellLauncher(Settings settings);

  bool Launch(const ShellRequest& request) override;

  // True when our polkit action names program as the one it runs: pkexec then
  // shows Vantrel's own prompt and keeps the display variables itself.
  bool PolicyCovers(const std::string& program) const;

 private:
  Settings settings_;
};
