#include "windows/HelpPictureWindow.h"

#include <QApplication>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>

#include "toolkit/kwResource.h"
#include "toolkit/kwTools.h"
#include "toolkit/widgets/DialogUnits.h"
#include "ui_HelpPictureWindow.h"

std::string HelpPictureWindow::ResourceName(const std::string& pictureName) {
  const kwTools tools;
  return tools.ReplaceAll(".", tools.ReplaceAll("~", pictureName, ""), "_");
}

HelpPictureWindow::HelpPictureWindow(const std::string& pictureName, QWidget* parent)
    : QDialog(parent), resource_(std::make_unique<kwResource>()), ui_(std::make_unique<Ui::HelpPictureWindow>()) {
  const kwTools tools;
  resource_->Init(kwTools::ProgramPath(), 0);
  resource_->LoadImage(ResourceName(pictureName));
  picturePath_ = tools.BuildPath(tools.GetTempPath(), pictureName);
  // An old copy left behind by a crash goes first; a missing picture writes nothing.
  kwTools::DeleteFileSilently(picturePath_);
  resource_->SaveResource(picturePath_);

  ui_->setupUi(this);
  DialogUnits::Apply(this);
  setFixedSize(size());
  setWindowIcon(QApplication::windowIcon());
  ui_->HELPBOX->setGeometry(0, 0, width(), height());
  ui_->HELPBOX->lower();
  // The picture reaches under the button; the button stays on top of it.
  ui_->HELPCANCELBUTTON->raise();
  const QPixmap picture(QString::fromStdString(picturePath_));
  if (!picture.isNull()) {
    ui_->IMAGE1->setPixmap(picture.scaled(ui_->IMAGE1->size(), Qt::KeepAspectRatio, Qt::SmoothTransformation));
  }
  connect(ui_->HELPCANCELBUTTON, &QPushButton::clicked, this, &QDialog::reject);
}

HelpPictureWindow::~HelpPictureWindow() { RemovePicture(); }

bool HelpPictureWindow::ShowsPicture() const { return !ui_->IMAGE1->pixmap().isNull(); }

void HelpPictureWindow::done(int result) {
  RemovePicture();
  QDialog::done(result);
}

void HelpPictureWindow::RemovePicture() {
  if (!picturePath_.empty()) kwTools::DeleteFileSilently(picturePath_);
}
