#include "scan/VendorRowLookup.h"

#include "scan/DeviceRow.h"
#include "vendors/VendorLookup.h"

void VendorRowLookup::operator()(const std::string& mac, DeviceRow& row) const {
  // The cells are numbered as the list shows them: 1 address, 2 MAC, 3 description.
  lookup_->LookupVendor(mac, VendorLookup::kDescriptionCapacity, row.SVENDOR, row.BYQUARNEL_ITEM, row.STYLE_COLUMN1,
                        row.STYLE_COLUMN3, row.STYLE_COLUMN2);
}
