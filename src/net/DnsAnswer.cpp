#include "net/DnsAnswer.h"

#include <cstring>

namespace {
constexpr std::size_t kHeader = 12;
constexpr std::uint16_t kTypeA = 1;
constexpr std::uint16_t kClassIn = 1;

std::uint16_t Read16(std::span<const std::uint8_t> m, std::size_t at) {
  return static_cast<std::uint16_t>(m[at] << 8 | m[at + 1]);
}

// The offset just past the name that starts at `at`; nullopt when it runs off
// the message. A compression pointer ends the name in place.
std::optional<std::size_t> SkipName(std::span<const std::uint8_t> m, std::size_t at) {
  while (at < m.size()) {
    const std::uint8_t length = m[at];
    if (length == 0) return at + 1;
    if ((length & 0xC0) == 0xC0) return at + 2 <= m.size() ? std::optional(at + 2) : std::nullopt;
    if (length & 0xC0) return std::nullopt;
    at += 1 + length;
  }
  return std::nullopt;
}
}  // namespace

std::optional<std::uint32_t> DnsAnswer::FirstA(std::span<const std::uint8_t> m) {
  if (m.size() < kHeader) return std::nullopt;
  if ((m[3] & 0x0F) != 0) return std::nullopt;  // RCODE: the server reported an error
  const std::uint16_t questions = Read16(m, 4);
  const std::uint16_t answers = Read16(m, 6);
  std::size_t at = kHeader;
  for (std::uint16_t i = 0; i < questions; ++i) {
    const auto end = SkipName(m, at);
    if (!end || *end + 4 > m.size()) return std::nullopt;
    at = *end + 4;
  }
  for (std::uint16_t i = 0; i < answers; ++i) {
    const auto end = SkipName(m, at);
    if (!end || *end + 10 > m.size()) return std::nullopt;
    const std::uint16_t type = Read16(m, *end);
    const std::uint16_t klass = Read16(m, *end + 2);
    const std::uint16_t length = Read16(m, *end + 8);
    const std::size_t data = *end + 10;
    if (data + length > m.size()) return std::nullopt;
    if (type == kTypeA && klass == kClassIn && length == 4) {
      std::uint32_t address = 0;
      std::memcpy(&address, m.data() + data, sizeof address);
      return address;
    }
    at = data + length;
  }
  return std::nullopt;
}
