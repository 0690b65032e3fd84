#include "scan/ScanNotifier.h"

#include <QCoreApplication>

#include "scan/ScanNotificationEvent.h"

QEvent::Type ScanNotificationEvent::EventType() {
  static const auto type = static_cast<QEvent::Type>(QEvent::registerEventType());
  return type;
}

ScanNotifier& ScanNotifier::Instance() {
  static ScanNotifier notifier;
  return notifier;
}

void ScanNotifier::SetReceiver(QObject* receiver) {
  const std::lock_guard lock(mutex_);
  receiver_ = receiver;
}

void ScanNotifier::WorkerStarting() {
  const std::lock_guard lock(mutex_);
  ++live_;
}

void ScanNotifier::WorkerNotStarted() {
  const std::lock_guard lock(mutex_);
  if (--live_ == 0) idle_.notify_all();
}

void ScanNotifier::Notify(int code, long senderThread, int parameter) {
  const std::lock_guard lock(mutex_);
  if (receiver_) QCoreApplication::postEvent(receiver_, new ScanNotificationEvent(code, senderThread, parameter));
  if (--live_ == 0) idle_.notify_all();
}

void ScanNotifier::Acknowledge() { const std::lock_guard lock(mutex_); }

bool ScanNotifier::WaitForWorkers(std::chrono::milliseconds timeout) {
  std::unique_lock lock(mutex_);
  return idle_.wait_for(lock, timeout, [this] { return live_ == 0; });
}

int ScanNotifier::LiveWorkers() {
  const std::lock_guard lock(mutex_);
  return live_;
}
