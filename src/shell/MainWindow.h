#pragma once

#include <QTimer>
#include <QWidget>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "net/kwIPcl.h"
#include "scan/DeviceRow.h"
#include "scan/SweepView.h"
#include "shell/LogoCarousel.h"
#include "toolkit/kwTools.h"
#include "toolkit/widgets/kwControlcl.h"
#include "vendors/VendorLookup.h"
#include "vendors/VendorTableFile.h"

class BrowserPane;
class ClickRegion;
class DeviceListModel;
class QButtonGroup;
class QDialog;
class ScanProbe;
class SweepController;
namespace Ui {
class MainWindow;
}

// The program's one top-level window: adapter and range choice, sweeps with
// their progress on the Start button, the coloured device list, the browser
// pane, the right-click menu, the logo strip, and the way to the other windows.
// The sweep itself is the SweepController's; this window is its view.
class MainWindow : public QWidget, public SweepView {
  Q_OBJECT

 public:
  struct Options {
    std::string commandLine;     // "/Advanced" in any case opens Advanced Settings at once
    ScanProbe* probe = nullptr;  // nullptr: the real probes
    // Fills the network object's adapter list; empty: every adapter of the
    // system, wireless ones included.
    std::function<void(kwIPcl&)> fillAdapters;
    // The carousel's logos; empty: the five product logos.
    std::vector<LogoCarousel::Source> logos;
    // Runs a modal window; empty: QDialog::exec. Tests record instead.
    std::function<void(QDialog&)> runDialog;
  };

  static std::vector<LogoCarousel::Source> ProductLogos();

  explicit MainWindow(Options options, QWidget* parent = nullptr);
  ~MainWindow() override;

  // SweepView: the controller's calls, on this window's thread.
  void SetStartButton(const std::string& text, StartIcon icon) override;
  void SetStartEnabled(bool enabled) override;
  void SetShowAllLabel(const std::string& text) override;
  void SetBusyCursor(bool busy) override;
  void SetTimer(bool on) override;
  void ResetBrowserPane() override;
  void DisplayChanged() override;
  void OpenNewDevices() override;

  // The timer's work: the logo carousel.
  void TimerTick();
  bool TimerRunning() const { return timer_.isActive(); }
  int TimerInterval() const { return timer_.interval(); }
  bool BrowserShowing() const;

  SweepController& Controller() { return *controller_; }
  kwIPcl& Network() { return network_; }
  kwControlcl& Layout() { return layout_; }
  const LogoCarousel& Carousel() const { return *carousel_; }
  const BrowserPane& Browser() const { return *browser_; }

 protected:
  bool event(QEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  void BuildControls();
  void Dress();
  void LoadAdapters();
  void PlaceSlider();
  void RegisterLayout();
  void Connect();
  void Opened();

  void AdapterChosen(int position);
  void AddressChosen(const std::string& address);
  void StartAddressAccepted();
  void CountChanged(int count);
  void ShowRange();
  void ShowAddresses();
  void OpenAdvancedSettings(bool examineRestart);
  void OpenHelp(const std::string& pictureName);
  void RunDialog(QDialog& dialog);
  void PostCloseRequest();

  const DeviceRow* RowAt(const QPoint& viewportPosition) const;
  void ShowPage(const DeviceRow& row);
  void ShowRowMenu(DeviceRow row);
  void CopyMac(const DeviceRow& row);
  void AskEnableEmulation();
  void RegionReleased(ClickRegion* region);
  void ToggleShowAll();
  void OpenWebAddress(const std::string& url);

  Options options_;
  kwTools tools_;
  std::unique_ptr<Ui::MainWindow> ui_;
  VendorTableFile vendors_;
  VendorLookup lookup_;
  std::unique_ptr<ScanProbe> ownProbe_;
  std::unique_ptr<SweepController> controller_;
  kwIPcl network_;
  kwControlcl layout_;
  std::unique_ptr<LogoCarousel> carousel_;
  std::unique_ptr<BrowserPane> browser_;
  DeviceListModel* model_ = nullptr;
  QButtonGroup* scanMethod_ = nullptr;
  QTimer timer_;
  bool opened_ = false;
  bool busy_ = false;
};
