#include <arpa/inet.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "net/DnsAnswer.h"

namespace {
using Bytes = std::vector<std::uint8_t>;

void Put16(Bytes& b, std::uint16_t v) {
  b.push_back(static_cast<std::uint8_t>(v >> 8));
  b.push_back(static_cast<std::uint8_t>(v));
}

void PutName(Bytes& b, const std::string& dotted) {
  std::size_t start = 0;
  while (start < dotted.size()) {
    const std::size_t dot = dotted.find('.', start);
    const std::string label = dotted.substr(start, dot == std::string::npos ? std::string::npos : dot - start);
    b.push_back(static_cast<std::uint8_t>(label.size()));
    b.insert(b.end(), label.begin(), label.end());
    if (dot == std::string::npos) break;
    start = dot + 1;
  }
  b.push_back(0);
}

struct Record {
  std::uint16_t type;
  Bytes data;
};

// A response to "name IN A" with the given answers, each owned by a
// compression pointer to the question's name.
Bytes Response(const std::string& name, const std::vector<Record>& answers, std::uint8_t rcode = 0) {
  Bytes m;
  Put16(m, 0x1234);
  m.push_back(0x81);
  m.push_back(static_cast<std::uint8_t>(0x80 | rcode));
  Put16(m, 1);
  Put16(m, static_cast<std::uint16_t>(answers.size()));
  Put16(m, 0);
  Put16(m, 0);
  PutName(m, name);
  Put16(m, 1);
  Put16(m, 1);
  for (const Record& r : answers) {
    m.push_back(0xC0);
    m.push_back(12);
    Put16(m, r.type);
    Put16(m, 1);
    Put16(m, 0);
    Put16(m, 60);
    Put16(m, static_cast<std::uint16_t>(r.data.size()));
    m.insert(m.end(), r.data.begin(), r.data.end());
  }
  return m;
}

Bytes NameData(const std::string& name) {
  Bytes b;
  PutName(b, name);
  return b;
}

std::uint32_t A(const char* dotted) { return ::inet_addr(dotted); }

TEST(DnsAnswer, GivesTheFirstARecord) {
  EXPECT_EQ(DnsAnswer::FirstA(Response("cam1.lab.example", {{1, {10, 77, 0, 10}}})), A("10.77.0.10"));
  EXPECT_EQ(DnsAnswer::FirstA(Response("two.lab.example", {{1, {10, 0, 0, 1}}, {1, {10, 0, 0, 2}}})), A("10.0.0.1"));
}

TEST(DnsAnswer, ACnameChainGivesTheAddressNotTheAliasBytes) {
  const Bytes m = Response("www.lab.example",
                           {{5, NameData("web.lab.example")}, {5, NameData("cam1.lab.example")}, {1, {10, 77, 0, 10}}});
  EXPECT_EQ(DnsAnswer::FirstA(m), A("10.77.0.10"));
}

TEST(DnsAnswer, NoAddressWithoutAnARecordOrFromABrokenMessage) {
  EXPECT_FALSE(DnsAnswer::FirstA(Response("none.lab.example", {})).has_value());
  EXPECT_FALSE(DnsAnswer::FirstA(Response("alias.lab.example", {{5, NameData("gone.lab.example")}})).has_value());
  EXPECT_FALSE(DnsAnswer::FirstA(Response("x.lab.example", {{1, {10, 0, 0, 1}}}, 3)).has_value());  // NXDOMAIN
  EXPECT_FALSE(DnsAnswer::FirstA(Response("odd.lab.example", {{1, {10, 0, 0}}})).has_value());      // 3-byte "A"

  const Bytes whole = Response("cam1.lab.example", {{5, NameData("web.lab.example")}, {1, {10, 77, 0, 10}}});
  for (std::size_t n = 0; n < whole.size(); ++n) {
    const Bytes cut(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(n));
    EXPECT_FALSE(DnsAnswer::FirstA(cut).has_value()) << n << " bytes";
  }
  Bytes lying = whole;
  lying[7] = 40;  // claims 40 answers
  EXPECT_EQ(DnsAnswer::FirstA(lying), A("10.77.0.10"));
  Bytes badLabel = whole;
  badLabel[12] = 0x80;  // neither a length nor a pointer
  EXPECT_FALSE(DnsAnswer::FirstA(badLabel).has_value());
}
}  // namespace
