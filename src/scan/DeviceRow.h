#pragma once

#include <cstdint>
#include <string>

#include "scan/IPv4.h"

// One row of the device lists. Texts are kept without padding; the vendor
// lookup pads the description to its capacity, and the views trim it.
struct DeviceRow {
  std::string SIPADDRESS;
  long STYLE_COLUMN1 = 1;
  std::string SMAC;
  long STYLE_COLUMN2 = 1;
  std::string SVENDOR;
  long STYLE_COLUMN3 = 1;
  Octets BYADDR{};  // the octets in written order
  std::uint8_t BYQUARNEL_ITEM = 0;
  // The sweep in which the row was last confirmed; lets a device that moved
  // between sweeps be followed without flapping between two addresses it
  // answers at within one sweep.
  unsigned sweep = 0;

  // The sort key: the first octet is the least significant byte, so within one
  // /24 the order is plain address order.
  std::uint32_t DWADDR() const {
    return static_cast<std::uint32_t>(BYADDR[0]) | static_cast<std::uint32_t>(BYADDR[1]) << 8 |
           static_cast<std::uint32_t>(BYADDR[2]) << 16 | static_cast<std::uint32_t>(BYADDR[3]) << 24;
  }
  void SetAddress(const std::string& address) {
    SIPADDRESS = address;
    BYADDR = IPv4::ParseIPv4(address);
  }
};
