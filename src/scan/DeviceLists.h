#pragma once

#include <functional>
#include <string>
#include <vector>

#include "scan/DeviceRow.h"

// Fills a new row's description, maker flag and styles from its MAC text.
// Called on the controller's thread only.
using VendorLookupFn = std::function<void(const std::string& mac, DeviceRow& row)>;

// Every device found so far, the devices new in this sweep, and the rows shown.
// A device is known by its MAC text; one that answered without a MAC (beyond a
// router) is known by its address instead, so each such device keeps its own row.
class DeviceLists {
 public:
  explicit DeviceLists(VendorLookupFn lookup);

  std::vector<DeviceRow> FoundDeviceQ;  // ascending DWADDR
  std::vector<DeviceRow> NewDeviceQ;    // in the order the answers were filed
  std::vector<DeviceRow> DisplayQ;      // FoundDeviceQ through the "Show All" filter
  unsigned char BYSHOWALL = 1;

  // At the start of a sweep: a sweep looking for new devices keeps what earlier
  // sweeps found.
  void StartSweep(bool findNewDevices);
  // Files one answer; true when DisplayQ was rebuilt.
  bool FileAnswer(const std::string& address, const std::string& mac, bool findNewDevices);
  void RebuildDisplayQ();
  // Takes a device as found by an earlier sweep (the headless front end's
  // --new-since list).
  void AddFound(DeviceRow row);

 private:
  DeviceRow BuildRow(const std::string& address, const std::string& mac) const;
  std::vector<DeviceRow>::iterator FindKnown(const std::string& address, const std::string& mac);
  bool Visible(const DeviceRow& row) const { return BYSHOWALL == 1 || row.BYQUARNEL_ITEM == 1; }
  void InsertInOrder(DeviceRow row);

  VendorLookupFn lookup_;
  unsigned sweep_ = 0;
};
