#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTimer>

#include "net/kwIPcl.h"
#include "support/RecordingMessagePresenter.h"
#include "support/RecordingShellLauncher.h"
#include "toolkit/ProcessFlags.h"
#include "windows/AdvancedSettingsWindow.h"
#include "windows/FirewallRulesWindow.h"

namespace {
// A kwIPcl with one adapter, as the main window hands it over; nothing is read
// from the system.
void OneAdapter(kwIPcl& network, const std::string& address) {
  AdapterEntry adapter;
  adapter.SZNAME = "eth0";
  adapter.SZUID = "eth0";
  adapter.SZIPADDRESS = address;
  adapter.SZSUBNETMASK = "255.255.255.0";
  // These tests run in the host's namespace: an interface that cannot exist,
  // so that an add which did reach the system could never touch a real adapter.
  adapter.DWIFINDEX = 0x7FFFFFF0;
  adapter.IPADDRESSQ = {address};
  network.ADAPTERQ.push_back(adapter);
  ASSERT_TRUE(network.SelectAdapter(0));
}

// Runs the window with the elevation answer given, and puts the real check back.
class Elevation {
 public:
  explicit Elevation(int answer) : previous_(AdvancedSettingsWindow::SetElevationCheck([answer] { return answer; })) {}
  ~Elevation() { AdvancedSettingsWindow::SetElevationCheck(previous_); }

