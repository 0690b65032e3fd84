#include <gtest/gtest.h>

#include "toolkit/kwTools.h"

namespace {
const kwTools tools;

TEST(ReplaceAll, FollowsItsRules) {
  struct Case {
    const char* find;
    const char* text;
    const char* replacement;
    const char* expected;
  };
  const Case cases[] = {
      {".", "a.b.c", "_", "a_b_c"},
      {"a", "banana", "aa", "baanana"},  // replacement holds the find text: first only
      {"//", "a///b", "/", "a/b"},       // occurrences formed by a replacement go too
      {"//", "a////////b", "/", "a/b"},
      {"x", "abc  ", "y", "abc"},            // trailing spaces go even with nothing to replace
      {"ab", "aabb", "", ""},                // "aabb" -> "ab" -> ""
      {"a", "banana  ", "aa", "baanana  "},  // the first-only rule keeps trailing spaces
      {"", "text", "x", "text"},             // nothing to find: unchanged, never a loop
      {"q", "", "r", ""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(tools.ReplaceAll(c.find, c.text, c.replacement), c.expected)
        << "find '" << c.find << "' in '" << c.text << "' by '" << c.replacement << "'";
  }
}

TEST(Cut, KeepsAtMostTheFieldAndCutUtf8NeverSplitsACharacter) {
  struct Case {
    const char* text;
    std::size_t n;
    const char* cut;
    const char* cutUtf8;
  };
  const Case cases[] = {
      {"abcdef", 3, "abc", "abc"},
      {"abc", 10, "abc", "abc"},
      {"", 4, "", ""},
      {"ab\xC3\xA9", 3, "ab\xC3", "ab"},                                    // "abé": the cut would leave half an é
      {"\xE2\x82\xAC\xE2\x82\xAC", 4, "\xE2\x82\xAC\xE2", "\xE2\x82\xAC"},  // two euro signs
      {"x\xC3\xA9", 0, "", ""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(kwTools::Cut(c.text, c.n), c.cut) << c.text << " to " << c.n;
    EXPECT_EQ(kwTools::CutUtf8(c.text, c.n), c.cutUtf8) << c.text << " to " << c.n;
  }
}

TEST(ByteToHex, AlwaysTwoUpperCaseDigits) {
  EXPECT_EQ(tools.ByteToHex(0x00), "00");
  EXPECT_EQ(tools.ByteToHex(0x0A), "0A");
  EXPECT_EQ(tools.ByteToHex(0xC5), "C5");
  EXPECT_EQ(tools.ByteToHex(0xFF), "FF");
}

TEST(HasSwitch, IgnoresCaseAndFindsItInsideWords) {
  const std::string line = "/usr/bin/vantrel /ADVANCED";
  EXPECT_TRUE(kwTools::HasSwitch("/Advanced", line));
  EXPECT_TRUE(kwTools::HasSwitch("/advanced", "/usr/bin/vantrel x/advancedy"));
  EXPECT_FALSE(kwTools::HasSwitch("/Advanced", "/usr/bin/vantrel /Advance"));
  EXPECT_FALSE(kwTools::HasSwitch("", line));
}

TEST(JoinDetail, AddsTheDetailOnlyWhenItIsNew) {
  struct Case {
    const char* text;
    const char* detail;
    const char* expected;
  };
  const Case cases[] = {
      {"Vantrel  ", "", "Vantrel"},
      {"", "detail", ""},
      {"Vantrel", "1.0.0.0", "Vantrel : 1.0.0.0"},
      {"Vantrel 1.0  ", "1.0  ", "Vantrel 1.0  "},  // already inside: the text unchanged
      {"Camera NVR", "nvr", "Camera NVR"},          // ignoring case
      {"Device  ", "Detail  ", "Device : Detail"},
  };
  for (const Case& c : cases) EXPECT_EQ(tools.JoinDetail(c.text, c.detail), c.expected) << c.text << " / " << c.detail;

  // Only the first 63 characters of each are compared.
  const std::string longText = std::string(70, 'x') + "tail";
  EXPECT_EQ(tools.JoinDetail(longText, "tail"), longText + " : tail");
}

TEST(DecodeText, RoundTripsAndRejectsBrokenInput) {
  const std::string plain = "Copyright (c) 2026 Vantrel developers";
  const std::string stored = kwTools::EncodeText(plain);
  EXPECT_EQ(stored.size(), plain.size() * 2);
  EXPECT_EQ(stored.find_first_not_of("0123456789ABCDEF"), std::string::npos);
  EXPECT_EQ(tools.DecodeText(stored), plain);

  std::string lowerWithBreaks = stored;
  for (char& c : lowerWithBreaks) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  lowerWithBreaks.insert(10, "\r\n");
  lowerWithBreaks.insert(31, "\n");
  EXPECT_EQ(tools.DecodeText(lowerWithBreaks), plain);

  EXPECT_EQ(tools.DecodeText(""), "");
  EXPECT_EQ(tools.DecodeText(stored.substr(1)), "");  // odd number of digits
  EXPECT_EQ(tools.DecodeText("ZZ"), "");              // not hex at all
}

TEST(FormatFileVersion, WritesBuildAndRevisionByTheirRanges) {
  EXPECT_EQ(kwTools::FormatFileVersion(1, 1, 9, 0), "1.1.9.0");
  EXPECT_EQ(kwTools::FormatFileVersion(2, 0, 1503, 1430), "2.0.1503.1430");
  EXPECT_EQ(kwTools::FormatFileVersion(2, 0, 100, 5), "2.0.100.5");
  EXPECT_EQ(kwTools::FormatFileVersion(2, 0, 101, 600), "2.0.0101.0600");
  EXPECT_EQ(kwTools::FormatFileVersion(2, 0, 3113, 2360), "2.0.3113.2360");
  EXPECT_EQ(kwTools::FormatFileVersion(3, 4, 12345, 65535), "3.4.1234.6553");  // four digits at most
}

TEST(ToNarrow, ConvertsOrLeavesTheDestinationAlone) {
  std::string out = "unchanged";
  tools.ToNarrow(u"Ethernet (Büro)", out);
  EXPECT_EQ(out, "Ethernet (B\xC3\xBCro)");

  const std::u16string tooLong(1100, u'x');
  out = "unchanged";
  tools.ToNarrow(tooLong.c_str(), out);
  EXPECT_EQ(out, "unchanged");
  tools.ToNarrow(nullptr, out);
  EXPECT_EQ(out, "unchanged");
}
}  // namespace
