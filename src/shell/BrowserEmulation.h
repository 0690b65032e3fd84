#pragma once

#include <string>

// The per-program switch that says the embedded browser may be used: a value
// keyed by the executable's file name in a system-wide INI file, readable by
// everyone and written only by an elevated instance. 11001 (number or text)
// means usable.
class BrowserEmulation {
 public:
  static constexpr long kUsable = 11001;

  // programPath: the running executable; folder: where the INI file lives
  // (empty: $VANTREL_SYSCONFDIR, else /etc/vantrel).
  explicit BrowserEmulation(std::string programPath, std::string folder = {});

  // The stored value, 0 when nothing can be read.
  long GetEmulation() const;
  // Writes 11001; a failure is reported to the user with a message.
  void SetEmulation() const;

  std::string FilePath() const;
  std::string ValueName() const;

 private:
  std::string programPath_;
  std::string folder_;
};
