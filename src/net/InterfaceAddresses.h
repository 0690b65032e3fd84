#pragma once

#include "net/AdapterEntry.h"

// Adds and removes IPv4 addresses on an interface through rtnetlink. The kernel
// keeps them until they are removed, the link is reset or the machine restarts.
// Both need CAP_NET_ADMIN; both wait for the kernel's acknowledgement.
class InterfaceAddresses {
 public:
  // Fails when the address is already on the interface.
  [[nodiscard]] static bool Add(const AddressHandle& handle);
  [[nodiscard]] static bool Remove(const AddressHandle& handle);
};
