#include "vendors/VendorLookup.h"

#include <array>
#include <string_view>

#include "toolkit/DataFile.h"

namespace {
struct MakerFamily {
  std::string_view prefix;
  std::string_view label;
  long style;
};

// Inside the maker's own 28-bit block 0AC5D2E.
constexpr std::array<MakerFamily, 4> kMakerFamilies{{
    {"0AC5D2E0", "** Norvex NVR, DVR or IP Camera **", VendorLookup::kMakerStyle},
    {"0AC5D2E1", "** Sendora **", VendorLookup::kSendoraStyle},
    {"0AC5D2E2", "** Visorn/Lumarc Intelligent Camera **", VendorLookup::kMakerStyle},
    {"0AC5D2E3", "** Brakka DVR **", VendorLookup::kMakerStyle},
}};

constexpr std::size_t kWorkingWidth = 20;
constexpr std::size_t kKeyWidth = 9;
constexpr std::array<std::size_t, 3> kBlockDigits{9, 7, 6};  // MA-S, MA-M, MA-L
constexpr std::size_t kVendorColumn = 1;

// Space-padded or cut to width bytes; a cut never splits a UTF-8 sequence.
std::string Fixed(std::string_view text, std::size_t width) {
  std::string out = kwTools::CutUtf8(text, width);
  out.resize(width, ' ');
  return out;
}
}  // namespace

VendorLookup::VendorLookup(DataFile& vendors) : vendors_(vendors) {}

void VendorLookup::LookupVendor(std::string mac, std::size_t capacity, std::string& description,
                                std::uint8_t& makerFlag, long& ipStyle, long& descriptionStyle, long& macStyle) {
  makerFlag = 0;
  ipStyle = descriptionStyle = macStyle = kOrdinaryStyle;
  if (kwTools::Clip(mac).empty()) return;

  // Only colons go, and no letter case changes: the probes always write upper
  // case with colons, so anything else is not a MAC text of ours and misses.
  const std::string digits = Fixed(tools_.ReplaceAll(":", std::move(mac), ""), kWorkingWidth);
  const std::string_view first8 = std::string_view(digits).substr(0, 8);
  for (const MakerFamily& family : kMakerFamilies) {
    if (first8 == family.prefix) {
      description = Fixed(family.label, capacity);
      makerFlag = 1;
      ipStyle = descriptionStyle = macStyle = family.style;
      return;
    }
  }

  for (const std::size_t length : kBlockDigits) {
    const std::string key = Fixed(std::string_view(digits).substr(0, length), kKeyWidth);
    if (vendors_.Fetch({key}) && vendors_.ErrorCode() == 0) {
      description = Fixed(vendors_.Field(kVendorColumn), capacity);
      return;
    }
  }
}
