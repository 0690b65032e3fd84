// Start-up cost of the vendor table and the cost of one lookup, printed as
// figures. Run through tools/bench-vendors. Works in a private scratch folder
// of its own, so a running program's table is never touched.

#include <sqlite3.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "toolkit/DataFile.h"
#include "toolkit/kwResource.h"
#include "toolkit/kwTools.h"
#include "vendors/VendorLookup.h"
#include "vendors/VendorTableFile.h"

namespace {
using Clock = std::chrono::steady_clock;
constexpr int kPrepareRuns = 30;

double Milliseconds(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }
double Microseconds(Clock::duration d) { return std::chrono::duration<double, std::micro>(d).count(); }

struct Summary {
  double median = 0, p99 = 0, max = 0, mean = 0;
};

Summary Summarise(std::vector<double> values) {
  Summary s;
  if (values.empty()) return s;
  std::sort(values.begin(), values.end());
  auto at = [&](double q) {
    return values[static_cast<std::size_t>(std::lround(q * static_cast<double>(values.size() - 1)))];
  };
  s.median = at(0.5);
  s.p99 = at(0.99);
  s.max = values.back();
  for (double v : values) s.mean += v;
  s.mean /= static_cast<double>(values.size());
  return s;
}

std::string Thousands(unsigned long long n) {
  std::string digits = std::to_string(n);
  for (int i = static_cast<int>(digits.size()) - 3; i > 0; i -= 3) digits.insert(static_cast<std::size_t>(i), ",");
  return digits;
}

// Prefixes of one length from the unpacked table, in key order.
std::vector<std::string> Prefixes(sqlite3* db, int digits) {
  std::vector<std::string> out;
  sqlite3_stmt* st = nullptr;
  sqlite3_prepare_v2(db, "SELECT rtrim(SID) FROM VendorTable WHERE length(rtrim(SID)) = ?1", -1, &st, nullptr);
  sqlite3_bind_int(st, 1, digits);
  while (sqlite3_step(st) == SQLITE_ROW) out.emplace_back(reinterpret_cast<const char*>(sqlite3_column_text(st, 0)));
  sqlite3_finalize(st);
  return out;
}

struct Mac {
  std::string text;
  const char* kind;
};

// A mix like a busy site's: mostly ordinary makers, some devices of the longer
// IEEE blocks, the maker's own devices, and randomised (locally administered)
// addresses that miss all three reads.
std::vector<Mac> MixedMacs(sqlite3* db) {
  std::mt19937 random(20240611);
  auto hex = [&](std::size_t n) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string s;
    for (std::size_t i = 0; i < n; ++i) s += kDigits[random() % 16];
    return s;
  };
  auto colons = [](const std::string& digits) {
    std::string s;
    for (std::size_t i = 0; i < 12; i += 2) s += (i ? ":" : "") + digits.substr(i, 2);
    return s;
  };
  const std::map<int, std::vector<std::string>> blocks = {
      {6, Prefixes(db, 6)}, {7, Prefixes(db, 7)}, {9, Prefixes(db, 9)}};
  const std::vector<std::pair<const char*, int>> plan = {
      {"maker", 1000}, {"MA-L", 4000}, {"MA-M", 1500}, {"MA-S", 1500}, {"unknown", 2000}};
  const std::map<std::string, int> digitsOf = {{"MA-L", 6}, {"MA-M", 7}, {"MA-S", 9}};
  std::vector<Mac> macs;
  for (const auto& [kind, count] : plan) {
    for (int i = 0; i < count; ++i) {
      std::string digits;
      if (std::string(kind) == "maker") {
        digits = "0AC5D2E" + std::to_string(i % 4) + hex(4);
      } else if (std::string(kind) == "unknown") {
        digits = "02" + hex(10);
      } else {
        const auto& list = blocks.at(digitsOf.at(kind));
        const std::string& prefix = list[random() % list.size()];
        digits = prefix + hex(12 - prefix.size());
      }
      macs.push_back({colons(digits), kind});
    }
  }
  std::shuffle(macs.begin(), macs.end(), random);
  return macs;
}
}  // namespace

