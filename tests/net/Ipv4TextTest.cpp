#include <arpa/inet.h>
#include <gtest/gtest.h>

#include <string>

#include "net/Ipv4Text.h"
#include "net/Pingcl.h"

namespace {
std::uint32_t A(const char* dotted) { return ::inet_addr(dotted); }

TEST(DottedCleaning, DropsLeadingZerosOfTheLaterOctets) {
  const struct {
    const char* given;
    const char* cleaned;
  } cases[] = {
      {"192.168.001.010", "192.168.1.10"},
      {"10.0.0.5", "10.0.0.5"},
      {"10.20.30.0", "10.20.30.0"},
      {"10.0.0.0", "10.0.0.0"},
      {"0.0.0.0", "0.0.0.0"},
      {"010.001.000.100", "010.1.0.100"},
      {"10.77.000.010", "10.77.0.10"},
      {"1.2.3.4.5", "1.2.3.4.5"},
      {"10.20.30.0   ", "10.20.30.0"},
      {"100.100.100.100", "100.100.100.100"},
      {"1..2", "1.0.2"},
  };
  for (const auto& c : cases) EXPECT_EQ(Ipv4Text::CleanDotted(c.given), c.cleaned) << c.given;
}

TEST(DottedCleaning, NumericMeansDigitsOnceTheDotsAreGone) {
  const struct {
    std::string text;
    bool numeric;
  } cases[] = {
      {"192.168.1.10", true}, {"10", true},          {"1.2.3.4.5", true}, {"999.1.1.1", true},
      {"10.77.0.10  ", true}, {"", false},           {"...", false},      {"cam1.lab.example", false},
      {"10.77.0.1a", false},  {" 10.77.0.1", false}, {"-1.2.3.4", false}, {std::string("10.77\0.0.1", 10), false},
      {"１０.1.1.1", false},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Ipv4Text::IsNumeric(c.text), c.numeric) << c.text;
    EXPECT_EQ(Pingcl::IsNumericAddress(c.text), c.numeric) << c.text;
  }
}

TEST(DottedCleaning, OnlyFourOctetsOfAtMost255AreAnAddress) {
  const struct {
    std::string text;
    const char* address;  // nullptr: no address
  } cases[] = {
      {"192.168.001.010", "192.168.1.10"},
      {"10.20.30.0", "10.20.30.0"},
      {"010.1.1.1", "10.1.1.1"},  // decimal, unlike inet_addr's octal
      {"255.255.255.255", "255.255.255.255"},
      {"0.0.0.0", "0.0.0.0"},
      {"1.2.3.4.5", nullptr},
      {"999.1.1.1", nullptr},
      {"1.2.3.256", nullptr},
      {"1.2.3", nullptr},
      {"10.1", nullptr},
      {"1.2.3.", "1.2.3.0"},  // the cleaning completes a trailing dot, as it does for 10.20.30.0
      {"", nullptr},
      {std::string(300, '1'), nullptr},
      {"10.77.0000000000.10", "10.77.0.10"},
      {"10.77.0000000000.100", nullptr},  // 20 characters: too long to be one
      {"cam1.lab.example", nullptr},
      {std::string("10.77.0.10\0", 11), nullptr},
  };
  for (const auto& c : cases) {
    const auto parsed = Ipv4Text::ParseNumeric(c.text);
    if (c.address) {
      ASSERT_TRUE(parsed.has_value()) << c.text;
      EXPECT_EQ(*parsed, A(c.address)) << c.text;
    } else {
      EXPECT_FALSE(parsed.has_value()) << c.text;
    }
  }
}

TEST(DottedCleaning, FormatsAndMeasuresMasks) {
  EXPECT_EQ(Ipv4Text::Format(A("10.77.0.2")), "10.77.0.2");
  EXPECT_EQ(Ipv4Text::Format(0), "0.0.0.0");
  EXPECT_EQ(Ipv4Text::PrefixLength(A("255.255.255.0")), 24);
  EXPECT_EQ(Ipv4Text::PrefixLength(A("255.255.255.255")), 32);
  EXPECT_EQ(Ipv4Text::PrefixLength(A("255.255.252.0")), 22);
  EXPECT_EQ(Ipv4Text::PrefixLength(0), 0);
  EXPECT_FALSE(Ipv4Text::PrefixLength(A("255.0.255.0")).has_value());
  EXPECT_FALSE(Ipv4Text::PrefixLength(A("0.255.255.255")).has_value());
}
}  // namespace
