#pragma once

#include <memory>
#include <string>

class callDLLcl;

// Turns a host name into an IPv4 address with one type A query through the
// system's resolver library, loaded at run time. Owned by one Pingcl and so by
// one worker thread; the library handle is per object.
class DNSQuerycl {
 public:
  // The system's resolver library; the dynamic loader finds it in the system's
  // library folders.
  static constexpr const char* kLibraryName = "libresolv.so.2";

  DNSQuerycl();
  explicit DNSQuerycl(const std::string& libraryName);
  ~DNSQuerycl();
  DNSQuerycl(const DNSQuerycl&) = delete;
  DNSQuerycl& operator=(const DNSQuerycl&) = delete;

  // The address in network byte order, or 0 when the name does not resolve.
  // With showError 1 a failed query says so in a message box; a missing
  // library never does.
  long QueryA(const std::string& name, unsigned char showError);

  std::unique_ptr<callDLLcl> MYDLL;
};
