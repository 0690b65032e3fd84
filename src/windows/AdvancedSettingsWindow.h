#pragma once

#include <QDialog>
#include <functional>
#include <memory>
#include <string>

class kwIPcl;
class QLineEdit;
class QShowEvent;
namespace Ui {
class AdvancedSettingsWindow;
}

// The administrator window: temporary addresses for reaching devices on their
// factory addresses, and the firewall rule that lets devices ping this
// computer. Opened modally by the main window on its thread; after exec() the
// main window checks BYRESTARTASADMIN (set by "Restart with Admin rights") and
// closes itself so that the elevated instance can take over.
class AdvancedSettingsWindow : public QDialog {
  Q_OBJECT

 public:
  // Tabs of SHEET1 in order.
  enum Tab { kInformation = 0, kCameras = 1, kSendoras = 2, kFirewall = 3 };

  // The firewall step: nft, run elevated and hidden, in our own table. Adding
  // the table and chain is harmless when they exist; the flush keeps one rule
  // however often the button is pressed.
  static constexpr const char* kFirewallProgram = "nft";
  static constexpr const char* kFirewallParameters =
      "add table inet vantrel ; "
      "add chain inet vantrel input { type filter hook input priority 0 ; policy accept ; } ; "
      "flush chain inet vantrel input ; "
      "add rule inet vantrel input icmp type echo-request counter accept comment Ping";

  // adapterAddress: the address chosen in the main window's address list;
  // empty: the current adapter's configured address.
  explicit AdvancedSettingsWindow(kwIPcl& network, QWidget* parent = nullptr, const std::string& adapterAddress = {});
  ~AdvancedSettingsWindow() override;

  // The address proposed on a tab for an adapter address; empty when the tab
  // leaves the entries alone.
  static std::string ProposedAddress(int tab, const std::string& adapterAddress);
  // The proposal when the window opens.
  static std::string OpeningAddress(const std::string& adapterAddress);

  // Test seams. The elevation check (default kwTools::IsElevated) and the
  // ruleset reader of the read-only rules window (default: nft list ruleset).
  using ElevationCheck = std::function<int()>;
  using RulesetReader = std::function<std::string()>;
  static ElevationCheck SetElevationCheck(ElevationCheck check);
  static RulesetReader SetRulesetReader(RulesetReader reader);

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void TabChosen(int tab);
  void AddAddress();
  void CreateFirewallRule();
  void ShowFirewallRules();
  void RestartAsAdmin();

  kwIPcl& network_;
  std::string adapterAddress_;
  std::unique_ptr<Ui::AdvancedSettingsWindow> ui_;
};
