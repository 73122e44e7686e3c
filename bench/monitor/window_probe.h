// The round trip of one full window to a device, measured by a host that does
// nothing else: a window of full packets sent back to back, then the wait for
// the acknowledgement that takes all of it. Window x data length per round
// trip is the most any sender gets through that device on that path.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "emulator/transport.h"

namespace vek::bench {

struct ProbeTarget {
  vek::emu::TransportKind transport = vek::emu::TransportKind::Udp;
  int generation = 1;
  int port = 2;
  std::uint32_t address = 0;          // UDP, host order
  std::array<std::uint8_t, 6> node{};  // IPX, on this network
  std::string netbiosName;            // NetBIOS
  std::string ownNetbiosName;         // the probe's own name on LANA 0
};

struct WindowRoundTrip {
  bool ok = false;
  int window = 0;
  int dataLength = 0;
  double medianUs = 0;
  // Bytes per second at that round trip.
  double BoundBytesPerSecond() const { return ok ? window * dataLength / (medianUs / 1e6) : 0; }
};

// rounds windows in one job on the target's port; the job is ended after.
WindowRoundTrip MeasureWindowRoundTrip(const ProbeTarget& target, int rounds, std::string* message);

}  // namespace vek::bench
