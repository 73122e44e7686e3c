// The monitor's sockets over UDP and the IPX segment, the RIP network table and
// the transport probes.
#include <chrono>

#include "ipx_networks.h"
#include "monitor_test_support.h"
#include "net/ipx_segment.h"
#include "transport_probes.h"
#include "xipx_socket.h"
#include "xudp_socket.h"

namespace vek::test {
namespace {

class Sockets : public MonitorTest {};

sockaddr_in LoopbackAddress(std::uint32_t host, u_short port) {
  sockaddr_in a{};
  a.sin_family = AF_INET;
  a.sin_addr.s_addr = htonl(host);
  a.sin_port = htons(port);
  return a;
}

TEST_F(Sockets, UdpSendReportsOneAndReceiveAdoptsTheSender) {
  LoopbackSubnet subnet;
  SOCKET peer = socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP);
  sockaddr_in peerAddress = LoopbackAddress(subnet.Host(1), 0);
  ASSERT_EQ(0, bind(peer, reinterpret_cast<sockaddr*>(&peerAddress), sizeof peerAddress));
  int length = sizeof peerAddress;
  getsockname(peer, reinterpret_cast<sockaddr*>(&peerAddress), &length);

  XUDPSocket socket;
  ASSERT_TRUE(socket.Create(90));
  socket.m_Address = peerAddress;
  BYTE hello[5] = {'h', 'e', 'l', 'l', 'o'};
  EXPECT_EQ(1, socket.Send(hello, 5));
  char got[16];
  sockaddr_in from{};
  int fromLength = sizeof from;
  ASSERT_EQ(5, recvfrom(peer, got, sizeof got, 0, reinterpret_cast<sockaddr*>(&from), &fromLength));
  // The answer comes from another address of the peer's; a send without a new
  // address goes back to it.
  SOCKET other = ::socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP);
  sockaddr_in otherAddress = LoopbackAddress(subnet.Host(2), 0);
  ASSERT_EQ(0, bind(other, reinterpret_cast<sockaddr*>(&otherAddress), sizeof otherAddress));
  sendto(other, "x", 1, 0, reinterpret_cast<sockaddr*>(&from), fromLength);
  EXPECT_TRUE(WaitUntil([&] { return !socket.IsEmpty(); }));
  BYTE buffer[16];
  EXPECT_EQ(1, socket.Receive(buffer, sizeof buffer));
  EXPECT_EQ(htonl(subnet.Host(2)), socket.m_Address.sin_addr.s_addr);
  EXPECT_TRUE(socket.IsEmpty());
  closesocket(peer);
  closesocket(other);
  EXPECT_TRUE(socket.Close());
  EXPECT_FALSE(socket.Close());
}

TEST_F(Sockets, AReceiveWithNothingToReadEndsAfterASecond) {
  XUDPSocket socket;
  ASSERT_TRUE(socket.Create(0));
  BYTE buffer[16];
  auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(0, socket.Receive(buffer, sizeof buffer));
  auto waited = std::chrono::steady_clock::now() - start;
  EXPECT_GE(waited, std::chrono::milliseconds(900));
  EXPECT_LT(waited, std::chrono::milliseconds(3000));
  socket.Close();
}

TEST_F(Sockets, AnOversizeDatagramIsNotDelivered) {
  XUDPSocket socket;
  ASSERT_TRUE(socket.Create(0));
  sockaddr_in self{};
  int length = sizeof self;
  getsockname(socket.m_Socket, reinterpret_cast<sockaddr*>(&self), &length);
  self.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socket.m_Address = self;
  BYTE big[100] = {};
  ASSERT_EQ(1, socket.Send(big, sizeof big));
  BYTE small[10];
  EXPECT_EQ(0, socket.Receive(small, sizeof small));
  socket.Close();
}

TEST_F(Sockets, ASocketNeverCreatedDoesNothing) {
  XUDPSocket udp;
  XIPXSocket ipx;
  BYTE b[4] = {};
  for (XSocket* s : {static_cast<XSocket*>(&udp), static_cast<XSocket*>(&ipx)}) {
    EXPECT_EQ(0, s->Send(b, 4));
    EXPECT_EQ(0, s->Receive(b, 4));
    EXPECT_TRUE(s->IsEmpty());
    EXPECT_FALSE(s->EnableBroadcast(TRUE));
    EXPECT_FALSE(s->Close());
  }
}

TEST_F(Sockets, InstanceNumbersRiseAcrossEveryClass) {
  XUDPSocket a;
  XIPXSocket b;
  XUDPSocket c;
  EXPECT_EQ(a.m_ID + 1, b.m_ID);
  EXPECT_EQ(b.m_ID + 1, c.m_ID);
}

