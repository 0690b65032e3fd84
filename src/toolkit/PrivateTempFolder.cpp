#include "toolkit/PrivateTempFolder.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

namespace {
std::string Env(const char* name) {
  const char* v = std::getenv(name);
  return v ? std::string(v) : std::string();
}

std::string WithoutTrailingSlashes(std::string s) {
  while (s.size() > 1 && s.back() == '/') s.pop_back();
  return s;
}
}  // namespace

PrivateTempFolder::Result PrivateTempFolder::Locate() {
  const std::string runtime = Env("XDG_RUNTIME_DIR");
  if (!runtime.empty() && runtime.front() == '/') return Ensure(WithoutTrailingSlashes(runtime) + "/vantrel");
  std::string base = Env("TMPDIR");
  if (base.empty() || base.front() != '/') base = "/tmp";
  return Ensure(WithoutTrailingSlashes(base) + "/vantrel-" + std::to_string(::getuid()));
}

PrivateTempFolder::Result PrivateTempFolder::Ensure(const std::string& folder) {
  const std::string dir = WithoutTrailingSlashes(folder);
  if (::mkdir(dir.c_str(), 0700) != 0 && errno != EEXIST) return {{}, errno};

  // Open without following a link, then judge what was actually opened, so that
  // nothing can be swapped in between the check and the use.
  const int fd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
  if (fd < 0) return {{}, errno == ENOTDIR || errno == ELOOP ? ENOTDIR : errno};
  struct stat st {};
  int error = 0;
  if (::fstat(fd, &st) != 0) {
    error = errno;
  } else if (st.st_uid != ::geteuid()) {
    error = EPERM;
  } else if ((st.st_mode & 077) != 0 && ::fchmod(fd, 0700) != 0) {
    error = errno;
  }
  ::close(fd);
  if (error != 0) return {{}, error};
  return {dir + "/", 0};
}
