// What a click on the device list does: the popup menu and its choices, the
// clipboard, the browser pane's message, the "Show All" switch.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QTableView>
#include <QTest>

#include "WindowHarness.h"
#include "scan/SweepController.h"
#include "shell/BrowserPane.h"
#include "toolkit/ProcessFlags.h"
#include "toolkit/kwResource.h"
#include "toolkit/widgets/PopupMenucl.h"
#include "windows/DeviceListModel.h"

namespace {

constexpr const char* kOrdinaryMac = "00:1B:21:3C:00:30";  // an ordinary maker's block
constexpr const char* kMakerMac = "0A:C5:D2:E1:00:11";     // one of the maker's own families

struct MenuItem {
  std::string text;  // empty for a separator
  bool enabled = true;
};

// Stands in for the person at the menu: notes what was offered, then picks the
// item with the given text (or nothing).
class MenuPerson {
 public:
  MenuPerson() {
    previous_ = PopupMenucl::SetPresenter([this](QMenu& menu) -> QAction* {
      offered.clear();
      QAction* chosen = nullptr;
      for (QAction* action : menu.actions()) {
        offered.push_back({action->isSeparator() ? std::string() : action->text().toStdString(), action->isEnabled()});
        if (!action->isSeparator() && action->text().toStdString() == choice) chosen = action;
      }
      ++shown;
      return chosen;
    });
  }
  ~MenuPerson() { PopupMenucl::SetPresenter(previous_); }

  std::string choice;
  std::vector<MenuItem> offered;
  int shown = 0;

