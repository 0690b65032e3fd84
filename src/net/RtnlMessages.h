#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

// The few rtnetlink messages the neighbour lookup exchanges with the kernel,
// built and read as bytes so that they can be checked without a kernel.
class RtnlMessages {
 public:
  using LinkAddress = std::array<std::uint8_t, 6>;

  struct Route {
    int error = 0;            // the kernel's negative errno, 0 when a route came back
    std::uint8_t type = 0;    // RTN_UNICAST, RTN_LOCAL, RTN_UNREACHABLE, ...
    bool viaGateway = false;  // off-link: the kernel would resolve the gateway, not the target
    int outputInterface = 0;
  };

  struct Neighbour {
    int interfaceIndex = 0;
    std::uint16_t state = 0;  // NUD_*
    std::uint32_t address = 0;
    std::optional<LinkAddress> linkAddress;  // only a 6-byte hardware address
    bool removed = false;                    // RTM_DELNEIGH
  };

  // Valid states that hold a usable link-layer address (REACHABLE, STALE,
  // DELAY, PROBE, PERMANENT).
  static bool HasUsableAddress(const Neighbour& n);

  static std::vector<std::uint8_t> RouteRequest(std::uint32_t destination, std::uint32_t sequence);
  static std::vector<std::uint8_t> NeighbourRequest(std::uint32_t destination, int interfaceIndex,
                                                    std::uint32_t sequence);

  // The kernel's answer to RouteRequest with this sequence number; nullopt when
  // the bytes hold no such answer.
  static std::optional<Route> ParseRouteAnswer(std::span<const std::uint8_t> bytes, std::uint32_t sequence);

  // The answer to NeighbourRequest: the entry, or the kernel's error in `error`.
  struct NeighbourAnswer {
    int error = 0;
    std::optional<Neighbour> entry;
  };
  static std::optional<NeighbourAnswer> ParseNeighbourAnswer(std::span<const std::uint8_t> bytes,
                                                             std::uint32_t sequence);

  // Every IPv4 neighbour message in the bytes (answers or group notifications).
  static std::vector<Neighbour> ParseNeighbours(std::span<const std::uint8_t> bytes);
};
