// IPX socket addresses and protocol numbers. The transport itself lives on the
// simulated segment; the address layout is what the system's code fills in.
#pragma once

#include <cstddef>

constexpr int NSPROTO_IPX = 1000;
constexpr int NSPROTO_SPX = 1256;
constexpr int NSPROTO_SPXII = 1257;

// Socket option (level NSPROTO_IPX): the packet type of outgoing datagrams.
constexpr int IPX_PTYPE = 0x4000;

struct SOCKADDR_IPX {
  short sa_family;
  char sa_netnum[4];
  char sa_nodenum[6];
  unsigned short sa_socket;
};
using PSOCKADDR_IPX = SOCKADDR_IPX*;
using LPSOCKADDR_IPX = SOCKADDR_IPX*;

static_assert(sizeof(SOCKADDR_IPX) == 14, "SOCKADDR_IPX is 14 bytes on the wire of the API");
static_assert(offsetof(SOCKADDR_IPX, sa_socket) == 12);
