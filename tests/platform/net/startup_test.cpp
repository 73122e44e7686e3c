// WSAStartup version negotiation and calls made without it.
#include <gtest/gtest.h>

#include <cstring>

#include "kernel/lasterror.h"
#include "net/winsock.h"

namespace {

TEST(Startup, AcceptsVersion22AndFillsTheData) {
  WSADATA data;
  ASSERT_EQ(WSAStartup(MAKEWORD(2, 2), &data), 0);
  EXPECT_EQ(data.wVersion, MAKEWORD(2, 2));
  EXPECT_EQ(data.wHighVersion, MAKEWORD(2, 2));
  EXPECT_GT(std::strlen(data.szDescription), 0u);
  EXPECT_STREQ(data.szSystemStatus, "Running");
  EXPECT_EQ(WSACleanup(), 0);
}

TEST(Startup, AcceptsVersion11) {
  WSADATA data;
  ASSERT_EQ(WSAStartup(MAKEWORD(1, 1), &data), 0);
  EXPECT_EQ(data.wVersion, MAKEWORD(1, 1));
  EXPECT_GT(data.iMaxUdpDg, 0);
  EXPECT_EQ(WSACleanup(), 0);
}

TEST(Startup, GrantsAtMost22) {
  WSADATA data;
  ASSERT_EQ(WSAStartup(MAKEWORD(3, 0), &data), 0);
  EXPECT_EQ(data.wVersion, MAKEWORD(2, 2));
  EXPECT_EQ(WSACleanup(), 0);
}

TEST(Startup, RefusesVersionsBelow11) {
  WSADATA data;
  EXPECT_EQ(WSAStartup(MAKEWORD(1, 0), &data), WSAVERNOTSUPPORTED);
  EXPECT_EQ(WSAStartup(MAKEWORD(0, 9), &data), WSAVERNOTSUPPORTED);
  // Nothing was started, so there is nothing to clean up.
  EXPECT_EQ(WSACleanup(), SOCKET_ERROR);
  EXPECT_EQ(WSAGetLastError(), WSANOTINITIALISED);
}

TEST(Startup, SocketCallsFailBeforeStartup) {
  EXPECT_EQ(socket(AF_INET, SOCK_DGRAM, 0), INVALID_SOCKET);
  EXPECT_EQ(WSAGetLastError(), WSANOTINITIALISED);
  char name[256];
  EXPECT_EQ(gethostname(name, sizeof(name)), SOCKET_ERROR);
  EXPECT_EQ(WSAGetLastError(), WSANOTINITIALISED);
}

TEST(Startup, CountsNestedStartups) {
  WSADATA data;
  ASSERT_EQ(WSAStartup(MAKEWORD(2, 2), &data), 0);
  ASSERT_EQ(WSAStartup(MAKEWORD(2, 0), &data), 0);
  EXPECT_EQ(WSACleanup(), 0);
  SOCKET s = socket(AF_INET, SOCK_DGRAM, 0);
  EXPECT_NE(s, INVALID_SOCKET) << "one startup is still in force";
  EXPECT_EQ(WSACleanup(), 0);
  EXPECT_EQ(closesocket(s), SOCKET_ERROR);
  EXPECT_EQ(WSAGetLastError(), WSANOTINITIALISED);
}

TEST(Startup, LastErrorIsSharedWithGetLastError) {
  WSASetLastError(WSAEWOULDBLOCK);
  EXPECT_EQ(WSAGetLastError(), WSAEWOULDBLOCK);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(WSAEWOULDBLOCK));
}

}  // namespace
