#pragma once

#include <QObject>
#include <functional>
#include <string>
#include <vector>

#include "scan/DeviceLists.h"
#include "scan/ScanWorker.h"
#include "scan/SweepState.h"

class ScanProbe;
class SweepView;

// Turns the range inputs into targets, starts one worker per target 10 ms apart,
// counts the answers down and files them into the device lists. Lives on the
// window's thread and owns no thread of its own: the start loop blocks its caller
// until every worker is created, and answers arrive later as events.
class SweepController : public QObject {
 public:
  struct ThreadQEntry {
    long HTHREAD = 0;  // kept for its place; workers are detached
    int DWINSTANCE = 0;
  };
  // Starts body on a new thread; 0, or the errno of the failed creation.
  using ThreadStarter = std::function<int(std::function<void()> body)>;

  SweepController(SweepView& view, ScanProbe& probe, VendorLookupFn lookup);
  // Stops taking answers and waits (a few seconds at most) for live workers.
  ~SweepController() override;

  SweepState state;
  DeviceLists lists;
  std::vector<ThreadQEntry> ThreadQ;

  // Pause between worker starts; the window keeps 10 ms.
  void SetPace(int milliseconds) { paceMs_ = milliseconds; }
  void SetThreadStarter(ThreadStarter starter) { startThread_ = std::move(starter); }

  // Range inputs: a chosen adapter address proposes x.y.z.1 with 254 addresses;
  // an edited start field keeps the typed start and counts up to x.y.z.253.
  void DeriveFromAdapterAddress(const std::string& address);
  void StartAddressEdited();

  // The Start button. Refused while answers of the previous sweep are outstanding.
  void Start();
  bool CanStart() const { return ThreadQ.empty(); }
  bool StartPingScan();
  bool StartArpScan();
  bool UpdateScanStatus();
  void HandleNotification(int code, long senderThread, int slot);
  void ToggleShowAll();

 protected:
  bool event(QEvent* event) override;

 private:
  bool StartLoop(ScanWorker::Method method);

  SweepView& view_;
  ScanProbe& probe_;
  ThreadStarter startThread_;
  int paceMs_ = 10;
  long threadNumber_;
};
