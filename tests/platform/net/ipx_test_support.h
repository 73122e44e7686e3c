// Helpers shared by the IPX segment tests: a fresh segment, network and node per
// test (so parallel test processes never hear each other), IPX sockets and
// addresses, and an observer that reads the raw frames of the segment.
#pragma once

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "net/ipx_segment.h"
#include "net/winsock.h"
#include "net_test_support.h"

namespace vek::net::test {

using Network = std::array<std::uint8_t, 4>;
using Node = std::array<std::uint8_t, 6>;

constexpr Node kBroadcastNode = {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF};

class IpxTest : public WinsockTest {
 protected:
  void SetUp() override;
  void TearDown() override;

  std::uint16_t m_port = 0;  // the test's segment
  Network m_network{};       // the process's station
  Node m_node{};
};

Network ParseNetwork(const std::string& hex);
Node ParseNode(const std::string& hex);
std::string Hex(const Network& network);
std::string Hex(const Node& node);

SOCKADDR_IPX IpxAddress(const Network& network, const Node& node, std::uint16_t socketNumber);
// A socket of the process's station bound to socketNumber (0: a dynamic one), or
// of the given station. *bound receives its address. Fails the test on any error.
SOCKET BoundIpx(std::uint16_t socketNumber, SOCKADDR_IPX* bound);
SOCKET StationIpx(const Network& network, const Node& node, std::uint16_t socketNumber, SOCKADDR_IPX* bound);

int SetIpxOption(SOCKET s, int name, DWORD value);
int AllowBroadcast(SOCKET s, BOOL on = TRUE);
int SendIpx(SOCKET s, const std::string& payload, const SOCKADDR_IPX& to);
// One payload within timeoutMs, or nothing (the error is in WSAGetLastError).
std::optional<std::string> ReceiveIpx(SOCKET s, DWORD timeoutMs, SOCKADDR_IPX* from = nullptr);

// A UDP socket that hears every frame on the segment of port.
SOCKET SegmentObserver(std::uint16_t port);
// A UDP socket that can put raw bytes on the segment of port.
SOCKET SegmentInjector();
int Inject(SOCKET injector, std::uint16_t port, const std::string& bytes);

}  // namespace vek::net::test
