#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "support/RecordingMessagePresenter.h"
#include "support/ScratchFolder.h"
#include "toolkit/PrivateTempFolder.h"
#include "toolkit/kwTools.h"

namespace fs = std::filesystem;

namespace {
const kwTools tools;

std::string ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Sets an environment variable for one scope.
class ScopedEnv {
 public:
  ScopedEnv(const char* name, const std::string& value) : name_(name) {
    if (const char* old = std::getenv(name)) old_ = old, had_ = true;
    ::setenv(name, value.c_str(), 1);
  }
  ~ScopedEnv() {
    if (had_) ::setenv(name_, old_.c_str(), 1);
    else ::unsetenv(name_);
  }

 private:
  const char* name_;
  std::string old_;
  bool had_ = false;
};

TEST(SaveToFile, WritesEveryByteItIsGiven) {
  ScratchFolder dir;
  const std::string data("\x00\x01table\x00  \n  ", 13);  // binary, ending in spaces
  const std::string path = dir / "new/folder/table.bin";
  ASSERT_TRUE(tools.SaveToFile(data, path));
  EXPECT_EQ(ReadAll(path), data);
  EXPECT_EQ(fs::status(path).permissions() & fs::perms::all, fs::perms::owner_read | fs::perms::owner_write);

  // Replacing a longer file leaves nothing of it behind; a name without a dot is a file.
  ASSERT_TRUE(tools.SaveToFile("ab", path));
  EXPECT_EQ(ReadAll(path), "ab");
  ASSERT_TRUE(tools.SaveToFile("x", dir / "plainname"));
  EXPECT_TRUE(fs::is_regular_file(dir / "plainname"));
  EXPECT_FALSE(tools.SaveToFile("x", ""));
}

TEST(SaveToFile, NeverFollowsOrHangsOnWhatIsPlantedAtTheName) {
  ScratchFolder dir;
  const std::string victim = dir / "victim.txt";
  std::ofstream(victim) << "precious";
  const std::string planted = dir / "MAC-Vendors.tps";
  ASSERT_EQ(::symlink(victim.c_str(), planted.c_str()), 0);
  EXPECT_FALSE(tools.SaveToFile("attack", planted));
  EXPECT_EQ(ReadAll(victim), "precious");

  const std::string fifo = dir / "pipe.tps";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  EXPECT_FALSE(tools.SaveToFile("data", fifo));  // returns at once: nobody reads the pipe
}

TEST(DeleteFileSilently, RemovesTheLinkNotItsTarget) {
  ScratchFolder dir;
  const std::string victim = dir / "victim.txt";
  std::ofstream(victim) << "precious";
  const std::string link = dir / "link.tps";
  ASSERT_EQ(::symlink(victim.c_str(), link.c_str()), 0);
  kwTools::DeleteFileSilently(link);
  EXPECT_FALSE(fs::is_symlink(link));
  EXPECT_EQ(ReadAll(victim), "precious");
  kwTools::DeleteFileSilently(dir / "missing");  // no error, nothing to see
}

TEST(CreatePath, FoldersAndRefusals) {
  ScratchFolder dir;
  EXPECT_TRUE(tools.CreatePath(dir / "a/b/c"));
  EXPECT_TRUE(fs::is_directory(dir / "a/b/c"));
  EXPECT_TRUE(tools.CreatePath(dir / "x/y/file.txt"));  // a file path creates its folder only
  EXPECT_TRUE(fs::is_directory(dir / "x/y"));
  EXPECT_FALSE(fs::exists(dir / "x/y/file.txt"));
  EXPECT_FALSE(tools.CreatePath(""));
  EXPECT_FALSE(tools.CreatePath("//server/share/x"));
}

TEST(PrivateTempFolder, CreatedPrivateAndReused) {
  ScratchFolder dir;
  const auto first = PrivateTempFolder::Ensure(dir / "vantrel");
  ASSERT_EQ(first.error, 0);
  EXPECT_EQ(first.path, dir / "vantrel/");
  EXPECT_EQ(fs::status(dir / "vantrel").permissions() & fs::perms::all, fs::perms::owner_all);

  ::chmod((dir / "vantrel").c_str(), 0777);  // loosened by somebody: tightened again
  EXPECT_EQ(PrivateTempFolder::Ensure(dir / "vantrel").path, first.path);
  EXPECT_EQ(fs::status(dir / "vantrel").permissions() & fs::perms::all, fs::perms::owner_all);
}

TEST(PrivateTempFolder, RefusesALinkOrAFileOrAStrangersFolder) {
  ScratchFolder dir;
  fs::create_directory(dir / "elsewhere");
  ASSERT_EQ(::symlink((dir / "elsewhere").c_str(), (dir / "linked").c_str()), 0);
  EXPECT_EQ(PrivateTempFolder::Ensure(dir / "linked").path, "");
  EXPECT_NE(PrivateTempFolder::Ensure(dir / "linked").error, 0);

  std::ofstream(dir / "afile") << "x";
  EXPECT_EQ(PrivateTempFolder::Ensure(dir / "afile").path, "");

  if (::geteuid() != 0) GTEST_SKIP() << "a folder owned by another user needs root to make";
  fs::create_directory(dir / "stranger");
  ASSERT_EQ(::chown((dir / "stranger").c_str(), 65534, 65534), 0);
  EXPECT_EQ(PrivateTempFolder::Ensure(dir / "stranger").path, "");
  EXPECT_EQ(PrivateTempFolder::Ensure(dir / "stranger").error, EPERM);
}

TEST(GetTempPath, UsesTheRuntimeFolderAndReportsARefusal) {
  ScratchFolder dir;
  {
    ScopedEnv runtime("XDG_RUNTIME_DIR", dir.Path());
    EXPECT_EQ(tools.GetTempPath(), dir / "vantrel/");
  }
  {
    ScopedEnv runtime("XDG_RUNTIME_DIR", "");
    ScopedEnv tmp("TMPDIR", dir.Path());
    EXPECT_EQ(tools.GetTempPath(), dir / ("vantrel-" + std::to_string(::getuid()) + "/"));
  }
  fs::create_directory(dir / "other");
  fs::remove_all(dir / "vantrel");
  ASSERT_EQ(::symlink((dir / "other").c_str(), (dir / "vantrel").c_str()), 0);
  ScopedEnv runtime("XDG_RUNTIME_DIR", dir.Path());
  RecordingMessagePresenter messages;
  EXPECT_EQ(tools.GetTempPath(), "");
  ASSERT_TRUE(messages.ShowedOnly("kwTools.GetTempPath",
                                  "Linux API Error Calling : GetTempPath||Error Code = " + std::to_string(ENOTDIR)));
  EXPECT_EQ(messages.shown[0].timeoutSeconds, 20);
}
}  // namespace
