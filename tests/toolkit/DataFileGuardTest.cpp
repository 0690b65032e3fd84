#include <gtest/gtest.h>
#include <sqlite3.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "support/RecordingMessagePresenter.h"
#include "support/ScratchFolder.h"
#include "toolkit/DataFile.h"
#include "toolkit/kwTools.h"

namespace fs = std::filesystem;

namespace {
const kwTools tools;
constexpr int kMode = DataFile::kReadWriteDenyNone;

DataFileLayout Layout(bool createAllowed = false) {
  return {"VendorTable", {{"SID", 9}, {"SVENDOR", 64}}, "PKID", {"SID"}, createAllowed};
}

void Exec(const std::string& path, const std::string& sql) {
  sqlite3* db = nullptr;
  ASSERT_EQ(sqlite3_open(path.c_str(), &db), SQLITE_OK);
  ASSERT_EQ(sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr), SQLITE_OK) << sqlite3_errmsg(db);
  sqlite3_close(db);
}

// A table file with enough rows for several tree pages.
std::string MakeTable(const ScratchFolder& dir) {
  std::string path = dir / "table.tps";
  DataFile file(Layout(), path);
  file.Create();
  std::string sql = "BEGIN;";
  for (int i = 0; i < 3000; ++i) {
    char sid[16];
    std::snprintf(sid, sizeof sid, "%06X   ", i);
    sql += "INSERT INTO VendorTable VALUES('" + std::string(sid) + "', 'Vendor number " + std::to_string(i) + "');";
  }
  Exec(path, sql + "COMMIT;");
  return path;
}

TEST(DataFileGuard, OpensFetchesAndClosesOnlyWhatItOpened) {
  ScratchFolder dir;
  DataFile file(Layout(), MakeTable(dir));
  RecordingMessagePresenter messages;
  ASSERT_EQ(tools.OpenDataFile(file, kMode, false, false), 1);
  ASSERT_TRUE(file.Fetch({"00002A   "}));
  EXPECT_EQ(file.Field(1), "Vendor number 42" + std::string(64 - 16, ' '));
  EXPECT_FALSE(file.Fetch({"00002A"}));  // the whole padded key or nothing
  EXPECT_EQ(file.ErrorCode(), DataFile::kRecordNotFound);

  EXPECT_EQ(tools.OpenDataFile(file, kMode, false, true), 2);  // already open
  tools.CloseDataFile(file, 2);
  EXPECT_TRUE(file.IsOpen());
  file.Open(kMode);
  EXPECT_EQ(file.ErrorCode(), DataFile::kAlreadyOpen);
  tools.CloseDataFile(file, 0);
  EXPECT_TRUE(file.IsOpen());
  tools.CloseDataFile(file, 1);
  EXPECT_FALSE(file.IsOpen());
  EXPECT_FALSE(file.Fetch({"00002A   "}));
  EXPECT_EQ(file.ErrorCode(), DataFile::kNotOpen);
  EXPECT_TRUE(messages.shown.empty());
}

TEST(DataFileGuard, MissingFileByCreateAndMessageSettings) {
  const std::string longDescription = "A description of forty characters.......";
  ASSERT_EQ(longDescription.size(), 40u);
  struct Case {
    bool createMissing;
    bool showMessages;
    bool createAllowed;
    std::string description;
    MessageAnswer answer;
    unsigned char expected;
    bool created;
    std::string message;  // empty: no message
    std::string caption;
  };
  const std::string missing = "File not found : ";
  const Case cases[] = {
      {false, false, true, "", MessageAnswer::Yes, 0, false, "", ""},
      {true, false, false, "", MessageAnswer::No, 1, true, "", ""},
      {true, true, false, longDescription, MessageAnswer::No, 0, false,
       "||Description : A description of forty characte||Create this file ?", "Question"},
      {true, true, false, "", MessageAnswer::Yes, 1, true, "||Create this file ?", "Question"},
      {false, true, true, "", MessageAnswer::Yes, 1, true, "||Description : ||Create this file ?", "Question"},
      {false, true, false, "tbl", MessageAnswer::Yes, 0, false,
       "||Description : tbl||This file does not allow realtime creation.", "Information"},
  };
  for (const Case& c : cases) {
    ScratchFolder dir;
    const std::string path = dir / "missing.tps";
    DataFile file(Layout(c.createAllowed), path);
    RecordingMessagePresenter messages;
    messages.answers.push_back(c.answer);
    EXPECT_EQ(tools.OpenDataFile(file, kMode, c.createMissing, c.showMessages, c.description), c.expected);
    EXPECT_EQ(fs::exists(path), c.created);
    if (c.message.empty()) {
      EXPECT_TRUE(messages.shown.empty());
    } else {
      ASSERT_TRUE(messages.ShowedOnly(c.caption, missing + path + c.message));
    }
  }
}

