// vantrel-scan: the sweep without a window. The very same controller, workers,
// lists and vendor lookup as the main window, for scripts, installers'
// checklists and our own end-to-end tests.
#include <QCoreApplication>
#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "cli/HeadlessSweepView.h"
#include "cli/ScanCommand.h"
#include "scan/NetworkScanProbe.h"
#include "scan/SweepController.h"
#include "scan/VendorRowLookup.h"
#include "vendors/VendorLookup.h"
#include "vendors/VendorTableFile.h"

namespace {
constexpr int kUsageError = 2;

int Fail(const std::string& message) {
  std::fprintf(stderr, "vantrel-scan: %s\n", message.c_str());
  return kUsageError;
}
}  // namespace

int main(int argc, char* argv[]) {
  QCoreApplication app(argc, argv);
  std::string error;
  const auto options = ScanCommand::Parse(std::vector<std::string>(argv + 1, argv + argc), error);
  if (!options) return Fail(error + " (see --help)");
  if (options->help) {
    std::fputs(ScanCommand::Usage().c_str(), stdout);
    return 0;
  }
  std::vector<DeviceRow> earlier;
  if (!options->newSince.empty() && !ScanCommand::ReadDeviceList(options->newSince, earlier, error)) return Fail(error);

  VendorTableFile vendors;
  vendors.Prepare();
  VendorLookup lookup(vendors.File());
  HeadlessSweepView view;
  NetworkScanProbe probe;
  std::vector<DeviceRow> result;
  {
    SweepController controller(view, probe, VendorRowLookup(lookup));
    controller.SetPace(options->paceMs);
    controller.state.SADDRESS_INPUT = options->start;
    controller.state.DWADDRESSES = options->count;
    controller.state.BYSCANMETHOD = options->method;
    controller.lists.BYSHOWALL = options->makersOnly ? 0 : 1;
    if (!options->newSince.empty()) {
      // As if the earlier run had been this window's previous sweep, with
      // "Look for New Devices" ticked since.
      controller.lists.StartSweep(false);
      for (DeviceRow& row : earlier) controller.lists.AddFound(std::move(row));
      controller.state.BYFINDNEWDEVICES = 1;
    }
    controller.Start();
    if (!controller.ThreadQ.empty()) QCoreApplication::exec();

    if (options->newSince.empty()) {
      result = controller.lists.DisplayQ;
    } else {
      // As the New Devices window shows them: by address.
      for (const DeviceRow& row : controller.lists.NewDeviceQ) {
        if (!options->makersOnly || row.BYQUARNEL_ITEM) result.push_back(row);
      }
      std::stable_sort(result.begin(), result.end(),
                       [](const DeviceRow& a, const DeviceRow& b) { return a.DWADDR() < b.DWADDR(); });
    }
  }
  vendors.Release();
  std::fputs(ScanCommand::Render(result, options->format).c_str(), stdout);
  return 0;
}
