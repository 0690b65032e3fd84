// The one kwTools service that touches a widget, kept in the widgets half of
// the toolkit so that the core links no widget code.
#include <QColor>
#include <QPalette>
#include <QWidget>

#include "toolkit/kwTools.h"

void kwTools::SetControlColour(QWidget* control, unsigned long colour, bool highlight) const {
  if (!control) return;
  // COLORREF keeps red in the low byte.
  const QColor c = highlight ? QColor(255, 255, 235)
                             : QColor(static_cast<int>(colour & 0xFF), static_cast<int>((colour >> 8) & 0xFF),
                                      static_cast<int>((colour >> 16) & 0xFF));
  QPalette palette = control->palette();
  palette.setColor(QPalette::Base, c);
  palette.setColor(QPalette::Window, c);
  control->setPalette(palette);
  control->setAutoFillBackground(true);
}
