#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "toolkit/kwTools.h"

class DataFile;

// What a device row shows for a MAC address: the maker's own four device
// families by their fixed 8-digit prefixes, with a product label and a
// highlight style; every other device by the organisation that owns its block
// in the vendor table, the longest block first (MA-S 9 digits, MA-M 7, MA-L 6).
//
// Contract: called on the thread that owns the vendor table file (the main
// window's, or the headless front end's), once for each new row. It reports
// nothing: a table that is not open just misses. At most three keyed reads;
// the maker's prefixes need none.
class VendorLookup {
 public:
  static constexpr std::size_t kDescriptionCapacity = 64;
  // Style codes of the list cells.
  static constexpr long kOrdinaryStyle = 1;
  static constexpr long kSendoraStyle = 2;
  static constexpr long kMakerStyle = 3;

  // vendors: the VendorTable file (VendorTableFile::File()); not owned.
  explicit VendorLookup(DataFile& vendors);

  // mac: six upper-case hex pairs joined by ":", or empty. The flag and the
  // three styles are always set; the description only when something matched,
  // then space-padded or cut to capacity bytes.
  void LookupVendor(std::string mac, std::size_t capacity, std::string& description, std::uint8_t& makerFlag,
                    long& ipStyle, long& descriptionStyle, long& macStyle);

 private:
  DataFile& vendors_;
  kwTools tools_;
};
