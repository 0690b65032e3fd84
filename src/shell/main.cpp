#include <unistd.h>

#include <QApplication>
#include <QIcon>
#include <cstdio>
#include <cstdlib>

#include "shell/BrowserEmulation.h"
#include "shell/MainWindow.h"
#include "shell/StartupSequence.h"
#include "toolkit/MessageService.h"
#include "toolkit/kwTools.h"
#include "toolkit/widgets/QtMessagePresenter.h"

namespace {
bool HasDisplay() {
  for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) {
    if (const char* v = std::getenv(name); v && *v) return true;
  }
  return false;
}
}  // namespace

int main(int argc, char* argv[]) {
  if (!HasDisplay()) {
    std::fprintf(stderr,
                 "vantrel: no display to open a window on (DISPLAY is not set).\n"
                 "Run it on a desktop, or under a virtual display:\n"
                 "  xvfb-run -a %s\n",
                 argv[0]);
    return 1;
  }
  // The web engine refuses to run as root with its sandbox on; an elevated
  // instance runs as root.
  if (::geteuid() == 0) ::setenv("QTWEBENGINE_DISABLE_SANDBOX", "1", 1);

  QApplication app(argc, argv);
  QtMessagePresenter presenter;
  MessageService::Install(&presenter);

  const std::string commandLine = kwTools::CommandLine();
  const std::string programPath = kwTools::ProgramPath();
  const BrowserEmulation emulation(programPath);
  StartupSequence::Hooks hooks;
  hooks.setApplicationIcon = [] { QApplication::setWindowIcon(QIcon(QStringLiteral(":/IMAGE/Application.png"))); };
  hooks.runMainWindow = [&] {
    MainWindow::Options options;
    options.commandLine = commandLine;
    MainWindow window(std::move(options));
    window.show();
    QApplication::exec();
  };
  StartupSequence(commandLine, programPath, emulation, hooks).Run();
  MessageService::Install(nullptr);
  return 0;
}
