#pragma once

#include <cstdint>
#include <string>
#include <vector>

// One network adapter as the system describes it, before the keep rule chooses
// which adapters the program lists. The kinds and states use the numbers of
// the interface MIB, so that the rule reads the same on every system.
struct AdapterRecord {
  static constexpr int kTypeOther = 1;
  static constexpr int kTypeEthernet = 6;   // IF_TYPE_ETHERNET_CSMACD
  static constexpr int kTypeLoopback = 24;  // IF_TYPE_SOFTWARE_LOOPBACK
  static constexpr int kTypeWireless = 71;  // IF_TYPE_IEEE80211
  static constexpr int kStatusUp = 1;
  static constexpr int kStatusDown = 2;
  static constexpr int kStatusUnknown = 4;

  std::string systemName;    // the interface name
  std::string friendlyName;  // its alias when one is set, else its name
  long interfaceIndex = 0;
  int type = kTypeOther;
  int operStatus = kStatusUnknown;
  std::vector<std::uint8_t> hardwareAddress;
  std::vector<std::uint32_t> unicastAddresses;  // IPv4, network byte order, in the system's order

  // The configured address: for a DHCP-managed adapter its lease address (or
  // "0.0.0.0" before it has one), otherwise the static address and mask.
  bool dhcpEnabled = false;
  std::string dhcpAddress;
  std::string staticAddress;
  std::string staticMask;
};