TEST(DataFileGuard, FailedCreationIsReported) {
  ScratchFolder dir;
  DataFile file(Layout(true), dir / "no/such/folder/x.tps");
  RecordingMessagePresenter messages;
  messages.answers = {MessageAnswer::Yes, MessageAnswer::Ok};
  EXPECT_EQ(tools.OpenDataFile(file, kMode, true, true), 0);
  ASSERT_EQ(messages.shown.size(), 2u);
  EXPECT_EQ(messages.shown[1].caption, "Error");
  EXPECT_EQ(
      messages.shown[1].text.rfind("File creation failed.||Unable to create file = " + file.Name() + "||Error = ", 0),
      0u);
}

TEST(DataFileGuard, DamagedTreeIsReportedEvenWithMessagesOff) {
  ScratchFolder dir;
  const std::string path = MakeTable(dir);
  {
    // Scribble over the header of the table's second page (a tree page).
    std::fstream f(path, std::ios::in | std::ios::out | std::ios::binary);
    f.seekp(4096 * 2);
    const char junk[] = "\x77\x77\x77\x77\x77\x77\x77\x77";
    f.write(junk, 8);
  }
  DataFile file(Layout(), path);
  RecordingMessagePresenter messages;
  EXPECT_EQ(tools.OpenDataFile(file, kMode, false, false), 0);
  EXPECT_EQ(file.ErrorCode(), DataFile::kKeyFileDamaged);
  EXPECT_FALSE(file.IsOpen());
  ASSERT_TRUE(
      messages.ShowedOnly("Index/Key Error", "Crtitical Error, Key Files Damaged .. " + path, MessageIcon::Warning));
}

TEST(DataFileGuard, WrongLayoutIsAnInvalidDeclaration) {
  struct Case {
    const char* sql;
    const char* what;
  };
  const Case cases[] = {
      {"CREATE TABLE Other (SID TEXT PRIMARY KEY, SVENDOR TEXT)", "table missing"},
      {"CREATE TABLE VendorTable (SID TEXT PRIMARY KEY, NAME TEXT)", "column renamed"},
      {"CREATE TABLE VendorTable (SID TEXT, SVENDOR TEXT PRIMARY KEY)", "other key"},
      {"CREATE TABLE VendorTable (SID TEXT PRIMARY KEY, SVENDOR TEXT, EXTRA TEXT)", "extra column"},
  };
  const std::string description = "A description of forty characters.......";
  for (const Case& c : cases) {
    ScratchFolder dir;
    const std::string path = dir / "layout.tps";
    Exec(path, c.sql);
    DataFile file(Layout(), path);
    RecordingMessagePresenter messages;
    EXPECT_EQ(tools.OpenDataFile(file, kMode, false, false), 0) << c.what;
    EXPECT_EQ(file.ErrorCode(), DataFile::kInvalidDeclaration) << c.what;
    EXPECT_TRUE(messages.shown.empty()) << c.what;
    EXPECT_EQ(tools.OpenDataFile(file, kMode, false, true, description), 0);
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text, "Invalid Record Declaration||Description = " + description);  // not cut
    EXPECT_EQ(messages.shown[0].caption, "File Open Error");
  }
  ScratchFolder dir;
  std::ofstream(dir / "text.tps") << "this is no database at all, just some words in a file";
  DataFile text(Layout(), dir / "text.tps");
  RecordingMessagePresenter messages;
  EXPECT_EQ(tools.OpenDataFile(text, kMode, false, true), 0);
  ASSERT_EQ(messages.shown.size(), 1u);
  EXPECT_EQ(messages.shown[0].text, "Invalid Record Declaration||File name = " + text.Name());
}

TEST(DataFileGuard, AccessDenied) {
  ScratchFolder dir;
  const std::string path = MakeTable(dir);
  ::chmod(path.c_str(), 0400);
  // Root reads and writes anything; judge as an ordinary user in a child process.
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    if (::geteuid() == 0) {
      ::chmod(dir.Path().c_str(), 0755);
      if (::setgid(65534) != 0 || ::setuid(65534) != 0) ::_exit(10);
      ::chmod(path.c_str(), 0400);
    }
    DataFile file(Layout(), path);
    RecordingMessagePresenter messages;
    const unsigned char quiet = tools.OpenDataFile(file, kMode, false, false);
    const unsigned char loud = tools.OpenDataFile(file, kMode, false, true);
    const bool ok = quiet == 0 && loud == 0 && file.ErrorCode() == DataFile::kAccessDenied &&
                    messages.shown.size() == 1 && messages.shown[0].caption == "Access Denied" &&
                    messages.shown[0].text.find("||File = " + path) != std::string::npos;
    ::_exit(ok ? 0 : 1);
  }
  int status = 0;
  ::waitpid(child, &status, 0);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0);
}
}  // namespace