 private:
  AdvancedSettingsWindow::ElevationCheck previous_;
};

template <typename T>
T* Control(QWidget& window, const char* name) {
  T* control = window.findChild<T*>(QString::fromLatin1(name));
  EXPECT_NE(control, nullptr) << name;
  return control;
}

std::string Text(QWidget& window, const char* name) { return Control<QLineEdit>(window, name)->text().toStdString(); }

TEST(AdvancedSettings, TabsProposeAddressesForTheAdapter) {
  struct Case {
    const char* adapter;
    const char* opening;
    const char* cameras;
    const char* sendoras;
  };
  // .1 would be the camera's own factory address, so the tabs never propose it;
  // the opening proposal keeps the number as it is.
  const Case cases[] = {{"10.0.0.1", "192.168.10.1", "192.168.10.2", "192.168.1.2"},
                        {"192.168.0.57", "192.168.10.57", "192.168.10.57", "192.168.1.57"}};
  const Elevation elevated(1);
  for (const Case& c : cases) {
    kwIPcl network;
    OneAdapter(network, c.adapter);
    AdvancedSettingsWindow window(network);
    window.show();
    auto* sheet = Control<QTabWidget>(window, "SHEET1");
    auto* address = Control<QLineEdit>(window, "SIPADDRESS");
    auto* mask = Control<QLineEdit>(window, "SSUBNETMASK");
    EXPECT_EQ(Text(window, "SIPADDRESS"), c.opening) << c.adapter;
    EXPECT_EQ(Text(window, "SSUBNETMASK"), "255.255.255.0");

    mask->setText(QStringLiteral("255.255.0.0"));
    sheet->setCurrentIndex(AdvancedSettingsWindow::kCameras);
    EXPECT_EQ(Text(window, "SIPADDRESS"), c.cameras) << c.adapter;
    EXPECT_EQ(Text(window, "SSUBNETMASK"), "255.255.255.0");
    sheet->setCurrentIndex(AdvancedSettingsWindow::kSendoras);
    EXPECT_EQ(Text(window, "SIPADDRESS"), c.sendoras) << c.adapter;

    // The person's own edits survive the information and firewall tabs.
    address->setText(QStringLiteral("172.16.5.5"));
    mask->setText(QStringLiteral("255.255.0.0"));
    for (int tab : {AdvancedSettingsWindow::kInformation, AdvancedSettingsWindow::kFirewall}) {
      sheet->setCurrentIndex(tab);
      EXPECT_EQ(Text(window, "SIPADDRESS"), "172.16.5.5") << c.adapter << " tab " << tab;
      EXPECT_EQ(Text(window, "SSUBNETMASK"), "255.255.0.0") << c.adapter << " tab " << tab;
    }
  }
}

TEST(AdvancedSettings, TabsAndTextsAsDefined) {
  kwIPcl network;
  OneAdapter(network, "10.0.0.5");
  const Elevation elevated(1);
  AdvancedSettingsWindow window(network);
  EXPECT_EQ(window.windowTitle(), QStringLiteral("Advanced Settings"));
  auto* sheet = Control<QTabWidget>(window, "SHEET1");
  ASSERT_EQ(sheet->count(), 4);
  EXPECT_EQ(sheet->tabText(0), QStringLiteral("Information"));
  EXPECT_EQ(sheet->tabText(1), QStringLiteral("Lumarc / Visorn Intelligent Cameras"));
  EXPECT_EQ(sheet->tabText(2), QStringLiteral("Sendoras"));
  EXPECT_EQ(sheet->tabText(3), QStringLiteral("Firewall Rule"));
  for (int i = 0; i < 4; ++i) EXPECT_FALSE(sheet->tabIcon(i).isNull()) << i;
  EXPECT_EQ(Control<QLabel>(window, "STRING5_2")->text(), QStringLiteral("IP address = 192.168.10.1"));
  EXPECT_EQ(Control<QLabel>(window, "STRING5_5")->text(), QStringLiteral("IP address = 192.168.1.123"));
  // The firewall texts name this system, not another one.
  for (const char* name : {"STRING003", "STRING111", "STRING001", "STRING113", "STRING113_2"}) {
    EXPECT_FALSE(Control<QLabel>(window, name)->text().contains(QStringLiteral("Windows"))) << name;
  }
  EXPECT_FALSE(Control<QPushButton>(window, "RESTARTBUTTON")->toolTip().contains(QStringLiteral("Windows")));
  EXPECT_EQ(Control<QLabel>(window, "STRING04_2")->palette().color(QPalette::WindowText), QColor(255, 0, 0));
  window.show();
  QApplication::processEvents();
  EXPECT_TRUE(Control<QPushButton>(window, "CANCELBUTTON")->hasFocus());
}

TEST(AdvancedSettings, WithoutAdminRightsOffersTheRestartInstead) {
  struct Case {
    int elevated;
    bool restartOffered;
  };
  for (const Case c : {Case{0, true}, Case{1, false}}) {
    kwIPcl network;
    OneAdapter(network, "10.0.0.5");
    const Elevation elevation(c.elevated);
    AdvancedSettingsWindow window(network);
    window.show();
    for (const char* name : {"ADMINMSG", "RESTARTBUTTON"}) {
      EXPECT_EQ(Control<QWidget>(window, name)->isVisible(), c.restartOffered) << name;
    }
    for (const char* name : {"STRING_IPADDRESS", "STRING_SUBNETMASK", "SIPADDRESS", "SSUBNETMASK", "SAVEBUTTON"}) {
      EXPECT_EQ(Control<QWidget>(window, name)->isVisible(), !c.restartOffered) << name;
    }
    for (const char* name : {"CREATFIREWALLRULLBUTTON", "SHOWFIREWALLRULESBUTTON"}) {
      EXPECT_EQ(Control<QWidget>(window, name)->isEnabled(), !c.restartOffered) << name;
    }
    EXPECT_TRUE(Control<QWidget>(window, "CANCELBUTTON")->isVisible());
  }
}

TEST(AdvancedSettings, RestartButtonAsksForTheElevatedRestartAndCloses) {
  BYRESTARTASADMIN = 0;
  SRESTARTSWITCH.clear();
  kwIPcl network;
  OneAdapter(network, "10.0.0.5");
  const Elevation notElevated(0);
  AdvancedSettingsWindow window(network);
  QTimer::singleShot(0, &window, [&] { Control<QPushButton>(window, "RESTARTBUTTON")->click(); });
  window.exec();  // returns only because the button closed it
  EXPECT_EQ(BYRESTARTASADMIN, 1);
  EXPECT_EQ(SRESTARTSWITCH, "/Advanced");
  BYRESTARTASADMIN = 0;
  SRESTARTSWITCH.clear();
}

TEST(AdvancedSettings, AnAddressTheAdapterHasIsRefusedAndTheWindowStays) {
  kwIPcl network;
  OneAdapter(network, "192.168.0.57");
  network.ADAPTERQ[0].IPADDRESSQ.push_back("192.168.10.57");
  const Elevation elevated(1);
  RecordingMessagePresenter messages;
  AdvancedSettingsWindow window(network);
  window.show();
  Control<QLineEdit>(window, "SIPADDRESS")->setText(QStringLiteral("192.168.10.57  "));
  Control<QPushButton>(window, "SAVEBUTTON")->click();
  ASSERT_EQ(messages.shown.size(), 1u);
  EXPECT_EQ(messages.shown[0].text,
            "The current adapter already has address = 192.168.10.57, it cannot be added again");
  EXPECT_EQ(messages.shown[0].caption, "Error");
  EXPECT_EQ(messages.shown[0].icon, MessageIcon::None);
  EXPECT_TRUE(window.isVisible());
  EXPECT_TRUE(network.NEWADDRESSQ.empty());
}

TEST(AdvancedSettings, AFailedAddIsReportedWithTheWholeField) {
  // Text that is no address never reaches the system, so this runs anywhere.
  kwIPcl network;
  OneAdapter(network, "192.168.0.57");
  const Elevation elevated(1);
  RecordingMessagePresenter messages;
  AdvancedSettingsWindow window(network);
  window.show();
  Control<QLineEdit>(window, "SIPADDRESS")->setText(QStringLiteral("no.address"));
  Control<QPushButton>(window, "SAVEBUTTON")->click();
  ASSERT_TRUE(messages.ShowedOnly("Information", "An error was encounted adding the new address no.address          ",
                                  MessageIcon::Cross));
  EXPECT_TRUE(window.isVisible());
}

TEST(AdvancedSettings, FirewallRuleOnlyAfterYes) {
  struct Case {
    MessageAnswer answer;
    bool launcherResult;
    const char* outcome;  // nullptr: nothing after the question
  };
  const Case cases[] = {{MessageAnswer::No, true, nullptr},
                        {MessageAnswer::Yes, true, "Firewall rule created"},
                        {MessageAnswer::Yes, false, "Firewall rule creation failed"}};
  kwIPcl network;
  OneAdapter(network, "10.0.0.5");
  const Elevation elevated(1);
  for (const Case& c : cases) {
    RecordingShellLauncher shell;
    shell.result = c.launcherResult;
    RecordingMessagePresenter messages;
    messages.answers.push_back(c.answer);
    AdvancedSettingsWindow window(network);
    window.show();
    Control<QPushButton>(window, "CREATFIREWALLRULLBUTTON")->click();

    ASSERT_GE(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].caption, "Question");
    EXPECT_EQ(messages.shown[0].icon, MessageIcon::Warning);
    EXPECT_EQ(messages.shown[0].buttons, MessageButtons::YesNo);
    EXPECT_EQ(
        messages.shown[0].text.rfind("Caution:||This feature will create an inbound firewall rule called 'Ping'", 0),
        0u);
    if (!c.outcome) {
      EXPECT_TRUE(shell.launched.empty());
      EXPECT_EQ(messages.shown.size(), 1u);
      continue;
    }
    ASSERT_EQ(shell.launched.size(), 1u);
    const ShellRequest& nft = shell.launched[0];
    EXPECT_EQ(nft.file, "/usr/sbin/nft");
    EXPECT_TRUE(nft.elevate);
    EXPECT_TRUE(nft.wait);
    EXPECT_TRUE(nft.hidden);
    // One argument a word, no shell: what nft joins back into its commands.
    ASSERT_GE(nft.arguments.size(), 4u);
    EXPECT_EQ(std::vector<std::string>(nft.arguments.begin(), nft.arguments.begin() + 4),
              (std::vector<std::string>{"add", "table", "inet", "vantrel"}));
    EXPECT_EQ(std::vector<std::string>(nft.arguments.end() - 3, nft.arguments.end()),
              (std::vector<std::string>{"accept", "comment", "Ping"}));
    ASSERT_EQ(messages.shown.size(), 2u);
    EXPECT_EQ(messages.shown[1].text, c.outcome);
    EXPECT_EQ(messages.shown[1].caption, "Information");
    EXPECT_EQ(messages.shown[1].icon, MessageIcon::Tick);
  }
}

