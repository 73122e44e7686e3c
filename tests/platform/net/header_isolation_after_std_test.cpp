// The same as header_isolation_test.cpp with the standard library included first:
// our macros (s_addr, h_addr) must not meet a system socket header either way.
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "net/winsock.h"

#include <gtest/gtest.h>

#if defined(_SYS_SOCKET_H) || defined(_NETINET_IN_H) || defined(_ARPA_INET_H) || defined(_NETDB_H)
#error "a system socket header came in with the standard library"
#endif

namespace {

TEST(HeaderIsolation, WinsockAfterTheStandardLibrary) {
  hostent entry{};
  char address[4] = {127, 0, 0, 1};
  char* list[2] = {address, nullptr};
  entry.h_addr_list = list;
  in_addr value;
  std::memcpy(&value, entry.h_addr, sizeof(value));
  EXPECT_EQ(ntohl(value.s_addr), INADDR_LOOPBACK);
}

// The standard library brings the C library's gethostname(char*, size_t) along;
// a call with sizeof must still reach ours (which knows WSAStartup was not called).
TEST(HeaderIsolation, GethostnameWithSizeofIsOursStandardLibraryFirst) {
  char name[256];
  EXPECT_EQ(gethostname(name, sizeof(name)), SOCKET_ERROR);
  EXPECT_EQ(WSAGetLastError(), WSANOTINITIALISED);
}

}  // namespace