int main() {
  std::string scratch = (std::filesystem::temp_directory_path() / "vantrel-bench-XXXXXX").string();
  if (!::mkdtemp(scratch.data())) {
    std::perror("mkdtemp");
    return 1;
  }
  ::setenv("XDG_RUNTIME_DIR", scratch.c_str(), 1);
  const kwTools tools;
  int status = 0;

  std::printf("Vendor table figures (%s build, SQLite %s)\n", VANTREL_BUILD_TYPE, sqlite3_libversion());
  {
    kwResource resources;
    const unsigned long packed = resources.LoadImage(std::string(VendorTableFile::kResourceName));
    const std::string table = VendorTableFile::Inflate(resources.RESOURCEINFO.SDATA);
    std::printf("  packed resource:   %12s bytes\n  unpacked table:    %12s bytes\n", Thousands(packed).c_str(),
                Thousands(table.size()).c_str());
    if (packed == 0 || table.empty()) {
      std::printf("the packed table is missing or damaged\n");
      std::filesystem::remove_all(scratch);
      return 1;
    }
  }

  // Prepare as the program runs it, then its steps one by one.
  std::vector<double> whole, load, inflate, write, open, check;
  for (int run = 0; run < kPrepareRuns; ++run) {
    VendorTableFile file;
    const auto t0 = Clock::now();
    file.Prepare();
    whole.push_back(Milliseconds(Clock::now() - t0));
    if (file.OpenResult() != 1) status = 1;
    file.Release();
  }
  const std::string path = tools.BuildPath(tools.GetTempPath(), VendorTableFile::kFileName);
  for (int run = 0; run < kPrepareRuns; ++run) {
    const auto t0 = Clock::now();
    kwResource resources;
    resources.LoadImage(std::string(VendorTableFile::kResourceName));
    const auto t1 = Clock::now();
    const std::string table = VendorTableFile::Inflate(resources.RESOURCEINFO.SDATA);
    const auto t2 = Clock::now();
    kwTools::DeleteFileSilently(path);
    tools.SaveToFile(table, path);
    const auto t3 = Clock::now();
    DataFile file(VendorTableFile::Layout(), path);
    const unsigned char opened = tools.OpenDataFile(file, DataFile::kReadWriteDenyNone, false, false);
    const auto t4 = Clock::now();
    tools.CloseDataFile(file, opened);
    load.push_back(Milliseconds(t1 - t0));
    inflate.push_back(Milliseconds(t2 - t1));
    write.push_back(Milliseconds(t3 - t2));
    open.push_back(Milliseconds(t4 - t3));

    // The integrity check that each open runs, alone on a fresh connection.
    sqlite3* db = nullptr;
    sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READWRITE, nullptr);
    const auto t5 = Clock::now();
    sqlite3_exec(db, "PRAGMA quick_check(1)", nullptr, nullptr, nullptr);
    check.push_back(Milliseconds(Clock::now() - t5));
    sqlite3_close(db);
  }
  const Summary w = Summarise(whole);
  std::printf(
      "\nPrepare (inflate, write, open), %d runs: median %.2f ms, max %.2f ms, first %.2f ms"
      "  [target < 50 ms: %s]\n",
      kPrepareRuns, w.median, w.max, whole.front(), w.median < 50 ? "met" : "MISSED");
  for (const auto& [name, values] :
       std::vector<std::pair<const char*, std::vector<double>*>>{{"load resource", &load},
                                                                 {"inflate", &inflate},
                                                                 {"write file", &write},
                                                                 {"open (OpenDataFile)", &open},
                                                                 {"  of which PRAGMA quick_check", &check}}) {
    const Summary s = Summarise(*values);
    std::printf("  %-30s median %7.2f ms, max %7.2f ms\n", name, s.median, s.max);
  }

  // Lookups on a freshly prepared table, as the window does them.
  VendorTableFile file;
  file.Prepare();
  sqlite3* db = nullptr;
  sqlite3_open_v2(file.Path().c_str(), &db, SQLITE_OPEN_READONLY, nullptr);
  std::printf("\nRows by block size:\n");
  for (const auto& [digits, name] : std::vector<std::pair<int, const char*>>{{6, "MA-L"}, {7, "MA-M"}, {9, "MA-S"}}) {
    std::printf("  %d digits (%s): %8s\n", digits, name, Thousands(Prefixes(db, digits).size()).c_str());
  }
  const std::vector<Mac> macs = MixedMacs(db);
  sqlite3_close(db);

  VendorLookup lookup(file.File());
  std::map<std::string, std::vector<double>> byKind;
  std::vector<double> all;
  std::size_t described = 0;
  for (int pass = 1; pass <= 2; ++pass) {
    all.clear();
    byKind.clear();
    described = 0;
    for (const Mac& mac : macs) {
      std::string description;
      std::uint8_t flag = 0;
      long a = 0, b = 0, c = 0;
      const auto t0 = Clock::now();
      lookup.LookupVendor(mac.text, VendorLookup::kDescriptionCapacity, description, flag, a, b, c);
      const double us = Microseconds(Clock::now() - t0);
      all.push_back(us);
      byKind[mac.kind].push_back(us);
      if (!description.empty()) ++described;
    }
    const Summary s = Summarise(all);
    std::printf(
        "\nLookupVendor, %s mixed MACs, pass %d%s: median %.2f us, p99 %.2f us, max %.2f us, mean %.2f us"
        "  [target median < 20 us: %s]\n",
        Thousands(macs.size()).c_str(), pass, pass == 1 ? " (first after Prepare)" : "", s.median, s.p99, s.max, s.mean,
        s.median < 20 ? "met" : "MISSED");
    for (const auto& [kind, values] : byKind) {
      const Summary k = Summarise(values);
      std::printf("  %-8s %5zu MACs: median %6.2f us, p99 %6.2f us\n", kind.c_str(), values.size(), k.median, k.p99);
    }
  }
  std::printf("  described: %zu of %zu\n", described, macs.size());
  file.Release();
  std::filesystem::remove_all(scratch);
  return status;
}