TEST(AdvancedSettings, ShowRulesWithoutAConsoleShowsTheRulesetReadOnly) {
  kwIPcl network;
  OneAdapter(network, "10.0.0.5");
  const Elevation elevated(1);
  RecordingShellLauncher shell;
  const auto previous =
      AdvancedSettingsWindow::SetRulesetReader([] { return std::string("table inet vantrel {\n}\n"); });
  AdvancedSettingsWindow window(network);
  window.show();
  QString shown;
  bool readOnly = false;
  QTimer::singleShot(0, &window, [&] {
    for (QWidget* top : QApplication::topLevelWidgets()) {
      if (auto* rules = qobject_cast<FirewallRulesWindow*>(top); rules && rules->isVisible()) {
        shown = rules->Text();
        readOnly = rules->findChild<QPlainTextEdit*>()->isReadOnly();
        rules->accept();
      }
    }
  });
  Control<QPushButton>(window, "SHOWFIREWALLRULESBUTTON")->click();
  AdvancedSettingsWindow::SetRulesetReader(previous);
  if (!shell.launched.empty()) {
    // This machine has a firewall console: that is what opens, unelevated.
    EXPECT_FALSE(shell.launched[0].elevate);
    EXPECT_FALSE(shell.launched[0].wait);
    return;
  }
  EXPECT_EQ(shown, QStringLiteral("table inet vantrel {\n}\n"));
  EXPECT_TRUE(readOnly);
}
}  // namespace
