#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "support/ScratchFolder.h"
#include "toolkit/DataFile.h"
#include "toolkit/kwFile.h"

namespace fs = std::filesystem;

namespace {
DataFileLayout Layout() { return {"Icons", {{"NAME", 32}, {"PATH", 255}}, "KEY", {"NAME"}, true}; }

TEST(kwFile, ClosesOnlyTheFilesItOpened) {
  ScratchFolder dir;
  DataFile mine(Layout(), dir / "mine.tps");
  DataFile theirs(Layout(), dir / "theirs.tps");
  DataFile missing(Layout(), dir / "kwIcon.tps");
  mine.Create();
  theirs.Create();
  theirs.Open(DataFile::kReadWriteDenyNone);
  ASSERT_TRUE(theirs.IsOpen());
  {
    kwFile files;
    EXPECT_TRUE(files.OpenFile(mine));
    EXPECT_TRUE(files.OpenFile(theirs));
    EXPECT_FALSE(files.OpenFile(missing));  // silently
    ASSERT_EQ(files.NativeFileQ().size(), 3u);
    EXPECT_EQ(files.NativeFileQ()[0].BYOPEN, 1);
    EXPECT_EQ(files.NativeFileQ()[1].BYOPEN, 2);
    EXPECT_EQ(files.NativeFileQ()[2].BYOPEN, 0);
    EXPECT_TRUE(files.OpenFile(mine));  // the same file again keeps its one entry, still ours
    EXPECT_EQ(files.NativeFileQ().size(), 3u);
    EXPECT_EQ(files.NativeFileQ()[0].BYOPEN, 1);
  }
  EXPECT_FALSE(mine.IsOpen());
  EXPECT_TRUE(theirs.IsOpen());
  EXPECT_FALSE(fs::exists(missing.Name()));
}

TEST(kwFile, DeletesEachRegisteredTemporaryFileOnce) {
  ScratchFolder dir;
  std::ofstream(dir / "a.tmp") << "a";
  {
    kwFile files;
    files.TempFileQAddEntry(dir / "a.tmp");
    files.TempFileQAddEntry(dir / "a.tmp  ");
    files.TempFileQAddEntry(dir / "never-made.tmp");
    EXPECT_EQ(files.TempFileQ().size(), 2u);
  }
  EXPECT_FALSE(fs::exists(dir / "a.tmp"));
}
}  // namespace
