#pragma once

#include <QString>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "net/AdapterEntry.h"
#include "scan/ScanProbe.h"
#include "shell/MainWindow.h"
#include "support/RecordingMessagePresenter.h"
#include "support/RecordingShellLauncher.h"

class QWidget;

// Widget tests never press Start, so no probe may ever be asked.
class RefusingProbe : public ScanProbe {
 public:
  bool Ping(const char* target, char (&mac)[kMacSize]) override;
  bool Arp(const char* target, char (&mac)[kMacSize]) override;
};

// A main window on made-up adapters, with every message box, started program
// and modal window recorded instead of shown.
class WindowHarness {
 public:
  static std::vector<AdapterEntry> TwoAdapters();
  static AdapterEntry Adapter(const std::string& name, std::vector<std::string> addresses);

  explicit WindowHarness(std::vector<AdapterEntry> adapters = TwoAdapters(), MainWindow::Options options = {});
  ~WindowHarness();

  MainWindow& Window() { return *window_; }
  template <typename T = QWidget>
  T* Control(const char* name) const {
    return window_->findChild<T*>(QString::fromLatin1(name));
  }
  // Shows the window and waits until it can be drawn and takes input.
  void Show();
  // Files answers as if workers had reported them (no network involved).
  void AddDevice(const std::string& address, const std::string& mac);

  RecordingMessagePresenter messages;
  RecordingShellLauncher shell;
  std::vector<std::string> dialogs;  // class names of the modal windows opened
  // What the person does inside a modal window, by its class name.
  std::function<void(const std::string&)> inDialog;

 private:
  RefusingProbe probe_;
  std::unique_ptr<MainWindow> window_;
};

// Lets queued events (posted closes, timers at 0, window-system events) run.
void Settle();
