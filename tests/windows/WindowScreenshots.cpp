// Writes a picture of each secondary window, as it looks under the offscreen
// platform with the machine's fonts, into the folder given (docs/screenshots).
// A program, not a test: nothing here touches the network or the system.
//   windows_screenshots FOLDER
#include <QApplication>
#include <QLineEdit>
#include <QPixmap>
#include <QTabWidget>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "net/kwIPcl.h"
#include "windows/AboutWindow.h"
#include "windows/AdvancedSettingsWindow.h"
#include "windows/FirewallRulesWindow.h"
#include "windows/HelpPictureWindow.h"
#include "windows/NewDevicesWindow.h"
#include "windows/RemoveAddressesWindow.h"

namespace {
std::string folder;
int failures = 0;

void Save(QWidget& window, const char* name) {
  window.show();
  QApplication::processEvents();
  const QString path = QString::fromStdString(folder + "/" + name + ".png");
  if (!window.grab().save(path)) {
    std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
    ++failures;
  } else {
    std::printf("%s\n", qPrintable(path));
  }
  window.hide();
}

DeviceRow Row(const char* address, const char* mac, const char* description, long style) {
  DeviceRow row;
  row.SetAddress(address);
  row.SMAC = mac;
  row.SVENDOR = description;
  row.STYLE_COLUMN1 = row.STYLE_COLUMN2 = row.STYLE_COLUMN3 = style;
  return row;
}
}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: windows_screenshots FOLDER\n");
    return 2;
  }
  folder = argv[1];
  ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
  // The help window writes its picture to the private folder; keep it out of the user's.
  const std::string scratch = folder + "/.scratch";
  ::setenv("XDG_RUNTIME_DIR", scratch.c_str(), 1);
  QApplication app(argc, argv);

  kwIPcl network;
  AdapterEntry adapter;
  adapter.SZNAME = adapter.SZUID = "eth0";
  adapter.SZIPADDRESS = "10.77.0.2";
  adapter.SZSUBNETMASK = "255.255.255.0";
  adapter.IPADDRESSQ = {"10.77.0.2"};
  network.ADAPTERQ.push_back(adapter);
  (void)network.SelectAdapter(0);

  const struct {
    int elevated;
    int tab;
    const char* name;
  } advanced[] = {{1, AdvancedSettingsWindow::kInformation, "advanced-settings-information"},
                  {1, AdvancedSettingsWindow::kCameras, "advanced-settings-cameras"},
                  {1, AdvancedSettingsWindow::kSendoras, "advanced-settings-sendoras"},
                  {1, AdvancedSettingsWindow::kFirewall, "advanced-settings-firewall"},
                  {0, AdvancedSettingsWindow::kInformation, "advanced-settings-without-admin-rights"}};
  for (const auto& shot : advanced) {
    const int elevated = shot.elevated;
    AdvancedSettingsWindow::SetElevationCheck([elevated] { return elevated; });
    AdvancedSettingsWindow window(network);
    window.findChild<QTabWidget*>(QStringLiteral("SHEET1"))->setCurrentIndex(shot.tab);
    Save(window, shot.name);
  }

  const std::vector<DeviceRow> found = {
      Row("10.77.0.22", "00:1B:C5:00:3A:22", "MicroSigns Technologies Inc", 1),
      Row("10.77.0.11", "0A:C5:D2:E1:00:11", "** Sendora **", 2),
      Row("10.77.0.12", "0A:C5:D2:E2:00:12", "** Visorn/Lumarc Intelligent Camera **", 3)};
  NewDevicesWindow newDevices(found);
  Save(newDevices, "new-devices");

  AboutWindow about;
  Save(about, "about");
  {
    HelpPictureWindow help("~Vantrel-Help-Screen.png");
    Save(help, "help-sendora");
  }
  {
    HelpPictureWindow help("~Vantrel-Help-Screen-Lumarc.png");
    Save(help, "help-lumarc");
  }

  network.NEWADDRESSQ = {TemporaryAddress{"192.168.10.2", {}}, TemporaryAddress{"192.168.1.2", {}}};
  RemoveAddressesWindow remove(network);
  Save(remove, "remove-temporary-addresses");
  network.NEWADDRESSQ.clear();

  FirewallRulesWindow rules(
      "table inet vantrel {\n\tchain input {\n\t\ttype filter hook input priority filter; policy accept;\n"
      "\t\ticmp type echo-request counter packets 1 bytes 84 accept comment \"Ping\"\n\t}\n}\n");
  Save(rules, "firewall-rules");
  return failures == 0 ? 0 : 1;
}
