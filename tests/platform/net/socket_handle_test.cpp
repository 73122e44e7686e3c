// SOCKET handles: unknown and closed handles, and closing under a blocked receive.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "net/winsock.h"
#include "net_test_support.h"
#include "thread_state.h"

namespace {

using namespace vek::net::test;

class SocketHandleTest : public WinsockTest {};

TEST_F(SocketHandleTest, ClosedSocketIsNotASocket) {
  std::uint16_t port = 0;
  const std::uint32_t address = RandomLoopbackAddress();
  SOCKET s = BoundUdpSocket(address, &port);
  ASSERT_NE(s, INVALID_SOCKET);
  ASSERT_EQ(closesocket(s), 0);

  char buffer[8] = {};
  EXPECT_EQ(SendText(s, "x", address, port), SOCKET_ERROR);
  EXPECT_EQ(WSAGetLastError(), WSAENOTSOCK);
  EXPECT_EQ(recvfrom(s, buffer, sizeof(buffer), 0, nullptr, nullptr), SOCKET_ERROR);
  EXPECT_EQ(WSAGetLastError(), WSAENOTSOCK);
  u_long queued = 0;
  EXPECT_EQ(ioctlsocket(s, FIONREAD, &queued), SOCKET_ERROR);
  EXPECT_EQ(WSAGetLastError(), WSAENOTSOCK);
  EXPECT_EQ(SetDwordOption(s, SO_RCVTIMEO, 10), SOCKET_ERROR);
  EXPECT_EQ(WSAGetLastError(), WSAENOTSOCK);
  EXPECT_EQ(closesocket(s), SOCKET_ERROR);
  EXPECT_EQ(WSAGetLastError(), WSAENOTSOCK);
}

TEST_F(SocketHandleTest, HandlesAreNotReused) {
  SOCKET first = socket(AF_INET, SOCK_DGRAM, 0);
  ASSERT_NE(first, INVALID_SOCKET);
  ASSERT_EQ(closesocket(first), 0);
  SOCKET second = socket(AF_INET, SOCK_DGRAM, 0);
  ASSERT_NE(second, INVALID_SOCKET);
  EXPECT_NE(first, second);
  // The old value still reaches nothing.
  EXPECT_EQ(closesocket(first), SOCKET_ERROR);
  EXPECT_EQ(WSAGetLastError(), WSAENOTSOCK);
  EXPECT_EQ(closesocket(second), 0);
}

TEST_F(SocketHandleTest, UnknownHandleIsNotASocket) {
  EXPECT_EQ(closesocket(static_cast<SOCKET>(12345)), SOCKET_ERROR);
  EXPECT_EQ(WSAGetLastError(), WSAENOTSOCK);
  EXPECT_EQ(closesocket(INVALID_SOCKET), SOCKET_ERROR);
  EXPECT_EQ(WSAGetLastError(), WSAENOTSOCK);
}

TEST_F(SocketHandleTest, UnsupportedKindsAreRefusedWithTheirCodes) {
  EXPECT_EQ(socket(AF_INET, SOCK_DGRAM, IPPROTO_TCP), INVALID_SOCKET);
  EXPECT_EQ(WSAGetLastError(), WSAEPROTONOSUPPORT);
  EXPECT_EQ(socket(AF_INET, SOCK_STREAM, 0), INVALID_SOCKET);
  EXPECT_EQ(WSAGetLastError(), WSAESOCKTNOSUPPORT);
  EXPECT_EQ(socket(12345, SOCK_DGRAM, 0), INVALID_SOCKET);
  EXPECT_EQ(WSAGetLastError(), WSAEAFNOSUPPORT);
}

TEST_F(SocketHandleTest, UnknownOptionsAndCommandsAreRefused) {
  SOCKET s = socket(AF_INET, SOCK_DGRAM, 0);
  EXPECT_EQ(SetDwordOption(s, 0x7777, 1), SOCKET_ERROR);
  EXPECT_EQ(WSAGetLastError(), WSAENOPROTOOPT);
  EXPECT_EQ(setsockopt(s, SOL_SOCKET, SO_RCVTIMEO, "x", 1), SOCKET_ERROR);
  EXPECT_EQ(WSAGetLastError(), WSAEFAULT);
  u_long argument = 0;
  EXPECT_EQ(ioctlsocket(s, 0x1234, &argument), SOCKET_ERROR);
  EXPECT_EQ(WSAGetLastError(), WSAEINVAL);
  closesocket(s);
}

// Runs recvfrom (no time-out) on a thread and reports when it returns.
class BlockedReceive {
 public:
  explicit BlockedReceive(SOCKET s)
      : m_thread([this, s] {
          char buffer[16];
          m_threadId = CurrentThreadId();
          m_started = true;
          m_result = recvfrom(s, buffer, sizeof(buffer), 0, nullptr, nullptr);
          m_error = WSAGetLastError();
          m_done = true;
        }) {
    while (!m_started) std::this_thread::yield();
  }
  ~BlockedReceive() { m_thread.join(); }

  bool WaitDone(std::chrono::seconds limit) {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (!m_done && std::chrono::steady_clock::now() < deadline) std::this_thread::yield();
    return m_done;
  }
  // True once the receive is asleep waiting for a datagram.
  bool WaitBlocked() { return WaitUntilThreadSleeps(m_threadId, std::chrono::milliseconds(5000)); }
  int result() const { return m_result; }
  int error() const { return m_error; }

 private:
  std::atomic<bool> m_started{false}, m_done{false};
  std::atomic<int> m_result{0}, m_error{0}, m_threadId{0};
  std::thread m_thread;
};

TEST_F(SocketHandleTest, ClosingWakesABlockedReceive) {
  std::uint16_t port = 0;
  SOCKET s = BoundUdpSocket(RandomLoopbackAddress(), &port);
  // A safety net: should the close not wake it, the receive still ends.
  ASSERT_EQ(SetDwordOption(s, SO_RCVTIMEO, 20000), 0);
  BlockedReceive receive(s);
  EXPECT_TRUE(receive.WaitBlocked());
  ASSERT_EQ(closesocket(s), 0);
  ASSERT_TRUE(receive.WaitDone(std::chrono::seconds(5)));
  EXPECT_EQ(receive.result(), SOCKET_ERROR);
  EXPECT_EQ(receive.error(), WSAEINTR);
}

TEST_F(SocketHandleTest, LastCleanupClosesEverySocket) {
  std::uint16_t port = 0;
  SOCKET s = BoundUdpSocket(RandomLoopbackAddress(), &port);
  ASSERT_EQ(SetDwordOption(s, SO_RCVTIMEO, 20000), 0);
  {
    BlockedReceive receive(s);
    EXPECT_TRUE(receive.WaitBlocked());
    EXPECT_EQ(WSACleanup(), 0);
    ASSERT_TRUE(receive.WaitDone(std::chrono::seconds(5)));
    EXPECT_EQ(receive.result(), SOCKET_ERROR);
    EXPECT_EQ(receive.error(), WSAEINTR);
  }
  WSADATA data;
  ASSERT_EQ(WSAStartup(MAKEWORD(2, 2), &data), 0);
  EXPECT_EQ(closesocket(s), SOCKET_ERROR);
  EXPECT_EQ(WSAGetLastError(), WSAENOTSOCK);
}

}  // namespace
