#pragma once

#include <QString>
#include <memory>

class BrowserView;
class QWidget;

// The browser pane inside the main window. The web engine costs a good deal of
// memory and start-up time (it also brings in the whole OpenGL stack), so it
// is loaded, and the view made, only when a page is first shown; until then
// clearing the pane has nothing to clear. Pages in the pane cannot open dialogs.
class BrowserPane {
 public:
  // host: the window's placeholder control that the view fills; not owned.
  explicit BrowserPane(QWidget* host);
  ~BrowserPane();
  BrowserPane(const BrowserPane&) = delete;
  BrowserPane& operator=(const BrowserPane&) = delete;

  // Shows url in the pane, loading the engine on first use. False when the
  // engine cannot be loaded: the pane then stays empty.
  bool Navigate(const QString& url);
  // "about:blank", when there is a view.
  void Blank();

  bool Created() const { return view_ != nullptr; }
  BrowserView* View() const { return view_.get(); }

  // Where the engine module is looked for: beside the program, then where the
  // build put it.
  static QString ModulePath();

 private:
  QWidget* host_;
  std::unique_ptr<BrowserView> view_;
};
