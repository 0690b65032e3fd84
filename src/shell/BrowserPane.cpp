#include "shell/BrowserPane.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QLibrary>
#include <QOpenGLContext>
#include <QUrl>
#include <QVBoxLayout>

#include "shell/BrowserView.h"
#include "toolkit/kwTools.h"

// Qt's own hook for the context that every OpenGL context of the program
// shares with; the web engine draws through it.
QT_BEGIN_NAMESPACE
Q_GUI_EXPORT void qt_gl_set_global_share_context(QOpenGLContext* context);
QT_END_NAMESPACE

namespace {

// What QGuiApplication does at start for a program that links the engine,
// done here instead when the engine is first needed. A context that cannot be
// made is set all the same: the engine then draws without OpenGL.
void ProvideSharedContext() {
  if (QOpenGLContext::globalShareContext()) return;
  auto* context = new QOpenGLContext(QCoreApplication::instance());
  context->setFormat(QSurfaceFormat::defaultFormat());
  context->create();
  qt_gl_set_global_share_context(context);
}

}  // namespace

BrowserPane::BrowserPane(QWidget* host) : host_(host) {}

// The view's widget belongs to the host; only the wrapper is ours.
BrowserPane::~BrowserPane() = default;

QString BrowserPane::ModulePath() {
  QString beside = QString::fromStdString(kwTools::ProgramFolder()) + QStringLiteral("/vantrel-browser.so");
  if (QFileInfo::exists(beside)) return beside;
  return QStringLiteral(VANTREL_BROWSER_MODULE);
}

bool BrowserPane::Navigate(const QString& url) {
  if (!view_) {
    ProvideSharedContext();
    QLibrary module(ModulePath());
    const auto make = reinterpret_cast<MakeBrowserViewFn>(module.resolve(kMakeBrowserViewSymbol));
    if (!make) return false;
    view_.reset(make(host_));
    auto* layout = new QVBoxLayout(host_);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(view_->Widget());
  }
  view_->Navigate(QUrl(url));
  return true;
}

void BrowserPane::Blank() {
  if (view_) view_->Navigate(QUrl(QStringLiteral("about:blank")));
}
