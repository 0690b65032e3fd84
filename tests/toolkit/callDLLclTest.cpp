#include <gtest/gtest.h>

#include "support/RecordingMessagePresenter.h"
#include "toolkit/callDLLcl.h"

namespace {
TEST(callDLLcl, LoadsCallsAndCachesAddresses) {
  RecordingMessagePresenter messages;
  callDLLcl dll;
  ASSERT_EQ(dll.Load(VANTREL_TEST_PLUGIN, 0), 0);
  ASSERT_NE(dll.HDLL, nullptr);
  dll.SetProcFailValue(-2);
  EXPECT_EQ((dll.CallProc<int, int, int>("vantrel_add", 40, 2)), 42);
  EXPECT_EQ((dll.CallProc<long, long, long, long, long, long>("vantrel_sum5", 1L, 2L, 3L, 4L, 1L << 40)),
            10 + (1L << 40));  // native width: nothing cut to 32 bits
  EXPECT_EQ((dll.CallProc<int, const char*>("vantrel_length", "twelve chars")), 12);

  // A second lookup is answered from the cache, not by the loader.
  ASSERT_EQ(dll.ADDRESSQ.count("vantrel_add"), 1u);
  dll.ADDRESSQ["vantrel_add"] = 12345;
  EXPECT_EQ(dll.GetAddress("vantrel_add  "), 12345);
  EXPECT_EQ(dll.ADDRESSQ.size(), 3u);
  EXPECT_TRUE(messages.shown.empty());
}

TEST(callDLLcl, MissingThingsGiveTheFailValueAndATextButNoMessage) {
  RecordingMessagePresenter messages;
  callDLLcl dll;
  EXPECT_EQ(dll.GetAddress("anything"), 0);
  EXPECT_EQ(dll.ERRORSTR, "Get Address called before a dll is loaded!!!");

  ASSERT_EQ(dll.Load(VANTREL_TEST_PLUGIN, 0), 0);
  dll.SetProcFailValue(-2);
  EXPECT_EQ(dll.GetAddress("no_such_function"), -2);
  EXPECT_EQ((dll.CallProc<long, int>("no_such_function", 1)), -2);
  EXPECT_EQ(dll.ERRORSTR, "get adress failed for no_such_function");
  EXPECT_EQ(dll.ADDRESSQ.size(), 0u);

  callDLLcl missing;
  EXPECT_EQ(missing.Load("/no/such/libvantrel.so", 0), 3);
  EXPECT_EQ(missing.HDLL, nullptr);
  missing.SetProcFailValue(-7);
  EXPECT_EQ(missing.GetAddress("vantrel_add"), -7);
  EXPECT_EQ(missing.ERRORSTR, "Get Address called before a dll is loaded!!!");
  EXPECT_TRUE(messages.shown.empty());
}

TEST(callDLLcl, EmptyNameMeansNoLibraryQuietly) {
  RecordingMessagePresenter messages;
  callDLLcl dll;
  EXPECT_EQ(dll.Load("", 1), 0);
  EXPECT_EQ(dll.IGNOREHDLL, 1);
  dll.SetProcFailValue(-2);
  EXPECT_EQ(dll.GetAddress("vantrel_add"), -2);
  EXPECT_TRUE(dll.ERRORSTR.empty());
  dll.Kill();
  EXPECT_TRUE(messages.shown.empty());
}

TEST(callDLLcl, DebugLevelsChooseTheMessages) {
  struct Case {
    unsigned char debug;
    std::size_t loadMessages;
  };
  for (const Case c : {Case{0, 0}, Case{1, 2}, Case{2, 1}}) {
    RecordingMessagePresenter messages;
    {
      callDLLcl dll;
      ASSERT_EQ(dll.Load(VANTREL_TEST_PLUGIN, c.debug), 0);
      ASSERT_EQ(messages.shown.size(), c.loadMessages) << int(c.debug);
      if (c.debug) {
        EXPECT_NE(messages.shown.back().text.find("DLL Handle = "), std::string::npos);
      }
      if (c.debug == 1) {
        EXPECT_NE(messages.shown.front().text.find("DLL to Load = "), std::string::npos);
      }
    }
    // Freeing the library speaks twice in debug mode.
    EXPECT_EQ(messages.shown.size(), c.loadMessages + (c.debug ? 2 : 0));
  }
}

TEST(callDLLcl, LoadingAgainForgetsTheOldAddresses) {
  callDLLcl dll;
  ASSERT_EQ(dll.Load(VANTREL_TEST_PLUGIN, 0), 0);
  ASSERT_NE(dll.GetAddress("vantrel_add"), 0);
  ASSERT_EQ(dll.Load(VANTREL_TEST_PLUGIN, 0), 0);
  EXPECT_TRUE(dll.ADDRESSQ.empty());
  EXPECT_EQ((dll.CallProc<int, int, int>("vantrel_add", 1, 2)), 3);
}
}  // namespace
