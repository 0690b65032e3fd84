#include "net/EchoSocket.h"

#include <linux/icmp.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/random.h>
#include <sys/socket.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <chrono>

#include "net/IcmpEcho.h"
#include "toolkit/UniqueFd.h"

namespace {
using Clock = std::chrono::steady_clock;

struct Opened {
  UniqueFd fd;
  bool raw = false;
};

Opened OpenSocket() {
  Opened o;
  o.fd.Reset(::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC | SOCK_NONBLOCK, IPPROTO_ICMP));
  if (!o.fd.Valid()) {
    o.fd.Reset(::socket(AF_INET, SOCK_RAW | SOCK_CLOEXEC | SOCK_NONBLOCK, IPPROTO_ICMP));
    o.raw = true;
  }
  return o;
}

[[nodiscard]] bool SetInt(int fd, int level, int name, int value) {
  return ::setsockopt(fd, level, name, &value, sizeof value) == 0;
}

[[nodiscard]] bool Configure(const Opened& s) {
  const int fd = s.fd.Get();
  if (!SetInt(fd, IPPROTO_IP, IP_TTL, EchoSocket::kTimeToLive) ||
      !SetInt(fd, IPPROTO_IP, IP_MTU_DISCOVER, IP_PMTUDISC_DO) || !SetInt(fd, IPPROTO_IP, IP_RECVERR, 1)) {
    return false;
  }
  if (s.raw) {
    // A raw socket sees every ICMP message of the namespace; let only echo
    // replies and the errors that can concern an echo reach it.
    icmp_filter filter{};
    filter.data =
        ~((1U << ICMP_ECHOREPLY) | (1U << ICMP_DEST_UNREACH) | (1U << ICMP_TIME_EXCEEDED) | (1U << ICMP_PARAMETERPROB));
    if (::setsockopt(fd, SOL_RAW, ICMP_FILTER, &filter, sizeof filter) != 0) return false;
  }
  return true;
}

std::uint16_t RandomSequence() {
  std::uint16_t value = 0;
  if (::getrandom(&value, sizeof value, GRND_NONBLOCK) != static_cast<ssize_t>(sizeof value)) {
    value = static_cast<std::uint16_t>(Clock::now().time_since_epoch().count());
  }
  return value;
}

// Takes one queued error off the socket: true when it was about our echo.
bool TakeQueuedError(int fd, const IcmpEcho::Expectation& expected) {
  std::array<std::uint8_t, 576> data{};
  std::array<std::uint8_t, 512> control{};
  iovec io{data.data(), data.size()};
  msghdr msg{};
  msg.msg_iov = &io;
  msg.msg_iovlen = 1;
  msg.msg_control = control.data();
  msg.msg_controllen = control.size();
  const ssize_t n = ::recvmsg(fd, &msg, MSG_ERRQUEUE | MSG_DONTWAIT);
  return n >= 0 && IcmpEcho::IsOurEcho(std::span(data.data(), static_cast<std::size_t>(n)), expected);
}

long ElapsedMilliseconds(Clock::time_point since) {
  const auto us = std::chrono::duration_cast<std::chrono::microseconds>(Clock::now() - since).count();
  return us < 1000 ? 1 : static_cast<long>(us / 1000);
}
}  // namespace

long EchoSocket::Exchange(std::uint32_t target, long timeoutMilliseconds) {
  const Opened s = OpenSocket();
  if (!s.fd.Valid() || !Configure(s)) return 0;
  const int fd = s.fd.Get();

  IcmpEcho::Expectation expected;
  expected.target = target;
  expected.sequence = RandomSequence();
  // With a raw socket the id is ours to choose and must tell our echo from those
  // of the other probes running at the same time: the descriptor number is
  // unique among them, the process id keeps two programs apart.
  expected.checkId = s.raw;
  expected.id = s.raw ? static_cast<std::uint16_t>(fd + ::getpid() * 31) : 0;
  const std::vector<std::uint8_t> request = IcmpEcho::BuildRequest(expected.id, expected.sequence);

  sockaddr_in to{};
  to.sin_family = AF_INET;
  to.sin_addr.s_addr = target;
  // Connected, a raw socket is handed only the target's packets and the errors
  // about packets to the target, not those of every other probe's target.
  if (::connect(fd, reinterpret_cast<const sockaddr*>(&to), sizeof to) != 0) return 0;
  const Clock::time_point sent = Clock::now();
  if (::send(fd, request.data(), request.size(), 0) != static_cast<ssize_t>(request.size())) return 0;

  const Clock::time_point deadline = sent + std::chrono::milliseconds(timeoutMilliseconds);
  std::array<std::uint8_t, 2048> buffer{};
  for (;;) {
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now()).count();
    if (left <= 0) return 0;
    pollfd p{fd, POLLIN, 0};
    const int ready = ::poll(&p, 1, static_cast<int>(left));
    if (ready < 0) {
      if (errno == EINTR) continue;
      return 0;
    }
    if (ready == 0) return 0;
    // An ICMP error about our echo (from a router or from our own stack) means
    // the echo is lost: no answer, and no reason to wait on. Errors about
    // other probes' echoes are read and forgotten.
    if ((p.revents & POLLERR) && TakeQueuedError(fd, expected)) return 0;
    if (!(p.revents & POLLIN)) {
      if (p.revents & (POLLHUP | POLLNVAL)) return 0;
      continue;
    }
    sockaddr_in from{};
    socklen_t fromLength = sizeof from;
    const ssize_t n =
        ::recvfrom(fd, buffer.data(), buffer.size(), MSG_DONTWAIT, reinterpret_cast<sockaddr*>(&from), &fromLength);
    if (n < 0) {
      if (errno == EAGAIN || errno == EINTR) continue;
      return 0;
    }
    const auto verdict = IcmpEcho::Classify(std::span(buffer.data(), static_cast<std::size_t>(n)), s.raw,
                                            from.sin_addr.s_addr, expected);
    if (verdict == IcmpEcho::Verdict::Reply) return ElapsedMilliseconds(sent);
    if (verdict == IcmpEcho::Verdict::Error) return 0;
  }
}
