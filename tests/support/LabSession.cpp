#include "support/LabSession.h"

#ifndef VANTREL_SOURCE_DIR
#error "VANTREL_SOURCE_DIR must name the source tree (tools/lab lives there)"
#endif

#include <fcntl.h>
#include <grp.h>
#include <ifaddrs.h>
#include <linux/capability.h>
#include <netinet/in.h>
#include <sched.h>
#include <signal.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <optional>
#include <set>
#include <sstream>
#include <string_view>
#include <utility>

namespace {
constexpr uid_t kNobody = 65534;

std::string ReadAll(int fd) {
  std::string out;
  char buffer[4096];
  for (;;) {
    const ssize_t n = ::read(fd, buffer, sizeof buffer);
    if (n > 0) {
      out.append(buffer, static_cast<std::size_t>(n));
    } else if (n < 0 && errno == EINTR) {
      continue;
    } else {
      return out;
    }
  }
}

// Runs a program with its output going to a scratch file rather than a pipe:
// a server the script leaves running must not keep us waiting for an end of
// file.
int Run(const std::vector<std::string>& argv, std::string* output) {
  char path[] = "/tmp/vantrel-lab-run-XXXXXX";
  const int log = ::mkostemp(path, O_CLOEXEC);
  if (log < 0) return -1;
  ::unlink(path);
  const pid_t child = ::fork();
  if (child < 0) {
    ::close(log);
    return -1;
  }
  if (child == 0) {
    const int devnull = ::open("/dev/null", O_RDONLY);
    if (devnull < 0 || ::dup2(devnull, 0) < 0 || ::dup2(log, 1) < 0 || ::dup2(log, 2) < 0) ::_exit(126);
    std::vector<char*> args;
    for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    ::execv(args[0], args.data());
    ::_exit(127);
  }
  int status = 0;
  while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
  }
  if (output) {
    ::lseek(log, 0, SEEK_SET);
    *output = ReadAll(log);
  }
  ::close(log);
  return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

ino_t InodeOf(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 ? st.st_ino : 0;
}

bool DropCapabilities() {
  __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
  __user_cap_data_struct data[_LINUX_CAPABILITY_U32S_3]{};
  if (::syscall(SYS_capset, &header, data) != 0) return false;
  if (::syscall(SYS_capget, &header, data) != 0) return false;
  for (const auto& d : data) {
    if (d.effective || d.permitted) return false;
  }
  return true;
}
}  // namespace

bool LabSession::IsRoot() { return ::geteuid() == 0; }

std::string LabSession::LabScript() { return std::string(VANTREL_SOURCE_DIR) + "/tools/lab"; }

LabSession::LabSession() {
  static std::atomic<int> counter{0};
  prefix_ = "vtp" + std::to_string(::getpid()) + "n" + std::to_string(++counter);
  RemoveStaleLabs();
}

LabSession::~LabSession() {
  Leave();
  Down();
}

namespace {
// "vtpPIDnK" or "vtpPIDnK-NAME": the prefix and the pid of the process that
// made it; nullopt for anybody else's name.
std::optional<std::pair<std::string, pid_t>> OwnerOf(const std::string& name) {
  const std::string prefix = name.substr(0, name.find('-'));
  const std::size_t n = prefix.find('n', 3);
  const auto digits = [](std::string_view s) {
    return !s.empty() && s.size() < 10 && s.find_first_not_of("0123456789") == std::string_view::npos;
  };
  if (prefix.rfind("vtp", 0) != 0 || n == std::string::npos) return std::nullopt;
  const std::string_view pid = std::string_view(prefix).substr(3, n - 3);
  if (!digits(pid) || !digits(std::string_view(prefix).substr(n + 1))) return std::nullopt;
  return std::make_pair(prefix, static_cast<pid_t>(std::stol(std::string(pid))));
}
}  // namespace

