#include <gtest/gtest.h>
#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>
#include <zlib.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <map>
#include <optional>

#include "support/RecordingMessagePresenter.h"
#include "support/ScratchFolder.h"
#include "toolkit/kwResource.h"
#include "toolkit/kwTools.h"
#include "vendors/VendorLookup.h"
#include "vendors/VendorTableFile.h"

namespace fs = std::filesystem;

namespace {
std::string ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteAll(const std::string& path, const std::string& data) { std::ofstream(path, std::ios::binary) << data; }

std::string Pack(const std::string& data) {
  uLongf size = compressBound(static_cast<uLong>(data.size()));
  std::string out(size, '\0');
  if (compress2(reinterpret_cast<Bytef*>(out.data()), &size, reinterpret_cast<const Bytef*>(data.data()),
                static_cast<uLong>(data.size()), Z_BEST_SPEED) != Z_OK) {
    return {};
  }
  out.resize(size);
  return out;
}

bool IsRegularFile(const std::string& path) {
  struct stat st {};
  return ::lstat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool Exists(const std::string& path) {
  struct stat st {};
  return ::lstat(path.c_str(), &st) == 0;
}

void Exec(const std::string& path, const std::string& sql) {
  sqlite3* db = nullptr;
  ASSERT_EQ(sqlite3_open(path.c_str(), &db), SQLITE_OK);
  ASSERT_EQ(sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr), SQLITE_OK) << sqlite3_errmsg(db);
  sqlite3_close(db);
}

// A small vendor table file of the shipped layout: enough rows for several
// tree pages, and one entry that the shipped table has under another name.
std::string MakeTable(const std::string& path, const std::string& nameOf001A2B) {
  DataFile file(VendorTableFile::Layout(), path);
  file.Create();
  std::string sql = "BEGIN;INSERT INTO VendorTable VALUES('001A2B   ', '" + nameOf001A2B + "');";
  for (int i = 0; i < 2000; ++i) {
    char sid[16];
    std::snprintf(sid, sizeof sid, "%06X   ", 0xF00000 + i);
    std::string name = "Vendor number " + std::to_string(i);
    name.resize(64, ' ');
    sql += "INSERT INTO VendorTable VALUES('" + std::string(sid) + "', '" + name + "');";
  }
  Exec(path, sql + "COMMIT;");
  return ReadAll(path);
}

// The packed table as compiled into the program, and unpacked.
const std::string& PackedTable() {
  static const std::string packed = [] {
    kwResource resources;
    return resources.LoadImage(std::string(VendorTableFile::kResourceName)) ? resources.RESOURCEINFO.SDATA
                                                                            : std::string();
  }();
  return packed;
}

const std::string& ShippedTable() {
  static const std::string table = VendorTableFile::Inflate(PackedTable());
  return table;
}

// Sets an environment variable for one scope.
class ScopedEnv {
 public:
  ScopedEnv(const char* name, const std::string& value) : name_(name) {
    if (const char* old = std::getenv(name)) old_ = old;
    ::setenv(name, value.c_str(), 1);
  }
  ~ScopedEnv() {
    if (old_) ::setenv(name_, old_->c_str(), 1);
    else ::unsetenv(name_);
  }
  ScopedEnv(const ScopedEnv&) = delete;
  ScopedEnv& operator=(const ScopedEnv&) = delete;

 private:
  const char* name_;
  std::optional<std::string> old_;
};

struct Shown {
  std::string maker;  // description of a Sendora device
  std::uint8_t makerFlag = 0;
  std::string vendor;  // description of an Ayecom (MA-L) device
};

Shown LookUp(VendorTableFile& table) {
  VendorLookup lookup(table.File());
  Shown shown;
  long a = 0, b = 0, c = 0;
  std::uint8_t flag = 0;
  lookup.LookupVendor("0A:C5:D2:E1:00:11", 64, shown.maker, shown.makerFlag, a, b, c);
  lookup.LookupVendor("00:1A:2B:3C:4D:5E", 64, shown.vendor, flag, a, b, c);
  shown.maker = kwTools::Clip(shown.maker);
  shown.vendor = kwTools::Clip(shown.vendor);
  return shown;
}

// Every test gets its own private temporary folder, so the table lands in
// scratch/vantrel/MAC-Vendors.tps.
class VendorTableFileTest : public ::testing::Test {
 protected:
  ScratchFolder scratch;
  ScopedEnv runtime{"XDG_RUNTIME_DIR", scratch.Path()};
  RecordingMessagePresenter messages;
  std::string folder = scratch / "vantrel";
  std::string path = folder + "/MAC-Vendors.tps";

