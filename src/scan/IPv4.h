#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

using Octets = std::array<std::uint8_t, 4>;

// Dotted-address text and its four octets, the way the window's start field
// has always read them: lenient, never failing.
class IPv4 {
 public:
  static std::string FormatIPv4(const Octets& octets);
  // Fewer than three dots leave the middle octets 0 ("10.5" is 10.0.0.5); each
  // piece is reduced to 8 bits (300 becomes 44); an empty piece is 0.
  static Octets ParseIPv4(std::string_view text);
};
