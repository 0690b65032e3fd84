#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "support/LabTopology.h"

// A lab of the test's own (tools/lab with a prefix no other test uses) and the
// way into it. As root only: the lab tests skip otherwise.
//
// EnterComputer moves the calling thread (the main thread, before any other
// thread or socket exists) into the installer's computer's network namespace,
// in a mount namespace of its own where /etc/resolv.conf is the lab's and /sys
// shows the lab's interfaces, as `ip netns exec` does. Threads created later
// inherit both. It aborts rather than let a test go on in the host namespace,
// and it checks that it really is in the lab before it returns. The destructor
// goes back and removes the lab.
class LabSession {
 public:
  static bool IsRoot();
  static std::string LabScript();
  // What the lab is made of: tools/lab-topology.json.
  static const LabTopology& Topology() { return LabTopology::Get(); }

  LabSession();
  ~LabSession();
  LabSession(const LabSession&) = delete;
  LabSession& operator=(const LabSession&) = delete;

  // Builds the lab; false (with the script's words in Log()) when it could not.
  [[nodiscard]] bool Up();
  void EnterComputer();
  // What a lab test suite does first: a lab of its own, entered. nullptr, with
  // the reason in failure, when the lab could not be built.
  static std::unique_ptr<LabSession> UpAndEnter(std::string& failure);
  // Back to the namespaces the process started in; harmless when not entered.
  void Leave();
  void Down();

  // tools/lab --prefix P ARGS..., its exit code; its output in *output.
  int Lab(const std::vector<std::string>& args, std::string* output = nullptr) const;

  // Runs body in a child process as nobody (uid and gid 65534, no
  // capabilities), in the namespace the calling thread is in; the text it
  // returns comes back in *result. False when the child could not drop its
  // privileges or did not end normally.
  static bool RunUnprivileged(const std::function<std::string()>& body, std::string* result);

  const std::string& Prefix() const { return prefix_; }
  // The name of the installer's computer's network namespace.
  std::string ComputerNamespace() const { return prefix_ + "-" + Topology().computer.namespaceName; }
  const std::string& Log() const { return log_; }
  bool Entered() const { return originalNet_ >= 0; }

 private:
  [[noreturn]] void Fatal(const std::string& why);
  std::string VerifyInside() const;
  static void RemoveStaleLabs();

  std::string prefix_;
  std::string log_;
  bool up_ = false;
  int originalNet_ = -1;
  int originalMount_ = -1;
};
