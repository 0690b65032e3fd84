#pragma once

#include <QWidget>

// Stands where the main window will stand: shows what the start-up sequence
// decided (emulation flag, "/Advanced" switch, elevation) and lets the user ask
// for the elevated restart.
class PlaceholderWindow : public QWidget {
  Q_OBJECT
 public:
  explicit PlaceholderWindow(const std::string& commandLine, QWidget* parent = nullptr);

  bool OpensAdvancedSettings() const { return opensAdvanced_; }

 private:
  bool opensAdvanced_ = false;
};
