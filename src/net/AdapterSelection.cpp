#include "net/AdapterSelection.h"

#include <algorithm>

#include "net/Ipv4Text.h"
#include "toolkit/kwTools.h"

namespace {
constexpr std::size_t kAddressText = 19;
constexpr std::size_t kConfiguredText = 127;
constexpr std::size_t kMacText = 17;

std::string Cut(std::string s, std::size_t n) {
  if (s.size() > n) s.resize(n);
  return s;
}

// At most n bytes, without splitting a UTF-8 character in two.
std::string CutName(std::string s, std::size_t n) {
  if (s.size() <= n) return s;
  std::size_t end = n;
  while (end > 0 && (static_cast<unsigned char>(s[end]) & 0xC0) == 0x80) --end;
  s.resize(end);
  return s;
}
}  // namespace

bool AdapterSelection::Keeps(const AdapterRecord& r, bool includeWireless) {
  if (r.systemName.empty()) return false;
  if (r.type == AdapterRecord::kTypeEthernet) {
    return r.operStatus == AdapterRecord::kStatusUp || r.operStatus == AdapterRecord::kStatusDown;
  }
  return includeWireless && r.type == AdapterRecord::kTypeWireless && r.operStatus == AdapterRecord::kStatusUp;
}

std::vector<AdapterEntry> AdapterSelection::Select(const std::vector<AdapterRecord>& records, bool includeWireless) {
  const kwTools tools;
  std::vector<AdapterEntry> kept;
  const std::size_t examined = std::min(records.size(), kRecordsExamined);
  for (std::size_t i = 0; i < examined; ++i) {
    const AdapterRecord& r = records[i];
    if (!Keeps(r, includeWireless)) continue;
    const std::string address = Cut(r.dhcpEnabled ? r.dhcpAddress : r.staticAddress, kConfiguredText);
    const std::string mask = r.dhcpEnabled ? std::string() : Cut(r.staticMask, kAddressText);
    const std::string clipped = kwTools::Clip(address);
    if (clipped.empty() || clipped == "0.0.0.0") continue;

    AdapterEntry e;
    for (const std::uint32_t a : r.unicastAddresses) e.IPADDRESSQ.push_back(Cut(Ipv4Text::Format(a), kAddressText));
    e.SZNAME = CutName(r.friendlyName, kNameLength);
    e.SZUID = Cut(r.systemName, kNameLength);
    e.SZIPADDRESS = Cut(address, kAddressText);
    e.SZSUBNETMASK = mask;
    e.DWIFINDEX = r.interfaceIndex;
    std::copy_n(r.hardwareAddress.begin(), std::min(r.hardwareAddress.size(), e.BYPHYSICALADDRESS.size()),
                e.BYPHYSICALADDRESS.begin());
    std::string mac;
    for (std::size_t b = 0; b < std::min(r.hardwareAddress.size(), e.BYPHYSICALADDRESS.size()); ++b) {
      if (b) mac += ':';
      mac += tools.ByteToHex(r.hardwareAddress[b]);
    }
    e.SZPHYSICALADDRESS = Cut(mac, kMacText);
    kept.push_back(std::move(e));
  }
  return kept;
}
