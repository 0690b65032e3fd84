#pragma once

#include <QString>
#include <QUrl>

class QWidget;

// The web view behind the browser pane, as the pane uses it. The engine that
// implements it lives in a module of its own (vantrel-browser), loaded when the
// first page is shown, so that a start without a page never loads it.
class BrowserView {
 public:
  virtual ~BrowserView() = default;
  virtual QWidget* Widget() = 0;
  virtual void Navigate(const QUrl& url) = 0;
  virtual QString Title() const = 0;
  virtual QUrl Url() const = 0;
};

// The module's one entry point: a new view, a child of parent.
extern "C" {
using MakeBrowserViewFn = BrowserView* (*)(QWidget* parent);
}
inline constexpr const char* kMakeBrowserViewSymbol = "VantrelMakeBrowserView";