 private:
  PopupMenucl::Presenter previous_;
};

class FlagsGuard {
 public:
  explicit FlagsGuard(unsigned char emulation) {
    BYBROWSEREMULATION = emulation;
    BYRESTARTASADMIN = 0;
    SRESTARTSWITCH.clear();
  }
  ~FlagsGuard() {
    BYBROWSEREMULATION = 0;
    BYRESTARTASADMIN = 0;
    SRESTARTSWITCH.clear();
  }
};

QTableView* List(WindowHarness& harness) { return harness.Control<QTableView>("LIST_DISPLAYQ"); }

QPoint RowCentre(WindowHarness& harness, int row) {
  return List(harness)->visualRect(List(harness)->model()->index(row, 0)).center();
}

void RightClick(WindowHarness& harness, int row) {
  QWidget* viewport = List(harness)->viewport();
  const QPoint at = RowCentre(harness, row);
  QContextMenuEvent event(QContextMenuEvent::Mouse, at, viewport->mapToGlobal(at));
  QCoreApplication::sendEvent(viewport, &event);
}

std::vector<std::string> ShownAddresses(WindowHarness& harness) {
  std::vector<std::string> addresses;
  const QAbstractItemModel* model = List(harness)->model();
  for (int row = 0; row < model->rowCount(); ++row) {
    addresses.push_back(model->index(row, 0).data().toString().toStdString());
  }
  return addresses;
}

TEST(MainWindowMenu, ItemsAndNumbering) {
  for (const unsigned char emulation : {0, 1}) {
    FlagsGuard flags(emulation);
    WindowHarness harness;
    harness.Show();
    harness.AddDevice("192.168.1.20", kOrdinaryMac);
    MenuPerson person;
    RightClick(harness, 0);
    ASSERT_EQ(person.shown, 1);
    const std::vector<MenuItem> expected = {{"Launch browser .. http://192.168.1.20", true},
                                            {"Launch browser .. https://192.168.1.20", true},
                                            {"", true},
                                            {"Enable Browser Emulation", emulation == 0},
                                            {"", true},
                                            {"Copy MAC Address to Clipboard", true}};
    ASSERT_EQ(person.offered.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
      EXPECT_EQ(person.offered[i].text, expected[i].text);
      EXPECT_EQ(person.offered[i].enabled, expected[i].enabled) << expected[i].text << " emulation " << int(emulation);
    }
  }
}

TEST(MainWindowMenu, ChoicesOpenTheExternalBrowserOrCopy) {
  FlagsGuard flags(1);
  WindowHarness harness;
  harness.Show();
  harness.AddDevice("192.168.1.20", kOrdinaryMac);
  MenuPerson person;
  for (const char* scheme : {"http://", "https://"}) {
    person.choice = std::string("Launch browser .. ") + scheme + "192.168.1.20";
    RightClick(harness, 0);
  }
  ASSERT_EQ(harness.shell.launched.size(), 2u);
  EXPECT_EQ(harness.shell.launched[0].file, "http://192.168.1.20");
  EXPECT_EQ(harness.shell.launched[1].file, "https://192.168.1.20");
  for (const ShellRequest& request : harness.shell.launched) {
    EXPECT_EQ(request.kind, ShellRequest::Kind::Document);
    EXPECT_FALSE(request.wait);
    EXPECT_FALSE(request.hidden);
    EXPECT_FALSE(request.elevate);
  }
  // A greyed item handed back anyway is no choice.
  person.choice = "Enable Browser Emulation";
  RightClick(harness, 0);
  EXPECT_TRUE(harness.messages.shown.empty());
  EXPECT_EQ(BYRESTARTASADMIN, 0);
}

TEST(MainWindowMenu, ClipboardGetsTheMacOrNothing) {
  FlagsGuard flags(1);
  WindowHarness harness;
  harness.Show();
  harness.AddDevice("192.168.1.20", kOrdinaryMac);
  harness.AddDevice("10.78.0.10", "");  // beyond a router: no MAC
  MenuPerson person;
  person.choice = "Copy MAC Address to Clipboard";
  QClipboard* clipboard = QGuiApplication::clipboard();
  clipboard->setText(QStringLiteral("left over"));
  const auto rows = ShownAddresses(harness);
  const int ordinary = rows[0] == "192.168.1.20" ? 0 : 1;
  RightClick(harness, ordinary);
  EXPECT_EQ(clipboard->text(), QString::fromLatin1(kOrdinaryMac));
  RightClick(harness, 1 - ordinary);
  EXPECT_TRUE(clipboard->text().isEmpty());
}

TEST(MainWindowMenu, EnableEmulationAsksAndRestartsOnYesOnly) {
  for (const MessageAnswer answer : {MessageAnswer::No, MessageAnswer::Yes}) {
    FlagsGuard flags(0);
    WindowHarness harness;
    harness.Show();
    harness.AddDevice("192.168.1.20", kOrdinaryMac);
    MenuPerson person;
    person.choice = "Enable Browser Emulation";
    harness.messages.answers.push_back(answer);
    RightClick(harness, 0);
    Settle();
    ASSERT_EQ(harness.messages.shown.size(), 1u);
    const MessageRequest& asked = harness.messages.shown[0];
    EXPECT_EQ(asked.text,
              "Enabling the embedded browser is a single-time task requiring a restart with admin rights, do you "
              "want to enable it now?");
    EXPECT_EQ(asked.caption, "Vantrel");
    EXPECT_EQ(asked.icon, MessageIcon::Question);
    EXPECT_EQ(asked.buttons, MessageButtons::YesNo);
    const bool yes = answer == MessageAnswer::Yes;
    EXPECT_EQ(BYRESTARTASADMIN, yes ? 1 : 0);
    EXPECT_EQ(SRESTARTSWITCH, yes ? "/SetEmulation" : "");
    EXPECT_EQ(BYBROWSEREMULATION, 0);
    EXPECT_EQ(harness.Window().isVisible(), !yes);
  }
}

TEST(MainWindowMenu, NothingChosenOrNoRowDoesNothing) {
  FlagsGuard flags(0);
  WindowHarness harness;
  harness.Show();
  MenuPerson person;
  RightClick(harness, 0);  // an empty list
  EXPECT_EQ(person.shown, 0);
  harness.AddDevice("192.168.1.20", kOrdinaryMac);
  RightClick(harness, 0);  // dismissed
  EXPECT_EQ(person.shown, 1);
  EXPECT_TRUE(harness.shell.launched.empty());
  EXPECT_TRUE(harness.messages.shown.empty());
}

TEST(MainWindowBrowserPane, DoubleClickWithEmulationOffExplains) {
  FlagsGuard flags(0);
  WindowHarness harness;
  harness.Show();
  harness.AddDevice("192.168.1.20", kOrdinaryMac);
  QTest::mouseDClick(List(harness)->viewport(), Qt::LeftButton, {}, RowCentre(harness, 0));
  ASSERT_EQ(harness.messages.shown.size(), 1u);
  const MessageRequest& shown = harness.messages.shown[0];
  EXPECT_EQ(shown.text,
            "The embedded browser is disabled, please use right-click to launch an external browser instead");
  EXPECT_EQ(shown.caption, "Vantrel");
  EXPECT_EQ(shown.icon, MessageIcon::None);
  EXPECT_EQ(shown.buttons, MessageButtons::Ok);
  EXPECT_FALSE(harness.Window().BrowserShowing());
  EXPECT_TRUE(harness.Control("IE")->isHidden());
  EXPECT_FALSE(harness.Window().Browser().Created());
  EXPECT_TRUE(harness.shell.launched.empty());
}

TEST(MainWindowBrowserPane, SingleClickAndSweepStartLeaveTheEngineAlone) {
  FlagsGuard flags(1);
  WindowHarness harness;
  harness.Show();
  harness.AddDevice("192.168.1.20", kOrdinaryMac);
  QTest::mouseClick(List(harness)->viewport(), Qt::LeftButton, {}, RowCentre(harness, 0));
  harness.Window().ResetBrowserPane();  // what a sweep's start does
  EXPECT_FALSE(harness.Window().BrowserShowing());
  EXPECT_FALSE(harness.Window().Browser().Created());
}

QImage Picture(const char* name) {
  kwResource resources;
  EXPECT_NE(resources.LoadImage(name), 0u) << name;
  return QImage::fromData(QByteArray::fromStdString(resources.RESOURCEINFO.SDATA));
}

TEST(MainWindowShowAll, SliderTogglesPictureAndList) {
  WindowHarness harness;
  harness.Show();
  harness.AddDevice("192.168.1.30", kOrdinaryMac);
  harness.AddDevice("192.168.1.11", kMakerMac);
  auto* slider = harness.Control<QLabel>("IMAGE_BYSHOWALL");
  const QImage on = Picture("Slider-On.png");
  const QImage off = Picture("Slider-Off.png");
  ASSERT_NE(on, off);
  EXPECT_EQ(slider->pixmap().toImage(), on.convertToFormat(slider->pixmap().toImage().format()));
  EXPECT_EQ(ShownAddresses(harness), (std::vector<std::string>{"192.168.1.11", "192.168.1.30"}));

  const struct {
    const QImage& picture;
    std::vector<std::string> rows;
  } steps[] = {{off, {"192.168.1.11"}}, {on, {"192.168.1.11", "192.168.1.30"}}};
  for (const auto& step : steps) {
    QTest::mouseClick(harness.Control("REGION_BYSHOWALL"), Qt::LeftButton);
    const QImage shown = slider->pixmap().toImage();
    EXPECT_EQ(shown, step.picture.convertToFormat(shown.format()));
    EXPECT_EQ(ShownAddresses(harness), step.rows);
  }
  EXPECT_TRUE(harness.shell.launched.empty());
}

TEST(MainWindowShowAll, RowsAreColouredByTheirStyles) {
  WindowHarness harness;
  harness.AddDevice("192.168.1.30", kOrdinaryMac);
  harness.AddDevice("192.168.1.11", kMakerMac);
  const QAbstractItemModel* model = List(harness)->model();
  const std::vector<DeviceRow>& rows = harness.Window().Controller().lists.DisplayQ;
  ASSERT_EQ(model->rowCount(), 2);
  for (int row = 0; row < 2; ++row) {
    const DeviceRow& device = rows[static_cast<std::size_t>(row)];
    const long styles[] = {device.STYLE_COLUMN1, device.STYLE_COLUMN2, device.STYLE_COLUMN3};
    for (int column = 0; column < 3; ++column) {
      EXPECT_EQ(model->index(row, column).data(Qt::ForegroundRole).value<QBrush>().color(),
                DeviceListModel::StyleColour(styles[column]));
    }
  }
  EXPECT_EQ(rows[0].BYQUARNEL_ITEM, 1);
  EXPECT_NE(model->index(0, 2).data(Qt::ForegroundRole).value<QBrush>().color(), QColor(Qt::black));
  EXPECT_EQ(model->index(1, 0).data(Qt::ForegroundRole).value<QBrush>().color(), QColor(Qt::black));
  EXPECT_EQ(model->index(1, 2).data().toString(), QStringLiteral("Intel Corporate"));
}

TEST(MainWindowRegions, FixedRegionsOpenTheMakersPages) {
  WindowHarness harness;
  harness.Show();
  const struct {
    const char* region;
    const char* url;
  } cases[] = {{"REGION_SENDORA", "https://sendora.example/"},
               {"REGION_QUARNEL", "https://quarnel.example/"},
               {"REGION_CAMVORA", "https://quarnel.example/store"},
               {"REGION_1", "https://norvex.example/"},
               {"REGION_2", "https://quellon.example/"}};
  for (const auto& c : cases) {
    harness.shell.launched.clear();
    QWidget* region = harness.Control(c.region);
    EXPECT_EQ(region->cursor().shape(), Qt::PointingHandCursor) << c.region;
    QTest::mouseClick(region, Qt::LeftButton);
    ASSERT_EQ(harness.shell.launched.size(), 1u) << c.region;
    EXPECT_EQ(harness.shell.launched[0].file, c.url);
    EXPECT_EQ(harness.shell.launched[0].kind, ShellRequest::Kind::Document);
  }
}

TEST(MainWindowRegions, OnlyAdvancedSettingsAskingForRestartClosesTheWindow) {
  FlagsGuard flags(0);
  WindowHarness harness;
  harness.Show();
  harness.inDialog = [](const std::string& window) {
    if (window == "AdvancedSettingsWindow") RequestAdminRestart("/Advanced");
  };
  harness.Control<QPushButton>("ABOUTBUTTON")->click();
  Settle();
  EXPECT_TRUE(harness.Window().isVisible());
  harness.Control<QPushButton>("ADVANCEDBUTTON")->click();
  Settle();
  EXPECT_EQ(BYRESTARTASADMIN, 1);
  EXPECT_EQ(SRESTARTSWITCH, "/Advanced");
  EXPECT_FALSE(harness.Window().isVisible());
}

}  // namespace
