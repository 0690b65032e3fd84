#include <gtest/gtest.h>

#include "scan/DeviceLists.h"

namespace {
// Maker devices are those whose MAC starts 0A:C5; everything else is ordinary.
void FakeLookup(const std::string& mac, DeviceRow& row) {
  if (mac.rfind("0A:C5", 0) == 0) {
    row.SVENDOR = "** Maker **";
    row.BYQUARNEL_ITEM = 1;
    row.STYLE_COLUMN1 = row.STYLE_COLUMN2 = row.STYLE_COLUMN3 = 3;
  } else if (!mac.empty()) {
    row.SVENDOR = "Vendor of " + mac;
  }
}

std::vector<std::string> Addresses(const std::vector<DeviceRow>& rows) {
  std::vector<std::string> out;
  for (const auto& r : rows) out.push_back(r.SIPADDRESS);
  return out;
}

TEST(DeviceLists, RowsAreKeptInAddressOrder) {
  DeviceLists lists(FakeLookup);
  lists.StartSweep(false);
  lists.FileAnswer("192.168.1.20", "00:00:00:00:00:20", false);
  lists.FileAnswer("192.168.1.3", "00:00:00:00:00:03", false);
  lists.FileAnswer("192.168.1.100", "00:00:00:00:00:64", false);
  EXPECT_EQ(Addresses(lists.FoundDeviceQ), (std::vector<std::string>{"192.168.1.3", "192.168.1.20", "192.168.1.100"}));
  EXPECT_EQ(Addresses(lists.DisplayQ), Addresses(lists.FoundDeviceQ));
  EXPECT_EQ(lists.FoundDeviceQ[0].SVENDOR, "Vendor of 00:00:00:00:00:03");

  // The key weighs the last octet most: another block's .3 sorts before this block's .20.
  lists.FileAnswer("192.168.2.3", "00:00:00:00:02:03", false);
  EXPECT_EQ(Addresses(lists.FoundDeviceQ),
            (std::vector<std::string>{"192.168.1.3", "192.168.2.3", "192.168.1.20", "192.168.1.100"}));
}

TEST(DeviceLists, ShowAllFilterKeepsOnlyMakerRows) {
  DeviceLists lists(FakeLookup);
  lists.BYSHOWALL = 0;
  lists.StartSweep(false);
  EXPECT_FALSE(lists.FileAnswer("10.0.0.5", "00:11:22:33:44:55", false));  // hidden: no rebuild
  EXPECT_TRUE(lists.DisplayQ.empty());
  EXPECT_TRUE(lists.FileAnswer("10.0.0.9", "0A:C5:D2:E0:00:09", false));
  EXPECT_EQ(Addresses(lists.DisplayQ), std::vector<std::string>{"10.0.0.9"});
  lists.BYSHOWALL = 1;
  lists.RebuildDisplayQ();
  EXPECT_EQ(lists.DisplayQ.size(), 2u);
}

TEST(DeviceLists, DevicesWithoutMacAreKeptApartByAddress) {
  DeviceLists lists(FakeLookup);
  lists.StartSweep(false);
  lists.FileAnswer("10.78.0.10", "", false);
  lists.FileAnswer("10.78.0.11", "", false);
  lists.FileAnswer("10.78.0.10", "", false);  // the same device again: one row
  EXPECT_EQ(Addresses(lists.FoundDeviceQ), (std::vector<std::string>{"10.78.0.10", "10.78.0.11"}));
  EXPECT_EQ(lists.FoundDeviceQ[0].SVENDOR, "");
}

TEST(DeviceLists, NewDevicesAcrossSweeps) {
  DeviceLists lists(FakeLookup);
  lists.StartSweep(false);
  lists.FileAnswer("10.0.0.1", "00:00:00:00:00:01", false);
  lists.FileAnswer("10.0.0.2", "00:00:00:00:00:02", false);
  EXPECT_TRUE(lists.NewDeviceQ.empty());

  lists.StartSweep(true);  // "Look for New Devices" on: the lists are kept
  EXPECT_EQ(lists.FoundDeviceQ.size(), 2u);
  lists.FileAnswer("10.0.0.3", "00:00:00:00:00:03", true);
  lists.FileAnswer("10.0.0.1", "00:00:00:00:00:01", true);
  lists.FileAnswer("10.0.0.9", "00:00:00:00:00:02", true);  // moved since the first sweep
  lists.FileAnswer("10.0.0.7", "00:00:00:00:00:02", true);  // and answers twice in this sweep
  lists.FileAnswer("10.0.0.3", "00:00:00:00:00:03", true);  // found twice in one sweep: filed once
  EXPECT_EQ(Addresses(lists.NewDeviceQ), std::vector<std::string>{"10.0.0.3"});
  EXPECT_EQ(Addresses(lists.FoundDeviceQ), (std::vector<std::string>{"10.0.0.1", "10.0.0.3", "10.0.0.9"}));
  EXPECT_EQ(Addresses(lists.DisplayQ), Addresses(lists.FoundDeviceQ));

  lists.StartSweep(false);  // box off: everything starts again
  EXPECT_TRUE(lists.FoundDeviceQ.empty());
  EXPECT_TRUE(lists.DisplayQ.empty());
  EXPECT_TRUE(lists.NewDeviceQ.empty());
}
}  // namespace
