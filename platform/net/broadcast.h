// Where broadcasts go. Linux on loopback has no 255.255.255.255, so a datagram sent
// to INADDR_BROADCAST goes to a configured address instead: VEK_BROADCAST (dotted,
// read at each send; default 255.255.255.255). Tests and the demo use
// 127.255.255.255, or a unicast loopback address per test to keep parallel
// "broadcasts" apart.
#pragma once

#include <cstdint>

namespace vek::net {

// Overrides the environment for this process (tests). nullptr returns to the
// environment. False, and nothing changed, when the text is not a dotted address.
bool SetBroadcastAddress(const char* dotted);
void ResetBroadcastAddress();

// The address a broadcast is sent to, in network byte order.
std::uint32_t MappedBroadcastAddress();

}  // namespace vek::net
