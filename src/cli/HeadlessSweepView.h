#pragma once

#include "scan/SweepView.h"

// The sweep view of vantrel-scan: progress ("Wait: N") on stderr when stderr is a
// terminal, and the end of the sweep ends the event loop.
class HeadlessSweepView : public SweepView {
 public:
  HeadlessSweepView();

  void SetStartButton(const std::string& text, StartIcon icon) override;
  void SetStartEnabled(bool) override {}
  void SetShowAllLabel(const std::string&) override {}
  void SetBusyCursor(bool) override {}
  void SetTimer(bool) override {}
  void ResetBrowserPane() override {}
  void DisplayChanged() override {}
  void OpenNewDevices() override {}
  void SweepFinished() override;

 private:
  bool progress_;
};
