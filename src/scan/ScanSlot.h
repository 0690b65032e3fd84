#pragma once

#include <cstdint>

// One target handed from the controller to a worker and the finding handed back.
// The layout is fixed (73 bytes, no padding): the controller and the worker copy
// it whole, never field by field across threads.
#pragma pack(push, 1)
struct ScanSlot {
  std::int32_t DWINSTANCE;      // the slot's own number, 1 to 254
  std::int32_t DWPARENTTHREAD;  // thread whose controller receives the notification
  char SZTARGETIPV4[32];        // dotted target, NUL-terminated
  std::uint8_t BYRESULT;        // 1: answered (ping) or has a hardware address (ARP)
  char SZMACADDRESS[32];        // "00:1A:2B:3C:4D:5E" or empty, NUL-terminated
};
#pragma pack(pop)

static_assert(sizeof(ScanSlot) == 73, "ScanSlot is a fixed 73-byte record");
