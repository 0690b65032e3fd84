#pragma once

#include <vector>

#include "net/AdapterEntry.h"
#include "net/AdapterRecord.h"

// The keep rule of the adapter list, apart from the system that supplies the
// records: Ethernet adapters that are up or down, wireless ones only when asked
// for and up, at most the first 20 records examined, and no adapter without a
// configured address (or with 0.0.0.0).
class AdapterSelection {
 public:
  static constexpr std::size_t kRecordsExamined = 20;
  static constexpr std::size_t kNameLength = 127;

  static std::vector<AdapterEntry> Select(const std::vector<AdapterRecord>& records, bool includeWireless);
  static bool Keeps(const AdapterRecord& record, bool includeWireless);
};
