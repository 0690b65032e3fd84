#pragma once

#include <QRect>

class QWidget;

// Window definitions keep the positions of the design in dialog units; this is
// the one place that turns them into pixels. One factor for every window, taken
// from the window font (10-point text at 96 dpi: an average character 7 px wide
// and 16 px high; a dialog unit is a quarter of the width and an eighth of the
// height): 1.75 px across, 2 px down.
class DialogUnits {
 public:
  static constexpr double kPixelsPerUnitX = 1.75;
  static constexpr double kPixelsPerUnitY = 2.0;

  static int X(int units);
  static int Y(int units);
  static QRect ToPixels(const QRect& units);

  // Converts the geometry of window and of each of its direct child widgets
  // from dialog units to pixels. A width or height of 0 in the definition means
  // "default": the widget's size hint is used for it.
  static void Apply(QWidget* window);
};
