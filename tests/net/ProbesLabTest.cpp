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

const LabTopology& Site() { return LabSession::Topology(); }

// The first device that answers ping, with a name in the lab's DNS when asked.
const LabTopology::Device& Answering(bool named = false) {
  for (const LabTopology::Device& d : Site().devices) {
    if (!d.ignoresPing && (!named || !d.hostname.empty())) return d;
  }
  ADD_FAILURE() << "no device of the lab answers ping";
  return Site().devices.front();
}

// 10.1.2.3 as 010.001.002.003.
std::string WithLeadingZeros(const std::string& address) {
  std::string out, part;
  for (std::size_t i = 0; i <= address.size(); ++i) {
    if (i == address.size() || address[i] == '.') {
      out += (out.empty() ? "" : ".") + std::string(3 - std::min<std::size_t>(part.size(), 3), '0') + part;
      part.clear();
    } else {
      part += address[i];
    }
  }
  return out;
}

bool IsMacText(const std::string& text) {
  if (text.size() != 17) return false;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (i % 3 == 2 ? c != ':' : !(std::isdigit(static_cast<unsigned char>(c)) || (c >= 'A' && c <= 'F'))) return false;
  }
  return true;
}

TEST_F(ProbesLab, LiveDevicesAnswerWithARoundTripOfAtLeastOne) {
  std::vector<std::string> live{Site().router.address, Site().far.address, Site().computer.address};
  for (const LabTopology::Device& d : Site().devices) {
    if (!d.ignoresPing) live.push_back(d.ip);
  }
  Pingcl p;
  for (const std::string& target : live) EXPECT_GE(p.Ping(target), 1) << target;
  // Leading zeros are cleaned away, host names looked up in the lab's DNS.
  EXPECT_GE(p.Ping(WithLeadingZeros(Answering().ip)), 1) << WithLeadingZeros(Answering().ip);
  EXPECT_GE(p.Ping(Answering(true).hostname), 1) << Answering(true).hostname;
}

TEST_F(ProbesLab, SilenceAndIgnoredPingAreNoAnswer) {
  Pingcl p;
  const auto start = Clock::now();
  EXPECT_EQ(p.Ping(Site().silentAddress), 0);
  const double waited = MillisecondsSince(start);
  EXPECT_GE(waited, 950.0);  // the whole timeout, nothing ended it early
  EXPECT_LT(waited, 2500.0);

  for (const LabTopology::Device& d : Site().devices) {
    if (d.ignoresPing) {
      EXPECT_EQ(p.Ping(d.ip), 0) << d.name;
    }
  }
  EXPECT_EQ(p.Ping("nothing." + Site().domain), 0);
}

TEST_F(ProbesLab, TheRoutersUnreachableIsNoAnswer) {
  Pingcl p;
  const auto start = Clock::now();
  EXPECT_EQ(p.Ping(Site().unreachableAddress), 0);
  // The router says so at once; the error ends the wait.
  EXPECT_LT(MillisecondsSince(start), 900.0);
}

TEST_F(ProbesLab, EveryNeighbourGivesItsOwnMacAddress) {
  struct Expected {
    std::string ip, mac;
  };
  std::vector<Expected> neighbours{{Site().router.address, Site().router.mac},
                                   {Site().computer.address, Site().computer.mac}};
  for (const LabTopology::Device& d : Site().devices) neighbours.push_back({d.ip, d.mac});

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
  EXPECT_EQ(ip.HasMACAddress(Site().router.address, small, sizeof small, 1), 1);
  EXPECT_EQ(std::string(small), Site().router.mac.substr(0, sizeof small - 1));
}

TEST_F(ProbesLab, ASilentAddressHasNoMacAddress) {
  Pingcl p;
  EXPECT_EQ(p.GetMACAddress(Site().silentAddress, 1), "");
  kwIPcl ip;
  char buffer[32] = "stale";
  EXPECT_EQ(ip.HasMACAddress(Site().silentAddress, buffer, sizeof buffer, 1), 0);
  EXPECT_STREQ(buffer, "");
}

TEST_F(ProbesLab, TheHostBehindTheRouterAnswersButHasNoMacAddress) {
  Pingcl p;
  EXPECT_GE(p.Ping(Site().far.address), 1);
  const auto start = Clock::now();
  EXPECT_EQ(p.GetMACAddress(Site().far.address, 1), "");
  kwIPcl ip;
  char buffer[32];
  EXPECT_EQ(ip.HasMACAddress(Site().unreachableAddress, buffer, sizeof buffer, 1), 0);
  // Off-link: the route says so and nothing is resolved (that would take 3 s).
  EXPECT_LT(MillisecondsSince(start), 500.0);
}

TEST_F(ProbesLab, ProbesWorkForAnOrdinaryUser) {
  const auto& devices = Site().devices;
  ASSERT_GE(devices.size(), 2u);
  const LabTopology::Device& pinged = Answering();
  const LabTopology::Device& looked = devices[1];
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
  for (const LabTopology::Device& d : Site().devices) outcomes.emplace_back(d.ip, d.mac, !d.ignoresPing);
  outcomes.emplace_back(Site().far.address, "", true);
  outcomes.emplace_back(Site().unreachableAddress, "", false);
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
  const std::string live = Answering().ip, name = Answering(true).hostname;
  const std::vector<std::string> hostile = {
      "",
      std::string(300, 'a'),
      std::string(300, '1'),
      live + std::string(300 - live.size(), '0'),
      "\xc3\xa9\xe2\x82\xac\xff\xfe." + Site().domain,
      "1.2.3.4.5",
      "999.1.1.1",
      name + std::string("\0.evil", 6),
      live + std::string(1, '\0'),
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
  const LabTopology& site = LabSession::Topology();
  std::vector<Case> cases{{site.far.address, true}, {site.unreachableAddress, false}, {site.silentAddress, false}};
  for (const LabTopology::Device& d : site.devices) cases.push_back({d.ip, !d.ignoresPing});
  {
    // All at once: every raw socket sees every reply and every error.
    std::vector<std::jthread> workers;
    for (Case& c : cases) workers.emplace_back([&c] { c.rtt = Pingcl().Ping(c.ip); });
  }
  for (const Case& c : cases) EXPECT_EQ(c.rtt >= 1, c.answers) << c.ip << " rtt " << c.rtt;
}

TEST_F(RawSocketLab, AnOrdinaryUserWithoutASocketGetsNoAnswerQuietly) {
  std::string result;
  const std::string live = Answering().ip;
  ASSERT_TRUE(LabSession::RunUnprivileged([&] { return std::to_string(Pingcl().Ping(live)); }, &result));
  EXPECT_EQ(result, "0");
}
}  // namespace
