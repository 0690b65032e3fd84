// The program's window on the installer's computer of a lab of the test's own:
// Start, the "Wait: N" count on the button, the devices listed with their
// makers and colours, a device's page in the browser pane, the pane closed by
// a single click, and a screenshot of the window with the lab's devices.
//
// The test moves itself into the lab's computer before it makes any thread,
// and checks that it is there before it presses Start: nothing it sends can
// reach the host's network.
#include <gtest/gtest.h>
#include <unistd.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTableView>
#include <QTest>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <map>
#include <memory>
#include <string>

#include "LabComputer.h"
#include "shell/BrowserPane.h"
#include "shell/BrowserView.h"
#include "shell/MainWindow.h"
#include "support/LabSession.h"
#include "support/LabWidgetsTest.h"
#include "toolkit/ProcessFlags.h"
#include "windows/DeviceListModel.h"

namespace {

struct Expected {
  std::string mac;
  std::string description;
  bool maker = false;
};

const LabTopology& Site() { return LabSession::Topology(); }

// The lab's devices that answer ping, with what their row should say (the
// topology's expectations), plus the router and the computer itself.
std::map<std::string, Expected> ExpectedRows() {
  std::map<std::string, Expected> rows;
  for (const LabTopology::Device& d : Site().devices) {
    if (!d.ignoresPing) rows[d.ip] = {d.mac, d.expect, d.maker};
  }
  rows[Site().router.address] = {Site().router.mac, "", false};
  // The computer's own address answers too; its MAC is the net library's
  // business and is not checked here.
  rows[Site().computer.address] = {"", "", false};
  return rows;
}

bool WaitFor(const std::function<bool()>& done, int milliseconds) {
  QElapsedTimer clock;
  clock.start();
  while (!done()) {
    if (clock.elapsed() > milliseconds) return false;
    QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    QTest::qWait(20);
  }
  return true;
}

// Notes the Start button's text each time it reaches the screen.
class PaintedTexts : public QObject {
 public:
  explicit PaintedTexts(QPushButton* button) : button_(button) { button->installEventFilter(this); }
  ~PaintedTexts() override { button_->removeEventFilter(this); }
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::Paint) {
      const std::string text = button_->text().toStdString();
      if (texts.empty() || texts.back() != text) texts.push_back(text);
    }
    return false;
  }
  std::vector<std::string> texts;

 private:
  QPushButton* button_;
};

using MainWindowInTheLab = LabWidgetsTest;

TEST_F(MainWindowInTheLab, SweepListPageAndScreenshot) {
  ASSERT_TRUE(OnTheLabComputer()) << "not on the lab's computer: refusing to sweep";
  BYBROWSEREMULATION = 1;
  MainWindow::Options options;
  MainWindow window(std::move(options));
  window.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));

  auto* start = window.findChild<QPushButton*>(QStringLiteral("STARTBUTTON"));
  auto* list = window.findChild<QTableView*>(QStringLiteral("LIST_DISPLAYQ"));
  EXPECT_EQ(window.findChild<QLineEdit*>(QStringLiteral("SADDRESS_INPUT"))->text().toStdString(), Site().firstAddress);
  EXPECT_EQ(window.findChild<QSpinBox*>(QStringLiteral("DWADDRESSES"))->value(), 254);

  PaintedTexts painted(start);
  ASSERT_TRUE(OnTheLabComputer());
  QTest::mouseClick(start, Qt::LeftButton);
  ASSERT_TRUE(WaitFor([&] { return start->text() == QStringLiteral("Start Scan"); }, 60000));
  // What reached the screen while the start loop ran, which handles no events.
  const auto from = std::find(painted.texts.begin(), painted.texts.end(), "Please Wait ..");
  ASSERT_NE(from, painted.texts.end());
  ASSERT_GE(painted.texts.end() - from, 5);
  EXPECT_EQ(std::vector<std::string>(from, from + 4),
            (std::vector<std::string>{"Please Wait ..", "Wait: 1", "Wait: 2", "Wait: 3"}));
  EXPECT_NE(std::find(from, painted.texts.end(), "Wait: 254"), painted.texts.end());
  EXPECT_EQ(painted.texts.back(), "Start Scan");

  // The rows: addresses in order, MACs, descriptions, and the makers' colours.
  const std::map<std::string, Expected> expected = ExpectedRows();
  const QAbstractItemModel* model = list->model();
  std::map<std::string, Expected> listed;
  const LabTopology::Device& web = Site().WebDevice();
  int webRow = -1;
  for (int row = 0; row < model->rowCount(); ++row) {
    const std::string address = model->index(row, 0).data().toString().toStdString();
    listed[address] = {model->index(row, 1).data().toString().toStdString(),
                       model->index(row, 2).data().toString().toStdString(), false};
    const QColor colour = model->index(row, 2).data(Qt::ForegroundRole).value<QBrush>().color();
    listed[address].maker = colour != QColor(Qt::black);
    for (int column = 0; column < 3; ++column) {
      EXPECT_EQ(model->index(row, column).data(Qt::ForegroundRole).value<QBrush>().color(), colour) << address;
    }
    if (address == web.ip) webRow = row;
  }
  ASSERT_EQ(listed.size(), expected.size());
  for (const auto& [address, want] : expected) {
    ASSERT_TRUE(listed.count(address)) << address;
    if (address != Site().computer.address) {
      EXPECT_EQ(listed[address].mac, want.mac) << address;
    }
    EXPECT_EQ(listed[address].description, want.description) << address;
    EXPECT_EQ(listed[address].maker, want.maker) << address;
  }
  EXPECT_EQ(window.findChild<QLabel*>(QStringLiteral("SHOWDEVICES"))->text(),
            QStringLiteral("Show All %1 Devices").arg(expected.size()));

  // The device with a web page, in the pane.
  ASSERT_GE(webRow, 0);
  const QPoint cell = list->visualRect(model->index(webRow, 0)).center();
  QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, cell);
  EXPECT_TRUE(window.BrowserShowing());
  ASSERT_TRUE(window.Browser().Created());
  ASSERT_TRUE(WaitFor([&] { return window.Browser().View()->Title().toStdString() == web.webTitle; }, 60000))
      << "title: " << window.Browser().View()->Title().toStdString();
  EXPECT_EQ(window.Browser().View()->Url().toString().toStdString(), "http://" + web.ip + "/");

  // A single click closes it again.
  QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualRect(model->index(0, 0)).center());
  EXPECT_FALSE(window.BrowserShowing());
  EXPECT_TRUE(window.findChild<QWidget*>(QStringLiteral("IE"))->isHidden());
  EXPECT_TRUE(WaitFor([&] { return window.Browser().View()->Url() == QUrl(QStringLiteral("about:blank")); }, 10000));

  list->clearSelection();
  QTest::qWait(200);
  EXPECT_TRUE(window.grab().save(QStringLiteral(VANTREL_SCREENSHOT)));
  std::printf("screenshot: %s\n", VANTREL_SCREENSHOT);
}

}  // namespace
