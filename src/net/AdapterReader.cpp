#include "net/AdapterReader.h"

#include <arpa/inet.h>
#include <linux/if.h>
#include <linux/if_addr.h>
#include <linux/if_arp.h>
#include <netlink/addr.h>
#include <netlink/cache.h>
#include <netlink/netlink.h>
#include <netlink/route/addr.h>
#include <netlink/route/link.h>
#include <sys/socket.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstring>
#include <fstream>
#include <map>
#include <memory>
#include <string>

#include "net/Ipv4Text.h"

namespace {
struct SocketDeleter {
  void operator()(nl_sock* s) const { nl_socket_free(s); }
};
struct CacheDeleter {
  void operator()(nl_cache* c) const { nl_cache_free(c); }
};
using Socket = std::unique_ptr<nl_sock, SocketDeleter>;
using Cache = std::unique_ptr<nl_cache, CacheDeleter>;

bool Exists(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0;
}

// sysfs shows the interfaces of the namespace it was mounted for, which need
// not be ours: trust it only when the index there is this interface's index.
bool IsWireless(const std::string& name, int interfaceIndex) {
  const std::string folder = "/sys/class/net/" + name;
  std::ifstream in(folder + "/ifindex");
  int index = 0;
  if (!(in >> index) || index != interfaceIndex) return false;
  return Exists(folder + "/wireless") || Exists(folder + "/phy80211");
}

int OperStatus(rtnl_link* link) {
  switch (rtnl_link_get_operstate(link)) {
    case IF_OPER_UP:
      return AdapterRecord::kStatusUp;
    case IF_OPER_DOWN:
    case IF_OPER_LOWERLAYERDOWN:  // a cable pulled, a peer gone: disconnected
      return AdapterRecord::kStatusDown;
    case IF_OPER_UNKNOWN: {
      // Drivers that do not track the operational state leave it unknown;
      // the flags still tell whether the link carries traffic.
      const unsigned flags = rtnl_link_get_flags(link);
      if (!(flags & IFF_UP)) return AdapterRecord::kStatusDown;
      return (flags & IFF_RUNNING) ? AdapterRecord::kStatusUp : AdapterRecord::kStatusDown;
    }
    default:
      return AdapterRecord::kStatusUnknown;
  }
}

std::uint32_t AddressOf(nl_addr* a) {
  std::uint32_t value = 0;
  if (a && nl_addr_get_len(a) == sizeof value) std::memcpy(&value, nl_addr_get_binary_addr(a), sizeof value);
  return value;
}

std::uint32_t MaskOf(int prefixLength) {
  if (prefixLength <= 0) return 0;
  return htonl(prefixLength >= 32 ? 0xFFFFFFFFu : ~(0xFFFFFFFFu >> prefixLength));
}
}  // namespace

std::vector<AdapterRecord> AdapterReader::ReadAll() {
  Socket socket(nl_socket_alloc());
  if (!socket || nl_connect(socket.get(), NETLINK_ROUTE) != 0) return {};
  nl_cache* rawLinks = nullptr;
  nl_cache* rawAddresses = nullptr;
  if (rtnl_link_alloc_cache(socket.get(), AF_UNSPEC, &rawLinks) != 0) return {};
  Cache links(rawLinks);
  if (rtnl_addr_alloc_cache(socket.get(), &rawAddresses) != 0) return {};
  Cache addresses(rawAddresses);

  std::map<int, AdapterRecord> byIndex;
  for (nl_object* o = nl_cache_get_first(links.get()); o; o = nl_cache_get_next(o)) {
    auto* link = reinterpret_cast<rtnl_link*>(o);
    AdapterRecord r;
    r.interfaceIndex = rtnl_link_get_ifindex(link);
    if (const char* name = rtnl_link_get_name(link)) r.systemName = name;
    const char* alias = rtnl_link_get_ifalias(link);
    r.friendlyName = alias && *alias ? alias : r.systemName;
    if (nl_addr* hw = rtnl_link_get_addr(link)) {
      const auto* bytes = static_cast<const std::uint8_t*>(nl_addr_get_binary_addr(hw));
      r.hardwareAddress.assign(bytes, bytes + nl_addr_get_len(hw));
    }
    const unsigned arpType = rtnl_link_get_arptype(link);
    if (IsWireless(r.systemName, static_cast<int>(r.interfaceIndex))) {
      r.type = AdapterRecord::kTypeWireless;
    } else if (arpType == ARPHRD_ETHER) {
      r.type = AdapterRecord::kTypeEthernet;
    } else if (arpType == ARPHRD_LOOPBACK) {
      r.type = AdapterRecord::kTypeLoopback;
    }
    r.operStatus = OperStatus(link);
    byIndex.emplace(static_cast<int>(r.interfaceIndex), std::move(r));
  }

  for (nl_object* o = nl_cache_get_first(addresses.get()); o; o = nl_cache_get_next(o)) {
    auto* a = reinterpret_cast<rtnl_addr*>(o);
    if (rtnl_addr_get_family(a) != AF_INET) continue;
    const auto found = byIndex.find(rtnl_addr_get_ifindex(a));
    if (found == byIndex.end()) continue;
    AdapterRecord& r = found->second;
    const std::uint32_t local = AddressOf(rtnl_addr_get_local(a));
    r.unicastAddresses.push_back(local);
    // An address with a finite lifetime was handed out by DHCP; the adapter is
    // then a DHCP adapter with that lease address, and it has no static mask.
    const bool leased = !(rtnl_addr_get_flags(a) & IFA_F_PERMANENT);
    if (leased && !r.dhcpEnabled) {
      r.dhcpEnabled = true;
      r.dhcpAddress = Ipv4Text::Format(local);
    } else if (!leased && r.staticAddress.empty()) {
      r.staticAddress = Ipv4Text::Format(local);
      r.staticMask = Ipv4Text::Format(MaskOf(rtnl_addr_get_prefixlen(a)));
    }
  }

  std::vector<AdapterRecord> records;
  records.reserve(byIndex.size());
  for (auto& [index, r] : byIndex) records.push_back(std::move(r));
  return records;
}
