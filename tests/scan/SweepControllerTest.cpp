#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <atomic>
#include <cerrno>
#include <cstring>
#include <map>
#include <mutex>
#include <set>
#include <thread>

#include "scan/ScanNotifier.h"
#include "scan/ScanProbe.h"
#include "scan/ScanSlotTable.h"
#include "scan/SweepController.h"
#include "scan/SweepView.h"
#include "support/RecordingMessagePresenter.h"

namespace {
// Answers from a table: target -> MAC ("" answers without a MAC). Records what
// was probed. Optionally holds every probe until released.
class TableScanProbe : public ScanProbe {
 public:
  explicit TableScanProbe(std::map<std::string, std::string> devices) : devices_(std::move(devices)) {}

  bool Ping(const char* target, char (&mac)[kMacSize]) override { return Answer(target, mac); }
  bool Arp(const char* target, char (&mac)[kMacSize]) override { return Answer(target, mac); }

  std::multiset<std::string> Probed() {
    std::lock_guard lock(mutex_);
    return probed_;
  }
  void Hold() { held_ = true; }
  void Release() { held_ = false; }
  void Set(std::map<std::string, std::string> devices) { devices_ = std::move(devices); }

 private:
  bool Answer(const char* target, char (&mac)[kMacSize]) {
    while (held_) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    std::lock_guard lock(mutex_);
    probed_.insert(target);
    const auto it = devices_.find(target);
    if (it == devices_.end()) return false;
    std::strncpy(mac, it->second.c_str(), kMacSize - 1);
    return true;
  }
  std::map<std::string, std::string> devices_;
  std::mutex mutex_;
  std::multiset<std::string> probed_;
  std::atomic<bool> held_{false};
};

class RecordingSweepView : public SweepView {
 public:
  void SetStartButton(const std::string& text, StartIcon icon) override {
    buttons.push_back(text);
    this->icon = icon;
  }
  void SetStartEnabled(bool enabled) override { startEnabled = enabled; }
  void SetShowAllLabel(const std::string& text) override { label = text; }
  void SetBusyCursor(bool busy) override { this->busy = busy; }
  void SetTimer(bool on) override { timer = on; }
  void ResetBrowserPane() override { ++browserResets; }
  void DisplayChanged() override { ++redraws; }
  void OpenNewDevices() override {
    ++newDevicesOpened;
    outstandingWhenNewDevicesOpened = controller ? controller->ThreadQ.size() : 99;
  }
  void SweepFinished() override { ++finished; }

