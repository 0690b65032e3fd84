#pragma once

#include <cstdint>
#include <span>
#include <string>

// The one way a hardware address is written everywhere in the program (the
// adapter list, the scan result, the device rows, the vendor lookup): each
// byte as two upper-case hexadecimal digits, joined by ":" when separators is
// true ("0A:C5:D2:E1:00:11").
class MacText {
 public:
  static std::string Format(std::span<const std::uint8_t> address, bool separators = true);
};
