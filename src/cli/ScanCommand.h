#pragma once

#include <optional>
#include <string>
#include <vector>

#include "scan/DeviceRow.h"

// The command line of vantrel-scan and what it prints: parsing is strict (a
// script must learn at once that it asked for something impossible), output
// is a table for people, CSV (RFC 4180) or JSON for programs.
class ScanCommand {
 public:
  enum class Format { Table, Csv, Json };

  struct Options {
    unsigned char method = 1;  // 1 ping, 2 arp
    long count = 0;            // 0 here: up to .254, as for an adapter's address
    int paceMs = 10;
    std::string newSince;
    bool makersOnly = false;
    Format format = Format::Table;
    std::string start;
    bool help = false;
  };

  // nullopt with a one-line reason in error when the arguments are not usable.
  static std::optional<Options> Parse(const std::vector<std::string>& args, std::string& error);
  static std::string Usage();

  static std::string Render(const std::vector<DeviceRow>& rows, Format format);
  // Reads a list written by --format json; false with a one-line reason otherwise.
  static bool ReadDeviceList(const std::string& path, std::vector<DeviceRow>& rows, std::string& error);
};
