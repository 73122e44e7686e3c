// IPX datagrams between sockets of one process: the payload and the sender as
// received, the genuine header on the segment, time-outs, sizes and FIONREAD.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstring>
#include <string>
#include <thread>

#include "ipx_test_support.h"
#include "thread_state.h"

namespace vek::net::test {
namespace {

using std::chrono::milliseconds;
using std::chrono::steady_clock;

using IpxDatagramTest = IpxTest;

std::uint16_t SocketNumber(const SOCKADDR_IPX& address) { return ntohs(address.sa_socket); }

TEST_F(IpxDatagramTest, FramesBetweenTwoSocketsOfOneProcess) {
  SOCKADDR_IPX a{}, b{};
  SOCKET first = BoundIpx(0, &a);
  SOCKET second = BoundIpx(0, &b);
  // getsockname reports the station's real network and node.
  EXPECT_EQ(0, std::memcmp(a.sa_netnum, m_network.data(), 4));
  EXPECT_EQ(0, std::memcmp(a.sa_nodenum, m_node.data(), 6));

  // Network 0 in a destination is this network.
  ASSERT_EQ(SendIpx(first, "hello second", IpxAddress({}, m_node, SocketNumber(b))), 12) << WSAGetLastError();
  SOCKADDR_IPX from{};
  auto got = ReceiveIpx(second, 5000, &from);
  ASSERT_TRUE(got) << WSAGetLastError();
  EXPECT_EQ(*got, "hello second");
  EXPECT_EQ(from.sa_family, AF_IPX);
  EXPECT_EQ(0, std::memcmp(from.sa_netnum, m_network.data(), 4)) << "the sender's real network";
  EXPECT_EQ(0, std::memcmp(from.sa_nodenum, m_node.data(), 6));
  EXPECT_EQ(from.sa_socket, a.sa_socket);

  // The sender as received is an address that reaches it.
  ASSERT_EQ(SendIpx(second, "and back", from), 8) << WSAGetLastError();
  EXPECT_EQ(ReceiveIpx(first, 5000), "and back");
  closesocket(first);
  closesocket(second);
}

TEST_F(IpxDatagramTest, HeaderOnTheSegmentIsGenuineIpx) {
  SOCKET observer = SegmentObserver(m_port);
  SOCKADDR_IPX a{}, b{};
  SOCKET sender = BoundIpx(0, &a);
  SOCKET receiver = BoundIpx(0, &b);
  DWORD type = 0;
  int length = sizeof(type);
  ASSERT_EQ(getsockopt(sender, NSPROTO_IPX, IPX_PTYPE, reinterpret_cast<char*>(&type), &length), 0);
  EXPECT_EQ(type, 0u) << "packet type 0 until set";
  ASSERT_EQ(SetIpxOption(sender, IPX_PTYPE, 90), 0) << WSAGetLastError();
  ASSERT_EQ(getsockopt(sender, NSPROTO_IPX, IPX_PTYPE, reinterpret_cast<char*>(&type), &length), 0);
  EXPECT_EQ(type, 90u);

  ASSERT_EQ(SendIpx(sender, "abc", IpxAddress({}, m_node, SocketNumber(b))), 3);
  ASSERT_EQ(SetDwordOption(observer, SO_RCVTIMEO, 5000), 0);
  unsigned char frame[128];
  int n = recv(observer, reinterpret_cast<char*>(frame), sizeof(frame), 0);
  ASSERT_EQ(n, 33) << WSAGetLastError();
  const unsigned char expected[30] = {
      0xFF, 0xFF, 0x00, 33, 0x00, 90,  // checksum, length, transport control, packet type
      m_network[0], m_network[1], m_network[2], m_network[3],  // our network, not 0
      m_node[0], m_node[1], m_node[2], m_node[3], m_node[4], m_node[5],
      static_cast<unsigned char>(SocketNumber(b) >> 8), static_cast<unsigned char>(SocketNumber(b)),
      m_network[0], m_network[1], m_network[2], m_network[3],
      m_node[0], m_node[1], m_node[2], m_node[3], m_node[4], m_node[5],
      static_cast<unsigned char>(SocketNumber(a) >> 8), static_cast<unsigned char>(SocketNumber(a))};
  EXPECT_EQ(0, std::memcmp(frame, expected, sizeof(expected)));
  EXPECT_EQ(0, std::memcmp(frame + 30, "abc", 3));

  // With the header option the receiver sees the same header before the payload.
  ASSERT_EQ(SetIpxOption(receiver, VEK_IPX_RECEIVE_HEADER, 1), 0);
  auto got = ReceiveIpx(receiver, 5000);
  ASSERT_TRUE(got);
  ASSERT_EQ(got->size(), 33u);
  EXPECT_EQ(0, std::memcmp(got->data(), expected, sizeof(expected)));
  closesocket(observer);
  closesocket(sender);
  closesocket(receiver);
}

TEST_F(IpxDatagramTest, ReceiveTimesOut) {
  SOCKADDR_IPX a{};
  SOCKET s = BoundIpx(0, &a);
  const auto start = steady_clock::now();
  EXPECT_FALSE(ReceiveIpx(s, 300));
  EXPECT_EQ(WSAGetLastError(), WSAETIMEDOUT);
  const auto elapsed = steady_clock::now() - start;
  EXPECT_GE(elapsed, milliseconds(295));
  EXPECT_LT(elapsed, milliseconds(5000));

  u_long on = 1;
  ASSERT_EQ(ioctlsocket(s, FIONBIO, &on), 0);
  char buffer[16];
  EXPECT_EQ(recv(s, buffer, sizeof(buffer), 0), SOCKET_ERROR);
  EXPECT_EQ(WSAGetLastError(), WSAEWOULDBLOCK);
  closesocket(s);
}

TEST_F(IpxDatagramTest, OversizePayloadsAreRefusedWhole) {
  SOCKADDR_IPX a{}, b{};
  SOCKET sender = BoundIpx(0, &a);
  SOCKET receiver = BoundIpx(0, &b);
  const SOCKADDR_IPX to = IpxAddress({}, m_node, SocketNumber(b));
  EXPECT_EQ(SendIpx(sender, std::string(1471, 'x'), to), SOCKET_ERROR);
  EXPECT_EQ(WSAGetLastError(), WSAEMSGSIZE);

  const std::string largest(1470, 'L');
  ASSERT_EQ(SendIpx(sender, largest, to), 1470) << WSAGetLastError();
  EXPECT_EQ(ReceiveIpx(receiver, 5000), largest);

  // A payload longer than the receive buffer is not cut: it fails and is gone.
  ASSERT_EQ(SendIpx(sender, std::string(200, 'b'), to), 200);
  ASSERT_EQ(SendIpx(sender, "after", to), 5);
  ASSERT_EQ(SetDwordOption(receiver, SO_RCVTIMEO, 5000), 0);
  char small[100];
  std::memset(small, '-', sizeof(small));
  EXPECT_EQ(recv(receiver, small, sizeof(small), 0), SOCKET_ERROR);
  EXPECT_EQ(WSAGetLastError(), WSAEMSGSIZE);
  EXPECT_EQ(small[0], '-') << "the buffer is untouched";
  EXPECT_EQ(ReceiveIpx(receiver, 5000), "after");
  closesocket(sender);
  closesocket(receiver);
}

TEST_F(IpxDatagramTest, FionreadCountsEveryWaitingPayload) {
  SOCKADDR_IPX a{}, b{};
  SOCKET sender = BoundIpx(0, &a);
  SOCKET receiver = BoundIpx(0, &b);
  const SOCKADDR_IPX to = IpxAddress({}, m_node, SocketNumber(b));
  u_long waiting = 99;
  ASSERT_EQ(ioctlsocket(receiver, FIONREAD, &waiting), 0);
  EXPECT_EQ(waiting, 0u);

  // An empty payload at the head must not hide the one behind it.
  ASSERT_EQ(SendIpx(sender, "", to), 0) << WSAGetLastError();
  ASSERT_EQ(SendIpx(sender, "12345", to), 5);
  const auto end = steady_clock::now() + std::chrono::seconds(5);
  do {
    ASSERT_EQ(ioctlsocket(receiver, FIONREAD, &waiting), 0);
  } while (waiting < 5 && steady_clock::now() < end);
  EXPECT_EQ(waiting, 5u) << "payload bytes only, no headers";
  EXPECT_EQ(ReceiveIpx(receiver, 1000), "");
  EXPECT_EQ(ReceiveIpx(receiver, 1000), "12345");
  ASSERT_EQ(ioctlsocket(receiver, FIONREAD, &waiting), 0);
  EXPECT_EQ(waiting, 0u);
  closesocket(sender);
  closesocket(receiver);
}

TEST_F(IpxDatagramTest, PeekLeavesThePayloadWaiting) {
  SOCKADDR_IPX a{}, b{};
  SOCKET sender = BoundIpx(0, &a);
  SOCKET receiver = BoundIpx(0, &b);
  ASSERT_EQ(SendIpx(sender, "twice", IpxAddress({}, m_node, SocketNumber(b))), 5);
  ASSERT_EQ(SetDwordOption(receiver, SO_RCVTIMEO, 5000), 0);
  char buffer[16];
  ASSERT_EQ(recv(receiver, buffer, sizeof(buffer), MSG_PEEK), 5);
  EXPECT_EQ(ReceiveIpx(receiver, 1000), "twice");
  closesocket(sender);
  closesocket(receiver);
}

TEST_F(IpxDatagramTest, CloseWakesABlockedReceive) {
  SOCKADDR_IPX a{};
  SOCKET s = BoundIpx(0, &a);
  int result = 0, error = 0;
  int threadId = 0;
  std::atomic<bool> started{false};
  std::thread reader([&] {
    threadId = CurrentThreadId();
    started = true;
    char buffer[16];
    result = recv(s, buffer, sizeof(buffer), 0);
    error = WSAGetLastError();
  });
  while (!started) std::this_thread::yield();
  ASSERT_TRUE(WaitUntilThreadSleeps(threadId, std::chrono::seconds(5)));
  ASSERT_EQ(closesocket(s), 0);
  reader.join();
  EXPECT_EQ(result, SOCKET_ERROR);
  EXPECT_EQ(error, WSAEINTR);
}

}  // namespace
}  // namespace vek::net::test
