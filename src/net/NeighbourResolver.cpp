#include "net/NeighbourResolver.h"

#include <ifaddrs.h>
#include <linux/netlink.h>
#include <linux/rtnetlink.h>
#include <net/if.h>
#include <net/if_arp.h>
#include <netinet/in.h>
#include <netpacket/packet.h>
#include <poll.h>
#include <sys/socket.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <fstream>
#include <span>
#include <string>
#include <vector>

#include "net/RtnlMessages.h"
#include "toolkit/UniqueFd.h"

namespace {
using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

constexpr std::size_t kReceiveBuffer = 16384;
constexpr std::uint16_t kDiscardPort = 9;
constexpr milliseconds kAnswerWait{1000};
constexpr milliseconds kMargin{500};

UniqueFd OpenNetlink(unsigned groups) {
  UniqueFd fd(::socket(AF_NETLINK, SOCK_RAW | SOCK_CLOEXEC | SOCK_NONBLOCK, NETLINK_ROUTE));
  if (!fd.Valid()) return fd;
  sockaddr_nl local{};
  local.nl_family = AF_NETLINK;
  if (::bind(fd.Get(), reinterpret_cast<const sockaddr*>(&local), sizeof local) != 0) return UniqueFd();
  for (unsigned group = 1; group < 32; ++group) {
    if (!(groups & (1U << (group - 1)))) continue;
    const int g = static_cast<int>(group);
    if (::setsockopt(fd.Get(), SOL_NETLINK, NETLINK_ADD_MEMBERSHIP, &g, sizeof g) != 0) return UniqueFd();
  }
  return fd;
}

enum class Received { Message, Again, Overrun, Failed };

// Reads one datagram that is waiting. A datagram cut short by a small buffer,
// or one that does not come from the kernel, is skipped (Again), never taken
// as a short answer; ENOBUFS means notifications were lost (Overrun).
Received ReceiveWaiting(int fd, std::vector<std::uint8_t>& buffer, std::span<const std::uint8_t>& message) {
  sockaddr_nl from{};
  socklen_t fromLength = sizeof from;
  const ssize_t n = ::recvfrom(fd, buffer.data(), buffer.size(), MSG_DONTWAIT | MSG_TRUNC,
                               reinterpret_cast<sockaddr*>(&from), &fromLength);
  if (n < 0) {
    if (errno == EAGAIN || errno == EINTR) return Received::Again;
    return errno == ENOBUFS ? Received::Overrun : Received::Failed;
  }
  // Only the kernel speaks for the kernel.
  if (static_cast<std::size_t>(n) > buffer.size() || from.nl_pid != 0) return Received::Again;
  message = std::span<const std::uint8_t>(buffer.data(), static_cast<std::size_t>(n));
  return Received::Message;
}

// Waits for one datagram; empty on timeout or error.
std::vector<std::uint8_t> ReceiveOne(int fd, Clock::time_point deadline) {
  std::vector<std::uint8_t> buffer(kReceiveBuffer);
  for (;;) {
    const auto left = std::chrono::ceil<milliseconds>(deadline - Clock::now()).count();
    if (left <= 0) return {};
    pollfd p{fd, POLLIN, 0};
    const int ready = ::poll(&p, 1, static_cast<int>(left));
    if (ready < 0 && errno == EINTR) continue;
    if (ready <= 0) return {};
    std::span<const std::uint8_t> message;
    const Received got = ReceiveWaiting(fd, buffer, message);
    if (got == Received::Again) continue;
    if (got != Received::Message) return {};
    return {message.begin(), message.end()};
  }
}

// Sends one request and waits for the kernel's answer with its sequence number.
template <typename Parse>
auto Ask(const std::vector<std::uint8_t>& request, std::uint32_t sequence, Parse parse)
    -> decltype(parse(std::span<const std::uint8_t>(), sequence)) {
  const UniqueFd fd = OpenNetlink(0);
  if (!fd.Valid()) return std::nullopt;
  sockaddr_nl kernel{};
  kernel.nl_family = AF_NETLINK;
  if (::sendto(fd.Get(), request.data(), request.size(), 0, reinterpret_cast<const sockaddr*>(&kernel),
               sizeof kernel) != static_cast<ssize_t>(request.size())) {
    return std::nullopt;
  }
  const Clock::time_point deadline = Clock::now() + kAnswerWait;
  for (;;) {
    const std::vector<std::uint8_t> bytes = ReceiveOne(fd.Get(), deadline);
    if (bytes.empty()) return std::nullopt;
    if (auto answer = parse(bytes, sequence)) return answer;
  }
}

std::optional<RtnlMessages::Route> LookUpRoute(std::uint32_t target) {
  constexpr std::uint32_t kSequence = 1;
  return Ask(RtnlMessages::RouteRequest(target, kSequence), kSequence, RtnlMessages::ParseRouteAnswer);
}

std::optional<RtnlMessages::Neighbour> LookUpNeighbour(std::uint32_t target, int interfaceIndex) {
  constexpr std::uint32_t kSequence = 2;
  const auto answer = Ask(RtnlMessages::NeighbourRequest(target, interfaceIndex, kSequence), kSequence,
                          RtnlMessages::ParseNeighbourAnswer);
  if (!answer || answer->error != 0) return std::nullopt;
  return answer->entry;
}

std::optional<NeighbourResolver::HardwareAddress> Usable(const std::optional<RtnlMessages::Neighbour>& n) {
  if (n && RtnlMessages::HasUsableAddress(*n)) return n->linkAddress;
  return std::nullopt;
}

long ReadSetting(const std::string& path, long fallback) {
  std::ifstream in(path);
  long value = 0;
  return (in >> value) ? value : fallback;
}

// How long the kernel goes on asking before it gives a neighbour up.
milliseconds ResolutionTime(int interfaceIndex) {
  char name[IF_NAMESIZE]{};
  long probes = 3, retransmit = 1000;
  if (::if_indextoname(static_cast<unsigned>(interfaceIndex), name)) {
    const std::string folder = std::string("/proc/sys/net/ipv4/neigh/") + name + "/";
    probes = ReadSetting(folder + "mcast_solicit", probes) + ReadSetting(folder + "app_solicit", 0);
    retransmit = ReadSetting(folder + "retrans_time_ms", retransmit);
  }
  return milliseconds(std::clamp(probes * retransmit, 100L, 30000L)) + kMargin;
}

// One empty datagram to the discard port makes the kernel resolve the target.
// IP_RECVERR lets the "host unreachable" that ends a failed resolution reach us.
UniqueFd Trigger(std::uint32_t target) {
  UniqueFd fd(::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC | SOCK_NONBLOCK, IPPROTO_UDP));
  if (!fd.Valid()) return fd;
  const int on = 1;
  sockaddr_in to{};
  to.sin_family = AF_INET;
  to.sin_port = htons(kDiscardPort);
  to.sin_addr.s_addr = target;
  if (::setsockopt(fd.Get(), IPPROTO_IP, IP_RECVERR, &on, sizeof on) != 0 ||
      ::connect(fd.Get(), reinterpret_cast<const sockaddr*>(&to), sizeof to) != 0 ||
      ::send(fd.Get(), nullptr, 0, 0) != 0) {
    return UniqueFd();
  }
  return fd;
}

