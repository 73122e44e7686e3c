#include "net_test_support.h"

#include <random>

#include "net/broadcast.h"

namespace vek::net::test {
namespace {

std::uint32_t RandomBits() {
  static std::mt19937 generator{std::random_device{}()};
  return static_cast<std::uint32_t>(generator());
}

}  // namespace

void WinsockTest::SetUp() {
  WSADATA data;
  ASSERT_EQ(WSAStartup(MAKEWORD(2, 2), &data), 0);
  ResetBroadcastAddress();
}

void WinsockTest::TearDown() {
  ResetBroadcastAddress();
  EXPECT_EQ(WSACleanup(), 0);
}

std::uint32_t RandomLoopbackAddress() {
  std::uint32_t bits = RandomBits();
  std::uint32_t last = 1 + (bits >> 24) % 254;
  return 0x7F000000u | (bits & 0x00FFFF00u) | last;
}

std::uint32_t RandomLoopbackBroadcastLike() {
  std::uint32_t middle = RandomBits() % 0xFFFFu;  // never 255.255: that is the real broadcast
  return 0x7F000000u | (middle << 8) | 0xFFu;
}

std::string Dotted(std::uint32_t hostOrder) {
  in_addr address;
  address.s_addr = htonl(hostOrder);
  return inet_ntoa(address);
}

sockaddr_in InetAddress(std::uint32_t hostOrder, std::uint16_t port) {
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(port);
  address.sin_addr.s_addr = htonl(hostOrder);
  return address;
}

SOCKET BoundUdpSocket(std::uint32_t hostOrderAddress, std::uint16_t* port) {
  SOCKET s = socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP);
  EXPECT_NE(s, INVALID_SOCKET) << WSAGetLastError();
  if (s == INVALID_SOCKET) return s;
  sockaddr_in local = InetAddress(hostOrderAddress, 0);
  EXPECT_EQ(bind(s, reinterpret_cast<sockaddr*>(&local), sizeof(local)), 0) << WSAGetLastError();
  sockaddr_in bound{};
  int length = sizeof(bound);
  EXPECT_EQ(getsockname(s, reinterpret_cast<sockaddr*>(&bound), &length), 0) << WSAGetLastError();
  EXPECT_NE(bound.sin_port, 0);
  *port = ntohs(bound.sin_port);
  return s;
}

int SetDwordOption(SOCKET s, int name, DWORD value) {
  return setsockopt(s, SOL_SOCKET, name, reinterpret_cast<const char*>(&value), sizeof(value));
}

int SendText(SOCKET s, const std::string& text, std::uint32_t hostOrderAddress, std::uint16_t port) {
  sockaddr_in to = InetAddress(hostOrderAddress, port);
  return sendto(s, text.data(), static_cast<int>(text.size()), 0, reinterpret_cast<sockaddr*>(&to), sizeof(to));
}

}  // namespace vek::net::test
