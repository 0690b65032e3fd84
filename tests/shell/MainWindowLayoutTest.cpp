// The main window's controls as the window grows (kwControlcl's rules on a
// window of their own are in tests/toolkit/kwControlclTest.cpp).
#include <gtest/gtest.h>

#include <QHeaderView>
#include <QTableView>

#include "WindowHarness.h"
#include "support/TouchCounter.h"

namespace {

struct Recorded {
  std::map<std::string, QRect> rects;
};

Recorded Record(WindowHarness& harness, const std::vector<const char*>& names) {
  Recorded r;
  for (const char* name : names) r.rects[name] = harness.Control(name)->geometry();
  return r;
}

TEST(MainWindowLayout, ResizeCases) {
  const std::vector<const char*> moving = {"PROMPT_CAUTION", "PROMPT_BEAWARE", "SHOWDEVICES", "IMAGE_BYSHOWALL",
                                           "REGION_BYSHOWALL"};
  const std::vector<const char*> growing = {"IE", "MAINIMAGE_BACKGROUND", "MAINIMAGE"};
  const std::vector<const char*> still = {
      "STRING3",       "SADAPTER_NAME", "STARTBUTTON", "BYSCANMETHOD",  "BYSCANMETHOD:RADIO1",
      "IMAGE_SENDORA", "IMAGE_5",       "REGION_5",    "SENDORABUTTON", "BYFINDNEWDEVICES"};
  const struct {
    const char* what;
    int dw, dh;
  } cases[] = {{"100 px taller", 0, 100},
               {"100 px wider", 100, 0},
               {"both", 250, 37},
               {"one row's worth", 0, 1},
               {"odd height", 0, 123}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    WindowHarness harness;
    harness.Show();
    MainWindow& window = harness.Window();
    const QSize opened = window.size();
    std::vector<const char*> all = moving;
    all.insert(all.end(), growing.begin(), growing.end());
    all.insert(all.end(), still.begin(), still.end());
    all.push_back("LIST_DISPLAYQ");
    const Recorded before = Record(harness, all);
    auto* list = harness.Control<QTableView>("LIST_DISPLAYQ");

    window.resize(opened.width() + c.dw, opened.height() + c.dh);
    Settle();
    ASSERT_EQ(window.size(), QSize(opened.width() + c.dw, opened.height() + c.dh));

    for (const char* name : moving) {
      const QRect was = before.rects.at(name);
      EXPECT_EQ(harness.Control(name)->geometry(), was.translated(0, c.dh)) << name;
    }
    for (const char* name : growing) {
      const QRect was = before.rects.at(name);
      EXPECT_EQ(harness.Control(name)->geometry(), was.adjusted(0, 0, c.dw, c.dh)) << name;
    }
    for (const char* name : still) EXPECT_EQ(harness.Control(name)->geometry(), before.rects.at(name)) << name;

    // The list: its header and frame plus as many whole rows as fit, never
    // less than it had.
    const QRect was = before.rects.at("LIST_DISPLAYQ");
    const int chrome = list->horizontalHeader()->height() + 2 * list->frameWidth();
    const int row = list->verticalHeader()->defaultSectionSize();
    const int whole = chrome + (was.height() + c.dh - chrome) / row * row;
    EXPECT_EQ(list->geometry(), QRect(was.topLeft(), QSize(was.width(), std::max(was.height(), whole))));
  }
}

TEST(MainWindowLayout, AnUnchangedLayoutTouchesNothing) {
  WindowHarness harness;
  harness.Show();
  harness.Window().resize(harness.Window().width() + 60, harness.Window().height() + 90);
  Settle();
  const QList<QWidget*> controls = harness.Window().findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
  TouchCounter touches(std::vector<QWidget*>(controls.begin(), controls.end()));
  harness.Window().Layout().Resize();
  Settle();
  EXPECT_TRUE(touches.geometry.empty());
  EXPECT_TRUE(touches.hides.empty());
}

TEST(MainWindowLayout, TheOpeningSizeIsTheLeast) {
  WindowHarness harness;
  harness.Show();
  MainWindow& window = harness.Window();
  const QSize opened = window.size();
  EXPECT_EQ(window.minimumSize(), opened);
  window.resize(opened.width() - 200, opened.height() - 100);
  Settle();
  EXPECT_EQ(window.size(), opened);
}

}  // namespace
