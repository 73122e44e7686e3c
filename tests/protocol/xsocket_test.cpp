// The wizard's datagram sockets against a loopback peer: life cycle and Close
// results, time-outs, broadcast, poll mode, empty and oversize datagrams.
#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <string>
#include <vector>

#include "net/ipx_segment.h"
#include "net/winsock.h"
#include "protocol/winsock_startup.h"
#include "protocol/xipx_socket.h"
#include "protocol/xudp_socket.h"
#include "support/loopback_subnet.h"

namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;
using vek::test::LoopbackSubnet;
using vek::test::ScopedBroadcast;

sockaddr_in Address(std::uint32_t hostOrder, u_short port) {
  sockaddr_in a{};
  a.sin_family = AF_INET;
  a.sin_port = htons(port);
  a.sin_addr.s_addr = htonl(hostOrder);
  return a;
}

DWORD DwordOption(SOCKET s, int name) {
  DWORD value = 0xDEAD;
  int length = sizeof(value);
  EXPECT_EQ(getsockopt(s, SOL_SOCKET, name, reinterpret_cast<char*>(&value), &length), 0);
  return value;
}

u_short LocalPort(SOCKET s) {
  sockaddr_in bound{};
  int length = sizeof(bound);
  EXPECT_EQ(getsockname(s, reinterpret_cast<sockaddr*>(&bound), &length), 0);
  return ntohs(bound.sin_port);
}

class XSocketTest : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(StartupWinsock());
    // The peer: a plain socket on this test's own loopback address.
    m_peer = socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP);
    ASSERT_NE(m_peer, INVALID_SOCKET);
    sockaddr_in local = Address(m_subnet.Host(1), 0);
    ASSERT_EQ(bind(m_peer, reinterpret_cast<sockaddr*>(&local), sizeof(local)), 0);
    m_peerPort = LocalPort(m_peer);
    const DWORD timeout = 5000;
    setsockopt(m_peer, SOL_SOCKET, SO_RCVTIMEO, reinterpret_cast<const char*>(&timeout), sizeof(timeout));
  }
  void TearDown() override {
    closesocket(m_peer);
    WSACleanup();
  }

  // Creates the socket under test, bound to this test's address 127.A.B.2.
  void Open() {
    ASSERT_TRUE(m_socket.Open(m_subnet.Dotted(2).c_str(), 0));
    m_socket.m_Address = Address(m_subnet.Host(1), m_peerPort);
  }

  // The peer sends one datagram of `size` bytes to the socket under test.
  void PeerSends(int size, char fill = 'd') {
    std::vector<char> data(static_cast<std::size_t>(size), fill);
    sockaddr_in to = Address(m_subnet.Host(2), LocalPort(m_socket.m_Socket));
    ASSERT_EQ(sendto(m_peer, data.data(), size, 0, reinterpret_cast<sockaddr*>(&to), sizeof(to)), size);
  }

  // Waits until at least `bytes` wait on the socket under test.
  bool WaitForWaiting(u_long bytes) {
    const auto deadline = Clock::now() + 5s;
    for (;;) {
      u_long waiting = 0;
      if (m_socket.Ioctl(FIONREAD, &waiting) && waiting >= bytes) return true;
      if (Clock::now() > deadline) return false;
      std::this_thread::yield();
    }
  }

  LoopbackSubnet m_subnet;
  SOCKET m_peer = INVALID_SOCKET;
  u_short m_peerPort = 0;
  XUDPSocket m_socket;
};

TEST_F(XSocketTest, ConstructionOpensNothing) {
  EXPECT_EQ(m_socket.m_bCreated, FALSE);
  EXPECT_EQ(m_socket.m_Socket, INVALID_SOCKET);
  EXPECT_EQ(m_socket.m_Timeout, 1000);
  char buffer[16];
  EXPECT_EQ(m_socket.Send("x", 1, 0), 0);
  EXPECT_EQ(m_socket.Receive(buffer, sizeof(buffer), 0), 0);
  EXPECT_TRUE(m_socket.IsEmpty());
}

