#include "windows/AboutWindow.h"

#include <QLabel>
#include <QPushButton>

#include "toolkit/kwTools.h"
#include "toolkit/widgets/DialogUnits.h"
#include "ui_AboutWindow.h"

std::string AboutWindow::Fit(std::string_view text, std::size_t width) {
  return kwTools::Clip(text.substr(0, std::min(text.size(), width)));
}

AboutWindow::AboutWindow(QWidget* parent) : QDialog(parent), ui_(std::make_unique<Ui::AboutWindow>()) {
  ui_->setupUi(this);
  const kwTools tools;
  SetLines("Vantrel v" + tools.GetFileVersion(kwTools::ProgramPath()), tools.DecodeText(kCopyrightStored));
  DialogUnits::Apply(this);
  setFixedSize(size());
  connect(ui_->CANCELBUTTON, &QPushButton::clicked, this, &QDialog::reject);
}

AboutWindow::~AboutWindow() = default;

void AboutWindow::SetLines(std::string_view info, std::string_view copyright) {
  ui_->SINFO->setText(QString::fromStdString(Fit(info, kInfoLength)));
  ui_->SCOPYRIGHT->setText(QString::fromStdString(Fit(copyright, kCopyrightLength)));
  ui_->SCOPYRIGHT->adjustSize();
}

QString AboutWindow::InfoLine() const { return ui_->SINFO->text(); }

QString AboutWindow::CopyrightLine() const { return ui_->SCOPYRIGHT->text(); }
