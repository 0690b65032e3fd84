#pragma once

#include <QObject>
#include <map>
#include <vector>

class QEvent;
class QWidget;

// Counts the moves, resizes, hides and shows each watched control goes through,
// so a layout test can tell "left alone" from "put back where it was".
class TouchCounter : public QObject {
 public:
  explicit TouchCounter(const std::vector<QWidget*>& controls);

  bool eventFilter(QObject* watched, QEvent* event) override;

  std::map<QObject*, int> geometry, hides, shows;
};