TEST_F(XSocketTest, CloseResults) {
  EXPECT_FALSE(m_socket.Close()) << "never created";
  ASSERT_TRUE(m_socket.Create(0));
  EXPECT_TRUE(m_socket.m_bCreated);
  const SOCKET s = m_socket.m_Socket;
  EXPECT_NE(s, INVALID_SOCKET);
  EXPECT_TRUE(m_socket.Close());
  EXPECT_EQ(m_socket.m_Socket, INVALID_SOCKET);
  EXPECT_FALSE(m_socket.m_bCreated);
  EXPECT_EQ(closesocket(s), SOCKET_ERROR) << "the handle was closed";
  EXPECT_FALSE(m_socket.Close()) << "second close";
}

TEST_F(XSocketTest, CreateAgainReplacesTheSocket) {
  ASSERT_TRUE(m_socket.Create(0));
  const SOCKET first = m_socket.m_Socket;
  ASSERT_TRUE(m_socket.Create(0));
  EXPECT_NE(m_socket.m_Socket, first);
  EXPECT_EQ(closesocket(first), SOCKET_ERROR);
  EXPECT_EQ(WSAGetLastError(), WSAENOTSOCK);
}

TEST_F(XSocketTest, FailedOpenLeavesTheSocketClosed) {
  EXPECT_FALSE(m_socket.Open("not an address", 0));
  EXPECT_FALSE(m_socket.m_bCreated);
  EXPECT_EQ(m_socket.m_Socket, INVALID_SOCKET);
  Open();
  XUDPSocket second;
  EXPECT_FALSE(second.Open(m_subnet.Dotted(2).c_str(), LocalPort(m_socket.m_Socket))) << "address in use";
  EXPECT_EQ(second.m_Socket, INVALID_SOCKET);
}

TEST_F(XSocketTest, SendsTextWithLengthZeroAndReceivesTheAnswer) {
  Open();
  const char text[] = "hello\0hidden";
  EXPECT_EQ(m_socket.Send(text, 0, 0), 5);
  char got[64];
  sockaddr_in from{};
  int fromLength = sizeof(from);
  ASSERT_EQ(recvfrom(m_peer, got, sizeof(got), 0, reinterpret_cast<sockaddr*>(&from), &fromLength), 5);
  EXPECT_EQ(std::string(got, 5), "hello");
  EXPECT_EQ(ntohl(from.sin_addr.s_addr), m_subnet.Host(2));

  ASSERT_EQ(sendto(m_peer, "abc", 3, 0, reinterpret_cast<sockaddr*>(&from), fromLength), 3);
  char buffer[1300];
  EXPECT_EQ(m_socket.Receive(buffer, sizeof(buffer), 0), 3);
  EXPECT_EQ(std::string(buffer, 3), "abc");
  EXPECT_EQ(ntohl(m_socket.m_FromAddress.sin_addr.s_addr), m_subnet.Host(1));
  EXPECT_EQ(ntohs(m_socket.m_FromAddress.sin_port), m_peerPort);
}

TEST_F(XSocketTest, ReceiveTimesOutAfterTheTimeout) {
  Open();
  ASSERT_TRUE(m_socket.SetTimeout(300));
  char buffer[1300];
  const auto start = Clock::now();
  EXPECT_EQ(m_socket.Receive(buffer, sizeof(buffer), 0), 0);
  const auto elapsed = Clock::now() - start;
  EXPECT_GE(elapsed, 290ms);
  EXPECT_LT(elapsed, 3000ms);
}

TEST_F(XSocketTest, TimeoutIsRememberedBeforeCreateAndAppliedAtOnceAfter) {
  ASSERT_TRUE(m_socket.SetTimeout(3500));
  EXPECT_EQ(m_socket.m_Timeout, 3500);
  ASSERT_TRUE(m_socket.Create(0));
  EXPECT_EQ(DwordOption(m_socket.m_Socket, SO_RCVTIMEO), 3500u);
  ASSERT_TRUE(m_socket.SetTimeout(1234));
  EXPECT_EQ(DwordOption(m_socket.m_Socket, SO_RCVTIMEO), 1234u);
}

