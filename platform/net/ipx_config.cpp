#include "net/ipx_config.h"

#include <unistd.h>

#include <cstdlib>
#include <mutex>
#include <optional>

#include "net/byte_order.h"
#include "net/ipx_segment.h"
#include "net/segment_endpoint.h"

namespace vek::net {
namespace {

constexpr const char* kDefaultSegment = "127.255.255.255:28500";
constexpr IpxNetwork kDefaultNetwork = {0, 0, 0, 1};

struct Overrides {
  std::mutex lock;
  std::optional<Ipv4Endpoint> segment;
  std::optional<IpxNetwork> network;
  std::optional<IpxNode> node;
};

Overrides& State() {
  static Overrides* state = new Overrides;  // used by sockets closed late in the process
  return *state;
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

IpxNode NodeFromProcessId() {
  const std::uint32_t pid = static_cast<std::uint32_t>(::getpid());
  return {0x02, 0x00, static_cast<std::uint8_t>(pid >> 24), static_cast<std::uint8_t>(pid >> 16),
          static_cast<std::uint8_t>(pid >> 8), static_cast<std::uint8_t>(pid)};
}

}  // namespace

bool UsableNetwork(const IpxNetwork& network) { return !IsZero(network) && network != IpxNetwork{0xFF, 0xFF, 0xFF, 0xFF}; }

bool UsableNode(const IpxNode& node) { return !IsZero(node) && !IsBroadcast(node); }

bool ParseHexBytes(const char* text, std::span<std::uint8_t> out) {
  if (text == nullptr) return false;
  const char* p = text;
  for (std::size_t i = 0; i < out.size(); ++i) {
    if (i > 0 && (*p == '-' || *p == ':')) ++p;
    const int high = HexDigit(p[0]);
    const int low = high < 0 ? -1 : HexDigit(p[1]);
    if (low < 0) return false;
    out[i] = static_cast<std::uint8_t>(high * 16 + low);
    p += 2;
  }
  return *p == '\0';
}

bool SetIpxSegment(const char* text) {
  Ipv4Endpoint segment;
  if (!ParseSegmentEndpoint(text, &segment)) return false;
  std::lock_guard guard(State().lock);
  State().segment = segment;
  return true;
}

bool SetIpxNetwork(const char* hex) {
  IpxNetwork network;
  if (!ParseHexBytes(hex, network) || !UsableNetwork(network)) return false;
  std::lock_guard guard(State().lock);
  State().network = network;
  return true;
}

bool SetIpxNode(const char* hex) {
  IpxNode node;
  if (!ParseHexBytes(hex, node) || !UsableNode(node)) return false;
  std::lock_guard guard(State().lock);
  State().node = node;
  return true;
}

void ResetIpxConfiguration() {
  std::lock_guard guard(State().lock);
  State().segment.reset();
  State().network.reset();
  State().node.reset();
}

Ipv4Endpoint IpxSegmentEndpoint() {
  {
    std::lock_guard guard(State().lock);
    if (State().segment) return *State().segment;
  }
  Ipv4Endpoint segment;
  if (ParseSegmentEndpoint(std::getenv("VEK_IPX_SEGMENT"), &segment)) return segment;
  ParseSegmentEndpoint(kDefaultSegment, &segment);
  return segment;
}

IpxAddress IpxProcessStation() {
  IpxAddress station;
  std::optional<IpxNetwork> network;
  std::optional<IpxNode> node;
  {
    std::lock_guard guard(State().lock);
    network = State().network;
    node = State().node;
  }
  if (!network) {
    IpxNetwork parsed;
    const bool valid = ParseHexBytes(std::getenv("VEK_IPX_NETWORK"), parsed) && UsableNetwork(parsed);
    network = valid ? parsed : kDefaultNetwork;
  }
  if (!node) {
    IpxNode parsed;
    const bool valid = ParseHexBytes(std::getenv("VEK_IPX_NODE"), parsed) && UsableNode(parsed);
    node = valid ? parsed : NodeFromProcessId();
  }
  station.network = *network;
  station.node = *node;
  return station;
}

}  // namespace vek::net
