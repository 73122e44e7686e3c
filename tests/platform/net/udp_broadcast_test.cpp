// Broadcasts: refused without SO_BROADCAST, and sent to the mapped address with it.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "net/broadcast.h"
#include "net/winsock.h"
#include "support/loopback_subnet.h"
#include "net_test_support.h"

namespace {

using namespace vek::net::test;
using vek::net::MappedBroadcastAddress;
using vek::net::ResetBroadcastAddress;
using vek::net::SetBroadcastAddress;

class UdpBroadcastTest : public WinsockTest {
 protected:
  static void AllowBroadcast(SOCKET s, BOOL on = TRUE) {
    ASSERT_EQ(setsockopt(s, SOL_SOCKET, SO_BROADCAST, reinterpret_cast<const char*>(&on), sizeof(on)), 0)
        << WSAGetLastError();
  }

  // Receives one datagram (5 s at most) and checks its text and sender.
  static void ExpectReceived(SOCKET listener, const std::string& text, std::uint16_t senderPort) {
    ASSERT_EQ(SetDwordOption(listener, SO_RCVTIMEO, 5000), 0);
    char buffer[64];
    sockaddr_in from{};
    int fromLength = sizeof(from);
    int n = recvfrom(listener, buffer, sizeof(buffer), 0, reinterpret_cast<sockaddr*>(&from), &fromLength);
    ASSERT_EQ(n, static_cast<int>(text.size())) << WSAGetLastError();
    EXPECT_EQ(std::string(buffer, static_cast<std::size_t>(n)), text);
    EXPECT_EQ(ntohs(from.sin_port), senderPort);
  }
};

TEST_F(UdpBroadcastTest, MappedToTheLoopbackBroadcastAddress) {
  ASSERT_TRUE(SetBroadcastAddress("127.255.255.255"));
  // Only a listener on the wildcard address hears a real broadcast; its own
  // ephemeral port keeps it apart from other tests.
  std::uint16_t port = 0, senderPort = 0;
  SOCKET listener = BoundUdpSocket(INADDR_ANY, &port);
  SOCKET sender = BoundUdpSocket(RandomLoopbackAddress(), &senderPort);
  AllowBroadcast(sender);
  ASSERT_EQ(SendText(sender, "anyone there?", INADDR_BROADCAST, port), 13) << WSAGetLastError();
  ExpectReceived(listener, "anyone there?", senderPort);
  closesocket(sender);
  closesocket(listener);
}

TEST_F(UdpBroadcastTest, MappedToAUnicastLoopbackAddress) {
  const std::uint32_t segment = RandomLoopbackBroadcastLike();
  ASSERT_TRUE(SetBroadcastAddress(Dotted(segment).c_str()));
  EXPECT_EQ(MappedBroadcastAddress(), htonl(segment));
  std::uint16_t port = 0, senderPort = 0;
  SOCKET listener = BoundUdpSocket(segment, &port);
  SOCKET sender = BoundUdpSocket(RandomLoopbackAddress(), &senderPort);
  AllowBroadcast(sender);
  ASSERT_EQ(SendText(sender, "search", INADDR_BROADCAST, port), 6) << WSAGetLastError();
  ExpectReceived(listener, "search", senderPort);
  // Sending to the mapped address itself is a broadcast too.
  ASSERT_EQ(SendText(sender, "again", segment, port), 5) << WSAGetLastError();
  ExpectReceived(listener, "again", senderPort);
  closesocket(sender);
  closesocket(listener);
}

TEST_F(UdpBroadcastTest, RefusedWithoutSoBroadcast) {
  const std::uint32_t segment = RandomLoopbackBroadcastLike();
  ASSERT_TRUE(SetBroadcastAddress(Dotted(segment).c_str()));
  std::uint16_t port = 0, senderPort = 0;
  SOCKET listener = BoundUdpSocket(segment, &port);
  SOCKET sender = BoundUdpSocket(RandomLoopbackAddress(), &senderPort);

  EXPECT_EQ(SendText(sender, "no", INADDR_BROADCAST, port), SOCKET_ERROR);
  EXPECT_EQ(WSAGetLastError(), WSAEACCES);
  EXPECT_EQ(SendText(sender, "no", segment, port), SOCKET_ERROR);
  EXPECT_EQ(WSAGetLastError(), WSAEACCES);

  AllowBroadcast(sender);
  BOOL value = FALSE;
  int length = sizeof(value);
  ASSERT_EQ(getsockopt(sender, SOL_SOCKET, SO_BROADCAST, reinterpret_cast<char*>(&value), &length), 0);
  EXPECT_TRUE(value);
  EXPECT_EQ(SendText(sender, "yes", INADDR_BROADCAST, port), 3) << WSAGetLastError();
  ExpectReceived(listener, "yes", senderPort);

  AllowBroadcast(sender, FALSE);
  EXPECT_EQ(SendText(sender, "no", INADDR_BROADCAST, port), SOCKET_ERROR);
  EXPECT_EQ(WSAGetLastError(), WSAEACCES);
  closesocket(sender);
  closesocket(listener);
}

TEST_F(UdpBroadcastTest, RefusedWithoutSoBroadcastOnTheLoopbackBroadcastAddress) {
  ASSERT_TRUE(SetBroadcastAddress("127.255.255.255"));
  std::uint16_t senderPort = 0;
  SOCKET sender = BoundUdpSocket(RandomLoopbackAddress(), &senderPort);
  EXPECT_EQ(SendText(sender, "no", INADDR_BROADCAST, 9), SOCKET_ERROR);
  EXPECT_EQ(WSAGetLastError(), WSAEACCES);
  closesocket(sender);
}

TEST_F(UdpBroadcastTest, MappingComesFromTheEnvironment) {
  const std::uint32_t segment = RandomLoopbackBroadcastLike();
  ASSERT_EQ(::setenv("VEK_BROADCAST", Dotted(segment).c_str(), 1), 0);
  ResetBroadcastAddress();
  EXPECT_EQ(MappedBroadcastAddress(), htonl(segment));

  std::uint16_t port = 0, senderPort = 0;
  SOCKET listener = BoundUdpSocket(segment, &port);
  SOCKET sender = BoundUdpSocket(RandomLoopbackAddress(), &senderPort);
  AllowBroadcast(sender);
  ASSERT_EQ(SendText(sender, "env", INADDR_BROADCAST, port), 3) << WSAGetLastError();
  ExpectReceived(listener, "env", senderPort);

  // An override wins over the environment until reset.
  ASSERT_TRUE(SetBroadcastAddress("127.255.255.255"));
  EXPECT_EQ(MappedBroadcastAddress(), htonl(0x7FFFFFFFu));
  ResetBroadcastAddress();
  EXPECT_EQ(MappedBroadcastAddress(), htonl(segment));

  ASSERT_EQ(::unsetenv("VEK_BROADCAST"), 0);
  EXPECT_EQ(MappedBroadcastAddress(), 0xFFFFFFFFu);
  // Back to the loopback mapping every test process starts with.
  ASSERT_EQ(::setenv("VEK_BROADCAST", "127.255.255.255", 1), 0);
  closesocket(sender);
  closesocket(listener);
}

TEST_F(UdpBroadcastTest, ScopedMappingsNestAndRestoreWhatTheyReplaced) {
  ResetBroadcastAddress();
  const std::uint32_t environment = MappedBroadcastAddress();
  const std::uint32_t outer = RandomLoopbackBroadcastLike();
  std::uint32_t inner = RandomLoopbackBroadcastLike();
  while (inner == outer) inner = RandomLoopbackBroadcastLike();
  {
    vek::test::ScopedBroadcast outerScope(Dotted(outer));
    EXPECT_EQ(MappedBroadcastAddress(), htonl(outer));
    {
      vek::test::ScopedBroadcast innerScope(Dotted(inner));
      EXPECT_EQ(MappedBroadcastAddress(), htonl(inner));
    }
    EXPECT_EQ(MappedBroadcastAddress(), htonl(outer));
    {
      // A bad address changes nothing, and its end gives back the outer one.
      vek::test::ScopedBroadcast badScope("not an address");
      EXPECT_EQ(MappedBroadcastAddress(), htonl(outer));
    }
    EXPECT_EQ(MappedBroadcastAddress(), htonl(outer));
  }
  EXPECT_EQ(MappedBroadcastAddress(), environment);
}

TEST_F(UdpBroadcastTest, BadMappingTextIsRefused) {
  EXPECT_FALSE(SetBroadcastAddress("not an address"));
  EXPECT_TRUE(SetBroadcastAddress(nullptr));
}

}  // namespace

namespace {

// A search also goes to "0.0.0.1"; that destination must never leave the host.
TEST(UdpDestinations, ThisNetworkBlockIsRefused) {
  WSADATA data;
  ASSERT_EQ(WSAStartup(MAKEWORD(1, 1), &data), 0);
  SOCKET s = socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP);
  ASSERT_NE(s, INVALID_SOCKET);
  sockaddr_in to{};
  to.sin_family = AF_INET;
  to.sin_port = htons(20560);
  to.sin_addr.s_addr = inet_addr("0.0.0.1");
  EXPECT_EQ(sendto(s, "x", 1, 0, reinterpret_cast<sockaddr*>(&to), sizeof to), SOCKET_ERROR);
  EXPECT_EQ(WSAGetLastError(), WSAEADDRNOTAVAIL);
  closesocket(s);
  WSACleanup();
}

}  // namespace
