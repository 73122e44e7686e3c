// Datagram boundaries as Windows keeps them: oversize datagrams refused whole,
// FIONREAD counting every queued datagram, empty datagrams delivered.
#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "net/winsock.h"
#include "net_test_support.h"

namespace {

using namespace vek::net::test;

// A receiver and a sender on one random loopback address; the receiver waits at
// most 5 s so a lost datagram fails the test instead of hanging it.
class UdpDatagramTest : public WinsockTest {
 protected:
  void SetUp() override {
    WinsockTest::SetUp();
    m_address = RandomLoopbackAddress();
    m_receiver = BoundUdpSocket(m_address, &m_port);
    m_sender = BoundUdpSocket(m_address, &m_senderPort);
    ASSERT_NE(m_receiver, INVALID_SOCKET);
    ASSERT_NE(m_sender, INVALID_SOCKET);
    ASSERT_EQ(SetDwordOption(m_receiver, SO_RCVTIMEO, 5000), 0);
  }
  void TearDown() override {
    closesocket(m_receiver);
    closesocket(m_sender);
    WinsockTest::TearDown();
  }

  void Send(const std::string& text) { ASSERT_EQ(SendText(m_sender, text, m_address, m_port), static_cast<int>(text.size())); }

  // FIONREAD until it reports bytes, or 5 s pass.
  u_long WaitForQueued(u_long bytes) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    u_long queued = 0;
    while (std::chrono::steady_clock::now() < deadline) {
      EXPECT_EQ(ioctlsocket(m_receiver, FIONREAD, &queued), 0) << WSAGetLastError();
      if (queued >= bytes) break;
      std::this_thread::yield();
    }
    return queued;
  }

  std::uint32_t m_address = 0;
  std::uint16_t m_port = 0, m_senderPort = 0;
  SOCKET m_receiver = INVALID_SOCKET, m_sender = INVALID_SOCKET;
};

TEST_F(UdpDatagramTest, OversizeDatagramFailsWholeAndTheNextStillArrives) {
  Send(std::string(100, 'x'));
  Send("next");

  std::vector<char> buffer(50, '\xAB');
  EXPECT_EQ(recvfrom(m_receiver, buffer.data(), static_cast<int>(buffer.size()), 0, nullptr, nullptr), SOCKET_ERROR);
  EXPECT_EQ(WSAGetLastError(), WSAEMSGSIZE);
  EXPECT_EQ(buffer, std::vector<char>(50, '\xAB')) << "the caller's buffer must not be written";

  sockaddr_in from{};
  int fromLength = sizeof(from);
  ASSERT_EQ(recvfrom(m_receiver, buffer.data(), static_cast<int>(buffer.size()), 0, reinterpret_cast<sockaddr*>(&from),
                     &fromLength),
            4);
  EXPECT_EQ(std::string(buffer.data(), 4), "next");
  EXPECT_EQ(ntohs(from.sin_port), m_senderPort);
}

TEST_F(UdpDatagramTest, DatagramOfExactlyTheBufferSizeIsDelivered) {
  Send("12345678");
  char buffer[8];
  EXPECT_EQ(recvfrom(m_receiver, buffer, sizeof(buffer), 0, nullptr, nullptr), 8);
}

TEST_F(UdpDatagramTest, EmptyDatagramAtTheHeadDoesNotHideTheNext) {
  Send("");
  Send("hello");
  EXPECT_EQ(WaitForQueued(5), 5u);

  char buffer[16];
  sockaddr_in from{};
  int fromLength = sizeof(from);
  EXPECT_EQ(recvfrom(m_receiver, buffer, sizeof(buffer), 0, reinterpret_cast<sockaddr*>(&from), &fromLength), 0);
  EXPECT_EQ(from.sin_addr.s_addr, htonl(m_address));
  EXPECT_EQ(ntohs(from.sin_port), m_senderPort);

  u_long queued = 0;
  ASSERT_EQ(ioctlsocket(m_receiver, FIONREAD, &queued), 0);
  EXPECT_EQ(queued, 5u);
  ASSERT_EQ(recvfrom(m_receiver, buffer, sizeof(buffer), 0, nullptr, nullptr), 5);
  EXPECT_EQ(std::string(buffer, 5), "hello");
  ASSERT_EQ(ioctlsocket(m_receiver, FIONREAD, &queued), 0);
  EXPECT_EQ(queued, 0u);
}

