#include "toolkit/widgets/QtMessagePresenter.h"

#include <QApplication>
#include <QMessageBox>
#include <QMetaObject>
#include <QPushButton>
#include <QStyle>
#include <QThread>
#include <QTimer>

namespace {
MessageAnswer PresentHere(const MessageRequest& request) {
  QMessageBox box;
  box.setWindowTitle(QString::fromStdString(request.caption));
  box.setText(QString::fromStdString(request.DisplayText()));
  switch (request.icon) {
    case MessageIcon::Warning:
      box.setIcon(QMessageBox::Warning);
      break;
    case MessageIcon::Question:
      box.setIcon(QMessageBox::Question);
      break;
    case MessageIcon::Information:
      box.setIcon(QMessageBox::Information);
      break;
    case MessageIcon::Cross:
      box.setIcon(QMessageBox::Critical);
      break;
    case MessageIcon::Tick:
      box.setIconPixmap(QApplication::style()->standardIcon(QStyle::SP_DialogApplyButton).pixmap(32, 32));
      break;
    case MessageIcon::None:
      break;
  }
  if (request.buttons == MessageButtons::YesNo) {
    box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
    box.setDefaultButton(QMessageBox::No);
  } else {
    box.setStandardButtons(QMessageBox::Ok);
  }
  if (request.timeoutSeconds > 0) QTimer::singleShot(request.timeoutSeconds * 1000, &box, &QMessageBox::accept);
  const int result = box.exec();
  if (request.buttons == MessageButtons::YesNo)
    return result == QMessageBox::Yes ? MessageAnswer::Yes : MessageAnswer::No;
  return MessageAnswer::Ok;
}
}  // namespace

MessageAnswer QtMessagePresenter::Present(const MessageRequest& request) {
  QCoreApplication* app = QCoreApplication::instance();
  if (!app || QThread::currentThread() == app->thread()) return PresentHere(request);
  MessageAnswer answer = MessageAnswer::No;
  QMetaObject::invokeMethod(
      app, [&] { answer = PresentHere(request); }, Qt::BlockingQueuedConnection);
  return answer;
}
