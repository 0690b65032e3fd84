#include <gtest/gtest.h>

#include "scan/IPv4.h"

namespace {
TEST(IPv4, ParseIsLenientAndReducesToEightBits) {
  struct Case {
    const char* text;
    Octets expected;
  };
  const Case cases[] = {
      {"192.168.1.254", {192, 168, 1, 254}},
      {"10.5", {10, 0, 0, 5}},          // one dot: the middle octets stay 0
      {"192.168.1", {192, 168, 0, 1}},  // two dots: the third stays 0
      {"256.300.1.2", {0, 44, 1, 2}},
      {"1..3.4", {1, 0, 3, 4}},  // empty piece
      {"", {0, 0, 0, 0}},
      {"192.168.001.010", {192, 168, 1, 10}},
      {"1.2.3.4.5", {1, 2, 3, 4}},  // the fourth piece reads its leading digits
      {"a.b.c.d", {0, 0, 0, 0}},
      {"99999999999999999999.1.1.1", {255, 1, 1, 1}},  // never overflows
  };
  for (const Case& c : cases) EXPECT_EQ(IPv4::ParseIPv4(c.text), c.expected) << c.text;
}

TEST(IPv4, Format) {
  EXPECT_EQ(IPv4::FormatIPv4({10, 0, 0, 1}), "10.0.0.1");
  EXPECT_EQ(IPv4::FormatIPv4({192, 168, 1, 254}), "192.168.1.254");
}
}  // namespace