// Labs of test processes that died before they could remove them.
void LabSession::RemoveStaleLabs() {
  std::set<std::string> stale;
  for (const char* folder : {"/run/netns", "/run/vantrel-lab"}) {
    std::error_code ignored;
    for (const auto& entry : std::filesystem::directory_iterator(folder, ignored)) {
      const auto owner = OwnerOf(entry.path().filename().string());
      if (owner && ::kill(owner->second, 0) != 0 && errno == ESRCH) stale.insert(owner->first);
    }
  }
  for (const std::string& prefix : stale) Run({LabScript(), "--prefix", prefix, "down"}, nullptr);
}

int LabSession::Lab(const std::vector<std::string>& args, std::string* output) const {
  std::vector<std::string> argv{LabScript(), "--prefix", prefix_};
  argv.insert(argv.end(), args.begin(), args.end());
  return Run(argv, output);
}

bool LabSession::Up() {
  up_ = true;  // a failed up may have left pieces: Down removes them
  return Lab({"up"}, &log_) == 0;
}

void LabSession::Down() {
  if (!up_) return;
  if (Entered()) Fatal("refusing to take the lab down from inside it");
  std::string out;
  if (Lab({"down"}, &out) != 0)
    std::fprintf(stderr, "LabSession: down of %s failed: %s\n", prefix_.c_str(), out.c_str());
  up_ = false;
}

void LabSession::Fatal(const std::string& why) {
  std::fprintf(stderr, "LabSession %s: %s; stopping the test.\n", prefix_.c_str(), why.c_str());
  if (Entered()) {
    if (::setns(originalNet_, CLONE_NEWNET) == 0) {
      originalNet_ = -1;
      Run({LabScript(), "--prefix", prefix_, "down"}, nullptr);
    }
  } else if (up_) {
    Run({LabScript(), "--prefix", prefix_, "down"}, nullptr);
  }
  std::abort();
}

std::unique_ptr<LabSession> LabSession::UpAndEnter(std::string& failure) {
  auto lab = std::make_unique<LabSession>();
  if (!lab->Up()) {
    failure = "tools/lab up failed: " + lab->Log();
    return nullptr;
  }
  lab->EnterComputer();
  return lab;
}

void LabSession::EnterComputer() {
  if (!up_) Fatal("the lab is not up");
  if (Entered()) return;
  const std::string computer = "/run/netns/" + ComputerNamespace();
  const int target = ::open(computer.c_str(), O_RDONLY | O_CLOEXEC);
  originalNet_ = ::open("/proc/thread-self/ns/net", O_RDONLY | O_CLOEXEC);
  originalMount_ = ::open("/proc/thread-self/ns/mnt", O_RDONLY | O_CLOEXEC);
  if (target < 0 || originalNet_ < 0 || originalMount_ < 0) {
    if (target >= 0) ::close(target);
    originalNet_ = -1;
    Fatal("cannot open the namespaces: " + std::string(std::strerror(errno)));
  }
  if (::setns(target, CLONE_NEWNET) != 0) {
    const int error = errno;
    ::close(target);
    ::close(originalNet_);
    originalNet_ = -1;
    Fatal("setns into " + computer + " failed: " + std::strerror(error));
  }
  ::close(target);

  // The lab's resolver and sysfs, seen by this process only.
  if (::unshare(CLONE_NEWNS) != 0) Fatal(std::string("unshare of the mount namespace failed: ") + std::strerror(errno));
  if (::mount(nullptr, "/", nullptr, MS_SLAVE | MS_REC, nullptr) != 0) Fatal("cannot make / a slave mount");
  const std::string resolver = "/etc/netns/" + ComputerNamespace() + "/resolv.conf";
  if (::mount(resolver.c_str(), "/etc/resolv.conf", nullptr, MS_BIND, nullptr) != 0) {
    Fatal("cannot bind " + resolver + ": " + std::strerror(errno));
  }
  // Without the lab's sysfs, /sys/class/net would show the host's interfaces;
  // the code under test guards against that, so a failure here is no danger.
  if (::umount2("/sys", MNT_DETACH) != 0 || ::mount(prefix_.c_str(), "/sys", "sysfs", 0, nullptr) != 0) {
    std::fprintf(stderr, "LabSession: the lab's sysfs could not be mounted: %s\n", std::strerror(errno));
  }

  if (const std::string wrong = VerifyInside(); !wrong.empty()) Fatal("not in the lab: " + wrong);
}