  void SetUp() override {
    ASSERT_FALSE(PackedTable().empty()) << "the packed table is not compiled in";
    ASSERT_FALSE(ShippedTable().empty()) << "the packed table does not inflate";
    fs::create_directory(folder);
    fs::permissions(folder, fs::perms::owner_all, fs::perm_options::replace);
  }
};

TEST(VendorTableResource, IsTheCommittedPackedTableFoundWithoutRegardToCase) {
  kwResource resources;
  ASSERT_NE(resources.LoadImage("MAC-VENDORS-COMPRESSED_DAT"), 0u);
  EXPECT_EQ(resources.RESOURCEINFO.SDATA, ReadAll(VANTREL_VENDOR_RESOURCE));
  EXPECT_EQ(ShippedTable().rfind("SQLite format 3", 0), 0u);
}

TEST(VendorTableInflate, GrowsItsBufferWellPastFourMebibytes) {
  std::string big(20u * 1024 * 1024, ' ');
  for (std::size_t at = 0; at < big.size(); at += 1024 * 1024) {
    const std::string mark = "mebibyte " + std::to_string(at >> 20);
    big.replace(at, mark.size(), mark);
  }
  const std::string packed = Pack(big);
  ASSERT_LT(packed.size() * 8 * 16, big.size());  // the buffer has to double at least four times
  EXPECT_EQ(VendorTableFile::Inflate(packed), big);
  EXPECT_EQ(VendorTableFile::Inflate(packed.substr(0, packed.size() - 1)), "");  // the checksum is part of it
  EXPECT_EQ(VendorTableFile::Inflate(""), "");
}

TEST_F(VendorTableFileTest, UnpacksTheWholeTableAndLeavesNothingBehind) {
  VendorTableFile table;
  table.Prepare();
  EXPECT_EQ(table.Path(), path);
  EXPECT_EQ(table.File().Name(), path);
  ASSERT_EQ(table.OpenResult(), 1);
  ASSERT_TRUE(IsRegularFile(path));
  EXPECT_EQ(fs::status(path).permissions() & fs::perms::all, fs::perms::owner_read | fs::perms::owner_write);
  EXPECT_TRUE(ReadAll(path) == ShippedTable()) << "the file on disk is not exactly the unpacked table";

  // All three block sizes are there, not only the 24-bit ones.
  sqlite3* db = nullptr;
  ASSERT_EQ(sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READONLY, nullptr), SQLITE_OK);
  std::map<int, int> rows;
  sqlite3_stmt* count = nullptr;
  sqlite3_prepare_v2(db, "SELECT length(rtrim(SID)), count(*) FROM VendorTable GROUP BY 1", -1, &count, nullptr);
  while (sqlite3_step(count) == SQLITE_ROW) rows[sqlite3_column_int(count, 0)] = sqlite3_column_int(count, 1);
  sqlite3_finalize(count);
  sqlite3_close(db);
  EXPECT_GT(rows[6], 30000);
  EXPECT_GT(rows[7], 1000);
  EXPECT_GT(rows[9], 1000);
  EXPECT_EQ(rows.size(), 3u);

  const Shown shown = LookUp(table);
  EXPECT_EQ(shown.vendor, "Ayecom Technology Co., Ltd.");

  table.Release();
  EXPECT_FALSE(Exists(path));
  EXPECT_EQ(table.OpenResult(), 0);
  EXPECT_FALSE(table.File().IsOpen());
  table.Release();  // a second Release has nothing left to do
  EXPECT_TRUE(messages.shown.empty());
}

TEST_F(VendorTableFileTest, WritesExactlyTheInflatedLengthEvenWhenItEndsInSpaces) {
  // Cells fill a page from its end, so the last page of a table of padded
  // names ends in the padding of the first row stored there.
  const std::string database = MakeTable(scratch / "made.tps", "Trailing Spaces Ltd" + std::string(45, ' '));
  ASSERT_EQ(database.back(), ' ');
  VendorTableFile table;
  table.Prepare(Pack(database));
  ASSERT_EQ(table.OpenResult(), 1);
  EXPECT_EQ(fs::file_size(path), database.size());
  EXPECT_EQ(LookUp(table).vendor, "Trailing Spaces Ltd");
  EXPECT_TRUE(messages.shown.empty());
}

TEST_F(VendorTableFileTest, ReplacesAnyOldFileAtThePath) {
  const std::string staleTable = MakeTable(scratch / "stale.tps", "Stale Vendor From An Old Run");
  const std::map<std::string, std::function<void()>> olds = {
      {"text", [&] { WriteAll(path, "not a table at all"); }},
      {"empty file", [&] { WriteAll(path, ""); }},
      {"table of an earlier run", [&] { WriteAll(path, staleTable); }},
      {"read-only file", [&] { WriteAll(path, "x"), fs::permissions(path, fs::perms::owner_read); }},
      {"named pipe", [&] { ::mkfifo(path.c_str(), 0600); }},
      {"folder", [&] { fs::create_directory(path); }},
  };
  for (const auto& [what, plant] : olds) {
    SCOPED_TRACE(what);
    plant();
    ASSERT_TRUE(Exists(path));
    VendorTableFile table;
    table.Prepare();
    if (what == "folder") {
      // unlink leaves a folder alone: nothing is written, and the program runs on.
      EXPECT_EQ(table.OpenResult(), 0);
      EXPECT_EQ(LookUp(table).maker, "** Sendora **");
      table.Release();
      fs::remove(path);
      continue;
    }
    EXPECT_EQ(table.OpenResult(), 1);
    EXPECT_TRUE(IsRegularFile(path));
    EXPECT_TRUE(ReadAll(path) == ShippedTable());
    EXPECT_EQ(LookUp(table).vendor, "Ayecom Technology Co., Ltd.");
    table.Release();
    EXPECT_FALSE(Exists(path));
  }
  EXPECT_TRUE(messages.shown.empty());
}

