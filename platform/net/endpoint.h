// An IPv4 address and port, both in network byte order. The neutral form in which
// the Winsock side and the BSD-socket side of the layer exchange addresses: neither
// side can see the other's sockaddr types.
#pragma once

#include <cstdint>

namespace vek::net {

struct Ipv4Endpoint {
  std::uint32_t address = 0;
  std::uint16_t port = 0;

  friend bool operator==(const Ipv4Endpoint&, const Ipv4Endpoint&) = default;
};

}  // namespace vek::net