std::optional<NeighbourResolver::HardwareAddress> OwnAddress(std::uint32_t target) {
  ifaddrs* list = nullptr;
  if (::getifaddrs(&list) != 0) return std::nullopt;
  std::string name;
  for (const ifaddrs* i = list; i && name.empty(); i = i->ifa_next) {
    if (i->ifa_addr && i->ifa_addr->sa_family == AF_INET &&
        reinterpret_cast<const sockaddr_in*>(i->ifa_addr)->sin_addr.s_addr == target) {
      name = i->ifa_name;
    }
  }
  std::optional<NeighbourResolver::HardwareAddress> found;
  for (const ifaddrs* i = list; i && !name.empty() && !found; i = i->ifa_next) {
    if (!i->ifa_addr || i->ifa_addr->sa_family != AF_PACKET || name != i->ifa_name) continue;
    const auto* link = reinterpret_cast<const sockaddr_ll*>(i->ifa_addr);
    if (link->sll_hatype != ARPHRD_ETHER || link->sll_halen != 6) continue;
    NeighbourResolver::HardwareAddress mac{};
    std::copy_n(link->sll_addr, mac.size(), mac.begin());
    found = mac;
  }
  ::freeifaddrs(list);
  return found;
}
}  // namespace

std::optional<NeighbourResolver::HardwareAddress> NeighbourResolver::Resolve(std::uint32_t target) {
  if (target == 0 || target == 0xFFFFFFFF) return std::nullopt;
  const auto route = LookUpRoute(target);
  if (!route || route->error != 0) return std::nullopt;
  if (route->type == RTN_LOCAL) return OwnAddress(target);
  if (route->type != RTN_UNICAST || route->viaGateway || route->outputInterface <= 0) return std::nullopt;
  const int interfaceIndex = route->outputInterface;

  // Listen before asking and before triggering, so that no change slips by
  // between the look-up and the wait.
  const UniqueFd events = OpenNetlink(1U << (RTNLGRP_NEIGH - 1));
  if (!events.Valid()) return std::nullopt;
  if (auto known = Usable(LookUpNeighbour(target, interfaceIndex))) return known;

  const UniqueFd udp = Trigger(target);
  if (!udp.Valid()) return std::nullopt;
  const Clock::time_point deadline = Clock::now() + ResolutionTime(interfaceIndex);
  std::vector<std::uint8_t> buffer(kReceiveBuffer);
  for (;;) {
    const auto left = std::chrono::ceil<milliseconds>(deadline - Clock::now()).count();
    if (left <= 0) break;
    pollfd p[2] = {{events.Get(), POLLIN, 0}, {udp.Get(), 0, 0}};
    const int ready = ::poll(p, 2, static_cast<int>(left));
    if (ready < 0 && errno == EINTR) continue;
    if (ready <= 0) break;
    // The datagram's "host unreachable": resolution failed.
    if (p[1].revents & POLLERR) break;
    // An overrun shows as POLLERR and is read as ENOBUFS below.
    if (!(p[0].revents & (POLLIN | POLLERR))) continue;
    std::span<const std::uint8_t> message;
    const Received got = ReceiveWaiting(events.Get(), buffer, message);
    if (got == Received::Again) continue;
    if (got == Received::Overrun) {
      // Notifications were lost (a busy sweep): ask for the entry instead.
      if (auto now = Usable(LookUpNeighbour(target, interfaceIndex))) return now;
      continue;
    }
    if (got == Received::Failed) break;
    for (const auto& entry : RtnlMessages::ParseNeighbours(message)) {
      if (entry.address != target || entry.interfaceIndex != interfaceIndex) continue;
      if (auto mac = Usable(entry)) return mac;
      if (entry.state & NUD_FAILED) return std::nullopt;
    }
  }
  return Usable(LookUpNeighbour(target, interfaceIndex));
}
