#include "net/RtnlMessages.h"

#include <linux/neighbour.h>
#include <linux/netlink.h>
#include <linux/rtnetlink.h>
#include <sys/socket.h>

#include <cerrno>
#include <cstring>

namespace {
constexpr std::size_t kHeader = sizeof(nlmsghdr);

constexpr std::size_t Align(std::size_t n) { return (n + 3) & ~std::size_t{3}; }

template <typename T>
T Read(std::span<const std::uint8_t> b, std::size_t at) {
  T value{};
  std::memcpy(&value, b.data() + at, sizeof value);
  return value;
}

template <typename T>
void Append(std::vector<std::uint8_t>& out, const T& value) {
  const auto* p = reinterpret_cast<const std::uint8_t*>(&value);
  out.insert(out.end(), p, p + sizeof value);
  out.resize(Align(out.size()), 0);
}

void AppendAttribute(std::vector<std::uint8_t>& out, std::uint16_t type, std::uint32_t value) {
  rtattr a{};
  a.rta_len = static_cast<unsigned short>(sizeof(rtattr) + sizeof value);
  a.rta_type = type;
  Append(out, a);
  Append(out, value);
}

std::vector<std::uint8_t> Request(std::uint16_t type, std::uint32_t sequence) {
  std::vector<std::uint8_t> out;
  nlmsghdr h{};
  h.nlmsg_type = type;
  h.nlmsg_flags = NLM_F_REQUEST;
  h.nlmsg_seq = sequence;
  Append(out, h);
  return out;
}

void SetLength(std::vector<std::uint8_t>& out) {
  const auto length = static_cast<std::uint32_t>(out.size());
  std::memcpy(out.data() + offsetof(nlmsghdr, nlmsg_len), &length, sizeof length);
}

// Calls visit(header, body) for every whole message in the bytes; stops at the
// first one that claims more bytes than there are.
template <typename Visit>
void ForEachMessage(std::span<const std::uint8_t> bytes, Visit visit) {
  std::size_t at = 0;
  while (bytes.size() - at >= kHeader) {
    const auto h = Read<nlmsghdr>(bytes, at);
    if (h.nlmsg_len < kHeader || h.nlmsg_len > bytes.size() - at) return;
    visit(h, bytes.subspan(at + kHeader, h.nlmsg_len - kHeader));
    at += Align(h.nlmsg_len);
    if (at > bytes.size()) return;
  }
}

// Calls visit(type, payload) for every whole attribute in the bytes.
template <typename Visit>
void ForEachAttribute(std::span<const std::uint8_t> bytes, Visit visit) {
  std::size_t at = 0;
  while (bytes.size() - at >= sizeof(rtattr)) {
    const auto a = Read<rtattr>(bytes, at);
    if (a.rta_len < sizeof(rtattr) || a.rta_len > bytes.size() - at) return;
    visit(a.rta_type, bytes.subspan(at + sizeof(rtattr), a.rta_len - sizeof(rtattr)));
    at += Align(a.rta_len);
    if (at > bytes.size()) return;
  }
}

std::optional<int> ErrorOf(const nlmsghdr& h, std::span<const std::uint8_t> body) {
  if (h.nlmsg_type != NLMSG_ERROR || body.size() < sizeof(nlmsgerr)) return std::nullopt;
  return Read<nlmsgerr>(body, 0).error;
}

std::optional<RtnlMessages::Neighbour> NeighbourOf(const nlmsghdr& h, std::span<const std::uint8_t> body) {
  if ((h.nlmsg_type != RTM_NEWNEIGH && h.nlmsg_type != RTM_DELNEIGH) || body.size() < sizeof(ndmsg)) {
    return std::nullopt;
  }
  const auto nd = Read<ndmsg>(body, 0);
  if (nd.ndm_family != AF_INET) return std::nullopt;
  RtnlMessages::Neighbour n;
  n.interfaceIndex = nd.ndm_ifindex;
  n.state = nd.ndm_state;
  n.removed = h.nlmsg_type == RTM_DELNEIGH;
  bool haveAddress = false;
  ForEachAttribute(body.subspan(Align(sizeof(ndmsg))), [&](std::uint16_t type, std::span<const std::uint8_t> payload) {
    if (type == NDA_DST && payload.size() == 4) {
      n.address = Read<std::uint32_t>(payload, 0);
      haveAddress = true;
    } else if (type == NDA_LLADDR && payload.size() == 6) {
      RtnlMessages::LinkAddress mac{};
      std::memcpy(mac.data(), payload.data(), mac.size());
      n.linkAddress = mac;
    }
  });
  if (!haveAddress) return std::nullopt;
  return n;
}
}  // namespace

