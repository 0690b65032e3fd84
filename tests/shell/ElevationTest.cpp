#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QApplication>
#include <QPushButton>
#include <QTimer>
#include <chrono>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <thread>

#include "net/kwIPcl.h"
#include "shell/BrowserEmulation.h"
#include "shell/StartupSequence.h"
#include "support/RecordingShellLauncher.h"
#include "support/ScratchFolder.h"
#include "toolkit/ProcessFlags.h"
#include "toolkit/ProcessShellLauncher.h"
#include "toolkit/ShellService.h"
#include "toolkit/kwTools.h"
#include "windows/AdvancedSettingsWindow.h"

namespace {
// Sets an environment variable for one test and puts the old value back.
class Variable {
 public:
  Variable(const char* name, const std::string& value) : name_(name) {
    if (const char* old = std::getenv(name)) {
      had_ = true;
      old_ = old;
    }
    ::setenv(name, value.c_str(), 1);
  }
  ~Variable() {
    if (had_) {
      ::setenv(name_, old_.c_str(), 1);
    } else {
      ::unsetenv(name_);
    }
  }

 private:
  const char* name_;
  bool had_ = false;
  std::string old_;
};

// Installs a launcher for one test.
class Installed {
 public:
  explicit Installed(ShellLauncher& launcher) : previous_(ShellService::Install(&launcher)) {}
  ~Installed() { ShellService::Install(previous_); }

