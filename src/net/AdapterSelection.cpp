#include "net/AdapterSelection.h"

#include <algorithm>

#include "net/Ipv4Text.h"
#include "net/MacText.h"
#include "toolkit/kwTools.h"

namespace {
constexpr std::size_t kAddressText = 19;
constexpr std::size_t kConfiguredText = 127;
constexpr std::size_t kMacText = 17;
}  // namespace

bool AdapterSelection::Keeps(const AdapterRecord& r, bool includeWireless) {
  if (r.systemName.empty()) return false;
  if (r.type == AdapterRecord::kTypeEthernet) {
    return r.operStatus == AdapterRecord::kStatusUp || r.operStatus == AdapterRecord::kStatusDown;
  }
  return includeWireless && r.type == AdapterRecord::kTypeWireless && r.operStatus == AdapterRecord::kStatusUp;
}

std::vector<AdapterEntry> AdapterSelection::Select(const std::vector<AdapterRecord>& records, bool includeWireless) {
  std::vector<AdapterEntry> kept;
  const std::size_t examined = std::min(records.size(), kRecordsExamined);
  for (std::size_t i = 0; i < examined; ++i) {
    const AdapterRecord& r = records[i];
    if (!Keeps(r, includeWireless)) continue;
    const std::string address = kwTools::Cut(r.dhcpEnabled ? r.dhcpAddress : r.staticAddress, kConfiguredText);
    const std::string mask = r.dhcpEnabled ? std::string() : kwTools::Cut(r.staticMask, kAddressText);
    const std::string clipped = kwTools::Clip(address);
    if (clipped.empty() || clipped == "0.0.0.0") continue;

    AdapterEntry e;
    for (const std::uint32_t a : r.unicastAddresses)
      e.IPADDRESSQ.push_back(kwTools::Cut(Ipv4Text::Format(a), kAddressText));
    e.SZNAME = kwTools::CutUtf8(r.friendlyName, kNameLength);
    e.SZUID = kwTools::Cut(r.systemName, kNameLength);
    e.SZIPADDRESS = kwTools::Cut(address, kAddressText);
    e.SZSUBNETMASK = mask;
    e.DWIFINDEX = r.interfaceIndex;
    std::copy_n(r.hardwareAddress.begin(), std::min(r.hardwareAddress.size(), e.BYPHYSICALADDRESS.size()),
                e.BYPHYSICALADDRESS.begin());
    const std::size_t shown = std::min(r.hardwareAddress.size(), e.BYPHYSICALADDRESS.size());
    e.SZPHYSICALADDRESS = kwTools::Cut(MacText::Format(std::span(r.hardwareAddress).first(shown)), kMacText);
    kept.push_back(std::move(e));
  }
  return kept;
}
