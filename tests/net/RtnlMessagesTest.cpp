#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <linux/neighbour.h>
#include <linux/netlink.h>
#include <linux/rtnetlink.h>

#include <cstring>
#include <vector>

#include "net/RtnlMessages.h"

namespace {
using Bytes = std::vector<std::uint8_t>;

const std::uint32_t kTarget = ::inet_addr("10.77.0.10");

template <typename T>
void Put(Bytes& b, const T& v) {
  const auto* p = reinterpret_cast<const std::uint8_t*>(&v);
  b.insert(b.end(), p, p + sizeof v);
  b.resize((b.size() + 3) & ~std::size_t{3}, 0);
}

void PutAttribute(Bytes& b, std::uint16_t type, const Bytes& payload) {
  rtattr a{};
  a.rta_len = static_cast<unsigned short>(sizeof a + payload.size());
  a.rta_type = type;
  Put(b, a);
  b.insert(b.end(), payload.begin(), payload.end());
  b.resize((b.size() + 3) & ~std::size_t{3}, 0);
}

Bytes U32(std::uint32_t v) {
  Bytes b(4);
  std::memcpy(b.data(), &v, 4);
  return b;
}

// A whole message: header, then the body built by the caller.
Bytes Message(std::uint16_t type, std::uint32_t sequence, const Bytes& body) {
  nlmsghdr h{};
  h.nlmsg_len = static_cast<std::uint32_t>(sizeof h + body.size());
  h.nlmsg_type = type;
  h.nlmsg_seq = sequence;
  Bytes b;
  Put(b, h);
  b.insert(b.end(), body.begin(), body.end());
  return b;
}

Bytes RouteBody(std::uint8_t type, int oif, const std::uint32_t* gateway) {
  rtmsg r{};
  r.rtm_family = AF_INET;
  r.rtm_dst_len = 32;
  r.rtm_type = type;
  Bytes b;
  Put(b, r);
  PutAttribute(b, RTA_DST, U32(kTarget));
  PutAttribute(b, RTA_OIF, U32(static_cast<std::uint32_t>(oif)));
  if (gateway) PutAttribute(b, RTA_GATEWAY, U32(*gateway));
  return b;
}

Bytes NeighbourBody(std::uint32_t address, int ifindex, std::uint16_t state, const Bytes& mac) {
  ndmsg n{};
  n.ndm_family = AF_INET;
  n.ndm_ifindex = ifindex;
  n.ndm_state = state;
  Bytes b;
  Put(b, n);
  PutAttribute(b, NDA_DST, U32(address));
  if (!mac.empty()) PutAttribute(b, NDA_LLADDR, mac);
  return b;
}

Bytes ErrorMessage(std::uint32_t sequence, int error) {
  nlmsgerr e{};
  e.error = error;
  Bytes body;
  Put(body, e);
  return Message(NLMSG_ERROR, sequence, body);
}

const Bytes kMac = {0x0a, 0xc5, 0xd2, 0xe0, 0x00, 0x10};

TEST(RtnlMessages, RequestsAskForOneAddress) {
  const Bytes route = RtnlMessages::RouteRequest(kTarget, 9);
  nlmsghdr h{};
  std::memcpy(&h, route.data(), sizeof h);
  EXPECT_EQ(h.nlmsg_len, route.size());
  EXPECT_EQ(h.nlmsg_type, RTM_GETROUTE);
  EXPECT_EQ(h.nlmsg_flags, NLM_F_REQUEST);  // one route, not a dump
  EXPECT_EQ(h.nlmsg_seq, 9u);
  ASSERT_EQ(route.size(), sizeof(nlmsghdr) + sizeof(rtmsg) + 8);
  EXPECT_EQ(0, std::memcmp(route.data() + route.size() - 4, &kTarget, 4));

  const Bytes neighbour = RtnlMessages::NeighbourRequest(kTarget, 3, 10);
  std::memcpy(&h, neighbour.data(), sizeof h);
  EXPECT_EQ(h.nlmsg_type, RTM_GETNEIGH);
  ndmsg n{};
  std::memcpy(&n, neighbour.data() + sizeof h, sizeof n);
  EXPECT_EQ(n.ndm_ifindex, 3);
  EXPECT_EQ(0, std::memcmp(neighbour.data() + neighbour.size() - 4, &kTarget, 4));
}

TEST(RtnlMessages, RouteAnswersTellOnLinkFromOffLink) {
  const std::uint32_t router = ::inet_addr("10.77.0.250");
  const auto onLink = RtnlMessages::ParseRouteAnswer(Message(RTM_NEWROUTE, 1, RouteBody(RTN_UNICAST, 2, nullptr)), 1);
  ASSERT_TRUE(onLink.has_value());
  EXPECT_EQ(onLink->error, 0);
  EXPECT_EQ(onLink->type, RTN_UNICAST);
  EXPECT_FALSE(onLink->viaGateway);
  EXPECT_EQ(onLink->outputInterface, 2);

  const auto offLink = RtnlMessages::ParseRouteAnswer(Message(RTM_NEWROUTE, 1, RouteBody(RTN_UNICAST, 2, &router)), 1);
  ASSERT_TRUE(offLink.has_value());
  EXPECT_TRUE(offLink->viaGateway);

  const auto refused = RtnlMessages::ParseRouteAnswer(ErrorMessage(1, -ENETUNREACH), 1);
  ASSERT_TRUE(refused.has_value());
  EXPECT_EQ(refused->error, -ENETUNREACH);

  // Another request's answer, or a piece of one, is no answer.
  EXPECT_FALSE(RtnlMessages::ParseRouteAnswer(Message(RTM_NEWROUTE, 2, RouteBody(RTN_UNICAST, 2, nullptr)), 1));
  const Bytes whole = Message(RTM_NEWROUTE, 1, RouteBody(RTN_UNICAST, 2, nullptr));
  for (std::size_t n = 0; n < sizeof(nlmsghdr) + sizeof(rtmsg); ++n) {
    EXPECT_FALSE(RtnlMessages::ParseRouteAnswer(Bytes(whole.begin(), whole.begin() + static_cast<long>(n)), 1)) << n;
  }
}

TEST(RtnlMessages, NeighbourMessagesGiveStateAndHardwareAddress) {
  Bytes stream = Message(RTM_NEWNEIGH, 0, NeighbourBody(::inet_addr("10.77.0.11"), 2, NUD_INCOMPLETE, {}));
  const Bytes reachable = Message(RTM_NEWNEIGH, 0, NeighbourBody(kTarget, 2, NUD_REACHABLE, kMac));
  stream.insert(stream.end(), reachable.begin(), reachable.end());
  const Bytes failed = Message(RTM_NEWNEIGH, 0, NeighbourBody(kTarget, 2, NUD_FAILED, {}));
  stream.insert(stream.end(), failed.begin(), failed.end());

  const auto entries = RtnlMessages::ParseNeighbours(stream);
  ASSERT_EQ(entries.size(), 3u);
  EXPECT_FALSE(RtnlMessages::HasUsableAddress(entries[0]));
  EXPECT_EQ(entries[1].address, kTarget);
  EXPECT_EQ(entries[1].interfaceIndex, 2);
  ASSERT_TRUE(RtnlMessages::HasUsableAddress(entries[1]));
  EXPECT_EQ(Bytes(entries[1].linkAddress->begin(), entries[1].linkAddress->end()), kMac);
  EXPECT_EQ(entries[2].state, NUD_FAILED);
  EXPECT_FALSE(RtnlMessages::HasUsableAddress(entries[2]));

  for (const std::uint16_t state : {NUD_STALE, NUD_DELAY, NUD_PROBE, NUD_PERMANENT}) {
    const auto e = RtnlMessages::ParseNeighbours(Message(RTM_NEWNEIGH, 0, NeighbourBody(kTarget, 2, state, kMac)));
    ASSERT_EQ(e.size(), 1u);
    EXPECT_TRUE(RtnlMessages::HasUsableAddress(e[0])) << state;
  }
  const auto gone = RtnlMessages::ParseNeighbours(Message(RTM_DELNEIGH, 0, NeighbourBody(kTarget, 2, NUD_STALE, kMac)));
  ASSERT_EQ(gone.size(), 1u);
  EXPECT_FALSE(RtnlMessages::HasUsableAddress(gone[0]));
  const auto noArp =
      RtnlMessages::ParseNeighbours(Message(RTM_NEWNEIGH, 0, NeighbourBody(kTarget, 2, NUD_NOARP, kMac)));
  EXPECT_FALSE(RtnlMessages::HasUsableAddress(noArp.at(0)));
  const auto shortMac =
      RtnlMessages::ParseNeighbours(Message(RTM_NEWNEIGH, 0, NeighbourBody(kTarget, 2, NUD_REACHABLE, {1, 2, 3})));
  EXPECT_FALSE(RtnlMessages::HasUsableAddress(shortMac.at(0)));

  const auto answer =
      RtnlMessages::ParseNeighbourAnswer(Message(RTM_NEWNEIGH, 4, NeighbourBody(kTarget, 2, NUD_STALE, kMac)), 4);
  ASSERT_TRUE(answer && answer->entry);
  EXPECT_TRUE(RtnlMessages::HasUsableAddress(*answer->entry));
  const auto none = RtnlMessages::ParseNeighbourAnswer(ErrorMessage(4, -ENOENT), 4);
  ASSERT_TRUE(none.has_value());
  EXPECT_EQ(none->error, -ENOENT);
  EXPECT_FALSE(none->entry.has_value());
}
}  // namespace
