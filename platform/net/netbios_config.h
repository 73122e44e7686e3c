// The NetBIOS configuration of this process (described in net/netbios_segment.h).
#pragma once

#include <optional>

#include "kernel/types.h"
#include "net/endpoint.h"

namespace vek::net {

// The segment of one LANA; nothing when its port would lie beyond 65535.
std::optional<Ipv4Endpoint> NetbiosSegmentEndpoint(int lana);
bool NetbiosLanaConfigured(int lana);
DWORD NetbiosClaimPeriodMs();

}  // namespace vek::net
