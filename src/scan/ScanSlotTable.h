#pragma once

#include "scan/ScanSlot.h"

// The process-wide table of exactly 254 slots, numbered 1 to 254, cleared at
// start. Slot k belongs to the controller while it fills it, to the worker from
// the worker's start until its notification, and to the controller again while
// it handles that notification; the Start action is refused while any answer is
// outstanding, so no slot is ever shared by two live workers.
class ScanSlotTable {
 public:
  static constexpr int kSlots = 254;
  // k in 1..254.
  static ScanSlot& Slot(int k);
};
