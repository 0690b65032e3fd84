#pragma once

#include <array>
#include <cstdint>
#include <optional>

// The hardware address of an on-link IPv4 neighbour, found the way the kernel
// finds it: a route lookup decides whether the target is on a directly
// connected network at all (a gateway means no: fail at once); a valid entry of
// the neighbour table answers at once; otherwise one UDP datagram to the
// target's discard port starts the kernel's ARP, and the neighbour table's
// notifications tell when it resolved or failed, so the wait is bounded by the
// kernel's own resolution time (mcast_solicit x retrans_time of the interface).
// Works without privileges. Called by Pingcl and kwIPcl on their worker's
// thread; every call opens and closes its own sockets.
class NeighbourResolver {
 public:
  using HardwareAddress = std::array<std::uint8_t, 6>;

  // target in network byte order. For one of this computer's own addresses the
  // adapter's own hardware address is the answer.
  static std::optional<HardwareAddress> Resolve(std::uint32_t target);
};