TEST_F(Sockets, TheUdpProbeNeedsItsBit) {
  g_Protocols = PROTOCOL_IPX;
  g_SupportedProtocols = 0;
  EXPECT_FALSE(LoadUDP());
  EXPECT_EQ(0, g_SupportedProtocols.load());
  g_Protocols = PROTOCOL_UDP;
  EXPECT_TRUE(LoadUDP());
  EXPECT_EQ(PROTOCOL_UDP, g_SupportedProtocols.load());
}

// RIP answers.
std::vector<BYTE> Answer(std::initializer_list<std::uint32_t> networks, BYTE operation = 2) {
  std::vector<BYTE> out = {0, operation};
  for (std::uint32_t network : networks) {
    for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<BYTE>(network >> shift));
    out.insert(out.end(), {0, 1, 0, 2});
  }
  return out;
}

TEST(RoutingAnswers, EachNetworkIsAddedOnceAndEntryZeroStays) {
  BYTE table[kMaxIPXNetworks][kIPXNetworkEntrySize] = {};
  int count = 1;
  std::vector<BYTE> answer = Answer({0x11, 0x22, 0x11, 0x00});
  AddRIPEntries(answer.data(), static_cast<int>(answer.size()), table, &count);
  EXPECT_EQ(3, count);
  AddRIPEntries(answer.data(), static_cast<int>(answer.size()), table, &count);
  EXPECT_EQ(3, count);
  EXPECT_EQ(0x11, table[1][3]);
  EXPECT_EQ(0x22, table[2][3]);
  EXPECT_EQ(0, table[0][3]);
}

TEST(RoutingAnswers, ShortAnswersAndRequestsAddNothing) {
  BYTE table[kMaxIPXNetworks][kIPXNetworkEntrySize] = {};
  int count = 1;
  std::vector<BYTE> answer = Answer({0x33});
  for (int length = 1; length < 10; length++) AddRIPEntries(answer.data(), length, table, &count);
  EXPECT_EQ(1, count);
  std::vector<BYTE> request = Answer({0xFFFFFFFFu}, 1);
  AddRIPEntries(request.data(), static_cast<int>(request.size()), table, &count);
  EXPECT_EQ(1, count);
}

TEST(RoutingAnswers, TheTableStopsAtSeventyNine) {
  BYTE table[kMaxIPXNetworks][kIPXNetworkEntrySize] = {};
  int count = 1;
  for (std::uint32_t network = 1; network <= 100; network++) {
    std::vector<BYTE> answer = Answer({network});
    AddRIPEntries(answer.data(), static_cast<int>(answer.size()), table, &count);
  }
  EXPECT_EQ(kMaxIPXNetworks, count);
}

class IpxSockets : public MonitorTest {
 protected:
  void BeforeStart() override {
    m_segment = "127.255.255.255:" + std::to_string(RandomSegmentPort());
    ASSERT_TRUE(net::SetIpxSegment(m_segment.c_str()));
    ASSERT_TRUE(net::SetIpxNetwork("0000C0DE"));
  }
  void TearDown() override {
    MonitorTest::TearDown();
    net::ResetIpxConfiguration();
  }
  // A station of the segment on network, node.
  SOCKET Station(std::uint32_t network, BYTE lastNodeByte, u_short socketNumber) {
    SOCKET s = socket(AF_IPX, SOCK_DGRAM, NSPROTO_IPX);
    SOCKADDR_IPX self{};
    self.sa_family = AF_IPX;
    for (int i = 0; i < 4; i++) self.sa_netnum[i] = static_cast<char>(network >> (24 - 8 * i));
    const BYTE node[6] = {0x02, 0x4E, 0x57, 0x00, 0x00, lastNodeByte};
    std::memcpy(self.sa_nodenum, node, 6);
    EXPECT_EQ(0, setsockopt(s, NSPROTO_IPX, VEK_IPX_STATION, reinterpret_cast<const char*>(&self), sizeof self));
    SOCKADDR_IPX local{};
    local.sa_family = AF_IPX;
    local.sa_socket = htons(socketNumber);
    EXPECT_EQ(0, bind(s, reinterpret_cast<sockaddr*>(&local), sizeof local));
    DWORD timeout = 50;
    setsockopt(s, SOL_SOCKET, SO_RCVTIMEO, reinterpret_cast<const char*>(&timeout), sizeof timeout);
    return s;
  }
  std::string m_segment;
};

