#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "support/ScratchFolder.h"
#include "toolkit/kwResource.h"
#include "toolkit/kwTools.h"

namespace {
TEST(kwResource, FindsByTypeAndNameWithoutRegardToCase) {
  kwResource resources;
  EXPECT_EQ(resources.LoadResourceByName("first.BIN", "testdata"), 14u);
  EXPECT_EQ(resources.RESOURCEINFO.SDATA, "first resource");
  EXPECT_EQ(resources.LoadResourceByName("second.dat  ", "TestData  "), 23u);
  EXPECT_EQ(resources.RESOURCEINFO.SDATA, "second, longer resource");  // only the second is kept

  EXPECT_EQ(resources.LoadResourceByName("nothing", "TESTDATA"), 0u);
  EXPECT_EQ(resources.LoadResourceByName("First.bin", "IMAGE"), 0u);  // the type matters
  EXPECT_EQ(resources.RESOURCEINFO.SDATA, "second, longer resource");
  EXPECT_EQ(resources.RESOURCEINFO.DWSIZE, 23u);
}

TEST(kwResource, SavesOnlyAfterAFetch) {
  ScratchFolder dir;
  kwResource resources;
  resources.SaveResource(dir / "none.bin");
  EXPECT_FALSE(std::filesystem::exists(dir / "none.bin"));
  ASSERT_NE(resources.LoadResourceByName("First.bin", "TESTDATA"), 0u);
  resources.SaveResource(dir / "sub/first.bin");
  std::ifstream in(dir / "sub/first.bin", std::ios::binary);
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), "first resource");
}

TEST(kwResource, InitWithTheProgramLoadsNoLibraryPictures) {
  kwResource resources;
  resources.Init(kwTools::ProgramPath(), 0);
  EXPECT_EQ(resources.SZDLLNAME, kwTools::ProgramPath());
  EXPECT_TRUE(resources.SAPPLICATIONIMAGE.empty());
  EXPECT_TRUE(resources.SAPPLICATIONICON.empty());
  EXPECT_EQ(resources.RESOURCEINFO.DWSIZE, 0u);
  EXPECT_NE(resources.LoadResourceByName("first.bin", "TESTDATA"), 0u);
}
}  // namespace
