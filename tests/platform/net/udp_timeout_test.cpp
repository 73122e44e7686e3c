// SO_RCVTIMEO in milliseconds and the WSAETIMEDOUT it ends with.
#include <gtest/gtest.h>

#include <chrono>

#include "net/winsock.h"
#include "net_test_support.h"

namespace {

using namespace vek::net::test;
using Clock = std::chrono::steady_clock;

class UdpTimeoutTest : public WinsockTest {};

TEST_F(UdpTimeoutTest, ReceiveTimesOutAfterTheSetTime) {
  std::uint16_t port = 0;
  SOCKET s = BoundUdpSocket(RandomLoopbackAddress(), &port);
  ASSERT_NE(s, INVALID_SOCKET);
  ASSERT_EQ(SetDwordOption(s, SO_RCVTIMEO, 300), 0);

  char buffer[64];
  const auto start = Clock::now();
  EXPECT_EQ(recvfrom(s, buffer, sizeof(buffer), 0, nullptr, nullptr), SOCKET_ERROR);
  const auto elapsed = Clock::now() - start;
  EXPECT_EQ(WSAGetLastError(), WSAETIMEDOUT);
  EXPECT_GE(elapsed, std::chrono::milliseconds(300));
  EXPECT_LT(elapsed, std::chrono::milliseconds(3000));
  EXPECT_EQ(closesocket(s), 0);
}

TEST_F(UdpTimeoutTest, TimeOutReadsBackInMilliseconds) {
  std::uint16_t port = 0;
  SOCKET s = BoundUdpSocket(RandomLoopbackAddress(), &port);
  ASSERT_NE(s, INVALID_SOCKET);
  ASSERT_EQ(SetDwordOption(s, SO_RCVTIMEO, 1234), 0);
  DWORD value = 0;
  int length = sizeof(value);
  ASSERT_EQ(getsockopt(s, SOL_SOCKET, SO_RCVTIMEO, reinterpret_cast<char*>(&value), &length), 0);
  EXPECT_EQ(value, 1234u);
  EXPECT_EQ(length, 4);
  EXPECT_EQ(closesocket(s), 0);
}

TEST_F(UdpTimeoutTest, ADatagramArrivingInTimeEndsTheWait) {
  const std::uint32_t address = RandomLoopbackAddress();
  std::uint16_t port = 0, senderPort = 0;
  SOCKET receiver = BoundUdpSocket(address, &port);
  SOCKET sender = BoundUdpSocket(address, &senderPort);
  ASSERT_NE(receiver, INVALID_SOCKET);
  ASSERT_NE(sender, INVALID_SOCKET);
  ASSERT_EQ(SetDwordOption(receiver, SO_RCVTIMEO, 5000), 0);
  ASSERT_EQ(SendText(sender, "ping", address, port), 4);

  char buffer[16];
  const auto start = Clock::now();
  EXPECT_EQ(recvfrom(receiver, buffer, sizeof(buffer), 0, nullptr, nullptr), 4);
  EXPECT_LT(Clock::now() - start, std::chrono::milliseconds(4000));
  closesocket(sender);
  closesocket(receiver);
}

TEST_F(UdpTimeoutTest, NonBlockingReceiveReadsWouldBlock) {
  std::uint16_t port = 0;
  SOCKET s = BoundUdpSocket(RandomLoopbackAddress(), &port);
  ASSERT_NE(s, INVALID_SOCKET);
  u_long on = 1;
  ASSERT_EQ(ioctlsocket(s, FIONBIO, &on), 0);
  char buffer[16];
  EXPECT_EQ(recvfrom(s, buffer, sizeof(buffer), 0, nullptr, nullptr), SOCKET_ERROR);
  EXPECT_EQ(WSAGetLastError(), WSAEWOULDBLOCK);
  closesocket(s);
}

TEST_F(UdpTimeoutTest, ReceiveOnAnUnboundSocketIsInvalid) {
  SOCKET s = socket(AF_INET, SOCK_DGRAM, 0);
  ASSERT_NE(s, INVALID_SOCKET);
  char buffer[16];
  EXPECT_EQ(recvfrom(s, buffer, sizeof(buffer), 0, nullptr, nullptr), SOCKET_ERROR);
  EXPECT_EQ(WSAGetLastError(), WSAEINVAL);
  closesocket(s);
}

}  // namespace