 private:
  ShellLauncher* previous_;
};

void WriteScript(const std::string& path, const std::string& body) {
  std::ofstream(path) << "#!/bin/sh\n" << body;
  ::chmod(path.c_str(), 0755);
}

// A stand-in that writes its arguments and environment where the test reads
// them: the environment first, the arguments last, each renamed into place.
std::string RecorderBody(const std::string& folder, const std::string& extra = {}) {
  return extra + "env > " + folder + "/env.tmp && mv " + folder + "/env.tmp " + folder + "/env\n" +
         "printf '%s\\n' \"$@\" > " + folder + "/args.tmp && mv " + folder + "/args.tmp " + folder + "/args\n";
}

std::vector<std::string> Lines(const std::string& path) {
  std::ifstream in(path);
  std::vector<std::string> lines;
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

// The stand-ins run detached; wait for what they leave behind.
bool AppearsWithin(const std::string& path, std::chrono::milliseconds limit) {
  const auto end = std::chrono::steady_clock::now() + limit;
  struct stat st {};
  while (::stat(path.c_str(), &st) != 0) {
    if (std::chrono::steady_clock::now() > end) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return true;
}

bool Has(const std::vector<std::string>& lines, const std::string& line) {
  return std::find(lines.begin(), lines.end(), line) != lines.end();
}

std::string PolicyFor(const std::string& program) {
  const std::string command =
      std::string(VANTREL_SOURCE_DIR) + "/tools/install-polkit-policy --print '" + program + "'";
  std::string out;
  if (FILE* pipe = ::popen(command.c_str(), "r")) {
    char buffer[4096];
    for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) out.append(buffer, n);
    ::pclose(pipe);
  }
  return out;
}

TEST(ElevatedRestart, ThePolicyTheInstallerWritesNamesTheProgram) {
  ScratchFolder actions;
  const std::string program = kwTools::ProgramPath();
  const std::string policy = PolicyFor(program);
  ASSERT_NE(policy.find("<action id=\"org.vantrel.run-as-admin\">"), std::string::npos) << policy;
  EXPECT_NE(policy.find("<annotate key=\"org.freedesktop.policykit.exec.allow_gui\">true</annotate>"),
            std::string::npos);
  std::ofstream(actions / ProcessShellLauncher::kPolicyFile) << policy;
  const ProcessShellLauncher launcher({.policyFolder = actions.Path(), .runningAsRoot = false});
  EXPECT_TRUE(launcher.PolicyCovers(program));
  EXPECT_FALSE(launcher.PolicyCovers("/usr/bin/env"));
  EXPECT_FALSE(ProcessShellLauncher({.policyFolder = actions / "none", .runningAsRoot = false}).PolicyCovers(program));
}

// The whole way from the button to pkexec: the window asks for the restart and
// closes, the start-up sequence hands the program and its switch to pkexec,
// which gets the display variables. The stand-in only records; the real one
// would ask a person.
TEST(ElevatedRestart, FromTheButtonToPkexecWithTheSwitchAndTheDisplay) {
  struct Case {
    bool policyInstalled;
    bool envWrapper;  // the display variables travel as env's arguments
  };
  for (const Case c : {Case{true, false}, Case{false, true}}) {
    ScratchFolder bin;
    ScratchFolder actions;
    ScratchFolder settings;
    const std::string program = kwTools::ProgramPath();
    if (c.policyInstalled) std::ofstream(actions / ProcessShellLauncher::kPolicyFile) << PolicyFor(program);
    WriteScript(bin / "pkexec", RecorderBody(bin.Path()));
    const Variable path("PATH", bin.Path() + ":" + std::getenv("PATH"));
    const Variable display("DISPLAY", ":42");
    const Variable cookie("XAUTHORITY", "/home/installer/.Xauthority");
    ProcessShellLauncher launcher({.policyFolder = actions.Path(), .runningAsRoot = false});
    const Installed installed(launcher);
    const auto elevation = AdvancedSettingsWindow::SetElevationCheck([] { return 0; });

    BYRESTARTASADMIN = 0;
    SRESTARTSWITCH.clear();
    bool windowClosedItself = false;
    StartupSequence::Hooks hooks;
    hooks.runMainWindow = [&] {
      kwIPcl network;
      AdvancedSettingsWindow window(network);
      QTimer::singleShot(0, &window, [&] { window.findChild<QPushButton*>(QStringLiteral("RESTARTBUTTON"))->click(); });
      window.exec();
      windowClosedItself = true;
    };
    const BrowserEmulation emulation(program, settings.Path());
    StartupSequence(program, program, emulation, hooks).Run();
    AdvancedSettingsWindow::SetElevationCheck(elevation);

    EXPECT_TRUE(windowClosedItself);
    ASSERT_TRUE(AppearsWithin(bin / "args", std::chrono::seconds(10))) << "pkexec was not started";
    const std::vector<std::string> args = Lines(bin / "args");
    const std::vector<std::string> env = Lines(bin / "env");
    if (c.envWrapper) {
      ASSERT_GE(args.size(), 4u);
      EXPECT_EQ(args.front(), "env");
      EXPECT_TRUE(Has(args, "DISPLAY=:42"));
      EXPECT_TRUE(Has(args, "XAUTHORITY=/home/installer/.Xauthority"));
      EXPECT_EQ(std::vector<std::string>(args.end() - 2, args.end()), (std::vector<std::string>{program, "/Advanced"}));
    } else {
      // pkexec runs the program itself, so its prompt names our action; it keeps
      // the display variables of its own environment (allow_gui).
      EXPECT_EQ(args, (std::vector<std::string>{program, "/Advanced"}));
      EXPECT_TRUE(Has(env, "DISPLAY=:42"));
      EXPECT_TRUE(Has(env, "XAUTHORITY=/home/installer/.Xauthority"));
    }
    BYRESTARTASADMIN = 0;
    SRESTARTSWITCH.clear();
  }
}

TEST(ElevatedRestart, ARootInstanceStartsTheFirewallStepWithoutPkexec) {
  ScratchFolder bin;
  WriteScript(bin / "pkexec", "exit 1\n");
  WriteScript(bin / "step", RecorderBody(bin.Path()));
  const Variable path("PATH", bin.Path() + ":" + std::getenv("PATH"));
  ProcessShellLauncher launcher({.policyFolder = bin.Path(), .runningAsRoot = true});
  const Installed installed(launcher);
  EXPECT_TRUE(kwTools().ShellRun(bin / "step", "add table inet vantrel", {}, true, true, true));
  EXPECT_EQ(Lines(bin / "args"), (std::vector<std::string>{"add", "table", "inet", "vantrel"}));
}

// The deviation for a root instance: web pages go to the browser of the user
// who asked for the elevation, never to one running as root.
TEST(ElevatedInstance, WebPagesOpenAsTheUserWhoAskedForTheElevation) {
  if (::geteuid() != 0) GTEST_SKIP() << "a root instance needs root";
  {
    RecordingShellLauncher shell;
    const Variable user("PKEXEC_UID", "65534");
    kwTools().ShellRun("http://10.77.0.10");
    kwTools().ShellRun("/usr/sbin/nft", "list ruleset");
    ASSERT_EQ(shell.launched.size(), 2u);
    EXPECT_EQ(shell.launched[0].userId, 65534);
    EXPECT_EQ(shell.launched[1].userId, -1);  // programs are no web pages
  }

  ScratchFolder bin;
  ::chmod(bin.Path().c_str(), 0777);  // the stand-in runs as nobody and writes here
  WriteScript(bin / "xdg-open", RecorderBody(bin.Path(), "id -u > " + bin.Path() + "/uid\n"));
  const Variable path("PATH", bin.Path() + ":" + std::getenv("PATH"));
  ProcessShellLauncher launcher;  // the real one, as root
  const Installed installed(launcher);
  {
    // Nobody to open it for: nothing is started at all.
    const Variable user("PKEXEC_UID", "");
    const Variable sudoUser("SUDO_UID", "");
    EXPECT_FALSE(kwTools().ShellRun("http://10.77.0.10"));
  }
  const Variable user("PKEXEC_UID", "65534");
  const Variable sudoUser("SUDO_UID", "1000");  // pkexec's user comes first
  ASSERT_TRUE(kwTools().ShellRun("http://10.77.0.10  "));
  ASSERT_TRUE(AppearsWithin(bin / "args", std::chrono::seconds(10))) << "the browser was not started";
  EXPECT_EQ(Lines(bin / "uid"), std::vector<std::string>{"65534"});
  EXPECT_EQ(Lines(bin / "args"), std::vector<std::string>{"http://10.77.0.10"});
  const std::vector<std::string> env = Lines(bin / "env");
  EXPECT_FALSE(Has(env, "PKEXEC_UID=65534"));  // root's own environment stays behind
  EXPECT_TRUE(std::any_of(env.begin(), env.end(), [](const std::string& v) { return v.rfind("HOME=", 0) == 0; }));
}

TEST(ElevatedInstance, TheEmbeddedPaneStaysOff) {
  if (::geteuid() != 0) GTEST_SKIP() << "a root instance needs root";
  ScratchFolder settings;
  const std::string program = "/opt/vantrel/bin/vantrel";
  const BrowserEmulation emulation(program, settings.Path());
  emulation.SetEmulation();
  ASSERT_EQ(emulation.GetEmulation(), BrowserEmulation::kUsable);
  RecordingShellLauncher shell;
  struct Case {
    const char* pkexecUid;
    unsigned char pane;
  };
  for (const Case c : {Case{"", 1}, Case{"1000", 0}}) {
    const Variable user("PKEXEC_UID", c.pkexecUid);
    StartupSequence(program, program, emulation, {}).Run();
    EXPECT_EQ(BYBROWSEREMULATION, c.pane) << "PKEXEC_UID=" << c.pkexecUid;
  }
}
}  // namespace
