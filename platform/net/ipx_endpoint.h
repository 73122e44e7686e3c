// An IPX address (network, node, socket) in the neutral form the IPX transport
// works with, and its conversion to and from the SOCKADDR_IPX the socket calls take.
#pragma once

#include <array>
#include <cstdint>

#include "kernel/types.h"
#include "net/winsock.h"

namespace vek::net {

using IpxNetwork = std::array<std::uint8_t, 4>;
using IpxNode = std::array<std::uint8_t, 6>;

constexpr IpxNode kIpxBroadcastNode = {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF};

struct IpxAddress {
  IpxNetwork network{};
  IpxNode node{};
  std::uint16_t socket = 0;  // host byte order

  friend bool operator==(const IpxAddress&, const IpxAddress&) = default;
};

inline bool IsZero(const IpxNetwork& network) { return network == IpxNetwork{}; }
inline bool IsZero(const IpxNode& node) { return node == IpxNode{}; }
inline bool IsBroadcast(const IpxNode& node) { return node == kIpxBroadcastNode; }

// WSAEFAULT when name is null or shorter than SOCKADDR_IPX; WSAEAFNOSUPPORT for
// another family.
DWORD ReadIpxAddress(const sockaddr* name, int nameLength, IpxAddress* address);
// WSAEFAULT when length is null or *length is shorter than SOCKADDR_IPX.
DWORD CheckIpxAddressBuffer(const sockaddr* name, const int* length);
// Writes a SOCKADDR_IPX and sets *length; checks as CheckIpxAddressBuffer.
DWORD WriteIpxAddress(const IpxAddress& address, sockaddr* name, int* length);

}  // namespace vek::net
