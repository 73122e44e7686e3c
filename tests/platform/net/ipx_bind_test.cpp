// IPX socket numbers and addresses: dynamic numbers, chosen numbers, the checks of
// bind and the options, and where the station's network and node come from.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "ipx_test_support.h"
#include "kernel/thread.h"
#include "segment_test_support.h"

namespace vek::net::test {
namespace {

using IpxBindTest = IpxTest;

std::uint16_t SocketNumber(const SOCKADDR_IPX& address) { return ntohs(address.sa_socket); }

TEST_F(IpxBindTest, DynamicNumbersDifferAndComeFromTheDynamicRange) {
  std::vector<SOCKET> sockets;
  std::set<std::uint16_t> numbers;
  for (int i = 0; i < 40; ++i) {
    SOCKADDR_IPX bound{};
    sockets.push_back(BoundIpx(0, &bound));
    const std::uint16_t number = SocketNumber(bound);
    EXPECT_GE(number, 0x4000);
    EXPECT_LE(number, 0x7FFF);
    numbers.insert(number);
  }
  EXPECT_EQ(numbers.size(), sockets.size());
  for (SOCKET s : sockets) closesocket(s);
}

TEST_F(IpxBindTest, AChosenNumberIsHeldUntilClosed) {
  SOCKADDR_IPX first{}, other{};
  SOCKET holder = BoundIpx(0x5050, &first);
  EXPECT_EQ(SocketNumber(first), 0x5050);

  SOCKET second = socket(AF_IPX, SOCK_DGRAM, NSPROTO_IPX);
  SOCKADDR_IPX same = IpxAddress({}, {}, 0x5050);
  EXPECT_EQ(bind(second, reinterpret_cast<sockaddr*>(&same), sizeof(same)), SOCKET_ERROR);
  EXPECT_EQ(WSAGetLastError(), WSAEADDRINUSE);

  // Another station of the process may have the same number.
  Node node = m_node;
  node[0] ^= 0x40;
  SOCKET elsewhere = StationIpx(m_network, node, 0x5050, &other);
  EXPECT_EQ(SocketNumber(other), 0x5050);

  closesocket(holder);
  EXPECT_EQ(bind(second, reinterpret_cast<sockaddr*>(&same), sizeof(same)), 0) << WSAGetLastError();
  closesocket(second);
  closesocket(elsewhere);
}

TEST_F(IpxBindTest, BindChecksItsAddress) {
  SOCKET s = socket(AF_IPX, SOCK_DGRAM, NSPROTO_IPX);
  ASSERT_NE(s, INVALID_SOCKET) << WSAGetLastError();
  SOCKADDR_IPX name{};
  int length = sizeof(name);
  EXPECT_EQ(getsockname(s, reinterpret_cast<sockaddr*>(&name), &length), SOCKET_ERROR);
  EXPECT_EQ(WSAGetLastError(), WSAEINVAL);
  char buffer[8];
  EXPECT_EQ(recv(s, buffer, sizeof(buffer), 0), SOCKET_ERROR);
  EXPECT_EQ(WSAGetLastError(), WSAEINVAL);

  SOCKADDR_IPX local = IpxAddress({}, {}, 0);
  EXPECT_EQ(bind(s, reinterpret_cast<sockaddr*>(&local), 13), SOCKET_ERROR);
  EXPECT_EQ(WSAGetLastError(), WSAEFAULT);
  local.sa_family = AF_INET;
  EXPECT_EQ(bind(s, reinterpret_cast<sockaddr*>(&local), sizeof(local)), SOCKET_ERROR);
  EXPECT_EQ(WSAGetLastError(), WSAEAFNOSUPPORT);
  Node foreign = m_node;
  foreign[2] ^= 1;
  local = IpxAddress({}, foreign, 0);
  EXPECT_EQ(bind(s, reinterpret_cast<sockaddr*>(&local), sizeof(local)), SOCKET_ERROR);
  EXPECT_EQ(WSAGetLastError(), WSAEADDRNOTAVAIL);
  Network elsewhere = m_network;
  elsewhere[0] ^= 1;
  local = IpxAddress(elsewhere, {}, 0);
  EXPECT_EQ(bind(s, reinterpret_cast<sockaddr*>(&local), sizeof(local)), SOCKET_ERROR);
  EXPECT_EQ(WSAGetLastError(), WSAEADDRNOTAVAIL);

  // The station's own network and node, written out, are fine; a second bind is not.
  local = IpxAddress(m_network, m_node, 0);
  ASSERT_EQ(bind(s, reinterpret_cast<sockaddr*>(&local), sizeof(local)), 0) << WSAGetLastError();
  EXPECT_EQ(bind(s, reinterpret_cast<sockaddr*>(&local), sizeof(local)), SOCKET_ERROR);
  EXPECT_EQ(WSAGetLastError(), WSAEINVAL);
  length = 13;
  EXPECT_EQ(getsockname(s, reinterpret_cast<sockaddr*>(&name), &length), SOCKET_ERROR);
  EXPECT_EQ(WSAGetLastError(), WSAEFAULT);
  closesocket(s);
}

TEST_F(IpxBindTest, TheFirstSendBindsADynamicNumber) {
  SOCKADDR_IPX b{};
  SOCKET receiver = BoundIpx(0, &b);
  SOCKET sender = socket(AF_IPX, SOCK_DGRAM, NSPROTO_IPX);
  ASSERT_EQ(SendIpx(sender, "unbound", b), 7) << WSAGetLastError();
  SOCKADDR_IPX name{};
  int length = sizeof(name);
  ASSERT_EQ(getsockname(sender, reinterpret_cast<sockaddr*>(&name), &length), 0) << WSAGetLastError();
  SOCKADDR_IPX from{};
  EXPECT_EQ(ReceiveIpx(receiver, 5000, &from), "unbound");
  EXPECT_EQ(from.sa_socket, name.sa_socket);
  EXPECT_GE(SocketNumber(name), 0x4000);
  closesocket(sender);
  closesocket(receiver);
}

TEST_F(IpxBindTest, SendChecksItsDestination) {
  SOCKADDR_IPX a{};
  SOCKET s = BoundIpx(0, &a);
  SOCKADDR_IPX to = IpxAddress({}, m_node, 0x5050);
  EXPECT_EQ(sendto(s, "x", 1, 0, reinterpret_cast<sockaddr*>(&to), 13), SOCKET_ERROR);
  EXPECT_EQ(WSAGetLastError(), WSAEFAULT);
  EXPECT_EQ(sendto(s, "x", 1, 0, nullptr, 0), SOCKET_ERROR);
  EXPECT_EQ(WSAGetLastError(), WSAEDESTADDRREQ);
  EXPECT_EQ(SendIpx(s, "x", IpxAddress({}, {}, 0x5050)), SOCKET_ERROR);
  EXPECT_EQ(WSAGetLastError(), WSAEADDRNOTAVAIL);
  EXPECT_EQ(SendIpx(s, "x", IpxAddress({}, m_node, 0)), SOCKET_ERROR);
  EXPECT_EQ(WSAGetLastError(), WSAEADDRNOTAVAIL);
  closesocket(s);
}

TEST_F(IpxBindTest, OptionsCheckTheirValues) {
  SOCKET s = socket(AF_IPX, SOCK_DGRAM, NSPROTO_IPX);
  EXPECT_EQ(SetIpxOption(s, IPX_PTYPE, 256), SOCKET_ERROR);
  EXPECT_EQ(WSAGetLastError(), WSAEINVAL);
  EXPECT_EQ(setsockopt(s, NSPROTO_IPX, IPX_PTYPE, "\x01\x00", 2), SOCKET_ERROR);
  EXPECT_EQ(WSAGetLastError(), WSAEFAULT);
  EXPECT_EQ(SetIpxOption(s, 0x4777, 1), SOCKET_ERROR);
  EXPECT_EQ(WSAGetLastError(), WSAENOPROTOOPT);

  SOCKADDR_IPX station = IpxAddress(m_network, {}, 0);
  EXPECT_EQ(setsockopt(s, NSPROTO_IPX, VEK_IPX_STATION, reinterpret_cast<char*>(&station), sizeof(station)),
            SOCKET_ERROR);
  EXPECT_EQ(WSAGetLastError(), WSAEINVAL) << "node 0 is nobody's";
  station = IpxAddress({}, m_node, 0);
  EXPECT_EQ(setsockopt(s, NSPROTO_IPX, VEK_IPX_STATION, reinterpret_cast<char*>(&station), sizeof(station)),
            SOCKET_ERROR);
  EXPECT_EQ(WSAGetLastError(), WSAEINVAL) << "network 0 is nobody's";
  station = IpxAddress(m_network, m_node, 0);
  EXPECT_EQ(setsockopt(s, NSPROTO_IPX, VEK_IPX_STATION, reinterpret_cast<char*>(&station), 10), SOCKET_ERROR);
  EXPECT_EQ(WSAGetLastError(), WSAEFAULT);

  SOCKADDR_IPX local = IpxAddress({}, {}, 0);
  ASSERT_EQ(bind(s, reinterpret_cast<sockaddr*>(&local), sizeof(local)), 0);
  EXPECT_EQ(setsockopt(s, NSPROTO_IPX, VEK_IPX_STATION, reinterpret_cast<char*>(&station), sizeof(station)),
            SOCKET_ERROR);
  EXPECT_EQ(WSAGetLastError(), WSAEINVAL) << "too late once bound";

  DWORD timeout = 0;
  int length = sizeof(timeout);
  ASSERT_EQ(SetDwordOption(s, SO_RCVTIMEO, 1234), 0);
  ASSERT_EQ(getsockopt(s, SOL_SOCKET, SO_RCVTIMEO, reinterpret_cast<char*>(&timeout), &length), 0);
  EXPECT_EQ(timeout, 1234u);
  DWORD type = 0;
  ASSERT_EQ(getsockopt(s, SOL_SOCKET, SO_TYPE, reinterpret_cast<char*>(&type), &length), 0);
  EXPECT_EQ(type, static_cast<DWORD>(SOCK_DGRAM));
  closesocket(s);
}

TEST_F(IpxBindTest, OnlyDatagramSocketsOfTheIpxProtocol) {
  EXPECT_EQ(socket(AF_IPX, SOCK_STREAM, NSPROTO_SPX), INVALID_SOCKET);
  EXPECT_EQ(WSAGetLastError(), WSAESOCKTNOSUPPORT);
  EXPECT_EQ(socket(AF_IPX, SOCK_DGRAM, 0), INVALID_SOCKET);
  EXPECT_EQ(WSAGetLastError(), WSAEPROTONOSUPPORT);
}

TEST_F(IpxBindTest, ASegmentThatCannotBeJoinedIsADownNetwork) {
  ASSERT_TRUE(SetIpxSegment("203.0.113.7:24000"));  // no interface has it
  EXPECT_EQ(socket(AF_IPX, SOCK_DGRAM, NSPROTO_IPX), INVALID_SOCKET);
  EXPECT_EQ(WSAGetLastError(), WSAENETDOWN);
}

TEST_F(IpxBindTest, StationComesFromTheEnvironment) {
  ResetIpxConfiguration();
  const std::string network = RandomNetworkHex();
  const std::string node = RandomNodeHex();
  std::string dashed;
  for (std::size_t i = 0; i < node.size(); i += 2) dashed += (i ? "-" : "") + node.substr(i, 2);
  ASSERT_EQ(::setenv("VEK_IPX_SEGMENT", SegmentText(m_port).c_str(), 1), 0);
  ASSERT_EQ(::setenv("VEK_IPX_NETWORK", network.c_str(), 1), 0);
  ASSERT_EQ(::setenv("VEK_IPX_NODE", dashed.c_str(), 1), 0);
  SOCKADDR_IPX bound{};
  SOCKET s = BoundIpx(0, &bound);
  EXPECT_EQ(0, std::memcmp(bound.sa_netnum, ParseNetwork(network).data(), 4));
  EXPECT_EQ(0, std::memcmp(bound.sa_nodenum, ParseNode(node).data(), 6));
  closesocket(s);

  // Unset, or not usable: network 1, and a node made from the process id.
  ASSERT_EQ(::unsetenv("VEK_IPX_NETWORK"), 0);
  ASSERT_EQ(::setenv("VEK_IPX_NODE", "ff-ff-ff-ff-ff-ff", 1), 0);
  s = BoundIpx(0, &bound);
  const DWORD pid = GetCurrentProcessId();
  const unsigned char expected[6] = {0x02, 0x00, static_cast<unsigned char>(pid >> 24),
                                     static_cast<unsigned char>(pid >> 16), static_cast<unsigned char>(pid >> 8),
                                     static_cast<unsigned char>(pid)};
  EXPECT_EQ(0, std::memcmp(bound.sa_netnum, "\0\0\0\x01", 4));
  EXPECT_EQ(0, std::memcmp(bound.sa_nodenum, expected, 6));
  closesocket(s);
  ::unsetenv("VEK_IPX_SEGMENT");
  ::unsetenv("VEK_IPX_NODE");
}

TEST(IpxConfiguration, SettersRefuseWhatTheVariablesWouldNot) {
  EXPECT_FALSE(SetIpxSegment("127.255.255.255"));
  EXPECT_FALSE(SetIpxSegment("127.255.255.255:0"));
  EXPECT_FALSE(SetIpxSegment("127.255.255.255:65536"));
  EXPECT_FALSE(SetIpxSegment("nowhere:36000"));
  EXPECT_FALSE(SetIpxSegment(nullptr));
  EXPECT_FALSE(SetIpxNetwork("0000000"));
  EXPECT_FALSE(SetIpxNetwork("00000000"));
  EXPECT_FALSE(SetIpxNetwork("ffffffff"));
  EXPECT_FALSE(SetIpxNetwork("0000000g"));
  EXPECT_FALSE(SetIpxNode("0000000000"));
  EXPECT_FALSE(SetIpxNode("000000000000"));
  EXPECT_FALSE(SetIpxNode("02:00:00:00:00:01:00"));
  EXPECT_TRUE(SetIpxNode("02:00:00:00:00:01"));
  EXPECT_TRUE(SetIpxNetwork("0000ABCD"));
  EXPECT_TRUE(SetIpxSegment("127.255.255.255:25001"));
  ResetIpxConfiguration();
}

}  // namespace
}  // namespace vek::net::test
