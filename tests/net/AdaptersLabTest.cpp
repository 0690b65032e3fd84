#include <net/if.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "NetLab.h"
#include "net/kwIPcl.h"

namespace {
class AdaptersLab : public NetLab {};

std::vector<std::string> Names(const kwIPcl& ip) {
  std::vector<std::string> names;
  for (const AdapterEntry& e : ip.ADAPTERQ) names.push_back(e.SZUID);
  return names;
}

TEST_F(AdaptersLab, ListsTheComputersEthernetAdaptersUpOrDownButNotLoopback) {
  ASSERT_EQ(Lab().Lab({"exec", "ip", "link", "set", "dev", "eth1", "alias", "Second port (unplugged)"}), 0);
  kwIPcl ip;
  ip.GetAdapters(1);
  ASSERT_EQ(Names(ip), (std::vector<std::string>{"eth0", "eth1"}));

  const LabTopology::Computer& computer = LabSession::Topology().computer;
  const AdapterEntry& up = ip.ADAPTERQ[0];
  EXPECT_EQ(up.SZNAME, "eth0");
  EXPECT_EQ(up.SZIPADDRESS, computer.address);
  EXPECT_EQ(up.SZSUBNETMASK, "255.255.255.0");
  EXPECT_EQ(up.SZPHYSICALADDRESS, computer.mac);
  EXPECT_EQ(up.DWIFINDEX, static_cast<long>(::if_nametoindex("eth0")));
  EXPECT_EQ(up.IPADDRESSQ, (std::vector<std::string>{computer.address}));

  const AdapterEntry& down = ip.ADAPTERQ[1];
  EXPECT_EQ(down.SZNAME, "Second port (unplugged)");
  EXPECT_EQ(down.SZIPADDRESS, computer.secondAddress);
  EXPECT_EQ(down.SZPHYSICALADDRESS, computer.secondMac);
  EXPECT_EQ(ip.CurrentAdapter(), &ip.ADAPTERQ[0]);

  ip.GetAdapters(0);  // no wireless adapter in the lab: the same list
  EXPECT_EQ(Names(ip), (std::vector<std::string>{"eth0", "eth1"}));
  ip.FreeAdapters();
  EXPECT_TRUE(ip.ADAPTERQ.empty());
  EXPECT_EQ(ip.CurrentAdapter(), nullptr);
}

TEST_F(AdaptersLab, ManyAdaptersAreListedUpToTheTwentiethRecord) {
  // Twelve more pairs of Ethernet adapters, every one with an address and a
  // long alias: far more adapter data than a fixed buffer of a few KB holds.
  const std::string batch = "/tmp/vantrel-adapters-" + Lab().Prefix() + ".batch";
  std::vector<std::string> added;
  {
    std::ofstream out(batch);
    for (int pair = 0; pair < 12; ++pair) {
      const std::string a = "va" + std::to_string(pair), b = "vb" + std::to_string(pair);
      out << "link add " << a << " type veth peer name " << b << "\n";
      for (const std::string& name : {a, b}) {
        out << "addr add 172.16." << added.size() << ".1/24 dev " << name << "\n";
        out << "link set dev " << name << " alias \"" << std::string(100, 'L') << " " << name << "\"\n";
        added.push_back(name);
      }
    }
  }
  std::string output;
  const int rc = Lab().Lab({"exec", "ip", "-batch", batch}, &output);
  std::remove(batch.c_str());
  ASSERT_EQ(rc, 0) << output;

  // Records go by interface index: loopback, eth0, eth1, then the first 17 added.
  std::sort(added.begin(), added.end(), [](const std::string& x, const std::string& y) {
    return ::if_nametoindex(x.c_str()) < ::if_nametoindex(y.c_str());
  });
  std::vector<std::string> expected{"eth0", "eth1"};
  expected.insert(expected.end(), added.begin(), added.begin() + 17);

  kwIPcl ip;
  ip.GetAdapters(1);
  EXPECT_EQ(Names(ip), expected);
  ASSERT_GE(ip.ADAPTERQ.size(), 3u);
  EXPECT_EQ(ip.ADAPTERQ[2].SZNAME, std::string(100, 'L') + " " + expected[2]);
}
}  // namespace
