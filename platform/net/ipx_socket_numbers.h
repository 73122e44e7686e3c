// The IPX socket numbers this process's sockets hold, per station (network and
// node). Two sockets of one station never share a number, so a frame for that
// station and number has one receiver. Stations of other processes have nodes of
// their own; the dynamic numbers still start at a random point per process, so that
// two processes configured with one node rarely meet. Thread-safe.
#pragma once

#include <cstdint>

#include "kernel/types.h"
#include "net/ipx_endpoint.h"

namespace vek::net {

constexpr std::uint16_t kIpxFirstDynamicSocket = 0x4000;
constexpr std::uint16_t kIpxLastDynamicSocket = 0x7FFF;

// Takes number requested for station (its socket field is ignored), or a free
// dynamic number when requested is 0; *granted is the number taken. WSAEADDRINUSE
// when it is held, WSAENOBUFS when no dynamic number is free.
DWORD ClaimIpxSocketNumber(const IpxAddress& station, std::uint16_t requested, std::uint16_t* granted);
// Gives back a number taken by ClaimIpxSocketNumber (station and socket).
void ReleaseIpxSocketNumber(const IpxAddress& address);

}  // namespace vek::net
