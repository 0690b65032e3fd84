// The browser pane's view on Qt WebEngine, built as the module vantrel-browser.
#include <QWebEnginePage>
#include <QWebEngineView>

#include "shell/BrowserView.h"

namespace {

// A device's page must not stop the installer with its own pop-ups.
class SilentPage : public QWebEnginePage {
 public:
  using QWebEnginePage::QWebEnginePage;

 protected:
  void javaScriptAlert(const QUrl&, const QString&) override {}
  bool javaScriptConfirm(const QUrl&, const QString&) override { return false; }
  bool javaScriptPrompt(const QUrl&, const QString&, const QString&, QString*) override { return false; }
  void javaScriptConsoleMessage(JavaScriptConsoleMessageLevel, const QString&, int, const QString&) override {}
};

class WebEngineBrowserView : public BrowserView {
 public:
  explicit WebEngineBrowserView(QWidget* parent) : view_(new QWebEngineView(parent)) {
    view_->setPage(new SilentPage(view_));
  }
  QWidget* Widget() override { return view_; }
  void Navigate(const QUrl& url) override { view_->setUrl(url); }
  QString Title() const override { return view_->title(); }
  QUrl Url() const override { return view_->url(); }

 private:
  QWebEngineView* view_;  // owned by its parent widget
};

}  // namespace

extern "C" Q_DECL_EXPORT BrowserView* VantrelMakeBrowserView(QWidget* parent) {
  return new WebEngineBrowserView(parent);
}
