#include "toolkit/kwTools.h"

#include <fcntl.h>
#include <linux/capability.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/utsname.h>
#include <unistd.h>

#include <QProcess>
#include <QString>
#include <algorithm>
#include <cctype>
#include <cerrno>
#include <charconv>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <thread>

#include "toolkit/DataFile.h"
#include "toolkit/MessageService.h"
#include "toolkit/PrivateTempFolder.h"
#include "toolkit/ShellService.h"

namespace {
constexpr std::size_t kMaxPath = 255;
constexpr unsigned char kDecodeKey = 0x4B;

std::string Lower(std::string_view s) {
  std::string out(s);
  std::transform(out.begin(), out.end(), out.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return out;
}

bool FolderExists(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

// A plain web address or document is opened by the desktop; anything else is a program.
bool IsDocument(const std::string& file) {
  if (file.find("://") != std::string::npos || file.rfind("mailto:", 0) == 0) return true;
  struct stat st {};
  return ::stat(file.c_str(), &st) == 0 && S_ISREG(st.st_mode) && ::access(file.c_str(), X_OK) != 0;
}

// The variables a window needs to reach the user's display once pkexec has
// cleared the environment.
std::vector<std::string> DisplayEnvironment() {
  std::vector<std::string> env;
  for (const char* name : {"DISPLAY", "XAUTHORITY", "QT_QPA_PLATFORM"}) {
    if (const char* v = std::getenv(name); v && *v) env.push_back(std::string(name) + "=" + v);
  }
  // Without XAUTHORITY the X library looks in $HOME, which is root's own home
  // once elevated: name the user's cookie file while we still know it.
  const char* xauthority = std::getenv("XAUTHORITY");
  const char* home = std::getenv("HOME");
  if ((!xauthority || !*xauthority) && home && *home) {
    const std::string cookie = std::string(home) + "/.Xauthority";
    if (::access(cookie.c_str(), R_OK) == 0) env.push_back("XAUTHORITY=" + cookie);
  }
  return env;
}

// A user id from the environment; -1 when unset, not a number, or root's.
int UserIdFrom(const char* name) {
  const char* v = std::getenv(name);
  if (!v || !*v) return -1;
  int uid = -1;
  const auto r = std::from_chars(v, v + std::strlen(v), uid);
  return r.ec == std::errc() && *r.ptr == '\0' && uid > 0 ? uid : -1;
}
}  // namespace

// ---------------------------------------------------------------- platform checks

bool kwTools::KernelReleaseSupported(std::string_view release) {
  unsigned major = 0, minor = 0;
  const char* p = release.data();
  const char* end = release.data() + release.size();
  auto r = std::from_chars(p, end, major);
  if (r.ec != std::errc() || r.ptr == end || *r.ptr != '.') return false;
  r = std::from_chars(r.ptr + 1, end, minor);
  if (r.ec != std::errc()) return false;
  return major > 3 || (major == 3 && minor >= 10);
}

bool kwTools::CheckWindowsVersion(bool showMessage) const {
  struct utsname u {};
  if (::uname(&u) == 0 && KernelReleaseSupported(u.release)) return true;
  if (showMessage) {
    MessageService::Show("This application requires at least Linux 3.10 or above", "Initialisation Failed",
                         MessageIcon::Warning);
  }
  return false;
}

int kwTools::IsElevated() const {
  __user_cap_header_struct header{};
  header.version = _LINUX_CAPABILITY_VERSION_3;
  header.pid = 0;
  __user_cap_data_struct data[_LINUX_CAPABILITY_U32S_3]{};
  if (::syscall(SYS_capget, &header, data) != 0) return 0;
  return (data[CAP_TO_INDEX(CAP_NET_ADMIN)].effective & CAP_TO_MASK(CAP_NET_ADMIN)) ? 1 : 0;
}

bool kwTools::ShellRun(const std::string& file, const std::string& parameters, const std::string& directory, bool wait,
                       bool elevate, bool hidden) const {
  if (file.empty()) return false;
  ShellRequest request;
  // No shell sits between us and the program, so a path with spaces is passed
  // as one argument as it is; quoting it would make it a different name.
  request.file = Cut(Clip(file), kMaxPath);
  if (request.file.empty()) return false;
  request.kind = IsDocument(request.file) ? ShellRequest::Kind::Document : ShellRequest::Kind::Program;
  const QStringList args = QProcess::splitCommand(QString::fromStdString(Cut(Clip(parameters), kMaxPath)));
  for (const QString& a : args) request.arguments.push_back(a.toStdString());
  request.directory = Cut(Clip(directory), kMaxPath);
  request.wait = wait;
  request.elevate = elevate;
  request.hidden = hidden;
  if (elevate) request.environment = DisplayEnvironment();
  // Web pages are untrusted content: a root instance hands them to the browser
  // of the user who asked for the elevation, never to a browser running as root.
  if (request.kind == ShellRequest::Kind::Document && ::geteuid() == 0) {
    request.userId = ElevatedForUser();
    if (request.userId < 0) request.userId = UserIdFrom("SUDO_UID");
  }
  return ShellService::Launch(request);
}

bool kwTools::RunAsAdmin(const std::string& file, const std::string& parameters, const std::string& directory,
                         bool wait) const {
  return ShellRun(file, parameters, directory, wait, true, false);
}

int kwTools::ElevatedForUser() { return ::geteuid() == 0 ? UserIdFrom("PKEXEC_UID") : -1; }

// ---------------------------------------------------------------- data file guard

unsigned char kwTools::OpenDataFile(DataFile& file, int accessMode, bool createMissing, bool showMessages,
                                    const std::string& description) const {
  if (file.IsOpen()) return 2;
  const std::string shortDescription = Clip(Cut(description, 31));

  auto createAndReopen = [&]() -> unsigned char {
    file.Open(accessMode);
    return file.ErrorCode() == 0 ? 1 : 0;
  };
  auto ask = [&](bool alwaysWithDescription, const std::string& tail) {
    std::string text = "File not found : " + file.Name();
    if (alwaysWithDescription || !shortDescription.empty()) text += "||Description : " + shortDescription;
    text += tail;
    return MessageService::Show(text, "Question", MessageIcon::Question, MessageButtons::YesNo);
  };

  file.Open(accessMode);
  switch (file.ErrorCode()) {
    case 0:
      return 1;
    case DataFile::kNotFound:
      if (!createMissing && !showMessages) return 0;
      if (createMissing && !showMessages) {
        file.Create();
        return file.ErrorCode() == 0 ? createAndReopen() : 0;
      }
      if (createMissing) {
        if (ask(false, "||Create this file ?") != MessageAnswer::Yes) return 0;
        file.Create();
        if (file.ErrorCode() != 0) {
          MessageService::Show(
              "File creation failed.||Unable to create file = " + file.Name() + "||Error = " + file.ErrorText(),
              "Error");
          return 0;
        }
        return createAndReopen();
      }
      if (file.CreateAllowed()) {
        if (ask(true, "||Create this file ?") != MessageAnswer::Yes) return 0;
        file.Create();
        if (file.ErrorCode() != 0) {
          MessageService::Show("Unable to Create File: " + file.ErrorText(), file.Name(), MessageIcon::Warning);
          return 0;
        }
        return createAndReopen();
      }
      MessageService::Show("File not found : " + file.Name() + "||Description : " + shortDescription +
                               "||This file does not allow realtime creation.",
                           "Information", MessageIcon::Information);
      return 0;
    case DataFile::kAccessDenied:
      if (showMessages) {
        MessageService::Show("File Open Error = " + file.ErrorText() + "||File = " + file.Name(), "Access Denied",
                             MessageIcon::Warning);
      }
      return 0;
    case DataFile::kKeyFileDamaged:
      // A damaged key file is always reported: silence would leave the user with a
      // program that quietly finds nothing.
      MessageService::Show("Crtitical Error, Key Files Damaged .. " + file.Name(), "Index/Key Error",
                           MessageIcon::Warning);
      return 0;
    case DataFile::kInvalidDeclaration:
      if (showMessages) {
        MessageService::Show(description.empty() ? "Invalid Record Declaration||File name = " + file.Name()
                                                 : "Invalid Record Declaration||Description = " + description,
                             "File Open Error", MessageIcon::Warning);
      }
      return 0;
    case DataFile::kAlreadyOpen:
      return 2;
    default:
      if (showMessages) {
        MessageService::Show(
            "File Open Error " + std::to_string(file.ErrorCode()) + ": " + file.ErrorText() + "||" + file.Name(),
            "Error", MessageIcon::Warning);
      }
      return 0;
  }
}

void kwTools::CloseDataFile(DataFile& file, unsigned char openResult) const {
  if (openResult == 1) file.Close();
}

// ---------------------------------------------------------------- waits and messages

void kwTools::Wait(int milliseconds, bool /*sleep*/) const {
  if (milliseconds > 0) std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

void kwTools::TimedMessage(const std::string& text, const std::string& caption, int seconds) const {
  MessageService::Show(Clip(text), Cut(Clip(caption), kMaxPath), MessageIcon::None, MessageButtons::Ok, seconds);
}

// ---------------------------------------------------------------- folders and versions

std::string kwTools::GetTempPath() const {
  const PrivateTempFolder::Result folder = PrivateTempFolder::Locate();
  if (folder.path.empty()) {
    TimedMessage("Linux API Error Calling : GetTempPath||Error Code = " + std::to_string(folder.error),
                 "kwTools.GetTempPath", 20);
  }
  return folder.path;
}

std::string kwTools::GetSpecialFolder(int csidl) const {
  if (csidl == kSystemFolder) return "/usr/sbin";
  return {};
}

std::string kwTools::FormatFileVersion(unsigned major, unsigned minor, unsigned build, unsigned revision) {
  auto part = [](unsigned value, unsigned low, unsigned high) {
    std::string s = std::to_string(value);
    if (value >= low && value <= high && s.size() < 4) s.insert(0, 4 - s.size(), '0');
    return Cut(s, 4);
  };
  return Cut(std::to_string(major & 0xFFFF) + "." + std::to_string(minor & 0xFFFF) + "." +
                 part(build & 0xFFFF, 101, 3112) + "." + part(revision & 0xFFFF, 600, 2359),
             32);
}

std::string kwTools::GetFileVersion(const std::string& path) const {
  // Only the program itself carries a version: the one compiled into it.
  char a[PATH_MAX], b[PATH_MAX];
  const std::string self = ProgramPath();
  if (self.empty() || !::realpath(Clip(path).c_str(), a) || !::realpath(self.c_str(), b) ||
      std::string_view(a) != std::string_view(b)) {
    return {};
  }
  return FormatFileVersion(VANTREL_VERSION_MAJOR, VANTREL_VERSION_MINOR, VANTREL_VERSION_PATCH, VANTREL_VERSION_TWEAK);
}

// ---------------------------------------------------------------- paths

std::string kwTools::BuildPath(const std::string& base, std::string_view part1, std::optional<std::string_view> part2,
                               std::optional<std::string_view> part3, std::optional<std::string_view> part4,
                               std::optional<std::string_view> part5) const {
  const bool network = base.rfind("//", 0) == 0;
  std::string path;
  if (!network && (base.empty() || base == "./")) {
    path = ProgramFolder();
  } else {
    path = Clip(base);
  }
  path += "/" + Clip(part1);
  for (const auto& part : {part2, part3, part4, part5}) {
    if (part) path += "/" + Clip(*part);
  }
  if (network) {
    path = ReplaceAll("//", Cut(path, 511), "/");
    while (!path.empty() && path.back() == '/') path.pop_back();
    for (int i = 0; i < 2 && path.rfind("//", 0) != 0; ++i) path.insert(0, "/");
    return Cut(path, kMaxPath);
  }
  path = ReplaceAll("//", path, "/");
  path = ReplaceAll(" /", path, "/");
  path = ReplaceAll("/ ", path, "/");
  return Cut(path, kMaxPath);
}

bool kwTools::IsDirectoryPath(const std::string& path) const {
  const std::string p = Cut(path, kMaxPath);
  for (auto it = p.rbegin(); it != p.rend(); ++it) {
    if (*it == '.') return false;
    if (*it == '/') return true;
  }
  return false;
}

std::string kwTools::PathOf(const std::string& path) const {
  if (IsDirectoryPath(path)) return path;
  const std::string clipped = Clip(path);
  const std::size_t slash = clipped.rfind('/');
  if (slash == std::string::npos) return {};
  return clipped.substr(0, slash);
}

std::string kwTools::FileNameOf(const std::string& path) const {
  const std::string clipped = Clip(path);
  const std::size_t slash = clipped.rfind('/');
  return Cut(slash == std::string::npos ? clipped : clipped.substr(slash + 1), kMaxPath);
}

bool kwTools::CreatePath(const std::string& path) const {
  if (path.empty() || path.rfind("//", 0) == 0) return false;
  const bool isFolder = IsDirectoryPath(path);
  if (isFolder && FolderExists(path)) return true;
  std::string last;
  for (std::size_t i = path.find('/', 1); i != std::string::npos; i = path.find('/', i + 1)) {
    last = path.substr(0, i);
    ::mkdir(last.c_str(), 0700);  // "already exists" and the like are judged below
  }
  if (isFolder) {
    last = path;
    ::mkdir(last.c_str(), 0700);
  }
  return !last.empty() && FolderExists(last);
}

bool kwTools::SaveToFile(std::string_view data, const std::string& fileName) const {
  const std::string name = Cut(Clip(fileName), kMaxPath);
  if (name.empty()) return false;
  // The folder is the text before the last "/": on this system a file name needs
  // no dot, so the name itself must never be taken for a folder to create.
  const std::size_t slash = name.rfind('/');
  if (slash != std::string::npos && slash > 0) CreatePath(name.substr(0, slash + 1));

  // O_NOFOLLOW: a symbolic link planted at the name is refused, not written through.
  // O_NONBLOCK: a FIFO planted there fails at once instead of hanging the program.
  const int fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK, 0600);
  if (fd < 0) return false;
  struct stat st {};
  bool ok = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode);
  std::size_t written = 0;
  while (ok && written < data.size()) {
    const ssize_t n = ::write(fd, data.data() + written, data.size() - written);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      ok = false;
      break;
    }
    written += static_cast<std::size_t>(n);
  }
  if (::close(fd) != 0) ok = false;
  return ok && written == data.size();
}

