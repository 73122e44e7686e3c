// System code includes net/winsock.h next to the standard library; none of the
// system's socket headers may come along, or their names would clash with ours.
#include "net/winsock.h"

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <filesystem>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#if defined(_SYS_SOCKET_H) || defined(_NETINET_IN_H) || defined(_ARPA_INET_H) || defined(_NETDB_H)
#error "a system socket header came in with net/winsock.h"
#endif

namespace {

static_assert(sizeof(u_long) == 4);
static_assert(sizeof(SOCKET) == sizeof(void*));
static_assert(INVALID_SOCKET == ~static_cast<UINT_PTR>(0));
static_assert(sizeof(sockaddr_in) == 16);
static_assert(sizeof(SOCKADDR_IPX) == 14);
static_assert(htons(0x1234) == 0x3412);
static_assert(ntohl(htonl(0x7F000001u)) == 0x7F000001u);
static_assert(AF_INET == 2 && SOCK_DGRAM == 2 && IPPROTO_UDP == 17 && SOL_SOCKET == 0xFFFF);
static_assert(WSAETIMEDOUT == 10060 && WSAEMSGSIZE == 10040 && WSAENOTSOCK == 10038);

TEST(HeaderIsolation, WinsockTypesWorkNextToTheStandardLibrary) {
  std::mutex lock;
  std::condition_variable ready;
  std::vector<sockaddr_in> addresses(2);
  std::thread worker([&] {
    std::lock_guard guard(lock);
    addresses[0].sin_family = AF_INET;
    addresses[0].sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ready.notify_one();
  });
  worker.join();
  EXPECT_EQ(std::string(inet_ntoa(addresses[0].sin_addr)), "127.0.0.1");
  EXPECT_EQ(addresses[0].sin_addr.S_un.S_un_b.s_b1, 127);
  EXPECT_FALSE(std::filesystem::path("x").empty());
  char text[8];
  std::snprintf(text, sizeof(text), "%d", AF_INET);
  EXPECT_STREQ(text, "2");
  (void)std::chrono::steady_clock::now();
}

// The standard library brings the C library's gethostname(char*, size_t) along;
// a call with sizeof must still reach ours (which knows WSAStartup was not called).
TEST(HeaderIsolation, GethostnameWithSizeofIsOursWinsockFirst) {
  char name[256];
  EXPECT_EQ(gethostname(name, sizeof(name)), SOCKET_ERROR);
  EXPECT_EQ(WSAGetLastError(), WSANOTINITIALISED);
}

}  // namespace
