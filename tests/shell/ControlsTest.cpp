// The window as the installer first sees it: every control of the definition
// with its name, text and tooltip, the tab order, the title and the start state.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QComboBox>
#include <QEvent>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTableView>

#include "WindowHarness.h"
#include "shell/BrowserPane.h"
#include "toolkit/kwTools.h"
#include "toolkit/widgets/DialogUnits.h"

namespace {

struct ControlCase {
  const char* name;
  const char* className;
  const char* text;     // label, button or box text; nullptr: not checked
  const char* toolTip;  // "" when it has none
};

// In the window's field order, which is also the order of its controls.
const ControlCase kControls[] = {
    {"STRING3", "QLabel", "Adapter Name", ""},
    {"STRING4", "QLabel", "Adapter Address", ""},
    {"STRING1", "QLabel", "Start address ..", ""},
    {"STRING2", "QLabel", "Number to scan ..", ""},
    {"SADAPTER_NAME", "QComboBox", nullptr, ""},
    {"SADAPTER_ADDRESS", "QComboBox", nullptr, ""},
    {"SADDRESS_INPUT", "QLineEdit", nullptr, ""},
    {"DWADDRESSES", "QSpinBox", nullptr, ""},
    {"LIST_DISPLAYQ", "QTableView", nullptr, "Right Click = Launch External Browser"},
    {"PROMPT_CAUTION", "QLabel", "Caution :", ""},
    {"PROMPT_BEAWARE", "QLabel", "Be aware that not all devices respond to ping.", ""},
    {"SHOWDEVICES", "QLabel", "Show All Devices", ""},
    {"IMAGE_BYSHOWALL", "QLabel", nullptr, ""},
    {"REGION_BYSHOWALL", "ClickRegion", nullptr, ""},
    {"ADVANCEDBUTTON", "QPushButton", "Advanced",
     "Advanced Settings :\nAdd a new IP address & subnet mask to the selected adapter"},
    {"ABOUTBUTTON", "QPushButton", "", "About"},
    {"STARTBUTTON", "QPushButton", "Start Scan", "Start / Stop Scanning"},
    {"BYSCANMETHOD", "QGroupBox", "Scan Options", ""},
    {"BYSCANMETHOD:RADIO1", "QRadioButton", "Ping", ""},
    {"BYSCANMETHOD:RADIO2", "QRadioButton", "ARP", ""},
    {"IMAGE_SENDORA", "QLabel", nullptr, ""},
    {"IMAGE_QUARNEL", "QLabel", nullptr, ""},
    {"IMAGE_CAMVORA", "QLabel", nullptr, ""},
    {"IMAGE_1", "QLabel", nullptr, ""},
    {"IMAGE_2", "QLabel", nullptr, ""},
    {"IMAGE_3", "QLabel", nullptr, ""},
    {"IMAGE_4", "QLabel", nullptr, ""},
    {"IMAGE_5", "QLabel", nullptr, ""},
    {"REGION_SENDORA", "ClickRegion", nullptr, ""},
    {"REGION_QUARNEL", "ClickRegion", nullptr, ""},
    {"REGION_CAMVORA", "ClickRegion", nullptr, ""},
    {"REGION_1", "ClickRegion", nullptr, nullptr},
    {"REGION_2", "ClickRegion", nullptr, nullptr},
    {"REGION_3", "ClickRegion", nullptr, nullptr},
    {"REGION_4", "ClickRegion", nullptr, nullptr},
    {"REGION_5", "ClickRegion", nullptr, nullptr},
    {"IE", "QWidget", nullptr, ""},
    {"MAINIMAGE_BACKGROUND", "QFrame", nullptr, ""},
    {"MAINIMAGE", "QLabel", nullptr, ""},
    {"SENDORABUTTON", "QPushButton", "", "Help : Sendoras"},
    {"LUMARCBUTTON", "QPushButton", "", "Help : Lumarc / Visorn Intelligent cameras"},
    {"SCMD", "QComboBox", nullptr, ""},
    {"BYFINDNEWDEVICES", "QCheckBox", "Look for New Devices", ""},
};

QString TextOf(const QWidget* control) {
  if (const auto* label = qobject_cast<const QLabel*>(control)) return label->text();
  if (const auto* button = qobject_cast<const QAbstractButton*>(control)) return button->text();
  if (const auto* box = qobject_cast<const QGroupBox*>(control)) return box->title();
  return {};
}

TEST(MainWindowControls, NamesTextsTooltipsAndOrder) {
  WindowHarness harness;
  const QList<QWidget*> children = harness.Window().findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
  ASSERT_EQ(children.size(), static_cast<qsizetype>(std::size(kControls)));
  for (std::size_t i = 0; i < std::size(kControls); ++i) {
    const ControlCase& c = kControls[i];
    SCOPED_TRACE(c.name);
    QWidget* control = harness.Control(c.name);
    ASSERT_NE(control, nullptr);
    EXPECT_STREQ(control->metaObject()->className(), c.className);
    EXPECT_EQ(children[static_cast<qsizetype>(i)], control) << "field order";
    // The window's own layout manager numbers the controls in the same order.
    EXPECT_EQ(harness.Window().Layout().Feq(control), static_cast<int>(i) + 1);
    if (c.text) {
      EXPECT_EQ(TextOf(control), QString::fromUtf8(c.text));
    }
    if (c.toolTip) {
      EXPECT_EQ(control->toolTip(), QString::fromUtf8(c.toolTip));
    }
  }
}

TEST(MainWindowControls, TabOrderFollowsTheFieldOrder) {
  WindowHarness harness;
  harness.Show();
  std::vector<std::string> expected;
  for (const ControlCase& c : kControls) {
    const QWidget* control = harness.Control(c.name);
    if (control->focusPolicy() & Qt::TabFocus && control->isVisibleTo(&harness.Window())) expected.emplace_back(c.name);
  }
  QWidget* start = harness.Control(expected.front().c_str());
  std::vector<std::string> chain;
  QWidget* w = start;
  do {
    if (w->focusPolicy() & Qt::TabFocus && w->isVisible() && w->isEnabled() && w->parentWidget() == &harness.Window()) {
      chain.push_back(w->objectName().toStdString());
    }
    w = w->nextInFocusChain();
  } while (w != start && chain.size() < 100);
  EXPECT_EQ(chain, expected);
}

TEST(MainWindowControls, OpeningState) {
  WindowHarness harness;
  MainWindow& window = harness.Window();
  const kwTools tools;
  EXPECT_EQ(window.windowTitle().toStdString(),
            tools.JoinDetail("Vantrel", tools.GetFileVersion(kwTools::ProgramPath())));
  EXPECT_TRUE(window.windowTitle().startsWith(QStringLiteral("Vantrel : ")));
  EXPECT_EQ(window.size(), QSize(DialogUnits::X(757), DialogUnits::Y(301)));
  EXPECT_EQ(window.font().pointSize(), 10);
  EXPECT_EQ(harness.Control("PROMPT_CAUTION")->font().pointSize(), 9);
  EXPECT_FALSE(window.windowIcon().isNull());

  EXPECT_TRUE(harness.Control("IE")->isHidden());
  EXPECT_TRUE(harness.Control("SCMD")->isHidden());
  EXPECT_FALSE(harness.Control("MAINIMAGE")->isHidden());
  EXPECT_FALSE(harness.Control<QLabel>("MAINIMAGE")->pixmap().isNull());
  for (const char* logo : {"IMAGE_SENDORA", "IMAGE_QUARNEL", "IMAGE_CAMVORA", "IMAGE_BYSHOWALL"}) {
    EXPECT_FALSE(harness.Control<QLabel>(logo)->pixmap().isNull()) << logo;
  }
  for (const char* button : {"STARTBUTTON", "ABOUTBUTTON", "ADVANCEDBUTTON", "SENDORABUTTON", "LUMARCBUTTON"}) {
    EXPECT_FALSE(harness.Control<QPushButton>(button)->icon().isNull()) << button;
  }
  auto* scmd = harness.Control<QComboBox>("SCMD");
  ASSERT_EQ(scmd->count(), 3);
  EXPECT_EQ(scmd->itemText(1), QStringLiteral("IPConfig"));

  auto* list = harness.Control<QTableView>("LIST_DISPLAYQ");
  ASSERT_EQ(list->model()->columnCount(), 3);
  for (int column = 0; column < 3; ++column) {
    EXPECT_EQ(list->horizontalHeader()->sectionResizeMode(column), QHeaderView::Interactive);
  }
  EXPECT_EQ(list->model()->headerData(2, Qt::Horizontal).toString(), QStringLiteral("Description"));
  EXPECT_TRUE(window.TimerRunning());
  EXPECT_EQ(window.TimerInterval(), 10000);
  // The web engine is not started until a page is shown.
  EXPECT_FALSE(window.Browser().Created());
}

TEST(MainWindowControls, SliderSitsUnderTheListsRightEdge) {
  WindowHarness harness;
  const QRect list = harness.Control("LIST_DISPLAYQ")->geometry();
  const QRect slider = harness.Control("IMAGE_BYSHOWALL")->geometry();
  EXPECT_EQ(slider, QRect(list.x() + list.width() - 26, list.y() + list.height() + 5, 26, 16));
  EXPECT_EQ(harness.Control("REGION_BYSHOWALL")->geometry(), slider);
  const QRect label = harness.Control("SHOWDEVICES")->geometry();
  EXPECT_EQ(label.x() + label.width() + 8, slider.x());
  EXPECT_EQ(label.width(), DialogUnits::X(72));
  EXPECT_EQ(label.y(), DialogUnits::Y(280));
}

TEST(MainWindowControls, StartButtonIsPaintedAtOnceWhenItChanges) {
  // The start loop handles no events; each change must reach the screen by itself.
  WindowHarness harness;
  harness.Show();
  auto* start = harness.Control<QPushButton>("STARTBUTTON");
  struct PaintCounter : QObject {
    int paints = 0;
    bool eventFilter(QObject*, QEvent* event) override {
      if (event->type() == QEvent::Paint) ++paints;
      return false;
    }
  } counter;
  start->installEventFilter(&counter);
  const struct {
    const char* text;
    SweepView::StartIcon icon;
    bool hasIcon;
  } steps[] = {{"Please Wait ..", SweepView::StartIcon::None, false},
               {"Wait: 1", SweepView::StartIcon::None, false},
               {"Wait: 2", SweepView::StartIcon::None, false},
               {"Wait: 1", SweepView::StartIcon::Info, true},
               {"Start Scan", SweepView::StartIcon::Play, true}};
  for (const auto& step : steps) {
    const int before = counter.paints;
    harness.Window().SetStartButton(step.text, step.icon);
    EXPECT_GT(counter.paints, before) << step.text;  // no event loop in between
    EXPECT_EQ(start->text(), QString::fromLatin1(step.text));
    EXPECT_EQ(!start->icon().isNull(), step.hasIcon) << step.text;
  }
  start->removeEventFilter(&counter);
}

TEST(MainWindowControls, AdvancedSwitchInAnyCaseAnywhereOpensAdvancedSettingsAtOnce) {
  const struct {
    const char* commandLine;
    bool opens;
  } cases[] = {{"/usr/bin/vantrel /Advanced", true},   {"/usr/bin/vantrel /aDVANCED", true},
               {"/usr/bin/vantrel x/advancedy", true}, {"/usr/bin/vantrel /SetEmulation /Advanced", true},
               {"/usr/bin/vantrel /Advance", false},   {"/usr/bin/vantrel", false}};
  for (const auto& c : cases) {
    MainWindow::Options options;
    options.commandLine = c.commandLine;
    WindowHarness harness(WindowHarness::TwoAdapters(), options);
    harness.Show();
    const std::vector<std::string> expected =
        c.opens ? std::vector<std::string>{"AdvancedSettingsWindow"} : std::vector<std::string>{};
    EXPECT_EQ(harness.dialogs, expected) << c.commandLine;
  }
}

TEST(MainWindowControls, ButtonsOpenTheirWindows) {
  WindowHarness harness;
  harness.Show();
  for (const char* button : {"ABOUTBUTTON", "SENDORABUTTON", "LUMARCBUTTON", "ADVANCEDBUTTON"}) {
    harness.Control<QPushButton>(button)->click();
  }
  EXPECT_EQ(harness.dialogs, (std::vector<std::string>{"AboutWindow", "HelpPictureWindow", "HelpPictureWindow",
                                                       "AdvancedSettingsWindow"}));
  EXPECT_TRUE(harness.Window().isVisible());  // no restart was asked for
}

}  // namespace
