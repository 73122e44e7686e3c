// Address text, byte order, layouts and host look-ups.
#include <gtest/gtest.h>

#include <cstddef>
#include <cstring>
#include <string>

#include "net/winsock.h"
#include "net_test_support.h"

namespace {

using vek::net::test::WinsockTest;

TEST(AddressText, InetAddrReadsDottedQuads) {
  EXPECT_EQ(inet_addr("127.0.0.1"), htonl(0x7F000001u));
  EXPECT_EQ(inet_addr("192.168.10.200"), htonl(0xC0A80AC8u));
  EXPECT_EQ(inet_addr("0.0.0.0"), 0u);
}

TEST(AddressText, InetAddrReadsShortFormsAndOtherBases) {
  EXPECT_EQ(inet_addr("127.1"), htonl(0x7F000001u));
  EXPECT_EQ(inet_addr("10.1.300"), htonl(0x0A01012Cu));
  EXPECT_EQ(inet_addr("0x7f.0.0.01"), htonl(0x7F000001u));
  EXPECT_EQ(inet_addr("2130706433"), htonl(0x7F000001u));
  EXPECT_EQ(inet_addr("127.0.0.1 trailing"), htonl(0x7F000001u));
}

TEST(AddressText, InetAddrRefusesBadText) {
  EXPECT_EQ(inet_addr(""), INADDR_NONE);
  EXPECT_EQ(inet_addr(nullptr), INADDR_NONE);
  EXPECT_EQ(inet_addr("256.0.0.1"), INADDR_NONE);
  EXPECT_EQ(inet_addr("1.2.3.4.5"), INADDR_NONE);
  EXPECT_EQ(inet_addr("1..2.3"), INADDR_NONE);
  EXPECT_EQ(inet_addr("1.2.3."), INADDR_NONE);
  EXPECT_EQ(inet_addr("09.1.1.1"), INADDR_NONE);
  EXPECT_EQ(inet_addr("printer"), INADDR_NONE);
  EXPECT_EQ(inet_addr("1.2.65536"), INADDR_NONE);
}

TEST(AddressText, InetNtoaWritesDottedQuads) {
  in_addr address;
  address.s_addr = htonl(0xC0A80001u);
  EXPECT_STREQ(inet_ntoa(address), "192.168.0.1");
  address.s_addr = INADDR_BROADCAST;
  EXPECT_STREQ(inet_ntoa(address), "255.255.255.255");
}

TEST(AddressText, InAddrUnionViewsTheSameBytes) {
  in_addr address;
  address.s_addr = inet_addr("10.20.30.40");
  EXPECT_EQ(address.S_un.S_un_b.s_b1, 10);
  EXPECT_EQ(address.S_un.S_un_b.s_b4, 40);
  EXPECT_EQ(address.S_un.S_addr, address.s_addr);
}

TEST(Layout, StructuresHaveTheWindowsShapes) {
  EXPECT_EQ(sizeof(sockaddr), 16u);
  EXPECT_EQ(sizeof(sockaddr_in), 16u);
  EXPECT_EQ(offsetof(sockaddr_in, sin_port), 2u);
  EXPECT_EQ(offsetof(sockaddr_in, sin_addr), 4u);
  EXPECT_EQ(sizeof(SOCKADDR_IPX), 14u);
  EXPECT_EQ(offsetof(SOCKADDR_IPX, sa_nodenum), 6u);
  EXPECT_EQ(offsetof(WSADATA, szDescription), 4u);
  EXPECT_EQ(offsetof(WSADATA, szSystemStatus), 4u + 257u);
  EXPECT_EQ(FIONREAD, 0x4004667FL);
  EXPECT_EQ(static_cast<u_long>(FIONBIO), 0x8004667Eu);
}

class HostTest : public WinsockTest {};

TEST_F(HostTest, GethostnameFitsOrFails) {
  char name[256] = {};
  ASSERT_EQ(gethostname(name, sizeof(name)), 0) << WSAGetLastError();
  EXPECT_GT(std::strlen(name), 0u);
  char tiny[1];
  EXPECT_EQ(gethostname(tiny, sizeof(tiny)), SOCKET_ERROR);
  EXPECT_EQ(WSAGetLastError(), WSAEFAULT);
}

TEST_F(HostTest, GethostbynameResolvesLocalhost) {
  hostent* host = gethostbyname("localhost");
  ASSERT_NE(host, nullptr) << WSAGetLastError();
  EXPECT_EQ(host->h_addrtype, AF_INET);
  EXPECT_EQ(host->h_length, 4);
  ASSERT_NE(host->h_addr_list[0], nullptr);
  in_addr first;
  std::memcpy(&first, host->h_addr, sizeof(first));
  EXPECT_EQ(ntohl(first.s_addr) >> 24, 127u);
  ASSERT_NE(host->h_aliases, nullptr);
}

TEST_F(HostTest, GethostbynameTakesDottedText) {
  hostent* host = gethostbyname("127.3.4.5");
  ASSERT_NE(host, nullptr) << WSAGetLastError();
  in_addr first;
  std::memcpy(&first, host->h_addr, sizeof(first));
  EXPECT_EQ(first.s_addr, inet_addr("127.3.4.5"));
  EXPECT_EQ(host->h_addr_list[1], nullptr);
}

TEST_F(HostTest, GethostbynameReportsUnknownHosts) {
  // .invalid never resolves.
  EXPECT_EQ(gethostbyname("no-such-host.invalid"), nullptr);
  const int error = WSAGetLastError();
  EXPECT_TRUE(error == WSAHOST_NOT_FOUND || error == WSANO_DATA || error == WSATRY_AGAIN) << error;
}

}  // namespace