TEST_F(XSocketTest, BroadcastOnlyOnAnOpenSocket) {
  EXPECT_TRUE(m_socket.EnableBroadcast(TRUE)) << "nothing open: nothing set, still 1";
  Open();
  EXPECT_EQ(DwordOption(m_socket.m_Socket, SO_BROADCAST), 0u) << "the early call had no effect";
  m_socket.m_Address = Address(INADDR_BROADCAST, m_peerPort);
  EXPECT_EQ(m_socket.Send("x", 1, 0), 0) << "a broadcast needs SO_BROADCAST";

  // Broadcasts go to this test's 127.A.B.255; a listener there hears them.
  ScopedBroadcast mapping(m_subnet.Broadcast());
  SOCKET listener = socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP);
  sockaddr_in local = Address(m_subnet.BroadcastHost(), 0);
  ASSERT_EQ(bind(listener, reinterpret_cast<sockaddr*>(&local), sizeof(local)), 0);
  const DWORD timeout = 5000;
  setsockopt(listener, SOL_SOCKET, SO_RCVTIMEO, reinterpret_cast<const char*>(&timeout), sizeof(timeout));
  ASSERT_TRUE(m_socket.EnableBroadcast(TRUE));
  EXPECT_EQ(DwordOption(m_socket.m_Socket, SO_BROADCAST), 1u);
  m_socket.m_Address = Address(INADDR_BROADCAST, LocalPort(listener));
  EXPECT_EQ(m_socket.Send("search", 6, 0), 6);
  char got[16];
  EXPECT_EQ(recvfrom(listener, got, sizeof(got), 0, nullptr, nullptr), 6);
  closesocket(listener);
}

TEST_F(XSocketTest, PollModeReturnsAtOnceWhenNothingWaits) {
  Open();
  ASSERT_TRUE(m_socket.SetTimeout(5000));
  char buffer[1300];
  const auto start = Clock::now();
  EXPECT_EQ(m_socket.Receive(buffer, sizeof(buffer), XSOCKET_POLL), 0);
  EXPECT_LT(Clock::now() - start, 1000ms);
  EXPECT_TRUE(m_socket.IsEmpty());
}

TEST_F(XSocketTest, PollModeReadsNoMoreThanWaits) {
  Open();
  PeerSends(200);
  ASSERT_TRUE(WaitForWaiting(200));
  EXPECT_FALSE(m_socket.IsEmpty());
  char buffer[1300];
  std::memset(buffer, 0xEE, sizeof(buffer));
  EXPECT_EQ(m_socket.Receive(buffer, sizeof(buffer), XSOCKET_POLL), 200);
  EXPECT_EQ(buffer[199], 'd');
  EXPECT_EQ(static_cast<unsigned char>(buffer[200]), 0xEE);
  EXPECT_TRUE(m_socket.IsEmpty());
}

TEST_F(XSocketTest, EmptyDatagramDoesNotStopTheReader) {
  for (int mode : {XSOCKET_WAIT, XSOCKET_POLL}) {
    SCOPED_TRACE(mode);
    Open();
    PeerSends(0);
    PeerSends(10);
    ASSERT_TRUE(WaitForWaiting(10));
    std::vector<int> lengths;
    char buffer[1300];
    while (!m_socket.IsEmpty() && lengths.size() < 5) lengths.push_back(m_socket.Receive(buffer, sizeof(buffer), mode));
    EXPECT_EQ(lengths, (std::vector<int>{0, 10})) << "the empty datagram, then the one behind it";
    m_socket.Close();
  }
}

TEST_F(XSocketTest, OversizeDatagramReadsAsNothingAndIsDropped) {
  for (int mode : {XSOCKET_WAIT, XSOCKET_POLL}) {
    SCOPED_TRACE(mode);
    Open();
    PeerSends(1500, 'o');
    PeerSends(20, 's');
    ASSERT_TRUE(WaitForWaiting(1520));
    char buffer[1300];
    std::memset(buffer, 0xEE, sizeof(buffer));
    EXPECT_EQ(m_socket.Receive(buffer, sizeof(buffer), mode), 0);
    EXPECT_EQ(static_cast<unsigned char>(buffer[0]), 0xEE) << "no truncated copy";
    EXPECT_EQ(m_socket.Receive(buffer, sizeof(buffer), mode), 20);
    EXPECT_EQ(buffer[0], 's');
    m_socket.Close();
  }
}

