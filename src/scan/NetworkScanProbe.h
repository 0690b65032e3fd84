#pragma once

#include "scan/ScanProbe.h"

// The real probes: each call builds its own Pingcl or kwIPcl, uses it for the
// one target and destroys it, so no two workers share anything.
class NetworkScanProbe : public ScanProbe {
 public:
  bool Ping(const char* target, char (&mac)[kMacSize]) override;
  bool Arp(const char* target, char (&mac)[kMacSize]) override;
};
