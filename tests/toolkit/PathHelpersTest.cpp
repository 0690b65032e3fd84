#include <gtest/gtest.h>

#include "toolkit/kwTools.h"

namespace {
const kwTools tools;

TEST(BuildPath, JoinsWithExactlyOneSeparator) {
  struct Case {
    std::string base;
    std::string expected;
  };
  const std::string program = kwTools::ProgramFolder();
  const Case cases[] = {
      {"/usr/sbin", "/usr/sbin/nft"},
      {"/tmp/vantrel-0/", "/tmp/vantrel-0/nft"},    // trailing separator
      {"/tmp//vantrel-0//", "/tmp/vantrel-0/nft"},  // doubled separators
      {"/tmp/a  ", "/tmp/a/nft"},                   // trailing spaces of the base
      {"/tmp/a /", "/tmp/a/nft"},                   // space beside a separator
      {"./", program + "/nft"},
      {"", program + "/nft"},
      {"//server/share", "//server/share/nft"},  // network form keeps its two slashes
      {"//server//share//", "//server/share/nft"},
  };
  for (const Case& c : cases) EXPECT_EQ(tools.BuildPath(c.base, "nft"), c.expected) << "base '" << c.base << "'";
}

TEST(BuildPath, OptionalPartsAndLimits) {
  EXPECT_EQ(tools.BuildPath("/a", "b", "c", "d", "e", "f.txt"), "/a/b/c/d/e/f.txt");
  EXPECT_EQ(tools.BuildPath("/a", "b  ", "c"), "/a/b/c");
  EXPECT_EQ(tools.BuildPath("/a", "b", ""), "/a/b/");  // an empty part still adds its separator
  EXPECT_EQ(tools.BuildPath("/a", "b", " c"), "/a/b/c");
  EXPECT_EQ(tools.BuildPath("//srv", "x/"), "//srv/x");  // network form drops trailing separators
  EXPECT_EQ(tools.BuildPath("/" + std::string(300, 'a'), "b").size(), 255u);
}

TEST(PathParts, FolderFileAndName) {
  struct Case {
    const char* path;
    bool isDirectory;
    const char* pathOf;
    const char* fileName;
  };
  const Case cases[] = {
      {"/usr/sbin", true, "/usr/sbin", "sbin"},
      {"/", true, "/", ""},
      {"/opt/vantrel/vantrel.bin", false, "/opt/vantrel", "vantrel.bin"},
      {"prog.exe", false, "", "prog.exe"},
      {"/home/my.dir", false, "/home", "my.dir"},  // a dotted last name counts as a file
      {"/tmp/x/MAC-Vendors.tps  ", false, "/tmp/x", "MAC-Vendors.tps"},
      {"name", false, "", "name"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(tools.IsDirectoryPath(c.path), c.isDirectory) << c.path;
    EXPECT_EQ(tools.PathOf(c.path), c.pathOf) << c.path;
    EXPECT_EQ(tools.FileNameOf(c.path), c.fileName) << c.path;
  }
}

TEST(SpecialFolders, SystemFolderOnly) {
  EXPECT_EQ(tools.GetSpecialFolder(kwTools::kSystemFolder), "/usr/sbin");
  EXPECT_EQ(tools.GetSpecialFolder(0), "");
  EXPECT_EQ(tools.BuildPath(tools.GetSpecialFolder(kwTools::kSystemFolder), "nft"), "/usr/sbin/nft");
}

TEST(FileVersion, OnlyTheProgramItselfHasOne) {
  const std::string own = tools.GetFileVersion(kwTools::ProgramPath());
  EXPECT_EQ(own, kwTools::FormatFileVersion(VANTREL_VERSION_MAJOR, VANTREL_VERSION_MINOR, VANTREL_VERSION_PATCH,
                                            VANTREL_VERSION_TWEAK));
  EXPECT_EQ(tools.GetFileVersion("/bin/sh"), "");
  EXPECT_EQ(tools.GetFileVersion("/no/such/file"), "");
}
}  // namespace