bool RtnlMessages::HasUsableAddress(const Neighbour& n) {
  constexpr std::uint16_t kUsable = NUD_REACHABLE | NUD_STALE | NUD_DELAY | NUD_PROBE | NUD_PERMANENT;
  return !n.removed && (n.state & kUsable) != 0 && n.linkAddress.has_value();
}

std::vector<std::uint8_t> RtnlMessages::RouteRequest(std::uint32_t destination, std::uint32_t sequence) {
  std::vector<std::uint8_t> out = Request(RTM_GETROUTE, sequence);
  rtmsg r{};
  r.rtm_family = AF_INET;
  r.rtm_dst_len = 32;
  Append(out, r);
  AppendAttribute(out, RTA_DST, destination);
  SetLength(out);
  return out;
}

std::vector<std::uint8_t> RtnlMessages::NeighbourRequest(std::uint32_t destination, int interfaceIndex,
                                                         std::uint32_t sequence) {
  std::vector<std::uint8_t> out = Request(RTM_GETNEIGH, sequence);
  ndmsg n{};
  n.ndm_family = AF_INET;
  n.ndm_ifindex = interfaceIndex;
  Append(out, n);
  AppendAttribute(out, NDA_DST, destination);
  SetLength(out);
  return out;
}

std::optional<RtnlMessages::Route> RtnlMessages::ParseRouteAnswer(std::span<const std::uint8_t> bytes,
                                                                  std::uint32_t sequence) {
  std::optional<Route> answer;
  ForEachMessage(bytes, [&](const nlmsghdr& h, std::span<const std::uint8_t> body) {
    if (answer || h.nlmsg_seq != sequence) return;
    if (const auto error = ErrorOf(h, body)) {
      answer = Route{*error < 0 ? *error : -EPROTO};
      return;
    }
    if (h.nlmsg_type != RTM_NEWROUTE || body.size() < sizeof(rtmsg)) return;
    const auto r = Read<rtmsg>(body, 0);
    if (r.rtm_family != AF_INET) return;
    Route route;
    route.type = r.rtm_type;
    ForEachAttribute(body.subspan(Align(sizeof(rtmsg))), [&](std::uint16_t type, std::span<const std::uint8_t> p) {
      if (type == RTA_GATEWAY || type == RTA_VIA || type == RTA_MULTIPATH) route.viaGateway = true;
      if (type == RTA_OIF && p.size() == 4) route.outputInterface = Read<int>(p, 0);
    });
    answer = route;
  });
  return answer;
}

std::optional<RtnlMessages::NeighbourAnswer> RtnlMessages::ParseNeighbourAnswer(std::span<const std::uint8_t> bytes,
                                                                                std::uint32_t sequence) {
  std::optional<NeighbourAnswer> answer;
  ForEachMessage(bytes, [&](const nlmsghdr& h, std::span<const std::uint8_t> body) {
    if (answer || h.nlmsg_seq != sequence) return;
    if (const auto error = ErrorOf(h, body)) {
      answer = NeighbourAnswer{*error < 0 ? *error : -EPROTO, std::nullopt};
      return;
    }
    if (const auto n = NeighbourOf(h, body)) answer = NeighbourAnswer{0, n};
  });
  return answer;
}

std::vector<RtnlMessages::Neighbour> RtnlMessages::ParseNeighbours(std::span<const std::uint8_t> bytes) {
  std::vector<Neighbour> out;
  ForEachMessage(bytes, [&](const nlmsghdr& h, std::span<const std::uint8_t> body) {
    if (const auto n = NeighbourOf(h, body)) out.push_back(*n);
  });
  return out;
}
