// The segment between processes, and a routing-information exchange with a router
// of our own making, as the monitor's network search runs it.
#include <gtest/gtest.h>

#include <cctype>
#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "ipx_test_support.h"
#include "segment_test_support.h"

namespace vek::net::test {
namespace {

using IpxProcessTest = IpxTest;

constexpr std::uint16_t kRipSocket = 0x0453;

std::uint16_t SocketNumber(const SOCKADDR_IPX& address) { return ntohs(address.sa_socket); }

// The child: its own node, one socket; it tells its address, then echoes one
// payload in capitals to whoever sent it.
int EchoOnce(Channel& channel, const std::string& node) {
  if (!SetIpxNode(node.c_str())) return 10;
  SOCKADDR_IPX bound{};
  SOCKET s = socket(AF_IPX, SOCK_DGRAM, NSPROTO_IPX);
  SOCKADDR_IPX local = IpxAddress({}, {}, 0);
  if (s == INVALID_SOCKET || bind(s, reinterpret_cast<sockaddr*>(&local), sizeof(local)) != 0) return 11;
  int length = sizeof(bound);
  if (getsockname(s, reinterpret_cast<sockaddr*>(&bound), &length) != 0) return 12;
  if (!channel.Send(std::to_string(SocketNumber(bound)))) return 13;
  SOCKADDR_IPX from{};
  auto payload = ReceiveIpx(s, 20000, &from);
  if (!payload) return 14;
  for (char& c : *payload) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  if (SendIpx(s, *payload, from) != static_cast<int>(payload->size())) return 15;
  closesocket(s);
  return 0;
}

TEST_F(IpxProcessTest, FramesBetweenTwoProcesses) {
  const std::string childNode = RandomNodeHex();
  ChildProcess child([&](Channel& channel) { return EchoOnce(channel, childNode); });
  auto number = child.channel().Receive();
  ASSERT_TRUE(number) << "the child never bound its socket";

  SOCKADDR_IPX mine{};
  SOCKET s = BoundIpx(0, &mine);
  const SOCKADDR_IPX theirs = IpxAddress({}, ParseNode(childNode), static_cast<std::uint16_t>(std::stoi(*number)));
  ASSERT_EQ(SendIpx(s, "across processes", theirs), 16) << WSAGetLastError();
  SOCKADDR_IPX from{};
  EXPECT_EQ(ReceiveIpx(s, 20000, &from), "ACROSS PROCESSES");
  EXPECT_EQ(0, std::memcmp(from.sa_netnum, m_network.data(), 4));
  EXPECT_EQ(0, std::memcmp(from.sa_nodenum, ParseNode(childNode).data(), 6));
  EXPECT_EQ(SocketNumber(from), SocketNumber(theirs));
  EXPECT_EQ(child.Wait(), 0);
  closesocket(s);
}

// What the router reads of a request: the header it came with and the payload.
struct Heard {
  std::string header;
  std::string payload;
  SOCKADDR_IPX from{};
};

std::optional<Heard> HearRequest(SOCKET router) {
  Heard heard;
  auto frame = ReceiveIpx(router, 5000, &heard.from);
  if (!frame || frame->size() < 30) return std::nullopt;
  heard.header = frame->substr(0, 30);
  heard.payload = frame->substr(30);
  return heard;
}

std::string RipEntry(std::uint32_t network, std::uint16_t hops, std::uint16_t ticks) {
  const char bytes[8] = {static_cast<char>(network >> 24), static_cast<char>(network >> 16),
                         static_cast<char>(network >> 8),  static_cast<char>(network),
                         static_cast<char>(hops >> 8),     static_cast<char>(hops),
                         static_cast<char>(ticks >> 8),    static_cast<char>(ticks)};
  return std::string(bytes, 8);
}

TEST_F(IpxProcessTest, RoutingInformationFromARouter) {
  Node routerNode = m_node;
  routerNode[1] ^= 0x77;
  SOCKADDR_IPX routerAddress{};
  SOCKET router = StationIpx(m_network, routerNode, kRipSocket, &routerAddress);
  ASSERT_EQ(SetIpxOption(router, VEK_IPX_RECEIVE_HEADER, 1), 0);

  // The search: packet type 1, broadcast to the RIP socket of this network, twice.
  SOCKADDR_IPX searcherAddress{};
  SOCKET searcher = BoundIpx(0, &searcherAddress);
  ASSERT_EQ(SetIpxOption(searcher, IPX_PTYPE, 1), 0);
  ASSERT_EQ(AllowBroadcast(searcher), 0);
  std::string request(402, '\0');
  request[1] = 1;  // operation 1, request
  request[2] = request[3] = request[4] = request[5] = '\xFF';  // all networks
  const SOCKADDR_IPX rip = IpxAddress({}, kBroadcastNode, kRipSocket);
  ASSERT_EQ(SendIpx(searcher, request, rip), 402) << WSAGetLastError();
  ASSERT_EQ(SendIpx(searcher, request, rip), 402) << WSAGetLastError();

  const std::string replies[2] = {
      std::string("\0\x02", 2) + RipEntry(0x00000020, 1, 2) + RipEntry(0x00000030, 2, 3),
      std::string("\0\x02", 2) + RipEntry(0x00000030, 2, 3) + RipEntry(0x00000040, 3, 4)};
  for (const std::string& reply : replies) {
    auto heard = HearRequest(router);
    ASSERT_TRUE(heard) << WSAGetLastError();
    EXPECT_EQ(heard->header[5], 1) << "packet type";
    EXPECT_EQ(0, std::memcmp(&heard->header[6], m_network.data(), 4)) << "network 0 went out as ours";
    EXPECT_EQ(heard->header.substr(10, 6), std::string(6, '\xFF'));
    EXPECT_EQ(heard->header.substr(16, 2), "\x04\x53");
    EXPECT_EQ(heard->payload, request);
    ASSERT_EQ(SendIpx(router, reply, heard->from), static_cast<int>(reply.size()));
  }

  std::set<std::uint32_t> networks;
  for (int i = 0; i < 2; ++i) {
    SOCKADDR_IPX from{};
    auto reply = ReceiveIpx(searcher, 5000, &from);
    ASSERT_TRUE(reply) << WSAGetLastError();
    EXPECT_EQ(std::memcmp(from.sa_nodenum, routerNode.data(), 6), 0);
    EXPECT_EQ(SocketNumber(from), kRipSocket);
    ASSERT_EQ(reply->substr(0, 2), std::string("\0\x02", 2));
    for (std::size_t at = 2; at + 8 <= reply->size(); at += 8) {
      const auto* p = reinterpret_cast<const unsigned char*>(reply->data() + at);
      networks.insert((std::uint32_t{p[0]} << 24) | (p[1] << 16) | (p[2] << 8) | p[3]);
    }
  }
  EXPECT_EQ(networks, (std::set<std::uint32_t>{0x20, 0x30, 0x40}));
  closesocket(router);
  closesocket(searcher);
}

}  // namespace
}  // namespace vek::net::test
