#include "scan/IPv4.h"

namespace {
// The numeric value of a piece reduced to 8 bits; leading digits count, an
// empty or non-numeric piece is 0.
std::uint8_t Piece(std::string_view piece) {
  std::uint32_t value = 0;
  for (char c : piece) {
    if (c < '0' || c > '9') break;
    value = (value * 10 + static_cast<std::uint32_t>(c - '0')) & 0xFFFFFF;  // only the low 8 bits matter
  }
  return static_cast<std::uint8_t>(value & 0xFF);
}
}  // namespace

std::string IPv4::FormatIPv4(const Octets& o) {
  return std::to_string(o[0]) + "." + std::to_string(o[1]) + "." + std::to_string(o[2]) + "." + std::to_string(o[3]);
}

Octets IPv4::ParseIPv4(std::string_view text) {
  Octets octets{};
  for (int i = 0; i < 3; ++i) {
    const std::size_t dot = text.find('.');
    if (dot == std::string_view::npos) continue;
    octets[static_cast<std::size_t>(i)] = Piece(text.substr(0, dot));
    text.remove_prefix(dot + 1);
  }
  octets[3] = Piece(text);
  return octets;
}
