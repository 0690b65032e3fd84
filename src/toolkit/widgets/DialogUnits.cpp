#include "toolkit/widgets/DialogUnits.h"

#include <QWidget>
#include <cmath>

int DialogUnits::X(int units) { return static_cast<int>(std::lround(units * kPixelsPerUnitX)); }

int DialogUnits::Y(int units) { return static_cast<int>(std::lround(units * kPixelsPerUnitY)); }

QRect DialogUnits::ToPixels(const QRect& units) {
  return {X(units.x()), Y(units.y()), X(units.width()), Y(units.height())};
}

void DialogUnits::Apply(QWidget* window) {
  if (!window) return;
  for (QObject* child : window->children()) {
    auto* widget = qobject_cast<QWidget*>(child);
    if (!widget || widget->isWindow()) continue;
    QRect r = ToPixels(widget->geometry());
    const QSize hint = widget->sizeHint();
    if (r.width() == 0) r.setWidth(hint.width());
    if (r.height() == 0) r.setHeight(hint.height());
    widget->setGeometry(r);
  }
  window->resize(X(window->width()), Y(window->height()));
}
