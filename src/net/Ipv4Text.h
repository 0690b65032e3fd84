#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// Dotted IPv4 text as the probes and the address operations read it. Addresses
// are in network byte order throughout, as they travel in packets.
class Ipv4Text {
 public:
  // True when the text, trailing spaces aside, is a number once every "." is
  // removed: a dotted address is numeric, a host name and an empty text are not.
  static bool IsNumeric(std::string_view text);

  // Drops the leading zeros of every octet after the first (192.168.001.010 ->
  // 192.168.1.10, 10.20.30.0 stays), the result cut to 19 characters.
  static std::string CleanDotted(std::string_view text);

  // Exactly four decimal parts of one to three digits, each at most 255.
  // Anything else is no address: unlike inet_addr, "1.2.3.4.5" and "999.1.1.1"
  // never turn into 255.255.255.255, and "010" is ten, not octal eight.
  static std::optional<std::uint32_t> Parse(std::string_view text);

  // What a probe or an address operation aims at: numeric text cleaned and
  // parsed strictly; nullopt for a host name or text that is no address
  // (longer than 19 characters included).
  static std::optional<std::uint32_t> ParseNumeric(std::string_view text);

  static std::string Format(std::uint32_t address);

  // The prefix length of a contiguous mask; nullopt for a mask with holes.
  static std::optional<int> PrefixLength(std::uint32_t mask);
};
