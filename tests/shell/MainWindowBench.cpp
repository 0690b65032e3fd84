// Figures of the main window, printed one "name value unit" a line:
//   startup_ms        process start to the window's first paint
//   rss_idle_kib      resident memory once the window idles, no page opened yet
//   rss_page_kib      the same after the browser pane has shown a page, this process
//   rss_page_all_kib  ... this process and the web engine's helper processes
//   resize_pass_us    one resize of the visible window, layout pass included (median)
//   layout_still_us   a layout pass that finds nothing to move (mean)
// With --startup-only it stops after the first figure. The page is opened only
// on the lab's computer (tools/bench-window runs this there, under Xvfb).
#include <time.h>
#include <unistd.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTableView>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "LabComputer.h"
#include "scan/SweepController.h"
#include "shell/BrowserPane.h"
#include "shell/BrowserView.h"
#include "shell/MainWindow.h"
#include "support/LabSession.h"
#include "toolkit/MessageService.h"
#include "toolkit/ProcessFlags.h"
#include "toolkit/widgets/QtMessagePresenter.h"

namespace {

double SecondsSinceBoot() {
  timespec now{};
  ::clock_gettime(CLOCK_BOOTTIME, &now);
  return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
}

// When this process started, in seconds since boot (clock-tick resolution).
double ProcessStart() {
  std::ifstream in("/proc/self/stat");
  std::string stat((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  std::istringstream fields(stat.substr(stat.rfind(')') + 2));
  std::string field;
  for (int i = 3; i <= 22 && fields >> field; ++i) {
  }
  return std::stod(field) / static_cast<double>(::sysconf(_SC_CLK_TCK));
}

long StatusKib(int pid, const char* key) {
  std::ifstream in("/proc/" + std::to_string(pid) + "/status");
  for (std::string line; std::getline(in, line);) {
    if (line.rfind(key, 0) == 0) return std::stol(line.substr(std::strlen(key)));
  }
  return 0;
}

std::vector<int> Children(int pid) {
  std::vector<int> out;
  const std::string tasks = "/proc/" + std::to_string(pid) + "/task/";
  std::ifstream list(tasks + std::to_string(pid) + "/children");
  for (int child; list >> child;) out.push_back(child);
  return out;
}

// This process and everything it started, as the system counts it.
long TreeRssKib(int pid) {
  long total = StatusKib(pid, "VmRSS:");
  for (int child : Children(pid)) total += TreeRssKib(child);
  return total;
}

void Idle(int milliseconds) {
  QElapsedTimer clock;
  clock.start();
  while (clock.elapsed() < milliseconds) QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
}

// Times the handling of each resize event the window receives.
class TimingApplication : public QApplication {
 public:
  using QApplication::QApplication;
  QObject* watched = nullptr;
  std::vector<double> resizeUs;
  bool notify(QObject* receiver, QEvent* event) override {
    if (receiver != watched || event->type() != QEvent::Resize) return QApplication::notify(receiver, event);
    QElapsedTimer clock;
    clock.start();
    const bool result = QApplication::notify(receiver, event);
    resizeUs.push_back(static_cast<double>(clock.nsecsElapsed()) / 1000.0);
    return result;
  }
};

void Print(const char* name, double value, const char* unit) { std::printf("%-17s %.1f %s\n", name, value, unit); }

}  // namespace

int main(int argc, char** argv) {
  const bool startupOnly = argc > 1 && std::strcmp(argv[1], "--startup-only") == 0;
  if (::geteuid() == 0) ::setenv("QTWEBENGINE_DISABLE_SANDBOX", "1", 1);
  TimingApplication app(argc, argv);
  QtMessagePresenter presenter;
  MessageService::Install(&presenter);
  BYBROWSEREMULATION = 1;

  MainWindow::Options options;
  MainWindow window(std::move(options));
  QEventLoop shown;
  struct FirstPaint : QObject {
    QEventLoop* loop = nullptr;
    double at = 0;
    bool eventFilter(QObject*, QEvent* event) override {
      if (event->type() == QEvent::Paint && at == 0) {
        at = SecondsSinceBoot();
        QTimer::singleShot(0, loop, &QEventLoop::quit);
      }
      return false;
    }
  } firstPaint;
  firstPaint.loop = &shown;
  window.installEventFilter(&firstPaint);
  window.show();
  shown.exec();
  window.removeEventFilter(&firstPaint);
  Print("startup_ms", (firstPaint.at - ProcessStart()) * 1000.0, "ms");
  if (startupOnly) return 0;

  Idle(1500);
  Print("rss_idle_kib", static_cast<double>(StatusKib(::getpid(), "VmRSS:")), "KiB");

  // The layout: real resizes of the visible window, then passes with nothing to move.
  app.watched = &window;
  const QSize opened = window.size();
  for (int i = 0; i < 40; ++i) {
    window.resize(opened + (i % 2 ? QSize(0, 0) : QSize(180, 120)));
    Idle(30);
  }
  app.watched = nullptr;
  if (!app.resizeUs.empty()) {
    std::sort(app.resizeUs.begin(), app.resizeUs.end());
    Print("resize_pass_us", app.resizeUs[app.resizeUs.size() / 2], "us");
  }
  constexpr int kStill = 2000;
  QElapsedTimer still;
  still.start();
  for (int i = 0; i < kStill; ++i) window.Layout().Resize();
  Print("layout_still_us", static_cast<double>(still.nsecsElapsed()) / 1000.0 / kStill, "us");

  if (!OnTheLabComputer()) {
    std::printf("rss_page_kib      skipped (not on the lab's computer)\n");
    return 0;
  }
  // A device with a page, opened the way a person does: a double click on its row.
  SweepController& controller = window.Controller();
  const LabTopology::Device& web = LabSession::Topology().WebDevice();
  if (controller.lists.FileAnswer(web.ip, web.mac, false)) window.DisplayChanged();
  auto* list = window.findChild<QTableView*>(QStringLiteral("LIST_DISPLAYQ"));
  QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, list->visualRect(list->model()->index(0, 0)).center());
  QElapsedTimer wait;
  wait.start();
  while (window.Browser().View()->Title().toStdString() != web.webTitle && wait.elapsed() < 30000) Idle(50);
  std::printf("page_title        %s\n", window.Browser().View()->Title().toUtf8().constData());
  Idle(2000);
  Print("rss_page_kib", static_cast<double>(StatusKib(::getpid(), "VmRSS:")), "KiB");
  Print("rss_page_all_kib", static_cast<double>(TreeRssKib(::getpid())), "KiB");
  MessageService::Install(nullptr);
  return 0;
}