// ---------------------------------------------------------------- texts

std::string kwTools::ReplaceAll(std::string_view find, std::string text, std::string_view replacement) const {
  if (find.empty()) return text;
  if (replacement.find(find) != std::string_view::npos) {
    // Replacing every occurrence would never end; only the first one changes.
    const std::size_t at = text.find(find);
    if (at != std::string::npos) text.replace(at, find.size(), replacement);
    return text;
  }
  text = Clip(text);
  // Search again from the start each time, so occurrences formed by a
  // replacement are replaced too ("///" becomes "/" when "//" becomes "/").
  for (std::size_t at = text.find(find); at != std::string::npos; at = text.find(find)) {
    text.replace(at, find.size(), replacement);
  }
  return Clip(text);
}

std::string kwTools::Cut(std::string_view text, std::size_t n) { return std::string(text.substr(0, n)); }

std::string kwTools::CutUtf8(std::string_view text, std::size_t n) {
  if (text.size() <= n) return std::string(text);
  std::size_t end = n;
  while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) --end;
  return std::string(text.substr(0, end));
}

std::string kwTools::ByteToHex(unsigned char byte) const {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  return {kDigits[byte >> 4], kDigits[byte & 0x0F]};
}

bool kwTools::HasSwitch(std::string_view text) const { return HasSwitch(text, CommandLine()); }