  SweepController* controller = nullptr;
  std::vector<std::string> buttons;
  StartIcon icon = StartIcon::Play;
  bool startEnabled = true, busy = false, timer = true;
  std::string label;
  int browserResets = 0, redraws = 0, newDevicesOpened = 0, finished = 0;
  std::size_t outstandingWhenNewDevicesOpened = 0;
};

void Lookup(const std::string& mac, DeviceRow& row) {
  row.SVENDOR = mac.empty() ? "" : "Vendor";
  row.BYQUARNEL_ITEM = mac.rfind("0A:C5", 0) == 0;
}

// Runs the event loop until every answer of the sweep has been handled.
bool RunUntilDone(SweepController& controller, int ms = 5000) {
  QElapsedTimer t;
  t.start();
  while (!controller.ThreadQ.empty() && t.elapsed() < ms) QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
  return controller.ThreadQ.empty();
}

std::map<std::string, std::string> Devices(const std::string& net, int count) {
  std::map<std::string, std::string> d;
  for (int i = 1; i <= count; ++i) {
    char mac[32];
    std::snprintf(mac, sizeof mac, "00:00:00:00:00:%02X", i * 7);
    d[net + std::to_string(i * 7)] = mac;
  }
  return d;
}

struct Fixture {
  explicit Fixture(std::map<std::string, std::string> devices = {})
      : probe(std::move(devices)), controller(view, probe, Lookup) {
    view.controller = &controller;
    controller.SetPace(0);
  }
  RecordingSweepView view;
  TableScanProbe probe;
  SweepController controller;
};

TEST(SweepController, TargetsAndSlotsOfARange) {
  struct Case {
    const char* start;
    long count;
    std::vector<std::string> first, last;
  };
  const Case cases[] = {
      {"192.168.1.1", 254, {"192.168.1.1", "192.168.1.2"}, {"192.168.1.253", "192.168.1.254"}},
      {"192.168.1.250", 10, {"192.168.1.250", "192.168.1.251"}, {"192.168.1.2", "192.168.1.3"}},
  };
  for (const Case& c : cases) {
    Fixture f;
    f.controller.state.SADDRESS_INPUT = c.start;
    f.controller.state.DWADDRESSES = c.count;
    f.controller.Start();
    ASSERT_TRUE(RunUntilDone(f.controller));
    EXPECT_EQ(f.probe.Probed().size(), static_cast<std::size_t>(c.count));
    EXPECT_EQ(ScanSlotTable::Slot(1).SZTARGETIPV4, c.first[0]);
    EXPECT_EQ(ScanSlotTable::Slot(2).SZTARGETIPV4, c.first[1]);
    EXPECT_EQ(ScanSlotTable::Slot(c.count - 1).SZTARGETIPV4, c.last[0]);
    EXPECT_EQ(ScanSlotTable::Slot(c.count).SZTARGETIPV4, c.last[1]);
    const std::int32_t instance = ScanSlotTable::Slot(c.count).DWINSTANCE;  // packed: read, never bind
    EXPECT_EQ(instance, c.count);
    if (c.count == 10) {  // wraps inside the block
      EXPECT_EQ(ScanSlotTable::Slot(6).SZTARGETIPV4, std::string("192.168.1.255"));
      EXPECT_EQ(ScanSlotTable::Slot(7).SZTARGETIPV4, std::string("192.168.1.0"));
    }
  }
}

TEST(SweepController, CountsFromAdapterAndEditedStart) {
  Fixture f;
  f.controller.DeriveFromAdapterAddress("10.0.0.57");
  EXPECT_EQ(f.controller.state.SADDRESS_INPUT, "10.0.0.1");
  EXPECT_EQ(f.controller.state.DWADDRESSES, 254);
  struct Case {
    const char* start;
    long count;
  };
  for (const Case c :
       {Case{"10.0.0.100", 154}, Case{"10.0.0.10", 244}, Case{"10.0.0.254", 0}, Case{"10.0.0.255", -1}}) {
    f.controller.state.SADDRESS_INPUT = c.start;
    f.controller.StartAddressEdited();
    EXPECT_EQ(f.controller.state.DWADDRESSES, c.count) << c.start;
  }
  // Nothing to sweep: no worker, and the button stays as the start left it.
  f.controller.state.SADDRESS_INPUT = "10.0.0.254";
  f.controller.StartAddressEdited();
  f.controller.Start();
  EXPECT_TRUE(f.probe.Probed().empty());
  EXPECT_EQ(f.view.buttons.back(), "Please Wait ..");
  EXPECT_TRUE(f.view.startEnabled);
  EXPECT_FALSE(f.view.busy);
}

TEST(SweepController, ProgressAndCompletion) {
  Fixture f(Devices("10.1.2.", 3));
  f.controller.state.SADDRESS_INPUT = "10.1.2.1";
  f.controller.state.DWADDRESSES = 30;
  f.probe.Hold();
  f.controller.Start();
  EXPECT_EQ(f.view.buttons[0], "Please Wait ..");
  EXPECT_EQ(f.view.buttons[1], "Wait: 1");
  EXPECT_EQ(f.view.buttons[30], "Wait: 30");
  EXPECT_FALSE(f.view.startEnabled);
  EXPECT_EQ(f.view.browserResets, 1);

  f.controller.Start();  // refused while answers are outstanding
  EXPECT_EQ(f.controller.ThreadQ.size(), 30u);
  f.probe.Release();
  ASSERT_TRUE(RunUntilDone(f.controller));
  EXPECT_EQ(f.view.buttons.back(), "Start Scan");
  EXPECT_EQ(f.view.icon, SweepView::StartIcon::Play);
  EXPECT_TRUE(f.view.timer);
  EXPECT_TRUE(f.view.startEnabled);
  EXPECT_EQ(f.view.label, "Show All 3 Devices");
  EXPECT_EQ(f.view.finished, 1);
  EXPECT_EQ(f.probe.Probed().size(), 30u);  // not 60: the second press did nothing
  EXPECT_EQ(f.view.newDevicesOpened, 0);
}

TEST(SweepController, NewDevicesReportedOnceAfterTheLastAnswer) {
  Fixture f(Devices("10.9.9.", 10));
  f.controller.state.SADDRESS_INPUT = "10.9.9.1";
  f.controller.state.DWADDRESSES = 100;
  f.controller.Start();
  ASSERT_TRUE(RunUntilDone(f.controller));
  EXPECT_EQ(f.controller.lists.FoundDeviceQ.size(), 10u);
  EXPECT_EQ(f.view.newDevicesOpened, 0);

  auto more = Devices("10.9.9.", 10);
  more["10.9.9.99"] = "0A:C5:D2:E1:00:99";
  f.probe.Set(more);
  f.controller.state.BYFINDNEWDEVICES = 1;
  f.controller.Start();
  ASSERT_TRUE(RunUntilDone(f.controller));
  EXPECT_EQ(f.controller.lists.FoundDeviceQ.size(), 11u);
  ASSERT_EQ(f.controller.lists.NewDeviceQ.size(), 1u);
  EXPECT_EQ(f.controller.lists.NewDeviceQ[0].SIPADDRESS, "10.9.9.99");
  EXPECT_EQ(f.view.newDevicesOpened, 1);
  EXPECT_EQ(f.view.outstandingWhenNewDevicesOpened, 0u);
  EXPECT_EQ(f.view.label, "Show All 11 Devices");
}

TEST(SweepController, FailedThreadCreationStopsTheLoopAndFilesTheRest) {
  Fixture f(Devices("10.3.3.", 2));  // .7 and .14
  RecordingMessagePresenter messages;
  int started = 0;
  f.controller.SetThreadStarter([&](std::function<void()> body) {
    if (++started > 8) return EAGAIN;
    std::thread(std::move(body)).detach();
    return 0;
  });
  f.controller.state.SADDRESS_INPUT = "10.3.3.1";
  f.controller.state.DWADDRESSES = 50;
  f.controller.Start();
  ASSERT_TRUE(messages.ShowedOnly("Error", "Thread Creation Failed with a Linux Error = " + std::to_string(EAGAIN),
                                  MessageIcon::None));
  EXPECT_LE(f.controller.ThreadQ.size(), 8u);
  EXPECT_FALSE(f.view.busy);
  ASSERT_TRUE(RunUntilDone(f.controller));
  EXPECT_EQ(f.probe.Probed().size(), 8u);
  EXPECT_EQ(f.controller.lists.FoundDeviceQ.size(), 1u);  // .7 was inside the first eight
  EXPECT_EQ(f.view.buttons.back(), "Start Scan");
}

TEST(SweepController, ArpWithoutAHardwareAddressIsNoAnswerAndOtherCodesAreIgnored) {
  Fixture f({{"10.4.4.1", ""}, {"10.4.4.2", "00:00:00:00:04:02"}});
  f.controller.state.SADDRESS_INPUT = "10.4.4.1";
  f.controller.state.DWADDRESSES = 2;
  f.controller.state.BYSCANMETHOD = 2;
  f.controller.Start();
  ASSERT_TRUE(RunUntilDone(f.controller));
  ASSERT_EQ(f.controller.lists.FoundDeviceQ.size(), 1u);
  EXPECT_EQ(f.controller.lists.FoundDeviceQ[0].SIPADDRESS, "10.4.4.2");
  EXPECT_EQ(ScanSlotTable::Slot(1).BYRESULT, 0);

  f.controller.ThreadQ.push_back({0, 2});
  f.controller.HandleNotification(1301, 0, 2);    // not a sweep answer
  f.controller.HandleNotification(1302, 0, 255);  // no such slot
  EXPECT_EQ(f.controller.ThreadQ.size(), 1u);
  f.controller.ThreadQ.clear();
}

TEST(SweepController, ClosingDuringASweepDropsTheAnswers) {
  RecordingSweepView view;
  TableScanProbe probe(Devices("10.5.5.", 5));
  auto controller = std::make_unique<SweepController>(view, probe, Lookup);
  controller->SetPace(0);
  controller->state.SADDRESS_INPUT = "10.5.5.1";
  controller->state.DWADDRESSES = 40;
  probe.Hold();
  controller->Start();
  std::thread release([&] {
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    probe.Release();
  });
  controller.reset();  // waits for the live workers, takes none of their answers
  release.join();
  EXPECT_EQ(ScanNotifier::Instance().LiveWorkers(), 0);
  QCoreApplication::processEvents();
  EXPECT_EQ(view.finished, 0);
}
}  // namespace
