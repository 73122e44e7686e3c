// The segment as a shared medium: every station hears every frame and keeps those
// for its network, node and socket; broadcasts need SO_BROADCAST; a socket never
// hears itself; malformed frames are dropped; separate segments are separate.
//
// Frames from one sender reach a receiver in order, so a frame that arrives first
// proves the ones sent before it were dropped, not delayed.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "ipx_test_support.h"
#include "segment_test_support.h"

namespace vek::net::test {
namespace {

using IpxFilterTest = IpxTest;

std::uint16_t SocketNumber(const SOCKADDR_IPX& address) { return ntohs(address.sa_socket); }

Network OtherNetwork(Network network) {
  network[3] ^= 0x5A;
  return network;
}

Node OtherNode(Node node) {
  node[5] ^= 0x5A;
  return node;
}

// A frame built by hand, as another implementation would put it on the wire.
std::string Frame(const Network& toNetwork, const Node& toNode, std::uint16_t toSocket, const Network& fromNetwork,
                  const Node& fromNode, std::uint16_t fromSocket, const std::string& payload) {
  std::string frame(30, '\0');
  const std::size_t length = 30 + payload.size();
  frame[0] = frame[1] = '\xFF';
  frame[2] = static_cast<char>(length >> 8);
  frame[3] = static_cast<char>(length);
  frame[5] = 4;
  std::memcpy(&frame[6], toNetwork.data(), 4);
  std::memcpy(&frame[10], toNode.data(), 6);
  frame[16] = static_cast<char>(toSocket >> 8);
  frame[17] = static_cast<char>(toSocket);
  std::memcpy(&frame[18], fromNetwork.data(), 4);
  std::memcpy(&frame[22], fromNode.data(), 6);
  frame[28] = static_cast<char>(fromSocket >> 8);
  frame[29] = static_cast<char>(fromSocket);
  return frame + payload;
}

TEST_F(IpxFilterTest, FramesForAnotherNetworkNodeOrSocketAreNotKept) {
  SOCKADDR_IPX a{}, b{};
  SOCKET sender = BoundIpx(0, &a);
  SOCKET receiver = BoundIpx(0, &b);
  const std::uint16_t number = SocketNumber(b);
  ASSERT_EQ(SendIpx(sender, "network", IpxAddress(OtherNetwork(m_network), m_node, number)), 7);
  ASSERT_EQ(SendIpx(sender, "node", IpxAddress(m_network, OtherNode(m_node), number)), 4);
  ASSERT_EQ(SendIpx(sender, "socket", IpxAddress(m_network, m_node, static_cast<std::uint16_t>(number ^ 1))), 6);
  ASSERT_EQ(SendIpx(sender, "mine", IpxAddress(m_network, m_node, number)), 4);
  EXPECT_EQ(ReceiveIpx(receiver, 5000), "mine");
  u_long waiting = 99;
  ASSERT_EQ(ioctlsocket(receiver, FIONREAD, &waiting), 0);
  EXPECT_EQ(waiting, 0u);
  closesocket(sender);
  closesocket(receiver);
}

TEST_F(IpxFilterTest, StationsOfAnotherNetworkAreReachedByTheirNumber) {
  const Network far = OtherNetwork(m_network);
  const Node farNode = OtherNode(m_node);
  SOCKADDR_IPX local{}, remote{};
  SOCKET near = BoundIpx(0, &local);
  SOCKET server = StationIpx(far, farNode, 0x5050, &remote);
  EXPECT_EQ(0, std::memcmp(remote.sa_netnum, far.data(), 4));
  EXPECT_EQ(SocketNumber(remote), 0x5050);

  ASSERT_EQ(SendIpx(near, "across", IpxAddress(far, farNode, 0x5050)), 6);
  SOCKADDR_IPX from{};
  EXPECT_EQ(ReceiveIpx(server, 5000, &from), "across");
  EXPECT_EQ(0, std::memcmp(from.sa_netnum, m_network.data(), 4));
  ASSERT_EQ(SendIpx(server, "reply", from), 5);
  EXPECT_EQ(ReceiveIpx(near, 5000, &from), "reply");
  EXPECT_EQ(0, std::memcmp(from.sa_netnum, far.data(), 4)) << "the sender's network as it claims it";

  // Network 0 from the far station means the far network: not ours.
  ASSERT_EQ(SendIpx(server, "its own network", IpxAddress({}, m_node, SocketNumber(local))), 15);
  ASSERT_EQ(SendIpx(server, "ours", IpxAddress(m_network, m_node, SocketNumber(local))), 4);
  EXPECT_EQ(ReceiveIpx(near, 5000), "ours");
  closesocket(near);
  closesocket(server);
}

TEST_F(IpxFilterTest, BroadcastNeedsSoBroadcastAndReachesEveryStation) {
  const Node second = OtherNode(m_node);
  SOCKADDR_IPX a{}, one{}, two{}, far{};
  SOCKET sender = BoundIpx(0, &a);
  SOCKET first = BoundIpx(0x5050, &one);
  SOCKET other = StationIpx(m_network, second, 0x5050, &two);
  SOCKET elsewhere = StationIpx(OtherNetwork(m_network), second, 0x5050, &far);
  const SOCKADDR_IPX everyone = IpxAddress({}, kBroadcastNode, 0x5050);

  EXPECT_EQ(SendIpx(sender, "refused", everyone), SOCKET_ERROR);
  EXPECT_EQ(WSAGetLastError(), WSAEACCES);
  ASSERT_EQ(AllowBroadcast(sender), 0);
  BOOL value = FALSE;
  int length = sizeof(value);
  ASSERT_EQ(getsockopt(sender, SOL_SOCKET, SO_BROADCAST, reinterpret_cast<char*>(&value), &length), 0);
  EXPECT_TRUE(value);
  ASSERT_EQ(SendIpx(sender, "to all", everyone), 6) << WSAGetLastError();
  EXPECT_EQ(ReceiveIpx(first, 5000), "to all");
  EXPECT_EQ(ReceiveIpx(other, 5000), "to all");

  // A broadcast stays on its network.
  ASSERT_EQ(SendIpx(sender, "direct", IpxAddress(OtherNetwork(m_network), second, 0x5050)), 6);
  EXPECT_EQ(ReceiveIpx(elsewhere, 5000), "direct");

  ASSERT_EQ(AllowBroadcast(sender, FALSE), 0);
  EXPECT_EQ(SendIpx(sender, "refused", everyone), SOCKET_ERROR);
  EXPECT_EQ(WSAGetLastError(), WSAEACCES);
  for (SOCKET s : {sender, first, other, elsewhere}) closesocket(s);
}

TEST_F(IpxFilterTest, ASocketNeverHearsItself) {
  SOCKADDR_IPX self{}, peer{};
  SOCKET talker = BoundIpx(0x4444, &self);
  SOCKET listener = StationIpx(m_network, OtherNode(m_node), 0x4444, &peer);
  ASSERT_EQ(AllowBroadcast(talker), 0);
  ASSERT_EQ(SendIpx(talker, "echo?", IpxAddress({}, kBroadcastNode, 0x4444)), 5);
  ASSERT_EQ(SendIpx(talker, "to me", self), 5);
  EXPECT_EQ(ReceiveIpx(listener, 5000), "echo?");
  ASSERT_EQ(SendIpx(listener, "from the peer", self), 13);
  EXPECT_EQ(ReceiveIpx(talker, 5000), "from the peer") << "its own frames were dropped";
  closesocket(talker);
  closesocket(listener);
}

TEST_F(IpxFilterTest, MalformedFramesAreDropped) {
  SOCKADDR_IPX b{};
  SOCKET receiver = BoundIpx(0, &b);
  const std::uint16_t number = SocketNumber(b);
  const Node peer = OtherNode(m_node);
  SOCKET injector = SegmentInjector();
  const std::string good = Frame(m_network, m_node, number, m_network, peer, 0x4001, "good");

  std::string badChecksum = good;
  badChecksum[1] = 0x34;
  std::string lengthTooLong = good;
  lengthTooLong[3] = static_cast<char>(good.size() + 1);
  std::string lengthTooShort = good;
  lengthTooShort[3] = 29;
  std::string hugeLength = good + std::string(2000, 'h');
  hugeLength[2] = 0x07;
  hugeLength[3] = static_cast<char>(0xFF);
  const std::string fromBroadcast = Frame(m_network, m_node, number, m_network, kBroadcastNode, 0x4001, "bcast");
  for (const std::string& bytes : {std::string(), std::string("short"), good.substr(0, 29), badChecksum,
                                   lengthTooLong, lengthTooShort, hugeLength, fromBroadcast}) {
    ASSERT_EQ(Inject(injector, m_port, bytes), static_cast<int>(bytes.size())) << WSAGetLastError();
  }
  // Link padding after the declared length is not payload.
  ASSERT_EQ(Inject(injector, m_port, good + std::string(26, '\0')), static_cast<int>(good.size() + 26));

  SOCKADDR_IPX from{};
  EXPECT_EQ(ReceiveIpx(receiver, 5000, &from), "good");
  EXPECT_EQ(0, std::memcmp(from.sa_nodenum, peer.data(), 6));
  EXPECT_EQ(ntohs(from.sa_socket), 0x4001);
  u_long waiting = 99;
  ASSERT_EQ(ioctlsocket(receiver, FIONREAD, &waiting), 0);
  EXPECT_EQ(waiting, 0u);
  closesocket(injector);
  closesocket(receiver);
}

TEST_F(IpxFilterTest, SeparateSegmentsDoNotHearEachOther) {
  SOCKADDR_IPX b{}, a{}, c{};
  SOCKET receiver = BoundIpx(0, &b);
  SOCKET sameSegment = BoundIpx(0, &a);
  std::uint16_t otherPort = RandomSegmentPort();
  while (otherPort == m_port) otherPort = RandomSegmentPort();
  ASSERT_TRUE(SetIpxSegment(SegmentText(otherPort).c_str()));
  SOCKET otherSegment = BoundIpx(0, &c);  // same network and node, another medium

  ASSERT_EQ(SendIpx(otherSegment, "not here", b), 8);
  ASSERT_EQ(SendIpx(sameSegment, "here", b), 4);
  EXPECT_EQ(ReceiveIpx(receiver, 5000), "here");
  for (SOCKET s : {receiver, sameSegment, otherSegment}) closesocket(s);
}

}  // namespace
}  // namespace vek::net::test
