#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <cstdlib>
#include <fstream>
#include <string>

#include "support/ScratchFolder.h"
#include "toolkit/kwTools.h"
#include "windows/AboutWindow.h"
#include "windows/HelpPictureWindow.h"

namespace {
bool Exists(const std::string& path) {
  struct stat st {};
  return ::lstat(path.c_str(), &st) == 0;
}

// The private temporary folder of these tests: a scratch folder of their own.
class PrivateTemp {
 public:
  PrivateTemp() {
    if (const char* old = std::getenv("XDG_RUNTIME_DIR")) previous_ = old;
    ::setenv("XDG_RUNTIME_DIR", scratch_.Path().c_str(), 1);
  }
  ~PrivateTemp() {
    if (previous_.empty()) {
      ::unsetenv("XDG_RUNTIME_DIR");
    } else {
      ::setenv("XDG_RUNTIME_DIR", previous_.c_str(), 1);
    }
  }
  std::string Folder() const { return scratch_.Path() + "/vantrel/"; }

 private:
  ScratchFolder scratch_;
  std::string previous_;
};

TEST(About, ProgramVersionAndOurCopyrightLine) {
  AboutWindow window;
  EXPECT_EQ(window.windowTitle(), QStringLiteral("About"));
  EXPECT_EQ(window.InfoLine().toStdString(), "Vantrel v" + kwTools().GetFileVersion(kwTools::ProgramPath()));
  EXPECT_EQ(window.InfoLine().left(9), QStringLiteral("Vantrel v"));
  EXPECT_GT(window.InfoLine().size(), 9);
  EXPECT_EQ(window.CopyrightLine(), QStringLiteral("Copyright 2024, Vantrel"));
  EXPECT_EQ(std::string(AboutWindow::kCopyrightStored).size(), 46u);
  EXPECT_EQ(kwTools::EncodeText("Copyright 2024, Vantrel"), AboutWindow::kCopyrightStored);
}

TEST(About, LinesAreCutToTheirFields) {
  AboutWindow window;
  const std::string longText(60, 'x');
  window.SetLines(longText, longText);
  EXPECT_EQ(window.InfoLine().size(), 48);
  EXPECT_EQ(window.CopyrightLine().size(), 32);
  window.SetLines("Vantrel v1.0.0.0   ", "short  ");
  EXPECT_EQ(window.InfoLine(), QStringLiteral("Vantrel v1.0.0.0"));
  EXPECT_EQ(window.CopyrightLine(), QStringLiteral("short"));
  EXPECT_EQ(AboutWindow::Fit(std::string(47, 'a') + "bc", 48), std::string(47, 'a') + "b");
}

TEST(HelpPicture, ResourceNames) {
  EXPECT_EQ(HelpPictureWindow::ResourceName("~Vantrel-Help-Screen.png"), "Vantrel-Help-Screen_png");
  EXPECT_EQ(HelpPictureWindow::ResourceName("~Vantrel-Help-Screen-Lumarc.png"), "Vantrel-Help-Screen-Lumarc_png");
}

TEST(HelpPicture, TheFileExistsOnlyWhileTheWindowIsOpenTwiceInARow) {
  const PrivateTemp temp;
  for (const char* name : {"~Vantrel-Help-Screen.png", "~Vantrel-Help-Screen-Lumarc.png"}) {
    const std::string path = temp.Folder() + name;
    // A copy left behind by a crash is replaced, not shown.
    ASSERT_TRUE(kwTools().CreatePath(temp.Folder()));
    std::ofstream(path) << "left over";
    for (int round = 0; round < 2; ++round) {
      bool existedWhileOpen = false;
      bool shown = false;
      {
        HelpPictureWindow window(name);
        EXPECT_EQ(window.PicturePath(), path);
        QTimer::singleShot(0, &window, [&] {
          existedWhileOpen = Exists(path);
          shown = window.ShowsPicture() && window.isVisible();
          window.findChild<QPushButton*>(QStringLiteral("HELPCANCELBUTTON"))->click();
        });
        window.exec();
        EXPECT_FALSE(Exists(path)) << name << " round " << round << ": left behind after closing";
      }
      EXPECT_TRUE(existedWhileOpen) << name << " round " << round;
      EXPECT_TRUE(shown) << name << " round " << round;
    }
  }
}

TEST(HelpPicture, ThePictureIsAPngOfItsWindow) {
  const PrivateTemp temp;
  HelpPictureWindow window("~Vantrel-Help-Screen.png");
  std::ifstream in(window.PicturePath(), std::ios::binary);
  char signature[8]{};
  in.read(signature, sizeof signature);
  EXPECT_EQ(std::string(signature + 1, 3), "PNG");
  EXPECT_TRUE(window.windowTitle().isEmpty());
}
}  // namespace
