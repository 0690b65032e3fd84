#include "net/Ipv4Text.h"

#include <arpa/inet.h>

#include <algorithm>
#include <bit>

#include "toolkit/kwTools.h"

namespace {
constexpr std::size_t kAddressText = 19;
}

bool Ipv4Text::IsNumeric(std::string_view text) {
  const std::string clipped = kwTools::Clip(text);
  bool digit = false;
  for (const char c : clipped) {
    if (c == '.') continue;
    if (c < '0' || c > '9') return false;
    digit = true;
  }
  return digit;
}

std::string Ipv4Text::CleanDotted(std::string_view text) {
  const kwTools tools;
  std::string s = tools.ReplaceAll(".0", std::string(text), ".");
  s = tools.ReplaceAll("..", s, ".0.");
  if (!s.empty() && s.back() == '.') s += '0';
  if (s.size() > kAddressText) s.resize(kAddressText);
  return s;
}

std::optional<std::uint32_t> Ipv4Text::Parse(std::string_view text) {
  std::uint8_t octets[4]{};
  std::size_t part = 0, digits = 0;
  unsigned value = 0;
  for (std::size_t i = 0; i <= text.size(); ++i) {
    if (i == text.size() || text[i] == '.') {
      if (digits == 0 || part > 3 || value > 255) return std::nullopt;
      octets[part++] = static_cast<std::uint8_t>(value);
      digits = 0;
      value = 0;
      continue;
    }
    const char c = text[i];
    if (c < '0' || c > '9' || ++digits > 3) return std::nullopt;
    value = value * 10 + static_cast<unsigned>(c - '0');
  }
  if (part != 4) return std::nullopt;
  std::uint32_t address = 0;
  std::copy(std::begin(octets), std::end(octets), reinterpret_cast<std::uint8_t*>(&address));
  return address;
}

std::optional<std::uint32_t> Ipv4Text::ParseNumeric(std::string_view text) {
  const std::string clipped = kwTools::Clip(text);
  // Longer text is no address, and cutting it to size could make it one.
  if (clipped.size() > kAddressText || !IsNumeric(clipped)) return std::nullopt;
  return Parse(CleanDotted(clipped));
}

std::string Ipv4Text::Format(std::uint32_t address) {
  const auto* b = reinterpret_cast<const std::uint8_t*>(&address);
  return std::to_string(b[0]) + "." + std::to_string(b[1]) + "." + std::to_string(b[2]) + "." + std::to_string(b[3]);
}

std::optional<int> Ipv4Text::PrefixLength(std::uint32_t mask) {
  const std::uint32_t host = ntohl(mask);
  const int ones = std::countl_one(host);
  if (ones < 32 && (host << ones) != 0) return std::nullopt;
  return ones;
}