TEST_F(UdpDatagramTest, OnlyEmptyDatagramsReadZeroButAreStillDelivered) {
  Send("");
  Send("");
  char buffer[16];
  // Peeking waits for the first to arrive without taking it.
  ASSERT_EQ(recvfrom(m_receiver, buffer, sizeof(buffer), MSG_PEEK, nullptr, nullptr), 0);
  u_long queued = 99;
  ASSERT_EQ(ioctlsocket(m_receiver, FIONREAD, &queued), 0);
  EXPECT_EQ(queued, 0u);
  EXPECT_EQ(recvfrom(m_receiver, buffer, sizeof(buffer), 0, nullptr, nullptr), 0);
  EXPECT_EQ(recvfrom(m_receiver, buffer, sizeof(buffer), 0, nullptr, nullptr), 0);
  ASSERT_EQ(SetDwordOption(m_receiver, SO_RCVTIMEO, 100), 0);
  EXPECT_EQ(recvfrom(m_receiver, buffer, sizeof(buffer), 0, nullptr, nullptr), SOCKET_ERROR);
  EXPECT_EQ(WSAGetLastError(), WSAETIMEDOUT);
}

TEST_F(UdpDatagramTest, FionreadCountsEveryQueuedDatagram) {
  Send("abc");
  Send("defg");
  Send("hijkl");
  EXPECT_EQ(WaitForQueued(12), 12u);
  char buffer[16];
  ASSERT_EQ(recvfrom(m_receiver, buffer, sizeof(buffer), 0, nullptr, nullptr), 3);
  EXPECT_EQ(std::string(buffer, 3), "abc");
  EXPECT_EQ(WaitForQueued(9), 9u);
  ASSERT_EQ(recvfrom(m_receiver, buffer, sizeof(buffer), 0, nullptr, nullptr), 4);
  ASSERT_EQ(recvfrom(m_receiver, buffer, sizeof(buffer), 0, nullptr, nullptr), 5);
  EXPECT_EQ(std::string(buffer, 5), "hijkl");
}

TEST_F(UdpDatagramTest, PeekLeavesTheDatagramQueued) {
  Send("peeked");
  char buffer[16];
  ASSERT_EQ(recvfrom(m_receiver, buffer, sizeof(buffer), MSG_PEEK, nullptr, nullptr), 6);
  ASSERT_EQ(recv(m_receiver, buffer, sizeof(buffer), 0), 6);
  EXPECT_EQ(std::string(buffer, 6), "peeked");
}

TEST_F(UdpDatagramTest, ShortAddressBufferIsAFault) {
  Send("data");
  char buffer[16];
  sockaddr_in from{};
  int fromLength = 8;
  EXPECT_EQ(recvfrom(m_receiver, buffer, sizeof(buffer), 0, reinterpret_cast<sockaddr*>(&from), &fromLength),
            SOCKET_ERROR);
  EXPECT_EQ(WSAGetLastError(), WSAEFAULT);
  // Nothing was taken.
  EXPECT_EQ(recvfrom(m_receiver, buffer, sizeof(buffer), 0, nullptr, nullptr), 4);
}

class UdpBindTest : public WinsockTest {};

TEST_F(UdpBindTest, PortZeroPicksAFreePort) {
  const std::uint32_t address = RandomLoopbackAddress();
  std::uint16_t first = 0, second = 0;
  SOCKET a = BoundUdpSocket(address, &first);
  SOCKET b = BoundUdpSocket(address, &second);
  EXPECT_NE(first, 0);
  EXPECT_NE(first, second);
  sockaddr_in name{};
  int length = sizeof(name);
  ASSERT_EQ(getsockname(a, reinterpret_cast<sockaddr*>(&name), &length), 0);
  EXPECT_EQ(name.sin_family, AF_INET);
  EXPECT_EQ(name.sin_addr.s_addr, htonl(address));
  EXPECT_EQ(length, static_cast<int>(sizeof(sockaddr_in)));
  closesocket(a);
  closesocket(b);
}

