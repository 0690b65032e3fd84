#pragma once

#include <string>

// What the sweep controller asks of its window. The main window implements it
// with widgets, the headless front end with a terminal, tests with a recorder.
// Every call comes on the controller's thread. During the start loop the window
// handles no events, so an implementation that wants the count to be seen must
// paint synchronously.
class SweepView {
 public:
  enum class StartIcon { None, Info, Play };

  virtual ~SweepView() = default;
  virtual void SetStartButton(const std::string& text, StartIcon icon) = 0;
  virtual void SetStartEnabled(bool enabled) = 0;
  virtual void SetShowAllLabel(const std::string& text) = 0;
  virtual void SetBusyCursor(bool busy) = 0;
  // The logo carousel's timer: on means every 10 seconds.
  virtual void SetTimer(bool on) = 0;
  // Back to the main picture and "about:blank".
  virtual void ResetBrowserPane() = 0;
  // DisplayQ changed: redraw the device list.
  virtual void DisplayChanged() = 0;
  virtual void OpenNewDevices() = 0;
  // The sweep is complete: every started worker's answer has been handled.
  virtual void SweepFinished() {}
  // The message box for a failure of the sweep itself; through the program's
  // message seam unless a view wants otherwise.
  virtual void ShowError(const std::string& text);
};
