#include <gtest/gtest.h>
#include <sqlite3.h>

#include <cstdlib>
#include <memory>
#include <optional>
#include <string>

#include "support/ScratchFolder.h"
#include "vendors/VendorLookup.h"
#include "vendors/VendorTableFile.h"

namespace {
std::string Padded(std::string text, std::size_t width = VendorLookup::kDescriptionCapacity) {
  text.resize(width, ' ');
  return text;
}

// The maker's own block is locally administered, so the IEEE data never lists
// it; this row, added to the unpacked table, shows that an address in the
// block outside the four families still goes to the table.
constexpr const char* kMakerBlockRow = "Row added by the test for 0AC5D2E";

// The shipped table, unpacked once for the whole suite into a private scratch folder.
class VendorLookupTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    scratch_ = std::make_unique<ScratchFolder>();
    if (const char* old = std::getenv("XDG_RUNTIME_DIR")) oldRuntime_ = old;
    ::setenv("XDG_RUNTIME_DIR", scratch_->Path().c_str(), 1);
    table_ = std::make_unique<VendorTableFile>();
    table_->Prepare();
    ASSERT_EQ(table_->OpenResult(), 1);
    // An open table keeps its read lock, so the row goes in while it is closed.
    table_->File().Close();
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(table_->Path().c_str(), &db), SQLITE_OK);
    const std::string sql = "INSERT INTO VendorTable VALUES('0AC5D2E  ', '" + Padded(kMakerBlockRow) + "')";
    rowAdded_ = sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr) == SQLITE_OK;
    sqlite3_close(db);
    table_->File().Open(DataFile::kReadWriteDenyNone);
  }
  // A failure inside SetUpTestSuite shows up as a skipped test; the test body
  // checks the fixture instead, so a broken fixture fails loudly.
  void SetUp() override {
    ASSERT_TRUE(rowAdded_);
    ASSERT_TRUE(table_->File().IsOpen());
  }
  static inline bool rowAdded_ = false;
  static void TearDownTestSuite() {
    table_.reset();
    if (oldRuntime_) ::setenv("XDG_RUNTIME_DIR", oldRuntime_->c_str(), 1);
    else ::unsetenv("XDG_RUNTIME_DIR");
    scratch_.reset();
  }
  static inline std::optional<std::string> oldRuntime_;
  static std::unique_ptr<ScratchFolder> scratch_;
  static std::unique_ptr<VendorTableFile> table_;
};
std::unique_ptr<ScratchFolder> VendorLookupTest::scratch_;
std::unique_ptr<VendorTableFile> VendorLookupTest::table_;

struct LookupCase {
  const char* what;
  const char* mac;
  std::size_t capacity;
  std::string before;  // the description as the caller passes it
  std::string after;
  int flag;
  long style;  // expected in all three style fields
};

TEST_F(VendorLookupTest, DescribesEachKindOfAddress) {
  const std::size_t k64 = VendorLookup::kDescriptionCapacity;
  const LookupCase cases[] = {
      {"no MAC address: description untouched", "", k64, "left as it was", "left as it was", 0, 1},
      {"Norvex family", "0A:C5:D2:E0:00:10", k64, "", Padded("** Norvex NVR, DVR or IP Camera **"), 1, 3},
      {"Sendora family, though the table holds 0AC5D2E too", "0A:C5:D2:E1:00:11", k64, "", Padded("** Sendora **"), 1,
       2},
      {"Visorn/Lumarc family", "0A:C5:D2:E2:00:12", k64, "", Padded("** Visorn/Lumarc Intelligent Camera **"), 1, 3},
      {"Brakka family", "0A:C5:D2:E3:FF:FF", k64, "", Padded("** Brakka DVR **"), 1, 3},
      {"maker's block outside the families goes to the table", "0A:C5:D2:E4:00:01", k64, "", Padded(kMakerBlockRow), 0,
       1},
      {"MA-L", "00:1A:2B:3C:4D:5E", k64, "", Padded("Ayecom Technology Co., Ltd."), 0, 1},
      {"MA-M wins over its IEEE umbrella", "00:55:DA:0F:12:34", k64, "", Padded("Shinko Technos co.,ltd."), 0, 1},
      {"MA-S wins over its IEEE umbrella", "00:1B:C5:00:0A:BC", k64, "", Padded("Converging Systems Inc."), 0, 1},
      {"unassigned MA-S slot falls back to the umbrella", "00:1B:C5:01:8A:BC", k64, "",
       Padded("IEEE Registration Authority"), 0, 1},
      {"name cut on a character boundary arrives whole", "3C:2C:94:00:00:01", k64, "",
       "杭州德澜科技有限公司(HangZhou Delan Technology Co.,Ltd", 0, 1},
      {"unknown prefix leaves the description empty", "02:00:5E:10:00:01", k64, "", "", 0, 1},
      {"'-' separators never match a maker prefix", "0A-C5-D2-E1-00-11", k64, "", "", 0, 1},
      {"'-' separators never match the table", "00-1A-2B-3C-4D-5E", k64, "", "", 0, 1},
      {"lower-case digits never match", "00:1a:2b:3c:4d:5e", k64, "", "", 0, 1},
      {"label cut to a smaller capacity", "0A:C5:D2:E1:00:11", 8, "", "** Sendo", 1, 2},
      {"multi-byte name cut between characters", "3C:2C:94:00:00:01", 10, "", "杭州德 ", 0, 1},
  };
  VendorLookup lookup(table_->File());
  for (const LookupCase& c : cases) {
    SCOPED_TRACE(c.what);
    std::string description = c.before;
    std::uint8_t flag = 7;
    long ipStyle = 0, descriptionStyle = 0, macStyle = 0;
    lookup.LookupVendor(c.mac, c.capacity, description, flag, ipStyle, descriptionStyle, macStyle);
    EXPECT_EQ(description, c.after);
    EXPECT_EQ(flag, c.flag);
    EXPECT_EQ(ipStyle, c.style);
    EXPECT_EQ(descriptionStyle, c.style);
    EXPECT_EQ(macStyle, c.style);
  }
}
}  // namespace
