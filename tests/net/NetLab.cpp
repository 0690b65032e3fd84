#include "NetLab.h"

#include <arpa/inet.h>
#include <ifaddrs.h>
#include <netinet/in.h>

#include <bit>
#include <fstream>
#include <sstream>

unsigned long long NetLab::SentPackets() {
  std::ifstream in("/proc/thread-self/net/dev");
  std::string line;
  unsigned long long total = 0;
  for (int skip = 0; skip < 2 && std::getline(in, line); ++skip) {
  }
  while (std::getline(in, line)) {
    std::istringstream f(line.substr(line.find(':') + 1));
    unsigned long long v[10]{};
    for (auto& x : v) f >> x;
    total += v[9];  // transmitted packets
  }
  return total;
}

std::map<std::string, std::set<std::string>> NetLab::Addresses() {
  std::map<std::string, std::set<std::string>> out;
  ifaddrs* list = nullptr;
  if (::getifaddrs(&list) != 0) return out;
  for (const ifaddrs* i = list; i; i = i->ifa_next) {
    if (!i->ifa_addr || i->ifa_addr->sa_family != AF_INET || !i->ifa_netmask) continue;
    char text[INET_ADDRSTRLEN]{};
    ::inet_ntop(AF_INET, &reinterpret_cast<const sockaddr_in*>(i->ifa_addr)->sin_addr, text, sizeof text);
    const std::uint32_t mask = ntohl(reinterpret_cast<const sockaddr_in*>(i->ifa_netmask)->sin_addr.s_addr);
    out[i->ifa_name].insert(std::string(text) + "/" + std::to_string(std::popcount(mask)));
  }
  ::freeifaddrs(list);
  return out;
}

double NetLab::MillisecondsSince(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}
