#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

// One device of the lab's site, as tools/lab.devices lists it.
struct LabDevice {
  std::string name;
  std::string ip;
  std::string mac;
  std::string hostname;  // "-" when the lab's DNS does not know it
  std::string flags;     // "web", "noping" or "-"
  std::string expect;    // what its row's description should read
  bool IgnoresPing() const { return flags.find("noping") != std::string::npos; }
};

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
  static constexpr const char* kComputerAddress = "10.77.0.2";
  static constexpr const char* kComputerMac = "02:77:00:00:00:02";
  static constexpr const char* kSecondAdapterAddress = "192.168.50.2";  // eth1, down
  static constexpr const char* kRouterAddress = "10.77.0.250";
  static constexpr const char* kRouterMac = "02:77:00:00:00:FA";
  static constexpr const char* kFarHost = "10.78.0.10";
  static constexpr const char* kRouterUnreachable = "10.78.1.1";
  static constexpr const char* kSilentAddress = "10.77.0.99";  // on the subnet, nobody there

  static bool IsRoot();
  static std::string LabScript();
  static std::vector<LabDevice> Devices();

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
