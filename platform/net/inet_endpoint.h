// AF_INET socket addresses as the socket calls take and return them, to and from
// the neutral endpoint the BSD-socket side uses.
#pragma once

#include "kernel/types.h"
#include "net/endpoint.h"
#include "net/winsock.h"

namespace vek::net {

// WSAEFAULT when name is null or shorter than sockaddr_in; WSAEAFNOSUPPORT for
// another family.
DWORD ReadInetAddress(const sockaddr* name, int nameLength, Ipv4Endpoint* endpoint);

// WSAEFAULT when length is null or *length is shorter than sockaddr_in.
DWORD CheckInetAddressBuffer(const sockaddr* name, const int* length);

// Writes an AF_INET address and sets *length; checks as CheckInetAddressBuffer.
DWORD WriteInetAddress(const Ipv4Endpoint& endpoint, sockaddr* name, int* length);

}  // namespace vek::net
