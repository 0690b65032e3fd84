#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>

#include "support/RecordingMessagePresenter.h"
#include "support/RecordingShellLauncher.h"
#include "toolkit/kwTools.h"

namespace {
const kwTools tools;

TEST(KernelRelease, ThreeTenAndLaterPass) {
  struct Case {
    const char* release;
    bool supported;
  };
  const Case cases[] = {{"3.10.0-1160.el7.x86_64", true},
                        {"6.1.0-18-amd64", true},
                        {"4.0", true},
                        {"3.9.11", false},
                        {"2.6.32", false},
                        {"", false},
                        {"garbage", false},
                        {"6", false}};
  for (const Case& c : cases) EXPECT_EQ(kwTools::KernelReleaseSupported(c.release), c.supported) << c.release;
  RecordingMessagePresenter messages;
  EXPECT_TRUE(tools.CheckWindowsVersion(true));
  EXPECT_TRUE(messages.shown.empty());
}

TEST(IsElevated, RootHoldsNetworkAdministration) {
  if (::geteuid() != 0) GTEST_SKIP() << "the elevated answer needs root";
  EXPECT_NE(tools.IsElevated(), 0);
}

TEST(ShellRun, HandsTheRequestOverAsArguments) {
  RecordingShellLauncher shell;
  EXPECT_FALSE(tools.ShellRun(""));
  EXPECT_FALSE(tools.ShellRun("   "));
  EXPECT_TRUE(shell.launched.empty());

  // A program path with spaces stays one argument: no shell ever splits it.
  ASSERT_TRUE(tools.ShellRun("/opt/My Tools/vantrel  ", "/Advanced \"two words\"  ", "", true, false, true));
  ASSERT_EQ(shell.launched.size(), 1u);
  const ShellRequest& program = shell.launched[0];
  EXPECT_EQ(program.kind, ShellRequest::Kind::Program);
  EXPECT_EQ(program.file, "/opt/My Tools/vantrel");
  EXPECT_EQ(program.arguments, (std::vector<std::string>{"/Advanced", "two words"}));
  EXPECT_TRUE(program.wait);
  EXPECT_TRUE(program.hidden);
  EXPECT_FALSE(program.elevate);

  ASSERT_TRUE(tools.ShellRun("http://10.77.0.20"));
  EXPECT_EQ(shell.launched[1].kind, ShellRequest::Kind::Document);
  EXPECT_TRUE(shell.launched[1].arguments.empty());

  shell.result = false;  // declined: the answer comes through
  EXPECT_FALSE(tools.RunAsAdmin("/usr/bin/vantrel", "/SetEmulation", "", false));
  const ShellRequest& elevated = shell.launched[2];
  EXPECT_TRUE(elevated.elevate);
  EXPECT_FALSE(elevated.hidden);
  EXPECT_FALSE(elevated.wait);
  EXPECT_EQ(elevated.arguments, std::vector<std::string>{"/SetEmulation"});
}

TEST(ShellRun, ElevationCarriesTheDisplay) {
  RecordingShellLauncher shell;
  ::setenv("DISPLAY", ":42", 1);
  tools.RunAsAdmin("/usr/bin/vantrel", "/Advanced", "", false);
  ::unsetenv("DISPLAY");
  ASSERT_EQ(shell.launched.size(), 1u);
  const auto& env = shell.launched[0].environment;
  EXPECT_NE(std::find(env.begin(), env.end(), "DISPLAY=:42"), env.end());
}

TEST(Waits, WaitSleepsAndTimedMessageClosesItself) {
  RecordingMessagePresenter messages;
  const auto start = std::chrono::steady_clock::now();
  tools.Wait(10, true);
  EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(10));
  EXPECT_TRUE(messages.shown.empty());

  tools.TimedMessage("first||second  ", "caption  ", 3);
  ASSERT_EQ(messages.shown.size(), 1u);
  EXPECT_EQ(messages.shown[0].DisplayText(), "first\n\nsecond");
  EXPECT_EQ(messages.shown[0].caption, "caption");
  EXPECT_EQ(messages.shown[0].timeoutSeconds, 3);
  EXPECT_EQ(messages.shown[0].buttons, MessageButtons::Ok);
}
}  // namespace
