// Tests of the protocol against the emulator: devices of the three upload paths,
// an emulator on the test's own loopback subnet with the broadcasts mapped there,
// and records taken from the devices' own replies.
#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "emulator/emulator.h"
#include "kernel/clock.h"
#include "net/winsock.h"
#include "protocol/packet_header.h"
#include "protocol/print_server.h"
#include "protocol/xudp_socket.h"
#include "support/emulator_lab.h"
#include "support/loopback_subnet.h"

namespace vek::test {

using Bytes = std::vector<BYTE>;

class DeviceLab : public testing::Test {
 protected:
  void SetUp() override {
    WSADATA data;
    ASSERT_EQ(WSAStartup(MAKEWORD(1, 1), &data), 0);
  }
  void TearDown() override {
    m_emulator.Stop();
    m_broadcast.reset();
    WSACleanup();
  }

  void Start(std::vector<emu::DeviceConfig> devices, const std::vector<int>& poolHosts = {}) {
    std::string message;
    ASSERT_TRUE(StartEmulatorOnFreshSubnet(m_emulator, std::move(devices), &m_subnet, &message, poolHosts)) << message;
    // A test that starts again maps its broadcasts anew: the old mapping ends first.
    m_broadcast.reset();
    m_broadcast = std::make_unique<ScopedBroadcast>(m_subnet.Broadcast());
  }

  emu::Device& Device(std::size_t i) { return m_emulator.DeviceAt(i); }

  static void Aim(XUDPSocket& socket, std::uint32_t hostOrder) {
    socket.m_Address.sin_family = AF_INET;
    socket.m_Address.sin_port = htons(PS_PORT);
    socket.m_Address.sin_addr.s_addr = htonl(hostOrder);
  }

  // The device's single information reply, asked at the address it listens at.
  Bytes Reply(std::size_t i) {
    XUDPSocket socket;
    EXPECT_TRUE(socket.Create(0));
    const std::uint32_t address = Device(i).ListenAddress();
    Aim(socket, address);
    BYTE request[PS_BUFFER_LENGTH];
    const int length = PSBuildPlainRequest(request, 0, PSCMD_SEARCH);
    for (int attempt = 0; attempt < 3; attempt++) {
      socket.Send(reinterpret_cast<char*>(request), length, 0);
      char buffer[PS_BUFFER_LENGTH];
      const int n = socket.Receive(buffer, sizeof(buffer), 0);
      if (n > 0 && ntohl(socket.m_FromAddress.sin_addr.s_addr) == address) return Bytes(buffer, buffer + n);
    }
    return {};
  }

  // A record of device i as the search leaves it: found over UDP at its address.
  std::unique_ptr<CPrintServer> Record(std::size_t i) {
    auto ps = std::make_unique<CPrintServer>();
    const Bytes reply = Reply(i);
    EXPECT_TRUE(ps->ParseReply(reply.data(), static_cast<int>(reply.size())));
    ps->m_Transport = PS_TRANSPORT_UDP;
    const std::uint32_t address = htonl(Device(i).ListenAddress());
    std::memcpy(ps->m_IPAddress, &address, 4);
    return ps;
  }

  static bool WaitUntil(const std::function<bool()>& condition, int timeoutMs) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (!condition()) {
      if (std::chrono::steady_clock::now() > deadline) return false;
      ::Sleep(5);
    }
    return true;
  }

  // Waits until device i has restarted and listens again.
  bool WaitForRestart(std::size_t i, int restarts) {
    return WaitUntil(
        [&] { return Device(i).Counters().restarts >= restarts && !Device(i).Silent(std::chrono::steady_clock::now()); },
        5000);
  }

  static void PutAddress(BYTE* field, std::uint32_t hostOrder) {
    const std::uint32_t network = htonl(hostOrder);
    std::memcpy(field, &network, 4);
  }

  emu::Emulator m_emulator;
  LoopbackSubnet m_subnet;
  std::unique_ptr<ScopedBroadcast> m_broadcast;
};

}  // namespace vek::test
