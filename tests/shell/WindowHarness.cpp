#include "WindowHarness.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDialog>
#include <QTest>

#include "scan/SweepController.h"

bool RefusingProbe::Ping(const char* target, char (&)[kMacSize]) {
  ADD_FAILURE() << "a widget test probed " << target;
  return false;
}

bool RefusingProbe::Arp(const char* target, char (&)[kMacSize]) {
  ADD_FAILURE() << "a widget test probed " << target;
  return false;
}

AdapterEntry WindowHarness::Adapter(const std::string& name, std::vector<std::string> addresses) {
  AdapterEntry entry;
  entry.SZNAME = name;
  entry.SZUID = name;
  entry.SZIPADDRESS = addresses.empty() ? std::string() : addresses.front();
  entry.IPADDRESSQ = std::move(addresses);
  return entry;
}

std::vector<AdapterEntry> WindowHarness::TwoAdapters() {
  return {Adapter("Office LAN", {"192.168.1.20", "10.0.0.7"}), Adapter("Camera switch", {"172.16.5.9"}),
          Adapter("Unplugged", {})};
}

WindowHarness::WindowHarness(std::vector<AdapterEntry> adapters, MainWindow::Options options) {
  options.probe = &probe_;
  options.fillAdapters = [adapters = std::move(adapters)](kwIPcl& network) {
    network.ADAPTERQ = adapters;
    if (!adapters.empty()) network.SelectAdapter(0);
  };
  options.runDialog = [this](QDialog& dialog) {
    dialogs.emplace_back(dialog.metaObject()->className());
    if (inDialog) inDialog(dialogs.back());
  };
  window_ = std::make_unique<MainWindow>(std::move(options));
}

WindowHarness::~WindowHarness() { window_.reset(); }

void WindowHarness::Show() {
  window_->show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(window_.get()));
  Settle();
}

void WindowHarness::AddDevice(const std::string& address, const std::string& mac) {
  SweepController& controller = window_->Controller();
  if (controller.lists.FileAnswer(address, mac, false)) window_->DisplayChanged();
}

void Settle() {
  for (int i = 0; i < 3; ++i) {
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents();
  }
}
