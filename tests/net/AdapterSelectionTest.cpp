#include <arpa/inet.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "net/AdapterSelection.h"

namespace {
AdapterRecord Ethernet(const std::string& name, const char* address, int status = AdapterRecord::kStatusUp) {
  AdapterRecord r;
  r.systemName = name;
  r.friendlyName = name + " port";
  r.interfaceIndex = 7;
  r.type = AdapterRecord::kTypeEthernet;
  r.operStatus = status;
  r.hardwareAddress = {0x00, 0x1a, 0x2b, 0x3c, 0x4d, 0x5e};
  r.staticAddress = address;
  r.staticMask = "255.255.255.0";
  r.unicastAddresses = {::inet_addr(address)};
  return r;
}

AdapterRecord Wireless(const std::string& name, int status) {
  AdapterRecord r = Ethernet(name, "192.168.8.20", status);
  r.type = AdapterRecord::kTypeWireless;
  return r;
}

std::vector<std::string> Names(const std::vector<AdapterEntry>& entries) {
  std::vector<std::string> names;
  for (const auto& e : entries) names.push_back(e.SZUID);
  return names;
}

TEST(AdapterKeepRule, ChoosesByKindStateAndTheWirelessFlag) {
  AdapterRecord loopback = Ethernet("lo", "127.0.0.1");
  loopback.type = AdapterRecord::kTypeLoopback;
  AdapterRecord tunnel = Ethernet("tun0", "10.8.0.2");
  tunnel.type = AdapterRecord::kTypeOther;
  AdapterRecord nameless = Ethernet("", "10.1.1.1");
  const std::vector<AdapterRecord> records = {
      loopback,
      Ethernet("eth0", "10.77.0.2"),
      Ethernet("eth1", "192.168.50.2", AdapterRecord::kStatusDown),
      Ethernet("eth2", "192.168.60.2", 7),  // neither up nor down
      Wireless("wlan0", AdapterRecord::kStatusUp),
      Wireless("wlan1", AdapterRecord::kStatusDown),
      tunnel,
      nameless,
  };
  EXPECT_EQ(Names(AdapterSelection::Select(records, true)), (std::vector<std::string>{"eth0", "eth1", "wlan0"}));
  EXPECT_EQ(Names(AdapterSelection::Select(records, false)), (std::vector<std::string>{"eth0", "eth1"}));
}

TEST(AdapterKeepRule, ExaminesOnlyTheFirstTwentyRecords) {
  std::vector<AdapterRecord> records;
  for (int i = 0; i < 19; ++i) {
    AdapterRecord r = Ethernet("dummy" + std::to_string(i), "10.0.0.1");
    r.type = AdapterRecord::kTypeOther;
    records.push_back(r);
  }
  records.push_back(Ethernet("twentieth", "10.0.0.20"));
  records.push_back(Ethernet("twenty-first", "10.0.0.21"));
  EXPECT_EQ(Names(AdapterSelection::Select(records, true)), (std::vector<std::string>{"twentieth"}));
}

TEST(AdapterKeepRule, LeavesOutAdaptersWithoutAConfiguredAddress) {
  AdapterRecord leased = Ethernet("dhcp", "192.168.1.40");
  leased.dhcpEnabled = true;
  leased.dhcpAddress = "192.168.1.40";
  AdapterRecord waiting = leased;
  waiting.systemName = "waiting";
  waiting.dhcpAddress = "0.0.0.0";
  AdapterRecord blank = Ethernet("blank", "10.0.0.1");
  blank.staticAddress = "   ";
  AdapterRecord unset = Ethernet("unset", "10.0.0.1");
  unset.staticAddress.clear();
  const auto kept = AdapterSelection::Select({waiting, blank, unset, leased}, true);
  ASSERT_EQ(Names(kept), (std::vector<std::string>{"dhcp"}));
  EXPECT_EQ(kept[0].SZIPADDRESS, "192.168.1.40");
  EXPECT_EQ(kept[0].SZSUBNETMASK, "");  // a DHCP adapter shows no mask
}

TEST(AdapterKeepRule, FillsTheEntryFromTheRecord) {
  AdapterRecord r = Ethernet("eth0", "10.77.0.2");
  r.unicastAddresses = {::inet_addr("10.77.0.2"), ::inet_addr("192.168.77.5")};
  r.hardwareAddress = {0x02, 0x77, 0x00, 0xab, 0xcd, 0xef, 0x11, 0x22, 0x33};
  r.friendlyName = std::string(200, 'N');
  AdapterRecord utf8 = Ethernet("eth1", "10.0.0.2");
  utf8.friendlyName = std::string(126, 'a') + "\xc3\xa9" + "b";  // "é" straddles the cut
  const auto kept = AdapterSelection::Select({r, utf8}, false);
  ASSERT_EQ(kept.size(), 2u);
  const AdapterEntry& e = kept[0];
  EXPECT_EQ(e.SZNAME, std::string(127, 'N'));
  EXPECT_EQ(e.SZUID, "eth0");
  EXPECT_EQ(e.SZIPADDRESS, "10.77.0.2");
  EXPECT_EQ(e.SZSUBNETMASK, "255.255.255.0");
  EXPECT_EQ(e.SZPHYSICALADDRESS, "02:77:00:AB:CD:EF");
  EXPECT_EQ(e.DWIFINDEX, 7);
  EXPECT_EQ(e.BYPHYSICALADDRESS, (std::array<std::uint8_t, 8>{0x02, 0x77, 0x00, 0xab, 0xcd, 0xef, 0x11, 0x22}));
  EXPECT_EQ(e.IPADDRESSQ, (std::vector<std::string>{"10.77.0.2", "192.168.77.5"}));
  EXPECT_EQ(kept[1].SZNAME, std::string(126, 'a'));
}
}  // namespace
