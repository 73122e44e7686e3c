// An in-process emulator on a subnet of its own, for tests that link
// emulator_core. Header only: vek_test_support does not depend on the emulator.
#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "emulator/emulator.h"
#include "net/ipx_segment.h"
#include "net/netbios_segment.h"
#include "net/winsock.h"
#include "support/job_data.h"
#include "support/loopback_subnet.h"

namespace vek::test {

// Places device i at 127.A.B.(i + 1) of a fresh subnet, with the broadcast socket
// at 127.A.B.255, and starts the emulator with the rest of options as given
// (spool folder, router, LANAs). *subnet is the first subnet tried (one made
// without arguments is a random one); an address taken by someone else makes it
// try another. *subnet receives the subnet used. poolHosts are the host numbers
// of the subnet that devices restarting with DHCP on are given. *message says
// what failed, and is empty once the emulator runs: a subnet that was taken is
// no failure.
inline bool StartEmulatorOnFreshSubnet(vek::emu::Emulator& emulator, vek::emu::EmulatorOptions options,
                                       LoopbackSubnet* subnet, std::string* message,
                                       const std::vector<int>& poolHosts = {}) {
  for (int attempt = 0; attempt < 10; attempt++) {
    const LoopbackSubnet candidate = attempt == 0 ? *subnet : LoopbackSubnet();
    for (std::size_t i = 0; i < options.devices.size(); i++)
      options.devices[i].address = candidate.Host(static_cast<int>(i) + 1);
    options.broadcast = candidate.Broadcast();
    options.dhcpPool.clear();
    for (int host : poolHosts) options.dhcpPool.push_back(candidate.Host(host));
    int error = 0;
    if (emulator.Start(options, message, &error)) {
      *subnet = candidate;
      message->clear();
      return true;
    }
    if (error != WSAEADDRINUSE) return false;
  }
  return false;
}

inline bool StartEmulatorOnFreshSubnet(vek::emu::Emulator& emulator, std::vector<vek::emu::DeviceConfig> devices,
                                       LoopbackSubnet* subnet, std::string* message,
                                       const std::vector<int>& poolHosts = {}) {
  vek::emu::EmulatorOptions options;
  options.devices = std::move(devices);
  return StartEmulatorOnFreshSubnet(emulator, std::move(options), subnet, message, poolHosts);
}

// Print servers of the three configuration paths. A cabled one: one port (type
// P, digit 1), password "admin", the whole-configuration upload.
inline emu::DeviceConfig CableDevice(std::uint8_t n, const std::string& name) {
  emu::DeviceConfig d;
  d.mac = {0x02, 0x4E, 0x57, 0x50, 0x00, n};
  d.name = name;
  d.capabilities = emu::cap::kPortLength;
  d.password = "admin";
  d.subnetMask = 0xFF000000u;
  d.portNames[0] = "Laser";
  d.portTypes = {1, 0, 0};
  d.portDigits = {1, 0, 0};
  d.digitsGiven = true;  // so the host writes nothing into its copy
  d.restartSilenceMs = 300;
  return d;
}

// A wireless server with three ports (P1, U2, 3), WPA2-PSK, 802.1X, WPA-PSK and
// the security section: multi-part replies, the block upload.
inline emu::DeviceConfig BlockDevice(std::uint8_t n, const std::string& name) {
  emu::DeviceConfig d = CableDevice(n, name);
  d.ports = 3;
  d.capabilities = emu::cap::kPortLength | emu::cap::kWireless | emu::cap::kWirelessOption | emu::cap::kGRates |
                   emu::cap::k8021X | emu::cap::kWpaPsk | emu::cap::kSecurity | emu::cap::kWpa2Psk |
                   emu::cap::kTxMode | emu::cap::kTextLength;
  d.portTypes = {1, 2, 0};
  d.portDigits = {1, 2, 3};
  d.wireless.ssid = "lab net";
  d.wireless.channel = 6;
  d.security.wpaPsk = "a shared secret";
  d.texts[0] = "Building 2";
  return d;
}

// With the secured exchange as well, password "secret"; its key is made at start.
inline emu::DeviceConfig SecuredDevice(std::uint8_t n, const std::string& name) {
  emu::DeviceConfig d = BlockDevice(n, name);
  d.capabilities |= emu::cap::kSecureConfig;
  d.password = "secret";
  return d;
}

// How a print server of the end-to-end tests is reached.
enum class PortTransport { Udp, Ipx, Netbeui };

// Print server index of a test's group: the group's MAC byte and name prefix
// keep the devices of two tests apart. It sends its last acknowledgement again
// quickly, so a lost one costs little; faults as a configuration gives them.
inline vek::emu::DeviceConfig PrintDevice(const std::string& prefix, std::uint8_t group, int index, int generation,
                                          PortTransport via, const std::string& faults = "") {
  vek::emu::DeviceConfig device;
  device.mac = {0x02, 0x4E, 0x57, group, 0x00, static_cast<std::uint8_t>(index)};
  device.name = prefix + std::to_string(index);
  device.generation = generation;
  device.transports.udp = via == PortTransport::Udp;
  device.transports.ipx = via == PortTransport::Ipx;
  device.transports.netbios = via == PortTransport::Netbeui;
  device.reackMs = 20;
  device.seed = 1000 + static_cast<std::uint64_t>(index);
  if (!faults.empty()) {
    std::string why;
    EXPECT_TRUE(vek::emu::ReadFaults(faults, &device.faults, &why)) << why;
  }
  return device;
}

// What device was sent, one line a request with what became of it: the
// evidence a failed comparison of a job needs.
inline std::string DescribeRequests(vek::emu::Emulator& emulator, std::size_t device) {
  std::string text;
  for (const vek::emu::LoggedRequest& request : emulator.Log().Snapshot()) {
    if (request.device != device) continue;
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(request.when.time_since_epoch()).count();
    text += std::to_string(ms % 100000) + " " + request.peer + " " + request.kind + ": " + request.note + "\n";
  }
  return text;
}

// The number-th job of device (from 1) has ended whole and holds data.
inline void ExpectJobReceived(vek::emu::Emulator& emulator, int device, int number, const std::string& data) {
  auto job = emulator.Jobs().WaitForJob(
      [&](const vek::emu::JobRecord& j) { return j.device == static_cast<std::size_t>(device) && j.number == number; },
      std::chrono::seconds(30));
  ASSERT_TRUE(job.has_value()) << "device " << device << " job " << number << "\n"
                               << DescribeRequests(emulator, static_cast<std::size_t>(device));
  EXPECT_TRUE(job->ended);
  EXPECT_EQ(job->size, data.size());
  EXPECT_EQ(job->sha256, Sha256(data)) << "device " << device << " job " << number << "\n"
                                       << DescribeRequests(emulator, static_cast<std::size_t>(device));
}

// An IPX segment and a NetBIOS segment (LANA 0) of the test's own, with a
// random network and node for this process's station, for the life of the
// object; NetBIOS name claims take claimMs.
class ScopedSegments {
 public:
  explicit ScopedSegments(DWORD claimMs = 50) {
    std::mt19937 random{std::random_device{}()};
    const std::string segment = "127.255.255.255:" + std::to_string(RandomSegmentPort());
    const std::string netbios = "127.255.255.255:" + std::to_string(RandomSegmentPort());
    char network[9], node[13];
    std::snprintf(network, sizeof(network), "%08X", static_cast<unsigned>(0x10000000u + random() % 0x60000000u));
    std::snprintf(node, sizeof(node), "0200%08X", static_cast<unsigned>(random()));
    m_ok = vek::net::SetIpxSegment(segment.c_str()) && vek::net::SetIpxNetwork(network) &&
           vek::net::SetIpxNode(node) && vek::net::SetNetbiosSegment(netbios.c_str()) &&
           vek::net::SetNetbiosLanas("0");
    vek::net::SetNetbiosClaimPeriod(claimMs);
    m_network = network;
    m_ipxSegment = segment;
    m_netbiosSegment = netbios;
  }
  ~ScopedSegments() {
    vek::net::ResetIpxConfiguration();
    vek::net::ResetNetbiosConfiguration();
  }
  ScopedSegments(const ScopedSegments&) = delete;
  ScopedSegments& operator=(const ScopedSegments&) = delete;

  bool Ok() const { return m_ok; }
  // The process's IPX network, 8 hex digits.
  const std::string& Network() const { return m_network; }
  // The segments, as VEK_IPX_SEGMENT and VEK_NETBIOS_SEGMENT give them to another process.
  const std::string& IpxSegment() const { return m_ipxSegment; }
  const std::string& NetbiosSegment() const { return m_netbiosSegment; }

 private:
  bool m_ok = false;
  std::string m_network;
  std::string m_ipxSegment;
  std::string m_netbiosSegment;
};

}  // namespace vek::test
