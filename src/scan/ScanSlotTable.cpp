#include "scan/ScanSlotTable.h"

#include <cassert>

namespace {
ScanSlot gSlots[ScanSlotTable::kSlots] = {};
}  // namespace

ScanSlot& ScanSlotTable::Slot(int k) {
  assert(k >= 1 && k <= kSlots);
  return gSlots[k - 1];
}