// IPX datagrams travel on a simulated segment of this test's own.
class XIPXSocketTest : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(StartupWinsock());
    ASSERT_TRUE(vek::net::SetIpxSegment(("127.255.255.255:" + std::to_string(vek::test::RandomSegmentPort())).c_str()));
  }
  void TearDown() override {
    vek::net::ResetIpxConfiguration();
    WSACleanup();
  }
  static SOCKADDR_IPX Bound(SOCKET s) {
    SOCKADDR_IPX address{};
    int length = sizeof(address);
    EXPECT_EQ(getsockname(s, reinterpret_cast<sockaddr*>(&address), &length), 0);
    return address;
  }
};

TEST_F(XIPXSocketTest, SendsWithItsPacketTypeFromItsSocketNumber) {
  XIPXSocket sender, receiver;
  EXPECT_EQ(sender.m_Timeout, 1000);
  ASSERT_TRUE(sender.Create(0x5050));
  ASSERT_TRUE(receiver.Create(0));
  EXPECT_EQ(Bound(sender.m_Socket).sa_socket, 0x5050);
  sender.m_Address = Bound(receiver.m_Socket);
  EXPECT_EQ(sender.Send("hello", 0, 0), 5);
  char buffer[1300];
  ASSERT_EQ(receiver.Receive(buffer, sizeof(buffer), 0), 5);
  EXPECT_EQ(std::string(buffer, 5), "hello");
  EXPECT_EQ(receiver.m_FromAddress.sa_socket, 0x5050);

  // A plain socket that also reads the IPX header sees packet type 90.
  SOCKET raw = socket(AF_IPX, SOCK_DGRAM, NSPROTO_IPX);
  ASSERT_NE(raw, INVALID_SOCKET);
  const BOOL on = TRUE;
  ASSERT_EQ(setsockopt(raw, NSPROTO_IPX, VEK_IPX_RECEIVE_HEADER, reinterpret_cast<const char*>(&on), sizeof(on)), 0);
  SOCKADDR_IPX any{};
  any.sa_family = AF_IPX;
  ASSERT_EQ(bind(raw, reinterpret_cast<sockaddr*>(&any), sizeof(any)), 0);
  const DWORD timeout = 5000;
  setsockopt(raw, SOL_SOCKET, SO_RCVTIMEO, reinterpret_cast<const char*>(&timeout), sizeof(timeout));
  sender.m_Address = Bound(raw);
  EXPECT_EQ(sender.Send("typed", 5, 0), 5);
  ASSERT_EQ(recvfrom(raw, buffer, sizeof(buffer), 0, nullptr, nullptr), 30 + 5);
  EXPECT_EQ(static_cast<unsigned char>(buffer[5]), 90);
  closesocket(raw);
}

TEST_F(XIPXSocketTest, FailedCreateLeavesTheSocketClosed) {
  XIPXSocket first, second;
  ASSERT_TRUE(first.Create(0x5050));
  EXPECT_FALSE(second.Create(0x5050)) << "the socket number is taken";
  EXPECT_FALSE(second.m_bCreated);
  EXPECT_EQ(second.m_Socket, INVALID_SOCKET);
  EXPECT_FALSE(second.Close());
  EXPECT_EQ(second.Send("x", 1, 0), 0);
  char buffer[16];
  EXPECT_EQ(second.Receive(buffer, sizeof(buffer), 0), 0);
  EXPECT_TRUE(second.IsEmpty());
  EXPECT_FALSE(second.SetPacketType(90));
  EXPECT_TRUE(first.Close());
  EXPECT_EQ(sizeof(first.m_Address), 14u);
}

}  // namespace
