#pragma once

#include <vector>

#include "net/AdapterRecord.h"

// Reads every network adapter of the system (of the calling thread's network
// namespace) with its IPv4 addresses from the kernel over rtnetlink, in
// interface-index order. No fixed-size buffer: the whole list is read, however
// many adapters there are. Empty when the kernel cannot be asked.
class AdapterReader {
 public:
  static std::vector<AdapterRecord> ReadAll();
};
