// The administrator functions against a real adapter and a real ruleset: the
// installer's computer of a lab of the test's own. Everything runs inside that
// computer's network namespace; nothing here touches the host's addresses or
// its firewall.
#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <ifaddrs.h>
#include <netinet/in.h>
#include <sys/stat.h>

#include <QApplication>
#include <QLineEdit>
#include <QMenu>
#include <QProcess>
#include <QPushButton>
#include <QTableWidget>
#include <QTimer>
#include <bit>
#include <memory>
#include <set>

#include "net/kwIPcl.h"
#include "support/LabSession.h"
#include "support/LabWidgetsTest.h"
#include "support/RecordingMessagePresenter.h"
#include "toolkit/MessageService.h"
#include "toolkit/widgets/PopupMenucl.h"
#include "windows/AdvancedSettingsWindow.h"
#include "windows/RemoveAddressesWindow.h"

namespace {
constexpr const char* kAdapter = "eth0";

std::set<std::string> AddressesOf(const std::string& interface) {
  std::set<std::string> out;
  ifaddrs* list = nullptr;
  if (::getifaddrs(&list) != 0) return out;
  for (const ifaddrs* i = list; i; i = i->ifa_next) {
    if (!i->ifa_addr || i->ifa_addr->sa_family != AF_INET || !i->ifa_netmask || interface != i->ifa_name) continue;
    char text[INET_ADDRSTRLEN]{};
    ::inet_ntop(AF_INET, &reinterpret_cast<const sockaddr_in*>(i->ifa_addr)->sin_addr, text, sizeof text);
    const std::uint32_t mask = ntohl(reinterpret_cast<const sockaddr_in*>(i->ifa_netmask)->sin_addr.s_addr);
    out.insert(std::string(text) + "/" + std::to_string(std::popcount(mask)));
  }
  ::freeifaddrs(list);
  return out;
}

// A program run here, on the lab's computer; its output, or "" when it failed.
std::string RunHere(const QString& program, const QStringList& args, int* exitCode = nullptr) {
  QProcess process;
  process.start(program, args);
  process.waitForFinished(10000);
  if (exitCode) *exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
  return process.readAllStandardOutput().toStdString();
}

std::string InodeOf(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 ? std::to_string(st.st_ino) : std::string("?");
}

class WindowsLab : public LabWidgetsTest {
 protected:
  void SetUp() override {
    LabWidgetsTest::SetUp();
    if (IsSkipped() || HasFatalFailure()) return;
    // The programs these tests start must land in the lab too, never on the host.
    ASSERT_EQ(RunHere(QStringLiteral("stat"), {QStringLiteral("-L"), QStringLiteral("-c"), QStringLiteral("%i"),
                                               QStringLiteral("/proc/self/ns/net")}),
              InodeOf("/run/netns/" + lab_->ComputerNamespace()) + "\n");
    network_.GetAdapters(0);
    bool found = false;
    for (std::size_t i = 0; i < network_.ADAPTERQ.size() && !found; ++i) {
      if (network_.ADAPTERQ[i].SZUID == kAdapter) found = network_.SelectAdapter(i);
    }
    ASSERT_TRUE(found) << "the lab computer's " << kAdapter << " is not listed";
    RemoveAddressesWindow::Install(network_);
  }
  void TearDown() override {
    network_.RemoveTemporaryAddresses(0);
    network_.NEWADDRESSQ.clear();  // what the system no longer had
  }

  bool Add(const std::string& address) { return network_.AddTemporaryAddress(address, "255.255.255.0", 0) == 1; }

  // Runs kwIPcl's question, playing the person with script inside the window.
  void Ask(const std::function<void(RemoveAddressesWindow&)>& script) {
    bool ran = false;
    QTimer::singleShot(0, app_.get(), [&] {
      for (QWidget* top : QApplication::topLevelWidgets()) {
        if (auto* window = qobject_cast<RemoveAddressesWindow*>(top); window && window->isVisible()) {
          ran = true;
          script(*window);
        }
      }
    });
    network_.RemoveTemporaryAddresses(1);
    EXPECT_TRUE(ran) << "the window did not open";
  }

