#pragma once

#include <optional>
#include <string>
#include <string_view>

class DataFile;
class QWidget;

// The in-house toolkit's general services: platform checks and elevation, the
// data-file open guard, waits and timed messages, text, path and file helpers.
// It keeps no state; every thread that needs it holds its own instance.
// Texts are byte strings; fixed-width fields arrive space-padded, which is why
// so many helpers drop trailing spaces first.
class kwTools {
 public:
  // Where a caller names the system folder (CSIDL_SYSTEM).
  static constexpr int kSystemFolder = 37;

  // --- Platform checks and elevation ---
  bool CheckWindowsVersion(bool showMessage) const;
  // Kernel releases from 3.10 on are supported ("6.1.0-18-amd64" passes).
  static bool KernelReleaseSupported(std::string_view release);
  // Non-zero when the process may change the network configuration (CAP_NET_ADMIN).
  int IsElevated() const;
  bool ShellRun(const std::string& file, const std::string& parameters = {}, const std::string& directory = {},
                bool wait = false, bool elevate = false, bool hidden = false) const;
  bool RunAsAdmin(const std::string& file, const std::string& parameters, const std::string& directory,
                  bool wait) const;
  // The user an instance restarted through pkexec acts for (PKEXEC_UID); -1
  // when not root or not started that way.
  static int ElevatedForUser();

  // --- Data file open guard ---
  // 1: opened now, 2: was already open, 0: not open.
  unsigned char OpenDataFile(DataFile& file, int accessMode, bool createMissing, bool showMessages,
                             const std::string& description = {}) const;
  void CloseDataFile(DataFile& file, unsigned char openResult) const;

  // --- Waits and timed messages ---
  void Wait(int milliseconds, bool sleep = true) const;
  void TimedMessage(const std::string& text, const std::string& caption, int seconds) const;

  // --- Text, path and file helpers ---
  std::string GetTempPath() const;
  std::string GetSpecialFolder(int csidl) const;
  std::string GetFileVersion(const std::string& path) const;
  static std::string FormatFileVersion(unsigned major, unsigned minor, unsigned build, unsigned revision);
  std::string BuildPath(const std::string& base, std::string_view part1,
                        std::optional<std::string_view> part2 = std::nullopt,
                        std::optional<std::string_view> part3 = std::nullopt,
                        std::optional<std::string_view> part4 = std::nullopt,
                        std::optional<std::string_view> part5 = std::nullopt) const;
  std::string PathOf(const std::string& path) const;
  std::string FileNameOf(const std::string& path) const;
  bool IsDirectoryPath(const std::string& path) const;
  bool CreatePath(const std::string& path) const;
  bool SaveToFile(std::string_view data, const std::string& fileName) const;
  std::string ReplaceAll(std::string_view find, std::string text, std::string_view replacement) const;
  std::string ByteToHex(unsigned char byte) const;
  bool HasSwitch(std::string_view text) const;
  static bool HasSwitch(std::string_view text, std::string_view commandLine);
  std::string JoinDetail(const std::string& text, const std::string& detail) const;
  // Lives in the widgets half of the toolkit; colour is a COLORREF (red in the low byte).
  void SetControlColour(QWidget* control, unsigned long colour, bool highlight) const;
  // UTF-16 to the program's narrow encoding (UTF-8); destination left as it was
  // when the text does not fit the 1024-byte buffer.
  void ToNarrow(const char16_t* wide, std::string& destination) const;
  std::string DecodeText(std::string_view stored) const;
  // The inverse of DecodeText, for storing our own texts.
  static std::string EncodeText(std::string_view plain);

  // --- Shared small helpers ---
  static std::string Clip(std::string_view text);  // without trailing spaces
  // The first n bytes at most: how a text is put into a fixed-size field.
  static std::string Cut(std::string_view text, std::size_t n);
  // The same for a name a person reads: a cut never splits a UTF-8 character.
  static std::string CutUtf8(std::string_view text, std::size_t n);
  static std::string CommandLine();    // the whole command line, arguments joined by spaces
  static std::string ProgramPath();    // full path of the running executable
  static std::string ProgramFolder();  // its folder, without a trailing "/"
  // Deletes one file; never follows a symbolic link, errors are ignored.
  static void DeleteFileSilently(const std::string& path);
};
