#include "scan/SweepController.h"

#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <system_error>
#include <thread>

#include "scan/IPv4.h"
#include "scan/ScanNotificationEvent.h"
#include "scan/ScanNotifier.h"
#include "scan/ScanSlotTable.h"
#include "scan/SweepView.h"
#include "toolkit/kwTools.h"

namespace {
// Long enough for the slowest probe: the echo timeout plus a failed neighbour
// resolution (three ARP tries a second apart).
constexpr std::chrono::seconds kWorkerDrain{5};

int StartDetached(std::function<void()> body) {
  try {
    std::thread(std::move(body)).detach();
    return 0;
  } catch (const std::system_error& e) {
    return e.code().value();
  }
}
}  // namespace

SweepController::SweepController(SweepView& view, ScanProbe& probe, VendorLookupFn lookup)
    : lists(std::move(lookup)),
      view_(view),
      probe_(probe),
      startThread_(StartDetached),
      threadNumber_(static_cast<long>(::gettid())) {
  ScanNotifier::Instance().SetReceiver(this);
}

SweepController::~SweepController() {
  ScanNotifier::Instance().SetReceiver(nullptr);
  ScanNotifier::Instance().WaitForWorkers(kWorkerDrain);
}

void SweepController::DeriveFromAdapterAddress(const std::string& address) {
  state.SADAPTER_ADDRESS = address;
  Octets start = IPv4::ParseIPv4(address);
  start[3] = 1;
  state.SADDRESS_INPUT = IPv4::FormatIPv4(start);
  state.DWADDRESSES = 255 - start[3];
}

void SweepController::StartAddressEdited() { state.DWADDRESSES = 254 - IPv4::ParseIPv4(state.SADDRESS_INPUT)[3]; }

void SweepController::Start() {
  if (!CanStart()) return;
  view_.SetStartButton("Please Wait ..", SweepView::StartIcon::None);
  view_.SetStartEnabled(false);
  if (state.BYSCANMETHOD == 1) StartPingScan();
  else if (state.BYSCANMETHOD == 2) StartArpScan();
  // A sweep that started no worker gets no answer to re-enable the button.
  if (ThreadQ.empty()) view_.SetStartEnabled(true);
}

bool SweepController::StartPingScan() { return StartLoop(ScanWorker::Method::Ping); }

bool SweepController::StartArpScan() { return StartLoop(ScanWorker::Method::Arp); }

bool SweepController::StartLoop(ScanWorker::Method method) {
  Octets working = IPv4::ParseIPv4(state.SADDRESS_INPUT);
  view_.ResetBrowserPane();
  lists.StartSweep(state.BYFINDNEWDEVICES == 1);
  view_.DisplayChanged();
  view_.SetBusyCursor(true);

  const kwTools tools;
  const long count = std::min<long>(state.DWADDRESSES, ScanSlotTable::kSlots);
  ScanNotifier& notifier = ScanNotifier::Instance();
  for (int k = 1; k <= count; ++k) {
    ScanSlot& slot = ScanSlotTable::Slot(k);
    std::memset(&slot, 0, sizeof slot);
    slot.DWINSTANCE = k;
    slot.DWPARENTTHREAD = static_cast<std::int32_t>(threadNumber_);
    const std::string target = IPv4::FormatIPv4(working);
    std::memcpy(slot.SZTARGETIPV4, target.c_str(), target.size() + 1);

    notifier.WorkerStarting();
    ScanSlot* shared = &slot;
    ScanProbe& probe = probe_;
    const int error = startThread_([shared, method, &probe] { ScanWorker::Run(shared, method, probe); });
    if (error != 0) {
      notifier.WorkerNotStarted();
      view_.SetBusyCursor(false);
      view_.ShowError("Thread Creation Failed with a Linux Error = " + std::to_string(error));
      return false;
    }
    ThreadQ.push_back({0, k});
    view_.SetStartButton("Wait: " + std::to_string(ThreadQ.size()), SweepView::StartIcon::None);
    tools.Wait(paceMs_, true);
    ++working[3];  // wraps from .255 to .0 inside the same /24
  }
  view_.SetBusyCursor(false);
  return false;
}

bool SweepController::UpdateScanStatus() {
  const std::size_t found = lists.FoundDeviceQ.size();
  view_.SetShowAllLabel(found ? "Show All " + std::to_string(found) + " Devices" : "Show All Devices");
  if (!ThreadQ.empty()) {
    view_.SetStartButton("Wait: " + std::to_string(ThreadQ.size()), SweepView::StartIcon::Info);
    view_.SetTimer(false);
  } else {
    view_.SetStartButton("Start Scan", SweepView::StartIcon::Play);
    view_.SetTimer(true);
    view_.SetStartEnabled(true);
  }
  return false;
}

void SweepController::HandleNotification(int code, long /*senderThread*/, int k) {
  if (code != ScanNotifier::kSweepAnswer || k < 1 || k > ScanSlotTable::kSlots) return;
  const auto entry =
      std::find_if(ThreadQ.begin(), ThreadQ.end(), [k](const ThreadQEntry& e) { return e.DWINSTANCE == k; });
  if (entry != ThreadQ.end()) ThreadQ.erase(entry);

  const ScanSlot& slot = ScanSlotTable::Slot(k);
  if (slot.BYRESULT) {
    const std::string address(slot.SZTARGETIPV4, strnlen(slot.SZTARGETIPV4, sizeof slot.SZTARGETIPV4));
    const std::string mac(slot.SZMACADDRESS, strnlen(slot.SZMACADDRESS, sizeof slot.SZMACADDRESS));
    if (lists.FileAnswer(address, mac, state.BYFINDNEWDEVICES == 1)) view_.DisplayChanged();
  }
  UpdateScanStatus();
  if (ThreadQ.empty()) {
    view_.SweepFinished();
    if (state.BYFINDNEWDEVICES == 1 && !lists.NewDeviceQ.empty()) view_.OpenNewDevices();
  }
}

void SweepController::ToggleShowAll() {
  lists.BYSHOWALL = lists.BYSHOWALL ? 0 : 1;
  lists.RebuildDisplayQ();
  view_.DisplayChanged();
}

bool SweepController::event(QEvent* event) {
  ScanNotifier::Instance().Acknowledge();
  if (event->type() != ScanNotificationEvent::EventType()) return QObject::event(event);
  const auto* n = static_cast<ScanNotificationEvent*>(event);
  HandleNotification(n->Code(), n->SenderThread(), n->Parameter());
  return true;
}
