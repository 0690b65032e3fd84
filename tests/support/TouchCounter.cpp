#include "support/TouchCounter.h"

#include <QEvent>
#include <QWidget>

TouchCounter::TouchCounter(const std::vector<QWidget*>& controls) {
  for (QWidget* c : controls) c->installEventFilter(this);
}

bool TouchCounter::eventFilter(QObject* watched, QEvent* event) {
  switch (event->type()) {
    case QEvent::Move:
    case QEvent::Resize:
      ++geometry[watched];
      break;
    case QEvent::Hide:
      ++hides[watched];
      break;
    case QEvent::Show:
      ++shows[watched];
      break;
    default:
      break;
  }
  return false;
}
