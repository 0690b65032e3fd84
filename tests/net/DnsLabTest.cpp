#include <arpa/inet.h>

#include <cctype>
#include <functional>
#include <string>

#include "NetLab.h"
#include "net/DNSQuerycl.h"
#include "net/Pingcl.h"
#include "support/RecordingMessagePresenter.h"

namespace {
class DnsLab : public NetLab {};

long A(const std::string& dotted) { return static_cast<long>(::inet_addr(dotted.c_str())); }

const LabTopology& Site() { return LabSession::Topology(); }

std::string Upper(std::string name) {
  for (char& c : name) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return name;
}

// Each label capitalised, blanks after it: "Cam1.Lab.Example   ".
std::string CapitalisedWithBlanks(std::string name) {
  for (std::size_t i = 0; i < name.size(); ++i) {
    if (i == 0 || name[i - 1] == '.') name[i] = static_cast<char>(std::toupper(static_cast<unsigned char>(name[i])));
  }
  return name + "   ";
}

// Every name the lab's server knows (host records, A-only records, aliases
// followed to their end), written the ways a person may type it.
TEST_F(DnsLab, QueryAAnswersFromTheLabsRecords) {
  RecordingMessagePresenter messages;
  DNSQuerycl dns;
  const std::function<std::string(const std::string&)> spellings[] = {
      [](const std::string& n) { return n; }, Upper, CapitalisedWithBlanks,
      [](const std::string& n) { return n + "."; },  // fully qualified
  };
  for (const LabTopology::Name& n : Site().names) {
    for (const auto& spelling : spellings) {
      const std::string asked = spelling(n.name);
      EXPECT_EQ(dns.QueryA(asked, 1), A(n.address)) << "'" << asked << "'";
    }
  }
  EXPECT_TRUE(messages.shown.empty());
}

TEST_F(DnsLab, AMissingNameAnswersZeroAndSaysSoOnlyWhenAsked) {
  RecordingMessagePresenter messages;
  DNSQuerycl dns;
  const std::string missing = "nothing." + Site().domain;
  EXPECT_EQ(dns.QueryA(missing, 0), 0);
  EXPECT_TRUE(messages.shown.empty());
  EXPECT_EQ(dns.QueryA("N" + missing.substr(1), 1), 0);
  ASSERT_TRUE(messages.ShowedOnly(
      "QueryA", "DNS Query: " + missing + "|Query Failed, an error occured so result is unknown", MessageIcon::None));
}

TEST_F(DnsLab, WithTheLibraryMissingNothingIsAskedOrShown) {
  RecordingMessagePresenter messages;
  const unsigned long long before = SentPackets();
  DNSQuerycl dns("libvantrel-missing-resolver.so.2");
  EXPECT_EQ(dns.QueryA(Site().names.front().name, 1), 0);
  EXPECT_EQ(dns.QueryA("nothing." + Site().domain, 1), 0);
  EXPECT_TRUE(messages.shown.empty());
  EXPECT_EQ(SentPackets(), before);
}

TEST_F(DnsLab, PingLooksUpHostNamesButNeverShowsTheQuerysMessage) {
  RecordingMessagePresenter messages;
  Pingcl p;
  for (const LabTopology::Name& n : Site().names) {
    if (n.alias) {
      EXPECT_GE(p.Ping(n.name), 1) << n.name;
    }
  }
  EXPECT_EQ(p.Ping("nothing." + Site().domain), 0);
  EXPECT_TRUE(messages.shown.empty());
}
}  // namespace
