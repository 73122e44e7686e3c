// Where a simulated segment (IPX, or one NetBIOS LANA) lives: a UDP address and port
// on loopback, written "a.b.c.d:port" in the configuration.
#pragma once

#include "net/endpoint.h"

namespace vek::net {

// "a.b.c.d:port" with a dotted address as inet_addr reads it and a decimal port
// 1..65535. False, and *endpoint untouched, for anything else. The result is in
// network byte order.
bool ParseSegmentEndpoint(const char* text, Ipv4Endpoint* endpoint);

}  // namespace vek::net