TEST_F(VendorTableFileTest, NeverFollowsALinkPlantedAtThePath) {
  const std::string precious = scratch / "precious.txt";
  WriteAll(precious, "somebody else's file");
  const std::string nowhere = scratch / "created-through-a-link";
  for (const std::string& target : {precious, nowhere}) {
    SCOPED_TRACE(target);
    fs::create_symlink(target, path);
    VendorTableFile table;
    table.Prepare();
    EXPECT_EQ(table.OpenResult(), 1);
    EXPECT_TRUE(IsRegularFile(path));
    EXPECT_EQ(LookUp(table).vendor, "Ayecom Technology Co., Ltd.");
    table.Release();
    EXPECT_FALSE(Exists(path));
  }
  EXPECT_EQ(ReadAll(precious), "somebody else's file");
  EXPECT_FALSE(Exists(nowhere));
}

struct UnusableTable {
  const char* what;
  std::string resource;  // a resource name to look for, or
  std::string packed;    // the packed bytes to take instead
  bool fileWritten;
  const char* message;  // caption of the one message expected, or nullptr
};

TEST_F(VendorTableFileTest, RunsOnWithOnlyTheMakersLabelsWithoutAUsableTable) {
  const std::string small = MakeTable(scratch / "small.tps", "Ayecom Technology Co., Ltd.");
  std::string damaged = small;
  damaged.replace(3 * 4096, 4096, std::string(4096, '\x55'));  // one page of the tree
  Exec(scratch / "other.tps", "CREATE TABLE Other (A TEXT)");

  const UnusableTable cases[] = {
      {"resource missing", "No-Such-Table_dat", {}, false, nullptr},
      {"not a zlib stream", {}, "MAC vendors, but not packed", false, nullptr},
      {"truncated stream", {}, PackedTable().substr(0, PackedTable().size() / 2), false, nullptr},
      {"packed text that is no database", {}, Pack(std::string(10000, 'x')), true, nullptr},
      {"database of another layout", {}, Pack(ReadAll(scratch / "other.tps")), true, nullptr},
      // OpenDataFile always reports damaged keys, even when asked for silence.
      {"database with a damaged tree", {}, Pack(damaged), true, "Index/Key Error"},
  };
  for (const UnusableTable& c : cases) {
    SCOPED_TRACE(c.what);
    messages.shown.clear();
    VendorTableFile table(c.resource.empty() ? std::string(VendorTableFile::kResourceName) : c.resource);
    if (c.resource.empty()) table.Prepare(c.packed);
    else table.Prepare();
    EXPECT_EQ(table.OpenResult(), 0);
    EXPECT_EQ(Exists(path), c.fileWritten);
    const Shown shown = LookUp(table);
    EXPECT_EQ(shown.maker, "** Sendora **");
    EXPECT_EQ(shown.makerFlag, 1);
    EXPECT_EQ(shown.vendor, "");
    if (c.message) {
      ASSERT_EQ(messages.shown.size(), 1u);
      EXPECT_EQ(messages.shown[0].caption, c.message);
    } else {
      EXPECT_TRUE(messages.shown.empty());
    }
    table.Release();
    EXPECT_FALSE(Exists(path));
  }
}

TEST_F(VendorTableFileTest, WritesNothingWhenThePrivateFolderIsRefused) {
  // Somebody planted a link where the private folder belongs: GetTempPath says
  // so, and the table must not land beside the program instead.
  fs::remove(folder);
  const std::string elsewhere = scratch / "elsewhere";
  fs::create_directory(elsewhere);
  fs::create_directory_symlink(elsewhere, folder);
  const std::string besideProgram = kwTools::ProgramFolder() + "/MAC-Vendors.tps";
  ASSERT_FALSE(Exists(besideProgram));

  VendorTableFile table;
  table.Prepare();
  EXPECT_EQ(table.Path(), "");
  EXPECT_EQ(table.OpenResult(), 0);
  EXPECT_FALSE(Exists(besideProgram));
  EXPECT_TRUE(fs::is_empty(elsewhere));
  EXPECT_EQ(LookUp(table).maker, "** Sendora **");
  ASSERT_EQ(messages.shown.size(), 1u);
  EXPECT_EQ(messages.shown[0].caption, "kwTools.GetTempPath");
  table.Release();
}
}  // namespace