TEST_F(IpxSockets, TheProbeFindsTheSegment) {
  g_SupportedProtocols = 0;
  EXPECT_TRUE(LoadIPX());
  EXPECT_TRUE(g_SupportedProtocols.load() & PROTOCOL_IPX);
}

TEST_F(IpxSockets, AFailedCreateKeepsNoHalfMadeSocket) {
  XIPXSocket socket;
  EXPECT_FALSE(socket.Create(300));  // no packet type
  EXPECT_FALSE(socket.m_bCreated);
  EXPECT_EQ(INVALID_SOCKET, socket.m_Socket);
  EXPECT_TRUE(socket.Create(90));
  EXPECT_TRUE(socket.Close());
}

TEST_F(IpxSockets, ADatagramToTheDeviceComesBackFromItsRealNetwork) {
  SOCKET device = Station(0x0000C0DE, 0x42, 0x5050);
  XIPXSocket socket;
  ASSERT_TRUE(socket.Create(90));
  socket.m_Address.sa_family = AF_IPX;  // network 0: this network
  const BYTE node[6] = {0x02, 0x4E, 0x57, 0x00, 0x00, 0x42};
  std::memcpy(socket.m_Address.sa_nodenum, node, 6);
  socket.m_Address.sa_socket = htons(0x5050);
  BYTE ping[3] = {1, 2, 3};
  ASSERT_EQ(1, socket.Send(ping, 3));
  char got[16];
  SOCKADDR_IPX from{};
  int fromLength = sizeof from;
  int n = -1;
  ASSERT_TRUE(WaitUntil([&] {
    n = recvfrom(device, got, sizeof got, 0, reinterpret_cast<sockaddr*>(&from), &fromLength);
    return n == 3;
  }));
  sendto(device, "ok", 2, 0, reinterpret_cast<sockaddr*>(&from), fromLength);
  BYTE buffer[16];
  EXPECT_EQ(2, socket.Receive(buffer, sizeof buffer));
  EXPECT_EQ(0, std::memcmp(socket.m_Address.sa_nodenum, node, 6));
  EXPECT_EQ(0xDE, static_cast<BYTE>(socket.m_Address.sa_netnum[3]));
  socket.Close();
  closesocket(device);
}

TEST_F(IpxSockets, SendToAllNetworksReachesEveryNetworkARouterNames) {
  // A router answering RIP requests with two networks, and a device on each.
  SOCKET router = Station(0x0000C0DE, 0x01, kRIPSocket);
  std::atomic<bool> stop{false};
  std::thread routing([&] {
    char request[600];
    while (!stop) {
      SOCKADDR_IPX from{};
      int fromLength = sizeof from;
      int n = recvfrom(router, request, sizeof request, 0, reinterpret_cast<sockaddr*>(&from), &fromLength);
      if (n < 2 || request[1] != 1) continue;
      std::vector<BYTE> answer = Answer({0x0000C0DE, 0x0000BEEF});
      sendto(router, reinterpret_cast<const char*>(answer.data()), static_cast<int>(answer.size()), 0,
             reinterpret_cast<sockaddr*>(&from), fromLength);
    }
  });
  SOCKET here = Station(0x0000C0DE, 0x77, 0x5050);
  SOCKET there = Station(0x0000BEEF, 0x77, 0x5050);

  XIPXSocket socket;
  ASSERT_TRUE(socket.Create(90));
  socket.EnableBroadcast(TRUE);
  socket.m_Address.sa_family = AF_IPX;
  const BYTE node[6] = {0x02, 0x4E, 0x57, 0x00, 0x00, 0x77};
  std::memcpy(socket.m_Address.sa_nodenum, node, 6);
  socket.m_Address.sa_socket = htons(0x5050);
  BYTE hello[2] = {'h', 'i'};
  socket.SendToAllNetworks(hello, 2);
  stop = true;
  routing.join();

  BYTE table[kMaxIPXNetworks][kIPXNetworkEntrySize];
  int count = CopyIPXNetworks(table);
  EXPECT_EQ(3, count);  // network 0, then the router's two
  char got[8];
  // Network 0 and C0DE both reach the device here; BEEF the one there.
  EXPECT_TRUE(WaitUntil([&] { return recv(there, got, sizeof got, 0) == 2; }, 3000));
  EXPECT_TRUE(WaitUntil([&] { return recv(here, got, sizeof got, 0) == 2; }, 3000));
  EXPECT_EQ(0xEF, static_cast<BYTE>(socket.m_Address.sa_netnum[3]));
  socket.Close();
  closesocket(router);
  closesocket(here);
  closesocket(there);
}

}  // namespace
}  // namespace vek::test
