#pragma once

#include <cstdint>
#include <optional>
#include <span>

// Reads a DNS answer message as the resolver library hands it back.
class DnsAnswer {
 public:
  // The address of the first A record (class IN) of the answer section, in
  // network byte order. An answer that starts with a CNAME chain gives the
  // address its A record carries, never the alias name's bytes read as one.
  static std::optional<std::uint32_t> FirstA(std::span<const std::uint8_t> message);
};
