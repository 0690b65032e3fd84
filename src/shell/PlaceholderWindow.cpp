#include "shell/PlaceholderWindow.h"

#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "shell/StartupSequence.h"
#include "toolkit/ProcessFlags.h"
#include "toolkit/kwTools.h"

PlaceholderWindow::PlaceholderWindow(const std::string& commandLine, QWidget* parent) : QWidget(parent) {
  const kwTools tools;
  opensAdvanced_ = kwTools::HasSwitch(StartupSequence::kAdvancedSwitch, commandLine);
  setWindowTitle(QStringLiteral("Vantrel"));
  auto* layout = new QVBoxLayout(this);
  auto line = [](bool on, const char* yes, const char* no) { return QString::fromUtf8(on ? yes : no); };
  layout->addWidget(new QLabel(QStringLiteral("Vantrel %1").arg(QString::fromStdString(
      tools.GetFileVersion(kwTools::ProgramPath()))), this));
  layout->addWidget(new QLabel(line(BYBROWSEREMULATION, "Embedded browser: enabled", "Embedded browser: disabled"), this));
  layout->addWidget(new QLabel(line(tools.IsElevated(), "Running with administrator rights",
                                    "Running with the rights of the user"), this));
  if (opensAdvanced_) layout->addWidget(new QLabel(QStringLiteral("Advanced Settings requested"), this));
  if (!tools.IsElevated()) {
    auto* restart = new QPushButton(QStringLiteral("Restart with Admin rights"), this);
    connect(restart, &QPushButton::clicked, this, [this] {
      RequestAdminRestart(StartupSequence::kAdvancedSwitch);
      close();
    });
    layout->addWidget(restart);
  }
}