TEST_F(UdpBindTest, TakenPortIsInUseUnlessBothReuse) {
  const std::uint32_t address = RandomLoopbackAddress();
  std::uint16_t port = 0;
  SOCKET first = socket(AF_INET, SOCK_DGRAM, 0);
  BOOL on = TRUE;
  ASSERT_EQ(setsockopt(first, SOL_SOCKET, SO_REUSEADDR, reinterpret_cast<const char*>(&on), sizeof(on)), 0);
  sockaddr_in local = InetAddress(address, 0);
  ASSERT_EQ(bind(first, reinterpret_cast<sockaddr*>(&local), sizeof(local)), 0);
  int length = sizeof(local);
  ASSERT_EQ(getsockname(first, reinterpret_cast<sockaddr*>(&local), &length), 0);
  port = ntohs(local.sin_port);

  SOCKET plain = socket(AF_INET, SOCK_DGRAM, 0);
  EXPECT_EQ(bind(plain, reinterpret_cast<sockaddr*>(&local), sizeof(local)), SOCKET_ERROR);
  EXPECT_EQ(WSAGetLastError(), WSAEADDRINUSE);

  SOCKET sharing = socket(AF_INET, SOCK_DGRAM, 0);
  ASSERT_EQ(setsockopt(sharing, SOL_SOCKET, SO_REUSEADDR, reinterpret_cast<const char*>(&on), sizeof(on)), 0);
  EXPECT_EQ(bind(sharing, reinterpret_cast<sockaddr*>(&local), sizeof(local)), 0) << WSAGetLastError();
  EXPECT_NE(port, 0);
  closesocket(first);
  closesocket(plain);
  closesocket(sharing);
}

TEST_F(UdpBindTest, BadAddressesAreRefused) {
  SOCKET s = socket(AF_INET, SOCK_DGRAM, 0);
  sockaddr_in local = InetAddress(RandomLoopbackAddress(), 0);
  EXPECT_EQ(bind(s, reinterpret_cast<sockaddr*>(&local), 8), SOCKET_ERROR);
  EXPECT_EQ(WSAGetLastError(), WSAEFAULT);
  local.sin_family = AF_IPX;
  EXPECT_EQ(bind(s, reinterpret_cast<sockaddr*>(&local), sizeof(local)), SOCKET_ERROR);
  EXPECT_EQ(WSAGetLastError(), WSAEAFNOSUPPORT);
  // Not a local address.
  local = InetAddress(0xC0000201u, 0);
  EXPECT_EQ(bind(s, reinterpret_cast<sockaddr*>(&local), sizeof(local)), SOCKET_ERROR);
  EXPECT_EQ(WSAGetLastError(), WSAEADDRNOTAVAIL);
  local = InetAddress(RandomLoopbackAddress(), 0);
  ASSERT_EQ(bind(s, reinterpret_cast<sockaddr*>(&local), sizeof(local)), 0);
  EXPECT_EQ(bind(s, reinterpret_cast<sockaddr*>(&local), sizeof(local)), SOCKET_ERROR);
  EXPECT_EQ(WSAGetLastError(), WSAEINVAL);
  closesocket(s);
}

TEST_F(UdpBindTest, SendToNeedsAUsableDestination) {
  std::uint16_t port = 0;
  SOCKET s = BoundUdpSocket(RandomLoopbackAddress(), &port);
  char data[4] = {};
  EXPECT_EQ(sendto(s, data, sizeof(data), 0, nullptr, 0), SOCKET_ERROR);
  EXPECT_EQ(WSAGetLastError(), WSAEDESTADDRREQ);
  sockaddr_in to = InetAddress(RandomLoopbackAddress(), 0);
  EXPECT_EQ(sendto(s, data, sizeof(data), 0, reinterpret_cast<sockaddr*>(&to), sizeof(to)), SOCKET_ERROR);
  EXPECT_EQ(WSAGetLastError(), WSAEADDRNOTAVAIL);
  std::vector<char> huge(70000);
  to = InetAddress(RandomLoopbackAddress(), 9);
  EXPECT_EQ(sendto(s, huge.data(), static_cast<int>(huge.size()), 0, reinterpret_cast<sockaddr*>(&to), sizeof(to)),
            SOCKET_ERROR);
  EXPECT_EQ(WSAGetLastError(), WSAEMSGSIZE);
  closesocket(s);
}

TEST_F(UdpBindTest, UnboundSocketIsBoundByItsFirstSend) {
  const std::uint32_t address = RandomLoopbackAddress();
  std::uint16_t port = 0;
  SOCKET receiver = BoundUdpSocket(address, &port);
  SOCKET s = socket(AF_INET, SOCK_DGRAM, 0);
  sockaddr_in name{};
  int length = sizeof(name);
  EXPECT_EQ(getsockname(s, reinterpret_cast<sockaddr*>(&name), &length), SOCKET_ERROR);
  EXPECT_EQ(WSAGetLastError(), WSAEINVAL);
  ASSERT_EQ(SendText(s, "x", address, port), 1);
  length = sizeof(name);
  ASSERT_EQ(getsockname(s, reinterpret_cast<sockaddr*>(&name), &length), 0);
  EXPECT_NE(name.sin_port, 0);
  closesocket(s);
  closesocket(receiver);
}

}  // namespace