bool kwTools::HasSwitch(std::string_view text, std::string_view commandLine) {
  if (text.empty()) return false;
  return Lower(commandLine).find(Lower(text)) != std::string::npos;
}

std::string kwTools::JoinDetail(const std::string& text, const std::string& detail) const {
  std::string t = Clip(text);
  const std::string d = Clip(detail);
  if (t.empty() || d.empty()) return t;
  if (Lower(Cut(t, 63)).find(Lower(Cut(d, 63))) != std::string::npos) return text;
  return t + " : " + d;
}

void kwTools::ToNarrow(const char16_t* wide, std::string& destination) const {
  if (!wide) return;
  const QByteArray narrow = QString::fromUtf16(wide).toUtf8();
  if (narrow.size() >= 1024) return;
  destination.assign(narrow.constData(), static_cast<std::size_t>(narrow.size()));
}

std::string kwTools::DecodeText(std::string_view stored) const {
  std::string hex;
  for (char c : stored) {
    if (c != '\r' && c != '\n' && hex.size() < 8191) hex.push_back(c);
  }
  if (hex.size() % 2 != 0) return {};
  std::string out;
  out.reserve(hex.size() / 2);
  for (std::size_t i = 0; i < hex.size(); i += 2) {
    unsigned value = 0;
    const auto r = std::from_chars(hex.data() + i, hex.data() + i + 2, value, 16);
    if (r.ec != std::errc() || r.ptr != hex.data() + i + 2) return {};
    const bool evenNumbered = (i / 2) % 2 == 1;  // the 2nd, 4th, ... pair
    if (evenNumbered) value -= 32;
    out.push_back(static_cast<char>((value & 0xFF) ^ kDecodeKey));
  }
  return out;
}

