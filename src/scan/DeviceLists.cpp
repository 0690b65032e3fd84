#include "scan/DeviceLists.h"

#include <algorithm>

DeviceLists::DeviceLists(VendorLookupFn lookup) : lookup_(std::move(lookup)) {}

void DeviceLists::StartSweep(bool findNewDevices) {
  ++sweep_;
  if (!findNewDevices) {
    DisplayQ.clear();
    FoundDeviceQ.clear();
  }
  NewDeviceQ.clear();
}

DeviceRow DeviceLists::BuildRow(const std::string& address, const std::string& mac) const {
  DeviceRow row;
  row.SetAddress(address);
  row.SMAC = mac;
  row.sweep = sweep_;
  if (lookup_) lookup_(mac, row);
  return row;
}

std::vector<DeviceRow>::iterator DeviceLists::FindKnown(const std::string& address, const std::string& mac) {
  return std::find_if(FoundDeviceQ.begin(), FoundDeviceQ.end(), [&](const DeviceRow& row) {
    return mac.empty() ? row.SMAC.empty() && row.SIPADDRESS == address : row.SMAC == mac;
  });
}

void DeviceLists::InsertInOrder(DeviceRow row) {
  // After the rows with an equal key, so equal keys keep their filing order.
  const auto at = std::upper_bound(FoundDeviceQ.begin(), FoundDeviceQ.end(), row.DWADDR(),
                                   [](std::uint32_t key, const DeviceRow& r) { return key < r.DWADDR(); });
  FoundDeviceQ.insert(at, std::move(row));
}

bool DeviceLists::FileAnswer(const std::string& address, const std::string& mac, bool findNewDevices) {
  const auto known = FindKnown(address, mac);
  if (known == FoundDeviceQ.end()) {
    DeviceRow row = BuildRow(address, mac);
    if (findNewDevices) NewDeviceQ.push_back(row);
    const bool visible = Visible(row);
    InsertInOrder(std::move(row));
    if (visible) RebuildDisplayQ();
    return visible;
  }
  if (known->sweep == sweep_) return false;  // a second answer in the same sweep is filed once
  known->sweep = sweep_;
  if (known->SIPADDRESS == address) return false;

  // The device moved since an earlier sweep: follow it, without calling it new.
  DeviceRow moved = std::move(*known);
  FoundDeviceQ.erase(known);
  moved.SetAddress(address);
  const bool visible = Visible(moved);
  InsertInOrder(std::move(moved));
  if (visible) RebuildDisplayQ();
  return visible;
}

void DeviceLists::RebuildDisplayQ() {
  DisplayQ.clear();
  for (const DeviceRow& row : FoundDeviceQ) {
    if (Visible(row)) DisplayQ.push_back(row);
  }
}

void DeviceLists::AddFound(DeviceRow row) {
  row.sweep = sweep_;
  InsertInOrder(std::move(row));
  RebuildDisplayQ();
}
