#pragma once

#include <cstdint>

// One ICMP echo on a socket of its own: an ICMP datagram socket where
// net.ipv4.ping_group_range lets the caller have one, else a raw socket when
// the process holds CAP_NET_RAW. Called by Pingcl on its worker's thread;
// blocks for at most the timeout; owns nothing beyond the call.
class EchoSocket {
 public:
  static constexpr int kTimeToLive = 32;

  // The round trip in milliseconds (at least 1) when the target itself
  // answered; 0 for no socket, a send that failed, an ICMP error or silence.
  static long Exchange(std::uint32_t target, long timeoutMilliseconds);
};
