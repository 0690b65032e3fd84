#pragma once

#include <chrono>
#include <condition_variable>
#include <mutex>

class QObject;

// The process-wide post office between workers and the controller. It outlives
// every worker, so a worker never posts to a receiver that is gone: the receiver
// is cleared under the same lock the workers post under. It also counts the
// live workers, so that a closing window can wait for them.
class ScanNotifier {
 public:
  static constexpr int kSweepAnswer = 1302;

  static ScanNotifier& Instance();

  // receiver lives on the controller's thread and takes ScanNotificationEvent;
  // nullptr: from now on notifications are dropped.
  void SetReceiver(QObject* receiver);
  void WorkerStarting();
  void WorkerNotStarted();  // thread creation failed after WorkerStarting
  // Posts the notification and ends the worker's registration.
  void Notify(int code, long senderThread, int parameter);
  // The receiver calls this before it reads a notification or its slot. Qt's
  // event queue hands events across threads with locks a thread checker cannot
  // see; taking the lock the worker posted under makes everything the worker
  // wrote before posting visibly happen before the read.
  void Acknowledge();
  // True when no worker is live any more; false after the timeout.
  bool WaitForWorkers(std::chrono::milliseconds timeout);
  int LiveWorkers();

 private:
  std::mutex mutex_;
  std::condition_variable idle_;
  QObject* receiver_ = nullptr;
  int live_ = 0;
};
