#include "net/Pingcl.h"

#include "net/DNSQuerycl.h"
#include "net/EchoSocket.h"
#include "net/Ipv4Text.h"
#include "net/MacText.h"
#include "net/NeighbourResolver.h"

Pingcl::Pingcl() : MYDNS(std::make_unique<DNSQuerycl>()) {}

Pingcl::~Pingcl() = default;

bool Pingcl::IsNumericAddress(const std::string& target) { return Ipv4Text::IsNumeric(target); }

long Pingcl::Ping(const std::string& target) {
  std::uint32_t destination = 0;
  if (IsNumericAddress(target)) {
    const auto parsed = Ipv4Text::ParseNumeric(target);
    if (!parsed) return 0;
    destination = *parsed;
  } else {
    destination = static_cast<std::uint32_t>(MYDNS->QueryA(target, 0));
  }
  if (destination == 0) return 0;
  return EchoSocket::Exchange(destination, DWTIMEOUT);
}

std::string Pingcl::GetMACAddress(const std::string& target, unsigned char separators) {
  const auto destination = Ipv4Text::ParseNumeric(target);
  if (!destination) return {};
  const auto mac = NeighbourResolver::Resolve(*destination);
  if (!mac) return {};
  return MacText::Format(*mac, separators != 0);
}
