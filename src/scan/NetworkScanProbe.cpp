#include "scan/NetworkScanProbe.h"

#include <cstring>

#include "net/Pingcl.h"
#include "net/kwIPcl.h"

bool NetworkScanProbe::Ping(const char* target, char (&mac)[kMacSize]) {
  Pingcl ping;
  if (ping.Ping(target) == 0) return false;
  // Beyond a router there is no neighbour entry: answered, with an empty MAC.
  const std::string text = ping.GetMACAddress(target, 1);
  std::strncpy(mac, text.c_str(), kMacSize - 1);
  mac[kMacSize - 1] = '\0';
  return true;
}

bool NetworkScanProbe::Arp(const char* target, char (&mac)[kMacSize]) {
  kwIPcl ip;
  return ip.HasMACAddress(target, mac, kMacSize, 1) == 1;
}
