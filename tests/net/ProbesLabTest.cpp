#include <algorithm>
#include <chrono>
#include <cstring>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "NetLab.h"
#include "net/Pingcl.h"
#include "net/kwIPcl.h"
#include "support/RecordingMessagePresenter.h"

namespace {
using Clock = std::chrono::steady_clock;

class ProbesLab : public NetLab {};

bool IsMacText(const std::string& text) {
  if (text.size() != 17) return false;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (i % 3 == 2 ? c != ':' : !(std::isdigit(static_cast<unsigned char>(c)) || (c >= 'A' && c <= 'F'))) return false;
  }
  return true;
}

TEST_F(ProbesLab, LiveDevicesAnswerWithARoundTripOfAtLeastOne) {
  std::vector<std::string> live{LabSession::kRouterAddress, LabSession::kFarHost, LabSession::kComputerAddress};
  for (const LabDevice& d : LabSession::Devices()) {
    if (!d.IgnoresPing()) live.push_back(d.ip);
  }
  Pingcl p;
  for (const std::string& target : live) EXPECT_GE(p.Ping(target), 1) << target;
  // Leading zeros are cleaned away, host names looked up in the lab's DNS.
  EXPECT_GE(p.Ping("10.77.000.010"), 1);
  EXPECT_GE(p.Ping("cam2.lab.example"), 1);
}

TEST_F(ProbesLab, SilenceAndIgnoredPingAreNoAnswer) {
  Pingcl p;
  const auto start = Clock::now();
  EXPECT_EQ(p.Ping(LabSession::kSilentAddress), 0);
  const double waited = MillisecondsSince(start);
  EXPECT_GE(waited, 950.0);  // the whole timeout, nothing ended it early
  EXPECT_LT(waited, 2500.0);

  for (const LabDevice& d : LabSession::Devices()) {
    if (d.IgnoresPing()) {
      EXPECT_EQ(p.Ping(d.ip), 0) << d.name;
    }
  }
  EXPECT_EQ(p.Ping("nothing.lab.example"), 0);
}

TEST_F(ProbesLab, TheRoutersUnreachableIsNoAnswer) {
  Pingcl p;
  const auto start = Clock::now();
  EXPECT_EQ(p.Ping(LabSession::kRouterUnreachable), 0);
  // The router says so at once; the error ends the wait.
  EXPECT_LT(MillisecondsSince(start), 900.0);
}

TEST_F(ProbesLab, EveryNeighbourGivesItsOwnMacAddress) {
  struct Expected {
    std::string ip, mac;
  };
  std::vector<Expected> neighbours{{LabSession::kRouterAddress, LabSession::kRouterMac},
                                   {LabSession::kComputerAddress, LabSession::kComputerMac}};
  for (const LabDevice& d : LabSession::Devices()) neighbours.push_back({d.ip, d.mac});

  for (const Expected& n : neighbours) {
    Pingcl p;
    const std::string mac = p.GetMACAddress(n.ip, 1);
    EXPECT_TRUE(IsMacText(mac)) << n.ip << ": " << mac;
    EXPECT_EQ(mac, n.mac) << n.ip;

    kwIPcl ip;
    char buffer[32];
    std::memset(buffer, 'x', sizeof buffer);
    EXPECT_EQ(ip.HasMACAddress(n.ip, buffer, sizeof buffer, 1), 1) << n.ip;
    EXPECT_STREQ(buffer, n.mac.c_str());
    std::string bare = n.mac;
    bare.erase(std::remove(bare.begin(), bare.end(), ':'), bare.end());
    EXPECT_EQ(ip.GetMACAddress(n.ip, 0), bare);
  }

  kwIPcl ip;
  char small[6];
  EXPECT_EQ(ip.HasMACAddress(LabSession::kRouterAddress, small, sizeof small, 1), 1);
  EXPECT_STREQ(small, "02:77");
}

TEST_F(ProbesLab, ASilentAddressHasNoMacAddress) {
  Pingcl p;
  EXPECT_EQ(p.GetMACAddress(LabSession::kSilentAddress, 1), "");
  kwIPcl ip;
  char buffer[32] = "stale";
  EXPECT_EQ(ip.HasMACAddress(LabSession::kSilentAddress, buffer, sizeof buffer, 1), 0);
  EXPECT_STREQ(buffer, "");
}

TEST_F(ProbesLab, TheHostBehindTheRouterAnswersButHasNoMacAddress) {
  Pingcl p;
  EXPECT_GE(p.Ping(LabSession::kFarHost), 1);
  const auto start = Clock::now();
  EXPECT_EQ(p.GetMACAddress(LabSession::kFarHost, 1), "");
  kwIPcl ip;
  char buffer[32];
  EXPECT_EQ(ip.HasMACAddress(LabSession::kRouterUnreachable, buffer, sizeof buffer, 1), 0);
  // Off-link: the route says so and nothing is resolved (that would take 3 s).
  EXPECT_LT(MillisecondsSince(start), 500.0);
}

