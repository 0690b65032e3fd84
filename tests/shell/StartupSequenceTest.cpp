#include <gtest/gtest.h>

#include <QApplication>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "shell/BrowserEmulation.h"
#include "shell/StartupSequence.h"
#include "support/RecordingMessagePresenter.h"
#include "support/RecordingShellLauncher.h"
#include "support/ScratchFolder.h"
#include "toolkit/ProcessFlags.h"

namespace {
const std::string kProgram = "/opt/vantrel/bin/vantrel";

void Store(const ScratchFolder& dir, const std::string& line) {
  std::ofstream(dir / "browser-emulation.conf") << "[FEATURE_BROWSER_EMULATION]\n" << line << "\n";
}

struct StartRecord {
  bool windowRan = false;
  std::vector<ShellRequest> launched;
  std::vector<MessageRequest> messages;
};

StartRecord Start(const std::string& commandLine, const BrowserEmulation& emulation,
                  std::function<void()> inWindow = {}) {
  BYRESTARTASADMIN = 0;
  BYBROWSEREMULATION = 0;
  SRESTARTSWITCH.clear();
  RecordingShellLauncher shell;
  RecordingMessagePresenter messages;
  StartRecord run;
  StartupSequence::Hooks hooks;
  hooks.runMainWindow = [&] {
    run.windowRan = true;
    if (inWindow) inWindow();
  };
  StartupSequence(commandLine, kProgram, emulation, hooks).Run();
  run.launched = shell.launched;
  run.messages = messages.shown;
  return run;
}

TEST(BrowserEmulation, StoredValuesAndTheFlag) {
  struct Case {
    const char* line;  // nullptr: no file at all
    long value;
    unsigned char flag;
  };
  const Case cases[] = {{"vantrel=11001", 11001, 1}, {"vantrel=\"11001\"", 11001, 1},
                        {"vantrel=11000", 11000, 0}, {"other=11001", 0, 0},
                        {"vantrel=", 0, 0},          {nullptr, 0, 0}};
  for (const Case& c : cases) {
    ScratchFolder dir;
    if (c.line) Store(dir, c.line);
    const BrowserEmulation emulation(kProgram, dir.Path());
    EXPECT_EQ(emulation.GetEmulation(), c.value) << (c.line ? c.line : "no file");
    const StartRecord run = Start(kProgram, emulation);
    EXPECT_EQ(BYBROWSEREMULATION, c.flag) << (c.line ? c.line : "no file");
    EXPECT_TRUE(run.windowRan);
    EXPECT_TRUE(run.launched.empty());
  }
}

TEST(BrowserEmulation, EachProgramNameHasItsOwnValue) {
  ScratchFolder dir;
  const BrowserEmulation first("/usr/bin/vantrel", dir.Path());
  const BrowserEmulation second("/home/me/vantrel-copy", dir.Path());
  first.SetEmulation();
  EXPECT_EQ(first.GetEmulation(), 11001);
  EXPECT_EQ(second.GetEmulation(), 0);
  EXPECT_EQ(std::filesystem::status(first.FilePath()).permissions() & std::filesystem::perms::all,
            std::filesystem::perms(0644));
}

TEST(StartupSequence, SetEmulationSwitchOnlyInExactCase) {
  struct Case {
    const char* commandLine;
    unsigned char flag;
  };
  const Case cases[] = {{"/opt/vantrel/bin/vantrel /SetEmulation", 1},
                        {"/opt/vantrel/bin/vantrel x/SetEmulationy", 1},
                        {"/opt/vantrel/bin/vantrel /setemulation", 0},
                        {"/opt/vantrel/bin/vantrel /SETEMULATION", 0}};
  for (const Case& c : cases) {
    ScratchFolder dir;
    const BrowserEmulation emulation(kProgram, dir.Path());
    const StartRecord run = Start(c.commandLine, emulation);
    EXPECT_EQ(BYBROWSEREMULATION, c.flag) << c.commandLine;
    EXPECT_EQ(std::filesystem::exists(emulation.FilePath()), c.flag == 1) << c.commandLine;
    EXPECT_TRUE(run.messages.empty());
  }
}

TEST(StartupSequence, AFailedWriteIsReportedOnceAndStartUpGoesOn) {
  ScratchFolder dir;
  std::ofstream(dir / "afile") << "x";  // a folder that cannot be made, even by root
  const BrowserEmulation emulation(kProgram, dir / "afile/vantrel");
  const StartRecord run = Start(kProgram + " /SetEmulation", emulation);
  ASSERT_EQ(run.messages.size(), 1u);
  EXPECT_EQ(run.messages[0].caption, "Vantrel");
  EXPECT_EQ(run.messages[0].icon, MessageIcon::Warning);
  EXPECT_EQ(run.messages[0].text.rfind("An error was encountered setting browser emulation", 0), 0u);
  EXPECT_TRUE(run.windowRan);
  EXPECT_EQ(BYBROWSEREMULATION, 0);
}

TEST(StartupSequence, RestartHandsProgramAndSwitchToTheSystem) {
  ScratchFolder dir;
  const BrowserEmulation emulation(kProgram, dir.Path());
  for (const char* restartSwitch : {"/Advanced", "/SetEmulation"}) {
    const StartRecord run = Start(kProgram, emulation, [&] { RequestAdminRestart(restartSwitch); });
    ASSERT_EQ(run.launched.size(), 1u);
    EXPECT_EQ(run.launched[0].file, kProgram);
    EXPECT_EQ(run.launched[0].arguments, std::vector<std::string>{restartSwitch});
    EXPECT_TRUE(run.launched[0].elevate);
    EXPECT_FALSE(run.launched[0].wait);
  }
  EXPECT_TRUE(Start(kProgram, emulation).launched.empty());
}

}  // namespace
