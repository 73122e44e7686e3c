// The IPX configuration of this process (described in net/ipx_segment.h), read at
// each call so that a change to the environment or an override takes effect for
// the next socket.
#pragma once

#include <cstdint>
#include <span>

#include "net/endpoint.h"
#include "net/ipx_endpoint.h"

namespace vek::net {

Ipv4Endpoint IpxSegmentEndpoint();
// The station's network and node; socket 0.
IpxAddress IpxProcessStation();

// A network or node a station may have: neither zero nor all ones.
bool UsableNetwork(const IpxNetwork& network);
bool UsableNode(const IpxNode& node);

// Hex text with optional '-' or ':' between bytes, exactly as many bytes as out holds.
bool ParseHexBytes(const char* text, std::span<std::uint8_t> out);

}  // namespace vek::net
