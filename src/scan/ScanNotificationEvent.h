#pragma once

#include <QEvent>

// A worker's "slot k is ready", carried to the controller's thread.
class ScanNotificationEvent : public QEvent {
 public:
  static QEvent::Type EventType();

  ScanNotificationEvent(int code, long senderThread, int parameter)
      : QEvent(EventType()), code_(code), senderThread_(senderThread), parameter_(parameter) {}

  int Code() const { return code_; }
  long SenderThread() const { return senderThread_; }
  int Parameter() const { return parameter_; }

 private:
  int code_;
  long senderThread_;
  int parameter_;
};
