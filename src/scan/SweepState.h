#pragma once

#include <string>

// What the main window keeps for scanning: the range inputs as the user sees them.
struct SweepState {
  std::string SADAPTER_NAME;
  std::string SADAPTER_ADDRESS;
  std::string SADDRESS_INPUT;          // the start address, dotted, as typed
  long DWADDRESSES = 254;              // 1 to 254 from the entry control; derived values may be 0 or less
  unsigned char BYSCANMETHOD = 1;      // 1 "Ping", 2 "ARP"
  unsigned char BYFINDNEWDEVICES = 0;  // "Look for New Devices"
};
