#include "net/InterfaceAddresses.h"

#include <arpa/inet.h>
#include <netlink/addr.h>
#include <netlink/netlink.h>
#include <netlink/route/addr.h>
#include <sys/socket.h>

#include <memory>

namespace {
struct SocketDeleter {
  void operator()(nl_sock* s) const { nl_socket_free(s); }
};
struct AddrDeleter {
  void operator()(rtnl_addr* a) const { rtnl_addr_put(a); }
};
struct NlAddrDeleter {
  void operator()(nl_addr* a) const { nl_addr_put(a); }
};
using Socket = std::unique_ptr<nl_sock, SocketDeleter>;
using Address = std::unique_ptr<rtnl_addr, AddrDeleter>;
using NlAddress = std::unique_ptr<nl_addr, NlAddrDeleter>;

Socket Connect() {
  Socket s(nl_socket_alloc());
  if (s && nl_connect(s.get(), NETLINK_ROUTE) != 0) s.reset();
  return s;
}

Address Describe(const AddressHandle& h, bool withBroadcast) {
  Address a(rtnl_addr_alloc());
  if (!a) return a;
  rtnl_addr_set_ifindex(a.get(), h.interfaceIndex);
  rtnl_addr_set_family(a.get(), AF_INET);
  const NlAddress local(nl_addr_build(AF_INET, &h.address, sizeof h.address));
  if (!local) return Address();
  nl_addr_set_prefixlen(local.get(), h.prefixLength);
  if (rtnl_addr_set_local(a.get(), local.get()) != 0) return Address();
  rtnl_addr_set_prefixlen(a.get(), h.prefixLength);
  if (withBroadcast && h.prefixLength > 0 && h.prefixLength < 31) {
    const std::uint32_t broadcast = h.address | htonl(0xFFFFFFFFu >> h.prefixLength);
    const NlAddress b(nl_addr_build(AF_INET, &broadcast, sizeof broadcast));
    if (!b || rtnl_addr_set_broadcast(a.get(), b.get()) != 0) return Address();
  }
  return a;
}
}  // namespace

bool InterfaceAddresses::Add(const AddressHandle& handle) {
  const Socket s = Connect();
  const Address a = Describe(handle, true);
  return s && a && rtnl_addr_add(s.get(), a.get(), NLM_F_EXCL) == 0;
}

bool InterfaceAddresses::Remove(const AddressHandle& handle) {
  const Socket s = Connect();
  const Address a = Describe(handle, false);
  return s && a && rtnl_addr_delete(s.get(), a.get(), 0) == 0;
}
