#include "toolkit/widgets/ClickRegion.h"

#include <QMouseEvent>

ClickRegion::ClickRegion(QWidget* parent) : QWidget(parent) {
  setCursor(Qt::PointingHandCursor);
  setAttribute(Qt::WA_NoSystemBackground);
}

void ClickRegion::mouseReleaseEvent(QMouseEvent* event) {
  // Released outside the region counts as the user changing their mind.
  if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint())) emit released();
  QWidget::mouseReleaseEvent(event);
}
