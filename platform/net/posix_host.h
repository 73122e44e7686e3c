// Host names and IPv4 name resolution from the system, in neutral types.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "kernel/types.h"

namespace vek::net::posix {

// This machine's host name; 0 or a WSA code.
DWORD HostName(std::string* name);

// The IPv4 addresses (network byte order) and canonical name of a host. Fails with
// WSAHOST_NOT_FOUND, WSANO_DATA (the name has no IPv4 address), WSATRY_AGAIN or
// WSANO_RECOVERY.
DWORD ResolveIpv4(const char* name, std::string* canonicalName, std::vector<std::uint32_t>* addresses);

}  // namespace vek::net::posix
