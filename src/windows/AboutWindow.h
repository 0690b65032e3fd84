#pragma once

#include <QDialog>
#include <memory>
#include <string>
#include <string_view>

namespace Ui {
class AboutWindow;
}

// Program name and version, and the copyright line.
class AboutWindow : public QDialog {
  Q_OBJECT

 public:
  static constexpr std::size_t kInfoLength = 48;
  static constexpr std::size_t kCopyrightLength = 32;
  // Our copyright line ("Copyright 2024, Vantrel") as kwTools::DecodeText reads it.
  static constexpr const char* kCopyrightStored = "08443B5239422C433F8B799B799F678B1D4A255F394E27";

  explicit AboutWindow(QWidget* parent = nullptr);
  ~AboutWindow() override;

  // The lines as the window shows them: cut to their fields' lengths.
  void SetLines(std::string_view info, std::string_view copyright);
  QString InfoLine() const;
  QString CopyrightLine() const;

  // A text in a field of width characters: cut there, trailing spaces dropped.
  static std::string Fit(std::string_view text, std::size_t width);

 private:
  std::unique_ptr<Ui::AboutWindow> ui_;
};