  kwIPcl network_;
};

QPushButton* Button(QWidget& window, const char* name) {
  return window.findChild<QPushButton*>(QString::fromLatin1(name));
}

TEST_F(WindowsLab, AddAddressPutsTheAddressOnTheAdapterAndInItsList) {
  RecordingMessagePresenter messages;
  {
    AdvancedSettingsWindow window(network_, nullptr, LabSession::Topology().computer.address);
    window.show();
    ASSERT_EQ(window.findChild<QLineEdit*>(QStringLiteral("SIPADDRESS"))->text(), QStringLiteral("192.168.10.2"));
    Button(window, "SAVEBUTTON")->click();
    EXPECT_FALSE(window.isVisible());
    EXPECT_EQ(window.result(), QDialog::Accepted);
  }
  ASSERT_EQ(messages.shown.size(), 1u);
  EXPECT_EQ(messages.shown[0].text,
            "The address 192.168.10.2 was added successfully.||This is not a persitent address, it can be removed by "
            "this program when it closes, or by the operating system next time the adapter is reset or the PC is "
            "restarted.");
  EXPECT_EQ(messages.shown[0].caption, "Information");
  EXPECT_EQ(messages.shown[0].icon, MessageIcon::Tick);
  EXPECT_TRUE(AddressesOf(kAdapter).count("192.168.10.2/24"));
  // The address list the main window shows for this adapter.
  const auto& listed = network_.CurrentAdapter()->IPADDRESSQ;
  EXPECT_NE(std::find(listed.begin(), listed.end(), "192.168.10.2"), listed.end());

  // The same address a second time is refused by the window itself.
  AdvancedSettingsWindow again(network_, nullptr, LabSession::Topology().computer.address);
  again.show();
  Button(again, "SAVEBUTTON")->click();
  ASSERT_EQ(messages.shown.size(), 2u);
  EXPECT_EQ(messages.shown[1].caption, "Error");
  EXPECT_TRUE(again.isVisible());
  EXPECT_EQ(network_.NEWADDRESSQ.size(), 1u);
}

TEST_F(WindowsLab, FirewallRuleIsInTheRulesetAndTheDevicesPingIsAnswered) {
  RecordingMessagePresenter messages;
  messages.answers.push_back(MessageAnswer::Yes);
  // No launcher is installed: the program's own starts nft, here, as root.
  AdvancedSettingsWindow window(network_);
  window.show();
  Button(window, "CREATFIREWALLRULLBUTTON")->click();
  ASSERT_EQ(messages.shown.size(), 2u);
  EXPECT_EQ(messages.shown[1].text, "Firewall rule created");

  const QString nft = QStringLiteral("/usr/sbin/nft");
  const std::string ruleset = RunHere(nft, {QStringLiteral("list"), QStringLiteral("ruleset")});
  EXPECT_NE(ruleset.find("table inet vantrel"), std::string::npos) << ruleset;
  EXPECT_NE(ruleset.find("icmp type echo-request counter packets 0 bytes 0 accept comment \"Ping\""), std::string::npos)
      << ruleset;

  // The lab device pings the installer's computer, through the rule. Its
  // namespace refuses datagram ICMP sockets until told otherwise.
  const std::string probe = std::string(VANTREL_SOURCE_DIR) + "/tools/lab-probe.py";
  const std::string device = LabSession::Topology().devices.front().name;
  ASSERT_EQ(lab_->Lab({"devexec", device, "sh", "-c", "echo 0 2147483647 > /proc/sys/net/ipv4/ping_group_range"}), 0);
  std::string output;
  EXPECT_EQ(lab_->Lab({"devexec", device, "/usr/bin/python3", probe, "ping", LabSession::Topology().computer.address},
                      &output),
            0)
      << output;
  const std::string after = RunHere(nft, {QStringLiteral("list"), QStringLiteral("ruleset")});
  EXPECT_NE(after.find("icmp type echo-request counter packets 1 "), std::string::npos) << after;

  // Pressing the button again keeps one rule.
  messages.answers.push_back(MessageAnswer::Yes);
  Button(window, "CREATFIREWALLRULLBUTTON")->click();
  const std::string again = RunHere(nft, {QStringLiteral("list"), QStringLiteral("chain"), QStringLiteral("inet"),
                                          QStringLiteral("vantrel"), QStringLiteral("input")});
  EXPECT_EQ(again.find("comment \"Ping\""), again.rfind("comment \"Ping\"")) << again;
  RunHere(nft, {QStringLiteral("delete"), QStringLiteral("table"), QStringLiteral("inet"), QStringLiteral("vantrel")});
}

TEST_F(WindowsLab, RemoveAllKeepsListedWhatWasAlreadyGone) {
  ASSERT_TRUE(Add("192.168.10.2"));
  ASSERT_TRUE(Add("192.168.1.2"));
  // Behind the program's back: the system no longer has this one to remove.
  int code = -1;
  RunHere(QStringLiteral("ip"),
          {QStringLiteral("addr"), QStringLiteral("del"), QStringLiteral("192.168.1.2/24"), QStringLiteral("dev"),
           QString::fromLatin1(kAdapter)},
          &code);
  ASSERT_EQ(code, 0);

  RecordingMessagePresenter messages;
  Ask([&](RemoveAddressesWindow& window) {
    EXPECT_EQ(window.ListedAddresses(), (std::vector<std::string>{"192.168.10.2", "192.168.1.2"}));
    Button(window, "REMOVEALLBUTTON")->click();
    QApplication::processEvents();
    EXPECT_TRUE(window.isVisible());
    EXPECT_EQ(window.ListedAddresses(), std::vector<std::string>{"192.168.1.2"});
    EXPECT_TRUE(messages.shown.empty());
    window.close();
  });
  ASSERT_TRUE(messages.ShowedOnly("Attention", kwIPcl::kAddressesRemainText, MessageIcon::Warning));
  EXPECT_FALSE(AddressesOf(kAdapter).count("192.168.10.2/24"));
}

TEST_F(WindowsLab, RemoveAllThatWorksClosesTheWindowQuietly) {
  ASSERT_TRUE(Add("192.168.10.2"));
  ASSERT_TRUE(Add("192.168.1.2"));
  RecordingMessagePresenter messages;
  // Returns only because the window closed itself after removing both.
  Ask([&](RemoveAddressesWindow& window) { Button(window, "REMOVEALLBUTTON")->click(); });
  EXPECT_TRUE(messages.shown.empty());
  EXPECT_TRUE(network_.NEWADDRESSQ.empty());
  const auto on = AddressesOf(kAdapter);
  EXPECT_FALSE(on.count("192.168.10.2/24"));
  EXPECT_FALSE(on.count("192.168.1.2/24"));
}

TEST_F(WindowsLab, RemoveNoneLeavesBothAndSaysSoOnce) {
  ASSERT_TRUE(Add("192.168.10.2"));
  ASSERT_TRUE(Add("192.168.1.2"));
  RecordingMessagePresenter messages;
  Ask([&](RemoveAddressesWindow& window) { Button(window, "REMOVENONBUTTON")->click(); });
  ASSERT_EQ(messages.shown.size(), 1u);
  EXPECT_EQ(messages.shown[0].caption, "Attention");
  const auto on = AddressesOf(kAdapter);
  EXPECT_TRUE(on.count("192.168.10.2/24"));
  EXPECT_TRUE(on.count("192.168.1.2/24"));
  EXPECT_EQ(network_.NEWADDRESSQ.size(), 2u);
}

TEST_F(WindowsLab, DeletingTheOnlyRowDisablesRemoveAllAndClosesQuietly) {
  ASSERT_TRUE(Add("192.168.10.2"));
  RecordingMessagePresenter messages;
  const auto previous = PopupMenucl::SetPresenter(
      [](QMenu& menu) -> QAction* { return menu.actions().isEmpty() ? nullptr : menu.actions().front(); });
  Ask([&](RemoveAddressesWindow& window) {
    auto* list = window.findChild<QTableWidget*>(QStringLiteral("LIST1"));
    emit list->customContextMenuRequested(list->visualRect(list->model()->index(0, 0)).center());
    EXPECT_TRUE(window.ListedAddresses().empty());
    EXPECT_FALSE(window.RemoveAllEnabled());
    window.close();
  });
  PopupMenucl::SetPresenter(previous);
  EXPECT_TRUE(messages.shown.empty());
  EXPECT_FALSE(AddressesOf(kAdapter).count("192.168.10.2/24"));
}
}  // namespace
