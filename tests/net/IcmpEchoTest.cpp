#include <arpa/inet.h>
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "net/IcmpEcho.h"

namespace {
using Bytes = std::vector<std::uint8_t>;
using Verdict = IcmpEcho::Verdict;

const std::uint32_t kTarget = ::inet_addr("10.77.0.10");
const std::uint32_t kRouter = ::inet_addr("10.77.0.250");
const std::uint32_t kComputer = ::inet_addr("10.77.0.2");

Bytes IpHeader(std::uint32_t source, std::uint32_t destination, std::size_t payload) {
  Bytes h(20, 0);
  h[0] = 0x45;
  const auto total = static_cast<std::uint16_t>(20 + payload);
  h[2] = static_cast<std::uint8_t>(total >> 8);
  h[3] = static_cast<std::uint8_t>(total);
  h[8] = 64;
  h[9] = 1;  // ICMP
  std::memcpy(&h[12], &source, 4);
  std::memcpy(&h[16], &destination, 4);
  return h;
}

Bytes Reply(std::uint16_t id, std::uint16_t sequence) {
  Bytes r = IcmpEcho::BuildRequest(id, sequence);
  r[0] = 0;
  return r;
}

// An error from `from` quoting our echo (IP header and its first 8 bytes).
Bytes Error(std::uint8_t type, std::uint32_t aboutDestination, std::uint16_t id, std::uint16_t sequence) {
  Bytes e = {type, 1, 0, 0, 0, 0, 0, 0};
  const Bytes quoted = IpHeader(kComputer, aboutDestination, 40);
  const Bytes echo = IcmpEcho::BuildRequest(id, sequence);
  e.insert(e.end(), quoted.begin(), quoted.end());
  e.insert(e.end(), echo.begin(), echo.begin() + 8);
  return e;
}

Bytes WithIp(std::uint32_t source, const Bytes& icmp) {
  Bytes p = IpHeader(source, kComputer, icmp.size());
  p.insert(p.end(), icmp.begin(), icmp.end());
  return p;
}

TEST(IcmpEcho, RequestIsTheFixedEchoWithAValidChecksum) {
  const Bytes r = IcmpEcho::BuildRequest(0x1234, 0xBEEF);
  ASSERT_EQ(r.size(), 40u);
  EXPECT_EQ(r[0], 8);
  EXPECT_EQ(r[1], 0);
  EXPECT_EQ((Bytes{r[4], r[5], r[6], r[7]}), (Bytes{0x12, 0x34, 0xBE, 0xEF}));
  EXPECT_EQ(std::string(r.begin() + 8, r.end()), "xABCxABCxABCxABCxABCxABCxABCxABC");
  EXPECT_EQ(IcmpEcho::Checksum(r), 0);  // a packet with its checksum in place sums to zero
  EXPECT_EQ(IcmpEcho::Checksum(Bytes{0x45, 0x00, 0x00, 0x1c}), static_cast<std::uint16_t>(~0x451c));
}

TEST(IcmpEcho, OnlyTheTargetsOwnEchoReplyCounts) {
  const IcmpEcho::Expectation raw{kTarget, 0x0101, 77, true};
  const IcmpEcho::Expectation datagram{kTarget, 0, 77, false};
  Bytes foreignPayload = Reply(0x0101, 77);
  foreignPayload.back() = 'z';
  const struct {
    const char* what;
    Bytes packet;
    bool withIp;
    std::uint32_t source;
    IcmpEcho::Expectation expected;
    Verdict verdict;
  } cases[] = {
      {"raw reply from the target", WithIp(kTarget, Reply(0x0101, 77)), true, 0, raw, Verdict::Reply},
      {"raw reply from somebody else", WithIp(kRouter, Reply(0x0101, 77)), true, 0, raw, Verdict::Unrelated},
      {"another probe's id", WithIp(kTarget, Reply(0x0202, 77)), true, 0, raw, Verdict::Unrelated},
      {"another sequence", WithIp(kTarget, Reply(0x0101, 78)), true, 0, raw, Verdict::Unrelated},
      {"another payload", WithIp(kTarget, foreignPayload), true, 0, raw, Verdict::Unrelated},
      {"an echo request", WithIp(kTarget, IcmpEcho::BuildRequest(0x0101, 77)), true, 0, raw, Verdict::Unrelated},
      {"datagram reply, any id", Reply(0x4444, 77), false, kTarget, datagram, Verdict::Reply},
      {"datagram reply from the router", Reply(0x4444, 77), false, kRouter, datagram, Verdict::Unrelated},
      {"router: host unreachable", WithIp(kRouter, Error(3, kTarget, 0x0101, 77)), true, 0, raw, Verdict::Error},
      {"local stack: host unreachable", WithIp(kComputer, Error(3, kTarget, 0x0101, 77)), true, 0, raw, Verdict::Error},
      {"time exceeded", WithIp(kRouter, Error(11, kTarget, 0x0101, 77)), true, 0, raw, Verdict::Error},
      {"unreachable about another target", WithIp(kRouter, Error(3, kRouter, 0x0101, 77)), true, 0, raw,
       Verdict::Unrelated},
      {"unreachable about another probe", WithIp(kRouter, Error(3, kTarget, 0x0202, 77)), true, 0, raw,
       Verdict::Unrelated},
      {"redirect", WithIp(kRouter, Error(5, kTarget, 0x0101, 77)), true, 0, raw, Verdict::Unrelated},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(IcmpEcho::Classify(c.packet, c.withIp, c.source, c.expected), c.verdict) << c.what;
  }
}

TEST(IcmpEcho, PiecesOfPacketsAreNeverAnAnswer) {
  const IcmpEcho::Expectation raw{kTarget, 0x0101, 77, true};
  const Bytes whole = WithIp(kTarget, Reply(0x0101, 77));
  for (std::size_t n = 0; n < whole.size(); ++n) {
    const Bytes cut(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(n));
    EXPECT_EQ(IcmpEcho::Classify(cut, true, 0, raw), Verdict::Unrelated) << n << " bytes";
  }
  const Bytes error = WithIp(kRouter, Error(3, kTarget, 0x0101, 77));
  for (std::size_t n = 0; n < error.size(); ++n) {
    const Bytes cut(error.begin(), error.begin() + static_cast<std::ptrdiff_t>(n));
    EXPECT_EQ(IcmpEcho::Classify(cut, true, 0, raw), Verdict::Unrelated) << n << " bytes";
  }
  Bytes badHeader = whole;
  badHeader[0] = 0x4F;  // claims a 60-byte IP header
  EXPECT_EQ(IcmpEcho::Classify(badHeader, true, 0, raw), Verdict::Unrelated);
}
}  // namespace

namespace {
TEST(IcmpEcho, AQueuedErrorIsOursOnlyWhenItQuotesOurEcho) {
  const IcmpEcho::Expectation raw{kTarget, 0x3f6f, 0xcc67, true};
  const IcmpEcho::Expectation datagram{kTarget, 0, 0xcc67, false};
  EXPECT_TRUE(IcmpEcho::IsOurEcho(IcmpEcho::BuildRequest(0x3f6f, 0xcc67), raw));
  // Another raw probe's echo, handed to this socket's error queue too.
  EXPECT_FALSE(IcmpEcho::IsOurEcho(IcmpEcho::BuildRequest(0x3f72, 0x744c), raw));
  EXPECT_FALSE(IcmpEcho::IsOurEcho(IcmpEcho::BuildRequest(0x3f6f, 0x744c), raw));
  EXPECT_TRUE(IcmpEcho::IsOurEcho(IcmpEcho::BuildRequest(0x0001, 0xcc67), datagram));
  EXPECT_FALSE(IcmpEcho::IsOurEcho(Bytes{8, 0, 0}, raw));
  EXPECT_FALSE(IcmpEcho::IsOurEcho(Reply(0x3f6f, 0xcc67), raw));
}
}  // namespace
