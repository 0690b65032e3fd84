#pragma once

#include <string>

struct DeviceRow;
class VendorLookup;

// The one place that knows which of a row's fields the vendor lookup fills:
// the description, the maker flag, and the styles of the address, description
// and MAC cells. Both front ends hand it to their SweepController as the
// VendorLookupFn; it runs on the controller's thread.
class VendorRowLookup {
 public:
  // lookup: owned by the caller, outlives every sweep.
  explicit VendorRowLookup(VendorLookup& lookup) : lookup_(&lookup) {}

  void operator()(const std::string& mac, DeviceRow& row) const;

 private:
  VendorLookup* lookup_;
};
