#include <arpa/inet.h>

#include <string>

#include "NetLab.h"
#include "net/DNSQuerycl.h"
#include "net/Pingcl.h"
#include "support/RecordingMessagePresenter.h"

namespace {
class DnsLab : public NetLab {};

long A(const char* dotted) { return static_cast<long>(::inet_addr(dotted)); }

TEST_F(DnsLab, QueryAAnswersFromTheLabsRecords) {
  RecordingMessagePresenter messages;
  DNSQuerycl dns;
  const struct {
    const char* name;
    const char* address;
  } cases[] = {
      {"cam1.lab.example", "10.77.0.10"},
      {"www.lab.example", "10.77.0.10"},  // www -> web -> cam1
      {"CAM1.LAB.EXAMPLE", "10.77.0.10"},
      {"Dvr1.Lab.Example   ", "10.77.0.13"},
      {"printer.lab.example", "10.77.0.21"},
      {"far.lab.example.", "10.78.0.10"},
  };
  for (const auto& c : cases) EXPECT_EQ(dns.QueryA(c.name, 1), A(c.address)) << c.name;
  EXPECT_TRUE(messages.shown.empty());
}

TEST_F(DnsLab, AMissingNameAnswersZeroAndSaysSoOnlyWhenAsked) {
  RecordingMessagePresenter messages;
  DNSQuerycl dns;
  EXPECT_EQ(dns.QueryA("nothing.lab.example", 0), 0);
  EXPECT_TRUE(messages.shown.empty());
  EXPECT_EQ(dns.QueryA("Nothing.lab.example", 1), 0);
  ASSERT_TRUE(messages.ShowedOnly("QueryA", "DNS Query: nothing.lab.example|Query Failed, an error occured so result is unknown", MessageIcon::None));
}

TEST_F(DnsLab, WithTheLibraryMissingNothingIsAskedOrShown) {
  RecordingMessagePresenter messages;
  const unsigned long long before = SentPackets();
  DNSQuerycl dns("libvantrel-missing-resolver.so.2");
  EXPECT_EQ(dns.QueryA("cam1.lab.example", 1), 0);
  EXPECT_EQ(dns.QueryA("nothing.lab.example", 1), 0);
  EXPECT_TRUE(messages.shown.empty());
  EXPECT_EQ(SentPackets(), before);
}

TEST_F(DnsLab, PingLooksUpHostNamesButNeverShowsTheQuerysMessage) {
  RecordingMessagePresenter messages;
  Pingcl p;
  EXPECT_GE(p.Ping("www.lab.example"), 1);
  EXPECT_EQ(p.Ping("nothing.lab.example"), 0);
  EXPECT_TRUE(messages.shown.empty());
}
}  // namespace
