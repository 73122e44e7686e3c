// An in-process emulator on a subnet of its own, for tests that link
// emulator_core. Header only: vek_test_support does not depend on the emulator.
#pragma once

#include <string>
#include <vector>

#include "emulator/emulator.h"
#include "net/winsock.h"
#include "support/loopback_subnet.h"

namespace vek::test {

// Places device i at 127.A.B.(i + 1) of a fresh subnet, with the broadcast socket
// at 127.A.B.255, and starts the emulator. An address taken by someone else makes
// it try another subnet. *subnet receives the subnet used.
// poolHosts are the host numbers of the subnet that devices restarting with DHCP
// on are given.
inline bool StartEmulatorOnFreshSubnet(vek::emu::Emulator& emulator, std::vector<vek::emu::DeviceConfig> devices,
                                       LoopbackSubnet* subnet, std::string* message,
                                       const std::vector<int>& poolHosts = {}) {
  for (int attempt = 0; attempt < 10; attempt++) {
    LoopbackSubnet candidate;
    for (std::size_t i = 0; i < devices.size(); i++) devices[i].address = candidate.Host(static_cast<int>(i) + 1);
    vek::emu::EmulatorOptions options;
    options.devices = devices;
    options.broadcast = candidate.Broadcast();
    for (int host : poolHosts) options.dhcpPool.push_back(candidate.Host(host));
    int error = 0;
    if (emulator.Start(options, message, &error)) {
      *subnet = candidate;
      return true;
    }
    if (error != WSAEADDRINUSE) return false;
  }
  return false;
}

}  // namespace vek::test