std::string LabSession::VerifyInside() const {
  if (InodeOf("/proc/thread-self/ns/net") != InodeOf("/run/netns/" + ComputerNamespace())) {
    return "the network namespace is not " + ComputerNamespace();
  }
  const LabTopology& lab = Topology();
  bool haveAddress = false;
  ifaddrs* list = nullptr;
  if (::getifaddrs(&list) != 0) return "cannot list the interfaces";
  for (const ifaddrs* i = list; i; i = i->ifa_next) {
    if (i->ifa_addr && i->ifa_addr->sa_family == AF_INET) {
      char text[16]{};
      const auto* a = reinterpret_cast<const sockaddr_in*>(i->ifa_addr);
      const auto* b = reinterpret_cast<const unsigned char*>(&a->sin_addr.s_addr);
      std::snprintf(text, sizeof text, "%u.%u.%u.%u", b[0], b[1], b[2], b[3]);
      haveAddress = haveAddress || text == lab.computer.address;
    }
  }
  ::freeifaddrs(list);
  if (!haveAddress) return "no interface has " + lab.computer.address;
  std::ifstream routes("/proc/thread-self/net/route");
  std::string line;
  std::getline(routes, line);  // heading
  while (std::getline(routes, line)) {
    std::istringstream f(line);
    std::string device, destination, gateway, flags, refs, use, metric, mask;
    f >> device >> destination >> gateway >> flags >> refs >> use >> metric >> mask;
    if (destination == "00000000" && mask == "00000000") return "there is a default route";
  }
  std::ifstream resolver("/etc/resolv.conf");
  const std::string conf((std::istreambuf_iterator<char>(resolver)), std::istreambuf_iterator<char>());
  if (conf.find("nameserver " + lab.router.address) == std::string::npos) {
    return "/etc/resolv.conf is not the lab's";
  }
  return {};
}

void LabSession::Leave() {
  if (!Entered()) return;
  // Refused while another thread shares this one's filesystem context (the
  // ThreadSanitizer's own thread does): the lab's resolver then stays visible
  // to this process, which does no harm to taking the lab down.
  if (::setns(originalMount_, CLONE_NEWNS) != 0) {
    std::fprintf(stderr, "LabSession: back to the mount namespace failed: %s\n", std::strerror(errno));
  }
  ::close(originalMount_);
  originalMount_ = -1;
  if (::setns(originalNet_, CLONE_NEWNET) != 0) {
    const int error = errno;
    // Taking the lab down from inside would kill this very process.
    std::fprintf(stderr, "LabSession: back to the host namespace failed: %s\n", std::strerror(error));
    std::abort();
  }
  ::close(originalNet_);
  originalNet_ = -1;
}

bool LabSession::RunUnprivileged(const std::function<std::string()>& body, std::string* result) {
  int channel[2];
  if (::pipe2(channel, O_CLOEXEC) != 0) return false;
  const pid_t child = ::fork();
  if (child < 0) {
    ::close(channel[0]);
    ::close(channel[1]);
    return false;
  }
  if (child == 0) {
    ::close(channel[0]);
    if (::setgroups(0, nullptr) != 0 || ::setresgid(kNobody, kNobody, kNobody) != 0 ||
        ::setresuid(kNobody, kNobody, kNobody) != 0 || ::geteuid() != kNobody || !DropCapabilities()) {
      ::_exit(3);
    }
    const std::string text = body();
    const ssize_t written = ::write(channel[1], text.data(), text.size());
    ::_exit(written == static_cast<ssize_t>(text.size()) ? 0 : 4);
  }
  ::close(channel[1]);
  const std::string text = ReadAll(channel[0]);
  ::close(channel[0]);
  int status = 0;
  while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
  }
  if (result) *result = text;
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}
