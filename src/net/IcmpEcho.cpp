#include "net/IcmpEcho.h"

#include <netinet/in.h>

#include <algorithm>
#include <cstring>

namespace {
constexpr std::uint8_t kEchoReply = 0;
constexpr std::uint8_t kDestinationUnreachable = 3;
constexpr std::uint8_t kEchoRequest = 8;
constexpr std::uint8_t kTimeExceeded = 11;
constexpr std::uint8_t kParameterProblem = 12;
constexpr char kPattern[] = "xABC";

std::uint16_t Read16(std::span<const std::uint8_t> b, std::size_t at) {
  return static_cast<std::uint16_t>(b[at] << 8 | b[at + 1]);
}

std::uint32_t ReadAddress(std::span<const std::uint8_t> b, std::size_t at) {
  std::uint32_t a = 0;
  std::memcpy(&a, b.data() + at, sizeof a);
  return a;
}

// The IP header's length when the bytes start with a whole IPv4 header carrying
// ICMP; 0 otherwise.
std::size_t IcmpOffset(std::span<const std::uint8_t> b) {
  if (b.size() < 20 || (b[0] >> 4) != 4) return 0;
  const std::size_t ihl = static_cast<std::size_t>(b[0] & 0x0F) * 4;
  if (ihl < 20 || b.size() < ihl || b[9] != IPPROTO_ICMP) return 0;
  return ihl;
}

bool MatchesOurs(std::span<const std::uint8_t> icmp, const IcmpEcho::Expectation& e) {
  return (!e.checkId || Read16(icmp, 4) == e.id) && Read16(icmp, 6) == e.sequence;
}

bool PayloadIsOurs(std::span<const std::uint8_t> icmp) {
  if (icmp.size() < IcmpEcho::kHeaderSize + IcmpEcho::kPayloadSize) return false;
  for (std::size_t i = 0; i < IcmpEcho::kPayloadSize; ++i) {
    if (icmp[IcmpEcho::kHeaderSize + i] != static_cast<std::uint8_t>(kPattern[i % 4])) return false;
  }
  return true;
}
}  // namespace

std::vector<std::uint8_t> IcmpEcho::BuildRequest(std::uint16_t id, std::uint16_t sequence) {
  std::vector<std::uint8_t> packet(kHeaderSize + kPayloadSize, 0);
  packet[0] = kEchoRequest;
  packet[4] = static_cast<std::uint8_t>(id >> 8);
  packet[5] = static_cast<std::uint8_t>(id);
  packet[6] = static_cast<std::uint8_t>(sequence >> 8);
  packet[7] = static_cast<std::uint8_t>(sequence);
  for (std::size_t i = 0; i < kPayloadSize; ++i) packet[kHeaderSize + i] = static_cast<std::uint8_t>(kPattern[i % 4]);
  const std::uint16_t sum = Checksum(packet);
  packet[2] = static_cast<std::uint8_t>(sum >> 8);
  packet[3] = static_cast<std::uint8_t>(sum);
  return packet;
}

std::uint16_t IcmpEcho::Checksum(std::span<const std::uint8_t> bytes) {
  std::uint32_t sum = 0;
  std::size_t i = 0;
  for (; i + 1 < bytes.size(); i += 2) sum += static_cast<std::uint32_t>(bytes[i] << 8 | bytes[i + 1]);
  if (i < bytes.size()) sum += static_cast<std::uint32_t>(bytes[i] << 8);
  while (sum >> 16) sum = (sum & 0xFFFF) + (sum >> 16);
  return static_cast<std::uint16_t>(~sum);
}

bool IcmpEcho::IsOurEcho(std::span<const std::uint8_t> echo, const Expectation& expected) {
  return echo.size() >= kHeaderSize && echo[0] == kEchoRequest && MatchesOurs(echo, expected);
}

IcmpEcho::Verdict IcmpEcho::Classify(std::span<const std::uint8_t> packet, bool withIpHeader, std::uint32_t source,
                                     const Expectation& expected) {
  std::span<const std::uint8_t> icmp = packet;
  if (withIpHeader) {
    const std::size_t offset = IcmpOffset(packet);
    if (offset == 0) return Verdict::Unrelated;
    source = ReadAddress(packet, 12);
    icmp = packet.subspan(offset);
  }
  if (icmp.size() < kHeaderSize) return Verdict::Unrelated;

  const std::uint8_t type = icmp[0];
  if (type == kEchoReply) {
    // An echo reply from anybody else (a router answering for a target, a
    // broadcast answer) is not the target's answer.
    if (icmp[1] != 0 || source != expected.target || !MatchesOurs(icmp, expected) || !PayloadIsOurs(icmp)) {
      return Verdict::Unrelated;
    }
    return Verdict::Reply;
  }
  // Redirects and source quenches still let the echo through: only the errors
  // that drop it end the wait.
  if (type != kDestinationUnreachable && type != kTimeExceeded && type != kParameterProblem) {
    return Verdict::Unrelated;
  }
  // An error quotes the IP header and the first 8 bytes of the datagram it is
  // about: it is ours when that was our echo to our target.
  const std::span<const std::uint8_t> quoted = icmp.subspan(kHeaderSize);
  const std::size_t offset = IcmpOffset(quoted);
  if (offset == 0 || quoted.size() < offset + kHeaderSize) return Verdict::Unrelated;
  const std::span<const std::uint8_t> inner = quoted.subspan(offset);
  if (ReadAddress(quoted, 16) != expected.target || inner[0] != kEchoRequest || !MatchesOurs(inner, expected)) {
    return Verdict::Unrelated;
  }
  return Verdict::Error;
}
