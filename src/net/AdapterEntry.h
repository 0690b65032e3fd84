#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

// One adapter of kwIPcl's ADAPTERQ: what the main window lists and what the
// temporary-address operations act on.
struct AdapterEntry {
  std::string SZNAME;             // friendly name, at most 127 characters
  std::string SZIPADDRESS;        // the configured address, at most 19 characters
  std::string SZPHYSICALADDRESS;  // 00:1A:2B:3C:4D:5E
  std::string SZSUBNETMASK;       // the static mask; empty for a DHCP adapter
  std::string SZUID;              // the system name
  long DWIFINDEX = 0;
  std::array<std::uint8_t, 8> BYPHYSICALADDRESS{};
  std::vector<std::string> IPADDRESSQ;  // every IPv4 address of the adapter, dotted
};

// What removing an address this program added takes: the interface and the
// address with its prefix length.
struct AddressHandle {
  int interfaceIndex = 0;
  std::uint32_t address = 0;  // network byte order
  int prefixLength = 0;
};

// One entry of kwIPcl's NEWADDRESSQ.
struct TemporaryAddress {
  std::string SIPV4;  // the address as the caller gave it, at most 20 characters
  AddressHandle handle;
};
