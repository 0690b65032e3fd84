#pragma once

#include <memory>
#include <string>

class DNSQuerycl;

// The ping probe of one scan worker: one ICMP echo to the target, and the
// target's MAC address once it has answered. The worker constructs it for its
// single target on its own thread and destroys it before it ends; nothing is
// shared between probes.
class Pingcl {
 public:
  Pingcl();
  ~Pingcl();
  Pingcl(const Pingcl&) = delete;
  Pingcl& operator=(const Pingcl&) = delete;

  // The round trip in milliseconds (at least 1) when the target itself sent an
  // echo reply within DWTIMEOUT; 0 otherwise. A host name is looked up first;
  // text that is numeric but no address sends nothing.
  long Ping(const std::string& target);

  // The target's MAC address as six upper-case hexadecimal pairs, joined by ":"
  // when separators is non-zero; empty when the lookup fails.
  std::string GetMACAddress(const std::string& target, unsigned char separators);

  // True when the text with every "." removed is a number.
  static bool IsNumericAddress(const std::string& target);

  long DWTIMEOUT = 1000;
  std::unique_ptr<DNSQuerycl> MYDNS;
};