TEST_F(ProbesLab, ProbesWorkForAnOrdinaryUser) {
  const auto devices = LabSession::Devices();
  ASSERT_GE(devices.size(), 2u);
  const LabDevice& pinged = devices[0];
  const LabDevice& looked = devices[1];
  std::string result;
  ASSERT_TRUE(LabSession::RunUnprivileged(
      [&] {
        Pingcl p;
        return std::to_string(p.Ping(pinged.ip)) + " " + p.GetMACAddress(looked.ip, 1);
      },
      &result))
      << result;
  const std::size_t space = result.find(' ');
  ASSERT_NE(space, std::string::npos) << result;
  EXPECT_GE(std::stol(result.substr(0, space)), 1) << result;
  EXPECT_EQ(result.substr(space + 1), looked.mac);
}

TEST_F(ProbesLab, ProbesOnManyThreadsKeepTheirAnswersApart) {
  struct Outcome {
    Outcome(std::string target, std::string expected, bool answering)
        : ip(std::move(target)), expectedMac(std::move(expected)), answers(answering) {}
    std::string ip, expectedMac;
    bool answers = false;
    long rtt = -1;
    std::string mac;
    unsigned char arp = 0;
    char arpMac[32]{};
  };
  std::vector<Outcome> outcomes;
  for (const LabDevice& d : LabSession::Devices()) outcomes.emplace_back(d.ip, d.mac, !d.IgnoresPing());
  outcomes.emplace_back(LabSession::kFarHost, "", true);
  outcomes.emplace_back(LabSession::kRouterUnreachable, "", false);
  {
    std::vector<std::jthread> workers;
    for (Outcome& o : outcomes) {
      workers.emplace_back([&o] {
        Pingcl p;
        o.rtt = p.Ping(o.ip);
        o.mac = p.GetMACAddress(o.ip, 1);
        kwIPcl ip;
        o.arp = ip.HasMACAddress(o.ip, o.arpMac, sizeof o.arpMac, 1);
      });
    }
  }
  for (const Outcome& o : outcomes) {
    EXPECT_EQ(o.rtt >= 1, o.answers) << o.ip << " rtt " << o.rtt;
    EXPECT_EQ(o.mac, o.expectedMac) << o.ip;
    EXPECT_EQ(o.arp, o.expectedMac.empty() ? 0 : 1) << o.ip;
    EXPECT_EQ(std::string(o.arpMac), o.expectedMac) << o.ip;
  }
}

TEST_F(ProbesLab, HostileTargetsNeverCrashAndSendNothing) {
  RecordingMessagePresenter messages;
  const std::vector<std::string> hostile = {
      "",
      std::string(300, 'a'),
      std::string(300, '1'),
      "10.77.0.10" + std::string(290, '0'),
      "\xc3\xa9\xe2\x82\xac\xff\xfe.lab.example",
      "1.2.3.4.5",
      "999.1.1.1",
      std::string("cam1.lab.example\0.evil", 22),
      std::string("10.77.0.10\0", 11),
      std::string("\0", 1),
      "0.0.0.0",
  };
  const unsigned long long before = SentPackets();
  Pingcl p;
  kwIPcl ip;
  for (const std::string& target : hostile) {
    EXPECT_EQ(p.Ping(target), 0) << target.size() << " bytes";
    EXPECT_EQ(p.GetMACAddress(target, 1), "") << target.size() << " bytes";
    char buffer[32] = "unchanged?";
    EXPECT_EQ(ip.HasMACAddress(target, buffer, sizeof buffer, 1), 0);
    EXPECT_STREQ(buffer, "");
  }
  EXPECT_EQ(SentPackets(), before) << "a hostile target made the computer send something";
  EXPECT_TRUE(messages.shown.empty());
}
}  // namespace

namespace {
// Where the computer refuses ICMP datagram sockets (the kernel's default),
// root pings on a raw socket, which sees every ICMP message of the computer.
class RawSocketLab : public NetLab {
 protected:
  void SetUp() override {
    NetLab::SetUp();
    if (IsSkipped() || HasFatalFailure()) return;
    std::ofstream range("/proc/sys/net/ipv4/ping_group_range");
    range << "1 0\n";
    range.close();
    ASSERT_TRUE(range) << "cannot close ping_group_range";
  }
};

TEST_F(RawSocketLab, RootStillPingsAndOnlyTheTargetsReplyCounts) {
  struct Case {
    std::string ip;
    bool answers;
    long rtt = -1;
  };
  std::vector<Case> cases{{LabSession::kFarHost, true}, {LabSession::kRouterUnreachable, false},
                          {LabSession::kSilentAddress, false}};
  for (const LabDevice& d : LabSession::Devices()) cases.push_back({d.ip, !d.IgnoresPing()});
  {
    // All at once: every raw socket sees every reply and every error.
    std::vector<std::jthread> workers;
    for (Case& c : cases) workers.emplace_back([&c] { c.rtt = Pingcl().Ping(c.ip); });
  }
  for (const Case& c : cases) EXPECT_EQ(c.rtt >= 1, c.answers) << c.ip << " rtt " << c.rtt;
}

TEST_F(RawSocketLab, AnOrdinaryUserWithoutASocketGetsNoAnswerQuietly) {
  std::string result;
  ASSERT_TRUE(LabSession::RunUnprivileged([] { return std::to_string(Pingcl().Ping("10.77.0.10")); }, &result));
  EXPECT_EQ(result, "0");
}
}  // namespace
