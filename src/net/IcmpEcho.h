#pragma once

#include <cstdint>
#include <span>
#include <vector>

// The echo request the probe sends and the judgement of what comes back, kept
// apart from the sockets so that both can be checked with bytes alone.
class IcmpEcho {
 public:
  static constexpr std::size_t kHeaderSize = 8;
  static constexpr std::size_t kPayloadSize = 32;

  enum class Verdict {
    Unrelated,  // somebody else's packet, or one that is not whole: keep waiting
    Reply,      // our echo, answered by the target itself
    Error,      // an ICMP error about our echo: there will be no answer
  };

  // Type 8 with the fixed payload "xABC" eight times and a valid checksum.
  static std::vector<std::uint8_t> BuildRequest(std::uint16_t id, std::uint16_t sequence);
  static std::uint16_t Checksum(std::span<const std::uint8_t> bytes);

  struct Expectation {
    std::uint32_t target = 0;  // network byte order
    std::uint16_t id = 0;
    std::uint16_t sequence = 0;
    bool checkId = true;  // a datagram socket's id is the kernel's to choose and to match
  };

  // Whether an echo request as the kernel hands it back with a queued error
  // (IP_RECVERR: our own ICMP header and data, no IP header) is ours. A raw
  // socket's error queue can hold errors about other sockets' echoes.
  static bool IsOurEcho(std::span<const std::uint8_t> echo, const Expectation& expected);

  // packet: what the socket delivered, starting with the IP header when
  // withIpHeader (raw sockets), else with the ICMP header; source: its sender.
  static Verdict Classify(std::span<const std::uint8_t> packet, bool withIpHeader, std::uint32_t source,
                          const Expectation& expected);
};
