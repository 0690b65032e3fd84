#pragma once

#include <QWidget>

// A clickable region: an invisible area laid over a picture that reports the
// mouse button being released over it. The pointer becomes a hand while it is
// over the region.
class ClickRegion : public QWidget {
  Q_OBJECT

 public:
  explicit ClickRegion(QWidget* parent = nullptr);

 signals:
  void released();

 protected:
  void mouseReleaseEvent(QMouseEvent* event) override;
};
