#include "ipx_test_support.h"

#include <cstring>

#include "segment_test_support.h"

namespace vek::net::test {
namespace {

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  return (c | 0x20) - 'a' + 10;
}

template <std::size_t N>
std::array<std::uint8_t, N> ParseBytes(const std::string& hex) {
  std::array<std::uint8_t, N> out{};
  for (std::size_t i = 0; i < N && 2 * i + 1 < hex.size(); ++i)
    out[i] = static_cast<std::uint8_t>(HexValue(hex[2 * i]) * 16 + HexValue(hex[2 * i + 1]));
  return out;
}

template <std::size_t N>
std::string HexOf(const std::array<std::uint8_t, N>& bytes) {
  static const char digits[] = "0123456789abcdef";
  std::string out;
  for (std::uint8_t b : bytes) {
    out += digits[b >> 4];
    out += digits[b & 15];
  }
  return out;
}

constexpr std::uint32_t kLoopbackBroadcast = 0x7FFFFFFFu;

}  // namespace

void IpxTest::SetUp() {
  WinsockTest::SetUp();
  m_port = RandomSegmentPort();
  const std::string network = RandomNetworkHex();
  const std::string node = RandomNodeHex();
  ASSERT_TRUE(SetIpxSegment(SegmentText(m_port).c_str()));
  ASSERT_TRUE(SetIpxNetwork(network.c_str()));
  ASSERT_TRUE(SetIpxNode(node.c_str()));
  m_network = ParseNetwork(network);
  m_node = ParseNode(node);
}

void IpxTest::TearDown() {
  ResetIpxConfiguration();
  WinsockTest::TearDown();
}

Network ParseNetwork(const std::string& hex) { return ParseBytes<4>(hex); }
Node ParseNode(const std::string& hex) { return ParseBytes<6>(hex); }
std::string Hex(const Network& network) { return HexOf(network); }
std::string Hex(const Node& node) { return HexOf(node); }

SOCKADDR_IPX IpxAddress(const Network& network, const Node& node, std::uint16_t socketNumber) {
  SOCKADDR_IPX address{};
  address.sa_family = AF_IPX;
  std::memcpy(address.sa_netnum, network.data(), 4);
  std::memcpy(address.sa_nodenum, node.data(), 6);
  address.sa_socket = htons(socketNumber);
  return address;
}

static SOCKET Bind(SOCKET s, std::uint16_t socketNumber, SOCKADDR_IPX* bound) {
  SOCKADDR_IPX local = IpxAddress({}, {}, socketNumber);
  EXPECT_EQ(bind(s, reinterpret_cast<sockaddr*>(&local), sizeof(local)), 0) << WSAGetLastError();
  int length = sizeof(*bound);
  EXPECT_EQ(getsockname(s, reinterpret_cast<sockaddr*>(bound), &length), 0) << WSAGetLastError();
  EXPECT_EQ(length, 14);
  return s;
}

SOCKET BoundIpx(std::uint16_t socketNumber, SOCKADDR_IPX* bound) {
  SOCKET s = socket(AF_IPX, SOCK_DGRAM, NSPROTO_IPX);
  EXPECT_NE(s, INVALID_SOCKET) << WSAGetLastError();
  if (s == INVALID_SOCKET) return s;
  return Bind(s, socketNumber, bound);
}

SOCKET StationIpx(const Network& network, const Node& node, std::uint16_t socketNumber, SOCKADDR_IPX* bound) {
  SOCKET s = socket(AF_IPX, SOCK_DGRAM, NSPROTO_IPX);
  EXPECT_NE(s, INVALID_SOCKET) << WSAGetLastError();
  if (s == INVALID_SOCKET) return s;
  SOCKADDR_IPX station = IpxAddress(network, node, 0);
  EXPECT_EQ(setsockopt(s, NSPROTO_IPX, VEK_IPX_STATION, reinterpret_cast<const char*>(&station), sizeof(station)),
            0)
      << WSAGetLastError();
  return Bind(s, socketNumber, bound);
}

int SetIpxOption(SOCKET s, int name, DWORD value) {
  return setsockopt(s, NSPROTO_IPX, name, reinterpret_cast<const char*>(&value), sizeof(value));
}

int AllowBroadcast(SOCKET s, BOOL on) {
  return setsockopt(s, SOL_SOCKET, SO_BROADCAST, reinterpret_cast<const char*>(&on), sizeof(on));
}

int SendIpx(SOCKET s, const std::string& payload, const SOCKADDR_IPX& to) {
  return sendto(s, payload.data(), static_cast<int>(payload.size()), 0, reinterpret_cast<const sockaddr*>(&to),
                sizeof(to));
}

std::optional<std::string> ReceiveIpx(SOCKET s, DWORD timeoutMs, SOCKADDR_IPX* from) {
  if (SetDwordOption(s, SO_RCVTIMEO, timeoutMs) != 0) return std::nullopt;
  char buffer[2048];
  SOCKADDR_IPX sender{};
  int length = sizeof(sender);
  int n = recvfrom(s, buffer, sizeof(buffer), 0, reinterpret_cast<sockaddr*>(&sender), &length);
  if (n == SOCKET_ERROR) return std::nullopt;
  if (from) *from = sender;
  return std::string(buffer, static_cast<std::size_t>(n));
}

SOCKET SegmentObserver(std::uint16_t port) {
  SOCKET s = socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP);
  EXPECT_NE(s, INVALID_SOCKET) << WSAGetLastError();
  BOOL on = TRUE;
  EXPECT_EQ(setsockopt(s, SOL_SOCKET, SO_REUSEADDR, reinterpret_cast<const char*>(&on), sizeof(on)), 0);
  sockaddr_in local = InetAddress(kLoopbackBroadcast, port);
  EXPECT_EQ(bind(s, reinterpret_cast<sockaddr*>(&local), sizeof(local)), 0) << WSAGetLastError();
  return s;
}

SOCKET SegmentInjector() {
  std::uint16_t port = 0;
  SOCKET s = BoundUdpSocket(RandomLoopbackAddress(), &port);
  BOOL on = TRUE;
  EXPECT_EQ(setsockopt(s, SOL_SOCKET, SO_BROADCAST, reinterpret_cast<const char*>(&on), sizeof(on)), 0);
  return s;
}

int Inject(SOCKET injector, std::uint16_t port, const std::string& bytes) {
  return SendText(injector, bytes, kLoopbackBroadcast, port);
}

}  // namespace vek::net::test
