#pragma once

#include <cstddef>

// How a worker reaches the network. Called on worker threads, up to 254 at once:
// an implementation keeps no shared mutable state and builds its probe objects
// per call. Each call blocks for at most one probe (the echo timeout, or the
// system's own neighbour resolution time).
class ScanProbe {
 public:
  static constexpr std::size_t kMacSize = 32;

  virtual ~ScanProbe() = default;
  // One echo; when answered, the MAC address if the neighbour table can give it
  // (empty for a device beyond a router). True when the target answered.
  virtual bool Ping(const char* target, char (&mac)[kMacSize]) = 0;
  // One neighbour lookup. True when a hardware address was stored in mac.
  virtual bool Arp(const char* target, char (&mac)[kMacSize]) = 0;
};