std::string kwTools::EncodeText(std::string_view plain) {
  std::string out;
  const kwTools tools;
  for (std::size_t i = 0; i < plain.size(); ++i) {
    unsigned value = static_cast<unsigned char>(plain[i]) ^ kDecodeKey;
    if (i % 2 == 1) value = (value + 32) & 0xFF;
    out += tools.ByteToHex(static_cast<unsigned char>(value));
  }
  return out;
}

// ---------------------------------------------------------------- small helpers

std::string kwTools::Clip(std::string_view text) {
  const std::size_t end = text.find_last_not_of(' ');
  return end == std::string_view::npos ? std::string() : std::string(text.substr(0, end + 1));
}

std::string kwTools::CommandLine() {
  std::ifstream in("/proc/self/cmdline", std::ios::binary);
  std::string line((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  while (!line.empty() && line.back() == '\0') line.pop_back();
  std::replace(line.begin(), line.end(), '\0', ' ');
  return line;
}

std::string kwTools::ProgramPath() {
  char buffer[PATH_MAX];
  const ssize_t n = ::readlink("/proc/self/exe", buffer, sizeof buffer - 1);
  return n > 0 ? std::string(buffer, static_cast<std::size_t>(n)) : std::string();
}

std::string kwTools::ProgramFolder() {
  const std::string self = ProgramPath();
  const std::size_t slash = self.rfind('/');
  return slash == std::string::npos || slash == 0 ? std::string("/") : self.substr(0, slash);
}

void kwTools::DeleteFileSilently(const std::string& path) {
  // unlink removes a link itself and never what it points to.
  if (!path.empty()) ::unlink(Clip(path).c_str());
}
