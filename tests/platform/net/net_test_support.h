// Helpers shared by the socket tests: a started Winsock per test, loopback
// addresses picked at random so parallel test processes stay apart, and sockets
// bound to an ephemeral port.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "net/winsock.h"

namespace vek::net::test {

class WinsockTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;
};

// A random 127.a.b.c, host byte order; c is never 0 or 255.
std::uint32_t RandomLoopbackAddress();
// A random 127.a.b.255, host byte order: an ordinary unicast address on Linux.
std::uint32_t RandomLoopbackBroadcastLike();
std::string Dotted(std::uint32_t hostOrder);

sockaddr_in InetAddress(std::uint32_t hostOrder, std::uint16_t port);

// A UDP socket bound to address:0; *port receives the port the system chose.
// Fails the test (and returns INVALID_SOCKET) when any step fails.
SOCKET BoundUdpSocket(std::uint32_t hostOrderAddress, std::uint16_t* port);

int SetDwordOption(SOCKET s, int name, DWORD value);

// Sends text (may be empty) to address:port; returns what sendto returned.
int SendText(SOCKET s, const std::string& text, std::uint32_t hostOrderAddress, std::uint16_t port);

}  // namespace vek::net::test
