// Probe figures, measured inside the lab's installer's computer (tools/lab
// exec runs it there; tools/bench-probes does all of it). Refuses to run
// anywhere that does not look like the lab.
#include <arpa/inet.h>
#include <ifaddrs.h>
#include <netinet/in.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "net/DNSQuerycl.h"
#include "net/Pingcl.h"
#include "net/kwIPcl.h"
#include "support/LabSession.h"

namespace {
using Clock = std::chrono::steady_clock;

// The computer's address on one of its interfaces, and no default route.
bool InsideTheLab() {
  const in_addr_t address = ::inet_addr(LabSession::Topology().computer.address.c_str());
  bool computer = false;
  ifaddrs* list = nullptr;
  if (::getifaddrs(&list) != 0) return false;
  for (const ifaddrs* i = list; i; i = i->ifa_next) {
    if (i->ifa_addr && i->ifa_addr->sa_family == AF_INET &&
        reinterpret_cast<const sockaddr_in*>(i->ifa_addr)->sin_addr.s_addr == address) {
      computer = true;
    }
  }
  ::freeifaddrs(list);
  std::ifstream routes("/proc/self/net/route");
  std::string line;
  std::getline(routes, line);
  while (std::getline(routes, line)) {
    std::istringstream f(line);
    std::string device, destination, gateway, flags, refs, use, metric, mask;
    f >> device >> destination >> gateway >> flags >> refs >> use >> metric >> mask;
    if (destination == "00000000" && mask == "00000000") return false;
  }
  return computer;
}

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  const std::size_t n = v.size();
  return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

// Median time of `runs` calls in microseconds; `before` runs untimed first.
double MedianMicroseconds(int runs, const std::function<void()>& call, const std::function<void()>& before = {}) {
  std::vector<double> samples;
  for (int i = 0; i < runs; ++i) {
    if (before) before();
    const auto start = Clock::now();
    call();
    samples.push_back(std::chrono::duration<double, std::micro>(Clock::now() - start).count());
  }
  return Median(samples);
}

void FlushNeighbours() {
  if (std::system("ip neigh flush dev eth0 >/dev/null 2>&1") != 0) std::fprintf(stderr, "flush failed\n");
}
}  // namespace

int main() {
  if (!InsideTheLab()) {
    std::fprintf(stderr, "bench_probes: not inside the lab's computer (run tools/bench-probes)\n");
    return 2;
  }
  const LabTopology& site = LabSession::Topology();
  const LabTopology::Device& device = *std::find_if(site.devices.begin(), site.devices.end(),
                                                    [](const LabTopology::Device& d) { return !d.ignoresPing; });
  const char* liveIp = device.ip.c_str();
  const char* silentIp = site.silentAddress.c_str();
  bool ok = true;
  auto check = [&](bool good, const char* what) {
    if (!good) {
      std::fprintf(stderr, "bench_probes: %s\n", what);
      ok = false;
    }
  };

  // First, with no other Pingcl alive: each one maps and unmaps the resolver
  // library. Then with one alive, as during a sweep, where the others keep it mapped.
  const double alone = MedianMicroseconds(2000, [] { Pingcl p; });
  std::printf("Pingcl constructed and destroyed, none other alive (maps libresolv.so.2), 2000 runs: median %.1f us\n",
              alone);
  const double dnsAlone = MedianMicroseconds(2000, [] { DNSQuerycl d; });
  std::printf("DNSQuerycl alone, none other alive, 2000 runs: median %.1f us\n", dnsAlone);
  const double ipObject = MedianMicroseconds(2000, [] { kwIPcl ip; });
  std::printf("kwIPcl constructed and destroyed, 2000 runs: median %.1f us\n", ipObject);

  Pingcl ping;
  const double shared = MedianMicroseconds(2000, [] { Pingcl p; });
  std::printf("Pingcl constructed and destroyed while another is alive, 2000 runs: median %.1f us\n", shared);

  long reported = 0;
  std::vector<double> rtts;
  const double pingCall = MedianMicroseconds(200, [&] {
    reported = ping.Ping(liveIp);
    rtts.push_back(static_cast<double>(reported));
  });
  check(reported >= 1, "the live device did not answer");
  std::printf("Ping %s (live device), 200 runs: median call %.0f us; median round trip reported %.0f ms\n", liveIp,
              pingCall, Median(rtts));

  std::string mac;
  const double cached = MedianMicroseconds(200, [&] { mac = ping.GetMACAddress(liveIp, 1); });
  check(mac == device.mac, "wrong MAC for the live device");
  std::printf("GetMACAddress %s, neighbour already resolved, 200 runs: median %.0f us\n", liveIp, cached);

  const double fresh = MedianMicroseconds(
      30, [&] { mac = ping.GetMACAddress(liveIp, 1); }, FlushNeighbours);
  check(mac == device.mac, "wrong MAC for the live device after a flush");
  std::printf("GetMACAddress %s, neighbour table flushed first, 30 runs: median %.0f us\n", liveIp, fresh);

  const double silent = MedianMicroseconds(
      5, [&] { mac = ping.GetMACAddress(silentIp, 1); }, FlushNeighbours);
  check(mac.empty(), "a MAC for the silent address");
  std::printf("GetMACAddress %s (silent address), 5 runs: median %.0f ms\n", silentIp, silent / 1000);

  const double silentPing = MedianMicroseconds(5, [&] { reported = ping.Ping(silentIp); });
  check(reported == 0, "the silent address answered");
  std::printf("Ping %s (silent address), 5 runs: median %.0f ms\n", silentIp, silentPing / 1000);

  return ok ? 0 : 1;
}
